#include "ui/filter_help.h"

#include <QTextBrowser>
#include <QVBoxLayout>

#include "stats/stat_list.h"

namespace px::ui {

FilterHelp::FilterHelp(const TStatList& registry, int method, QWidget* parent)
    : FilterHelp(registry.HelpTopic(method), parent) {}

FilterHelp::FilterHelp(const std::string& topic, QWidget* parent) : QDialog(parent), topic_(topic) {
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
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
}

}  // namespace px::ui
