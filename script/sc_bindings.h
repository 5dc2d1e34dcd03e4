// The class library's binding modules (classes, graphics, forms, dialogs) and what their callbacks share:
// argument access and the refusal to free objects that others own.
#pragma once

#include "platform/classes/LiveObjects.h"
#include "script/sc_interpreter.h"

namespace k58::script::bindings {

// The module classes, registered in this order after the system library.
TscRTTIModule* CreateClassesModule(TscScript* AScript);
TscRTTIModule* CreateGraphicsModule(TscScript* AScript);
TscRTTIModule* CreateFormsModule(TscScript* AScript);
TscRTTIModule* CreateDialogsModule(TscScript* AScript);

// Makes every type a published property of a registered class uses known to the script: enumerations
// and sets with their value names (names that exist keep their meaning), classes under their nearest
// registered ancestor, until the classes this brings in need nothing more.
void RegisterPublishedTypes(TscScript* Script);

// A set value as its bit mask: an integer, or the Variant array a set constructor makes (the elements'
// bits together; range markers count for nothing).
uint64_t VarSetBits(const Variant& Value);

// Argument Index of the call in progress.
inline Variant Arg(TscMethodHelper* Caller, Integer Index) { return Caller->GetParamValue(Index); }
inline Integer IntArg(TscMethodHelper* Caller, Integer Index) { return Caller->GetParamValue(Index).AsInteger(); }
inline String StrArg(TscMethodHelper* Caller, Integer Index) { return Caller->GetParamValue(Index).AsString(); }
inline bool BoolArg(TscMethodHelper* Caller, Integer Index) { return Caller->GetParamValue(Index).AsBoolean(); }
// An object argument of class T (nil allowed); a freed object or one of another class raises.
template <class T>
T* ObjArg(TscMethodHelper* Caller, Integer Index) {
  return static_cast<T*>(ScriptObjectOrNil(Caller->GetParamValue(Index), T::StaticClass()));
}
// The same, nil refused.
template <class T>
T* NonNilArg(TscMethodHelper* Caller, Integer Index) {
  return static_cast<T*>(ScriptObject(Caller->GetParamValue(Index), T::StaticClass()));
}
inline Variant ObjValue(TObject* Object) { return Variant::FromObject(Object); }

// A new instance for a constructor member: of the class the member was called on (or of Instance's
// class when called on an object), components owned by Owner. The script that asked for it frees it.
Variant NewInstance(TObject* Instance, TscMethodHelper* Caller, TComponent* Owner = nullptr);
// Raises unless a script may free Object: components may go (their owner is told), other objects
// only when a script made them; never sub-objects that another object owns (a font, a canvas, the
// application, an XML item inside a tree).
void CheckMayFree(TObject* Object);

// The instance a member runs on, as T (the callback's class reference guarantees the class); a member
// used on a class reference has none and raises "Object reference is nil".
TObject* NeedInstance(TObject* Instance);
template <class T>
T* As(TObject* Instance) {
  return static_cast<T*>(NeedInstance(Instance));
}

}  // namespace k58::script::bindings
