// A desktop that a test answers: boxes and dialogs go to the test's
// functions, the clipboard is a string and opened files are only named.
#pragma once

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/desktop.h"

namespace px::test {

class ScriptedDesktop final : public ui::Desktop {
 public:
  // A box gets (kind, caption, text) as the program wrote them and returns the answer.
  std::function<bool(const QString& kind, const QString& caption, const QString& text)> messageHook;
  // A dialog before it runs; returns whether it is accepted.
  std::function<bool(QDialog& dialog)> dialogHook;
  std::function<std::optional<std::string>(bool save)> fileHook;
  // A context menu as it pops up; returns the command to run, or null.
  std::function<QAction*(QMenu& menu)> menuHook;
  std::string clipboard;
  std::vector<std::string> opened;

  bool Box(QWidget*, const std::string& kind, const std::string& caption, const std::string& text) override {
    return messageHook && messageHook(QString::fromStdString(kind), QString::fromStdString(caption),
                                      QString::fromStdString(text));
  }
  bool RunDialog(QDialog& dialog) override { return dialogHook && dialogHook(dialog); }
  std::optional<std::string> ChooseFile(QWidget*, bool save, const FileFilter&, const QString&) override {
    return fileHook ? fileHook(save) : std::nullopt;
  }
  std::string ClipboardText() override { return clipboard; }
  void SetClipboardText(const std::string& text) override { clipboard = text; }
  void OpenFile(const std::string& path) override { opened.push_back(path); }
  void OpenUrl(const std::string& url) override { opened.push_back(url); }
  QAction* PopupMenu(QMenu& menu, const QPoint&) override {
    QAction* chosen = menuHook ? menuHook(menu) : nullptr;
    if (chosen) chosen->trigger();
    return chosen;
  }
  std::string LastOpened() const { return opened.empty() ? std::string() : opened.back(); }
};

}  // namespace px::test
