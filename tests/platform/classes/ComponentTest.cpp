// Components: ownership, names, notifications and free notification.
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "platform/classes/ClassBuilder.h"

namespace classes_test {

namespace {

// Records the notifications it receives.
class TWatcher : public TComponent {
 public:
  explicit TWatcher(TComponent* AOwner, std::vector<String>* log = nullptr) : TComponent(AOwner), log_(log) {}
  void Notification(TComponent* AComponent, TOperation Operation) override {
    if (log_ != nullptr && AComponent != nullptr) {
      log_->push_back(Name() + (Operation == opInsert ? " +" : " -") + AComponent->Name());
    }
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == Watched) Watched = nullptr;
  }
  TComponent* Watched = nullptr;

 private:
  std::vector<String>* log_;
};

TEST(ComponentTest, OwnerFreesWhatItOwnsLastFirst) {
  std::vector<String> freed;
  struct Tracked : TComponent {
    Tracked(TComponent* owner, std::vector<String>& log, const char* name) : TComponent(owner), log_(log) {
      SetName(name);
    }
    ~Tracked() override { log_.push_back(Name()); }
    std::vector<String>& log_;
  };
  {
    TComponent owner(nullptr);
    new Tracked(&owner, freed, "A");
    auto* b = new Tracked(&owner, freed, "B");
    new Tracked(b, freed, "C");
    EXPECT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.Components(1), b);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_THROW(owner.Components(2), EListError);
  }
  EXPECT_EQ(freed, (std::vector<String>{"B", "C", "A"}));
}

TEST(ComponentTest, AFreedComponentLeavesItsOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  FreeObject(a);
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components(0), b);
}

TEST(ComponentTest, NamesFollowIdentifierRulesAndAreUniquePerOwner) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Button1");
  EXPECT_EQ(owner.FindComponent("BUTTON1"), a);
  EXPECT_EQ(owner.FindComponent(""), nullptr);

  struct Case {
    const char* name;
    const char* message;
  };
  const Case cases[] = {
      {"1abc", "'1abc' is not a valid component name"},
      {"a b", "'a b' is not a valid component name"},
      {"button1", "A component named button1 already exists"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      b->SetName(c.name);
      FAIL();
    } catch (const EComponentError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  EXPECT_EQ(b->Name(), "");
  a->SetName("BUTTON1");  // its own name in another case is no clash
  EXPECT_EQ(a->Name(), "BUTTON1");
  b->SetName("_Second2");
  EXPECT_EQ(b->Name(), "_Second2");

  // A component that moves to another owner is checked against its names.
  TComponent other(nullptr);
  auto* clash = new TComponent(&other);
  clash->SetName("_Second2");
  EXPECT_THROW(owner.InsertComponent(clash), EComponentError);
  EXPECT_EQ(clash->Owner(), &other);
}

TEST(ComponentTest, NotificationsReachTheOwnerAndEveryOwnedComponent) {
  std::vector<String> log;
  TWatcher owner(nullptr, &log);
  owner.SetName("Owner");
  auto* first = new TWatcher(&owner, &log);
  first->SetName("First");
  auto* second = new TWatcher(&owner, &log);
  second->SetName("Second");
  log.clear();

  auto* third = new TComponent(nullptr);
  third->SetName("Third");
  owner.InsertComponent(third);
  FreeObject(third);
  // Owned components hear it last first, after the owner.
  EXPECT_EQ(log, (std::vector<String>{"Owner +Third", "Second +Third", "First +Third", "Owner -Third",
                                      "Second -Third", "First -Third"}));
}

TEST(ComponentTest, FreeNotificationLinksComponentsOfDifferentOwners) {
  TComponent formA(nullptr);
  TComponent formB(nullptr);
  auto* watcher = new TWatcher(&formA);
  auto* menu = new TComponent(&formB);
  watcher->Watched = menu;
  menu->FreeNotification(watcher);
  EXPECT_TRUE(menu->ComponentState().Contains(csFreeNotification));
  FreeObject(menu);
  EXPECT_EQ(watcher->Watched, nullptr);

  // Either side may go first; the link is undone both ways.
  auto* menu2 = new TComponent(&formB);
  watcher->Watched = menu2;
  menu2->FreeNotification(watcher);
  FreeObject(watcher);
  EXPECT_FALSE(menu2->ComponentState().Contains(csFreeNotification));
  FreeObject(menu2);
}

TEST(ComponentTest, AnOwnedComponentThatIsFreedIsForgottenByItsSiblings) {
  TTestForm form(nullptr);
  auto* button = new TTestControl(&form);
  auto* menu = new TTestMenu(&form);
  button->SetPopupMenu(menu);
  FreeObject(menu);
  EXPECT_EQ(button->GetPopupMenu(), nullptr);

  // Also when the menu has left the owner before it is freed.
  auto* menu2 = new TTestMenu(&form);
  button->SetPopupMenu(menu2);
  form.RemoveComponent(menu2);
  FreeObject(menu2);
  EXPECT_EQ(button->GetPopupMenu(), nullptr);
}

TEST(ComponentTest, DestroyingMarksTheWholeTree) {
  bool sawDestroying = false;
  struct Probe : TComponent {
    Probe(TComponent* owner, bool& flag) : TComponent(owner), flag_(flag) {}
    ~Probe() override { flag_ = Owner() == nullptr && ComponentState().Contains(csDestroying); }
    bool& flag_;
  };
  auto* owner = new TComponent(nullptr);
  new Probe(owner, sawDestroying);
  FreeObject(owner);
  EXPECT_TRUE(sawDestroying);
}

TEST(ComponentTest, NamePaths) {
  TTestForm form(nullptr);
  form.SetName("Form1");
  EXPECT_EQ(form.GetNamePath(), "Form1");
  // A collection is named after the owner's published property that holds it.
  form.GetItems()->Add();
  EXPECT_EQ(form.GetItems()->GetItem(0)->GetNamePath(), "Form1.Items[0]");
  TOwnedCollection unpublished(&form, TTestItem::StaticClass());
  unpublished.Add();
  EXPECT_EQ(unpublished.GetItem(0)->GetNamePath(), "TOwnedCollection[0]");
  TCollection ownerless(TTestItem::StaticClass());
  EXPECT_EQ(ownerless.GetNamePath(), "TCollection");
}

}  // namespace

}  // namespace classes_test
