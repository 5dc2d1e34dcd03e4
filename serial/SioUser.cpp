// Dispatcher core: the table of dispatchers, opening and closing the line, the rings, line parameters,
// flow control, modem and error state, triggers and targets.
#include "serial/SioUser.h"

#include <algorithm>
#include <cstring>

#include "platform/classes/ClassBuilder.h"
#include "platform/win/core/WinBase.h"
#include "serial/SioExcept.h"

K58_IMPLEMENT_CLASS(TSioBaseDispatcher) {}

// ---------------------------------------------------------------------------------------------------------
// Dispatcher table

TDispatcherTable& TDispatcherTable::Instance() {
  static TDispatcherTable table;
  return table;
}

Integer TDispatcherTable::Insert(TSioBaseDispatcher* D) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  for (size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i] == nullptr) {
      slots_[i] = D;
      return static_cast<Integer>(i);
    }
  slots_.push_back(D);
  return static_cast<Integer>(slots_.size() - 1);
}

void TDispatcherTable::Remove(Integer Index) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (Index < 0 || static_cast<size_t>(Index) >= slots_.size()) return;
  slots_[Index] = nullptr;
  while (!slots_.empty() && slots_.back() == nullptr) slots_.pop_back();
}

TSioBaseDispatcher* TDispatcherTable::At(Integer Index) {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  if (Index < 0 || static_cast<size_t>(Index) >= slots_.size()) return nullptr;
  return slots_[Index];
}

Integer TDispatcherTable::Count() {
  std::lock_guard<std::recursive_mutex> guard(lock_);
  return static_cast<Integer>(slots_.size());
}

void FreeSnapshot(TTriggerSnapshot& Snapshot) {
  Snapshot.TimerTrigs.clear();
  Snapshot.DataTrigs.clear();
  Snapshot.StatusTrigs.clear();
}

// ---------------------------------------------------------------------------------------------------------
// Life cycle

TSioBaseDispatcher::TSioBaseDispatcher(TSioCustomComPort* Owner) : ownerPort_(Owner) {
  tableIndex_ = TDispatcherTable::Instance().Insert(this);
}

TSioBaseDispatcher::~TSioBaseDispatcher() {
  // Derived destructors have closed the line (the device slots are gone by now); this only makes sure that
  // no thread is left and the table forgets this dispatcher.
  WaitThreadsEnded(true);
  commThread_.reset();
  dispThread_.reset();
  outThread_.reset();
  CloseEvents();
  TDispatcherTable::Instance().Remove(tableIndex_);
}

void TSioBaseDispatcher::CloseEvents() {
  for (HANDLE* e : {&commSignal_, &dispatchDone_, &threadAck_, &outputReady_, &writeComplete_, &flushRequest_}) {
    if (*e != INVALID_HANDLE_VALUE && CloseHandle(*e)) *e = INVALID_HANDLE_VALUE;
  }
}

Integer TSioBaseDispatcher::OpenLine(const char* Name, Integer Baud, Integer Parity, Integer DataBits,
                                     Integer StopBits, Cardinal InSize, Cardinal OutSize, Cardinal Options) {
  // 1. Events.
  ringEdge_ = false;
  inRing_.clear();
  outRing_.clear();
  inNotify_ = false;
  targetsDirty_ = false;
  CloseEvents();
  commSignal_ = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  dispatchDone_ = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  threadAck_ = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  outputReady_ = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  writeComplete_ = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  flushRequest_ = CreateEvent(nullptr, FALSE, FALSE, nullptr);
  outWait_[0] = outputReady_;
  outWait_[1] = flushRequest_;
  writeWait_[0] = writeComplete_;
  writeWait_[1] = flushRequest_;

  // 2. Device.
  const intptr_t d = OpenDevice(Name, InSize, OutSize);
  if (d < 0) {
    const Integer result = d == -8 ? -8 : -static_cast<Integer>(GetLastError());
    CloseLine();
    return result;
  }
  // 3. Queues.
  if (!SetupDeviceQueues(InSize, OutSize)) {
    const Integer result = -static_cast<Integer>(GetLastError());
    CloseLine();
    return result;
  }
  // 4. Rings.
  {
    Guard in(inLock_);
    Guard out(outLock_);
    Guard main(mainLock_);
    inRing_.assign(kInRingSize, 0);
    outRing_.assign(OutSize, 0);
    inInsert_ = inRemove_ = 0;
    outInsert_ = outRemove_ = 0;
    inFull_ = outFull_ = false;
    deviceInSize_ = InSize;
    outRingSize_ = OutSize;
    errorFlags_ = 0;
    sentFlag_ = false;
    closeDuringNotify_ = false;
    peekCount_ = 0;
    rs485On_ = false;
    uartBase_ = 0;
  }
  // 5. Modem lines.
  ReadLineBlock(lineBlock_);
  if (Options & kOptionDtrFlow) {
    dtrFlow_ = true;
  } else {
    dtrFlow_ = false;
    SetDtrLine((Options & kOptionDtrOn) != 0);
  }
  if (Options & kOptionRtsFlow) {
    rtsFlow_ = true;
  } else {
    rtsFlow_ = false;
    SetRtsLine((Options & kOptionRtsOn) != 0);
  }
  // 6. Scan and trigger state.
  scanPos_ = 0;
  ClearTrigs();
  {
    Guard in(inLock_);
    inInsert_ = inRemove_ = 0;
    inWritten_ = lastAvailWritten_ = 0;
    peekMode_ = false;
  }
  ResetStatusHits();
  modemBits_ = 0;
  ReadModemBits(0xF0);
  // 7. Line parameters.
  appliedBaud_ = 115200;
  const Integer r = SetLineParams(Baud, Parity, DataBits, StopBits);
  if (r != 0) {
    CloseLine();
    return r;
  }
  // 8. Errors, trace and log.
  RefreshErrors();
  TraceFree();
  LogFree();
  logTimeBase_ = MsClock();
  // 9. Threads.
  StartThreads();
  return 0;
}

void TSioBaseDispatcher::CloseLine() {
  if (device_ != INVALID_HANDLE_VALUE) {
    PurgeOutput();
    PurgeInput();
    CloseDevice();
  }
  // Decided under MainLock, which also guards the start and end of a notification: either the dispatch thread
  // sees the flag when it ends, or it was not delivering and the release happens here.
  bool deferred;
  {
    Guard main(mainLock_);
    deferred = inNotify_;
    if (deferred) closeDuringNotify_ = true;  // the dispatch thread releases when its pass ends
  }
  if (!deferred) ReleasePort();
}

void TSioBaseDispatcher::ReleasePort() {
  releaseAtExit_ = false;
  if (threadsRunning_) StopThreads();
  else CloseEvents();  // an open that failed before the threads started
  Guard in(inLock_);
  Guard out(outLock_);
  outRing_.clear();
  outRing_.shrink_to_fit();
  inRing_.clear();
  inRing_.shrink_to_fit();
}

// ---------------------------------------------------------------------------------------------------------
// Input ring

Cardinal TSioBaseDispatcher::UnreadCount() const {
  if (inInsert_ > inRemove_) return inInsert_ - inRemove_;
  if (inInsert_ < inRemove_) return inInsert_ + kInRingSize - inRemove_;
  return inFull_ ? kInRingSize : 0;
}

bool TSioBaseDispatcher::FillInputRing() {
  Guard in(inLock_);
  if (inRing_.empty()) return false;
  if (inFull_) return true;
  RefreshErrors();
  Cardinal waiting;
  {
    Guard main(mainLock_);
    waiting = deviceStat_.cbInQue;
  }
  if (waiting == 0) return false;
  Cardinal free, first;
  if (inInsert_ == inRemove_) {  // empty (not full)
    free = kInRingSize;
    first = kInRingSize - inInsert_;
  } else if (inRemove_ > inInsert_) {
    free = first = inRemove_ - inInsert_;
  } else {
    free = inRemove_ + kInRingSize - inInsert_;
    first = kInRingSize - inInsert_;
  }
  const Cardinal want = std::min(free, waiting);
  const Cardinal second = want > first ? want - first : 0;
  first = std::min(first, want);
  Integer n = 0;
  if (first > 0) {
    n = ReadDevice(inRing_.data() + inInsert_, first);
    if (n < 0) n = 0;
    LogAdd(1, 1, static_cast<Cardinal>(n), inRing_.data() + inInsert_, static_cast<Cardinal>(n));
    inInsert_ += static_cast<Cardinal>(n);
    inWritten_ += static_cast<Cardinal>(n);
  }
  if (inInsert_ == kInRingSize) inInsert_ = 0;
  if (n > 0) inFull_ = inInsert_ == inRemove_;
  if (second > 0 && static_cast<Cardinal>(n) == first) {
    Integer m = ReadDevice(inRing_.data() + inInsert_, second);
    if (m < 0) m = 0;
    LogAdd(1, 1, static_cast<Cardinal>(m), inRing_.data() + inInsert_, static_cast<Cardinal>(m));
    inInsert_ += static_cast<Cardinal>(m);
    inWritten_ += static_cast<Cardinal>(m);
    if (inInsert_ == kInRingSize) inInsert_ = 0;
    if (m > 0) inFull_ = inInsert_ == inRemove_;
  }
  return true;
}

Cardinal TSioBaseDispatcher::InputCount() {
  Guard in(inLock_);
  const Cardinal n = UnreadCount();
  if (peekMode_) return n > peekCount_ ? n - peekCount_ : 0;
  return n;
}

bool TSioBaseDispatcher::HasInput() {
  Guard in(inLock_);
  if (peekMode_) {
    const Cardinal p = (inRemove_ + peekCount_) % kInRingSize;
    return p != inInsert_ || (inFull_ && peekCount_ < kInRingSize);
  }
  return inInsert_ != inRemove_ || inFull_;
}

Integer TSioBaseDispatcher::PeekAt(Cardinal N, char& C) {
  Guard in(inLock_);
  if (N == 0 || N > UnreadCount() || inRing_.empty()) return ecBufferIsEmpty;
  C = static_cast<char>(inRing_[(inRemove_ + N - 1) % kInRingSize]);
  return 0;
}

Integer TSioBaseDispatcher::ReadByte(char& C) {
  Guard in(inLock_);
  Integer r;
  if (peekMode_) {
    ++peekCount_;
    r = PeekAt(peekCount_, C);
    if (r != 0) --peekCount_;
  } else {
    r = PeekAt(1, C);
    if (r == 0) {
      if (++inRemove_ == kInRingSize) inRemove_ = 0;
      inFull_ = false;
    }
  }
  if (r == 0) TraceAdd('R', static_cast<Byte>(C));
  return r;
}

Integer TSioBaseDispatcher::PurgeInput() {
  Guard in(inLock_);
  const Integer r = device_ != INVALID_HANDLE_VALUE ? PurgeDevice(true) : 0;
  if (peekMode_) {
    // The whole content counts as read when the notification ends.
    peekMax_ = UnreadCount();
  } else {
    inRemove_ = inInsert_;
    peekCount_ = 0;
  }
  inFull_ = false;
  ResetDataMatches();
  return r;
}

// ---------------------------------------------------------------------------------------------------------
// Output ring

Cardinal TSioBaseDispatcher::OutCountLocked() const {
  if (outFull_) return outRingSize_;
  if (outRemove_ < outInsert_) return outInsert_ - outRemove_;
  if (outInsert_ < outRemove_) return outInsert_ + outRingSize_ - outRemove_;
  return 0;
}

void TSioBaseDispatcher::AdvanceOutput(Cardinal N) {
  outRemove_ += N;
  if (outRemove_ >= outRingSize_) outRemove_ -= outRingSize_;
  if (outRemove_ == outInsert_) outRemove_ = outInsert_ = 0;
  outFull_ = false;
}

Integer TSioBaseDispatcher::QueueOutput(const void* Data, Cardinal Len) {
  if (Len == 0) return 0;
  Integer result = 0;
  // Line-error bits are kept until taken, as everywhere else; they are merged under MainLock.
  Cardinal lineErrors = 0;
  {
    Guard out(outLock_);
    COMSTAT stat;
    lineErrors |= static_cast<Cardinal>(ReadDeviceStatus(stat)) & 0x1F;
    const Cardinal room = outRingSize_ - OutCountLocked();
    if (Len > room) {
      Guard main(mainLock_);
      errorFlags_ |= lineErrors;
      return ecOutputBufferTooSmall;
    }
    if (Len == room) outFull_ = true;
    const Integer n = PutToRing(Data, Len);
    if (n <= 0) {
      result = ecPutBlockFail;
      lineErrors |= static_cast<Cardinal>(ReadDeviceStatus(stat)) & 0x1F;
    }
    sentFlag_ = true;
  }
  Guard main(mainLock_);
  errorFlags_ |= lineErrors;
  LogAdd(1, 2, Len, Data, Len);
  const Byte* b = static_cast<const Byte*>(Data);
  for (Cardinal i = 0; i < Len; ++i) TraceAdd('T', b[i]);
  return result;
}

Cardinal TSioBaseDispatcher::OutputCount() {
  Guard out(outLock_);
  RefreshErrors();
  Guard main(mainLock_);
  return deviceStat_.cbOutQue;
}

Cardinal TSioBaseDispatcher::OutputRoom() { return outRingSize_ - OutputCount(); }

Integer TSioBaseDispatcher::PurgeOutput() { return PurgeDevice(false); }

// ---------------------------------------------------------------------------------------------------------
// Line parameters

Integer TSioBaseDispatcher::MapBaudCode(Integer B) {
  if (B == 0xFEFF) return 115200;
  static const Integer table[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 0,      0, 38400,
                                  0,   0,   0,   56000, 0,   0,    0,    128000, 0,    0,     0, 256000};
  if (B >= 0xFF10 && B <= 0xFF27) {
    const Integer v = table[B - 0xFF10];
    return v == 0 ? B : v;
  }
  return B;
}

Integer TSioBaseDispatcher::SetLineParams(Integer Baud, Integer Parity, Integer DataBits, Integer StopBits) {
  DCB want;
  {
    Guard main(mainLock_);
    ReadLineBlock(lineBlock_);
    want = lineBlock_;
    if (StopBits != 3) {
      if (StopBits == 0) StopBits = 1;
      if (StopBits > 2) StopBits = 2;
    }
    if (Baud != 0) want.BaudRate = static_cast<DWORD>(Baud);
    if (Parity != 5) want.Parity = static_cast<BYTE>(Parity);
    if (DataBits != 9) want.ByteSize = static_cast<BYTE>(DataBits);
    if (DataBits == 5)
      want.StopBits = ONE5STOPBITS;
    else if (StopBits != 3)
      want.StopBits = StopBits == 1 ? ONESTOPBIT : TWOSTOPBITS;
    if (want.BaudRate == lineBlock_.BaudRate && want.Parity == lineBlock_.Parity &&
        want.ByteSize == lineBlock_.ByteSize && want.StopBits == lineBlock_.StopBits) {
      // Nothing to write; the drain pause still needs the rate the line runs at.
      appliedBaud_ = lineBlock_.BaudRate;
      return 0;
    }
  }
  DrainOutput();
  Guard main(mainLock_);
  ReadLineBlock(lineBlock_);
  lineBlock_.BaudRate = want.BaudRate;
  lineBlock_.Parity = want.Parity;
  lineBlock_.ByteSize = want.ByteSize;
  lineBlock_.StopBits = want.StopBits;
  return ApplyLineBlock(lineBlock_);
}

void TSioBaseDispatcher::DrainOutput() {
  for (int i = 0; i < 5000 && OutputCount() > 0; ++i) Sleep(2);
  DCB block;
  {
    Guard main(mainLock_);
    ReadLineBlock(lineBlock_);
    block = lineBlock_;
  }
  const Integer rate = MapBaudCode(static_cast<Integer>(appliedBaud_));
  if (rate <= 0) return;  // no rate to wait for
  Cardinal bits = block.ByteSize + 2;
  if (block.Parity != NOPARITY) ++bits;
  if (block.StopBits != ONESTOPBIT) ++bits;
  // Eighteen character times, in units of 0.1 microsecond.
  uint64_t t = static_cast<uint64_t>(10000000 / rate) * bits * 18;
  if (t < 10000) t *= 2;
  Sleep(static_cast<DWORD>((t + 9999) / 10000));
}

Integer TSioBaseDispatcher::ApplyLineBlock(DCB& Block) {
  if (!dtrFlow_) Block.fDtrControl = dtrOn_ ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
  if (!rtsFlow_) Block.fRtsControl = rtsOn_ ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
  const Integer r = WriteLineBlock(Block);
  appliedBaud_ = Block.BaudRate;
  SetDtrLine(dtrOn_);
  if (!rs485On_) SetRtsLine(rtsOn_);
  return r;
}

void TSioBaseDispatcher::GetLineParams(Integer& Baud, Integer& Parity, Integer& DataBits, Integer& StopBits) {
  Guard main(mainLock_);
  ReadLineBlock(lineBlock_);
  Baud = MapBaudCode(static_cast<Integer>(lineBlock_.BaudRate));
  Parity = lineBlock_.Parity;
  DataBits = lineBlock_.ByteSize;
  StopBits = lineBlock_.StopBits == ONESTOPBIT ? 1 : 2;
}

Integer TSioBaseDispatcher::SetDtrLine(bool On) {
  if (dtrFlow_) return 1;
  const Integer r = EscapeFunction(On ? SETDTR : CLRDTR);
  dtrOn_ = On;
  return r < 0 ? ecBadArgument : 0;
}

Integer TSioBaseDispatcher::SetRtsLine(bool On) {
  if (rtsFlow_) return 1;
  const Integer r = EscapeFunction(On ? SETRTS : CLRRTS);
  rtsOn_ = On;
  return r < 0 ? ecBadArgument : 0;
}

Integer TSioBaseDispatcher::SetHardwareFlow(Cardinal Full, Cardinal Resume, Cardinal Options) {
  if (Full < Resume || Full > deviceInSize_) return ecBadArgument;
  Guard main(mainLock_);
  ReadLineBlock(lineBlock_);
  lineBlock_.fOutxCtsFlow = 0;
  lineBlock_.fOutxDsrFlow = 0;
  lineBlock_.fDtrControl = DTR_CONTROL_DISABLE;
  lineBlock_.fRtsControl = RTS_CONTROL_DISABLE;
  dtrFlow_ = rtsFlow_ = false;
  if (Options & 1) {
    lineBlock_.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dtrFlow_ = true;
  } else if (dtrOn_) {
    lineBlock_.fDtrControl = DTR_CONTROL_ENABLE;
  }
  if (Options & 2) {
    lineBlock_.fRtsControl = RTS_CONTROL_HANDSHAKE;
    rtsFlow_ = true;
  } else if (rtsOn_) {
    lineBlock_.fRtsControl = RTS_CONTROL_ENABLE;
  }
  if (rs485On_) {
    lineBlock_.fRtsControl = RTS_CONTROL_TOGGLE;
    rtsFlow_ = true;
  }
  lineBlock_.XoffLim = static_cast<WORD>(deviceInSize_ - Full);
  lineBlock_.XonLim = static_cast<WORD>(Resume);
  if (Options & 4) lineBlock_.fOutxDsrFlow = 1;
  if (Options & 8) lineBlock_.fOutxCtsFlow = 1;
  return ApplyLineBlock(lineBlock_);
}

Integer TSioBaseDispatcher::SetSoftwareFlow(Cardinal Full, Cardinal Resume, Cardinal Options) {
  if (Full < Resume || Full > deviceInSize_) return ecBadArgument;
  Guard main(mainLock_);
  ReadLineBlock(lineBlock_);
  if (Options & 2) {
    lineBlock_.fInX = 1;
    lineBlock_.XoffLim = static_cast<WORD>(deviceInSize_ - Full);
    lineBlock_.XonLim = static_cast<WORD>(Resume);
    lineBlock_.XonChar = 17;
    lineBlock_.XoffChar = 19;
  }
  if (Options & 1) {
    lineBlock_.fOutX = 1;
    lineBlock_.XonChar = 17;
    lineBlock_.XoffChar = 19;
  }
  return ApplyLineBlock(lineBlock_);
}

Integer TSioBaseDispatcher::ClearSoftwareFlow() {
  Guard main(mainLock_);
  ReadLineBlock(lineBlock_);
  lineBlock_.fOutX = 0;
  lineBlock_.fInX = 0;
  return ApplyLineBlock(lineBlock_);
}

Integer TSioBaseDispatcher::SetFlowChars(char XOn, char XOff) {
  Guard main(mainLock_);
  ReadLineBlock(lineBlock_);
  lineBlock_.XonChar = XOn;
  lineBlock_.XoffChar = XOff;
  return ApplyLineBlock(lineBlock_);
}

Integer TSioBaseDispatcher::GetFlowState(Cardinal& HWOptions, Cardinal& SWOptions, char& XOn, char& XOff) {
  Guard main(mainLock_);
  const Integer r = ReadLineBlock(lineBlock_);
  HWOptions = 0;
  if (lineBlock_.fDtrControl == DTR_CONTROL_HANDSHAKE) HWOptions |= 1;
  if (lineBlock_.fRtsControl == RTS_CONTROL_HANDSHAKE) HWOptions |= 2;
  if (lineBlock_.fOutxDsrFlow) HWOptions |= 4;
  if (lineBlock_.fOutxCtsFlow) HWOptions |= 8;
  SWOptions = 0;
  if (lineBlock_.fInX) SWOptions |= 2;
  if (lineBlock_.fOutX) SWOptions |= 1;
  XOn = lineBlock_.XonChar;
  XOff = lineBlock_.XoffChar;
  return r;
}

void TSioBaseDispatcher::SetRs485(bool On) {
  Guard main(mainLock_);
  rs485On_ = On;
  // This platform is of the NT family: no UART base address is needed.
  if (outThread_) outThread_->SetRelativePriority(priorityBoost_ + (On ? 1 : 0));
}

void TSioBaseDispatcher::SetOptionBit(Cardinal Bits) {
  Guard main(mainLock_);
  optionBits_ |= Bits;
}

void TSioBaseDispatcher::ClearOptionBit(Cardinal Bits) {
  Guard main(mainLock_);
  optionBits_ &= ~Bits;
}

// ---------------------------------------------------------------------------------------------------------
// Modem status and line errors

void TSioBaseDispatcher::RefreshErrors() {
  COMSTAT stat{};
  const Integer e = ReadDeviceStatus(stat);
  Guard main(mainLock_);
  deviceStat_ = stat;
  errorFlags_ |= static_cast<Cardinal>(e) & 0x1F;
}

Cardinal TSioBaseDispatcher::ReadModemBits(Cardinal Mask) {
  Guard main(mainLock_);
  DWORD status = 0;
  if (device_ != INVALID_HANDLE_VALUE) GetCommModemStatus(device_, &status);
  modemBits_ = (status & 0xF0) | (modemBits_ & 0x0F);
  if (ringEdge_.exchange(false)) modemBits_ |= 4;
  const Cardinal result = modemBits_;
  modemBits_ &= Mask;
  return result;
}

void TSioBaseDispatcher::RefreshModem() {
  Guard main(mainLock_);
  const Cardinal old = modemBits_;
  ReadModemBits(0xFF);
  modemBits_ |= ((modemBits_ ^ old) & 0xF0) >> 4;
}

Integer TSioBaseDispatcher::TakeLineError() {
  Guard main(mainLock_);
  static const struct {
    Cardinal bit;
    Integer code;
  } order[] = {{1, 1}, {2, 2}, {4, 3}, {8, 4}, {16, 9}};
  for (const auto& o : order)
    if (errorFlags_ & o.bit) {
      errorFlags_ &= ~0x0Fu;  // the break bit stays for TakeBreak
      return o.code;
    }
  return 0;
}

bool TSioBaseDispatcher::TakeBreak() {
  Guard main(mainLock_);
  const bool b = (errorFlags_ & 16) != 0;
  errorFlags_ &= ~16u;
  return b;
}

// ---------------------------------------------------------------------------------------------------------
// Triggers

void TSioBaseDispatcher::SetAvailThreshold(Cardinal N) {
  Guard main(mainLock_);
  availThreshold_ = N;
  LogAdd(9, 16, N, nullptr, 0);
}

void TSioBaseDispatcher::ClearTrigs() {
  Guard main(mainLock_);
  availThreshold_ = 0;
  timerTrigs_.clear();
  dataTrigs_.clear();
  statusTrigs_.clear();
}

void TSioBaseDispatcher::SaveTrigs(TTriggerSnapshot& Snapshot) {
  Guard main(mainLock_);
  FreeSnapshot(Snapshot);
  Snapshot.AvailThreshold = availThreshold_;
  Snapshot.TimerTrigs = timerTrigs_;
  Snapshot.DataTrigs = dataTrigs_;
  Snapshot.StatusTrigs = statusTrigs_;
}

void TSioBaseDispatcher::RestoreTrigs(const TTriggerSnapshot& Snapshot) {
  Guard main(mainLock_);
  availThreshold_ = Snapshot.AvailThreshold;
  timerTrigs_ = Snapshot.TimerTrigs;
  dataTrigs_ = Snapshot.DataTrigs;
  statusTrigs_ = Snapshot.StatusTrigs;
}

bool TSioBaseDispatcher::CheckAvail() {
  Cardinal count;
  uint64_t written;
  {
    Guard in(inLock_);
    // Offer the new bytes to the data triggers (there are none in this system).
    scanPos_ = inInsert_;
    count = InputCount();
    written = inWritten_;
    Guard main(mainLock_);
    if (availThreshold_ == 0 || written == lastAvailWritten_ || count < availThreshold_) return false;
    LogAdd(2, 5, count, nullptr, 0);
  }
  const bool r = NotifyTargets(SIO_TRIGGERAVAIL, count, 0);
  lastAvailWritten_ = written;
  return r;
}

bool TSioBaseDispatcher::CheckStatusTrigs() {
  Guard main(mainLock_);
  return false;  // no status triggers exist in this system
}

bool TSioBaseDispatcher::CheckTimerTrigs() {
  Guard main(mainLock_);
  return false;  // no timer triggers exist in this system
}

void TSioBaseDispatcher::ResetStatusHits() {
  Guard main(mainLock_);
  for (auto& t : statusTrigs_) t.Hit = false;
  statusFired_ = false;
}

void TSioBaseDispatcher::ResetDataMatches() {
  Guard main(mainLock_);
  for (auto& t : dataTrigs_) t.MatchPos = 0;
}

// ---------------------------------------------------------------------------------------------------------
// Targets

void TSioBaseDispatcher::AddWindowTarget(HWND W) {
  Guard main(mainLock_);
  windowTargets_.push_back({W, false});
  mustNotify_ = true;
  LogAdd(7, 17, static_cast<Cardinal>(reinterpret_cast<uintptr_t>(W)), nullptr, 0);
}

void TSioBaseDispatcher::RemoveWindowTarget(HWND W) {
  Guard main(mainLock_);
  auto it = std::find_if(windowTargets_.begin(), windowTargets_.end(),
                         [W](const TSioWindowTarget& t) { return t.Window == W; });
  if (it == windowTargets_.end()) {
    SetTargetState(0);
    return;
  }
  LogAdd(8, 17, static_cast<Cardinal>(reinterpret_cast<uintptr_t>(W)), nullptr, 0);
  if (inNotify_) {
    it->Deleted = true;
    targetsDirty_ = true;
  } else {
    windowTargets_.erase(it);
  }
}

void TSioBaseDispatcher::SetTargetState(Integer Kind) {
  Guard main(mainLock_);
  const bool others = windowTargets_.size() > 1 || !procTargets_.empty() || !methodTargets_.empty();
  switch (Kind) {
    case 0: mustNotify_ = others || portHasEvents_; break;
    case 1:
      portHasEvents_ = true;
      mustNotify_ = true;
      break;
    case 2:
      portHasEvents_ = false;
      mustNotify_ = others;
      break;
    default: break;
  }
}
