// A serial device opened with QSerialPort (POSIX; Windows: serial_device_win.cpp).
// Nothing here runs the event loop:
// writes are pushed out and waiting bytes pulled in on each call, so bytes that
// arrived while the program was blocked in Delay are counted.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <cerrno>

#include "runtime/core/serial_ops.h"
#include "runtime/serial/held_locks.h"
#include "runtime/serial/line_state.h"
#include "runtime/serial/open_failure.h"
#include "runtime/serial/port_claim.h"
#include "runtime/serial/serial_endpoint.h"

namespace rt {

namespace {

// Beyond the bytes' own time on the line: the driver's and the scheduler's.
constexpr int kWriteSlackMs = 5;

QSerialPort::Parity ToParity(int parity) {
  switch (parity) {
  case 1: return QSerialPort::OddParity;
  case 2: return QSerialPort::EvenParity;
  case 3: return QSerialPort::MarkParity;
  case 4: return QSerialPort::SpaceParity;
  default: return QSerialPort::NoParity;
  }
}

// A flush reads the waiting bytes away rather than have the system drop
// them, so that each is counted; a device that keeps sending faster than
// they are read (only a program on a pseudo-terminal can) is cut off here,
// and the rest is dropped by the system, uncounted.
constexpr long long kDrainLimit = 1 << 20;

class SerialDeviceEndpoint final : public Endpoint {
public:
  explicit SerialDeviceEndpoint(int inputQueueSize) : inputQueueSize_(inputQueueSize) {}
  ~SerialDeviceEndpoint() override {
    if (port_.isOpen())
      ForgetHeldLock(port_);
  }

  bool Open(const std::string &path, const LineSettings &s, OpenFailure *why) {
    settings_ = s;
    claim_ = ClaimPort(path);
    if (!claim_) {
      if (why)
        *why = {TapOpenFault::System, EBUSY};
      return false;
    }
    port_.setPortName(QString::fromStdString(path));
    // The device's bytes wait in the operating system's buffer beyond this.
    port_.setReadBufferSize(inputQueueSize_);
    if (!port_.open(QIODevice::ReadWrite)) {
      if (why)
        *why = OpenFailureOf(path, port_.error());
      return false;
    }
    const bool configured =
        port_.setBaudRate(static_cast<qint32>(s.baudRate)) &&
        port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) &&
        port_.setParity(ToParity(s.parity)) &&
        port_.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
        port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
      if (why)
        *why = {TapOpenFault::System, ENOTTY};
      port_.close();
      return false;
    }
    port_.clearError();
    NoteHeldLock(port_);
    return true;
  }

  int Write(const char *data, int count) override {
    notTaken_ = 0;
    if (Broken())
      return COM_ERR_IO;
    if (count <= 0)
      return 0;
    const qint64 queued = port_.write(data, count);
    if (queued < 0)
      return COM_ERR_IO;
    // Push the bytes out now: the caller goes on to block in Delay. A peer
    // that does not read gets no longer than the bytes take on the line.
    port_.flush();
    QDeadlineTimer deadline(LineTimeMs(count) + kWriteSlackMs);
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired()) {
      if (!port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime())) && HungUp())
        return COM_ERR_IO;
    }
    if (port_.bytesToWrite() > 0) {
      notTaken_ = static_cast<int>(std::min<qint64>(port_.bytesToWrite(), count));
      port_.clear(QSerialPort::Output); // what cannot go out is dropped
    }
    // The wait's time-out and a full output queue are no fault of the port.
    if (port_.error() == QSerialPort::TimeoutError || WouldHaveBlocked())
      port_.clearError();
    return Broken() ? COM_ERR_IO : static_cast<int>(queued);
  }

  int NotTakenByLastWrite() const override { return notTaken_; }

  int Waiting() override {
    PullIn();
    const qint64 n = port_.bytesAvailable();
    if (n == 0 && Broken())
      return COM_ERR_IO;
    return static_cast<int>(n);
  }

  int Read(char *out, int max) override {
    PullIn();
    if (max <= 0)
      return 0;
    const qint64 n = port_.read(out, max);
    return n < 0 ? COM_ERR_IO : static_cast<int>(n);
  }

  int DiscardInput(Discarded *seen) override {
    // Not the system's flush: it also drops what the terminal still holds
    // beyond its input buffer (a pseudo-terminal holds tens of kilobytes
    // there), which nothing can count. What is read here is counted byte by
    // byte; what arrives after the last read is counted where it is read next.
    Discarded counted;
    for (;;) {
      const QByteArray taken = port_.readAll();
      Note(taken, seen, &counted);
      if (Broken() || counted.count >= kDrainLimit || !port_.waitForReadyRead(0))
        break;
    }
    if (counted.count >= kDrainLimit) {
      port_.clear(QSerialPort::Input);
      port_.readAll();
      counted.countAtLeast = true;
    }
    if (seen) {
      seen->count = counted.count;
      seen->countAtLeast = counted.countAtLeast;
    }
    return Broken() ? COM_ERR_IO : 0;
  }

  void WhenLost(std::function<void()> report) override {
    // Qt reports a hang-up as a failed read each time the event loop finds
    // the descriptor readable; the owner closes the port soon after.
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this, report = std::move(report)](QSerialPort::SerialPortError e) {
                       // Only a hang-up: a write that would block also
                       // reports a resource error.
                       if (e == QSerialPort::NoError || lostReported_ || !HungUp())
                         return;
                       lostReported_ = true;
                       // Not from inside the port's own notification.
                       if (QCoreApplication::instance())
                         QTimer::singleShot(0, QCoreApplication::instance(), report);
                     });
  }

private:
  // Milliseconds that `count` characters take on the line.
  int LineTimeMs(int count) const {
    const int bits = 1 + settings_.dataBits + (settings_.parity ? 1 : 0) + settings_.stopBits;
    const double ms = 1000.0 * count * bits / static_cast<double>(settings_.baudRate);
    return static_cast<int>(ms) + 1;
  }

  // Moves what the operating system holds into the port's buffer, up to the
  // input queue size, without running the event loop.
  void PullIn() {
    while (!Broken() && port_.bytesAvailable() < inputQueueSize_ && port_.waitForReadyRead(0)) {
    }
  }

  // Counts bytes a flush takes, keeping the first of them in `seen` and
  // handing them all to its sink.
  static void Note(const QByteArray &bytes, Discarded *seen, Discarded *counted) {
    if (seen && seen->sink && !bytes.isEmpty())
      seen->sink(bytes.constData(), static_cast<int>(bytes.size()));
    if (seen && seen->head && seen->headCount < seen->capacity) {
      const int room = seen->capacity - seen->headCount;
      const int kept = static_cast<int>(std::min<qsizetype>(bytes.size(), room));
      std::copy_n(bytes.constData(), kept, seen->head + seen->headCount);
      seen->headCount += kept;
    }
    counted->count += bytes.size();
  }

  bool Broken() const {
    if (!port_.isOpen())
      return true;
    const auto e = port_.error();
    if (e == QSerialPort::ResourceError || e == QSerialPort::DeviceNotFoundError ||
        e == QSerialPort::PermissionError)
      return true;
    return HungUp();
  }

  bool HungUp() const { return LineHungUp(port_); }
  bool WouldHaveBlocked() const { return WriteWouldHaveBlocked(port_); }

  std::unique_ptr<PortClaim> claim_; // released after the port closes
  QSerialPort port_;
  int inputQueueSize_;
  LineSettings settings_;
  bool lostReported_ = false;
  int notTaken_ = 0;
};

} // namespace

std::unique_ptr<Endpoint> OpenSerialDevice(const std::string &path, const LineSettings &settings,
                                           OpenFailure *why) {
  if (path.empty()) {
    if (why)
      *why = {TapOpenFault::NoDevicePath, 0};
    return nullptr;
  }
  auto endpoint = std::make_unique<SerialDeviceEndpoint>(settings.inputQueueSize);
  if (!endpoint->Open(path, settings, why))
    return nullptr;
  return endpoint;
}

} // namespace rt
