#include "ui/window_state.h"

#include <QAbstractItemModel>
#include <QGuiApplication>
#include <QScreen>
#include <QTableView>
#include <QWidget>
#include <vector>

namespace px::ui {

namespace {
QSize ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->size() : QSize(0, 0);
}
}  // namespace

void RestorePlacement(QWidget& window, const IniFile& ini, const std::string& section, const QRect& fallback) {
  WindowPlacement p;
  p.normPos = Rect{fallback.left(), fallback.top(), fallback.right() + 1, fallback.bottom() + 1};
  const QSize screen = ScreenSize();
  p = ReadPlacement(ini, section, screen.width(), screen.height(), p);
  const int width = p.normPos.right - p.normPos.left, height = p.normPos.bottom - p.normPos.top;
  // A damaged position must not make the window vanish.
  if (width > 0 && height > 0)
    window.setGeometry(p.normPos.left, p.normPos.top, width, height);
  else
    window.setGeometry(fallback);
  if (p.showCmd == 3) window.setWindowState(Qt::WindowMaximized);
}

void SavePlacement(const QWidget& window, IniFile& ini, const std::string& section) {
  WindowPlacement p;
  const QRect g = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
  p.normPos = Rect{g.left(), g.top(), g.right() + 1, g.bottom() + 1};
  p.minMaxPos = Rect{-1, -1, -1, -1};
  p.showCmd = window.isMinimized() ? 2 : (window.isMaximized() ? 3 : 1);
  p.pixelsPerInch = window.logicalDpiX();
  const QSize screen = ScreenSize();
  WritePlacement(ini, section, screen.width(), screen.height(), p);
}

void RestoreColumns(QTableView& list, const IniFile& ini, const std::string& section) {
  if (!list.model()) return;
  std::vector<int> current;
  for (int c = 0; c < list.model()->columnCount(); ++c) current.push_back(list.columnWidth(c));
  const std::vector<int> widths = ReadColumnWidths(ini, section, list.objectName().toStdString(), current);
  for (int c = 0; c < int(widths.size()) && c < int(current.size()); ++c)
    if (widths[size_t(c)] > 0) list.setColumnWidth(c, widths[size_t(c)]);
}

void SaveColumns(const QTableView& list, IniFile& ini, const std::string& section) {
  if (!list.model()) return;
  std::vector<int> widths;
  for (int c = 0; c < list.model()->columnCount(); ++c) widths.push_back(list.columnWidth(c));
  WriteColumnWidths(ini, section, list.objectName().toStdString(), widths);
}

PageState ReadPageState(const IniFile& ini, const std::string& section) {
  PageState state;
  state.statMethod = ini.ReadString(section, "DrawsStatMethod", "");
  state.graphMethod = ini.ReadString(section, "DrawsGraphMethod", "");
  state.mainPage = ini.ReadInt(section, "MainPage", -1);
  state.listsPage = ini.ReadInt(section, "ListsPage", -1);
  return state;
}

void WritePageState(IniFile& ini, const std::string& section, const PageState& state) {
  if (!state.statMethod.empty()) ini.WriteString(section, "DrawsStatMethod", state.statMethod);
  if (!state.graphMethod.empty()) ini.WriteString(section, "DrawsGraphMethod", state.graphMethod);
  if (state.mainPage >= 0) ini.WriteInt(section, "MainPage", state.mainPage);
  if (state.listsPage >= 0) ini.WriteInt(section, "ListsPage", state.listsPage);
}

}  // namespace px::ui
