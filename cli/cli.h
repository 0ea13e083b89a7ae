// The headless tool: `pentalux [--data-dir DIR] <command> ...`.
// Results go to `out` as tab-separated UTF-8 text with one header row;
// errors go to `err` in the system's words. Returns the exit code:
// 0 the command did what it is for (anything else that failed is on
// `err`), 1 it did not, 2 bad usage.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace px {
class Env;
}

namespace px::cli {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The same over another file seam.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Env& env);

}  // namespace px::cli
