// The in-process registry of automation objects: creation by identifier, the error for an identifier no
// one registered, and the objects' reference counts.
#include <gtest/gtest.h>

#include "platform/ole/ComObj.h"

namespace ole_test {
namespace {

// Counts the live objects; answers one member, "Answer", with 42.
class TCounted : public TDispatchObject {
 public:
  explicit TCounted(int& Live) : live_(Live) { ++live_; }
  ~TCounted() override { --live_; }

  HRESULT GetIDsOfNames(const WideString& Name, DISPID& Id) override {
    if (Name != u"Answer") return DISP_E_UNKNOWNNAME;
    Id = 1;
    return S_OK;
  }
  HRESULT Invoke(DISPID Id, WORD, DISPPARAMS&, Variant* Result, EXCEPINFO*) override {
    if (Id != 1) return DISP_E_MEMBERNOTFOUND;
    if (Result != nullptr) *Result = Integer{42};
    return S_OK;
  }

 private:
  int& live_;
};

TEST(ComObjTest, CreatesRegisteredObjectsByIdentifierIgnoringCase) {
  int live = 0;
  RegisterOleObject("Test.Counted", [&live] { return new TCounted(live); });
  {
    Variant object = CreateOleObject("test.COUNTED");
    ASSERT_TRUE(object.IsDispatch());
    EXPECT_EQ(live, 1);
    DISPID id = 0;
    ASSERT_EQ(object.AsDispatch()->GetIDsOfNames(u"Answer", id), S_OK);
    DISPPARAMS params;
    Variant result;
    ASSERT_EQ(object.AsDispatch()->Invoke(id, DISPATCH_METHOD, params, &result, nullptr), S_OK);
    EXPECT_EQ(result.AsInteger(), 42);
    Variant copy = object;
    object.Clear();
    EXPECT_EQ(live, 1);
  }
  // The last Variant holding it released the object.
  EXPECT_EQ(live, 0);
  UnregisterOleObject("TEST.Counted");
  EXPECT_THROW(CreateOleObject("Test.Counted"), EOleSysError);
}

TEST(ComObjTest, UnknownIdentifierIsAnInvalidClassString) {
  try {
    CreateOleObject("Excel.Application");
    FAIL() << "no error";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.Message(), "Invalid class string");
    EXPECT_EQ(error.ErrorCode, CO_E_CLASSSTRING);
  }
}

TEST(ComObjTest, RegisteringAgainReplacesTheFactory) {
  int first = 0;
  int second = 0;
  RegisterOleObject("Test.Replaced", [&first] { return new TCounted(first); });
  RegisterOleObject("TEST.REPLACED", [&second] { return new TCounted(second); });
  Variant object = CreateOleObject("Test.Replaced");
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
  UnregisterOleObject("Test.Replaced");
}

}  // namespace
}  // namespace ole_test
