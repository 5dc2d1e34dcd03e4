#include "app/MainFrm.h"

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/BFunSet.h"
#include "app/BInfoEdit.h"
#include "app/ChInfo.h"
#include "app/DataFile.h"
#include "app/EmbeddedMessage.h"
#include "app/FrmAbout.h"
#include "app/InfoMsg.h"
#include "app/PassWord.h"
#include "app/Model.h"
#include "app/ReadRadioForm.h"
#include "app/SetLanguage.h"
#include "app/SetPort.h"
#include "app/SysInfo.h"
#include "app/TestFrequency.h"
#include "app/WriteRadioForm.h"
#include "controls/editors/uiButtons.h"
#include "controls/extra/uiTreeView.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Streams.h"
#include "platform/forms/ImgList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Timers.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Windows.h"
#include "platform/forms/ComCtrls.h"
#include "platform/win/builtin/CommDlg.h"
#include "platform/forms/ExtCtrls.h"

TfMainFrm* fMainFrm = nullptr;

K58_IMPLEMENT_CLASS(TfMainFrm) {
  b.Field("MainMenu", &TfMainFrm::MainMenu);
  b.Field("pBar", &TfMainFrm::pBar);
  b.Field("tbar", &TfMainFrm::tbar);
  b.Field("pTree", &TfMainFrm::pTree);
  b.Field("uiQD5174", &TfMainFrm::uiQD5174);
  b.Field("MainBar", &TfMainFrm::MainBar);
  b.Field("ImBack", &TfMainFrm::ImBack);
  b.Field("TreeHide", &TfMainFrm::TreeHide);
  b.Field("Timer", &TfMainFrm::Timer);
  b.Field("ilTools", &TfMainFrm::ilTools);
  b.Field("Xp", &TfMainFrm::Xp);
  b.Field("Label1", &TfMainFrm::Label1);
  b.Field("Label3", &TfMainFrm::Label3);
  b.Field("Label5", &TfMainFrm::Label5);
  b.Field("Label6", &TfMainFrm::Label6);
  b.Field("lCom", &TfMainFrm::lCom);
  b.Field("stModel", &TfMainFrm::stModel);
  b.Field("stFreq", &TfMainFrm::stFreq);
  b.Field("cbCom", &TfMainFrm::cbCom);
  b.Field("mnTestOnline", &TfMainFrm::mnTestOnline);
  b.Field("mnTreeView", &TfMainFrm::mnTreeView);
  b.Field("mnToolbar", &TfMainFrm::mnToolbar);
  b.Field("mnStatusBar", &TfMainFrm::mnStatusBar);
  b.Method("FormShow", &TfMainFrm::FormShow);
  b.Method("FormPaint", &TfMainFrm::FormPaint);
  b.Method("FormCloseQuery", &TfMainFrm::FormCloseQuery);
  b.Method("FormClose", &TfMainFrm::FormClose);
  b.Method("ButtonClick", &TfMainFrm::ButtonClick);
  b.Method("TButtonClick", &TfMainFrm::TButtonClick);
  b.Method("TimerTimer", &TfMainFrm::TimerTimer);
  b.Method("uiQD5174DblClick", &TfMainFrm::uiQD5174DblClick);
  b.Method("mnExitClick", &TfMainFrm::mnExitClick);
  b.Method("mnTreeViewClick", &TfMainFrm::mnTreeViewClick);
  b.Method("mnToolbarClick", &TfMainFrm::mnToolbarClick);
  b.Method("mnStatusBarClick", &TfMainFrm::mnStatusBarClick);
  b.Method("TreeHideClick", &TfMainFrm::TreeHideClick);
}

namespace {

// Status bar panels.
constexpr Integer spDate = 1;
constexpr Integer spTime = 2;
constexpr Integer spPort = 3;
constexpr Integer spModel = 4;
constexpr Integer spBand = 5;
constexpr Integer StatusPanels = 7;

// Tree nodes: the root, its three children, and the channels under "Channel Information".
constexpr Integer tnRadioInfo = 0;
constexpr Integer tnChannels = 1;
constexpr Integer tnFunction = 2;

// A modal dialog made for one use and freed afterwards, its process-wide variable set meanwhile.
template <class T>
class TDialogUse {
public:
  explicit TDialogUse(T*& Variable) : variable_(Variable) { variable_ = NewObject<T>(Application); }
  ~TDialogUse() { FreeAndNil(variable_); }
  TDialogUse(const TDialogUse&) = delete;
  TDialogUse& operator=(const TDialogUse&) = delete;
  T* operator->() const { return variable_; }
  T* Get() const { return variable_; }

private:
  T*& variable_;
};

// The model and band that a model change replaces, to go back to when the change does not complete.
struct TModelState {
  explicit TModelState(const TALL& All)
      : Model(All.CurrentModel), ModelName(All.ModelName), TypeCode(All.TypeCode), BandText(All.BandText),
        ChannelCount(All.ChannelCount), ModelMax(All.ModelMax), ModelMin(All.ModelMin), BandHigh(All.BandHigh),
        BandLow(All.BandLow) {}
  void Restore(TALL& All) const {
    All.CurrentModel = Model;
    All.ModelName = ModelName;
    All.TypeCode = TypeCode;
    All.BandText = BandText;
    All.ChannelCount = ChannelCount;
    All.ModelMax = ModelMax;
    All.ModelMin = ModelMin;
    All.BandHigh = BandHigh;
    All.BandLow = BandLow;
  }

  TMacType* Model;
  String ModelName, TypeCode, BandText;
  Integer ChannelCount;
  double ModelMax, ModelMin, BandHigh, BandLow;
};

bool ChannelInfoOpen() { return fChInfo != nullptr && fChInfo->HandleAllocated(); }

}  // namespace

TfMainFrm::TfMainFrm(TComponent* AOwner) : TForm(AOwner) {}

void TfMainFrm::Loaded() {
  TForm::Loaded();
  LoadToolImages();
  BuildTree();
}

void TfMainFrm::BeforeDestruction() {
  // The MDI client keeps running while the form goes: give it back its own procedure first.
  if (hookedClient_ != nullptr && IsWindow(hookedClient_))
    SetWindowLongPtr(hookedClient_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defClientProc_));
  hookedClient_ = nullptr;
  // A channel table that outlives the window must not call back into it.
  if (fChInfo != nullptr) {
    fChInfo->SetOnChannelChanged(nullptr);
    fChInfo->SetOnChannelSelected(nullptr);
  }
  if (fBInfoEdit != nullptr) {
    fBInfoEdit->SetOnChannelStored(nullptr);
    fBInfoEdit->SetOnChannelSelected(nullptr);
  }
  TForm::BeforeDestruction();
}

void TfMainFrm::LoadToolImages() {
  TObjectPtr<TBitmap> Strip(new TBitmap());
  Strip->LoadFromResourceName(HInstance, "TOOLBAR");
  ilTools->AddMasked(Strip.get(), clFuchsia);
}

void TfMainFrm::BuildTree() {
  TTreeNodes* Nodes = uiQD5174->Items();
  Nodes->Clear();
  TTreeNode* Root = Nodes->Add(nullptr, ALL != nullptr ? ALL->ProgramCaption : String());
  Root->SetStateIndex(-1);
  TTreeNode* Info = Nodes->AddChild(Root, Label1->Caption());
  Info->SetStateIndex(cmRadioInfo);
  TTreeNode* Channels = Nodes->AddChild(Root, Label3->Caption());
  Channels->SetStateIndex(cmChannelInfo);
  for (Integer Channel = 1; Channel <= MaxChannels; ++Channel)
    Nodes->AddChild(Channels, Label5->Caption() + " " + IntToStr(Channel))->SetStateIndex(cmChannelEdit);
  TTreeNode* Function = Nodes->AddChild(Root, Label6->Caption());
  Function->SetStateIndex(cmFunctionSetting);
}

TTreeNode* TfMainFrm::ChannelNode(Integer Channel) const {
  TTreeNode* Root = uiQD5174->Items()->GetFirstNode();
  if (Root == nullptr || Root->Count() <= tnChannels) return nullptr;
  TTreeNode* Channels = Root->Item(tnChannels);
  if (Channel < 1 || Channel > Channels->Count()) return nullptr;
  return Channels->Item(Channel - 1);
}

// ---- Start-up ----

void TfMainFrm::FormShow(TObject*) {
  background_->LoadFromResourceName(HInstance, "PIC");
  mnTestOnline->SetVisible(ALL->TestOnlineVisible);
  ALL->SelectModelByBand(MacList->GetItem(0), 0, false);
  ALL->NewImage();

  cbCom->Items()->Clear();
  ListComPorts(cbCom->Items());
  ALL->PortName = UpperCase(ALL->PortName);
  cbCom->SetItemIndex(cbCom->Items()->IndexOf(ALL->PortName));
  if (cbCom->ItemIndex() < 0 && cbCom->Items()->Count() > 0) {
    cbCom->SetItemIndex(0);
    ALL->PortName = cbCom->Items()->Strings(0);
  }

  ParseBand(ALL->BandText, ALL->BandLow, ALL->BandHigh);
  FileName.clear();
  if (ALL->LanguageIndex > 0) TranslateForm(this, ALL->LanguageName, true);
  LabelTree();
  SetCaption(ALL->ProgramCaption);
  UpdateStatus();
  ShowChannelInfo();
  ALL->Modified = false;
  uiQD5174->ExpandAll();
  uiQD5174->SetSelectedNode(uiQD5174->Items()->GetFirstNode());
  HookClient();
}

// ---- Background ----

void TfMainFrm::FormPaint(TObject*) {
  TBitmap* Picture = background_.get();
  if (Picture->Empty()) return;
  Canvas()->Brush()->SetBitmap(Picture);
  Canvas()->FillRect(TRect{0, 0, Screen->Width(), Screen->Height()});
  Canvas()->Brush()->SetBitmap(nullptr);
}

void TfMainFrm::HookClient() {
  // The MDI children live in the client window, which covers the form: the background is painted there.
  HWND Client = ClientHandle();
  if (Client == nullptr || Client == hookedClient_) return;
  hookedClient_ = Client;
  static TfMainFrm* Self = nullptr;
  Self = this;
  defClientProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtr(Client, GWLP_WNDPROC));
  SetWindowLongPtr(Client, GWLP_WNDPROC,
                   reinterpret_cast<LONG_PTR>(+[](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
                     return Self->ClientProc(Wnd, Msg, WParam, LParam);
                   }));
}

LRESULT TfMainFrm::ClientProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_ERASEBKGND) {
    TBitmap* Picture = background_.get();
    if (!Picture->Empty()) {
      HDC Dc = reinterpret_cast<HDC>(WParam);
      HBRUSH Brush = CreatePatternBrush(Picture->Handle());
      RECT Rect;
      ::GetClientRect(Wnd, &Rect);
      FillRect(Dc, &Rect, Brush);
      DeleteObject(Brush);
      return 1;
    }
  } else if (Msg == WM_SIZE) {
    // The pattern is anchored at the client's origin: repaint all of it, not only the new strip.
    InvalidateRect(Wnd, nullptr, TRUE);
  }
  return CallWindowProc(defClientProc_, Wnd, Msg, WParam, LParam);
}

// ---- Commands ----

void TfMainFrm::ButtonClick(TObject* Sender) {
  if (auto* Item = dynamic_cast<TComponent*>(Sender)) DoCommand(Item->Tag());
}

void TfMainFrm::TButtonClick(TObject* Sender) {
  if (auto* Button = dynamic_cast<TComponent*>(Sender)) DoCommand(Button->Tag());
}

void TfMainFrm::DoCommand(Integer Number) {
  if (ChannelInfoOpen()) fChInfo->HideEditors();
  switch (Number) {
    case cmNew: NewFile(); break;
    case cmOpen: OpenFile(); break;
    case cmSave: SaveFile(); break;
    case cmSaveAs:
      FileName.clear();
      SaveFile();
      break;
    case cmChannelInfo: ShowChannelInfo(); break;
    case cmChannelEdit: ShowChannelEdit(); break;
    case cmFunctionSetting: ShowFunctionSetting(); break;
    case cmModel: ModelSetup(); break;
    case cmRadioInfo: ShowRadioInfo(); break;
    case cmPassword: ShowPassword(); break;
    case cmTestFrequency: ShowTestFrequency(); break;
    case cmEmbeddedMessage: ShowEmbeddedMessage(); break;
    case cmAbout: ShowAbout(); break;
    case cmReadRadio: ReadFromRadio(); break;
    case cmWriteRadio: WriteToRadio(); break;
    case cmPort: PortSetup(); break;
    case cmLanguage: LanguageSetup(); break;
    case cmCascade: Cascade(); break;
    case cmTileHorizontal:
      SetTileMode(tbHorizontal);
      Tile();
      break;
    case cmTileVertical:
      SetTileMode(tbVertical);
      Tile();
      break;
    case cmArrangeIcons: ArrangeIcons(); break;
    case cmCloseAll:
      for (Integer I = MDIChildCount() - 1; I >= 0; --I) MDIChildren(I)->Close();
      break;
    case cmHelp: ShowHelp(); break;
    // The print commands come with the report; they, Test Online and Batch Channel Edit do nothing.
    default: break;
  }
}

bool TfMainFrm::SaveChangesFirst() {
  if (!ALL->Modified) return true;
  if (ShowMessageBox(Language->Confirmation, Language->SaveProgram, mbkQuestion) != mbrYes) return true;
  try {
    SaveFile();
  } catch (Exception& E) {
    Application->ShowException(&E);
  }
  return !ALL->Modified;
}

bool TfMainFrm::NewFile() {
  if (!SaveChangesFirst()) return false;
  ALL->NewImage();
  FileName.clear();
  UpdateStatus();
  RefreshViews(TViewRefresh::ReopenAll);
  ALL->Modified = false;
  return true;
}

void TfMainFrm::OpenFile() {
  if (!SaveChangesFirst()) return;
  String Chosen;
  if (!PromptFileName(false, Chosen)) return;
  FileName = Chosen;
  bool Known = false;
  try {
    // A file that cannot be read clears FileName, so a later Save asks for a name.
    Known = ReadDataFile(FileName);
  } catch (...) {
    UpdateStatus();
    throw;
  }
  if (!Known) ShowMessageBox(Language->Confirmation, Language->ModError, mbkInformation);
  UpdateStatus();
  if (Known) RefreshViews(TViewRefresh::ReopenAll);
}

bool TfMainFrm::SaveFile() {
  bool Written = false;
  try {
    if (FileName.empty()) {
      String Chosen;
      if (PromptFileName(true, Chosen)) FileName = Chosen;
    }
    if (!FileName.empty()) {
      WriteDataFile(FileName);
      Written = true;
    }
  } catch (...) {
    UpdateStatus();
    throw;
  }
  UpdateStatus();
  return Written;
}

void TfMainFrm::ModelSetup() {
  TDialogUse<TfModel> Dialog(fModel);
  Dialog->ShowModal();
  if (!Dialog->Confirmed) return;
  if (ALL->Modified &&
      ShowMessageBox(Language->Confirmation, Language->ClearData, mbkQuestion) == mbrNo)
    return;
  const TModelState Previous(*ALL);
  ALL->SelectModelByBand(MacList->FindByName(Dialog->ModelText), FrqList->CodeOfBand(Dialog->BandText), true);
  if (!NewFile()) {
    // The old image stays, so it keeps its model and band.
    Previous.Restore(*ALL);
    UpdateStatus();
  }
}

void TfMainFrm::LanguageSetup() {
  TDialogUse<TfSetLanguage> Dialog(fSetLanguage);
  Dialog->ShowModal();
  if (!Dialog->Changed) return;
  LoadMessages(ALL->LanguageName);
  TranslateForm(this, ALL->LanguageName, true);
  UpdateStatus();
  CloseChildren();
  LabelTree();
  ShowChannelInfo();
  // The image is the same as before: unsaved changes stay unsaved.
}

void TfMainFrm::PortSetup() {
  {
    TDialogUse<TfSetPort> Dialog(fSetPort);
    Dialog->ShowModal();
  }
  UpdateStatus();
}

void TfMainFrm::ReadFromRadio() {
  TDialogUse<TfReadRadio> Dialog(fReadRadio);
  Dialog->ShowModal();
  if (Dialog->Done()) {
    FileName.clear();
    UpdateStatus();
    RefreshViews(TViewRefresh::ReopenAll);
  }
}

void TfMainFrm::WriteToRadio() {
  TDialogUse<TfWriteRadio> Dialog(fWriteRadio);
  Dialog->ShowModal();
}

void TfMainFrm::ShowHelp() {
  const String Title = ALL->HelpPrefix + "_Help";
  if (HWND Help = FindWindow(nullptr, Title.c_str())) {
    // Bring the open help window up.
    if (IsIconic(Help)) ShowWindow(Help, SW_RESTORE);
    ShowWindow(Help, SW_SHOW);
    SetForegroundWindow(Help);
    return;
  }
  const String File = ALL->AppDir + ALL->HelpPrefix + "_" + ALL->LanguageName + ".chm";
  ShellExecute(Handle(), "open", File.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TfMainFrm::ShowChannelInfo() {
  if (ChannelInfoOpen()) {
    fChInfo->SetFocus();
  } else {
    fChInfo = NewObject<TfChInfo>(Application);
    fChInfo->SetOnChannelChanged(TNotifyEvent(this, &TfMainFrm::ChannelChanged));
    fChInfo->SetOnChannelSelected(TNotifyEvent(this, &TfMainFrm::ChannelSelected));
  }
  if (fChInfo->WindowState() == wsMinimized) fChInfo->SetWindowState(wsNormal);
  fChInfo->Show();
}

void TfMainFrm::ShowChannelEdit() {
  if (fBInfoEdit != nullptr && fBInfoEdit->HandleAllocated()) {
    fBInfoEdit->SetFocus();
  } else {
    fBInfoEdit = NewObject<TfBInfoEdit>(Application);
    fBInfoEdit->SetOnChannelStored([this](TObject*) { RefreshViews(TViewRefresh::ChannelRow); });
    fBInfoEdit->SetOnChannelSelected([this](TObject*) { SelectChannel(TViewRefresh::ChannelRow); });
  }
  if (fBInfoEdit->WindowState() == wsMinimized) fBInfoEdit->SetWindowState(wsNormal);
  fBInfoEdit->Show();
  fBInfoEdit->LoadChannel();
}

void TfMainFrm::ShowFunctionSetting() {
  if (fBFunSet != nullptr && fBFunSet->HandleAllocated())
    fBFunSet->SetFocus();
  else
    fBFunSet = NewObject<TfBFunSet>(Application);
  if (fBFunSet->WindowState() == wsMinimized) fBFunSet->SetWindowState(wsNormal);
  fBFunSet->Show();
}

// ---- Views ----

void TfMainFrm::RefreshViews(TViewRefresh Kind) {
  switch (Kind) {
    case TViewRefresh::ChannelRow:
      if (ChannelInfoOpen()) fChInfo->FillRow(ALL->CurrentChannel + 1);
      break;
    case TViewRefresh::ReopenAll:
      CloseChildren();
      if (fBInfoEdit != nullptr) fBInfoEdit->LoadChannel();
      ShowChannelInfo();
      break;
    case TViewRefresh::ChannelEdit:
      if (fBInfoEdit != nullptr) fBInfoEdit->LoadChannel();
      break;
  }
}

void TfMainFrm::SelectChannel(TViewRefresh Kind) {
  if (TTreeNode* Node = ChannelNode(ALL->CurrentChannel)) uiQD5174->SetSelectedNode(Node);
  if (Kind == TViewRefresh::ChannelEdit && fBInfoEdit != nullptr) fBInfoEdit->LoadChannel();
}

void TfMainFrm::ChannelChanged(TObject*) { RefreshViews(TViewRefresh::ChannelEdit); }

void TfMainFrm::ChannelSelected(TObject*) { SelectChannel(TViewRefresh::ChannelEdit); }

void TfMainFrm::UpdateStatus() {
  const TDateTime Stamp = Now();
  for (Integer I = 0; I < StatusPanels && I < MainBar->Panels()->Count(); ++I) {
    String Text;
    switch (I) {
      case spDate: Text = FormatDateTime("yyyy/mm/dd", Stamp); break;
      case spTime: Text = FormatDateTime("HH:mm:ss", Stamp); break;
      case spPort: Text = lCom->Caption() + ALL->PortName; break;
      case spModel: Text = ALL->ModelName; break;
      case spBand: Text = ALL->BandText; break;
      default: break;
    }
    MainBar->Panels()->Items(I)->SetText(Text);
  }
  stModel->SetCaption(ALL->ModelName);
  stFreq->SetCaption(ALL->BandText);
  SetCaption(FileName.empty() ? ALL->ProgramCaption : ALL->ProgramCaption + " [" + FileName + "]");
}

void TfMainFrm::TimerTimer(TObject*) {
  if (MainBar->Panels()->Count() <= spTime) return;
  const TDateTime Stamp = Now();
  // The date too, so it is right after midnight.
  MainBar->Panels()->Items(spDate)->SetText(FormatDateTime("yyyy/mm/dd", Stamp));
  MainBar->Panels()->Items(spTime)->SetText(FormatDateTime("HH:mm:ss", Stamp));
}

void TfMainFrm::LabelTree() {
  TTreeNode* Root = uiQD5174->Items()->GetFirstNode();
  if (Root == nullptr) return;
  Root->SetText(ALL->ProgramCaption);
  Root->Item(tnRadioInfo)->SetText(Label1->Caption());
  Root->Item(tnChannels)->SetText(Label3->Caption());
  Root->Item(tnFunction)->SetText(Label6->Caption());
  for (Integer Channel = 1; Channel <= MaxChannels; ++Channel)
    if (TTreeNode* Node = ChannelNode(Channel)) Node->SetText(Label5->Caption() + " " + IntToStr(Channel));
}

void TfMainFrm::CloseChildren() {
  for (Integer I = MDIChildCount() - 1; I >= 0; --I) {
    TCustomForm* Child = MDIChildren(I);
    if (Child == fChInfo) {
      // Destroyed now, so a new one can be made at once.
      fChInfo->HideEditors();
      FreeObject(Child);
    } else {
      Child->Close();
    }
  }
}

void TfMainFrm::uiQD5174DblClick(TObject*) {
  POINT Cursor{};
  GetCursorPos(&Cursor);
  // Node positions are in the inner tree's client area, inside the container's border.
  const TPoint At = uiQD5174->GetInnerTreeView()->ScreenToClient(TPoint{Cursor.x, Cursor.y});
  TTreeNode* Node = uiQD5174->GetNodeAtPos(At.x, At.y);
  if (Node == nullptr || Node != uiQD5174->GetSelectedNode()) return;
  if (Node->StateIndex() == cmChannelEdit) ALL->CurrentChannel = Node->Index() + 1;
  DoCommand(Node->StateIndex());
}

// ---- View menu ----

void TfMainFrm::mnExitClick(TObject*) { Close(); }

namespace {

void ShowPart(TControl* Part, bool Visible) {
  if (Part != nullptr) Part->SetVisible(Visible);
}

}  // namespace

void TfMainFrm::mnTreeViewClick(TObject*) {
  mnTreeView->SetChecked(!mnTreeView->Checked());
  ShowPart(PartNamed("pTree"), mnTreeView->Checked());
}

void TfMainFrm::mnToolbarClick(TObject*) {
  mnToolbar->SetChecked(!mnToolbar->Checked());
  ShowPart(PartNamed("pBar"), mnToolbar->Checked());
}

void TfMainFrm::mnStatusBarClick(TObject*) {
  mnStatusBar->SetChecked(!mnStatusBar->Checked());
  ShowPart(PartNamed("MainBar"), mnStatusBar->Checked());
}

void TfMainFrm::TreeHideClick(TObject*) {
  mnTreeView->SetChecked(false);
  ShowPart(PartNamed("pTree"), false);
}

TControl* TfMainFrm::PartNamed(const String& Name) const {
  return dynamic_cast<TControl*>(FindComponent(Name));
}

// ---- File names ----

TfMainFrm::TFileNamePrompt& TfMainFrm::FileNamePrompt() {
  static TFileNamePrompt Prompt;
  return Prompt;
}

bool TfMainFrm::PromptFileName(bool ForSave, String& Chosen) {
  if (FileNamePrompt()) return FileNamePrompt()(ForSave, Chosen);
  // "Data File(*.dat)" with the pattern, as the common dialog takes a filter: pairs ending in an empty one.
  static const char Filter[] = "Data File(*.dat)\0*.dat\0";
  char Buffer[4096] = {};
  OPENFILENAME Ofn{};
  Ofn.hwndOwner = HandleAllocated() ? Handle() : nullptr;
  Ofn.lpstrFilter = Filter;
  Ofn.lpstrFile = Buffer;
  Ofn.nMaxFile = sizeof Buffer;
  Ofn.lpstrDefExt = "dat";
  Ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR |
              (ForSave ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
  if (!(ForSave ? GetSaveFileName(&Ofn) : GetOpenFileName(&Ofn))) return false;
  Chosen = Buffer;
  return !Chosen.empty();
}

// ---- Closing ----

void TfMainFrm::FormCloseQuery(TObject*, bool& CanClose) {
  if (ShowMessageBox(Language->Confirmation, Language->ExitProgram, mbkQuestion) != mbrYes) {
    CanClose = false;
    return;
  }
  CanClose = SaveChangesFirst();
}

void TfMainFrm::FormClose(TObject*, TCloseAction&) {
  String Error;
  if (!SaveSysInfo(&Error)) ShowMessageBox(Language->Confirmation, Error, mbkInformation);
}
