// The solid brush cache through a factory that counts the brushes it makes and deletes: the system colour
// brushes, the colour order, the eviction choice, the palette change, and an evicted brush that a device
// context still paints with. Also the filter captions' text hook.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/controls/foundation/FoundationTesting.h"

using namespace foundation_test;

namespace {

// Real brushes, counted.
struct CountingFactory {
  Integer Created = 0;
  std::vector<HBRUSH> Deleted;
  std::map<HBRUSH, COLORREF> ColourOf;

  k58::foundation::TSolidBrushFactory Make() {
    return {[this](COLORREF AColor) {
              ++Created;
              const HBRUSH brush = CreateSolidBrush(AColor);
              ColourOf[brush] = AColor;
              return brush;
            },
            [this](HBRUSH ABrush) {
              Deleted.push_back(ABrush);
              DeleteObject(ABrush);
            }};
  }
  bool WasDeleted(HBRUSH ABrush) const { return std::find(Deleted.begin(), Deleted.end(), ABrush) != Deleted.end(); }
};

class BrushCacheTest : public FoundationTest {
 protected:
  CountingFactory factory;

  std::vector<TColor> Colours(const TuiSolidBrushCache& ACache) const {
    std::vector<TColor> colours;
    for (Integer i = 0; i < ACache.Count(); ++i) colours.push_back(ACache.ColorAt(i));
    return colours;
  }
};

void ChangeSystemColours() {
  const INT index = COLOR_BTNFACE;
  const COLORREF colour = RGB(200, 190, 180);
  SetSysColors(1, &index, &colour);
}

}  // namespace

TEST_F(BrushCacheTest, SystemColoursZeroToThirtyBypassTheCacheAndIndex31EntersIt) {
  TuiSolidBrushCache cache(8, factory.Make());
  for (Integer index = 0; index <= 30; ++index)
    EXPECT_EQ(GetSysColorBrush(index), cache.GetBrush(clSystemColor | index)) << index;
  EXPECT_EQ(0, cache.Count());
  EXPECT_EQ(0, factory.Created);

  const HBRUSH brush = cache.GetBrush(clSystemColor | 31);
  EXPECT_EQ(1, factory.Created);
  ASSERT_EQ(1, cache.Count());
  EXPECT_EQ(static_cast<TColor>(clSystemColor | 31), cache.ColorAt(0));
  EXPECT_EQ(ColorToRGB(clSystemColor | 31), factory.ColourOf[brush]);
}

TEST_F(BrushCacheTest, ColoursSortAsUnsignedNumbersAndRepeatRequestsCountUses) {
  TuiSolidBrushCache cache(8, factory.Make());
  const TColor system40 = static_cast<TColor>(clSystemColor | 40);
  const HBRUSH first = cache.GetBrush(system40);
  cache.GetBrush(0x00FFFFFF);
  cache.GetBrush(RGB(1, 2, 3));
  cache.GetBrush(0x00000001);
  EXPECT_EQ((std::vector<TColor>{0x00000001, RGB(1, 2, 3), 0x00FFFFFF, system40}), Colours(cache));
  EXPECT_EQ(0u, cache.UseCountAt(3));
  EXPECT_EQ(first, cache.GetBrush(system40));
  EXPECT_EQ(first, cache.GetBrush(system40));
  EXPECT_EQ(2u, cache.UseCountAt(3));
  EXPECT_EQ(4, factory.Created);
  EXPECT_TRUE(factory.Deleted.empty());
}

TEST_F(BrushCacheTest, AFullCacheEvictsTheFirstColourWithTheFewestUses) {
  TuiSolidBrushCache cache(4, factory.Make());
  const TColor a = 0x10, b = 0x20, c = 0x30, d = 0x40;
  std::map<TColor, HBRUSH> brush;
  for (TColor colour : {a, b, c, d}) brush[colour] = cache.GetBrush(colour);
  cache.GetBrush(a);
  cache.GetBrush(a);
  cache.GetBrush(b);
  cache.GetBrush(d);  // uses: a 2, b 1, c 0, d 1

  const HBRUSH brush05 = cache.GetBrush(0x05);  // c has the fewest uses
  EXPECT_EQ((std::vector<HBRUSH>{brush[c]}), factory.Deleted);
  EXPECT_EQ((std::vector<TColor>{0x05, a, b, d}), Colours(cache));

  // A tie goes to the first colour: 0x05, b and d have one use each.
  cache.GetBrush(0x05);
  const HBRUSH brush50 = cache.GetBrush(0x50);
  EXPECT_EQ(brush05, factory.Deleted.back());
  EXPECT_EQ((std::vector<TColor>{a, b, d, 0x50}), Colours(cache));
  // The colour made last has no use yet and goes next, though it sorts last.
  cache.GetBrush(0x35);
  EXPECT_EQ(brush50, factory.Deleted.back());
  EXPECT_EQ((std::vector<TColor>{a, b, 0x35, d}), Colours(cache));
  EXPECT_EQ(3u, factory.Deleted.size());
}

TEST_F(BrushCacheTest, APaletteChangeDeletesEveryCachedBrush) {
  TuiSolidBrushCache cache(8, factory.Make());
  const HBRUSH red = cache.GetBrush(clRed), green = cache.GetBrush(clGreen);
  cache.GetBrush(clBtnFace);
  const HBRUSH shared = GetSolidBrush(clBlue);

  ChangeSystemColours();
  Display.Pump();

  EXPECT_EQ(0, cache.Count());
  EXPECT_EQ(2u, factory.Deleted.size());
  EXPECT_TRUE(factory.WasDeleted(red) && factory.WasDeleted(green));
  EXPECT_EQ(0u, GetObjectType(shared)) << "the process-wide cache is emptied too";
  EXPECT_EQ(0, k58::foundation::SolidBrushCache()->Count());
  EXPECT_EQ(OBJ_BRUSH, GetObjectType(GetSysColorBrush(COLOR_BTNFACE)));

  cache.GetBrush(clRed);
  EXPECT_EQ(3, factory.Created);
}

TEST_F(BrushCacheTest, AnEvictedBrushADeviceContextStillPaintsWithStaysValidUntilReleased) {
  TestCanvas canvas(4, 4, clWhite);
  const HDC dc = canvas->GetDCHandle();
  TuiSolidBrushCache cache(1, factory.Make());
  const HBRUSH red = cache.GetBrush(clRed);
  const HGDIOBJ previous = SelectObject(dc, red);

  cache.GetBrush(clLime);  // evicts red: the cache's reference goes
  ASSERT_TRUE(factory.WasDeleted(red));
  EXPECT_EQ(OBJ_BRUSH, GetObjectType(red));
  PatBlt(dc, 0, 0, 2, 4, PATCOPY);
  EXPECT_EQ(clRed, canvas.At(1, 1));
  // The handle still selects and fills while the context holds it.
  EXPECT_EQ(red, SelectObject(dc, red));
  RECT right{2, 0, 4, 4};
  EXPECT_NE(0, FillRect(dc, &right, red));
  EXPECT_EQ(clRed, canvas.At(3, 3));

  SelectObject(dc, previous);
  EXPECT_EQ(0u, GetObjectType(red)) << "freed once no context holds it";
}

TEST_F(BrushCacheTest, TheProcessWideCacheLivesWithTheUnits) {
  ASSERT_NE(nullptr, k58::foundation::SolidBrushCache());
  EXPECT_EQ(128, k58::foundation::SolidBrushCache()->Capacity());
  EXPECT_EQ(GetSolidBrush(clRed), GetCanvasSolidBrush(static_cast<TCanvas*>(nullptr), clRed));
  EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), GetSolidBrush(clWindow));
  const HBRUSH red = GetSolidBrush(clRed);
  k58::foundation::StopUnits();
  EXPECT_EQ(nullptr, k58::foundation::SolidBrushCache());
  EXPECT_EQ(0u, GetObjectType(red));
  EXPECT_THROW(GetSolidBrush(clRed), EInvalidOperation);
  k58::foundation::StartUnits();
}

TEST_F(BrushCacheTest, FilterTextsPassThroughTheInstalledHook) {
  ASSERT_EQ(nullptr, FilterResourceStringHook);
  EXPECT_EQ("Filter", TranslateFilterResourceString("Filter"));
  EXPECT_EQ("", TranslateFilterResourceString(""));
  FilterResourceStringHook = LocalizeText;
  EXPECT_EQ("Filter", TranslateFilterResourceString("Filter"));
  FilterResourceStringHook = [](const String& AText) { return "<" + AText + ">"; };
  EXPECT_EQ("<and>", TranslateFilterResourceString("and"));
  FilterResourceStringHook = nullptr;
}
