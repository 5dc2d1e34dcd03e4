// The registry of properties classes, repositories and their items, and the properties base: change
// notification, Assign, the provider's defaults and validation through the OnValidate handlers.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/controls/editors/EditTesting.h"

using namespace editors_test;

namespace {

class EditPropertiesTest : public EditUnitsTest {};

// Records the order in which listeners hear about an item.
struct TRecordingListener : IuiEditRepositoryItemListener {
  TRecordingListener(std::string AName, std::vector<std::string>& ALog) : Name(std::move(AName)), Log(ALog) {}
  void ItemRemoved(TuiEditRepositoryItem*) override { Log.push_back(Name + " removed"); }
  void ItemPropertiesChanged(TuiEditRepositoryItem*) override { Log.push_back(Name + " changed"); }
  std::string Name;
  std::vector<std::string>& Log;
};

TEST_F(EditPropertiesTest, RegistrySortsByCaptionAndKeepsTheFirstDescription) {
  TuiRegisteredClasses* registry = GetEditPropertiesRegistry();
  EXPECT_EQ(registry, GetEditPropertiesRegistry());
  // The framework's own editors registered at unit start; this test fills the registry itself.
  registry->Clear();
  registry->Register(TTestTextProperties::StaticClass(), "TextEdit|Represents a single line text editor");
  registry->Register(TTestCurrencyProperties::StaticClass(), "CurrencyEdit|Represents an editor enabling editing currency data");
  registry->Register(TTestComboProperties::StaticClass(), "comboBox|Represents the combo box editor");
  registry->Register(TTestTextProperties::StaticClass(), "AAA|a second description");
  ASSERT_EQ(registry->Count(), 3);
  EXPECT_EQ(registry->GetDescription(0), "comboBox");
  EXPECT_EQ(registry->GetDescription(1), "CurrencyEdit");
  EXPECT_EQ(registry->GetDescription(2), "TextEdit");
  EXPECT_EQ(registry->GetItem(2), TTestTextProperties::StaticClass());
}

TEST_F(EditPropertiesTest, RepositoryListsItemsWhoeverOwnsThemAndFreesThemAll) {
  auto* repository = new TuiEditRepository(nullptr);
  auto* form = new TComponent(nullptr);
  TuiEditRepositoryItem* own = repository->CreateItem(TTestTextRepositoryItem::StaticClass());
  TuiEditRepositoryItem* foreign = repository->CreateItemEx(TTestTextRepositoryItem::StaticClass(), form);
  EXPECT_EQ(own->Owner(), repository);
  EXPECT_EQ(foreign->Owner(), form);
  ASSERT_EQ(repository->Count(), 2);
  EXPECT_EQ(repository->Items(1), foreign);
  EXPECT_TRUE(own->Properties()->Is<TTestTextProperties>());
  EXPECT_EQ(own->GetParentComponent(), repository);

  // Same repository again: nothing; another one: it leaves the first list.
  own->SetRepository(repository);
  EXPECT_EQ(repository->Count(), 2);
  auto* other = new TuiEditRepository(nullptr);
  own->SetRepository(other);
  EXPECT_EQ(repository->Count(), 1);
  EXPECT_EQ(other->Count(), 1);
  own->SetRepository(repository);

  // Freeing the repository frees the item the form owns too; the form no longer lists it.
  FreeObject(repository);
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_EQ(other->Count(), 0);
  FreeObject(other);
  FreeObject(form);
}

TEST_F(EditPropertiesTest, ListenersHearChangesAndTheEndLastToFirst) {
  std::vector<std::string> log;
  TRecordingListener first("first", log), second("second", log);
  auto* item = new TTestTextRepositoryItem(nullptr);
  item->AddListener(&first);
  item->AddListener(&second);
  item->AddListener(&first);
  item->RemoveListener(nullptr);
  EXPECT_EQ(item->ListenerCount(), 2);
  item->Properties()->SetAutoSelect(false);
  FreeObject(item);
  EXPECT_EQ(log, (std::vector<std::string>{"second changed", "first changed", "second removed", "first removed"}));
}

TEST_F(EditPropertiesTest, ParentComponentMustBeARepository) {
  auto* item = new TTestTextRepositoryItem(nullptr);
  auto* notRepository = new TComponent(nullptr);
  EXPECT_THROW(item->SetParentComponent(notRepository), Exception);
  EXPECT_EQ(item->Repository(), nullptr);
  FreeObject(notRepository);
  FreeObject(item);
}

TEST_F(EditPropertiesTest, UpdateBracketSendsOneNotification) {
  std::unique_ptr<TuiCustomEditProperties, TObjectDeleter> properties(
      TuiCustomEditProperties::CreateOfClass(TTestTextProperties::StaticClass(), nullptr));
  int notifications = 0;
  properties->SetOnPropertiesChanged([&](TObject*) { ++notifications; });
  auto tenSetters = [&](bool AFlip) {
    properties->SetAutoSelect(!AFlip);
    properties->SetButtonsViewStyle(AFlip ? 1 : 0);
    properties->SetTransparent(AFlip);
    properties->SetUseLeftAlignmentOnEditing(!AFlip);
    properties->SetReadOnly(AFlip);
    properties->Buttons()->Add();
    properties->Alignment()->SetHorz(AFlip ? taCenter : taRightJustify);
    properties->Alignment()->SetVert(AFlip ? taVCenter : taBottomJustify);
    properties->AssignedValues()->SetReadOnly(!AFlip);
    properties->Buttons()->Items(0)->SetCaption(AFlip ? "a" : "b");
  };
  properties->BeginUpdate();
  tenSetters(true);
  properties->EndUpdate(true);
  EXPECT_EQ(notifications, 1);
  properties->BeginUpdate();
  tenSetters(false);
  properties->EndUpdate(false);
  EXPECT_EQ(notifications, 1);
  properties->EndUpdate(true);  // no matching BeginUpdate
  EXPECT_EQ(properties->UpdateCount(), 0);
  EXPECT_EQ(notifications, 1);
  properties->LockChanged(true)->SetAutoSelect(true);
  EXPECT_EQ(notifications, 1);
}

TEST_F(EditPropertiesTest, AssignCopiesTheSharedSettingsAndEvents) {
  std::unique_ptr<TuiCustomEditProperties, TObjectDeleter> source(
      TuiCustomEditProperties::CreateOfClass(TTestTextProperties::StaticClass(), nullptr));
  std::unique_ptr<TuiCustomEditProperties, TObjectDeleter> target(source->CreateOfSameClass());
  int validations = 0, closes = 0, sourceCloses = 0;
  source->SetAutoSelect(false);
  source->Buttons()->Add()->SetCaption("&Open");
  source->SetButtonsViewStyle(2);
  source->SetBeepOnError(true);
  source->SetClearKey(0x2E);
  source->SetClickKey(0x0D);
  source->Alignment()->SetHorz(taRightJustify);
  source->SetReadOnly(true);
  source->SetImmediatePost(true);
  source->SetTransparent(true);
  source->SetUseMouseWheel(false);
  source->SetValidateOnEnter(true);
  source->SetOnValidate([&](TObject*, Variant&, String&, bool&) { ++validations; });
  source->SetOnClosePopup([&](TObject*, Byte) { ++sourceCloses; });
  target->SetOnClosePopup([&](TObject*, Byte) { ++closes; });
  int targetNotices = 0;
  target->SetOnPropertiesChanged([&](TObject*) { ++targetNotices; });

  target->Assign(source.get());

  EXPECT_FALSE(target->AutoSelect());
  ASSERT_EQ(target->Buttons()->Count(), 1);
  EXPECT_EQ(target->Buttons()->Items(0)->VisibleCaption(), "Open");
  EXPECT_EQ(target->ButtonsViewStyle(), 2);
  EXPECT_TRUE(target->BeepOnError());
  EXPECT_EQ(target->ClearKey(), 0x2E);
  EXPECT_EQ(target->ClickKey(), 0x0D);
  EXPECT_EQ(target->InnerAlignment()->Horz(), taRightJustify);
  EXPECT_TRUE(target->AssignedValues()->ReadOnly());
  EXPECT_TRUE(target->ReadOnly());
  EXPECT_TRUE(target->ImmediatePost());
  EXPECT_TRUE(target->Transparent());
  EXPECT_FALSE(target->UseMouseWheel());
  EXPECT_TRUE(target->ValidateOnEnter());
  Variant v;
  String text;
  bool error = false;
  target->OnValidate()(nullptr, v, text, error);
  EXPECT_EQ(validations, 1);
  target->OnClosePopup()(nullptr, 0);
  EXPECT_EQ(closes, 1) << "OnClosePopup is not copied";
  EXPECT_EQ(sourceCloses, 0);
  EXPECT_EQ(targetNotices, 1) << "one notification for the whole assignment";
}

TEST_F(EditPropertiesTest, ProviderDefaultsAndExplicitValues) {
  TTestValuesProvider* provider = new TTestValuesProvider;
  std::unique_ptr<TuiCustomEditProperties, TObjectDeleter> properties(
      TuiCustomEditProperties::CreateOfClass(TTestTextProperties::StaticClass(), nullptr));
  properties->SetDefaultValuesProvider(provider);
  provider->ReadOnly = true;
  provider->Alignment = taRightJustify;
  EXPECT_TRUE(properties->ReadOnly());
  EXPECT_FALSE(properties->CanModify());
  EXPECT_EQ(properties->Alignment()->Horz(), taRightJustify);
  EXPECT_FALSE(properties->Alignment()->IsHorzStored());

  properties->SetReadOnly(false);
  EXPECT_FALSE(properties->ReadOnly());
  EXPECT_TRUE(properties->IsReadOnlyStored());
  EXPECT_TRUE(properties->CanModify());
  properties->Alignment()->SetHorz(taCenter);
  EXPECT_EQ(properties->Alignment()->Horz(), taCenter);
  EXPECT_TRUE(properties->Alignment()->IsHorzStored());

  properties->RestoreDefaults();
  EXPECT_TRUE(properties->ReadOnly());
  EXPECT_EQ(properties->Alignment()->Horz(), taRightJustify);

  // A provider that dies leaves no properties object pointing at it.
  FreeObject(provider);
  EXPECT_EQ(properties->DefaultValuesProvider(), nullptr);
  EXPECT_FALSE(properties->ReadOnly());
}

TEST_F(EditPropertiesTest, CapabilitiesAndButtons) {
  std::unique_ptr<TuiCustomEditProperties, TObjectDeleter> properties(
      TuiCustomEditProperties::CreateOfClass(TTestTextProperties::StaticClass(), nullptr));
  EXPECT_EQ(properties->GetEditCapabilities(), 0);
  TuiEditButtons* buttons = properties->Buttons();
  TuiEditButton* first = buttons->Add();
  EXPECT_EQ(properties->GetEditCapabilities(), ecsButtons);
  EXPECT_FALSE(first->Default()) << "buttons made at run time are not default";
  TuiEditButton* second = buttons->Add();
  TuiEditButton* third = buttons->Add();
  first->SetDefault(true);
  second->SetDefault(true);
  EXPECT_FALSE(first->Default());
  EXPECT_TRUE(second->Default());
  second->SetDefault(false);
  EXPECT_FALSE(first->Default());
  third->SetVisible(false);
  EXPECT_EQ(buttons->VisibleCount(), 2);

  const struct {
    const char* Caption;
    const char* Visible;
  } captions[] = {{"&Open", "Open"}, {"A && B", "A & B"}, {"End&", "End_"}, {"", ""}};
  for (const auto& c : captions) {
    first->SetCaption(c.Caption);
    EXPECT_EQ(first->VisibleCaption(), c.Visible) << c.Caption;
  }

  int notices = 0;
  properties->SetOnPropertiesChanged([&](TObject*) { ++notices; });
  third->SetGlyph(nullptr);
  EXPECT_EQ(notices, 1) << "a nil glyph still reports a change";
  third->SetWidth(-5);
  EXPECT_EQ(third->Width(), 0) << "a negative width is refused";
}

}  // namespace
