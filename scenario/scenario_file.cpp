#include "scenario/scenario_file.h"

#include <algorithm>
#include <set>

#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/text.h"

namespace px {

std::string WorkingScenarioPath(const std::string& folder) { return JoinPath(folder, "Pentalux5_5v36.lss"); }

FileFilter ScenarioFileFilter() { return {"Файлы сценариев (*.lsc)|*.lsc", "lsc"}; }

std::vector<std::string> DecodeScenario(std::string_view bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    // Files edited by hand may end their lines with LF alone.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(Cp1251ToUtf8(line));
    start = end + 1;
  }
  return lines;
}

std::string EncodeScenario(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += Utf8ToCp1251(line) + "\r\n";
  return bytes;
}

std::vector<std::string> ReadScenarioFile(Env& env, const std::string& path) {
  return DecodeScenario(env.ReadFile(path));
}

void WriteScenarioFile(Env& env, const std::string& path, const std::vector<std::string>& lines) {
  WriteFileAtomic(env, path, EncodeScenario(lines));
}

Scenario::Scenario(Env& env, Host& host, std::string workingPath)
    : env_(env), host_(host), workingPath_(std::move(workingPath)) {}

int Scenario::Add(const std::string& text) {
  lines_.push_back(text);
  Changed();
  return Count() - 1;
}

void Scenario::Put(int index, const std::string& text) {
  if (index < 0 || index >= Count()) throw Error(Fmt("Запись со индексом %d в файле данных не найдена!", index));
  lines_[static_cast<size_t>(index)] = text;
  Changed();
}

const std::string& Scenario::Get(int index) const {
  if (index < 0 || index >= Count()) throw Error(Fmt("Запись со индексом %d в файле данных не найдена!", index));
  return lines_[static_cast<size_t>(index)];
}

void Scenario::Delete(const std::vector<int>& indices) {
  const std::set<int> gone(indices.begin(), indices.end());
  std::vector<std::string> kept;
  for (int i = 0; i < Count(); ++i)
    if (!gone.count(i)) kept.push_back(std::move(lines_[static_cast<size_t>(i)]));
  lines_ = std::move(kept);
  Changed();
}

void Scenario::Clear() {
  lines_.clear();
  Changed();
}

void Scenario::Swap(int a, int b) {
  if (a < 0 || b < 0 || a >= Count() || b >= Count()) return;
  std::swap(lines_[static_cast<size_t>(a)], lines_[static_cast<size_t>(b)]);
  Changed();
}

bool Scenario::Load(const std::string& path, bool append) {
  bool ok = true;
  {
    StatusScope status(host_, Fmt("Загрузка файла \"%s\"...", path.c_str()));
    try {
      std::vector<std::string> read = ReadScenarioFile(env_, path);
      if (append && !lines_.empty()) {
        if (!read.empty()) {
          if (!lines_.back().empty()) lines_.emplace_back();
          lines_.insert(lines_.end(), read.begin(), read.end());
        }
      } else {
        lines_ = std::move(read);
      }
    } catch (const std::exception& e) {
      host_.ShowError(Fmt("Ошибка чтения файла \"%s\"!\r\r%s", path.c_str(), e.what()));
      ok = false;
    }
  }
  Changed();
  return ok;
}

bool Scenario::Save(const std::string& path) {
  StatusScope status(host_, Fmt("Сохранение файла \"%s\"...", path.c_str()));
  return WriteTo(path);
}

bool Scenario::LoadWorking() {
  if (!env_.Exists(workingPath_)) return false;
  try {
    lines_ = ReadScenarioFile(env_, workingPath_);
  } catch (const std::exception& e) {
    host_.ShowError(Fmt("Ошибка чтения файла \"%s\"!\r\r%s", workingPath_.c_str(), e.what()));
    return false;
  }
  if (onChange) onChange();
  return true;
}

bool Scenario::WriteTo(const std::string& path) {
  try {
    WriteScenarioFile(env_, path, lines_);
    return true;
  } catch (const std::exception& e) {
    host_.ShowError(Fmt("Ошибка записи в файл \"%s\"!\r\r%s", path.c_str(), e.what()));
    return false;
  }
}

void Scenario::Changed() {
  WriteTo(workingPath_);
  if (onChange) onChange();
}

}  // namespace px
