// The walk that styles a form's menus and tool bars, and the manager that styles the application's
// other forms and hands over when painters go.
#include "tests/skin/SkinTesting.h"

#include "platform/forms/StdCtrls.h"

namespace skin_test {
namespace {

TMenuItem* Item(TComponent* Owner, const char* Caption, Integer Tag = 0) {
  auto* item = new TMenuItem(Owner);
  item->SetCaption(Caption);
  item->SetTag(Tag);
  return item;
}

class SkinWalkTest : public SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    form = NewForm();
    main = new TMainMenu(form);
    file = Item(form, "&File");
    skipped = Item(form, "Skipped", SkinSkipTag);
    inner = Item(form, "Inner");
    own = Item(form, "Own");
    own->SetOnDrawItem(TMenuDrawItemEvent([](TObject*, TCanvas*, TRect, bool) {}));
    main->Items()->Add(file);
    file->Add(skipped);
    skipped->Add(inner);
    file->Add(own);
    popup = new TPopupMenu(form);
    popup->SetTag(SkinSkipTag);
    popup->Items()->Add(Item(form, "Cut"));
    bar = new TToolBar(form);
    bar->SetParent(form);
  }
  static bool Hooked(TMenuItem* I) { return static_cast<bool>(I->OnDrawItem()) && static_cast<bool>(I->OnMeasureItem()); }
  bool Ours(TMenuItem* I, TSkinMenu* S) { return I->OnDrawItem() == TMenuDrawItemEvent(S, &TSkinMenu::DrawMenuItem); }

  TForm* form = nullptr;
  TMainMenu* main = nullptr;
  TMenuItem *file = nullptr, *skipped = nullptr, *inner = nullptr, *own = nullptr;
  TPopupMenu* popup = nullptr;
  TToolBar* bar = nullptr;
};

TEST_F(SkinWalkTest, ActivePainterHooksMenusAndToolBarsAndLetsGoWhenSwitchedOff) {
  TSkinMenu* skin = NewSkin(form);
  EXPECT_TRUE(main->OwnerDraw());
  EXPECT_TRUE(Ours(file, skin));
  EXPECT_FALSE(Hooked(skipped)) << "an item with Tag 999 keeps its own drawing";
  EXPECT_TRUE(Ours(inner, skin)) << "but its sub-items are styled";
  EXPECT_FALSE(Ours(own, skin)) << "a handler of the form's own is kept";
  EXPECT_TRUE(static_cast<bool>(own->OnMeasureItem()));
  EXPECT_TRUE(popup->OwnerDraw()) << "a popup menu with Tag 999 is still styled";
  EXPECT_TRUE(bar->Flat());
  EXPECT_TRUE(static_cast<bool>(bar->OnCustomDrawButton()));

  skin->SetOverrideOwnerDraw(true);
  EXPECT_TRUE(Ours(own, skin)) << "overriding takes over the form's handlers";

  skin->SetActive(false);
  EXPECT_FALSE(main->OwnerDraw());
  EXPECT_FALSE(Hooked(file));
  EXPECT_FALSE(Hooked(own));
  EXPECT_FALSE(static_cast<bool>(bar->OnCustomDrawButton()));
  EXPECT_TRUE(bar->Flat()) << "the bar stays flat";
}

TEST_F(SkinWalkTest, MainMenuWithTag999IsLeftAlone) {
  main->SetTag(SkinSkipTag);
  NewSkin(form);
  EXPECT_FALSE(main->OwnerDraw());
  EXPECT_FALSE(Hooked(file));
}

TEST_F(SkinWalkTest, ChangingTheSetsRewalks) {
  TSkinMenu* skin = NewSkin(form);
  TSkinControls controls = skin->SkinControls();
  controls.Exclude(xcToolbar).Exclude(xcPopupMenu);
  skin->SetSkinControls(controls);
  EXPECT_TRUE(skin->Active());
  EXPECT_FALSE(static_cast<bool>(bar->OnCustomDrawButton()));
  EXPECT_FALSE(popup->OwnerDraw());
  EXPECT_TRUE(Ours(file, skin));
  controls.Include(xcToolbar);
  skin->SetSkinControls(controls);
  EXPECT_TRUE(static_cast<bool>(bar->OnCustomDrawButton()));
}

TEST_F(SkinWalkTest, EmptyMainMenuIsStyledWithoutError) {
  TForm* other = NewForm();
  auto* empty = new TMainMenu(other);
  TSkinMenu* skin = nullptr;
  EXPECT_NO_THROW(skin = NewSkin(other));
  EXPECT_TRUE(empty->OwnerDraw());
  EXPECT_NO_THROW(skin->SetActive(false));
}

TEST_F(SkinWalkTest, ResourcePropertiesReachTheComponent) {
  TSkinMenu* skin = NewSkin(form, false);
  const TTypeInfo* containers = TypeInfoTraits<TSkinContainers>::Get();
  const TTypeInfo* controls = TypeInfoTraits<TSkinControls>::Get();
  EXPECT_EQ(StringToSet(containers, "[xccForm,xccToolbar,xccCoolbar]"),
            TSkinContainers({xccForm, xccToolbar, xccCoolbar}).Bits());
  EXPECT_EQ(SetToString(controls, TSkinControls({xcMainMenu, xcToolbar}).Bits(), true), "[xcMainMenu,xcToolbar]");
  EXPECT_EQ(skin->SkinControls().Bits(), (uint64_t(1) << 23) - 1) << "every kind at creation";
  EXPECT_EQ(skin->IconWidth(), 24);
  EXPECT_TRUE(skin->IsNT());
  EXPECT_TRUE(skin->IsWinXP());
  EXPECT_FALSE(skin->IsWin2000());
}

// ---- The manager ----

class SkinManagerTest : public SkinTest {};

TEST_F(SkinManagerTest, FormsCreatedLaterAreStyledAtTheNextMainWindowMessage) {
  TForm* mainForm = NewForm(Application);
  TSkinMenu* skin = NewSkin(mainForm);
  TSkinMenuManager* manager = TSkinMenuManager::Instance();
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->ActiveSkinMenu(), skin);

  TForm* dialog = NewForm(Application);
  auto* dialogMenu = new TMainMenu(dialog);
  dialogMenu->Items()->Add(Item(dialog, "Edit"));
  TForm* plain = NewForm(Application);
  plain->SetTag(SkinSkipTag);
  auto* plainMenu = new TMainMenu(plain);
  plainMenu->Items()->Add(Item(plain, "Edit"));
  EXPECT_FALSE(dialogMenu->OwnerDraw()) << "not before a message reaches the main window";

  SendMessage(Application->Handle(), WM_NULL, 0, 0);
  EXPECT_TRUE(dialogMenu->OwnerDraw());
  EXPECT_FALSE(plainMenu->OwnerDraw()) << "a form with Tag 999 keeps the plain look";
  EXPECT_TRUE(manager->PendingForms().empty());
}

TEST_F(SkinManagerTest, FormsFreedWithoutAnActivePainterLeaveTheLists) {
  TForm* mainForm = NewForm(Application);
  TSkinMenu* skin = NewSkin(mainForm, false);
  TSkinMenuManager* manager = TSkinMenuManager::Instance();
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(manager->ActiveSkinMenu(), nullptr);
  ASSERT_EQ(manager->DoneForms().size(), 1u);
  // The painter's own form goes while no painter is active: no list may keep it.
  forms_.clear();
  FreeObject(mainForm);
  EXPECT_EQ(TSkinMenuManager::Instance(), nullptr) << "the last painter frees the manager";
  (void)skin;
}

TEST_F(SkinManagerTest, DisablingTheActivePainterHandsOverToAnother) {
  TForm* first = NewForm(Application);
  TForm* second = NewForm(Application);
  TSkinMenu* a = NewSkin(first);
  TSkinMenu* b = NewSkin(second);
  TSkinMenuManager* manager = TSkinMenuManager::Instance();
  EXPECT_EQ(manager->ActiveSkinMenu(), a);
  a->SetDisableSubclassing(true);
  EXPECT_EQ(manager->ActiveSkinMenu(), b);
  b->SetDisableSubclassing(true);
  // No main form yet: the active painter stays.
  EXPECT_EQ(manager->ActiveSkinMenu(), b);
  a->SetDisableSubclassing(false);
  EXPECT_EQ(manager->ActiveSkinMenu(), b);
  FreeObject(b);
  EXPECT_EQ(manager->ActiveSkinMenu(), a) << "the painter that goes hands over";
  EXPECT_EQ(manager->SkinMenus().size(), 1u);
}

TEST_F(SkinManagerTest, AnotherFormsControlsAreHandedOverThenRestoredWhenNoPainterIsLeft) {
  TForm* first = NewForm(Application);
  TForm* second = NewForm(Application);
  TSkinMenu* a = NewSkin(first);
  TSkinMenu* b = NewSkin(second);
  TForm* dialog = NewForm(Application);
  auto* edit = new TEdit(dialog);
  edit->SetParent(dialog);
  dialog->Show();
  SendMessage(Application->Handle(), WM_NULL, 0, 0);
  Pump();
  TControlSubClass* sub = TControlSubClass::Of(edit);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->Owner(), a);
  EXPECT_FALSE(edit->Ctl3D());
  const TWndMethod own = sub->SavedWindowProc;

  a->SetDisableSubclassing(true);
  TControlSubClass* taken = TControlSubClass::Of(edit);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->Owner(), b);
  EXPECT_EQ(taken->SkinMenu, b);
  EXPECT_TRUE(taken->SavedWindowProc == own) << "the control's own procedure goes with it";
  EXPECT_TRUE(edit->WindowProc() == TWndMethod(taken, &TControlSubClass::SubclassWindowProc));
  EXPECT_TRUE(sub->Control == nullptr) << "the old subclass lets go";

  // With a main form and no painter left, the dialog's edit gets its own procedure and border back.
  Application->SetMainForm(first);
  b->SetDisableSubclassing(true);
  EXPECT_EQ(TSkinMenuManager::Instance()->ActiveSkinMenu(), nullptr);
  EXPECT_TRUE(edit->WindowProc() == own);
  EXPECT_TRUE(edit->Ctl3D());
  Application->SetMainForm(nullptr);
}

TEST_F(SkinManagerTest, AFormThatFailsToStyleDoesNotDropTheOthers) {
  TForm* mainForm = NewForm(Application);
  NewSkin(mainForm);
  TSkinMenuManager* manager = TSkinMenuManager::Instance();
  TForm* broken = NewForm(Application);
  auto* brokenMenu = new TMainMenu(broken);
  auto* bad = Item(broken, "Bad");
  brokenMenu->Items()->Add(bad);
  // Styling rebuilds the bar through the caption: a handler that fails stands for any styling error.
  brokenMenu->SetOnChange(TMenuChangeEvent([](TObject*, TMenuItem*, bool) { throw Exception("styling failed"); }));
  TForm* later = NewForm(Application);
  auto* laterMenu = new TMainMenu(later);
  laterMenu->Items()->Add(Item(later, "Edit"));
  SendMessage(Application->Handle(), WM_NULL, 0, 0);
  SendMessage(Application->Handle(), WM_NULL, 0, 0);
  EXPECT_TRUE(laterMenu->OwnerDraw());
  EXPECT_TRUE(manager->PendingForms().empty());
}

}  // namespace
}  // namespace skin_test
