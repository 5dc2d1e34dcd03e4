// Designators: reference chains evaluated from left to right, with the calls of script procedures
// (their locals kept across recursion) and the shortcuts for one variable, a string character and an
// array element; deferred designators are built at their first use.
#include <new>

#include "platform/classes/ClassBuilder.h"
#include "script/sc_const.h"
#include "script/sc_expression.h"
#include "script/sc_internal.h"
#include "script/sc_xml.h"

K58_IMPLEMENT_CLASS(TscDesignatorItem) {}
K58_IMPLEMENT_CLASS(TscDesignator) {}
K58_IMPLEMENT_CLASS(TscVariableDesignator) {}
K58_IMPLEMENT_CLASS(TscStringDesignator) {}
K58_IMPLEMENT_CLASS(TscArrayDesignator) {}
K58_IMPLEMENT_CLASS(TscCallDesignator) {}

void TscDesignatorItem::SetRef(TscCustomVariable* Value) {
  ref_ = Value;
  hasByRef_ = false;
  for (Integer i = 0; Value != nullptr && i < Value->ParamCount() && !hasByRef_; ++i) {
    hasByRef_ = Value->GetParam(i)->ByRef();
  }
  if (dynamic_cast<TscDesignator*>(Value) != nullptr) {
    refKind_ = rkDesignator;
  } else if (dynamic_cast<TscProcVariable*>(Value) != nullptr) {
    refKind_ = rkProcedure;
  } else if (dynamic_cast<TscCustomHelper*>(Value) != nullptr) {
    refKind_ = rkHelper;
  } else {
    refKind_ = rkOther;
  }
}

TscDesignator::TscDesignator(TscScript* OwnerScript)
    : TscCustomVariable(String(), tcVariant, String()), ownerScript_(OwnerScript) {}

TscDesignator::~TscDesignator() = default;

TscDesignatorItem* TscDesignator::LastItem() const {
  return GetCount() > 0 ? static_cast<TscDesignatorItem*>(At(GetCount() - 1)) : nullptr;
}

void TscDesignator::DropLastItem() {
  TscDesignatorItem* last = LastItem();
  if (last == nullptr) return;
  items_.pop_back();
  FreeObject(last);
}

void TscDesignator::Defer(const TscXMLItem* Node) {
  deferredNode_ = std::make_unique<TscXMLItem>();
  deferredNode_->CopyFrom(Node);
}

void TscDesignator::GetValue(Variant& Result) {
  if (deferredNode_) ResolveDeferred();
  Evaluate(nullptr, Result);
}

void TscDesignator::SetValue(const Variant& Value) {
  if (deferredNode_) ResolveDeferred();
  Variant ignored;
  Evaluate(&Value, ignored);
}

namespace {

// Arguments of one link: a few on the native stack, more on the heap. Only as many values as there are
// arguments are made (a call runs this for every link, most of them with one or two arguments).
class ArgumentList {
 public:
  explicit ArgumentList(Integer Count) : count_(Count) {
    if (Count > kInline) {
      heap_.resize(static_cast<size_t>(Count));
      return;
    }
    for (Integer i = 0; i < Count; ++i) new (&Inline()[i]) Variant();
  }
  ~ArgumentList() {
    if (count_ > kInline) return;
    for (Integer i = 0; i < count_; ++i) Inline()[i].~Variant();
  }
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;
  Variant& operator[](Integer Index) {
    return count_ > kInline ? heap_[static_cast<size_t>(Index)] : Inline()[Index];
  }

 private:
  static constexpr Integer kInline = 6;
  Variant* Inline() { return std::launder(reinterpret_cast<Variant*>(storage_)); }
  Integer count_;
  alignas(Variant) unsigned char storage_[kInline * sizeof(Variant)];
  std::vector<Variant> heap_;
};

}  // namespace

void TscDesignator::Evaluate(const Variant* AssignValue, Variant& Result) {
  static const Variant kNullValue = Null();
  Variant value = kNullValue;
  TscCustomVariable* prev = nullptr;
  const Integer count = GetCount();
  for (Integer i = 0; i < count; ++i) {
    auto* item = static_cast<TscDesignatorItem*>(At(i));
    TscCustomVariable* ref = item->Ref();
    const TscDesignatorItem::TRefKind refKind = item->RefKind();
    if (refKind == TscDesignatorItem::rkDesignator) {
      prev = ref;
      ref->GetValue(value);
      continue;
    }
    SavedLocals locals;
    if (refKind == TscDesignatorItem::rkProcedure) {
      auto* proc = static_cast<TscProcVariable*>(ref);
      if (proc->Executing()) locals.Save(proc);
    }
    const Integer params = ref->ParamCount();
    const Integer args = std::min(params, item->ExprCount());
    if (params > 0) {
      // Every argument first, then the parameters: an argument may read a parameter of the same item.
      ArgumentList values(args);
      for (Integer j = 0; j < args; ++j) {
        TscCustomExpression* expr = item->GetExpr(j);
        if (ref->MacroParams()) {
          values[j] = expr->SourceText();
        } else {
          expr->GetValue(values[j]);
        }
      }
      for (Integer j = 0; j < args; ++j) ref->ParamAt(j)->SetValue(values[j]);
    }
    if (refKind == TscDesignatorItem::rkHelper) static_cast<TscCustomHelper*>(ref)->SetContext(prev, value, ownerScript_);
    prev = ref;
    const bool last = i == count - 1;
    if (AssignValue != nullptr && last) {
      ref->SetValue(*AssignValue);
    } else {
      ref->SetResultWanted(!last || resultWanted_);
      ref->GetValue(value);
    }
    if (params == 0 || !item->HasByRef()) continue;
    // Var parameters go back through their arguments, after the locals of a recursive call are back.
    ArgumentList results(args);
    for (Integer j = 0; j < args; ++j) {
      if (ref->ParamAt(j)->ByRef()) ref->ParamAt(j)->GetValue(results[j]);
    }
    locals.Restore();
    for (Integer j = 0; j < args; ++j) {
      if (ref->ParamAt(j)->ByRef()) item->GetExpr(j)->SetValue(results[j]);
    }
  }
  if (AssignValue == nullptr) Result = std::move(value);
}

void TscDesignator::DetermineKind() {
  TscDesignatorItem* last = LastItem();
  if (last == nullptr || last->Ref() == nullptr) return;
  TscCustomVariable* ref = last->Ref();
  typeCode_ = ref->TypeCode();
  typeName_ = ref->TypeName();
  if (typeCode_ == tcConstructor) {
    typeCode_ = tcClass;
    const Integer count = GetCount();
    if (count >= 2) typeName_ = GetDesignatorItem(count - 2)->Ref()->TypeName();
  }
  readOnly_ = ref->ReadOnly();
  kind_ = 0;
  TscCustomVariable* first = GetDesignatorItem(0)->Ref();
  // A parameter alone is read and written as a variable is (a var parameter goes back to its argument
  // when the call ends, not through the designator).
  if (GetCount() == 1 && (dynamic_cast<TscVariable*>(first) != nullptr || dynamic_cast<TscParamItem*>(first) != nullptr)) {
    kind_ = 1;
    target_ = first;
  } else if (GetCount() == 2 && dynamic_cast<TscStringVariable*>(first) != nullptr &&
             GetDesignatorItem(1)->ExprCount() > 0) {
    kind_ = 2;
    target_ = first;
    indexExpr_ = GetDesignatorItem(1)->GetExpr(0);
  } else if (GetCount() == 2 && dynamic_cast<TscVariable*>(first) != nullptr && first->TypeCode() == tcArray &&
             first->Target() != nullptr) {
    kind_ = 3;
    target_ = first;
    indexExpr_ = first->Target();
    indexList_ = GetDesignatorItem(1);
  }
}

void TscDesignator::TakeOver(TscDesignator* Source) {
  items_.swap(Source->items_);
  kind_ = Source->kind_;
  indexExpr_ = Source->indexExpr_;
  indexList_ = Source->indexList_;
  typeCode_ = Source->typeCode_;
  typeName_ = Source->typeName_;
  readOnly_ = Source->readOnly_;
  target_ = Source->target_;
  // The targets that pointed into Source's items now point into ours.
  Source->indexExpr_ = nullptr;
  Source->indexList_ = nullptr;
}

void TscDesignator::ResolveDeferred() {
  // The node stays until a build succeeds, so a designator that cannot be built fails at every use
  // instead of reading nothing.
  TscILParser parser(ownerScript_);
  std::unique_ptr<TscDesignator> built(parser.BuildDesignator(deferredNode_.get(), ownerScript_, dmNormal));
  // Still nothing to build on: a member of a value that is Null or nil.
  if (built->DeferredNode() != nullptr) throw EAccessViolation(scconsts::SObjectNil);
  TakeOver(built.get());
  deferredNode_.reset();
}

// ---- Kinds 1 to 3 ---------------------------------------------------------------------------------------
void TscVariableDesignator::GetValue(Variant& Result) { target_->GetValue(Result); }
void TscVariableDesignator::SetValue(const Variant& Value) { target_->SetValue(Value); }

void TscStringDesignator::GetValue(Variant& Result) {
  Result = StringCharAt(target_->ValueSlot().AsString(), indexExpr_->ReadValue().AsInteger());
}

void TscStringDesignator::SetValue(const Variant& Value) {
  const Integer index = indexExpr_->ReadValue().AsInteger();
  target_->SetValue(StringWithCharAt(target_->ValueSlot().AsString(), index, Value.AsString()));
}

namespace {

// The index values of an element of Array from the expressions of Item: false when the value is no array
// of 1 to 3 dimensions or there are fewer expressions than dimensions.
bool ElementIndexes(const Variant& Array, TscDesignatorItem* Item, Integer (&Indexes)[3], Integer& Count) {
  Count = VarArrayDimCount(Array);
  if (Count < 1 || Count > 3 || Count > Item->ExprCount()) return false;
  for (Integer j = 0; j < Count; ++j) Indexes[j] = k58::script::IntOf(Item->GetExpr(j)->ReadValue());
  return true;
}

}  // namespace

// The element is read and written in the variable's own slot, as the array helper does.
void TscArrayDesignator::GetValue(Variant& Result) {
  const Variant& array = target_->ValueSlot();
  Integer indexes[3];
  Integer count = 0;
  if (!ElementIndexes(array, indexList_, indexes, count)) {
    Result = Null();
    return;
  }
  Result = VarArrayGet(array, std::span<const Integer>(indexes, static_cast<size_t>(count)));
}

void TscArrayDesignator::SetValue(const Variant& Value) {
  Variant& array = target_->ValueSlot();
  Integer indexes[3];
  Integer count = 0;
  if (!ElementIndexes(array, indexList_, indexes, count)) return;
  VarArrayPut(array, Value, std::span<const Integer>(indexes, static_cast<size_t>(count)));
}

// ---- Calls ----------------------------------------------------------------------------------------------
bool TscCallDesignator::Fits(const TscDesignator* Designator) {
  if (Designator->GetCount() != 1 || Designator->DeferredNode() != nullptr) return false;
  const TscDesignatorItem* item = Designator->GetDesignatorItem(0);
  return item->RefKind() == TscDesignatorItem::rkProcedure && !item->HasByRef() && !item->Ref()->MacroParams();
}

// The general chain's steps for its one link, without the chain.
void TscCallDesignator::GetValue(Variant& Result) {
  auto* item = static_cast<TscDesignatorItem*>(At(0));
  auto* proc = static_cast<TscProcVariable*>(item->Ref());
  SavedLocals locals;
  if (proc->Executing()) locals.Save(proc);
  const Integer args = std::min(proc->ParamCount(), item->ExprCount());
  if (args > 0) {
    // Every argument first, then the parameters: an argument may read a parameter of the procedure.
    ArgumentList values(args);
    for (Integer j = 0; j < args; ++j) static_cast<TscCustomExpression*>(item->GetItem(j))->GetValue(values[j]);
    for (Integer j = 0; j < args; ++j) {
      TscParamItem* param = proc->ParamAt(j);
      if (!param->ReadOnly()) param->ValueSlot() = std::move(values[j]);
    }
  }
  proc->SetResultWanted(resultWanted_);
  proc->GetValue(Result);
}
