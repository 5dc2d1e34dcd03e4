// Message boxes: answers by the test seam, by clicks and by keys; modality (the owner disabled, timers
// and sends from other threads still handled); the layout centred on the owner.
#include <thread>

#include "MenuTestSupport.h"

namespace winui_test {
namespace {

class MessageBoxTest : public WinUiTest {
protected:
  void SetUp() override {
    WinUiTest::SetUp();
    Owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 150, 600, 400);
    D->Pump();
  }
  void TearDown() override {
    k58::winui::SetMessageBoxHandler(nullptr);
    WinUiTest::TearDown();
  }
  HWND Owner = nullptr;
};

TEST_F(MessageBoxTest, TheHandlerSeesTheShownBoxAndAnswersForIt) {
  k58::winui::MessageBoxInfo Got;
  bool OwnerEnabled = true;
  k58::winui::SetMessageBoxHandler([&](const k58::winui::MessageBoxInfo& I) {
    Got = I;
    OwnerEnabled = IsWindowEnabled(Owner) != FALSE;
    EXPECT_TRUE(IsWindowVisible(I.Box));
    EXPECT_EQ(GetActiveWindow(), I.Box);
    return IDNO;
  });
  int Beeps = D->Headless().BeepCount();
  EXPECT_EQ(MessageBox(Owner, "Save the changes?", "K58", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(Got.Text, "Save the changes?");
  EXPECT_EQ(Got.Caption, "K58");
  EXPECT_EQ(Got.Owner, Owner);
  EXPECT_EQ(Got.Type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_FALSE(OwnerEnabled);
  EXPECT_TRUE(IsWindowEnabled(Owner));
  EXPECT_FALSE(IsWindow(Got.Box));
  EXPECT_EQ(GetActiveWindow(), Owner);
  EXPECT_EQ(D->Headless().BeepCount(), Beeps + 1);
  EXPECT_EQ(D->Headless().LastBeep(), MB_ICONQUESTION);
}

TEST_F(MessageBoxTest, AClickOnAButtonAnswersIt) {
  k58::winui::SetMessageBoxHandler([&](const k58::winui::MessageBoxInfo& I) {
    HWND Retry = k58::winui::MessageBoxButton(I.Box, IDRETRY);
    EXPECT_NE(Retry, nullptr);
    EXPECT_EQ(k58::winui::MessageBoxButton(I.Box, IDOK), nullptr);
    RECT R;
    GetWindowRect(Retry, &R);
    D->Click(Centre(R));
    return 0;
  });
  EXPECT_EQ(MessageBox(Owner, "The radio did not answer.", "Read", MB_RETRYCANCEL | MB_ICONERROR), IDRETRY);
}

TEST_F(MessageBoxTest, EnterEscapeAndLettersAnswerByTheButtons) {
  struct Case {
    UINT Type;
    std::vector<WORD> Keys;
    int Answer;
  } Cases[] = {
      {MB_OK, {VK_RETURN}, IDOK},
      {MB_OK, {VK_ESCAPE}, IDOK},
      {MB_OKCANCEL, {VK_ESCAPE}, IDCANCEL},
      {MB_OKCANCEL | MB_DEFBUTTON2, {VK_RETURN}, IDCANCEL},
      {MB_YESNO | MB_DEFBUTTON2, {VK_RETURN}, IDNO},
      {MB_YESNO, {VK_ESCAPE, 'Y'}, IDYES},  // a question needs its answer: Esc does nothing
      {MB_YESNOCANCEL, {VK_TAB, VK_TAB, VK_SPACE}, IDCANCEL},
      {MB_ABORTRETRYIGNORE, {'I'}, IDIGNORE},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {VK_LEFT, VK_RETURN}, IDRETRY},
  };
  for (const Case& C : Cases) {
    k58::winui::SetMessageBoxHandler([&](const k58::winui::MessageBoxInfo&) {
      for (WORD K : C.Keys) D->Key(K);
      return 0;
    });
    EXPECT_EQ(MessageBox(Owner, "Text", "Caption", C.Type), C.Answer) << std::hex << C.Type;
  }
}

TEST_F(MessageBoxTest, TheBoxIsCentredOnItsOwnerWithItsButtonsInARow) {
  RECT Box{}, OwnerR;
  std::vector<RECT> Buttons;
  k58::winui::SetMessageBoxHandler([&](const k58::winui::MessageBoxInfo& I) {
    GetWindowRect(I.Box, &Box);
    for (int Id : {IDYES, IDNO, IDCANCEL}) {
      RECT R{};
      GetWindowRect(k58::winui::MessageBoxButton(I.Box, Id), &R);
      Buttons.push_back(R);
    }
    EXPECT_TRUE(GetWindowLong(I.Box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    char Cls[32] = {};
    GetClassName(I.Box, Cls, sizeof Cls);
    EXPECT_STREQ(Cls, "#32770");
    return IDCANCEL;
  });
  MessageBox(Owner, "A longer text that takes some room in the box", "Layout",
             MB_YESNOCANCEL | MB_ICONWARNING | MB_TOPMOST);
  GetWindowRect(Owner, &OwnerR);
  EXPECT_LE(std::abs((Box.left + Box.right) - (OwnerR.left + OwnerR.right)), 1);
  EXPECT_LE(std::abs((Box.top + Box.bottom) - (OwnerR.top + OwnerR.bottom)), 1);
  ASSERT_EQ(Buttons.size(), 3u);
  for (size_t K = 0; K < 3; ++K) {
    EXPECT_EQ(Buttons[K].top, Buttons[0].top);
    EXPECT_GE(Buttons[K].left, Box.left);
    EXPECT_LE(Buttons[K].right, Box.right);
    if (K) {
      EXPECT_GT(Buttons[K].left, Buttons[K - 1].right);
    }
  }
}

TEST_F(MessageBoxTest, TheLoopKeepsServingTimersAndSendsFromOtherThreads) {
  int Timers = 0;
  int Sent = 0;
  HWND Box = nullptr;
  Handle(Owner, [&](HWND, UINT Msg, WPARAM, LPARAM, LRESULT& R) {
    if (Msg == WM_TIMER && ++Timers == 1 && Sent) PostMessage(k58::winui::MessageBoxButton(Box, IDOK), WM_KEYDOWN, VK_RETURN, 0);
    if (Msg == WM_APP) {
      ++Sent;
      R = 5;
      return true;
    }
    return Msg == WM_TIMER;
  });
  SetTimer(Owner, 1, 100, nullptr);
  std::thread Other;
  LRESULT Answer = 0;
  k58::winui::SetMessageBoxHandler([&](const k58::winui::MessageBoxInfo& I) {
    Box = I.Box;
    Other = std::thread([&] { Answer = SendMessage(Owner, WM_APP, 0, 0); });
    D->Later([&] {
      // Waits for the other thread's send to have been handled by this loop.
      MSG M;
      while (Sent == 0) PeekMessage(&M, nullptr, 0, 0, PM_NOREMOVE);
    });
    D->AdvanceLater(150);  // then the timer fires and answers the box
    return 0;
  });
  EXPECT_EQ(MessageBox(nullptr, "Reading...", "K58", MB_OK), IDOK);
  Other.join();
  EXPECT_EQ(Answer, 5);
  EXPECT_GE(Timers, 1);
  KillTimer(Owner, 1);
  // Without an owner every window of the thread waited; they are enabled again.
  EXPECT_TRUE(IsWindowEnabled(Owner));
}

TEST_F(MessageBoxTest, BadButtonKindsAreRefused) {
  EXPECT_EQ(MessageBox(Owner, "x", "y", 0x0000000E), 0);
  EXPECT_EQ(MessageBox(reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234)), "x", "y", MB_OK), 0);
}

}  // namespace
}  // namespace winui_test
