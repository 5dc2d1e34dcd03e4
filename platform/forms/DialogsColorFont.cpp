// The colour and font dialog components over the window system's colour and font dialogs.
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/Dialogs.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/builtin/CommDlg.h"

namespace {

// The window of the active form, the owner of a dialog shown now.
HWND ActiveFormWindow() {
  TCustomForm* active = Screen != nullptr ? Screen->ActiveCustomForm() : nullptr;
  return active != nullptr && active->HandleAllocated() ? active->Handle() : nullptr;
}

// "ColorA" to "ColorP": the names of the 16 custom colours.
String CustomColorName(Integer Index) { return String("Color") + static_cast<char>('A' + Index); }

}  // namespace

// ---- TColorDialog ---------------------------------------------------------------------------------------
TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), customColors_(new TStringList) {}

TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute() {
  COLORREF custom[16];
  for (Integer i = 0; i < 16; ++i) {
    const String text = customColors_->Values(CustomColorName(i));
    Integer value = 0;
    custom[i] = !text.empty() && TryStrToInt("$" + text, value) ? static_cast<COLORREF>(value) : 0xFFFFFF;
  }
  CHOOSECOLORA cc;
  cc.hwndOwner = ActiveFormWindow();
  cc.rgbResult = static_cast<COLORREF>(ColorToRGB(color_));
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT;
  if (options_.Contains(cdFullOpen)) cc.Flags |= CC_FULLOPEN;
  if (options_.Contains(cdPreventFullOpen)) cc.Flags |= CC_PREVENTFULLOPEN;
  if (options_.Contains(cdShowHelp)) cc.Flags |= CC_SHOWHELP;
  if (options_.Contains(cdSolidColor)) cc.Flags |= CC_SOLIDCOLOR;
  if (options_.Contains(cdAnyColor)) cc.Flags |= CC_ANYCOLOR;
  DoShow();
  const bool accepted = ChooseColor(&cc) != FALSE;
  DoClose();
  if (accepted) {
    color_ = static_cast<TColor>(cc.rgbResult);
    for (Integer i = 0; i < 16; ++i) customColors_->SetValues(CustomColorName(i), IntToHex(static_cast<Integer>(custom[i]), 6));
  }
  return accepted;
}

K58_IMPLEMENT_CLASS(TColorDialog) {
  b.Prop("Color", &TColorDialog::Color, &TColorDialog::SetColor).Type("TColor").Default(clBlack);
  b.Prop("CustomColors", &TColorDialog::CustomColors, &TColorDialog::SetCustomColors);
  b.Prop("Options", &TColorDialog::Options, &TColorDialog::SetOptions).Default(TColorDialogOptions{});
}

// ---- TFontDialog ----------------------------------------------------------------------------------------
TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), font_(new TFont) {}

TFontDialog::~TFontDialog() = default;

bool TFontDialog::Execute() {
  LOGFONTA logFont;
  GetObject(font_->Handle(), sizeof(logFont), &logFont);
  CHOOSEFONTA cf;
  cf.hwndOwner = ActiveFormWindow();
  cf.lpLogFont = &logFont;
  cf.rgbColors = static_cast<COLORREF>(ColorToRGB(font_->Color()));
  cf.Flags = CF_INITTOLOGFONTSTRUCT;
  cf.Flags |= device_ == fdScreen ? CF_SCREENFONTS : device_ == fdPrinter ? CF_PRINTERFONTS : CF_BOTH;
  const std::pair<TFontDialogOption, DWORD> flags[] = {
      {fdAnsiOnly, CF_ANSIONLY},         {fdTrueTypeOnly, CF_TTONLY},         {fdEffects, CF_EFFECTS},
      {fdFixedPitchOnly, CF_FIXEDPITCHONLY}, {fdForceFontExist, CF_FORCEFONTEXIST}, {fdNoFaceSel, CF_NOFACESEL},
      {fdNoSimulations, CF_NOSIMULATIONS}, {fdNoSizeSel, CF_NOSIZESEL},        {fdNoStyleSel, CF_NOSTYLESEL},
      {fdNoVectorFonts, CF_NOVECTORFONTS}, {fdShowHelp, CF_SHOWHELP},          {fdWysiwyg, CF_WYSIWYG},
      {fdLimitSize, CF_LIMITSIZE},       {fdScalableOnly, CF_SCALABLEONLY},   {fdApplyButton, CF_APPLY}};
  for (const auto& [option, flag] : flags) {
    if (options_.Contains(option)) cf.Flags |= flag;
  }
  cf.nSizeMin = minFontSize_;
  cf.nSizeMax = maxFontSize_;
  DoShow();
  const bool accepted = ChooseFont(&cf) != FALSE;
  DoClose();
  if (accepted) {
    const TColor color = options_.Contains(fdEffects) ? static_cast<TColor>(cf.rgbColors) : font_->Color();
    font_->SetHandle(CreateFontIndirect(&logFont));
    font_->SetColor(color);
  }
  return accepted;
}

K58_IMPLEMENT_CLASS(TFontDialog) {
  b.Prop("Device", &TFontDialog::Device, &TFontDialog::SetDevice).Default(fdScreen);
  b.Prop("Font", &TFontDialog::Font, &TFontDialog::SetFont);
  b.Prop("MaxFontSize", &TFontDialog::MaxFontSize, &TFontDialog::SetMaxFontSize).Default(0);
  b.Prop("MinFontSize", &TFontDialog::MinFontSize, &TFontDialog::SetMinFontSize).Default(0);
  b.Prop("Options", &TFontDialog::Options, &TFontDialog::SetOptions).Default(TFontDialogOptions{fdEffects});
}
