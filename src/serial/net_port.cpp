#include "serial/net_port.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

#include "serial/net_socket.h"
#include "serial/rfc2217.h"
#include "serial/telnet.h"

namespace lw {
namespace {

int64_t now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class NetPort final : public Port {
 public:
  NetPort(const PortAddress& address, const PortSettings& settings)
      : host_(address.host), port_(address.port), settings_(settings) {
    if (address.kind == AddressKind::Rfc2217) {
      telnet_.emplace(true, [this](uint8_t option, std::span<const uint8_t> data) {
        if (option == telnet::kComPort) com_.answer(data);
      });
    }
  }
  NetPort(const NetPort&) = delete;
  NetPort& operator=(const NetPort&) = delete;

  bool connects_later() const override { return true; }

  Result<void, OpenError> connect(const std::function<bool()>& cancelled) override {
    auto socket = connect_tcp(host_, port_, kConnectTimeoutMs, cancelled);
    if (!socket) return fail(socket.error());
    socket_ = std::move(*socket);
    const int64_t start = now_ms();
    if (telnet_) {
      telnet_->open(out_);
      if (!flush_out()) return fail(OpenFailure::Busy);
    }
    // Until the server has answered the COM-PORT-OPTION, and at least until
    // a busy server would have closed: what the device sends meanwhile is
    // kept for the first reads.
    std::vector<uint8_t> buf(4096);
    while (true) {
      const int64_t elapsed = now_ms() - start;
      const bool asking = telnet_ && telnet_->com_port() == TelnetCodec::Agreement::Asked &&
                          elapsed < kNegotiationTimeoutMs;
      if (!asking && elapsed >= kBusySettleMs) break;
      if (cancelled()) return fail(OpenFailure::Other);
      const int64_t until = asking ? kNegotiationTimeoutMs : kBusySettleMs;
      const int wait = static_cast<int>(std::clamp<int64_t>(until - elapsed, 1, kReadTimeoutMs));
      Result<size_t> got = socket_->receive(buf, wait);
      if (!got) return fail(OpenFailure::Busy);
      const size_t n = take_in(std::span(buf.data(), *got));
      pending_.insert(pending_.end(), buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(n));
      if (!flush_out()) return fail(OpenFailure::Busy);
    }
    if (takes_settings()) {
      ComPortSettings::purge(out_);
      com_.request(settings_, out_);
      if (!flush_out()) return fail(OpenFailure::Busy);
    }
    up_ = true;
    return {};
  }

  Result<size_t> read(std::span<uint8_t> buf) override {
    if (!pending_.empty()) {
      const size_t n = std::min(buf.size(), pending_.size() - pending_at_);
      std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(pending_at_), n, buf.begin());
      pending_at_ += n;
      if (pending_at_ == pending_.size()) {
        pending_ = {};
        pending_at_ = 0;
      }
      return n;
    }
    Result<size_t> got = socket_->receive(buf, kReadTimeoutMs);
    if (!got) return got;
    const size_t n = take_in(buf.first(*got));
    if (Status st = send_out(); !st) return fail(st.error());
    return n;
  }

  Status write_all(std::span<const uint8_t> bytes) override {
    if (!telnet_) return socket_->send_all(bytes);
    telnet_->encode(bytes, out_);
    return send_out();
  }

  // Raw TCP has no way to set the far line: the settings stay in the tab.
  Status configure(const PortSettings& settings) override {
    settings_ = settings;
    if (!takes_settings()) return {};
    com_.request(settings, out_);
    return send_out();
  }

  LinkReport link_report() const override {
    LinkReport r;
    r.up = up_;
    if (!telnet_) return r;
    r.no_settings = up_ && !takes_settings();
    r.refused = com_.refused();
    return r;
  }

 private:
  bool takes_settings() const {
    return telnet_ && telnet_->com_port() == TelnetCodec::Agreement::Yes;
  }

  // Received bytes through the Telnet codec (in place); its answers wait in out_.
  size_t take_in(std::span<uint8_t> bytes) {
    if (!telnet_) return bytes.size();
    return telnet_->receive(bytes, out_);
  }

  Status send_out() {
    if (out_.empty()) return {};
    Status st = socket_->send_all(out_);
    out_.clear();
    return st;
  }
  bool flush_out() { return send_out().ok(); }

  std::string host_;
  uint16_t port_;
  PortSettings settings_;
  std::optional<TelnetCodec> telnet_;
  ComPortSettings com_;
  std::unique_ptr<NetSocket> socket_;
  std::vector<uint8_t> out_;      // to send: escaped data, answers, settings
  std::vector<uint8_t> pending_;  // data read while connecting
  size_t pending_at_ = 0;
  bool up_ = false;
};

}  // namespace

std::unique_ptr<Port> make_net_port(const PortAddress& address, const PortSettings& settings) {
  return std::make_unique<NetPort>(address, settings);
}

}  // namespace lw
