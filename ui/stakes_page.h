// The page "Ставки": a virtual grid over the stakes file and the commands
// that make, check and delete stakes. The window owns the actions, menus and
// file choosers; it calls the functions below and asks the three enabling
// queries (none of which looks at the busy counter: the window adds that).
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/arith.h"
#include "stakes/stake_store.h"
#include "ui/commands.h"

class QAction;
class QDialog;
class QTableView;
class QToolButton;

namespace px {
class TTemplateMain;
}

namespace px::ui {

// One row per record, read on demand; an empty file shows one blank row.
class StakesModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  // The numbers of columns 2 and 4 as rich text, matched ones bold blue.
  static constexpr int RichTextRole = Qt::UserRole + 1;

  StakesModel(TTemplateMain& frame, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Follows the file's record count; true when the row count changed.
  bool Sync();
  int64_t Records() const { return records_; }

 private:
  StakeStore* Store() const;
  // kWidestTextRole: what the column can hold under the configuration.
  QString WidestText(int column) const;
  TTemplateMain& frame_;
  int64_t records_ = 0;
};

// Paints the rich text of StakesModel::RichTextRole over the usual cell.
class RichTextDelegate final : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

class CombsPage;
class PageContext;

class StakesPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  static constexpr std::array<int, 9> kColumnWidths = {60, 60, 120, 60, 120, 60, 60, 60, 1000};

  explicit StakesPage(TTemplateMain& frame, QWidget* parent = nullptr);

  // The stakes commands; those that stake combinations take them from the
  // combinations page, and the exports choose their file through the host.
  void SetSources(CombsPage& combs, PageContext& context);
  void BindCommands(CommandBinder& commands) override;

  // Every dialog (stake dialogs, graph window) runs through here; the
  // default is exec(). True when accepted.
  std::function<bool(QDialog&)> runDialog;

  // The grid after the file changed: rows follow the record count, the
  // stakes panel of the status bar is updated and the last row is shown
  // when moveToLast.
  void RefreshView(bool refreshRows, bool moveToLast);
  // RefreshView(true, StakesScrollEnabled).
  void Refresh();

  // Selected grid rows, 1-based (row r is record r - 1, as DeleteRows
  // counts), ascending; the blank row of an empty file is not counted.
  std::vector<int> SelectedRows() const;

  // Enabling: the file is open / has records / has a selected stake row.
  bool CanAdd() const;
  bool HasRecords() const;
  bool HasSelection() const;

  // The window hands the buttons of the page their commands: "Сделать
  // ставку", "Случайная ставка", "Удалить по условию", "Удалить все ставки",
  // "Суммарный профит по тиражам", "Экспорт в Excel", in this order.
  void BindButtons(const std::array<QAction*, 6>& actions);
  QToolButton* Button(int i) const { return buttons_[size_t(i)]; }

  QTableView* Table() const { return view_; }
  StakesModel* Model() const { return model_; }
  // Packed condition of the last deletion by condition (0 before the first).
  uint16_t Condition() const { return condition_; }

 public slots:
  // StakeAdd / StakeAddRandom: one manual stake through the stake dialog.
  void AddManual(std::optional<px::Combination> proposed);
  void AddRandom();
  // StakeAddSelected (rows of the combination list, 0-based; the window
  // clears that selection afterwards) and StakeAddAll.
  void AddSelected(const std::vector<int>& combRows);
  void AddAll();
  void DeleteSelected();
  void DeleteByCondition();
  void ClearAll();
  void CheckManual();
  void ShowDrawsGraph();
  // False (after the error box) when the workbook could not be written.
  bool ExportXlsx(const std::string& path);

 signals:
  // The file was emptied by ClearAll: the ratings rebuild follows.
  void Cleared();

 private:
  StakeRecord NewManual(const Combination* proposed, int32_t drawNumber, std::string comment) const;
  int32_t NextDrawNumber() const;
  void AddMany(const std::vector<Combination>& combs);
  bool Run(QDialog& dialog);
  void CheckAndRefresh();
  void Repaint();

  TTemplateMain& frame_;
  CombsPage* combs_ = nullptr;
  PageContext* context_ = nullptr;
  Host* host_ = nullptr;
  StakesModel* model_;
  QTableView* view_;
  std::array<QToolButton*, 6> buttons_{};
  uint16_t condition_ = 0;
};

}  // namespace px::ui
