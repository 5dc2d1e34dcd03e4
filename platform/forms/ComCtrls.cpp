// Status bars, progress bars and up-down buttons over the built-in window classes.
#include "platform/forms/ComCtrls.h"

#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrlsInternal.h"
#include "platform/rtl/Numbers.h"
#include "platform/rtl/SysUtils.h"

// ---- Status panels --------------------------------------------------------------------------------------

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const String& Value) {
  if (text_ == Value) return;
  text_ = Value;
  Changed(false);
}

void TStatusPanel::SetWidth(Integer Value) {
  if (width_ == Value) return;
  width_ = Value;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
  if (alignment_ == Value) return;
  alignment_ = Value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel Value) {
  if (bevel_ == Value) return;
  bevel_ = Value;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle Value) {
  if (style_ == Value) return;
  style_ = Value;
  Changed(false);
}

void TStatusPanel::Assign(TPersistent* Source) {
  if (auto* panel = dynamic_cast<TStatusPanel*>(Source)) {
    text_ = panel->text_;
    width_ = panel->width_;
    alignment_ = panel->alignment_;
    bevel_ = panel->bevel_;
    style_ = panel->style_;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(Source);
}

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(TStatusPanel::StaticClass()), statusBar_(StatusBar) {}

TPersistent* TStatusPanels::GetOwner() { return statusBar_; }

void TStatusPanels::Update(TCollectionItem* Item) {
  if (statusBar_ == nullptr) return;
  if (Item != nullptr) {
    statusBar_->UpdatePanel(Item->Index());
  } else {
    statusBar_->UpdatePanels();
  }
}

// ---- Status bars ----------------------------------------------------------------------------------------

TStatusBar::TStatusBar(TComponent* AOwner)
    : TWinControl(AOwner), panels_(new TStatusPanels(this)), canvas_(new TControlCanvas) {
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  canvas_->SetControl(this);
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 19, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
  // The panels go without telling a bar that is going as well.
  panels_->statusBar_ = nullptr;
  canvas_->SetControl(nullptr);
}

void TStatusBar::SetSimplePanel(bool Value) {
  if (simplePanel_ == Value) return;
  simplePanel_ = Value;
  if (HandleAllocated()) {
    ::SendMessage(Handle(), SB_SIMPLE, Value ? TRUE : FALSE, 0);
    if (Value) ::SendMessage(Handle(), SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
  }
}

void TStatusBar::SetSimpleText(const String& Value) {
  if (simpleText_ == Value) return;
  simpleText_ = Value;
  if (HandleAllocated()) {
    ::SendMessage(Handle(), SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
  }
}

void TStatusBar::SetSizeGrip(bool Value) {
  if (sizeGrip_ == Value) return;
  sizeGrip_ = Value;
  RecreateWnd();
}

void TStatusBar::CreateParams(TCreateParams& Params) {
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, STATUSCLASSNAME);
  // The control places itself (Align); the window keeps the bounds it is given.
  Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
  // A grip sizes the top-level window only when the bar sits in its bottom-right corner.
  TCustomForm* form = GetParentForm(this);
  if (sizeGrip_ && form != nullptr && form->BorderStyle() != bsDialog && form->BorderStyle() != bsSingle &&
      form->BorderStyle() != bsNone && form->BorderStyle() != bsToolWindow) {
    Params.Style |= SBARS_SIZEGRIP;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TStatusBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdatePanels();
  if (simplePanel_) {
    ::SendMessage(Handle(), SB_SIMPLE, TRUE, 0);
    ::SendMessage(Handle(), SB_SETTEXT, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
  }
}

void TStatusBar::UpdatePanel(Integer Index) {
  if (!HandleAllocated() || Index < 0 || Index >= panels_->Count()) return;
  TStatusPanel* panel = panels_->Items(Index);
  WPARAM kind = static_cast<WPARAM>(Index);
  if (panel->Bevel() == pbNone) kind |= SBT_NOBORDERS;
  if (panel->Bevel() == pbRaised) kind |= SBT_POPOUT;
  if (panel->Style() == psOwnerDraw) {
    ::SendMessage(Handle(), SB_SETTEXT, kind | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(panel));
    return;
  }
  // The window aligns text after tabs: one tab centres, two put it on the right.
  String text = panel->Text();
  if (panel->Alignment() == taCenter) text = "\t" + text;
  if (panel->Alignment() == taRightJustify) text = "\t\t" + text;
  ::SendMessage(Handle(), SB_SETTEXT, kind, reinterpret_cast<LPARAM>(text.c_str()));
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  Integer count = panels_->Count();
  std::vector<int> edges(static_cast<size_t>(std::max<Integer>(1, count)), -1);
  Integer right = 0;
  for (Integer i = 0; i < count; ++i) {
    right += panels_->Items(i)->Width();
    edges[static_cast<size_t>(i)] = i == count - 1 ? -1 : right;
  }
  ::SendMessage(Handle(), SB_SETPARTS, static_cast<WPARAM>(std::max<Integer>(1, count)),
                reinterpret_cast<LPARAM>(edges.data()));
  if (count == 0) ::SendMessage(Handle(), SB_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  for (Integer i = 0; i < count; ++i) UpdatePanel(i);
}

void TStatusBar::DrawPanel(TStatusPanel* Panel, const TRect& Rect) {
  if (onDrawPanel_) {
    onDrawPanel_(this, Panel, Rect);
  } else {
    canvas_->FillRect(Rect);
  }
}

void TStatusBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_DRAWITEM) {
    auto& msg = static_cast<TWMDrawItem&>(Message);
    DRAWITEMSTRUCT* item = msg.DrawItemStruct();
    Integer index = static_cast<Integer>(item->itemID);
    if (index >= 0 && index < panels_->Count()) {
      canvas_->SetHandle(item->hDC);
      try {
        canvas_->SetFont(Font());
        canvas_->Brush()->SetColor(clBtnFace);
        canvas_->Brush()->SetStyle(bsSolid);
        DrawPanel(panels_->Items(index), TRect(item->rcItem));
      } catch (...) {
        canvas_->SetHandle(nullptr);
        throw;
      }
      canvas_->SetHandle(nullptr);
    }
    Message.Result = TRUE;
    return;
  }
  TWinControl::Dispatch(Message);
}

void TStatusBar::WMSize(TWMSize& Message) {
  // The window lays out its grip and parts on WM_SIZE itself; the bounds stay the control's.
  TWinControl::WMSize(Message);
  if (HandleAllocated()) Invalidate();
}

// ---- Progress bars --------------------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(Left(), Top(), 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& Params) {
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, PROGRESS_CLASS);
  if (smooth_) Params.Style |= PBS_SMOOTH;
  if (orientation_ == pbVertical) Params.Style |= PBS_VERTICAL;
}

void TProgressBar::CreateWnd() {
  TWinControl::CreateWnd();
  ::SendMessage(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  ::SendMessage(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
  ::SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::DestroyWnd() {
  position_ = Position();
  TWinControl::DestroyWnd();
}

void TProgressBar::SetMin(Integer Value) {
  if (min_ == Value) return;
  min_ = Value;
  if (max_ < min_) max_ = min_;
  position_ = std::clamp(Position(), min_, max_);
  if (HandleAllocated()) {
    ::SendMessage(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    ::SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
  }
}

void TProgressBar::SetMax(Integer Value) {
  if (max_ == Value) return;
  max_ = Value;
  if (min_ > max_) min_ = max_;
  position_ = std::clamp(Position(), min_, max_);
  if (HandleAllocated()) {
    ::SendMessage(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    ::SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
  }
}

Integer TProgressBar::Position() {
  if (HandleAllocated()) return static_cast<Integer>(::SendMessage(Handle(), PBM_GETPOS, 0, 0));
  return position_;
}

void TProgressBar::SetPosition(Integer Value) {
  position_ = std::clamp(Value, min_, max_);
  if (HandleAllocated()) ::SendMessage(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetStep(Integer Value) {
  if (step_ == Value) return;
  step_ = Value;
  if (HandleAllocated()) ::SendMessage(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
}

void TProgressBar::SetSmooth(bool Value) {
  if (smooth_ == Value) return;
  smooth_ = Value;
  RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation Value) {
  if (orientation_ == Value) return;
  orientation_ = Value;
  RecreateWnd();
}

void TProgressBar::StepIt() {
  if (HandleAllocated()) {
    ::SendMessage(Handle(), PBM_STEPIT, 0, 0);
    return;
  }
  // Past the end the bar starts over from the beginning, as the window does.
  Int64 next = static_cast<Int64>(position_) + step_;
  Int64 span = static_cast<Int64>(max_) - min_ + 1;
  if (next > max_) next = min_ + (next - max_) % span;
  if (next < min_) next = max_ - (min_ - next) % span;
  position_ = static_cast<Integer>(next);
}

void TProgressBar::StepBy(Integer Delta) {
  if (HandleAllocated()) {
    ::SendMessage(Handle(), PBM_DELTAPOS, static_cast<WPARAM>(Delta), 0);
    return;
  }
  position_ = static_cast<Integer>(std::clamp<Int64>(static_cast<Int64>(position_) + Delta, min_, max_));
}

// ---- Up-down buttons ------------------------------------------------------------------------------------

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(Left(), Top(), 17, 25);
  SetControlStyle(ControlStyle() - TControlStyle{csDoubleClicks});
}

void TUpDown::CreateParams(TCreateParams& Params) {
  k58::forms::EnsureCommonControls();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, UPDOWN_CLASS);
  if (wrap_) Params.Style |= UDS_WRAP;
  if (arrowKeys_) Params.Style |= UDS_ARROWKEYS;
  if (!thousands_) Params.Style |= UDS_NOTHOUSANDS;
  if (orientation_ == udHorizontal) Params.Style |= UDS_HORZ;
  Params.Style |= UDS_HOTTRACK;
}

void TUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  ::SendMessage(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  ::SendMessage(Handle(), UDM_SETPOS32, 0, static_cast<LPARAM>(position_));
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  ::SendMessage(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TUpDown::SetMin(Integer Value) {
  if (min_ == Value) return;
  min_ = Value;
  if (HandleAllocated()) {
    ::SendMessage(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  }
}

void TUpDown::SetMax(Integer Value) {
  if (max_ == Value) return;
  max_ = Value;
  if (HandleAllocated()) {
    ::SendMessage(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
  }
}

Integer TUpDown::Position() {
  if (HandleAllocated()) {
    BOOL failed = FALSE;
    LRESULT pos = ::SendMessage(Handle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed));
    if (!failed) position_ = static_cast<Integer>(pos);
  }
  return position_;
}

void TUpDown::SetPosition(Integer Value) {
  Integer lo = std::min(min_, max_), hi = std::max(min_, max_);
  position_ = std::clamp(Value, lo, hi);
  if (HandleAllocated()) ::SendMessage(Handle(), UDM_SETPOS32, 0, static_cast<LPARAM>(position_));
  ShowInAssociate();
}

void TUpDown::SetIncrement(Integer Value) {
  if (increment_ == Value) return;
  increment_ = Value;
  if (HandleAllocated()) {
    UDACCEL accel{0, static_cast<UINT>(increment_)};
    ::SendMessage(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  }
}

void TUpDown::SetWrap(bool Value) {
  if (wrap_ == Value) return;
  wrap_ = Value;
  RecreateWnd();
}

void TUpDown::SetThousands(bool Value) {
  if (thousands_ == Value) return;
  thousands_ = Value;
  RecreateWnd();
}

void TUpDown::SetArrowKeys(bool Value) {
  if (arrowKeys_ == Value) return;
  arrowKeys_ = Value;
  RecreateWnd();
}

void TUpDown::SetOrientation(TUDOrientation Value) {
  if (orientation_ == Value) return;
  orientation_ = Value;
  SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TUpDown::SetAlignButton(TUDAlignButton Value) { alignButton_ = Value; }

void TUpDown::SetAssociate(TWinControl* Value) {
  if (associate_ == Value) return;
  if (associate_ != nullptr) associate_->RemoveFreeNotification(this);
  associate_ = Value;
  if (associate_ != nullptr) {
    associate_->FreeNotification(this);
    // The buttons stand beside their control, on the side chosen.
    if (Parent() == associate_->Parent()) {
      Integer x = alignButton_ == udRight ? associate_->Left() + associate_->Width() : associate_->Left() - Width();
      SetBounds(x, associate_->Top(), Width(), associate_->Height());
    }
    ShowInAssociate();
  }
}

void TUpDown::ShowInAssociate() {
  if (associate_ == nullptr) return;
  String text = thousands_ ? FormatFloat("#,##0", position_) : IntToStr(position_);
  associate_->SetText(text);
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == associate_) associate_ = nullptr;
}

bool TUpDown::CanChange() {
  bool allow = true;
  onChanging_(this, allow);
  return allow;
}

void TUpDown::Click(TUDBtnType Button) { onClick_(this, Button); }

void TUpDown::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY: {
      auto* hdr = static_cast<TWMNotify&>(Message).NMHdr();
      if (hdr->code == UDN_DELTAPOS) Message.Result = CanChange() ? 0 : 1;
      return;
    }
    case CN_VSCROLL:
    case CN_HSCROLL: {
      if (LOWORD(Message.WParam) == SB_THUMBPOSITION) {
        Integer before = position_;
        Integer now = Position();
        if (now != before || wrap_) {
          ShowInAssociate();
          Click(now > before || (wrap_ && now == min_ && before == max_) ? btNext : btPrev);
        }
      }
      return;
    }
    default: break;
  }
  TWinControl::Dispatch(Message);
}
