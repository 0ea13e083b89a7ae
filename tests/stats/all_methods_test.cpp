// Properties every method must have, whatever its family.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "combs/combination_set.h"
#include "core/config.h"
#include "core/env.h"
#include "stats/filter.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"
#include "support/draws.h"

namespace px {
namespace {

class AllMethods : public ::testing::Test {
 protected:
  void SetUp() override {
    std::mt19937 rnd(2024);
    for (int i = 1; i <= 40; ++i) {
      Combination c{};
      for (int k = 0; k < 5; ++k) {
        int n;
        do n = int(rnd() % 36) + 1;
        while (Contains(n, c));
        c[size_t(k)] = uint8_t(n);
      }
      // The newest draw repeats an older one, so the moves of a sum have a past.
      if (i == 40) c = archive.At(9).numbers;
      archive.Append(test::Draw(i, c));
    }
    registry.SetDraws(&archive);
    Configure(registry.Config().data);
    registry.Fill();
  }
  virtual void Configure(TConfigData&) {}
  // The methods a test looks at.
  virtual bool Covers(int) const { return true; }

  void BatchMatchingEqualsSingleMatching();
  void FactFromCollectedOccurrencesEqualsTheScan();
  void FullSetDistributionAndFilterAgreeWithEnumeration();

  DrawArchive archive;
  TStatList registry;
};

// The fast batch answers equal the one-by-one answers for every combination,
// for values the method really produced.
TEST_F(AllMethods, BatchMatchingEqualsSingleMatching) { BatchMatchingEqualsSingleMatching(); }
TEST_F(AllMethods, FactFromCollectedOccurrencesEqualsTheScan) { FactFromCollectedOccurrencesEqualsTheScan(); }
TEST_F(AllMethods, FullSetDistributionAndFilterAgreeWithEnumeration) {
  FullSetDistributionAndFilterAgreeWithEnumeration();
}

// The families whose values follow the configuration, under the others
// their tests use: channels of 5 with a 7-column matrix and segments with a
// gap; channels of 36 with a one-column matrix (36 rows, a 36-bit mask).
class ConfiguredFamilies : public AllMethods, public ::testing::WithParamInterface<int> {
 protected:
  void Configure(TConfigData& d) override {
    if (GetParam() == 0) {
      d.ChannelSize = 5;
      d.MatrixCols = 7;
      d.MatrixSegments = ParseSegments("112233447777112233447777112233447777");
    } else {
      d.ChannelSize = 36;
      d.MatrixCols = 1;
    }
  }
  bool Covers(int m) const override {
    const int group = registry.Method(m).cls->group;
    return group >= 3 && group <= 5;
  }
};

TEST_P(ConfiguredFamilies, KeepTheirPropertiesUnderOtherConfigurations) {
  BatchMatchingEqualsSingleMatching();
  FactFromCollectedOccurrencesEqualsTheScan();
  FullSetDistributionAndFilterAgreeWithEnumeration();
}
INSTANTIATE_TEST_SUITE_P(Configurations, ConfiguredFamilies, ::testing::Values(0, 1));

void AllMethods::BatchMatchingEqualsSingleMatching() {
  const auto& all = FullSet();
  const int last = archive.Count() - 1;
  std::vector<uint8_t> batch(all.size());
  for (int m = 0; m < registry.Count(); ++m) {
    if (!Covers(m)) continue;
    SCOPED_TRACE(registry.CodeOf(m));
    StatTableParams p;
    p.sorted = true;  // ascending draws give values that ascending combinations can have
    StatTable t = ComputeStatTable(registry, m, p, nullptr);
    std::vector<int> rows;
    for (size_t r = 0; r < t.rows.size() && rows.size() < 3; ++r)
      if (t.rows[r].value.Count > 0) rows.push_back(int(r));
    if (rows.empty()) {
      // Values that need a history the random draws need not have: three in a
      // row, pauses of a segment that every draw holds, neighbours in a row of
      // one column.
      const uint8_t f = registry.Method(m).cls->features;
      EXPECT_TRUE((f & (kFeatD | kFeatP)) || (registry.Config().data.MatrixCols == 1 && registry.CodeOf(m) == "ROWA"));
      continue;
    }
    const Selection sel = SelectRows(t.rows, rows);
    auto stat = registry.CreateInstance(m);
    stat->LoadDraws(-1, last, true);
    size_t matches = 0;
    // The periods members answer differently when they keep and when they remove.
    for (FilterMode mode : {FilterMode::KeepSelected, FilterMode::RemoveSelected}) {
      stat->MatchBatch(all.data(), all.size(), sel.values, last, true, mode, batch.data());
      size_t mismatches = 0;
      for (size_t i = 0; i < all.size(); ++i) {
        const bool one = stat->MatchesCombination(all[i], sel.values, last, true, mode);
        mismatches += one != (batch[i] != 0);
        matches += one;
      }
      EXPECT_EQ(mismatches, 0u) << "mode " << int(mode);
      std::vector<Combination> expected, out(all.size());
      for (size_t i = 0; i < all.size(); ++i)
        if ((batch[i] != 0) != (mode == FilterMode::RemoveSelected)) expected.push_back(all[i]);
      out.resize(stat->FilterBatch(all.data(), all.size(), out.data(), sel.values, last, true, mode));
      EXPECT_EQ(out, expected) << "mode " << int(mode);
    }
    EXPECT_GT(matches, 0u);
  }
}

// The occurrences collected in advance answer "Факт" exactly as a scan from
// each value's last occurrence does.
void AllMethods::FactFromCollectedOccurrencesEqualsTheScan() {
  for (int m = 0; m < registry.Count(); ++m) {
    if (!Covers(m)) continue;
    SCOPED_TRACE(registry.CodeOf(m));
    for (bool sorted : {false, true}) {
      StatTableParams p;
      p.offset = 12;
      p.length = 20;
      p.sorted = sorted;
      const StatTable t = ComputeStatTable(registry, m, p, nullptr);
      auto scan = registry.CreateInstance(m);
      int facts = 0;
      for (const StatRow& row : t.rows) {
        if (row.value.Count < 1) continue;
        const int32_t fact =
            scan->FindNextOccurrence(row.value, archive.IndexOfDraw(row.value.LastDraw) + 1, sorted, t.lastIndex);
        EXPECT_EQ(CellText(row, kColFact), fact >= 0 ? std::to_string(fact) : "-") << row.caption;
        facts += fact >= 0;
      }
      if (registry.HasFullSet(m) && registry.Method(m).cls->group == 0) {
        EXPECT_GT(facts, 0);
      }
    }
  }
}

// For a method with a full set: the distribution equals a plain count over
// every combination, and keeping one value keeps exactly the combinations
// whose values include it.
void AllMethods::FullSetDistributionAndFilterAgreeWithEnumeration() {
  const auto& all = FullSet();
  CombinationSet set;
  set.Init(kCapacity);
  for (int m = 0; m < registry.Count(); ++m) {
    if (!registry.HasFullSet(m) || !Covers(m)) continue;
    SCOPED_TRACE(registry.CodeOf(m));
    auto stat = registry.CreateInstance(m);
    std::map<uint64_t, int32_t> counts;
    std::vector<std::vector<uint64_t>> keysOf(all.size());
    for (size_t i = 0; i < all.size(); ++i) {
      TStatDrawArray values;
      stat->CollectCombinationValues(all[i], values);
      for (const StatValue& v : values) {
        counts[v.Key()] += v.Count;
        keysOf[i].push_back(v.Key());
      }
    }
    const PrefetchData d = FullSetDistribution(registry, m);
    ASSERT_EQ(d.records.size(), counts.size());
    size_t r = 0;
    for (const auto& [key, count] : counts) {
      EXPECT_EQ(d.records[r].key, key);
      EXPECT_EQ(d.records[r].count, count);
      ++r;
    }

    if (d.records.empty()) {
      EXPECT_TRUE(registry.Config().data.MatrixCols == 1 && registry.CodeOf(m) == "ROWA");
      continue;
    }
    const PrefetchRecord& chosen = d.records[d.records.size() / 2];
    StatValue v;
    v.SetKey(chosen.key);
    Selection sel;
    sel.values.Append(v);
    GenerateSet(set, Env::Real(), false, 0, "");
    const int last = archive.Count() - 1;
    KeepOrRemove(set, *stat, sel, FilterMode::KeepSelected, last, false, "x", nullptr);
    std::vector<Combination> expected;
    for (size_t i = 0; i < all.size(); ++i)
      if (std::find(keysOf[i].begin(), keysOf[i].end(), chosen.key) != keysOf[i].end()) expected.push_back(all[i]);
    EXPECT_EQ(set.ToVector(), expected) << stat->ValueText(v);
  }
}

}  // namespace
}  // namespace px
