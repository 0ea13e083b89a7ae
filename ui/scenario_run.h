// What the window shows of a scenario run: the test count dialog before a
// test, and the observer the frame reports the run to.
#pragma once

#include <QDialog>

#include "scenario/run.h"

class QLabel;
class QSpinBox;

namespace px::ui {

class MainWindow;

// "Количество тестов": how many of the last draws a test runs over.
class TestCountDialog final : public QDialog {
  Q_OBJECT
 public:
  // maxCount is the archive size less one: the oldest draw has nothing before it.
  explicit TestCountDialog(int maxCount, QWidget* parent = nullptr);
  int Count() const;
  QSpinBox* CountField() const { return count_; }
  QLabel* Label() const { return label_; }

 private:
  QLabel* label_;
  QSpinBox* count_;
};

// Follows a run on the window: the scenario page's status bar and line, the
// stakes page, the pages a run must not be disturbed on, and afterwards the
// statistic the run used last.
class RunView final : public RunObserver {
 public:
  explicit RunView(MainWindow& window) : window_(window) {}

  void Status(const RunStatus& status) override;
  void SelectLine(int index) override;
  void RefreshStakes(bool refreshRows, bool moveToLast) override;
  void RunningChanged(bool running) override;
  void TableUsed(int method, int length) override;
  void OpenLog(const std::string& path) override;

 private:
  void EnablePages(bool on);

  MainWindow& window_;
  int method_ = -1;
  int length_ = 0;
};

}  // namespace px::ui
