// The analog clock face beside the time editor of the date-time calendar: twelve hour marks, hour and
// minute hands and a second hand. It shows a time of day and takes no input.
//
// Threads: GUI thread only. Coordinates: client pixels; angles grow clockwise from 3 o'clock.
#pragma once

#include "controls/foundation/Foundation.h"

class TuiClock : public TuiControl {
  K58_CLASS(TuiClock, TuiControl)

  explicit TuiClock(TComponent* AOwner);

  // Only the time of day is kept (a date part, before or after the epoch, is dropped).
  TDateTime Time() const { return time_; }
  void SetTime(TDateTime Value);
  // Kept and repainted on change; the face reads no colour from it.
  TColor MinuteDotColor() const { return minuteDotColor_; }
  void SetMinuteDotColor(TColor Value);

 protected:
  void Paint() override;

 private:
  TDateTime time_ = 0;
  TColor minuteDotColor_ = clWindow;
};
