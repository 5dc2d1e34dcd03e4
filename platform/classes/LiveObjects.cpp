// The live-object registry: numbers for objects that Variants refer to, forgotten when they die.
#include "platform/classes/LiveObjects.h"

#include <mutex>
#include <unordered_map>

#include "platform/rtl/SysUtils.h"

namespace k58::classes {
namespace {

constexpr uint8_t kLiveTracked = 1;
constexpr uint8_t kLiveOwnedSub = 2;
constexpr uint8_t kLiveUserMade = 4;

struct LiveRegistry {
  std::mutex lock;
  std::unordered_map<const TObject*, Word> tags;
  Word next = 0;
};

LiveRegistry& TheLiveRegistry() {
  // Never destroyed: objects may die after static destruction started.
  static LiveRegistry* registry = new LiveRegistry;
  return *registry;
}

Word TagLiveObject(TObject* object) noexcept {
  LiveRegistry& r = TheLiveRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  uint8_t& flags = LiveObjectAccess::Flags(object);
  if ((flags & kLiveTracked) != 0) return r.tags[object];
  // 0 means "not numbered"; a number comes round again only after 65535 others.
  if (++r.next == 0) ++r.next;
  r.tags[object] = r.next;
  flags |= kLiveTracked;
  return r.next;
}

const bool taggerInstalled = (SetVariantObjectTagger(&TagLiveObject), true);

}  // namespace

void ForgetObject(TObject* object) {
  LiveRegistry& r = TheLiveRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  r.tags.erase(object);
}

}  // namespace k58::classes

TObject::~TObject() {
  if ((liveFlags_ & k58::classes::kLiveTracked) != 0) k58::classes::ForgetObject(this);
}

bool VarObjectAlive(const Variant& Value) {
  if (!Value.IsObject()) return true;
  const TObject* object = Value.AsObject();
  const Word tag = Value.ObjectTag();
  if (object == nullptr || tag == 0) return true;
  auto& r = k58::classes::TheLiveRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  const auto it = r.tags.find(object);
  return it != r.tags.end() && it->second == tag;
}

TObject* VarLiveObject(const Variant& Value) {
  if (!VarObjectAlive(Value)) throw EAccessViolation(classesconsts::SObjectFreed);
  return Value.AsObject();
}

void MarkOwnedSubObject(TObject* Object) {
  if (Object != nullptr) LiveObjectAccess::Flags(Object) |= k58::classes::kLiveOwnedSub;
}

bool IsOwnedSubObject(const TObject* Object) {
  return Object != nullptr && (LiveObjectAccess::Flags(Object) & k58::classes::kLiveOwnedSub) != 0;
}

void MarkUserMade(TObject* Object) {
  if (Object != nullptr) LiveObjectAccess::Flags(Object) |= k58::classes::kLiveUserMade;
}

bool IsUserMade(const TObject* Object) {
  return Object != nullptr && (LiveObjectAccess::Flags(Object) & k58::classes::kLiveUserMade) != 0;
}
