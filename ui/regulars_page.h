// The page "Регуляры": the regular table stakes as a virtual list, the rule
// dialog, and the commands that add, delete, stake and test the rules. The
// rules live in the frame; this page shows them and routes the commands.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "stakes/regular.h"
#include "ui/commands.h"
#include "ui/stake_dialogs.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableView;
class QToolButton;

namespace px {
class TTemplateMain;
}

namespace px::ui {

class CombsPage;
class PageContext;
class StakesPage;

// One row per rule; empty while the tab is hidden.
class RegularsModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit RegularsModel(TTemplateMain& frame, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Reload();

 private:
  TTemplateMain& frame_;
  int shownRows_ = 0;
};

// "Добавление регулярной ставки".
class RegularDialog final : public QDialog {
  Q_OBJECT
 public:
  // selected: how many combinations the combination list had selected when
  // the dialog opened; with exactly one, `combination` is the start.
  RegularDialog(std::vector<RegularStake> existing, int selected, const Combination& combination,
                ShowErrorFn showError, QWidget* parent = nullptr);
  // Checks the fields as OK does; false when refused (the dialog stays open
  // and the faulty field has the focus).
  bool Accept();
  // Valid after an accepted Accept(): comment, base, step and start.
  const RegularStake& Result() const { return result_; }

  QLineEdit* CommentField() const { return comment_; }
  QLineEdit* StartField() const { return start_; }
  QRadioButton* FixedStart() const { return fixed_; }
  QRadioButton* LastDraw() const { return last_; }
  QSpinBox* StepField() const { return step_; }

 private:
  void FollowChoice();

  std::vector<RegularStake> existing_;
  int selected_;
  ShowErrorFn showError_;
  RegularStake result_;
  QLineEdit* comment_;
  QRadioButton* fixed_;
  QLineEdit* start_;
  QRadioButton* last_;
  QSpinBox* step_;
};

class RegularsPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  static constexpr std::array<int, 5> kColumnWidths = {200, 150, 60, 150, 60};

  RegularsPage(TTemplateMain& frame, PageContext& context, CombsPage& combs, StakesPage& stakes,
               QWidget* parent = nullptr);
  void BindCommands(CommandBinder& commands) override;

  // The list after the rules changed.
  void RefreshView();
  // TabTables: loads the rules when the tab is shown, releases them when not.
  void FollowTab();
  // Whether the tab is shown (the window's TabTables setting).
  bool Shown() const;

  std::vector<int> SelectedRows() const;
  QTableView* Table() const { return view_; }
  QToolButton* Button(int i) const { return buttons_[size_t(i)]; }

  void Add();
  void DeleteSelected();
  void StakeFromSelected();
  void TestSelected();

 private:
  TTemplateMain& frame_;
  PageContext& context_;
  CombsPage& combs_;
  StakesPage& stakes_;
  RegularsModel* model_;
  QTableView* view_;
  std::array<QToolButton*, 4> buttons_{};
};

}  // namespace px::ui
