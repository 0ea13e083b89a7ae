// The headless tool: `pentalux [--data-dir DIR] <command> ...`.
// Results go to `out` as tab-separated UTF-8 text with one header row;
// errors go to `err` in the system's words. Returns the exit code:
// 0 done, 1 the operation failed, 2 bad usage.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace px::cli {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace px::cli
