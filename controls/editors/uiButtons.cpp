// The owner-drawn push button: colours, the glyph cache and glyph images, glyph and caption layout,
// painting, hot tracking and the drop-down kinds.
#include "controls/editors/uiButtons.h"

#include <algorithm>

#include "controls/editors/uiCheckBox.h"
#include "controls/foundation/uiEditUtils.h"
#include "controls/foundation/uxThemeManager.h"
#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/forms/StdCtrlsPublish.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/builtin/ImageList.h"

namespace {
TuiGlyphCache* glyphCache = nullptr;
Integer glyphCount = 0;

TuiGlyphState GlyphStateOf(TuiButtonState AState) {
  switch (AState) {
    case uibsPressed: return gsDown;
    case uibsDisabled: return gsDisabled;
    default: return gsUp;
  }
}
}  // namespace

TuiGlyphCache* GlyphCache() { return glyphCache; }

// ---- Colours --------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiButtonColors) {
  using S = TuiButtonColors;
  b.Prop("AssignedColors", &S::AssignedColors, &S::SetAssignedColors).Stored(false);
  b.Prop("Default", &S::Default, &S::SetDefault).Type(TColorTypeInfo()).Stored(&S::IsDefaultStored);
  b.Prop("Normal", &S::Normal, &S::SetNormal).Type(TColorTypeInfo()).Stored(&S::IsNormalStored);
  b.Prop("Hot", &S::Hot, &S::SetHot).Type(TColorTypeInfo()).Stored(&S::IsHotStored);
  b.Prop("Pressed", &S::Pressed, &S::SetPressed).Type(TColorTypeInfo()).Stored(&S::IsPressedStored);
  b.Prop("Disabled", &S::Disabled, &S::SetDisabled).Type(TColorTypeInfo()).Stored(&S::IsDisabledStored);
}

void TuiButtonColors::Changed() {
  if (button_ != nullptr) button_->Invalidate();
}

void TuiButtonColors::SetColors(TuiButtonColorIndex AIndex, TColor Value) {
  if (Value == clNone || Value == clDefault) {
    colors_[AIndex] = clDefault;
    assigned_.Exclude(AIndex);
  } else {
    if (colors_[AIndex] == Value && assigned_.Contains(AIndex)) return;
    colors_[AIndex] = Value;
    assigned_.Include(AIndex);
  }
  Changed();
}

void TuiButtonColors::SetAssignedColors(TuiButtonAssignedColors Value) {
  if (button_ == nullptr || !button_->ComponentState().Contains(csDesigning) || Value == assigned_) return;
  for (TuiButtonColorIndex i : {bciDefault, bciNormal, bciHot, bciPressed, bciDisabled}) {
    if (!Value.Contains(i)) colors_[i] = clDefault;
    if (Value.Contains(i) && colors_[i] == clDefault) Value.Exclude(i);
  }
  assigned_ = Value;
  Changed();
}

void TuiButtonColors::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiButtonColors*>(Source);
  if (source == nullptr) return TPersistent::Assign(Source);
  std::copy(std::begin(source->colors_), std::end(source->colors_), colors_);
  assigned_ = source->assigned_;
  Changed();
}

// ---- Glyph lists and cache ------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiGlyphList) {}

Integer TuiGlyphList::AddMaskedGlyph(TBitmap* AImage, TColor AMaskColor) {
  auto free = std::find(used_.begin(), used_.end(), false);
  Integer index;
  if (free == used_.end()) {
    index = AddMasked(AImage, AMaskColor);
    used_.resize(static_cast<size_t>(Count()), false);
  } else {
    index = static_cast<Integer>(free - used_.begin());
    ReplaceMasked(index, AImage, AMaskColor);
  }
  used_[static_cast<size_t>(index)] = true;
  ++usedCount_;
  return index;
}

void TuiGlyphList::ReleaseSlot(Integer AIndex) {
  if (AIndex < 0 || AIndex >= static_cast<Integer>(used_.size()) || !used_[static_cast<size_t>(AIndex)]) return;
  used_[static_cast<size_t>(AIndex)] = false;
  --usedCount_;
}

K58_IMPLEMENT_CLASS(TuiGlyphCache) {}

TuiGlyphCache::~TuiGlyphCache() {
  for (TuiGlyphList* list : lists_) FreeObject(list);
}

TuiGlyphList* TuiGlyphCache::GetList(Integer AWidth, Integer AHeight) {
  for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
    if ((*it)->Width() == AWidth && (*it)->Height() == AHeight) return *it;
  auto* list = new TuiGlyphList(AWidth, AHeight);
  lists_.push_back(list);
  return list;
}

void TuiGlyphCache::ReturnList(TuiGlyphList* AList) {
  if (AList == nullptr || AList->UsedCount() != 0) return;
  auto it = std::find(lists_.begin(), lists_.end(), AList);
  if (it == lists_.end()) return;
  lists_.erase(it);
  FreeObject(AList);
}

// ---- Button glyph ---------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiButtonGlyph) {}

TuiButtonGlyph::TuiButtonGlyph() {
  if (glyphCount++ == 0 && glyphCache == nullptr) glyphCache = new TuiGlyphCache;
  original_.reset(new TBitmap);
  original_->SetOnChange([this](TObject* Sender) { GlyphChanged(Sender); });
}

TuiButtonGlyph::~TuiButtonGlyph() {
  Invalidate();
  original_.reset();
  if (--glyphCount == 0 && glyphCache != nullptr && glyphCache->ListCount() == 0) {
    delete glyphCache;
    glyphCache = nullptr;
  }
}

void TuiButtonGlyph::Invalidate() {
  for (Integer& index : indexes_) {
    if (index != -1 && glyphList_ != nullptr) glyphList_->ReleaseSlot(index);
    index = -1;
  }
  if (glyphList_ != nullptr && glyphCache != nullptr) glyphCache->ReturnList(glyphList_);
  glyphList_ = nullptr;
}

void TuiButtonGlyph::GlyphChanged(TObject*) {
  Invalidate();
  onChange_(this);
}

void TuiButtonGlyph::SetGlyph(TBitmap* Value) {
  Invalidate();
  if (Value == nullptr) {
    original_->SetSize(0, 0);
  } else {
    original_->Assign(Value);
    const Integer h = Value->Height(), w = Value->Width();
    if (h > 0 && w % h == 0) {
      const Integer n = w / h;
      numGlyphs_ = n > 4 ? 1 : n;
    }
  }
  GlyphChanged(nullptr);
}

void TuiButtonGlyph::SetNumGlyphs(Integer Value) {
  if (Value == 0 || Value == numGlyphs_) return;
  Invalidate();
  numGlyphs_ = Value;
  GlyphChanged(nullptr);
}

Integer TuiButtonGlyph::CreateButtonGlyph(TuiButtonState AState) {
  TuiGlyphState state = GlyphStateOf(AState);
  if (state == gsDown && numGlyphs_ < 3) state = gsUp;
  if (indexes_[state] != -1) return indexes_[state];
  if (!HasGlyph()) return -1;
  const Integer w = original_->Width() / numGlyphs_, h = original_->Height();
  if (w <= 0 || h <= 0 || glyphCache == nullptr) return -1;
  if (glyphList_ == nullptr) glyphList_ = glyphCache->GetList(w, h);
  TObjectPtr<TBitmap> work(new TBitmap);
  work->SetSize(w, h);
  TCanvas* canvas = work->Canvas();
  canvas->Brush()->SetColor(clBtnFace);
  canvas->FillRect(TRect{0, 0, w, h});
  const TColor transparent = original_->TransparentColor();
  TColor mask = clDefault;
  if (state == gsDisabled && numGlyphs_ == 1) {
    // Embossed: the glyph's shape in the highlight one pixel down and right, then in the shadow.
    TCanvas* source = original_->Canvas();
    const TColor face = clBtnFace;
    for (Integer pass = 0; pass < 2; ++pass) {
      const Integer d = pass == 0 ? 1 : 0;
      const TColor color = pass == 0 ? clBtnHighlight : clBtnShadow;
      for (Integer y = 0; y < h; ++y)
        for (Integer x = 0; x < w; ++x) {
          const TColor pixel = source->Pixels(x, y);
          const COLORREF rgb = ColorToRGB(pixel);
          const bool light = GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb) > 3 * 192;
          if (pixel != transparent && !light && x + d < w && y + d < h) canvas->SetPixels(x + d, y + d, color);
        }
    }
    (void)face;
  } else if (state == gsDisabled) {
    TCanvas* source = original_->Canvas();
    for (Integer y = 0; y < h; ++y)
      for (Integer x = 0; x < w; ++x) {
        TColor pixel = source->Pixels(w + x, y);
        if (ColorToRGB(pixel) == 0xFFFFFF)
          pixel = clBtnHighlight;
        else if (ColorToRGB(pixel) == 0x808080)
          pixel = clBtnShadow;
        else if (pixel == transparent)
          pixel = clBtnFace;
        canvas->SetPixels(x, y, pixel);
      }
  } else {
    Integer cell = static_cast<Integer>(state);
    if (cell >= numGlyphs_) cell = 0;
    canvas->CopyRect(TRect{0, 0, w, h}, original_->Canvas(), TRect{cell * w, 0, cell * w + w, h});
    mask = original_->TransparentMode() == tmFixed ? transparent : clDefault;
  }
  indexes_[state] = glyphList_->AddMaskedGlyph(work.get(), mask);
  return indexes_[state];
}

void TuiButtonGlyph::GetTextOffsets(TButtonLayout, TRect& R) {
  if (HasGlyph()) return;
  R.left += 1;
  R.right -= 2;
}

void PlaceGlyphAndText(const TSize& S, const TSize& G, const TSize& T, TButtonLayout ALayout, Integer AMargin,
                       Integer ASpacing, TPoint& AGlyphPos, TPoint& ATextPos) {
  const bool vertical = ALayout == blGlyphTop || ALayout == blGlyphBottom;
  if (vertical) {
    AGlyphPos.x = (S.cx - G.cx) / 2;
    ATextPos.x = (S.cx - T.cx) / 2;
  } else {
    AGlyphPos.y = (S.cy - G.cy) / 2;
    ATextPos.y = (S.cy - T.cy - 1) / 2;
  }
  if (T.cx == 0 || G.cx == 0) ASpacing = 0;
  const Integer space = vertical ? S.cy : S.cx;
  const Integer glyph = vertical ? G.cy : G.cx;
  const Integer text = vertical ? T.cy : T.cx;
  if (AMargin == -1 && ASpacing == -1) {
    AMargin = (space - glyph - text) / 3;
    ASpacing = AMargin;
  } else if (AMargin == -1) {
    AMargin = (space - (glyph + ASpacing + text)) / 2;
  } else if (ASpacing == -1) {
    ASpacing = (space - AMargin - glyph - text) / 2;
  }
  switch (ALayout) {
    case blGlyphLeft:
      AGlyphPos.x = AMargin;
      ATextPos.x = AMargin + G.cx + ASpacing;
      break;
    case blGlyphRight:
      ATextPos.x = AMargin;
      AGlyphPos.x = AMargin + T.cx + ASpacing;
      break;
    case blGlyphTop:
      AGlyphPos.y = AMargin;
      ATextPos.y = AMargin + G.cy + ASpacing;
      break;
    case blGlyphBottom:
      ATextPos.y = AMargin;
      AGlyphPos.y = AMargin + T.cy + ASpacing;
      break;
  }
}

void TuiButtonGlyph::CalcButtonLayout(TuiCanvas* ACanvas, const TRect& AClient, const TPoint& AOffset,
                                      const String& ACaption, TButtonLayout ALayout, Integer AMargin,
                                      Integer ASpacing, TPoint& AGlyphPos, TRect& ATextBounds, UINT ABiDiFlags,
                                      bool AWordWrap) {
  if (ABiDiFlags & DT_RIGHT) {
    if (ALayout == blGlyphLeft)
      ALayout = blGlyphRight;
    else if (ALayout == blGlyphRight)
      ALayout = blGlyphLeft;
  }
  const bool wrap = AWordWrap && !HasGlyph();
  TSize textSize{0, 0};
  if (!ACaption.empty()) {
    // Measured inside the text offsets; the offsets count in the text's size.
    TRect r{0, 0, AClient.right - AClient.left, 0};
    GetTextOffsets(ALayout, r);
    const Integer extra = r.left + (AClient.right - AClient.left - r.right);
    DrawTextA(ACanvas->GetDCHandle(), ACaption.c_str(), -1, &r, DT_CALCRECT | ABiDiFlags | (wrap ? DT_WORDBREAK : 0));
    textSize = TSize{r.right - r.left + extra, r.bottom - r.top};
  }
  const TSize glyphSize = HasGlyph() ? TSize{original_->Width() / numGlyphs_, original_->Height()} : TSize{0, 0};
  const TSize client{AClient.right - AClient.left, AClient.bottom - AClient.top};
  TPoint glyphPos{}, textPos{};
  PlaceGlyphAndText(client, glyphSize, textSize, ALayout, AMargin, ASpacing, glyphPos, textPos);
  AGlyphPos = TPoint{glyphPos.x + AClient.left + AOffset.x, glyphPos.y + AClient.top + AOffset.y};
  ATextBounds = TRect{textPos.x + AClient.left + AOffset.x, textPos.y + AClient.top + AOffset.y,
                      textPos.x + AClient.left + AOffset.x + textSize.cx,
                      textPos.y + AClient.top + AOffset.y + textSize.cy};
}

TRect TuiButtonGlyph::Draw(TuiCanvas* ACanvas, const TRect& AClient, const TPoint& AOffset, const String& ACaption,
                           TButtonLayout ALayout, Integer AMargin, Integer ASpacing, TuiButtonState AState,
                           UINT ABiDiFlags, bool AWordWrap) {
  TPoint glyphPos{};
  TRect text{};
  CalcButtonLayout(ACanvas, AClient, AOffset, ACaption, ALayout, AMargin, ASpacing, glyphPos, text, ABiDiFlags,
                   AWordWrap);
  const Integer index = CreateButtonGlyph(AState);
  HDC dc = ACanvas->GetDCHandle();
  if (index >= 0 && glyphList_ != nullptr) glyphList_->Draw(ACanvas->Canvas(), glyphPos.x, glyphPos.y, index, true);
  if (!ACaption.empty()) {
    SetBkMode(dc, TRANSPARENT);
    const UINT flags = ABiDiFlags | DT_CENTER | DT_VCENTER | (AWordWrap && !HasGlyph() ? DT_WORDBREAK : 0);
    const COLORREF textColor = GetTextColor(dc);
    if (AState == uibsDisabled) {
      TRect shadow = text;
      OffsetRect(&shadow, 1, 1);
      SetTextColor(dc, ColorToRGB(clBtnHighlight));
      DrawTextA(dc, ACaption.c_str(), -1, &shadow, flags);
      SetTextColor(dc, textColor);
    }
    DrawTextA(dc, ACaption.c_str(), -1, &text, flags);
  }
  return text;
}

TuiLookAndFeelPainterClass GetButtonPainterClass(TuiLookAndFeel* ALookAndFeel) {
  TuiLookAndFeelPainterClass painter = ALookAndFeel->GetPainterClass();
  if (painter->GetLookAndFeelStyle() == lfsOffice11)
    return IsThemedObjectUsable(totButton) ? PainterClass<TuiWinXPLookAndFeelPainter>()
                                           : PainterClass<TuiStandardLookAndFeelPainter>();
  return painter;
}

// ---- Button ---------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomButton) {}

K58_IMPLEMENT_CLASS(TuiButton) {
  using S = TuiButton;
  b.Prop("Colors", &S::Colors, &S::SetColors).Stored(&S::IsColorsStored);
  b.Prop("DropDownMenu", &S::DropDownMenu, &S::SetDropDownMenu);
  b.Prop("Glyph", &S::Glyph, &S::SetGlyph).Stored(&S::IsGlyphStored);
  b.Prop("Kind", &S::Kind, &S::SetKind).Default(uibkStandard);
  b.Prop("Layout", &S::Layout, &S::SetLayout).Default(blGlyphLeft);
  b.Prop("LookAndFeel", &S::LookAndFeel, &S::SetLookAndFeel);
  b.Prop("Margin", &S::Margin, &S::SetMargin).Default(-1);
  b.Prop("NumGlyphs", &S::NumGlyphs, &S::SetNumGlyphs).Default(1);
  b.Prop("PopupAlignment", &S::PopupAlignment, &S::SetPopupAlignment).Default(paLeft);
  b.Prop("Spacing", &S::Spacing, &S::SetSpacing).Default(4);
  b.Prop("UseSystemPaint", &S::UseSystemPaint, &S::SetUseSystemPaint).Default(false);
  b.Prop("OnDropDownMenuPopup", &S::OnDropDownMenuPopup, &S::SetOnDropDownMenuPopup);
  b.Prop("OnGetDrawParams", &S::OnGetDrawParams, &S::SetOnGetDrawParams);
}

TuiCustomButton::TuiCustomButton(TComponent* AOwner) : TButton(AOwner) {
  colors_.reset(new TuiButtonColors(this));
  lookAndFeel_.reset(new TuiLookAndFeel(this));
  lookAndFeel_->SetOnChanged([this](TuiLookAndFeel*, TuiLookAndFeelValues) {
    if (HandleAllocated()) RecreateWnd();
  });
  glyph_.reset(new TuiButtonGlyph);
  glyph_->SetOnChange([this](TObject*) { Invalidate(); });
  SetDoubleBuffered(true);
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  style.Include(csReflector);
  SetControlStyle(style);
}

TuiCustomButton::~TuiCustomButton() {
  destroying_ = true;
  StopMouseLeaveTracking(this);
  if (dropDownMenu_ != nullptr) dropDownMenu_->RemoveFreeNotification(this);
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  lookAndFeel_.reset();
  colors_.reset();
  DestroyHandle();
  glyph_.reset();
}

void TuiCustomButton::Notification(TComponent* AComponent, TOperation Operation) {
  TButton::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == dropDownMenu_) dropDownMenu_ = nullptr;
  if (AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TuiCustomButton::SetDropDownMenu(TPopupMenu* Value) {
  if (dropDownMenu_ == Value) return;
  if (dropDownMenu_ != nullptr) dropDownMenu_->RemoveFreeNotification(this);
  dropDownMenu_ = Value;
  if (dropDownMenu_ != nullptr) dropDownMenu_->FreeNotification(this);
}

void TuiCustomButton::SetPopupMenuComponent(TComponent* Value) {
  if (Value != nullptr && dynamic_cast<TPopupMenu*>(Value) == nullptr && dynamic_cast<IuiPopupMenu*>(Value) == nullptr)
    Value = nullptr;
  if (Value == popupMenu_) return;
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (popupMenu_ != nullptr) popupMenu_->FreeNotification(this);
}

void TuiCustomButton::SetGlyph(TBitmap* Value) {
  glyph_->SetGlyph(Value);
  Invalidate();
}

void TuiCustomButton::SetNumGlyphs(Integer Value) {
  Value = std::min<Integer>(Value, 4);
  if (Value == glyph_->NumGlyphs()) return;
  glyph_->SetNumGlyphs(Value);
  Invalidate();
}

void TuiCustomButton::SetKind(TuiButtonKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TuiCustomButton::SetLayout(TButtonLayout Value) {
  if (layout_ == Value) return;
  layout_ = Value;
  Invalidate();
}

void TuiCustomButton::SetMargin(Integer Value) {
  if (Value < -1 || Value == margin_) return;
  margin_ = Value;
  Invalidate();
}

void TuiCustomButton::SetSpacing(Integer Value) {
  if (spacing_ == Value) return;
  spacing_ = Value;
  Invalidate();
}

bool TuiCustomButton::DoDropDownMenuPopup(TPopupMenu*& APopupMenu) {
  bool handled = false;
  if (onDropDownMenuPopup_.Assigned()) onDropDownMenuPopup_(this, APopupMenu, handled);
  return handled;
}

bool TuiCustomButton::DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) { return ShowPopupMenu(this, AMenu, X, Y); }

TuiLookAndFeelPainterClass TuiCustomButton::GetPainterClass() { return GetButtonPainterClass(lookAndFeel_.get()); }

bool TuiCustomButton::IsHotTrack() { return !IsSystemPainted() && GetPainterClass()->HasHotTrackedButtons() && Enabled(); }

void TuiCustomButton::SetButtonStyle(bool ADefault) {
  // Not the plain button's style change: that would take the owner drawing away.
  if (defaultActive_ == ADefault) return;
  defaultActive_ = ADefault;
  Invalidate();
}

void TuiCustomButton::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  Params.Style = (Params.Style & ~0xFu) | BS_OWNERDRAW;
}

void TuiCustomButton::CreateWnd() {
  TButton::CreateWnd();
  glyph_->CreateButtonGlyph(Enabled() ? uibsNormal : uibsDisabled);
}

void TuiCustomButton::DestroyWnd() {
  // A close-up still in the queue is delivered now, so the button does not stay "menu shown".
  if (HandleAllocated()) {
    MSG msg;
    if (PeekMessage(&msg, Handle(), UM_BUTTON_CLOSEUP, UM_BUTTON_CLOSEUP, PM_REMOVE)) SendMessage(Handle(), msg.message, msg.wParam, msg.lParam);
  }
  TButton::DestroyWnd();
}

void TuiCustomButton::DropDown() {
  downLocked_ = true;
  if (HandleAllocated()) PostMessage(Handle(), UM_BUTTON_DROPDOWN, 0, 0);
}

void TuiCustomButton::CloseUp() {
  POINT p;
  GetCursorPos(&p);
  mouseInControl_ = IsHotTrack() && HandleAllocated() && WindowFromPoint(p) == Handle();
  menuVisible_ = false;
  Repaint();
  downLocked_ = false;
}

void TuiCustomButton::DoDropDownMenu() {
  if (kind_ == uibkStandard) return;
  TPopupMenu* menu = dropDownMenu_;
  if (DoDropDownMenuPopup(menu) || menu == nullptr) {
    // Nothing pops up: the button must not stay locked down.
    downLocked_ = false;
    Invalidate();
    return;
  }
  menuVisible_ = true;
  Repaint();
  TPoint p{0, Height()};
  if (popupAlignment_ == paRight) p.x = Width();
  if (popupAlignment_ == paCenter) p.x = Width() / 2;
  p = ClientToScreen(p);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfo(MonitorFromPoint(POINT{p.x, p.y}, MONITOR_DEFAULTTONEAREST), &info);
  const TRect work = info.rcWork;
  const Integer menuHeight = CalculatePopupMenuHeight(menu);
  if (p.y + menuHeight > work.bottom) p.y -= menuHeight + Height() + 2;
  const TPopupAlignment saved = menu->Alignment();
  if (p.x <= work.left)
    menu->SetAlignment(paRight);
  else if (p.x >= work.right)
    menu->SetAlignment(paLeft);
  else
    menu->SetAlignment(popupAlignment_);
  menu->SetPopupComponent(this);
  try {
    menu->Popup(p.x, p.y);
  } catch (...) {
    menu->SetAlignment(saved);
    if (HandleAllocated()) PostMessage(Handle(), UM_BUTTON_CLOSEUP, 0, 0);
    throw;
  }
  menu->SetAlignment(saved);
  if (HandleAllocated()) PostMessage(Handle(), UM_BUTTON_CLOSEUP, 0, 0);
}

void TuiCustomButton::Click() {
  if (kind_ == uibkStandard) return TButton::Click();
  if (kind_ == uibkDropDown && !menuVisible_) {
    if (!mouseClick_) DropDown();
    mouseClick_ = false;
    return;
  }
  if (mouseClick_) {
    mouseClick_ = false;
    return;
  }
  TButton::Click();
}

void TuiCustomButton::KeyDown(Word& Key, TShiftState Shift) {
  if (kind_ == uibkDropDownButton && (Key == VK_UP || Key == VK_DOWN) &&
      (Shift.Contains(ssShift) || Shift.Contains(ssAlt))) {
    if (!menuVisible_) DropDown();
    Key = 0;
    return;
  }
  TButton::KeyDown(Key, Shift);
}

void TuiCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft) {
    if (menuVisible_) {
      // The click that closed the menu.
      mouseClick_ = true;
      menuVisible_ = false;
      isDown_ = false;
      Repaint();
    } else if (kind_ == uibkDropDown || IsOnArrowPart(X)) {
      mouseClick_ = kind_ == uibkDropDown;
      DropDown();
    } else {
      mouseClick_ = false;
    }
  }
  TButton::MouseDown(Button, Shift, X, Y);
}

void TuiCustomButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TButton::MouseMove(Shift, X, Y);
  const TRect client = ClientRect();
  if (!mouseInControl_ && IsHotTrack() && PtInRect(&client, POINT{X, Y}) && GetCapture() == nullptr)
    Perform(CM_MOUSEENTER, 0, 0);
}

// Both the control's mouse-leave (from CM_MOUSELEAVE) and the end of mouse-leave tracking come here.
void TuiCustomButton::MouseLeave() {
  TButton::MouseLeave();
  if (ComponentState().Contains(csDesigning)) return;
  StopMouseLeaveTracking(this);
  if (mouseInControl_ && IsHotTrack()) {
    mouseInControl_ = false;
    Invalidate();
  }
}

void TuiCustomButton::Paint(TuiCanvas* ACanvas, const DRAWITEMSTRUCT& AItem) {
  TuiLookAndFeelPainterClass painter = GetPainterClass();
  TRect r = ClientRect();
  if (painter->GetLookAndFeelStyle() == lfsWinXP)
    if (HTHEME theme = OpenThemeObject(totButton))
      if (IsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, 1)) DrawThemeParentBackground(Handle(), AItem.hDC, &r);
  bool down = isDown_;
  TRect arrow{};
  if (kind_ == uibkDropDown) down = menuVisible_;
  if (kind_ == uibkDropDownButton) {
    arrow = TRect{r.right - 15, r.top, r.right, r.bottom};
    r.right -= 13;
    if (downLocked_) down = false;
  }
  TuiButtonState state;
  if (!Enabled())
    state = uibsDisabled;
  else if (down || menuVisible_)
    state = uibsPressed;
  else if (mouseInControl_)
    state = uibsHot;
  else if (isFocused_ || defaultActive_)
    state = uibsDefault;
  else
    state = uibsNormal;
  lastState_ = state;
  ACanvas->SetCanvasFont(Font());
  TColor color = colors_->Colors(static_cast<TuiButtonColorIndex>(state));
  ACanvas->GetCanvasFont()->SetColor(painter->GetButtonSymbolColor(state, Font()->Color()));
  if (onGetDrawParams_.Assigned()) onGetDrawParams_(this, state, color, ACanvas->GetCanvasFont());
  painter->PaintButton(ACanvas, r, String(), state, true, color, ACanvas->GetCanvasFont()->Color());
  TPoint offset{0, 0};
  if (state == uibsPressed) offset = TPoint{painter->GetButtonPressedShift(), painter->GetButtonPressedShift()};
  TRect content = r;
  const Integer frame = painter->GetButtonBorderWidth(state);
  InflateRect(&content, -frame, -frame);
  TRect layout = r;
  const Integer defaultFrame = painter->GetButtonBorderWidth(uibsDefault);
  InflateRect(&layout, -defaultFrame, -defaultFrame);
  const Integer saved = ACanvas->SaveState();
  ACanvas->IntersectClipRect(content);
  SetTextColor(ACanvas->GetDCHandle(), ColorToRGB(ACanvas->GetCanvasFont()->Color()));
  TPoint glyphPos{};
  glyph_->CalcButtonLayout(ACanvas, layout, offset, Caption(), layout_, margin_, spacing_, glyphPos, lastTextBounds_,
                           0u, WordWrap());
  lastGlyphPos_ = glyphPos;
  glyph_->Draw(ACanvas, layout, offset, Caption(), layout_, margin_, spacing_, state, 0u,
               WordWrap());
  ACanvas->RestoreState(saved);
  if (kind_ == uibkDropDownButton) {
    painter->PaintButton(ACanvas, arrow, String(), state, true, color, ACanvas->GetCanvasFont()->Color());
    TRect a = arrow;
    if (state == uibsPressed) OffsetRect(&a, painter->GetButtonPressedShift(), painter->GetButtonPressedShift());
    painter->PaintArrowGlyph(ACanvas, a, state, adDown);
  }
  if (isFocused_ && !menuVisible_) ACanvas->DrawFocusRectangle(painter->GetButtonFocusBounds(ACanvas, ClientRect()));
}

void TuiCustomButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM: {
      auto* item = static_cast<TWMDrawItem&>(Message).DrawItemStruct();
      if (item != nullptr && !destroying_) {
        isDown_ = (item->itemState & ODS_SELECTED) != 0 && !downLocked_;
        isFocused_ = ComponentState().Contains(csDesigning) ? Default() : (item->itemState & ODS_FOCUS) != 0;
        TCanvas canvas;
        canvas.SetHandle(item->hDC);
        TuiCanvas ui(&canvas);
        Paint(&ui, *item);
        canvas.SetHandle(nullptr);
      }
      Message.Result = 1;
      return;
    }
    case CN_MEASUREITEM:
      if (auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
        item->itemWidth = static_cast<UINT>(Width());
        item->itemHeight = static_cast<UINT>(Height());
      }
      Message.Result = 1;
      return;
    case WM_ERASEBKGND:
      if (!destroying_ && GetPainterClass()->GetLookAndFeelStyle() != lfsWinXP) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const Integer x = static_cast<SmallInt>(LOWORD(Message.LParam));
      if (IsOnArrowPart(x)) downLocked_ = true;
      if (Message.Msg == WM_LBUTTONDBLCLK) {
        TMessage down = Message;
        down.Msg = WM_LBUTTONDOWN;
        TButton::Dispatch(down);
        Message.Result = down.Result;
        return;
      }
      break;
    }
    case WM_LBUTTONUP:
      TButton::Dispatch(Message);
      downLocked_ = false;
      return;
    case WM_CAPTURECHANGED: {
      TButton::Dispatch(Message);
      if (!ComponentState().Contains(csDesigning)) {
        POINT p;
        GetCursorPos(&p);
        mouseInControl_ = IsHotTrack() && HandleAllocated() && WindowFromPoint(p) == Handle();
      }
      return;
    }
    case UM_BUTTON_DROPDOWN: DoDropDownMenu(); return;
    case UM_BUTTON_CLOSEUP: CloseUp(); return;
    case CM_MOUSEENTER:
      TButton::Dispatch(Message);
      if (!ComponentState().Contains(csDesigning) && !mouseInControl_ && IsHotTrack() && GetCapture() == nullptr) {
        StartMouseLeaveTracking(this, TRect{0, 0, Width(), Height()}, this);
        mouseInControl_ = true;
        Repaint();
      }
      return;
    case CM_ENABLEDCHANGED:
      TButton::Dispatch(Message);
      if (!Enabled()) mouseInControl_ = false;
      Invalidate();
      return;
    case CM_FONTCHANGED:
      TButton::Dispatch(Message);
      Invalidate();
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      if (popupMenu_ != nullptr && IsPopupMenuShortCut(popupMenu_, static_cast<TWMKey&>(Message))) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_CONTEXTMENU: {
      if (Message.Result != 0 || popupMenu_ == nullptr) break;
      auto& m = static_cast<TWMContextMenu&>(Message);
      const bool keyboard = m.XPos() == -1 && m.YPos() == -1;
      POINT p{m.XPos(), m.YPos()};
      if (!keyboard) ::ScreenToClient(Handle(), &p);
      const TRect client = ClientRect();
      if (!keyboard && !PtInRect(&client, p)) break;
      POINT at = keyboard ? POINT{0, 0} : p;
      ::ClientToScreen(Handle(), &at);
      if (DoShowPopupMenu(popupMenu_, at.x, at.y)) {
        Message.Result = 1;
        return;
      }
      break;
    }
    default: break;
  }
  TButton::Dispatch(Message);
}
