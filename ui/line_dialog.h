// The dialog of one scenario line: where the start list comes from, what to
// stake, seven filter descriptors and a comment. Each filter field opens the
// filter dialog on what it holds; typed text is kept as typed.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "scenario/scenario_line.h"
#include "stats/stat_list.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace px::ui {

// What the filter dialog needs, handed through by the scenario page.
struct FilterEditing {
  const TStatList* registry = nullptr;
  std::vector<MethodListItem> methods;
  int selected = -1;        // position in methods; -1: none
  int windowLength = 1000;  // first guess for the draw counts
  std::function<void(const std::string&)> showError;
  std::function<bool(QDialog&)> runDialog;  // default exec()
};

class LineDialog final : public QDialog {
  Q_OBJECT
 public:
  // An empty text makes a new line: first items, flags off, empty fields,
  // excludeDraws in "Кол-во тиражей:". Otherwise every control comes from
  // the parsed line.
  LineDialog(const QString& title, const std::string& lineText, int excludeDraws, FilterEditing editing,
             QWidget* parent = nullptr);

  // Reads field i (0-based), runs the filter dialog on it and, on OK, puts
  // the result back. True when the field changed hands.
  bool EditFilter(int i);

  ScenarioOptions Options() const;
  ScenarioLineText LineText() const;
  // The line as it will be stored.
  std::string Text() const;

  QLineEdit* CommentField() const { return comment_; }
  QComboBox* SourceList() const { return source_; }
  QSpinBox* ExcludeField() const { return exclude_; }
  QComboBox* StakeList() const { return stake_; }
  QCheckBox* ClearStakesBox() const { return clearStakes_; }
  QCheckBox* NewOnlyBox() const { return newOnly_; }
  QLineEdit* FilterField(int i) const { return filters_[size_t(i)]; }
  QToolButton* FilterButton(int i) const { return buttons_[size_t(i)]; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  FilterEditing editing_;
  QLineEdit* comment_;
  QComboBox* source_;
  QSpinBox* exclude_;
  QComboBox* stake_;
  QCheckBox* clearStakes_;
  QCheckBox* newOnly_;
  std::array<QLineEdit*, kScenarioFilters> filters_{};
  std::array<QToolButton*, kScenarioFilters> buttons_{};
};

}  // namespace px::ui
