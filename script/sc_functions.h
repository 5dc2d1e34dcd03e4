// The system function library: the basic type names, True, False, nil and Null, the string and array
// helpers, 64 functions in six categories and the variant type codes, registered into every script that
// adds its binding modules (it is always the first module).
#pragma once

#include "script/sc_interpreter.h"

namespace k58::script::sysfuncs {

class TFunctions : public TscRTTIModule {
 public:
  explicit TFunctions(TscScript* AScript);

 private:
  Variant ConvToStrMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
  Variant ConvFromStrMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
  Variant FormatMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
  Variant DateMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
  Variant StringMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
  Variant MathMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
  Variant OtherMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);

  String catConv_ = "ctConv";
  String catDate_ = "ctDate";
  String catFormat_ = "ctFormat";
  String catMath_ = "ctMath";
  String catOther_ = "ctOther";
  String catString_ = "ctString";
};

}  // namespace k58::script::sysfuncs
