#pragma once
// The platform boundary for serial devices. Real serial ports and simulated
// devices are both Ports; the reader loop cannot tell them apart.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"
#include "ports/port_address.h"
#include "ports/port_info.h"
#include "session/link_report.h"
#include "session/records.h"

namespace lw {

// Read timeout of every port: a read returns what is buffered at once, waits
// for the first byte when nothing is, and returns 0 after this much silence.
inline constexpr int kReadTimeoutMs = 50;

class Port {
 public:
  virtual ~Port() = default;
  // Bytes read into buf, 0 after the read timeout, or the error that ended
  // the connection.
  virtual Result<size_t> read(std::span<uint8_t> buf) = 0;
  virtual Status write_all(std::span<const uint8_t> bytes) = 0;
  virtual Status configure(const PortSettings& settings) = 0;

  // A port whose link is made on the reader thread (a network port): the
  // open only checked the address, and the reader calls connect() before
  // anything else, so the window never waits on the network. cancelled is
  // asked at least once per read timeout; when it says yes the connect may
  // give up with any error. Other ports are ready once open.
  virtual bool connects_later() const { return false; }
  virtual Result<void, OpenError> connect(const std::function<bool()>& cancelled) {
    (void)cancelled;
    return {};
  }
  // How the link is now (only ports that connect later have one to report).
  virtual LinkReport link_report() const { return {}; }
};

// What a look at a port shows of its use, without taking it.
struct PortLook {
  enum class Use : uint8_t { Free, Held, Missing };
  Use use = Use::Free;
  std::optional<PortHolder> holder;  // Held: the program, where it can be seen
  // The system shows a holder only to an open: one was tried and closed at
  // once. Such looks come less often while nobody is known to hold the port.
  bool by_opening = false;
};

class PortSystem {
 public:
  virtual ~PortSystem() = default;
  // What the system lists.
  virtual std::vector<PortInfo> list_ports() = 0;
  // The entries of the addresses the user named that are there now, in the
  // given order, each marked added. Cheap enough to ask every few seconds. A
  // system without such ports has none.
  virtual std::vector<PortInfo> find_ports(std::span<const PortAddress> addresses) {
    (void)addresses;
    return {};
  }
  // Opens a listed port by its name, or any address by its text.
  virtual Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                             const PortSettings& settings) = 0;
  // Whether another program holds the port now. last: who held it at the
  // previous look, which the system may check first. A system that can't
  // tell says Free, and a tab waiting for its port then simply tries to open.
  virtual PortLook look_at(const std::string& name, const std::optional<PortHolder>& last) {
    (void)name;
    (void)last;
    return {};
  }
  // Opens the port for a tab that waited while another program had it: what
  // the device sent since that program let go is kept, not discarded.
  virtual Result<std::unique_ptr<Port>, OpenError> reopen_port(const std::string& name,
                                                               const PortSettings& settings) {
    return open_port(name, settings);
  }
};

}  // namespace lw
