// Full-set distributions: how often each value of a statistic with feature N
// occurs over all 376,992 combinations, kept per method in
// Prefetchs/Pentalux5_5v36_<CODE>.dfc of the data folder: 12-byte records
// (Key1..Key4 as u16, Count as i32) in ascending key order, then the trailer
// (MinCount, MaxCount, 0), all little-endian.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stats/stat_value.h"

namespace px {

class Env;
class FormSettings;
class Host;
class TStatList;
struct GameConfig;

struct PrefetchRecord {
  uint64_t key = 0;  // StatValue::Key()
  int32_t count = 0;
  bool operator==(const PrefetchRecord&) const = default;
};

struct PrefetchData {
  std::vector<PrefetchRecord> records;
  int32_t minCount = 0;
  int32_t maxCount = 0;
};

std::string EncodePrefetch(const PrefetchData& data);
// nullopt when the bytes are no whole file (empty, or not 12 bytes a record).
std::optional<PrefetchData> DecodePrefetch(const std::string& bytes);

// The distribution of method i over the full set, sorted by key; both cores
// share the work, and the result equals a single pass.
PrefetchData FullSetDistribution(const TStatList& registry, int method);

class PrefetchFiles {
 public:
  // With a window-state store, the files remember the configuration they
  // were built for (channel width, matrix columns, segments): a file of
  // groups 3, 4 or 5 built for another one is stale and made anew, also
  // after the configuration file was edited by hand.
  PrefetchFiles(Env& env, std::string dataDir, FormSettings* record = nullptr)
      : env_(env), dataDir_(std::move(dataDir)), record_(record) {}

  std::string PathOf(const TStatList& registry, int method) const;

  // The distribution of a method with a full set: read from its file, built
  // first when the file is missing, empty or damaged. On failure shows the
  // open or build message through the host and returns nullopt.
  std::optional<PrefetchData> Open(const TStatList& registry, int method, Host* host);
  // Computes and writes the file (through a temporary file). Throws Error
  // "Ошибка создания файла данных для полного набора вариантов!...".
  PrefetchData Build(const TStatList& registry, int method, Host* host);
  // Builds the files of every method with a full set that are missing, or
  // whose group is a set bit of rebuildGroups. Nothing unless always or
  // enabled. Failures are shown and the next method goes on. Returns how
  // many files were built.
  // Stale groups are rebuilt too, and recorded as built for the present
  // configuration once every file of theirs was written.
  int BuildAll(const TStatList& registry, bool always, bool enabled, uint32_t rebuildGroups, Host* host);

  // Group bits (8 channels, 16 matrix, 32 segments) whose files were built
  // for another configuration than this; 0 without a record.
  uint32_t StaleGroups(const GameConfig& config) const;

 private:
  void RecordBuilt(const GameConfig& config, uint32_t groups, Host* host);

  Env& env_;
  std::string dataDir_;
  FormSettings* record_;
};

}  // namespace px
