// Open and save dialogs and the message functions.
#include "platform/forms/Dialogs.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/classes/ClassBuilder.h"
#include "platform/forms/StdCtrls.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/builtin/CommDlg.h"
#include "platform/win/ui/MessageBox.h"

// ---- Common dialogs -------------------------------------------------------------------------------------

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), files_(new TStringList) {}

TOpenDialog::~TOpenDialog() = default;

String TOpenDialog::CleanDefaultExt() const {
  String ext = defaultExt_;
  // "*.dat" and ".dat" name the same extension as "dat"; a pattern would end up in the file's name.
  if (ext.rfind("*.", 0) == 0) ext.erase(0, 2);
  while (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  if (ext.find_first_of("*?/\\|") != String::npos) return String();
  return ext;
}

namespace {

// True when the last part of the path has an extension.
bool HasExtension(const String& Path) {
  size_t slash = Path.find_last_of('/');
  size_t dot = Path.find_last_of('.');
  return dot != String::npos && (slash == String::npos || dot > slash + 1);
}

}  // namespace

bool TOpenDialog::Execute() {
  k58::forms::FileDialogRequest request;
  request.Save = IsSaveDialog();
  if (Application != nullptr) {
    if (TCustomForm* active = Screen != nullptr ? Screen->ActiveCustomForm() : nullptr) {
      if (active->HandleAllocated()) request.Owner = active->Handle();
    }
  }
  request.Title = title_;
  request.Filter = filter_;
  request.FilterIndex = filterIndex_;
  request.InitialDir = initialDir_;
  request.FileName = fileName_;
  request.DefaultExt = CleanDefaultExt();
  request.Options = options_;
  DoShow();
  bool accepted = false;
  try {
    accepted = k58::forms::FileDialogProc() && k58::forms::FileDialogProc()(request);
  } catch (...) {
    DoClose();
    throw;
  }
  DoClose();
  if (!accepted || request.FileName.empty()) return false;
  if (request.Files.empty()) request.Files.push_back(request.FileName);
  // A name without an extension gets the default one.
  if (!request.DefaultExt.empty()) {
    for (String& file : request.Files) {
      if (!HasExtension(file)) file += "." + request.DefaultExt;
    }
    if (!HasExtension(request.FileName)) request.FileName += "." + request.DefaultExt;
  }
  fileName_ = request.FileName;
  filterIndex_ = request.FilterIndex;
  files_->Clear();
  for (const String& file : request.Files) files_->Add(file);
  return true;
}

namespace {

bool RunNativeFileDialog(k58::forms::FileDialogRequest& Request) {
  // "desc|patterns|desc|patterns" becomes pairs ended by zeros, the list by a second zero.
  String filter = Request.Filter;
  for (char& c : filter) {
    if (c == '|') c = '\0';
  }
  filter.push_back('\0');
  filter.push_back('\0');
  std::vector<char> file(4096, '\0');
  Request.FileName.copy(file.data(), std::min(Request.FileName.size(), file.size() - 1));
  OPENFILENAMEA ofn;
  ofn.hwndOwner = Request.Owner;
  ofn.lpstrFilter = Request.Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(std::max<Integer>(1, Request.FilterIndex));
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = Request.InitialDir.empty() ? nullptr : Request.InitialDir.c_str();
  ofn.lpstrTitle = Request.Title.empty() ? nullptr : Request.Title.c_str();
  ofn.lpstrDefExt = Request.DefaultExt.empty() ? nullptr : Request.DefaultExt.c_str();
  static const std::pair<TOpenOption, DWORD> kFlags[] = {
      {ofReadOnly, OFN_READONLY},         {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
      {ofHideReadOnly, OFN_HIDEREADONLY}, {ofNoChangeDir, OFN_NOCHANGEDIR},
      {ofNoValidate, OFN_NOVALIDATE},     {ofPathMustExist, OFN_PATHMUSTEXIST},
      {ofFileMustExist, OFN_FILEMUSTEXIST}, {ofCreatePrompt, OFN_CREATEPROMPT},
      {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN}, {ofEnableSizing, OFN_ENABLESIZING},
  };
  for (const auto& [option, flag] : kFlags) {
    if (Request.Options.Contains(option)) ofn.Flags |= flag;
  }
  BOOL ok = Request.Save ? ::GetSaveFileName(&ofn) : ::GetOpenFileName(&ofn);
  if (!ok) return false;
  Request.FileName = file.data();
  Request.FilterIndex = static_cast<Integer>(ofn.nFilterIndex);
  return true;
}

}  // namespace

namespace k58::forms {

TFileDialogProc& FileDialogProc() {
  static TFileDialogProc proc = RunNativeFileDialog;
  return proc;
}

TForm* CreateInputQueryForm(const String& Caption, const String& Prompt, const String& Value, TEdit*& Edit) {
  TObjectPtr<TForm> form(new TForm(Application, 0));
  form->SetBorderStyle(bsDialog);
  form->SetCaption(Caption);
  form->SetPosition(poScreenCenter);
  form->SetFormClientWidth(250);
  form->SetFormClientHeight(96);
  auto* label = new TLabel(form.get());
  label->SetParent(form.get());
  label->SetCaption(Prompt);
  label->SetBounds(8, 8, 234, 16);
  Edit = new TEdit(form.get());
  Edit->SetParent(form.get());
  Edit->SetBounds(8, 28, 234, 24);
  Edit->SetText(Value);
  Edit->SelectAll();
  auto* ok = new TButton(form.get());
  ok->SetParent(form.get());
  ok->SetCaption(dialogsconsts::SMsgDlgOK);
  ok->SetModalResult(mrOk);
  ok->SetDefault(true);
  ok->SetBounds(86, 62, 75, 25);
  auto* cancel = new TButton(form.get());
  cancel->SetParent(form.get());
  cancel->SetCaption(dialogsconsts::SMsgDlgCancel);
  cancel->SetModalResult(mrCancel);
  cancel->SetCancel(true);
  cancel->SetBounds(167, 62, 75, 25);
  form->SetActiveControl(Edit);
  return form.release();
}

TInputQueryProc& InputQueryProc() {
  static TInputQueryProc proc = [](const String& Caption, const String& Prompt, String& Value) {
    TEdit* edit = nullptr;
    TObjectPtr<TForm> form(CreateInputQueryForm(Caption, Prompt, Value, edit));
    if (form->ShowModal() != mrOk) return false;
    Value = edit->Text();
    return true;
  };
  return proc;
}

}  // namespace k58::forms

// ---- Message functions ----------------------------------------------------------------------------------

namespace {

String AppTitle() {
  if (Application != nullptr && !Application->Title().empty()) return Application->Title();
  return ExtractFileName(ParamStr(0));
}

}  // namespace

void ShowMessage(const String& Msg) {
  if (Application != nullptr) {
    Application->MessageBox(Msg, AppTitle(), MB_OK);
    return;
  }
  ::MessageBox(nullptr, Msg.c_str(), AppTitle().c_str(), MB_OK);
}

Integer MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, Integer HelpCtx) {
  (void)HelpCtx;
  UINT flags = 0;
  String caption = AppTitle();
  switch (DlgType) {
    case mtWarning:
      flags |= MB_ICONWARNING;
      caption = dialogsconsts::SMsgDlgWarning;
      break;
    case mtError:
      flags |= MB_ICONERROR;
      caption = dialogsconsts::SMsgDlgError;
      break;
    case mtInformation:
      flags |= MB_ICONINFORMATION;
      caption = dialogsconsts::SMsgDlgInformation;
      break;
    case mtConfirmation:
      flags |= MB_ICONQUESTION;
      caption = dialogsconsts::SMsgDlgConfirm;
      break;
    case mtCustom: break;
  }
  // The nearest set of buttons the message box offers.
  bool yes = Buttons.Contains(mbYes) || Buttons.Contains(mbYesToAll) || Buttons.Contains(mbAll);
  bool no = Buttons.Contains(mbNo) || Buttons.Contains(mbNoToAll);
  bool cancel = Buttons.Contains(mbCancel);
  if (Buttons.Contains(mbAbort) || Buttons.Contains(mbIgnore)) {
    flags |= MB_ABORTRETRYIGNORE;
  } else if (yes || no) {
    flags |= cancel ? MB_YESNOCANCEL : MB_YESNO;
  } else if (Buttons.Contains(mbRetry)) {
    flags |= MB_RETRYCANCEL;
  } else if (cancel) {
    flags |= MB_OKCANCEL;
  } else {
    flags |= MB_OK;
  }
  Integer answer = Application != nullptr ? Application->MessageBox(Msg, caption, flags)
                                          : ::MessageBox(nullptr, Msg.c_str(), caption.c_str(), flags);
  // The answers of the box are the modal results of the same buttons; a box that could not be shown
  // counts as cancelled.
  return answer == 0 ? mrCancel : answer;
}

bool InputQuery(const String& ACaption, const String& APrompt, String& Value) {
  if (!k58::forms::InputQueryProc()) return false;
  String value = Value;
  if (!k58::forms::InputQueryProc()(ACaption, APrompt, value)) return false;
  Value = value;
  return true;
}

String InputBox(const String& ACaption, const String& APrompt, const String& ADefault) {
  String value = ADefault;
  return InputQuery(ACaption, APrompt, value) ? value : ADefault;
}

// ---- Type information -----------------------------------------------------------------------------------

K58_IMPLEMENT_CLASS(TCommonDialog) {
  b.Prop("Ctl3D", &TCommonDialog::Ctl3D, &TCommonDialog::SetCtl3D).Default(true);
  b.Prop("HelpContext", &TCommonDialog::HelpContext, &TCommonDialog::SetHelpContext)
      .Type("THelpContext")
      .Default(0);
  b.Prop("OnClose", &TCommonDialog::OnClose, &TCommonDialog::SetOnClose);
  b.Prop("OnShow", &TCommonDialog::OnShow, &TCommonDialog::SetOnShow);
}

K58_IMPLEMENT_CLASS(TOpenDialog) {
  b.Prop("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  b.Prop("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName).Type("TFileName");
  b.Prop("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  b.Prop("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
  b.Prop("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  b.Prop("Options", &TOpenDialog::Options, &TOpenDialog::SetOptions)
      .Default(TOpenOptions{ofHideReadOnly, ofEnableSizing});
  b.Prop("Title", &TOpenDialog::Title, &TOpenDialog::SetTitle);
}

K58_IMPLEMENT_CLASS(TSaveDialog) {}
