// Dragging controls over others and dropping them: what the targets hear (DragOver with its states,
// DragDrop), what the source hears (OnStartDrag, OnEndDrag with the target or nil), the threshold of a
// pending drag, cancelling, and the cursor showing whether the target accepts.
#include <gtest/gtest.h>

#include <functional>

#include "FormsTestControls.h"
#include "FormsTesting.h"
#include "platform/win/Windows.h"

namespace forms_test {

namespace {

using forms_test::FormsTest;

class DragDropTest : public FormsTest {
 protected:
  DragDropTest() {
    form = forms_test::NewForm();
    form->SetBounds(100, 100, 400, 300);
    source = Add("Source", 10, 10);
    target = Add("Target", 200, 10);
    refusing = Add("Refusing", 200, 100);
    for (TTestEdit* edit : {target, refusing}) {
      edit->SetOnDragOver(TDragOverEvent([this](TObject* Sender, TObject* Source, Integer X, Integer Y,
                                                TDragState State, bool& Accept) {
        static const char* const states[] = {"enter", "leave", "move"};
        log.push_back(Name(Sender) + " over " + states[State] + " from " + Name(Source));
        lastOver = TPoint{X, Y};
        Accept = Sender == target;
      }));
      edit->SetOnDragDrop(TDragDropEvent([this](TObject* Sender, TObject* Source, Integer X, Integer Y) {
        log.push_back(Name(Sender) + " drop from " + Name(Source) + " at " + std::to_string(X) + "," +
                      std::to_string(Y));
      }));
    }
    source->SetOnEndDrag(TEndDragEvent([this](TObject*, TObject* Target, Integer, Integer) {
      log.push_back("end on " + (Target != nullptr ? Name(Target) : String("nothing")));
    }));
    form->Show();
    Pump();
  }

  TTestEdit* Add(const char* Name, int X, int Y) {
    auto* edit = new TTestEdit(form);
    edit->SetName(Name);
    edit->SetParent(form);
    edit->SetBounds(X, Y, 80, 40);
    return edit;
  }
  static String Name(TObject* Object) { return static_cast<TComponent*>(Object)->Name(); }

  // The moves of a drag that leaves the source and reaches the point over the control.
  void DragTo(TControl* Control, int X, int Y) {
    display.MoveTo(At(Control, X, Y));
    Pump();
  }

  TForm* form;
  TTestEdit* source;
  TTestEdit* target;
  TTestEdit* refusing;
  std::vector<String> log;
  TPoint lastOver{};
};

TEST_F(DragDropTest, AnAutomaticDragEntersMovesAndDropsOnATargetThatAccepts) {
  source->SetDragMode(dmAutomatic);
  display.Press(At(source, 5, 5));
  Pump();
  EXPECT_TRUE(source->Dragging());
  EXPECT_TRUE(Mouse->IsDragging());
  DragTo(target, 10, 12);
  EXPECT_EQ(lastOver.x, 10);
  EXPECT_EQ(lastOver.y, 12);
  // Over an accepting target the control's drag cursor shows; elsewhere the no-drop one.
  EXPECT_EQ(display.Headless().PointerShape(), Screen->Cursors(crDrag));
  DragTo(refusing, 5, 5);
  EXPECT_EQ(display.Headless().PointerShape(), Screen->Cursors(crNoDrop));
  DragTo(target, 20, 30);
  display.Release(At(target, 20, 30));
  Pump();
  EXPECT_EQ(log, (std::vector<String>{
                     "Target over enter from Source", "Target over move from Source",
                     "Target over leave from Source", "Refusing over enter from Source",
                     "Refusing over move from Source", "Refusing over leave from Source",
                     "Target over enter from Source", "Target over move from Source",
                     "Target over move from Source",
                     // The release asks once more before dropping.
                     "Target over move from Source", "Target drop from Source at 20,30", "end on Target"}));
  EXPECT_FALSE(source->Dragging());
  EXPECT_FALSE(Mouse->IsDragging());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DragDropTest, ADragEndsWithoutADropWhenRefusedOrCancelled) {
  struct Case {
    const char* how;
    std::function<void()> end;
  } cases[] = {
      {"released over a refusing control",
       [this] {
         DragTo(refusing, 5, 5);
         display.Release(At(refusing, 5, 5));
       }},
      {"released over no control",
       [this] {
         display.MoveTo(POINT{5, 5});
         display.Release(POINT{5, 5});
       }},
      {"Esc over the target",
       [this] {
         DragTo(target, 5, 5);
         display.Key(VK_ESCAPE);
       }},
      {"right button over the target",
       [this] {
         DragTo(target, 5, 5);
         display.Press(At(target, 5, 5), k58::winui::MouseButton::Right);
       }},
      {"CancelDrag over the target",
       [this] {
         DragTo(target, 5, 5);
         CancelDrag();
       }},
  };
  source->SetDragMode(dmAutomatic);
  for (const Case& c : cases) {
    log.clear();
    display.Advance(GetDoubleClickTime() + 1);
    display.Press(At(source, 5, 5));
    Pump();
    ASSERT_TRUE(Mouse->IsDragging()) << c.how;
    c.end();
    Pump();
    display.Release(At(source, 5, 5));
    display.Release(At(source, 5, 5), k58::winui::MouseButton::Right);
    Pump();
    EXPECT_FALSE(Mouse->IsDragging()) << c.how;
    EXPECT_EQ(GetCapture(), nullptr) << c.how;
    ASSERT_FALSE(log.empty()) << c.how;
    EXPECT_EQ(log.back(), "end on nothing") << c.how;
    for (const String& line : log) EXPECT_EQ(line.find("drop"), String::npos) << c.how << ": " << line;
  }
}

TEST_F(DragDropTest, APendingDragStartsOnlyOnceTheMouseMovedTheThreshold) {
  TDragObject* started = nullptr;
  source->SetOnMouseDown(TMouseEvent([this](TObject*, TMouseButton, TShiftState, Integer, Integer) {
    source->BeginDrag(false, 8);
  }));
  source->SetOnStartDrag(TStartDragEvent([&](TObject*, TDragObject*& Object) {
    log.push_back("start");
    started = Object;
  }));
  display.Press(At(source, 20, 20));
  Pump();
  // The drag object is made at once; nothing is dragged over yet.
  EXPECT_EQ(log, (std::vector<String>{"start"}));
  EXPECT_TRUE(Mouse->IsDragging());
  display.MoveTo(At(source, 27, 27));
  Pump();
  EXPECT_EQ(log.size(), 1u);
  // Past the threshold the drag follows the mouse.
  DragTo(target, 5, 5);
  EXPECT_EQ(log.at(1), "Target over enter from Source");
  display.Release(At(target, 5, 5));
  Pump();
  EXPECT_EQ(log.back(), "end on Target");
  EXPECT_EQ(started, nullptr);  // OnStartDrag left it to the drag manager

  // Released before the threshold: nothing dragged over, the drag ends on nothing.
  log.clear();
  display.Advance(GetDoubleClickTime() + 1);
  display.Press(At(source, 20, 20));
  display.Release(At(source, 22, 20));
  Pump();
  EXPECT_EQ(log, (std::vector<String>{"start", "end on nothing"}));
  EXPECT_FALSE(Mouse->IsDragging());
}

TEST_F(DragDropTest, TheSourceOrTargetFreedDuringTheDragEndsItSafely) {
  source->SetDragMode(dmAutomatic);
  display.Press(At(source, 5, 5));
  Pump();
  DragTo(target, 5, 5);
  FreeObject(target);
  target = nullptr;
  display.MoveTo(POINT{105 + 200, 150});
  Pump();
  display.Release(POINT{105 + 200, 150});
  Pump();
  EXPECT_FALSE(Mouse->IsDragging());
  EXPECT_EQ(log.back(), "end on nothing");

  // The dragged control itself goes while dragging.
  log.clear();
  display.Advance(GetDoubleClickTime() + 1);
  display.Press(At(source, 5, 5));
  Pump();
  ASSERT_TRUE(Mouse->IsDragging());
  FreeObject(source);
  source = nullptr;
  display.MoveTo(At(refusing, 5, 5));
  display.Release(At(refusing, 5, 5));
  Pump();
  EXPECT_FALSE(Mouse->IsDragging());
  EXPECT_EQ(GetCapture(), nullptr);
}

namespace {

// A dock site that records what its clients tell it and when they leave, and can refuse clients.
class TListeningSite : public TTestEdit {
 public:
  using TTestEdit::TTestEdit;
  std::vector<String> Heard;
  bool Refuse = false;
  void GetSiteInfo(TControl* Client, TRect& InfluenceRect, TPoint MousePos, bool& CanDock) override {
    TTestEdit::GetSiteInfo(Client, InfluenceRect, MousePos, CanDock);
    CanDock = !Refuse;
  }
  void DoRemoveDockClient(TControl* Client) override { Heard.push_back("left " + Client->Name()); }
  void Dispatch(TMessage& Message) override {
    if (Message.Msg == CM_DOCKNOTIFICATION) {
      const auto* notify = reinterpret_cast<const TDockNotifyRec*>(Message.LParam);
      const String who = reinterpret_cast<TControl*>(Message.WParam)->Name();
      if (notify->ClientMsg == WM_SETTEXT)
        Heard.push_back(who + " text " + reinterpret_cast<const char*>(notify->MsgLParam));
      else if (notify->ClientMsg == CM_VISIBLECHANGED)
        Heard.push_back(who + " visible " + std::to_string(notify->MsgWParam));
    }
    TTestEdit::Dispatch(Message);
  }
};

}  // namespace

TEST_F(DragDropTest, ADockSiteHearsItsClientsAndCanRefuseThem) {
  auto* site = new TListeningSite(form);
  site->SetName("Site");
  site->SetParent(form);
  site->SetBounds(200, 150, 100, 80);
  site->SetDockSite(true);
  Pump();
  source->SetDragKind(dkDock);
  source->SetDragMode(dmAutomatic);
  // A refusing site is no target: the drop docks nothing.
  site->Refuse = true;
  display.Press(At(source, 5, 5));
  DragTo(site, 10, 10);
  display.Release(At(site, 10, 10));
  Pump();
  EXPECT_EQ(source->HostDockSite(), nullptr);
  site->Refuse = false;
  ASSERT_TRUE(source->ManualDock(site));
  source->SetText("Renamed");
  source->Hide();
  source->ManualDock(nullptr);
  // Once out of the site nothing more reaches it.
  source->Show();
  EXPECT_EQ(site->Heard, (std::vector<String>{"Source text Renamed", "Source visible 0", "left Source"}));
}

TEST_F(DragDropTest, ADockDragDocksTheControlInTheSiteUnderTheMouse) {
  target->SetDockSite(true);
  target->SetOnDockDrop(TDockDropEvent([this](TObject*, TDragDockObject* Source, Integer, Integer) {
    log.push_back("dock drop of " + Name(Source->Control()));
  }));
  source->SetOnEndDock(TEndDragEvent([this](TObject*, TObject* Target, Integer, Integer) {
    log.push_back("end dock on " + (Target != nullptr ? Name(Target) : String("nothing")));
  }));
  source->SetDragKind(dkDock);
  source->SetDragMode(dmAutomatic);
  display.Press(At(source, 5, 5));
  Pump();
  // Over a control that is no dock site the drag finds no target.
  DragTo(refusing, 5, 5);
  DragTo(target, 10, 10);
  display.Release(At(target, 10, 10));
  Pump();
  EXPECT_EQ(log, (std::vector<String>{"dock drop of Source", "end dock on Target"}));
  EXPECT_EQ(source->HostDockSite(), target);
  EXPECT_EQ(source->Parent(), target);
  ASSERT_EQ(target->DockClientCount(), 1);
  EXPECT_EQ(target->DockClients(0), source);

  // The site may refuse to let it go; otherwise undocking takes it out.
  bool allow = false;
  target->SetOnUnDock(TUnDockEvent([&](TObject*, TControl* Client, TWinControl*, bool& Allow) {
    EXPECT_EQ(Client, source);
    Allow = allow;
  }));
  EXPECT_FALSE(source->ManualDock(form));
  EXPECT_EQ(source->HostDockSite(), target);
  allow = true;
  refusing->SetDockSite(true);
  EXPECT_TRUE(source->ManualDock(refusing, nullptr, alClient));
  EXPECT_EQ(source->Parent(), refusing);
  EXPECT_EQ(source->Align(), alClient);
  EXPECT_EQ(target->DockClientCount(), 0);
  // A site freed with a client docked leaves the client without a site.
  auto* site = new TTestEdit(form);
  site->SetParent(form);
  site->SetDockSite(true);
  auto* floating = new TTestEdit(nullptr);
  floating->ManualDock(site);
  EXPECT_EQ(floating->HostDockSite(), site);
  floating->SetParent(nullptr);
  FreeObject(site);
  EXPECT_EQ(floating->HostDockSite(), nullptr);
  FreeObject(floating);
}

TEST_F(DragDropTest, AFormCannotBeDragged) { EXPECT_THROW(form->BeginDrag(true), EInvalidOperation); }

}  // namespace

}  // namespace forms_test
