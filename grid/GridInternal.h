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

}  // namespace k58::grid
