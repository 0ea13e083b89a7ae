#include "core/process.h"

#include <spawn.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "core/env.h"
#include "core/errors.h"

extern char** environ;

namespace px {

std::string ProgramPath() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

bool OtherInstanceRunning(const std::string& programPath) {
  if (programPath.empty()) return false;
  const std::string self = std::to_string(::getpid());
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator("/proc", ec); !ec && it != std::filesystem::directory_iterator();
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos || name == self) continue;
    std::error_code e2;
    auto exe = std::filesystem::read_symlink(it->path() / "exe", e2);
    if (!e2 && exe.string() == programPath) return true;
  }
  return false;
}

void StartDetached(const std::string& programPath, const std::vector<std::string>& args, const std::string& folder) {
  std::vector<std::string> all{programPath};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 29))
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
#endif
  pid_t pid = 0;
  int rc = posix_spawn(&pid, programPath.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw Error(SystemErrorText(rc));
}

}  // namespace px
