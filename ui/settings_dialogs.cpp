#include "ui/settings_dialogs.h"

#include "ui/decimal_box.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>
#include <charconv>
#include <cmath>
#include <optional>

#include "core/arith.h"
#include "core/text.h"

namespace px::ui {

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

// Hundredths of a Currency, half away from zero, without a detour through
// binary fractions (1.005 must show as 1.01).
int64_t Hundredths(Currency value) { return value >= 0 ? (value + 50) / 100 : -((-value + 50) / 100); }

QString AmountText(Currency value, char separator) {
  const int64_t h = Hundredths(value);
  const int64_t a = h < 0 ? -h : h;
  return QString::fromStdString(Fmt("%s%lld%c%02lld", h < 0 ? "-" : "", static_cast<long long>(a / 100), separator,
                                    static_cast<long long>(a % 100)));
}

Currency AmountOf(std::optional<long double> value) {
  return value ? MoneyOf(*value).value_or(0) : 0;
}

// Limits what can be typed into the cells of one table column.
class FilteredDelegate final : public QStyledItemDelegate {
 public:
  FilteredDelegate(const QString& pattern, QObject* parent) : QStyledItemDelegate(parent), pattern_(pattern) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
      line->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern_), line));
    return editor;
  }

 private:
  QString pattern_;
};

QSpinBox* IntField(const char* name, int minimum, int maximum, int value, const char* hint, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(minimum, maximum);
  box->setValue(value);
  box->setToolTip(U(hint));
  return box;
}

QDoubleSpinBox* DecimalField(const char* name, int places, double minimum, double maximum, long double value,
                             char separator, QWidget* parent) {
  auto* box = new DecimalBox(places, minimum, maximum, separator, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setValue(static_cast<double>(value));
  return box;
}

constexpr int kProfitRows = 6;  // matches 0..5

}  // namespace

SettingsDialog::SettingsDialog(const TConfigData& data, std::function<void(const std::string&)> showError,
                               QWidget* parent)
    : QDialog(parent), showError_(std::move(showError)), separator_(LocaleDecimalSeparator()) {
  setWindowTitle(U("Параметры системы"));

  matrixCols_ = IntField("edMatrixCol", 1, kNumbers, data.MatrixCols, "Количество столбцов", this);
  matrixRows_ = IntField("edMatrixRow", 1, kNumbers, MatrixRows(matrixCols_->value()), "Количество строк", this);
  matrixRows_->setReadOnly(true);
  matrixRows_->setButtonSymbols(QAbstractSpinBox::NoButtons);
  matrixRows_->setFocusPolicy(Qt::NoFocus);
  channelSize_ = IntField("edChannelSize", 2, kNumbers, data.ChannelSize, "Ширина канала", this);
  cost_ = DecimalField("edCost", 2, 0, 999999999.99, 0, separator_, this);
  cost_->setValue(static_cast<double>(Hundredths(data.Cost)) / 100.0);
  cost_->setToolTip(U("Стоимость одной ставки"));
  stakeMaxLen_ = IntField("edStakeMaxLen", kMinExtendedStake, kMaxExtendedStake, data.MaxStake, "Максимально допустимая расширенная ставка", this);

  profits_ = new QTableWidget(kProfitRows, 2, this);
  profits_->setObjectName(QStringLiteral("edProfits"));
  profits_->setHorizontalHeaderLabels({U("Совпадений"), U("Сумма выигрыша")});
  profits_->verticalHeader()->hide();
  profits_->horizontalHeader()->setStretchLastSection(true);
  profits_->setSelectionMode(QAbstractItemView::SingleSelection);
  for (int row = 0; row < kProfitRows; ++row) {
    auto* key = new QTableWidgetItem(QString::number(row));
    key->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    profits_->setItem(row, 0, key);
    // By position, not by overlap: that is how the table was always shown.
    const Currency profit = row < static_cast<int>(data.Profits.size()) ? data.Profits[size_t(row)].profit : 0;
    profits_->setItem(row, 1, new QTableWidgetItem(AmountText(profit, separator_)));
  }
  profits_->setItemDelegateForColumn(
      1, new FilteredDelegate(QStringLiteral("[0-9") + QRegularExpression::escape(QString(QLatin1Char(separator_))) +
                                  QStringLiteral("]*"),
                              profits_));

  coefCount_ = DecimalField("edCoefCount", 3, -1e9, 1e9, data.Count, separator_, this);
  coefDeviation_ = DecimalField("edCoefDeviation", 3, -1e9, 1e9, data.Deviation, separator_, this);
  coefLevel_ = DecimalField("edCoefLevel", 3, -1e9, 1e9, data.Level, separator_, this);
  usePercents_ = new QCheckBox(U("Использовать значения в %"), this);
  usePercents_->setObjectName(QStringLiteral("cbCoefPercents"));
  usePercents_->setChecked(data.UsePercents);
  useAbs_ = new QCheckBox(U("Использовать абсолютные значения"), this);
  useAbs_->setObjectName(QStringLiteral("cbCoefAbs"));
  useAbs_->setChecked(data.UseAbsValues);

  segments_ = new QTableWidget(this);
  segments_->setObjectName(QStringLiteral("sgSegments"));
  segments_->horizontalHeader()->hide();
  segments_->verticalHeader()->hide();
  segments_->horizontalHeader()->setDefaultSectionSize(28);
  segments_->verticalHeader()->setDefaultSectionSize(24);
  segments_->setSelectionMode(QAbstractItemView::SingleSelection);
  segments_->setItemDelegate(new FilteredDelegate(QStringLiteral("[0-9]*"), segments_));
  std::array<QString, kNumbers> values;
  for (int n = 1; n <= kNumbers; ++n) values[size_t(n - 1)] = QString::number(data.MatrixSegments[size_t(n - 1)]);
  LayOutSegments(matrixCols_->value(), values);

  connect(matrixCols_, &QSpinBox::valueChanged, this, [this](int cols) {
    matrixRows_->setValue(MatrixRows(cols));
    LayOutSegments(cols, SegmentTexts());
  });
  connect(segments_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) { CheckSegment(item); });

  // Left: matrix, channel and stakes; right: weight and segments.
  auto* left = new QFormLayout;
  auto* matrixRow = new QHBoxLayout;
  matrixRow->addWidget(matrixCols_);
  matrixRow->addWidget(matrixRows_);
  left->addRow(U("Размер матрицы:"), matrixRow);
  left->addRow(U("Размер канала:"), channelSize_);
  left->addRow(U("Стоимость ставки:"), cost_);
  left->addRow(U("Расширенная ставка:"), stakeMaxLen_);
  left->addRow(new QLabel(U("Размеры выигрышей:"), this));
  left->addRow(profits_);

  auto* weight = new QGroupBox(U(" Коэффициенты для поля \"Вес\" "), this);
  auto* weightForm = new QFormLayout(weight);
  weightForm->addRow(U("Количество:"), coefCount_);
  weightForm->addRow(U("Отклонение:"), coefDeviation_);
  weightForm->addRow(U("Глубина:"), coefLevel_);
  weightForm->addRow(usePercents_);
  weightForm->addRow(useAbs_);

  auto* right = new QVBoxLayout;
  right->addWidget(weight);
  auto* segmentsLabel = new QLabel(U("Сегменты матрицы:"), this);
  segmentsLabel->setBuddy(segments_);
  right->addWidget(segmentsLabel);
  right->addWidget(segments_, 1);

  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addLayout(right, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(buttons);
  resize(680, 460);
}

QTableWidgetItem* SettingsDialog::SegmentCell(int n) const {
  const int cols = segments_->columnCount();
  if (cols <= 0 || n < 1 || n > kNumbers) return nullptr;
  return segments_->item(MatrixRow(n, cols) - 1, MatrixColumn(n, cols) - 1);
}

std::array<QString, 36> SettingsDialog::SegmentTexts() const {
  std::array<QString, kNumbers> values;
  for (int n = 1; n <= kNumbers; ++n)
    if (QTableWidgetItem* item = SegmentCell(n)) values[size_t(n - 1)] = item->text();
  return values;
}

void SettingsDialog::LayOutSegments(int cols, const std::array<QString, 36>& values) {
  filling_ = true;
  const int rows = MatrixRows(cols);
  segments_->setRowCount(0);
  segments_->setColumnCount(cols);
  segments_->setRowCount(rows);
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < cols; ++x) {
      const int n = NumberAt(y, x, cols);
      auto* item = new QTableWidgetItem;
      item->setTextAlignment(Qt::AlignCenter);
      if (n <= kNumbers) {
        item->setText(values[size_t(n - 1)]);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
      } else {
        item->setFlags(Qt::NoItemFlags);
      }
      segments_->setItem(y, x, item);
    }
  filling_ = false;
}

void SettingsDialog::CheckSegment(QTableWidgetItem* item) {
  if (filling_ || item == nullptr) return;
  if (NumberAt(item->row(), item->column(), segments_->columnCount()) > kNumbers) return;
  const QString text = item->text();
  // A cleared cell is no entry; it reads as segment 1 on OK.
  if (text.trimmed().isEmpty()) return;
  const auto value = ParseInt32(text.toStdString());
  if (value && *value >= 1 && *value <= 9) return;
  if (showError_)
    showError_(Fmt("Некорректное значение: %s!\r\rУкажите любое число от 1 до 9", text.toStdString().c_str()));
  filling_ = true;
  item->setText(QStringLiteral("1"));
  filling_ = false;
}

TConfigData SettingsDialog::Result() const {
  TConfigData d;
  d.MatrixCols = matrixCols_->value();
  d.ChannelSize = channelSize_->value();
  d.Cost = AmountOf(ExactValue(cost_, separator_));
  d.MaxStake = stakeMaxLen_->value();
  d.Profits.clear();
  for (int row = 0; row < kProfitRows; ++row) {
    PrizeEntry e;
    const QTableWidgetItem* key = profits_->item(row, 0);
    const auto overlap = key ? ParseInt32(key->text().toStdString()) : std::nullopt;
    e.overlap = overlap && *overlap >= 0 && *overlap <= 255 ? static_cast<uint8_t>(*overlap) : 0;
    const QTableWidgetItem* amount = profits_->item(row, 1);
    e.profit = amount ? AmountOf(ReadDecimal(amount->text(), separator_)) : 0;
    d.Profits.push_back(e);
  }
  d.Count = ExactValue(coefCount_, separator_);
  d.Deviation = ExactValue(coefDeviation_, separator_);
  d.Level = ExactValue(coefLevel_, separator_);
  d.UsePercents = usePercents_->isChecked();
  d.UseAbsValues = useAbs_->isChecked();
  for (int n = 1; n <= kNumbers; ++n) {
    const QTableWidgetItem* item = SegmentCell(n);
    const auto value = item ? ParseInt32(item->text().toStdString()) : std::nullopt;
    d.MatrixSegments[size_t(n - 1)] = value && *value >= 0 && *value <= 255 ? static_cast<uint8_t>(*value) : 1;
  }
  return d;
}

ShreddingDialog::ShreddingDialog(const std::array<std::string, 3>& formulas, const std::array<uint8_t, 3>& digits,
                                 QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(U("Методы шинковки"));
  auto* grid = new QGridLayout;
  for (int i = 0; i < 3; ++i) {
    auto* formula = new QLineEdit(QString::fromStdString(formulas[size_t(i)]), this);
    formula->setObjectName(QStringLiteral("edFormula%1").arg(i + 1));
    formula->setToolTip(U("Используемая формула"));
    auto* count = new QSpinBox(this);
    count->setObjectName(QStringLiteral("edDigits%1").arg(i + 1));
    count->setRange(kMinDigits, kMaxDigits);
    count->setValue(digits[size_t(i)]);
    count->setToolTip(U("Количество используемых знаков после запятой"));
    auto* label = new QLabel(U(Fmt("Формула %d:", i + 1).c_str()), this);
    label->setBuddy(formula);
    grid->addWidget(label, i, 0);
    grid->addWidget(formula, i, 1);
    grid->addWidget(count, i, 2);
    formulas_[size_t(i)] = formula;
    digits_[size_t(i)] = count;
  }
  grid->setColumnStretch(1, 1);
  auto* info = new QLabel(U("Используемые переменные:\r\nn1, n2, n3, ..., nX - числа текущего тиража\r\n"
                            "p1, p2, p3, ..., pX - числа предыдущего тиража")
                              .replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                          this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(info);
  layout->addStretch(1);
  layout->addWidget(buttons);
  resize(473, 260);
}

std::array<std::string, 3> ShreddingDialog::Formulas() const {
  return {formulas_[0]->text().toStdString(), formulas_[1]->text().toStdString(),
          formulas_[2]->text().toStdString()};
}

std::array<uint8_t, 3> ShreddingDialog::Digits() const {
  return {static_cast<uint8_t>(digits_[0]->value()), static_cast<uint8_t>(digits_[1]->value()),
          static_cast<uint8_t>(digits_[2]->value())};
}

}  // namespace px::ui
