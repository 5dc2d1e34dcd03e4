// Late-bound automation objects without COM: objects implement IDispatch (platform/rtl/Variants.h) and are
// made by programmatic identifier through an in-process registry of factories. The program registers no
// factory, so CreateOleObject raises "Invalid class string"; tests and hosts register their own objects.
//
// Threads: the registry may be used from any thread; objects belong to the thread that uses them.
#pragma once

#include <atomic>
#include <functional>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Variants.h"

// Failure codes of automation calls, with the values of the dispatch standard.
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006);
inline constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3);
inline constexpr DISPID DISPID_UNKNOWN = -1;

namespace comconsts {
inline constexpr const char* SInvalidClassString = "Invalid class string";
}  // namespace comconsts

// Errors of automation; EOleSysError carries the failure code.
K58_DECLARE_EXCEPTION(EOleError, Exception);
class EOleSysError : public EOleError {
 public:
  EOleSysError(String message, HRESULT errorCode) : EOleError(std::move(message)), ErrorCode(errorCode) {}
  const char* ClassName() const noexcept override { return "EOleSysError"; }
  HRESULT ErrorCode;
};

// A new object with one reference, which the caller takes over.
using TOleObjectFactory = std::function<IDispatch*()>;

// Registers the factory under a programmatic identifier ("Test.Recorder"), replacing one registered
// under that identifier (compared ignoring case); an empty factory unregisters it.
void RegisterOleObject(const String& ProgID, TOleObjectFactory Factory);
void UnregisterOleObject(const String& ProgID);
// A new object of the identifier as a dispatch Variant; EOleSysError "Invalid class string" when no
// factory is registered under it.
Variant CreateOleObject(const String& ClassName);

// Base of in-process automation objects: reference counted, frees itself when the count drops to zero.
class TDispatchObject : public IDispatch {
 public:
  TDispatchObject() = default;
  TDispatchObject(const TDispatchObject&) = delete;
  TDispatchObject& operator=(const TDispatchObject&) = delete;

  ULONG AddRef() override { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  ULONG Release() override {
    const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~TDispatchObject() = default;

 private:
  std::atomic<ULONG> refs_{1};
};
