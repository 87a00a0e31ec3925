// post_message [--wait MS] NUMBER [PARAM1 [PARAM2]]
// post_message [--wait MS] close | settingchange
// post_message [--wait MS] click X Y | type TEXT | key return|escape|tab|up
// post_message [--wait MS] dismiss TITLE
// post_message [--wait MS] size WIDTH HEIGHT
// Posts application message NUMBER (WM_APP + NUMBER) with its parameters to
// the running program's "Linewick.Main" window, asks the window to close,
// tells it (sent, not posted) that the colour theme changed, or posts the
// input a person would give: a left click at a client point (a negative
// coordinate counts from the right or bottom edge), typed characters, a
// key; or closes the program's top-level window TITLE (a message box); or
// gives the window a client area of WIDTH x HEIGHT pixels at the screen's
// top-left corner and prints the client area's size and origin it got.
// --wait: look for the window for up to MS milliseconds first.
// Exit codes: 0 posted, 1 bad arguments, 2 no window, 3 the post failed.
#include <windows.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

template <class T>
bool parse(std::string_view text, T& out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc{} && end == text.data() + text.size();
}

int usage() {
  std::fputs(
      "usage: post_message [--wait MS] NUMBER [PARAM1 [PARAM2]] | close | settingchange |\n"
      "       click X Y | type TEXT | key return|escape|tab|up | dismiss TITLE |\n"
      "       size WIDTH HEIGHT\n",
      stderr);
  return 1;
}

struct Post {
  UINT msg;
  WPARAM wp;
  LPARAM lp;
};

LPARAM client_point(HWND window, int x, int y) {
  RECT client{};
  GetClientRect(window, &client);
  if (x < 0) x += client.right;
  if (y < 0) y += client.bottom;
  return MAKELPARAM(x, y);
}

// The UTF-16 units of UTF-8 text, as WM_CHAR carries them.
std::vector<wchar_t> units(std::string_view utf8) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::vector<wchar_t> out(static_cast<size_t>(n > 0 ? n : 0));
  if (n > 0)
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

// What a person's input would post; false for arguments that name none.
bool input_posts(HWND window, std::string_view what, int argc, char** argv, int i,
                 std::vector<Post>& posts) {
  if (what == "click" && argc - i == 3) {
    int x = 0;
    int y = 0;
    if (!parse(argv[i + 1], x) || !parse(argv[i + 2], y)) return false;
    const LPARAM at = client_point(window, x, y);
    posts = {{WM_MOUSEMOVE, 0, at}, {WM_LBUTTONDOWN, MK_LBUTTON, at}, {WM_LBUTTONUP, 0, at}};
    return true;
  }
  if (what == "type" && argc - i == 2) {
    for (wchar_t u : units(argv[i + 1])) posts.push_back({WM_CHAR, static_cast<WPARAM>(u), 1});
    return true;
  }
  if (what == "key" && argc - i == 2) {
    const std::string_view name = argv[i + 1];
    WPARAM vk = 0;
    if (name == "return") vk = VK_RETURN;
    if (name == "escape") vk = VK_ESCAPE;
    if (name == "tab") vk = VK_TAB;
    if (name == "up") vk = VK_UP;
    if (vk == 0) return false;
    posts = {{WM_KEYDOWN, vk, 1}, {WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001)}};
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  int i = 1;
  uint32_t wait_ms = 0;
  if (i + 1 < argc && std::string_view(argv[i]) == "--wait") {
    if (!parse(argv[i + 1], wait_ms)) return usage();
    i += 2;
  }
  if (i >= argc || argc - i > 3) return usage();
  const std::string_view what = argv[i];
  const bool input = what == "click" || what == "type" || what == "key";
  if (what == "dismiss") {
    if (argc - i != 2) return usage();
    const std::vector<wchar_t> title = units(std::string(argv[i + 1]) + '\0');
    const ULONGLONG end = GetTickCount64() + wait_ms;
    HWND box = FindWindowW(nullptr, title.data());
    while (box == nullptr && GetTickCount64() < end) {
      Sleep(100);
      box = FindWindowW(nullptr, title.data());
    }
    if (box == nullptr) {
      std::fputs("post_message: no such window\n", stderr);
      return 2;
    }
    return PostMessageW(box, WM_CLOSE, 0, 0) ? 0 : 3;
  }
  UINT msg = WM_CLOSE;
  uint64_t param1 = 0;
  int64_t param2 = 0;
  if (what == "settingchange") {
    msg = WM_SETTINGCHANGE;
  } else if (what != "close" && what != "size" && !input) {
    uint32_t number = 0;
    if (!parse(what, number) || number > 0x3FFF) return usage();
    if (i + 1 < argc && !parse(argv[i + 1], param1)) return usage();
    if (i + 2 < argc && !parse(argv[i + 2], param2)) return usage();
    msg = WM_APP + number;
  }

  const ULONGLONG deadline = GetTickCount64() + wait_ms;
  HWND window = FindWindowW(L"Linewick.Main", nullptr);
  while (window == nullptr && GetTickCount64() < deadline) {
    Sleep(100);
    window = FindWindowW(L"Linewick.Main", nullptr);
  }
  if (window == nullptr) {
    std::fputs("post_message: no Linewick.Main window\n", stderr);
    return 2;
  }
  if (input) {
    std::vector<Post> posts;
    if (!input_posts(window, what, argc, argv, i, posts)) return usage();
    for (const Post& p : posts) {
      if (!PostMessageW(window, p.msg, p.wp, p.lp)) {
        std::fprintf(stderr, "post_message: PostMessageW failed (%lu)\n", GetLastError());
        return 3;
      }
    }
    return 0;
  }
  if (what == "size") {
    int width = 0;
    int height = 0;
    if (argc - i != 3 || !parse(argv[i + 1], width) || !parse(argv[i + 2], height)) return usage();
    // The frame around a client area of that size, as the window's style
    // has it, placed so the client area starts at the screen's corner.
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    if (!SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                      SWP_NOZORDER | SWP_NOACTIVATE)) {
      std::fprintf(stderr, "post_message: SetWindowPos failed (%lu)\n", GetLastError());
      return 3;
    }
    // What it got: the client area's size and where it is on the screen.
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::printf("%ld %ld %ld %ld\n", client.right, client.bottom, origin.x, origin.y);
    return 0;
  }
  if (msg == WM_SETTINGCHANGE) {
    // It carries a text, so it can only be sent; this is what the system
    // sends when the colour theme changes.
    static const wchar_t area[] = L"ImmersiveColorSet";
    if (!SendMessageTimeoutW(window, msg, 0, reinterpret_cast<LPARAM>(area), SMTO_ABORTIFHUNG,
                             10000, nullptr)) {
      std::fprintf(stderr, "post_message: SendMessageTimeoutW failed (%lu)\n", GetLastError());
      return 3;
    }
    return 0;
  }
  if (!PostMessageW(window, msg, static_cast<WPARAM>(param1), static_cast<LPARAM>(param2))) {
    std::fprintf(stderr, "post_message: PostMessageW failed (%lu)\n", GetLastError());
    return 3;
  }
  return 0;
}
