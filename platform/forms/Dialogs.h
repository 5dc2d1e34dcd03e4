// Common dialogs (open and save file) and the message functions: ShowMessage, MessageDlg, InputBox and
// InputQuery.
//
// Each dialog and function runs through a replaceable procedure, so tests and scripts answer them without
// a window: FileDialogProc for the file dialogs, InputQueryProc for the input functions (the message
// functions go through the application's message box procedure).
#pragma once

#include <functional>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/forms/Controls.h"
#include "platform/forms/Forms.h"

class TEdit;

enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
  ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
  ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks,
  ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent, ofForceShowHidden
};
K58_ENUM_TYPE(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
              ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
              ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
              ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing, ofDontAddToRecent,
              ofForceShowHidden)
K58_SET_TYPE(TOpenOptions, TOpenOption)

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
K58_ENUM_TYPE(TMsgDlgType, mtWarning, mtError, mtInformation, mtConfirmation, mtCustom)
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
K58_ENUM_TYPE(TMsgDlgBtn, mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll,
              mbHelp)
K58_SET_TYPE(TMsgDlgButtons, TMsgDlgBtn)

inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

namespace dialogsconsts {
inline constexpr const char* SMsgDlgWarning = "Warning";
inline constexpr const char* SMsgDlgError = "Error";
inline constexpr const char* SMsgDlgInformation = "Information";
inline constexpr const char* SMsgDlgConfirm = "Confirm";
inline constexpr const char* SMsgDlgOK = "OK";
inline constexpr const char* SMsgDlgCancel = "Cancel";
}  // namespace dialogsconsts

// ---- Common dialogs ----------------------------------------------------------------------------------
class TCommonDialog : public TComponent {
  K58_CLASS(TCommonDialog, TComponent)

  explicit TCommonDialog(TComponent* AOwner);

  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool Value) { ctl3D_ = Value; }
  THelpContext HelpContext() const { return helpContext_; }
  void SetHelpContext(THelpContext Value) { helpContext_ = Value; }
  // Shows the dialog modally; true when the user accepted it.
  virtual bool Execute() = 0;

  const TNotifyEvent& OnShow() const { return onShow_; }
  void SetOnShow(const TNotifyEvent& Value) { onShow_ = Value; }
  const TNotifyEvent& OnClose() const { return onClose_; }
  void SetOnClose(const TNotifyEvent& Value) { onClose_ = Value; }

 protected:
  virtual void DoShow() { onShow_(this); }
  virtual void DoClose() { onClose_(this); }

 private:
  bool ctl3D_ = true;
  THelpContext helpContext_ = 0;
  TNotifyEvent onShow_;
  TNotifyEvent onClose_;
};

// Chooses a file to open. Filter holds pairs "description|patterns" separated by "|" ("Data
// File(*.dat)|*.dat"); FilterIndex counts them from 1. A name chosen without an extension gets DefaultExt
// (given with or without "*." or ".").
class TOpenDialog : public TCommonDialog {
  K58_CLASS(TOpenDialog, TCommonDialog)

  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  const String& FileName() const { return fileName_; }
  void SetFileName(const String& Value) { fileName_ = Value; }
  // Every chosen file (one without ofAllowMultiSelect).
  TStrings* Files() const { return files_.get(); }
  const String& Filter() const { return filter_; }
  void SetFilter(const String& Value) { filter_ = Value; }
  Integer FilterIndex() const { return filterIndex_; }
  void SetFilterIndex(Integer Value) { filterIndex_ = Value; }
  const String& DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(const String& Value) { defaultExt_ = Value; }
  const String& InitialDir() const { return initialDir_; }
  void SetInitialDir(const String& Value) { initialDir_ = Value; }
  const String& Title() const { return title_; }
  void SetTitle(const String& Value) { title_ = Value; }
  TOpenOptions Options() const { return options_; }
  void SetOptions(TOpenOptions Value) { options_ = Value; }

  // The extension to add to a name without one ("dat" for "*.dat", ".dat" or "dat"); "" for none.
  String CleanDefaultExt() const;
  bool Execute() override;
  // Whether this dialog saves (the save dialog) or opens.
  virtual bool IsSaveDialog() const { return false; }

 private:
  String fileName_;
  TObjectPtr<TStringList> files_;
  String filter_;
  Integer filterIndex_ = 1;
  String defaultExt_;
  String initialDir_;
  String title_;
  TOpenOptions options_{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
  K58_CLASS(TSaveDialog, TOpenDialog)

  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  bool IsSaveDialog() const override { return true; }
};

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
K58_ENUM_TYPE(TColorDialogOption, cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor)
K58_SET_TYPE(TColorDialogOptions, TColorDialogOption)

// Chooses a colour through the window system's colour dialog. CustomColors holds the 16 custom colours
// as "ColorA=RRGGBB" to "ColorP=RRGGBB" (hex, blue first as colours are stored); the dialog's changes come
// back into it.
class TColorDialog : public TCommonDialog {
  K58_CLASS(TColorDialog, TCommonDialog)

  explicit TColorDialog(TComponent* AOwner);
  ~TColorDialog() override;

  TColor Color() const { return color_; }
  void SetColor(TColor Value) { color_ = Value; }
  TStrings* CustomColors() const { return customColors_.get(); }
  void SetCustomColors(TStrings* Value) { customColors_->Assign(Value); }
  TColorDialogOptions Options() const { return options_; }
  void SetOptions(TColorDialogOptions Value) { options_ = Value; }

  bool Execute() override;

 private:
  TColor color_ = clBlack;
  TObjectPtr<TStringList> customColors_;
  TColorDialogOptions options_;
};

enum TFontDialogOption {
  fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, fdNoOEMFonts,
  fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp, fdWysiwyg, fdLimitSize,
  fdScalableOnly, fdApplyButton
};
K58_ENUM_TYPE(TFontDialogOption, fdAnsiOnly, fdTrueTypeOnly, fdEffects, fdFixedPitchOnly, fdForceFontExist,
              fdNoFaceSel, fdNoOEMFonts, fdNoSimulations, fdNoSizeSel, fdNoStyleSel, fdNoVectorFonts, fdShowHelp,
              fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton)
K58_SET_TYPE(TFontDialogOptions, TFontDialogOption)
enum TFontDialogDevice { fdScreen, fdPrinter, fdBoth };
K58_ENUM_TYPE(TFontDialogDevice, fdScreen, fdPrinter, fdBoth)

// Chooses a font through the window system's font dialog; Font is shown first and receives the choice
// (with its colour when fdEffects is set).
class TFontDialog : public TCommonDialog {
  K58_CLASS(TFontDialog, TCommonDialog)

  explicit TFontDialog(TComponent* AOwner);
  ~TFontDialog() override;

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* Value) { font_->Assign(Value); }
  TFontDialogDevice Device() const { return device_; }
  void SetDevice(TFontDialogDevice Value) { device_ = Value; }
  // Point sizes offered with fdLimitSize; 0 means no limit.
  Integer MinFontSize() const { return minFontSize_; }
  void SetMinFontSize(Integer Value) { minFontSize_ = Value; }
  Integer MaxFontSize() const { return maxFontSize_; }
  void SetMaxFontSize(Integer Value) { maxFontSize_ = Value; }
  TFontDialogOptions Options() const { return options_; }
  void SetOptions(TFontDialogOptions Value) { options_ = Value; }

  bool Execute() override;

 private:
  TObjectPtr<TFont> font_;
  TFontDialogDevice device_ = fdScreen;
  Integer minFontSize_ = 0;
  Integer maxFontSize_ = 0;
  TFontDialogOptions options_{fdEffects};
};

namespace k58::forms {

// What a file dialog shows and what the user chose.
struct FileDialogRequest {
  bool Save = false;
  HWND Owner = nullptr;
  String Title;
  String Filter;          // as the property holds it
  Integer FilterIndex = 1;
  String InitialDir;
  String FileName;        // in: the name shown first; out: the chosen file (the first with several)
  std::vector<String> Files;  // out: every chosen file (filled with FileName when left empty)
  String DefaultExt;      // without "*." or "."
  TOpenOptions Options;
};

// Runs a file dialog: true when the user chose a file. The default shows the window system's dialog;
// tests replace it. A null procedure answers false (cancelled).
using TFileDialogProc = std::function<bool(FileDialogRequest& Request)>;
TFileDialogProc& FileDialogProc();

// Asks for a text: true with the new Value when the user accepted. The default shows a small modal form
// with the prompt, an edit and OK and Cancel buttons; tests and scripts replace it.
using TInputQueryProc = std::function<bool(const String& Caption, const String& Prompt, String& Value)>;
TInputQueryProc& InputQueryProc();

// The form the default input procedure shows (not yet shown), with its edit; for tests of the form.
TForm* CreateInputQueryForm(const String& Caption, const String& Prompt, const String& Value, TEdit*& Edit);

}  // namespace k58::forms

// ---- Message functions -------------------------------------------------------------------------------
// An information box with the application's title and an OK button.
void ShowMessage(const String& Msg);
// A box of the type's icon and caption with the buttons (the nearest set the window system offers);
// answers the modal result of the button pressed (mrOk, mrCancel, mrYes ...).
Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx);
bool InputQuery(const String& ACaption, const String& APrompt, String& Value);
// The text entered, or ADefault when the user cancelled.
String InputBox(const String& ACaption, const String& APrompt, const String& ADefault);
