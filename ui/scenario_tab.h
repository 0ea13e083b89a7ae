// The tab "Сценарий": holds the scenario page once the working scenario is
// loaded, and owns the scenario's commands, those of its lines and those of
// its runs (forecast, test, stop, the run log).
//
// A stop reaches a run one way only: "Стоп" agreed to sets the request that
// the window, as the host, answers the run's polls with.
#pragma once

#include <QWidget>
#include <array>

#include "scenario/run.h"
#include "ui/commands.h"

namespace px {
class Scenario;
}

class QToolButton;

namespace px::ui {

class PageContext;
class ScenarioPage;

class ScenarioTab final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  static constexpr size_t kButtons = 10;

  ScenarioTab(PageContext& context, QWidget* parent = nullptr);

  void BindCommands(CommandBinder& commands) override;
  // Makes the page for the working scenario, which exists after the
  // initialisation. selectedMethod is the statistics page's method.
  ScenarioPage* Attach(Scenario& scenario, std::function<int()> selectedMethod);
  ScenarioPage* Page() const { return page_; }

  // The host's answer to the run's polls.
  bool StopRequested() const { return stopRequest_; }
  // A close of the window during a run: true when the window must stay
  // (it closes once the run returns, if the stop was agreed to).
  bool HoldClose();
  // How the last run ended.
  const RunResult& LastRun() const { return lastRun_; }
  // The buttons over the lines: "Прогноз", "Тест", "Стоп", then the line commands.
  QToolButton* Button(size_t i) const { return buttons_[i]; }

 private:
  void Run(int testCount);
  // The "Стоп" question; true when the person agreed and the stop was asked for.
  bool AskStop();

  PageContext& context_;
  const CommandBinder* commands_ = nullptr;
  std::array<QToolButton*, kButtons> buttons_{};
  ScenarioPage* page_ = nullptr;
  RunResult lastRun_;
  bool stopRequest_ = false;
  bool askingStop_ = false;
  bool closeAfterRun_ = false;
};

}  // namespace px::ui
