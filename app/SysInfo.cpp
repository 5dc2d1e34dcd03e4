#include "app/SysInfo.h"

#include <pwd.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "app/AllClass.h"
#include "platform/classes/IniFiles.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr const char* SectionSysInfo = "SysInfo";
constexpr const char* SectionLanguage = "Language";
constexpr const char* DefaultLanguageList = "Chinese|English";
constexpr const char* DefaultDisplayNames = "中文|英文";

String LocalSysInfoName() { return ALL->AppDir + SysInfoName; }

bool CanWriteDirectory(const String& Dir) {
  return !Dir.empty() && DirectoryExists(Dir) && ::access(Dir.c_str(), W_OK | X_OK) == 0;
}

// Opens an INI file for reading; an unreadable file behaves as an empty one.
std::unique_ptr<TIniFile> OpenForReading(const String& FileName) {
  try {
    return std::make_unique<TIniFile>(FileName);
  } catch (const Exception&) {
    return nullptr;
  }
}

String ReadString(TIniFile* Ini, const String& Section, const String& Key, const String& Default) {
  return Ini != nullptr ? Ini->ReadString(Section, Key, Default) : Default;
}

Integer ReadInteger(TIniFile* Ini, const String& Section, const String& Key, Integer Default) {
  return Ini != nullptr ? Ini->ReadInteger(Section, Key, Default) : Default;
}

void AppendAll(TStrings* Strings, const std::vector<String>& Entries) {
  if (Strings == nullptr) return;
  for (const String& Entry : Entries) Strings->Add(Entry);
}

// Copies the settings next to the program into a new user copy, so that keys this program does not
// write back ("Help", "Language" ...) keep their values.
void SeedUserCopy(const String& Target) {
  if (FileExists(Target) || !FileExists(LocalSysInfoName())) return;
  std::ifstream Source(LocalSysInfoName(), std::ios::binary);
  std::ofstream Copy(Target, std::ios::binary);
  Copy << Source.rdbuf();
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
  const bool LocalWritable = CanWriteDirectory(ALL->AppDir) &&
                             (!FileExists(Local) || ::access(Local.c_str(), W_OK) == 0);
  return LocalWritable ? Local : UserConfigDir() + SysInfoName;
}

String SysInfoReadFileName() {
  const String Target = SysInfoWriteFileName();
  return FileExists(Target) ? Target : LocalSysInfoName();
}

void LoadSysInfo() {
  const auto Ini = OpenForReading(SysInfoReadFileName());
  ALL->PortName = ReadString(Ini.get(), SectionSysInfo, "Com", "Com1");
  ALL->LanguageIndex = ReadInteger(Ini.get(), SectionSysInfo, "DefaultLanguage", 0);
  ALL->HelpPrefix = ReadString(Ini.get(), SectionSysInfo, "Help", "QH");
  const Integer PicID = ReadInteger(Ini.get(), SectionSysInfo, "PicID", 0);
  ALL->PictureNumber = PicID < INT_MAX ? PicID + 1 : 1;
  const auto Names = SplitList(ReadString(Ini.get(), SectionSysInfo, "Language", DefaultLanguageList));
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
    if (ErrorMessage != nullptr) *ErrorMessage = "Cannot save the settings to \"" + Target + "\": " + E.Message();
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
  const auto Ini = OpenForReading(SysInfoReadFileName());
  AppendAll(FileNames, SplitList(ReadString(Ini.get(), SectionSysInfo, "Language", DefaultLanguageList)));
  AppendAll(DisplayNames,
            SplitList(ReadString(Ini.get(), SectionSysInfo, ALL->LanguageName, DefaultDisplayNames)));
}

void LoadMessages(const String& Name) {
  std::array<String, MessageKeys.size()> Texts;
  try {
    const auto Ini = OpenForReading(ALL->AppDir + Name + ".Ini");
    for (size_t I = 0; I < MessageKeys.size(); ++I)
      Texts[I] = ReadString(Ini.get(), SectionLanguage, MessageKeys[I].Key, MessageKeys[I].Default);
  } catch (const Exception&) {
    // An unreadable file counts as empty.
    for (size_t I = 0; I < MessageKeys.size(); ++I) Texts[I] = MessageKeys[I].Default;
  }
  for (size_t I = 0; I < MessageKeys.size(); ++I) Language->*MessageKeys[I].Field = Texts[I];
}
