// The port dialog: twenty radio buttons COM1 to COM20, those of the ports that can be opened enabled,
// the current port checked. OK makes the checked port current.
#pragma once

#include <array>

#include "platform/forms/Forms.h"

class TComboBox;
class TLabel;
class TuiGroupBox;
class TuiRadioButton;

class TfSetPort : public TForm {
  K58_CLASS(TfSetPort, TForm)

  static constexpr Integer PortButtons = 20;

  explicit TfSetPort(TComponent* AOwner);

  TuiGroupBox* uiPort = nullptr;
  std::array<TuiRadioButton*, PortButtons> uiPorts{};  // uiPort1 .. uiPort20
  TLabel* lbName = nullptr;                          // the label "Port:"
  TComboBox* cbCom = nullptr;                        // the ports that can be opened

  void FormShow(TObject* Sender);
  void btnOkClick(TObject* Sender);

 protected:
  void Loaded() override;
};

extern TfSetPort* fSetPort;
