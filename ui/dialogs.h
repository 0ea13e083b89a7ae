// The small dialogs of the draws and combinations pages.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "core/archive.h"

class QLineEdit;
class QSpinBox;
class QDateEdit;
class QTimeEdit;
class QComboBox;
class QCheckBox;
class QPushButton;

namespace px::ui {

// "Данные тиража": number, five numbers and, when shown, date and time.
class DrawDialog final : public QDialog {
  Q_OBJECT
 public:
  // Refusals go to showError, so the window can route them like every error.
  DrawDialog(const DrawRecord& draw, bool withDates, std::function<void(const std::string&)> showError,
             QWidget* parent = nullptr);
  DrawRecord Result() const { return result_; }
  // Fills and accepts as the OK button does; false when the input is refused.
  bool Accept();
  QLineEdit* NumbersField() const { return numbers_; }
  QSpinBox* NumberField() const { return number_; }

 private:
  DrawRecord result_;
  bool withDates_;
  std::function<void(const std::string&)> showError_;
  QSpinBox* number_;
  QLineEdit* numbers_;
  QDateEdit* date_ = nullptr;
  QTimeEdit* time_ = nullptr;
};

// "Создание нового списка комбинаций".
class GenerateDialog final : public QDialog {
  Q_OBJECT
 public:
  GenerateDialog(int mode, const std::string& parameters, QWidget* parent = nullptr);
  int Mode() const;
  std::string Parameters() const;  // at most 255 characters
  bool SaveDefaults() const;
  QComboBox* ModeList() const { return mode_; }
  QLineEdit* ParameterField() const { return parameters_; }
  QCheckBox* SaveBox() const { return save_; }

 private:
  void UpdateEnabled();
  QComboBox* mode_;
  QLineEdit* parameters_;
  QPushButton* browse_;
  QCheckBox* save_;
};

}  // namespace px::ui
