// Fuzz target of the variant stream reader: any bytes either read as one item or raise "Stream read
// error"; what was read writes without error, and writing what that reads back gives the same bytes.
#include <cstdint>
#include <vector>

#include "controls/foundation/uiVariants.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

std::vector<uint8_t> Written(const Variant& V) {
  TMemoryStream stream;
  WriteVariantToStream(&stream, V);
  const auto* p = static_cast<const uint8_t*>(stream.Memory());
  return std::vector<uint8_t>(p, p + stream.Size());
}

Variant Read(const uint8_t* Data, size_t Size, Int64& Used) {
  TFuzzInputStream stream(Data, Size);
  Variant v = ReadVariantFromStream(&stream);
  Used = stream.Position();
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  Variant value;
  Int64 used = 0;
  try {
    value = Read(Data, Size, used);
  } catch (const EReadError&) {
    return 0;
  }
  K58_FUZZ_CHECK(used >= 1 && used <= static_cast<Int64>(Size));
  const std::vector<uint8_t> first = Written(value);
  Int64 again = 0;
  const Variant back = Read(first.data(), first.size(), again);
  K58_FUZZ_CHECK(again == static_cast<Int64>(first.size()));
  K58_FUZZ_CHECK(Written(back) == first);
  CompareVariants(value, back);
  return 0;
}
