// The stakes file (.lsk): opened as the program opens it, every row as the
// grid shows it, the duplicate test, and a checking pass into the rating.
#include "core/archive.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/sample_data.h"
#include "stakes/ratings.h"
#include "stakes/stake_store.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const DrawArchive archive = fuzz::SampleArchive(60);
  static const GameConfig config = fuzz::SampleConfig();
  // A fresh Env each time: the backup copies of damaged files stay with
  // their input.
  fuzz::MemEnv env;
  env.files[StakesPath("d")] = std::string(fuzz::AsText(data, size));
  fuzz::QuietHost host;
  Ratings ratings(env, host, "r");
  {
    StakeStore store(env, host, "d");
    if (!store.Load()) return 0;
    const int64_t n = store.RecordCount();
    for (int64_t i = 0; i < n && i < 64; ++i) {
      const StakeRecord r = store.ReadRecord(i);
      StakeRow(r);
      store.Contains(r.drawNumber, r.numbers);
    }
    store.CountText();
    store.CheckAll(archive, config.data, &ratings);
  }
  for (size_t i = 0; i < ratings.Count(); ++i) ratings.Row(i, static_cast<int>(i % 3));
  return 0;
}
