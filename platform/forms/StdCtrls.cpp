// Labels, push buttons, check boxes, radio buttons, group boxes and scroll bars.
#include "platform/forms/StdCtrls.h"

#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrlsInternal.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/builtin/CommCtrl.h"

using namespace k58::forms::std_internal;

namespace k58::forms {

void EnsureCommonControls() { ::InitCommonControls(); }

}  // namespace k58::forms

// ---- Helpers ----------------------------------------------------------------------------------------

namespace k58::forms::std_internal {

size_t ByteOffset(const String& Text, Integer Index) {
  if (Index <= 0) return 0;
  Integer pos = Utf8BytePos(Text, Index + 1);  // 1-based byte position of character Index + 1
  return std::min(Text.size(), static_cast<size_t>(std::max(pos - 1, 0)));
}

Integer CharCount(const String& Text) { return Utf8Length(Text); }

String CharCopy(const String& Text, Integer Start, Integer Count) {
  if (Count <= 0) return String();
  size_t from = ByteOffset(Text, Start);
  size_t to = ByteOffset(Text, Start + Count);
  return Text.substr(from, to - from);
}

String WindowText(HWND Wnd) {
  if (Wnd == nullptr) return String();
  Integer len = static_cast<Integer>(::SendMessage(Wnd, WM_GETTEXTLENGTH, 0, 0));
  String text(static_cast<size_t>(std::max(len, 0)) + 1, '\0');
  Integer got = static_cast<Integer>(
      ::SendMessage(Wnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<size_t>(std::clamp(got, 0, len)));
  return text;
}

ScreenCanvas::ScreenCanvas(TFont* Font) : canvas_(new TCanvas()), dc_(::GetDC(nullptr)) {
  canvas_->SetHandle(dc_);
  if (Font != nullptr) canvas_->SetFont(Font);
}

ScreenCanvas::~ScreenCanvas() {
  canvas_->SetHandle(nullptr);
  ::ReleaseDC(nullptr, dc_);
}

bool NoModifiers(LPARAM KeyData) { return KeyDataToShiftState(static_cast<LongInt>(KeyData)).Empty(); }

TOwnerDrawState OwnerDrawState(UINT ItemState) {
  TOwnerDrawState state;
  if (ItemState & ODS_SELECTED) state.Include(odSelected);
  if (ItemState & ODS_GRAYED) state.Include(odGrayed);
  if (ItemState & ODS_DISABLED) state.Include(odDisabled);
  if (ItemState & ODS_CHECKED) state.Include(odChecked);
  if (ItemState & ODS_FOCUS) state.Include(odFocused);
  if (ItemState & ODS_DEFAULT) state.Include(odDefault);
  if (ItemState & ODS_HOTLIGHT) state.Include(odHotLight);
  if (ItemState & ODS_INACTIVE) state.Include(odInactive);
  if (ItemState & ODS_NOACCEL) state.Include(odNoAccel);
  if (ItemState & ODS_NOFOCUSRECT) state.Include(odNoFocusRect);
  if (ItemState & ODS_COMBOBOXEDIT) state.Include(odComboBoxEdit);
  return state;
}

}  // namespace k58::forms::std_internal

// ---- Labels -----------------------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetBounds(0, 0, 65, 17);
  TControl::SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (layout_ == Value) return;
  layout_ = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (showAccelChar_ == Value) return;
  showAccelChar_ = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Transparent() == Value) return;
  TControlStyle style = ControlStyle();
  if (Value) {
    style.Exclude(csOpaque);
  } else {
    style.Include(csOpaque);
  }
  SetControlStyle(style);
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (focusControl_ == Value) return;
  if (focusControl_ != nullptr) focusControl_->RemoveFreeNotification(this);
  focusControl_ = Value;
  if (Value != nullptr) Value->FreeNotification(this);
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (AutoSize() == Value) return;
  TControl::SetAutoSize(Value);
  AdjustBounds();
}

String TCustomLabel::GetLabelText() { return Caption(); }

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  String text = GetLabelText();
  // An empty caption (or a lone accelerator mark) still measures one line.
  if ((Flags & DT_CALCRECT) != 0 && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
  if (!showAccelChar_) Flags |= DT_NOPREFIX;
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  RECT r = Rect;
  if (!Enabled() && (Flags & DT_CALCRECT) == 0) {
    ::OffsetRect(&r, 1, 1);
    canvas->Font()->SetColor(clBtnHighlight);
    ::DrawText(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, Flags);
    ::OffsetRect(&r, -1, -1);
    canvas->Font()->SetColor(clBtnShadow);
    ::DrawText(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, Flags);
  } else {
    ::DrawText(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, Flags);
  }
  Rect = r;
}

void TCustomLabel::Paint() {
  static constexpr UINT Alignments[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  TCanvas* canvas = Canvas();
  TRect client = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(client);
  }
  canvas->Brush()->SetStyle(bsClear);
  TRect rect = client;
  UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | Alignments[alignment_];
  if (layout_ != tlTop) {
    TRect calc = rect;
    DoDrawText(calc, flags | DT_CALCRECT);
    Integer dy = layout_ == tlBottom ? Height() - calc.bottom : (Height() - calc.bottom) / 2;
    rect.top += dy;
    rect.bottom += dy;
  }
  DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
  if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading) || !AutoSize()) return;
  TRect rect = ClientRect();
  auto* canvas = dynamic_cast<TControlCanvas*>(Canvas());
  if (canvas != nullptr) canvas->FreeHandle();
  HDC dc = ::GetDC(nullptr);
  Canvas()->SetHandle(dc);
  try {
    DoDrawText(rect, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
  } catch (...) {
    Canvas()->SetHandle(nullptr);
    ::ReleaseDC(nullptr, dc);
    throw;
  }
  Canvas()->SetHandle(nullptr);
  ::ReleaseDC(nullptr, dc);
  Integer x = Left();
  if (alignment_ == taRightJustify) x += Width() - rect.right;
  SetBounds(x, Top(), rect.right, rect.bottom);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGCHAR) {
    CMDialogChar(static_cast<TCMDialogChar&>(Message));
    return;
  }
  TGraphicControl::Dispatch(Message);
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
  (void)Message;
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  TGraphicControl::CMFontChanged(Message);
  AdjustBounds();
}

void TCustomLabel::CMDialogChar(TCMDialogChar& Message) {
  if (focusControl_ != nullptr && Enabled() && showAccelChar_ && IsAccel(Message.CharCode(), Caption()) &&
      focusControl_->CanFocus()) {
    focusControl_->SetFocus();
    Message.Result = 1;
  }
}

// ---- Buttons ---------------------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::SetWordWrap(bool Value) {
  if (wordWrap_ == Value) return;
  wordWrap_ = Value;
  RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& Params) {
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  if (wordWrap_) Params.Style |= BS_MULTILINE;
}

void TButtonControl::WndProc(TMessage& Message) {
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) &&
      !ComponentState().Contains(csDesigning) && HandleAllocated() && !Focused()) {
    // A click takes the focus first, without the click a keyboard focus entry would make.
    clicksDisabled_ = true;
    std::weak_ptr<bool> alive = AliveToken();
    try {
      ::SetFocus(Handle());
    } catch (...) {
      if (!alive.expired() && *alive.lock()) clicksDisabled_ = false;
      throw;
    }
    if (alive.expired() || !*alive.lock()) return;
    clicksDisabled_ = false;
    if (!Focused()) return;
  }
  TWinControl::WndProc(Message);
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(Left(), Top(), 75, 25);
  SetTabStop(true);
}

void TButton::SetDefault(bool Value) {
  if (default_ == Value) return;
  default_ = Value;
  if (!HandleAllocated()) return;
  if (TCustomForm* form = GetParentForm(this)) {
    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
  }
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::SetButtonStyle(bool ADefault) {
  if (!HandleAllocated()) return;
  DWORD style = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  if ((static_cast<DWORD>(::GetWindowLongPtr(Handle(), GWL_STYLE)) & BS_TYPEMASK) != style) {
    ::SendMessage(Handle(), BM_SETSTYLE, style, 1);
  }
}

void TButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, WC_BUTTON);
  Params.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
  TButtonControl::CreateWnd();
  active_ = default_;
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: CNCommand(static_cast<TWMCommand&>(Message)); break;
    case CN_CTLCOLORBTN:
      // The button paints its face itself; only its corners show the parent's colour.
      TButtonControl::Dispatch(Message);
      break;
    default: TButtonControl::Dispatch(Message); break;
  }
}

void TButton::CMDialogKey(TCMDialogKey& Message) {
  Word key = Message.CharCode();
  if (((key == VK_RETURN && active_) || (key == VK_ESCAPE && cancel_)) && NoModifiers(Message.LParam) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::CMDialogKey(Message);
}

void TButton::CMDialogChar(TCMDialogChar& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    Click();
    Message.Result = 1;
    return;
  }
  TButtonControl::CMDialogChar(Message);
}

void TButton::CMFocusChanged(TCMFocusChanged& Message) {
  if (auto* button = dynamic_cast<TButton*>(Message.Sender())) {
    active_ = button == this;
  } else {
    active_ = default_;
  }
  SetButtonStyle(active_);
  TButtonControl::CMFocusChanged(Message);
}

void TButton::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode() == BN_CLICKED) Click();
}

// ---- Check boxes -----------------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(Left(), Top(), 97, 17);
  SetTabStop(true);
}

void TCustomCheckBox::SetAlignment(TLeftRight Value) {
  if (Value == taCenter) Value = taRightJustify;
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (state_ == Value) return;
  state_ = Value;
  if (HandleAllocated()) ::SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, WC_BUTTON);
  Params.Style |= BS_3STATE;
  if (alignment_ == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
  TButtonControl::CreateWnd();
  ::SendMessage(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    CNCommand(static_cast<TWMCommand&>(Message));
    return;
  }
  TButtonControl::Dispatch(Message);
}

void TCustomCheckBox::CMDialogChar(TCMDialogChar& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) Toggle();
    Message.Result = 1;
    return;
  }
  TButtonControl::CMDialogChar(Message);
}

void TCustomCheckBox::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode() == BN_CLICKED) Toggle();
}

// ---- Radio buttons ---------------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetBounds(Left(), Top(), 113, 17);
}

void TRadioButton::SetAlignment(TLeftRight Value) {
  if (Value == taCenter) Value = taRightJustify;
  if (alignment_ == Value) return;
  alignment_ = Value;
  RecreateWnd();
}

void TRadioButton::TurnSiblingsOff() {
  if (Parent() == nullptr) return;
  for (Integer i = 0; i < Parent()->ControlCount(); ++i) {
    auto* sibling = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
    if (sibling != nullptr && sibling != this) sibling->SetChecked(false);
  }
}

void TRadioButton::SetChecked(bool Value) {
  if (checked_ == Value) return;
  checked_ = Value;
  SetTabStop(Value);
  if (HandleAllocated()) ::SendMessage(Handle(), BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (Value) {
    TurnSiblingsOff();
    if (!ClicksDisabled()) Click();
  }
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, WC_BUTTON);
  Params.Style |= BS_RADIOBUTTON;
  if (alignment_ == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
  TButtonControl::CreateWnd();
  ::SendMessage(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    CNCommand(static_cast<TWMCommand&>(Message));
    return;
  }
  TButtonControl::Dispatch(Message);
}

void TRadioButton::WMSetFocus(TWMSetFocus& Message) {
  TButtonControl::WMSetFocus(Message);
  // Reaching a radio button with the keyboard (Tab or the arrows) checks it; a click checks it through
  // its own notification.
  if (!ClicksDisabled() && !checked_ && ::GetKeyState(VK_LBUTTON) >= 0 && HandleAllocated() &&
      ::GetFocus() == Handle()) {
    SetChecked(true);
  }
}

void TRadioButton::CMDialogChar(TCMDialogChar& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    SetFocus();
    if (Focused()) SetChecked(true);
    Message.Result = 1;
    return;
  }
  TButtonControl::CMDialogChar(Message);
}

void TRadioButton::CNCommand(TWMCommand& Message) {
  switch (Message.NotifyCode()) {
    case BN_CLICKED: SetChecked(true); break;
    case BN_DOUBLECLICKED: DblClick(); break;
    default: break;
  }
}

// ---- Group boxes -----------------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                                csReplicatable, csParentBackground});
  SetBounds(Left(), Top(), 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  ScreenCanvas measure(Font());
  Rect.top += measure.Canvas()->TextHeight("0");
  ::InflateRect(&Rect, -1, -1);
  if (Ctl3D()) ::InflateRect(&Rect, -1, -1);
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  Integer h = canvas->TextHeight("0");
  TRect r{0, h / 2 - 1, Width(), Height()};
  if (Ctl3D()) {
    r.left += 1;
    r.top += 1;
    canvas->Brush()->SetColor(clBtnHighlight);
    canvas->FrameRect(r);
    ::OffsetRect(&r, -1, -1);
    canvas->Brush()->SetColor(clBtnShadow);
  } else {
    canvas->Brush()->SetColor(clWindowFrame);
  }
  canvas->FrameRect(r);
  String text = Caption();
  if (!text.empty()) {
    RECT t{8, 0, 0, h};
    ::DrawText(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_CALCRECT);
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    ::DrawText(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE);
  }
}

void TCustomGroupBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomGroupBox::CMDialogChar(TCMDialogChar& Message) {
  if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
    SelectFirst();
    Message.Result = 1;
    return;
  }
  TCustomControl::CMDialogChar(Message);
}

void TCustomGroupBox::CMTextChanged(TMessage& Message) {
  (void)Message;
  Invalidate();
  Realign();
}

void TCustomGroupBox::CMCtl3DChanged(TMessage& Message) {
  TCustomControl::CMCtl3DChanged(Message);
  Invalidate();
  Realign();
}

void TCustomGroupBox::WMSize(TWMSize& Message) {
  TCustomControl::WMSize(Message);
  Invalidate();
}

// ---- Scroll bars -----------------------------------------------------------------------------------

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetControlStyle(TControlStyle{csFramed, csDoubleClicks, csOpaque});
  SetBounds(Left(), Top(), 121, ::GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (kind_ == Value) return;
  kind_ = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TScrollBar::SetPageSize(Integer Value) {
  if (pageSize_ == Value) return;
  if (Value < 0 || Value > max_ - min_ + 1) throw EInvalidOperation(stdctrlsconsts::SScrollBarRange);
  pageSize_ = Value;
  ApplyToWindow();
  if (position_ > max_ - std::max(pageSize_ - 1, 0)) SetPosition(max_ - std::max(pageSize_ - 1, 0));
}

void TScrollBar::SetParams(Integer APosition, Integer AMin, Integer AMax) {
  if (AMax < AMin || AMax < pageSize_) throw EInvalidOperation(stdctrlsconsts::SScrollBarRange);
  Integer limit = AMax - std::max(pageSize_ - 1, 0);
  APosition = std::clamp(APosition, AMin, std::max(AMin, limit));
  bool rangeChanged = AMin != min_ || AMax != max_;
  bool posChanged = APosition != position_;
  min_ = AMin;
  max_ = AMax;
  position_ = APosition;
  if (rangeChanged || posChanged) ApplyToWindow();
  if (posChanged) Change();
}

void TScrollBar::ApplyToWindow() {
  if (!HandleAllocated()) return;
  SCROLLINFO info;
  info.cbSize = sizeof(info);
  info.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
  info.nMin = min_;
  info.nMax = max_;
  info.nPage = static_cast<UINT>(pageSize_);
  info.nPos = position_;
  ::SetScrollInfo(Handle(), SB_CTL, &info, TRUE);
}

void TScrollBar::Change() { onChange_(this); }

void TScrollBar::Scroll(TScrollCode ScrollCode, Integer& ScrollPos) { onScroll_(this, ScrollCode, ScrollPos); }

void TScrollBar::CreateParams(TCreateParams& Params) {
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_SCROLLBAR);
  Params.Style |= kind_ == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyToWindow();
}

void TScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: CNScroll(static_cast<TWMScroll&>(Message)); break;
    case CN_CTLCOLORSCROLLBAR:
      Message.Result = ::CallWindowProc(DefWndProc(), Handle(), Message.Msg - CN_BASE, Message.WParam, Message.LParam);
      break;
    default: TWinControl::Dispatch(Message); break;
  }
}

void TScrollBar::CNScroll(TWMScroll& Message) {
  Integer newPos = position_;
  switch (Message.ScrollCode()) {
    case SB_LINEUP: newPos -= smallChange_; break;
    case SB_LINEDOWN: newPos += smallChange_; break;
    case SB_PAGEUP: newPos -= largeChange_; break;
    case SB_PAGEDOWN: newPos += largeChange_; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      // The 32-bit position of the thumb (the message carries 16 bits).
      SCROLLINFO info;
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS | SIF_POS;
      if (HandleAllocated() && ::GetScrollInfo(Handle(), SB_CTL, &info)) {
        newPos = info.nTrackPos;
      } else {
        newPos = Message.Pos();
      }
      break;
    }
    case SB_TOP: newPos = min_; break;
    case SB_BOTTOM: newPos = max_; break;
    default: break;
  }
  Integer limit = std::max(min_, max_ - std::max(pageSize_ - 1, 0));
  newPos = std::clamp(newPos, min_, limit);
  Integer scrollPos = newPos;
  auto code = static_cast<TScrollCode>(std::min<Word>(Message.ScrollCode(), scEndScroll));
  std::weak_ptr<bool> alive = AliveToken();
  Scroll(code, scrollPos);
  if (alive.expired() || !*alive.lock()) return;
  SetPosition(scrollPos);
}
