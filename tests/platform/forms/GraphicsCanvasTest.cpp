// The canvas drawing through to pixels: shapes with the pen and brush, changes of the font, pen and brush
// between calls, text, copies, graphics, notifications and locking.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "GraphicsTesting.h"
#include "platform/forms/Graphics.h"

namespace forms_test {

namespace {

using forms_test::At;
using forms_test::Count;
using forms_test::GraphicsTest;
using forms_test::MakeBitmap;

const std::map<TColor, char> kLegend{{clWhite, '.'}, {clBlack, '#'}, {clRed, 'R'}, {clBlue, 'B'}, {clLime, 'G'},
                                     {clYellow, 'Y'}};

class CanvasTest : public GraphicsTest {
 protected:
  TObjectPtr<TBitmap> bitmap = MakeBitmap(8, 6);
  TCanvas* canvas = bitmap->Canvas();
};

TEST_F(CanvasTest, ACanvasWithoutAContextRefusesToDrawUntilItIsGivenOne) {
  TCanvas plain;
  try {
    plain.FillRect(Rect(0, 0, 1, 1));
    FAIL() << "drew without a context";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
  }
  EXPECT_THROW(plain.TextWidth("x"), EInvalidOperation);

  // Borrowing the bitmap's context: drawing lands in the bitmap, and the context stays the bitmap's.
  plain.SetHandle(canvas->Handle());
  plain.Brush()->SetColor(clRed);
  plain.FillRect(Rect(0, 0, 2, 1));
  plain.SetHandle(nullptr);
  EXPECT_EQ(At(bitmap.get(), 1, 0), clRed);
  EXPECT_EQ(At(bitmap.get(), 2, 0), clWhite);

  // The screen context measures as a bitmap's does.
  TCanvas measuring;
  measuring.SetHandle(ScreenDC());
  EXPECT_GT(measuring.TextWidth("WWW"), 0);
  EXPECT_EQ(measuring.TextWidth("WWW"), canvas->TextWidth("WWW"));
  EXPECT_EQ(measuring.Font()->PixelsPerInch(), ScreenLogPixels());
}

TEST_F(CanvasTest, ShapesUseThePenForOutlinesAndTheBrushInside) {
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetColor(clRed);
  canvas->Rectangle(1, 1, 6, 5);
  canvas->Pen()->SetColor(clBlue);
  canvas->MoveTo(0, 5);
  canvas->LineTo(5, 5);  // the last pixel is left out
  EXPECT_EQ(canvas->PenPos().x, 5);
  EXPECT_BITMAP(bitmap.get(), kLegend,
                {"........",
                 ".#####..",
                 ".#RRR#..",
                 ".#RRR#..",
                 ".#####..",
                 "BBBBB..."});

  // A clear brush leaves the inside alone; a clear pen draws no outline.
  bitmap = MakeBitmap(8, 6, clYellow);
  canvas = bitmap->Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->Rectangle(1, 1, 6, 5);
  canvas->Brush()->SetColor(clRed);
  canvas->Pen()->SetStyle(psClear);
  canvas->Rectangle(6, 0, 8, 3);
  EXPECT_BITMAP(bitmap.get(), kLegend,
                {"YYYYYYRY",
                 "Y#####RY",
                 "Y#YYY#YY",
                 "Y#YYY#YY",
                 "Y#####YY",
                 "YYYYYYYY"});
}

TEST_F(CanvasTest, ChangesOfTheDrawingObjectsShowInTheNextCall) {
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(0, 0, 2, 1));
  canvas->Brush()->SetColor(clBlue);
  canvas->FillRect(Rect(2, 0, 4, 1));
  // A brush assigned as a whole.
  TBrush lime;
  lime.SetColor(clLime);
  canvas->SetBrush(&lime);
  canvas->FillRect(Rect(4, 0, 6, 1));
  canvas->Pen()->SetColor(clRed);
  canvas->MoveTo(0, 1);
  canvas->LineTo(3, 1);
  canvas->Pen()->SetColor(clBlue);
  canvas->LineTo(6, 1);
  EXPECT_BITMAP(bitmap.get(), kLegend, {"RRBBGG..", "RRRBBB..", "........", "........", "........", "........"});

  // Another font with the same attributes shares the selected handle; its change does not disturb
  // this canvas.
  TFont twin;
  twin.Assign(canvas->Font());
  EXPECT_EQ(twin.Handle(), canvas->Font()->Handle());
  const Integer width = canvas->TextWidth("WWW");
  twin.SetSize(30);
  EXPECT_EQ(canvas->TextWidth("WWW"), width);
  canvas->Font()->SetSize(30);
  EXPECT_GT(canvas->TextWidth("WWW"), width);
}

TEST_F(CanvasTest, PenModesCombineWithWhatIsThere) {
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(0, 0, 4, 6));
  canvas->Pen()->SetMode(pmXor);
  canvas->Pen()->SetColor(clWhite);
  canvas->MoveTo(0, 0);
  canvas->LineTo(8, 0);
  EXPECT_EQ(At(bitmap.get(), 0, 0), static_cast<TColor>(RGB(0, 255, 255)));
  EXPECT_EQ(At(bitmap.get(), 5, 0), clBlack);
  // Twice XOR gives the pixels back.
  canvas->MoveTo(0, 0);
  canvas->LineTo(8, 0);
  EXPECT_EQ(At(bitmap.get(), 0, 0), clRed);
  EXPECT_EQ(At(bitmap.get(), 5, 0), clWhite);

  canvas->Pen()->SetMode(pmNot);
  canvas->MoveTo(0, 1);
  canvas->LineTo(8, 1);
  EXPECT_EQ(At(bitmap.get(), 0, 1), static_cast<TColor>(RGB(0, 255, 255)));
  EXPECT_EQ(At(bitmap.get(), 7, 1), clBlack);
}

TEST_F(CanvasTest, TextIsWrittenOnTheBrushColourUnlessTheBrushIsClear) {
  bitmap = MakeBitmap(60, 20);
  canvas = bitmap->Canvas();
  canvas->Font()->SetColor(clBlue);
  canvas->Brush()->SetColor(clYellow);
  const TSize extent = canvas->TextExtent("Hi");
  canvas->TextOut(2, 1, "Hi");
  // The text box is filled with the brush; the pen position moves past the text.
  EXPECT_EQ(At(bitmap.get(), 2, 1), clYellow);
  EXPECT_EQ(At(bitmap.get(), 2 + extent.cx - 1, 1 + extent.cy - 1), clYellow);
  EXPECT_EQ(At(bitmap.get(), 2 + extent.cx, 1), clWhite);
  EXPECT_GT(Count(bitmap.get(), clBlue), 0);
  EXPECT_EQ(canvas->PenPos().x, 2 + extent.cx);
  EXPECT_EQ(canvas->TextHeight("Hi"), extent.cy);
  EXPECT_EQ(canvas->TextWidth("Hi"), extent.cx);

  bitmap = MakeBitmap(60, 20);
  canvas = bitmap->Canvas();
  canvas->Font()->SetColor(clBlue);
  canvas->Brush()->SetStyle(bsClear);
  canvas->TextOut(2, 1, "Hi");
  EXPECT_EQ(Count(bitmap.get(), clYellow), 0);
  EXPECT_GT(Count(bitmap.get(), clBlue), 0);
}

TEST_F(CanvasTest, TextRectFillsAndClipsToItsRectangle) {
  bitmap = MakeBitmap(60, 20);
  canvas = bitmap->Canvas();
  canvas->Font()->SetColor(clBlack);
  canvas->Brush()->SetColor(clYellow);
  canvas->TextRect(Rect(10, 2, 20, 12), 5, 0, "WWWWWW");
  int outside = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) {
      const bool inside = x >= 10 && x < 20 && y >= 2 && y < 12;
      if (!inside) outside += At(bitmap.get(), x, y) != clWhite;
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(At(bitmap.get(), 19, 11), clYellow);
  EXPECT_GT(Count(bitmap.get(), clBlack), 0);
}

TEST_F(CanvasTest, PixelsReadAndWriteAndAnswerNoneOutside) {
  canvas->SetPixels(3, 2, clRed);
  canvas->SetPixels(4, 2, clBtnFace);
  EXPECT_EQ(canvas->Pixels(3, 2), clRed);
  EXPECT_EQ(canvas->Pixels(4, 2), static_cast<TColor>(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(canvas->Pixels(100, 2), clNone);
}

TEST_F(CanvasTest, ClippingNarrowsDrawingAndClipRect) {
  IntersectClipRect(canvas->Handle(), 2, 1, 5, 3);
  EXPECT_EQ(canvas->ClipRect().left, 2);
  EXPECT_EQ(canvas->ClipRect().bottom, 3);
  canvas->Brush()->SetColor(clBlue);
  canvas->FillRect(Rect(0, 0, 8, 6));
  // Pixels outside the clipping region read as none.
  EXPECT_EQ(canvas->Pixels(0, 0), clNone);
  SelectClipRgn(canvas->Handle(), nullptr);
  EXPECT_BITMAP(bitmap.get(), kLegend,
                {"........", "..BBB...", "..BBB...", "........", "........", "........"});
}

TEST_F(CanvasTest, CopiesAndGraphicsLandWhereAsked) {
  TObjectPtr<TBitmap> source = MakeBitmap(2, 2, clRed);
  source->Canvas()->SetPixels(1, 1, clBlue);
  canvas->Draw(1, 1, source.get());
  canvas->StretchDraw(Rect(4, 0, 8, 4), source.get());
  canvas->CopyRect(Rect(0, 4, 2, 6), source->Canvas(), Rect(0, 0, 2, 2));
  canvas->Draw(0, 0, nullptr);
  EXPECT_BITMAP(bitmap.get(), kLegend,
                {"....RRRR",
                 ".RR.RRRR",
                 ".RB.RRBB",
                 "....RRBB",
                 "RR......",
                 "RB......"});

  // CopyMode applies to copies: SRCINVERT twice restores.
  bitmap = MakeBitmap(2, 2, clYellow);
  canvas = bitmap->Canvas();
  canvas->SetCopyMode(cmSrcInvert);
  canvas->CopyRect(Rect(0, 0, 2, 2), source->Canvas(), Rect(0, 0, 2, 2));
  EXPECT_EQ(At(bitmap.get(), 0, 0), clLime);  // red XOR yellow
  canvas->CopyRect(Rect(0, 0, 2, 2), source->Canvas(), Rect(0, 0, 2, 2));
  EXPECT_EQ(At(bitmap.get(), 0, 0), clYellow);
}

TEST_F(CanvasTest, ABitmapBrushTilesItsPatternFromTheOrigin) {
  TObjectPtr<TBitmap> pattern = MakeBitmap(2, 2, clRed);
  pattern->Canvas()->SetPixels(1, 0, clBlue);
  pattern->Canvas()->SetPixels(0, 1, clBlue);
  canvas->Brush()->SetBitmap(pattern.get());
  canvas->FillRect(Rect(1, 1, 6, 4));
  EXPECT_BITMAP(bitmap.get(), kLegend,
                {"........", ".RBRBR..", ".BRBRB..", ".RBRBR..", "........", "........"});
  // Back to a plain brush.
  canvas->Brush()->SetBitmap(nullptr);
  canvas->Brush()->SetColor(clLime);
  canvas->FillRect(Rect(0, 5, 8, 6));
  EXPECT_EQ(At(bitmap.get(), 3, 5), clLime);
}

TEST_F(CanvasTest, BrushCopyDrawsTheBrushWhereTheBitmapHasTheColour) {
  TObjectPtr<TBitmap> source = MakeBitmap(3, 2, clLime);
  source->Canvas()->SetPixels(1, 0, clRed);
  source->Canvas()->SetPixels(2, 1, clRed);
  canvas->Brush()->SetColor(clBlue);
  canvas->BrushCopy(Rect(1, 1, 4, 3), source.get(), Rect(0, 0, 3, 2), clLime);
  EXPECT_BITMAP(bitmap.get(), kLegend,
                {"........", ".BRB....", ".BBR....", "........", "........", "........"});
}

TEST_F(CanvasTest, DrawingCallsNotifyBeforeAndAfterAndTheBitmapFollows) {
  std::vector<String> events;
  canvas->SetOnChanging(TNotifyEvent([&](TObject*) { events.push_back("changing"); }));
  canvas->SetOnChange(TNotifyEvent([&](TObject*) { events.push_back("change"); }));
  int bitmapChanges = 0;
  bitmap->SetOnChange(TNotifyEvent([&](TObject*) { ++bitmapChanges; }));
  canvas->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(events, (std::vector<String>{"changing", "change"}));
  EXPECT_EQ(bitmapChanges, 1);
  // Measuring and reading change nothing.
  events.clear();
  canvas->TextWidth("x");
  canvas->Pixels(0, 0);
  canvas->MoveTo(1, 1);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(bitmapChanges, 1);
}

TEST_F(CanvasTest, LockingKeepsOtherThreadsOut) {
  canvas->Lock();
  canvas->Lock();
  EXPECT_EQ(canvas->LockCount(), 2);
  std::atomic<bool> got{true};
  std::thread([&] { got = canvas->TryLock(); }).join();
  EXPECT_FALSE(got);
  canvas->Unlock();
  canvas->Unlock();
  std::thread([&] {
    got = canvas->TryLock();
    if (got) canvas->Unlock();
  }).join();
  EXPECT_TRUE(got);
  EXPECT_EQ(canvas->LockCount(), 0);
}

}  // namespace

}  // namespace forms_test
