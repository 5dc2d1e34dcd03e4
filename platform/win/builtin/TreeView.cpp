// The tree view ("SysTreeView32"): items with text, images, state images and data in a hierarchy,
// expanded and collapsed, one of them selected, drawn with lines and buttons, scrolled by rows
// vertically and by pixels horizontally, driven by the mouse and the keyboard, and reported to the
// parent through WM_NOTIFY (selection, expansion, deletion, clicks, keys, custom draw, text and image
// callbacks). Labels are not edited in place.
#include "platform/win/builtin/TreeView.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/rtl/Utf.h"
#include "platform/win/builtin/CommCtrlInternal.h"
#include "platform/win/builtin/ImageList.h"

namespace k58::builtin {

namespace {

constexpr int kDefaultIndent = 19;
constexpr int kButtonSize = 9;
constexpr int kWheelLines = 3;
constexpr DWORD kSearchDelay = 1000;

// Handles are numbers that are never reused, so a stale handle finds nothing.
uintptr_t NextHandle() {
  static uintptr_t Next = 0;
  return ++Next;
}

struct Node {
  uintptr_t Id = 0;
  Node* Parent = nullptr;
  Node* First = nullptr;
  Node* Last = nullptr;
  Node* Next = nullptr;
  Node* Prev = nullptr;
  int Level = 0;
  std::string Text;
  bool TextCallback = false;
  int Image = 0;
  int SelImage = 0;
  int Children = 0;  // cChildren as given (I_CHILDRENCALLBACK: ask the parent)
  bool ChildrenGiven = false;
  UINT State = 0;
  LPARAM Param = 0;
  int Row = -1;         // index among the visible rows, -1 when an ancestor is collapsed
  int TextWidth = -1;   // measured label text width, -1 when unknown
  HTREEITEM Handle() const { return reinterpret_cast<HTREEITEM>(Id); }
};

struct Tree : ControlState {
  Tree(HWND Window, const CREATESTRUCT&) : ControlState(Window) {}

  std::unordered_map<uintptr_t, std::unique_ptr<Node>> Nodes;
  Node* First = nullptr;  // root items
  Node* Last = nullptr;
  Node* Selected = nullptr;
  Node* DropHilite = nullptr;
  std::vector<Node*> Rows;  // the visible rows (every ancestor expanded)
  bool RowsValid = false;
  int Top = 0;
  int HOffset = 0;
  int ItemHeight = 0;
  bool CustomHeight = false;
  int Indent = kDefaultIndent;
  HIMAGELIST Images = nullptr;
  HIMAGELIST StateImages = nullptr;
  HFONT Font = nullptr;
  HFONT Bold = nullptr;
  COLORREF Back = CLR_NONE;
  COLORREF Fore = CLR_NONE;
  bool Focused = false;
  bool Redraw = true;
  bool InScrollUpdate = false;
  // Mouse press on an item, for the click and drag notifications.
  Node* Pressed = nullptr;
  bool PressedRight = false;
  POINT PressPoint{};
  int WheelRest = 0;
  std::string Search;
  DWORD SearchTime = 0;

  ~Tree() {
    if (Bold) DeleteObject(Bold);
  }

  DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Hwnd, GWL_STYLE)); }
  bool Has(DWORD Bits) const { return (Style() & Bits) != 0; }
  RECT Client() const {
    RECT R{};
    GetClientRect(Hwnd, &R);
    return R;
  }

  Node* Find(HTREEITEM H) const {
    auto It = Nodes.find(reinterpret_cast<uintptr_t>(H));
    return It == Nodes.end() ? nullptr : It->second.get();
  }
  Node* FirstChildOf(Node* Parent) const { return Parent ? Parent->First : First; }

  // ---- notifications ------------------------------------------------------------------------------
  LRESULT Notify(NMHDR& Header, UINT Code) { return StillAlive() ? NotifyHeader(Hwnd, Header, Code) : 0; }
  LRESULT NotifySimple(UINT Code) {
    NMHDR H;
    return Notify(H, Code);
  }

  static void Describe(const Node* N, TVITEMA& Item) {
    Item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;
    Item.stateMask = 0xFFFF;
    if (!N) return;
    Item.hItem = N->Handle();
    Item.state = N->State;
    Item.lParam = N->Param;
  }

  // Asks the parent for what an item left to callbacks (text, images, children).
  void AskDisplayInfo(Node* N, UINT Mask, NMTVDISPINFOA& Info, char* Buffer, int Size) {
    Info.item.mask = Mask;
    Info.item.hItem = N->Handle();
    Info.item.state = N->State;
    Info.item.lParam = N->Param;
    Info.item.pszText = Buffer;
    Info.item.cchTextMax = Size;
    if (Buffer && Size > 0) Buffer[0] = '\0';
    Notify(Info.hdr, TVN_GETDISPINFO);
  }

  std::string TextOf(Node* N) {
    if (!N->TextCallback) return N->Text;
    char Buffer[1024];
    NMTVDISPINFOA Info;
    AskDisplayInfo(N, TVIF_TEXT, Info, Buffer, sizeof Buffer);
    const char* T = Info.item.pszText ? Info.item.pszText : "";
    return std::string(T, strnlen(T, sizeof Buffer));
  }

  int ImageOf(Node* N, bool Selected) {
    int I = Selected ? N->SelImage : N->Image;
    if (I != I_IMAGECALLBACK) return I;
    NMTVDISPINFOA Info;
    AskDisplayInfo(N, Selected ? TVIF_SELECTEDIMAGE : TVIF_IMAGE, Info, nullptr, 0);
    return Selected ? Info.item.iSelectedImage : Info.item.iImage;
  }

  bool HasChildren(Node* N) {
    if (N->First) return true;
    if (!N->ChildrenGiven) return false;
    if (N->Children != I_CHILDRENCALLBACK) return N->Children > 0;
    NMTVDISPINFOA Info;
    AskDisplayInfo(N, TVIF_CHILDREN, Info, nullptr, 0);
    return Info.item.cChildren > 0;
  }

  // ---- visible rows -------------------------------------------------------------------------------
  void Dirty() { RowsValid = false; }

  void BuildRows() {
    if (RowsValid) return;
    for (auto& [Id, N] : Nodes) N->Row = -1;
    Rows.clear();
    // Depth-first through expanded items, without recursion.
    Node* N = First;
    while (N) {
      N->Row = static_cast<int>(Rows.size());
      Rows.push_back(N);
      if ((N->State & TVIS_EXPANDED) && N->First) {
        N = N->First;
        continue;
      }
      while (N && !N->Next) N = N->Parent;
      if (N) N = N->Next;
    }
    RowsValid = true;
    Top = std::clamp(Top, 0, MaxTop());
  }

  int RowCount() {
    BuildRows();
    return static_cast<int>(Rows.size());
  }
  int Page() const { return std::max(1, static_cast<int>(Client().bottom) / std::max(1, ItemHeight)); }
  int MaxTop() const { return std::max(0, static_cast<int>(Rows.size()) - Page()); }

  // ---- geometry -----------------------------------------------------------------------------------
  bool RootColumn() const { return Has(TVS_LINESATROOT) && Has(TVS_HASLINES | TVS_HASBUTTONS); }
  int ImageWidth(HIMAGELIST L) const {
    int Cx = 0, Cy = 0;
    return L && ImageList_GetIconSize(L, &Cx, &Cy) ? Cx : 0;
  }
  int ImageHeight(HIMAGELIST L) const {
    int Cx = 0, Cy = 0;
    return L && ImageList_GetIconSize(L, &Cx, &Cy) ? Cy : 0;
  }

  // Left edge of the item's state image (or image, or label), before horizontal scrolling.
  int ContentLeft(const Node* N) const { return (N->Level + (RootColumn() ? 1 : 0)) * Indent; }

  struct Parts {
    RECT Row{};
    RECT Button{};  // the line and button column (empty for root items without it)
    RECT StateIcon{};
    RECT Icon{};
    RECT Label{};
  };

  int LabelWidth(Node* N) {
    if (N->TextWidth < 0) {
      HDC Dc = GetDC(Hwnd);
      HGDIOBJ Old = SelectObject(Dc, (N->State & TVIS_BOLD) && Bold ? Bold : CurrentFont());
      std::string T = TextOf(N);
      SIZE S{};
      GetTextExtentPoint32(Dc, T.c_str(), static_cast<int>(T.size()), &S);
      SelectObject(Dc, Old);
      ReleaseDC(Hwnd, Dc);
      if (!N->TextCallback) N->TextWidth = S.cx;
      return S.cx + 4;
    }
    return N->TextWidth + 4;
  }

  Parts PartsOf(Node* N) {
    BuildRows();
    Parts P;
    int Y = (N->Row - Top) * ItemHeight;
    RECT C = Client();
    P.Row = RECT{0, Y, std::max<LONG>(C.right, 1), Y + ItemHeight};
    int X = ContentLeft(N) - HOffset;
    if (N->Level > 0 || RootColumn()) P.Button = RECT{X - Indent, Y, X, Y + ItemHeight};
    int StateIndex = static_cast<int>(STATEIMAGEMASKTOINDEX(N->State));
    if (StateImages && StateIndex > 0) {
      P.StateIcon = RECT{X, Y, X + ImageWidth(StateImages), Y + ItemHeight};
      X = P.StateIcon.right;
    } else {
      P.StateIcon = RECT{X, Y, X, Y + ItemHeight};
    }
    if (Images) {
      P.Icon = RECT{X, Y, X + ImageWidth(Images), Y + ItemHeight};
      X = P.Icon.right + 3;
    } else {
      P.Icon = RECT{X, Y, X, Y + ItemHeight};
    }
    P.Label = RECT{X, Y, X + LabelWidth(N), Y + ItemHeight};
    return P;
  }

  UINT HitTest(POINT Pt, Node*& Item) {
    Item = nullptr;
    RECT C = Client();
    UINT Flags = 0;
    if (Pt.y < 0) Flags |= TVHT_ABOVE;
    if (Pt.y >= C.bottom) Flags |= TVHT_BELOW;
    if (Pt.x < 0) Flags |= TVHT_TOLEFT;
    if (Pt.x >= C.right) Flags |= TVHT_TORIGHT;
    if (Flags) return Flags;
    BuildRows();
    int Row = Top + Pt.y / std::max(1, ItemHeight);
    if (Row >= static_cast<int>(Rows.size())) return TVHT_NOWHERE;
    Item = Rows[Row];
    Parts P = PartsOf(Item);
    if (Pt.x < P.Button.left || (Pt.x < P.StateIcon.left && !InRect(P.Button, Pt))) return TVHT_ONITEMINDENT;
    if (InRect(P.Button, Pt)) return Has(TVS_HASBUTTONS) && HasChildren(Item) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
    if (InRect(P.StateIcon, Pt)) return TVHT_ONITEMSTATEICON;
    if (InRect(P.Icon, Pt)) return TVHT_ONITEMICON;
    if (Pt.x < P.Label.right) return TVHT_ONITEMLABEL;
    return TVHT_ONITEMRIGHT;
  }

  // ---- scrolling ----------------------------------------------------------------------------------
  int ContentWidth() {
    BuildRows();
    int W = 0;
    for (Node* N : Rows) W = std::max(W, ContentLeft(N) + (PartsOf(N).Label.right - (ContentLeft(N) - HOffset)));
    return W;
  }

  void UpdateScrollBars() {
    if (InScrollUpdate || !Redraw || Has(TVS_NOSCROLL)) return;
    InScrollUpdate = true;
    for (int Pass = 0; Pass < 2; ++Pass) {
      RECT Before = Client();
      BuildRows();
      SCROLLINFO Si;
      Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      Si.nMin = 0;
      Si.nMax = std::max(0, static_cast<int>(Rows.size()) - 1);
      Si.nPage = static_cast<UINT>(Page());
      Si.nPos = Top;
      SetScrollInfo(Hwnd, SB_VERT, &Si, TRUE);
      if (!Has(TVS_NOHSCROLL)) {
        int Width = ContentWidth();
        HOffset = std::clamp(HOffset, 0, std::max(0, Width - static_cast<int>(Client().right)));
        Si.nMax = std::max(0, Width - 1);
        Si.nPage = static_cast<UINT>(std::max<LONG>(1, Client().right));
        Si.nPos = HOffset;
        SetScrollInfo(Hwnd, SB_HORZ, &Si, TRUE);
      }
      RECT After = Client();
      if (After.right == Before.right && After.bottom == Before.bottom) break;
      Top = std::clamp(Top, 0, MaxTop());
    }
    InScrollUpdate = false;
  }

  void Changed() {
    Dirty();
    BuildRows();
    if (Redraw) InvalidateRect(Hwnd, nullptr, TRUE);
    UpdateScrollBars();
  }
  void FontSet(bool) {
    MakeBold();
    Metrics();
    Changed();
  }

  void SetTop(int T) {
    BuildRows();
    T = std::clamp(T, 0, MaxTop());
    if (T == Top) return;
    Top = T;
    if (Redraw) InvalidateRect(Hwnd, nullptr, TRUE);
    UpdateScrollBars();
  }

  void SetHOffset(int X) {
    X = std::clamp(X, 0, std::max(0, ContentWidth() - static_cast<int>(Client().right)));
    if (X == HOffset) return;
    HOffset = X;
    if (Redraw) InvalidateRect(Hwnd, nullptr, TRUE);
    UpdateScrollBars();
  }

  // Scrolls a visible row into the client area; answers whether it scrolled.
  bool ScrollTo(Node* N) {
    BuildRows();
    if (!N || N->Row < 0) return false;
    int Old = Top;
    if (N->Row < Top)
      SetTop(N->Row);
    else if (N->Row >= Top + Page())
      SetTop(N->Row - Page() + 1);
    return Top != Old;
  }

  void InvalidateItem(Node* N) {
    if (!N || !Redraw) return;
    BuildRows();
    if (N->Row < 0) return;
    RECT R = PartsOf(N).Row;
    InvalidateRect(Hwnd, &R, TRUE);
  }

  // ---- expansion ----------------------------------------------------------------------------------
  // Expands or collapses N. User requests always notify; program requests (TVM_EXPAND) notify only
  // until the item was expanded once. Answers whether the item ends in the asked state.
  bool Expand(Node* N, WPARAM Code, bool ByUser) {
    WPARAM Action = Code & 3;
    bool Expanded = (N->State & TVIS_EXPANDED) != 0;
    if (Action == TVE_TOGGLE) Action = Expanded ? TVE_COLLAPSE : TVE_EXPAND;
    if (Action == TVE_EXPAND) {
      if (Expanded) return true;
      if (!HasChildren(N)) return false;
    } else if (Action == TVE_COLLAPSE) {
      if (!Expanded) {
        if (Code & TVE_COLLAPSERESET) Reset(N);
        return false;
      }
    } else {
      return false;
    }
    bool Tell = ByUser || !(N->State & TVIS_EXPANDEDONCE);
    uintptr_t Id = N->Id;
    if (Tell) {
      NMTREEVIEWA Nm;
      Nm.action = static_cast<UINT>(Action);
      Describe(N, Nm.itemNew);
      if (Notify(Nm.hdr, TVN_ITEMEXPANDING)) return false;
      N = Find(reinterpret_cast<HTREEITEM>(Id));
      if (!N) return false;
    }
    if (Action == TVE_EXPAND) {
      N->State |= TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    } else {
      N->State &= ~TVIS_EXPANDED;
      if (Code & TVE_COLLAPSERESET) Reset(N);
    }
    Changed();
    if (Action == TVE_COLLAPSE && Selected && Selected != N && IsAncestor(N, Selected)) Select(N, TVC_UNKNOWN);
    if (Tell && (N = Find(reinterpret_cast<HTREEITEM>(Id)))) {
      NMTREEVIEWA Nm;
      Nm.action = static_cast<UINT>(Action);
      Describe(N, Nm.itemNew);
      Notify(Nm.hdr, TVN_ITEMEXPANDED);
    }
    return true;
  }

  // TVE_COLLAPSERESET: the children go and the item may be expanded afresh.
  void Reset(Node* N) {
    while (N->First) Delete(N->First, false);
    N->State &= ~(TVIS_EXPANDED | TVIS_EXPANDEDONCE);
  }

  static bool IsAncestor(const Node* A, const Node* N) {
    for (const Node* P = N ? N->Parent : nullptr; P; P = P->Parent)
      if (P == A) return true;
    return false;
  }

  // Expands every collapsed ancestor; answers whether one was expanded.
  bool ExpandParents(Node* N) {
    std::vector<uintptr_t> Chain;
    for (Node* P = N->Parent; P; P = P->Parent)
      if (!(P->State & TVIS_EXPANDED)) Chain.push_back(P->Id);
    for (auto It = Chain.rbegin(); It != Chain.rend(); ++It)
      if (Node* P = Find(reinterpret_cast<HTREEITEM>(*It))) Expand(P, TVE_EXPAND, false);
    return !Chain.empty();
  }

  // ---- selection ----------------------------------------------------------------------------------
  bool Select(Node* N, UINT Action) {
    if (N == Selected) {
      if (N) {
        ExpandParents(N);
        ScrollTo(N);
      }
      return true;
    }
    uintptr_t NewId = N ? N->Id : 0;
    NMTREEVIEWA Nm;
    Nm.action = Action;
    Describe(Selected, Nm.itemOld);
    Describe(N, Nm.itemNew);
    if (Notify(Nm.hdr, TVN_SELCHANGING)) return false;
    N = NewId ? Find(reinterpret_cast<HTREEITEM>(NewId)) : nullptr;
    if (NewId && !N) return false;
    Node* Old = Selected;
    if (Old) {
      Old->State &= ~TVIS_SELECTED;
      InvalidateItem(Old);
    }
    Selected = N;
    if (N) {
      N->State |= TVIS_SELECTED;
      ExpandParents(N);
      ScrollTo(N);
      InvalidateItem(N);
    }
    NMTREEVIEWA Done;
    Done.action = Action;
    Describe(Old, Done.itemOld);
    Describe(Selected, Done.itemNew);
    Notify(Done.hdr, TVN_SELCHANGED);
    return true;
  }

  // ---- items --------------------------------------------------------------------------------------
  void Link(Node* N, Node* Parent, Node* After) {
    Node*& Head = Parent ? Parent->First : First;
    Node*& Tail = Parent ? Parent->Last : Last;
    N->Parent = Parent;
    N->Prev = After;
    N->Next = After ? After->Next : Head;
    if (N->Next)
      N->Next->Prev = N;
    else
      Tail = N;
    if (After)
      After->Next = N;
    else
      Head = N;
  }

  void Unlink(Node* N) {
    Node*& Head = N->Parent ? N->Parent->First : First;
    Node*& Tail = N->Parent ? N->Parent->Last : Last;
    if (N->Prev)
      N->Prev->Next = N->Next;
    else
      Head = N->Next;
    if (N->Next)
      N->Next->Prev = N->Prev;
    else
      Tail = N->Prev;
    N->Prev = N->Next = nullptr;
  }

  void Apply(Node* N, const TVITEMA& Item, bool Inserting) {
    if (Item.mask & TVIF_TEXT) {
      N->TextCallback = Item.pszText == LPSTR_TEXTCALLBACK;
      N->Text = N->TextCallback || !Item.pszText ? std::string() : std::string(Item.pszText);
      N->TextWidth = -1;
    }
    if (Item.mask & TVIF_IMAGE) N->Image = Item.iImage;
    if (Item.mask & TVIF_SELECTEDIMAGE) N->SelImage = Item.iSelectedImage;
    if (Item.mask & TVIF_PARAM) N->Param = Item.lParam;
    if (Item.mask & TVIF_CHILDREN) {
      N->Children = Item.cChildren;
      N->ChildrenGiven = true;
    }
    if (Item.mask & TVIF_STATE) {
      // Selection goes through TVM_SELECTITEM; the other bits are taken as given.
      UINT Mask = Item.stateMask & ~static_cast<UINT>(TVIS_SELECTED);
      UINT Old = N->State;
      N->State = (N->State & ~Mask) | (Item.state & Mask);
      if ((Old ^ N->State) & TVIS_BOLD) N->TextWidth = -1;
      if (Inserting) N->State &= ~static_cast<UINT>(TVIS_SELECTED);
    }
  }

  Node* Insert(const TVINSERTSTRUCTA& Is) {
    Node* Parent = nullptr;
    if (Is.hParent && Is.hParent != TVI_ROOT) {
      Parent = Find(Is.hParent);
      if (!Parent) return nullptr;
    }
    auto Owned = std::make_unique<Node>();
    Node* N = Owned.get();
    N->Id = NextHandle();
    N->Level = Parent ? Parent->Level + 1 : 0;
    Apply(N, Is.item, true);
    Node* After = nullptr;
    Node* Head = FirstChildOf(Parent);
    if (Is.hInsertAfter == TVI_FIRST) {
      After = nullptr;
    } else if (Is.hInsertAfter == TVI_SORT) {
      std::string Text = TextOf(N);
      for (Node* S = Head; S; S = S->Next) {
        if (k58::rtl::CompareNoCase(TextOf(S), Text) > 0) break;
        After = S;
      }
    } else {
      Node* Sibling = Is.hInsertAfter == TVI_LAST ? nullptr : Find(Is.hInsertAfter);
      After = Sibling && Sibling->Parent == Parent ? Sibling : (Parent ? Parent->Last : Last);
    }
    Link(N, Parent, After);
    Nodes.emplace(N->Id, std::move(Owned));
    Changed();
    return N;
  }

  // Deletes N and its descendants (children first), each reported with TVN_DELETEITEM.
  void Delete(Node* N, bool MoveSelection) {
    std::vector<uintptr_t> Order;
    Collect(N, Order);
    bool SelectionGoes = Selected && (Selected == N || IsAncestor(N, Selected));
    if (SelectionGoes && MoveSelection) {
      Node* Next = N->Next ? N->Next : N->Prev ? N->Prev : N->Parent;
      if (!Select(Next, TVC_UNKNOWN)) Select(nullptr, TVC_UNKNOWN);
    }
    for (uintptr_t Id : Order) {
      auto It = Nodes.find(Id);
      if (It == Nodes.end()) continue;
      Node* D = It->second.get();
      NMTREEVIEWA Nm;
      Describe(D, Nm.itemOld);
      Notify(Nm.hdr, TVN_DELETEITEM);
      It = Nodes.find(Id);
      if (It == Nodes.end()) continue;
      D = It->second.get();
      // Children were deleted before; any the parent added meanwhile go with it.
      while (D->First) Delete(D->First, false);
      It = Nodes.find(Id);
      if (It == Nodes.end()) continue;
      Unlink(D);
      if (Selected == D) Selected = nullptr;
      if (DropHilite == D) DropHilite = nullptr;
      if (Pressed == D) Pressed = nullptr;
      Nodes.erase(It);
    }
    Changed();
  }

  static void Collect(Node* N, std::vector<uintptr_t>& Out) {
    for (Node* C = N->First; C; C = C->Next) Collect(C, Out);
    Out.push_back(N->Id);
  }

  void DeleteAll() {
    std::vector<uintptr_t> Roots;
    for (Node* N = First; N; N = N->Next) Roots.push_back(N->Id);
    if (Selected) Select(nullptr, TVC_UNKNOWN);
    for (uintptr_t Id : Roots)
      if (Node* N = Find(reinterpret_cast<HTREEITEM>(Id))) Delete(N, false);
    Top = 0;
    HOffset = 0;
    Changed();
  }

  bool GetItem(TVITEMA& Item) {
    Node* N = Find(Item.hItem);
    if (!N) return false;
    if (Item.mask & TVIF_TEXT) {
      if (Item.pszText && Item.cchTextMax > 0) {
        std::string T = TextOf(N);
        CopyTextOut(T, static_cast<WPARAM>(Item.cchTextMax), reinterpret_cast<LPARAM>(Item.pszText));
      }
    }
    if (Item.mask & TVIF_IMAGE) Item.iImage = ImageOf(N, false);
    if (Item.mask & TVIF_SELECTEDIMAGE) Item.iSelectedImage = ImageOf(N, true);
    if (Item.mask & TVIF_PARAM) Item.lParam = N->Param;
    if (Item.mask & TVIF_STATE) Item.state = N->State & Item.stateMask;
    if (Item.mask & TVIF_CHILDREN) Item.cChildren = N->ChildrenGiven && !N->First ? N->Children : (N->First ? 1 : 0);
    return true;
  }

  // ---- next item ----------------------------------------------------------------------------------
  Node* NextItem(WPARAM Code, Node* N, bool RootGiven) {
    BuildRows();
    switch (Code) {
      case TVGN_ROOT: return First;
      case TVGN_NEXT: return N ? N->Next : nullptr;
      case TVGN_PREVIOUS: return N ? N->Prev : nullptr;
      case TVGN_PARENT: return N ? N->Parent : nullptr;
      case TVGN_CHILD: return N ? N->First : (RootGiven ? First : nullptr);
      case TVGN_FIRSTVISIBLE: return Top < static_cast<int>(Rows.size()) ? Rows[Top] : nullptr;
      case TVGN_NEXTVISIBLE:
        return N && N->Row >= 0 && N->Row + 1 < static_cast<int>(Rows.size()) ? Rows[N->Row + 1] : nullptr;
      case TVGN_PREVIOUSVISIBLE: return N && N->Row > 0 ? Rows[N->Row - 1] : nullptr;
      case TVGN_LASTVISIBLE: return Rows.empty() ? nullptr : Rows.back();
      case TVGN_DROPHILITE: return DropHilite;
      case TVGN_CARET: return Selected;
      default: return nullptr;
    }
  }

  // ---- painting -----------------------------------------------------------------------------------
  HFONT CurrentFont() const { return Font ? Font : DefaultControlFont(); }

  void MakeBold() {
    if (Bold) DeleteObject(Bold);
    LOGFONTA Lf{};
    GetObject(CurrentFont(), sizeof Lf, &Lf);
    Lf.lfWeight = FW_BOLD;
    Bold = CreateFontIndirect(&Lf);
  }

  void Metrics() {
    int H = 0, W = 0;
    FontMetrics(CurrentFont(), H, W);
    if (!CustomHeight) {
      ItemHeight = std::max({H + 3, ImageHeight(Images), ImageHeight(StateImages)});
      if (!Has(TVS_NONEVENHEIGHT) && (ItemHeight & 1)) ++ItemHeight;
    }
    for (auto& [Id, N] : Nodes) N->TextWidth = -1;
  }

  COLORREF BackColour() const { return Back == CLR_NONE ? GetSysColor(COLOR_WINDOW) : Back; }
  COLORREF TextColour() const { return Fore == CLR_NONE ? GetSysColor(COLOR_WINDOWTEXT) : Fore; }

  static void Dots(HDC Dc, int X0, int Y0, int X1, int Y1, COLORREF C) {
    // Every other pixel, on even device coordinates so neighbouring rows join up.
    if (X0 == X1) {
      for (int Y = Y0 + ((Y0 & 1) ? 1 : 0); Y < Y1; Y += 2) SetPixelV(Dc, X0, Y, C);
    } else {
      for (int X = X0 + ((X0 & 1) ? 1 : 0); X < X1; X += 2) SetPixelV(Dc, X, Y0, C);
    }
  }

  void DrawLinesAndButton(HDC Dc, Node* N, const Parts& P) {
    COLORREF Line = GetSysColor(COLOR_GRAYTEXT);
    int MidY = (P.Row.top + P.Row.bottom) / 2;
    if (Has(TVS_HASLINES)) {
      // Columns of the ancestors that have siblings below.
      int Col = 0;
      for (Node* A = N->Parent; A; A = A->Parent) {
        ++Col;
        if (!A->Next) continue;
        if (A->Level == 0 && !RootColumn()) continue;
        int X = P.Button.left - Col * Indent + Indent / 2;
        Dots(Dc, X, P.Row.top, X, P.Row.bottom, Line);
      }
      if (!IsRectEmptyRect(P.Button)) {
        int X = (P.Button.left + P.Button.right) / 2;
        bool Above = N->Prev || N->Parent;
        Dots(Dc, X, Above ? P.Row.top : MidY, X, N->Next ? P.Row.bottom : MidY + 1, Line);
        Dots(Dc, X, MidY, P.Button.right, MidY, Line);
      }
    }
    if (Has(TVS_HASBUTTONS) && !IsRectEmptyRect(P.Button) && HasChildren(N)) {
      int X = (P.Button.left + P.Button.right) / 2 - kButtonSize / 2;
      int Y = MidY - kButtonSize / 2;
      RECT Box{X, Y, X + kButtonSize, Y + kButtonSize};
      FillRect(Dc, &Box, GetSysColorBrush(COLOR_WINDOW));
      HBRUSH Frame = CreateSolidBrush(Line);
      FrameRect(Dc, &Box, Frame);
      DeleteObject(Frame);
      HBRUSH Sign = CreateSolidBrush(GetSysColor(COLOR_WINDOWTEXT));
      RECT Minus{X + 2, Y + kButtonSize / 2, X + kButtonSize - 2, Y + kButtonSize / 2 + 1};
      FillRect(Dc, &Minus, Sign);
      if (!(N->State & TVIS_EXPANDED)) {
        RECT Plus{X + kButtonSize / 2, Y + 2, X + kButtonSize / 2 + 1, Y + kButtonSize - 2};
        FillRect(Dc, &Plus, Sign);
      }
      DeleteObject(Sign);
    }
  }

  static bool IsRectEmptyRect(const RECT& R) { return R.right <= R.left || R.bottom <= R.top; }

  LRESULT CustomDraw(NMTVCUSTOMDRAW& Cd, DWORD Stage) {
    Cd.nmcd.dwDrawStage = Stage;
    return Notify(Cd.nmcd.hdr, NM_CUSTOMDRAW);
  }

  void DrawItem(HDC Dc, Node* N, bool NotifyItems, bool& PostItems) {
    Parts P = PartsOf(N);
    bool Sel = (N->State & TVIS_SELECTED) != 0;
    bool Drop = N == DropHilite;
    bool Enabled = IsWindowEnabled(Hwnd) != FALSE;
    bool ShowSel = Drop || (Sel && (Focused || Has(TVS_SHOWSELALWAYS)));
    COLORREF Text = !Enabled ? GetSysColor(COLOR_GRAYTEXT) : TextColour();
    COLORREF TextBk = BackColour();
    if (ShowSel && Enabled) {
      bool Active = Focused || Drop;
      Text = GetSysColor(Active ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
      TextBk = GetSysColor(Active ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    }
    NMTVCUSTOMDRAW Cd;
    int Saved = 0;
    if (NotifyItems) {
      Cd.nmcd.hdc = Dc;
      Cd.nmcd.rc = P.Row;
      Cd.nmcd.dwItemSpec = reinterpret_cast<DWORD_PTR>(N->Handle());
      Cd.nmcd.uItemState = (Sel ? CDIS_SELECTED : 0) | (Sel && Focused ? CDIS_FOCUS : 0) |
                           (Enabled ? 0 : CDIS_DISABLED);
      Cd.nmcd.lItemlParam = N->Param;
      Cd.clrText = Text;
      Cd.clrTextBk = TextBk;
      Cd.iLevel = N->Level;
      Saved = SaveDC(Dc);
      uintptr_t Id = N->Id;
      LRESULT R = CustomDraw(Cd, CDDS_ITEMPREPAINT);
      if (!Find(reinterpret_cast<HTREEITEM>(Id))) {
        RestoreDC(Dc, Saved);
        return;
      }
      if (R & CDRF_SKIPDEFAULT) {
        RestoreDC(Dc, Saved);
        return;
      }
      Text = Cd.clrText;
      TextBk = Cd.clrTextBk;
      if (!(R & CDRF_NEWFONT)) SelectObject(Dc, (N->State & TVIS_BOLD) && Bold ? Bold : CurrentFont());
      PostItems = (R & CDRF_NOTIFYPOSTPAINT) != 0;
    } else {
      SelectObject(Dc, (N->State & TVIS_BOLD) && Bold ? Bold : CurrentFont());
    }
    DrawLinesAndButton(Dc, N, P);
    int StateIndex = static_cast<int>(STATEIMAGEMASKTOINDEX(N->State));
    int ImageTop = P.Row.top;
    if (StateImages && StateIndex > 0)
      ImageList_Draw(StateImages, StateIndex, Dc, P.StateIcon.left,
                     ImageTop + (ItemHeight - ImageHeight(StateImages)) / 2, ILD_TRANSPARENT);
    if (Images) {
      int I = ImageOf(N, Sel);
      if (I >= 0)
        ImageList_Draw(Images, I, Dc, P.Icon.left, ImageTop + (ItemHeight - ImageHeight(Images)) / 2,
                       ILD_TRANSPARENT);
    }
    RECT Label = P.Label;
    if (Has(TVS_FULLROWSELECT) && ShowSel) Label.right = std::max(Label.right, P.Row.right);
    if (TextBk != BackColour() || ShowSel) {
      HBRUSH B = CreateSolidBrush(TextBk);
      FillRect(Dc, &Label, B);
      DeleteObject(B);
    }
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, Text);
    RECT T = P.Label;
    T.left += 2;
    std::string S = TextOf(N);
    DrawText(Dc, S.c_str(), -1, &T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (Focused && N == Selected && !Drop) {
      SetTextColor(Dc, RGB(0, 0, 0));
      SetBkColor(Dc, RGB(255, 255, 255));
      DrawFocusRect(Dc, &Label);
    }
    if (NotifyItems) {
      if (PostItems) CustomDraw(Cd, CDDS_ITEMPOSTPAINT);
      RestoreDC(Dc, Saved);
    }
  }

  void Paint(HDC Dc, const RECT& Update) {
    BuildRows();
    RECT C = Client();
    HBRUSH Back = CreateSolidBrush(BackColour());
    NMTVCUSTOMDRAW Cd;
    Cd.nmcd.hdc = Dc;
    Cd.nmcd.rc = C;
    LRESULT Global = CustomDraw(Cd, CDDS_PREPAINT);
    if (!StillAlive()) {
      DeleteObject(Back);
      return;
    }
    FillRect(Dc, &Update, Back);
    DeleteObject(Back);
    if (!(Global & CDRF_SKIPDEFAULT)) {
      HGDIOBJ OldFont = SelectObject(Dc, CurrentFont());
      for (int R = Top; R < static_cast<int>(Rows.size()) && (R - Top) * ItemHeight < C.bottom; ++R) {
        int Y = (R - Top) * ItemHeight;
        if (Y + ItemHeight <= Update.top || Y >= Update.bottom) continue;
        bool Post = false;
        uintptr_t Id = Rows[R]->Id;
        DrawItem(Dc, Rows[R], (Global & CDRF_NOTIFYITEMDRAW) != 0, Post);
        if (!Find(reinterpret_cast<HTREEITEM>(Id)) || !RowsValid) break;  // the parent changed the tree
      }
      SelectObject(Dc, OldFont);
    }
    if (Global & CDRF_NOTIFYPOSTPAINT) {
      Cd.nmcd.rc = C;
      CustomDraw(Cd, CDDS_POSTPAINT);
    }
  }

  // ---- input --------------------------------------------------------------------------------------
  void Key(WPARAM Vk) {
    NMTVKEYDOWN Kd;
    Kd.wVKey = static_cast<WORD>(Vk);
    Notify(Kd.hdr, TVN_KEYDOWN);
    if (!StillAlive()) return;
    BuildRows();
    bool Ctrl = GetKeyState(VK_CONTROL) < 0;
    int Count = static_cast<int>(Rows.size());
    if (Count == 0) return;
    if (Ctrl) {
      switch (Vk) {
        case VK_UP: SetTop(Top - 1); return;
        case VK_DOWN: SetTop(Top + 1); return;
        case VK_PRIOR: SetTop(Top - Page()); return;
        case VK_NEXT: SetTop(Top + Page()); return;
        case VK_HOME: SetTop(0); return;
        case VK_END: SetTop(MaxTop()); return;
        default: break;
      }
    }
    Node* S = Selected;
    int Row = S && S->Row >= 0 ? S->Row : -1;
    auto Go = [&](int R) {
      if (Row < 0) R = 0;
      R = std::clamp(R, 0, Count - 1);
      Select(Rows[R], TVC_BYKEYBOARD);
    };
    switch (Vk) {
      case VK_UP: Go(Row - 1); break;
      case VK_DOWN: Go(Row + 1); break;
      case VK_PRIOR: Go(Row - std::max(1, Page() - 1)); break;
      case VK_NEXT: Go(Row + std::max(1, Page() - 1)); break;
      case VK_HOME: Go(0); break;
      case VK_END: Go(Count - 1); break;
      case VK_LEFT:
        if (!S) {
          Go(0);
        } else if ((S->State & TVIS_EXPANDED) && HasChildren(S)) {
          Expand(S, TVE_COLLAPSE, true);
        } else if (S->Parent) {
          Select(S->Parent, TVC_BYKEYBOARD);
        }
        break;
      case VK_RIGHT:
        if (!S) {
          Go(0);
        } else if (!(S->State & TVIS_EXPANDED)) {
          Expand(S, TVE_EXPAND, true);
        } else if (S->First) {
          Select(S->First, TVC_BYKEYBOARD);
        }
        break;
      case VK_BACK:
        if (S && S->Parent) Select(S->Parent, TVC_BYKEYBOARD);
        break;
      case VK_ADD:
        if (S) Expand(S, TVE_EXPAND, true);
        break;
      case VK_SUBTRACT:
        if (S) Expand(S, TVE_COLLAPSE, true);
        break;
      case VK_MULTIPLY:
        if (S) ExpandAll(S);
        break;
      case VK_RETURN: NotifySimple(NM_RETURN); break;
      default: break;
    }
  }

  void ExpandAll(Node* N) {
    std::vector<uintptr_t> Todo{N->Id};
    while (!Todo.empty()) {
      Node* M = Find(reinterpret_cast<HTREEITEM>(Todo.back()));
      Todo.pop_back();
      if (!M) continue;
      Expand(M, TVE_EXPAND, true);
      if (!(M = Find(reinterpret_cast<HTREEITEM>(M->Id)))) continue;
      for (Node* C = M->First; C; C = C->Next) Todo.push_back(C->Id);
    }
  }

  // Type-ahead over the visible rows.
  void Char(WPARAM Ch) {
    if (Ch < 0x20 || Ch >= 0xD800) return;
    BuildRows();
    if (Rows.empty()) return;
    std::string Piece;
    k58::rtl::AppendUtf8(Piece, static_cast<char32_t>(Ch));
    DWORD Now = GetTickCount();
    if (Now - SearchTime > kSearchDelay) Search.clear();
    SearchTime = Now;
    bool Again = Search == Piece;
    if (!Again) Search += Piece;
    int Count = static_cast<int>(Rows.size());
    int From = Selected && Selected->Row >= 0 ? Selected->Row : -1;
    int Start = (Search.size() == Piece.size()) ? From + 1 : std::max(From, 0);
    for (int K = 0; K < Count; ++K) {
      Node* N = Rows[(Start + K) % Count];
      if (k58::rtl::StartsWithNoCase(TextOf(N), Search)) {
        Select(N, TVC_BYKEYBOARD);
        return;
      }
    }
  }

  void ButtonDown(POINT P, bool Right, bool Double) {
    if (GetFocus() != Hwnd) SetFocus(Hwnd);
    if (!StillAlive()) return;
    Node* N = nullptr;
    UINT Flags = HitTest(P, N);
    Pressed = nullptr;
    if (Right) {
      Pressed = N;
      PressedRight = true;
      PressPoint = P;
      return;
    }
    if (Double) {
      LRESULT R = NotifySimple(NM_DBLCLK);
      if (!StillAlive() || R) return;
      N = nullptr;
      Flags = HitTest(P, N);
      if (N && (Flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON))) Expand(N, TVE_TOGGLE, true);
      return;
    }
    PressedRight = false;
    PressPoint = P;
    SetCapture(Hwnd);  // the release reports the click
    if (N && (Flags & TVHT_ONITEMBUTTON)) {
      Expand(N, TVE_TOGGLE, true);
      return;
    }
    bool OnItem = N && ((Flags & TVHT_ONITEM) || (Has(TVS_FULLROWSELECT) && (Flags & (TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT))));
    if (OnItem) {
      uintptr_t Id = N->Id;
      Select(N, TVC_BYMOUSE);
      Pressed = Find(reinterpret_cast<HTREEITEM>(Id));
    }
  }

  void MouseMove(POINT P) {
    if (!Pressed || GetCapture() != Hwnd) return;
    if (std::abs(P.x - PressPoint.x) <= GetSystemMetrics(SM_CXDRAG) &&
        std::abs(P.y - PressPoint.y) <= GetSystemMetrics(SM_CYDRAG))
      return;
    Node* N = Pressed;
    bool Right = PressedRight;
    Pressed = nullptr;
    ReleaseCapture();
    if (Has(TVS_DISABLEDRAGDROP)) return;
    NMTREEVIEWA Nm;
    Describe(N, Nm.itemNew);
    Nm.ptDrag = PressPoint;
    Notify(Nm.hdr, Right ? TVN_BEGINRDRAG : TVN_BEGINDRAG);
  }

  void ButtonUp(bool Right) {
    bool Was = GetCapture() == Hwnd;
    if (Was) ReleaseCapture();
    if (Right) {
      if (!NotifySimple(NM_RCLICK) && StillAlive()) {
        POINT S{};
        GetCursorPos(&S);
        SendMessage(Hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Hwnd), MAKELPARAM(S.x, S.y));
      }
      Pressed = nullptr;
      return;
    }
    if (Was) NotifySimple(NM_CLICK);
    Pressed = nullptr;
  }

  void Scroll(bool Vertical, WORD Code) {
    SCROLLINFO Si;
    Si.fMask = SIF_ALL;
    GetScrollInfo(Hwnd, Vertical ? SB_VERT : SB_HORZ, &Si);
    if (Vertical) {
      switch (Code) {
        case SB_LINEUP: SetTop(Top - 1); break;
        case SB_LINEDOWN: SetTop(Top + 1); break;
        case SB_PAGEUP: SetTop(Top - Page()); break;
        case SB_PAGEDOWN: SetTop(Top + Page()); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTop(Si.nTrackPos); break;
        case SB_TOP: SetTop(0); break;
        case SB_BOTTOM: SetTop(MaxTop()); break;
        default: break;
      }
    } else {
      int Width = std::max<int>(1, Client().right);
      switch (Code) {
        case SB_LINELEFT: SetHOffset(HOffset - Indent); break;
        case SB_LINERIGHT: SetHOffset(HOffset + Indent); break;
        case SB_PAGELEFT: SetHOffset(HOffset - Width); break;
        case SB_PAGERIGHT: SetHOffset(HOffset + Width); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetHOffset(Si.nTrackPos); break;
        case SB_LEFT: SetHOffset(0); break;
        case SB_RIGHT: SetHOffset(ContentWidth()); break;
        default: break;
      }
    }
  }

  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);
};

LRESULT Tree::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_CREATE:
      MakeBold();
      Metrics();
      UpdateScrollBars();
      return 0;
    case WM_DESTROY:
      // The items go, each reported, while the window still exists.
      Redraw = false;
      Selected = nullptr;
      for (Node* N = First; N; N = First) Delete(N, false);
      return 0;
    case WM_SIZE:
      BuildRows();
      Top = std::clamp(Top, 0, MaxTop());
      UpdateScrollBars();
      InvalidateRect(Hwnd, nullptr, TRUE);
      return 0;
    case WM_SETREDRAW:
      DefWindowProc(Hwnd, Msg, WParam, LParam);
      Redraw = WParam != 0;
      if (Redraw) Changed();
      return 0;
    case WM_ENABLE:
    case WM_STYLECHANGED:
      InvalidateRect(Hwnd, nullptr, TRUE);
      return 0;
    case WM_SETFOCUS:
      Focused = true;
      InvalidateItem(Selected);
      NotifySimple(NM_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      Focused = false;
      InvalidateItem(Selected);
      NotifySimple(NM_KILLFOCUS);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      Key(WParam);
      return 0;
    case WM_CHAR:
      Char(WParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      ButtonDown(POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}, false, Msg == WM_LBUTTONDBLCLK);
      return 0;
    case WM_RBUTTONDOWN:
      ButtonDown(POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}, true, false);
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_LBUTTONUP:
      ButtonUp(false);
      return 0;
    case WM_RBUTTONUP:
      ButtonUp(true);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(LParam) != Hwnd) Pressed = nullptr;
      return 0;
    case WM_MOUSEWHEEL: {
      WheelRest += GET_WHEEL_DELTA_WPARAM(WParam);
      int Notches = WheelRest / WHEEL_DELTA;
      WheelRest -= Notches * WHEEL_DELTA;
      if (Notches) SetTop(Top - Notches * kWheelLines);
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      Scroll(Msg == WM_VSCROLL, LOWORD(WParam));
      return 0;

    case TVM_INSERTITEM: {
      const auto* Is = reinterpret_cast<const TVINSERTSTRUCTA*>(LParam);
      if (!Is) return 0;
      Node* N = Insert(*Is);
      return N ? reinterpret_cast<LRESULT>(N->Handle()) : 0;
    }
    case TVM_DELETEITEM: {
      auto H = reinterpret_cast<HTREEITEM>(LParam);
      if (!H || H == TVI_ROOT) {
        DeleteAll();
        return TRUE;
      }
      Node* N = Find(H);
      if (!N) return FALSE;
      Delete(N, true);
      return TRUE;
    }
    case TVM_EXPAND: {
      Node* N = Find(reinterpret_cast<HTREEITEM>(LParam));
      if (!N) return FALSE;
      return Expand(N, WParam, false) ? TRUE : FALSE;
    }
    case TVM_GETITEMRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (!R) return FALSE;
      HTREEITEM H;
      std::memcpy(&H, R, sizeof H);
      Node* N = Find(H);
      if (!N) return FALSE;
      BuildRows();
      if (N->Row < 0) return FALSE;
      Parts P = PartsOf(N);
      *R = WParam ? P.Label : P.Row;
      return TRUE;
    }
    case TVM_GETCOUNT:
      return static_cast<LRESULT>(Nodes.size());
    case TVM_GETINDENT:
      return Indent;
    case TVM_SETINDENT:
      Indent = std::max(static_cast<int>(WParam), 8);
      Changed();
      return 0;
    case TVM_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(WParam == TVSIL_STATE ? StateImages : WParam == TVSIL_NORMAL ? Images : nullptr);
    case TVM_SETIMAGELIST: {
      HIMAGELIST& Slot = WParam == TVSIL_STATE ? StateImages : Images;
      if (WParam != TVSIL_STATE && WParam != TVSIL_NORMAL) return 0;
      HIMAGELIST Old = Slot;
      Slot = reinterpret_cast<HIMAGELIST>(LParam);
      Metrics();
      Changed();
      return reinterpret_cast<LRESULT>(Old);
    }
    case TVM_GETNEXTITEM: {
      auto H = reinterpret_cast<HTREEITEM>(LParam);
      bool RootGiven = !H || H == TVI_ROOT;
      Node* N = RootGiven ? nullptr : Find(H);
      bool NeedsItem = WParam == TVGN_NEXT || WParam == TVGN_PREVIOUS || WParam == TVGN_PARENT ||
                       WParam == TVGN_NEXTVISIBLE || WParam == TVGN_PREVIOUSVISIBLE;
      if (NeedsItem && !N) return 0;
      if (WParam == TVGN_CHILD && !RootGiven && !N) return 0;
      Node* R = NextItem(WParam, N, RootGiven);
      return R ? reinterpret_cast<LRESULT>(R->Handle()) : 0;
    }
    case TVM_SELECTITEM: {
      auto H = reinterpret_cast<HTREEITEM>(LParam);
      Node* N = H ? Find(H) : nullptr;
      if (H && !N) return FALSE;
      switch (WParam) {
        case TVGN_CARET: return Select(N, TVC_UNKNOWN) ? TRUE : FALSE;
        case TVGN_DROPHILITE: {
          if (N == DropHilite) return TRUE;
          if (DropHilite) {
            DropHilite->State &= ~TVIS_DROPHILITED;
            InvalidateItem(DropHilite);
          }
          DropHilite = N;
          if (N) {
            N->State |= TVIS_DROPHILITED;
            InvalidateItem(N);
          }
          return TRUE;
        }
        case TVGN_FIRSTVISIBLE:
          if (!N) return FALSE;
          ExpandParents(N);
          BuildRows();
          SetTop(N->Row);
          return TRUE;
        default: return FALSE;
      }
    }
    case TVM_GETITEM: {
      auto* Item = reinterpret_cast<TVITEMA*>(LParam);
      return Item && GetItem(*Item) ? TRUE : FALSE;
    }
    case TVM_SETITEM: {
      const auto* Item = reinterpret_cast<const TVITEMA*>(LParam);
      Node* N = Item ? Find(Item->hItem) : nullptr;
      if (!N) return FALSE;
      bool WasExpanded = (N->State & TVIS_EXPANDED) != 0;
      Apply(N, *Item, false);
      if (WasExpanded != ((N->State & TVIS_EXPANDED) != 0))
        Changed();
      else {
        UpdateScrollBars();
        InvalidateItem(N);
      }
      return TRUE;
    }
    case TVM_EDITLABEL:
    case TVM_GETEDITCONTROL:
      return 0;  // labels are not edited in place
    case TVM_ENDEDITLABELNOW:
      return FALSE;
    case TVM_GETVISIBLECOUNT:
      return Client().bottom / std::max(1, ItemHeight);
    case TVM_HITTEST: {
      auto* Info = reinterpret_cast<TVHITTESTINFO*>(LParam);
      if (!Info) return 0;
      Node* N = nullptr;
      Info->flags = HitTest(Info->pt, N);
      Info->hItem = N ? N->Handle() : nullptr;
      return reinterpret_cast<LRESULT>(Info->hItem);
    }
    case TVM_SORTCHILDREN: {
      auto H = reinterpret_cast<HTREEITEM>(LParam);
      Node* Parent = (!H || H == TVI_ROOT) ? nullptr : Find(H);
      if (H && H != TVI_ROOT && !Parent) return FALSE;
      std::vector<Node*> Todo{Parent};
      while (!Todo.empty()) {
        Node* P = Todo.back();
        Todo.pop_back();
        std::vector<Node*> Kids;
        for (Node* C = FirstChildOf(P); C; C = C->Next) Kids.push_back(C);
        std::stable_sort(Kids.begin(), Kids.end(),
                         [&](Node* A, Node* B) { return k58::rtl::CompareNoCase(TextOf(A), TextOf(B)) < 0; });
        for (Node* C : Kids) Unlink(C);
        Node* After = nullptr;
        for (Node* C : Kids) {
          Link(C, P, After);
          After = C;
          if (WParam) Todo.push_back(C);
        }
      }
      Changed();
      return TRUE;
    }
    case TVM_ENSUREVISIBLE: {
      Node* N = Find(reinterpret_cast<HTREEITEM>(LParam));
      if (!N) return FALSE;
      bool Expanded = ExpandParents(N);
      bool Scrolled = ScrollTo(N);
      return Scrolled && !Expanded ? TRUE : FALSE;
    }
    case TVM_SETITEMHEIGHT: {
      int Old = ItemHeight;
      int H = static_cast<int>(static_cast<SHORT>(LOWORD(WParam)));
      CustomHeight = H > 0;
      if (CustomHeight) ItemHeight = Has(TVS_NONEVENHEIGHT) ? H : std::max(2, H & ~1);
      Metrics();
      Changed();
      return Old;
    }
    case TVM_GETITEMHEIGHT:
      return ItemHeight;
    case TVM_SETBKCOLOR:
    case TVM_SETTEXTCOLOR: {
      COLORREF& Slot = Msg == TVM_SETBKCOLOR ? Back : Fore;
      COLORREF Old = Slot;
      Slot = static_cast<COLORREF>(LParam) == CLR_DEFAULT ? CLR_NONE : static_cast<COLORREF>(LParam);
      InvalidateRect(Hwnd, nullptr, TRUE);
      return Old == CLR_NONE ? static_cast<LRESULT>(-1) : static_cast<LRESULT>(Old);
    }
    case TVM_GETBKCOLOR:
      return Back == CLR_NONE ? static_cast<LRESULT>(-1) : static_cast<LRESULT>(Back);
    case TVM_GETTEXTCOLOR:
      return Fore == CLR_NONE ? static_cast<LRESULT>(-1) : static_cast<LRESULT>(Fore);
    case TVM_GETITEMSTATE: {
      Node* N = Find(reinterpret_cast<HTREEITEM>(WParam));
      return N ? static_cast<LRESULT>(N->State & static_cast<UINT>(LParam)) : 0;
    }
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterTreeViewClass() { RegisterControl<Tree>(WC_TREEVIEW, CS_DBLCLKS, IDC_ARROW); }

}  // namespace k58::builtin
