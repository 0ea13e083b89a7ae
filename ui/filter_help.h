// "Описание методики расчета": the help page of one statistic method.
#pragma once

#include <QDialog>
#include <string>

class QTextBrowser;

namespace px {
class TStatList;
}

namespace px::ui {

class FilterHelp final : public QDialog {
  Q_OBJECT
 public:
  // The page of the method's HelpTopic; without one the window says that no
  // description is available, naming the method.
  FilterHelp(const TStatList& registry, int method, QWidget* parent = nullptr);
  explicit FilterHelp(const std::string& topic, QWidget* parent = nullptr);

  const std::string& Topic() const { return topic_; }
  QTextBrowser* Browser() const { return browser_; }

 private:
  FilterHelp(const std::string& topic, const std::string& methodTitle, QWidget* parent);

  std::string topic_;
  QTextBrowser* browser_;
};

// The text shown instead of a page when there is none; the title may be empty.
QString NoHelpText(const std::string& methodTitle);

}  // namespace px::ui
