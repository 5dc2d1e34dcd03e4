// Expressions: the operator nodes, building the tree by priority, typing it, and the assignment shortcut.
#include "script/sc_expression.h"

#include "platform/classes/ClassBuilder.h"
#include "script/sc_const.h"
#include "script/sc_internal.h"

K58_IMPLEMENT_CLASS(TscExpressionNode) {}
K58_IMPLEMENT_CLASS(TscOperandNode) {}
K58_IMPLEMENT_CLASS(TscDesignatorNode) {}
K58_IMPLEMENT_CLASS(TscSetNode) {}
K58_IMPLEMENT_CLASS(TscOperatorNode) {}
K58_IMPLEMENT_CLASS(TscExpression) {}

using namespace k58::script;

// ---- Nodes ----------------------------------------------------------------------------------------------
TscExpressionNode::TscExpressionNode() : TscCustomVariable(String(), tcVariant, String()) {}

TscExpressionNode::~TscExpressionNode() {
  delete left_;
  delete right_;
}

namespace {

// The type code of a constant, by its Variant type.
TscTypeCode ConstantType(const Variant& Value) {
  switch (Value.Type()) {
    case varBoolean:
      return tcBoolean;
    case varSingle:
    case varDouble:
    case varCurrency:
      return tcFloat;
    case varOleStr:
    case varString:
      return tcString;
    default:
      return tcInteger;
  }
}

}  // namespace

TscOperandNode::TscOperandNode(const Variant& Value) {
  value_ = Value;
  typeCode_ = ConstantType(Value);
  direct_ = &value_;
}

TscDesignatorNode::TscDesignatorNode(TscDesignator* Designator) : designator_(Designator) {
  valueSource_ = dynamic_cast<TscVariableDesignator*>(Designator) != nullptr ? Designator->Target() : Designator;
  plainSource_ = PlainGet(valueSource_);
  if (plainSource_) direct_ = &valueSource_->ValueSlot();
  typeCode_ = Designator->TypeCode();
  typeName_ = Designator->TypeName();
}

TscDesignatorNode::~TscDesignatorNode() { delete designator_; }

TscSetNode::TscSetNode(TscSetExpression* SetExpr) : setExpr_(SetExpr) {}

TscSetNode::~TscSetNode() { delete setExpr_; }

Byte TscOperatorNode::BindingLevel() const {
  switch (op_) {
    case opNone:
      return 7;
    case opLeftBracket:
      return 6;
    case opRightBracket:
      return 5;
    case opGreat:
    case opLess:
    case opLessEq:
    case opGreatEq:
    case opNonEq:
    case opEq:
    case opIn:
    case opIs:
      return 4;
    case opPlus:
    case opMinus:
    case opOr:
    case opXor:
      return 3;
    case opMul:
    case opDivFloat:
    case opDivInt:
    case opMod:
    case opAnd:
    case opShl:
    case opShr:
      return 2;
    case opNot:
    case opUnMinus:
      return 1;
  }
  return 7;
}

namespace {

struct OperatorName {
  const char* Name;
  TscOperator Op;
};

const OperatorName kOperators[] = {
    {">", opGreat},   {"<", opLess},     {"<=", opLessEq},     {">=", opGreatEq},   {"<>", opNonEq},
    {"=", opEq},      {"+", opPlus},     {"-", opMinus},       {"OR", opOr},        {"XOR", opXor},
    {"*", opMul},     {"/", opDivFloat}, {"DIV", opDivInt},    {"MOD", opMod},      {"AND", opAnd},
    {"SHL", opShl},   {"SHR", opShr},    {"(", opLeftBracket}, {")", opRightBracket}, {"NOT", opNot},
    {"UNMINUS", opUnMinus}, {"IN", opIn}, {"IS", opIs},
};

bool IsComparison(TscOperator Op) { return Op >= opGreat && Op <= opEq; }

// Operator classes, one per operator; the left operand is computed into the result first, then the right
// one into a temporary.
class TNoneNode : public TscOperatorNode {
 public:
  TNoneNode() : TscOperatorNode(opNone) {}
  void GetValue(Variant& Result) override {
    if (left_ != nullptr) {
      left_->GetValue(Result);
    } else {
      Result = Null();
    }
  }
};

class TLeftBracketNode : public TscOperatorNode {
 public:
  TLeftBracketNode() : TscOperatorNode(opLeftBracket) {}
  // Only an unclosed "(" stays in a tree, which typing refuses.
  void GetValue(Variant& Result) override { left_->GetValue(Result); }
};

// An operand read in place stands for the temporary it would have been copied into: the right one is
// read after the left one is computed, as before; both are read in place only when neither has an effect.
template <class Derived>
class TBinaryNode : public TscOperatorNode {
 public:
  using TscOperatorNode::TscOperatorNode;
  void GetValue(Variant& Result) override {
    if (const Variant* right = right_->Direct()) {
      if (const Variant* left = left_->Direct()) {
        static_cast<Derived*>(this)->ApplyTo(Result, *left, *right);
        return;
      }
      left_->GetValue(Result);
      static_cast<Derived*>(this)->Apply(Result, *right);
      return;
    }
    left_->GetValue(Result);
    Variant right;
    right_->GetValue(right);
    static_cast<Derived*>(this)->Apply(Result, right);
  }
  // Result := A op B.
  void ApplyTo(Variant& Result, const Variant& A, const Variant& B) {
    Result = A;
    static_cast<Derived*>(this)->Apply(Result, B);
  }
};

// Comparisons answer conditions without making a Boolean Variant; two integers compare as they are.
template <class Derived>
class TCompareNode : public TscOperatorNode {
 public:
  using TscOperatorNode::TscOperatorNode;
  void GetValue(Variant& Result) override { Result = Test(); }
  bool Test() override {
    if (const Variant* b = right_->Direct()) {
      if (const Variant* a = left_->Direct()) return Compare(*a, *b);
      Variant a;
      left_->GetValue(a);
      return Compare(a, *b);
    }
    Variant a;
    left_->GetValue(a);
    Variant b;
    right_->GetValue(b);
    return Compare(a, b);
  }

 private:
  static bool Compare(const Variant& A, const Variant& B) {
    if (BothIntegers(A, B)) return Derived::Ints(A.IntegerRef(), B.IntegerRef());
    return Derived::Values(A, B);
  }
};

class TGreatNode : public TCompareNode<TGreatNode> {
 public:
  TGreatNode() : TCompareNode(opGreat) {}
  static bool Ints(Integer A, Integer B) { return A > B; }
  static bool Values(const Variant& A, const Variant& B) { return A > B; }
};
class TLessNode : public TCompareNode<TLessNode> {
 public:
  TLessNode() : TCompareNode(opLess) {}
  static bool Ints(Integer A, Integer B) { return A < B; }
  static bool Values(const Variant& A, const Variant& B) { return A < B; }
};
class TLessEqNode : public TCompareNode<TLessEqNode> {
 public:
  TLessEqNode() : TCompareNode(opLessEq) {}
  static bool Ints(Integer A, Integer B) { return A <= B; }
  static bool Values(const Variant& A, const Variant& B) { return A <= B; }
};
class TGreatEqNode : public TCompareNode<TGreatEqNode> {
 public:
  TGreatEqNode() : TCompareNode(opGreatEq) {}
  static bool Ints(Integer A, Integer B) { return A >= B; }
  static bool Values(const Variant& A, const Variant& B) { return A >= B; }
};
class TNonEqNode : public TCompareNode<TNonEqNode> {
 public:
  TNonEqNode() : TCompareNode(opNonEq) {}
  static bool Ints(Integer A, Integer B) { return A != B; }
  static bool Values(const Variant& A, const Variant& B) { return !(A == B); }
};
class TEqNode : public TCompareNode<TEqNode> {
 public:
  TEqNode() : TCompareNode(opEq) {}
  static bool Ints(Integer A, Integer B) { return A == B; }
  static bool Values(const Variant& A, const Variant& B) { return A == B; }
};

class TPlusNode : public TBinaryNode<TPlusNode> {
 public:
  TPlusNode() : TBinaryNode(opPlus) {}
  void ApplyTo(Variant& Result, const Variant& A, const Variant& B) {
    if (intOperands_) {
      Result = WrapAdd(IntOf(A), IntOf(B));
    } else {
      TBinaryNode::ApplyTo(Result, A, B);
    }
  }
  void Apply(Variant& A, const Variant& B) {
    if (intOperands_) {
      A = WrapAdd(IntOf(A), IntOf(B));
    } else {
      VarAdd(A, B);
    }
  }
};
// Basic's "&": text concatenation when the left value is a string, else an addition.
class TStrCatNode : public TBinaryNode<TStrCatNode> {
 public:
  TStrCatNode() : TBinaryNode(opPlus) {}
  void Apply(Variant& A, const Variant& B) {
    if (A.IsString()) {
      A = A.StringRef() + B.AsString();
    } else {
      VarAdd(A, B);
    }
  }
};
class TMinusNode : public TBinaryNode<TMinusNode> {
 public:
  TMinusNode() : TBinaryNode(opMinus) {}
  void ApplyTo(Variant& Result, const Variant& A, const Variant& B) {
    if (intOperands_) {
      Result = WrapSub(IntOf(A), IntOf(B));
    } else {
      TBinaryNode::ApplyTo(Result, A, B);
    }
  }
  void Apply(Variant& A, const Variant& B) {
    if (intOperands_) {
      A = WrapSub(IntOf(A), IntOf(B));
    } else {
      VarSub(A, B);
    }
  }
};
class TMulNode : public TBinaryNode<TMulNode> {
 public:
  TMulNode() : TBinaryNode(opMul) {}
  void ApplyTo(Variant& Result, const Variant& A, const Variant& B) {
    if (intOperands_) {
      Result = WrapMul(IntOf(A), IntOf(B));
    } else {
      TBinaryNode::ApplyTo(Result, A, B);
    }
  }
  void Apply(Variant& A, const Variant& B) {
    if (intOperands_) {
      A = WrapMul(IntOf(A), IntOf(B));
    } else {
      VarMul(A, B);
    }
  }
};
class TDivFloatNode : public TBinaryNode<TDivFloatNode> {
 public:
  TDivFloatNode() : TBinaryNode(opDivFloat) {}
  void Apply(Variant& A, const Variant& B) { A = A / B; }
};
class TDivIntNode : public TBinaryNode<TDivIntNode> {
 public:
  TDivIntNode() : TBinaryNode(opDivInt) {}
  void Apply(Variant& A, const Variant& B) {
    if (intOperands_) {
      A = IntDiv(IntOf(A), IntOf(B));
    } else {
      A = VarIntDiv(A, B);
    }
  }
};
class TModNode : public TBinaryNode<TModNode> {
 public:
  TModNode() : TBinaryNode(opMod) {}
  void Apply(Variant& A, const Variant& B) {
    if (intOperands_) {
      A = IntMod(IntOf(A), IntOf(B));
    } else {
      A = A % B;
    }
  }
};
class TXorNode : public TBinaryNode<TXorNode> {
 public:
  TXorNode() : TBinaryNode(opXor) {}
  void Apply(Variant& A, const Variant& B) { A = A ^ B; }
};
class TShlNode : public TBinaryNode<TShlNode> {
 public:
  TShlNode() : TBinaryNode(opShl) {}
  void Apply(Variant& A, const Variant& B) { A = A << B; }
};
class TShrNode : public TBinaryNode<TShrNode> {
 public:
  TShrNode() : TBinaryNode(opShr) {}
  void Apply(Variant& A, const Variant& B) { A = A >> B; }
};

// Boolean "or" and "and" evaluate the right operand only when it decides.
class TOrNode : public TscOperatorNode {
 public:
  TOrNode() : TscOperatorNode(opOr) {}
  bool Test() override {
    if (boolOperands_) return left_->Test() || right_->Test();
    return TscOperatorNode::Test();
  }
  void GetValue(Variant& Result) override {
    left_->GetValue(Result);
    if (boolOperands_) {
      if (Result.AsBoolean()) {
        Result = true;
      } else {
        right_->GetValue(Result);
        Result = Result.AsBoolean();
      }
      return;
    }
    Variant right;
    right_->GetValue(right);
    Result = Result | right;
  }
};
class TAndNode : public TscOperatorNode {
 public:
  TAndNode() : TscOperatorNode(opAnd) {}
  bool Test() override {
    if (boolOperands_) return left_->Test() && right_->Test();
    return TscOperatorNode::Test();
  }
  void GetValue(Variant& Result) override {
    left_->GetValue(Result);
    if (boolOperands_) {
      if (!Result.AsBoolean()) {
        Result = false;
      } else {
        right_->GetValue(Result);
        Result = Result.AsBoolean();
      }
      return;
    }
    Variant right;
    right_->GetValue(right);
    Result = Result & right;
  }
};

class TNotNode : public TscOperatorNode {
 public:
  TNotNode() : TscOperatorNode(opNot) {}
  // "not" of a Boolean is its negation; of an integer the bitwise complement, tested as such.
  bool Test() override {
    if (left_->TypeCode() == tcBoolean) return !left_->Test();
    return TscOperatorNode::Test();
  }
  void GetValue(Variant& Result) override {
    left_->GetValue(Result);
    Result = ~Result;
  }
};
class TUnMinusNode : public TscOperatorNode {
 public:
  TUnMinusNode() : TscOperatorNode(opUnMinus) {}
  void GetValue(Variant& Result) override {
    left_->GetValue(Result);
    Result = -Result;
  }
};

// x in [set], or x in a Variant array whose Null elements mark ranges.
class TInNode : public TscOperatorNode {
 public:
  TInNode() : TscOperatorNode(opIn) {}
  void GetValue(Variant& Result) override {
    Variant value;
    left_->GetValue(value);
    if (auto* set = dynamic_cast<TscSetNode*>(right_)) {
      Result = set->SetExpr()->Contains(value);
      return;
    }
    Variant list;
    right_->GetValue(list);
    if (!list.IsArray()) {
      Result = value == list;
      return;
    }
    const Integer low = VarArrayLowBound(list, 1);
    const Integer high = VarArrayHighBound(list, 1);
    for (Integer i = low; i <= high; ++i) {
      const Variant element = VarArrayGet(list, {i});
      if (i + 2 <= high && VarArrayGet(list, {i + 1}).IsNull()) {
        if (value >= element && value <= VarArrayGet(list, {i + 2})) {
          Result = true;
          return;
        }
        i += 2;
      } else if (value == element) {
        Result = true;
        return;
      }
    }
    Result = false;
  }
};

// obj is TClass: the object's class is that class or inherits from it; a value that is no object is not.
class TIsNode : public TscOperatorNode {
 public:
  TIsNode() : TscOperatorNode(opIs) {}
  void GetValue(Variant& Result) override {
    Variant object;
    left_->GetValue(object);
    Variant cls;
    right_->GetValue(cls);
    const TClass target = VarToClass(cls);
    TObject* instance = object.IsObject() ? object.AsObject() : nullptr;
    Result = instance != nullptr && target != nullptr && instance->InheritsFrom(target);
  }
};

TscOperatorNode* NewOperator(const String& Name) {
  const String upper = UpperCase(Name);
  if (upper == "STRCAT") return new TStrCatNode;
  for (const OperatorName& entry : kOperators) {
    if (upper != entry.Name) continue;
    switch (entry.Op) {
      case opGreat: return new TGreatNode;
      case opLess: return new TLessNode;
      case opLessEq: return new TLessEqNode;
      case opGreatEq: return new TGreatEqNode;
      case opNonEq: return new TNonEqNode;
      case opEq: return new TEqNode;
      case opPlus: return new TPlusNode;
      case opMinus: return new TMinusNode;
      case opOr: return new TOrNode;
      case opXor: return new TXorNode;
      case opMul: return new TMulNode;
      case opDivFloat: return new TDivFloatNode;
      case opDivInt: return new TDivIntNode;
      case opMod: return new TModNode;
      case opAnd: return new TAndNode;
      case opShl: return new TShlNode;
      case opShr: return new TShrNode;
      case opLeftBracket: return new TLeftBracketNode;
      case opNot: return new TNotNode;
      case opUnMinus: return new TUnMinusNode;
      case opIn: return new TInNode;
      case opIs: return new TIsNode;
      default: break;
    }
  }
  throw Exception(scconsts::SIncompatibleTypes);
}

bool IsStrCat(const TscExpressionNode* Node) { return dynamic_cast<const TStrCatNode*>(Node) != nullptr; }

// The variable a node reads when it is a designator of one variable, else nullptr.
TscCustomVariable* DesignatedVariable(const TscExpressionNode* Node) {
  auto* designator = dynamic_cast<const TscDesignatorNode*>(Node);
  if (designator == nullptr || dynamic_cast<TscVariableDesignator*>(designator->Designator()) == nullptr) {
    return nullptr;
  }
  return designator->Designator()->Target();
}

}  // namespace

String TscOperatorNode::OpName() const {
  if (IsStrCat(this)) return "STRCAT";
  for (const OperatorName& entry : kOperators) {
    if (entry.Op == op_) return entry.Name;
  }
  return String();
}

// ---- TscExpression --------------------------------------------------------------------------------------
TscExpression::TscExpression(TscScript* Script)
    : TscCustomExpression(String(), tcVariant, String()), current_(new TNoneNode), root_(current_), script_(Script) {}

TscExpression::~TscExpression() { delete root_; }

void TscExpression::Attach(TscExpressionNode* Node) {
  Node->parent_ = current_;
  if (current_->left_ == nullptr) {
    current_->left_ = Node;
  } else {
    current_->right_ = Node;
  }
  current_ = Node;
}

void TscExpression::PushOperand(TscExpressionNode* Node) {
  Node->SetPosition(position_);
  Attach(Node);
}

void TscExpression::PushConst(const Variant& Value) { PushOperand(new TscOperandNode(Value)); }

void TscExpression::PushDesignator(TscDesignator* Designator) { PushOperand(new TscDesignatorNode(Designator)); }

void TscExpression::PushSet(TscSetExpression* SetExpr) { PushOperand(new TscSetNode(SetExpr)); }

void TscExpression::PushOperator(const String& Name) {
  if (Name == ")") {
    TscExpressionNode* node = current_;
    while (node != nullptr && node->BindingLevel() <= 5) node = node->parent_;
    auto* bracket = dynamic_cast<TscOperatorNode*>(node);
    // A ")" without its "(" changes nothing.
    if (bracket == nullptr || bracket->Op() != opLeftBracket) return;
    TscExpressionNode* inner = bracket->left_;
    TscExpressionNode* parent = bracket->parent_;
    if (parent->left_ == bracket) {
      parent->left_ = inner;
    } else {
      parent->right_ = inner;
    }
    if (inner != nullptr) inner->parent_ = parent;
    bracket->left_ = nullptr;
    bracket->right_ = nullptr;
    delete bracket;
    current_ = inner != nullptr ? inner : parent;
    return;
  }
  TscOperatorNode* node = NewOperator(Name);
  node->SetPosition(position_);
  const TscOperator op = node->Op();
  const bool prefix = op == opLeftBracket || op == opNot || op == opUnMinus;
  auto* current = dynamic_cast<TscOperatorNode*>(current_);
  if (prefix || current_ == root_ || (current != nullptr && current->Op() == opLeftBracket)) {
    Attach(node);
    return;
  }
  TscExpressionNode* child = current_;
  TscExpressionNode* parent = child->parent_;
  while (parent != nullptr && node->BindingLevel() >= parent->BindingLevel()) {
    child = parent;
    parent = parent->parent_;
  }
  if (parent->left_ == child) {
    parent->left_ = node;
  } else {
    parent->right_ = node;
  }
  node->parent_ = parent;
  node->left_ = child;
  child->parent_ = node;
  current_ = node;
}

void TscExpression::TypeNode(TscExpressionNode* Node, String& ErrorPos) {
  if (Node == nullptr) return;
  CheckNativeStack();
  TypeNode(Node->Left(), ErrorPos);
  TypeNode(Node->Right(), ErrorPos);
  const TscScript* Script = script_;
  auto* op = dynamic_cast<TscOperatorNode*>(Node);
  if (op == nullptr) return;
  // An operator without its operands, or a bracket left open, cannot be evaluated.
  const bool unary = op->Op() == opNot || op->Op() == opUnMinus;
  if (op->Op() == opLeftBracket || Node->Left() == nullptr || (!unary && Node->Right() == nullptr)) {
    if (ErrorPos.empty()) ErrorPos = Node->Position().empty() ? String("0:0") : Node->Position();
    return;
  }
  const TscTypeCode l = Node->Left() != nullptr ? Node->Left()->TypeCode() : tcVariant;
  const TscTypeCode r = Node->Right() != nullptr ? Node->Right()->TypeCode() : tcVariant;
  const String lName = Node->Left() != nullptr ? Node->Left()->TypeName() : String();
  const String rName = Node->Right() != nullptr ? Node->Right()->TypeName() : String();
  op->intOperands_ = l == tcInteger && r == tcInteger;
  op->boolOperands_ = l == tcBoolean && r == tcBoolean;
  const TscOperator code = op->Op();
  bool fits;
  if (code == opIs && l == tcClass && r == tcClass) {
    fits = true;
  } else {
    fits = TypesFit(l, lName, r, rName, Script);
    if (fits && l == tcBoolean) {
      fits = code == opNonEq || code == opEq || code == opOr || code == opXor || code == opAnd || code == opNot;
    } else if (fits && (l == tcChar || l == tcString)) {
      fits = IsComparison(code) || code == opPlus || code == opIn;
    } else if (fits && (l == tcClass || l == tcArray)) {
      fits = code == opNonEq || code == opEq;
    }
  }
  if (!fits) {
    if (ErrorPos.empty()) ErrorPos = Node->Position();
    return;
  }
  TscTypeCode type = l;
  if ((l == tcInteger && r == tcFloat) || (l == tcFloat && r == tcInteger)) type = tcFloat;
  if (code == opDivFloat && l == tcInteger && r == tcInteger) type = tcFloat;
  if (IsComparison(code) || code == opIn || code == opIs) type = tcBoolean;
  Node->SetTypeCode(type);
  Node->SetTypeName(type == l ? lName : String());
}

void TscExpression::Finish(String& ErrorPos) {
  ErrorPos.clear();
  TscExpressionNode* none = root_;
  root_ = none->left_;
  none->left_ = nullptr;
  delete none;
  if (root_ == nullptr) root_ = new TscOperandNode(Null());
  root_->parent_ = nullptr;
  current_ = root_;
  TypeNode(root_, ErrorPos);
  typeCode_ = root_->TypeCode();
  typeName_ = root_->TypeName();
  const TscDesignator* designator = RootDesignator();
  readOnly_ = designator == nullptr || designator->ReadOnly();
}

TscDesignator* TscExpression::RootDesignator() const {
  auto* node = dynamic_cast<TscDesignatorNode*>(root_);
  return node != nullptr ? node->Designator() : nullptr;
}

void TscExpression::FoldIntoAssignment(TscDesignator* Target, String& Modifier, bool& IntOperands) {
  Modifier.assign(1, ' ');
  IntOperands = false;
  if (dynamic_cast<TscVariableDesignator*>(Target) == nullptr) return;
  auto* op = dynamic_cast<TscOperatorNode*>(root_);
  if (op == nullptr || IsStrCat(op)) return;
  const TscOperator code = op->Op();
  const char modifier = code == opPlus ? '+' : code == opMinus ? '-' : code == opMul ? '*' : code == opDivFloat ? '/' : 0;
  if (modifier == 0) return;
  TscCustomVariable* variable = Target->Target();
  TscExpressionNode* kept = nullptr;
  if (DesignatedVariable(op->left_) == variable) {
    kept = op->right_;
    op->right_ = nullptr;
  } else if ((code == opPlus || code == opMul) && DesignatedVariable(op->right_) == variable &&
             variable->TypeCode() != tcString && variable->TypeCode() != tcVariant) {
    kept = op->left_;
    op->left_ = nullptr;
  } else {
    return;
  }
  if (kept == nullptr) return;
  Modifier.assign(1, modifier);
  IntOperands = op->IntOperands();
  kept->parent_ = nullptr;
  delete op;
  root_ = kept;
  current_ = kept;
  typeCode_ = root_->TypeCode();
  typeName_ = root_->TypeName();
  const TscDesignator* designator = RootDesignator();
  readOnly_ = designator == nullptr || designator->ReadOnly();
}

TscCustomVariable* TscExpression::SingleOperand() const {
  if (auto* designator = dynamic_cast<TscDesignatorNode*>(root_)) return designator->ValueSource();
  if (dynamic_cast<TscSetNode*>(root_) != nullptr) return nullptr;
  if (dynamic_cast<TscOperandNode*>(root_) != nullptr) return root_;
  return nullptr;
}

void TscExpression::SetValue(const Variant& Value) {
  if (readOnly_) return;
  if (TscDesignator* designator = RootDesignator()) designator->SetValue(Value);
}
