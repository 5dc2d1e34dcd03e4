// The open and save file dialogs on a temporary folder: the lists and the filter, choosing by typing
// names, paths, folders and patterns, by the mouse and the keyboard, the checks with their questions,
// what the record answers, and the failures reported.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "ControlsTestSupport.h"
#include "platform/win/builtin/CommDlg.h"
#include "platform/win/builtin/CommDlgInternal.h"

namespace builtin_test {
namespace {

namespace fs = std::filesystem;

constexpr char kFilter[] = "Data files (*.dat)\0*.dat\0Text files\0*.txt;*.log\0All files\0*.*\0";

void Touch(const fs::path& P) { std::ofstream(P) << "x"; }

std::vector<std::string> Items(HWND List) {
  std::vector<std::string> Out;
  int N = static_cast<int>(SendMessage(List, LB_GETCOUNT, 0, 0));
  for (int K = 0; K < N; ++K) {
    char Buf[512] = {};
    SendMessage(List, LB_GETTEXT, static_cast<WPARAM>(K), reinterpret_cast<LPARAM>(Buf));
    Out.push_back(Buf);
  }
  return Out;
}

class FileDialogTest : public ControlsTest {
protected:
  void SetUp() override {
    ControlsTest::SetUp();
    std::error_code Ec;
    Saved = fs::current_path(Ec);
    std::string Tmpl = (fs::temp_directory_path() / "k58-filedlg-XXXXXX").string();
    ASSERT_NE(mkdtemp(Tmpl.data()), nullptr);
    Dir = fs::canonical(Tmpl);
    for (const char* F : {"A.DAT", "b.dat", "c.txt", "d.log", "README", ".hidden.dat"}) Touch(Dir / F);
    fs::create_directory(Dir / "sub");
    fs::create_directory(Dir / "Zeta");
    Touch(Dir / "sub" / "inner.dat");
    Ofn.hwndOwner = Parent;
    Ofn.lpstrFile = Buffer;
    Ofn.nMaxFile = sizeof Buffer;
    Ofn.lpstrFilter = kFilter;
    Ofn.nFilterIndex = 1;
    Ofn.lpstrDefExt = "dat";
    InitialDir = Dir.string();
    Ofn.lpstrInitialDir = InitialDir.c_str();
  }
  void TearDown() override {
    k58::builtin::SetCommonDialogHandler(nullptr);
    k58::winui::SetMessageBoxHandler(nullptr);
    std::error_code Ec;
    fs::current_path(Saved, Ec);
    fs::remove_all(Dir, Ec);
    ControlsTest::TearDown();
  }
  // Types into the shown dialog, then presses Enter.
  void TypeAndEnter(const std::string& Text) {
    k58::builtin::SetCommonDialogHandler([this, Text](const k58::builtin::CommonDialogInfo& I) {
      Shown = I;
      D->Type(Text);
      D->Key(VK_RETURN);
      D->Key(VK_ESCAPE);  // ends the dialog had the entry not closed it
      return 0;
    });
  }
  // Runs a dialog, then hands what is left of the queued input (an Esc after a closing Enter) to the
  // owner, so that the next dialog starts afresh.
  BOOL Open() {
    BOOL R = GetOpenFileName(&Ofn);
    D->Pump();
    return R;
  }
  BOOL Save() {
    BOOL R = GetSaveFileName(&Ofn);
    D->Pump();
    return R;
  }
  POINT RowCentre(HWND List, int Row) {
    RECT R{};
    SendMessage(List, LB_GETITEMRECT, static_cast<WPARAM>(Row), reinterpret_cast<LPARAM>(&R));
    return ScreenOf(List, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
  }

  fs::path Dir, Saved;
  std::string InitialDir;
  char Buffer[1024] = {};
  OPENFILENAME Ofn;
  k58::builtin::CommonDialogInfo Shown;
};

TEST_F(FileDialogTest, ListsTheFilesOfTheFilterWithoutRegardToCaseAndTheFolders) {
  std::vector<std::string> Files, Folders, Types;
  std::string Path, Caption;
  bool OwnerEnabled = true;
  RECT Box{}, Owner{};
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    Files = Items(k58::builtin::CommonDialogItem(I.Dialog, lst1));
    Folders = Items(k58::builtin::CommonDialogItem(I.Dialog, lst2));
    Path = Text(k58::builtin::CommonDialogItem(I.Dialog, stc1));
    Caption = Text(I.Dialog);
    OwnerEnabled = IsWindowEnabled(Parent) != FALSE;
    EXPECT_EQ(I.Kind, k58::builtin::CommonDialogKind::Open);
    EXPECT_EQ(GetFocus(), k58::builtin::CommonDialogItem(I.Dialog, edt1));
    GetWindowRect(I.Dialog, &Box);
    GetWindowRect(Parent, &Owner);
    return IDCANCEL;
  });
  EXPECT_FALSE(Open());
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(Files, (std::vector<std::string>{"A.DAT", "b.dat"}));
  EXPECT_EQ(Folders, (std::vector<std::string>{"..", "sub", "Zeta"}));
  EXPECT_EQ(Path, Dir.string());
  EXPECT_EQ(Caption, "Open");
  EXPECT_FALSE(OwnerEnabled);
  EXPECT_TRUE(IsWindowEnabled(Parent));
  EXPECT_NEAR((Box.left + Box.right) / 2, (Owner.left + Owner.right) / 2, 1);
  EXPECT_NEAR((Box.top + Box.bottom) / 2, (Owner.top + Owner.bottom) / 2, 1);

  // The second filter has two patterns; the last one shows everything but hidden names.
  struct Case {
    DWORD Index;
    std::vector<std::string> Files;
  } Cases[] = {{2, {"c.txt", "d.log"}}, {3, {"A.DAT", "b.dat", "c.txt", "d.log", "README"}}};
  for (const Case& C : Cases) {
    Ofn.nFilterIndex = C.Index;
    k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
      Files = Items(k58::builtin::CommonDialogItem(I.Dialog, lst1));
      return IDCANCEL;
    });
    Open();
    EXPECT_EQ(Files, C.Files) << C.Index;
  }
}

TEST_F(FileDialogTest, TypingANameAPathOrAFolderAndEnterDoesWhatItSays) {
  Touch(Dir / "sub" / "plain");
  struct Case {
    std::string Typed;  // "$" stands for the temporary folder
    std::string Chosen;  // empty: the dialog stays open
    std::string Folder;  // the folder shown afterwards
    std::string Name;    // the file-name box afterwards
  } Cases[] = {
      {"b", "$/b.dat", "", ""},                         // the default extension added
      {"A.DAT", "$/A.DAT", "", ""},
      {"$/sub/inner.dat", "$/sub/inner.dat", "", ""},  // a full path
      {"sub/inner", "$/sub/inner.dat", "", ""},         // a relative path
      {"sub/plain", "$/sub/plain", "", ""},             // no such file with the extension: the name as typed
      {"sub/../c.txt", "$/c.txt", "", ""},
      {"sub", "", "$/sub", ""},                         // a folder is opened
      {"$/Zeta/", "", "$/Zeta", ""},
      {"*.txt", "", "$", "*.txt"},                      // a pattern filters the list
      {"~/sub", "", "$/sub", ""},                       // the home folder (here the temporary one)
  };
  std::string Home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", Dir.c_str(), 1);
  for (const Case& C : Cases) {
    auto Expand = [&](std::string S) {
      if (size_t P = S.find('$'); P != std::string::npos) S.replace(P, 1, Dir.string());
      return S;
    };
    std::memset(Buffer, 0, sizeof Buffer);
    Ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    std::string Folder, Name;
    std::vector<std::string> Files;
    k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
      D->Type(Expand(C.Typed));
      D->Key(VK_RETURN);
      D->Later([&, Dlg = I.Dialog] {
        if (!IsWindow(Dlg)) return;
        Folder = Text(k58::builtin::CommonDialogItem(Dlg, stc1));
        Name = Text(k58::builtin::CommonDialogItem(Dlg, edt1));
        Files = Items(k58::builtin::CommonDialogItem(Dlg, lst1));
      });
      D->Key(VK_ESCAPE);
      return 0;
    });
    BOOL Ok = Open();
    if (C.Chosen.empty()) {
      EXPECT_FALSE(Ok) << C.Typed;
      EXPECT_EQ(Folder, Expand(C.Folder)) << C.Typed;
      EXPECT_EQ(Name, C.Name) << C.Typed;
    } else {
      EXPECT_TRUE(Ok) << C.Typed;
      EXPECT_EQ(std::string(Buffer), Expand(C.Chosen)) << C.Typed;
    }
    if (C.Typed == "*.txt") {
      EXPECT_EQ(Files, (std::vector<std::string>{"c.txt"}));
    }
  }
  setenv("HOME", Home.c_str(), 1);
}

TEST_F(FileDialogTest, TheRecordAnswersTheParts) {
  Ofn.lpstrFile = Buffer;
  char Title[64] = {};
  Ofn.lpstrFileTitle = Title;
  Ofn.nMaxFileTitle = sizeof Title;
  Ofn.nFilterIndex = 3;
  Ofn.Flags = OFN_READONLY;
  TypeAndEnter("c.txt");
  ASSERT_TRUE(Open());
  std::string Full = (Dir / "c.txt").string();
  EXPECT_EQ(std::string(Buffer), Full);
  EXPECT_EQ(Ofn.nFileOffset, Full.size() - 5);
  EXPECT_EQ(Ofn.nFileExtension, Full.size() - 3);
  EXPECT_STREQ(Title, "c.txt");
  EXPECT_EQ(Ofn.nFilterIndex, 3u);
  EXPECT_TRUE(Ofn.Flags & OFN_READONLY);  // the check box started checked and was left so
  EXPECT_TRUE(Ofn.Flags & OFN_EXTENSIONDIFFERENT);
  // Without OFN_NOCHANGEDIR the current directory follows the choice.
  EXPECT_EQ(fs::current_path(), Dir);

  // The initial name may carry its folder, which then wins over the initial folder.
  std::string Initial = (Dir / "sub" / "inner.dat").string();
  std::memcpy(Buffer, Initial.c_str(), Initial.size() + 1);
  Ofn.nFilterIndex = 1;
  Ofn.Flags = OFN_NOCHANGEDIR;
  std::string Folder, Name;
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    Folder = Text(k58::builtin::CommonDialogItem(I.Dialog, stc1));
    Name = Text(k58::builtin::CommonDialogItem(I.Dialog, edt1));
    D->Chord({VK_MENU}, 'R');  // the read-only check box by its letter
    D->Key(VK_RETURN);
    D->Key(VK_ESCAPE);
    return 0;
  });
  ASSERT_TRUE(Open());
  EXPECT_EQ(Folder, (Dir / "sub").string());
  EXPECT_EQ(Name, "inner.dat");
  EXPECT_EQ(std::string(Buffer), Initial);
  EXPECT_TRUE(Ofn.Flags & OFN_READONLY);
  EXPECT_FALSE(Ofn.Flags & OFN_EXTENSIONDIFFERENT);
}

TEST_F(FileDialogTest, OpeningAMissingFileOrFolderWarnsAndStays) {
  struct Case {
    std::string Typed;
    DWORD Flags;
    std::string Warning;  // the start of the message box text; empty: no warning, the name is chosen
  } Cases[] = {
      {"missing", OFN_FILEMUSTEXIST, "missing.dat\nFile not found."},
      {"missing", 0, ""},
      {"nowhere/x.dat", OFN_PATHMUSTEXIST, "$/nowhere\nThe folder does not exist."},
      {"nowhere/x.dat", 0, ""},
      {"nowhere/", 0, "nowhere/\nThe folder does not exist."},
  };
  for (Case& C : Cases) {
    if (size_t P = C.Warning.find('$'); P != std::string::npos) C.Warning.replace(P, 1, Dir.string());
    std::memset(Buffer, 0, sizeof Buffer);
    Ofn.Flags = C.Flags | OFN_NOCHANGEDIR;
    std::vector<std::string> Warnings;
    k58::winui::SetMessageBoxHandler([&](const k58::winui::MessageBoxInfo& I) {
      Warnings.push_back(I.Text);
      EXPECT_EQ(I.Owner, Shown.Dialog);
      return IDOK;
    });
    TypeAndEnter(C.Typed);
    BOOL Ok = Open();
    if (C.Warning.empty()) {
      EXPECT_TRUE(Ok) << C.Typed;
      EXPECT_TRUE(Warnings.empty()) << C.Typed;
    } else {
      EXPECT_FALSE(Ok) << C.Typed;
      ASSERT_EQ(Warnings.size(), 1u) << C.Typed;
      EXPECT_EQ(Warnings[0].rfind(C.Warning, 0), 0u) << Warnings[0];
    }
  }
}

TEST_F(FileDialogTest, SavingAsksBeforeReplacingAndCreatesTheChosenFile) {
  Ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
  std::vector<std::string> Questions;
  int Answer = IDNO;
  k58::winui::SetMessageBoxHandler([&](const k58::winui::MessageBoxInfo& I) {
    Questions.push_back(I.Text);
    EXPECT_EQ(I.Type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    return Answer;
  });
  std::string Caption;
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    Caption = Text(I.Dialog);
    EXPECT_EQ(I.Kind, k58::builtin::CommonDialogKind::Save);
    D->Type("b");
    D->Key(VK_RETURN);  // asked, answered No: the dialog stays
    D->Later([&] { Answer = IDYES; });
    D->Key(VK_RETURN);  // asked again, answered Yes
    D->Key(VK_ESCAPE);
    return 0;
  });
  ASSERT_TRUE(Save());
  EXPECT_EQ(Caption, "Save As");
  EXPECT_EQ(std::string(Buffer), (Dir / "b.dat").string());
  ASSERT_EQ(Questions.size(), 2u);
  EXPECT_EQ(Questions[0], "b.dat already exists.\nDo you want to replace it?");

  // A new name is chosen without a question and can be created by the caller.
  Questions.clear();
  std::memset(Buffer, 0, sizeof Buffer);
  TypeAndEnter("sub/new");
  ASSERT_TRUE(Save());
  EXPECT_TRUE(Questions.empty());
  EXPECT_EQ(std::string(Buffer), (Dir / "sub" / "new.dat").string());
  Touch(Buffer);
  EXPECT_TRUE(fs::exists(Dir / "sub" / "new.dat"));
  // A name ending with a dot asks for no extension.
  std::memset(Buffer, 0, sizeof Buffer);
  TypeAndEnter("notes.");
  ASSERT_TRUE(Save());
  EXPECT_EQ(std::string(Buffer), (Dir / "notes").string());
  EXPECT_EQ(Ofn.nFileExtension, std::string(Buffer).size());
}

TEST_F(FileDialogTest, TheMouseAndTheKeyboardMoveThroughFoldersFiltersAndFiles) {
  Ofn.Flags = OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    HWND Folders = k58::builtin::CommonDialogItem(I.Dialog, lst2);
    HWND Files = k58::builtin::CommonDialogItem(I.Dialog, lst1);
    POINT FirstFile = RowCentre(Files, 0);
    D->DoubleClick(RowCentre(Folders, 1));  // "sub"
    D->Later([&, Files] { EXPECT_EQ(Items(Files), (std::vector<std::string>{"inner.dat"})); });
    D->DoubleClick(FirstFile);
    D->Key(VK_ESCAPE);
    return 0;
  });
  ASSERT_TRUE(Open());
  EXPECT_EQ(std::string(Buffer), (Dir / "sub" / "inner.dat").string());

  // Keys: Alt+T reaches the filter list, Down picks "Text files"; back by Shift+Tab to the file list,
  // Home selects the first file into the name box; Enter opens it.
  std::memset(Buffer, 0, sizeof Buffer);
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    D->Chord({VK_MENU}, 'T');
    D->Key(VK_DOWN);
    D->Later([&, Dlg = I.Dialog] {
      EXPECT_EQ(GetFocus(), k58::builtin::CommonDialogItem(Dlg, cmb1));
      EXPECT_EQ(Items(k58::builtin::CommonDialogItem(Dlg, lst1)), (std::vector<std::string>{"c.txt", "d.log"}));
    });
    D->Chord({VK_SHIFT}, VK_TAB);  // folders
    D->Chord({VK_SHIFT}, VK_TAB);  // files
    D->Key(VK_HOME);
    D->Later([&, Dlg = I.Dialog] {
      EXPECT_EQ(GetFocus(), k58::builtin::CommonDialogItem(Dlg, lst1));
      EXPECT_EQ(Text(k58::builtin::CommonDialogItem(Dlg, edt1)), "c.txt");
    });
    D->Key(VK_RETURN);
    D->Key(VK_ESCAPE);
    return 0;
  });
  ASSERT_TRUE(Open());
  EXPECT_EQ(std::string(Buffer), (Dir / "c.txt").string());
  EXPECT_EQ(Ofn.nFilterIndex, 2u);

  // Enter on the folder list opens the selected folder ("..": the parent) rather than choosing.
  std::memset(Buffer, 0, sizeof Buffer);
  Ofn.nFilterIndex = 1;
  std::string Folder;
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    D->Key(VK_TAB);
    D->Key(VK_TAB);  // folders
    D->Key(VK_HOME);
    D->Key(VK_DOWN);  // "sub"
    D->Key(VK_RETURN);
    D->Later([&, Dlg = I.Dialog] { Folder = Text(k58::builtin::CommonDialogItem(Dlg, stc1)); });
    D->Key(VK_ESCAPE);
    return 0;
  });
  EXPECT_FALSE(Open());
  EXPECT_EQ(Folder, (Dir / "sub").string());
}

TEST_F(FileDialogTest, WithoutAnOwnerEveryWindowWaitsAndClosingTheDialogCancels) {
  Ofn.hwndOwner = nullptr;
  bool ParentEnabled = true;
  RECT Box{}, Work{};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &Work, 0);
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    ParentEnabled = IsWindowEnabled(Parent) != FALSE;
    GetWindowRect(I.Dialog, &Box);
    PostMessage(I.Dialog, WM_CLOSE, 0, 0);  // the caption's close button
    return 0;
  });
  EXPECT_FALSE(Open());
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_FALSE(ParentEnabled);
  EXPECT_TRUE(IsWindowEnabled(Parent));
  EXPECT_NEAR((Box.left + Box.right) / 2, (Work.left + Work.right) / 2, 1);  // centred on the work area
  // An owner that is not a window is refused.
  Ofn.hwndOwner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7777));
  EXPECT_FALSE(Open());
  EXPECT_EQ(CommDlgExtendedError(), CDERR_DIALOGFAILURE);
}

TEST_F(FileDialogTest, FailuresAreReportedAndNothingOverrunsTheCallersBuffers) {
  OPENFILENAME Bad = Ofn;
  Bad.lStructSize = 12;
  EXPECT_FALSE(GetOpenFileName(&Bad));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
  Bad = Ofn;
  Bad.lpstrFile = nullptr;
  EXPECT_FALSE(GetSaveFileName(&Bad));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
  EXPECT_FALSE(GetOpenFileName(nullptr));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);

  // The chosen path does not fit: the call fails and the first two bytes tell the size needed.
  char Small[8] = "zzzzzzz";
  char Title[4] = "zzz";
  Ofn.lpstrFile = Small;
  Ofn.nMaxFile = sizeof Small;
  Ofn.Flags = OFN_NOCHANGEDIR;
  TypeAndEnter("b");
  EXPECT_FALSE(Open());
  EXPECT_EQ(CommDlgExtendedError(), FNERR_BUFFERTOOSMALL);
  size_t Need = (Dir / "b.dat").string().size() + 1;
  EXPECT_EQ(static_cast<unsigned char>(Small[0]) | static_cast<unsigned char>(Small[1]) << 8, static_cast<int>(Need));
  // A title buffer too small stays untouched.
  Ofn.lpstrFile = Buffer;
  Ofn.nMaxFile = sizeof Buffer;
  Ofn.lpstrFileTitle = Title;
  Ofn.nMaxFileTitle = sizeof Title;
  TypeAndEnter("b");
  EXPECT_TRUE(Open());
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_STREQ(Title, "zzz");
}

class ColorDialogTest : public ControlsTest {
protected:
  void TearDown() override {
    k58::builtin::SetCommonDialogHandler(nullptr);
    ControlsTest::TearDown();
  }
  BOOL Run() {
    BOOL R = ChooseColor(&Cc);
    D->Pump();
    return R;
  }
  POINT CellCentre(HWND Dlg, const RECT& R) { return ScreenOf(Dlg, (R.left + R.right) / 2, (R.top + R.bottom) / 2); }
  COLORREF Custom[16] = {};
  CHOOSECOLOR Cc;
  void SetUp() override {
    ControlsTest::SetUp();
    Cc.hwndOwner = Parent;
    Cc.lpCustColors = Custom;
  }
};

TEST_F(ColorDialogTest, ASwatchOrTypedValuesChooseTheColour) {
  using namespace k58::builtin::commdlg;
  struct Case {
    const char* What;
    std::function<void(HWND)> Act;
    COLORREF Want;
  } Cases[] = {
      {"click and OK", [&](HWND Dlg) { D->Click(CellCentre(Dlg, BasicColorCell(18))); D->Key(VK_RETURN); },
       BasicColor(18)},
      {"double click", [&](HWND Dlg) { D->DoubleClick(CellCentre(Dlg, BasicColorCell(5))); }, BasicColor(5)},
      {"typed values",
       [&](HWND) {
         D->Chord({VK_MENU}, 'R');
         D->Type("12");
         D->Chord({VK_MENU}, 'G');
         D->Type("300");  // more than 255 counts as 255
         D->Chord({VK_MENU}, 'U');
         D->Type("7");
         D->Key(VK_RETURN);
       },
       RGB(12, 255, 7)},
  };
  for (const Case& C : Cases) {
    Cc.rgbResult = 0;
    k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
      EXPECT_EQ(I.Kind, k58::builtin::CommonDialogKind::Color);
      C.Act(I.Dialog);
      D->Key(VK_ESCAPE);
      return 0;
    });
    EXPECT_TRUE(Run()) << C.What;
    EXPECT_EQ(Cc.rgbResult, C.Want) << C.What;
  }
}

TEST_F(ColorDialogTest, StartsFromTheGivenColourAndKeepsTheCustomColoursEvenWhenCancelled) {
  Cc.Flags = CC_RGBINIT;
  Cc.rgbResult = RGB(10, 20, 30);
  std::string Red, Green, Blue;
  COLORREF Shown = 0;
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    Red = Text(k58::builtin::CommonDialogItem(I.Dialog, edt2));
    Green = Text(k58::builtin::CommonDialogItem(I.Dialog, edt3));
    Blue = Text(k58::builtin::CommonDialogItem(I.Dialog, edt4));
    D->Pump();
    Shown = D->ClientPixel(I.Dialog, POINT{266, 50});  // the chosen colour beside the values
    D->Chord({VK_MENU}, 'A');                        // stored in the first custom cell
    D->Click(CellCentre(I.Dialog, k58::builtin::commdlg::CustomColorCell(3)));
    D->Chord({VK_MENU}, 'R');
    D->Type("200");
    D->Chord({VK_MENU}, 'A');  // the selected cell is replaced
    D->Key(VK_ESCAPE);
    return 0;
  });
  EXPECT_FALSE(Run());
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(Red, "10");
  EXPECT_EQ(Green, "20");
  EXPECT_EQ(Blue, "30");
  EXPECT_EQ(Shown, RGB(10, 20, 30));
  EXPECT_EQ(Cc.rgbResult, RGB(10, 20, 30));  // a cancelled choice leaves the record's colour
  EXPECT_EQ(Custom[0], RGB(10, 20, 30));
  EXPECT_EQ(Custom[3], RGB(200, 0, 0));
}

TEST_F(ColorDialogTest, FailuresAndThePreventedCustomPart) {
  Cc.lpCustColors = nullptr;
  EXPECT_FALSE(ChooseColor(&Cc));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
  Cc.lpCustColors = Custom;
  Cc.lStructSize = 4;
  EXPECT_FALSE(ChooseColor(&Cc));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
  Cc.lStructSize = sizeof Cc;
  Cc.Flags = CC_PREVENTFULLOPEN;
  bool EditEnabled = true;
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    EditEnabled = IsWindowEnabled(k58::builtin::CommonDialogItem(I.Dialog, edt2)) != FALSE;
    return IDOK;
  });
  EXPECT_TRUE(Run());
  EXPECT_FALSE(EditEnabled);
  EXPECT_EQ(Cc.rgbResult, RGB(0, 0, 0));
}

class FontDialogTest : public ControlsTest {
protected:
  void SetUp() override {
    ControlsTest::SetUp();
    Cf.hwndOwner = Parent;
    Cf.lpLogFont = &Lf;
  }
  void TearDown() override {
    k58::builtin::SetCommonDialogHandler(nullptr);
    k58::winui::SetMessageBoxHandler(nullptr);
    ControlsTest::TearDown();
  }
  BOOL Run() {
    BOOL R = ChooseFont(&Cf);
    D->Pump();
    return R;
  }
  LOGFONT Lf;
  CHOOSEFONT Cf;
};

TEST_F(FontDialogTest, ShowsTheGivenFontAndAnswersTheChoice) {
  std::strcpy(Lf.lfFaceName, "Courier New");
  Lf.lfHeight = -16;  // 12 points on the 96 dpi screen
  Lf.lfWeight = FW_BOLD;
  Lf.lfItalic = 1;
  Lf.lfUnderline = 1;
  Lf.lfCharSet = 134;
  Cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_SCREENFONTS;
  Cf.rgbColors = RGB(255, 0, 0);
  std::string Face, Style, Size, Color;
  bool Under = false, Strike = true;
  k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
    EXPECT_EQ(I.Kind, k58::builtin::CommonDialogKind::Font);
    Face = Text(k58::builtin::CommonDialogItem(I.Dialog, cmb1));
    Style = Text(k58::builtin::CommonDialogItem(I.Dialog, cmb2));
    Size = Text(k58::builtin::CommonDialogItem(I.Dialog, cmb3));
    Color = Text(k58::builtin::CommonDialogItem(I.Dialog, cmb4));
    Under = SendMessage(k58::builtin::CommonDialogItem(I.Dialog, chx2), BM_GETCHECK, 0, 0) == BST_CHECKED;
    Strike = SendMessage(k58::builtin::CommonDialogItem(I.Dialog, chx1), BM_GETCHECK, 0, 0) == BST_CHECKED;
    // Typed face (the list's spelling wins), a style picked from its list, a typed size, strikeout.
    D->Type("verdana");  // the focus selects the whole entry
    D->Chord({VK_MENU}, 'Y');
    for (int K = 0; K < 3; ++K) D->Key(VK_UP);  // from "Bold Italic" to "Regular"
    D->Chord({VK_MENU}, 'S');
    D->Type("10.5");
    D->Chord({VK_MENU}, 'K');
    D->Key(VK_RETURN);
    D->Key(VK_ESCAPE);
    return 0;
  });
  ASSERT_TRUE(Run());
  EXPECT_EQ(Face, "Courier New");
  EXPECT_EQ(Style, "Bold Italic");
  EXPECT_EQ(Size, "12");
  EXPECT_EQ(Color, "Red");
  EXPECT_TRUE(Under);
  EXPECT_FALSE(Strike);
  EXPECT_STREQ(Lf.lfFaceName, "Verdana");
  EXPECT_EQ(Lf.lfHeight, -14);  // 10.5 points at 96 dpi
  EXPECT_EQ(Lf.lfWeight, FW_NORMAL);
  EXPECT_EQ(Lf.lfItalic, 0);
  EXPECT_EQ(Lf.lfUnderline, 1);
  EXPECT_EQ(Lf.lfStrikeOut, 1);
  EXPECT_EQ(Lf.lfCharSet, 134);  // kept from the given font
  EXPECT_EQ(Cf.iPointSize, 105);
  EXPECT_EQ(Cf.rgbColors, RGB(255, 0, 0));
  EXPECT_EQ(Cf.nFontType, SCREEN_FONTTYPE | REGULAR_FONTTYPE);

  // Without a given font: 10 point Tahoma, regular.
  Lf = LOGFONT{};
  Cf.Flags = 0;
  k58::builtin::SetCommonDialogHandler([](const k58::builtin::CommonDialogInfo&) { return IDOK; });
  ASSERT_TRUE(Run());
  EXPECT_STREQ(Lf.lfFaceName, "Tahoma");
  EXPECT_EQ(Lf.lfHeight, -13);
  EXPECT_EQ(Cf.iPointSize, 100);
}

TEST_F(FontDialogTest, EntriesThatAreNotAFontWarnAndKeepTheDialogOpen) {
  struct Case {
    DWORD Flags;
    const char* Face;
    const char* Style;
    const char* Size;
    const char* Warning;  // null: accepted
  } Cases[] = {
      {0, "Tahoma", "Regular", "abc", "Size must be a number."},
      {0, "Tahoma", "Regular", "0", "Size must be a number."},
      {CF_LIMITSIZE, "Tahoma", "Regular", "100", "Size must be between 8 and 72 points."},
      {CF_LIMITSIZE, "Tahoma", "Regular", "72", nullptr},
      {CF_FORCEFONTEXIST, "No Such Face", "Regular", "10", "There is no font with that name."},
      {0, "No Such Face", "Regular", "10", nullptr},
      {0, "", "Regular", "10", "Choose a font from the list of fonts."},
      {0, "Arial", "Oblique", "10", "There is no style of this font with that name."},
      {0, "Arial", "bold", "10", nullptr},
  };
  for (const Case& C : Cases) {
    Lf = LOGFONT{};
    Cf.Flags = C.Flags;
    Cf.nSizeMin = 8;
    Cf.nSizeMax = 72;
    std::vector<std::string> Warnings;
    k58::winui::SetMessageBoxHandler([&](const k58::winui::MessageBoxInfo& I) {
      Warnings.push_back(I.Text);
      return IDOK;
    });
    k58::builtin::SetCommonDialogHandler([&](const k58::builtin::CommonDialogInfo& I) {
      SetWindowText(k58::builtin::CommonDialogItem(I.Dialog, cmb1), C.Face);
      SetWindowText(k58::builtin::CommonDialogItem(I.Dialog, cmb2), C.Style);
      SetWindowText(k58::builtin::CommonDialogItem(I.Dialog, cmb3), C.Size);
      D->Key(VK_RETURN);
      D->Key(VK_ESCAPE);
      return 0;
    });
    BOOL Ok = Run();
    if (C.Warning) {
      EXPECT_FALSE(Ok) << C.Size << C.Face;
      ASSERT_EQ(Warnings.size(), 1u) << C.Size << C.Face;
      EXPECT_EQ(Warnings[0].rfind(C.Warning, 0), 0u) << Warnings[0];
    } else {
      EXPECT_TRUE(Ok) << C.Size << C.Face;
      EXPECT_TRUE(Warnings.empty());
      EXPECT_STREQ(Lf.lfFaceName, C.Face);
    }
  }
}

TEST_F(FontDialogTest, RecordsThatCannotBeShownFail) {
  Cf.lpLogFont = nullptr;
  EXPECT_FALSE(ChooseFont(&Cf));
  EXPECT_EQ(CommDlgExtendedError(), CDERR_INITIALIZATION);
  Cf.lpLogFont = &Lf;
  Cf.Flags = CF_LIMITSIZE;
  Cf.nSizeMin = 20;
  Cf.nSizeMax = 10;
  EXPECT_FALSE(ChooseFont(&Cf));
  EXPECT_EQ(CommDlgExtendedError(), CFERR_MAXLESSTHANMIN);
}

TEST(FilePatternTest, MatchesWithoutRegardToCase) {
  struct Case {
    const char* Name;
    const char* Pattern;
    bool Match;
  } Cases[] = {
      {"A.DAT", "*.dat", true},   {"a.dat", "*.DAT", true},    {"a.data", "*.dat", false},
      {"README", "*.*", true},    {"x.dat.bak", "*.dat", false}, {"ab.dat", "?b.*", true},
      {"b.dat", "?b.*", false},   {"ÄRGER.TXT", "ä*.txt", true}, {"aaa", "a*a*a", true},
      {"aa", "a*a*a", false},     {"", "*", true},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(k58::builtin::commdlg::MatchPattern(C.Name, C.Pattern), C.Match) << C.Name << " " << C.Pattern;
}

}  // namespace
}  // namespace builtin_test
