// Forecasts and tests: running a scenario's lines over the current draw
// offset, or over each of the last N offsets, into stakes whose comments the
// ratings group by.
//
// The runner drives engine objects only (statistics table, filter,
// combination set, stakes store, ratings); what a window shows goes through
// the Host and the RunObserver. Everything runs on the calling thread; the
// stop flag is polled between steps, and each poll lets the host process
// pending events, which is how a "Стоп" click reaches a running run.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/arith.h"
#include "scenario/filter_memo.h"
#include "stats/stat_table.h"
#include "scenario/run_log.h"
#include "scenario/variants.h"

namespace px {

class FormSettings;

class CombinationSet;
class DrawArchive;
class Env;
class Host;
class Ratings;
class StakeStore;
class SystemSource;
class TStatList;
struct StakeRecord;

// The window-state settings a run reads.
struct RunSettings {
  bool sortedDraws = false;
  bool prefetchsEnabled = false;  // the full-set comparison columns
  bool stakesCheckOnLine = true;
  bool stakesScrollEnabled = true;
  bool scriptLogEnabled = false;
  char separator = ',';           // decimal separator of the table's cells
};

// The scenario status bar.
struct RunStatus {
  int cycle = 0;
  int line = 0;
  int stakes = 0;
  std::string text;
};

// What a face does for a run. Every method has a harmless default.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  virtual void Status(const RunStatus& /*status*/) {}
  // The line being run (0-based), or -1 to clear the selection.
  virtual void SelectLine(int /*index*/) {}
  // The stakes view: RefreshView(refreshRows, moveToLast) of the stakes page.
  virtual void RefreshStakes(bool /*refreshRows*/, bool /*moveToLast*/) {}
  virtual void StakeAdded(const StakeRecord& /*stake*/) {}
  // A run began or ended: tabs and commands follow.
  virtual void RunningChanged(bool /*running*/) {}
  // The table of a part was computed for this method and window (the
  // statistics page may follow it after the run).
  virtual void TableUsed(int /*method*/, int /*length*/) {}
  // The finished log, to open with the desktop's viewer.
  virtual void OpenLog(const std::string& /*path*/) {}
};

struct RunContext {
  Env& env;
  Host& host;
  std::string dataDir;  // run logs and full-set files
  DrawArchive& archive;
  TStatList& registry;
  CombinationSet& combs;
  StakeStore& stakes;
  Ratings* ratings = nullptr;       // checked stakes go here; may be null
  SystemSource* systems = nullptr;  // null: no systems at all
  RunObserver* observer = nullptr;
  FormSettings* fullSetRecord = nullptr;  // what the full-set files were built for; may be null
  std::function<int()> offset{};         // the draw offset
  std::function<void(int)> setOffset{};  // a test moves it
  RunSettings settings{};
};

// The state of a run as the faces see it. The run owns it and alone changes
// it; the frame, the window and the tool read it. A stop has one way in: the
// host's stop request, polled at the run's check points (the window sets it
// after "Стоп", the tool on Ctrl+C); the run also stops itself (STOP, a
// failure).
class RunControl {
 public:
  bool Running() const { return running_; }
  // Asked for or decided: the run ends at its next check.
  bool Stopping() const { return stopping_; }

 private:
  friend class ScenarioRunner;
  bool running_ = false;
  bool stopping_ = false;
};

// How a run ended.
struct RunResult {
  bool stopped = false;  // a stop was requested (by the user, STOP or a failure)
  bool failed = false;   // a line failed; its text is in `error`
  std::string error;
  int stakes = 0;        // stakes made
  int cycles = 0;        // passes begun
};

class ScenarioRunner {
 public:
  explicit ScenarioRunner(RunContext context);
  ~ScenarioRunner();
  ScenarioRunner(const ScenarioRunner&) = delete;
  ScenarioRunner& operator=(const ScenarioRunner&) = delete;

  // Random choices (RAND, the extended stake's removals). Without a seed the
  // generator is seeded from the system and re-seeded where the rules say.
  void Seed(uint64_t seed);

  // One pass at the current offset, for the draw after it.
  RunResult Forecast(const std::vector<std::string>& lines);
  // Passes at offsets n, n-1, ..., 1; the offset comes back unless stopped.
  RunResult Test(const std::vector<std::string>& lines, int n);

  const RunControl& Control() const { return control_; }
  const RunStatus& Status() const { return status_; }
  RunLog& Log() { return log_; }
  // Filter steps met again within a pass take the list they gave before, and
  // tables computed again their earlier rows; off, every step and table is
  // computed anew (the same results, slower).
  void SetStepReuse(bool on) { memo_.SetEnabled(on); }
  int StepsReused() const { return memo_.Reused(); }

  // Status bar updates of ALL and systems: at most one per this many ms.
  static constexpr int kQuietStatusMs = 101;

 private:
  RunResult Run(const std::vector<std::string>& lines, int testCount);
  void RunAllLines(const std::vector<std::string>& lines);
  void RunLine(int number, const std::string& text);
  void BuildStartList(const ScenarioOptions& o);
  void ApplyPart(const FilterSpec& f, const TFilterPart& p);
  void MakeStakes(const ScenarioOptions& o, int line, int variant, const std::string& comment,
                  const std::string& description);
  void SystemStakes(bool all);
  void Stake(const NumberSet& numbers, bool quiet);
  // The list's numbers in order of first appearance.
  std::vector<int> DistinctNumbers();
  void CheckStakes();
  bool CheckStop();
  void SetStatus(int line, const std::string& text);
  void ShowStatus();
  void Write(const std::string& entry) { log_.Write(entry); }
  void Fail(const std::string& text);
  // Logs the interruption; the run ends at its next check.
  void RequestStop();

  RunContext ctx_;
  RunLog log_;
  RunStatus status_;
  RunResult result_;
  RunControl control_;
  bool seeded_ = false;
  std::mt19937_64 rng_;
  // The statistic selector: method -> its text.
  std::vector<std::string> selector_;
  // The stake being made.
  std::string stakeComment_;
  bool newOnly_ = false;
  int32_t stakeDraw_ = 0;
  // The configured weight coefficients of the pass.
  long double savedCount_ = 0, savedDeviation_ = 0, savedLevel_ = 0;
  bool savedPercents_ = false, savedAbs_ = false;
  int64_t lastQuietMs_ = 0;
  int64_t lastPumpMs_ = 0;
  FilterMemo memo_;
  std::vector<int> distinct_;
  uint64_t distinctNode_ = 0;
  // The statistics tables of the pass, unsorted.
  std::map<std::string, StatTable> tables_;
};

}  // namespace px
