// Look-and-feel settings: resolution along master chains, change sets and their order, cycles refused,
// controllers of the root, painter choice, stored properties, and the notification of system colour
// changes (the painters' glyph cache before any look-and-feel, the newest look-and-feel first).
#include <gtest/gtest.h>

#include "platform/classes/ClassErrors.h"
#include "platform/classes/TypInfo.h"
#include "tests/controls/foundation/FoundationTesting.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

using namespace foundation_test;

namespace {

using LookAndFeelsTest = FoundationTest;

// Records the change sets a look-and-feel reports to its owner.
struct Recorder {
  std::vector<TuiLookAndFeelValues> Changes;
  std::vector<std::string>* Order = nullptr;
  std::string Name;
  void Attach(TuiLookAndFeel& ALookAndFeel, const std::string& AName, std::vector<std::string>* AOrder = nullptr) {
    Name = AName;
    Order = AOrder;
    ALookAndFeel.SetOnChanged([this](TuiLookAndFeel*, TuiLookAndFeelValues Values) {
      Changes.push_back(Values);
      if (Order) Order->push_back(Name);
    });
  }
};

// A listener that leaves its master's list while it is told of a change.
class LeavingListener : public TObject, public IuiLookAndFeelChangeListener {
 public:
  explicit LeavingListener(TuiLookAndFeel* AMaster) : master_(AMaster) { master_->AddChangeListener(this); }
  TObject* GetListenerObject() override { return this; }
  void MasterChanged(TuiLookAndFeel*, TuiLookAndFeelValues) override {
    ++Calls;
    master_->RemoveChangeListener(this);
  }
  void MasterDestroying(TuiLookAndFeel*) override {}
  Integer Calls = 0;

 private:
  TuiLookAndFeel* master_;
};

const TuiLookAndFeelValues kKind{lfvKind};
const TuiLookAndFeelValues kNative{lfvNativeStyle};

}  // namespace

TEST_F(LookAndFeelsTest, FollowsTheRootUntilSetLocally) {
  TuiLookAndFeel laf(nullptr);
  Recorder changes;
  changes.Attach(laf, "laf");
  EXPECT_EQ(lfUltraFlat, laf.Kind());
  EXPECT_FALSE(laf.NativeStyle());
  EXPECT_EQ(GetRootLookAndFeel(), laf.GetEffectiveMaster());
  EXPECT_EQ(nullptr, GetRootLookAndFeel()->GetEffectiveMaster());

  TuiLookAndFeelController controller(nullptr);
  controller.SetKind(lfFlat);
  EXPECT_EQ(lfFlat, laf.Kind());
  EXPECT_EQ(std::vector<TuiLookAndFeelValues>{kKind}, changes.Changes);

  // A local value hides the master's changes of it, and writing the value in force says nothing.
  changes.Changes.clear();
  laf.SetKind(lfFlat);
  EXPECT_TRUE(laf.AssignedValues().Contains(lfvKind));
  EXPECT_TRUE(changes.Changes.empty());
  laf.SetKind(lfStandard);
  controller.SetKind(lfOffice11);
  EXPECT_EQ(lfStandard, laf.Kind());
  EXPECT_EQ(std::vector<TuiLookAndFeelValues>{kKind}, changes.Changes);
  // The other value still follows.
  controller.SetNativeStyle(true);
  EXPECT_TRUE(laf.NativeStyle());
  EXPECT_EQ((std::vector<TuiLookAndFeelValues>{kKind, kNative}), changes.Changes);
  // Dropping the local value takes the master's again.
  laf.SetAssignedValues(TuiLookAndFeelValues{lfvNativeStyle});
  EXPECT_EQ(lfOffice11, laf.Kind());
}

TEST_F(LookAndFeelsTest, ChangesTravelDownAChainOfThreeInOrder) {
  TuiLookAndFeel a(nullptr), b(nullptr), c(nullptr);
  b.SetMaster(&a);
  c.SetMaster(&b);
  std::vector<std::string> order;
  Recorder ra, rb, rc;
  ra.Attach(a, "a", &order);
  rb.Attach(b, "b", &order);
  rc.Attach(c, "c", &order);
  a.SetKind(lfOffice11);
  EXPECT_EQ(lfOffice11, c.Kind());
  // Listeners first, then the owner: the far end hears first.
  EXPECT_EQ((std::vector<std::string>{"c", "b", "a"}), order);
  // The root's change reaches the chain only where nothing hides it.
  order.clear();
  GetRootLookAndFeel()->SetNativeStyle(true);
  EXPECT_TRUE(c.NativeStyle());
  EXPECT_EQ((std::vector<std::string>{"c", "b", "a"}), order);
  EXPECT_EQ(kNative, rc.Changes.back());

  // Destroying the middle one moves its listener to the root, with one notification of what changed.
  order.clear();
  rc.Changes.clear();
  TuiLookAndFeel* middle = new TuiLookAndFeel(nullptr);
  TuiLookAndFeel d(nullptr);
  middle->SetMaster(&a);
  d.SetMaster(middle);
  Recorder rd;
  rd.Attach(d, "d");
  EXPECT_EQ(lfOffice11, d.Kind());
  FreeObject(middle);
  EXPECT_EQ(GetRootLookAndFeel(), d.GetEffectiveMaster());
  EXPECT_EQ(lfUltraFlat, d.Kind());
  EXPECT_EQ(std::vector<TuiLookAndFeelValues>{kKind}, rd.Changes);
}

TEST_F(LookAndFeelsTest, AMasterWhoseChainLeadsBackIsRefused) {
  TuiLookAndFeel a(nullptr), b(nullptr), c(nullptr);
  b.SetMaster(&a);
  a.SetMaster(&b);  // A <-> B
  EXPECT_EQ(GetRootLookAndFeel(), a.GetEffectiveMaster());
  c.SetMaster(&b);
  a.SetMaster(&c);  // A <- B <- C <- A
  EXPECT_EQ(GetRootLookAndFeel(), a.GetEffectiveMaster());
  a.SetMaster(&a);
  EXPECT_EQ(GetRootLookAndFeel(), a.GetEffectiveMaster());
  GetRootLookAndFeel()->SetMaster(&a);  // the root has no master
  EXPECT_EQ(nullptr, GetRootLookAndFeel()->GetEffectiveMaster());
  // Changes still travel and end.
  a.SetKind(lfFlat);
  EXPECT_EQ(lfFlat, c.Kind());
}

TEST_F(LookAndFeelsTest, AListenerLeavingDuringAChangeDoesNotMakeTheNextOneMissIt) {
  TuiLookAndFeel master(nullptr), follower(nullptr);
  LeavingListener leaving(&master);
  follower.SetMaster(&master);
  master.SetKind(lfStandard);
  EXPECT_EQ(1, leaving.Calls);
  EXPECT_EQ(lfStandard, follower.Kind());
  EXPECT_EQ(1, master.ChangeListenerCount());
}

TEST_F(LookAndFeelsTest, TheLastControllerToGoResetsTheRoot) {
  TuiLookAndFeel laf(nullptr);
  auto* first = new TuiLookAndFeelController(nullptr);
  auto* second = new TuiLookAndFeelController(nullptr);
  EXPECT_EQ(2, k58::foundation::LookAndFeelControllerCount());
  first->SetKind(lfStandard);
  second->SetNativeStyle(true);
  FreeObject(first);
  EXPECT_EQ(lfStandard, laf.Kind());
  Recorder changes;
  changes.Attach(laf, "laf");
  FreeObject(second);
  EXPECT_EQ(0, k58::foundation::LookAndFeelControllerCount());
  EXPECT_EQ(lfUltraFlat, GetRootLookAndFeel()->Kind());
  EXPECT_TRUE(GetRootLookAndFeel()->AssignedValues().Empty());
  EXPECT_EQ(lfUltraFlat, laf.Kind());
  EXPECT_EQ((std::vector<TuiLookAndFeelValues>{TuiLookAndFeelValues{lfvKind, lfvNativeStyle}}), changes.Changes);
  // A controller is accepted as a listener by the root only.
  TuiLookAndFeelController third(nullptr);
  laf.AddChangeListener(&third);
  EXPECT_EQ(0, laf.ChangeListenerCount());
  EXPECT_EQ(1, k58::foundation::LookAndFeelControllerCount());
}

TEST_F(LookAndFeelsTest, AssignCopiesLocalValuesAndMaster) {
  TuiLookAndFeel master(nullptr), source(nullptr), target(nullptr);
  master.SetNativeStyle(true);
  source.SetMaster(&master);
  source.SetKind(lfFlat);
  Recorder changes;
  changes.Attach(target, "target");
  target.Assign(&source);
  EXPECT_EQ(&master, target.GetEffectiveMaster());
  EXPECT_EQ(lfFlat, target.Kind());
  EXPECT_TRUE(target.NativeStyle());
  EXPECT_EQ(TuiLookAndFeelValues{lfvKind}, target.AssignedValues());
  EXPECT_EQ((std::vector<TuiLookAndFeelValues>{TuiLookAndFeelValues{lfvKind, lfvNativeStyle}}), changes.Changes);
  TStringList other;
  EXPECT_THROW(target.Assign(&other), EConvertError);
}

TEST_F(LookAndFeelsTest, PublishedValuesAreStoredOnlyWhenAssigned) {
  TuiLookAndFeel laf(nullptr);
  const ClassInfo* info = TuiLookAndFeel::StaticClass();
  EXPECT_FALSE(IsStoredProp(&laf, info->FindProperty("Kind")));
  EXPECT_FALSE(IsStoredProp(&laf, info->FindProperty("NativeStyle")));
  EXPECT_FALSE(IsStoredProp(&laf, info->FindProperty("AssignedValues")));
  laf.SetNativeStyle(false);
  EXPECT_TRUE(IsStoredProp(&laf, info->FindProperty("NativeStyle")));
  EXPECT_FALSE(IsStoredProp(&laf, info->FindProperty("Kind")));
  EXPECT_FALSE(IsStoredProp(&laf, info->FindProperty("AssignedValues")));
  // Setting through the type information marks the value assigned, as reading a form does.
  SetOrdProp(&laf, info->FindProperty("Kind"), lfOffice11);
  EXPECT_EQ(lfOffice11, laf.Kind());
  EXPECT_TRUE(IsStoredProp(&laf, info->FindProperty("Kind")));
}

TEST_F(LookAndFeelsTest, NativeStyleChoosesTheThemedPainterOnlyWhenThemesAreUsable) {
  TuiLookAndFeel laf(nullptr);
  laf.SetKind(lfFlat);
  laf.SetNativeStyle(true);
  EXPECT_EQ(PainterClass<TuiFlatLookAndFeelPainter>(), laf.GetPainterClass());
  {
    k58test::RecordingThemeProvider provider({"Button"});
    k58test::ScopedThemeProvider scope(provider);
    EXPECT_EQ(PainterClass<TuiWinXPLookAndFeelPainter>(), laf.GetPainterClass());
    EXPECT_EQ(PainterClass<TuiWinXPLookAndFeelPainter>(), laf.GetPainterClassForObject(totButton));
    EXPECT_EQ(PainterClass<TuiFlatLookAndFeelPainter>(), laf.GetPainterClassForObject(totTab));
    EXPECT_EQ(PainterClass<TuiFlatLookAndFeelPainter>(), laf.GetPainterClassForObjects(ThemedObjectMask(totTab)));
    laf.SetNativeStyle(false);
    EXPECT_EQ(PainterClass<TuiFlatLookAndFeelPainter>(), laf.GetPainterClass());
    laf.SetNativeStyle(true);
    // A switch to the classic look: the kind's painter again.
    provider.Active = false;
    provider.Switch();
    EXPECT_EQ(PainterClass<TuiFlatLookAndFeelPainter>(), laf.GetPainterClass());
  }
  struct Case {
    TuiLookAndFeelKind Kind;
    TuiLookAndFeelPainterClass Painter;
  };
  for (const Case& c : {Case{lfFlat, PainterClass<TuiFlatLookAndFeelPainter>()},
                        Case{lfStandard, PainterClass<TuiStandardLookAndFeelPainter>()},
                        Case{lfUltraFlat, PainterClass<TuiUltraFlatLookAndFeelPainter>()},
                        Case{lfOffice11, PainterClass<TuiOffice11LookAndFeelPainter>()}}) {
    laf.SetKind(c.Kind);
    EXPECT_EQ(c.Painter, laf.GetPainterClass()) << c.Kind;
  }
}

TEST_F(LookAndFeelsTest, AColourChangeReachesTheGlyphCacheBeforeAnyLookAndFeel) {
  TuiRadioButtonImageList* glyphs = SharedRadioButtonImages();
  auto glyphBody = [&] {
    TestCanvas canvas(glyphs->Width(), glyphs->Height());
    glyphs->Draw(canvas.Canvas(), 0, 0, clDefault, lfStandard, uibsNormal, false, false, false);
    return canvas.At(glyphs->Width() / 2, glyphs->Height() / 2);
  };
  TuiLookAndFeel older(nullptr), newer(nullptr);
  older.SetNativeStyle(false);
  newer.SetNativeStyle(false);
  std::vector<std::string> order;
  std::vector<TColor> bodies, backgrounds;
  for (auto [laf, name] : {std::pair{&older, "older"}, std::pair{&newer, "newer"}}) {
    laf->SetOnChanged([&, name](TuiLookAndFeel*, TuiLookAndFeelValues Values) {
      order.push_back(name);
      EXPECT_EQ(kNative, Values);
      bodies.push_back(glyphBody());
      backgrounds.push_back(Office11Color(o11Background));
    });
  }
  const INT indexes[] = {COLOR_WINDOW, COLOR_BTNFACE};
  const COLORREF colours[] = {RGB(255, 255, 0), RGB(0, 200, 200)};
  SetSysColors(2, indexes, colours);
  EXPECT_EQ((std::vector<std::string>{"newer", "older"}), order);
  for (TColor body : bodies) EXPECT_EQ(static_cast<TColor>(RGB(255, 255, 0)), body);
  for (TColor background : backgrounds) EXPECT_EQ(static_cast<TColor>(RGB(0, 200, 200)), background);
}

TEST_F(LookAndFeelsTest, TheControllerIsKnownToFormResourcesByName) {
  const TClass controllerClass = GetClass("TuiLookAndFeelController");
  ASSERT_EQ(TuiLookAndFeelController::StaticClass(), controllerClass);
  TObjectPtr<TComponent> made(controllerClass->CreateComponent(nullptr));
  SetOrdProp(made.get(), "Kind", lfStandard);
  EXPECT_EQ(lfStandard, GetRootLookAndFeel()->Kind());
  const TPropInfo* kind = controllerClass->FindProperty("Kind");
  ASSERT_NE(nullptr, kind);
  EXPECT_EQ(static_cast<Int64>(lfUltraFlat), kind->OrdDefault);
}

TEST(LookAndFeelsWithoutUnits, ControllersAnswerTheDefaults) {
  ASSERT_EQ(nullptr, GetRootLookAndFeel());
  TuiLookAndFeelController controller(nullptr);
  controller.SetKind(lfFlat);
  EXPECT_EQ(lfUltraFlat, controller.Kind());
  EXPECT_FALSE(controller.NativeStyle());
}
