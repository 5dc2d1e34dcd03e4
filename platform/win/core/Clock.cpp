#include "platform/win/core/Clock.h"

#include <chrono>
#include <thread>

#include "platform/win/core/CoreInternal.h"

namespace k58::wincore {

namespace {
SystemClock& TheSystemClock() {
  static SystemClock Instance;
  return Instance;
}
std::atomic<PlatformClock*> CurrentClock{nullptr};
}  // namespace

uint64_t SystemClock::Now() const {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

void SystemClock::Sleep(DWORD Milliseconds) {
  if (Milliseconds == 0)
    std::this_thread::yield();
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}

ManualClock::ManualClock(uint64_t StartMilliseconds) : now_(StartMilliseconds * NanosecondsPerMillisecond) {}

void ManualClock::Advance(DWORD Milliseconds) { AdvanceNanoseconds(uint64_t{Milliseconds} * NanosecondsPerMillisecond); }

void ManualClock::AdvanceNanoseconds(uint64_t Nanoseconds) {
  now_.fetch_add(Nanoseconds);
  // Threads waiting for a timer or a time-out measured on this clock look at it again.
  if (CurrentClock.load() == this) WakeAllWaiters();
}

PlatformClock& Clock() {
  PlatformClock* C = CurrentClock.load();
  return C ? *C : TheSystemClock();
}

void SetClock(PlatformClock* Clock) {
  CurrentClock.store(Clock);
  WakeAllWaiters();
}

ScopedManualClock::ScopedManualClock(uint64_t StartMilliseconds)
    : clock_(StartMilliseconds), previous_(CurrentClock.load()) {
  SetClock(&clock_);
}

ScopedManualClock::~ScopedManualClock() { SetClock(previous_); }

}  // namespace k58::wincore
