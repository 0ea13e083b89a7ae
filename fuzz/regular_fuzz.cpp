// The regular stakes file (.ltb): read as the program reads it, every row of
// the rule view, each rule advanced over a small archive and staked, and the
// rules written back and read again unchanged.
#include "core/archive.h"
#include "fuzz/fuzz_support.h"
#include "stakes/regular.h"
#include "stakes/stake_store.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::MemEnv env;
  fuzz::QuietHost host;
  RegularStakes rules(env, host, "d");
  env.files[rules.Path()] = std::string(fuzz::AsText(data, size));
  rules.Load();
  DrawArchive archive;
  DrawRecord draw;
  draw.number = 2147483647;  // the largest number has no next draw
  draw.numbers = {36, 1, 18, 35, 2};
  archive.Append(draw);
  TConfigData config;
  for (int i = 0; i < rules.Count(); ++i) {
    RegularRow(rules.At(i));
    CheckRegularInput(true, "1;2;3;4;5", rules.At(i).comment, rules.Rules(), draw.numbers);
    RegularStake rule = rules.At(i);
    if (auto next = Advance(rule, archive, static_cast<int>(size % 3))) {
      if (!IsValidDrawNumbers(*next)) __builtin_trap();
      MakeStake(StakeKind::Regular, archive.NextDrawNumber(0), ToNumberSet(*next), 0, rule.comment, config);
    }
  }
  // What was read survives a save and a second read.
  const std::vector<RegularStake> read = rules.Rules();
  if (rules.Save()) {
    RegularStakes again(env, host, "d");
    again.Load();
    if (again.Rules() != read) __builtin_trap();
  }
  return 0;
}
