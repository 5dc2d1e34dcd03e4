#include "serial/SioPort.h"

#include <cmath>
#include <exception>

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Streams.h"
#include "platform/comm/ComPorts.h"
#include "platform/win/core/UtilWindow.h"
#include "platform/win/core/WinUser.h"
#include "serial/SioWin32.h"

namespace {

constexpr char kWindowClass[] = "sioComWindow";
// Timer that retries finishing a deferred close; its id carries the dispatcher's table index.
constexpr UINT_PTR kCloseRetryTimer = 0x7E0A0000;
constexpr UINT kCloseRetryMs = 10;

TSioPortPrompt g_prompt = nullptr;

Word Trunc(double v) { return static_cast<Word>(std::trunc(v)); }

}  // namespace

void SetSioPortPrompt(TSioPortPrompt Prompt) { g_prompt = Prompt; }

K58_IMPLEMENT_CLASS(TSioBaseComponent) {
  b.Prop("Version", &TSioBaseComponent::Version, &TSioBaseComponent::SetVersion).Stored(false);
}

K58_IMPLEMENT_CLASS(TSioCustomComPort) {}

K58_IMPLEMENT_CLASS(TSioComPort) {
  using P = TSioCustomComPort;
  b.Prop("DeviceLayer", &P::DeviceLayer, &P::SetDeviceLayer).Default(dlWin32);
  b.Prop("ComNumber", &P::ComNumber, &P::SetComNumber).Default(0);
  b.Prop("Baud", &P::Baud, &P::SetBaud).Default(19200);
  b.Prop("PromptForPort", &P::PromptForPort, &P::SetPromptForPort).Default(true);
  b.Prop("Parity", &P::Parity, &P::SetParity).Default(pNone);
  b.Prop("DataBits", &P::DataBits, &P::SetDataBits).Default(8);
  b.Prop("StopBits", &P::StopBits, &P::SetStopBits).Default(1);
  b.Prop("InSize", &P::InSize, &P::SetInSize).Default(4096);
  b.Prop("OutSize", &P::OutSize, &P::SetOutSize).Default(4096);
  b.Prop("AutoOpen", &P::AutoOpen, &P::SetAutoOpen).Default(true);
  b.Prop("Open", &P::Open, &P::SetOpen).Default(false);
  b.Prop("DTR", &P::DTR, &P::SetDTR).Default(true);
  b.Prop("RTS", &P::RTS, &P::SetRTS).Default(true);
  b.Prop("HWFlowOptions", &P::HWFlowOptions, &P::SetHWFlowOptions).Default(THWFlowOptionSet());
  b.Prop("SWFlowOptions", &P::SWFlowOptions, &P::SetSWFlowOptions).Default(swfNone);
  b.Prop("XOnChar", &P::XOnChar, &P::SetXOnChar).Default(char(17));
  b.Prop("XOffChar", &P::XOffChar, &P::SetXOffChar).Default(char(19));
  b.Prop("BufferFull", &P::BufferFull, &P::SetBufferFull).Default(0);
  b.Prop("BufferResume", &P::BufferResume, &P::SetBufferResume).Default(0);
  b.Prop("Tracing", &P::Tracing, &P::SetTracing).Default(tlOff);
  b.Prop("TraceSize", &P::TraceSize, &P::SetTraceSize).Default(10000);
  b.Prop("TraceName", &P::TraceName, &P::SetTraceName).Type("TPassString").Default("SERL.TRC");
  b.Prop("TraceHex", &P::TraceHex, &P::SetTraceHex).Default(true);
  b.Prop("TraceAllHex", &P::TraceAllHex, &P::SetTraceAllHex).Default(false);
  b.Prop("Logging", &P::Logging, &P::SetLogging).Default(tlOff);
  b.Prop("LogSize", &P::LogSize, &P::SetLogSize).Default(10000);
  b.Prop("LogName", &P::LogName, &P::SetLogName).Type("TPassString").Default("SERL.LOG");
  b.Prop("LogHex", &P::LogHex, &P::SetLogHex).Default(true);
  b.Prop("LogAllHex", &P::LogAllHex, &P::SetLogAllHex).Default(false);
  b.Prop("UseMSRShadow", &P::UseMSRShadow, &P::SetUseMSRShadowProp).Default(true);
  b.Prop("UseEventWord", &P::UseEventWord, &P::SetUseEventWord).Default(true);
  b.Prop("CommNotificationLevel", &P::CommNotificationLevel, &P::SetCommNotificationLevel).Default(10);
  b.Prop("TapiMode", &P::TapiMode, &P::SetTapiMode).Default(tmAuto);
  b.Prop("RS485Mode", &P::RS485Mode, &P::SetRS485Mode).Default(false);
  b.Prop("OnPortClose", &P::OnPortClose, &P::SetOnPortClose);
  b.Prop("OnPortOpen", &P::OnPortOpen, &P::SetOnPortOpen);
  b.Prop("OnTrigger", &P::OnTrigger, &P::SetOnTrigger);
  b.Prop("OnTriggerAvail", &P::OnTriggerAvail, &P::SetOnTriggerAvail);
  b.Prop("OnTriggerData", &P::OnTriggerData, &P::SetOnTriggerData).Type("TTriggerDataEvent");
  b.Prop("OnTriggerStatus", &P::OnTriggerStatus, &P::SetOnTriggerStatus).Type("TTriggerStatusEvent");
  b.Prop("OnTriggerTimer", &P::OnTriggerTimer, &P::SetOnTriggerTimer).Type("TTriggerTimerEvent");
  b.Prop("OnTriggerLineError", &P::OnTriggerLineError, &P::SetOnTriggerLineError);
  b.Prop("OnTriggerModemStatus", &P::OnTriggerModemStatus, &P::SetOnTriggerModemStatus);
  b.Prop("OnTriggerOutbuffFree", &P::OnTriggerOutbuffFree, &P::SetOnTriggerOutbuffFree);
  b.Prop("OnTriggerOutbuffUsed", &P::OnTriggerOutbuffUsed, &P::SetOnTriggerOutbuffUsed);
  b.Prop("OnTriggerOutSent", &P::OnTriggerOutSent, &P::SetOnTriggerOutSent);
}

// ---------------------------------------------------------------------------------------------------------
// Life cycle

TSioCustomComPort::TSioCustomComPort(TComponent* AOwner) : TSioBaseComponent(AOwner) {}

TSioCustomComPort::~TSioCustomComPort() {
  try {
    if (open_) ClosePort();
  } catch (...) {
    HandleUtilWindowException(this);
  }
  if (dispatcher_ != nullptr) {
    // A close that was waiting for the dispatch thread: finish it now, without this port.
    RegisterComWindow(false);
    dispatcher_->ClearOwnerPort();
    TSioBaseDispatcher* d = dispatcher_;
    dispatcher_ = nullptr;
    FreeObject(d);
  }
  users_.clear();
  FreeSnapshot(savedTrigs_);
}

void TSioCustomComPort::SetOpen(bool Value) {
  if (Value == open_) return;
  if (Designing() || Loading()) {
    open_ = Value;
    if (Value) openAfterLoad_ = true;
    return;
  }
  if (!Value) {
    ClosePort();
    return;
  }
  if (lineState_ != TLineState::Closed) {
    reopenPending_ = true;  // still closing: reopen once the close is finished
    return;
  }
  OpenPort();
}

void TSioCustomComPort::Loaded() {
  inherited::Loaded();
  if (Designing()) return;
  if (openAfterLoad_) open_ = true;
  if (open_) {
    openAfterLoad_ = false;
    try {
      OpenPort();
    } catch (...) {
      open_ = false;
      HandleUtilWindowException(this);  // shown by the application; the form still loads
    }
  }
}

void TSioCustomComPort::RaiseOpenError(Integer Code) {
  if (Code == -static_cast<Integer>(ERROR_ACCESS_DENIED)) {
    // The user may not open the device: say what is needed rather than "access denied".
    const String name = ComDeviceName(comNumber_);
    if (!Loading()) throw EInOutError(CommOpenErrorText(name.c_str(), ERROR_ACCESS_DENIED), ERROR_ACCESS_DENIED);
    return;
  }
  if (Code == -static_cast<Integer>(ERROR_SHARING_VIOLATION)) Code = ecAlreadyOpen;
  if (Code == -static_cast<Integer>(ERROR_FILE_NOT_FOUND) || Code == -static_cast<Integer>(ERROR_PATH_NOT_FOUND))
    Code = ecBadId;
  RaiseIfError(this, Code);
}

void TSioCustomComPort::OpenPort() {
  if (tapiMode_ != tmOn) ValidateComport();
  dispatcher_ = CreateDispatcher();
  dispatcher_->DeviceTitle = ComPortName(comNumber_);
  try {
    if (tapiMode_ == tmOn) {
      if (dispatcher_->Device() == nullptr) RaiseIfError(this, ecNotOpenedByTapi);
      Integer baud, parity, dataBits, stopBits;
      dispatcher_->GetLineParams(baud, parity, dataBits, stopBits);
      baud_ = baud;
      parity_ = static_cast<TParity>(parity);
      dataBits_ = static_cast<Word>(dataBits);
      stopBits_ = static_cast<Word>(stopBits);
      Cardinal hw = 0, sw = 0;
      dispatcher_->GetFlowState(hw, sw, xOnChar_, xOffChar_);
      hwFlowOptions_ = THWFlowOptionSet::FromBits(hw & 0x0F);
      swFlowOptions_ = static_cast<TSWFlowOptions>(sw & 3);
    }
    const Integer r = OpenDispatcher();
    if (r != 0) {
      RaiseOpenError(r);
      // Not raised (the port is being loaded): it stays closed all the same.
      open_ = false;
      TSioBaseDispatcher* d = dispatcher_;
      dispatcher_ = nullptr;
      FreeObject(d);
      return;
    }
    {
      lineState_ = TLineState::Open;
      UpdateHandlerFlags();
      force_ = true;
      SetTracing(tracing_);
      SetLogging(logging_);
      SetHWFlowOptions(hwFlowOptions_);
      SetSWFlowOptions(swFlowOptions_);
      SetXOnChar(xOnChar_);
      SetXOffChar(xOffChar_);
      SetAvailLength(availLength_);
      SetDTR(dtr_);
      SetRTS(rts_);
      SetUseEventWord(useEventWord_);
      SetRS485Mode(rs485Mode_);
      SetBoostLevel(boostLevel_);
      force_ = false;
      open_ = true;
      RegisterComWindow(true);
      if (haveSavedTrigs_) {
        haveSavedTrigs_ = false;
        dispatcher_->RestoreTrigs(savedTrigs_);
      }
      PortOpen();
    }
  } catch (...) {
    force_ = false;
    open_ = false;
    lineState_ = TLineState::Closed;
    if (notifyWindow_ != nullptr) RegisterComWindow(false);
    TSioBaseDispatcher* d = dispatcher_;
    dispatcher_ = nullptr;
    FreeObject(d);
    throw;
  }
}

void TSioCustomComPort::ValidateComport() {
  if (comNumber_ != 0) return;
  if (!promptForPort_ || g_prompt == nullptr) throw ENoPortSelected(ecNoPortSelected);
  const Word chosen = g_prompt(this);
  if (chosen == 0) throw ENoPortSelected(ecNoPortSelected);
  comNumber_ = chosen;
}

TSioBaseDispatcher* TSioCustomComPort::CreateDispatcher() {
  if (DispatcherFactory) return DispatcherFactory(this);
  if (deviceLayer_ != dlWin32) throw ENullApi(ecNullApi);
  if (tapiMode_ == tmOn)
    return NewObject<TSioTAPI32Dispatcher>(this, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(tapiHandle_)));
  return NewObject<TSioWin32Dispatcher>(this);
}

Integer TSioCustomComPort::OpenDispatcher() {
  const String name = ComDeviceName(comNumber_);
  Cardinal options = 0;
  if (dtr_) options |= kOptionDtrOn;
  if (rts_) options |= kOptionRtsOn;
  if (hwFlowOptions_.Contains(hwfUseDTR)) options |= kOptionDtrFlow;
  if (hwFlowOptions_.Contains(hwfUseRTS)) options |= kOptionRtsFlow;
  TSioBaseDispatcher* d = GetDispatcher();
  return d->OpenLine(tapiMode_ == tmOn ? nullptr : name.c_str(), baud_, parity_, dataBits_, stopBits_, inSize_,
                     outSize_, options);
}

void TSioCustomComPort::RegisterComWindow(bool Register) {
  if (Register) {
    WNDCLASS existing;
    if (!GetClassInfo(HInstance, kWindowClass, &existing)) {
      WNDCLASS wc;
      wc.style = 0;
      wc.lpfnWndProc = &TSioCustomComPort::ComWindowProc;
      wc.cbWndExtra = 4;
      wc.hInstance = HInstance;
      wc.lpszClassName = kWindowClass;
      RegisterClass(&wc);
    }
    notifyWindow_ = CreateWindowEx(0, kWindowClass, "", 0, 0, 0, 0, 0, nullptr, nullptr, HInstance, nullptr);
    if (dispatcher_ != nullptr) dispatcher_->AddWindowTarget(notifyWindow_);
    return;
  }
  if (notifyWindow_ == nullptr) return;
  if (dispatcher_ != nullptr) dispatcher_->RemoveWindowTarget(notifyWindow_);
  HWND w = notifyWindow_;
  notifyWindow_ = nullptr;
  if (dispatcher_ != nullptr) KillTimer(w, kCloseRetryTimer + dispatcher_->TableIndex());
  DestroyWindow(w);
}

void TSioCustomComPort::UpdateHandlerFlags() {
  if (lineState_ != TLineState::Open || dispatcher_ == nullptr) return;
  const bool any = onTrigger_.Assigned() || onTriggerAvail_.Assigned() || onTriggerData_.Assigned() ||
                   onTriggerStatus_.Assigned() || onTriggerTimer_.Assigned() || onTriggerLineError_.Assigned() ||
                   onTriggerModemStatus_.Assigned() || onTriggerOutbuffFree_.Assigned() ||
                   onTriggerOutbuffUsed_.Assigned() || onTriggerOutSent_.Assigned();
  dispatcher_->SetTargetState(any ? 1 : 2);
}

void TSioCustomComPort::ClosePort() {
  if (!open_ || dispatcher_ == nullptr || lineState_ == TLineState::Closing) return;
  // A dump that cannot be written does not keep the port open: the close goes on as after a written
  // dump (tracing and logging end), and the first error is raised once the port is closed.
  std::exception_ptr dumpError;
  try {
    SetTracing(tlDump);
  } catch (...) {
    dumpError = std::current_exception();
    tracing_ = tlOff;
  }
  try {
    SetLogging(tlDump);
  } catch (...) {
    if (!dumpError) dumpError = std::current_exception();
    logging_ = tlOff;
  }
  lineState_ = TLineState::Closing;
  PortClosing();
  dispatcher_->SaveTrigs(savedTrigs_);
  haveSavedTrigs_ = true;
  dispatcher_->CloseLine();
  if (dispatcher_->CloseDuringNotify()) {
    // Inside a notification: the dispatch thread lets go at the end of its pass; the close finishes later.
    PostMessage(notifyWindow_, SIO_PORTCLOSING, 0, static_cast<LPARAM>(dispatcher_->TableIndex()) * 65536);
    PumpMessage();
  } else {
    FinishClose();
  }
  PortClose();
  if (dumpError) std::rethrow_exception(dumpError);
}

void TSioCustomComPort::FinishClose() {
  RegisterComWindow(false);
  TSioBaseDispatcher* d = dispatcher_;
  dispatcher_ = nullptr;
  FreeObject(d);
  lineState_ = TLineState::Closed;
  open_ = false;
}

void TSioCustomComPort::CompleteDeferredClose() {
  if (dispatcher_ == nullptr || lineState_ != TLineState::Closing) return;
  if (dispatcher_->ThreadsRunning() || dispatcher_->LiveThreads() > 0) {
    // Not yet: look again shortly rather than spinning on posted messages.
    SetTimer(notifyWindow_, kCloseRetryTimer + dispatcher_->TableIndex(), kCloseRetryMs, nullptr);
    return;
  }
  FinishClose();
  if (reopenPending_) {
    reopenPending_ = false;
    OpenPort();
  }
}

void TSioCustomComPort::PortOpen() {
  for (auto it = users_.rbegin(); it != users_.rend(); ++it) {
    if (it->Window != nullptr)
      SendMessage(it->Window, SIO_PORTOPENED, 0, 0);
    else if (it->UseState)
      it->OnState(this, 0);
    else
      it->OnOpened(this, true);
  }
  onPortOpen_(this);
}

void TSioCustomComPort::PortClose() {
  for (auto it = users_.rbegin(); it != users_.rend(); ++it) {
    if (it->Window != nullptr)
      SendMessage(it->Window, SIO_PORTCLOSED, 0, 0);
    else if (it->UseState)
      it->OnState(this, 2);
    else
      it->OnOpened(this, false);
  }
  onPortClose_(this);
}

void TSioCustomComPort::PortClosing() {
  for (auto it = users_.rbegin(); it != users_.rend(); ++it) {
    if (!it->UseState) continue;
    if (it->Window != nullptr)
      SendMessage(it->Window, SIO_PORTCLOSING, 0, 0);
    else
      it->OnState(this, 1);
  }
}

void TSioCustomComPort::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TSioCustomComPort*>(Source);
  if (src == nullptr) {
    inherited::Assign(Source);
    return;
  }
  users_ = src->users_;
  if (src->lineState_ == TLineState::Open && src->dispatcher_ != nullptr) {
    src->dispatcher_->SaveTrigs(savedTrigs_);
    haveSavedTrigs_ = true;
  }
  force_ = src->force_;
  deviceLayer_ = src->deviceLayer_;
  comNumber_ = src->comNumber_;
  baud_ = src->baud_;
  parity_ = src->parity_;
  dataBits_ = src->dataBits_;
  stopBits_ = src->stopBits_;
  inSize_ = src->inSize_;
  outSize_ = src->outSize_;
  autoOpen_ = src->autoOpen_;
  promptForPort_ = src->promptForPort_;
  rs485Mode_ = src->rs485Mode_;
  boostLevel_ = src->boostLevel_;
  dtr_ = src->dtr_;
  rts_ = src->rts_;
  bufferFull_ = src->bufferFull_;
  bufferResume_ = src->bufferResume_;
  hwFlowOptions_ = src->hwFlowOptions_;
  swFlowOptions_ = src->swFlowOptions_;
  xOnChar_ = src->xOnChar_;
  xOffChar_ = src->xOffChar_;
  tracing_ = src->tracing_;
  traceSize_ = src->traceSize_;
  traceName_ = src->traceName_;
  traceHex_ = src->traceHex_;
  traceAllHex_ = src->traceAllHex_;
  logging_ = src->logging_;
  logSize_ = src->logSize_;
  logName_ = src->logName_;
  logHex_ = src->logHex_;
  logAllHex_ = src->logAllHex_;
  availLength_ = src->availLength_;
  open_ = false;
  SetOnTrigger(src->onTrigger_);
  SetOnTriggerAvail(src->onTriggerAvail_);
  SetOnTriggerData(src->onTriggerData_);
  SetOnTriggerStatus(src->onTriggerStatus_);
  SetOnTriggerTimer(src->onTriggerTimer_);
  onPortOpen_ = src->onPortOpen_;
  onPortClose_ = src->onPortClose_;
  tapiMode_ = src->tapiMode_;
}

// ---------------------------------------------------------------------------------------------------------
// Operations

TSioBaseDispatcher* TSioCustomComPort::GetDispatcher() {
  if (dispatcher_ == nullptr && !Designing() && !Loading() && !open_ && autoOpen_) SetOpen(true);
  return dispatcher_;
}

TSioBaseDispatcher* TSioCustomComPort::RequireDispatcher() {
  TSioBaseDispatcher* d = GetDispatcher();
  if (d == nullptr) RaiseIfError(this, ecCommNotOpen);
  return d;  // null only while loading, when the error is not raised
}

Cardinal TSioCustomComPort::OutBuffUsed() {
  return lineState_ == TLineState::Open && dispatcher_ != nullptr ? dispatcher_->OutputCount() : 0;
}

void TSioCustomComPort::FlushInBuffer() {
  if (Closing()) return;
  if (TSioBaseDispatcher* d = RequireDispatcher()) RaiseIfError(this, d->PurgeInput());
}

void TSioCustomComPort::FlushOutBuffer() {
  if (Closing()) return;
  if (TSioBaseDispatcher* d = RequireDispatcher()) RaiseIfError(this, d->PurgeOutput());
}

bool TSioCustomComPort::CharReady() {
  if (Closing()) return false;
  TSioBaseDispatcher* d = RequireDispatcher();
  return d != nullptr && d->HasInput();
}

char TSioCustomComPort::GetChar() {
  if (Closing()) return 0;
  TSioBaseDispatcher* d = RequireDispatcher();
  if (d == nullptr) return 0;
  char c = 0;
  const Integer r = d->ReadByte(c);
  if (r != 0) {
    RaiseIfError(this, r);
    return 0;
  }
  return c;
}

Integer TSioCustomComPort::PutBlock(const void* Data, Word Len) {
  if (Closing()) return 0;
  if (TSioBaseDispatcher* d = RequireDispatcher()) RaiseIfError(this, d->QueueOutput(Data, Len));
  return 0;
}

void TSioCustomComPort::ProcessCommunications() {
  if (Closing()) return;
  if (TSioBaseDispatcher* d = RequireDispatcher()) RaiseIfError(this, d->Idle());
}

// ---------------------------------------------------------------------------------------------------------
// Properties

void TSioCustomComPort::SetDeviceLayer(TDeviceLayer Value) {
  if (Value == deviceLayer_ && !force_) return;
  if (lineState_ != TLineState::Closed || !supportedLayers_.Contains(Value)) return;
  deviceLayer_ = Value;
  DeviceLayerChanged();
}

void TSioCustomComPort::SetComNumber(Word Value) {
  if (Value == comNumber_) return;
  if (lineState_ != TLineState::Open || dispatcher_ == nullptr) {  // closed, closing, or only marked open while loading
    comNumber_ = Value;
    return;
  }
  // Close the old port and open the new one, keeping the triggers, trace and log.
  dispatcher_->SaveTrigs(savedTrigs_);
  const TTraceLogState tracing = tracing_, logging = logging_;
  SetOpen(false);
  comNumber_ = Value;
  SetTracing(tracing);
  SetLogging(logging);
  SetOpen(true);
  if (lineState_ == TLineState::Open && dispatcher_ != nullptr) dispatcher_->RestoreTrigs(savedTrigs_);
}

void TSioCustomComPort::SetBaud(Integer Value) {
  if (Value == baud_ && !force_) return;
  baud_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_)
    RaiseIfError(this, dispatcher_->SetLineParams(baud_, parity_, dataBits_, stopBits_));
}

void TSioCustomComPort::SetParity(TParity Value) {
  if (Value == parity_ && !force_) return;
  parity_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_)
    RaiseIfError(this, dispatcher_->SetLineParams(baud_, parity_, dataBits_, stopBits_));
}

void TSioCustomComPort::SetDataBits(Word Value) {
  if (Value == dataBits_ && !force_) return;
  dataBits_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_)
    RaiseIfError(this, dispatcher_->SetLineParams(baud_, parity_, dataBits_, stopBits_));
}

void TSioCustomComPort::SetStopBits(Word Value) {
  if (Value == stopBits_ && !force_) return;
  stopBits_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_)
    RaiseIfError(this, dispatcher_->SetLineParams(baud_, parity_, dataBits_, stopBits_));
}

void TSioCustomComPort::SetInSize(Word Value) {
  if (Value == inSize_ && !force_) return;
  inSize_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_) dispatcher_->SetupDeviceQueues(inSize_, outSize_);
}

void TSioCustomComPort::SetOutSize(Word Value) {
  if (Value == outSize_ && !force_) return;
  outSize_ = Value;  // the output ring keeps its size until the next open
  if (lineState_ == TLineState::Open && dispatcher_) dispatcher_->SetupDeviceQueues(inSize_, outSize_);
}

void TSioCustomComPort::SetDTR(bool Value) {
  if (Value == dtr_ && !force_) return;
  if (lineState_ == TLineState::Open && dispatcher_) {
    if (dispatcher_->SetDtrLine(Value) == 0) dtr_ = Value;
  } else {
    dtr_ = Value;
  }
}

void TSioCustomComPort::SetRTS(bool Value) {
  if (Value == rts_ && !force_) return;
  if (lineState_ == TLineState::Open && dispatcher_) {
    if (dispatcher_->SetRtsLine(Value) == 0) rts_ = Value;
  } else {
    rts_ = Value;
  }
}

void TSioCustomComPort::SetHWFlowOptions(THWFlowOptionSet Value) {
  if (Value == hwFlowOptions_ && !force_) return;
  Cardinal mask = 0;
  if (Value.Contains(hwfUseDTR)) mask |= 1;
  if (Value.Contains(hwfUseRTS)) mask |= 2;
  if (Value.Contains(hwfRequireDSR)) mask |= 4;
  if (Value.Contains(hwfRequireCTS)) mask |= 8;
  if (mask != 0) {
    if (bufferFull_ == 0 || bufferFull_ > inSize_) bufferFull_ = Trunc(inSize_ * 0.9);
    if (bufferResume_ == 0 || bufferResume_ > bufferFull_) bufferResume_ = Trunc(inSize_ * 0.1);
  }
  if (lineState_ == TLineState::Open && dispatcher_)
    RaiseIfError(this, dispatcher_->SetHardwareFlow(bufferFull_, bufferResume_, mask));
  hwFlowOptions_ = Value;
  if (Value.Contains(hwfUseRTS) || Value.Contains(hwfRequireCTS)) SetRS485Mode(false);
}

void TSioCustomComPort::SetSWFlowOptions(TSWFlowOptions Value) {
  if (Value == swFlowOptions_ && !force_) return;
  Cardinal option = 0;
  switch (Value) {
    case swfBoth: option = 3; break;
    case swfTransmit: option = 1; break;
    case swfReceive: option = 2; break;
    case swfNone: option = 0; break;
  }
  if (option != 0) {
    if (bufferFull_ == 0 || bufferFull_ > inSize_) bufferFull_ = Trunc(inSize_ * 0.75);
    if (bufferResume_ == 0 || bufferResume_ > bufferFull_) bufferResume_ = Trunc(inSize_ * 0.25);
  }
  if (lineState_ == TLineState::Open && dispatcher_)
    RaiseIfError(this, option != 0 ? dispatcher_->SetSoftwareFlow(bufferFull_, bufferResume_, option)
                                   : dispatcher_->ClearSoftwareFlow());
  swFlowOptions_ = Value;
}

void TSioCustomComPort::SetXOnChar(char Value) {
  if (Value == xOnChar_ && !force_) return;
  xOnChar_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_) dispatcher_->SetFlowChars(xOnChar_, xOffChar_);
}

void TSioCustomComPort::SetXOffChar(char Value) {
  if (Value == xOffChar_ && !force_) return;
  xOffChar_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_) dispatcher_->SetFlowChars(xOnChar_, xOffChar_);
}

void TSioCustomComPort::SetBufferFull(Word Value) {
  bufferFull_ = Value > inSize_ ? Trunc(inSize_ * 0.9) : Value;
  const bool saved = force_;
  force_ = true;
  SetHWFlowOptions(hwFlowOptions_);
  SetSWFlowOptions(swFlowOptions_);
  force_ = saved;
}

void TSioCustomComPort::SetBufferResume(Word Value) {
  bufferResume_ = Value > bufferFull_ ? Trunc(bufferFull_ * 0.1) : Value;
  const bool saved = force_;
  force_ = true;
  SetHWFlowOptions(hwFlowOptions_);
  SetSWFlowOptions(swFlowOptions_);
  force_ = saved;
}

void TSioCustomComPort::SetUseEventWord(bool Value) {
  if (Value == useEventWord_ && !force_) return;
  useEventWord_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_) {
    if (Value)
      dispatcher_->SetOptionBit(4);
    else
      dispatcher_->ClearOptionBit(4);
  }
}

void TSioCustomComPort::SetRS485Mode(bool Value) {
  if (Value == rs485Mode_ && !force_) return;
  rs485Mode_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_) dispatcher_->SetRs485(Value);
  if (Value) {
    THWFlowOptionSet options = hwFlowOptions_;
    options.Exclude(hwfUseRTS).Exclude(hwfRequireCTS);
    SetHWFlowOptions(options);
    SetRTS(false);
  }
}

void TSioCustomComPort::SetBoostLevel(Byte Value) {
  if (Value == boostLevel_ && !force_) return;
  boostLevel_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_) dispatcher_->SetPriorityBoost(Value);
}

void TSioCustomComPort::SetAvailLength(Word Value) {
  if (Value == availLength_ && !force_) return;
  availLength_ = Value;
  if (lineState_ == TLineState::Open && dispatcher_) dispatcher_->SetAvailThreshold(Value);
}

void TSioCustomComPort::SetOnTrigger(const TTriggerEvent& Value) {
  onTrigger_ = Value;
  UpdateHandlerFlags();
}
void TSioCustomComPort::SetOnTriggerAvail(const TTriggerAvailEvent& Value) {
  onTriggerAvail_ = Value;
  UpdateHandlerFlags();
}
void TSioCustomComPort::SetOnTriggerData(const TTriggerDataEvent& Value) {
  onTriggerData_ = Value;
  UpdateHandlerFlags();
}
void TSioCustomComPort::SetOnTriggerStatus(const TTriggerStatusEvent& Value) {
  onTriggerStatus_ = Value;
  UpdateHandlerFlags();
}
void TSioCustomComPort::SetOnTriggerTimer(const TTriggerTimerEvent& Value) {
  onTriggerTimer_ = Value;
  UpdateHandlerFlags();
}
void TSioCustomComPort::SetOnTriggerLineError(const TTriggerLineErrorEvent& Value) {
  onTriggerLineError_ = Value;
  UpdateHandlerFlags();
}
void TSioCustomComPort::SetOnTriggerModemStatus(const TNotifyEvent& Value) {
  onTriggerModemStatus_ = Value;
  UpdateHandlerFlags();
}
void TSioCustomComPort::SetOnTriggerOutbuffFree(const TNotifyEvent& Value) {
  onTriggerOutbuffFree_ = Value;
  UpdateHandlerFlags();
}
void TSioCustomComPort::SetOnTriggerOutbuffUsed(const TNotifyEvent& Value) {
  onTriggerOutbuffUsed_ = Value;
  UpdateHandlerFlags();
}
void TSioCustomComPort::SetOnTriggerOutSent(const TNotifyEvent& Value) {
  onTriggerOutSent_ = Value;
  UpdateHandlerFlags();
}

// ---------------------------------------------------------------------------------------------------------
// Trace and log

void TSioCustomComPort::SetTracing(TTraceLogState Value) {
  if (Value == tracing_ && !force_) return;
  if (lineState_ != TLineState::Open || dispatcher_ == nullptr) {
    tracing_ = Value > tlOn ? tlOff : Value;
    return;
  }
  const bool active = tracing_ == tlOn || tracing_ == tlPause;
  switch (Value) {
    case tlOff:
      if (active) DiscardTrace();
      break;
    case tlOn:
      if (tracing_ == tlPause)
        ResumeTrace();
      else
        BeginTrace(traceSize_);
      break;
    case tlDump:
      if (active) {
        ResumeTrace();
        WriteTraceFile(traceName_, traceHex_);
      }
      break;
    case tlAppend:
      if (active) {
        ResumeTrace();
        AppendTraceFile(traceName_, traceHex_);
      }
      break;
    case tlClear:
      if (active) EmptyTrace();
      break;
    case tlPause:
      if (tracing_ == tlOn) PauseTrace();
      break;
  }
}

void TSioCustomComPort::SetLogging(TTraceLogState Value) {
  if (Value == logging_ && !force_) return;
  if (lineState_ != TLineState::Open || dispatcher_ == nullptr) {
    logging_ = Value > tlOn ? tlOff : Value;
    return;
  }
  const bool active = logging_ == tlOn || logging_ == tlPause;
  switch (Value) {
    case tlOff:
      if (active) DiscardLog();
      break;
    case tlOn:
      if (logging_ == tlPause)
        ResumeLog();
      else
        BeginLog(logSize_);
      break;
    case tlDump:
      if (active) {
        ResumeLog();
        WriteLogFile(logName_, logHex_);
      }
      break;
    case tlAppend:
      if (active) {
        ResumeLog();
        AppendLogFile(logName_, logHex_);
      }
      break;
    case tlClear:
      if (active) EmptyLog();
      break;
    case tlPause:
      if (logging_ == tlOn) PauseLog();
      break;
  }
}

void TSioCustomComPort::SetTraceSize(Cardinal Value) {
  if (Value == traceSize_) return;
  traceSize_ = std::min<Cardinal>(Value, 4000000);
  if (lineState_ == TLineState::Open && dispatcher_ && (tracing_ == tlOn || tracing_ == tlPause)) {
    const TTraceLogState former = tracing_;
    DiscardTrace();
    SetTracing(former);
  }
}

void TSioCustomComPort::SetLogSize(Cardinal Value) {
  if (Value == logSize_) return;
  logSize_ = std::min<Cardinal>(Value, 16000000);
  if (lineState_ == TLineState::Open && dispatcher_ && (logging_ == tlOn || logging_ == tlPause)) {
    const TTraceLogState former = logging_;
    DiscardLog();
    SetLogging(former);
  }
}

// Each trace and log operation works on an open port and does nothing while it closes.
#define K58_SIO_OPEN_DISPATCHER()                          \
  if (lineState_ != TLineState::Open || dispatcher_ == nullptr) return;   \
  TSioBaseDispatcher& d = *dispatcher_

void TSioCustomComPort::BeginTrace(Cardinal N) {
  K58_SIO_OPEN_DISPATCHER();
  if (N != 0) traceSize_ = std::min<Cardinal>(N, 4000000);
  RaiseIfError(this, d.TraceAlloc(N != 0 ? N : traceSize_));
  tracing_ = tlOn;
}

void TSioCustomComPort::WriteTraceFile(const String& Name, bool InHex) {
  K58_SIO_OPEN_DISPATCHER();
  RaiseIfError(this, d.TraceDump(Name, false, InHex, traceAllHex_));
  tracing_ = tlOff;
}

void TSioCustomComPort::AppendTraceFile(const String& Name, bool InHex) {
  K58_SIO_OPEN_DISPATCHER();
  RaiseIfError(this, d.TraceDump(Name, true, InHex, traceAllHex_));
  tracing_ = tlOff;
}

void TSioCustomComPort::EmptyTrace() {
  K58_SIO_OPEN_DISPATCHER();
  RaiseIfError(this, d.TraceReset());
}

void TSioCustomComPort::DiscardTrace() {
  K58_SIO_OPEN_DISPATCHER();
  d.TraceFree();
  tracing_ = tlOff;
}

void TSioCustomComPort::ResumeTrace() {
  K58_SIO_OPEN_DISPATCHER();
  d.TraceResume();
  tracing_ = tlOn;
}

void TSioCustomComPort::PauseTrace() {
  K58_SIO_OPEN_DISPATCHER();
  d.TracePause();
  tracing_ = tlPause;
}

void TSioCustomComPort::BeginLog(Cardinal N) {
  K58_SIO_OPEN_DISPATCHER();
  if (N != 0) logSize_ = std::min<Cardinal>(N, 16000000);
  d.LogAlloc(logSize_);
  logging_ = tlOn;
}

void TSioCustomComPort::WriteLogFile(const String& Name, bool InHex) {
  K58_SIO_OPEN_DISPATCHER();
  RaiseIfError(this, d.LogDump(Name, false, InHex, logAllHex_));
  logging_ = tlOff;
}

void TSioCustomComPort::AppendLogFile(const String& Name, bool InHex) {
  K58_SIO_OPEN_DISPATCHER();
  RaiseIfError(this, d.LogDump(Name, true, InHex, logAllHex_));
  logging_ = tlOff;
}

void TSioCustomComPort::EmptyLog() {
  K58_SIO_OPEN_DISPATCHER();
  d.LogReset();
}

void TSioCustomComPort::DiscardLog() {
  K58_SIO_OPEN_DISPATCHER();
  d.LogFree();
  logging_ = tlOff;
}

void TSioCustomComPort::ResumeLog() {
  K58_SIO_OPEN_DISPATCHER();
  d.LogResume();
  logging_ = tlOn;
}

void TSioCustomComPort::PauseLog() {
  K58_SIO_OPEN_DISPATCHER();
  d.LogPause();
  logging_ = tlPause;
}

#undef K58_SIO_OPEN_DISPATCHER

// ---------------------------------------------------------------------------------------------------------
// Events

void TSioCustomComPort::DoTrigger(Word Msg, Word TriggerHandle, Word Data) { onTrigger_(this, Msg, TriggerHandle, Data); }
void TSioCustomComPort::DoTriggerAvail(Word Count) { onTriggerAvail_(this, Count); }
void TSioCustomComPort::DoTriggerData(Word TriggerHandle) { onTriggerData_(this, TriggerHandle); }
void TSioCustomComPort::DoTriggerStatus(Word TriggerHandle) { onTriggerStatus_(this, TriggerHandle); }
void TSioCustomComPort::DoTriggerTimer(Word TriggerHandle) { onTriggerTimer_(this, TriggerHandle); }
void TSioCustomComPort::DoTriggerLineError(Word Error, bool LineBreak) { onTriggerLineError_(this, Error, LineBreak); }
void TSioCustomComPort::DoTriggerModemStatus() { onTriggerModemStatus_(this); }
void TSioCustomComPort::DoTriggerOutbuffFree() { onTriggerOutbuffFree_(this); }
void TSioCustomComPort::DoTriggerOutbuffUsed() { onTriggerOutbuffUsed_(this); }
void TSioCustomComPort::DoTriggerOutSent() { onTriggerOutSent_(this); }
void TSioCustomComPort::DoWaitChar(char C) { waitCharEvent_(this, C); }

LRESULT TSioCustomComPort::ComWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  Integer index;
  if (Msg == WM_TIMER && WParam >= kCloseRetryTimer && WParam < kCloseRetryTimer + 0x10000) {
    KillTimer(Window, WParam);
    index = static_cast<Integer>(WParam - kCloseRetryTimer);
    Msg = SIO_PORTCLOSING;
  } else if ((Msg >= SIO_TRIGGERAVAIL && Msg <= SIO_TRIGGERSTATUS) || Msg == SIO_PORTCLOSING) {
    index = static_cast<Integer>(HIWORD(static_cast<DWORD_PTR>(LParam)));
  } else {
    return DefWindowProc(Window, Msg, WParam, LParam);
  }
  TDispatcherTable& table = TDispatcherTable::Instance();
  // Held for the whole message; it is re-entrant, so a handler may close the port.
  std::lock_guard<std::recursive_mutex> guard(table.Lock());
  TSioBaseDispatcher* d = table.At(index);
  if (d == nullptr || d->OwnerPort() == nullptr) return 0;
  TSioCustomComPort* port = d->OwnerPort();
  // A handler may close or free the port: look again before each further call.
  auto still = [&] { return table.At(index) == d && d->OwnerPort() == port; };
  const Word data = LOWORD(static_cast<DWORD_PTR>(LParam));
  const Word w = static_cast<Word>(WParam);
  try {
    switch (Msg) {
      case SIO_TRIGGERAVAIL:
        port->DoTrigger(static_cast<Word>(Msg), w, w);
        if (still()) port->DoTriggerAvail(w);
        break;
      case SIO_TRIGGERDATA:
        port->DoTrigger(static_cast<Word>(Msg), w, data);
        if (still()) port->DoTriggerData(w);
        break;
      case SIO_TRIGGERTIMER:
        port->DoTrigger(static_cast<Word>(Msg), w, data);
        if (still()) port->DoTriggerTimer(w);
        break;
      case SIO_TRIGGERSTATUS:
        port->DoTrigger(static_cast<Word>(Msg), w, data);
        if (!still()) break;
        port->DoTriggerStatus(w);
        if (!still()) break;
        switch (w & 7) {
          case 1: port->DoTriggerModemStatus(); break;
          case 2: {
            const Integer error = d->TakeLineError();
            port->DoTriggerLineError(static_cast<Word>(error), d->TakeBreak());
            break;
          }
          case 3: port->DoTriggerOutbuffFree(); break;
          case 4: port->DoTriggerOutbuffUsed(); break;
          case 5: port->DoTriggerOutSent(); break;
          default: break;
        }
        break;
      case SIO_PORTCLOSING:
        if (Window == port->notifyWindow_) port->CompleteDeferredClose();
        break;
      default: break;
    }
  } catch (...) {
    HandleUtilWindowException(port);  // shown by the application, never through the message loop
  }
  return 0;
}
