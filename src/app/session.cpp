#include "app/session.h"

namespace lw {

Appended Session::append(LineRecord record, std::string_view search_text) {
  // A failed write keeps the line in the recording's backlog; nothing to do here.
  if (recording) (void)recording->write(record, hex_view());
  return log.append(std::move(record), search_text);
}

}  // namespace lw
