// The dialogs binding module: the common dialogs and the message functions MessageDlg, InputBox and
// InputQuery, which run through the platform's replaceable message and input procedures.
#include "platform/forms/Dialogs.h"
#include "script/sc_bindings.h"

namespace k58::script::bindings {
namespace dialogsmod {

class TFunctions : public TscRTTIModule {
 public:
  explicit TFunctions(TscScript* AScript);

 private:
  Variant CallDialogsMethod(TObject* Instance, TClass ClassRef, const String& MethodName, TscMethodHelper* Caller);
};

TFunctions::TFunctions(TscScript* AScript) : TscRTTIModule(AScript) {
  TscScript* s = AScript;
  const TscMethodCallback call(this, &TFunctions::CallDialogsMethod);
  s->AddEnumSet("TOpenOptions",
                "ofReadOnly, ofOverwritePrompt, ofHideReadOnly,ofNoChangeDir, ofShowHelp, ofNoValidate, "
                "ofAllowMultiSelect,ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,"
                "ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton,ofNoLongNames, "
                "ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,ofEnableSizing");
  s->AddEnumSet("TColorDialogOptions", "cdFullOpen, cdPreventFullOpen, cdShowHelp,cdSolidColor, cdAnyColor");
  s->AddEnumSet("TFontDialogOptions",
                "fdAnsiOnly, fdTrueTypeOnly, fdEffects,fdFixedPitchOnly, fdForceFontExist, fdNoFaceSel, "
                "fdNoOEMFonts,fdNoSimulations, fdNoSizeSel, fdNoStyleSel,  fdNoVectorFonts,fdShowHelp, "
                "fdWysiwyg, fdLimitSize, fdScalableOnly, fdApplyButton");
  s->AddEnumSet("TPrintDialogOptions", "poPrintToFile, poPageNums, poSelection,poWarning, poHelp, poDisablePrintToFile");
  s->AddEnumSet("TMsgDlgButtons",
                "mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp");
  s->AddEnum("TFileEditStyle", "fsEdit, fsComboBox");
  s->AddEnum("TFontDialogDevice", "fdScreen, fdPrinter, fdBoth");
  s->AddEnum("TPrintRange", "prAllPages, prSelection, prPageNums");
  s->AddEnum("TMsgDlgType", "mtWarning, mtError, mtInformation, mtConfirmation, mtCustom");

  TscClassVariable* c = s->AddClass(TCommonDialog::StaticClass(), "TComponent");
  c->AddMethod("function Execute: Boolean", call);
  for (TClass cls : {TOpenDialog::StaticClass(), TSaveDialog::StaticClass(), TColorDialog::StaticClass(),
                     TFontDialog::StaticClass()}) {
    s->AddClass(cls, "TCommonDialog");
  }

  s->AddMethod("function MessageDlg(Msg: string; DlgType: TMsgDlgType; Buttons: TMsgDlgButtons; HelpCtx: Longint): Integer",
               call, "ctOther");
  s->AddMethod("function InputBox(ACaption, APrompt, ADefault: string): string", call, "ctOther");
  s->AddMethod("function InputQuery(ACaption, APrompt: string; var Value: string): Boolean", call, "ctOther");
  RegisterPublishedTypes(s);
}

Variant TFunctions::CallDialogsMethod(TObject* Instance, TClass ClassRef, const String& n, TscMethodHelper* Caller) {
  if (ClassRef == TCommonDialog::StaticClass()) {
    if (n == "EXECUTE") return As<TCommonDialog>(Instance)->Execute();
    return Integer{0};
  }
  if (n == "MESSAGEDLG") {
    const Integer type = IntArg(Caller, 1);
    if (type < mtWarning || type > mtCustom) throw EConvertError(Format("Invalid dialog type %d", type));
    return MessageDlg(StrArg(Caller, 0), static_cast<TMsgDlgType>(type),
                      TMsgDlgButtons::FromBits(VarSetBits(Arg(Caller, 2))), IntArg(Caller, 3));
  }
  if (n == "INPUTBOX") return InputBox(StrArg(Caller, 0), StrArg(Caller, 1), StrArg(Caller, 2));
  if (n == "INPUTQUERY") {
    String value = StrArg(Caller, 2);
    const bool accepted = InputQuery(StrArg(Caller, 0), StrArg(Caller, 1), value);
    Caller->SetParamValue(2, value);
    return accepted;
  }
  return Integer{0};
}

}  // namespace dialogsmod

TscRTTIModule* CreateDialogsModule(TscScript* AScript) { return new dialogsmod::TFunctions(AScript); }

}  // namespace k58::script::bindings
