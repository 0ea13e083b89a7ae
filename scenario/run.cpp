#include "scenario/run.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <new>
#include <optional>
#include <unordered_set>

#include "combs/combination_set.h"
#include "core/archive.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"
#include "stakes/ratings.h"
#include "stakes/stake_store.h"
#include "stakes/systems.h"
#include "stats/custom_stat.h"
#include "stats/filter.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"

namespace px {

namespace {

const char* const kEqualsLine =
    "==============================================================================================";
const char* const kDashLine =
    "----------------------------------------------------------------------------------------------";
const char* const kStartLine =
    "### ЗАПУСК СЦЕНАРИЯ ##########################################################################";
const char* const kEndLine =
    "### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ######################################################################";
const char* const kInterruptedLine =
    "### ВЫПОЛНЕНИЕ СЦЕНАРИЯ ПРЕРВАНО #############################################################";
const char* const kRunning = "Выполнение сценария...";
const char* const kGenerating = "Создание всех вариантов фильтров...";

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// How often a poll for the stop lets the window run its events: often enough
// for a click to feel immediate, rarely enough to cost nothing.
constexpr int64_t kPumpMs = 20;

// A row for the run log, the only place a run shows its cells.
std::string RowText(const StatRow& r) {
  auto cell = [&](int column) { return CellText(r, column); };
  return Fmt("< [%s] кол-во: %s (%s %%), отклонение: %s (%s %%), глубина: %s (%s %%), вес: %s >", r.caption.c_str(),
             cell(kColCount).c_str(), cell(kColCountPct).c_str(), cell(kColDeviation).c_str(),
             cell(kColDeviationPct).c_str(), cell(kColDepth).c_str(), cell(kColDepthPct).c_str(),
             cell(kColWeight).c_str());
}

}  // namespace

ScenarioRunner::ScenarioRunner(RunContext context)
    : ctx_(std::move(context)), log_(ctx_.env, ctx_.host, ctx_.dataDir), rng_(std::random_device{}()) {}

ScenarioRunner::~ScenarioRunner() = default;

void ScenarioRunner::Seed(uint64_t seed) {
  rng_.seed(seed);
  seeded_ = true;
}

void ScenarioRunner::RequestStop() {
  if (!control_.running_ || control_.stopping_) return;
  Write(kInterruptedLine);
  control_.stopping_ = true;
}

bool ScenarioRunner::CheckStop() {
  const int64_t now = NowMs();
  if (now - lastPumpMs_ >= kPumpMs) {
    lastPumpMs_ = now;
    ctx_.host.ProcessEvents();
  }
  if (!control_.stopping_ && ctx_.host.StopRequested()) RequestStop();
  return control_.stopping_;
}

void ScenarioRunner::ShowStatus() {
  if (ctx_.observer) ctx_.observer->Status(status_);
  lastPumpMs_ = NowMs();
  ctx_.host.ProcessEvents();
}

void ScenarioRunner::SetStatus(int line, const std::string& text) {
  status_.line = line;
  status_.text = text;
  ShowStatus();
}

void ScenarioRunner::Fail(const std::string& text) {
  control_.stopping_ = true;
  if (!result_.failed) {
    result_.failed = true;
    result_.error = text;
  }
  ctx_.host.ShowError(text);
}

RunResult ScenarioRunner::Forecast(const std::vector<std::string>& lines) { return Run(lines, 0); }

RunResult ScenarioRunner::Test(const std::vector<std::string>& lines, int n) { return Run(lines, std::max(n, 1)); }

RunResult ScenarioRunner::Run(const std::vector<std::string>& lines, int testCount) {
  if (control_.running_) return {};
  result_ = RunResult{};
  // Running before the first status text: that already lets a "Стоп" in.
  control_.running_ = true;
  control_.stopping_ = false;
  StatusScope busyText(ctx_.host, kRunning);
  log_.enabled = ctx_.settings.scriptLogEnabled;
  if (log_.enabled) {
    log_.Start();
    Write(kStartLine);
  }
  status_ = RunStatus{testCount > 0 ? 0 : 1, 0, 0, kRunning};
  selector_.assign(size_t(ctx_.registry.Count()), std::string());
  for (const MethodListItem& item : MethodList(ctx_.registry, false)) selector_[size_t(item.method)] = item.text;
  if (ctx_.observer) ctx_.observer->RunningChanged(true);
  ShowStatus();

  const int savedOffset = ctx_.offset();
  // The rating is saved at every check but waits for the disk once per pass.
  if (ctx_.ratings) ctx_.ratings->BeginRun();
  auto pass = [&](int offset) {
    Write(kEqualsLine);
    Write(Fmt("=== Выполнение сценария для смещения %.6d ==================================================", offset));
    Write(kEqualsLine);
    ++result_.cycles;
    if (testCount > 0 && CheckStop()) return;
    RunAllLines(lines);
    if (ctx_.ratings) ctx_.ratings->SyncRun();
  };
  try {
    if (testCount == 0) {
      pass(savedOffset);
    } else {
      for (int i = 0; i < testCount; ++i) {
        status_.cycle = i + 1;
        SetStatus(status_.line, kRunning);
        if (CheckStop()) break;
        ctx_.setOffset(testCount - i);
        if (CheckStop()) break;
        pass(testCount - i);
      }
      if (!control_.stopping_) ctx_.setOffset(savedOffset);
    }
  } catch (const std::exception& e) {
    Fail(e.what());
  }
  if (ctx_.ratings) ctx_.ratings->EndRun();
  if (!control_.stopping_ || testCount > 0) status_.text = "Сценарий завершен!";
  result_.stopped = control_.stopping_;
  result_.stakes = status_.stakes;
  status_.cycle = 0;
  control_.running_ = false;
  control_.stopping_ = false;
  ShowStatus();
  if (ctx_.observer) ctx_.observer->RunningChanged(false);
  Write(kEndLine);
  const std::string path = log_.Finish();
  if (!path.empty() && ctx_.observer) ctx_.observer->OpenLog(path);
  return result_;
}

void ScenarioRunner::RunAllLines(const std::vector<std::string>& lines) {
  StakeStore& stakes = ctx_.stakes;
  if (stakes.HasRecords() && stakes.ReadRecord(-1, true).drawNumber > 0) stakes.Append(SeparatorRecord(), 1);
  ctx_.combs.InvalidateCache();
  memo_.Reset();
  tables_.clear();
  TConfigData& config = ctx_.registry.Config().data;
  savedCount_ = config.Count;
  savedDeviation_ = config.Deviation;
  savedLevel_ = config.Level;
  savedPercents_ = config.UsePercents;
  savedAbs_ = config.UseAbsValues;
  auto restore = [&] {
    config.Count = savedCount_;
    config.Deviation = savedDeviation_;
    config.Level = savedLevel_;
    config.UsePercents = savedPercents_;
    config.UseAbsValues = savedAbs_;
    ctx_.combs.InvalidateCache();
  };
  try {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (CheckStop()) break;
      const std::string& text = lines[i];
      if (IsSeparatorLine(text)) continue;
      if (ctx_.observer) ctx_.observer->SelectLine(int(i));
      Write(kDashLine);
      Write(Fmt("Выполнение строки %.3d: \"%s\"", int(i) + 1, text.c_str()));
      Write(kDashLine);
      RunLine(int(i) + 1, text);
      if (ctx_.observer) ctx_.observer->SelectLine(-1);
      if (control_.stopping_) break;
    }
    if (!ctx_.settings.stakesCheckOnLine) CheckStakes();
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void ScenarioRunner::CheckStakes() {
  const TConfigData& config = ctx_.registry.Config().data;
  if (ctx_.ratings)
    ctx_.ratings->CheckStakes(ctx_.stakes, ctx_.archive, config);
  else
    ctx_.stakes.CheckAndRefresh(ctx_.archive, config, nullptr);
  if (ctx_.observer) ctx_.observer->RefreshStakes(true, false);
}

void ScenarioRunner::RunLine(int number, const std::string& text) {
  CombinationSet& combs = ctx_.combs;
  const bool checkOnLine = ctx_.settings.stakesCheckOnLine;
  LineVariants lv;
  bool variantOpen = false;  // a variant began and was not checked yet
  try {
    combs.DropSnapshot();
    const ScenarioLine line = ParseLine(text, ctx_.registry);
    const ScenarioOptions& o = line.options;
    if (!CheckStop()) {
      lv.filters = PrepareFilters(line);
      Write(kGenerating);
      SetStatus(number, kGenerating);
      try {
        GenerateVariants(lv, [&](size_t n) {
          SetStatus(number, Fmt("Создание всех вариантов фильтров ( %d )...", int(n)));
          return !CheckStop();
        });
      } catch (const std::bad_alloc& e) {
        lv.variants.clear();
        lv.variants.shrink_to_fit();
        Fail(std::string("Вы задали слишком много вариантов фильтров - программа не сможет обработать их все!\r"
                         "Пожалуйста, уменьшите в каждом из фильтров количество вариантов длины выборки и "
                         "глубины, а затем повторите попытку.") +
             "\r\r" + e.what());
      }
      Write(Fmt("Создано %d вариантов фильтров.", int(lv.variants.size())));
    }
    const int total = int(lv.variants.size());
    for (int v = 1; v <= total && !CheckStop(); ++v) {
      const TFilterVar& var = lv.variants[size_t(v - 1)];
      const std::string filters = VariantText(lv, var);
      variantOpen = true;
      Write("");
      Write(kDashLine);
      Write(Fmt("Применение набора фильтров %.3d: \"%s\"", v, filters.c_str()));
      Write(kDashLine);
      SetStatus(number, Fmt("Фильтр %d из %d: %s", v, total, filters.c_str()));
      Write("Создание начального списка комбинаций...");
      BuildStartList(o);
      Write(Fmt("Количество комбинаций в списке: %d", combs.Count()));
      if (!CheckStop()) {
        for (uint8_t i = 0; i < var.count && combs.Count() > 1; ++i) {
          ApplyPart(lv.filters[var.parts[i].filter], var.parts[i]);
          if (CheckStop()) break;
        }
      }
      if (!control_.stopping_) {
        MakeStakes(o, number, v, line.comment, OptionsDescription(o) + " + " + filters);
        if (!CheckStop()) Write(kDashLine);
      }
      if (checkOnLine) CheckStakes();
      variantOpen = false;
    }
    if (lv.filters.empty() && !control_.stopping_) {
      Write("{ERROR} Фильтры не применялись!");
      Write("");
      SetStatus(number, OptionsDescription(o));
      Write("Создание начального списка комбинаций...");
      variantOpen = true;
      BuildStartList(o);
      Write(Fmt("Количество комбинаций в списке: %d", combs.Count()));
      if (!CheckStop()) MakeStakes(o, number, 0, line.comment, OptionsDescription(o));
      if (checkOnLine) CheckStakes();
      variantOpen = false;
    }
  } catch (const std::exception& e) {
    Fail(e.what());
    if (checkOnLine && variantOpen) CheckStakes();
  }
  combs.DropSnapshot();
}

void ScenarioRunner::BuildStartList(const ScenarioOptions& o) {
  CombinationSet& combs = ctx_.combs;
  const auto source = static_cast<ListSource>(o.listSource);
  if (source == ListSource::Full || source == ListSource::Exclude) {
    // Generation as the command does it, except that the scenario's cache
    // survives: emptying it would recompute the exclusion for every variant.
    StatusScope status(ctx_.host, "Генерация возможных комбинаций...");
    const GameConfig& config = ctx_.registry.Config();
    GenerateSet(combs, ctx_.env, false, config.CombsGenerateMode, config.CombsGenerateParameters);
    combs.ClearLog();
    combs.DropSnapshot();
  }
  if (source == ListSource::Exclude && o.excludeDraws > 0) {
    const int offset = ctx_.offset();
    if (!combs.LoadCache(offset, o.excludeDraws)) {
      combs.ExcludeLastDraws(ctx_.archive, offset, o.excludeDraws);
      combs.SaveCache(offset, o.excludeDraws);
    }
  }
  if (source == ListSource::Full || source == ListSource::Exclude) {
    // Generated lists are the same for every variant of the pass, except one
    // read from a file, which may change meanwhile.
    const GameConfig& config = ctx_.registry.Config();
    if (config.CombsGenerateMode == 4)
      memo_.StartFrom("");
    else
      memo_.StartFrom(Fmt("%d|%d|%d|", int(source), source == ListSource::Exclude ? o.excludeDraws : 0,
                          config.CombsGenerateMode) +
                      config.CombsGenerateParameters);
  }
  if (o.clearStakes) {
    ctx_.stakes.Clear();
    ctx_.stakes.Reopen();
    if (ctx_.observer) ctx_.observer->RefreshStakes(true, false);
  }
}

void ScenarioRunner::ApplyPart(const FilterSpec& f, const TFilterPart& p) {
  CombinationSet& combs = ctx_.combs;
  TStatList& registry = ctx_.registry;
  const TFilterItem& item = f.item;
  const int method = StatMethodOf(item, registry);
  if (method < 0 || size_t(method) >= selector_.size() || selector_[size_t(method)].empty()) {
    const std::string code = FilterStatCode(item);
    // A code that matched nothing when the line was read has no title to show.
    const std::string title = method >= 0 ? registry.MethodTitle(registry.Method(method)) + "\r" : std::string();
    throw Error(Fmt("Метод расчета статистики \"%s\" на найден!\r%s\rВозможно, Вы отключили данных метод "
                    "расчета либо использовали сценарий от другой модификации программы.",
                    code.c_str(), title.c_str()));
  }
  const std::string& caption = selector_[size_t(method)];
  Write(Fmt("Анализ тиражей и расчет статистики \"%s\" для выборки в %d тиражей...", caption.c_str(), p.drawCount));

  TConfigData& config = registry.Config().data;
  config.Count = item.weightOverride ? item.coefCount : savedCount_;
  config.Deviation = item.weightOverride ? item.coefDeviation : savedDeviation_;
  config.Level = item.weightOverride ? item.coefDepth : savedLevel_;
  config.UsePercents = item.weightOverride ? item.usePercents : savedPercents_;
  config.UseAbsValues = item.weightOverride ? item.useAbs : savedAbs_;

  const int offset = std::max(ctx_.offset(), 0);
  StatTableParams params;
  params.offset = offset;
  params.length = p.drawCount;
  params.sorted = ctx_.settings.sortedDraws;
  params.separator = ctx_.settings.separator;
  params.charts = false;
  std::optional<PrefetchData> prefetch;
  if (ctx_.settings.prefetchsEnabled && registry.HasFullSet(method))
    prefetch = PrefetchFiles(ctx_.env, ctx_.dataDir, ctx_.fullSetRecord).Open(registry, method, &ctx_.host);
  // Variants repeat their tables (one window, several condition values):
  // within a pass a table depends only on these, unless it read a full-set
  // file, which may change meanwhile.
  const std::string tableKey =
      Fmt("%d|%d|%d|%d|%c|%.17Lg|%.17Lg|%.17Lg|%d|%d", method, params.offset, params.length, int(params.sorted),
          params.separator, config.Count, config.Deviation, config.Level, int(config.UsePercents),
          int(config.UseAbsValues));
  StatTable table;
  const bool reuse = memo_.Enabled() && !prefetch;
  if (auto known = tables_.find(tableKey); reuse && known != tables_.end()) {
    table = known->second;
  } else {
    table = ComputeStatTable(registry, method, params, prefetch ? &*prefetch : nullptr, false);
    if (reuse) tables_[tableKey] = table;
  }
  if (ctx_.observer) ctx_.observer->TableUsed(method, p.drawCount);
  SortStatRows(table.rows, item.sortColumn, true);
  if (CheckStop()) return;

  auto stat = registry.CreateInstance(method);
  if (log_.enabled)
    for (const StatRow& row : table.rows) Write(RowText(row));
  if (CheckStop()) return;

  const RowCondition condition(static_cast<ConditionMode>(item.conditionMode), PartConditionValue(f, p));
  const auto stopMode = static_cast<StopMode>(item.stopMode);
  const int lastIndex = FilterLastIndex(ctx_.archive, offset);
  const bool sorted = ctx_.settings.sortedDraws;
  const FilterMode mode = item.keepSelected ? FilterMode::KeepSelected : FilterMode::RemoveSelected;
  const char* const modeLine = item.keepSelected ? "Оставляем выделенные значения..." : "Удаляем выделенные значения...";
  WalkState walk;
  walk.maxStake = config.LargestExtendedStake();
  bool distinctKnown = false;
  std::vector<int> selected;
  const int n = int(table.rows.size());
  for (int k = 0; k < n; ++k) {
    const int r = item.bottomUp ? n - 1 - k : k;
    if (CheckStop()) break;
    walk.count = combs.Count();
    if (stopMode == StopMode::Numbers && !distinctKnown) {
      walk.distinct = int(DistinctNumbers().size());
      distinctKnown = true;
    }
    const StatRow& row = table.rows[size_t(r)];
    if (StopBeforeRow(stopMode, item.stopValue, item.multiSelect, item.bottomUp, walk, row)) break;
    const bool holds = condition.Holds(row);
    if (item.multiSelect) {
      if (holds) {
        selected.push_back(r);
        if (log_.enabled) Write(Fmt("Шаг %.3d. Выделение строки: %s", walk.step + 1, RowText(row).c_str()));
      }
      ++walk.step;
      continue;
    }
    if (!holds) continue;
    if (log_.enabled) Write(Fmt("Шаг %.3d. Выделение строки: %s", walk.step + 1, RowText(row).c_str()));
    Write(modeLine);
    const int left = memo_.KeepOrRemove(combs, *stat, method, config, SelectRows(table.rows, {r}), mode, lastIndex,
                                        sorted, caption, &ctx_.host);
    Write(Fmt("Количество комбинаций в списке: %d", left));
    distinctKnown = false;
    if (left > 0) {
      ++walk.step;
      continue;
    }
    Write("{UNDO} Откат изменений...");
    combs.RestoreSnapshot(true);
    memo_.Restored();
    combs.AddUndoRow();
    if (stopMode == StopMode::UntilEmpty) break;
  }
  if (item.multiSelect && !control_.stopping_) {
    Write(modeLine);
    const int left = memo_.KeepOrRemove(combs, *stat, method, config, SelectRows(table.rows, selected), mode,
                                        lastIndex, sorted, caption, &ctx_.host);
    Write(Fmt("Количество комбинаций в списке: %d", left));
    if (left == 0) {
      Write("{UNDO} Откат изменений...");
      combs.RestoreSnapshot(true);
      memo_.Restored();
      combs.AddUndoRow();
    }
  }
}

void ScenarioRunner::MakeStakes(const ScenarioOptions& o, int line, int variant, const std::string& comment,
                                const std::string& description) {
  CombinationSet& combs = ctx_.combs;
  const uint8_t mode = o.stakeMode < kStakeModes ? o.stakeMode : 0;
  Write(Fmt("{*} Добавление ставки, режим: \"%s\"", StakeModeTexts()[mode]));
  stakeComment_ = StakeComment(line, variant, comment, description);
  newOnly_ = o.newOnly;
  stakeDraw_ = ctx_.archive.NextDrawNumber(std::max(ctx_.offset(), 0));
  const int q = combs.Count();
  const auto m = static_cast<StakeMode>(mode);
  if (q > 0 && m != StakeMode::None) {
    if (q > 1 && m == StakeMode::Stop) {
      control_.stopping_ = true;
      Write("{!} Сценарий остановлен!");
      ctx_.host.ShowWarning(Fmt("Выполнение сценария прервано, т.к. после применения всех фильтров в списке "
                                "комбинаций их осталось более одной: %d!\r\rФильтры: %s",
                                q, stakeComment_.c_str()));
    } else if (m == StakeMode::Skip) {
      Write("{-} Ставка игнорирована!");
    } else if (!control_.stopping_) {
      const CombBuffer& list = combs.Working();
      if (q == 1) {
        Stake(ToNumberSet(list[0]), false);
      } else {
        switch (m) {
          case StakeMode::Extended: {
            std::vector<int> numbers = DistinctNumbers();
            const size_t limit = size_t(ctx_.registry.Config().data.LargestExtendedStake());
            if (numbers.size() > limit && !seeded_) rng_.seed(std::random_device{}());
            while (numbers.size() > limit) {
              std::uniform_int_distribution<size_t> pick(0, numbers.size() - 1);
              numbers.erase(numbers.begin() + std::ptrdiff_t(pick(rng_)));
            }
            NumberSet s;
            s.count = int32_t(std::min(numbers.size(), s.values.size()));
            for (size_t i = 0; i < size_t(s.count); ++i) s.values[i] = uint8_t(numbers[i]);
            Stake(s, false);
            break;
          }
          case StakeMode::Random: {
            std::uniform_int_distribution<int> pick(0, q - 1);
            Stake(ToNumberSet(list[pick(rng_)]), false);
            break;
          }
          case StakeMode::First:
            Stake(ToNumberSet(list[0]), false);
            break;
          case StakeMode::Last:
            Stake(ToNumberSet(list[q - 1]), false);
            break;
          case StakeMode::All:
            for (int i = 0; i < combs.Count(); ++i) {
              if (CheckStop()) break;
              Stake(ToNumberSet(combs.Working()[i]), true);
            }
            break;
          case StakeMode::SystemAll:
          case StakeMode::SystemCombs:
            SystemStakes(m == StakeMode::SystemAll);
            break;
          default:
            break;
        }
      }
    }
  }
  if (ctx_.observer) ctx_.observer->RefreshStakes(true, true);
}

std::vector<int> ScenarioRunner::DistinctNumbers() {
  // Variants that met the same steps end on the same list: its numbers are
  // known then.
  const uint64_t node = memo_.Node();
  if (node != 0 && node == distinctNode_) return distinct_;
  const CombBuffer& list = ctx_.combs.Working();
  distinct_ = DistinctInOrder(list.Data(), size_t(list.Count()));
  distinctNode_ = node;
  return distinct_;
}

void ScenarioRunner::SystemStakes(bool all) {
  const CombBuffer& list = ctx_.combs.Working();
  const std::vector<int> numbers = DistinctNumbers();
  const int k = int(numbers.size());
  const SystemLoad load = ctx_.systems ? ctx_.systems->LoadSystemFor(numbers) : MissingSystem(ctx_.host, k);
  if (!load.ok) {
    Write(Fmt("{#} Системная игра для %d чисел [ОШИБКА]: \"%s\"", k, load.text.c_str()));
    return;
  }
  Write(Fmt(all ? "{#} Системная игра для %d чисел [все система]: загружен файл \"%s\""
                : "{#} Системная игра для %d чисел [система * комбинации]: загружен файл \"%s\"",
            k, SystemFileStem(load.text).c_str()));
  // The list's combinations byte for byte, in stored order.
  std::unordered_set<uint64_t> inList;
  auto key = [](const Combination& c) {
    uint64_t v = 0;
    for (uint8_t x : c) v = v << 8 | x;
    return v;
  };
  if (!all)
    for (int i = 0; i < list.Count(); ++i) inList.insert(key(list[i]));
  for (Combination c : load.combinations) {
    SortFive(c);
    if (!all && !inList.count(key(c))) continue;
    if (control_.stopping_) break;
    Stake(ToNumberSet(c), true);
  }
}

void ScenarioRunner::Stake(const NumberSet& numbers, bool quiet) {
  StakeStore& stakes = ctx_.stakes;
  const std::string text = NumberSetText(numbers, ";");
  if (newOnly_ && stakes.Contains(stakeDraw_, numbers)) {
    Write(Fmt("{-} Ставка на тираж %d не добавлена, так как уже имеется в списке ставок: [%s]", stakeDraw_,
              text.c_str()));
  } else {
    const StakeRecord r = MakeStake(StakeKind::Scenario, stakeDraw_, numbers, ctx_.combs.Count(), stakeComment_,
                                    ctx_.registry.Config().data);
    const bool added = stakes.Append(r, 1);
    if (ctx_.observer) ctx_.observer->RefreshStakes(false, quiet ? ctx_.settings.stakesScrollEnabled : true);
    if (added) {
      Write(Fmt("{+} Ставка на тираж %d добавлена в список ставок: [%s]", stakeDraw_, text.c_str()));
      ++status_.stakes;
      if (ctx_.observer) ctx_.observer->StakeAdded(r);
    } else {
      // The store has shown why. A full disk would fail every later append
      // the same way, one message each: the run ends here.
      control_.stopping_ = true;
      if (!result_.failed) {
        result_.failed = true;
        result_.error = "Ошибка добавления записи в файл ставок!";
      }
    }
  }
  if (quiet) {
    const int64_t now = NowMs();
    if (now - lastQuietMs_ < kQuietStatusMs) return;
    lastQuietMs_ = now;
  }
  ShowStatus();
}

}  // namespace px
