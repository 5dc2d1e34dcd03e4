// The status bar ("msctls_statusbar32"): a strip along the bottom (or top) of its parent with parts
// of given right edges, each showing text (split at tabs into left, centred and right pieces) or
// drawn by the parent, a simple mode with one text over the whole width, and a size grip that sizes
// the top-level window. It places itself when created and whenever it receives WM_SIZE, which its
// parent forwards from its own WM_SIZE.
#include "platform/win/builtin/StatusBar.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win/builtin/CommCtrlInternal.h"

namespace k58::builtin {

namespace {

constexpr int kTopBorder = 2;   // above the parts
constexpr int kGap = 2;         // between parts
constexpr int kTextPad = 3;     // text from the part's edge
constexpr int kMaxParts = 256;

struct Part {
  int Right = -1;  // client x of the right edge; -1: to the right end
  std::string Text;
  UINT Type = 0;
  LPARAM Data = 0;  // SBT_OWNERDRAW
};

struct StatusBar : ControlState {
  StatusBar(HWND Window, const CREATESTRUCT&) : ControlState(Window) {}

  std::vector<Part> Parts{Part{}};
  Part SimplePart;
  bool Simple = false;
  int MinHeight = 0;
  HFONT Font = nullptr;
  COLORREF Back = CLR_DEFAULT;
  bool InLayout = false;

  DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Hwnd, GWL_STYLE)); }
  RECT Client() const {
    RECT R{};
    GetClientRect(Hwnd, &R);
    return R;
  }

  int Height() const {
    int H = 0, W = 0;
    FontMetrics(Font, H, W);
    return std::max(H + 4, MinHeight) + 2 + kTopBorder;
  }

  // The grip square shows while the top-level window can be sized.
  bool ShowsGrip() const {
    if (!(Style() & SBARS_SIZEGRIP)) return false;
    HWND Root = GetAncestor(Hwnd, GA_ROOT);
    return Root && !IsZoomed(Root) && (GetWindowLong(Root, GWL_STYLE) & WS_THICKFRAME);
  }
  RECT Grip() const {
    RECT C = Client();
    int S = C.bottom - C.top;
    return RECT{C.right - S, C.top, C.right, C.bottom};
  }

  RECT PartRect(int I) const {
    RECT C = Client();
    if (Simple) return RECT{0, kTopBorder, C.right, C.bottom};
    int Left = I == 0 ? 0 : (Parts[I - 1].Right < 0 ? C.right : Parts[I - 1].Right + kGap);
    int Right = Parts[I].Right < 0 ? C.right : Parts[I].Right;
    return RECT{std::min<LONG>(Left, C.right), kTopBorder, std::min<LONG>(std::max(Left, Right), C.right), C.bottom};
  }

  void Layout() {
    if (InLayout) return;
    DWORD St = Style();
    HWND Parent = GetParent(Hwnd);
    if ((St & CCS_NORESIZE) || !Parent) return;
    InLayout = true;
    RECT P{};
    GetClientRect(Parent, &P);
    RECT W{};
    GetWindowRect(Hwnd, &W);
    POINT Pos{W.left, W.top};
    ScreenToClient(Parent, &Pos);
    int H = Height() + ((St & WS_BORDER) ? 2 : 0);
    int Y = Pos.y;
    if (!(St & CCS_NOPARENTALIGN)) Y = (St & 3) == CCS_TOP ? 0 : P.bottom - H;
    int X = (St & CCS_NOPARENTALIGN) ? Pos.x : 0;
    int Width = (St & CCS_NOPARENTALIGN) ? W.right - W.left : P.right;
    SetWindowPos(Hwnd, nullptr, X, Y, Width, H, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(Hwnd, nullptr, TRUE);
    InLayout = false;
  }

  void DrawText3(HDC Dc, const std::string& Text, RECT R, UINT Type) {
    R.left += kTextPad;
    R.right -= kTextPad;
    UINT Format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (Type & SBT_NOTABPARSING) {
      DrawText(Dc, Text.c_str(), -1, &R, Format | DT_EXPANDTABS);
      return;
    }
    // Up to three pieces: left, centred, right.
    size_t A = Text.find('\t');
    size_t B = A == std::string::npos ? std::string::npos : Text.find('\t', A + 1);
    std::string Left = Text.substr(0, A);
    DrawText(Dc, Left.c_str(), -1, &R, Format | DT_LEFT);
    if (A != std::string::npos) {
      std::string Mid = Text.substr(A + 1, B == std::string::npos ? std::string::npos : B - A - 1);
      DrawText(Dc, Mid.c_str(), -1, &R, Format | DT_CENTER);
    }
    if (B != std::string::npos) {
      std::string Right = Text.substr(B + 1);
      DrawText(Dc, Right.c_str(), -1, &R, Format | DT_RIGHT);
    }
  }

  void PaintPart(HDC Dc, int Index, const Part& P, RECT R) {
    if (R.right <= R.left) return;
    RECT Inner = R;
    if (!(P.Type & SBT_NOBORDERS)) DrawEdge(Dc, &Inner, (P.Type & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (P.Type & SBT_OWNERDRAW) {
      DRAWITEMSTRUCT D;
      D.CtlID = static_cast<UINT>(GetWindowLongPtr(Hwnd, GWLP_ID));
      D.itemID = static_cast<UINT>(Index);
      D.itemAction = ODA_DRAWENTIRE;
      D.hwndItem = Hwnd;
      D.hDC = Dc;
      D.rcItem = Inner;
      D.itemData = static_cast<ULONG_PTR>(P.Data);
      if (HWND Parent = GetParent(Hwnd)) {
        int Saved = SaveDC(Dc);
        IntersectClipRect(Dc, Inner.left, Inner.top, Inner.right, Inner.bottom);
        SendMessage(Parent, WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
        RestoreDC(Dc, Saved);
      }
      return;
    }
    int Saved = SaveDC(Dc);
    IntersectClipRect(Dc, Inner.left, Inner.top, Inner.right, Inner.bottom);
    DrawText3(Dc, P.Text, Inner, P.Type);
    RestoreDC(Dc, Saved);
  }

  void Paint(HDC Dc) {
    RECT C = Client();
    HBRUSH Brush = Back == CLR_DEFAULT ? GetSysColorBrush(COLOR_BTNFACE) : CreateSolidBrush(Back);
    FillRect(Dc, &C, Brush);
    if (Back != CLR_DEFAULT) DeleteObject(Brush);
    HGDIOBJ OldFont = SelectObject(Dc, Font ? Font : DefaultControlFont());
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, GetSysColor(IsWindowEnabled(Hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    if (Simple) {
      PaintPart(Dc, SB_SIMPLEID, SimplePart, PartRect(0));
    } else {
      for (int I = 0; I < static_cast<int>(Parts.size()); ++I) PaintPart(Dc, I, Parts[I], PartRect(I));
    }
    if (ShowsGrip()) {
      RECT G = Grip();
      DrawFrameControl(Dc, &G, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    }
    SelectObject(Dc, OldFont);
  }

  Part* PartAt(WPARAM Index) {
    if (Index == SB_SIMPLEID) return &SimplePart;
    return Index < Parts.size() ? &Parts[Index] : nullptr;
  }

  void InvalidatePart(WPARAM Index) {
    if (Index == SB_SIMPLEID ? !Simple : Simple) return;
    RECT R = PartRect(Index == SB_SIMPLEID ? 0 : static_cast<int>(Index));
    InvalidateRect(Hwnd, &R, TRUE);
    if (ShowsGrip()) {
      RECT G = Grip();
      InvalidateRect(Hwnd, &G, TRUE);
    }
  }

  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);
};

LRESULT StatusBar::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_CREATE: {
      const auto* Cs = reinterpret_cast<const CREATESTRUCT*>(LParam);
      if (Cs && Cs->lpszName && *Cs->lpszName) Parts[0].Text = Cs->lpszName;
      Layout();
      return 0;
    }
    case WM_SIZE:
      Layout();
      InvalidateRect(Hwnd, nullptr, TRUE);
      return 0;
    case WM_SETTEXT:
      Parts[0].Text = LParam ? reinterpret_cast<const char*>(LParam) : "";
      Parts[0].Type = 0;
      InvalidatePart(0);
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_NCHITTEST: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      ScreenToClient(Hwnd, &P);
      if (ShowsGrip() && InRect(Grip(), P)) return HTBOTTOMRIGHT;
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    }
    case WM_NCLBUTTONDOWN:
      // The grip sizes the top-level window.
      if (WParam == static_cast<WPARAM>(HTBOTTOMRIGHT)) {
        HWND Root = GetAncestor(Hwnd, GA_ROOT);
        if (Root) SendMessage(Root, WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT, LParam);
        return 0;
      }
      return DefWindowProc(Hwnd, Msg, WParam, LParam);

    case SB_SETTEXT: {
      WPARAM Index = WParam & 0xFF;
      Part* P = PartAt(Index);
      if (!P) return FALSE;
      P->Type = static_cast<UINT>(WParam & 0xFF00);
      if (P->Type & SBT_OWNERDRAW) {
        P->Data = LParam;
        P->Text.clear();
      } else {
        P->Text = LParam ? reinterpret_cast<const char*>(LParam) : "";
        P->Data = 0;
      }
      InvalidatePart(Index);
      return TRUE;
    }
    case SB_GETTEXT:
    case SB_GETTEXTLENGTH: {
      Part* P = PartAt(WParam & 0xFF);
      if (!P) return 0;
      if (P->Type & SBT_OWNERDRAW) return P->Data;
      if (Msg == SB_GETTEXT && LParam) {
        char* Out = reinterpret_cast<char*>(LParam);
        std::copy(P->Text.begin(), P->Text.end(), Out);
        Out[P->Text.size()] = '\0';
      }
      return MAKELONG(static_cast<WORD>(P->Text.size()), static_cast<WORD>(P->Type));
    }
    case SB_SETPARTS: {
      int N = static_cast<int>(WParam);
      const INT* Edges = reinterpret_cast<const INT*>(LParam);
      if (N <= 0 || N > kMaxParts || !Edges) return FALSE;
      std::vector<Part> New(static_cast<size_t>(N));
      for (int I = 0; I < N; ++I) {
        if (I < static_cast<int>(Parts.size())) New[I] = Parts[I];
        New[I].Right = Edges[I];
      }
      Parts = std::move(New);
      InvalidateRect(Hwnd, nullptr, TRUE);
      return TRUE;
    }
    case SB_GETPARTS: {
      auto* Edges = reinterpret_cast<INT*>(LParam);
      if (Edges)
        for (size_t I = 0; I < Parts.size() && I < WParam; ++I) Edges[I] = Parts[I].Right;
      return static_cast<LRESULT>(Parts.size());
    }
    case SB_GETBORDERS: {
      auto* B = reinterpret_cast<INT*>(LParam);
      if (!B) return FALSE;
      B[0] = 0;
      B[1] = kTopBorder;
      B[2] = kGap;
      return TRUE;
    }
    case SB_SETMINHEIGHT:
      MinHeight = static_cast<int>(WParam);
      return 0;
    case SB_SIMPLE:
      if (Simple != (WParam != 0)) {
        Simple = WParam != 0;
        InvalidateRect(Hwnd, nullptr, TRUE);
      }
      return 0;
    case SB_ISSIMPLE:
      return Simple ? TRUE : FALSE;
    case SB_GETRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (!R || (!Simple && WParam >= Parts.size())) return FALSE;
      *R = PartRect(Simple ? 0 : static_cast<int>(WParam));
      return TRUE;
    }
    case SB_SETBKCOLOR: {
      COLORREF Old = Back;
      Back = static_cast<COLORREF>(LParam);
      InvalidateRect(Hwnd, nullptr, TRUE);
      return static_cast<LRESULT>(Old);
    }
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterStatusBarClass() { RegisterControl<StatusBar>(STATUSCLASSNAME, CS_DBLCLKS, IDC_ARROW); }

}  // namespace k58::builtin
