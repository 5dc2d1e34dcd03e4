// The radio programming link shared by the read and the write dialogs: the port and dialog seams the
// protocol runs against, the one-shot timers that guard every step, and the common half of the protocol
// (opening the port, the receive buffer filled from the port's data-available event, the handshake and
// the acknowledge frames, draining the output, the time-outs).
//
// Everything here runs on the main thread. Bytes arrive only through myPortTrigger; timers fire only
// inside a message loop (the dialog's modal loop, or the nested loop of a message box); the sleeps block
// the thread without handling messages.
//
// A dialog uses it like this: it implements IRadioDialog, creates the protocol with a port
// (MakeComRadioPort(), or a TComRadioPort over its own port component), translates itself on show and
// then forwards FormShow, and forwards btnOkClick, btnCancelClick and FormClose. The protocol wires the
// port's trigger event and owns its timers. The message box handlers guard against the nested message
// loop of a box: a notification that arrives while one is being handled is dropped, and a refused ident
// leaves the ident state before its box is shown.
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "platform/rtl/Types.h"
#include "platform/rtl/WinTypes.h"

class TObject;
class TMacType;

// Notification of the port component: unread input is available (TriggerHandle = Data = unread count).
constexpr Word DataAvailableMessage = 0x7E01;

// Line of the radio: 2400 baud, 8 data bits, no parity, 2 stop bits.
constexpr Integer RadioBaud = 2400;
constexpr Word RadioDataBits = 8;
constexpr Word RadioStopBits = 2;

// Protocol bytes.
constexpr Byte RadioAck = 0x06;
constexpr Byte RadioIdentRequest = 0x02;
constexpr Byte RadioReadBlock = 'R';
constexpr Byte RadioWriteBlock = 'W';
constexpr Byte RadioEnd = 'E';
constexpr Integer RadioBlockSize = 8;
constexpr Integer RadioEndAddress = 0x170;  // one past the last block (0x168)
constexpr Integer RadioIdentSize = 16;

// Message box kinds (results: IDOK 1, IDYES 6, IDNO 7).
constexpr Integer mbInformation = 1;
constexpr Integer mbQuestion = 2;
// A question whose default button is No, for answers that must not be given by pressing Enter.
constexpr Integer mbQuestionDefaultNo = 23;

// Protocol states.
enum TRadioState : Integer {
  rsIdle = 0,
  rsHandshakeSent = 1,
  rsIdentRequested = 2,
  rsTransferring = 3,
  // The ident was refused (wrong model, or the user declined to force the write): replies are ignored
  // until the user cancels or starts again.
  rsRefused = 4,
};

// The serial port as the protocol drives it; the dialog owns one per use. Calls on a closed port open
// it first (the component's automatic open), and failures raise.
class IRadioPort {
public:
  virtual ~IRadioPort() = default;

  virtual void SetComNumber(Word Number) = 0;
  // Baud, no parity, data bits and stop bits.
  virtual void SetLine(Integer Baud, Word DataBits, Word StopBits) = 0;
  virtual void SetOpen(bool Value) = 0;
  virtual bool Open() const = 0;
  virtual void FlushInBuffer() = 0;
  virtual void FlushOutBuffer() = 0;
  virtual void PutBlock(const Byte* Data, Word Len) = 0;
  virtual bool CharReady() = 0;
  virtual Byte GetChar() = 0;
  // Bytes queued for output whose write has not completed.
  virtual Cardinal OutBuffUsed() = 0;
  // The port's trigger event (Msg, TriggerHandle, Data), delivered on the main thread.
  using TTriggerHandler = std::function<void(Word Msg, Word TriggerHandle, Word Data)>;
  virtual void SetOnTrigger(TTriggerHandler Handler) = 0;
};

// What the dialog window provides to the protocol.
class IRadioDialog {
public:
  virtual ~IRadioDialog() = default;

  // The application's message box (kinds mbInformation and mbQuestion); runs a nested message loop and
  // returns the button pressed.
  virtual Integer ShowMessageBox(const String& Caption, const String& Text, Integer Kind) = 0;
  virtual void SetProgressMax(Integer Max) = 0;
  virtual void SetProgress(Integer Position) = 0;
  virtual void SetOkEnabled(bool Enabled) = 0;
  // Closes the modal dialog; the dialog then runs FormClose.
  virtual void CloseDialog() = 0;
  // Empties the dialog's hidden log.
  virtual void ClearLog() = 0;
};

namespace k58::app {

// Runs a protocol step that the dialog's modal loop started (a timer, the port's event, a close) and drops
// any exception it raises. An exception must not reach the modal loop: it would end the dialog without a
// word. Nothing the user needs is lost: a port that fails leaves its reply incomplete, and the timer that
// guards every step then reports ComError.
void RunStepQuietly(const std::function<void()>& Step);

// Closes Port and drops a failure of the close: the component lets go of its device either way, and a
// dialog that closes its port has nothing left to tell the user about it.
void ClosePortQuietly(IRadioPort& Port);

}  // namespace k58::app

// A one-shot window timer: enabling arms it for Interval milliseconds from now (enabling an armed timer
// changes nothing); it disables itself before running OnTimer. Main thread only.
class TRadioTimer {
public:
  TRadioTimer(UINT Interval, std::function<void()> OnTimer);
  ~TRadioTimer();
  TRadioTimer(const TRadioTimer&) = delete;
  TRadioTimer& operator=(const TRadioTimer&) = delete;

  void SetEnabled(bool Value);
  bool Enabled() const { return id_ != 0; }
  UINT Interval() const { return interval_; }

private:
  static void TimerProc(HWND Window, UINT Msg, UINT_PTR Id, DWORD Time);

  UINT interval_;
  std::function<void()> onTimer_;
  UINT_PTR id_ = 0;
};

// The half of the protocol both dialogs share. The dialog forwards its events (FormShow, btnOkClick,
// ...) to the methods of the same name.
class TRadioProtocol {
public:
  static constexpr Integer ProgressMax = 44;
  static constexpr Integer BufferSize = 49;  // receive buffer, indexes 0 to 48

  virtual ~TRadioProtocol();
  TRadioProtocol(const TRadioProtocol&) = delete;
  TRadioProtocol& operator=(const TRadioProtocol&) = delete;

  // Dialog events.
  virtual void FormShow() = 0;
  void FormClose();
  virtual void btnOkClick() = 0;
  void btnCancelClick();
  void HeadTimeTimer();
  virtual void TryTimeTimer() = 0;
  void CloseTimeTimer();
  // The port's trigger event; only data-available notifications count.
  void myPortTrigger(TObject* CP, Word Msg, Word TriggerHandle, Word Data);

  // Guards of the protocol steps.
  TRadioTimer HeadTime;   // handshake and ident, 500 ms
  TRadioTimer TryTime;    // every step of the block transfer, 450 ms
  TRadioTimer CloseTime;  // closes the dialog, 300 ms

  Integer State() const { return state_; }
  Integer Progress() const { return progress_; }
  bool ErrorShown() const { return errorShown_; }
  IRadioPort& Port() { return *port_; }

protected:
  // PollInterval and MaxPolls pace WaitOutputDrained.
  TRadioProtocol(IRadioDialog& Dialog, std::unique_ptr<IRadioPort> Port, DWORD PollInterval, Integer MaxPolls);

  // The step that answers a complete reply in the receive buffer.
  virtual void HandleReply() = 0;

  // The number of the port PortName names; raises when it names none.
  static Word PortNumber();
  // Sends the 7 handshake characters with 2 ms pauses (state 1, one byte expected).
  void SendHandshake();
  // Sets the expected reply length, clears the receive count and queues Data; with Drain waits until
  // the bytes have left.
  void SendFrame(const Byte* Data, Word Len, Integer Expected, bool Drain);
  void SendByte(Byte Value, Integer Expected, bool Drain) { SendFrame(&Value, 1, Expected, Drain); }
  // Polls the port's output until it is empty, at most MaxPolls times PollInterval; returns in any case.
  void WaitOutputDrained();
  // Acknowledges (awaiting the radio's acknowledge) and arms TryTime.
  void SendAck();
  // True when the ident reply answers the handshake: 0x06 in one of the first two received bytes.
  bool IsHandshakeAnswer() const;
  // The type code of the ident reply (received bytes 1 to 4 as text).
  String IdentTypeCode() const;

  void SetProgress(Integer Position);
  // The message box with the confirmation caption.
  Integer ShowMessage(const String& Text, Integer Kind = mbInformation);
  // Shows Text unless an error was already shown in this attempt.
  void ShowErrorOnce(const String& Text);
  virtual void DisarmTimers();

  IRadioDialog& dialog_;
  std::unique_ptr<IRadioPort> port_;
  Integer state_ = rsIdle;
  Integer expected_ = 0;
  std::array<Byte, BufferSize> buffer_{};
  Integer count_ = 0;
  bool awaitingAck_ = false;
  Integer address_ = -RadioBlockSize;
  bool errorShown_ = false;
  Integer progress_ = 0;

private:
  DWORD pollInterval_;
  Integer maxPolls_;
  bool inTrigger_ = false;
};
