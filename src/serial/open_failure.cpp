#include "serial/open_failure.h"

#include "lang/tr.h"
#include "ports/port_address.h"

namespace lw {

namespace {

// A port on another machine: the server could not be reached, or it sent
// this client away because another one has the port.
std::optional<std::string> network_failure_text(OpenFailure failure, std::string_view port_name) {
  const Result<PortAddress, AddressError> a = parse_port_address(port_name);
  if (!a || !is_network(a->kind)) return std::nullopt;
  switch (failure) {
    case OpenFailure::Busy:
      return fill(tr("{0}의 서버가 다른 클라이언트와 이 포트를 쓰고 있습니다. 나중에 '열기'를 "
                     "누르세요",
                     "The server at {0} is serving this port to another client. Press 'Open' "
                     "later"),
                  {host_and_port(*a)});
    case OpenFailure::Missing:
      return fill(tr("{0}에 연결할 수 없습니다", "Couldn't reach {0}"), {host_and_port(*a)});
    default:
      return std::nullopt;
  }
}

}  // namespace

std::string open_failure_text(OpenFailure failure, std::string_view port_name,
                              const std::optional<PortHolder>& holder) {
  if (std::optional<std::string> text = network_failure_text(failure, port_name)) return *text;
  switch (failure) {
    case OpenFailure::Busy:
      if (holder && !holder->program.empty()) {
        return fill(tr("{0}(프로세스 {1})이(가) 이 포트를 쓰고 있습니다. 그 프로그램을 닫고 "
                       "'열기'를 누르세요",
                       "{0} (process {1}) is using this port. Close it and press 'Open'"),
                    {holder->program, std::to_string(holder->pid)});
      }
      return tr("다른 프로그램이 이 포트를 쓰고 있습니다. 그 프로그램을 닫고 '열기'를 누르세요",
                "Another program is using this port. Close it and press 'Open'");
    case OpenFailure::Missing:
      return tr("포트가 없습니다 (분리되었을 수 있습니다)",
                "The port isn't there (it may have been unplugged)");
    case OpenFailure::Denied:
      // Only Linux reports this; there the usual fix is the dialout group.
      return fill(tr("이 계정에는 {0}에 접근할 권한이 없습니다. 계정을 dialout 그룹에 추가한 뒤 "
                     "다시 로그인하세요",
                     "Your account has no access to {0}. Add it to the dialout group, then log "
                     "in again"),
                  {port_name});
    case OpenFailure::NotSerial:
      return fill(tr("시리얼 장치가 아닙니다: {0}", "That isn't a serial device: {0}"),
                  {port_name});
    case OpenFailure::Other:
      break;
  }
  return tr("포트를 열 수 없습니다", "Couldn't open the port");
}

}  // namespace lw
