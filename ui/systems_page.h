// The tab "Системы": the systems catalogue as a virtual list below a button
// bar, and the commands that refresh it, download, add, show or edit and
// delete systems. The rules live in CatalogueList; the page shows its rows
// in their order, passes the selection and runs the dialogs.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QIcon>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "catalogue/catalogue_list.h"
#include "ui/commands.h"

class QLineEdit;
class QTableView;
class QToolButton;

namespace px {
class TFormMain;
}

namespace px::ui {

class PageContext;

// The row state's icon: downloaded or not, times nobody's, another's, own.
QIcon SystemStateIcon(bool downloaded, SystemOwner owner);

class SystemsModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit SystemsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
  void SetList(const CatalogueList* list);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Reload();
  void RowsChanged();

 private:
  const CatalogueList* list_ = nullptr;
  int shownRows_ = 0;
};

// The user's name and e-mail for the catalogue.
class IdentityDialog final : public QDialog {
  Q_OBJECT
 public:
  IdentityDialog(const OnlineIdentity& user, std::function<void(const std::string&)> showError,
                 QWidget* parent = nullptr);
  bool Accept();
  OnlineIdentity Result() const;
  QLineEdit* NameField() const { return name_; }
  QLineEdit* MailField() const { return mail_; }

 private:
  std::function<void(const std::string&)> showError_;
  QLineEdit* name_;
  QLineEdit* mail_;
};

class SystemsPage final : public QWidget, public CommandOwner {
  Q_OBJECT
 public:
  SystemsPage(TFormMain& frame, PageContext& context, QWidget* parent = nullptr);
  ~SystemsPage() override;
  void BindCommands(CommandBinder& commands) override;

  // Whether the tab is on (the store exists and SystemsEnabled is set).
  bool Shown() const;
  // SystemsOn and the start: shown, the list is read; hidden, its rows go.
  void FollowTab();

  void Refresh();
  void DownloadSelected();
  void Add();
  void Properties();
  void DeleteCurrent();
  // The name and e-mail dialog; true when a new identity was stored.
  bool EditIdentity();

  // Null until the list is first read.
  const CatalogueList* List() const { return list_.get(); }
  QTableView* Table() const { return view_; }
  QToolButton* Button(int i) const { return buttons_[size_t(i)]; }
  // The first selected row; -1 for none.
  int CurrentRow() const;
  // Makes the row with the id current, alone selected and in view.
  void SelectId(int32_t id);
  // The order of the rows (a column of the list); kept in the window state.
  void SetSort(int column, bool ascending);
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return ascending_; }

 private:
  CatalogueList& EnsureList();
  OnlineIdentity LoadUser();
  std::vector<int32_t> SelectedIds() const;
  const CatalogueRow* CurrentEntry() const;

  TFormMain& frame_;
  PageContext& context_;
  std::unique_ptr<SystemCatalogue> catalogue_;
  std::unique_ptr<CatalogueList> list_;
  SystemsModel* model_;
  QTableView* view_;
  std::array<QToolButton*, 5> buttons_{};
  // First by "Числа", ascending.
  int sortColumn_ = 2;
  bool ascending_ = true;
};

}  // namespace px::ui
