// Helpers shared by the grid's source files.
#pragma once

namespace k58::grid {

// Sets a flag for the lifetime of the object and restores it afterwards, also on failure.
class FlagSaver {
 public:
  FlagSaver(bool& flag, bool value) : flag_(flag), saved_(flag) { flag = value; }
  ~FlagSaver() { flag_ = saved_; }
  FlagSaver(const FlagSaver&) = delete;
  FlagSaver& operator=(const FlagSaver&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

// Runs a rollback step inside a handler that goes on to rethrow the failure it handles, and drops a
// failure of the rollback itself: the first failure is the one to report, a second would replace it.
template <class F>
void RollBackQuietly(F&& step) noexcept {
  try {
    step();
  } catch (...) {
    // Dropped: see above.
  }
}

}  // namespace k58::grid
