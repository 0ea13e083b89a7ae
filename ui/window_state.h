// Window placement and list columns in the window-state store, written the
// same way for the main window and for the windows that keep their own.
#pragma once

#include <QRect>
#include <string>

#include "core/form_settings.h"

class QTableView;
class QWidget;

namespace px::ui {

// The stored placement of the window's section; fallback without one.
void RestorePlacement(QWidget& window, const IniFile& ini, const std::string& section, const QRect& fallback);
void SavePlacement(const QWidget& window, IniFile& ini, const std::string& section);

// "<list>.Column<i>" widths; a missing key keeps the width the list has.
void RestoreColumns(QTableView& list, const IniFile& ini, const std::string& section);
void SaveColumns(const QTableView& list, IniFile& ini, const std::string& section);

// What the person last looked at: the method codes of the statistics and
// graphs pages and the active page of each page control. Empty codes and
// -1 pages stand for keys the store lacks; they restore nothing.
struct PageState {
  std::string statMethod;   // DrawsStatMethod
  std::string graphMethod;  // DrawsGraphMethod
  int mainPage = -1;        // MainPage
  int listsPage = -1;       // ListsPage
  bool operator==(const PageState&) const = default;
};
PageState ReadPageState(const IniFile& ini, const std::string& section);
// Writes the keys of what is known; an empty code or a page below 0 leaves
// the stored key as it was.
void WritePageState(IniFile& ini, const std::string& section, const PageState& state);

}  // namespace px::ui
