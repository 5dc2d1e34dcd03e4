// Icons: choosing the image of an .ico file, drawing through the mask, the file image written back, and
// damaged files.
#include <gtest/gtest.h>

#include "GraphicsTesting.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Graphics.h"

namespace forms_test {

namespace {

using forms_test::BuildDib;
using forms_test::DibSpec;
using forms_test::GraphicsTest;
using forms_test::LoadImage;
using forms_test::MakeBitmap;
using forms_test::Put16;
using forms_test::Put32;
using forms_test::StreamImage;

const std::map<TColor, char> kLegend{{clWhite, 'W'}, {clBlack, 'K'}, {clRed, 'R'}, {clBlue, 'B'},
                                     {clLime, 'G'},  {clFuchsia, 'F'}};

struct IconImage {
  int width;
  int height;
  int bitCount;
  std::vector<uint32_t> palette;
  std::vector<uint8_t> xorBits;  // bottom-up rows
  std::vector<uint8_t> andBits;  // bottom-up rows of 32-bit aligned bits, 1 = transparent
};

// An .ico file of the images (or of raw entry data when given).
std::vector<uint8_t> BuildIco(const std::vector<IconImage>& images, uint16_t type = 1) {
  std::vector<std::vector<uint8_t>> data;
  for (const IconImage& image : images) {
    DibSpec spec{image.width, image.height * 2, image.bitCount, BI_RGB, image.palette, {}, image.xorBits};
    spec.bits.insert(spec.bits.end(), image.andBits.begin(), image.andBits.end());
    data.push_back(BuildDib(spec));
  }
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, type);
  Put16(out, static_cast<uint32_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<uint8_t>(images[i].width));
    out.push_back(static_cast<uint8_t>(images[i].height));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(images[i].bitCount));
    Put32(out, static_cast<uint32_t>(data[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(data[i].size());
  }
  for (const auto& d : data) out.insert(out.end(), d.begin(), d.end());
  return out;
}

// 4 x 2, 4 bits: red, blue, (transparent), (inverting white); bottom row blue, red, blue, red; the mask
// makes the last two pixels of the top row transparent.
IconImage SmallIcon() {
  return IconImage{4,
                   2,
                   4,
                   {0xFF0000, 0x0000FF, 0x000000, 0xFFFFFF},
                   {0x10, 0x10, 0, 0, 0x01, 0x23, 0, 0},
                   {0x00, 0, 0, 0, 0x30, 0, 0, 0}};
}

// Size x size, 32 bits with alpha: the left half opaque red, the right half clear.
IconImage AlphaIcon(int size) {
  IconImage image{size, size, 32, {}, {}, std::vector<uint8_t>(static_cast<size_t>(((size + 31) / 32) * 4 * size), 0)};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const bool left = x < size / 2;
      image.xorBits.insert(image.xorBits.end(), {0, 0, static_cast<uint8_t>(left ? 0xFF : 0x80),
                                                 static_cast<uint8_t>(left ? 0xFF : 0)});
    }
  }
  return image;
}

using IconTest = GraphicsTest;

TEST_F(IconTest, DrawsThroughItsMaskAndInvertsWhereTheMaskSaysSo) {
  TIcon icon;
  const std::vector<uint8_t> file = BuildIco({SmallIcon()});
  LoadImage(&icon, file);
  EXPECT_EQ(icon.Width(), 4);
  EXPECT_EQ(icon.Height(), 2);
  EXPECT_TRUE(icon.Transparent());
  TObjectPtr<TBitmap> target = MakeBitmap(5, 2, clLime);
  target->Canvas()->Draw(1, 0, &icon);
  // Black under the mask keeps the background; white under the mask inverts it.
  EXPECT_BITMAP(target.get(), kLegend, {"GRBGF", "GBRBR"});
  // Drawn larger, the mask scales with the image.
  target = MakeBitmap(8, 4, clLime);
  target->Canvas()->StretchDraw(Rect(0, 0, 8, 4), &icon);
  EXPECT_BITMAP(target.get(), kLegend, {"RRBBGGFF", "RRBBGGFF", "BBRRBBRR", "BBRRBBRR"});
  // The file as read is what is written.
  EXPECT_EQ(StreamImage(&icon), file);
}

TEST_F(IconTest, TheImageNearestTheSystemIconSizeIsChosen) {
  TIcon icon;
  LoadImage(&icon, BuildIco({AlphaIcon(16), AlphaIcon(32), AlphaIcon(48)}));
  EXPECT_EQ(icon.Width(), GetSystemMetrics(SM_CXICON));
  // Alpha decides the transparency of images that have it.
  TObjectPtr<TBitmap> target = MakeBitmap(icon.Width(), 1, clLime);
  target->Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(forms_test::At(target.get(), 0, 0), clRed);
  EXPECT_EQ(forms_test::At(target.get(), icon.Width() - 1, 0), clLime);

  TIcon copy;
  copy.Assign(&icon);
  EXPECT_EQ(copy.Width(), icon.Width());
  EXPECT_TRUE(copy.Equals(&icon));
  EXPECT_THROW(copy.SetWidth(16), EInvalidGraphicOperation);
  EXPECT_THROW(copy.SetHeight(16), EInvalidGraphicOperation);
}

TEST_F(IconTest, DamagedFilesAreRefusedAndTheIconStaysAsItWas) {
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
  };
  std::vector<Case> cases;
  {
    std::vector<uint8_t> f = BuildIco({SmallIcon()});
    f[0] = 1;
    cases.push_back({"reserved word set", f});
  }
  cases.push_back({"not an icon or cursor", BuildIco({SmallIcon()}, 3)});
  cases.push_back({"no images", BuildIco({})});
  {
    std::vector<uint8_t> f = BuildIco({SmallIcon()});
    f[6 + 12] = 0xFF;
    f[6 + 13] = 0xFF;
    cases.push_back({"image beyond the end", f});
  }
  {
    std::vector<uint8_t> f = BuildIco({SmallIcon()});
    const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::copy(std::begin(png), std::end(png), f.begin() + 22);
    cases.push_back({"PNG images only", f});
  }
  {
    std::vector<uint8_t> f = BuildIco({AlphaIcon(32)});
    f.erase(f.end() - 2000, f.end());
    cases.push_back({"image cut short", f});
  }
  cases.push_back({"five bytes", {0, 0, 1, 0, 1}});

  TIcon icon;
  LoadImage(&icon, BuildIco({SmallIcon()}));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      LoadImage(&icon, c.file);
      ADD_FAILURE() << "read";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Icon image is not valid");
    }
    EXPECT_EQ(icon.Width(), 4);
  }
}

TEST_F(IconTest, IconResourcesHoldIcoFiles) {
  static const std::vector<uint8_t> file = BuildIco({SmallIcon()});
  RegisterResource(ResTypeIcon, "GRAPHICSTESTICON", file.data(), file.size());
  TIcon icon;
  icon.LoadFromResourceName(HInstance, "GraphicsTestIcon");
  EXPECT_EQ(icon.Width(), 4);
  EXPECT_THROW(icon.LoadFromResourceName(HInstance, "NOSUCHICON"), EResNotFound);
}

}  // namespace

}  // namespace forms_test
