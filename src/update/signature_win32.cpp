// Authenticode: WinVerifyTrust checks the file's signature and chain, then
// the name of the signer's certificate is read from the verified state.
#include <windows.h>
// These need windows.h first.
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <optional>
#include <string>

#include "base/utf8.h"
#include "update/signature.h"

namespace lw {

namespace {

// CertGetNameStringW's buffer, in UTF-16 units with the terminator.
constexpr DWORD kNameBufferUnits = 256;

// The simple display name of the first certificate of signer 0.
std::optional<std::string> signer_display_name(HANDLE state) {
  CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(state);
  if (provider == nullptr) return std::nullopt;
  CRYPT_PROVIDER_SGNR* signer = WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0);
  if (signer == nullptr || signer->csCertChain == 0 || signer->pasCertChain == nullptr) {
    return std::nullopt;
  }
  PCCERT_CONTEXT cert = signer->pasCertChain[0].pCert;
  if (cert == nullptr) return std::nullopt;
  wchar_t name[kNameBufferUnits] = {};
  const DWORD n =
      CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, kNameBufferUnits);
  // n counts the terminator; 1 means no name.
  if (n <= 1) return std::nullopt;
  return utf8_from_utf16(std::u16string(name, name + n - 1));
}

}  // namespace

Result<std::string> verified_signer_name(const std::filesystem::path& file,
                                         const SignatureSource&) {
  const std::wstring path = file.wstring();
  WINTRUST_FILE_INFO file_info{};
  file_info.cbStruct = sizeof file_info;
  file_info.pcwszFilePath = path.c_str();

  WINTRUST_DATA data{};
  data.cbStruct = sizeof data;
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file_info;
  data.dwStateAction = WTD_STATEACTION_VERIFY;

  // {00AAC56B-CD44-11D0-8CC2-00C04FC295EE}
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const LONG trust = WinVerifyTrust(nullptr, &action, &data);
  std::optional<std::string> name;
  if (trust == 0) name = signer_display_name(data.hWVTStateData);

  // The state is closed whatever the outcome.
  data.dwStateAction = WTD_STATEACTION_CLOSE;
  (void)WinVerifyTrust(nullptr, &action, &data);

  if (trust != 0) return fail(Error{static_cast<int>(trust), "WinVerifyTrust failed"});
  if (!name) return fail(Error{0, "no signer name"});
  return std::move(*name);
}

}  // namespace lw
