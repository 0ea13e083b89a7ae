#include "ui/list_view.h"

#include <QFontMetrics>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <set>

namespace px::ui {

namespace {

// Which columns the person sized, kept with the header. Resizes the program
// makes itself happen under `programmatic`.
class ColumnWidths final : public QObject {
 public:
  explicit ColumnWidths(QHeaderView* header) : QObject(header) {
    setObjectName(kName);
    connect(header, &QHeaderView::sectionResized, this, [this, header](int column, int before, int after) {
      // Hiding and showing a column is no choice of width; a stretched
      // section follows the view.
      if (programmatic > 0 || before == 0 || after == 0) return;
      if (header->sectionResizeMode(column) != QHeaderView::Interactive) return;
      if (header->stretchLastSection() && column == LastVisible(*header)) return;
      user.insert(column);
    });
  }

  static ColumnWidths* Find(const QTableView& view) {
    // Only a ColumnWidths has that name.
    return static_cast<ColumnWidths*>(view.horizontalHeader()->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly));
  }
  static ColumnWidths& Of(QTableView& view) {
    if (ColumnWidths* found = Find(view)) return *found;
    return *new ColumnWidths(view.horizontalHeader());
  }

  std::set<int> user;
  int programmatic = 0;

 private:
  static constexpr const char* kName = "pxColumnWidths";

  static int LastVisible(const QHeaderView& header) {
    for (int visual = header.count() - 1; visual >= 0; --visual) {
      const int logical = header.logicalIndex(visual);
      if (!header.isSectionHidden(logical)) return logical;
    }
    return -1;
  }
};

// The program's own resizes, not to be taken for the person's.
class Programmatic {
 public:
  explicit Programmatic(QTableView& view) : widths_(ColumnWidths::Find(view)) {
    if (widths_) ++widths_->programmatic;
  }
  ~Programmatic() {
    if (widths_) --widths_->programmatic;
  }
  Programmatic(const Programmatic&) = delete;
  Programmatic& operator=(const Programmatic&) = delete;

 private:
  ColumnWidths* widths_;
};

}  // namespace

void SetColumnWidths(QTableView* view, std::initializer_list<int> widths) {
  Programmatic programmatic(*view);
  int column = 0;
  for (int w : widths) view->setColumnWidth(column++, w);
}

void SetColumnWidth(QTableView* view, int column, int width) {
  Programmatic programmatic(*view);
  view->setColumnWidth(column, width);
}

QString AnyDigits(const QString& text) {
  QString s = text;
  for (QChar& c : s)
    if (c.isDigit()) c = QLatin1Char('0');
  return s;
}

int CellWidth(const QTableView& view, const QString& text) {
  QFont bold = view.font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  // The item's text margin on either side, as the style draws it, and the grid line.
  const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
  return metrics.horizontalAdvance(text) + 2 * margin + 3;
}

void FitColumns(QTableView& view, int maxWidth) {
  QAbstractItemModel* model = view.model();
  if (!model) return;
  ColumnWidths& widths = ColumnWidths::Of(view);
  Programmatic programmatic(view);
  const QHeaderView* header = view.horizontalHeader();
  for (int c = 0; c < model->columnCount(); ++c) {
    if (view.isColumnHidden(c) || widths.user.count(c)) continue;
    int want = header->sectionSizeHint(c);
    const QVariant widest = model->headerData(c, Qt::Horizontal, kWidestTextRole);
    if (widest.isValid()) want = std::max(want, std::min(CellWidth(view, widest.toString()), maxWidth));
    if (view.columnWidth(c) < want) view.setColumnWidth(c, want);
  }
}

int NeededWidth(QTableView& view) {
  QAbstractItemModel* model = view.model();
  if (!model) return 0;
  const QHeaderView* header = view.horizontalHeader();
  int last = -1;
  for (int visual = header->count() - 1; visual >= 0 && last < 0; --visual)
    if (!header->isSectionHidden(header->logicalIndex(visual))) last = header->logicalIndex(visual);
  int width = 0;
  for (int c = 0; c < model->columnCount(); ++c) {
    if (view.isColumnHidden(c)) continue;
    if (c == last && header->stretchLastSection()) {
      int want = header->sectionSizeHint(c);
      const QVariant widest = model->headerData(c, Qt::Horizontal, kWidestTextRole);
      if (widest.isValid()) want = std::max(want, CellWidth(view, widest.toString()));
      width += want;
    } else {
      width += view.columnWidth(c);
    }
  }
  return width + view.verticalScrollBar()->sizeHint().width() + 2 * view.frameWidth();
}

bool UserWidth(const QTableView& view, int column) {
  const ColumnWidths* widths = ColumnWidths::Find(view);
  return widths && widths->user.count(column) != 0;
}

}  // namespace px::ui
