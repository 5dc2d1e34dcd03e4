// Writes a picture of every element in each of the four non-themed looks to the build tree
// (<build>/gallery/<look>.png), for review by eye.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "tests/controls/foundation/FoundationTesting.h"

using namespace foundation_test;

namespace {

constexpr Integer kLabelWidth = 110, kCellWidth = 56, kRowHeight = 30, kColumns = 10;

struct Row {
  const char* Label;
  // Draws element Column (0 .. kColumns - 1) into R; answers false when the row has no more.
  std::function<bool(TuiLookAndFeelPainterClass, TuiCanvas*, Integer, const TRect&)> Draw;
};

const TuiButtonState kStates[] = {uibsDefault, uibsNormal, uibsHot, uibsPressed, uibsDisabled};

TRect Centered(const TRect& R, Integer W, Integer H) {
  const Integer x = (R.left + R.right - W) / 2, y = (R.top + R.bottom - H) / 2;
  return TRect{x, y, x + W, y + H};
}

std::vector<Row> Rows(TFont* AFont) {
  const TuiDrawBackgroundEvent none;
  return {
      {"buttons", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 5) return false;
         P->PaintButton(C, TRect{R.left + 2, R.top + 3, R.right - 2, R.bottom - 3}, "&Ok", kStates[I]);
         return true;
       }},
      {"arrow buttons", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 9) return false;
         P->PaintArrowButton(C, Centered(R, 17, 17), kStates[I % 5], static_cast<TuiArrowDirection>(I % 4), I < 5);
         return true;
       }},
      {"arrow glyphs", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 8) return false;
         const TRect r = Centered(R, 15, 15);
         C->FillRectWithColor(r, P->GetButtonFaceColor(uibsNormal));
         P->PaintArrowGlyph(C, r, I < 4 ? uibsNormal : uibsDisabled, static_cast<TuiArrowDirection>(I % 4));
         return true;
       }},
      {"borders, frames", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 2) return false;
         const TRect r = Centered(R, 40, 22);
         C->FillRectWithColor(r, clWindow);
         if (I == 0) P->PaintBorder(C, r); else P->PaintFrame(C, r);
         return true;
       }},
      {"check boxes", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 10) return false;
         P->PaintCheckButton(C, Centered(R, 13, 13), kStates[I % 5], I >= 5);
         return true;
       }},
      {"radio buttons", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 10) return false;
         const TRect r = Centered(R, 12, 12);
         P->PaintRadioButton(C, r.left, r.top, kStates[I % 5], I >= 5, false, clDefault);
         return true;
       }},
      {"expand buttons", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 6) return false;
         const Integer saved = C->SaveState();
         if (I < 2) P->PaintExpandButton(C, Centered(R, P->GetExpandButtonSize(), P->GetExpandButtonSize()), I == 1);
         else if (I < 4) P->PaintSmallExpandButton(C, Centered(R, 9, 9), I == 3, clBtnShadow, clWindow);
         else P->PaintGroupExpandButton(C, Centered(R, 15, 15), I == 5, uibsNormal);
         C->RestoreState(saved);
         return true;
       }},
      {"headers", [AFont](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 5) return false;
         const TRect r{R.left, R.top + 4, R.right, R.bottom - 4};
         P->PaintHeader(C, r, TRect{r.left + 3, r.top, r.right - 3, r.bottom}, TuiBorders{bLeft, bRight}, uiAllBorders,
                        kStates[I], taLeftJustify, vaCenter, false, true, "Name", AFont, clBtnText, clBtnFace,
                        TuiDrawBackgroundEvent(), I == 4);
         if (I == 1 || I == 2) P->PaintSortMark(C, TRect{r.right - 12, r.top, r.right - 2, r.bottom}, I == 1);
         return true;
       }},
      {"header sections", [AFont](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 5) return false;
         const TRect r{R.left + 1, R.top + 4, R.right - 1, R.bottom - 4};
         P->PaintHeaderSection(C, r, r, TuiBorders{}, uiAllBorders, kStates[I], taCenter, vaCenter, false, false, "Sec",
                               AFont, clBtnText, clBtnFace);
         return true;
       }},
      {"footers", [AFont, none](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 3) return false;
         const TRect r{R.left + 1, R.top + 4, R.right - 1, R.bottom - 4};
         if (I == 0) P->PaintFooterCell(C, r, taRightJustify, vaCenter, false, "123", AFont, clBtnText, clBtnFace, none);
         else if (I == 1) { C->FillRectWithColor(r, clBtnFace); P->PaintFooterBorder(C, r); }
         else P->PaintFooterSeparator(C, TRect{r.left, r.top + 10, r.right, r.top + 11});
         return true;
       }},
      {"close buttons", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 5) return false;
         const TPoint size = P->GetCloseButtonSize();
         P->PaintCloseButton(C, Centered(R, size.x, size.y), kStates[I]);
         return true;
       }},
      {"drop-down buttons", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 6) return false;
         P->PaintDropDownButton(C, Centered(R, 17, 20), kStates[I % 5], I == 5);
         return true;
       }},
      {"mark, pin buttons", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 8) return false;
         if (I < 4) P->PaintMarkButton(C, Centered(R, 16, 16), kStates[I + 1]);
         else P->PaintImageButton(C, Centered(R, 16, 14), kStates[(I - 4) % 2 + 1], I >= 6 ? 1 : 0, clBtnFace);
         return true;
       }},
      {"group buttons", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 5) return false;
         P->PaintGroupButton(C, TRect{R.left, R.top + 4, R.right, R.bottom - 4}, kStates[I], 5, I, clBtnShadow);
         return true;
       }},
      {"tabs", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 3) return false;
         const TRect r{R.left + 2, R.top + 3, R.right - 2, R.bottom - 3};
         C->FillRectWithColor(r, clBtnFace);
         if (I == 0) {
           P->PaintTabsRoot(C, r, uiAllBorders, false);
         } else {
           for (TuiBorder side : {bLeft, bTop, bRight})
             P->PaintTabBorder(C, side == bLeft ? TRect{r.left, r.top, r.left + 1, r.bottom}
                                  : side == bTop ? TRect{r.left, r.top, r.right, r.top + 1}
                                                 : TRect{r.right - 1, r.top, r.right, r.bottom},
                               side, uiAllBorders, I == 2);
         }
         return true;
       }},
      {"indicators", [none](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 6) return false;
         P->PaintIndicatorItem(C, Centered(R, 14, 20), static_cast<TuiIndicatorKind>(I), clBtnFace, none);
         return true;
       }},
      {"scroll bar parts", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 2) return false;
         if (I == 0) {
           // A horizontal bar: arrows, a page area on each side of the thumb.
           const Integer y = R.top + 7;
           P->PaintScrollBarPart(C, true, TRect{R.left, y, R.left + 16, y + 16}, sbpLineUp, uibsNormal);
           P->PaintScrollBarPart(C, true, TRect{R.left + 16, y, R.left + 24, y + 16}, sbpPageUp, uibsNormal);
           P->PaintScrollBarPart(C, true, TRect{R.left + 24, y, R.left + 40, y + 16}, sbpThumbnail, uibsHot);
           P->PaintScrollBarPart(C, true, TRect{R.left + 40, y, R.left + 88, y + 16}, sbpPageDown, uibsPressed);
           P->PaintScrollBarPart(C, true, TRect{R.left + 88, y, R.left + 104, y + 16}, sbpLineDown, uibsPressed);
         } else {
           const Integer x = R.left + 60;
           P->PaintScrollBarPart(C, false, TRect{x, R.top + 7, x + 16, R.top + 23}, sbpLineUp, uibsDisabled);
           P->PaintScrollBarPart(C, false, TRect{x + 20, R.top + 7, x + 36, R.top + 23}, sbpLineDown, uibsHot);
         }
         return true;
       }},
      {"splitters", [](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 5) return false;
         if (I < 3) P->PaintSplitterButton(C, Centered(R, 30, 8), kStates[I + 1]);
         else P->PaintSplitterBorder(C, Centered(R, I == 3 ? 40 : 8, I == 3 ? 8 : 24), I == 3,
                                     TuiBackgroundParams{nullptr, clBtnFace});
         return true;
       }},
      {"header with arrows", [AFont, none](auto P, auto C, Integer I, const TRect& R) {
         if (I >= 1) return false;
         TuiHeaderParams params;
         params.Font = AFont;
         P->PaintHeaderWithArrows(C, TRect{R.left, R.top + 4, R.left + 110, R.bottom - 4}, "Month", TuiBorders{},
                                  params, 3, uihaLeft | uihaRight, none);
         return true;
       }},
  };
}

}  // namespace

class GalleryTest : public FoundationTest {};

TEST_F(GalleryTest, EveryElementInEachLook) {
  TFont font;
  font.SetName("Tahoma");
  font.SetSize(8);
  const std::vector<Row> rows = Rows(&font);
  struct Look {
    const char* Name;
    TuiLookAndFeelPainterClass Painter;
  };
  const std::string folder = K58_GALLERY_DIR;
  std::filesystem::create_directories(folder);
  for (const Look& look : {Look{"standard", PainterClass<TuiStandardLookAndFeelPainter>()},
                           Look{"flat", PainterClass<TuiFlatLookAndFeelPainter>()},
                           Look{"ultraflat", PainterClass<TuiUltraFlatLookAndFeelPainter>()},
                           Look{"office11", PainterClass<TuiOffice11LookAndFeelPainter>()}}) {
    const Integer height = static_cast<Integer>(rows.size()) * kRowHeight;
    TestCanvas canvas(kLabelWidth + kColumns * kCellWidth, height, clWindow);
    canvas->SetCanvasFont(&font);
    for (size_t i = 0; i < rows.size(); ++i) {
      const Integer top = static_cast<Integer>(i) * kRowHeight;
      canvas->FillRectWithColor(TRect{0, top, kLabelWidth + kColumns * kCellWidth, top + kRowHeight},
                                i % 2 ? clWindow : clBtnFace);
      canvas->GetCanvasFont()->SetColor(clWindowText);
      canvas->GetCanvasBrush()->SetStyle(bsClear);
      canvas->DrawCaptionText(rows[i].Label, TRect{4, top, kLabelWidth, top + kRowHeight},
                              ctfAlignLeft | ctfAlignVCenter | ctfSingleLine);
      canvas->GetCanvasBrush()->SetStyle(bsSolid);
      Integer drawn = 0;
      for (Integer column = 0; column < kColumns; ++column) {
        const TRect cell{kLabelWidth + column * kCellWidth, top, kLabelWidth + (column + 1) * kCellWidth,
                         top + kRowHeight};
        if (!rows[i].Draw(look.Painter, canvas.Canvas(), column, cell)) break;
        ++drawn;
      }
      EXPECT_GT(drawn, 0) << rows[i].Label;
    }
    const std::string path = folder + "/" + look.Name + ".png";
    EXPECT_TRUE(canvas.Save(path)) << path;
    EXPECT_GT(std::filesystem::file_size(path), 1000u) << path;
  }
}
