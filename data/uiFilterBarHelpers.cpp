// Filter edit helpers of the progress bar and the track bar.
#include "data/uiFilterBarHelpers.h"

#include "controls/editors/uiSpinEdit.h"
#include "controls/extra/uiProgressBar.h"
#include "controls/extra/uiTrackBar.h"
#include "platform/classes/ClassBuilder.h"

namespace {

// The spin editor's two step buttons, which the copy of a bar's properties (having none) removed.
TuiCustomSpinEditProperties* AddSpinButtons(TuiCustomEditProperties* AProperties) {
  AProperties->Buttons()->Add();
  AProperties->Buttons()->Add();
  return dynamic_cast<TuiCustomSpinEditProperties*>(AProperties);
}

}  // namespace

K58_IMPLEMENT_CLASS(TuiFilterProgressBarHelper) {}
K58_IMPLEMENT_CLASS(TuiFilterTrackBarHelper) {}

void TuiFilterProgressBarHelper::InitializeProperties(TuiCustomEditProperties* AProperties,
                                                      TuiCustomEditProperties* ASourceProperties, bool AKeepButtons) {
  TuiFilterSpinEditHelper::InitializeProperties(AProperties, ASourceProperties, AKeepButtons);
  TuiCustomSpinEditProperties* spin = AddSpinButtons(AProperties);
  auto* bar = dynamic_cast<TuiCustomProgressBarProperties*>(ASourceProperties);
  if (spin == nullptr || bar == nullptr) return;
  spin->SetMinValue(bar->Min());
  spin->SetMaxValue(bar->Max());
}

void TuiFilterTrackBarHelper::InitializeProperties(TuiCustomEditProperties* AProperties,
                                                   TuiCustomEditProperties* ASourceProperties, bool AKeepButtons) {
  TuiFilterSpinEditHelper::InitializeProperties(AProperties, ASourceProperties, AKeepButtons);
  TuiCustomSpinEditProperties* spin = AddSpinButtons(AProperties);
  auto* bar = dynamic_cast<TuiCustomTrackBarProperties*>(ASourceProperties);
  if (spin == nullptr || bar == nullptr) return;
  spin->SetMinValue(bar->Min());
  spin->SetMaxValue(bar->Max());
  spin->SetLargeIncrement(bar->PageSize());
}
