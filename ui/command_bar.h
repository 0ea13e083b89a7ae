// The row of command buttons above a page's list. Each button keeps its own,
// shorter caption and runs the window's command once bound to it. A tool bar
// folds what does not fit behind its arrow, so the buttons never widen the
// page beyond the window.
#pragma once

#include <QAction>
#include <QToolBar>
#include <QToolButton>
#include <array>
#include <initializer_list>

namespace px::ui {

// Disabled buttons with the given captions, until their commands are bound;
// a caption "|" is a separator between groups of buttons, not a button.
template <size_t N>
QToolBar* MakeCommandBar(QWidget* parent, std::initializer_list<const char*> captions,
                         std::array<QToolButton*, N>& buttons) {
  auto* bar = new QToolBar(parent);
  size_t next = 0;
  for (const char* caption : captions) {
    if (caption[0] == '|' && caption[1] == 0) {
      bar->addSeparator();
      continue;
    }
    if (next == N) break;
    auto* button = new QToolButton(bar);
    button->setText(QString::fromUtf8(caption));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setEnabled(false);
    buttons[next++] = button;
    bar->addWidget(button);
  }
  return bar;
}

template <size_t N>
void BindCommandBar(const std::array<QToolButton*, N>& buttons, const std::array<QAction*, N>& actions) {
  for (size_t i = 0; i < N; ++i) {
    QToolButton* button = buttons[i];
    QAction* action = actions[i];
    if (!button || !action) continue;
    const QString caption = button->text();
    button->setDefaultAction(action);
    // The button keeps its own caption whatever the menu says.
    button->setText(caption);
    QObject::connect(action, &QAction::changed, button, [button, caption] { button->setText(caption); });
  }
}

}  // namespace px::ui
