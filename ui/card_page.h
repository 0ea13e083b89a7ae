// The page "Карта": the draw map, one row per draw of the whole archive,
// newest first, and one column per number, coloured by channel, repeat and
// run. Selected cells keep or remove the combinations with their numbers.
#pragma once

#include <QAbstractTableModel>
#include <QRect>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "export/xlsx_export.h"
#include "stats/custom_stat.h"
#include "ui/commands.h"
#include "views/card.h"

class QTableView;
class QToolButton;

namespace px {
class TTemplateMain;
}

namespace px::ui {

class PageContext;

// The card as a virtual grid: no cell is stored, each is read from the card
// and coloured by the engine when it is painted.
class CardModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  CardModel(TTemplateMain& frame, QObject* parent = nullptr);
  void SetCard(Card card);
  const Card& GetCard() const { return card_; }
  // The switches and channel width the cells are coloured with now.
  CardColours Colours() const;
  // Every cell painted again, after a switch changed.
  void Repaint();

  // An empty archive still shows one empty row.
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  TTemplateMain& f_;
  Card card_;
};

class CardPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  CardPage(PageContext& context, QWidget* parent = nullptr);

  // The keep / remove and export commands, the colour switches and the
  // page's place among the views.
  void BindCommands(CommandBinder& commands) override;

  // Rebuilds the map when forced or when it no longer shows the archive's
  // draws; never while the page is hidden.
  void BuildCard(bool forced);
  // Column 0 follows the first column of the draws list.
  void SetDrawColumnWidth(int width);
  // The map as the spreadsheet export writes it: texts and fills.
  SheetTable Sheet() const;

  // Whether the page counts as shown; unset: the widget's own visibility.
  std::function<bool()> isShown;

  QTableView* View() const { return view_; }
  CardModel* Model() const { return model_; }
  int Computations() const { return computations_; }
  // The bounding rectangle of the selected cells (model rows and columns),
  // or nothing without a selection.
  std::optional<QRect> SelectedRect() const;

 private:
  void Filter(FilterMode mode);
  bool TabShown() const;

  PageContext& context_;
  QTableView* view_;
  CardModel* model_;
  std::array<QToolButton*, 3> buttons_{};
  bool built_ = false;
  int computations_ = 0;
};

}  // namespace px::ui
