#include "app/SysInfo.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/AllClass.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/IniFiles.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr const char* SectionSysInfo = "SysInfo";
constexpr const char* SectionLanguage = "Language";
constexpr const char* DefaultLanguageList = "Chinese|English";
constexpr const char* DefaultDisplayNames = "中文|英文";
constexpr size_t MaxSeedSize = 4 << 20;

String LocalSysInfoName() { return ALL->AppDir + SysInfoName; }

bool CanWriteDirectory(const String& Dir) {
  return !Dir.empty() && DirectoryExists(Dir) && ::access(Dir.c_str(), W_OK | X_OK) == 0;
}

void AppendAll(TStrings* Strings, const std::vector<String>& Entries) {
  if (Strings == nullptr) return;
  for (const String& Entry : Entries) Strings->Add(Entry);
}

// A settings file worth reading: one that holds the settings section. An empty or cut-short copy (left by
// a save that failed before this program wrote through a temporary file) is not.
bool HoldsSettings(const String& FileName) {
  return FileExists(FileName) && TIniFile(FileName).SectionExists(SectionSysInfo);
}

// Copies the settings next to the program into a new user copy, so that keys this program does not
// write back ("Help", "Language" ...) keep their values. The copy appears whole or not at all.
void SeedUserCopy(const String& Target) {
  if (HoldsSettings(Target)) return;
  String Bytes;
  if (!HoldsSettings(LocalSysInfoName()) || ReadFileHead(LocalSysInfoName(), MaxSeedSize, Bytes) != 0) return;
  if (const int Error = WriteFileReplacing(Target, Bytes.data(), Bytes.size()))
    throw EIniFileException(Format(classesconsts::SIniFileWriteError, Target) + ": " + std::strerror(Error));
}

}  // namespace

String UserConfigDir() {
  String Base;
  if (const char* Config = std::getenv("XDG_CONFIG_HOME"); Config != nullptr && Config[0] == '/') {
    Base = Config;
  } else {
    const char* Home = std::getenv("HOME");
    if (Home == nullptr || Home[0] == '\0') {
      const passwd* User = ::getpwuid(::getuid());
      Home = User != nullptr ? User->pw_dir : "/";
    }
    Base = IncludeTrailingPathDelimiter(Home) + ".config";
  }
  return IncludeTrailingPathDelimiter(Base) + "k58/";
}

String SysInfoWriteFileName() {
  const String Local = LocalSysInfoName();
  const bool LocalWritable =
      CanWriteDirectory(ALL->AppDir) && (!FileExists(Local) || ::access(Local.c_str(), W_OK) == 0);
  return LocalWritable ? Local : UserConfigDir() + SysInfoName;
}

String SysInfoReadFileName() {
  const String Target = SysInfoWriteFileName();
  return Target == LocalSysInfoName() || HoldsSettings(Target) ? Target : LocalSysInfoName();
}

void LoadSysInfo() {
  TIniFile Ini(SysInfoReadFileName());
  ALL->PortName = Ini.ReadString(SectionSysInfo, "Com", "Com1");
  ALL->LanguageIndex = Ini.ReadInteger(SectionSysInfo, "DefaultLanguage", 0);
  ALL->HelpPrefix = Ini.ReadString(SectionSysInfo, "Help", "QH");
  const Integer PicID = Ini.ReadInteger(SectionSysInfo, "PicID", 0);
  ALL->PictureNumber = PicID < INT_MAX ? PicID + 1 : 1;
  const auto Names = SplitList(Ini.ReadString(SectionSysInfo, "Language", DefaultLanguageList));
  const Integer Index = ALL->LanguageIndex;
  ALL->LanguageName = Index >= 0 && Index < static_cast<Integer>(Names.size()) ? Names[Index] : String();
}

bool SaveSysInfo(String* ErrorMessage) {
  const String Target = SysInfoWriteFileName();
  try {
    if (Target != LocalSysInfoName()) {
      if (!ForceDirectories(UserConfigDir()))
        throw EInOutError("Cannot create directory \"" + UserConfigDir() + "\"");
      SeedUserCopy(Target);
    }
    TIniFile Ini(Target);
    Ini.WriteString(SectionSysInfo, "Com", ALL->PortName);
    Ini.WriteString(SectionSysInfo, "DefaultLanguage", IntToStr(ALL->LanguageIndex));
    Ini.WriteString(SectionSysInfo, "PicID", IntToStr(ALL->PictureNumber - 1));
    Ini.UpdateFile();
    return true;
  } catch (const Exception& E) {
    if (ErrorMessage != nullptr) *ErrorMessage = Language->SettingsError + "\n" + E.Message();
    return false;
  }
}

std::vector<String> SplitList(const String& Text) {
  std::vector<String> Entries;
  String Rest = Text;
  for (auto Bar = Rest.find('|'); Bar != String::npos; Bar = Rest.find('|')) {
    Entries.push_back(Rest.substr(0, Bar));
    Rest.erase(0, Bar + 1);
  }
  if (!Rest.empty()) Entries.push_back(Rest);
  return Entries;
}

void LoadLanguageList(TStrings* DisplayNames, TStrings* FileNames) {
  TIniFile Ini(SysInfoReadFileName());
  AppendAll(FileNames, SplitList(Ini.ReadString(SectionSysInfo, "Language", DefaultLanguageList)));
  AppendAll(DisplayNames, SplitList(Ini.ReadString(SectionSysInfo, ALL->LanguageName, DefaultDisplayNames)));
}

void LoadMessages(const String& Name) {
  TIniFile Ini(ALL->AppDir + Name + ".Ini");
  for (const TMessageKey& Key : MessageKeys)
    Language->*Key.Field = Ini.ReadString(SectionLanguage, Key.Key, Key.Default);
}
