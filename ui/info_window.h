// "Подробная информация": the properties of a draw or a combination (the
// value of every listed graph method) and a number card.
#pragma once

#include <QDialog>

#include "core/archive.h"

class QSpinBox;
class QTableWidget;

namespace px {
class TTemplateMain;
}

namespace px::ui {

class InfoWindow final : public QDialog {
  Q_OBJECT
 public:
  // draw: the draw shown, or null for a combination (no number and date rows).
  InfoWindow(TTemplateMain& frame, const Combination& numbers, int index, const DrawRecord* draw,
             QWidget* parent = nullptr);
  QTableWidget* Properties() const { return properties_; }
  QTableWidget* Card() const { return card_; }
  QSpinBox* Columns() const { return columns_; }

 private:
  void LayCard();
  TTemplateMain& f_;
  Combination numbers_;
  QTableWidget* properties_;
  QTableWidget* card_;
  QSpinBox* columns_;
};

}  // namespace px::ui
