#include "combs/worker_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "combs/combination_set.h"
#include "core/env.h"

namespace px {
namespace {

TEST(WorkerPool, RoundsReuseTheirThreadsAndEachWorkerRunsOncePerRound) {
  WorkerPool pool;
  std::vector<int> calls(4, 0);
  std::vector<std::thread::id> ids(4);
  const std::thread::id caller = std::this_thread::get_id();
  for (int round = 0; round < 2000; ++round) {
    const int workers = round % 3 + 1;  // 1, 2, 3: rounds that need fewer threads than there are
    pool.Run(workers, [&](int w) {
      ++calls[size_t(w)];
      ids[size_t(w)] = std::this_thread::get_id();
    });
    ASSERT_EQ(ids[0], caller);
  }
  EXPECT_EQ(calls, (std::vector<int>{2000, 1333, 666, 0}));
  EXPECT_EQ(pool.Threads(), 2);
  EXPECT_NE(ids[1], caller);
  EXPECT_NE(ids[2], ids[1]);
}

TEST(WorkerPool, ACopiedSetFiltersOnItsOwnThreads) {
  CombinationSet a;
  a.Init(kCapacity);
  GenerateSet(a, Env::Real(), false, 0, "");
  CombinationSet b = a;
  auto odd = [](int, const Combination* in, size_t n, Combination* out) {
    size_t k = 0;
    for (size_t i = 0; i < n; ++i)
      if (in[i][0] % 2) out[k++] = in[i];
    return k;
  };
  std::atomic<int> done{0};
  std::thread other([&] {
    for (int i = 0; i < 20; ++i) {
      b.TakeSnapshot(false);
      b.FilterFromSnapshotCompact(odd, 2, false, "x", "y");
      b.RestoreSnapshot(false);
    }
    ++done;
  });
  for (int i = 0; i < 20; ++i) {
    a.SnapshotForRebuild(false);
    EXPECT_EQ(a.Count(), 0);
    a.FilterFromSnapshotCompact(odd, 2, false, "x", "y");
    a.RestoreSnapshot(false);
  }
  other.join();
  EXPECT_EQ(done, 1);
  EXPECT_EQ(a.ToVector(), b.ToVector());
  EXPECT_EQ(a.Count(), kCapacity);
}

}  // namespace
}  // namespace px
