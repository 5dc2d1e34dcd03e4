// The simulated radio, driven from a bare slave descriptor.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/sim/RadioSim.h"

using namespace sim_test;

namespace {

using Bytes = std::vector<uint8_t>;

// The program's side of the cable, opened without any serial library.
class Client {
public:
  explicit Client(const std::string& path, bool configure = true) {
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ >= 0 && configure) SetLine(B2400, true);
  }
  ~Client() {
    if (fd_ >= 0) close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  void SetLine(speed_t speed, bool twoStopBits) {
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSTOPB | PARENB);
    if (twoStopBits) t.c_cflag |= CSTOPB;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    tcsetattr(fd_, TCSANOW, &t);
  }

  void Send(const Bytes& b) { ASSERT_EQ(write(fd_, b.data(), b.size()), static_cast<ssize_t>(b.size())); }

  // Collects bytes until `count` arrived or `ms` passed.
  Bytes Receive(size_t count, int ms) {
    Bytes out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (out.size() < count) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      if (left <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
      if (p.revents & (POLLHUP | POLLERR) && !(p.revents & POLLIN)) break;
      uint8_t buf[256];
      const ssize_t n = read(fd_, buf, sizeof buf);
      if (n <= 0) break;
      out.insert(out.end(), buf, buf + n);
    }
    return out;
  }

  Bytes Exchange(const Bytes& request, size_t replyLength, int ms = 500) {
    Send(request);
    return Receive(replyLength, ms);
  }

  // Handshake, ident and ready exchange; returns the ident.
  Bytes Enter() {
    EXPECT_EQ(Exchange({'P', 'R', 'O', 'G', 'R', 'A', 'M'}, 1), Bytes{kAck});
    Bytes ident = Exchange({0x02}, 16);
    EXPECT_EQ(Exchange({kAck}, 1), Bytes{kAck});
    return ident;
  }

private:
  int fd_ = -1;
};

Bytes Slice(const Memory& m, int address, int n) { return Bytes(m.begin() + address, m.begin() + address + n); }

Bytes ReadRequest(int a) { return {'R', static_cast<uint8_t>(a >> 8), static_cast<uint8_t>(a & 0xFF), 0x08}; }

}  // namespace

TEST(RadioSim, AnswersAReadSessionFromItsMemory) {
  RadioSim radio;
  Client host(radio.SlavePath());
  ASSERT_TRUE(host.ok());
  const Memory m = radio.GetMemory();

  const Bytes ident = host.Enter();
  EXPECT_EQ(ident, Slice(m, 0x140, 16));
  EXPECT_EQ(Bytes(ident.begin(), ident.begin() + 5), (Bytes{'P', 'Z', 'R', 'Q', 'X'}));

  for (int a : {0x000, 0x010, 0x168}) {
    Bytes expected = {'W', static_cast<uint8_t>(a >> 8), static_cast<uint8_t>(a & 0xFF), 0x08};
    const Bytes data = Slice(m, a, 8);
    expected.insert(expected.end(), data.begin(), data.end());
    EXPECT_EQ(host.Exchange(ReadRequest(a), 12), expected) << "block " << a;
    EXPECT_EQ(host.Exchange({kAck}, 1), Bytes{kAck});
  }
  EXPECT_TRUE(host.Exchange({'E'}, 1, 100).empty());
  EXPECT_FALSE(radio.InSession());

  const auto frames = radio.Frames();
  ASSERT_EQ(frames.size(), 10u);
  EXPECT_EQ(frames[0].step, Step::Handshake);
  EXPECT_EQ(frames[1].step, Step::Ident);
  EXPECT_EQ(frames[2].step, Step::Ready);
  EXPECT_EQ(frames[3].step, Step::ReadBlock);
  EXPECT_EQ(frames[3].address, 0x000);
  EXPECT_EQ(frames[4].step, Step::BlockAck);
  EXPECT_EQ(frames[9].step, Step::End);
  EXPECT_EQ(radio.LastLine(), ExpectedLine());
  EXPECT_EQ(radio.LineErrors(), 0);
}

TEST(RadioSim, StoresWrittenBlocksByteForByte) {
  RadioSim radio;
  Client host(radio.SlavePath());
  host.Enter();
  // Bytes a cooked line would translate or swallow.
  const Bytes data = {0x0D, 0x0A, 0x11, 0x13, 0x00, 0xFF, 0x7F, 0x03};
  Bytes frame = {'W', 0x00, 0x20, 0x08};
  frame.insert(frame.end(), data.begin(), data.end());
  EXPECT_EQ(host.Exchange(frame, 1), Bytes{kAck});
  EXPECT_EQ(Slice(radio.GetMemory(), 0x20, 8), data);

  // A frame with a bad length byte or address is not answered and changes nothing.
  const Memory before = radio.GetMemory();
  EXPECT_TRUE(host.Exchange({'W', 0x00, 0x21, 0x08, 1, 2, 3, 4, 5, 6, 7, 8}, 1, 100).empty());
  EXPECT_TRUE(host.Exchange({'R', 0x01, 0x70, 0x08}, 1, 100).empty());
  EXPECT_EQ(radio.GetMemory(), before);
}

TEST(RadioSim, IgnoresInputUntilTheLineIs2400Baud8N2Raw) {
  RadioSim radio;
  Client host(radio.SlavePath(), false);  // the pty's default cooked line
  ASSERT_TRUE(host.ok());
  EXPECT_TRUE(host.Exchange({'P', 'R', 'O', 'G', 'R', 'A', 'M'}, 1, 150).empty());
  EXPECT_GT(radio.LineErrors(), 0);
  EXPECT_FALSE(radio.LastLine() == ExpectedLine());

  host.SetLine(B2400, false);  // one stop bit: still refused
  EXPECT_TRUE(host.Exchange({'P', 'R', 'O', 'G', 'R', 'A', 'M'}, 1, 150).empty());
  EXPECT_EQ(radio.LastLine().stopBits, 1);

  host.SetLine(B2400, true);
  EXPECT_EQ(radio.CurrentLine(), ExpectedLine());
  EXPECT_EQ(host.Exchange({'P', 'R', 'O', 'G', 'R', 'A', 'M'}, 1), Bytes{kAck});
}

struct FaultCase {
  const char* name;
  Fault fault;
  Step at;           // the exchange the fault hits
  Bytes expected;    // what the host receives within the wait
  int waitMs = 150;
};

class RadioSimFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(RadioSimFault, ShapesTheAnswer) {
  const FaultCase& c = GetParam();
  RadioSim radio;
  radio.AddFault(c.fault);
  Client host(radio.SlavePath());
  const Bytes program = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};
  Bytes got;
  if (c.at == Step::Handshake) {
    got = host.Exchange(program, 64, c.waitMs);
  } else {
    ASSERT_EQ(host.Exchange(program, 1), Bytes{kAck});
    if (c.at == Step::Ident) {
      got = host.Exchange({0x02}, 64, c.waitMs);
    } else {
      ASSERT_EQ(host.Exchange({0x02}, 16).size(), 16u);
      ASSERT_EQ(host.Exchange({kAck}, 1), Bytes{kAck});
      got = host.Exchange(ReadRequest(0x140), 64, c.waitMs);
    }
  }
  EXPECT_EQ(got, c.expected) << c.name;
}

namespace {

Bytes Ident(const std::string& type) {
  Bytes b = Slice(RadioSim::DefaultMemory(), 0x140, 16);
  for (int i = 0; i < 4; ++i) b[1 + i] = static_cast<uint8_t>(type[i]);
  return b;
}

Bytes Block140() {
  Bytes b = {'W', 0x01, 0x40, 0x08};
  const Bytes d = Slice(RadioSim::DefaultMemory(), 0x140, 8);
  b.insert(b.end(), d.begin(), d.end());
  return b;
}

Bytes Cut(Bytes b, size_t from, size_t n) { return Bytes(b.begin() + from, b.begin() + from + n); }

Bytes Join(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, RadioSimFault,
    ::testing::Values(
        FaultCase{"silence", {Step::Handshake, FaultKind::Silence}, Step::Handshake, {}},
        FaultCase{"stray byte first", {Step::Handshake, FaultKind::Stray, -1, 0, {0x55}}, Step::Handshake, {0x55, kAck}},
        FaultCase{"nak", {Step::Handshake, FaultKind::Nak}, Step::Handshake, {kNak}},
        FaultCase{"late past the wait", {Step::Handshake, FaultKind::Delay, -1, 600}, Step::Handshake, {}},
        FaultCase{"wrong model", {Step::Ident, FaultKind::WrongModel, -1, 0, {'A', 'B', 'C', 'D'}}, Step::Ident,
                  Ident("ABCD")},
        FaultCase{"short ident", {Step::Ident, FaultKind::Short, -1, 1}, Step::Ident, Cut(Ident("ZRQX"), 0, 15)},
        FaultCase{"over-long ident", {Step::Ident, FaultKind::Long, -1, 0, Bytes(40, 0xAA)}, Step::Ident,
                  Join(Ident("ZRQX"), Bytes(40, 0xAA))},
        FaultCase{"split ident", {Step::Ident, FaultKind::Split, -1, 30, {8, 8}}, Step::Ident, Ident("ZRQX")},
        FaultCase{"dropped byte", {Step::ReadBlock, FaultKind::Drop, 0x140, 5}, Step::ReadBlock,
                  Join(Cut(Block140(), 0, 5), Cut(Block140(), 6, 6))},
        FaultCase{"duplicated block", {Step::ReadBlock, FaultKind::Duplicate}, Step::ReadBlock,
                  Join(Block140(), Block140())},
        FaultCase{"byte inside the block", {Step::ReadBlock, FaultKind::Insert, 0x140, 7, {0x99}}, Step::ReadBlock,
                  Join(Join(Cut(Block140(), 0, 7), {0x99}), Cut(Block140(), 7, 5))},
        FaultCase{"another address", {Step::ReadBlock, FaultKind::Overwrite, 0x140, 1, {0x00, 0x00}}, Step::ReadBlock,
                  Join({'W', 0x00, 0x00, 0x08}, Cut(Block140(), 4, 8))},
        FaultCase{"acknowledges instead", {Step::ReadBlock, FaultKind::Instead, 0x140, 0, Bytes(16, kAck)},
                  Step::ReadBlock, Bytes(16, kAck)},
        FaultCase{"fault at another address", {Step::ReadBlock, FaultKind::Silence, 0x000}, Step::ReadBlock,
                  Block140()}),
    [](const ::testing::TestParamInfo<FaultCase>& info) {
      std::string n = info.param.name;
      for (char& ch : n)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(RadioSim, DisconnectHangsUpTheProgramsSide) {
  RadioSim radio;
  radio.AddFault({Step::ReadBlock, FaultKind::Disconnect, 0x008});
  Client host(radio.SlavePath());
  host.Enter();
  EXPECT_EQ(host.Exchange(ReadRequest(0x000), 12).size(), 12u);
  EXPECT_EQ(host.Exchange({kAck}, 1), Bytes{kAck});
  host.Send(ReadRequest(0x008));
  ASSERT_TRUE(radio.WaitUntil([&] { return radio.SlavePath().empty(); }, 1000));
  pollfd p{host.fd(), POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 500), 1);
  EXPECT_TRUE(p.revents & POLLHUP);
}

TEST(RadioSim, SurvivesTheProgramClosingAndReopeningThePort) {
  RadioSim radio;
  {
    Client first(radio.SlavePath());
    first.Enter();
  }
  Client second(radio.SlavePath());
  ASSERT_TRUE(second.ok());
  // A new session starts with a new handshake.
  EXPECT_EQ(second.Enter(), Slice(radio.GetMemory(), 0x140, 16));
}

TEST(RadioSim, LeavesProgrammingModeAfterSilence) {
  Options o;
  o.idleTimeoutMs = 100;
  RadioSim radio(o);
  Client host(radio.SlavePath());
  host.Enter();
  EXPECT_TRUE(radio.InSession());
  EXPECT_TRUE(radio.WaitUntil([&] { return !radio.InSession(); }, 1000));
  // Out of the session a block request is not answered.
  EXPECT_TRUE(host.Exchange(ReadRequest(0), 12, 100).empty());
}

TEST(RadioSim, PacesItsOutputAtTheLineRate) {
  Options o;
  o.pace = true;
  o.replyDelayMs = 0;
  RadioSim radio(o);
  Client host(radio.SlavePath());
  ASSERT_EQ(host.Exchange({'P', 'R', 'O', 'G', 'R', 'A', 'M'}, 1), Bytes{kAck});
  const auto begin = std::chrono::steady_clock::now();
  ASSERT_EQ(host.Exchange({0x02}, 16).size(), 16u);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
  // 16 characters of 11 bits at 2400 baud cannot arrive sooner than 73 ms.
  EXPECT_GE(ms.count(), 70);
}
