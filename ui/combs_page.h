// The page "Комбинации": the working combination list over the list of the
// filters applied to it, the field of draws to exclude, and the commands of
// the list.
#pragma once

#include <QWidget>
#include <vector>

#include "ui/commands.h"

class QSpinBox;
class QSplitter;
class QTableView;

namespace px::ui {

class CombsModel;
class FiltersModel;
class PageContext;

class CombsPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  CombsPage(PageContext& context, QWidget* parent = nullptr);

  void BindCommands(CommandBinder& commands) override;

  // The selected rows of the combination list, ascending.
  std::vector<int> SelectedRows() const;
  QTableView* View() const { return view_; }
  QTableView* FiltersView() const { return filtersView_; }
  CombsModel* Model() const { return model_; }
  FiltersModel* Filters() const { return filtersModel_; }
  QSpinBox* ExcludeField() const { return exclude_; }
  QSplitter* Splitter() const { return split_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Copy();
  void Paste();
  // The status text says so while the last step left the list empty.
  void SayWhenEmpty();

  PageContext& context_;
  QSplitter* split_;
  QTableView* view_;
  CombsModel* model_;
  QTableView* filtersView_;
  FiltersModel* filtersModel_;
  QSpinBox* exclude_;
  bool saidEmpty_ = false;
};

}  // namespace px::ui
