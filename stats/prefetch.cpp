#include "stats/prefetch.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <thread>

#include "combs/combination_set.h"
#include "core/env.h"
#include "core/ini.h"
#include "core/form_settings.h"
#include "core/config.h"
#include "core/little_endian.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"
#include "stats/stat_list.h"

namespace px {

namespace {
constexpr uint32_t kConfiguredGroups = (1u << 3) | (1u << 4) | (1u << 5);
}  // namespace

namespace {
constexpr size_t kRecord = 12;

void PutU16(std::string& out, uint16_t v) {
  char b[2];
  le::PutU16(b, v);
  out.append(b, 2);
}
void PutI32(std::string& out, int32_t v) {
  char b[4];
  le::PutU32(b, uint32_t(v));
  out.append(b, 4);
}
uint16_t GetU16(const char* p) { return le::GetU16(p); }
int32_t GetI32(const char* p) { return int32_t(le::GetU32(p)); }
}  // namespace

std::string EncodePrefetch(const PrefetchData& data) {
  std::string out;
  out.reserve((data.records.size() + 1) * kRecord);
  for (const PrefetchRecord& r : data.records) {
    for (int shift = 48; shift >= 0; shift -= 16) PutU16(out, uint16_t(r.key >> shift));
    PutI32(out, r.count);
  }
  PutI32(out, data.minCount);
  PutI32(out, data.maxCount);
  PutI32(out, 0);
  return out;
}

std::optional<PrefetchData> DecodePrefetch(const std::string& bytes) {
  if (bytes.size() < kRecord || bytes.size() % kRecord != 0) return std::nullopt;
  PrefetchData data;
  const size_t m = bytes.size() / kRecord - 1;
  data.records.reserve(m);
  for (size_t i = 0; i < m; ++i) {
    const char* p = bytes.data() + i * kRecord;
    PrefetchRecord r;
    for (int k = 0; k < 4; ++k) r.key = (r.key << 16) | GetU16(p + 2 * k);
    r.count = GetI32(p + 8);
    data.records.push_back(r);
  }
  const char* t = bytes.data() + m * kRecord;
  data.minCount = GetI32(t);
  data.maxCount = GetI32(t + 4);
  return data;
}

PrefetchData FullSetDistribution(const TStatList& registry, int method) {
  const CombStorage& all = FullSet();
  const size_t half = all.size() / 2;
  auto count = [&](size_t from, size_t to, TStatDrawArray& values) {
    auto stat = registry.CreateInstance(method);
    for (size_t i = from; i < to; ++i) stat->CollectCombinationValues(all[i], values);
  };
  TStatDrawArray first, second;
  std::exception_ptr failure;
  std::thread helper([&] {
    try {
      count(half, all.size(), second);
    } catch (...) {
      failure = std::current_exception();
    }
  });
  try {
    count(0, half, first);
  } catch (...) {
    helper.join();
    throw;
  }
  helper.join();
  if (failure) std::rethrow_exception(failure);

  // The full set carries no depths, so merging the halves is adding counts.
  for (const StatValue& v : second) {
    int i = first.Find(v.Key());
    if (i >= 0)
      first[i].Count += v.Count;
    else
      first.Append(v);
  }
  std::vector<PrefetchRecord> records;
  records.reserve(size_t(first.Count()));
  for (const StatValue& v : first) records.push_back(PrefetchRecord{v.Key(), v.Count});
  std::sort(records.begin(), records.end(),
            [](const PrefetchRecord& a, const PrefetchRecord& b) { return a.key < b.key; });
  PrefetchData data;
  data.records = std::move(records);
  if (!data.records.empty()) {
    data.minCount = INT32_MAX;
    for (const PrefetchRecord& r : data.records) {
      data.minCount = std::min(data.minCount, r.count);
      data.maxCount = std::max(data.maxCount, r.count);
    }
  }
  return data;
}

std::string PrefetchFiles::PathOf(const TStatList& registry, int method) const {
  return JoinPath(JoinPath(dataDir_, "Prefetchs"), std::string(kDataBaseName) + "_" + registry.CodeOf(method) + ".dfc");
}

PrefetchData PrefetchFiles::Build(const TStatList& registry, int method, Host* host) {
  const std::string path = PathOf(registry, method);
  std::optional<StatusScope> status;
  if (host)
    status.emplace(*host, Fmt("Создание файла предварительной выборки %s...",
                              std::filesystem::path(path).filename().string().c_str()));
  try {
    PrefetchData data = FullSetDistribution(registry, method);
    env_.MakeDirs(JoinPath(dataDir_, "Prefetchs"));
    WriteFileAtomic(env_, path, EncodePrefetch(data));
    return data;
  } catch (const std::exception& e) {
    throw Error(Fmt("Ошибка создания файла данных для полного набора вариантов!\r\rИмя файла: %s\r\r%s", path.c_str(),
                    e.what()));
  }
}

std::optional<PrefetchData> PrefetchFiles::Open(const TStatList& registry, int method, Host* host) {
  if (!registry.HasFullSet(method)) return std::nullopt;
  const std::string path = PathOf(registry, method);
  const bool stale = (StaleGroups(registry.Config()) >> registry.Method(method).cls->group) & 1;
  try {
    if (!stale && env_.Exists(path)) {
      // An empty or damaged file is made anew, as if it were missing.
      if (auto data = DecodePrefetch(env_.ReadFile(path))) return data;
    }
  } catch (const std::exception& e) {
    if (host)
      host->ShowError(Fmt("Ошибка открытия файла данных для полного набора вариантов!\r\rИмя файла: %s\r\r%s",
                          path.c_str(), e.what()));
    return std::nullopt;
  }
  try {
    return Build(registry, method, host);
  } catch (const std::exception& e) {
    if (host) host->ShowError(e.what());
    return std::nullopt;
  }
}

int PrefetchFiles::BuildAll(const TStatList& registry, bool always, bool enabled, uint32_t rebuildGroups,
                            Host* host) {
  if (!always && !enabled) return 0;
  const uint32_t stale = StaleGroups(registry.Config());
  rebuildGroups |= stale;
  uint32_t failed = 0;
  std::optional<StatusScope> status;
  if (host) status.emplace(*host, "Создание файлов для полного набора комбинаций...");
  int built = 0;
  for (int i = 0; i < registry.Count(); ++i) {
    if (host) {
      host->SetProgress(i + 1, registry.Count());
      host->ProcessEvents();
    }
    if (!registry.HasFullSet(i)) continue;
    const int group = registry.Method(i).cls->group;
    const bool rebuild = group >= 0 && group <= 15 && (rebuildGroups >> group) & 1;
    if (env_.Exists(PathOf(registry, i)) && !rebuild) continue;
    try {
      Build(registry, i, host);
      ++built;
    } catch (const std::exception& e) {
      if (group >= 0 && group < 32) failed |= 1u << group;
      if (host) host->ShowError(e.what());
    }
  }
  if (host) host->SetProgress(0, 0);
  RecordBuilt(registry.Config(), kConfiguredGroups & ~failed, host);
  return built;
}

namespace {
// The keys of the record, by group.
constexpr const char* kBuiltChannel = "PrefetchsChannelSize";
constexpr const char* kBuiltCols = "PrefetchsMatrixCols";
constexpr const char* kBuiltSegments = "PrefetchsMatrixSegments";
}  // namespace

uint32_t PrefetchFiles::StaleGroups(const GameConfig& config) const {
  if (!record_) return 0;
  try {
    const IniFile ini = record_->Read();
    const std::string section = MainSettings::kSection;
    uint32_t stale = 0;
    // A missing key: nothing of that group was built for a known configuration before.
    auto differs = [&](const char* key, const std::string& now) {
      const auto stored = ini.Get(section, key);
      return stored && *stored != now;
    };
    if (differs(kBuiltChannel, std::to_string(config.data.ChannelSize))) stale |= 1u << 3;
    if (differs(kBuiltCols, std::to_string(config.data.MatrixCols))) stale |= 1u << 4;
    if (differs(kBuiltSegments, SegmentsText(config.data.MatrixSegments))) stale |= 1u << 5;
    return stale;
  } catch (const std::exception&) {
    // An unreadable store says nothing; the files stay as they are.
    return 0;
  }
}

void PrefetchFiles::RecordBuilt(const GameConfig& config, uint32_t groups, Host* host) {
  if (!record_ || groups == 0) return;
  try {
    record_->Update([&](IniFile& ini) {
      const std::string section = MainSettings::kSection;
      if (groups & (1u << 3)) ini.WriteInt(section, kBuiltChannel, config.data.ChannelSize);
      if (groups & (1u << 4)) ini.WriteInt(section, kBuiltCols, config.data.MatrixCols);
      if (groups & (1u << 5)) ini.WriteString(section, kBuiltSegments, SegmentsText(config.data.MatrixSegments));
    });
  } catch (const std::exception& e) {
    // Unrecorded, the files are only built once more next time.
    if (host) host->ShowError(e.what());
  }
}

}  // namespace px
