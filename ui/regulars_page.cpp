#include "ui/regulars_page.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/text.h"
#include "frame/frame.h"
#include "frame/messages.h"
#include "ui/combs_page.h"
#include "ui/command_bar.h"
#include "ui/list_view.h"
#include "ui/page_context.h"
#include "ui/scenario_run.h"
#include "ui/stakes_page.h"

namespace px::ui {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* kSelectedCombinations = "{...Выделенные комбинации...}";
// The stakes ask their deletions under this caption, and so do the rules.
constexpr const char* kDeleteCaption = "Предупреждение";

const RegularStakes* RulesOf(TTemplateMain& frame) { return frame.Regulars(); }

}  // namespace

// ---- RegularsModel

RegularsModel::RegularsModel(TTemplateMain& frame, QObject* parent) : QAbstractTableModel(parent), frame_(frame) {}

int RegularsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int RegularsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(RegularTitles().size());
}

QVariant RegularsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return Q(RegularTitles()[size_t(section)]);
  if (role == kWidestTextRole) {
    if (section == 1 || section == 3) return QString("00;00;00;00;00");
    if (section == 2) return QString("-00");
    if (section == 4) return QString("0000000");
  }
  return {};
}

QVariant RegularsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole)
    return int(index.column() == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
  if (role != Qt::DisplayRole) return {};
  const RegularStakes* rules = RulesOf(frame_);
  if (!rules || index.row() >= rules->Count()) return {};
  return Q(RegularRow(rules->At(index.row()))[size_t(index.column())]);
}

void RegularsModel::Reload() {
  // The same rows advanced keep their selection: only a new count resets.
  const RegularStakes* rules = RulesOf(frame_);
  const int rows = rules ? rules->Count() : 0;
  if (rows != shownRows_) {
    beginResetModel();
    shownRows_ = rows;
    endResetModel();
  } else if (rows > 0) {
    emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
  }
}

// ---- RegularDialog

RegularDialog::RegularDialog(std::vector<RegularStake> existing, int selected, const Combination& combination,
                             ShowErrorFn showError, QWidget* parent)
    : QDialog(parent), existing_(std::move(existing)), selected_(selected), showError_(std::move(showError)) {
  setObjectName("TFormTableStake");
  setWindowTitle(U("Добавление регулярной ставки"));
  comment_ = new QLineEdit(U("Регулярная ставка"), this);
  comment_->setObjectName("edComment");
  comment_->setMaxLength(int(kRegularCommentChars));
  fixed_ = new QRadioButton(U("Использовать постоянную стартовую комбинацию:"), this);
  fixed_->setObjectName("rbStart");
  fixed_->setChecked(true);
  start_ = new QLineEdit(this);
  start_->setObjectName("edStart");
  const QString startHint = U("Введите числа, разделенные точкой с запятой или запятой");
  start_->setToolTip(startHint);
  start_->setStatusTip(startHint);
  start_->setText(selected_ == 1 ? Q(CombinationText(combination)) : U(kSelectedCombinations));
  last_ = new QRadioButton(U("Использовать данные предыдущего тиража"), this);
  last_->setObjectName("rbLastDraw");
  step_ = new QSpinBox(this);
  step_->setObjectName("edStep");
  step_->setRange(-kRegularMaxStep, kRegularMaxStep);
  step_->setValue(1);
  const QString stepHint = U("Шаг изменения элементов комбинации");
  step_->setToolTip(stepHint);
  step_->setStatusTip(stepHint);

  auto* commentLabel = new QLabel(U("Комментарий к ставке:"), this);
  commentLabel->setBuddy(comment_);
  auto* stepLabel = new QLabel(U("Шаг:"), this);
  stepLabel->setBuddy(step_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Accept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(fixed_, &QRadioButton::toggled, this, [this] { FollowChoice(); });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(commentLabel);
  layout->addWidget(comment_);
  layout->addWidget(fixed_);
  layout->addWidget(start_);
  layout->addWidget(last_);
  auto* stepRow = new QHBoxLayout;
  stepRow->addWidget(stepLabel);
  stepRow->addWidget(step_);
  stepRow->addStretch(1);
  layout->addLayout(stepRow);
  layout->addWidget(buttons);
  setMinimumWidth(420);
  FollowChoice();
}

void RegularDialog::FollowChoice() { start_->setEnabled(fixed_->isChecked() && selected_ == 1); }

bool RegularDialog::Accept() {
  const bool withStart = fixed_->isChecked() && selected_ == 1;
  Combination start{};
  const std::string comment = comment_->text().toStdString();
  if (auto error = CheckRegularInput(withStart, start_->text().toStdString(), comment, existing_, start)) {
    if (showError_) showError_(error->message);
    (error->startField ? start_ : comment_)->setFocus();
    return false;
  }
  result_ = RegularStake{};
  result_.comment = comment;
  result_.useLastDraw = last_->isChecked();
  result_.start = withStart ? start : Combination{};
  result_.step = step_->value();
  accept();
  return true;
}

// ---- RegularsPage

RegularsPage::RegularsPage(TTemplateMain& frame, PageContext& context, CombsPage& combs, StakesPage& stakes,
                           QWidget* parent)
    : QWidget(parent), frame_(frame), context_(context), combs_(combs), stakes_(stakes) {
  model_ = new RegularsModel(frame, this);
  view_ = MakeRecordGrid(this, "lvTables", model_);
  for (size_t i = 0; i < kColumnWidths.size(); ++i) view_->setColumnWidth(int(i), kColumnWidths[i]);
  view_->horizontalHeader()->setSectionsClickable(false);
  view_->horizontalHeader()->setStretchLastSection(false);
  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { context_.UpdateActions(); });
  connect(view_, &QTableView::doubleClicked, this, [this] { context_.Trigger("TablesStakeAdd"); });

  QToolBar* bar = MakeCommandBar(this,
                                 {"Добавить регулярную ставку", "Удалить регулярную ставку", "|",
                                  "Сделать ставку по регуляру", "Тест регуляров"},
                                 buttons_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(bar);
  layout->addWidget(view_);
}

bool RegularsPage::Shown() const { return frame_.Settings().TabTables; }

std::vector<int> RegularsPage::SelectedRows() const { return px::ui::SelectedRows(*view_); }

void RegularsPage::RefreshView() {
  model_->Reload();
  FitColumns(*view_);
  context_.UpdateActions();
}

void RegularsPage::FollowTab() {
  if (Shown())
    frame_.LoadRegulars();
  else
    frame_.ReleaseRegulars();
  RefreshView();
}

void RegularsPage::BindCommands(CommandBinder& c) {
  auto hasRules = [this] { return Shown() && frame_.Regulars() && frame_.Regulars()->Count() > 0; };
  auto hasSelection = [this, hasRules] { return hasRules() && !SelectedRows().empty(); };
  c.Bind("TablesAdd", [this] { Add(); }, [this] { return Shown() && frame_.Regulars(); });
  c.Bind("TablesDel", [this] { DeleteSelected(); }, hasSelection);
  c.Bind("TablesStakeAdd", [this] { StakeFromSelected(); },
         [this, hasSelection] { return hasSelection() && frame_.StakesOpen(); });
  // The count's range is 1 .. archive size - 1: no test below two draws.
  c.Bind("TablesStakeTest", [this] { TestSelected(); },
         [this, hasSelection] { return hasSelection() && frame_.StakesOpen() && frame_.CanTestRegulars(); });
  BindCommandBar(buttons_, std::array<QAction*, 4>{c.Action("TablesAdd"), c.Action("TablesDel"),
                                                    c.Action("TablesStakeAdd"), c.Action("TablesStakeTest")});
}

void RegularsPage::Add() {
  const std::vector<int> selected = combs_.SelectedRows();
  const CombinationSet& set = frame_.Combs();
  const Combination first = !selected.empty() && selected.front() < set.Count() ? set.Working()[selected.front()]
                                                                                 : Combination{};
  RegularDialog dialog(frame_.Regulars()->Rules(), int(selected.size()), first,
                       [this](const std::string& text) { context_.GetHost().ShowError(text); }, this);
  if (!context_.RunDialog(dialog)) return;
  frame_.RegularsAdd(dialog.Result(), selected);
  RefreshView();
}

void RegularsPage::DeleteSelected() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  if (!context_.GetHost().AskYesNoAs(kDeleteCaption, DeleteQuestion(int64_t(rows.size())))) return;
  frame_.RegularsDelete(rows);
  view_->clearSelection();
  RefreshView();
}

void RegularsPage::StakeFromSelected() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  const int row = rows.front();
  const TTemplateMain::RegularDraft draft = frame_.RegularsDraft(row);
  TFormStake dialog(draft.stake, 1, [this](const std::string& text) { context_.GetHost().ShowError(text); }, this);
  // Cancel: the rule is not advanced.
  if (!context_.RunDialog(dialog)) return;
  const bool made = frame_.RegularsCommit(row, draft, dialog.Result(), dialog.DrawCount());
  RefreshView();
  if (made) stakes_.RefreshView(true, true);
}

void RegularsPage::TestSelected() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty() || !frame_.CanTestRegulars()) return;
  TestCountDialog dialog(frame_.Archive().Count() - 1, this);
  if (!context_.RunDialog(dialog)) return;
  const int count = dialog.Count();
  if (count <= 0) return;
  const bool scroll = frame_.Settings().StakesScrollEnabled;
  frame_.RegularsTest(rows, count, [this, scroll] { stakes_.RefreshView(false, scroll); });
  RefreshView();
  stakes_.RefreshView(true, true);
}

}  // namespace px::ui
