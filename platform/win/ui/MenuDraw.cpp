// Menu layout and painting: measuring items (WM_MEASUREITEM for owner-drawn ones), laying out the bar in
// rows and popups in columns, and drawing items with the system colours (or through WM_DRAWITEM).
#include <cstring>
#include <map>

#include "platform/win/ui/MenuInternal.h"

namespace k58::winui::menus {

namespace {

constexpr int kStrip = 4;      // left of every popup item, inside the popup's client area
constexpr int kCheckW = 16;    // check mark column of popup items
constexpr int kArrowW = 14;    // submenu arrow column
constexpr int kAccelGap = 12;  // between an item's text and its accelerator text
constexpr int kBarPad = 6;     // left and right of a bar item's text
constexpr int kSepH = 8;

std::map<HWND, int>& Hot() {
  static auto* M = new std::map<HWND, int>;
  return *M;
}

HFONT BoldMenuFont() {
  static HFONT F = [] {
    NONCLIENTMETRICSA N;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof N, &N, 0);
    N.lfMenuFont.lfWeight = FW_BOLD;
    return CreateFontIndirect(&N.lfMenuFont);
  }();
  return F;
}

bool IsStockBitmap(HBITMAP B) {
  auto V = reinterpret_cast<intptr_t>(B);
  return V == -1 || (V >= 1 && V <= 11);
}

SIZE BitmapSize(HBITMAP B) {
  if (!B) return SIZE{0, 0};
  if (IsStockBitmap(B)) return SIZE{GetSystemMetrics(SM_CXMENUSIZE), GetSystemMetrics(SM_CYMENUSIZE)};
  BITMAP Bm{};
  if (!GetObject(B, sizeof Bm, &Bm)) return SIZE{0, 0};
  return SIZE{Bm.bmWidth, Bm.bmHeight};
}

std::string Label(const MenuItem& I) { return I.Text.substr(0, I.Text.find('\t')); }
std::string AccelText(const MenuItem& I) {
  size_t Tab = I.Text.find('\t');
  return Tab == std::string::npos ? std::string() : I.Text.substr(Tab + 1);
}

int TextWidth(HDC Dc, const std::string& Text, bool Prefix) {
  if (Text.empty()) return 0;
  RECT R{0, 0, 0, 0};
  DrawText(Dc, Text.c_str(), -1, &R, DT_CALCRECT | DT_SINGLELINE | (Prefix ? 0 : DT_NOPREFIX));
  return Width(R);
}

// Asks the owner for the size of each owner-drawn item not measured yet. The owner may change the menu
// meanwhile, so the item is found again by position after each message.
void MeasureOwnerDrawn(HWND Owner, HMENU Handle) {
  for (size_t K = 0;; ++K) {
    Menu* M = Find(Handle);
    if (!M || K >= M->Items.size()) return;
    MenuItem& I = M->Items[K];
    if (!(I.Type & MFT_OWNERDRAW) || I.Measured) continue;
    MEASUREITEMSTRUCT Mi;
    Mi.CtlType = ODT_MENU;
    Mi.CtlID = 0;
    Mi.itemID = I.Id;
    Mi.itemWidth = 0;
    Mi.itemHeight = static_cast<UINT>(GetSystemMetrics(SM_CYMENU));
    Mi.itemData = I.Data;
    if (Owner && IsWindow(Owner)) SendMessage(Owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&Mi));
    M = Find(Handle);
    if (!M || K >= M->Items.size()) return;
    M->Items[K].Measured = true;
    M->Items[K].OwnerSize = SIZE{static_cast<LONG>(Mi.itemWidth), static_cast<LONG>(Mi.itemHeight)};
  }
}

struct DcWithFont {
  HDC Dc;
  HGDIOBJ Old;
  DcWithFont() : Dc(GetDC(nullptr)), Old(SelectObject(Dc, MenuFont())) {}
  ~DcWithFont() {
    SelectObject(Dc, Old);
    ReleaseDC(nullptr, Dc);
  }
};

UINT OwnerDrawState(const MenuItem& I, bool Hot) {
  UINT S = 0;
  if (I.State & MFS_HILITE) S |= ODS_SELECTED;
  if (I.State & MF_GRAYED) S |= ODS_GRAYED;
  if (I.State & MF_DISABLED) S |= ODS_DISABLED;
  if (I.State & MFS_CHECKED) S |= ODS_CHECKED;
  if (I.State & MFS_DEFAULT) S |= ODS_DEFAULT;
  if (Hot) S |= ODS_HOTLIGHT;
  return S;
}

void SendDrawItem(HWND Owner, HMENU Handle, const MenuItem& I, HDC Dc, const RECT& R, UINT Action, bool Hot) {
  DRAWITEMSTRUCT Di;
  Di.CtlType = ODT_MENU;
  Di.CtlID = 0;
  Di.itemID = I.Id;
  Di.itemAction = Action;
  Di.itemState = OwnerDrawState(I, Hot);
  Di.hwndItem = reinterpret_cast<HWND>(Handle);
  Di.hDC = Dc;
  Di.rcItem = R;
  Di.itemData = I.Data;
  int Saved = SaveDC(Dc);
  SelectObject(Dc, MenuFont());
  bool Sel = (I.State & MFS_HILITE) != 0;
  SetTextColor(Dc, GetSysColor(!IsEnabled(I) ? COLOR_GRAYTEXT : Sel ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  SetBkColor(Dc, GetSysColor(Sel ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (Owner && IsWindow(Owner)) SendMessage(Owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&Di));
  RestoreDC(Dc, Saved);
}

void Fill(HDC Dc, const RECT& R, int Color) {
  if (!RectEmpty(R)) FillRect(Dc, &R, GetSysColorBrush(Color));
}

void Line(HDC Dc, int X0, int Y0, int X1, int Y1, COLORREF C) {
  HPEN Pen = CreatePen(PS_SOLID, 1, C);
  HGDIOBJ Old = SelectObject(Dc, Pen);
  MoveToEx(Dc, X0, Y0, nullptr);
  LineTo(Dc, X1, Y1);
  SelectObject(Dc, Old);
  DeleteObject(Pen);
}

// A right-pointing triangle 4 pixels wide and 7 high, its tip's row at the centre of R.
void DrawArrow(HDC Dc, const RECT& R, COLORREF C) {
  int X = R.right - kArrowW + 5, Y = R.top + Height(R) / 2;
  for (int K = 0; K < 4; ++K) Line(Dc, X + K, Y - 3 + K, X + K, Y + 4 - K, C);
}

void DrawCheck(HDC Dc, const RECT& Cell, bool Radio, COLORREF C) {
  int Cx = Cell.left + Width(Cell) / 2, Cy = Cell.top + Height(Cell) / 2;
  if (Radio) {
    HBRUSH B = CreateSolidBrush(C);
    HPEN P = CreatePen(PS_SOLID, 1, C);
    HGDIOBJ OB = SelectObject(Dc, B), OP = SelectObject(Dc, P);
    Ellipse(Dc, Cx - 3, Cy - 3, Cx + 3, Cy + 3);
    SelectObject(Dc, OB);
    SelectObject(Dc, OP);
    DeleteObject(B);
    DeleteObject(P);
    return;
  }
  // A tick: down-right three rows, then up-right four, drawn three pixels thick.
  for (int T = 0; T < 3; ++T) {
    Line(Dc, Cx - 3, Cy - 1 + T, Cx - 1, Cy + 1 + T, C);
    Line(Dc, Cx - 1, Cy + 1 + T, Cx + 4, Cy - 4 + T, C);
  }
}

void DrawBitmapAt(HDC Dc, HBITMAP B, int X, int Y) {
  SIZE S = BitmapSize(B);
  HDC Mem = CreateCompatibleDC(Dc);
  HGDIOBJ Old = SelectObject(Mem, B);
  BitBlt(Dc, X, Y, S.cx, S.cy, Mem, 0, 0, SRCCOPY);
  SelectObject(Mem, Old);
  DeleteDC(Mem);
}

// The predefined pictures of a maximised MDI child's merged items.
void DrawStockBitmap(HDC Dc, HBITMAP B, const RECT& R, bool Pushed) {
  auto V = reinterpret_cast<intptr_t>(B);
  RECT Box{R.left + 1, R.top + (Height(R) - GetSystemMetrics(SM_CYMENUSIZE) + 2) / 2, R.right - 1, 0};
  Box.bottom = Box.top + GetSystemMetrics(SM_CYMENUSIZE) - 2;
  UINT Kind = 0;
  switch (V) {
    case 2: Kind = DFCS_CAPTIONRESTORE; break;
    case 3:
    case 7: Kind = DFCS_CAPTIONMIN | (V == 7 ? DFCS_INACTIVE : 0u); break;
    case 5:
    case 6: Kind = DFCS_CAPTIONCLOSE | (V == 6 ? DFCS_INACTIVE : 0u); break;
    default: {
      // The child's system menu: a small window picture.
      RECT W{R.left + 3, R.top + Height(R) / 2 - 6, R.left + 15, R.top + Height(R) / 2 + 6};
      Fill(Dc, W, COLOR_WINDOW);
      FrameRect(Dc, &W, GetSysColorBrush(COLOR_WINDOWFRAME));
      RECT Title{W.left, W.top, W.right, W.top + 3};
      Fill(Dc, Title, COLOR_ACTIVECAPTION);
      return;
    }
  }
  DrawFrameControl(Dc, &Box, DFC_CAPTION, Kind | (Pushed ? DFCS_PUSHED : 0u));
}

void DrawBarItem(HWND Window, HMENU Handle, int Index, HDC Dc, POINT Origin) {
  Menu* M = Find(Handle);
  if (!M || Index < 0 || static_cast<size_t>(Index) >= M->Items.size()) return;
  const MenuItem I = M->Items[static_cast<size_t>(Index)];
  RECT R = Offset(I.Rect, Origin.x, Origin.y);
  if (RectEmpty(R)) return;
  bool Sel = (I.State & MFS_HILITE) != 0;
  bool IsHot = HotBarItem(Window) == Index;
  if (I.Type & MFT_OWNERDRAW) {
    SendDrawItem(Window, Handle, I, Dc, R, ODA_DRAWENTIRE, IsHot);
    return;
  }
  if (I.Bitmap && IsStockBitmap(I.Bitmap)) {
    Fill(Dc, R, COLOR_MENU);
    DrawStockBitmap(Dc, I.Bitmap, R, Sel);
    return;
  }
  Fill(Dc, R, Sel ? COLOR_HIGHLIGHT : COLOR_MENU);
  if (IsHot && !Sel) {
    RECT E = R;
    DrawEdge(Dc, &E, BDR_RAISEDINNER, BF_RECT);
  }
  if (IsSeparator(I)) return;
  if (I.Bitmap) {
    SIZE S = BitmapSize(I.Bitmap);
    DrawBitmapAt(Dc, I.Bitmap, R.left + (Width(R) - S.cx) / 2, R.top + (Height(R) - S.cy) / 2);
    if (I.Type & MFT_BITMAP) return;
  }
  HGDIOBJ Old = SelectObject(Dc, MenuFont());
  SetBkMode(Dc, TRANSPARENT);
  SetTextColor(Dc, GetSysColor(!IsEnabled(I) ? COLOR_GRAYTEXT : Sel ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  RECT T = R;
  DrawText(Dc, Label(I).c_str(), -1, &T, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  SelectObject(Dc, Old);
}

void DrawPopupItem(HWND Owner, HMENU Handle, size_t Index, HDC Dc, UINT Action) {
  Menu* M = Find(Handle);
  if (!M || Index >= M->Items.size()) return;
  const MenuItem I = M->Items[Index];
  const RECT R = I.Rect;
  bool Sel = (I.State & MFS_HILITE) != 0;
  COLORREF TextColor = GetSysColor(!IsEnabled(I) ? COLOR_GRAYTEXT : Sel ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
  if (I.Type & MFT_OWNERDRAW) {
    SendDrawItem(Owner, Handle, I, Dc, R, Action, false);
    if (I.Sub) DrawArrow(Dc, R, TextColor);
    return;
  }
  Fill(Dc, RECT{R.left - kStrip, R.top, R.left, R.bottom}, COLOR_MENU);
  if (IsSeparator(I)) {
    Fill(Dc, R, COLOR_MENU);
    RECT E{R.left, R.top + Height(R) / 2 - 1, R.right, R.top + Height(R) / 2 + 1};
    DrawEdge(Dc, &E, EDGE_ETCHED, BF_TOP);
    return;
  }
  Fill(Dc, R, Sel ? COLOR_HIGHLIGHT : COLOR_MENU);
  RECT Cell{R.left, R.top, R.left + kCheckW, R.bottom};
  HBITMAP Mark = (I.State & MFS_CHECKED) ? I.CheckedBmp : I.UncheckedBmp;
  if (Mark) {
    SIZE S = BitmapSize(Mark);
    DrawBitmapAt(Dc, Mark, Cell.left + (Width(Cell) - S.cx) / 2, Cell.top + (Height(Cell) - S.cy) / 2);
  } else if (I.State & MFS_CHECKED) {
    DrawCheck(Dc, Cell, (I.Type & MFT_RADIOCHECK) != 0, TextColor);
  }
  int X = R.left + kCheckW;
  if (I.Bitmap) {
    SIZE S = BitmapSize(I.Bitmap);
    if (IsStockBitmap(I.Bitmap))
      DrawStockBitmap(Dc, I.Bitmap, RECT{X, R.top, X + S.cx, R.bottom}, false);
    else
      DrawBitmapAt(Dc, I.Bitmap, X, R.top + (Height(R) - S.cy) / 2);
    if (I.Type & MFT_BITMAP) {
      if (I.Sub) DrawArrow(Dc, R, TextColor);
      return;
    }
    X += S.cx + 2;
  }
  HGDIOBJ Old = SelectObject(Dc, (I.State & MFS_DEFAULT) ? BoldMenuFont() : MenuFont());
  SetBkMode(Dc, TRANSPARENT);
  SetTextColor(Dc, TextColor);
  RECT T{X, R.top, R.right - kArrowW, R.bottom};
  DrawText(Dc, Label(I).c_str(), -1, &T, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  std::string Acc = AccelText(I);
  if (!Acc.empty()) DrawText(Dc, Acc.c_str(), -1, &T, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  SelectObject(Dc, Old);
  if (I.Sub) DrawArrow(Dc, R, TextColor);
}

}  // namespace

HFONT MenuFont() {
  static HFONT F = [] {
    NONCLIENTMETRICSA N;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof N, &N, 0);
    return CreateFontIndirect(&N.lfMenuFont);
  }();
  return F;
}

int LayoutBar(HWND Window, HMENU Handle, int BarWidth) {
  Menu* M = Find(Handle);
  if (!M) return 0;
  M->BarWindow = Window;
  bool AllMeasured = true;
  for (const MenuItem& I : M->Items)
    if ((I.Type & MFT_OWNERDRAW) && !I.Measured) AllMeasured = false;
  if (AllMeasured && M->BarWidth == BarWidth) return M->BarHeight;
  MeasureOwnerDrawn(Window, Handle);
  M = Find(Handle);
  if (!M) return 0;
  const int RowH = GetSystemMetrics(SM_CYMENU);
  DcWithFont D;
  int X = 0, Y = 0;
  size_t RowStart = 0;
  auto EndRow = [&](size_t End) {
    // Items from the first right-justified one on sit at the row's right end.
    for (size_t K = RowStart; K < End; ++K) {
      if (!(M->Items[K].Type & MFT_RIGHTJUSTIFY)) continue;
      int Shift = BarWidth - M->Items[End - 1].Rect.right;
      if (Shift > 0)
        for (size_t J = K; J < End; ++J) M->Items[J].Rect = Offset(M->Items[J].Rect, Shift, 0);
      break;
    }
  };
  for (size_t K = 0; K < M->Items.size(); ++K) {
    MenuItem& I = M->Items[K];
    int W;
    if (I.Type & MFT_OWNERDRAW)
      W = I.OwnerSize.cx + 2 * kBarPad;  // owner-drawn bar items get the text items' side room
    else if (IsSeparator(I))
      W = kBarPad;
    else if (I.Type & MFT_BITMAP)
      W = BitmapSize(I.Bitmap).cx + (IsStockBitmap(I.Bitmap) ? 0 : 4);
    else
      W = TextWidth(D.Dc, Label(I), true) + 2 * kBarPad + (I.Bitmap ? BitmapSize(I.Bitmap).cx + 2 : 0);
    bool Break = K > 0 && ((I.Type & (MFT_MENUBREAK | MFT_MENUBARBREAK)) || (X > 0 && X + W > BarWidth));
    if (Break) {
      EndRow(K);
      RowStart = K;
      X = 0;
      Y += RowH;
    }
    I.Rect = RECT{X, Y, X + W, Y + RowH};
    X += W;
  }
  EndRow(M->Items.size());
  M->BarWidth = BarWidth;
  M->BarHeight = Y + RowH;
  return M->BarHeight;
}

SIZE LayoutPopup(HWND Owner, HMENU Handle) {
  MeasureOwnerDrawn(Owner, Handle);
  Menu* M = Find(Handle);
  if (!M) return SIZE{0, 0};
  const int ItemH = GetSystemMetrics(SM_CYMENU);
  DcWithFont D;
  struct Column {
    size_t First, End;
    int Width;
  };
  std::vector<Column> Cols;
  int Y = 0, MaxY = 0;
  for (size_t K = 0; K < M->Items.size(); ++K) {
    MenuItem& I = M->Items[K];
    if (Cols.empty() || (I.Type & (MFT_MENUBREAK | MFT_MENUBARBREAK))) {
      if (!Cols.empty()) Cols.back().End = K;
      Cols.push_back(Column{K, M->Items.size(), 0});
      Y = 0;
    }
    int W, H;
    if (I.Type & MFT_OWNERDRAW) {
      // As the system does, an owner-drawn popup item is given the check mark's width beyond its measure.
      W = I.OwnerSize.cx + GetSystemMetrics(SM_CXMENUCHECK) - 1;
      H = I.OwnerSize.cy > 0 ? I.OwnerSize.cy : ItemH;
    } else if (IsSeparator(I)) {
      W = 0;
      H = kSepH;
    } else {
      SIZE B = BitmapSize(I.Bitmap);
      int TextW = (I.Type & MFT_BITMAP) ? 0 : TextWidth(D.Dc, Label(I), true);
      int AccW = TextWidth(D.Dc, AccelText(I), false);
      W = kCheckW + B.cx + (B.cx && TextW ? 2 : 0) + TextW + (AccW ? kAccelGap + AccW : 0) + kArrowW;
      H = std::max<int>(ItemH, B.cy + 2);
    }
    I.Rect = RECT{0, Y, W, Y + H};
    Y += H;
    MaxY = std::max(MaxY, Y);
    Cols.back().Width = std::max(Cols.back().Width, W);
  }
  int X = 0;
  for (const Column& C : Cols) {
    for (size_t K = C.First; K < C.End; ++K) {
      RECT& R = M->Items[K].Rect;
      R.left = X + kStrip;
      R.right = X + kStrip + C.Width;
    }
    X += kStrip + C.Width;
  }
  M->PopupSize = SIZE{std::max(X, kStrip), std::max(MaxY, 1)};
  return M->PopupSize;
}

void PaintBar(HWND Window, HMENU Handle, HDC Dc, const RECT& Bar) {
  Fill(Dc, Bar, COLOR_MENU);
  if (LayoutBar(Window, Handle, Width(Bar)) == 0) return;
  Menu* M = Find(Handle);
  for (size_t K = 0; M && K < M->Items.size(); ++K) {
    DrawBarItem(Window, Handle, static_cast<int>(K), Dc, POINT{Bar.left, Bar.top});
    M = Find(Handle);
  }
}

void RepaintBarItem(HWND Window, HMENU Handle, int Index) {
  RECT Bar;
  if (!IsWindow(Window) || !IsShown(Window) || !GetMenuBarRect(Window, Bar)) return;
  HDC Dc = GetWindowDC(Window);
  IntersectClipRect(Dc, Bar.left, Bar.top, Bar.right, Bar.bottom);
  Menu* M = Find(Handle);
  if (M && static_cast<size_t>(Index) < M->Items.size()) {
    RECT R = Offset(M->Items[static_cast<size_t>(Index)].Rect, Bar.left, Bar.top);
    Fill(Dc, R, COLOR_MENU);
  }
  DrawBarItem(Window, Handle, Index, Dc, POINT{Bar.left, Bar.top});
  ReleaseDC(Window, Dc);
}

void PaintPopup(HWND /*Popup*/, HWND Owner, HMENU Handle, HDC Dc, const RECT& Area, UINT Action) {
  Menu* M = Find(Handle);
  if (!M) return;
  for (size_t K = 0;; ++K) {
    M = Find(Handle);
    if (!M || K >= M->Items.size()) break;
    RECT R = M->Items[K].Rect;
    R.left -= kStrip;
    if (RectEmpty(Intersect(R, Area))) continue;
    DrawPopupItem(Owner, Handle, K, Dc, Action);
  }
}

bool BarScreenRect(HWND Window, RECT& Rect) {
  RECT Bar;
  if (!GetMenuBarRect(Window, Bar)) return false;
  RECT W;
  GetWindowRect(Window, &W);
  Rect = Offset(Bar, W.left, W.top);
  return true;
}

int HotBarItem(HWND Window) {
  auto It = Hot().find(Window);
  return It == Hot().end() ? -1 : It->second;
}

void SetHotBarItem(HWND Window, int Index) {
  int Old = HotBarItem(Window);
  if (Old == Index) return;
  if (Index < 0)
    Hot().erase(Window);
  else
    Hot()[Window] = Index;
  HMENU Bar = GetMenu(Window);
  if (!Bar) return;
  if (Old >= 0) RepaintBarItem(Window, Bar, Old);
  if (Index >= 0) RepaintBarItem(Window, Bar, Index);
}

}  // namespace k58::winui::menus
