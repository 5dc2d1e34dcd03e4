// The message table, its lookup, and result codes turned into exceptions.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/classes/Component.h"
#include "serial/SioExcept.h"
#include "serial/SioStrMap.h"

TEST(MessageTable, HoldsEveryCodeOnceInOrderOfItsSize) {
  const SioMessageNumberLookupRecord* t = MessageTable();
  EXPECT_EQ(t[0].Code, 0);
  EXPECT_EQ(t[kMessageTableSize - 1].Code, 15742);
  for (int i = 1; i < kMessageTableSize; ++i)
    ASSERT_LT(std::abs(t[i - 1].Code), std::abs(t[i].Code)) << "record " << i;
  // Spot checks across the groups, and the records with an empty text.
  const struct {
    int index;
    Integer code;
  } spots[] = {{1, -2}, {6, -8}, {59, -4001}, {78, 4101}, {891, 15742}};
  for (const auto& s : spots) EXPECT_EQ(t[s.index].Code, s.code) << s.index;
  for (Integer code : {4200, 4600, 4630, 4660, 4725, 4726, 4727, 4728, 4730, 10000, 15100})
    EXPECT_EQ(LookupMessage(static_cast<SmallInt>(code)), "") << code;
}

TEST(MessageTable, LookupUsesAbsoluteValuesAndFallsBackToTheSystem) {
  const struct {
    Integer code;
    const char* text;
  } rows[] = {
      {0, "OK"},
      {-2011, "The ComNumber property of the TSioComPort has not been set"},
      {2011, "The ComNumber property of the TSioComPort has not been set"},
      {-2001, "ie_BadId - Specified comport doesn't exist"},
      {-3006, "Output buffer too small for block"},
      {-5, "File access denied"},
      {15001 + 1, "Dispatch"},
      {15100 + 17, "Window"},
      {15608, "DCD "},
      {87, "The parameter is incorrect."},  // no record: the system's text
      {4200, ""},                           // empty record, and no system text either
      {-1, ""},
  };
  for (const auto& r : rows) EXPECT_EQ(MessageText(r.code), r.text) << r.code;
}

TEST(MessageTable, CleanMessageTurnsControlsIntoSingleBlanks) {
  EXPECT_EQ(CleanMessage("Access denied.\r\n"), "Access denied. ");
  EXPECT_EQ(CleanMessage("a\t\tb   c"), "a b c");
  EXPECT_EQ(CleanMessage(""), "");
}

namespace {

struct Raised {
  String cls;
  String message;
  Integer code = 0;
};

Raised Raise(Integer code) {
  Raised r;
  try {
    RaiseIfError(nullptr, code);
    r.cls = "none";
  } catch (const ESIOException& e) {
    r.cls = e.ClassName();
    r.message = e.Message();
    r.code = e.ErrorCode;
  } catch (const EInOutError& e) {
    r.cls = e.ClassName();
    r.message = e.Message();
    r.code = e.ErrorCode;
  } catch (const Exception& e) {
    r.cls = e.ClassName();
    r.message = e.Message();
  }
  return r;
}

}  // namespace

TEST(RaiseIfError, MapsCodesToTheirClasses) {
  const struct {
    Integer code;
    const char* cls;
  } rows[] = {
      {-1002, "EBadArgument"},     {-1009, "ECannotUseWithWinSock"}, {-7003, "EInternal"},
      {-2001, "EBadId"},           {-2007, "ECommNotOpen"},          {-2008, "EAlreadyOpen"},
      {-2011, "ENoPortSelected"},  {-2012, "ENotOpenedByTapi"},      {-3001, "ENullApi"},
      {-3006, "EOutputBufferTooSmall"}, {-3007, "EBufferIsEmpty"},   {-3010, "EBaseAddressNotSet"},
      {-4004, "ENotDialing"},      {-4005, "EAlreadyDialing"},       {-5003, "EBadTriggerHandle"},
      {-6008, "EProtocol"},        {-7014, "EBadFieldForIndex"},     {-8053, "EInvalidPageNumber"},
      {-8060, "EFaxBadMachine"},   {-8070, "EFaxPageError"},         {-13801, "ETapiAllocated"},
      {-13805, "ETapiCallUnavail"}, {-13843, "ETapiInvalLineHandle"}, {-13850, "ETapiInvalParam"}, {-13928, "ETapiBusy"},
      {-13942, "ETapiTranslateFail"}, {-13980, "ERasLoadFail"},
      // Codes without a class of their own.
      {-1001, "ESIOException"},    {-3002, "ESIOException"},         {-13804, "ESIOException"},
      {-1, "ESIOException"},       {-20000, "ESIOException"},
      // File and device errors.
      {-3, "EInOutError"},         {-162, "EInOutError"},            {-8, "EOutOfMemory"},
  };
  for (const auto& r : rows) EXPECT_EQ(Raise(r.code).cls, r.cls) << r.code;
}

TEST(RaiseIfError, CarriesTheCodeAndTheTableText) {
  Raised r = Raise(-2011);
  EXPECT_EQ(r.code, -2011);
  EXPECT_EQ(r.message, "The ComNumber property of the TSioComPort has not been set");
  r = Raise(-5);
  EXPECT_EQ(r.cls, "EInOutError");
  EXPECT_EQ(r.code, 5);
  EXPECT_EQ(r.message, "File access denied");
  r = Raise(-1);
  EXPECT_EQ(r.message, "Serl exception");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(Raise(0).cls, "none");
  EXPECT_EQ(RaiseIfError(nullptr, 1), 1);  // positive results pass through
}

TEST(RaiseIfError, IsSilentWhileThePortIsLoading) {
  TComponent port(nullptr);
  port.SetLoading(true);
  EXPECT_EQ(RaiseIfError(&port, -2007), -2007);
  port.SetLoading(false);
  EXPECT_THROW(RaiseIfError(&port, -2007), ECommNotOpen);
}

TEST(RaiseIfError, FamiliesCatchTheirLeaves) {
  EXPECT_THROW(RaiseIfError(nullptr, -2008), EOpenComm);
  EXPECT_THROW(RaiseIfError(nullptr, -3007), ESerialIO);
  EXPECT_THROW(RaiseIfError(nullptr, -13900 + 30), ETapi);  // -13870
  EXPECT_THROW(RaiseIfError(nullptr, -2001), ESIOException);
}
