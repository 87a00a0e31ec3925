#pragma once
// Texts that name something only Windows has (COM ports, Documents\Linewick,
// "this PC"), each beside the words a Linux user knows in its place. This is
// the one table of such pairs; the build picks its side, and the check that
// every text has its translations reads both sides. The Linux forms that
// name the log folder hold {0} for it as the user knows it
// (~/Documents/Linewick, or the --docs folder); the Windows forms name
// Documents\Linewick themselves, so filling them changes nothing.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lw {

enum class PlatformText : uint8_t {
  ports_heading,
  no_ports,
  plug_in_hint,
  follow_system,
  open_log_folder,
  record_tooltip,
  disconnect_hint,
  stays_here,
  address_hint,
};

struct Wording {
  std::string_view korean;
  std::string_view english;
};

struct PlatformWording {
  PlatformText which;
  Wording on_windows;
  Wording on_linux;
};

inline constexpr std::array<PlatformWording, 9> kPlatformWords = {{
    {PlatformText::ports_heading, {"COM 포트", "COM ports"}, {"시리얼 포트", "Serial ports"}},
    {PlatformText::no_ports,
     {"COM 포트가 없습니다", "No COM ports"},
     {"시리얼 포트가 없습니다", "No serial ports"}},
    {PlatformText::plug_in_hint,
     {"아두이노나 계측기를 꽂으면 새 COM 포트가 왼쪽 목록에 나타납니다.",
      "Plug in an Arduino or an instrument, and the new COM port appears in the list on the "
      "left."},
     {"아두이노나 계측기를 꽂으면 새 포트가 왼쪽 목록에 나타납니다.",
      "Plug in an Arduino or an instrument, and the new port appears in the list on the left."}},
    {PlatformText::follow_system,
     {"Windows 설정 따르기", "Follow Windows"},
     {"시스템 설정 따르기", "Follow the system"}},
    {PlatformText::open_log_folder,
     {"로그 폴더 열기 (문서\\Linewick)", "Open the log folder (Documents\\Linewick)"},
     {"로그 폴더 열기 ({0})", "Open the log folder ({0})"}},
    {PlatformText::record_tooltip,
     {"받은 줄을 문서\\Linewick에 씁니다 (날마다 새 파일)",
      "Writes received lines to Documents\\Linewick (a new file each day)"},
     {"받은 줄을 {0}에 씁니다 (날마다 새 파일)",
      "Writes received lines to {0} (a new file each day)"}},
    {PlatformText::disconnect_hint,
     {"장치 연결이 끊기면 그 직전의 로그가 문서\\Linewick에 저장됩니다.",
      "If the device disconnects, the log right before it is saved in Documents\\Linewick."},
     {"장치 연결이 끊기면 그 직전의 로그가 {0}에 저장됩니다.",
      "If the device disconnects, the log right before it is saved in {0}."}},
    {PlatformText::stays_here,
     {"포트에는 보내신 내용만 씁니다. 로그는 이 PC에만 있고 어디에도 보내지 않습니다.",
      "It writes to a port only what you send. Logs stay on this PC and are never sent "
      "anywhere."},
     {"포트에는 보내신 내용만 씁니다. 로그는 이 컴퓨터에만 있고 어디에도 보내지 않습니다.",
      "It writes to a port only what you send. Logs stay on this computer and are never sent "
      "anywhere."}},
    {PlatformText::address_hint,
     {"COM12 또는 \\\\.\\CNCA0 같은 포트 이름", "A port name such as COM12 or \\\\.\\CNCA0"},
     {"/dev/ttyUSB0, /dev/serial/by-id/… 또는 /dev/pts/7 같은 장치 경로",
      "A device path such as /dev/ttyUSB0, /dev/serial/by-id/… or /dev/pts/7"}},
}};

#ifdef _WIN32
inline constexpr bool kLinuxWords = false;
#else
inline constexpr bool kLinuxWords = true;
#endif

// The text in this build's words and the interface language.
std::string platform_tr(PlatformText which);

}  // namespace lw
