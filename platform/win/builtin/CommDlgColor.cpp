// The colour dialog: a grid of basic colours and one of the caller's custom colours, picked by a
// click (a double click also closes the dialog with it), the chosen colour shown beside its red, green
// and blue values, which can be typed; "Add to custom colours" stores the chosen colour in the
// selected custom cell (then in the next one).
#include <algorithm>
#include <cstdio>

#include "platform/win/builtin/CommDlgInternal.h"
#include "platform/win/ui/MessageBox.h"

namespace k58::builtin::commdlg {

namespace {

constexpr int kClientW = 312;
constexpr int kClientH = 268;
constexpr int kCellW = 28;
constexpr int kCellH = 20;
constexpr int kGridX = 8;
constexpr int kBasicY = 26;
constexpr int kCustomY = 170;
constexpr RECT kPreview{248, 26, 304, 76};
constexpr int kAddCustom = 0x040E;  // "Add to custom colours" (psh15)

COLORREF Mix(COLORREF C, int Toward, int Percent) {
  auto Ch = [&](int V) { return static_cast<BYTE>(V + (Toward - V) * Percent / 100); };
  return RGB(Ch(GetRValue(C)), Ch(GetGValue(C)), Ch(GetBValue(C)));
}

RECT Cell(int Left, int Top, int Index) {
  int X = Left + (Index % 8) * kCellW, Y = Top + (Index / 8) * kCellH;
  return RECT{X, Y, X + kCellW, Y + kCellH};
}

class ColorDialog : public Dialog {
public:
  explicit ColorDialog(CHOOSECOLORA& Cc) : cc_(Cc) {
    std::copy(Cc.lpCustColors, Cc.lpCustColors + kCustomColors, custom_);
  }
  bool Build();
  COLORREF Color() const { return color_; }
  const COLORREF* Custom() const { return custom_; }

protected:
  void Command(int Id, int Code, HWND Control) override;
  void Paint(HDC Dc) override;
  void Mouse(UINT Msg, POINT P) override;

private:
  void Choose(COLORREF C, bool UpdateEdits);
  void ShowValues();
  CHOOSECOLORA& cc_;
  COLORREF color_ = 0;
  COLORREF custom_[kCustomColors] = {};
  int basicSel_ = -1;
  int customSel_ = -1;
  int nextCustom_ = 0;
  bool setting_ = false;  // the edits are being filled from the choice
};

bool ColorDialog::Build() {
  if (!Create(cc_.hwndOwner, "Colour", kClientW, kClientH)) return false;
  bool Define = !(cc_.Flags & CC_PREVENTFULLOPEN);
  Add(WC_STATIC, "Basic colours:", SS_LEFT, kGridX, 8, 224, 16, 0xFFFF, false);
  Add(WC_STATIC, "Custom colours:", SS_LEFT, kGridX, kCustomY - 18, 224, 16, 0xFFFF, false);
  const char* Labels[3] = {"&Red:", "&Green:", "Bl&ue:"};
  for (int K = 0; K < 3; ++K) {
    Add(WC_STATIC, Labels[K], SS_LEFT, 248, 84 + K * 42, 56, 16, 0xFFFF, false);
    HWND E = Add(WC_EDIT, "0", WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL, 248, 100 + K * 42, 56, 21, edt2 + K, true);
    SendMessage(E, EM_LIMITTEXT, 3, 0);
    EnableWindow(E, Define);
  }
  Add(WC_BUTTON, "OK", BS_DEFPUSHBUTTON, 8, 237, 75, 23, IDOK, true);
  Add(WC_BUTTON, "Cancel", BS_PUSHBUTTON, 89, 237, 75, 23, IDCANCEL, true);
  HWND AddB = Add(WC_BUTTON, "&Add to custom colours", BS_PUSHBUTTON, 170, 237, 134, 23, kAddCustom, true);
  EnableWindow(AddB, Define);
  if (cc_.Flags & CC_RGBINIT) {
    for (int K = 0; K < kBasicColors && basicSel_ < 0; ++K)
      if (BasicColor(K) == (cc_.rgbResult & 0xFFFFFF)) basicSel_ = K;
    for (int K = 0; K < kCustomColors && basicSel_ < 0 && customSel_ < 0; ++K)
      if (custom_[K] == (cc_.rgbResult & 0xFFFFFF)) customSel_ = K;
    Choose(cc_.rgbResult & 0xFFFFFF, true);
  } else {
    basicSel_ = kBasicColors - 1;  // black, the first colour of a new choice
    Choose(BasicColor(basicSel_), true);
  }
  initialFocus_ = Item(IDOK);
  return true;
}

void ColorDialog::ShowValues() {
  setting_ = true;
  int V[3] = {GetRValue(color_), GetGValue(color_), GetBValue(color_)};
  for (int K = 0; K < 3; ++K) SetWindowText(Item(edt2 + K), std::to_string(V[K]).c_str());
  setting_ = false;
}

void ColorDialog::Choose(COLORREF C, bool UpdateEdits) {
  color_ = C & 0xFFFFFF;
  if (UpdateEdits) ShowValues();
  InvalidateRect(Window(), nullptr, FALSE);
}

void ColorDialog::Command(int Id, int Code, HWND Control) {
  (void)Control;
  switch (Id) {
    case IDOK: End(IDOK); return;
    case IDCANCEL: End(IDCANCEL); return;
    case kAddCustom: {
      int Slot = customSel_ >= 0 ? customSel_ : nextCustom_;
      custom_[Slot] = color_;
      customSel_ = -1;
      nextCustom_ = (Slot + 1) % kCustomColors;
      InvalidateRect(Window(), nullptr, FALSE);
      return;
    }
    case edt2:
    case edt3:
    case edt4: {
      if (Code != EN_CHANGE || setting_) return;
      int V[3];
      for (int K = 0; K < 3; ++K) {
        std::string T = TextOf(Item(edt2 + K));
        int N = 0;
        for (char Ch : T)
          if (Ch >= '0' && Ch <= '9') N = std::min(N * 10 + (Ch - '0'), 999);
        V[K] = std::min(N, 255);
      }
      basicSel_ = -1;
      Choose(RGB(V[0], V[1], V[2]), false);
      return;
    }
    default: return;
  }
}

void ColorDialog::Mouse(UINT Msg, POINT P) {
  for (int K = 0; K < kBasicColors; ++K)
    if (InRect(BasicColorCell(K), P)) {
      basicSel_ = K;
      customSel_ = -1;
      Choose(BasicColor(K), true);
      if (Msg == WM_LBUTTONDBLCLK) End(IDOK);
      return;
    }
  for (int K = 0; K < kCustomColors; ++K)
    if (InRect(CustomColorCell(K), P)) {
      customSel_ = K;
      basicSel_ = -1;
      Choose(custom_[K], true);
      if (Msg == WM_LBUTTONDBLCLK) End(IDOK);
      return;
    }
}

void DrawSwatch(HDC Dc, RECT R, COLORREF C, bool Selected) {
  if (Selected) {
    FrameRect(Dc, &R, GetSysColorBrush(COLOR_WINDOWTEXT));
    InflateRect(&R, -1, -1);
    FrameRect(Dc, &R, GetSysColorBrush(COLOR_WINDOW));
    InflateRect(&R, -1, -1);
  } else {
    InflateRect(&R, -2, -2);
  }
  DrawEdge(Dc, &R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  HBRUSH B = CreateSolidBrush(C);
  FillRect(Dc, &R, B);
  DeleteObject(B);
}

void ColorDialog::Paint(HDC Dc) {
  for (int K = 0; K < kBasicColors; ++K) DrawSwatch(Dc, BasicColorCell(K), BasicColor(K), K == basicSel_);
  for (int K = 0; K < kCustomColors; ++K) DrawSwatch(Dc, CustomColorCell(K), custom_[K], K == customSel_);
  RECT P = kPreview;
  DrawEdge(Dc, &P, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  HBRUSH B = CreateSolidBrush(color_);
  FillRect(Dc, &P, B);
  DeleteObject(B);
}

}  // namespace

COLORREF BasicColor(int Index) {
  static const COLORREF Hues[8] = {RGB(255, 0, 0),   RGB(255, 128, 0), RGB(255, 255, 0), RGB(0, 192, 0),
                                   RGB(0, 255, 255), RGB(0, 0, 255),   RGB(128, 0, 255), RGB(255, 0, 255)};
  static const BYTE Greys[8] = {255, 224, 192, 160, 128, 96, 64, 0};
  if (Index < 0 || Index >= kBasicColors) return 0;
  int Row = Index / 8, Col = Index % 8;
  switch (Row) {
    case 0: return Mix(Hues[Col], 255, 60);  // light tints
    case 1: return Mix(Hues[Col], 255, 30);
    case 2: return Hues[Col];
    case 3: return Mix(Hues[Col], 0, 30);  // shades
    case 4: return Mix(Hues[Col], 0, 60);
    default: return RGB(Greys[Col], Greys[Col], Greys[Col]);
  }
}

RECT BasicColorCell(int Index) { return Cell(kGridX, kBasicY, Index); }
RECT CustomColorCell(int Index) { return Cell(kGridX, kCustomY, Index); }

}  // namespace k58::builtin::commdlg

BOOL ChooseColor(LPCHOOSECOLORA Cc) {
  using namespace k58::builtin::commdlg;
  SetError(0);
  if (!Cc || Cc->lStructSize != sizeof(CHOOSECOLORA)) {
    SetError(CDERR_STRUCTSIZE);
    return FALSE;
  }
  if (!Cc->lpCustColors) {
    SetError(CDERR_INITIALIZATION);
    return FALSE;
  }
  if (Cc->hwndOwner && !IsWindow(Cc->hwndOwner)) {
    SetError(CDERR_DIALOGFAILURE);
    return FALSE;
  }
  ColorDialog D(*Cc);
  if (!D.Build()) {
    SetError(CDERR_DIALOGFAILURE);
    return FALSE;
  }
  int Result = D.Run(k58::builtin::CommonDialogKind::Color);
  // Custom colours are the user's palette: kept whether or not a colour was chosen.
  std::copy(D.Custom(), D.Custom() + kCustomColors, Cc->lpCustColors);
  if (Result != IDOK) return FALSE;
  Cc->rgbResult = D.Color();
  return TRUE;
}
