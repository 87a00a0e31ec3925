#include "serial/open_failure.h"

#include "lang/tr.h"

namespace lw {

std::string open_failure_text(OpenFailure failure, std::string_view port_name,
                              const std::optional<PortHolder>& holder) {
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
