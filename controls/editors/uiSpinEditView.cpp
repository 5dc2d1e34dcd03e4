// The spin editor's button layout in its three placements, themed spin parts and states, the button held
// by the keyboard, and the drawing of spin button frames and arrows per look.
#include <algorithm>

#include "controls/editors/uiSpinEdit.h"
#include "controls/foundation/uxThemeManager.h"
#include "platform/classes/ClassBuilder.h"

namespace {

// Parts of the visual style's spin class.
constexpr int SpinPartUp = 1;
constexpr int SpinPartDown = 2;
constexpr int SpinPartUpHorz = 3;
constexpr int SpinPartDownHorz = 4;
// Theme states by button state (disabled, normal, pressed, hot).
constexpr int SpinThemeStates[4] = {4, 1, 3, 2};

Integer SpinButtonIndexAt(TuiCustomEditViewInfo* AViewInfo, Integer AIndex) {
  return AViewInfo->Buttons[static_cast<size_t>(AIndex)]->ButtonIndex;
}

// The visual-style part of a button by its index in the properties.
int SpinThemePart(TuiSpinEditButtonsPosition APosition, Integer AButtonIndex) {
  const bool up = AButtonIndex == 1 || AButtonIndex == 3;
  if (APosition == sbpVert && AButtonIndex < 2) return up ? SpinPartUp : SpinPartDown;
  return up ? SpinPartUpHorz : SpinPartDownHorz;
}

}  // namespace

// ---- View data ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSpinEditViewData) {}

TuiSpinEditButtonsPosition TuiSpinEditViewData::Position() const {
  auto* properties = dynamic_cast<TuiCustomSpinEditProperties*>(Properties);
  return properties != nullptr ? properties->SpinButtons()->Position() : sbpVert;
}

bool TuiSpinEditViewData::ThemedSpin() const { return NativeStyleUsed && IsThemedObjectUsable(totSpin); }

Integer TuiSpinEditViewData::KeyPressedButton() const {
  auto* edit = dynamic_cast<TuiCustomSpinEdit*>(Edit);
  return edit != nullptr ? edit->KeyPressedButton() : 0;
}

void TuiSpinEditViewData::CalcSpinButtonSizes(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, const TRect& R,
                                              Integer& W, Integer& S, Integer& F) {
  TuiEditButtonViewInfo* last = AViewInfo->Buttons.back();
  const Integer savedWidth = last->Width;
  last->Width = 0;
  W = CalculateEditButtonWidth(ACanvas, last);
  last->Width = savedWidth;
  const Integer height = R.bottom - R.top;
  Integer arrow;
  if (ThemedSpin()) {
    TRect offsets{};
    GetTextContentOffsets(offsets);
    const Integer sum = height + ACanvas->MeasureTextHeight("Zg") + offsets.top + offsets.bottom - 1;
    S = (sum + 1) / 2;
    arrow = CalculateArrowSize(TSize{W + 2, height / 2 + 2}, adUp).cy;
  } else {
    arrow = CalculateArrowSize(TSize{W + 2, height / 2 + 2}, adUp).cy;
    S = 4 * arrow - 3;
  }
  F = (3 * S + 1) / 2;
  if (auto* view = dynamic_cast<TuiSpinEditViewInfo*>(AViewInfo)) view->ArrowSize = arrow;
}

void TuiSpinEditViewData::CalculateButtonBounds(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R,
                                                Integer AIndex) {
  // The pass goes from the last button to the first; at the first every button knows its index.
  if (AIndex != 0) return;
  auto* view = dynamic_cast<TuiSpinEditViewInfo*>(AViewInfo);
  const TuiSpinEditButtonsPosition position = Position();
  if (view != nullptr) {
    view->Position = position;
    view->HasSeparator = false;
  }
  // The buttons by their index in the properties (0 down, 1 up, 2 fast down, 3 fast up).
  TuiEditButtonViewInfo* byIndex[4] = {nullptr, nullptr, nullptr, nullptr};
  for (TuiEditButtonViewInfo* b : AViewInfo->Buttons)
    if (b->ButtonIndex >= 0 && b->ButtonIndex < 4) byIndex[b->ButtonIndex] = b;
  for (TuiEditButtonViewInfo* b : AViewInfo->Buttons) b->Bounds = b->VisibleBounds = TRect{};
  if (R.right <= R.left || R.bottom <= R.top) return;
  Integer W = 0, S = 0, F = 0;
  CalcSpinButtonSizes(ACanvas, AViewInfo, R, W, S, F);
  const bool themed = ThemedSpin();
  TRect r = R;
  auto place = [](TuiEditButtonViewInfo* AButton, const TRect& ABounds) {
    if (AButton == nullptr) return;
    AButton->Bounds = AButton->VisibleBounds = ABounds;
  };
  auto takeRight = [&](TuiEditButtonViewInfo* AButton, Integer AWidth) {
    place(AButton, TRect{std::max(r.left, r.right - AWidth), r.top, r.right, r.bottom});
    r.right = std::max(r.left, r.right - AWidth);
  };
  if (byIndex[3] != nullptr) takeRight(byIndex[3], F);
  if (position == sbpVert) {
    const Integer gap = themed ? 1 : 0;
    const Integer left = std::max(r.left, r.right - W);
    const Integer middle = r.top + (r.bottom - r.top - gap) / 2;
    place(byIndex[1], TRect{left, r.top, r.right, middle});
    place(byIndex[0], TRect{left, middle + gap, r.right, r.bottom});
    if (view != nullptr && themed) {
      view->HasSeparator = true;
      view->SeparatorFrom = TPoint{left, middle};
      view->SeparatorTo = TPoint{r.right - 1, middle};
    }
    r.right = left;
  } else {
    takeRight(byIndex[1], S);
    if (themed) r.right -= 1;
    if (position == sbpHorzRight) {
      takeRight(byIndex[0], S);
      if (view != nullptr && themed && byIndex[0] != nullptr) {
        view->HasSeparator = true;
        view->SeparatorFrom = TPoint{byIndex[0]->Bounds.right, r.top};
        view->SeparatorTo = TPoint{byIndex[0]->Bounds.right, r.bottom - 1};
      }
    }
  }
  if (position != sbpHorzLeftRight) {
    if (byIndex[2] != nullptr) takeRight(byIndex[2], F);
    return;
  }
  if (byIndex[2] != nullptr) {
    place(byIndex[2], TRect{r.left, r.top, std::min(r.right, r.left + F), r.bottom});
    r.left = std::min(r.right, r.left + F);
  }
  place(byIndex[0], TRect{r.left, r.top, std::min(r.right, r.left + S), r.bottom});
}

void TuiSpinEditViewData::CalculateButtonsViewInfo(TuiCanvas* ACanvas, const TRect& ABounds,
                                                   TuiCustomEditViewInfo* AViewInfo, Byte AButton, TShiftState AShift,
                                                   const TPoint& P, bool AIsMouseEvent) {
  TuiCustomTextEditViewData::CalculateButtonsViewInfo(ACanvas, ABounds, AViewInfo, AButton, AShift, P, AIsMouseEvent);
  // The text sits between the left-hand buttons and the right-hand ones.
  const bool leftRight = Position() == sbpHorzLeftRight;
  for (TuiEditButtonViewInfo* b : AViewInfo->Buttons) {
    b->Data.LeftAlignment = leftRight && (b->ButtonIndex == 0 || b->ButtonIndex == 2);
    b->Data.Leftmost = b->Data.Rightmost = false;
  }
}

void TuiSpinEditViewData::CalculateButtonNativeInfo(TuiEditButtonViewInfo* AButtonViewInfo) {
  TuiEditButtonViewInfo& button = *AButtonViewInfo;
  HTHEME theme = ThemedSpin() ? OpenThemeObject(totSpin) : nullptr;
  if (theme == nullptr) {
    button.Data.NativePart = 0;
    button.Data.NativeState = 0;
    button.Data.BackgroundPartiallyTransparent = false;
    return;
  }
  button.Data.NativePart = SpinThemePart(Position(), button.ButtonIndex);
  button.Data.NativeState = SpinThemeStates[std::min<Byte>(button.Data.State, 3)];
  button.Data.BackgroundPartiallyTransparent =
      IsThemeBackgroundPartiallyTransparent(theme, button.Data.NativePart, button.Data.NativeState) != FALSE;
  if (button.Data.BackgroundPartiallyTransparent) button.Data.Transparent = true;
}

bool TuiSpinEditViewData::IsButtonPressedByEditor(TuiCustomEditViewInfo* AViewInfo, Integer AButtonIndex) {
  const Integer pressed = KeyPressedButton();
  if (pressed == 0 || AButtonIndex < 0 || AButtonIndex >= AViewInfo->ButtonCount()) return false;
  return SpinButtonIndexAt(AViewInfo, AButtonIndex) + 1 == pressed;
}

// ---- View info ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiSpinEditViewInfo) {}

void TuiSpinEditViewInfo::Paint(TuiCanvas* ACanvas) {
  TuiCustomTextEditViewInfo::Paint(ACanvas);
  if (!HasSeparator || Buttons.empty() || Buttons[0]->Data.NativeState == 0 || Position == sbpHorzLeftRight) return;
  const TRect line{SeparatorFrom.x, SeparatorFrom.y, SeparatorTo.x + 1, SeparatorTo.y + 1};
  FillRectWithColor(ACanvas, line, BackgroundColor);
}

void TuiSpinEditViewInfo::OffsetRects(Integer DX, Integer DY) {
  TuiCustomTextEditViewInfo::OffsetRects(DX, DY);
  SeparatorFrom.x += DX;
  SeparatorFrom.y += DY;
  SeparatorTo.x += DX;
  SeparatorTo.y += DY;
}

void TuiSpinEditViewInfo::DrawButtonBorder(TuiCanvas* ACanvas, Integer AIndex, TuiEditButtonStyle AButtonStyle, TRect R) {
  TuiEditButtonViewInfo& button = *Buttons[static_cast<size_t>(AIndex)];
  if (button.Data.NativeState != 0) {
    if (HTHEME theme = OpenThemeObject(totSpin)) {
      const RECT b{button.Bounds.left, button.Bounds.top, button.Bounds.right, button.Bounds.bottom};
      DrawThemeBackground(theme, ACanvas->GetDCHandle(), button.Data.NativePart, button.Data.NativeState, &b, nullptr);
    }
    return;
  }
  switch (AButtonStyle) {
    case btsUltraFlat:
      return DrawUltraFlatSpinButton(ACanvas, AIndex, R);
    case btsOffice11:
      return DrawOffice11SpinButton(ACanvas, AIndex, R);
    default:
      return DrawEditButtonBorder(ACanvas, this, AIndex, AButtonStyle, R);
  }
}

void TuiSpinEditViewInfo::DrawUltraFlatSpinButton(TuiCanvas* ACanvas, Integer AIndex, TRect R) {
  TuiEditButtonViewInfo& button = *Buttons[static_cast<size_t>(AIndex)];
  const Byte state = button.Data.State;
  const bool active = state == ebsPressedState || state == ebsHotState;
  // The edge toward the text is the frame; edges shared with a neighbouring button are drawn once, by
  // the button that comes first (up above down, fast buttons outside).
  const Integer index = button.ButtonIndex;
  TuiBorders edges = uiAllBorders;
  if (Position == sbpVert && index == 0) edges = TuiBorders{bLeft, bRight, bBottom};
  const TColor edge = active ? GetHighlightColor(false) : BackgroundColor;
  DrawRectEdges(ACanvas, R, edges, edge);
  TColor fill = clBtnFace;
  if (button.Data.Transparent)
    fill = button.Data.BackgroundColor;
  else if (state == ebsPressedState)
    fill = clBtnText;
  else if (state == ebsHotState)
    fill = clBtnShadow;
  DrawButtonContent(ACanvas, AIndex, R, R, active ? clWindow : clBtnText, fill);
}

void TuiSpinEditViewInfo::DrawOffice11SpinButton(TuiCanvas* ACanvas, Integer AIndex, TRect R) {
  TuiEditButtonViewInfo& button = *Buttons[static_cast<size_t>(AIndex)];
  const Byte state = button.Data.State;
  const bool active = state == ebsPressedState || state == ebsHotState;
  TuiBorders edges = uiAllBorders;
  if (Position == sbpVert && button.ButtonIndex == 0) edges = TuiBorders{bLeft, bRight, bBottom};
  DrawRectEdges(ACanvas, R, edges, active ? GetHighlightColor(true) : BackgroundColor);
  TColor fill;
  if (button.Data.Transparent)
    fill = button.Data.BackgroundColor;
  else if (active)
    fill = GetFlatButtonColor(state == ebsPressedState, true);
  else if (state == ebsDisabledState)
    fill = clBtnFace;
  else
    fill = Office11Color(o11BarLight);
  DrawButtonContent(ACanvas, AIndex, R, R, clBtnText, fill);
}

void TuiSpinEditViewInfo::DrawButtonContent(TuiCanvas* ACanvas, Integer AIndex, const TRect& ABackgroundRect,
                                            const TRect& AContentRect, TColor ATextColor, TColor AFillColor) {
  if (ABackgroundRect.right <= ABackgroundRect.left || ABackgroundRect.bottom <= ABackgroundRect.top) return;
  TuiEditButtonViewInfo& button = *Buttons[static_cast<size_t>(AIndex)];
  DrawButtonBackground(ACanvas, AIndex, AFillColor, ABackgroundRect);
  const Integer index = button.ButtonIndex;
  TuiArrowDirection direction;
  if (Position == sbpVert)
    direction = index == 0 ? adDown : index == 1 ? adUp : index == 2 ? adLeft : adRight;
  else
    direction = (index == 0 || index == 2) ? adLeft : adRight;
  const Integer extra = index >= 2 ? 1 : 0;
  const bool pressed = button.Data.State == ebsPressedState;
  const Integer size = std::max<Integer>(ArrowSize, 1);
  if (button.Data.State == ebsDisabledState) {
    TRect shifted = AContentRect;
    OffsetRect(&shifted, 1, 1);
    DrawSolidArrows(ACanvas, size, shifted, clBtnHighlight, false, extra, direction);
    DrawSolidArrows(ACanvas, size, AContentRect, clBtnShadow, false, extra, direction);
  } else {
    DrawSolidArrows(ACanvas, size, AContentRect, ATextColor, pressed, extra, direction);
  }
}
