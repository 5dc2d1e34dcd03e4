// Pointer lists, object lists and collections.
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "platform/rtl/SysUtils.h"

namespace classes_test {

namespace {

int* P(intptr_t v) { return reinterpret_cast<int*>(v); }

TEST(TListTest, IndexErrorsRaiseTheListError) {
  TList list;
  list.Add(nullptr);
  struct Case {
    std::function<void()> call;
    const char* message;
  };
  const Case cases[] = {
      {[&] { list.Get(5); }, "List index out of bounds (5)"},
      {[&] { list.Delete(-1); }, "List index out of bounds (-1)"},
      {[&] { list.Insert(2, nullptr); }, "List index out of bounds (2)"},
      {[&] { list.Move(0, 1); }, "List index out of bounds (1)"},
      {[&] { list.SetCount(-1); }, "List count out of bounds (-1)"},
      {[&] { list.SetCapacity(0); }, "List capacity out of bounds (0)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    try {
      c.call();
      FAIL();
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
}

TEST(TListTest, EditsKeepOrder) {
  TList list;
  for (intptr_t i = 1; i <= 5; ++i) list.Add(P(i));
  list.Move(0, 4);     // 2 3 4 5 1
  list.Exchange(0, 1);  // 3 2 4 5 1
  list.Insert(1, nullptr);
  list.Delete(3);      // 3 nil 2 5 1
  EXPECT_EQ(list.Remove(P(5)), 3);
  EXPECT_EQ(list.Remove(P(9)), -1);
  list.Pack();
  std::vector<void*> expected{P(3), P(2), P(1)};
  EXPECT_EQ(list.List(), expected);
  list.Sort([](Pointer a, Pointer b) {
    return static_cast<Integer>(reinterpret_cast<intptr_t>(a) - reinterpret_cast<intptr_t>(b));
  });
  expected = {P(1), P(2), P(3)};
  EXPECT_EQ(list.List(), expected);
  list.SetCount(5);
  EXPECT_EQ(list.Get(4), nullptr);
  EXPECT_EQ(list.Extract(P(2)), P(2));
  EXPECT_EQ(list.Count(), 4);
}

TEST(TListTest, CapacityGrowsInTheClassLibrarysSteps) {
  TList list;
  std::vector<Integer> capacities;
  for (int i = 0; i < 30; ++i) {
    list.Add(nullptr);
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<Integer>{4, 8, 12, 28, 44}));
  list.Clear();
  EXPECT_EQ(list.Capacity(), 0);
}

TEST(TObjectListTest, FreesItsObjectsWhileOwningThem) {
  int freed = 0;
  struct Counted : TObject {
    explicit Counted(int& n) : n_(n) {}
    ~Counted() override { ++n_; }
    int& n_;
  };
  {
    TObjectList list;
    list.Add(new Counted(freed));
    list.Add(new Counted(freed));
    auto* kept = new Counted(freed);
    list.Add(kept);
    list.Delete(0);
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(list.Extract(kept), kept);
    delete kept;
    EXPECT_EQ(freed, 2);
  }
  EXPECT_EQ(freed, 3);

  TObjectList notOwning(false);
  Counted stays(freed);
  notOwning.Add(&stays);
  notOwning.Clear();
  EXPECT_EQ(freed, 3);
}

// A collection that records its change reports.
class TRecordingCollection : public TCollection {
 public:
  TRecordingCollection() : TCollection(TTestItem::StaticClass()) {}
  std::vector<String> Log;

 protected:
  void Update(TCollectionItem* Item) override {
    Log.push_back(Item == nullptr ? "all" : static_cast<TTestItem*>(Item)->Caption);
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    static const char* names[] = {"added", "extracting", "deleting"};
    Log.push_back(names[Action] + String(":") + IntToStr(Item->ID()));
  }
};

TEST(TCollectionTest, ReportsChangesOnceWhileUpdating) {
  TRecordingCollection items;
  auto* a = static_cast<TTestItem*>(items.Add());
  a->Caption = "a";
  items.BeginUpdate();
  items.Add();
  items.Add();
  items.Delete(1);
  EXPECT_EQ(items.Log, (std::vector<String>{"added:0", "all", "added:1", "added:2", "deleting:1", "extracting:1"}));
  items.Log.clear();
  items.EndUpdate();
  EXPECT_EQ(items.Log, (std::vector<String>{"all"}));

  items.Log.clear();
  items.GetItem(0)->SetIndex(1);
  EXPECT_EQ(items.Log, (std::vector<String>{"all"}));
  EXPECT_EQ(a->Index(), 1);
  EXPECT_EQ(items.FindItemID(2), items.GetItem(0));
  EXPECT_THROW(items.GetItem(2), EListError);
}

TEST(TCollectionTest, AssignCopiesTheItems) {
  TCollection source(TTestItem::StaticClass());
  static_cast<TTestItem*>(source.Add())->Caption = "x";
  static_cast<TTestItem*>(source.Add())->Width = 7;
  TCollection copy(TTestItem::StaticClass());
  copy.Add();
  copy.Add();
  copy.Add();
  copy.Assign(&source);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_EQ(static_cast<TTestItem*>(copy.GetItem(0))->Caption, "x");
  EXPECT_EQ(static_cast<TTestItem*>(copy.GetItem(1))->Width, 7);

  TStringList strings;
  try {
    copy.Assign(&strings);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TStringList to a TCollection");
  }
  TCollection plain(TCollectionItem::StaticClass());
  plain.Add();
  EXPECT_THROW(plain.GetItem(0)->Assign(copy.GetItem(0)), EConvertError);
}

TEST(TCollectionTest, AnItemFreedDirectlyLeavesItsCollection) {
  TCollection items(TTestItem::StaticClass());
  TCollectionItem* first = items.Add();
  TCollectionItem* second = items.Add();
  FreeObject(first);
  ASSERT_EQ(items.Count(), 1);
  EXPECT_EQ(items.GetItem(0), second);
  TCollection other(TTestItem::StaticClass());
  second->SetCollection(&other);
  EXPECT_EQ(items.Count(), 0);
  EXPECT_EQ(other.Count(), 1);
}

}  // namespace

}  // namespace classes_test
