// The system game: the distinct numbers of the combination list, in the
// order they first appear, played through the local system for their count.
// The whole system stakes every line; the list-only game stakes the lines
// whose sorted combination the list holds.
//
// The window and the tool run the same two halves around their own dialog
// or flags: Prepare before it, Play after it. Both run on the frame's thread
// and report through its host.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/arith.h"

namespace px {

class TTemplateMain;

struct SystemGameDraft {
  bool all = false;  // the whole system, or the lines the list holds
  int k = 0;         // distinct numbers of the list
  std::vector<Combination> combinations;  // mapped onto the numbers, file order
  std::string file;                       // the system file read
  // What the multi-stake dialog starts with.
  int32_t drawNumber = 1;  // the draw after the current offset
  std::string comment;     // "Системная игра для %d чисел [...]: <file>"
};

// Collects the numbers and loads the system. Nullopt when the store has no
// system for k or it could not be read (the store has shown its box).
std::optional<SystemGameDraft> PrepareSystemGame(TTemplateMain& frame, bool all);

struct SystemGameResult {
  bool separator = false;  // a separator went before the stakes
  int combinations = 0;    // combinations appended, each for drawCount draws
  bool failed = false;     // an append failed; its box was shown
  int checked = 0;         // stakes checked at the end
  // The grid follows at the end: something was staked and nothing failed.
  bool Refresh() const { return combinations > 0 && !failed; }
};

// After the dialog: a separator when the last record is a stake, then the
// stakes, each combination sorted and appended for drawCount draws from
// drawNumber under the comment; `appended` runs after each append. When all
// went in, the stakes whose draws are known are checked. Holds the busy
// counter throughout.
SystemGameResult PlaySystemGame(TTemplateMain& frame, const SystemGameDraft& draft, int32_t drawNumber,
                                int drawCount, const std::string& comment,
                                const std::function<void()>& appended = {});

}  // namespace px
