// What the script engine's units share among themselves: name folding, the call-depth guard, and the
// small value helpers of the run time.
#pragma once

#include <memory>
#include <new>

#include "platform/rtl/SysUtils.h"
#include "script/sc_interpreter.h"

namespace k58::script {

// Names compare by this form (Unicode-aware upper case).
String FoldName(const String& Name);

// The script calls running on this thread, and the lowest address its stack may reach before calls are
// refused (nullptr when it cannot be known; found at the first check).
inline thread_local Integer callDepth = 0;
inline thread_local bool stackLimitKnown = false;
inline thread_local const char* stackLimit = nullptr;
const char* FindNativeStackLimit();
inline const char* NativeStackLimit() { return stackLimitKnown ? stackLimit : FindNativeStackLimit(); }

// Counts a script call for as long as it lives; raises "Stack overflow" (EStackOverflow) past
// MaxCallDepth or close to the end of the native stack.
class CallDepthGuard {
 public:
  CallDepthGuard();
  ~CallDepthGuard() { --callDepth; }
  CallDepthGuard(const CallDepthGuard&) = delete;
  CallDepthGuard& operator=(const CallDepthGuard&) = delete;
};

// A call of a script procedure or function alone (no var parameters): the arguments go straight into the
// parameters and the result straight to the reader.
class TscCallDesignator : public TscDesignator {
  K58_CLASS(TscCallDesignator, TscDesignator)
  using TscDesignator::TscDesignator;
  void GetValue(Variant& Result) override;

  // Whether a built designator is such a call.
  static bool Fits(const TscDesignator* Designator);
};

// The values of a running procedure's variables and parameters, kept on the native stack of a call that
// re-enters it and put back when that call ends, however it ends. The call starts from the same values.
class SavedLocals {
 public:
  SavedLocals() = default;
  ~SavedLocals() { Restore(); }
  SavedLocals(const SavedLocals&) = delete;
  SavedLocals& operator=(const SavedLocals&) = delete;

  void Save(TscProcVariable* Proc) {
    const std::vector<TscCustomVariable*>& items = Proc->StateItems();
    count_ = items.size();
    if (count_ > kInline) {
      heap_.reset(static_cast<Slot*>(::operator new(count_ * sizeof(Slot))));
      slots_ = heap_.get();
    } else {
      slots_ = reinterpret_cast<Slot*>(inline_);
    }
    for (size_t i = 0; i < count_; ++i) new (&slots_[i]) Slot{items[i], items[i]->ValueSlot()};
  }
  // Puts the values back (once).
  void Restore() {
    const size_t count = count_;
    count_ = 0;
    for (size_t i = 0; i < count; ++i) {
      slots_[i].Item->ValueSlot() = std::move(slots_[i].Value);
      slots_[i].~Slot();
    }
  }

 private:
  struct Slot {
    TscCustomVariable* Item;
    Variant Value;
  };
  struct FreeRaw {
    void operator()(Slot* Slots) const { ::operator delete(Slots); }
  };
  static constexpr size_t kInline = 6;
  size_t count_ = 0;
  Slot* slots_ = nullptr;
  std::unique_ptr<Slot, FreeRaw> heap_;
  alignas(Slot) unsigned char inline_[kInline * sizeof(Slot)];
};

// Raises "Stack overflow" when the native stack is close to its end (for recursion that is not a call).
[[noreturn]] void RaiseStackOverflow();
inline void CheckNativeStack() {
  const char* limit = NativeStackLimit();
  if (limit != nullptr && static_cast<const char*>(__builtin_frame_address(0)) < limit) RaiseStackOverflow();
}

inline CallDepthGuard::CallDepthGuard() {
  if (callDepth >= MaxCallDepth) RaiseStackOverflow();
  CheckNativeStack();
  ++callDepth;
}

// The class registered in Script for an object: its own, or that of its nearest registered ancestor;
// nullptr when none is.
TscClassVariable* RegisteredClassOf(const TObject* Object, const TscScript* Script);

// Value to Boolean, as conditions take it.
inline bool Truth(const Variant& Value) { return Value.AsBoolean(); }

// The run time's shortcuts for integers; every other value takes the Variant's own operations, which
// give the same results (a 32-bit sum, difference or product that does not fit becomes an Int64).
inline Integer IntOf(const Variant& V) { return V.IsInteger() ? V.IntegerRef() : V.AsInteger(); }
inline bool BothIntegers(const Variant& A, const Variant& B) { return A.IsInteger() && B.IsInteger(); }
inline Variant WideInteger(Int64 R) {
  return R >= INT32_MIN && R <= INT32_MAX ? Variant(static_cast<Integer>(R)) : Variant(R);
}
inline void VarAdd(Variant& A, const Variant& B) {
  if (BothIntegers(A, B)) {
    A = WideInteger(Int64{A.IntegerRef()} + B.IntegerRef());
  } else {
    A = A + B;
  }
}
inline void VarSub(Variant& A, const Variant& B) {
  if (BothIntegers(A, B)) {
    A = WideInteger(Int64{A.IntegerRef()} - B.IntegerRef());
  } else {
    A = A - B;
  }
}
inline void VarMul(Variant& A, const Variant& B) {
  if (BothIntegers(A, B)) {
    A = WideInteger(Int64{A.IntegerRef()} * B.IntegerRef());
  } else {
    A = A * B;
  }
}

// Items whose GetValue answers their value slot, and items whose SetValue stores into it unless read-only:
// the run time reads and writes their slots directly.
bool PlainGet(const TscCustomVariable* Item);
bool PlainSet(const TscCustomVariable* Item);

// 32-bit wrapping arithmetic of integer-only operations; zero divisors raise EDivByZero.
inline Integer WrapAdd(Integer A, Integer B) {
  return static_cast<Integer>(static_cast<uint32_t>(A) + static_cast<uint32_t>(B));
}
inline Integer WrapSub(Integer A, Integer B) {
  return static_cast<Integer>(static_cast<uint32_t>(A) - static_cast<uint32_t>(B));
}
inline Integer WrapMul(Integer A, Integer B) {
  return static_cast<Integer>(static_cast<uint32_t>(A) * static_cast<uint32_t>(B));
}
Integer IntDiv(Integer A, Integer B);
Integer IntMod(Integer A, Integer B);

}  // namespace k58::script

// Deeper nesting than the engine allows (script calls, the native stack).
K58_DECLARE_EXCEPTION(EStackOverflow, EExternal);
