#include "ui/desktop.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

#include "core/errors.h"

namespace px::ui {

namespace {
// "Файлы тиражей (*.csv)|*.csv" -> "Файлы тиражей (*.csv)"
QString QtFilter(const FileFilter& f) {
  const size_t bar = f.filter.find('|');
  return QString::fromStdString(bar == std::string::npos ? f.filter : f.filter.substr(0, bar));
}
}  // namespace

bool Desktop::Box(QWidget* parent, const std::string& kind, const std::string& captionText, const std::string& body) {
  const QString caption = translate(captionText);
  const QString text = QString::fromStdString(PlainText(body));
  if (kind == "question") {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    // The button captions follow the interface language, not Qt's own.
    QPushButton* yesButton = box.addButton(translate("Да"), QMessageBox::YesRole);
    QPushButton* noButton = box.addButton(translate("Нет"), QMessageBox::NoRole);
    box.setDefaultButton(noButton);
    box.exec();
    return box.clickedButton() == yesButton;
  }
  const QMessageBox::Icon icon = kind == "error"  ? QMessageBox::Critical
                                 : kind == "info" ? QMessageBox::Information
                                                  : QMessageBox::Warning;
  QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
  box.addButton(QMessageBox::Ok);
  box.exec();
  return false;
}

bool Desktop::RunDialog(QDialog& dialog) { return dialog.exec() == QDialog::Accepted; }

std::optional<std::string> Desktop::ChooseFile(QWidget* parent, bool save, const FileFilter& filter,
                                               const QString& folder) {
  if (!save) {
    const QString file = QFileDialog::getOpenFileName(parent, QString(), folder, QtFilter(filter));
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
  }
  QFileDialog dialog(parent, QString(), folder, QtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QString::fromStdString(filter.defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::string Desktop::ClipboardText() { return QGuiApplication::clipboard()->text().toStdString(); }

void Desktop::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

QAction* Desktop::PopupMenu(QMenu& menu, const QPoint& at) { return menu.exec(at); }

void Desktop::OpenUrl(const std::string& url) {
  QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(url)));
}

void Desktop::OpenFile(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace px::ui
