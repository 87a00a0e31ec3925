// The port list from SetupAPI (the Ports device class) and the SERIALCOMM
// table; the joining and ordering live in port_scan.cpp.
#include <windows.h>
// setupapi.h needs windows.h first.
#include <setupapi.h>

#include <string>
#include <vector>

#include "base/utf8.h"
#include "ports/list_ports.h"
#include "ports/port_scan.h"

namespace lw {
namespace {

// {4D36E978-E325-11CE-BFC1-08002BE10318}
constexpr GUID kPortsClass = {
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

std::optional<std::string> text_of(const wchar_t* p, size_t units) {
  return text_from_utf16(std::u16string(p, p + units));
}

// Bytes of UTF-16 text as the registry hands them over.
std::optional<std::string> text_of_bytes(const BYTE* data, DWORD bytes) {
  std::u16string units(bytes / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  return text_from_utf16(units);
}

std::optional<std::string> port_name_of(HKEY key) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, L"PortName", nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type != REG_SZ) return std::nullopt;
  std::vector<BYTE> data(size);
  if (RegQueryValueExW(key, L"PortName", nullptr, &type, data.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return text_of_bytes(data.data(), size);
}

std::optional<std::string> property_of(HDEVINFO set, SP_DEVINFO_DATA& info, DWORD property) {
  BYTE data[1024];
  DWORD type = 0;
  DWORD size = 0;
  if (!SetupDiGetDeviceRegistryPropertyW(set, &info, property, &type, data, sizeof data, &size)) {
    return std::nullopt;
  }
  return text_of_bytes(data, size);
}

std::vector<DeviceRecord> device_manager_ports() {
  std::vector<DeviceRecord> out;
  HDEVINFO set = SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return out;
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA info{};
    info.cbSize = sizeof info;
    if (!SetupDiEnumDeviceInfo(set, index, &info)) break;
    DeviceRecord rec;
    HKEY key = SetupDiOpenDevRegKey(set, &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key != INVALID_HANDLE_VALUE) {
      rec.port_name = port_name_of(key);
      RegCloseKey(key);
    }
    if (!rec.port_name) continue;
    rec.friendly_name = property_of(set, info, SPDRP_FRIENDLYNAME);
    rec.device_description = property_of(set, info, SPDRP_DEVICEDESC);
    wchar_t id[512];
    if (SetupDiGetDeviceInstanceIdW(set, &info, id, 512, nullptr))
      rec.instance_id = text_of(id, 512);
    out.push_back(std::move(rec));
  }
  SetupDiDestroyDeviceInfoList(set);
  return out;
}

std::vector<std::string> serial_device_table() {
  std::vector<std::string> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return names;
  }
  for (DWORD index = 0;; ++index) {
    wchar_t value_name[256];
    DWORD name_units = 256;
    BYTE data[256];
    DWORD data_bytes = sizeof data;
    DWORD type = 0;
    if (RegEnumValueW(key, index, value_name, &name_units, nullptr, &type, data, &data_bytes) !=
        ERROR_SUCCESS) {
      break;
    }
    if (type != REG_SZ) continue;
    std::optional<std::string> name = text_of_bytes(data, data_bytes);
    if (name && !name->empty()) names.push_back(std::move(*name));
  }
  RegCloseKey(key);
  return names;
}

}  // namespace

std::vector<PortInfo> list_system_ports() {
  return build_port_list(device_manager_ports(), serial_device_table());
}

std::vector<PortInfo> find_system_ports(std::span<const PortAddress> addresses) {
  std::vector<PortInfo> found;
  for (const PortAddress& a : addresses) {
    if (a.kind != AddressKind::Device) continue;
    std::string_view name = a.text;
    if (name.starts_with("\\\\.\\")) name.remove_prefix(4);
    if (name.empty()) continue;
    // The DOS device names: COM ports, and the pairs of virtual port drivers.
    const std::u16string units = utf16_from_utf8(name);
    const std::wstring wide(units.begin(), units.end());
    wchar_t target[1024];
    if (QueryDosDeviceW(wide.c_str(), target, 1024) == 0) continue;
    PortInfo p(a.text, "");
    p.added = true;
    found.push_back(std::move(p));
  }
  return found;
}

}  // namespace lw
