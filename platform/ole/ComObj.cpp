// The in-process registry of automation object factories.
#include "platform/ole/ComObj.h"

#include <mutex>
#include <vector>

#include "platform/rtl/Strings.h"

namespace {

struct Registration {
  String ProgID;
  TOleObjectFactory Factory;
};

std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
}

std::vector<Registration>& Registry() {
  static std::vector<Registration> registry;
  return registry;
}

}  // namespace

void RegisterOleObject(const String& ProgID, TOleObjectFactory Factory) {
  std::lock_guard<std::mutex> guard(RegistryLock());
  std::vector<Registration>& registry = Registry();
  for (auto it = registry.begin(); it != registry.end(); ++it) {
    if (AnsiSameText(it->ProgID, ProgID)) {
      registry.erase(it);
      break;
    }
  }
  if (Factory) registry.push_back(Registration{ProgID, std::move(Factory)});
}

void UnregisterOleObject(const String& ProgID) { RegisterOleObject(ProgID, TOleObjectFactory()); }

Variant CreateOleObject(const String& ClassName) {
  TOleObjectFactory factory;
  {
    std::lock_guard<std::mutex> guard(RegistryLock());
    for (const Registration& registration : Registry()) {
      if (AnsiSameText(registration.ProgID, ClassName)) factory = registration.Factory;
    }
  }
  if (!factory) throw EOleSysError(comconsts::SInvalidClassString, CO_E_CLASSSTRING);
  IDispatch* object = factory();
  if (object == nullptr) throw EOleSysError(comconsts::SInvalidClassString, CO_E_CLASSSTRING);
  Variant result = Variant::FromDispatch(object);
  object->Release();
  return result;
}
