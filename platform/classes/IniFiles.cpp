#include "platform/classes/IniFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

K58_IMPLEMENT_CLASS(TCustomIniFile) {}
K58_IMPLEMENT_CLASS(TIniFile) {}

namespace {

enum class Encoding { Utf8, Utf8Bom, Gbk };

// The lines of an INI file, decoded to UTF-8.
struct Profile {
  std::vector<String> lines;
  Encoding encoding = Encoding::Utf8;
  bool exists = false;
  mode_t mode = 0;
};

bool ReadAll(int fd, String& bytes) {
  char buffer[8192];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof(buffer));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

// Loads the file. False when it exists but cannot be read; a missing file is an empty profile.
bool Load(const String& fileName, Profile& profile) {
  int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    profile.exists = errno != ENOENT && errno != ENOTDIR;
    return !profile.exists;
  }
  profile.exists = true;
  struct stat st {};
  String bytes;
  bool ok = ::fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode) && ReadAll(fd, bytes);
  ::close(fd);
  if (!ok) return false;
  profile.mode = st.st_mode & 07777;
  String text;
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    profile.encoding = Encoding::Utf8Bom;
    text = bytes.substr(3);
  } else if (IsValidUtf8(bytes)) {
    profile.encoding = Encoding::Utf8;
    text = bytes;
  } else {
    profile.encoding = Encoding::Gbk;
    text = GbkToUtf8(bytes);
  }
  size_t p = 0;
  while (p < text.size()) {
    size_t start = p;
    while (p < text.size() && text[p] != '\r' && text[p] != '\n') ++p;
    profile.lines.push_back(text.substr(start, p - start));
    if (p < text.size() && text[p] == '\r') ++p;
    if (p < text.size() && text[p] == '\n') ++p;
  }
  return true;
}

bool WriteAllTo(int fd, const String& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes the profile: through a temporary file renamed over the old one, so a failed write leaves the old
// file whole; in place when the directory allows no new file.
bool Save(const String& fileName, const Profile& profile) {
  String text;
  for (const String& line : profile.lines) {
    text += line;
    text += "\r\n";
  }
  String bytes;
  switch (profile.encoding) {
    case Encoding::Utf8:
      bytes = text;
      break;
    case Encoding::Utf8Bom:
      bytes = "\xEF\xBB\xBF" + text;
      break;
    case Encoding::Gbk: {
      String gbk = Utf8ToGbk(text);
      // Text GBK cannot hold makes the file UTF-8 rather than losing characters.
      bytes = GbkToUtf8(gbk) == text ? gbk : text;
      break;
    }
  }
  if (!profile.exists) {
    int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = WriteAllTo(fd, bytes);
    return ::close(fd) == 0 && ok;
  }
  String temp = fileName + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd >= 0) {
    bool ok = ::fchmod(fd, profile.mode) == 0 && WriteAllTo(fd, bytes) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temp.c_str(), fileName.c_str()) == 0) return true;
    ::unlink(temp.c_str());
    return false;
  }
  // The directory takes no new file (the file itself may still be writable).
  fd = ::open(fileName.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = WriteAllTo(fd, bytes);
  return ::close(fd) == 0 && ok;
}

bool SectionName(const String& line, String& name) {
  String text = TrimLeft(line);
  if (text.empty() || text[0] != '[') return false;
  size_t close = text.find(']');
  name = Trim(text.substr(1, close == String::npos ? String::npos : close - 1));
  return true;
}

bool KeyValue(const String& line, String& key, String& value) {
  String text = Trim(line);
  if (text.empty() || text[0] == ';' || text[0] == '[') return false;
  size_t eq = text.find('=');
  if (eq == String::npos) return false;
  key = Trim(text.substr(0, eq));
  if (key.empty()) return false;
  value = Trim(text.substr(eq + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return true;
}

// Lines [first, last) of the first section with the name; first is the header. False when absent.
bool FindSection(const Profile& profile, const String& section, size_t& first, size_t& last) {
  String name;
  for (size_t i = 0; i < profile.lines.size(); ++i) {
    if (SectionName(profile.lines[i], name) && AnsiSameText(name, section)) {
      first = i;
      last = i + 1;
      while (last < profile.lines.size() && !SectionName(profile.lines[last], name)) ++last;
      return true;
    }
  }
  return false;
}

String OneLine(const String& s) {
  String result = s;
  for (char& c : result) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return result;
}

void RaiseWriteError(const String& fileName) { throw EIniFileException(Format(SIniFileWriteError, fileName)); }

// Loads for a change; an unreadable existing file is never replaced.
Profile LoadForWrite(const String& fileName) {
  Profile profile;
  if (!Load(fileName, profile)) RaiseWriteError(fileName);
  return profile;
}

}  // namespace

// ---- TCustomIniFile ----

Integer TCustomIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default) {
  return StrToIntDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteInteger(const String& Section, const String& Ident, Integer Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const String& Section, const String& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

Double TCustomIniFile::ReadFloat(const String& Section, const String& Ident, Double Default) {
  String text = ReadString(Section, Ident, String());
  double value = Default;
  if (!text.empty() && TryStrToFloat(text, value)) return value;
  return Default;
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Ident, Double Value) {
  WriteString(Section, Ident, FloatToStr(Value));
}

bool TCustomIniFile::SectionExists(const String& Section) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident) {
  TStringList keys;
  ReadSection(Section, &keys);
  return keys.IndexOf(Ident) >= 0;
}

// ---- TIniFile ----

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) {
  Profile profile;
  size_t first = 0;
  size_t last = 0;
  if (!Load(FileName(), profile) || !FindSection(profile, Section, first, last)) return Default;
  String key;
  String value;
  for (size_t i = first + 1; i < last; ++i) {
    if (KeyValue(profile.lines[i], key, value) && AnsiSameText(key, Ident)) return value;
  }
  return Default;
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  const String section = OneLine(Section);
  const String ident = OneLine(Ident);
  const String value = OneLine(Value);
  Profile profile = LoadForWrite(FileName());
  size_t first = 0;
  size_t last = 0;
  if (!FindSection(profile, section, first, last)) {
    profile.lines.push_back("[" + section + "]");
    profile.lines.push_back(ident + "=" + value);
  } else {
    String key;
    String old;
    bool replaced = false;
    for (size_t i = first + 1; i < last; ++i) {
      if (KeyValue(profile.lines[i], key, old) && AnsiSameText(key, ident)) {
        profile.lines[i] = key + "=" + value;
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      // After the last non-blank line of the section, before the blank lines that separate sections.
      size_t at = last;
      while (at > first + 1 && Trim(profile.lines[at - 1]).empty()) --at;
      profile.lines.insert(profile.lines.begin() + static_cast<std::ptrdiff_t>(at), ident + "=" + value);
    }
  }
  if (!Save(FileName(), profile)) RaiseWriteError(FileName());
}

void TIniFile::ReadSection(const String& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    Profile profile;
    size_t first = 0;
    size_t last = 0;
    if (Load(FileName(), profile) && FindSection(profile, Section, first, last)) {
      String key;
      String value;
      for (size_t i = first + 1; i < last; ++i) {
        if (KeyValue(profile.lines[i], key, value)) Strings->Add(key);
      }
    }
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TIniFile::ReadSections(TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    Profile profile;
    if (Load(FileName(), profile)) {
      TStringList seen;
      String name;
      for (const String& line : profile.lines) {
        if (SectionName(line, name) && seen.IndexOf(name) < 0) {
          seen.Add(name);
          Strings->Add(name);
        }
      }
    }
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings) {
  Strings->BeginUpdate();
  try {
    Strings->Clear();
    Profile profile;
    size_t first = 0;
    size_t last = 0;
    if (Load(FileName(), profile) && FindSection(profile, Section, first, last)) {
      String key;
      String value;
      for (size_t i = first + 1; i < last; ++i) {
        if (KeyValue(profile.lines[i], key, value)) Strings->Add(key + "=" + value);
      }
    }
  } catch (...) {
    Strings->EndUpdate();
    throw;
  }
  Strings->EndUpdate();
}

void TIniFile::EraseSection(const String& Section) {
  Profile profile = LoadForWrite(FileName());
  size_t first = 0;
  size_t last = 0;
  bool changed = false;
  // Every section of the name goes, so no older copy reappears.
  while (FindSection(profile, Section, first, last)) {
    profile.lines.erase(profile.lines.begin() + static_cast<std::ptrdiff_t>(first),
                        profile.lines.begin() + static_cast<std::ptrdiff_t>(last));
    changed = true;
  }
  if (changed && !Save(FileName(), profile)) RaiseWriteError(FileName());
}

void TIniFile::DeleteKey(const String& Section, const String& Ident) {
  Profile profile = LoadForWrite(FileName());
  size_t first = 0;
  size_t last = 0;
  if (!FindSection(profile, Section, first, last)) return;
  bool changed = false;
  String key;
  String value;
  for (size_t i = last; i-- > first + 1;) {
    if (KeyValue(profile.lines[i], key, value) && AnsiSameText(key, Ident)) {
      profile.lines.erase(profile.lines.begin() + static_cast<std::ptrdiff_t>(i));
      changed = true;
    }
  }
  if (changed && !Save(FileName(), profile)) RaiseWriteError(FileName());
}
