// Streams: the abstract stream, streams over file descriptors and files, memory and string streams, and
// read-only streams over resources embedded in the program.
#pragma once

#include <vector>

#include "platform/classes/Object.h"
#include "platform/rtl/WinTypes.h"

class TComponent;

enum TSeekOrigin { soBeginning, soCurrent, soEnd };
// The origins of the 32-bit Seek.
enum TSeekFrom : Word { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// File open modes: one access mode, optionally or-ed with a share mode. fmCreate creates the file, or
// empties an existing one, and opens it for reading and writing.
inline constexpr Word fmCreate = 0xFF00;
inline constexpr Word fmOpenRead = 0x0000;
inline constexpr Word fmOpenWrite = 0x0001;
inline constexpr Word fmOpenReadWrite = 0x0002;
// Share modes are accepted and have no effect: Linux has no mandatory file sharing rules.
inline constexpr Word fmShareCompat = 0x0000;
inline constexpr Word fmShareExclusive = 0x0010;
inline constexpr Word fmShareDenyWrite = 0x0020;
inline constexpr Word fmShareDenyRead = 0x0030;
inline constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
  K58_CLASS(TStream, TObject)

  // Reads up to Count bytes; answers how many were read (0 at the end).
  virtual Integer Read(void* Buffer, Integer Count) = 0;
  // Writes up to Count bytes; answers how many were written.
  virtual Integer Write(const void* Buffer, Integer Count) = 0;
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;
  Integer Seek(Integer Offset, TSeekFrom Origin);

  Int64 Position();
  void SetPosition(Int64 Value);
  virtual Int64 Size();
  virtual void SetSize(Int64 NewSize);

  // Exactly Count bytes or EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* Buffer, Integer Count);
  void WriteBuffer(const void* Buffer, Integer Count);
  // Copies Count bytes from Source's position; Count 0 copies the whole of Source from its start.
  Int64 CopyFrom(TStream* Source, Int64 Count);

  // Reads a component from form text at the position (the rest of the stream); with Instance nil the
  // component is created from the class the text names. Writes a component as form text.
  TComponent* ReadComponent(TComponent* Instance);
  void WriteComponent(TComponent* Instance);
};

// A stream over an open file descriptor, which it does not close.
class THandleStream : public TStream {
  K58_CLASS(THandleStream, TStream)

  explicit THandleStream(int AHandle) : handle_(AHandle) {}
  int Handle() const { return handle_; }

  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  // Sets the size and moves the position to the new end, as the class library does.
  void SetSize(Int64 NewSize) override;

 protected:
  int handle_ = -1;
};

// A file opened (or created) by name. Failures raise EFCreateError 'Cannot create file "name". reason' or
// EFOpenError 'Cannot open file "name". reason'.
class TFileStream : public THandleStream {
  K58_CLASS(TFileStream, THandleStream)

  TFileStream(const String& AFileName, Word Mode);
  // Rights: permission bits for a created file (before the umask).
  TFileStream(const String& AFileName, Word Mode, Cardinal Rights);
  ~TFileStream() override;

  const String& FileName() const { return fileName_; }

 private:
  String fileName_;
};

// A stream over a block of memory.
class TCustomMemoryStream : public TStream {
  K58_CLASS(TCustomMemoryStream, TStream)

  Integer Read(void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() override { return size_; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const String& FileName);
  void* Memory() const { return memory_; }

 protected:
  TCustomMemoryStream() = default;
  void SetPointer(void* Ptr, Int64 ASize);

  void* memory_ = nullptr;
  Int64 size_ = 0;
  Int64 position_ = 0;
};

// A growable stream in memory.
class TMemoryStream : public TCustomMemoryStream {
  K58_CLASS(TMemoryStream, TCustomMemoryStream)

  TMemoryStream() = default;
  ~TMemoryStream() override;

  Integer Write(const void* Buffer, Integer Count) override;
  void SetSize(Int64 NewSize) override;
  void Clear();
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const String& FileName);
  Int64 Capacity() const { return capacity_; }
  void SetCapacity(Int64 NewCapacity);

 private:
  std::vector<Byte> buffer_;
  Int64 capacity_ = 0;
};

// A stream over a String; writing past the end extends it, writing inside it overwrites.
class TStringStream : public TStream {
  K58_CLASS(TStringStream, TStream)

  explicit TStringStream(const String& AString = String()) : data_(AString) {}

  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  using TStream::Seek;
  Int64 Size() override { return static_cast<Int64>(data_.size()); }
  void SetSize(Int64 NewSize) override;
  // Up to Count bytes from the position.
  String ReadString(Integer Count);
  void WriteString(const String& AString);
  const String& DataString() const { return data_; }

 private:
  String data_;
  Int64 position_ = 0;
};

// ---- Resources embedded in the program ----

// The program's module. Every library's resources are embedded in the one executable, so any instance
// handle finds them all.
extern HINSTANCE HInstance;

// Resource types as the resource tables name them: a number written "#n" or an upper-case name.
inline constexpr const char* ResTypeCursor = "#1";
inline constexpr const char* ResTypeBitmap = "#2";
inline constexpr const char* ResTypeIcon = "#3";
inline constexpr const char* ResTypeRCData = "#10";
inline constexpr const char* ResTypeGroupCursor = "#12";
inline constexpr const char* ResTypeGroupIcon = "#14";

// The canonical form of a resource type or name: "#n" for numbers (also for "RCDATA", "BITMAP", "CURSOR",
// "ICON", "GROUP_CURSOR", "GROUP_ICON"), otherwise upper case.
String ResourceKey(const String& nameOrType);
String ResourceKey(Integer id);

struct TResourceData {
  const Byte* Data = nullptr;
  size_t Size = 0;
};

// Registers an embedded resource; the bytes must live for the whole run. A second registration of the same
// type and name keeps the first one.
void RegisterResource(const char* Type, const char* Name, const Byte* Data, size_t Size);
// The resource, or nullptr. Type and name compare in canonical form (names ignoring case).
const TResourceData* FindResourceData(HINSTANCE Instance, const String& Name, const String& Type);

// A read-only stream over an embedded resource. A missing resource raises EResNotFound
// "Resource NAME not found"; writing raises EStreamError.
class TResourceStream : public TCustomMemoryStream {
  K58_CLASS(TResourceStream, TCustomMemoryStream)

  TResourceStream(HINSTANCE Instance, const String& ResName, const String& ResType);
  static TResourceStream* CreateFromID(HINSTANCE Instance, Integer ResID, const String& ResType);

  Integer Write(const void* Buffer, Integer Count) override;
};
