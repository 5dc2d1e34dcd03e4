#include "platform/classes/Object.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

TClass TObject::StaticClass() {
  static const ClassInfo info("TObject", nullptr, [](ClassInfo& i) { ClassBuilder<TObject> b(i); });
  return &info;
}

static const ClassRegistration registerTObject(&TObject::StaticClass);

String TObject::ClassName() const { return ClassType()->Name(); }

TClass TObject::ClassParent() const { return ClassType()->Parent(); }

bool TObject::InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }

bool TObject::GetInterface(const TGUID& IID, void** Obj) {
  void* result = ClassType()->GetInterface(this, IID);
  if (Obj != nullptr) *Obj = result;
  return result != nullptr;
}

void FreeObject(TObject* object) {
  if (object == nullptr) return;
  object->BeforeDestruction();
  delete object;
}

void RaiseInvalidCast() { throw EInvalidCast(rtlconsts::SInvalidCast); }

// ---- ClassInfo ----

ClassInfo::ClassInfo(const char* name, TClass parent, void (*describe)(ClassInfo&))
    : name_(name), parent_(parent), describe_(describe) {}

void ClassInfo::Describe() const {
  std::call_once(described_, [this] {
    if (parent_) parent_->Describe();
    // Only the mutable members change: the description was left for now.
    auto& self = const_cast<ClassInfo&>(*this);
    if (describe_) describe_(self);
    self.Finish();
  });
}

ClassInfo::~ClassInfo() = default;

void ClassInfo::Finish() {
  if (parent_) allProps_ = parent_->allProps_;
  for (const auto& own : ownProps_) {
    bool replaced = false;
    for (auto& inheritedProp : allProps_) {
      if (SameText(inheritedProp->Name, own->Name)) {
        inheritedProp = own.get();
        replaced = true;
        break;
      }
    }
    if (!replaced) allProps_.push_back(own.get());
  }
}

bool ClassInfo::InheritsFrom(TClass cls) const {
  for (TClass c = this; c != nullptr; c = c->parent_) {
    if (c == cls) return true;
  }
  return false;
}

TObjectPtr<TObject> ClassInfo::Create() const {
  Describe();
  if (defaultFactory_) return TObjectPtr<TObject>(defaultFactory_());
  throw EAbstractError(Format(SAbstractClass, name_));
}

const TPropInfo* ClassInfo::FindProperty(const String& name) const {
  Describe();
  for (const TPropInfo* prop : allProps_) {
    if (SameText(prop->Name, name)) return prop;
  }
  return nullptr;
}

const TMethodEntry* ClassInfo::FindMethod(const String& name) const {
  Describe();
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const TMethodEntry& entry : c->methods_) {
      if (SameText(entry.Name, name)) return &entry;
    }
  }
  return nullptr;
}

String ClassInfo::MethodName(TObject* instance, const TMethodValue& value) const {
  Describe();
  if (instance == nullptr || value.IsNil()) return String();
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const TMethodEntry& entry : c->methods_) {
      if (entry.DelegateType == value.DelegateType() || (entry.DelegateType && value.DelegateType() &&
                                                         *entry.DelegateType == *value.DelegateType())) {
        if (entry.Bind(instance).SameAs(value)) return entry.Name;
      }
    }
  }
  return String();
}

const TFieldEntry* ClassInfo::FindField(const String& name) const {
  Describe();
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const TFieldEntry& entry : c->fields_) {
      if (SameText(entry.Name, name)) return &entry;
    }
  }
  return nullptr;
}

std::vector<const TFieldEntry*> ClassInfo::Fields() const {
  Describe();
  std::vector<const TFieldEntry*> fields;
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const TFieldEntry& entry : c->fields_) fields.push_back(&entry);
  }
  return fields;
}

void* ClassInfo::GetInterface(TObject* instance, const TGUID& iid) const {
  Describe();
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const TInterfaceEntry& entry : c->interfaces_) {
      if (entry.IID == iid) return entry.Get(instance);
    }
  }
  return nullptr;
}

// ---- Registry ----

namespace {

struct Registry {
  std::mutex lock;
  std::map<String, TClass> byName;  // upper-case name
  std::vector<TClass> ordered;
};

Registry& Classes() {
  static Registry registry;
  return registry;
}

}  // namespace

ClassRegistration::ClassRegistration(TClass (*staticClass)()) {
  TClass cls = staticClass();
  Registry& registry = Classes();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto [it, inserted] = registry.byName.emplace(UpperCase(cls->Name()), cls);
  if (inserted) {
    registry.ordered.push_back(cls);
  } else if (it->second != cls) {
    std::fprintf(stderr, "class library: a class named %s is registered twice; the first one stays\n",
                 cls->Name().c_str());
  }
}

void RegisterClass(TClass cls) {
  if (cls == nullptr) return;
  Registry& registry = Classes();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto [it, inserted] = registry.byName.emplace(UpperCase(cls->Name()), cls);
  if (inserted) {
    registry.ordered.push_back(cls);
  } else if (it->second != cls) {
    throw EFilerError(Format(SDuplicateClass, cls->Name()));
  }
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass cls : classes) RegisterClass(cls);
}

void UnRegisterClass(TClass cls) {
  if (cls == nullptr) return;
  Registry& registry = Classes();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto it = registry.byName.find(UpperCase(cls->Name()));
  if (it == registry.byName.end() || it->second != cls) return;
  registry.byName.erase(it);
  std::erase(registry.ordered, cls);
}

TClass GetClass(const String& name) {
  Registry& registry = Classes();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto it = registry.byName.find(UpperCase(name));
  return it == registry.byName.end() ? nullptr : it->second;
}

TClass FindClass(const String& name) {
  TClass cls = GetClass(name);
  if (cls == nullptr) throw EClassNotFound(Format(SClassNotFound, name));
  return cls;
}

std::vector<TClass> RegisteredClasses() {
  Registry& registry = Classes();
  std::lock_guard<std::mutex> guard(registry.lock);
  return registry.ordered;
}
