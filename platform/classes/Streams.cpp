#include "platform/classes/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/ClassErrors.h"
#include "platform/rtl/SysUtils.h"

using namespace classesconsts;

K58_IMPLEMENT_CLASS(TStream) {}
K58_IMPLEMENT_CLASS(THandleStream) {}
K58_IMPLEMENT_CLASS(TFileStream) {}
K58_IMPLEMENT_CLASS(TCustomMemoryStream) {}
K58_IMPLEMENT_CLASS(TMemoryStream) {}
K58_IMPLEMENT_CLASS(TStringStream) {}

namespace {
// Memory streams grow in blocks of this size.
constexpr Int64 MemoryDelta = 0x2000;
// Buffer of CopyFrom.
constexpr Int64 MaxBufSize = 0xF000;

String SystemErrorText(int error) { return String(std::strerror(error)); }
}  // namespace

// ---- TStream ----

Integer TStream::Seek(Integer Offset, TSeekFrom Origin) {
  TSeekOrigin origin = Origin == soFromCurrent ? soCurrent : (Origin == soFromEnd ? soEnd : soBeginning);
  return static_cast<Integer>(Seek(static_cast<Int64>(Offset), origin));
}

Int64 TStream::Position() { return Seek(Int64(0), soCurrent); }

void TStream::SetPosition(Int64 Value) { Seek(Value, soBeginning); }

Int64 TStream::Size() {
  Int64 pos = Seek(Int64(0), soCurrent);
  Int64 result = Seek(Int64(0), soEnd);
  Seek(pos, soBeginning);
  return result;
}

void TStream::SetSize(Int64) {}

void TStream::ReadBuffer(void* Buffer, Integer Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* Buffer, Integer Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError(SWriteError);
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  Int64 result = Count;
  std::vector<Byte> buffer(static_cast<size_t>(std::min(Count, MaxBufSize)));
  while (Count != 0) {
    Integer n = static_cast<Integer>(std::min<Int64>(Count, static_cast<Int64>(buffer.size())));
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    Count -= n;
  }
  return result;
}

// ---- THandleStream ----

Integer THandleStream::Read(void* Buffer, Integer Count) {
  if (Count <= 0) return 0;
  Integer done = 0;
  auto* p = static_cast<char*>(Buffer);
  while (done < Count) {
    ssize_t n = ::read(handle_, p + done, static_cast<size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<Integer>(n);
  }
  return done;
}

Integer THandleStream::Write(const void* Buffer, Integer Count) {
  if (Count <= 0) return 0;
  Integer done = 0;
  const auto* p = static_cast<const char*>(Buffer);
  while (done < Count) {
    ssize_t n = ::write(handle_, p + done, static_cast<size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<Integer>(n);
  }
  return done;
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  int whence = Origin == soCurrent ? SEEK_CUR : (Origin == soEnd ? SEEK_END : SEEK_SET);
  off_t result = ::lseek(handle_, static_cast<off_t>(Offset), whence);
  return result < 0 ? -1 : static_cast<Int64>(result);
}

void THandleStream::SetSize(Int64 NewSize) {
  Seek(NewSize, soBeginning);
  if (::ftruncate(handle_, static_cast<off_t>(NewSize)) != 0) {
    throw EStreamError(SystemErrorText(errno));
  }
}

// ---- TFileStream ----

TFileStream::TFileStream(const String& AFileName, Word Mode) : TFileStream(AFileName, Mode, 0666) {}

TFileStream::TFileStream(const String& AFileName, Word Mode, Cardinal Rights)
    : THandleStream(-1), fileName_(AFileName) {
  if ((Mode & fmCreate) == fmCreate) {
    handle_ = ::open(AFileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, static_cast<mode_t>(Rights));
    if (handle_ < 0) throw EFCreateError(Format(SFCreateErrorEx, AFileName, SystemErrorText(errno)));
    return;
  }
  int access = 0;
  switch (Mode & 0x0003) {
    case fmOpenRead:
      access = O_RDONLY;
      break;
    case fmOpenWrite:
      access = O_WRONLY;
      break;
    case fmOpenReadWrite:
      access = O_RDWR;
      break;
    default:
      throw EFOpenError(Format(SFOpenErrorEx, AFileName, SystemErrorText(EINVAL)));
  }
  handle_ = ::open(AFileName.c_str(), access | O_CLOEXEC);
  if (handle_ < 0) throw EFOpenError(Format(SFOpenErrorEx, AFileName, SystemErrorText(errno)));
  // A directory opens for reading on Linux; as a file stream it is an error.
  struct stat st {};
  if (::fstat(handle_, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(handle_);
    handle_ = -1;
    throw EFOpenError(Format(SFOpenErrorEx, AFileName, SystemErrorText(EISDIR)));
  }
}

TFileStream::~TFileStream() {
  if (handle_ >= 0) ::close(handle_);
}

// ---- Memory streams ----

void TCustomMemoryStream::SetPointer(void* Ptr, Int64 ASize) {
  memory_ = Ptr;
  size_ = ASize;
}

Integer TCustomMemoryStream::Read(void* Buffer, Integer Count) {
  if (position_ < 0 || Count <= 0) return 0;
  Int64 available = size_ - position_;
  if (available <= 0) return 0;
  Integer n = static_cast<Integer>(std::min<Int64>(available, Count));
  std::memcpy(Buffer, static_cast<const Byte*>(memory_) + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning:
      position_ = Offset;
      break;
    case soCurrent:
      position_ += Offset;
      break;
    case soEnd:
      position_ = size_ + Offset;
      break;
  }
  return position_;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) {
  if (size_ != 0) Stream->WriteBuffer(memory_, static_cast<Integer>(size_));
}

void TCustomMemoryStream::SaveToFile(const String& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

TMemoryStream::~TMemoryStream() { Clear(); }

void TMemoryStream::SetCapacity(Int64 NewCapacity) {
  if (NewCapacity > 0 && NewCapacity != size_) NewCapacity = (NewCapacity + (MemoryDelta - 1)) & ~(MemoryDelta - 1);
  if (NewCapacity == capacity_) return;
  if (NewCapacity < 0 || NewCapacity > 0x7FFFFFFF) throw EStreamError(SMemoryStreamError);
  try {
    buffer_.resize(static_cast<size_t>(NewCapacity));
  } catch (const std::bad_alloc&) {
    throw EStreamError(SMemoryStreamError);
  }
  if (NewCapacity == 0) buffer_.shrink_to_fit();
  capacity_ = NewCapacity;
  SetPointer(buffer_.empty() ? nullptr : buffer_.data(), std::min(size_, capacity_));
}

void TMemoryStream::SetSize(Int64 NewSize) {
  Int64 oldPosition = position_;
  Int64 oldSize = size_;
  SetCapacity(NewSize);
  // Bytes that come into the stream by growing it are zero.
  if (NewSize > oldSize) std::fill(buffer_.begin() + oldSize, buffer_.begin() + NewSize, Byte(0));
  size_ = NewSize;
  if (oldPosition > NewSize) Seek(Int64(0), soEnd);
}

Integer TMemoryStream::Write(const void* Buffer, Integer Count) {
  if (position_ < 0 || Count < 0) return 0;
  Int64 end = position_ + Count;
  if (end <= 0) return 0;
  if (end > size_) {
    if (end > capacity_) SetCapacity(end);
    // A gap left by seeking past the end reads as zeros.
    std::fill(buffer_.begin() + size_, buffer_.begin() + end, Byte(0));
    size_ = end;
  }
  std::memcpy(buffer_.data() + position_, Buffer, static_cast<size_t>(Count));
  position_ = end;
  return Count;
}

void TMemoryStream::Clear() {
  SetCapacity(0);
  size_ = 0;
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  Int64 count = Stream->Size();
  SetSize(count);
  if (count != 0) Stream->ReadBuffer(memory_, static_cast<Integer>(count));
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

// ---- TStringStream ----

Integer TStringStream::Read(void* Buffer, Integer Count) {
  if (position_ < 0 || Count <= 0) return 0;
  Int64 available = static_cast<Int64>(data_.size()) - position_;
  if (available <= 0) return 0;
  Integer n = static_cast<Integer>(std::min<Int64>(available, Count));
  std::memcpy(Buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

Integer TStringStream::Write(const void* Buffer, Integer Count) {
  if (position_ < 0 || Count <= 0) return 0;
  size_t end = static_cast<size_t>(position_) + static_cast<size_t>(Count);
  if (end > data_.size()) data_.resize(end, '\0');
  std::memcpy(data_.data() + position_, Buffer, static_cast<size_t>(Count));
  position_ = static_cast<Int64>(end);
  return Count;
}

Int64 TStringStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning:
      position_ = Offset;
      break;
    case soCurrent:
      position_ += Offset;
      break;
    case soEnd:
      position_ = static_cast<Int64>(data_.size()) + Offset;
      break;
  }
  position_ = std::clamp<Int64>(position_, 0, static_cast<Int64>(data_.size()));
  return position_;
}

void TStringStream::SetSize(Int64 NewSize) {
  data_.resize(static_cast<size_t>(std::max<Int64>(NewSize, 0)));
  if (position_ > NewSize) position_ = static_cast<Int64>(data_.size());
}

String TStringStream::ReadString(Integer Count) {
  if (position_ < 0 || Count <= 0) return String();
  Int64 available = static_cast<Int64>(data_.size()) - position_;
  Integer n = static_cast<Integer>(std::clamp<Int64>(available, 0, Count));
  String result = data_.substr(static_cast<size_t>(position_), static_cast<size_t>(n));
  position_ += n;
  return result;
}

void TStringStream::WriteString(const String& AString) {
  Write(AString.data(), static_cast<Integer>(AString.size()));
}
