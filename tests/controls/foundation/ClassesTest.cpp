// Class registries, proportional widths, object links, the free-notification relay and the small
// routines of the class-registration unit.
#include <gtest/gtest.h>

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"

namespace foundation_test {

class TRegA : public TObject {
  K58_CLASS(TRegA, TObject)
};
class TRegB : public TRegA {
  K58_CLASS(TRegB, TRegA)
};
class TRegC : public TRegB {
  K58_CLASS(TRegC, TRegB)
};
class TRegOther : public TObject {
  K58_CLASS(TRegOther, TObject)
};
class TRegHelper : public TObject {
  K58_CLASS(TRegHelper, TObject)
};
class TRegHelper2 : public TObject {
  K58_CLASS(TRegHelper2, TObject)
};

}  // namespace foundation_test

using namespace foundation_test;

K58_IMPLEMENT_CLASS(TRegA) {}
K58_IMPLEMENT_CLASS(TRegB) {}
K58_IMPLEMENT_CLASS(TRegC) {}
K58_IMPLEMENT_CLASS(TRegOther) {}
K58_IMPLEMENT_CLASS(TRegHelper) {}
K58_IMPLEMENT_CLASS(TRegHelper2) {}

namespace {

std::vector<TClass> ItemClasses(const TuiRegisteredClassList& List) {
  std::vector<TClass> result;
  for (Integer i = 0; i < List.Count(); ++i) result.push_back(List.GetItem(i)->ItemClass);
  return result;
}

}  // namespace

TEST(RegisteredClassList, KeepsAncestorsBeforeDescendantsAndFindsTheNearest) {
  TuiRegisteredClassList list;
  list.Register(TRegB::StaticClass(), TRegHelper2::StaticClass());
  list.Register(TRegA::StaticClass(), TRegHelper::StaticClass());  // goes before its registered descendant
  EXPECT_EQ((std::vector<TClass>{TRegA::StaticClass(), TRegB::StaticClass()}), ItemClasses(list));
  list.Register(TRegC::StaticClass(), TRegHelper::StaticClass());  // right after its nearest ancestor
  EXPECT_EQ((std::vector<TClass>{TRegA::StaticClass(), TRegB::StaticClass(), TRegC::StaticClass()}),
            ItemClasses(list));

  struct Case {
    TClass Class;
    bool Found;
    Integer Index;
  };
  for (const Case& c : {Case{TRegC::StaticClass(), true, 2}, Case{TRegB::StaticClass(), true, 1},
                        Case{TRegA::StaticClass(), true, 0}, Case{TRegOther::StaticClass(), false, 77},
                        Case{TObject::StaticClass(), false, 0}}) {
    Integer index = 77;
    EXPECT_EQ(c.Found, list.FindNearestIndex(c.Class, index)) << c.Class->Name();
    EXPECT_EQ(c.Index, index) << c.Class->Name();  // TObject: the lowest registered descendant
  }
  EXPECT_EQ(TRegHelper2::StaticClass(), list.FindClass(TRegB::StaticClass()));
  EXPECT_EQ(nullptr, list.FindClass(TRegOther::StaticClass()));

  list.Unregister(TRegB::StaticClass(), TRegHelper::StaticClass());  // no such pair
  EXPECT_EQ(3, list.Count());
  list.Unregister(TRegB::StaticClass(), TRegHelper2::StaticClass());
  EXPECT_EQ(TRegHelper::StaticClass(), list.FindClass(TRegB::StaticClass()));  // now A's helper
  EXPECT_THROW(list.GetItem(5), EListError);
}

TEST(RegisteredClasses, SortedByCaptionIgnoringCaseAndFirstDescriptionWins) {
  TuiRegisteredClasses registry;
  registry.SetSorted(true);
  registry.Register(TRegA::StaticClass(), "TextEdit|Represents a single line text editor");
  registry.Register(TRegB::StaticClass(), "MaskEdit|Represents a generic masked edit control.");
  registry.Register(TRegC::StaticClass(), "checkBox");
  registry.Register(TRegA::StaticClass(), "Another|ignored");
  ASSERT_EQ(3, registry.Count());
  EXPECT_EQ("checkBox", registry.GetDescription(0));
  EXPECT_EQ("MaskEdit", registry.GetDescription(1));
  EXPECT_EQ("TextEdit", registry.GetDescription(2));
  EXPECT_EQ("TextEdit|Represents a single line text editor", registry.GetHintText(2));
  EXPECT_EQ(TRegB::StaticClass(), registry.GetItem(1));
  EXPECT_EQ(0, registry.CompareItems(0, 0));
  EXPECT_EQ(2, registry.IndexOfClass(TRegA::StaticClass()));
  registry.Unregister(TRegOther::StaticClass());
  registry.Unregister(TRegB::StaticClass());
  EXPECT_EQ(-1, registry.IndexOfClass(TRegB::StaticClass()));
  EXPECT_THROW(registry.GetDescription(2), EStringListError);
  // An unsorted registry keeps the order of registration.
  TuiRegisteredClasses unsorted;
  unsorted.Register(TRegA::StaticClass(), "Zeta");
  unsorted.Register(TRegB::StaticClass(), "Alpha");
  EXPECT_EQ("Zeta", unsorted.GetDescription(0));
}

TEST(RegisteredClasses, CanRegisterWithTheStreamingRegistry) {
  TuiRegisteredClasses registry(true);
  registry.Register(TRegOther::StaticClass(), "Other");
  EXPECT_EQ(TRegOther::StaticClass(), GetClass("TRegOther"));
  UnRegisterClass(TRegOther::StaticClass());
}

TEST(AutoWidth, SharesProportionallyWithMinimumsAndFixedItems) {
  struct Item {
    Integer Width, Min;
    bool Fixed;
  };
  struct Case {
    const char* Name;
    Integer Available;
    std::vector<Item> Items;
    std::vector<Integer> Expected;
  };
  const Case cases[] = {
      {"cumulative shares", 100, {{10, 0, false}, {20, 0, false}, {30, 0, false}}, {17, 33, 50}},
      {"pinned at its minimum", 100, {{10, 30, false}, {20, 0, false}, {30, 0, false}}, {30, 28, 42}},
      {"a share equal to the minimum pins", 100, {{10, 17, false}, {20, 0, false}, {30, 0, false}}, {17, 33, 50}},
      {"fixed items keep their width", 100, {{40, 0, true}, {10, 0, false}, {30, 0, false}}, {40, 15, 45}},
      {"all widths 0: every item at its minimum", 100, {{0, 5, false}, {0, 7, false}}, {5, 7}},
      {"nothing available", 0, {{10, 0, false}, {10, 0, false}}, {0, 0}},
  };
  for (const Case& c : cases) {
    TuiAutoWidthObject widths(static_cast<Integer>(c.Items.size()));
    for (const Item& item : c.Items) {
      TuiAutoWidthItem* added = widths.AppendItem();
      EXPECT_EQ(-1, added->AutoWidth);
      added->Width = item.Width;
      added->MinWidth = item.Min;
      added->Fixed = item.Fixed;
    }
    widths.SetAvailableWidth(c.Available);
    widths.Calculate();
    std::vector<Integer> actual;
    for (Integer i = 0; i < widths.ItemCount(); ++i) actual.push_back(widths.GetWidthItem(i)->AutoWidth);
    EXPECT_EQ(c.Expected, actual) << c.Name;
  }
}

TEST(ObjectLinks, ALinkReadsNilAfterItsObjectDiedDuringAGuardedCall) {
  auto* victim = new TuiComponent(nullptr);
  TuiComponent survivor(nullptr);
  TuiObjectLink* outer = AddObjectLink(victim);
  TuiObjectLink* other = AddObjectLink(&survivor);
  // The guarded work (a message handler) destroys the object, which clears every link to it.
  auto guarded = [&] {
    TuiObjectLink* inner = AddObjectLink(victim);
    FreeObject(victim);
    EXPECT_EQ(nullptr, inner->Ref);
    RemoveObjectLink(inner);
  };
  guarded();
  EXPECT_EQ(nullptr, outer->Ref);
  EXPECT_EQ(&survivor, other->Ref);
  RemoveObjectLink(outer);
  RemoveObjectLink(other);
  // The controller is gone with its last user; a new use starts a new one.
  TuiObjectLink* again = AddObjectLink(&survivor);
  EXPECT_EQ(&survivor, again->Ref);
  RemoveObjectLink(again);
}

TEST(FreeNotificator, ReportsEachWatchedComponentThatIsFreed) {
  TuiFreeNotificator notificator;
  std::vector<TComponent*> freed;
  notificator.SetOnComponentFreed([&](TObject*, TComponent* AComponent) { freed.push_back(AComponent); });
  auto* watched = new TComponent(nullptr);
  auto* dropped = new TComponent(nullptr);
  notificator.AddSender(watched);
  notificator.AddSender(dropped);
  notificator.AddSender(nullptr);
  notificator.RemoveSender(dropped);
  FreeObject(dropped);
  FreeObject(watched);
  EXPECT_EQ(std::vector<TComponent*>{watched}, freed);
}

TEST(SmallRoutines, RangeCentreFloorsAndTextsPassTheHook) {
  struct Case {
    Integer A, B, Centre;
  };
  for (const Case& c : {Case{-2, -1, -2}, Case{1, 2, 1}, Case{-3, 0, -2}, Case{0, 0, 0}, Case{-5, 5, 0}})
    EXPECT_EQ(c.Centre, GetRangeCenter(c.A, c.B)) << c.A << ", " << c.B;
  EXPECT_EQ("Caption", ExtractDescriptionCaption("Caption|Hint|more"));
  EXPECT_EQ("NoBar", ExtractDescriptionCaption("NoBar"));
  EXPECT_EQ("", LocalizeText(""));
  EXPECT_EQ("Today", LocalizeText("Today"));
  auto* source = new TStringList;
  auto* translated = new TStringList;
  source->Add("Today");
  translated->Add("Heute");
  SetLocalizeTextLists(source, translated);
  EXPECT_EQ("Heute", LocalizeText("Today"));
  EXPECT_EQ("Tomorrow", LocalizeText("Tomorrow"));
  SetLocalizeTextLists(nullptr, nullptr);
  EXPECT_EQ("Today", LocalizeText("Today"));
}

TEST(ClassObjects, OneImmutableInstancePerClass) {
  const TObject* first = ClassObjectOf(TRegB::StaticClass());
  EXPECT_EQ(first, ClassObjectOf(TRegB::StaticClass()));
  EXPECT_EQ(first, ClassObjectOf<TRegB>());
  EXPECT_EQ(TRegB::StaticClass(), first->ClassType());
  EXPECT_NE(first, ClassObjectOf(TRegC::StaticClass()));
  EXPECT_EQ(nullptr, ClassObjectOf(nullptr));
}
