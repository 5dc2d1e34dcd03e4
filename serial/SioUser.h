// The dispatcher behind one open serial port: the device handle, an input ring filled by the dispatch
// thread, an output ring drained by the writer thread, the working copy of the device control block, the
// modem and line-error state, the trigger that tells the application that data arrived, the notification
// targets, the trace and the dispatch log.
//
// Every operation that can fail returns an Integer result code: 0 success, negative failure (the negated
// system error, or a component code of serial/SioExcept.h: ecBadArgument, ecPutBlockFail,
// ecOutputBufferTooSmall, ecBufferIsEmpty). The dispatcher never raises for a code; the port does.
//
// Locks, always taken in this order: InLock (input ring, peek state), OutLock (output ring), MainLock
// (settings, control block, device status, modem and error bits, triggers, targets, trace, log). Every access to the error
// bits is under MainLock, whichever other lock the caller holds. No lock is held while a notification is
// delivered or while threads are waited for.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/classes/Delegate.h"
#include "platform/classes/Kernel.h"
#include "platform/classes/Object.h"
#include "platform/classes/Thread.h"
#include "platform/comm/CommApi.h"
#include "platform/rtl/TextFile.h"
#include "platform/rtl/Types.h"
#include "serial/SioMisc.h"

class TSioCustomComPort;
class TSioBaseDispatcher;

inline constexpr Cardinal kInRingSize = 8192;

// Notification messages (LParam: data in the low word, the dispatcher's table index in the high word).
inline constexpr UINT SIO_TRIGGERAVAIL = 0x7E01;
inline constexpr UINT SIO_TRIGGERDATA = 0x7E02;
inline constexpr UINT SIO_TRIGGERTIMER = 0x7E03;
inline constexpr UINT SIO_TRIGGERSTATUS = 0x7E04;
inline constexpr UINT SIO_PORTOPENED = 0x7E08;
inline constexpr UINT SIO_PORTCLOSED = 0x7E09;
inline constexpr UINT SIO_PORTCLOSING = 0x7E0A;

// Options of OpenLine.
inline constexpr Cardinal kOptionDtrOn = 1;
inline constexpr Cardinal kOptionRtsOn = 2;
inline constexpr Cardinal kOptionDtrFlow = 16;
inline constexpr Cardinal kOptionRtsFlow = 32;

// Trigger records. Nothing in this system creates one: the lists are only emptied, saved and restored.
struct TSioTimerTrigger {
  Word Handle = 0;
  bool Armed = false;
  TTickTimer Timer;
  Integer Ticks = 0;
};
struct TSioDataTrigger {
  Word Handle = 0;
  bool Armed = false;
  String Match;
  bool IgnoreCase = false;
  Cardinal MatchPos = 0;
};
struct TSioStatusTrigger {
  Word Handle = 0;
  bool Armed = false;
  Integer Kind = 0;  // 1 modem, 2 line error, 3 output free, 4 output used, 5 output sent
  Cardinal Value = 0;
  bool Hit = false;
};

// Saved trigger state, so that triggers survive a close and reopen.
struct TTriggerSnapshot {
  Cardinal AvailThreshold = 0;
  std::vector<TSioTimerTrigger> TimerTrigs;
  std::vector<TSioDataTrigger> DataTrigs;
  std::vector<TSioStatusTrigger> StatusTrigs;
};
void FreeSnapshot(TTriggerSnapshot& Snapshot);

using TSioNotifyProc = void (*)(UINT Msg, WPARAM WParam, LPARAM LParam);
using TSioNotifyMethod = Delegate<void(UINT Msg, WPARAM WParam, LPARAM LParam)>;

struct TSioWindowTarget {
  HWND Window = nullptr;
  bool Deleted = false;
};
struct TSioProcTarget {
  TSioNotifyProc Proc = nullptr;
  bool Deleted = false;
};
struct TSioMethodTarget {
  TSioNotifyMethod Method;
  bool Deleted = false;
  bool Synchronized = false;
};

// The process-wide list of dispatchers; a dispatcher's index is the high word of its notifications.
class TDispatcherTable {
public:
  static TDispatcherTable& Instance();
  std::recursive_mutex& Lock() { return lock_; }
  Integer Insert(TSioBaseDispatcher* D);  // first free slot, else a new one
  void Remove(Integer Index);             // frees the slot and drops free slots at the end
  TSioBaseDispatcher* At(Integer Index);  // null when out of range or free; take Lock() around the use
  Integer Count();

private:
  std::recursive_mutex lock_;
  std::vector<TSioBaseDispatcher*> slots_;
};

class TSioDispatcherThread;

class TSioBaseDispatcher : public TObject {
  K58_CLASS(TSioBaseDispatcher, TObject)

  explicit TSioBaseDispatcher(TSioCustomComPort* Owner);
  ~TSioBaseDispatcher() override;

  // ---- Line ----
  Integer OpenLine(const char* Name, Integer Baud, Integer Parity, Integer DataBits, Integer StopBits,
                   Cardinal InSize, Cardinal OutSize, Cardinal Options);
  void CloseLine();
  Integer SetLineParams(Integer Baud, Integer Parity, Integer DataBits, Integer StopBits);
  void GetLineParams(Integer& Baud, Integer& Parity, Integer& DataBits, Integer& StopBits);
  static Integer MapBaudCode(Integer B);
  Integer SetDtrLine(bool On);
  Integer SetRtsLine(bool On);
  Integer SetHardwareFlow(Cardinal Full, Cardinal Resume, Cardinal Options);
  Integer SetSoftwareFlow(Cardinal Full, Cardinal Resume, Cardinal Options);
  Integer ClearSoftwareFlow();
  Integer SetFlowChars(char XOn, char XOff);
  Integer GetFlowState(Cardinal& HWOptions, Cardinal& SWOptions, char& XOn, char& XOff);
  void SetRs485(bool On);
  void SetOptionBit(Cardinal Bits);
  void ClearOptionBit(Cardinal Bits);

  // ---- Input ----
  bool HasInput();
  Integer ReadByte(char& C);
  Integer PeekAt(Cardinal N, char& C);
  Cardinal InputCount();
  Integer PurgeInput();

  // ---- Output ----
  Integer QueueOutput(const void* Data, Cardinal Len);
  Cardinal OutputCount();
  Cardinal OutputRoom();
  Integer PurgeOutput();

  // ---- Modem status and line errors ----
  Integer TakeLineError();
  bool TakeBreak();
  void RefreshModem();
  void RefreshErrors();

  // ---- Triggers and targets ----
  void SetAvailThreshold(Cardinal N);
  void ClearTrigs();
  void SaveTrigs(TTriggerSnapshot& Snapshot);
  void RestoreTrigs(const TTriggerSnapshot& Snapshot);
  void AddWindowTarget(HWND W);
  void RemoveWindowTarget(HWND W);
  virtual void SetTargetState(Integer Kind);
  virtual void SetPriorityBoost(Byte Boost);

  // ---- Dispatch-thread steps ----
  bool FillInputRing();
  bool CheckAvail();
  bool CheckStatusTrigs();
  bool CheckTimerTrigs();
  void ResetStatusHits();
  void ResetDataMatches();
  bool NotifyTargets(UINT Msg, WPARAM WParam, Word Data);
  void ProcessComEvent();
  void ProcessTimers();
  void WriteOutRing();
  void ThreadEnded(TSioDispatcherThread* Thread);

  // ---- Trace ----
  Integer TraceAlloc(Cardinal N);
  void TraceAdd(char Kind, Byte B);
  Integer TraceReset();
  void TraceFree();
  void TraceResume();
  void TracePause();
  Integer TraceDump(const String& Name, bool Append, bool InHex, bool AllHex);

  // ---- Dispatch log ----
  void LogAlloc(Cardinal Size);
  void LogAdd(Byte Kind, Byte Sub, Cardinal Data, const void* Buf, Cardinal Count);
  void LogReset();
  void LogFree();
  void LogResume();
  void LogPause();
  Integer LogDump(const String& Name, bool Append, bool InHex, bool AllHex);
  // The operating-system line of the log header.
  static String OsDescription();

  // ---- Device slots ----
  virtual Integer EscapeFunction(DWORD Function) = 0;
  virtual Integer PurgeDevice(bool Input) = 0;
  virtual Integer ReadDeviceStatus(COMSTAT& Stat) = 0;
  virtual Integer ReadFailed(Integer Code) = 0;
  virtual Integer ReadLineBlock(DCB& Block) = 0;
  virtual Integer ReadDevice(void* Buf, Cardinal Count) = 0;
  virtual Integer WriteLineBlock(DCB& Block) = 0;
  virtual Integer PutToRing(const void* Buf, Cardinal Len) = 0;
  virtual bool WaitDeviceEvent(DWORD& Mask, OVERLAPPED& Ov) = 0;
  virtual bool SetupDeviceQueues(Cardinal InSize, Cardinal OutSize) = 0;
  virtual void ReleasePort();
  virtual void StartThreads();
  virtual void StopThreads();
  virtual intptr_t OpenDevice(const char* Name, Cardinal InSize, Cardinal OutSize) = 0;
  virtual Integer CloseDevice() = 0;
  virtual Integer Idle() = 0;

  // ---- State other parts of the component read ----
  TSioCustomComPort* OwnerPort() const { return ownerPort_; }
  void ClearOwnerPort() { ownerPort_ = nullptr; }
  Integer TableIndex() const { return tableIndex_; }
  HANDLE Device() const { return device_.load(); }
  bool InNotify() const { return inNotify_; }
  bool CloseDuringNotify() const { return closeDuringNotify_; }
  bool ThreadsRunning() const { return threadsRunning_; }
  Integer LiveThreads() const { return liveThreads_.load(); }
  Cardinal AvailThreshold() const { return availThreshold_; }
  Cardinal OptionBits() const { return optionBits_; }
  Cardinal AppliedBaud() const { return appliedBaud_; }
  Cardinal ErrorFlags() const { Guard main(mainLock_); return errorFlags_; }
  Cardinal ModemBits() const { return modemBits_; }
  bool TraceOn() const { return traceOn_; }
  bool LogOn() const { return logOn_; }
  String DeviceTitle;
  // How long a notification waits for each window target before it is abandoned.
  DWORD NotifyTimeoutMs = 3000;

protected:
  friend class TComThread;
  friend class TDispThread;
  friend class TOutThread;

  using Guard = std::lock_guard<std::recursive_mutex>;

  Integer ApplyLineBlock(DCB& Block);
  void DrainOutput();
  Cardinal ReadModemBits(Cardinal Mask);
  Cardinal UnreadCount() const;  // under InLock
  Cardinal OutCountLocked() const;  // under OutLock
  void AdvanceOutput(Cardinal N);  // under OutLock
  void CloseEvents();
  bool LogPut(const void* Src, Cardinal Len);
  bool LogTake(Byte* Header, std::vector<Byte>& Payload, Cardinal& Len);
  void WaitThreadsEnded(bool PumpWhileWaiting);

  TSioCustomComPort* ownerPort_;
  Integer tableIndex_ = -1;
  std::atomic<HANDLE> device_{INVALID_HANDLE_VALUE};
  Cardinal errorFlags_ = 0;
  Cardinal deviceInSize_ = 0;
  Cardinal outRingSize_ = 0;
  Cardinal modemBits_ = 0;
  COMSTAT deviceStat_;
  DCB lineBlock_;
  Cardinal appliedBaud_ = 0;
  Cardinal optionBits_ = 0;
  bool dtrOn_ = false, dtrFlow_ = false, rtsOn_ = false, rtsFlow_ = false;
  bool rs485On_ = false;
  Word uartBase_ = 0;
  bool portHasEvents_ = false;
  bool mustNotify_ = false;
  std::vector<TSioWindowTarget> windowTargets_;
  std::vector<TSioProcTarget> procTargets_;
  std::vector<TSioMethodTarget> methodTargets_;
  std::vector<TSioTimerTrigger> timerTrigs_;
  std::vector<TSioDataTrigger> dataTrigs_;
  std::vector<TSioStatusTrigger> statusTrigs_;
  Cardinal scanPos_ = 0;
  Cardinal availThreshold_ = 0;
  bool statusFired_ = false;
  bool peekMode_ = false;
  Cardinal peekCount_ = 0;
  Cardinal peekMax_ = 0;
  bool inFull_ = false;
  // Bytes ever put into the input ring, and that count at the last data-available notification: a change
  // of the write position that a full ring's worth of input cannot hide.
  uint64_t inWritten_ = 0;
  uint64_t lastAvailWritten_ = 0;
  std::atomic<bool> stopFlag_{false};
  TObjectPtr<TSioDispatcherThread> commThread_, dispThread_, outThread_;
  std::atomic<bool> commThreadRef_{false}, dispThreadRef_{false}, outThreadRef_{false};
  Byte priorityBoost_ = 0;
  mutable std::recursive_mutex mainLock_;
  std::recursive_mutex outLock_, inLock_;
  HANDLE commSignal_ = INVALID_HANDLE_VALUE;
  HANDLE dispatchDone_ = INVALID_HANDLE_VALUE;
  HANDLE threadAck_ = INVALID_HANDLE_VALUE;
  HANDLE outputReady_ = INVALID_HANDLE_VALUE;
  HANDLE writeComplete_ = INVALID_HANDLE_VALUE;
  HANDLE flushRequest_ = INVALID_HANDLE_VALUE;
  HANDLE outWait_[2] = {};    // OutputReady, FlushRequest
  HANDLE writeWait_[2] = {};  // WriteComplete, FlushRequest
  std::atomic<DWORD> lastEventMask_{0};
  OVERLAPPED writeOv_;
  std::atomic<bool> ringEdge_{false};
  std::vector<Byte> outRing_;
  Cardinal outInsert_ = 0, outRemove_ = 0;
  bool outFull_ = false;
  std::vector<Byte> inRing_;
  Cardinal inInsert_ = 0, inRemove_ = 0;
  std::atomic<bool> inNotify_{false};
  bool targetsDirty_ = false;
  std::atomic<bool> closeDuringNotify_{false};
  bool sentFlag_ = false;
  std::atomic<bool> threadsRunning_{false};
  std::atomic<bool> releaseAtExit_{false};
  std::atomic<Integer> liveThreads_{0};

  // Trace: 2-byte entries (kind, byte).
  bool traceOn_ = false;
  std::vector<Byte> traceBuf_;
  Cardinal traceIndex_ = 0;
  Cardinal traceMax_ = 0;
  bool traceWrapped_ = false;

  // Dispatch log: 16-byte headers, each followed by its payload.
  bool logOn_ = false;
  std::vector<Byte> logBuf_;
  Cardinal logHead_ = 0, logTail_ = 0, logRoom_ = 0, logCapacity_ = 0;
  Cardinal logTimeBase_ = 0;
};

// Worker threads of a dispatcher. Each is owned by its dispatcher (never freed while it runs) and tells it
// when its body has ended.
class TSioDispatcherThread : public TThread {
  K58_CLASS(TSioDispatcherThread, TThread)

  explicit TSioDispatcherThread(TSioBaseDispatcher* Owner);
  bool IsCurrent() const;
  // Priority relative to normal on the class library's scale.
  void SetRelativePriority(Integer Relative);

  TSioBaseDispatcher* OwnerDispatcher;

protected:
  // Shows an exception that ended the body, then lets the dispatcher stop counting this thread.
  void DoTerminate() override;
};

class TComThread : public TSioDispatcherThread {
  K58_CLASS(TComThread, TSioDispatcherThread)
  using TSioDispatcherThread::TSioDispatcherThread;

protected:
  void Execute() override;
};

class TDispThread : public TSioDispatcherThread {
  K58_CLASS(TDispThread, TSioDispatcherThread)
  using TSioDispatcherThread::TSioDispatcherThread;

protected:
  void Execute() override;
};

class TOutThread : public TSioDispatcherThread {
  K58_CLASS(TOutThread, TSioDispatcherThread)
  using TSioDispatcherThread::TSioDispatcherThread;

protected:
  void Execute() override;
};
