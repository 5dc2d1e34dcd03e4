// Fuzz target of the script engine's XML reader: any bytes either load or raise "Invalid file format";
// what loads is written and loads back with the same elements, and the stream stops within its data.
#include <cstdint>
#include <vector>

#include "script/sc_xml.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

// The names of all elements, depth first, without recursion.
std::vector<String> Names(TscXMLItem* Root) {
  std::vector<String> names;
  std::vector<TscXMLItem*> work{Root};
  while (!work.empty()) {
    TscXMLItem* item = work.back();
    work.pop_back();
    names.push_back(item->Name());
    for (Integer i = item->Count() - 1; i >= 0; --i) work.push_back(item->Items(i));
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TStringStream stream(String(reinterpret_cast<const char*>(Data), Size));
  TscXMLDocument document;
  try {
    document.LoadFromStream(&stream);
  } catch (const Exception& error) {
    K58_FUZZ_CHECK(error.Message() == "Invalid file format");
    return 0;
  }
  K58_FUZZ_CHECK(stream.Position() >= 0 && stream.Position() <= static_cast<Int64>(Size));
  // Attribute values decode or raise the conversion error.
  for (TscXMLItem* item = document.Root(); item != nullptr; item = item->Count() > 0 ? item->Items(0) : nullptr) {
    try {
      item->Prop("text");
    } catch (const EConvertError&) {
    }
  }
  TStringStream saved;
  document.SaveToStream(&saved);
  TStringStream again(saved.DataString());
  TscXMLDocument reloaded;
  reloaded.LoadFromStream(&again);
  K58_FUZZ_CHECK(again.Position() == again.Size());
  K58_FUZZ_CHECK(Names(reloaded.Root()) == Names(document.Root()));
  return 0;
}
