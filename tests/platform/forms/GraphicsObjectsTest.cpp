// Fonts, pens and brushes: change notification, shared handles, sizes in points, handles taken over.
#include <gtest/gtest.h>

#include "GraphicsTesting.h"
#include "platform/forms/Graphics.h"

namespace forms_test {

namespace {

using forms_test::GraphicsTest;

using GraphicsObjectsTest = GraphicsTest;

struct ChangeCounter {
  int count = 0;
  TObject* sender = nullptr;
  TNotifyEvent Handler() {
    return TNotifyEvent([this](TObject* s) {
      ++count;
      sender = s;
    });
  }
};

TEST_F(GraphicsObjectsTest, OnChangeFiresOncePerEffectiveChange) {
  TFont font;
  ChangeCounter changes;
  font.SetOnChange(changes.Handler());
  font.SetName("Tahoma");
  font.SetSize(10);
  font.SetStyle({fsBold});
  font.SetColor(clRed);
  font.SetCharset(GB2312_CHARSET);
  EXPECT_EQ(changes.count, 5);
  EXPECT_EQ(changes.sender, &font);
  // Setting what it already is changes nothing.
  font.SetName("Tahoma");
  font.SetSize(10);
  font.SetStyle({fsBold});
  font.SetColor(clRed);
  EXPECT_EQ(changes.count, 5);

  TPen pen;
  ChangeCounter penChanges;
  pen.SetOnChange(penChanges.Handler());
  pen.SetColor(clBlue);
  pen.SetWidth(3);
  pen.SetStyle(psDash);
  pen.SetMode(pmXor);
  pen.SetWidth(3);
  EXPECT_EQ(penChanges.count, 4);

  TBrush brush;
  ChangeCounter brushChanges;
  brush.SetOnChange(brushChanges.Handler());
  brush.SetStyle(bsClear);
  brush.SetStyle(bsClear);
  // A colour makes a clear brush solid again.
  brush.SetColor(clYellow);
  EXPECT_EQ(brush.Style(), bsSolid);
  EXPECT_EQ(brushChanges.count, 2);

  // Assign copies everything with one notification.
  TFont other;
  ChangeCounter assigned;
  other.SetOnChange(assigned.Handler());
  other.Assign(&font);
  EXPECT_EQ(assigned.count, 1);
  EXPECT_EQ(other.Name(), "Tahoma");
  EXPECT_EQ(other.Color(), clRed);
  EXPECT_EQ(other.Style(), TFontStyles{fsBold});
  EXPECT_EQ(other.Charset(), GB2312_CHARSET);
  EXPECT_THROW(other.Assign(&pen), EConvertError);
}

TEST_F(GraphicsObjectsTest, EqualObjectsShareOneHandleAndAChangeMovesOnlyTheChangedOne) {
  TFont a;
  TFont b;
  a.SetName("Tahoma");
  b.SetName("Tahoma");
  HFONT shared = a.Handle();
  EXPECT_EQ(b.Handle(), shared);

  b.SetStyle({fsItalic});
  HFONT italic = b.Handle();
  EXPECT_NE(italic, shared);
  EXPECT_EQ(a.Handle(), shared);
  LOGFONTA lf;
  ASSERT_EQ(GetObject(shared, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  EXPECT_EQ(lf.lfItalic, 0);

  // Back to the same attributes: the same handle again; the italic one goes with its last user.
  b.SetStyle({});
  EXPECT_EQ(b.Handle(), shared);
  EXPECT_EQ(GetObjectType(italic), 0u);

  HFONT own = nullptr;
  {
    TFont last;
    last.SetName("Courier New");
    own = last.Handle();
    EXPECT_EQ(GetObjectType(own), OBJ_FONT);
  }
  EXPECT_EQ(GetObjectType(own), 0u);

  TPen p1;
  TPen p2;
  EXPECT_EQ(p1.Handle(), p2.Handle());
  p2.SetColor(clRed);
  EXPECT_NE(p1.Handle(), p2.Handle());
  // The mode is the canvas's business, not the handle's.
  p2.SetColor(clBlack);
  p2.SetMode(pmXor);
  EXPECT_EQ(p1.Handle(), p2.Handle());

  TBrush b1;
  TBrush b2;
  b1.SetColor(clLime);
  b2.SetColor(clLime);
  EXPECT_EQ(b1.Handle(), b2.Handle());
}

TEST_F(GraphicsObjectsTest, TheFontHandleCarriesTheAttributes) {
  TFont font;
  font.SetName("Tahoma");
  font.SetHeight(-20);
  font.SetStyle({fsBold, fsItalic, fsUnderline, fsStrikeOut});
  font.SetCharset(GB2312_CHARSET);
  font.SetOrientation(900);
  font.SetPitch(fpFixed);
  LOGFONTA lf;
  ASSERT_EQ(GetObject(font.Handle(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_EQ(lf.lfHeight, -20);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(lf.lfUnderline, 1);
  EXPECT_EQ(lf.lfStrikeOut, 1);
  EXPECT_EQ(lf.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(lf.lfEscapement, 900);
  EXPECT_EQ(lf.lfPitchAndFamily & 3, FIXED_PITCH);

  // A face name longer than the logical font holds is cut at a character boundary.
  font.SetName("字体名字体名字体名字体名字体名");
  ASSERT_EQ(GetObject(font.Handle(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
  EXPECT_EQ(String(lf.lfFaceName), "字体名字体名字体名字");
}

TEST_F(GraphicsObjectsTest, SizeFollowsTheFontsResolution) {
  struct Case {
    Integer ppi;
    Integer size;
    Integer height;
  };
  for (const Case& c : {Case{96, 8, -11}, Case{96, 10, -13}, Case{120, 10, -17}, Case{72, 12, -12}}) {
    SCOPED_TRACE(c.ppi);
    TFont font;
    font.SetPixelsPerInch(c.ppi);
    font.SetSize(c.size);
    EXPECT_EQ(font.Height(), c.height);
    EXPECT_EQ(font.Size(), c.size);
  }
  // Assigned between resolutions, a font keeps its size in points.
  TFont screen;
  screen.SetSize(10);
  TFont printer;
  printer.SetPixelsPerInch(600);
  printer.Assign(&screen);
  EXPECT_EQ(printer.Size(), 10);
  EXPECT_EQ(printer.Height(), -83);
}

TEST_F(GraphicsObjectsTest, HandlesTakenOverGiveTheirAttributesAndAreDeletedWithTheLastUser) {
  HFONT made = CreateFont(-14, 0, 0, 0, FW_BOLD, 1, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
  HFONT other = nullptr;
  {
    TFont font;
    font.SetHandle(made);
    EXPECT_EQ(font.Handle(), made);
    EXPECT_EQ(font.Height(), -14);
    EXPECT_EQ(font.Style(), (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(font.Name(), "Tahoma");
    // A change of its own leaves the handle taken over.
    font.SetHeight(-15);
    other = font.Handle();
    EXPECT_NE(other, made);
    EXPECT_EQ(GetObjectType(made), 0u);
  }
  EXPECT_EQ(GetObjectType(other), 0u);

  TPen pen;
  HPEN geometric = nullptr;
  LOGBRUSH lb;
  lb.lbStyle = BS_SOLID;
  lb.lbColor = RGB(0, 0, 255);
  geometric = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT | PS_JOIN_MITER, 5, &lb, 0, nullptr);
  pen.SetHandle(geometric);
  EXPECT_EQ(pen.Handle(), geometric);
  EXPECT_EQ(pen.Color(), static_cast<TColor>(RGB(0, 0, 255)));
  EXPECT_EQ(pen.Width(), 5);

  TBrush brush;
  brush.SetHandle(CreateHatchBrush(HS_CROSS, RGB(1, 2, 3)));
  EXPECT_EQ(brush.Style(), bsCross);
  EXPECT_EQ(brush.Color(), static_cast<TColor>(RGB(1, 2, 3)));

  EXPECT_THROW(TFont().SetHandle(nullptr), EInvalidGraphicOperation);
}

}  // namespace

}  // namespace forms_test
