// The memo editor: its Properties and view, the inner memo with its helper (key rules, clipboard and text
// messages, line-break normalisation), and the editor (keys, selection, scroll bars kept in step).
#include "controls/editors/uiMemo.h"

#include <algorithm>

#include "controls/foundation/uiClasses.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsMessages.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/Utf.h"
#include "platform/win/builtin/CommCtrl.h"

namespace {

Integer memoUnitCount = 0;
// Characters of the first line that the display text keeps.
constexpr Integer MemoDisplayTextLimit = 250;

// Marks the editor's changes as the user's for a scope.
class MemoUserActionScope {
 public:
  explicit MemoUserActionScope(TuiCustomEdit& AEdit) : edit_(AEdit), saved_(AEdit.IsUserAction()) {
    AEdit.SetUserAction(true);
  }
  ~MemoUserActionScope() { edit_.SetUserAction(saved_); }
  MemoUserActionScope(const MemoUserActionScope&) = delete;
  MemoUserActionScope& operator=(const MemoUserActionScope&) = delete;

 private:
  TuiCustomEdit& edit_;
  bool saved_;
};

bool HasHorizontalBar(TScrollStyle AStyle) { return AStyle == ssHorizontal || AStyle == ssBoth; }
bool HasVerticalBar(TScrollStyle AStyle) { return AStyle == ssVertical || AStyle == ssBoth; }

}  // namespace

String NormalizeMemoLineBreaks(const String& AText) {
  String result;
  result.reserve(AText.size());
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] == '\r' && i + 1 < AText.size() && AText[i + 1] == '\n') {
      result += "\r\n";
      ++i;
    } else if (AText[i] == '\n' && i + 1 < AText.size() && AText[i + 1] == '\r') {
      result += "\r\n\r\n";
      ++i;
    } else {
      result += AText[i];
    }
  }
  return result;
}

// ---- Properties -------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomMemoProperties) {}

K58_IMPLEMENT_CLASS(TuiMemoProperties) {
  using S = TuiMemoProperties;
  b.Prop("Alignment", &S::HorzAlignment, &S::SetHorzAlignment).Stored(&S::IsHorzAlignmentStored);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("AutoSelect", &S::AutoSelect, &S::SetAutoSelect).Default(false);
  b.Prop("CharCase", &S::CharCase, &S::SetCharCase).Default(ecNormal);
  b.Prop("HideSelection", &S::HideSelection, &S::SetHideSelection).Default(true);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeName, &S::SetImeName).Type("TImeName");
  b.Prop("MaxLength", &S::MaxLength, &S::SetMaxLength).Stored(&S::IsMaxLengthStored);
  b.Prop("OEMConvert", &S::OEMConvert, &S::SetOEMConvert).Default(false);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("ScrollBars", &S::ScrollBars, &S::SetScrollBars).Default(ssNone);
  b.Prop("VisibleLineCount", &S::VisibleLineCount, &S::SetVisibleLineCount).Default(0);
  b.Prop("WantReturns", &S::WantReturns, &S::SetWantReturns).Default(true);
  b.Prop("WantTabs", &S::WantTabs, &S::SetWantTabs).Default(false);
  b.Prop("WordWrap", &S::WordWrap, &S::SetWordWrap).Default(true);
  b.Prop("OnChange", &S::OnChange, &S::SetOnChange);
  b.Prop("OnEditValueChanged", &S::OnEditValueChanged, &S::SetOnEditValueChanged);
  b.Prop("OnValidate", &S::OnValidate, &S::SetOnValidate);
}

TuiCustomMemoProperties::TuiCustomMemoProperties() {
  Alignment()->SetVert(taTopJustify);
  SetAutoSelect(false);
}

void TuiCustomMemoProperties::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TuiCustomMemoProperties*>(Source);
  if (source == nullptr) return TuiCustomTextEditProperties::Assign(Source);
  BeginUpdate();
  try {
    TuiCustomTextEditProperties::Assign(Source);
    SetScrollBars(source->ScrollBars());
    SetWantReturns(source->WantReturns());
    SetWantTabs(source->WantTabs());
    SetWordWrap(source->WordWrap());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TuiCustomMemoProperties::SetScrollBars(TScrollStyle Value) { Store(scrollBars_, Value); }
void TuiCustomMemoProperties::SetVisibleLineCount(Integer Value) { Store(visibleLineCount_, std::max<Integer>(Value, 0)); }
void TuiCustomMemoProperties::SetWantReturns(bool Value) { Store(wantReturns_, Value); }
void TuiCustomMemoProperties::SetWantTabs(bool Value) { Store(wantTabs_, Value); }
void TuiCustomMemoProperties::SetWordWrap(bool Value) { Store(wordWrap_, Value); }

TClass TuiCustomMemoProperties::GetViewDataClass() const { return TuiCustomMemoViewData::StaticClass(); }
TClass TuiCustomMemoProperties::GetEditClass() const { return TuiMemo::StaticClass(); }
TClass TuiCustomMemoProperties::GetViewInfoClass() const { return TuiCustomMemoViewInfo::StaticClass(); }

WideString TuiCustomMemoProperties::GetDisplayText(const Variant& AEditValue, bool AFullText) {
  WideString text = TuiCustomTextEditProperties::GetDisplayText(AEditValue, AFullText);
  if (AFullText) return text;
  const size_t lineBreak = text.find_first_of(u"\r\n");
  if (lineBreak != WideString::npos) text.resize(lineBreak);
  // The limit counts characters: a surrogate pair is one and is never split.
  Integer count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF && i > 0 && text[i - 1] >= 0xD800 && text[i - 1] <= 0xDBFF;
    if (low) continue;
    if (++count > MemoDisplayTextLimit) {
      text.resize(i);
      break;
    }
  }
  return text;
}

bool TuiCustomMemoProperties::SupportsValueFormatting(bool) {
  IuiEditDefaultValuesProvider* provider = DefaultValuesProvider();
  return provider == nullptr || !provider->IsBlobField();
}

// ---- View -------------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomMemoViewData) {}
K58_IMPLEMENT_CLASS(TuiCustomMemoViewInfo) {}

void TuiCustomMemoViewData::GetButtonsSizeCorrection(TuiCanvas* ACanvas, TuiCustomEditViewInfo* AViewInfo,
                                                     TSize& AConstantPartSize, TSize& AMinContentSize) {
  TuiCustomTextEditViewData::GetButtonsSizeCorrection(ACanvas, AViewInfo, AConstantPartSize, AMinContentSize);
  TuiCustomMemoProperties* properties = MemoProperties();
  if (Edit != nullptr && properties != nullptr && HasHorizontalBar(properties->ScrollBars())) {
    TPoint bars{};
    GetStandardScrollBarSize(bars);
    AMinContentSize.cy += bars.y;
  }
}

void TuiCustomMemoViewData::GetEditContentSize(TuiCanvas* ACanvas, const Variant& AEditValue,
                                               const TSize& AEditSizeProperties, TSize& ASize) {
  String text;
  GetDisplayTextForValue(AEditValue, text);
  GetTextEditContentSize(ACanvas, this, text, GetDrawTextFlags(), AEditSizeProperties, GetVisibleLineCount(), true,
                         ASize);
}

void TuiCustomMemoViewData::GetContentOffsetsExtent(TSize& ASize) {
  TRect offsets{};
  GetTextContentOffsets(offsets);
  ASize = TSize{offsets.left + offsets.right, offsets.top + offsets.bottom};
}

Integer TuiCustomMemoViewData::GetVisibleLineCount() {
  TuiCustomMemoProperties* properties = MemoProperties();
  if (properties != nullptr && properties->VisibleLineCount() > 0) return properties->VisibleLineCount();
  return TuiCustomTextEditViewData::GetVisibleLineCount();
}

TuiTextOutFlags TuiCustomMemoViewData::GetDrawTextFlags() {
  static constexpr TuiTextOutFlags Horz[] = {tofAlignLeft, tofAlignRight, tofAlignHCenter};
  TuiTextOutFlags flags = tofExpandTabs | tofClampLeft | Horz[HorzAlignment];
  TuiCustomMemoProperties* properties = MemoProperties();
  if (properties != nullptr && properties->WordWrap() && !HasHorizontalBar(properties->ScrollBars()))
    flags |= tofCharBreak | tofWholeRows | tofWordBreak;
  else
    flags |= tofWholeRows;
  return flags;
}

void TuiCustomMemoViewData::GetTextContentOffsets(TRect& R) { R = TRect{1, 1, 1, IsInplace ? 1 : 3}; }

// ---- Inner memo helper ------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomInnerMemoHelper) {}

TuiCustomInnerMemoHelper::TuiCustomInnerMemoHelper(TuiCustomInnerMemo* AMemo)
    : TuiInterfacedPersistent(nullptr), memo_(AMemo) {}

TWinControl* TuiCustomInnerMemoHelper::GetControl() { return memo_; }
TuiContainer* TuiCustomInnerMemoHelper::GetControlContainer() { return memo_->Container(); }

LRESULT TuiCustomInnerMemoHelper::CallDefWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage message{Msg, WParam, LParam, 0};
  memo_->TMemo::DefaultHandler(message);
  return message.Result;
}

void TuiCustomInnerMemoHelper::GetEditValue(Variant& V) { V = Variant(memo_->Lines()->GetText()); }
const TNotifyEvent& TuiCustomInnerMemoHelper::GetOnChange() { return memo_->OnChange(); }
bool TuiCustomInnerMemoHelper::GetReadOnly() { return memo_->ReadOnly(); }

void TuiCustomInnerMemoHelper::LockBounds(bool ALock) {
  if (ALock)
    ++memo_->boundsLockCount_;
  else if (memo_->boundsLockCount_ > 0)
    --memo_->boundsLockCount_;
}

void TuiCustomInnerMemoHelper::SafelySetFocus() {
  const bool saved = memo_->AutoSelect();
  memo_->SetAutoSelect(false);
  try {
    memo_->SetFocus();
  } catch (...) {
    memo_->SetAutoSelect(saved);
    throw;
  }
  memo_->SetAutoSelect(saved);
}

void TuiCustomInnerMemoHelper::SetEditValue(const Variant& Value) {
  const String text = VarToStr(Value);
  if (!memo_->HandleAllocated()) {
    memo_->SetText(text);
    return;
  }
  TuiCustomMemo* editor = memo_->Container();
  if (editor != nullptr) editor->LockChangeEvents(true, true);
  try {
    k58::editors::TScopedFlag setting(memo_->settingText_, true);
    if (editor != nullptr && editor->IsInplace() && editor->ActiveProperties()->WordWrap()) memo_->Lines()->Clear();
    memo_->Lines()->SetText(text);
  } catch (...) {
    if (editor != nullptr) editor->LockChangeEvents(false, false);
    throw;
  }
  // The assignment's own change notification is dropped: setting a value never fires OnChange.
  if (editor != nullptr) editor->LockChangeEvents(false, false);
}

void TuiCustomInnerMemoHelper::SetParent(TWinControl* Value) { memo_->SetParent(Value); }
void TuiCustomInnerMemoHelper::SetOnChange(const TNotifyEvent& Value) { memo_->SetOnChange(Value); }
void TuiCustomInnerMemoHelper::SetReadOnly(bool Value) { memo_->SetReadOnly(Value); }

void TuiCustomInnerMemoHelper::ClearSelection() { memo_->ClearSelection(); }
void TuiCustomInnerMemoHelper::CopyToClipboard() { memo_->CopyToClipboard(); }
TAlignment TuiCustomInnerMemoHelper::GetAlignment() { return memo_->Alignment(); }
bool TuiCustomInnerMemoHelper::GetAutoSelect() { return memo_->AutoSelect(); }
TEditCharCase TuiCustomInnerMemoHelper::GetCharCase() { return memo_->CharCase(); }
bool TuiCustomInnerMemoHelper::GetHideSelection() { return memo_->HideSelection(); }
TImeMode TuiCustomInnerMemoHelper::GetImeMode() { return memo_->imeMode_; }
TImeName TuiCustomInnerMemoHelper::GetImeName() { return memo_->imeName_; }
bool TuiCustomInnerMemoHelper::GetKeyInProgress() { return memo_->keyInProgress_; }
Integer TuiCustomInnerMemoHelper::GetMaxLength() { return memo_->MaxLength(); }
bool TuiCustomInnerMemoHelper::GetOEMConvert() { return memo_->OEMConvert(); }
Integer TuiCustomInnerMemoHelper::GetSelLength() { return memo_->SelLength(); }
Integer TuiCustomInnerMemoHelper::GetSelStart() { return memo_->SelStart(); }
String TuiCustomInnerMemoHelper::GetSelText() { return memo_->SelText(); }

void TuiCustomInnerMemoHelper::SelectAll() {
  if (memo_->HandleAllocated()) memo_->SelectAll();
}

void TuiCustomInnerMemoHelper::SetAlignment(TAlignment Value) {
  TuiCustomMemo* editor = memo_->Container();
  if (editor != nullptr && editor->ActiveProperties()->UseLeftAlignmentOnEditing()) Value = taLeftJustify;
  memo_->SetAlignment(Value);
}

void TuiCustomInnerMemoHelper::SetAutoSelect(bool Value) { memo_->SetAutoSelect(Value); }
void TuiCustomInnerMemoHelper::SetCharCase(TEditCharCase Value) { memo_->SetCharCase(Value); }
void TuiCustomInnerMemoHelper::SetHideSelection(bool Value) { memo_->SetHideSelection(Value); }
void TuiCustomInnerMemoHelper::SetImeMode(TImeMode Value) { memo_->imeMode_ = Value; }
void TuiCustomInnerMemoHelper::SetImeName(const TImeName& Value) { memo_->imeName_ = Value; }
void TuiCustomInnerMemoHelper::SetKeyInProgress(bool Value) { memo_->keyInProgress_ = Value; }
void TuiCustomInnerMemoHelper::SetMaxLength(Integer Value) { memo_->SetMaxLength(Value); }
void TuiCustomInnerMemoHelper::SetOEMConvert(bool Value) { memo_->SetOEMConvert(Value); }

void TuiCustomInnerMemoHelper::SetSelLength(Integer Value) {
  if (memo_->HandleAllocated()) memo_->SetSelLength(Value);
}

void TuiCustomInnerMemoHelper::SetSelStart(Integer Value) {
  if (memo_->HandleAllocated()) memo_->SetSelStart(Value);
}

void TuiCustomInnerMemoHelper::SetSelText(const String& AText) { memo_->SetSelText(AText); }

TPoint TuiCustomInnerMemoHelper::GetCaretPos() { return memo_->CaretPos(); }
TStrings* TuiCustomInnerMemoHelper::GetLines() { return memo_->Lines(); }
TScrollStyle TuiCustomInnerMemoHelper::GetScrollBars() { return memo_->ScrollBars(); }
bool TuiCustomInnerMemoHelper::GetWantReturns() { return memo_->WantReturns(); }
bool TuiCustomInnerMemoHelper::GetWantTabs() { return memo_->WantTabs(); }
bool TuiCustomInnerMemoHelper::GetWordWrap() { return memo_->WordWrap(); }

void TuiCustomInnerMemoHelper::SetCaretPos(const TPoint& Value) {
  if (!memo_->HandleAllocated()) return;
  const auto lineStart =
      static_cast<Integer>(::SendMessage(memo_->Handle(), EM_LINEINDEX, static_cast<WPARAM>(Value.y), 0));
  const Integer position = lineStart + Value.x;
  ::SendMessage(memo_->Handle(), EM_SETSEL, static_cast<WPARAM>(position), static_cast<LPARAM>(position));
}

void TuiCustomInnerMemoHelper::SetScrollBars(TScrollStyle Value) { memo_->SetScrollBars(Value); }
void TuiCustomInnerMemoHelper::SetWantReturns(bool Value) { memo_->SetWantReturns(Value); }
void TuiCustomInnerMemoHelper::SetWantTabs(bool Value) { memo_->SetWantTabs(Value); }
void TuiCustomInnerMemoHelper::SetWordWrap(bool Value) { memo_->SetWordWrap(Value); }

// ---- Inner memo -------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomInnerMemo) {}

TuiCustomInnerMemo::TuiCustomInnerMemo(TComponent* AOwner) : TMemo(AOwner) {
  constructing_ = true;
  container_ = dynamic_cast<TuiCustomMemo*>(AOwner);
  if (!ComponentState().Contains(csDesigning)) SetCursor(crIBeam);
  SetParentColor(true);
  SetParentFont(true);
  SetBorderStyle(bsNone);
  helper_ = new TuiCustomInnerMemoHelper(this);
  constructing_ = false;
}

TuiCustomInnerMemo::~TuiCustomInnerMemo() { FreeAndNil(helper_); }

void TuiCustomInnerMemo::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  if (constructing_ || boundsLockCount_ > 0) return;
  if (container_ == nullptr) return TMemo::SetBounds(ALeft, ATop, AWidth, AHeight);
  // The editor clips its inner control itself once it is placed.
  TuiInnerControlEvents::WithAlignLocked(container_, [&] { TMemo::SetBounds(ALeft, ATop, AWidth, AHeight); });
}

bool TuiCustomInnerMemo::CanFocus() { return container_ != nullptr ? container_->CanFocus() : TMemo::CanFocus(); }

void TuiCustomInnerMemo::CreateParams(TCreateParams& Params) {
  TMemo::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
  Params.WindowClass.style &= ~static_cast<UINT>(CS_VREDRAW);
  if (HasHorizontalBar(ScrollBars()) || !WordWrap()) Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW);
}

void TuiCustomInnerMemo::CreateHandle() {
  if (container_ != nullptr) {
    container_->ResetInnerControlRegion();
    container_->HandleNeeded();
  }
  if (!HandleAllocated()) TMemo::CreateHandle();
}

void TuiCustomInnerMemo::CreateWnd() {
  const bool inplace = container_ != nullptr && container_->IsInplace();
  if (inplace) container_->LockDataBindingEdit(true);
  try {
    TMemo::CreateWnd();
  } catch (...) {
    if (inplace) container_->LockDataBindingEdit(false);
    throw;
  }
  if (inplace) container_->LockDataBindingEdit(false);
  // The window took the text at creation; the lines are set from it again so line breaks are the memo's.
  {
    k58::editors::TScopedFlag setting(settingText_, true);
    Lines()->SetText(Text());
  }
  if (container_ != nullptr) container_->SyncScrollBars(false);
}

void TuiCustomInnerMemo::DoEnter() {
  TMemo::DoEnter();
  if (AutoSelect()) SelectAll();
}

// ---- Mouse and drag ----

void TuiCustomInnerMemo::Click() {
  TMemo::Click();
  TuiInnerControlEvents::Click(container_);
}

void TuiCustomInnerMemo::DblClick() {
  TMemo::DblClick();
  TuiInnerControlEvents::DblClick(container_);
}

void TuiCustomInnerMemo::MouseDown(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  auto alive = AliveToken();
  TMemo::MouseDown(Button, Shift, X, Y);
  if (!alive.expired()) TuiInnerControlEvents::MouseDown(container_, *this, Button, Shift, X, Y);
}

void TuiCustomInnerMemo::MouseMove(TShiftState Shift, Integer X, Integer Y) {
  TMemo::MouseMove(Shift, X, Y);
  TuiInnerControlEvents::MouseMove(container_, *this, Shift, X, Y);
}

void TuiCustomInnerMemo::MouseUp(TMouseButton Button, TShiftState Shift, Integer X, Integer Y) {
  TMemo::MouseUp(Button, Shift, X, Y);
  TuiInnerControlEvents::MouseUp(container_, *this, Button, Shift, X, Y);
}

void TuiCustomInnerMemo::MouseLeave() {
  TMemo::MouseLeave();
  if (container_ != nullptr) container_->UpdateAtCursorPos(true);
}

void TuiCustomInnerMemo::DragOver(TObject* Source, Integer X, Integer Y, TDragState State, bool& Accept) {
  TuiInnerControlEvents::DragOver(container_, *this, Source, X, Y, State, Accept);
}

void TuiCustomInnerMemo::DragDrop(TObject* Source, Integer X, Integer Y) {
  TuiInnerControlEvents::DragDrop(container_, *this, Source, X, Y);
}

// ---- Keys ----

void TuiCustomInnerMemo::KeyDown(Word& Key, TShiftState Shift) {
  keyConsumed_ = false;
  if (container_ != nullptr) container_->KeyDown(Key, Shift);
  keyConsumed_ = Key == 0;
  if (Key != 0) TMemo::KeyDown(Key, Shift);
}

void TuiCustomInnerMemo::KeyPress(char& Key) {
  if (Key == '\t' && !WantTabs()) Key = 0;
  if (Key != 0 && container_ != nullptr) container_->KeyPress(Key);
  keyConsumed_ = Key == 0;
  if (Key != 0) TMemo::KeyPress(Key);
}

void TuiCustomInnerMemo::KeyUp(Word& Key, TShiftState Shift) {
  if (Key == VK_TAB && !WantTabs()) Key = 0;
  keyConsumed_ = false;
  if (Key != 0 && container_ != nullptr) container_->KeyUp(Key, Shift);
  keyConsumed_ = Key == 0;
  if (Key != 0) TMemo::KeyUp(Key, Shift);
}

// ---- Messages ----

void TuiCustomInnerMemo::WMKeyDown(TMessage& Message) {
  TuiCustomInnerTextEditPrevState state;
  SaveInnerTextEditState(helper_, true, state);
  keyConsumed_ = false;
  auto alive = AliveToken();
  TMemo::WndProc(Message);
  if (alive.expired() || container_ == nullptr) return;
  container_->PostSyncScrollBarsMessage();
  const auto key = static_cast<Word>(Message.WParam);
  // Up and Down move the caret between lines and are not passed on.
  if (keyConsumed_ || key == 0 || key == VK_UP || key == VK_DOWN || IsInnerTextEditChanged(helper_, state)) return;
  Word afterKey = key;
  container_->DoAfterKeyDown(afterKey, KeyDataToShiftState(static_cast<LongInt>(Message.LParam)));
  Message.WParam = afterKey;
}

void TuiCustomInnerMemo::WMClipboard(TMessage& Message) {
  if (container_ == nullptr) return TMemo::WndProc(Message);
  TuiCustomMemo* container = container_;
  if (Message.Msg == WM_CLEAR && container->IsClearing()) return TMemo::WndProc(Message);
  MemoUserActionScope userAction(*container);
  switch (Message.Msg) {
    case WM_CUT:
      if (ReadOnly())
        container->CopyToClipboard();
      else
        container->CutToClipboard();
      break;
    case WM_PASTE:
      if (!ReadOnly()) container->PasteFromClipboard();
      break;
    default:
      if (!ReadOnly()) container->ClearSelection();
      break;
  }
}

void TuiCustomInnerMemo::WMSetText(TMessage& Message) {
  TMemo::WndProc(Message);
  if (settingText_ || container_ == nullptr) return;
  k58::editors::TScopedFlag setting(settingText_, true);
  const auto* text = reinterpret_cast<const char*>(Message.LParam);
  container_->InternalSetEditValue(Variant(text != nullptr ? String(text) : String()), false);
}

void TuiCustomInnerMemo::EMReplaceSel(TMessage& Message) {
  const auto* text = reinterpret_cast<const char*>(Message.LParam);
  const String normalized = NormalizeMemoLineBreaks(text != nullptr ? String(text) : String());
  Message.LParam = reinterpret_cast<LPARAM>(normalized.c_str());
  TMemo::WndProc(Message);
  Message.LParam = reinterpret_cast<LPARAM>(text);
  if (container_ != nullptr && !settingText_) container_->SynchronizeEditValue();
}

// The container's bars stand over the memo's: the native ones are painted without their styles, and the
// corner between two bars is filled.
void TuiCustomInnerMemo::WMNCPaint(TMessage& Message) {
  if (!IsGetScrollBarInfoAvailable() || !HandleAllocated()) return TMemo::WndProc(Message);
  const auto style = static_cast<DWORD>(GetWindowLongPtr(Handle(), GWL_STYLE));
  SetWindowLongPtr(Handle(), GWL_STYLE, static_cast<LONG_PTR>(style & ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL)));
  TMemo::WndProc(Message);
  DWORD bars = 0;
  if (HasHorizontalBar(ScrollBars())) bars |= WS_HSCROLL;
  if (HasVerticalBar(ScrollBars())) bars |= WS_VSCROLL;
  SetWindowLongPtr(Handle(), GWL_STYLE,
                   static_cast<LONG_PTR>((style & ~static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL)) | bars));
  if (ScrollBars() != ssBoth) return;
  SCROLLBARINFO horizontal{}, vertical{};
  if (!CallGetScrollBarInfo(Handle(), OBJID_HSCROLL, horizontal) ||
      !CallGetScrollBarInfo(Handle(), OBJID_VSCROLL, vertical))
    return;
  if ((horizontal.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) != 0 ||
      (vertical.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) != 0)
    return;
  POINT topLeft{vertical.rcScrollBar.left, horizontal.rcScrollBar.top};
  POINT bottomRight{vertical.rcScrollBar.right, horizontal.rcScrollBar.bottom};
  ::ScreenToClient(Handle(), &topLeft);
  ::ScreenToClient(Handle(), &bottomRight);
  RECT corner{topLeft.x + 2, topLeft.y + 2, bottomRight.x + 2, bottomRight.y + 2};
  HDC dc = GetWindowDC(Handle());
  HBRUSH brush = GetSysColorBrush(COLOR_BTNFACE);
  FillRect(dc, &corner, brush);
  ReleaseDC(Handle(), dc);
}

void TuiCustomInnerMemo::WndProc(TMessage& Message) {
  if (container_ != nullptr && container_->ProcessInnerKeyMessage(Message)) return;
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (container_ != nullptr && container_->DragMode() == dmAutomatic && !container_->IsDesigning()) {
        container_->BeginDrag(false);
        return;
      }
      break;
    case WM_SETFOCUS: {
      TMemo::WndProc(Message);
      const bool fromOwner = container_ != nullptr && container_->HandleAllocated() &&
                             reinterpret_cast<HWND>(Message.WParam) == container_->Handle();
      if (container_ != nullptr && !fromOwner && !ComponentState().Contains(csDestroying))
        static_cast<TuiControl*>(container_)->FocusStateChanged();
      return;
    }
    case WM_KILLFOCUS:
      TMemo::WndProc(Message);
      if (container_ != nullptr && !ComponentState().Contains(csDestroying))
        static_cast<TuiControl*>(container_)->FocusStateChanged();
      return;
    case CN_KEYDOWN:
      if (Message.WParam == VK_ESCAPE) {
        k58::editors::TScopedFlag esc(escProcessing_, true);
        TMemo::WndProc(Message);
        return;
      }
      break;
    case WM_KEYDOWN:
      WMKeyDown(Message);
      return;
    case WM_GETDLGCODE:
      TMemo::WndProc(Message);
      if (GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
      // The form receives Esc.
      if (escProcessing_) Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
      return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
      WMClipboard(Message);
      return;
    case WM_SETTEXT:
      WMSetText(Message);
      return;
    case EM_REPLACESEL:
      EMReplaceSel(Message);
      return;
    case WM_SETFONT:
      TMemo::WndProc(Message);
      if (container_ != nullptr && container_->IsInplace() && HandleAllocated())
        ::SendMessage(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
      return;
    case WM_NCPAINT:
      WMNCPaint(Message);
      return;
    case WM_WINDOWPOSCHANGING:
      TMemo::WndProc(Message);
      if (container_ != nullptr) container_->SyncScrollBars(false);
      return;
    case WM_WINDOWPOSCHANGED:
      if (container_ != nullptr) container_->SyncScrollBars(false);
      break;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    default:
      break;
  }
  TMemo::WndProc(Message);
}

void TuiCustomInnerMemo::DefaultHandler(TMessage& Message) {
  if (container_ != nullptr && container_->HandleInnerDefaultMessage(Message)) return;
  TMemo::DefaultHandler(Message);
}

// ---- Editor -----------------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiCustomMemo) {}

TuiCustomMemo::TuiCustomMemo(TComponent* AOwner) : TuiCustomTextEdit(AOwner) {}

void TuiCustomMemo::BeforeDestruction() {
  // The inner memo goes first, while this editor can still answer what it forwards.
  if (TuiCustomInnerMemo* inner = InnerMemoControl()) {
    SetInnerEdit(nullptr);
    SetInnerControl(nullptr);
    inner->DetachContainer();
    FreeObject(inner);
  }
  TuiCustomTextEdit::BeforeDestruction();
}

IuiCustomInnerEdit* TuiCustomMemo::CreateInnerEdit() { return (new TuiCustomInnerMemo(this))->Helper(); }

TClass TuiCustomMemo::GetPropertiesClass() const { return TuiCustomMemoProperties::StaticClass(); }

void TuiCustomMemo::Initialize() {
  TuiCustomTextEdit::Initialize();
  SetAutoSize(false);
  SetWidth(185);
  SetHeight(89);
}

TStrings* TuiCustomMemo::Lines() const {
  IuiInnerMemo* inner = InnerMemo();
  return inner != nullptr ? inner->GetLines() : nullptr;
}

void TuiCustomMemo::SetLines(TStrings* Value) {
  if (TStrings* lines = Lines()) lines->Assign(Value);
}

bool TuiCustomMemo::IsMemoEditKey(Word Key, TShiftState Shift) {
  TuiCustomMemoProperties* properties = ActiveProperties();
  if (Key == VK_RETURN) return properties->WantReturns() || Shift.Contains(ssCtrl);
  return Key == VK_TAB && properties->WantTabs();
}

bool TuiCustomMemo::IsEditorKey(Word Key, TShiftState Shift) {
  return TuiCustomTextEdit::IsEditorKey(Key, Shift) || IsMemoEditKey(Key, Shift);
}

bool TuiCustomMemo::IsTextInputChar(char AChar) {
  if (TuiCustomTextEdit::IsTextInputChar(AChar)) return true;
  const Word key = AChar == '\r' ? VK_RETURN : AChar == '\t' ? VK_TAB : 0;
  return key != 0 && IsMemoEditKey(key, KeyboardStateToShiftState());
}

void TuiCustomMemo::KeyDown(Word& Key, TShiftState Shift) {
  if (IsInplace() && Key == VK_RETURN) {
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool wantReturns = ActiveProperties()->WantReturns();
    // The memo keeps the line break: straight to the editor's key processing, past the host's.
    if (ctrl != wantReturns) return DoEditKeyDown(Key, Shift);
  }
  TuiCustomTextEdit::KeyDown(Key, Shift);
}

void TuiCustomMemo::DoEditKeyDown(Word& Key, TShiftState Shift) {
  TuiCustomTextEdit::DoEditKeyDown(Key, Shift);
  const bool ctrlOnly = Shift.Contains(ssCtrl) && !Shift.Contains(ssShift) && !Shift.Contains(ssAlt);
  if (Key == 'A' && ctrlOnly) {
    TStrings* lines = Lines();
    if (lines != nullptr && lines->Count() > 0) {
      SelectAll();
      DoAfterKeyDown(Key, Shift);
      Key = 0;
    }
  }
}

void TuiCustomMemo::SetSelText(const String& AText) {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr) return;
  String text = AText;
  const Integer maxLength = ActiveProperties()->MaxLength();
  if (IsUserAction() && maxLength > 0) {
    // Pasted text fits behind what precedes the selection; the memo window's own limit applies as well.
    const Integer room = maxLength - inner->GetSelStart();
    if (room <= 0) return;
    text = Utf8Copy(text, 1, room);
  }
  if (IsUserAction() && !DoEditing()) return;
  inner->SetSelText(text);
  if (IsUserAction()) return;
  SynchronizeEditValue();
  SetModifiedAfterEnter(false);
}

void TuiCustomMemo::ClearSelection() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr || inner->GetSelLength() == 0) return;
  if (IsUserAction() && !DoEditing()) return;
  {
    k58::editors::TScopedFlag clearing(clearing_, true);
    inner->ClearSelection();
  }
  if (IsUserAction()) return;
  SynchronizeEditValue();
  SetModifiedAfterEnter(false);
}

void TuiCustomMemo::CutToClipboard() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr || inner->GetSelLength() == 0) return;
  inner->CopyToClipboard();
  ClearSelection();
}

void TuiCustomMemo::PasteFromClipboard() {
  String clip;
  if (InnerTextEdit() == nullptr || !ReadClipboardText(clip)) return;
  SetSelText(clip);
}

void TuiCustomMemo::ContentChanged(TObject* Sender) {
  TuiCustomTextEdit::ContentChanged(Sender);
  PostSyncScrollBarsMessage();
}

void TuiCustomMemo::PropertiesChanged(TObject* Sender) {
  IuiInnerMemo* inner = InnerMemo();
  if (inner != nullptr && Properties() != nullptr && !IsLoadingOrDestroying()) {
    TuiCustomMemoProperties* properties = ActiveProperties();
    if (inner->GetScrollBars() != properties->ScrollBars()) {
      // The memo's bars and the editor's mirrored ones are made anew.
      inner->SetScrollBars(properties->ScrollBars());
      if (HandleAllocated()) RecreateWnd();
      if (inner->GetControl()->HandleAllocated()) inner->GetControl()->RecreateWnd();
    }
    inner->SetWantReturns(properties->WantReturns());
    inner->SetWantTabs(properties->WantTabs());
    inner->SetWordWrap(properties->WordWrap());
  }
  TuiCustomTextEdit::PropertiesChanged(Sender);
}

void TuiCustomMemo::ScrollContent(TScrollBarKind AKind, TScrollCode ACode, Integer& AScrollPos) {
  TuiCustomInnerMemo* inner = InnerMemoControl();
  if (inner == nullptr || !inner->HandleAllocated()) return;
  const bool horizontal = AKind == sbHorizontal;
  IuiInnerTextEdit* innerEdit = InnerTextEdit();
  if (!horizontal && (ACode == scLineUp || ACode == scLineDown)) {
    innerEdit->CallDefWndProc(EM_LINESCROLL, 0, ACode == scLineUp ? -1 : 1);
  } else {
    TuiControlScrollBar* bar = horizontal ? HScrollBar() : VScrollBar();
    const LPARAM barWindow = bar != nullptr && bar->HandleAllocated() ? reinterpret_cast<LPARAM>(bar->Handle()) : 0;
    innerEdit->CallDefWndProc(horizontal ? WM_HSCROLL : WM_VSCROLL,
                              MAKEWPARAM(static_cast<WORD>(ACode), static_cast<WORD>(AScrollPos)), barWindow);
  }
  AScrollPos = GetScrollPos(inner->Handle(), horizontal ? SB_HORZ : SB_VERT);
  SyncScrollBars(false);
}

void TuiCustomMemo::AdjustInnerEditPosition() {
  TWinControl* inner = InnerControlOfEdit();
  if (inner == nullptr) return;
  TRect r = EditViewInfo()->ClientRect;
  InflateRect(&r, 2, 2);
  if (inner->Left() != r.left || inner->Top() != r.top || inner->Width() != r.right - r.left ||
      inner->Height() != r.bottom - r.top)
    inner->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  AlignControls(inner, r);
}

void TuiCustomMemo::AdjustInnerControlBounds() {
  if (ActiveProperties()->VisibleLineCount() != 0)
    TuiCustomTextEdit::AdjustInnerControlBounds();
  else
    AdjustInnerEditPosition();
}

bool TuiCustomMemo::IsAutoSizeActive() { return !IsInplace() && ActiveProperties()->VisibleLineCount() >= 1; }

void TuiCustomMemo::InitializeViewData(TuiCustomEditViewData* AViewData) {
  TuiCustomTextEdit::InitializeViewData(AViewData);
  // The memo's bars are its own, not the container's.
  AViewData->HScrollBar = nullptr;
  AViewData->VScrollBar = nullptr;
}

// The memo always shows itself, over the whole client area (no single-line text margins).
void TuiCustomMemo::CalculateInnerControlRegion(const TRect& ARect, TWinControl* AControl,
                                                TuiContainerInnerControlRegionInfo& AInfo) {
  TuiCustomEdit::CalculateInnerControlRegion(ARect, AControl, AInfo);
}

void TuiCustomMemo::UpdateInnerEditAppearance() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr) return;
  TWinControl* control = inner->GetControl();
  TuiCustomEditViewInfo* viewInfo = EditViewInfo();
  inner->LockBounds(true);
  try {
    control->SetColor(viewInfo->BackgroundColor);
    TObjectPtr<TFont> font(NewObject<TFont>());
    font->Assign(ActiveEditStyle()->GetVisibleFont());
    font->SetColor(viewInfo->TextColor);
    control->SetFont(font.get());
  } catch (...) {
    inner->LockBounds(false);
    throw;
  }
  inner->LockBounds(false);
}

void TuiCustomMemo::ControlFontChanged() {
  TuiCustomTextEdit::ControlFontChanged();
  SyncScrollBars(false);
}

void TuiCustomMemo::ReadState(TReader* Reader) {
  TuiCustomTextEdit::ReadState(Reader);
  TStrings* lines = Lines();
  if (lines == nullptr || lines->Count() == 0) return;
  Variant value;
  DisplayValueToEditValue(Variant(lines->GetText()), value, IsEditFocused());
  SetStoredEditValue(value);
}

void TuiCustomMemo::CreateParams(TCreateParams& Params) {
  TuiCustomTextEdit::CreateParams(Params);
  Params.WindowClass.style &= ~static_cast<UINT>(CS_VREDRAW);
  const TuiCustomMemoProperties* properties = Properties() != nullptr ? ActiveProperties() : nullptr;
  if (properties != nullptr && (HasHorizontalBar(properties->ScrollBars()) || !properties->WordWrap()))
    Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW);
}

void TuiCustomMemo::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED:
    case WM_NCCALCSIZE:
    case CM_WININICHANGE:
      TuiCustomTextEdit::WndProc(Message);
      PostSyncScrollBarsMessage();
      return;
    case WM_COMMAND: {
      TuiCustomTextEdit::WndProc(Message);
      const WORD code = HIWORD(Message.WParam);
      if (code == EN_HSCROLL || code == EN_VSCROLL) SyncScrollBars(false);
      return;
    }
    default:
      TuiCustomTextEdit::WndProc(Message);
  }
}

// ---- Published memo -------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiMemo) {
  using S = TuiMemo;
  PublishControl(b, {"Align",        "Anchors",      "Constraints",    "DragCursor", "DragKind",    "DragMode",
                     "Enabled",      "ParentShowHint", "PopupMenu",  "ShowHint",    "TabOrder",
                     "TabStop",      "Visible",      "OnClick",        "OnContextPopup", "OnDblClick", "OnDragDrop",
                     "OnDragOver",   "OnEndDock",    "OnEndDrag",      "OnEnter",    "OnExit",      "OnKeyDown",
                     "OnKeyPress",   "OnKeyUp",      "OnMouseDown",    "OnMouseEnter", "OnMouseLeave", "OnMouseMove",
                     "OnMouseUp",    "OnStartDock",  "OnStartDrag"});
  b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Lines", &S::Lines, &S::SetLines);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiMemo::GetPropertiesClass() const { return TuiMemoProperties::StaticClass(); }

namespace k58::editors {
void StartMemoUnit() {
  if (memoUnitCount++ > 0) return;
  GetEditPropertiesRegistry()->Register(TuiMemoProperties::StaticClass(), LocalizeText(uimemoconsts::SMemoDescription));
}

void StopMemoUnit() {
  if (memoUnitCount == 0 || --memoUnitCount > 0) return;
  GetEditPropertiesRegistry()->Unregister(TuiMemoProperties::StaticClass());
}
}  // namespace k58::editors
