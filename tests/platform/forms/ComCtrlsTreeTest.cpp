// Tree views: the order of nodes as they are added, inserted, moved and sorted, the window following the
// nodes, deleting, selecting and expanding with their events, hit tests and custom drawing.
#include "StdCtlTesting.h"

#include "platform/forms/ComCtrls.h"

namespace forms_test {
namespace {

class TreeViewTest : public FormTest {
 protected:
  // The texts of the nodes in the tree's order.
  static std::string Order(TTreeNodes* Nodes) {
    std::string out;
    for (Integer i = 0; i < Nodes->Count(); ++i) {
      if (!out.empty()) out += " ";
      out += Nodes->Item(i)->Text();
    }
    return out;
  }
  // The texts of the window's items, depth first.
  static std::string WindowOrder(TTreeView* Tree) {
    std::string out;
    auto walk = [&](auto& self, HTREEITEM item) -> void {
      for (; item != nullptr;
           item = reinterpret_cast<HTREEITEM>(::SendMessage(Tree->Handle(), TVM_GETNEXTITEM, TVGN_NEXT,
                                                            reinterpret_cast<LPARAM>(item)))) {
        char text[64] = {};
        TVITEMA info;
        info.mask = TVIF_HANDLE | TVIF_TEXT;
        info.hItem = item;
        info.pszText = text;
        info.cchTextMax = sizeof text;
        ::SendMessage(Tree->Handle(), TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&info));
        if (!out.empty()) out += " ";
        out += text;
        self(self, reinterpret_cast<HTREEITEM>(::SendMessage(Tree->Handle(), TVM_GETNEXTITEM, TVGN_CHILD,
                                                             reinterpret_cast<LPARAM>(item))));
      }
    };
    walk(walk, reinterpret_cast<HTREEITEM>(::SendMessage(Tree->Handle(), TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    return out;
  }
};

TEST_F(TreeViewTest, NodesTakeTheirPlacesInTheTreesOrderWithAndWithoutAWindow) {
  TForm* form = NewForm();
  for (bool shownFirst : {false, true}) {
    SCOPED_TRACE(shownFirst ? "window first" : "nodes first");
    auto* tree = Make<TTreeView>(form, 10, 10, 200, 250);
    if (shownFirst) ShowForm(form);
    TTreeNodes* nodes = tree->Items();
    TTreeNode* a = nodes->Add(nullptr, "A");
    TTreeNode* c = nodes->Add(a, "C");
    nodes->Insert(c, "B");                  // before C
    nodes->AddFirst(c, "0");                // first top-level node
    TTreeNode* a2 = nodes->AddChild(a, "A2");
    nodes->AddChildFirst(a, "A1");          // before A2
    nodes->AddChild(a2, "A2x");
    nodes->AddChildObject(c, "C1", reinterpret_cast<void*>(7));
    EXPECT_EQ(Order(nodes), "0 A A1 A2 A2x B C C1");
    EXPECT_EQ(nodes->Count(), 8);
    EXPECT_EQ(a2->Parent(), a);
    EXPECT_EQ(a2->Index(), 1);
    EXPECT_EQ(a2->AbsoluteIndex(), 3);
    EXPECT_EQ(a2->Level(), 1);
    EXPECT_EQ(a2->GetFirstChild()->Level(), 2);
    EXPECT_EQ(a2->GetNext()->Text(), "A2x");
    EXPECT_EQ(a2->GetFirstChild()->GetNext()->Text(), "B");  // up and over
    EXPECT_EQ(c->GetPrev()->Text(), "B");
    EXPECT_EQ(nodes->Item(4)->GetPrev()->Text(), "A2");
    EXPECT_EQ(a->GetNextSibling()->Text(), "B");
    EXPECT_EQ(a->Count(), 2);
    EXPECT_EQ(c->Item(0)->Data(), reinterpret_cast<void*>(7));
    EXPECT_THROW(c->Item(1), ETreeViewError);
    EXPECT_THROW(nodes->Item(8), ETreeViewError);
    // Moves and sorting.
    nodes->Item(0)->MoveTo(a2, naAddChild);  // "0" under A2, after A2x
    EXPECT_EQ(Order(nodes), "A A1 A2 A2x 0 B C C1");
    a2->AlphaSort();
    EXPECT_EQ(Order(nodes), "A A1 A2 0 A2x B C C1");
    EXPECT_THROW(a->MoveTo(a2, naAddChild), ETreeViewError);  // into its own subtree
    if (!shownFirst) ShowForm(form);
    EXPECT_EQ(WindowOrder(tree), Order(nodes));
    EXPECT_EQ(::SendMessage(tree->Handle(), TVM_GETCOUNT, 0, 0), 8);
    FreeObject(tree);
  }
}

TEST_F(TreeViewTest, DeletingNodesFreesTheirChildrenAndKeepsTheWindowInStep) {
  TForm* form = NewForm();
  auto* tree = Make<TTreeView>(form, 10, 10, 200, 250);
  TTreeNodes* nodes = tree->Items();
  TTreeNode* root = nodes->Add(nullptr, "Root");
  TTreeNode* doomed = nodes->AddChild(root, "Doomed");
  nodes->AddChild(doomed, "Child 1");
  nodes->AddChild(doomed, "Child 2");
  nodes->AddChild(root, "Kept");
  std::vector<std::string> deleted;
  tree->SetOnDeletion(TTVExpandedEvent([&](TObject*, TTreeNode* Node) { deleted.push_back(Node->Text()); }));
  ShowForm(form);
  tree->SetSelected(doomed->GetFirstChild());
  doomed->Delete();
  EXPECT_EQ((std::vector<std::string>{"Child 2", "Child 1", "Doomed"}), deleted);
  EXPECT_EQ(Order(nodes), "Root Kept");
  EXPECT_EQ(WindowOrder(tree), "Root Kept");
  EXPECT_NE(tree->Selected(), nullptr);  // the window moved the selection to a node that is left
  EXPECT_EQ(tree->Selected()->TreeView(), tree);
  // A window made again shows the same nodes, the selection kept.
  TTreeNode* kept = root->GetLastChild();
  tree->SetSelected(kept);
  tree->RecreateWnd();
  Pump();
  EXPECT_EQ(WindowOrder(tree), "Root Kept");
  EXPECT_EQ(tree->Selected(), kept);
  nodes->Clear();
  EXPECT_EQ(nodes->Count(), 0);
  EXPECT_EQ(::SendMessage(tree->Handle(), TVM_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(tree->Selected(), nullptr);
}

TEST_F(TreeViewTest, SelectingAndExpandingAskTheirEventsWhichMayRefuse) {
  TForm* form = NewForm();
  auto* tree = Make<TTreeView>(form, 10, 10, 200, 250);
  TTreeNodes* nodes = tree->Items();
  TTreeNode* root = nodes->Add(nullptr, "Root");
  TTreeNode* first = nodes->AddChild(root, "First");
  TTreeNode* locked = nodes->AddChild(root, "Locked");
  nodes->AddChild(locked, "Inside");
  std::vector<std::string> log;
  tree->SetOnChanging(TTVChangingEvent([&](TObject*, TTreeNode* Node, bool& Allow) {
    log.push_back("changing:" + Node->Text());
    Allow = Node != locked;
  }));
  tree->SetOnChange(TTVChangedEvent([&](TObject*, TTreeNode* Node) { log.push_back("change:" + Node->Text()); }));
  tree->SetOnExpanding(TTVExpandingEvent([&](TObject*, TTreeNode* Node, bool& Allow) {
    log.push_back("expanding:" + Node->Text());
    Allow = Node != locked;
  }));
  tree->SetOnExpanded(TTVExpandedEvent([&](TObject*, TTreeNode* Node) { log.push_back("expanded:" + Node->Text()); }));
  tree->SetOnCollapsed(TTVExpandedEvent([&](TObject*, TTreeNode* Node) { log.push_back("collapsed:" + Node->Text()); }));
  ShowForm(form);
  root->SetExpanded(true);
  EXPECT_EQ((std::vector<std::string>{"expanding:Root", "expanded:Root"}), log);
  log.clear();
  locked->Expand(false);
  EXPECT_FALSE(locked->Expanded());
  EXPECT_EQ((std::vector<std::string>{"expanding:Locked"}), log);
  log.clear();
  first->SetSelected(true);
  locked->SetSelected(true);  // refused
  EXPECT_EQ((std::vector<std::string>{"changing:First", "change:First", "changing:Locked"}), log);
  EXPECT_EQ(tree->Selected(), first);
  // The mouse: a click on the root's button collapses it; Right expands it again.
  log.clear();
  TRect row = root->DisplayRect(false), label = root->DisplayRect(true);
  THitTests onButton = tree->GetHitTestInfoAt(label.left - tree->Indent() / 2 - 2, (row.top + row.bottom) / 2);
  EXPECT_TRUE(onButton.Contains(htOnButton));
  Click(tree, label.left - tree->Indent() / 2 - 2, (row.top + row.bottom) / 2);
  EXPECT_FALSE(root->Expanded());
  EXPECT_EQ(log.back(), "collapsed:Root");
  EXPECT_FALSE(first->IsVisible());
}

TEST_F(TreeViewTest, HitTestsTellWhereAPointIsAndFindTheNodeOfItsRow) {
  TForm* form = NewForm();
  auto* tree = Make<TTreeView>(form, 10, 10, 200, 150);
  TTreeNodes* nodes = tree->Items();
  TTreeNode* root = nodes->Add(nullptr, "Root");
  TTreeNode* child = nodes->AddChild(root, "Child");
  root->Expand(false);
  ShowForm(form);
  TRect label = child->DisplayRect(true);
  TRect row = child->DisplayRect(false);
  ASSERT_LT(label.left, label.right);
  Integer y = (row.top + row.bottom) / 2;
  struct Case {
    const char* Where;
    Integer X, Y;
    THitTest Expected;
    TTreeNode* Node;
  } cases[] = {
      {"label", (label.left + label.right) / 2, y, htOnLabel, child},
      {"right of the label", label.right + 20, y, htOnRight, child},
      {"indent", 2, y, htOnIndent, child},
      {"below the last row", 10, row.bottom + 40, htNowhere, nullptr},
      {"above the window", 10, -5, htAbove, nullptr},
      {"right of the window", tree->ClientWidth() + 5, y, htToRight, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Where);
    EXPECT_TRUE(tree->GetHitTestInfoAt(c.X, c.Y).Contains(c.Expected));
    EXPECT_EQ(tree->GetNodeAt(c.X, c.Y), c.Node);
  }
  EXPECT_TRUE(tree->GetHitTestInfoAt((label.left + label.right) / 2, y).Contains(htOnItem));
}

TEST_F(TreeViewTest, CustomDrawingSeesEachVisibleNodeAndMayTakeOverItsDrawing) {
  TForm* form = NewForm();
  auto* tree = Make<TTreeView>(form, 10, 10, 200, 150);
  TTreeNodes* nodes = tree->Items();
  TTreeNode* root = nodes->Add(nullptr, "Root");
  TTreeNode* mine = nodes->AddChild(root, "Mine");
  nodes->AddChild(root, "Plain");
  root->Expand(false);
  std::vector<std::string> drawn;
  TCustomDrawState rootState;
  tree->SetOnCustomDrawItem(TTVCustomDrawItemEvent(
      [&](TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw) {
        drawn.push_back(Node->Text());
        if (Node == root) rootState = State;
        if (Node == mine) {
          Sender->Canvas()->Brush()->SetColor(clLime);
          Sender->Canvas()->FillRect(Node->DisplayRect(false));
          DefaultDraw = false;
        }
      }));
  tree->SetHideSelection(false);
  ShowForm(form);
  tree->SetSelected(root);
  drawn.clear();
  tree->Repaint();
  Pump();
  EXPECT_EQ((std::vector<std::string>{"Root", "Mine", "Plain"}), drawn);
  EXPECT_TRUE(rootState.Contains(cdsSelected));
  TRect r = mine->DisplayRect(true);
  EXPECT_EQ(Pixel(tree, (r.left + r.right) / 2, (r.top + r.bottom) / 2), clLime);
}

}  // namespace
}  // namespace forms_test
