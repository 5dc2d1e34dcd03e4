// Reads and writes the simulated radio through the serial port component, with the radio sending at the
// real line rate (2400 baud, 11 bits per character), and prints the time of each against the limit: every
// byte of the session at the line rate plus the fixed waits of the protocol.
//
// The radio is on a pseudo-terminal, which passes the program's own bytes at once: only the radio's
// bytes take line time here. The limit printed counts both directions, as on a real cable; the share the
// simulator paces is printed beside it.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/AllClass.h"
#include "app/RadioPort.h"
#include "app/ReadRadio.h"
#include "app/Startup.h"
#include "app/WriteRadio.h"
#include "platform/win/core/WinUser.h"
#include "tests/sim/RadioSim.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Com = 20;
constexpr double CharMs = 11.0 * 1000.0 / 2400.0;
// Before the handshake 450 + 50 ms, 6 pauses of 2 ms between its characters, 5 ms before the ident
// request.
constexpr double FixedWaitsMs = 450 + 50 + 6 * 2 + 5;
constexpr int Runs = 3;

void PumpUntil(const std::function<bool()>& Until, int Ms) {
  const auto Deadline = Clock::now() + std::chrono::milliseconds(Ms);
  while (!Until() && Clock::now() < Deadline) {
    MSG Message;
    while (::PeekMessage(&Message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessage(&Message);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
  }
}

// A dialog whose boxes are answered at once; it notes when the first one is shown.
class TBenchDialog : public IRadioDialog {
public:
  Integer ShowMessageBox(const String&, const String& Text, Integer Kind) override {
    if (Shown.empty()) ShownAt = Clock::now();
    Shown.push_back(Text);
    return Kind == mbQuestion ? 6 : 1;
  }
  void SetProgressMax(Integer) override {}
  void SetProgress(Integer) override {}
  void SetOkEnabled(bool) override {}
  void CloseDialog() override {}
  void ClearLog() override {}

  std::vector<String> Shown;
  Clock::time_point ShownAt;
};

// Time from OK to the box that ends the session, in ms; negative when the session did not succeed.
template <class TProtocol>
double Session(const String& Success) {
  TBenchDialog Dialog;
  TProtocol Protocol(Dialog, MakeComRadioPort());
  Protocol.FormShow();
  PumpUntil([] { return false; }, 100);
  const auto Start = Clock::now();
  Protocol.btnOkClick();
  PumpUntil([&] { return !Dialog.Shown.empty(); }, 30000);
  Protocol.FormClose();
  if (Dialog.Shown.size() != 1 || Dialog.Shown[0] != Success) return -1;
  return std::chrono::duration<double, std::milli>(Dialog.ShownAt - Start).count();
}

void Report(const char* Name, const std::vector<double>& Times, int HostBytes, int RadioBytes) {
  const double Limit = (HostBytes + RadioBytes) * CharMs + FixedWaitsMs;
  const double Paced = RadioBytes * CharMs + FixedWaitsMs;
  std::printf("%s: %d bytes from the program, %d from the radio\n", Name, HostBytes, RadioBytes);
  std::printf("  limit at the line rate plus fixed waits: %7.0f ms (radio's bytes only: %.0f ms)\n", Limit, Paced);
  double Worst = 0;
  for (size_t I = 0; I < Times.size(); ++I) {
    if (Times[I] < 0) {
      std::printf("  run %zu: FAILED\n", I + 1);
      Worst = 1e9;
      continue;
    }
    std::printf("  run %zu: %7.0f ms  (%5.1f %% of the limit)\n", I + 1, Times[I], 100.0 * Times[I] / Limit);
    if (Times[I] > Worst) Worst = Times[I];
  }
  std::printf("  target (at most 110 %% of the limit): %s\n", Worst <= 1.1 * Limit ? "met" : "MISSED");
}

}  // namespace

int main(int, char** argv) {
  CreateDocumentObjects(argv[0]);
  ALL->SelectModelByBand(MacList->GetItem(0), 0, false);
  ALL->NewImage();
  ParseBand(ALL->BandText, ALL->BandLow, ALL->BandHigh);
  ALL->PortName = "COM" + std::to_string(Com);

  sim_test::Options Options;
  Options.pace = true;
  Options.paceBaud = 2400;
  Options.bitsPerChar = 11;
  Options.replyDelayMs = 0;
  Options.writeDelayMs = 0;
  sim_test::RadioSim Radio(Options);
  Radio.Attach(Com);
  std::printf("simulated radio on %s, 2400 baud, 11 bits per character (%.3f ms)\n\n", Radio.SlavePath().c_str(),
              CharMs);

  std::vector<double> ReadTimes, WriteTimes;
  for (int I = 0; I < Runs; ++I) ReadTimes.push_back(Session<TReadRadioProtocol>(Language->ReadOk));
  // Handshake 7 + ident request 1 + ready 1 + 46 x (request 4 + acknowledge 1) + end 1; the radio answers
  // 1 + 16 + 1 + 46 x (block 12 + acknowledge 1).
  Report("read", ReadTimes, 7 + 1 + 1 + 46 * 5 + 1, 1 + 16 + 1 + 46 * 13);
  std::printf("\n");

  for (int I = 0; I < Runs; ++I) WriteTimes.push_back(Session<TWriteRadioProtocol>(Language->WriteOk));
  // Handshake 7 + 1 + 1 + 46 blocks of 12 + end 1; the radio answers 1 + 16 + 1 + 46.
  Report("write", WriteTimes, 7 + 1 + 1 + 46 * 12 + 1, 1 + 16 + 1 + 46);
  return 0;
}
