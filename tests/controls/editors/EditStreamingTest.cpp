// A repository with its items and an edit style controller written to form text and read back, and an
// editor that refers to both.
#include <gtest/gtest.h>

#include <string>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "tests/controls/editors/EditTesting.h"

using namespace editors_test;

// A non-visual root that lists the components it owns that have no parent of their own.
class TTestModule : public TComponent {
  K58_CLASS(TTestModule, TComponent)
 public:
  explicit TTestModule(TComponent* AOwner) : TComponent(AOwner) {}
  void GetChildren(TGetChildProc Proc, TComponent* Root) override {
    for (Integer i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) Proc(Components(i));
    (void)Root;
  }
};

K58_IMPLEMENT_CLASS(TTestModule) {}

namespace {

class EditStreamingTest : public EditUnitsTest {};

TEST_F(EditStreamingTest, RepositoryItemsAndStyleControllerRoundTrip) {
  TObjectPtr<TTestModule> module(new TTestModule(nullptr));
  module->SetName("Module");
  auto* repository = new TuiEditRepository(module.get());
  repository->SetName("Repository");
  TuiEditRepositoryItem* channel = repository->CreateItemEx(TTestTextRepositoryItem::StaticClass(), module.get());
  channel->SetName("ChannelItem");
  channel->Properties()->SetBeepOnError(true);
  channel->Properties()->SetReadOnly(false);
  channel->Properties()->Alignment()->SetHorz(taRightJustify);
  TuiEditButton* button = channel->Properties()->Buttons()->Add();
  button->SetCaption("&Open");
  button->SetKind(bkEllipsis);
  TuiEditRepositoryItem* tone = repository->CreateItemEx(TTestTextRepositoryItem::StaticClass(), module.get());
  tone->SetName("ToneItem");
  auto* controller = new TuiEditStyleController(module.get());
  controller->SetName("Styles");
  controller->Style()->SetButtonStyle(btsFlat);
  controller->Style()->SetButtonTransparency(ebtInactive);
  controller->StyleFocused()->SetButtonStyle(bts3D);

  const String text = WriteComponentToText(module.get());
  EXPECT_NE(text.find("object ChannelItem: TTestTextRepositoryItem"), String::npos) << text;
  EXPECT_NE(text.find("Properties.ReadOnly = False"), String::npos) << text;
  EXPECT_EQ(text.find("Properties.ValidateOnEnter"), String::npos) << "defaults are not written\n" << text;
  EXPECT_NE(text.find("Style.ButtonStyle = btsFlat"), String::npos) << text;
  EXPECT_NE(text.find("StyleFocused.ButtonStyle = bts3D"), String::npos) << text;
  EXPECT_EQ(text.find("StyleFocused.ButtonTransparency"), String::npos) << "held by the normal style\n" << text;

  TObjectPtr<TTestModule> copy(new TTestModule(nullptr));
  ReadComponentFromText(text, copy.get(), "module");
  auto* readRepository = dynamic_cast<TuiEditRepository*>(copy->FindComponent("Repository"));
  ASSERT_NE(readRepository, nullptr);
  ASSERT_EQ(readRepository->Count(), 2);
  TuiEditRepositoryItem* readChannel = readRepository->Items(0);
  EXPECT_EQ(readChannel->Name(), "ChannelItem");
  EXPECT_EQ(readChannel->Owner(), copy.get());
  EXPECT_EQ(readRepository->Items(1)->Name(), "ToneItem");
  EXPECT_TRUE(readChannel->Properties()->BeepOnError());
  EXPECT_TRUE(readChannel->Properties()->IsReadOnlyStored());
  EXPECT_FALSE(readChannel->Properties()->ReadOnly());
  EXPECT_EQ(readChannel->Properties()->InnerAlignment()->Horz(), taRightJustify);
  ASSERT_EQ(readChannel->Properties()->Buttons()->Count(), 1);
  EXPECT_EQ(readChannel->Properties()->Buttons()->Items(0)->VisibleCaption(), "Open");
  EXPECT_EQ(readChannel->Properties()->Buttons()->Items(0)->Kind(), bkEllipsis);
  auto* readController = dynamic_cast<TuiEditStyleController*>(copy->FindComponent("Styles"));
  ASSERT_NE(readController, nullptr);
  EXPECT_EQ(readController->Style()->ButtonStyle(), btsFlat);
  EXPECT_EQ(readController->Style()->ButtonTransparency(), ebtInactive);
  EXPECT_EQ(readController->StyleFocused()->ButtonStyle(), bts3D);

  // Written a second time, the copy gives the same text.
  EXPECT_EQ(WriteComponentToText(copy.get()), text);
}

TEST_F(EditStreamingTest, AnEditorKeepsItsItemAndControllerAndItsSize) {
  TObjectPtr<TForm> form(NewObject<TForm>(nullptr, 0));
  form->SetName("ChannelForm");
  auto* repository = new TuiEditRepository(form.get());
  repository->SetName("Repository");
  TuiEditRepositoryItem* item = repository->CreateItemEx(TTestTextRepositoryItem::StaticClass(), form.get());
  item->SetName("ChannelItem");
  auto* controller = new TuiEditStyleController(form.get());
  controller->SetName("Styles");
  auto* edit = NewObject<TTestEdit>(form.get());
  edit->SetName("Frequency");
  edit->SetParent(form.get());
  edit->SetAutoSize(false);
  edit->SetBounds(8, 8, 120, 23);
  edit->SetRepositoryItem(item);
  edit->Style()->SetStyleController(controller);
  edit->Style()->SetButtonStyle(btsUltraFlat);

  const String text = WriteComponentToText(form.get());
  EXPECT_NE(text.find("RepositoryItem = ChannelItem"), String::npos) << text;
  EXPECT_NE(text.find("Style.StyleController = Styles"), String::npos) << text;
  EXPECT_NE(text.find("Height = 23"), String::npos) << "no auto size: the height is written\n" << text;
  EXPECT_EQ(text.find("Height = 23"), text.rfind("Height = 23")) << "once\n" << text;

  TObjectPtr<TForm> copy(NewObject<TForm>(nullptr, 0));
  ReadComponentFromText(text, copy.get(), "form");
  auto* readEdit = dynamic_cast<TTestEdit*>(copy->FindComponent("Frequency"));
  ASSERT_NE(readEdit, nullptr);
  ASSERT_NE(readEdit->RepositoryItem(), nullptr);
  EXPECT_EQ(readEdit->RepositoryItem()->Name(), "ChannelItem");
  EXPECT_EQ(readEdit->ActiveProperties(), readEdit->RepositoryItem()->Properties());
  EXPECT_EQ(readEdit->Style()->StyleController(), copy->FindComponent("Styles"));
  EXPECT_EQ(readEdit->Style()->ButtonStyle(), btsUltraFlat);
  EXPECT_EQ(readEdit->Height(), 23);
  EXPECT_EQ(readEdit->Width(), 120);
}

}  // namespace
