#include <cstring>
#include <optional>

#include "combs/combination_set.h"
#include "core/host.h"
#include "core/text.h"

namespace px {

const std::shared_ptr<CombStorage>& SharedFullSet() {
  static const std::shared_ptr<CombStorage> full = [] {
    auto out = std::make_shared<CombStorage>();
    out->reserve(kCapacity);
    for (int a = 1; a <= kNumbers - 4; ++a)
      for (int b = a + 1; b <= kNumbers - 3; ++b)
        for (int c = b + 1; c <= kNumbers - 2; ++c)
          for (int d = c + 1; d <= kNumbers - 1; ++d)
            for (int e = d + 1; e <= kNumbers; ++e)
              out->push_back({uint8_t(a), uint8_t(b), uint8_t(c), uint8_t(d), uint8_t(e)});
    return out;
  }();
  return full;
}

const CombStorage& FullSet() { return *SharedFullSet(); }

std::vector<bool> UserNumbers(const std::string& parameters) {
  std::vector<bool> set(256);
  for (const auto& word : SplitAny(parameters, ",;", false)) {
    int32_t v = IntOr(word, 0);
    if (v >= 0 && v <= 255) set[static_cast<size_t>(v)] = true;
  }
  return set;
}

namespace {

// Keeps the members of the full set whose count of the user's numbers passes
// the mode's test; one pass, writing into storage sized for the whole space.
template <class Test>
void FilterFull(CombBuffer& working, const bool (&mine)[256], Test test) {
  const auto& full = FullSet();
  working.Resize(full.size(), 0);
  Combination* out = working.MutableData();
  int n = 0;
  for (const Combination& item : full) {
    // A local copy: stores into the output may alias any byte, and would
    // otherwise force the numbers to be read again.
    const Combination c = item;
    int hits = mine[c[0]] + mine[c[1]] + mine[c[2]] + mine[c[3]] + mine[c[4]];
    // Written always, counted when kept: no branch to mispredict, and n never
    // passes the index being read, so the write stays inside the storage.
    out[n] = c;
    n += test(hits) ? 1 : 0;
  }
  working.SetCount(n);
}

}  // namespace

void GenerateSet(CombinationSet& set, Env& env, bool showProgress, int mode, const std::string& parameters) {
  std::optional<StatusScope> status;
  if (showProgress && set.host_) status.emplace(*set.host_, "Генерация возможных комбинаций...");
  CombBuffer& working = set.working_;
  set.skippedLines_ = 0;
  try {
    working.SetCount(0);
    if (mode == 4) {
      set.ReadFile(env, parameters);  // shows its own error
    } else if (mode >= 1 && mode <= 3) {
      bool mine[256] = {};
      auto numbers = UserNumbers(parameters);
      for (size_t v = 0; v < 256; ++v) mine[v] = numbers[v];
      if (mode == 1) FilterFull(working, mine, [](int hits) { return hits > 0; });
      if (mode == 2) FilterFull(working, mine, [](int hits) { return hits == kDrawSize; });
      if (mode == 3) FilterFull(working, mine, [](int hits) { return hits == 0; });
    } else {
      // Shared until the list is first written to.
      working.ShareFrom(SharedFullSet());
    }
    // The next snapshot then needs no growth.
    if (showProgress) set.undo_.Resize(static_cast<size_t>(working.Count()), 0);
  } catch (const std::exception& e) {
    set.ShowError(Fmt("Ошибка генерации файла комбинаций!\r\r%s", e.what()));
  }
  if (showProgress) {
    set.ClearLog();
    set.DropSnapshot();
    set.EmptyCacheKeepKeys();
  }
}

}  // namespace px
