// Number systems: fixed lists of five-number lines written over positions
// 1..k, and the local store that holds at most one of them per k in the
// folder "Systems" of the data folder.
//
// The system game and the scenario's system stakes ask the store for the
// system of k numbers; it maps the system's positions onto those numbers.
// A system file is hostile input: every line must hold five different
// positions of 1..k, or the load fails with its reason.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/arith.h"

namespace px {

class Env;
class Host;

inline constexpr int kSystemMinNumbers = 6, kSystemMaxNumbers = 36;
inline constexpr int kSystemMaxBlock = 4;

// The description of one system, as the catalogue lists it.
struct tSystemInfo {
  int32_t id = 0;  // 0: not yet saved; -1: the placeholder row
  uint8_t numberCount = 0;
  uint8_t blockLength = 0;
  int32_t combinationCount = 0;
  std::string title;
  std::string author;
  std::string ownerMail;
  std::string description;
  int64_t created = 0;  // seconds since the epoch; 0: none
  int32_t downloads = 0;
  int64_t lastDownload = 0;  // seconds since the epoch; 0: none
  std::string url;
};

// The description and the text of the combination list, one line each.
struct tSystemData : tSystemInfo {
  std::string combinations;
};

// One line of a system: five positions of 1..k, in the order written.
using SystemLine = std::array<uint8_t, 5>;

// The characters that separate the positions of a line; a run counts as one.
inline constexpr std::string_view kSystemSeparators = " *+,-./:;=\\_|~";

// "<dataDir>/Systems".
std::string SystemsDirectory(const std::string& dataDir);
// "5-10-3_0017.dat": the line length, k as two digits, the block, the id
// with at least four digits.
std::string SystemFileName(const tSystemInfo& info);
std::string SystemFilePath(const std::string& dataDir, const tSystemInfo& info);
// The search pattern "5-KK-*_*.dat" for k, as a glob: the name starts with
// "5-KK-", holds "_" after that and ends with ".dat".
bool MatchesSystemPattern(std::string_view name, int k);
// A file name of the store taken apart; block and id are empty when those
// parts of the name are no numbers. Nullopt for names of no k of 1..99.
struct SystemFileFacts {
  int numbers = 0;
  std::optional<int> block;
  std::optional<int32_t> id;
};
std::optional<SystemFileFacts> ParseSystemFileName(std::string_view name);
// The name without folder and extension, as logs and comments show it.
std::string SystemFileStem(const std::string& path);

// Lines end at CR LF, LF or CR; a line end at the very end makes no empty line.
std::vector<std::string> SplitSystemLines(std::string_view text);
// The lines of a system over k positions (UTF-8 text). Each line holds at
// least five words at the separators; the first five are whole numbers of
// 1..k, all different ("01" is 1); words after the fifth are ignored. Throws
// Error naming the line (1-based) and `name` for anything else, for a text
// without lines and for k outside 1..36.
std::vector<SystemLine> ParseSystemText(std::string_view text, int k, const std::string& name);
// Each line as five "%.2d" positions joined by single blanks, each ending in
// CR LF.
std::string SystemText(const std::vector<SystemLine>& lines);

// The load of a system for k numbers.
struct SystemLoad {
  bool ok = false;
  // The system's combinations mapped onto the numbers asked for (system
  // number i stands for numbers[i - 1]), unsorted, in file order.
  std::vector<Combination> combinations;
  // The file read on success; the short failure text otherwise.
  std::string text;
};

// Where the scenario engine and the system game get a number system.
class SystemSource {
 public:
  virtual ~SystemSource() = default;
  // Shows its own error box on failure.
  virtual SystemLoad LoadSystemFor(const std::vector<int>& numbers) = 0;
};

// "Система для %d чисел не найдена или не загружена на компьютер!"
std::string SystemNotFoundText(int k);
// The box of a missing system, and the failure with the short text.
SystemLoad MissingSystem(Host& host, int k);

// A file of the store, as `systems local` lists them.
struct LocalSystemFile {
  std::string name;
  SystemFileFacts facts;
  bool serves = false;  // the file a load for its k reads
};

// The folder "Systems" of a data folder. Reads and writes go through the
// Env; a file is replaced through a temporary file and a rename, so a
// failed write leaves the store as it was. Not copyable; one thread.
class SystemStore final : public SystemSource {
 public:
  SystemStore(Env& env, Host& host, std::string dataDir);
  SystemStore(const SystemStore&) = delete;
  SystemStore& operator=(const SystemStore&) = delete;

  const std::string& Directory() const { return directory_; }
  std::string FilePath(const tSystemInfo& info) const;

  // The file that serves k numbers: among the files (not folders) that
  // match the pattern for k, the first in byte order of their names, so
  // the choice never depends on the order the folder lists them in.
  std::optional<std::string> FindFile(int k);
  // The lines of a file over k positions; throws Error.
  std::vector<SystemLine> ReadLines(const std::string& path, int k);

  // Finds and reads the system for the k numbers given, in the caller's
  // order. No file: the box of a missing system; a file that cannot be read
  // or is malformed: "Ошибка загрузки комбинаций системы!\r\r%s" with the
  // reason, which is also the failure text.
  SystemLoad LoadSystemFor(const std::vector<int>& numbers) override;

  // Writes the system's lines (CR LF after each) to its file, creating the
  // folder when missing, with the file's time set to `created` (the current
  // time when it is 0). Throws Error; the old file stays then.
  void SaveLocalFile(const tSystemData& data);
  // Deletes the system's file when it exists; true when it is gone or there
  // was none. A failed removal is shown through the host, and false.
  bool DeleteLocalFile(const tSystemInfo& info);

  // Every file of the store that some k's pattern matches, by k and then
  // by name.
  std::vector<LocalSystemFile> LocalFiles();

 private:
  bool IsFolder(const std::string& path);

  Env& env_;
  Host& host_;
  std::string directory_;
};

}  // namespace px
