// The communications API over a pseudo-terminal: the test holds the master side, the API opens the slave
// as a COM port through the K58_COMn override.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/comm/ComPorts.h"
#include "platform/comm/CommApi.h"
#include "platform/comm/SerialDevice.h"

namespace comm_test {

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kPort = 9;
constexpr const char* kName = "\\\\.\\COM9";

int CountEntries(const char* dir) {
  int n = 0;
  if (DIR* d = opendir(dir)) {
    while (readdir(d) != nullptr) ++n;
    closedir(d);
  }
  return n;
}

class Pty {
public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    grantpt(master_);
    unlockpt(master_);
    char name[128] = {};
    ptsname_r(master_, name, sizeof name);
    slave_ = name;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~Pty() { CloseMaster(); }
  const std::string& Slave() const { return slave_; }
  int Master() const { return master_; }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }
  void Send(const Bytes& b) { ASSERT_EQ(write(master_, b.data(), b.size()), static_cast<ssize_t>(b.size())); }
  Bytes Receive(size_t count, int ms = 1000) {
    Bytes out;
    while (out.size() < count) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, ms) <= 0) break;
      uint8_t buf[4096];
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.insert(out.end(), buf, buf + n);
    }
    return out;
  }
  termios Line() const {
    termios t{};
    tcgetattr(master_, &t);
    return t;
  }

private:
  int master_ = -1;
  std::string slave_;
};

class CommPort : public ::testing::Test {
protected:
  void SetUp() override {
    setenv("K58_COM9", pty_.Slave().c_str(), 1);
    h_ = CreateFileA(kName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OVERLAPPED | FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h_, INVALID_HANDLE_VALUE) << GetLastError();
    COMMTIMEOUTS t;
    t.ReadIntervalTimeout = MAXDWORD;
    SetCommTimeouts(h_, &t);
  }
  void TearDown() override {
    if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    unsetenv("K58_COM9");
  }
  Bytes ReadAll(size_t count, int ms = 1000) {
    Bytes out;
    for (int waited = 0; out.size() < count && waited < ms; waited += 5) {
      uint8_t buf[512];
      DWORD n = 0;
      OVERLAPPED ov;
      if (!ReadFile(h_, buf, sizeof buf, &n, &ov)) break;
      out.insert(out.end(), buf, buf + n);
      if (n == 0) usleep(5000);
    }
    return out;
  }

  Pty pty_;
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

}  // namespace

TEST(ComPorts, NamesAndNumbers) {
  const struct {
    const char* name;
    int number;
  } cases[] = {
      {"COM1", 1},      {"com12", 12},   {"\\\\.\\COM256", 256}, {"\\\\.\\COM3", 3}, {"COM257", 0},
      {"COM0", 0},      {"COM01", 0},    {"COM", 0},             {"LPT1", 0},        {"COM1x", 0},
      {"\\\\.\\LPT1", 0}, {"", 0},       {"COM1000", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ComPortNumber(c.name), c.number) << c.name;

  // What is written is read back, in both forms.
  EXPECT_EQ(ComPortName(12), "COM12");
  EXPECT_EQ(ComDeviceName(12), "\\\\.\\COM12");
  for (int n : {1, 9, 10, 99, 100, kMaxComPort}) {
    EXPECT_EQ(ComPortNumber(ComPortName(n)), n);
    EXPECT_EQ(ComPortNumber(ComDeviceName(n)), n);
  }
}

TEST(ComPorts, DefaultDevicesAndTheOverride) {
  unsetenv("K58_COM7");
  const struct {
    int n;
    const char* path;
  } cases[] = {{1, "/dev/ttyS0"},    {4, "/dev/ttyS3"},    {5, "/dev/ttyUSB0"}, {12, "/dev/ttyUSB7"},
               {13, "/dev/ttyACM0"}, {20, "/dev/ttyACM7"}, {21, ""},            {0, ""},
               {7, "/dev/ttyUSB2"}};
  for (const auto& c : cases) EXPECT_EQ(ComPortDevicePath(c.n), c.path) << c.n;
  setenv("K58_COM7", "/tmp/radio", 1);
  EXPECT_EQ(ComPortDevicePath(7), "/tmp/radio");
  setenv("K58_COM7", "", 1);  // an empty override is no override
  EXPECT_EQ(ComPortDevicePath(7), "/dev/ttyUSB2");
  setenv("K58_COM77", "/tmp/far", 1);  // overrides reach beyond the default table
  EXPECT_EQ(ComPortDevicePath(77), "/tmp/far");
  unsetenv("K58_COM7");
  unsetenv("K58_COM77");
}

TEST(CommOpen, EachFailureHasItsOwnError) {
  char file[] = "/tmp/k58-comm-XXXXXX";
  const int fd = mkstemp(file);
  ASSERT_GE(fd, 0);
  close(fd);
  const struct {
    const char* name;
    const char* path;  // K58_COM8, or null for none
    DWORD error;
  } cases[] = {
      {"COM8", "/nonexistent/ttyX", ERROR_FILE_NOT_FOUND},
      {"COM8", file, ERROR_FILE_NOT_FOUND},  // not a serial device
      {"COM8", "/etc/passwd/x", ERROR_PATH_NOT_FOUND},
      {"COM300", nullptr, ERROR_FILE_NOT_FOUND},
      {"COM21", nullptr, ERROR_FILE_NOT_FOUND},
      {"LPT1", nullptr, ERROR_PATH_NOT_FOUND},
  };
  for (const auto& c : cases) {
    if (c.path) setenv("K58_COM8", c.path, 1);
    unsetenv("K58_COM21");
    SetLastError(0);
    HANDLE h = CreateFileA(c.name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                           nullptr);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE) << c.name << " " << (c.path ? c.path : "");
    EXPECT_EQ(GetLastError(), c.error) << c.name << " " << (c.path ? c.path : "");
    unsetenv("K58_COM8");
  }
  unlink(file);
}

TEST(CommOpen, APortHeldElsewhereIsBusy) {
  Pty pty;
  setenv("K58_COM9", pty.Slave().c_str(), 1);
  // Another program holding the device locked, as root too.
  const int other = open(pty.Slave().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  HANDLE h = CreateFileA("COM9", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(ProbeComPort("COM9", 0), ERROR_SHARING_VIOLATION);
  close(other);
  EXPECT_EQ(ProbeComPort(ComDeviceName(9), FILE_FLAG_OVERLAPPED), ERROR_SUCCESS);

  // Our own second open is refused the same way, and the port is free again after CloseHandle.
  HANDLE first = CreateFileA("COM9", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA("COM9", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
  EXPECT_TRUE(CloseHandle(first));
  HANDLE again = CreateFileA("COM9", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(again, INVALID_HANDLE_VALUE);
  CloseHandle(again);
  unsetenv("K58_COM9");
}

TEST(CommOpen, ErrorsMapAndExplainThemselves) {
  const struct {
    int error;
    DWORD expected;
  } cases[] = {{ENOENT, ERROR_FILE_NOT_FOUND}, {ENXIO, ERROR_FILE_NOT_FOUND},     {EIO, ERROR_FILE_NOT_FOUND},
               {ENOTTY, ERROR_FILE_NOT_FOUND}, {ENOTDIR, ERROR_PATH_NOT_FOUND},    {EACCES, ERROR_ACCESS_DENIED},
               {EPERM, ERROR_ACCESS_DENIED},   {EBUSY, ERROR_SHARING_VIOLATION},   {EWOULDBLOCK, ERROR_SHARING_VIOLATION},
               {ENOMEM, ERROR_NOT_ENOUGH_MEMORY}};
  for (const auto& c : cases) EXPECT_EQ(k58::comm::OpenErrorFromErrno(c.error), c.expected) << c.error;

  setenv("K58_COM5", "/dev/ttyUSB0", 1);
  const String denied = CommOpenErrorText("\\\\.\\COM5", ERROR_ACCESS_DENIED);
  EXPECT_NE(denied.find("COM5"), String::npos) << denied;
  EXPECT_NE(denied.find("/dev/ttyUSB0"), String::npos) << denied;
  EXPECT_NE(denied.find("dialout"), String::npos) << denied;
  EXPECT_NE(CommOpenErrorText("COM5", ERROR_SHARING_VIOLATION).find("in use"), String::npos);
  EXPECT_EQ(CommOpenErrorText("COM5", ERROR_SHARING_VIOLATION).find("dialout"), String::npos);
  unsetenv("K58_COM5");
}

TEST_F(CommPort, OpensRawAndPassesEveryByteValue) {
  const termios t = pty_.Line();
  EXPECT_FALSE(t.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP));
  EXPECT_FALSE(t.c_oflag & OPOST);
  EXPECT_FALSE(t.c_lflag & (ECHO | ICANON | ISIG | IEXTEN));

  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
  pty_.Send(all);
  EXPECT_EQ(ReadAll(256), all);

  OVERLAPPED ov;
  ov.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  DWORD written = 0;
  if (!WriteFile(h_, all.data(), 256, &written, &ov)) {
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    ASSERT_TRUE(GetOverlappedResult(h_, &ov, &written, TRUE));
  }
  EXPECT_EQ(written, 256u);
  EXPECT_EQ(pty_.Receive(256), all);
  CloseHandle(ov.hEvent);
}

TEST_F(CommPort, LineSettingsReachTheDevice) {
  DCB dcb;
  ASSERT_TRUE(GetCommState(h_, &dcb));
  dcb.BaudRate = 2400;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = TWOSTOPBITS;
  ASSERT_TRUE(SetCommState(h_, &dcb));
  termios t = pty_.Line();
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B2400));
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  EXPECT_FALSE(t.c_cflag & PARENB);

  for (DWORD rate : {110u, 9600u, 19200u, 115200u}) {
    dcb.BaudRate = rate;
    ASSERT_TRUE(SetCommState(h_, &dcb)) << rate;
    DCB back;
    ASSERT_TRUE(GetCommState(h_, &back));
    EXPECT_EQ(back.BaudRate, rate);
  }

  // A pseudo-terminal keeps neither parity nor byte size: the change is refused as a whole.
  DCB before;
  ASSERT_TRUE(GetCommState(h_, &before));
  dcb = before;
  dcb.Parity = EVENPARITY;
  dcb.ByteSize = 7;
  dcb.BaudRate = 4800;
  EXPECT_FALSE(SetCommState(h_, &dcb));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  DCB after;
  ASSERT_TRUE(GetCommState(h_, &after));
  EXPECT_EQ(after.BaudRate, before.BaudRate);
  EXPECT_EQ(after.Parity, NOPARITY);
}

TEST(CommLine, ControlBlockAndTermiosRoundTrip) {
  const struct {
    DWORD baud;
    BYTE parity, size, stop;
    tcflag_t flags;  // expected c_cflag bits of size, parity and stop bits
  } rows[] = {
      {2400, NOPARITY, 8, TWOSTOPBITS, CS8 | CSTOPB},
      {9600, ODDPARITY, 7, ONESTOPBIT, CS7 | PARENB | PARODD},
      {19200, EVENPARITY, 8, ONESTOPBIT, CS8 | PARENB},
      {300, MARKPARITY, 6, TWOSTOPBITS, CS6 | PARENB | PARODD | CMSPAR | CSTOPB},
      {1200, SPACEPARITY, 8, ONESTOPBIT, CS8 | PARENB | CMSPAR},
      {110, NOPARITY, 5, ONE5STOPBITS, CS5 | CSTOPB},
  };
  for (const auto& r : rows) {
    DCB dcb;
    dcb.BaudRate = r.baud;
    dcb.Parity = r.parity;
    dcb.ByteSize = r.size;
    dcb.StopBits = r.stop;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    termios t{};
    t.c_iflag = ICRNL | IXON;
    t.c_lflag = ICANON | ECHO;
    t.c_oflag = OPOST;
    ASSERT_TRUE(k58::comm::DcbToTermios(dcb, t)) << r.baud;
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), r.flags) << r.baud;
    EXPECT_FALSE(t.c_iflag & (ICRNL | IXON)) << "raw input";
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO)) << "raw line";
    EXPECT_FALSE(t.c_oflag & OPOST) << "raw output";
    DCB back;
    k58::comm::TermiosToDcb(t, back);
    EXPECT_EQ(back.BaudRate, r.baud);
    EXPECT_EQ(back.Parity, r.parity);
    EXPECT_EQ(back.ByteSize, r.size);
    EXPECT_EQ(back.StopBits, r.stop);
  }
  DCB flow;
  flow.BaudRate = 9600;
  flow.ByteSize = 8;
  flow.fOutX = 1;
  flow.fInX = 1;
  flow.fRtsControl = RTS_CONTROL_HANDSHAKE;
  flow.XonChar = 0x21;
  flow.XoffChar = 0x23;
  termios t{};
  ASSERT_TRUE(k58::comm::DcbToTermios(flow, t));
  EXPECT_TRUE(t.c_iflag & IXON);
  EXPECT_TRUE(t.c_iflag & IXOFF);
  EXPECT_TRUE(t.c_cflag & CRTSCTS);
  EXPECT_EQ(t.c_cc[VSTART], 0x21);
  EXPECT_EQ(t.c_cc[VSTOP], 0x23);
}

TEST_F(CommPort, RejectedLineSettingsChangeNothing) {
  DCB good;
  ASSERT_TRUE(GetCommState(h_, &good));
  good.BaudRate = 2400;
  good.ByteSize = 8;
  good.Parity = NOPARITY;
  good.StopBits = TWOSTOPBITS;
  ASSERT_TRUE(SetCommState(h_, &good));
  const struct {
    const char* what;
    DWORD baud;
    BYTE size, parity, stop;
  } bad[] = {{"byte size 9", 2400, 9, NOPARITY, ONESTOPBIT},   {"byte size 4", 2400, 4, NOPARITY, ONESTOPBIT},
             {"rate 12345", 12345, 8, NOPARITY, ONESTOPBIT},   {"rate 0", 0, 8, NOPARITY, ONESTOPBIT},
             {"parity 5", 2400, 8, 5, ONESTOPBIT},             {"1.5 stop bits with 8", 2400, 8, NOPARITY, ONE5STOPBITS},
             {"2 stop bits with 5", 2400, 5, NOPARITY, TWOSTOPBITS}};
  for (const auto& b : bad) {
    DCB dcb = good;
    dcb.BaudRate = b.baud;
    dcb.ByteSize = b.size;
    dcb.Parity = b.parity;
    dcb.StopBits = b.stop;
    EXPECT_FALSE(SetCommState(h_, &dcb)) << b.what;
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << b.what;
  }
  DCB now;
  ASSERT_TRUE(GetCommState(h_, &now));
  EXPECT_EQ(now.BaudRate, 2400u);
  EXPECT_EQ(now.ByteSize, 8);
  EXPECT_EQ(now.StopBits, TWOSTOPBITS);
}

TEST_F(CommPort, EventWaitCompletesOnInputAndOnMaskChange) {
  ASSERT_TRUE(SetCommMask(h_, EV_RXCHAR | EV_ERR | EV_BREAK));
  OVERLAPPED ov;
  ov.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  DWORD mask = 0xDEAD;
  ASSERT_FALSE(WaitCommEvent(h_, &mask, &ov));
  ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
  EXPECT_EQ(WaitForSingleObject(ov.hEvent, 50), WAIT_TIMEOUT);
  DWORD n = 0;
  EXPECT_FALSE(GetOverlappedResult(h_, &ov, &n, FALSE));
  EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);

  pty_.Send({0x11, 0x13});
  ASSERT_EQ(WaitForSingleObject(ov.hEvent, 2000), WAIT_OBJECT_0);
  ASSERT_TRUE(GetOverlappedResult(h_, &ov, &n, FALSE));
  EXPECT_EQ(mask, EV_RXCHAR);
  COMSTAT stat;
  DWORD errors = 1;
  ASSERT_TRUE(ClearCommError(h_, &errors, &stat));
  EXPECT_EQ(errors, 0u);
  EXPECT_EQ(stat.cbInQue, 2u);

  // Bytes that stay unread are not a new event; a mask change ends the wait with no event.
  ASSERT_FALSE(WaitCommEvent(h_, &mask, &ov));
  ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
  EXPECT_EQ(WaitForSingleObject(ov.hEvent, 100), WAIT_TIMEOUT);
  ASSERT_TRUE(SetCommMask(h_, 0));
  ASSERT_TRUE(GetOverlappedResult(h_, &ov, &n, TRUE));
  EXPECT_EQ(mask, 0u);
  CloseHandle(ov.hEvent);
}

TEST_F(CommPort, ClosingAbortsWhatIsPending) {
  ASSERT_TRUE(SetCommMask(h_, EV_RXCHAR));
  OVERLAPPED ov;
  ov.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  DWORD mask = 0;
  ASSERT_FALSE(WaitCommEvent(h_, &mask, &ov));
  ASSERT_TRUE(CloseHandle(h_));
  HANDLE closed = h_;
  h_ = INVALID_HANDLE_VALUE;
  EXPECT_EQ(WaitForSingleObject(ov.hEvent, 0), WAIT_OBJECT_0);
  DWORD n = 0;
  EXPECT_FALSE(GetOverlappedResult(closed, &ov, &n, TRUE));
  EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
  EXPECT_FALSE(SetCommMask(closed, EV_RXCHAR));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  CloseHandle(ov.hEvent);
}

TEST_F(CommPort, AVanishedDeviceFailsInsteadOfHanging) {
  ASSERT_TRUE(SetCommMask(h_, EV_RXCHAR));
  OVERLAPPED ov;
  ov.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  DWORD mask = 0;
  ASSERT_FALSE(WaitCommEvent(h_, &mask, &ov));
  pty_.CloseMaster();
  ASSERT_EQ(WaitForSingleObject(ov.hEvent, 2000), WAIT_OBJECT_0);
  DWORD n = 0;
  EXPECT_FALSE(GetOverlappedResult(h_, &ov, &n, FALSE));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_FALSE(WaitCommEvent(h_, &mask, &ov));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  uint8_t buf[8];
  EXPECT_FALSE(ReadFile(h_, buf, sizeof buf, &n, &ov));
  EXPECT_EQ(n, 0u);
  EXPECT_FALSE(WriteFile(h_, buf, sizeof buf, &n, &ov));
  EXPECT_EQ(GetLastError(), ERROR_DEVICE_NOT_CONNECTED);
  CloseHandle(ov.hEvent);
}

TEST_F(CommPort, AWriteTheLineCannotTakeStaysPendingUntilSentOrPurged) {
  // Nobody reads the master: the pty fills up and the write cannot complete.
  Bytes big(256 * 1024, 0x55);
  OVERLAPPED ov;
  ov.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
  DWORD n = 0;
  ASSERT_FALSE(WriteFile(h_, big.data(), static_cast<DWORD>(big.size()), &n, &ov));
  ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
  EXPECT_EQ(WaitForSingleObject(ov.hEvent, 100), WAIT_TIMEOUT);
  COMSTAT stat;
  ASSERT_TRUE(ClearCommError(h_, nullptr, &stat));
  EXPECT_GT(stat.cbOutQue, 0u);
  ASSERT_TRUE(PurgeComm(h_, PURGE_TXABORT | PURGE_TXCLEAR));
  ASSERT_EQ(WaitForSingleObject(ov.hEvent, 0), WAIT_OBJECT_0);
  EXPECT_FALSE(GetOverlappedResult(h_, &ov, &n, FALSE));
  EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
  EXPECT_LT(n, big.size());

  // Drained by the other side, the next one completes and reports every byte.
  ResetEvent(ov.hEvent);
  pty_.Receive(SIZE_MAX, 50);
  Bytes block(64 * 1024, 0xAA);
  if (!WriteFile(h_, block.data(), static_cast<DWORD>(block.size()), &n, &ov)) {
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    EXPECT_EQ(pty_.Receive(block.size(), 2000), block);
    ASSERT_EQ(WaitForSingleObject(ov.hEvent, 2000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetOverlappedResult(h_, &ov, &n, FALSE));
  }
  EXPECT_EQ(n, block.size());
  CloseHandle(ov.hEvent);
}

TEST_F(CommPort, PurgingInputDropsWhatIsQueued) {
  pty_.Send({1, 2, 3, 4});
  COMSTAT stat;
  for (int i = 0; i < 100 && stat.cbInQue < 4; ++i) {
    ClearCommError(h_, nullptr, &stat);
    usleep(2000);
  }
  EXPECT_EQ(stat.cbInQue, 4u);
  ASSERT_TRUE(PurgeComm(h_, PURGE_RXABORT | PURGE_RXCLEAR));
  ASSERT_TRUE(ClearCommError(h_, nullptr, &stat));
  EXPECT_EQ(stat.cbInQue, 0u);
  EXPECT_TRUE(ReadAll(1, 20).empty());
}

TEST_F(CommPort, ModemCallsWorkWithoutModemLines) {
  // A pseudo-terminal has no modem lines: the calls succeed and report nothing.
  for (DWORD f : {SETDTR, CLRDTR, SETRTS, CLRRTS}) EXPECT_TRUE(EscapeCommFunction(h_, f)) << f;
  EXPECT_FALSE(EscapeCommFunction(h_, 77));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  DWORD status = 0xFF;
  EXPECT_TRUE(GetCommModemStatus(h_, &status));
  EXPECT_EQ(status, 0u);
  EXPECT_TRUE(SetupComm(h_, 4096, 4096));
}

TEST(CommOpen, RepeatedOpenAndCloseLeavesNothingBehind) {
  Pty pty;
  setenv("K58_COM9", pty.Slave().c_str(), 1);
  int fds = 0, threads = 0;
  for (int i = 0; i <= 100; ++i) {
    if (i == 1) {  // after one cycle, so that lazily started helpers of the tools do not count
      fds = CountEntries("/proc/self/fd");
      threads = CountEntries("/proc/self/task");
    }
    HANDLE h = CreateFileA(kName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                           nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetCommMask(h, EV_RXCHAR);
    OVERLAPPED ov;
    ov.hEvent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    DWORD mask;
    WaitCommEvent(h, &mask, &ov);  // starts the device's service thread
    CloseHandle(h);
    CloseHandle(ov.hEvent);
  }
  EXPECT_EQ(CountEntries("/proc/self/fd"), fds);
  EXPECT_EQ(CountEntries("/proc/self/task"), threads);
  unsetenv("K58_COM9");
}

}  // namespace comm_test
