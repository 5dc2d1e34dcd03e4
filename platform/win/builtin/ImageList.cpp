// Image lists. The images sit one below the other in a 32-bit strip, their masks in a monochrome strip
// of the same layout (1 = transparent), so that one MaskBlt draws an image through its mask.
#include "platform/win/builtin/ImageList.h"

#include <algorithm>
#include <memory>

#include "platform/win/gdi/Gdi.h"
#include "platform/win/gdi/WinUserGdi.h"

namespace k58::builtin {

struct ImageListData {
  int Cx = 0;
  int Cy = 0;
  UINT Flags = 0;
  int Count = 0;
  int Capacity = 0;
  int Grow = 4;
  COLORREF Bk = CLR_NONE;
  k58::gdi::SurfacePtr Image;  // Cx x (Cy * Capacity)
  k58::gdi::SurfacePtr Mask;
  HBITMAP ImageBitmap = nullptr;
  HBITMAP MaskBitmap = nullptr;

  ~ImageListData() { FreeBitmaps(); }

  bool Masked() const { return (Flags & ILC_MASK) != 0; }

  void FreeBitmaps() {
    if (ImageBitmap) DeleteObject(ImageBitmap);
    if (MaskBitmap) DeleteObject(MaskBitmap);
    ImageBitmap = MaskBitmap = nullptr;
  }

  // Makes room for Needed images, keeping the ones there.
  void Reserve(int Needed) {
    if (Needed <= Capacity && Image) return;
    int NewCapacity = std::max({Needed, Capacity + Grow, 1});
    auto NewImage = std::make_shared<k58::gdi::Surface>(Cx, Cy * NewCapacity, 32);
    auto NewMask = std::make_shared<k58::gdi::Surface>(Cx, Cy * NewCapacity, 1);
    NewMask->Fill(k58::gdi::kWhitePixel);
    if (Image)
      for (int Y = 0; Y < Cy * Count; ++Y) {
        std::copy_n(Image->Row(Y), Cx, NewImage->Row(Y));
        std::copy_n(Mask->Row(Y), Cx, NewMask->Row(Y));
      }
    FreeBitmaps();
    Image = NewImage;
    Mask = NewMask;
    Capacity = NewCapacity;
    ImageBitmap = k58::gdi::CreateBitmapOnSurface(Image);
    MaskBitmap = k58::gdi::CreateBitmapOnSurface(Mask);
  }

  // Copies image Index of the source strip (column Column of a bitmap holding several) into slot Slot.
  // MaskOf answers whether a source pixel is transparent.
  template <typename MaskFn>
  void Store(int Slot, const k58::gdi::Surface& Source, int Column, MaskFn MaskOf) {
    for (int Y = 0; Y < Cy; ++Y) {
      uint32_t* ImageRow = Image->Row(Slot * Cy + Y);
      uint32_t* MaskRow = Mask->Row(Slot * Cy + Y);
      for (int X = 0; X < Cx; ++X) {
        int Sx = Column * Cx + X;
        bool Inside = Source.Contains(Sx, Y);
        uint32_t Pixel = Inside ? (Source.Get(Sx, Y) & k58::gdi::kPixelMask) : 0;
        bool Transparent = Masked() && (!Inside || MaskOf(Sx, Y, Pixel));
        ImageRow[X] = Pixel;
        MaskRow[X] = Transparent ? k58::gdi::kWhitePixel : 0;
      }
    }
  }
};

namespace {

// Images a source bitmap holds: whole images side by side.
int ImagesIn(const k58::gdi::Surface& Source, int Cx) { return Source.Width() / Cx; }

int AddImages(HIMAGELIST List, HBITMAP Image, const k58::gdi::Surface* MaskSurface, bool UseColour, COLORREF Colour) {
  if (!List) return -1;
  k58::gdi::SurfacePtr Source = k58::gdi::SurfaceOfBitmap(Image);
  if (!Source) return -1;
  int N = ImagesIn(*Source, List->Cx);
  if (N <= 0) return -1;
  int First = List->Count;
  List->Reserve(First + N);
  uint32_t Key = k58::gdi::ColorToPixel(Colour) & k58::gdi::kPixelMask;
  for (int I = 0; I < N; ++I) {
    List->Store(First + I, *Source, I, [&](int X, int Y, uint32_t Pixel) {
      if (UseColour) return Pixel == Key;
      if (MaskSurface) return MaskSurface->Contains(X, Y) && (MaskSurface->Get(X, Y) & k58::gdi::kPixelMask) != 0;
      return false;
    });
  }
  List->Count += N;
  return First;
}

}  // namespace

}  // namespace k58::builtin

using k58::builtin::ImageListData;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow) {
  if (cx <= 0 || cy <= 0 || cInitial < 0) return nullptr;
  auto List = std::make_unique<ImageListData>();
  List->Cx = cx;
  List->Cy = cy;
  List->Flags = flags;
  List->Grow = std::max(cGrow, 1);
  List->Reserve(std::max(cInitial, 1));
  return List.release();
}

BOOL ImageList_Destroy(HIMAGELIST himl) {
  if (!himl) return FALSE;
  delete himl;
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST himl) { return himl ? himl->Count : 0; }

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
  if (!himl || !cx || !cy) return FALSE;
  *cx = himl->Cx;
  *cy = himl->Cy;
  return TRUE;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask) {
  k58::gdi::SurfacePtr Mask = hbmMask ? k58::gdi::SurfaceOfBitmap(hbmMask) : nullptr;
  if (hbmMask && !Mask) return -1;
  return k58::builtin::AddImages(himl, hbmImage, Mask.get(), false, 0);
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask) {
  return k58::builtin::AddImages(himl, hbmImage, nullptr, true, crMask);
}

BOOL ImageList_Replace(HIMAGELIST himl, int i, HBITMAP hbmImage, HBITMAP hbmMask) {
  if (!himl || i < 0 || i >= himl->Count) return FALSE;
  k58::gdi::SurfacePtr Source = k58::gdi::SurfaceOfBitmap(hbmImage);
  k58::gdi::SurfacePtr Mask = hbmMask ? k58::gdi::SurfaceOfBitmap(hbmMask) : nullptr;
  if (!Source || (hbmMask && !Mask)) return FALSE;
  himl->Store(i, *Source, 0, [&](int X, int Y, uint32_t) {
    return Mask && Mask->Contains(X, Y) && (Mask->Get(X, Y) & k58::gdi::kPixelMask) != 0;
  });
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST himl, int i) {
  if (!himl) return FALSE;
  if (i == -1) {
    himl->Count = 0;
    return TRUE;
  }
  if (i < 0 || i >= himl->Count) return FALSE;
  // Shift the images below up by one slot.
  for (int Y = (i + 1) * himl->Cy; Y < himl->Count * himl->Cy; ++Y) {
    std::copy_n(himl->Image->Row(Y), himl->Cx, himl->Image->Row(Y - himl->Cy));
    std::copy_n(himl->Mask->Row(Y), himl->Cx, himl->Mask->Row(Y - himl->Cy));
  }
  --himl->Count;
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk) {
  if (!himl) return CLR_NONE;
  COLORREF Old = himl->Bk;
  himl->Bk = clrBk;
  return Old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST himl) { return himl ? himl->Bk : CLR_NONE; }

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle) {
  return ImageList_DrawEx(himl, i, hdcDst, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, fStyle);
}

BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF, UINT fStyle) {
  if (!himl || i < 0 || i >= himl->Count || !hdcDst) return FALSE;
  int W = dx > 0 ? std::min(dx, himl->Cx) : himl->Cx;
  int H = dy > 0 ? std::min(dy, himl->Cy) : himl->Cy;
  int Top = i * himl->Cy;
  HDC Mem = CreateCompatibleDC(hdcDst);
  if (!Mem) return FALSE;
  BOOL Ok = TRUE;
  if (fStyle & ILD_MASK) {
    // Monochrome to colour: 0 bits in the text colour, 1 bits in the background colour.
    HGDIOBJ Old = SelectObject(Mem, himl->MaskBitmap);
    COLORREF OldText = SetTextColor(hdcDst, RGB(0, 0, 0));
    COLORREF OldBk = SetBkColor(hdcDst, RGB(255, 255, 255));
    if (himl->Masked())
      Ok = BitBlt(hdcDst, x, y, W, H, Mem, 0, Top, SRCCOPY);
    else
      Ok = PatBlt(hdcDst, x, y, W, H, BLACKNESS);
    SetTextColor(hdcDst, OldText);
    SetBkColor(hdcDst, OldBk);
    SelectObject(Mem, Old);
  } else {
    HGDIOBJ Old = SelectObject(Mem, himl->ImageBitmap);
    COLORREF Bk = rgbBk == CLR_DEFAULT ? himl->Bk : rgbBk;
    bool Transparent = himl->Masked() && !(fStyle & ILD_IMAGE) && ((fStyle & ILD_TRANSPARENT) || Bk == CLR_NONE);
    if (!himl->Masked() || (fStyle & ILD_IMAGE)) {
      Ok = BitBlt(hdcDst, x, y, W, H, Mem, 0, Top, SRCCOPY);
    } else {
      if (!Transparent) {
        // The background colour shows where the image is transparent.
        HBRUSH Brush = CreateSolidBrush(Bk);
        RECT R{x, y, x + W, y + H};
        FillRect(hdcDst, &R, Brush);
        DeleteObject(Brush);
      }
      // Mask 1 (transparent): keep the destination; mask 0: copy the image.
      constexpr DWORD kKeepDest = 0x00AA0029;
      Ok = MaskBlt(hdcDst, x, y, W, H, Mem, 0, Top, himl->MaskBitmap, 0, Top, MAKEROP4(kKeepDest, SRCCOPY));
    }
    SelectObject(Mem, Old);
  }
  DeleteDC(Mem);
  return Ok;
}
