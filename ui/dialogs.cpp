#include "ui/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "core/dates.h"
#include "core/errors.h"

namespace px::ui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

DrawDialog::DrawDialog(const DrawRecord& draw, bool withDates, std::function<void(const std::string&)> showError,
                       QWidget* parent)
    : QDialog(parent), result_(draw), withDates_(withDates), showError_(std::move(showError)) {
  setWindowTitle(QString::fromUtf8("Введите данные следующего тиража"));
  auto* form = new QFormLayout;
  number_ = new QSpinBox(this);
  number_->setRange(1, kMaxDrawNumber);
  number_->setValue(std::max(draw.number, 1));
  form->addRow(QString::fromUtf8("Номер тиража:"), number_);
  numbers_ = new QLineEdit(this);
  if (draw.numbers != Combination{}) numbers_->setText(Q(CombinationText(draw.numbers)));
  form->addRow(new QLabel(QString::fromUtf8("Выпавшие числа, разделенные точкой с запятой или запятой:"), this));
  form->addRow(numbers_);
  if (withDates) {
    std::optional<Date> stored;
    try {
      stored = ParseDate(draw.DateString());
    } catch (const Error&) {
      stored.reset();
    }
    const QDateTime now = QDateTime::currentDateTime();
    date_ = new QDateEdit(this);
    date_->setCalendarPopup(true);
    date_->setDisplayFormat("MM/dd/yyyy");
    date_->setToolTip(QString::fromUtf8("Дата проведения тиража"));
    date_->setDate(stored ? QDate(int(stored->year()), int(unsigned(stored->month())), int(unsigned(stored->day())))
                          : now.date());
    time_ = new QTimeEdit(this);
    time_->setToolTip(QString::fromUtf8("Время проведения тиража"));
    time_->setTime(stored ? QTime(0, 0) : now.time());
    auto* row = new QHBoxLayout;
    row->addWidget(date_);
    row->addWidget(time_);
    form->addRow(QString::fromUtf8("Дата и время тиража:"), row);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Accept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  if (!withDates) resize(width(), 200);
}

bool DrawDialog::Accept() {
  Combination numbers;
  try {
    numbers = ParseDrawNumbers(numbers_->text().toStdString());
  } catch (const Error& e) {
    if (showError_)
      showError_(e.what());
    else
      QMessageBox::critical(this, QString::fromUtf8("Ошибка"), Q(e.what()));
    numbers_->setFocus();
    return false;
  }
  result_.number = number_->value();
  result_.numbers = numbers;
  if (withDates_) {
    const QDate d = date_->date();
    result_.SetDate(DateText(Date{std::chrono::year{d.year()}, std::chrono::month{unsigned(d.month())},
                                  std::chrono::day{unsigned(d.day())}}));
  }
  accept();
  return true;
}

GenerateDialog::GenerateDialog(int mode, const std::string& parameters, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Создание нового списка комбинаций"));
  mode_ = new QComboBox(this);
  mode_->setToolTip(QString::fromUtf8("Режим генерации списка комбинаций"));
  for (const char* caption : {"Полный список (все возможные для данного лото варианты)",
                              "Мои числа - должно присутствовать любое из указанных",
                              "Мои числа - комбинации только из списка указанных",
                              "Мои числа - исключить комбинации с любым из указанных",
                              "Загрузить список из заранее подготовленного CSV-файла"})
    mode_->addItem(QString::fromUtf8(caption));
  mode_->setCurrentIndex(mode >= 0 && mode <= 4 ? mode : 0);
  parameters_ = new QLineEdit(Q(parameters), this);
  parameters_->setMaxLength(255);
  parameters_->setToolTip(QString::fromUtf8(
      "Список \"моих чисел\" через точку с запятой или имя файла для режима \"Загрузка из файла\""));
  browse_ = new QPushButton("...", this);
  browse_->setToolTip(QString::fromUtf8("Выбор файла"));
  save_ = new QCheckBox(QString::fromUtf8("Сохранить эти параметры для генерации комбинаций \"по умолчанию\""), this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8("Режим генерации списка комбинаций:"), this));
  layout->addWidget(mode_);
  layout->addWidget(new QLabel(QString::fromUtf8("Мои числа или имя файла для загрузки:"), this));
  auto* row = new QHBoxLayout;
  row->addWidget(parameters_);
  row->addWidget(browse_);
  layout->addLayout(row);
  layout->addWidget(save_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setToolTip(QString::fromUtf8("Создать список возможных комбинаций"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  connect(mode_, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabled(); });
  connect(browse_, &QPushButton::clicked, this, [this] {
    QString file = QFileDialog::getOpenFileName(this, QString(), parameters_->text(),
                                                QString::fromUtf8("Файлы комбинаций (*.lcv)"));
    if (!file.isEmpty()) parameters_->setText(file);
  });
  UpdateEnabled();
  resize(520, sizeHint().height());
}

void GenerateDialog::UpdateEnabled() {
  parameters_->setEnabled(mode_->currentIndex() != 0);
  browse_->setEnabled(mode_->currentIndex() == 4);
}

int GenerateDialog::Mode() const { return mode_->currentIndex(); }
std::string GenerateDialog::Parameters() const { return parameters_->text().left(255).toStdString(); }
bool GenerateDialog::SaveDefaults() const { return save_->isChecked(); }

}  // namespace px::ui
