// The host's modal questions on Windows: popup menus, message boxes, the
// save dialog, and the input method's position. Each runs a nested message
// loop; the application stays in use meanwhile, so every message the loop
// delivers to the window is dropped by the slot and never re-enters it.
#include <windows.h>
// These need windows.h first.
#include <imm.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cmath>
#include <string>
#include <system_error>

#include "base/utf8.h"
#include "base/wide_win32.h"
#include "host/host_win32.h"

namespace lw {
namespace {

using Microsoft::WRL::ComPtr;

// Menus read "&" as the mark of an access key; labels such as a command
// preset show it as it is.
std::wstring menu_label(std::string_view utf8) {
  std::wstring out;
  for (wchar_t c : wide(utf8)) {
    if (c == L'&') out += L'&';
    out += c;
  }
  return out;
}

// The menu and its sub-menus; DestroyMenu on it destroys them all.
HMENU build_menu(const std::vector<MenuItem>& items) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  for (const MenuItem& it : items) {
    if (it.label.empty()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const bool grey = it.label.front() == '#';
    const std::wstring label = menu_label(grey ? it.label.substr(1) : it.label);
    UINT flags = MF_STRING;
    if (it.checked) flags |= MF_CHECKED;
    if (grey) flags |= MF_GRAYED;
    if (!it.items.empty()) {
      HMENU sub = build_menu(it.items);
      if (sub == nullptr) continue;
      if (!AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), label.c_str()))
        DestroyMenu(sub);
    } else {
      AppendMenuW(menu, flags, static_cast<UINT_PTR>(it.id), label.c_str());
    }
  }
  return menu;
}

// Returns the texts the filters point into: they stay alive until Show returns.
std::vector<std::wstring> set_file_types(IFileDialog& dialog,
                                         const std::vector<SaveFileType>& types) {
  std::vector<std::wstring> texts;
  texts.reserve(types.size() * 2);  // no reallocation: the filters point into it
  std::vector<COMDLG_FILTERSPEC> filters;
  for (const SaveFileType& type : types) {
    texts.push_back(wide(type.label));
    const wchar_t* label = texts.back().c_str();
    texts.push_back(wide(type.pattern));
    filters.push_back(COMDLG_FILTERSPEC{label, texts.back().c_str()});
  }
  if (!filters.empty()) dialog.SetFileTypes(static_cast<UINT>(filters.size()), filters.data());
  return texts;
}

void start_in_folder(IFileDialog& dialog, const std::filesystem::path& folder) {
  ComPtr<IShellItem> item;
  if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem,
                                            reinterpret_cast<void**>(item.GetAddressOf()))))
    dialog.SetFolder(item.Get());
}

// Shows the dialog; the chosen file's path, or nothing when it was cancelled
// or the choice is not a file-system path.
std::optional<std::filesystem::path> show_for_path(IFileDialog& dialog, HWND owner) {
  if (FAILED(dialog.Show(owner))) return std::nullopt;
  ComPtr<IShellItem> result;
  if (FAILED(dialog.GetResult(result.GetAddressOf()))) return std::nullopt;
  PWSTR path = nullptr;
  if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr)
    return std::nullopt;
  std::filesystem::path chosen(path);
  CoTaskMemFree(path);
  return chosen;
}

}  // namespace

std::optional<int> Win32Host::popup_menu(const std::vector<MenuItem>& items, float x, float y) {
  if (window_ == nullptr || items.empty()) return std::nullopt;
  HMENU menu = build_menu(items);
  if (menu == nullptr) return std::nullopt;
  POINT at{static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
  ClientToScreen(window_, &at);
  const BOOL chosen =
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window_, nullptr);
  DestroyMenu(menu);
  if (chosen <= 0) return std::nullopt;  // dismissed
  return static_cast<int>(chosen);
}

void Win32Host::message_box(const std::string& caption, const std::string& text) {
  MessageBoxW(window_, wide(text).c_str(), wide(caption).c_str(), MB_OK | MB_ICONINFORMATION);
}

bool Win32Host::ask_yes_no(const std::string& caption, const std::string& text) {
  return MessageBoxW(window_, wide(text).c_str(), wide(caption).c_str(),
                     MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

std::optional<SaveChoice> Win32Host::choose_save_file(const SaveDialogSetup& setup) {
  ComPtr<IFileSaveDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileSaveDialog,
                              reinterpret_cast<void**>(dialog.GetAddressOf()))))
    return std::nullopt;  // no dialog: the command ends silently

  // Each step may fail on its own; the dialog still works without it.
  const std::vector<std::wstring> filter_texts = set_file_types(*dialog.Get(), setup.types);
  dialog->SetDefaultExtension(wide(setup.default_extension).c_str());
  FILEOPENDIALOGOPTIONS options = 0;
  if (SUCCEEDED(dialog->GetOptions(&options))) dialog->SetOptions(options | FOS_OVERWRITEPROMPT);
  dialog->SetTitle(wide(setup.title).c_str());
  dialog->SetFileName(wide(setup.suggested_name).c_str());
  if (!setup.folder.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(setup.folder, ec);
    start_in_folder(*dialog.Get(), setup.folder);
  }

  std::optional<std::filesystem::path> chosen = show_for_path(*dialog.Get(), window_);
  if (!chosen) return std::nullopt;
  SaveChoice choice;
  choice.path = std::move(*chosen);
  UINT type = 0;  // 1-based
  if (SUCCEEDED(dialog->GetFileTypeIndex(&type)) && type >= 1) choice.type_index = type - 1;
  return choice;
}

std::optional<std::filesystem::path> Win32Host::choose_open_file(const OpenDialogSetup& setup) {
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IFileOpenDialog,
                              reinterpret_cast<void**>(dialog.GetAddressOf()))))
    return std::nullopt;  // no dialog: the command ends silently

  // Each step may fail on its own; the dialog still works without it.
  const std::vector<std::wstring> filter_texts = set_file_types(*dialog.Get(), setup.types);
  FILEOPENDIALOGOPTIONS options = 0;
  if (SUCCEEDED(dialog->GetOptions(&options)))
    dialog->SetOptions(options | FOS_FILEMUSTEXIST | FOS_FORCEFILESYSTEM);
  dialog->SetTitle(wide(setup.title).c_str());
  std::error_code ec;
  if (!setup.folder.empty() && std::filesystem::is_directory(setup.folder, ec))
    start_in_folder(*dialog.Get(), setup.folder);
  return show_for_path(*dialog.Get(), window_);
}

void Win32Host::place_ime(float x, float y) {
  if (window_ == nullptr) return;
  HIMC imc = ImmGetContext(window_);
  if (imc == nullptr) return;
  COMPOSITIONFORM form{};
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = POINT{static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
  ImmSetCompositionWindow(imc, &form);
  ImmReleaseContext(window_, imc);
}

}  // namespace lw
