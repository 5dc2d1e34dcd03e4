// File names, paths and the program's own location. The path delimiter is '/'.
#pragma once

#include "platform/rtl/Types.h"

inline constexpr char PathDelim = '/';
inline constexpr char DriveDelim = '\0';
inline constexpr char PathSep = ':';

// Directory part including the trailing delimiter: "/a/b/c.dat" -> "/a/b/".
String ExtractFilePath(const String& fileName);
// Directory part without the trailing delimiter (except the root "/").
String ExtractFileDir(const String& fileName);
String ExtractFileName(const String& fileName);
// Extension with its dot (".dat"); "" when the name part has none.
String ExtractFileExt(const String& fileName);
// Replaces (or adds) the extension; extension includes the dot, "" removes it.
String ChangeFileExt(const String& fileName, const String& extension);
String IncludeTrailingPathDelimiter(const String& s);
String ExcludeTrailingPathDelimiter(const String& s);
// Joins a directory and a name with exactly one delimiter between them.
String PathCombine(const String& dir, const String& name);

// True for an existing regular file (following links) / an existing directory.
bool FileExists(const String& fileName);
bool DirectoryExists(const String& dirName);
// Creates the directory and any missing parents; true when it exists afterwards.
bool ForceDirectories(const String& dirName);

// ParamStr(0) is the absolute path of the running executable; ParamStr(n) the n-th command-line
// argument ("" when there is none).
String ParamStr(Integer index);
Integer ParamCount();
// The executable's directory, ending with '/'.
String ProgramDir();
