// The main window's tree of the radio's parts: its nodes and their commands, the double click that runs
// them, the selection that follows the current channel, the texts after a language switch, scrolling,
// and the button that hides it.
#include <gtest/gtest.h>

#include "app/AllClass.h"
#include "app/BFunSet.h"
#include "app/BInfoEdit.h"
#include "app/ChInfo.h"
#include "app/InfoMsg.h"
#include "app/MainFrm.h"
#include "app/SetLanguage.h"
#include "controls/editors/uiButtons.h"
#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiSpinEdit.h"
#include "controls/extra/uiTreeView.h"
#include "platform/classes/IniFiles.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Numbers.h"
#include "platform/win/Windows.h"
#include "tests/app/ProgramFixture.h"

namespace {

class MainTree : public app_test::ProgramTest {
protected:
  TuiTreeView* Tree() const { return fMainFrm->uiQD5174; }
  TTreeNode* Root() const { return Tree()->Items()->Item(0); }
  // The screen point in the middle of a node's text.
  POINT NodePoint(TTreeNode* Node) const {
    const TRect R = Node->DisplayRect(true);
    const TPoint P = Tree()->GetInnerTreeView()->ClientToScreen(TPoint{(R.left + R.right) / 2, (R.top + R.bottom) / 2});
    return POINT{P.x, P.y};
  }
  // Node texts from the root down, in tree order.
  std::vector<String> Texts() const {
    std::vector<String> Result;
    for (Integer I = 0; I < Tree()->Items()->Count(); ++I) Result.push_back(Tree()->Items()->Item(I)->Text());
    return Result;
  }
  static std::vector<String> ExpectedTexts(const String& Caption, const String& Info, const String& Channels,
                                           const String& Number, const String& Function) {
    std::vector<String> Result{Caption, Info, Channels};
    for (Integer Channel = 1; Channel <= 16; ++Channel) Result.push_back(Number + " " + IntToStr(Channel));
    Result.push_back(Function);
    return Result;
  }
};

TEST_F(MainTree, StartsExpandedWithItsCommandsAndTheRootSelected) {
  StartProgram();
  EXPECT_TRUE(Tree()->ReadOnly());
  EXPECT_TRUE(Tree()->Style()->LookAndFeel()->NativeStyle());
  EXPECT_TRUE(fMainFrm->TreeHide->LookAndFeel()->NativeStyle());
  EXPECT_EQ(Texts(), ExpectedTexts("K58 V1.2", "Radio Information", "Channel Information", "No. -", "Function"));
  ASSERT_EQ(Root()->Count(), 3);
  EXPECT_EQ(Root()->StateIndex(), -1);
  EXPECT_EQ(Root()->Item(0)->StateIndex(), cmRadioInfo);
  EXPECT_EQ(Root()->Item(1)->StateIndex(), cmChannelInfo);
  EXPECT_EQ(Root()->Item(2)->StateIndex(), cmFunctionSetting);
  for (Integer Channel = 1; Channel <= 16; ++Channel) {
    EXPECT_EQ(Root()->Item(1)->Item(Channel - 1), fMainFrm->ChannelNode(Channel));
    EXPECT_EQ(fMainFrm->ChannelNode(Channel)->StateIndex(), cmChannelEdit) << Channel;
  }
  EXPECT_EQ(fMainFrm->ChannelNode(0), nullptr);
  EXPECT_EQ(fMainFrm->ChannelNode(17), nullptr);
  // Expanded: every channel node is shown.
  EXPECT_TRUE(Root()->Expanded());
  EXPECT_TRUE(Root()->Item(1)->Expanded());
  EXPECT_TRUE(fMainFrm->ChannelNode(16)->IsVisible());
  EXPECT_EQ(Tree()->GetSelectedNode(), Root());
}

// A double click on a node runs its command; on a channel it first makes that channel the current one.
TEST_F(MainTree, DoubleClickRunsTheCommandOfTheNodeUnderTheMouse) {
  StartProgram();
  struct Case {
    const char* Node;
    std::function<TTreeNode*()> Find;
    std::function<bool()> Opened;
  } Cases[] = {
      {"Radio Information", [&] { return Root()->Item(0); }, [&] { return fInfoMsg != nullptr; }},
      {"Function", [&] { return Root()->Item(2); }, [&] { return fBFunSet != nullptr; }},
      {"No. - 5", [&] { return fMainFrm->ChannelNode(5); },
       [&] { return fBInfoEdit != nullptr && ALL->CurrentChannel == 5 && fBInfoEdit->sexd->Text() == "5"; }},
      {"No. - 12", [&] { return fMainFrm->ChannelNode(12); },
       [&] { return fBInfoEdit != nullptr && ALL->CurrentChannel == 12 && fBInfoEdit->sexd->Text() == "12"; }},
      {"Channel Information", [&] { return Root()->Item(1); },
       [&] { return fChInfo != nullptr && fMainFrm->ActiveMDIChild() == fChInfo; }},
  };
  for (const Case& C : Cases) {
    fMainFrm->CloseChildren();
    Pump();
    fMainFrm->ShowChannelInfo();
    Pump();
    TTreeNode* Node = C.Find();
    Display->DoubleClick(NodePoint(Node));
    Pump();
    EXPECT_EQ(Tree()->GetSelectedNode(), Node) << C.Node;
    EXPECT_TRUE(C.Opened()) << C.Node;
  }
  // Below the last node nothing is hit and nothing runs.
  fMainFrm->CloseChildren();
  Pump();
  const TRect Last = fMainFrm->ChannelNode(16)->DisplayRect(false);
  const TRect Function = Root()->Item(2)->DisplayRect(true);
  const TPoint Below =
      Tree()->GetInnerTreeView()->ClientToScreen(TPoint{Function.left + 4, Function.bottom + (Last.bottom - Last.top) * 2});
  ASSERT_EQ(Tree()->GetNodeAtPos(Function.left + 4, Function.bottom + (Last.bottom - Last.top) * 2), nullptr);
  Display->DoubleClick(POINT{Below.x, Below.y});
  Pump();
  EXPECT_EQ(fMainFrm->MDIChildCount(), 0);
  // The root runs nothing (its double click only folds the tree, as in any tree).
  Display->DoubleClick(NodePoint(Root()));
  Pump();
  EXPECT_EQ(Tree()->GetSelectedNode(), Root());
  EXPECT_EQ(fMainFrm->MDIChildCount(), 0);
}

TEST_F(MainTree, TheSelectionFollowsTheCurrentChannel) {
  StartProgram();
  for (Integer Channel : {3, 16, 1}) {
    ALL->CurrentChannel = Channel;
    fMainFrm->SelectChannel(TViewRefresh::ChannelRow);
    EXPECT_EQ(Tree()->GetSelectedNode(), fMainFrm->ChannelNode(Channel)) << Channel;
  }
  // A channel outside the tree leaves the selection where it was.
  ALL->CurrentChannel = 40;
  fMainFrm->SelectChannel(TViewRefresh::ChannelRow);
  EXPECT_EQ(Tree()->GetSelectedNode(), fMainFrm->ChannelNode(1));
}

// In a low window the tree scrolls: its own scroll bar appears, and a channel selected from elsewhere is
// scrolled into view.
TEST_F(MainTree, ALowTreeScrollsToTheSelectedChannel) {
  StartProgram();
  fMainFrm->SetWindowState(wsNormal);
  fMainFrm->SetBounds(0, 0, 600, 260);
  Pump();
  ASSERT_LT(Tree()->Height(), 20 * (Root()->DisplayRect(false).bottom - Root()->DisplayRect(false).top));
  EXPECT_TRUE(Tree()->IsVScrollBarVisible());
  ALL->CurrentChannel = 16;
  fMainFrm->SelectChannel(TViewRefresh::ChannelRow);
  Pump();
  const TRect R = fMainFrm->ChannelNode(16)->DisplayRect(false);
  EXPECT_GE(R.top, 0);
  EXPECT_LE(R.bottom, Tree()->GetInnerTreeView()->ClientHeight());
  EXPECT_GT(Tree()->VScrollBar()->Position(), 0) << "the container's bar follows the tree";
}

TEST_F(MainTree, ALanguageSwitchRetextsTheNodes) {
  StartProgram(app_test::ReadFile(app_test::ResourceFile("SysInfo.Ini")));
  Modal->Then([](TCustomForm* Form) {
    static_cast<TfSetLanguage*>(Form)->cbLanguage->SetItemIndex(1);
    app_test::ClickButton(Form, "btnOk");
  });
  fMainFrm->DoCommand(cmLanguage);
  Pump();
  ASSERT_EQ(ALL->LanguageName, "Chinese");
  TIniFile Ini(app_test::ResourceFile("Chinese.Ini"));
  auto Caption = [&](const char* Label) { return Ini.ReadString("fMainFrm", String(Label) + ".Caption", "?"); };
  EXPECT_EQ(Texts(), ExpectedTexts("K58 V1.2", Caption("Label1"), Caption("Label3"), Caption("Label5"), Caption("Label6")));
  // The nodes keep their commands: a double click on a channel still opens it.
  Display->DoubleClick(NodePoint(fMainFrm->ChannelNode(9)));
  Pump();
  ASSERT_NE(fBInfoEdit, nullptr);
  EXPECT_EQ(ALL->CurrentChannel, 9);
}

// The hide button and View > Tree View take the tree panel away and bring it back.
TEST_F(MainTree, TheHideButtonHidesTheTreePanel) {
  StartProgram();
  ASSERT_TRUE(fMainFrm->pTree->Visible());
  ASSERT_TRUE(fMainFrm->mnTreeView->Checked());
  const TPoint P = fMainFrm->TreeHide->ClientToScreen(
      TPoint{fMainFrm->TreeHide->Width() / 2, fMainFrm->TreeHide->Height() / 2});
  Display->Click(POINT{P.x, P.y});
  Pump();
  EXPECT_FALSE(fMainFrm->pTree->Visible());
  EXPECT_FALSE(fMainFrm->mnTreeView->Checked());
  fMainFrm->mnTreeView->Click();
  Pump();
  EXPECT_TRUE(fMainFrm->pTree->Visible());
  EXPECT_TRUE(fMainFrm->mnTreeView->Checked());
}

}  // namespace
