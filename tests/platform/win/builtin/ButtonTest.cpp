// Buttons: clicks by mouse, space and BM_CLICK, check states of the automatic types, radio groups,
// pressed state while held, owner drawing, focus notifications and the default button's frame.
#include "ControlsTestSupport.h"

namespace builtin_test {
namespace {

using ::testing::ElementsAre;
using ButtonTest = ControlsTest;

LRESULT Check(HWND B) { return SendMessage(B, BM_GETCHECK, 0, 0); }

TEST_F(ButtonTest, APressAndReleaseInsideClicksAndAReleaseOutsideDoesNot) {
  HWND B = Child(WC_BUTTON, "OK", BS_PUSHBUTTON, 10, 10, 80, 24);
  D->Press(ScreenOf(B, 10, 10));
  D->Pump();
  EXPECT_EQ(GetFocus(), B);
  EXPECT_TRUE(SendMessage(B, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_TRUE(Commands(B).empty());
  D->MoveTo(ScreenOf(B, 200, 10));
  D->Pump();
  EXPECT_FALSE(SendMessage(B, BM_GETSTATE, 0, 0) & BST_PUSHED);
  D->Release(ScreenOf(B, 200, 10));
  D->Pump();
  EXPECT_TRUE(Commands(B).empty());
  D->Click(ScreenOf(B, 40, 12));
  D->Pump();
  EXPECT_THAT(Commands(B), ElementsAre(BN_CLICKED));
  EXPECT_FALSE(SendMessage(B, BM_GETSTATE, 0, 0) & BST_PUSHED);
  // Space clicks on release; BM_CLICK clicks at once; a disabled button takes no clicks.
  D->KeyDown(VK_SPACE);
  D->Pump();
  EXPECT_TRUE(SendMessage(B, BM_GETSTATE, 0, 0) & BST_PUSHED);
  EXPECT_EQ(CommandCount(B, BN_CLICKED), 1);
  D->KeyUp(VK_SPACE);
  D->Pump();
  EXPECT_EQ(CommandCount(B, BN_CLICKED), 2);
  SendMessage(B, BM_CLICK, 0, 0);
  EXPECT_EQ(CommandCount(B, BN_CLICKED), 3);
  EnableWindow(B, FALSE);
  D->Click(ScreenOf(B, 40, 12));
  D->Pump();
  SendMessage(B, BM_CLICK, 0, 0);
  EXPECT_EQ(CommandCount(B, BN_CLICKED), 3);
}

TEST_F(ButtonTest, AutomaticCheckBoxesChangeStateBeforeTheParentHears) {
  HWND Two = Child(WC_BUTTON, "Two", BS_AUTOCHECKBOX, 10, 10, 100, 20, 1);
  HWND Three = Child(WC_BUTTON, "Three", BS_AUTO3STATE, 10, 40, 100, 20, 2);
  HWND Manual = Child(WC_BUTTON, "Manual", BS_CHECKBOX, 10, 70, 100, 20, 3);
  std::vector<LRESULT> SeenByParent;
  OnParent = [&](UINT Msg, WPARAM W, LPARAM L, LRESULT&) {
    if (Msg == WM_COMMAND && HIWORD(W) == BN_CLICKED) SeenByParent.push_back(Check(reinterpret_cast<HWND>(L)));
    return false;
  };
  for (int I = 0; I < 3; ++I) SendMessage(Three, BM_CLICK, 0, 0);
  for (int I = 0; I < 2; ++I) SendMessage(Two, BM_CLICK, 0, 0);
  SendMessage(Manual, BM_CLICK, 0, 0);
  EXPECT_THAT(SeenByParent, ElementsAre(BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED,
                                        BST_UNCHECKED));
  // BM_SETCHECK: the third state only for three-state boxes.
  SendMessage(Two, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(Check(Two), static_cast<LRESULT>(BST_CHECKED));
  SendMessage(Three, BM_SETCHECK, BST_INDETERMINATE, 0);
  EXPECT_EQ(Check(Three), static_cast<LRESULT>(BST_INDETERMINATE));
  SendMessage(Manual, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(Check(Manual), static_cast<LRESULT>(BST_CHECKED));
  // Push buttons have no check state.
  HWND Push = Child(WC_BUTTON, "Push", BS_PUSHBUTTON, 10, 100, 100, 20, 4);
  SendMessage(Push, BM_SETCHECK, BST_CHECKED, 0);
  EXPECT_EQ(Check(Push), static_cast<LRESULT>(BST_UNCHECKED));
}

TEST_F(ButtonTest, AutomaticRadioButtonsUncheckTheRestOfTheirGroupOnly) {
  HWND A = Child(WC_BUTTON, "A", BS_AUTORADIOBUTTON | WS_GROUP, 10, 10, 100, 20, 1);
  HWND B = Child(WC_BUTTON, "B", BS_AUTORADIOBUTTON, 10, 30, 100, 20, 2);
  HWND C = Child(WC_BUTTON, "C", BS_AUTORADIOBUTTON, 10, 50, 100, 20, 3);
  HWND Other = Child(WC_BUTTON, "X", BS_AUTORADIOBUTTON | WS_GROUP, 10, 80, 100, 20, 4);
  SendMessage(Other, BM_SETCHECK, BST_CHECKED, 0);
  D->Click(ScreenOf(A, 5, 10));
  D->Pump();
  EXPECT_EQ(Check(A), static_cast<LRESULT>(BST_CHECKED));
  D->Click(ScreenOf(C, 5, 10));
  D->Pump();
  EXPECT_EQ(Check(A), static_cast<LRESULT>(BST_UNCHECKED));
  EXPECT_EQ(Check(B), static_cast<LRESULT>(BST_UNCHECKED));
  EXPECT_EQ(Check(C), static_cast<LRESULT>(BST_CHECKED));
  EXPECT_EQ(Check(Other), static_cast<LRESULT>(BST_CHECKED));
  EXPECT_TRUE(GetWindowLongPtr(C, GWL_STYLE) & WS_TABSTOP);
  EXPECT_FALSE(GetWindowLongPtr(A, GWL_STYLE) & WS_TABSTOP);
  // A double click on a radio button is reported as such.
  D->DoubleClick(ScreenOf(B, 5, 10));
  D->Pump();
  EXPECT_EQ(CommandCount(B, BN_DOUBLECLICKED), 1);
  EXPECT_EQ(SendMessage(A, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_RADIOBUTTON);
}

TEST_F(ButtonTest, OwnerDrawnButtonsAskTheParentToDrawEachState) {
  HWND B = Child(WC_BUTTON, "", BS_OWNERDRAW, 10, 10, 60, 24);
  D->Pump();
  ASSERT_FALSE(NotesOf(WM_DRAWITEM).empty());
  EXPECT_EQ(NotesOf(WM_DRAWITEM).back().From, B);
  EXPECT_EQ(NotesOf(WM_DRAWITEM).back().Draw->itemState, 0u);
  D->Press(ScreenOf(B, 5, 5));
  D->Pump();
  EXPECT_EQ(NotesOf(WM_DRAWITEM).back().Draw->itemState, ODS_SELECTED | ODS_FOCUS);
  D->Release(ScreenOf(B, 5, 5));
  D->Pump();
  EXPECT_EQ(NotesOf(WM_DRAWITEM).back().Draw->itemState, ODS_FOCUS);
  EXPECT_EQ(CommandCount(B, BN_CLICKED), 1);
}

TEST_F(ButtonTest, NotifyStyleReportsFocusAndTheDefaultButtonHasAFrame) {
  HWND N = Child(WC_BUTTON, "N", BS_PUSHBUTTON | BS_NOTIFY, 10, 10, 60, 24, 1);
  HWND Def = Child(WC_BUTTON, "Default", BS_DEFPUSHBUTTON, 100, 10, 80, 24, 2);
  SetFocus(N);
  SetFocus(Def);
  EXPECT_THAT(Commands(N), ElementsAre(BN_SETFOCUS, BN_KILLFOCUS));
  EXPECT_TRUE(Commands(Def).empty());
  D->Pump();
  EXPECT_EQ(D->ClientPixel(Def, POINT{0, 10}), GetSysColor(COLOR_WINDOWFRAME));
  EXPECT_EQ(D->ClientPixel(N, POINT{5, 19}), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(SendMessage(Def, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
  // BM_SETSTYLE changes the kind.
  SendMessage(Def, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  EXPECT_EQ(SendMessage(Def, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
  // Enter on a focused push button clicks it.
  D->Key(VK_RETURN);
  D->Pump();
  EXPECT_EQ(CommandCount(Def, BN_CLICKED), 1);
}

TEST_F(ButtonTest, ImagesAndGroupBoxes) {
  HWND B = Child(WC_BUTTON, "", BS_PUSHBUTTON | BS_BITMAP, 10, 10, 60, 40);
  HBITMAP Bmp = CreateBitmap(8, 8, 1, 32, nullptr);
  EXPECT_EQ(SendMessage(B, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(Bmp)), 0);
  EXPECT_EQ(SendMessage(B, BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(Bmp));
  D->Pump();
  EXPECT_EQ(D->ClientPixel(B, POINT{30, 20}), RGB(0, 0, 0));  // the black bitmap, centred
  HWND G = Child(WC_BUTTON, "Group", BS_GROUPBOX, 100, 10, 150, 100, 2);
  D->Click(ScreenOf(G, 70, 60));
  D->Pump();
  EXPECT_TRUE(Commands(G).empty());  // clicks go through a group box
  DestroyWindow(B);
  DeleteObject(Bmp);
}

}  // namespace
}  // namespace builtin_test
