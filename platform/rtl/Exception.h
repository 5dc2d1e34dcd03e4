// Root of the exception tree. Every error the libraries raise derives from Exception and carries a Message.
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
