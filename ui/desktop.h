// What the window asks of the desktop: message boxes, modal dialogs, file
// choosers, the clipboard and opening a file with its viewer. The window
// talks to the desktop only through this; tests put a scripted desktop in
// its place (MainWindow::SetDesktop), so no production path asks whether it
// runs under a test.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "core/host.h"

class QAction;
class QDialog;
class QMenu;
class QPoint;
class QWidget;

namespace px::ui {

class Desktop {
 public:
  virtual ~Desktop() = default;
  // kind is "error", "info" or "warning" (an OK box; the answer is false)
  // or "question" (Yes and No, true for Yes). The caption and the buttons
  // are translated; "\r" in the text breaks lines.
  virtual bool Box(QWidget* parent, const std::string& kind, const std::string& caption, const std::string& text);
  // True when the dialog was accepted.
  virtual bool RunDialog(QDialog& dialog);
  virtual std::optional<std::string> ChooseFile(QWidget* parent, bool save, const FileFilter& filter,
                                                const QString& folder);
  virtual std::string ClipboardText();
  virtual void SetClipboardText(const std::string& text);
  // A run log or the help file, with the desktop's viewer.
  virtual void OpenFile(const std::string& path);
  // A link with the desktop's handler for it (a web page in the browser).
  virtual void OpenUrl(const std::string& url);
  // A context menu at a point of the screen; the chosen command has run when
  // it returns. Null when none was chosen.
  virtual QAction* PopupMenu(QMenu& menu, const QPoint& at);

  // The interface language's texts.
  std::function<QString(const std::string&)> translate = [](const std::string& s) {
    return QString::fromStdString(s);
  };
};

}  // namespace px::ui
