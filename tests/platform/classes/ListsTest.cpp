#include <gtest/gtest.h>

#include "platform/classes/Lists.h"

namespace {

TEST(TListTest, IndexErrorsRaiseTheListError) {
  TList list;
  list.Add(nullptr);
  EXPECT_THROW(list.Get(1), EListError);
  EXPECT_THROW(list.Delete(-1), EListError);
  try {
    list.Get(5);
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
}

}  // namespace
