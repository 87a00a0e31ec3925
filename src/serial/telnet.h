#pragma once
// The Telnet side of a network port (RFC 854, 855): option negotiation, IAC
// escaping both ways, the carriage-return rule outside binary mode, and the
// sub-negotiations, which go to the caller. No I/O: bytes in, bytes out, so
// whatever a server sends can be fed to it (fuzz_telnet does).
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace lw {

namespace telnet {
inline constexpr uint8_t kSe = 240;
inline constexpr uint8_t kSb = 250;
inline constexpr uint8_t kWill = 251;
inline constexpr uint8_t kWont = 252;
inline constexpr uint8_t kDo = 253;
inline constexpr uint8_t kDont = 254;
inline constexpr uint8_t kIac = 255;

inline constexpr uint8_t kBinary = 0;
inline constexpr uint8_t kEcho = 1;
inline constexpr uint8_t kSuppressGoAhead = 3;
inline constexpr uint8_t kComPort = 44;  // RFC 2217

// Longer sub-negotiations are read to their end and dropped.
inline constexpr size_t kMaxSubnegotiation = 256;
}  // namespace telnet

class TelnetCodec {
 public:
  // A sub-negotiation of an option this side has agreed to: the option and
  // its data, unescaped.
  using SubHandler = std::function<void(uint8_t option, std::span<const uint8_t> data)>;

  // com_port: this side offers the COM-PORT-OPTION.
  TelnetCodec(bool com_port, SubHandler on_sub);

  // What a client opens with: binary both ways, no go-ahead, and the
  // COM-PORT-OPTION when offered.
  void open(std::vector<uint8_t>& out);

  // Takes bytes as received. The data among them is moved to the front of
  // `bytes` and its length returned; the answers the negotiation calls for
  // are appended to `replies`. Commands and sub-negotiations may be split
  // across calls anywhere.
  size_t receive(std::span<uint8_t> bytes, std::vector<uint8_t>& replies);

  // Appends data escaped for sending (IAC doubled; outside binary mode a CR
  // not followed by LF is sent as CR NUL).
  void encode(std::span<const uint8_t> data, std::vector<uint8_t>& out) const;
  // Appends IAC SB option <data, escaped> IAC SE.
  static void subnegotiation(uint8_t option, std::span<const uint8_t> data,
                             std::vector<uint8_t>& out);

  enum class Agreement : uint8_t { Asked, Yes, Refused };
  // Whether the server took the COM-PORT-OPTION (Asked until it answers;
  // Refused also when it was not offered).
  Agreement com_port() const;
  // A server that sent something that is no Telnet: an IAC followed by a
  // byte that is no command. Kept for the tests; the byte is dropped.
  uint64_t odd_commands() const { return odd_commands_; }

 private:
  enum class Q : uint8_t { No, Yes, WantYes };
  enum class State : uint8_t { Data, Iac, Verb, Sb, SbData, SbIac };

  bool local_ok(uint8_t option) const;
  bool remote_ok(uint8_t option) const;
  // The byte after an IAC that is not a second IAC.
  void command(uint8_t c);
  void negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& replies);
  void end_subnegotiation();

  bool offer_com_port_;
  SubHandler on_sub_;
  std::array<Q, 256> local_{};   // options this side does (WILL/WONT)
  std::array<Q, 256> remote_{};  // options the server does
  State state_ = State::Data;
  uint8_t verb_ = 0;
  bool cr_ = false;  // the last data byte was a CR outside binary mode
  uint8_t sub_option_ = 0;
  std::vector<uint8_t> sub_;
  bool sub_too_long_ = false;
  uint64_t odd_commands_ = 0;
};

}  // namespace lw
