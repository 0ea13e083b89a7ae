#include "stakes/systems.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace px {

namespace {

constexpr const char* kFolder = "Systems";
constexpr std::string_view kExtension = ".dat";

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "*_*.dat" on what follows "5-KK-".
bool MatchesTail(std::string_view tail) {
  if (tail.size() < kExtension.size() + 1 || !tail.ends_with(kExtension)) return false;
  return tail.substr(0, tail.size() - kExtension.size()).find('_') != std::string_view::npos;
}

std::string NameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

std::string SystemsDirectory(const std::string& dataDir) { return JoinPath(dataDir, kFolder); }

std::string SystemFileName(const tSystemInfo& info) {
  return Fmt("%d-%.2d-%d_%.4d.dat", kDrawSize, int(info.numberCount), int(info.blockLength), int(info.id));
}

std::string SystemFilePath(const std::string& dataDir, const tSystemInfo& info) {
  return JoinPath(SystemsDirectory(dataDir), SystemFileName(info));
}

bool MatchesSystemPattern(std::string_view name, int k) {
  const std::string prefix = Fmt("%d-%.2d-", kDrawSize, k);
  return name.starts_with(prefix) && MatchesTail(name.substr(prefix.size()));
}

std::optional<SystemFileFacts> ParseSystemFileName(std::string_view name) {
  const std::string line = Fmt("%d-", kDrawSize);
  if (!name.starts_with(line) || name.size() < line.size() + 3) return std::nullopt;
  const std::string_view digits = name.substr(line.size(), 2);
  if (!AllDigits(digits) || name[line.size() + 2] != '-') return std::nullopt;
  SystemFileFacts facts;
  facts.numbers = (digits[0] - '0') * 10 + (digits[1] - '0');
  const std::string_view tail = name.substr(line.size() + 3);
  if (facts.numbers < 1 || !MatchesTail(tail)) return std::nullopt;
  const std::string_view body = tail.substr(0, tail.size() - kExtension.size());
  const size_t bar = body.find('_');
  const std::string_view block = body.substr(0, bar), id = body.substr(bar + 1);
  if (AllDigits(block) && block.size() <= 9) facts.block = int(*ParseInt32(block));
  if (AllDigits(id) && id.size() <= 9) facts.id = *ParseInt32(id);
  return facts;
}

std::string SystemFileStem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

std::vector<std::string> SplitSystemLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<SystemLine> ParseSystemText(std::string_view text, int k, const std::string& name) {
  if (k < 1 || k > kNumbers) throw Error(Fmt("Некорректное количество чисел системы: %d!", k));
  const std::vector<std::string> lines = SplitSystemLines(text);
  if (lines.empty()) throw Error(Fmt("Файл системы \"%s\" не содержит ни одной комбинации!", name.c_str()));
  std::vector<SystemLine> result;
  result.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    const int row = int(i) + 1;
    const std::vector<std::string> words = SplitAny(lines[i], kSystemSeparators, true);
    if (words.empty()) throw Error(Fmt("Строка %d файла системы \"%s\" пуста!", row, name.c_str()));
    if (words.size() < size_t(kDrawSize))
      throw Error(Fmt("В строке %d файла системы \"%s\" меньше пяти чисел!", row, name.c_str()));
    SystemLine line{};
    for (size_t j = 0; j < line.size(); ++j) {
      const std::string word = Trim(words[j]);
      const std::optional<int32_t> p = ParseInt32(word);
      if (!p)
        throw Error(Fmt("Строка %d файла системы \"%s\": \"%s\" не является целым числом!", row, name.c_str(),
                        word.c_str()));
      if (*p < 1 || *p > k)
        throw Error(Fmt("Строка %d файла системы \"%s\": позиция %d вне диапазона от 1 до %d!", row, name.c_str(),
                        int(*p), k));
      if (std::find(line.begin(), line.begin() + std::ptrdiff_t(j), *p) != line.begin() + std::ptrdiff_t(j))
        throw Error(Fmt("Строка %d файла системы \"%s\": позиция %d повторяется!", row, name.c_str(), int(*p)));
      line[j] = uint8_t(*p);
    }
    result.push_back(line);
  }
  return result;
}

std::string SystemText(const std::vector<SystemLine>& lines) {
  std::string text;
  text.reserve(lines.size() * 16);
  for (const SystemLine& line : lines) {
    for (size_t j = 0; j < line.size(); ++j) text += Fmt(j == 0 ? "%.2d" : " %.2d", int(line[j]));
    text += "\r\n";
  }
  return text;
}

std::string SystemNotFoundText(int k) {
  return Fmt("Система для %d чисел не найдена или не загружена на компьютер!", k);
}

SystemLoad MissingSystem(Host& host, int k) {
  host.ShowError(SystemNotFoundText(k) +
                 "\r\rПеред системной игрой необходимо предварительно загрузить системы на Ваш компьютер через "
                 "меню \"Системы\" - \"Загрузить\".");
  SystemLoad load;
  load.text = SystemNotFoundText(k);
  return load;
}

SystemStore::SystemStore(Env& env, Host& host, std::string dataDir)
    : env_(env), host_(host), directory_(SystemsDirectory(dataDir)) {}

std::string SystemStore::FilePath(const tSystemInfo& info) const {
  return JoinPath(directory_, SystemFileName(info));
}

bool SystemStore::IsFolder(const std::string& path) {
  // Only a folder has an entry "." of its own.
  return env_.Exists(path + "/.");
}

std::optional<std::string> SystemStore::FindFile(int k) {
  std::vector<std::string> names = env_.ListDir(directory_);
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (!MatchesSystemPattern(name, k)) continue;
    const std::string path = JoinPath(directory_, name);
    if (!IsFolder(path)) return path;
  }
  return std::nullopt;
}

std::vector<SystemLine> SystemStore::ReadLines(const std::string& path, int k) {
  return ParseSystemText(Cp1251ToUtf8(env_.ReadFile(path)), k, NameOf(path));
}

SystemLoad SystemStore::LoadSystemFor(const std::vector<int>& numbers) {
  const int k = int(numbers.size());
  const std::optional<std::string> path = FindFile(k);
  if (!path) return MissingSystem(host_, k);
  SystemLoad load;
  try {
    const std::vector<SystemLine> lines = ReadLines(*path, k);
    load.combinations.reserve(lines.size());
    for (const SystemLine& line : lines) {
      Combination c{};
      for (size_t j = 0; j < c.size(); ++j) c[j] = uint8_t(numbers[line[j] - 1]);
      load.combinations.push_back(c);
    }
    load.ok = true;
    load.text = *path;
  } catch (const std::exception& e) {
    load = SystemLoad{};
    load.text = e.what();
    host_.ShowError(OperationError("Ошибка загрузки комбинаций системы!", e.what()).what());
  }
  return load;
}

void SystemStore::SaveLocalFile(const tSystemData& data) {
  std::string text;
  for (const std::string& line : SplitSystemLines(data.combinations)) text += line + "\r\n";
  const std::string path = FilePath(data);
  env_.MakeDirs(directory_);
  const auto when = data.created != 0 ? std::chrono::system_clock::time_point(std::chrono::seconds(data.created))
                                      : env_.Now();
  WriteFileAtomic(env_, path, Utf8ToCp1251(text), when);
  if (!env_.Exists(path)) throw Error(Fmt("Не удалось создать файл \"%s\"", path.c_str()));
}

bool SystemStore::DeleteLocalFile(const tSystemInfo& info) {
  const std::string path = FilePath(info);
  try {
    if (env_.Exists(path)) env_.Remove(path);
    return true;
  } catch (const std::exception& e) {
    host_.ShowError(e.what());
    return false;
  }
}

std::vector<LocalSystemFile> SystemStore::LocalFiles() {
  std::vector<std::string> names = env_.ListDir(directory_);
  std::sort(names.begin(), names.end());
  std::vector<LocalSystemFile> files;
  std::map<int, bool> served;
  for (const std::string& name : names) {
    const std::optional<SystemFileFacts> facts = ParseSystemFileName(name);
    if (!facts || IsFolder(JoinPath(directory_, name))) continue;
    LocalSystemFile f{name, *facts, false};
    f.serves = !served[facts->numbers];
    served[facts->numbers] = true;
    files.push_back(f);
  }
  std::stable_sort(files.begin(), files.end(), [](const LocalSystemFile& a, const LocalSystemFile& b) {
    return a.facts.numbers < b.facts.numbers;
  });
  return files;
}

}  // namespace px
