#include "ui/ratings_page.h"
#include "ui/page_context.h"

#include "ui/command_bar.h"
#include "ui/context_menu.h"
#include "ui/list_view.h"

#include <QAction>
#include <QColor>
#include <QDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <set>
#include <unordered_set>

#include "core/config.h"
#include "core/errors.h"
#include "export/xlsx_export.h"
#include "frame/frame.h"
#include "scenario/ratings_script.h"
#include "stakes/ratings.h"
#include "ui/graph_window.h"
#include "ui/spreadsheet.h"

namespace px::ui {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* kNoDraws =
    "Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более одного тиража!";
constexpr const char* kGraphStatus = "Создание графиков...";
constexpr int kAllCombinations = 376992;
// The stakes graphs cover this many of the latest draws.
constexpr size_t kGraphDraws = 100;

}  // namespace

// ---- RatingsModel

RatingsModel::RatingsModel(TTemplateMain& frame, QObject* parent) : QAbstractTableModel(parent), frame_(frame) {}

int RatingsModel::rowCount(const QModelIndex& parent) const {
  const Ratings* ratings = frame_.RatingsStore();
  return parent.isValid() || !ratings ? 0 : static_cast<int>(ratings->Count());
}

int RatingsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kRatingColumns; }

QVariant RatingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kRatingColumns) return {};
  if (role == Qt::DisplayRole) return Q(RatingTitles()[size_t(section)]);
  // The numbers as the entries hold them now, at least four digits wide.
  if (role == kWidestTextRole && section > 0) {
    std::string widest = "0000";
    if (const Ratings* ratings = frame_.RatingsStore())
      for (const RatingEntry& e : ratings->Entries()) {
        std::string text = RatingCellText(e, section, frame_.Settings().RatingsEffMode);
        if (text.size() > widest.size()) widest = std::move(text);
      }
    return AnyDigits(Q(widest));
  }
  // A new column starts ascending on every platform.
  if (role == Qt::InitialSortOrderRole) return int(Qt::AscendingOrder);
  return {};
}

QVariant RatingsModel::data(const QModelIndex& index, int role) const {
  const int column = index.column();
  if (role == Qt::TextAlignmentRole) {
    if (column == 0) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (column == 4 || column == 5) return int(Qt::AlignRight | Qt::AlignVCenter);
    return int(Qt::AlignCenter);
  }
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  const Ratings* ratings = frame_.RatingsStore();
  const size_t row = size_t(index.row());
  if (!ratings || row >= ratings->Count()) return column == 0 ? U("# bad data #") : QString();
  return Q(RatingCellText(ratings->Entries()[row], column, frame_.Settings().RatingsEffMode));
}

void RatingsModel::Reload() {
  beginResetModel();
  endResetModel();
}

void RatingsModel::Repaint() {
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, kRatingColumns - 1));
}

// ---- RatingsPage

RatingsPage::RatingsPage(TTemplateMain& frame, QWidget* parent) : QWidget(parent), frame_(frame) {
  model_ = new RatingsModel(frame, this);
  view_ = MakeRecordGrid(this, "lvRatings", model_);
  for (size_t i = 0; i < kColumnWidths.size(); ++i) view_->setColumnWidth(int(i), kColumnWidths[i]);
  QHeaderView* header = view_->horizontalHeader();
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  // The header flips its own indicator first; SortBy then sets the one the
  // rating really uses.
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) { SortBy(column); });
  connect(view_, &QTableView::doubleClicked, this, [this] {
    if (HasSelection()) RatingsGraphOverlap();
  });

  QToolBar* bar = MakeCommandBar(this,
                                 {"Пересчитать рейтинг по текущим данным", "Добавить в сценарий", "Экспорт в Excel",
                                  "График совпадений ставок", "График профита ставок", "Количество совпадений"},
                                 buttons_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(bar);
  layout->addWidget(view_);

  Attach();
  ShowSortIndicator();
}

RatingsPage::~RatingsPage() {
  if (attached_ && frame_.RatingsStore() == attached_) attached_->onViewChanged = previousOnViewChanged_;
}

Ratings* RatingsPage::Store() const { return frame_.RatingsStore(); }

void RatingsPage::Attach() {
  Ratings* ratings = Store();
  if (!ratings || ratings == attached_) return;
  attached_ = ratings;
  // The page shares the notification with whoever listened before it.
  previousOnViewChanged_ = ratings->onViewChanged;
  ratings->onViewChanged = [this] {
    if (previousOnViewChanged_) previousOnViewChanged_();
    model_->Reload();
    ShowSortIndicator();
    // A run changes the rating at every check: its widths follow once the page shows.
    if (!frame_.ScenarioRunning()) FitColumns(*view_);
  };
}

void RatingsPage::BindButtons(const std::array<QAction*, 6>& actions) { BindCommandBar(buttons_, actions); }

bool RatingsPage::Run(QDialog& dialog) {
  if (runDialog) return runDialog(dialog);
  return dialog.exec() == QDialog::Accepted;
}

void RatingsPage::RefreshView() {
  Attach();
  model_->Reload();
  ShowSortIndicator();
  FitColumns(*view_);
  if (Ratings* ratings = Store()) frame_.GetHost().SetStatusPanel(5, ratings->CountText());
}

std::vector<int> RatingsPage::SelectedRows() const {
  std::vector<int> rows;
  if (!view_->selectionModel()) return rows;
  const int count = model_->rowCount();
  for (const QModelIndex& i : view_->selectionModel()->selectedRows())
    if (i.row() < count) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::string> RatingsPage::SelectedComments() const {
  std::vector<std::string> comments;
  const Ratings* ratings = Store();
  if (!ratings) return comments;
  for (int row : SelectedRows()) comments.push_back(ratings->Entries()[size_t(row)].comment);
  return comments;
}

bool RatingsPage::CanRefresh() const { return Store() && frame_.StakesOpen(); }
bool RatingsPage::HasEntries() const { return Store() && Store()->Count() > 0; }
bool RatingsPage::HasSelection() const { return !SelectedRows().empty(); }
bool RatingsPage::CanGraphStakes() const {
  return frame_.Stakes() && frame_.Stakes()->HasRecords() && HasSelection();
}
bool RatingsPage::CanAddToScript() const { return scenario_ && HasSelection(); }

int RatingsPage::EffMode() const { return frame_.Settings().RatingsEffMode; }

void RatingsPage::showEvent(QShowEvent* event) {
  FitColumns(*view_);
  QWidget::showEvent(event);
}

void RatingsPage::SetEffMode(int mode) {
  if (mode < 0 || mode > 2) return;
  frame_.SetIntSetting(&MainSettings::RatingsEffMode, "RatingsEffMode", mode);
  FitColumns(*view_);
  model_->Repaint();
  view_->viewport()->update();
}

void RatingsPage::SortBy(int column) {
  Ratings* ratings = Store();
  if (!ratings || column < 0 || column >= kRatingColumns) return;
  const RatingSort now = ratings->SortOrder();
  ApplySort(column, now.column == column ? !now.descending : false);
}

void RatingsPage::ApplySort(int column, bool descending) {
  Ratings* ratings = Store();
  ratings->SetSortOrder({column, descending});
  {
    TTemplateMain::Busy busy(frame_);
    ratings->Sort();  // saves, which reloads the rows
  }
  ShowSortIndicator();
}

void RatingsPage::ShowSortIndicator() {
  const Ratings* ratings = Store();
  if (!ratings) return;
  const RatingSort sort = ratings->SortOrder();
  const QSignalBlocker block(view_->horizontalHeader());
  view_->horizontalHeader()->setSortIndicator(sort.column, sort.descending ? Qt::DescendingOrder
                                                                           : Qt::AscendingOrder);
}

bool RatingsPage::RatingsRefresh() {
  Ratings* ratings = Store();
  if (!ratings || !frame_.StakesOpen()) return false;
  TTemplateMain::Busy busy(frame_);
  return ratings->Rebuild(*frame_.Stakes());
}

bool RatingsPage::RatingsExport() {
  const Ratings* ratings = Store();
  if (!ratings) return false;
  const FileFilter filter{"CSV-файлы (*.csv)|*.csv", "csv"};
  const auto path = chooseFile ? chooseFile(filter) : frame_.GetHost().ChooseSaveFile(filter);
  if (!path) return false;
  try {
    TTemplateMain::Busy busy(frame_);
    StatusScope status(frame_.GetHost(), "Экспорт в CSV-файл...");
    ratings->ExportCsvTo(*path);
    return true;
  } catch (const std::exception& e) {
    frame_.GetHost().ShowError(e.what());
    return false;
  }
}

bool RatingsPage::RatingsXlsExport(const std::string& path) {
  try {
    TTemplateMain::Busy busy(frame_);
    WriteXlsx(path, TableOf(*view_, U("Рейтинг")));
    return true;
  } catch (const std::exception& e) {
    frame_.GetHost().ShowError(e.what());
    return false;
  }
}

void RatingsPage::RatingsGraphOverlap() {
  const Ratings* ratings = Store();
  const std::vector<int> rows = SelectedRows();
  if (!ratings || rows.empty()) return;
  GraphWindow graph(U("График количества совпадений для выделенных строк рейтинга"), frame_.SettingsStore(), this);
  {
    TTemplateMain::Busy busy(frame_);
    StatusScope status(frame_.GetHost(), kGraphStatus);
    int32_t most = 0;
    for (int row : rows) most = std::max(most, ratings->Entries()[size_t(row)].stakes);
    const auto& table = frame_.MatchProbabilityTable();
    for (int k = 0; k <= 5; ++k)
      graph.AddPoint(k, U("Нормальные значения"), double(table[size_t(k)].count) * most / kAllCombinations, true,
                     false, QColor(Qt::gray));
    for (int row : rows) {
      const RatingEntry& e = ratings->Entries()[size_t(row)];
      for (int k = 0; k <= 5; ++k) graph.AddPoint(k, Q(e.comment), e.histogram[size_t(k)], true, false, QColor());
    }
  }
  Run(graph);
}

void RatingsPage::StakesGraphOverlap() { StakesGraph(false); }
void RatingsPage::StakesGraphProfits() { StakesGraph(true); }

void RatingsPage::StakesGraph(bool profits) {
  StakeStore* store = frame_.Stakes();
  if (!store || !store->HasRecords()) return;
  GraphWindow graph(profits ? U("График профита для всех ставок по тиражам")
                             : U("График количества совпадений для всех ставок по тиражам"),
                    frame_.SettingsStore(), this);
  if (profits) graph.SetMoneyValues();
  bool enough = false;
  {
    TTemplateMain::Busy busy(frame_);
    StatusScope status(frame_.GetHost(), kGraphStatus);
    // The series are named by the entries' comments, found by their keys.
    std::vector<std::pair<std::string, std::string>> selected;
    for (const std::string& c : SelectedComments()) selected.emplace_back(RatingKey(c), c);
    auto counts = [](const StakeRecord& r) { return r.checked != 0 && r.drawNumber > 0 && r.matches.count >= 0; };
    if (!selected.empty()) {
      // Back from the end until a 101st draw would start: the graphs show the
      // latest draws only.
      const int64_t total = store->RecordCount();
      std::set<int32_t> draws;
      int64_t start = 0;
      for (int64_t i = total - 1; i >= 0; --i) {
        const StakeRecord r = store->ReadRecord(i);
        if (!counts(r) || draws.count(r.drawNumber)) continue;
        if (draws.size() == kGraphDraws) {
          start = i + 1;
          break;
        }
        draws.insert(r.drawNumber);
      }
      enough = draws.size() >= 2;
      for (int64_t i = start; enough && i < total; ++i) {
        const StakeRecord r = store->ReadRecord(i);
        if (!counts(r)) continue;
        const std::string key = RatingKey(r.comment);
        for (const auto& [selectedKey, comment] : selected) {
          if (selectedKey != key) continue;
          const double y = profits ? double(CurrencyValue(r.profit)) : double(r.matches.count);
          graph.AddPoint(r.drawNumber, Q(comment), y, true, true, QColor());
          break;
        }
      }
    }
  }
  if (!enough) {
    frame_.GetHost().ShowInfo(kNoDraws);
    return;
  }
  Run(graph);
}

int RatingsPage::RatingsToScript() {
  if (!scenario_) return 0;
  const std::vector<std::string> comments = SelectedComments();
  if (comments.empty()) return 0;
  int added = 0;
  {
    TTemplateMain::Busy busy(frame_);
    added = ::px::RatingsToScript(comments, frame_.Registry(), *scenario_, frame_.GetHost());
  }
  if (added > 0) emit ScenarioLinesAdded(added);
  return added;
}

void RatingsPage::BindCommands(CommandBinder& c) {
  BindButtons({c.Action("RatingsRefresh"), c.Action("RatingsToScript"), c.Action("RatingsXlsExport"),
               c.Action("StakesGraphOverlap"), c.Action("StakesGraphProfits"), c.Action("RatingsGraphOverlap")});
  if (context_) SetContextMenu(*view_, *context_, c, {}, "Рейтинг");
  c.Bind("RatingsRefresh", [this] { RatingsRefresh(); }, [this] { return CanRefresh(); });
  c.Bind("RatingsToScript", [this] { RatingsToScript(); }, [this] { return CanAddToScript(); });
  c.Bind("RatingsExport", [this] { RatingsExport(); }, [this] { return HasEntries(); });
  c.Bind("RatingsXlsExport", [this] {
    const auto file = chooseFile ? chooseFile(kSpreadsheetFiles) : frame_.GetHost().ChooseSaveFile(kSpreadsheetFiles);
    if (file) RatingsXlsExport(*file);
  }, [this] { return HasEntries(); });
  c.Bind("RatingsGraphOverlap", [this] { RatingsGraphOverlap(); }, [this] { return HasSelection(); });
  c.Bind("StakesGraphOverlap", [this] { StakesGraphOverlap(); }, [this] { return CanGraphStakes(); });
  c.Bind("StakesGraphProfits", [this] { StakesGraphProfits(); }, [this] { return CanGraphStakes(); });
  for (int i = 0; i < 3; ++i) c.Bind("RatingsEffMode" + std::to_string(i), [this, i] { SetEffMode(i); });
}

}  // namespace px::ui
