// The tool bar ("ToolbarWindow32"): a row (or rows, with TBSTYLE_WRAPABLE) of buttons with images
// from image lists and optional text below or beside them, separators, check buttons and check
// groups, drop-down buttons, hot tracking on flat bars, tool tips through a tool-tip control, and
// custom drawing by the parent. A click on an enabled button sends WM_COMMAND with its command id.
#include "platform/win/builtin/ToolBar.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win/builtin/CommCtrlInternal.h"
#include "platform/win/builtin/ImageList.h"

namespace k58::builtin {

namespace {

constexpr int kDropWidth = 14;     // the arrow part of a drop-down button
constexpr int kSeparator = 8;      // default separator width
constexpr int kPad = 7;            // button size beyond its image
constexpr int kDivider = 2;        // the etched line above the buttons
constexpr DWORD kMaskRop = 0x00B8074A;  // brush where the source is black, destination where white

struct Button {
  int Image = 0;
  int Id = 0;
  BYTE State = 0;
  BYTE Style = 0;
  DWORD_PTR Data = 0;
  INT_PTR StringArg = 0;  // iString as given
  std::string Text;
  int Cx = 0;  // width set by TB_SETBUTTONINFO (0: computed)
  RECT Rect{};
  bool Separator() const { return (Style & BTNS_SEP) != 0; }
  bool Hidden() const { return (State & TBSTATE_HIDDEN) != 0; }
  bool Enabled() const { return (State & TBSTATE_ENABLED) != 0; }
};

struct ToolBar : ControlState {
  ToolBar(HWND Window, const CREATESTRUCT&) : ControlState(Window) {}

  HWND Target = nullptr;  // TB_SETPARENT
  std::vector<Button> Buttons;
  std::vector<std::string> Strings;
  HIMAGELIST Images = nullptr;
  HIMAGELIST HotImages = nullptr;
  HIMAGELIST DisabledImages = nullptr;
  int BitmapW = 16, BitmapH = 15;
  int ButtonW = 0, ButtonH = 0;  // TB_SETBUTTONSIZE (0: computed)
  int Indent = 0;
  DWORD ExStyle = 0;
  int MaxTextRows = 1;
  HFONT Font = nullptr;
  HWND Tips = nullptr;
  bool OwnTips = false;
  std::vector<int> TipIds;  // tools registered with the tip control
  int Hot = -1;
  int Pressed = -1;   // button held down by the mouse
  bool Inside = false;  // the pointer is still over the pressed button
  int DropPressed = -1;
  bool Tracking = false;  // WM_MOUSELEAVE asked for
  bool InLayout = false;
  HBRUSH Dither = nullptr;

  ~ToolBar() {
    if (Dither) DeleteObject(Dither);
  }

  DWORD Style() const { return static_cast<DWORD>(GetWindowLong(Hwnd, GWL_STYLE)); }
  bool Has(DWORD Bits) const { return (Style() & Bits) != 0; }
  bool Flat() const { return Has(TBSTYLE_FLAT | TBSTYLE_TRANSPARENT); }
  bool List() const { return Has(TBSTYLE_LIST); }
  HWND NotifyWindow() const { return Target ? Target : GetParent(Hwnd); }
  int Count() const { return static_cast<int>(Buttons.size()); }
  bool Valid(int I) const { return I >= 0 && I < Count(); }
  RECT Client() const {
    RECT R{};
    GetClientRect(Hwnd, &R);
    return R;
  }

  int IndexOf(int Id) const {
    for (int I = 0; I < Count(); ++I)
      if (Buttons[I].Id == Id) return I;
    return -1;
  }

  LRESULT Notify(NMHDR& Header, UINT Code) {
    Header.hwndFrom = Hwnd;
    Header.idFrom = static_cast<UINT_PTR>(GetWindowLongPtr(Hwnd, GWLP_ID));
    Header.code = Code;
    HWND To = NotifyWindow();
    return To ? SendMessage(To, WM_NOTIFY, Header.idFrom, reinterpret_cast<LPARAM>(&Header)) : 0;
  }

  // ---- geometry -----------------------------------------------------------------------------------
  int TextHeight() const {
    int H = 0, W = 0;
    FontMetrics(Font, H, W);
    return H;
  }
  int TextWidth(const std::string& S) const { return builtin::TextWidth(Font, S); }
  bool ShowsText(const Button& B) const {
    if (MaxTextRows <= 0 || B.Text.empty() || B.Separator()) return false;
    return !List() || !(ExStyle & TBSTYLE_EX_MIXEDBUTTONS) || (B.Style & BTNS_SHOWTEXT);
  }
  bool SplitArrow(const Button& B) const {
    return (B.Style & BTNS_DROPDOWN) && (ExStyle & TBSTYLE_EX_DRAWDDARROWS) && !(B.Style & BTNS_WHOLEDROPDOWN);
  }
  bool AnyText() const {
    for (const Button& B : Buttons)
      if (ShowsText(B)) return true;
    return false;
  }

  SIZE BaseSize() const {
    bool Text = AnyText();
    int W = BitmapW + kPad, H = BitmapH + kPad;
    if (Text && !List()) {
      int MaxText = 0;
      for (const Button& B : Buttons)
        if (ShowsText(B) && !(B.Style & BTNS_AUTOSIZE)) MaxText = std::max(MaxText, TextWidth(B.Text));
      W = std::max(W, MaxText + 6);
      H += TextHeight() + 1;
    } else if (Text) {
      H = std::max(BitmapH, TextHeight()) + kPad;
    }
    if (ButtonW > 0) W = std::max(ButtonW, BitmapW + kPad);
    if (ButtonH > 0) H = std::max(ButtonH, BitmapH + kPad);
    return SIZE{W, H};
  }

  int WidthOf(const Button& B, SIZE Base) const {
    if (B.Separator()) return B.Image > 0 ? B.Image : kSeparator;
    if (B.Cx > 0) return B.Cx;
    int W = Base.cx;
    if (ShowsText(B)) {
      if (List())
        W = std::max(W, BitmapW + TextWidth(B.Text) + 10);
      else if (B.Style & BTNS_AUTOSIZE)
        W = std::max(BitmapW + kPad, TextWidth(B.Text) + 6);
    }
    if (B.Style & BTNS_DROPDOWN) W += SplitArrow(B) ? kDropWidth : kDropWidth - 4;
    return W;
  }

  int Top() const { return Has(CCS_NODIVIDER) ? 0 : kDivider; }

  // Places every button; answers the height the buttons need.
  int Arrange() {
    SIZE Base = BaseSize();
    int Width = Client().right;
    int X = Indent, Y = Top();
    bool RowHasButtons = false;
    for (Button& B : Buttons) {
      if (B.Hidden()) {
        B.Rect = RECT{};
        continue;
      }
      int W = WidthOf(B, Base);
      if (Has(TBSTYLE_WRAPABLE) && RowHasButtons && X + W > Width) {
        X = Indent;
        Y += Base.cy;
        RowHasButtons = false;
        if (B.Separator()) {  // a separator at the start of a row takes no room
          B.Rect = RECT{X, Y, X, Y + Base.cy};
          continue;
        }
      }
      B.Rect = RECT{X, Y, X + W, Y + Base.cy};
      X += W;
      RowHasButtons = true;
      if (B.State & TBSTATE_WRAP) {
        X = Indent;
        Y += Base.cy;
        RowHasButtons = false;
      }
    }
    return RowHasButtons ? Y + Base.cy : Y;
  }

  void Place() {
    if (InLayout) return;
    InLayout = true;
    DWORD St = Style();
    HWND Parent = GetParent(Hwnd);
    int Need = Arrange();
    if (!(St & CCS_NORESIZE) && Parent) {
      RECT P{};
      GetClientRect(Parent, &P);
      RECT W{};
      GetWindowRect(Hwnd, &W);
      POINT Pos{W.left, W.top};
      ScreenToClient(Parent, &Pos);
      int H = std::max(Need, static_cast<int>(BaseSize().cy) + Top()) + ((St & WS_BORDER) ? 2 : 0);
      int Y = (St & CCS_NOPARENTALIGN) ? Pos.y : ((St & 3) == CCS_BOTTOM ? P.bottom - H : 0);
      int X = (St & CCS_NOPARENTALIGN) ? Pos.x : 0;
      int Width = (St & CCS_NOPARENTALIGN) ? W.right - W.left : P.right;
      SetWindowPos(Hwnd, nullptr, X, Y, Width, H, SWP_NOZORDER | SWP_NOACTIVATE);
      Arrange();
    }
    InLayout = false;
    SyncTips();
    InvalidateRect(Hwnd, nullptr, TRUE);
  }

  void Relayout() {
    Arrange();
    SyncTips();
    InvalidateRect(Hwnd, nullptr, TRUE);
  }
  void FontSet(bool) { Relayout(); }

  int HitButton(POINT P) const {
    for (int I = 0; I < Count(); ++I)
      if (!Buttons[I].Hidden() && !Buttons[I].Separator() && InRect(Buttons[I].Rect, P)) return I;
    return -1;
  }

  // ---- tool tips ----------------------------------------------------------------------------------
  void SyncTips() {
    if (!Tips || !IsWindow(Tips)) return;
    for (int Id : TipIds) {
      TOOLINFO Ti;
      Ti.hwnd = Hwnd;
      Ti.uId = static_cast<UINT_PTR>(Id);
      SendMessage(Tips, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&Ti));
    }
    TipIds.clear();
    for (const Button& B : Buttons) {
      if (B.Separator() || B.Hidden()) continue;
      TOOLINFO Ti;
      Ti.hwnd = Hwnd;
      Ti.uId = static_cast<UINT_PTR>(B.Id);
      Ti.rect = B.Rect;
      Ti.lpszText = LPSTR_TEXTCALLBACK;
      SendMessage(Tips, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&Ti));
      TipIds.push_back(B.Id);
    }
  }

  void Relay(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Tips || !IsWindow(Tips)) return;
    MSG M;
    M.hwnd = Hwnd;
    M.message = Msg;
    M.wParam = WParam;
    M.lParam = LParam;
    M.time = static_cast<DWORD>(GetMessageTime());
    SendMessage(Tips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&M));
  }

  // ---- state --------------------------------------------------------------------------------------
  void InvalidateButton(int I) {
    if (Valid(I)) InvalidateRect(Hwnd, &Buttons[I].Rect, TRUE);
  }

  void SetState(int I, BYTE State) {
    if (!Valid(I)) return;
    BYTE Old = Buttons[I].State;
    Buttons[I].State = State;
    if ((Old ^ State) & (TBSTATE_HIDDEN | TBSTATE_WRAP))
      Relayout();
    else if (Old != State)
      InvalidateButton(I);
    if (!(State & TBSTATE_ENABLED) && I == Hot) SetHot(-1, HICF_OTHER);
  }

  // The run of check-group buttons around I.
  void GroupRange(int I, int& First, int& Last) const {
    First = Last = I;
    auto InGroup = [&](int K) { return Valid(K) && (Buttons[K].Style & BTNS_GROUP) && !Buttons[K].Separator(); };
    while (InGroup(First - 1)) --First;
    while (InGroup(Last + 1)) ++Last;
  }

  void Check(int I, bool On) {
    if (!Valid(I)) return;
    if (On && (Buttons[I].Style & BTNS_GROUP)) {
      int First, Last;
      GroupRange(I, First, Last);
      for (int K = First; K <= Last; ++K)
        if (K != I) SetState(K, Buttons[K].State & ~TBSTATE_CHECKED);
    }
    SetState(I, On ? (Buttons[I].State | TBSTATE_CHECKED) : (Buttons[I].State & ~TBSTATE_CHECKED));
  }

  bool SetHot(int I, DWORD Flags) {
    if (I == Hot) return true;
    NMTBHOTITEM Nm;
    Nm.idOld = Valid(Hot) ? Buttons[Hot].Id : 0;
    Nm.idNew = Valid(I) ? Buttons[I].Id : 0;
    Nm.dwFlags = Flags | (Hot < 0 ? HICF_ENTERING : 0) | (I < 0 ? HICF_LEAVING : 0);
    if (Notify(Nm.hdr, TBN_HOTITEMCHANGE)) return false;
    InvalidateButton(Hot);
    Hot = I;
    InvalidateButton(Hot);
    return true;
  }

  // ---- buttons ------------------------------------------------------------------------------------
  std::string TextFrom(INT_PTR Arg) const {
    if (Arg == 0 || Arg == -1) return {};
    if (IS_INTRESOURCE(reinterpret_cast<LPCSTR>(Arg)))
      return Arg >= 0 && Arg < static_cast<INT_PTR>(Strings.size()) ? Strings[static_cast<size_t>(Arg)] : std::string();
    return reinterpret_cast<const char*>(Arg);
  }

  Button FromStruct(const TBBUTTON& T) const {
    Button B;
    B.Image = T.iBitmap;
    B.Id = T.idCommand;
    B.State = T.fsState;
    B.Style = T.fsStyle;
    B.Data = T.dwData;
    B.StringArg = T.iString;
    B.Text = TextFrom(T.iString);
    return B;
  }

  void ToStruct(const Button& B, TBBUTTON& T) const {
    T.iBitmap = B.Image;
    T.idCommand = B.Id;
    T.fsState = B.State;
    T.fsStyle = B.Style;
    T.dwData = B.Data;
    T.iString = B.StringArg;
  }

  bool Insert(int At, const TBBUTTON* T, int N) {
    if (!T || N <= 0 || At < 0 || At > Count()) return false;
    std::vector<Button> New;
    for (int K = 0; K < N; ++K) New.push_back(FromStruct(T[K]));
    Buttons.insert(Buttons.begin() + At, New.begin(), New.end());
    if (Hot >= At) Hot += N;
    if (Pressed >= At) Pressed += N;
    Relayout();
    return true;
  }

  bool Delete(int I) {
    if (!Valid(I)) return false;
    Buttons.erase(Buttons.begin() + I);
    if (Hot == I) Hot = -1;
    else if (Hot > I) --Hot;
    if (Pressed == I) {
      Pressed = -1;
      if (GetCapture() == Hwnd) ReleaseCapture();
    } else if (Pressed > I) {
      --Pressed;
    }
    Relayout();
    return true;
  }

  LRESULT GetInfo(WPARAM Which, TBBUTTONINFOA* Info) {
    if (!Info) return -1;
    int I = (Info->dwMask & TBIF_BYINDEX) ? static_cast<int>(Which) : IndexOf(static_cast<int>(Which));
    if (!Valid(I)) return -1;
    const Button& B = Buttons[I];
    if (Info->dwMask & TBIF_COMMAND) Info->idCommand = B.Id;
    if (Info->dwMask & TBIF_IMAGE) Info->iImage = B.Image;
    if (Info->dwMask & TBIF_STATE) Info->fsState = B.State;
    if (Info->dwMask & TBIF_STYLE) Info->fsStyle = B.Style;
    if (Info->dwMask & TBIF_LPARAM) Info->lParam = B.Data;
    if (Info->dwMask & TBIF_SIZE) Info->cx = static_cast<WORD>(B.Rect.right - B.Rect.left);
    if ((Info->dwMask & TBIF_TEXT) && Info->pszText && Info->cchText > 0)
      CopyTextOut(B.Text, static_cast<WPARAM>(Info->cchText), reinterpret_cast<LPARAM>(Info->pszText));
    return I;
  }

  bool SetInfo(WPARAM Which, const TBBUTTONINFOA* Info) {
    if (!Info) return false;
    int I = (Info->dwMask & TBIF_BYINDEX) ? static_cast<int>(Which) : IndexOf(static_cast<int>(Which));
    if (!Valid(I)) return false;
    Button& B = Buttons[I];
    if (Info->dwMask & TBIF_COMMAND) B.Id = Info->idCommand;
    if (Info->dwMask & TBIF_IMAGE) B.Image = Info->iImage;
    if (Info->dwMask & TBIF_STYLE) B.Style = Info->fsStyle;
    if (Info->dwMask & TBIF_LPARAM) B.Data = Info->lParam;
    if (Info->dwMask & TBIF_SIZE) B.Cx = Info->cx;
    if (Info->dwMask & TBIF_TEXT) {
      B.Text = Info->pszText ? Info->pszText : "";
      B.StringArg = 0;
    }
    if (Info->dwMask & TBIF_STATE) SetState(I, Info->fsState);
    Relayout();
    return true;
  }

  // ---- painting -----------------------------------------------------------------------------------
  HBRUSH DitherBrush() {
    if (!Dither) {
      const WORD Rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
      HBITMAP Pattern = CreateBitmap(8, 8, 1, 1, Rows);
      Dither = CreatePatternBrush(Pattern);
      DeleteObject(Pattern);
    }
    return Dither;
  }

  // Paints the opaque shape of image I of a list in one colour.
  void DrawShape(HDC Dc, HIMAGELIST L, int I, int X, int Y, COLORREF Colour) {
    int W = 0, H = 0;
    ImageList_GetIconSize(L, &W, &H);
    HDC Mem = CreateCompatibleDC(Dc);
    HBITMAP Mono = CreateBitmap(W, H, 1, 1, nullptr);
    HGDIOBJ OldBitmap = SelectObject(Mem, Mono);
    PatBlt(Mem, 0, 0, W, H, WHITENESS);
    ImageList_Draw(L, I, Mem, 0, 0, ILD_MASK);
    HBRUSH Brush = CreateSolidBrush(Colour);
    HGDIOBJ OldBrush = SelectObject(Dc, Brush);
    COLORREF OldText = SetTextColor(Dc, RGB(0, 0, 0));
    COLORREF OldBk = SetBkColor(Dc, RGB(255, 255, 255));
    BitBlt(Dc, X, Y, W, H, Mem, 0, 0, kMaskRop);
    SetTextColor(Dc, OldText);
    SetBkColor(Dc, OldBk);
    SelectObject(Dc, OldBrush);
    DeleteObject(Brush);
    SelectObject(Mem, OldBitmap);
    DeleteObject(Mono);
    DeleteDC(Mem);
  }

  static bool Usable(HIMAGELIST L, int I) { return L && I >= 0 && I < ImageList_GetImageCount(L); }

  void DrawArrow(HDC Dc, int X, int Y, COLORREF C) {
    for (int Row = 0; Row < 3; ++Row)
      for (int K = Row; K < 5 - Row; ++K) SetPixelV(Dc, X + K, Y + Row, C);
  }

  UINT ItemState(int I) const {
    const Button& B = Buttons[I];
    UINT S = 0;
    if (B.State & TBSTATE_CHECKED) S |= CDIS_CHECKED;
    if ((B.State & TBSTATE_PRESSED) || I == DropPressed) S |= CDIS_SELECTED;
    if (!B.Enabled()) S |= CDIS_DISABLED;
    if (B.State & TBSTATE_INDETERMINATE) S |= CDIS_INDETERMINATE;
    if (B.State & TBSTATE_MARKED) S |= CDIS_MARKED;
    if (I == Hot && B.Enabled()) S |= CDIS_HOT;
    return S;
  }

  void DrawButton(HDC Dc, int I) {
    const Button& B = Buttons[I];
    RECT R = B.Rect;
    bool Pushed = (B.State & TBSTATE_PRESSED) != 0;
    bool Checked = (B.State & TBSTATE_CHECKED) != 0;
    bool Enabled = B.Enabled();
    bool IsHot = I == Hot && Enabled && Flat();
    RECT Arrow{};
    if (SplitArrow(B)) {
      Arrow = RECT{R.right - kDropWidth, R.top, R.right, R.bottom};
      R.right = Arrow.left;
    }
    if (Checked && !Pushed) {
      RECT In{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1};
      COLORREF OldText = SetTextColor(Dc, GetSysColor(COLOR_BTNFACE));
      COLORREF OldBk = SetBkColor(Dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      FillRect(Dc, &In, DitherBrush());
      SetTextColor(Dc, OldText);
      SetBkColor(Dc, OldBk);
    }
    RECT Edge = R;
    if (Pushed || Checked)
      DrawEdge(Dc, &Edge, Flat() ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    else if (IsHot)
      DrawEdge(Dc, &Edge, BDR_RAISEDINNER, BF_RECT);
    else if (!Flat())
      DrawEdge(Dc, &Edge, EDGE_RAISED, BF_RECT);
    if (Arrow.right > Arrow.left) {
      RECT Ae = Arrow;
      if (I == DropPressed)
        DrawEdge(Dc, &Ae, Flat() ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
      else if (IsHot || !Flat())
        DrawEdge(Dc, &Ae, Flat() ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
      DrawArrow(Dc, (Arrow.left + Arrow.right) / 2 - 2, (Arrow.top + Arrow.bottom) / 2 - 1,
                GetSysColor(Enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    } else if (B.Style & BTNS_DROPDOWN) {
      DrawArrow(Dc, R.right - 9, (R.top + R.bottom) / 2 - 1, GetSysColor(Enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
      R.right -= kDropWidth - 4;
    }
    int Off = Pushed || Checked ? 1 : 0;
    int W = R.right - R.left, H = R.bottom - R.top;
    bool Text = ShowsText(B);
    int ImgX = List() ? R.left + 3 : R.left + (W - BitmapW) / 2;
    int ImgY = List() || !Text ? R.top + (H - BitmapH) / 2 : R.top + 3;
    ImgX += Off;
    ImgY += Off;
    bool HasImage = B.Image != I_IMAGENONE && Usable(Images, B.Image);
    if (HasImage) {
      if (!Enabled && Usable(DisabledImages, B.Image)) {
        ImageList_Draw(DisabledImages, B.Image, Dc, ImgX, ImgY, ILD_TRANSPARENT);
      } else if (!Enabled) {
        DrawShape(Dc, Images, B.Image, ImgX + 1, ImgY + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawShape(Dc, Images, B.Image, ImgX, ImgY, GetSysColor(COLOR_BTNSHADOW));
      } else {
        HIMAGELIST L = IsHot && Usable(HotImages, B.Image) ? HotImages : Images;
        ImageList_Draw(L, B.Image, Dc, ImgX, ImgY, ILD_TRANSPARENT);
      }
    }
    if (Text) {
      RECT T;
      UINT Format = DT_SINGLELINE | DT_END_ELLIPSIS | ((B.Style & BTNS_NOPREFIX) ? DT_NOPREFIX : 0);
      if (List()) {
        T = RECT{(HasImage ? ImgX + BitmapW + 3 : R.left + 3 + Off), R.top + Off, R.right - 2, R.bottom + Off};
        Format |= DT_LEFT | DT_VCENTER;
      } else {
        T = RECT{R.left + 2 + Off, R.top + 3 + BitmapH + 1 + Off, R.right - 2 + Off, R.bottom - 2 + Off};
        Format |= DT_CENTER | DT_TOP;
      }
      SetBkMode(Dc, TRANSPARENT);
      if (!Enabled) {
        RECT Lit = T;
        OffsetBy(Lit, 1, 1);
        SetTextColor(Dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawText(Dc, B.Text.c_str(), -1, &Lit, Format);
        SetTextColor(Dc, GetSysColor(COLOR_BTNSHADOW));
      } else {
        SetTextColor(Dc, GetSysColor(COLOR_BTNTEXT));
      }
      DrawText(Dc, B.Text.c_str(), -1, &T, Format);
    }
  }

  static void OffsetBy(RECT& R, int Dx, int Dy) {
    R.left += Dx;
    R.right += Dx;
    R.top += Dy;
    R.bottom += Dy;
  }

  void DrawSeparator(HDC Dc, const Button& B) {
    if (!Flat() || B.Rect.right <= B.Rect.left) return;
    int X = (B.Rect.left + B.Rect.right) / 2 - 1;
    RECT Line{X, B.Rect.top + 2, X + 1, B.Rect.bottom - 2};
    FillRect(Dc, &Line, GetSysColorBrush(COLOR_BTNSHADOW));
    OffsetBy(Line, 1, 0);
    FillRect(Dc, &Line, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  }

  void PaintBackground(HDC Dc) {
    RECT C = Client();
    FillRect(Dc, &C, GetSysColorBrush(COLOR_BTNFACE));
    if (Has(TBSTYLE_TRANSPARENT)) {
      // The parent paints what shows through, in its own coordinates.
      if (HWND Parent = GetParent(Hwnd)) {
        POINT O{0, 0};
        MapWindowPoints(Hwnd, Parent, &O, 1);
        POINT Old;
        OffsetViewportOrgEx(Dc, -O.x, -O.y, &Old);
        SendMessage(Parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0);
        SetViewportOrgEx(Dc, Old.x, Old.y, nullptr);
      }
    }
    if (!Has(CCS_NODIVIDER)) {
      RECT Line{0, 0, C.right, 1};
      FillRect(Dc, &Line, GetSysColorBrush(COLOR_BTNSHADOW));
      Line = RECT{0, 1, C.right, 2};
      FillRect(Dc, &Line, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }
  }

  void Paint(HDC Dc) {
    NMTBCUSTOMDRAW Cd;
    Cd.nmcd.hdc = Dc;
    Cd.nmcd.rc = Client();
    Cd.nmcd.dwDrawStage = CDDS_PREPAINT;
    PaintBackground(Dc);
    LRESULT Global = Notify(Cd.nmcd.hdr, NM_CUSTOMDRAW);
    if (!StillAlive()) return;
    HGDIOBJ OldFont = SelectObject(Dc, Font ? Font : DefaultControlFont());
    if (!(Global & CDRF_SKIPDEFAULT)) {
      for (int I = 0; I < Count(); ++I) {
        const Button& B = Buttons[I];
        if (B.Hidden()) continue;
        if (B.Separator()) {
          DrawSeparator(Dc, B);
          continue;
        }
        LRESULT Item = CDRF_DODEFAULT;
        int Saved = SaveDC(Dc);
        if (Global & CDRF_NOTIFYITEMDRAW) {
          NMTBCUSTOMDRAW Ic;
          Ic.nmcd.hdc = Dc;
          Ic.nmcd.rc = B.Rect;
          Ic.nmcd.dwItemSpec = static_cast<DWORD_PTR>(B.Id);
          Ic.nmcd.uItemState = ItemState(I);
          Ic.nmcd.lItemlParam = static_cast<LPARAM>(B.Data);
          Ic.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
          Ic.clrText = GetSysColor(COLOR_BTNTEXT);
          Ic.clrBtnFace = GetSysColor(COLOR_BTNFACE);
          Ic.clrBtnHighlight = GetSysColor(COLOR_BTNHIGHLIGHT);
          Ic.rcText = B.Rect;
          Item = Notify(Ic.nmcd.hdr, NM_CUSTOMDRAW);
          if (!StillAlive() || I >= Count()) return;
          if (!(Item & CDRF_SKIPDEFAULT)) DrawButton(Dc, I);
          if (Item & CDRF_NOTIFYPOSTPAINT) {
            Ic.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
            Notify(Ic.nmcd.hdr, NM_CUSTOMDRAW);
            if (!StillAlive() || I >= Count()) return;
          }
        } else {
          DrawButton(Dc, I);
        }
        RestoreDC(Dc, Saved);
      }
    }
    SelectObject(Dc, OldFont);
    if (Global & CDRF_NOTIFYPOSTPAINT) {
      Cd.nmcd.dwDrawStage = CDDS_POSTPAINT;
      Notify(Cd.nmcd.hdr, NM_CUSTOMDRAW);
    }
  }

  // ---- mouse --------------------------------------------------------------------------------------
  void TrackLeave() {
    if (Tracking) return;
    TRACKMOUSEEVENT T;
    T.dwFlags = TME_LEAVE;
    T.hwndTrack = Hwnd;
    Tracking = TrackMouseEvent(&T) != FALSE;
  }

  void MouseMove(POINT P) {
    int I = HitButton(P);
    if (Pressed >= 0) {
      bool Now = I == Pressed;
      if (Now != Inside) {
        Inside = Now;
        BYTE S = Buttons[Pressed].State;
        SetState(Pressed, Now ? (S | TBSTATE_PRESSED) : (S & ~TBSTATE_PRESSED));
      }
      return;
    }
    if (Flat()) {
      SetHot(Valid(I) && Buttons[I].Enabled() ? I : -1, HICF_MOUSE);
      if (Hot >= 0) TrackLeave();
    }
  }

  void ButtonDown(POINT P) {
    int I = HitButton(P);
    if (!Valid(I) || !Buttons[I].Enabled()) return;
    const Button B = Buttons[I];
    bool OnArrow = SplitArrow(B) && P.x >= B.Rect.right - kDropWidth;
    bool Drops = (B.Style & BTNS_DROPDOWN) && (OnArrow || !SplitArrow(B));
    if (Drops) {
      DropPressed = I;
      InvalidateButton(I);
      UpdateWindow(Hwnd);
      NMTOOLBARA Nm;
      Nm.iItem = B.Id;
      ToStruct(B, Nm.tbButton);
      Nm.rcButton = B.Rect;
      LRESULT R = Notify(Nm.hdr, TBN_DROPDOWN);
      if (!StillAlive()) return;
      InvalidateButton(DropPressed);
      DropPressed = -1;
      if (R != TBDDRET_TREATPRESSED) return;
      I = IndexOf(B.Id);
      if (!Valid(I)) return;
    }
    Pressed = I;
    Inside = true;
    SetState(I, Buttons[I].State | TBSTATE_PRESSED);
    SetCapture(Hwnd);
  }

  void ButtonUp(POINT P) {
    if (Pressed < 0) return;
    int I = Pressed;
    Pressed = -1;
    if (GetCapture() == Hwnd) ReleaseCapture();
    if (!Valid(I)) return;
    SetState(I, Buttons[I].State & ~TBSTATE_PRESSED);
    if (HitButton(P) != I || !Buttons[I].Enabled()) return;
    Button& B = Buttons[I];
    if (B.Style & BTNS_CHECK) {
      bool Group = (B.Style & BTNS_GROUP) != 0;
      if (Group)
        Check(I, true);
      else
        Check(I, !(B.State & TBSTATE_CHECKED));
    }
    int Id = Buttons[I].Id;
    if (HWND To = NotifyWindow()) SendMessage(To, WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED), reinterpret_cast<LPARAM>(Hwnd));
  }

  void CancelPress() {
    if (Pressed < 0) return;
    int I = Pressed;
    Pressed = -1;
    if (Valid(I)) SetState(I, Buttons[I].State & ~TBSTATE_PRESSED);
  }

  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);
};

LRESULT ToolBar::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  const int Id = static_cast<int>(static_cast<INT_PTR>(WParam));
  switch (Msg) {
    case WM_CREATE:
      if (Has(TBSTYLE_TOOLTIPS)) {
        Tips = CreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASS, "", WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, Hwnd, nullptr,
                              nullptr, nullptr);
        OwnTips = Tips != nullptr;
      }
      Place();
      return 0;
    case WM_DESTROY:
      if (OwnTips && Tips && IsWindow(Tips)) DestroyWindow(Tips);
      Tips = nullptr;
      return 0;
    case WM_SIZE:
      if (!InLayout) Place();
      return 0;
    case WM_ENABLE:
    case WM_STYLECHANGED:
      Relayout();
      return 0;
    case WM_MOUSEMOVE:
      Relay(Msg, WParam, LParam);
      MouseMove(POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_MOUSELEAVE:
      Tracking = false;
      if (Pressed < 0) SetHot(-1, HICF_MOUSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      Relay(Msg, WParam, LParam);
      ButtonDown(POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_LBUTTONUP:
      Relay(Msg, WParam, LParam);
      ButtonUp(POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      Relay(Msg, WParam, LParam);
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(LParam) != Hwnd) CancelPress();
      return 0;
    case WM_CANCELMODE:
      CancelPress();
      if (GetCapture() == Hwnd) ReleaseCapture();
      return 0;
    case WM_NOTIFY: {
      // Tip texts are the parent's to give.
      auto* Header = reinterpret_cast<NMHDR*>(LParam);
      if (Header && Header->hwndFrom == Tips && Header->code == TTN_GETDISPINFO) {
        HWND To = NotifyWindow();
        return To ? SendMessage(To, WM_NOTIFY, WParam, LParam) : 0;
      }
      return 0;
    }

    case TB_BUTTONSTRUCTSIZE:
      return 0;
    case TB_ADDBUTTONS:
      return Insert(Count(), reinterpret_cast<const TBBUTTON*>(LParam), Id) ? TRUE : FALSE;
    case TB_INSERTBUTTON:
      return Insert(Id < 0 || Id > Count() ? Count() : Id, reinterpret_cast<const TBBUTTON*>(LParam), 1) ? TRUE : FALSE;
    case TB_DELETEBUTTON:
      return Delete(Id) ? TRUE : FALSE;
    case TB_BUTTONCOUNT:
      return Count();
    case TB_GETBUTTON: {
      auto* T = reinterpret_cast<TBBUTTON*>(LParam);
      if (!Valid(Id) || !T) return FALSE;
      ToStruct(Buttons[Id], *T);
      return TRUE;
    }
    case TB_COMMANDTOINDEX:
      return IndexOf(Id);
    case TB_ADDSTRING: {
      if (WParam || !LParam) return -1;  // strings from resources are not offered
      const char* P = reinterpret_cast<const char*>(LParam);
      int First = static_cast<int>(Strings.size());
      while (*P) {
        Strings.emplace_back(P);
        P += std::strlen(P) + 1;
      }
      return First;
    }
    case TB_GETBUTTONTEXT: {
      int I = IndexOf(Id);
      if (!Valid(I)) return -1;
      if (LParam) {
        char* Out = reinterpret_cast<char*>(LParam);
        std::memcpy(Out, Buttons[I].Text.c_str(), Buttons[I].Text.size() + 1);
      }
      return static_cast<LRESULT>(Buttons[I].Text.size());
    }
    case TB_GETITEMRECT:
    case TB_GETRECT: {
      int I = Msg == TB_GETITEMRECT ? Id : IndexOf(Id);
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (!Valid(I) || !R || Buttons[I].Hidden()) return FALSE;
      *R = Buttons[I].Rect;
      return TRUE;
    }
    case TB_SETBUTTONSIZE:
      ButtonW = LOWORD(LParam);
      ButtonH = HIWORD(LParam);
      Place();
      return TRUE;
    case TB_GETBUTTONSIZE: {
      SIZE S = BaseSize();
      return MAKELONG(S.cx, S.cy);
    }
    case TB_SETBITMAPSIZE:
      BitmapW = std::max<int>(1, LOWORD(LParam));
      BitmapH = std::max<int>(1, HIWORD(LParam));
      Place();
      return TRUE;
    case TB_AUTOSIZE:
      Place();
      return 0;
    case TB_SETIMAGELIST:
    case TB_SETHOTIMAGELIST:
    case TB_SETDISABLEDIMAGELIST: {
      HIMAGELIST& Slot = Msg == TB_SETIMAGELIST ? Images : Msg == TB_SETHOTIMAGELIST ? HotImages : DisabledImages;
      HIMAGELIST Old = Slot;
      Slot = reinterpret_cast<HIMAGELIST>(LParam);
      if (Msg == TB_SETIMAGELIST && Slot) {
        int W = 0, H = 0;
        if (ImageList_GetIconSize(Slot, &W, &H)) {
          BitmapW = W;
          BitmapH = H;
        }
      }
      Place();
      return reinterpret_cast<LRESULT>(Old);
    }
    case TB_GETIMAGELIST:
      return reinterpret_cast<LRESULT>(Images);
    case TB_GETHOTIMAGELIST:
      return reinterpret_cast<LRESULT>(HotImages);
    case TB_GETDISABLEDIMAGELIST:
      return reinterpret_cast<LRESULT>(DisabledImages);
    case TB_CHECKBUTTON:
    case TB_ENABLEBUTTON:
    case TB_PRESSBUTTON:
    case TB_HIDEBUTTON:
    case TB_INDETERMINATE:
    case TB_MARKBUTTON: {
      int I = IndexOf(Id);
      if (!Valid(I)) return FALSE;
      bool On = LOWORD(LParam) != 0;
      if (Msg == TB_CHECKBUTTON) {
        Check(I, On);
        return TRUE;
      }
      BYTE Bit = Msg == TB_ENABLEBUTTON ? TBSTATE_ENABLED
                 : Msg == TB_PRESSBUTTON ? TBSTATE_PRESSED
                 : Msg == TB_HIDEBUTTON  ? TBSTATE_HIDDEN
                 : Msg == TB_INDETERMINATE ? TBSTATE_INDETERMINATE
                                           : TBSTATE_MARKED;
      SetState(I, On ? (Buttons[I].State | Bit) : (Buttons[I].State & ~Bit));
      return TRUE;
    }
    case TB_ISBUTTONENABLED:
    case TB_ISBUTTONCHECKED:
    case TB_ISBUTTONPRESSED:
    case TB_ISBUTTONHIDDEN:
    case TB_ISBUTTONINDETERMINATE:
    case TB_ISBUTTONHIGHLIGHTED: {
      int I = IndexOf(Id);
      if (!Valid(I)) return -1;
      BYTE Bit = Msg == TB_ISBUTTONENABLED ? TBSTATE_ENABLED
                 : Msg == TB_ISBUTTONCHECKED ? TBSTATE_CHECKED
                 : Msg == TB_ISBUTTONPRESSED ? TBSTATE_PRESSED
                 : Msg == TB_ISBUTTONHIDDEN  ? TBSTATE_HIDDEN
                 : Msg == TB_ISBUTTONINDETERMINATE ? TBSTATE_INDETERMINATE
                                                   : TBSTATE_MARKED;
      return (Buttons[I].State & Bit) ? TRUE : FALSE;
    }
    case TB_SETSTATE: {
      int I = IndexOf(Id);
      if (!Valid(I)) return FALSE;
      SetState(I, static_cast<BYTE>(LOWORD(LParam)));
      return TRUE;
    }
    case TB_GETSTATE: {
      int I = IndexOf(Id);
      return Valid(I) ? Buttons[I].State : -1;
    }
    case TB_GETBUTTONINFO:
      return GetInfo(WParam, reinterpret_cast<TBBUTTONINFOA*>(LParam));
    case TB_SETBUTTONINFO:
      return SetInfo(WParam, reinterpret_cast<const TBBUTTONINFOA*>(LParam)) ? TRUE : FALSE;
    case TB_HITTEST: {
      // A button's index; otherwise -1 - the index of the separator or nearest button there.
      auto* P = reinterpret_cast<const POINT*>(LParam);
      if (!P) return -1;
      int Nearest = -1;
      int Best = 0x7FFFFFFF;
      for (int I = 0; I < Count(); ++I) {
        const Button& B = Buttons[I];
        if (B.Hidden()) continue;
        if (InRect(B.Rect, *P)) return B.Separator() ? -1 - I : I;
        int Dx = P->x < B.Rect.left ? B.Rect.left - P->x : P->x >= B.Rect.right ? P->x - B.Rect.right + 1 : 0;
        int Dy = P->y < B.Rect.top ? B.Rect.top - P->y : P->y >= B.Rect.bottom ? P->y - B.Rect.bottom + 1 : 0;
        if (!B.Separator() && Dx + Dy < Best) {
          Best = Dx + Dy;
          Nearest = I;
        }
      }
      return Nearest >= 0 ? -1 - Nearest : -1;
    }
    case TB_SETTOOLTIPS:
      if (OwnTips && Tips && IsWindow(Tips) && Tips != reinterpret_cast<HWND>(WParam)) DestroyWindow(Tips);
      Tips = reinterpret_cast<HWND>(WParam);
      OwnTips = false;
      TipIds.clear();
      SyncTips();
      return 0;
    case TB_GETTOOLTIPS:
      return reinterpret_cast<LRESULT>(Tips);
    case TB_SETPARENT: {
      HWND Old = NotifyWindow();
      Target = reinterpret_cast<HWND>(WParam);
      return reinterpret_cast<LRESULT>(Old);
    }
    case TB_SETINDENT:
      Indent = Id;
      Relayout();
      return TRUE;
    case TB_SETMAXTEXTROWS:
      MaxTextRows = Id;
      Place();
      return TRUE;
    case TB_GETTEXTROWS:
      return MaxTextRows;
    case TB_SETEXTENDEDSTYLE: {
      DWORD Old = ExStyle;
      ExStyle = WParam ? (ExStyle & ~static_cast<DWORD>(WParam)) | (static_cast<DWORD>(LParam) & static_cast<DWORD>(WParam))
                       : static_cast<DWORD>(LParam);
      Place();
      return Old;
    }
    case TB_GETEXTENDEDSTYLE:
      return ExStyle;
    case TB_SETSTYLE:
      SetWindowLong(Hwnd, GWL_STYLE, static_cast<LONG>(LParam));
      return 0;
    case TB_GETSTYLE:
      return Style();
    case TB_GETHOTITEM:
      return Hot;
    case TB_SETHOTITEM: {
      int Old = Hot;
      SetHot(Valid(Id) && Buttons[Id].Enabled() && !Buttons[Id].Separator() ? Id : -1, HICF_OTHER);
      return Old;
    }
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterToolBarClass() {
  RegisterToolTipClass();
  RegisterControl<ToolBar>(TOOLBARCLASSNAME, CS_DBLCLKS, IDC_ARROW);
}

}  // namespace k58::builtin
