// "Фильтр": edits one scenario filter. The statistic list is a copy of the
// main window's, so the caller hands in the registry and the list it shows.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "scenario/filter_item.h"
#include "stats/stat_list.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

namespace px::ui {

class FilterDialog final : public QDialog {
  Q_OBJECT
 public:
  // selected: position in methods of the main list's selection (-1: none);
  // windowLength: the main window's, the first guess for "Количество
  // тиражей:". Refusals of OK go to showError so that tests never block.
  FilterDialog(const TStatList& registry, const std::vector<MethodListItem>& methods, int selected,
               int windowLength, std::function<void(const std::string&)> showError, QWidget* parent = nullptr);

  // Sets the controls from a defined item; an undefined one leaves the
  // first guesses. The item's statistic word survives into Item().
  void Load(const TFilterItem& item);
  // The OK checks; on success the dialog is accepted. False keeps it open
  // with the focus on the control at fault.
  bool Accept();
  void accept() override { Accept(); }
  // The record rebuilt from the controls, defined.
  TFilterItem Item() const;

  QComboBox* FilterTypeList() const { return method_; }          // "Тип фильтра:"
  QLineEdit* DrawCountsField() const { return drawCounts_; }     // "Количество тиражей:"
  QComboBox* SortColumnList() const { return sortColumn_; }      // "Сортировать по столбцу:"
  QComboBox* DirectionList() const { return direction_; }        // "Направление:"
  QComboBox* ActionList() const { return action_; }              // "Режим фильтра:"
  QCheckBox* MultiSelectBox() const { return multiSelect_; }
  QComboBox* ConditionList() const { return condition_; }        // "Режим выделения значений ...:"
  QLineEdit* ValuesField() const { return values_; }             // "Значения:"
  QGroupBox* WeightGroup() const { return weightGroup_; }
  QCheckBox* WeightOverrideBox() const { return weightOverride_; }
  QDoubleSpinBox* CoefCountField() const { return coefCount_; }
  QDoubleSpinBox* CoefDeviationField() const { return coefDeviation_; }
  QDoubleSpinBox* CoefDepthField() const { return coefDepth_; }
  QCheckBox* PercentsBox() const { return usePercents_; }
  QCheckBox* AbsValuesBox() const { return useAbs_; }
  QComboBox* StopModeList() const { return stopMode_; }          // "Остановка по:"
  QSpinBox* StopValueField() const { return stopValue_; }        // "Значение:"

 private:
  void UpdateWeightControls();
  void Refuse(const char* message, QWidget* culprit);
  int SelectedMethod() const;  // registry position, -1 when the list is empty
  void ShowCoefficients(long double count, long double deviation, long double depth);

  const TStatList& registry_;
  std::function<void(const std::string&)> showError_;
  char separator_;
  TFilterItem loaded_;
  QComboBox* method_;
  QLineEdit* drawCounts_;
  QComboBox* sortColumn_;
  QComboBox* direction_;
  QComboBox* action_;
  QCheckBox* multiSelect_;
  QComboBox* condition_;
  QLineEdit* values_;
  QGroupBox* weightGroup_;
  QCheckBox* weightOverride_;
  QDoubleSpinBox* coefCount_;
  QDoubleSpinBox* coefDeviation_;
  QDoubleSpinBox* coefDepth_;
  QCheckBox* usePercents_;
  QCheckBox* useAbs_;
  QComboBox* stopMode_;
  QSpinBox* stopValue_;
};

}  // namespace px::ui
