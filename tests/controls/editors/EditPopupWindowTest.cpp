// The edit popup window: border extents per style, the grip corner, the sizing hit test, the frame's
// lines, and on the test display the placement next to an editor, sizing from it, resizing with the
// outline window (clipping, lookup snapping, the edge facing the editor), the close button, the
// forwarding of characters typed while it opens, and the combo box popup's size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiEditPopupWindow.h"
#include "tests/common/Geometry.h"
#include "tests/controls/foundation/ControlTesting.h"

using namespace foundation_test;

namespace {

// A lookup list of 10-pixel rows: heights snap down to whole rows within the room given.
class TPopupTestLookupData : public TuiCustomTextEditLookupData {
 public:
  Integer LastMaxHeight = -1;
  bool CanResizeVisualArea(TSize& ANewSize, Integer AMaxHeight, Integer) override {
    LastMaxHeight = AMaxHeight;
    ANewSize.cy = std::min(ANewSize.cy, AMaxHeight) / 10 * 10;
    return true;
  }
};

}  // namespace

// An editor standing in for the drop-down editor: it answers the popup's questions from its fields.
class TEditPopupTestOwner : public TuiControl, public IuiEditPopupWindowOwner {
  K58_CLASS(TEditPopupTestOwner, TuiControl)
 public:
  explicit TEditPopupTestOwner(TComponent* AOwner) : TuiControl(AOwner) {}

  TuiCustomEditPopupWindow* Popup = nullptr;
  TSize ContentSize{80, 50};
  bool ShadowAllowance = false;
  TuiCustomTextEditLookupData* Lookup = nullptr;
  std::vector<TuiPopupCloseReason> Closes;
  Integer ResizedCalls = 0;
  std::string Typed;

  void GetPopupOwnerBounds(TRect& R) override {
    R = BoundsRect();
    if (ShadowAllowance) R.right += 3;
  }
  void CalculatePopupContentSize(TSize& ASize) override { ASize = ContentSize; }
  bool IsPopupLimitedToWorkArea() override { return true; }
  TuiLookAndFeelKind GetPopupLookAndFeelKind() override { return lfStandard; }
  void CloseUp(TuiPopupCloseReason AReason) override {
    Closes.push_back(AReason);
    Popup->ClosePopup();
  }
  void PopupWindowResized() override { ++ResizedCalls; }
  bool IsPopupResized() override { return ResizedCalls > 0; }
  IuiTextEditLookupData* GetPopupLookupData() override { return Lookup; }

 protected:
  void KeyPress(char& Key) override {
    Typed += Key;
    TuiControl::KeyPress(Key);
  }
};
K58_IMPLEMENT_CLASS(TEditPopupTestOwner) {}

namespace {

using k58::editors::EditPopupGripCorner;

bool NoOutline() {
  const TRect r = k58::editors::EditPopupOutlineRect();
  return IsRectEmpty(&r) && k58::editors::EditPopupOutlineWindow() == nullptr;
}

// ---- Pure geometry ----

struct ExtentCase {
  TuiEditPopupBorderStyle Style;
  bool Native, ClientEdge, Shadow, SysPanel;
  Byte Corner;
  TRect Client;  // of a 100 x 80 view
  const char* Why;
};

TEST(EditPopupGeometry, ClientRectangleFollowsBorderClientEdgeShadowAndPanel) {
  k58::winui::TestDisplay display;
  const Integer panel = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  const ExtentCase cases[] = {
      {epbsDefault, false, true, false, false, 3, {0, 0, 100, 80}, "no border: no client edge either"},
      {epbsSingle, false, false, false, false, 3, {1, 1, 99, 79}, "single line"},
      {epbsFrame3D, false, true, false, false, 3, {6, 6, 94, 74}, "4 border + 2 client edge"},
      {epbsFlat, false, true, false, false, 3, {3, 3, 97, 77}, "flat: 2 + 1"},
      {epbsFlat, true, true, false, false, 3, {3, 3, 97, 77}, "native: 1 + 2"},
      {epbsSingle, false, false, true, false, 3, {1, 1, 96, 76}, "shadow takes 3 at right and bottom"},
      {epbsSingle, false, false, false, true, 3, {1, 1, 99, 79 - panel - 1}, "panel below, with separator"},
      {epbsFlat, false, false, false, true, 1, {2, 2 + panel, 98, 78}, "panel on top for a top grip"},
  };
  for (const ExtentCase& c : cases) {
    TuiCustomEditPopupWindowViewInfo view;
    view.PopupBorderStyle = c.Style;
    view.NativeStyle = c.Native;
    view.ClientEdge = c.ClientEdge;
    view.Shadow = c.Shadow;
    view.SysPanelStyle = c.SysPanel;
    view.SizeGripCorner = c.Corner;
    view.Bounds = TRect{0, 0, 100, 80};
    view.Calculate();
    EXPECT_EQ(TRect(c.Client), TRect(view.ClientRect)) << c.Why;
  }
}

TEST(EditPopupGeometry, GripCornerComesFromWherePopupLanded) {
  const TRect work{0, 0, 1000, 700};
  const TRect editor{300, 200, 400, 220};
  struct {
    TPoint P;
    TRect Owner;
    TuiPopupAlignment Horz;
    Byte Corner;
    const char* Why;
  } cases[] = {
      {{300, 220}, editor, palBefore, 3, "below, left-aligned in place"},
      {{300, 50}, editor, palBefore, 1, "above, left-aligned in place"},
      {{880, 220}, TRect{900, 200, 990, 220}, palBefore, 2, "left-aligned but shifted left off the right edge"},
      {{0, 220}, TRect{0, 200, 90, 220}, palBefore, 3, "editor at the work area's left"},
      {{250, 220}, editor, palAfter, 2, "right-aligned in place: grip on the left"},
      {{280, 220}, editor, palAfter, 3, "right-aligned but moved"},
      {{280, 220}, editor, palCenter, 3, "centred, less room on the left"},
      {{620, 220}, TRect{700, 200, 800, 220}, palCenter, 2, "centred, more room on the left"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Corner, EditPopupGripCorner(c.P, 150, c.Owner, work, c.Horz)) << c.Why;
}

TEST(EditPopupGeometry, SizingHitTestNeverSizesFromTheEdgeFacingTheEditor) {
  k58::winui::TestDisplay display;
  const Integer offset = std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE));
  struct {
    Byte Corner;
    bool SysPanel;
    TPoint P;
    bool Hit;
    Integer DX, DY;
    const char* Why;
  } cases[] = {
      {3, false, {100, 199}, true, 0, 1, "bottom edge below the editor"},
      {3, false, {199, 100}, true, 1, 0, "right edge"},
      {3, false, {199, 199}, true, 1, 1, "bottom-right corner"},
      {3, false, {100, 0}, false, 0, 0, "top edge faces the editor"},
      {3, false, {199, 1}, true, 1, 0, "top of the right border: sideways only"},
      {3, false, {0, 100}, false, 0, 0, "left edge: the side opposite the grip"},
      {3, false, {100, 100}, false, 0, 0, "inside"},
      {0, false, {100, 0}, true, 0, -1, "top edge of a popup above the editor"},
      {0, false, {100, 199}, false, 0, 0, "its bottom edge faces the editor"},
      {0, false, {0, offset}, true, -1, 0, "its left edge"},
      {3, true, {195, 195}, true, 1, 1, "on the size grip"},
      {3, true, {0, 100}, false, 0, 0, "panel: the side away from the grip"},
  };
  for (const auto& c : cases) {
    TuiCustomEditPopupWindowViewInfo view;
    view.PopupBorderStyle = epbsFrame3D;
    view.SysPanelStyle = c.SysPanel;
    view.Sizeable = true;
    view.SizeGripCorner = c.Corner;
    view.Bounds = TRect{0, 0, 200, 200};
    view.Calculate();
    Integer dx = 9, dy = 9;
    const bool hit = view.GetSizingHitTest(c.P, dx, dy);
    EXPECT_EQ(c.Hit, hit) << c.Why;
    if (hit) {
      EXPECT_EQ((std::pair{c.DX, c.DY}), (std::pair{dx, dy})) << c.Why;
    }
  }
}

TEST(EditPopupGeometry, Frame3DWithClientEdgeDrawsFourBorderLinesThenTheSunkenEdge) {
  k58::winui::TestDisplay display;
  UseDistinctSystemColours();
  for (bool clientEdge : {true, false}) {
    TuiCustomEditPopupWindowViewInfo view;
    view.PopupBorderStyle = epbsFrame3D;
    view.ClientEdge = clientEdge;
    view.Bounds = TRect{0, 0, 60, 40};
    view.Calculate();
    TestCanvas canvas(60, 40);
    view.Paint(canvas.Canvas());
    std::vector<TColor> left;
    for (Integer x = 0; x < 7; ++x) left.push_back(canvas.At(x, 20));
    const std::vector<TColor> expected =
        clientEdge ? std::vector<TColor>{Rgb(cl3DLight), Rgb(clBtnHighlight), Rgb(clInactiveBorder), Rgb(clBtnFace),
                                         Rgb(clBtnShadow), Rgb(cl3DDkShadow), Rgb(clBtnFace)}
                   : std::vector<TColor>{Rgb(cl3DLight), Rgb(clBtnHighlight), Rgb(clBtnFace), Rgb(clBtnShadow),
                                         Rgb(clBtnFace), Rgb(clBtnFace), Rgb(clBtnFace)};
    EXPECT_EQ(expected, left) << "client edge " << clientEdge;
  }
}

// ---- On the test display ----

class EditPopupWindowTest : public ControlTest {
 protected:
  EditPopupWindowTest() {
    Editor = NewObject<TEditPopupTestOwner>(Form);
    Editor->SetBounds(100, 100, 120, 22);
    Editor->SetParent(Form);
    Editor->HandleNeeded();
    Popup = NewObject<TuiCustomEditPopupWindow>(Editor);
    Popup->SetTakeFocus(false);
    Popup->SetOwnerParent(Form);
    Editor->Popup = Popup;
    Pump();
  }
  ~EditPopupWindowTest() override {
    FreeObject(Popup);
    delete lookup_;
  }

  void Open() {
    Popup->PopupForControl(Editor);
    Pump();
  }
  // A sizeable framed popup of 150 x 100 below the editor.
  void OpenSizeable(bool ASysPanel = false) {
    Popup->SetPopupBorderStyle(epbsFrame3D);
    Popup->SetAutoSize(false);
    Popup->SetSizeable(true);
    Popup->SetSysPanelStyle(ASysPanel);
    Popup->SetCloseButton(ASysPanel);
    Popup->SetPopupWidth(150);
    Popup->SetPopupHeight(100);
    Open();
  }
  // Screen point of a popup window point.
  POINT InPopup(Integer X, Integer Y) { return POINT{Popup->Left() + X, Popup->Top() + Y}; }
  TRect Screen(const TRect& R) {
    TRect r = R;
    OffsetRect(&r, Popup->Left(), Popup->Top());
    return r;
  }
  TPopupTestLookupData* UseLookup() {
    lookup_ = new TPopupTestLookupData;
    Editor->Lookup = lookup_;
    return lookup_;
  }

  TEditPopupTestOwner* Editor = nullptr;
  TuiCustomEditPopupWindow* Popup = nullptr;

 private:
  TPopupTestLookupData* lookup_ = nullptr;
};

TEST_F(EditPopupWindowTest, AutoSizedPopupWrapsItsContentBelowTheEditor) {
  Popup->SetPopupBorderStyle(epbsFrame3D);
  Popup->SetClientEdge(true);
  Popup->SetShadow(true);
  Open();
  ASSERT_TRUE(Popup->IsShown());
  EXPECT_EQ(6 + 80 + 6 + 3, Popup->Width());
  EXPECT_EQ(6 + 50 + 6 + 3, Popup->Height());
  const TPoint below = Editor->ClientToScreen(TPoint{0, Editor->Height()});
  EXPECT_EQ(below.x, Popup->Left());
  EXPECT_EQ(below.y, Popup->Top());
  EXPECT_EQ(3, Popup->ViewInfo()->SizeGripCorner);
  EXPECT_EQ(TRect(TRect{6, 6, 86, 56}), TRect(Popup->ViewInfo()->ClientRect));
}

TEST_F(EditPopupWindowTest, WidthZeroIsTheEditorsWidthAndMinimumsHold) {
  Editor->ShadowAllowance = true;
  Popup->SetAutoSize(false);
  Popup->SetPopupHeight(60);
  Open();
  EXPECT_EQ(Editor->Width() + 3, Popup->Width()) << "as wide as the editor with its shadow allowance";
  EXPECT_EQ(60, Popup->Height());
  Popup->ClosePopup();
  Popup->SetSizeable(true);
  Popup->SetMinWidth(200);
  Popup->SetMinHeight(90);
  Open();
  EXPECT_EQ(200, Popup->Width());
  EXPECT_EQ(90, Popup->Height());
}

TEST_F(EditPopupWindowTest, PopupAboveTheEditorTakesATopGripAndMovesDownOverItsShadow) {
  Form->SetTop(GetSystemMetrics(SM_CYSCREEN) - 200);
  Pump();
  Popup->SetShadow(true);
  Popup->SetSysPanelStyle(true);
  Popup->SetSizeable(true);
  Editor->ContentSize = TSize{80, 150};
  Open();
  const TPoint top = Editor->ClientToScreen(TPoint{0, 0});
  EXPECT_EQ(1, Popup->ViewInfo()->SizeGripCorner);
  EXPECT_EQ(top.y - Popup->Height() + 3, Popup->Top());
  EXPECT_LT(Popup->ViewInfo()->SizeGripRect.bottom, 30) << "grip in the top panel";
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, GetWindowRgn(Popup->Handle(), region));
  const TPoint overEditor{10, Popup->Height() - 1};
  const TPoint shadowAside{Popup->Width() - 1, Popup->Height() - 1 - 5};
  EXPECT_FALSE(PtInRegion(region, overEditor.x, overEditor.y)) << "the bottom shadow over the editor is cut off";
  EXPECT_TRUE(PtInRegion(region, shadowAside.x, shadowAside.y)) << "the right shadow stays";
  DeleteObject(region);
}

TEST_F(EditPopupWindowTest, DraggingTheGripShowsTheOutlineAndSizesOnRelease) {
  OpenSizeable(true);
  const TRect before = Popup->BoundsRect();
  const TRect grip = Popup->ViewInfo()->SizeGripSizingRect;
  const POINT from = InPopup(grip.left + 3, grip.top + 3);
  TRect outlineDuring{}, outlineWindow{};
  bool outlineVisible = false;
  Display.Press(from);
  Display.MoveTo(POINT{from.x + 20, from.y + 15});
  Display.MoveTo(POINT{from.x + 40, from.y + 30});
  Display.Later([&] {
    outlineDuring = k58::editors::EditPopupOutlineRect();
    HWND wnd = k58::editors::EditPopupOutlineWindow();
    outlineVisible = wnd != nullptr && IsWindowVisible(wnd);
    if (wnd != nullptr) GetWindowRect(wnd, &outlineWindow);
  });
  Display.Release(POINT{from.x + 40, from.y + 30});
  Pump();
  const TRect expected{before.left, before.top, before.right + 40, before.bottom + 30};
  EXPECT_EQ(TRect(expected), TRect(outlineDuring));
  EXPECT_TRUE(outlineVisible);
  EXPECT_EQ(TRect(expected), TRect(outlineWindow)) << "no shadow: the whole rectangle";
  EXPECT_EQ(TRect(expected), TRect(Popup->BoundsRect()));
  EXPECT_TRUE(NoOutline());
  EXPECT_EQ(nullptr, k58::editors::EditPopupOutlineWindow());
  EXPECT_GT(Editor->ResizedCalls, 0);
  EXPECT_TRUE(Popup->IsShown());
}

TEST_F(EditPopupWindowTest, DraggingBeyondTheWorkAreaClipsToIt) {
  OpenSizeable(true);
  const TRect grip = Popup->ViewInfo()->SizeGripSizingRect;
  const POINT from = InPopup(grip.left + 3, grip.top + 3);
  const Integer screenBottom = GetSystemMetrics(SM_CYSCREEN);
  Display.Drag(from, POINT{from.x + 10, screenBottom + 300});
  Pump();
  const TRect area = k58::foundation::WorkAreaNear(TPoint{Popup->Left(), Popup->Top()});
  EXPECT_EQ(area.bottom, Popup->Top() + Popup->Height());
}

TEST_F(EditPopupWindowTest, DraggingTheEdgeFacingTheEditorDoesNothing) {
  OpenSizeable();
  const TRect before = Popup->BoundsRect();
  Display.Drag(InPopup(60, 1), InPopup(60, -40));
  Pump();
  EXPECT_EQ(TRect(before), TRect(Popup->BoundsRect()));
  EXPECT_EQ(0, Editor->ResizedCalls);
}

TEST_F(EditPopupWindowTest, LookupDataSnapsTheListHeightWithinTheRoomBelow) {
  TPopupTestLookupData* lookup = UseLookup();
  OpenSizeable();
  const Integer top = Popup->Top();
  Display.Drag(InPopup(60, Popup->Height() - 2), InPopup(60, Popup->Height() - 2 + 27));
  Pump();
  const Integer content = Popup->Height() - 8;
  EXPECT_EQ(0, content % 10) << "whole rows: " << content;
  EXPECT_EQ(110, content) << "92 + 27 snaps down to 110";
  const TRect area = k58::foundation::WorkAreaNear(TPoint{Popup->Left(), top});
  EXPECT_EQ(area.bottom - top - 8, lookup->LastMaxHeight);
}

TEST_F(EditPopupWindowTest, CloseButtonHotThenPressedClosesThroughTheEditor) {
  Popup->SetPopupBorderStyle(epbsSingle);
  Popup->SetSysPanelStyle(true);
  Popup->SetCloseButton(true);
  Open();
  const TRect button = Popup->ViewInfo()->CloseButtonRect;
  ASSERT_FALSE(IsRectEmpty(&button));
  Display.MoveTo(InPopup(button.left + 2, button.top + 2));
  Pump();
  EXPECT_EQ(2, Popup->ViewInfo()->CloseButtonState);
  bool allow = false;
  Popup->SetOnCloseQuery([&](TObject*, bool& CanClose) { CanClose = allow; });
  Display.Click(InPopup(button.left + 2, button.top + 2));
  Pump();
  EXPECT_TRUE(Popup->IsShown()) << "the close query refused";
  EXPECT_EQ(2, Popup->ViewInfo()->CloseButtonState);
  allow = true;
  Display.Click(InPopup(button.left + 2, button.top + 2));
  Pump();
  EXPECT_FALSE(Popup->IsShown());
  EXPECT_EQ(std::vector<TuiPopupCloseReason>{pcrClose}, Editor->Closes);
}

TEST_F(EditPopupWindowTest, CharactersTypedWhileOpeningReachTheFocusedWindow) {
  Editor->SetFocus();
  Open();
  PostMessage(Popup->Handle(), PopupForwardCharMessage, 0x100 | 'q', 0);
  Pump();
  EXPECT_EQ("q", Editor->Typed) << "low byte only";
  Popup->ClosePopup();
  PostMessage(Popup->Handle(), PopupForwardCharMessage, 'z', 0);
  Pump();
  EXPECT_EQ("q", Editor->Typed) << "a closed popup forwards nothing";
}

TEST_F(EditPopupWindowTest, ModalResultsCloseWithTheirReasons) {
  for (TModalResult result : {mrOk, mrCancel, mrAbort}) {
    Open();
    Popup->SetModalResult(result);
    Popup->CloseOnModalResult();
  }
  EXPECT_EQ((std::vector<TuiPopupCloseReason>{pcrAccept, pcrCancel, pcrClose}), Editor->Closes);
}

TEST_F(EditPopupWindowTest, ClosingOrFreeingWhileResizingErasesTheOutline) {
  for (bool freeIt : {false, true}) {
    OpenSizeable(true);
    const TRect grip = Popup->ViewInfo()->SizeGripSizingRect;
    const POINT from = InPopup(grip.left + 3, grip.top + 3);
    bool outlineShown = false;
    Display.Press(from);
    Display.MoveTo(POINT{from.x + 30, from.y + 30});
    Display.Later([&] {
      outlineShown = !NoOutline();
      if (freeIt) {
        FreeObject(Popup);
        Popup = nullptr;
      } else {
        Popup->ClosePopup();
      }
    });
    Display.Release(POINT{from.x + 30, from.y + 30});
    Pump();
    EXPECT_TRUE(outlineShown);
    EXPECT_TRUE(NoOutline()) << (freeIt ? "freed" : "closed");
    if (!freeIt) {
      EXPECT_FALSE(Popup->IsShown());
    }
  }
}

}  // namespace

namespace {

TEST_F(EditPopupWindowTest, PopupAboveTheEditorGrowsUpwardsByWholeRows) {
  Form->SetTop(GetSystemMetrics(SM_CYSCREEN) - 200);
  Pump();
  UseLookup();
  OpenSizeable(true);
  ASSERT_EQ(1, Popup->ViewInfo()->SizeGripCorner);
  const TRect before = Popup->BoundsRect();
  const TRect grip = Popup->ViewInfo()->SizeGripSizingRect;
  const POINT from = InPopup(grip.left + 3, grip.top + 3);
  Display.Drag(from, POINT{from.x, from.y - 25});
  Pump();
  EXPECT_EQ(before.bottom, Popup->BoundsRect().bottom) << "the edge at the editor stays";
  EXPECT_EQ(before.top - 20, Popup->Top()) << "two more whole rows: the room reaches the work area's top";
}

}  // namespace

namespace {

TEST_F(EditPopupWindowTest, ComboPopupWrapsItsListUnlessASizeWasGiven) {
  auto* combo = NewObject<TuiComboBoxPopupWindow>(Editor);
  combo->SetOwnerParent(Form);
  struct {
    bool AutoSize, Sizeable, Resized;
    Integer Width, Height;
    TSize Content;
    TSize Expected;
    const char* Why;
  } cases[] = {
      {true, false, false, 0, 0, {80, 50}, {120, 50}, "at least as wide as the editor"},
      {true, false, false, 0, 0, {200, 50}, {200, 50}, "wider list"},
      {true, false, false, 150, 70, {80, 50}, {120, 50}, "an auto-sized fixed popup ignores a stored size"},
      {false, false, false, 150, 70, {80, 50}, {150, 70}, "the size asked for"},
      {false, false, false, 0, 0, {80, 50}, {120, 50}, "width 0: the editor's"},
      {true, true, true, 90, 40, {80, 50}, {90, 40}, "the size the user gave"},
      {true, true, false, 90, 40, {80, 50}, {120, 40}, "sizeable, not resized: the stored height only"},
  };
  for (const auto& c : cases) {
    combo->SetAutoSize(c.AutoSize);
    combo->SetSizeable(c.Sizeable);
    combo->SetPopupWidth(c.Width);
    combo->SetPopupHeight(c.Height);
    Editor->ContentSize = c.Content;
    Editor->ResizedCalls = c.Resized ? 1 : 0;
    combo->FitToContent();
    EXPECT_EQ(c.Expected.cx, combo->Width()) << c.Why;
    EXPECT_EQ(c.Expected.cy, combo->Height()) << c.Why;
  }
  FreeObject(combo);
}

}  // namespace
