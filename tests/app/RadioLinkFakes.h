// A radio, a serial line and a port in one process, all on the manual platform clock, for running the
// read and write protocols without a pseudo-terminal and without waiting.
//
// The line carries each byte in one character time (2400 baud, 11 bits, by default) in both directions;
// the radio answers the programming protocol like the simulated radio on the pseudo-terminal and takes
// the same fault descriptions. The port mimics the port component as the protocol sees it: input reaches
// the protocol only through data-available notifications handled on the test thread, a notification
// carries the unread count taken when it was sent, no new one is sent while one is being handled
// (unless the handler has run for three seconds: the dispatcher then stops waiting), and a flush leaves
// an announced notification to arrive with nothing behind it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <queue>
#include <string>
#include <vector>

#include "app/AllClass.h"
#include "app/RadioLink.h"
#include "platform/win/core/Clock.h"
#include "tests/app/AppTestSupport.h"
#include "tests/sim/RadioSim.h"

namespace app_test {

using Bytes = std::vector<uint8_t>;

struct TLinkOptions {
  uint64_t CharNs = 11ull * 1000000000ull / 2400;  // one character at 2400 baud, 11 bits
  int ReplyDelayMs = 2;
  int WriteDelayMs = 10;
  int IdleTimeoutMs = 2000;
  bool Echo = false;
};

// Everything on the far side of IRadioPort: the port's state, the line and the radio.
class TFakeLink {
public:
  explicit TFakeLink(const TLinkOptions& Options = TLinkOptions());

  TLinkOptions& Options() { return options_; }

  // The port the protocol owns; it forwards to this link.
  std::unique_ptr<IRadioPort> MakePort();

  // --- the radio ---
  sim_test::Memory Memory;
  void AddFault(const sim_test::Fault& Fault) { faults_.push_back(Fault); }
  void SetTypeCode(const std::string& Code);
  bool Disconnected() const { return disconnected_; }

  // Everything the radio received and sent, and the frames it understood.
  Bytes HostBytes() const;
  Bytes RadioBytes() const;
  std::vector<sim_test::HostFrame> Frames;
  int LineErrors = 0;  // bytes ignored because the line was not 2400 8N2

  // --- the port ---
  // Opening fails with this message when set.
  std::optional<std::string> OpenFailure;
  bool Open = false;
  int OpenCount = 0;
  Word ComNumber = 0;
  Integer Baud = 0;
  Word DataBits = 0;
  Word StopBits = 0;
  int Notifications = 0;   // data-available notifications delivered
  int NestedNotifications = 0;  // delivered while another one was being handled
  // The radio sends Reply starting AfterMs from now, whatever its state.
  void SendFromRadio(const Bytes& Reply, uint64_t AfterMs);
  // While set, received bytes become readable but no notification is delivered.
  bool HoldNotifications = false;
  // Announces Count unread bytes now, whatever the input holds (a late notification).
  void InjectNotification(Word Count) { pending_ = Count; }

  // Processes the line up to the clock's time, then delivers a due notification and the due timers.
  void Pump();
  // Pumps while moving the clock on 1 ms at a time, for Ms milliseconds or until Until() holds.
  void RunFor(uint64_t Ms, const std::function<bool()>& Until = nullptr);
  uint64_t NowMs() const;

private:
  friend class TFakePort;
  enum class TRadioState { Idle, Handshaken, Idented, Ready };
  enum class TEventKind { HostByte, RadioByte };
  struct TEvent {
    uint64_t At;
    uint64_t Seq;
    TEventKind Kind;
    uint8_t Value;
    bool operator>(const TEvent& Other) const { return At != Other.At ? At > Other.At : Seq > Other.Seq; }
  };
  struct TLogged {
    bool FromHost;
    uint8_t Value;
    uint64_t At;
  };

  void Sync();
  void Schedule(uint64_t At, TEventKind Kind, uint8_t Value);
  void HostSend(const Byte* Data, Word Len);
  Cardinal HostPending() const;
  void RadioSend(const Bytes& Reply, uint64_t At);
  void OnRadioByte(uint8_t Value, uint64_t At);
  void HandleFrame(sim_test::Step Step, int Address, Bytes Frame, uint64_t At);
  void Answer(sim_test::Step Step, int Address, Bytes Reply, uint64_t At, const sim_test::Fault* Taken = nullptr);
  bool TakeFault(sim_test::Step Step, int Address, sim_test::Fault& Out);
  void EnsureOpen();
  bool DispatcherFree() const;

  TLinkOptions options_;
  std::priority_queue<TEvent, std::vector<TEvent>, std::greater<TEvent>> events_;
  uint64_t seq_ = 0;
  uint64_t hostLineFree_ = 0;
  uint64_t radioLineFree_ = 0;
  std::vector<TLogged> log_;
  std::vector<sim_test::Fault> faults_;
  bool disconnected_ = false;

  TRadioState state_ = TRadioState::Idle;
  Bytes window_;
  Bytes frame_;
  int lastBlock_ = -1;
  uint64_t lastInput_ = 0;

  std::deque<uint8_t> device_;  // received by the device, not yet taken by the dispatcher
  std::deque<uint8_t> input_;   // the dispatcher's ring: what CharReady/GetChar see
  bool newInput_ = false;
  std::optional<Word> pending_;
  int triggerDepth_ = 0;
  uint64_t triggerStart_ = 0;
  IRadioPort::TTriggerHandler onTrigger_;
};

// What the dialog shows, as the protocol reported it.
struct TShownBox {
  String Caption;
  String Text;
  Integer Kind = 0;
  uint64_t AtMs = 0;
};

class TFakeDialog : public IRadioDialog {
public:
  explicit TFakeDialog(TFakeLink& Link) : link_(Link) {}

  Integer ShowMessageBox(const String& Caption, const String& Text, Integer Kind) override;
  void SetProgressMax(Integer Max) override { ProgressMax = Max; }
  void SetProgress(Integer Position) override { Progress.push_back(Position); }
  void SetOkEnabled(bool Enabled) override { OkEnabled = Enabled; }
  void CloseDialog() override { CloseRequested = true; }
  void ClearLog() override { ++LogClears; }

  // Texts of the boxes shown, in order.
  std::vector<String> Texts() const;

  std::vector<TShownBox> Boxes;
  // The button pressed in a question box (IDYES 6, IDNO 7).
  Integer Answer = 6;
  // How long a box stays up; its nested loop keeps handling notifications and timers meanwhile.
  uint64_t DwellMs = 800;
  Integer ProgressMax = 0;
  std::vector<Integer> Progress;
  bool OkEnabled = true;
  bool CloseRequested = false;
  int LogClears = 0;

private:
  TFakeLink& link_;
};

// The host bytes of a complete read and of a complete write of Memory (without the new password).
Bytes ReadSequence();
Bytes WriteSequence(const TMemoryImage& Image);

// A started document (default model and band, blank image, port "COM3"), a protocol on a fake link and
// a fake dialog, on a manual clock.
class RadioProtocolTest : public app_test::DocumentTest {
protected:
  void SetUp() override;
  void TearDown() override;

  template <class TProtocol>
  TProtocol& Make() {
    auto Made = std::make_unique<TProtocol>(Dialog, Link.MakePort());
    TProtocol& Result = *Made;
    Proto = std::move(Made);
    return Result;
  }
  // The dialog is shown: FormShow, then its loop runs for a moment.
  void Show();
  // OK is pressed.
  void PressOk();
  // Runs the dialog's loop until the dialog closes itself (then FormClose runs) or MaxMs pass; true
  // when it closed.
  bool RunUntilClosed(uint64_t MaxMs = 30000);
  // Runs the dialog's loop for Ms (stops early when the dialog closes itself).
  void Run(uint64_t Ms) { RunUntilClosed(Ms); }
  // The user presses Cancel.
  void Cancel();

  k58::wincore::ScopedManualClock Clock{1000000};
  TFakeLink Link;
  TFakeDialog Dialog{Link};
  std::unique_ptr<TRadioProtocol> Proto;
  bool Closed = false;
  uint64_t OkAtMs = 0;      // when OK was last pressed
  uint64_t ClosedAtMs = 0;  // when the dialog closed itself
  TMemoryImage Before{};  // the image before the dialog
};

// The fault at every occurrence of each of the steps.
std::vector<sim_test::Fault> Always(std::initializer_list<sim_test::Step> Steps, sim_test::FaultKind Kind,
                                    int Value, Bytes With = {});

}  // namespace app_test
