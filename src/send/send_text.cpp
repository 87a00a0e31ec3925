#include "send/send_text.h"

#include "lang/tr.h"
#include "send/hex.h"

namespace lw {

Result<EncodedSend> encode_send(std::string_view text, bool hex_mode, EndingChoice ending) {
  EncodedSend out;
  if (hex_mode) {
    Result<Bytes> bytes = parse_hex_bytes(text);
    if (!bytes) return fail(bytes.error());
    out.payload = std::move(*bytes);
    out.wire = out.payload;
    return out;
  }
  out.payload = Bytes(text);
  std::string wire(text);
  wire += ending_bytes(ending);
  out.wire = Bytes(std::string_view(wire));
  out.ending = record_ending(ending);
  return out;
}

LineRecord sent_record(const EncodedSend& send, Millis now) {
  LineRecord r;
  r.bytes = send.payload;
  r.time = now;
  r.ending = send.ending;
  r.direction = Direction::Sent;
  return r;
}

std::string port_not_open_text() { return tr("포트가 열려 있지 않습니다", "The port isn't open"); }

SendState open_send_state(Settings& settings) {
  SendState s;
  s.ending = read_ending(settings);
  return s;
}

void set_line_ending(SendState& state, Settings& settings, EndingChoice choice) {
  state.ending = choice;
  store_ending(settings, choice);
}

Status send_text(SendTarget& target, std::string_view text, bool hex_mode, EndingChoice ending,
                 Millis now) {
  Result<EncodedSend> encoded = encode_send(text, hex_mode, ending);
  if (!encoded) return fail(encoded.error());
  if (!target.port_open()) return fail(Error{0, port_not_open_text()});
  LineRecord record = sent_record(*encoded, now);
  // Hex text of separators only writes nothing but is still logged.
  if (!encoded->wire.empty()) target.write_to_port(std::move(encoded->wire));
  target.log_sent(std::move(record));
  return {};
}

BoxSend send_from_box(SendTarget& target, SendState& state, std::string_view box_text, Millis now) {
  // An empty box with an ending sends the ending alone.
  if (box_text.empty() && state.ending == EndingChoice::None) return {};
  if (Status s = send_text(target, state, box_text, now); !s) {
    return {BoxOutcome::Kept, s.error().text};
  }
  state.history.add_sent(box_text);
  return {BoxOutcome::Sent, {}};
}

}  // namespace lw
