// The classes binding module: lists, string lists, streams, collections, components and the script XML
// document; and the registration of the four class library modules.
#include "platform/classes/Collection.h"
#include "platform/classes/Lists.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "script/sc_bindings.h"
#include "script/sc_const.h"
#include "script/sc_events.h"
#include "script/sc_xml.h"

namespace k58::script::bindings {

TObject* NeedInstance(TObject* Instance) {
  if (Instance == nullptr) throw EAccessViolation(scconsts::SObjectNil);
  return Instance;
}

Variant NewInstance(TObject* Instance, TscMethodHelper* Caller, TComponent* Owner) {
  const TClass cls = Caller->ParentClass() != nullptr ? Caller->ParentClass() : NeedInstance(Instance)->ClassType();
  TObject* made = CreateScriptInstance(cls, Owner);
  MarkUserMade(made);
  return ObjValue(made);
}

namespace {

// The name of the nearest ancestor of AClass that Script knows, "" for none.
String RegisteredAncestorName(TClass AClass, TscScript* Script) {
  for (TClass cls = AClass->Parent(); cls != nullptr; cls = cls->Parent()) {
    if (Script->FindClass(cls->Name()) != nullptr) return cls->Name();
  }
  return String();
}

void RegisterEnumType(const TTypeInfo* Type, TscScript* Script) {
  const bool isSet = Type->Kind == tkSet;
  const TTypeInfo* values = isSet ? Type->CompType : Type;
  const String name = Type->Name();
  Script->AddType(name, tcEnum);
  if (values == nullptr) return;
  for (size_t i = 0; i < values->EnumNames.size(); ++i) {
    const Integer value = isSet ? static_cast<Integer>(static_cast<uint32_t>(1) << (i & 31)) : static_cast<Integer>(i);
    Script->AddConst(values->EnumNames[i], name, value);
  }
}

}  // namespace

uint64_t VarSetBits(const Variant& Value) {
  if (!VarIsArray(Value)) return static_cast<uint64_t>(Value.AsInt64());
  uint64_t bits = 0;
  for (Integer i = VarArrayLowBound(Value, 1); i <= VarArrayHighBound(Value, 1); ++i) {
    const Variant element = VarArrayGet(Value, {i});
    if (!element.IsNull()) bits |= static_cast<uint64_t>(element.AsInt64());
  }
  return bits;
}

void RegisterPublishedTypes(TscScript* Script) {
  for (bool added = true; added;) {
    added = false;
    for (Integer i = 0; i < Script->Count(); ++i) {
      auto* cls = dynamic_cast<TscClassVariable*>(Script->Items(i));
      if (cls == nullptr || !cls->ClassRef()->HasPublishedInfo()) continue;
      for (const TPropInfo* prop : cls->ClassRef()->Properties()) {
        const TTypeInfo* type = prop->PropType;
        if (type->Kind == tkSet || (type->Kind == tkEnumeration && !SameText(type->Name(), "Boolean"))) {
          if (Script->Find(type->Name()) == nullptr) RegisterEnumType(type, Script);
        } else if (type->Kind == tkClass && type->ClassType() != nullptr) {
          const TClass propClass = type->ClassType();
          if (Script->FindClass(propClass->Name()) != nullptr) continue;
          // Its ancestors first, so each class knows the one it comes from.
          std::vector<TClass> chain;
          for (TClass c = propClass; c != nullptr && Script->FindClass(c->Name()) == nullptr; c = c->Parent()) {
            chain.push_back(c);
          }
          for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            Script->AddClass(*it, RegisteredAncestorName(*it, Script));
          }
          added = true;
        }
      }
    }
  }
}

void CheckMayFree(TObject* Object) {
  const auto* item = dynamic_cast<TscXMLItem*>(Object);
  const bool mayFree = Object->InheritsFrom(TComponent::StaticClass()) || IsUserMade(Object);
  if (!mayFree || IsOwnedSubObject(Object) || (item != nullptr && item->Parent() != nullptr)) {
    throw EInvalidOperation(Format("The %s is owned by another object and cannot be freed",
                                   Object->ClassName().c_str()));
  }
  if (ScriptEventRunsOn(Object)) {
    throw EInvalidOperation(Format("The %s cannot be freed while one of its events runs",
                                   Object->ClassName().c_str()));
  }
}

namespace classesmod {

class TFunctions : public TscRTTIModule {
 public:
  explicit TFunctions(TscScript* AScript);

 private:
  Variant CallClassesMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
  Variant GetClassesProp(TObject* Instance, TClass ClassRef, const String& PropName);
  void SetClassesProp(TObject* Instance, TClass ClassRef, const String& PropName, const Variant& Value);

  Variant CallStrings(TStrings* Strings, const String& Name, TscMethodHelper* Caller);
  Variant CallStream(TStream* Stream, const String& Name, TscMethodHelper* Caller);
  Variant CallXMLItem(TObject* Instance, const String& Name, TscMethodHelper* Caller);
};

TFunctions::TFunctions(TscScript* AScript) : TscRTTIModule(AScript) {
  TscScript* s = AScript;
  const TscMethodCallback call(this, &TFunctions::CallClassesMethod);
  const TscPropGetCallback get(this, &TFunctions::GetClassesProp);
  const TscPropSetCallback set(this, &TFunctions::SetClassesProp);

  const std::pair<const char*, Integer> constants[] = {
      {"fmCreate", 0xFFFF},         {"fmOpenRead", 0},       {"fmOpenWrite", 1},      {"fmOpenReadWrite", 2},
      {"fmShareExclusive", 16},     {"fmShareDenyWrite", 32}, {"fmShareDenyNone", 64}, {"soFromBeginning", 0},
      {"soFromCurrent", 1},         {"soFromEnd", 2}};
  for (const auto& [name, value] : constants) s->AddConst(name, "Integer", value);
  s->AddEnum("TDuplicates", "dupIgnore, dupAccept, dupError");
  s->AddEnum("TPrinterOrientation", "poPortrait, poLandscape");

  TscClassVariable* c = s->AddClass(TObject::StaticClass(), "");
  c->AddConstructor("constructor Create", call);
  c->AddMethod("procedure Free", call);
  c->AddMethod("function ClassName: String", call);

  c = s->AddClass(TPersistent::StaticClass(), "TObject");
  c->AddMethod("procedure Assign(Source: TPersistent)", call);

  s->AddClass(TCollectionItem::StaticClass(), "TPersistent");

  c = s->AddClass(TCollection::StaticClass(), "TPersistent");
  c->AddMethod("procedure Clear", call);
  c->AddProperty("Count", "Integer", get);
  c->AddDefaultProperty("Items", "Integer", "TCollectionItem", call, true);

  c = s->AddClass(TList::StaticClass(), "TObject");
  c->AddMethod("function Add(Item: TObject): Integer", call);
  c->AddMethod("procedure Clear", call);
  c->AddMethod("procedure Delete(Index: Integer)", call);
  c->AddMethod("function IndexOf(Item: TObject): Integer", call);
  c->AddMethod("procedure Insert(Index: Integer; Item: TObject)", call);
  c->AddMethod("function Remove(Item: TObject): Integer", call);
  c->AddProperty("Count", "Integer", get);
  c->AddDefaultProperty("Items", "Integer", "TObject", call, false);

  c = s->AddClass(TStrings::StaticClass(), "TPersistent");
  for (const char* syntax :
       {"function Add(const S: string): Integer", "function AddObject(const S: string; AObject: TObject): Integer",
        "procedure Clear", "procedure Delete(Index: Integer)", "function IndexOf(const S: string): Integer",
        "function IndexOfName(const Name: string): Integer", "function IndexOfObject(AObject: TObject): Integer",
        "procedure Insert(Index: Integer; const S: string)",
        "procedure InsertObject(Index: Integer; const S: string; AObject: TObject)",
        "procedure LoadFromFile(const FileName: string)", "procedure LoadFromStream(Stream: TStream)",
        "procedure SaveToFile(const FileName: string)", "procedure Move(CurIndex, NewIndex: Integer)",
        "procedure SaveToStream(Stream: TStream)"}) {
    c->AddMethod(syntax, call);
  }
  c->AddProperty("CommaText", "string", get, set);
  c->AddProperty("Count", "Integer", get);
  c->AddProperty("Text", "string", get, set);
  c->AddIndexProperty("Names", "Integer", "string", call, true);
  c->AddIndexProperty("Objects", "Integer", "TObject", call, false);
  c->AddIndexProperty("Values", "String", "string", call, false);
  c->AddDefaultProperty("Strings", "Integer", "string", call, false);

  c = s->AddClass(TStringList::StaticClass(), "TStrings");
  c->AddMethod("function Find(s: String; var Index: Integer): Boolean", call);
  c->AddMethod("procedure Sort", call);
  c->AddProperty("Duplicates", "TDuplicates", get, set);
  c->AddProperty("Sorted", "Boolean", get, set);

  c = s->AddClass(TStream::StaticClass(), "TObject");
  c->AddMethod("function Read(var Buffer: string; Count: Longint): Longint", call);
  c->AddMethod("function Write(Buffer: string; Count: Longint): Longint", call);
  c->AddMethod("function Seek(Offset: Longint; Origin: Word): Longint", call);
  c->AddMethod("function CopyFrom(Source: TStream; Count: Longint): Longint", call);
  c->AddProperty("Position", "Longint", get, set);
  c->AddProperty("Size", "Longint", get);

  c = s->AddClass(TFileStream::StaticClass(), "TStream");
  c->AddConstructor("constructor Create(Filename: String; Mode: Word)", call);

  c = s->AddClass(TMemoryStream::StaticClass(), "TStream");
  for (const char* syntax : {"procedure Clear", "procedure LoadFromStream(Stream: TStream)",
                             "procedure LoadFromFile(Filename: String)", "procedure SaveToStream(Stream: TStream)",
                             "procedure SaveToFile(Filename: String)"}) {
    c->AddMethod(syntax, call);
  }

  c = s->AddClass(TComponent::StaticClass(), "TPersistent");
  c->AddConstructor("constructor Create(AOwner: TComponent)", call);
  c->AddProperty("Owner", "TComponent", get);

  c = s->AddClass(TscXMLItem::StaticClass(), "TObject");
  c->AddConstructor("constructor Create", call);
  for (const char* syntax :
       {"procedure AddItem(Item: TscXMLItem)", "procedure Clear", "procedure InsertItem(Index: Integer; Item: TscXMLItem)",
        "function Add: TscXMLItem", "function Find(const Name: String): Integer",
        "function FindItem(const Name: String): TscXMLItem", "function Prop(const Name: String): String",
        "function Root: TscXMLItem"}) {
    c->AddMethod(syntax, call);
  }
  c->AddProperty("Data", "Integer", get, set);
  c->AddProperty("Count", "Integer", get);
  c->AddProperty("Name", "String", get, set);
  c->AddProperty("Parent", "TscXMLItem", get);
  c->AddProperty("Text", "String", get, set);
  c->AddDefaultProperty("Items", "Integer", "TscXMLItem", call, true);

  c = s->AddClass(TscXMLDocument::StaticClass(), "TObject");
  c->AddConstructor("constructor Create", call);
  for (const char* syntax : {"procedure SaveToStream(Stream: TStream)", "procedure LoadFromStream(Stream: TStream)",
                             "procedure SaveToFile(const FileName: String)",
                             "procedure LoadFromFile(const FileName: String)"}) {
    c->AddMethod(syntax, call);
  }
  c->AddProperty("Root", "TscXMLItem", get);
}

Variant TFunctions::CallClassesMethod(TObject* Instance, TClass ClassRef, const String& MethodName,
                                      TscMethodHelper* Caller) {
  const String& n = MethodName;
  if (ClassRef == TObject::StaticClass()) {
    if (n == "CREATE") return NewInstance(Instance, Caller);
    if (n == "CLASSNAME") {
      if (Instance == nullptr && Caller->ParentClass() != nullptr) return Caller->ParentClass()->Name();
      return As<TObject>(Instance)->ClassName();
    }
    if (n == "FREE") {
      // Free on nil does nothing, as in the class library.
      if (Instance == nullptr) return Integer{0};
      CheckMayFree(Instance);
      FreeObject(Instance);
    }
  } else if (ClassRef == TPersistent::StaticClass()) {
    if (n == "ASSIGN") As<TPersistent>(Instance)->Assign(ObjArg<TPersistent>(Caller, 0));
  } else if (ClassRef == TCollection::StaticClass()) {
    auto* collection = As<TCollection>(Instance);
    if (n == "CLEAR") collection->Clear();
    if (n == "ITEMS.GET") return ObjValue(collection->Items(IntArg(Caller, 0)));
  } else if (ClassRef == TList::StaticClass()) {
    auto* list = As<TList>(Instance);
    if (n == "ADD") return list->Add(ObjArg<TObject>(Caller, 0));
    if (n == "CLEAR") list->Clear();
    if (n == "DELETE") list->Delete(IntArg(Caller, 0));
    if (n == "INDEXOF") return list->IndexOf(ObjArg<TObject>(Caller, 0));
    if (n == "INSERT") list->Insert(IntArg(Caller, 0), ObjArg<TObject>(Caller, 1));
    if (n == "REMOVE") return list->Remove(ObjArg<TObject>(Caller, 0));
    if (n == "ITEMS.GET") return ObjValue(static_cast<TObject*>(list->Get(IntArg(Caller, 0))));
    if (n == "ITEMS.SET") list->Put(IntArg(Caller, 0), ObjArg<TObject>(Caller, 1));
  } else if (ClassRef == TStrings::StaticClass()) {
    return CallStrings(As<TStrings>(Instance), n, Caller);
  } else if (ClassRef == TStringList::StaticClass()) {
    auto* list = As<TStringList>(Instance);
    if (n == "FIND") {
      Integer index = 0;
      const bool found = list->Find(StrArg(Caller, 0), index);
      Caller->SetParamValue(1, index);
      return found;
    }
    if (n == "SORT") list->Sort();
  } else if (ClassRef == TStream::StaticClass()) {
    return CallStream(As<TStream>(Instance), n, Caller);
  } else if (ClassRef == TFileStream::StaticClass()) {
    if (n == "CREATE") {
      auto* stream = new TFileStream(StrArg(Caller, 0), static_cast<Word>(IntArg(Caller, 1)));
      MarkUserMade(stream);
      return ObjValue(stream);
    }
  } else if (ClassRef == TMemoryStream::StaticClass()) {
    auto* stream = As<TMemoryStream>(Instance);
    if (n == "CLEAR") stream->Clear();
    if (n == "LOADFROMSTREAM") stream->LoadFromStream(NonNilArg<TStream>(Caller, 0));
    if (n == "LOADFROMFILE") stream->LoadFromFile(StrArg(Caller, 0));
    if (n == "SAVETOSTREAM") stream->SaveToStream(NonNilArg<TStream>(Caller, 0));
    if (n == "SAVETOFILE") stream->SaveToFile(StrArg(Caller, 0));
  } else if (ClassRef == TComponent::StaticClass()) {
    if (n == "CREATE") return NewInstance(Instance, Caller, ObjArg<TComponent>(Caller, 0));
  } else if (ClassRef == TscXMLItem::StaticClass()) {
    return CallXMLItem(Instance, n, Caller);
  } else if (ClassRef == TscXMLDocument::StaticClass()) {
    if (n == "CREATE") return NewInstance(Instance, Caller);
    auto* document = As<TscXMLDocument>(Instance);
    if (n == "SAVETOSTREAM") document->SaveToStream(NonNilArg<TStream>(Caller, 0));
    if (n == "LOADFROMSTREAM") document->LoadFromStream(NonNilArg<TStream>(Caller, 0));
    if (n == "SAVETOFILE") document->SaveToFile(StrArg(Caller, 0));
    if (n == "LOADFROMFILE") document->LoadFromFile(StrArg(Caller, 0));
  }
  return Integer{0};
}

Variant TFunctions::CallStrings(TStrings* Strings, const String& n, TscMethodHelper* Caller) {
  if (n == "ADD") return Strings->Add(StrArg(Caller, 0));
  if (n == "ADDOBJECT") return Strings->AddObject(StrArg(Caller, 0), ObjArg<TObject>(Caller, 1));
  if (n == "CLEAR") Strings->Clear();
  if (n == "DELETE") Strings->Delete(IntArg(Caller, 0));
  if (n == "INDEXOF") return Strings->IndexOf(StrArg(Caller, 0));
  if (n == "INDEXOFNAME") return Strings->IndexOfName(StrArg(Caller, 0));
  if (n == "INDEXOFOBJECT") return Strings->IndexOfObject(ObjArg<TObject>(Caller, 0));
  if (n == "INSERT") Strings->Insert(IntArg(Caller, 0), StrArg(Caller, 1));
  if (n == "INSERTOBJECT") Strings->InsertObject(IntArg(Caller, 0), StrArg(Caller, 1), ObjArg<TObject>(Caller, 2));
  if (n == "LOADFROMFILE") Strings->LoadFromFile(StrArg(Caller, 0));
  if (n == "LOADFROMSTREAM") Strings->LoadFromStream(NonNilArg<TStream>(Caller, 0));
  if (n == "SAVETOFILE") Strings->SaveToFile(StrArg(Caller, 0));
  if (n == "MOVE") Strings->Move(IntArg(Caller, 0), IntArg(Caller, 1));
  if (n == "SAVETOSTREAM") Strings->SaveToStream(NonNilArg<TStream>(Caller, 0));
  if (n == "NAMES.GET") return Strings->Names(IntArg(Caller, 0));
  if (n == "OBJECTS.GET") return ObjValue(Strings->Objects(IntArg(Caller, 0)));
  if (n == "OBJECTS.SET") Strings->PutObject(IntArg(Caller, 0), ObjArg<TObject>(Caller, 1));
  if (n == "VALUES.GET") return Strings->Values(StrArg(Caller, 0));
  if (n == "VALUES.SET") Strings->SetValues(StrArg(Caller, 0), StrArg(Caller, 1));
  if (n == "STRINGS.GET") return Strings->Strings(IntArg(Caller, 0));
  if (n == "STRINGS.SET") Strings->Put(IntArg(Caller, 0), StrArg(Caller, 1));
  return Integer{0};
}

Variant TFunctions::CallStream(TStream* Stream, const String& n, TscMethodHelper* Caller) {
  if (n == "READ") {
    // No more than the stream still holds, so a large Count allocates nothing it cannot fill.
    const Int64 left = std::max<Int64>(0, Stream->Size() - Stream->Position());
    const Integer count = static_cast<Integer>(std::clamp<Int64>(IntArg(Caller, 1), 0, left));
    String buffer(static_cast<size_t>(count), '\0');
    const Integer read = count > 0 ? Stream->Read(buffer.data(), count) : 0;
    buffer.resize(static_cast<size_t>(std::max(read, 0)));
    Caller->SetParamValue(0, buffer);
    return read;
  }
  if (n == "WRITE") {
    // Never more than the buffer holds.
    const String buffer = StrArg(Caller, 0);
    const auto count = static_cast<Integer>(std::clamp<Int64>(IntArg(Caller, 1), 0, static_cast<Int64>(buffer.size())));
    return count > 0 ? Stream->Write(buffer.data(), count) : 0;
  }
  if (n == "SEEK") {
    const Integer origin = IntArg(Caller, 1);
    if (origin < soFromBeginning || origin > soFromEnd) throw EStreamError("Invalid stream origin");
    return Stream->Seek(IntArg(Caller, 0), static_cast<TSeekFrom>(origin));
  }
  if (n == "COPYFROM") return Stream->CopyFrom(NonNilArg<TStream>(Caller, 0), Arg(Caller, 1).AsInt64());
  return Integer{0};
}

Variant TFunctions::CallXMLItem(TObject* Instance, const String& n, TscMethodHelper* Caller) {
  if (n == "CREATE") return NewInstance(Instance, Caller);
  auto* item = As<TscXMLItem>(Instance);
  if (n == "ADDITEM") item->AddItem(NonNilArg<TscXMLItem>(Caller, 0));
  if (n == "CLEAR") item->Clear();
  if (n == "INSERTITEM") item->InsertItem(IntArg(Caller, 0), NonNilArg<TscXMLItem>(Caller, 1));
  if (n == "ADD") return ObjValue(item->Add());
  if (n == "FIND") return item->Find(StrArg(Caller, 0));
  if (n == "FINDITEM") return ObjValue(item->FindItem(StrArg(Caller, 0)));
  if (n == "PROP") return item->Prop(StrArg(Caller, 0));
  if (n == "ROOT") return ObjValue(item->Root());
  if (n == "ITEMS.GET") return ObjValue(item->Items(IntArg(Caller, 0)));
  return Integer{0};
}

Variant TFunctions::GetClassesProp(TObject* Instance, TClass ClassRef, const String& n) {
  if (ClassRef == TCollection::StaticClass() && n == "COUNT") return As<TCollection>(Instance)->Count();
  if (ClassRef == TList::StaticClass() && n == "COUNT") return As<TList>(Instance)->Count();
  if (ClassRef == TStrings::StaticClass()) {
    auto* strings = As<TStrings>(Instance);
    if (n == "COMMATEXT") return strings->CommaText();
    if (n == "COUNT") return strings->Count();
    if (n == "TEXT") return strings->Text();
  } else if (ClassRef == TStringList::StaticClass()) {
    auto* list = As<TStringList>(Instance);
    if (n == "DUPLICATES") return static_cast<Integer>(list->Duplicates());
    if (n == "SORTED") return list->Sorted();
  } else if (ClassRef == TStream::StaticClass()) {
    if (n == "POSITION") return As<TStream>(Instance)->Position();
    if (n == "SIZE") return As<TStream>(Instance)->Size();
  } else if (ClassRef == TComponent::StaticClass()) {
    if (n == "OWNER") return ObjValue(As<TComponent>(Instance)->Owner());
  } else if (ClassRef == TscXMLItem::StaticClass()) {
    auto* item = As<TscXMLItem>(Instance);
    if (n == "DATA") return static_cast<Integer>(item->Data());
    if (n == "COUNT") return item->Count();
    if (n == "NAME") return item->Name();
    if (n == "PARENT") return ObjValue(item->Parent());
    if (n == "TEXT") return item->Text();
  } else if (ClassRef == TscXMLDocument::StaticClass()) {
    if (n == "ROOT") {
      TscXMLItem* root = As<TscXMLDocument>(Instance)->Root();
      MarkOwnedSubObject(root);  // the document frees it
      return ObjValue(root);
    }
  }
  return Integer{0};
}

void TFunctions::SetClassesProp(TObject* Instance, TClass ClassRef, const String& n, const Variant& Value) {
  if (ClassRef == TStrings::StaticClass()) {
    if (n == "COMMATEXT") As<TStrings>(Instance)->SetCommaText(Value.AsString());
    if (n == "TEXT") As<TStrings>(Instance)->SetText(Value.AsString());
  } else if (ClassRef == TStringList::StaticClass()) {
    if (n == "DUPLICATES") {
      const Integer value = Value.AsInteger();
      if (value < dupIgnore || value > dupError) throw EPropertyConvertError("Invalid property value");
      As<TStringList>(Instance)->SetDuplicates(static_cast<TDuplicates>(value));
    }
    if (n == "SORTED") As<TStringList>(Instance)->SetSorted(Value.AsBoolean());
  } else if (ClassRef == TStream::StaticClass()) {
    if (n == "POSITION") As<TStream>(Instance)->SetPosition(Value.AsInt64());
  } else if (ClassRef == TscXMLItem::StaticClass()) {
    auto* item = As<TscXMLItem>(Instance);
    if (n == "DATA") item->SetData(Value.AsInteger());
    if (n == "NAME") item->SetName(Value.AsString());
    if (n == "TEXT") item->SetText(Value.AsString());
  }
}

}  // namespace classesmod

TscRTTIModule* CreateClassesModule(TscScript* AScript) { return new classesmod::TFunctions(AScript); }

namespace {

// The class library's modules follow the system library in this order.
const bool modulesRegistered = [] {
  RegisterRTTIModule(&CreateClassesModule);
  RegisterRTTIModule(&CreateGraphicsModule);
  RegisterRTTIModule(&CreateFormsModule);
  RegisterRTTIModule(&CreateDialogsModule);
  return true;
}();

}  // namespace
}  // namespace k58::script::bindings
