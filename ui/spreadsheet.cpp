#include "ui/spreadsheet.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

namespace px::ui {
namespace {

std::string Text(const QVariant& value) { return value.toString().toStdString(); }

px::SheetTable Collect(const QAbstractItemModel& model, const QString& title, const std::vector<int>& columns,
                       const std::vector<int>& rows) {
  px::SheetTable table;
  table.title = title.toStdString();
  table.headers.reserve(columns.size());
  for (int c : columns) table.headers.push_back(Text(model.headerData(c, Qt::Horizontal, Qt::DisplayRole)));
  table.rows.reserve(rows.size());
  for (int r : rows) {
    std::vector<std::string>& cells = table.rows.emplace_back();
    cells.reserve(columns.size());
    for (int c : columns) cells.push_back(Text(model.data(model.index(r, c), Qt::DisplayRole)));
  }
  return table;
}

std::vector<int> Range(int count) {
  std::vector<int> all(static_cast<size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) all[static_cast<size_t>(i)] = i;
  return all;
}

// Logical sections in the order the header shows them, hidden ones left out.
std::vector<int> Shown(const QHeaderView& header, int count) {
  std::vector<int> shown;
  for (int visual = 0; visual < count; ++visual) {
    int logical = header.logicalIndex(visual);
    if (logical >= 0 && !header.isSectionHidden(logical)) shown.push_back(logical);
  }
  return shown;
}

}  // namespace

px::SheetTable TableOf(const QAbstractItemModel& model, const QString& title) {
  return Collect(model, title, Range(model.columnCount()), Range(model.rowCount()));
}

px::SheetTable TableOf(const QTableView& view, const QString& title) {
  const QAbstractItemModel* model = view.model();
  if (!model) {
    px::SheetTable empty;
    empty.title = title.toStdString();
    return empty;
  }
  return Collect(*model, title, Shown(*view.horizontalHeader(), model->columnCount()),
                 Shown(*view.verticalHeader(), model->rowCount()));
}

}  // namespace px::ui
