// The combo box: the drop-down editor with a list of text items under its text field. Its Properties (list
// style mapped to the text modes, rows, item height, owner drawing), the control (OnClick only when the
// current item changes, the Revertable double click, the mouse carried from the editor into the list), its
// popup window sized from the list and the user's resizing, the list box, and its lookup data: the
// preferred size of the popup list (up to DropDownRows rows, as wide as the widest item) and the snapping
// of a list the user resizes to whole items.
//
// Threads: GUI thread only. The list is the lookup data's popup list (see uiLookupData.h), made on the first
// drop-down; without one the preferred size is empty and every resize is accepted unchanged.
#pragma once

#include <functional>

#include "controls/editors/uiDropDownEdit.h"
#include "controls/editors/uiEditPopupWindow.h"
#include "controls/editors/uiLookupData.h"

class TuiCustomComboBox;

enum TuiEditDropDownListStyle { lsEditFixedList, lsEditList, lsFixedList };
K58_ENUM_TYPE(TuiEditDropDownListStyle, lsEditFixedList, lsEditList, lsFixedList)

K58_EVENT_TYPE(TuiEditDrawItemEvent, void(TuiCustomComboBox* AControl, TuiCanvas* ACanvas, Integer AIndex,
                                          const TRect& ARect, TOwnerDrawState AState))
// Streamed as TMeasureItemEvent; the list box's event of that name has other parameters.
K58_EVENT_TYPE(TuiEditMeasureItemEvent,
               void(TuiCustomComboBox* AControl, Integer AIndex, TuiCanvas* ACanvas, Integer& AHeight))

namespace uicomboboxconsts {
inline constexpr const char* scxComboBoxDescription = "ComboBox|Represents the combo box editor";
}

namespace k58::editors {

// What the snapping of a resized list reads of the list.
struct TuiListSnapMetrics {
  Integer ItemCount = 0;
  std::function<Integer(Integer)> ItemHeight;
  // The list's size now and its horizontal scroll width.
  Integer Width = 0;
  Integer Height = 0;
  Integer ScrollWidth = 0;
  // The scroll bar sizes (vertical bar width, horizontal bar height).
  Integer VScrollWidth = 0;
  Integer HScrollHeight = 0;
};

// Snaps ANewSize to whole items: the height grows only when a whole further item fits, shrinks only when a
// whole item no longer fits, and never passes AMaxHeight (0: no limit); the width keeps room for the
// scroll bars the height needs. Nothing changes when ANewSize is the list's size.
void SnapListSizeToItems(TSize& ANewSize, Integer AMaxHeight, const TuiListSnapMetrics& AList);

}  // namespace k58::editors

class TuiCustomComboBoxProperties : public TuiCustomDropDownEditProperties {
  K58_CLASS(TuiCustomComboBoxProperties, TuiCustomDropDownEditProperties)

  TuiCustomComboBoxProperties();
  void Assign(TPersistent* Source) override;

  TuiEditDropDownListStyle DropDownListStyle() const { return dropDownListStyle_; }
  void SetDropDownListStyle(TuiEditDropDownListStyle Value);
  // Values below 1 are ignored.
  Integer DropDownRows() const { return dropDownRows_; }
  void SetDropDownRows(Integer Value);
  // 0: the list font's height.
  Integer ItemHeight() const { return itemHeight_; }
  void SetItemHeight(Integer Value);
  bool Revertable() const { return revertable_; }
  void SetRevertable(bool Value) { revertable_ = Value; }
  const TuiEditDrawItemEvent& OnDrawItem() const { return onDrawItem_; }
  void SetOnDrawItem(const TuiEditDrawItemEvent& Value) { onDrawItem_ = Value; }
  const TuiEditMeasureItemEvent& OnMeasureItem() const { return onMeasureItem_; }
  void SetOnMeasureItem(const TuiEditMeasureItemEvent& Value) { onMeasureItem_ = Value; }

  // Inherited settings under the combo box's names.
  TStrings* Items() const { return LookupItems(); }
  void SetItems(TStrings* Value) { SetLookupItems(Value); }
  bool Sorted() const { return LookupItemsSorted(); }
  void SetSorted(bool Value) { SetLookupItemsSorted(Value); }
  bool DropDownAutoWidth() const { return PopupAutoSize(); }
  void SetDropDownAutoWidth(bool Value) { SetPopupAutoSize(Value); }
  bool DropDownSizeable() const { return PopupSizeable(); }
  void SetDropDownSizeable(bool Value) { SetPopupSizeable(Value); }
  Integer DropDownWidth() const { return PopupWidth(); }
  void SetDropDownWidth(Integer Value) { SetPopupWidth(Value); }

  TClass GetViewDataClass() const override;
  TClass GetEditClass() const override;
  TClass GetViewInfoClass() const override;
  Integer GetLookupRowCount() override { return dropDownRows_; }
  Byte GetTextMode() override;
  TClass GetLookupDataClass() const override;
  bool OpensPopupOnClick() override { return dropDownListStyle_ == lsFixedList; }
  TClass GetPopupWindowClass() const override;

 private:
  TuiEditDropDownListStyle dropDownListStyle_ = lsEditList;
  Integer dropDownRows_ = 8;
  Integer itemHeight_ = 0;
  bool revertable_ = false;
  TuiEditDrawItemEvent onDrawItem_;
  TuiEditMeasureItemEvent onMeasureItem_;
};

class TuiComboBoxProperties : public TuiCustomComboBoxProperties {
  K58_CLASS(TuiComboBoxProperties, TuiCustomComboBoxProperties)
};

class TuiCustomComboBoxInnerEdit : public TuiCustomDropDownInnerEdit {
  K58_CLASS(TuiCustomComboBoxInnerEdit, TuiCustomDropDownInnerEdit)

  explicit TuiCustomComboBoxInnerEdit(TComponent* AOwner) : TuiCustomDropDownInnerEdit(AOwner) {}

 protected:
  void WndProc(TMessage& Message) override;
};

class TuiCustomComboBox : public TuiCustomDropDownEdit {
  K58_CLASS(TuiCustomComboBox, TuiCustomDropDownEdit)

  explicit TuiCustomComboBox(TComponent* AOwner) : TuiCustomDropDownEdit(AOwner) {}

  TuiCustomComboBoxProperties* ActiveProperties() {
    return static_cast<TuiCustomComboBoxProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomComboBoxProperties* Properties() const {
    return static_cast<TuiCustomComboBoxProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiCustomComboBoxProperties* Value) { TuiCustomEdit::SetProperties(Value); }

  // Both the own and (with a repository item) the active Properties' handlers are called.
  void DoDrawItem(TuiCanvas* ACanvas, Integer AIndex, const TRect& ARect, TOwnerDrawState AState);
  void DoMeasureItem(Integer AIndex, TuiCanvas* ACanvas, Integer& AHeight);
  bool IsOwnerDrawItems();
  bool IsVariableItemHeight();
  // The current item follows the text.
  void SynchronizeItemWithText();
  // Forgets the popup height remembered from the user's sizing, so the next layout fits the list again.
  void ResetPopupHeight();
  TuiCustomTextEditLookupData* GetLookupDataObject() const { return LookupData(); }

  void ContentChanged(TObject* Sender) override;
  IuiCustomInnerEdit* CreateInnerEdit() override;
  void Initialize() override;
  void Activate(TuiCustomEditData*& AEditData) override;
  TClass GetPropertiesClass() const override;
  bool CanDropDown() override;
  void CalculatePopupContentSize(TSize& ASize) override;
  void SetupPopupWindow() override;
  void PopupWindowShowed(TObject* Sender) override;
  void DblClick() override;
  void SetLookupOwnerKeyFromLookup(bool Value) override {
    keyFromLookup_ = Value;
    TuiCustomDropDownEdit::SetLookupOwnerKeyFromLookup(Value);
  }

 protected:
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void WndProc(TMessage& Message) override;

 private:
  // The lookup data is moving the value (the current item need not follow the text then).
  bool keyFromLookup_ = false;
};

class TuiComboBox : public TuiCustomComboBox {
  K58_CLASS(TuiComboBox, TuiCustomComboBox)

  explicit TuiComboBox(TComponent* AOwner) : TuiCustomComboBox(AOwner) {}
  TClass GetPropertiesClass() const override;
  TuiComboBoxProperties* ActiveProperties() {
    return static_cast<TuiComboBoxProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiComboBoxProperties* Properties() const { return static_cast<TuiComboBoxProperties*>(TuiCustomEdit::Properties()); }
  void SetProperties(TuiComboBoxProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TImeName ImeNameValue() const { return ImeName(); }
};

class TuiCustomComboBoxListBox : public TuiCustomEditListBox {
  K58_CLASS(TuiCustomComboBoxListBox, TuiCustomEditListBox)

  explicit TuiCustomComboBoxListBox(TComponent* AOwner);

  // The combo box the list belongs to (nil without one).
  TuiCustomComboBox* ComboBox() const;
  bool DrawItemByOwner(Integer AIndex, const TRect& ARect, TOwnerDrawState AState) override;
  void GetItemText(Integer AIndex, String& AText) override;
  void UpdateItemMetrics() override { RecreateListWindow(); }
  Integer GetHeightForRows(Integer ARowCount) override;

 protected:
  void MeasureItem(Integer Index, Integer& Height) override { Height = GetItemHeight(Index); }
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;

  // Set while hot tracking moves the selection.
  bool tracking_ = false;
};

class TuiComboBoxListBox : public TuiCustomComboBoxListBox {
  K58_CLASS(TuiComboBoxListBox, TuiCustomComboBoxListBox)

  explicit TuiComboBoxListBox(TComponent* AOwner) : TuiCustomComboBoxListBox(AOwner) {}

  // The combo box then ignores the list's next mouse move.
  void SetItemIndex(Integer Value) override;
  void UpdateItemMetrics() override;
  // ItemHeight (or the font's "Wg"), then OnMeasureItem for variable heights.
  Integer GetItemHeight(Integer AIndex) override;

 protected:
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void Resize() override;
  void WndProc(TMessage& Message) override;
};

class TuiCustomComboBoxViewData : public TuiCustomDropDownEditViewData {
  K58_CLASS(TuiCustomComboBoxViewData, TuiCustomDropDownEditViewData)

  TuiCustomComboBoxViewData() = default;

  void Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton, TShiftState AShift,
                 TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
  void EditValueToDrawValue(TuiCanvas* ACanvas, const Variant& AEditValue, TuiCustomEditViewInfo* AViewInfo) override;
  bool IsComboBoxStyle() override { return true; }
};

class TuiCustomComboBoxViewInfo : public TuiCustomTextEditViewInfo {
  K58_CLASS(TuiCustomComboBoxViewInfo, TuiCustomTextEditViewInfo)

  TuiCustomComboBoxViewInfo();

  // Draws the current item in the text area through the owner-draw handlers.
  virtual void DrawItemInEditArea(TuiCanvas* ACanvas, TRect& ARect);

  TuiCustomComboBox* ComboBox = nullptr;
  Integer ItemIndex = -1;
};

class TuiComboBoxLookupData : public TuiCustomTextEditLookupData {
  K58_CLASS(TuiComboBoxLookupData, TuiCustomTextEditLookupData)

  TuiComboBoxLookupData() = default;

  TClass GetListBoxClass() const override;
  // The list follows the editor's popup look-and-feel.
  void Initialize(TWinControl* AVisualControlsParent) override;

  // Always True; ANewSize is snapped to whole items.
  bool CanResizeVisualArea(TSize& ANewSize, Integer AMaxHeight, Integer AMaxWidth) override;
  // Rows: the item count up to the drop-down row count; width: the widest item plus 4, plus a vertical
  // scroll bar when not every item shows, and a horizontal one's height when wider than AWidth (> 0).
  TSize GetVisualAreaPreferredSize(Integer AMaxHeight, Integer AWidth) override;
};

class TuiComboBoxPopupWindow : public TuiCustomEditPopupWindow {
  K58_CLASS(TuiComboBoxPopupWindow, TuiCustomEditPopupWindow)

  explicit TuiComboBoxPopupWindow(TComponent* AOwnerControl = nullptr) : TuiCustomEditPopupWindow(AOwnerControl) {}

  // Wraps the list (at least as wide as the editor) unless a size was asked for or the user gave one.
  void FitToContent() override;
};
