// The live-object registry: references to freed objects are told apart from live ones, also when a new
// object takes the freed one's address; the sub-object marks.
#include <gtest/gtest.h>

#include <new>

#include "platform/classes/LiveObjects.h"
#include "platform/classes/StringList.h"

namespace classes_test {
namespace {

TEST(LiveObjectsTest, AReferenceDiesWithItsObjectAndStaysDeadWhenTheAddressIsReused) {
  alignas(TStringList) unsigned char storage[sizeof(TStringList)];
  auto* first = new (storage) TStringList;
  const Variant old = Variant::FromObject(first);
  EXPECT_TRUE(VarObjectAlive(old));
  EXPECT_EQ(VarLiveObject(old), first);
  first->~TStringList();
  EXPECT_FALSE(VarObjectAlive(old));

  // Another object at the very same address: new references to it live, the old one stays dead.
  auto* second = new (storage) TStringList;
  ASSERT_EQ(static_cast<TObject*>(second), static_cast<TObject*>(first));
  const Variant fresh = Variant::FromObject(second);
  EXPECT_TRUE(VarObjectAlive(fresh));
  EXPECT_FALSE(VarObjectAlive(old));
  EXPECT_THROW(VarLiveObject(old), EAccessViolation);
  // The reference still reads as the same object and keeps its identity text.
  EXPECT_EQ(old.AsObject(), static_cast<TObject*>(second));
  EXPECT_EQ(fresh.AsString(), old.AsString());
  second->~TStringList();
}

TEST(LiveObjectsTest, NilAndOtherValuesCountAsAlive) {
  EXPECT_TRUE(VarObjectAlive(Variant::FromObject(nullptr)));
  EXPECT_TRUE(VarObjectAlive(Variant(Integer{5})));
  EXPECT_EQ(Variant::FromObject(nullptr).AsString(), "0");
  // Copies of a reference share its fate.
  auto* list = new TStringList;
  const Variant a = Variant::FromObject(list);
  const Variant b = a;
  EXPECT_EQ(Variant::FromObject(list).ObjectTag(), a.ObjectTag());
  FreeObject(list);
  EXPECT_FALSE(VarObjectAlive(b));
}

TEST(LiveObjectsTest, MarksBelongToTheObject) {
  TStringList owned;
  TStringList made;
  TStringList plain;
  MarkOwnedSubObject(&owned);
  MarkUserMade(&made);
  EXPECT_TRUE(IsOwnedSubObject(&owned));
  EXPECT_FALSE(IsOwnedSubObject(&made));
  EXPECT_TRUE(IsUserMade(&made));
  EXPECT_FALSE(IsUserMade(&plain) || IsOwnedSubObject(&plain));
}

}  // namespace
}  // namespace classes_test
