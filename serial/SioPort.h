// The serial-port component the application places on its forms and drives from the main thread. It holds
// the line settings as published properties, opens and closes the device through a dispatcher, turns the
// dispatcher's notifications into events on the main thread through a hidden window of class
// "sioComWindow", and offers the calls that send and receive bytes.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/TypInfo.h"
#include "serial/SioExcept.h"
#include "serial/SioUser.h"

enum TDeviceLayer { dlWin32, dlWinsock };
K58_ENUM_TYPE(TDeviceLayer, dlWin32, dlWinsock)
K58_SET_TYPE(TDeviceLayers, TDeviceLayer)

enum TParity { pNone, pOdd, pEven, pMark, pSpace };
K58_ENUM_TYPE(TParity, pNone, pOdd, pEven, pMark, pSpace)

enum THWFlowOptions { hwfUseDTR, hwfUseRTS, hwfRequireDSR, hwfRequireCTS };
K58_ENUM_TYPE(THWFlowOptions, hwfUseDTR, hwfUseRTS, hwfRequireDSR, hwfRequireCTS)
K58_SET_TYPE(THWFlowOptionSet, THWFlowOptions)

enum TSWFlowOptions { swfNone, swfReceive, swfTransmit, swfBoth };
K58_ENUM_TYPE(TSWFlowOptions, swfNone, swfReceive, swfTransmit, swfBoth)

enum TTraceLogState { tlOff, tlOn, tlDump, tlAppend, tlClear, tlPause };
K58_ENUM_TYPE(TTraceLogState, tlOff, tlOn, tlDump, tlAppend, tlClear, tlPause)

enum TTapiMode { tmNone, tmAuto, tmOn, tmOff };
K58_ENUM_TYPE(TTapiMode, tmNone, tmAuto, tmOn, tmOff)

// Where the port is between closed and open. A close started inside a notification stays Closing until the
// dispatch thread has let go.
enum class TLineState { Closed = 0, Closing = 1, Open = 2 };

// A string of at most 255 characters.
using TPassString = String;

K58_EVENT_TYPE(TTriggerEvent, void(TObject* CP, Word Msg, Word TriggerHandle, Word Data))
K58_EVENT_TYPE(TTriggerAvailEvent, void(TObject* CP, Word Count))
// The same signature as TTriggerAvailEvent (the Word is a trigger handle), published under their own names.
using TTriggerDataEvent = TTriggerAvailEvent;
using TTriggerStatusEvent = TTriggerAvailEvent;
using TTriggerTimerEvent = TTriggerAvailEvent;
K58_EVENT_TYPE(TTriggerLineErrorEvent, void(TObject* CP, Word Error, bool LineBreak))
K58_EVENT_TYPE(TWaitCharEvent, void(TObject* CP, char C))
using TPortOpenedEvent = Delegate<void(TObject* Sender, bool Opened)>;
using TPortStateEvent = Delegate<void(TObject* Sender, Integer State)>;  // 0 opened, 1 closing, 2 closed

// A registered user of a port: told when the port opens, is closing and closed.
struct TSioPortUser {
  HWND Window = nullptr;
  TPortOpenedEvent OnOpened;
  TPortStateEvent OnState;
  bool UseState = false;
};

class TSioCustomComPort;

// The port selection shown when a port without a number is opened and PromptForPort is set: returns the
// chosen number, or 0 when the user cancelled. The selection dialog installs itself here.
using TSioPortPrompt = Word (*)(TSioCustomComPort* Port);
void SetSioPortPrompt(TSioPortPrompt Prompt);

class TSioBaseComponent : public TComponent {
  K58_CLASS(TSioBaseComponent, TComponent)

  explicit TSioBaseComponent(TComponent* AOwner) : TComponent(AOwner) {}
  String Version() const { return "v4.05"; }
  void SetVersion(const String&) {}
};

class TSioCustomComPort : public TSioBaseComponent {
  K58_CLASS(TSioCustomComPort, TSioBaseComponent)

  explicit TSioCustomComPort(TComponent* AOwner);
  ~TSioCustomComPort() override;

  void Assign(TPersistent* Source) override;
  void Loaded() override;

  // ---- Operations the application calls ----
  Cardinal OutBuffUsed();
  void FlushInBuffer();
  void FlushOutBuffer();
  bool CharReady();
  char GetChar();
  Integer PutBlock(const void* Data, Word Len);
  virtual void ProcessCommunications();
  TSioBaseDispatcher* GetDispatcher();
  TSioBaseDispatcher* RequireDispatcher();

  // ---- Trace and log ----
  void BeginTrace(Cardinal N);
  void WriteTraceFile(const String& Name, bool InHex);
  void AppendTraceFile(const String& Name, bool InHex);
  void EmptyTrace();
  void DiscardTrace();
  void ResumeTrace();
  void PauseTrace();
  void BeginLog(Cardinal N);
  void WriteLogFile(const String& Name, bool InHex);
  void AppendLogFile(const String& Name, bool InHex);
  void EmptyLog();
  void DiscardLog();
  void ResumeLog();
  void PauseLog();

  // ---- Properties ----
  TDeviceLayer DeviceLayer() const { return deviceLayer_; }
  void SetDeviceLayer(TDeviceLayer Value);
  Word ComNumber() const { return comNumber_; }
  void SetComNumber(Word Value);
  Integer Baud() const { return baud_; }
  void SetBaud(Integer Value);
  bool PromptForPort() const { return promptForPort_; }
  void SetPromptForPort(bool Value) { promptForPort_ = Value; }
  TParity Parity() const { return parity_; }
  void SetParity(TParity Value);
  Word DataBits() const { return dataBits_; }
  void SetDataBits(Word Value);
  Word StopBits() const { return stopBits_; }
  void SetStopBits(Word Value);
  Word InSize() const { return inSize_; }
  void SetInSize(Word Value);
  Word OutSize() const { return outSize_; }
  void SetOutSize(Word Value);
  bool AutoOpen() const { return autoOpen_; }
  void SetAutoOpen(bool Value) { autoOpen_ = Value; }
  bool Open() const { return open_; }
  void SetOpen(bool Value);
  bool DTR() const { return dtr_; }
  void SetDTR(bool Value);
  bool RTS() const { return rts_; }
  void SetRTS(bool Value);
  THWFlowOptionSet HWFlowOptions() const { return hwFlowOptions_; }
  void SetHWFlowOptions(THWFlowOptionSet Value);
  TSWFlowOptions SWFlowOptions() const { return swFlowOptions_; }
  void SetSWFlowOptions(TSWFlowOptions Value);
  char XOnChar() const { return xOnChar_; }
  void SetXOnChar(char Value);
  char XOffChar() const { return xOffChar_; }
  void SetXOffChar(char Value);
  Word BufferFull() const { return bufferFull_; }
  void SetBufferFull(Word Value);
  Word BufferResume() const { return bufferResume_; }
  void SetBufferResume(Word Value);
  TTraceLogState Tracing() const { return tracing_; }
  void SetTracing(TTraceLogState Value);
  Cardinal TraceSize() const { return traceSize_; }
  void SetTraceSize(Cardinal Value);
  TPassString TraceName() const { return traceName_; }
  void SetTraceName(const TPassString& Value) { traceName_ = Value.substr(0, 255); }
  bool TraceHex() const { return traceHex_; }
  void SetTraceHex(bool Value) { traceHex_ = Value; }
  bool TraceAllHex() const { return traceAllHex_; }
  void SetTraceAllHex(bool Value) { traceAllHex_ = Value; }
  TTraceLogState Logging() const { return logging_; }
  void SetLogging(TTraceLogState Value);
  Cardinal LogSize() const { return logSize_; }
  void SetLogSize(Cardinal Value);
  TPassString LogName() const { return logName_; }
  void SetLogName(const TPassString& Value) { logName_ = Value.substr(0, 255); }
  bool LogHex() const { return logHex_; }
  void SetLogHex(bool Value) { logHex_ = Value; }
  bool LogAllHex() const { return logAllHex_; }
  void SetLogAllHex(bool Value) { logAllHex_ = Value; }
  bool UseMSRShadow() const { return useMSRShadow_; }
  void SetUseMSRShadowProp(bool Value) { SetUseMSRShadow(Value); }
  bool UseEventWord() const { return useEventWord_; }
  void SetUseEventWord(bool Value);
  Word CommNotificationLevel() const { return commNotificationLevel_; }
  void SetCommNotificationLevel(Word Value) { commNotificationLevel_ = Value; }
  TTapiMode TapiMode() const { return tapiMode_; }
  void SetTapiMode(TTapiMode Value) { tapiMode_ = Value; }
  bool RS485Mode() const { return rs485Mode_; }
  void SetRS485Mode(bool Value);
  Byte BoostLevel() const { return boostLevel_; }
  void SetBoostLevel(Byte Value);
  Word AvailLength() const { return availLength_; }
  void SetAvailLength(Word Value);
  Word TapiHandle() const { return tapiHandle_; }
  void SetTapiHandle(Word Value) { tapiHandle_ = Value; }

  const TNotifyEvent& OnPortClose() const { return onPortClose_; }
  void SetOnPortClose(const TNotifyEvent& Value) { onPortClose_ = Value; }
  const TNotifyEvent& OnPortOpen() const { return onPortOpen_; }
  void SetOnPortOpen(const TNotifyEvent& Value) { onPortOpen_ = Value; }
  const TTriggerEvent& OnTrigger() const { return onTrigger_; }
  void SetOnTrigger(const TTriggerEvent& Value);
  const TTriggerAvailEvent& OnTriggerAvail() const { return onTriggerAvail_; }
  void SetOnTriggerAvail(const TTriggerAvailEvent& Value);
  const TTriggerDataEvent& OnTriggerData() const { return onTriggerData_; }
  void SetOnTriggerData(const TTriggerDataEvent& Value);
  const TTriggerStatusEvent& OnTriggerStatus() const { return onTriggerStatus_; }
  void SetOnTriggerStatus(const TTriggerStatusEvent& Value);
  const TTriggerTimerEvent& OnTriggerTimer() const { return onTriggerTimer_; }
  void SetOnTriggerTimer(const TTriggerTimerEvent& Value);
  const TTriggerLineErrorEvent& OnTriggerLineError() const { return onTriggerLineError_; }
  void SetOnTriggerLineError(const TTriggerLineErrorEvent& Value);
  const TNotifyEvent& OnTriggerModemStatus() const { return onTriggerModemStatus_; }
  void SetOnTriggerModemStatus(const TNotifyEvent& Value);
  const TNotifyEvent& OnTriggerOutbuffFree() const { return onTriggerOutbuffFree_; }
  void SetOnTriggerOutbuffFree(const TNotifyEvent& Value);
  const TNotifyEvent& OnTriggerOutbuffUsed() const { return onTriggerOutbuffUsed_; }
  void SetOnTriggerOutbuffUsed(const TNotifyEvent& Value);
  const TNotifyEvent& OnTriggerOutSent() const { return onTriggerOutSent_; }
  void SetOnTriggerOutSent(const TNotifyEvent& Value);
  const TWaitCharEvent& WaitCharEvent() const { return waitCharEvent_; }
  void SetWaitCharEvent(const TWaitCharEvent& Value) { waitCharEvent_ = Value; }

  // ---- State ----
  TLineState LineState() const { return lineState_; }
  bool ReopenPending() const { return reopenPending_; }
  HWND NotifyWindow() const { return notifyWindow_; }
  TSioBaseDispatcher* Dispatcher() const { return dispatcher_; }
  TDeviceLayers SupportedLayers() const { return supportedLayers_; }
  // Makes the dispatcher instead of CreateDispatcher's default (none in this system; tests use it).
  std::function<TSioBaseDispatcher*(TSioCustomComPort*)> DispatcherFactory;
  std::vector<TSioPortUser>& Users() { return users_; }

  // The window procedure of "sioComWindow".
  static LRESULT ComWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

protected:
  virtual TSioBaseDispatcher* CreateDispatcher();
  virtual void DeviceLayerChanged() {}
  virtual Integer OpenDispatcher();
  virtual void RegisterComWindow(bool Register);
  virtual void ValidateComport();
  virtual void SetUseMSRShadow(bool) { useMSRShadow_ = true; }
  virtual void DoTrigger(Word Msg, Word TriggerHandle, Word Data);
  virtual void DoTriggerAvail(Word Count);
  virtual void DoTriggerData(Word TriggerHandle);
  virtual void DoTriggerStatus(Word TriggerHandle);
  virtual void DoTriggerTimer(Word TriggerHandle);
  virtual void UpdateHandlerFlags();
  virtual void DoTriggerLineError(Word Error, bool LineBreak);
  virtual void DoTriggerModemStatus();
  virtual void DoTriggerOutbuffFree();
  virtual void DoTriggerOutbuffUsed();
  virtual void DoTriggerOutSent();
  virtual void DoWaitChar(char C);
  virtual void ClosePort();
  virtual void PortOpen();
  virtual void PortClose();
  virtual void PortClosing();
  virtual void OpenPort();

  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool Loading() const { return ComponentState().Contains(csLoading); }
  bool Closing() const { return lineState_ == TLineState::Closing; }
  // Finishes a close: window, dispatcher, state. Used at once or when a deferred close completes.
  void FinishClose();
  void CompleteDeferredClose();
  void RaiseOpenError(Integer Code);

  bool force_ = false;
  TLineState lineState_ = TLineState::Closed;
  bool reopenPending_ = false;
  bool openAfterLoad_ = false;
  std::vector<TSioPortUser> users_;
  bool haveSavedTrigs_ = false;
  TTriggerSnapshot savedTrigs_;
  HWND notifyWindow_ = nullptr;
  TDeviceLayers supportedLayers_{dlWin32};
  TSioBaseDispatcher* dispatcher_ = nullptr;
  Word tapiHandle_ = 0;
  Byte boostLevel_ = 0;
  Word availLength_ = 1;

  TDeviceLayer deviceLayer_ = dlWin32;
  Word comNumber_ = 0;
  Integer baud_ = 19200;
  bool promptForPort_ = true;
  TParity parity_ = pNone;
  Word dataBits_ = 8;
  Word stopBits_ = 1;
  Word inSize_ = 4096;
  Word outSize_ = 4096;
  bool autoOpen_ = true;
  bool open_ = false;
  bool dtr_ = true;
  bool rts_ = true;
  THWFlowOptionSet hwFlowOptions_;
  TSWFlowOptions swFlowOptions_ = swfNone;
  char xOnChar_ = 17;
  char xOffChar_ = 19;
  Word bufferFull_ = 0;
  Word bufferResume_ = 0;
  TTraceLogState tracing_ = tlOff;
  Cardinal traceSize_ = 10000;
  TPassString traceName_ = "SERL.TRC";
  bool traceHex_ = true;
  bool traceAllHex_ = false;
  TTraceLogState logging_ = tlOff;
  Cardinal logSize_ = 10000;
  TPassString logName_ = "SERL.LOG";
  bool logHex_ = true;
  bool logAllHex_ = false;
  bool useMSRShadow_ = true;
  bool useEventWord_ = true;
  Word commNotificationLevel_ = 10;
  TTapiMode tapiMode_ = tmAuto;
  bool rs485Mode_ = false;

  TNotifyEvent onPortClose_, onPortOpen_;
  TTriggerEvent onTrigger_;
  TTriggerAvailEvent onTriggerAvail_;
  TTriggerDataEvent onTriggerData_;
  TTriggerStatusEvent onTriggerStatus_;
  TTriggerTimerEvent onTriggerTimer_;
  TTriggerLineErrorEvent onTriggerLineError_;
  TNotifyEvent onTriggerModemStatus_, onTriggerOutbuffFree_, onTriggerOutbuffUsed_, onTriggerOutSent_;
  TWaitCharEvent waitCharEvent_;
};

// Publishes the properties; no behaviour of its own.
class TSioComPort : public TSioCustomComPort {
  K58_CLASS(TSioComPort, TSioCustomComPort)

  explicit TSioComPort(TComponent* AOwner) : TSioCustomComPort(AOwner) {}
};
