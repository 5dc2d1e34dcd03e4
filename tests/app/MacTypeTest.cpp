// Model and band tables, band parsing and the selection of model and band from a band code.
#include <memory>

#include "app/AllClass.h"
#include "app/MacType.h"
#include "platform/rtl/SysUtils.h"
#include "tests/app/AppTestSupport.h"

namespace {

using app_test::DocumentTest;
using app_test::Lines;

struct BandRow {
  const char* Text;
  Byte Code;
  const char* Model;  // model that offers the band, nullptr for none
  double Low;
  double High;
};

// The band-code table in its order (the order decides the fallbacks).
const BandRow Bands[] = {
    {" 27 -  72MHz", 0xFD, nullptr, 27, 72},      {"136 - 150MHz", 0xF1, "K58(VHF)", 136, 150},
    {"136 - 174MHz", 0xF2, "K58(VHF)", 136, 174}, {"150 - 174MHz", 0xF0, "K58(VHF)", 150, 174},
    {"216 - 223MHz", 0xF3, "K58(VHF)", 216, 223}, {"350 - 370MHz", 0xFA, "K58(UHF)", 350, 370},
    {"350 - 390MHz", 0xFB, "K58(UHF)", 350, 390}, {"370 - 390MHz", 0xFC, "K58(UHF)", 370, 390},
    {"400 - 420MHz", 0xF8, "K58(UHF)", 400, 420}, {"400 - 470MHz", 0xF7, "K58(UHF)", 400, 470},
    {"440 - 480MHz", 0xF9, "K58(UHF)", 440, 480}, {"450 - 470MHz", 0xF4, "K58(UHF)", 450, 470},
    {"450 - 490MHz", 0xF5, "K58(UHF)", 450, 490}, {"470 - 650MHz", 0xF6, "K58(UHF)", 470, 650},
};

TEST(BandTable, EveryBandAndCodeBothWays) {
  TFrqList List;
  BuildBandTable(List);
  ASSERT_EQ(List.Count(), 14);
  for (Integer I = 0; I < 14; ++I) {
    SCOPED_TRACE(Bands[I].Text);
    EXPECT_EQ(List.Text(I), Bands[I].Text);
    EXPECT_EQ(List.CodeOfBand(Bands[I].Text), Bands[I].Code);
    EXPECT_EQ(List.BandOfCode(Bands[I].Code), Bands[I].Text);
  }
}

TEST(BandTable, UnknownTextOrCodeFallsBack) {
  TFrqList List;
  BuildBandTable(List);
  for (const char* Text : {"", "450-470MHz", "450 - 470mhz", "999 - 999MHz"}) {
    SCOPED_TRACE(Text);
    EXPECT_EQ(List.CodeOfBand(Text), 0xFD);
  }
  for (Byte Code : {0x00, 0x01, 0xEF, 0xFE, 0xFF}) {
    SCOPED_TRACE(Code);
    EXPECT_EQ(List.BandOfCode(Code), "440 - 480MHz");
  }
}

TEST(ModelTable, ModelsInOrder) {
  TMacList List;
  BuildModelTable(List);
  ASSERT_EQ(List.Count(), 2);

  const TMacType* Uhf = List.GetItem(0);
  EXPECT_EQ(Uhf->Name, "K58(UHF)");
  EXPECT_EQ(Uhf->TypeCode, "ZRQX");
  EXPECT_EQ(Uhf->ChannelCount, 16);
  EXPECT_EQ(Uhf->MaxMHz, 650.0);
  EXPECT_EQ(Uhf->MinMHz, 300.0);
  EXPECT_EQ(Uhf->DefaultBand, "450 - 470MHz");
  EXPECT_EQ(Lines(*Uhf->Bands), (std::vector<String>{"350 - 370MHz", "350 - 390MHz", "370 - 390MHz",
                                                     "400 - 420MHz", "400 - 470MHz", "440 - 480MHz",
                                                     "450 - 470MHz", "450 - 490MHz", "470 - 650MHz"}));

  const TMacType* Vhf = List.GetItem(1);
  EXPECT_EQ(Vhf->Name, "K58(VHF)");
  EXPECT_EQ(Vhf->TypeCode, "ZRQX");
  EXPECT_EQ(Vhf->ChannelCount, 16);
  EXPECT_EQ(Vhf->MaxMHz, 300.0);
  EXPECT_EQ(Vhf->MinMHz, 67.0);
  EXPECT_EQ(Vhf->DefaultBand, "150 - 174MHz");
  EXPECT_EQ(Lines(*Vhf->Bands),
            (std::vector<String>{"136 - 150MHz", "136 - 174MHz", "150 - 174MHz", "216 - 223MHz"}));

  EXPECT_EQ(List.GetItem(2), nullptr);
  EXPECT_EQ(List.GetItem(-1), nullptr);
}

TEST(ModelTable, Lookups) {
  TMacList List;
  BuildModelTable(List);
  const TMacType* Uhf = List.GetItem(0);
  const TMacType* Vhf = List.GetItem(1);

  EXPECT_EQ(List.FindByName("K58(VHF)"), Vhf);
  EXPECT_EQ(List.FindByName("k58(vhf)"), nullptr);  // case-sensitive
  EXPECT_EQ(List.FindByTypeCode("ZRQX"), Uhf);      // shared code: the first model
  EXPECT_EQ(List.FindByTypeCode("zrqx"), nullptr);
  for (const BandRow& Row : Bands) {
    SCOPED_TRACE(Row.Text);
    const TMacType* Model = List.FindByBand(Row.Text);
    if (Row.Model == nullptr) {
      EXPECT_EQ(Model, nullptr);
    } else {
      ASSERT_NE(Model, nullptr);
      EXPECT_EQ(Model->Name, Row.Model);
    }
  }

  TStringList Names;
  Names.Add("stale");
  List.GetNames(&Names);
  EXPECT_EQ(Lines(Names), (std::vector<String>{"K58(UHF)", "K58(VHF)"}));
}

TEST(ParseBand, Edges) {
  struct {
    const char* Text;
    double Low;
    double High;
  } const Cases[] = {{"450 - 470MHz", 450, 470}, {" 27 -  72MHz", 27, 72}, {"136.5-174MHz", 136.5, 174}};
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    double Low = 0, High = 0;
    ParseBand(Case.Text, Low, High);
    EXPECT_EQ(Low, Case.Low);
    EXPECT_EQ(High, Case.High);
  }
}

TEST(ParseBand, MalformedTextRaisesAndKeepsEdges) {
  for (const char* Text : {"", "450 470MHz", "450 - 470", "abc - 470MHz", "450 - MHz"}) {
    SCOPED_TRACE(Text);
    double Low = 1, High = 2;
    EXPECT_THROW(ParseBand(Text, Low, High), EConvertError);
    EXPECT_EQ(Low, 1);
    EXPECT_EQ(High, 2);
  }
}

using SelectModelByBand = DocumentTest;

TEST_F(SelectModelByBand, EveryBandCodeSelectsItsModelAndBand) {
  for (const BandRow& Row : Bands) {
    if (Row.Model == nullptr) continue;
    SCOPED_TRACE(Row.Text);
    EXPECT_TRUE(ALL->SelectModelByBand(nullptr, Row.Code, true));
    const TMacType* Model = MacList->FindByName(Row.Model);
    EXPECT_EQ(ALL->CurrentModel, Model);
    EXPECT_EQ(ALL->ModelName, Row.Model);
    EXPECT_EQ(ALL->TypeCode, "ZRQX");
    EXPECT_EQ(ALL->ChannelCount, 16);
    EXPECT_EQ(ALL->ModelMax, Model->MaxMHz);
    EXPECT_EQ(ALL->ModelMin, Model->MinMHz);
    EXPECT_EQ(ALL->BandText, Row.Text);
    EXPECT_EQ(ALL->BandLow, Row.Low);
    EXPECT_EQ(ALL->BandHigh, Row.High);
  }
}

TEST_F(SelectModelByBand, WithoutSetBandTakesTheDefaultBandAndKeepsTheEdges) {
  ALL->BandLow = 1;
  ALL->BandHigh = 2;
  // Code 0 is in no entry: band "440 - 480MHz", which only the UHF model offers.
  ALL->SelectModelByBand(MacList->GetItem(1), 0, false);
  EXPECT_EQ(ALL->ModelName, "K58(UHF)");
  EXPECT_EQ(ALL->BandText, "450 - 470MHz");
  EXPECT_EQ(ALL->BandLow, 1);
  EXPECT_EQ(ALL->BandHigh, 2);
}

TEST_F(SelectModelByBand, CodeOfNoModelKeepsTheCurrentModelAndBand) {
  ALL->SelectModelByBand(nullptr, 0xF0, true);
  ALL->BandLow = 0;  // as if a file header had set other edges
  ALL->BandHigh = 0;
  EXPECT_FALSE(ALL->SelectModelByBand(nullptr, 0xFD, true));
  EXPECT_EQ(ALL->CurrentModel, MacList->GetItem(1));
  EXPECT_EQ(ALL->ModelName, "K58(VHF)");
  EXPECT_EQ(ALL->BandText, "150 - 174MHz");
  EXPECT_EQ(ALL->BandLow, 150);
  EXPECT_EQ(ALL->BandHigh, 174);
}

TEST_F(SelectModelByBand, CodeOfNoModelBeforeAnyModelTakesTheFirstModel) {
  ASSERT_EQ(ALL->CurrentModel, nullptr);
  EXPECT_FALSE(ALL->SelectModelByBand(nullptr, 0xFD, true));
  EXPECT_EQ(ALL->CurrentModel, MacList->GetItem(0));
  EXPECT_EQ(ALL->BandText, "450 - 470MHz");
  EXPECT_EQ(ALL->BandLow, 450);
  EXPECT_EQ(ALL->BandHigh, 470);
}

}  // namespace
