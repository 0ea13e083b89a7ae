// "Количество повторов в зависимости от тиража": for each recent draw, how
// many of the draws before it share 1..5 numbers with it, as a list and as
// a chart with a line per number of shared numbers. A modal window over the
// frame's archive; it keeps its own settings in its section "TFormRepeats",
// read when it is made and written when it closes.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <memory>
#include <random>

#include "views/repeats.h"

class QChart;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableView;

namespace px {
class TTemplateMain;
}

namespace px::ui {

class ChartAxes;
class ZoomChartView;

// The rows of an analysis; a row's texts are made only when it is shown.
class RepeatsModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit RepeatsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  void SetTable(RepeatsTable table);
  const RepeatsTable& Table() const { return table_; }
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  RepeatsTable table_;
};

class RepeatsWindow final : public QDialog {
  Q_OBJECT
 public:
  static constexpr const char* kSection = "TFormRepeats";

  RepeatsWindow(TTemplateMain& frame, QWidget* parent = nullptr);
  ~RepeatsWindow() override;
  RepeatsWindow(const RepeatsWindow&) = delete;
  RepeatsWindow& operator=(const RepeatsWindow&) = delete;

  // Analyses the archive with the fields' length and depth and draws the
  // list and the chart anew, with the host's progress.
  void RefreshAnalyze();

  const RepeatsTable& Table() const { return model_->Table(); }
  int Computations() const { return computations_; }
  QSpinBox* LengthField() const { return length_; }
  QSpinBox* DepthField() const { return depth_; }
  QPushButton* CalcButton() const { return calc_; }
  QTableView* List() const { return list_; }
  QChart* Chart() const { return chart_; }
  QSplitter* Splitter() const { return split_; }
  // The chart's height: the splitter's once shown, the stored one before.
  int GraphHeight() const;
  void SetGraphHeight(int height);

 protected:
  void done(int result) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ReadSettings();
  void WriteSettings();
  void DrawChart();

  TTemplateMain& f_;
  QSpinBox* length_;
  QSpinBox* depth_;
  QPushButton* calc_;
  QTableView* list_;
  RepeatsModel* model_;
  QSplitter* split_;
  QChart* chart_;
  std::unique_ptr<ChartAxes> axes_;
  ZoomChartView* chartView_;
  int graphHeight_ = 250;
  bool placed_ = false;
  int computations_ = 0;
  std::mt19937 random_;
};

}  // namespace px::ui
