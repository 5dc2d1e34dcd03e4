// What the script engine's units share among themselves: name folding, the call-depth guard, and the
// small value helpers of the run time.
#pragma once

#include "platform/rtl/SysUtils.h"
#include "script/sc_interpreter.h"

namespace k58::script {

// Names compare by this form (Unicode-aware upper case).
String FoldName(const String& Name);

// Counts a script call for as long as it lives; raises "Stack overflow" (EStackOverflow) past
// MaxCallDepth or close to the end of the native stack.
class CallDepthGuard {
 public:
  CallDepthGuard();
  ~CallDepthGuard();
  CallDepthGuard(const CallDepthGuard&) = delete;
  CallDepthGuard& operator=(const CallDepthGuard&) = delete;
};

// Raises "Stack overflow" when the native stack is close to its end (for recursion that is not a call).
void CheckNativeStack();

// Value to Boolean, as conditions take it.
inline bool Truth(const Variant& Value) { return Value.AsBoolean(); }

// 32-bit wrapping arithmetic of integer-only operations; zero divisors raise EDivByZero.
Integer WrapAdd(Integer A, Integer B);
Integer WrapSub(Integer A, Integer B);
Integer WrapMul(Integer A, Integer B);
Integer IntDiv(Integer A, Integer B);
Integer IntMod(Integer A, Integer B);

}  // namespace k58::script

// Deeper nesting than the engine allows (script calls, the native stack).
K58_DECLARE_EXCEPTION(EStackOverflow, EExternal);
