// Event members and the eight event bridges.
#include "script/sc_events.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/LiveObjects.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "script/sc_const.h"
#include "script/sc_internal.h"

K58_IMPLEMENT_CLASS(TscCustomEvent) {}
K58_IMPLEMENT_CLASS(TscNotifyEvent) {}
K58_IMPLEMENT_CLASS(TscMouseEvent) {}
K58_IMPLEMENT_CLASS(TscMouseMoveEvent) {}
K58_IMPLEMENT_CLASS(TscKeyEvent) {}
K58_IMPLEMENT_CLASS(TscKeyPressEvent) {}
K58_IMPLEMENT_CLASS(TscCloseEvent) {}
K58_IMPLEMENT_CLASS(TscCloseQueryEvent) {}
K58_IMPLEMENT_CLASS(TscCanResizeEvent) {}
K58_IMPLEMENT_CLASS(TscEventHelper) {}

namespace {

Variant SenderValue(TObject* Sender) { return Variant::FromObject(Sender); }

// The objects whose events run script procedures now, innermost last (tracked references: one the host
// freed meanwhile is passed over).
std::vector<Variant>& FiringObjects() {
  static std::vector<Variant> objects;
  return objects;
}

// Whether Part is Whole or lies under it as a control (parent chain) or a component (owner chain).
bool PartOf(const TObject* Part, const TObject* Whole) {
  for (const TObject* o = Part; o != nullptr;) {
    if (o == Whole) return true;
    if (const auto* control = dynamic_cast<const TControl*>(o); control != nullptr && control->Parent() != nullptr) {
      if (PartOf(control->Parent(), Whole)) return true;
    }
    const auto* component = dynamic_cast<const TComponent*>(o);
    o = component != nullptr ? component->Owner() : nullptr;
  }
  return false;
}

Variant ShiftValue(TShiftState Shift) { return static_cast<Integer>(Shift.Bits()); }

// The delegate of event type D whose identity is the bridge itself.
template <class D, class F>
TMethodValue BridgeMethod(TscCustomEvent* Bridge, F&& Routine) {
  return TMethodValue(D::Bind(Bridge, Bridge, std::forward<F>(Routine)));
}

}  // namespace

// ---- TscCustomEvent -------------------------------------------------------------------------------------
void TscCustomEvent::Attach(TObject* AObject, TscProcVariable* AHandler, const TPropInfo* Prop) {
  instance_ = Variant::FromObject(AObject);
  handler_ = AHandler;
  prop_ = Prop;
}

TObject* TscCustomEvent::Instance() const { return VarObjectAlive(instance_) ? instance_.AsObject() : nullptr; }

TscCustomEvent::~TscCustomEvent() {
  TObject* object = Instance();
  if (object == nullptr || prop_ == nullptr) return;
  if (GetMethodProp(object, prop_).Data() == this) SetMethodProp(object, prop_, TMethodValue());
}

bool ScriptEventRunsOn(const TObject* Object) {
  for (const Variant& firing : FiringObjects()) {
    if (VarObjectAlive(firing) && PartOf(firing.AsObject(), Object)) return true;
  }
  return false;
}

void TscCustomEvent::CallHandler(std::vector<Variant>& Args) {
  const Integer count = std::min<Integer>(handler_->ParamCount(), static_cast<Integer>(Args.size()));
  if (!handler_->Executing()) {
    for (Integer i = 0; i < count; ++i) handler_->ParamAt(i)->ValueSlot() = Args[static_cast<size_t>(i)];
    std::vector<Variant>& firing = FiringObjects();
    firing.push_back(instance_);
    struct Pop {
      std::vector<Variant>& List;
      ~Pop() { List.pop_back(); }
    } pop{firing};
    Variant ignored;
    handler_->GetValue(ignored);
  }
  for (Integer i = 0; i < count; ++i) Args[static_cast<size_t>(i)] = handler_->ParamAt(i)->ValueSlot();
}

TMethodValue TscNotifyEvent::GetMethod() {
  return BridgeMethod<TNotifyEvent>(this, [this](TObject* Sender) {
    std::vector<Variant> args{SenderValue(Sender)};
    CallHandler(args);
  });
}

TMethodValue TscMouseEvent::GetMethod() {
  return BridgeMethod<TMouseEvent>(this, [this](TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X,
                                                Integer Y) {
    std::vector<Variant> args{SenderValue(Sender), static_cast<Integer>(Button), ShiftValue(Shift), X, Y};
    CallHandler(args);
  });
}

TMethodValue TscMouseMoveEvent::GetMethod() {
  return BridgeMethod<TMouseMoveEvent>(this, [this](TObject* Sender, TShiftState Shift, Integer X, Integer Y) {
    std::vector<Variant> args{SenderValue(Sender), ShiftValue(Shift), X, Y};
    CallHandler(args);
  });
}

TMethodValue TscKeyEvent::GetMethod() {
  return BridgeMethod<TKeyEvent>(this, [this](TObject* Sender, Word& Key, TShiftState Shift) {
    std::vector<Variant> args{SenderValue(Sender), static_cast<Integer>(Key), ShiftValue(Shift)};
    CallHandler(args);
    if (Handler()->ParamCount() > 1) Key = static_cast<Word>(args[1].AsInt64() & 0xFFFF);
  });
}

TMethodValue TscKeyPressEvent::GetMethod() {
  return BridgeMethod<TKeyPressEvent>(this, [this](TObject* Sender, char& Key) {
    std::vector<Variant> args{SenderValue(Sender), String(1, Key)};
    CallHandler(args);
    if (Handler()->ParamCount() > 1) {
      // An empty text gives #0: no character.
      const String text = args[1].AsString();
      Key = text.empty() ? '\0' : text[0];
    }
  });
}

TMethodValue TscCloseEvent::GetMethod() {
  return BridgeMethod<TCloseEvent>(this, [this](TObject* Sender, TCloseAction& Action) {
    std::vector<Variant> args{SenderValue(Sender), static_cast<Integer>(Action)};
    CallHandler(args);
    if (Handler()->ParamCount() > 1) {
      const Integer action = args[1].AsInteger();
      if (action >= caNone && action <= caMinimize) Action = static_cast<TCloseAction>(action);
    }
  });
}

TMethodValue TscCloseQueryEvent::GetMethod() {
  return BridgeMethod<TCloseQueryEvent>(this, [this](TObject* Sender, bool& CanClose) {
    std::vector<Variant> args{SenderValue(Sender), CanClose};
    CallHandler(args);
    if (Handler()->ParamCount() > 1) CanClose = args[1].AsBoolean();
  });
}

TMethodValue TscCanResizeEvent::GetMethod() {
  return BridgeMethod<TCanResizeEvent>(this, [this](TObject* Sender, Integer& NewWidth, Integer& NewHeight,
                                                    bool& Resize) {
    std::vector<Variant> args{SenderValue(Sender), NewWidth, NewHeight, Resize};
    CallHandler(args);
    const Integer count = Handler()->ParamCount();
    if (count > 1) NewWidth = args[1].AsInteger();
    if (count > 2) NewHeight = args[2].AsInteger();
    if (count > 3) Resize = args[3].AsBoolean();
  });
}

// ---- TscEventHelper -------------------------------------------------------------------------------------
TscEventHelper::TscEventHelper(const String& Name, TClass EventClass, TClass ClassRef)
    : TscCustomHelper(Name, tcString, String()), classRef_(ClassRef), eventClass_(EventClass) {}

void TscEventHelper::GetValue(Variant& Result) { Result = String(); }

void TscEventHelper::SetValue(const Variant& Value) {
  TObject* instance = ScriptObject(parentValue_, classRef_);
  const TPropInfo* prop = GetPropInfo(instance, name_);
  if (prop == nullptr || prop->Kind() != tkMethod) {
    throw EPropertyError(Format("%s has no event %s", instance->ClassName().c_str(), name_.c_str()));
  }
  const String handlerName = VarIsNil(Value) ? String("0") : Value.AsString();
  if (handlerName == "0") {
    SetMethodProp(instance, prop, TMethodValue());
    return;
  }
  auto* proc = ownerScript_ != nullptr ? dynamic_cast<TscProcVariable*>(ownerScript_->Find(handlerName)) : nullptr;
  if (proc == nullptr) throw Exception(scconsts::SEventError);
  TObjectPtr<TObject> made = eventClass_->Create();
  auto* bridge = dynamic_cast<TscCustomEvent*>(made.get());
  if (bridge == nullptr) throw EInvalidCast(scconsts::SInvalidClassCast);
  if (proc->RequiredParamCount() > bridge->ArgCount()) throw Exception(scconsts::SNotEnoughParams);
  bridge->Attach(instance, proc, prop);
  const TMethodValue method = bridge->GetMethod();
  SetMethodProp(instance, prop, method);
  // The bridge goes with the script that holds the procedure, so it never outlives it.
  TscScript* holder = ownerScript_;
  while (holder != nullptr && holder->FindLocal(handlerName) != proc) holder = holder->Parent();
  (holder != nullptr ? holder : ownerScript_)->Add(String(), made.release());
}

// ---- Class variables ------------------------------------------------------------------------------------
TscEventHelper* TscClassVariable::AddEvent(const String& Name, TClass EventClass) {
  auto* event = new TscEventHelper(Name, EventClass, classRef_);
  AddMember(event);
  return event;
}
