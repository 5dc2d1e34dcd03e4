// Drawing routines and value tests shared by the bars and the hot-zone styles; the colour-name tables.
#include "controls/extra/uiExtEditUtils.h"

#include <algorithm>

#include "platform/rtl/Numbers.h"
#include "platform/rtl/Strings.h"

TRect DrawFrame3D(TuiCanvas* ACanvas, const TRect& R, TColor ATopLeftColor, TColor ABottomRightColor) {
  TCanvas* canvas = ACanvas->Canvas();
  canvas->Pen()->SetColor(ATopLeftColor);
  canvas->MoveTo(R.left, R.top);
  canvas->LineTo(R.left, R.bottom + 1);
  canvas->MoveTo(R.left, R.top);
  canvas->LineTo(R.right + 1, R.top);
  canvas->Pen()->SetColor(ABottomRightColor);
  canvas->MoveTo(R.right, R.top + 1);
  canvas->LineTo(R.right, R.bottom);
  canvas->MoveTo(R.left + 1, R.bottom);
  canvas->LineTo(R.right + 1, R.bottom);
  return TRect{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1};
}

void DrawLine(TCanvas* ACanvas, TColor AColor, const TPoint& P1, const TPoint& P2) {
  ACanvas->Pen()->SetColor(AColor);
  ACanvas->MoveTo(P1.x, P1.y);
  ACanvas->LineTo(P2.x, P2.y);
}

void ExtendRect(TRect& R, Integer ADeltaLeft, Integer ADeltaTop, Integer ADeltaRight, Integer ADeltaBottom) {
  R.left += ADeltaLeft;
  R.top += ADeltaTop;
  R.right += ADeltaRight;
  R.bottom += ADeltaBottom;
}

Integer RectWidth(const TRect& R) { return std::max<Integer>(0, R.right - R.left); }
Integer RectHeight(const TRect& R) { return std::max<Integer>(0, R.bottom - R.top); }

TColor LightenColor(TColor AColor, Integer ADeltaR, Integer ADeltaG, Integer ADeltaB) {
  const COLORREF rgb = ColorToRGB(AColor);
  const auto channel = [](COLORREF c, Integer shift, Integer delta) {
    return static_cast<COLORREF>(std::clamp<Integer>(static_cast<Integer>((c >> shift) & 0xFF) + delta, 0, 255));
  };
  return static_cast<TColor>(channel(rgb, 0, ADeltaR) | channel(rgb, 8, ADeltaG) << 8 | channel(rgb, 16, ADeltaB) << 16);
}

bool IsNullOrEmptyValue(const Variant& AValue) { return VarIsNull(AValue) || VarIsEmpty(AValue); }

namespace {

// Blanks and control characters at either end go.
String TrimIntegerText(const String& S) {
  size_t first = 0, last = S.size();
  while (first < last && static_cast<unsigned char>(S[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(S[last - 1]) <= ' ') --last;
  return S.substr(first, last - first);
}

}  // namespace

bool IsIntegerText(const String& S) {
  const String text = TrimIntegerText(S);
  Integer value = 0;
  return !text.empty() && TryStrToInt(text, value);
}

Integer IntegerTextValue(const String& S) { return StrToInt(TrimIntegerText(S)); }

Integer ExtractIntegerText(const String& S, bool AStopAtOther) {
  String work;
  for (char c : S) {
    if (c == '-' || (c >= '0' && c <= '9'))
      work += c;
    else if (AStopAtOther)
      break;
  }
  if (work.empty()) work = "0";
  return StrToInt(work);
}

TShiftState GetCurrentShiftState() { return KeyboardStateToShiftState(); }

const std::array<const char*, 52> ColorConstantNames = {
    "clBlack", "clMaroon", "clGreen", "clOlive", "clNavy", "clPurple", "clTeal", "clGray", "clSilver", "clRed",
    "clLime", "clYellow", "clBlue", "clFuchsia", "clAqua", "clWhite", "clMoneyGreen", "clSkyBlue", "clCream",
    "clMedGray", "clActiveBorder", "clActiveCaption", "clAppWorkSpace", "clBackground", "clBtnFace",
    "clBtnHighlight", "clBtnShadow", "clBtnText", "clCaptionText", "clDefault", "clGradientActiveCaption",
    "clGradientInactiveCaption", "clGrayText", "clHighlight", "clHighlightText", "clHotLight", "clInactiveBorder",
    "clInactiveCaption", "clInactiveCaptionText", "clInfoBk", "clInfoText", "clMenu", "clMenuBar",
    "clMenuHighlight", "clMenuText", "clNone", "clScrollBar", "cl3DDkShadow", "cl3DLight", "clWindow",
    "clWindowFrame", "clWindowText"};

const std::array<const char*, 16> HTMLColorNames = {"Black", "Maroon", "Green", "Olive", "Navy", "Purple",
                                                    "Teal", "Gray", "Silver", "Red", "Lime", "Yellow",
                                                    "Blue", "Fuchsia", "White", "Aqua"};

const std::array<const char*, 140> WebColorNames = {
    "AliceBlue", "AntiqueWhite", "Aqua", "Aquamarine", "Azure", "Beige", "Bisque", "Black", "BlanchedAlmond",
    "Blue", "BlueViolet", "Brown", "BurlyWood", "CadetBlue", "Chartreuse", "Chocolate", "Coral",
    "CornflowerBlue", "Cornsilk", "Crimson", "Cyan", "DarkBlue", "DarkCyan", "DarkGoldenrod", "DarkGray",
    "DarkGreen", "DarkKhaki", "DarkMagenta", "DarkOliveGreen", "DarkOrange", "DarkOrchid", "DarkRed",
    "DarkSalmon", "DarkSeaGreen", "DarkSlateBlue", "DarkSlateGray", "DarkTurquoise", "DarkViolet", "DeepPink",
    "DeepSkyBlue", "DimGray", "DodgerBlue", "FireBrick", "FloralWhite", "ForestGreen", "Fuchsia", "Gainsboro",
    "GhostWhite", "Gold", "Goldenrod", "Gray", "Green", "GreenYellow", "Honeydew", "HotPink", "IndianRed",
    "Indigo", "Ivory", "Khaki", "Lavender", "LavenderBlush", "LawnGreen", "LemonChiffon", "LightBlue",
    "LightCoral", "LightCyan", "LightGoldenrodYellow", "LightGreen", "LightGrey", "LightPink", "LightSalmon",
    "LightSeaGreen", "LightSkyBlue", "LightSlateGray", "LightSteelBlue", "LightYellow", "Lime", "LimeGreen",
    "Linen", "Magenta", "Maroon", "MediumAquamarine", "MediumBlue", "MediumOrchid", "MediumPurple",
    "MediumSeaGreen", "MediumSlateBlue", "MediumSpringGreen", "MediumTurquoise", "MediumVioletRed",
    "MidnightBlue", "MintCream", "MistyRose", "Moccasin", "NavajoWhite", "Navy", "OldLace", "Olive",
    "OliveDrab", "Orange", "OrangeRed", "Orchid", "PaleGoldenrod", "PaleGreen", "PaleTurquoise",
    "PaleVioletRed", "PapayaWhip", "PeachPuff", "Peru", "Pink", "Plum", "PowderBlue", "Purple", "Red",
    "RosyBrown", "RoyalBlue", "SaddleBrown", "Salmon", "SandyBrown", "SeaGreen", "Seashell", "Sienna", "Silver",
    "SkyBlue", "SlateBlue", "SlateGray", "Snow", "SpringGreen", "SteelBlue", "Tan", "Teal", "Thistle", "Tomato",
    "Turquoise", "Violet", "Wheat", "White", "WhiteSmoke", "Yellow", "YellowGreen"};
