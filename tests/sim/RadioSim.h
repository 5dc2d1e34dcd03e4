// A simulated K58 radio on a pseudo-terminal.
//
// The simulator owns the master side of a pty and answers the programming protocol on it from a memory of
// 368 bytes (radio addresses 0x000-0x16F). The program under test opens the slave side as a COM port through
// the resolver's override (K58_COMn=<SlavePath()>). The simulator runs in its own thread, checks the line
// settings the program applied to the slave, can pace its output at the real line rate, records every byte
// in both directions and injects faults per protocol step.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sim_test {

constexpr int kMemorySize = 368;    // radio addresses 0x000-0x16F
constexpr int kIdentAddress = 0x140;  // "P", type code (4), band code, 0, 0, then the password block
constexpr int kLastBlock = 0x168;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kNak = 0x15;

using Memory = std::array<uint8_t, kMemorySize>;

// Steps of a programming session at which a fault can be injected.
enum class Step {
  Handshake,   // answer to "PROGRAM"
  Ident,       // answer to 0x02
  Ready,       // answer to the first 0x06 after the ident
  ReadBlock,   // answer to 'R' a 08
  BlockAck,    // answer to an 0x06 after a block
  WriteBlock,  // answer to 'W' a 08 d0..d7
  End,         // 'E' (normally not answered)
};

enum class FaultKind {
  Silence,     // no answer
  Delay,       // answer after `value` ms
  Stray,       // `bytes` sent before the answer
  Split,       // answer written in pieces of the sizes in `bytes` (byte by byte when empty), `value` ms apart
  Short,       // the last `value` bytes of the answer are not sent
  Long,        // `bytes` appended to the answer (also answers 'E' when the step is End)
  Drop,        // the answer byte at index `value` is not sent
  WrongModel,  // the ident carries the type code in `bytes` (4 characters)
  Nak,         // 0x15 instead of the answer
  Duplicate,   // the answer is sent twice
  Disconnect,  // the master side is closed instead of answering
  Insert,      // `bytes` inserted into the answer before index `value`
  Overwrite,   // the answer's bytes from index `value` on replaced by `bytes` (another header, address ...)
  Instead,     // `bytes` sent instead of the answer (a run of acknowledges, ...)
};

struct Fault {
  Fault() = default;
  Fault(Step s, FaultKind k, int at = -1, int v = 0, std::vector<uint8_t> b = {}, bool onlyOnce = true)
      : step(s), kind(k), address(at), value(v), bytes(std::move(b)), once(onlyOnce) {}

  Step step = Step::Handshake;
  FaultKind kind = FaultKind::Silence;
  int address = -1;  // for block steps: only at this radio address; -1 = any
  int value = 0;
  std::vector<uint8_t> bytes;
  bool once = true;  // false: applies every time the step occurs
};

// The line as the program configured the slave side.
struct LineSettings {
  unsigned baud = 0;
  int dataBits = 0;
  char parity = '?';  // 'N', 'O', 'E', 'M', 'S'
  int stopBits = 0;
  bool raw = false;   // no byte translated, swallowed or echoed
  bool operator==(const LineSettings&) const = default;
};
std::string Describe(const LineSettings& s);  // "2400 8N2 raw"
LineSettings ExpectedLine();                   // 2400 8N2 raw

// Applies a fault that only changes the bytes of an answer (Stray, Short, Long, Drop, WrongModel, Nak,
// Insert, Overwrite, Instead) to the answer of Step; other kinds leave it as it is.
void ChangeAnswer(const Fault& fault, Step step, std::vector<uint8_t>& reply);

struct Options {
  bool pace = false;          // send at the line rate: 2400 baud, 11 bits per character
  unsigned paceBaud = 2400;
  int bitsPerChar = 11;
  int replyDelayMs = 2;       // latency of every answer
  int writeDelayMs = 10;      // extra time a block write takes to store
  int idleTimeoutMs = 2000;   // leave programming mode after this much silence
  bool checkLine = true;      // ignore input while the line is not 2400 8N2 raw
  bool echo = false;          // echo every received byte back (an echoing cable)
};

struct TranscriptEntry {
  bool fromHost = false;
  uint8_t byte = 0;
  double ms = 0;  // since the simulator started
};

// A frame of the host as the simulator understood it.
struct HostFrame {
  Step step = Step::Handshake;  // the step this frame asked for
  int address = -1;
  std::vector<uint8_t> bytes;
};

class RadioSim {
public:
  explicit RadioSim(const Options& options = Options());
  ~RadioSim();
  RadioSim(const RadioSim&) = delete;
  RadioSim& operator=(const RadioSim&) = delete;

  // The default memory: a UHF radio ("ZRQX", band code 0xF4) with a few channels, tones, a serial number
  // and a write time.
  static Memory DefaultMemory();

  // Path of the slave side ("/dev/pts/N"); empty after a disconnect.
  std::string SlavePath() const;
  // "K58_COM<n>=<slave path>", the line that points the program at this radio.
  std::string OverrideLine(int comNumber) const;
  // Sets K58_COM<n> in this process's environment.
  void Attach(int comNumber) const;

  void SetMemory(const Memory& memory);
  Memory GetMemory() const;
  void SetTypeCode(const std::string& code);  // 4 characters at 0x141

  void AddFault(const Fault& fault);
  void ClearFaults();

  // Closes the master side now (the program sees a hang-up).
  void Disconnect();

  std::vector<TranscriptEntry> Transcript() const;
  std::vector<uint8_t> HostBytes() const;   // everything received, in order
  std::vector<uint8_t> RadioBytes() const;  // everything sent, in order
  std::vector<HostFrame> Frames() const;
  // Line settings seen with the most recent input, and the number of inputs ignored for wrong settings.
  LineSettings LastLine() const;
  LineSettings CurrentLine() const;  // read now from the pty
  int LineErrors() const;
  bool InSession() const;  // between a handshake and 'E' or the idle time-out
  void ClearTranscript();

  // Waits until pred() holds (checked after every event and every 10 ms) or the time runs out.
  bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) const;

private:
  enum class State { Idle, Handshaken, Idented, Ready };

  void Run();
  void OnByte(uint8_t b);
  void HandleFrame(Step step, int address, std::vector<uint8_t> frame);
  void Answer(Step step, int address, std::vector<uint8_t> reply);
  bool TakeFault(Step step, int address, Fault& out);
  void Send(const std::vector<uint8_t>& bytes);
  void SendPieces(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& sizes, int gapMs);
  void SleepMs(int ms);
  double Now() const;
  void CloseMaster();
  void Notify();

  Options options_;
  int master_ = -1;
  int wake_[2] = {-1, -1};
  std::string slavePath_;
  std::thread thread_;
  bool stop_ = false;
  bool disconnect_ = false;

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  Memory memory_{};
  std::vector<Fault> faults_;
  std::vector<TranscriptEntry> transcript_;
  std::vector<HostFrame> frames_;
  LineSettings lastLine_;
  int lineErrors_ = 0;

  // Protocol state, used by the simulator thread only (InSession reads state_ under the mutex).
  State state_ = State::Idle;
  std::vector<uint8_t> window_;  // last bytes, to find "PROGRAM"
  std::vector<uint8_t> frame_;   // an 'R' or 'W' frame being collected
  int lastBlock_ = -1;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastInput_;
};

}  // namespace sim_test
