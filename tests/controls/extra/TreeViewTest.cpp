// The tree view container: the inner tree and its forwarded settings, key routing, the right-click lock,
// hit testing, the container's scroll bars after each change, docking drags, copying nodes, and the
// multiple selection the container forwards.
#include <gtest/gtest.h>

#include <functional>

#include "controls/extra/uiTreeView.h"
#include "platform/classes/Filer.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/win/testing/TestDisplay.h"
#include "platform/win/ui/UiInternal.h"
#include "tests/platform/theme/RecordingThemeProvider.h"

namespace {

class TreeViewTest : public ::testing::Test {
 protected:
  k58::winui::TestDisplay Display;
  TForm* Form = nullptr;
  TuiTreeView* Tree = nullptr;

  TreeViewTest() {
    k58::foundation::StartUnits();
    Form = NewObject<TForm>(nullptr, 0);
    Form->SetBounds(40, 40, 400, 300);
    Form->Show();
    Tree = NewObject<TuiTreeView>(Form);
    Tree->SetBounds(10, 10, 150, 120);
    Tree->SetParent(Form);
    Tree->HandleNeeded();
    Display.Pump();
  }
  ~TreeViewTest() override {
    FreeObject(Form);
    k58::winui::ResetWindowSystemState();
    k58::foundation::StopUnits();
  }
  TuiCustomInnerTreeView* Inner() { return Tree->GetInnerTreeView(); }
  std::vector<TTreeNode*> AddNodes(int ACount) {
    std::vector<TTreeNode*> nodes;
    for (int i = 0; i < ACount; ++i) nodes.push_back(Tree->Items()->Add(nullptr, "Node " + std::to_string(i)));
    Display.Pump();
    return nodes;
  }
  POINT ScreenOfInner(Integer X, Integer Y) {
    const TPoint p = Inner()->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
  }
  Integer RowHeight() {
    const TRect r = Tree->Items()->Item(0)->DisplayRect(false);
    return r.bottom - r.top;
  }
};

TEST_F(TreeViewTest, NewTreeHasTheContainersBorderOnly) {
  TuiTreeView* tree = NewObject<TuiTreeView>(Form);
  EXPECT_EQ(tree->Width(), 120);
  EXPECT_EQ(tree->Height(), 100);
  EXPECT_EQ(tree->GetInnerTreeView()->BorderStyle(), bsNone);
  EXPECT_EQ(tree->GetInnerTreeView()->Align(), alClient);
  EXPECT_EQ(tree->GetInnerTreeView()->Parent(), tree);
  EXPECT_EQ(tree->GetInnerTreeView()->GetControlContainer(), tree);
  EXPECT_EQ(tree->InnerControl(), tree->GetInnerTreeView());
}

TEST_F(TreeViewTest, SettingsGoToTheInnerTree) {
  TImageList images(Form);
  struct Case {
    const char* Name;
    std::function<void()> Set;
    std::function<bool()> ReadOnInner;
  } cases[] = {
      {"AutoExpand", [&] { Tree->SetAutoExpand(true); }, [&] { return Inner()->AutoExpand(); }},
      {"ChangeDelay", [&] { Tree->SetChangeDelay(50); }, [&] { return Inner()->ChangeDelay() == 50; }},
      {"HideSelection", [&] { Tree->SetHideSelection(false); }, [&] { return !Inner()->HideSelection(); }},
      {"HotTrack", [&] { Tree->SetHotTrack(true); }, [&] { return Inner()->HotTrack(); }},
      {"Images", [&] { Tree->SetImages(&images); }, [&] { return Inner()->Images() == &images; }},
      {"Indent", [&] { Tree->SetIndent(25); }, [&] { return Inner()->Indent() == 25; }},
      {"MultiSelect", [&] { Tree->SetMultiSelect(true); }, [&] { return Inner()->MultiSelect(); }},
      {"MultiSelectStyle", [&] { Tree->SetMultiSelectStyle(TMultiSelectStyle{msShiftSelect}); },
       [&] { return Inner()->MultiSelectStyle() == TMultiSelectStyle{msShiftSelect}; }},
      {"ReadOnly", [&] { Tree->SetReadOnly(true); }, [&] { return Inner()->ReadOnly(); }},
      {"RightClickSelect", [&] { Tree->SetRightClickSelect(true); }, [&] { return Inner()->RightClickSelect(); }},
      {"RowSelect", [&] { Tree->SetRowSelect(true); }, [&] { return Inner()->RowSelect(); }},
      {"ShowButtons", [&] { Tree->SetShowButtons(false); }, [&] { return !Inner()->ShowButtons(); }},
      {"ShowLines", [&] { Tree->SetShowLines(false); }, [&] { return !Inner()->ShowLines(); }},
      {"ShowRoot", [&] { Tree->SetShowRoot(false); }, [&] { return !Inner()->ShowRoot(); }},
      {"SortType", [&] { Tree->SetSortType(stText); }, [&] { return Inner()->SortType() == stText; }},
      {"StateImages", [&] { Tree->SetStateImages(&images); }, [&] { return Inner()->StateImages() == &images; }},
      {"ToolTips", [&] { Tree->SetToolTips(false); }, [&] { return !Inner()->ToolTips(); }},
      {"OnEditing", [&] { Tree->SetOnEditing([](TObject*, TTreeNode*, bool&) {}); },
       [&] { return Inner()->OnEditing().Assigned(); }},
      {"OnCustomDraw", [&] { Tree->SetOnCustomDraw([](TCustomTreeView*, const TRect&, bool&) {}); },
       [&] { return Inner()->OnCustomDraw().Assigned(); }},
      {"OnGetImageIndex", [&] { Tree->SetOnGetImageIndex([](TObject*, TTreeNode*) {}); },
       [&] { return Inner()->OnGetImageIndex().Assigned(); }},
  };
  for (const Case& c : cases) {
    c.Set();
    EXPECT_TRUE(c.ReadOnInner()) << c.Name;
  }
  Tree->SetImages(nullptr);
  Tree->SetStateImages(nullptr);
}

TEST_F(TreeViewTest, EventsFireWithTheInnerTreeAsSender) {
  TObject* sender = nullptr;
  Tree->SetOnAddition([&](TObject* Sender, TTreeNode*) { sender = Sender; });
  Tree->Items()->Add(nullptr, "x");
  EXPECT_EQ(sender, Inner());
}

TEST_F(TreeViewTest, TabNeverReachesTheTreeAndEnterStopsAtTheContainer) {
  std::string container, tree;
  Tree->SetOnKeyPress([&](TObject*, char& Key) { container += Key == '\r' ? 'E' : Key == '\t' ? 'T' : Key; });
  Inner()->SetOnKeyPress([&](TObject*, char& Key) { tree += Key == '\r' ? 'E' : Key == '\t' ? 'T' : Key; });
  for (WPARAM c : {WPARAM('\t'), WPARAM('\r'), WPARAM('a')}) SendMessage(Inner()->Handle(), WM_CHAR, c, 0);
  EXPECT_EQ(container, "Ea");
  EXPECT_EQ(tree, "a");
  EXPECT_NE(SendMessage(Inner()->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_WANTTAB, 0);
}

TEST_F(TreeViewTest, RightClickInTheTreeOpensNoContainerMenu) {
  AddNodes(3);
  int popups = 0;
  Tree->SetOnContextPopup([&](TObject*, TPoint, bool& Handled) {
    ++popups;
    Handled = true;
  });
  Integer lockSeen = -1;
  Inner()->SetOnMouseUp([&](TObject*, TMouseButton, TShiftState, Integer, Integer) {
    lockSeen = Tree->ContextPopupLockCount();
  });
  Display.Click(ScreenOfInner(20, 5), k58::winui::MouseButton::Right);
  Display.Pump();
  EXPECT_EQ(lockSeen, 1);
  EXPECT_EQ(Tree->ContextPopupLockCount(), 0);
  EXPECT_EQ(popups, 0);
}

TEST_F(TreeViewTest, NodeAtPosition) {
  const std::vector<TTreeNode*> nodes = AddNodes(3);
  const Integer row = RowHeight();
  EXPECT_EQ(Tree->GetNodeAtPos(20, row / 2), nodes[0]);
  EXPECT_EQ(Tree->GetNodeAtPos(20, row + row / 2), nodes[1]);
  EXPECT_EQ(Tree->GetNodeAtPos(20, 3 * row + 2), nullptr);
  Tree->SetSelectedNode(nodes[2]);
  EXPECT_EQ(Tree->GetSelectedNode(), nodes[2]);
}

TEST_F(TreeViewTest, ScrollBarsFollowTheTree) {
  TTreeNode* parent = Tree->Items()->Add(nullptr, "Parent");
  for (int i = 0; i < 20; ++i) Tree->Items()->AddChild(parent, "Child " + std::to_string(i));
  Display.Pump();
  EXPECT_FALSE(Tree->IsVScrollBarVisible());
  parent->Expand(false);  // expanding
  Display.Pump();
  EXPECT_TRUE(Tree->IsVScrollBarVisible());

  Integer pos = 0;
  Tree->ScrollContent(sbVertical, scLineDown, pos);
  Display.Pump();
  EXPECT_GT(pos, 0);
  EXPECT_EQ(pos, GetScrollPos(Inner()->Handle(), SB_VERT));
  EXPECT_EQ(Tree->VScrollBar()->Position(), pos);

  parent->Collapse(false);  // collapsing
  Display.Pump();
  EXPECT_FALSE(Tree->IsVScrollBarVisible());
  parent->Expand(false);
  Display.Pump();
  while (parent->Count() > 2) parent->Item(0)->Delete();  // deleting
  Display.Pump();
  EXPECT_FALSE(Tree->IsVScrollBarVisible());
  for (int i = 0; i < 20; ++i) Tree->Items()->Add(nullptr, "More " + std::to_string(i));  // inserting
  Display.Pump();
  EXPECT_TRUE(Tree->IsVScrollBarVisible());
  Tree->Items()->Clear();
  Tree->Items()->Add(nullptr, "One");
  Display.Pump();
  Tree->Font()->SetSize(30);  // a larger font: more rows than fit
  for (int i = 0; i < 4; ++i) Tree->Items()->Add(nullptr, "Big " + std::to_string(i));
  Display.Pump();
  EXPECT_TRUE(Tree->IsVScrollBarVisible());
}

TEST_F(TreeViewTest, DockDragMovesTheWholeControl) {
  AddNodes(2);
  Tree->SetDragKind(dkDock);
  Tree->SetDragMode(dmAutomatic);
  Display.Press(ScreenOfInner(20, 5));
  Display.Pump();
  ASSERT_NE(DragObject(), nullptr);
  EXPECT_TRUE(Tree->Dragging());
  EXPECT_FALSE(Inner()->Dragging());
  Display.Release(ScreenOfInner(20, 5));
  Display.Pump();
}

TEST_F(TreeViewTest, SettingItemsCopiesTheNodes) {
  TTreeView* source = NewObject<TTreeView>(Form);
  source->SetParent(Form);
  TTreeNode* a = source->Items()->Add(nullptr, "A");
  source->Items()->AddChild(a, "A1");
  source->Items()->Add(nullptr, "B");
  Tree->SetItems(source->Items());
  ASSERT_EQ(Tree->Items()->Count(), 3);
  EXPECT_EQ(Tree->Items()->Item(0)->Text(), "A");
  EXPECT_EQ(Tree->Items()->Item(1)->Text(), "A1");
  EXPECT_NE(Tree->Items()->Item(0), a);
  Tree->ExpandAll();
  EXPECT_TRUE(Tree->Items()->Item(0)->Expanded());
}

TEST_F(TreeViewTest, MultipleSelection) {
  const std::vector<TTreeNode*> n = AddNodes(5);
  Tree->SetMultiSelect(true);
  Tree->SetMultiSelectStyle(TMultiSelectStyle{msControlSelect, msShiftSelect});
  Tree->SelectNode(n[1]);
  Tree->SelectNode(n[3], TShiftState{ssCtrl});
  EXPECT_EQ(Inner()->SelectionCount(), 2);
  EXPECT_EQ(Tree->FindNextNodeToSelect(), n[3]);
  Tree->DeselectNode(n[1]);  // the next one becomes primary
  EXPECT_EQ(Tree->GetSelectedNode(), n[3]);
  Tree->SelectNode(n[0], TShiftState{ssShift});  // the run from the primary node
  EXPECT_EQ(Inner()->SelectionCount(), 4);
  Tree->SubselectNode(n[4]);
  EXPECT_EQ(Inner()->SelectionCount(), 5);
  TTreeNode* const some[] = {n[2], n[4]};
  Tree->SelectNodeArray(some, 1);
  EXPECT_EQ(Inner()->SelectionCount(), 2);
  EXPECT_EQ(Tree->GetSelectedNode(), n[2]);
  Tree->ClearNodeSelection(true);
  EXPECT_EQ(Inner()->SelectionCount(), 1);
  n[2]->Delete();
  EXPECT_EQ(Inner()->SelectionCount(), 0);
  // Without multiple selection only one node is selected.
  Tree->SetMultiSelect(false);
  Tree->SelectNode(n[0]);
  Tree->SelectNode(n[1], TShiftState{ssCtrl});
  EXPECT_EQ(Inner()->SelectionCount(), 1);
}

TEST_F(TreeViewTest, SortTypeTextSortsTheNodes) {
  for (const char* text : {"pear", "apple", "fig"}) Tree->Items()->Add(nullptr, text);
  Tree->SetSortType(stText);
  EXPECT_EQ(Tree->Items()->Item(0)->Text(), "apple");
  EXPECT_EQ(Tree->Items()->Item(2)->Text(), "pear");
}

TEST_F(TreeViewTest, HotTrackAndToolTipsAreWindowStyles) {
  Tree->SetHotTrack(true);
  Tree->SetToolTips(false);
  const LONG_PTR style = GetWindowLongPtr(Inner()->Handle(), GWL_STYLE);
  EXPECT_NE(style & TVS_TRACKSELECT, 0);
  EXPECT_NE(style & TVS_NOTOOLTIPS, 0);
}

}  // namespace

namespace {

// A move or resize of the inner tree repaints the square between the container's two scroll bars with
// the button face at once, over whatever had been drawn there.
TEST_F(TreeViewTest, WindowChangeRepaintsTheSquareBetweenTheScrollBars) {
  for (int i = 0; i < 30; ++i) Tree->Items()->Add(nullptr, "A node with a name wider than the tree " + std::to_string(i));
  Display.Pump();
  ASSERT_TRUE(Tree->IsVScrollBarVisible());
  ASSERT_TRUE(Tree->IsHScrollBarVisible());
  Tree->SizeGrip()->SetVisible(false);  // the container's own grip would hide the inner window's corner
  Display.Pump();
  const TRect grip = GetInnerControlSizeGripRect(Inner());
  ASSERT_FALSE(IsRectEmpty(&grip));
  RECT window{};
  GetWindowRect(Inner()->Handle(), &window);
  const POINT centre{window.left + (grip.left + grip.right) / 2, window.top + (grip.top + grip.bottom) / 2};

  HDC dc = GetWindowDC(Inner()->Handle());
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &grip, red);
  DeleteObject(red);
  ReleaseDC(Inner()->Handle(), dc);
  ASSERT_EQ(Display.ScreenPixel(centre), RGB(255, 0, 0));
  SetWindowPos(Inner()->Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_FRAMECHANGED);
  EXPECT_EQ(Display.ScreenPixel(centre), GetSysColor(COLOR_BTNFACE));
}

// With the native style the tree's frame is the visual style's edit frame in the combo box's border
// colour, and its scroll bars are the visual style's too.
TEST_F(TreeViewTest, NativeStyleDrawsTheThemedFrameAndScrollBars) {
  k58test::RecordingThemeProvider provider({"Edit", "ComboBox", "ScrollBar"});
  k58test::ScopedThemeProvider scope(provider);
  provider.Margins[{"EDIT", 1}] = RECT{1, 1, 1, 1};
  provider.Colors[{"COMBOBOX", 1, 1, 3801}] = RGB(4, 5, 6);
  for (int i = 0; i < 30; ++i) Tree->Items()->Add(nullptr, "A node with a name wider than the tree " + std::to_string(i));
  for (TuiContainerStyle* style : {Tree->Style(), Tree->StyleFocused(), Tree->StyleHot(), Tree->StyleDisabled()})
    style->LookAndFeel()->SetNativeStyle(true);
  Display.Pump();
  ASSERT_TRUE(Tree->IsVScrollBarVisible());
  provider.ClearCalls();
  Tree->Repaint();
  Tree->VScrollBar()->Repaint();
  Display.Pump();
  EXPECT_EQ(Display.ClientPixel(Tree->Handle(), POINT{0, 0}), RGB(4, 5, 6));
  EXPECT_EQ(Display.ClientPixel(Tree->Handle(), POINT{Tree->Width() - 1, Tree->Height() - 1}), RGB(4, 5, 6));
  EXPECT_FALSE(provider.CallsOf("Background", "ScrollBar").empty());
}

}  // namespace

namespace {

// A form places the tree and hooks its mouse like any other control's; the look and feel is the
// container style's.
TEST_F(TreeViewTest, AFormPlacesTheTreeAndHandlesItsDoubleClick) {
  const String text =
      "object F: TForm\n"
      "  object Parts: TuiTreeView\n"
      "    Left = 5\n"
      "    Top = 22\n"
      "    Width = 190\n"
      "    Height = 200\n"
      "    Align = alLeft\n"
      "    HideSelection = False\n"
      "    ReadOnly = True\n"
      "    Style.LookAndFeel.NativeStyle = True\n"
        "    Visible = True\n"
      "  end\n"
      "end\n";
  TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, form.get(), "form");
  auto* read = dynamic_cast<TuiTreeView*>(form->FindComponent("Parts"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Align(), alLeft);
  EXPECT_EQ(read->Width(), 190);
  EXPECT_TRUE(read->ReadOnly());
  EXPECT_FALSE(read->GetInnerTreeView()->HideSelection());
  EXPECT_TRUE(read->Style()->LookAndFeel()->NativeStyle());
  const String again = WriteComponentToText(form.get());
  for (const char* line : {"Align = alLeft", "ReadOnly = True", "HideSelection = False"})
    EXPECT_NE(again.find(line), String::npos) << line << "\n" << again;

  // The double click of the inner tree reaches the handler set on the tree.
  int clicks = 0;
  Tree->SetOnDblClick([&](TObject* Sender) {
    EXPECT_EQ(Sender, Tree);
    ++clicks;
  });
  AddNodes(2);
  Display.DoubleClick(ScreenOfInner(20, RowHeight() / 2));
  Display.Pump();
  EXPECT_EQ(clicks, 1);
}

}  // namespace
