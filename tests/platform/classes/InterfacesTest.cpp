// Interfaces: GUIDs, interface tables, reference counts of interface lists and interfaced persistents.
#include <gtest/gtest.h>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Classes.h"

namespace classes_test {

// An interface with a GUID, and objects that count references.
class ICounter : public IInterface {
 public:
  virtual Integer Value() = 0;

 protected:
  ~ICounter() = default;
};
inline constexpr TGUID IID_ICounter = TGUID::Parse("{F49C5F08-1234-4ABC-9DEF-0123456789AB}");

class TCounted : public TPersistent, public ICounter {
  K58_CLASS(TCounted, TPersistent)

  TCounted() = default;
  HRESULT QueryInterface(const TGUID& IID, void** Obj) override {
    return GetInterface(IID, Obj) ? S_OK : E_NOINTERFACE;
  }
  Integer _AddRef() override { return ++refs; }
  Integer _Release() override { return --refs; }
  Integer Value() override { return 7; }
  Integer refs = 0;
};
K58_IMPLEMENT_CLASS(TCounted) {
  b.Interface<IInterface>(IID_IInterface);
  b.Interface<ICounter>(IID_ICounter);
}

// A persistent whose owner counts its references.
class TOwnedPart : public TInterfacedPersistent {
 public:
  explicit TOwnedPart(TPersistent* owner) : owner_(owner) {}
  TPersistent* GetOwner() override { return owner_; }

 private:
  TPersistent* owner_;
};

namespace {

TEST(InterfacesTest, GuidsParseFromTheirText) {
  constexpr TGUID g = TGUID::Parse("{F49C5F08-1234-4ABC-9DEF-0123456789AB}");
  EXPECT_EQ(g.D1, 0xF49C5F08u);
  EXPECT_EQ(g.D2, 0x1234);
  EXPECT_EQ(g.D3, 0x4ABC);
  EXPECT_EQ(g.D4[0], 0x9D);
  EXPECT_EQ(g.D4[7], 0xAB);
  EXPECT_EQ(g, IID_ICounter);
  EXPECT_FALSE(g == IID_IInterface);
  EXPECT_EQ(TGUID::Parse("not a guid"), TGUID());
}

TEST(InterfacesTest, QueryInterfaceAnswersFromTheInterfaceTable) {
  TCounted counted;
  void* found = nullptr;
  ASSERT_EQ(counted.QueryInterface(IID_ICounter, &found), S_OK);
  EXPECT_EQ(static_cast<ICounter*>(found)->Value(), 7);
  EXPECT_EQ(static_cast<ICounter*>(found), static_cast<ICounter*>(&counted));
  EXPECT_EQ(counted.QueryInterface(TGUID::Parse("{11111111-2222-3333-4444-555555555555}"), &found), E_NOINTERFACE);
  EXPECT_EQ(found, nullptr);
  ICounter* counter = nullptr;
  EXPECT_TRUE(Supports(static_cast<TObject*>(&counted), counter));
  TStringList list;
  EXPECT_FALSE(Supports(static_cast<TObject*>(&list), counter));
}

TEST(InterfacesTest, AnInterfaceListHoldsAReferenceToEachEntry) {
  TCounted a;
  TCounted b;
  {
    TInterfaceList list;
    list.Add(&a);
    list.Add(&b);
    list.Add(&a);
    EXPECT_EQ(a.refs, 2);
    EXPECT_EQ(list.IndexOf(&b), 1);
    EXPECT_EQ(list.Remove(&a), 0);
    EXPECT_EQ(a.refs, 1);
    list.Put(0, &a);  // b leaves, a comes
    EXPECT_EQ(b.refs, 0);
    EXPECT_EQ(a.refs, 2);
    EXPECT_THROW(list.Get(2), EListError);
  }
  EXPECT_EQ(a.refs, 0);
}

TEST(InterfacesTest, InterfacedPersistentsPassCountsToTheirOwner) {
  TCounted owner;
  TOwnedPart part(&owner);
  EXPECT_EQ(part._AddRef(), 1);
  EXPECT_EQ(owner.refs, 1);
  EXPECT_EQ(part._Release(), 0);
  TOwnedPart orphan(nullptr);
  EXPECT_EQ(orphan._AddRef(), -1);
  EXPECT_EQ(orphan._Release(), -1);
  void* self = nullptr;
  EXPECT_EQ(orphan.QueryInterface(IID_IInterface, &self), S_OK);
  EXPECT_EQ(self, static_cast<IInterface*>(&orphan));
}

}  // namespace

}  // namespace classes_test
