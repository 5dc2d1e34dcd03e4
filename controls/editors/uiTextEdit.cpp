// The text editor: value and inner text in step, selection and clipboard, incremental search and lookup
// navigation, digit grouping while typing, window-text messages, and the published TuiTextEdit.
#include "controls/editors/uiTextEdit.h"

#include <algorithm>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ControlsPublish.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/Utf.h"
#include "platform/win/builtin/CommCtrl.h"
#include "platform/win/ui/WinClipboard.h"

bool ReadClipboardText(String& AText) {
  if (!IsClipboardFormatAvailable(CF_TEXT) && !IsClipboardFormatAvailable(CF_UNICODETEXT)) return false;
  if (!OpenClipboard(nullptr)) return false;
  bool got = false;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const auto* text = static_cast<const char*>(GlobalLock(data))) {
      const size_t max = GlobalSize(data);
      size_t length = 0;
      while (length < max && text[length] != '\0') ++length;
      AText.assign(text, length);
      GlobalUnlock(data);
      got = true;
    }
  }
  CloseClipboard();
  return got;
}

namespace {

// The number of UTF-8 bytes the character starting with ALead takes.
size_t Utf8SequenceLength(unsigned char ALead) {
  if (ALead >= 0xF0) return 4;
  if (ALead >= 0xE0) return 3;
  if (ALead >= 0xC0) return 2;
  return 1;
}

// AText without its last character.
String WithoutLastChar(const String& AText) {
  const Integer length = Utf8Length(AText);
  return length > 0 ? Utf8Copy(AText, 1, length - 1) : String();
}

// AText cut to at most ACount characters.
String FirstChars(const String& AText, Integer ACount) { return Utf8Copy(AText, 1, std::max<Integer>(ACount, 0)); }

String CharsFrom(const String& AText, Integer AIndex) { return Utf8Copy(AText, AIndex + 1, Utf8Length(AText)); }

// Marks the editor's changes as the user's for a scope.
class UserActionScope {
 public:
  explicit UserActionScope(TuiCustomEdit& AEdit) : edit_(AEdit), saved_(AEdit.IsUserAction()) { AEdit.SetUserAction(true); }
  ~UserActionScope() { edit_.SetUserAction(saved_); }
  UserActionScope(const UserActionScope&) = delete;
  UserActionScope& operator=(const UserActionScope&) = delete;

 private:
  TuiCustomEdit& edit_;
  bool saved_;
};

bool SameEditValue(const Variant& A, const Variant& B) {
  if (A.Type() == varBoolean || B.Type() == varBoolean) return VarToStr(A) == VarToStr(B);
  return A.Type() == B.Type() && AreVariantsEqual(A, B);
}

}  // namespace

// Hears the format controller (locale formats changed).
class TuiCustomTextEdit::FormatListener : public IuiFormatControllerListener {
 public:
  explicit FormatListener(TuiCustomTextEdit* AEdit) : edit_(AEdit) {}
  void FormatChanged() override { edit_->PropertiesChangedAndSync(); }

 private:
  TuiCustomTextEdit* edit_;
};

K58_IMPLEMENT_CLASS(TuiCustomTextEdit) {
  using S = TuiCustomTextEdit;
  b.Prop("BeepOnEnter", &S::BeepOnEnter, &S::SetBeepOnEnter).Default(true);
}

// ---- Construction and lifetime ---------------------------------------------------------------------------

TuiCustomTextEdit::TuiCustomTextEdit(TComponent* AOwner) : TuiCustomEdit(AOwner) {}

TuiCustomTextEdit::TuiCustomTextEdit(TComponent* AOwner, TuiContainerStyleClass AStyleClass)
    : TuiCustomEdit(AOwner, AStyleClass) {}

void TuiCustomTextEdit::Initialize() {
  TuiCustomEdit::Initialize();
  beepOnEnter_ = true;
  lookupMatch_ = false;
  if (TWinControl* inner = InnerControlOfEdit()) inner->SetColor(clWindow);
  SetWidth(121);
  SetHeight(21);
  if (TClass lookupDataClass = ActiveProperties()->GetLookupDataClass()) {
    lookupData_ = TuiCustomTextEditLookupData::CreateOfClass(lookupDataClass, this);
    lookupData_->SetOnSelectItem([this](TObject* Sender) { ApplySelectedLookupItem(Sender); });
  }
  formatListener_ = std::make_unique<FormatListener>(this);
  GetFormatController()->AddListener(formatListener_.get());
}

void TuiCustomTextEdit::BeforeDestruction() {
  if (Properties() != nullptr) GetEditingText(savedText_);
  // Freeing the focused inner edit moves the focus away; an editor on its way out does not validate then.
  Destroying();
  // The inner edit goes first, while this editor can still answer what it forwards.
  if (auto* inner = dynamic_cast<TuiCustomInnerTextEdit*>(InnerControlOfEdit())) {
    SetInnerEdit(nullptr);
    SetInnerControl(nullptr);
    inner->DetachContainer();
    FreeObject(inner);
  }
  TuiCustomEdit::BeforeDestruction();
}

TuiCustomTextEdit::~TuiCustomTextEdit() {
  if (formatListener_ != nullptr) GetFormatController()->RemoveListener(formatListener_.get());
  formatListener_.reset();
  FreeAndNil(lookupData_);
}

IuiCustomInnerEdit* TuiCustomTextEdit::CreateInnerEdit() { return (new TuiCustomInnerTextEdit(this))->Helper(); }

TClass TuiCustomTextEdit::GetPropertiesClass() const { return TuiCustomTextEditProperties::StaticClass(); }

TWinControl* TuiCustomTextEdit::LookupListControl() const {
  if (lookupData_ == nullptr) return nullptr;
  return lookupData_->GetActiveControl();
}

String TuiCustomTextEdit::GetLookupOwnerText() {
  String text;
  GetDisplayText(text);
  return text;
}

Integer TuiCustomTextEdit::CurrentLookupKey() const { return lookupData_ != nullptr ? lookupData_->CurrentKey() : -1; }

bool TuiCustomTextEdit::CanEditValue() { return ActiveProperties()->GetTextMode() != temNoCursor; }

// ---- Display and edit value --------------------------------------------------------------------------------

void TuiCustomTextEdit::GetDisplayText(String& AText) {
  AText.clear();
  if (IuiInnerTextEdit* inner = InnerTextEdit()) {
    Variant value;
    inner->GetEditValue(value);
    AText = VarToStr(value);
  }
}

void TuiCustomTextEdit::DisplayValueToEditValue(const Variant& ADisplayValue, Variant& AEditValue, bool) {
  AEditValue = ADisplayValue;
}

void TuiCustomTextEdit::AssignDisplayValue(const Variant& AValue) {
  if (IuiInnerTextEdit* inner = InnerTextEdit()) inner->SetEditValue(AValue);
}

bool TuiCustomTextEdit::TrySetDisplayText(const String& AText) {
  Variant value(AText);
  const bool accepted =
      ActiveProperties()->AdjustTextValue(value, IsEditFocused()) && (!IsUserAction() || DoEditing());
  if (accepted) SetInternalDisplayValue(value);
  return accepted;
}

void TuiCustomTextEdit::SetInternalDisplayValue(const Variant& AValue) {
  DataBinding()->SetDisplayValue(AValue);
  if (IsUserAction()) return;
  ClearLookupMatch();
  SynchronizeEditValue();
  SetModifiedAfterEnter(false);
}

void TuiCustomTextEdit::InternalSetDisplayValue(const Variant& AValue) {
  if (ActiveProperties()->GetTextMode() == temFree && IsLookupDataUsed() && !lookupData_->IsKnownText(VarToStr(AValue)))
    DoNewLookupDisplayText(VarToStr(AValue));
  TuiCustomEdit::InternalSetDisplayValue(AValue);
}

void TuiCustomTextEdit::DoNewLookupDisplayText(const String& AText) {
  if (Properties()->OnNewLookupDisplayText().Assigned()) Properties()->OnNewLookupDisplayText()(this, AText);
  if (RepositoryItem() != nullptr && ActiveProperties()->OnNewLookupDisplayText().Assigned())
    ActiveProperties()->OnNewLookupDisplayText()(this, AText);
}

void TuiCustomTextEdit::SynchronizeDisplayValue() {
  TuiCustomTextEditProperties* properties = ActiveProperties();
  Variant display;
  if (properties->CanValidate()) {
    Variant value = EditValue();
    const bool focused = IsEditFocused();
    const bool valid = properties->IsEditValueValid(value, focused);
    if (valid) {
      PrepareDisplayValue(value, display, focused);
    } else if (focused) {
      properties->GetEmptyDisplayValue(display);
    } else {
      try {
        display = Variant(value.Type() == varDate ? DateTimeToStr(value.AsDateTime()) : VarToStr(value));
      } catch (const EVariantError&) {
        // A value with no text form shows as empty.
        display = Variant(String());
      }
    }
  } else {
    PrepareDisplayValue(EditValue(), display, IsEditFocused());
  }
  SaveModified();
  try {
    k58::editors::TScopedFlag sync(displaySync_, true);
    DataBinding()->SetDisplayValue(display);
  } catch (...) {
    RestoreModified();
    throw;
  }
  RestoreModified();
  ClearLookupMatch();
  UpdateDrawValue();
}

void TuiCustomTextEdit::SynchronizeEditValue() {
  TuiCustomTextEditProperties* properties = ActiveProperties();
  const bool tracking = properties->IsValueChangeTrackedByStore();
  const Variant old = tracking ? EditValue() : Null();
  String text;
  GetDisplayText(text);
  Variant value;
  DisplayValueToEditValue(Variant(text), value, IsEditFocused());
  SetStoredEditValue(value);
  const bool changed = tracking && !(old.Type() == value.Type() && AreVariantsEqual(old, value));
  if (IsUserAction())
    SetModified(true);
  else
    SetModifiedAfterEnter(false);
  if (!changed) return;
  NotifyEditValueChanged();
  if (!properties->AreChangeEventsSeparate()) NotifyChange();
}

void TuiCustomTextEdit::SetEditingText(const String& AText) {
  if (!DoEditing()) return;
  SetText(AText);
  SetModified(true);
}

bool TuiCustomTextEdit::IsUnboundStandalone() {
  if (IsInplace()) return false;
  IuiEditDefaultValuesProvider* provider = DataBinding()->DefaultValuesProvider();
  return provider == nullptr || !provider->IsDataAware();
}

void TuiCustomTextEdit::ValidateListText() {
  if (InnerTextEdit() == nullptr) return;
  TuiCustomTextEditProperties* properties = ActiveProperties();
  const Byte mode = properties->GetTextMode();
  if (mode == temEditFixedList || mode == temFixedList) {
    if (Modified() || IsUnboundStandalone()) {
      String text;
      GetDisplayText(text);
      Variant value(text);
      if (!properties->AdjustTextValue(value, IsEditFocused())) {
        Variant empty;
        properties->GetEmptyDisplayValue(empty);
        SaveModified();
        try {
          DataBinding()->SetDisplayValue(empty);
        } catch (...) {
          RestoreModified();
          throw;
        }
        RestoreModified();
        if (!Modified()) SynchronizeEditValue();
      }
    } else {
      SynchronizeDisplayValue();
    }
  } else if (!Modified()) {
    DataBinding()->UpdateDisplayValue();
  }
}

void TuiCustomTextEdit::PropertiesChangedAndSync() {
  ActiveProperties()->Changed();
  SynchronizeDisplayValue();
}

void TuiCustomTextEdit::CheckValueLimits() {
  TuiCustomTextEditProperties* properties = ActiveProperties();
  if (DataBinding()->IsInDesignMode() && properties->HasRangeCheck() && InnerTextEdit() != nullptr &&
      properties->HasValueRange())
    ApplyValueLimits();
}

void TuiCustomTextEdit::PropertiesChanged(TObject* Sender) {
  if (Properties() == nullptr) return;
  TuiCustomTextEditProperties* properties = ActiveProperties();
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner != nullptr) inner->SetAlignment(properties->Alignment()->Horz());
  if (IsLookupDataUsed()) {
    lookupData_->PropertiesChanged();
    if (!keyFromLookup_) lookupData_->TextChanged();
  }
  if (inner == nullptr) return;
  if (!ShowsInnerEdit()) UpdateDrawValue();
  imeMode_ = properties->ImeMode();
  imeName_ = properties->ImeName();
  inner->SetAlignment(properties->Alignment()->Horz());
  inner->SetAutoSelect(properties->AutoSelect() && !IsInplace());
  inner->SetCharCase(properties->CharCase());
  inner->SetEchoMode(properties->EchoMode());
  inner->SetHideSelection(properties->HideSelection());
  inner->SetImeMode(properties->ImeMode());
  inner->SetImeName(properties->ImeName());
  inner->SetMaxLength(properties->MaxLength());
  inner->SetOEMConvert(properties->OEMConvert());
  inner->SetPasswordChar(properties->PasswordChar());
  CheckValueLimits();
  if (!IsPosting()) ValidateListText();
  UpdateDrawValue();
  TuiCustomEdit::PropertiesChanged(Sender);
  inner->GetControl()->Invalidate();
}

void TuiCustomTextEdit::ContentChanged(TObject* Sender) {
  LockChangeEvents(true);
  try {
    TuiCustomEdit::ContentChanged(Sender);
    if (!ShowsInnerEdit()) UpdateDrawValue();
    TuiCustomTextEditProperties* properties = ActiveProperties();
    if (IsEditFocused() && properties->HasRangeCheck() && properties->IsThousandSeparatorUsed(displaySync_))
      RegroupDigits();
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

// Puts the thousand separators back where typing moved the digits, keeping the caret after the same digit.
void TuiCustomTextEdit::RegroupDigits() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr) return;
  const String text = inner->GetControl()->Text();
  String grouped = text;
  InsertThousandSeparators(grouped);
  if (!IsNumericText(grouped) || grouped == text) return;
  const char separator = FormatSettings.ThousandSeparator;
  const String beforeCaret = FirstChars(text, inner->GetSelStart());
  const auto digits = static_cast<Integer>(std::count_if(beforeCaret.begin(), beforeCaret.end(), [separator](char c) { return c != separator; }));
  inner->SetEditValue(Variant(grouped));
  Integer caret = 0, seen = 0;
  const Integer length = Utf8Length(grouped);
  while (caret < length && seen < digits) {
    if (Utf8Copy(grouped, caret + 1, 1) != String(1, separator)) ++seen;
    ++caret;
  }
  inner->SetSelStart(caret);
}

// ---- Selection and clipboard ------------------------------------------------------------------------------

Integer TuiCustomTextEdit::SelStart() {
  const Byte mode = ActiveProperties()->GetTextMode();
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr || mode == temNoCursor || (mode == temFixedList && !lookupMatch_)) return 0;
  return inner->GetSelStart();
}

Integer TuiCustomTextEdit::SelLength() {
  const Byte mode = ActiveProperties()->GetTextMode();
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr || mode == temNoCursor || (mode == temFixedList && !lookupMatch_)) return 0;
  return inner->GetSelLength();
}

String TuiCustomTextEdit::SelText() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  return inner != nullptr ? inner->GetSelText() : String();
}

void TuiCustomTextEdit::SetSelStart(Integer Value) {
  if (ActiveProperties()->GetTextMode() == temNoCursor) return;
  if (IuiInnerTextEdit* inner = InnerTextEdit()) inner->SetSelStart(Value);
}

void TuiCustomTextEdit::SetSelLength(Integer Value) {
  if (ActiveProperties()->GetTextMode() == temNoCursor) return;
  if (IuiInnerTextEdit* inner = InnerTextEdit()) inner->SetSelLength(Value);
}

void TuiCustomTextEdit::SetSelection(Integer AStart, Integer ALength) {
  SetSelStart(AStart);
  SetSelLength(ALength);
}

void TuiCustomTextEdit::SelectAll() {
  if (IuiInnerTextEdit* inner = InnerTextEdit()) inner->SelectAll();
}

void TuiCustomTextEdit::SetSelText(const String& AText) {
  String text;
  Integer selStart = 0;
  if (!CanChangeEditText(AText, text, selStart)) return;
  SetInternalDisplayValue(Variant(text));
  SetSelStart(selStart);
}

Integer TuiCustomTextEdit::GetCaretCharIndex() {
  auto* inner = dynamic_cast<TuiCustomInnerTextEdit*>(InnerControlOfEdit());
  if (inner == nullptr || !inner->HandleAllocated()) return 0;
  return static_cast<Integer>(::SendMessage(inner->Handle(), EM_GETCARETINDEX, 0, 0));
}

bool TuiCustomTextEdit::CanChangeEditText(const String& AText, String& ANewText, Integer& ANewSelStart) {
  TuiCustomTextEditProperties* properties = ActiveProperties();
  const Byte mode = properties->GetTextMode();
  if (IsUserAction() && mode == temNoCursor) return false;
  if (mode >= temFixedList) SelectAll();
  String text;
  GetDisplayText(text);
  IuiInnerTextEdit* inner = InnerTextEdit();
  const Integer selStart = inner != nullptr ? inner->GetSelStart() : 0;
  const Integer selLength = inner != nullptr ? inner->GetSelLength() : 0;
  const Integer maxLength = properties->MaxLength();
  if (IsUserAction() && mode == temFree && maxLength > 0) {
    // The limit counts characters; text typed or pasted past it is cut, and nothing is allowed when the
    // caret would end left of where it is.
    ANewText = FirstChars(text, selStart) + AText;
    const Integer caret = std::min<Integer>(Utf8Length(ANewText), maxLength);
    if (caret < selStart) return false;
    ANewText = FirstChars(ANewText + CharsFrom(text, selStart + selLength), maxLength);
    ANewSelStart = caret;
  } else {
    ANewText = mode == temFixedList ? AText : FirstChars(text, selStart) + AText + CharsFrom(text, selStart + selLength);
    ANewSelStart = selStart + Utf8Length(AText);
  }
  Variant value(ANewText);
  const bool allowed = properties->AdjustTextValue(value, IsEditFocused()) && (!IsUserAction() || DoEditing());
  if (allowed) ANewText = VarToStr(value);
  return allowed;
}

void TuiCustomTextEdit::CopyToClipboard() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr) return;
  if (ActiveProperties()->GetTextMode() >= temFixedList) SelectAll();
  // Password text never reaches the clipboard.
  if (ActiveProperties()->EchoMode() == eemPassword) return;
  if (inner->GetSelLength() > 0) inner->CopyToClipboard();
}

void TuiCustomTextEdit::CutToClipboard() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr || inner->GetSelLength() == 0) return;
  if (ActiveProperties()->EchoMode() == eemPassword) return;
  if (IsUserAction()) {
    String text;
    Integer selStart = 0;
    if (CanChangeEditText(String(), text, selStart)) inner->CallDefWndProc(WM_CUT, 0, 0);
  } else {
    inner->CopyToClipboard();
    SetSelText(String());
  }
}

void TuiCustomTextEdit::PasteFromClipboard() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  String clip;
  if (inner == nullptr || !ReadClipboardText(clip)) return;
  if (IsUserAction()) {
    String text;
    Integer selStart = 0;
    if (CanChangeEditText(clip, text, selStart)) inner->CallDefWndProc(WM_PASTE, 0, 0);
  } else {
    SetSelText(clip);
  }
}

void TuiCustomTextEdit::DeleteSelectedText() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr || inner->GetSelLength() == 0) return;
  const Integer selStart = inner->GetSelStart();
  String text;
  GetDisplayText(text);
  if (TrySetDisplayText(FirstChars(text, selStart) + CharsFrom(text, selStart + inner->GetSelLength())))
    SetSelStart(selStart);
}

// ---- Lookup -----------------------------------------------------------------------------------------------

void TuiCustomTextEdit::SetLookupMatch(bool AValue) {
  if (!HandleAllocated() || lookupMatch_ == AValue) return;
  lookupMatch_ = AValue;
  CalculateViewInfoAtCursorPos();
  UpdateDrawValue();
}

void TuiCustomTextEdit::ClearLookupMatch() {
  if (IsLookupDataUsed()) SetLookupMatch(false);
}

void TuiCustomTextEdit::LookupKeyToEditValue(const Variant& AKey, Variant& AEditValue) {
  String text;
  if (lookupData_ != nullptr) lookupData_->GetDisplayText(AKey, text);
  DisplayValueToEditValue(Variant(text), AEditValue, false);
}

Integer TuiCustomTextEdit::LookupKeyToItemIndex(const Variant& AKey) {
  return VarIsNull(AKey) || AKey.IsEmpty() ? -1 : AKey.AsInteger();
}

Integer TuiCustomTextEdit::GetItemIndex() {
  return lookupData_ != nullptr ? LookupKeyToItemIndex(lookupData_->GetCurrentKey()) : -1;
}

void TuiCustomTextEdit::SetItemIndex(Integer Value) {
  if (lookupData_ == nullptr) return;
  const Integer old = GetItemIndex();
  LockClick(true);
  try {
    Variant key;
    LookupIndexToKey(Value, key);
    lookupData_->SetCurrentKey(key);
    Variant value;
    LookupKeyToEditValue(lookupData_->GetCurrentKey(), value);
    if (!SameEditValue(value, EditValue())) SetEditValue(value);
  } catch (...) {
    LockClick(false);
    throw;
  }
  LockClick(false);
  if (GetItemIndex() != old) {
    SetModifiedAfterEnter(false);
    Click();
  }
}

void TuiCustomTextEdit::ApplySelectedLookupItem(TObject*) {
  Variant value;
  LookupKeyToEditValue(lookupData_->GetCurrentKey(), value);
  const bool changed = !SameEditValue(value, EditValue());
  if (changed && !DoEditing()) return;
  SaveModified();
  try {
    InternalSetEditValue(value, false);
  } catch (...) {
    RestoreModified();
    throw;
  }
  RestoreModified();
  if (changed) SetModified(true);
  SelectAll();
  UpdateAtCursorPos(false);
}

void TuiCustomTextEdit::NavigateLookup(TuiLookupDataGoDirection ADirection) {
  LockChangeEvents(true);
  try {
    k58::editors::TScopedFlag navigating(lookupNavigation_, true);
    const Integer old = CurrentLookupKey();
    LockClick(true);
    try {
      lookupData_->Navigate(ADirection, false);
    } catch (...) {
      LockClick(false);
      throw;
    }
    LockClick(false);
    if (CurrentLookupKey() != old) {
      SetModifiedAndClick();
      if (CanPostEditValue() && ActiveProperties()->ImmediatePost() && ValidateEdit(true)) PostEditValue(false);
    }
  } catch (...) {
    LockChangeEvents(false);
    throw;
  }
  LockChangeEvents(false);
}

bool TuiCustomTextEdit::DoMouseWheel(TShiftState Shift, Integer WheelDelta, TPoint MousePos) {
  if (TuiCustomEdit::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!CanUseLookupList(true) || HasPopupWindow() || !IsLookupDataUsed() || lookupData_->IsEmpty() ||
      !CanHandleMouseWheel(Shift))
    return false;
  if (DoEditing()) NavigateLookup(WheelDelta > 0 ? ldPrevious : ldNext);
  return true;
}

// ---- Keys -------------------------------------------------------------------------------------------------

bool TuiCustomTextEdit::IsEditorKey(Word Key, TShiftState Shift) {
  if (TuiCustomEdit::IsEditorKey(Key, Shift) || Key == VK_DELETE) return true;
  if (!IsLookupDataUsed() || lookupData_->IsEmpty() || !CanUseLookupList(false) || HasPopupWindow()) return false;
  if (Key == VK_PRIOR || Key == VK_NEXT) return true;
  return (Key == VK_UP || Key == VK_DOWN) && !Shift.Contains(ssAlt);
}

bool TuiCustomTextEdit::IsTextInputChar(char AChar) {
  const auto c = static_cast<unsigned char>(AChar);
  return c == 8 || c == 22 || c == 24 || c >= 32;
}

void TuiCustomTextEdit::DoEditKeyDown(Word& Key, TShiftState Shift) {
  const Byte mode = ActiveProperties()->GetTextMode();
  if (mode == temFixedList && (Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DELETE)) {
    SetLookupMatch(false);
    DoAfterKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner != nullptr) inner->SetKeyInProgress(true);
  const Word key = Key;
  const bool wasMatch = lookupMatch_;
  TuiCustomEdit::DoEditKeyDown(Key, Shift);
  if (key == VK_RETURN && wasMatch) SelectAll();
  if (Key >= VK_PRIOR && Key <= VK_DELETE) {
    switch (Key) {
      case VK_LEFT:
      case VK_RIGHT:
        if (!Shift.Contains(ssShift) && SelLength() > 0) {
          const Integer caret = Key == VK_LEFT ? SelStart() : SelStart() + SelLength();
          SetSelStart(caret);
          Key = 0;
        }
        SetLookupMatch(false);
        break;
      case VK_DELETE:
        if (mode == temEditFixedList) {
          DoAfterKeyDown(Key, Shift);
          Key = 0;
        } else {
          SetLookupMatch(false);
        }
        break;
      case VK_PRIOR:
      case VK_NEXT:
      case VK_UP:
      case VK_DOWN:
      case VK_HOME:
      case VK_END: {
        const bool homeOrEnd = Key == VK_HOME || Key == VK_END;
        if (homeOrEnd && mode != temFixedList) break;
        if (IsLookupDataUsed() && CanUseLookupList(false) && !lookupData_->IsEmpty()) {
          TuiLookupDataGoDirection direction = ldNext;
          switch (Key) {
            case VK_PRIOR: direction = Shift.Contains(ssCtrl) ? ldFirst : ldPageUp; break;
            case VK_NEXT: direction = Shift.Contains(ssCtrl) ? ldLast : ldPageDown; break;
            case VK_END: direction = ldLast; break;
            case VK_HOME: direction = ldFirst; break;
            case VK_UP: direction = ldPrevious; break;
            default: direction = ldNext; break;
          }
          NavigateLookup(direction);
          Key = 0;
        } else if (!homeOrEnd && !(inner != nullptr && inner->GetMultiLine())) {
          // A single-line editor never passes these keys to the native control.
          DoAfterKeyDown(Key, Shift);
          Key = 0;
        }
        break;
      }
      default:
        break;
    }
  }
  if (Key == VK_END && SelLength() == 0 && mode != temFixedList) lookupMatch_ = false;
  if (Key != 0 && inner != nullptr) inner->SetKeyInProgress(false);
}

bool TuiCustomTextEdit::Search(String& S) {
  String text = S, tail;
  const bool found = lookupData_->Locate(text, tail, false);
  if (found) S = text;
  lookupMatch_ = found;
  if (S.empty()) {
    if (ActiveProperties()->GetTextMode() != temFixedList) SetInternalDisplayValue(Variant(String()));
    lookupMatch_ = false;
  }
  if (found) {
    IuiInnerTextEdit* inner = InnerTextEdit();
    inner->SetEditValue(Variant(S + tail));
    inner->SetSelStart(Utf8Length(S));
    inner->SetSelLength(Utf8Length(tail));
  }
  UpdateDrawValue();
  return found;
}

void TuiCustomTextEdit::DoEditKeyPress(char& Key) {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner != nullptr) inner->SetKeyInProgress(true);
  TuiCustomEdit::DoEditKeyPress(Key);
  if (Key == 0) return;
  // A character of several bytes is searched as a whole, at its last byte.
  const auto byte = static_cast<unsigned char>(Key);
  String character(1, Key);
  if (byte >= 0x80) {
    if (byte >= 0xC0) pendingCharBytes_.clear();
    pendingCharBytes_ += Key;
    if (pendingCharBytes_.size() < Utf8SequenceLength(static_cast<unsigned char>(pendingCharBytes_[0]))) return;
    character = pendingCharBytes_;
    pendingCharBytes_.clear();
  }
  keyFromLookup_ = false;
  TuiCustomTextEditProperties* properties = ActiveProperties();
  const Byte mode = properties->GetTextMode();
  bool found = false;
  {
    UserActionScope userAction(*this);
    if (mode == temFixedList && Key == 8 && !properties->FixedListSelection()) {
      lookupMatch_ = false;
      Key = 0;
      return;
    }
    const Integer oldKey = CurrentLookupKey();
    const bool wasMatch = lookupMatch_;
    LockClick(true);
    try {
      const bool searchActive = IsLookupDataUsed() && ((mode == temFree && properties->IncrementalSearch()) ||
                                                       mode == temEditFixedList || mode == temFixedList);
      String text;
      GetDisplayText(text);
      if (Key == 8 && searchActive) {
        if (mode == temEditFixedList && !text.empty() && !lookupMatch_) {
          const Integer caret = inner->GetSelStart();
          inner->SetSelStart(caret);
          inner->SetSelLength(Utf8Length(text) - caret);
          lookupMatch_ = true;
        }
        if (lookupMatch_) {
          String s = WithoutLastChar(FirstChars(text, inner->GetSelStart()));
          keyFromLookup_ = true;
          found = Search(s);
        }
        if (mode == temFixedList) Key = 0;
      } else if (byte >= 32 && searchActive) {
        const Integer selStart = SelStart(), selLength = SelLength();
        const bool allowed = mode == temEditFixedList || mode == temFixedList || selLength > 0 || lookupMatch_ ||
                             inner->GetSelStart() == Utf8Length(text);
        if (allowed) {
          keyFromLookup_ = true;
          String s;
          if (selLength > 0) {
            s = FirstChars(text, selStart) + character;
          } else if (mode != temFixedList) {
            const Integer caret = inner->GetSelStart();
            s = FirstChars(text, caret) + character + CharsFrom(text, caret);
          } else if (lookupMatch_) {
            s = text + character;
            found = Search(s);
            if (!found) s = character;
          } else {
            s = character;
          }
          if (!found) found = Search(s);
          if (mode == temFixedList && !properties->FixedListSelection() && !found) {
            s = character;
            found = Search(s);
          }
        }
      }
      if ((mode == temEditFixedList || mode == temFixedList) && !found && (Key == 8 || byte >= 32)) {
        Key = 0;
        GetDisplayText(text);
        const bool matchBefore = lookupMatch_;
        if (mode == temEditFixedList && !text.empty()) lookupMatch_ = true;
        if (mode == temFixedList && properties->FixedListSelection() && wasMatch) lookupMatch_ = true;
        // The painted selection follows a match that came back.
        if (lookupMatch_ != matchBefore) UpdateDrawValue();
      }
    } catch (...) {
      LockClick(false);
      throw;
    }
    LockClick(false);
    if (CurrentLookupKey() != oldKey) SetModifiedAndClick();
  }
  if (found) Key = 0;
  if (Key != 0 && inner != nullptr) inner->SetKeyInProgress(false);
}

void TuiCustomTextEdit::KeyPress(char& Key) {
  if (Key == 27 && IsEscConsumed() && enterEscSwallow_ && !HasPopupWindow()) enterEscSwallow_ = false;
  TuiCustomEdit::KeyPress(Key);
}

// ---- Layout and painting ------------------------------------------------------------------------------------

bool TuiCustomTextEdit::ShowsInnerEdit() {
  if (ActiveProperties()->GetTextMode() >= temFixedList || InnerTextEdit() == nullptr || IsDesigning()) return false;
  return IsActiveControl() || ActiveProperties()->Alignment()->Horz() == taLeftJustify;
}

Integer TuiCustomTextEdit::GetTextHeight() {
  TWinControl* inner = InnerControlOfEdit();
  HDC dc = GetDC(0);
  TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.SetFont(inner != nullptr ? inner->Font() : Font());
  const Integer height = canvas.TextHeight("Zg");
  canvas.SetHandle(0);
  ReleaseDC(0, dc);
  return height;
}

void TuiCustomTextEdit::AdjustInnerEditPosition() {
  TWinControl* inner = InnerControlOfEdit();
  if (inner == nullptr || positioning_) return;
  k58::editors::TScopedFlag positioning(positioning_, true);
  const Integer height = GetTextHeight();
  TRect r = EditViewInfo()->ClientRect;
  TRect offsets{};
  {
    std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(CreateViewData());
    offsets = viewData->State.ContentOffsets;
  }
  Integer top = r.top + offsets.top;
  switch (ActiveProperties()->Alignment()->Vert()) {
    case taBottomJustify:
      top = r.bottom - height - offsets.bottom;
      break;
    case taVCenter:
      top = r.top + offsets.top + (r.bottom - r.top - height - offsets.top - offsets.bottom) / 2;
      break;
    default:
      break;
  }
  top = std::max<Integer>(top, r.top + offsets.top);
  const Integer left = r.left + offsets.left;
  const Integer width = r.right - r.left - offsets.left - offsets.right + 1;
  if (inner->Left() != left || inner->Top() != top || inner->Width() != width || inner->Height() != height)
    inner->SetBounds(left, top, width, height);
  if (IsInplace()) InflateRect(&r, 0, -1);
  AlignControls(inner, r);
}

void TuiCustomTextEdit::CalculateInnerControlRegion(const TRect& ARect, TWinControl* AControl,
                                                    TuiContainerInnerControlRegionInfo& AInfo) {
  if (!ShowsInnerEdit()) {
    // The view info draws the text; the inner edit keeps the focus behind an empty region.
    AInfo.IsWholeControlVisible = false;
    AInfo.VisibleRect = TRect{};
    return;
  }
  TuiCustomEdit::CalculateInnerControlRegion(ARect, AControl, AInfo);
  if (!IsInplace() && EditViewInfo()->NativeStyle && ActiveProperties()->GetTextMode() < temFixedList) {
    if (AInfo.IsWholeControlVisible) AInfo.VisibleRect = TRect{0, 0, AControl->Width(), AControl->Height()};
    AInfo.VisibleRect.right -= 1;
    AInfo.VisibleRect.bottom -= 1;
    AInfo.IsWholeControlVisible = false;
  }
}

void TuiCustomTextEdit::InitEditSizeProperties(TSize& ASizeProperties) {
  if (EditViewInfo() != nullptr) ASizeProperties = TSize{-1, 1};
}

bool TuiCustomTextEdit::IsValidChar(char AChar) {
  if (TuiCustomEdit::IsValidChar(AChar)) return true;
  TuiCustomTextEditProperties* properties = ActiveProperties();
  if (properties->ValidChars()[static_cast<unsigned char>(AChar)]) return true;
  bool isCurrency = false, isFieldText = false;
  String format;
  properties->GetEditFormatInfo(isCurrency, isFieldText, format, this);
  return !format.empty() || isFieldText;
}

bool TuiCustomTextEdit::RefreshAtPoint(const TPoint& P, Byte AButton, TShiftState AShift, bool AIsMouseEvent) {
  if (!HandleAllocated() || ComponentState().Contains(csDestroying)) return false;
  const bool changed = TuiCustomEdit::RefreshAtPoint(P, AButton, AShift, AIsMouseEvent);
  if (changed) UpdateInnerEditAppearance();
  SetDoubleBuffered(!ShowsInnerEdit());
  return changed;
}

void TuiCustomTextEdit::UpdateInnerEditAppearance() {
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr) return;
  TWinControl* control = inner->GetControl();
  TuiCustomEditViewInfo* viewInfo = EditViewInfo();
  inner->LockBounds(true);
  try {
    if (control->Color() != viewInfo->BackgroundColor) control->SetColor(viewInfo->BackgroundColor);
    TFont* visible = ActiveEditStyle()->GetVisibleFont();
    TFont* font = control->Font();
    if (font->Name() != visible->Name() || font->Size() != visible->Size() || font->Style() != visible->Style() ||
        font->Color() != viewInfo->TextColor) {
      TObjectPtr<TFont> copy(NewObject<TFont>());
      copy->Assign(visible);
      copy->SetColor(viewInfo->TextColor);
      control->SetFont(copy.get());
    }
  } catch (...) {
    inner->LockBounds(false);
    throw;
  }
  inner->LockBounds(false);
}

void TuiCustomTextEdit::UpdateDrawValue() {
  auto* viewInfo = dynamic_cast<TuiCustomTextEditViewInfo*>(EditViewInfo());
  if (viewInfo == nullptr || Properties() == nullptr) return;
  {
    std::unique_ptr<TuiCustomEditViewData, TObjectDeleter> viewData(CreateViewData());
    String text;
    GetDisplayText(text);
    if (auto* textViewData = dynamic_cast<TuiCustomTextEditViewData*>(viewData.get()))
      textViewData->DisplayValueToDrawValue(Variant(text), viewInfo);
  }
  if (!HandleAllocated()) return;
  CalculateViewInfoAtCursorPos();
  TuiCustomTextEditProperties* properties = ActiveProperties();
  const Byte mode = properties->GetTextMode();
  if (mode >= temFixedList) {
    if (mode == temNoCursor || !lookupMatch_ || !properties->FixedListSelection()) {
      viewInfo->SelLength = 0;
    } else if (viewInfo->WholeFieldHighlight) {
      viewInfo->SelStart = 0;
      viewInfo->SelLength = Utf8Length(viewInfo->Text) - SelLength();
      viewInfo->SelTextColor = clHighlight;
      viewInfo->SelBackgroundColor = clHighlightText;
    } else {
      viewInfo->SelStart = SelStart();
      viewInfo->SelLength = SelLength();
      viewInfo->SelTextColor = clHighlightText;
      viewInfo->SelBackgroundColor = clHighlight;
    }
    viewInfo->RowsPrepared = false;
  }
  InvalidateRect(Handle(), &viewInfo->ClientRect, FALSE);
}

// ---- Focus, activation, subclassing ---------------------------------------------------------------------------

void TuiCustomTextEdit::Activate(TuiCustomEditData*& AEditData) {
  TuiCustomEdit::Activate(AEditData);
  if (!HandleAllocated()) return;
  if (IuiInnerTextEdit* inner = InnerTextEdit()) inner->SetSelStart(0);
  if (ActiveProperties()->AutoSelect()) SelectAll();
}

void TuiCustomTextEdit::InnerEditWindowProc(TMessage& Message) {
  if (Message.Msg == WM_SETFOCUS) {
    IuiInnerTextEdit* inner = InnerTextEdit();
    if (inner != nullptr && inner->GetAutoSelect()) inner->SelectAll();
    return;
  }
  TuiCustomEdit::InnerEditWindowProc(Message);
}

void TuiCustomTextEdit::UnsubclassInnerEdit() {
  TuiCustomEdit::UnsubclassInnerEdit();
  IuiInnerTextEdit* inner = InnerTextEdit();
  if (inner == nullptr || !inner->GetControl()->HandleAllocated()) return;
  const bool autoSelect = inner->GetAutoSelect();
  inner->SetAutoSelect(false);
  try {
    ::SendMessage(inner->GetControl()->Handle(), WM_SETFOCUS, 0, 0);
  } catch (...) {
    inner->SetAutoSelect(autoSelect);
    throw;
  }
  inner->SetAutoSelect(autoSelect);
}

void TuiCustomTextEdit::DoExit() {
  if (ComponentState().Contains(csDestroying)) return;
  TuiCustomEdit::DoExit();
  lookupMatch_ = false;
}

void TuiCustomTextEdit::Loaded() {
  TuiCustomEdit::Loaded();
  UpdateAtCursorPos(false);
}

// ---- Window-text messages -----------------------------------------------------------------------------------

String TuiCustomTextEdit::MessageText() {
  if (Properties() == nullptr || InnerTextEdit() == nullptr) return savedText_;
  String text;
  GetEditingText(text);
  return text;
}

void TuiCustomTextEdit::WMGetText(TMessage& Message) {
  const auto capacity = static_cast<Integer>(Message.WParam);
  auto* buffer = reinterpret_cast<char*>(Message.LParam);
  if (capacity < 1 || buffer == nullptr) {
    Message.Result = 0;
    return;
  }
  const String text = MessageText();
  // Cut at a character boundary so no half character is handed out.
  size_t length = std::min<size_t>(text.size(), static_cast<size_t>(capacity - 1));
  while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  std::copy_n(text.data(), length, buffer);
  buffer[length] = '\0';
  Message.Result = static_cast<LRESULT>(length);
}

void TuiCustomTextEdit::WMSetText(TMessage& Message) {
  if (textMessageGuard_ || Properties() == nullptr) {
    TuiCustomEdit::WndProc(Message);
    return;
  }
  k58::editors::TScopedFlag guard(textMessageGuard_, true);
  const auto* text = reinterpret_cast<const char*>(Message.LParam);
  Message.Result = SetEditingValue(text != nullptr ? String(text) : String()) ? 1 : 0;
}

void TuiCustomTextEdit::WMClear(TMessage& Message) {
  Message.Result = 0;
  if (Properties() == nullptr || ActiveProperties()->ReadOnly() || !IsDataAvailable()) return;
  UserActionScope userAction(*this);
  DeleteSelectedText();
}

void TuiCustomTextEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLEAR:
      WMClear(Message);
      return;
    case WM_GETTEXT:
      WMGetText(Message);
      return;
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(MessageText().size());
      return;
    case WM_SETTEXT:
      WMSetText(Message);
      return;
    default:
      TuiCustomEdit::WndProc(Message);
  }
}

// ---- Published text editor ------------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TuiTextEdit) {
  using S = TuiTextEdit;
  PublishControl(b, {"Anchors",      "Constraints",  "DragCursor",     "DragKind",  "DragMode",    "Enabled",
                     "ParentColor",  "ParentFont",   "ParentShowHint", "PopupMenu", "ShowHint",    "TabOrder",
                     "TabStop",      "Text",         "Visible",        "OnClick",   "OnContextPopup",
                     "OnDblClick",   "OnDragDrop",   "OnDragOver",     "OnEndDock", "OnEndDrag",   "OnEnter",
                     "OnExit",       "OnKeyDown",    "OnKeyPress",     "OnKeyUp",   "OnMouseDown", "OnMouseEnter",
                     "OnMouseLeave", "OnMouseMove",  "OnMouseUp",      "OnStartDock", "OnStartDrag"});
  b.Prop("ImeMode", &S::ImeMode, &S::SetImeMode).Default(imDontCare);
  b.Prop("ImeName", &S::ImeNameValue, &S::SetImeName);
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}

TClass TuiTextEdit::GetPropertiesClass() const { return TuiTextEditProperties::StaticClass(); }
