// The multimedia timer calls in use: the millisecond clock and the timer-resolution requests.
#pragma once

#include "platform/rtl/WinTypes.h"

using MMRESULT = UINT;

inline constexpr MMRESULT TIMERR_NOERROR = 0;
inline constexpr MMRESULT TIMERR_NOCANDO = 97;  // TIMERR_BASE + 1

// Milliseconds of the platform clock, the same count as GetTickCount.
DWORD timeGetTime();
// Requests for a finer timer resolution. The platform clock already has millisecond resolution, so
// they only check their argument.
MMRESULT timeBeginPeriod(UINT uPeriod);
MMRESULT timeEndPeriod(UINT uPeriod);
