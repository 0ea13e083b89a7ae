// The scenario: its lines as text, the ".lsc" files the user chooses and the
// working scenario kept beside the program. Files are cp1251, one line per
// text line, CR LF, no header.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host.h"

namespace px {

class Env;

// "<folder>/Pentalux5_5v36.lss"
std::string WorkingScenarioPath(const std::string& folder);
FileFilter ScenarioFileFilter();  // "Файлы сценариев (*.lsc)|*.lsc", "lsc"

std::vector<std::string> DecodeScenario(std::string_view bytes);
std::string EncodeScenario(const std::vector<std::string>& lines);
// Throws Error naming the file.
std::vector<std::string> ReadScenarioFile(Env& env, const std::string& path);
// Through a temporary file, so a failure keeps the previous file.
void WriteScenarioFile(Env& env, const std::string& path, const std::vector<std::string>& lines);

class Scenario {
 public:
  // Errors go to the host as error boxes; the working file is rewritten
  // after every change.
  Scenario(Env& env, Host& host, std::string workingPath);

  int Count() const { return static_cast<int>(lines_.size()); }
  bool Empty() const { return lines_.empty(); }
  const std::vector<std::string>& Lines() const { return lines_; }

  int Add(const std::string& text);
  // Throw Error("Запись со индексом %d в файле данных не найдена!").
  void Put(int index, const std::string& text);
  const std::string& Get(int index) const;
  // Indices out of range are ignored.
  void Delete(const std::vector<int>& indices);
  void Clear();
  void Swap(int a, int b);

  // Replaces the scenario with the file, or appends it after one separator.
  // False after showing "Ошибка чтения файла ..."; the working file is
  // rewritten either way.
  bool Load(const std::string& path, bool append);
  // False after showing "Ошибка записи в файл ...".
  bool Save(const std::string& path);
  // The working file at start-up, when it exists; nothing is rewritten.
  bool LoadWorking();

  // Called after every change, for the view.
  std::function<void()> onChange;

 private:
  void Changed();
  bool WriteTo(const std::string& path);

  Env& env_;
  Host& host_;
  std::string workingPath_;
  std::vector<std::string> lines_;
};

}  // namespace px
