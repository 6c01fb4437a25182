// A port across the network: a serial device server's TCP port, spoken to
// with Telnet's COM-PORT-OPTION (rfc2217://) or as a plain stream of bytes
// (socket://), through QTcpSocket. As with a serial device, nothing here runs
// the event loop: each call pushes out what it writes and pulls in what
// arrived, so bytes that came while the program was blocked in Delay count.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#include "runtime/core/delay.h"
#include "runtime/core/serial_ops.h"
#include "runtime/serial/network_connect.h"
#include "runtime/serial/network_port_name.h"
#include "runtime/serial/serial_endpoint.h"
#include "runtime/serial/telnet_session.h"

namespace rt {

namespace {

// Beyond the bytes' own time on the server's line: the network's and the
// scheduler's.
constexpr int kWriteSlackMs = 5;
// A flush counts at most this much of a sender that keeps ahead of it.
constexpr long long kDrainLimit = 1 << 20;
// What a server said before it closed, kept for the reason (its banner:
// "Port already in use").
constexpr std::size_t kLastWordsKept = 60;
// How long a flush waits for the server to confirm its purge.
constexpr int kPurgeWaitMs = 200;
// Telnet's no-operation, sent only for the acknowledgement it carries.
const std::string kNoOperation = {static_cast<char>(telnet::kIac), static_cast<char>(telnet::kNop)};

// The protocol's values for the line's settings.
telnet::LineRequest RequestFor(const LineSettings &s) {
  telnet::LineRequest r;
  r.value[static_cast<int>(telnet::Setting::BaudRate)] = static_cast<std::uint32_t>(s.baudRate);
  r.value[static_cast<int>(telnet::Setting::DataSize)] = static_cast<std::uint32_t>(s.dataBits);
  r.value[static_cast<int>(telnet::Setting::Parity)] = static_cast<std::uint32_t>(s.parity + 1);
  r.value[static_cast<int>(telnet::Setting::StopSize)] = static_cast<std::uint32_t>(s.stopBits);
  r.value[static_cast<int>(telnet::Setting::Control)] = 1; // no flow control
  return r;
}

class NetworkEndpoint final : public Endpoint {
public:
  NetworkEndpoint(const NetworkPortName &name, const LineSettings &settings)
      : name_(name), settings_(settings), telnet_([this](bool modem, unsigned char state) {
          if (notice_)
            notice_(modem ? kNoticeModem : kNoticeLine, state);
        }) {}

  ~NetworkEndpoint() override {
    QObject::disconnect(lostWatch_); // no report of its own close
    socket_.abort();
  }

  bool Open(OpenFailure *why, std::string *detail) {
    // The cursor turns busy (and a stop signal caught meanwhile is acted on)
    // before the wait, which is bounded by the name's timeout as a whole.
    Delay(0);
    const QDeadlineTimer deadline(static_cast<qint64>(name_.timeoutSeconds * 1000));
    rfc2217_ = name_.scheme == NetworkScheme::Rfc2217;
    if (!ConnectWithin(socket_, name_, deadline, why, detail))
      return false;
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1); // a frame is one segment
    socket_.setReadBufferSize(settings_.inputQueueSize);
    if (rfc2217_ && !Negotiate(deadline, why, detail)) {
      socket_.abort();
      return false;
    }
    return true;
  }

  int Write(const char *data, int count) override {
    notTaken_ = 0;
    if (!Connected())
      return COM_ERR_IO;
    if (count <= 0)
      return 0;
    std::string wire;
    if (rfc2217_)
      telnet::Session::Escape(data, count, &wire);
    else
      wire.assign(data, static_cast<std::size_t>(count));
    if (!Send(wire))
      return COM_ERR_IO;
    // Bytes the network does not take within their time on the line stay
    // queued (dropping part of the stream would garble it), and count as
    // not taken: the device did not get them in time.
    QDeadlineTimer deadline(LineTimeMs(count) + kWriteSlackMs);
    while (socket_.bytesToWrite() > 0 && !deadline.hasExpired() && Connected())
      socket_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
    if (!Connected())
      return COM_ERR_IO;
    notTaken_ = static_cast<int>(std::min<qint64>(socket_.bytesToWrite(), count));
    return count;
  }

  int NotTakenByLastWrite() const override { return notTaken_; }

  int Waiting() override {
    PullIn(settings_.inputQueueSize);
    if (data_.empty() && !Connected())
      return COM_ERR_IO;
    return static_cast<int>(data_.size());
  }

  int Read(char *out, int max) override {
    PullIn(settings_.inputQueueSize);
    if (max <= 0)
      return 0;
    if (data_.empty() && !Connected())
      return COM_ERR_IO;
    const std::size_t n = std::min(data_.size(), static_cast<std::size_t>(max));
    std::copy_n(data_.data(), n, out);
    data_.erase(0, n);
    return static_cast<int>(n);
  }

  int DiscardInput(Discarded *seen) override {
    // What already arrived is read away and counted; then the server is
    // asked to drop what it holds from the device and has not sent on. A
    // connection that closes behind its last bytes fails the next call: the
    // flush did its part.
    const bool wasConnected = Connected();
    Discarded counted;
    Drain(seen, &counted);
    if (rfc2217_ && Connected())
      Purge(seen, &counted);
    if (seen) {
      seen->count = counted.count;
      seen->countAtLeast = counted.countAtLeast;
    }
    return wasConnected || counted.count > 0 ? 0 : COM_ERR_IO;
  }

  void WhenLost(std::function<void()> report) override {
    // The event loop reads the socket while the program waits for input: a
    // server that closes or resets is found then, and reported from the
    // event loop afterwards, not from inside the socket's notification.
    lostWatch_ =
        QObject::connect(&socket_, &QAbstractSocket::stateChanged, &socket_,
                         [this, report = std::move(report)](QAbstractSocket::SocketState state) {
                           if (state != QAbstractSocket::UnconnectedState || lostReported_)
                             return;
                           lostReported_ = true;
                           if (QCoreApplication::instance())
                             QTimer::singleShot(0, QCoreApplication::instance(), report);
                         });
  }

  void WhenNotified(std::function<void(int kind, int state)> notice) override {
    notice_ = std::move(notice);
  }

private:
  bool Connected() const { return socket_.state() == QAbstractSocket::ConnectedState; }

  // Telnet's options, then each of the line's settings, every answer within
  // the wait.
  bool Negotiate(const QDeadlineTimer &deadline, OpenFailure *why, std::string *detail) {
    std::string pending;
    Send(telnet_.Greeting());
    telnet::Agreement agreement;
    while ((agreement = telnet_.Negotiation(&pending)) == telnet::Agreement::Pending)
      if (!WaitForServer(deadline))
        return Unanswered(pending, why, detail);
    if (agreement == telnet::Agreement::Refused)
      return NetworkOpenFailed(why, detail, TapOpenFault::LineSettingRefused, pending);

    const telnet::LineRequest request = RequestFor(settings_);
    Send(telnet_.SettingsRequest(request));
    for (int i = 0; i < telnet::kSettings; ++i) {
      const auto setting = static_cast<telnet::Setting>(i);
      const std::string asked =
          std::string(telnet::SettingName(setting)) + " " + std::to_string(request.value[i]);
      std::uint32_t answer = 0;
      while (!telnet_.Answered(setting, &answer))
        if (!WaitForServer(deadline))
          return Unanswered("no answer to " + asked, why, detail);
      if (answer != request.value[i])
        return NetworkOpenFailed(why, detail, TapOpenFault::LineSettingRefused,
                                 asked + ": the server answered " + std::to_string(answer));
    }
    return true;
  }

  // The wait ran out, or the server closed the connection first: then it
  // would not serve this client (a port in use), and what it said is given.
  bool Unanswered(const std::string &what, OpenFailure *why, std::string *detail) {
    if (!Connected()) {
      std::string said;
      for (char c : data_.substr(0, kLastWordsKept))
        if (c >= 0x20 && c < 0x7F)
          said += c;
      return NetworkOpenFailed(why, detail, TapOpenFault::ServerClosed,
                               "the server closed the connection" +
                                   (said.empty() ? "" : ": " + said));
    }
    return NetworkOpenFailed(why, detail, TapOpenFault::ConnectTimedOut,
                             what + " within " + SecondsText(name_.timeoutSeconds));
  }

  // Waits for the server's next bytes and reads them; false when the wait
  // ran out or the connection closed. The device's bytes meanwhile are kept
  // up to the input queue's size (the download's flush takes them), the
  // first of them also for the reason should the server close.
  bool WaitForServer(const QDeadlineTimer &deadline) {
    if (!Connected() || deadline.hasExpired())
      return false;
    if (socket_.bytesAvailable() == 0)
      socket_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
    const QByteArray raw = socket_.readAll();
    telnet_.Feed(raw.constData(), static_cast<int>(raw.size()), &data_);
    if (data_.size() > static_cast<std::size_t>(settings_.inputQueueSize))
      data_.resize(static_cast<std::size_t>(settings_.inputQueueSize));
    // A segment back at once acknowledges what came: a server that holds
    // its next answers until then (Nagle's algorithm, against this side's
    // delayed acknowledgement) sends them now rather than tens of
    // milliseconds later.
    if (Connected())
      Send(raw.isEmpty() ? std::string() : kNoOperation);
    return !raw.isEmpty() || Connected();
  }

  // Hands `wire` to the socket and pushes it out now: the caller goes on to
  // block in Delay. Telnet's answers owed so far go first.
  bool Send(const std::string &wire) {
    const std::string out = telnet_.TakeReplies() + wire;
    if (out.empty())
      return true;
    if (!Connected())
      return false;
    if (socket_.write(out.data(), static_cast<qint64>(out.size())) < 0)
      return false;
    socket_.flush();
    return true;
  }

  // Moves what arrived into the device's data, up to `limit` bytes of it,
  // without running the event loop. Telnet's answers go out at once.
  void PullIn(std::size_t limit) {
    char raw[1024];
    while (data_.size() < limit) {
      if (socket_.bytesAvailable() == 0 && !(Connected() && socket_.waitForReadyRead(0)))
        break;
      // Each byte from the server is at most one byte of data.
      const qint64 room = static_cast<qint64>(std::min(sizeof raw, limit - data_.size()));
      const qint64 n = socket_.read(raw, room);
      if (n <= 0)
        break;
      if (rfc2217_)
        telnet_.Feed(raw, static_cast<int>(n), &data_);
      else
        data_.append(raw, static_cast<std::size_t>(n));
    }
    if (Connected())
      Send({}); // Telnet's answers
  }

  // Asks the server to purge, and waits (briefly) for its answer, reading
  // away what comes before it: then nothing the device sent before the flush
  // is still on its way, and the next command acknowledges the answer, so
  // that a server which holds small segments until then (Nagle's algorithm)
  // does not hold the reply behind it. A server that does not answer is not
  // waited for again.
  void Purge(Discarded *seen, Discarded *counted) {
    const int answered = telnet_.PurgesAnswered();
    Send(telnet_.PurgeRequest());
    if (purgeUnanswered_)
      return;
    const QDeadlineTimer wait(kPurgeWaitMs);
    while (telnet_.PurgesAnswered() == answered && Connected() && !wait.hasExpired()) {
      if (socket_.bytesAvailable() == 0)
        socket_.waitForReadyRead(static_cast<int>(std::max<qint64>(1, wait.remainingTime())));
      Drain(seen, counted);
    }
    purgeUnanswered_ = telnet_.PurgesAnswered() == answered;
  }

  // Reads away what arrived, counting it and handing it to the flush's sink.
  void Drain(Discarded *seen, Discarded *counted) {
    while (true) {
      Note(seen, counted);
      if (counted->count >= kDrainLimit) {
        counted->countAtLeast = true;
        // What the socket holds goes uncounted, read for Telnet's sake.
        const QByteArray rest = socket_.readAll();
        std::string ignored;
        if (rfc2217_)
          telnet_.Feed(rest.constData(), static_cast<int>(rest.size()), &ignored);
        return;
      }
      PullIn(settings_.inputQueueSize);
      if (data_.empty())
        return;
    }
  }

  void Note(Discarded *seen, Discarded *counted) {
    if (seen && seen->sink && !data_.empty())
      seen->sink(data_.data(), static_cast<int>(data_.size()));
    if (seen && seen->head && seen->headCount < seen->capacity) {
      const int kept = static_cast<int>(
          std::min<std::size_t>(data_.size(), std::size_t(seen->capacity - seen->headCount)));
      std::copy_n(data_.data(), kept, seen->head + seen->headCount);
      seen->headCount += kept;
    }
    counted->count += static_cast<long long>(data_.size());
    data_.clear();
  }

  // Milliseconds that `count` characters take on the server's line.
  int LineTimeMs(int count) const {
    const int bits = 1 + settings_.dataBits + (settings_.parity ? 1 : 0) + settings_.stopBits;
    return static_cast<int>(1000.0 * count * bits / static_cast<double>(settings_.baudRate)) + 1;
  }

  NetworkPortName name_;
  LineSettings settings_;
  bool rfc2217_ = false;
  telnet::Session telnet_;
  std::function<void(int, int)> notice_;
  std::string data_; // the device's bytes, read and not yet taken
  QTcpSocket socket_;
  QMetaObject::Connection lostWatch_;
  bool lostReported_ = false;
  bool purgeUnanswered_ = false;
  int notTaken_ = 0;
};

} // namespace

std::unique_ptr<Endpoint> OpenNetworkDevice(const std::string &name, const LineSettings &settings,
                                            OpenFailure *why, std::string *detail) {
  NetworkPortName parsed;
  std::string wrong;
  if (!ParseNetworkPortName(name, &parsed, &wrong)) {
    if (why)
      *why = {TapOpenFault::BadPortName, 0};
    if (detail)
      *detail = wrong;
    return nullptr;
  }
  auto endpoint = std::make_unique<NetworkEndpoint>(parsed, settings);
  if (!endpoint->Open(why, detail))
    return nullptr;
  return endpoint;
}

} // namespace rt
