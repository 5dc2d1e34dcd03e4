// A read-only stream over a fuzz input, without a copy: a read past the input's last byte is a fault the
// address sanitizer reports instead of landing in a copy's spare capacity.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/classes/Streams.h"

class TFuzzInputStream : public TCustomMemoryStream {
 public:
  TFuzzInputStream(const uint8_t* Data, size_t Size) {
    SetPointer(const_cast<uint8_t*>(Data), static_cast<Int64>(Size));
  }
  Integer Write(const void*, Integer) override { return 0; }
};
