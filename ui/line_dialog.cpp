#include "ui/line_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "ui/filter_dialog.h"

namespace px::ui {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

}  // namespace

LineDialog::LineDialog(const QString& title, const std::string& lineText, int excludeDraws, FilterEditing editing,
                       QWidget* parent)
    : QDialog(parent), editing_(std::move(editing)) {
  setWindowTitle(title.isEmpty() ? U("Элемент сценария") : title);

  comment_ = new QLineEdit(this);
  comment_->setObjectName(QStringLiteral("edComment"));
  comment_->setToolTip(U("Комментарии (можно оставить пустым)"));

  auto* optionsGroup = new QGroupBox(U(" Опции "), this);
  source_ = new QComboBox(optionsGroup);
  source_->setObjectName(QStringLiteral("cbListSource"));
  for (const char* text : ListSourceTexts()) source_->addItem(U(text));
  exclude_ = new QSpinBox(optionsGroup);
  exclude_->setObjectName(QStringLiteral("edExcludeDraws"));
  exclude_->setRange(0, INT_MAX);
  exclude_->setToolTip(U("Исключить указанное количество тиражей из списка комбинаций перед применением фильтров"));
  stake_ = new QComboBox(optionsGroup);
  stake_->setObjectName(QStringLiteral("cbStakeMode"));
  for (const char* text : StakeModeTexts()) stake_->addItem(U(text));
  clearStakes_ = new QCheckBox(U("Удалить все ставки перед выполнением (накопление только рейтинга)"), optionsGroup);
  clearStakes_->setObjectName(QStringLiteral("chClearStakes"));
  newOnly_ = new QCheckBox(U("Только новые ставки (пропускать те ставки, которые уже есть в списке)"), optionsGroup);
  newOnly_->setObjectName(QStringLiteral("chNewOnly"));

  auto* optionsForm = new QFormLayout(optionsGroup);
  optionsForm->setRowWrapPolicy(QFormLayout::WrapLongRows);
  optionsForm->addRow(U("Начальный список комбинаций:"), source_);
  optionsForm->addRow(U("Кол-во тиражей:"), exclude_);
  optionsForm->addRow(U("В случае неоднозначного результата после применения фильтров:"), stake_);
  optionsForm->addRow(clearStakes_);
  optionsForm->addRow(newOnly_);

  auto* filtersGroup = new QGroupBox(U(" Фильтры "), this);
  auto* filtersForm = new QFormLayout(filtersGroup);
  for (int i = 0; i < kScenarioFilters; ++i) {
    auto* field = new QLineEdit(filtersGroup);
    field->setObjectName(QStringLiteral("edFilter%1").arg(i + 1));
    field->installEventFilter(this);
    auto* button = new QToolButton(filtersGroup);
    button->setText(QStringLiteral("..."));
    button->setToolTip(U("Редактировать фильтр"));
    connect(button, &QToolButton::clicked, this, [this, i] { EditFilter(i); });
    auto* row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(button);
    filtersForm->addRow(U("Фильтр %1:").arg(i + 1), row);
    filters_[size_t(i)] = field;
    buttons_[size_t(i)] = button;
  }

  auto* form = new QFormLayout;
  form->addRow(U("Комментарии:"), comment_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(optionsGroup);
  layout->addWidget(filtersGroup);
  layout->addStretch(1);
  layout->addWidget(buttons);
  resize(640, 560);

  exclude_->setValue(std::max(excludeDraws, 0));
  if (IsSeparatorLine(lineText) || !editing_.registry) return;
  const ScenarioLine line = ParseLine(lineText, *editing_.registry);
  comment_->setText(Q(line.comment));
  const auto& o = line.options;
  source_->setCurrentIndex(o.listSource < kListSources ? o.listSource : 0);
  exclude_->setValue(std::max(o.excludeDraws, 0));
  stake_->setCurrentIndex(o.stakeMode < kStakeModes ? o.stakeMode : 0);
  clearStakes_->setChecked(o.clearStakes);
  newOnly_->setChecked(o.newOnly);
  for (int i = 0; i < kScenarioFilters; ++i) filters_[size_t(i)]->setText(Q(FormatFilter(line.filters[size_t(i)])));
}

bool LineDialog::EditFilter(int i) {
  if (i < 0 || i >= kScenarioFilters || !editing_.registry) return false;
  QLineEdit* field = filters_[size_t(i)];
  FilterDialog dialog(*editing_.registry, editing_.methods, editing_.selected, editing_.windowLength,
                      editing_.showError, this);
  dialog.Load(ParseFilter(S(field->text()), *editing_.registry));
  const bool accepted = editing_.runDialog ? editing_.runDialog(dialog) : dialog.exec() == QDialog::Accepted;
  if (!accepted) return false;
  field->setText(Q(FormatFilter(dialog.Item())));
  return true;
}

ScenarioOptions LineDialog::Options() const {
  ScenarioOptions o;
  o.listSource = static_cast<uint8_t>(std::max(source_->currentIndex(), 0));
  o.excludeDraws = exclude_->value();
  o.stakeMode = static_cast<uint8_t>(std::max(stake_->currentIndex(), 0));
  o.clearStakes = clearStakes_->isChecked();
  o.newOnly = newOnly_->isChecked();
  return o;
}

ScenarioLineText LineDialog::LineText() const {
  ScenarioLineText line;
  line.options = FormatOptions(Options());
  for (int i = 0; i < kScenarioFilters; ++i) line.filters[size_t(i)] = S(filters_[size_t(i)]->text());
  line.comment = S(comment_->text());
  return line;
}

std::string LineDialog::Text() const { return FormatLineText(LineText()); }

bool LineDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (int i = 0; i < kScenarioFilters; ++i)
      if (watched == filters_[size_t(i)]) {
        EditFilter(i);
        return true;
      }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace px::ui
