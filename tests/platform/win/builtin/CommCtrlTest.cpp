// Registration of the built-in classes: the names that code subclassing a control looks for; what all
// the classes share: a parent may destroy a control from any notification it sends.
#include "ControlsTestSupport.h"

namespace builtin_test {
namespace {

using CommCtrlTest = ControlsTest;

TEST_F(CommCtrlTest, ControlsAnswerWithTheirClassNames) {
  for (const char* Name : {WC_EDIT, WC_BUTTON, WC_STATIC, WC_SCROLLBAR, UPDOWN_CLASS, PROGRESS_CLASS, WC_LISTBOX,
                           WC_COMBOBOX, WC_TREEVIEW, STATUSCLASSNAME, TOOLBARCLASSNAME, WC_TABCONTROL}) {
    HWND H = Child(Name, "", 0, 0, 0, 20, 20);
    char Got[64] = {};
    GetClassName(H, Got, sizeof Got);
    EXPECT_STREQ(Got, Name);
    DestroyWindow(H);
  }
  // Look-ups ignore case, as callers spell the standard classes in capitals.
  HWND Upper = Child("EDIT", "x", 0, 0, 0, 20, 20);
  EXPECT_EQ(SendMessage(Upper, EM_GETLIMITTEXT, 0, 0), 30000);
  INITCOMMONCONTROLSEX Bad;
  Bad.dwSize = 3;
  EXPECT_FALSE(InitCommonControlsEx(&Bad));
  INITCOMMONCONTROLSEX Good;
  Good.dwICC = ICC_WIN95_CLASSES;
  EXPECT_TRUE(InitCommonControlsEx(&Good));
}

// The parent destroys the control when it hears the notification; the control must not touch its
// state afterwards (the sanitizer sees any access to the freed record).
TEST_F(CommCtrlTest, AControlDestroyedByItsParentInANotificationStopsThere) {
  const struct {
    const char* What;
    const char* Class;
    DWORD Style;
    UINT Message;  // WM_COMMAND or WM_NOTIFY
    UINT Code;
    std::function<void(HWND)> Fill;
    std::function<void(HWND)> Act;
  } Cases[] = {
      {"edit, typing", WC_EDIT, 0, WM_COMMAND, EN_UPDATE, nullptr, [](HWND H) { SendChars(H, u"a"); }},
      {"list box, arrow key", WC_LISTBOX, LBS_NOTIFY, WM_COMMAND, LBN_SELCHANGE,
       [](HWND H) {
         for (const char* T : {"one", "two"}) SendMessage(H, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(T));
       },
       [](HWND H) { SendKey(H, VK_DOWN); }},
      {"combo box, arrow key", WC_COMBOBOX, CBS_DROPDOWNLIST, WM_COMMAND, CBN_SELCHANGE,
       [](HWND H) {
         for (const char* T : {"one", "two"}) SendMessage(H, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(T));
       },
       [](HWND H) { SendKey(H, VK_DOWN); }},
      {"tree view, any key", WC_TREEVIEW, 0, WM_NOTIFY, static_cast<UINT>(TVN_KEYDOWN),
       [](HWND H) {
         TVINSERTSTRUCT Is{};
         Is.hInsertAfter = TVI_LAST;
         Is.item.mask = TVIF_TEXT;
         Is.item.pszText = const_cast<char*>("root");
         SendMessage(H, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&Is));
       },
       [](HWND H) { SendKey(H, VK_DOWN); }},
      {"button, space bar", WC_BUTTON, BS_PUSHBUTTON, WM_COMMAND, BN_CLICKED, nullptr,
       [](HWND H) { SendKey(H, VK_SPACE); }},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    HWND H = Child(C.Class, "", C.Style, 10, 10, 150, 100);
    if (C.Fill) C.Fill(H);
    SetFocus(H);
    bool Heard = false;
    OnParent = [&](UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT&) {
      const bool Match = Msg == WM_COMMAND ? HIWORD(WParam) == C.Code && reinterpret_cast<HWND>(LParam) == H
                         : Msg == WM_NOTIFY ? reinterpret_cast<NMHDR*>(LParam)->hwndFrom == H &&
                                                  reinterpret_cast<NMHDR*>(LParam)->code == C.Code
                                            : false;
      if (!Match || Msg != C.Message || Heard) return false;
      Heard = true;
      DestroyWindow(H);
      return true;
    };
    C.Act(H);
    OnParent = nullptr;
    D->Pump();
    EXPECT_TRUE(Heard);
    EXPECT_FALSE(IsWindow(H));
  }
}

}  // namespace
}  // namespace builtin_test
