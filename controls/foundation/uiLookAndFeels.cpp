// Look-and-feel resolution along master chains, change notification, the root and its controllers, the
// painter choice, and the system-palette listener.
#include "controls/foundation/uiLookAndFeels.h"

#include <algorithm>

#include "platform/win/core/UtilWindow.h"
#include "controls/foundation/uxOffice11.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/core/WinMessages.h"
#include "platform/win/core/WinUser.h"

namespace {

TuiLookAndFeel* root = nullptr;
Integer controllerCount = 0;
TuiSystemPaletteChangedListener* paletteListener = nullptr;
Integer paletteListenerUsers = 0;

}  // namespace

TuiLookAndFeel* GetRootLookAndFeel() { return root; }

TuiLookAndFeelPainterClass GetPainterClassOfKind(TuiLookAndFeelKind AKind) {
  switch (AKind) {
    case lfFlat: return PainterClass<TuiFlatLookAndFeelPainter>();
    case lfStandard: return PainterClass<TuiStandardLookAndFeelPainter>();
    case lfOffice11: return PainterClass<TuiOffice11LookAndFeelPainter>();
    default: return PainterClass<TuiUltraFlatLookAndFeelPainter>();
  }
}

// ---- TuiLookAndFeel -----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiLookAndFeel) {
  b.Prop("AssignedValues", &TuiLookAndFeel::AssignedValues, &TuiLookAndFeel::SetAssignedValues).Stored(false);
  b.Prop("Kind", &TuiLookAndFeel::Kind, &TuiLookAndFeel::SetKind).Stored(&TuiLookAndFeel::IsKindStored);
  b.Prop("NativeStyle", &TuiLookAndFeel::NativeStyle, &TuiLookAndFeel::SetNativeStyle)
      .Stored(&TuiLookAndFeel::IsNativeStyleStored);
}

TuiLookAndFeel::TuiLookAndFeel(TPersistent* AOwner) : TuiInterfacedPersistent(AOwner) {
  paletteNotifier_ = new TuiSystemPaletteChangedNotifier(false);
  paletteNotifier_->SetOnPaletteChanged([this](TObject*) { SystemPaletteChanged(); });
  if (root != nullptr) {
    root->AddChangeListener(this);
    kind_ = ResolveKind();
    nativeStyle_ = ResolveNativeStyle();
  }
}

TuiLookAndFeel::~TuiLookAndFeel() {
  FreeAndNil(paletteNotifier_);
  destroying_ = true;
  // Each listener moves to another master; the list keeps its length meanwhile.
  for (size_t i = 0; i < listeners_.size(); ++i) listeners_[i]->MasterDestroying(this);
  destroying_ = false;
  listeners_.clear();
  if (TuiLookAndFeel* master = GetEffectiveMaster()) master->RemoveChangeListener(this);
  if (root == this) root = nullptr;
}

void TuiLookAndFeel::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiLookAndFeel*>(Source);
  if (source == nullptr) {
    TuiInterfacedPersistent::Assign(Source);
    return;
  }
  const Snapshot before = Take();
  localKind_ = source->localKind_;
  localNativeStyle_ = source->localNativeStyle_;
  assignedValues_ = source->assignedValues_;
  ChangeMaster(source->GetEffectiveMaster());
  NotifyIfChanged(before);
}

void TuiLookAndFeel::SetKind(TuiLookAndFeelKind Value) {
  assignedValues_.Include(lfvKind);
  localKind_ = Value;
  if (ResolveKind() != kind_) Changed({lfvKind});
}

void TuiLookAndFeel::SetNativeStyle(bool Value) {
  assignedValues_.Include(lfvNativeStyle);
  localNativeStyle_ = Value;
  if (ResolveNativeStyle() != nativeStyle_) Changed({lfvNativeStyle});
}

void TuiLookAndFeel::SetAssignedValues(TuiLookAndFeelValues Value) {
  if (Value == assignedValues_) return;
  const Snapshot before = Take();
  assignedValues_ = Value;
  NotifyIfChanged(before);
}

TuiLookAndFeel* TuiLookAndFeel::GetEffectiveMaster() const {
  if (isRoot_) return nullptr;
  return master_ != nullptr ? master_ : root;
}

void TuiLookAndFeel::ChangeMaster(TuiLookAndFeel* AMaster) {
  if (TuiLookAndFeel* old = GetEffectiveMaster()) old->RemoveChangeListener(this);
  master_ = AMaster;
  if (TuiLookAndFeel* now = GetEffectiveMaster()) now->AddChangeListener(this);
}

void TuiLookAndFeel::SetMaster(TuiLookAndFeel* AMaster) {
  if (isRoot_ || AMaster == this || AMaster == GetEffectiveMaster()) return;
  if (AMaster == nullptr && master_ == nullptr) return;
  // A master whose chain leads back here would pass every change round the circle without end.
  for (TuiLookAndFeel* m = AMaster; m != nullptr; m = m->GetEffectiveMaster())
    if (m == this) return;
  const Snapshot before = Take();
  ChangeMaster(AMaster);
  NotifyIfChanged(before);
}

bool TuiLookAndFeel::IsControllerListener(IuiLookAndFeelChangeListener* AListener) const {
  return dynamic_cast<TuiLookAndFeelController*>(AListener->GetListenerObject()) != nullptr;
}

void TuiLookAndFeel::AddChangeListener(IuiLookAndFeelChangeListener* AListener) {
  if (AListener == nullptr) return;
  const bool controller = IsControllerListener(AListener);
  if (controller && !isRoot_) return;
  if (std::find(listeners_.begin(), listeners_.end(), AListener) != listeners_.end()) return;
  if (controller) ++controllerCount;
  listeners_.push_back(AListener);
}

void TuiLookAndFeel::RemoveChangeListener(IuiLookAndFeelChangeListener* AListener) {
  if (AListener == nullptr) return;
  auto it = std::find(listeners_.begin(), listeners_.end(), AListener);
  if (it == listeners_.end()) return;
  if (!destroying_) listeners_.erase(it);
  if (isRoot_ && IsControllerListener(AListener) && --controllerCount == 0) SetAssignedValues({});
}

TuiLookAndFeelKind TuiLookAndFeel::ResolveKind() const {
  if (assignedValues_.Contains(lfvKind)) return localKind_;
  if (isRoot_) return lfUltraFlat;
  const TuiLookAndFeel* master = GetEffectiveMaster();
  return master != nullptr ? master->Kind() : lfUltraFlat;
}

bool TuiLookAndFeel::ResolveNativeStyle() const {
  if (assignedValues_.Contains(lfvNativeStyle)) return localNativeStyle_;
  if (isRoot_) return false;
  const TuiLookAndFeel* master = GetEffectiveMaster();
  return master != nullptr && master->NativeStyle();
}

void TuiLookAndFeel::SystemPaletteChanged() { Changed({lfvNativeStyle}); }

void TuiLookAndFeel::Changed(TuiLookAndFeelValues ChangedValues) {
  if (ChangedValues.Empty() || destroying_) return;
  kind_ = ResolveKind();
  nativeStyle_ = ResolveNativeStyle();
  // A listener may leave the list while it is told (it moves to another master): the next one then takes
  // its place and must not be skipped.
  for (size_t i = 0; i < listeners_.size();) {
    IuiLookAndFeelChangeListener* listener = listeners_[i];
    listener->MasterChanged(this, ChangedValues);
    if (i < listeners_.size() && listeners_[i] == listener) ++i;
  }
  onChanged_(this, ChangedValues);
}

void TuiLookAndFeel::NotifyIfChanged(const Snapshot& Before) {
  TuiLookAndFeelValues changed;
  if (ResolveKind() != Before.Kind) changed.Include(lfvKind);
  if (ResolveNativeStyle() != Before.NativeStyle) changed.Include(lfvNativeStyle);
  Changed(changed);
}

void TuiLookAndFeel::MasterChanged(TuiLookAndFeel*, TuiLookAndFeelValues ChangedValues) {
  Changed(ChangedValues - assignedValues_);
}

void TuiLookAndFeel::MasterDestroying(TuiLookAndFeel*) { SetMaster(nullptr); }

TuiLookAndFeelPainterClass TuiLookAndFeel::GetPainterClassForObject(TThemedObjectIndex AThemedObjectType) const {
  if (nativeStyle_ && IsThemedObjectUsable(AThemedObjectType)) return PainterClass<TuiWinXPLookAndFeelPainter>();
  return GetPainterClassOfKind(kind_);
}

TuiLookAndFeelPainterClass TuiLookAndFeel::GetPainterClassForObjects(TThemedObjectMask AObjectMask) const {
  if (nativeStyle_ && AreThemesUsableFor(AObjectMask)) return PainterClass<TuiWinXPLookAndFeelPainter>();
  return GetPainterClassOfKind(kind_);
}

// ---- TuiLookAndFeelController -------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiLookAndFeelController) {
  b.Prop("Kind", &TuiLookAndFeelController::Kind, &TuiLookAndFeelController::SetKind).Default(lfUltraFlat);
  b.Prop("NativeStyle", &TuiLookAndFeelController::NativeStyle, &TuiLookAndFeelController::SetNativeStyle)
      .Default(false);
}

TuiLookAndFeelController::TuiLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (root != nullptr) root->AddChangeListener(this);
}

TuiLookAndFeelController::~TuiLookAndFeelController() {
  if (root != nullptr) root->RemoveChangeListener(this);
}

TuiLookAndFeelKind TuiLookAndFeelController::Kind() const { return root != nullptr ? root->Kind() : lfUltraFlat; }

void TuiLookAndFeelController::SetKind(TuiLookAndFeelKind Value) {
  if (root != nullptr) root->SetKind(Value);
}

bool TuiLookAndFeelController::NativeStyle() const { return root != nullptr && root->NativeStyle(); }

void TuiLookAndFeelController::SetNativeStyle(bool Value) {
  if (root != nullptr) root->SetNativeStyle(Value);
}

void TuiLookAndFeelController::MasterChanged(TuiLookAndFeel*, TuiLookAndFeelValues) {}

// Only a form designer would be told that the form changed; there is none at run time.
void TuiLookAndFeelController::MasterDestroying(TuiLookAndFeel*) {}

// ---- System palette -----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSystemPaletteChangedNotifier) {}

TuiSystemPaletteChangedNotifier::TuiSystemPaletteChangedNotifier(bool AIsPrimary) : isPrimary_(AIsPrimary) {
  if (paletteListener == nullptr) paletteListener = new TuiSystemPaletteChangedListener;
  ++paletteListenerUsers;
  paletteListener->AddNotifier(this);
}

TuiSystemPaletteChangedNotifier::~TuiSystemPaletteChangedNotifier() {
  if (paletteListener == nullptr) return;
  paletteListener->RemoveNotifier(this);
  if (--paletteListenerUsers == 0) FreeAndNil(paletteListener);
}

void TuiSystemPaletteChangedNotifier::NotifyPaletteChanged() { onPaletteChanged_(this); }

K58_IMPLEMENT_CLASS(TuiSystemPaletteChangedListener) {}

TuiSystemPaletteChangedListener::TuiSystemPaletteChangedListener() {
  AcquireOffice11Colors();
  handle_ = AllocateHWnd(
      [this](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) { return WndProc(Wnd, Msg, WParam, LParam); });
}

TuiSystemPaletteChangedListener::~TuiSystemPaletteChangedListener() {
  DeallocateHWnd(handle_);
  DropOffice11Colors();
}

void TuiSystemPaletteChangedListener::AddNotifier(TuiSystemPaletteChangedNotifier* ANotifier) {
  (ANotifier->IsPrimary() ? primaryNotifiers_ : notifiers_).push_back(ANotifier);
}

void TuiSystemPaletteChangedListener::RemoveNotifier(TuiSystemPaletteChangedNotifier* ANotifier) {
  for (auto* list : {&primaryNotifiers_, &notifiers_}) list->erase(std::remove(list->begin(), list->end(), ANotifier), list->end());
}

LRESULT TuiSystemPaletteChangedListener::WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_SYSCOLORCHANGE) PaletteChanged();
  return DefWindowProc(Wnd, Msg, WParam, LParam);
}

void TuiSystemPaletteChangedListener::PaletteChanged() {
  UpdateOffice11Colors();
  // Newest first; a notifier freed by an earlier one's handler is skipped.
  for (auto* list : {&primaryNotifiers_, &notifiers_}) {
    const std::vector<TuiSystemPaletteChangedNotifier*> current = *list;
    for (auto it = current.rbegin(); it != current.rend(); ++it)
      if (std::find(list->begin(), list->end(), *it) != list->end()) (*it)->NotifyPaletteChanged();
  }
}

namespace k58::foundation {

Integer LookAndFeelControllerCount() { return controllerCount; }

TuiSystemPaletteChangedListener* SystemPaletteChangedListener() { return paletteListener; }

void StartLookAndFeelsUnit() {
  if (root != nullptr) return;
  auto* created = new TuiLookAndFeel(nullptr);
  created->isRoot_ = true;
  root = created;
}

void StopLookAndFeelsUnit() {
  TuiLookAndFeel* doomed = root;
  FreeObject(doomed);
  root = nullptr;
  controllerCount = 0;
}

}  // namespace k58::foundation
