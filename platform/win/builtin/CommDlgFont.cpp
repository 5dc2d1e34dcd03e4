// The font dialog: face, style and size, each typed or picked from its list, with strikeout,
// underline and the text colour when effects are asked for, and a sample of the choice.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/win/builtin/CommDlgInternal.h"
#include "platform/win/ui/MessageBox.h"

namespace k58::builtin::commdlg {

namespace {

constexpr int kClientW = 455;
constexpr int kClientH = 262;
constexpr RECT kSample{184, 182, 364, 252};

const char* const kFaces[] = {"Arial", "Courier New", "MS Sans Serif", "Tahoma", "Times New Roman", "Verdana", "宋体", "新宋体"};
const char* const kFixedFaces[] = {"Courier New", "新宋体"};
const char* const kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};
const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};

struct NamedColor {
  const char* Name;
  COLORREF Color;
};
const NamedColor kColors[] = {
    {"Black", RGB(0, 0, 0)},       {"Maroon", RGB(128, 0, 0)},  {"Green", RGB(0, 128, 0)},    {"Olive", RGB(128, 128, 0)},
    {"Navy", RGB(0, 0, 128)},      {"Purple", RGB(128, 0, 128)}, {"Teal", RGB(0, 128, 128)},   {"Grey", RGB(128, 128, 128)},
    {"Silver", RGB(192, 192, 192)}, {"Red", RGB(255, 0, 0)},     {"Lime", RGB(0, 255, 0)},     {"Yellow", RGB(255, 255, 0)},
    {"Blue", RGB(0, 0, 255)},      {"Fuchsia", RGB(255, 0, 255)}, {"Aqua", RGB(0, 255, 255)},  {"White", RGB(255, 255, 255)},
};

int ScreenDpi() {
  HDC Dc = GetDC(nullptr);
  int Dpi = GetDeviceCaps(Dc, LOGPIXELSY);
  ReleaseDC(nullptr, Dc);
  return Dpi > 0 ? Dpi : 96;
}

// "10", "10.5" or "10,5" as tenths of a point; -1 when it is not a size.
int ParseTenths(const std::string& Text) {
  std::string T = Text;
  std::replace(T.begin(), T.end(), ',', '.');
  size_t A = T.find_first_not_of(' '), B = T.find_last_not_of(' ');
  if (A == std::string::npos) return -1;
  T = T.substr(A, B - A + 1);
  if (T.find_first_not_of("0123456789.") != std::string::npos || std::count(T.begin(), T.end(), '.') > 1 || T == ".")
    return -1;
  double V = std::strtod(T.c_str(), nullptr);
  if (!(V > 0) || V > 1638) return -1;
  return static_cast<int>(std::lround(V * 10));
}

std::string TenthsText(int Tenths) {
  return Tenths % 10 ? std::to_string(Tenths / 10) + "." + std::to_string(Tenths % 10) : std::to_string(Tenths / 10);
}

class FontDialog : public Dialog {
public:
  explicit FontDialog(CHOOSEFONTA& Cf) : cf_(Cf) {}
  ~FontDialog() override {
    if (sampleFont_) DeleteObject(sampleFont_);
  }
  bool Build();
  LOGFONTA Result() const { return result_; }
  int Tenths() const { return tenths_; }
  COLORREF Color() const { return color_; }

protected:
  void Command(int Id, int Code, HWND Control) override;
  void Paint(HDC Dc) override;

private:
  // Reads the entries into a LOGFONT; false (with Why) when one is not valid.
  bool Read(LOGFONTA& Lf, int& Tenths, std::string& Why, HWND& Where);
  void UpdateSample();
  void Ok();
  CHOOSEFONTA& cf_;
  LOGFONTA result_{};
  int tenths_ = 0;
  COLORREF color_ = 0;
  HFONT sampleFont_ = nullptr;
  int dpi_ = 96;
};

bool FontDialog::Build() {
  dpi_ = ScreenDpi();
  if (!Create(cf_.hwndOwner, "Font", kClientW, kClientH)) return false;
  const LOGFONTA* Init = (cf_.Flags & CF_INITTOLOGFONTSTRUCT) ? cf_.lpLogFont : nullptr;
  Add(WC_STATIC, "&Font:", SS_LEFT, 8, 8, 168, 16, stc1, false);
  HWND Faces = Add(WC_COMBOBOX, "", CBS_SIMPLE | CBS_AUTOHSCROLL | CBS_SORT | CBS_HASSTRINGS | WS_VSCROLL, 8, 24, 168, 132, cmb1, true);
  Add(WC_STATIC, "Font st&yle:", SS_LEFT, 184, 8, 112, 16, stc2, false);
  HWND Styles = Add(WC_COMBOBOX, "", CBS_SIMPLE | CBS_AUTOHSCROLL | CBS_HASSTRINGS | WS_VSCROLL, 184, 24, 112, 132, cmb2, true);
  Add(WC_STATIC, "&Size:", SS_LEFT, 304, 8, 60, 16, stc3, false);
  HWND Sizes = Add(WC_COMBOBOX, "", CBS_SIMPLE | CBS_AUTOHSCROLL | CBS_HASSTRINGS | WS_VSCROLL, 304, 24, 60, 132, cmb3, true);
  Add(WC_BUTTON, "OK", BS_DEFPUSHBUTTON, 372, 24, 75, 23, IDOK, true);
  Add(WC_BUTTON, "Cancel", BS_PUSHBUTTON, 372, 53, 75, 23, IDCANCEL, true);

  bool Fixed = cf_.Flags & CF_FIXEDPITCHONLY;
  for (const char* F : kFaces)
    if (!Fixed || std::any_of(std::begin(kFixedFaces), std::end(kFixedFaces), [&](const char* X) { return !std::strcmp(X, F); }))
      SendMessage(Faces, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(F));
  for (const char* S : kStyles) SendMessage(Styles, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S));
  for (int S : kSizes)
    if (!(cf_.Flags & CF_LIMITSIZE) || (S >= cf_.nSizeMin && S <= cf_.nSizeMax))
      SendMessage(Sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_string(S).c_str()));

  std::string Face = Init && Init->lfFaceName[0] ? std::string(Init->lfFaceName, strnlen(Init->lfFaceName, LF_FACESIZE))
                                                  : std::string("Tahoma");
  if (SendMessage(Faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Face.c_str())) < 0 &&
      !(cf_.Flags & CF_FORCEFONTEXIST))
    SendMessage(Faces, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Face.c_str()));
  SendMessage(Faces, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Face.c_str()));
  int Style = Init ? (Init->lfWeight >= FW_SEMIBOLD ? 2 : 0) + (Init->lfItalic ? 1 : 0) : 0;
  SendMessage(Styles, CB_SETCURSEL, static_cast<WPARAM>(Style), 0);
  int Tenths = 100;
  if (Init && Init->lfHeight) Tenths = static_cast<int>(std::lround(std::abs(Init->lfHeight) * 720.0 / dpi_));
  if (cf_.Flags & CF_LIMITSIZE) Tenths = std::clamp(Tenths, cf_.nSizeMin * 10, cf_.nSizeMax * 10);
  std::string SizeText = TenthsText(Tenths);
  if (SendMessage(Sizes, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(SizeText.c_str())) < 0 ||
      WindowTextOf(Sizes) != SizeText)
    SetWindowText(Sizes, SizeText.c_str());

  if (cf_.Flags & CF_EFFECTS) {
    Add(WC_BUTTON, "Effects", BS_GROUPBOX, 8, 160, 168, 92, 0xFFFF, false);
    HWND Strike = Add(WC_BUTTON, "Stri&keout", BS_AUTOCHECKBOX, 16, 178, 150, 20, chx1, true);
    HWND Under = Add(WC_BUTTON, "&Underline", BS_AUTOCHECKBOX, 16, 200, 150, 20, chx2, true);
    Add(WC_STATIC, "&Colour:", SS_LEFT, 16, 226, 50, 16, stc4, false);
    HWND Colors = Add(WC_COMBOBOX, "", CBS_DROPDOWNLIST | WS_VSCROLL, 68, 222, 100, 200, cmb4, true);
    if (Init) {
      SendMessage(Strike, BM_SETCHECK, Init->lfStrikeOut ? BST_CHECKED : BST_UNCHECKED, 0);
      SendMessage(Under, BM_SETCHECK, Init->lfUnderline ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    int Sel = -1;
    for (const NamedColor& C : kColors) {
      auto At = static_cast<WPARAM>(SendMessage(Colors, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(C.Name)));
      SendMessage(Colors, CB_SETITEMDATA, At, static_cast<LPARAM>(C.Color));
      if (C.Color == (cf_.rgbColors & 0xFFFFFF)) Sel = static_cast<int>(At);
    }
    if (Sel < 0) {
      Sel = static_cast<int>(SendMessage(Colors, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Custom")));
      SendMessage(Colors, CB_SETITEMDATA, static_cast<WPARAM>(Sel), static_cast<LPARAM>(cf_.rgbColors & 0xFFFFFF));
    }
    SendMessage(Colors, CB_SETCURSEL, static_cast<WPARAM>(Sel), 0);
  }
  Add(WC_STATIC, "Sample", SS_LEFT, kSample.left, kSample.top - 18, 120, 16, 0xFFFF, false);
  initialFocus_ = Faces;
  UpdateSample();
  return true;
}

bool FontDialog::Read(LOGFONTA& Lf, int& Tenths, std::string& Why, HWND& Where) {
  HWND Faces = Item(cmb1), Styles = Item(cmb2), Sizes = Item(cmb3);
  std::string Face = WindowTextOf(Faces);
  Face.erase(0, Face.find_first_not_of(' '));
  while (!Face.empty() && Face.back() == ' ') Face.pop_back();
  Where = Faces;
  if (Face.empty()) {
    Why = "Choose a font from the list of fonts.";
    return false;
  }
  LRESULT Known = SendMessage(Faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Face.c_str()));
  if (Known < 0 && (cf_.Flags & CF_FORCEFONTEXIST)) {
    Why = "There is no font with that name.\nChoose a font from the list of fonts.";
    return false;
  }
  if (Known >= 0) {  // the list's spelling
    int Len = static_cast<int>(SendMessage(Faces, CB_GETLBTEXTLEN, static_cast<WPARAM>(Known), 0));
    Face.assign(static_cast<size_t>(std::max(Len, 0)) + 1, '\0');
    SendMessage(Faces, CB_GETLBTEXT, static_cast<WPARAM>(Known), reinterpret_cast<LPARAM>(Face.data()));
    Face.resize(std::strlen(Face.c_str()));
  }
  if (Face.size() >= LF_FACESIZE) {
    Why = "The font name is too long.";
    return false;
  }
  LRESULT Style =
      SendMessage(Styles, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(WindowTextOf(Styles).c_str()));
  Where = Styles;
  if (Style < 0) {
    Why = "There is no style of this font with that name.\nChoose a style from the list of styles.";
    return false;
  }
  Tenths = ParseTenths(WindowTextOf(Sizes));
  Where = Sizes;
  if (Tenths < 0) {
    Why = "Size must be a number.";
    return false;
  }
  if ((cf_.Flags & CF_LIMITSIZE) && (Tenths < cf_.nSizeMin * 10 || Tenths > cf_.nSizeMax * 10)) {
    Why = "Size must be between " + std::to_string(cf_.nSizeMin) + " and " + std::to_string(cf_.nSizeMax) + " points.";
    return false;
  }
  Lf = cf_.lpLogFont && (cf_.Flags & CF_INITTOLOGFONTSTRUCT) ? *cf_.lpLogFont : LOGFONTA{};
  Lf.lfHeight = -static_cast<LONG>(std::lround(Tenths * dpi_ / 720.0));
  Lf.lfWidth = 0;
  Lf.lfWeight = Style >= 2 ? FW_BOLD : FW_NORMAL;
  Lf.lfItalic = Style % 2 ? 1 : 0;
  if (HWND S = Item(chx1)) Lf.lfStrikeOut = SendMessage(S, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (HWND U = Item(chx2)) Lf.lfUnderline = SendMessage(U, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (!(cf_.Flags & CF_INITTOLOGFONTSTRUCT)) Lf.lfCharSet = DEFAULT_CHARSET;
  std::memset(Lf.lfFaceName, 0, sizeof Lf.lfFaceName);
  std::memcpy(Lf.lfFaceName, Face.c_str(), Face.size());
  return true;
}

void FontDialog::UpdateSample() {
  LOGFONTA Lf;
  int Tenths;
  std::string Why;
  HWND Where;
  if (sampleFont_) DeleteObject(sampleFont_);
  sampleFont_ = Read(Lf, Tenths, Why, Where) ? CreateFontIndirect(&Lf) : nullptr;
  color_ = cf_.rgbColors & 0xFFFFFF;
  if (HWND C = Item(cmb4)) {
    LRESULT Sel = SendMessage(C, CB_GETCURSEL, 0, 0);
    if (Sel >= 0) color_ = static_cast<COLORREF>(SendMessage(C, CB_GETITEMDATA, static_cast<WPARAM>(Sel), 0));
  }
  RECT R = kSample;
  InvalidateRect(Window(), &R, TRUE);
}

void FontDialog::Paint(HDC Dc) {
  RECT R = kSample;
  DrawEdge(Dc, &R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (!sampleFont_) return;
  HRGN Clip = CreateRectRgnIndirect(&R);
  SelectClipRgn(Dc, Clip);
  HGDIOBJ Old = SelectObject(Dc, sampleFont_);
  SetBkMode(Dc, TRANSPARENT);
  SetTextColor(Dc, Item(cmb4) ? color_ : GetSysColor(COLOR_WINDOWTEXT));
  DrawText(Dc, "AaBbYyZz", -1, &R, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  SelectObject(Dc, Old);
  SelectClipRgn(Dc, nullptr);
  DeleteObject(Clip);
}

void FontDialog::Ok() {
  std::string Why;
  HWND Where = nullptr;
  if (!Read(result_, tenths_, Why, Where)) {
    MessageBox(Window(), Why.c_str(), "Font", MB_OK | MB_ICONWARNING);
    FocusOn(Where);
    return;
  }
  UpdateSample();
  End(IDOK);
}

void FontDialog::Command(int Id, int Code, HWND Control) {
  (void)Control;
  switch (Id) {
    case IDOK: Ok(); return;
    case IDCANCEL: End(IDCANCEL); return;
    case cmb1:
    case cmb2:
    case cmb3:
    case cmb4:
      if (Code == CBN_SELCHANGE || Code == CBN_EDITCHANGE) {
        // A pick from the list reaches the edit after the notification: read it once it is there.
        PostMessage(Window(), WM_COMMAND, MAKEWPARAM(0xFFFE, 0), reinterpret_cast<LPARAM>(Window()));
      }
      return;
    case chx1:
    case chx2:
    case 0xFFFE: UpdateSample(); return;
    default: return;
  }
}

}  // namespace

}  // namespace k58::builtin::commdlg

BOOL ChooseFont(LPCHOOSEFONTA Cf) {
  using namespace k58::builtin::commdlg;
  SetError(0);
  if (!Cf || Cf->lStructSize != sizeof(CHOOSEFONTA)) {
    SetError(CDERR_STRUCTSIZE);
    return FALSE;
  }
  if (!Cf->lpLogFont) {
    SetError(CDERR_INITIALIZATION);
    return FALSE;
  }
  if ((Cf->Flags & CF_LIMITSIZE) && Cf->nSizeMax < Cf->nSizeMin) {
    SetError(CFERR_MAXLESSTHANMIN);
    return FALSE;
  }
  if (Cf->hwndOwner && !IsWindow(Cf->hwndOwner)) {
    SetError(CDERR_DIALOGFAILURE);
    return FALSE;
  }
  FontDialog D(*Cf);
  if (!D.Build()) {
    SetError(CDERR_DIALOGFAILURE);
    return FALSE;
  }
  if (D.Run(k58::builtin::CommonDialogKind::Font) != IDOK) return FALSE;
  LOGFONTA Lf = D.Result();
  *Cf->lpLogFont = Lf;
  Cf->iPointSize = D.Tenths();
  if (Cf->Flags & CF_EFFECTS) Cf->rgbColors = D.Color();
  Cf->nFontType = static_cast<WORD>(SCREEN_FONTTYPE | (Lf.lfWeight >= FW_BOLD ? BOLD_FONTTYPE : 0) |
                                    (Lf.lfItalic ? ITALIC_FONTTYPE : 0) |
                                    (Lf.lfWeight < FW_BOLD && !Lf.lfItalic ? REGULAR_FONTTYPE : 0));
  return TRUE;
}
