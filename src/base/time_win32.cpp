#include <windows.h>

#include "base/time.h"

namespace lw {

Millis local_now() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  CivilTime c{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
  return millis_from_civil(c);
}

}  // namespace lw
