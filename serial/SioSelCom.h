// The "Select Port" dialog the port component shows when it is opened without a port number: it lists
// the ports that can be opened (and those held by other programs) and answers the chosen number.
#pragma once

#include "platform/forms/Forms.h"

class TComboBox;

class TComSelectForm : public TForm {
  K58_CLASS(TComSelectForm, TForm)

  explicit TComSelectForm(TComponent* AOwner);

  // Probe through a temporary dispatcher, as the port itself opens devices.
  bool ProbeWithDispatcher = true;
  // List a port whose open is refused because another program holds it.
  bool ListPortsInUse = true;

  TComboBox* PortsComboBox = nullptr;

  // Fills the list with the ports 1 to 50 that ProbePort accepts and selects the first.
  void FormCreate(TObject* Sender);
  // The number of the chosen entry ("COM12" gives 12); 0 when nothing is chosen.
  Integer SelectedPortNumber() const;
  // Whether port N can be opened, or is held by another program (with ListPortsInUse).
  bool ProbePort(Integer N) const;
};
