// What a page of the main window gets from the window that assembles it:
// the frame, the host (boxes, status, file choosers), the desktop (dialogs,
// clipboard) and the interface language.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "core/host.h"

class QDialog;
class QTableView;

namespace px {
class TFormMain;
}  // namespace px

namespace px::ui {

class Desktop;

class PageContext {
 public:
  virtual ~PageContext() = default;
  virtual TFormMain& Frame() = 0;
  virtual Host& GetHost() = 0;
  virtual Desktop& GetDesktop() = 0;
  virtual QString Tr(const std::string& russian) const = 0;
  // Every dialog of a page runs through here.
  virtual bool RunDialog(QDialog& dialog) = 0;
  // The commands' enabled states after a change of selection or state.
  virtual void UpdateActions() = 0;
  // Runs a command as its menu item does, when it is enabled.
  virtual bool Trigger(const std::string& name) = 0;
  // The method lists of every page, after the registry changed.
  virtual void FillMethodLists(bool keepSelection) = 0;
};

inline const FileFilter kSpreadsheetFiles{"Книги Microsoft Excel (*.xlsx)|*.xlsx", "xlsx"};

// The rows selected in a list, ascending.
std::vector<int> SelectedRows(const QTableView& view);
// DrawsXlsExport, CombsXlsExport: the list as shown, titled with its page
// caption, into a workbook the person chooses.
void ExportListToXlsx(PageContext& context, const QTableView& view, const char* title);

}  // namespace px::ui
