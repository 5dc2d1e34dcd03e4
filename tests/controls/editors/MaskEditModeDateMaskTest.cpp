// The date and time masks the format controller builds for a locale with '.' and one with ',' as the
// decimal separator: each compiles in its mode and takes the texts of its own format, typed and whole.
#include "controls/foundation/uiFormats.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/common/RtlTesting.h"
#include "tests/controls/editors/MaskEditModeTest.h"

namespace editors_test {
namespace {

TFormatSettings DotLocale() {
  TFormatSettings fs = InvariantFormatSettings();
  fs.ShortDateFormat = "MM/dd/yyyy";
  fs.DateSeparator = '/';
  fs.LongTimeFormat = "h:mm:ss AMPM";
  return fs;
}

TFormatSettings CommaLocale() {
  TFormatSettings fs = CommaDecimalSettings();
  fs.ShortDateFormat = "dd.MM.yyyy";
  fs.DateSeparator = '.';
  fs.LongTimeFormat = "HH:mm:ss";
  return fs;
}

void ExpectTyped(TuiEditMaskKind AKind, const String& AMask, const String& AText) {
  SCOPED_TRACE(AMask + " <- " + AText);
  FakeMaskEdit edit(AKind, AMask);
  EXPECT_TRUE(edit.mode->IsTextValid(AText));
  edit.Enter();
  edit.Type(AText);
  EXPECT_EQ(edit.Text(), AText);
  // The auto-completing kind types the separators itself and refuses them when typed again.
  if (AKind == emkRegExpr) {
    EXPECT_EQ(edit.beeps, 0);
  }
}

TEST(MaskEditModes, DateAndTimeMasksOfTheLocales) {
  const TDateTime moments[] = {EncodeDateTime(2026, 12, 11, 9, 5, 7, 0), EncodeDateTime(1999, 1, 31, 23, 59, 0, 0)};
  for (const TFormatSettings& locale : {DotLocale(), CommaLocale()}) {
    SCOPED_TRACE(locale.ShortDateFormat);
    TFormatSettingsGuard pinned(locale);
    TuiFormatController* controller = GetFormatController();
    controller->Refresh();
    for (TDateTime moment : moments) {
      const String date = FormatDateTime(locale.ShortDateFormat, moment);
      const String dateTime = date + " " + FormatDateTime(locale.LongTimeFormat, moment);
      ExpectTyped(emkRegExpr, controller->RegExprDateMask(), date);
      ExpectTyped(emkRegExprEx, controller->RegExprDateMask(), date);
      ExpectTyped(emkRegExpr, controller->RegExprDateTimeMask(), dateTime);
      ExpectTyped(emkRegExprEx, controller->RegExprDateTimeMask(), dateTime);

      // The standard masks take the digits; the mask puts in the separators.
      FakeMaskEdit edit(emkStandard, controller->StandardDateMask());
      const String masked = FormatDateTime(controller->MaskedDateFormat(), moment);
      EXPECT_TRUE(edit.mode->IsTextValid(masked)) << controller->StandardDateMask() << " : " << masked;
      edit.Enter();
      String digits;
      for (char c : masked)
        if (c >= '0' && c <= '9') digits += c;
      edit.Type(digits);
      EXPECT_EQ(edit.Text(), masked);
      FakeMaskEdit full(emkStandard, controller->StandardDateTimeMask());
      const String maskedFull = FormatDateTime(controller->MaskedDateTimeFormat(), moment);
      EXPECT_TRUE(full.mode->IsTextValid(maskedFull)) << controller->StandardDateTimeMask() << " : " << maskedFull;
    }
  }
  GetFormatController()->Refresh();
}

}  // namespace
}  // namespace editors_test
