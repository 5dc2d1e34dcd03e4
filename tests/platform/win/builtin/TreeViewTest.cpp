#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "NotifySpy.h"
#include "tests/common/Display.h"
#include "platform/win/builtin/ImageList.h"
#include "platform/win/builtin/TreeView.h"
#include "platform/win/gdi/Gdi.h"

namespace builtin_test {

using builtin_test::At;

namespace {

// What a tree notification carried, copied while the record lives.
struct TreeNote {
  UINT Code = 0;
  UINT Action = 0;
  HTREEITEM Old = nullptr;
  HTREEITEM New = nullptr;
  LPARAM NewParam = 0;
  UINT NewState = 0;
};

class TreeViewTest : public ::testing::Test {
protected:
  k58::winui::TestDisplay D;
  std::vector<TreeNote> Notes;
  // Answers to TVN_SELCHANGING, TVN_ITEMEXPANDING, NM_DBLCLK, NM_RCLICK (0 lets them happen).
  LRESULT RefuseSelection = 0, RefuseExpansion = 0, DblClkAnswer = 0, RClickAnswer = 0;
  int ContextMenus = 0;
  builtin_test::Host H;  // last: its window (and the trees in it) goes first

  TreeViewTest() {
    k58::builtin::RegisterTreeViewClass();
    H.OnMessage = [this](UINT Msg, WPARAM, LPARAM LParam) -> std::optional<LRESULT> {
      if (Msg == WM_CONTEXTMENU) {
        ++ContextMenus;
        return 0;
      }
      if (Msg != WM_NOTIFY) return std::nullopt;
      auto* Hdr = reinterpret_cast<NMHDR*>(LParam);
      TreeNote N;
      N.Code = Hdr->code;
      switch (Hdr->code) {
        case TVN_SELCHANGING:
        case TVN_SELCHANGED:
        case TVN_ITEMEXPANDING:
        case TVN_ITEMEXPANDED:
        case TVN_DELETEITEM:
        case TVN_BEGINDRAG:
        case TVN_BEGINRDRAG: {
          auto* Tv = reinterpret_cast<NMTREEVIEW*>(LParam);
          N.Action = Tv->action;
          N.Old = Tv->itemOld.hItem;
          N.New = Tv->itemNew.hItem;
          N.NewParam = Tv->itemNew.lParam;
          N.NewState = Tv->itemNew.state;
          break;
        }
        default: break;
      }
      if (Hdr->code != NM_CUSTOMDRAW && Hdr->code != TVN_GETDISPINFO) Notes.push_back(N);
      if (Hdr->code == TVN_SELCHANGING) return RefuseSelection;
      if (Hdr->code == TVN_ITEMEXPANDING) return RefuseExpansion;
      if (Hdr->code == NM_DBLCLK) return DblClkAnswer;
      if (Hdr->code == NM_RCLICK) return RClickAnswer;
      return std::nullopt;
    };
  }

  HWND Make(DWORD Style = TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, RECT R = RECT{10, 10, 210, 210}) {
    HWND T = H.Child(WC_TREEVIEW, Style, R);
    EXPECT_NE(nullptr, T);
    return T;
  }
  static HTREEITEM Insert(HWND T, HTREEITEM Parent, const char* Text, HTREEITEM After = TVI_LAST, LPARAM Param = 0) {
    TVINSERTSTRUCT Is;
    Is.hParent = Parent;
    Is.hInsertAfter = After;
    Is.item.mask = TVIF_TEXT | TVIF_PARAM;
    Is.item.pszText = const_cast<char*>(Text);
    Is.item.lParam = Param;
    return reinterpret_cast<HTREEITEM>(SendMessage(T, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&Is)));
  }
  static HTREEITEM Next(HWND T, WPARAM Code, HTREEITEM Item = nullptr) {
    return reinterpret_cast<HTREEITEM>(SendMessage(T, TVM_GETNEXTITEM, Code, reinterpret_cast<LPARAM>(Item)));
  }
  static std::string Text(HWND T, HTREEITEM Item) {
    char B[64] = {};
    TVITEM I;
    I.mask = TVIF_TEXT | TVIF_HANDLE;
    I.hItem = Item;
    I.pszText = B;
    I.cchTextMax = sizeof B;
    if (!SendMessage(T, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&I))) return "<none>";
    return B;
  }
  static UINT State(HWND T, HTREEITEM Item) {
    return static_cast<UINT>(SendMessage(T, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(Item), 0xFFFF));
  }
  static RECT ItemRect(HWND T, HTREEITEM Item, bool Label = true) {
    RECT R{};
    *reinterpret_cast<HTREEITEM*>(&R) = Item;
    if (!SendMessage(T, TVM_GETITEMRECT, Label, reinterpret_cast<LPARAM>(&R))) return RECT{-1, -1, -1, -1};
    return R;
  }
  static POINT LabelPoint(HWND T, HTREEITEM Item) {
    RECT R = ItemRect(T, Item);
    return At(T, R.left + 3, (R.top + R.bottom) / 2);
  }
  static UINT Hit(HWND T, POINT P, HTREEITEM* Item = nullptr) {
    TVHITTESTINFO Info;
    Info.pt = P;
    SendMessage(T, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info));
    if (Item) *Item = Info.hItem;
    return Info.flags;
  }
  static HTREEITEM Selected(HWND T) { return Next(T, TVGN_CARET); }
  std::vector<UINT> Codes() const {
    std::vector<UINT> R;
    for (const TreeNote& N : Notes) R.push_back(N.Code);
    return R;
  }
  static bool Expand(HWND T, HTREEITEM Item, WPARAM Code = TVE_EXPAND) {
    return SendMessage(T, TVM_EXPAND, Code, reinterpret_cast<LPARAM>(Item)) != 0;
  }

  // A small tree: Fruit (Apple, Pear), Nuts (Hazel), Roots.
  struct Sample {
    HTREEITEM Fruit, Apple, Pear, Nuts, Hazel, Roots;
  };
  Sample Fill(HWND T) {
    Sample S;
    S.Fruit = Insert(T, TVI_ROOT, "Fruit", TVI_LAST, 1);
    S.Nuts = Insert(T, TVI_ROOT, "Nuts", TVI_LAST, 2);
    S.Roots = Insert(T, TVI_ROOT, "Roots", TVI_LAST, 3);
    S.Pear = Insert(T, S.Fruit, "Pear", TVI_LAST, 11);
    S.Apple = Insert(T, S.Fruit, "Apple", TVI_FIRST, 12);
    S.Hazel = Insert(T, S.Nuts, "Hazel", TVI_LAST, 21);
    Notes.clear();
    return S;
  }
};

}  // namespace

TEST_F(TreeViewTest, ItemsAreInsertedAndNavigatedWithEveryCode) {
  HWND T = Make();
  Sample S = Fill(T);
  EXPECT_EQ(6, SendMessage(T, TVM_GETCOUNT, 0, 0));
  EXPECT_EQ(S.Fruit, Next(T, TVGN_ROOT));
  EXPECT_EQ(S.Fruit, Next(T, TVGN_CHILD, TVI_ROOT));
  EXPECT_EQ(S.Nuts, Next(T, TVGN_NEXT, S.Fruit));
  EXPECT_EQ(S.Fruit, Next(T, TVGN_PREVIOUS, S.Nuts));
  EXPECT_EQ(nullptr, Next(T, TVGN_PREVIOUS, S.Fruit));
  EXPECT_EQ(S.Apple, Next(T, TVGN_CHILD, S.Fruit));
  EXPECT_EQ(S.Pear, Next(T, TVGN_NEXT, S.Apple));
  EXPECT_EQ(S.Fruit, Next(T, TVGN_PARENT, S.Pear));
  EXPECT_EQ(nullptr, Next(T, TVGN_PARENT, S.Fruit));
  EXPECT_EQ(nullptr, Next(T, TVGN_CHILD, S.Roots));
  // Visible order follows expansion.
  EXPECT_EQ(S.Fruit, Next(T, TVGN_FIRSTVISIBLE));
  EXPECT_EQ(S.Nuts, Next(T, TVGN_NEXTVISIBLE, S.Fruit));
  EXPECT_EQ(S.Roots, Next(T, TVGN_LASTVISIBLE));
  EXPECT_EQ(nullptr, Next(T, TVGN_NEXTVISIBLE, S.Apple));  // hidden under a collapsed item
  Expand(T, S.Fruit);
  EXPECT_EQ(S.Apple, Next(T, TVGN_NEXTVISIBLE, S.Fruit));
  EXPECT_EQ(S.Pear, Next(T, TVGN_PREVIOUSVISIBLE, S.Nuts));
  EXPECT_EQ(nullptr, Next(T, TVGN_CARET));
  EXPECT_EQ(nullptr, Next(T, TVGN_DROPHILITE));
  SendMessage(T, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(S.Nuts));
  EXPECT_EQ(S.Nuts, Next(T, TVGN_DROPHILITE));
  EXPECT_TRUE(State(T, S.Nuts) & TVIS_DROPHILITED);

  // Sorted insertion ignores case; inserting after a given sibling.
  HTREEITEM Banana = Insert(T, S.Fruit, "banana", TVI_SORT);
  HTREEITEM Cherry = Insert(T, S.Fruit, "Cherry", S.Apple);
  EXPECT_EQ(S.Apple, Next(T, TVGN_CHILD, S.Fruit));
  EXPECT_EQ(Cherry, Next(T, TVGN_NEXT, S.Apple));
  EXPECT_EQ(Banana, Next(T, TVGN_NEXT, Cherry));
  // Bad parents and handles are refused.
  EXPECT_EQ(nullptr, Insert(T, reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(999999)), "x"));
  EXPECT_EQ(nullptr, Next(T, TVGN_NEXT, nullptr));
  EXPECT_EQ("<none>", Text(T, reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(999999))));
}

TEST_F(TreeViewTest, GetAndSetItemFields) {
  HWND T = Make();
  Sample S = Fill(T);
  TVITEM I;
  I.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE | TVIF_CHILDREN;
  I.hItem = S.Apple;
  I.pszText = const_cast<char*>("Crab apple");
  I.iImage = 3;
  I.iSelectedImage = 4;
  I.lParam = 77;
  I.state = TVIS_BOLD | INDEXTOSTATEIMAGEMASK(2);
  I.stateMask = TVIS_BOLD | TVIS_STATEIMAGEMASK;
  I.cChildren = 1;
  EXPECT_TRUE(SendMessage(T, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&I)));
  char B[6] = {};
  TVITEM G;
  G.mask = I.mask;
  G.hItem = S.Apple;
  G.pszText = B;
  G.cchTextMax = sizeof B;
  G.stateMask = 0xFFFF;
  ASSERT_TRUE(SendMessage(T, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&G)));
  EXPECT_STREQ("Crab ", B);  // cut to the buffer
  EXPECT_EQ(3, G.iImage);
  EXPECT_EQ(4, G.iSelectedImage);
  EXPECT_EQ(77, G.lParam);
  EXPECT_EQ(TVIS_BOLD | INDEXTOSTATEIMAGEMASK(2), G.state);
  EXPECT_EQ(1, G.cChildren);  // the item says it has children though it has none yet
  G.hItem = S.Fruit;
  SendMessage(T, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&G));
  EXPECT_EQ(1, G.cChildren);
  EXPECT_EQ(1, G.lParam);
  // The selected bit is not set through TVM_SETITEM.
  TVITEM Sel;
  Sel.mask = TVIF_STATE;
  Sel.hItem = S.Roots;
  Sel.state = Sel.stateMask = TVIS_SELECTED;
  SendMessage(T, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&Sel));
  EXPECT_EQ(nullptr, Selected(T));
  EXPECT_FALSE(State(T, S.Roots) & TVIS_SELECTED);
}

TEST_F(TreeViewTest, ExpandNotifiesUntilExpandedOnceAndCanBeRefused) {
  HWND T = Make();
  Sample S = Fill(T);
  RefuseExpansion = 1;
  EXPECT_FALSE(Expand(T, S.Fruit));
  EXPECT_FALSE(State(T, S.Fruit) & TVIS_EXPANDED);
  RefuseExpansion = 0;
  Notes.clear();
  EXPECT_TRUE(Expand(T, S.Fruit));
  EXPECT_EQ((std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED}), Codes());
  EXPECT_EQ(static_cast<UINT>(TVE_EXPAND), Notes[0].Action);
  EXPECT_EQ(S.Fruit, Notes[0].New);
  EXPECT_EQ(1, Notes[0].NewParam);
  EXPECT_TRUE(Notes[1].NewState & TVIS_EXPANDED);
  EXPECT_EQ(TVIS_EXPANDED | TVIS_EXPANDEDONCE, State(T, S.Fruit) & (TVIS_EXPANDED | TVIS_EXPANDEDONCE));
  EXPECT_TRUE(Expand(T, S.Fruit));  // already expanded: success, nothing sent
  // Once expanded, program requests no longer notify.
  Notes.clear();
  EXPECT_TRUE(Expand(T, S.Fruit, TVE_COLLAPSE));
  EXPECT_FALSE(Expand(T, S.Fruit, TVE_COLLAPSE));  // already collapsed
  EXPECT_TRUE(Expand(T, S.Fruit, TVE_TOGGLE));
  EXPECT_TRUE(Notes.empty());
  // An item without children does not expand.
  EXPECT_FALSE(Expand(T, S.Roots));
  // Collapsing hides a selected child: the collapsed item takes the selection.
  SendMessage(T, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(S.Pear));
  Notes.clear();
  Expand(T, S.Fruit, TVE_COLLAPSE);
  EXPECT_EQ(S.Fruit, Selected(T));
  EXPECT_EQ((std::vector<UINT>{TVN_SELCHANGING, TVN_SELCHANGED}), Codes());
  // Collapse and reset: the children go and the item may be expanded afresh.
  Notes.clear();
  EXPECT_TRUE(Expand(T, S.Nuts));
  EXPECT_TRUE(Expand(T, S.Nuts, TVE_COLLAPSE | TVE_COLLAPSERESET));
  EXPECT_EQ(nullptr, Next(T, TVGN_CHILD, S.Nuts));
  EXPECT_EQ(0u, State(T, S.Nuts) & TVIS_EXPANDEDONCE);
  EXPECT_EQ((std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED, TVN_DELETEITEM}), Codes());
  EXPECT_EQ(S.Hazel, Notes[2].Old);
}

TEST_F(TreeViewTest, SelectionNotifiesOldAndNewAndCanBeRefused) {
  HWND T = Make(TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT, RECT{10, 10, 210, 60});
  Sample S = Fill(T);
  EXPECT_TRUE(SendMessage(T, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(S.Nuts)));
  EXPECT_EQ((std::vector<UINT>{TVN_SELCHANGING, TVN_SELCHANGED}), Codes());
  EXPECT_EQ(nullptr, Notes[1].Old);
  EXPECT_EQ(S.Nuts, Notes[1].New);
  EXPECT_EQ(static_cast<UINT>(TVC_UNKNOWN), Notes[1].Action);
  EXPECT_TRUE(State(T, S.Nuts) & TVIS_SELECTED);
  // Selecting a hidden item expands its parents and scrolls it into view.
  Notes.clear();
  EXPECT_TRUE(SendMessage(T, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(S.Pear)));
  EXPECT_TRUE(State(T, S.Fruit) & TVIS_EXPANDED);
  EXPECT_FALSE(State(T, S.Nuts) & TVIS_SELECTED);
  EXPECT_EQ(S.Nuts, Notes.back().Old);
  RECT R = ItemRect(T, S.Pear, false);
  RECT C{};
  GetClientRect(T, &C);
  EXPECT_GE(R.top, 0);
  EXPECT_LE(R.bottom, C.bottom);
  // A refusal keeps the selection.
  RefuseSelection = 1;
  EXPECT_FALSE(SendMessage(T, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(S.Roots)));
  EXPECT_EQ(S.Pear, Selected(T));
  RefuseSelection = 0;
  // Selecting nothing.
  EXPECT_TRUE(SendMessage(T, TVM_SELECTITEM, TVGN_CARET, 0));
  EXPECT_EQ(nullptr, Selected(T));
  // First visible: the item goes to the top, as far as the rows below allow.
  EXPECT_TRUE(SendMessage(T, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(S.Apple)));
  EXPECT_EQ(S.Apple, Next(T, TVGN_FIRSTVISIBLE));
  EXPECT_TRUE(SendMessage(T, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(S.Roots)));
  EXPECT_EQ(S.Pear, Next(T, TVGN_FIRSTVISIBLE));  // rows Fruit, Apple, Pear, Nuts, Roots; three fit
}

TEST_F(TreeViewTest, MouseSelectsExpandsAndReportsClicks) {
  HWND T = Make();
  Sample S = Fill(T);
  D.Click(LabelPoint(T, S.Nuts));
  D.Pump();
  EXPECT_EQ(S.Nuts, Selected(T));
  EXPECT_EQ(T, GetFocus());
  EXPECT_EQ((std::vector<UINT>{NM_SETFOCUS, TVN_SELCHANGING, TVN_SELCHANGED, NM_CLICK}), Codes());
  EXPECT_EQ(static_cast<UINT>(TVC_BYMOUSE), Notes[2].Action);

  // The button toggles without selecting.
  Notes.clear();
  RECT Row = ItemRect(T, S.Fruit, false);
  RECT Label = ItemRect(T, S.Fruit);
  POINT Button = At(T, Label.left - 19 / 2 - 1, (Row.top + Row.bottom) / 2);
  EXPECT_EQ(TVHT_ONITEMBUTTON, Hit(T, POINT{Label.left - 10, (Row.top + Row.bottom) / 2}));
  D.Advance(1000);
  D.Click(Button);
  D.Pump();
  EXPECT_TRUE(State(T, S.Fruit) & TVIS_EXPANDED);
  EXPECT_EQ(S.Nuts, Selected(T));
  EXPECT_EQ((std::vector<UINT>{TVN_ITEMEXPANDING, TVN_ITEMEXPANDED, NM_CLICK}), Codes());
  EXPECT_EQ(static_cast<UINT>(TVE_EXPAND), Notes[0].Action);

  // A double click on a label reports NM_DBLCLK and toggles the item, unless the parent says no.
  D.Advance(1000);
  D.DoubleClick(LabelPoint(T, S.Fruit));
  D.Pump();
  EXPECT_FALSE(State(T, S.Fruit) & TVIS_EXPANDED);
  EXPECT_EQ(S.Fruit, Selected(T));
  DblClkAnswer = 1;
  D.Advance(1000);
  D.DoubleClick(LabelPoint(T, S.Fruit));
  D.Pump();
  EXPECT_FALSE(State(T, S.Fruit) & TVIS_EXPANDED);
  std::vector<UINT> All = Codes();
  EXPECT_EQ(2, std::count(All.begin(), All.end(), NM_DBLCLK));

  // Right click: NM_RCLICK, then the context menu unless the parent handled it.
  Notes.clear();
  D.Click(LabelPoint(T, S.Roots), k58::winui::MouseButton::Right);
  D.Pump();
  EXPECT_EQ((std::vector<UINT>{NM_RCLICK}), Codes());
  EXPECT_EQ(1, ContextMenus);
  EXPECT_EQ(S.Fruit, Selected(T));  // a right click does not select
  RClickAnswer = 1;
  D.Click(LabelPoint(T, S.Roots), k58::winui::MouseButton::Right);
  D.Pump();
  EXPECT_EQ(1, ContextMenus);
  // Clicking right of a label selects nothing.
  Notes.clear();
  RECT Rl = ItemRect(T, S.Roots);
  D.Click(At(T, Rl.right + 20, Rl.top + 2));
  D.Pump();
  EXPECT_EQ(S.Fruit, Selected(T));
}

TEST_F(TreeViewTest, DraggingAnItemStartsADragUnlessDisabled) {
  HWND T = Make();
  Sample S = Fill(T);
  POINT From = LabelPoint(T, S.Nuts);
  D.Drag(From, POINT{From.x + 30, From.y + 30});
  D.Pump();
  auto Codes_ = Codes();
  ASSERT_NE(Codes_.end(), std::find(Codes_.begin(), Codes_.end(), TVN_BEGINDRAG));
  auto It = std::find_if(Notes.begin(), Notes.end(), [](const TreeNote& N) { return N.Code == TVN_BEGINDRAG; });
  EXPECT_EQ(S.Nuts, It->New);
  EXPECT_EQ(Codes_.end(), std::find(Codes_.begin(), Codes_.end(), NM_CLICK));

  HWND U = Make(TVS_DISABLEDRAGDROP, RECT{220, 10, 420, 210});
  Sample V = Fill(U);
  From = LabelPoint(U, V.Nuts);
  D.Drag(From, POINT{From.x + 30, From.y + 30});
  D.Pump();
  Codes_ = Codes();
  EXPECT_EQ(Codes_.end(), std::find(Codes_.begin(), Codes_.end(), TVN_BEGINDRAG));
}

TEST_F(TreeViewTest, KeyboardNavigation) {
  HWND T = Make();
  Sample S = Fill(T);
  SetFocus(T);
  D.Pump();
  Notes.clear();
  D.Key(VK_DOWN);  // no selection yet: the first item
  D.Pump();
  EXPECT_EQ(S.Fruit, Selected(T));
  D.Key(VK_RIGHT);  // expands
  D.Pump();
  EXPECT_TRUE(State(T, S.Fruit) & TVIS_EXPANDED);
  EXPECT_EQ(S.Fruit, Selected(T));
  D.Key(VK_RIGHT);  // to the first child
  D.Key(VK_DOWN);
  D.Pump();
  EXPECT_EQ(S.Pear, Selected(T));
  D.Key(VK_LEFT);  // to the parent
  D.Pump();
  EXPECT_EQ(S.Fruit, Selected(T));
  D.Key(VK_LEFT);  // collapses
  D.Pump();
  EXPECT_FALSE(State(T, S.Fruit) & TVIS_EXPANDED);
  D.Key(VK_END);
  D.Pump();
  EXPECT_EQ(S.Roots, Selected(T));
  D.Key(VK_UP);
  D.Key(VK_ADD);
  D.Pump();
  EXPECT_TRUE(State(T, S.Nuts) & TVIS_EXPANDED);
  D.Key(VK_SUBTRACT);
  D.Key(VK_HOME);
  D.Pump();
  EXPECT_FALSE(State(T, S.Nuts) & TVIS_EXPANDED);
  EXPECT_EQ(S.Fruit, Selected(T));
  D.Key(VK_MULTIPLY);  // everything below
  D.Pump();
  EXPECT_TRUE(State(T, S.Fruit) & TVIS_EXPANDED);
  // Type-ahead over the visible items.
  D.Advance(1500);
  D.Type("p");
  D.Pump();
  EXPECT_EQ(S.Pear, Selected(T));
  // Every key is reported first, with its code; selection by key says so.
  auto It = std::find_if(Notes.begin(), Notes.end(), [](const TreeNote& N) { return N.Code == TVN_SELCHANGED; });
  ASSERT_NE(Notes.end(), It);
  EXPECT_EQ(static_cast<UINT>(TVC_BYKEYBOARD), It->Action);
  EXPECT_EQ(TVN_KEYDOWN, Codes().front());
  Notes.clear();
  D.Key(VK_RETURN);
  D.Pump();
  EXPECT_EQ((std::vector<UINT>{TVN_KEYDOWN, NM_RETURN}), Codes());
}

TEST_F(TreeViewTest, HitTestNamesThePartUnderThePoint) {
  HIMAGELIST Images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
  HBITMAP Bitmap = CreateBitmap(32, 16, 1, 32, nullptr);
  ImageList_Add(Images, Bitmap, nullptr);
  HWND T = Make();
  SendMessage(T, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Images));
  SendMessage(T, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(Images));
  Sample S = Fill(T);
  TVITEM I;
  I.mask = TVIF_STATE;
  I.hItem = S.Nuts;
  I.state = INDEXTOSTATEIMAGEMASK(1);
  I.stateMask = TVIS_STATEIMAGEMASK;
  SendMessage(T, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&I));
  Expand(T, S.Nuts);  // rows: Fruit, Nuts, Hazel, Roots
  int Indent = static_cast<int>(SendMessage(T, TVM_GETINDENT, 0, 0));
  int Ih = static_cast<int>(SendMessage(T, TVM_GETITEMHEIGHT, 0, 0));
  EXPECT_GE(Ih, 16);
  RECT Label = ItemRect(T, S.Nuts);
  int Y = (Label.top + Label.bottom) / 2;
  EXPECT_EQ(Indent + 16 + 16 + 3, Label.left);  // root column, state image, image and gap
  RECT C{};
  GetClientRect(T, &C);
  struct Case {
    POINT P;
    UINT Flags;
    HTREEITEM Item;
  } Cases[] = {
      {{2, Ih * 2 + 2}, TVHT_ONITEMINDENT, S.Hazel},  // the parent's column
      {{Indent / 2, Y}, TVHT_ONITEMBUTTON, S.Nuts},
      {{Indent + 4, Y}, TVHT_ONITEMSTATEICON, S.Nuts},
      {{Indent + 16 + 4, Y}, TVHT_ONITEMICON, S.Nuts},
      {{Label.left + 2, Y}, TVHT_ONITEMLABEL, S.Nuts},
      {{Label.right + 5, Y}, TVHT_ONITEMRIGHT, S.Nuts},
      {{Indent / 2, Ih * 3 + Ih / 2}, TVHT_ONITEMINDENT, S.Roots},  // no children: no button
      {{20, C.bottom - 2}, TVHT_NOWHERE, nullptr},
      {{20, -3}, TVHT_ABOVE, nullptr},
      {{20, C.bottom + 3}, TVHT_BELOW, nullptr},
      {{-3, 5}, TVHT_TOLEFT, nullptr},
      {{C.right + 3, -3}, TVHT_TORIGHT | TVHT_ABOVE, nullptr},
  };
  for (const Case& K : Cases) {
    HTREEITEM Item = nullptr;
    EXPECT_EQ(K.Flags, Hit(T, K.P, &Item)) << K.P.x << "," << K.P.y;
    EXPECT_EQ(K.Item, Item) << K.P.x << "," << K.P.y;
  }
  DestroyWindow(T);
  DeleteObject(Bitmap);
  ImageList_Destroy(Images);
}

TEST_F(TreeViewTest, ScrollingRectsAndEnsureVisible) {
  HWND T = Make(TVS_HASLINES, RECT{10, 10, 110, 110});
  std::vector<HTREEITEM> Items;
  for (int I = 0; I < 30; ++I) Items.push_back(Insert(T, TVI_ROOT, ("item " + std::to_string(I)).c_str()));
  HTREEITEM Deep = Insert(T, Items[29], "a child with a rather long label text");
  int Ih = static_cast<int>(SendMessage(T, TVM_GETITEMHEIGHT, 0, 0));
  RECT C{};
  GetClientRect(T, &C);
  int Page = C.bottom / Ih;
  EXPECT_EQ(Page, SendMessage(T, TVM_GETVISIBLECOUNT, 0, 0));
  SCROLLINFO Si;
  Si.fMask = SIF_ALL;
  GetScrollInfo(T, SB_VERT, &Si);
  EXPECT_EQ(29, Si.nMax);
  EXPECT_EQ(static_cast<UINT>(Page), Si.nPage);
  // Rects: the label inside the row; a hidden item has none.
  RECT Row = ItemRect(T, Items[1], false), Label = ItemRect(T, Items[1]);
  EXPECT_EQ(Ih, Row.top);
  EXPECT_EQ(0, Row.left);
  EXPECT_EQ(Row.top, Label.top);
  EXPECT_GT(Label.right, Label.left);
  EXPECT_EQ(-1, ItemRect(T, Deep).left);
  // Scrolling by messages and the wheel; rows move up.
  SendMessage(T, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Items[1], Next(T, TVGN_FIRSTVISIBLE));
  EXPECT_EQ(0, ItemRect(T, Items[1], false).top);
  SetFocus(T);
  D.Wheel(At(T, 10, 10), -2);
  D.Pump();
  EXPECT_EQ(Items[7], Next(T, TVGN_FIRSTVISIBLE));
  SendMessage(T, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(Items[30 - Page], Next(T, TVGN_FIRSTVISIBLE));
  // Ensure visible: expands the parent (answer 0), scrolls the item in.
  SendMessage(T, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(0, SendMessage(T, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(Deep)));
  EXPECT_TRUE(State(T, Items[29]) & TVIS_EXPANDED);
  RECT R = ItemRect(T, Deep, false);
  GetClientRect(T, &C);
  EXPECT_LE(R.bottom, C.bottom);
  EXPECT_GE(R.top, 0);
  EXPECT_EQ(TRUE, SendMessage(T, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(Items[0])));  // scrolled only
  // The long label makes a horizontal bar.
  SCROLLBARINFO Sb;
  GetScrollBarInfo(T, OBJID_HSCROLL, &Sb);
  EXPECT_FALSE(Sb.rgstate[0] & STATE_SYSTEM_INVISIBLE);
  SendMessage(T, WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(-static_cast<int>(SendMessage(T, TVM_GETINDENT, 0, 0)), ItemRect(T, Items[0], true).left);
}

TEST_F(TreeViewTest, DeletionReportsEveryItemAndMovesTheSelection) {
  HWND T = Make();
  Sample S = Fill(T);
  SendMessage(T, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(S.Fruit));
  Notes.clear();
  EXPECT_TRUE(SendMessage(T, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(S.Fruit)));
  std::vector<HTREEITEM> Deleted;
  for (const TreeNote& N : Notes)
    if (N.Code == TVN_DELETEITEM) Deleted.push_back(N.Old);
  EXPECT_EQ((std::vector<HTREEITEM>{S.Apple, S.Pear, S.Fruit}), Deleted);  // children first
  EXPECT_EQ(S.Nuts, Selected(T));
  EXPECT_EQ(3, SendMessage(T, TVM_GETCOUNT, 0, 0));
  // The handle of a deleted item names nothing any more.
  EXPECT_FALSE(SendMessage(T, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(S.Apple)));
  EXPECT_FALSE(Expand(T, S.Fruit));
  // Everything.
  Notes.clear();
  EXPECT_TRUE(SendMessage(T, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  EXPECT_EQ(0, SendMessage(T, TVM_GETCOUNT, 0, 0));
  EXPECT_EQ(nullptr, Selected(T));
  EXPECT_EQ(3, std::count_if(Notes.begin(), Notes.end(), [](const TreeNote& N) { return N.Code == TVN_DELETEITEM; }));
  // Destroying the window reports the items it still had.
  Fill(T);
  DestroyWindow(T);
  EXPECT_EQ(6, std::count_if(Notes.begin(), Notes.end(), [](const TreeNote& N) { return N.Code == TVN_DELETEITEM; }));
}

TEST_F(TreeViewTest, CallbacksAskTheParent) {
  int TextAsks = 0;
  auto Base = H.OnMessage;
  H.OnMessage = [&, Base](UINT Msg, WPARAM W, LPARAM L) -> std::optional<LRESULT> {
    if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(L)->code == TVN_GETDISPINFO) {
      auto* Di = reinterpret_cast<NMTVDISPINFO*>(L);
      if (Di->item.mask & TVIF_TEXT) {
        ++TextAsks;
        std::snprintf(Di->item.pszText, static_cast<size_t>(Di->item.cchTextMax), "item %d", static_cast<int>(Di->item.lParam));
      }
      if (Di->item.mask & TVIF_CHILDREN) Di->item.cChildren = Di->item.lParam == 5 ? 1 : 0;
      if (Di->item.mask & TVIF_IMAGE) Di->item.iImage = 9;
      return 0;
    }
    return Base(Msg, W, L);
  };
  HWND T = Make();
  TVINSERTSTRUCT Is;
  Is.hParent = TVI_ROOT;
  Is.hInsertAfter = TVI_LAST;
  Is.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE;
  Is.item.pszText = LPSTR_TEXTCALLBACK;
  Is.item.cChildren = I_CHILDRENCALLBACK;
  Is.item.iImage = I_IMAGECALLBACK;
  Is.item.lParam = 5;
  auto A = reinterpret_cast<HTREEITEM>(SendMessage(T, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&Is)));
  Is.item.lParam = 6;
  auto B = reinterpret_cast<HTREEITEM>(SendMessage(T, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&Is)));
  EXPECT_EQ("item 5", Text(T, A));
  EXPECT_GT(TextAsks, 0);
  TVITEM I;
  I.mask = TVIF_IMAGE;
  I.hItem = B;
  SendMessage(T, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&I));
  EXPECT_EQ(9, I.iImage);
  // Children through the callback decide the button: A has one, B not.
  RECT La = ItemRect(T, A), Lb = ItemRect(T, B);
  EXPECT_EQ(TVHT_ONITEMBUTTON, Hit(T, POINT{La.left - 10, (La.top + La.bottom) / 2}));
  EXPECT_EQ(TVHT_ONITEMINDENT, Hit(T, POINT{Lb.left - 10, (Lb.top + Lb.bottom) / 2}));
  // Expanding an item with children to come asks the parent, which adds them.
  H.OnMessage = [&, Base](UINT Msg, WPARAM W, LPARAM L) -> std::optional<LRESULT> {
    if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(L)->code == TVN_ITEMEXPANDING) {
      auto* Tv = reinterpret_cast<NMTREEVIEW*>(L);
      Insert(T, Tv->itemNew.hItem, "late child");
      return 0;
    }
    if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(L)->code == TVN_GETDISPINFO) {
      auto* Di = reinterpret_cast<NMTVDISPINFO*>(L);
      if (Di->item.mask & TVIF_CHILDREN) Di->item.cChildren = 1;
      if (Di->item.mask & TVIF_TEXT) std::snprintf(Di->item.pszText, 8, "x");
      return 0;
    }
    return Base(Msg, W, L);
  };
  EXPECT_TRUE(Expand(T, A));
  HTREEITEM Child = Next(T, TVGN_CHILD, A);
  EXPECT_EQ("late child", Text(T, Child));
  EXPECT_EQ(Child, Next(T, TVGN_NEXTVISIBLE, A));
}

TEST_F(TreeViewTest, CustomDrawPerItemAndPaint) {
  std::vector<DWORD> Stages;
  std::vector<DWORD_PTR> ItemsDrawn;
  LRESULT PreAnswer = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
  HTREEITEM Skip = nullptr;
  auto Base = H.OnMessage;
  H.OnMessage = [&, Base](UINT Msg, WPARAM W, LPARAM L) -> std::optional<LRESULT> {
    if (Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(L)->code == NM_CUSTOMDRAW) {
      auto* Cd = reinterpret_cast<NMTVCUSTOMDRAW*>(L);
      Stages.push_back(Cd->nmcd.dwDrawStage);
      if (Cd->nmcd.dwDrawStage == CDDS_PREPAINT) return PreAnswer;
      if (Cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        ItemsDrawn.push_back(Cd->nmcd.dwItemSpec);
        Cd->clrText = RGB(255, 0, 0);
        return reinterpret_cast<HTREEITEM>(Cd->nmcd.dwItemSpec) == Skip ? CDRF_SKIPDEFAULT : CDRF_DODEFAULT;
      }
      return CDRF_DODEFAULT;
    }
    return Base(Msg, W, L);
  };
  HWND T = Make();
  Sample S = Fill(T);
  Skip = S.Roots;
  Stages.clear();
  UpdateWindow(T);
  EXPECT_EQ((std::vector<DWORD>{CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT, CDDS_POSTPAINT}),
            Stages);
  EXPECT_EQ((std::vector<DWORD_PTR>{reinterpret_cast<DWORD_PTR>(S.Fruit), reinterpret_cast<DWORD_PTR>(S.Nuts),
                                    reinterpret_cast<DWORD_PTR>(S.Roots)}),
            ItemsDrawn);
  // The text colour given by the parent is used; the skipped item is not drawn at all.
  RECT Lf = ItemRect(T, S.Fruit), Lr = ItemRect(T, S.Roots);
  const int Mid = (Lf.top + Lf.bottom) / 2;
  EXPECT_GT(k58test::CountColour(k58test::ClientPixels(D, T), RECT{Lf.left, Mid, Lf.right, Mid + 1}, RGB(255, 0, 0)),
            0);
  bool AnyInk = false;
  for (int Y = Lr.top; Y < Lr.bottom; ++Y)
    for (int X = Lr.left; X < Lr.right; ++X) AnyInk |= D.ClientPixel(T, POINT{X, Y}) != GetSysColor(COLOR_WINDOW);
  EXPECT_FALSE(AnyInk);
  // Without item notifications only the overall stage is asked.
  PreAnswer = CDRF_DODEFAULT;
  Stages.clear();
  InvalidateRect(T, nullptr, TRUE);
  UpdateWindow(T);
  EXPECT_EQ((std::vector<DWORD>{CDDS_PREPAINT}), Stages);
}

TEST_F(TreeViewTest, PaintsSelectionButtonsAndImages) {
  HIMAGELIST Images = ImageList_Create(8, 8, ILC_COLOR32, 1, 1);
  HBITMAP Bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
  k58::gdi::SurfaceOfBitmap(Bitmap)->Fill(k58::gdi::ColorToPixel(RGB(0, 200, 0)));
  ImageList_Add(Images, Bitmap, nullptr);
  HWND T = Make();
  SendMessage(T, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Images));
  Sample S = Fill(T);
  SendMessage(T, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(S.Nuts));
  UpdateWindow(T);
  RECT L = ItemRect(T, S.Nuts);
  int Y = (L.top + L.bottom) / 2;
  // Not focused: the selection is not shown without TVS_SHOWSELALWAYS.
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), D.ClientPixel(T, POINT{L.right - 2, Y}));
  SetFocus(T);
  UpdateWindow(T);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), D.ClientPixel(T, POINT{L.right - 3, Y}));
  // The image sits left of the label.
  EXPECT_EQ(RGB(0, 200, 0), D.ClientPixel(T, POINT{L.left - 3 - 4, Y}));
  // The button of a collapsed item shows a plus: a vertical stroke through its middle.
  int Indent = static_cast<int>(SendMessage(T, TVM_GETINDENT, 0, 0));
  RECT Lf = ItemRect(T, S.Fruit);
  int Cx = Indent / 2, Cy = (Lf.top + Lf.bottom) / 2;
  COLORREF Ink = GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_EQ(Ink, D.ClientPixel(T, POINT{Cx, Cy - 2}));
  Expand(T, S.Fruit);
  UpdateWindow(T);
  EXPECT_NE(Ink, D.ClientPixel(T, POINT{Cx, Cy - 2}));  // now a minus
  EXPECT_EQ(Ink, D.ClientPixel(T, POINT{Cx - 2, Cy}));

  // TVS_SHOWSELALWAYS keeps an unfocused selection visible, in the face colour.
  HWND U = Make(TVS_SHOWSELALWAYS, RECT{220, 10, 420, 210});
  Sample V = Fill(U);
  SendMessage(U, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(V.Nuts));
  UpdateWindow(U);
  RECT Lu = ItemRect(U, V.Nuts);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), D.ClientPixel(U, POINT{Lu.right - 3, (Lu.top + Lu.bottom) / 2}));
  DestroyWindow(T);
  DeleteObject(Bitmap);
  ImageList_Destroy(Images);
}

}  // namespace builtin_test
