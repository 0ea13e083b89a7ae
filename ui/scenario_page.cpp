#include "ui/scenario_page.h"

#include <QDialog>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "frame/messages.h"
#include "frame/frame.h"
#include "scenario/line_words.h"
#include "scenario/scenario_file.h"
#include "scenario/scenario_line.h"
#include "ui/list_view.h"
#include "ui/line_dialog.h"

namespace px::ui {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* kNewLineTitle = "Создание новой строки";
constexpr const char* kEditLineTitle = "Редактирование строки";

}  // namespace

// ---- ScenarioModel

ScenarioModel::ScenarioModel(TTemplateMain& frame, Scenario& scenario, QObject* parent)
    : QAbstractTableModel(parent), frame_(frame), scenario_(scenario) {
  Reload();
}

int ScenarioModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(cells_.size());
}

int ScenarioModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant ScenarioModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == kWidestTextRole && orientation == Qt::Horizontal && section >= 0 && section < kColumns) {
    QString widest;
    for (const auto& row : cells_)
      if (row[size_t(section)].size() > widest.size()) widest = row[size_t(section)];
    return widest;
  }
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section == 0) return U("Комментарии");
  if (section == 1) return U("Опции");
  if (section >= 2 && section < kColumns) return U("Фильтр %1").arg(section - 1);
  return {};
}

QVariant ScenarioModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumns) return {};
  if (role == Qt::ToolTipRole) return ToolTip(index.row(), index.column());
  if (role != Qt::DisplayRole) return {};
  return cells_[size_t(index.row())][size_t(index.column())];
}

QString ScenarioModel::ToolTip(int row, int column) const {
  if (size_t(row) >= scenario_.Lines().size()) return {};
  const std::string& text = scenario_.Lines()[size_t(row)];
  if (IsSeparatorLine(text)) return {};
  const ScenarioLine line = ParseLine(text, frame_.Registry());
  // A filter's cell tells that filter; the others the whole line.
  if (column >= 2) {
    const std::string words = FilterInWords(line.filters[size_t(column - 2)], column - 1, frame_.Registry());
    if (!words.empty()) return Q(words);
  }
  return Q(LineInWords(line, frame_.Registry()));
}

void ScenarioModel::Reload() {
  beginResetModel();
  cells_.clear();
  cells_.reserve(scenario_.Lines().size());
  for (const std::string& text : scenario_.Lines()) {
    std::array<QString, kColumns> row;
    if (!IsSeparatorLine(text)) {
      const ScenarioLine line = ParseLine(text, frame_.Registry());
      row[0] = Q(line.comment);
      row[1] = Q(OptionsSummary(line.options));
      for (int i = 0; i < kScenarioFilters; ++i) row[size_t(i) + 2] = Q(FormatFilter(line.filters[size_t(i)]));
    }
    cells_.push_back(std::move(row));
  }
  endResetModel();
}

// ---- ScenarioPage

ScenarioPage::ScenarioPage(TTemplateMain& frame, Scenario& scenario, QWidget* parent)
    : QWidget(parent), frame_(frame), scenario_(scenario) {
  model_ = new ScenarioModel(frame, scenario, this);
  view_ = MakeRecordGrid(this, "lvScript", model_);
  for (int i = 0; i < ScenarioModel::kColumns; ++i) view_->setColumnWidth(i, kColumnWidth);
  connect(view_, &QTableView::doubleClicked, this, [this] {
    if (CanEdit()) Edit();
  });

  auto* status = new QHBoxLayout;
  status->setContentsMargins(0, 0, 0, 0);
  status->setSpacing(2);
  for (size_t i = 0; i < panels_.size(); ++i) {
    auto* panel = new QLabel(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setObjectName(QStringLiteral("ScenarioPanel%1").arg(i));
    // The free text takes what the counters leave; a long one (a variant's
    // filters) is cut there rather than widen the page and move the splitter.
    if (i + 1 < panels_.size())
      panel->setMinimumWidth(100);
    else
      panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    status->addWidget(panel, i + 1 < panels_.size() ? 0 : 1);
    panels_[i] = panel;
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_, 1);
  layout->addLayout(status);

  // The page shares the scenario with whoever listened before it.
  previousOnChange_ = scenario_.onChange;
  scenario_.onChange = [this] {
    if (previousOnChange_) previousOnChange_();
    Refresh();
  };
  Refresh();
}

ScenarioPage::~ScenarioPage() { scenario_.onChange = previousOnChange_; }

void ScenarioPage::Refresh() {
  model_->Reload();
  FitColumns(*view_, kWidestColumn);
  panels_[0]->setText(U("Строк: %1").arg(scenario_.Count()));
}

void ScenarioPage::SetPanel(int i, const QString& text) {
  if (i < 0 || size_t(i) >= panels_.size()) return;
  panels_[size_t(i)]->setText(text);
  if (size_t(i) + 1 == panels_.size()) panels_[size_t(i)]->setToolTip(text);
}

bool ScenarioPage::Run(QDialog& dialog) {
  if (runDialog) return runDialog(dialog);
  return dialog.exec() == QDialog::Accepted;
}

std::optional<std::string> ScenarioPage::Choose(bool save) {
  if (chooseFile) return chooseFile(save);
  const FileFilter filter = ScenarioFileFilter();
  QFileDialog dialog(this, QString(), Q(frame_.DataDir()), Q(filter.filter.substr(0, filter.filter.find('|'))));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(Q(filter.defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

FilterEditing ScenarioPage::Editing() {
  FilterEditing e;
  e.registry = &frame_.Registry();
  e.methods = MethodList(frame_.Registry(), false);
  e.selected = selectedMethod ? selectedMethod() : -1;
  e.windowLength = frame_.Settings().DrawsStatLen;
  e.showError = [this](const std::string& text) { frame_.GetHost().ShowError(text); };
  e.runDialog = [this](QDialog& d) { return Run(d); };
  return e;
}

std::optional<std::string> ScenarioPage::RunLineDialog(const char* title, const std::string& text) {
  LineDialog dialog(U(title), text, frame_.Settings().DrawsExclude, Editing(), this);
  if (!Run(dialog)) return std::nullopt;
  return dialog.Text();
}

// ---- enabling

bool ScenarioPage::HasLines() const { return !scenario_.Empty(); }

bool ScenarioPage::HasSelection() const { return !SelectedLines().empty(); }

bool ScenarioPage::CanEdit() const {
  const int row = SelectedLine();
  return row >= 0 && !IsSeparatorLine(scenario_.Lines()[size_t(row)]);
}

bool ScenarioPage::CanMoveUp() const { return SelectedLine() > 0; }

bool ScenarioPage::CanMoveDown() const {
  const int row = SelectedLine();
  return row >= 0 && row < scenario_.Count() - 1;
}

std::vector<int> ScenarioPage::SelectedLines() const {
  std::vector<int> rows;
  if (!view_->selectionModel()) return rows;
  for (const QModelIndex& i : view_->selectionModel()->selectedRows())
    if (i.row() >= 0 && i.row() < scenario_.Count()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

int ScenarioPage::SelectedLine() const {
  const QItemSelectionModel* selection = view_->selectionModel();
  if (!selection) return -1;
  const QModelIndex current = selection->currentIndex();
  if (current.isValid() && current.row() < scenario_.Count() && selection->isRowSelected(current.row()))
    return current.row();
  const std::vector<int> rows = SelectedLines();
  return rows.empty() ? -1 : rows.front();
}

void ScenarioPage::SelectLine(int row) {
  if (row < 0 || row >= model_->rowCount()) {
    view_->clearSelection();
    return;
  }
  view_->selectionModel()->setCurrentIndex(model_->index(row, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  view_->scrollTo(model_->index(row, 0));
}

// ---- commands

void ScenarioPage::Add() {
  if (auto text = RunLineDialog(kNewLineTitle, std::string())) SelectLine(scenario_.Add(*text));
}

void ScenarioPage::AddEmpty() {
  if (HasLines()) SelectLine(scenario_.Add(std::string()));
}

void ScenarioPage::Append() {
  auto file = Choose(false);
  if (!file) return;
  TTemplateMain::Busy busy(frame_);
  scenario_.Load(*file, true);
}

void ScenarioPage::Open() {
  auto file = Choose(false);
  if (!file) return;
  TTemplateMain::Busy busy(frame_);
  scenario_.Load(*file, false);
}

void ScenarioPage::Save() {
  if (!HasLines()) return;
  if (auto file = Choose(true)) scenario_.Save(*file);
}

void ScenarioPage::Clone() {
  if (!CanEdit()) return;
  if (auto text = RunLineDialog(kNewLineTitle, scenario_.Get(SelectedLine()))) SelectLine(scenario_.Add(*text));
}

void ScenarioPage::Edit() {
  if (!CanEdit()) return;
  const int row = SelectedLine();
  if (auto text = RunLineDialog(kEditLineTitle, scenario_.Get(row))) {
    frame_.Guard([&] { scenario_.Put(row, *text); });
    SelectLine(row);
  }
}

void ScenarioPage::Delete() {
  const std::vector<int> rows = SelectedLines();
  if (rows.empty()) return;
  if (!frame_.GetHost().AskYesNo(DeleteQuestion(int(rows.size())))) return;
  StatusScope status(frame_.GetHost(), "Удаление строк...");
  scenario_.Delete(rows);
}

void ScenarioPage::Clear() {
  if (!HasLines()) return;
  if (!frame_.GetHost().AskYesNo(DeleteQuestion(scenario_.Count()))) return;
  StatusScope status(frame_.GetHost(), "Удаление строк...");
  scenario_.Clear();
}

void ScenarioPage::Up() {
  if (!CanMoveUp()) return;
  const int row = SelectedLine();
  scenario_.Swap(row, row - 1);
  SelectLine(row - 1);
}

void ScenarioPage::Down() {
  if (!CanMoveDown()) return;
  const int row = SelectedLine();
  scenario_.Swap(row, row + 1);
  SelectLine(row + 1);
}

}  // namespace px::ui
