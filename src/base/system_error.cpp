#include "base/system_error.h"

#include <string>
#include <system_error>

namespace lw {

namespace {

Error with_what(int code, std::string_view what, std::string text) {
  if (what.empty()) return Error{code, std::move(text)};
  return Error{code, std::string(what) + ": " + text};
}

}  // namespace

Error errno_error(int code, std::string_view what) {
  return with_what(code, what, std::generic_category().message(code));
}

}  // namespace lw
