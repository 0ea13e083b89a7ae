#include "ui/scenario_run.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "frame/frame.h"
#include "ui/desktop.h"
#include "ui/main_window.h"
#include "ui/scenario_page.h"
#include "ui/stakes_page.h"
#include "ui/stats_page.h"

namespace px::ui {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Qt hands a disabled current tab's place to its neighbour; the person
// keeps looking at the page they chose.
void SetTabEnabled(QTabWidget* tabs, QWidget* page, bool on) {
  if (!tabs || !page) return;
  const int i = tabs->indexOf(page);
  if (i < 0) return;
  const int current = tabs->currentIndex();
  QSignalBlocker block(tabs);
  tabs->setTabEnabled(i, on);
  tabs->setCurrentIndex(current);
}

}  // namespace

// ---- TestCountDialog

TestCountDialog::TestCountDialog(int maxCount, QWidget* parent) : QDialog(parent) {
  setObjectName("TestCountDialog");
  setWindowTitle(U("Количество тестов"));
  const QString hint = U("Укажите количество последних тиражей, на которых будет производится тестирование");
  label_ = new QLabel(U("Укажите количество тестов:"), this);
  count_ = new QSpinBox(this);
  count_->setObjectName("edTestCount");
  const int top = std::max(maxCount, 1);
  count_->setRange(1, top);
  count_->setValue(std::clamp(10, 1, top));
  count_->setToolTip(hint);
  count_->setStatusTip(hint);
  label_->setBuddy(count_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label_);
  layout->addWidget(count_);
  layout->addWidget(buttons);
}

int TestCountDialog::Count() const {
  count_->interpretText();
  return count_->value();
}

// ---- RunView

void RunView::Status(const RunStatus& status) {
  ScenarioPage* page = window_.Script();
  if (!page) return;
  page->SetPanel(1, U("Цикл: %1").arg(status.cycle));
  page->SetPanel(2, U("Строка: %1").arg(status.line));
  page->SetPanel(3, U("Ставок: %1").arg(status.stakes));
  page->SetPanel(4, QString::fromStdString(window_.Frame().Texts().Translate(status.text)));
}

void RunView::SelectLine(int index) {
  if (ScenarioPage* page = window_.Script()) page->SelectLine(index);
}

void RunView::RefreshStakes(bool refreshRows, bool moveToLast) {
  // The page also writes the stakes panel of the status bar.
  window_.Stakes()->RefreshView(refreshRows, moveToLast);
}

void RunView::EnablePages(bool on) {
  QTabWidget* lists = window_.ListPages();
  for (int i = 0; i < lists->count(); ++i) SetTabEnabled(lists, lists->widget(i), on);
  SetTabEnabled(window_.MainPages(), window_.Stats(), on);
  // The lists and the statistics are refreshed once the run is over; until
  // then they keep the picture they had, with no layout or paint per step.
  for (int i = 0; i < lists->count(); ++i) lists->widget(i)->setUpdatesEnabled(on);
  window_.Stats()->setUpdatesEnabled(on);
  if (ScenarioPage* page = window_.Script()) page->Table()->setEnabled(on);
}

void RunView::RunningChanged(bool running) {
  if (running) {
    method_ = -1;
    length_ = 0;
    EnablePages(false);
  } else {
    EnablePages(true);
    // Shown when the frame refreshes the views after the run.
    if (method_ >= 0) window_.Stats()->ShowMethod(method_, length_);
  }
  window_.UpdateActions();
}

void RunView::TableUsed(int method, int length) {
  method_ = method;
  length_ = length;
}

void RunView::OpenLog(const std::string& path) {
  window_.GetDesktop().OpenFile(path);
}

}  // namespace px::ui
