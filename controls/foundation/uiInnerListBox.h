// The list box used inside library controls: no border of its own, hosted by a container that it tells
// of its clicks, and incremental search by typed characters that starts afresh after a pause.
#pragma once

#include "controls/foundation/uiContainer.h"
#include "platform/forms/StdCtrls.h"

class TuiCustomInnerListBox : public TListBox, public IuiContainerInnerControl {
  K58_CLASS(TuiCustomInnerListBox, TListBox)

  explicit TuiCustomInnerListBox(TComponent* AOwner);

  // Milliseconds after which the next typed character starts a new search (500).
  Cardinal AutoCompleteDelay() const { return autoCompleteDelay_; }
  void SetAutoCompleteDelay(Cardinal Value) { autoCompleteDelay_ = Value; }
  // Whether typed characters search the items.
  bool AutoComplete() const { return autoComplete_; }
  void SetAutoComplete(bool Value) { autoComplete_ = Value; }
  const String& SearchText() const { return searchText_; }
  TuiContainer* Container() const { return container_; }
  void SetContainer(TuiContainer* Value) { container_ = Value; }

  // IuiContainerInnerControl
  TuiContainer* GetControlContainer() override { return container_; }

  // Adds a typed character to the search text (Backspace removes a whole character) and selects the
  // first item starting with it; consumes the key except Backspace, Enter and Esc.
  virtual void DoAutoComplete(char& Key);

 protected:
  void KeyPress(char& Key) override;

 private:
  Cardinal autoCompleteDelay_ = 500;
  bool autoComplete_ = true;
  String searchText_;
  DWORD lastKeyTime_ = 0;
  bool searched_ = false;
  TuiContainer* container_ = nullptr;
};
