// The ratings file (.lrt): read as the program reads it, sorted by every
// column, every cell in each efficiency mode, the CSV export, and a stake
// added to the entries read.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "stakes/ratings.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::MemEnv env;
  fuzz::QuietHost host;
  Ratings ratings(env, host, "d");
  env.files[ratings.Path()] = std::string(fuzz::AsText(data, size));
  ratings.Read();
  std::vector<RatingEntry> entries = ratings.Entries();
  // The order must stay a strict weak ordering whatever the file holds, or
  // sorting reads past the entries. RatingLess builds both comment keys at
  // every comparison, so each input sorts by a sixth of the columns; the
  // inputs cover them all.
  for (int column = static_cast<int>(size / 3 % 6); column < kRatingColumns; column += 6) {
    const RatingSort order{column, (column & 1) != 0};
    std::vector<RatingEntry> sorted = entries;
    std::sort(sorted.begin(), sorted.end(),
              [&](const RatingEntry& a, const RatingEntry& b) { return RatingLess(a, b, order); });
  }
  ratings.Sort();
  // One efficiency mode per input keeps the runs short; the inputs cover all three.
  const int mode = static_cast<int>(size % 3);
  for (size_t i = 0; i < ratings.Count(); ++i) ratings.Row(i, mode);
  RatingsCsvText(entries);
  if (!entries.empty()) {
    StakeRecord stake;
    stake.drawNumber = 5;
    stake.numbers = NumberSet{5, {1, 2, 3, 4, 5}};
    stake.matches = NumberSet{static_cast<int32_t>(size % 6), {}};
    stake.profit = entries.front().profit;
    stake.comment = entries.front().comment;
    ratings.AddStake(stake);
    ratings.Row(0, 1);
  }
  return 0;
}
