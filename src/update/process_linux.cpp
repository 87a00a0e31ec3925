#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <system_error>
#include <vector>

#include "base/system_error.h"
#include "update/process.h"

extern char** environ;

namespace lw {

Status start_program(const std::filesystem::path& program, std::span<const std::string_view> args) {
  // A downloaded file has no execute permission yet.
  std::error_code ec;
  std::filesystem::permissions(program, std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add, ec);
  if (ec) return fail(Error{ec.value(), ec.message()});

  std::vector<std::string> owned;
  owned.reserve(args.size() + 1);
  owned.push_back(program.string());
  for (const std::string_view a : args) owned.emplace_back(a);
  std::vector<char*> argv;
  for (std::string& s : owned) argv.push_back(s.data());
  argv.push_back(nullptr);

  // Its own session, so it carries on when the program's window closes.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  // glibc reports a failed exec here, so success means it started.
  const int rc = posix_spawn(&pid, argv[0], nullptr, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return fail(errno_error(rc));
  return {};
}

}  // namespace lw
