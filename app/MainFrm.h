// The main window: an MDI frame with the menu, the tool bar, the tree of the radio's parts, the status bar
// and the editing windows as MDI children. Every menu item and tool button carries a command number in
// its Tag, every tree node one in its StateIndex; DoCommand maps the number to its action.
#pragma once

#include <functional>

#include "platform/forms/Forms.h"
#include "platform/forms/Graphics.h"
#include "skin/SkinMenu.h"

class TComboBox;
class TImage;
class TImageList;
class TLabel;
class TMainMenu;
class TMenuItem;
class TOpenDialog;
class TPanel;
class TSaveDialog;
class TStatusBar;
class TTimer;
class TToolBar;
class TTreeNode;
class TuiButton;
class TuiTreeView;

// Command numbers of the menu items, tool buttons and tree nodes.
enum TMainCommand : Integer {
  cmNew = 1,
  cmOpen = 2,
  cmSave = 3,
  cmSaveAs = 4,
  cmChannelInfo = 5,
  cmPrint = 7,
  cmPrintPreview = 8,
  cmModel = 9,
  cmChannelEdit = 10,
  cmRadioInfo = 11,
  cmPassword = 12,
  cmTestFrequency = 18,
  cmEmbeddedMessage = 19,
  cmReadRadio = 20,
  cmWriteRadio = 21,
  cmTestOnline = 22,
  cmPort = 24,
  cmLanguage = 25,
  cmCascade = 29,
  cmTileHorizontal = 30,
  cmTileVertical = 31,
  cmArrangeIcons = 32,
  cmCloseAll = 33,
  cmHelp = 34,
  cmAbout = 35,
  cmBatchEdit = 36,
  cmFunctionSetting = 37,
};

// What RefreshViews brings up to date.
enum class TViewRefresh : Integer {
  ChannelRow = 0,   // the channel table redraws the row of CurrentChannel
  ReopenAll = 1,    // every editing window is closed and the channel table opened anew
  ChannelEdit = 2,  // the channel edit window reloads
};

class TfMainFrm : public TForm {
  K58_CLASS(TfMainFrm, TForm)

  explicit TfMainFrm(TComponent* AOwner);

  // ---- Components ----
  TMainMenu* MainMenu = nullptr;
  TPanel* pBar = nullptr;
  TToolBar* tbar = nullptr;
  TPanel* pTree = nullptr;
  TuiTreeView* uiQD5174 = nullptr;
  TuiButton* TreeHide = nullptr;
  TStatusBar* MainBar = nullptr;
  TTimer* Timer = nullptr;
  TImage* ImBack = nullptr;
  TImageList* ilTools = nullptr;
  TSkinMenu* Xp = nullptr;
  TLabel* Label1 = nullptr;  // "Radio Information"
  TLabel* Label3 = nullptr;  // "Channel Information"
  TLabel* Label5 = nullptr;  // "No. -"
  TLabel* Label6 = nullptr;  // "Function"
  TLabel* lCom = nullptr;    // "Port: "
  TLabel* stModel = nullptr;
  TLabel* stFreq = nullptr;
  TComboBox* cbCom = nullptr;
  TOpenDialog* odOpen = nullptr;
  TSaveDialog* sdSave = nullptr;
  TMenuItem* mnTestOnline = nullptr;
  TMenuItem* mnTreeView = nullptr;
  TMenuItem* mnToolbar = nullptr;
  TMenuItem* mnStatusBar = nullptr;

  // Path of the current data file; empty when none.
  String FileName;

  // ---- Handlers ----
  void FormShow(TObject* Sender);
  void FormPaint(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  // Menu items and tool buttons: the command in the sender's Tag.
  void ButtonClick(TObject* Sender);
  void TButtonClick(TObject* Sender);
  void TimerTimer(TObject* Sender);
  void uiQD5174DblClick(TObject* Sender);
  void mnExitClick(TObject* Sender);
  void mnTreeViewClick(TObject* Sender);
  void mnToolbarClick(TObject* Sender);
  void mnStatusBarClick(TObject* Sender);
  void TreeHideClick(TObject* Sender);

  // ---- Commands ----
  // Runs command Number; other numbers do nothing. The channel table first leaves its editors.
  void DoCommand(Integer Number);
  // The image is replaced by a blank one; false when the user asked to save first and nothing was saved.
  bool NewFile();
  void OpenFile();
  // Saves to FileName, or asks for a name first; false when nothing was written (dialog cancelled).
  // A failed write raises and leaves Modified set.
  bool SaveFile();
  void ModelSetup();
  void LanguageSetup();
  void PortSetup();
  void ReadFromRadio();
  void WriteToRadio();
  void ShowHelp();
  void ShowChannelInfo();
  // The channel edit window (on CurrentChannel) and the function settings window.
  void ShowChannelEdit();
  void ShowFunctionSetting();

  // ---- Views ----
  void RefreshViews(TViewRefresh Kind);
  // Selects the tree node of CurrentChannel (with ChannelEdit the channel edit window also reloads).
  void SelectChannel(TViewRefresh Kind);
  // Status bar panels, the hidden model and band texts and the caption.
  void UpdateStatus();
  // Node texts from ProgramCaption and the hidden labels.
  void LabelTree();
  // Closes every MDI child; the channel table is destroyed at once.
  void CloseChildren();

  // The tree node of channel 1..16.
  TTreeNode* ChannelNode(Integer Channel) const;

  // Asks for the data file to open or to save to, with the common file dialog; false when cancelled.
  bool PromptFileName(bool ForSave, String& Chosen);
  // Replaces the file dialog when set (tests answer the question through it).
  using TFileNamePrompt = std::function<bool(bool ForSave, String& Chosen)>;
  static TFileNamePrompt& FileNamePrompt();

 protected:
  void Loaded() override;
  void BeforeDestruction() override;

 private:
  // Offers to save a modified image before it is replaced or the program ends. False when the command
  // must not go on: the user asked to save and the data was not saved.
  bool SaveChangesFirst();
  void BuildTree();
  void LoadToolImages();
  // Paints the tiled background behind the MDI children.
  LRESULT ClientProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  void HookClient();
  // A part of the window (panels, status bar), nil while its control is not in the form.
  TControl* PartNamed(const String& Name) const;
  // The channel table's events: a channel's record changed, another channel was selected.
  void ChannelChanged(TObject* Sender);
  void ChannelSelected(TObject* Sender);

  // The tiled background picture.
  TObjectPtr<TBitmap> background_{new TBitmap()};

  WNDPROC defClientProc_ = nullptr;
  HWND hookedClient_ = nullptr;
};

extern TfMainFrm* fMainFrm;
