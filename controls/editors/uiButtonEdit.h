// The button edit: the masked editor with embedded buttons, starting with one ellipsis button. A form
// resource holds the complete button list, which replaces that default button instead of adding to it.
//
// Threads: GUI thread only.
#pragma once

#include "controls/editors/uiMaskEdit.h"

namespace uibuttoneditconsts {
inline constexpr const char* SButtonEditDescription = "ButtonEdit|Represents an edit control with embedded buttons";
}  // namespace uibuttoneditconsts

// The button event of the editor base, described for streaming (OnButtonClick is published here).
K58_EVENT_TYPE(TuiEditButtonClickEvent, void(TObject* Sender, Integer AButtonIndex))

class TuiCustomButtonEditProperties : public TuiCustomMaskEditProperties {
  K58_CLASS(TuiCustomButtonEditProperties, TuiCustomMaskEditProperties)

  TuiCustomButtonEditProperties();
  TClass GetEditClass() const override;
};

class TuiButtonEditProperties : public TuiCustomButtonEditProperties {
  K58_CLASS(TuiButtonEditProperties, TuiCustomButtonEditProperties)
};

class TuiCustomButtonEdit : public TuiCustomMaskEdit {
  K58_CLASS(TuiCustomButtonEdit, TuiCustomMaskEdit)

  explicit TuiCustomButtonEdit(TComponent* AOwner) : TuiCustomMaskEdit(AOwner) {}
  TuiCustomButtonEditProperties* ActiveProperties() {
    return static_cast<TuiCustomButtonEditProperties*>(TuiCustomEdit::ActiveProperties());
  }
  TuiCustomButtonEditProperties* Properties() const {
    return static_cast<TuiCustomButtonEditProperties*>(TuiCustomEdit::Properties());
  }
  TClass GetPropertiesClass() const override;
};

class TuiButtonEdit : public TuiCustomButtonEdit {
  K58_CLASS(TuiButtonEdit, TuiCustomButtonEdit)

  explicit TuiButtonEdit(TComponent* AOwner) : TuiCustomButtonEdit(AOwner) {}
  TuiButtonEditProperties* Properties() const {
    return static_cast<TuiButtonEditProperties*>(TuiCustomEdit::Properties());
  }
  void SetProperties(TuiButtonEditProperties* Value) { TuiCustomEdit::SetProperties(Value); }
  TClass GetPropertiesClass() const override;
  TImeName ImeNameValue() const { return ImeName(); }

 protected:
  // The first read drops the default button of the own and the active Properties.
  void ReadState(TReader* Reader) override;

 private:
  bool buttonsCleared_ = false;
};

namespace k58::editors {
void StartButtonEditUnit();
void StopButtonEditUnit();
}  // namespace k58::editors
