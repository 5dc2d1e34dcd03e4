// Small shared pieces of the serial component: the millisecond clock and 55 ms tick timers, the
// one-message pump, and flag and file helpers.
#pragma once

#include "platform/rtl/TextFile.h"
#include "platform/rtl/Types.h"

// Milliseconds of the platform's high-resolution counter (32 bits, wrapping).
Cardinal MsClock();

// Ticks are 55 ms of MsClock. TickLimit is the longest timer (just under 2^31 ms).
inline constexpr Integer TickLimit = 39045157;
struct TTickTimer {
  Integer StartTicks = 0;
  Integer ExpireTicks = 0;
};
void NewTimer(TTickTimer& T, Integer Ticks);
bool TimerExpired(const TTickTimer& T);

// Handles at most one waiting message of the calling thread; a WM_QUIT it takes is posted again so that the
// main loop still ends.
void PumpMessage();

// -1 when Flags has any bit of Bit set, else 0.
inline Integer FlagSet(Cardinal Flags, Cardinal Bit) { return (Flags & Bit) != 0 ? -1 : 0; }
inline void* OffsetPointer(void* P, Integer N) { return static_cast<char*>(P) + N; }
// -1 when the named file exists, else 0.
Integer FileExistsZ(const char* Name);

// Binds a text file of the run-time library to a name.
inline void AssignTextFile(TextFile& F, const String& Name) { AssignFile(F, Name); }
