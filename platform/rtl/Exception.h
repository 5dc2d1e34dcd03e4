// Root of the exception tree and the run-time library's own exception classes.
// Every error the libraries raise derives from Exception and carries a Message.
//
// Exceptions that belong to other classes are declared with them:
//   EVariantError and its kin ............ platform/rtl/Variants.h
//   EListError, EStringListError, EStreamError, EReadError, EWriteError, EFOpenError,
//   EFCreateError, EIniFileException, EClassNotFound ... platform/classes/ClassErrors.h
#pragma once

#include <exception>

#include "platform/rtl/Types.h"

class Exception : public std::exception {
public:
  explicit Exception(String message) : message_(std::move(message)) {}
  ~Exception() override = default;

  const String& Message() const noexcept { return message_; }
  void SetMessage(String message) { message_ = std::move(message); }
  const char* what() const noexcept override { return message_.c_str(); }

  // Name of the most derived class, as the class library reports it ("EConvertError").
  virtual const char* ClassName() const noexcept { return "Exception"; }

private:
  String message_;
};

// Declares an exception class with the given parent and the class library's constructor.
#define K58_DECLARE_EXCEPTION(Name, Parent)                                        \
  class Name : public Parent {                                                     \
  public:                                                                          \
    using Parent::Parent;                                                          \
    const char* ClassName() const noexcept override { return #Name; }              \
  }

// Raised by Abort(); application-level handlers treat it as a silent cancel.
K58_DECLARE_EXCEPTION(EAbort, Exception);
// Text to number/date conversions and Format.
K58_DECLARE_EXCEPTION(EConvertError, Exception);
K58_DECLARE_EXCEPTION(EInvalidCast, Exception);
K58_DECLARE_EXCEPTION(EAssertionFailed, Exception);
K58_DECLARE_EXCEPTION(EAbstractError, Exception);
K58_DECLARE_EXCEPTION(ENotSupportedException, Exception);

K58_DECLARE_EXCEPTION(EHeapException, Exception);
K58_DECLARE_EXCEPTION(EOutOfMemory, EHeapException);
K58_DECLARE_EXCEPTION(EInvalidPointer, EHeapException);

// Hardware-style faults: integer and floating-point errors, access violations.
K58_DECLARE_EXCEPTION(EExternal, Exception);
K58_DECLARE_EXCEPTION(EAccessViolation, EExternal);
K58_DECLARE_EXCEPTION(EIntError, EExternal);
K58_DECLARE_EXCEPTION(EDivByZero, EIntError);
K58_DECLARE_EXCEPTION(ERangeError, EIntError);
K58_DECLARE_EXCEPTION(EIntOverflow, EIntError);
K58_DECLARE_EXCEPTION(EMathError, EExternal);
K58_DECLARE_EXCEPTION(EInvalidOp, EMathError);
K58_DECLARE_EXCEPTION(EZeroDivide, EMathError);
K58_DECLARE_EXCEPTION(EOverflow, EMathError);
K58_DECLARE_EXCEPTION(EUnderflow, EMathError);

// File and text-file I/O failures; ErrorCode is the run-time library's I/O result number.
class EInOutError : public Exception {
public:
  explicit EInOutError(String message, Integer errorCode = 0)
      : Exception(std::move(message)), ErrorCode(errorCode) {}
  const char* ClassName() const noexcept override { return "EInOutError"; }
  Integer ErrorCode;
};

// Operating-system call failures; ErrorCode is the Win32-style last-error number.
class EOSError : public Exception {
public:
  explicit EOSError(String message, uint32_t errorCode = 0)
      : Exception(std::move(message)), ErrorCode(errorCode) {}
  const char* ClassName() const noexcept override { return "EOSError"; }
  uint32_t ErrorCode;
};

// Raises EAbort with the class library's "Operation aborted".
[[noreturn]] void Abort();
// Raises EOutOfMemory.
[[noreturn]] void OutOfMemoryError();
