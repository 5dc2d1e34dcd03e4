#include "tests/sim/RadioSim.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace sim_test {
namespace {

const uint8_t kProgram[] = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};

unsigned SpeedToBaud(speed_t s) {
  switch (s) {
    case B0: return 0;
    case B50: return 50;
    case B75: return 75;
    case B110: return 110;
    case B134: return 134;
    case B150: return 150;
    case B200: return 200;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B1800: return 1800;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    default: return 1;  // some other rate
  }
}

LineSettings FromTermios(const termios& t) {
  LineSettings s;
  s.baud = SpeedToBaud(cfgetospeed(&t));
  switch (t.c_cflag & CSIZE) {
    case CS5: s.dataBits = 5; break;
    case CS6: s.dataBits = 6; break;
    case CS7: s.dataBits = 7; break;
    default: s.dataBits = 8; break;
  }
  if (!(t.c_cflag & PARENB)) {
    s.parity = 'N';
  } else if (t.c_cflag & CMSPAR) {
    s.parity = (t.c_cflag & PARODD) ? 'M' : 'S';
  } else {
    s.parity = (t.c_cflag & PARODD) ? 'O' : 'E';
  }
  s.stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
  const bool inputRaw = !(t.c_iflag & (IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF));
  const bool outputRaw = !(t.c_oflag & OPOST);
  const bool localRaw = !(t.c_lflag & (ECHO | ECHONL | ICANON | ISIG | IEXTEN));
  s.raw = inputRaw && outputRaw && localRaw;
  return s;
}

void PutBcd(Memory& m, int at, uint32_t units) {
  // 8 decimal digits, least significant pair first.
  for (int i = 0; i < 4; ++i) {
    const unsigned pair = units % 100;
    units /= 100;
    m[at + i] = static_cast<uint8_t>(((pair / 10) << 4) | (pair % 10));
  }
}

}  // namespace

std::string Describe(const LineSettings& s) {
  char text[64];
  std::snprintf(text, sizeof text, "%u %d%c%d %s", s.baud, s.dataBits, s.parity, s.stopBits, s.raw ? "raw" : "cooked");
  return text;
}

LineSettings ExpectedLine() {
  LineSettings s;
  s.baud = 2400;
  s.dataBits = 8;
  s.parity = 'N';
  s.stopBits = 2;
  s.raw = true;
  return s;
}

void ChangeAnswer(const Fault& fault, Step step, std::vector<uint8_t>& reply) {
  const size_t at = fault.value > 0 ? static_cast<size_t>(fault.value) : 0;
  switch (fault.kind) {
    case FaultKind::Stray:
      reply.insert(reply.begin(), fault.bytes.begin(), fault.bytes.end());
      break;
    case FaultKind::Short:
      reply.resize(reply.size() > static_cast<size_t>(fault.value) ? reply.size() - fault.value : 0);
      break;
    case FaultKind::Long:
      reply.insert(reply.end(), fault.bytes.begin(), fault.bytes.end());
      break;
    case FaultKind::Drop:
      if (fault.value >= 0 && static_cast<size_t>(fault.value) < reply.size()) reply.erase(reply.begin() + fault.value);
      break;
    case FaultKind::WrongModel:
      if (step == Step::Ident)
        for (size_t i = 0; i < 4 && i < fault.bytes.size() && 1 + i < reply.size(); ++i) reply[1 + i] = fault.bytes[i];
      break;
    case FaultKind::Nak:
      reply = {kNak};
      break;
    case FaultKind::Insert:
      reply.insert(reply.begin() + std::min(at, reply.size()), fault.bytes.begin(), fault.bytes.end());
      break;
    case FaultKind::Overwrite:
      for (size_t i = 0; i < fault.bytes.size() && at + i < reply.size(); ++i) reply[at + i] = fault.bytes[i];
      break;
    case FaultKind::Instead:
      reply = fault.bytes;
      break;
    default:
      break;
  }
}

Memory RadioSim::DefaultMemory() {
  Memory m;
  m.fill(0xFF);
  // Channel n lives at address 16 * n.
  auto channel = [&m](int n, uint32_t rx, uint32_t tx, uint16_t rxTone, uint16_t txTone, uint8_t flags) {
    const int at = 16 * n;
    PutBcd(m, at, rx);
    PutBcd(m, at + 4, tx);
    m[at + 8] = static_cast<uint8_t>(rxTone & 0xFF);
    m[at + 9] = static_cast<uint8_t>(rxTone >> 8);
    m[at + 10] = static_cast<uint8_t>(txTone & 0xFF);
    m[at + 11] = static_cast<uint8_t>(txTone >> 8);
    m[at + 12] = flags;
  };
  channel(1, 45001250, 45001250, 0x0885, 0x8023, 0xFB);  // 88.5 Hz / D023N, wide
  channel(2, 46012500, 46512500, 0xFFFF, 0x1318, 0x7F);  // 131.8 Hz transmit, bit 7 clear
  channel(3, 43550000, 43550000, 0xC754, 0xFFFF, 0xE1);  // D754I receive
  channel(16, 46997500, 46997500, 0x2541, 0x2541, 0xFF);
  const uint8_t settings[20] = {1, 1, 0, 0, 5, 1, 1, 1, 0, 1, 0xFF, 0xFF, 0xFF, 1, 3, 0xFF, 1, 5, 1, 6};
  std::copy(std::begin(settings), std::end(settings), m.begin() + 0x120);
  const uint8_t ident[8] = {'P', 'Z', 'R', 'Q', 'X', 0xF4, 0x00, 0x00};
  std::copy(std::begin(ident), std::end(ident), m.begin() + kIdentAddress);
  // Password block of a blank password, as the radio keeps it.
  m[0x148] = 0x20 ^ 0x6B;
  for (int i = 1; i < 8; ++i) m[0x148 + i] = 0x20 ^ 0x20;
  const char serial[] = "K58SIM0000000001";
  std::copy(serial, serial + 16, m.begin() + 0x150);
  const uint8_t written[7] = {0xE8, 0x07, 3, 15, 10, 30, 0};  // 2024-03-15 10:30:00
  std::copy(std::begin(written), std::end(written), m.begin() + 0x160);
  return m;
}

RadioSim::RadioSim(const Options& options) : options_(options), memory_(DefaultMemory()) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    const int e = errno;
    if (master_ >= 0) close(master_);
    throw std::runtime_error(std::string("cannot create a pseudo-terminal: ") + std::strerror(e));
  }
  char name[128] = {};
  if (ptsname_r(master_, name, sizeof name) != 0) {
    close(master_);
    throw std::runtime_error("cannot name the pseudo-terminal");
  }
  slavePath_ = name;
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
    close(master_);
    throw std::runtime_error("cannot create the wake pipe");
  }
  start_ = std::chrono::steady_clock::now();
  lastInput_ = start_;
  thread_ = std::thread([this] { Run(); });
}

RadioSim::~RadioSim() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  const char c = 1;
  (void)!write(wake_[1], &c, 1);
  thread_.join();
  CloseMaster();
  close(wake_[0]);
  close(wake_[1]);
}

std::string RadioSim::SlavePath() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return slavePath_;
}

std::string RadioSim::OverrideLine(int comNumber) const {
  return "K58_COM" + std::to_string(comNumber) + "=" + SlavePath();
}

void RadioSim::Attach(int comNumber) const {
  const std::string name = "K58_COM" + std::to_string(comNumber);
  setenv(name.c_str(), SlavePath().c_str(), 1);
}

void RadioSim::SetMemory(const Memory& memory) {
  std::lock_guard<std::mutex> lock(mutex_);
  memory_ = memory;
}

Memory RadioSim::GetMemory() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return memory_;
}

void RadioSim::SetTypeCode(const std::string& code) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (size_t i = 0; i < 4; ++i) memory_[kIdentAddress + 1 + i] = i < code.size() ? static_cast<uint8_t>(code[i]) : ' ';
}

void RadioSim::AddFault(const Fault& fault) {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.push_back(fault);
}

void RadioSim::ClearFaults() {
  std::lock_guard<std::mutex> lock(mutex_);
  faults_.clear();
}

void RadioSim::Disconnect() {
  // The simulator thread polls the master: let it close the descriptor itself.
  {
    std::lock_guard<std::mutex> lock(mutex_);
    disconnect_ = true;
  }
  const char c = 1;
  (void)!write(wake_[1], &c, 1);
  WaitUntil([this] { return SlavePath().empty(); }, 2000);
}

void RadioSim::CloseMaster() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (master_ >= 0) {
    close(master_);
    master_ = -1;
    slavePath_.clear();
  }
}

std::vector<TranscriptEntry> RadioSim::Transcript() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return transcript_;
}

std::vector<uint8_t> RadioSim::HostBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<uint8_t> out;
  for (const auto& e : transcript_)
    if (e.fromHost) out.push_back(e.byte);
  return out;
}

std::vector<uint8_t> RadioSim::RadioBytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<uint8_t> out;
  for (const auto& e : transcript_)
    if (!e.fromHost) out.push_back(e.byte);
  return out;
}

std::vector<HostFrame> RadioSim::Frames() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return frames_;
}

LineSettings RadioSim::LastLine() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastLine_;
}

LineSettings RadioSim::CurrentLine() const {
  std::lock_guard<std::mutex> lock(mutex_);
  termios t{};
  if (master_ < 0 || tcgetattr(master_, &t) != 0) return LineSettings();
  return FromTermios(t);
}

int RadioSim::LineErrors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lineErrors_;
}

bool RadioSim::InSession() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_ != State::Idle;
}

void RadioSim::ClearTranscript() {
  std::lock_guard<std::mutex> lock(mutex_);
  transcript_.clear();
  frames_.clear();
}

bool RadioSim::WaitUntil(const std::function<bool()>& pred, int timeoutMs) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (pred()) return true;
    std::unique_lock<std::mutex> lock(mutex_);
    if (std::chrono::steady_clock::now() >= deadline) return pred();
    changed_.wait_for(lock, std::chrono::milliseconds(10));
  }
}

void RadioSim::Notify() {
  changed_.notify_all();
}

double RadioSim::Now() const {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_).count();
}

void RadioSim::SleepMs(int ms) {
  if (ms <= 0) return;
  // Interruptible by the destructor.
  pollfd p{wake_[0], POLLIN, 0};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    if (poll(&p, 1, static_cast<int>(left.count())) > 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
      char buf[16];
      while (read(wake_[0], buf, sizeof buf) > 0) {
      }
    }
  }
}

void RadioSim::Run() {
  std::vector<uint8_t> chunk(4096);
  for (;;) {
    int fd;
    bool disconnect;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stop_) return;
      fd = master_;
      disconnect = disconnect_;
      disconnect_ = false;
    }
    if (disconnect && fd >= 0) {
      CloseMaster();
      Notify();
      continue;
    }
    pollfd p[2] = {{wake_[0], POLLIN, 0}, {fd, POLLIN, 0}};
    const int n = poll(p, fd >= 0 ? 2 : 1, 20);
    if (n < 0 && errno != EINTR) return;
    if (p[0].revents & POLLIN) {
      char buf[16];
      while (read(wake_[0], buf, sizeof buf) > 0) {
      }
    }
    const auto now = std::chrono::steady_clock::now();
    if (fd >= 0 && (p[1].revents & POLLIN)) {
      const ssize_t got = read(fd, chunk.data(), chunk.size());
      if (got > 0) {
        lastInput_ = now;
        bool lineOk = true;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          termios t{};
          if (tcgetattr(fd, &t) == 0) lastLine_ = FromTermios(t);
          if (options_.checkLine && !(lastLine_ == ExpectedLine())) {
            ++lineErrors_;
            lineOk = false;
          }
          const double ms = Now();
          for (ssize_t i = 0; i < got; ++i) transcript_.push_back({true, chunk[i], ms});
        }
        Notify();
        if (lineOk)
          for (ssize_t i = 0; i < got; ++i) OnByte(chunk[i]);
        continue;
      }
      // EIO or end of file: the program closed its side.
    }
    if (fd >= 0 && (p[1].revents & (POLLHUP | POLLERR)) && !(p[1].revents & POLLIN)) {
      // No program on the slave side: leave programming mode and wait without spinning.
      {
        std::lock_guard<std::mutex> lock(mutex_);
        state_ = State::Idle;
      }
      frame_.clear();
      window_.clear();
      SleepMs(10);
      continue;
    }
    if (!frame_.empty() && now - lastInput_ > std::chrono::milliseconds(500)) frame_.clear();
    if (now - lastInput_ > std::chrono::milliseconds(options_.idleTimeoutMs)) {
      std::lock_guard<std::mutex> lock(mutex_);
      state_ = State::Idle;
    }
  }
}

void RadioSim::OnByte(uint8_t b) {
  if (options_.echo) Send({b});
  window_.push_back(b);
  if (window_.size() > sizeof kProgram) window_.erase(window_.begin());
  if (window_.size() == sizeof kProgram && std::equal(window_.begin(), window_.end(), kProgram)) {
    window_.clear();
    frame_.clear();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      state_ = State::Handshaken;
      frames_.push_back({Step::Handshake, -1, std::vector<uint8_t>(std::begin(kProgram), std::end(kProgram))});
    }
    Answer(Step::Handshake, -1, {kAck});
    return;
  }
  State state;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    state = state_;
  }
  switch (state) {
    case State::Idle:
      break;
    case State::Handshaken:
      if (b == 0x02) {
        std::vector<uint8_t> ident;
        {
          std::lock_guard<std::mutex> lock(mutex_);
          frames_.push_back({Step::Ident, -1, {b}});
          state_ = State::Idented;
          ident.assign(memory_.begin() + kIdentAddress, memory_.begin() + kIdentAddress + 16);
        }
        Answer(Step::Ident, -1, ident);
      }
      break;
    case State::Idented:
      if (b == kAck) {
        {
          std::lock_guard<std::mutex> lock(mutex_);
          frames_.push_back({Step::Ready, -1, {b}});
          state_ = State::Ready;
        }
        lastBlock_ = -1;
        Answer(Step::Ready, -1, {kAck});
      }
      break;
    case State::Ready:
      if (!frame_.empty()) {
        frame_.push_back(b);
        const size_t want = frame_[0] == 'R' ? 4 : 12;
        if (frame_.size() == want) {
          std::vector<uint8_t> frame;
          frame.swap(frame_);
          const int address = (frame[1] << 8) | frame[2];
          const Step step = frame[0] == 'R' ? Step::ReadBlock : Step::WriteBlock;
          HandleFrame(step, address, std::move(frame));
        }
      } else if (b == 'R' || b == 'W') {
        frame_.push_back(b);
      } else if (b == kAck) {
        {
          std::lock_guard<std::mutex> lock(mutex_);
          frames_.push_back({Step::BlockAck, lastBlock_, {b}});
        }
        Answer(Step::BlockAck, lastBlock_, {kAck});
      } else if (b == 'E') {
        {
          std::lock_guard<std::mutex> lock(mutex_);
          frames_.push_back({Step::End, -1, {b}});
          state_ = State::Idle;
        }
        Answer(Step::End, -1, {});
      }
      break;
  }
}

void RadioSim::HandleFrame(Step step, int address, std::vector<uint8_t> frame) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    frames_.push_back({step, address, frame});
  }
  // A frame a radio would not accept goes unanswered.
  if (frame[3] != 0x08 || address % 8 != 0 || address > kLastBlock) return;
  lastBlock_ = address;
  if (step == Step::ReadBlock) {
    std::vector<uint8_t> reply = {'W', frame[1], frame[2], 0x08};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      reply.insert(reply.end(), memory_.begin() + address, memory_.begin() + address + 8);
    }
    Answer(step, address, reply);
    return;
  }
  Fault fault;
  const bool faulty = TakeFault(step, address, fault);
  if (faulty && (fault.kind == FaultKind::Silence || fault.kind == FaultKind::Disconnect)) {
    // The block is not stored.
    if (fault.kind == FaultKind::Disconnect) {
      CloseMaster();
      Notify();
    }
    return;
  }
  SleepMs(options_.writeDelayMs);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    std::copy(frame.begin() + 4, frame.end(), memory_.begin() + address);
  }
  if (faulty) {
    // Put the fault back in front for Answer to apply.
    std::lock_guard<std::mutex> lock(mutex_);
    Fault again = fault;
    again.once = true;
    again.address = address;
    faults_.insert(faults_.begin(), again);
  }
  Answer(step, address, {kAck});
}

bool RadioSim::TakeFault(Step step, int address, Fault& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = faults_.begin(); it != faults_.end(); ++it) {
    if (it->step != step || (it->address >= 0 && it->address != address)) continue;
    out = *it;
    if (it->once) faults_.erase(it);
    return true;
  }
  return false;
}

void RadioSim::Answer(Step step, int address, std::vector<uint8_t> reply) {
  Fault fault;
  const bool faulty = TakeFault(step, address, fault);
  SleepMs(options_.replyDelayMs);
  if (!faulty) {
    if (!reply.empty()) Send(reply);
    return;
  }
  switch (fault.kind) {
    case FaultKind::Silence:
      return;
    case FaultKind::Disconnect:
      CloseMaster();
      Notify();
      return;
    case FaultKind::Delay:
      SleepMs(fault.value);
      break;
    case FaultKind::Split:
      SendPieces(reply, fault.bytes, fault.value);
      return;
    case FaultKind::Duplicate:
      Send(reply);
      break;
    default:
      ChangeAnswer(fault, step, reply);
      break;
  }
  if (!reply.empty()) Send(reply);
}

void RadioSim::SendPieces(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& sizes, int gapMs) {
  size_t at = 0;
  size_t piece = 0;
  while (at < bytes.size()) {
    size_t n = piece < sizes.size() ? sizes[piece] : 1;
    if (n == 0) n = 1;
    n = std::min(n, bytes.size() - at);
    if (at > 0) SleepMs(gapMs);
    Send(std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + n));
    at += n;
    ++piece;
  }
}

void RadioSim::Send(const std::vector<uint8_t>& bytes) {
  const auto perByte = std::chrono::microseconds(
      options_.pace ? (1000000LL * options_.bitsPerChar + options_.paceBaud - 1) / options_.paceBaud : 0);
  const auto begin = std::chrono::steady_clock::now();
  const size_t step = options_.pace ? 1 : bytes.size();
  for (size_t at = 0; at < bytes.size(); at += step) {
    if (options_.pace) std::this_thread::sleep_until(begin + perByte * static_cast<int>(at + 1));
    const size_t n = std::min(step, bytes.size() - at);
    size_t done = 0;
    while (done < n) {
      int fd;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stop_) return;
        fd = master_;
      }
      if (fd < 0) return;
      const ssize_t w = write(fd, bytes.data() + at + done, n - done);
      if (w > 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        const double ms = Now();
        for (ssize_t i = 0; i < w; ++i) transcript_.push_back({false, bytes[at + done + i], ms});
        done += static_cast<size_t>(w);
        continue;
      }
      if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
        pollfd p[2] = {{fd, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
        poll(p, 2, 20);
        continue;
      }
      return;  // the program's side is gone: the bytes are lost, as on a cable
    }
    Notify();
  }
}

}  // namespace sim_test
