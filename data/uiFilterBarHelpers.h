// Filter edit helpers of the progress bar and the track bar: a filter value of either is typed into a spin
// editor with two buttons, limited to the bar's range; the track bar's page size is the large step.
//
// Threads: GUI thread only.
#pragma once

#include "data/uiFilterControlUtils.h"

class TuiFilterProgressBarHelper : public TuiFilterSpinEditHelper {
  K58_CLASS(TuiFilterProgressBarHelper, TuiFilterSpinEditHelper)

  TuiFilterProgressBarHelper() = default;

  void InitializeProperties(TuiCustomEditProperties* AProperties, TuiCustomEditProperties* ASourceProperties,
                            bool AKeepButtons) override;
};

class TuiFilterTrackBarHelper : public TuiFilterSpinEditHelper {
  K58_CLASS(TuiFilterTrackBarHelper, TuiFilterSpinEditHelper)

  TuiFilterTrackBarHelper() = default;

  void InitializeProperties(TuiCustomEditProperties* AProperties, TuiCustomEditProperties* ASourceProperties,
                            bool AKeepButtons) override;
};
