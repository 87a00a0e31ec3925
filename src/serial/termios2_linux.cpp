#include "serial/termios2_linux.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace lw {
namespace {

LineFlags flags_of(const struct termios2& t) {
  return LineFlags{t.c_iflag,  t.c_oflag,  t.c_cflag,    t.c_lflag,
                   t.c_ispeed, t.c_ospeed, t.c_cc[VMIN], t.c_cc[VTIME]};
}

}  // namespace

LineFlags line_flags_for(LineFlags f, const PortSettings& s) {
  f.iflag &= ~static_cast<uint32_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                    IXON | IXOFF | IXANY | INPCK | IUCLC | IMAXBEL);
  f.oflag &= ~static_cast<uint32_t>(OPOST);
  f.lflag &= ~static_cast<uint32_t>(ECHO | ECHONL | ECHOE | ECHOK | ICANON | ISIG | IEXTEN);

  f.cflag &=
      ~static_cast<uint32_t>(CBAUD | CIBAUD | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  f.cflag |= static_cast<uint32_t>(CREAD | CLOCAL | BOTHER | (BOTHER << IBSHIFT));
  f.ispeed = s.baud;
  f.ospeed = s.baud;

  switch (s.data_bits) {
    case 5:
      f.cflag |= CS5;
      break;
    case 6:
      f.cflag |= CS6;
      break;
    case 7:
      f.cflag |= CS7;
      break;
    default:
      f.cflag |= CS8;
      break;
  }
  switch (s.parity) {
    case 1:
      f.cflag |= PARENB | PARODD;
      break;
    case 2:
      f.cflag |= PARENB;
      break;
    case 3:
      f.cflag |= PARENB | CMSPAR | PARODD;
      break;
    case 4:
      f.cflag |= PARENB | CMSPAR;
      break;
    default:
      break;
  }
  if (s.stop_bits != 0) f.cflag |= CSTOPB;

  // Reads are paced by poll.
  f.vmin = 0;
  f.vtime = 0;
  return f;
}

int apply_line_settings(int fd, const PortSettings& s) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return errno;
  const LineFlags f = line_flags_for(flags_of(t), s);
  t.c_iflag = f.iflag;
  t.c_oflag = f.oflag;
  t.c_cflag = f.cflag;
  t.c_lflag = f.lflag;
  t.c_ispeed = f.ispeed;
  t.c_ospeed = f.ospeed;
  t.c_cc[VMIN] = f.vmin;
  t.c_cc[VTIME] = f.vtime;
  if (ioctl(fd, TCSETS2, &t) != 0) return errno;
  return 0;
}

std::optional<LineFlags> read_line_flags(int fd) {
  struct termios2 t {};
  if (ioctl(fd, TCGETS2, &t) != 0) return std::nullopt;
  return flags_of(t);
}

}  // namespace lw
