// The port, language, model and port selection dialogs, shown modally headless and driven from their own
// message loops; the translation of a form from a language file, and the keys the shipped forms need.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "app/AllClass.h"
#include "app/AppUi.h"
#include "app/FormResources.h"
#include "app/Program.h"
#include "app/Model.h"
#include "app/SetLanguage.h"
#include "app/SetPort.h"
#include "controls/editors/uiButtons.h"
#include "controls/editors/uiCheckBox.h"
#include "controls/editors/uiComboBox.h"
#include "controls/editors/uiGroupBox.h"
#include "controls/editors/uiRadioButton.h"
#include "controls/extra/uiPageControl.h"
#include "grid/CellGrid.h"
#include "platform/classes/FormText.h"
#include "platform/classes/IniFiles.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/win/Windows.h"
#include "serial/SioSelCom.h"
#include "serial/SioSelComPrompt.h"
#include "tests/app/PortFixtures.h"
#include "tests/app/ProgramFixture.h"

namespace {

using app_test::ClickButton;
using app_test::TFakePorts;
using app_test::TModalDriver;

class DialogTest : public app_test::DocumentTest {
protected:
  void SetUp() override {
    Display = std::make_unique<k58::winui::TestDisplay>();
    StartProgramUnits();
    PrepareFormResources();
    DocumentTest::SetUp();
    SelectDefaultModelAndNewImage();
    for (const char* Name : {"English.Ini", "Chinese.Ini"})
      std::filesystem::copy_file(app_test::ResourceFile(Name), AppDir() + Name);
    TApplication::MessageBoxProc() = [this](HWND, const String& Text, const String& Caption, UINT Flags) {
      Boxes.push_back(Caption + "|" + Text + "|" + std::to_string(Flags));
      return Answer;
    };
    Modal = std::make_unique<TModalDriver>();
  }
  void TearDown() override {
    Modal.reset();
    while (Screen->FormCount() > 0) FreeObject(Screen->Forms(Screen->FormCount() - 1));
    TApplication::MessageBoxProc() = nullptr;
    StopProgramUnits();
    DocumentTest::TearDown();
    Display.reset();
  }

  // Shows a dialog of class T modally with Step running inside it; the dialog is freed afterwards and
  // Inspect sees it before.
  template <class T>
  Integer Run(T*& Variable, TModalDriver::TStep Step, const std::function<void(T*)>& Inspect = {}) {
    Variable = NewObject<T>(Application);
    Modal->Then(std::move(Step));
    const Integer Result = Variable->ShowModal();
    if (Inspect) Inspect(Variable);
    FreeAndNil(Variable);
    return Result;
  }

  std::unique_ptr<k58::winui::TestDisplay> Display;
  std::unique_ptr<TModalDriver> Modal;
  std::vector<String> Boxes;
  Integer Answer = IDOK;
};

// ---- Port dialog ----

TEST_F(DialogTest, PortDialogOffersThePortsThatOpenAndMakesTheCheckedOneCurrent) {
  TFakePorts Ports({1, 12, 30});
  ALL->PortName = "COM1";
  Run(fSetPort, [](TCustomForm* Form) {
    auto* Dialog = static_cast<TfSetPort*>(Form);
    for (Integer N = 1; N <= TfSetPort::PortButtons; ++N)
      EXPECT_EQ(Dialog->uiPorts[N - 1]->Enabled(), N == 1 || N == 12) << N;
    EXPECT_TRUE(Dialog->uiPorts[0]->Checked());
    EXPECT_EQ(Dialog->uiPort->Caption(), Dialog->Caption());
    EXPECT_EQ(Dialog->lbName->Caption(), "Port:");
    // The buttons sit inside the frame, below its caption, none over another; OK and Cancel end where
    // the frame ends.
    const TRect Frame = Dialog->uiPort->ClientRect();
    const Integer CaptionBottom = Dialog->uiPort->GetChildMargins().top;
    for (Integer N = 1; N <= TfSetPort::PortButtons; ++N) {
      TuiRadioButton* Button = Dialog->uiPorts[N - 1];
      const TRect R = Button->BoundsRect();
      EXPECT_EQ(Button->Parent(), Dialog->uiPort) << N;
      EXPECT_TRUE(R.left >= Frame.left && R.top >= CaptionBottom && R.right <= Frame.right && R.bottom <= Frame.bottom)
          << N;
      for (Integer M = 1; M < N; ++M) {
        TRect Overlap;
        const TRect Other = Dialog->uiPorts[M - 1]->BoundsRect();
        EXPECT_FALSE(IntersectRect(&Overlap, &R, &Other)) << N << " over " << M;
      }
    }
    auto* Cancel = ObjectAs<TControl>(NeedComponent(Dialog, "btnCancel"));
    EXPECT_EQ(Cancel->BoundsRect().right, Dialog->uiPort->BoundsRect().right);
    EXPECT_EQ(ObjectAs<TControl>(NeedComponent(Dialog, "btnOk"))->Top(), Cancel->Top());
    Dialog->uiPorts[11]->SetChecked(true);
    ClickButton(Dialog, "btnOk");
  });
  EXPECT_EQ(ALL->PortName, "COM12");

  // Cancel keeps the port.
  Run(fSetPort, [](TCustomForm* Form) {
    static_cast<TfSetPort*>(Form)->uiPorts[0]->SetChecked(true);
    ClickButton(Form, "btnCancel");
  });
  EXPECT_EQ(ALL->PortName, "COM12");
}

TEST_F(DialogTest, PortDialogTranslatedShowsTheLabelOfTheLanguageAndThePortNames) {
  TFakePorts Ports({});
  ALL->LanguageIndex = 1;
  ALL->LanguageName = "Chinese";
  Run(fSetPort, [](TCustomForm* Form) {
    auto* Dialog = static_cast<TfSetPort*>(Form);
    EXPECT_EQ(Dialog->Caption(), "通信端口");
    EXPECT_EQ(Dialog->uiPort->Caption(), "通信端口");
    EXPECT_EQ(Dialog->lbName->Caption(), "端口:");
    EXPECT_TRUE(Dialog->lbName->Visible());
    for (Integer N = 1; N <= TfSetPort::PortButtons; ++N)
      EXPECT_EQ(Dialog->uiPorts[N - 1]->Caption(), "COM" + std::to_string(N));
    ClickButton(Dialog, "btnCancel");
  });
}

// ---- Translation of a form ----

// A form with one component of each kind the translation knows, and a language file for it.
class TranslateFormTest : public DialogTest {
protected:
  void SetUp() override {
    DialogTest::SetUp();
    app_test::WriteFile(AppDir() + "Test.Ini",
                       "[Form1]\r\n"
                       "Form1.Caption=Fenetre\r\n"
                       "Label1.Caption=Etiquette\r\n"
                       "Item1.Caption=&Fichier\r\n"
                       "Item1.Hint=not read\r\n"
                       "Button1.Caption=&Oui\r\n"
                       "Tool1.Caption=Nouveau\r\n"
                       "Tool1.Hint=Nouvelles donnees\r\n"
                       "Grid1.0=corner\r\nGrid1.1=Un\r\nGrid1.2=Deux\r\n"
                       "Grid2.1=never\r\n"
                       "Combo1.0=Aucun\r\nCombo1.1=Bas\r\n"
                       "Combo2.0=never\r\n"
                       "Combo3.0=Rien\r\nCombo3.1=never\r\n"
                       "UiCombo1.0=Aucun\r\nUiCombo1.1=Bas\r\n"
                       "UiCombo2.0=never\r\n"
                       "UiCombo3.0=Rien\r\nUiCombo3.1=never\r\n"
                       "UiButton1.Caption=&Oui\r\n"
                       "UiCheck1.Caption=Coche\r\n"
                       "UiRadio1.Caption=Choix\r\n"
                       "UiGroup1.Caption=never\r\n"
                       "UiTab1.Caption=Onglet\r\n"
                       "Check1.Caption=Coche\r\n"
                       "Radio1.Caption=Choix\r\n"
                       "Group1.Caption=Groupe\r\n"
                       "Tab1.Caption=Onglet\r\n"
                       "List1.0=Premier\r\nList1.1=Second\r\n"
                       "List2.0=never\r\n"
                       "Edit1.Text=never\r\n"
                       "[Other]\r\nLabel2.Caption=never\r\n");
    BuildForm();
  }
  void TearDown() override {
    FreeAndNil(Form);
    DialogTest::TearDown();
  }

  void BuildForm() {
    FreeAndNil(Form);
    Form = NewObject<TForm>(Application, 0);
    Form->SetName("Form1");
    Form->SetCaption("Window");
    auto Add = [this](auto* Control, const char* Name) {
      Control->SetName(Name);
      Control->SetParent(Form);
      return Control;
    };
    Add(NewObject<TLabel>(Form), "Label1")->SetCaption("Label");
    Add(NewObject<TLabel>(Form), "Label2")->SetCaption("No key");
    auto* Menu = NewObject<TMainMenu>(Form);
    auto* Item = NewObject<TMenuItem>(Form);
    Item->SetName("Item1");
    Item->SetCaption("&File");
    Item->SetHint("File");
    Menu->Items()->Add(Item);
    Add(NewObject<TButton>(Form), "Button1")->SetCaption("&Yes");
    auto* Tool = Add(NewObject<TToolButton>(Form), "Tool1");
    Tool->SetCaption("New");
    Tool->SetHint("New data");
    for (const char* Name : {"Grid1", "Grid2"}) {
      auto* Grid = Add(NewObject<TCellGrid>(Form), Name);
      Grid->SetColCount(3);
      for (Integer Col = 0; Col < 3; ++Col) Grid->GetCellInfo(Col, 1)->ForeText = "T" + std::to_string(Col);
    }
    FindAs<TCellGrid>("Grid2")->SetTag(-2);
    for (const char* Name : {"Combo1", "Combo2", "Combo3"}) {
      auto* Combo = Add(NewObject<TComboBox>(Form), Name);
      Combo->Items()->Add("None");
      Combo->Items()->Add("Low");
      Combo->SetItemIndex(1);
    }
    FindAs<TComboBox>("Combo2")->SetTag(-2);
    FindAs<TComboBox>("Combo3")->SetTag(-3);
    for (const char* Name : {"UiCombo1", "UiCombo2", "UiCombo3"}) {
      auto* Combo = Add(NewObject<TuiComboBox>(Form), Name);
      Combo->Properties()->SetDropDownListStyle(lsFixedList);
      Combo->Properties()->Items()->Add("None");
      Combo->Properties()->Items()->Add("Low");
      Combo->SetItemIndex(1);
    }
    FindAs<TuiComboBox>("UiCombo2")->SetTag(-2);
    FindAs<TuiComboBox>("UiCombo3")->SetTag(-3);
    Add(NewObject<TuiButton>(Form), "UiButton1")->SetCaption("&Yes");
    Add(NewObject<TuiCheckBox>(Form), "UiCheck1")->SetCaption("Check");
    Add(NewObject<TuiRadioButton>(Form), "UiRadio1")->SetCaption("Choice");
    Add(NewObject<TuiGroupBox>(Form), "UiGroup1")->SetCaption("Group");
    auto* UiPages = Add(NewObject<TuiPageControl>(Form), "UiPages1");
    auto* UiTab = NewObject<TuiTabSheet>(Form);
    UiTab->SetName("UiTab1");
    UiTab->SetPageControl(UiPages);
    UiTab->SetCaption("Tab");
    Add(NewObject<TCheckBox>(Form), "Check1")->SetCaption("Check");
    Add(NewObject<TRadioButton>(Form), "Radio1")->SetCaption("Choice");
    Add(NewObject<TGroupBox>(Form), "Group1")->SetCaption("Group");
    auto* Pages = Add(NewObject<TPageControl>(Form), "Pages1");
    auto* Tab = NewObject<TTabSheet>(Form);
    Tab->SetName("Tab1");
    Tab->SetPageControl(Pages);
    Tab->SetCaption("Tab");
    for (const char* Name : {"List1", "List2"}) {
      auto* List = Add(NewObject<TListBox>(Form), Name);
      List->Items()->Add("First");
      List->Items()->Add("Second");
    }
    FindAs<TListBox>("List2")->SetTag(-2);
    Add(NewObject<TEdit>(Form), "Edit1")->SetText("Edit");
  }

public:
  template <class T>
  T* FindAs(const String& Name) {
    return ObjectAs<T>(NeedComponent(Form, Name));
  }
  String Items(const String& Name) {
    TComponent* C = Form->FindComponent(Name);
    TStrings* List = dynamic_cast<TComboBox*>(C)     ? FindAs<TComboBox>(Name)->Items()
                     : dynamic_cast<TuiComboBox*>(C) ? FindAs<TuiComboBox>(Name)->Properties()->Items()
                                                     : FindAs<TListBox>(Name)->Items();
    String Out;
    for (Integer I = 0; I < List->Count(); ++I) Out += (I ? "|" : "") + List->Strings(I);
    return Out;
  }

  TForm* Form = nullptr;
};

TEST_F(TranslateFormTest, EachKindOfComponentTakesItsTextsFromTheFormsSection) {
  struct Case {
    const char* What;
    std::function<String(TranslateFormTest&)> Text;
    String WithoutLists;
    String WithLists;
  };
  const std::vector<Case> Cases = {
      {"form caption", [](auto& T) { return T.Form->Caption(); }, "Fenetre", "Fenetre"},
      {"label", [](auto& T) { return T.template FindAs<TLabel>("Label1")->Caption(); }, "Etiquette", "Etiquette"},
      {"label without a key", [](auto& T) { return T.template FindAs<TLabel>("Label2")->Caption(); }, "No key",
       "No key"},
      {"menu item, caption only",
       [](auto& T) {
         auto* Item = T.template FindAs<TMenuItem>("Item1");
         return Item->Caption() + "/" + Item->Hint();
       },
       "&Fichier/File", "&Fichier/File"},
      {"button", [](auto& T) { return T.template FindAs<TButton>("Button1")->Caption(); }, "&Oui", "&Oui"},
      {"tool button, caption and hint",
       [](auto& T) {
         auto* Tool = T.template FindAs<TToolButton>("Tool1");
         return Tool->Caption() + "/" + Tool->Hint();
       },
       "Nouveau/Nouvelles donnees", "Nouveau/Nouvelles donnees"},
      {"grid titles from column 1",
       [](auto& T) {
         auto* Grid = T.template FindAs<TCellGrid>("Grid1");
         return Grid->GetCellInfo(0, 1)->ForeText + "|" + Grid->GetCellInfo(1, 1)->ForeText + "|" +
                Grid->GetCellInfo(2, 1)->ForeText;
       },
       "T0|Un|Deux", "T0|Un|Deux"},
      {"grid with Tag -2",
       [](auto& T) { return T.template FindAs<TCellGrid>("Grid2")->GetCellInfo(1, 1)->ForeText; }, "T1", "T1"},
      {"combo box items, only with lists", [](auto& T) { return T.Items("Combo1"); }, "None|Low", "Aucun|Bas"},
      {"combo box keeps its item index",
       [](auto& T) { return std::to_string(T.template FindAs<TComboBox>("Combo1")->ItemIndex()); }, "1", "1"},
      {"combo box with Tag -2", [](auto& T) { return T.Items("Combo2"); }, "None|Low", "None|Low"},
      {"combo box with Tag -3: item 0 only", [](auto& T) { return T.Items("Combo3"); }, "None|Low", "Rien|Low"},
      {"library combo box items, only with lists", [](auto& T) { return T.Items("UiCombo1"); }, "None|Low",
       "Aucun|Bas"},
      {"library combo box keeps its item and shows its new text",
       [](auto& T) {
         auto* Combo = T.template FindAs<TuiComboBox>("UiCombo1");
         return std::to_string(Combo->ItemIndex()) + " " + Combo->Text();
       },
       "1 Low", "1 Bas"},
      {"library combo box with Tag -2", [](auto& T) { return T.Items("UiCombo2"); }, "None|Low", "None|Low"},
      {"library combo box with Tag -3: item 0 only", [](auto& T) { return T.Items("UiCombo3"); }, "None|Low",
       "Rien|Low"},
      {"library button", [](auto& T) { return T.template FindAs<TuiButton>("UiButton1")->Caption(); }, "&Oui", "&Oui"},
      {"library check box", [](auto& T) { return T.template FindAs<TuiCheckBox>("UiCheck1")->Caption(); }, "Coche",
       "Coche"},
      {"library radio button", [](auto& T) { return T.template FindAs<TuiRadioButton>("UiRadio1")->Caption(); },
       "Choix", "Choix"},
      {"library group box stays", [](auto& T) { return T.template FindAs<TuiGroupBox>("UiGroup1")->Caption(); },
       "Group", "Group"},
      {"library tab sheet", [](auto& T) { return T.template FindAs<TuiTabSheet>("UiTab1")->Caption(); }, "Onglet",
       "Onglet"},
      {"check box", [](auto& T) { return T.template FindAs<TCheckBox>("Check1")->Caption(); }, "Coche", "Coche"},
      {"radio button", [](auto& T) { return T.template FindAs<TRadioButton>("Radio1")->Caption(); }, "Choix",
       "Choix"},
      {"group box", [](auto& T) { return T.template FindAs<TGroupBox>("Group1")->Caption(); }, "Groupe", "Groupe"},
      {"tab sheet", [](auto& T) { return T.template FindAs<TTabSheet>("Tab1")->Caption(); }, "Onglet", "Onglet"},
      {"list box, with lists or without", [](auto& T) { return T.Items("List1"); }, "Premier|Second",
       "Premier|Second"},
      {"list box with Tag -2", [](auto& T) { return T.Items("List2"); }, "First|Second", "First|Second"},
      {"other components", [](auto& T) { return T.template FindAs<TEdit>("Edit1")->Text(); }, "Edit", "Edit"},
  };
  for (bool Lists : {false, true}) {
    BuildForm();
    TranslateForm(Form, "Test", Lists);
    for (const Case& C : Cases)
      EXPECT_EQ(C.Text(*this), Lists ? C.WithLists : C.WithoutLists) << C.What << (Lists ? ", lists on" : "");
  }
}

TEST_F(TranslateFormTest, AMissingFileOrSectionLeavesEveryText) {
  Form->SetName("Form2");
  TranslateForm(Form, "Test", true);
  TranslateForm(Form, "NoSuchLanguage", true);
  EXPECT_EQ(Form->Caption(), "Window");
  EXPECT_EQ(FindAs<TLabel>("Label1")->Caption(), "Label");
  EXPECT_EQ(Items("Combo1"), "None|Low");
  EXPECT_EQ(FindAs<TCellGrid>("Grid1")->GetCellInfo(1, 1)->ForeText, "T1");
}

// Every text the translation would read from a shipped form has its key in each shipped language file, so
// a control added to a form without its texts is found at once. Left out: the port selection form of the
// serial component (never translated) and the texts the program writes itself.
TEST(ShippedLanguageFiles, HoldTheKeyOfEveryTranslatableTextOfEveryForm) {
  PrepareFormResources();
  const std::map<String, std::set<String>> WrittenByTheProgram = {
      {"fMainFrm", {"fMainFrm.Caption", "stModel.Caption", "stFreq.Caption"}},
      {"fSetPort", [] {
         std::set<String> Keys{"uiPort.Caption"};
         for (Integer N = 1; N <= TfSetPort::PortButtons; ++N) Keys.insert("uiPort" + std::to_string(N) + ".Caption");
         return Keys;
       }()},
  };
  auto Inherits = [](const String& ClassName, const char* Ancestor) {
    for (TClass Class = GetClass(ClassName); Class != nullptr; Class = Class->Parent())
      if (Class->Name() == Ancestor) return true;
    return false;
  };
  auto Prop = [](const k58::formtext::Object& O, const String& Name) -> const k58::formtext::Value* {
    for (const auto& P : O.Props)
      if (P.Name == Name) return &P.Val;
    return nullptr;
  };
  // Items with digits are values and codes (column widths, alignment codes, tones such as "670" or "D023N"),
  // the same in every language.
  auto IsWords = [](const String& Text) {
    return std::none_of(Text.begin(), Text.end(), [](char C) { return std::isdigit(static_cast<unsigned char>(C)); });
  };

  std::vector<std::unique_ptr<TIniFile>> Files;
  for (const char* Name : {"English.Ini", "Chinese.Ini"})
    Files.push_back(std::make_unique<TIniFile>(app_test::ResourceFile(Name)));
  int Forms = 0;
  for (const auto& Entry : std::filesystem::directory_iterator(app_test::ResourceFile("forms"))) {
    const String Text = app_test::ReadFile(Entry.path().string());
    const k58::formtext::Object Root = k58::formtext::Parse(Text, Entry.path().filename().string());
    if (Root.ClassName == "TComSelectForm") continue;
    ++Forms;
    const String Section = Root.Name;
    std::vector<String> Keys;
    if (Inherits(Root.ClassName, "TCustomForm")) Keys.push_back(Section + ".Caption");
    std::function<void(const k58::formtext::Object&)> Walk = [&](const k58::formtext::Object& O) {
      const auto* TagValue = Prop(O, "Tag");
      const Int64 Tag = TagValue ? TagValue->Int : 0;
      const auto* Caption = Prop(O, "Caption");
      const auto* Style = Prop(O, "Style");
      std::vector<String> Items;
      for (const char* ItemsProp : {"Items.Strings", "Properties.Items.Strings"})
        if (const auto* List = Prop(O, ItemsProp))
          for (const auto& V : List->List) Items.push_back(V.Text);
      const String& Name = O.Name;
      if (Inherits(O.ClassName, "TToolButton")) {
        if (!Style || (Style->Text != "tbsSeparator" && Style->Text != "tbsDivider")) {
          Keys.push_back(Name + ".Caption");
          Keys.push_back(Name + ".Hint");
        }
      } else if (Inherits(O.ClassName, "TCellGrid")) {
        const auto* Cols = Prop(O, "ColCount");
        if (Tag != -2)
          for (Int64 Col = 1; Col < (Cols ? Cols->Int : 5); ++Col) Keys.push_back(Name + "." + std::to_string(Col));
      } else if (Inherits(O.ClassName, "TComboBox") || Inherits(O.ClassName, "TuiComboBox") ||
                 Inherits(O.ClassName, "TListBox")) {
        const bool FirstOnly = Tag == -3 && !Inherits(O.ClassName, "TListBox");
        if (Tag != -2)
          for (size_t I = 0; I < (FirstOnly ? std::min<size_t>(1, Items.size()) : Items.size()); ++I)
            if (IsWords(Items[I])) Keys.push_back(Name + "." + std::to_string(I));
      } else {
        for (const char* Captioned :
             {"TLabel", "TMenuItem", "TButton", "TCheckBox", "TuiCheckBox", "TRadioButton", "TGroupBox", "TTabSheet",
              "TuiTabSheet"})
          if (Inherits(O.ClassName, Captioned)) {
            if (!(Caption && Caption->Text == "-")) Keys.push_back(Name + ".Caption");
            break;
          }
      }
      for (const auto& Child : O.Children) Walk(Child);
    };
    for (const auto& Child : Root.Children) Walk(Child);

    const auto Written = WrittenByTheProgram.find(Section);
    for (const String& Key : Keys) {
      if (Written != WrittenByTheProgram.end() && Written->second.count(Key)) continue;
      EXPECT_TRUE(Files[0]->ValueExists(Section, Key)) << "English.Ini [" << Section << "] " << Key;
      EXPECT_TRUE(Files[1]->ValueExists(Section, Key)) << "Chinese.Ini [" << Section << "] " << Key;
    }
  }
  EXPECT_GT(Forms, 0);
}

// ---- Language dialog ----

TEST_F(DialogTest, LanguageDialogChangesOnlyOnOkWithAnotherLanguage) {
  app_test::WriteFile(AppDir() + "SysInfo.Ini", "[SysInfo]\r\nLanguage=English|Chinese\r\nEnglish=English|Chinese\r\n");
  ALL->LanguageName = "English";
  ALL->LanguageIndex = 0;
  // Cancel after choosing another language.
  Run(fSetLanguage,
      [](TCustomForm* Form) {
        auto* Dialog = static_cast<TfSetLanguage*>(Form);
        EXPECT_EQ(Dialog->cbLanguage->Properties()->Items()->Count(), 2);
        EXPECT_EQ(Dialog->cbLanguage->Text(), "English");
        Dialog->cbLanguage->SetItemIndex(1);
        ClickButton(Dialog, "btnCancel");
      },
      std::function<void(TfSetLanguage*)>([](TfSetLanguage* Dialog) { EXPECT_FALSE(Dialog->Changed); }));
  EXPECT_EQ(ALL->LanguageName, "English");
  EXPECT_EQ(ALL->LanguageIndex, 0);

  // OK with the same language reports no change.
  Run(fSetLanguage, [](TCustomForm* Form) { ClickButton(Form, "btnOk"); },
      std::function<void(TfSetLanguage*)>([](TfSetLanguage* Dialog) { EXPECT_FALSE(Dialog->Changed); }));

  Run(fSetLanguage,
      [](TCustomForm* Form) {
        static_cast<TfSetLanguage*>(Form)->cbLanguage->SetItemIndex(1);
        ClickButton(Form, "btnOk");
      },
      std::function<void(TfSetLanguage*)>([](TfSetLanguage* Dialog) { EXPECT_TRUE(Dialog->Changed); }));
  EXPECT_EQ(ALL->LanguageName, "Chinese");
  EXPECT_EQ(ALL->LanguageIndex, 1);
}

// ---- Model dialog ----

TEST_F(DialogTest, ModelDialogOffersTheBandsOfTheChosenModelWithItsDefaultBand) {
  Run(fModel,
      [](TCustomForm* Form) {
        auto* Dialog = static_cast<TfModel*>(Form);
        EXPECT_EQ(Dialog->cbCopmut->Text(), "K58(UHF)");
        EXPECT_EQ(Dialog->cbPd->Text(), "450 - 470MHz");
        EXPECT_EQ(Dialog->cbPd->Properties()->Items()->Count(), 9);
        Dialog->cbCopmut->SetItemIndex(1);
        Dialog->cbCopmutChange(Dialog->cbCopmut);
        ASSERT_EQ(Dialog->cbPd->Properties()->Items()->Count(), 4);
        EXPECT_EQ(Dialog->cbPd->Properties()->Items()->Strings(0), "136 - 150MHz");
        EXPECT_EQ(Dialog->cbPd->Text(), "150 - 174MHz");
        Dialog->cbPd->SetItemIndex(1);
        ClickButton(Dialog, "btnOk");
      },
      std::function<void(TfModel*)>([](TfModel* Dialog) {
        EXPECT_TRUE(Dialog->Confirmed);
        EXPECT_EQ(Dialog->ModelText, "K58(VHF)");
        EXPECT_EQ(Dialog->BandText, "136 - 174MHz");
      }));
  // The dialog itself changes nothing.
  EXPECT_EQ(ALL->ModelName, "K58(UHF)");

  Run(fModel, [](TCustomForm* Form) { ClickButton(Form, "btnCancel"); },
      std::function<void(TfModel*)>([](TfModel* Dialog) { EXPECT_FALSE(Dialog->Confirmed); }));
}

// ---- Port selection dialog of the port component ----

TEST_F(DialogTest, PortSelectionListsOpenAndHeldPortsAndAnswersTheChosenNumber) {
  TFakePorts Ports({1, 3, 12, 60});
  // Another program holds COM3: it is listed all the same.
  const int Held = ::open(Ports.Path(3).c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(Held, 0);
  ASSERT_EQ(::flock(Held, LOCK_EX | LOCK_NB), 0);

  Modal->Then([](TCustomForm* Form) {
    auto* Dialog = static_cast<TComSelectForm*>(Form);
    TStrings* Items = Dialog->PortsComboBox->Items();
    ASSERT_EQ(Items->Count(), 3);
    EXPECT_EQ(Items->Strings(0), "COM1");
    EXPECT_EQ(Items->Strings(1), "COM3");
    EXPECT_EQ(Items->Strings(2), "COM12");
    EXPECT_EQ(Dialog->PortsComboBox->ItemIndex(), 0);
    Dialog->PortsComboBox->SetItemIndex(2);
    ClickButton(Dialog, "OkBtn");
  });
  EXPECT_EQ(ChooseComPort(), 12);
  ::close(Held);

  Modal->Then([](TCustomForm* Form) { ClickButton(Form, "AbortBtn"); });
  EXPECT_EQ(ChooseComPort(), 0);
}

TEST_F(DialogTest, PortSelectionWithNoPortsAnswersNothingOnOk) {
  TFakePorts Ports({});
  Modal->Then([](TCustomForm* Form) {
    EXPECT_EQ(static_cast<TComSelectForm*>(Form)->PortsComboBox->Items()->Count(), 0);
    ClickButton(Form, "OkBtn");
  });
  EXPECT_EQ(ChooseComPort(), 0);
}

// ---- Message boxes ----

TEST_F(DialogTest, MessageBoxKindsHaveTheirButtonsAndOtherKindsShowNothing) {
  struct Case {
    Integer Kind;
    UINT Flags;
  } Cases[] = {{mbkInformation, MB_ICONINFORMATION | MB_OK},
               {mbkQuestion, MB_ICONQUESTION | MB_YESNO},
               {mbkRetryCancel, MB_ICONQUESTION | MB_RETRYCANCEL},
               {mbkQuestionDefaultNo, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2}};
  Answer = 7;
  for (const Case& C : Cases) {
    Boxes.clear();
    EXPECT_EQ(ShowMessageBox("Cap", "Text", C.Kind), 7);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0], "Cap|Text|" + std::to_string(C.Flags));
  }
  Boxes.clear();
  EXPECT_EQ(ShowMessageBox("Cap", "Text", 5), 1);
  EXPECT_TRUE(Boxes.empty());
}

}  // namespace
