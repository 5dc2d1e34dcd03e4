// The test properties classes and repository items, described for streaming.
#include "platform/classes/ClassBuilder.h"
#include "tests/controls/editors/EditTesting.h"

K58_IMPLEMENT_CLASS(TTestTextProperties) {
  using S = TTestTextProperties;
  b.Prop("Alignment", &S::Alignment, &S::SetAlignment);
  b.Prop("AssignedValues", &S::AssignedValues, &S::SetAssignedValues);
  b.Prop("BeepOnError", &S::BeepOnError, &S::SetBeepOnError).Default(false);
  b.Prop("Buttons", &S::Buttons, &S::SetButtons);
  b.Prop("ClickKey", &S::ClickKey, &S::SetClickKey).Default(DefaultClickKey);
  b.Prop("ReadOnly", &S::ReadOnly, &S::SetReadOnly).Stored(&S::IsReadOnlyStored);
  b.Prop("ValidateOnEnter", &S::ValidateOnEnter, &S::SetValidateOnEnter).Default(false);
}
K58_IMPLEMENT_CLASS(TTestComboProperties) {}
K58_IMPLEMENT_CLASS(TTestCurrencyProperties) {}

K58_IMPLEMENT_CLASS(TTestTextRepositoryItem) {
  using S = TTestTextRepositoryItem;
  b.Prop("Properties", &S::Properties, &S::SetProperties);
}
K58_IMPLEMENT_CLASS(TTestCurrencyRepositoryItem) {}

K58_IMPLEMENT_CLASS(TTestEdit) {}

TTestInnerEdit::TTestInnerEdit(TTestEdit* AEdit) : TEdit(AEdit), edit_(AEdit) { SetTabStop(false); }

TuiContainer* TTestInnerEdit::GetControlContainer() { return edit_; }

void TTestInnerEdit::KeyDown(Word& Key, TShiftState Shift) {
  edit_->KeyDown(Key, Shift);
  if (Key != 0) TEdit::KeyDown(Key, Shift);
}

void TTestInnerEdit::KeyPress(char& Key) {
  edit_->KeyPress(Key);
  if (Key == 0) return;
  CharsReceived.push_back(static_cast<unsigned char>(Key));
  TEdit::KeyPress(Key);
}

void TTestInnerEdit::WndProc(TMessage& Message) {
  TEdit::WndProc(Message);
  // As an editor's inner edit does: its focus changes are the editor's, except focus handed over by the
  // editor's own window.
  const bool fromEditor = Message.Msg == WM_SETFOCUS && edit_->HandleAllocated() &&
                          reinterpret_cast<HWND>(Message.WParam) == edit_->Handle();
  if ((Message.Msg == WM_SETFOCUS && !fromEditor) || Message.Msg == WM_KILLFOCUS)
    static_cast<TuiControl*>(edit_)->FocusStateChanged();
}

void TTestInnerEdit::KeyUp(Word& Key, TShiftState Shift) {
  edit_->KeyUp(Key, Shift);
  if (Key != 0) TEdit::KeyUp(Key, Shift);
}

TClass TTestEdit::GetPropertiesClass() const { return TTestTextProperties::StaticClass(); }

TTestTextProperties* TTestEdit::TextProperties() const { return static_cast<TTestTextProperties*>(Properties()); }

void TTestEdit::SynchronizeDisplayValue() {
  if (Inner() == nullptr) return;
  const bool saved = syncing_;
  syncing_ = true;
  Inner()->SetText(VarToStr(EditValue()));
  syncing_ = saved;
}

void TTestEdit::AssignDisplayValue(const Variant& AValue) {
  if (Inner() == nullptr) return;
  const bool saved = syncing_;
  syncing_ = true;
  Inner()->SetText(VarToStr(AValue));
  syncing_ = saved;
}
