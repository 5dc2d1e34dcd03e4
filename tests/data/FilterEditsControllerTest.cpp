// The registry of filter edit helpers: pairs kept under the registered class's parent, found for every
// descendant of it, removed again, and the unit's counted life.
#include <gtest/gtest.h>

#include "controls/extra/uiProgressBar.h"
#include "controls/extra/uiTrackBar.h"
#include "data/uiFilterControlUtils.h"
#include "platform/classes/ClassBuilder.h"


// Stand-ins for two helper classes.
class TTestBarHelper : public TObject {
  K58_CLASS(TTestBarHelper, TObject)
};
class TTestTrackHelper : public TObject {
  K58_CLASS(TTestTrackHelper, TObject)
};
K58_IMPLEMENT_CLASS(TTestBarHelper) {}
K58_IMPLEMENT_CLASS(TTestTrackHelper) {}

// A descendant of the custom properties, as another bar kind would have.
class TTestOtherBarProperties : public TuiCustomProgressBarProperties {
  K58_CLASS(TTestOtherBarProperties, TuiCustomProgressBarProperties)
 public:
  TTestOtherBarProperties() = default;
};
K58_IMPLEMENT_CLASS(TTestOtherBarProperties) {}

namespace {

TEST(FilterEditsController, HelpersAreFoundForEveryDescendantOfTheCustomClass) {
  k58::data::StartFilterControlUnit();
  TuiFilterEditsController* controller = GetFilterEditsController();
  ASSERT_NE(controller, nullptr);
  controller->Register(TuiProgressBarProperties::StaticClass(), TTestBarHelper::StaticClass());
  controller->Register(TuiTrackBarProperties::StaticClass(), TTestTrackHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TuiProgressBarProperties::StaticClass()), TTestBarHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TTestOtherBarProperties::StaticClass()), TTestBarHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TuiCustomTrackBarProperties::StaticClass()), TTestTrackHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TuiCustomEditProperties::StaticClass()), nullptr);

  controller->Unregister(TuiProgressBarProperties::StaticClass(), TTestBarHelper::StaticClass());
  EXPECT_EQ(controller->FindHelper(TuiProgressBarProperties::StaticClass()), nullptr);
  EXPECT_EQ(controller->Count(), 1);

  k58::data::StartFilterControlUnit();  // counted
  k58::data::StopFilterControlUnit();
  EXPECT_EQ(GetFilterEditsController(), controller);
  k58::data::StopFilterControlUnit();
  EXPECT_EQ(GetFilterEditsController(), nullptr);
}

}  // namespace
