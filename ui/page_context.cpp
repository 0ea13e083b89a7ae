#include "ui/page_context.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

#include "core/host.h"
#include "export/xlsx_export.h"
#include "frame/frame.h"
#include "ui/spreadsheet.h"

namespace px::ui {

std::vector<int> SelectedRows(const QTableView& view) {
  std::vector<int> rows;
  if (!view.selectionModel()) return rows;
  for (const QModelIndex& i : view.selectionModel()->selectedRows()) rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void ExportListToXlsx(PageContext& context, const QTableView& view, const char* title) {
  auto file = context.GetHost().ChooseSaveFile(kSpreadsheetFiles);
  if (!file) return;
  TTemplateMain::Busy busy(context.Frame());
  StatusScope status(context.GetHost(), "Подождите пожалуйста...");
  WriteXlsx(*file, TableOf(view, context.Tr(title)));
}

}  // namespace px::ui
