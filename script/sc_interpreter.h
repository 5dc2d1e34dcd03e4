// The script engine's run time: the script component TscScript with its item table, the items a script
// names or computes (variables, constants, types, parameters, procedures, designators, helpers), class
// bindings over the platform's type information, binding modules, and the signature and type helpers the
// compiler and the run time share.
//
// Contract:
// - Threads: a script and everything it holds belongs to the thread that uses it; nothing locks. The
//   module-class registry and the compiler messages are process-wide and filled at start-up.
// - Ownership: a script owns every item of its table (TscScript::Remove only unlinks) and its main
//   statement; a procedure owns its local script and its parameters; a class variable owns its members;
//   a designator owns its items, an item its argument expressions; statements own their expressions,
//   designators and nested statements. Items a designator or statement refers to (Ref, Target, loop and
//   with variables) belong to a script's table.
// - Values: every item is read and written as a Variant. Objects travel in the Variant's object kind and
//   are taken out with ScriptObject (nil: "Object reference is nil"; another class: "Invalid class
//   typecast"); a class name evaluates to a class reference (VarFromClass), from which only a constructor
//   member makes an instance.
// - Errors: compile errors are the script's ErrorText, ErrorPosition and ErrorUnitName; run-time errors
//   are exceptions of the class library's tree that leave Execute, CallFunction and item reads unless a
//   script try statement handles them; break, continue, exit and termination are flags, not exceptions.
//   Script calls nest at most MaxCallDepth deep and never closer than a safety margin to the end of the
//   native stack: deeper calls raise a catchable "Stack overflow".
// - Re-entry: callbacks and OnRunLine may run script code of the same program (nested calls); a
//   procedure that is running when it is called again keeps its locals (they are saved and restored).
// - Text: names compare ignoring case (Unicode-aware); string functions count code points.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Delegate.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Variants.h"
#include "script/sc_ilparser.h"

class TscScript;
class TscStatement;
class TscParamItem;
class TscClassVariable;
class TscMethodHelper;
class TscEventHelper;
class TscXMLItem;

// Type codes of items.
enum TscTypeCode : uint8_t {
  tcInteger,      // integer types (Byte, Word, Integer, Longint, Cardinal, TColor)
  tcBoolean,
  tcFloat,        // Real, Single, Double, Extended, Currency, TDate, TTime, TDateTime
  tcChar,
  tcString,
  tcClass,        // object reference; the type name is the class name
  tcArray,
  tcVariant,      // Variant, Pointer, untyped
  tcEnum,         // enumeration or set type; the type name is its name
  tcConstructor,  // result type of constructors
};

// Who registered an item: 0 normally, otRTTI while binding modules register, a host's own tag (usually
// OwnerTagOf(itself)) while it registers.
using TscOwnerTag = intptr_t;
inline constexpr TscOwnerTag otNone = 0;
inline constexpr TscOwnerTag otRTTI = 1;
inline TscOwnerTag OwnerTagOf(const TObject* Owner) { return reinterpret_cast<TscOwnerTag>(Owner); }

// Deepest nesting of script procedure calls.
inline constexpr Integer MaxCallDepth = 4000;

// ---- Values --------------------------------------------------------------------------------------------
// The object held by Value, checked: an object (of AClass or a descendant when AClass is given); nil, 0,
// Empty and Null raise "Object reference is nil"; anything else, or an object of another class, raises
// "Invalid class typecast".
TObject* ScriptObject(const Variant& Value, TClass AClass = nullptr);
// As ScriptObject, but nil (nil object, 0, Empty, Null) gives nullptr.
TObject* ScriptObjectOrNil(const Variant& Value, TClass AClass = nullptr);
// True for the values that stand for nil: a nil object, the integer 0, Empty and Null.
bool VarIsNil(const Variant& Value);
// A class reference as a value (what a class name evaluates to); its text is the class name.
Variant VarFromClass(TClass AClass);
// The class a class-reference value holds, nullptr for any other value.
TClass VarToClass(const Variant& Value);
// An instance of AClass made by its virtual constructor: components through CreateComponent(Owner),
// other classes through Create. For constructor callbacks.
TObject* CreateScriptInstance(TClass AClass, TComponent* Owner);

// ---- Items ---------------------------------------------------------------------------------------------
// A list of owned children (items, statements, expressions; nil entries allowed).
class TscItemList : public TObject {
  K58_CLASS(TscItemList, TObject)

  TscItemList() = default;
  ~TscItemList() override;

  // Frees every child, first to last, and empties the list.
  virtual void Clear();
  void Add(TObject* Item);
  void Insert(Integer Index, TObject* Item);
  // Unlinks Item (by identity) without freeing it.
  void Remove(TObject* Item);
  Integer GetCount() const { return static_cast<Integer>(items_.size()); }
  // Outside 0..GetCount()-1 raises EListError.
  TObject* GetItem(Integer Index) const {
    if (static_cast<size_t>(Index) >= items_.size()) RaiseIndexError(Index);
    return items_[static_cast<size_t>(Index)];
  }

 protected:
  TObject* At(Integer Index) const { return items_[static_cast<size_t>(Index)]; }
  [[noreturn]] static void RaiseIndexError(Integer Index);
  std::vector<TObject*> items_;
};

// Base of every item; its children are its parameters.
class TscCustomVariable : public TscItemList {
  K58_CLASS(TscCustomVariable, TscItemList)

  TscCustomVariable(const String& Name, TscTypeCode TypeCode, const String& TypeName);

  // Value := Value unless ReadOnly.
  virtual void SetValue(const Variant& Value);
  // The item's value (for a procedure: runs it).
  virtual void GetValue(Variant& Result);
  // GetValue as a result.
  Variant ReadValue() {
    Variant result;
    GetValue(result);
    return result;
  }

  TscParamItem* GetParam(Integer Index) const;
  // GetParam for an index known to be in range.
  TscParamItem* ParamAt(Integer Index) const;
  Integer ParamCount() const { return GetCount(); }
  // Parameters that are not optional.
  Integer RequiredParamCount() const;
  // The type for messages: "Integer", "Boolean", "Extended", "Char", "String", "Class " + type name,
  // "Array", "Variant", the enumeration's name.
  String TypeDescription() const;

  TscOwnerTag OwnerTag() const { return ownerTag_; }
  void SetOwnerTag(TscOwnerTag Value) { ownerTag_ = Value; }
  // Arguments arrive as the source text of the argument expressions.
  bool MacroParams() const { return macroParams_; }
  void SetMacroParams(bool Value) { macroParams_ = Value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value) { readOnly_ = Value; }
  const String& Name() const { return name_; }
  // The caller uses the value (a call statement clears it on its last item).
  bool ResultWanted() const { return resultWanted_; }
  void SetResultWanted(bool Value) { resultWanted_ = Value; }
  // A declared array's helper, a function's Result, a designated variable.
  TscCustomVariable* Target() const { return target_; }
  void SetTarget(TscCustomVariable* Value) { target_ = Value; }
  const String& DeclPos() const { return declPos_; }
  void SetDeclPos(const String& Value) { declPos_ = Value; }
  const String& DeclUnit() const { return declUnit_; }
  void SetDeclUnit(const String& Value) { declUnit_ = Value; }
  TscTypeCode TypeCode() const { return typeCode_; }
  void SetTypeCode(TscTypeCode Value) { typeCode_ = Value; }
  const String& TypeName() const { return typeName_; }
  void SetTypeName(const String& Value) { typeName_ = Value; }
  // Name in upper case, the name callbacks receive.
  const String& UpperName() const { return upperName_; }
  // The value slot itself, written without SetValue (loop variables, array elements).
  Variant& ValueSlot() { return value_; }

 protected:
  void SetName(const String& Value);

  TscOwnerTag ownerTag_ = otNone;
  bool macroParams_ = false;
  bool readOnly_ = false;
  String name_;
  bool resultWanted_ = true;
  TscCustomVariable* target_ = nullptr;
  String declPos_;
  String declUnit_;
  TscTypeCode typeCode_;
  String typeName_;
  String upperName_;
  Variant value_;
};

// Declared and registered variables and constants.
class TscVariable : public TscCustomVariable {
  K58_CLASS(TscVariable, TscCustomVariable)
  using TscCustomVariable::TscCustomVariable;
};

// A type name known to the compiler.
class TscTypeVariable : public TscCustomVariable {
  K58_CLASS(TscTypeVariable, TscCustomVariable)
  using TscCustomVariable::TscCustomVariable;
};

// String and char variables: the value is always a string (also when set while read-only).
class TscStringVariable : public TscVariable {
  K58_CLASS(TscStringVariable, TscVariable)

  TscStringVariable(const String& Name, TscTypeCode TypeCode, const String& TypeName);
  void SetValue(const Variant& Value) override;
};

// A parameter of a procedure, function or registered method.
class TscParamItem : public TscCustomVariable {
  K58_CLASS(TscParamItem, TscCustomVariable)

  TscParamItem(const String& Name, TscTypeCode TypeCode, const String& TypeName, bool Optional, bool ByRef);

  const Variant& DefaultValue() const { return defaultValue_; }
  void SetDefaultValue(const Variant& Value) { defaultValue_ = Value; }
  bool Optional() const { return optional_; }
  void SetOptional(bool Value) { optional_ = Value; }
  // A var parameter: its value goes back to the argument after the call.
  bool ByRef() const { return byRef_; }

 private:
  Variant defaultValue_;
  bool optional_;
  bool byRef_;
};

inline TscParamItem* TscCustomVariable::ParamAt(Integer Index) const { return static_cast<TscParamItem*>(At(Index)); }

// A script procedure or function: its local script holds the parameters, the locals and Result; running
// it runs the local script's main statement.
class TscProcVariable : public TscCustomVariable {
  K58_CLASS(TscProcVariable, TscCustomVariable)

  TscProcVariable(const String& Name, TscTypeCode TypeCode, const String& TypeName, TscScript* ParentScript,
                  bool IsFunction);
  ~TscProcVariable() override;

  // Runs the body with the parameters as they are; the result for a function, Null for a procedure.
  void GetValue(Variant& Result) override;

  bool Executing() const { return executing_; }
  bool IsFunction() const { return isFunction_; }
  TscScript* LocalScript() const { return localScript_; }
  // The parameters are children of the procedure and items of the local script.
  void AddParam(TscParamItem* Param);

  // The variables and parameters of the local script (refreshed when its table changed): the values a
  // call that re-enters the procedure saves and puts back.
  const std::vector<TscCustomVariable*>& StateItems();

 private:
  const std::vector<TscCustomVariable*>& RefreshStateItems();

  bool executing_ = false;
  bool isFunction_;
  TscScript* localScript_;
  std::vector<TscCustomVariable*> stateItems_;
  Integer stateCount_ = -1;
};

// Base of expressions (sc_expression.h).
class TscCustomExpression : public TscCustomVariable {
  K58_CLASS(TscCustomExpression, TscCustomVariable)
  using TscCustomVariable::TscCustomVariable;

  // The value as a condition (converted to Boolean).
  virtual bool Test() { return ReadValue().AsBoolean(); }

  // The source text of the expression (what a macro function receives).
  virtual String SourceText() const { return String(); }
};

// A set constructor [a, b..c]: its children are element expressions, a nil child marks a range.
class TscSetExpression : public TscCustomVariable {
  K58_CLASS(TscSetExpression, TscCustomVariable)

  TscSetExpression();
  // A Variant array [0..count-1] of the element values with Null at each range marker.
  void GetValue(Variant& Result) override;
  // True when Value equals an element or lies within a range (variant comparison).
  bool Contains(const Variant& Value);
  // Appends an element expression (nil marks a range between its neighbours).
  void AddElement(TscCustomVariable* Element) { Add(Element); }
};

// Base of the items that work on what the previous designator item produced; the designator fills the
// three fields before each use.
class TscCustomHelper : public TscCustomVariable {
  K58_CLASS(TscCustomHelper, TscCustomVariable)
  using TscCustomVariable::TscCustomVariable;

  TscCustomVariable* ParentItem() const { return parentItem_; }
  const Variant& ParentValue() const { return parentValue_; }
  TscScript* OwnerScript() const { return ownerScript_; }
  void SetContext(TscCustomVariable* ParentItem, const Variant& ParentValue, TscScript* OwnerScript) {
    parentItem_ = ParentItem;
    parentValue_ = ParentValue;
    ownerScript_ = OwnerScript;
  }

 protected:
  TscCustomVariable* parentItem_ = nullptr;
  Variant parentValue_;
  TscScript* ownerScript_ = nullptr;
};

// Element access of a Variant array held in ParentItem's value slot (1 to 3 dimensions).
class TscArrayHelper : public TscCustomHelper {
  K58_CLASS(TscArrayHelper, TscCustomHelper)

  // DimCount required index parameters; -1: one required and two optional.
  TscArrayHelper(const String& Name, const String& TypeName, TscTypeCode TypeCode, Integer DimCount);
  void GetValue(Variant& Result) override;
  void SetValue(const Variant& Value) override;
};

// Character access of a string: s[i] counts code points; an index outside the string raises.
class TscStringHelper : public TscCustomHelper {
  K58_CLASS(TscStringHelper, TscCustomHelper)

  TscStringHelper();
  void GetValue(Variant& Result) override;
  // Writes the whole changed string back through ParentItem.
  void SetValue(const Variant& Value) override;
};

// The character Index (1-based, code points) of S as a string, and S with that character replaced by
// the first character of Char; an index outside S raises "String index out of range".
String StringCharAt(const String& S, Integer Index);
String StringWithCharAt(const String& S, Integer Index, const String& Char);

// ---- Designators ---------------------------------------------------------------------------------------
class TscDesignator;

// One link of a reference chain: the item it refers to and its argument or index expressions.
class TscDesignatorItem : public TscItemList {
  K58_CLASS(TscDesignatorItem, TscItemList)

  enum TRefKind : uint8_t { rkOther, rkDesignator, rkProcedure, rkHelper };

  TscDesignatorItem() = default;

  // The brackets apply to the class's default property.
  bool DefaultAccess() const { return defaultAccess_; }
  void SetDefaultAccess(bool Value) { defaultAccess_ = Value; }
  TscCustomVariable* Ref() const { return ref_; }
  void SetRef(TscCustomVariable* Value);
  TRefKind RefKind() const { return refKind_; }
  // The item referred to had a var parameter when it was set.
  bool HasByRef() const { return hasByRef_; }
  const String& SourcePos() const { return sourcePos_; }
  void SetSourcePos(const String& Value) { sourcePos_ = Value; }
  TscCustomExpression* GetExpr(Integer Index) const { return static_cast<TscCustomExpression*>(GetItem(Index)); }
  Integer ExprCount() const { return GetCount(); }

 private:
  bool defaultAccess_ = false;
  TscCustomVariable* ref_ = nullptr;
  TRefKind refKind_ = rkOther;
  bool hasByRef_ = false;
  String sourcePos_;
};

// A reference written in the program, evaluated as a chain of items from left to right.
class TscDesignator : public TscCustomVariable {
  K58_CLASS(TscDesignator, TscCustomVariable)

  // Kind: 0 a general chain, 1 one variable or parameter, 2 a character of a string variable, 3 an element of a
  // declared array.
  explicit TscDesignator(TscScript* OwnerScript);
  ~TscDesignator() override;

  void GetValue(Variant& Result) override;
  void SetValue(const Variant& Value) override;

  TscDesignatorItem* GetDesignatorItem(Integer Index) const {
    return static_cast<TscDesignatorItem*>(GetItem(Index));
  }
  TscDesignatorItem* LastItem() const;
  void AddItem(TscDesignatorItem* Item) { Add(Item); }
  void InsertItem(Integer Index, TscDesignatorItem* Item) { Insert(Index, Item); }
  // Drops (frees) the last item.
  void DropLastItem();

  // Types the designator by its last item and chooses the kind.
  void DetermineKind();
  // Exchanges the item lists with Source and copies its kind, targets, type and flags.
  void TakeOver(TscDesignator* Source);
  // Builds a deferred designator now (once).
  void ResolveDeferred();

  Byte Kind() const { return kind_; }
  TscScript* OwnerScript() const { return ownerScript_; }
  TscCustomVariable* IndexExpr() const { return indexExpr_; }
  TscDesignatorItem* IndexList() const { return indexList_; }
  TscXMLItem* DeferredNode() const { return deferredNode_.get(); }
  // Keeps a copy of Node, built at first use.
  void Defer(const TscXMLItem* Node);

 protected:
  // Walks the chain; with AssignValue the last item is assigned it.
  void Evaluate(const Variant* AssignValue, Variant& Result);

  Byte kind_ = 0;
  TscScript* ownerScript_;
  TscCustomVariable* indexExpr_ = nullptr;
  TscDesignatorItem* indexList_ = nullptr;
  std::unique_ptr<TscXMLItem> deferredNode_;
};

// Kind 1: get and set go straight to the variable.
class TscVariableDesignator : public TscDesignator {
  K58_CLASS(TscVariableDesignator, TscDesignator)
  using TscDesignator::TscDesignator;
  void GetValue(Variant& Result) override;
  void SetValue(const Variant& Value) override;
};

// Kind 2: a character of a string variable.
class TscStringDesignator : public TscDesignator {
  K58_CLASS(TscStringDesignator, TscDesignator)
  using TscDesignator::TscDesignator;
  void GetValue(Variant& Result) override;
  void SetValue(const Variant& Value) override;
};

// Kind 3: an element of a declared array.
class TscArrayDesignator : public TscDesignator {
  K58_CLASS(TscArrayDesignator, TscDesignator)
  using TscDesignator::TscDesignator;
  void GetValue(Variant& Result) override;
  void SetValue(const Variant& Value) override;
};

// ---- Class bindings ------------------------------------------------------------------------------------
// Callbacks of registered functions, methods and properties. Instance is nil for global functions and for
// members used on a class reference; ClassRef is the class the member was registered under (nil for
// global functions); names are in upper case (indexed properties add ".GET" or ".SET").
using TscMethodCallback =
    Delegate<Variant(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller)>;
using TscParamArrayCallback =
    Delegate<Variant(TObject* Instance, TClass ClassRef, const String& MethodName, Variant& Args)>;
using TscPropGetCallback = Delegate<Variant(TObject* Instance, TClass ClassRef, const String& PropName)>;
using TscPropSetCallback =
    Delegate<void(TObject* Instance, TClass ClassRef, const String& PropName, const Variant& Value)>;

// A property member: published (through the type information of the instance's actual class) or
// answered by callbacks.
class TscPropertyHelper : public TscCustomHelper {
  K58_CLASS(TscPropertyHelper, TscCustomHelper)

  TscPropertyHelper(const String& Name, TscTypeCode TypeCode, const String& TypeName, TClass ClassRef);

  void GetValue(Variant& Result) override;
  void SetValue(const Variant& Value) override;

  TClass ClassRef() const { return classRef_; }
  bool Published() const { return published_; }
  void SetPublished(bool Value) { published_ = Value; }
  const TscPropGetCallback& OnGet() const { return onGet_; }
  void SetOnGet(const TscPropGetCallback& Value) { onGet_ = Value; }
  const TscPropSetCallback& OnSet() const { return onSet_; }
  void SetOnSet(const TscPropSetCallback& Value) { onSet_ = Value; }

 private:
  const TPropInfo* FindProp(TObject* Instance);

  TClass classRef_;
  bool published_ = false;
  TscPropGetCallback onGet_;
  TscPropSetCallback onSet_;
  TClass lastClass_ = nullptr;
  const TPropInfo* lastProp_ = nullptr;
};

// A method, constructor, indexed or default property, or a global function registered by signature.
// Each call has its own arguments: a callback that runs script code calling the same member again
// still reads its own.
class TscMethodHelper : public TscCustomHelper {
  K58_CLASS(TscMethodHelper, TscCustomHelper)

  // Parses the signature (type names resolved in Script) and takes over its name, result type, macro
  // mark and parameters.
  TscMethodHelper(const String& Syntax, TscScript* Script);

  void GetValue(Variant& Result) override;
  // Only for indexed properties: obj.Items[i] := v.
  void SetValue(const Variant& Value) override;

  // Argument Index of the current call; Index = parameter count gives the value being assigned to an
  // indexed property.
  Variant GetParamValue(Integer Index) const;
  // Writes a var argument of the current call.
  void SetParamValue(Integer Index, const Variant& Value);
  // The class reference the member is used on (ClassName.Create), nullptr when used on an object.
  TClass ParentClass() const { return VarToClass(parentValue_); }

  const String& Category() const { return category_; }
  void SetCategory(const String& Value) { category_ = Value; }
  TClass ClassRef() const { return classRef_; }
  void SetClassRef(TClass Value) { classRef_ = Value; }
  const String& Description() const { return description_; }
  void SetDescription(const String& Value) { description_ = Value; }
  bool IndexedProperty() const { return indexedProperty_; }
  void SetIndexedProperty(bool Value) { indexedProperty_ = Value; }
  const TscParamArrayCallback& OnCallArray() const { return onCallArray_; }
  void SetOnCallArray(const TscParamArrayCallback& Value) { onCallArray_ = Value; }
  const TscMethodCallback& OnCall() const { return onCall_; }
  void SetOnCall(const TscMethodCallback& Value) { onCall_ = Value; }
  const String& Syntax() const { return syntax_; }

 private:
  TObject* Instance() const;
  Variant Invoke(const String& Name, std::vector<Variant>& Args, bool Assign);

  String category_;
  TClass classRef_ = nullptr;
  String description_;
  bool indexedProperty_ = false;
  TscParamArrayCallback onCallArray_;
  TscMethodCallback onCall_;
  String syntax_;
  std::vector<Variant>* callArgs_ = nullptr;  // the arguments of the call in progress
};

// A class made known to a script: the class reference and its members. Its one parameter receives the
// argument of a typecast ClassName(x).
class TscClassVariable : public TscCustomVariable {
  K58_CLASS(TscClassVariable, TscCustomVariable)

  // Members start with the class's published properties (events excepted).
  TscClassVariable(TClass AClass, const String& AncestorName);
  ~TscClassVariable() override;

  // A typecast ClassName(x) gives x (nil allowed; an object of another class raises "Invalid class
  // typecast"); the class name alone gives the class reference.
  void GetValue(Variant& Result) override;

  TscMethodHelper* AddMethod(const String& Syntax, const TscMethodCallback& CallBack);
  TscMethodHelper* AddConstructor(const String& Syntax, const TscMethodCallback& CallBack);
  TscPropertyHelper* AddProperty(const String& Name, const String& TypeName, const TscPropGetCallback& GetCallBack,
                                 const TscPropSetCallback& SetCallBack = TscPropSetCallback());
  TscMethodHelper* AddIndexProperty(const String& Name, const String& ParamTypes, const String& TypeName,
                                    const TscMethodCallback& CallBack, bool ReadOnly);
  TscMethodHelper* AddDefaultProperty(const String& Name, const String& ParamTypes, const String& TypeName,
                                      const TscMethodCallback& CallBack, bool ReadOnly);
  // An event member bound through bridges of EventClass (sc_events.h).
  TscEventHelper* AddEvent(const String& Name, TClass EventClass);
  // The first member so named (ignoring case), nullptr when none.
  TscCustomVariable* FindOwnMember(const String& Name) const;
  // Own members, then those of the ancestor class variable, recursively.
  TscCustomVariable* FindMember(const String& Name) const;
  // Appends a member (the class variable owns it).
  void AddMember(TscCustomHelper* Member) { members_.Add(Member); }

  const String& AncestorName() const { return ancestorName_; }
  TClass ClassRef() const { return classRef_; }
  TscCustomVariable* DefaultProperty() const { return defaultProperty_; }
  void SetDefaultProperty(TscCustomVariable* Value) { defaultProperty_ = Value; }
  const TscItemList& Members() const { return members_; }
  TscScript* Script() const { return script_; }
  void SetScript(TscScript* Value) { script_ = Value; }

 private:
  void AddPublishedProperties(TClass AClass);

  String ancestorName_;
  TClass classRef_;
  TscCustomVariable* defaultProperty_ = nullptr;
  TscItemList members_;
  TscScript* script_ = nullptr;
};

// A member of an automation object, looked up by name through its dispatch interface at run time.
class TscOLEHelper : public TscCustomHelper {
  K58_CLASS(TscOLEHelper, TscCustomHelper)

  // Arguments of one invocation at most.
  static constexpr Integer MaxArgs = 64;

  explicit TscOLEHelper(const String& Name);
  // A method call, or a property read as well when the result is wanted.
  void GetValue(Variant& Result) override;
  // A property put of the value.
  void SetValue(const Variant& Value) override;
  // Invokes the member with Args (first argument first); "OLE error:" + code + ": " + name on failure.
  void DispatchInvoke(std::vector<Variant>& Args, Variant* Result, WORD Flags);
};

// A binding module: its constructor registers types, classes, constants and functions into a script.
class TscRTTIModule : public TObject {
  K58_CLASS(TscRTTIModule, TObject)

  explicit TscRTTIModule(TscScript* AScript) : script_(AScript) {}
  TscScript* Script() const { return script_; }

 private:
  TscScript* script_;
};

// The "virtual constructor" of a module class.
using TscRTTIModuleClass = TscRTTIModule* (*)(TscScript* AScript);
template <class T>
TscRTTIModule* CreateRTTIModule(TscScript* AScript) {
  return new T(AScript);
}
// The process-wide module classes in registration order, the system library first.
const std::vector<TscRTTIModuleClass>& GetRTTIModuleClasses();
// Appends a module class (once); binding units call it when they start.
void RegisterRTTIModule(TscRTTIModuleClass ModuleClass);

// ---- The script component ------------------------------------------------------------------------------
K58_EVENT_TYPE(TscRunLineEvent, void(TscScript* Sender, const String& UnitName, const String& SourcePos))

class TscScript : public TComponent {
  K58_CLASS(TscScript, TComponent)

  explicit TscScript(TComponent* AOwner);
  ~TscScript() override;

  // ---- Published ----
  // Source text; assigning copies the strings.
  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* Value);
  // "PascalScript", "C++Script", "BasicScript" or "JScript".
  const String& SyntaxType() const { return syntaxType_; }
  void SetSyntaxType(const String& Value) { syntaxType_ = Value; }
  // Supplies the compiled intermediate program of a used unit.
  const TscGetUnitEvent& OnGetILUnit() const { return onGetILUnit_; }
  void SetOnGetILUnit(const TscGetUnitEvent& Value) { onGetILUnit_ = Value; }
  // Supplies the source text of a used unit.
  const TscGetUnitEvent& OnGetUnit() const { return onGetUnit_; }
  void SetOnGetUnit(const TscGetUnitEvent& Value) { onGetUnit_ = Value; }
  // Called before each statement runs (the first handler up the parent chain answers).
  const TscRunLineEvent& OnRunLine() const { return onRunLine_; }
  void SetOnRunLine(const TscRunLineEvent& Value);

  // ---- Table and lookup ----
  // Enters Item under Name (a newer item hides an older one of the same name); a script variable gets
  // the current OwnerTag.
  void Add(const String& Name, TObject* Item);
  Integer Count() const { return static_cast<Integer>(table_.size()); }
  TObject* Items(Integer Index) const;
  const String& ItemName(Integer Index) const;
  // Unlinks Item without freeing it.
  void Remove(TObject* Item);
  // The first item of that name in this script; nullptr when none or not a script variable.
  TscCustomVariable* FindLocal(const String& Name) const;
  // FindLocal here, then up the parent chain.
  TscCustomVariable* Find(const String& Name) const;
  TscClassVariable* FindClass(const String& Name) const;

  // ---- Registration (names that exist anywhere up the chain are ignored) ----
  void AddType(const String& TypeName, TscTypeCode TypeCode);
  // nullptr when the class's name exists.
  TscClassVariable* AddClass(TClass AClass, const String& AncestorName);
  void AddConst(const String& Name, const String& TypeName, const Variant& Value);
  void AddVariable(const String& Name, const String& TypeName, const Variant& Value);
  void AddObject(const String& Name, TObject* Obj);
  // Not checked against existing names.
  void AddEnum(const String& TypeName, const String& Names);
  void AddEnumSet(const String& TypeName, const String& Names);
  TscMethodHelper* AddMethod(const String& Syntax, const TscMethodCallback& CallBack, const String& Category = String(),
                             const String& Description = String());
  TscMethodHelper* AddMethodWithParamArray(const String& Syntax, const TscParamArrayCallback& CallBack,
                                           const String& Category = String(), const String& Description = String());
  // Once: one instance of every registered module, registering with owner tag otRTTI.
  void AddRTTI();
  // Frees the modules and everything they registered.
  void ClearRTTI();

  // ---- Program ----
  // Frees everything but the modules and their items; empties the main statement, the code lines and the
  // error.
  void Clear();
  // Frees the script variables registered with the owner tag (last first); empties the main statement
  // and the code lines.
  void ClearItems(TscOwnerTag Owner);
  void ClearItems(TObject* Owner) { ClearItems(OwnerTagOf(Owner)); }
  // Parses Lines (each line ended by CR LF) in SyntaxType and builds the program into this script; True
  // when no error was set. Raises for an unregistered language and an invalid grammar.
  bool Compile();
  // Runs the main statement.
  void Execute();
  // Runs the procedure or function Name of this script with the elements of a Variant array as
  // arguments; Result is Null when Name is no procedure here.
  void CallFunction(const String& Name, const Variant& Params, Variant& Result);
  // The same, and every parameter's final value goes back into Params.
  void CallFunctionVarParams(const String& Name, Variant& Params, Variant& Result);
  // Stops a running program: this script and the local scripts of its procedures.
  void Terminate();
  // Reports a statement's position to the first OnRunLine handler up the parent chain.
  void RunLine(const String& UnitName, const String& SourcePos) {
    // No script has a handler: nothing to look for (the usual case, asked before every statement).
    if (runLineHandlers_.load(std::memory_order_relaxed) == 0) return;
    for (TscScript* script = this; script != nullptr; script = script->parent_) {
      if (script->onRunLine_) {
        script->onRunLine_(this, UnitName, SourcePos);
        return;
      }
    }
  }
  // Notes the line of a statement in CodeLines.
  void AddCodeLine(const String& UnitName, const String& SourcePos);

  // ---- State ----
  TscOwnerTag OwnerTag() const { return ownerTag_; }
  void SetOwnerTag(TscOwnerTag Value) { ownerTag_ = Value; }
  void SetOwnerTag(TObject* Owner) { ownerTag_ = OwnerTagOf(Owner); }
  bool BreakPending() const { return breakPending_; }
  void SetBreakPending(bool Value) { breakPending_ = Value; }
  bool ContinuePending() const { return continuePending_; }
  void SetContinuePending(bool Value) { continuePending_ = Value; }
  bool ExitPending() const { return exitPending_; }
  void SetExitPending(bool Value) { exitPending_ = Value; }
  // Any of break, continue or exit pending: a statement list stops.
  bool JumpPending() const { return breakPending_ || continuePending_ || exitPending_; }
  const String& ErrorText() const { return errorText_; }
  void SetErrorText(const String& Value) { errorText_ = Value; }
  const String& ErrorPosition() const { return errorPosition_; }
  void SetErrorPosition(const String& Value) { errorPosition_ = Value; }
  const String& ErrorUnitName() const { return errorUnitName_; }
  void SetErrorUnitName(const String& Value) { errorUnitName_ = Value; }
  // Bytes 128-255 form identifiers.
  bool HighCharIdentifiers() const { return highCharIdentifiers_; }
  void SetHighCharIdentifiers(bool Value) { highCharIdentifiers_ = Value; }
  bool Running() const { return running_; }
  void SetRunning(bool Value) { running_ = Value; }
  // The script whose CurrentScope follows procedure calls.
  bool IsMainProgram() const { return isMainProgram_; }
  void SetIsMainProgram(bool Value) { isMainProgram_ = Value; }
  TscScript* Parent() const { return parent_; }
  void SetParent(TscScript* Value) { parent_ = Value; }
  // The local script of the innermost procedure running (kept on the main program's script).
  TscScript* CurrentScope() const { return currentScope_; }
  void SetCurrentScope(TscScript* Value) { currentScope_ = Value; }
  bool RTTIAdded() const { return rttiAdded_; }
  TscStatement* MainStatement() const { return mainStatement_.get(); }
  bool Terminated() const { return terminated_; }
  void SetTerminated(bool Value) { terminated_ = Value; }
  // Per unit name, the lines that carry statements: "name=12,14,".
  TStrings* CodeLines() const { return codeLines_.get(); }
  // Clears break, continue, exit and terminate.
  void ResetFlags() {
    breakPending_ = continuePending_ = exitPending_ = terminated_ = false;
  }

 private:
  struct Entry {
    String Key;  // the name in upper case
    String Name;
    TObject* Item;
  };
  size_t LowerBound(const String& Key) const;
  // Frees and removes the entries Drop accepts, last first.
  template <class Pred>
  void FreeEntries(Pred Drop);
  void ClearProgram();
  TscProcVariable* FindProcedure(const String& Name) const;
  void AddVariableItem(const String& Name, const String& TypeName, const Variant& Value, bool ReadOnly);
  void AddEnumItems(const String& TypeName, const String& Names, bool Bits);

  std::unique_ptr<TStringList> lines_;
  String syntaxType_ = "PascalScript";
  TscGetUnitEvent onGetILUnit_;
  TscGetUnitEvent onGetUnit_;
  TscRunLineEvent onRunLine_;
  // The scripts of the process that have an OnRunLine handler.
  static inline std::atomic<int> runLineHandlers_{0};

  TscOwnerTag ownerTag_ = otNone;
  bool breakPending_ = false;
  bool continuePending_ = false;
  bool exitPending_ = false;
  String errorText_;
  String errorPosition_;
  String errorUnitName_;
  bool highCharIdentifiers_ = false;
  std::vector<Entry> table_;
  bool running_ = false;
  bool isMainProgram_ = false;
  TscScript* parent_ = nullptr;
  TscScript* currentScope_ = nullptr;
  bool rttiAdded_ = false;
  std::unique_ptr<TscStatement> mainStatement_;
  bool terminated_ = false;
  std::unique_ptr<TStringList> codeLines_;
};

inline const std::vector<TscCustomVariable*>& TscProcVariable::StateItems() {
  return stateCount_ == localScript_->Count() ? stateItems_ : RefreshStateItems();
}

// ---- Signatures and types ------------------------------------------------------------------------------
// Parses a registration signature such as "function Copy(s: String; from, count: Integer): String" into
// an item with its name, result type, macro mark and one TscParamItem per parameter (type names resolved
// in Script). The caller owns the result.
std::unique_ptr<TscCustomVariable> ParseSignature(const String& Syntax, TscScript* Script);
// The type code of the item Script finds for TypeName; tcClass when none.
TscTypeCode TypeCodeOf(const String& TypeName, const TscScript* Script);
// True when both names are classes of Script and the source is the target or inherits from it.
bool ClassInherits(const String& TargetName, const String& SourceName, const TscScript* Script);
// Whether a value of the source type may go where the target type is expected.
bool TypesFit(TscTypeCode Target, const String& TargetName, TscTypeCode Source, const String& SourceName,
              const TscScript* Script);
bool TypesFit(const TscCustomVariable* Target, const TscCustomVariable* Source, const TscScript* Script);
// TypesFit, except that a float does not go into an integer variable.
bool CanAssign(const TscCustomVariable* Variable, const TscCustomVariable* Expression, const TscScript* Script);
// A constant from its token text: Null for "", a string for "'...'", an Integer, an Int64 beyond 32 bits
// or a Double ("." as decimal point whatever the locale). Raises EConvertError for other text.
Variant ParseConstant(const String& Text);
// "line:col" as column and line; empty text gives (0, 0).
void ParsePos(const String& Text, Integer& Column, Integer& Line);
// The text of Format(Fmt, Args) with the elements of the Variant array Args taken whole: every integer
// kind as an integer, floats, currency and dates as floats, strings whole, Booleans; Null, Empty and
// arrays raise Format's "invalid or incompatible with argument" error.
String FormatVariantArgs(const String& Fmt, const Variant& Args);
