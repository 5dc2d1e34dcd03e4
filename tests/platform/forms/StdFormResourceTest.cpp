// A form of the standard and common controls read from its form resource: every control and property
// arrives, the form shows headless, takes clicks and keys, fires its handlers, runs modally and returns
// its result. A picture of the shown form is left in the build folder.
#include "StdCtlTesting.h"

#include "FormsTesting.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Mask.h"
#include "platform/forms/Timers.h"

namespace {

const char* const kRadioFormText = R"(object RadioForm: TStdRadioForm
  Left = 40
  Top = 30
  Width = 560
  Height = 420
  Caption = 'Radio'
  Menu = MainMenu
  OnCreate = FormCreate
  object Bar: TToolBar
    Left = 0
    Top = 0
    Width = 552
    Height = 28
    ButtonHeight = 24
    ButtonWidth = 48
    Caption = 'Bar'
    EdgeBorders = [ebTop, ebBottom]
    Flat = True
    ShowCaptions = True
    TabOrder = 9
    object NewButton: TToolButton
      Left = 0
      Top = 0
      Caption = 'New'
      Hint = 'New data'
      Tag = 1
      OnClick = NewClick
    end
    object OpenButton: TToolButton
      Left = 56
      Top = 0
      Caption = 'Open'
      MenuItem = OpenItem
    end
    object Sep: TToolButton
      Left = 48
      Top = 0
      Width = 8
      Caption = 'Sep'
      Style = tbsSeparator
    end
  end
  object Status: TStatusBar
    Left = 0
    Top = 350
    Width = 552
    Height = 19
    Panels = <
      item
        Text = 'Ready'
        Width = 120
      end
      item
        Alignment = taCenter
        Width = 80
      end
      item
        Width = 50
      end>
  end
  object Side: TPanel
    Left = 0
    Top = 28
    Width = 150
    Height = 322
    Align = alLeft
    BevelOuter = bvLowered
    TabOrder = 8
    object Tree: TTreeView
      Left = 1
      Top = 1
      Width = 148
      Height = 320
      Align = alClient
      HideSelection = False
      Indent = 19
      ReadOnly = True
      TabOrder = 0
      OnChange = TreeChange
      OnDblClick = TreeDblClick
    end
  end
  object NameLabel: TLabel
    Left = 170
    Top = 44
    Caption = '&Name'
    FocusControl = NameEdit
  end
  object NameEdit: TEdit
    Left = 230
    Top = 40
    Width = 120
    TabOrder = 0
    Text = 'abc'
    OnChange = NameChange
  end
  object TimeEdit: TMaskEdit
    Left = 230
    Top = 70
    Width = 120
    EditMask = '00:00;1;_'
    TabOrder = 1
    Text = '1230'
  end
  object Power: TCheckBox
    Left = 170
    Top = 100
    Width = 120
    Caption = '&High power'
    TabOrder = 2
    OnClick = PowerClick
  end
  object Narrow: TRadioButton
    Left = 170
    Top = 125
    Width = 80
    Caption = 'Narrow'
    TabOrder = 3
  end
  object Wide: TRadioButton
    Left = 260
    Top = 125
    Width = 80
    Caption = 'Wide'
    Checked = True
    TabOrder = 4
  end
  object Channels: TListBox
    Left = 170
    Top = 150
    Width = 120
    Height = 60
    Items.Strings = (
      'One'
      'Two'
      'Three')
    TabOrder = 5
  end
  object Tone: TComboBox
    Left = 300
    Top = 150
    Width = 100
    Style = csDropDownList
    Items.Strings = (
      '67.0'
      '71.9')
    TabOrder = 6
  end
  object Progress: TProgressBar
    Left = 170
    Top = 220
    Width = 200
    Height = 16
    Max = 50
    Position = 10
    TabOrder = 10
  end
  object Picture: TImage
    Left = 420
    Top = 40
    Width = 32
    Height = 32
    Stretch = True
    Picture.Data = {
      07544269746D617066000000424D660000000000000036000000280000000400
      000004000000010018000000000030000000130B0000130B0000000000000000
      00000000FF0000FF0000FF0000FF0000FF0000FF0000FF0000FF0000FF0000FF
      0000FF0000FF0000FF0000FF0000FF0000FF}
  end
  object Line: TBevel
    Left = 170
    Top = 250
    Width = 300
    Height = 2
    Shape = bsTopLine
  end
  object Ok: TButton
    Left = 300
    Top = 300
    Caption = 'OK'
    Default = True
    ModalResult = 1
    TabOrder = 7
  end
  object Cancel: TButton
    Left = 390
    Top = 300
    Caption = 'Cancel'
    Cancel = True
    ModalResult = 2
    TabOrder = 11
  end
  object Clock: TTimer
    Enabled = False
    Interval = 1000
  end
  object MainMenu: TMainMenu
    object FileItem: TMenuItem
      Caption = '&File'
      object OpenItem: TMenuItem
        Caption = '&Open...'
        OnClick = OpenClick
      end
    end
  end
  object OpenDialog: TOpenDialog
    DefaultExt = '*.dat'
    Filter = 'Data File(*.dat)|*.dat'
    Options = [ofHideReadOnly, ofFileMustExist, ofEnableSizing]
  end
end
)";

}  // namespace

// The form class of the resource, with its handlers.
class TStdRadioForm : public TForm {
  K58_CLASS(TStdRadioForm, TForm)

  explicit TStdRadioForm(TComponent* AOwner) : TForm(AOwner) {}

  template <class T>
  T* Get(const char* Name) {
    return dynamic_cast<T*>(FindComponent(Name));
  }

  std::vector<std::string> Log;
  TTreeNode* Changed = nullptr;

  void FormCreate(TObject*) {
    // The tree is filled in code, as the program does.
    TTreeNodes* nodes = Get<TTreeView>("Tree")->Items();
    TTreeNode* root = nodes->Add(nullptr, "Radio");
    nodes->AddChild(root, "Information");
    TTreeNode* channels = nodes->AddChild(root, "Channels");
    for (int i = 1; i <= 3; ++i) nodes->AddChild(channels, "Channel " + std::to_string(i));
    nodes->AddChild(root, "Functions");
    Get<TTreeView>("Tree")->FullExpand();
  }
  void NewClick(TObject* Sender) { Log.push_back("new:" + std::to_string(static_cast<TComponent*>(Sender)->Tag())); }
  void OpenClick(TObject*) {
    auto* dialog = Get<TOpenDialog>("OpenDialog");
    Log.push_back(dialog->Execute() ? "open:" + dialog->FileName() : "open:cancelled");
  }
  void NameChange(TObject*) { Log.push_back("name:" + Get<TEdit>("NameEdit")->Text()); }
  void PowerClick(TObject*) { Log.push_back(std::string("power:") + (Get<TCheckBox>("Power")->Checked() ? "1" : "0")); }
  void TreeChange(TObject*, TTreeNode* Node) { Changed = Node; }
  void TreeDblClick(TObject*) {
    auto* tree = Get<TTreeView>("Tree");
    TPoint p = tree->ScreenToClient(Mouse->CursorPos());
    TTreeNode* node = tree->GetNodeAt(p.x, p.y);
    if (node != nullptr && node == tree->Selected()) Log.push_back("open node:" + node->Text());
  }
};

K58_IMPLEMENT_CLASS(TStdRadioForm) {
  b.Method("FormCreate", &TStdRadioForm::FormCreate);
  b.Method("NewClick", &TStdRadioForm::NewClick);
  b.Method("OpenClick", &TStdRadioForm::OpenClick);
  b.Method("NameChange", &TStdRadioForm::NameChange);
  b.Method("PowerClick", &TStdRadioForm::PowerClick);
  b.Method("TreeChange", &TStdRadioForm::TreeChange);
  b.Method("TreeDblClick", &TStdRadioForm::TreeDblClick);
}

namespace forms_test {
namespace {

class StdFormResourceTest : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    static const bool registered = [] {
      RegisterClass(TStdRadioForm::StaticClass());
      forms_test::RegisterFormResource("TSTDRADIOFORM", kRadioFormText);
      return true;
    }();
    (void)registered;
    savedFileDialog_ = k58::forms::FileDialogProc();
  }
  void TearDown() override {
    k58::forms::FileDialogProc() = savedFileDialog_;
    FormTest::TearDown();
  }
  TStdRadioForm* LoadForm() {
    auto* form = NewObject<TStdRadioForm>(nullptr);
    forms_.emplace_back(form);
    return form;
  }

  k58::forms::TFileDialogProc savedFileDialog_;
};

TEST_F(StdFormResourceTest, EveryControlAndPropertyArrivesFromTheResource) {
  TStdRadioForm* form = LoadForm();
  auto* bar = form->Get<TToolBar>("Bar");
  ASSERT_NE(bar, nullptr);
  // Buttons in the order of their places, whatever the order in the resource.
  ASSERT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(bar->Buttons(0)->Name(), "NewButton");
  EXPECT_EQ(bar->Buttons(1)->Name(), "Sep");
  EXPECT_EQ(bar->Buttons(2)->Name(), "OpenButton");
  EXPECT_EQ(bar->Buttons(2)->MenuItem(), form->Get<TMenuItem>("OpenItem"));
  EXPECT_EQ(bar->Buttons(0)->Hint(), "New data");
  EXPECT_TRUE(bar->Flat());
  EXPECT_TRUE(bar->ShowCaptions());
  EXPECT_EQ(bar->EdgeBorders(), (TEdgeBorders{ebTop, ebBottom}));

  auto* status = form->Get<TStatusBar>("Status");
  ASSERT_EQ(status->Panels()->Count(), 3);
  EXPECT_EQ(status->Panels()->Items(0)->Text(), "Ready");
  EXPECT_EQ(status->Panels()->Items(1)->Alignment(), taCenter);
  EXPECT_EQ(status->Panels()->Items(2)->Width(), 50);
  EXPECT_EQ(status->Align(), alBottom);

  EXPECT_EQ(form->Get<TPanel>("Side")->BevelOuter(), bvLowered);
  auto* tree = form->Get<TTreeView>("Tree");
  EXPECT_TRUE(tree->ReadOnly());
  EXPECT_FALSE(tree->HideSelection());
  EXPECT_EQ(tree->Items()->Count(), 7);
  EXPECT_EQ(form->Get<TMaskEdit>("TimeEdit")->EditText(), "12:30");
  EXPECT_TRUE(form->Get<TRadioButton>("Wide")->Checked());
  EXPECT_EQ(form->Get<TListBox>("Channels")->Items()->Count(), 3);
  EXPECT_EQ(form->Get<TComboBox>("Tone")->Style(), csDropDownList);
  EXPECT_EQ(form->Get<TProgressBar>("Progress")->Max(), 50);
  EXPECT_EQ(form->Get<TProgressBar>("Progress")->Position(), 10);
  auto* picture = form->Get<TImage>("Picture");
  EXPECT_EQ(picture->Picture()->Width(), 4);
  EXPECT_TRUE(picture->Stretch());
  EXPECT_EQ(form->Get<TBevel>("Line")->Shape(), bsTopLine);
  EXPECT_FALSE(form->Get<TTimer>("Clock")->Enabled());
  auto* dialog = form->Get<TOpenDialog>("OpenDialog");
  EXPECT_EQ(dialog->Filter(), "Data File(*.dat)|*.dat");
  EXPECT_EQ(dialog->Options(), (TOpenOptions{ofHideReadOnly, ofFileMustExist, ofEnableSizing}));
  EXPECT_EQ(form->Get<TLabel>("NameLabel")->FocusControl(), form->Get<TEdit>("NameEdit"));
}

TEST_F(StdFormResourceTest, ShowsTakesClicksAndKeysFiresItsHandlersAndRunsModally) {
  TStdRadioForm* form = LoadForm();
  k58::forms::FileDialogProc() = [](k58::forms::FileDialogRequest& Request) {
    Request.FileName = "/tmp/radio";
    return true;
  };
  ShowForm(form);
  D->SavePng("std-radio-form.png");
  // The picture is stretched over the image.
  EXPECT_EQ(Pixel(form->Get<TImage>("Picture"), 16, 16), clRed);
  // The first tab stop has the focus; typing reaches its handler.
  auto* name = form->Get<TEdit>("NameEdit");
  EXPECT_TRUE(name->Focused());
  Type("x");
  // Tool buttons: the plain one fires its handler, the one with a menu item runs the item.
  Click(form->Get<TToolButton>("NewButton"));
  Click(form->Get<TToolButton>("OpenButton"));
  // An accelerator toggles the check box.
  Chord({VK_MENU}, 'H');
  EXPECT_EQ((std::vector<std::string>{"name:x", "new:1", "open:/tmp/radio.dat", "power:1"}), form->Log);

  // A click on a node's label selects it; a double click on the selected node opens it.
  auto* tree = form->Get<TTreeView>("Tree");
  TTreeNode* channel2 = tree->Items()->Item(4);
  ASSERT_EQ(channel2->Text(), "Channel 2");
  TRect label = channel2->DisplayRect(true);
  int x = (label.left + label.right) / 2, y = (label.top + label.bottom) / 2;
  Click(tree, x, y);
  EXPECT_EQ(form->Changed, channel2);
  EXPECT_TRUE(channel2->Selected());
  form->Log.clear();
  D->DoubleClick(At(tree, x, y));
  Pump();
  EXPECT_EQ((std::vector<std::string>{"open node:Channel 2"}), form->Log);

  // The status bar shows a panel's new text.
  auto* status = form->Get<TStatusBar>("Status");
  status->Panels()->Items(1)->SetText("12:00");
  char text[64] = {};
  ::SendMessage(status->Handle(), SB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "\t12:00");

  // Modally: Enter in the edit is the default button's.
  form->Hide();
  form->SetActiveControl(name);
  EXPECT_EQ(RunModal(form, [&] { D->Key(VK_RETURN); }), mrOk);
  form->SetActiveControl(name);
  EXPECT_EQ(RunModal(form, [&] { D->Key(VK_ESCAPE); }), mrCancel);
}

}  // namespace
}  // namespace forms_test
