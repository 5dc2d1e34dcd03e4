// The image editor: picture values (headers, formats, damaged bytes), the byte-exact edit value of every
// format, the graphic class and its streaming, proportional fitting, the pixels of centred, stretched and
// scrolled pictures, the context menu, the clipboard and the file dialogs.
#include <gtest/gtest.h>

#include <fstream>

#include "controls/editors/uiImage.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/forms/Clipbrd.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Jpeg.h"
#include "platform/rtl/CodePages.h"
#include "tests/controls/editors/EditorKindsTesting.h"

using namespace editors_test;

namespace {

String BytesOf(TGraphic* AGraphic) {
  TMemoryStream stream;
  AGraphic->SaveToStream(&stream);
  String bytes(static_cast<size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
  return bytes;
}

TObjectPtr<TBitmap> SolidBitmap(Integer AWidth, Integer AHeight, TColor AColor) {
  TObjectPtr<TBitmap> bitmap(new TBitmap);
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(AWidth, AHeight);
  bitmap->Canvas()->Brush()->SetColor(AColor);
  bitmap->Canvas()->FillRect(Rect(0, 0, AWidth, AHeight));
  return bitmap;
}

String BmpValue(Integer AWidth, Integer AHeight, TColor AColor) { return BytesOf(SolidBitmap(AWidth, AHeight, AColor).get()); }

String JpegValue() {
  TJPEGImage jpeg;
  jpeg.Assign(SolidBitmap(8, 8, clRed).get());
  return BytesOf(&jpeg);
}

String WithFieldHeader(const String& ABytes) {
  const uint32_t size = static_cast<uint32_t>(ABytes.size());
  String header{1, 0, 0, 1, static_cast<char>(size & 0xFF), static_cast<char>((size >> 8) & 0xFF),
                static_cast<char>((size >> 16) & 0xFF), static_cast<char>(size >> 24)};
  return header + ABytes;
}

void Put(String& AOut, std::initializer_list<uint32_t> AValues, int ABytes) {
  for (uint32_t v : AValues)
    for (int i = 0; i < ABytes; ++i) AOut.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A 2 x 2 icon: 32-bit image, AND mask.
String IcoValue() {
  String out;
  Put(out, {0, 1, 1}, 2);
  out += String{2, 2, 0, 0};
  Put(out, {1, 32}, 2);
  Put(out, {40 + 16 + 8, 22}, 4);
  Put(out, {40, 2, 4}, 4);
  Put(out, {1, 32}, 2);
  Put(out, {0, 16, 0, 0, 0, 0}, 4);
  Put(out, {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF}, 4);
  Put(out, {0, 0}, 4);
  return out;
}

// A 100 x 50 Windows metafile (window extent) and a 100 x 50 enhanced metafile, each one rectangle.
String WmfValue() {
  String out;
  Put(out, {1, 9, 0x0300}, 2);
  Put(out, {(18 + 10 + 14 + 6) / 2}, 4);
  Put(out, {0}, 2);
  Put(out, {7}, 4);
  Put(out, {0}, 2);
  Put(out, {5}, 4), Put(out, {0x020C, 50, 100}, 2);
  Put(out, {7}, 4), Put(out, {0x041B, 40, 40, 10, 10}, 2);
  Put(out, {3}, 4), Put(out, {0}, 2);
  return out;
}

String EmfValue() {
  String out;
  Put(out, {1, 88, 0, 0, 99, 49, 0, 0, 2646, 1323, 0x464D4520, 0x10000, 88 + 24 + 20, 3, 0, 0, 0, 0, 1024, 768,
            320, 240},
      4);
  Put(out, {43, 24, 10, 10, 40, 40}, 4);
  Put(out, {14, 20, 0, 16, 20}, 4);
  return out;
}

class ImageTest : public EditorKindsTest {
 protected:
  ~ImageTest() override { k58::forms::FileDialogProc() = savedDialogs_; }

  TuiImage* NewImage(Integer AWidth = 140, Integer AHeight = 100) {
    auto* image = NewObject<TuiImage>(Form);
    image->SetBounds(10, 10, AWidth, AHeight);
    image->SetParent(Form);
    image->HandleNeeded();
    image->Properties()->SetOnChange([this](TObject*) { Log.push_back("Change"); });
    Pump();
    return image;
  }
  TColor ClientColor(TuiImage* AImage, Integer X, Integer Y) {
    return static_cast<TColor>(Pixel(AImage, X, Y));
  }
  // The picture's colours along a row of the client area: R red, B blue, . background, ? other.
  std::string Row(TuiImage* AImage, Integer Y, Integer AFrom, Integer ATo) {
    AImage->Repaint();
    Pump();
    std::string row;
    const TRect client = AImage->EditViewInfo()->ClientRect;
    const COLORREF background = ColorToRGB(AImage->EditViewInfo()->BackgroundColor);
    for (Integer x = AFrom; x < ATo; ++x) {
      const COLORREF c = Display.ClientPixel(AImage->Handle(), POINT{client.left + x, client.top + Y});
      row += c == RGB(255, 0, 0) ? 'R' : c == RGB(0, 0, 255) ? 'B' : c == background ? '.' : '?';
    }
    return row;
  }

  k58::forms::TFileDialogProc savedDialogs_ = k58::forms::FileDialogProc();
};

TEST_F(ImageTest, ValuesLoadIntoThePictureOrLeaveItEmpty) {
  const String bmp = BmpValue(3, 2, clRed);
  struct Case {
    const char* name;
    Variant value;
    TGraphicClass graphicClass;
    TClass loaded;  // nil: empty picture
  };
  const Case cases[] = {
      {"Null", Null(), TBitmap::StaticClass(), nullptr},
      {"empty string", Variant(String()), TBitmap::StaticClass(), nullptr},
      {"1 byte", Variant(String("B")), TBitmap::StaticClass(), nullptr},
      {"7 bytes of a bitmap", Variant(bmp.substr(0, 7)), TBitmap::StaticClass(), nullptr},
      {"header only", Variant(WithFieldHeader("")), TBitmap::StaticClass(), nullptr},
      {"header and bitmap", Variant(WithFieldHeader(bmp)), TBitmap::StaticClass(), TBitmap::StaticClass()},
      {"bitmap", Variant(bmp), TBitmap::StaticClass(), TBitmap::StaticClass()},
      {"bitmap without a class", Variant(bmp), nullptr, TBitmap::StaticClass()},
      {"JPEG under the bitmap class", Variant(JpegValue()), TBitmap::StaticClass(), nullptr},
      {"JPEG under the JPEG class", Variant(JpegValue()), TJPEGImage::StaticClass(), TJPEGImage::StaticClass()},
      {"cut JPEG", Variant(JpegValue().substr(0, JpegValue().size() / 2)), TJPEGImage::StaticClass(), nullptr},
      {"icon bytes as a metafile", Variant(IcoValue()), TMetafile::StaticClass(), nullptr},
      {"cut bitmap", Variant(bmp.substr(0, bmp.size() / 2)), TBitmap::StaticClass(), nullptr},
      {"garbage", Variant(String(64, '\x5A')), TMetafile::StaticClass(), nullptr},
      {"wide string", Variant(Utf8ToWide(bmp)), TBitmap::StaticClass(), nullptr},
      {"integer", Variant(12345678), TBitmap::StaticClass(), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPicture picture;
    picture.Assign(SolidBitmap(1, 1, clBlue).get());
    LoadPictureFromValue(&picture, c.graphicClass, c.value);
    if (c.loaded == nullptr) {
      EXPECT_EQ(picture.Graphic(), nullptr);
    } else {
      ASSERT_NE(picture.Graphic(), nullptr);
      EXPECT_EQ(picture.Graphic()->ClassType(), c.loaded);
    }
  }
  // The header is skipped: the same picture as without it.
  TPicture withHeader;
  LoadPictureFromValue(&withHeader, TBitmap::StaticClass(), Variant(WithFieldHeader(bmp)));
  EXPECT_EQ(BytesOf(withHeader.Graphic()), bmp);
}

TEST_F(ImageTest, EditValueIsTheFileImageOfEveryFormatByteForByte) {
  TuiImage* image = NewImage();
  struct Case {
    const char* className;
    String bytes;
    Integer width;
  };
  const Case cases[] = {
      {"TBitmap", BmpValue(3, 2, clRed), 3}, {"TIcon", IcoValue(), 2},      {"TMetafile", WmfValue(), 100},
      {"TMetafile", EmfValue(), 100},        {"TJPEGImage", JpegValue(), 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.className);
    image->Properties()->SetGraphicClassName(c.className);
    image->SetEditValue(Variant(c.bytes));
    ASSERT_NE(image->Picture()->Graphic(), nullptr);
    EXPECT_EQ(image->Picture()->Width(), c.width);
    const Variant value = image->EditValue();
    ASSERT_TRUE(value.IsString());
    EXPECT_EQ(value.StringRef(), c.bytes);
    EXPECT_FALSE(image->Modified());
    EXPECT_EQ(WideToUtf8(image->Properties()->GetDisplayText(value)), "");
  }
  image->Properties()->SetCaption("photo");
  EXPECT_EQ(WideToUtf8(image->Properties()->GetDisplayText(image->EditValue())), "photo");
  EXPECT_EQ(WideToUtf8(image->Properties()->GetDisplayText(Null())), "");
  image->SetEditValue(Null());
  EXPECT_TRUE(VarIsNull(image->EditValue()));
  // A graphic without a size counts as no picture.
  TBitmap sizeless;
  image->Picture()->Assign(&sizeless);
  EXPECT_TRUE(VarIsNull(image->EditValue()));
  EXPECT_TRUE(IsPictureEmpty(image->Picture()));
}

TEST_F(ImageTest, GraphicClassNameAcceptsRegisteredNamesAndStreamsAnEmptyOne) {
  TuiImage* image = NewImage();
  TuiImageProperties* p = image->Properties();
  EXPECT_EQ(p->GraphicClassName(), "TBitmap");
  p->SetGraphicClassName("tjpegimage");
  EXPECT_EQ(p->GraphicClass(), TJPEGImage::StaticClass());
  p->SetGraphicClassName("TPngImage");
  EXPECT_EQ(p->GraphicClassName(), "TJPEGImage");
  image->SetName("Img");
  EXPECT_NE(WriteComponentToText(Form).find("GraphicClassName = 'TJPEGImage'"), String::npos);

  p->SetGraphicClassName("");
  EXPECT_EQ(p->GraphicClass(), nullptr);
  const String text = WriteComponentToText(Form);
  EXPECT_NE(text.find("IsGraphicClassNameEmpty = True"), String::npos) << text;
  EXPECT_EQ(text.find("GraphicClassName ="), String::npos) << text;
  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  auto* read = dynamic_cast<TuiImage*>(copy->FindComponent("Img"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Properties()->GraphicClass(), nullptr);
  EXPECT_EQ(WriteComponentToText(copy.get()), text);

  p->SetGraphicClassName("TBitmap");
  EXPECT_EQ(WriteComponentToText(Form).find("GraphicClass"), String::npos);
  EXPECT_EQ(FindRegisteredGraphicClass("TICON"), TIcon::StaticClass());
  ASSERT_EQ(GetRegisteredGraphicClasses().size(), 4u);
  EXPECT_EQ(GetRegisteredGraphicClasses()[2], TMetafile::StaticClass());
}

TEST_F(ImageTest, AFormWithAPictureAndSettingsReadsAndWritesBackUnchanged) {
  TuiImage* image = NewImage();
  image->SetName("Img");
  image->Properties()->SetCaption("No photo");
  image->Properties()->SetStretch(true);
  image->Properties()->SetCenter(false);
  image->Properties()->SetGraphicTransparency(gtOpaque);
  image->Properties()->PopupMenuLayout()->SetMenuItems({pmiCopy, pmiCustom});
  image->Properties()->PopupMenuLayout()->SetCustomMenuItemCaption("Rotate");
  image->Picture()->Assign(SolidBitmap(3, 2, clRed).get());
  const String text = WriteComponentToText(Form);
  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  EXPECT_EQ(WriteComponentToText(copy.get()), text);
  auto* read = dynamic_cast<TuiImage*>(copy->FindComponent("Img"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Picture()->Width(), 3);
  EXPECT_FALSE(read->AutoSize());
  EXPECT_EQ(read->Properties()->PopupMenuLayout()->MenuItems(), (TuiPopupMenuItems{pmiCopy, pmiCustom}));
  EXPECT_EQ(read->EditValue().StringRef(), image->EditValue().StringRef());
}

TEST_F(ImageTest, FitRectProportionallyKeepsTheAspectAtTheTopLeft) {
  struct Case {
    TRect r;
    Integer w, h;
    TRect expected;
  };
  const Case cases[] = {
      {Rect(0, 0, 100, 100), 200, 100, Rect(0, 0, 100, 50)},   // wide picture: full width
      {Rect(0, 0, 100, 100), 100, 200, Rect(0, 0, 50, 100)},   // tall picture: full height
      {Rect(10, 20, 110, 70), 4, 2, Rect(10, 20, 110, 70)},    // same ratio
      {Rect(0, 0, 10, 10), 3, 1, Rect(0, 0, 10, 3)},           // 10 * 1 / 3 rounds toward zero
      {Rect(0, 0, 7, 10), 1, 3, Rect(0, 0, 3, 10)},            // 10 * 1 / 3
      {Rect(5, 5, 5, 40), 10, 10, Rect(5, 5, 5, 40)},          // empty rectangle comes back
      {Rect(0, 0, 10, 10), 0, 10, Rect(0, 0, 10, 10)},         // no width: nothing to fit
  };
  for (const Case& c : cases) {
    const TRect got = FitRectProportionally(c.r, c.w, c.h);
    EXPECT_TRUE(EqualRect(&got, &c.expected)) << c.w << "x" << c.h << " gives " << got.left << "," << got.top
                                              << "," << got.right << "," << got.bottom;
  }
}

TEST_F(ImageTest, CentredStretchedAndScrolledPicturesPaintWhereExpected) {
  TuiImage* image = NewImage(104, 104);
  image->Properties()->SetShowFocusRect(false);
  const TRect client = image->EditViewInfo()->ClientRect;
  ASSERT_EQ(client.right - client.left, 100);
  ASSERT_EQ(client.bottom - client.top, 100);
  // Left half red, right half blue, 200 x 60.
  TObjectPtr<TBitmap> picture = SolidBitmap(200, 60, clRed);
  picture->Canvas()->Brush()->SetColor(clBlue);
  picture->Canvas()->FillRect(Rect(100, 0, 200, 60));
  image->Picture()->Assign(picture.get());

  // Stretched into 100 x 30 at the top, then centred vertically (rows 35 to 64).
  image->Properties()->SetStretch(true);
  image->Properties()->SetCenter(false);
  EXPECT_EQ(Row(image, 10, 45, 55), "RRRRRBBBBB");
  EXPECT_EQ(Row(image, 40, 45, 55), "..........");
  image->Properties()->SetCenter(true);
  EXPECT_EQ(Row(image, 20, 45, 55), "..........");
  EXPECT_EQ(Row(image, 40, 45, 55), "RRRRRBBBBB");
  EXPECT_EQ(image->ScrollOffsetX(), 0);
  EXPECT_FALSE(image->IsHScrollBarVisible());

  // Not stretched, centred: the middle of the picture in the middle of the client area.
  image->Properties()->SetStretch(false);
  EXPECT_EQ(Row(image, 50, 45, 55), "RRRRRBBBBB");
  EXPECT_FALSE(image->IsHScrollBarVisible());

  // Neither: a horizontal bar appears and scrolls by 8.
  image->Properties()->SetCenter(false);
  ASSERT_TRUE(image->IsHScrollBarVisible());
  EXPECT_FALSE(image->IsVScrollBarVisible());
  EXPECT_EQ(Row(image, 10, 95, 100), "RRRRR");
  image->ScrollByDirection(sdRight);
  EXPECT_EQ(image->ScrollOffsetX(), 8);
  EXPECT_EQ(Row(image, 10, 90, 100), "RRBBBBBBBB");
  Integer pos = 1000;
  image->ScrollContent(sbHorizontal, scPosition, pos);
  EXPECT_EQ(pos, 200 - image->HScrollBar()->PageSize());
  EXPECT_EQ(Row(image, 10, 0, 5), "BBBBB");
  // A new picture starts at the top left again.
  image->Picture()->Assign(picture.get());
  EXPECT_EQ(image->ScrollOffsetX(), 0);
}

TEST_F(ImageTest, TransparentBitmapsShowTheBackgroundAndTheCaptionShowsWhenEmpty) {
  TuiImage* image = NewImage(44, 44);
  image->Properties()->SetShowFocusRect(false);
  image->Style()->SetColor(clBlue);
  TObjectPtr<TBitmap> picture = SolidBitmap(40, 40, clRed);
  picture->Canvas()->Brush()->SetColor(clLime);
  picture->Canvas()->FillRect(Rect(0, 20, 40, 40));  // bottom-left pixel lime: the transparent colour
  image->Picture()->Assign(picture.get());
  image->Properties()->SetGraphicTransparency(gtTransparent);
  EXPECT_TRUE(image->Picture()->Graphic()->Transparent());
  const TRect c = image->EditViewInfo()->ClientRect;
  EXPECT_EQ(ClientColor(image, c.left + 5, c.top + 5), clRed);
  EXPECT_EQ(ClientColor(image, c.left + 5, c.top + 30), clBlue);
  image->Properties()->SetGraphicTransparency(gtOpaque);
  EXPECT_EQ(ClientColor(image, c.left + 5, c.top + 30), clLime);

  image->Picture()->Assign(nullptr);
  image->Style()->SetColor(clWhite);
  EXPECT_EQ(ClientColor(image, c.left + 20, c.top + 20), clWhite);
  image->Properties()->SetCaption("WWWW");
  bool inked = false;
  for (Integer x = c.left; x < c.right && !inked; ++x) inked = ClientColor(image, x, (c.top + c.bottom) / 2) != clWhite;
  EXPECT_TRUE(inked) << "caption drawn across the middle";
}

TEST_F(ImageTest, MenuItemsAreVisibleAndEnabledByLayoutPictureAndClass) {
  TuiImage* image = NewImage();
  image->Properties()->PopupMenuLayout()->SetCustomMenuItemCaption("Rotate");
  auto state = [&] {
    image->UpdatePopupMenu();
    std::string s;
    for (Integer i = 0; i < image->ImagePopupMenu()->Items()->Count(); ++i) {
      TMenuItem* item = image->ImagePopupMenu()->Items()->Items(i);
      s += !item->Visible() ? '-' : item->Enabled() ? 'E' : 'd';
    }
    return s;
  };
  Clipboard()->Clear();
  struct Case {
    const char* name;
    TuiPopupMenuItems items;
    bool picture;
    const char* className;
    bool readOnly;
    bool bitmapOnClipboard;
    const char* expected;  // cut copy paste delete, separator, load save, separator, custom
  };
  const TuiPopupMenuItems standard{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave};
  const TuiPopupMenuItems all{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave, pmiCustom};
  const Case cases[] = {
      {"empty", standard, false, "TBitmap", false, false, "ddddEEd--"},
      {"picture", standard, true, "TBitmap", false, false, "EEdEEEE--"},
      {"picture, bitmap on clipboard", standard, true, "TBitmap", false, true, "EEEEEEE--"},
      {"icon class", standard, true, "TIcon", false, true, "dddEEEE--"},
      {"read-only", standard, true, "TBitmap", true, true, "dEddEdE--"},
      {"custom only", {pmiCustom}, false, "TBitmap", false, false, "-------EE"},
      {"copy and save", {pmiCopy, pmiSave}, true, "TBitmap", false, false, "-E--E-E--"},
      {"all", all, true, "TBitmap", false, false, "EEdEEEEEE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    image->Properties()->PopupMenuLayout()->SetMenuItems(c.items);
    image->Properties()->SetReadOnly(false);
    image->Properties()->SetGraphicClassName("TBitmap");
    image->Picture()->Assign(c.picture ? SolidBitmap(4, 4, clRed).get() : nullptr);
    image->Properties()->SetGraphicClassName(c.className);
    image->Properties()->SetReadOnly(c.readOnly);
    if (c.bitmapOnClipboard)
      Clipboard()->Assign(SolidBitmap(2, 2, clBlue).get());
    else
      Clipboard()->Clear();
    EXPECT_EQ(state(), c.expected);
  }
  EXPECT_EQ(image->ImagePopupMenu()->Items()->Items(0)->Caption(), "Cu&t");
  EXPECT_EQ(image->ImagePopupMenu()->Items()->Items(6)->Caption(), "Save &As...");
  EXPECT_EQ(image->ImagePopupMenu()->Items()->Items(8)->Caption(), "Rotate");
  EXPECT_EQ(image->ImagePopupMenu()->Items()->Items(5)->ImageIndex(), 4);
  ASSERT_NE(k58::editors::ImageMenuImages(), nullptr);
  EXPECT_EQ(k58::editors::ImageMenuImages()->Count(), 6);
  EXPECT_EQ(k58::editors::ImageMenuImages()->Width(), 16);
}

TEST_F(ImageTest, TheContextMenuOpensAtTenTenFromTheKeyboardUnlessTheLayoutIsEmpty) {
  TuiImage* image = NewImage();
  image->SetFocus();
  Pump();
  Display.Key(VK_ESCAPE);  // closes the menu loop
  SendMessage(image->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(image->Handle()), MAKELPARAM(-1, -1));
  Pump();
  ASSERT_NE(image->ImagePopupMenu(), nullptr);
  const TPoint expected = image->ClientToScreen(TPoint{10, 10});
  EXPECT_EQ(image->ImagePopupMenu()->PopupPoint().x, expected.x);
  EXPECT_EQ(image->ImagePopupMenu()->PopupPoint().y, expected.y);

  // Without items the control's own handling runs (its OnContextPopup is asked).
  image->Properties()->PopupMenuLayout()->SetMenuItems({});
  bool asked = false;
  image->SetOnContextPopup([&](TObject*, TPoint, bool&) { asked = true; });
  SendMessage(image->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(image->Handle()), MAKELPARAM(-1, -1));
  Pump();
  EXPECT_TRUE(asked);
}

TEST_F(ImageTest, PasteFollowsTheGraphicClassAndABitmapBecomesAJpeg) {
  TuiImage* image = NewImage();
  struct Case {
    const char* className;
    const char* onClipboard;  // "bitmap", "metafile", "picture" (an icon in the picture format), "text"
    bool canPaste;
    TClass pasted;
  };
  const Case cases[] = {
      {"TBitmap", "bitmap", true, TBitmap::StaticClass()},
      {"TJPEGImage", "bitmap", true, TJPEGImage::StaticClass()},
      {"TBitmap", "text", false, nullptr},
      {"TIcon", "picture", false, nullptr},
      {"TMetafile", "metafile", true, TMetafile::StaticClass()},
      {"TMetafile", "bitmap", false, nullptr},
      {"", "picture", true, TIcon::StaticClass()},
      {"", "bitmap", true, TBitmap::StaticClass()},  // our bitmaps carry the picture format too
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.className) + " with " + c.onClipboard);
    image->Properties()->SetGraphicClassName(c.className);
    image->Picture()->Assign(nullptr);
    const String kind = c.onClipboard;
    if (kind == "bitmap") {
      Clipboard()->Assign(SolidBitmap(6, 4, clRed).get());
    } else if (kind == "metafile") {
      TMetafile metafile;
      TMemoryStream stream;
      const String bytes = EmfValue();
      stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
      stream.SetPosition(0);
      metafile.LoadFromStream(&stream);
      Clipboard()->Assign(&metafile);
    } else if (kind == "picture") {
      TIcon icon;
      TMemoryStream stream;
      const String bytes = IcoValue();
      stream.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
      stream.SetPosition(0);
      icon.LoadFromStream(&stream);
      Clipboard()->Assign(&icon);
    } else {
      Clipboard()->SetAsText("text");
    }
    EXPECT_EQ(image->CanPasteFromClipboard(), c.canPaste);
    Log.clear();
    image->ExecuteMenuCommand(2);
    if (c.pasted == nullptr) {
      EXPECT_EQ(image->Picture()->Graphic(), nullptr);
      EXPECT_TRUE(Log.empty());
    } else {
      ASSERT_NE(image->Picture()->Graphic(), nullptr);
      EXPECT_EQ(image->Picture()->Graphic()->ClassType(), c.pasted);
      EXPECT_TRUE(image->Modified());
      EXPECT_EQ(Joined(), "Change");
    }
  }
  // The JPEG made from the clipboard's bitmap is real JPEG data.
  image->Properties()->SetGraphicClassName("TJPEGImage");
  Clipboard()->Assign(SolidBitmap(6, 4, clRed).get());
  image->PasteFromClipboard();
  const String value = image->EditValue().StringRef();
  ASSERT_GE(value.size(), 2u);
  EXPECT_EQ(static_cast<uint8_t>(value[0]), 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(value[1]), 0xD8);
}

TEST_F(ImageTest, CopyCutDeleteAndKeys) {
  TuiImage* image = NewImage();
  image->Picture()->Assign(SolidBitmap(5, 3, clRed).get());
  Clipboard()->Clear();
  image->ExecuteMenuCommand(1);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_TRUE(Clipboard()->HasFormat(image->ClipboardFormat()));
  EXPECT_EQ(image->Picture()->Width(), 5);

  image->ExecuteMenuCommand(0);
  EXPECT_EQ(image->Picture()->Graphic(), nullptr);
  image->SetFocus();
  Pump();
  SendCharToEdit(image, 22);  // Ctrl+V
  Pump();
  EXPECT_EQ(image->Picture()->Width(), 5);
  SendKeyDownToEdit(image, VK_DELETE);  // plain Delete does nothing here
  EXPECT_NE(image->Picture()->Graphic(), nullptr);
  image->ExecuteMenuCommand(3);
  EXPECT_EQ(image->Picture()->Graphic(), nullptr);
  EXPECT_TRUE(image->Modified());

  // A read-only editor keeps its picture.
  image->Picture()->Assign(SolidBitmap(5, 3, clRed).get());
  image->Properties()->SetReadOnly(true);
  image->ExecuteMenuCommand(3);
  image->ExecuteMenuCommand(0);
  EXPECT_NE(image->Picture()->Graphic(), nullptr);
}

TEST_F(ImageTest, ShiftInsertPastesCtrlInsertCopiesShiftDeleteCuts) {
  TuiImage* image = NewImage();
  image->SetFocus();
  Pump();
  image->Picture()->Assign(SolidBitmap(5, 3, clRed).get());
  Clipboard()->Clear();
  Display.Chord({VK_CONTROL}, VK_INSERT);
  Pump();
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_EQ(image->Picture()->Width(), 5);
  Display.Chord({VK_SHIFT}, VK_DELETE);
  Pump();
  EXPECT_EQ(image->Picture()->Graphic(), nullptr);
  Display.Chord({VK_CONTROL, VK_SHIFT}, VK_INSERT);  // Shift wins: a paste
  Pump();
  EXPECT_EQ(image->Picture()->Width(), 5);
  EXPECT_TRUE(image->Modified());
}

TEST_F(ImageTest, ValidationAssignsThePictureAndKeepsTheModifiedState) {
  TuiImage* image = NewImage();
  std::vector<TPicture*> assigned;
  image->Properties()->SetOnAssignPicture([&](TObject* Sender, TPicture* Picture) {
    EXPECT_EQ(Sender, image);
    assigned.push_back(Picture);
  });
  image->ExecuteMenuCommand(3);  // a user's change: modified, not yet validated
  image->SetUserAction(true);
  image->Picture()->Assign(SolidBitmap(2, 2, clRed).get());
  image->SetUserAction(false);
  ASSERT_TRUE(image->Modified());
  EXPECT_TRUE(image->ValidateEdit(true));
  EXPECT_EQ(assigned, std::vector<TPicture*>{image->Picture()});
  EXPECT_EQ(image->Picture()->Width(), 2) << "nothing is rejected";
}

TEST_F(ImageTest, LoadAndSaveGoThroughReplaceableDialogs) {
  TuiImage* image = NewImage();
  const std::string dir = ::testing::TempDir();
  const std::string source = dir + "/k58_image_source.bmp";
  {
    std::ofstream out(source, std::ios::binary);
    const String bmp = BmpValue(7, 3, clBlue);
    out.write(bmp.data(), static_cast<std::streamsize>(bmp.size()));
  }
  std::vector<k58::forms::FileDialogRequest> requests;
  String answer = source;
  bool accept = true;
  bool focusedWhileShown = false;
  k58::forms::FileDialogProc() = [&](k58::forms::FileDialogRequest& r) {
    requests.push_back(r);
    focusedWhileShown = image->IsFocused();
    r.FileName = answer;
    return accept;
  };
  std::vector<Integer> closes;
  image->Properties()->SetOnClosePopup([&](TObject*, Byte reason) { closes.push_back(reason); });

  image->Properties()->SetGraphicClassName("TBitmap");
  image->ExecuteMenuCommand(4);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_FALSE(requests[0].Save);
  EXPECT_EQ(requests[0].Filter, GraphicFilter(TBitmap::StaticClass()));
  EXPECT_TRUE(focusedWhileShown);
  EXPECT_EQ(image->Picture()->Width(), 7);
  EXPECT_EQ(closes, std::vector<Integer>{4});

  accept = false;
  image->Properties()->SetCustomFilter("Pictures|*.bmp");
  image->ExecuteMenuCommand(4);
  EXPECT_EQ(requests.back().Filter, "Pictures|*.bmp");
  EXPECT_EQ(closes, (std::vector<Integer>{4, 3}));

  accept = true;
  image->Properties()->SetCustomFilter("");
  answer = dir + "/k58_image_saved";
  image->ExecuteMenuCommand(5);
  EXPECT_TRUE(requests.back().Save);
  EXPECT_EQ(requests.back().DefaultExt, "bmp");
  std::ifstream saved(answer + ".bmp", std::ios::binary);
  ASSERT_TRUE(saved.good());
  const std::string written((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, BmpValue(7, 3, clBlue));
  EXPECT_EQ(closes.size(), 2u) << "saving does not close a popup";
}

TEST_F(ImageTest, RegisteredWithItsDescriptionAndDefaults) {
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  const Integer index = registry->IndexOfClass(TuiImageProperties::StaticClass());
  ASSERT_GE(index, 0);
  EXPECT_EQ(registry->GetHintText(index), "Image|Represents an image editor");
  auto* image = NewObject<TuiImage>(Form);
  EXPECT_EQ(image->Width(), 140);
  EXPECT_EQ(image->Height(), 100);
  EXPECT_FALSE(image->AutoSize());
  EXPECT_TRUE(image->Properties()->Center());
  EXPECT_TRUE(image->Properties()->ShowFocusRect());
  EXPECT_FALSE(image->Properties()->Stretch());
  EXPECT_EQ(image->ClipboardFormat(), CF_PICTURE);
  EXPECT_EQ(image->Properties()->PopupMenuLayout()->MenuItems(),
            (TuiPopupMenuItems{pmiCut, pmiCopy, pmiPaste, pmiDelete, pmiLoad, pmiSave}));
}

}  // namespace
