#include "stats/prefetch.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <string>
#include <vector>

#include "core/archive.h"
#include "core/env.h"
#include "core/form_settings.h"
#include "core/config.h"
#include "stats/stat_list.h"
#include "support/fault_env.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"

namespace px {
namespace {

using test::FaultEnv;
using test::ReadBytes;
using test::RecordingHost;
using test::TempDir;
using test::WriteBytes;

uint16_t U16At(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | (uint8_t(b[at + 1]) << 8)); }
int32_t I32At(const std::string& b, size_t at) {
  uint32_t u = 0;
  for (size_t i = 0; i < 4; ++i) u |= uint32_t(uint8_t(b[at + i])) << (8 * i);
  return int32_t(u);
}

// A full-set file needs no draws, only the methods.
struct Methods {
  DrawArchive archive;
  TStatList registry;
  Methods() {
    registry.SetDraws(&archive);
    registry.Fill();
  }
  int operator[](const char* code) const {
    const int m = registry.FindByCode(code);
    EXPECT_GE(m, 0) << code;
    return m;
  }
};

// One record, so a file that was kept is told from one that was built.
std::string MarkerFile() {
  PrefetchData d;
  d.records.push_back(PrefetchRecord{uint64_t(7) << 48, 99});
  d.minCount = d.maxCount = 99;
  return EncodePrefetch(d);
}

const std::string kBuildError = "Ошибка создания файла данных для полного набора вариантов!\r\rИмя файла: ";
const std::string kOpenError = "Ошибка открытия файла данных для полного набора вариантов!\r\rИмя файла: ";

TEST(Prefetch, EncodeAndDecode) {
  PrefetchData d;
  StatValue v;
  v.Key1 = 0x0102;
  v.Key2 = 3;
  v.Key4 = 0xFFFF;
  d.records.push_back(PrefetchRecord{v.Key(), -2});
  d.minCount = 5;
  d.maxCount = 0x01000000;
  // Little-endian words Key1..Key4, the count, then min, max, 0.
  const std::string expected("\x02\x01\x03\x00\x00\x00\xFF\xFF\xFE\xFF\xFF\xFF"
                             "\x05\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00",
                             24);
  EXPECT_EQ(EncodePrefetch(d), expected);
  const auto back = DecodePrefetch(expected);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->records, d.records);

  EXPECT_FALSE(DecodePrefetch("").has_value());
  EXPECT_FALSE(DecodePrefetch(std::string(11, '\0')).has_value());
}

TEST(Prefetch, FileLayoutOfBuiltFiles) {
  Methods m;
  TempDir dir;
  PrefetchFiles files(Env::Real(), dir.Path());
  RecordingHost host;

  // Each number is in C(35,4) = 52,360 of the combinations.
  const std::string nums = files.PathOf(m.registry, m["NUMS"]);
  EXPECT_EQ(nums, dir.Path() + "/Prefetchs/" + kDataBaseName + "_NUMS.dfc");
  files.Build(m.registry, m["NUMS"], &host);
  EXPECT_EQ(host.CurrentStatus(), "");  // the build's status is cleared

  std::string b = ReadBytes(nums);
  ASSERT_EQ(b.size(), 37u * 12);
  for (size_t i = 0; i < 36; ++i) {
    EXPECT_EQ(U16At(b, 12 * i), i + 1);
    EXPECT_EQ(U16At(b, 12 * i + 2) | U16At(b, 12 * i + 4) | U16At(b, 12 * i + 6), 0);
    EXPECT_EQ(I32At(b, 12 * i + 8), 52360) << "number " << i + 1;
  }
  EXPECT_EQ((std::vector<int32_t>{I32At(b, 432), I32At(b, 436), I32At(b, 440)}),
            (std::vector<int32_t>{52360, 52360, 0}));
  // Written through a temporary file that must not stay behind.
  EXPECT_EQ(Env::Real().ListDir(dir.Path() + "/Prefetchs"),
            std::vector<std::string>{std::string(kDataBaseName) + "_NUMS.dfc"});

  // EVEN: k even numbers out of 18 and 5 - k odd ones out of 18.
  // C(18,k): 1, 18, 153, 816, 3060, 8568.
  const int32_t even[6] = {8568, 18 * 3060, 153 * 816, 816 * 153, 3060 * 18, 8568};
  files.Build(m.registry, m["EVEN"], &host);
  b = ReadBytes(files.PathOf(m.registry, m["EVEN"]));
  ASSERT_EQ(b.size(), 7u * 12);
  for (size_t k = 0; k < 6; ++k) {
    EXPECT_EQ(U16At(b, 12 * k), k);
    EXPECT_EQ(I32At(b, 12 * k + 8), even[k]) << k << " even";
  }
  EXPECT_EQ((std::vector<int32_t>{I32At(b, 72), I32At(b, 76), I32At(b, 80)}),
            (std::vector<int32_t>{8568, 124848, 0}));
}

TEST(Prefetch, OpenRebuildsEmptyOrDamagedFile) {
  Methods m;
  TempDir dir;
  PrefetchFiles files(Env::Real(), dir.Path());
  const std::string path = files.PathOf(m.registry, m["NUMS"]);
  Env::Real().MakeDirs(dir.Path() + "/Prefetchs");

  // Empty, under one record, and not a whole number of records.
  for (const std::string& bad : {std::string(), std::string(5, '\x01'), std::string(13, '\0'),
                                 MarkerFile() + std::string(6, '\0')}) {
    WriteBytes(path, bad);
    RecordingHost host;
    const auto data = files.Open(m.registry, m["NUMS"], &host);
    ASSERT_TRUE(data.has_value()) << bad.size() << " bytes";
    EXPECT_EQ(data->records.size(), 36u);
    EXPECT_EQ(data->maxCount, 52360);
    EXPECT_EQ(ReadBytes(path).size(), 37u * 12) << bad.size() << " bytes";
    EXPECT_TRUE(host.errors.empty());
  }

  // A whole file is read as it is, not built again.
  WriteBytes(path, MarkerFile());
  const auto kept = files.Open(m.registry, m["NUMS"], nullptr);
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(kept->records, (std::vector<PrefetchRecord>{{uint64_t(7) << 48, 99}}));
  EXPECT_EQ(ReadBytes(path), MarkerFile());
}

TEST(Prefetch, FailedBuildOrReadLeavesNoFile) {
  Methods m;
  TempDir dir;
  FaultEnv env;
  PrefetchFiles files(env, dir.Path());
  const std::string path = files.PathOf(m.registry, m["EVEN"]);
  const std::string folder = dir.Path() + "/Prefetchs";

  for (int fault = 0; fault < 2; ++fault) {
    env.failWriteAfter = fault == 0 ? 10 : -1;  // disk full mid-write
    env.failRename = fault == 1;                // replacing refused
    RecordingHost host;
    EXPECT_FALSE(files.Open(m.registry, m["EVEN"], &host).has_value()) << fault;
    ASSERT_EQ(host.errors.size(), 1u) << fault;
    EXPECT_EQ(host.errors[0].rfind(kBuildError + path + "\r\r", 0), 0u) << host.errors[0];
    EXPECT_TRUE(env.ListDir(folder).empty()) << fault;  // neither the file nor its temporary
  }

  // An existing file that cannot be read: no comparison, and it stays.
  env.failRename = false;
  WriteBytes(path, MarkerFile());
  env.failRead = true;
  RecordingHost host;
  EXPECT_FALSE(files.Open(m.registry, m["EVEN"], &host).has_value());
  ASSERT_EQ(host.errors.size(), 1u);
  EXPECT_EQ(host.errors[0].rfind(kOpenError + path + "\r\r", 0), 0u) << host.errors[0];
  EXPECT_EQ(ReadBytes(path), MarkerFile());
}

TEST(Prefetch, BuildAllMissingOrRequestedGroups) {
  Methods m;
  TempDir dir;
  PrefetchFiles files(Env::Real(), dir.Path());
  const std::string folder = dir.Path() + "/Prefetchs";
  RecordingHost host;

  // Neither at start-up nor with the option on: nothing at all.
  EXPECT_EQ(files.BuildAll(m.registry, false, false, 8191, &host), 0);
  EXPECT_FALSE(Env::Real().Exists(folder));
  EXPECT_TRUE(host.statuses.empty());

  int withFullSet = 0;
  for (int i = 0; i < m.registry.Count(); ++i) withFullSet += m.registry.HasFullSet(i) ? 1 : 0;
  // NUMS DIGS EVEN EVNV SMAL SMLV PRIM PRMV POS1..5 at least.
  EXPECT_GE(withFullSet, 13);
  EXPECT_EQ(files.BuildAll(m.registry, true, false, 0, &host), withFullSet);
  EXPECT_EQ(int(Env::Real().ListDir(folder).size()), withFullSet);
  // The largest of five ascending numbers is 5..36; v is last in C(v-1,4).
  const std::string pos5 = ReadBytes(files.PathOf(m.registry, m["POS5"]));
  ASSERT_EQ(pos5.size(), 33u * 12);
  EXPECT_EQ((std::vector<int32_t>{U16At(pos5, 0), I32At(pos5, 8), U16At(pos5, 372), I32At(pos5, 380)}),
            (std::vector<int32_t>{5, 1, 36, 52360}));
  EXPECT_TRUE(host.errors.empty());
  EXPECT_GE(int(host.progress.size()), m.registry.Count());
  // The status names the file, not its path.
  EXPECT_NE(std::find(host.statuses.begin(), host.statuses.end(),
                      "Создание файла предварительной выборки Pentalux5_5v36_POS5.dfc..."),
            host.statuses.end());

  const std::string numsPath = files.PathOf(m.registry, m["NUMS"]);
  const std::string evenPath = files.PathOf(m.registry, m["EVEN"]);
  Env::Real().Remove(numsPath);
  WriteBytes(evenPath, MarkerFile());
  // Only the missing one; the marker stands for a file that is kept.
  EXPECT_EQ(files.BuildAll(m.registry, false, true, 0, &host), 1);
  EXPECT_EQ(ReadBytes(numsPath).size(), 37u * 12);
  EXPECT_EQ(ReadBytes(evenPath), MarkerFile());

  // Bit 1 is the "sum" group: EVEN (group 0) stays; bit 0 rebuilds it.
  files.BuildAll(m.registry, true, false, 1u << 1, &host);
  EXPECT_EQ(ReadBytes(evenPath), MarkerFile());
  EXPECT_GE(files.BuildAll(m.registry, true, false, 1u << 0, &host), 13);
  EXPECT_EQ(ReadBytes(evenPath).size(), 7u * 12);
}

// The channel, matrix and segment files remember what they were built for;
// files of another configuration are made anew, also after a hand edit.
TEST(Prefetch, FilesOfAnotherConfigurationAreStale) {
  Methods m;
  TempDir dir;
  FormSettings record(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  PrefetchFiles files(Env::Real(), dir.Path(), &record);
  RecordingHost host;
  ASSERT_GT(files.BuildAll(m.registry, true, false, 0, &host), 0);
  EXPECT_EQ(record.Read().ReadString("TFormMain", "PrefetchsChannelSize", ""), "6");
  EXPECT_EQ(record.Read().ReadString("TFormMain", "PrefetchsMatrixSegments", ""), std::string(36, '1'));
  EXPECT_EQ(files.StaleGroups(m.registry.Config()), 0u);
  auto channels = [&] { return DecodePrefetch(ReadBytes(files.PathOf(m.registry, m["CHAN"])))->records.size(); };
  ASSERT_EQ(channels(), 6u);
  const std::string nums = ReadBytes(files.PathOf(m.registry, m["NUMS"]));
  WriteBytes(files.PathOf(m.registry, m["NUMS"]), MarkerFile());

  // The configuration file edited by hand: five numbers a channel, seven columns.
  m.registry.Config().data.ChannelSize = 5;
  m.registry.Config().data.MatrixCols = 7;
  m.registry.Fill();
  EXPECT_EQ(files.StaleGroups(m.registry.Config()), (1u << 3) | (1u << 4));
  // Opening a stale file makes it anew; the group stays stale until every file of it is.
  ASSERT_EQ(files.Open(m.registry, m["CHAN"], &host)->records.size(), 8u);
  EXPECT_EQ(files.StaleGroups(m.registry.Config()), (1u << 3) | (1u << 4));
  // Nothing when the comparison is off and nothing forces it.
  EXPECT_EQ(files.BuildAll(m.registry, false, false, 0, &host), 0);
  EXPECT_EQ(files.StaleGroups(m.registry.Config()), (1u << 3) | (1u << 4));
  // A refresh rebuilds groups 3 and 4 only: NUMS keeps its (marker) file.
  EXPECT_GT(files.BuildAll(m.registry, false, true, 0, &host), 0);
  EXPECT_EQ(files.StaleGroups(m.registry.Config()), 0u);
  EXPECT_EQ(channels(), 8u);
  EXPECT_EQ(DecodePrefetch(ReadBytes(files.PathOf(m.registry, m["COLS"])))->records.size(), 7u);
  EXPECT_EQ(ReadBytes(files.PathOf(m.registry, m["NUMS"])), MarkerFile());
  EXPECT_NE(nums, MarkerFile());
  EXPECT_TRUE(host.errors.empty());

  // A group whose file could not be written stays stale for the next time.
  m.registry.Config().data.MatrixSegments = ParseSegments("12");
  m.registry.Fill();
  FaultEnv failing;
  failing.failRename = true;
  failing.only = "_SGM";
  FormSettings sameRecord(failing, dir.File("Pentalux5_5v36.frm"));
  PrefetchFiles faulty(failing, dir.Path(), &sameRecord);
  faulty.BuildAll(m.registry, false, true, 0, &host);
  EXPECT_FALSE(host.errors.empty());
  EXPECT_EQ(faulty.StaleGroups(m.registry.Config()), 1u << 5);
  EXPECT_EQ(files.BuildAll(m.registry, false, true, 0, &host), 5);  // SGMS, SGMV, SGMC, SGM1 and SGM2 again
  EXPECT_EQ(files.StaleGroups(m.registry.Config()), 0u);
}

}  // namespace
}  // namespace px
