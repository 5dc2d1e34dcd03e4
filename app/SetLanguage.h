// The language dialog: the languages of "SysInfo.Ini" by their display names. OK with another language
// makes it current; the caller then applies it.
#pragma once

#include "platform/forms/Forms.h"

class TuiComboBox;
class TListBox;

class TfSetLanguage : public TForm {
  K58_CLASS(TfSetLanguage, TForm)

  explicit TfSetLanguage(TComponent* AOwner);

  TuiComboBox* cbLanguage = nullptr;  // display names
  TListBox* LanguageList = nullptr; // the "Language" list box: language file names

  // The user chose another language (LanguageName and LanguageIndex are set).
  bool Changed = false;

  void FormShow(TObject* Sender);
  void btnOkClick(TObject* Sender);
};

extern TfSetLanguage* fSetLanguage;
