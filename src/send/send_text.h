#pragma once
// One send on a tab: the bytes for the port and the Sent line for the log.
// The session provides the port and the log through SendTarget.
#include <string>
#include <string_view>

#include "base/bytes.h"
#include "base/result.h"
#include "base/time.h"
#include "send/history.h"
#include "send/line_ending.h"
#include "session/records.h"
#include "settings/settings.h"

namespace lw {

struct EncodedSend {
  Bytes payload;  // what the Sent line holds
  Bytes wire;     // payload and ending, as written to the port
  LineEnding ending = LineEnding::None;
};

// Text mode: the UTF-8 bytes and the ending. Hex mode: the parsed bytes and
// never an ending. A hex error carries the notice text.
Result<EncodedSend> encode_send(std::string_view text, bool hex_mode, EndingChoice ending);

LineRecord sent_record(const EncodedSend& send, Millis now);

class SendTarget {
 public:
  virtual ~SendTarget() = default;
  virtual bool port_open() = 0;
  // Queues the bytes for the reader thread to write.
  virtual void write_to_port(Bytes bytes) = 0;
  // Appends the Sent line to the log (and so to the recording), starts the
  // reply clock and follows the end of the log.
  virtual void log_sent(LineRecord record) = 0;
};

std::string port_not_open_text();

// A tab's send bar: hex mode (never stored) and its own line ending.
struct SendState {
  bool hex_mode = false;
  EndingChoice ending = kDefaultEnding;
  SendHistory history;
};

// A new tab takes the stored "Ending".
SendState open_send_state(Settings& settings);
// The ending menu: this tab, and the tabs opened later.
void set_line_ending(SendState& state, Settings& settings, EndingChoice choice);

// send_text: on failure (bad hex, port not open) nothing is written or
// logged and the error's text is the notice to show.
Status send_text(SendTarget& target, std::string_view text, bool hex_mode, EndingChoice ending,
                 Millis now);
inline Status send_text(SendTarget& target, const SendState& state, std::string_view text,
                        Millis now) {
  return send_text(target, text, state.hex_mode, state.ending, now);
}

enum class BoxOutcome : uint8_t {
  Nothing,  // an empty box with no ending
  Kept,     // the send failed; the box keeps its text
  Sent,     // the caller clears the box
};

struct BoxSend {
  BoxOutcome outcome = BoxOutcome::Nothing;
  std::string notice;  // for Kept
};

// Enter in the send box.
BoxSend send_from_box(SendTarget& target, SendState& state, std::string_view box_text, Millis now);

}  // namespace lw
