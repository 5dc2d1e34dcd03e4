// Synchronize calls of the class library's threads run on the main thread's message loop.
#include "platform/win/core/CoreInternal.h"

namespace wincore {

void RunSynchronizeCalls() {}

}  // namespace wincore
