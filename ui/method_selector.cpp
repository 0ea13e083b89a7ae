#include "ui/method_selector.h"

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPalette>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "stats/custom_stat.h"
#include "stats/stat_list.h"

namespace px::ui {

// ---- MethodRows

int MethodRows::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

QVariant MethodRows::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= int(rows_.size())) return {};
  const Row& r = rows_[size_t(index.row())];
  const bool header = r.entry < 0;
  switch (role) {
    case Qt::DisplayRole:
      return header ? QString::fromStdString(GroupTitle(r.group)) : texts_[size_t(r.entry)];
    case Qt::ToolTipRole:
      return header ? QVariant() : QVariant(codes_[size_t(r.entry)]);
    case Qt::FontRole:
      if (header) {
        QFont bold = QApplication::font();
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::BackgroundRole:
      return header ? QVariant(QApplication::palette().brush(QPalette::AlternateBase)) : QVariant();
    default:
      return {};
  }
}

Qt::ItemFlags MethodRows::flags(const QModelIndex& index) const {
  if (!index.isValid() || index.row() >= int(rows_.size())) return Qt::NoItemFlags;
  // A header can be seen, not chosen.
  return rows_[size_t(index.row())].entry < 0 ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void MethodRows::SetEntries(std::vector<QString> texts, std::vector<QString> codes, std::vector<int> groups) {
  texts_ = std::move(texts);
  codes_ = std::move(codes);
  groups_ = std::move(groups);
  groupOrder_.clear();
  for (int g : groups_)
    if (std::find(groupOrder_.begin(), groupOrder_.end(), g) == groupOrder_.end()) groupOrder_.push_back(g);
  Filter({});
}

void MethodRows::Filter(const QString& query) {
  const QStringList words = query.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  std::vector<char> shown(texts_.size(), 0);
  for (size_t i = 0; i < texts_.size(); ++i) {
    bool all = true;
    for (const QString& w : words)
      if (!texts_[i].contains(w, Qt::CaseInsensitive) && !codes_[i].contains(w, Qt::CaseInsensitive)) {
        all = false;
        break;
      }
    shown[i] = all;
  }
  beginResetModel();
  rows_.clear();
  for (int g : groupOrder_) {
    bool headed = false;
    for (size_t i = 0; i < texts_.size(); ++i) {
      if (groups_[i] != g || !shown[i]) continue;
      if (!headed) rows_.push_back(Row{-1, g});
      headed = true;
      rows_.push_back(Row{int(i), g});
    }
  }
  endResetModel();
}

int MethodRows::RowOf(int entry) const {
  for (size_t r = 0; r < rows_.size(); ++r)
    if (rows_[r].entry == entry) return int(r);
  return -1;
}

// ---- MethodSelector

MethodSelector::MethodSelector(const TStatList& registry, QWidget* parent) : QComboBox(parent), registry_(registry) {
  popup_ = new QFrame(this, Qt::Popup);
  popup_->setObjectName("MethodPopup");
  popup_->setFrameShape(QFrame::StyledPanel);
  search_ = new QLineEdit(popup_);
  search_->setObjectName("MethodSearch");
  search_->setPlaceholderText(QString::fromUtf8("Поиск по коду или названию метода"));
  search_->setClearButtonEnabled(true);
  search_->installEventFilter(this);
  rows_ = new MethodRows(this);
  list_ = new QListView(popup_);
  list_->setObjectName("MethodRows");
  list_->setModel(rows_);
  list_->setUniformItemSizes(true);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  // The keys stay in the search field; the list follows them.
  list_->setFocusPolicy(Qt::NoFocus);
  list_->setMouseTracking(true);
  auto* layout = new QVBoxLayout(popup_);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(search_);
  layout->addWidget(list_, 1);

  connect(search_, &QLineEdit::textChanged, this, &MethodSelector::Search);
  connect(list_, &QListView::clicked, this, [this](const QModelIndex& i) { ChooseRow(i.row()); });
  connect(list_, &QListView::entered, this, [this](const QModelIndex& i) {
    if (i.flags() & Qt::ItemIsSelectable) list_->setCurrentIndex(i);
  });
  QAbstractItemModel* items = model();
  auto stale = [this] { stale_ = true; };
  connect(items, &QAbstractItemModel::rowsInserted, this, stale);
  connect(items, &QAbstractItemModel::rowsRemoved, this, stale);
  connect(items, &QAbstractItemModel::modelReset, this, stale);
  connect(items, &QAbstractItemModel::dataChanged, this, stale);
  connect(items, &QAbstractItemModel::layoutChanged, this, stale);
}

MethodSelector::~MethodSelector() = default;

bool MethodSelector::SelectCode(const std::string& code) {
  const int method = registry_.FindByCode(code);
  const int i = method < 0 ? -1 : findData(method);
  if (i < 0) return false;
  setCurrentIndex(i);
  return true;
}

bool MethodSelector::PopupShown() const { return popup_->isVisible(); }

void MethodSelector::Refresh() {
  if (!stale_) return;
  std::vector<QString> texts, codes;
  std::vector<int> groups;
  texts.reserve(size_t(count()));
  for (int i = 0; i < count(); ++i) {
    const int method = itemData(i).toInt();
    const bool known = method >= 0 && method < registry_.Count();
    texts.push_back(itemText(i));
    codes.push_back(known ? QString::fromStdString(registry_.CodeOf(method)) : QString());
    groups.push_back(known ? registry_.Method(method).cls->group : -1);
  }
  rows_->SetEntries(std::move(texts), std::move(codes), std::move(groups));
  stale_ = false;
}

void MethodSelector::showPopup() {
  Refresh();
  {
    QSignalBlocker block(search_);
    search_->clear();
  }
  Search({});
  Place();
  popup_->show();
  popup_->raise();
  popup_->activateWindow();
  search_->setFocus(Qt::PopupFocusReason);
}

void MethodSelector::hidePopup() { popup_->hide(); }

void MethodSelector::Place() {
  const int rowHeight = std::max(list_->sizeHintForRow(0), fontMetrics().height() + 2);
  const int shown = std::clamp(int(rows_->Rows().size()), 8, 24);
  const int height = shown * rowHeight + search_->sizeHint().height() + 12;
  int width = std::max(this->width(), 360);
  QRect area(0, 0, 1 << 16, 1 << 16);
  if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) area = s->availableGeometry();
  width = std::min(width, area.width());
  QPoint at = mapToGlobal(QPoint(0, this->height()));
  // Above the list when the screen has no room below it.
  if (at.y() + height > area.bottom() && mapToGlobal(QPoint(0, 0)).y() - height >= area.top())
    at.setY(mapToGlobal(QPoint(0, 0)).y() - height);
  at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width)));
  popup_->setGeometry(QRect(at, QSize(width, std::min(height, area.height()))));
}

void MethodSelector::Search(const QString& text) {
  rows_->Filter(text);
  // A search starts at its first hit; the whole list at the chosen method.
  int row = text.trimmed().isEmpty() ? rows_->RowOf(currentIndex()) : -1;
  if (row < 0)
    for (size_t r = 0; r < rows_->Rows().size() && row < 0; ++r)
      if (rows_->Rows()[r].entry >= 0) row = int(r);
  if (row >= 0) {
    list_->setCurrentIndex(rows_->index(row));
    list_->scrollTo(rows_->index(row), QAbstractItemView::PositionAtCenter);
  }
}

void MethodSelector::Step(int step) {
  const auto& rows = rows_->Rows();
  if (rows.empty()) return;
  int row = list_->currentIndex().isValid() ? list_->currentIndex().row() : -1;
  const int dir = step < 0 ? -1 : 1;
  int left = std::abs(step);
  int last = row;
  for (int r = row + dir; r >= 0 && r < int(rows.size()) && left > 0; r += dir)
    if (rows[size_t(r)].entry >= 0) {
      last = r;
      --left;
    }
  if (last < 0) return;
  list_->setCurrentIndex(rows_->index(last));
  list_->scrollTo(rows_->index(last));
}

void MethodSelector::Choose() {
  const QModelIndex current = list_->currentIndex();
  if (current.isValid() && rows_->Rows()[size_t(current.row())].entry >= 0) {
    ChooseRow(current.row());
    return;
  }
  int only = -1, entries = 0;
  for (size_t r = 0; r < rows_->Rows().size(); ++r)
    if (rows_->Rows()[r].entry >= 0) {
      only = int(r);
      ++entries;
    }
  if (entries == 1) ChooseRow(only);
}

void MethodSelector::ChooseRow(int row) {
  if (row < 0 || row >= int(rows_->Rows().size())) return;
  const int entry = rows_->Rows()[size_t(row)].entry;
  if (entry < 0) return;
  hidePopup();
  setCurrentIndex(entry);
  emit activated(entry);
  emit textActivated(itemText(entry));
}

void MethodSelector::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
  // Typing on the closed list starts a search with what was typed.
  if (plain && !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace()) {
    showPopup();
    search_->setText(text);
    return;
  }
  QComboBox::keyPressEvent(event);
}

bool MethodSelector::eventFilter(QObject* watched, QEvent* event) {
  if (watched == search_ && event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Up:
        Step(-1);
        return true;
      case Qt::Key_Down:
        Step(1);
        return true;
      case Qt::Key_PageUp:
        Step(-10);
        return true;
      case Qt::Key_PageDown:
        Step(10);
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        Choose();
        return true;
      case Qt::Key_Escape:
        hidePopup();
        return true;
      default:
        break;
    }
  }
  return QComboBox::eventFilter(watched, event);
}

}  // namespace px::ui
