// The table of resources embedded in the program (filled at start-up by the code that
// cmake/Resources.cmake generates) and the stream that reads them.
#include <map>
#include <mutex>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

// Any non-null value: the resources of every library live in the one executable.
HINSTANCE HInstance = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000));

namespace {

struct ResourceTable {
  std::mutex lock;
  std::map<std::pair<String, String>, TResourceData> entries;  // (type, name) in canonical form
};

ResourceTable& Table() {
  static ResourceTable table;
  return table;
}

}  // namespace

String ResourceKey(Integer id) { return "#" + IntToStr(id); }

String ResourceKey(const String& nameOrType) {
  String upper = UpperCase(nameOrType);
  static const std::pair<const char*, Integer> knownTypes[] = {
      {"CURSOR", 1}, {"BITMAP", 2}, {"ICON", 3}, {"RCDATA", 10}, {"GROUP_CURSOR", 12}, {"GROUP_ICON", 14}};
  for (const auto& [name, id] : knownTypes) {
    if (upper == name) return ResourceKey(id);
  }
  // "#0010" and "#10" are the same number.
  if (upper.size() > 1 && upper[0] == '#') {
    Integer id = 0;
    if (TryStrToInt(upper.substr(1), id) && id >= 0) return ResourceKey(id);
  }
  return upper;
}

void RegisterResource(const char* Type, const char* Name, const Byte* Data, size_t Size) {
  ResourceTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  table.entries.emplace(std::make_pair(ResourceKey(String(Type)), ResourceKey(String(Name))),
                        TResourceData{Data, Size});
}

const TResourceData* FindResourceData(HINSTANCE, const String& Name, const String& Type) {
  ResourceTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  auto it = table.entries.find(std::make_pair(ResourceKey(Type), ResourceKey(Name)));
  return it == table.entries.end() ? nullptr : &it->second;
}

K58_IMPLEMENT_CLASS(TResourceStream) {}

TResourceStream::TResourceStream(HINSTANCE Instance, const String& ResName, const String& ResType) {
  const TResourceData* data = FindResourceData(Instance, ResName, ResType);
  if (data == nullptr) throw EResNotFound(Format(SResNotFound, ResName));
  // The bytes are never written: Write refuses.
  SetPointer(const_cast<Byte*>(data->Data), static_cast<Int64>(data->Size));
}

TResourceStream* TResourceStream::CreateFromID(HINSTANCE Instance, Integer ResID, const String& ResType) {
  return new TResourceStream(Instance, ResourceKey(ResID), ResType);
}

Integer TResourceStream::Write(const void*, Integer) { throw EStreamError(SCantWriteResourceStreamError); }
