// The editor's layout (view data) and painting state (view info), and the routines that draw an editor's
// frame, background and embedded buttons.
#include <algorithm>

#include "controls/editors/uiEdit.h"
#include "platform/classes/ClassBuilder.h"
#include "controls/foundation/uiGraphics.h"

namespace {

constexpr Integer MaxIntValue = 2147483647;

bool EmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

TRect Shrunk(const TRect& R, const TRect& AExtent) {
  return TRect{R.left + AExtent.left, R.top + AExtent.top, R.right - AExtent.right, R.bottom - AExtent.bottom};
}

// Content margins of a themed part measured in a 100 x 100 rectangle.
bool ThemeMargins(TThemedObjectIndex AObject, int APart, TRect& AMargins) {
  HTHEME theme = OpenThemeObject(AObject);
  if (theme == nullptr) return false;
  const RECT bounds{0, 0, 100, 100};
  RECT content{};
  if (GetThemeBackgroundContentRect(theme, nullptr, APart, 1, bounds, content) != S_OK) return false;
  AMargins = TRect{content.left, content.top, 100 - content.right, 100 - content.bottom};
  return true;
}

// The native part and state of a button by kind and state (0 disabled, 1 normal, 2 pressed, 3 hot).
constexpr int NativeButtonStates[4] = {4, 1, 3, 2};

TThemedObjectIndex ButtonThemeObject(const TuiEditButtonViewInfo* AButton) {
  return AButton->Data.ComboBoxStyle ? totComboBox : totButton;
}

// The visual-style edit field's native state decoded for drawing.
constexpr int EditFieldPart = 1;

}  // namespace

// ---- Drawing routines -----------------------------------------------------------------------------------

Integer CalculateEditButtonWidth(TuiCanvas* ACanvas, TuiEditButtonViewInfo* AButtonViewInfo) {
  TuiEditButtonViewInfo& button = *AButtonViewInfo;
  if (button.Data.NativeStyle) button.Data.NativeStyle = IsThemedObjectUsable(ButtonThemeObject(&button));
  Integer border = 4;
  TRect margins{};
  if (button.Data.NativeStyle && ThemeMargins(ButtonThemeObject(&button), 1, margins)) border = margins.left + margins.right;
  if (button.Width >= 1) return std::max(button.Width, border);
  if (button.Data.Kind == bkGlyph && IsBitmapUsable(button.Glyph)) return button.Glyph->Width() + border;
  if (button.Data.Kind == bkText)
    return std::max<Integer>(border + ACanvas->MeasureTextWidth(button.Data.VisibleCaption) + 3,
                             GetSystemMetrics(SM_CYHSCROLL));
  return GetSystemMetrics(SM_CYHSCROLL);
}

void CalculateEditButtonNativeInfo(TuiEditButtonViewInfo* AButtonViewInfo) {
  TuiEditButtonViewInfo& button = *AButtonViewInfo;
  button.Data.NativePart = 0;
  if (button.Data.NativeStyle && OpenThemeObject(ButtonThemeObject(&button)) != nullptr) button.Data.NativePart = 1;
  if (button.Data.NativePart != 0) {
    const Byte state = std::min<Byte>(button.Data.State, 3);
    HTHEME theme = OpenThemeObject(ButtonThemeObject(&button));
    button.Data.NativeState = NativeButtonStates[state];
    button.Data.BackgroundPartiallyTransparent =
        IsThemeBackgroundPartiallyTransparent(theme, button.Data.NativePart, button.Data.NativeState) != FALSE;
  } else {
    button.Data.NativeState = 0;
    button.Data.BackgroundPartiallyTransparent = false;
  }
}

Integer GetEditButtonBorderHeight(TuiCanvas*, TuiCustomEditViewInfo* AViewInfo) {
  static const Integer heights[] = {0, 4, 2, 2, 2, 2, 2};
  TRect margins{};
  if (AViewInfo->NativeStyle && ThemeMargins(totButton, 1, margins)) return margins.top + margins.bottom;
  if (AViewInfo->Buttons.empty()) return heights[0];
  return heights[AViewInfo->Buttons[0]->Data.Style];
}

bool EditViewDataHasShadow(TuiCustomEditViewData* AViewData) {
  return AViewData->GetStyle()->Shadow() && !AViewData->NativeStyleUsed;
}

Integer GetInplaceButtonHeightCorrection(TuiCustomEditProperties* AEditProperties, bool AIsInplace) {
  return AIsInplace && AEditProperties->Buttons()->Count() > 0 ? 1 : 0;
}

void DrawEditBorderAndBackground(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, bool AFillContent,
                                 Integer AContentKind) {
  TuiCustomEditViewInfo& vi = *AViewInfo;
  if (vi.IsInplace && vi.CustomDrawInplaceBackground(ACanvas)) return;
  TRect border = vi.BorderRect;
  if (vi.NativeStyle) {
    if (!vi.IsInplace && vi.EditBorderStyle != ebsNone) {
      HTHEME theme = OpenThemeObject(totEdit);
      TRect content = border;
      if (AContentKind == 0 && theme != nullptr) {
        RECT c{};
        const RECT b{vi.Bounds.left, vi.Bounds.top, vi.Bounds.right, vi.Bounds.bottom};
        if (GetThemeBackgroundContentRect(theme, ACanvas->GetDCHandle(), EditFieldPart, vi.NativeState, b, c) == S_OK)
          content = TRect{c.left, c.top, c.right, c.bottom};
      } else if (AContentKind == 1) {
        content = vi.Bounds;
        InflateRect(&content, -3, -3);
        content.right = vi.ClientRect.right - 1;
      } else if (AContentKind == 2) {
        content = vi.ClientRect;
      }
      const Integer saved = ACanvas->SaveState();
      ACanvas->ExcludeClipRect(content);
      if (theme != nullptr) {
        const RECT b{vi.Bounds.left, vi.Bounds.top, vi.Bounds.right, vi.Bounds.bottom};
        DrawThemeBackground(theme, ACanvas->GetDCHandle(), EditFieldPart, vi.NativeState, b);
      }
      ACanvas->RestoreState(saved);
      if (!AFillContent && AContentKind != 2) {
        FillRectFrame(ACanvas, content, border, GetSolidBrush(vi.BackgroundColor));
        content = border;
      }
      if (AFillContent) FillRectWithColor(ACanvas, content, vi.BackgroundColor);
    } else {
      FillRectWithColor(ACanvas, vi.Bounds, vi.BackgroundColor);
    }
    return;
  }
  const Integer width = vi.BorderWidth;
  TRect frame = border;
  if (vi.Edges.Contains(bLeft)) frame.left -= width;
  if (vi.Edges.Contains(bTop)) frame.top -= width;
  if (vi.Edges.Contains(bRight)) frame.right += width;
  if (vi.Edges.Contains(bBottom)) frame.bottom += width;
  if (vi.Shadow) DrawContainerShadow(ACanvas, frame);
  if (!vi.Edges.Contains(bLeft)) frame.left -= width;
  if (!vi.Edges.Contains(bTop)) frame.top -= width;
  if (!vi.Edges.Contains(bRight)) frame.right += width;
  if (!vi.Edges.Contains(bBottom)) frame.bottom += width;
  switch (vi.EditBorderStyle) {
    case ebsSingle:
    case ebsThick:
      ACanvas->DrawBorderLines(frame, vi.BorderColor, width, uiAllBorders);
      break;
    case ebsFlat: {
      ACanvas->DrawEdge3D(frame, true, true, vi.Edges);
      TRect inner = frame;
      InflateRect(&inner, -1, -1);
      ACanvas->DrawBorderLines(inner, clBtnFace, 1, uiAllBorders);
      break;
    }
    case ebs3D: {
      ACanvas->DrawEdge3D(frame, true, true, vi.Edges);
      TRect inner = frame;
      InflateRect(&inner, -1, -1);
      ACanvas->DrawTwoColorFrame(inner, cl3DDkShadow, cl3DLight);
      break;
    }
    default:
      break;
  }
  if (vi.IsInplace) {
    if (AFillContent)
      FillRectWithColor(ACanvas, vi.Bounds, vi.BackgroundColor);
    else if (vi.HasStoredExtent)
      FillRectFrame(ACanvas, vi.Bounds, border, GetSolidBrush(vi.BackgroundColor));
  } else if (AFillContent) {
    FillRectWithColor(ACanvas, border, vi.BackgroundColor);
  }
}

void DrawEditButtons(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, bool AFillContent, Integer AContentKind) {
  TuiCustomEditViewInfo& vi = *AViewInfo;
  const bool excludeButtons = !vi.Buttons.empty() && !vi.Buttons[0]->Data.BackgroundPartiallyTransparent;
  Integer saved = 0;
  if (excludeButtons) {
    saved = ACanvas->SaveState();
    for (TuiEditButtonViewInfo* button : vi.Buttons) ACanvas->ExcludeClipRect(button->VisibleBounds);
  }
  DrawEditBorderAndBackground(ACanvas, AViewInfo, AFillContent, AContentKind);
  if (excludeButtons) ACanvas->RestoreState(saved);
  for (Integer i = 0; i < vi.ButtonCount(); ++i) {
    TuiEditButtonViewInfo* button = vi.Buttons[static_cast<size_t>(i)];
    button->Data.BackgroundColor = vi.BackgroundColor;
    if (EmptyRect(button->VisibleBounds)) continue;
    const bool clip = button->Bounds.left < vi.BorderRect.left || button->Bounds.right > vi.BorderRect.right ||
                      button->Bounds.top < vi.BorderRect.top || button->Bounds.bottom > vi.BorderRect.bottom;
    if (!clip) {
      vi.DrawButton(ACanvas, i);
      continue;
    }
    const Integer state = ACanvas->SaveState();
    try {
      ACanvas->IntersectClipRect(button->VisibleBounds);
      vi.DrawButton(ACanvas, i);
    } catch (...) {
      ACanvas->RestoreState(state);
      throw;
    }
    ACanvas->RestoreState(state);
  }
}

void DrawEditButtonContent(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, Integer AIndex) {
  TuiEditButtonViewInfo* button = AViewInfo->Buttons[static_cast<size_t>(AIndex)];
  TuiEditButtonStyle style = button->Data.Style;
  if (style == btsSimple && !button->Data.NativeStyle &&
      (button->Data.State == ebsPressedState || button->Data.State == ebsHotState))
    style = btsFlat;
  AViewInfo->DrawButtonBorder(ACanvas, AIndex, style, button->Bounds);
}

void DrawEditButtonBorder(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, Integer AIndex,
                          TuiEditButtonStyle AStyle, TRect R) {
  TuiEditButtonViewInfo& button = *AViewInfo->Buttons[static_cast<size_t>(AIndex)];
  const Byte state = button.Data.State;
  const bool pressed = state == ebsPressedState;
  if (button.Data.NativeState != 0) {
    HTHEME theme = OpenThemeObject(ButtonThemeObject(&button));
    const RECT b{button.Bounds.left, button.Bounds.top, button.Bounds.right, button.Bounds.bottom};
    if (button.Data.ComboBoxStyle) {
      if (theme != nullptr) DrawThemeBackground(theme, ACanvas->GetDCHandle(), button.Data.NativePart, button.Data.NativeState, b);
      return;
    }
    TRect content = button.Bounds;
    if (theme != nullptr) {
      DrawThemeBackground(theme, ACanvas->GetDCHandle(), button.Data.NativePart, button.Data.NativeState, b);
      RECT c{};
      if (GetThemeBackgroundContentRect(theme, ACanvas->GetDCHandle(), button.Data.NativePart, button.Data.NativeState, b, c) == S_OK)
        content = TRect{c.left, c.top, c.right, c.bottom};
    }
    AViewInfo->DrawButtonContent(ACanvas, AIndex, content, content, clBtnText, clBtnFace);
    return;
  }
  const bool transparent = button.Data.Transparent;
  TColor fill = transparent ? button.Data.BackgroundColor : clBtnFace;
  TColor text = clBtnText;
  TRect background = R, content = R;
  auto edge = [&](TuiBorders AEdges, TColor AColor) { DrawRectEdges(ACanvas, R, AEdges, AColor); };
  switch (AStyle) {
    case bts3D:
      if (pressed) {
        edge(uiAllBorders, clBtnShadow);
        edge(uiAllBorders, fill);
      } else {
        ACanvas->DrawTwoColorFrame(R, cl3DLight, cl3DDkShadow);
        InflateRect(&R, -1, -1);
        ACanvas->DrawTwoColorFrame(R, clBtnHighlight, clBtnShadow);
        InflateRect(&R, -1, -1);
      }
      background = content = R;
      break;
    case btsFlat:
      edge(TuiBorders{bLeft}, fill);
      if (pressed)
        ACanvas->DrawTwoColorFrame(R, clBtnShadow, clBtnHighlight);
      else
        ACanvas->DrawTwoColorFrame(R, clBtnHighlight, clBtnShadow);
      InflateRect(&R, -1, -1);
      edge(TuiBorders{bRight}, fill);
      background = content = R;
      break;
    case btsSimple:
      edge(uiAllBorders, button.Data.BackgroundColor);
      edge(TuiBorders{bLeft, bRight}, fill);
      background = content = R;
      break;
    case btsHotFlat: {
      static const TColor hotFlat[4] = {clBtnFace, clBtnFace, clBtnText, clBtnShadow};
      fill = transparent ? button.Data.BackgroundColor : hotFlat[std::min<Byte>(state, 3)];
      const bool nextToText = (button.Data.LeftAlignment && button.Data.Rightmost) ||
                              (!button.Data.LeftAlignment && button.Data.Leftmost);
      if (nextToText) {
        edge(uiAllBorders, clBtnShadow);
      } else if (button.Data.LeftAlignment) {
        edge(TuiBorders{bLeft, bTop, bBottom}, clBtnShadow);
        edge(TuiBorders{bRight}, fill);
      } else {
        edge(TuiBorders{bRight, bTop, bBottom}, clBtnShadow);
        edge(TuiBorders{bLeft}, fill);
      }
      edge(TuiBorders{bLeft, bRight}, fill);
      if (state == ebsDisabledState || state == ebsNormalState)
        text = clBtnText;
      else if (transparent && state == ebsHotState)
        text = clBtnShadow;
      else
        text = clWindow;
      background = content = R;
      break;
    }
    case btsUltraFlat:
    case btsOffice11: {
      const bool office11 = AStyle == btsOffice11;
      if (transparent)
        fill = button.Data.BackgroundColor;
      else if (state == ebsDisabledState)
        fill = clBtnFace;
      else if (state == ebsNormalState)
        fill = office11 ? Office11Color(o11BarLight) : clBtnFace;
      else
        fill = GetFlatButtonColor(pressed, office11);
      const TColor frameColor = GetHighlightColor(office11);
      const bool active = state == ebsPressedState || state == ebsHotState;
      if (!active || (button.Data.IsInplace && (AViewInfo->Flags & 4) == 0)) {
        edge(uiAllBorders, active ? frameColor : button.Data.BackgroundColor);
        background = R;
        content = R;
        content.left += 1;
        content.right -= 1;
      } else {
        background = R;
        content = R;
        if (button.Data.LeftAlignment) {
          if (!button.Data.Leftmost) {
            TRect line{R.left, R.top, R.left + 1, R.bottom};
            FillRectWithColor(ACanvas, line, frameColor);
            background.left += 1;
          }
          content.left += 1;
          if (R.right != AViewInfo->BorderRect.right) {
            TRect line{R.right - 1, R.top, R.right, R.bottom};
            FillRectWithColor(ACanvas, line, frameColor);
            background.right -= 1;
          }
          content.right -= 1;
        } else {
          if (!button.Data.Rightmost) {
            TRect line{R.right - 1, R.top, R.right, R.bottom};
            FillRectWithColor(ACanvas, line, frameColor);
            background.right -= 1;
          }
          content.right -= 1;
          if (R.left != AViewInfo->BorderRect.left) {
            TRect line{R.left, R.top, R.left + 1, R.bottom};
            FillRectWithColor(ACanvas, line, frameColor);
            background.left += 1;
          }
          content.left += 1;
        }
        InflateRect(&content, -1, -1);
      }
      break;
    }
    default:
      background = content = R;
      break;
  }
  AViewInfo->DrawButtonContent(ACanvas, AIndex, background, content, text, fill);
}

void DrawEditButtonByKind(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, Integer AIndex,
                          const TRect& ABackgroundRect, const TRect& AContentRect, TColor ATextColor,
                          TColor AFillColor) {
  if (EmptyRect(ABackgroundRect)) return;
  TuiEditButtonViewInfo& button = *AViewInfo->Buttons[static_cast<size_t>(AIndex)];
  const bool native = button.Data.NativeState != 0;
  const bool pressed = button.Data.State == ebsPressedState;
  const bool disabled = button.Data.State == ebsDisabledState;
  const bool usableGlyph = IsBitmapUsable(button.Glyph);
  if (!native && !(button.Data.Kind == bkGlyph && usableGlyph))
    AViewInfo->DrawButtonBackground(ACanvas, AIndex, AFillColor, ABackgroundRect);
  TRect R = AContentRect;
  switch (button.Data.Kind) {
    case bkEllipsis: {
      const Integer s = (R.right - R.left) > 11 ? 2 : 1;
      const Integer w = 3 * s + 4;
      Integer x = R.left + ((R.right - R.left) - w) / 2;
      Integer y = R.top + ((R.bottom - R.top) - s) / 2;
      if (pressed) {
        if (x + w < R.right) ++x;
        if (y + s < R.bottom) ++y;
      }
      auto dots = [&](Integer AX, Integer AY, TColor AColor) {
        for (Integer i = 0; i < 3; ++i) FillRectWithColor(ACanvas, TRect{AX + i * (s + 2), AY, AX + i * (s + 2) + s, AY + s}, AColor);
      };
      if (disabled) {
        dots(x + 1, y + 1, clBtnHighlight);
        dots(x, y, clBtnShadow);
      } else {
        dots(x, y, ATextColor);
      }
      break;
    }
    case bkDown: {
      const Integer diff = (button.Bounds.right - button.Bounds.left) - (R.right - R.left);
      if (diff % 2 == 0) {
        R.left -= diff / 2;
        R.right += diff / 2;
        if (pressed) OffsetRect(&R, 1, 0);
      } else {
        R.left -= diff / 2 + (pressed ? 0 : 1);
        R.right += diff / 2 + (pressed ? 1 : 0);
      }
      if (pressed) OffsetRect(&R, 0, 1);
      if (button.Data.IsInplace) {
        const Integer vdiff = (button.Bounds.bottom - button.Bounds.top) - (R.bottom - R.top);
        R.top -= vdiff / 2 + ((vdiff % 2 != 0 && !pressed) ? 1 : 0);
        R.bottom += vdiff / 2 + ((vdiff % 2 != 0 && pressed) ? 1 : 0);
      }
      TuiLookAndFeelPainterClass painter = ClassObjectOf<TuiStandardLookAndFeelPainter>();
      if (disabled) {
        TRect shifted = R;
        OffsetRect(&shifted, 1, 1);
        painter->PaintDropDownArrow(ACanvas, shifted, clBtnHighlight);
        painter->PaintDropDownArrow(ACanvas, R, clBtnShadow);
      } else {
        painter->PaintDropDownArrow(ACanvas, R, ATextColor);
      }
      break;
    }
    case bkGlyph: {
      if (!usableGlyph) break;
      const Integer gw = std::min<Integer>(button.Glyph->Width(), R.right - R.left);
      const Integer gh = std::min<Integer>(button.Glyph->Height(), R.bottom - R.top);
      Integer x = R.left + ((R.right - R.left) - gw) / 2;
      Integer y = R.top + ((R.bottom - R.top) - gh) / 2;
      if (pressed) {
        if (x + gw < R.right) ++x;
        if (y + gh < R.bottom) ++y;
      }
      if (!native) {
        TBitmap buffer;
        buffer.SetPixelFormat(pf32bit);
        buffer.SetSize(ABackgroundRect.right - ABackgroundRect.left, ABackgroundRect.bottom - ABackgroundRect.top);
        TuiCanvas bufferCanvas(buffer.Canvas());
        const TRect local{0, 0, buffer.Width(), buffer.Height()};
        AViewInfo->DrawButtonBackground(&bufferCanvas, AIndex, AFillColor, local);
        DrawGlyph(&bufferCanvas, x - ABackgroundRect.left, y - ABackgroundRect.top, button.Glyph, clNone, !disabled);
        ACanvas->DrawGraphic(ABackgroundRect.left, ABackgroundRect.top, &buffer);
      } else {
        DrawGlyph(ACanvas, x, y, button.Glyph, clNone, !disabled);
      }
      break;
    }
    case bkText: {
      TRect textRect = R;
      InflateRect(&textRect, -1, button.Data.IsInplace ? 0 : -1);
      TColor color;
      if (button.Data.Style == btsHotFlat && (pressed || button.Data.State == ebsHotState))
        color = ATextColor;
      else
        color = button.Data.TextColor != clDefault ? button.Data.TextColor : AViewInfo->TextColor;
      const TuiCanvasTextFlags flags = ctfAlignHCenter | ctfAlignVCenter | ctfSingleLine | ctfShowPrefix | ctfEndEllipsis;
      if (AViewInfo->Font != nullptr) ACanvas->SetCanvasFont(AViewInfo->Font);
      ACanvas->GetCanvasBrush()->SetStyle(bsClear);
      if (disabled) {
        TRect shifted = textRect;
        OffsetRect(&shifted, 1, 1);
        ACanvas->GetCanvasFont()->SetColor(clBtnHighlight);
        ACanvas->DrawCaptionText(button.Data.VisibleCaption.empty() ? button.Data.Caption : button.Data.Caption, shifted, flags);
        ACanvas->GetCanvasFont()->SetColor(clBtnShadow);
      } else {
        if (pressed) OffsetRect(&textRect, 1, 1);
        ACanvas->GetCanvasFont()->SetColor(color);
      }
      ACanvas->DrawCaptionText(button.Data.Caption, textRect, flags);
      ACanvas->GetCanvasBrush()->SetStyle(bsSolid);
      break;
    }
  }
}

// ---- View info ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditViewInfo) {}

TuiCustomEditViewInfo::~TuiCustomEditViewInfo() { SetButtonCount(0); }

TuiButtonState TuiCustomEditViewInfo::ButtonStateToPainterState(Byte AState) {
  switch (AState) {
    case ebsDisabledState: return uibsDisabled;
    case ebsPressedState: return uibsPressed;
    case ebsHotState: return uibsHot;
    default: return uibsNormal;
  }
}

void TuiCustomEditViewInfo::SetButtonCount(Integer ACount) {
  const size_t count = static_cast<size_t>(std::max<Integer>(ACount, 0));
  while (Buttons.size() > count) {
    FreeObject(Buttons.back());
    Buttons.pop_back();
  }
  while (Buttons.size() < count) Buttons.push_back(CreateButtonViewInfo());
}

void TuiCustomEditViewInfo::Paint(TuiCanvas* ACanvas) { DrawEditButtons(ACanvas, this, true, 0); }

bool TuiCustomEditViewInfo::Assign(TuiContainerViewInfo* AViewInfo) {
  if (auto* source = dynamic_cast<TuiCustomEditViewInfo*>(AViewInfo)) {
    SetBackgroundColor(source->BackgroundColor);
    BorderColor = source->BorderColor;
    EditBorderStyle = source->EditBorderStyle;
    ContainerState = source->ContainerState;
    NativeState = source->NativeState;
    SetButtonCount(source->ButtonCount());
    for (size_t i = 0; i < Buttons.size(); ++i) Buttons[i]->Assign(source->Buttons[i]);
    PressedButton = source->PressedButton;
    HotButton = source->HotButton;
    // The rectangles the repaint compares with.
    Bounds = source->Bounds;
    BorderRect = source->BorderRect;
    HasBackground = source->HasBackground;
    PaintOffset = source->PaintOffset;
  }
  return TuiContainerViewInfo::Assign(AViewInfo);
}

TuiRegion* TuiCustomEditViewInfo::CreateRegionToRepaint(TuiContainerViewInfo* AOldViewInfo) {
  TuiRegion* region = TuiContainerViewInfo::CreateRegionToRepaint(AOldViewInfo);
  auto* old = dynamic_cast<TuiCustomEditViewInfo*>(AOldViewInfo);
  const bool sameFrame = old != nullptr && (old->BorderColor == BorderColor || EditBorderStyle == ebsNone) &&
                         old->EditBorderStyle == EditBorderStyle && old->ButtonCount() == ButtonCount() &&
                         old->NativeState == NativeState;
  if (sameFrame) {
    for (size_t i = 0; i < Buttons.size(); ++i) {
      std::unique_ptr<TuiRegion> changed = Buttons[i]->GetChangedRegion(old->Buttons[i]);
      if (!changed->IsEmpty()) region->CombineWith(changed.release(), roAdd, true);
    }
  } else if (!EmptyRect(Bounds)) {
    region->CombineWith(new TuiRegion(Bounds), roAdd, true);
  }
  return region;
}

void TuiCustomEditViewInfo::OffsetRects(Integer DX, Integer DY) {
  TuiContainerViewInfo::OffsetRects(DX, DY);
  OffsetRect(&InnerEditRect, DX, DY);
  OffsetRect(&BorderRectCopy, DX, DY);
  for (TuiEditButtonViewInfo* button : Buttons) {
    OffsetRect(&button->Bounds, DX, DY);
    OffsetRect(&button->VisibleBounds, DX, DY);
  }
}

void TuiCustomEditViewInfo::DrawButton(TuiCanvas* ACanvas, Integer AIndex) {
  bool handled = false;
  if (OnCustomDrawButton.Assigned()) OnCustomDrawButton(this, ACanvas, AIndex, handled);
  if (!handled) DrawEditButtonContent(ACanvas, this, AIndex);
}

void TuiCustomEditViewInfo::DrawButtonBorder(TuiCanvas* ACanvas, Integer AIndex, TuiEditButtonStyle AButtonStyle,
                                             TRect R) {
  DrawEditButtonBorder(ACanvas, this, AIndex, AButtonStyle, R);
}

void TuiCustomEditViewInfo::DrawButtonContent(TuiCanvas* ACanvas, Integer AIndex, const TRect& ABackgroundRect,
                                              const TRect& AContentRect, TColor ATextColor, TColor AFillColor) {
  DrawEditButtonByKind(ACanvas, this, AIndex, ABackgroundRect, AContentRect, ATextColor, AFillColor);
}

bool TuiCustomEditViewInfo::HasHotButton() const {
  return std::any_of(Buttons.begin(), Buttons.end(),
                     [](const TuiEditButtonViewInfo* b) { return b->Data.State == ebsHotState; });
}

bool TuiCustomEditViewInfo::IsHotTrackPoint(const TPoint& P) const {
  const TPoint p{P.x - PaintOffset.x, P.y - PaintOffset.y};
  return std::any_of(Buttons.begin(), Buttons.end(), [&](const TuiEditButtonViewInfo* b) { return PtInRect(&b->Bounds, p); });
}

bool TuiCustomEditViewInfo::NeedShowHint(TuiCanvas*, const TPoint&, String& AText) {
  AText.clear();
  TRect r{};
  return NeedShowHintForRect(r);
}

bool TuiCustomEditViewInfo::NeedShowHintForRect(TRect& ARect) {
  ARect = TRect{};
  return false;
}

bool TuiCustomEditViewInfo::Repaint(TWinControl* AControl, TuiContainerViewInfo* AOldViewInfo) {
  return RepaintChanges(AControl, TRect{}, AOldViewInfo);
}

bool TuiCustomEditViewInfo::RepaintChanges(TWinControl* AControl, const TRect& AInnerEditRect,
                                           TuiContainerViewInfo* AOldViewInfo) {
  if (!AControl->HandleAllocated()) return false;
  const HWND wnd = AControl->Handle();
  TRect r1 = Bounds;
  OffsetRect(&r1, PaintOffset.x, PaintOffset.y);
  TRect inner{};
  IntersectRect(&inner, &AInnerEditRect, &ClientRect);
  auto* old = dynamic_cast<TuiCustomEditViewInfo*>(AOldViewInfo);
  if (old == nullptr) {
    InvalidateRectFrame(wnd, r1, inner, HasBackground);
    return false;
  }
  bool result = false;
  TRect r2{};
  if (old->NativeState != NativeState || old->BackgroundColor != BackgroundColor ||
      old->ButtonCount() != ButtonCount() || (old->ContainerState != ContainerState && IsRepaintOnStateChange())) {
    r2 = inner;
    result = true;
  } else if ((old->BorderColor != BorderColor && EditBorderStyle != ebsNone) || old->EditBorderStyle != EditBorderStyle) {
    r2 = BorderRect;
    OffsetRect(&r2, PaintOffset.x, PaintOffset.y);
    result = true;
  }
  if (result && !EmptyRect(Bounds) && !EqualRect(&r1, &r2)) InvalidateRectFrame(wnd, r1, r2, old->HasBackground);
  if (old->ButtonCount() == ButtonCount())
    for (size_t i = 0; i < Buttons.size(); ++i)
      if (Buttons[i]->RepaintIfChanged(AControl, old->Buttons[i], PaintOffset)) result = true;
  return result;
}

void TuiCustomEditViewInfo::DrawButtonBackground(TuiCanvas* ACanvas, Integer AIndex, TColor AColor, const TRect& ARect) {
  bool handled = false;
  if (OnDrawButtonBackground.Assigned()) OnDrawButtonBackground(this, ACanvas, ARect, AIndex, handled);
  if (handled) return;
  TuiEditButtonViewInfo& button = *Buttons[static_cast<size_t>(AIndex)];
  if (button.Data.Style == btsOffice11 && button.Data.Gradient && !button.Data.Transparent &&
      button.Data.State != ebsDisabledState) {
    TColor from = Office11Color(o11BarLight), to = Office11Color(o11BarDark);
    if (button.Data.State == ebsPressedState) {
      from = Office11Color(o11PressedLight);
      to = Office11Color(o11PressedDark);
    } else if (button.Data.State == ebsHotState) {
      from = Office11Color(o11HotLight);
      to = Office11Color(o11HotDark);
    }
    TRect r{ARect.left, BorderRect.top, ARect.right, BorderRect.bottom};
    if (button.Data.State == ebsNormalState) InflateRect(&r, 0, -1);
    const Integer saved = ACanvas->SaveState();
    try {
      ACanvas->IntersectClipRect(ARect);
      FillGradientRect(ACanvas->GetDCHandle(), r, from, to, false);
    } catch (...) {
      ACanvas->RestoreState(saved);
      throw;
    }
    ACanvas->RestoreState(saved);
    return;
  }
  FillRectWithColor(ACanvas, ARect, AColor);
}

bool TuiCustomEditViewInfo::CustomDrawInplaceBackground(TuiCanvas* ACanvas) {
  bool handled = false;
  if (IsInplace && OnCustomDrawBackground.Assigned()) OnCustomDrawBackground(this, ACanvas, handled);
  return handled;
}

// ---- View data ------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomEditViewData) {}

TuiCustomEditViewData::TuiCustomEditViewData(TuiCustomEditProperties* AEditProperties, TuiEditStyle* AStyle,
                                             bool AIsInplace)
    : Properties(AEditProperties), IsInplace(AIsInplace), style_(AStyle) {
  InitDefaults();
}

TuiCustomEditViewData* TuiCustomEditViewData::CreateOfClass(TClass AClass, TuiCustomEditProperties* AEditProperties,
                                                            TuiEditStyle* AStyle, bool AIsInplace) {
  TuiCustomEditViewData* viewData = nullptr;
  if (AClass != nullptr && AClass != StaticClass() && AClass->InheritsFrom(StaticClass())) {
    viewData = static_cast<TuiCustomEditViewData*>(AClass->Create().release());
    viewData->Properties = AEditProperties;
    viewData->style_ = AStyle;
    viewData->IsInplace = AIsInplace;
    viewData->InitDefaults();
  } else {
    viewData = new TuiCustomEditViewData(AEditProperties, AStyle, AIsInplace);
  }
  viewData->ApplyProperties();
  return viewData;
}

void TuiCustomEditViewData::InitDefaults() {
  StoredExtent = TRect{};
  Enabled = true;
}

void TuiCustomEditViewData::ApplyProperties() {
  ButtonVisibleCount = Properties->Buttons()->VisibleCount();
  NoEditFormatting = !Properties->SupportsValueFormatting(false);
  TuiEditAlignment* alignment = Properties->Alignment();
  HorzAlignment = alignment->Horz();
  VertAlignment = alignment->Vert();
  NativeStyleUsed = IsNativeStyleUsed(style_->LookAndFeel());
  PrepareEditState(State);
}

void TuiCustomEditViewData::PrepareEditState(TuiEditViewDataState& AState) {
  AState.StoredRect = TRect{};
  GetContentOffsets(AState.ContentOffsets);
  AState.Flag = 0;
  AState.ExtraContentWidth = 3 - AState.ContentOffsets.left - AState.ContentOffsets.right;
  AState.ExtraContentHeight = NativeStyleUsed && IsInplace && Properties->Buttons()->Count() > 0 ? 1 : 0;
}

void TuiCustomEditViewData::GetContentOffsets(TRect& R) { R = IsInplace ? TRect{1, 1, 1, 1} : TRect{1, 1, 1, 3}; }

bool TuiCustomEditViewData::IsNativeStyleUsed(TuiLookAndFeel* ALookAndFeel) {
  return ALookAndFeel != nullptr && ALookAndFeel->NativeStyle() && IsThemedObjectUsable(totEdit);
}

bool TuiCustomEditViewData::HasShadow() { return style_->Shadow() && !NativeStyleUsed; }

Integer TuiCustomEditViewData::GetCapturedButtonIndex() const { return Edit != nullptr ? Edit->CapturedButton() : -1; }

bool TuiCustomEditViewData::IsEditFocused() const { return Edit != nullptr ? Edit->IsEditFocused() : Focused; }

Byte TuiCustomEditViewData::GetButtonState(TuiCustomEditViewInfo* AViewInfo, Integer AIndex) const {
  if (AViewInfo == nullptr || AIndex < 0 || AIndex >= AViewInfo->ButtonCount()) return ebsDisabledState;
  return AViewInfo->Buttons[static_cast<size_t>(AIndex)]->Data.State;
}

TuiContainerState TuiCustomEditViewData::GetContainerState(const TRect& ABounds, const TPoint& P, TShiftState AShift) {
  if (!Enabled) return vsDisabled;
  if (IsDesigning) return vsNormal;
  TuiContainerState state = Focused ? vsFocused : vsNormal;
  TRect hot{};
  if (Edit != nullptr)
    Edit->GetHotTrackBounds(hot);
  else
    hot = Shrunk(ABounds, StoredExtent);
  const bool noButton = !AShift.Contains(ssLeft) && !AShift.Contains(ssRight) && !AShift.Contains(ssMiddle);
  const bool captured = Edit != nullptr && Edit->HandleAllocated() && GetCapture() == Edit->Handle();
  if (PtInRect(&hot, P) && (noButton || captured)) state |= vsHot;
  return state;
}

TuiEditBorderStyle TuiCustomEditViewData::GetBorderStyle() {
  if (IsInplace) return ebsNone;
  const TuiEditBorderStyle style = style_->EditBorderStyle();
  return style == ebsUltraFlat || style == ebsOffice11 ? ebsSingle : style;
}

TColor TuiCustomEditViewData::GetBorderColor() {
  const TuiEditBorderStyle style = style_->EditBorderStyle();
  if (style != ebsUltraFlat && style != ebsOffice11) return style_->BorderColor();
  if (Focused || ((ContainerState & vsHot) && style_->HotTrack()) || (IsDesigning && Enabled))
    return GetHighlightColor(style == ebsOffice11);
  return clBtnShadow;
}

void TuiCustomEditViewData::GetBorderExtent(TRect& R) {
  if (IsInplace) {
    R = StoredExtent;
    return;
  }
  TuiEditStyle* normal = static_cast<TuiEditStyle*>(style_->GetMasterStyle());
  if (style_->TransparentBorder()) {
    R = TRect{2, 2, 2, 2};
  } else if (!style_->HasBorder() || (NativeStyleUsed && normal->EditBorderStyle() == ebsNone)) {
    R = TRect{};
  } else if (NativeStyleUsed) {
    R = TRect{2, 2, 2, 2};
  } else {
    const Integer width = GetContainerBorderWidth(static_cast<TuiContainerBorderStyle>(GetBorderStyle()));
    const TuiBorders edges = style_->Edges();
    R = TRect{edges.Contains(bLeft) ? width : 0, edges.Contains(bTop) ? width : 0, edges.Contains(bRight) ? width : 0,
              edges.Contains(bBottom) ? width : 0};
  }
  if (HasShadow()) {
    R.right += 3;
    R.bottom += 3;
  }
}

void TuiCustomEditViewData::GetClientExtent(TuiCanvas*, TRect& R) {
  if (IsInplace) {
    R = StoredExtent;
    return;
  }
  if (!NativeStyleUsed) return GetBorderExtent(R);
  TuiEditStyle* normal = static_cast<TuiEditStyle*>(style_->GetMasterStyle());
  if (!style_->TransparentBorder() && normal->EditBorderStyle() == ebsNone) {
    R = TRect{};
  } else if (normal->EditBorderStyle() != ebsNone) {
    if (!ThemeMargins(totEdit, EditFieldPart, R)) R = TRect{2, 2, 2, 2};
  } else {
    R = TRect{2, 2, 2, 2};
  }
}

void TuiCustomEditViewData::CalculateClientRect(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R) {
  GetBorderExtent(R);
  if (Properties->ButtonsViewStyle() != 0 && AViewInfo->ButtonCount() > 0) {
    TRect client{};
    GetClientExtent(ACanvas, client);
    R.left = client.left;
    R.right = client.right;
  }
  if (HScrollBar != nullptr) R.bottom += HScrollBar->Height();
  if (VScrollBar != nullptr) R.right += VScrollBar->Width();
  for (TuiEditButtonViewInfo* button : AViewInfo->Buttons) {
    if (button->Data.LeftAlignment)
      R.left = std::max<Integer>(R.left, button->Bounds.right - Bounds.left);
    else
      R.right = std::max<Integer>(R.right, Bounds.right - button->Bounds.left);
  }
}

void TuiCustomEditViewData::Calculate(TuiCanvas* ACanvas, const TRect& ABounds, const TPoint& P, Byte AButton,
                                      TShiftState AShift, TuiCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) {
  TShiftState shift;
  for (TShiftStateItem item : {ssLeft, ssRight, ssMiddle, ssDouble})
    if (AShift.Contains(item)) shift.Include(item);
  TuiCustomEditViewInfo& vi = *AViewInfo;
  // View state and border style; a border that became narrower is settled by a second pass.
  for (int pass = 0; pass < 2; ++pass) {
    vi.ContainerState = GetContainerState(ABounds, P, shift);
    ContainerState = vi.ContainerState;
    Selected = (vi.ContainerState & (vsFocused | vsHot)) != 0;
    if (Edit != nullptr) {
      // The editor's active style follows the state just found.
      Edit->ViewInfo()->ContainerState = vi.ContainerState;
      style_ = static_cast<TuiEditStyle*>(Edit->GetActiveStyle());
    }
    vi.HotState = (IsDesigning || !style_->HotTrack() || IsInplace) ? 0 : (Selected ? 2 : 1);
    const TuiEditBorderStyle previous = vi.EditBorderStyle;
    if (!IsInplace && NativeStyleUsed)
      vi.EditBorderStyle = static_cast<TuiEditStyle*>(style_->GetMasterStyle())->EditBorderStyle();
    else
      vi.EditBorderStyle = GetBorderStyle();
    const bool narrower = pass == 0 && !IsInplace && !NativeStyleUsed && Edit != nullptr &&
                          GetContainerBorderWidth(static_cast<TuiContainerBorderStyle>(vi.EditBorderStyle)) <
                              GetContainerBorderWidth(static_cast<TuiContainerBorderStyle>(previous));
    if (!narrower) break;
  }
  vi.BorderStyle = static_cast<TuiContainerBorderStyle>(vi.EditBorderStyle);
  vi.BorderWidth = GetContainerBorderWidth(vi.BorderStyle);
  vi.EditProperties = Properties;
  ButtonsStretch = IsInplace ? (ABounds.right != MaxIntValue && Properties->ButtonsViewStyle() != 0)
                             : Properties->ButtonsViewStyle() == 1;
  Bounds = ABounds;
  vi.Bounds = ABounds;
  vi.Enabled = Enabled;
  vi.Focused = Focused;
  vi.HasBackground = Edit != nullptr && Edit->ErasesBackground();
  vi.HasInnerControl = Edit != nullptr && Edit->InnerEdit() != nullptr;
  vi.IsBoundPaintCopy = Edit != nullptr && Edit->IsBoundPaintCopy();
  vi.ImplementsInnerControl = false;
  vi.IsDesigning = IsDesigning;
  vi.IsInplace = IsInplace;
  vi.Edges = style_->Edges();
  vi.Font = style_->DirectAccessMode() ? style_->Font() : style_->GetVisibleFont();
  vi.Shadow = !IsInplace && HasShadow();
  vi.Flags = static_cast<Byte>((EmptyRect(State.StoredRect) ? 0 : 4) | (State.Flag != 0 ? 16 : 0));
  vi.LookAndFeelKind = style_->LookAndFeel()->Kind();
  vi.NativeStyle = NativeStyleUsed;
  if (!NativeStyleUsed)
    vi.NativeState = 0;
  else if (!Enabled)
    vi.NativeState = 4;
  else if (Properties->ReadOnly())
    vi.NativeState = 6;
  else if (Focused)
    vi.NativeState = 5;
  else if (vi.ContainerState & vsHot)
    vi.NativeState = 2;
  else
    vi.NativeState = 1;
  TRect extent;
  GetBorderExtent(extent);
  vi.BorderRect = Shrunk(ABounds, extent);
  vi.BorderRectCopy = vi.BorderRect;
  vi.HasStoredExtent = !EmptyRect(StoredExtent) || StoredExtent.left != 0 || StoredExtent.top != 0;
  if (!IsInplace) vi.BorderColor = GetBorderColor();
  vi.TextColor = style_->TextColor();
  vi.SetBackgroundColor(style_->Color());
  CalculateButtonsViewInfo(ACanvas, ABounds, AViewInfo, AButton, shift, P, AIsMouseEvent);
  TRect clientExtent;
  CalculateClientRect(ACanvas, AViewInfo, clientExtent);
  vi.ClientRect = Shrunk(ABounds, clientExtent);
  if (Edit != nullptr && Edit->InnerEdit() != nullptr && Edit->InnerEdit()->GetControl() != nullptr) {
    TWinControl* inner = Edit->InnerEdit()->GetControl();
    vi.InnerEditRect = TRect{inner->Left(), inner->Top(), inner->Left() + inner->Width(), inner->Top() + inner->Height()};
  } else {
    vi.InnerEditRect = vi.ClientRect;
  }
  TuiEditPopupBorderStyle popup = style_->PopupBorderStyle();
  if (popup == epbsDefault) {
    if (IsInplace) {
      static const TuiEditPopupBorderStyle byKind[] = {epbsFlat, epbsFrame3D, epbsSingle, epbsSingle};
      popup = byKind[vi.LookAndFeelKind];
    } else {
      static const TuiEditPopupBorderStyle byBorder[] = {epbsFlat, epbsSingle, epbsSingle, epbsFlat,
                                                         epbsSingle, epbsSingle, epbsSingle};
      popup = byBorder[vi.EditBorderStyle];
    }
  }
  vi.PopupBorderStyle = popup;
}

void TuiCustomEditViewData::CalculateButtonsViewInfo(TuiCanvas* ACanvas, const TRect& ABounds,
                                                     TuiCustomEditViewInfo* AViewInfo, Byte AButton, TShiftState AShift,
                                                     const TPoint& P, bool AIsMouseEvent) {
  TuiCustomEditViewInfo& vi = *AViewInfo;
  const TuiEditButtonTransparency transparency = style_->ButtonTransparency();
  const bool focused = IsEditFocused();
  if (ButtonVisibleCount == 0 || (!focused && transparency == ebtHideInactive) ||
      (!Selected && transparency == ebtHideUnselected)) {
    vi.SetButtonCount(0);
    vi.PressedButton = vi.HotButton = -1;
    return;
  }
  vi.SetButtonCount(ButtonVisibleCount);
  vi.MouseOnButton = false;
  const Integer previousPressed = AIsMouseEvent ? vi.PressedButton : -1;
  vi.PressedButton = vi.HotButton = -1;
  LeftSideLeftmostButtonIndex = LeftSideRightmostButtonIndex = -1;
  RightSideLeftmostButtonIndex = RightSideRightmostButtonIndex = -1;
  TuiEditButtonStyle buttonStyle = style_->ButtonStyle();
  if (buttonStyle == btsDefault) {
    if (IsInplace) {
      static const TuiEditButtonStyle byKind[] = {btsFlat, bts3D, btsUltraFlat, btsOffice11};
      buttonStyle = byKind[vi.LookAndFeelKind];
    } else {
      static const TuiEditButtonStyle byBorder[] = {btsSimple, btsHotFlat, bts3D, btsFlat, bts3D, btsUltraFlat, btsOffice11};
      buttonStyle = byBorder[style_->EditBorderStyle()];
    }
  }
  TRect extent;
  GetClientExtent(ACanvas, extent);
  TRect R = Shrunk(ABounds, extent);
  const Integer fullWidth = R.right - R.left;
  TuiEditButtons* buttons = Properties->Buttons();
  Integer viewIndex = ButtonVisibleCount - 1;
  bool fontPrepared = false;
  for (Integer i = buttons->Count() - 1; i >= 0; --i) {
    TuiEditButton* button = buttons->Items(i);
    if (!button->Visible()) continue;
    if (button->Kind() == bkText && !fontPrepared) {
      ACanvas->SetCanvasFont(style_->GetVisibleFont());
      vi.PrepareCanvasFont(ACanvas->Canvas());
      fontPrepared = true;
      vi.HasTextButton = true;
    }
    TuiEditButtonViewInfo* bvi = vi.Buttons[static_cast<size_t>(viewIndex)];
    bvi->ButtonIndex = i;
    bvi->Data.Style = buttonStyle;
    CalculateButtonViewInfo(ACanvas, AViewInfo, R, viewIndex);
    --viewIndex;
  }
  // Spare width.
  const Integer spare = R.right - R.left;
  if (ButtonsStretch && spare > 0) {
    Integer sum = 0, count = 0;
    for (TuiEditButtonViewInfo* b : vi.Buttons)
      if (b->Stretchable) {
        sum += b->Bounds.right - b->Bounds.left;
        ++count;
      }
    const bool all = count == 0;
    if (all) sum = fullWidth - spare;
    Integer left = spare;
    Integer lastIndex = -1;
    for (Integer i = vi.ButtonCount() - 1; i >= 0; --i)
      if (all || vi.Buttons[static_cast<size_t>(i)]->Stretchable) lastIndex = i;
    for (Integer i = vi.ButtonCount() - 1; i >= 0; --i) {
      TuiEditButtonViewInfo* b = vi.Buttons[static_cast<size_t>(i)];
      if (!all && !b->Stretchable) continue;
      const Integer width = b->Bounds.right - b->Bounds.left;
      const Integer grow = i == lastIndex ? left : (sum > 0 ? spare * width / sum : 0);
      left -= grow;
      if (b->Data.LeftAlignment) {
        b->Bounds.right += grow;
        b->VisibleBounds.right += grow;
        for (Integer j = 0; j < i; ++j) {
          TuiEditButtonViewInfo* o = vi.Buttons[static_cast<size_t>(j)];
          if (!o->Data.LeftAlignment) continue;
          OffsetRect(&o->Bounds, grow, 0);
          OffsetRect(&o->VisibleBounds, grow, 0);
        }
      } else {
        b->Bounds.left -= grow;
        b->VisibleBounds.left -= grow;
        for (Integer j = 0; j < i; ++j) {
          TuiEditButtonViewInfo* o = vi.Buttons[static_cast<size_t>(j)];
          if (o->Data.LeftAlignment) continue;
          OffsetRect(&o->Bounds, -grow, 0);
          OffsetRect(&o->VisibleBounds, -grow, 0);
        }
      }
    }
  }
  // States.
  const Integer captured = GetCapturedButtonIndex();
  const bool exactlyLeft = AShift.Contains(ssLeft) && !AShift.Contains(ssRight) && !AShift.Contains(ssMiddle);
  const bool anyButton = AShift.Contains(ssLeft) || AShift.Contains(ssRight) || AShift.Contains(ssMiddle);
  for (Integer i = 0; i < vi.ButtonCount(); ++i) {
    TuiEditButtonViewInfo* b = vi.Buttons[static_cast<size_t>(i)];
    const TuiEditButton* button = buttons->Items(b->ButtonIndex);
    const Byte before = b->Data.State;
    const bool wasPressed = i == previousPressed;
    Byte state = ebsNormalState;
    if (!Enabled || !button->Enabled()) {
      state = ebsDisabledState;
    } else {
      const bool byEditor = IsButtonPressedByEditor(AViewInfo, i);
      if (byEditor || (!IsDesigning && PtInRect(&b->VisibleBounds, P))) {
        const bool captureCase = AButton == 0 && AShift.Contains(ssLeft) && before == ebsNormalState && i == captured;
        if (byEditor || (AButton == 1 && exactlyLeft) || (wasPressed && AShift.Contains(ssLeft)) || captureCase)
          vi.MouseOnButton = true;
        if (!anyButton && !captureCase && !byEditor) {
          state = ebsHotState;
          vi.HotButton = i;
        } else if (byEditor || (captureCase && CanPressButton(AViewInfo, i)) ||
                   (exactlyLeft && ((AButton == 1 && CanPressButton(AViewInfo, i)) || wasPressed)) ||
                   (wasPressed && AShift.Contains(ssLeft))) {
          state = ebsPressedState;
          vi.PressedButton = i;
        }
      }
    }
    if (vi.OnButtonState.Assigned()) vi.OnButtonState(AViewInfo, i, state);
    b->Data.State = state;
    CalculateButtonNativeInfo(b);
  }
  // Edge flags.
  auto flag = [&](Integer AIndex, bool TuiEditButtonViewInfoData::*AField) {
    if (AIndex >= 0) vi.Buttons[static_cast<size_t>(AIndex)]->Data.*AField = true;
  };
  flag(LeftSideLeftmostButtonIndex, &TuiEditButtonViewInfoData::Leftmost);
  if (!(ButtonsStretch && RightSideLeftmostButtonIndex >= 0))
    flag(LeftSideRightmostButtonIndex, &TuiEditButtonViewInfoData::Rightmost);
  if (!(ButtonsStretch && LeftSideLeftmostButtonIndex >= 0))
    flag(RightSideLeftmostButtonIndex, &TuiEditButtonViewInfoData::Leftmost);
  flag(RightSideRightmostButtonIndex, &TuiEditButtonViewInfoData::Rightmost);
  if (ButtonsStretch)
    for (TuiEditButtonViewInfo* b : vi.Buttons) b->Data.LeftAlignment = false;
}

void TuiCustomEditViewData::CalculateButtonViewInfo(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R,
                                                    Integer AIndex) {
  TuiCustomEditViewInfo& vi = *AViewInfo;
  TuiEditButtonViewInfo* b = vi.Buttons[static_cast<size_t>(AIndex)];
  TuiEditButton* button = Properties->Buttons()->Items(b->ButtonIndex);
  b->Data.ComboBoxStyle = Properties->Buttons()->Count() == 1 && button->Kind() == bkDown;
  b->Data.Kind = button->Kind();
  if (button->Kind() == bkText) {
    b->Data.Caption = button->Caption();
    b->Data.TextColor = button->TextColor();
    b->Data.VisibleCaption = button->VisibleCaption();
  }
  b->Data.Default = button->Default();
  b->Glyph = button->GlyphIfAny();
  b->HasBackground = vi.HasBackground;
  b->Data.Gradient = style_->GradientButtons();
  b->Data.IsInplace = IsInplace;
  b->Data.LeftAlignment = button->LeftAlignment();
  b->Data.Leftmost = b->Data.Rightmost = false;
  b->Data.NativeStyle = vi.NativeStyle;
  b->Stretchable = button->Stretchable();
  b->Width = button->Width();
  if (b->Width == 0 && OnGetDefaultButtonWidth.Assigned()) OnGetDefaultButtonWidth(this, b->ButtonIndex, b->Width);
  const TuiEditButtonTransparency transparency = style_->ButtonTransparency();
  b->Data.Transparent = transparency == ebtAlways || (transparency == ebtInactive && !Selected);
  b->Data.BackgroundColor = vi.BackgroundColor;
  CalculateButtonBounds(ACanvas, AViewInfo, R, AIndex);
}

void TuiCustomEditViewData::CalculateButtonBounds(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo, TRect& R,
                                                  Integer AIndex) {
  TuiEditButtonViewInfo* b = AViewInfo->Buttons[static_cast<size_t>(AIndex)];
  if (EmptyRect(R)) {
    b->Bounds = b->VisibleBounds = TRect{};
    return;
  }
  const Integer width = CalculateEditButtonWidth(ACanvas, b);
  const Integer visible = std::min<Integer>(width, R.right - R.left);
  if (b->Data.LeftAlignment) {
    b->Bounds = TRect{R.left, R.top, R.left + width, R.bottom};
    b->VisibleBounds = TRect{R.left, R.top, R.left + visible, R.bottom};
    R.left += visible;
    if (LeftSideLeftmostButtonIndex < 0) LeftSideLeftmostButtonIndex = AIndex;
    LeftSideRightmostButtonIndex = AIndex;
  } else {
    b->Bounds = TRect{R.right - width, R.top, R.right, R.bottom};
    b->VisibleBounds = TRect{R.right - visible, R.top, R.right, R.bottom};
    R.right -= visible;
    if (RightSideRightmostButtonIndex < 0) RightSideRightmostButtonIndex = AIndex;
    RightSideLeftmostButtonIndex = AIndex;
  }
}

void TuiCustomEditViewData::CalculateButtonNativeInfo(TuiEditButtonViewInfo* AButtonViewInfo) {
  CalculateEditButtonNativeInfo(AButtonViewInfo);
}

void TuiCustomEditViewData::GetContentOffsetsExtent(TSize& ASize) {
  ASize.cx = State.ContentOffsets.left + State.ContentOffsets.right + State.ExtraContentWidth;
  ASize.cy = State.ContentOffsets.top + State.ContentOffsets.bottom + State.ExtraContentHeight;
}

void TuiCustomEditViewData::GetEditSize(TuiCanvas* ACanvas, const Variant& AEditValue,
                                        const TSize& AEditSizeProperties, TSize& ASize) {
  TSize constant{}, minContent{};
  GetEditConstantPartSize(ACanvas, AEditSizeProperties, minContent, constant);
  TSize properties = AEditSizeProperties;
  bool tooNarrow = false;
  if (properties.cx >= 0) {
    properties.cx -= constant.cx;
    if (properties.cx <= 0) tooNarrow = true;
  }
  TSize value{};
  GetEditValueSize(ACanvas, AEditValue, properties, value);
  value.cx = std::max(value.cx, minContent.cx);
  value.cy = std::max(value.cy, minContent.cy);
  ASize.cx = tooNarrow ? AEditSizeProperties.cx : constant.cx + value.cx;
  ASize.cy = constant.cy + value.cy;
  if (!IsInplace && Edit != nullptr) {
    TSizeConstraints* c = Edit->Constraints();
    if (c->MaxHeight() > 0) ASize.cy = std::min<Integer>(ASize.cy, c->MaxHeight());
    if (c->MinHeight() > 0) ASize.cy = std::max<Integer>(ASize.cy, c->MinHeight());
    if (c->MaxWidth() > 0) ASize.cx = std::min<Integer>(ASize.cx, c->MaxWidth());
    if (c->MinWidth() > 0) ASize.cx = std::max<Integer>(ASize.cx, c->MinWidth());
  }
}

void TuiCustomEditViewData::GetEditConstantPartSize(TuiCanvas* ACanvas, const TSize&, TSize& AMinContentSize,
                                                    TSize& AConstantPartSize, TuiCustomEditViewInfo* AViewInfo) {
  std::unique_ptr<TuiCustomEditViewInfo, TObjectDeleter> temporary;
  if (AViewInfo == nullptr) {
    temporary.reset(Properties->CreateViewInfo());
    AViewInfo = temporary.get();
    Calculate(ACanvas, TRect{0, 0, MaxIntValue, MaxIntValue}, TPoint{-1, -1}, 0, TShiftState{}, AViewInfo, false);
  }
  GetButtonsSizeCorrection(ACanvas, AViewInfo, AConstantPartSize, AMinContentSize);
}

void TuiCustomEditViewData::GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo,
                                                     TSize& AConstantPartSize, TSize& AMinContentSize) {
  const TRect& b = AViewInfo->Bounds;
  const TRect& c = AViewInfo->ClientRect;
  AConstantPartSize = TSize{(b.right - b.left) - (c.right - c.left), (b.bottom - b.top) - (c.bottom - c.top)};
  AMinContentSize = TSize{0, 0};
  Integer height = 0;
  for (TuiEditButtonViewInfo* button : AViewInfo->Buttons) {
    if (button->Data.Kind == bkGlyph && IsBitmapUsable(button->Glyph)) height = std::max<Integer>(height, button->Glyph->Height());
    if (IsInplace && button->Data.Kind == bkText) {
      ACanvas->SetCanvasFont(style_->GetVisibleFont());
      height = std::max<Integer>(height, ACanvas->MeasureTextHeight(button->Data.VisibleCaption));
    }
  }
  if (height > 0) {
    TRect extent;
    GetClientExtent(ACanvas, extent);
    AMinContentSize.cy =
        std::max<Integer>(0, height + extent.top + extent.bottom + GetEditButtonBorderHeight(ACanvas, AViewInfo) - AConstantPartSize.cy);
  }
}

void TuiCustomEditViewData::GetEditValueSize(TuiCanvas* ACanvas, const Variant& AEditValue,
                                             const TSize& AEditSizeProperties, TSize& ASize) {
  if (Properties->ButtonsViewStyle() != 0) {
    TSize offsets;
    GetContentOffsetsExtent(offsets);
    ACanvas->SetCanvasFont(style_->GetVisibleFont());
    ASize = TSize{0, offsets.cy + ACanvas->MeasureTextHeight("Zg")};
    return;
  }
  GetEditContentSize(ACanvas, AEditValue, AEditSizeProperties, ASize);
}

void TuiCustomEditViewData::GetDisplayTextForValue(const Variant& AEditValue, String& AText) {
  EditValueToDisplayText(AEditValue, AText);
  if (OnGetDisplayText.Assigned()) OnGetDisplayText(this, AText);
}
