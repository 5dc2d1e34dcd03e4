// Look-and-feel settings: the kind and the native (visual-style) wish of every control, style and popup,
// each set locally or inherited from a master look-and-feel, with one process-wide root at the top of
// every chain; the painter class the effective settings choose; the form-level controller of the root;
// and the notification of system colour changes (Office11 colours first, then the painters' cached
// images, then every look-and-feel, newest first).
//
// Changes travel down the master chains: a look-and-feel tells its listeners (in the order they were
// added), then its owner's OnChanged. A locally set value hides the master's change of it. No
// notification is sent while an object is being destroyed. Everything runs on the GUI thread.
#pragma once

#include <vector>

#include "controls/foundation/uiClasses.h"
#include "controls/foundation/uiLookAndFeelPainters.h"
#include "controls/foundation/uxThemeManager.h"

enum TuiLookAndFeelValue { lfvKind, lfvNativeStyle };
K58_ENUM_TYPE(TuiLookAndFeelValue, lfvKind, lfvNativeStyle)
K58_SET_TYPE(TuiLookAndFeelValues, TuiLookAndFeelValue)

class TuiLookAndFeel;

// Something that follows a look-and-feel: other look-and-feels and the controller.
class IuiLookAndFeelChangeListener {
 public:
  virtual TObject* GetListenerObject() = 0;
  virtual void MasterChanged(TuiLookAndFeel* Sender, TuiLookAndFeelValues ChangedValues) = 0;
  virtual void MasterDestroying(TuiLookAndFeel* Sender) = 0;

 protected:
  ~IuiLookAndFeelChangeListener() = default;
};
inline constexpr TGUID IID_IuiLookAndFeelChangeListener = TGUID::Parse("{0A507D80-6BF5-5CC2-9F13-64A0198BA879}");

using TuiLookAndFeelChangedEvent = Delegate<void(TuiLookAndFeel* Sender, TuiLookAndFeelValues ChangedValues)>;

class TuiSystemPaletteChangedNotifier;
namespace k58::foundation {
void StartLookAndFeelsUnit();
}

class TuiLookAndFeel : public TuiInterfacedPersistent, public IuiLookAndFeelChangeListener {
  K58_CLASS(TuiLookAndFeel, TuiInterfacedPersistent)

  // Follows the root (when one exists) until a master is set.
  explicit TuiLookAndFeel(TPersistent* AOwner);
  ~TuiLookAndFeel() override;

  // Another look-and-feel's local values and master; any other source raises EConvertError.
  void Assign(TPersistent* Source) override;

  // The effective values.
  TuiLookAndFeelKind Kind() const { return kind_; }
  bool NativeStyle() const { return nativeStyle_; }
  // Set locally (and marked assigned); notifies when the effective value changes.
  void SetKind(TuiLookAndFeelKind Value);
  void SetNativeStyle(bool Value);
  TuiLookAndFeelValues AssignedValues() const { return assignedValues_; }
  void SetAssignedValues(TuiLookAndFeelValues Value);
  bool IsKindStored() const { return assignedValues_.Contains(lfvKind); }
  bool IsNativeStyleStored() const { return assignedValues_.Contains(lfvNativeStyle); }

  TuiLookAndFeel* Master() const { return master_; }
  // nil follows the root. Ignored on the root, for itself, for the current master, and for a master
  // whose chain leads back to this object.
  void SetMaster(TuiLookAndFeel* AMaster);
  // nil for the root; else the master, or the root when none is set.
  TuiLookAndFeel* GetEffectiveMaster() const;
  bool IsRoot() const { return isRoot_; }

  void AddChangeListener(IuiLookAndFeelChangeListener* AListener);
  void RemoveChangeListener(IuiLookAndFeelChangeListener* AListener);
  Integer ChangeListenerCount() const { return static_cast<Integer>(listeners_.size()); }

  // The themed painter when the native style is in force and visual styles are usable for the type (or
  // the mask; 0 asks whether they are active at all); else the painter of the effective kind.
  TuiLookAndFeelPainterClass GetPainterClassForObject(TThemedObjectIndex AThemedObjectType) const;
  TuiLookAndFeelPainterClass GetPainterClassForObjects(TThemedObjectMask AObjectMask) const;
  TuiLookAndFeelPainterClass GetPainterClass() const { return GetPainterClassForObjects(0); }

  const TuiLookAndFeelChangedEvent& OnChanged() const { return onChanged_; }
  void SetOnChanged(const TuiLookAndFeelChangedEvent& Value) { onChanged_ = Value; }

  // IuiLookAndFeelChangeListener
  TObject* GetListenerObject() override { return this; }
  void MasterChanged(TuiLookAndFeel* Sender, TuiLookAndFeelValues ChangedValues) override;
  void MasterDestroying(TuiLookAndFeel* Sender) override;

 protected:
  virtual TuiLookAndFeelKind ResolveKind() const;
  virtual bool ResolveNativeStyle() const;
  virtual void SystemPaletteChanged();
  void Changed(TuiLookAndFeelValues ChangedValues);

 private:
  friend void k58::foundation::StartLookAndFeelsUnit();
  struct Snapshot {
    TuiLookAndFeelKind Kind;
    bool NativeStyle;
  };
  Snapshot Take() const { return Snapshot{kind_, nativeStyle_}; }
  void NotifyIfChanged(const Snapshot& Before);
  // Moves this object from the old effective master's listeners to the new one's, without notifying.
  void ChangeMaster(TuiLookAndFeel* AMaster);
  bool IsControllerListener(IuiLookAndFeelChangeListener* AListener) const;

  TuiLookAndFeelValues assignedValues_;
  std::vector<IuiLookAndFeelChangeListener*> listeners_;
  TuiLookAndFeelKind kind_ = lfUltraFlat;
  bool nativeStyle_ = false;
  TuiLookAndFeelKind localKind_ = lfUltraFlat;
  bool localNativeStyle_ = false;
  bool destroying_ = false;
  bool isRoot_ = false;
  TuiLookAndFeel* master_ = nullptr;
  TuiSystemPaletteChangedNotifier* paletteNotifier_ = nullptr;
  TuiLookAndFeelChangedEvent onChanged_;
};

// The form-level editor of the root look-and-feel. The last controller to go resets the root.
class TuiLookAndFeelController : public TComponent, public IuiLookAndFeelChangeListener {
  K58_CLASS(TuiLookAndFeelController, TComponent)

  explicit TuiLookAndFeelController(TComponent* AOwner);
  ~TuiLookAndFeelController() override;

  // The root's values (lfUltraFlat and false without a root).
  TuiLookAndFeelKind Kind() const;
  void SetKind(TuiLookAndFeelKind Value);
  bool NativeStyle() const;
  void SetNativeStyle(bool Value);

  // IuiLookAndFeelChangeListener
  TObject* GetListenerObject() override { return this; }
  void MasterChanged(TuiLookAndFeel* Sender, TuiLookAndFeelValues ChangedValues) override;
  void MasterDestroying(TuiLookAndFeel* Sender) override;
};

// A subscriber to system colour changes. Primary notifiers (the painters' image cache) hear of a change
// before the ordinary ones; within each kind the newest hears first.
class TuiSystemPaletteChangedNotifier : public TObject {
  K58_CLASS(TuiSystemPaletteChangedNotifier, TObject)

  explicit TuiSystemPaletteChangedNotifier(bool AIsPrimary = false);
  ~TuiSystemPaletteChangedNotifier() override;

  bool IsPrimary() const { return isPrimary_; }
  // Fires OnPaletteChanged.
  virtual void NotifyPaletteChanged();

  const TNotifyEvent& OnPaletteChanged() const { return onPaletteChanged_; }
  void SetOnPaletteChanged(const TNotifyEvent& Value) { onPaletteChanged_ = Value; }

 private:
  bool isPrimary_;
  TNotifyEvent onPaletteChanged_;
};

// The hidden window that turns WM_SYSCOLORCHANGE into notifications; it exists while notifiers do.
class TuiSystemPaletteChangedListener : public TObject {
  K58_CLASS(TuiSystemPaletteChangedListener, TObject)

  TuiSystemPaletteChangedListener();
  ~TuiSystemPaletteChangedListener() override;

  HWND Handle() const { return handle_; }
  void AddNotifier(TuiSystemPaletteChangedNotifier* ANotifier);
  void RemoveNotifier(TuiSystemPaletteChangedNotifier* ANotifier);

 private:
  LRESULT WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  void PaletteChanged();

  HWND handle_ = nullptr;
  std::vector<TuiSystemPaletteChangedNotifier*> notifiers_;
  std::vector<TuiSystemPaletteChangedNotifier*> primaryNotifiers_;
};

// The root look-and-feel (nil before the unit starts and after it ends).
TuiLookAndFeel* GetRootLookAndFeel();
// The painter of a kind: flat, standard, ultra-flat or Office11.
TuiLookAndFeelPainterClass GetPainterClassOfKind(TuiLookAndFeelKind AKind);

namespace k58::foundation {
// The number of controllers registered with the root.
Integer LookAndFeelControllerCount();
// The palette listener while it exists.
TuiSystemPaletteChangedListener* SystemPaletteChangedListener();

void StartLookAndFeelsUnit();
void StopLookAndFeelsUnit();
}  // namespace k58::foundation
