// Event members of class bindings and the bridges that connect an object's event to a script procedure.
//
// Assigning a procedure's name to an event member (Button1.OnClick := 'Button1Click') makes a bridge for
// that object and procedure and stores the bridge's handler into the object's published event property.
// The bridge belongs to the table of the script that holds the procedure and lives until that script is
// cleared. When it goes, it empties the event property if the object still exists and still holds it;
// it never touches an object that was freed. While the procedure runs, the event does not re-enter it.
#pragma once

#include "platform/classes/TypInfo.h"
#include "script/sc_interpreter.h"

// Base of the bridges: one object and one script procedure.
class TscCustomEvent : public TObject {
  K58_CLASS(TscCustomEvent, TObject)

  TscCustomEvent() = default;
  ~TscCustomEvent() override;

  // Binds the bridge to the event property Prop of AObject and the procedure AHandler.
  void Attach(TObject* AObject, TscProcVariable* AHandler, const TPropInfo* Prop);
  // The handler to store into the event property (data and identity: the bridge).
  virtual TMethodValue GetMethod() = 0;
  // The number of values the event hands to the procedure.
  virtual Integer ArgCount() const = 0;

  TscProcVariable* Handler() const { return handler_; }
  // The object served; nullptr once it was freed.
  TObject* Instance() const;

 protected:
  // Runs the procedure with Args as its first parameters unless it is running already; afterwards Args
  // holds the parameters' values (also when the call was skipped).
  void CallHandler(std::vector<Variant>& Args);

 private:
  Variant instance_;  // a tracked reference, so a freed object is noticed
  TscProcVariable* handler_ = nullptr;
  const TPropInfo* prop_ = nullptr;
};

#define K58_SC_BRIDGE(Class, Args)                                                            \
  class Class : public TscCustomEvent {                                                       \
    K58_CLASS(Class, TscCustomEvent)                                                          \
    Class() = default;                                                                        \
    TMethodValue GetMethod() override;                                                        \
    Integer ArgCount() const override { return Args; }                                        \
  };

K58_SC_BRIDGE(TscNotifyEvent, 1)
K58_SC_BRIDGE(TscMouseEvent, 5)
K58_SC_BRIDGE(TscMouseMoveEvent, 4)
K58_SC_BRIDGE(TscKeyEvent, 3)
K58_SC_BRIDGE(TscKeyPressEvent, 2)
K58_SC_BRIDGE(TscCloseEvent, 2)
K58_SC_BRIDGE(TscCloseQueryEvent, 2)
K58_SC_BRIDGE(TscCanResizeEvent, 4)

#undef K58_SC_BRIDGE

// True while a bridge runs a procedure for an event of Object, of a control on it (through the parent
// chain) or of a component it owns: freeing Object then would pull the ground from under the event.
bool ScriptEventRunsOn(const TObject* Object);

// An event member: reads as the empty string; assigning a procedure's name binds it, nil or 0 empties
// the event. A name that is no procedure raises "Event handler must be a procedure", a procedure that
// needs more parameters than the event supplies "Not enough actual parameters", an object whose class
// publishes no such event a property error.
class TscEventHelper : public TscCustomHelper {
  K58_CLASS(TscEventHelper, TscCustomHelper)

  // EventClass: a TscCustomEvent descendant.
  TscEventHelper(const String& Name, TClass EventClass, TClass ClassRef);

  void GetValue(Variant& Result) override;
  void SetValue(const Variant& Value) override;

  TClass ClassRef() const { return classRef_; }
  TClass EventClass() const { return eventClass_; }

 private:
  TClass classRef_;
  TClass eventClass_;
};
