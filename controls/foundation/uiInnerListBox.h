// The list box used inside library controls: no border of its own, its native scroll bars covered by two
// look-and-feel bars placed on its parent, mouse, key, drag and focus events passed on to its container,
// and incremental search by typed characters that starts afresh after a pause.
#pragma once

#include "controls/foundation/uiContainer.h"
#include "platform/forms/StdCtrls.h"

class TuiCustomInnerListBox : public TListBox, public IuiContainerInnerControl {
  K58_CLASS(TuiCustomInnerListBox, TListBox)

  explicit TuiCustomInnerListBox(TComponent* AOwner);
  ~TuiCustomInnerListBox() override;

  // Milliseconds after which the next typed character starts a new search (500).
  Cardinal AutoCompleteDelay() const { return autoCompleteDelay_; }
  void SetAutoCompleteDelay(Cardinal Value) { autoCompleteDelay_ = Value; }
  // Whether typed characters search the items.
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool Value) { autoComplete_ = Value; }
  const String& SearchText() const { return searchText_; }
  TuiContainer* Container() const { return container_; }
  void SetContainer(TuiContainer* Value) { container_ = Value; }
  TuiLookAndFeel* LookAndFeel() const { return lookAndFeel_.get(); }
  TuiScrollBar* HScrollBar() const { return hScrollBar_; }
  TuiScrollBar* VScrollBar() const { return vScrollBar_; }
  TuiCanvas* InnerCanvas() const { return innerCanvas_.get(); }

  // IuiContainerInnerControl
  TuiContainer* GetControlContainer() override { return container_; }
  TWinControl* GetControl() { return this; }

  // The square between the two visible bars, relative to the list box's window rectangle; else empty.
  void GetSizeGripRect(TRect& R);

  // Adds a typed character to the search text (Backspace removes a whole character) and selects the
  // first item starting with it; consumes the key except Backspace, Enter and Esc.
  virtual void DoAutoComplete(char& Key);
  virtual void LookAndFeelChanged();
  // Whether the focused item gets the focus rectangle: not when items are drawn by OnDrawItem.
  virtual bool CanDrawFocusRect() { return !OnDrawItem(); }
  // Puts the look-and-feel bars over the native ones and copies their ranges.
  virtual void UpdateScrollBars();
  // Stops bar updates while positive.
  void LockScrollBarsUpdate(bool ALock);

 protected:
  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  void MouseMove(TShiftState Shift, Integer X, Integer Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) override;
  bool DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) override;
  void DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, Integer X, Integer Y) override;
  void DoContextPopup(TPoint MousePos, bool& Handled) override;
  void Click() override;
  void DblClick() override;
  void MouseLeave() override;
  void CNDrawItem(TWMDrawItem& Message) override;

 private:
  TuiScrollBar* NewBar(TScrollBarKind AKind);
  void UpdateBar(TuiScrollBar* ABar);
  void HScrollBarScroll(TObject* Sender, TScrollCode ACode, Integer& APos);
  void VScrollBarScroll(TObject* Sender, TScrollCode ACode, Integer& APos);
  void HandleLeftButtonDown(TMessage& Message);
  void PaintSizeGrip();

  Cardinal autoCompleteDelay_ = 500;
  bool autoComplete_ = true;
  String searchText_;
  std::unique_ptr<TuiCanvas> innerCanvas_;
  TuiScrollBar* hScrollBar_ = nullptr;
  TObjectPtr<TuiLookAndFeel> lookAndFeel_;
  DWORD lastKeyTime_ = 0;
  bool searched_ = false;
  bool updatingScrollBars_ = false;
  Integer scrollBarsLock_ = 0;
  TuiScrollBar* vScrollBar_ = nullptr;
  TuiContainer* container_ = nullptr;
};
