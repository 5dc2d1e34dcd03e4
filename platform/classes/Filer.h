// Streaming components from and to form resources (the readable text format of FormText.h), through the
// type information.
//
// Reading creates the components the text names (or finds them, for "inherited"), sets their published
// properties, binds event handlers by name through the root class's published methods, resolves component
// references once everything is read, stores the components in their owners' published fields, and then
// calls Loaded on every component read, the root first. Errors name the resource and the line.
//
// Published fields (ClassBuilder's b.Field("cbCom", &TfSetPort::cbCom)) get the component of that name
// that the reading made and that the class owning the field owns. A component of another class than the
// field's is an error (EReadError at the component's line), and so is a field of the root's class for
// which the resources read make no component (EReadError at the root's line): a form's Loaded can rely
// on its fields. Components that existed before the reading are not stored again.
//
// Writing gives the text back: published properties that are stored and differ from their defaults,
// sub-objects with dotted names, collections, defined properties, and the children that GetChildren lists.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Object.h"
#include "platform/rtl/Types.h"
#include "platform/rtl/VarCurrency.h"
#include "platform/rtl/Variants.h"

class TStream;
class TCollection;
class TReader;
class TWriter;

// Kinds of values in a resource, with the class library's numbering.
enum TValueType {
  vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue, vaBinary,
  vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString, vaInt64, vaUTF8String
};

namespace k58::formtext {
struct Value;
struct Object;
struct Property;
}  // namespace k58::formtext

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream* Stream)>;

class TFiler : public TObject {
  K58_CLASS(TFiler, TObject)

  // Declares a property stored in the resource without being published. While reading, ReadData runs
  // when the resource holds it; while writing, WriteData runs when HasData.
  virtual void DefineProperty(const String& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) = 0;
  // The same for raw bytes (bitmaps, pictures), written as {hex}.
  virtual void DefineBinaryProperty(const String& Name, TStreamProc ReadData, TStreamProc WriteData,
                                    bool HasData) = 0;

  // The component at the top of the resource, and the one names and handlers are looked up in.
  TComponent* Root() const { return root_; }
  TComponent* LookupRoot() const { return root_; }
  // Always nil: resources are written whole, not as differences to an ancestor.
  TPersistent* Ancestor() const { return nullptr; }

 protected:
  TComponent* root_ = nullptr;
};

class TReader : public TFiler {
  K58_CLASS(TReader, TFiler)

  ~TReader() override;

  // ---- Values, for the read procedures of defined properties ----
  // Kind of the next value; vaNull at the end of a list.
  TValueType NextValue();
  bool EndOfList();
  void ReadListBegin();
  void ReadListEnd();
  Integer ReadInteger();
  Int64 ReadInt64();
  bool ReadBoolean();
  char ReadChar();
  WideChar ReadWideChar();
  Extended ReadFloat();
  Single ReadSingle();
  Currency ReadCurrency();
  TDateTime ReadDate();
  String ReadString();
  WideString ReadWideString();
  String ReadIdent();
  Variant ReadVariant();
  void ReadCollection(TCollection* Collection);
  void SkipValue();

  // ---- Components ----
  // Reads the properties and children of the component being read (TComponent::ReadState calls it).
  void ReadData(TComponent* Instance);
  // Owner and parent that children read now get.
  TComponent* Owner() const { return owner_; }
  TComponent* Parent() const { return parent_; }
  const String& SourceName() const { return sourceName_; }

  void DefineProperty(const String& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const String& Name, TStreamProc ReadData, TStreamProc WriteData, bool HasData) override;

 private:
  friend TComponent* ReadComponentFromText(const String& Text, TComponent* Root, const String& SourceName,
                                           TComponent* Owner);
  friend bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);
  struct Fixup;
  struct Cursor;
  class Session;

  explicit TReader(Session& session);

  void ReadRoot(const k58::formtext::Object& node, TComponent* root);
  void ReadComponent(const k58::formtext::Object& node);
  void ReadProperty(TPersistent* instance, const k58::formtext::Property& prop, const String& ownerName);
  void ReadPropValue(TPersistent* instance, const TPropInfo* info, const k58::formtext::Value& value,
                     const String& what);
  void ReadCollectionItems(TCollection* collection, const k58::formtext::Value& value, const String& ownerName);
  const k58::formtext::Value& Take();
  const k58::formtext::Value& Peek();
  [[noreturn]] void ValueError(const String& message);

  Session& session_;
  TComponent* owner_ = nullptr;
  TComponent* parent_ = nullptr;
  const k58::formtext::Object* currentNode_ = nullptr;
  // Defined property being looked for, and whether one matched.
  String pendingName_;
  const k58::formtext::Value* pendingValue_ = nullptr;
  bool pendingFound_ = false;
  std::vector<Cursor> cursors_;
  size_t baseDepth_ = 0;  // cursors below this belong to an enclosing defined property
  String sourceName_;
  int line_ = 0;
};

class TWriter : public TFiler {
  K58_CLASS(TWriter, TFiler)

  ~TWriter() override;

  // ---- Values, for the write procedures of defined properties ----
  void WriteListBegin();
  void WriteListEnd();
  void WriteInteger(Int64 Value);
  void WriteBoolean(bool Value);
  void WriteChar(char Value);
  void WriteWideChar(WideChar Value);
  void WriteFloat(Extended Value);
  void WriteSingle(Single Value);
  void WriteCurrency(Currency Value);
  void WriteDate(TDateTime Value);
  void WriteString(const String& Value);
  void WriteWideString(const WideString& Value);
  void WriteIdent(const String& Ident);
  // Null, Booleans, numbers, dates, strings and one-dimensional arrays; other kinds raise EWriteError.
  void WriteVariant(const Variant& Value);
  void WriteCollection(TCollection* Value);

  // ---- Components ----
  // Writes the properties and children of the component being written (TComponent::WriteState calls it).
  void WriteData(TComponent* Instance);

  void DefineProperty(const String& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const String& Name, TStreamProc ReadData, TStreamProc WriteData, bool HasData) override;

 private:
  friend String WriteComponentToText(TComponent* Root);
  explicit TWriter(TComponent* root);

  void WriteComponent(TComponent* component);
  void WriteProperties(TPersistent* instance, const String& prefix, std::vector<k58::formtext::Property>& out);
  void Emit(k58::formtext::Value value);

  k58::formtext::Object* currentNode_ = nullptr;
  // Values of the defined property being written.
  std::vector<k58::formtext::Value>* pendingOut_ = nullptr;
  std::vector<std::vector<k58::formtext::Value>*> listStack_;
  std::vector<k58::formtext::Property>* propsOut_ = nullptr;
  String prefix_;
  int depth_ = 0;
};

// ---- Reading and writing components ----

// Reads form text into Root (or, with Root nil, into a new component of the class the text names, owned
// by Owner) and answers the root. SourceName names the text in errors.
TComponent* ReadComponentFromText(const String& Text, TComponent* Root, const String& SourceName,
                                  TComponent* Owner = nullptr);
// The form text of Root and the components it lists through GetChildren.
String WriteComponentToText(TComponent* Root);

// Reads the form resource (type RCDATA) named ResName into Instance.
TComponent* ReadComponentRes(const String& ResName, TComponent* Instance);
// Reads the form resources of Instance's class and of its ancestors below RootAncestor, each named after
// its class (upper case), ancestors first; Loaded runs once, after the last. False when none exists.
bool InitInheritedComponent(TComponent* Instance, TClass RootAncestor);

// Finding components of other roots ("Form2.Button1") for references in resources: the forms layer
// registers a function that finds a form or data module by name.
using TFindGlobalComponent = TComponent* (*)(const String& Name);
void RegisterFindGlobalComponentProc(TFindGlobalComponent Proc);
void UnregisterFindGlobalComponentProc(TFindGlobalComponent Proc);
TComponent* FindGlobalComponent(const String& Name);
