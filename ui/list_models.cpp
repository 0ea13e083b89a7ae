#include "ui/list_models.h"

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QStyle>

#include "frame/frame.h"
#include "ui/list_view.h"

namespace px::ui {

QColor ChannelQColor(int number, int channelSize) {
  const uint32_t rgb = ChannelColour(number, channelSize);
  return QColor(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

namespace {
const QColor kOffsetRow(0xFF, 0xAA, 0xAA);
QString Q(const std::string& s) { return QString::fromStdString(s); }
// The most rows a list of combinations has, unless a file brought more.
constexpr int kFullSet = 376992;
QString Widest(int64_t largest) { return AnyDigits(QString::number(largest)); }
// A game number and the sum of five of them.
const QString kNumber = QStringLiteral("00");
const QString kSum = QStringLiteral("000");
}  // namespace

int DrawsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : f_.Archive().Count(); }
int DrawsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 8; }

QVariant DrawsModel::data(const QModelIndex& index, int role) const {
  const int p = index.row();
  if (!index.isValid() || !f_.Archive().HasPosition(p)) return {};
  const DrawRecord& d = f_.Archive().AtPosition(p);
  const bool sorted = f_.Settings().SortedDraws;
  const int c = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return Q(DrawListRow(d, sorted)[size_t(c)]);
    case Qt::TextAlignmentRole:
      return c == 7 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole: {
      if (p == f_.DrawsOffset()) return kOffsetRow;
      if (f_.Settings().ColorDraws && c >= 1 && c <= 5) {
        const Combination n = sorted ? Sorted(d.numbers) : d.numbers;
        return ChannelQColor(n[size_t(c - 1)], f_.Config().data.ChannelSize);
      }
      return QColor(Qt::white);
    }
    default:
      return {};
  }
}

QVariant DrawsModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal) return {};
  if (role == kWidestTextRole) {
    if (section == 0) {
      // The newest draw has the largest number; room for five digits at least.
      const DrawArchive& a = f_.Archive();
      return Widest(std::max<int64_t>(a.Empty() ? 0 : a.AtPosition(0).number, 99999));
    }
    if (section <= 5) return kNumber;
    if (section == 6) return kSum;
    return AnyDigits(QStringLiteral("12/31/2000"));
  }
  if (role != Qt::DisplayRole) return {};
  return Q(DrawListHeader()[size_t(section)]);
}

int CombsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : f_.Combs().Count(); }
int CombsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 7; }

QVariant CombsModel::data(const QModelIndex& index, int role) const {
  const int r = index.row();
  if (!index.isValid() || r < 0 || r >= f_.Combs().Count()) return {};
  const Combination& c = f_.Combs().Working()[r];
  const int col = index.column();
  switch (role) {
    case Qt::DisplayRole:
      if (col == 0) return r + 1;
      if (col <= 5) return int(c[size_t(col - 1)]);
      return c[0] + c[1] + c[2] + c[3] + c[4];
    case Qt::TextAlignmentRole:
      return int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
      if (f_.Settings().ColorCombs && col >= 1 && col <= 5)
        return ChannelQColor(c[size_t(col - 1)], f_.Config().data.ChannelSize);
      return QColor(Qt::white);
    default:
      return {};
  }
}

QVariant CombsModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal) return {};
  if (role == kWidestTextRole) {
    if (section == 0) return Widest(std::max(f_.Combs().Count(), kFullSet));
    return section <= 5 ? kNumber : kSum;
  }
  if (role != Qt::DisplayRole) return {};
  static const char* const kTitles[] = {"№ п.п.", "1", "2", "3", "4", "5", "S"};
  return QString::fromUtf8(kTitles[section]);
}

int FiltersModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(f_.Combs().Log().size());
}
int FiltersModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant FiltersModel::data(const QModelIndex& index, int role) const {
  const auto& log = f_.Combs().Log();
  if (!index.isValid() || index.row() >= int(log.size())) return {};
  const LogRow& row = log[size_t(index.row())];
  if (role == Qt::DisplayRole) {
    if (index.column() == 0) return Q(row.caption);
    if (index.column() == 1) return Q(row.valuesText);
    return row.count;
  }
  if (role == Qt::DecorationRole && index.column() == 0) {
    QStyle* style = QApplication::style();
    switch (row.kind) {
      case LogKind::Include: return style->standardIcon(QStyle::SP_DialogApplyButton);
      case LogKind::Exclude: return style->standardIcon(QStyle::SP_DialogDiscardButton);
      case LogKind::Undo: return style->standardIcon(QStyle::SP_ArrowBack);
    }
  }
  if (role == Qt::TextAlignmentRole && index.column() == 2) return int(Qt::AlignRight | Qt::AlignVCenter);
  // A step that left nothing stands out, so that the empty list is no surprise.
  if (row.count == 0) {
    if (role == Qt::ForegroundRole) return QColor(Qt::red);
    if (role == Qt::FontRole && index.column() == 2) {
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    if (role == Qt::ToolTipRole) return QString::fromUtf8(kEmptyListText);
  }
  return {};
}

QVariant FiltersModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal) return {};
  // A step's count is never more than the list it started from.
  if (role == kWidestTextRole && section == 2) return Widest(std::max(f_.Combs().Count(), kFullSet));
  if (role != Qt::DisplayRole) return {};
  static const char* const kTitles[] = {"Примененные фильтры", "Значения", "Комбинаций"};
  return QString::fromUtf8(kTitles[section]);
}

}  // namespace px::ui
