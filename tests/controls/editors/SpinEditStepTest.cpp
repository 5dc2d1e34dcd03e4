// The spin editor's arithmetic without a window: steps at and beyond the limits in the three limit modes,
// wrapping with any step size, rounding to integers against the processor's rounding, the reading of
// texts in both locales, and how the value type is chosen.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "controls/editors/uiSpinEdit.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/EditTesting.h"

using namespace k58::editors;

namespace {

TEST(SpinEditStepTest, IntegerStepsInTheThreeLimitModes) {
  struct Case {
    Integer mode;
    Int64 cur, step, min, max;
    bool ok;
    Int64 result;
  };
  const Case cases[] = {
      {slmNone, 5, 1, 0, 10, true, 6},
      {slmNone, 10, 1, 0, 10, false, 0},      // at the limit, no mode: refused
      {slmNone, 0, -1, 0, 10, false, 0},
      {slmClamp, 9, 5, 0, 10, true, 10},      // stops at the limit
      {slmClamp, 2, -5, 0, 10, true, 0},
      {slmClamp, 10, -10, 1, 10, true, 1},    // 1..10 at 10, Page Down: 0 is below, so 1
      {slmWrap, 8, 3, 0, 9, true, 1},         // 9, 0, 1 follow 8
      {slmWrap, 9, 1, 0, 9, true, 0},
      {slmWrap, 0, -1, 0, 9, true, 9},
      {slmWrap, 8, 25, 0, 9, true, 3},        // a step longer than the range still lands inside
      {slmWrap, 1, -25, 0, 9, true, 6},
      {slmWrap, 3, 1, 3, 3, true, 3},         // a range of one value
      {slmClamp, LLONG_MAX - 1, 5, LLONG_MIN, LLONG_MAX, true, LLONG_MAX},
      {slmClamp, LLONG_MIN, -1, LLONG_MIN, LLONG_MAX, true, LLONG_MIN},
      {slmWrap, LLONG_MAX, 1, LLONG_MIN, LLONG_MAX, true, LLONG_MIN},
      {slmNone, -5, LLONG_MAX, -10, LLONG_MAX, true, LLONG_MAX - 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ": " << c.cur << " + " << c.step << " in " << c.min
                                    << ".." << c.max);
    Int64 result = -77;
    EXPECT_EQ(SpinAddStepInt(c.cur, c.step, c.min, c.max, c.mode, result), c.ok);
    if (c.ok) { EXPECT_EQ(result, c.result); }
  }
}

TEST(SpinEditStepTest, FloatStepsWrapWithThePeriodOfTheRange) {
  struct Case {
    Integer mode;
    double cur, step, min, max;
    bool ok;
    double result;
  };
  const Case cases[] = {
      {slmNone, 0.5, 0.25, 0, 1, true, 0.75},
      {slmNone, 0.95, 0.1, 0, 1, false, 0},
      {slmClamp, 0.95, 0.1, 0, 1, true, 1},
      {slmClamp, 0.05, -0.1, 0, 1, true, 0},
      {slmWrap, 0.95, 0.1, 0, 1, true, 0.05},   // not -0.95: the result stays in the range
      {slmWrap, 0.05, -0.1, 0, 1, true, 0.95},
      {slmWrap, 2.0, 7.5, 0, 3, true, 0.5},
      {slmClamp, 1.7e308, 1e308, -1.7e308, 1.7e308, true, 1.7e308},
      {slmClamp, -1.7e308, -1e308, -1.7e308, 1.7e308, true, -1.7e308},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ": " << c.cur << " + " << c.step);
    double result = -77;
    EXPECT_EQ(SpinAddStepFloat(c.cur, c.step, c.min, c.max, c.mode, result), c.ok);
    if (c.ok) {
      EXPECT_NEAR(result, c.result, 1e-9 * std::max(1.0, std::fabs(c.result)));
      EXPECT_GE(result, c.min);
      EXPECT_LE(result, c.max);
    }
  }
}

TEST(SpinEditStepTest, RoundingToIntegersFollowsTheProcessorAndSaturates) {
  for (const double x : {2.5, 3.5, -2.5, -0.5, 0.5, 1.4999999, 1.5000001, -7.5, 1e15 + 0.5, 4503599627370497.0,
                         -9.2e18, 9.2e18}) {
    SCOPED_TRACE(x);
    EXPECT_EQ(RoundToInt64(x), static_cast<Int64>(std::nearbyint(x)));
    const Variant v = TuiCustomSpinEditProperties::RoundToValueType(vtInt, x);
    EXPECT_EQ(VarType(v), varInt64);
    EXPECT_EQ(v.AsInt64(), static_cast<Int64>(std::nearbyint(x)));
  }
  // Out of the Int64 range: the nearest extreme, never the smallest value for a large one.
  EXPECT_EQ(RoundToInt64(1e19), LLONG_MAX);
  EXPECT_EQ(RoundToInt64(9223372036854775808.0), LLONG_MAX);
  EXPECT_EQ(RoundToInt64(-1e19), LLONG_MIN);
  EXPECT_EQ(RoundToInt64(INFINITY), LLONG_MAX);
  EXPECT_EQ(RoundToInt64(NAN), 0);
  EXPECT_EQ(TuiCustomSpinEditProperties::RoundToValueType(vtFloat, 2.5).AsDouble(), 2.5);
}

class SpinEditPropertiesTest : public editors_test::EditUnitsTest {
 protected:
  // Properties made as the editors make theirs, with the spin editor's assigned-value flags.
  static TObjectPtr<TuiSpinEditProperties> NewProperties() {
    return TObjectPtr<TuiSpinEditProperties>(static_cast<TuiSpinEditProperties*>(
        TuiCustomEditProperties::CreateOfClass(TuiSpinEditProperties::StaticClass(), nullptr)));
  }
};

TEST_F(SpinEditPropertiesTest, TextsReadInTheValueTypeAndTheLocale) {
  struct Case {
    char decimal;
    TuiSpinEditValueType type;
    const char* text;
    bool ok;
    double value;
  };
  const Case cases[] = {
      {'.', vtFloat, "2.5", true, 2.5},         {',', vtFloat, "2,5", true, 2.5},
      {',', vtFloat, "2.5", false, 0},          {'.', vtFloat, "-1.7e308", true, -1.7e308},
      {'.', vtFloat, "1.8e308", false, 0},      {'.', vtFloat, "1e309", false, 0},
      {'.', vtFloat, "abc", false, 0},          {'.', vtFloat, "", false, 0},
      {'.', vtInt, "12", true, 12},             {'.', vtInt, "-12", true, -12},
      {'.', vtInt, "2.5", false, 0},            {'.', vtInt, "1e3", false, 0},
      {'.', vtInt, "9223372036854775807", true, 9223372036854775807.0},
      {'.', vtInt, "9223372036854775808", false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.decimal << " " << c.text << (c.type == vtInt ? " int" : " float"));
    TFormatSettingsGuard guard(c.decimal == ',' ? CommaDecimalSettings() : InvariantFormatSettings());
    TObjectPtr<TuiSpinEditProperties> made = NewProperties();
    TuiSpinEditProperties& properties = *made;
    properties.SetValueType(c.type);
    Variant value;
    ASSERT_EQ(properties.TextToValue(c.text, value), c.ok);
    if (!c.ok) continue;
    EXPECT_EQ(VarType(value), c.type == vtInt ? varInt64 : varDouble);
    if (c.type == vtInt)
      EXPECT_EQ(static_cast<double>(value.AsInt64()), c.value);
    else
      EXPECT_DOUBLE_EQ(value.AsDouble(), c.value);
  }
}

// A provider bound to a field whose kind a test chooses.
class TFieldProvider : public TuiCustomEditDefaultValuesProvider {
 public:
  bool DataAware = true;
  bool Float = false;
  bool IsDataAware() override { return DataAware; }
  bool DefaultIsFloatValue() override { return Float; }
};

TEST_F(SpinEditPropertiesTest, UnassignedValueTypeIsFloatUnlessADataAwareFieldSaysOtherwise) {
  TFieldProvider provider;
  TObjectPtr<TuiSpinEditProperties> made = NewProperties();
  TuiSpinEditProperties& properties = *made;
  EXPECT_EQ(properties.ValueType(), vtFloat) << "standalone";
  properties.SetDefaultValuesProvider(&provider);
  EXPECT_EQ(properties.ValueType(), vtInt) << "an integer field";
  provider.Float = true;
  EXPECT_EQ(properties.ValueType(), vtFloat) << "a float field";
  provider.DataAware = false;
  provider.Float = false;
  EXPECT_EQ(properties.ValueType(), vtFloat) << "a provider with no data counts as none";
  properties.SetValueType(vtInt);
  provider.DataAware = true;
  provider.Float = true;
  EXPECT_EQ(properties.ValueType(), vtInt) << "assigned wins";
  EXPECT_TRUE(properties.IsValueTypeStored());
  properties.AssignedValues()->RestoreDefaults();
  EXPECT_FALSE(properties.IsValueTypeStored());
  properties.SetDefaultValuesProvider(nullptr);
}

TEST_F(SpinEditPropertiesTest, FastButtonsComeAndGoAndAssignCopiesTheSpinSettings) {
  TObjectPtr<TuiSpinEditProperties> made = NewProperties(), sourceMade = NewProperties(), plainMade = NewProperties();
  TuiSpinEditProperties& properties = *made;
  EXPECT_EQ(properties.Buttons()->Count(), 2);
  properties.SpinButtons()->SetShowFastButtons(true);
  EXPECT_EQ(properties.Buttons()->Count(), 4);
  properties.SpinButtons()->SetShowFastButtons(false);
  EXPECT_EQ(properties.Buttons()->Count(), 2);

  TuiSpinEditProperties& source = *sourceMade;
  source.SetValueType(vtInt);
  source.SetIncrement(0.5);
  source.SetLargeIncrement(5);
  source.SetCircular(true);
  source.SetCanEdit(false);
  source.SetUseCtrlIncrement(true);
  source.SetExceptionOnInvalidInput(true);
  source.SetMaxValue(9);
  source.SpinButtons()->SetPosition(sbpHorzRight);
  source.SpinButtons()->SetShowFastButtons(true);
  properties.Assign(&source);
  EXPECT_EQ(properties.ValueType(), vtInt);
  EXPECT_TRUE(properties.IsValueTypeStored());
  EXPECT_EQ(properties.Increment(), 0.5);
  EXPECT_EQ(properties.LargeIncrement(), 5);
  EXPECT_TRUE(properties.Circular());
  EXPECT_FALSE(properties.CanEdit());
  EXPECT_TRUE(properties.UseCtrlIncrement());
  EXPECT_TRUE(properties.ExceptionOnInvalidInput());
  EXPECT_TRUE(properties.IsMaxValueInForce());
  EXPECT_EQ(properties.SpinButtons()->Position(), sbpHorzRight);
  EXPECT_EQ(properties.Buttons()->Count(), 4);
  EXPECT_EQ(properties.GetLimitMode(), slmWrap);

  properties.Assign(plainMade.get());
  EXPECT_FALSE(properties.IsValueTypeStored()) << "an unassigned type stays unassigned";
  EXPECT_EQ(properties.Buttons()->Count(), 2);
  EXPECT_EQ(properties.GetLimitMode(), slmClamp);
}

TEST_F(SpinEditPropertiesTest, LimitsOfTheTypeRoundAndSaturateForIntegers) {
  TObjectPtr<TuiSpinEditProperties> made = NewProperties();
  TuiSpinEditProperties& properties = *made;
  Variant lowest, highest;
  properties.GetMinValueOfType(lowest);
  properties.GetMaxValueOfType(highest);
  EXPECT_EQ(lowest.AsDouble(), -1.7e308);
  EXPECT_EQ(highest.AsDouble(), 1.7e308);
  properties.SetValueType(vtInt);
  properties.GetMinValueOfType(lowest);
  properties.GetMaxValueOfType(highest);
  EXPECT_EQ(lowest.AsInt64(), LLONG_MIN);
  EXPECT_EQ(highest.AsInt64(), LLONG_MAX);
  properties.SetMinValue(0.5);   // ties to even: 0
  properties.SetMaxValue(1e19);  // beyond Int64: its largest value, not its smallest
  properties.GetMinValueOfType(lowest);
  properties.GetMaxValueOfType(highest);
  EXPECT_EQ(lowest.AsInt64(), 0);
  EXPECT_EQ(highest.AsInt64(), LLONG_MAX);
}

}  // namespace
