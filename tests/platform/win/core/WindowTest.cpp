// Window classes, window records and the window tree.
#include <cstring>
#include <stdexcept>
#include <string>

#include "WinCoreTestSupport.h"

namespace wincore_test {
namespace {

using WindowTest = WinCoreTest;

LRESULT CALLBACK PlainProc(HWND H, UINT M, WPARAM W, LPARAM L) { return DefWindowProc(H, M, W, L); }

TEST_F(WindowTest, ClassNamesIgnoreCaseAndCannotBeRegisteredTwice) {
  WNDCLASSEX C;
  C.lpfnWndProc = PlainProc;
  C.style = CS_DBLCLKS;
  C.cbWndExtra = 8;
  C.lpszClassName = "sioComWindow";
  ATOM Atom = RegisterClassEx(&C);
  ASSERT_NE(Atom, 0);

  C.lpszClassName = "SIOCOMWINDOW";
  SetLastError(0);
  EXPECT_EQ(RegisterClassEx(&C), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

  WNDCLASS Info;
  ASSERT_TRUE(GetClassInfo(nullptr, "SioComWindow", &Info));
  EXPECT_EQ(Info.lpfnWndProc, PlainProc);
  EXPECT_EQ(Info.style, static_cast<UINT>(CS_DBLCLKS));
  EXPECT_EQ(Info.cbWndExtra, 8);
  EXPECT_STREQ(Info.lpszClassName, "sioComWindow");

  // By atom as well as by name; the name keeps the case it was registered with.
  HWND H = CreateWindowEx(0, MAKEINTATOM(Atom), "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(H);
  char Name[32];
  EXPECT_EQ(GetClassName(H, Name, sizeof Name), 12);
  EXPECT_STREQ(Name, "sioComWindow");
  EXPECT_EQ(GetClassLongPtr(H, GCW_ATOM), Atom);

  // A class with windows stays registered.
  EXPECT_FALSE(UnregisterClass("sioComWindow", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
  DestroyWindow(H);
  EXPECT_TRUE(UnregisterClass("sioComWindow", nullptr));
  EXPECT_FALSE(GetClassInfo(nullptr, "sioComWindow", &Info));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_DOES_NOT_EXIST);
}

TEST_F(WindowTest, BadClassRegistrationsAndCreationsFail) {
  struct Case {
    const char* What;
    WNDCLASS Class;
  };
  WNDCLASS NoName;
  NoName.lpfnWndProc = PlainProc;
  WNDCLASS NoProc;
  NoProc.lpszClassName = "NoProc";
  WNDCLASS NegativeExtra;
  NegativeExtra.lpfnWndProc = PlainProc;
  NegativeExtra.lpszClassName = "NegativeExtra";
  NegativeExtra.cbWndExtra = -4;
  for (const Case& C : {Case{"no name", NoName}, Case{"no procedure", NoProc}, Case{"negative extra", NegativeExtra}}) {
    SetLastError(0);
    EXPECT_EQ(RegisterClass(&C.Class), 0) << C.What;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << C.What;
  }

  SetLastError(0);
  EXPECT_FALSE(CreateWindowEx(0, "NoSuchClass", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
  EXPECT_FALSE(MakeWindow(nullptr, WS_CHILD));
  EXPECT_EQ(GetLastError(), ERROR_TLW_WITH_WSCHILD);
  EXPECT_FALSE(MakeWindow(reinterpret_cast<HWND>(0x7654320), WS_CHILD));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowTest, CreationSendsNcCreateThenCreateWithTheCreationData) {
  int Param = 0;
  std::vector<std::string> Steps;
  SetHandler([&](HWND H, UINT M, WPARAM W, LPARAM L) -> LRESULT {
    if (M == WM_NCCREATE || M == WM_CREATE) {
      auto* Cs = reinterpret_cast<CREATESTRUCT*>(L);
      EXPECT_EQ(Cs->lpCreateParams, &Param);
      EXPECT_STREQ(Cs->lpszName, "Port");
      EXPECT_EQ(Cs->cx, 120);
      char Text[16] = "?";
      GetWindowText(H, Text, sizeof Text);
      Steps.push_back((M == WM_NCCREATE ? "nccreate:" : "create:") + std::string(Text));
    }
    return DefWindowProc(H, M, W, L);
  });
  HWND H = CreateWindowEx(0, TestClass, "Port", 0, 1, 2, 120, 40, nullptr, nullptr, nullptr, &Param);
  ASSERT_TRUE(H);
  Made().push_back(H);
  // The default handling of WM_NCCREATE stores the title.
  EXPECT_EQ(Steps, (std::vector<std::string>{"nccreate:", "create:Port"}));
}

TEST_F(WindowTest, RefusedCreationLeavesNoWindow) {
  struct Case {
    UINT RefusingMessage;
    LRESULT Answer;
    std::vector<UINT> Expected;
  };
  for (const Case& C : {Case{WM_NCCREATE, FALSE, {WM_NCCREATE, WM_NCDESTROY}},
                        Case{WM_CREATE, -1, {WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}}}) {
    HWND Seen = nullptr;
    SetHandler([&](HWND H, UINT M, WPARAM W, LPARAM L) -> LRESULT {
      Seen = H;
      return M == C.RefusingMessage ? C.Answer : DefWindowProc(H, M, W, L);
    });
    Log().Clear();
    EXPECT_FALSE(MakeWindow());
    EXPECT_FALSE(IsWindow(Seen));
    EXPECT_EQ(Messages(nullptr, false), C.Expected);
  }
}

TEST_F(WindowTest, DestroyWindowDestroysTopDownThenFreesBottomUp) {
  HWND Parent = MakeWindow(nullptr, 0, "parent");
  HWND First = MakeWindow(Parent, WS_CHILD, "first", 1);
  HWND Grandchild = MakeWindow(First, WS_CHILD, "grandchild", 3);
  HWND Second = MakeWindow(Parent, WS_CHILD, "second", 2);
  bool ChildrenAliveDuringParentDestroy = false;
  SetHandler([&](HWND H, UINT M, WPARAM W, LPARAM L) -> LRESULT {
    if (M == WM_DESTROY && H == Parent)
      ChildrenAliveDuringParentDestroy = IsWindow(First) && IsWindow(Second) && IsWindow(Grandchild);
    return DefWindowProc(H, M, W, L);
  });
  Log().Clear();
  ASSERT_TRUE(DestroyWindow(Parent));

  std::vector<std::pair<HWND, UINT>> Order;
  for (const Message& S : Log().Items())
    if (S.Msg == WM_DESTROY || S.Msg == WM_NCDESTROY) Order.emplace_back(S.Hwnd, S.Msg);
  auto At = [&](HWND H, UINT M) {
    return std::find(Order.begin(), Order.end(), std::make_pair(H, M)) - Order.begin();
  };
  ASSERT_EQ(Order.size(), 8u);
  EXPECT_EQ(Order.front(), std::make_pair(Parent, WM_DESTROY));
  EXPECT_LT(At(First, WM_DESTROY), At(Grandchild, WM_DESTROY));
  EXPECT_EQ(Order.back(), std::make_pair(Parent, WM_NCDESTROY));
  EXPECT_LT(At(Grandchild, WM_NCDESTROY), At(First, WM_NCDESTROY));
  for (HWND H : {First, Second, Grandchild}) EXPECT_LT(At(H, WM_DESTROY), At(H, WM_NCDESTROY));
  EXPECT_TRUE(ChildrenAliveDuringParentDestroy);
  for (HWND H : {Parent, First, Second, Grandchild}) EXPECT_FALSE(IsWindow(H));
}

TEST_F(WindowTest, ChildrenTellTheirAncestorsOfCreationAndDestruction) {
  HWND Top = MakeWindow();
  HWND Middle = MakeWindow(Top, WS_CHILD, "", 5);
  Log().Clear();
  HWND Leaf = MakeWindow(Middle, WS_CHILD, "", 9);
  HWND Quiet = CreateWindowEx(WS_EX_NOPARENTNOTIFY, TestClass, "", WS_CHILD, 0, 0, 0, 0, Middle, nullptr, nullptr,
                              nullptr);
  auto Notices = [&] {
    std::vector<Message> Out;
    for (const Message& S : Log().Items())
      if (S.Msg == WM_PARENTNOTIFY) Out.push_back(S);
    return Out;
  };
  LPARAM L = reinterpret_cast<LPARAM>(Leaf);
  EXPECT_EQ(Notices(), (std::vector<Message>{{Middle, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, 9), L},
                                          {Top, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, 9), L}}));
  Log().Clear();
  DestroyWindow(Leaf);
  DestroyWindow(Quiet);
  EXPECT_EQ(Notices(), (std::vector<Message>{{Middle, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, 9), L},
                                          {Top, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, 9), L}}));
}

TEST_F(WindowTest, DestroyingAWindowInsideItsOwnDestructionIsHarmless) {
  HWND Parent = MakeWindow();
  HWND Child = MakeWindow(Parent, WS_CHILD);
  SetHandler([&](HWND H, UINT M, WPARAM W, LPARAM L) -> LRESULT {
    if (M == WM_DESTROY) {
      EXPECT_TRUE(DestroyWindow(H));
      if (H == Child) {
        EXPECT_TRUE(DestroyWindow(Parent));
      }
    }
    return DefWindowProc(H, M, W, L);
  });
  Log().Clear();
  EXPECT_TRUE(DestroyWindow(Parent));
  EXPECT_EQ(Messages(Parent), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(Messages(Child), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(DestroyWindow(Parent));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WindowTest, OwnedWindowsGoBeforeTheirOwner) {
  HWND Owner = MakeWindow();
  HWND Popup = MakeWindow(Owner, WS_POPUP);
  EXPECT_EQ(GetParent(Popup), Owner);
  EXPECT_EQ(GetWindow(Popup, GW_OWNER), Owner);
  EXPECT_EQ(GetAncestor(Popup, GA_PARENT), GetDesktopWindow());
  Log().Clear();
  DestroyWindow(Owner);
  EXPECT_FALSE(IsWindow(Popup));
  std::vector<Message> Items = Log().Items();
  ASSERT_FALSE(Items.empty());
  EXPECT_EQ(Items.front().Hwnd, Popup);
}

TEST_F(WindowTest, WindowDataSlotsAndStyles) {
  HWND H = MakeWindow(nullptr, WS_POPUP | WS_VISIBLE);
  // Extra bytes start zeroed and are bounded by the class's size.
  EXPECT_EQ(GetWindowLongPtr(H, 0), 0);
  EXPECT_EQ(SetWindowLongPtr(H, sizeof(LONG_PTR), 1234), 0);
  EXPECT_EQ(GetWindowLongPtr(H, sizeof(LONG_PTR)), 1234);
  EXPECT_EQ(GetWindowLong(H, sizeof(LONG_PTR)), 1234);
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtr(H, 2 * sizeof(LONG_PTR) - 1), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX);

  EXPECT_EQ(SetWindowLongPtr(H, GWLP_USERDATA, 77), 0);
  EXPECT_EQ(GetWindowLongPtr(H, GWLP_USERDATA), 77);
  EXPECT_EQ(SetWindowLongPtr(H, GWLP_ID, 12), 0);
  EXPECT_EQ(GetWindowLongPtr(H, GWLP_ID), 12);
  // Pointer-sized slots are refused by the 32-bit calls, which would cut the pointer.
  for (int Slot : {GWLP_WNDPROC, GWLP_USERDATA, GWLP_HINSTANCE, GWLP_HWNDPARENT}) {
    SetLastError(0);
    EXPECT_EQ(GetWindowLong(H, Slot), 0) << Slot;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_INDEX) << Slot;
    EXPECT_EQ(SetWindowLong(H, Slot, 1), 0) << Slot;
  }
  EXPECT_EQ(GetWindowLongPtr(H, GWLP_USERDATA), 77);

  // A style change is announced, may be adjusted by the window, and is confirmed.
  SetHandler([](HWND W, UINT M, WPARAM Wp, LPARAM L) -> LRESULT {
    if (M == WM_STYLECHANGING && Wp == static_cast<WPARAM>(GWL_STYLE))
      reinterpret_cast<STYLESTRUCT*>(L)->styleNew |= WS_CLIPCHILDREN;
    return DefWindowProc(W, M, Wp, L);
  });
  Log().Clear();
  EXPECT_EQ(static_cast<DWORD>(SetWindowLong(H, GWL_STYLE, WS_POPUP)), WS_POPUP | WS_VISIBLE);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLong(H, GWL_STYLE)), WS_POPUP | WS_CLIPCHILDREN);
  EXPECT_EQ(Messages(H), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
}

TEST_F(WindowTest, PropertiesByNameOrAtomIgnoringCase) {
  HWND H = MakeWindow();
  int A = 0, B = 0;
  EXPECT_TRUE(SetProp(H, "Owner", &A));
  EXPECT_TRUE(SetProp(H, MAKEINTATOM(0x1234), &B));
  EXPECT_EQ(GetProp(H, "OWNER"), &A);
  EXPECT_EQ(GetProp(H, MAKEINTATOM(0x1234)), &B);
  EXPECT_TRUE(SetProp(H, "owner", &B));
  EXPECT_EQ(RemoveProp(H, "Owner"), &B);
  EXPECT_EQ(GetProp(H, "Owner"), nullptr);
  EXPECT_EQ(RemoveProp(H, "Owner"), nullptr);
  EXPECT_FALSE(SetProp(reinterpret_cast<HWND>(0x99990), "Owner", &A));
}

TEST_F(WindowTest, TextIsCutOnlyAtCharacterBoundaries) {
  HWND H = MakeWindow(nullptr, 0, "Kanal \xE4\xB8\x80\xE4\xBA\x8C");  // two three-byte characters
  EXPECT_EQ(GetWindowTextLength(H), 12);
  char Buffer[9];
  // Eight bytes would split the first character: the copy stops before it.
  EXPECT_EQ(GetWindowText(H, Buffer, sizeof Buffer), 6);
  EXPECT_STREQ(Buffer, "Kanal ");
  EXPECT_TRUE(SetWindowText(H, "x"));
  EXPECT_EQ(GetWindowText(H, Buffer, sizeof Buffer), 1);
  EXPECT_EQ(GetWindowText(H, Buffer, 0), 0);
}

TEST_F(WindowTest, FindWindowSearchesTopLevelWindowsByClassAndTitle) {
  HWND Top = MakeWindow(nullptr, 0, "K58 Help");
  HWND Child = MakeWindow(Top, WS_CHILD, "K58 Child");
  HWND Hidden = CreateWindowEx(0, TestClass, "Sink", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  Made().push_back(Hidden);
  EXPECT_EQ(FindWindow(nullptr, "k58 help"), Top);
  EXPECT_EQ(FindWindow("WINCORETESTWINDOW", "K58 Help"), Top);
  EXPECT_EQ(FindWindow(nullptr, "K58 Child"), nullptr);
  EXPECT_EQ(FindWindowEx(Top, nullptr, nullptr, "K58 Child"), Child);
  EXPECT_EQ(FindWindow("NoSuchClass", nullptr), nullptr);
  // Message-only windows are found only under HWND_MESSAGE.
  EXPECT_EQ(FindWindow(nullptr, "Sink"), nullptr);
  EXPECT_EQ(FindWindowEx(HWND_MESSAGE, nullptr, nullptr, "Sink"), Hidden);
  EXPECT_EQ(GetParent(Hidden), nullptr);
  EXPECT_NE(GetAncestor(Hidden, GA_PARENT), GetDesktopWindow());
  std::vector<HWND> TopLevel;
  EnumWindows(
      [](HWND H, LPARAM L) {
        reinterpret_cast<std::vector<HWND>*>(L)->push_back(H);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&TopLevel));
  EXPECT_NE(std::find(TopLevel.begin(), TopLevel.end(), Top), TopLevel.end());
  EXPECT_EQ(std::find(TopLevel.begin(), TopLevel.end(), Hidden), TopLevel.end());
  EXPECT_EQ(std::find(TopLevel.begin(), TopLevel.end(), Child), TopLevel.end());
}

TEST_F(WindowTest, TreeQueries) {
  HWND Top = MakeWindow();
  HWND A = MakeWindow(Top, WS_CHILD, "", 1);
  HWND B = MakeWindow(Top, WS_CHILD, "", 2);
  HWND Inner = MakeWindow(A, WS_CHILD, "", 3);
  // Children are kept in creation order (later ones below).
  EXPECT_EQ(GetWindow(Top, GW_CHILD), A);
  EXPECT_EQ(GetWindow(A, GW_HWNDNEXT), B);
  EXPECT_EQ(GetWindow(B, GW_HWNDPREV), A);
  EXPECT_EQ(GetWindow(B, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetParent(Inner), A);
  EXPECT_EQ(GetAncestor(Inner, GA_ROOT), Top);
  EXPECT_TRUE(IsChild(Top, Inner));
  EXPECT_FALSE(IsChild(B, Inner));
  EXPECT_EQ(GetParent(Top), nullptr);
  std::vector<HWND> All;
  EnumChildWindows(
      Top,
      [](HWND H, LPARAM L) {
        reinterpret_cast<std::vector<HWND>*>(L)->push_back(H);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&All));
  EXPECT_EQ(All, (std::vector<HWND>{A, Inner, B}));
  DWORD Process = 0;
  EXPECT_EQ(GetWindowThreadProcessId(Top, &Process), GetCurrentThreadId());
  EXPECT_EQ(Process, GetCurrentProcessId());
}

TEST_F(WindowTest, StaleHandlesStayInvalid) {
  HWND H = MakeWindow();
  DestroyWindow(H);
  HWND Next = MakeWindow();
  EXPECT_NE(H, Next);
  EXPECT_FALSE(IsWindow(H));
  SetLastError(0);
  EXPECT_EQ(SendMessage(H, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessage(H, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

}  // namespace
}  // namespace wincore_test

namespace wincore_test {
namespace {

TEST_F(WindowTest, AnExceptionInCreationOrDestructionLeavesNoHalfWindow) {
  HWND Seen = nullptr;
  SetHandler([&](HWND H, UINT M, WPARAM W, LPARAM L) -> LRESULT {
    Seen = H;
    if (M == WM_CREATE) throw std::runtime_error("create failed");
    return DefWindowProc(H, M, W, L);
  });
  Log().Clear();
  EXPECT_THROW(MakeWindow(), std::runtime_error);
  EXPECT_FALSE(IsWindow(Seen));
  EXPECT_EQ(Messages(Seen, false), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));

  SetHandler(nullptr);
  HWND Parent = MakeWindow();
  HWND Child = MakeWindow(Parent, WS_CHILD);
  SetHandler([&](HWND H, UINT M, WPARAM W, LPARAM L) -> LRESULT {
    if (M == WM_DESTROY && H == Parent) throw std::runtime_error("destroy failed");
    return DefWindowProc(H, M, W, L);
  });
  Log().Clear();
  EXPECT_THROW(DestroyWindow(Parent), std::runtime_error);
  EXPECT_FALSE(IsWindow(Parent));
  EXPECT_FALSE(IsWindow(Child));
  // What could still run did: the final messages.
  EXPECT_EQ(Messages(Child), std::vector<UINT>{WM_NCDESTROY});
  EXPECT_EQ(Messages(Parent), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
}

}  // namespace
}  // namespace wincore_test
