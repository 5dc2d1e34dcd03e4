// Text files written line by line, with the run-time library's I/O result numbers instead of
// exceptions: every call returns 0 on success, else the error number (as IOResult would give it).
//   2 file not found, 3 path not found, 4 too many open files, 5 access denied,
//   100 read past end, 101 disk write error, 102 file not assigned, 103 file not open,
//   104 file not open for input, 105 file not open for output
#pragma once

#include <cstdio>

#include "platform/rtl/Types.h"

class TextFile {
public:
  TextFile() = default;
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  const String& FileName() const { return name_; }
  bool IsOpen() const { return file_ != nullptr; }

private:
  friend void AssignFile(TextFile& f, const String& fileName);
  friend Integer OpenTextFile(TextFile& f, const char* mode, bool output);
  friend Integer Append(TextFile& f);
  friend Integer Write(TextFile& f, const String& text);
  friend Integer ReadLn(TextFile& f, String& line);
  friend Integer CloseFile(TextFile& f);

  String name_;
  bool assigned_ = false;
  bool output_ = false;
  FILE* file_ = nullptr;
  char buffer_[512];
};

// Binds the file variable to a name (closing it first if open).
void AssignFile(TextFile& f, const String& fileName);
// Creates or truncates the file for output.
Integer Rewrite(TextFile& f);
// Opens for output at the end; the file must exist (2 otherwise).
Integer Append(TextFile& f);
// Opens for input.
Integer Reset(TextFile& f);
Integer Write(TextFile& f, const String& text);
Integer WriteLn(TextFile& f, const String& text = String());
// Reads one line without its end-of-line ("\n" or "\r\n"); 100 at the end of the file.
Integer ReadLn(TextFile& f, String& line);
// Flushes and closes; 103 when the file was not open.
Integer CloseFile(TextFile& f);
// Raises EInOutError with the class library's "I/O error %d" when code is not 0.
void InOutCheck(Integer code);
