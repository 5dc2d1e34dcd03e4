// File names, paths and the program's own location. The path delimiter is '/'.
#pragma once

#include <cstddef>

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

// Reads at most maxSize bytes from the start of a regular file (following links) into bytes. 0, or the
// error number: EISDIR for a directory, EINVAL for anything else that is no regular file (a pipe or
// device is refused without waiting for a writer or reading it).
int ReadFileHead(const String& fileName, size_t maxSize, String& bytes);

// Replaces the file (the one a link points to) with size bytes of data: they are written to a
// temporary file ".name.XXXXXX" beside it, flushed to the disk and renamed over it, so the file is
// either the old one or the whole new one. An existing file keeps its permissions. 0, or the error
// number with no temporary file left; *tempCreated (when given) tells whether the temporary file could
// be made at all, i.e. whether the directory takes a new file.
int WriteFileReplacing(const String& fileName, const void* data, size_t size, bool* tempCreated = nullptr);

// Removes the temporary files of fileName that a save ended before renaming them (the program was
// killed); those of a save still running are left alone. WriteFileReplacing does this first.
void RemoveStaleTemporaryFiles(const String& fileName);

// ParamStr(0) is the absolute path of the running executable; ParamStr(n) the n-th command-line
// argument ("" when there is none).
String ParamStr(Integer index);
Integer ParamCount();
// The executable's directory, ending with '/'.
String ProgramDir();
