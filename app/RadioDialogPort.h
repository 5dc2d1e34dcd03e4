// The radio port over a dialog's own port component. Kept apart from the dialogs so that code seeing the
// port component need not see the class library's forms.
#pragma once

#include <memory>

#include "app/RadioLink.h"

class TComponent;

// The port component named Name on Owner, driven as the radio's port (the component stays Owner's).
// Raises when there is no port component of that name.
std::unique_ptr<IRadioPort> DialogRadioPort(TComponent* Owner, const String& Name);
