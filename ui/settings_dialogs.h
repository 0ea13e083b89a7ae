// The configuration dialogs: "Параметры системы" over the editable core of
// the game configuration, and "Методы шинковки" over the three formulas.
#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/config.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

namespace px::ui {

// "Параметры системы". Edits a copy; the caller takes Result() on OK.
class SettingsDialog final : public QDialog {
  Q_OBJECT
 public:
  // Refusals of a segment value go to showError, so the window routes them
  // like every other error and tests are never blocked by a box.
  SettingsDialog(const TConfigData& data, std::function<void(const std::string&)> showError,
                 QWidget* parent = nullptr);

  // The record rebuilt from the controls.
  TConfigData Result() const;

  QSpinBox* MatrixColsField() const { return matrixCols_; }       // edMatrixCol
  QSpinBox* MatrixRowsField() const { return matrixRows_; }       // edMatrixRow, read-only
  QSpinBox* ChannelSizeField() const { return channelSize_; }     // edChannelSize
  QDoubleSpinBox* CostField() const { return cost_; }             // edCost
  QSpinBox* StakeMaxLenField() const { return stakeMaxLen_; }     // edStakeMaxLen
  QTableWidget* ProfitsTable() const { return profits_; }         // edProfits: key, amount
  QDoubleSpinBox* CoefCountField() const { return coefCount_; }   // edCoefCount
  QDoubleSpinBox* CoefDeviationField() const { return coefDeviation_; }  // edCoefDeviation
  QDoubleSpinBox* CoefLevelField() const { return coefLevel_; }   // edCoefLevel
  QCheckBox* PercentsBox() const { return usePercents_; }         // cbCoefPercents
  QCheckBox* AbsValuesBox() const { return useAbs_; }             // cbCoefAbs
  QTableWidget* SegmentsGrid() const { return segments_; }        // sgSegments
  // The grid cell of number n (1..36) in the current layout.
  QTableWidgetItem* SegmentCell(int n) const;

 private:
  std::array<QString, 36> SegmentTexts() const;  // by number, from the current layout
  void LayOutSegments(int cols, const std::array<QString, 36>& values);
  void CheckSegment(QTableWidgetItem* item);

  std::function<void(const std::string&)> showError_;
  char separator_;
  bool filling_ = false;  // our own writes into the grid are not user input
  QSpinBox* matrixCols_;
  QSpinBox* matrixRows_;
  QSpinBox* channelSize_;
  QDoubleSpinBox* cost_;
  QSpinBox* stakeMaxLen_;
  QTableWidget* profits_;
  QDoubleSpinBox* coefCount_;
  QDoubleSpinBox* coefDeviation_;
  QDoubleSpinBox* coefLevel_;
  QCheckBox* usePercents_;
  QCheckBox* useAbs_;
  QTableWidget* segments_;
};

// "Методы шинковки": the three formulas and their digit counts.
class ShreddingDialog final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kMinDigits = 1;
  static constexpr int kMaxDigits = 5;

  ShreddingDialog(const std::array<std::string, 3>& formulas, const std::array<uint8_t, 3>& digits,
                  QWidget* parent = nullptr);

  std::array<std::string, 3> Formulas() const;
  std::array<uint8_t, 3> Digits() const;

  QLineEdit* FormulaField(int i) const { return formulas_.at(size_t(i)); }  // edFormula1..3 at 0..2
  QSpinBox* DigitsField(int i) const { return digits_.at(size_t(i)); }      // edDigits1..3 at 0..2

 private:
  std::array<QLineEdit*, 3> formulas_{};
  std::array<QSpinBox*, 3> digits_{};
};

}  // namespace px::ui
