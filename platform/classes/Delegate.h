// Events: a delegate holds a callable plus an identity (the object it belongs to and the code it runs),
// can be empty, copied and compared. Two delegates are equal when both identities match, so a bridge can
// ask whether an event property still holds its own handler.
#pragma once

#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <typeinfo>
#include <utility>

class TObject;

// Identity of the code of a handler: the member function it calls (its type and bytes), or a tag the
// creator chose. Two handlers for the same member function of the same object compare equal.
struct MethodCode {
  const std::type_info* Type = nullptr;
  std::array<unsigned char, 16> Bytes{};

  template <class M>
  static MethodCode FromMember(M member) {
    static_assert(sizeof(M) <= sizeof(Bytes), "member function pointer too large");
    MethodCode code;
    code.Type = &typeid(M);
    std::memcpy(code.Bytes.data(), &member, sizeof(M));
    return code;
  }
  static MethodCode FromTag(const void* tag) {
    MethodCode code;
    code.Type = &typeid(void);
    std::memcpy(code.Bytes.data(), &tag, sizeof(tag));
    return code;
  }
  // A fresh identity, for callables that bring none.
  static MethodCode Unique() {
    static std::atomic<uintptr_t> counter{0};
    uintptr_t n = ++counter;
    MethodCode code;
    code.Type = &typeid(MethodCode);
    std::memcpy(code.Bytes.data(), &n, sizeof(n));
    return code;
  }

  bool IsNull() const { return Type == nullptr; }
  friend bool operator==(const MethodCode& a, const MethodCode& b) {
    if (a.Type == nullptr || b.Type == nullptr) return a.Type == b.Type;
    return *a.Type == *b.Type && a.Bytes == b.Bytes;
  }
};

// The identity part of every delegate, whatever its signature.
class DelegateBase {
 public:
  // The object the handler belongs to (nullptr for free callables).
  const void* Data() const { return data_; }
  const MethodCode& Code() const { return code_; }
  bool Assigned() const { return assigned_; }
  // Same identity: the same code on the same object (two empty delegates are the same).
  bool SameAs(const DelegateBase& other) const {
    return assigned_ == other.assigned_ && data_ == other.data_ && code_ == other.code_;
  }

 protected:
  const void* data_ = nullptr;
  MethodCode code_;
  bool assigned_ = false;
};

template <class Signature>
class Delegate;

template <class R, class... Args>
class Delegate<R(Args...)> : public DelegateBase {
 public:
  using Signature = R(Args...);

  Delegate() = default;
  Delegate(std::nullptr_t) {}

  // A member function of an object: Delegate(this, &TForm1::Button1Click).
  template <class X, class Y>
    requires std::is_base_of_v<Y, X>
  Delegate(X* object, R (Y::*method)(Args...)) {
    Y* target = object;
    fn_ = [target, method](Args... args) -> R { return (target->*method)(std::forward<Args>(args)...); };
    SetIdentity(target, MethodCode::FromMember(method));
  }
  template <class X, class Y>
    requires std::is_base_of_v<Y, X>
  Delegate(X* object, R (Y::*method)(Args...) const) {
    const Y* target = object;
    fn_ = [target, method](Args... args) -> R { return (target->*method)(std::forward<Args>(args)...); };
    SetIdentity(target, MethodCode::FromMember(method));
  }

  // Any other callable; it gets an identity of its own that its copies share.
  template <class F>
    requires(!std::is_base_of_v<DelegateBase, std::decay_t<F>> && !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
             std::is_invocable_r_v<R, F&, Args...>)
  Delegate(F&& callable) : fn_(std::forward<F>(callable)) {
    SetIdentity(nullptr, MethodCode::Unique());
  }

  // A callable with an identity chosen by the caller (a script bridge passes itself as data and tag).
  template <class F>
  static Delegate Bind(const void* data, const void* tag, F&& callable) {
    Delegate d;
    d.fn_ = std::function<R(Args...)>(std::forward<F>(callable));
    d.SetIdentity(data, MethodCode::FromTag(tag));
    return d;
  }

  explicit operator bool() const { return assigned_; }

  // Calling an empty delegate does nothing and returns a default value, so "if assigned, call" needs no
  // separate test.
  R operator()(Args... args) const {
    if (!assigned_) {
      if constexpr (std::is_void_v<R>) {
        return;
      } else {
        return R{};
      }
    }
    return fn_(std::forward<Args>(args)...);
  }

  void Clear() { *this = Delegate(); }

  friend bool operator==(const Delegate& a, const Delegate& b) { return a.SameAs(b); }
  friend bool operator==(const Delegate& a, std::nullptr_t) { return !a.assigned_; }

 private:
  void SetIdentity(const void* data, MethodCode code) {
    data_ = data;
    code_ = code;
    assigned_ = static_cast<bool>(fn_);
  }

  std::function<R(Args...)> fn_;
};

// A delegate of any signature, as the type information passes event values around. It knows its delegate
// type, so it can only be stored in an event property of that type.
class TMethodValue {
 public:
  TMethodValue() = default;
  template <class Sig>
  TMethodValue(const Delegate<Sig>& d)
      : value_(std::make_shared<Delegate<Sig>>(d)), type_(&typeid(Delegate<Sig>)) {}

  // No delegate at all ("nil"): an event property set to it becomes empty.
  bool IsNil() const { return value_ == nullptr || !value_->Assigned(); }
  bool Assigned() const { return !IsNil(); }
  const std::type_info* DelegateType() const { return type_; }
  const void* Data() const { return value_ ? value_->Data() : nullptr; }
  MethodCode Code() const { return value_ ? value_->Code() : MethodCode(); }
  bool SameAs(const TMethodValue& other) const {
    if (IsNil() || other.IsNil()) return IsNil() == other.IsNil();
    return value_->SameAs(*other.value_);
  }
  // The delegate when it has type D, else nullptr.
  template <class D>
  const D* As() const {
    if (type_ == nullptr || *type_ != typeid(D)) return nullptr;
    return static_cast<const D*>(value_.get());
  }

 private:
  std::shared_ptr<const DelegateBase> value_;
  const std::type_info* type_ = nullptr;
};

// The event signature of most notifications: the object that sends it.
using TNotifyEvent = Delegate<void(TObject* Sender)>;
