// What the engine needs from a person or a screen. The desktop program
// implements it with widgets, the headless tool on the terminal, tests with
// a recorder. Every call comes from the one thread that runs the engine.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace px {

// What a file dialog offers: "Файлы тиражей (*.csv)|*.csv" and "csv".
struct FileFilter {
  std::string filter;
  std::string defaultExtension;
};

// The parts of the window the engine asks to show its state again.
enum class View {
  DrawsList,    // the draws list (row count, offset row)
  CombsList,    // the combinations list
  FiltersList,  // the applied-filters list
  Caption,      // the window caption
};

class Host {
 public:
  virtual ~Host() = default;

  // The progress panel of the status bar; empty clears it. The host may let
  // pending window events run here.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void ShowError(const std::string& text) = 0;    // caption "Ошибка"
  virtual void ShowInfo(const std::string& text) = 0;     // caption "Информация"
  virtual void ShowWarning(const std::string& text) = 0;  // caption "Внимание!"
  virtual bool AskYesNo(const std::string& text) = 0;     // caption "Подтверждение"
  // A yes-no question under another caption, such as "Ошибка" for a retry.
  virtual bool AskYesNoAs(const std::string& /*caption*/, const std::string& text) { return AskYesNo(text); }
  // A warning under another caption than "Внимание!".
  virtual void ShowWarningAs(const std::string& /*caption*/, const std::string& text) { ShowWarning(text); }
  virtual void ProcessEvents() {}
  // A progress indicator beside the status text; max 0 hides it.
  virtual void SetProgress(int /*position*/, int /*max*/) {}
  // Status panels 0..5 (archive size, next draw, its known result,
  // combinations, stakes, rating); the progress text is SetStatusText.
  virtual void SetStatusPanel(int /*panel*/, const std::string& /*text*/) {}
  // The wait cursor while the busy counter is above 0.
  virtual void SetBusyCursor(bool /*busy*/) {}
  // The wait window of a long network operation; empty text closes it.
  virtual void SetWaitText(const std::string& /*text*/) {}
  virtual void Refresh(View /*view*/) {}
  // File dialogs; nullopt when the person cancels.
  virtual std::optional<std::string> ChooseOpenFile(const FileFilter& /*filter*/) { return std::nullopt; }
  virtual std::optional<std::string> ChooseSaveFile(const FileFilter& /*filter*/) { return std::nullopt; }
  virtual bool StopRequested() { return false; }
  // Ends the program as closing its window does: the window state saved and
  // the files closed. Without a window there is nothing to save.
  virtual void CloseProgram() { std::exit(0); }
};

// Shows a status text for the life of the scope and clears it at the end,
// also when the work throws.
class StatusScope {
 public:
  StatusScope(Host& host, const std::string& text) : host_(host) { host_.SetStatusText(text); }
  ~StatusScope() { host_.SetStatusText(""); }
  StatusScope(const StatusScope&) = delete;
  StatusScope& operator=(const StatusScope&) = delete;

 private:
  Host& host_;
};

}  // namespace px
