// The method lists of the statistics and graphs pages: a drop-down list of
// two hundred methods that a person can search. Typing filters the popup by
// code or title, ignoring case (Cyrillic too); the popup shows the entries
// under their group's header, the groups in the order of their first entry
// and the entries in the list's own order, which is the favourites' order.
//
// The entries are the combo box's own items (text, registry position as
// item data), so callers fill and read it as any QComboBox; only the popup
// is different. One selector serves one registry, which must outlive it.
#pragma once

#include <QAbstractListModel>
#include <QComboBox>
#include <QString>
#include <string>
#include <vector>

class QFrame;
class QLineEdit;
class QListView;

namespace px {
class TStatList;
}

namespace px::ui {

// What the popup shows: group headers and the entries that match the search.
class MethodRows final : public QAbstractListModel {
  Q_OBJECT
 public:
  struct Row {
    int entry;  // the combo box's index; -1 for a group header
    int group;
  };
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The entries of the list: texts, codes and groups in the list's order.
  void SetEntries(std::vector<QString> texts, std::vector<QString> codes, std::vector<int> groups);
  // Shows the entries whose text or code holds every word of the query,
  // ignoring case; an empty query shows them all.
  void Filter(const QString& query);
  const std::vector<Row>& Rows() const { return rows_; }
  // The row of that entry, or -1 while it is filtered out.
  int RowOf(int entry) const;

 private:
  std::vector<QString> texts_, codes_;
  std::vector<int> groups_;
  // The groups in the order of their first entry.
  std::vector<int> groupOrder_;
  std::vector<Row> rows_;
};

class MethodSelector final : public QComboBox {
  Q_OBJECT
 public:
  explicit MethodSelector(const TStatList& registry, QWidget* parent = nullptr);
  ~MethodSelector() override;

  // Selects the method of that code (any case); false when the list lacks it.
  bool SelectCode(const std::string& code);

  void showPopup() override;
  void hidePopup() override;
  bool PopupShown() const;
  // The popup's parts; they exist from construction.
  QLineEdit* SearchField() const { return search_; }
  QListView* PopupList() const { return list_; }
  const MethodRows& Rows() const { return *rows_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Rebuilds the popup's entries when the items changed since.
  void Refresh();
  void Search(const QString& text);
  // Moves the popup's current row by `step` entries, passing over headers.
  void Step(int step);
  // Takes the popup's current entry (or the only one shown) and closes.
  void Choose();
  void ChooseRow(int row);
  void Place();

  const TStatList& registry_;
  QFrame* popup_;
  QLineEdit* search_;
  QListView* list_;
  MethodRows* rows_;
  bool stale_ = true;
};

}  // namespace px::ui
