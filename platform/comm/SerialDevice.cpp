#include "platform/comm/SerialDevice.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace k58::comm {
namespace {

EventHooks g_hooks;

struct BaudEntry {
  DWORD rate;
  speed_t code;
};
const BaudEntry kBauds[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},         {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},       {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},     {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool SpeedCode(DWORD rate, speed_t& code) {
  for (const auto& b : kBauds)
    if (b.rate == rate) {
      code = b.code;
      return true;
    }
  return false;
}

DWORD SpeedRate(speed_t code) {
  for (const auto& b : kBauds)
    if (b.code == code) return b.rate;
  return 0;
}

// The line settings the communications API describes, compared after a change to catch what the driver
// silently refused.
tcflag_t LineBits(const termios& t) { return t.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS); }

void MakeRaw(termios& t) {
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY | INPCK | IUCLC |
                 IMAXBEL | IUTF8);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~(CSIZE | PARENB);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
}

int InQueue(int fd) {
  int n = 0;
  return ioctl(fd, FIONREAD, &n) == 0 ? n : 0;
}

DWORD IoError(int error) {
  switch (error) {
    case EIO:
    case ENXIO:
    case ENODEV:
    case EPIPE:
      return ERROR_DEVICE_NOT_CONNECTED;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    default:
      return ERROR_GEN_FAILURE;
  }
}

}  // namespace

bool DcbToTermios(const DCB& dcb, termios& t) {
  speed_t speed;
  if (!SpeedCode(dcb.BaudRate, speed)) return false;
  if (dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > SPACEPARITY || dcb.StopBits > TWOSTOPBITS) return false;
  // One and a half stop bits exist only with 5 data bits, two only with more.
  if (dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) return false;
  if (dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5) return false;
  MakeRaw(t);
  cfsetispeed(&t, speed);
  cfsetospeed(&t, speed);
  t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
  t.c_cflag |= sizes[dcb.ByteSize - 5];
  switch (dcb.Parity) {
    case ODDPARITY: t.c_cflag |= PARENB | PARODD; break;
    case EVENPARITY: t.c_cflag |= PARENB; break;
    case MARKPARITY: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
    case SPACEPARITY: t.c_cflag |= PARENB | CMSPAR; break;
    default: break;
  }
  if (dcb.StopBits != ONESTOPBIT) t.c_cflag |= CSTOPB;
  // The kernel couples RTS handshaking and CTS flow control in one flag.
  if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) t.c_cflag |= CRTSCTS;
  // Parity errors are not checked in the line discipline: it would replace the byte.
  if (dcb.fOutX) t.c_iflag |= IXON;
  if (dcb.fInX) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = static_cast<cc_t>(dcb.XonChar);
  t.c_cc[VSTOP] = static_cast<cc_t>(dcb.XoffChar);
  return true;
}

void TermiosToDcb(const termios& t, DCB& dcb) {
  dcb.DCBlength = sizeof(DCB);
  dcb.BaudRate = SpeedRate(cfgetospeed(&t));
  switch (t.c_cflag & CSIZE) {
    case CS5: dcb.ByteSize = 5; break;
    case CS6: dcb.ByteSize = 6; break;
    case CS7: dcb.ByteSize = 7; break;
    default: dcb.ByteSize = 8; break;
  }
  if (!(t.c_cflag & PARENB))
    dcb.Parity = NOPARITY;
  else if (t.c_cflag & CMSPAR)
    dcb.Parity = (t.c_cflag & PARODD) ? MARKPARITY : SPACEPARITY;
  else
    dcb.Parity = (t.c_cflag & PARODD) ? ODDPARITY : EVENPARITY;
  if (!(t.c_cflag & CSTOPB))
    dcb.StopBits = ONESTOPBIT;
  else
    dcb.StopBits = dcb.ByteSize == 5 ? ONE5STOPBITS : TWOSTOPBITS;
  dcb.fBinary = 1;
  dcb.fOutX = (t.c_iflag & IXON) ? 1 : 0;
  dcb.fInX = (t.c_iflag & IXOFF) ? 1 : 0;
  dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
  dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
  if (t.c_cflag & CRTSCTS) {
    if (!dcb.fOutxCtsFlow && dcb.fRtsControl != RTS_CONTROL_HANDSHAKE) dcb.fOutxCtsFlow = 1;
  } else {
    dcb.fOutxCtsFlow = 0;
    if (dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) dcb.fRtsControl = RTS_CONTROL_ENABLE;
  }
}

void SetEventHooks(const EventHooks& hooks) { g_hooks = hooks; }

DWORD OpenErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:      // a ttyS node without a UART behind it
    case ENOTTY:   // not a serial device
    case EISDIR:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case EBUSY:         // held exclusively by another program
    case EWOULDBLOCK:   // locked by another program
      return ERROR_SHARING_VIOLATION;
    case ENOMEM:
    case EMFILE:
    case ENFILE:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_GEN_FAILURE;
  }
}

std::shared_ptr<SerialDevice> SerialDevice::Open(const String& path, DWORD& error) {
  error = ERROR_SUCCESS;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = OpenErrorFromErrno(errno);
    return nullptr;
  }
  auto fail = [&](DWORD e) -> std::shared_ptr<SerialDevice> {
    ::close(fd);
    error = e;
    return nullptr;
  };
  termios t{};
  if (tcgetattr(fd, &t) != 0) return fail(OpenErrorFromErrno(errno));
  // The lock holds for root too; TIOCEXCL additionally keeps out programs that do not lock.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno == EWOULDBLOCK ? ERROR_SHARING_VIOLATION : OpenErrorFromErrno(errno));
  ioctl(fd, TIOCEXCL);
  MakeRaw(t);
  if (tcsetattr(fd, TCSANOW, &t) != 0) return fail(OpenErrorFromErrno(errno));
  tcflush(fd, TCIOFLUSH);

  std::shared_ptr<SerialDevice> d(new SerialDevice());
  d->path_ = path;
  d->serviceWake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  d->closing_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (d->serviceWake_ < 0 || d->closing_ < 0) {
    d->closed_ = true;  // the destructor closes what exists
    return fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  d->fd_ = fd;
  int bits = 0;
  d->modemOk_ = ioctl(fd, TIOCMGET, &bits) == 0;
  d->modem_ = bits;
  serial_icounter_struct ic{};
  d->icountOk_ = ioctl(fd, TIOCGICOUNT, &ic) == 0;
  if (d->icountOk_) {
    d->icount_[0] = ic.frame;
    d->icount_[1] = ic.parity;
    d->icount_[2] = ic.overrun;
    d->icount_[3] = ic.buf_overrun;
    d->icount_[4] = ic.brk;
  }
  d->shadow_.fBinary = 1;
  d->shadow_.fDtrControl = DTR_CONTROL_ENABLE;  // opening the node raises DTR and RTS
  d->shadow_.fRtsControl = RTS_CONTROL_ENABLE;
  d->shadow_.fTXContinueOnXoff = 1;
  d->shadow_.XonLim = 2048;
  d->shadow_.XoffLim = 512;
  return d;
}

SerialDevice::~SerialDevice() {
  Close();
  if (serviceWake_ >= 0) ::close(serviceWake_);
  if (closing_ >= 0) ::close(closing_);
}

void SerialDevice::Close() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (fd_ < 0) return;
  closed_ = true;
  if (waitOv_ != nullptr) CompleteWait(lock, 0, ERROR_OPERATION_ABORTED);
  while (!writes_.empty()) CompleteWrite(lock, ERROR_OPERATION_ABORTED);
  const uint64_t one = 1;
  (void)!::write(closing_, &one, sizeof one);
  Wake();
  std::thread service = std::move(service_);
  lock.unlock();
  if (service.joinable()) service.join();
  lock.lock();
  // Blocking calls see `closing_` and leave; only then may the descriptor number be reused.
  done_.wait(lock, [this] { return inFlight_ == 0 && signalling_ == nullptr; });
  ::close(fd_);  // also releases the lock
  fd_ = -1;
}

void SerialDevice::Wake() {
  const uint64_t one = 1;
  (void)!::write(serviceWake_, &one, sizeof one);
}

void SerialDevice::StartService() {
  if (!service_.joinable() && !closed_) service_ = std::thread([this] { Service(); });
}

void SerialDevice::Begin(OVERLAPPED* ov) {
  ov->Internal = STATUS_PENDING;
  ov->InternalHigh = 0;
  if (ov->hEvent != nullptr && g_hooks.reset != nullptr) g_hooks.reset(ov->hEvent);
}

// Publishes a result and sets the event outside the lock; Result() waits until the event is set, so a caller
// that closes its event after GetOverlappedResult never races the signal.
void SerialDevice::Signal(std::unique_lock<std::mutex>& lock, OVERLAPPED* ov) {
  const HANDLE event = ov->hEvent;
  if (event == nullptr || g_hooks.set == nullptr) {
    done_.notify_all();
    return;
  }
  while (signalling_ != nullptr) done_.wait(lock);
  signalling_ = ov;
  lock.unlock();
  g_hooks.set(event);
  lock.lock();
  signalling_ = nullptr;
  done_.notify_all();
}

void SerialDevice::CompleteWait(std::unique_lock<std::mutex>& lock, DWORD events, DWORD error) {
  OVERLAPPED* ov = waitOv_;
  if (waitMask_ != nullptr) *waitMask_ = error == ERROR_SUCCESS ? events : 0;
  waitOv_ = nullptr;
  waitMask_ = nullptr;
  ov->InternalHigh = 0;
  ov->Internal = error;
  Signal(lock, ov);
}

void SerialDevice::CompleteWrite(std::unique_lock<std::mutex>& lock, DWORD error) {
  WriteOp op = std::move(writes_.front());
  writes_.pop_front();
  op.ov->InternalHigh = op.done;
  op.ov->Internal = error;
  Signal(lock, op.ov);
}

int SerialDevice::OutQueue() const {
  int n = 0;
  return ioctl(fd_, TIOCOUTQ, &n) == 0 ? n : 0;
}

void SerialDevice::Sample() {
  if (fd_ < 0 || hungUp_) return;
  pollfd p{fd_, 0, 0};
  if (poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) {
    hungUp_ = true;
    return;
  }
  DWORD events = 0;
  const int q = InQueue(fd_);
  if (q > rxBaseline_) events |= EV_RXCHAR;
  rxBaseline_ = q;
  if (modemOk_) {
    int bits = 0;
    if (ioctl(fd_, TIOCMGET, &bits) == 0) {
      const int changed = bits ^ modem_;
      if (changed & TIOCM_CTS) events |= EV_CTS;
      if (changed & TIOCM_DSR) events |= EV_DSR;
      if (changed & TIOCM_CAR) events |= EV_RLSD;
      if ((changed & TIOCM_RNG) && (bits & TIOCM_RNG)) events |= EV_RING;
      modem_ = bits;
    }
  }
  if (icountOk_) {
    serial_icounter_struct ic{};
    if (ioctl(fd_, TIOCGICOUNT, &ic) == 0) {
      const int now[5] = {ic.frame, ic.parity, ic.overrun, ic.buf_overrun, ic.brk};
      const DWORD bits[5] = {CE_FRAME, CE_RXPARITY, CE_OVERRUN, CE_RXOVER, CE_BREAK};
      for (int i = 0; i < 5; ++i)
        if (now[i] != icount_[i]) {
          errors_ |= bits[i];
          events |= i == 4 ? EV_BREAK : EV_ERR;
          icount_[i] = now[i];
        }
    }
  }
  history_ |= events & mask_;
}

void SerialDevice::Service() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!closed_) {
    // Move the pending operations on as far as they go without waiting.
    if (!hungUp_) Sample();
    if (hungUp_) {
      if (waitOv_ != nullptr) CompleteWait(lock, 0, ERROR_DEVICE_NOT_CONNECTED);
      while (!writes_.empty()) CompleteWrite(lock, ERROR_DEVICE_NOT_CONNECTED);
    }
    if (waitOv_ != nullptr && (history_ & mask_)) {
      const DWORD events = history_ & mask_;
      history_ = 0;
      CompleteWait(lock, events, ERROR_SUCCESS);
      continue;
    }
    bool wantOut = false;
    bool draining = false;
    while (!writes_.empty() && !hungUp_) {
      WriteOp& op = writes_.front();
      if (op.done < op.data.size()) {
        const ssize_t n = ::write(fd_, op.data.data() + op.done, op.data.size() - op.done);
        if (n > 0) op.done += static_cast<size_t>(n);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
          CompleteWrite(lock, IoError(errno));
          continue;
        }
        if (op.done < op.data.size()) {
          wantOut = true;
          break;
        }
      }
      // Complete once the driver has sent the bytes, so that the caller's output count falls when they left.
      if (OutQueue() > 0) {
        draining = true;
        break;
      }
      CompleteWrite(lock, ERROR_SUCCESS);
    }
    if (closed_) break;

    // Wait for the device or for a new request.
    // Input is level-triggered: poll for it only while the queue is empty, else any byte counts as new.
    const bool watchIn = waitOv_ != nullptr && (mask_ & EV_RXCHAR) && !hungUp_ && rxBaseline_ == 0;
    int timeout = -1;
    if (draining) timeout = 3;
    if (waitOv_ != nullptr && !hungUp_) {
      // Unread input that is not new, modem lines and error counters are sampled, not waited for.
      if ((mask_ & EV_RXCHAR) && rxBaseline_ > 0) timeout = timeout < 0 ? 20 : std::min(timeout, 20);
      if ((modemOk_ && (mask_ & (EV_CTS | EV_DSR | EV_RLSD | EV_RING))) ||
          (icountOk_ && (mask_ & (EV_ERR | EV_BREAK))))
        timeout = timeout < 0 ? 25 : std::min(timeout, 25);
    }
    pollfd p[2] = {{serviceWake_, POLLIN, 0}, {fd_, 0, 0}};
    if (watchIn) p[1].events |= POLLIN;
    if (wantOut) p[1].events |= POLLOUT;
    const nfds_t count = (hungUp_ || (!watchIn && !wantOut && waitOv_ == nullptr)) ? 1 : 2;
    lock.unlock();
    poll(p, count, timeout);
    if (p[0].revents & POLLIN) {
      uint64_t v;
      (void)!::read(serviceWake_, &v, sizeof v);
    }
    lock.lock();
  }
}

DWORD SerialDevice::Read(void* buffer, DWORD count, DWORD& got, OVERLAPPED* ov) {
  std::unique_lock<std::mutex> lock(mutex_);
  got = 0;
  if (closed_) return ERROR_INVALID_HANDLE;
  DWORD error = ERROR_SUCCESS;
  const bool immediate = timeouts_.ReadIntervalTimeout == MAXDWORD && timeouts_.ReadTotalTimeoutMultiplier == 0 &&
                         timeouts_.ReadTotalTimeoutConstant == 0;
  if (hungUp_) {
    error = ERROR_DEVICE_NOT_CONNECTED;
  } else if (count > 0 && immediate) {
    // With VMIN = VTIME = 0 an empty queue reads as 0 bytes; EIO means the other side is gone.
    const ssize_t n = ::read(fd_, buffer, count);
    if (n > 0) {
      got = static_cast<DWORD>(n);
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      error = IoError(errno);
      if (error == ERROR_DEVICE_NOT_CONNECTED) hungUp_ = true;
    }
  } else if (count > 0) {
    error = ReadBlocking(buffer, count, got, lock);
  }
  rxBaseline_ = std::max(0, rxBaseline_ - static_cast<int>(got));
  if (ov != nullptr) {
    ov->Internal = error;
    ov->InternalHigh = got;
    Signal(lock, ov);
  }
  return error;
}

// Reads with the time-outs of COMMTIMEOUTS; the descriptor is used outside the lock, counted in inFlight_.
DWORD SerialDevice::ReadBlocking(void* buffer, DWORD count, DWORD& got, std::unique_lock<std::mutex>& lock) {
  using Clock = std::chrono::steady_clock;
  const COMMTIMEOUTS t = timeouts_;
  const uint64_t total = static_cast<uint64_t>(t.ReadTotalTimeoutMultiplier) * count + t.ReadTotalTimeoutConstant;
  const auto deadline = Clock::now() + std::chrono::milliseconds(total);
  const int fd = fd_;
  ++inFlight_;
  lock.unlock();
  DWORD error = ERROR_SUCCESS;
  auto* out = static_cast<uint8_t*>(buffer);
  for (;;) {
    const ssize_t n = ::read(fd, out + got, count - got);
    if (n > 0) {
      got += static_cast<DWORD>(n);
      if (got == count) break;
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      error = IoError(errno);
      break;
    }
    int wait = -1;
    if (total > 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) break;
      wait = static_cast<int>(left);
    }
    if (got > 0 && t.ReadIntervalTimeout > 0 && t.ReadIntervalTimeout != MAXDWORD)
      wait = wait < 0 ? static_cast<int>(t.ReadIntervalTimeout) : std::min<int>(wait, t.ReadIntervalTimeout);
    pollfd p[2] = {{fd, POLLIN, 0}, {closing_, POLLIN, 0}};
    const int r = poll(p, 2, wait);
    if (p[1].revents & POLLIN) {
      error = ERROR_OPERATION_ABORTED;
      break;
    }
    if ((p[0].revents & (POLLHUP | POLLERR)) && !(p[0].revents & POLLIN)) {
      error = ERROR_DEVICE_NOT_CONNECTED;
      break;
    }
    if (r == 0 && got > 0) break;  // the interval between two bytes ran out
  }
  lock.lock();
  if (error == ERROR_DEVICE_NOT_CONNECTED) hungUp_ = true;
  --inFlight_;
  done_.notify_all();
  return error;
}

DWORD SerialDevice::Write(const void* buffer, DWORD count, DWORD& written, OVERLAPPED* ov) {
  std::unique_lock<std::mutex> lock(mutex_);
  written = 0;
  if (closed_) return ERROR_INVALID_HANDLE;
  if (hungUp_) return ERROR_DEVICE_NOT_CONNECTED;
  OVERLAPPED local;
  OVERLAPPED* op = ov != nullptr ? ov : &local;
  const auto* bytes = static_cast<const uint8_t*>(buffer);
  size_t done = 0;
  if (writes_.empty() && count > 0) {
    const ssize_t n = ::write(fd_, bytes, count);
    if (n > 0) done = static_cast<size_t>(n);
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      const DWORD error = IoError(errno);
      if (error == ERROR_DEVICE_NOT_CONNECTED) hungUp_ = true;
      return error;
    }
  }
  if (done == count && writes_.empty() && OutQueue() == 0) {
    written = count;
    if (ov != nullptr) {
      ov->Internal = ERROR_SUCCESS;
      ov->InternalHigh = count;
      Signal(lock, ov);
    }
    return ERROR_SUCCESS;
  }
  Begin(op);
  WriteOp w;
  w.ov = op;
  w.data.assign(bytes, bytes + count);
  w.done = done;
  writes_.push_back(std::move(w));
  StartService();
  Wake();
  if (ov != nullptr) return ERROR_IO_PENDING;
  // A write without an OVERLAPPED blocks until it completes.
  done_.wait(lock, [&] { return local.Internal != STATUS_PENDING && signalling_ != &local; });
  written = static_cast<DWORD>(local.InternalHigh);
  return static_cast<DWORD>(local.Internal);
}

DWORD SerialDevice::WaitEvent(DWORD* mask, OVERLAPPED* ov) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  if (waitOv_ != nullptr || mask_ == 0) return ERROR_INVALID_PARAMETER;
  Sample();
  if (hungUp_) return ERROR_DEVICE_NOT_CONNECTED;
  if (history_ & mask_) {
    *mask = history_ & mask_;
    history_ = 0;
    if (ov != nullptr) {
      ov->Internal = ERROR_SUCCESS;
      ov->InternalHigh = 0;
      Signal(lock, ov);
    }
    return ERROR_SUCCESS;
  }
  OVERLAPPED local;
  OVERLAPPED* op = ov != nullptr ? ov : &local;
  Begin(op);
  waitOv_ = op;
  waitMask_ = mask;
  StartService();
  Wake();
  if (ov != nullptr) return ERROR_IO_PENDING;
  done_.wait(lock, [&] { return local.Internal != STATUS_PENDING && signalling_ != &local; });
  return static_cast<DWORD>(local.Internal);
}

DWORD SerialDevice::Result(OVERLAPPED* ov, bool wait, DWORD& transferred) {
  std::unique_lock<std::mutex> lock(mutex_);
  transferred = 0;
  if (ov->Internal == STATUS_PENDING && !wait) return ERROR_IO_INCOMPLETE;
  // Also wait for the event to be set, which follows the result at once.
  done_.wait(lock, [&] { return ov->Internal != STATUS_PENDING && signalling_ != ov; });
  transferred = static_cast<DWORD>(ov->InternalHigh);
  return static_cast<DWORD>(ov->Internal);
}

DWORD SerialDevice::SetMask(DWORD mask) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  mask_ = mask;
  history_ = 0;
  // A pending wait ends at once, reporting no event.
  if (waitOv_ != nullptr) CompleteWait(lock, 0, ERROR_SUCCESS);
  return ERROR_SUCCESS;
}

DWORD SerialDevice::GetMask(DWORD& mask) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  mask = mask_;
  return ERROR_SUCCESS;
}

DWORD SerialDevice::GetState(DCB& dcb) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  termios t{};
  if (tcgetattr(fd_, &t) != 0) return IoError(errno);
  dcb = shadow_;
  TermiosToDcb(t, dcb);
  return ERROR_SUCCESS;
}

DWORD SerialDevice::SetState(const DCB& dcb) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  termios old{};
  if (tcgetattr(fd_, &old) != 0) return IoError(errno);
  termios t = old;
  if (!DcbToTermios(dcb, t)) return ERROR_INVALID_PARAMETER;
  if (tcsetattr(fd_, TCSANOW, &t) != 0) return IoError(errno);
  // tcsetattr succeeds when any part applied (a pseudo-terminal keeps neither parity nor byte size):
  // compare what matters and undo a partial change.
  termios now{};
  if (tcgetattr(fd_, &now) != 0) return IoError(errno);
  if (LineBits(now) != LineBits(t) || cfgetospeed(&now) != cfgetospeed(&t)) {
    tcsetattr(fd_, TCSANOW, &old);
    return ERROR_INVALID_PARAMETER;
  }
  shadow_ = dcb;
  if (dcb.fDtrControl == DTR_CONTROL_ENABLE) SetModemLine(TIOCM_DTR, true);
  if (dcb.fDtrControl == DTR_CONTROL_DISABLE) SetModemLine(TIOCM_DTR, false);
  if (dcb.fRtsControl == RTS_CONTROL_ENABLE) SetModemLine(TIOCM_RTS, true);
  if (dcb.fRtsControl == RTS_CONTROL_DISABLE) SetModemLine(TIOCM_RTS, false);
  return ERROR_SUCCESS;
}

void SerialDevice::SetModemLine(int line, bool on) {
  // Pseudo-terminals and some adapters have no modem lines; there is nothing to drive then.
  ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line);
}

DWORD SerialDevice::GetTimeouts(COMMTIMEOUTS& t) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  t = timeouts_;
  return ERROR_SUCCESS;
}

DWORD SerialDevice::SetTimeouts(const COMMTIMEOUTS& t) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  timeouts_ = t;
  return ERROR_SUCCESS;
}

DWORD SerialDevice::Setup(DWORD inQueue, DWORD outQueue) {
  // The kernel's queues have fixed sizes; the sizes are a recommendation and are only kept.
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  inQueue_ = inQueue;
  outQueue_ = outQueue;
  return ERROR_SUCCESS;
}

DWORD SerialDevice::ClearError(DWORD* errors, COMSTAT* stat) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (stat != nullptr) *stat = COMSTAT();
  if (errors != nullptr) *errors = 0;
  if (closed_) return ERROR_INVALID_HANDLE;
  Sample();
  if (hungUp_) return ERROR_DEVICE_NOT_CONNECTED;
  if (errors != nullptr) *errors = errors_;
  errors_ = 0;
  if (stat != nullptr) {
    stat->cbInQue = static_cast<DWORD>(InQueue(fd_));
    size_t pending = 0;
    for (const auto& w : writes_) pending += w.data.size() - w.done;
    stat->cbOutQue = static_cast<DWORD>(OutQueue() + pending);
  }
  return ERROR_SUCCESS;
}

DWORD SerialDevice::Purge(DWORD flags) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  if (flags & ~(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR)) return ERROR_INVALID_PARAMETER;
  if (flags & PURGE_TXABORT)
    while (!writes_.empty()) CompleteWrite(lock, ERROR_OPERATION_ABORTED);
  if (closed_) return ERROR_INVALID_HANDLE;
  if (flags & PURGE_TXCLEAR) tcflush(fd_, TCOFLUSH);
  if (flags & PURGE_RXCLEAR) {
    tcflush(fd_, TCIFLUSH);
    rxBaseline_ = 0;
  }
  return ERROR_SUCCESS;
}

DWORD SerialDevice::Escape(DWORD function) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (closed_) return ERROR_INVALID_HANDLE;
  switch (function) {
    case SETDTR: SetModemLine(TIOCM_DTR, true); break;
    case CLRDTR: SetModemLine(TIOCM_DTR, false); break;
    case SETRTS: SetModemLine(TIOCM_RTS, true); break;
    case CLRRTS: SetModemLine(TIOCM_RTS, false); break;
    case SETXOFF: tcflow(fd_, TCOOFF); break;
    case SETXON: tcflow(fd_, TCOON); break;
    case SETBREAK: ioctl(fd_, TIOCSBRK); break;
    case CLRBREAK: ioctl(fd_, TIOCCBRK); break;
    default: return ERROR_INVALID_PARAMETER;
  }
  return ERROR_SUCCESS;
}

DWORD SerialDevice::ModemStatus(DWORD& status) {
  std::lock_guard<std::mutex> lock(mutex_);
  status = 0;
  if (closed_) return ERROR_INVALID_HANDLE;
  int bits = 0;
  if (ioctl(fd_, TIOCMGET, &bits) != 0) return ERROR_SUCCESS;  // no modem lines: all off
  if (bits & TIOCM_CTS) status |= MS_CTS_ON;
  if (bits & TIOCM_DSR) status |= MS_DSR_ON;
  if (bits & TIOCM_RNG) status |= MS_RING_ON;
  if (bits & TIOCM_CAR) status |= MS_RLSD_ON;
  return ERROR_SUCCESS;
}

}  // namespace k58::comm
