// Running the headless tool in-process on a data folder, as a test sees it.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "core/env.h"
#include "core/text.h"

namespace px::test {

struct CliResult {
  int code;
  std::string out, err;
  // stdout split into lines and the lines at tabs.
  std::vector<std::vector<std::string>> Rows() const {
    std::vector<std::vector<std::string>> rows;
    for (const auto& line : SplitAny(out, "\n", true)) rows.push_back(SplitAny(line, "\t", false));
    return rows;
  }
};

inline CliResult RunCliIn(const std::string& dataDir, std::vector<std::string> args, Env& env = Env::Real()) {
  args.insert(args.begin(), {"--data-dir", dataDir});
  std::ostringstream out, err;
  const int code = cli::Run(args, out, err, env);
  return {code, out.str(), err.str()};
}

}  // namespace px::test
