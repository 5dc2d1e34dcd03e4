// The standard controls: labels, push buttons, check boxes and radio buttons, group boxes, edits and
// memos, list boxes, combo boxes and scroll bars.
//
// Every windowed control here is a subclass of a built-in window class ("BUTTON", "EDIT", "LISTBOX",
// "COMBOBOX", "SCROLLBAR"): the window does the work, the control keeps the state that must survive the
// window (a control has its properties before its window exists, and keeps them when the window is made
// again), turns the window's notifications (reflected to it as CN_COMMAND) into events, and takes part in
// the form's keyboard handling (default and cancel buttons, accelerators, Tab and arrows).
//
// Positions in text (SelStart, SelLength, MaxLength) count characters (code points), as the edit
// window does; String holds UTF-8.
#pragma once

#include <memory>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"

class TCustomEdit;
class TCustomMemo;
class TCustomListBox;
class TCustomComboBox;

namespace stdctrlsconsts {
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SScrollBarRange = "Scrollbar property out of range";
inline constexpr const char* SNoSelection = "No item selected";
}  // namespace stdctrlsconsts

// ---- Types of the published properties -------------------------------------------------------------
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
K58_ENUM_TYPE(TAlignment, taLeftJustify, taRightJustify, taCenter)
// Left or right only (the side of a check box's text); properties of this type are registered with
// .Type(TLeftRightTypeInfo()).
using TLeftRight = TAlignment;
const TTypeInfo* TLeftRightTypeInfo();

enum TTextLayout { tlTop, tlCenter, tlBottom };
K58_ENUM_TYPE(TTextLayout, tlTop, tlCenter, tlBottom)

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
K58_ENUM_TYPE(TScrollStyle, ssNone, ssHorizontal, ssVertical, ssBoth)

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
K58_ENUM_TYPE(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
K58_ENUM_TYPE(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
K58_ENUM_TYPE(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable)

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
K58_ENUM_TYPE(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable)

enum TScrollCode {
  scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll
};
K58_ENUM_TYPE(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
              scEndScroll)

K58_EVENT_TYPE(TDrawItemEvent, void(TWinControl* Control, Integer Index, TRect Rect, TOwnerDrawState State))
K58_EVENT_TYPE(TMeasureItemEvent, void(TWinControl* Control, Integer Index, Integer& Height))
K58_EVENT_TYPE(TScrollEvent, void(TObject* Sender, TScrollCode ScrollCode, Integer& ScrollPos))

namespace k58::forms {
// Registers the window classes of the built-in controls once (the standard controls call it before they
// make their first window).
void EnsureCommonControls();
}  // namespace k58::forms

// ---- Labels ----------------------------------------------------------------------------------------
// Text drawn on the parent, with "&" marking the accelerator that focuses FocusControl. With AutoSize the
// label takes the size of its text (keeping its right edge when it is right-aligned).
class TCustomLabel : public TGraphicControl {
  K58_CLASS(TCustomLabel, TGraphicControl)

  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool Value);
  bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
  void SetTransparent(bool Value);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* Value);
  void SetAutoSize(bool Value) override;

  // The text as drawn: the caption (a lone "&" is shown as it is when ShowAccelChar is off).
  virtual String GetLabelText();
  // Draws (or, with DT_CALCRECT in Flags, measures) the text in Rect with the label's font.
  virtual void DoDrawText(TRect& Rect, UINT Flags);
  void Paint() override;
  // Sets the size from the text when AutoSize is on.
  virtual void AdjustBounds();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Dispatch(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  virtual void CMDialogChar(TCMDialogChar& Message);

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  K58_CLASS(TLabel, TCustomLabel)

  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

// ---- Buttons ---------------------------------------------------------------------------------------
// The base of push buttons, check boxes and radio buttons.
class TButtonControl : public TWinControl {
  K58_CLASS(TButtonControl, TWinControl)

  explicit TButtonControl(TComponent* AOwner);

  virtual bool GetChecked() const { return false; }
  virtual void SetChecked(bool Value) { (void)Value; }
  bool Checked() const { return GetChecked(); }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  // While set, changing the check state in code fires no OnClick.
  bool ClicksDisabled() const { return clicksDisabled_; }
  void SetClicksDisabled(bool Value) { clicksDisabled_ = Value; }

  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

 private:
  bool wordWrap_ = false;
  bool clicksDisabled_ = false;
};

// A push button. Default: Enter anywhere on the form clicks it (unless another button has the focus,
// which then is the default one); Cancel: Esc clicks it. A ModalResult other than mrNone closes a modal
// form with that result when the button is clicked.
class TButton : public TButtonControl {
  K58_CLASS(TButton, TButtonControl)

  explicit TButton(TComponent* AOwner);

  bool Default() const { return default_; }
  void SetDefault(bool Value);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool Value) { cancel_ = Value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult Value) { modalResult_ = Value; }
  // True while the button shows as the form's default button (BS_DEFPUSHBUTTON).
  bool Active() const { return active_; }

  void Click() override;
  // Shows the button as default or not.
  virtual void SetButtonStyle(bool ADefault);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void CMDialogKey(TCMDialogKey& Message) override;
  void CMDialogChar(TCMDialogChar& Message) override;
  void CMFocusChanged(TCMFocusChanged& Message) override;
  virtual void CNCommand(TWMCommand& Message);

 private:
  bool default_ = false;
  bool cancel_ = false;
  bool active_ = false;
  TModalResult modalResult_ = mrNone;
};

// A check box with two or (AllowGrayed) three states; a click steps unchecked, (grayed,) checked.
class TCustomCheckBox : public TButtonControl {
  K58_CLASS(TCustomCheckBox, TButtonControl)

  explicit TCustomCheckBox(TComponent* AOwner);

  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight Value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool Value) { allowGrayed_ = Value; }
  TCheckBoxState State() const { return state_; }
  // A new state shows at once and fires OnClick (unless clicks are disabled).
  void SetState(TCheckBoxState Value);
  bool GetChecked() const override { return state_ == cbChecked; }
  void SetChecked(bool Value) override { SetState(Value ? cbChecked : cbUnchecked); }
  // The next state, as a click makes it.
  virtual void Toggle();

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void CMDialogChar(TCMDialogChar& Message) override;
  virtual void CNCommand(TWMCommand& Message);

 private:
  TLeftRight alignment_ = taRightJustify;
  bool allowGrayed_ = false;
  TCheckBoxState state_ = cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
  K58_CLASS(TCheckBox, TCustomCheckBox)

  explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// A radio button: checking one unchecks the other radio buttons of the same parent. Only the checked one
// is a tab stop; the arrows move among them and check the one they reach.
class TRadioButton : public TButtonControl {
  K58_CLASS(TRadioButton, TButtonControl)

  explicit TRadioButton(TComponent* AOwner);

  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight Value);
  bool GetChecked() const override { return checked_; }
  void SetChecked(bool Value) override;

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void WMSetFocus(TWMSetFocus& Message) override;
  void CMDialogChar(TCMDialogChar& Message) override;
  virtual void CNCommand(TWMCommand& Message);

 private:
  void TurnSiblingsOff();

  TLeftRight alignment_ = taRightJustify;
  bool checked_ = false;
};

// ---- Group boxes -----------------------------------------------------------------------------------
// A frame with a caption around other controls; its accelerator focuses the first of them.
class TCustomGroupBox : public TCustomControl {
  K58_CLASS(TCustomGroupBox, TCustomControl)

  explicit TCustomGroupBox(TComponent* AOwner);

  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void CreateParams(TCreateParams& Params) override;
  void CMDialogChar(TCMDialogChar& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMCtl3DChanged(TMessage& Message) override;
  void WMSize(TWMSize& Message) override;
};

class TGroupBox : public TCustomGroupBox {
  K58_CLASS(TGroupBox, TCustomGroupBox)

  explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ---- Edits -----------------------------------------------------------------------------------------
// A single-line edit over the "EDIT" window class. OnChange fires whenever the text changes, typed or set
// in code. AutoSelect selects the whole text when the edit is entered with the keyboard; AutoSize keeps
// the height at the font's height plus the border.
class TCustomEdit : public TWinControl {
  K58_CLASS(TCustomEdit, TWinControl)

  explicit TCustomEdit(TComponent* AOwner);

  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool Value) { autoSelect_ = Value; }
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase Value);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool Value);
  // Most characters the user may type (0: no limit). Text set in code is not cut.
  virtual Integer GetMaxLength();
  virtual void SetMaxLength(Integer Value);
  Integer MaxLength() { return GetMaxLength(); }
  bool OEMConvert() const { return oemConvert_; }
  void SetOEMConvert(bool Value);
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char Value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool Value);
  // Set when the user changed the text (and by setting the text in code is cleared only by assigning
  // false).
  bool Modified();
  void SetModified(bool Value);
  bool CanUndo();

  // ---- Selection (character positions) ----
  virtual Integer GetSelStart();
  virtual void SetSelStart(Integer Value);
  virtual Integer GetSelLength();
  virtual void SetSelLength(Integer Value);
  virtual String GetSelText();
  virtual void SetSelText(const String& Value);
  Integer SelStart() { return GetSelStart(); }
  Integer SelLength() { return GetSelLength(); }
  String SelText() { return GetSelText(); }
  // Copies the selected text, ended by a zero, into Buffer; answers the bytes copied.
  Integer GetSelTextBuf(char* Buffer, Integer BufSize);
  void SetSelTextBuf(const char* Buffer) { SetSelText(Buffer != nullptr ? String(Buffer) : String()); }

  // ---- Editing ----
  virtual void Clear();
  void ClearSelection();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void Undo();
  void ClearUndo();
  void SelectAll();

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }

  // Fires OnChange.
  virtual void Change();
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;
  void SetAutoSize(bool Value) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMCtl3DChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  virtual void CNCommand(TWMCommand& Message);

 protected:
  // Height of one line of the font plus the border, for AutoSize.
  Integer AutoHeight();
  // Turns code-point positions into a selection of the window (and back) without a window as well; the
  // positions count in the text as shown.
  void ApplySelection(Integer Start, Integer Length);
  bool creating_ = false;

 private:
  Integer maxLength_ = 0;
  TBorderStyle borderStyle_ = bsSingle;
  TEditCharCase charCase_ = ecNormal;
  bool autoSelect_ = true;
  bool hideSelection_ = true;
  bool oemConvert_ = false;
  char passwordChar_ = 0;
  bool readOnly_ = false;
  bool modified_ = false;  // kept while there is no window
  Integer selStart_ = 0;   // kept while there is no window
  Integer selLength_ = 0;
  TNotifyEvent onChange_;
};

class TEdit : public TCustomEdit {
  K58_CLASS(TEdit, TCustomEdit)

  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---- Memos -----------------------------------------------------------------------------------------
// The lines of a memo: reading and changing them reads and changes the memo's text (lines are separated by
// CR LF; a line break at the end starts no further line).
class TMemoStrings : public TStrings {
  K58_CLASS(TMemoStrings, TStrings)

  explicit TMemoStrings(TCustomMemo* Memo);
  TMemoStrings() : TMemoStrings(nullptr) {}

  Integer Count() const override;
  String Get(Integer Index) const override;
  void Put(Integer Index, const String& S) override;
  void Clear() override;
  void Delete(Integer Index) override;
  void Insert(Integer Index, const String& S) override;
  String GetText() const override;
  void SetText(const String& Value) override;
  TCustomMemo* Memo() const { return memo_; }

 protected:
  void SetUpdateState(bool Updating) override;

 private:
  // Character range of line Index (the break after it excluded) and the lines of the text.
  std::vector<String> Split() const;
  void CheckIndex(Integer Index, Integer Limit) const;
  TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
  K58_CLASS(TCustomMemo, TCustomEdit)

  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* Value) { lines_->Assign(Value); }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle Value);
  // Enter starts a new line (otherwise it is the form's, for its default button).
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool Value) { wantReturns_ = Value; }
  // Tab is typed into the text (otherwise it moves the focus).
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool Value) { wantTabs_ = Value; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool Value);
  // Line and column of the caret (0-based).
  TPoint CaretPos();
  void SetCaretPos(const TPoint& Value);

  void CreateParams(TCreateParams& Params) override;
  void KeyPress(char& Key) override;
  void Dispatch(TMessage& Message) override;
  bool CanAutoSize(Integer& NewWidth, Integer& NewHeight) override;

 private:
  TObjectPtr<TMemoStrings> lines_;
  TAlignment alignment_ = taLeftJustify;
  TScrollStyle scrollBars_ = ssNone;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  bool wordWrap_ = true;
};

class TMemo : public TCustomMemo {
  K58_CLASS(TMemo, TCustomMemo)

  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};

// ---- List boxes ------------------------------------------------------------------------------------
// The items of a list box or combo box. They live in the window when it exists and in the control while
// it does not, so a control fills and reads its items before its window is made (hidden item holders on
// forms never need one). Objects are kept with their items.
class TCustomListControlStrings : public TStrings {
  K58_CLASS(TCustomListControlStrings, TStrings)

  TCustomListControlStrings() = default;

  Integer Count() const override;
  String Get(Integer Index) const override;
  TObject* GetObject(Integer Index) const override;
  void PutObject(Integer Index, TObject* AObject) override;
  Integer Add(const String& S) override;
  void Clear() override;
  void Delete(Integer Index) override;
  void Insert(Integer Index, const String& S) override;
  Integer IndexOf(const String& S) const override;
  Integer CompareStrings(const String& S1, const String& S2) const override;

  // ---- Between the items and the window ----
  // The control's window, or nil while it has none.
  virtual HWND Window() const = 0;
  // Copies the kept items into the new window / the window's items into the control.
  void SaveTo(HWND Wnd);
  void LoadFrom(HWND Wnd);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);

 protected:
  struct Messages {
    UINT GetCount, GetText, GetTextLen, GetItemData, SetItemData, AddString, InsertString, DeleteString,
        ResetContent, FindStringExact;
    LRESULT Err;
  };
  virtual const Messages& Msgs() const = 0;
  void SetUpdateState(bool Updating) override;
  // Called after items changed (the list box keeps its selection, the combo box its text).
  virtual void Changed() {}

 private:
  struct Item {
    String Text;
    TObject* Object = nullptr;
  };
  void CheckIndex(Integer Index, Integer Limit) const;
  std::vector<Item> items_;  // while there is no window
  bool sorted_ = false;
};

class TListBoxStrings : public TCustomListControlStrings {
  K58_CLASS(TListBoxStrings, TCustomListControlStrings)

  explicit TListBoxStrings(TCustomListBox* ListBox) : listBox_(ListBox) {}
  TListBoxStrings() : TListBoxStrings(nullptr) {}
  TCustomListBox* ListBox() const { return listBox_; }
  HWND Window() const override;

 protected:
  const Messages& Msgs() const override;

 private:
  TCustomListBox* listBox_;
};

// A list box over the "LISTBOX" window class: single, multiple (MultiSelect) or extended
// (MultiSelect with ExtendedSelect) selection, sorted, and owner-drawn with fixed or variable rows.
class TCustomListBox : public TWinControl {
  K58_CLASS(TCustomListBox, TWinControl)

  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* Value) { items_->Assign(Value); }
  Integer Count() const { return items_->Count(); }
  // The selected item (single selection) or the focused one (multiple selection); -1 for none.
  Integer ItemIndex();
  void SetItemIndex(Integer Value);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool Value);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool Value);
  // Selection state of an item; with single selection, setting it selects the item (or, false, clears the
  // selection when it was the selected one).
  bool Selected(Integer Index);
  void SetSelected(Integer Index, bool Value);
  // Number of selected items with MultiSelect; -1 with single selection.
  Integer SelCount();
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle Value);
  Integer ItemHeight();
  void SetItemHeight(Integer Value);
  Integer TopIndex();
  void SetTopIndex(Integer Value);
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool Value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle Value);
  Integer Columns() const { return columns_; }
  void SetColumns(Integer Value);
  Integer TabWidth() const { return tabWidth_; }
  void SetTabWidth(Integer Value);
  TCanvas* Canvas() const { return canvas_.get(); }

  // The item under a client point; with no item there, -1 when Existing, else Count.
  Integer ItemAtPos(const TPoint& Pos, bool Existing);
  // The rectangle of an item in client coordinates (one past the last: the row below it).
  TRect ItemRect(Integer Index);
  void Clear();
  void ClearSelection();
  void DeleteSelected();
  void SelectAll();

  const TDrawItemEvent& OnDrawItem() const { return onDrawItem_; }
  void SetOnDrawItem(const TDrawItemEvent& Value) { onDrawItem_ = Value; }
  const TMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
  void SetOnMeasureItem(const TMeasureItemEvent& Value) { onMeasureItem_ = Value; }

  // Owner drawing: DrawItem runs OnDrawItem or draws the item's text; MeasureItem runs OnMeasureItem.
  virtual void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(Integer Index, Integer& Height);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void CNCommand(TWMCommand& Message);
  virtual void CNDrawItem(TWMDrawItem& Message);
  virtual void CNMeasureItem(TWMMeasureItem& Message);

 private:
  friend class TListBoxStrings;
  TObjectPtr<TListBoxStrings> items_;
  TObjectPtr<TControlCanvas> canvas_;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  bool sorted_ = false;
  TListBoxStyle style_ = lbStandard;
  Integer itemHeight_ = 16;
  bool integralHeight_ = false;
  TBorderStyle borderStyle_ = bsSingle;
  Integer columns_ = 0;
  Integer tabWidth_ = 0;
  // Kept while there is no window.
  Integer itemIndex_ = -1;
  Integer topIndex_ = 0;
  std::vector<bool> selected_;
  TDrawItemEvent onDrawItem_;
  TMeasureItemEvent onMeasureItem_;
};

class TListBox : public TCustomListBox {
  K58_CLASS(TListBox, TCustomListBox)

  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ---- Combo boxes -----------------------------------------------------------------------------------
class TComboBoxStrings : public TCustomListControlStrings {
  K58_CLASS(TComboBoxStrings, TCustomListControlStrings)

  explicit TComboBoxStrings(TCustomComboBox* ComboBox) : comboBox_(ComboBox) {}
  TComboBoxStrings() : TComboBoxStrings(nullptr) {}
  TCustomComboBox* ComboBox() const { return comboBox_; }
  HWND Window() const override;

 protected:
  const Messages& Msgs() const override;

 private:
  TCustomComboBox* comboBox_;
};

// A combo box over the "COMBOBOX" window class. Choosing an item (with the mouse or the keys) sets the
// text and fires OnClick and OnSelect (OnChange when OnSelect is not assigned); typing in the edit part
// fires OnChange. The key events of the edit part are the combo box's.
class TCustomComboBox : public TWinControl {
  K58_CLASS(TCustomComboBox, TWinControl)

  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle Value);
  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* Value) { items_->Assign(Value); }
  Integer ItemIndex();
  // Selects the item (its text becomes the combo box's text); -1 clears the selection and the text.
  void SetItemIndex(Integer Value);
  Integer DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(Integer Value) { dropDownCount_ = Value; }
  bool DroppedDown();
  void SetDroppedDown(bool Value);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool Value);
  Integer MaxLength() const { return maxLength_; }
  void SetMaxLength(Integer Value);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase Value);
  Integer ItemHeight();
  void SetItemHeight(Integer Value);
  Integer SelStart();
  void SetSelStart(Integer Value);
  Integer SelLength();
  void SetSelLength(Integer Value);
  String SelText();
  void SetSelText(const String& Value);
  void SelectAll();
  void Clear();
  TCanvas* Canvas() const { return canvas_.get(); }
  // The edit part's window (nil for the list styles or without a window).
  HWND EditHandle() const { return editHandle_; }
  HWND ListHandle() const { return listHandle_; }

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }
  const TNotifyEvent& OnSelect() const { return onSelect_; }
  void SetOnSelect(const TNotifyEvent& Value) { onSelect_ = Value; }
  const TNotifyEvent& OnDropDown() const { return onDropDown_; }
  void SetOnDropDown(const TNotifyEvent& Value) { onDropDown_ = Value; }
  const TNotifyEvent& OnCloseUp() const { return onCloseUp_; }
  void SetOnCloseUp(const TNotifyEvent& Value) { onCloseUp_ = Value; }
  const TDrawItemEvent& OnDrawItem() const { return onDrawItem_; }
  void SetOnDrawItem(const TDrawItemEvent& Value) { onDrawItem_ = Value; }
  const TMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
  void SetOnMeasureItem(const TMeasureItemEvent& Value) { onMeasureItem_ = Value; }

  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(Integer Index, Integer& Height);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;
  // The focus is on the combo box or on its edit part.
  bool Focused();
  virtual void CNCommand(TWMCommand& Message);
  virtual void CNDrawItem(TWMDrawItem& Message);
  virtual void CNMeasureItem(TWMMeasureItem& Message);

  // Messages of the edit part (and the list of a simple combo box), before the window's own procedure.
  virtual void ComboWndProc(TMessage& Message, HWND ComboWnd, WNDPROC ComboProc);

 private:
  friend class TComboBoxStrings;
  static LRESULT CALLBACK PartProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  void HookPart(HWND Part, WNDPROC& Saved);
  void UnhookParts();
  void SetDropHeight();
  bool IsDropDownStyle() const { return style_ == csDropDown || style_ == csSimple; }

  TObjectPtr<TComboBoxStrings> items_;
  TObjectPtr<TControlCanvas> canvas_;
  TComboBoxStyle style_ = csDropDown;
  Integer dropDownCount_ = 8;
  bool sorted_ = false;
  Integer maxLength_ = 0;
  TEditCharCase charCase_ = ecNormal;
  Integer itemHeight_ = 16;
  Integer itemIndex_ = -1;  // kept while there is no window
  bool loadedIndex_ = false;
  HWND editHandle_ = nullptr;
  HWND listHandle_ = nullptr;
  WNDPROC editProc_ = nullptr;
  WNDPROC listProc_ = nullptr;
  bool inSelChange_ = false;
  TNotifyEvent onChange_;
  TNotifyEvent onSelect_;
  TNotifyEvent onDropDown_;
  TNotifyEvent onCloseUp_;
  TDrawItemEvent onDrawItem_;
  TMeasureItemEvent onMeasureItem_;
};

class TComboBox : public TCustomComboBox {
  K58_CLASS(TComboBox, TCustomComboBox)

  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};

// ---- Scroll bars -----------------------------------------------------------------------------------
// A scroll bar control over the "SCROLLBAR" window class. OnScroll sees every scroll code with the
// position it leads to (and may change it); OnChange fires when the position changed.
class TScrollBar : public TWinControl {
  K58_CLASS(TScrollBar, TWinControl)

  explicit TScrollBar(TComponent* AOwner);

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind Value);
  Integer Min() const { return min_; }
  void SetMin(Integer Value) { SetParams(position_, Value, max_); }
  Integer Max() const { return max_; }
  void SetMax(Integer Value) { SetParams(position_, min_, Value); }
  Integer Position() const { return position_; }
  void SetPosition(Integer Value) { SetParams(Value, min_, max_); }
  Integer PageSize() const { return pageSize_; }
  void SetPageSize(Integer Value);
  TScrollBarInc SmallChange() const { return smallChange_; }
  void SetSmallChange(TScrollBarInc Value) { smallChange_ = Value; }
  TScrollBarInc LargeChange() const { return largeChange_; }
  void SetLargeChange(TScrollBarInc Value) { largeChange_ = Value; }
  // Min above Max raises EInvalidOperation "Scrollbar property out of range"; the position is clamped.
  void SetParams(Integer APosition, Integer AMin, Integer AMax);

  const TNotifyEvent& OnChange() const { return onChange_; }
  void SetOnChange(const TNotifyEvent& Value) { onChange_ = Value; }
  const TScrollEvent& OnScroll() const { return onScroll_; }
  void SetOnScroll(const TScrollEvent& Value) { onScroll_ = Value; }

  virtual void Change();
  virtual void Scroll(TScrollCode ScrollCode, Integer& ScrollPos);

  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void CNScroll(TWMScroll& Message);

 private:
  void ApplyToWindow();

  TScrollBarKind kind_ = sbHorizontal;
  Integer min_ = 0;
  Integer max_ = 100;
  Integer position_ = 0;
  Integer pageSize_ = 0;
  TScrollBarInc smallChange_ = 1;
  TScrollBarInc largeChange_ = 1;
  TNotifyEvent onChange_;
  TScrollEvent onScroll_;
};
