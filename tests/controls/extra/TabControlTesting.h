// Test helpers of the tab control: a painter with plain metrics (rows 20 high, a tab 10 pixels per
// caption character, navigator buttons 16 wide at the end of the row) that records what the control asks
// of it, and a fixture with a tab control on a form of the test display.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "controls/extra/uiPC.h"
#include "controls/foundation/Foundation.h"
#include "platform/win/testing/TestDisplay.h"
#include "platform/win/ui/UiInternal.h"
#include "tests/common/Display.h"

namespace extra_test {

inline constexpr Integer kFakeRowHeight = 20;
inline constexpr Integer kFakeButtonWidth = 16;
// A caption 60 pixels wide.
inline const String kTab60 = "AAAAAA";

// Metrics: height 20; width 10 per caption character (at least 10); Distance between tabs; the
// navigator buttons shown lie at the end of the row in button order, 16 pixels each, across the first
// row's band.
class TFakeTabPainter : public TuiPCCustomPainter {
  K58_CLASS(TFakeTabPainter, TuiPCCustomPainter)

  explicit TFakeTabPainter(TuiCustomTabControl* AParent) : TuiPCCustomPainter(AParent) {}

  static inline Integer Distance = 0;
  static inline std::vector<std::string> Log;

  TuiPCPainterClass PainterClass() const override;
  Integer CalculateTabNormalHeight() override { return kFakeRowHeight; }
  Integer CalculateTabNormalWidth(TuiTab* ATab) override {
    return std::max<Integer>(10, 10 * static_cast<Integer>(ATab->Caption().size()));
  }
  Integer GetMinTabNormalWidth() override { return 10; }
  TPoint GetTabsNormalDistance() override { return TPoint{Distance, Distance}; }
  void InitTabsRegionParameters(TuiPCNavigatorButtons AButtons, TuiPCTabsRegionParameters& AParams) override {
    const TuiPCPainterParentInfo* info = ParentInfo();
    const Integer buttons = CountButtons(AButtons) * kFakeButtonWidth;
    const bool vertical = info->TabPosition() == tpLeft || info->TabPosition() == tpRight;
    AParams.TabsRect = vertical ? TRect{0, 0, info->Width(), info->Height() - buttons}
                                : TRect{0, 0, info->Width() - buttons, info->Height()};
    AParams.TabsLength = vertical ? AParams.TabsRect.bottom : AParams.TabsRect.right;
    AParams.TabsRectCopy = AParams.TabsRect;
    buttonsStart_ = AParams.TabsLength;
    buttons_ = AButtons;
  }
  bool GetButtonAtPoint(Integer X, Integer Y, TuiPCNavigatorButton& AButton) override {
    if (Y < 0 || Y >= kFakeRowHeight || X < buttonsStart_) return false;
    Integer left = buttonsStart_;
    for (Integer i = nbTopLeft; i <= nbClose; ++i) {
      if (!buttons_.Contains(static_cast<TuiPCNavigatorButton>(i))) continue;
      if (X < left + kFakeButtonWidth) {
        AButton = static_cast<TuiPCNavigatorButton>(i);
        return true;
      }
      left += kFakeButtonWidth;
    }
    return false;
  }
  // The centre of a shown button (client coordinates).
  TPoint ButtonCentre(TuiPCNavigatorButton AButton) const {
    Integer left = buttonsStart_;
    for (Integer i = nbTopLeft; i < AButton; ++i)
      if (buttons_.Contains(static_cast<TuiPCNavigatorButton>(i))) left += kFakeButtonWidth;
    return TPoint{left + kFakeButtonWidth / 2, kFakeRowHeight / 2};
  }
  bool IsTabPressed(Integer) override { return false; }
  void GetGoDialogButtonBounds(TRect& R) override {
    const TPoint c = ButtonCentre(nbGoDialog);
    R = TRect{c.x - kFakeButtonWidth / 2, 0, c.x + kFakeButtonWidth / 2, kFakeRowHeight};
  }
  TColor GetTabColor(Integer) override { return clBtnFace; }
  void GetTabImageAreaOffsets(Integer, TRect& R) override { R = TRect{}; }
  void GetTabTextAreaOffsets(Integer, TRect& R) override { R = TRect{}; }
  Integer GetImageTextDistance() override { return 0; }
  void GetTabContentWOffset(Integer, Integer (&APair)[2]) override { APair[0] = APair[1] = 0; }
  void GetTruncatedTabContentWOffset(Integer, Integer (&APair)[2]) override { APair[0] = APair[1] = 0; }
  void PrepareTabImageAndTextRects(Integer, const TRect&, const TRect&) override {}
  void DrawButtons() override {}
  void DrawTabs() override {}
  void DrawFrame() override {}
  void RepaintButton(TuiPCNavigatorButton AButton, TuiPCNavigatorButtonState) override {
    Log.push_back("button " + std::to_string(AButton) + " " +
                  std::to_string(ParentInfo()->NavigatorButtonState(AButton)));
  }

 private:
  Integer buttonsStart_ = 0;
  TuiPCNavigatorButtons buttons_;
};

// The same metrics without rotation (style 51), and with button behaviour and multi-selection (52).
class TFakeNoRotatePainter : public TFakeTabPainter {
  K58_CLASS(TFakeNoRotatePainter, TFakeTabPainter)
  using TFakeTabPainter::TFakeTabPainter;
  TuiPCPainterClass PainterClass() const override;
};
class TFakeButtonPainter : public TFakeTabPainter {
  K58_CLASS(TFakeButtonPainter, TFakeTabPainter)
  using TFakeTabPainter::TFakeTabPainter;
  TuiPCPainterClass PainterClass() const override;
};

struct FakeTraits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 50;
  static constexpr const char* StyleName = "Fake";
};
struct FakeNoRotateTraits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 51;
  static constexpr const char* StyleName = "NoRotate";
  static constexpr bool AllowRotate = false;
};
struct FakeButtonTraits : TuiPCPainterTraits {
  static constexpr Integer StyleID = 52;
  static constexpr const char* StyleName = "FakeButtons";
  static constexpr bool IsButtonBehaviour = true;
  static constexpr bool AllowMultiSelection = true;
};

inline const TuiPCPainterClassOf<TFakeTabPainter, FakeTraits> FakePainterClass;
inline const TuiPCPainterClassOf<TFakeNoRotatePainter, FakeNoRotateTraits> FakeNoRotatePainterClass;
inline const TuiPCPainterClassOf<TFakeButtonPainter, FakeButtonTraits> FakeButtonPainterClass;

inline TuiPCPainterClass TFakeTabPainter::PainterClass() const { return &FakePainterClass; }
inline TuiPCPainterClass TFakeNoRotatePainter::PainterClass() const { return &FakeNoRotatePainterClass; }
inline TuiPCPainterClass TFakeButtonPainter::PainterClass() const { return &FakeButtonPainterClass; }

// The control's client area as letters, one per pixel: the listed colours by their letter, '?' for any
// other.
inline std::string PixelMap(k58::winui::TestDisplay& ADisplay, TWinControl* C,
                            const std::vector<std::pair<char, TColor>>& AColours) {
  const k58test::PixelReader pixels = k58test::ClientPixels(ADisplay, C->Handle());
  std::string map;
  for (Integer y = 0; y < C->ClientHeight(); ++y) {
    for (Integer x = 0; x < C->ClientWidth(); ++x) {
      char letter = '?';
      for (const auto& [l, colour] : AColours)
        if (pixels(x, y) == ColorToRGB(colour)) {
          letter = l;
          break;
        }
      map += letter;
    }
    map += '\n';
  }
  return map;
}

// Compares a pixel map with the reviewed picture of the case; K58_UPDATE_GOLDEN=1 writes it instead.
inline void ExpectGolden(const std::string& AName, const std::string& AMap) {
  const std::string path = std::string(K58_EXTRA_GOLDEN_DIR) + "/" + AName + ".txt";
  if (std::getenv("K58_UPDATE_GOLDEN") != nullptr) {
    std::filesystem::create_directories(K58_EXTRA_GOLDEN_DIR);
    std::ofstream(path) << AMap;
    return;
  }
  std::ifstream in(path);
  ASSERT_TRUE(in.good()) << path;
  std::stringstream golden;
  golden << in.rdbuf();
  EXPECT_EQ(AMap, golden.str()) << AName;
}

// The units, the fake painters registered, a shown form with its client area 600 x 400, and a pump.
class TabControlTest : public ::testing::Test {
 protected:
  k58::winui::TestDisplay Display;

  TabControlTest() {
    k58::foundation::StartUnits();
    for (TuiPCPainterClass c : FakeClasses()) TuiPCPaintersFactory::RegisterPainterClass(c);
    TFakeTabPainter::Distance = 0;
    TFakeTabPainter::Log.clear();
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(40, 40, 640, 460);
    Form->Show();
    Pump();
  }
  ~TabControlTest() override {
    FreeObject(Form);
    for (TuiPCPainterClass c : FakeClasses()) TuiPCPaintersFactory::UnregisterPainterClass(c);
    k58::winui::ResetWindowSystemState();
    k58::foundation::StopUnits();
  }
  static std::vector<TuiPCPainterClass> FakeClasses() {
    return {&FakePainterClass, &FakeNoRotatePainterClass, &FakeButtonPainterClass};
  }

  // A tab control with the fake painter at (10, 10), its window made, with tabs of the given captions.
  TuiCustomTabControl* NewTabControl(Integer AWidth, Integer AHeight, std::vector<String> ACaptions,
                                     TuiPCStyleID AStyle = FakeTraits::StyleID) {
    auto* control = NewObject<TuiCustomTabControl>(Form);
    control->SetStyle(AStyle);
    control->SetBounds(10, 10, AWidth, AHeight);
    control->SetParent(Form);
    control->HandleNeeded();
    for (const String& caption : ACaptions) control->Tabs()->Add(caption);
    Pump();
    return control;
  }

  void Pump() {
    for (int round = 0; round < 1000; ++round) {
      Application->ProcessMessages();
      if (!k58::winui::RawPending()) {
        MSG m;
        if (!PeekMessage(&m, nullptr, 0, 0, PM_NOREMOVE)) break;
      }
    }
  }
  void Wait(DWORD Milliseconds) {
    Display.Advance(Milliseconds);
    Pump();
  }
  static POINT At(TControl* AControl, Integer X, Integer Y) {
    const TPoint p = AControl->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }
  static POINT At(TControl* AControl, TPoint P) { return At(AControl, P.x, P.y); }
  static TFakeTabPainter* FakePainter(TuiCustomTabControl* AControl) {
    return static_cast<TFakeTabPainter*>(AControl->Painter());
  }

  TForm* Form = nullptr;
};

}  // namespace extra_test
