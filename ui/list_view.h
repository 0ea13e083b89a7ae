// The table views the window and its pages list records in.
#pragma once

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>
#include <initializer_list>

namespace px::ui {

// A list of whole rows, several selectable, lines as high as the font needs.
inline QTableView* MakeList(QWidget* parent, const char* name) {
  auto* v = new QTableView(parent);
  v->setObjectName(name);
  v->setSelectionBehavior(QAbstractItemView::SelectRows);
  v->setSelectionMode(QAbstractItemView::ExtendedSelection);
  v->verticalHeader()->setVisible(false);
  v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 4);
  v->horizontalHeader()->setHighlightSections(false);
  v->setWordWrap(false);
  return v;
}

// The columns' widths from the first on.
inline void SetColumnWidths(QTableView* view, std::initializer_list<int> widths) {
  int column = 0;
  for (int w : widths) view->setColumnWidth(column++, w);
}

// A read-only grid of file records (stakes, rating, scenario lines): whole
// rows, several selectable, fixed lines of 18 pixels.
inline QTableView* MakeRecordGrid(QWidget* parent, const char* name, QAbstractItemModel* model) {
  auto* v = new QTableView(parent);
  v->setObjectName(name);
  v->setModel(model);
  v->setSelectionBehavior(QAbstractItemView::SelectRows);
  v->setSelectionMode(QAbstractItemView::ExtendedSelection);
  v->setEditTriggers(QAbstractItemView::NoEditTriggers);
  v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  v->verticalHeader()->setDefaultSectionSize(18);
  v->verticalHeader()->hide();
  v->setWordWrap(false);
  return v;
}

}  // namespace px::ui
