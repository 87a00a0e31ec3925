#include "serial/telnet.h"

namespace lw {

using namespace telnet;

TelnetCodec::TelnetCodec(bool com_port, SubHandler on_sub)
    : offer_com_port_(com_port), on_sub_(std::move(on_sub)) {
  sub_.reserve(kMaxSubnegotiation);
}

void TelnetCodec::open(std::vector<uint8_t>& out) {
  const auto ask = [&](uint8_t verb, uint8_t option) {
    out.insert(out.end(), {kIac, verb, option});
    (verb == kWill ? local_ : remote_)[option] = Q::WantYes;
  };
  ask(kWill, kBinary);
  ask(kDo, kBinary);
  ask(kWill, kSuppressGoAhead);
  ask(kDo, kSuppressGoAhead);
  if (offer_com_port_) ask(kWill, kComPort);
}

bool TelnetCodec::local_ok(uint8_t option) const {
  return option == kBinary || option == kSuppressGoAhead || (option == kComPort && offer_com_port_);
}

// Echo is refused: the far end is a serial line, and what is sent must not
// come back as if the device had said it.
bool TelnetCodec::remote_ok(uint8_t option) const {
  return option == kBinary || option == kSuppressGoAhead;
}

// RFC 1143's rule in short: answer a request only when it changes the
// option, so two sides never loop; a refused request is answered once per
// request and changes nothing.
void TelnetCodec::negotiate(uint8_t verb, uint8_t option, std::vector<uint8_t>& replies) {
  const auto reply = [&](uint8_t v) { replies.insert(replies.end(), {kIac, v, option}); };
  switch (verb) {
    case kWill:
      if (remote_[option] == Q::Yes) break;
      if (remote_ok(option)) {
        if (remote_[option] == Q::No) reply(kDo);
        remote_[option] = Q::Yes;
      } else {
        reply(kDont);
      }
      break;
    case kWont:
      if (remote_[option] == Q::Yes) reply(kDont);
      remote_[option] = Q::No;
      break;
    case kDo:
      if (local_[option] == Q::Yes) break;
      if (local_ok(option)) {
        if (local_[option] == Q::No) reply(kWill);
        local_[option] = Q::Yes;
      } else {
        reply(kWont);
      }
      break;
    case kDont:
      if (local_[option] == Q::Yes) reply(kWont);
      local_[option] = Q::No;
      break;
    default:
      break;
  }
}

void TelnetCodec::end_subnegotiation() {
  const bool agreed = local_[sub_option_] == Q::Yes || remote_[sub_option_] == Q::Yes;
  if (agreed && !sub_too_long_ && on_sub_) on_sub_(sub_option_, sub_);
  sub_.clear();
  sub_too_long_ = false;
}

void TelnetCodec::command(uint8_t c) {
  state_ = State::Data;
  if (c >= kWill) {
    verb_ = c;
    state_ = State::Verb;
  } else if (c == kSb) {
    state_ = State::Sb;
  } else if (c < kSe) {
    ++odd_commands_;
  }
  // SE outside a sub-negotiation, NOP, DM, BRK, IP, AO, AYT, EC, EL and GA
  // mean nothing to a serial line.
}

size_t TelnetCodec::receive(std::span<uint8_t> bytes, std::vector<uint8_t>& replies) {
  size_t kept = 0;
  for (const uint8_t c : bytes) {
    switch (state_) {
      case State::Data:
        if (c == kIac) {
          state_ = State::Iac;
          break;
        }
        // Outside binary mode a CR comes as CR NUL or CR LF; the NUL is no data.
        if (cr_ && c == 0) {
          cr_ = false;
          break;
        }
        cr_ = c == '\r' && remote_[kBinary] != Q::Yes;
        bytes[kept++] = c;
        break;
      case State::Iac:
        if (c == kIac) {
          cr_ = false;
          bytes[kept++] = c;
          state_ = State::Data;
        } else {
          command(c);
        }
        break;
      case State::Verb:
        negotiate(verb_, c, replies);
        state_ = State::Data;
        break;
      case State::Sb:
        sub_option_ = c;
        sub_.clear();
        sub_too_long_ = false;
        state_ = State::SbData;
        break;
      case State::SbData:
        if (c == kIac) {
          state_ = State::SbIac;
        } else if (sub_.size() < kMaxSubnegotiation) {
          sub_.push_back(c);
        } else {
          sub_too_long_ = true;
        }
        break;
      case State::SbIac:
        if (c == kIac) {
          if (sub_.size() < kMaxSubnegotiation) {
            sub_.push_back(c);
          } else {
            sub_too_long_ = true;
          }
          state_ = State::SbData;
        } else if (c == kSe) {
          end_subnegotiation();
          state_ = State::Data;
        } else {
          // A sub-negotiation cut short by another command: dropped, and the
          // command read as one.
          sub_.clear();
          sub_too_long_ = false;
          command(c);
        }
        break;
    }
  }
  return kept;
}

void TelnetCodec::encode(std::span<const uint8_t> data, std::vector<uint8_t>& out) const {
  const bool binary = local_[kBinary] == Q::Yes;
  for (size_t i = 0; i < data.size(); ++i) {
    const uint8_t c = data[i];
    out.push_back(c);
    if (c == kIac) {
      out.push_back(kIac);
    } else if (c == '\r' && !binary && (i + 1 == data.size() || data[i + 1] != '\n')) {
      out.push_back(0);
    }
  }
}

void TelnetCodec::subnegotiation(uint8_t option, std::span<const uint8_t> data,
                                 std::vector<uint8_t>& out) {
  out.insert(out.end(), {kIac, kSb, option});
  for (const uint8_t c : data) {
    out.push_back(c);
    if (c == kIac) out.push_back(kIac);
  }
  out.insert(out.end(), {kIac, kSe});
}

TelnetCodec::Agreement TelnetCodec::com_port() const {
  if (local_[kComPort] == Q::Yes) return Agreement::Yes;
  if (local_[kComPort] == Q::WantYes) return Agreement::Asked;
  return Agreement::Refused;
}

}  // namespace lw
