// The repository items of the editor kinds (their Properties class, copying, loading from form text) and
// the default-item registry: order and look-ups, keys at the extremes of a pointer, items freed while
// registered several times, and a registry freed before its items.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "controls/editors/uiEditRepositoryItems.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Filer.h"
#include "tests/controls/editors/EditTesting.h"

using namespace editors_test;

// A root for form text that lists the components it owns without a parent of their own.
class TRepositoryTestModule : public TComponent {
  K58_CLASS(TRepositoryTestModule, TComponent)
 public:
  explicit TRepositoryTestModule(TComponent* AOwner) : TComponent(AOwner) {}
  void GetChildren(TGetChildProc Proc, TComponent*) override {
    for (Integer i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) Proc(Components(i));
  }
};

K58_IMPLEMENT_CLASS(TRepositoryTestModule) {}

namespace repository_test {

// A registry that counts its change notices.
class TCountingRegistry : public TuiEditRegisteredRepositoryItems {
 public:
  void Changed() override { ++Changes; }
  int Changes = 0;
};

class RegistryTest : public EditUnitsTest {
 protected:
  RegistryTest() : Repository(new TuiEditRepository(nullptr)) {}
  ~RegistryTest() override { FreeObject(Repository); }
  TuiEditRepositoryItem* NewItem() { return Repository->CreateItem(TuiEditRepositoryTextItem::StaticClass()); }
  static std::vector<std::pair<TuiEditRegistrationKey, Integer>> Pairs(const TuiEditRegisteredRepositoryItemsDataArray& A) {
    std::vector<std::pair<TuiEditRegistrationKey, Integer>> pairs;
    for (const auto& r : A) pairs.emplace_back(r.Key, r.Version);
    return pairs;
  }
  using PairList = std::vector<std::pair<TuiEditRegistrationKey, Integer>>;

  TuiEditRepository* Repository;
};

TEST_F(RegistryTest, RegistrationsKeepTheirOrderAndLookUps) {
  TCountingRegistry registry;
  TuiEditRepositoryItem *a = NewItem(), *b = NewItem(), *c = NewItem(), *d = NewItem(), *e = NewItem();
  EXPECT_EQ(0, registry.RegisterItem(5, -1, a));
  EXPECT_EQ(0, registry.RegisterItem(9, -1, b));
  EXPECT_EQ(1, registry.RegisterItem(5, 3, c));
  EXPECT_EQ((PairList{{9, -1}, {5, 3}, {5, -1}}), Pairs(registry.Items()));
  EXPECT_EQ(3, registry.Changes);

  // A pair registered already keeps its item; the newcomer is not listened to.
  EXPECT_EQ(2, registry.RegisterItem(5, -1, d));
  EXPECT_EQ(0, d->ListenerCount());
  EXPECT_EQ(3, registry.Changes);
  const TuiEditRepositoryItem* five = registry.GetItem(5);
  EXPECT_TRUE(five == a || five == c);

  // Without a default an unknown key finds nothing; with defaults the highest version answers.
  EXPECT_EQ(nullptr, registry.GetItem(7));
  registry.RegisterDefaultItem(-1, d);
  registry.RegisterDefaultItem(2, e);
  EXPECT_EQ(e, registry.GetItem(7));
  EXPECT_EQ(e, registry.GetDefaultItem());
  // Key 0 is the default's, even with a keyed record of 0.
  registry.RegisterItem(0, -1, a);
  EXPECT_EQ(e, registry.GetItem(0));

  // Unregistering a version that is not there changes nothing.
  registry.RegisterItem(7, 3, b);
  registry.UnregisterItem(7, -1);
  EXPECT_EQ(b, registry.GetItem(7));
  registry.UnregisterItem(7, 3);
  EXPECT_EQ(e, registry.GetItem(7));
  registry.UnregisterDefaultItem(2);
  EXPECT_EQ(d, registry.GetItem(7));
  registry.UnregisterDefaultItem(5);
  EXPECT_EQ(1, registry.DefaultItemCount());
}

TEST_F(RegistryTest, KeysAtThePointerExtremesStaySorted) {
  TuiEditRegisteredRepositoryItems registry;
  const TuiEditRegistrationKey keys[] = {1, INTPTR_MAX, -1, INTPTR_MIN, INTPTR_MAX - 1, INTPTR_MIN + 1,
                                         static_cast<TuiEditRegistrationKey>(0x7ffd12345678),
                                         static_cast<TuiEditRegistrationKey>(0x55aa00001000), INT_MAX, INT_MIN};
  std::vector<TuiEditRepositoryItem*> items;
  for (TuiEditRegistrationKey key : keys) {
    items.push_back(NewItem());
    registry.RegisterItem(key, -1, items.back());
  }
  registry.RegisterItem(INTPTR_MIN, AnyRegistrationVersion - 1, items[0]);
  registry.RegisterItem(INTPTR_MIN, INT_MIN, items[1]);
  const auto& records = registry.Items();
  ASSERT_EQ(std::size(keys) + 2, records.size());
  for (size_t i = 1; i < records.size(); ++i) {
    const bool descending = records[i - 1].Key > records[i].Key ||
                            (records[i - 1].Key == records[i].Key && records[i - 1].Version > records[i].Version);
    EXPECT_TRUE(descending) << i;
  }
  for (size_t i = 0; i < std::size(keys); ++i) {
    if (keys[i] == INTPTR_MIN) continue;  // three versions: any may answer
    EXPECT_EQ(items[i], registry.GetItem(keys[i])) << keys[i];
  }
  Integer index = 0;
  EXPECT_TRUE(TuiEditRegisteredRepositoryItems::FindRegistration(records, INTPTR_MIN, INT_MIN, index));
  EXPECT_EQ(static_cast<Integer>(records.size()) - 1, index);
  EXPECT_FALSE(TuiEditRegisteredRepositoryItems::FindRegistration(records, 0, -1, index));
  EXPECT_EQ(records[index - 1].Key, 1);
}

TEST_F(RegistryTest, ItemFreedWithThreeRegistrationsLeavesNone) {
  TCountingRegistry registry;
  TuiEditRepositoryItem* item = NewItem();
  TuiEditRepositoryItem* other = NewItem();
  registry.RegisterItem(1, -1, item);
  registry.RegisterItem(2, -1, item);
  registry.RegisterDefaultItem(-1, item);
  registry.RegisterItem(3, -1, other);
  EXPECT_EQ(1, item->ListenerCount());

  // Dropping one registration keeps the registry listening for the other two.
  registry.UnregisterItem(1, -1);
  EXPECT_EQ(1, item->ListenerCount());
  registry.RegisterItem(1, -1, item);

  registry.Changes = 0;
  FreeObject(item);
  EXPECT_EQ(3, registry.Changes);
  EXPECT_EQ(0, registry.DefaultItemCount());
  EXPECT_EQ((PairList{{3, -1}}), Pairs(registry.Items()));
  EXPECT_EQ(nullptr, registry.GetItem(2));
  EXPECT_EQ(other, registry.GetItem(3));
}

TEST_F(RegistryTest, FreedRegistryLeavesNoListener) {
  TuiEditRepositoryItem *a = NewItem(), *b = NewItem();
  auto registry = std::make_unique<TCountingRegistry>();
  registry->RegisterItem(4, -1, a);
  registry->RegisterItem(4, 1, a);
  registry->RegisterDefaultItem(-1, b);
  EXPECT_EQ(1, a->ListenerCount());
  EXPECT_EQ(1, b->ListenerCount());
  registry.reset();
  EXPECT_EQ(0, a->ListenerCount());
  EXPECT_EQ(0, b->ListenerCount());

  // A Properties change reaches the registry as a change notice.
  TCountingRegistry listening;
  listening.RegisterItem(4, -1, a);
  listening.Changes = 0;
  a->Properties()->SetReadOnly(true);
  EXPECT_EQ(1, listening.Changes);
}

TEST_F(RegistryTest, ItemsHoldPropertiesOfTheirKind) {
  struct Case {
    TClass Item;
    TClass Properties;
  };
  const Case cases[] = {{TuiEditRepositoryTextItem::StaticClass(), TuiTextEditProperties::StaticClass()},
                        {TuiEditRepositoryButtonItem::StaticClass(), TuiButtonEditProperties::StaticClass()},
                        {TuiEditRepositoryImageItem::StaticClass(), TuiImageProperties::StaticClass()},
                        {TuiEditRepositoryComboBoxItem::StaticClass(), TuiComboBoxProperties::StaticClass()},
                        {TuiEditRepositoryMaskItem::StaticClass(), TuiMaskEditProperties::StaticClass()},
                        {TuiEditRepositoryCalcItem::StaticClass(), TuiCalcEditProperties::StaticClass()},
                        {TuiEditRepositoryCheckBoxItem::StaticClass(), TuiCheckBoxProperties::StaticClass()},
                        {TuiEditRepositoryRadioGroupItem::StaticClass(), TuiRadioGroupProperties::StaticClass()},
                        {TuiEditRepositoryTimeItem::StaticClass(), TuiTimeEditProperties::StaticClass()},
                        {TuiEditRepositoryDateItem::StaticClass(), TuiDateEditProperties::StaticClass()},
                        {TuiEditRepositoryPopupItem::StaticClass(), TuiPopupEditProperties::StaticClass()},
                        {TuiEditRepositoryCurrencyItem::StaticClass(), TuiCurrencyEditProperties::StaticClass()},
                        {TuiEditRepositorySpinItem::StaticClass(), TuiSpinEditProperties::StaticClass()},
                        {TuiEditRepositoryMemoItem::StaticClass(), TuiMemoProperties::StaticClass()},
                        {TuiEditRepositoryImageComboBoxItem::StaticClass(), TuiImageComboBoxProperties::StaticClass()},
                        {TuiEditRepositoryBlobItem::StaticClass(), TuiBlobEditProperties::StaticClass()},
                        {TuiEditRepositoryMRUItem::StaticClass(), TuiMRUEditProperties::StaticClass()},
                        {TuiEditRepositoryHyperLinkItem::StaticClass(), TuiHyperLinkEditProperties::StaticClass()}};
  for (const Case& c : cases) {
    TuiEditRepositoryItem* item = Repository->CreateItem(c.Item);
    EXPECT_EQ(c.Properties, item->Properties()->ClassType()) << item->ClassName();
  }
  // Assigning copies: the source stays the caller's.
  auto* item = static_cast<TuiEditRepositoryCheckBoxItem*>(Repository->CreateItem(TuiEditRepositoryCheckBoxItem::StaticClass()));
  auto* source = new TuiCheckBoxProperties;
  source->SetReadOnly(true);
  item->SetProperties(source);
  EXPECT_NE(static_cast<TuiCustomEditProperties*>(source), item->Properties());
  FreeObject(source);
  EXPECT_TRUE(item->Properties()->ReadOnly());

  // A new memo item starts with the memo's own settings.
  auto* memo = static_cast<TuiEditRepositoryMemoItem*>(Repository->CreateItem(TuiEditRepositoryMemoItem::StaticClass()));
  EXPECT_TRUE(memo->Properties()->WantReturns());
  EXPECT_EQ(memo->Properties()->ScrollBars(), ssNone);
  // Image settings are copied and outlive their source.
  auto* image = static_cast<TuiEditRepositoryImageItem*>(Repository->CreateItem(TuiEditRepositoryImageItem::StaticClass()));
  auto* imageSource = new TuiImageProperties;
  imageSource->SetStretch(true);
  imageSource->SetCaption("None");
  imageSource->SetGraphicClass(nullptr);
  image->SetProperties(imageSource);
  FreeObject(imageSource);
  EXPECT_TRUE(image->Properties()->Stretch());
  EXPECT_EQ(image->Properties()->Caption(), "None");
  EXPECT_EQ(image->Properties()->GraphicClass(), nullptr);
}

TEST_F(RegistryTest, EveryItemClassLoadsFromFormText) {
  const String text =
      "object Module: TRepositoryTestModule\n"
      "  object Repository: TuiEditRepository\n"
      "  end\n"
      "  object TextItem: TuiEditRepositoryTextItem\n"
      "    Properties.ReadOnly = True\n"
      "  end\n"
      "  object MaskItem: TuiEditRepositoryMaskItem\n"
      "  end\n"
      "  object CalcItem: TuiEditRepositoryCalcItem\n"
      "    Properties.Precision = 6\n"
      "  end\n"
      "  object CheckItem: TuiEditRepositoryCheckBoxItem\n"
      "  end\n"
      "  object RadioItem: TuiEditRepositoryRadioGroupItem\n"
      "  end\n"
      "  object TimeItem: TuiEditRepositoryTimeItem\n"
      "    Properties.TimeFormat = tfHourMin\n"
      "  end\n"
      "  object DateItem: TuiEditRepositoryDateItem\n"
      "    Properties.Kind = ckDateTime\n"
      "    Properties.DateButtons = [btnToday]\n"
      "    Properties.SaveTime = False\n"
      "  end\n"
      "  object ButtonItem: TuiEditRepositoryButtonItem\n"
      "  end\n"
      "  object ImageItem: TuiEditRepositoryImageItem\n"
      "    Properties.Stretch = True\n"
      "  end\n"
      "  object ComboItem: TuiEditRepositoryComboBoxItem\n"
      "  end\n"
      "  object PopupItem: TuiEditRepositoryPopupItem\n"
      "  end\n"
      "  object CurrencyItem: TuiEditRepositoryCurrencyItem\n"
      "  end\n"
      "  object SpinItem: TuiEditRepositorySpinItem\n"
      "  end\n"
      "  object MemoItem: TuiEditRepositoryMemoItem\n"
      "  end\n"
      "  object ImageComboItem: TuiEditRepositoryImageComboBoxItem\n"
      "  end\n"
      "  object BlobItem: TuiEditRepositoryBlobItem\n"
      "    Properties.BlobEditKind = bekPict\n"
      "  end\n"
      "  object MRUItem: TuiEditRepositoryMRUItem\n"
      "    Properties.MaxItemCount = 4\n"
      "  end\n"
      "  object LinkItem: TuiEditRepositoryHyperLinkItem\n"
      "  end\n"
      "end\n";
  TObjectPtr<TRepositoryTestModule> module(new TRepositoryTestModule(nullptr));
  ReadComponentFromText(text, module.get(), "module");
  ASSERT_NE(nullptr, dynamic_cast<TuiEditRepository*>(module->FindComponent("Repository")));
  for (const char* name : {"TextItem", "MaskItem", "CalcItem", "CheckItem", "RadioItem", "TimeItem", "DateItem",
                           "ButtonItem", "ImageItem", "ComboItem", "PopupItem", "CurrencyItem", "SpinItem", "MemoItem",
                           "ImageComboItem", "BlobItem", "MRUItem", "LinkItem"})
    EXPECT_NE(nullptr, dynamic_cast<TuiEditRepositoryItem*>(module->FindComponent(name))) << name;
  auto* text_item = dynamic_cast<TuiEditRepositoryTextItem*>(module->FindComponent("TextItem"));
  ASSERT_NE(nullptr, text_item);
  EXPECT_TRUE(text_item->Properties()->ReadOnly());
  auto* calc_item = dynamic_cast<TuiEditRepositoryCalcItem*>(module->FindComponent("CalcItem"));
  ASSERT_NE(nullptr, calc_item);
  EXPECT_EQ(calc_item->Properties()->Precision(), 6);
  auto* time_item = dynamic_cast<TuiEditRepositoryTimeItem*>(module->FindComponent("TimeItem"));
  ASSERT_NE(nullptr, time_item);
  EXPECT_EQ(tfHourMin, time_item->Properties()->TimeFormat());
  auto* date_item = dynamic_cast<TuiEditRepositoryDateItem*>(module->FindComponent("DateItem"));
  ASSERT_NE(nullptr, date_item);
  EXPECT_EQ(ckDateTime, date_item->Properties()->Kind());
  EXPECT_EQ(TDateButtons().Include(btnToday), date_item->Properties()->DateButtons());
  EXPECT_TRUE(date_item->Properties()->IsDateButtonsStored());
  EXPECT_FALSE(date_item->Properties()->SaveTime());
  EXPECT_EQ(ikMask, date_item->Properties()->InputKind()) << "the unassigned input kind follows the kind read";
  auto* blob = dynamic_cast<TuiEditRepositoryBlobItem*>(module->FindComponent("BlobItem"));
  ASSERT_NE(nullptr, blob);
  EXPECT_EQ(blob->Properties()->BlobEditKind(), bekPict);
  auto* mru = dynamic_cast<TuiEditRepositoryMRUItem*>(module->FindComponent("MRUItem"));
  ASSERT_NE(nullptr, mru);
  EXPECT_EQ(mru->Properties()->MaxItemCount(), 4);
  // What is written reads back into the same text.
  const String written = WriteComponentToText(module.get());
  TObjectPtr<TRepositoryTestModule> copy(new TRepositoryTestModule(nullptr));
  ReadComponentFromText(written, copy.get(), "module");
  EXPECT_EQ(WriteComponentToText(copy.get()), written);
}

}  // namespace repository_test
