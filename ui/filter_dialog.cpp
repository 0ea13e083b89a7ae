#include "ui/filter_dialog.h"

#include "ui/decimal_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>
#include <charconv>
#include <climits>
#include <optional>

#include "core/arith.h"
#include "core/text.h"
#include "stats/stat_table.h"

namespace px::ui {

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

constexpr const char* kDrawCountsHint =
    "Количество тиражей для расчета статистики\r\n\r\nДопустимые форматы:\r\n1 - одно значение\r\n"
    "1, 2, 3 - список значений через запятую\r\n1-10;2 - нижняя и верхняя граница диапазона; шаг изменения";
constexpr const char* kValuesHint =
    "Учитываемые значения глубины\r\n\r\nДопустимые форматы:\r\n1 - одно значение\r\n"
    "1, 2, 3 - список значений через запятую\r\n1-10;2 - нижняя и верхняя граница диапазона; шаг изменения";
constexpr const char* kBadRange = "Введен некорректный диапазон значений!";
constexpr const char* kNoValueList = "Для данного вида статистики не доступен режим выделения по списку значений!";
constexpr const char* kMultiStop =
    "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может быть выполнена!\r"
    "Выберите другой способ останова.";

constexpr int kCoefPlaces = 3;
constexpr double kCoefLimit = 1e9;

// Number lists only: the keys of a list or a range pass, and so do the
// editing keys and shortcuts; anything that would type other text is dropped.
class ListKeyFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
    for (QChar c : key->text()) {
      const char16_t u = c.unicode();
      const bool allowed = (u >= u'0' && u <= u'9') || u == u',' || u == u'-' || u == u';' || u < 0x20 || u == 0x7f;
      if (!allowed) return true;
    }
    return false;
  }
};

QComboBox* List(const char* name, const char* hint, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setToolTip(U(hint));
  return box;
}

QLineEdit* ListField(const char* name, const char* hint, QObject* keyFilter, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setToolTip(U(hint));
  edit->installEventFilter(keyFilter);
  return edit;
}

// A number list as the scenario run reads it; empty when it does not parse.
std::vector<int32_t> ListOf(const QLineEdit* edit) { return ParseIntList(Trim(edit->text().toStdString())); }

}  // namespace

FilterDialog::FilterDialog(const TStatList& registry, const std::vector<MethodListItem>& methods, int selected,
                           int windowLength, std::function<void(const std::string&)> showError, QWidget* parent)
    : QDialog(parent), registry_(registry), showError_(std::move(showError)), separator_(LocaleDecimalSeparator()) {
  setWindowTitle(U("Фильтр"));
  auto* keyFilter = new ListKeyFilter(this);

  method_ = List("cbFilterType", "Тип фильтра", this);
  for (const MethodListItem& m : methods) method_->addItem(QString::fromStdString(m.text), m.method);
  if (selected >= 0 && selected < method_->count()) method_->setCurrentIndex(selected);

  drawCounts_ = ListField("edDrawCounts", kDrawCountsHint, keyFilter, this);
  drawCounts_->setText(QString::number(windowLength));

  sortColumn_ = List("cbSortColumn", "Упорядочить полученную статистику по столбцу", this);
  for (const char* title : StatColumnTitles()) sortColumn_->addItem(U(title));
  sortColumn_->setCurrentIndex(TFilterItem{}.sortColumn);

  direction_ = List("cbDirection", "Направление движения по списку статистики при обработке", this);
  direction_->addItems({U("Сверху-вниз"), U("Снизу-вверх")});

  action_ = List("cbFilterMode", "Режим отбора комбинаций", this);
  action_->addItems({U("Удалить выделенные"), U("Оставить выделенные")});

  multiSelect_ = new QCheckBox(U("Использовать режим одновременного выделения нескольких значений в списке"), this);
  multiSelect_->setObjectName(QStringLiteral("chMultiSelect"));

  condition_ = List("cbConditionMode", "Режим выделения значений для фильтра в списке статистики", this);
  for (const char* text : ConditionModeTexts()) condition_->addItem(U(text));
  condition_->setCurrentIndex(kConditionNone);

  values_ = ListField("edConditionValues", kValuesHint, keyFilter, this);

  weightGroup_ = new QGroupBox(U(" Коэффициенты для расчета значений \"Вес\" "), this);
  weightGroup_->setObjectName(QStringLiteral("gbWeight"));
  weightOverride_ = new QCheckBox(U("Использовать приведенные ниже коэффициенты для расчета значений \"Вес\""),
                                  weightGroup_);
  weightOverride_->setObjectName(QStringLiteral("chWeightOverride"));
  coefCount_ = new DecimalBox(kCoefPlaces, -kCoefLimit, kCoefLimit, separator_, weightGroup_);
  coefCount_->setObjectName(QStringLiteral("edCoefCount"));
  coefDeviation_ = new DecimalBox(kCoefPlaces, -kCoefLimit, kCoefLimit, separator_, weightGroup_);
  coefDeviation_->setObjectName(QStringLiteral("edCoefDeviation"));
  coefDepth_ = new DecimalBox(kCoefPlaces, -kCoefLimit, kCoefLimit, separator_, weightGroup_);
  coefDepth_->setObjectName(QStringLiteral("edCoefDepth"));
  usePercents_ = new QCheckBox(U("Использовать значения в %"), weightGroup_);
  usePercents_->setObjectName(QStringLiteral("chCoefPercents"));
  useAbs_ = new QCheckBox(U("Использовать абсолютные значения"), weightGroup_);
  useAbs_->setObjectName(QStringLiteral("chCoefAbs"));
  const TConfigData& cdl = registry_.Config().data;
  ShowCoefficients(cdl.Count, cdl.Deviation, cdl.Level);
  usePercents_->setChecked(cdl.UsePercents);
  useAbs_->setChecked(cdl.UseAbsValues);

  stopMode_ = List("cbStopMode", "Режим останова обработки", this);
  for (const char* text : StopModeTexts()) stopMode_->addItem(U(text));
  stopMode_->setCurrentIndex(0);

  stopValue_ = new QSpinBox(this);
  stopValue_->setObjectName(QStringLiteral("edStopValue"));
  stopValue_->setRange(1, INT_MAX);
  stopValue_->setValue(TFilterItem{}.stopValue);
  stopValue_->setToolTip(U("Значение для режима остановки"));

  connect(condition_, &QComboBox::currentIndexChanged, this, [this] { UpdateWeightControls(); });
  connect(weightOverride_, &QCheckBox::toggled, this, [this] { UpdateWeightControls(); });

  auto* weightForm = new QFormLayout(weightGroup_);
  weightForm->addRow(weightOverride_);
  weightForm->addRow(U("Количество:"), coefCount_);
  weightForm->addRow(U("Отклонение:"), coefDeviation_);
  weightForm->addRow(U("Глубина:"), coefDepth_);
  weightForm->addRow(usePercents_);
  weightForm->addRow(useAbs_);

  auto* form = new QFormLayout;
  form->setRowWrapPolicy(QFormLayout::WrapLongRows);
  form->addRow(U("Тип фильтра:"), method_);
  form->addRow(U("Количество тиражей:"), drawCounts_);
  form->addRow(U("Сортировать по столбцу:"), sortColumn_);
  form->addRow(U("Направление:"), direction_);
  form->addRow(U("Режим фильтра:"), action_);
  form->addRow(multiSelect_);
  form->addRow(U("Режим выделения значений в списке статистики:"), condition_);
  form->addRow(U("Значения:"), values_);
  form->addRow(weightGroup_);
  form->addRow(U("Остановка по:"), stopMode_);
  form->addRow(U("Значение:"), stopValue_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &FilterDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addStretch(1);
  layout->addWidget(buttons);
  resize(520, 560);

  UpdateWeightControls();
}

void FilterDialog::ShowCoefficients(long double count, long double deviation, long double depth) {
  coefCount_->setValue(static_cast<double>(count));
  coefDeviation_->setValue(static_cast<double>(deviation));
  coefDepth_->setValue(static_cast<double>(depth));
}

void FilterDialog::Load(const TFilterItem& item) {
  loaded_ = item;
  if (!item.defined) return;

  const int method = StatMethodOf(item, registry_);
  const int position = method < 0 ? -1 : method_->findData(method);
  if (method_->count() > 0) method_->setCurrentIndex(position >= 0 ? position : 0);
  if (!item.drawCounts.empty()) drawCounts_->setText(QString::fromStdString(item.drawCounts));
  const bool columnKnown = item.sortColumn >= 0 && item.sortColumn < sortColumn_->count();
  sortColumn_->setCurrentIndex(columnKnown ? item.sortColumn : TFilterItem{}.sortColumn);
  direction_->setCurrentIndex(item.bottomUp ? 1 : 0);
  action_->setCurrentIndex(item.keepSelected ? 1 : 0);
  multiSelect_->setChecked(item.multiSelect);
  condition_->setCurrentIndex(item.conditionMode < kConditionModes ? item.conditionMode : kConditionNone);
  if (!item.conditionValues.empty()) values_->setText(QString::fromStdString(item.conditionValues));

  weightOverride_->setChecked(item.weightOverride);
  if (item.weightOverride) {
    ShowCoefficients(item.coefCount, item.coefDeviation, item.coefDepth);
    usePercents_->setChecked(item.usePercents);
    useAbs_->setChecked(item.useAbs);
  } else {
    const TConfigData& cdl = registry_.Config().data;
    ShowCoefficients(cdl.Count, cdl.Deviation, cdl.Level);
    usePercents_->setChecked(cdl.UsePercents);
    useAbs_->setChecked(cdl.UseAbsValues);
  }

  stopMode_->setCurrentIndex(item.stopMode < kStopModes ? item.stopMode : 0);
  stopValue_->setValue(item.stopValue);
  UpdateWeightControls();
}

void FilterDialog::UpdateWeightControls() {
  const int mode = condition_->currentIndex();
  const bool weightMode = mode >= kConditionWeightFirst && mode <= kConditionWeightLast;
  weightOverride_->setEnabled(weightMode);
  const bool own = weightMode && weightOverride_->isChecked();
  for (QWidget* w : std::initializer_list<QWidget*>{coefCount_, coefDeviation_, coefDepth_, usePercents_, useAbs_})
    w->setEnabled(own);
}

int FilterDialog::SelectedMethod() const {
  const QVariant data = method_->currentData();
  return data.isValid() ? data.toInt() : -1;
}

void FilterDialog::Refuse(const char* message, QWidget* culprit) {
  if (showError_) showError_(message);
  culprit->setFocus();
}

bool FilterDialog::Accept() {
  const std::vector<int32_t> counts = ListOf(drawCounts_);
  if (counts.empty() || (counts.size() == 1 && counts[0] == 0)) {
    Refuse(kBadRange, drawCounts_);
    return false;
  }
  const int mode = condition_->currentIndex();
  if (mode != kConditionNone) {
    if (mode == kConditionValueList) {
      const int method = SelectedMethod();
      if (method < 0 || !registry_.Method(method).cls->numericValues) {
        Refuse(kNoValueList, condition_);
        return false;
      }
    }
    if (ListOf(values_).empty()) {
      Refuse(kBadRange, values_);
      return false;
    }
  }
  const int stop = stopMode_->currentIndex();
  if (multiSelect_->isChecked() && (stop == kStopByCombinations || stop == kStopByNumbers)) {
    Refuse(kMultiStop, stopMode_);
    return false;
  }
  QDialog::accept();
  return true;
}

TFilterItem FilterDialog::Item() const {
  TFilterItem item = loaded_;
  item.defined = true;
  const int method = SelectedMethod();
  if (method >= 0) item.statCode = registry_.CodeOf(method);
  item.drawCounts = Trim(drawCounts_->text().toStdString());
  item.sortColumn = sortColumn_->currentIndex();
  item.bottomUp = direction_->currentIndex() == 1;
  item.keepSelected = action_->currentIndex() == 1;
  item.multiSelect = multiSelect_->isChecked();
  item.conditionMode = static_cast<uint8_t>(condition_->currentIndex());
  item.conditionValues = Trim(values_->text().toStdString());
  item.weightOverride = weightOverride_->isChecked();
  item.coefCount = ExactValue(coefCount_, separator_);
  item.coefDeviation = ExactValue(coefDeviation_, separator_);
  item.coefDepth = ExactValue(coefDepth_, separator_);
  item.usePercents = usePercents_->isChecked();
  item.useAbs = useAbs_->isChecked();
  item.stopMode = static_cast<uint8_t>(stopMode_->currentIndex());
  item.stopValue = stopValue_->value();
  return item;
}

}  // namespace px::ui
