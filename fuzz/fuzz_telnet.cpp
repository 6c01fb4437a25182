// Fuzzes the Telnet/RFC 2217 session (runtime/serial/telnet_session.h) on
// whatever a server sends: option negotiation, sub-negotiations cut short or
// too long, notifications, 0xFF doubled or alone, in any pieces.
//
// Input: byte 0 chooses how the rest arrives: 0 all at once, otherwise in
// pieces of that many bytes. The client greets first, as it does.
//
// Checked: the device's data is never longer than what came, and is exactly
// what came when no 0xFF came; the answers owed are whole commands (IAC, a
// verb, an option), never more bytes than came; the pieces change nothing
// (data, answers, notifications, the negotiation's state, each setting's
// answer and the purges answered are those of the same bytes at once). And
// the input as the device's data, escaped as the server sends it, comes out
// of a fresh session exact, in the same pieces, with nothing else.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "runtime/serial/telnet_session.h"

namespace {

using namespace rt::telnet;

struct Heard {
  std::string data;
  std::string replies;
  std::vector<int> notices; // modem * 256 + state
  Agreement agreement = Agreement::Pending;
  std::string why;
  bool answered[kSettings] = {};
  std::uint32_t answers[kSettings] = {};
  int purges = 0;

  bool operator==(const Heard &o) const {
    for (int i = 0; i < kSettings; ++i)
      if (answered[i] != o.answered[i] || (answered[i] && answers[i] != o.answers[i]))
        return false;
    return data == o.data && replies == o.replies && notices == o.notices &&
           agreement == o.agreement && why == o.why && purges == o.purges;
  }
};

Heard Listen(const std::uint8_t *bytes, std::size_t size, std::size_t piece) {
  Heard h;
  Session s([&h](bool modem, unsigned char state) { h.notices.push_back(modem * 256 + state); });
  s.Greeting();
  if (piece == 0)
    piece = size > 0 ? size : 1;
  for (std::size_t at = 0; at < size; at += piece) {
    const std::size_t n = size - at < piece ? size - at : piece;
    s.Feed(reinterpret_cast<const char *>(bytes + at), static_cast<int>(n), &h.data);
    h.replies += s.TakeReplies();
  }
  h.agreement = s.Negotiation(&h.why);
  for (int i = 0; i < kSettings; ++i)
    h.answered[i] = s.Answered(static_cast<Setting>(i), &h.answers[i]);
  h.purges = s.PurgesAnswered();
  return h;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  const std::size_t piece = data[0];
  const std::uint8_t *bytes = data + 1;
  const std::size_t n = size - 1;

  const Heard inPieces = Listen(bytes, n, piece);
  FUZZ_CHECK(inPieces.data.size() <= n);
  FUZZ_CHECK(inPieces.replies.size() <= n);
  FUZZ_CHECK(inPieces.replies.size() % 3 == 0);
  for (std::size_t i = 0; i < inPieces.replies.size(); i += 3) {
    const auto verb = static_cast<unsigned char>(inPieces.replies[i + 1]);
    FUZZ_CHECK(static_cast<unsigned char>(inPieces.replies[i]) == kIac);
    FUZZ_CHECK(verb == kWill || verb == kWont || verb == kDo || verb == kDont);
  }
  const std::string raw(reinterpret_cast<const char *>(bytes), n);
  if (raw.find('\xFF') == std::string::npos)
    FUZZ_CHECK(inPieces.data == raw);
  FUZZ_CHECK(Listen(bytes, n, 0) == inPieces);

  std::string wire;
  Session::Escape(raw.data(), static_cast<int>(n), &wire);
  const Heard echoed =
      Listen(reinterpret_cast<const std::uint8_t *>(wire.data()), wire.size(), piece);
  FUZZ_CHECK(echoed.data == raw);
  FUZZ_CHECK(echoed.replies.empty() && echoed.notices.empty() && echoed.purges == 0);
  return 0;
}
