#include "ui/stakes_page.h"
#include "frame/messages.h"
#include "ui/page_context.h"
#include "ui/combs_page.h"

#include "ui/command_bar.h"
#include "ui/context_menu.h"
#include "ui/list_view.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QRandomGenerator>
#include <QTableView>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "core/errors.h"
#include "export/xlsx_export.h"
#include "frame/frame.h"
#include "ui/graph_window.h"
#include "ui/spreadsheet.h"
#include "ui/stake_dialogs.h"

namespace px::ui {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* kManualComment = "Ставка \"вручную\"";
// The stakes ask their deletions under this caption, not "Подтверждение".
constexpr const char* kDeleteCaption = "Предупреждение";
constexpr const char* kNoDraws =
    "Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более одного тиража!";

bool Matched(const StakeRecord& r, int n) {
  for (int i = 0; i < std::clamp(r.matches.count, 0, 12); ++i)
    if (r.matches.values[size_t(i)] == n) return true;
  return false;
}

QString RichNumbers(const StakeRecord& r, const std::vector<int>& numbers) {
  QStringList parts;
  for (int n : numbers) {
    const QString text = QString::number(n);
    parts << (Matched(r, n) ? QString("<b style=\"color:#0000ff\">%1</b>").arg(text) : text);
  }
  return parts.join("&nbsp;");
}

}  // namespace

// ---- StakesModel

StakesModel::StakesModel(TTemplateMain& frame, QObject* parent) : QAbstractTableModel(parent), frame_(frame) {
  records_ = Store() ? Store()->RecordCount() : 0;
}

StakeStore* StakesModel::Store() const { return frame_.Stakes(); }

int StakesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::max<int64_t>(records_, 1));
}

int StakesModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(StakeGridTitles().size());
}

QString StakesModel::WidestText(int column) const {
  const TConfigData& config = frame_.Config().data;
  const int most = config.LargestExtendedStake();
  auto numbers = [](int n) {
    QStringList parts;
    for (int i = 0; i < n; ++i) parts << QStringLiteral("00");
    return parts.join(';');
  };
  switch (column) {
    case 0:
      return AnyDigits(QString::number(std::max(frame_.Archive().NextDrawNumber(0), 99999)));
    case 2:
      return numbers(most);
    case 3:
      return AnyDigits(QString::number(std::max(frame_.Combs().Count(), 376992)));
    case 4:
    case 6:
      return numbers(5);
    case 5:
      return QStringLiteral("00");
    case 7: {
      // Every stake the configuration allows, unchecked or with any matches.
      QString widest;
      for (int n = 5; n <= most; ++n)
        for (int m = -1; m <= 5; ++m) {
          const QString text = AnyDigits(Q(MoneyText(StakeProfit(config, n, m))));
          if (text.size() > widest.size()) widest = text;
        }
      return widest;
    }
    default:
      return {};
  }
}

QVariant StakesModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == kWidestTextRole && orientation == Qt::Horizontal) {
    const QString widest = WidestText(section);
    return widest.isEmpty() ? QVariant() : QVariant(widest);
  }
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  const auto& titles = StakeGridTitles();
  return section >= 0 && size_t(section) < titles.size() ? Q(titles[size_t(section)]) : QVariant();
}

QVariant StakesModel::data(const QModelIndex& index, int role) const {
  const int column = index.column();
  if (role == Qt::TextAlignmentRole) {
    if (column == 7) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (column == 8) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return int(Qt::AlignCenter);
  }
  StakeStore* store = Store();
  // The file may have shrunk before Sync: such rows are blank.
  if (!index.isValid() || !store || index.row() >= store->RecordCount() || index.row() >= records_) return {};
  if (role != Qt::DisplayRole && role != Qt::BackgroundRole && role != Qt::ForegroundRole && role != RichTextRole)
    return {};
  // The store's one-record cache makes the reads of one row a single file read.
  const StakeRecord r = store->ReadRecord(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return Q(StakeCellText(r, column));
    case Qt::BackgroundRole:
      if (auto colour = StakeKindColour(r.kind)) return QColor::fromRgb(*colour);
      return {};
    case Qt::ForegroundRole:
      if (!r.IsBlankRow() && r.checked && column >= 5 && column <= 7)
        return QColor(r.profit > 0 ? Qt::darkGreen : Qt::red);
      return {};
    case RichTextRole: {
      if (r.IsBlankRow()) return {};
      std::vector<int> numbers;
      if (column == 2) {
        for (int i = 0; i < std::clamp(r.numbers.count, 0, 12); ++i) numbers.push_back(r.numbers.values[size_t(i)]);
      } else if (column == 4 && r.checked) {
        for (uint8_t n : r.drawNumbers) numbers.push_back(n);
      } else {
        return {};
      }
      return RichNumbers(r, numbers);
    }
    default:
      return {};
  }
}

bool StakesModel::Sync() {
  const int64_t now = Store() ? Store()->RecordCount() : 0;
  if (now == records_) return false;
  const int before = rowCount();
  const int after = static_cast<int>(std::max<int64_t>(now, 1));
  if (after > before) {
    beginInsertRows({}, before, after - 1);
    records_ = now;
    endInsertRows();
  } else if (after < before) {
    beginRemoveRows({}, after, before - 1);
    records_ = now;
    endRemoveRows();
  } else {
    records_ = now;
  }
  // The remaining rows may now show other records.
  emit dataChanged(index(0, 0), index(after - 1, columnCount() - 1));
  return true;
}

// ---- RichTextDelegate

void RichTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QVariant rich = index.data(StakesModel::RichTextRole);
  if (!rich.isValid()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  opt.text.clear();
  QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

  QTextDocument doc;
  doc.setDocumentMargin(0);
  doc.setDefaultFont(opt.font);
  doc.setHtml(rich.toString());
  QAbstractTextDocumentLayout::PaintContext context;
  const bool selected = opt.state & QStyle::State_Selected;
  context.palette.setColor(QPalette::Text, opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  const double x = opt.rect.left() + std::max(0.0, (opt.rect.width() - doc.idealWidth()) / 2);
  painter->save();
  painter->setClipRect(opt.rect);
  painter->translate(x, opt.rect.top() + 2);
  doc.documentLayout()->draw(painter, context);
  painter->restore();
}

// ---- StakesPage

StakesPage::StakesPage(TTemplateMain& frame, QWidget* parent) : QWidget(parent), frame_(frame) {
  model_ = new StakesModel(frame, this);
  view_ = MakeRecordGrid(this, "StakesGrid", model_);
  view_->setItemDelegate(new RichTextDelegate(view_));
  for (size_t i = 0; i < kColumnWidths.size(); ++i) view_->setColumnWidth(int(i), kColumnWidths[i]);

  QToolBar* bar = MakeCommandBar(this,
                                 {"Сделать ставку", "Случайная ставка", "Удалить по условию", "Удалить все ставки",
                                  "Суммарный профит по тиражам", "Экспорт в Excel"},
                                 buttons_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(bar);
  layout->addWidget(view_);
}

void StakesPage::SetSources(CombsPage& combs, PageContext& context) {
  combs_ = &combs;
  context_ = &context;
  host_ = &context.GetHost();
}

void StakesPage::BindButtons(const std::array<QAction*, 6>& actions) { BindCommandBar(buttons_, actions); }

bool StakesPage::Run(QDialog& dialog) {
  if (runDialog) return runDialog(dialog);
  return dialog.exec() == QDialog::Accepted;
}

bool StakesPage::CanAdd() const { return frame_.StakesOpen(); }
bool StakesPage::HasRecords() const { return frame_.Stakes() && frame_.Stakes()->HasRecords(); }
bool StakesPage::HasSelection() const { return HasRecords() && !SelectedRows().empty(); }

std::vector<int> StakesPage::SelectedRows() const {
  std::vector<int> rows;
  if (!view_->selectionModel()) return rows;
  for (const QModelIndex& i : view_->selectionModel()->selectedRows())
    if (i.row() < model_->Records()) rows.push_back(i.row() + 1);
  std::sort(rows.begin(), rows.end());
  return rows;
}

void StakesPage::RefreshView(bool refreshRows, bool moveToLast) {
  StakeStore* store = frame_.Stakes();
  if (refreshRows || moveToLast || !store || !store->HasRecords()) model_->Sync();
  const int last = model_->rowCount() - 1;
  if (moveToLast || !HasRecords()) {
    const int row = HasRecords() ? last : 0;
    view_->selectionModel()->setCurrentIndex(model_->index(row, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(model_->index(row, 0));
  }
  if (refreshRows) Repaint();
  if (store) frame_.GetHost().SetStatusPanel(4, store->CountText());
}

void StakesPage::Refresh() { RefreshView(true, frame_.Settings().StakesScrollEnabled); }

void StakesPage::Repaint() {
  if (model_->rowCount() > 0)
    emit model_->dataChanged(model_->index(0, 0), model_->index(model_->rowCount() - 1, model_->columnCount() - 1));
  view_->viewport()->update();
}

void StakesPage::CheckAndRefresh() {
  frame_.CheckStakes();
}

int32_t StakesPage::NextDrawNumber() const {
  return std::max(frame_.Archive().NextDrawNumber(frame_.DrawsOffset()), 1);
}

StakeRecord StakesPage::NewManual(const Combination* proposed, int32_t drawNumber, std::string comment) const {
  NumberSet numbers;
  if (proposed) numbers = ToNumberSet(*proposed);
  return MakeStake(StakeKind::Manual, drawNumber, numbers, frame_.Combs().Count(), std::move(comment),
                   frame_.Config().data);
}

void StakesPage::AddManual(std::optional<Combination> proposed) {
  StakeStore* store = frame_.Stakes();
  if (!CanAdd()) return;
  TFormStake dialog(NewManual(proposed ? &*proposed : nullptr, NextDrawNumber(), kManualComment), 1,
                    [this](const std::string& text) { frame_.GetHost().ShowError(text); }, this);
  if (!Run(dialog)) return;
  bool appended = false;
  {
    StatusScope status(frame_.GetHost(), "Создание ставки...");
    appended = store->Append(dialog.Result(), dialog.DrawCount());
    if (appended) CheckAndRefresh();
  }
  if (appended) RefreshView(true, true);
}

void StakesPage::AddRandom() {
  const int count = frame_.Combs().Count();
  if (count <= 0) return;
  AddManual(frame_.Combs().Working()[int(QRandomGenerator::global()->bounded(count))]);
}

void StakesPage::AddSelected(const std::vector<int>& combRows) {
  std::vector<Combination> combs;
  const int count = frame_.Combs().Count();
  for (int row : combRows)
    if (row >= 0 && row < count) combs.push_back(frame_.Combs().Working()[row]);
  if (!combs.empty()) AddMany(combs);
}

void StakesPage::AddAll() {
  if (frame_.Combs().Count() > 0) AddMany(frame_.Combs().ToVector());
}

void StakesPage::AddMany(const std::vector<Combination>& combs) {
  StakeStore* store = frame_.Stakes();
  if (!CanAdd()) return;
  MultiStakeDialog dialog(NextDrawNumber(), 1, kManualComment,
                          [this](const std::string& text) { frame_.GetHost().ShowError(text); }, this);
  if (!Run(dialog)) return;
  bool lastOk = false;
  {
    TTemplateMain::Busy busy(frame_);
    StatusScope status(frame_.GetHost(), "Создание ставок...");
    const bool scroll = frame_.Settings().StakesScrollEnabled;
    for (const Combination& c : combs) {
      const StakeRecord r = NewManual(&c, dialog.DrawNumber(), dialog.Comment());
      frame_.GetHost().SetStatusText("Создание ставок...");
      lastOk = store->Append(r, dialog.DrawCount());
      if (!lastOk) break;
      RefreshView(false, scroll);
    }
    if (lastOk) CheckAndRefresh();
  }
  if (lastOk) RefreshView(true, true);
}

void StakesPage::DeleteSelected() {
  StakeStore* store = frame_.Stakes();
  const std::vector<int> rows = SelectedRows();
  if (!HasRecords() || rows.empty() || rows.front() < 1) return;
  if (!frame_.GetHost().AskYesNoAs(kDeleteCaption, DeleteQuestion(int64_t(rows.size())))) return;
  {
    TTemplateMain::Busy busy(frame_);
    StatusScope status(frame_.GetHost(), "Удаление ставок...");
    if (store->DeleteRows(rows.front(), rows.back())) CheckAndRefresh();
  }
  RefreshView(true, false);
}

void StakesPage::DeleteByCondition() {
  StakeStore* store = frame_.Stakes();
  if (!HasRecords()) return;
  DeleteConditionDialog dialog(condition_, this);
  if (!Run(dialog)) return;
  condition_ = dialog.Packed();
  {
    TTemplateMain::Busy busy(frame_);
    StatusScope status(frame_.GetHost(), "Удаление ставок...");
    const std::optional<MatchComparison> comparison = MatchComparisonOf(dialog.Mode());
    if (comparison && store->DeleteWhere(*comparison, dialog.Value())) CheckAndRefresh();
  }
  RefreshView(true, false);
}

void StakesPage::ClearAll() {
  StakeStore* store = frame_.Stakes();
  if (!HasRecords()) return;
  if (!frame_.GetHost().AskYesNoAs(kDeleteCaption, DeleteQuestion(store->RecordCount()))) return;
  {
    TTemplateMain::Busy busy(frame_);
    StatusScope status(frame_.GetHost(), "Удаление ставок...");
    store->Clear();
    store->Reopen();
  }
  RefreshView(false, false);
  Repaint();
  emit Cleared();
}

void StakesPage::CheckManual() {
  if (!HasRecords()) return;
  CheckAndRefresh();
  RefreshView(true, false);
}

void StakesPage::ShowDrawsGraph() {
  StakeStore* store = frame_.Stakes();
  if (!HasRecords()) return;
  std::vector<int32_t> order;
  std::map<int32_t, Currency> sums;
  {
    TTemplateMain::Busy busy(frame_);
    StatusScope status(frame_.GetHost(), "Создание графиков...");
    const int64_t count = store->RecordCount();
    for (int64_t i = 0; i < count; ++i) {
      const StakeRecord r = store->ReadRecord(i);
      if (r.drawNumber < 0) continue;
      auto [it, added] = sums.try_emplace(r.drawNumber, 0);
      if (added) order.push_back(r.drawNumber);
      it->second += r.profit;
    }
  }
  if (order.empty()) {
    frame_.GetHost().ShowInfo(kNoDraws);
    return;
  }
  Currency total = 0;
  for (const auto& [draw, sum] : sums) total += sum;
  const double average = CurrencyValue(total) / double(order.size());
  GraphWindow graph(U("График суммарного профита ставок по тиражам"), frame_.SettingsStore(), this);
  graph.SetMoneyValues();
  // The accumulated profit runs in draw order, not in the file's.
  Currency running = 0;
  for (const auto& [draw, sum] : sums) {
    running += sum;
    graph.AddPoint(draw, U("Суммарный профит ставок по тиражу"), double(CurrencyValue(sum)), true, true,
                   QColor(Qt::darkGreen));
    graph.AddPoint(draw, U("Среднее значение"), average, false, false, QColor(Qt::blue));
    graph.AddPoint(draw, U("Накопленное значение"), double(CurrencyValue(running)), true, true, QColor(Qt::red));
  }
  Run(graph);
}

bool StakesPage::ExportXlsx(const std::string& path) {
  try {
    WriteXlsx(path, TableOf(*view_, U("Ставки")));
    return true;
  } catch (const Error& e) {
    frame_.GetHost().ShowError(e.what());
    return false;
  }
}

void StakesPage::BindCommands(CommandBinder& c) {
  auto open = [this] { return CanAdd(); };
  auto hasCombs = [this] { return frame_.Combs().Count() > 0; };
  auto hasRecords = [this] { return HasRecords(); };
  BindButtons({c.Action("StakeAdd"), c.Action("StakeAddRandom"), c.Action("StakeFilter"), c.Action("StakeClear"),
               c.Action("StakesGraphDraws"), c.Action("StakesXlsExport")});
  view_->addAction(c.Action("StakeDel"));
  SetContextMenu(*view_, *context_, c, {}, "Ставки");
  c.Bind("StakeAdd", [this] {
    const std::vector<int> rows = combs_->SelectedRows();
    std::optional<Combination> proposed;
    if (!rows.empty()) proposed = frame_.Combs().Working()[rows.front()];
    AddManual(proposed);
  }, open);
  c.Bind("StakeAddRandom", [this] { AddRandom(); }, [open, hasCombs] { return open() && hasCombs(); });
  c.Bind("StakeAddSelected", [this] {
    AddSelected(combs_->SelectedRows());
    combs_->View()->clearSelection();
  }, [this, open] { return open() && !combs_->SelectedRows().empty(); });
  c.Bind("StakeAddAll", [this] { AddAll(); }, [open, hasCombs] { return open() && hasCombs(); });
  c.Bind("StakeDel", [this] { DeleteSelected(); }, [this] { return HasSelection(); });
  c.Bind("StakeFilter", [this] { DeleteByCondition(); }, hasRecords);
  c.Bind("StakeClear", [this] { ClearAll(); }, hasRecords);
  c.Bind("StakesGraphDraws", [this] { ShowDrawsGraph(); }, hasRecords);
  c.Bind("StakesXlsExport", [this] {
    if (auto file = host_->ChooseSaveFile(kSpreadsheetFiles)) ExportXlsx(*file);
  }, hasRecords);
  c.Bind("StakesCheckManual", [this] { CheckManual(); }, hasRecords);
  c.Toggle("LogStakes", &MainSettings::StakesLogEnabled, "StakesLogEnabled", [this] {
    if (StakeStore* store = frame_.Stakes()) store->SetLogEnabled(frame_.Settings().StakesLogEnabled);
  });
  c.Bind("LogStakesDelete", [this] { frame_.DeleteStakeLogs(); });
  c.Toggle("StakesScroll", &MainSettings::StakesScrollEnabled, "StakesScrollEnabled");
  c.Toggle("StakesCheckLine", &MainSettings::StakesCheckOnLine, "StakesCheckOnLine");
}

}  // namespace px::ui
