// The dialogs of the stakes page: one stake, a stake per combination and
// the deletion of stakes by their match count.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

#include "stakes/stake_store.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace px::ui {

// Refusals go here so the window routes them like every other error box.
using ShowErrorFn = std::function<void(const std::string&)>;

// "Добавление ставки".
class TFormStake final : public QDialog {
  Q_OBJECT
 public:
  TFormStake(const StakeRecord& record, int drawCount, ShowErrorFn showError, QWidget* parent = nullptr);
  // Validates and accepts as the OK button does; false when refused (the
  // dialog stays open and the faulty field has the focus).
  bool Accept();
  // The given record with the draw number, comment and sorted numbers
  // replaced; valid after an accepted Accept().
  const StakeRecord& Result() const { return result_; }
  int DrawCount() const;

  QSpinBox* DrawField() const { return draw_; }
  QSpinBox* CountField() const { return count_; }
  QLineEdit* NumbersField() const { return numbers_; }
  QLineEdit* SumField() const { return sum_; }
  QLineEdit* CommentField() const { return comment_; }

  // The "Сумма:" of a text: words that are not numbers count as 0.
  static int SumOf(const QString& text);

 private:
  StakeRecord result_;
  ShowErrorFn showError_;
  QSpinBox* draw_;
  QSpinBox* count_;
  QLineEdit* numbers_;
  QLineEdit* sum_;
  QLineEdit* comment_;
};

// "Добавление мультиставки".
class MultiStakeDialog final : public QDialog {
  Q_OBJECT
 public:
  MultiStakeDialog(int32_t drawNumber, int drawCount, const std::string& comment, ShowErrorFn showError,
                   QWidget* parent = nullptr);
  bool Accept();
  int32_t DrawNumber() const;
  int DrawCount() const;
  std::string Comment() const;

  QSpinBox* DrawField() const { return draw_; }
  QSpinBox* CountField() const { return count_; }
  QLineEdit* CommentField() const { return comment_; }

 private:
  ShowErrorFn showError_;
  QSpinBox* draw_;
  QSpinBox* count_;
  QLineEdit* comment_;
};

// "Удаление по условию". Mode and value travel packed as one 16-bit value,
// mode in the low byte, value in the high byte, as the page keeps them.
class DeleteConditionDialog final : public QDialog {
  Q_OBJECT
 public:
  explicit DeleteConditionDialog(uint16_t packed, QWidget* parent = nullptr);
  int Mode() const;   // the list place, a MatchComparison's number
  int Value() const;  // 0..5
  uint16_t Packed() const;

  QComboBox* ModeList() const { return mode_; }
  QSpinBox* ValueField() const { return value_; }
  QPushButton* OkButton() const { return ok_; }

  static uint16_t Pack(int mode, int value) { return static_cast<uint16_t>((mode & 0xFF) | ((value & 0xFF) << 8)); }

 private:
  QComboBox* mode_;
  QSpinBox* value_;
  QPushButton* ok_;
};

}  // namespace px::ui
