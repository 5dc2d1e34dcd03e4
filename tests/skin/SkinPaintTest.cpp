// Menu items measured and drawn by the painter, and tool buttons in their states, read as pixels.
#include "tests/skin/SkinTesting.h"

#include <cmath>

#include "platform/rtl/Strings.h"
#include "platform/win/gdi/WinRect.h"

using k58::gdi::Height;
using k58::gdi::Width;

namespace skin_test {
namespace {

class SkinPaintTest : public SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    form = NewForm();
    main = new TMainMenu(form);
    bar = Add(main->Items(), "&File");
    popupItem = Add(bar, "Open");
    skin = NewSkin(form);
  }
  TMenuItem* Add(TMenuItem* Parent, const char* Caption) {
    auto* item = new TMenuItem(form);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
  }
  TSize Measure(TMenuItem* Item) {
    TCanvas canvas;
    canvas.SetHandle(ScreenDC());
    Integer w = 0, h = 0;
    skin->MeasureMenuItem(Item, &canvas, w, h);
    canvas.SetHandle(nullptr);
    return TSize{w, h};
  }
  Integer TextWidth(const String& Text) {
    TCanvas canvas;
    canvas.SetHandle(ScreenDC());
    canvas.Font()->Assign(skin->Font());
    Integer w = canvas.TextWidth(Text);
    canvas.SetHandle(nullptr);
    return w;
  }
  TForm* form = nullptr;
  TMainMenu* main = nullptr;
  TMenuItem *bar = nullptr, *popupItem = nullptr;
  TSkinMenu* skin = nullptr;
};

TEST_F(SkinPaintTest, ItemsMeasureTheirTextShortcutAndSubmenuMark) {
  TMenuItem* plain = Add(bar, "Save");
  TMenuItem* withShortcut = Add(bar, "Save");
  withShortcut->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
  TMenuItem* amp = Add(bar, "Sa&ve");
  TMenuItem* sub = Add(bar, "Save");
  Add(sub, "Inner");
  TMenuItem* line = Add(bar, "-");
  const Integer icon = skin->IconWidth();
  EXPECT_EQ(Measure(plain).cx, TextWidth("Save") + 5 + icon);
  EXPECT_EQ(Measure(withShortcut).cx, TextWidth("SaveCtrl+SWWW") + 5 + icon);
  EXPECT_EQ(Measure(amp).cx, TextWidth("Sa&ve") + 5 - TextWidth("&") + icon);
  EXPECT_EQ(Measure(sub).cx, Measure(plain).cx + 6);
  EXPECT_EQ(Measure(line).cy, 4);
  Integer th = [&] {
    TCanvas canvas;
    canvas.SetHandle(ScreenDC());
    canvas.Font()->Assign(skin->Font());
    Integer h = canvas.TextHeight("Save");
    canvas.SetHandle(nullptr);
    return h;
  }();
  EXPECT_EQ(Measure(plain).cy, std::max<Integer>(th + static_cast<Integer>(std::nearbyint(th * 0.75)), 6));
  EXPECT_EQ(Measure(bar).cx, TextWidth("&File") + 5 - TextWidth("&")) << "bar items have no icon column";
}

TEST_F(SkinPaintTest, PopupItemsPaintIconColumnSelectionChecksAndSeparators) {
  const Integer w = 120, h = 22;
  Sheet sheet(w + 4, h);
  TRect rect{4, 0, 4 + w, h};
  skin->DrawMenuItem(popupItem, sheet.Canvas(), rect, false);
  EXPECT_EQ(sheet.At(0, 10), Rgb(skin->DrawColor)) << "the strip left of the item is covered";
  EXPECT_EQ(sheet.At(4 + 10, 10), Rgb(skin->DrawIconBackColor));
  EXPECT_EQ(sheet.At(4 + 100, 10), Rgb(skin->DrawColor));

  skin->DrawMenuItem(popupItem, sheet.Canvas(), rect, true);
  EXPECT_EQ(sheet.At(4 + 100, 10), Rgb(skin->DrawSelectColor));
  EXPECT_EQ(sheet.At(4 + 100, 1), Rgb(skin->DrawSelectBorderColor)) << "frame one row in";
  EXPECT_EQ(sheet.At(4 + 100, 0), Rgb(skin->DrawColor));

  // Check box without glyph: 10 x 10 centred in the icon column, the tick in black.
  popupItem->SetChecked(true);
  Sheet checked(w + 4, h);
  skin->DrawMenuItem(popupItem, checked.Canvas(), rect, false);
  const Integer l = 4 + (24 - 10) / 2, t = (h - 10) / 2;
  EXPECT_EQ(checked.At(l, t + 5), Rgb(skin->DrawCheckedColor));
  EXPECT_EQ(checked.At(l + 1, t + 5), Rgb(clBlack));
  popupItem->SetEnabled(false);
  skin->DrawMenuItem(popupItem, checked.Canvas(), rect, false);
  EXPECT_EQ(checked.At(l, t + 5), Rgb(skin->DrawDisabledColor));
  EXPECT_EQ(checked.At(l + 1, t + 5), Rgb(skin->DrawDisabledColor));

  TMenuItem* line = Add(bar, "-");
  Sheet sep(w + 4, 4);
  skin->DrawMenuItem(line, sep.Canvas(), TRect{4, 0, 4 + w, 4}, false);
  // The text area starts after the icon column; the line 7 further, at mid height of 0..5.
  const Integer y = 2;
  EXPECT_EQ(sep.At(4 + 24 + 7, y), Rgb(skin->DrawSeparatorColor));
  EXPECT_EQ(sep.At(4 + 24 + 6, y), Rgb(skin->DrawColor));
}

TEST_F(SkinPaintTest, CheckedItemsWithAGlyphAreBoxedAroundIt) {
  // A red square on a background the glyph drawing leaves out.
  TCanvas* glyph = popupItem->Bitmap()->Canvas();
  popupItem->Bitmap()->SetSize(16, 16);
  glyph->Brush()->SetColor(clWhite);
  glyph->FillRect(TRect{0, 0, 16, 16});
  glyph->Brush()->SetColor(clRed);
  glyph->FillRect(TRect{4, 4, 12, 12});
  popupItem->SetChecked(true);
  const Integer w = 120, h = 22;
  struct Case {
    const char* What;
    bool Selected, Enabled;
    COLORREF Frame, Fill;
  } cases[] = {
      {"checked", false, true, Rgb(skin->DrawSelectBorderColor), Rgb(skin->DrawCheckedFill)},
      {"checked, selected", true, true, Rgb(skin->DrawSelectBorderColor), Rgb(skin->DrawCheckedSelectFill)},
      {"checked, disabled", false, false, Rgb(skin->DrawDisabledColor), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    popupItem->SetEnabled(c.Enabled);
    Sheet sheet(w + 4, h);
    skin->DrawMenuItem(popupItem, sheet.Canvas(), TRect{4, 0, 4 + w, h}, c.Selected);
    // The box spans the icon column less 1 on the left, 3 on the right and 2 above and below.
    EXPECT_EQ(sheet.At(4 + 1, 10), c.Frame);
    EXPECT_EQ(sheet.At(4 + 20, 10), c.Frame);
    EXPECT_EQ(sheet.At(4 + 10, 2), c.Frame);
    if (c.Enabled) {
      EXPECT_EQ(sheet.At(4 + 2, 3), c.Fill);
    }
    bool red = false;
    for (int y = 0; y < h; ++y)
      for (int x = 4; x < 4 + skin->IconWidth(); ++x) red = red || sheet.At(x, y) == Rgb(clRed);
    EXPECT_EQ(red, c.Enabled) << "the glyph, greyed when disabled";
  }
}

TEST_F(SkinPaintTest, BarItemUnderTheMouseIsHotTracked) {
  form->Show();
  Pump();
  RECT outer{};
  GetWindowRect(form->Handle(), &outer);
  const TRect item{10, 20, 60, 40};
  struct Case {
    int X, Y;
    bool Hot;
  } cases[] = {{30, 30, true}, {59, 38, true}, {60, 30, false}, {30, 39, false}, {9, 30, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.X << "," << c.Y);
    D->MoveTo(POINT{outer.left + c.X, outer.top + c.Y});
    Pump();
    Sheet sheet(70, 50);
    skin->DrawMenuItem(bar, sheet.Canvas(), item, false);
    EXPECT_EQ(sheet.At(item.left, 30), c.Hot ? Rgb(skin->DrawSelectBorderColor) : Rgb(skin->DrawMenuBarColor));
    EXPECT_EQ(sheet.At(item.left + 3, item.top + 2), c.Hot ? Rgb(skin->DrawSelectColor) : Rgb(skin->DrawMenuBarColor));
    EXPECT_EQ(sheet.At(item.right - 7, 30), Rgb(skin->DrawMenuBarColor)) << "the box stops 7 short of the right";
  }
}

TEST_F(SkinPaintTest, DefaultItemsLookHeavier) {
  Sheet normal(124, 22), heavy(124, 22);
  skin->DrawMenuItem(popupItem, normal.Canvas(), TRect{4, 0, 124, 22}, false);
  popupItem->SetDefault(true);
  skin->DrawMenuItem(popupItem, heavy.Canvas(), TRect{4, 0, 124, 22}, false);
  auto ink = [](Sheet& s) {
    int n = 0;
    for (int y = 0; y < 22; ++y)
      for (int x = 30; x < 124; ++x) n += s.At(x, y) != s.At(123, 0);
    return n;
  };
  EXPECT_GT(ink(heavy), ink(normal));
}

TEST_F(SkinPaintTest, BarSelectionPlainAndShadowed) {
  skin->UpdateColors(form->Canvas());
  Sheet plain(40, 20, clWhite), shadowed(40, 20, clWhite);
  skin->DrawBarSelection(nullptr, plain.Canvas(), false, clBtnFace, TRect{0, 0, 40, 20});
  EXPECT_EQ(plain.At(0, 5), Rgb(skin->DrawSelectBorderColor));
  EXPECT_EQ(plain.At(37, 5), Rgb(skin->DrawSelectBorderColor)) << "the right side 3 in";
  EXPECT_EQ(plain.At(39, 5), Rgb(Darken(clBtnFace, 70)));
  EXPECT_EQ(plain.At(39, 0), Rgb(clBtnFace));
  skin->DrawBarSelection(bar, shadowed.Canvas(), false, clBtnFace, TRect{0, 0, 40, 20});
  EXPECT_EQ(shadowed.At(32, 5), Rgb(skin->DrawSelectBorderColor)) << "the right side 8 in";
  EXPECT_EQ(shadowed.At(33, 0), Rgb(Darken(skin->DrawMenuBarColor, 10)));
  EXPECT_EQ(shadowed.At(33, 15), Rgb(Darken(skin->DrawMenuBarColor, 100)));
}

// ---- Tool buttons ----

class SkinToolButtonTest : public SkinTest {};

TEST_F(SkinToolButtonTest, StatesFillAndFrameTheButton) {
  TForm* form = NewForm();
  auto* toolBar = new TToolBar(form);
  toolBar->SetParent(form);
  auto* button = new TToolButton(form);
  button->SetParent(toolBar);
  auto* sepTagged = new TToolButton(form);
  sepTagged->SetStyle(tbsSeparator);
  sepTagged->SetTag(1);
  sepTagged->SetParent(toolBar);
  auto* drop = new TToolButton(form);
  drop->SetStyle(tbsDropDown);
  drop->SetParent(toolBar);
  auto* sepPlain = new TToolButton(form);
  sepPlain->SetStyle(tbsSeparator);
  sepPlain->SetParent(toolBar);
  auto* last = new TToolButton(form);
  last->SetParent(toolBar);
  TSkinMenu* skin = NewSkin(form);
  form->Show();
  Pump();
  HWND wnd = toolBar->Handle();
  auto draw = [&](TToolButton* b, TCustomDrawState state) {
    HDC dc = GetDC(wnd);
    toolBar->Canvas()->SetHandle(dc);
    bool defaultDraw = true;
    skin->DrawToolButton(toolBar, b, state, defaultDraw);
    toolBar->Canvas()->SetHandle(nullptr);
    ReleaseDC(wnd, dc);
    EXPECT_FALSE(defaultDraw);
  };
  auto px = [&](Integer x, Integer y) { return D->ClientPixel(wnd, POINT{x, y}); };
  const TColor background = Lighten(toolBar->Color(), 16);
  TRect r = button->BoundsRect();
  const Integer cx = (r.left + r.right) / 2, cy = r.top + 3;
  struct Case {
    const char* What;
    TCustomDrawState State;
    bool Down;
    COLORREF Fill;
    bool Framed;
  } cases[] = {
      {"idle", {}, false, Rgb(background), false},
      {"hot", {cdsHot}, false, Rgb(skin->DrawSelectColor), true},
      {"checked", {cdsChecked}, false, Rgb(skin->DrawCheckedFill), true},
      {"hot and checked", {cdsHot, cdsChecked}, false, Rgb(skin->DrawCheckedSelectFill), true},
      {"hot and down", {cdsHot}, true, Rgb(skin->DrawCheckedSelectFill), true},
      {"indeterminate", {cdsIndeterminate}, false, Rgb(skin->DrawSelectColor), false},
      {"disabled", {cdsDisabled}, false, Rgb(background), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    button->SetStyle(c.Down ? tbsCheck : tbsButton);
    button->SetDown(c.Down);
    draw(button, c.State);
    EXPECT_EQ(px(cx, cy), c.Fill);
    EXPECT_EQ(px(r.left, cy) == Rgb(skin->DrawSelectBorderColor), c.Framed);
    EXPECT_EQ(px(cx, r.top), Rgb(background)) << "the top row is the bar's";
  }

  // Drop-down: two frames sharing the side 13 pixels from the right edge, the arrow 10 from it.
  TRect d = drop->BoundsRect();
  draw(drop, TCustomDrawState{cdsHot});
  EXPECT_EQ(px(d.right - 14, d.top + 5), Rgb(skin->DrawSelectBorderColor));
  EXPECT_EQ(px(d.right - 13, d.top + 5), Rgb(skin->DrawSelectColor));
  EXPECT_EQ(px(d.right - 10, d.top + (Height(d) - 3) / 2 + 1), Rgb(clBlack));

  // Separators: a line through the middle only with a positive Tag.
  draw(drop, {});
  draw(last, {});
  TRect s1 = sepTagged->BoundsRect(), s2 = sepPlain->BoundsRect();
  EXPECT_EQ(px(s1.left + Width(s1) / 2, s1.top + 5), Rgb(Darken(toolBar->Color(), 30)));
  EXPECT_EQ(px(s2.left + Width(s2) / 2, s2.top + 5), Rgb(background));

  // A transparent bar paints no background for an idle button.
  toolBar->SetTransparent(true);
  HDC dc = GetDC(wnd);
  SetPixel(dc, cx, cy, RGB(1, 2, 3));
  ReleaseDC(wnd, dc);
  draw(button, {});
  EXPECT_EQ(px(cx, cy), RGB(1, 2, 3));
}

}  // namespace
}  // namespace skin_test
