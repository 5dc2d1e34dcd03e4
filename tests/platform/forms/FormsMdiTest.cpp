// Frame forms and their MDI children (activation, cycling, arranging, menus merged from the active child),
// where forms are placed when shown, window states, and data modules read from their resources.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "FormsTestControls.h"
#include "FormsTesting.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/win/Windows.h"

namespace forms_test {

class TTestModule : public TDataModule {
  K58_CLASS(TTestModule, TDataModule)

  explicit TTestModule(TComponent* AOwner) : TDataModule(AOwner) {}
  std::vector<String> Log;
  void ModuleCreate(TObject*) { Log.push_back("create " + std::to_string(ComponentCount())); }
  void OpenClick(TObject*) { Log.push_back("open"); }
};

K58_IMPLEMENT_CLASS(TTestModule) {
  b.Method("ModuleCreate", &TTestModule::ModuleCreate);
  b.Method("OpenClick", &TTestModule::OpenClick);
}

// A form whose resource names a component of the data module.
class TModuleUserForm : public TForm {
  K58_CLASS(TModuleUserForm, TForm)
  explicit TModuleUserForm(TComponent* AOwner) : TForm(AOwner) {}
};
K58_IMPLEMENT_CLASS(TModuleUserForm) {}

namespace {

using forms_test::FormsTest;

const char* const kModuleText = R"(object Module: TTestModule
  OldCreateOrder = False
  OnCreate = ModuleCreate
  Left = 200
  Top = 120
  Height = 150
  Width = 215
  object Pop: TPopupMenu
    object OpenItem: TMenuItem
      Caption = '&Open'
      ShortCut = 16463
      OnClick = OpenClick
    end
  end
end
)";

const char* const kModuleUserText = R"(object ModuleUser: TModuleUserForm
  Caption = 'Uses the module'
  PopupMenu = Module.Pop
end
)";

class MdiTest : public FormsTest {
 protected:
  MdiTest() {
    frame = forms_test::NewForm();
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(0, 0, 800, 600);
    frame->SetCaption("Frame");
    auto* menu = new TMainMenu(frame);
    menu->Items()->Add(Item(frame, "&File", 0));
    window = Item(frame, "&Window", 5);
    menu->Items()->Add(window);
    frame->SetMenu(menu);
    frame->SetWindowMenu(window);
    Application->SetMainForm(frame);
    frame->Show();
    Pump();
  }

  static TMenuItem* Item(TComponent* Owner, const char* Caption, Byte Group) {
    auto* item = new TMenuItem(Owner);
    item->SetCaption(Caption);
    item->SetGroupIndex(Group);
    return item;
  }

  // A child with a menu of one item of group 1 (nil caption: no menu).
  TForm* Child(const char* Caption, const char* MenuCaption) {
    TForm* child = forms_test::NewForm();
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(Caption);
    child->SetBounds(0, 0, 300, 200);
    if (MenuCaption != nullptr) {
      auto* menu = new TMainMenu(child);
      menu->Items()->Add(Item(child, MenuCaption, 1));
      child->SetMenu(menu);
    }
    child->Show();
    Pump();
    return child;
  }

  std::vector<String> Bar() {
    std::vector<String> texts;
    HMENU bar = GetMenu(frame->Handle());
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
      char buffer[64] = {};
      GetMenuString(bar, static_cast<UINT>(i), buffer, sizeof buffer, MF_BYPOSITION);
      texts.push_back(buffer);
    }
    return texts;
  }

  static RECT Placement(TForm* Child) {
    RECT r{};
    GetWindowRect(Child->Handle(), &r);
    MapWindowPoints(nullptr, GetParent(Child->Handle()), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  TForm* frame;
  TMenuItem* window;
};

TEST_F(MdiTest, ChildrenLiveInTheClientAreaAndTheActiveOneMergesItsMenu) {
  ASSERT_NE(frame->ClientHandle(), nullptr);
  TForm* channels = Child("Channels", "&Channel");
  TForm* settings = Child("Settings", "&Settings");
  TForm* notes = Child("Notes", nullptr);
  EXPECT_EQ(GetParent(channels->Handle()), frame->ClientHandle());
  EXPECT_EQ(frame->MDIChildCount(), 3);
  // The children are listed from the active one down.
  EXPECT_EQ(frame->MDIChildren(0), frame->ActiveMDIChild());
  EXPECT_EQ(frame->MDIChildren(3), nullptr);
  // The child shown last is active; it has no menu, so the frame shows its own.
  EXPECT_EQ(frame->ActiveMDIChild(), notes);
  EXPECT_EQ(Bar(), (std::vector<String>{"&File", "&Window"}));
  struct Step {
    std::function<void()> act;
    TForm* active;
    std::vector<String> bar;
  } steps[] = {
      {[&] { settings->BringToFront(); }, settings, {"&File", "&Settings", "&Window"}},
      {[&] { channels->BringToFront(); }, channels, {"&File", "&Channel", "&Window"}},
      // Activating a child without a menu takes the last child's items away again.
      {[&] { notes->BringToFront(); }, notes, {"&File", "&Window"}},
      {[&] { frame->Next(); }, nullptr, {}},
      {[&] { frame->Previous(); }, notes, {"&File", "&Window"}},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    steps[i].act();
    Pump();
    if (steps[i].active == nullptr) {
      EXPECT_NE(frame->ActiveMDIChild(), notes) << i;
      continue;
    }
    EXPECT_EQ(frame->ActiveMDIChild(), steps[i].active) << i;
    EXPECT_TRUE(steps[i].active->Active()) << i;
    EXPECT_EQ(Bar(), steps[i].bar) << i;
  }
  // A child cannot be hidden; freeing the merged one gives the frame its own menu back.
  EXPECT_THROW(channels->Hide(), EInvalidOperation);
  channels->BringToFront();
  Pump();
  FreeObject(channels);
  Pump();
  EXPECT_EQ(frame->MDIChildCount(), 2);
  std::vector<String> bar = Bar();
  EXPECT_EQ(std::count(bar.begin(), bar.end(), "&Channel"), 0);
}

TEST_F(MdiTest, CascadeAndTileArrangeTheChildren) {
  TForm* a = Child("A", nullptr);
  TForm* b = Child("B", nullptr);
  RECT client{};
  GetClientRect(frame->ClientHandle(), &client);

  frame->Cascade();
  Pump();
  RECT ra = Placement(a), rb = Placement(b);
  // Each cascaded window starts further right and down than the one below it.
  EXPECT_NE(ra.left, rb.left);
  EXPECT_EQ(rb.left - ra.left, rb.top - ra.top);

  frame->SetTileMode(tbVertical);
  frame->Tile();
  Pump();
  ra = Placement(a);
  rb = Placement(b);
  // Side by side, together as wide as the client area and each as high.
  EXPECT_EQ(ra.top, rb.top);
  EXPECT_EQ(ra.bottom - ra.top, client.bottom);
  EXPECT_EQ((ra.right - ra.left) + (rb.right - rb.left), client.right);

  frame->SetTileMode(tbHorizontal);
  frame->Tile();
  Pump();
  ra = Placement(a);
  rb = Placement(b);
  EXPECT_EQ(ra.left, rb.left);
  EXPECT_EQ(ra.right - ra.left, client.right);
  EXPECT_EQ((ra.bottom - ra.top) + (rb.bottom - rb.top), client.bottom);
}

TEST_F(MdiTest, ClosingAChildMinimisesItOrFreesItAsItsHandlerSays) {
  TForm* child = Child("Doc", nullptr);
  TCloseAction chosen = caMinimize;
  bool freed = false;
  child->SetOnClose(TCloseEvent([&](TObject*, TCloseAction& Action) {
    EXPECT_EQ(Action, caMinimize);  // the default for a child with a minimise button
    Action = chosen;
  }));
  child->SetOnDestroy(TNotifyEvent([&](TObject*) { freed = true; }));
  child->Close();
  Pump();
  EXPECT_EQ(child->WindowState(), wsMinimized);
  chosen = caFree;
  child->Close();
  Pump();
  EXPECT_TRUE(freed);
  EXPECT_EQ(frame->MDIChildCount(), 0);
}

class PlacementTest : public FormsTest {};

TEST_F(PlacementTest, APositionPlacesTheFormWhenItIsFirstShown) {
  TForm* main = forms_test::NewForm();
  main->SetBounds(100, 50, 600, 400);
  Application->SetMainForm(main);
  main->Show();
  Pump();
  TForm* owner = forms_test::NewForm();
  owner->SetBounds(700, 500, 400, 300);
  struct Case {
    TPosition position;
    TComponent* owner;
    int left, top;
  } cases[] = {
      {poDesigned, nullptr, 10, 20},
      {poScreenCenter, nullptr, (1280 - 200) / 2, (1024 - 100) / 2},
      {poDesktopCenter, nullptr, (1280 - 200) / 2, (1024 - 100) / 2},
      {poMainFormCenter, nullptr, 100 + (600 - 200) / 2, 50 + (400 - 100) / 2},
      {poOwnerFormCenter, owner, 700 + (400 - 200) / 2, 500 + (300 - 100) / 2},
      // Without a form as owner the main form is the centre.
      {poOwnerFormCenter, nullptr, 100 + (600 - 200) / 2, 50 + (400 - 100) / 2},
  };
  for (const Case& c : cases) {
    TForm* form = forms_test::NewForm(c.owner);
    form->SetBounds(10, 20, 200, 100);
    form->SetPosition(c.position);
    form->Show();
    Pump();
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, c.left) << c.position;
    EXPECT_EQ(r.top, c.top) << c.position;
    FreeObject(form);
  }
}

TEST_F(PlacementTest, TheWindowStateFollowsTheWindowBothWays) {
  TForm* form = forms_test::NewForm();
  form->SetBounds(40, 30, 300, 200);
  form->SetWindowState(wsMaximized);
  form->Show();
  Pump();
  EXPECT_TRUE(IsZoomed(form->Handle()));
  EXPECT_EQ(form->WindowState(), wsMaximized);
  form->SetWindowState(wsNormal);
  Pump();
  RECT r{};
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.right - r.left, 300);
  ShowWindow(form->Handle(), SW_MINIMIZE);
  Pump();
  EXPECT_EQ(form->WindowState(), wsMinimized);
}

TEST_F(PlacementTest, ADataModuleReadsItsComponentsAndHandlersFromItsResource) {
  forms_test::RegisterFormResource("TTESTMODULE", kModuleText);
  TTestModule* module = nullptr;
  Application->CreateForm(module);
  ASSERT_NE(module, nullptr);
  // A data module never becomes the main form.
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(module->Log, (std::vector<String>{"create 2"}));
  EXPECT_EQ(Screen->DataModuleCount(), 1);
  EXPECT_EQ(Screen->DataModules(0), module);
  auto* item = dynamic_cast<TMenuItem*>(module->FindComponent("OpenItem"));
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->ShortCut(), ShortCut('O', {ssCtrl}));
  item->Click();
  EXPECT_EQ(module->Log.back(), "open");
  // Forms read later find the module's components by "Module.Name"; freeing the module clears them.
  forms_test::RegisterFormResource("TMODULEUSERFORM", kModuleUserText);
  TModuleUserForm* user = nullptr;
  Application->CreateForm(user);
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->PopupMenu(), module->FindComponent("Pop"));
  FreeObject(module);
  EXPECT_EQ(user->PopupMenu(), nullptr);
  // Without the module the reference cannot be resolved.
  EXPECT_THROW(NewObject<TModuleUserForm>(nullptr), EReadError);
  EXPECT_EQ(Screen->DataModuleCount(), 0);
}

}  // namespace

}  // namespace forms_test
