// The trace (the last bytes received and sent) and the dispatch log (time-stamped records of reads, writes,
// notifications and target changes), kept in rings and written to text files on request.
#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/rtl/SysUtils.h"
#include "serial/SioExcept.h"
#include "serial/SioStrMap.h"
#include "serial/SioUser.h"

namespace {

constexpr Cardinal kTraceLimit = 4000000;
constexpr Cardinal kLogHeader = 16;

String Hex2(Byte b) {
  char t[8];
  std::snprintf(t, sizeof t, "[%02X]", b);
  return t;
}

// A byte as the dumps show it: itself when printable, else in brackets.
String ByteItem(Byte b, bool inHex, bool allHex) {
  if (allHex) return Hex2(b);
  const Byte low = inHex ? 0x21 : 0x20;
  if (b >= low && b <= 0x7E) return String(1, static_cast<char>(b));
  if (inHex) return Hex2(b);
  return "[" + std::to_string(b) + "]";
}

void PutLE32(Byte* p, Cardinal v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<Byte>(v >> (8 * i));
}

Cardinal GetLE32(const Byte* p) {
  return static_cast<Cardinal>(p[0]) | (static_cast<Cardinal>(p[1]) << 8) | (static_cast<Cardinal>(p[2]) << 16) |
         (static_cast<Cardinal>(p[3]) << 24);
}

// Opens for appending when asked and the file exists, else creates it.
Integer OpenDumpFile(TextFile& f, const String& name, bool append) {
  AssignTextFile(f, name);
  if (append && FileExistsZ(name.c_str())) return Append(f);
  return Rewrite(f);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Trace

Integer TSioBaseDispatcher::TraceAlloc(Cardinal N) {
  Guard main(mainLock_);
  if (!traceBuf_.empty() || traceMax_ != 0) {
    traceIndex_ = 0;
    traceWrapped_ = false;
  } else {
    if (N > kTraceLimit) return ecBadArgument;
    traceMax_ = N;
    traceIndex_ = 0;
    traceWrapped_ = false;
    traceBuf_.assign(static_cast<size_t>(N) * 2, 0);
  }
  traceOn_ = true;
  return 0;
}

void TSioBaseDispatcher::TraceAdd(char Kind, Byte B) {
  Guard main(mainLock_);
  // A paused trace records nothing, and a trace of no entries has nowhere to record.
  if (!traceOn_ || traceMax_ == 0) return;
  traceBuf_[traceIndex_ * 2] = static_cast<Byte>(Kind);
  traceBuf_[traceIndex_ * 2 + 1] = B;
  if (++traceIndex_ == traceMax_) {
    traceIndex_ = 0;
    traceWrapped_ = true;
  }
}

Integer TSioBaseDispatcher::TraceReset() {
  Guard main(mainLock_);
  traceIndex_ = 0;
  traceWrapped_ = false;
  return 0;
}

void TSioBaseDispatcher::TraceFree() {
  Guard main(mainLock_);
  traceOn_ = false;
  traceBuf_.clear();
  traceBuf_.shrink_to_fit();
  traceMax_ = 0;
  traceIndex_ = 0;
  traceWrapped_ = false;
}

void TSioBaseDispatcher::TraceResume() {
  Guard main(mainLock_);
  if (traceMax_ != 0 || !traceBuf_.empty()) traceOn_ = true;
}

void TSioBaseDispatcher::TracePause() {
  Guard main(mainLock_);
  traceOn_ = false;
}

Integer TSioBaseDispatcher::TraceDump(const String& Name, bool Append, bool InHex, bool AllHex) {
  Guard main(mainLock_);
  traceOn_ = false;
  if (traceMax_ == 0 && traceBuf_.empty()) return 0;
  if (!traceWrapped_ && traceIndex_ == 0) {
    TraceFree();
    return 0;  // nothing recorded: no file
  }
  TextFile f;
  Integer error = OpenDumpFile(f, Name, Append);
  if (error != 0) {
    TraceFree();
    return -error;
  }
  const Cardinal count = traceWrapped_ ? traceMax_ : traceIndex_;
  Cardinal at = traceWrapped_ ? traceIndex_ : 0;
  Integer column = 0;
  char previous = 0;
  auto keep = [&error](Integer e) {
    if (error == 0) error = e;
  };
  for (Cardinal i = 0; i < count; ++i, at = (at + 1) % traceMax_) {
    const char kind = static_cast<char>(traceBuf_[at * 2]);
    const Byte b = traceBuf_[at * 2 + 1];
    if (i == 0 || kind != previous) {
      if (i != 0) {
        keep(WriteLn(f));  // ends the bytes
        keep(WriteLn(f));  // a blank line between sections
      }
      column = 0;
      if (kind == 'R')
        keep(WriteLn(f, "Receive: "));
      else if (kind == 'T')
        keep(WriteLn(f, "Transmit: "));
      else
        keep(WriteLn(f, String("Special-") + kind + ": "));
      previous = kind;
    }
    const String item = ByteItem(b, InHex, AllHex);
    const Integer n = static_cast<Integer>(item.size());
    column += n;
    if (column > 78) {
      keep(WriteLn(f));
      column = n;
    }
    keep(Write(f, item));
  }
  const Integer closed = CloseFile(f);
  keep(closed);
  TraceFree();
  return -error;
}

// ---------------------------------------------------------------------------------------------------------
// Dispatch log

void TSioBaseDispatcher::LogAlloc(Cardinal Size) {
  Guard main(mainLock_);
  if (!logBuf_.empty()) {
    LogReset();
    return;
  }
  logBuf_.assign(Size, 0);
  logCapacity_ = Size;
  logHead_ = logTail_ = 0;
  logRoom_ = Size;
  logOn_ = true;
}

void TSioBaseDispatcher::LogReset() {
  Guard main(mainLock_);
  logHead_ = logTail_ = 0;
  logRoom_ = logCapacity_;
}

void TSioBaseDispatcher::LogFree() {
  Guard main(mainLock_);
  logOn_ = false;
  logBuf_.clear();
  logBuf_.shrink_to_fit();
  logCapacity_ = logRoom_ = logHead_ = logTail_ = 0;
}

void TSioBaseDispatcher::LogResume() {
  Guard main(mainLock_);
  if (!logBuf_.empty()) logOn_ = true;
}

void TSioBaseDispatcher::LogPause() {
  Guard main(mainLock_);
  logOn_ = false;
}

bool TSioBaseDispatcher::LogPut(const void* Src, Cardinal Len) {
  if (Len >= logCapacity_ || Len > logRoom_) return false;
  const Byte* src = static_cast<const Byte*>(Src);
  const Cardinal first = std::min(Len, logCapacity_ - logHead_);
  std::memcpy(logBuf_.data() + logHead_, src, first);
  std::memcpy(logBuf_.data(), src + first, Len - first);
  logHead_ = (logHead_ + Len) % logCapacity_;
  logRoom_ -= Len;
  return true;
}

bool TSioBaseDispatcher::LogTake(Byte* Header, std::vector<Byte>& Payload, Cardinal& Len) {
  Len = 0;
  if (logRoom_ == logCapacity_) return true;  // empty: nothing taken
  auto copyOut = [this](Byte* dst, Cardinal n) {
    const Cardinal first = std::min(n, logCapacity_ - logTail_);
    std::memcpy(dst, logBuf_.data() + logTail_, first);
    std::memcpy(dst + first, logBuf_.data(), n - first);
    logTail_ = (logTail_ + n) % logCapacity_;
    logRoom_ += n;
  };
  copyOut(Header, kLogHeader);
  // A record is stored whole, so its payload is always there; the bound only guards the copy.
  const Cardinal count = std::min(GetLE32(Header + 12), logCapacity_ - logRoom_);
  Payload.resize(count);
  if (count > 0) copyOut(Payload.data(), count);
  Len = count;
  return false;
}

void TSioBaseDispatcher::LogAdd(Byte Kind, Byte Sub, Cardinal Data, const void* Buf, Cardinal Count) {
  Guard main(mainLock_);
  if (!logOn_ || logCapacity_ == 0) return;
  if (Buf == nullptr) Count = 0;
  // Header and payload are one record: room is made for both, and a record the ring cannot hold is not
  // stored at all, so the ring never holds a header without its payload.
  const uint64_t size = uint64_t(kLogHeader) + Count;
  if (size >= logCapacity_) return;
  Byte header[kLogHeader] = {};
  std::vector<Byte> scratch;
  Cardinal dropped;
  while (logRoom_ < size && !LogTake(header, scratch, dropped)) {
  }
  header[0] = Kind;
  header[1] = Sub;
  header[2] = header[3] = 0;
  PutLE32(header + 4, MsClock() - logTimeBase_);
  PutLE32(header + 8, Data);
  PutLE32(header + 12, Count);
  LogPut(header, kLogHeader);
  if (Count > 0) LogPut(Buf, Count);
}

String TSioBaseDispatcher::OsDescription() {
  utsname u{};
  String service;
  int major = 0, minor = 0;
  if (uname(&u) == 0) {
    std::sscanf(u.release, "%d.%d", &major, &minor);
    service = String(u.sysname) + " " + u.release;
  }
  return (String("Unknown") + std::to_string(major) + "." + std::to_string(minor) + " " + service).substr(0, 80);
}

Integer TSioBaseDispatcher::LogDump(const String& Name, bool Append, bool InHex, bool AllHex) {
  Guard main(mainLock_);
  if (logBuf_.empty() || logRoom_ == logCapacity_) {
    LogFree();
    return 0;
  }
  logOn_ = false;
  TextFile f;
  Integer error = OpenDumpFile(f, Name, Append);
  if (error != 0) return -error;  // the ring stays
  auto keep = [&error](Integer e) {
    if (error == 0) error = e;
  };
  keep(WriteLn(f, String("SERL ") + "v4.05"));
  keep(WriteLn(f, String("Compiler : ") + "Unknown"));
  keep(WriteLn(f, "Operating System : " + OsDescription().substr(0, 80)));
  keep(WriteLn(f, "Device: " + DeviceTitle));
  keep(WriteLn(f, "Date/time: " + FormatDateTime("dd/mm/yy, hh:mm:ss", Now())));
  keep(WriteLn(f, MessageText(15501)));
  keep(WriteLn(f, MessageText(15502)));

  Byte header[kLogHeader];
  std::vector<Byte> payload;
  Cardinal len = 0;
  while (!LogTake(header, payload, len)) {
    const Byte kind = header[0];
    const Byte sub = header[1];
    const Cardinal ms = GetLE32(header + 4);
    const Cardinal data = GetLE32(header + 8);
    String time = Format("%07.7d", static_cast<Int64>(ms));
    time.insert(time.size() - 3, ".");
    keep(Write(f, Format("%8s  %-8s  %-12s  %08.8x  ", time, MessageText(15001 + kind), MessageText(15100 + sub),
                         static_cast<UInt64>(data))));
    if (len == 0) {
      if (kind == 10) keep(Write(f, " [" + (data <= 42 ? Trim(MessageText(15700 + static_cast<Integer>(data))) : String()) + "]"));
    } else if (sub == 15 && (kind == 5 || kind == 6)) {
      static const char* const states[] = {"(Not active)",         "(Modem status)",       "(Line status)",
                                           "(Output buffer free)", "(Output buffer used)", "(Output sent)"};
      if (payload[0] <= 5) keep(Write(f, states[payload[0]]));
    } else {
      Integer column = 44;
      for (Cardinal i = 0; i < len; ++i) {
        const String item =
            (AllHex && kind == 19) ? String(1, static_cast<char>(payload[i])) : ByteItem(payload[i], InHex, AllHex);
        const Integer n = static_cast<Integer>(item.size());
        column += n;
        if (column > 78) {
          keep(WriteLn(f));
          keep(Write(f, String(44, ' ')));
          column = 44 + n;
        }
        keep(Write(f, item));
      }
    }
    if (sub == 4) {
      String names;
      for (int bit = 0; bit < 8; ++bit)
        if (data & (1u << bit)) names += MessageText(15601 + bit);
      keep(Write(f, " (" + Trim(names) + ")"));
    }
    keep(WriteLn(f));
  }
  keep(CloseFile(f));
  LogFree();
  return -error;
}
