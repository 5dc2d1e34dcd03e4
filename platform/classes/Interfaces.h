// Interfaces: abstract classes with a GUID, reference counting and QueryInterface, as the libraries use them.
// Whether an object supports an interface is a dynamic_cast in C++; QueryInterface by GUID answers from
// the interface table a class declares in its description (ClassBuilder::Interface).
#pragma once

#include <cstdint>

#include "platform/rtl/Types.h"
#include "platform/rtl/Variants.h"

struct TGUID {
  uint32_t D1 = 0;
  uint16_t D2 = 0;
  uint16_t D3 = 0;
  uint8_t D4[8] = {};

  friend constexpr bool operator==(const TGUID& a, const TGUID& b) {
    if (a.D1 != b.D1 || a.D2 != b.D2 || a.D3 != b.D3) return false;
    for (int i = 0; i < 8; ++i) {
      if (a.D4[i] != b.D4[i]) return false;
    }
    return true;
  }

  // "{F49C5F08-1234-5678-9ABC-DEF012345678}" (braces optional). Malformed text does not compile when
  // used in a constant expression and gives the null GUID otherwise.
  static constexpr TGUID Parse(const char* text) {
    TGUID g;
    int digits[32] = {};
    int n = 0;
    for (const char* p = text; *p != '\0'; ++p) {
      char c = *p;
      int v = -1;
      if (c >= '0' && c <= '9') v = c - '0';
      if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
      if (v >= 0) {
        if (n == 32) return TGUID();
        digits[n++] = v;
      } else if (c != '{' && c != '}' && c != '-') {
        return TGUID();
      }
    }
    if (n != 32) return TGUID();
    auto take = [&](int from, int count) {
      uint32_t v = 0;
      for (int i = 0; i < count; ++i) v = v * 16 + static_cast<uint32_t>(digits[from + i]);
      return v;
    };
    g.D1 = take(0, 8);
    g.D2 = static_cast<uint16_t>(take(8, 4));
    g.D3 = static_cast<uint16_t>(take(12, 4));
    for (int i = 0; i < 8; ++i) g.D4[i] = static_cast<uint8_t>(take(16 + 2 * i, 2));
    return g;
  }
};
using TIID = TGUID;

inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);

// The root interface. An object that does not count references answers -1 from _AddRef and _Release.
class IInterface {
 public:
  virtual HRESULT QueryInterface(const TGUID& IID, void** Obj) = 0;
  virtual Integer _AddRef() = 0;
  virtual Integer _Release() = 0;

 protected:
  ~IInterface() = default;
};

inline constexpr TGUID IID_IInterface = TGUID::Parse("{00000000-0000-0000-C000-000000000046}");

// True when Instance (which may be nil) implements I; Intf receives the interface.
template <class I, class T>
bool Supports(T* Instance, I*& Intf) {
  Intf = dynamic_cast<I*>(Instance);
  return Intf != nullptr;
}
