#include "frame/frame.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "core/csv.h"
#include "core/dates.h"
#include "core/download.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/process.h"
#include "core/switches.h"
#include "core/text.h"
#include "frame/messages.h"
#include "stats/prefetch.h"

namespace px {

namespace {
constexpr const char* kStartError = "Ошибка запуска программы!";
constexpr const char* kInitError = "Ошибка инициализации программы!";
constexpr const char* kSettingsError = "Ошибка загрузки параметров программы!";

std::string ProgramNameOf(const std::string& path) {
  std::string name = std::filesystem::path(path).stem().string();
  return name.empty() ? std::string(kDataBaseName) : name;
}

std::string WithoutExtension(const std::string& path) {
  std::filesystem::path p(path);
  return (p.parent_path() / p.stem()).string();
}
}  // namespace

const char* ProgramVersion() { return "1.0.0"; }

TTemplateMain::TTemplateMain(Host& host, Env& env, std::string dataDir, std::string programPath,
                             std::vector<std::string> args)
    : host_(host),
      env_(env),
      dataDir_(std::move(dataDir)),
      programPath_(std::move(programPath)),
      programName_(ProgramNameOf(programPath_)),
      args_(std::move(args)),
      combs_(&host),
      store_(env, FormSettingsPath(dataDir_, programName_)),
      systems_(std::make_unique<SystemStore>(env, host, dataDir_)),
      language_(*FindLanguage(kBaseLanguage)) {
}

TTemplateMain::~TTemplateMain() = default;

std::string TTemplateMain::ProgramBase() const { return WithoutExtension(programPath_); }

std::string TTemplateMain::ArchiveFile() const { return ArchivePath(dataDir_); }
std::string TTemplateMain::ConfigFile() const { return ConfigPath(dataDir_); }
std::string TTemplateMain::NamesFile() const { return NamesFilePath(dataDir_, programName_); }

void TTemplateMain::BeginBusy() {
  if (busy_++ == 0) host_.SetBusyCursor(true);
}

void TTemplateMain::EndBusy() {
  if (busy_ == 0) return;
  if (--busy_ == 0) host_.SetBusyCursor(false);
}

bool TTemplateMain::Guard(const std::function<void()>& command) {
  try {
    command();
    return true;
  } catch (const std::exception& e) {
    host_.SetStatusText("");
    host_.ShowError(e.what());
    return false;
  }
}

bool TTemplateMain::HasSwitch(const std::string& word) const { return px::HasSwitch(args_, word); }

void TTemplateMain::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  host_.Refresh(View::Caption);
}

TTemplateMain::Start TTemplateMain::FormCreate() {
  try {
    settings_.PrefetchsEnabled = false;
    proxy_ = ProxySettings{};
    std::srand(unsigned(std::time(nullptr)));
    combs_.Clear();

    if (HasSwitch("restart")) {
      // The instance that asked for the restart must be gone first.
      for (int i = 0; i < 601 && OtherInstanceRunning(programPath_); ++i) {
        host_.ProcessEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      if (OtherInstanceRunning(programPath_)) return Start::Terminate;
    }

    // The language comes before the settings that the window restores.
    const std::string base = ProgramBase();
    languages_ = AvailableLanguages(env_, base);
    int32_t lcid = kBaseLanguage;
    if (!HasSwitch("no-language")) {
      try {
        lcid = store_.Read().ReadInt(MainSettings::kSection, "Language", settings_.Language);
      } catch (const std::exception&) {
        lcid = settings_.Language;
      }
    }
    language_ = *FindLanguage(kBaseLanguage);
    texts_ = LanguageModule();
    if (const Language* l = FindLanguage(lcid); l && l->lcid != kBaseLanguage) {
      try {
        texts_ = LanguageModule::Load(env_, ModulePath(base, *l));
        language_ = *l;
      } catch (const std::exception&) {
        // No module: the built-in language stays.
      }
    }
    helpFile_ = FindHelpFile(env_, std::filesystem::path(programPath_).parent_path().string(), language_.abbreviation);
    registry_.helpFile = helpFile_;
    registry_.languageAbbr = language_.abbreviation;

    combs_.InvalidateCache();

    LoadSettings(Failure::Report);
    if (!settings_.PrefetchsInit) {
      // The first start: the full-set comparison begins switched off.
      settings_.PrefetchsInit = true;
      try {
        store_.Update([&](IniFile& i) {
          i.WriteBool(MainSettings::kSection, "PrefetchsInit", true);
          i.WriteBool(MainSettings::kSection, "PrefetchsEnabled", settings_.PrefetchsEnabled);
        });
      } catch (const std::exception& e) {
        host_.ShowError(OperationError(kSettingsError, e.what()).what());
      }
    }
    LoadConfiguration(Failure::Report);
    LoadRegistry(Failure::Report);
    return Start::Continue;
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kStartError, e.what()).what());
    return Start::Continue;
  }
}

void TTemplateMain::LoadSettings(Failure failure) {
  try {
    settings_.Read(store_.Read());
  } catch (const std::exception& e) {
    if (failure == Failure::Throw) throw;
    host_.ShowError(OperationError(kSettingsError, e.what()).what());
  }
}

void TTemplateMain::LoadConfiguration(Failure failure) {
  StatusScope status(host_, "Загрузка файла конфигурации...");
  // A configuration that cannot be read is reported by itself; what was read
  // stays, the rest keeps its defaults.
  try {
    LoadGameConfig(env_, ConfigFile(), Config());
    LoadProxySettings(env_, ConfigFile(), proxy_);
  } catch (const std::exception& e) {
    if (failure == Failure::Throw) throw;
    host_.ShowError(e.what());
  }
}

void TTemplateMain::LoadRegistry(Failure failure, bool withNames) {
  registry_.SetDraws(&archive_);
  registry_.Fill();
  // The names file reports its own failure.
  if (withNames && !registry_.LoadNames(env_, NamesFile(), true, &host_) && failure == Failure::Throw)
    throw Error("Ошибка загрузки списка фильтров!");
}

void TTemplateMain::LoadArchive(Failure failure) {
  StatusScope loading(host_, "Загрузка файла тиражей...");
  try {
    archive_.Load(env_, ArchiveFile());
  } catch (const std::exception& e) {
    if (failure == Failure::Throw) throw;
    host_.ShowError(e.what());
  }
  RefreshStatus();
  host_.Refresh(View::DrawsList);
}

bool TTemplateMain::OpenStakes(Failure failure) {
  stakes_ = std::make_unique<StakeStore>(env_, host_, dataDir_);
  try {
    OpenStakesOrThrow(env_, host_, dataDir_, *stakes_);
  } catch (const std::exception& e) {
    if (failure == Failure::Throw) throw;
    // One box: a held or unwritable file is the exclusive-access message
    // alone, without the system's own text in front of it.
    host_.ShowError(e.what());
    return false;
  }
  stakes_->SetLogEnabled(settings_.StakesLogEnabled);
  host_.SetStatusPanel(4, stakes_->CountText());
  return true;
}

void TTemplateMain::LoadRatings() {
  ratings_ = std::make_unique<Ratings>(env_, host_, dataDir_);
  ratings_->Load();
  if (stakes_ && stakes_->IsOpen()) ratings_->Recover(*stakes_);
}

void TTemplateMain::LoadWorkingScenario() {
  scenario_ = std::make_unique<Scenario>(env_, host_, WorkingScenarioPath(dataDir_));
  scenario_->LoadWorking();
}

void TTemplateMain::PrepareCombinations() {
  StatusScope status(host_, "Инициализация...");
  combs_.Init(kCapacity);
}

void TTemplateMain::GenerateStartList() {
  GenerateSet(combs_, env_, true, Config().CombsGenerateMode, Config().CombsGenerateParameters);
  RefreshCombs();
}

void OpenStakesOrThrow(Env& env, Host& host, const std::string& dataDir, StakeStore& store) {
  StatusScope status(host, "Загрузка файла ставок...");
  try {
    env.MakeDirs(dataDir);
    store.Open();
  } catch (const std::exception&) {
    throw Error(kExclusiveAccess);
  }
  try {
    store.CheckVersion();
  } catch (const std::exception& e) {
    throw OperationError("Ошибка чтения файла ставок!", e.what());
  }
}

TTemplateMain::Start TTemplateMain::Initialise() {
  try {
    StatusScope status(host_, "Инициализация...");
    PrepareCombinations();
    for (int k = 0; k <= kDrawSize; ++k) {
      matchTable_[size_t(k)].count = uint32_t(Binomial(5, k) * Binomial(31, 5 - k));
      matchTable_[size_t(k)].probability = static_cast<long double>(matchTable_[size_t(k)].count) / kCapacity;
    }
    SetCaption(caption_ + " версия " + ProgramVersion());
    SetDrawsOffset(0);

    if (!OpenStakes(Failure::Report)) return Start::Terminate;
    LoadArchive(Failure::Report);
    GenerateStartList();
    RefreshViews(true);
    LoadRatings();
    LoadRegulars();
    LoadWorkingScenario();

    const bool recreate = HasSwitch("fullrecreate"), refresh = HasSwitch("fullrefresh");
    if (HasSwitch("loadonly")) {
      Guard([&] { DownloadDraws(); });
      if (!recreate && !refresh) return Start::Terminate;
    }
    PrefetchFiles prefetch = FullSets();
    if (recreate) {
      prefetch.BuildAll(registry_, true, settings_.PrefetchsEnabled, 8191, &host_);
      return Start::Terminate;
    }
    prefetch.BuildAll(registry_, refresh, settings_.PrefetchsEnabled, 0, &host_);
    if (refresh) return Start::Terminate;
    if ((settings_.DownloadDrawsOnStart == 0 &&
         host_.AskYesNo("Обновить список тиражей?\r\rДля выполнения обновления необходимо действующее подключение к "
                        "сети Интернет.")) ||
        settings_.DownloadDrawsOnStart == 1)
      Guard([&] { DownloadDraws(); });
    return Start::Continue;
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kInitError, e.what()).what());
    return Start::Continue;
  }
}

void TTemplateMain::FormDestroy() {
  try {
    store_.Update([&](IniFile& ini) { settings_.WriteCloseKeys(ini); });
  } catch (const std::exception& e) {
    host_.ShowError(e.what());
  }
  combs_.Clear();
  archive_.Clear();
  if (stakes_) {
    StatusScope status(host_, "Сохранение файла ставок...");
    try {
      stakes_->Close();
    } catch (const std::exception& e) {
      host_.ShowError(OperationError("Ошибка записи в файл ставок!", e.what()).what());
    }
  }
}

void TTemplateMain::RestartProgram() {
  // The new instance waits for this one to end before it reads anything, so
  // it finds what the close sequence saves; a failed start leaves this one
  // running as it was.
  StartDetached(programPath_, {"restart"}, std::filesystem::path(programPath_).parent_path().string());
  host_.CloseProgram();
}

void TTemplateMain::SetDrawsOffset(int offset) {
  if (offset == offset_) return;
  offset_ = offset;
  RefreshStatus();
  RefreshViews(false);
  host_.Refresh(View::DrawsList);
}

void TTemplateMain::RefreshStatus() {
  const ArchiveStatus s = StatusOf(archive_, std::max(offset_, 0));
  host_.SetStatusPanel(0, s.archiveSize);
  host_.SetStatusPanel(1, s.nextDraw);
  host_.SetStatusPanel(2, s.knownNext);
}

void TTemplateMain::AddView(std::function<void(bool)> refresh) { views_.push_back(std::move(refresh)); }

void TTemplateMain::RefreshViews(bool force) {
  // A test moves the offset at every pass: the views follow once, at the end.
  if (ViewsSuspended()) return;
  for (auto& v : views_) v(force);
}

void TTemplateMain::SaveArchive() {
  StatusScope status(host_, "Сохранение файла тиражей...");
  env_.MakeDirs(dataDir_);
  archive_.Save(env_, ArchiveFile());
}

DrawRecord TTemplateMain::NewDrawTemplate() const {
  DrawRecord d;
  d.number = archive_.NextDrawNumber(0);
  return d;
}

void TTemplateMain::DrawsAdd(const DrawRecord& draw) {
  Busy busy(*this);
  archive_.Append(draw);
  SaveArchive();
  RefreshStatus();
  host_.Refresh(View::DrawsList);
  RefreshViews(false);
}

void TTemplateMain::DrawsEdit(int index, const DrawRecord& draw) {
  if (index < 0 || index >= archive_.Count())
    throw Error(Fmt("Запись со индексом %d в файле данных не найдена!", index));
  Busy busy(*this);
  archive_.At(index) = draw;
  SaveArchive();
  RefreshStatus();
  host_.Refresh(View::DrawsList);
  RefreshViews(false);
}

void TTemplateMain::DrawsDelete(const std::vector<int32_t>& numbers) {
  Busy busy(*this);
  std::exception_ptr failure;
  {
    StatusScope status(host_, "Удаление выделенных тиражей....");
    try {
      for (int32_t n : numbers) archive_.DeleteAt(archive_.IndexOfDraw(n));
    } catch (...) {
      failure = std::current_exception();
    }
  }
  // What was deleted before a failure is written too, so the file never
  // holds draws the list no longer shows.
  RefreshStatus();
  host_.Refresh(View::DrawsList);
  SaveArchive();
  RefreshViews(false);
  if (failure) std::rethrow_exception(failure);
}

ImportResult TTemplateMain::DrawsImport(const std::string& path) {
  Busy busy(*this);
  ImportResult result;
  {
    StatusScope status(host_, Fmt("Импорт тиражей из файла \"%s\"...", path.c_str()));
    result = ImportDraws(env_, archive_, path);
  }
  SaveArchive();
  RefreshStatus();
  host_.Refresh(View::DrawsList);
  // New draws change every view, as an added draw does.
  RefreshViews(false);
  return result;
}

void TTemplateMain::DrawsExport(const std::string& path) {
  Busy busy(*this);
  StatusScope status(host_, Fmt("Экспорт тиражей в файл \"%s\"...", path.c_str()));
  ExportDraws(env_, archive_, path);
}

void TTemplateMain::Toggle(bool MainSettings::*flag, const char* key) {
  Busy busy(*this);
  settings_.*flag = !(settings_.*flag);
  store_.WriteBool(MainSettings::kSection, key, settings_.*flag);
}

void TTemplateMain::SetIntSetting(int MainSettings::*field, const char* key, int value) {
  settings_.*field = value;
  store_.WriteInt(MainSettings::kSection, key, value);
}

void TTemplateMain::ToggleSortedDraws() {
  Toggle(&MainSettings::SortedDraws, "SortedDraws");
  host_.Refresh(View::DrawsList);
  RefreshViews(true);
}

void TTemplateMain::RefreshCombs() {
  host_.SetStatusPanel(3, Fmt("Комбинаций: %d", combs_.Count()));
  host_.Refresh(View::CombsList);
  host_.Refresh(View::FiltersList);
}

void TTemplateMain::CombsGenerate(int mode, const std::string& parameters, bool saveDefaults) {
  Busy busy(*this);
  if (saveDefaults) {
    Config().CombsGenerateMode = uint8_t(std::clamp(mode, 0, 255));
    Config().CombsGenerateParameters = parameters;
    StatusScope status(host_, "Сохранение файла конфигурации...");
    SaveGenerationDefaults(env_, ConfigFile(), Config());
  }
  GenerateSet(combs_, env_, true, mode, parameters);
  RefreshCombs();
}

void TTemplateMain::CombsExclude(int n) {
  if (n <= 0) return;
  Busy busy(*this);
  combs_.ExcludeLastDraws(archive_, std::max(offset_, 0), n);
  RefreshCombs();
}

void TTemplateMain::CombsDeleteRows(const std::vector<int>& rows) {
  Busy busy(*this);
  combs_.DeleteRows(rows);
  RefreshCombs();
}

void TTemplateMain::CombsUndo() {
  if (!combs_.CanUndo()) return;
  Busy busy(*this);
  combs_.RestoreSnapshot(true);
  combs_.RemoveLastLogRow();
  RefreshCombs();
}

void TTemplateMain::CombsOpen(const std::string& path) {
  Busy busy(*this);
  combs_.TakeSnapshot(true);
  bool read;
  {
    StatusScope status(host_, Fmt("Загрузка файла \"%s\"...", path.c_str()));
    read = combs_.ReadFile(env_, path);
  }
  if (!read) combs_.RestoreSnapshot(true);
  combs_.DropSnapshot();
  // A file without a combination leaves the list, and so its log, as it was.
  if (combs_.LastReadCount() > 0) combs_.ClearLog();
  if (read) WarnSkippedLines();
  RefreshCombs();
}

void TTemplateMain::CombsSave(const std::string& path) {
  Busy busy(*this);
  StatusScope status(host_, Fmt("Сохранение файла \"%s\"...", path.c_str()));
  combs_.WriteFile(env_, path);
}

std::string TTemplateMain::CombsCopy(const std::vector<int>& rows) const { return combs_.ClipboardText(rows); }

void TTemplateMain::CombsPaste(const std::string& text) {
  Busy busy(*this);
  combs_.Paste(text);
  WarnSkippedLines();
  RefreshCombs();
}

void TTemplateMain::WarnSkippedLines() {
  if (combs_.SkippedLines() > 0)
    host_.ShowWarning(Fmt("Пропущено строк, которые не являются комбинациями: %d", combs_.SkippedLines()));
}

void TTemplateMain::CombsKeepOrRemove(int method, const Selection& selection, FilterMode mode,
                                      const std::string& caption) {
  auto stat = registry_.CreateInstance(method);
  Busy busy(*this);
  KeepOrRemove(combs_, *stat, selection, mode, FilterLastIndex(archive_, offset_), settings_.SortedDraws, caption,
               &host_);
  RefreshCombs();
}

void TTemplateMain::CombsKeepNumbers(const std::vector<int>& numbers, FilterMode mode, const std::string& caption,
                                     const std::string& valuesText) {
  Busy busy(*this);
  ApplyNumberFilter(combs_, registry_, numbers, mode, caption, valuesText, FilterLastIndex(archive_, offset_),
                    settings_.SortedDraws, &host_);
  RefreshCombs();
}

std::string TTemplateMain::CombsDistinctText() const { return DistinctNumbersText(combs_); }

std::string TTemplateMain::CombsFindText(int row) const {
  if (row < 0 || row >= combs_.Count()) return {};
  return FindInArchiveText(archive_, combs_.Working()[row]);
}

int TTemplateMain::LastKnownIndex() const { return std::max(0, archive_.ReferenceIndex(offset_)); }

void TTemplateMain::ReloadRegistry() {
  registry_.SaveNames(env_, NamesFile(), true, false, &host_);
  registry_.Fill();
  registry_.EnableAll();
  registry_.LoadNames(env_, NamesFile(), true, &host_);
}

void TTemplateMain::ApplyConfig(const TConfigData& edited) {
  Busy busy(*this);
  const TConfigData& old = Config().data;
  uint32_t mask = 0;
  if (edited.MatrixCols != old.MatrixCols) mask |= 16;
  if (edited.ChannelSize != old.ChannelSize) mask |= 8;
  if (edited.MatrixSegments != old.MatrixSegments) mask |= 32;
  Config().data = edited;
  {
    StatusScope status(host_, "Сохранение файла конфигурации...");
    SaveGameConfig(env_, ConfigFile(), Config());
  }
  ReloadRegistry();
  FullSets().BuildAll(registry_, false, settings_.PrefetchsEnabled, mask, &host_);
  RefreshViews(true);
  host_.Refresh(View::DrawsList);
  host_.Refresh(View::CombsList);
}

void TTemplateMain::ApplyShredding(const std::array<std::string, 3>& formulas, const std::array<uint8_t, 3>& digits) {
  Busy busy(*this);
  Config().Formula = formulas;
  Config().FormulaDigits = digits;
  {
    StatusScope status(host_, "Сохранение файла конфигурации...");
    SaveShredding(env_, ConfigFile(), Config());
  }
  FullSets().BuildAll(registry_, false, settings_.PrefetchsEnabled, 4096, &host_);
  ReloadRegistry();
}

int32_t TTemplateMain::DownloadDraws() {
  Busy busy(*this);
  int checked = 0;
  int32_t added = 0;
  try {
    added = px::DownloadDraws(archive_, ConfigFile(), proxy_, host_, env_, dataDir_, [&] {
      checked = CheckStakes();
      return checked;
    });
  } catch (...) {
    AfterArchiveGrew();
    throw;
  }
  AfterArchiveGrew();
  lastChecked_ = checked;
  return added;
}

bool TTemplateMain::CanRunScenario() const { return scenario_ && !scenario_->Empty() && CanRunLines(); }

bool TTemplateMain::CanRunLines() const {
  return IsIdle() && !ScenarioRunning() && !archive_.Empty() && stakes_ && stakes_->IsOpen();
}

RunSettings TTemplateMain::CurrentRunSettings() const {
  RunSettings r;
  r.sortedDraws = settings_.SortedDraws;
  r.prefetchsEnabled = settings_.PrefetchsEnabled;
  r.stakesCheckOnLine = settings_.StakesCheckOnLine;
  r.stakesScrollEnabled = settings_.StakesScrollEnabled;
  r.scriptLogEnabled = settings_.ScriptLogEnabled;
  r.separator = LocaleDecimalSeparator();
  return r;
}

RunResult TTemplateMain::RunScenario(int testCount) {
  if (!CanRunScenario()) return {};
  // The lines are copied: the scenario cannot change under the run, but the
  // view must not see a half-run list either.
  return RunScenario(scenario_->Lines(), testCount);
}

RunResult TTemplateMain::RunScenario(const std::vector<std::string>& lines, int testCount) {
  if (!CanRunLines()) return {};
  if (testCount > 0) {
    testCount = std::min(testCount, archive_.Count() - 1);
    if (testCount < 1) return {};
  }
  Busy busy(*this);
  RunContext ctx{env_, host_, dataDir_, archive_, registry_, combs_, *stakes_};
  ctx.ratings = ratings_.get();
  ctx.systems = systems_.get();
  ctx.observer = runObserver_;
  ctx.fullSetRecord = &store_;
  ctx.offset = [this] { return std::max(offset_, 0); };
  ctx.setOffset = [this](int offset) { SetDrawsOffset(offset); };
  ctx.settings = CurrentRunSettings();
  runner_ = std::make_unique<ScenarioRunner>(std::move(ctx));
  if (runSeed_) runner_->Seed(*runSeed_);
  RunResult result = testCount > 0 ? runner_->Test(lines, testCount) : runner_->Forecast(lines);
  runner_.reset();
  RefreshViews(false);
  RefreshCombs();
  if (stakes_) host_.SetStatusPanel(4, stakes_->CountText());
  return result;
}

void TTemplateMain::ToggleScriptLog() { Toggle(&MainSettings::ScriptLogEnabled, "ScriptLogEnabled"); }

void TTemplateMain::DeleteScriptLogs() { DeleteLogs(RunLogFiles(env_, dataDir_)); }
void TTemplateMain::DeleteStakeLogs() { DeleteLogs(StakeLogFiles(env_, dataDir_)); }

void TTemplateMain::DeleteLogs(const std::vector<std::string>& names) {
  if (names.empty()) {
    host_.ShowInfo("Файлы журналов не найдены!");
    return;
  }
  DeleteSummary summary;
  {
    Busy busy(*this);
    StatusScope status(host_, "Поиск файлов журналов...");
    summary = DeleteLogFiles(env_, dataDir_, names);
  }
  if (summary.ok)
    host_.ShowInfo(summary.text);
  else
    host_.ShowWarning(summary.text);
}

int TTemplateMain::CheckStakes() {
  if (!stakes_) return 0;
  if (ratings_) return ratings_->CheckStakes(*stakes_, archive_, Config().data);
  return stakes_->CheckAndRefresh(archive_, Config().data, nullptr);
}

void TTemplateMain::AfterArchiveGrew() {
  RefreshStatus();
  host_.Refresh(View::DrawsList);
  if (stakes_) host_.SetStatusPanel(4, stakes_->CountText());
  RefreshViews(false);
}

int32_t TFormMain::DownloadRange(int32_t fromDateKey, int32_t toDateKey) {
  return px::DownloadRange(Archive(), ConfigFile(), Proxy(), GetHost(), GetEnv(), DataDir(), fromDateKey, toDateKey);
}

}  // namespace px
