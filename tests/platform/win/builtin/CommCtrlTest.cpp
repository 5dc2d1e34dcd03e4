// Registration of the built-in classes: the names that code subclassing a control looks for.
#include "ControlsTestSupport.h"

namespace controls_test {
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

}  // namespace
}  // namespace controls_test
