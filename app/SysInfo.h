// "SysInfo.Ini" and the message section of the language files.
//
// Settings live in "SysInfo.Ini" in the program directory when that directory is writable, otherwise in
// the user's configuration directory ($XDG_CONFIG_HOME/k58/, by default ~/.config/k58/). Until a user
// copy holding the settings section exists, the copy next to the program (if any) provides the values. Language files are read from
// the program directory: AppDir + name + ".Ini", in UTF-8 or GBK.
#pragma once

#include <vector>

#include "platform/classes/StringList.h"
#include "platform/rtl/Types.h"

constexpr const char* SysInfoName = "SysInfo.Ini";

// The per-user settings directory, with a trailing delimiter.
String UserConfigDir();

// The "SysInfo.Ini" that settings are written to, and the one they are read from.
String SysInfoWriteFileName();
String SysInfoReadFileName();

// Reads PortName, LanguageIndex, HelpPrefix, PictureNumber and LanguageName into ALL; a missing file
// or key gives the built-in default.
void LoadSysInfo();

// Writes "Com", "DefaultLanguage" and "PicID". Never raises: false when the file cannot be written, with
// the language's SettingsError and the reason in ErrorMessage, so the caller can report it and still exit.
// A failed save leaves the previous settings file readable as it was.
bool SaveSysInfo(String* ErrorMessage = nullptr);

// Entries of a "|"-separated list: "a||b" gives "a", "", "b"; "" gives none; a trailing "|" adds none.
std::vector<String> SplitList(const String& Text);

// Appends the language file names of "Language" to FileNames and their display names (the key named
// after the current LanguageName) to DisplayNames. Either may be nullptr.
void LoadLanguageList(TStrings* DisplayNames, TStrings* FileNames);

// Loads the messages of language Name into Language; a missing file or key gives the built-in text.
void LoadMessages(const String& Name);
