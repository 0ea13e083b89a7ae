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
  // The page of the method's HelpTopic; blank when it has none.
  FilterHelp(const TStatList& registry, int method, QWidget* parent = nullptr);
  explicit FilterHelp(const std::string& topic, QWidget* parent = nullptr);

  const std::string& Topic() const { return topic_; }
  QTextBrowser* Browser() const { return browser_; }

 private:
  std::string topic_;
  QTextBrowser* browser_;
};

}  // namespace px::ui
