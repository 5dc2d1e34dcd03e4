// The source of time of the windowing layer. Every clock reading (GetTickCount, timeGetTime,
// QueryPerformanceCounter), every window timer and every time-out of a message wait goes through the
// current platform clock. The system clock follows the monotonic clock of the machine; a manual clock
// stands still until it is advanced, so tests drive timers and time-outs without sleeping.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/rtl/WinTypes.h"

namespace k58::wincore {

class PlatformClock {
public:
  virtual ~PlatformClock() = default;
  // Monotonic time in nanoseconds.
  virtual uint64_t Now() const = 0;
  // Lets Milliseconds pass for the calling thread: the system clock sleeps, a manual clock advances.
  virtual void Sleep(DWORD Milliseconds) = 0;
  // True when time only moves when the clock is told to; waits then have no real-time limit and are
  // woken when the clock moves.
  virtual bool IsManual() const = 0;
};

class SystemClock final : public PlatformClock {
public:
  uint64_t Now() const override;
  void Sleep(DWORD Milliseconds) override;
  bool IsManual() const override { return false; }
};

class ManualClock final : public PlatformClock {
public:
  explicit ManualClock(uint64_t StartMilliseconds = 0);
  uint64_t Now() const override { return now_.load(); }
  // Sleep advances the clock instead of blocking.
  void Sleep(DWORD Milliseconds) override { Advance(Milliseconds); }
  bool IsManual() const override { return true; }

  void Advance(DWORD Milliseconds);
  void AdvanceNanoseconds(uint64_t Nanoseconds);

private:
  std::atomic<uint64_t> now_;
};

// The clock in use (the system clock unless one was installed).
PlatformClock& Clock();
// Installs Clock as the platform clock; nullptr goes back to the system clock. The caller keeps
// ownership and must keep the clock alive while it is installed.
void SetClock(PlatformClock* Clock);

// Installs a manual clock for the lifetime of the object (tests).
class ScopedManualClock {
public:
  explicit ScopedManualClock(uint64_t StartMilliseconds = 0);
  ~ScopedManualClock();
  ScopedManualClock(const ScopedManualClock&) = delete;
  ScopedManualClock& operator=(const ScopedManualClock&) = delete;

  ManualClock& operator*() { return clock_; }
  ManualClock* operator->() { return &clock_; }

private:
  ManualClock clock_;
  PlatformClock* previous_;
};

inline constexpr uint64_t NanosecondsPerMillisecond = 1000000;

}  // namespace k58::wincore
