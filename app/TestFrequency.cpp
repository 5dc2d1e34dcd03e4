#include "app/TestFrequency.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/ChInfo.h"
#include "grid/CellGrid.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

TfTestFrequency* fTestFrequency = nullptr;

K58_IMPLEMENT_CLASS(TfTestFrequency) {
  b.Field("gvData", &TfTestFrequency::gvData);
  b.Field("Label1", &TfTestFrequency::Label1);
  b.Method("FormShow", &TfTestFrequency::FormShow);
  b.Method("FormCloseQuery", &TfTestFrequency::FormCloseQuery);
  b.Method("gvDataSetForeText", &TfTestFrequency::gvDataSetForeText);
}

namespace {

constexpr Integer tfTitleRow = 1;
constexpr Integer tfNumberCol = 1;
constexpr Integer tfRxCol = 2;
constexpr Integer tfTxCol = 3;
constexpr Integer tfChannels = 16;

}  // namespace

TfTestFrequency::TfTestFrequency(TComponent* AOwner) : TForm(AOwner) {}

TfTestFrequency::~TfTestFrequency() {
  if (fTestFrequency == this) fTestFrequency = nullptr;
}

void TfTestFrequency::FormShow(TObject*) {
  gvData->SetAutoUpdate(false);
  gvData->SetShowPopup(false);
  gvData->SetGridCanCopyMove(false);
  gvData->SetGridCanFill(false);
  gvData->SetFixedCols(1);
  gvData->SetFixedRows(1);
  gvData->SetColWidths(tfNumberCol, 60);
  gvData->SetColWidths(tfRxCol, 100);
  gvData->SetColWidths(tfTxCol, 100);
  gvData->GetCellInfo(tfNumberCol, tfTitleRow)->ForeText = "信道";
  gvData->GetCellInfo(tfRxCol, tfTitleRow)->ForeText = "接收[MHz]";
  gvData->GetCellInfo(tfTxCol, tfTitleRow)->ForeText = "发射[MHz]";
  for (Integer Row = tfTitleRow + 1; Row <= tfTitleRow + tfChannels; ++Row)
    gvData->GetCellInfo(tfNumberCol, Row)->ForeText = IntToStr(Row - tfTitleRow);
  gvData->SetColCellProperty(tfNumberCol, cpColor, static_cast<intptr_t>(clBtnFace));
  gvData->SetRowCellProperty(tfTitleRow, cpColor, static_cast<intptr_t>(clBtnFace));
  gvData->SetColCellProperty(tfNumberCol, cpAlignMode, static_cast<intptr_t>(TAlignMode::taCenter));
  for (Integer Col : {tfRxCol, tfTxCol}) {
    gvData->SetColCellProperty(Col, cpDataStyle, dsNumber);
    gvData->SetColCellProperty(Col, cpIntLength, 5);
    gvData->SetColCellProperty(Col, cpDecLength, 5);
    gvData->SetColCellProperty(Col, cpAlignMode, static_cast<intptr_t>(TAlignMode::taRight));
  }
  gvData->SetRowCellProperty(tfTitleRow, cpDataStyle, dsText);
  gvData->SetRowCellProperty(tfTitleRow, cpAlignMode, static_cast<intptr_t>(TAlignMode::taCenter));
  gvData->SetAutoUpdate(true);
  gvData->Invalidate();
  // The built-in titles are in one language only: the titles follow the language file of whatever
  // language is chosen, the first one included.
  if (!ALL->LanguageName.empty()) TranslateForm(this, ALL->LanguageName, true);
  Changed = false;
}

void TfTestFrequency::gvDataSetForeText(TObject*, Integer ACol, Integer ARow, String& Value) {
  if ((ACol != tfRxCol && ACol != tfTxCol) || ARow <= tfTitleRow) return;
  const String Text = Trim(Value);
  if (Text.empty()) {
    // A cleared cell stays empty.
    Value.clear();
    Changed = true;
    return;
  }
  double MHz = 0;
  if (!TryStrToFloat(Text, MHz)) {
    Value.clear();
    EConvertError Error("'" + Text + "' is not a valid floating point value");
    Application->ShowException(&Error);
    return;
  }
  Value = FormatFloat("0.00000", CheckFrequencyRange(MHz));
  Changed = true;
}

void TfTestFrequency::FormCloseQuery(TObject*, bool&) {
  if (Changed) ShowMessageBox(Language->Confirmation, Label1->Caption(), mbkInformation);
}

void ShowTestFrequency() {
  TObjectPtr<TfTestFrequency> Dialog(fTestFrequency = NewObject<TfTestFrequency>(Application));
  Dialog->ShowModal();
}
