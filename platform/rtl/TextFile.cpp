#include "platform/rtl/TextFile.h"

#include <cerrno>

#include "platform/rtl/Exception.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/RtlConsts.h"

namespace {

Integer IoErrorFromErrno(int e) {
  switch (e) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;
    default: return 101;
  }
}

}  // namespace

TextFile::~TextFile() {
  if (file_ != nullptr) fclose(file_);
}

void AssignFile(TextFile& f, const String& fileName) {
  if (f.file_ != nullptr) CloseFile(f);
  f.name_ = fileName;
  f.assigned_ = true;
}

Integer OpenTextFile(TextFile& f, const char* mode, bool output) {
  if (!f.assigned_) return 102;
  if (f.file_ != nullptr) CloseFile(f);
  errno = 0;
  f.file_ = fopen(f.name_.c_str(), mode);
  if (f.file_ == nullptr) return IoErrorFromErrno(errno);
  setvbuf(f.file_, f.buffer_, _IOFBF, sizeof f.buffer_);
  f.output_ = output;
  return 0;
}

Integer Rewrite(TextFile& f) { return OpenTextFile(f, "wb", true); }

Integer Append(TextFile& f) {
  const Integer r = OpenTextFile(f, "r+b", true);
  if (r != 0) return r;
  if (fseek(f.file_, 0, SEEK_END) != 0) {
    CloseFile(f);
    return 101;
  }
  return 0;
}

Integer Reset(TextFile& f) { return OpenTextFile(f, "rb", false); }

Integer Write(TextFile& f, const String& text) {
  if (f.file_ == nullptr) return 103;
  if (!f.output_) return 105;
  if (!text.empty() && fwrite(text.data(), 1, text.size(), f.file_) != text.size()) return 101;
  return 0;
}

Integer WriteLn(TextFile& f, const String& text) { return Write(f, text + "\n"); }

Integer ReadLn(TextFile& f, String& line) {
  line.clear();
  if (f.file_ == nullptr) return 103;
  if (f.output_) return 104;
  int c = fgetc(f.file_);
  if (c == EOF) return 100;
  while (c != EOF && c != '\n') {
    line += static_cast<char>(c);
    c = fgetc(f.file_);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return ferror(f.file_) ? 100 : 0;
}

Integer CloseFile(TextFile& f) {
  if (f.file_ == nullptr) return 103;
  const bool ok = fflush(f.file_) == 0;
  const bool closed = fclose(f.file_) == 0;
  f.file_ = nullptr;
  return ok && closed ? 0 : 101;
}

void InOutCheck(Integer code) {
  if (code != 0) throw EInOutError(Format(rtlconsts::SInOutError, code), code);
}
