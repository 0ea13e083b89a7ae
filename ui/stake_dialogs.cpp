#include "ui/stake_dialogs.h"

#include "core/archive.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "core/errors.h"

namespace px::ui {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr int kCommentChars = 64;

QSpinBox* DrawSpin(QWidget* parent, int32_t value) {
  auto* box = new QSpinBox(parent);
  box->setRange(1, kMaxDrawNumber);
  box->setValue(std::max<int32_t>(value, 1));
  return box;
}

QSpinBox* CountSpin(QWidget* parent, int value) {
  auto* box = new QSpinBox(parent);
  box->setRange(1, 65535);
  box->setValue(std::clamp(value, 1, 65535));
  return box;
}

QLineEdit* CommentEdit(QWidget* parent, const std::string& text) {
  auto* edit = new QLineEdit(parent);
  edit->setMaxLength(kCommentChars);
  edit->setText(QString::fromStdString(text).left(kCommentChars));
  // Room for the longest comment, such as the system game's, read from its start.
  edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * kCommentChars);
  edit->setCursorPosition(0);
  return edit;
}

void Report(const ShowErrorFn& showError, QWidget* parent, const std::string& text) {
  if (showError)
    showError(text);
  else
    QMessageBox::critical(parent, U("Ошибка"), QString::fromStdString(text));
}

QDialogButtonBox* Buttons(QDialog* dialog, std::function<void()> ok) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, std::move(ok));
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

// ---- TFormStake

TFormStake::TFormStake(const StakeRecord& record, int drawCount, ShowErrorFn showError, QWidget* parent)
    : QDialog(parent), result_(record), showError_(std::move(showError)) {
  setWindowTitle(U("Добавление ставки"));
  draw_ = DrawSpin(this, record.drawNumber);
  draw_->setToolTip(U("Номер первого тиража"));
  count_ = CountSpin(this, drawCount);
  count_->setToolTip(U("Количество тиражей, на которые нужно сделать ставку (начиная с указанного)"));
  numbers_ = new QLineEdit(QString::fromStdString(NumberSetText(record.numbers, ";")), this);
  numbers_->setToolTip(U("Введите числа, разделенные точкой с запятой или запятой"));
  sum_ = new QLineEdit(this);
  sum_->setReadOnly(true);
  comment_ = CommentEdit(this, record.comment);

  auto* form = new QFormLayout;
  form->addRow(U("Номер тиража:"), draw_);
  form->addRow(U("Кол-во тиражей:"), count_);
  form->addRow(U("Ставка:"), numbers_);
  form->addRow(U("Сумма:"), sum_);
  form->addRow(U("Комментарий к ставке:"), comment_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(Buttons(this, [this] { Accept(); }));

  auto updateSum = [this] { sum_->setText(QString::number(SumOf(numbers_->text()))); };
  connect(numbers_, &QLineEdit::textChanged, this, updateSum);
  updateSum();
}

int TFormStake::SumOf(const QString& text) {
  int sum = 0;
  for (const QString& word : text.split(QRegularExpression("[,;]"))) {
    bool ok = false;
    const int n = word.trimmed().toInt(&ok);
    if (ok) sum += n;
  }
  return sum;
}

int TFormStake::DrawCount() const { return count_->value(); }

bool TFormStake::Accept() {
  NumberSet numbers;
  try {
    numbers = ParseStakeNumbers(numbers_->text().toStdString());
  } catch (const Error& e) {
    Report(showError_, this, e.what());
    numbers_->setFocus();
    return false;
  }
  if (comment_->text().trimmed().isEmpty()) {
    Report(showError_, this, "Необходимо ввести комментарий!");
    comment_->setFocus();
    return false;
  }
  result_.drawNumber = draw_->value();
  result_.numbers = numbers;
  result_.comment = comment_->text().toStdString();
  accept();
  return true;
}

// ---- MultiStakeDialog

MultiStakeDialog::MultiStakeDialog(int32_t drawNumber, int drawCount, const std::string& comment,
                                   ShowErrorFn showError, QWidget* parent)
    : QDialog(parent), showError_(std::move(showError)) {
  setWindowTitle(U("Добавление мультиставки"));
  draw_ = DrawSpin(this, drawNumber);
  count_ = CountSpin(this, drawCount);
  comment_ = CommentEdit(this, comment);
  auto* form = new QFormLayout;
  form->addRow(U("Номер тиража:"), draw_);
  form->addRow(U("Кол-во тиражей:"), count_);
  form->addRow(U("Комментарий к ставке:"), comment_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(Buttons(this, [this] { Accept(); }));
}

bool MultiStakeDialog::Accept() {
  if (comment_->text().trimmed().isEmpty()) {
    Report(showError_, this, "Необходимо ввести комментарий!");
    comment_->setFocus();
    return false;
  }
  accept();
  return true;
}

int32_t MultiStakeDialog::DrawNumber() const { return draw_->value(); }
int MultiStakeDialog::DrawCount() const { return count_->value(); }
std::string MultiStakeDialog::Comment() const { return comment_->text().toStdString(); }

// ---- DeleteConditionDialog

DeleteConditionDialog::DeleteConditionDialog(uint16_t packed, QWidget* parent) : QDialog(parent) {
  setWindowTitle(U("Удаление по условию"));
  mode_ = new QComboBox(this);
  // In the order of MatchComparison's numbers.
  for (const char* item : {"Равно [ = ]", "Более [ > ]", "Не менее [ >= ]", "Менее [ < ]", "Не более [ <= ]"})
    mode_->addItem(U(item));
  const int mode = packed & 0xFF;
  mode_->setCurrentIndex(MatchComparisonOf(mode) ? mode : 0);
  value_ = new QSpinBox(this);
  value_->setRange(0, 5);
  value_->setValue(std::min(packed >> 8, 5));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setToolTip(U("Удалить ставки"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(U("Выберите условие:"), this));
  layout->addWidget(mode_);
  layout->addWidget(new QLabel(U("Количество совпадений"), this));
  layout->addWidget(value_);
  layout->addWidget(buttons);
}

int DeleteConditionDialog::Mode() const { return mode_->currentIndex(); }
int DeleteConditionDialog::Value() const { return value_->value(); }
uint16_t DeleteConditionDialog::Packed() const { return Pack(Mode(), Value()); }

}  // namespace px::ui
