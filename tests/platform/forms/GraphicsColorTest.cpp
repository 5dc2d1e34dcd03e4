// Colours and their names, the type information of the graphics properties, and graphics properties
// in form resources.
#include <gtest/gtest.h>

#include "GraphicsTesting.h"
#include "platform/classes/FormText.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/Jpeg.h"

namespace forms_test {

namespace {

using forms_test::GraphicsTest;

using ColorTest = GraphicsTest;

TEST_F(ColorTest, ColorToRGBResolvesSystemColoursThroughTheCurrentTable) {
  EXPECT_EQ(ColorToRGB(clRed), RGB(255, 0, 0));
  EXPECT_EQ(ColorToRGB(clNavy), RGB(0, 0, 128));
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clHighlightText), GetSysColor(COLOR_HIGHLIGHTTEXT));

  const INT index = COLOR_BTNFACE;
  const COLORREF pink = RGB(255, 192, 203);
  SetSysColors(1, &index, &pink);
  EXPECT_EQ(ColorToRGB(clBtnFace), pink);
}

TEST_F(ColorTest, NamesAndNumbersConvertBothWays) {
  struct Case {
    TColor color;
    const char* text;
  };
  for (const Case& c : {Case{clBlack, "clBlack"}, Case{clBtnFace, "clBtnFace"}, Case{clNone, "clNone"},
                        Case{clDefault, "clDefault"}, Case{cl3DDkShadow, "cl3DDkShadow"},
                        Case{0x00123456, "$00123456"}, Case{static_cast<TColor>(0x02FF00FF), "$02FF00FF"}}) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ColorToString(c.color), c.text);
    EXPECT_EQ(StringToColor(c.text), c.color);
  }
  // Names ignore case; plain numbers are numbers.
  EXPECT_EQ(StringToColor("CLRED"), clRed);
  EXPECT_EQ(StringToColor("255"), 255);
  EXPECT_THROW(StringToColor("clNoSuchColour"), EConvertError);

  int names = 0;
  GetColorValues([&](const String&) { ++names; });
  EXPECT_EQ(names, 52);
}

TEST_F(ColorTest, PublishedGraphicsPropertiesHaveTheClassLibrarysTypeNames) {
  struct Case {
    TClass cls;
    const char* prop;
    const char* type;
    TTypeKind kind;
  };
  for (const Case& c : {Case{TFont::StaticClass(), "Charset", "TFontCharset", tkInteger},
                        Case{TFont::StaticClass(), "Color", "TColor", tkInteger},
                        Case{TFont::StaticClass(), "Height", "Integer", tkInteger},
                        Case{TFont::StaticClass(), "Name", "TFontName", tkLString},
                        Case{TFont::StaticClass(), "Pitch", "TFontPitch", tkEnumeration},
                        Case{TFont::StaticClass(), "Style", "TFontStyles", tkSet},
                        Case{TPen::StaticClass(), "Color", "TColor", tkInteger},
                        Case{TPen::StaticClass(), "Mode", "TPenMode", tkEnumeration},
                        Case{TPen::StaticClass(), "Style", "TPenStyle", tkEnumeration},
                        Case{TBrush::StaticClass(), "Style", "TBrushStyle", tkEnumeration},
                        Case{TCanvas::StaticClass(), "Font", "TFont", tkClass}}) {
    SCOPED_TRACE(c.prop);
    const TPropInfo* prop = GetPropInfo(c.cls, c.prop);
    ASSERT_NE(prop, nullptr);
    EXPECT_EQ(prop->PropType->Name(), c.type);
    EXPECT_EQ(prop->Kind(), c.kind);
  }
  const TPropInfo* style = GetPropInfo(TFont::StaticClass(), "Style");
  EXPECT_EQ(style->PropType->CompType->Name(), "TFontStyle");
  // Scripts create these by class name.
  for (const char* name : {"TFont", "TPen", "TBrush", "TCanvas", "TBitmap", "TPicture", "TIcon", "TJPEGImage"}) {
    SCOPED_TRACE(name);
    TClass cls = FindClass(name);
    EXPECT_FALSE(cls->IsAbstract());
  }
  EXPECT_TRUE(FindClass("TGraphic")->IsAbstract());
}

TEST_F(ColorTest, GraphicsPropertiesReadFromAFormResourceAndWriteBack) {
  const String text = R"(object Holder: TGraphicsHolder
  Brush.Color = clInfoBk
  Brush.Style = bsBDiagonal
  Color = clWindow
  Font.Charset = GB2312_CHARSET
  Font.Color = clRed
  Font.Height = -16
  Font.Name = 'Tahoma'
  Font.Style = [fsBold, fsUnderline]
  Pen.Color = 1193046
  Pen.Mode = pmXor
  Pen.Style = psDot
  Pen.Width = 2
end
)";
  TGraphicsHolder holder(nullptr);
  ReadComponentFromText(text, &holder, "HOLDER");
  EXPECT_EQ(holder.Font()->Charset(), GB2312_CHARSET);
  EXPECT_EQ(holder.Font()->Color(), clRed);
  EXPECT_EQ(holder.Font()->Height(), -16);
  EXPECT_EQ(holder.Font()->Size(), 12);
  EXPECT_EQ(holder.Font()->Name(), "Tahoma");
  EXPECT_EQ(holder.Font()->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(holder.Pen()->Color(), 0x00123456);
  EXPECT_EQ(holder.Pen()->Mode(), pmXor);
  EXPECT_EQ(holder.Pen()->Style(), psDot);
  EXPECT_EQ(holder.Brush()->Color(), clInfoBk);
  EXPECT_EQ(holder.Brush()->Style(), bsBDiagonal);
  EXPECT_EQ(holder.Color(), clWindow);
  EXPECT_EQ(WriteComponentToText(&holder), text);

  // Scripts reach the same properties by name.
  SetPropValue(holder.Font(), "Style", Variant("[fsItalic]"));
  EXPECT_EQ(holder.Font()->Style(), TFontStyles{fsItalic});
  SetOrdProp(holder.Pen(), "Width", 5);
  EXPECT_EQ(holder.Pen()->Width(), 5);
}

TEST_F(ColorTest, DefaultsAreNotWrittenButFontAttributesAlwaysAre) {
  TGraphicsHolder holder(nullptr);
  holder.SetName("Holder");
  const String written = WriteComponentToText(&holder);
  EXPECT_NE(written.find("  Font.Height = -11\n"), String::npos) << written;
  EXPECT_NE(written.find("  Font.Style = []\n"), String::npos) << written;
  EXPECT_EQ(written.find("Pen."), String::npos) << written;
  EXPECT_EQ(written.find("Brush."), String::npos) << written;
  EXPECT_EQ(written.find("Picture"), String::npos) << written;
}

TEST_F(ColorTest, PicturesAndBitmapsTravelInFormResourcesAsData) {
  TGraphicsHolder holder(nullptr);
  holder.SetName("Holder");
  TBitmap* bitmap = holder.Picture()->Bitmap();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(3, 2);
  bitmap->Canvas()->SetPixels(0, 0, clRed);
  bitmap->Canvas()->SetPixels(2, 1, clBlue);
  holder.Glyph()->SetSize(2, 2);
  holder.Glyph()->Canvas()->SetPixels(1, 1, clLime);

  const String text = WriteComponentToText(&holder);
  EXPECT_NE(text.find("Picture.Data = {"), String::npos) << text;
  EXPECT_NE(text.find("Glyph.Data = {"), String::npos) << text;

  TGraphicsHolder copy(nullptr);
  ReadComponentFromText(text, &copy, "HOLDER");
  ASSERT_TRUE(dynamic_cast<TBitmap*>(copy.Picture()->Graphic()));
  TBitmap* read = copy.Picture()->Bitmap();
  EXPECT_EQ(read->PixelFormat(), pf24bit);
  const std::map<TColor, char> legend{{clWhite, '.'}, {clRed, 'R'}, {clBlue, 'B'}, {clLime, 'G'}};
  EXPECT_BITMAP(read, legend, {"R..", "..B"});
  EXPECT_BITMAP(copy.Glyph(), legend, {"..", ".G"});
  EXPECT_EQ(WriteComponentToText(&copy), text);
}

TEST_F(ColorTest, APictureOfAnUnknownClassInAResourceIsRefused) {
  // Data naming a class that is no graphic.
  const String text = R"(object Holder: TGraphicsHolder
  Picture.Data = {
    0B544E6F7447726170686963}
end
)";
  TGraphicsHolder holder(nullptr);
  EXPECT_THROW(ReadComponentFromText(text, &holder, "HOLDER"), EReadError);
  EXPECT_EQ(holder.Picture()->Graphic(), nullptr);
}

}  // namespace

}  // namespace forms_test
