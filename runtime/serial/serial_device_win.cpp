// A COM port through the Win32 communications calls, none of which waits
// without a bound.
//
// Not QSerialPort: its Windows backend keeps an overlapped WaitCommEvent
// under way from the open onwards, with no event in its OVERLAPPED. Wine
// serves such a call by waiting, on the calling thread, until a character
// or a modem-line change arrives: on a real, silent port (COM1 on
// /dev/ttyS0) the open never returned, and the window froze. A
// pseudo-terminal escaped only because Wine's wait gives up at once where
// the modem-status ioctls fail.
//
// Here the handle is synchronous and every call returns within a bound the
// port's time-outs set: a read takes what the driver holds and returns at
// once (ReadIntervalTimeout MAXDWORD, no totals), a write is given the
// bytes' time on the line and a little more, and ClearCommError counts what
// waits. Nothing here waits for an event.
#include <windows.h>

#include <QTimer>

#include <algorithm>
#include <cerrno>

#include "runtime/core/port_choices.h"
#include "runtime/core/serial_ops.h"
#include "runtime/serial/open_failure.h"
#include "runtime/serial/port_claim.h"
#include "runtime/serial/serial_endpoint.h"

namespace rt {

namespace {

// Beyond the bytes' own time on the line: the driver's and the scheduler's.
constexpr DWORD kWriteSlackMs = 50;
// How often an open port is asked whether its device is still there, when
// nobody calls (the panel's rate poll calls twice a second anyway).
constexpr int kLostWatchMs = 250;
// A flush reads the waiting bytes away, counting each, up to this; the rest
// the driver drops, uncounted.
constexpr long long kDrainLimit = 1 << 20;

BYTE ToParity(int parity) {
  switch (parity) {
  case 1: return ODDPARITY;
  case 2: return EVENPARITY;
  case 3: return MARKPARITY;
  case 4: return SPACEPARITY;
  default: return NOPARITY;
  }
}

// The name CreateFileW takes: a port in the device namespace, where COM10 and
// beyond open too (a bare "COM10" does not), whatever case it was typed in.
std::wstring WindowsDeviceName(const std::string &path) {
  std::string name = OperatorPortName(path);
  if (name.find('\\') == std::string::npos && name.find('/') == std::string::npos)
    name = "\\\\.\\" + name;
  std::wstring wide(name.size(), L'\0');
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()),
                                      wide.data(), static_cast<int>(wide.size()));
  wide.resize(static_cast<std::size_t>(std::max(n, 0)));
  return wide;
}

OpenFailure Failed(TapOpenFault fault, int error, unsigned long windowsError) {
  OpenFailure why{fault, error};
  why.systemError = windowsError;
  return why;
}

class ComPortEndpoint final : public Endpoint {
public:
  ~ComPortEndpoint() override {
    lostWatch_.stop();
    if (handle_ == INVALID_HANDLE_VALUE)
      return;
    // The line as another program left it: its settings come back.
    ::SetCommState(handle_, &saved_);
    ::SetCommTimeouts(handle_, &savedTimeouts_);
    ::CloseHandle(handle_);
  }

  bool Open(const std::string &path, const LineSettings &s, OpenFailure *why) {
    settings_ = s;
    inputQueueSize_ = std::max(1, s.inputQueueSize);
    claim_ = ClaimPort(path);
    if (!claim_) {
      *why = Failed(TapOpenFault::System, EBUSY, ERROR_SHARING_VIOLATION);
      return false;
    }
    const std::wstring name = WindowsDeviceName(path);
    const HANDLE handle = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      *why = OpenFailureOfWindowsError(::GetLastError());
      return false;
    }
    saved_.DCBlength = sizeof saved_;
    if (!::GetCommState(handle, &saved_) || !::GetCommTimeouts(handle, &savedTimeouts_)) {
      // Opens, but is no serial line.
      *why = Failed(TapOpenFault::System, ENOTTY, ::GetLastError());
      ::CloseHandle(handle);
      return false;
    }
    DCB line = saved_;
    line.BaudRate = static_cast<DWORD>(s.baudRate);
    line.ByteSize = static_cast<BYTE>(s.dataBits);
    line.Parity = ToParity(s.parity);
    line.StopBits = s.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    // Bytes pass unaltered: binary, no parity check or replacement, no
    // NUL stripping, no flow control of either kind. DTR and RTS are raised,
    // as a POSIX open raises them.
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    line.fAbortOnError = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD; // a read returns what waits, at once
    timeouts.WriteTotalTimeoutMultiplier = ByteTimeMs() + 1;
    timeouts.WriteTotalTimeoutConstant = kWriteSlackMs;
    ::SetupComm(handle, static_cast<DWORD>(inputQueueSize_), static_cast<DWORD>(inputQueueSize_));
    if (!::SetCommState(handle, &line) || !::SetCommTimeouts(handle, &timeouts)) {
      *why = Failed(TapOpenFault::System, ENOTTY, ::GetLastError());
      ::SetCommState(handle, &saved_);
      ::CloseHandle(handle);
      return false;
    }
    handle_ = handle;
    return true;
  }

  int Write(const char *data, int count) override {
    notTaken_ = 0;
    if (DriverQueue() < 0)
      return COM_ERR_IO;
    if (count <= 0)
      return 0;
    DWORD written = 0;
    // A write the line does not take within its time-out returns what it
    // took; the rest is dropped, not sent later.
    if (!::WriteFile(handle_, data, static_cast<DWORD>(count), &written, nullptr) &&
        DriverQueue() < 0)
      return COM_ERR_IO;
    notTaken_ = count - static_cast<int>(std::min<DWORD>(written, static_cast<DWORD>(count)));
    if (notTaken_ > 0)
      ::PurgeComm(handle_, PURGE_TXABORT | PURGE_TXCLEAR);
    return count;
  }

  int NotTakenByLastWrite() const override { return notTaken_; }

  int Waiting() override {
    const long long n = DriverQueue();
    if (n < 0)
      return COM_ERR_IO;
    return static_cast<int>(std::min<long long>(n, inputQueueSize_));
  }

  int Read(char *out, int max) override {
    if (max <= 0)
      return DriverQueue() < 0 ? COM_ERR_IO : 0;
    DWORD got = 0;
    if (!::ReadFile(handle_, out, static_cast<DWORD>(max), &got, nullptr))
      return COM_ERR_IO;
    return static_cast<int>(got);
  }

  int DiscardInput(Discarded *seen) override {
    // Read away rather than purged, so that each byte is counted.
    Discarded counted;
    char chunk[512];
    for (;;) {
      DWORD got = 0;
      if (!::ReadFile(handle_, chunk, sizeof chunk, &got, nullptr))
        return COM_ERR_IO;
      Note(chunk, static_cast<int>(got), seen, &counted);
      if (got == 0 || counted.count >= kDrainLimit)
        break;
    }
    if (counted.count >= kDrainLimit) {
      ::PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR);
      counted.countAtLeast = true;
    }
    if (seen) {
      seen->count = counted.count;
      seen->countAtLeast = counted.countAtLeast;
    }
    return DriverQueue() < 0 ? COM_ERR_IO : 0;
  }

  void WhenLost(std::function<void()> report) override {
    // An unplugged adapter fails every call on its handle; a look now and
    // then finds it while nobody calls.
    lostWatch_.setInterval(kLostWatchMs);
    QObject::connect(&lostWatch_, &QTimer::timeout, &lostWatch_,
                     [this, report = std::move(report)] {
                       if (DriverQueue() >= 0)
                         return;
                       lostWatch_.stop();
                       report();
                     });
    lostWatch_.start();
  }

private:
  // Whole milliseconds one character takes on the line, at least 1.
  DWORD ByteTimeMs() const {
    const long bits = 1 + settings_.dataBits + (settings_.parity ? 1 : 0) + settings_.stopBits;
    return static_cast<DWORD>(std::max<long>(1, (1000 * bits + settings_.baudRate - 1) /
                                                    std::max<long>(1, settings_.baudRate)));
  }

  // The count of bytes the driver holds, or -1 when the device is gone.
  long long DriverQueue() const {
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(handle_, &errors, &status))
      return -1;
    return status.cbInQue;
  }

  // Counts bytes a flush takes, keeping the first of them in `seen` and
  // handing them all to its sink.
  static void Note(const char *bytes, int count, Discarded *seen, Discarded *counted) {
    if (seen && seen->sink && count > 0)
      seen->sink(bytes, count);
    if (seen && seen->head && seen->headCount < seen->capacity) {
      const int kept = std::min(count, seen->capacity - seen->headCount);
      std::copy_n(bytes, kept, seen->head + seen->headCount);
      seen->headCount += kept;
    }
    counted->count += count;
  }

  std::unique_ptr<PortClaim> claim_; // released after the port closes
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  DCB saved_{};
  COMMTIMEOUTS savedTimeouts_{};
  LineSettings settings_;
  int inputQueueSize_ = 1000;
  int notTaken_ = 0;
  QTimer lostWatch_;
};

} // namespace

std::unique_ptr<Endpoint> OpenSerialDevice(const std::string &path, const LineSettings &settings,
                                           OpenFailure *why) {
  OpenFailure ignored;
  if (!why)
    why = &ignored;
  if (path.empty()) {
    *why = {TapOpenFault::NoDevicePath, 0};
    return nullptr;
  }
  auto endpoint = std::make_unique<ComPortEndpoint>();
  if (!endpoint->Open(path, settings, why))
    return nullptr;
  return endpoint;
}

} // namespace rt
