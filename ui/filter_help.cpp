#include "ui/filter_help.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "stats/stat_list.h"

namespace px::ui {

QString NoHelpText(const std::string& methodTitle) {
  QString text;
  if (!methodTitle.empty()) text = QStringLiteral("<p><b>%1</b></p>").arg(QString::fromStdString(methodTitle).toHtmlEscaped());
  return text + QString::fromUtf8("<p>Описание метода недоступно: файл справки программы не найден.</p>");
}

FilterHelp::FilterHelp(const TStatList& registry, int method, QWidget* parent)
    : FilterHelp(registry.HelpTopic(method),
                 method >= 0 && method < registry.Count() ? registry.MethodTitle(registry.Method(method)) : std::string(),
                 parent) {}

FilterHelp::FilterHelp(const std::string& topic, QWidget* parent) : FilterHelp(topic, std::string(), parent) {}

FilterHelp::FilterHelp(const std::string& topic, const std::string& methodTitle, QWidget* parent)
    : QDialog(parent), topic_(topic) {
  setWindowTitle(QString::fromUtf8("Описание методики расчета"));
  setModal(true);
  setSizeGripEnabled(true);
  resize(640, 480);

  browser_ = new QTextBrowser(this);
  // The pages live inside a compiled help file no browser here can open, so
  // the address stays a plain, inert link.
  browser_->setOpenLinks(false);
  browser_->setOpenExternalLinks(false);
  if (!topic_.empty()) {
    const QString address = QString::fromStdString(topic_).toHtmlEscaped();
    browser_->setHtml(QStringLiteral("<a href=\"%1\">%1</a>").arg(address));
  } else {
    // A blank window reads as a fault; say why there is nothing to show.
    browser_->setHtml(NoHelpText(methodTitle));
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
}

}  // namespace px::ui
