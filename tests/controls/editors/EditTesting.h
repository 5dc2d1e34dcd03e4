// Test helpers of the editor base: a fixture that runs the foundation's and the editors' units on the
// pinned test display, properties classes that stand for editor kinds, a provider with settable answers,
// and a minimal editor with an inner window and an event log.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/editors/uiEdit.h"
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
