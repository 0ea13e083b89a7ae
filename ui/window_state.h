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

}  // namespace px::ui
