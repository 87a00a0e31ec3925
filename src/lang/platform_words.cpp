#include "lang/platform_words.h"

#include "lang/tr.h"

namespace lw {

std::string platform_tr(PlatformText which) {
  for (const PlatformWording& w : kPlatformWords) {
    if (w.which != which) continue;
    const Wording& mine = kLinuxWords ? w.on_linux : w.on_windows;
    return tr_data(mine.korean, mine.english);
  }
  return {};
}

}  // namespace lw
