// Menus: short-cut texts, the item tree, check marks and radio groups, the window-system menus built from
// the items, commands and submenus reaching the items, short-cut keys, merging and owner drawing.
#include <gtest/gtest.h>

#include "FormsTestControls.h"
#include "FormsTesting.h"
#include "platform/win/Windows.h"

namespace forms_test {

namespace {

using forms_test::FormsTest;

TEST(ShortCutTextTest, TextsAndShortCutsConvertBothWays) {
  struct Case {
    TShortCut shortCut;
    const char* text;
  } cases[] = {
      {ShortCut('S', {ssCtrl}), "Ctrl+S"},
      {ShortCut(VK_F2, {ssShift, ssCtrl}), "Shift+Ctrl+F2"},
      {ShortCut(VK_DELETE, {}), "Del"},
      {ShortCut(VK_INSERT, {ssAlt}), "Alt+Ins"},
      {ShortCut(VK_RETURN, {ssCtrl}), "Ctrl+Enter"},
      {ShortCut(VK_ESCAPE, {}), "Esc"},
      {ShortCut(VK_PRIOR, {}), "PgUp"},
      {ShortCut('7', {ssCtrl, ssAlt}), "Ctrl+Alt+7"},
      {ShortCut(VK_F12, {}), "F12"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.shortCut), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.shortCut) << c.text;
  }
  // Modifiers in any order and case; unknown keys give no short cut.
  EXPECT_EQ(TextToShortCut("ctrl+shift+f2"), ShortCut(VK_F2, {ssShift, ssCtrl}));
  EXPECT_EQ(TextToShortCut("Ctrl+Nothing"), 0);
  EXPECT_EQ(TextToShortCut(""), 0);
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(ShortCut(0x1FF, {}), 0);
  EXPECT_EQ(StripHotkey("&Save && E&xit"), "Save & Exit");
  EXPECT_EQ(GetHotkey("Save && E&xit"), 'x');
  EXPECT_TRUE(IsAccel('X', "E&xit"));
  EXPECT_FALSE(IsAccel('E', "E&xit"));
}

class MenusTest : public FormsTest {
 protected:
  MenusTest() { owner = forms_test::NewForm(); }
  ~MenusTest() override { FreeObject(owner); }

  TMenuItem* Item(const String& Caption, TMenuItem* Parent = nullptr) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(Caption);
    if (Parent != nullptr) Parent->Add(item);
    return item;
  }

  static String MenuText(HMENU Menu, int Pos) {
    char buffer[64] = {};
    GetMenuString(Menu, static_cast<UINT>(Pos), buffer, sizeof buffer, MF_BYPOSITION);
    return buffer;
  }
  static std::vector<String> MenuTexts(HMENU Menu) {
    std::vector<String> texts;
    for (int i = 0; i < GetMenuItemCount(Menu); ++i) texts.push_back(MenuText(Menu, i));
    return texts;
  }

  TForm* owner;
};

TEST_F(MenusTest, TheItemTreeKeepsOrderParentsAndIndexes) {
  auto* menu = new TMainMenu(owner);
  TMenuItem* file = Item("&File");
  menu->Items()->Add(file);
  TMenuItem* open = Item("&Open...", file);
  TMenuItem* line = Item("-", file);
  TMenuItem* exit = Item("E&xit", file);
  EXPECT_EQ(file->Count(), 3);
  EXPECT_EQ(open->Parent(), file);
  EXPECT_EQ(exit->MenuIndex(), 2);
  EXPECT_TRUE(line->IsLine());
  EXPECT_EQ(file->Find("exit"), exit);
  EXPECT_EQ(file->Find("Open..."), open);
  EXPECT_EQ(file->Find("Close"), nullptr);
  EXPECT_EQ(exit->GetParentMenu(), menu);
  exit->SetMenuIndex(0);
  EXPECT_EQ(file->IndexOf(exit), 0);
  EXPECT_EQ(file->IndexOf(open), 1);
  // Errors: a bad index, an item inserted twice, removing an item that is not there.
  EXPECT_THROW(file->Items(3), EMenuError);
  EXPECT_THROW(file->Delete(-1), EMenuError);
  EXPECT_THROW(file->Add(open), EMenuError);
  TMenuItem* stray = Item("Stray");
  EXPECT_THROW(file->Remove(stray), EMenuError);
  // Deleting gives the item back; freeing an item takes it out of its parent.
  file->Delete(file->IndexOf(line));
  EXPECT_EQ(line->Parent(), nullptr);
  FreeObject(line);
  FreeObject(open);
  EXPECT_EQ(file->Count(), 1);
  FreeObject(stray);
}

TEST_F(MenusTest, RadioItemsOfAGroupKeepOneCheckAndAutoCheckTurnsTheMark) {
  TMenuItem* root = Item("root");
  TMenuItem* a = Item("A", root);
  TMenuItem* b = Item("B", root);
  TMenuItem* c = Item("C", root);
  TMenuItem* other = Item("Other group", root);
  for (TMenuItem* i : {a, b, c}) {
    i->SetRadioItem(true);
    i->SetGroupIndex(1);
    i->SetAutoCheck(true);
  }
  other->SetRadioItem(true);
  other->SetGroupIndex(2);
  other->SetChecked(true);
  a->SetChecked(true);
  b->Click();
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(other->Checked());
  b->Click();  // a checked radio item stays checked
  EXPECT_TRUE(b->Checked());
  // A plain auto-check item flips; a disabled item does nothing.
  TMenuItem* toggle = Item("Toggle", root);
  toggle->SetAutoCheck(true);
  int clicks = 0;
  toggle->SetOnClick(TNotifyEvent([&](TObject*) { ++clicks; }));
  toggle->Click();
  toggle->Click();
  toggle->SetEnabled(false);
  toggle->Click();
  EXPECT_FALSE(toggle->Checked());
  EXPECT_EQ(clicks, 2);
  FreeObject(root);
}

TEST_F(MenusTest, TheMenuBarShowsVisibleItemsAndFollowsChanges) {
  auto* menu = new TMainMenu(owner);
  TMenuItem* file = Item("&File");
  TMenuItem* edit = Item("&Edit");
  menu->Items()->Add(file);
  menu->Items()->Add(edit);
  TMenuItem* save = Item("&Save", file);
  save->SetShortCut(ShortCut('S', {ssCtrl}));
  Item("&Close", file);
  owner->SetMenu(menu);
  owner->Show();
  Pump();
  HMENU bar = GetMenu(owner->Handle());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(MenuTexts(bar), (std::vector<String>{"&File", "&Edit"}));
  HMENU fileMenu = GetSubMenu(bar, 0);
  EXPECT_EQ(MenuTexts(fileMenu), (std::vector<String>{"&Save\tCtrl+S", "&Close"}));
  // Property changes rebuild the menus.
  save->SetCaption("Save &all");
  save->SetChecked(true);
  save->SetEnabled(false);
  EXPECT_EQ(MenuText(fileMenu, 0), "Save &all\tCtrl+S");
  UINT state = GetMenuState(fileMenu, 0, MF_BYPOSITION);
  EXPECT_TRUE(state & MF_CHECKED);
  EXPECT_TRUE(state & MF_GRAYED);
  edit->SetVisible(false);
  EXPECT_EQ(MenuTexts(GetMenu(owner->Handle())), (std::vector<String>{"&File"}));
}

TEST_F(MenusTest, CommandsAndOpeningSubmenusReachTheItems) {
  auto* menu = new TMainMenu(owner);
  TMenuItem* file = Item("&File");
  menu->Items()->Add(file);
  TMenuItem* save = Item("&Save", file);
  std::vector<String> log;
  file->SetOnClick(TNotifyEvent([&](TObject*) { log.push_back("file"); }));
  save->SetOnClick(TNotifyEvent([&](TObject*) { log.push_back("save"); }));
  owner->SetMenu(menu);
  owner->Show();
  Pump();
  // WM_COMMAND with the item's number; WM_INITMENUPOPUP with the submenu of the item.
  SendMessage(owner->Handle(), WM_COMMAND, save->Command(), 0);
  SendMessage(owner->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file->Handle()), 0);
  EXPECT_EQ(log, (std::vector<String>{"save", "file"}));
  // The same through the menu loop: Alt+F opens the menu, S chooses the item.
  log.clear();
  display.Chord({VK_MENU}, 'F');
  display.Key('S');
  Pump();
  EXPECT_EQ(log, (std::vector<String>{"file", "save"}));
  // Commands of no item go on to the default handling without harm.
  SendMessage(owner->Handle(), WM_COMMAND, 0xFEFE, 0);
}

TEST_F(MenusTest, ShortCutKeysRunTheItemAfterItsParentsClick) {
  auto* menu = new TMainMenu(owner);
  TMenuItem* file = Item("&File");
  menu->Items()->Add(file);
  TMenuItem* save = Item("&Save", file);
  save->SetShortCut(ShortCut('S', {ssCtrl}));
  auto* edit = new TTestEdit(owner);
  edit->SetParent(owner);
  std::vector<String> log;
  file->SetOnClick(TNotifyEvent([&](TObject*) { log.push_back("file"); }));
  save->SetOnClick(TNotifyEvent([&](TObject*) { log.push_back("save"); }));
  owner->SetMenu(menu);
  owner->Show();
  Pump();
  Chord({VK_CONTROL}, 'S');
  EXPECT_EQ(log, (std::vector<String>{"file", "save"}));
  EXPECT_EQ(edit->Typed, "");  // the key did not reach the control
  // A parent that disables the item on its click keeps the short cut from running it.
  file->SetOnClick(TNotifyEvent([&](TObject*) { save->SetEnabled(false); }));
  log.clear();
  Chord({VK_CONTROL}, 'S');
  EXPECT_TRUE(log.empty());
}

TEST_F(MenusTest, AMergedMenuReplacesTheGroupsItSharesAndFillsTheOthersInOrder) {
  auto* main = new TMainMenu(owner);
  auto add = [&](TMenu* menu, const char* caption, Byte group) {
    TMenuItem* item = Item(caption);
    item->SetGroupIndex(group);
    menu->Items()->Add(item);
    return item;
  };
  add(main, "File", 0);
  add(main, "Edit", 1);
  add(main, "Window", 5);
  add(main, "Help", 9);
  auto* child = new TMainMenu(owner);
  add(child, "Channel", 1);
  add(child, "Extra", 1);
  add(child, "Tools", 2);
  // Group indexes stay in order.
  EXPECT_THROW(child->Items()->Items(2)->SetGroupIndex(0), EMenuError);
  TMenuItem* late = Item("Late");
  child->Items()->Add(late);
  EXPECT_EQ(late->GroupIndex(), 2);
  FreeObject(late);
  owner->SetMenu(main);
  owner->Show();
  Pump();
  main->Merge(child);
  EXPECT_EQ(MenuTexts(GetMenu(owner->Handle())),
            (std::vector<String>{"File", "Channel", "Extra", "Tools", "Window", "Help"}));
  // Commands of the merged items reach them through the main menu.
  int extra = 0;
  child->Items()->Items(1)->SetOnClick(TNotifyEvent([&](TObject*) { ++extra; }));
  SendMessage(owner->Handle(), WM_COMMAND, child->Items()->Items(1)->Command(), 0);
  EXPECT_EQ(extra, 1);
  main->Unmerge(child);
  EXPECT_EQ(MenuTexts(GetMenu(owner->Handle())), (std::vector<String>{"File", "Edit", "Window", "Help"}));
  // Freeing a merged menu unmerges it.
  main->Merge(child);
  FreeObject(child);
  EXPECT_EQ(MenuTexts(GetMenu(owner->Handle())), (std::vector<String>{"File", "Edit", "Window", "Help"}));
}

TEST_F(MenusTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheirEvents) {
  auto* menu = new TPopupMenu(owner);
  menu->SetOwnerDraw(true);
  TMenuItem* a = Item("Alpha");
  TMenuItem* b = Item("Beta");
  menu->Items()->Add(a);
  menu->Items()->Add(b);
  std::vector<String> log;
  a->SetOnMeasureItem(TMenuMeasureItemEvent([&](TObject*, TCanvas*, Integer& w, Integer& h) {
    log.push_back("measure Alpha");
    w = 120;
    h = 30;
  }));
  TRect drawn{};
  a->SetOnDrawItem(TMenuDrawItemEvent([&](TObject*, TCanvas* canvas, TRect r, bool selected) {
    log.push_back(String("draw Alpha") + (selected ? " selected" : ""));
    drawn = r;
    canvas->Brush()->SetColor(clRed);
    canvas->FillRect(r);
  }));
  bool checked = false;
  b->SetOnAdvancedDrawItem(TAdvancedMenuDrawItemEvent([&](TObject*, TCanvas*, TRect, TOwnerDrawState state) {
    checked = state.Contains(odChecked);
    log.push_back("draw Beta");
  }));
  b->SetChecked(true);
  owner->Show();
  Pump();
  menu->SetOnPopup(TNotifyEvent([&](TObject*) { log.push_back("popup"); }));
  COLORREF painted = 0;
  display.Later([&] {
    // Inside the menu loop: the popup window shows what the handler drew.
    HWND popup = FindWindow(MENU_CLASS, nullptr);
    ASSERT_NE(popup, nullptr);
    UpdateWindow(popup);
    painted = display.ClientPixel(popup, POINT{drawn.left + 5, drawn.top + 5});
  });
  display.Key(VK_ESCAPE);
  menu->Popup(100, 100);
  Pump();
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[0], "popup");
  EXPECT_EQ(log[1], "measure Alpha");
  EXPECT_NE(std::find(log.begin(), log.end(), "draw Alpha"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "draw Beta"), log.end());
  EXPECT_TRUE(checked);
  EXPECT_GE(drawn.right - drawn.left, 120);
  EXPECT_EQ(drawn.bottom - drawn.top, 30);
  EXPECT_EQ(painted, ColorToRGB(clRed));
}

}  // namespace

}  // namespace forms_test
