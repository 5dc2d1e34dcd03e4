// Test helper for code that reads the user's locale information (GetLocaleInfo): pins items for the
// lifetime of an object and puts the previous values back.
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/rtl/Types.h"
#include "platform/win/core/WinNls.h"

class TLocaleInfoGuard {
public:
  TLocaleInfoGuard(std::initializer_list<std::pair<LCTYPE, const char*>> Items) {
    for (const auto& [type, value] : Items) {
      char previous[256] = {};
      GetLocaleInfoA(LOCALE_USER_DEFAULT, type, previous, sizeof previous);
      saved_.emplace_back(type, previous);
      SetLocaleInfoA(LOCALE_USER_DEFAULT, type, value);
    }
  }
  ~TLocaleInfoGuard() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) SetLocaleInfoA(LOCALE_USER_DEFAULT, it->first, it->second.c_str());
  }
  TLocaleInfoGuard(const TLocaleInfoGuard&) = delete;
  TLocaleInfoGuard& operator=(const TLocaleInfoGuard&) = delete;

private:
  std::vector<std::pair<LCTYPE, String>> saved_;
};
