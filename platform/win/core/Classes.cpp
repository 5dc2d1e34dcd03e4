// Window classes: registration, look-up and class data.
#include <algorithm>
#include <cstring>

#include "platform/rtl/Utf.h"
#include "platform/win/core/CoreInternal.h"

namespace k58::wincore {

namespace {

WindowClass* ClassOfWindowLocked(HWND Hwnd) {
  Window* W = FindWindowLocked(Hwnd);
  if (!W) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  return W->Class.get();
}

ATOM RegisterClassRecord(const WNDCLASSEX& Wc) {
  if (!Wc.lpszClassName || IsAtomName(Wc.lpszClassName) || !*Wc.lpszClassName || !Wc.lpfnWndProc ||
      Wc.cbClsExtra < 0 || Wc.cbWndExtra < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  CoreState& S = Core();
  std::lock_guard<std::mutex> Guard(S.Lock);
  if (FindClassLocked(Wc.lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto C = std::make_shared<WindowClass>();
  C->Name = Wc.lpszClassName;
  C->Atom = S.NextAtom++;
  C->Style = Wc.style;
  C->Proc = Wc.lpfnWndProc;
  C->ClassExtraBytes = Wc.cbClsExtra;
  C->WindowExtraBytes = Wc.cbWndExtra;
  C->Instance = Wc.hInstance;
  C->Icon = Wc.hIcon;
  C->IconSmall = Wc.hIconSm;
  C->Cursor = Wc.hCursor;
  C->Background = Wc.hbrBackground;
  if (Wc.lpszMenuName && IsAtomName(Wc.lpszMenuName)) {
    C->MenuName = Wc.lpszMenuName;
  } else if (Wc.lpszMenuName) {
    C->MenuNameText = Wc.lpszMenuName;
    C->MenuName = C->MenuNameText.c_str();
  }
  C->ClassExtra.assign(static_cast<size_t>(Wc.cbClsExtra), 0);
  S.Classes.push_back(C);
  return C->Atom;
}

template <typename T>
T ReadSlot(const std::vector<BYTE>& Bytes, int Offset) {
  T Value;
  std::memcpy(&Value, Bytes.data() + Offset, sizeof(T));
  return Value;
}

template <typename T>
void WriteSlot(std::vector<BYTE>& Bytes, int Offset, T Value) {
  std::memcpy(Bytes.data() + Offset, &Value, sizeof(T));
}

}  // namespace

std::shared_ptr<WindowClass> FindClassLocked(LPCSTR Name) {
  if (!Name) return nullptr;
  CoreState& S = Core();
  if (IsAtomName(Name)) {
    ATOM Atom = static_cast<ATOM>(reinterpret_cast<uintptr_t>(Name));
    for (auto& C : S.Classes)
      if (C->Atom == Atom) return C;
    return nullptr;
  }
  for (auto& C : S.Classes)
    if (k58::rtl::CompareNoCase(C->Name, Name) == 0) return C;
  return nullptr;
}

}  // namespace k58::wincore

using namespace k58::wincore;

ATOM RegisterClass(const WNDCLASS* lpWndClass) {
  if (!lpWndClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSEX Ex;
  Ex.style = lpWndClass->style;
  Ex.lpfnWndProc = lpWndClass->lpfnWndProc;
  Ex.cbClsExtra = lpWndClass->cbClsExtra;
  Ex.cbWndExtra = lpWndClass->cbWndExtra;
  Ex.hInstance = lpWndClass->hInstance;
  Ex.hIcon = lpWndClass->hIcon;
  Ex.hCursor = lpWndClass->hCursor;
  Ex.hbrBackground = lpWndClass->hbrBackground;
  Ex.lpszMenuName = lpWndClass->lpszMenuName;
  Ex.lpszClassName = lpWndClass->lpszClassName;
  return RegisterClassRecord(Ex);
}

ATOM RegisterClassEx(const WNDCLASSEX* lpWndClass) {
  if (!lpWndClass || lpWndClass->cbSize != sizeof(WNDCLASSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return RegisterClassRecord(*lpWndClass);
}

BOOL UnregisterClass(LPCSTR lpClassName, HINSTANCE /*hInstance*/) {
  CoreState& S = Core();
  std::lock_guard<std::mutex> Guard(S.Lock);
  std::shared_ptr<WindowClass> C = FindClassLocked(lpClassName);
  if (!C) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (C->LiveWindows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  S.Classes.erase(std::find(S.Classes.begin(), S.Classes.end(), C));
  return TRUE;
}

BOOL GetClassInfoEx(HINSTANCE /*hInstance*/, LPCSTR lpszClass, WNDCLASSEX* lpwcx) {
  if (!lpwcx) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> Guard(Core().Lock);
  std::shared_ptr<WindowClass> C = FindClassLocked(lpszClass);
  if (!C) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  lpwcx->style = C->Style;
  lpwcx->lpfnWndProc = C->Proc;
  lpwcx->cbClsExtra = C->ClassExtraBytes;
  lpwcx->cbWndExtra = C->WindowExtraBytes;
  lpwcx->hInstance = C->Instance;
  lpwcx->hIcon = C->Icon;
  lpwcx->hIconSm = C->IconSmall;
  lpwcx->hCursor = C->Cursor;
  lpwcx->hbrBackground = C->Background;
  lpwcx->lpszMenuName = C->MenuName;
  lpwcx->lpszClassName = C->Name.c_str();
  return TRUE;
}

BOOL GetClassInfo(HINSTANCE hInstance, LPCSTR lpClassName, WNDCLASS* lpWndClass) {
  if (!lpWndClass) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  WNDCLASSEX Ex;
  if (!GetClassInfoEx(hInstance, lpClassName, &Ex)) return FALSE;
  lpWndClass->style = Ex.style;
  lpWndClass->lpfnWndProc = Ex.lpfnWndProc;
  lpWndClass->cbClsExtra = Ex.cbClsExtra;
  lpWndClass->cbWndExtra = Ex.cbWndExtra;
  lpWndClass->hInstance = Ex.hInstance;
  lpWndClass->hIcon = Ex.hIcon;
  lpWndClass->hCursor = Ex.hCursor;
  lpWndClass->hbrBackground = Ex.hbrBackground;
  lpWndClass->lpszMenuName = Ex.lpszMenuName;
  lpWndClass->lpszClassName = Ex.lpszClassName;
  return TRUE;
}

int GetClassName(HWND hWnd, LPSTR lpClassName, int nMaxCount) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  WindowClass* C = ClassOfWindowLocked(hWnd);
  if (!C) return 0;
  return CopyText(C->Name, lpClassName, nMaxCount);
}

ULONG_PTR GetClassLongPtr(HWND hWnd, int nIndex) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  WindowClass* C = ClassOfWindowLocked(hWnd);
  if (!C) return 0;
  if (nIndex >= 0) {
    if (static_cast<size_t>(nIndex) + sizeof(ULONG_PTR) > C->ClassExtra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    return ReadSlot<ULONG_PTR>(C->ClassExtra, nIndex);
  }
  switch (nIndex) {
    case GCLP_MENUNAME: return reinterpret_cast<ULONG_PTR>(C->MenuName);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(C->Background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(C->Cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(C->Icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(C->IconSmall);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(C->Instance);
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(C->WindowExtraBytes);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(C->ClassExtraBytes);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(C->Proc);
    case GCL_STYLE: return C->Style;
    case GCW_ATOM: return C->Atom;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
  }
}

ULONG_PTR SetClassLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  std::lock_guard<std::mutex> Guard(Core().Lock);
  WindowClass* C = ClassOfWindowLocked(hWnd);
  if (!C) return 0;
  ULONG_PTR Old = 0;
  if (nIndex >= 0) {
    if (static_cast<size_t>(nIndex) + sizeof(ULONG_PTR) > C->ClassExtra.size()) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    Old = ReadSlot<ULONG_PTR>(C->ClassExtra, nIndex);
    WriteSlot<ULONG_PTR>(C->ClassExtra, nIndex, static_cast<ULONG_PTR>(dwNewLong));
    return Old;
  }
  switch (nIndex) {
    case GCLP_MENUNAME: {
      Old = reinterpret_cast<ULONG_PTR>(C->MenuName);
      LPCSTR Name = reinterpret_cast<LPCSTR>(dwNewLong);
      if (Name && !IsAtomName(Name)) {
        C->MenuNameText = Name;
        C->MenuName = C->MenuNameText.c_str();
      } else {
        C->MenuName = Name;
      }
      return Old;
    }
    case GCLP_HBRBACKGROUND:
      Old = reinterpret_cast<ULONG_PTR>(C->Background);
      C->Background = reinterpret_cast<HBRUSH>(dwNewLong);
      return Old;
    case GCLP_HCURSOR:
      Old = reinterpret_cast<ULONG_PTR>(C->Cursor);
      C->Cursor = reinterpret_cast<HCURSOR>(dwNewLong);
      return Old;
    case GCLP_HICON:
      Old = reinterpret_cast<ULONG_PTR>(C->Icon);
      C->Icon = reinterpret_cast<HICON>(dwNewLong);
      return Old;
    case GCLP_HICONSM:
      Old = reinterpret_cast<ULONG_PTR>(C->IconSmall);
      C->IconSmall = reinterpret_cast<HICON>(dwNewLong);
      return Old;
    case GCLP_HMODULE:
      Old = reinterpret_cast<ULONG_PTR>(C->Instance);
      C->Instance = reinterpret_cast<HINSTANCE>(dwNewLong);
      return Old;
    case GCL_CBWNDEXTRA:
      // Applies to windows created from now on.
      if (dwNewLong < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      Old = static_cast<ULONG_PTR>(C->WindowExtraBytes);
      C->WindowExtraBytes = static_cast<int>(dwNewLong);
      return Old;
    case GCLP_WNDPROC:
      // Applies to windows created from now on; a class always has a procedure.
      if (!dwNewLong) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
      }
      Old = reinterpret_cast<ULONG_PTR>(C->Proc);
      C->Proc = reinterpret_cast<WNDPROC>(dwNewLong);
      return Old;
    case GCL_STYLE:
      Old = C->Style;
      C->Style = static_cast<UINT>(dwNewLong);
      return Old;
    default:
      break;
  }
  SetLastError(ERROR_INVALID_INDEX);
  return 0;
}
