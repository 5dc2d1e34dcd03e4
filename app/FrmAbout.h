// The About box: the program's icon and picture, and texts that all come from the language file. A mouse
// press anywhere on it closes it.
#pragma once

#include <array>

#include "platform/forms/Forms.h"

class TImage;
class TLabel;
class TMemo;
class TPanel;

class TfFrmAbout : public TForm {
  K58_CLASS(TfFrmAbout, TForm)

  static constexpr Integer Labels = 9;

  explicit TfFrmAbout(TComponent* AOwner);
  ~TfFrmAbout() override;

  TPanel* pAbout = nullptr;
  TImage* ImApp = nullptr;
  TImage* ImAbout = nullptr;
  std::array<TLabel*, Labels> Label{};  // Label1 .. Label9
  TMemo* Memo1 = nullptr;

  void FormShow(TObject* Sender);
  // The form, its panel, labels and pictures: a press closes the box.
  void AboutMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, Integer X, Integer Y);

 protected:
  void Loaded() override;
};

extern TfFrmAbout* fFrmAbout;

// Runs the About box modally over the main window.
void ShowAbout();
