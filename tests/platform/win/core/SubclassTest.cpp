// Replacing window procedures and the default window procedure.
#include "WinCoreTestSupport.h"
#include "platform/win/core/WinCoreExt.h"

namespace wincore_test {
namespace {

using SubclassTest = WinCoreTest;

// Two subclass procedures that each add their mark to WM_APP's answer and pass everything on.
WNDPROC InnerPrevious = nullptr;
WNDPROC OuterPrevious = nullptr;

LRESULT CALLBACK InnerProc(HWND H, UINT M, WPARAM W, LPARAM L) {
  LRESULT R = CallWindowProc(InnerPrevious, H, M, W, L);
  return M == WM_APP ? R * 10 + 2 : R;
}

LRESULT CALLBACK OuterProc(HWND H, UINT M, WPARAM W, LPARAM L) {
  if (M == WM_APP + 1) return -1;  // swallowed here
  LRESULT R = CallWindowProc(OuterPrevious, H, M, W, L);
  return M == WM_APP ? R * 10 + 3 : R;
}

TEST_F(SubclassTest, SubclassesChainToTheProcedureTheyReplaced) {
  HWND H = MakeWindow();
  HWND Other = MakeWindow();
  SetHandler([](HWND W, UINT M, WPARAM Wp, LPARAM L) -> LRESULT { return M == WM_APP ? 1 : DefWindowProc(W, M, Wp, L); });

  InnerPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtr(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InnerProc)));
  OuterPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtr(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterProc)));
  EXPECT_EQ(InnerPrevious, TestWndProc);
  EXPECT_EQ(OuterPrevious, InnerProc);
  EXPECT_EQ(GetWindowLongPtr(H, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(OuterProc));

  // Outer runs first, then inner, then the original; posted messages take the same way.
  EXPECT_EQ(SendMessage(H, WM_APP, 0, 0), 123);
  PostMessage(H, WM_APP, 0, 0);
  MSG M;
  ASSERT_TRUE(PeekMessage(&M, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(DispatchMessage(&M), 123);
  Log().Clear();
  EXPECT_EQ(SendMessage(H, WM_APP + 1, 0, 0), -1);
  EXPECT_TRUE(Log().Items().empty());

  // The class and the other windows keep the original procedure.
  EXPECT_EQ(GetClassLongPtr(H, GCLP_WNDPROC), reinterpret_cast<ULONG_PTR>(TestWndProc));
  EXPECT_EQ(SendMessage(Other, WM_APP, 0, 0), 1);

  // Taking the subclasses off in reverse order restores the original behaviour.
  EXPECT_EQ(SetWindowLongPtr(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterPrevious)),
            reinterpret_cast<LONG_PTR>(OuterProc));
  EXPECT_EQ(SendMessage(H, WM_APP, 0, 0), 12);
  SetWindowLongPtr(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InnerPrevious));
  EXPECT_EQ(SendMessage(H, WM_APP, 0, 0), 1);

  // A window cannot be left without a procedure.
  EXPECT_EQ(SetWindowLongPtr(H, GWLP_WNDPROC, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(CallWindowProc(nullptr, H, WM_APP, 0, 0), 0);
}

TEST_F(SubclassTest, DefaultProcedureHandlesTextAndClosing) {
  HWND H = MakeWindow(nullptr, 0, "Title");
  char Text[16];
  EXPECT_EQ(DefWindowProc(H, WM_GETTEXTLENGTH, 0, 0), 5);
  EXPECT_EQ(DefWindowProc(H, WM_GETTEXT, sizeof Text, reinterpret_cast<LPARAM>(Text)), 5);
  EXPECT_STREQ(Text, "Title");
  EXPECT_EQ(DefWindowProc(H, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("New")), TRUE);
  EXPECT_EQ(GetWindowTextLength(H), 3);
  EXPECT_EQ(DefWindowProc(H, WM_SETTEXT, 0, 0), TRUE);
  EXPECT_EQ(GetWindowTextLength(H), 0);

  // The system close command becomes WM_CLOSE, whose default destroys the window.
  Log().Clear();
  DefWindowProc(H, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindow(H));
  EXPECT_EQ(Messages(H), (std::vector<UINT>{WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(SubclassTest, TheVisualLayerExtendsTheDefaultProcedure) {
  struct Extension : k58::wincore::WindowSystemExtension {
    bool DefWindowProc(HWND, UINT Msg, WPARAM, LPARAM, LRESULT& Result) override {
      if (Msg != WM_NCHITTEST && Msg != WM_CLOSE) return false;
      Result = Msg == WM_NCHITTEST ? HTCAPTION : 0;
      return true;
    }
  } Ext;
  k58::wincore::SetWindowSystemExtension(&Ext);
  HWND H = MakeWindow();
  EXPECT_EQ(SendMessage(H, WM_NCHITTEST, 0, 0), HTCAPTION);
  SendMessage(H, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(H));
  EXPECT_EQ(SendMessage(H, WM_QUERYENDSESSION, 0, 0), TRUE);
  k58::wincore::SetWindowSystemExtension(nullptr);
}

}  // namespace
}  // namespace wincore_test
