// The most-recently-used edit: a combo box that remembers the texts the user entered. Each accepted text
// moves to the top of its drop-down list (LookupItems), the list can be limited in length, and an extra
// ellipsis button fires an event of its own.
//
// Threads: GUI thread only.
// Buttons: button 0 opens the list, button 1 is the ellipsis and carries ButtonGlyph while it is shown.
#pragma once

#include "controls/editors/uiComboBox.h"

namespace uimrueditconsts {
inline constexpr const char* SMRUEditDescription =
    "MRUEdit|Represents a text editor displaying the list of most recently used items (MRU) within a dropdown "
    "window";
}  // namespace uimrueditconsts

class TuiCustomMRUEditProperties : public TuiCustomComboBoxProperties {
  K58_CLASS(TuiCustomMRUEditProperties, TuiCustomComboBoxProperties)

  TuiCustomMRUEditProperties();
  void Assign(TPersistent* Source) override;
  // A target of this kind takes a copy of the items.
  void AssignItemsTo(TuiCustomEditProperties* ATarget) override;
  TClass GetEditClass() const override;

  // 0 means no limit; negative values become 0. A smaller limit drops items from the end.
  Integer MaxItemCount() const { return maxItemCount_; }
  void SetMaxItemCount(Integer Value);
  // The ellipsis button (button 1) is shown.
  bool ShowEllipsis() const { return showEllipsis_; }
  void SetShowEllipsis(bool Value);
  // Fired by the ellipsis button (the editor base's button event is not fired by this editor).
  const TNotifyEvent& OnButtonClick() const { return onEllipsisClick_; }
  void SetOnButtonClick(const TNotifyEvent& Value) { onEllipsisClick_ = Value; }

  // With a limit, deletes the last items until at most MaxItemCount remain.
  void TruncateItems();

 private:
  Integer maxItemCount_ = 0;
  bool showEllipsis_ = true;
  TNotifyEvent onEllipsisClick_;
};

class TuiMRUEditProperties : public TuiCustomMRUEditProperties {
  K58_CLASS(TuiMRUEditProperties, TuiCustomMRUEditProperties)
};

class TuiCustomMRUEdit : public TuiCustomComboBox {
  K58_CLASS(TuiCustomMRUEdit, TuiCustomComboBox)

  explicit TuiCustomMRUEdit(TComponent* AOwner) : TuiCustomComboBox(AOwner) {}
  TuiCustomMRUEditProperties* ActiveProperties() {
    return static_cast<TuiCustomMRUEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomMRUEditProperties* Properties() const {
    return static_cast<TuiCustomMRUEditProperties*>(TuiCustomEdit::Properties());
  }

  // Puts AText at the top of the list: moved there when the list has it in any letter case (keeping the
  // entry's own spelling), else inserted and the list cut to MaxItemCount. Nothing for an empty text,
  // for the text already at the top (OnEditing is not asked then) or when OnEditing refuses.
  void AddItem(const String& AText);

  TClass GetPropertiesClass() const override;
  void DoButtonClick(Integer AButtonIndex) override;
  // Only button 0 opens the list: the ellipsis carries the glyph but fires its own event.
  void DoButtonDown(Integer AButtonIndex) override;
  void DoEditKeyDown(Word& Key, TShiftState Shift) override;
  void InternalSetDisplayValue(const Variant& AValue) override;
  void PropertiesChanged(TObject* Sender) override;
  void ApplySelectedLookupItem(TObject* Sender) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;

 private:
  bool wheelNavigation_ = false;
};

class TuiMRUEdit : public TuiCustomMRUEdit {
  K58_CLASS(TuiMRUEdit, TuiCustomMRUEdit)

  explicit TuiMRUEdit(TComponent* AOwner) : TuiCustomMRUEdit(AOwner) {}
  TuiMRUEditProperties* Properties() const { return static_cast<TuiMRUEditProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiMRUEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TClass GetPropertiesClass() const override;
  TImeName ImeNameValue() const { return ImeName(); }
};

namespace k58::editors {
void StartMRUEditUnit();
void StopMRUEditUnit();
}  // namespace k58::editors
