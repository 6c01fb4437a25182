// A serial device opened with QSerialPort. Nothing here runs the event loop:
// writes are pushed out and waiting bytes pulled in on each call, so bytes that
// arrived while the program was blocked in Delay are counted.
#include <QSerialPort>

#ifndef _WIN32
#include <poll.h>
#endif

#include "runtime/serial_endpoint.h"
#include "runtime/serial_ops.h"

namespace rt {

namespace {

constexpr int kWriteTimeoutMs = 1000;

QSerialPort::Parity ToParity(int parity) {
  switch (parity) {
  case 1: return QSerialPort::OddParity;
  case 2: return QSerialPort::EvenParity;
  case 3: return QSerialPort::MarkParity;
  case 4: return QSerialPort::SpaceParity;
  default: return QSerialPort::NoParity;
  }
}

// The system's reason, with a few words in Chinese in front for the operator.
std::string OpenFailure(const QSerialPort &port) {
  const char *gloss = "无法打开";
  switch (port.error()) {
  case QSerialPort::DeviceNotFoundError: gloss = "设备不存在"; break;
  case QSerialPort::PermissionError: gloss = "没有权限或设备被占用"; break;
  case QSerialPort::OpenError: gloss = "设备已被打开"; break;
  default: break;
  }
  return std::string(gloss) + "（" + port.errorString().toStdString() + "）";
}

class SerialDeviceEndpoint final : public Endpoint {
public:
  explicit SerialDeviceEndpoint(int inputQueueSize) : inputQueueSize_(inputQueueSize) {}

  bool Open(const std::string &path, const LineSettings &s, std::string *reason) {
    port_.setPortName(QString::fromStdString(path));
    // The device's bytes wait in the operating system's buffer beyond this.
    port_.setReadBufferSize(inputQueueSize_);
    if (!port_.open(QIODevice::ReadWrite)) {
      if (reason)
        *reason = OpenFailure(port_);
      return false;
    }
    const bool configured =
        port_.setBaudRate(static_cast<qint32>(s.baudRate)) &&
        port_.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) &&
        port_.setParity(ToParity(s.parity)) &&
        port_.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
        port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
      if (reason)
        *reason = "不是串口设备（" + port_.errorString().toStdString() + "）";
      port_.close();
      return false;
    }
    port_.clearError();
    return true;
  }

  int Write(const char *data, int count) override {
    if (Broken())
      return COM_ERR_IO;
    if (count <= 0)
      return 0;
    const qint64 queued = port_.write(data, count);
    if (queued < 0)
      return COM_ERR_IO;
    // Push the bytes out now: the caller goes on to block in Delay.
    port_.flush();
    for (int waited = 0; port_.bytesToWrite() > 0 && waited < kWriteTimeoutMs; waited += 50) {
      if (!port_.waitForBytesWritten(50) && Broken())
        return COM_ERR_IO;
    }
    return Broken() ? COM_ERR_IO : static_cast<int>(queued);
  }

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

  int DiscardInput(std::string *discarded) override {
    PullIn();
    if (discarded)
      discarded->append(port_.peek(port_.bytesAvailable()).toStdString());
    port_.clear(QSerialPort::Input);
    port_.readAll();
    return Broken() ? COM_ERR_IO : 0;
  }

private:
  // Moves what the operating system holds into the port's buffer, up to the
  // input queue size, without running the event loop.
  void PullIn() {
    while (!Broken() && port_.bytesAvailable() < inputQueueSize_ && port_.waitForReadyRead(0)) {
    }
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

  // An unplugged adapter, or a pseudo-terminal whose other side closed, hangs
  // up the line: reads then return nothing forever instead of failing.
  bool HungUp() const {
#ifndef _WIN32
    pollfd fd{static_cast<int>(port_.handle()), POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#else
    return false;
#endif
  }

  QSerialPort port_;
  int inputQueueSize_;
};

} // namespace

std::unique_ptr<Endpoint> OpenSerialDevice(const std::string &path, const LineSettings &settings,
                                           std::string *reason) {
  if (path.empty()) {
    if (reason)
      *reason = "没有设备路径";
    return nullptr;
  }
  auto endpoint = std::make_unique<SerialDeviceEndpoint>(settings.inputQueueSize);
  if (!endpoint->Open(path, settings, reason))
    return nullptr;
  return endpoint;
}

} // namespace rt
