#include "ui/layout_page.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "core/host.h"
#include "frame/frame.h"
#include "ui/command_bar.h"
#include "ui/context_menu.h"
#include "ui/page_context.h"

namespace px::ui {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QColor ColourOf(uint32_t rgb) { return QColor(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)); }

constexpr int kHeaderWidth = 50;
constexpr int kColumnWidth = 40;
constexpr int kRowHeight = 18;
constexpr int kCountWidth = 50;
constexpr int kCompareDefaults[kLayoutCompareLists] = {50, 100, 200, 300, 400};
const char* const kCaption = "Схема";

// The numbers of a compare row, for sorting by them.
std::vector<int> NumbersOf(const std::string& text) {
  std::vector<int> out;
  for (int n : NumbersOfCells({text}).numbers) out.push_back(n);
  return out;
}

}  // namespace

// ---- the grid

int LayoutGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.Rows(); }
int LayoutGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.Columns(); }

uint32_t LayoutGridModel::Colour(int row, int column) const {
  // The colours count the header row and column in, as the grid shows them.
  return LayoutCellColour(grid_.Cell(row, column), column + 1, row + 1, grid_.Columns() + 1, grid_.Rows() + 1,
                          gradient_);
}

QVariant LayoutGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= grid_.Rows() || index.column() >= grid_.Columns()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return Q(grid_.Cell(index.row(), index.column()));
    case Qt::BackgroundRole:
      return ColourOf(Colour(index.row(), index.column()));
    case Qt::ForegroundRole:
      return QColor(Qt::black);
    case Qt::TextAlignmentRole:
      return int(Qt::AlignHCenter | Qt::AlignTop);
    default:
      return {};
  }
}

QVariant LayoutGridModel::headerData(int section, Qt::Orientation o, int role) const {
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
  if (role != Qt::DisplayRole || section < 0) return {};
  if (o == Qt::Horizontal) return section < grid_.Columns() ? QVariant(QString::number(grid_.draws[size_t(section)])) : QVariant();
  return section < grid_.Rows() ? QVariant(QString::number(grid_.counts[size_t(section)])) : QVariant();
}

void LayoutGridModel::SetGrid(LayoutGrid grid) {
  beginResetModel();
  grid_ = std::move(grid);
  endResetModel();
}

void LayoutGridModel::SetGradient(bool gradient) {
  gradient_ = gradient;
  if (grid_.Empty()) return;
  emit dataChanged(index(0, 0), index(grid_.Rows() - 1, grid_.Columns() - 1), {Qt::BackgroundRole});
}

SheetTable LayoutSheet(const LayoutGrid& grid, bool gradient, const std::string& title) {
  SheetTable t;
  t.title = title;
  t.headers.push_back("Кол-во");
  for (int32_t draw : grid.draws) t.headers.push_back(std::to_string(draw));
  for (int r = 0; r < grid.Rows(); ++r) {
    std::vector<std::string> row = {std::to_string(grid.counts[size_t(r)])};
    std::vector<uint32_t> fills = {kNoFill};
    for (int c = 0; c < grid.Columns(); ++c) {
      row.push_back(grid.Cell(r, c));
      fills.push_back(LayoutCellColour(grid.Cell(r, c), c + 1, r + 1, grid.Columns() + 1, grid.Rows() + 1, gradient));
    }
    t.rows.push_back(std::move(row));
    t.fills.push_back(std::move(fills));
  }
  return t;
}

// ---- a compare list

int LayoutCompareModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(list_.rows.size());
}
int LayoutCompareModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant LayoutCompareModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(list_.rows.size())) return {};
  const auto& row = list_.rows[size_t(index.row())];
  if (role == Qt::DisplayRole) return index.column() == 0 ? QString::number(row.first) : Q(row.second);
  if (role == Qt::TextAlignmentRole)
    return index.column() == 0 ? int(Qt::AlignRight | Qt::AlignVCenter) : int(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

QVariant LayoutCompareModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || role != Qt::DisplayRole) return {};
  if (section == 0) return QString::fromUtf8("Кол-во");
  if (section == 1) return Q(list_.caption);
  return {};
}

void LayoutCompareModel::sort(int column, Qt::SortOrder order) {
  sortColumn_ = column;
  descending_ = order == Qt::DescendingOrder;
  emit layoutAboutToBeChanged();
  auto& rows = list_.rows;
  // Counts are distinct, so either order is total.
  if (sortColumn_ == 1)
    std::stable_sort(rows.begin(), rows.end(), [this](const auto& a, const auto& b) {
      return descending_ ? NumbersOf(b.second) < NumbersOf(a.second) : NumbersOf(a.second) < NumbersOf(b.second);
    });
  else
    std::stable_sort(rows.begin(), rows.end(),
                     [this](const auto& a, const auto& b) { return descending_ ? a.first > b.first : a.first < b.first; });
  emit layoutChanged();
}

void LayoutCompareModel::SetList(LayoutCompareList list) {
  beginResetModel();
  list_ = std::move(list);
  endResetModel();
  sort(sortColumn_, descending_ ? Qt::DescendingOrder : Qt::AscendingOrder);
  emit headerDataChanged(Qt::Horizontal, 1, 1);
}

// ---- the page

LayoutPage::LayoutPage(PageContext& context, QWidget* parent)
    : QWidget(parent), context_(context), f_(context.Frame()) {
  setObjectName("tsLayout");
  length_ = new QSpinBox(this);
  length_->setObjectName("edLayoutLen");
  length_->setRange(1, INT_MAX);
  length_->setValue(100);
  length_->setToolTip(context.Tr("Количество тиражей, использующихся для расчета статистики"));
  length_->installEventFilter(this);
  calcButton_ = new QToolButton(this);
  calcButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  calcButton_->setText(context.Tr("Обновить"));
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(context.Tr("Тиражей:"), this));
  top->addWidget(length_);
  top->addWidget(calcButton_);
  top->addWidget(MakeCommandBar(this, {"Оставить выделенные", "Удалить выделенные"}, filterButtons_));
  top->addStretch(1);

  grid_ = new QTableView(this);
  grid_->setObjectName("sgLayout");
  model_ = new LayoutGridModel(this);
  grid_->setModel(model_);
  grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
  grid_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setWordWrap(false);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  grid_->horizontalHeader()->setMinimumSectionSize(10);
  grid_->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setMinimumSectionSize(kRowHeight);
  grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  grid_->verticalHeader()->setFixedWidth(kHeaderWidth);
  grid_->verticalHeader()->setHighlightSections(false);

  comparePanel_ = new QWidget(this);
  comparePanel_->setObjectName("pnlLayoutCompare");
  compareSplit_ = new QSplitter(Qt::Horizontal, comparePanel_);
  compareSplit_->setChildrenCollapsible(false);
  for (int k = 0; k < kLayoutCompareLists; ++k) {
    auto* column = new QWidget(compareSplit_);
    auto* field = new QSpinBox(column);
    field->setObjectName(QString("edLayoutCmp%1").arg(k + 1));
    field->setRange(1, INT_MAX);
    field->setValue(kCompareDefaults[k]);
    field->setToolTip(context.Tr("Количество тиражей, использующихся для расчета статистики в списке " +
                                 std::to_string(k + 1)));
    field->installEventFilter(this);
    compareFields_[size_t(k)] = field;
    auto* list = new QTableView(column);
    list->setObjectName(QString("lvLayoutCmp%1").arg(k + 1));
    auto* model = new LayoutCompareModel(list);
    list->setModel(model);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setWordWrap(false);
    list->verticalHeader()->hide();
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(kRowHeight);
    list->horizontalHeader()->setStretchLastSection(true);
    list->horizontalHeader()->setHighlightSections(false);
    list->setSortingEnabled(true);
    list->horizontalHeader()->setSortIndicator(0, Qt::DescendingOrder);
    // A click on a title still sorts; without the mark "Кол-во" fits in
    // full and the narrow lists keep their room for the numbers.
    list->horizontalHeader()->setSortIndicatorShown(false);
    list->setColumnWidth(0, std::max(kCountWidth, list->horizontalHeader()->sectionSizeHint(0)));
    compareLists_[size_t(k)] = list;
    compareModels_[size_t(k)] = model;

    auto* fieldRow = new QHBoxLayout;
    fieldRow->setContentsMargins(0, 0, 0, 0);
    fieldRow->addWidget(field, 1);
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(2);
    columnLayout->addLayout(fieldRow);
    columnLayout->addWidget(list, 1);
    if (k == kLayoutCompareLists - 1) {
      compareButton_ = new QToolButton(column);
      compareButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
      compareButton_->setText(context.Tr("Обновить"));
      fieldRow->addWidget(compareButton_);
    }
    compareSplit_->addWidget(column);
    connect(field, &QSpinBox::valueChanged, this, [this, k](int v) {
      int MainSettings::*keys[] = {&MainSettings::LayoutCompareLen1, &MainSettings::LayoutCompareLen2,
                                   &MainSettings::LayoutCompareLen3, &MainSettings::LayoutCompareLen4,
                                   &MainSettings::LayoutCompareLen5};
      f_.Settings().*keys[k] = v;
    });
  }
  compareSplit_->installEventFilter(this);
  auto* panelLayout = new QVBoxLayout(comparePanel_);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  panelLayout->addWidget(compareSplit_);

  split_ = new QSplitter(Qt::Vertical, this);
  split_->addWidget(grid_);
  split_->addWidget(comparePanel_);
  split_->setStretchFactor(0, 1);
  split_->setStretchFactor(1, 0);
  split_->setChildrenCollapsible(false);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(split_, 1);

  connect(length_, &QSpinBox::valueChanged, this, [this](int v) { f_.Settings().LayoutLen = v; });
  connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { context_.UpdateActions(); });
}

void LayoutPage::ReadSettings(int pageHeight) {
  const MainSettings& s = f_.Settings();
  // The fields write the settings back as they change: read them all first.
  const int len = s.LayoutLen;
  const int lens[] = {s.LayoutCompareLen1, s.LayoutCompareLen2, s.LayoutCompareLen3, s.LayoutCompareLen4,
                      s.LayoutCompareLen5};
  length_->setValue(len);
  for (int k = 0; k < kLayoutCompareLists; ++k) compareFields_[size_t(k)]->setValue(lens[k]);
  const int panel = std::max(s.LayoutCompareHeight, 0);
  split_->setSizes({std::max(pageHeight - panel, 100), panel});
}

void LayoutPage::WriteSettings() {
  MainSettings& s = f_.Settings();
  s.LayoutLen = length_->value();
  s.LayoutCompareHeight = split_->sizes().value(1, s.LayoutCompareHeight);
  const LayoutCompareLengths lens = CompareLengths();
  s.LayoutCompareLen1 = lens[0];
  s.LayoutCompareLen2 = lens[1];
  s.LayoutCompareLen3 = lens[2];
  s.LayoutCompareLen4 = lens[3];
  s.LayoutCompareLen5 = lens[4];
}

LayoutCompareLengths LayoutPage::CompareLengths() const {
  LayoutCompareLengths lens{};
  for (int k = 0; k < kLayoutCompareLists; ++k) lens[size_t(k)] = compareFields_[size_t(k)]->value();
  return lens;
}

bool LayoutPage::Shown() const { return isShown ? isShown() : isVisible(); }

bool LayoutPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == compareSplit_ && event->type() == QEvent::Resize) DivideCompareWidth();
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* field = qobject_cast<QSpinBox*>(watched);
    // Out of range the field puts its last value back and nothing is built.
    if (field && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      if (!field->hasAcceptableInput()) return QWidget::eventFilter(watched, event);
      field->interpretText();
      if (field == length_)
        BuildLayout(false);
      else
        BuildLayoutCompare(true);
      context_.UpdateActions();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void LayoutPage::DivideCompareWidth() {
  // Lists 1 to 4 a fifth of the width less a handle each, list 5 the rest.
  const int width = compareSplit_->width();
  const int handle = compareSplit_->handleWidth();
  const int each = std::max(width / kLayoutCompareLists - handle, 1);
  QList<int> sizes(kLayoutCompareLists - 1, each);
  sizes.append(std::max(width - (kLayoutCompareLists - 1) * (each + handle), 1));
  compareSplit_->setSizes(sizes);
}

void LayoutPage::FitGridColumns() {
  const QFontMetrics metrics = grid_->fontMetrics();
  const LayoutGrid& g = model_->Grid();
  for (int c = 0; c < g.Columns(); ++c) {
    int width = kColumnWidth;
    for (int r = 0; r < g.Rows(); ++r)
      width = std::max(width, metrics.horizontalAdvance(Q(g.Cell(r, c))) + 10);
    grid_->setColumnWidth(c, width);
  }
}

void LayoutPage::BuildLayout(bool forced) {
  if (!Shown()) return;
  const LayoutInputs inputs{f_.Archive().Count(), f_.DrawsOffset(), length_->value()};
  if (!forced && inputs == last_) return;
  last_ = inputs;
  f_.Settings().LayoutLen = length_->value();
  ++computations_;
  TTemplateMain::Busy busy(f_);
  StatusScope status(f_.GetHost(), "Построение схемы выпадения номеров...");
  model_->SetGradient(f_.Settings().LayoutGradient);
  model_->SetGrid(BuildLayoutGrid(f_.Archive(), f_.DrawsOffset(), length_->value()));
  FitGridColumns();
}

void LayoutPage::BuildLayoutCompare(bool forced) {
  if (!Shown()) return;
  const LayoutCompareInputs inputs{f_.Archive().Count(), f_.DrawsOffset()};
  if (!forced && inputs == lastCompare_) return;
  lastCompare_ = inputs;
  ++compareComputations_;
  TTemplateMain::Busy busy(f_);
  StatusScope status(f_.GetHost(), "Построение схемы выпадения номеров...");
  const auto lists = px::BuildLayoutCompare(f_.Archive(), f_.DrawsOffset(), CompareLengths());
  for (int k = 0; k < kLayoutCompareLists; ++k) compareModels_[size_t(k)]->SetList(lists[size_t(k)]);
}

void LayoutPage::Repaint() { model_->SetGradient(f_.Settings().LayoutGradient); }

bool LayoutPage::HasSelection() const {
  return grid_->selectionModel() && !grid_->selectionModel()->selectedIndexes().isEmpty();
}

LayoutSelectionNumbers LayoutPage::SelectedNumbers() const {
  const QModelIndexList selected = grid_->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return {};
  // The selection is one rectangle: its corners are the extremes.
  int top = INT_MAX, bottom = -1, left = INT_MAX, right = -1;
  for (const QModelIndex& i : selected) {
    top = std::min(top, i.row());
    bottom = std::max(bottom, i.row());
    left = std::min(left, i.column());
    right = std::max(right, i.column());
  }
  return NumbersOfSelection(model_->Grid(), top, bottom, left, right);
}

void LayoutPage::Filter(bool keep) {
  const LayoutSelectionNumbers n = SelectedNumbers();
  f_.CombsKeepNumbers(n.numbers, keep ? FilterMode::KeepSelected : FilterMode::RemoveSelected, kCaption,
                      n.valuesText);
}

void LayoutPage::Export() {
  auto file = f_.GetHost().ChooseSaveFile(kSpreadsheetFiles);
  if (!file) return;
  TTemplateMain::Busy busy(f_);
  StatusScope status(f_.GetHost(), "Подождите пожалуйста...");
  WriteXlsx(f_.GetEnv(), *file,
            LayoutSheet(model_->Grid(), f_.Settings().LayoutGradient, context_.Tr(kCaption).toStdString()));
}

void LayoutPage::BindCommands(CommandBinder& c) {
  auto tab = [this] { return f_.Settings().TabLayout; };
  c.Bind("LayoutCalc", [this] { BuildLayout(true); }, [this, tab] { return tab() && !f_.Archive().Empty(); });
  c.Bind("LayoutCmpCalc", [this] { BuildLayoutCompare(true); }, [this, tab] { return tab() && !f_.Archive().Empty(); });
  auto canFilter = [this, tab] { return tab() && f_.Combs().Count() > 0 && HasSelection(); };
  c.Bind("LayoutFilter_Include", [this] { Filter(true); }, canFilter);
  c.Bind("LayoutFilter_Exclude", [this] { Filter(false); }, canFilter);
  // A window of one draw is a grid of one column, and it exports too.
  c.Bind("LayoutXlsExport", [this] { Export(); }, [this, tab] { return tab() && !model_->Grid().Empty(); });
  calcButton_->setDefaultAction(c.Action("LayoutCalc"));
  compareButton_->setDefaultAction(c.Action("LayoutCmpCalc"));
  BindCommandBar(filterButtons_, {c.Action("LayoutFilter_Include"), c.Action("LayoutFilter_Exclude")});
  SetContextMenu(*grid_, context_, c,
                 {"LayoutFilter_Include", "LayoutFilter_Exclude", "-", "LayoutXlsExport", "-", "ViewShemaGradient"},
                 nullptr);
  f_.AddView([this](bool force) {
    if (f_.Settings().TabLayout) BuildLayout(force);
  });
  f_.AddView([this](bool force) {
    if (f_.Settings().TabLayout) BuildLayoutCompare(force);
  });
}

}  // namespace px::ui
