#include "ui/systems_page.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/text.h"
#include "frame/frame.h"
#include "ui/command_bar.h"
#include "ui/context_menu.h"
#include "ui/list_view.h"
#include "ui/page_context.h"
#include "ui/system_dialog.h"

namespace px::ui {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

// Widths of the columns that have one; 0 leaves the text's width.
constexpr std::array<int, kCatalogueColumns> kColumnWidths = {200, 150, 0, 0, 0, 100, 0, 0, 100, 200, 200};
constexpr std::array<Qt::Alignment::Int, kCatalogueColumns> kAlignments = {
    Qt::AlignLeft, Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignHCenter,
    Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignLeft, Qt::AlignLeft};

}  // namespace

QIcon SystemStateIcon(bool downloaded, SystemOwner owner) {
  // The colour tells the owner; a filled sheet with a tick is in the store.
  static const QColor kColours[] = {QColor(120, 120, 120), QColor(40, 90, 190), QColor(30, 140, 50)};
  static std::map<int, QIcon> cache;
  const int key = int(owner) * 2 + (downloaded ? 1 : 0);
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor colour = kColours[int(owner)];
  p.setPen(QPen(colour, 1.4));
  p.setBrush(downloaded ? QBrush(colour) : QBrush(Qt::white));
  p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 2, 2);
  if (downloaded) {
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(5, 8.5);
    tick.lineTo(7.3, 11);
    tick.lineTo(11, 5);
    p.drawPath(tick);
  } else {
    for (int y : {5, 8, 11}) p.drawLine(QPointF(5, y), QPointF(11, y));
  }
  if (owner == SystemOwner::Own) {
    // A small star in the corner: the user's own system.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 170, 0));
    p.drawEllipse(QRectF(10, 10, 6, 6));
  }
  p.end();
  return cache[key] = QIcon(pixmap);
}

// ---- SystemsModel

void SystemsModel::SetList(const CatalogueList* list) {
  list_ = list;
  Reload();
}

int SystemsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }
int SystemsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kCatalogueColumns; }

QVariant SystemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kCatalogueColumns) return {};
  if (role == Qt::DisplayRole) return Q(CatalogueColumnTitles()[size_t(section)]);
  if (role == Qt::TextAlignmentRole) return int(kAlignments[size_t(section)] | Qt::AlignVCenter);
  if (role == kWidestTextRole) {
    // The times in full: their columns widen from 100 to hold them.
    static const char* const kWidest[] = {"", "", "00", "0", "0000000", "0000-00-00 00:00:00", "Загружена",
                                          "000000", "0000-00-00 00:00:00"};
    if (size_t(section) < std::size(kWidest) && *kWidest[section]) return U(kWidest[section]);
  }
  return {};
}

QVariant SystemsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || !list_ || index.row() >= int(list_->Rows().size())) return {};
  const CatalogueRow& row = list_->Rows()[size_t(index.row())];
  switch (role) {
    case Qt::DisplayRole: {
      std::string text = CatalogueRowTexts(row)[size_t(index.column())];
      // A description of several lines shows as one.
      std::replace(text.begin(), text.end(), '\r', ' ');
      std::replace(text.begin(), text.end(), '\n', ' ');
      return Q(text);
    }
    case Qt::ToolTipRole:
      if (index.column() == 9 || index.column() == 0) return Q(CatalogueRowTexts(row)[size_t(index.column())]);
      return {};
    case Qt::TextAlignmentRole:
      return int(kAlignments[size_t(index.column())] | Qt::AlignVCenter);
    case Qt::DecorationRole:
      if (index.column() == 0 && row.info.id > 0) return SystemStateIcon(row.downloaded, list_->Owner(row));
      return {};
    default:
      return {};
  }
}

void SystemsModel::Reload() {
  beginResetModel();
  shownRows_ = list_ ? int(list_->Rows().size()) : 0;
  endResetModel();
}

void SystemsModel::RowsChanged() {
  const int rows = list_ ? int(list_->Rows().size()) : 0;
  if (rows != shownRows_) return Reload();
  if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, kCatalogueColumns - 1));
}

// ---- IdentityDialog

IdentityDialog::IdentityDialog(const OnlineIdentity& user, std::function<void(const std::string&)> showError,
                               QWidget* parent)
    : QDialog(parent), showError_(std::move(showError)) {
  setObjectName("TFormOnlineIdentity");
  setWindowTitle(U("Пользователь каталога систем"));
  name_ = new QLineEdit(Q(user.name), this);
  name_->setObjectName("edName");
  name_->setToolTip(U("Имя, под которым Вы публикуете свои системы"));
  mail_ = new QLineEdit(Q(user.mail), this);
  mail_->setObjectName("edMail");
  mail_->setToolTip(U("Адрес электронной почты: по нему каталог узнаёт Ваши системы"));
  auto* note = new QLabel(U("Системы с этим адресом владельца Вы можете изменять и удалять. "
                            "Пустой адрес: своих систем нет."),
                          this);
  note->setWordWrap(true);
  auto* form = new QFormLayout;
  form->addRow(U("Имя:"), name_);
  form->addRow(U("E-mail:"), mail_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] { Accept(); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addWidget(buttons);
  setMinimumWidth(380);
}

OnlineIdentity IdentityDialog::Result() const {
  return {Trim(name_->text().toStdString()), Trim(mail_->text().toStdString())};
}

bool IdentityDialog::Accept() {
  const OnlineIdentity user = Result();
  const size_t at = user.mail.find('@');
  if (!user.mail.empty() && (at == std::string::npos || at == 0 || at + 1 == user.mail.size() ||
                             user.mail.find_first_of(" \t;,") != std::string::npos)) {
    if (showError_) showError_("Адрес электронной почты указан неверно!");
    mail_->setFocus();
    return false;
  }
  if (!user.mail.empty() && user.name.empty()) {
    if (showError_) showError_("Имя автора должно быть указано обязательно!");
    name_->setFocus();
    return false;
  }
  accept();
  return true;
}

// ---- SystemsPage

SystemsPage::SystemsPage(TFormMain& frame, PageContext& context, QWidget* parent)
    : QWidget(parent), frame_(frame), context_(context) {
  setObjectName("tsSystems");
  model_ = new SystemsModel(this);
  view_ = MakeRecordGrid(this, "lvSystems", model_);
  view_->setShowGrid(true);
  view_->setIconSize(QSize(16, 16));
  for (int c = 0; c < kCatalogueColumns; ++c)
    if (kColumnWidths[size_t(c)] > 0) view_->setColumnWidth(c, kColumnWidths[size_t(c)]);
  QHeaderView* header = view_->horizontalHeader();
  header->setStretchLastSection(false);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  header->setSortIndicator(2, Qt::AscendingOrder);
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
    // The same column again turns the order round.
    SetSort(column, sortColumn_ == column ? !ascending_ : true);
  });
  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { context_.UpdateActions(); });
  connect(view_, &QTableView::doubleClicked, this, [this] { context_.Trigger("SystemsProp"); });

  QToolBar* bar = MakeCommandBar(this, {"Загрузить", "Обновить", "|", "Добавить", "Свойства", "Удалить"}, buttons_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(bar);
  layout->addWidget(view_);
}

SystemsPage::~SystemsPage() { model_->SetList(nullptr); }

void SystemsPage::SetSort(int column, bool ascending) {
  if (column < 0 || column >= kCatalogueColumns) return;
  sortColumn_ = column;
  ascending_ = ascending;
  view_->horizontalHeader()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  if (!list_) return;
  // The selection follows its rows to their new places.
  const CatalogueRow* current = CurrentEntry();
  const int32_t id = current ? current->info.id : -1;
  const std::vector<int32_t> selected = SelectedIds();
  list_->Sort(column, ascending);
  model_->RowsChanged();
  view_->clearSelection();
  for (int32_t s : selected)
    if (int r = list_->IndexOf(s); r >= 0)
      view_->selectionModel()->select(model_->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  if (int r = list_->IndexOf(id); r >= 0) view_->scrollTo(model_->index(r, 0));
}

bool SystemsPage::Shown() const { return frame_.Systems() && frame_.Settings().SystemsEnabled; }

OnlineIdentity SystemsPage::LoadUser() {
  OnlineIdentity user;
  frame_.Guard([&] { user = LoadOnlineIdentity(frame_.GetEnv(), frame_.SettingsStore().Path()); });
  return user;
}

CatalogueList& SystemsPage::EnsureList() {
  if (!list_) {
    catalogue_ = OpenSystemCatalogue(frame_.GetEnv(), frame_.DataDir(), frame_.Proxy());
    list_ = std::make_unique<CatalogueList>(*catalogue_, *frame_.Systems(), frame_.GetEnv(), context_.GetHost(),
                                            LoadUser());
    list_->Sort(sortColumn_, ascending_);
    model_->SetList(list_.get());
  }
  return *list_;
}

void SystemsPage::FollowTab() {
  if (Shown()) {
    Refresh();
    return;
  }
  if (list_) list_->Clear();
  model_->Reload();
  context_.UpdateActions();
}

int SystemsPage::CurrentRow() const {
  const std::vector<int> rows = SelectedRows(*view_);
  return rows.empty() ? -1 : rows.front();
}

const CatalogueRow* SystemsPage::CurrentEntry() const {
  const int row = CurrentRow();
  if (!list_ || row < 0 || row >= int(list_->Rows().size())) return nullptr;
  return &list_->Rows()[size_t(row)];
}

std::vector<int32_t> SystemsPage::SelectedIds() const {
  std::vector<int32_t> ids;
  if (!list_) return ids;
  for (int row : SelectedRows(*view_))
    if (row < int(list_->Rows().size()) && list_->Rows()[size_t(row)].info.id > 0)
      ids.push_back(list_->Rows()[size_t(row)].info.id);
  return ids;
}

void SystemsPage::SelectId(int32_t id) {
  const int row = list_ ? list_->IndexOf(id) : -1;
  view_->clearSelection();
  if (row < 0) return;
  const QModelIndex at = model_->index(row, 0);
  view_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  view_->scrollTo(at);
}

void SystemsPage::BindCommands(CommandBinder& c) {
  auto shown = [this] { return Shown(); };
  c.Bind("SystemsRefresh", [this] { Refresh(); }, shown);
  c.Bind("SystemsDownload", [this] { DownloadSelected(); }, [this] { return Shown() && !SelectedIds().empty(); });
  c.Bind("SystemsAdd", [this] { Add(); }, shown);
  c.Bind("SystemsProp", [this] { Properties(); }, [this] {
    const CatalogueRow* row = CurrentEntry();
    return Shown() && row && row->info.id > 0;
  });
  c.Bind("SystemsDel", [this] { DeleteCurrent(); }, [this] {
    const CatalogueRow* row = CurrentEntry();
    return Shown() && row && row->info.id > 0 && list_->Owner(*row) == SystemOwner::Own;
  });
  c.Bind("SystemsIdentity", [this] { EditIdentity(); }, [this] { return frame_.Systems() != nullptr; });
  BindCommandBar(buttons_, std::array<QAction*, 5>{c.Action("SystemsDownload"), c.Action("SystemsRefresh"),
                                                    c.Action("SystemsAdd"), c.Action("SystemsProp"),
                                                    c.Action("SystemsDel")});
  SetContextMenu(*view_, context_, c, {"SystemsDownload", "SystemsRefresh", "SystemsAdd", "*SystemsProp",
                                       "SystemsDel"},
                 nullptr);
}

void SystemsPage::Refresh() {
  if (!frame_.Systems()) return;
  TTemplateMain::Busy busy(frame_);
  const CatalogueRow* current = CurrentEntry();
  const int32_t id = current ? current->info.id : -1;
  // The address or the proxy may have changed since the last time.
  if (list_) model_->SetList(nullptr);
  list_.reset();
  catalogue_.reset();
  try {
    EnsureList();
  } catch (const std::exception& e) {
    // An unreadable configuration: no list, and the start goes on.
    model_->Reload();
    context_.GetHost().ShowError(Fmt("Ошибка загрузки списка систем!\r\r%s", e.what()));
    return;
  }
  CatalogueList& list = *list_;
  view_->setUpdatesEnabled(false);
  list.Refresh();
  model_->Reload();
  if (id > 0) SelectId(id);
  view_->setUpdatesEnabled(true);
  FitColumns(*view_);
  context_.UpdateActions();
}

void SystemsPage::DownloadSelected() {
  const std::vector<int32_t> ids = SelectedIds();
  if (ids.empty()) return;
  TTemplateMain::Busy busy(frame_);
  const CatalogueRow* current = CurrentEntry();
  const int32_t currentId = current ? current->info.id : -1;
  view_->setUpdatesEnabled(false);
  const std::vector<int32_t> written = EnsureList().Download(ids);
  model_->RowsChanged();
  // Written rows leave the selection, the current one excepted.
  for (int32_t id : written) {
    const int row = id == currentId ? -1 : list_->IndexOf(id);
    if (row >= 0)
      view_->selectionModel()->select(model_->index(row, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
  }
  view_->setUpdatesEnabled(true);
  context_.UpdateActions();
}

bool SystemsPage::EditIdentity() {
  IdentityDialog dialog(LoadUser(), [this](const std::string& text) { context_.GetHost().ShowError(text); }, this);
  if (!context_.RunDialog(dialog)) return false;
  const OnlineIdentity user = dialog.Result();
  if (!frame_.Guard([&] { SaveOnlineIdentity(frame_.GetEnv(), frame_.SettingsStore().Path(), user); })) return false;
  if (list_) {
    list_->SetUser(user);
    model_->RowsChanged();
  }
  context_.UpdateActions();
  return true;
}

void SystemsPage::Add() {
  CatalogueList& list = EnsureList();
  // Without an e-mail the new system would belong to nobody, and its
  // author could never change or delete it.
  if (list.User().mail.empty() && !EditIdentity()) return;
  tSystemData data;
  data.author = list.User().name;
  data.ownerMail = list.User().mail;
  TFormSystem dialog(context_, data, true, this);
  if (!context_.RunDialog(dialog)) return;
  TTemplateMain::Busy busy(frame_);
  const std::optional<int32_t> id = list.Add(dialog.Data());
  model_->Reload();
  if (id) SelectId(*id);
  FitColumns(*view_);
  context_.UpdateActions();
}

void SystemsPage::Properties() {
  const CatalogueRow* row = CurrentEntry();
  if (!row || row->info.id <= 0) return;
  tSystemData data;
  static_cast<tSystemInfo&>(data) = row->info;
  const bool own = list_->Owner(*row) == SystemOwner::Own;
  {
    TTemplateMain::Busy busy(frame_);
    data.combinations = list_->FetchText(row->info);
  }
  TFormSystem dialog(context_, data, own, this);
  if (!context_.RunDialog(dialog) || !own) return;
  TTemplateMain::Busy busy(frame_);
  if (list_->Change(dialog.Data())) {
    model_->RowsChanged();
    SelectId(data.id);
  }
  context_.UpdateActions();
}

void SystemsPage::DeleteCurrent() {
  const CatalogueRow* row = CurrentEntry();
  if (!row || row->info.id <= 0) return;
  const int32_t id = row->info.id;
  TTemplateMain::Busy busy(frame_);
  if (list_->Delete(id)) {
    view_->clearSelection();
    model_->Reload();
  }
  context_.UpdateActions();
}

}  // namespace px::ui
