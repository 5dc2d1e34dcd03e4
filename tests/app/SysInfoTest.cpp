// Start-up of the document objects, "SysInfo.Ini" (values, defaults, where it is kept) and the language
// files.
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <filesystem>

#include "app/AllClass.h"
#include "app/SysInfo.h"
#include "platform/classes/IniFiles.h"
#include "platform/rtl/SysUtils.h"
#include "tests/app/AppTestSupport.h"

namespace {

using app_test::Lines;
using app_test::ReadFile;
using app_test::WriteFile;

const String ResourceDir = K58_RESOURCE_DIR;

std::vector<String> Messages() {
  std::vector<String> Result;
  for (const TMessageKey& Key : MessageKeys) Result.push_back(Language->*Key.Field);
  return Result;
}

std::vector<String> DefaultMessages() {
  std::vector<String> Result;
  for (const TMessageKey& Key : MessageKeys) Result.push_back(Key.Default);
  return Result;
}

using Startup = app_test::DocumentTest;

TEST_F(Startup, WithoutSettingsFile) {
  EXPECT_EQ(ALL->AppDir, AppDir());
  EXPECT_EQ(ALL->PortName, "Com1");
  EXPECT_EQ(ALL->LanguageIndex, 0);
  EXPECT_EQ(ALL->LanguageName, "Chinese");
  EXPECT_EQ(ALL->HelpPrefix, "QH");
  EXPECT_EQ(ALL->PictureNumber, 1);
  EXPECT_EQ(ALL->ProgramCaption, "K58 V1.2");
  EXPECT_EQ(ALL->CurrentChannel, 1);
  EXPECT_EQ(ALL->StepA, 500);
  EXPECT_EQ(ALL->StepB, 625);
  EXPECT_FALSE(ALL->Modified);
  EXPECT_FALSE(ALL->TestOnlineVisible);
  EXPECT_FALSE(ALL->ShowAboutPicture);
  EXPECT_FALSE(ALL->SerialEditable);
  EXPECT_FALSE(ALL->NewPasswordOn);
  EXPECT_EQ(MacList->Count(), 2);
  EXPECT_EQ(FrqList->Count(), 14);
  EXPECT_EQ(Messages(), DefaultMessages());
}

TEST_F(Startup, LoadsTheMessagesOfTheChosenLanguage) {
  std::filesystem::copy_file(ResourceDir + "English.Ini", AppDir() + "English.Ini");
  WriteFile(AppDir() + "SysInfo.Ini", "[SysInfo]\nDefaultLanguage=1\n");
  Start(AppDir());
  EXPECT_EQ(ALL->LanguageName, "English");
  EXPECT_EQ(Language->Confirmation, "Notice");
  EXPECT_EQ(Language->ModError, "Wrong model!");
}

TEST_F(Startup, SettingsOrLanguageFilesThatAreNoFilesGiveTheDefaults) {
  // A device would be read without end, a pipe with no writer would block the start.
  std::filesystem::create_symlink("/dev/zero", AppDir() + "SysInfo.Ini");
  ASSERT_EQ(::mkfifo((AppDir() + "Chinese.Ini").c_str(), 0600), 0);
  Start(AppDir());
  EXPECT_EQ(ALL->PortName, "Com1");
  EXPECT_EQ(ALL->LanguageName, "Chinese");
  EXPECT_EQ(Messages(), DefaultMessages());
  String Error;
  EXPECT_FALSE(SaveSysInfo(&Error));
  EXPECT_TRUE(std::filesystem::is_symlink(AppDir() + "SysInfo.Ini"));
}

using Settings = app_test::DocumentTest;

TEST_F(Settings, ValuesAndTheirDefaults) {
  struct {
    const char* Content;
    const char* Port;
    Integer Index;
    const char* Name;
    Integer Picture;
    const char* Help;
  } const Cases[] = {
      {"", "Com1", 0, "Chinese", 1, "QH"},
      {"[SysInfo]\nCom=COM7\nHelp=XY\nPicID=4\n", "COM7", 0, "Chinese", 5, "XY"},
      {"[SysInfo]\nDefaultLanguage=1\n", "Com1", 1, "English", 1, "QH"},
      {"[SysInfo]\nDefaultLanguage=5\n", "Com1", 5, "", 1, "QH"},
      {"[SysInfo]\nDefaultLanguage=-1\n", "Com1", -1, "", 1, "QH"},
      {"[SysInfo]\nDefaultLanguage=one\nPicID=x\n", "Com1", 0, "Chinese", 1, "QH"},
      {"[SysInfo]\nLanguage=A|B||D\nDefaultLanguage=2\n", "Com1", 2, "", 1, "QH"},
      {"[SysInfo]\nLanguage=A|B||D\nDefaultLanguage=3\n", "Com1", 3, "D", 1, "QH"},
      {"[sysinfo]\ncom=COM2\n", "COM2", 0, "Chinese", 1, "QH"},  // names in any case
      {"[Other]\nCom=COM9\n", "Com1", 0, "Chinese", 1, "QH"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Content);
    WriteFile(AppDir() + "SysInfo.Ini", Case.Content);
    LoadSysInfo();
    EXPECT_EQ(ALL->PortName, Case.Port);
    EXPECT_EQ(ALL->LanguageIndex, Case.Index);
    EXPECT_EQ(ALL->LanguageName, Case.Name);
    EXPECT_EQ(ALL->PictureNumber, Case.Picture);
    EXPECT_EQ(ALL->HelpPrefix, Case.Help);
  }
}

TEST_F(Settings, SaveWritesBackItsKeysAndKeepsTheOthers) {
  WriteFile(AppDir() + "SysInfo.Ini",
            "[SysInfo]\nHelp=XY\nPicID=x\nLanguage=Chinese|English\n[Other]\nKey=1\n");
  LoadSysInfo();
  ALL->PortName = "COM3";
  ALL->LanguageIndex = 1;
  String Error;
  ASSERT_TRUE(SaveSysInfo(&Error)) << Error;

  TIniFile Ini(AppDir() + "SysInfo.Ini");
  EXPECT_EQ(Ini.ReadString("SysInfo", "Com", ""), "COM3");
  EXPECT_EQ(Ini.ReadString("SysInfo", "DefaultLanguage", ""), "1");
  EXPECT_EQ(Ini.ReadString("SysInfo", "PicID", ""), "0");
  EXPECT_EQ(Ini.ReadString("SysInfo", "Help", ""), "XY");
  EXPECT_EQ(Ini.ReadString("Other", "Key", ""), "1");
  EXPECT_FALSE(std::filesystem::exists(ConfigDir()));

  LoadSysInfo();
  EXPECT_EQ(ALL->LanguageName, "English");
  EXPECT_EQ(ALL->PictureNumber, 1);
}

TEST_F(Settings, WithoutAProgramDirectoryTheUserCopyIsUsed) {
  const String Missing = Dir().Path() + "missing/";
  Start(Missing);
  EXPECT_EQ(ALL->PortName, "Com1");
  ALL->PortName = "COM5";
  String Error;
  ASSERT_TRUE(SaveSysInfo(&Error)) << Error;
  EXPECT_TRUE(std::filesystem::exists(ConfigDir() + "k58/SysInfo.Ini"));
  EXPECT_FALSE(std::filesystem::exists(Missing));

  Start(Missing);
  EXPECT_EQ(ALL->PortName, "COM5");
}

TEST_F(Settings, AFailedSaveIsReportedNotRaised) {
  const String Missing = Dir().Path() + "missing/";
  Start(Missing);
  // The configuration directory cannot be made: a file is in its way.
  WriteFile(Dir().Path() + "blocked", "");
  ::setenv("XDG_CONFIG_HOME", (Dir().Path() + "blocked").c_str(), 1);
  String Error;
  EXPECT_FALSE(SaveSysInfo(&Error));
  EXPECT_NE(Error.find(Dir().Path() + "blocked/k58/"), String::npos) << Error;
  EXPECT_FALSE(SaveSysInfo());

  // The report starts with the message of the current language.
  Language->SettingsError = TIniFile(ResourceDir + "English.Ini").ReadString("Language", "SettingsError", "");
  EXPECT_FALSE(SaveSysInfo(&Error));
  EXPECT_EQ(Error.substr(0, Error.find('\n')), "Cannot save the settings!");
}

// Runs Check in a child process without root's right to write anywhere; the child's exit code tells
// whether Check held. Directories the child must use are opened to everyone first.
bool DropPrivileges() {
  if (::geteuid() != 0) return true;
  return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

TEST_F(Settings, AReadOnlyProgramDirectoryKeepsItsCopyAndUsesTheUserCopy) {
  WriteFile(AppDir() + "SysInfo.Ini", "[SysInfo]\nCom=COM2\nHelp=XY\n");
  std::filesystem::create_directories(ConfigDir());
  ::chmod(Dir().Path().c_str(), 0755);
  ::chmod(ConfigDir().c_str(), 0777);
  ::chmod(AppDir().c_str(), 0555);

  EXPECT_EXIT(
      {
        bool Ok = DropPrivileges();
        Start(AppDir());
        Ok = Ok && ALL->PortName == "COM2";  // the copy next to the program until a user copy exists
        ALL->PortName = "COM4";
        Ok = Ok && SaveSysInfo();
        Start(AppDir());
        Ok = Ok && ALL->PortName == "COM4" && ALL->HelpPrefix == "XY";
        Ok = Ok && ReadFile(AppDir() + "SysInfo.Ini") == "[SysInfo]\nCom=COM2\nHelp=XY\n";
        std::_Exit(Ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(Settings, AFailedOrCutShortSaveNeverHidesTheSettings) {
  const String Local = "[SysInfo]\nCom=COM2\nHelp=XY\nPicID=3\n";
  WriteFile(AppDir() + "SysInfo.Ini", Local);
  const String UserDir = ConfigDir() + "k58/";
  std::filesystem::create_directories(UserDir);
  // Left by earlier saves: an empty user copy, and the temporary file of a save that was killed.
  WriteFile(UserDir + "SysInfo.Ini", "");
  WriteFile(UserDir + ".SysInfo.Ini.a1B2c3", "[SysInfo]\nCom=CO");
  ::chmod(Dir().Path().c_str(), 0755);
  ::chmod(ConfigDir().c_str(), 0777);
  ::chmod(UserDir.c_str(), 0777);
  ::chmod(AppDir().c_str(), 0555);

  EXPECT_EXIT(
      {
        bool Ok = DropPrivileges();
        auto Check = [&](bool Condition) { Ok = Ok && Condition; };
        Start(AppDir());
        Check(ALL->PortName == "COM2" && ALL->HelpPrefix == "XY" && ALL->PictureNumber == 4);

        // The disk is full: nothing more than a few bytes can be written.
        ALL->PortName = "COM4";
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit Saved{};
        ::getrlimit(RLIMIT_FSIZE, &Saved);
        rlimit Full = Saved;
        Full.rlim_cur = 8;
        ::setrlimit(RLIMIT_FSIZE, &Full);
        String Error;
        Check(!SaveSysInfo(&Error));
        ::setrlimit(RLIMIT_FSIZE, &Saved);
        Check(Error.rfind(Language->SettingsError + "\n", 0) == 0 && !Language->SettingsError.empty());
        Start(AppDir());
        Check(ALL->PortName == "COM2" && ALL->HelpPrefix == "XY" && ALL->PictureNumber == 4);

        ALL->PortName = "COM4";
        Check(SaveSysInfo());
        Start(AppDir());
        Check(ALL->PortName == "COM4" && ALL->HelpPrefix == "XY" && ALL->PictureNumber == 4);
        std::vector<String> Names;
        for (const auto& Entry : std::filesystem::directory_iterator(UserDir))
          Names.push_back(Entry.path().filename());
        Check(Names == std::vector<String>{"SysInfo.Ini"});
        Check(ReadFile(AppDir() + "SysInfo.Ini") == Local);
        std::_Exit(Ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(SplitList, Entries) {
  struct {
    const char* Text;
    std::vector<String> Entries;
  } const Cases[] = {
      {"", {}},
      {"Chinese", {"Chinese"}},
      {"Chinese|English", {"Chinese", "English"}},
      {"a||b", {"a", "", "b"}},
      {"|a", {"", "a"}},
      {"a|", {"a"}},
      {"|", {""}},
      {"中文|英文", {"中文", "英文"}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Text);
    EXPECT_EQ(SplitList(Case.Text), Case.Entries);
  }
}

using LanguageFiles = app_test::DocumentTest;

TEST_F(LanguageFiles, ListDefaults) {
  TStringList Display, Files;
  Files.Add("kept");
  LoadLanguageList(&Display, &Files);
  EXPECT_EQ(Lines(Files), (std::vector<String>{"kept", "Chinese", "English"}));
  EXPECT_EQ(Lines(Display), (std::vector<String>{"中文", "英文"}));
  LoadLanguageList(nullptr, nullptr);
}

TEST_F(LanguageFiles, DisplayNamesFollowTheCurrentLanguage) {
  WriteFile(
      AppDir() + "SysInfo.Ini",
      "[SysInfo]\nDefaultLanguage=1\nLanguage=Chinese|English|German\nEnglish=Chinese|English|German\n");
  LoadSysInfo();
  TStringList Display, Files;
  LoadLanguageList(&Display, &Files);
  EXPECT_EQ(Lines(Files), (std::vector<String>{"Chinese", "English", "German"}));
  EXPECT_EQ(Lines(Display), (std::vector<String>{"Chinese", "English", "German"}));
}

TEST_F(LanguageFiles, ShippedFilesHoldEveryMessage) {
  for (const char* Name : {"English", "Chinese"}) {
    SCOPED_TRACE(Name);
    TIniFile Ini(ResourceDir + Name + ".Ini");
    for (const TMessageKey& Key : MessageKeys) EXPECT_TRUE(Ini.ValueExists("Language", Key.Key)) << Key.Key;
  }
  std::filesystem::copy_file(ResourceDir + "Chinese.Ini", AppDir() + "Chinese.Ini");
  LoadMessages("Chinese");
  EXPECT_EQ(Messages(), DefaultMessages());
}

TEST_F(LanguageFiles, MessagesFromFilesOfAnyQuality) {
  const String Utf8 = "[Language]\nConfirmation=确认\nReadOk=完成\n";
  struct {
    const char* Name;
    String Content;
    const char* Confirmation;
    const char* ReadOk;
  } const Cases[] = {
      {"utf-8", Utf8, "确认", "完成"},
      {"gbk", Utf8ToGbk(Utf8), "确认", "完成"},
      {"crlf", "[Language]\r\nConfirmation=Notice\r\nReadOk=Done\r\n", "Notice", "Done"},
      {"garbage lines",
       String("\x01\x02\xFF\n[Broken\nno equals sign\n=empty key\n[Language]\n") +
           "Confirmation=Notice\n\xFE\xFE\xFE\nReadOk=Done\n",
       "Notice", "Done"},
      {"other section only", "[fMainFrm]\nConfirmation=x\n", "提示", "读取完成！"},
      {"empty", "", "提示", "读取完成！"},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    WriteFile(AppDir() + "Test.Ini", Case.Content);
    LoadMessages("Test");
    EXPECT_EQ(Language->Confirmation, Case.Confirmation);
    EXPECT_EQ(Language->ReadOk, Case.ReadOk);
    EXPECT_EQ(Language->ModError, "机型错误!");  // missing keys take the built-in text
  }
}

TEST_F(LanguageFiles, AMissingOrUnreadableFileGivesTheBuiltInTexts) {
  std::filesystem::create_directories(AppDir() + "Folder.Ini");
  for (const char* Name : {"Missing", "", "Folder"}) {
    SCOPED_TRACE(Name);
    Language->Confirmation = "changed";
    LoadMessages(Name);
    EXPECT_EQ(Messages(), DefaultMessages());
  }
}

}  // namespace
