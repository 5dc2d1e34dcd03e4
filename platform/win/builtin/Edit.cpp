// The "Edit" window class: single-line and multi-line text editing over EditModel, with the caret,
// scrolling, painting, mouse selection, keyboard editing, the clipboard and the notifications to the
// parent.
//
// Modifier keys come from the keyboard state (GetKeyState) as of the message being handled, as for
// the platform's own edit control; code that sends keys to the control and wants other modifiers
// sets the keyboard state around the send (SetKeyboardState).
//
// WM_SETTEXT notifies EN_CHANGE for a single-line control even when the text does not change, and
// never for a multi-line one; creation puts the text in without notifying.
#include <algorithm>
#include <memory>
#include <unordered_map>

#include "platform/rtl/Utf.h"
#include "platform/win/builtin/CommCtrlInternal.h"
#include "platform/win/builtin/EditModel.h"
#include "platform/win/ui/WinClipboard.h"

namespace k58::builtin {

namespace {

struct EditState : ControlState {
  EditState(HWND Window, const CREATESTRUCT& Create);
  void Paint(HDC Dc);
  void FontSet(bool Redraw);
  LRESULT Handle(UINT Msg, WPARAM WParam, LPARAM LParam);

  EditModel M;
  DWORD Style = 0;
  HFONT Font = nullptr;
  int LineHeight = 16;
  int AveWidth = 7;
  int LeftMargin = 1;
  int RightMargin = 1;
  RECT Format{};
  bool UserFormat = false;
  int FirstX = 0;     // pixels scrolled horizontally
  int FirstLine = 0;  // first visible line (multi-line)
  std::vector<EditLine> Lines;
  bool Focused = false;
  bool Tracking = false;
  char32_t PasswordChar = 0;
  char16_t PendingHigh = 0;
  // Character widths of the current font.
  HDC MeasureDc = nullptr;
  std::unordered_map<char32_t, int> Widths;

  ~EditState() {
    if (MeasureDc) DeleteDC(MeasureDc);
  }
  bool Multi() const { return (Style & ES_MULTILINE) != 0; }
  bool Password() const { return !Multi() && PasswordChar != 0; }
  bool Wraps() const { return Multi() && !(Style & ES_AUTOHSCROLL) && !(Style & WS_HSCROLL); }
};

HFONT FontOf(const EditState& S) { return S.Font ? S.Font : DefaultControlFont(); }

int CharWidth(EditState& S, char32_t C) {
  auto It = S.Widths.find(C);
  if (It != S.Widths.end()) return It->second;
  if (!S.MeasureDc) S.MeasureDc = CreateCompatibleDC(nullptr);
  SelectObject(S.MeasureDc, FontOf(S));
  std::u16string Units;
  k58::rtl::AppendUtf16(Units, C);
  SIZE Sz{};
  GetTextExtentPoint32W(S.MeasureDc, Units.data(), static_cast<int>(Units.size()), &Sz);
  S.Widths[C] = Sz.cx;
  return Sz.cx;
}

// What is shown for the text: the password character for each character in password mode.
char32_t Shown(const EditState& S, char32_t C) { return S.Password() ? S.PasswordChar : C; }

void Measure(EditState& S, const char32_t* Chars, int Count, std::vector<int>& Extents) {
  Extents.resize(static_cast<size_t>(Count));
  int X = 0;
  int Tab = 8 * std::max(1, CharWidth(S, U' '));
  for (int I = 0; I < Count; ++I) {
    char32_t C = Shown(S, Chars[I]);
    if (C == U'\t' && S.Multi())
      X = (X / Tab + 1) * Tab;
    else
      X += CharWidth(S, C);
    Extents[static_cast<size_t>(I)] = X;
  }
}

int LineWidth(EditState& S, const EditLine& L) {
  if (L.Length == 0) return 0;
  std::vector<int> E;
  Measure(S, S.M.Text().data() + L.Start, L.Length, E);
  return E.back();
}

// x of a character position within its line, from the line's left end.
int XInLine(EditState& S, const EditLine& L, int Pos) {
  int N = std::max(0, std::min(Pos - L.Start, L.Length));
  if (N == 0) return 0;
  std::vector<int> E;
  Measure(S, S.M.Text().data() + L.Start, N, E);
  return E.back();
}

int FormatWidth(const EditState& S) { return std::max(0, S.Format.right - S.Format.left); }
int VisibleLines(const EditState& S) {
  return std::max(1, (S.Format.bottom - S.Format.top) / std::max(1, S.LineHeight));
}

// Left end of a line in client coordinates (alignment and horizontal scrolling applied).
int LineLeft(EditState& S, const EditLine& L) {
  int X = S.Format.left - S.FirstX;
  DWORD Align = S.Style & (ES_CENTER | ES_RIGHT);
  if (Align) {
    int Room = FormatWidth(S) - LineWidth(S, L);
    if (Room > 0) X += (Align & ES_RIGHT) ? Room : Room / 2;
  }
  return X;
}

int LineTop(const EditState& S, int Line) { return S.Format.top + (Line - S.FirstLine) * S.LineHeight; }

void Relayout(EditState& S) {
  S.Lines = LayoutEditLines(S.M.Text(), S.Multi(), S.Wraps(), FormatWidth(S),
                            [&S](const char32_t* C, int N, std::vector<int>& E) { Measure(S, C, N, E); });
}

void DefaultFormat(EditState& S) {
  RECT C;
  GetClientRect(S.Hwnd, &C);
  S.Format = RECT{C.left + S.LeftMargin, C.top, C.right - S.RightMargin, C.bottom};
  if (S.Format.right < S.Format.left) S.Format.right = S.Format.left;
  // A single line stands at the top; a control too low for one line still shows it.
  if (!S.Multi() || S.Format.bottom - S.Format.top < S.LineHeight) S.Format.bottom = S.Format.top + S.LineHeight;
}

int CaretLine(EditState& S) { return LineOfChar(S.Lines, S.M.Caret()); }

POINT PosOfChar(EditState& S, int Pos) {
  int Line = LineOfChar(S.Lines, Pos);
  const EditLine& L = S.Lines[static_cast<size_t>(Line)];
  return POINT{LineLeft(S, L) + XInLine(S, L, Pos), LineTop(S, Line)};
}

// The character position nearest to a client point (the nearer side of the character under it).
int CharAtPoint(EditState& S, POINT P, int* LineOut = nullptr) {
  int Line = S.FirstLine;
  if (S.Multi()) {
    int Dy = P.y - S.Format.top;
    Line = S.FirstLine + (Dy < 0 ? (Dy - S.LineHeight + 1) / S.LineHeight : Dy / S.LineHeight);
  }
  Line = std::max(0, std::min(Line, static_cast<int>(S.Lines.size()) - 1));
  if (LineOut) *LineOut = Line;
  const EditLine& L = S.Lines[static_cast<size_t>(Line)];
  int X = P.x - LineLeft(S, L);
  if (L.Length == 0 || X <= 0) return L.Start;
  std::vector<int> E;
  Measure(S, S.M.Text().data() + L.Start, L.Length, E);
  int Prev = 0;
  for (int I = 0; I < L.Length; ++I) {
    int Next = E[static_cast<size_t>(I)];
    if (X < (Prev + Next + 1) / 2) return L.Start + I;
    Prev = Next;
  }
  return L.Start + L.Length;
}

void UpdateScrollBars(EditState& S) {
  if (!S.Multi()) return;
  if (S.Style & WS_VSCROLL) {
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    Si.nMin = 0;
    Si.nMax = static_cast<int>(S.Lines.size()) - 1;
    Si.nPage = static_cast<UINT>(VisibleLines(S));
    Si.nPos = S.FirstLine;
    SetScrollInfo(S.Hwnd, SB_VERT, &Si, TRUE);
  }
  if (S.Style & WS_HSCROLL) {
    int Widest = 0;
    for (const EditLine& L : S.Lines) Widest = std::max(Widest, LineWidth(S, L));
    SCROLLINFO Si;
    Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    Si.nMin = 0;
    Si.nMax = Widest + S.AveWidth;
    Si.nPage = static_cast<UINT>(FormatWidth(S));
    Si.nPos = S.FirstX;
    SetScrollInfo(S.Hwnd, SB_HORZ, &Si, TRUE);
  }
}

void PlaceCaret(EditState& S) {
  if (!S.Focused) return;
  POINT P = PosOfChar(S, S.M.Caret());
  SetCaretPos(P.x, P.y);
}

// Scrolls so that the caret is in view; true when the view moved.
bool ScrollToCaret(EditState& S) {
  bool Moved = false;
  int Line = CaretLine(S);
  if (S.Multi()) {
    int Visible = VisibleLines(S);
    int First = S.FirstLine;
    if (Line < First) First = Line;
    if (Line >= First + Visible) First = Line - Visible + 1;
    if (First != S.FirstLine) {
      S.FirstLine = First;
      Moved = true;
    }
  } else {
    S.FirstLine = 0;
  }
  const EditLine& L = S.Lines[static_cast<size_t>(Line)];
  int Width = FormatWidth(S);
  int TextWidth = LineWidth(S, L);
  int X = XInLine(S, L, S.M.Caret());
  int First = S.FirstX;
  if (S.Wraps() || TextWidth < Width) {
    First = 0;
  } else {
    int Jump = std::max(S.AveWidth, Width / 4);
    if (X < First) First = std::max(0, X - Jump);
    if (X >= First + Width) First = std::min(X - Width + Jump, std::max(0, TextWidth - Width + 1));
    // Do not leave blank room to the right of the text.
    First = std::max(0, std::min(First, std::max(0, TextWidth - Width + 1)));
    if (X < First) First = X;
  }
  if (First != S.FirstX) {
    S.FirstX = First;
    Moved = true;
  }
  return Moved;
}

void Refresh(EditState& S) {
  InvalidateRect(S.Hwnd, nullptr, FALSE);
  UpdateScrollBars(S);
  PlaceCaret(S);
}

// After the selection moved (no text change).
void SelectionMoved(EditState& S) {
  ScrollToCaret(S);
  Refresh(S);
}

// After the text changed: layout, scrolling and the notifications, in the platform's order.
void TextChanged(EditState& S, bool Notify) {
  Relayout(S);
  ScrollToCaret(S);
  Refresh(S);
  if (Notify) {
    NotifyCommand(S.Hwnd, EN_UPDATE);
    if (S.StillAlive()) NotifyCommand(S.Hwnd, EN_CHANGE);
  }
}

// A user edit: refused edits beep, a cut at the limit tells the parent, a change notifies.
void Apply(EditState& S, const EditResult& R) {
  if (R.LimitHit) NotifyCommand(S.Hwnd, EN_MAXTEXT);
  if (!S.StillAlive()) return;
  if (R.Refused && !R.LimitHit) MessageBeep(MB_OK);
  if (R.Changed) TextChanged(S, true);
}

// Runs an edit; a single-line control without ES_AUTOHSCROLL refuses text wider than its box.
template <typename Fn>
void Edit(EditState& S, Fn&& Step) {
  bool MustFit = !S.Multi() && !(S.Style & ES_AUTOHSCROLL);
  EditModel Before;
  if (MustFit) Before = S.M;
  EditResult R = Step();
  if (MustFit && R.Changed) {
    EditLine All{0, S.M.Length(), 0};
    if (LineWidth(S, All) > FormatWidth(S)) {
      S.M = std::move(Before);
      R.Changed = false;
      R.LimitHit = true;
    }
  }
  Apply(S, R);
}

// ---- clipboard -----------------------------------------------------------------------------------

bool ClipboardText(HWND Hwnd, EditText& Text) {
  if (!OpenClipboard(Hwnd)) return false;
  bool Got = false;
  if (HANDLE H = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* P = static_cast<const WCHAR*>(GlobalLock(H))) {
      size_t Max = GlobalSize(H) / sizeof(WCHAR);
      size_t N = 0;
      while (N < Max && P[N]) ++N;
      Text = k58::rtl::Utf8ToUtf32(k58::rtl::Utf16ToUtf8(std::u16string_view(P, N)));
      GlobalUnlock(H);
      Got = true;
    }
  }
  CloseClipboard();
  return Got;
}

bool SetClipboardText(HWND Hwnd, const EditText& Text) {
  if (!OpenClipboard(Hwnd)) return false;
  EmptyClipboard();
  std::u16string W = k58::rtl::Utf8ToUtf16(k58::rtl::Utf32ToUtf8(Text));
  HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, (W.size() + 1) * sizeof(WCHAR));
  bool Done = false;
  if (H) {
    if (auto* P = static_cast<char16_t*>(GlobalLock(H))) {
      std::copy(W.begin(), W.end(), P);
      P[W.size()] = 0;
      GlobalUnlock(H);
      Done = SetClipboardData(CF_UNICODETEXT, H) != nullptr;
    }
    if (!Done) GlobalFree(H);
  }
  CloseClipboard();
  return Done;
}

void Copy(EditState& S) {
  // Password text never leaves the control.
  if (S.Password() || !S.M.HasSelection()) return;
  SetClipboardText(S.Hwnd, S.M.SelectedText());
}

void Cut(EditState& S) {
  if (S.Password() || !S.M.HasSelection()) return;
  if (S.M.ReadOnly) {
    MessageBeep(MB_OK);
    return;
  }
  Copy(S);
  Edit(S, [&] { return S.M.Clear(); });
}

void Paste(EditState& S) {
  EditText Clip;
  if (!ClipboardText(S.Hwnd, Clip)) return;
  Edit(S, [&] { return S.M.Paste(Clip); });
}

// ---- painting ----------------------------------------------------------------------------------

void DrawRun(EditState& S, HDC Dc, int X, int Y, const EditLine& L, int From, int To, bool Selected,
             const std::vector<int>& Extents, COLORREF Text) {
  if (To <= From) return;
  int X0 = X + (From > L.Start ? Extents[static_cast<size_t>(From - L.Start - 1)] : 0);
  int X1 = X + Extents[static_cast<size_t>(To - L.Start - 1)];
  if (Selected) {
    RECT R{X0, Y, X1, Y + S.LineHeight};
    FillRect(Dc, &R, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  SetTextColor(Dc, Selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : Text);
  // Characters one at a time at their own positions, so tabs and every extent match the layout.
  std::u16string Units;
  std::vector<INT> Dx;
  int Prev = X0;
  for (int I = From; I < To; ++I) {
    char32_t C = Shown(S, S.M.Text()[static_cast<size_t>(I)]);
    int Next = X + Extents[static_cast<size_t>(I - L.Start)];
    if (C == U'\t') C = U' ';
    k58::rtl::AppendUtf16(Units, C);
    Dx.push_back(Next - Prev);
    if (C >= 0x10000) Dx.push_back(0);  // the second unit of the pair
    Prev = Next;
  }
  ExtTextOutW(Dc, X0, Y, 0, nullptr, reinterpret_cast<LPCWSTR>(Units.data()), static_cast<UINT>(Units.size()),
              Dx.data());
}

void EditState::Paint(HDC Dc) {
  EditState& S = *this;
  bool Enabled = IsWindowEnabled(S.Hwnd) != FALSE;
  UINT Msg = (!Enabled || S.M.ReadOnly) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  HGDIOBJ OldFont = SelectObject(Dc, FontOf(S));
  HBRUSH Back = ControlColors(S.Hwnd, Msg, Dc);
  COLORREF Text = Enabled ? GetTextColor(Dc) : GetSysColor(COLOR_GRAYTEXT);
  RECT Client;
  GetClientRect(S.Hwnd, &Client);
  FillRect(Dc, &Client, Back);
  int Saved = SaveDC(Dc);
  IntersectClipRect(Dc, S.Format.left, S.Format.top, S.Format.right, S.Format.bottom);
  SetBkMode(Dc, TRANSPARENT);
  bool ShowSel = S.M.HasSelection() && (S.Focused || (S.Style & ES_NOHIDESEL));
  int SelFrom = ShowSel ? S.M.SelStart() : 0, SelTo = ShowSel ? S.M.SelEnd() : 0;
  int Last = std::min(static_cast<int>(S.Lines.size()), S.FirstLine + VisibleLines(S) + 1);
  std::vector<int> E;
  for (int Line = S.FirstLine; Line < Last; ++Line) {
    const EditLine& L = S.Lines[static_cast<size_t>(Line)];
    if (L.Length == 0) continue;
    Measure(S, S.M.Text().data() + L.Start, L.Length, E);
    int X = LineLeft(S, L), Y = LineTop(S, Line);
    int A = L.Start, B = L.Start + L.Length;
    int S0 = std::max(A, std::min(SelFrom, B)), S1 = std::max(A, std::min(SelTo, B));
    DrawRun(S, Dc, X, Y, L, A, S0, false, E, Text);
    DrawRun(S, Dc, X, Y, L, S0, S1, true, E, Text);
    DrawRun(S, Dc, X, Y, L, S1, B, false, E, Text);
  }
  RestoreDC(Dc, Saved);
  SelectObject(Dc, OldFont);
}

// ---- keyboard ------------------------------------------------------------------------------------

bool KeyDown(int Vk) { return (GetKeyState(Vk) & 0x8000) != 0; }

// Up/down by lines keeping the caret's x.
int LineMove(EditState& S, int Delta) {
  int Line = CaretLine(S);
  int Target = std::max(0, std::min(Line + Delta, static_cast<int>(S.Lines.size()) - 1));
  if (Target == Line) return Delta < 0 ? S.Lines[static_cast<size_t>(Line)].Start
                                       : S.Lines[static_cast<size_t>(Line)].Start + S.Lines[static_cast<size_t>(Line)].Length;
  POINT P = PosOfChar(S, S.M.Caret());
  P.y = LineTop(S, Target);
  int Old = S.FirstLine;
  int Pos = CharAtPoint(S, P);
  S.FirstLine = Old;
  return Pos;
}

bool HandleKey(EditState& S, WPARAM Vk) {
  bool Shift = KeyDown(VK_SHIFT), Ctrl = KeyDown(VK_CONTROL);
  EditModel& M = S.M;
  int Caret = M.Caret();
  auto MoveTo = [&](int Pos) {
    M.MoveTo(Pos, Shift);
    SelectionMoved(S);
  };
  const EditLine& L = S.Lines[static_cast<size_t>(CaretLine(S))];
  switch (Vk) {
    case VK_LEFT:
      MoveTo(Ctrl ? M.PrevWordStart(Caret) : M.PrevPos(Caret));
      return true;
    case VK_RIGHT:
      MoveTo(Ctrl ? M.NextWordStart(Caret) : M.NextPos(Caret));
      return true;
    case VK_UP:
      MoveTo(S.Multi() ? LineMove(S, -1) : M.PrevPos(Caret));
      return true;
    case VK_DOWN:
      MoveTo(S.Multi() ? LineMove(S, 1) : M.NextPos(Caret));
      return true;
    case VK_PRIOR:
      if (!S.Multi()) return false;
      MoveTo(LineMove(S, -VisibleLines(S)));
      return true;
    case VK_NEXT:
      if (!S.Multi()) return false;
      MoveTo(LineMove(S, VisibleLines(S)));
      return true;
    case VK_HOME:
      MoveTo(S.Multi() && !Ctrl ? L.Start : 0);
      return true;
    case VK_END:
      MoveTo(S.Multi() && !Ctrl ? L.Start + L.Length : M.Length());
      return true;
    case VK_DELETE:
      if (Shift) {
        SendMessage(S.Hwnd, WM_CUT, 0, 0);
      } else {
        Edit(S, [&] { return M.DeleteForward(); });
      }
      return true;
    case VK_INSERT:
      if (Shift)
        SendMessage(S.Hwnd, WM_PASTE, 0, 0);
      else if (Ctrl)
        SendMessage(S.Hwnd, WM_COPY, 0, 0);
      return true;
    default:
      return false;
  }
}

void HandleChar(EditState& S, WPARAM W) {
  char32_t C;
  if (!k58::rtl::JoinTypedUnit(S.PendingHigh, static_cast<char16_t>(W & 0xFFFF), C)) return;
  switch (C) {
    case 3:
      SendMessage(S.Hwnd, WM_COPY, 0, 0);
      return;
    case 22:
      SendMessage(S.Hwnd, WM_PASTE, 0, 0);
      return;
    case 24:
      SendMessage(S.Hwnd, WM_CUT, 0, 0);
      return;
    case 26:
      SendMessage(S.Hwnd, WM_UNDO, 0, 0);
      return;
    case 8:
      Edit(S, [&] { return S.M.DeleteBack(); });
      return;
    case U'\r':
    case U'\n':
      if (!S.Multi()) {
        MessageBeep(MB_OK);
        return;
      }
      Edit(S, [&] { return S.M.TypeChar(U'\r'); });
      return;
    case U'\t':
      if (S.Multi()) Edit(S, [&] { return S.M.TypeChar(U'\t'); });
      return;
    default:
      break;
  }
  if (C < 0x20 || C == 0x7F) return;
  Edit(S, [&] { return S.M.TypeChar(C); });
}

// ---- messages ----------------------------------------------------------------------------------

void ApplyStyle(EditState& S, DWORD Style) {
  S.Style = Style;
  S.M.MultiLine = (Style & ES_MULTILINE) != 0;
  S.M.ReadOnly = (Style & ES_READONLY) != 0;
  S.M.UpperCase = (Style & ES_UPPERCASE) != 0;
  S.M.LowerCase = !S.M.UpperCase && (Style & ES_LOWERCASE) != 0;
  S.M.NumbersOnly = (Style & ES_NUMBER) != 0;
  if ((Style & ES_PASSWORD) && !S.PasswordChar) S.PasswordChar = U'*';
  if (!(Style & ES_PASSWORD)) S.PasswordChar = 0;
}

void FontChanged(EditState& S) {
  S.Widths.clear();
  FontMetrics(FontOf(S), S.LineHeight, S.AveWidth);
  if (S.LineHeight <= 0) S.LineHeight = 1;
  if (!S.UserFormat) DefaultFormat(S);
  Relayout(S);
  ScrollToCaret(S);
  if (S.Focused) {
    DestroyCaret();
    CreateCaret(S.Hwnd, nullptr, 1, S.LineHeight);
    PlaceCaret(S);
    ShowCaret(S.Hwnd);
  }
}

void SetFormat(EditState& S, const RECT* R, bool Redraw) {
  if (R) {
    S.Format = *R;
    S.UserFormat = true;
    if (!S.Multi()) S.Format.bottom = std::max(S.Format.bottom, S.Format.top + S.LineHeight);
  } else {
    S.UserFormat = false;
    DefaultFormat(S);
  }
  Relayout(S);
  ScrollToCaret(S);
  if (Redraw) Refresh(S);
  else PlaceCaret(S);
}

int LineIndexOf(EditState& S, int Line) {
  if (Line < 0) Line = CaretLine(S);
  if (Line >= static_cast<int>(S.Lines.size())) return -1;
  return S.Lines[static_cast<size_t>(Line)].Start;
}

// Scrolls the view by lines and pixels (multi-line) and notifies like the scroll bars do.
void ScrollView(EditState& S, int Lines, int Pixels, WORD Notify) {
  int MaxFirst = std::max(0, static_cast<int>(S.Lines.size()) - VisibleLines(S));
  int First = std::max(0, std::min(S.FirstLine + Lines, std::max(MaxFirst, S.FirstLine)));
  if (Lines < 0) First = std::max(0, S.FirstLine + Lines);
  int X = std::max(0, S.FirstX + Pixels);
  if (S.Wraps()) X = 0;
  if (First == S.FirstLine && X == S.FirstX) return;
  if (Notify) NotifyCommand(S.Hwnd, Notify);
  S.FirstLine = First;
  S.FirstX = X;
  Refresh(S);
}

void HandleScroll(EditState& S, bool Vertical, WORD Code, int Track) {
  if (!S.Multi()) return;
  if (Vertical) {
    int Page = VisibleLines(S);
    int Delta = 0;
    switch (Code) {
      case SB_LINEUP: Delta = -1; break;
      case SB_LINEDOWN: Delta = 1; break;
      case SB_PAGEUP: Delta = -Page; break;
      case SB_PAGEDOWN: Delta = Page; break;
      case SB_TOP: Delta = -S.FirstLine; break;
      case SB_BOTTOM: Delta = static_cast<int>(S.Lines.size()); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: Delta = Track - S.FirstLine; break;
      default: return;
    }
    ScrollView(S, Delta, 0, EN_VSCROLL);
  } else {
    int Page = FormatWidth(S);
    int Delta = 0;
    switch (Code) {
      case SB_LINELEFT: Delta = -S.AveWidth; break;
      case SB_LINERIGHT: Delta = S.AveWidth; break;
      case SB_PAGELEFT: Delta = -Page; break;
      case SB_PAGERIGHT: Delta = Page; break;
      case SB_LEFT: Delta = -S.FirstX; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: Delta = Track - S.FirstX; break;
      default: return;
    }
    ScrollView(S, 0, Delta, EN_HSCROLL);
  }
}

LRESULT Undo(EditState& S) {
  if (!S.M.CanUndo()) return FALSE;
  Edit(S, [&] { return S.M.Undo(); });
  return TRUE;
}

EditState::EditState(HWND Window, const CREATESTRUCT& Create) : ControlState(Window) {
  ApplyStyle(*this, static_cast<DWORD>(Create.style));
  FontMetrics(FontOf(*this), LineHeight, AveWidth);
}

void EditState::FontSet(bool Redraw) {
  FontChanged(*this);
  if (Redraw) Refresh(*this);
}

LRESULT EditState::Handle(UINT Msg, WPARAM WParam, LPARAM LParam) {
  EditState& S = *this;
  switch (Msg) {
    case WM_CREATE: {
      auto* Cs = reinterpret_cast<CREATESTRUCT*>(LParam);
      DefaultFormat(S);
      EditText T = Cs->lpszName && !IS_INTRESOURCE(Cs->lpszName) ? k58::rtl::Utf8ToUtf32(Cs->lpszName) : EditText();
      S.M.SetText(std::move(T));
      Relayout(S);
      UpdateScrollBars(S);
      return 0;
    }
    case WM_SIZE:
      if (!S.UserFormat) {
        DefaultFormat(S);
        Relayout(S);
        ScrollToCaret(S);
        Refresh(S);
      }
      return 0;
    case WM_STYLECHANGED:
      if (WParam == static_cast<WPARAM>(GWL_STYLE)) {
        ApplyStyle(S, reinterpret_cast<STYLESTRUCT*>(LParam)->styleNew);
        if (!S.UserFormat) DefaultFormat(S);
        Relayout(S);
        ScrollToCaret(S);
        Refresh(S);
      }
      return 0;
    case WM_SETTEXT: {
      EditText T = LParam ? k58::rtl::Utf8ToUtf32(reinterpret_cast<LPCSTR>(LParam)) : EditText();
      S.M.SetText(std::move(T));
      S.FirstX = 0;
      S.FirstLine = 0;
      TextChanged(S, !S.Multi());
      return TRUE;
    }
    case WM_GETTEXT:
      return CopyTextOut(k58::rtl::Utf32ToUtf8(S.M.Text()), WParam, LParam);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(k58::rtl::Utf32ToUtf8(S.M.Text()).size());
    case WM_GETDLGCODE: {
      LRESULT Code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      if (S.Multi()) Code |= DLGC_WANTALLKEYS;
      return Code;
    }
    case WM_ENABLE:
      InvalidateRect(Hwnd, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
      S.Focused = true;
      CreateCaret(Hwnd, nullptr, 1, S.LineHeight);
      PlaceCaret(S);
      ShowCaret(Hwnd);
      InvalidateRect(Hwnd, nullptr, FALSE);
      NotifyCommand(Hwnd, EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      S.Focused = false;
      S.Tracking = false;
      HideCaret(Hwnd);
      DestroyCaret();
      InvalidateRect(Hwnd, nullptr, FALSE);
      NotifyCommand(Hwnd, EN_KILLFOCUS);
      return 0;
    case WM_KEYDOWN:
      if (HandleKey(S, WParam)) return 0;
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
    case WM_CHAR:
      HandleChar(S, WParam);
      return 0;
    case WM_LBUTTONDOWN: {
      if (GetFocus() != Hwnd) SetFocus(Hwnd);
      if (!S.StillAlive()) return 0;
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      S.M.MoveTo(CharAtPoint(S, P), (WParam & MK_SHIFT) != 0);
      S.Tracking = true;
      SetCapture(Hwnd);
      SelectionMoved(S);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (S.Tracking && (WParam & MK_LBUTTON)) {
        POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        int Pos = CharAtPoint(S, P);
        if (Pos != S.M.Caret()) {
          S.M.MoveTo(Pos, true);
          SelectionMoved(S);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (S.Tracking) {
        S.Tracking = false;
        if (GetCapture() == Hwnd) ReleaseCapture();
      }
      return 0;
    case WM_LBUTTONDBLCLK: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      int Start, End;
      S.M.WordAt(CharAtPoint(S, P), Start, End);
      S.M.SetSel(Start, End);
      SelectionMoved(S);
      return 0;
    }
    case WM_CAPTURECHANGED:
      S.Tracking = false;
      return 0;
    case WM_MOUSEWHEEL:
      if (!S.Multi()) return DefWindowProc(Hwnd, Msg, WParam, LParam);
      {
        UINT Lines = 3;
        SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
        int Delta = -GET_WHEEL_DELTA_WPARAM(WParam) * static_cast<int>(Lines) / WHEEL_DELTA;
        ScrollView(S, Delta, 0, EN_VSCROLL);
      }
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL: {
      int Track = static_cast<short>(HIWORD(WParam));
      if (LOWORD(WParam) == SB_THUMBTRACK || LOWORD(WParam) == SB_THUMBPOSITION) {
        SCROLLINFO Si;
        Si.fMask = SIF_TRACKPOS;
        if (GetScrollInfo(Hwnd, Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, &Si)) Track = Si.nTrackPos;
      }
      HandleScroll(S, Msg == WM_VSCROLL, LOWORD(WParam), Track);
      return 0;
    }
    case WM_COPY:
      Copy(S);
      return 0;
    case WM_CUT:
      Cut(S);
      return 0;
    case WM_PASTE:
      Paste(S);
      return 0;
    case WM_CLEAR:
      Edit(S, [&] { return S.M.Clear(); });
      return 0;
    case WM_UNDO:
    case EM_UNDO:
      return Undo(S);
    case EM_CANUNDO:
      return S.M.CanUndo() ? TRUE : FALSE;
    case EM_EMPTYUNDOBUFFER:
      S.M.EmptyUndo();
      return 0;
    case EM_GETSEL: {
      DWORD A = static_cast<DWORD>(S.M.SelStart()), B = static_cast<DWORD>(S.M.SelEnd());
      if (WParam) *reinterpret_cast<DWORD*>(WParam) = A;
      if (LParam) *reinterpret_cast<DWORD*>(LParam) = B;
      if (A > 0xFFFF || B > 0xFFFF) return -1;
      return static_cast<LRESULT>(MAKELONG(A, B));
    }
    case EM_SETSEL:
      S.M.SetSel(static_cast<int>(WParam), static_cast<int>(LParam));
      SelectionMoved(S);
      return 0;
    case EM_GETCARETINDEX:
      return S.M.Caret();
    case EM_REPLACESEL: {
      EditText T = LParam ? k58::rtl::Utf8ToUtf32(reinterpret_cast<LPCSTR>(LParam)) : EditText();
      EditResult R = S.M.ReplaceSelection(T, WParam != 0);
      if (R.LimitHit) NotifyCommand(Hwnd, EN_MAXTEXT);
      if (S.StillAlive() && R.Changed) TextChanged(S, true);
      return 0;
    }
    case EM_GETMODIFY:
      return S.M.Modified ? TRUE : FALSE;
    case EM_SETMODIFY:
      S.M.Modified = WParam != 0;
      return 0;
    case EM_LIMITTEXT:
      S.M.Limit = WParam == 0 || WParam > static_cast<WPARAM>(EditMaximumLimit) ? EditMaximumLimit
                                                                                 : static_cast<int>(WParam);
      return 0;
    case EM_GETLIMITTEXT:
      return S.M.Limit;
    case EM_SETREADONLY: {
      DWORD Style = static_cast<DWORD>(GetWindowLongPtr(Hwnd, GWL_STYLE));
      Style = WParam ? (Style | ES_READONLY) : (Style & ~ES_READONLY);
      SetWindowLongPtr(Hwnd, GWL_STYLE, static_cast<LONG_PTR>(Style));
      ApplyStyle(S, Style);
      InvalidateRect(Hwnd, nullptr, FALSE);
      return TRUE;
    }
    case EM_SETPASSWORDCHAR: {
      if (S.Multi()) return 0;
      S.PasswordChar = static_cast<char32_t>(WParam & 0xFFFF);
      DWORD Style = static_cast<DWORD>(GetWindowLongPtr(Hwnd, GWL_STYLE));
      DWORD New = S.PasswordChar ? (Style | ES_PASSWORD) : (Style & ~ES_PASSWORD);
      char32_t Keep = S.PasswordChar;
      if (New != Style) SetWindowLongPtr(Hwnd, GWL_STYLE, static_cast<LONG_PTR>(New));
      S.PasswordChar = Keep;
      S.Style = New;
      S.Widths.clear();
      Relayout(S);
      ScrollToCaret(S);
      Refresh(S);
      return 0;
    }
    case EM_GETPASSWORDCHAR:
      return static_cast<LRESULT>(S.PasswordChar);
    case EM_SETMARGINS: {
      auto Margin = [&](WORD V) { return V == EC_USEFONTINFO ? std::max(1, S.AveWidth / 2) : static_cast<int>(V); };
      if (WParam & EC_LEFTMARGIN) S.LeftMargin = Margin(LOWORD(LParam));
      if (WParam & EC_RIGHTMARGIN) S.RightMargin = Margin(HIWORD(LParam));
      S.UserFormat = false;
      DefaultFormat(S);
      Relayout(S);
      ScrollToCaret(S);
      Refresh(S);
      return 0;
    }
    case EM_GETMARGINS:
      return static_cast<LRESULT>(MAKELONG(S.LeftMargin, S.RightMargin));
    case EM_GETRECT:
      if (LParam) *reinterpret_cast<RECT*>(LParam) = S.Format;
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP:
      SetFormat(S, reinterpret_cast<const RECT*>(LParam), Msg == EM_SETRECT);
      return 0;
    case EM_GETLINECOUNT:
      return static_cast<LRESULT>(S.Lines.size());
    case EM_LINEINDEX:
      return LineIndexOf(S, static_cast<int>(WParam));
    case EM_LINEFROMCHAR: {
      int Pos = static_cast<int>(WParam);
      if (Pos < 0) Pos = S.M.HasSelection() ? S.M.SelStart() : S.M.Caret();
      return LineOfChar(S.Lines, std::min(Pos, S.M.Length()));
    }
    case EM_LINELENGTH: {
      int Pos = static_cast<int>(WParam);
      if (Pos < 0) Pos = S.M.Caret();
      if (Pos > S.M.Length()) return 0;
      return S.Lines[static_cast<size_t>(LineOfChar(S.Lines, Pos))].Length;
    }
    case EM_GETLINE: {
      int Line = static_cast<int>(WParam);
      if (!S.Multi()) Line = 0;
      if (Line < 0 || Line >= static_cast<int>(S.Lines.size()) || !LParam) return 0;
      const EditLine& L = S.Lines[static_cast<size_t>(Line)];
      std::string Text = k58::rtl::Utf32ToUtf8(S.M.Text().substr(static_cast<size_t>(L.Start), static_cast<size_t>(L.Length)));
      WORD Size = *reinterpret_cast<WORD*>(LParam);
      size_t N = k58::rtl::Utf8Fit(Text, Size);
      std::copy(Text.begin(), Text.begin() + static_cast<long>(N), reinterpret_cast<char*>(LParam));
      return static_cast<LRESULT>(N);
    }
    case EM_GETFIRSTVISIBLELINE:
      if (S.Multi()) return S.FirstLine;
      return CharAtPoint(S, POINT{S.Format.left, S.Format.top});
    case EM_LINESCROLL:
      if (!S.Multi()) return FALSE;
      ScrollView(S, static_cast<int>(LParam), static_cast<int>(WParam) * S.AveWidth, 0);
      return TRUE;
    case EM_SCROLL: {
      if (!S.Multi()) return FALSE;
      int Before = S.FirstLine;
      HandleScroll(S, true, static_cast<WORD>(WParam), S.FirstLine);
      return MAKELONG(static_cast<WORD>(S.FirstLine - Before), TRUE);
    }
    case EM_SCROLLCARET:
      if (ScrollToCaret(S)) Refresh(S);
      return TRUE;
    case EM_POSFROMCHAR: {
      int Pos = static_cast<int>(WParam);
      if (Pos < 0 || Pos > S.M.Length()) return -1;
      POINT P = PosOfChar(S, Pos);
      return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(P.x), static_cast<WORD>(P.y)));
    }
    case EM_CHARFROMPOS: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      int Line = 0;
      int Pos = CharAtPoint(S, P, &Line);
      return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(Pos), static_cast<WORD>(Line)));
    }
    default:
      return DefWindowProc(Hwnd, Msg, WParam, LParam);
  }
}

}  // namespace

void RegisterEditClass() { RegisterControl<EditState>(WC_EDIT, CS_DBLCLKS, IDC_IBEAM); }

}  // namespace k58::builtin
