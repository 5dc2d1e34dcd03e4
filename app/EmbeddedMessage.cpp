#include "app/EmbeddedMessage.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "controls/editors/uiTextEdit.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/rtl/SysUtils.h"

TfEmbeddedMessage* fEmbeddedMessage = nullptr;

K58_IMPLEMENT_CLASS(TfEmbeddedMessage) {
  b.Field("edEMA", &TfEmbeddedMessage::edEMA);
  b.Field("edEMB", &TfEmbeddedMessage::edEMB);
  b.Method("FormShow", &TfEmbeddedMessage::FormShow);
  b.Method("edEMAKeyPress", &TfEmbeddedMessage::edEMAKeyPress);
}

char FilterMessageKey(char Key) {
  constexpr char Backspace = 8;
  constexpr char Enter = 13;
  if (Key == ',' || Key == '.') Key = FormatSettings.DecimalSeparator;
  const bool Accepted = Key == Backspace || Key == Enter || Key == ' ' || (Key >= '0' && Key <= '9') ||
                        (Key >= 'A' && Key <= 'Z') || (Key >= 'a' && Key <= 'z') ||
                        Key == FormatSettings.DecimalSeparator;
  return Accepted ? Key : 0;
}

TfEmbeddedMessage::TfEmbeddedMessage(TComponent* AOwner) : TForm(AOwner) {}

TfEmbeddedMessage::~TfEmbeddedMessage() {
  if (fEmbeddedMessage == this) fEmbeddedMessage = nullptr;
}

void TfEmbeddedMessage::FormShow(TObject*) {
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, true);
}

void TfEmbeddedMessage::edEMAKeyPress(TObject*, char& Key) { Key = FilterMessageKey(Key); }

void ShowEmbeddedMessage() {
  TObjectPtr<TfEmbeddedMessage> Dialog(fEmbeddedMessage = NewObject<TfEmbeddedMessage>(Application));
  Dialog->ShowModal();
}
