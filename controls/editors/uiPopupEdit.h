// The popup edit: a drop-down editor whose popup shows a control of the form (PopupControl). Opening takes
// the control from its place, puts it into the popup window aligned to fill it; closing hands it back
// with its parent, bounds, alignment, visibility and (for a form) border style as they were.
//
// Threads: GUI thread only.
// Ownership: the control belongs to its form, never to the Properties; its destruction clears PopupControl
// through the Properties' free notificator.
#pragma once

#include "controls/editors/uiComboBox.h"

namespace uipopupeditconsts {
inline constexpr const char* scxPopupEditDescription = "PopupEdit|Represents an edit control with a dropdown list";
inline constexpr const char* scxCircularReference = "Circular referencing is not allowed";
}  // namespace uipopupeditconsts

class TuiCustomPopupEditProperties : public TuiCustomDropDownEditProperties {
  K58_CLASS(TuiCustomPopupEditProperties, TuiCustomDropDownEditProperties)

  TuiCustomPopupEditProperties();
  ~TuiCustomPopupEditProperties() override;
  void Assign(TPersistent* Source) override;
  void FreeNotification(TComponent* AComponent) override;

  TControl* PopupControl() const { return popupControl_; }
  void SetPopupControl(TControl* Value);

  TClass GetEditClass() const override;
  bool ShowsLookupListInPopup() override { return false; }
  TClass GetPopupWindowClass() const override;
  bool IsPopupFocused() override { return true; }

 private:
  TControl* popupControl_ = nullptr;
};

class TuiPopupEditProperties : public TuiCustomPopupEditProperties {
  K58_CLASS(TuiPopupEditProperties, TuiCustomPopupEditProperties)

  TuiPopupEditProperties();
};

// Draws the 3-D frame with a face-coloured innermost line, as with a client edge.
class TuiPopupEditPopupWindowViewInfo : public TuiCustomEditPopupWindowViewInfo {
  K58_CLASS(TuiPopupEditPopupWindowViewInfo, TuiCustomEditPopupWindowViewInfo)

  TuiPopupEditPopupWindowViewInfo() { FaceColoredFrame3D = true; }
};

class TuiPopupEditPopupWindow : public TuiCustomEditPopupWindow {
  K58_CLASS(TuiPopupEditPopupWindow, TuiCustomEditPopupWindow)

  explicit TuiPopupEditPopupWindow(TComponent* AOwnerControl = nullptr) : TuiCustomEditPopupWindow(AOwnerControl) {}
  TuiContainerViewInfoClass GetViewInfoClass() override;
};

class TuiCustomPopupEdit : public TuiCustomDropDownEdit {
  K58_CLASS(TuiCustomPopupEdit, TuiCustomDropDownEdit)

  explicit TuiCustomPopupEdit(TComponent* AOwner) : TuiCustomDropDownEdit(AOwner) {}
  void BeforeDestruction() override;

  TuiCustomPopupEditProperties* ActiveProperties() {
    return static_cast<TuiCustomPopupEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomPopupEditProperties* Properties() const {
    return static_cast<TuiCustomPopupEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomPopupEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }

  // Closes the popup with AReason through the popup window's queue (for editors hosting their own controls).
  void ClosePopup(TObject* Sender, TuiPopupCloseReason AReason);

  TClass GetPropertiesClass() const override;
  bool CanDropDown() override { return ActiveProperties()->PopupControl() != nullptr; }
  // Raises "Circular referencing is not allowed" for the popup window, the editor or one of its parents.
  void DoInitPopup() override;
  TControl* GetPopupFocusedControl() override;
  void CalculatePopupContentSize(TSize& ASize) override;
  void PositionPopupContent(const TRect& AClientRect) override;
  void PreparePopup() override;
  void PopupWindowClosed(TObject* Sender) override;

 protected:
  virtual void RestorePopupControl();
  virtual void SavePopupControlState();

 private:
  TAlign savedAlign_ = alNone;
  TRect savedBounds_{};
  TWinControl* savedParent_ = nullptr;
  bool savedVisible_ = false;
  TFormBorderStyle savedBorderStyle_ = bsNone;
};

class TuiPopupEdit : public TuiCustomPopupEdit {
  K58_CLASS(TuiPopupEdit, TuiCustomPopupEdit)

  explicit TuiPopupEdit(TComponent* AOwner) : TuiCustomPopupEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiPopupEditProperties* ActiveProperties() {
    return static_cast<TuiPopupEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiPopupEditProperties* Properties() const {
    return static_cast<TuiPopupEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiPopupEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
};

namespace k58::editors {
// Registers the combo box's and the popup edit's Properties in the edit-properties registry (counted).
void StartPopupEditUnit();
void StopPopupEditUnit();
}  // namespace k58::editors
