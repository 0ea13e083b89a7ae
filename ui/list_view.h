// The table views the window and its pages list records in, and the widths
// of their columns.
#pragma once

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>
#include <climits>
#include <initializer_list>

class QString;

namespace px::ui {

// A header role (horizontal sections): the widest text the column may show,
// as far as its model knows it: the largest count the full set can reach, a
// stake of the most numbers, or the widest text it holds now. Lists are
// made wide enough for it before they hold it.
inline constexpr int kWidestTextRole = Qt::UserRole + 0x100;

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

// The columns' widths from the first on. These are the program's widths,
// not the person's: a later FitColumns may still widen them.
void SetColumnWidths(QTableView* view, std::initializer_list<int> widths);
void SetColumnWidth(QTableView* view, int column, int width);

// The text with every digit as "0": what a column must hold for any number
// of as many digits ("-2800.00" becomes "-0000.00").
QString AnyDigits(const QString& text);

// The width a cell of the view needs to show text in full, bold included
// (matched numbers are bold).
int CellWidth(const QTableView& view, const QString& text);

// Widens every visible column to its title (with room for the sort mark)
// and to its kWidestTextRole text, never beyond maxWidth for the text; never
// narrows. A column whose width the person set, by dragging its border or
// through the window state bringing back another width than the program's,
// keeps that width from then on.
void FitColumns(QTableView& view, int maxWidth = INT_MAX);
// The width the view needs to show every column without a horizontal
// scroll bar, with room for the vertical one: what FitColumns would make of
// a stretched last column, the others as they are.
int NeededWidth(QTableView& view);
// Whether the person set the column's width (after the first FitColumns).
bool UserWidth(const QTableView& view, int column);

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
