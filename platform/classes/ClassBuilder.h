// Describing a class in its .cpp: the class information, its published properties and the handlers form
// resources may bind, in a few lines.
//
//   K58_IMPLEMENT_CLASS(TControl) {
//     b.Prop("Left", &TControl::GetLeft, &TControl::SetLeft);                 // Integer, always written
//     b.Prop("Color", &TControl::GetColor, &TControl::SetColor).Type("TColor").Default(clWindow);
//     b.Prop("Caption", &TControl::GetCaption, &TControl::SetCaption).Type("TCaption");
//     b.Prop("Align", &TControl::GetAlign, &TControl::SetAlign).Default(alNone);   // from K58_ENUM_TYPE
//     b.Prop("Font", &TControl::GetFont, &TControl::SetFont);                 // class property, TFont
//     b.Prop("OnClick", &TControl::GetOnClick, &TControl::SetOnClick);        // event, TNotifyEvent
//     b.Prop("ComponentCount", &TControl::ComponentCount);                    // read-only
//     b.Prop("Visible", &TControl::FVisible, &TControl::FVisible).Default(true);  // fields work too
//   }
//   K58_IMPLEMENT_CLASS(TfMainFrm) {
//     b.Method("FormCreate", &TfMainFrm::FormCreate);                         // handler by name
//     b.Field("cbCom", &TfMainFrm::cbCom);                                    // component by name
//   }
//
// Getters may be member functions (returning by value or const reference) or data members; setters
// member functions taking the value (by value or const reference) or data members. How instances are
// made follows from the constructors: TComponent descendants with (TComponent* AOwner), collection items
// with (TCollection*), other classes with a default constructor; abstract classes and classes without
// such a constructor have no factory.
#pragma once

#include <stdexcept>
#include <type_traits>

#include "platform/classes/Object.h"
#include "platform/classes/TypInfo.h"

class TPersistent;

namespace k58::classes {

template <class G>
struct GetterTraits;
template <class X, class R>
struct GetterTraits<R (X::*)() const> {
  using Class = X;
  using Value = std::remove_cvref_t<R>;
  static Value Get(const X& x, R (X::*g)() const) { return (x.*g)(); }
};
template <class X, class R>
struct GetterTraits<R (X::*)()> {
  using Class = X;
  using Value = std::remove_cvref_t<R>;
  static Value Get(X& x, R (X::*g)()) { return (x.*g)(); }
};
template <class X, class R>
  requires(!std::is_function_v<R>)
struct GetterTraits<R X::*> {
  using Class = X;
  using Value = R;
  static Value Get(const X& x, R X::*field) { return x.*field; }
};

template <class S>
struct SetterTraits;
template <class X, class P>
struct SetterTraits<void (X::*)(P)> {
  using Class = X;
  using Value = std::remove_cvref_t<P>;
  template <class V>
  static void Set(X& x, void (X::*s)(P), V&& v) {
    (x.*s)(std::forward<V>(v));
  }
};
template <class X, class R>
  requires(!std::is_function_v<R>)
struct SetterTraits<R X::*> {
  using Class = X;
  using Value = R;
  template <class V>
  static void Set(X& x, R X::*field, V&& v) {
    x.*field = std::forward<V>(v);
  }
};

template <class T>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {};
template <class T>
struct IsDelegate : std::false_type {};
template <class Sig>
struct IsDelegate<Delegate<Sig>> : std::true_type {};

template <class T>
inline constexpr bool IsOrdinalValue =
    std::is_same_v<T, bool> || std::is_enum_v<T> || IsSet<T>::value ||
    (std::is_integral_v<T> && sizeof(T) <= 4);

template <class T>
Int64 ToOrd(const T& v) {
  if constexpr (IsSet<T>::value) {
    return static_cast<Int64>(v.Bits());
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<Int64>(static_cast<std::underlying_type_t<T>>(v));
  } else if constexpr (std::is_same_v<T, char>) {
    return static_cast<Int64>(static_cast<unsigned char>(v));
  } else {
    return static_cast<Int64>(v);
  }
}

template <class T>
T FromOrd(Int64 v) {
  if constexpr (IsSet<T>::value) {
    return T::FromBits(static_cast<uint64_t>(v));
  } else if constexpr (std::is_same_v<T, bool>) {
    return v != 0;
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<T>(static_cast<std::underlying_type_t<T>>(v));
  } else {
    return static_cast<T>(v);
  }
}

// The class a thunk casts the instance to: the class that declares the member when it is a class of the
// library (so the thunk serves every described class that inherits the member), else the described class.
template <class C, class X>
using ThunkClass = std::conditional_t<std::is_base_of_v<TObject, X>, X, C>;

// One thunk per value type R, class and member type: reads the getter or field and converts to R.
template <class R, class Obj, class G>
R GetThunk(const TMemberBytes& member, TObject* instance) {
  decltype(auto) value = GetterTraits<G>::Get(*static_cast<Obj*>(instance), member.As<G>());
  if constexpr (std::is_same_v<R, Int64>) {
    return ToOrd(value);
  } else {
    return static_cast<R>(value);
  }
}

// Converts the value P and passes it to the setter or field.
template <class P, class Obj, class S>
void SetThunk(const TMemberBytes& member, TObject* instance, P value) {
  using ST = SetterTraits<S>;
  using T = typename ST::Value;
  Obj& object = *static_cast<Obj*>(instance);
  const S setter = member.As<S>();
  if constexpr (std::is_same_v<P, Int64>) {
    ST::Set(object, setter, FromOrd<T>(value));
  } else if constexpr (std::is_floating_point_v<T>) {
    ST::Set(object, setter, static_cast<T>(value));
  } else if constexpr (std::is_pointer_v<T>) {
    ST::Set(object, setter, static_cast<T>(dynamic_cast<std::remove_pointer_t<T>*>(value)));
  } else if constexpr (IsDelegate<T>::value) {
    const T* handler = value.template As<T>();
    ST::Set(object, setter, handler ? *handler : T());
  } else {
    ST::Set(object, setter, value);
  }
}

template <class Obj, class X>
bool StoredThunk(const TMemberBytes& member, TObject* instance) {
  const X& object = *static_cast<Obj*>(instance);
  return (object.*member.As<bool (X::*)() const>())();
}

template <class Obj, class X, class R, class... A>
struct MethodBinder {
  static TMethodValue Bind(const TMemberBytes& member, TObject* instance) {
    X* object = static_cast<Obj*>(instance);
    return TMethodValue(Delegate<R(A...)>(object, member.As<R (X::*)(A...)>()));
  }
};

template <class Obj, class X, class T>
bool SetFieldThunk(const TMemberBytes& member, TObject* instance, TObject* value) {
  T* component = dynamic_cast<T*>(value);
  if (value != nullptr && component == nullptr) return false;
  static_cast<Obj*>(instance)->*member.As<T* X::*>() = component;
  return true;
}
template <class Obj, class X, class T>
TObject* GetFieldThunk(const TMemberBytes& member, TObject* instance) {
  return static_cast<Obj*>(instance)->*member.As<T* X::*>();
}

[[noreturn]] void DescriptionError(const char* className, const char* propName, const char* what);

// Declared defaults by kind; a default of a kind the property cannot hold is a description error.
void SetOrdinalDefault(TPropInfo& prop, const char* className, Int64 value);
void SetFloatDefault(TPropInfo& prop, const char* className, Extended value);
void SetStringDefault(TPropInfo& prop, const char* className, const String& value);
void SetWideStringDefault(TPropInfo& prop, const char* className, const WideString& value);

// The getter's and setter's thunks, chosen by the property's kind. They depend on the member and the
// class that declares it, not on the described class, so inherited accessors share them.
template <class Obj, class G>
void DescribeGetter(TPropInfo& p, G getter) {
  using T = typename GetterTraits<G>::Value;
  const TMemberBytes member = TMemberBytes::Of(getter);
  if constexpr (IsOrdinalValue<T> || std::is_same_v<T, char> || std::is_same_v<T, char16_t> ||
                std::is_same_v<T, int64_t> || std::is_same_v<T, uint64_t>) {
    p.GetOrd = {&GetThunk<Int64, Obj, G>, member};
  } else if constexpr (std::is_floating_point_v<T>) {
    p.GetFloat = {&GetThunk<Extended, Obj, G>, member};
  } else if constexpr (std::is_same_v<T, String>) {
    p.GetStr = {&GetThunk<String, Obj, G>, member};
  } else if constexpr (std::is_same_v<T, WideString>) {
    p.GetWStr = {&GetThunk<WideString, Obj, G>, member};
  } else if constexpr (std::is_same_v<T, Variant>) {
    p.GetVar = {&GetThunk<Variant, Obj, G>, member};
  } else if constexpr (std::is_pointer_v<T>) {
    p.GetObj = {&GetThunk<TObject*, Obj, G>, member};
  } else if constexpr (IsDelegate<T>::value) {
    p.GetMethod = {&GetThunk<TMethodValue, Obj, G>, member};
  } else {
    static_assert(std::is_same_v<T, void>, "unsupported property type");
  }
}

template <class Obj, class S>
void DescribeSetter(TPropInfo& p, S setter) {
  using T = typename SetterTraits<S>::Value;
  const TMemberBytes member = TMemberBytes::Of(setter);
  if constexpr (IsOrdinalValue<T> || std::is_same_v<T, char> || std::is_same_v<T, char16_t> ||
                std::is_same_v<T, int64_t> || std::is_same_v<T, uint64_t>) {
    p.SetOrd = {&SetThunk<Int64, Obj, S>, member};
  } else if constexpr (std::is_floating_point_v<T>) {
    p.SetFloat = {&SetThunk<Extended, Obj, S>, member};
  } else if constexpr (std::is_same_v<T, String>) {
    p.SetStr = {&SetThunk<const String&, Obj, S>, member};
  } else if constexpr (std::is_same_v<T, WideString>) {
    p.SetWStr = {&SetThunk<const WideString&, Obj, S>, member};
  } else if constexpr (std::is_same_v<T, Variant>) {
    p.SetVar = {&SetThunk<const Variant&, Obj, S>, member};
  } else if constexpr (std::is_pointer_v<T>) {
    p.SetObj = {&SetThunk<TObject*, Obj, S>, member};
  } else if constexpr (IsDelegate<T>::value) {
    p.SetMethod = {&SetThunk<const TMethodValue&, Obj, S>, member};
  } else {
    static_assert(std::is_same_v<T, void>, "unsupported property type");
  }
}

}  // namespace k58::classes

template <class C>
class PropBuilder {
 public:
  explicit PropBuilder(TPropInfo& prop, const char* className) : p_(prop), className_(className) {}

  // The value the property has when it is not written. Ordinal properties without one are always
  // written; others default to 0, '' or Unassigned.
  template <class V>
  PropBuilder& Default(const V& value) {
    using namespace k58::classes;
    if constexpr (IsOrdinalValue<V> || std::is_integral_v<V>) {
      SetOrdinalDefault(p_, className_, ToOrd(value));
    } else if constexpr (std::is_floating_point_v<V>) {
      SetFloatDefault(p_, className_, static_cast<Extended>(value));
    } else if constexpr (std::is_convertible_v<const V&, String>) {
      SetStringDefault(p_, className_, String(value));
    } else if constexpr (std::is_convertible_v<const V&, WideString>) {
      SetWideStringDefault(p_, className_, WideString(value));
    } else {
      static_assert(std::is_same_v<V, void>, "unsupported default value");
    }
    return *this;
  }
  // Always written (the class library's "nodefault").
  PropBuilder& NoDefault() {
    p_.HasOrdDefault = false;
    p_.NoDefault = true;
    return *this;
  }
  PropBuilder& Stored(bool stored) {
    p_.StoredKind = stored ? TStoredKind::Always : TStoredKind::Never;
    p_.StoredFn = {};
    return *this;
  }
  // Stored when the predicate answers true: .Stored(&TFoo::IsColorStored).
  template <class X>
  PropBuilder& Stored(bool (X::*predicate)() const) {
    static_assert(std::is_base_of_v<X, C>);
    using namespace k58::classes;
    p_.StoredKind = TStoredKind::Predicate;
    p_.StoredFn = {&StoredThunk<ThunkClass<C, X>, X>, TMemberBytes::Of(predicate)};
    return *this;
  }
  // The property's type under another name of the same kind ("TColor", "TCaption").
  PropBuilder& Type(const char* typeName) {
    p_.PropType = AliasTypeInfo(p_.PropType, typeName);
    return *this;
  }
  // An explicit type of the same kind.
  PropBuilder& Type(const TTypeInfo* type) {
    if (type->Kind != p_.PropType->Kind) k58::classes::DescriptionError(className_, p_.Name.c_str(), "type of another kind");
    p_.PropType = type;
    return *this;
  }

 private:
  TPropInfo& p_;
  const char* className_;
};

template <class C>
class ClassBuilder {
 public:
  explicit ClassBuilder(ClassInfo& info) : info_(info) { SetFactories(); }

  // A read-write published property.
  template <class G, class S>
  PropBuilder<C> Prop(const char* name, G getter, S setter) {
    using namespace k58::classes;
    using X = typename GetterTraits<G>::Class;
    using Y = typename SetterTraits<S>::Class;
    using T = typename GetterTraits<G>::Value;
    static_assert(std::is_same_v<T, typename SetterTraits<S>::Value>, "getter and setter types differ");
    static_assert(std::is_base_of_v<X, C>, "getter of an unrelated class");
    static_assert(std::is_base_of_v<Y, C>, "setter of an unrelated class");
    TPropInfo& p = NewProp(name, TypeInfoOf<T>());
    DescribeGetter<ThunkClass<C, X>>(p, getter);
    DescribeSetter<ThunkClass<C, Y>>(p, setter);
    return PropBuilder<C>(p, info_.name_.c_str());
  }

  // A read-only published property.
  template <class G>
  PropBuilder<C> Prop(const char* name, G getter) {
    using namespace k58::classes;
    using X = typename GetterTraits<G>::Class;
    static_assert(std::is_base_of_v<X, C>, "getter of an unrelated class");
    TPropInfo& p = NewProp(name, TypeInfoOf<typename GetterTraits<G>::Value>());
    DescribeGetter<ThunkClass<C, X>>(p, getter);
    return PropBuilder<C>(p, info_.name_.c_str());
  }

  // A published method that form resources bind to events by name.
  template <class X, class R, class... A>
  ClassBuilder& Method(const char* name, R (X::*method)(A...)) {
    static_assert(std::is_base_of_v<X, C>);
    using namespace k58::classes;
    TMethodEntry entry;
    entry.Name = name;
    entry.DelegateType = &typeid(Delegate<R(A...)>);
    entry.Bind = {&MethodBinder<ThunkClass<C, X>, X, R, A...>::Bind, TMemberBytes::Of(method)};
    info_.methods_.push_back(std::move(entry));
    return *this;
  }

  // A published component field: when a form resource read into an instance makes the component Name,
  // the reader stores it in the field (see Filer.h for the class check and a missing component).
  template <class X, class T>
  ClassBuilder& Field(const char* name, T* X::*field) {
    static_assert(std::is_base_of_v<X, C>);
    static_assert(std::is_base_of_v<TComponent, T>, "a published field holds a component");
    using namespace k58::classes;
    using Obj = ThunkClass<C, X>;
    TFieldEntry entry;
    entry.Name = name;
    entry.FieldClass = &T::StaticClass;
    entry.Set = {&SetFieldThunk<Obj, X, T>, TMemberBytes::Of(field)};
    entry.Get = {&GetFieldThunk<Obj, X, T>, TMemberBytes::Of(field)};
    info_.fields_.push_back(std::move(entry));
    return *this;
  }

  // An interface the class implements, found by QueryInterface and TObject::GetInterface.
  template <class I>
  ClassBuilder& Interface(const TGUID& iid) {
    static_assert(std::is_base_of_v<I, C>, "the class does not implement the interface");
    info_.interfaces_.push_back(
        TInterfaceEntry{iid, [](TObject* o) -> void* { return static_cast<I*>(static_cast<C*>(o)); }});
    return *this;
  }

  // No instances, even if the class could be constructed.
  ClassBuilder& Abstract() {
    info_.defaultFactory_ = nullptr;
    info_.componentFactory_ = nullptr;
    info_.itemFactory_ = nullptr;
    return *this;
  }

 private:
  void SetFactories() {
    info_.hasPublishedInfo_ = std::is_base_of_v<TPersistent, C>;
    info_.isComponent_ = std::is_base_of_v<TComponent, C>;
    if constexpr (!std::is_abstract_v<C>) {
      if constexpr (std::is_base_of_v<TComponent, C>) {
        if constexpr (std::is_constructible_v<C, TComponent*>) {
          info_.componentFactory_ = [](TComponent* owner) -> TComponent* {
            C* object = new C(owner);
            Finish(object);
            return object;
          };
          info_.defaultFactory_ = []() -> TObject* {
            C* object = new C(nullptr);
            Finish(object);
            return object;
          };
        }
      } else if constexpr (std::is_base_of_v<TCollectionItem, C>) {
        if constexpr (std::is_constructible_v<C, TCollection*>) {
          info_.itemFactory_ = [](TCollection* collection) -> TCollectionItem* {
            C* object = new C(collection);
            Finish(object);
            return object;
          };
        }
      } else if constexpr (std::is_default_constructible_v<C>) {
        info_.defaultFactory_ = []() -> TObject* {
          C* object = new C();
          Finish(object);
          return object;
        };
      }
    }
  }

  static void Finish(C* object) {
    try {
      object->AfterConstruction();
    } catch (...) {
      FreeObject(object);
      throw;
    }
  }

  TPropInfo& NewProp(const char* name, const TTypeInfo* type) {
    auto prop = std::make_unique<TPropInfo>();
    prop->Name = name;
    prop->PropType = type;
    prop->Owner = &info_;
    TPropInfo& ref = *prop;
    info_.ownProps_.push_back(std::move(prop));
    return ref;
  }

  ClassInfo& info_;
};

#define K58_IMPLEMENT_CLASS(Class)                                                            \
  static void K58Describe_##Class(ClassBuilder<Class>& b);                                    \
  TClass Class::StaticClass() {                                                               \
    static const ClassInfo info(#Class, Class::inherited::StaticClass(), [](ClassInfo& i) {   \
      ClassBuilder<Class> b(i);                                                               \
      K58Describe_##Class(b);                                                                 \
    });                                                                                       \
    return &info;                                                                             \
  }                                                                                           \
  static const ClassRegistration K58Registration_##Class(&Class::StaticClass);                \
  static void K58Describe_##Class([[maybe_unused]] ClassBuilder<Class>& b)
