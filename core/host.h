// What the engine needs from a person or a screen. The desktop program
// implements it with widgets, the headless tool on the terminal, tests with
// a recorder. Every call comes from the one thread that runs the engine.
#pragma once

#include <string>

namespace px {

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
  virtual void ProcessEvents() {}
  // A progress indicator beside the status text; max 0 hides it.
  virtual void SetProgress(int /*position*/, int /*max*/) {}
  virtual bool StopRequested() { return false; }
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
