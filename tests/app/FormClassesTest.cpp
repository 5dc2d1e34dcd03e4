// The class of every component of every shipped form: a component left on a class other than the one its
// window calls for (a stock button where the library's is wanted, a list that must stay plain) fails here.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "platform/classes/FormText.h"
#include "platform/forms/Forms.h"
#include "tests/app/ProgramFixture.h"

namespace {

// The components of one class on one form.
struct TClassRow {
  const char* Form;
  const char* Class;
  std::vector<const char*> Components;
};

// The named components below Node, by name, with the class the resource gives them.
void CollectClasses(const k58::formtext::Object& Node, std::map<String, String>& Out) {
  for (const auto& Child : Node.Children) {
    if (!Child.Name.empty()) Out[Child.Name] = Child.ClassName;
    CollectClasses(Child, Out);
  }
}

std::map<String, String> ComponentClasses(const String& Form) {
  const TResourceData* Data = FindResourceData(HInstance, Form, "FORM");
  if (Data == nullptr) throw EResNotFound(Form);
  std::map<String, String> Out;
  CollectClasses(k58::formtext::Parse(String(reinterpret_cast<const char*>(Data->Data), Data->Size), Form), Out);
  return Out;
}

// Each form of Forms holds exactly the components the rows give it, each of its row's class.
void ExpectClasses(const std::set<String>& Forms, const std::vector<TClassRow>& Rows) {
  std::map<String, std::map<String, String>> Expected;
  for (const TClassRow& Row : Rows)
    for (const char* Name : Row.Components) {
      EXPECT_TRUE(Expected[Row.Form].emplace(Name, Row.Class).second) << Row.Form << "." << Name << " twice";
    }
  for (const String& Form : Forms) {
    SCOPED_TRACE(Form);
    const std::map<String, String> Actual = ComponentClasses(Form);
    const std::map<String, String>& Want = Expected[Form];
    for (const auto& [Name, Class] : Want) {
      const auto Found = Actual.find(Name);
      if (Found == Actual.end()) {
        ADD_FAILURE() << Name << " is not on the form";
      } else {
        EXPECT_EQ(Found->second, Class) << Name;
      }
    }
    for (const auto& [Name, Class] : Actual)
      EXPECT_TRUE(Want.count(Name)) << Name << ": " << Class << " has no row";
  }
}

constexpr const char* MainWindow = "TfMainFrm";

std::set<String> ShippedForms() {
  std::set<String> Out;
  for (const auto& Entry : std::filesystem::directory_iterator(app_test::ResourceFile("forms")))
    if (Entry.path().extension() == ".form") Out.insert(Entry.path().stem().string());
  return Out;
}

TEST(FormClasses, EveryComponentOfTheDialogsAndEditingWindowsIsOfItsClass) {
  // The serial port's own selection form, hidden lists and memos, labels, panels and pictures keep the
  // class library's classes; frames no window asks anything special of are plain group boxes, so they
  // translate. Every push button, check box and radio button, and every editor, is the library's.
  const std::vector<TClassRow> Rows = {
      {"TComSelectForm", "TBevel", {"Bevel1"}},
      {"TComSelectForm", "TLabel", {"Label1", "Label2"}},
      {"TComSelectForm", "TComboBox", {"PortsComboBox"}},
      {"TComSelectForm", "TButton", {"OkBtn", "AbortBtn"}},
      {"TfBFunSet", "TLabel", {"L5", "L6", "L4", "L7", "L13", "L11", "L1", "L2", "L3", "Label8", "L8", "L9", "L10",
        "L12"}},
      {"TfBFunSet", "TuiComboBox", {"uiWaveof", "cbVoice", "uiScan", "uiAlt", "uiRevTx", "uiRate", "cbSQvelch",
        "cbMonikey", "cbTxTimeout", "uiFM", "uiRxShape", "uiTxShape", "uiWhisper"}},
      {"TfBFunSet", "TGroupBox", {"gbVox"}},
      {"TfBFunSet", "TuiCheckBox", {"chVoxFun", "chVoxInhibit", "cbVolLow", "cbVolhigh", "cbBeepTone", "cbBattSave",
        "chComp", "chScrm"}},
      {"TfBFunSet", "TPanel", {"pVox"}},
      {"TfBFunSet", "TuiSpinEdit", {"seVoxLevel"}},
      {"TfBFunSet", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfBInfoEdit", "TuiPageControl", {"uiChInfo"}},
      {"TfBInfoEdit", "TuiTabSheet", {"tsInfo"}},
      {"TfBInfoEdit", "TLabel", {"lbChannel", "lbRx", "lbTx", "lbQT", "lbDQT", "lbfsgl", "lbkz"}},
      {"TfBInfoEdit", "TuiSpinEdit", {"sexd"}},
      {"TfBInfoEdit", "TuiCurrencyEdit", {"eRx", "eTX"}},
      {"TfBInfoEdit", "TuiComboBox", {"cbQT", "cbDQT", "cbfsgl", "cbkz", "uiDcts"}},
      {"TfBInfoEdit", "TuiCheckBox", {"chsmtj", "chfm", "chCp", "chSr", "chpppy", "chWp"}},
      {"TfBInfoEdit", "TuiButton", {"btnClose"}},
      {"TfChInfo", "TCellGrid", {"gvData"}},
      {"TfChInfo", "TuiComboBox", {"cbQT", "cbDQT", "cbfsgl", "cbkz", "cbHave", "uiDcts"}},
      {"TfChInfo", "TLabel", {"lNone"}},
      {"TfChInfo", "TListBox", {"BColText"}},
      {"TfEmbeddedMessage", "TLabel", {"Label1", "Label2"}},
      {"TfEmbeddedMessage", "TuiTextEdit", {"edEMA", "edEMB"}},
      {"TfEmbeddedMessage", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfFrmAbout", "TPanel", {"pAbout"}},
      {"TfFrmAbout", "TImage", {"ImApp", "ImAbout"}},
      {"TfFrmAbout", "TLabel", {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6", "Label7", "Label8",
        "Label9"}},
      {"TfFrmAbout", "TMemo", {"Memo1"}},
      {"TfInfoMsg", "TLabel", {"Label1", "Label2", "Label3", "Label4"}},
      {"TfInfoMsg", "TuiTextEdit", {"uiModel", "uiFreq", "uiSerial", "uiRadioTime"}},
      {"TfInfoMsg", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfModel", "TLabel", {"Label1", "Label2"}},
      {"TfModel", "TuiComboBox", {"cbCopmut", "cbPd"}},
      {"TfModel", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfPassWord", "TLabel", {"Label1", "Label2"}},
      {"TfPassWord", "TuiTextEdit", {"uioPasd", "uinPasd"}},
      {"TfPassWord", "TuiCheckBox", {"cbNps"}},
      {"TfPassWord", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfReadRadio", "TLabel", {"Label1"}},
      {"TfReadRadio", "TuiProgressBar", {"pBar"}},
      {"TfReadRadio", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfReadRadio", "TMemo", {"mmLog"}},
      {"TfReadRadio", "TSioComPort", {"myPort"}},
      {"TfSetLanguage", "TLabel", {"Label1"}},
      {"TfSetLanguage", "TuiComboBox", {"cbLanguage"}},
      {"TfSetLanguage", "TListBox", {"Language"}},
      {"TfSetLanguage", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfSetPort", "TuiGroupBox", {"uiPort"}},
      {"TfSetPort", "TuiRadioButton", {"uiPort1", "uiPort2", "uiPort3", "uiPort4", "uiPort5", "uiPort6", "uiPort7",
        "uiPort8", "uiPort9", "uiPort10", "uiPort11", "uiPort12", "uiPort13", "uiPort14", "uiPort15", "uiPort16",
        "uiPort17", "uiPort18", "uiPort19", "uiPort20"}},
      {"TfSetPort", "TLabel", {"lbName"}},
      {"TfSetPort", "TComboBox", {"cbCom"}},
      {"TfSetPort", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfTestFrequency", "TCellGrid", {"gvData"}},
      {"TfTestFrequency", "TLabel", {"Label1"}},
      {"TfTestFrequency", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfToneOption", "TGroupBox", {"gbVoice", "gbList"}},
      {"TfToneOption", "TuiRadioButton", {"rCTCSS", "rDCSN", "rDCSI"}},
      {"TfToneOption", "TCellGrid", {"gvCtcss", "gvDcsN", "gvDcsI"}},
      {"TfToneOption", "TuiButton", {"btnCancel"}},
      {"TfToneOption", "TListBox", {"lbSel", "lbValue"}},
      {"TfWriteRadio", "TLabel", {"Label1"}},
      {"TfWriteRadio", "TuiProgressBar", {"pBar"}},
      {"TfWriteRadio", "TuiButton", {"btnOk", "btnCancel"}},
      {"TfWriteRadio", "TMemo", {"mmLog"}},
      {"TfWriteRadio", "TSioComPort", {"myPort"}},
  };
  std::set<String> Forms = ShippedForms();
  ASSERT_TRUE(Forms.erase(MainWindow));
  for (const TClassRow& Row : Rows) EXPECT_TRUE(Forms.count(Row.Form)) << Row.Form << " is not shipped";
  ExpectClasses(Forms, Rows);
}

TEST(FormClasses, EveryComponentOfTheMainWindowIsOfItsClass) {
  // The tree is the library's tree view and its hide button the library's button; the tool bar, status
  // bar, menus and panels stay the class library's.
  const std::vector<TClassRow> Rows = {
      {"TfMainFrm", "TPanel", {"pBar", "pTree", "pTreeHead", "pHide"}},
      {"TfMainFrm", "TToolBar", {"tbar"}},
      {"TfMainFrm", "TToolButton", {"tbNew", "tbOpen", "tbSave", "ToolButton1", "ToolButton3", "tbPrint",
        "ToolButton2", "tbRead", "tbWrite", "ToolButton4", "tbHelp"}},
      {"TfMainFrm", "TuiButton", {"TreeHide"}},
      {"TfMainFrm", "TuiTreeView", {"uiQD5174"}},
      {"TfMainFrm", "TStatusBar", {"MainBar"}},
      {"TfMainFrm", "TImage", {"ImBack"}},
      {"TfMainFrm", "TLabel", {"Label1", "Label2", "Label3", "Label5", "Label6", "lCom", "stModel", "stFreq"}},
      {"TfMainFrm", "TComboBox", {"cbCom"}},
      {"TfMainFrm", "TMainMenu", {"MainMenu"}},
      {"TfMainFrm", "TMenuItem", {"mnFile", "mnNew", "mnOpen", "mnSave", "mnSaveAs", "N1", "mnPrint", "mnPreview",
        "N2", "mnExit", "mnEdit", "mnChInfo", "mnChEdit", "mnBatch", "mnRadioInfo", "mnFunSet", "mnPassWord",
        "mnTestFreq", "mnEmbedded", "mnProgram", "mnRead", "mnWrite", "mnTestOnline", "mnSetup", "mnModel", "mnPort",
        "mnLanguage", "mnView", "mnTreeView", "mnToolbar", "mnStatusBar", "mnWindow", "mnCascade", "mnTileH",
        "mnTileV", "mnArrange", "mnCloseAll", "mnHelp", "mnHelpTopics", "N3", "mnAbout"}},
      {"TfMainFrm", "TImageList", {"ilTools"}},
      {"TfMainFrm", "TTimer", {"Timer"}},
      {"TfMainFrm", "TOpenDialog", {"odOpen"}},
      {"TfMainFrm", "TSaveDialog", {"sdSave"}},
      {"TfMainFrm", "TSkinMenu", {"Xp"}},
  };
  ExpectClasses({MainWindow}, Rows);
}

// The library's controls on the shipped forms, by form and name, with whether their resource sets the
// native style (under the control's own look or under its style's).
void CollectNativeStyle(const String& Form, const k58::formtext::Object& Node, std::map<String, bool>& Out) {
  for (const auto& Child : Node.Children) {
    if (Child.ClassName.rfind("Tui", 0) == 0) {
      bool Native = false;
      for (const auto& Prop : Child.Props)
        if (Prop.Name == "LookAndFeel.NativeStyle" || Prop.Name == "Style.LookAndFeel.NativeStyle")
          Native = Prop.Val.Type == vaTrue;
      Out[Form + "." + Child.Name + ": " + Child.ClassName] = Native;
    }
    CollectNativeStyle(Form, Child, Out);
  }
}

TEST(FormClasses, EveryLibraryControlIsDrawnInTheNativeStyle) {
  // Tab sheets draw nothing of their own; the transfer dialogs' bars keep the ultra-flat look.
  std::map<String, bool> Controls;
  for (const String& Form : ShippedForms()) {
    const TResourceData* Data = FindResourceData(HInstance, Form, "FORM");
    ASSERT_NE(Data, nullptr) << Form;
    CollectNativeStyle(Form, k58::formtext::Parse(String(reinterpret_cast<const char*>(Data->Data), Data->Size), Form),
                       Controls);
  }
  EXPECT_GT(Controls.size(), 60u);
  for (const auto& [Control, Native] : Controls) {
    const bool Exempt = Control.find(": TuiTabSheet") != String::npos || Control.find(": TuiProgressBar") != String::npos;
    EXPECT_EQ(Native, !Exempt) << Control;
  }
}

}  // namespace
