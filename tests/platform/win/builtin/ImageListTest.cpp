#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win/builtin/ImageList.h"
#include "platform/win/gdi/Gdi.h"

namespace builtin_test {

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(128, 128, 128);

COLORREF ColourOf(char C) {
  switch (C) {
    case 'r': return kRed;
    case 'b': return kBlue;
    case 'g': return kGreen;
    case '.': return kWhite;
    case '#': return kBlack;
    default: return kGrey;
  }
}

char CharOf(COLORREF C) {
  for (char Ch : std::string("rbg.#-"))
    if (ColourOf(Ch) == C) return Ch;
  return '?';
}

// A 32-bit bitmap from rows of colour letters.
HBITMAP Picture(const std::vector<std::string>& Rows) {
  int W = static_cast<int>(Rows[0].size()), H = static_cast<int>(Rows.size());
  HBITMAP B = CreateBitmap(W, H, 1, 32, nullptr);
  auto S = k58::gdi::SurfaceOfBitmap(B);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) S->Set(X, Y, k58::gdi::ColorToPixel(ColourOf(Rows[Y][X])));
  return B;
}

// A monochrome bitmap: '.' white (1, transparent), '#' black.
HBITMAP MaskPicture(const std::vector<std::string>& Rows) {
  int W = static_cast<int>(Rows[0].size()), H = static_cast<int>(Rows.size());
  HBITMAP B = CreateBitmap(W, H, 1, 1, nullptr);
  auto S = k58::gdi::SurfaceOfBitmap(B);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) S->Set(X, Y, Rows[Y][X] == '.' ? k58::gdi::kWhitePixel : 0);
  return B;
}

// A memory DC on a grey 32-bit canvas.
struct Canvas {
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  Canvas(int W, int H) {
    Dc = CreateCompatibleDC(nullptr);
    Bitmap = CreateBitmap(W, H, 1, 32, nullptr);
    Old = SelectObject(Dc, Bitmap);
    k58::gdi::SurfaceOfBitmap(Bitmap)->Fill(k58::gdi::ColorToPixel(kGrey));
  }
  ~Canvas() {
    SelectObject(Dc, Old);
    DeleteObject(Bitmap);
    DeleteDC(Dc);
  }
  std::string Row(int Y) const {
    auto S = k58::gdi::SurfaceOfBitmap(Bitmap);
    std::string R;
    for (int X = 0; X < S->Width(); ++X) R += CharOf(k58::gdi::PixelToColor(S->Get(X, Y)));
    return R;
  }
};

}  // namespace

TEST(ImageList, MaskedColourShowsWhatIsBelowAndAWideBitmapGivesSeveralImages) {
  HIMAGELIST L = ImageList_Create(3, 1, ILC_COLOR32 | ILC_MASK, 1, 1);
  HBITMAP B = Picture({"rgbgbr"});
  EXPECT_EQ(0, ImageList_AddMasked(L, B, kGreen));
  EXPECT_EQ(2, ImageList_GetImageCount(L));
  int Cx = 0, Cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(L, &Cx, &Cy));
  EXPECT_EQ(3, Cx);
  EXPECT_EQ(1, Cy);

  Canvas C(8, 1);
  // New lists have no background colour: ILD_NORMAL draws through the mask.
  EXPECT_TRUE(ImageList_Draw(L, 0, C.Dc, 1, 0, ILD_NORMAL));
  EXPECT_TRUE(ImageList_Draw(L, 1, C.Dc, 5, 0, ILD_TRANSPARENT));
  EXPECT_EQ("-r-b--br", C.Row(0));

  // With a background colour ILD_NORMAL fills the transparent pixels, ILD_TRANSPARENT still does not.
  EXPECT_EQ(CLR_NONE, ImageList_SetBkColor(L, kWhite));
  Canvas D(8, 1);
  ImageList_Draw(L, 0, D.Dc, 0, 0, ILD_NORMAL);
  ImageList_Draw(L, 0, D.Dc, 4, 0, ILD_TRANSPARENT);
  EXPECT_EQ("r.b-r-b-", D.Row(0));

  // The mask alone, the image alone, and an explicit background through DrawEx.
  Canvas E(12, 1);
  ImageList_Draw(L, 1, E.Dc, 0, 0, ILD_MASK);
  ImageList_Draw(L, 0, E.Dc, 3, 0, ILD_IMAGE);
  ImageList_DrawEx(L, 0, E.Dc, 6, 0, 0, 0, kBlack, CLR_DEFAULT, ILD_NORMAL);
  ImageList_DrawEx(L, 0, E.Dc, 9, 0, 2, 0, CLR_NONE, CLR_DEFAULT, ILD_NORMAL);  // two columns only
  EXPECT_EQ(".##rgbr#br--", E.Row(0));

  DeleteObject(B);
  ImageList_Destroy(L);
}

TEST(ImageList, MonochromeMaskRemoveAndReplace) {
  HIMAGELIST L = ImageList_Create(2, 2, ILC_COLOR32 | ILC_MASK, 0, 2);
  HBITMAP B = Picture({"rrbbgg", "rrbbgg"});
  HBITMAP M = MaskPicture({"#..##.", "##.#.#"});
  EXPECT_EQ(0, ImageList_Add(L, B, M));
  EXPECT_EQ(3, ImageList_GetImageCount(L));

  // Removing the middle image moves the last one (with its mask) up.
  EXPECT_TRUE(ImageList_Remove(L, 1));
  EXPECT_EQ(2, ImageList_GetImageCount(L));
  Canvas C(4, 2);
  ImageList_Draw(L, 0, C.Dc, 0, 0, ILD_TRANSPARENT);
  ImageList_Draw(L, 1, C.Dc, 2, 0, ILD_TRANSPARENT);
  EXPECT_EQ("r-g-", C.Row(0));
  EXPECT_EQ("rr-g", C.Row(1));

  // Replacing without a mask makes every pixel of the image opaque.
  HBITMAP Blue = Picture({"bb", "bb"});
  EXPECT_TRUE(ImageList_Replace(L, 1, Blue, nullptr));
  ImageList_Draw(L, 1, C.Dc, 2, 0, ILD_TRANSPARENT);
  EXPECT_EQ("r-bb", C.Row(0));

  EXPECT_TRUE(ImageList_RemoveAll(L));
  EXPECT_EQ(0, ImageList_GetImageCount(L));
  EXPECT_FALSE(ImageList_Draw(L, 0, C.Dc, 0, 0, ILD_NORMAL));
  // The list grows again after being emptied.
  EXPECT_EQ(0, ImageList_Add(L, Blue, nullptr));
  DeleteObject(Blue);
  DeleteObject(B);
  DeleteObject(M);
  ImageList_Destroy(L);
}

TEST(ImageList, ListWithoutMaskDrawsOpaqueAndBadArgumentsFail) {
  HIMAGELIST L = ImageList_Create(2, 1, ILC_COLOR32, 1, 1);
  HBITMAP B = Picture({"rg"});
  EXPECT_EQ(0, ImageList_AddMasked(L, B, kGreen));  // no ILC_MASK: the colour key is not used
  Canvas C(3, 1);
  ImageList_Draw(L, 0, C.Dc, 1, 0, ILD_TRANSPARENT);
  EXPECT_EQ("-rg", C.Row(0));

  HBITMAP Narrow = Picture({"r"});
  EXPECT_EQ(-1, ImageList_Add(L, Narrow, nullptr));  // narrower than one image
  EXPECT_EQ(-1, ImageList_Add(nullptr, B, nullptr));
  EXPECT_FALSE(ImageList_Draw(L, 1, C.Dc, 0, 0, ILD_NORMAL));
  EXPECT_FALSE(ImageList_Draw(L, -1, C.Dc, 0, 0, ILD_NORMAL));
  EXPECT_FALSE(ImageList_Remove(L, 5));
  EXPECT_FALSE(ImageList_Replace(L, 3, B, nullptr));
  EXPECT_EQ(nullptr, ImageList_Create(0, 16, ILC_MASK, 1, 1));
  DeleteObject(Narrow);
  DeleteObject(B);
  ImageList_Destroy(L);
}

}  // namespace builtin_test
