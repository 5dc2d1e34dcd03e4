#include "platform/rtl/Exception.h"

#include "platform/rtl/RtlConsts.h"

void Abort() { throw EAbort(rtlconsts::SOperationAborted); }

void OutOfMemoryError() { throw EOutOfMemory(rtlconsts::SOutOfMemory); }
