// A main window on a temporary data folder, with every box and dialog
// answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <deque>
#include <memory>

#include "core/env.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/scripted_desktop.h"

namespace px::test {

class WindowTest : public ::testing::Test {
 protected:
  // Messages shown: (kind, text). Questions are answered from `answers`.
  std::vector<std::pair<std::string, std::string>> messages;
  std::vector<std::string> captions;  // the caption of each message
  std::deque<bool> answers;
  // Dialogs: each is handed to the next function, which accepts or not.
  std::deque<std::function<bool(QDialog&)>> dialogs;
  std::deque<std::optional<std::string>> files;
  TempDir dir;
  std::unique_ptr<ui::MainWindow> window;
  ScriptedDesktop* desktop = nullptr;  // the window's

  // A window whose desktop the test answers, not yet created.
  void Make(std::vector<std::string> args = {}) {
    window = std::make_unique<ui::MainWindow>(Env::Real(), dir.Path(), dir.File("Pentalux5_5v36"), args);
    auto scripted = std::make_unique<ScriptedDesktop>();
    desktop = scripted.get();
    window->SetDesktop(std::move(scripted));
  }

  void Open(std::vector<std::string> args = {}) {
    Make(std::move(args));
    desktop->messageHook = [this](const QString& kind, const QString& caption, const QString& text) {
      messages.emplace_back(kind.toStdString(), text.toStdString());
      captions.push_back(caption.toStdString());
      if (kind != "question" || answers.empty()) return false;
      bool a = answers.front();
      answers.pop_front();
      return a;
    };
    desktop->dialogHook = [this](QDialog& d) {
      if (dialogs.empty()) return false;
      auto next = dialogs.front();
      dialogs.pop_front();
      return next(d);
    };
    desktop->fileHook = [this](bool) -> std::optional<std::string> {
      if (files.empty()) return std::nullopt;
      auto f = files.front();
      files.pop_front();
      return f;
    };
    ASSERT_TRUE(window->Create());
    window->show();
    ASSERT_TRUE(window->Initialise());
  }
  void Close() {
    window->close();
    window.reset();
  }
  void ClearMessages() {
    messages.clear();
    captions.clear();
  }
  std::string Panel(int i) const { return window->Panel(i)->text().toStdString(); }
};

}  // namespace px::test
