// INI files with the original platform's private-profile rules:
// - section and key names compare ignoring case; the first occurrence counts;
// - a missing or unreadable file, section or key gives the default; a key with an empty value is there;
// - values lose surrounding blanks and one pair of matching quotes ('...' or "...");
// - lines starting with ';' are comments; other lines without '=' are kept but are no keys;
// - every write reads the file again, changes one line (creating the file and the section when needed) and
//   writes it back at once, keeping everything else; lines end in CR LF.
// Files are read as UTF-8 when they are valid UTF-8 and as GBK otherwise, and written back in the encoding
// they had (GBK stays GBK while everything fits; new files are UTF-8); lines a write does not change keep
// their bytes. A pipe, a device or a file over 4 MB reads as unreadable.
#pragma once

#include "platform/classes/Object.h"

class TStrings;

class TCustomIniFile : public TObject {
  K58_CLASS(TCustomIniFile, TObject)

  explicit TCustomIniFile(const String& FileName) : fileName_(FileName) {}
  const String& FileName() const { return fileName_; }

  virtual String ReadString(const String& Section, const String& Ident, const String& Default) = 0;
  virtual void WriteString(const String& Section, const String& Ident, const String& Value) = 0;
  // Decimal or hexadecimal ("$1F", "0x1F"); anything else gives Default.
  virtual Integer ReadInteger(const String& Section, const String& Ident, Integer Default);
  virtual void WriteInteger(const String& Section, const String& Ident, Integer Value);
  // An integer other than 0 is true; written as "1" or "0".
  virtual bool ReadBool(const String& Section, const String& Ident, bool Default);
  virtual void WriteBool(const String& Section, const String& Ident, bool Value);
  // With the locale's decimal separator; text that is no number gives Default.
  virtual Double ReadFloat(const String& Section, const String& Ident, Double Default);
  virtual void WriteFloat(const String& Section, const String& Ident, Double Value);

  // Keys of a section / names of all sections / "key=value" lines of a section; Strings is cleared first.
  virtual void ReadSection(const String& Section, TStrings* Strings) = 0;
  virtual void ReadSections(TStrings* Strings) = 0;
  virtual void ReadSectionValues(const String& Section, TStrings* Strings) = 0;
  virtual void EraseSection(const String& Section) = 0;
  virtual void DeleteKey(const String& Section, const String& Ident) = 0;
  virtual void UpdateFile() = 0;

  // A section exists when it has at least one key, as the class library decides.
  bool SectionExists(const String& Section);
  bool ValueExists(const String& Section, const String& Ident);

 private:
  String fileName_;
};

// Reads and writes the file on every call. A write that cannot be done raises EIniFileException
// "Unable to write to <file>" and leaves the file as it was; an existing file that cannot be read is
// never overwritten. Writes go through a temporary file renamed over the old one.
class TIniFile : public TCustomIniFile {
  K58_CLASS(TIniFile, TCustomIniFile)

  explicit TIniFile(const String& FileName) : TCustomIniFile(FileName) {}

  String ReadString(const String& Section, const String& Ident, const String& Default) override;
  // Line breaks in names and values would start new lines of the file; they are written as blanks.
  void WriteString(const String& Section, const String& Ident, const String& Value) override;
  void ReadSection(const String& Section, TStrings* Strings) override;
  void ReadSections(TStrings* Strings) override;
  void ReadSectionValues(const String& Section, TStrings* Strings) override;
  void EraseSection(const String& Section) override;
  void DeleteKey(const String& Section, const String& Ident) override;
  void UpdateFile() override {}
};
