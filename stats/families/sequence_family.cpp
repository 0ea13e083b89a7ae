// Group 6, "seq": runs of consecutive numbers inside one draw.
#include <algorithm>

#include "stats/families/families.h"
#include "stats/families/family_core.h"

namespace px {

namespace {

using family::MatchRule;

// Lengths of the runs joined by rises of exactly one, from position 1 on;
// they add up to 5.
struct Runs {
  int n = 0;
  std::array<int, 5> length{};
};
Runs RunsOf(const Combination& c) {
  Runs r;
  r.length[0] = 1;
  r.n = 1;
  for (int i = 1; i < kDrawSize; ++i) {
    if (int(c[size_t(i)]) - int(c[size_t(i - 1)]) == 1)
      ++r.length[size_t(r.n - 1)];
    else
      r.length[size_t(r.n++)] = 1;
  }
  return r;
}

int32_t LongRuns(const TCustomStat&, const Combination& c) {
  const Runs r = RunsOf(c);
  return int32_t(std::count_if(r.length.begin(), r.length.begin() + r.n, [](int l) { return l >= 2; }));
}
int32_t LongestRun(const TCustomStat&, const Combination& c) {
  const Runs r = RunsOf(c);
  return *std::max_element(r.length.begin(), r.length.begin() + r.n);
}

// The graphs count a fall by one as a step too: the stretches of such steps,
// and the longest in numbers (0 when there is no step at all).
struct Stretches {
  int count = 0;
  int longest = 0;
};
Stretches StretchesOf(const Combination& c) {
  Stretches s;
  int current = 0;  // steps in the current stretch
  for (int i = 1; i < kDrawSize; ++i) {
    if (std::abs(int(c[size_t(i)]) - int(c[size_t(i - 1)])) == 1) {
      if (current == 0) ++s.count;
      ++current;
      s.longest = std::max(s.longest, current + 1);
    } else {
      current = 0;
    }
  }
  return s;
}

// ---- SEQL: each run's length.
const StatClassInfo kSequenceLen{.className = "TstSequenceLen", .codeFormat = "SEQL",
                                 .titleFormat = "Длина последовательности в тираже", .helpCodeFormat = nullptr,
                                 .group = 6, .features = kFeatS | kFeatN, .create = &MakeStat<class TstSequenceLen>};
class TstSequenceLen final : public TCustomNumbersStat {
 public:
  TstSequenceLen(const TStatList& r, int index) : TCustomNumbersStat(r, kSequenceLen, index) {}
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    family::AddCandidates(Work, values, 1, 5);
  }
  void CollectDrawValues(int index, int lastIndex, TLastValueArray& lv, StatState& st, TStatDrawArray& values,
                         bool sorted) override {
    TCustomStat::CollectDrawValues(index, lastIndex, lv, st, values, sorted);
    const Runs r = RunsOf(CurrentDraw.numbers);
    for (int i = 0; i < r.n; ++i) family::AddInt(Work, values, r.length[size_t(i)], true);
  }
  void CollectCombinationValues(const Combination& c, TStatDrawArray& values) override {
    TCustomStat::CollectCombinationValues(c, values);
    const Runs r = RunsOf(c);
    for (int i = 0; i < r.n; ++i) family::AddInt(Work, values, r.length[size_t(i)], false);
  }
  bool MatchesCombination(const Combination& c, const TStatDrawArray& selected, int, bool, FilterMode) override {
    const Runs r = RunsOf(c);
    for (int i = 0; i < r.n; ++i)
      if (HasWordKey(selected, 1, uint16_t(r.length[size_t(i)]))) return true;
    return false;
  }
};

// ---- SEQS, LENS: one value each; their graphs also count falls.
template <family::ValueFn Fn, int Lo, int Hi>
class RunStat : public family::SingleValueStat<TCustomGraphStat, Fn, MatchRule::Word1> {
 public:
  using family::SingleValueStat<TCustomGraphStat, Fn, MatchRule::Word1>::SingleValueStat;
  void CollectCandidates(int lastIndex, TStatDrawArray& values) override {
    TCustomStat::CollectCandidates(lastIndex, values);
    family::AddCandidates(this->Work, values, Lo, Hi);
  }
};

const StatClassInfo kSequenceCnt{.className = "TstSequenceCnt", .codeFormat = "SEQS",
                                 .titleFormat = "Количество последовательностей в тираже", .helpCodeFormat = nullptr,
                                 .group = 6, .features = kFeatS | kFeatN, .isGraph = true,
                                 .create = &MakeStat<class TstSequenceCnt>};
class TstSequenceCnt final : public RunStat<&LongRuns, 0, 2> {
 public:
  TstSequenceCnt(const TStatList& r, int index) : RunStat(r, kSequenceCnt, index) {}
  int32_t GraphValue(const Combination& c, int, int, bool) override { return StretchesOf(c).count; }
};

const StatClassInfo kSequenceLenMax{.className = "TstSequenceLenMax", .codeFormat = "LENS",
                                    .titleFormat = "Макс. длина последовательности в тираже",
                                    .helpCodeFormat = nullptr, .group = 6, .features = kFeatS | kFeatN,
                                    .isGraph = true, .create = &MakeStat<class TstSequenceLenMax>};
class TstSequenceLenMax final : public RunStat<&LongestRun, 1, 5> {
 public:
  TstSequenceLenMax(const TStatList& r, int index) : RunStat(r, kSequenceLenMax, index) {}
  int32_t GraphValue(const Combination& c, int, int, bool) override { return StretchesOf(c).longest; }
};

}  // namespace

void RegisterSequenceFamily(StatClassTable& table) {
  for (const StatClassInfo* c : {&kSequenceLen, &kSequenceCnt, &kSequenceLenMax}) table.push_back(c);
}

}  // namespace px
