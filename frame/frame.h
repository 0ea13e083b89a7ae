// The frame: the whole application state for the life of the process and the
// start-up, initialisation, command and shutdown sequences. It is no widget;
// everything it needs from a person or a screen goes through the Host.
//
// TTemplateMain holds what does not depend on the game; TFormMain adds what
// is specific to "Vantora 5". Commands throw Error on failure; Guard runs one
// and shows its error, which is how the window calls them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "combs/combination_set.h"
#include "core/archive.h"
#include "core/config.h"
#include "core/csv.h"
#include "core/form_settings.h"
#include "core/host.h"
#include "frame/languages.h"
#include "scenario/run.h"
#include "scenario/scenario_file.h"
#include "stakes/ratings.h"
#include "stakes/regular.h"
#include "stakes/stake_store.h"
#include "stakes/systems.h"
#include "stats/filter.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"

namespace px {

class Env;

struct MatchProbability {
  uint32_t count = 0;      // C(5,k)·C(31,5-k)
  long double probability = 0;
};

class TTemplateMain {
 public:
  // dataDir holds every data file; programPath is the program file, whose
  // name (without extension) names the window-state, names and language files.
  TTemplateMain(Host& host, Env& env, std::string dataDir, std::string programPath, std::vector<std::string> args);
  virtual ~TTemplateMain();
  TTemplateMain(const TTemplateMain&) = delete;
  TTemplateMain& operator=(const TTemplateMain&) = delete;

  // ---- state
  Host& GetHost() { return host_; }
  Env& GetEnv() { return env_; }
  const std::string& DataDir() const { return dataDir_; }
  const std::string& ProgramName() const { return programName_; }
  // The program's path without its extension: language modules sit beside it.
  std::string ProgramBase() const;
  DrawArchive& Archive() { return archive_; }
  TStatList& Registry() { return registry_; }
  GameConfig& Config() { return registry_.Config(); }
  CombinationSet& Combs() { return combs_; }
  MainSettings& Settings() { return settings_; }
  FormSettings& SettingsStore() { return store_; }
  ProxySettings& Proxy() { return proxy_; }
  const std::array<MatchProbability, 6>& MatchProbabilityTable() const { return matchTable_; }
  int DrawsOffset() const { return offset_; }
  const std::string& Caption() const { return caption_; }
  const std::string& HelpFile() const { return helpFile_; }
  const std::vector<Language>& Languages() const { return languages_; }
  const Language& CurrentLanguage() const { return language_; }
  const LanguageModule& Texts() const { return texts_; }
  bool StakesOpen() const { return stakes_ && stakes_->IsOpen(); }
  // The open stakes file and the ratings; null before the initialisation.
  StakeStore* Stakes() { return stakes_.get(); }
  Ratings* RatingsStore() { return ratings_.get(); }
  // The working scenario, kept in Pentalux5_5v36.lss.
  Scenario* ScenarioStore() { return scenario_.get(); }
  // Checks the stakes whose draws are known; the checked ones go to the
  // ratings, which are saved. Returns how many were checked.
  int CheckStakes();

  // ---- scenario runs
  // Run and test need an idle frame, scenario lines, draws and the stakes file.
  bool CanRunScenario() const;
  // A forecast (testCount 0) or a test over the last testCount draws of the
  // working scenario. The views are suspended for the run and refreshed once
  // after it; the window follows the run through the observer. A stop comes
  // through the host's stop request.
  RunResult RunScenario(int testCount);
  // The same for other lines (the tool runs a scenario file).
  RunResult RunScenario(const std::vector<std::string>& lines, int testCount);
  // The state of the run in progress; null between runs.
  const RunControl* ActiveRun() const { return runner_ ? &runner_->Control() : nullptr; }
  bool ScenarioRunning() const { return ActiveRun() && ActiveRun()->Running(); }
  // Also true when the run stops itself (STOP, a failure).
  bool ScenarioStopping() const { return ActiveRun() && ActiveRun()->Stopping(); }
  bool ViewsSuspended() const { return runner_ != nullptr || viewsHeld_ > 0; }
  // Fixes the run's random choices (tests and reproducible runs).
  void SetRunSeed(std::optional<uint64_t> seed) { runSeed_ = seed; }
  void SetRunObserver(RunObserver* observer) { runObserver_ = observer; }
  // The local store of number systems (the folder "Systems"); it lives
  // as long as the frame.
  SystemStore* Systems() const { return systems_.get(); }
  // What a run reads of the window-state settings.
  RunSettings CurrentRunSettings() const;
  // LogToggle, LogsDelete and LogStakesDelete; the deletions show what
  // they did.
  void ToggleScriptLog();
  void DeleteScriptLogs();
  void DeleteStakeLogs();

  // The full-set files, remembering in the window state what they were
  // built for.
  PrefetchFiles FullSets() { return PrefetchFiles(env_, dataDir_, &store_); }

  // ---- regular stakes (the tab "Регуляры")
  // The rules; null before the initialisation. Empty while the tab is hidden.
  RegularStakes* Regulars() { return regulars_.get(); }
  // Loads the rules when the tab is shown (start-up, and the tab shown again);
  // hiding the tab releases them without saving.
  // False when the file could not be read (its box was shown).
  bool LoadRegulars();
  void ReleaseRegulars();
  // TablesAdd after the dialog: one rule from `rule` when it uses the last
  // draw or `selected` (positions in the combination list) has one entry;
  // otherwise a rule per selected combination, its comment followed by
  // " (%d)" with the 1-based position. Then saved.
  void RegularsAdd(const RegularStake& rule, const std::vector<int>& selected);
  // Deletes the rules of these rows, from the last to the first, and saves.
  void RegularsDelete(std::vector<int> rows);
  // TablesStakeAdd before its dialog: the advanced copy of the rule and the
  // stake it makes at the current offset. Throws
  // Error("Введена некорректная комбинация!") when the rule makes none.
  struct RegularDraft {
    RegularStake advanced;
    StakeRecord stake;
  };
  RegularDraft RegularsDraft(int row);
  // After the dialog's OK: the copy stored over the rule and saved, then the
  // stake appended drawCount times and checked. False when it was not stored.
  bool RegularsCommit(int row, const RegularDraft& draft, const StakeRecord& stake, int drawCount);
  // TablesStakeTest: offsets count..1, each selected rule advanced and staked
  // for the draw after the offset; a failed append ends the test. The offset
  // is restored in every case and the views follow once. `appended` runs
  // after each stake (the window scrolls its grid). Returns the stakes made.
  int RegularsTest(const std::vector<int>& rows, int count, const std::function<void()>& appended = {});
  // The test count's range is 1 .. archive size - 1.
  bool CanTestRegulars() const { return IsIdle() && archive_.Count() >= 2 && regulars_ && regulars_->Count() > 0; }

  // ---- paths of the data files
  std::string ArchiveFile() const;
  std::string ConfigFile() const;
  std::string NamesFile() const;

  // ---- busy counter: every command is enabled only while it is 0
  void BeginBusy();
  void EndBusy();
  bool IsIdle() const { return busy_ == 0; }
  class Busy {
   public:
    explicit Busy(TTemplateMain& f) : f_(f) { f_.BeginBusy(); }
    ~Busy() { f_.EndBusy(); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    TTemplateMain& f_;
  };
  // Runs a command; an exception is shown as an error box and false returned.
  bool Guard(const std::function<void()>& command);

  // ---- loading: the steps of the start-up, each written once for the
  // program and the tool. Report shows a failure through the host and goes
  // on with what was read and the defaults (the program starts anyway);
  // Throw throws it (a command of the tool does not run on damaged data).
  enum class Failure { Report, Throw };
  // The window-state settings; a missing file gives the defaults.
  void LoadSettings(Failure failure);
  // The game configuration and the proxy settings.
  void LoadConfiguration(Failure failure);
  // The statistic registry over the archive, with the favourites and names
  // unless they are not wanted (codes alone do not need them).
  void LoadRegistry(Failure failure, bool withNames = true);
  void LoadArchive(Failure failure);
  // The stakes file, held exclusively from now on; its log follows the
  // setting. False when it could not be opened (Report): a held or
  // unwritable file shows the exclusive-access message alone.
  bool OpenStakes(Failure failure);
  // The ratings, recovered from the stakes file when they lag behind it.
  void LoadRatings();
  void LoadWorkingScenario();
  // The combination buffers, then the list the configuration generates.
  void PrepareCombinations();
  void GenerateStartList();

  // ---- start-up and shutdown
  enum class Start { Continue, Terminate };
  // Window creation: language, settings, configuration, registry and names.
  // The window restores its own placement and columns from SettingsStore().
  Start FormCreate();
  // The one-shot initialisation that follows once the window shows.
  Start Initialise();
  // The keys written at close, then the files closed; placement and columns
  // are the window's (it writes them through SettingsStore() before).
  void FormDestroy();
  bool HasSwitch(const std::string& word) const;
  void RestartProgram();

  // ---- the offset and the views
  void SetDrawsOffset(int offset);
  void RefreshStatus();
  // A view recomputes when force is set or its inputs changed; views run in
  // the order they were added.
  void AddView(std::function<void(bool force)> refresh);
  void RefreshViews(bool force);

  // ---- draws (each writes the archive and refreshes)
  void DrawsAdd(const DrawRecord& draw);
  void DrawsEdit(int index, const DrawRecord& draw);
  // Oldest first, as the list is walked from the bottom.
  void DrawsDelete(const std::vector<int32_t>& numbers);
  ImportResult DrawsImport(const std::string& path);
  void DrawsExport(const std::string& path);
  void ToggleSortedDraws();
  DrawRecord NewDrawTemplate() const;  // the next number, no numbers yet

  // ---- combinations
  void CombsGenerate(int mode, const std::string& parameters, bool saveDefaults);
  void CombsExclude(int n);
  void CombsDeleteRows(const std::vector<int>& rows);
  void CombsUndo();
  void CombsOpen(const std::string& path);
  void CombsSave(const std::string& path);
  std::string CombsCopy(const std::vector<int>& rows) const;
  void CombsPaste(const std::string& text);
  std::string CombsDistinctText() const;
  // StatFilter_Include / _Exclude: keeps or removes the combinations whose
  // value of the method is among the selected ones, judged at the offset.
  void CombsKeepOrRemove(int method, const Selection& selection, FilterMode mode, const std::string& caption);
  // The card, layout and week pages' keep / remove: NUMS with these numbers
  // under the tab's caption. No numbers: the error, and nothing changes.
  void CombsKeepNumbers(const std::vector<int>& numbers, FilterMode mode, const std::string& caption,
                        const std::string& valuesText);
  std::string CombsFindText(int row) const;
  // The array index combination info is evaluated at.
  int LastKnownIndex() const;

  // ---- settings
  // After the settings dialog: save, rebuild the registry, refresh the
  // full-set files of the groups whose parameters changed, refresh views.
  void ApplyConfig(const TConfigData& edited);
  void ApplyShredding(const std::array<std::string, 3>& formulas, const std::array<uint8_t, 3>& digits);
  // A view toggle: flips the flag and writes its key at once.
  void Toggle(bool MainSettings::*flag, const char* key);
  void SetIntSetting(int MainSettings::*field, const char* key, int value);

  // ---- game-specific
  virtual int32_t DownloadRange(int32_t fromDateKey, int32_t toDateKey) = 0;
  // New draws from the operator's results page; the waiting stakes are
  // checked after it. Returns the appended draws; LastChecked() the stakes.
  virtual int32_t DownloadDraws();
  int LastChecked() const { return lastChecked_; }

 protected:
  void SetCaption(std::string caption);
  void AfterArchiveGrew();
  std::string caption_;

 private:
  // The warning of lines an open or a paste skipped as no combination.
  void WarnSkippedLines();
  void ReloadRegistry();
  void DeleteLogs(const std::vector<std::string>& names);
  void SaveArchive();
  // What a run needs besides its lines: an idle frame, draws, the stakes file.
  bool CanRunLines() const;
  void RefreshCombs();

  Host& host_;
  Env& env_;
  std::string dataDir_;
  std::string programPath_;
  std::string programName_;
  std::vector<std::string> args_;
  DrawArchive archive_;
  TStatList registry_;
  CombinationSet combs_;
  MainSettings settings_;
  FormSettings store_;
  ProxySettings proxy_;
  std::array<MatchProbability, 6> matchTable_{};
  std::vector<std::function<void(bool)>> views_;
  int offset_ = -1;
  int busy_ = 0;
  std::unique_ptr<StakeStore> stakes_;
  std::unique_ptr<Ratings> ratings_;
  std::unique_ptr<Scenario> scenario_;
  std::unique_ptr<RegularStakes> regulars_;
  int viewsHeld_ = 0;
  std::unique_ptr<ScenarioRunner> runner_;
  std::optional<uint64_t> runSeed_;
  RunObserver* runObserver_ = nullptr;
  std::unique_ptr<SystemStore> systems_;
  int lastChecked_ = 0;
  std::string helpFile_;
  std::vector<Language> languages_;
  Language language_;
  LanguageModule texts_;
};

class TFormMain : public TTemplateMain {
 public:
  TFormMain(Host& host, Env& env, std::string dataDir, std::string programPath, std::vector<std::string> args)
      : TTemplateMain(host, env, std::move(dataDir), std::move(programPath), std::move(args)) {
    // The window may not exist yet: no refresh here.
    caption_ = kCaption;
  }
  static constexpr const char* kCaption = "Анализ статистики лотереи \"Vantora 5\"";
  int32_t DownloadRange(int32_t fromDateKey, int32_t toDateKey) override;
};

// Opens a data folder's stakes file for the program or a command of the tool:
// a folder or file that cannot be created, opened or locked is the
// exclusive-access message, a damaged file its read error.
void OpenStakesOrThrow(Env& env, Host& host, const std::string& dataDir, StakeStore& store);

// The program's version text.
const char* ProgramVersion();

}  // namespace px
