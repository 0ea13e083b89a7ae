#include "ui/info_window.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "frame/frame.h"
#include "ui/list_models.h"

namespace px::ui {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

InfoWindow::InfoWindow(TTemplateMain& frame, const Combination& numbers, int index, const DrawRecord* draw,
                       QWidget* parent)
    : QDialog(parent), f_(frame), numbers_(numbers) {
  setWindowTitle(QString::fromUtf8("Подробная информация"));
  const bool sorted = frame.Settings().SortedDraws;
  properties_ = new QTableWidget(0, 2, this);
  properties_->setHorizontalHeaderLabels({QString::fromUtf8("Свойство"), QString::fromUtf8("Значение")});
  properties_->verticalHeader()->setVisible(false);
  properties_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto add = [&](const std::string& name, const std::string& value) {
    const int r = properties_->rowCount();
    properties_->insertRow(r);
    properties_->setItem(r, 0, new QTableWidgetItem(Q(name)));
    properties_->setItem(r, 1, new QTableWidgetItem(Q(value)));
  };
  if (draw) {
    add("Номер тиража:", std::to_string(draw->number));
    add("Дата тиража:", draw->DateString());
  }
  const Combination shown = sorted ? Sorted(numbers) : numbers;
  TStatList& registry = frame.Registry();
  for (int i = 0; i < registry.Count(); ++i) {
    if (!registry.IsGraph(i) || !registry.IsListed(i)) continue;
    auto stat = registry.CreateInstance(i);
    if (auto* graph = dynamic_cast<TCustomGraphStat*>(stat.get()))
      add(graph->Title(), std::to_string(graph->GraphValue(shown, index, index, sorted)));
  }
  properties_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  properties_->resizeColumnToContents(1);

  card_ = new QTableWidget(this);
  card_->horizontalHeader()->setVisible(false);
  card_->verticalHeader()->setVisible(false);
  card_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  columns_ = new QSpinBox(this);
  columns_->setRange(1, 36);
  columns_->setValue(frame.Config().data.MatrixCols);
  connect(columns_, &QSpinBox::valueChanged, this, [this] { LayCard(); });

  auto* cardRow = new QHBoxLayout;
  cardRow->addWidget(new QLabel(QString::fromUtf8("Количество столбцов:"), this));
  cardRow->addWidget(columns_);
  cardRow->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(properties_, 2);
  layout->addLayout(cardRow);
  layout->addWidget(card_, 1);
  LayCard();
  resize(560, 620);
}

void InfoWindow::LayCard() {
  const int w = columns_->value();
  card_->clear();
  card_->setColumnCount(w);
  card_->setRowCount(MatrixRows(w));
  for (int c = 0; c < w; ++c) card_->setColumnWidth(c, 28);
  for (uint8_t n : numbers_) {
    if (n < 1 || n > kNumbers) continue;
    auto* item = new QTableWidgetItem(QString::number(n));
    item->setTextAlignment(Qt::AlignCenter);
    item->setBackground(ChannelQColor(n, f_.Config().data.ChannelSize));
    card_->setItem(MatrixRow(n, w) - 1, MatrixColumn(n, w) - 1, item);
  }
}

}  // namespace px::ui
