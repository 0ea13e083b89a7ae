#include <CLI/CLI.hpp>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/cli_host.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/form_settings.h"
#include "core/text.h"
#include "frame/messages.h"
#include "scenario/run.h"
#include "scenario/scenario_file.h"
#include "stakes/ratings.h"
#include "stakes/stake_store.h"

namespace px::cli {

namespace {

struct RunArgs {
  std::string file;
  int offset = 0;
  bool test = false;
  int count = 0;
  std::optional<uint64_t> seed;
  bool log = false;
};

// The tool's host with Ctrl+C as the stop request.
class InterruptibleHost final : public Host {
 public:
  explicit InterruptibleHost(Host& inner) : inner_(inner) {}
  void SetStatusText(const std::string& text) override { inner_.SetStatusText(text); }
  void ShowError(const std::string& text) override {
    ++errors;
    inner_.ShowError(text);
  }
  void ShowInfo(const std::string& text) override { inner_.ShowInfo(text); }
  void ShowWarning(const std::string& text) override { inner_.ShowWarning(text); }
  bool AskYesNo(const std::string& text) override { return inner_.AskYesNo(text); }
  int errors = 0;
  bool AskYesNoAs(const std::string& caption, const std::string& text) override {
    return inner_.AskYesNoAs(caption, text);
  }
  void ProcessEvents() override { inner_.ProcessEvents(); }
  bool StopRequested() override { return InterruptScope::Requested() || inner_.StopRequested(); }

 private:
  Host& inner_;
};

// Stakes are printed as they are made, so a long run shows its progress and
// an interrupted one keeps what it did.
class StakePrinter final : public RunObserver {
 public:
  StakePrinter(std::ostream& out, Host& host) : out_(out), host_(host) {}
  void StakeAdded(const StakeRecord& r) override {
    PrintRow(out_, {std::to_string(r.drawNumber), NumberSetText(r.numbers, ";"), r.comment});
    out_.flush();
  }
  void OpenLog(const std::string& path) override { host_.SetStatusText("Журнал выполнения: " + path); }

 private:
  std::ostream& out_;
  Host& host_;
};

std::vector<std::string> ReadLines(Context& ctx, const std::string& file) {
  StatusScope status(ctx.host, Fmt("Загрузка файла \"%s\"...", file.c_str()));
  try {
    return ReadScenarioFile(ctx.env, file);
  } catch (const std::exception& e) {
    throw Error(Fmt("Ошибка чтения файла \"%s\"!\r\r%s", file.c_str(), e.what()));
  }
}

void RunScenario(Context& ctx, const RunArgs& a) {
  InterruptibleHost host(ctx.host);
  Session s(ctx, &host);
  TFormMain& frame = s.frame;
  const int draws = s.archive.Count();
  if (draws == 0) throw Error("Архив тиражей пуст: выполнить сценарий невозможно!");
  if (a.test) {
    if (draws < 2) throw Error("Для тестов в архиве должно быть не менее двух тиражей!");
    if (a.count < 1 || a.count > draws - 1)
      throw CommandExit(2, Fmt("Количество тестов должно быть от 1 до %d", draws - 1));
  } else if (a.offset < 0 || a.offset > draws - 1) {
    throw CommandExit(2, Fmt("Смещение должно быть от 0 до %d", draws - 1));
  }
  const std::vector<std::string> lines = ReadLines(ctx, a.file);
  frame.LoadSettings(TTemplateMain::Failure::Throw);
  // The log is the command's choice, not the program's setting.
  frame.Settings().ScriptLogEnabled = a.log;
  frame.OpenStakes(TTemplateMain::Failure::Throw);
  frame.LoadRatings();
  frame.PrepareCombinations();
  frame.GenerateStartList();
  frame.SetDrawsOffset(a.offset);

  PrintRow(ctx.out, {"Тираж", "Ставка", "Комментарий"});
  StakePrinter printer(ctx.out, host);
  frame.SetRunObserver(&printer);
  frame.SetRunSeed(a.seed);
  RunResult result;
  {
    InterruptScope interrupt;
    result = frame.RunScenario(lines, a.test ? a.count : 0);
  }
  frame.SetRunObserver(nullptr);

  ctx.out << '\n';
  PrintRatings(ctx.out, frame.RatingsStore()->Entries(), EffModeOf(frame.Settings()));
  // The runner has shown the failure through the host already. A rating or
  // a log that was not written is a run not done either.
  if (result.failed || host.errors > 0) throw CommandExit(1, "");
}

}  // namespace

void RegisterRunCommands(CLI::App& app, Action& chosen) {
  auto f = std::make_shared<RunArgs>();
  auto* forecast = app.add_subcommand("forecast", "Прогноз: выполнить сценарий для тиража после смещения");
  forecast->add_option("FILE", f->file, "Файл сценария (*.lsc)")->required();
  forecast->add_option("--offset", f->offset, "Смещение в архиве тиражей (по умолчанию 0)");
  forecast->add_option("--seed", f->seed, "Начальное значение случайного выбора");
  forecast->add_flag("--log", f->log, "Записать журнал выполнения сценария");
  forecast->callback([&chosen, f] { chosen = [f](Context& c) { RunScenario(c, *f); }; });

  auto t = std::make_shared<RunArgs>();
  auto* test = app.add_subcommand("test", "Тест: выполнить сценарий для N последних смещений");
  test->add_option("FILE", t->file, "Файл сценария (*.lsc)")->required();
  test->add_option("--count", t->count, "Количество тестов")->required();
  test->add_option("--seed", t->seed, "Начальное значение случайного выбора");
  test->add_flag("--log", t->log, "Записать журнал выполнения сценария");
  t->test = true;
  test->callback([&chosen, t] { chosen = [t](Context& c) { RunScenario(c, *t); }; });
}

}  // namespace px::cli
