// INI files with the private-profile rules of the original platform.
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/classes/Classes.h"
#include "platform/rtl/SysUtils.h"

namespace classes_test {

namespace {

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("k58_ini_" + std::to_string(::getpid()) + "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::filesystem::remove_all(dir_);
  }
  String Path(const char* name) const { return (dir_ / name).string(); }
  void WriteBytes(const String& path, const String& bytes) const {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
  String ReadBytes(const String& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path dir_;
};

TEST_F(IniFileTest, AMissingFileGivesTheDefaults) {
  TIniFile ini(Path("SysInfo.Ini"));
  EXPECT_EQ(ini.ReadString("SysInfo", "Com", "Com1"), "Com1");
  EXPECT_EQ(ini.ReadInteger("SysInfo", "PicID", 0), 0);
  EXPECT_TRUE(ini.ReadBool("SysInfo", "Flag", true));
  EXPECT_EQ(ini.ReadFloat("SysInfo", "Step", 12.5), 12.5);
  EXPECT_FALSE(ini.SectionExists("SysInfo"));
  TStringList keys;
  keys.Add("stale");
  ini.ReadSection("SysInfo", &keys);
  EXPECT_EQ(keys.Count(), 0);
  ini.EraseSection("SysInfo");
  ini.DeleteKey("SysInfo", "Com");
  EXPECT_FALSE(FileExists(Path("SysInfo.Ini")));
}

TEST_F(IniFileTest, EveryReadSeesTheFilesCurrentBytes) {
  // Changes of the same size within the same instant, by another program and by another TIniFile.
  const String path = Path("Language.Ini");
  WriteBytes(path, "[Msg]\r\nA=1\r\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Msg", "A", ""), "1");
  WriteBytes(path, "[Msg]\r\nA=2\r\n");
  EXPECT_EQ(ini.ReadString("Msg", "A", ""), "2");
  TIniFile(path).WriteString("Msg", "A", "3");
  EXPECT_EQ(ini.ReadString("Msg", "A", ""), "3");
  std::filesystem::remove(path);
  EXPECT_EQ(ini.ReadString("Msg", "A", "gone"), "gone");
  TStringList keys;
  ini.ReadSection("Msg", &keys);
  EXPECT_EQ(keys.Count(), 0);
}

TEST_F(IniFileTest, NamesIgnoreCaseAndValuesAreTrimmed) {
  WriteBytes(Path("a.ini"),
             "; comment\r\n"
             "[SysInfo]\r\n"
             "Com = COM3 \r\n"
             "DefaultLanguage=1\r\n"
             "Quoted=\" padded \"\r\n"
             "Empty=\r\n"
             "Hex=0x1F\r\n"
             "Bad=1x\r\n"
             "Float=2.5\r\n"
             "no equals sign\r\n"
             "com=second\r\n"
             "[Other]\r\n"
             "Com=other\r\n");
  TIniFile ini(Path("a.ini"));
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"sysinfo", "COM", "COM3"},     {"SYSINFO", "quoted", " padded "}, {"SysInfo", "Empty", ""},
      {"Other", "com", "other"},      {"SysInfo", "Missing", "def"},     {"Missing", "Com", "def"},
      {"SysInfo", "no equals sign", "def"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(String(c.section) + "." + c.key);
    EXPECT_EQ(ini.ReadString(c.section, c.key, "def"), c.expected);
  }
  EXPECT_EQ(ini.ReadInteger("SysInfo", "DefaultLanguage", 0), 1);
  EXPECT_EQ(ini.ReadInteger("SysInfo", "Hex", 0), 31);
  EXPECT_EQ(ini.ReadInteger("SysInfo", "Bad", 7), 7);
  EXPECT_TRUE(ini.ReadBool("SysInfo", "DefaultLanguage", false));
  EXPECT_EQ(ini.ReadFloat("SysInfo", "Float", 0), 2.5);
  EXPECT_EQ(ini.ReadFloat("SysInfo", "Com", 1.5), 1.5);

  TStringList list;
  ini.ReadSection("SYSINFO", &list);
  EXPECT_EQ(list.CommaText(), "Com,DefaultLanguage,Quoted,Empty,Hex,Bad,Float,com");
  ini.ReadSections(&list);
  EXPECT_EQ(list.CommaText(), "SysInfo,Other");
  ini.ReadSectionValues("Other", &list);
  EXPECT_EQ(list.CommaText(), "Com=other");
  EXPECT_TRUE(ini.SectionExists("other"));
  EXPECT_TRUE(ini.ValueExists("sysinfo", "EMPTY"));
  EXPECT_FALSE(ini.ValueExists("sysinfo", "Nothing"));
}

TEST_F(IniFileTest, WritesCreateTheFileAndKeepEverythingElse) {
  const String path = Path("SysInfo.Ini");
  TIniFile ini(path);
  ini.WriteString("SysInfo", "Com", "COM1");
  EXPECT_EQ(ReadBytes(path), "[SysInfo]\r\nCom=COM1\r\n");

  WriteBytes(path, "; settings\r\n[SysInfo]\r\nCom=COM1\r\nHelp=QH\r\n\r\n[Ports]\r\nCOM5=/dev/ttyUSB0\r\n");
  ini.WriteInteger("sysinfo", "COM", 3);         // replaces in place, keeps the key's spelling
  ini.WriteBool("SysInfo", "PicID", false);      // added after the section's last key
  ini.WriteFloat("New", "Step", 6.25);           // a new section at the end
  ini.DeleteKey("SysInfo", "Help");
  EXPECT_EQ(ReadBytes(path),
            "; settings\r\n[SysInfo]\r\nCom=3\r\nPicID=0\r\n\r\n[Ports]\r\nCOM5=/dev/ttyUSB0\r\n[New]\r\nStep=6.25\r\n");
  ini.EraseSection("Ports");
  EXPECT_EQ(ReadBytes(path), "; settings\r\n[SysInfo]\r\nCom=3\r\nPicID=0\r\n\r\n[New]\r\nStep=6.25\r\n");

  // Line breaks cannot break the file's structure.
  ini.WriteString("New", "Text", "a\r\n[Injected]\r\nx=1");
  EXPECT_FALSE(ini.SectionExists("Injected"));
  EXPECT_EQ(ini.ReadString("New", "Text", ""), "a  [Injected]  x=1");
}

TEST_F(IniFileTest, ReadsAndKeepsGbkFiles) {
  const String path = Path("Chinese.Ini");
  WriteBytes(path, Utf8ToGbk("[Language]\r\nConfirmation=提示\r\nExitProgram=确定要退出系统？\r\n"));
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Language", "Confirmation", ""), "提示");
  EXPECT_EQ(ini.ReadString("Language", "ExitProgram", ""), "确定要退出系统？");
  ini.WriteString("Language", "Caution", "注意");
  EXPECT_EQ(ReadBytes(path), Utf8ToGbk("[Language]\r\nConfirmation=提示\r\nExitProgram=确定要退出系统？\r\nCaution=注意\r\n"));
  // A character GBK lacks turns the file into UTF-8 rather than losing it.
  ini.WriteString("Language", "Smile", "\xF0\x9F\x98\x80");
  EXPECT_TRUE(IsValidUtf8(ReadBytes(path)));
  EXPECT_EQ(ini.ReadString("Language", "Confirmation", ""), "提示");
  EXPECT_EQ(ini.ReadString("Language", "Smile", ""), "\xF0\x9F\x98\x80");
}

TEST_F(IniFileTest, AWriteKeepsTheBytesOfLinesItDoesNotChange) {
  // 0xFF is no GBK character: it reads as U+FFFD, and must not be written back as one.
  const String path = Path("Chinese.Ini");
  const String untouched = Utf8ToGbk("[Language]\r\nConfirmation=提示") + "\xFF\r\n" + Utf8ToGbk("Caution=注意\r\n");
  WriteBytes(path, untouched + "[Other]\r\nKey=old\r\n");
  TIniFile ini(path);
  ini.WriteString("Other", "Key", "新");
  ini.WriteString("Other", "Added", "加");
  EXPECT_EQ(ReadBytes(path), untouched + Utf8ToGbk("[Other]\r\nKey=新\r\nAdded=加\r\n"));
  EXPECT_EQ(ini.ReadString("Language", "Caution", ""), "注意");
  ini.DeleteKey("Other", "Added");
  EXPECT_EQ(ReadBytes(path), untouched + Utf8ToGbk("[Other]\r\nKey=新\r\n"));
}

TEST_F(IniFileTest, PipesDevicesAndHugeFilesReadAsUnreadable) {
  // A pipe with no writer must not block, a device like /dev/zero must not be read without end.
  const String pipe = Path("pipe.ini");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const String huge = Path("huge.ini");
  const String head = "[S]\r\nK=V\r\n";
  const size_t limit = 4 << 20;
  WriteBytes(huge, head + String(limit + 1 - head.size(), ';'));
  const String link = Path("zero.ini");
  std::filesystem::create_symlink("/dev/zero", link);
  for (const String& path : {pipe, huge, link, String("/dev/null")}) {
    SCOPED_TRACE(path);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "K", "default"), "default");
    EXPECT_THROW(ini.WriteString("S", "K", "new"), EIniFileException);
  }
  EXPECT_EQ(std::filesystem::file_size(huge), limit + 1);
  EXPECT_TRUE(std::filesystem::is_fifo(pipe));
  // A file of the limit's size still reads.
  WriteBytes(huge, head + String(limit - head.size(), ';'));
  EXPECT_EQ(TIniFile(huge).ReadString("S", "K", "default"), "V");
}

// Runs Body in a child process without root's right to write anywhere, so that permissions hold; the
// child's exit code tells whether Body held.
#define IN_CHILD_WITHOUT_PRIVILEGES(Body)                                                             \
  EXPECT_EXIT(                                                                                        \
      {                                                                                               \
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) \
          std::_Exit(2);                                                                              \
        std::_Exit((Body) ? 0 : 1);                                                                   \
      },                                                                                              \
      ::testing::ExitedWithCode(0), "")

TEST_F(IniFileTest, AWriteInPlaceThatCannotBeDoneLeavesTheFileWhole) {
  // The directory takes no new file, so the file is rewritten in place; the disk has room for no more
  // than the old contents.
  const String path = Path("SysInfo.Ini");
  const String old = "[SysInfo]\r\nCom=COM1\r\nHelp=QH\r\n";
  WriteBytes(path, old);
  ::chmod(path.c_str(), 0666);
  ::chmod(dir_.c_str(), 0555);
  IN_CHILD_WITHOUT_PRIVILEGES(([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{old.size(), old.size()};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
    TIniFile ini(path);
    bool raised = false;
    try {
      ini.WriteString("SysInfo", "Com", "COM12345");
    } catch (const EIniFileException&) {
      raised = true;
    }
    const bool whole = ReadBytes(path) == old;
    // What fits is written in place.
    ini.WriteString("SysInfo", "Com", "COM2");
    return raised && whole && ReadBytes(path) == "[SysInfo]\r\nCom=COM2\r\nHelp=QH\r\n";
  }()));
}

TEST_F(IniFileTest, AWriteRemovesTheTemporaryFilesOfAKilledWrite) {
  const String path = Path("SysInfo.Ini");
  WriteBytes(Path(".SysInfo.Ini.k1LL3d"), "[SysInfo]\r\nCom=CO");
  TIniFile ini(path);
  ini.WriteString("SysInfo", "Com", "COM3");
  std::vector<String> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) names.push_back(entry.path().filename());
  EXPECT_EQ(names, std::vector<String>{"SysInfo.Ini"});
}

TEST_F(IniFileTest, UnreadableFilesReadAsEmptyAndAreNeverOverwritten) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  const String path = Path("locked.ini");
  WriteBytes(path, "[S]\r\nK=V\r\n");
  ::chmod(path.c_str(), 0);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("S", "K", "default"), "default");
  EXPECT_THROW(ini.WriteString("S", "K", "new"), EIniFileException);
  ::chmod(path.c_str(), 0600);
  EXPECT_EQ(ReadBytes(path), "[S]\r\nK=V\r\n");
}

TEST_F(IniFileTest, AWriteThatCannotBeDoneRaises) {
  // A directory where the file should be: it can neither be read nor written.
  const String path = Path("dir.ini");
  std::filesystem::create_directories(path);
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
  try {
    ini.WriteString("S", "K", "v");
    FAIL();
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), "Unable to write to " + path);
  }
}

}  // namespace

}  // namespace classes_test
