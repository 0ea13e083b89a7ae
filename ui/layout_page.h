// The page "Схема": where the numbers of a window of recent draws fell, as a
// grid of counts by newest fall, and under it the five compare lists that
// group the numbers by how often they fell in windows of other lengths.
// Selected cells keep or remove the combinations holding their numbers.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <array>
#include <functional>

#include "export/xlsx_export.h"
#include "ui/commands.h"
#include "views/layout.h"

class QSpinBox;
class QSplitter;
class QTableView;
class QToolButton;

namespace px {
class TTemplateMain;
}

namespace px::ui {

class PageContext;

// The grid's data cells; the header row and column are the view's headers.
class LayoutGridModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void SetGrid(LayoutGrid grid);
  // Repaints every cell in the colouring given.
  void SetGradient(bool gradient);
  const LayoutGrid& Grid() const { return grid_; }
  // The background of a data cell, as 0xRRGGBB.
  uint32_t Colour(int row, int column) const;

 private:
  LayoutGrid grid_;
  bool gradient_ = true;
};

// One compare list: count and numbers, sortable by either column.
class LayoutCompareModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;
  void SetList(LayoutCompareList list);
  const LayoutCompareList& List() const { return list_; }

 private:
  LayoutCompareList list_;
  int sortColumn_ = 0;
  bool descending_ = true;
};

// The grid as a worksheet: a header row "Кол-во" and the draw numbers, then
// one row per count with the cells' colours.
SheetTable LayoutSheet(const LayoutGrid& grid, bool gradient, const std::string& title);

class LayoutPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  explicit LayoutPage(PageContext& context, QWidget* parent = nullptr);

  // LayoutCalc, LayoutCmpCalc, the keep / remove, the export, the grid's
  // context menu and the page's two places among the views.
  void BindCommands(CommandBinder& commands) override;

  // Recompute when forced or when their inputs changed (the grid: archive
  // size, offset, window length; the lists: archive size, offset); never
  // while the page is not shown.
  void BuildLayout(bool forced);
  void BuildLayoutCompare(bool forced);
  // After a change of the colouring mode.
  void Repaint();

  // The lengths and the panel height from the frame's settings (read after
  // the page is built), and back.
  void ReadSettings(int pageHeight);
  void WriteSettings();

  // Whether the page counts as shown; unset: the widget's own visibility.
  std::function<bool()> isShown;

  // The numbers of the selected cells.
  LayoutSelectionNumbers SelectedNumbers() const;
  bool HasSelection() const;
  int Computations() const { return computations_; }
  int CompareComputations() const { return compareComputations_; }
  QSpinBox* LengthField() const { return length_; }
  QSpinBox* CompareField(int i) const { return compareFields_[size_t(i)]; }
  QTableView* Grid() const { return grid_; }
  LayoutGridModel* GridModel() const { return model_; }
  QTableView* CompareList(int i) const { return compareLists_[size_t(i)]; }
  LayoutCompareModel* CompareModel(int i) const { return compareModels_[size_t(i)]; }
  QSplitter* Splitter() const { return split_; }
  QSplitter* CompareSplitter() const { return compareSplit_; }
  QWidget* ComparePanel() const { return comparePanel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Shown() const;
  void FitGridColumns();
  void DivideCompareWidth();
  void Filter(bool keep);
  void Export();
  LayoutCompareLengths CompareLengths() const;

  PageContext& context_;
  TTemplateMain& f_;
  QSpinBox* length_;
  QToolButton* calcButton_;
  std::array<QToolButton*, 2> filterButtons_{};
  QTableView* grid_;
  LayoutGridModel* model_;
  QSplitter* split_;
  QWidget* comparePanel_;
  QSplitter* compareSplit_;
  std::array<QSpinBox*, kLayoutCompareLists> compareFields_{};
  std::array<QTableView*, kLayoutCompareLists> compareLists_{};
  std::array<LayoutCompareModel*, kLayoutCompareLists> compareModels_{};
  QToolButton* compareButton_;
  LayoutInputs last_;
  LayoutCompareInputs lastCompare_;
  int computations_ = 0;
  int compareComputations_ = 0;
};

}  // namespace px::ui
