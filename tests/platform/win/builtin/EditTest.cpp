// The edit control in a window: text and change notifications, selection and caret, keys typed and
// sent, the clipboard messages, mouse selection, focus, scrolling, margins, painting and multi-line
// text.
#include "ControlsTestSupport.h"

namespace builtin_test {
namespace {

using ::testing::ElementsAre;
using EditTest = ControlsTest;

std::pair<int, int> Sel(HWND E) {
  DWORD A = 0, B = 0;
  SendMessage(E, EM_GETSEL, reinterpret_cast<WPARAM>(&A), reinterpret_cast<LPARAM>(&B));
  return {static_cast<int>(A), static_cast<int>(B)};
}
int CaretOf(HWND E) { return static_cast<int>(SendMessage(E, EM_GETCARETINDEX, 0, 0)); }
int XOf(HWND E, int Pos) { return GET_X_LPARAM(SendMessage(E, EM_POSFROMCHAR, static_cast<WPARAM>(Pos), 0)); }

HWND SingleLine(ControlsTest& T, const char* Text = "", DWORD Style = ES_AUTOHSCROLL) {
  return T.Child(WC_EDIT, Text, Style, 10, 10, 200, 20);
}

TEST_F(EditTest, CreationSetsTheTextSilentlyAndSetTextNotifiesOnceAfterTheUpdate) {
  HWND E = SingleLine(*this, "start");
  EXPECT_EQ(Text(E), "start");
  EXPECT_TRUE(Commands(E).empty());
  SendMessage(E, EM_SETSEL, 2, 4);
  std::string SeenText;
  std::pair<int, int> SeenSel{-1, -1};
  OnParent = [&](UINT Msg, WPARAM W, LPARAM, LRESULT&) {
    if (Msg == WM_COMMAND && HIWORD(W) == EN_CHANGE) {
      SeenText = Text(E);
      SeenSel = Sel(E);
    }
    return false;
  };
  SetWindowText(E, "new text");
  EXPECT_EQ(CommandCount(E, EN_CHANGE), 1);
  EXPECT_EQ(SeenText, "new text");
  EXPECT_EQ(SeenSel, std::make_pair(0, 0));  // the selection collapses at the start
  // The same text again still notifies; the modified flag is cleared by a program's text.
  SendMessage(E, EM_SETMODIFY, TRUE, 0);
  SetWindowText(E, "new text");
  EXPECT_EQ(CommandCount(E, EN_CHANGE), 2);
  EXPECT_FALSE(SendMessage(E, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(SendMessage(E, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_HASSETSEL | DLGC_WANTCHARS);
}

TEST_F(EditTest, TypedKeysEditAndNotifyInsideTheMessageThatChangedTheText) {
  HWND E = SingleLine(*this);
  SetFocus(E);
  D->Pump();
  std::vector<std::string> Seen;
  OnParent = [&](UINT Msg, WPARAM W, LPARAM, LRESULT&) {
    if (Msg == WM_COMMAND && HIWORD(W) == EN_CHANGE) Seen.push_back(Text(E));
    return false;
  };
  D->Type("abc");
  D->Pump();
  EXPECT_EQ(Text(E), "abc");
  EXPECT_THAT(Seen, ElementsAre("a", "ab", "abc"));
  EXPECT_TRUE(SendMessage(E, EM_GETMODIFY, 0, 0));
  // Each EN_CHANGE follows its EN_UPDATE.
  EXPECT_THAT(Commands(E), ElementsAre(EN_SETFOCUS, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE));
  // Keys that change nothing send nothing.
  Seen.clear();
  D->Key(VK_HOME);
  D->Key(VK_BACK);
  D->Key(VK_LEFT);
  D->Pump();
  EXPECT_TRUE(Seen.empty());
  D->Key(VK_DELETE);
  D->Chord({VK_SHIFT}, VK_END);
  D->Type("Z");
  D->Pump();
  EXPECT_EQ(Text(E), "Z");
  EXPECT_EQ(Seen.size(), 2u);
}

TEST_F(EditTest, SelectionMessagesClampAndKeepTheActiveEnd) {
  HWND E = SingleLine(*this, "0123456789");
  struct Case {
    WPARAM Start;
    LPARAM End;
    std::pair<int, int> Sel;
    int Caret;
  } Cases[] = {
      {2, 5, {2, 5}, 5}, {5, 2, {2, 5}, 2}, {0, -1, {0, 10}, 10}, {3, 50, {3, 10}, 10}, {7, 7, {7, 7}, 7},
  };
  for (const Case& C : Cases) {
    SendMessage(E, EM_SETSEL, C.Start, C.End);
    EXPECT_EQ(Sel(E), C.Sel) << C.Start << "," << C.End;
    EXPECT_EQ(CaretOf(E), C.Caret) << C.Start << "," << C.End;
  }
  // EM_GETSEL packs both ends in its answer too.
  SendMessage(E, EM_SETSEL, 1, 4);
  EXPECT_EQ(SendMessage(E, EM_GETSEL, 0, 0), MAKELONG(1, 4));
  // Replacing the selection leaves the caret after the new text and notifies.
  Notes.Clear();
  SendMessage(E, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("ab"));
  EXPECT_EQ(Text(E), "0ab456789");
  EXPECT_EQ(Sel(E), std::make_pair(3, 3));
  EXPECT_EQ(CommandCount(E, EN_CHANGE), 1);
  EXPECT_TRUE(SendMessage(E, EM_CANUNDO, 0, 0));
  SendMessage(E, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(E), "0123456789");
}

TEST_F(EditTest, KeysSentByTheProgramMoveAndEditAsTypedKeys) {
  HWND E = SingleLine(*this, "one two three");
  struct Case {
    int Anchor, Caret;
    WORD Vk;
    bool Shift, Ctrl;
    std::pair<int, int> Sel;
    int CaretAfter;
  } Cases[] = {
      {2, 5, VK_LEFT, false, false, {4, 4}, 4},     // from the active end, collapsed
      {5, 2, VK_RIGHT, false, false, {3, 3}, 3},
      {2, 5, VK_LEFT, true, false, {2, 4}, 4},      // Shift extends from the anchor
      {5, 5, VK_LEFT, true, false, {4, 5}, 4},      // the caret ends at the selection's start
      {6, 6, VK_HOME, true, false, {0, 6}, 0},
      {6, 6, VK_END, false, false, {13, 13}, 13},
      {6, 6, VK_RIGHT, false, true, {8, 8}, 8},     // Ctrl: by words
      {9, 9, VK_LEFT, false, true, {8, 8}, 8},
      {8, 8, VK_LEFT, true, true, {4, 8}, 4},
      {2, 2, VK_UP, false, false, {1, 1}, 1},       // single line: up and down act as left and right
  };
  for (const Case& C : Cases) {
    SendMessage(E, EM_SETSEL, static_cast<WPARAM>(C.Anchor), C.Caret);
    SendKey(E, C.Vk, C.Shift, C.Ctrl);
    EXPECT_EQ(Sel(E), C.Sel) << "key " << C.Vk << " from " << C.Anchor << "," << C.Caret;
    EXPECT_EQ(CaretOf(E), C.CaretAfter) << "key " << C.Vk << " from " << C.Anchor << "," << C.Caret;
  }
  SendMessage(E, EM_SETSEL, 3, 3);
  SendKey(E, VK_DELETE);
  EXPECT_EQ(Text(E), "onetwo three");
  SendChars(E, u"\b\bX");
  EXPECT_EQ(Text(E), "oXtwo three");
  SendMessage(E, EM_SETSEL, 0, 4);
  SendChars(E, u"\b");
  EXPECT_EQ(Text(E), "o three");
}

TEST_F(EditTest, ControlCharactersAndShiftedKeysGoThroughTheClipboardMessages) {
  HWND E = SingleLine(*this, "hello world");
  MessageSpy Spy(E);
  SendMessage(E, EM_SETSEL, 0, 5);
  SendChars(E, u"\x03");  // Ctrl+C
  EXPECT_EQ(ClipboardText(), "hello");
  SendKey(E, VK_DELETE, true);  // Shift+Delete: cut
  EXPECT_EQ(Text(E), " world");
  SendMessage(E, EM_SETSEL, 6, 6);
  SendKey(E, VK_INSERT, true);  // Shift+Insert: paste
  EXPECT_EQ(Text(E), " worldhello");
  SendMessage(E, EM_SETSEL, 1, 6);
  SendKey(E, VK_INSERT, false, true);  // Ctrl+Insert: copy
  EXPECT_EQ(ClipboardText(), "world");
  SendChars(E, u"\x18");  // Ctrl+X
  SendMessage(E, EM_SETSEL, 0, 0);
  SendChars(E, u"\x16");  // Ctrl+V
  EXPECT_EQ(Text(E), "world hello");
  EXPECT_EQ(Spy.Count(WM_COPY), 2);
  EXPECT_EQ(Spy.Count(WM_CUT), 2);
  EXPECT_EQ(Spy.Count(WM_PASTE), 2);
  // Enter is not inserted in a single line, and beeps.
  int Beeps = D->Headless().BeepCount();
  SendChars(E, u"\r");
  EXPECT_EQ(Text(E), "world hello");
  EXPECT_EQ(D->Headless().BeepCount(), Beeps + 1);
}

TEST_F(EditTest, PasteIsCutAtTheFirstLineBreakAndAtTheLimitWhichTellsTheParent) {
  HWND E = SingleLine(*this, "ab");
  SendMessage(E, EM_LIMITTEXT, 6, 0);
  SendMessage(E, EM_SETSEL, 1, 1);
  SetClipboardText("1234\r\nsecond line");
  Notes.Clear();
  SendMessage(E, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(E), "a1234b");
  SendMessage(E, EM_SETSEL, 6, 6);
  SendMessage(E, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(E), "a1234b");
  EXPECT_EQ(CommandCount(E, EN_MAXTEXT), 1);
  EXPECT_EQ(CommandCount(E, EN_CHANGE), 1);
  SendChars(E, u"x");
  EXPECT_EQ(Text(E), "a1234b");
  EXPECT_EQ(CommandCount(E, EN_MAXTEXT), 2);
  // Limit 0 lifts the limit.
  SendMessage(E, EM_LIMITTEXT, 0, 0);
  SendChars(E, u"x");
  EXPECT_EQ(Text(E), "a1234bx");
}

TEST_F(EditTest, ReadOnlyRefusesChangesButCopies) {
  HWND E = SingleLine(*this, "fixed");
  SendMessage(E, EM_SETREADONLY, TRUE, 0);
  EXPECT_TRUE(GetWindowLongPtr(E, GWL_STYLE) & ES_READONLY);
  SendMessage(E, EM_SETSEL, 0, 3);
  SetClipboardText("other");
  Notes.Clear();
  SendChars(E, u"x\b");
  SendMessage(E, WM_CUT, 0, 0);
  SendMessage(E, WM_PASTE, 0, 0);
  SendMessage(E, WM_CLEAR, 0, 0);
  SendKey(E, VK_DELETE);
  EXPECT_EQ(Text(E), "fixed");
  EXPECT_EQ(CommandCount(E, EN_CHANGE), 0);
  SendMessage(E, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardText(), "fix");
}

TEST_F(EditTest, PasswordTextNeverReachesTheClipboard) {
  HWND E = SingleLine(*this, "secret", ES_AUTOHSCROLL | ES_PASSWORD);
  EXPECT_EQ(SendMessage(E, EM_GETPASSWORDCHAR, 0, 0), '*');
  SetClipboardText("before");
  SendMessage(E, EM_SETSEL, 0, -1);
  SendMessage(E, WM_COPY, 0, 0);
  SendMessage(E, WM_CUT, 0, 0);
  SendChars(E, u"\x03\x18");
  EXPECT_EQ(ClipboardText(), "before");
  EXPECT_EQ(Text(E), "secret");
  // Turning the echo off allows copying again.
  SendMessage(E, EM_SETPASSWORDCHAR, 0, 0);
  SendMessage(E, WM_COPY, 0, 0);
  EXPECT_EQ(ClipboardText(), "secret");
}

TEST_F(EditTest, CaseConversionAndNumbersOnlyApplyToEnteredText) {
  HWND Up = SingleLine(*this, "Mixed", ES_AUTOHSCROLL | ES_UPPERCASE);
  SendMessage(Up, EM_SETSEL, 5, 5);
  SendChars(Up, u"ab");
  EXPECT_EQ(Text(Up), "MixedAB");
  HWND Low = Child(WC_EDIT, "", ES_AUTOHSCROLL | ES_LOWERCASE, 10, 40, 100, 20, 101);
  SetClipboardText("PaStE");
  SendMessage(Low, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(Low), "paste");
  HWND Num = Child(WC_EDIT, "", ES_AUTOHSCROLL | ES_NUMBER, 10, 70, 100, 20, 102);
  int Beeps = D->Headless().BeepCount();
  SendChars(Num, u"1a2");
  EXPECT_EQ(Text(Num), "12");
  EXPECT_EQ(D->Headless().BeepCount(), Beeps + 1);
}

TEST_F(EditTest, MouseSelectionPlacesTheCaretDragsAndSelectsWords) {
  HWND E = SingleLine(*this, "alpha beta gamma");
  D->Pump();
  int X6 = XOf(E, 6), X8 = XOf(E, 8), X10 = XOf(E, 10);
  // A click between characters 8 and 9 puts the caret at the nearer side, and the edit has the focus.
  D->Click(ScreenOf(E, X8 + 1, 5));
  D->Pump();
  EXPECT_EQ(GetFocus(), E);
  EXPECT_EQ(Sel(E), std::make_pair(8, 8));
  // The selection is already there when the owner's handler of the press runs.
  MessageSpy Spy(E);
  D->Drag(ScreenOf(E, X6, 5), ScreenOf(E, X10, 5));
  D->Pump();
  EXPECT_EQ(Sel(E), std::make_pair(6, 10));
  EXPECT_EQ(CaretOf(E), 10);
  EXPECT_EQ(GetCapture(), nullptr);
  // Shift+click extends from the anchor.
  BYTE Keys[256];
  GetKeyboardState(Keys);
  D->KeyDown(VK_SHIFT);
  D->Click(ScreenOf(E, XOf(E, 16) + 5, 5));
  D->KeyUp(VK_SHIFT);
  D->Pump();
  EXPECT_EQ(Sel(E), std::make_pair(6, 16));
  // A double click selects the word.
  D->DoubleClick(ScreenOf(E, XOf(E, 2), 5));
  D->Pump();
  EXPECT_EQ(Sel(E), std::make_pair(0, 5));
}

TEST_F(EditTest, FocusShowsTheCaretAndNotifies) {
  HWND E = SingleLine(*this, "abc");
  HWND Other = SingleLine(*this);
  SetWindowPos(Other, nullptr, 10, 40, 100, 20, SWP_NOZORDER);
  SetFocus(E);
  SendMessage(E, EM_SETSEL, 2, 2);
  POINT P;
  ASSERT_TRUE(GetCaretPos(&P));
  EXPECT_EQ(P.x, XOf(E, 2));
  SetFocus(Other);
  EXPECT_THAT(Commands(E), ElementsAre(EN_SETFOCUS, EN_KILLFOCUS));
  EXPECT_THAT(Commands(Other), ElementsAre(EN_SETFOCUS));
}

TEST_F(EditTest, MarginsAndTheFormattingRectangle) {
  HWND E = SingleLine(*this, "text");
  SendMessage(E, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 1));
  EXPECT_EQ(SendMessage(E, EM_GETMARGINS, 0, 0), MAKELONG(0, 1));
  RECT R;
  SendMessage(E, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R.left, 0);
  EXPECT_EQ(R.right, 199);
  EXPECT_EQ(XOf(E, 0), 0);
  SendMessage(E, EM_SETMARGINS, EC_LEFTMARGIN, MAKELONG(7, 0));
  EXPECT_EQ(XOf(E, 0), 7);
  // Margins survive a resize.
  SetWindowPos(E, nullptr, 0, 0, 150, 20, SWP_NOMOVE | SWP_NOZORDER);
  SendMessage(E, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R.left, 7);
  EXPECT_EQ(R.right, 149);
  RECT Custom{20, 2, 100, 18};
  SendMessage(E, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&Custom));
  EXPECT_EQ(XOf(E, 0), 20);
}

TEST_F(EditTest, AlignmentAndAutomaticScrollingKeepTheCaretInView) {
  HWND Right = Child(WC_EDIT, "abc", ES_RIGHT | ES_AUTOHSCROLL, 10, 10, 200, 20, 101);
  SendMessage(Right, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  EXPECT_EQ(XOf(Right, 3), 200);
  HWND Centre = Child(WC_EDIT, "abc", ES_CENTER | ES_AUTOHSCROLL, 10, 40, 200, 20, 102);
  SendMessage(Centre, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  EXPECT_EQ(XOf(Centre, 0) + XOf(Centre, 3), 200);

  HWND E = Child(WC_EDIT, "", ES_AUTOHSCROLL, 10, 70, 60, 20, 103);
  SetFocus(E);
  std::string Long(40, 'w');
  SendMessage(E, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Long.c_str()));
  int X = XOf(E, 40);
  EXPECT_GE(X, 0);
  EXPECT_LE(X, 60);
  EXPECT_GT(SendMessage(E, EM_GETFIRSTVISIBLELINE, 0, 0), 0);  // first visible character
  SendKey(E, VK_HOME);
  EXPECT_EQ(XOf(E, 0), 1);
  // Without ES_AUTOHSCROLL text wider than the box is refused.
  HWND Fixed = Child(WC_EDIT, "", 0, 10, 100, 40, 20, 104);
  Notes.Clear();
  SendChars(Fixed, u"wwwwwwwwwwwwwwwwwwww");
  EXPECT_LT(Text(Fixed).size(), 20u);
  EXPECT_GT(CommandCount(Fixed, EN_MAXTEXT), 0);
}

TEST_F(EditTest, KeepsWorkingWhenClippedAway) {
  HWND E = SingleLine(*this, "abc");
  SetFocus(E);
  SetWindowRgn(E, CreateRectRgn(0, 0, 0, 0), TRUE);
  D->Pump();
  EXPECT_EQ(GetFocus(), E);
  D->Key(VK_END);
  D->Type("d");
  D->Pump();
  SendKey(E, VK_LEFT);
  SendChars(E, u"\b");
  D->Pump();
  EXPECT_EQ(Text(E), "abd");
  EXPECT_EQ(CaretOf(E), 2);
}

TEST_F(EditTest, InputMethodTextAndCharactersBeyondTheBasicPlane) {
  HWND E = SingleLine(*this);
  SetFocus(E);
  D->TypeIme(u"频道");
  D->Pump();
  EXPECT_EQ(Text(E), "频道");
  SendChars(E, u"\U0001F600");  // a surrogate pair is one character
  EXPECT_EQ(Text(E), "频道\xF0\x9F\x98\x80");
  EXPECT_EQ(Sel(E), std::make_pair(3, 3));
  SendChars(E, u"\b");
  EXPECT_EQ(Text(E), "频道");
  EXPECT_EQ(SendMessage(E, WM_GETTEXTLENGTH, 0, 0), 6);
}

TEST_F(EditTest, UndoMessagesAndTheModifiedFlag) {
  HWND E = SingleLine(*this, "base");
  EXPECT_FALSE(SendMessage(E, EM_CANUNDO, 0, 0));
  SendMessage(E, EM_SETSEL, 4, 4);
  SendChars(E, u"123");
  EXPECT_TRUE(SendMessage(E, EM_GETMODIFY, 0, 0));
  EXPECT_TRUE(SendMessage(E, WM_UNDO, 0, 0));
  EXPECT_EQ(Text(E), "base");
  SendChars(E, u"\x1A");  // Ctrl+Z undoes the undo
  EXPECT_EQ(Text(E), "base123");
  SendMessage(E, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_FALSE(SendMessage(E, EM_CANUNDO, 0, 0));
  SendMessage(E, EM_SETMODIFY, FALSE, 0);
  EXPECT_FALSE(SendMessage(E, EM_GETMODIFY, 0, 0));
}

TEST_F(EditTest, PaintsBackgroundTextAndSelectionInTheirColours) {
  HBRUSH Yellow = CreateSolidBrush(RGB(255, 255, 0));
  HWND E = SingleLine(*this, "MMMM");
  OnParent = [&](UINT Msg, WPARAM W, LPARAM, LRESULT& R) {
    if (Msg != WM_CTLCOLOREDIT) return false;
    SetTextColor(reinterpret_cast<HDC>(W), RGB(0, 0, 255));
    SetBkColor(reinterpret_cast<HDC>(W), RGB(255, 255, 0));
    R = reinterpret_cast<LRESULT>(Yellow);
    return true;
  };
  InvalidateRect(E, nullptr, TRUE);
  D->Pump();
  EXPECT_EQ(D->ClientPixel(E, POINT{150, 10}), RGB(255, 255, 0));
  auto Count = [&](COLORREF C, int From, int To) {
    int N = 0;
    for (int X = From; X < To; ++X)
      for (int Y = 0; Y < 20; ++Y) N += D->ClientPixel(E, POINT{X, Y}) == C;
    return N;
  };
  int End = XOf(E, 4);
  EXPECT_GT(Count(RGB(0, 0, 255), 0, End), 0);
  // The selection shows only while focused.
  SendMessage(E, EM_SETSEL, 0, 2);
  D->Pump();
  EXPECT_EQ(Count(GetSysColor(COLOR_HIGHLIGHT), 0, End), 0);
  SetFocus(E);
  D->Pump();
  EXPECT_GT(Count(GetSysColor(COLOR_HIGHLIGHT), XOf(E, 0), XOf(E, 2)), 0);
  EXPECT_EQ(Count(GetSysColor(COLOR_HIGHLIGHT), XOf(E, 2) + 1, End), 0);
  DestroyWindow(E);
  DeleteObject(Yellow);
}

TEST_F(EditTest, MultiLineTextWrapsScrollsAndAnswersLineQueries) {
  HWND E = Child(WC_EDIT, "", ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, 10, 10, 120, 34);
  SetWindowText(E, "first line\r\nsecond\r\nthird");
  EXPECT_TRUE(Commands(E).empty());  // a multi-line control's WM_SETTEXT does not notify
  EXPECT_EQ(SendMessage(E, EM_GETLINECOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(E, EM_LINEINDEX, 1, 0), 12);
  EXPECT_EQ(SendMessage(E, EM_LINEINDEX, 5, 0), -1);
  EXPECT_EQ(SendMessage(E, EM_LINELENGTH, 13, 0), 6);
  EXPECT_EQ(SendMessage(E, EM_LINEFROMCHAR, 20, 0), 2);
  char Buf[32] = {};
  *reinterpret_cast<WORD*>(Buf) = sizeof Buf;
  LRESULT N = SendMessage(E, EM_GETLINE, 1, reinterpret_cast<LPARAM>(Buf));
  EXPECT_EQ(std::string(Buf, static_cast<size_t>(N)), "second");
  // Enter breaks the line; Up and Down keep the column as near as they can.
  SendMessage(E, EM_SETSEL, 14, 14);
  SendChars(E, u"\r");
  EXPECT_EQ(Text(E), "first line\r\nse\r\ncond\r\nthird");
  SendKey(E, VK_DOWN);
  EXPECT_EQ(SendMessage(E, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 3);
  SendKey(E, VK_UP);
  SendKey(E, VK_UP);
  EXPECT_EQ(SendMessage(E, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1);
  // Long words wrap within the width.
  SetWindowText(E, "aaa bbb ccc ddd eee fff ggg hhh iii jjj kkk lll mmm nnn");
  EXPECT_GE(SendMessage(E, EM_GETLINECOUNT, 0, 0), 4);
  // Scrolling by lines, by the scroll bar (with EN_VSCROLL) and to the caret.
  SendMessage(E, EM_LINESCROLL, 0, 2);
  EXPECT_EQ(SendMessage(E, EM_GETFIRSTVISIBLELINE, 0, 0), 2);
  Notes.Clear();
  SendMessage(E, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(SendMessage(E, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
  EXPECT_EQ(CommandCount(E, EN_VSCROLL), 1);
  SCROLLINFO Si;
  Si.fMask = SIF_POS;
  GetScrollInfo(E, SB_VERT, &Si);
  EXPECT_EQ(Si.nPos, 1);
  SendMessage(E, EM_SETSEL, 0, 0);
  SendMessage(E, EM_SCROLLCARET, 0, 0);
  EXPECT_EQ(SendMessage(E, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  // The character at a point, with its line.
  LRESULT At = SendMessage(E, EM_CHARFROMPOS, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(At, MAKELONG(0, 0));
}

}  // namespace
}  // namespace builtin_test
