// The table a page shows, as texts for the spreadsheet export.
#pragma once

#include <QString>

#include "export/xlsx_export.h"

class QAbstractItemModel;
class QTableView;

namespace px::ui {

// Every column and top-level row of the model, in model order.
px::SheetTable TableOf(const QAbstractItemModel& model, const QString& title);

// What the view shows: its visible columns in their on-screen order and its
// visible rows in the order of the view's model (a sorting proxy included).
px::SheetTable TableOf(const QTableView& view, const QString& title);

}  // namespace px::ui
