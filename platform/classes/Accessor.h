// A call through a member kept as data: a plain function pointer plus the pointer to member it calls.
//
// The type information stores its getters, setters, handler bindings and component fields this way: one
// small function per member type serves every property of that type, where a closure per property would
// cost a compiled callable each.
#pragma once

#include <cstring>
#include <type_traits>

class TObject;

// The bytes of a pointer to member (member function or data member) of any class.
struct TMemberBytes {
  alignas(void*) unsigned char Bytes[2 * sizeof(void*)] = {};

  template <class M>
  static TMemberBytes Of(M member) {
    static_assert(std::is_member_pointer_v<M> && std::is_trivially_copyable_v<M>);
    static_assert(sizeof(M) <= sizeof(Bytes), "pointer to member larger than expected");
    TMemberBytes b;
    std::memcpy(b.Bytes, &member, sizeof member);
    return b;
  }
  // The member again; M must be the type it was stored as.
  template <class M>
  M As() const {
    M member;
    std::memcpy(&member, Bytes, sizeof member);
    return member;
  }
};

template <class Signature>
class TAccessor;

// Called as accessor(instance, args...); empty (false) until it is given a thunk.
template <class R, class... A>
class TAccessor<R(TObject*, A...)> {
 public:
  using Thunk = R (*)(const TMemberBytes& member, TObject* instance, A... args);

  TAccessor() = default;
  TAccessor(Thunk thunk, const TMemberBytes& member) : thunk_(thunk), member_(member) {}

  R operator()(TObject* instance, A... args) const { return thunk_(member_, instance, args...); }
  explicit operator bool() const { return thunk_ != nullptr; }

 private:
  Thunk thunk_ = nullptr;
  TMemberBytes member_;
};
