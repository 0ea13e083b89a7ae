// What the analysing commands work on: the configuration, the archive, the
// statistic registry with the user's favourites and names, and the
// combination set, loaded from the data folder.
#pragma once

#include <memory>
#include <string>

#include "combs/combination_set.h"
#include "core/archive.h"
#include "stats/stat_list.h"

namespace px::cli {

struct Context;

struct Session {
  DrawArchive archive;
  TStatList registry;
  CombinationSet set;

  // Loads everything; a damaged archive or configuration is an error.
  explicit Session(Context& ctx);
  // The method of a code, ignoring case; throws Error naming it otherwise.
  int MethodOf(const std::string& code) const;
  // Offset check against the archive: 0..count-1 (0 for an empty archive).
  void CheckOffset(int offset) const;
};

}  // namespace px::cli
