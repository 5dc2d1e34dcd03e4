// The tests' message spy and sequence tables, on windows of the test class: what they accept, and that
// a mismatch names the messages.
#include <gmock/gmock.h>

#include "WinCoreTestSupport.h"

namespace wincore_test {
namespace {

using k58test::kOptional;
using k58test::kWParam;
using k58test::MatchesSequence;
using ::testing::HasSubstr;
using MessageSpyTest = WinCoreTest;

TEST_F(MessageSpyTest, RecordsBeforeTheWindowAndPutsTheProcedureBack) {
  HWND H = MakeWindow();
  WNDPROC Before = reinterpret_cast<WNDPROC>(GetWindowLongPtr(H, GWLP_WNDPROC));
  {
    k58test::MessageSpy Spy(H);
    SendMessage(H, WM_APP, 7, 8);
    PostMessage(H, WM_APP + 1, 0, 0);
    DrainQueue();  // removed unseen: only what reaches the window is recorded
    SendMessage(H, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
    EXPECT_EQ(Spy.Messages(), (std::vector<UINT>{WM_APP, WM_SETTEXT}));
    EXPECT_EQ(Spy.Log().First(H, WM_APP), (k58test::Message{H, WM_APP, 7, 8}));
    // The window's own procedure still ran after the spy.
    EXPECT_EQ(Messages(H), (std::vector<UINT>{WM_APP, WM_SETTEXT}));
  }
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtr(H, GWLP_WNDPROC)), Before);
}

TEST_F(MessageSpyTest, ATableMatchesInOrderWithItsChecksAndOptionalLines) {
  HWND H = MakeWindow();
  k58test::MessageSpy Spy(H);
  SendMessage(H, WM_APP, 1, 0);
  SendMessage(H, WM_APP + 1, 2, 0);
  const k58test::MessageLog& L = Spy.Log();
  struct Case {
    const char* What;
    std::vector<k58test::Expected> Table;
    bool Matches;
  };
  const Case Cases[] = {
      {"plain", {{WM_APP}, {WM_APP + 1}}, true},
      {"parameters", {{WM_APP, kWParam, 1}, {WM_APP + 1, kWParam, 2}}, true},
      {"wrong parameter", {{WM_APP, kWParam, 2}, {WM_APP + 1}}, false},
      {"optional missing", {{WM_APP}, {WM_CLOSE, kOptional}, {WM_APP + 1}}, true},
      {"optional present", {{WM_APP, kOptional}, {WM_APP + 1}}, true},
      {"one left over", {{WM_APP}}, false},
      {"one missing", {{WM_APP}, {WM_APP + 1}, {WM_APP + 2}}, false},
      {"out of order", {{WM_APP + 1}, {WM_APP}}, false},
  };
  for (const Case& C : Cases) EXPECT_EQ(static_cast<bool>(MatchesSequence(L, H, C.Table)), C.Matches) << C.What;
  // Only the messages asked about take part.
  SendMessage(H, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x"));
  EXPECT_TRUE(MatchesSequence(L, H, {{WM_APP}, {WM_APP + 1}}, {WM_APP, WM_APP + 1}));
}

TEST_F(MessageSpyTest, AMismatchShowsBothSequencesByName) {
  HWND H = MakeWindow();
  k58test::MessageSpy Spy(H);
  SendMessage(H, WM_APP, 0, 0);
  std::string Why = MatchesSequence(Spy.Log(), H, {{WM_APP}, {WM_DESTROY}}).message();
  EXPECT_THAT(Why, HasSubstr("expected:\n    WM_APP\n  > WM_DESTROY"));
  EXPECT_THAT(Why, HasSubstr("received:\n    WM_APP w=0 l=0\n  > (end)"));
  EXPECT_EQ(k58test::MessageName(WM_APP + 3), "WM_APP+3");
  EXPECT_EQ(k58test::MessageName(WM_USER), "WM_USER");
}

}  // namespace
}  // namespace wincore_test
