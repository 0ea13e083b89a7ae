// A Host that records everything shown to it; questions are answered from a
// queue, and "no" once the queue is empty.
#pragma once

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/host.h"

namespace px::test {

class RecordingHost final : public Host {
 public:
  std::vector<std::string> statuses;  // every text set, "" when cleared
  std::vector<std::string> errors, infos, warnings, questions;
  std::deque<bool> answers;
  std::vector<std::pair<int, int>> progress;  // (position, max) as set
  bool stopRequested = false;
  int eventsProcessed = 0;
  std::array<std::string, 6> panel;  // status panels as last set
  bool busyCursor = false;
  std::vector<View> refreshed;
  std::deque<std::optional<std::string>> files;  // answers to the file dialogs

  void SetStatusPanel(int i, const std::string& text) override {
    if (i >= 0 && i < int(panel.size())) panel[size_t(i)] = text;
  }
  void SetBusyCursor(bool busy) override { busyCursor = busy; }
  std::vector<std::string> waits;  // every wait-window text, "" when closed
  void SetWaitText(const std::string& text) override { waits.push_back(text); }
  void Refresh(View view) override { refreshed.push_back(view); }
  std::optional<std::string> ChooseOpenFile(const FileFilter&) override { return NextFile(); }
  std::optional<std::string> ChooseSaveFile(const FileFilter&) override { return NextFile(); }
  std::optional<std::string> NextFile() {
    if (files.empty()) return std::nullopt;
    auto f = files.front();
    files.pop_front();
    return f;
  }

  void SetStatusText(const std::string& text) override { statuses.push_back(text); }
  void ShowError(const std::string& text) override { errors.push_back(text); }
  void ShowInfo(const std::string& text) override { infos.push_back(text); }
  void ShowWarning(const std::string& text) override { warnings.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return false;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ProcessEvents() override { ++eventsProcessed; }
  void SetProgress(int position, int max) override { progress.emplace_back(position, max); }
  bool StopRequested() override { return stopRequested; }

  // The text the status bar shows now.
  std::string CurrentStatus() const { return statuses.empty() ? std::string() : statuses.back(); }
  void Reset() {
    statuses.clear();
    errors.clear();
    infos.clear();
    warnings.clear();
    questions.clear();
    progress.clear();
  }
};

}  // namespace px::test
