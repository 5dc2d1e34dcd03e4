// The progress bar: range, position, step and the bar it draws.
#include "ControlsTestSupport.h"

namespace builtin_test {
namespace {

using ProgressTest = ControlsTest;

TEST_F(ProgressTest, PositionMessagesClampAndAnswerThePreviousValue) {
  HWND P = Child(PROGRESS_CLASS, "", 0, 10, 10, 200, 20);
  EXPECT_EQ(SendMessage(P, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(SendMessage(P, PBM_GETRANGE, FALSE, 0), 100);
  EXPECT_EQ(SendMessage(P, PBM_SETRANGE, 0, MAKELPARAM(10, 60)), MAKELONG(0, 100));
  struct Case {
    UINT Msg;
    WPARAM W;
    LRESULT Answer;
    int Pos;
  } Cases[] = {
      {PBM_SETPOS, 30, 10, 30},   {PBM_DELTAPOS, 5, 30, 35},  {PBM_SETPOS, 500, 35, 60},
      {PBM_SETPOS, 0, 60, 10},    {PBM_SETSTEP, 20, 10, 10},  {PBM_STEPIT, 0, 10, 30},
      {PBM_STEPIT, 0, 30, 50},    {PBM_STEPIT, 0, 50, 20},  // past the end it starts over
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(SendMessage(P, C.Msg, C.W, 0), C.Answer) << C.Msg;
    EXPECT_EQ(SendMessage(P, PBM_GETPOS, 0, 0), C.Pos) << C.Msg;
  }
  SendMessage(P, PBM_SETRANGE32, 1000, 200000);
  PBRANGE R;
  SendMessage(P, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R.iLow, 1000);
  EXPECT_EQ(R.iHigh, 200000);
  EXPECT_EQ(SendMessage(P, PBM_GETPOS, 0, 0), 1000);
}

TEST_F(ProgressTest, DrawsTheFilledPartInTheBarColour) {
  HWND P = Child(PROGRESS_CLASS, "", PBS_SMOOTH, 10, 10, 202, 20, 1);
  SendMessage(P, PBM_SETPOS, 25, 0);
  SendMessage(P, PBM_SETBARCOLOR, 0, RGB(0, 200, 0));
  D->Pump();
  EXPECT_EQ(D->ClientPixel(P, POINT{20, 10}), RGB(0, 200, 0));
  EXPECT_EQ(D->ClientPixel(P, POINT{49, 10}), RGB(0, 200, 0));
  EXPECT_EQ(D->ClientPixel(P, POINT{60, 10}), GetSysColor(COLOR_BTNFACE));
  HWND V = Child(PROGRESS_CLASS, "", PBS_SMOOTH | PBS_VERTICAL, 250, 10, 20, 102, 2);
  SendMessage(V, PBM_SETPOS, 50, 0);
  SendMessage(V, PBM_SETBKCOLOR, 0, RGB(255, 255, 255));
  D->Pump();
  EXPECT_EQ(D->ClientPixel(V, POINT{10, 90}), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(D->ClientPixel(V, POINT{10, 20}), RGB(255, 255, 255));
}

}  // namespace
}  // namespace builtin_test
