#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/AppUi.h"
#include "platform/classes/StringList.h"
#include "tests/app/PortFixtures.h"

namespace {

using app_test::TFakePorts;

TEST(ListComPorts, ListsThePortsThatOpenInNumberOrderAndAppends) {
  TFakePorts Ports({1, 12, 200});
  TStringList List;
  List.Add("kept");
  ListComPorts(&List);
  ASSERT_EQ(List.Count(), 4);
  EXPECT_EQ(List.Strings(0), "kept");
  EXPECT_EQ(List.Strings(1), "COM1");
  EXPECT_EQ(List.Strings(2), "COM12");
  EXPECT_EQ(List.Strings(3), "COM200");
  ListComPorts(nullptr);
}

TEST(ListComPorts, LeavesOutAPortHeldByAnotherProgramAndReleasesWhatItProbed) {
  TFakePorts Ports({3, 4});
  // Another program holds COM4.
  const int Held = ::open(Ports.Path(4).c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(Held, 0);
  ASSERT_EQ(::flock(Held, LOCK_EX | LOCK_NB), 0);
  TStringList List;
  ListComPorts(&List);
  ::close(Held);
  ASSERT_EQ(List.Count(), 1);
  EXPECT_EQ(List.Strings(0), "COM3");
  // The probe closed COM3 again: a second listing finds both.
  List.Clear();
  ListComPorts(&List);
  EXPECT_EQ(List.Count(), 2);
}

}  // namespace
