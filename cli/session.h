// What the analysing commands work on: the configuration, the archive, the
// statistic registry with the user's favourites and names, and the
// combination set, loaded from the data folder.
#pragma once

#include <memory>
#include <string>

#include "combs/combination_set.h"
#include "core/archive.h"
#include "frame/frame.h"
#include "stats/stat_list.h"

namespace px::cli {

struct Context;

// The program's own frame over the data folder, for a command: it loads
// what the command needs by the program's own start-up steps, so that the
// tool and the program read the data folder by the same rules. It talks to
// `host`, or to the context's host when none is given.
class ToolFrame final : public TFormMain {
 public:
  explicit ToolFrame(Context& ctx, Host* host = nullptr);
};

struct Session {
  // Loads the configuration, the archive and the registry with its names; a
  // damaged file is an error. The frame talks to `host`, or to the
  // context's host when none is given.
  explicit Session(Context& ctx, Host* host = nullptr);

  ToolFrame frame;
  DrawArchive& archive;
  TStatList& registry;
  CombinationSet& set;

  // The method of a code, ignoring case; throws Error naming it otherwise.
  int MethodOf(const std::string& code) const;
  // Offset check against the archive: 0..count-1 (0 for an empty archive).
  void CheckOffset(int offset) const;
};

}  // namespace px::cli
