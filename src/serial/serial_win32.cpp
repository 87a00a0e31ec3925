// Serial ports through the Win32 communications calls, used synchronously
// with short read timeouts so one thread can both read and write.
#include <windows.h>

#include <string>

#include "base/system_error.h"
#include "base/utf8.h"
#include "base/wide_win32.h"
#include "serial/serial_port.h"

namespace lw {
namespace {

constexpr DWORD kInputQueueBytes = 65536;
constexpr DWORD kOutputQueueBytes = 16384;

class WinSerialPort final : public Port {
 public:
  explicit WinSerialPort(HANDLE h) : handle_(h) {}
  ~WinSerialPort() override { CloseHandle(handle_); }
  WinSerialPort(const WinSerialPort&) = delete;
  WinSerialPort& operator=(const WinSerialPort&) = delete;

  Result<size_t> read(std::span<uint8_t> buf) override {
    const DWORD want = buf.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(buf.size());
    DWORD got = 0;
    if (!ReadFile(handle_, buf.data(), want, &got, nullptr)) return fail(last_windows_error());
    return static_cast<size_t>(got);
  }

  Status write_all(std::span<const uint8_t> bytes) override {
    while (!bytes.empty()) {
      const DWORD want = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!WriteFile(handle_, bytes.data(), want, &written, nullptr))
        return fail(last_windows_error());
      if (written == 0) return fail(Error{0, kWriteTimedOut});
      bytes = bytes.subspan(written);
    }
    return {};
  }

  Status configure(const PortSettings& s) override {
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!GetCommState(handle_, &dcb)) return fail(last_windows_error());
    dcb.BaudRate = s.baud;
    dcb.ByteSize = s.data_bits;
    dcb.Parity = s.parity;
    dcb.StopBits = s.stop_bits;
    dcb.fBinary = TRUE;
    dcb.fParity = s.parity != 0 ? TRUE : FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = s.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = s.rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(handle_, &dcb)) return fail(last_windows_error());
    if (!EscapeCommFunction(handle_, s.dtr ? SETDTR : CLRDTR)) return fail(last_windows_error());
    if (!EscapeCommFunction(handle_, s.rts ? SETRTS : CLRRTS)) return fail(last_windows_error());
    return {};
  }

 private:
  HANDLE handle_;
};

Result<std::unique_ptr<Port>, OpenError> open_serial(const std::string& name,
                                                     const PortSettings& settings,
                                                     bool keep_input) {
  // A name typed with the device prefix (\\.\CNCA0) keeps it.
  const std::string device = name.starts_with("\\\\.\\") ? name : "\\\\.\\" + name;
  const std::wstring path = wide(device);
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    switch (GetLastError()) {
      case ERROR_ACCESS_DENIED:
        return fail(OpenFailure::Busy);
      case ERROR_FILE_NOT_FOUND:
        return fail(OpenFailure::Missing);
      default:
        return fail(OpenFailure::Other);
    }
  }
  auto port = std::make_unique<WinSerialPort>(h);  // closes the handle on every path below

  SetupComm(h, kInputQueueBytes, kOutputQueueBytes);
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
  timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(kReadTimeoutMs);
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(kWriteTimeoutMs);
  SetCommTimeouts(h, &timeouts);
  // After a wait, what came in since the other program let go stays.
  PurgeComm(h, keep_input ? PURGE_TXCLEAR : PURGE_TXCLEAR | PURGE_RXCLEAR);

  if (Status st = port->configure(settings); !st) return fail(OpenFailure::Other);
  return std::unique_ptr<Port>(std::move(port));
}

}  // namespace

Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                   const PortSettings& settings) {
  return open_serial(name, settings, false);
}

Result<std::unique_ptr<Port>, OpenError> reopen_port(const std::string& name,
                                                     const PortSettings& settings,
                                                     const LockPlaces&) {
  return open_serial(name, settings, true);
}

// Windows keeps a port to one program by itself; there are no lock files.
Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                   const PortSettings& settings,
                                                   const LockPlaces&) {
  return open_port(name, settings);
}

}  // namespace lw
