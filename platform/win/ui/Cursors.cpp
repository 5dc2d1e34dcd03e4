// Cursors: the standard shapes by number, cursors made from masks or bitmaps, cursor resources
// registered by the program, the current cursor and its display count.
#include <map>
#include <string>

#include "platform/win/ui/UiInternal.h"

namespace k58::winui {

namespace {

struct CursorObject {
  CursorShape Shape;
  bool Standard = false;
};

struct CursorTable {
  std::mutex Lock;
  std::map<HCURSOR, CursorObject> Objects;
  std::map<WORD, HCURSOR> Standard;
  std::map<std::pair<HINSTANCE, std::string>, HCURSOR> Resources;
  uintptr_t Next = 0x30004;
};

CursorTable& Table() {
  static auto* T = new CursorTable;
  return *T;
}

HCURSOR AddLocked(CursorTable& T, CursorObject O) {
  auto H = reinterpret_cast<HCURSOR>(T.Next);
  T.Next += 4;
  T.Objects[H] = std::move(O);
  return H;
}

constexpr WORD kStandardIds[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642,
                                 32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651};

std::string ResourceKey(LPCSTR Name) {
  if (IS_INTRESOURCE(Name)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(Name));
  std::string K = Name ? Name : "";
  for (char& C : K)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return K;
}

// Reads a monochrome bitmap's pixels (1 for white) row by row.
bool MaskBits(HBITMAP Bmp, int& W, int& H, std::vector<BYTE>& Out) {
  k58::gdi::SurfacePtr S = k58::gdi::SurfaceOfBitmap(Bmp);
  if (!S) return false;
  W = S->Width();
  H = S->Height();
  Out.resize(static_cast<size_t>(W) * H);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) Out[static_cast<size_t>(Y) * W + X] = (S->Get(X, Y) & k58::gdi::kPixelMask) ? 1 : 0;
  return true;
}

}  // namespace

HCURSOR StandardCursor(WORD Id) {
  CursorTable& T = Table();
  std::lock_guard<std::mutex> G(T.Lock);
  auto It = T.Standard.find(Id);
  if (It != T.Standard.end()) return It->second;
  CursorObject O;
  O.Standard = true;
  O.Shape.StandardId = Id;
  O.Shape.Width = GetSystemMetrics(SM_CXCURSOR);
  O.Shape.Height = GetSystemMetrics(SM_CYCURSOR);
  HCURSOR H = AddLocked(T, std::move(O));
  T.Standard[Id] = H;
  return H;
}

void RegisterCursorResource(HINSTANCE Instance, LPCSTR Name, HCURSOR Cursor) {
  CursorTable& T = Table();
  std::lock_guard<std::mutex> G(T.Lock);
  T.Resources[{Instance, ResourceKey(Name)}] = Cursor;
}

bool GetCursorShape(HCURSOR Cursor, CursorShape& Shape) {
  CursorTable& T = Table();
  std::lock_guard<std::mutex> G(T.Lock);
  auto It = T.Objects.find(Cursor);
  if (It == T.Objects.end()) return false;
  Shape = It->second.Shape;
  return true;
}

}  // namespace k58::winui

using namespace k58::winui;

HCURSOR LoadCursor(HINSTANCE hInstance, LPCSTR lpCursorName) {
  if (!hInstance) {
    if (!IS_INTRESOURCE(lpCursorName)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    WORD Id = static_cast<WORD>(reinterpret_cast<uintptr_t>(lpCursorName));
    for (WORD K : kStandardIds)
      if (K == Id) return StandardCursor(Id);
    SetLastError(ERROR_NOT_FOUND);
    return nullptr;
  }
  CursorTable& T = Table();
  std::lock_guard<std::mutex> G(T.Lock);
  auto It = T.Resources.find({hInstance, ResourceKey(lpCursorName)});
  if (It == T.Resources.end()) {
    SetLastError(ERROR_NOT_FOUND);
    return nullptr;
  }
  return It->second;
}

HCURSOR CreateCursor(HINSTANCE, int xHotSpot, int yHotSpot, int nWidth, int nHeight, const void* pvANDPlane,
                     const void* pvXORPlane) {
  // No pointer shape is anywhere near this large; a bigger one is a mistake, not worth gigabytes.
  constexpr int kMaxSide = 1024;
  if (nWidth <= 0 || nHeight <= 0 || nWidth > kMaxSide || nHeight > kMaxSide || !pvANDPlane || !pvXORPlane) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  CursorObject O;
  O.Shape.Width = nWidth;
  O.Shape.Height = nHeight;
  O.Shape.Hotspot = POINT{xHotSpot, yHotSpot};
  int RowBytes = (nWidth + 15) / 16 * 2;
  auto* A = static_cast<const BYTE*>(pvANDPlane);
  auto* X = static_cast<const BYTE*>(pvXORPlane);
  O.Shape.And.resize(static_cast<size_t>(nWidth) * nHeight);
  O.Shape.Xor.resize(O.Shape.And.size());
  for (int Y = 0; Y < nHeight; ++Y)
    for (int Col = 0; Col < nWidth; ++Col) {
      size_t Byte = static_cast<size_t>(Y) * RowBytes + Col / 8;
      int Bit = 7 - Col % 8;
      O.Shape.And[static_cast<size_t>(Y) * nWidth + Col] = (A[Byte] >> Bit) & 1;
      O.Shape.Xor[static_cast<size_t>(Y) * nWidth + Col] = (X[Byte] >> Bit) & 1;
    }
  CursorTable& T = Table();
  std::lock_guard<std::mutex> G(T.Lock);
  return AddLocked(T, std::move(O));
}

HICON CreateIconIndirect(PICONINFO piconinfo) {
  if (!piconinfo || !piconinfo->hbmMask) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  CursorObject O;
  int W = 0, H = 0;
  std::vector<BYTE> Mask;
  if (!MaskBits(piconinfo->hbmMask, W, H, Mask)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  O.Shape.Hotspot = piconinfo->fIcon ? POINT{W / 2, H / 2}
                                     : POINT{static_cast<LONG>(piconinfo->xHotspot), static_cast<LONG>(piconinfo->yHotspot)};
  if (piconinfo->hbmColor) {
    k58::gdi::SurfacePtr C = k58::gdi::SurfaceOfBitmap(piconinfo->hbmColor);
    if (!C || C->Width() != W || C->Height() != H) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    O.Shape.Width = W;
    O.Shape.Height = H;
    O.Shape.And = Mask;
    O.Shape.Xor.assign(Mask.size(), 0);
    O.Shape.Color.resize(Mask.size());
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) O.Shape.Color[static_cast<size_t>(Y) * W + X] = C->Get(X, Y) & k58::gdi::kPixelMask;
  } else {
    // A monochrome shape: the AND mask above the XOR mask.
    O.Shape.Width = W;
    O.Shape.Height = H / 2;
    size_t Half = static_cast<size_t>(W) * (H / 2);
    O.Shape.And.assign(Mask.begin(), Mask.begin() + static_cast<ptrdiff_t>(Half));
    O.Shape.Xor.assign(Mask.begin() + static_cast<ptrdiff_t>(Half), Mask.begin() + static_cast<ptrdiff_t>(2 * Half));
  }
  CursorTable& T = Table();
  std::lock_guard<std::mutex> G(T.Lock);
  return AddLocked(T, std::move(O));
}

BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo) {
  CursorShape S;
  if (!piconinfo || !GetCursorShape(hIcon, S)) return FALSE;
  piconinfo->fIcon = FALSE;
  piconinfo->xHotspot = static_cast<DWORD>(S.Hotspot.x);
  piconinfo->yHotspot = static_cast<DWORD>(S.Hotspot.y);
  int W = S.Width, H = S.Height;
  if (S.StandardId) {
    piconinfo->hbmMask = CreateBitmap(W, 2 * H, 1, 1, nullptr);
    piconinfo->hbmColor = nullptr;
    return TRUE;
  }
  bool Colour = !S.Color.empty();
  int MaskH = Colour ? H : 2 * H;
  int RowBytes = (W + 15) / 16 * 2;
  std::vector<BYTE> Bits(static_cast<size_t>(RowBytes) * MaskH, 0);
  for (int Y = 0; Y < MaskH; ++Y)
    for (int X = 0; X < W; ++X) {
      BYTE V = Y < H ? S.And[static_cast<size_t>(Y) * W + X] : S.Xor[static_cast<size_t>(Y - H) * W + X];
      if (V) Bits[static_cast<size_t>(Y) * RowBytes + X / 8] |= static_cast<BYTE>(0x80 >> (X % 8));
    }
  piconinfo->hbmMask = CreateBitmap(W, MaskH, 1, 1, Bits.data());
  piconinfo->hbmColor = Colour ? CreateBitmap(W, H, 1, 32, S.Color.data()) : nullptr;
  return TRUE;
}

BOOL DestroyCursor(HCURSOR hCursor) {
  CursorTable& T = Table();
  std::lock_guard<std::mutex> G(T.Lock);
  auto It = T.Objects.find(hCursor);
  if (It == T.Objects.end()) return FALSE;
  if (It->second.Standard) return TRUE;
  for (auto& [Key, H] : T.Resources)
    if (H == hCursor) return TRUE;  // resources live as long as the program
  T.Objects.erase(It);
  return TRUE;
}

BOOL DestroyIcon(HICON hIcon) { return DestroyCursor(hIcon); }

HCURSOR CopyCursor(HCURSOR hCursor) {
  CursorTable& T = Table();
  std::lock_guard<std::mutex> G(T.Lock);
  auto It = T.Objects.find(hCursor);
  if (It == T.Objects.end()) return nullptr;
  CursorObject O = It->second;
  O.Standard = false;
  return AddLocked(T, std::move(O));
}

HCURSOR SetCursor(HCURSOR hCursor) {
  EnsureInit();
  UiState& S = Ui();
  HCURSOR Old = S.CurrentCursor;
  if (Old == hCursor) return Old;
  S.CurrentCursor = hCursor;
  if (S.CursorCount >= 0) Backend().SetPointerShape(hCursor);
  return Old;
}

HCURSOR GetCursor() { return Ui().CurrentCursor; }

int ShowCursor(BOOL bShow) {
  EnsureInit();
  UiState& S = Ui();
  bool Before = S.CursorCount >= 0;
  S.CursorCount += bShow ? 1 : -1;
  bool After = S.CursorCount >= 0;
  if (Before != After) Backend().SetPointerShape(After ? S.CurrentCursor : nullptr);
  return S.CursorCount;
}
