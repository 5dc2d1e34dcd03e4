#include "platform/classes/Filer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <mutex>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/Collection.h"
#include "platform/classes/FormText.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;
using k58::formtext::Located;
using k58::formtext::Object;
using k58::formtext::ObjectKind;
using k58::formtext::Property;
using k58::formtext::Value;

K58_IMPLEMENT_CLASS(TFiler) {}
K58_IMPLEMENT_CLASS(TReader) {}
K58_IMPLEMENT_CLASS(TWriter) {}

namespace {

// Errors that already name the resource and the line; they pass through the outer handlers unchanged.
struct LocatedMark {};
class ELocatedReadError : public EReadError, public LocatedMark {
 public:
  using EReadError::EReadError;
};
class ELocatedClassNotFound : public EClassNotFound, public LocatedMark {
 public:
  using EClassNotFound::EClassNotFound;
};

[[noreturn]] void InvalidValue() { throw EPropertyConvertError(SInvalidPropertyValue); }

// Deepest nesting of sub-objects written; deeper means a cycle.
constexpr int kMaxDepth = 64;

std::vector<String> SplitPath(const String& path) {
  std::vector<String> parts;
  size_t start = 0;
  for (;;) {
    size_t dot = path.find('.', start);
    parts.push_back(path.substr(start, dot == String::npos ? String::npos : dot - start));
    if (dot == String::npos) break;
    start = dot + 1;
  }
  return parts;
}

bool IsDateType(const TTypeInfo* type) {
  String name = type->Name();
  return SameText(name, "TDateTime") || SameText(name, "TDate") || SameText(name, "TTime");
}

// The float of a value, read as the given kind so that "0.1" gives exactly the double 0.1 for a Double.
Extended FloatOf(const Value& v, TFloatType kind) {
  if (v.IsInteger()) return static_cast<Extended>(v.Int);
  if (v.Type == vaIdent) {
    if (SameText(v.Text, "INF")) return std::numeric_limits<Extended>::infinity();
    if (SameText(v.Text, "-INF")) return -std::numeric_limits<Extended>::infinity();
    if (SameText(v.Text, "NAN")) return std::numeric_limits<Extended>::quiet_NaN();
    InvalidValue();
  }
  if (!v.IsFloat()) InvalidValue();
  const char* first = v.Text.data();
  const char* last = first + v.Text.size();
  switch (kind) {
    case ftSingle: {
      float f = 0;
      if (std::from_chars(first, last, f).ec != std::errc()) InvalidValue();
      return f;
    }
    case ftExtended: {
      long double f = 0;
      if (std::from_chars(first, last, f).ec != std::errc()) InvalidValue();
      return f;
    }
    default: {
      double f = 0;
      if (std::from_chars(first, last, f).ec != std::errc()) InvalidValue();
      return f;
    }
  }
}

Variant VariantOf(const Value& v) {
  switch (v.Type) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
      return Variant(static_cast<Integer>(v.Int));
    case vaInt64:
      return Variant(v.Int);
    case vaExtended:
      return Variant(static_cast<Double>(FloatOf(v, ftDouble)));
    case vaSingle:
      return Variant(static_cast<Single>(FloatOf(v, ftSingle)));
    case vaCurrency:
      return Variant(Currency::FromDouble(static_cast<double>(FloatOf(v, ftDouble))));
    case vaDate:
      return Variant::FromDateTime(static_cast<TDateTime>(FloatOf(v, ftDouble)));
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String:
      return Variant(v.Text);
    case vaTrue:
      return Variant(true);
    case vaFalse:
      return Variant(false);
    case vaNull:
      return Null();
    case vaNil:
      return Unassigned();
    case vaList: {
      std::vector<Variant> items;
      for (const Value& item : v.List) items.push_back(VariantOf(item));
      return VarArrayOf(std::span<const Variant>(items));
    }
    default:
      InvalidValue();
  }
}

Value ValueOfVariant(const Variant& v) {
  if (v.IsArray()) {
    if (VarArrayDimCount(v) != 1) throw EWriteError(SWriteError);
    Value list;
    list.Type = vaList;
    for (Integer i = VarArrayLowBound(v, 1); i <= VarArrayHighBound(v, 1); ++i) {
      list.List.push_back(ValueOfVariant(VarArrayGet(v, {i})));
    }
    return list;
  }
  switch (VarType(v)) {
    case varEmpty:
      return k58::formtext::MakeIdent("nil");
    case varNull:
      return k58::formtext::MakeIdent("Null");
    case varBoolean:
      return k58::formtext::MakeIdent(v.AsBoolean() ? "True" : "False");
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
      if (v.IsObject()) throw EWriteError(SWriteError);
      return k58::formtext::MakeInteger(v.AsInt64());
    case varSingle:
      return k58::formtext::MakeFloat(v.AsDouble(), ftSingle, vaSingle);
    case varDouble:
      return k58::formtext::MakeFloat(v.AsDouble(), ftDouble, vaExtended);
    case varCurrency:
      return k58::formtext::MakeFloat(v.AsCurrency().ToDouble(), ftDouble, vaCurrency);
    case varDate:
      return k58::formtext::MakeFloat(v.AsDateTime(), ftDouble, vaDate);
    case varString:
      return k58::formtext::MakeString(v.AsString());
    case varOleStr:
      return k58::formtext::MakeString(WideToUtf8(v.AsWideString()));
    default:
      throw EWriteError(SWriteError);
  }
}

// Components read so far; one that is freed before the end drops out instead of dangling.
class LoadedList : public TComponent {
 public:
  LoadedList() : TComponent(nullptr) {}
  ~LoadedList() override {
    for (TComponent* c : items) {
      if (c != nullptr) RemoveFreeNotification(c);
    }
  }
  void Add(TComponent* c) {
    if (std::find(items.begin(), items.end(), c) != items.end()) return;
    items.push_back(c);
    FreeNotification(c);
  }
  void Remove(TComponent* c) {
    std::replace(items.begin(), items.end(), c, static_cast<TComponent*>(nullptr));
    RemoveFreeNotification(c);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove) std::replace(items.begin(), items.end(), AComponent, static_cast<TComponent*>(nullptr));
  }
  std::vector<TComponent*> items;
};

std::mutex& GlobalFindersLock() {
  static std::mutex lock;
  return lock;
}
std::vector<TFindGlobalComponent>& GlobalFinders() {
  static std::vector<TFindGlobalComponent> finders;
  return finders;
}

}  // namespace

// A component reference read from a resource, set once all components exist.
struct TReader::Fixup {
  TPersistent* Instance;
  const TPropInfo* Prop;
  String Name;
  String Source;
  int Line;
  String What;  // "Button1.PopupMenu", for messages
};

// A position in a sequence of values, for reading defined properties.
struct TReader::Cursor {
  const Value* Items;
  size_t Count;
  size_t Pos;
};

// State shared by the readers of one loading: references to resolve, and components to store in their
// owners' fields and to tell Loaded.
class TReader::Session {
 public:
  // A component the reading made under a name, and where its object starts.
  struct Named {
    TComponent* Component;
    String Source;
    int Line;
  };

  TComponent* Root = nullptr;
  String RootSource;
  int RootLine = 0;
  std::vector<Fixup> Fixups;
  std::vector<Named> Made;
  LoadedList Loaded;

  TComponent* Resolve(const String& name) const {
    std::vector<String> parts = SplitPath(name);
    TComponent* c = Root->FindComponent(parts[0]);
    if (c == nullptr && SameText(parts[0], Root->Name())) c = Root;
    if (c == nullptr) c = FindGlobalComponent(parts[0]);
    for (size_t i = 1; c != nullptr && i < parts.size(); ++i) c = c->FindComponent(parts[i]);
    return c;
  }

  void BindFields();

  void Finish() {
    std::vector<Fixup> fixups = std::move(Fixups);
    Fixups.clear();
    for (const Fixup& f : fixups) {
      TComponent* target = Resolve(f.Name);
      try {
        if (target == nullptr) throw EReadError(Format(SUnresolvedReference, f.Name));
        SetObjectProp(f.Instance, f.Prop, target);
      } catch (const Exception& e) {
        throw ELocatedReadError(Located(f.Source, f.Line, "Error reading " + f.What + ": " + e.Message()));
      }
    }
    BindFields();
    for (size_t i = 0; i < Loaded.items.size(); ++i) {
      TComponent* c = Loaded.items[i];
      if (c != nullptr) c->Loaded();
    }
  }
};

// Stores each component made in the published field its owner has for it, then checks that every
// field of the root got its component.
void TReader::Session::BindFields() {
  for (const Named& made : Made) {
    TComponent* component = made.Component;
    if (std::find(Loaded.items.begin(), Loaded.items.end(), component) == Loaded.items.end()) continue;
    TComponent* owner = component->Owner();
    if (owner == nullptr) continue;
    const TFieldEntry* field = owner->ClassType()->FindField(component->Name());
    if (field == nullptr) continue;
    if (!field->Set(owner, component)) {
      throw ELocatedReadError(Located(made.Source, made.Line,
                                      "Component '" + component->Name() + "' is a " + component->ClassName() +
                                          ", but the field of " + owner->ClassName() + " holds a " +
                                          field->FieldClass()->Name()));
    }
  }
  TClass rootClass = Root->ClassType();
  for (const TFieldEntry* field : rootClass->Fields()) {
    if (rootClass->FindField(field->Name) != field || field->Get(Root) != nullptr) continue;
    throw ELocatedReadError(Located(RootSource, RootLine,
                                    "Component '" + field->Name + "' not found for the " +
                                        field->FieldClass()->Name() + " field of " + rootClass->Name()));
  }
}

// ---- TReader ----

TReader::TReader(Session& session) : session_(session) { root_ = session.Root; }

TReader::~TReader() = default;

void TReader::ValueError(const String& message) { throw EReadError(message); }

const Value& TReader::Peek() {
  static const Value endOfList;
  if (cursors_.empty()) ValueError(SReadError);
  Cursor& c = cursors_.back();
  return c.Pos < c.Count ? c.Items[c.Pos] : endOfList;
}

const Value& TReader::Take() {
  if (cursors_.empty()) ValueError(SReadError);
  Cursor& c = cursors_.back();
  if (c.Pos >= c.Count) ValueError(SReadError);
  return c.Items[c.Pos++];
}

TValueType TReader::NextValue() { return Peek().Type; }

bool TReader::EndOfList() {
  if (cursors_.empty()) return true;
  return cursors_.back().Pos >= cursors_.back().Count;
}

void TReader::ReadListBegin() {
  const Value& v = Take();
  if (v.Type != vaList) InvalidValue();
  cursors_.push_back(Cursor{v.List.data(), v.List.size(), 0});
}

void TReader::ReadListEnd() {
  if (cursors_.size() <= baseDepth_ || !EndOfList()) ValueError(SReadError);
  cursors_.pop_back();
}

Int64 TReader::ReadInt64() {
  const Value& v = Take();
  if (!v.IsInteger()) InvalidValue();
  return v.Int;
}

Integer TReader::ReadInteger() {
  Int64 v = ReadInt64();
  if (v < std::numeric_limits<Integer>::min() || v > std::numeric_limits<Integer>::max()) InvalidValue();
  return static_cast<Integer>(v);
}

bool TReader::ReadBoolean() {
  const Value& v = Take();
  if (v.Type != vaTrue && v.Type != vaFalse) InvalidValue();
  return v.Type == vaTrue;
}

char TReader::ReadChar() {
  String s = ReadString();
  if (s.size() != 1) InvalidValue();
  return s[0];
}

WideChar TReader::ReadWideChar() {
  WideString s = ReadWideString();
  if (s.size() != 1) InvalidValue();
  return s[0];
}

Extended TReader::ReadFloat() { return FloatOf(Take(), ftExtended); }

Single TReader::ReadSingle() { return static_cast<Single>(FloatOf(Take(), ftSingle)); }

Currency TReader::ReadCurrency() { return Currency::FromDouble(static_cast<double>(FloatOf(Take(), ftDouble))); }

TDateTime TReader::ReadDate() { return static_cast<TDateTime>(FloatOf(Take(), ftDouble)); }

String TReader::ReadString() {
  const Value& v = Take();
  if (!v.IsString()) InvalidValue();
  return v.Text;
}

WideString TReader::ReadWideString() { return Utf8ToWide(ReadString()); }

String TReader::ReadIdent() {
  const Value& v = Take();
  switch (v.Type) {
    case vaIdent:
      return v.Text;
    case vaTrue:
      return "True";
    case vaFalse:
      return "False";
    case vaNil:
      return "nil";
    case vaNull:
      return "Null";
    default:
      InvalidValue();
  }
}

Variant TReader::ReadVariant() { return VariantOf(Take()); }

void TReader::ReadCollection(TCollection* Collection) {
  const Value& v = Take();
  if (v.Type != vaCollection || Collection == nullptr) InvalidValue();
  ReadCollectionItems(Collection, v, Collection->GetNamePath());
}

void TReader::SkipValue() { Take(); }

void TReader::ReadRoot(const Object& node, TComponent* root) {
  root_ = root;
  session_.Root = root;
  session_.RootSource = sourceName_;
  session_.RootLine = node.Line;
  line_ = node.Line;
  root->SetLoading(true);
  root->SetReading(true);
  if (!node.Name.empty() && root->Name() != node.Name) {
    // A second root of the same name under one owner (a form shown twice) becomes Name_1, Name_2, ...
    String name = node.Name;
    if (TComponent* owner = root->Owner()) {
      TComponent* other = owner->FindComponent(name);
      for (Integer n = 1; other != nullptr && other != root; ++n) {
        name = node.Name + "_" + IntToStr(n);
        other = owner->FindComponent(name);
      }
    }
    try {
      root->SetName(name);
    } catch (const Exception& e) {
      throw ELocatedReadError(Located(sourceName_, node.Line, e.Message()));
    }
  }
  session_.Loaded.Add(root);
  owner_ = root;
  parent_ = nullptr;
  currentNode_ = &node;
  root->ReadState(this);
  root->SetReading(false);
}

void TReader::ReadData(TComponent* Instance) {
  const Object* node = currentNode_;
  if (node == nullptr) return;
  for (const Property& prop : node->Props) ReadProperty(Instance, prop, Instance->Name());
  TComponent* savedOwner = owner_;
  TComponent* savedParent = parent_;
  parent_ = Instance->GetChildParent();
  owner_ = Instance->GetChildOwner();
  if (owner_ == nullptr) owner_ = root_;
  try {
    for (const Object& child : node->Children) ReadComponent(child);
  } catch (...) {
    owner_ = savedOwner;
    parent_ = savedParent;
    currentNode_ = node;
    throw;
  }
  owner_ = savedOwner;
  parent_ = savedParent;
  currentNode_ = node;
}

void TReader::ReadComponent(const Object& node) {
  line_ = node.Line;
  const String label = node.Name.empty() ? node.ClassName : node.Name;
  TComponent* component = nullptr;
  bool created = false;
  if (node.Kind == ObjectKind::Inherited) {
    component = owner_->FindComponent(node.Name);
    if (component == nullptr) {
      throw ELocatedReadError(Located(sourceName_, node.Line, Format(SAncestorNotFound, node.Name)));
    }
    component->SetAncestor(true);
  } else {
    TClass cls = GetClass(node.ClassName);
    if (cls == nullptr) {
      throw ELocatedClassNotFound(Located(sourceName_, node.Line, Format(SClassNotFound, node.ClassName)));
    }
    if (!cls->IsComponentClass()) {
      throw ELocatedReadError(Located(sourceName_, node.Line, node.ClassName + " is not a component class"));
    }
    try {
      component = cls->CreateComponent(owner_);
    } catch (const Exception& e) {
      throw ELocatedReadError(Located(sourceName_, node.Line, "Error creating " + label + ": " + e.Message()));
    }
    created = true;
    if (node.Kind == ObjectKind::Inline) component->SetInline(true);
  }
  // References noted while reading this component; they go with it if it fails.
  const size_t fixupMark = session_.Fixups.size();
  try {
    component->SetLoading(true);
    component->SetReading(true);
    if (created && !node.Name.empty()) {
      try {
        component->SetName(node.Name);
      } catch (const Exception& e) {
        throw ELocatedReadError(Located(sourceName_, node.Line, e.Message()));
      }
    }
    if (parent_ != nullptr && component->HasParent()) component->SetParentComponent(parent_);
    if (parent_ != nullptr && node.ChildPos >= 0) parent_->SetChildOrder(component, node.ChildPos);
    session_.Loaded.Add(component);
    currentNode_ = &node;
    component->ReadState(this);
    component->SetReading(false);
    if (created && !node.Name.empty()) session_.Made.push_back({component, sourceName_, node.Line});
  } catch (...) {
    if (created) {
      session_.Loaded.Remove(component);
      if (session_.Fixups.size() > fixupMark) session_.Fixups.resize(fixupMark);
      FreeObject(component);
    }
    throw;
  }
}

void TReader::ReadProperty(TPersistent* instance, const Property& prop, const String& ownerName) {
  line_ = prop.Line;
  const String what = ownerName.empty() ? prop.Name : ownerName + "." + prop.Name;
  try {
    std::vector<String> parts = SplitPath(prop.Name);
    TPersistent* target = instance;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      const TPropInfo* info = GetPropInfo(target, parts[i]);
      if (info == nullptr) throw EPropertyError(Format(SUnknownProperty, parts[i]));
      if (info->Kind() != tkClass) throw EPropertyError(SInvalidPropertyPath);
      auto* next = dynamic_cast<TPersistent*>(info->GetObj(target));
      if (next == nullptr) throw EPropertyError(SInvalidPropertyPath);
      target = next;
    }
    const String& last = parts.back();
    if (const TPropInfo* info = GetPropInfo(target, last)) {
      ReadPropValue(target, info, prop.Val, what);
      return;
    }
    // Not published: one of the properties the object defines for the filer.
    String savedName = pendingName_;
    const Value* savedValue = pendingValue_;
    bool savedFound = pendingFound_;
    pendingName_ = last;
    pendingValue_ = &prop.Val;
    pendingFound_ = false;
    try {
      target->DefineProperties(this);
    } catch (...) {
      pendingName_ = savedName;
      pendingValue_ = savedValue;
      pendingFound_ = savedFound;
      throw;
    }
    bool found = pendingFound_;
    pendingName_ = savedName;
    pendingValue_ = savedValue;
    pendingFound_ = savedFound;
    if (!found) throw EPropertyError(Format(SUnknownProperty, last));
  } catch (const LocatedMark&) {
    throw;
  } catch (const Exception& e) {
    throw ELocatedReadError(Located(sourceName_, prop.Line, "Error reading " + what + ": " + e.Message()));
  }
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo* info, const Value& v, const String& what) {
  const TTypeInfo* type = info->PropType;
  switch (type->Kind) {
    case tkInteger:
      if (v.IsInteger()) {
        SetOrdProp(instance, info, v.Int);
      } else if (v.Type == vaIdent) {
        TIdentToInt identToInt = FindIdentToInt(type);
        Integer value = 0;
        if (!identToInt || !identToInt(v.Text, value)) InvalidValue();
        SetOrdProp(instance, info, value);
      } else {
        InvalidValue();
      }
      return;
    case tkChar:
    case tkWChar:
      if (v.IsString()) {
        SetStrProp(instance, info, v.Text);
      } else if (v.IsInteger()) {
        SetOrdProp(instance, info, v.Int);
      } else {
        InvalidValue();
      }
      return;
    case tkEnumeration:
      if (v.Type != vaIdent && v.Type != vaTrue && v.Type != vaFalse) InvalidValue();
      SetEnumProp(instance, info, v.Text);
      return;
    case tkSet: {
      if (v.Type != vaSet) InvalidValue();
      uint32_t bits = 0;
      for (const String& element : v.Set) {
        Integer ordinal = GetEnumValue(type->CompType, element);
        if (ordinal < 0 || ordinal >= 32) throw EPropertyConvertError("Invalid property element: " + element);
        bits |= 1u << ordinal;
      }
      SetOrdProp(instance, info, bits);
      return;
    }
    case tkFloat:
      SetFloatProp(instance, info, FloatOf(v, type->FloatType));
      return;
    case tkString:
    case tkLString:
      if (!v.IsString()) InvalidValue();
      SetStrProp(instance, info, v.Text);
      return;
    case tkWString:
      if (!v.IsString()) InvalidValue();
      SetWideStrProp(instance, info, Utf8ToWide(v.Text));
      return;
    case tkInt64:
      if (!v.IsInteger()) InvalidValue();
      SetInt64Prop(instance, info, v.Int);
      return;
    case tkVariant:
      SetVariantProp(instance, info, VariantOf(v));
      return;
    case tkClass:
      if (v.Type == vaNil) {
        SetObjectProp(instance, info, nullptr);
      } else if (v.Type == vaIdent) {
        TClass declared = type->ClassType();
        if (declared == nullptr || !declared->IsComponentClass()) InvalidValue();
        if (!info->IsWritable()) throw EPropertyError(SReadOnlyProperty);
        session_.Fixups.push_back(Fixup{instance, info, v.Text, sourceName_, v.Line ? v.Line : line_, what});
      } else if (v.Type == vaCollection) {
        auto* collection = dynamic_cast<TCollection*>(GetObjectProp(instance, info));
        if (collection == nullptr) InvalidValue();
        ReadCollectionItems(collection, v, what);
      } else {
        InvalidValue();
      }
      return;
    case tkMethod:
      if (v.Type == vaNil) {
        SetMethodProp(instance, info, TMethodValue());
      } else if (v.Type == vaIdent) {
        const TMethodEntry* entry = root_ ? root_->ClassType()->FindMethod(v.Text) : nullptr;
        if (entry == nullptr) throw EMethodNotFound(Format(SMethodNotFound, v.Text));
        if (*entry->DelegateType != *type->MethodType) {
          throw EPropertyConvertError("Method '" + v.Text + "' does not match the event type " + type->Name());
        }
        SetMethodProp(instance, info, entry->Bind(root_));
      } else {
        InvalidValue();
      }
      return;
    default:
      InvalidValue();
  }
}

void TReader::ReadCollectionItems(TCollection* collection, const Value& value, const String& what) {
  collection->BeginUpdate();
  try {
    // An empty "<>" leaves the collection as it is, as in the class library.
    if (!value.Items.empty()) collection->Clear();
    for (size_t i = 0; i < value.Items.size(); ++i) {
      TCollectionItem* item = collection->Add();
      const String itemName = what + "[" + IntToStr(static_cast<Integer>(i)) + "]";
      for (const Property& prop : value.Items[i].Props) ReadProperty(item, prop, itemName);
    }
  } catch (...) {
    collection->EndUpdate();
    throw;
  }
  collection->EndUpdate();
}

void TReader::DefineProperty(const String& Name, TReaderProc ReadData, TWriterProc, bool) {
  if (pendingValue_ == nullptr || pendingFound_ || !SameText(Name, pendingName_)) return;
  pendingFound_ = true;
  const Value* value = pendingValue_;
  pendingValue_ = nullptr;
  if (!ReadData) return;
  size_t savedBase = baseDepth_;
  cursors_.push_back(Cursor{value, 1, 0});
  baseDepth_ = cursors_.size();
  try {
    ReadData(this);
  } catch (...) {
    cursors_.resize(baseDepth_ - 1);
    baseDepth_ = savedBase;
    throw;
  }
  bool complete = cursors_.size() == baseDepth_ && cursors_.back().Pos == 1;
  cursors_.resize(baseDepth_ - 1);
  baseDepth_ = savedBase;
  if (!complete) InvalidValue();
}

void TReader::DefineBinaryProperty(const String& Name, TStreamProc ReadData, TStreamProc, bool) {
  if (pendingValue_ == nullptr || pendingFound_ || !SameText(Name, pendingName_)) return;
  pendingFound_ = true;
  const Value* value = pendingValue_;
  pendingValue_ = nullptr;
  if (value->Type != vaBinary) InvalidValue();
  if (!ReadData) return;
  TMemoryStream stream;
  if (!value->Bytes.empty()) stream.WriteBuffer(value->Bytes.data(), static_cast<Integer>(value->Bytes.size()));
  stream.SetPosition(0);
  ReadData(&stream);
}

// ---- TWriter ----

TWriter::TWriter(TComponent* root) { root_ = root; }

TWriter::~TWriter() = default;

void TWriter::Emit(Value value) {
  if (!listStack_.empty()) {
    listStack_.back()->push_back(std::move(value));
  } else if (pendingOut_ != nullptr) {
    pendingOut_->push_back(std::move(value));
  } else {
    throw EWriteError(SWriteError);
  }
}

void TWriter::WriteListBegin() {
  Value list;
  list.Type = vaList;
  std::vector<Value>* target = !listStack_.empty() ? listStack_.back() : pendingOut_;
  Emit(std::move(list));
  listStack_.push_back(&target->back().List);
}

void TWriter::WriteListEnd() {
  if (listStack_.empty()) throw EWriteError(SWriteError);
  listStack_.pop_back();
}

void TWriter::WriteInteger(Int64 Value) { Emit(k58::formtext::MakeInteger(Value)); }

void TWriter::WriteBoolean(bool Value) { Emit(k58::formtext::MakeIdent(Value ? "True" : "False")); }

void TWriter::WriteChar(char Value) { Emit(k58::formtext::MakeString(String(1, Value))); }

void TWriter::WriteWideChar(WideChar Value) { Emit(k58::formtext::MakeString(WideToUtf8(WideString(1, Value)))); }

void TWriter::WriteFloat(Extended Value) { Emit(k58::formtext::MakeFloat(Value, ftExtended, vaExtended)); }

void TWriter::WriteSingle(Single Value) { Emit(k58::formtext::MakeFloat(Value, ftSingle, vaSingle)); }

void TWriter::WriteCurrency(Currency Value) { Emit(k58::formtext::MakeFloat(Value.ToDouble(), ftDouble, vaCurrency)); }

void TWriter::WriteDate(TDateTime Value) { Emit(k58::formtext::MakeFloat(Value, ftDouble, vaDate)); }

void TWriter::WriteString(const String& Value) { Emit(k58::formtext::MakeString(Value)); }

void TWriter::WriteWideString(const WideString& Value) { Emit(k58::formtext::MakeString(WideToUtf8(Value))); }

void TWriter::WriteIdent(const String& Ident) { Emit(k58::formtext::MakeIdent(Ident)); }

void TWriter::WriteVariant(const Variant& Value) { Emit(ValueOfVariant(Value)); }

void TWriter::WriteCollection(TCollection* Collection) {
  Value value;
  value.Type = vaCollection;
  if (Collection != nullptr) {
    for (Integer i = 0; i < Collection->Count(); ++i) {
      k58::formtext::Item item;
      WriteProperties(Collection->GetItem(i), String(), item.Props);
      value.Items.push_back(std::move(item));
    }
  }
  Emit(std::move(value));
}

void TWriter::WriteData(TComponent* Instance) {
  Object* node = currentNode_;
  WriteProperties(Instance, String(), node->Props);
  Instance->GetChildren([this](TComponent* child) { WriteComponent(child); }, root_);
  currentNode_ = node;
}

void TWriter::WriteComponent(TComponent* component) {
  Object child;
  TComponentState state = component->ComponentState();
  child.Kind = state.Contains(csInline) ? ObjectKind::Inline
                                         : (state.Contains(csAncestor) ? ObjectKind::Inherited : ObjectKind::Object);
  child.Name = component->Name();
  child.ClassName = component->ClassName();
  Object* parent = currentNode_;
  parent->Children.push_back(std::move(child));
  currentNode_ = &parent->Children.back();
  component->SetWriting(true);
  try {
    component->WriteState(this);
  } catch (...) {
    component->SetWriting(false);
    currentNode_ = parent;
    throw;
  }
  component->SetWriting(false);
  currentNode_ = parent;
}

namespace {

// How a component reference is written: its name when the root owns it, "Owner.Name" otherwise.
String ReferenceName(TComponent* root, TComponent* component) {
  if (component == root) return root->Name();
  if (component->Name().empty()) return String();
  if (component->Owner() == root) return component->Name();
  if (component->Owner() != nullptr && !component->Owner()->Name().empty()) {
    return component->Owner()->Name() + "." + component->Name();
  }
  return String();
}

Value ScalarValue(TObject* instance, const TPropInfo* info) {
  const TTypeInfo* type = info->PropType;
  switch (type->Kind) {
    case tkInteger: {
      Int64 v = info->GetOrd(instance);
      String ident;
      if (TIntToIdent intToIdent = FindIntToIdent(type); intToIdent && intToIdent(static_cast<Integer>(v), ident)) {
        return k58::formtext::MakeIdent(ident);
      }
      return k58::formtext::MakeInteger(v);
    }
    case tkChar:
      return k58::formtext::MakeString(String(1, static_cast<char>(info->GetOrd(instance))));
    case tkWChar:
      return k58::formtext::MakeString(WideToUtf8(WideString(1, static_cast<char16_t>(info->GetOrd(instance)))));
    case tkEnumeration:
      return k58::formtext::MakeIdent(GetEnumName(type, static_cast<Integer>(info->GetOrd(instance))));
    case tkSet: {
      Value v;
      v.Type = vaSet;
      uint32_t bits = static_cast<uint32_t>(info->GetOrd(instance));
      for (unsigned bit = 0; bit < 32; ++bit) {
        if (bits & (1u << bit)) v.Set.push_back(GetEnumName(type->CompType, static_cast<Integer>(bit)));
      }
      return v;
    }
    case tkFloat: {
      Extended f = info->GetFloat(instance);
      switch (type->FloatType) {
        case ftSingle:
          return k58::formtext::MakeFloat(f, ftSingle, vaSingle);
        case ftCurr:
          return k58::formtext::MakeFloat(f, ftDouble, vaCurrency);
        case ftExtended:
          return k58::formtext::MakeFloat(f, ftExtended, vaExtended);
        default:
          return k58::formtext::MakeFloat(f, ftDouble, IsDateType(type) ? vaDate : vaExtended);
      }
    }
    case tkString:
    case tkLString:
      return k58::formtext::MakeString(info->GetStr(instance));
    case tkWString:
      return k58::formtext::MakeString(WideToUtf8(info->GetWStr(instance)));
    case tkInt64:
      return k58::formtext::MakeInteger(info->GetOrd(instance));
    case tkVariant:
      return ValueOfVariant(info->GetVar(instance));
    default:
      throw EWriteError(SWriteError);
  }
}

}  // namespace

void TWriter::WriteProperties(TPersistent* instance, const String& prefix, std::vector<Property>& out) {
  if (++depth_ > kMaxDepth) {
    --depth_;
    throw EWriteError(SWriteError);
  }
  try {
    for (const TPropInfo* info : instance->ClassType()->Properties()) {
      if (!IsStoredProp(instance, info)) continue;
      const String name = prefix + info->Name;
      switch (info->Kind()) {
        case tkClass: {
          TObject* object = info->GetObj(instance);
          if (object == nullptr) break;
          auto* component = dynamic_cast<TComponent*>(object);
          if (component != nullptr && !component->ComponentStyle().Contains(csSubComponent)) {
            if (!info->IsWritable()) break;
            String reference = ReferenceName(root_, component);
            if (!reference.empty()) out.push_back(Property{name, k58::formtext::MakeIdent(reference), 0});
          } else if (auto* collection = dynamic_cast<TCollection*>(object)) {
            if (collection->Count() == 0) break;
            Value value;
            value.Type = vaCollection;
            for (Integer i = 0; i < collection->Count(); ++i) {
              k58::formtext::Item item;
              WriteProperties(collection->GetItem(i), String(), item.Props);
              value.Items.push_back(std::move(item));
            }
            out.push_back(Property{name, std::move(value), 0});
          } else if (auto* persistent = dynamic_cast<TPersistent*>(object)) {
            WriteProperties(persistent, name + ".", out);
          }
          break;
        }
        case tkMethod: {
          if (!info->IsWritable()) break;
          TMethodValue handler = info->GetMethod(instance);
          if (handler.IsNil() || root_ == nullptr) break;
          String handlerName = root_->ClassType()->MethodName(root_, handler);
          if (!handlerName.empty()) out.push_back(Property{name, k58::formtext::MakeIdent(handlerName), 0});
          break;
        }
        default:
          if (!info->IsWritable() || IsDefaultPropValue(instance, info)) break;
          out.push_back(Property{name, ScalarValue(instance, info), 0});
          break;
      }
    }
    std::vector<Property>* savedProps = propsOut_;
    String savedPrefix = prefix_;
    propsOut_ = &out;
    prefix_ = prefix;
    try {
      instance->DefineProperties(this);
    } catch (...) {
      propsOut_ = savedProps;
      prefix_ = savedPrefix;
      throw;
    }
    propsOut_ = savedProps;
    prefix_ = savedPrefix;
  } catch (...) {
    --depth_;
    throw;
  }
  --depth_;
}

void TWriter::DefineProperty(const String& Name, TReaderProc, TWriterProc WriteData, bool HasData) {
  if (!HasData || !WriteData || propsOut_ == nullptr) return;
  std::vector<Value> values;
  std::vector<Value>* savedOut = pendingOut_;
  auto savedLists = std::move(listStack_);
  listStack_.clear();
  pendingOut_ = &values;
  std::vector<Property>* props = propsOut_;
  String prefix = prefix_;
  try {
    WriteData(this);
  } catch (...) {
    pendingOut_ = savedOut;
    listStack_ = std::move(savedLists);
    throw;
  }
  bool complete = listStack_.empty() && values.size() == 1;
  pendingOut_ = savedOut;
  listStack_ = std::move(savedLists);
  if (!complete) throw EWriteError(SWriteError);
  props->push_back(Property{prefix + Name, std::move(values.front()), 0});
}

void TWriter::DefineBinaryProperty(const String& Name, TStreamProc, TStreamProc WriteData, bool HasData) {
  if (!HasData || !WriteData || propsOut_ == nullptr) return;
  TMemoryStream stream;
  WriteData(&stream);
  Value value;
  value.Type = vaBinary;
  const auto* bytes = static_cast<const Byte*>(stream.Memory());
  value.Bytes.assign(bytes, bytes + stream.Size());
  propsOut_->push_back(Property{prefix_ + Name, std::move(value), 0});
}

// ---- Reading and writing whole components ----

namespace {

String ResourceSourceName(const String& resName) { return "resource " + UpperCase(resName); }

constexpr const char* SResourceReadingItself = "Resource %s is already being read: a form cannot hold an object of its own class";

// The classes whose form resources this thread is reading, outermost first. An object of one of them
// inside such a resource would read the same resource again, for ever.
std::vector<TClass>& ResourcesBeingRead() {
  thread_local std::vector<TClass> classes;
  return classes;
}

class ReadingResourceOf {
 public:
  explicit ReadingResourceOf(TClass cls) {
    std::vector<TClass>& reading = ResourcesBeingRead();
    if (std::find(reading.begin(), reading.end(), cls) != reading.end()) {
      throw EReadError(Format(SResourceReadingItself, UpperCase(cls->Name())));
    }
    reading.push_back(cls);
  }
  ~ReadingResourceOf() { ResourcesBeingRead().pop_back(); }
  ReadingResourceOf(const ReadingResourceOf&) = delete;
  ReadingResourceOf& operator=(const ReadingResourceOf&) = delete;
};

}  // namespace

TComponent* ReadComponentFromText(const String& Text, TComponent* Root, const String& SourceName,
                                  TComponent* Owner) {
  Object tree = k58::formtext::Parse(DecodeFileText(Text), SourceName);
  TReader::Session session;
  bool created = false;
  if (Root == nullptr) {
    TClass cls = GetClass(tree.ClassName);
    if (cls == nullptr) {
      throw ELocatedClassNotFound(Located(SourceName, tree.Line, Format(SClassNotFound, tree.ClassName)));
    }
    try {
      Root = cls->CreateComponent(Owner);
    } catch (const Exception& e) {
      throw ELocatedReadError(Located(SourceName, tree.Line, e.Message()));
    }
    created = true;
  }
  try {
    TReader reader(session);
    reader.sourceName_ = SourceName;
    reader.ReadRoot(tree, Root);
    session.Finish();
  } catch (...) {
    if (created) FreeObject(Root);
    throw;
  }
  return Root;
}

String WriteComponentToText(TComponent* Root) {
  Object tree;
  tree.Name = Root->Name();
  tree.ClassName = Root->ClassName();
  TWriter writer(Root);
  writer.currentNode_ = &tree;
  Root->SetWriting(true);
  try {
    Root->WriteState(&writer);
  } catch (...) {
    Root->SetWriting(false);
    throw;
  }
  Root->SetWriting(false);
  return k58::formtext::Print(tree);
}

TComponent* ReadComponentRes(const String& ResName, TComponent* Instance) {
  TResourceStream stream(HInstance, ResName, ResTypeRCData);
  String text(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
  return ReadComponentFromText(text, Instance, ResourceSourceName(ResName));
}

bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor) {
  std::vector<TClass> chain;
  for (TClass cls = Instance->ClassType(); cls != nullptr && cls != RootAncestor; cls = cls->Parent()) {
    chain.push_back(cls);
  }
  std::reverse(chain.begin(), chain.end());
  TReader::Session session;
  bool found = false;
  for (TClass cls : chain) {
    const TResourceData* data = FindResourceData(HInstance, cls->Name(), ResTypeRCData);
    if (data == nullptr) continue;
    const String source = ResourceSourceName(cls->Name());
    String text(reinterpret_cast<const char*>(data->Data), data->Size);
    Object tree = k58::formtext::Parse(DecodeFileText(text), source);
    ReadingResourceOf guard(cls);
    TReader reader(session);
    reader.sourceName_ = source;
    reader.ReadRoot(tree, Instance);
    found = true;
  }
  if (found) session.Finish();
  return found;
}

TComponent* TStream::ReadComponent(TComponent* Instance) {
  Int64 size = Size() - Position();
  String text(static_cast<size_t>(std::max<Int64>(size, 0)), '\0');
  if (!text.empty()) ReadBuffer(text.data(), static_cast<Integer>(text.size()));
  return ReadComponentFromText(text, Instance, "stream");
}

void TStream::WriteComponent(TComponent* Instance) {
  String text = WriteComponentToText(Instance);
  WriteBuffer(text.data(), static_cast<Integer>(text.size()));
}

void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  std::lock_guard<std::mutex> guard(GlobalFindersLock());
  auto& finders = GlobalFinders();
  if (std::find(finders.begin(), finders.end(), Proc) == finders.end()) finders.push_back(Proc);
}

void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc) {
  std::lock_guard<std::mutex> guard(GlobalFindersLock());
  std::erase(GlobalFinders(), Proc);
}

TComponent* FindGlobalComponent(const String& Name) {
  std::vector<TFindGlobalComponent> finders;
  {
    std::lock_guard<std::mutex> guard(GlobalFindersLock());
    finders = GlobalFinders();
  }
  for (TFindGlobalComponent finder : finders) {
    if (TComponent* c = finder(Name)) return c;
  }
  return nullptr;
}
