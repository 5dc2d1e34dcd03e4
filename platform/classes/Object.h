// The root object and class references.
//
// Every class of the class library and of the libraries above it declares one ClassInfo: its exact name,
// its parent, how to create an instance (default constructor, owner constructor for components,
// collection constructor for collection items, or none for abstract classes), its published properties,
// and the handlers and component fields that form resources bind by name. Form resources, the script
// engine and the report serializer all work through it.
//
// A class takes part with two macros:
//   class TMyThing : public TPersistent {
//     K58_CLASS(TMyThing, TPersistent)   // leaves the access at public
//    ...
//   };
// and, in its .cpp (see ClassBuilder.h):
//   K58_IMPLEMENT_CLASS(TMyThing) {
//     b.Prop("Width", &TMyThing::GetWidth, &TMyThing::SetWidth).Default(0);
//   }
// which also registers the class by name at start-up. Libraries are linked whole (cmake/K58.cmake), so a
// class only reached through the registry is in every program that links its library.
#pragma once

#include <initializer_list>
#include <memory>
#include <mutex>
#include <typeinfo>
#include <vector>

#include "platform/classes/Accessor.h"
#include "platform/classes/Delegate.h"
#include "platform/classes/Interfaces.h"
#include "platform/rtl/Types.h"

class ClassInfo;
class TObject;
class TComponent;
class TCollection;
class TCollectionItem;
class TPropInfo;

// A class reference ("class of ..."): the class's ClassInfo.
using TClass = const ClassInfo*;

#define K58_CLASS(Class, Parent)                                         \
 public:                                                                 \
  using inherited = Parent;                                              \
  static TClass StaticClass();                                           \
  TClass ClassType() const override { return Class::StaticClass(); }

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  // Forgets the object in the live-object registry (LiveObjects.h) when it entered it.
  virtual ~TObject();

  static TClass StaticClass();
  // The actual (most derived) class of the object.
  virtual TClass ClassType() const { return StaticClass(); }
  String ClassName() const;
  TClass ClassParent() const;
  bool InheritsFrom(TClass cls) const;
  template <class T>
  bool Is() const {
    return InheritsFrom(T::StaticClass());
  }

  // Run after the most derived constructor by the class factories and NewObject; the place for work that
  // needs the whole object (a thread starting, for example).
  virtual void AfterConstruction() {}
  // Run by FreeObject before the destructors, while the whole object still exists.
  virtual void BeforeDestruction() {}

  // The interface with the GUID from the class's interface table; false (and nil) when it has none.
  bool GetInterface(const TGUID& IID, void** Obj);

 private:
  friend struct LiveObjectAccess;
  // Live-object marks: entered the registry, owned sub-object.
  uint8_t liveFlags_ = 0;
};

// Frees an object created with new: BeforeDestruction, then delete. Nil is allowed.
void FreeObject(TObject* object);

template <class T>
void FreeAndNil(T*& object) {
  T* doomed = object;
  object = nullptr;
  FreeObject(doomed);
}

// Deleter for std::unique_ptr that frees through FreeObject.
struct TObjectDeleter {
  void operator()(TObject* object) const { FreeObject(object); }
};
template <class T>
using TObjectPtr = std::unique_ptr<T, TObjectDeleter>;

// new T(args...) followed by AfterConstruction.
template <class T, class... Args>
T* NewObject(Args&&... args) {
  T* object = new T(std::forward<Args>(args)...);
  try {
    object->AfterConstruction();
  } catch (...) {
    FreeObject(object);
    throw;
  }
  return object;
}

// Checked cast: nullptr stays nullptr, an object of another class raises EInvalidCast.
template <class T>
T* ObjectAs(TObject* object);

// A handler a form resource can bind by name: a published method of a root class.
struct TMethodEntry {
  String Name;
  const std::type_info* DelegateType = nullptr;
  // Makes the delegate for the method on the given instance (of the declaring class or a descendant).
  TAccessor<TMethodValue(TObject* instance)> Bind;
};

// A component field a form resource sets by name: a published field of a root class that receives the
// component of that name the resource makes.
struct TFieldEntry {
  String Name;                        // the component's name
  TClass (*FieldClass)() = nullptr;   // the class the field holds
  // Stores value in the field of instance; false, storing nothing, when value is not of the field's class.
  TAccessor<bool(TObject* instance, TObject* value)> Set;
  TAccessor<TObject*(TObject* instance)> Get;
};

// An interface a class implements, found by GUID.
struct TInterfaceEntry {
  TGUID IID;
  void* (*Get)(TObject* instance);
};

class ClassInfo {
 public:
  using DefaultFactory = TObject* (*)();
  using ComponentFactory = TComponent* (*)(TComponent* owner);
  using ItemFactory = TCollectionItem* (*)(TCollection* collection);

  ClassInfo(const char* name, TClass parent, void (*describe)(ClassInfo&));
  ~ClassInfo();
  ClassInfo(const ClassInfo&) = delete;
  ClassInfo& operator=(const ClassInfo&) = delete;

  const String& Name() const { return name_; }
  TClass Parent() const { return parent_; }
  bool InheritsFrom(TClass cls) const;
  // TPersistent and its descendants carry published information; TObject, TList and TStream do not.
  bool HasPublishedInfo() const {
    Describe();
    return hasPublishedInfo_;
  }
  // True when the class can make no instance.
  bool IsAbstract() const {
    Describe();
    return !defaultFactory_ && !componentFactory_ && !itemFactory_;
  }
  bool IsComponentClass() const {
    Describe();
    return isComponent_;
  }

  // New instance by the default constructor (components get no owner). Abstract classes and classes
  // without a default constructor raise EAbstractError "Cannot create instance of abstract class X".
  TObjectPtr<TObject> Create() const;
  // The virtual constructor of components: an instance of this very class owned by owner (when owner is
  // not nil the owner frees it).
  TComponent* CreateComponent(TComponent* owner) const;
  // A collection item of this class added to collection.
  TCollectionItem* CreateItem(TCollection* collection) const;

  // Published properties, inherited ones first, each name once (a redeclared property keeps the
  // position of the inherited one).
  const std::vector<const TPropInfo*>& Properties() const {
    Describe();
    return allProps_;
  }
  // Lookup ignoring case; nullptr when there is none.
  const TPropInfo* FindProperty(const String& name) const;
  // Properties declared by this class itself.
  const std::vector<std::unique_ptr<TPropInfo>>& OwnProperties() const {
    Describe();
    return ownProps_;
  }

  // Published methods (handlers) of this class and its ancestors, looked up ignoring case.
  const TMethodEntry* FindMethod(const String& name) const;
  // Name of the published method of this class (or an ancestor) that value calls on instance, or "".
  String MethodName(TObject* instance, const TMethodValue& value) const;

  // Published component field for the component Name, of this class or an ancestor, ignoring case.
  const TFieldEntry* FindField(const String& name) const;
  // Published component fields of this class and its ancestors, this class's first.
  std::vector<const TFieldEntry*> Fields() const;

  // The interface with the GUID that instance (of this class or a descendant) implements, from the
  // interface tables of this class and its ancestors; nullptr when there is none.
  void* GetInterface(TObject* instance, const TGUID& iid) const;

 private:
  template <class C>
  friend class ClassBuilder;

  // The class is described (its factories, properties, methods, fields and interfaces, its parent's
  // first) when it is first asked about them, not when the program starts: most classes of the program
  // are never asked, and describing them all took a good part of the start-up's time and memory. Any
  // thread may ask; the description is made once.
  void Describe() const;
  void Finish();

  String name_;
  TClass parent_;
  void (*describe_)(ClassInfo&) = nullptr;
  mutable std::once_flag described_;
  // Filled by the description (hence mutable: class references are const).
  mutable bool hasPublishedInfo_ = false;
  mutable bool isComponent_ = false;
  mutable DefaultFactory defaultFactory_ = nullptr;
  mutable ComponentFactory componentFactory_ = nullptr;
  mutable ItemFactory itemFactory_ = nullptr;
  mutable std::vector<std::unique_ptr<TPropInfo>> ownProps_;
  mutable std::vector<const TPropInfo*> allProps_;
  mutable std::vector<TMethodEntry> methods_;
  mutable std::vector<TFieldEntry> fields_;
  mutable std::vector<TInterfaceEntry> interfaces_;
};

// ---- Registry of classes by name (names compare ignoring case) ----
// Registers a class; a different class with the same name raises EFilerError "A class named X already
// exists". Registering the same class again does nothing.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass cls);
// The class with the name, or nullptr.
TClass GetClass(const String& name);
// The class with the name; raises EClassNotFound "Class X not found".
TClass FindClass(const String& name);
// Every registered class, in registration order.
std::vector<TClass> RegisteredClasses();

// Registers a class when its translation unit starts (used by K58_IMPLEMENT_CLASS).
struct ClassRegistration {
  explicit ClassRegistration(TClass (*staticClass)());
};

[[noreturn]] void RaiseInvalidCast();

template <class T>
T* ObjectAs(TObject* object) {
  if (object == nullptr) return nullptr;
  if (T* result = dynamic_cast<T*>(object)) return result;
  RaiseInvalidCast();
}
