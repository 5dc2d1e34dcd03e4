// Tool bars and their buttons, drawn by the bar.
#include <algorithm>

#include "platform/forms/ComCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/win/gdi/WinUserGdi.h"

// ---- Tool buttons ---------------------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption});
  SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() {
  if (toolBar_ != nullptr) toolBar_->RemoveButton(this);
}

void TToolButton::SetParent(TWinControl* AParent) {
  if (toolBar_ != nullptr && AParent != toolBar_) {
    TToolBar* old = toolBar_;
    toolBar_ = nullptr;
    old->RemoveButton(this);
  }
  TGraphicControl::SetParent(AParent);
  if (auto* bar = dynamic_cast<TToolBar*>(AParent); bar != nullptr && toolBar_ != bar) {
    toolBar_ = bar;
    bar->InsertButton(this);
  }
}

Integer TToolButton::Index() const {
  if (toolBar_ == nullptr) return -1;
  auto it = std::find(toolBar_->buttons_.begin(), toolBar_->buttons_.end(), this);
  return it == toolBar_->buttons_.end() ? -1 : static_cast<Integer>(it - toolBar_->buttons_.begin());
}

void TToolButton::Changed(bool Relayout) {
  if (toolBar_ != nullptr && Relayout) toolBar_->UpdateButtons();
  Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
  if (style_ == Value) return;
  bool wasSeparator = IsSeparator();
  style_ = Value;
  // A separator starts 8 pixels wide; a button again takes the bar's size.
  if (IsSeparator() && !wasSeparator && !ComponentState().Contains(csLoading)) {
    SetBounds(Left(), Top(), 8, Height());
  }
  Changed(true);
}

void TToolButton::SetDown(bool Value) {
  if (down_ == Value) return;
  down_ = Value;
  if (Value && grouped_) UpdateGroup();
  Changed(false);
}

void TToolButton::UpdateGroup() {
  if (toolBar_ == nullptr) return;
  Integer index = Index();
  auto& buttons = toolBar_->buttons_;
  // The group: the adjacent grouped check buttons on both sides.
  auto inGroup = [](TToolButton* b) { return b->grouped_ && b->style_ == tbsCheck; };
  for (Integer i = index - 1; i >= 0 && inGroup(buttons[static_cast<size_t>(i)]); --i) {
    TToolButton* b = buttons[static_cast<size_t>(i)];
    if (b->down_) {
      b->down_ = false;
      b->Invalidate();
    }
  }
  for (size_t i = static_cast<size_t>(index) + 1; i < buttons.size() && inGroup(buttons[i]); ++i) {
    if (buttons[i]->down_) {
      buttons[i]->down_ = false;
      buttons[i]->Invalidate();
    }
  }
}

void TToolButton::SetIndeterminate(bool Value) {
  if (indeterminate_ == Value) return;
  indeterminate_ = Value;
  Changed(false);
}

void TToolButton::SetMarked(bool Value) {
  if (marked_ == Value) return;
  marked_ = Value;
  Changed(false);
}

void TToolButton::SetWrap(bool Value) {
  if (wrap_ == Value) return;
  wrap_ = Value;
  Changed(true);
}

void TToolButton::SetImageIndex(Integer Value) {
  if (imageIndex_ == Value) return;
  imageIndex_ = Value;
  Changed(false);
}

void TToolButton::SetMenuItem(TMenuItem* Value) {
  if (menuItem_ == Value) return;
  if (menuItem_ != nullptr) menuItem_->RemoveFreeNotification(this);
  menuItem_ = Value;
  if (menuItem_ == nullptr) return;
  menuItem_->FreeNotification(this);
  // The button shows what the item shows.
  if (!ComponentState().Contains(csLoading)) {
    SetCaption(menuItem_->Caption());
    SetHint(menuItem_->Hint());
    SetImageIndex(menuItem_->ImageIndex());
    SetEnabled(menuItem_->Enabled());
    if (style_ == tbsCheck) SetDown(menuItem_->Checked());
  }
}

void TToolButton::SetDropdownMenu(TPopupMenu* Value) {
  if (dropdownMenu_ == Value) return;
  if (dropdownMenu_ != nullptr) dropdownMenu_->RemoveFreeNotification(this);
  dropdownMenu_ = Value;
  if (dropdownMenu_ != nullptr) dropdownMenu_->FreeNotification(this);
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == menuItem_) menuItem_ = nullptr;
  if (AComponent == dropdownMenu_) dropdownMenu_ = nullptr;
}

void TToolButton::Loaded() {
  TGraphicControl::Loaded();
  if (toolBar_ != nullptr) toolBar_->UpdateButtons();
}

bool TToolButton::CheckMenuDropdown() {
  if (dropdownMenu_ == nullptr) return false;
  TPoint p = ClientToScreen(TPoint{0, Height()});
  dropdownMenu_->SetPopupComponent(this);
  dropdownMenu_->Popup(p.x, p.y);
  return true;
}

void TToolButton::Click() {
  if (!OnClick() && menuItem_ != nullptr) {
    menuItem_->Click();
    return;
  }
  TGraphicControl::Click();
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled() || IsSeparator()) return;
  bool arrowPart = style_ == tbsDropDown && (X >= Width() - DropDownWidth || (!OnClick() && menuItem_ == nullptr));
  if (arrowPart && dropdownMenu_ != nullptr) {
    pressed_ = true;
    mouseInside_ = true;
    Repaint();
    SetMouseCapture(false);
    CheckMenuDropdown();
    pressed_ = false;
    mouseInside_ = false;
    Invalidate();
    return;
  }
  pressed_ = true;
  mouseInside_ = true;
  Invalidate();
}

void TToolButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!pressed_) return;
  bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
  if (inside != mouseInside_) {
    mouseInside_ = inside;
    Invalidate();
  }
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  if (Button == mbLeft && pressed_) {
    pressed_ = false;
    bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
    mouseInside_ = false;
    Invalidate();
    if (inside && Enabled()) {
      if (style_ == tbsCheck) {
        // A grouped button stays down unless the group may be all up.
        if (!down_) {
          SetDown(true);
        } else if (!grouped_ || allowAllUp_) {
          SetDown(false);
        }
      }
      Click();
    }
  }
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TToolButton::CMMouseEnter(TCMMouseEnter& Message) {
  TGraphicControl::CMMouseEnter(Message);
  if (Message.Control() != nullptr && Message.Control() != this) return;
  if (!hot_ && Enabled() && !IsSeparator()) {
    hot_ = true;
    Invalidate();
  }
}

void TToolButton::CMMouseLeave(TCMMouseLeave& Message) {
  TGraphicControl::CMMouseLeave(Message);
  if (Message.Control() != nullptr && Message.Control() != this) return;
  if (hot_) {
    hot_ = false;
    Invalidate();
  }
}

void TToolButton::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  Changed(toolBar_ != nullptr && toolBar_->ShowCaptions());
}

void TToolButton::CMEnabledChanged(TMessage& Message) {
  TGraphicControl::CMEnabledChanged(Message);
  if (!Enabled()) hot_ = false;
  Changed(false);
}

void TToolButton::CMVisibleChanged(TMessage& Message) {
  TGraphicControl::CMVisibleChanged(Message);
  if (toolBar_ != nullptr) toolBar_->UpdateButtons();
}

// ---- Tool bars ------------------------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner), imageChangeLink_(new TChangeLink) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csMenuEvents,
                                csSetCaption});
  imageChangeLink_->SetOnChange(TNotifyEvent([this](TObject* Sender) { ImageListChange(Sender); }));
  SetBounds(Left(), Top(), 150, 29);
  SetAlign(alTop);
  SetColor(clBtnFace);
}

TToolBar::~TToolBar() {
  for (TToolButton* b : buttons_) b->toolBar_ = nullptr;
  buttons_.clear();
  for (TCustomImageList* list : {images_, hotImages_, disabledImages_}) {
    if (list != nullptr) list->UnRegisterChanges(imageChangeLink_.get());
  }
}

void TToolBar::InsertButton(TToolButton* Button) {
  if (std::find(buttons_.begin(), buttons_.end(), Button) != buttons_.end()) return;
  // A button joins the bar before its place is read from a form, so it goes at the end, in the order of
  // the form; Loaded puts the buttons read from a form in the order of their places.
  buttons_.push_back(Button);
  UpdateButtons();
}

void TToolBar::RemoveButton(TToolButton* Button) {
  auto it = std::find(buttons_.begin(), buttons_.end(), Button);
  if (it == buttons_.end()) return;
  buttons_.erase(it);
  if (!ComponentState().Contains(csDestroying)) UpdateButtons();
}

Integer TToolBar::EdgeWidth(TEdgeBorder Side) const {
  if (!edgeBorders_.Contains(Side)) return 0;
  return (edgeInner_ != esNone ? 1 : 0) + (edgeOuter_ != esNone ? 1 : 0);
}

void TToolBar::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  Rect.left += EdgeWidth(ebLeft);
  Rect.top += EdgeWidth(ebTop);
  Rect.right -= EdgeWidth(ebRight);
  Rect.bottom -= EdgeWidth(ebBottom);
}

TSize TToolBar::ButtonSize(TToolButton* Button) {
  if (Button->IsSeparator()) return TSize{Button->Width(), buttonHeight_};
  Integer w = buttonWidth_ + (Button->Style() == tbsDropDown ? TToolButton::DropDownWidth : 0);
  return TSize{w, buttonHeight_};
}

void TToolBar::UpdateButtons() {
  if (updating_ || ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  updating_ = true;
  try {
    TRect area = ClientRect();
    AdjustClientRect(area);
    Integer x = area.left + indent_, y = area.top;
    Integer rows = 1;
    for (TToolButton* b : buttons_) {
      if (!b->Visible() && !ComponentState().Contains(csDesigning)) continue;
      TSize size = ButtonSize(b);
      if (wrapable_ && x > area.left + indent_ && x + size.cx > area.right) {
        x = area.left + indent_;
        y += buttonHeight_;
        ++rows;
      }
      b->SetBounds(x, y, size.cx, size.cy);
      x += size.cx;
      if (b->Wrap()) {
        x = area.left + indent_;
        y += buttonHeight_;
        ++rows;
      }
    }
    rowCount_ = rows;
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
  if (AutoSize()) AdjustSize();
  Invalidate();
}

bool TToolBar::CanAutoSize(Integer& NewWidth, Integer& NewHeight) {
  (void)NewWidth;
  NewHeight = rowCount_ * buttonHeight_ + EdgeWidth(ebTop) + EdgeWidth(ebBottom);
  return true;
}

void TToolBar::AlignControls(TControl* AControl, TRect& Rect) {
  TCustomControl::AlignControls(AControl, Rect);
  UpdateButtons();
}

void TToolBar::Loaded() {
  // Buttons read with the bar go in the order of the places read, before the bar's first layout (which
  // the inherited Loaded starts) moves them.
  std::stable_sort(buttons_.begin(), buttons_.end(), [](TToolButton* a, TToolButton* b) {
    return a->Top() < b->Top() || (a->Top() == b->Top() && a->Left() < b->Left());
  });
  TCustomControl::Loaded();
  UpdateButtons();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == images_) images_ = nullptr;
  if (AComponent == hotImages_) hotImages_ = nullptr;
  if (AComponent == disabledImages_) disabledImages_ = nullptr;
}

void TToolBar::ImageListChange(TObject*) { Invalidate(); }

namespace {

void SetImageList(TToolBar* Bar, TCustomImageList*& Field, TCustomImageList* Value, TChangeLink* Link) {
  if (Field == Value) return;
  if (Field != nullptr) {
    Field->UnRegisterChanges(Link);
    Field->RemoveFreeNotification(Bar);
  }
  Field = Value;
  if (Field != nullptr) {
    Field->RegisterChanges(Link);
    Field->FreeNotification(Bar);
  }
  Bar->Invalidate();
}

}  // namespace

void TToolBar::SetImages(TCustomImageList* Value) { SetImageList(this, images_, Value, imageChangeLink_.get()); }
void TToolBar::SetHotImages(TCustomImageList* Value) {
  SetImageList(this, hotImages_, Value, imageChangeLink_.get());
}
void TToolBar::SetDisabledImages(TCustomImageList* Value) {
  SetImageList(this, disabledImages_, Value, imageChangeLink_.get());
}

void TToolBar::SetButtonWidth(Integer Value) {
  if (buttonWidth_ == Value || Value <= 0) return;
  buttonWidth_ = Value;
  UpdateButtons();
}

void TToolBar::SetButtonHeight(Integer Value) {
  if (buttonHeight_ == Value || Value <= 0) return;
  buttonHeight_ = Value;
  UpdateButtons();
}

void TToolBar::SetFlat(bool Value) {
  if (flat_ == Value) return;
  flat_ = Value;
  Invalidate();
}

void TToolBar::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  TControlStyle style = ControlStyle();
  if (Value) {
    style.Exclude(csOpaque);
  } else {
    style.Include(csOpaque);
  }
  SetControlStyle(style);
  Invalidate();
}

void TToolBar::SetList(bool Value) {
  if (list_ == Value) return;
  list_ = Value;
  UpdateButtons();
}

void TToolBar::SetShowCaptions(bool Value) {
  if (showCaptions_ == Value) return;
  showCaptions_ = Value;
  UpdateButtons();
}

void TToolBar::SetWrapable(bool Value) {
  if (wrapable_ == Value) return;
  wrapable_ = Value;
  UpdateButtons();
}

void TToolBar::SetIndent(Integer Value) {
  if (indent_ == Value) return;
  indent_ = Value;
  UpdateButtons();
}

void TToolBar::SetEdgeBorders(TEdgeBorders Value) {
  if (edgeBorders_ == Value) return;
  edgeBorders_ = Value;
  Realign();
  UpdateButtons();
}

void TToolBar::SetEdgeInner(TEdgeStyle Value) {
  if (edgeInner_ == Value) return;
  edgeInner_ = Value;
  UpdateButtons();
}

void TToolBar::SetEdgeOuter(TEdgeStyle Value) {
  if (edgeOuter_ == Value) return;
  edgeOuter_ = Value;
  UpdateButtons();
}

TCustomDrawState TToolBar::ButtonState(TToolButton* Button) const {
  TCustomDrawState state;
  if (!Button->Enabled()) state.Include(cdsDisabled);
  if (Button->Hot() && Button->Enabled()) state.Include(cdsHot);
  if (Button->Pressed() && Button->mouseInside_) state.Include(cdsSelected);
  if (Button->Down()) state.Include(cdsChecked);
  if (Button->Indeterminate()) state.Include(cdsIndeterminate);
  if (Button->Marked()) state.Include(cdsMarked);
  return state;
}

void TToolBar::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  bool defaultDraw = true;
  canvas->Brush()->SetColor(Color());
  canvas->Brush()->SetStyle(bsSolid);
  onCustomDraw_(this, r, defaultDraw);
  if (defaultDraw) {
    if (!transparent_) {
      canvas->Brush()->SetColor(Color());
      canvas->Brush()->SetStyle(bsSolid);
      canvas->FillRect(r);
    }
    UINT sides = 0;
    if (edgeBorders_.Contains(ebLeft)) sides |= BF_LEFT;
    if (edgeBorders_.Contains(ebTop)) sides |= BF_TOP;
    if (edgeBorders_.Contains(ebRight)) sides |= BF_RIGHT;
    if (edgeBorders_.Contains(ebBottom)) sides |= BF_BOTTOM;
    UINT edge = 0;
    if (edgeInner_ == esRaised) edge |= BDR_RAISEDINNER;
    if (edgeInner_ == esLowered) edge |= BDR_SUNKENINNER;
    if (edgeOuter_ == esRaised) edge |= BDR_RAISEDOUTER;
    if (edgeOuter_ == esLowered) edge |= BDR_SUNKENOUTER;
    RECT edgeRect = r;
    if (sides != 0 && edge != 0) ::DrawEdge(canvas->Handle(), &edgeRect, edge, sides);
  }
  for (TToolButton* b : buttons_) {
    if (!b->Visible()) continue;
    TCustomDrawState state = ButtonState(b);
    bool drawButton = true;
    canvas->SetFont(Font());
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    onCustomDrawButton_(this, b, state, drawButton);
    if (drawButton) DrawButton(b, state);
  }
}

void TToolBar::DrawButton(TToolButton* Button, TCustomDrawState State) {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  TRect r = Button->BoundsRect();
  if (Button->IsSeparator()) {
    if (Button->Style() == tbsDivider) {
      Integer mid = (r.left + r.right) / 2;
      RECT line{mid - 1, r.top, mid + 1, r.bottom};
      ::DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
    }
    return;
  }
  bool sunken = State.Contains(cdsSelected) || State.Contains(cdsChecked);
  bool dropDown = Button->Style() == tbsDropDown;
  RECT face = r;
  if (dropDown) face.right -= TToolButton::DropDownWidth;
  if (State.Contains(cdsChecked) && !State.Contains(cdsSelected)) {
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->FillRect(TRect(face));
  }
  auto frame = [&](RECT rect) {
    if (sunken) {
      ::DrawEdge(dc, &rect, flat_ ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
    } else if (!flat_ || State.Contains(cdsHot)) {
      ::DrawEdge(dc, &rect, flat_ ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
    }
  };
  frame(face);
  if (dropDown) {
    RECT arrowPart{face.right, r.top, r.right, r.bottom};
    frame(arrowPart);
    // A small triangle pointing down in the middle of the arrow part.
    Integer cx = (arrowPart.left + arrowPart.right) / 2, cy = (r.top + r.bottom) / 2;
    canvas->Pen()->SetColor(State.Contains(cdsDisabled) ? clGrayText : clBtnText);
    canvas->Brush()->SetColor(State.Contains(cdsDisabled) ? clGrayText : clBtnText);
    canvas->Polygon({TPoint{cx - 3, cy - 1}, TPoint{cx + 3, cy - 1}, TPoint{cx, cy + 2}});
  }
  Integer shift = sunken ? 1 : 0;
  TCustomImageList* list = images_;
  if (State.Contains(cdsDisabled) && disabledImages_ != nullptr) list = disabledImages_;
  if (State.Contains(cdsHot) && hotImages_ != nullptr) list = hotImages_;
  bool hasImage = list != nullptr && Button->ImageIndex() >= 0 && Button->ImageIndex() < list->Count();
  String caption = showCaptions_ ? Button->Caption() : String();
  Integer textHeight = caption.empty() ? 0 : canvas->TextHeight("0");
  Integer imageWidth = hasImage ? list->Width() : 0, imageHeight = hasImage ? list->Height() : 0;
  Integer faceWidth = face.right - face.left, faceHeight = face.bottom - face.top;
  if (hasImage) {
    Integer ix = 0, iy = 0;
    if (list_ && !caption.empty()) {
      ix = face.left + 4;
      iy = face.top + (faceHeight - imageHeight) / 2;
    } else {
      ix = face.left + (faceWidth - imageWidth) / 2;
      iy = face.top + (faceHeight - imageHeight - (textHeight > 0 ? textHeight + 1 : 0)) / 2;
    }
    list->Draw(canvas, ix + shift, iy + shift, Button->ImageIndex(),
               !State.Contains(cdsDisabled) || list == disabledImages_);
  }
  if (!caption.empty()) {
    RECT text = face;
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
    if (list_) {
      text.left += hasImage ? imageWidth + 8 : 4;
      flags = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    } else if (hasImage) {
      text.top = face.top + (faceHeight - imageHeight - textHeight - 1) / 2 + imageHeight + 1;
      text.bottom = text.top + textHeight;
    }
    ::OffsetRect(&text, shift, shift);
    // The canvas puts its font into the context when it measures; colour and mode go there directly, as
    // a changed canvas font would be taken out again.
    canvas->TextHeight("0");
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ColorToRGB(State.Contains(cdsDisabled) ? clGrayText : clBtnText));
    ::DrawText(dc, caption.c_str(), static_cast<int>(caption.size()), &text, flags);
  }
}
