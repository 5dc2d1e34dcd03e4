// Test helpers of the editor base: a fixture that runs the foundation's and the editors' units on the
// pinned test display, properties classes that stand for editor kinds, a provider with settable answers,
// and a minimal editor with an inner window and an event log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/editors/uiEdit.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/testing/TestDisplay.h"
#include "tests/controls/foundation/FoundationTesting.h"

namespace editors_test {

// The units run for the lifetime of the fixture.
class EditUnitsTest : public ::testing::Test {
 protected:
  k58::winui::TestDisplay Display;
  EditUnitsTest() { k58::editors::StartUnits(); }
  ~EditUnitsTest() override { k58::editors::StopUnits(); }
};

// A provider whose answers a test sets.
class TTestValuesProvider : public TuiCustomEditDefaultValuesProvider {
 public:
  TAlignment Alignment = taLeftJustify;
  bool ReadOnly = false;
  bool CanModify = true;
  TAlignment DefaultAlignment() override { return Alignment; }
  bool DefaultReadOnly() override { return ReadOnly; }
  bool DefaultCanModify() override { return CanModify; }
};

}  // namespace editors_test

// Properties of three editor kinds, for the registry and the repository.
class TTestTextProperties : public TuiCustomEditProperties {
  K58_CLASS(TTestTextProperties, TuiCustomEditProperties)
 public:
  TTestTextProperties() = default;
  bool CanValidate() override { return true; }
  bool CanRevertValue() override { return true; }
  bool IsValueChangeTrackedByStore() override { return TrackByStore; }
  bool TrackByStore = true;
};

class TTestComboProperties : public TTestTextProperties {
  K58_CLASS(TTestComboProperties, TTestTextProperties)
 public:
  TTestComboProperties() = default;
};

class TTestCurrencyProperties : public TuiCustomEditProperties {
  K58_CLASS(TTestCurrencyProperties, TuiCustomEditProperties)
 public:
  TTestCurrencyProperties() = default;
};

// Repository items of the text and currency kinds.
class TTestTextRepositoryItem : public TuiEditRepositoryItem {
  K58_CLASS(TTestTextRepositoryItem, TuiEditRepositoryItem)
 public:
  explicit TTestTextRepositoryItem(TComponent* AOwner) : TuiEditRepositoryItem(AOwner) { RecreateProperties(); }
  TClass GetPropertiesClass() const override { return TTestTextProperties::StaticClass(); }
};

class TTestCurrencyRepositoryItem : public TuiEditRepositoryItem {
  K58_CLASS(TTestCurrencyRepositoryItem, TuiEditRepositoryItem)
 public:
  explicit TTestCurrencyRepositoryItem(TComponent* AOwner) : TuiEditRepositoryItem(AOwner) { RecreateProperties(); }
  TClass GetPropertiesClass() const override { return TTestCurrencyProperties::StaticClass(); }
};

class TTestEdit;

// The inner window of the test editor: a plain edit that offers its keys to the editor first and logs
// what reaches it.
class TTestInnerEdit : public TEdit, public IuiCustomInnerEdit {
 public:
  explicit TTestInnerEdit(TTestEdit* AEdit);
  TWinControl* GetControl() override { return this; }
  TuiContainer* GetControlContainer() override;
  void SafelySetFocus() override { SetFocus(); }
  void SetEditValue(const Variant& Value) override { SetText(VarToStr(Value)); }
  void SetParent(TWinControl* Value) override { TEdit::SetParent(Value); }
  void SetOnChange(const TNotifyEvent& Value) override { TEdit::SetOnChange(Value); }
  void SetReadOnly(bool Value) override { TEdit::SetReadOnly(Value); }

  std::vector<int> CharsReceived;

 protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void WndProc(TMessage& Message) override;

 private:
  TTestEdit* edit_;
};

// A text-like editor over the inner edit: the display text is the inner window's text, validating it
// makes it the edit value.
class TTestEdit : public TuiCustomEdit {
  K58_CLASS(TTestEdit, TuiCustomEdit)
 public:
  explicit TTestEdit(TComponent* AOwner) : TuiCustomEdit(AOwner) {}
  TClass GetPropertiesClass() const override;
  TTestTextProperties* TextProperties() const;
  TTestInnerEdit* Inner() const { return static_cast<TTestInnerEdit*>(InnerEdit()); }

  bool HasInnerEditClass() override { return true; }
  IuiCustomInnerEdit* CreateInnerEdit() override { return new TTestInnerEdit(this); }
  void GetDisplayText(String& AText) override { AText = Inner() != nullptr ? Inner()->Text() : String(); }
  void SynchronizeDisplayValue() override;
  void SetInternalDisplayValue(const Variant& AValue) override { InternalSetEditValue(AValue); }
  void AssignDisplayValue(const Variant& AValue) override;
  void SelectAll() override {
    ++SelectAllCount;
    if (Inner() != nullptr && Inner()->HandleAllocated()) Inner()->SelectAll();
  }
  bool ShowsInnerEdit() override { return true; }
  void ContentChanged(TObject* Sender) override {
    if (!syncing_) TuiCustomEdit::ContentChanged(Sender);
  }

  using TuiCustomEdit::KeyDown;
  using TuiCustomEdit::KeyPress;
  using TuiCustomEdit::KeyUp;

  int SelectAllCount = 0;

 private:
  bool syncing_ = false;
};
