// Codecs of the memory image that do not depend on the document: frequencies, tones, channel records,
// step snapping, tone texts, write time, password scramble and the byte helpers.
#include <gtest/gtest.h>

#include <array>

#include "app/MeMode.h"
#include "platform/rtl/SysUtils.h"

namespace {

using Bytes4 = std::array<Byte, 4>;
using Bytes2 = std::array<Byte, 2>;

TEST(Frequency, EncodesAndDecodesBothWays) {
  struct {
    const char* Text;
    Bytes4 Bytes;
    double MHz;
  } const Cases[] = {
      {"450.0125", {0x50, 0x12, 0x00, 0x45}, 450.0125},   {"136", {0x00, 0x00, 0x60, 0x13}, 136.0},
      {"67.00625", {0x25, 0x06, 0x70, 0x06}, 67.00625},   {"0", {0x00, 0x00, 0x00, 0x00}, 0.0},
      {"999.99999", {0x99, 0x99, 0x99, 0x99}, 999.99999},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    EXPECT_EQ(EncodeFrequency(Case.Text), Case.Bytes);
    EXPECT_EQ(DecodeFrequency(Case.Bytes.data()), Case.MHz);
  }
}

TEST(Frequency, TextForms) {
  const Bytes4 Empty{0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(EncodeFrequency(""), Empty);
  EXPECT_EQ(EncodeFrequency("MHz"), Empty);
  EXPECT_EQ(EncodeFrequency("450.0125MHz"), (Bytes4{0x50, 0x12, 0x00, 0x45}));
  EXPECT_EQ(EncodeFrequency(" 450.0125 MHz"), (Bytes4{0x50, 0x12, 0x00, 0x45}));
  // Below 10 Hz the frequency rounds to the nearest 10 Hz.
  EXPECT_EQ(EncodeFrequency("450.000126"), (Bytes4{0x13, 0x00, 0x00, 0x45}));
}

TEST(Frequency, DecimalSeparatorIsTheLocales) {
  TFormatSettings Comma = InvariantFormatSettings();
  Comma.DecimalSeparator = ',';
  Comma.ThousandSeparator = '.';
  TFormatSettingsGuard Guard(Comma);
  EXPECT_EQ(EncodeFrequency("450,0125"), (Bytes4{0x50, 0x12, 0x00, 0x45}));
  EXPECT_THROW(EncodeFrequency("450.0125"), EConvertError);
}

TEST(Frequency, TextThatDoesNotFitEightDigitsRaises) {
  for (const char* Text : {"abc", "1000", "1234.5", "999.999996", "-1", "-0.001", "1e300", "450.0125 kHz"}) {
    SCOPED_TRACE(Text);
    EXPECT_THROW(EncodeFrequency(Text), EConvertError);
  }
}

TEST(Frequency, BytesThatAreNotBcdDecodeAsNone) {
  for (const Bytes4& Bytes :
       {Bytes4{0xFF, 0xFF, 0xFF, 0xFF}, Bytes4{0x50, 0x12, 0x0A, 0x45}, Bytes4{0x50, 0x12, 0x00, 0xF4}}) {
    EXPECT_EQ(DecodeFrequency(Bytes.data()), -1.0);
  }
}

TEST(Tone, EncodesAndDecodesBothWays) {
  struct {
    const char* Text;
    Bytes2 Bytes;
  } const Cases[] = {
      {"D023N", {0x23, 0x80}}, {"D754I", {0x54, 0xC7}}, {"D000N", {0x00, 0x80}}, {"88.5", {0x85, 0x08}},
      {"67.0", {0x70, 0x06}},  {"254.1", {0x41, 0x25}}, {"", {0xFF, 0xFF}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    EXPECT_EQ(EncodeTone(Case.Text), Case.Bytes);
    EXPECT_EQ(DecodeTone(Case.Bytes[0], Case.Bytes[1]), Case.Text);
  }
}

TEST(Tone, OtherTextForms) {
  struct {
    const char* Text;
    Bytes2 Bytes;
  } const Cases[] = {
      {"D023n", {0x23, 0x80}},                            // lower-case suffix
      {"D754i", {0x54, 0xC7}}, {"88.5Hz", {0x85, 0x08}},  // unit
      {"Hz", {0xFF, 0xFF}},    {"67", {0x70, 0x06}},
      {"88.45", {0x85, 0x08}},  // tenths, rounded decimally
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    EXPECT_EQ(EncodeTone(Case.Text), Case.Bytes);
  }
}

TEST(Tone, TextTheWordCannotHoldRaises) {
  // "None" is only shown for an empty tone; the windows store it as empty text.
  for (const char* Text : {"None", "D02N", "D0234N", "D023X", "DxyzN", "d023n", "1000", "-1", "abc"}) {
    SCOPED_TRACE(Text);
    EXPECT_THROW(EncodeTone(Text), EConvertError);
  }
}

TEST(Tone, WordsThatAreNoToneDecodeEmpty) {
  EXPECT_EQ(DecodeTone(0xFF, 0xFF), "");
  EXPECT_EQ(DecodeTone(0x5A, 0x01), "");  // 015A
  EXPECT_EQ(DecodeTone(0x00, 0xF0), "");  // F000
  EXPECT_EQ(DecodeTone(0x00, 0x00), "0.0");
}

std::array<Byte, 16> Record(std::initializer_list<Byte> Head) {
  std::array<Byte, 16> R;
  R.fill(0xFF);
  std::copy(Head.begin(), Head.end(), R.begin());
  return R;
}

TEST(DecodeChannel, FullRecord) {
  const auto R = Record({0x50, 0x12, 0x00, 0x45, 0x00, 0x50, 0x00, 0x45, 0x85, 0x08, 0x54, 0xC7, 0b1010101});
  TChannelValues V;
  ASSERT_TRUE(DecodeChannel(R.data(), V));
  EXPECT_EQ(V.RxMHz, 450.0125);
  EXPECT_EQ(V.TxMHz, 450.05);
  EXPECT_EQ(V.RxTone, "88.5");
  EXPECT_EQ(V.TxTone, "D754I");
  EXPECT_EQ(V.Flags, (std::array<Integer, 7>{1, 0, 1, 0, 1, 0, 1}));
}

TEST(DecodeChannel, EmptyReceiveFrequencyYieldsNothingElse) {
  const auto R = Record({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x50, 0x00, 0x45, 0x85, 0x08, 0x54, 0xC7, 0x7F});
  TChannelValues V;
  V.TxMHz = 1.5;
  V.RxTone = "keep";
  V.Flags[3] = 9;
  EXPECT_FALSE(DecodeChannel(R.data(), V));
  EXPECT_EQ(V.RxMHz, -1.0);
  EXPECT_EQ(V.TxMHz, 1.5);
  EXPECT_EQ(V.RxTone, "keep");
  EXPECT_EQ(V.Flags[3], 9);
}

TEST(DecodeChannel, NoTransmitFrequencyStillDecodesTonesAndFlags) {
  const auto R = Record({0x50, 0x12, 0x00, 0x45, 0xFF, 0xFF, 0xFF, 0xFF, 0x23, 0x80, 0xFF, 0xFF, 0x7F});
  TChannelValues V;
  ASSERT_TRUE(DecodeChannel(R.data(), V));
  EXPECT_EQ(V.TxMHz, -1.0);
  EXPECT_EQ(V.RxTone, "D023N");
  EXPECT_EQ(V.TxTone, "");
  EXPECT_EQ(V.Flags, (std::array<Integer, 7>{1, 1, 1, 1, 1, 1, 1}));
}

TEST(SnapToStep, MultiplesOfEitherStepStayOthersRoundDownToStepA) {
  struct {
    double In;
    double Out;
  } const Cases[] = {
      {450.0125, 450.0125},    // 6.25 kHz
      {450.00625, 450.00625},  // 6.25 kHz
      {450.005, 450.005},      // 5 kHz
      {450.0, 450.0},         {450.0030, 450.0}, {450.0074, 450.005}, {136.01249, 136.01},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.In);
    EXPECT_EQ(SnapToStep(Case.In, 500, 625), Case.Out);
  }
}

TEST(NormalizeTone, StoredTexts) {
  struct {
    const char* In;
    const char* Out;
  } const Cases[] = {
      {"", ""},           {"12", "30.0"},     {"300", "290.0"},   {"67", "67.0"},
      {"88.45", "88.5"},  {"1x", "290.0"},    {"D023N", "D023N"}, {"D754I", "D754I"},
      {"D023n", "D023n"}, {"D754i", "D754i"}, {"D128N", "D777N"}, {"D23N", "D777N"},
      {"D", "D777N"},     {"d023n", "D777N"}, {"D023X", "D777N"}, {"None", "D777N"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.In);
    EXPECT_EQ(NormalizeTone(Case.In), Case.Out);
  }
}

TEST(WriteTime, EncodeAndFormat) {
  Byte Time[7] = {};
  EncodeWriteTime("2026-03-07 09:05:01", Time);
  EXPECT_EQ(std::vector<Byte>(Time, Time + 7), (std::vector<Byte>{0xEA, 0x07, 0x03, 0x07, 0x09, 0x05, 0x01}));
  EXPECT_EQ(FormatWriteTime(Time), "2026-03-07 09:05:01");

  const Byte Blank[7] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(FormatWriteTime(Blank), "65535-255-255 255:255:255");
  const Byte Early[7] = {0x05, 0x00, 0x01, 0x02, 0x00, 0x00, 0x00};
  EXPECT_EQ(FormatWriteTime(Early), "5-01-02 00:00:00");
}

TEST(WriteTime, TextThatIsNotATimeRaisesAndKeepsTheBytes) {
  for (const char* Text : {"", "2026-03-07", "yyyy-03-07 09:05:01", "2026-03-07 09:05:xx"}) {
    SCOPED_TRACE(Text);
    Byte Time[7] = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_THROW(EncodeWriteTime(Text, Time), EConvertError);
    EXPECT_EQ(std::vector<Byte>(Time, Time + 7), (std::vector<Byte>{1, 2, 3, 4, 5, 6, 7}));
  }
}

TEST(ScramblePassword, FirstByteWithTheKeyTheRestWithTheFirst) {
  const Byte Digits[8] = {'1', '2', '3', '4', '5', '6', '7', '8'};
  EXPECT_EQ(ScramblePassword(Digits), (std::array<Byte, 8>{0x5A, 0x03, 0x02, 0x05, 0x04, 0x07, 0x06, 0x09}));
  const Byte Blanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  EXPECT_EQ(ScramblePassword(Blanks), (std::array<Byte, 8>{0x4B, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Helpers, PrintableChar) {
  const String In = "aZ09 -_\x7F\xFF";
  String Out;
  for (char C : In) Out += PrintableChar(C);
  EXPECT_EQ(Out, "aZ09     ");
}

TEST(Helpers, FillFFFillsOneMoreThanN) {
  Byte Buffer[5] = {0, 0, 0, 0, 0};
  FillFF(Buffer, 2);
  EXPECT_EQ(std::vector<Byte>(Buffer, Buffer + 5), (std::vector<Byte>{0xFF, 0xFF, 0xFF, 0, 0}));
}

TEST(Helpers, BytesAndHex) {
  const Byte Raw[3] = {'A', 0, 'B'};
  EXPECT_EQ(BytesToText(Raw, 3), String("A\0B", 3));
  EXPECT_EQ(HexToByte("7f"), 0x7F);
  EXPECT_THROW(HexToByte("zz"), EConvertError);
  EXPECT_TRUE(ContainsAnyChar("45A1", "ABCDEF"));
  EXPECT_FALSE(ContainsAnyChar("4501", "ABCDEF"));
}

}  // namespace
