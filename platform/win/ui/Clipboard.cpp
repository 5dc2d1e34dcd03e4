// Global memory blocks and the clipboard of the process, with text and bitmap conversions and the
// seam through which a display back-end shares text with other programs.
#include <cstring>
#include <map>
#include <set>
#include <vector>

#include "platform/rtl/Utf.h"
#include "platform/win/ui/UiInternal.h"
#include "platform/win/ui/WinClipboard.h"

namespace k58::winui {

namespace {

struct Block {
  std::vector<BYTE> Bytes;
  int Locks = 0;
};

struct Blocks {
  std::mutex Lock;
  std::set<Block*> Live;
};

Blocks& Memory() {
  static auto* B = new Blocks;
  return *B;
}

Block* BlockOf(HGLOBAL H) {
  auto* B = static_cast<Block*>(H);
  std::lock_guard<std::mutex> G(Memory().Lock);
  return Memory().Live.count(B) ? B : nullptr;
}

struct ClipboardState {
  std::recursive_mutex Lock;
  HWND OpenBy = nullptr;
  DWORD OpenThread = 0;
  bool IsOpen = false;
  bool Changed = false;
  HWND Owner = nullptr;
  std::vector<std::pair<UINT, HANDLE>> Data;       // as set, in order
  std::vector<std::pair<UINT, HANDLE>> Converted;  // made on request from the data
  std::map<std::string, UINT> Names;
  std::map<UINT, std::string> Formats;
  UINT NextFormat = 0xC000;
};

ClipboardState& Clip() {
  static auto* C = new ClipboardState;
  return *C;
}

void FreeData(UINT Format, HANDLE H) {
  if (!H) return;
  if (Format == CF_BITMAP || Format == CF_PALETTE) {
    DeleteObject(static_cast<HGDIOBJ>(H));
  } else if (Format == CF_METAFILEPICT && BlockOf(H)) {
    if (GlobalSize(H) >= sizeof(METAFILEPICT)) {
      METAFILEPICT Pict;
      std::memcpy(&Pict, GlobalLock(H), sizeof(Pict));
      GlobalUnlock(H);
      if (Pict.hMF && BlockOf(Pict.hMF)) DeleteMetaFile(Pict.hMF);
    }
    GlobalFree(H);
  } else if (BlockOf(H)) {
    GlobalFree(H);
  }
}

void ClearLocked(ClipboardState& C) {
  for (auto& [F, H] : C.Data) FreeData(F, H);
  for (auto& [F, H] : C.Converted) FreeData(F, H);
  C.Data.clear();
  C.Converted.clear();
}

HANDLE Find(const std::vector<std::pair<UINT, HANDLE>>& List, UINT Format, bool* Present = nullptr) {
  for (auto& [F, H] : List)
    if (F == Format) {
      if (Present) *Present = true;
      return H;
    }
  if (Present) *Present = false;
  return nullptr;
}

HGLOBAL BlockWith(const void* Bytes, size_t Size) {
  HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, Size);
  if (!H) return nullptr;
  std::memcpy(GlobalLock(H), Bytes, Size);
  GlobalUnlock(H);
  return H;
}

// The text of a CF_TEXT or CF_UNICODETEXT block, bounded by the block's size.
bool ReadText(UINT Format, HANDLE H, std::u16string& Out) {
  Block* B = BlockOf(H);
  if (!B) return false;
  if (Format == CF_UNICODETEXT) {
    size_t N = B->Bytes.size() / 2;
    const auto* P = reinterpret_cast<const char16_t*>(B->Bytes.data());
    size_t Len = 0;
    while (Len < N && P[Len]) ++Len;
    Out.assign(P, Len);
  } else {
    const char* P = reinterpret_cast<const char*>(B->Bytes.data());
    size_t Len = strnlen(P, B->Bytes.size());
    Out = k58::rtl::Utf8ToUtf16(std::string_view(P, Len));
  }
  return true;
}

HGLOBAL MakeText(UINT Format, const std::u16string& Text) {
  if (Format == CF_UNICODETEXT) {
    std::u16string T = Text;
    T.push_back(0);
    return BlockWith(T.data(), T.size() * 2);
  }
  std::string U = k58::rtl::Utf16ToUtf8(Text);
  return BlockWith(U.c_str(), U.size() + 1);
}

HGLOBAL BitmapToDib(HBITMAP Bmp) {
  BITMAP B;
  if (!GetObject(Bmp, sizeof B, &B)) return nullptr;
  BITMAPINFO Info{};
  Info.bmiHeader.biWidth = B.bmWidth;
  Info.bmiHeader.biHeight = B.bmHeight;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  size_t Pixels = static_cast<size_t>(B.bmWidth) * B.bmHeight * 4;
  Info.bmiHeader.biSizeImage = static_cast<DWORD>(Pixels);
  std::vector<BYTE> Out(sizeof(BITMAPINFOHEADER) + Pixels);
  HDC Dc = CreateCompatibleDC(nullptr);
  int Rows = GetDIBits(Dc, Bmp, 0, static_cast<UINT>(B.bmHeight), Out.data() + sizeof(BITMAPINFOHEADER), &Info,
                       DIB_RGB_COLORS);
  DeleteDC(Dc);
  if (Rows <= 0) return nullptr;
  std::memcpy(Out.data(), &Info.bmiHeader, sizeof(BITMAPINFOHEADER));
  return BlockWith(Out.data(), Out.size());
}

HBITMAP DibToBitmap(HANDLE H) {
  Block* B = BlockOf(H);
  if (!B || B->Bytes.size() < sizeof(BITMAPINFOHEADER)) return nullptr;
  BITMAPINFOHEADER Hd;
  std::memcpy(&Hd, B->Bytes.data(), sizeof Hd);
  if (Hd.biSize < sizeof(BITMAPINFOHEADER) || Hd.biWidth <= 0 || Hd.biHeight == 0 || Hd.biPlanes != 1) return nullptr;
  size_t Colors = Hd.biBitCount <= 8 ? (Hd.biClrUsed ? Hd.biClrUsed : (size_t{1} << Hd.biBitCount)) : 0;
  if (Hd.biCompression == BI_BITFIELDS) Colors = 3;
  size_t Offset = Hd.biSize + Colors * 4;
  long long Height = Hd.biHeight < 0 ? -static_cast<long long>(Hd.biHeight) : Hd.biHeight;
  size_t Stride = ((static_cast<size_t>(Hd.biWidth) * Hd.biBitCount + 31) / 32) * 4;
  // The pixels must be inside the block: a damaged header never makes us read past it.
  if (Offset > B->Bytes.size() || Stride * static_cast<size_t>(Height) > B->Bytes.size() - Offset) return nullptr;
  HDC Dc = GetDC(nullptr);
  HBITMAP Bmp = CreateDIBitmap(Dc, &Hd, CBM_INIT, B->Bytes.data() + Offset,
                               reinterpret_cast<const BITMAPINFO*>(B->Bytes.data()), DIB_RGB_COLORS);
  ReleaseDC(nullptr, Dc);
  return Bmp;
}

bool OpenedByCaller(ClipboardState& C) { return C.IsOpen && C.OpenThread == GetCurrentThreadId(); }

bool ForeignText(std::u16string& Text) {
  EnsureInit();
  return Backend().ForeignClipboardText(Text);
}

bool HasLocalText(ClipboardState& C) {
  bool P1, P2;
  Find(C.Data, CF_TEXT, &P1);
  Find(C.Data, CF_UNICODETEXT, &P2);
  return P1 || P2;
}

bool Available(ClipboardState& C, UINT Format) {
  bool Present;
  Find(C.Data, Format, &Present);
  if (Present) return true;
  if (Format == CF_TEXT || Format == CF_UNICODETEXT || Format == CF_OEMTEXT) {
    if (HasLocalText(C)) return true;
    if (C.Data.empty()) {
      std::u16string T;
      return ForeignText(T);
    }
    return false;
  }
  if (Format == CF_DIB) return Find(C.Data, CF_BITMAP, &Present), Present;
  if (Format == CF_BITMAP) return Find(C.Data, CF_DIB, &Present), Present;
  return false;
}

std::string FoldName(LPCSTR Name) {
  std::string K = Name;
  for (char& Ch : K)
    if (Ch >= 'A' && Ch <= 'Z') Ch = static_cast<char>(Ch - 'A' + 'a');
  return K;
}

}  // namespace

bool ClipboardTextForExport(std::u16string& Text) {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  bool Present;
  HANDLE H = Find(C.Data, CF_UNICODETEXT, &Present);
  if (Present && H) return ReadText(CF_UNICODETEXT, H, Text);
  H = Find(C.Data, CF_TEXT, &Present);
  if (Present && H) return ReadText(CF_TEXT, H, Text);
  return false;
}

void ResetClipboard() {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  ClearLocked(C);
  C.Owner = C.OpenBy = nullptr;
  C.IsOpen = false;
}

void HostClipboardLost() {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  ClearLocked(C);
  C.Owner = nullptr;
}

}  // namespace k58::winui

using namespace k58::winui;

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
  auto* B = new (std::nothrow) Block;
  if (!B) return nullptr;
  try {
    B->Bytes.assign(dwBytes, 0);  // always zeroed: never hand out stale memory
  } catch (...) {
    delete B;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  (void)uFlags;
  std::lock_guard<std::mutex> G(Memory().Lock);
  Memory().Live.insert(B);
  return B;
}

LPVOID GlobalLock(HGLOBAL hMem) {
  Block* B = BlockOf(hMem);
  if (!B) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ++B->Locks;
  return B->Bytes.empty() ? static_cast<LPVOID>(B) : B->Bytes.data();
}

BOOL GlobalUnlock(HGLOBAL hMem) {
  Block* B = BlockOf(hMem);
  if (!B || B->Locks == 0) return FALSE;
  return --B->Locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
  auto* B = static_cast<Block*>(hMem);
  {
    std::lock_guard<std::mutex> G(Memory().Lock);
    if (!Memory().Live.erase(B)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return hMem;
    }
  }
  delete B;
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL hMem) {
  Block* B = BlockOf(hMem);
  return B ? B->Bytes.size() : 0;
}

BOOL OpenClipboard(HWND hWndNewOwner) {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  if (C.IsOpen) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  C.IsOpen = true;
  C.OpenBy = hWndNewOwner;
  C.OpenThread = GetCurrentThreadId();
  C.Changed = false;
  return TRUE;
}

BOOL CloseClipboard() {
  ClipboardState& C = Clip();
  bool Changed;
  {
    std::lock_guard<std::recursive_mutex> G(C.Lock);
    if (!OpenedByCaller(C)) return FALSE;
    C.IsOpen = false;
    C.OpenBy = nullptr;
    Changed = C.Changed;
  }
  if (Changed) {
    EnsureInit();
    Backend().ClipboardChanged();
  }
  return TRUE;
}

BOOL EmptyClipboard() {
  ClipboardState& C = Clip();
  HWND Previous;
  {
    std::lock_guard<std::recursive_mutex> G(C.Lock);
    if (!OpenedByCaller(C)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    Previous = C.Owner;
    ClearLocked(C);
    C.Owner = C.OpenBy;
    C.Changed = true;
  }
  if (Previous && Previous != C.Owner && IsWindow(Previous)) SendMessage(Previous, WM_DESTROYCLIPBOARD, 0, 0);
  return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem) {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  if (!OpenedByCaller(C) || uFormat == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  for (auto& [F, H] : C.Data)
    if (F == uFormat) {
      if (H != hMem) FreeData(F, H);
      H = hMem;
      C.Changed = true;
      return hMem;
    }
  // Conversions made from the old data are stale now.
  for (auto& [F, H] : C.Converted) FreeData(F, H);
  C.Converted.clear();
  C.Data.emplace_back(uFormat, hMem);
  C.Changed = true;
  return hMem;
}

HANDLE GetClipboardData(UINT uFormat) {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  if (!OpenedByCaller(C)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  bool Present;
  HANDLE H = Find(C.Data, uFormat, &Present);
  if (Present) return H;
  H = Find(C.Converted, uFormat, &Present);
  if (Present) return H;
  HANDLE Made = nullptr;
  if (uFormat == CF_TEXT || uFormat == CF_UNICODETEXT || uFormat == CF_OEMTEXT) {
    std::u16string Text;
    bool Got = false;
    for (UINT From : {CF_UNICODETEXT, CF_TEXT, CF_OEMTEXT}) {
      HANDLE Src = Find(C.Data, From, &Present);
      if (Present && Src && ReadText(From == CF_OEMTEXT ? CF_TEXT : From, Src, Text)) {
        Got = true;
        break;
      }
    }
    if (!Got && C.Data.empty()) Got = ForeignText(Text);
    if (Got) Made = MakeText(uFormat == CF_UNICODETEXT ? CF_UNICODETEXT : CF_TEXT, Text);
  } else if (uFormat == CF_DIB) {
    if (HANDLE Src = Find(C.Data, CF_BITMAP, &Present)) Made = BitmapToDib(static_cast<HBITMAP>(Src));
  } else if (uFormat == CF_BITMAP) {
    if (HANDLE Src = Find(C.Data, CF_DIB, &Present)) Made = DibToBitmap(Src);
  }
  if (Made) C.Converted.emplace_back(uFormat, Made);
  return Made;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  return Available(C, format) ? TRUE : FALSE;
}

int CountClipboardFormats() {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  if (C.Data.empty()) {
    std::u16string T;
    return ForeignText(T) ? 2 : 0;
  }
  return static_cast<int>(C.Data.size());
}

UINT EnumClipboardFormats(UINT format) {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  if (!OpenedByCaller(C)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  SetLastError(0);
  std::vector<UINT> List;
  for (auto& [F, H] : C.Data) List.push_back(F);
  if (List.empty()) {
    std::u16string T;
    if (ForeignText(T)) List = {CF_UNICODETEXT, CF_TEXT};
  }
  if (format == 0) return List.empty() ? 0 : List.front();
  for (size_t I = 0; I + 1 < List.size(); ++I)
    if (List[I] == format) return List[I + 1];
  return 0;
}

UINT RegisterClipboardFormat(LPCSTR lpszFormat) {
  if (!lpszFormat || !*lpszFormat) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  std::string Key = FoldName(lpszFormat);
  auto It = C.Names.find(Key);
  if (It != C.Names.end()) return It->second;
  if (C.NextFormat > 0xFFFF) return 0;
  UINT Id = C.NextFormat++;
  C.Names[Key] = Id;
  C.Formats[Id] = lpszFormat;
  return Id;
}

int GetClipboardFormatName(UINT format, LPSTR lpszFormatName, int cchMaxCount) {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  auto It = C.Formats.find(format);
  if (It == C.Formats.end() || !lpszFormatName || cchMaxCount <= 0) return 0;
  size_t N = std::min(It->second.size(), static_cast<size_t>(cchMaxCount - 1));
  std::memcpy(lpszFormatName, It->second.data(), N);
  lpszFormatName[N] = '\0';
  return static_cast<int>(N);
}

HWND GetClipboardOwner() {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  return C.Owner;
}

HWND GetOpenClipboardWindow() {
  ClipboardState& C = Clip();
  std::lock_guard<std::recursive_mutex> G(C.Lock);
  return C.IsOpen ? C.OpenBy : nullptr;
}

// ---- Metafile bits -------------------------------------------------------------------------------------

namespace {

HGLOBAL BitsBlock(UINT Size, const BYTE* Bits) {
  if (Bits == nullptr || Size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return BlockWith(Bits, Size);
}

UINT CopyBits(HGLOBAL H, UINT Size, void* Out) {
  if (!BlockOf(H)) return 0;
  const SIZE_T Have = GlobalSize(H);
  if (Out) std::memcpy(Out, GlobalLock(H), std::min<SIZE_T>(Have, Size)), GlobalUnlock(H);
  return static_cast<UINT>(Have);
}

}  // namespace

HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData) { return BitsBlock(cbBuffer, lpData); }

UINT GetMetaFileBitsEx(HMETAFILE hMF, UINT cbBuffer, LPVOID lpData) { return CopyBits(hMF, cbBuffer, lpData); }

BOOL DeleteMetaFile(HMETAFILE hmf) { return BlockOf(hmf) && GlobalFree(hmf) == nullptr; }

HENHMETAFILE SetEnhMetaFileBits(UINT nSize, const BYTE* pb) { return BitsBlock(nSize, pb); }

UINT GetEnhMetaFileBits(HENHMETAFILE hEMF, UINT nSize, BYTE* lpData) { return CopyBits(hEMF, nSize, lpData); }

BOOL DeleteEnhMetaFile(HENHMETAFILE hmf) { return BlockOf(hmf) && GlobalFree(hmf) == nullptr; }
