// The memory image kept in ALL: the blank image, the ident stamp, the settings clamp and the writing of
// channel fields from interface texts.
#include <algorithm>

#include "app/AllClass.h"
#include "platform/rtl/SysUtils.h"
#include "tests/app/AppTestSupport.h"

namespace {

using app_test::TFixedClock;

class Image : public app_test::DocumentTest {
protected:
  void SetUp() override {
    DocumentTest::SetUp();
    TFixedClock Clock;
    SelectDefaultModelAndNewImage();
  }

  std::vector<Byte> Bytes(Integer From, Integer Count) const {
    return std::vector<Byte>(ALL->Image.begin() + From, ALL->Image.begin() + From + Count);
  }
  Byte* Channel(Integer N) { return &ALL->Image[ChannelOffset(N)]; }
};

TEST_F(Image, BlankImage) {
  ALL->Image[432] = 0x12;  // file-only bytes 432 to 447 keep their values
  ALL->Image[447] = 0x34;
  ALL->NewPasswordOn = true;
  {
    TFixedClock Clock;
    ALL->NewImage();
  }
  EXPECT_FALSE(ALL->NewPasswordOn);
  for (Integer I = 0; I < 432; ++I) {
    const bool Written = (I >= 304 && I < 324) || (I >= 336 && I < 344) || (I >= 368 && I < 375);
    if (!Written) {
      ASSERT_EQ(ALL->Image[I], 0xFF) << "byte " << I;
    }
  }
  EXPECT_EQ(Bytes(304, 20),
            (std::vector<Byte>{1, 1, 0, 0, 5, 1, 1, 1, 0, 1, 0xFF, 0xFF, 0xFF, 1, 3, 0xFF, 1, 5, 1, 6}));
  EXPECT_EQ(Bytes(336, 8), (std::vector<Byte>{'P', 'Z', 'R', 'Q', 'X', 0xF4, 0x00, 0x00}));
  EXPECT_EQ(Bytes(368, 7), (std::vector<Byte>{0xEA, 0x07, 0x03, 0x07, 0x09, 0x05, 0x01}));
  EXPECT_EQ(ALL->Image[432], 0x12);
  EXPECT_EQ(ALL->Image[447], 0x34);
}

TEST_F(Image, StampIdentFollowsTheCurrentModelAndBand) {
  ALL->SelectModelByBand(nullptr, 0xF0, true);
  std::fill(ALL->Image.begin() + 336, ALL->Image.begin() + 344, Byte{0xEE});
  ALL->StampIdent();
  EXPECT_EQ(Bytes(336, 8), (std::vector<Byte>{'P', 'Z', 'R', 'Q', 'X', 0xF0, 0x00, 0x00}));
}

TEST_F(Image, SanitizeSettingsClampsEachByte) {
  struct {
    Integer Offset;
    Byte Stored;
    Byte Expected;
  } const Cases[] = {
      {304, 0xFE, 0},    {305, 0x03, 1},    {306, 0xFF, 1},    {307, 2, 0},        // bit 0 only
      {308, 8, 8},       {308, 9, 4},       {308, 0xFF, 4},                        // 0..8, else 4
      {309, 0x81, 1},    {313, 0xFE, 0},                                           // bit 0 only
      {314, 0x77, 0x77}, {315, 0x77, 0x77},                                        // not interpreted
      {316, 0x21, 0x21}, {316, 0x13, 0x10}, {316, 0x32, 0x02}, {316, 0xFF, 0x00},  // halves 0..2, else 0
      {317, 2, 2},       {317, 3, 0},                                              // 0..2, else 0
      {318, 4, 4},       {318, 5, 4},                                              // 0..4, else 4
      {319, 0x77, 0x77}, {320, 0xFE, 0xFE},                                        // no clamp
      {321, 9, 9},       {321, 10, 5},                                             // 0..9, else 5
      {322, 3, 3},       {322, 4, 1},                                              // 0..3, else 1
      {323, 30, 30},     {323, 31, 6},      {323, 0xFF, 6},                        // 0..30, else 6
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(testing::Message() << "byte " << Case.Offset << " = " << Integer(Case.Stored));
    ALL->NewImage();
    ALL->Image[Case.Offset] = Case.Stored;
    ALL->SanitizeSettings();
    EXPECT_EQ(ALL->Image[Case.Offset], Case.Expected);
  }
}

TEST_F(Image, SanitizeSettingsOnTheBlankImage) {
  ALL->SanitizeSettings();
  EXPECT_EQ(Bytes(304, 20),
            (std::vector<Byte>{1, 1, 0, 0, 5, 1, 1, 1, 0, 1, 0xFF, 0xFF, 0x00, 1, 3, 0xFF, 1, 5, 1, 6}));
}

TEST_F(Image, SanitizeSettingsMakesTheBandCodeMatchTheBand) {
  ALL->Image[ofsBandCode] = 0xFD;
  ALL->SanitizeSettings();
  EXPECT_EQ(ALL->Image[ofsBandCode], 0xF4);
}

TEST_F(Image, FrequencyFields) {
  ALL->SetChannelField(3, cfRxFrequency, "450.0125");
  ALL->SetChannelField(3, cfTxFrequency, "455.0000");
  ALL->SetChannelField(3, cfRxTone, "88.5");
  ALL->SetChannelField(3, cfTxTone, "D023N");
  ALL->SetChannelField(3, cfFlagBit0 + 3, "1");
  EXPECT_EQ(Bytes(ChannelOffset(3), 16), (std::vector<Byte>{0x50, 0x12, 0x00, 0x45, 0x00, 0x00, 0x50, 0x45,
                                                            0x85, 0x08, 0x23, 0x80, 0xFF, 0xFF, 0xFF, 0xFF}));
  // Channels next to it are untouched.
  EXPECT_EQ(Bytes(ChannelOffset(2), 16), std::vector<Byte>(16, 0xFF));
  EXPECT_EQ(Bytes(ChannelOffset(4), 16), std::vector<Byte>(16, 0xFF));

  // No transmit frequency also removes the transmit tone.
  ALL->SetChannelField(3, cfTxFrequency, "");
  EXPECT_EQ(Bytes(ChannelOffset(3) + 4, 8),
            (std::vector<Byte>{0xFF, 0xFF, 0xFF, 0xFF, 0x85, 0x08, 0xFF, 0xFF}));

  // No receive frequency empties the whole channel, flag byte included.
  ALL->SetChannelField(3, cfTxFrequency, "455");
  Channel(3)[12] = 0x00;
  Channel(3)[13] = 0x00;
  ALL->SetChannelField(3, cfRxFrequency, "");
  EXPECT_EQ(Bytes(ChannelOffset(3), 16), std::vector<Byte>(16, 0xFF));
}

TEST_F(Image, FlagFields) {
  for (Integer Bit = 0; Bit < 8; ++Bit) {
    SCOPED_TRACE(Bit);
    Channel(16)[12] = 0x00;
    ALL->SetChannelField(16, cfFlagBit0 + Bit, "1");
    EXPECT_EQ(Channel(16)[12], 1 << Bit);
    Channel(16)[12] = 0xFF;
    ALL->SetChannelField(16, cfFlagBit0 + Bit, "0");
    EXPECT_EQ(Channel(16)[12], 0xFF & ~(1 << Bit));
    Channel(16)[12] = 0xFF;
    ALL->SetChannelField(16, cfFlagBit0 + Bit, "true");  // only "1" sets
    EXPECT_EQ(Channel(16)[12], 0xFF & ~(1 << Bit));
  }
}

TEST_F(Image, BadFieldsLeaveTheImageUnchanged) {
  ALL->SetChannelField(1, cfRxFrequency, "450");
  const TMemoryImage Before = ALL->Image;
  EXPECT_THROW(ALL->SetChannelField(1, cfRxFrequency, "abc"), EConvertError);
  EXPECT_THROW(ALL->SetChannelField(1, cfTxFrequency, "1000"), EConvertError);
  EXPECT_THROW(ALL->SetChannelField(1, cfRxTone, "D99"), EConvertError);
  EXPECT_THROW(ALL->SetChannelField(1, cfTxTone, "x"), EConvertError);
  EXPECT_THROW(ALL->SetChannelField(0, cfRxFrequency, "450"), ERangeError);
  EXPECT_THROW(ALL->SetChannelField(17, cfRxFrequency, "450"), ERangeError);
  EXPECT_THROW(ALL->SetChannelField(1, 12, "1"), ERangeError);
  EXPECT_THROW(ALL->SetChannelField(1, -1, "1"), ERangeError);
  EXPECT_EQ(ALL->Image, Before);
}

TEST_F(Image, SnapToStepUsesTheDocumentSteps) {
  EXPECT_EQ(ALL->SnapToStep(450.0030), 450.0);
  ALL->StepA = 250;
  EXPECT_EQ(ALL->SnapToStep(450.0030), 450.0025);
}

}  // namespace
