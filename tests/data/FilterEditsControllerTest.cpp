// The registry of filter edit helpers and the spin editor, progress bar and track bar helpers: pairs kept
// under the registered class's parent and found for every descendant of it, the unit's counted life, the
// settings each helper gives the filter editor, and a value through that editor and back.
#include <gtest/gtest.h>

#include <functional>

#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiSpinEdit.h"
#include "controls/extra/uiProgressBar.h"
#include "controls/extra/uiTrackBar.h"
#include "data/uiFilterBarHelpers.h"
#include "data/uiFilterControlUtils.h"
#include "platform/classes/ClassBuilder.h"

// A stand-in helper class.
class TTestBarHelper : public TObject {
  K58_CLASS(TTestBarHelper, TObject)
};
K58_IMPLEMENT_CLASS(TTestBarHelper) {}

// A descendant of the custom properties, as another bar kind would have.
class TTestOtherBarProperties : public TuiCustomProgressBarProperties {
  K58_CLASS(TTestOtherBarProperties, TuiCustomProgressBarProperties)
 public:
  TTestOtherBarProperties() = default;
};
K58_IMPLEMENT_CLASS(TTestOtherBarProperties) {}

// A thin published class over it, registered for its own helper.
class TTestPublishedBarProperties : public TTestOtherBarProperties {
  K58_CLASS(TTestPublishedBarProperties, TTestOtherBarProperties)
 public:
  TTestPublishedBarProperties() = default;
};
K58_IMPLEMENT_CLASS(TTestPublishedBarProperties) {}

namespace {

class FilterUnitTest : public ::testing::Test {
 protected:
  void SetUp() override { k58::data::StartFilterControlUnit(); }
  void TearDown() override { k58::data::StopFilterControlUnit(); }
};

TEST_F(FilterUnitTest, EachEditorKindFindsItsNearestRegisteredHelper) {
  TuiFilterEditsController* controller = GetFilterEditsController();
  ASSERT_NE(controller, nullptr);
  struct Case {
    TClass properties;
    TClass helper;
  };
  const Case cases[] = {
      {TuiSpinEditProperties::StaticClass(), TuiFilterSpinEditHelper::StaticClass()},
      {TuiCustomSpinEditProperties::StaticClass(), TuiFilterSpinEditHelper::StaticClass()},
      {TuiProgressBarProperties::StaticClass(), TuiFilterProgressBarHelper::StaticClass()},
      {TTestOtherBarProperties::StaticClass(), TuiFilterProgressBarHelper::StaticClass()},
      {TuiCustomTrackBarProperties::StaticClass(), TuiFilterTrackBarHelper::StaticClass()},
      {TuiTrackBarProperties::StaticClass(), TuiFilterTrackBarHelper::StaticClass()},
      {TuiCustomEditProperties::StaticClass(), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.properties->Name());
    EXPECT_EQ(controller->FindHelper(c.properties), c.helper);
  }

  // A more derived registration wins for its own subtree only, and leaves again without taking the bar's.
  controller->Register(TTestPublishedBarProperties::StaticClass(), TTestBarHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TTestOtherBarProperties::StaticClass()), TTestBarHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TuiProgressBarProperties::StaticClass()), TuiFilterProgressBarHelper::StaticClass());
  controller->Unregister(TTestPublishedBarProperties::StaticClass(), TTestBarHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TTestOtherBarProperties::StaticClass()), TuiFilterProgressBarHelper::StaticClass());
}

TEST(FilterEditsController, TheUnitIsCountedAndItsLastEndRemovesTheHelpers) {
  k58::data::StartFilterControlUnit();
  TuiFilterEditsController* controller = GetFilterEditsController();
  k58::data::StartFilterControlUnit();
  k58::data::StopFilterControlUnit();
  EXPECT_EQ(GetFilterEditsController(), controller);
  EXPECT_EQ(controller->FindHelper(TuiTrackBarProperties::StaticClass()), TuiFilterTrackBarHelper::StaticClass());
  k58::data::StopFilterControlUnit();
  EXPECT_EQ(GetFilterEditsController(), nullptr);
  k58::data::StopFilterControlUnit();  // one end too many does nothing
  EXPECT_EQ(GetFilterEditsController(), nullptr);
}

TEST(FilterEditHelper, OnlyHelperClassesMakeAHelper) {
  EXPECT_EQ(TuiCustomFilterEditHelper::Of(nullptr).get(), nullptr);
  EXPECT_EQ(TuiCustomFilterEditHelper::Of(TTestBarHelper::StaticClass()).get(), nullptr);
  EXPECT_NE(TuiCustomFilterEditHelper::Of(TuiFilterTrackBarHelper::StaticClass()).get(), nullptr);
}

TEST(FilterEditHelper, DropDownAndSpinEditorsKeepTheirButtons) {
  TObjectPtr<TuiCustomFilterEditHelper> helper = TuiCustomFilterEditHelper::Of(TuiFilterSpinEditHelper::StaticClass());
  struct Case {
    TClass properties;
    bool keeps;
  };
  for (const Case& c : {Case{TuiComboBoxProperties::StaticClass(), true}, Case{TuiSpinEditProperties::StaticClass(), true},
                        Case{TuiTextEditProperties::StaticClass(), false}}) {
    SCOPED_TRACE(c.properties->Name());
    TObjectPtr<TuiCustomEditProperties> p(TuiCustomEditProperties::CreateOfClass(c.properties, nullptr));
    EXPECT_EQ(helper->KeepsButtons(p.get()), c.keeps);
  }
}

// Column properties of each kind with settings a filter editor must not take over, and the helper of it.
struct HelperCase {
  const char* name;
  TClass helper;
  std::function<TuiCustomEditProperties*()> makeSource;
  double minValue;
  double maxValue;
  double largeIncrement;
};

void Unfriendly(TuiCustomEditProperties* P) {
  P->Alignment()->SetHorz(taRightJustify);
  P->Alignment()->SetVert(taVCenter);
  P->SetBeepOnError(true);
  P->SetReadOnly(true);
  P->SetValidateOnEnter(false);
  P->SetOnChange([](TObject*) {});
  P->SetOnEditValueChanged([](TObject*) {});
  P->SetOnButtonClick([](TObject*, Integer) {});
}

std::vector<HelperCase> HelperCases() {
  return {
      {"spin", TuiFilterSpinEditHelper::StaticClass(),
       [] {
         auto* p = static_cast<TuiSpinEditProperties*>(TuiCustomEditProperties::CreateOfClass(TuiSpinEditProperties::StaticClass(), nullptr));
         Unfriendly(p);
         p->SetCanEdit(false);
         p->SetAutoSelect(false);
         p->SetMinValue(-3);
         p->SetMaxValue(300);
         p->SetLargeIncrement(7);
         return p;
       },
       -3, 300, 7},
      {"progress bar", TuiFilterProgressBarHelper::StaticClass(),
       [] {
         auto* p = static_cast<TuiProgressBarProperties*>(TuiCustomEditProperties::CreateOfClass(TuiProgressBarProperties::StaticClass(), nullptr));
         Unfriendly(p);
         p->SetMax(250);
         p->SetMin(5);
         return p;
       },
       5, 250, 10},
      {"track bar", TuiFilterTrackBarHelper::StaticClass(),
       [] {
         auto* p = static_cast<TuiTrackBarProperties*>(TuiCustomEditProperties::CreateOfClass(TuiTrackBarProperties::StaticClass(), nullptr));
         Unfriendly(p);
         p->SetMin(-20);
         p->SetMax(80);
         p->SetPageSize(4);
         return p;
       },
       -20, 80, 4},
  };
}

TEST(FilterEditHelper, TheFilterSpinEditorIsAnEditableCopyOfTheColumnEditor) {
  for (const HelperCase& c : HelperCases()) {
    SCOPED_TRACE(c.name);
    TObjectPtr<TuiCustomFilterEditHelper> helper = TuiCustomFilterEditHelper::Of(c.helper);
    ASSERT_NE(helper.get(), nullptr);
    ASSERT_EQ(helper->GetFilterEditClass(), TuiSpinEdit::StaticClass());
    TObjectPtr<TuiCustomEditProperties> source(c.makeSource());
    TObjectPtr<TuiSpinEdit> edit(static_cast<TuiSpinEdit*>(helper->GetFilterEditClass()->CreateComponent(nullptr)));
    helper->InitializeEdit(edit.get(), source.get());

    TuiSpinEditProperties* p = edit->ActiveProperties();
    EXPECT_EQ(p->Alignment()->Horz(), taLeftJustify);
    EXPECT_EQ(p->Alignment()->Vert(), taTopJustify);
    EXPECT_FALSE(p->BeepOnError());
    EXPECT_FALSE(p->ReadOnly());
    EXPECT_TRUE(p->ValidateOnEnter());
    EXPECT_TRUE(p->AutoSelect());
    EXPECT_TRUE(p->HideSelection());
    EXPECT_TRUE(p->CanEdit());
    EXPECT_FALSE(p->OnChange());
    EXPECT_FALSE(p->OnEditValueChanged());
    EXPECT_FALSE(p->OnButtonClick());
    EXPECT_EQ(p->Buttons()->Count(), 2);  // the step buttons
    EXPECT_TRUE(p->IsMinValueInForce());
    EXPECT_TRUE(p->IsMaxValueInForce());
    EXPECT_EQ(p->MinValue(), c.minValue);
    EXPECT_EQ(p->MaxValue(), c.maxValue);
    EXPECT_EQ(p->LargeIncrement(), c.largeIncrement);
    // The column's own properties keep their settings.
    EXPECT_TRUE(source->ReadOnly());
    EXPECT_TRUE(source->OnChange());
  }
}

TEST(FilterEditHelper, AValueGoesThroughTheFilterEditorAndComesBackWithItsText) {
  for (const HelperCase& c : HelperCases()) {
    SCOPED_TRACE(c.name);
    TObjectPtr<TuiCustomFilterEditHelper> helper = TuiCustomFilterEditHelper::Of(c.helper);
    TObjectPtr<TuiCustomEditProperties> source(c.makeSource());
    TObjectPtr<TuiSpinEdit> edit(static_cast<TuiSpinEdit*>(helper->GetFilterEditClass()->CreateComponent(nullptr)));
    helper->InitializeEdit(edit.get(), source.get());
    edit->SetValue(Variant(42));
    Variant value;
    WideString text;
    helper->GetFilterValue(edit.get(), edit->ActiveProperties(), value, text);
    EXPECT_EQ(value.AsDouble(), 42);
    EXPECT_EQ(text, u"42");
  }
}

}  // namespace
