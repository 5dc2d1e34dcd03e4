// The owner-drawn radio button: its state machine, layout, painting, context menu and focus entry.
#include "controls/editors/uiRadioButton.h"

#include "controls/editors/uiCheckBox.h"
#include "controls/foundation/uiEditUtils.h"
#include "controls/foundation/uxThemeManager.h"
#include "controls/foundation/uxUxTheme.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/win/builtin/CommCtrl.h"

Integer RadioImageWidth = 0;
Integer RadioImageHeight = 0;

namespace {
Integer radioButtonUnitCount = 0;

// The rows and columns of the radio mask that hold the round button.
void MeasureRadioImage() {
  HBITMAP system = LoadBitmap(0, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(OBM_CHECKBOXES)));
  BITMAP info{};
  GetObject(system, sizeof(info), &info);
  DeleteObject(system);
  const Integer w = info.bmWidth / 4, h = info.bmHeight / 3;
  TObjectPtr<TBitmap> cell(new TBitmap);
  cell->SetSize(w, h);
  TCanvas* canvas = cell->Canvas();
  canvas->Brush()->SetColor(clBlack);
  canvas->FillRect(TRect{0, 0, w, h});
  RECT r{0, 0, w, h};
  DrawFrameControl(canvas->Handle(), &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_CHECKED | DFCS_FLAT);
  Integer columns = 0, rows = 0;
  for (Integer x = 0; x < w; ++x)
    for (Integer y = 0; y < h; ++y)
      if (ColorToRGB(canvas->Pixels(x, y)) == 0) {
        ++columns;
        break;
      }
  for (Integer y = 0; y < h; ++y)
    for (Integer x = 0; x < w; ++x)
      if (ColorToRGB(canvas->Pixels(x, y)) == 0) {
        ++rows;
        break;
      }
  RadioImageWidth = columns > 0 ? columns : w;
  RadioImageHeight = rows > 0 ? rows : h;
}

TuiButtonState PainterState(Integer AState) {
  switch (AState) {
    case rbsDisabled: return uibsDisabled;
    case rbsHot: return uibsHot;
    case rbsPressed: return uibsPressed;
    default: return uibsNormal;
  }
}

// The shift state remembered from the last mouse event.
TShiftState lastShift;
}  // namespace

K58_IMPLEMENT_CLASS(TuiRadioButton) {
  using S = TuiRadioButton;
  b.Prop("LookAndFeel", &S::LookAndFeel, &S::SetLookAndFeel);
  b.Prop("Transparent", &S::Transparent, &S::SetTransparent).Default(false);
}

TuiRadioButton::TuiRadioButton(TComponent* AOwner) : TRadioButton(AOwner) {
  TControlStyle style = ControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  lookAndFeel_.reset(new TuiLookAndFeel(this));
  lookAndFeel_->SetOnChanged([this](TuiLookAndFeel*, TuiLookAndFeelValues) { Repaint(); });
  SetParentBackground(true);
  SharedRadioButtonImages();
}

TuiRadioButton::~TuiRadioButton() {
  destroying_ = true;
  StopMouseLeaveTracking(this);
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  lookAndFeel_.reset();
}

void TuiRadioButton::SetPopupMenuComponent(TComponent* Value) {
  if (Value != nullptr && dynamic_cast<TPopupMenu*>(Value) == nullptr && dynamic_cast<IuiPopupMenu*>(Value) == nullptr)
    Value = nullptr;
  if (Value == popupMenu_) return;
  if (popupMenu_ != nullptr) popupMenu_->RemoveFreeNotification(this);
  popupMenu_ = Value;
  if (popupMenu_ != nullptr) popupMenu_->FreeNotification(this);
}

void TuiRadioButton::Notification(TComponent* AComponent, TOperation Operation) {
  TRadioButton::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == popupMenu_) popupMenu_ = nullptr;
}

void TuiRadioButton::SetTransparent(bool Value) {
  if (transparent_ == Value) return;
  transparent_ = Value;
  Invalidate();
}

void TuiRadioButton::Invalidate() {
  if (HandleAllocated()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TuiRadioButton::CreateParams(TCreateParams& Params) {
  TRadioButton::CreateParams(Params);
  // The parent asks the control to draw itself.
  Params.Style = (Params.Style & ~0xFu) | BS_OWNERDRAW;
}

void TuiRadioButton::CreateWnd() {
  TRadioButton::CreateWnd();
  UpdateButtonStateAtCursor();
}

TRect TuiRadioButton::GetContentRect(const TRect& R, bool ANative) {
  const bool left = Alignment() == taLeftJustify;
  TRect m;
  if (IsNativeBackground())
    m = ANative ? TRect{3, 0, 0, 0} : TRect{5, 0, 1, 0};
  else if (ANative)
    m = WordWrap() ? (left ? TRect{0, -1, 3, 0} : TRect{3, -1, 0, 0}) : (left ? TRect{0, -1, 1, 0} : TRect{3, -1, 0, 0});
  else
    m = WordWrap() ? (left ? TRect{2, -1, 6, 0} : TRect{5, -1, 2, 0}) : (left ? TRect{2, -1, 1, 0} : TRect{5, -1, 0, 0});
  return TRect{R.left + m.left, R.top + m.top, R.right - m.right, R.bottom - m.bottom};
}

bool TuiRadioButton::DoShowPopupMenu(TComponent* AMenu, Integer X, Integer Y) { return ShowPopupMenu(this, AMenu, X, Y); }

bool TuiRadioButton::IsNativeStyle() { return CanUseNativeButtonTheme(lookAndFeel_.get()); }

bool TuiRadioButton::NeedsParentBackground() {
  return IsNativeStyle() && ParentBackground() && !IsNativeBackground() && !Transparent();
}

bool TuiRadioButton::IsTransparentDrawn() { return Transparent() && !IsNativeBackground(); }

void TuiRadioButton::UpdateButtonState(TMouseButton, TShiftState AShift, const TPoint& AMousePos) {
  Integer state;
  const TRect client = ClientRect();
  const bool inside = PtInRect(&client, AMousePos) != FALSE;
  if (!Enabled())
    state = rbsDisabled;
  else if (ComponentState().Contains(csDesigning))
    state = rbsNormal;
  else if (HandleAllocated() && GetCapture() == Handle())
    state = inside ? rbsPressed : rbsHot;
  else
    state = inside && AShift.Empty() ? rbsHot : rbsNormal;
  if (state == buttonState_) return;
  buttonState_ = state;
  if (HandleAllocated()) {
    TRect r = buttonRect_;
    InflateRect(&r, 1, 1);
    InvalidateRect(Handle(), &r, FALSE);
  }
}

void TuiRadioButton::UpdateButtonStateAtCursor() {
  if (!HandleAllocated()) return;
  POINT p;
  GetCursorPos(&p);
  ::ScreenToClient(Handle(), &p);
  UpdateButtonState(mbLeft, KeyboardStateToShiftState(), TPoint{p.x, p.y});
}

void TuiRadioButton::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TRadioButton::MouseDown(Button, Shift, X, Y);
  lastShift = Shift;
  UpdateButtonState(Button, Shift, TPoint{X, Y});
}

void TuiRadioButton::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TRadioButton::MouseUp(Button, Shift, X, Y);
  lastShift = Shift;
  UpdateButtonState(Button, Shift, TPoint{X, Y});
}

void TuiRadioButton::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TRadioButton::MouseMove(Shift, X, Y);
  UpdateButtonState(mbLeft, Shift, TPoint{X, Y});
  StartMouseLeaveTracking(this, ClientRect(), this);
}

void TuiRadioButton::MouseEnter(TControl*) {
  UpdateButtonStateAtCursor();
  StartMouseLeaveTracking(this, ClientRect(), this);
}

void TuiRadioButton::MouseLeave(TControl*) {
  lastShift = TShiftState{};
  UpdateButtonState(mbLeft, TShiftState{}, TPoint{-1, -1});
  StopMouseLeaveTracking(this);
}

void TuiRadioButton::EnabledChanged() {
  UpdateButtonStateAtCursor();
  if (!Enabled()) UpdateButtonState(mbLeft, TShiftState{}, TPoint{-1, -1});
  Invalidate();
}

void TuiRadioButton::DoEnter() {
  TRadioButton::DoEnter();
  if (Checked()) return;
  SetClicksDisabled(true);
  try {
    SetChecked(true);
  } catch (...) {
    SetClicksDisabled(false);
    throw;
  }
  SetClicksDisabled(false);
  if (!ComponentState().Contains(csLoading)) Click();
}

void TuiRadioButton::LayoutButton(Integer W, Integer H, bool ANative) {
  TRect r;
  r.top = (Height() - H) / 2;
  r.bottom = r.top + H;
  if (Alignment() == taRightJustify) {
    r.left = ANative || IsNativeBackground() ? 0 : 1;
    r.right = r.left + W;
  } else {
    r.right = Width();
    r.left = Width() - W;
  }
  buttonRect_ = r;
}

void TuiRadioButton::DrawCaption(TuiCanvas* ACanvas, bool ANative) {
  ACanvas->SetCanvasFont(Font());
  if (!Enabled() && !IsInnerControl()) ACanvas->GetCanvasFont()->SetColor(clBtnShadow);
  const TRect client = ClientRect();
  TRect text = client;
  if (Alignment() == taRightJustify)
    text.left = buttonRect_.right;
  else
    text.right = buttonRect_.left;
  text = GetContentRect(text, ANative);
  const TuiCanvasTextFlags flags = WordWrap()
                                       ? (ctfAlignLeft | ctfAlignVCenter | ctfNoClip | ctfShowPrefix | ctfWordBreak)
                                       : (ctfAlignLeft | ctfAlignVCenter | ctfSingleLine | ctfShowPrefix);
  ACanvas->GetCanvasBrush()->SetStyle(bsClear);
  ACanvas->DrawCaptionText(Caption(), text, flags, IsInnerControl() || ANative || Enabled());
  if (!Focused() || Caption().empty()) return;
  TRect f = text;
  ACanvas->CalculateTextRect(Caption(), f, flags);
  InflateRect(&f, 1, 1);
  f.bottom += 1;
  if (IsNativeBackground()) {
    f.top = std::max<Integer>(f.top, 1);
    f.bottom = std::min<Integer>(f.bottom, Height() - 1);
    f.right = std::min<Integer>(f.right, Width());
  } else {
    IntersectRect(&f, &f, &client);
    if (Alignment() == taLeftJustify) f.right = std::min<Integer>(f.right, buttonRect_.left);
  }
  ACanvas->GetCanvasBrush()->SetStyle(bsSolid);
  ACanvas->GetCanvasBrush()->SetColor(Color());
  ACanvas->GetCanvasFont()->SetColor(Font()->Color());
  ACanvas->DrawFocusRectangle(f);
}

void TuiRadioButton::Paint(TuiCanvas* ACanvas) {
  const TRect client = ClientRect();
  if (IsTransparentDrawn())
    PaintParentImage(this, ACanvas, client);
  else if (NeedsParentBackground())
    DrawThemeParentBackground(Handle(), ACanvas->GetDCHandle(), &client);
  if (IsNativeStyle()) {
    if (!HasBackgroundToDraw()) ACanvas->FillRectWithColor(client, Color());
    static const Integer states[2][4] = {{4, 2, 1, 3}, {8, 6, 5, 7}};
    const Integer themeState = states[Checked() ? 1 : 0][buttonState_];
    const TSize size = GetButtonThemePartSize(BP_RADIOBUTTON, themeState);
    LayoutButton(size.cx, size.cy, true);
    if (HTHEME theme = OpenThemeObject(totButton))
      DrawThemeBackground(theme, ACanvas->GetDCHandle(), BP_RADIOBUTTON, themeState, buttonRect_);
    DrawCaption(ACanvas, true);
    return;
  }
  LayoutButton(RadioImageWidth, RadioImageHeight, false);
  TuiLookAndFeelPainterClass painter = lookAndFeel_->GetPainterClassForObject(totButton);
  painter->PaintRadioButton(ACanvas, buttonRect_.left, buttonRect_.top, PainterState(buttonState_), Checked(),
                            Focused(), HasBackgroundToDraw() ? clDefault : Color(),
                            ComponentState().Contains(csDesigning));
  const Integer saved = ACanvas->SaveState();
  ACanvas->ExcludeClipRect(buttonRect_);
  if (!HasBackgroundToDraw()) ACanvas->FillRectWithColor(client, Color());
  ACanvas->RestoreState(saved);
  DrawCaption(ACanvas, false);
}

void TuiRadioButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM: {
      auto* item = static_cast<TWMDrawItem&>(Message).DrawItemStruct();
      if (item != nullptr && !destroying_) {
        TCanvas canvas;
        canvas.SetHandle(item->hDC);
        TuiCanvas ui(&canvas);
        Paint(&ui);
        canvas.SetHandle(nullptr);
      }
      Message.Result = 1;
      return;
    }
    case CN_MEASUREITEM: {
      if (auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam)) {
        item->itemWidth = static_cast<UINT>(Width());
        item->itemHeight = static_cast<UINT>(Height());
      }
      Message.Result = 1;
      return;
    }
    case WM_ERASEBKGND: Message.Result = 1; return;
    case BM_SETCHECK: {
      TRadioButton::Dispatch(Message);
      if (HandleAllocated()) InvalidateRect(Handle(), &buttonRect_, FALSE);
      Invalidate();
      return;
    }
    case CM_ENABLEDCHANGED: TRadioButton::Dispatch(Message); EnabledChanged(); return;
    case CM_MOUSEENTER: TRadioButton::Dispatch(Message); MouseEnter(reinterpret_cast<TControl*>(Message.LParam)); return;
    case CM_SYSCOLORCHANGE: Invalidate(); return;
    case WM_WINDOWPOSCHANGED:
      TRadioButton::Dispatch(Message);
      if (HasBackgroundToDraw() && !destroying_) Invalidate();
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      if (popupMenu_ != nullptr && IsPopupMenuShortCut(popupMenu_, static_cast<TWMKey&>(Message))) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_CONTEXTMENU: {
      if (Message.Result != 0) return;
      auto& m = static_cast<TWMContextMenu&>(Message);
      const bool keyboard = m.XPos() == -1 && m.YPos() == -1;
      POINT p{m.XPos(), m.YPos()};
      if (!keyboard) ::ScreenToClient(Handle(), &p);
      const TRect client = ClientRect();
      if (!keyboard && !PtInRect(&client, p)) break;
      if (popupMenu_ != nullptr) {
        POINT at = keyboard ? POINT{0, 0} : p;
        ::ClientToScreen(Handle(), &at);
        if (DoShowPopupMenu(popupMenu_, at.x, at.y)) {
          Message.Result = 1;
          return;
        }
      }
      break;
    }
    default: break;
  }
  TRadioButton::Dispatch(Message);
}

namespace k58::editors {
void StartRadioButtonUnit() {
  if (radioButtonUnitCount++ == 0) MeasureRadioImage();
}
void StopRadioButtonUnit() {
  if (radioButtonUnitCount > 0) --radioButtonUnitCount;
}
}  // namespace k58::editors
