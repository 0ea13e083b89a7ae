#include "ui/card_page.h"

#include <QColor>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/arith.h"
#include "core/host.h"
#include "frame/frame.h"
#include "ui/command_bar.h"
#include "ui/context_menu.h"
#include "ui/page_context.h"

namespace px::ui {

namespace {

constexpr int kCell = 18;

QColor Rgb(uint32_t rgb) { return QColor(int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)); }

}  // namespace

// ---- the model

CardModel::CardModel(TTemplateMain& frame, QObject* parent) : QAbstractTableModel(parent), f_(frame) {}

void CardModel::SetCard(Card card) {
  beginResetModel();
  card_ = std::move(card);
  endResetModel();
}

CardColours CardModel::Colours() const {
  const MainSettings& s = f_.Settings();
  return CardColours{s.ColorCard, s.ColorCardSequences, f_.Config().data.ChannelSize};
}

void CardModel::Repaint() {
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
}

int CardModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : std::max(card_.Rows(), 1); }

int CardModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kCardColumns; }

QVariant CardModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  switch (role) {
    case Qt::DisplayRole: {
      const std::string text = card_.CellText(index.row(), index.column());
      if (text.empty()) return {};
      return QString::fromStdString(text);
    }
    case Qt::BackgroundRole:
      // The empty row of an empty archive is a row of the grid all the same.
      if (card_.Rows() == 0) {
        const CardColours c = Colours();
        if (index.column() >= 1 && c.channels) return Rgb(ChannelColour(index.column(), c.channelSize));
        return {};
      }
      if (auto fill = CardCellColour(card_, index.row(), index.column(), Colours())) return Rgb(*fill);
      return {};
    case Qt::TextAlignmentRole:
      return int(Qt::AlignHCenter | Qt::AlignVCenter);
    default:
      return {};
  }
}

QVariant CardModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::DisplayRole) return section >= 1 && section <= 36 ? QString::number(section) : QString();
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignHCenter | Qt::AlignVCenter);
  return {};
}

// ---- the page

CardPage::CardPage(PageContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  setObjectName("tsCard");
  model_ = new CardModel(context.Frame(), this);
  view_ = new QTableView(this);
  view_->setObjectName("sgCard");
  view_->setModel(model_);
  view_->setSelectionBehavior(QAbstractItemView::SelectItems);
  view_->setSelectionMode(QAbstractItemView::ContiguousSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setWordWrap(false);
  view_->setTextElideMode(Qt::ElideNone);
  view_->verticalHeader()->hide();
  // Fixed sections: the view finds any row of 10,000 without measuring one.
  QHeaderView* rows = view_->verticalHeader();
  rows->setMinimumSectionSize(1);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  rows->setDefaultSectionSize(kCell);
  QHeaderView* columns = view_->horizontalHeader();
  columns->setMinimumSectionSize(1);
  columns->setSectionResizeMode(QHeaderView::Fixed);
  columns->setDefaultSectionSize(kCell);
  columns->setHighlightSections(false);
  SetDrawColumnWidth(52);

  auto* bar = MakeCommandBar(this, {"Оставить выделенные", "Удалить выделенные", "|", "Экспорт в Excel"}, buttons_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(bar);
  layout->addWidget(view_, 1);
}

void CardPage::SetDrawColumnWidth(int width) { view_->setColumnWidth(0, std::max(width, kCell)); }

bool CardPage::TabShown() const { return context_.Frame().Settings().TabCard; }

std::optional<QRect> CardPage::SelectedRect() const {
  const QItemSelection selection = view_->selectionModel()->selection();
  std::optional<QRect> rect;
  for (const QItemSelectionRange& range : selection) {
    const QRect r(QPoint(range.left(), range.top()), QPoint(range.right(), range.bottom()));
    rect = rect ? rect->united(r) : r;
  }
  return rect;
}

void CardPage::BuildCard(bool forced) {
  TFormMain& f = context_.Frame();
  if (!(isShown ? isShown() : isVisible())) return;
  if (!forced && built_ && model_->GetCard().Matches(f.Archive())) return;
  ++computations_;
  {
    TTemplateMain::Busy busy(f);
    StatusScope status(context_.GetHost(), "Обновление карты тиражей...");
    model_->SetCard(Card::Build(f.Archive()));
    built_ = true;
  }
  // The new rows dropped the selection: the keep / remove commands follow.
  context_.UpdateActions();
}

SheetTable CardPage::Sheet() const {
  SheetTable t;
  t.title = context_.Tr("Карта").toStdString();
  for (int c = 0; c < model_->columnCount(); ++c)
    t.headers.push_back(model_->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toStdString());
  const Card& card = model_->GetCard();
  const CardColours colours = model_->Colours();
  t.rows.reserve(size_t(card.Rows()));
  t.fills.reserve(size_t(card.Rows()));
  for (int r = 0; r < card.Rows(); ++r) {
    std::vector<std::string> texts(kCardColumns);
    std::vector<uint32_t> fills(kCardColumns, kNoFill);
    for (int c = 0; c < kCardColumns; ++c) {
      texts[size_t(c)] = card.CellText(r, c);
      if (auto fill = CardCellColour(card, r, c, colours)) fills[size_t(c)] = *fill;
    }
    t.rows.push_back(std::move(texts));
    t.fills.push_back(std::move(fills));
  }
  return t;
}

void CardPage::Filter(FilterMode mode) {
  const std::optional<QRect> r = SelectedRect();
  const std::vector<int> numbers =
      r ? CardSelectionNumbers(model_->GetCard(), r->left(), r->top(), r->right(), r->bottom()) : std::vector<int>{};
  context_.Frame().CombsKeepNumbers(numbers, mode, "Карта", SelectionValuesText(numbers));
}

void CardPage::BindCommands(CommandBinder& c) {
  TFormMain& f = context_.Frame();
  Host& host = context_.GetHost();
  auto canFilter = [this, &f] {
    if (!TabShown() || f.Combs().Count() == 0) return false;
    const std::optional<QRect> r = SelectedRect();
    return r && r->left() > 0 && r->right() < kCardColumns;
  };
  auto tabShown = [this] { return TabShown(); };

  BindCommandBar(buttons_, {c.Action("CardFilter_Include"), c.Action("CardFilter_Exclude"), c.Action("CardXlsExport")});
  SetContextMenu(*view_, context_, c, {"CardFilter_Include", "CardFilter_Exclude", "-", "CardXlsExport"}, nullptr);
  c.Bind("CardFilter_Include", [this] { Filter(FilterMode::KeepSelected); }, canFilter);
  c.Bind("CardFilter_Exclude", [this] { Filter(FilterMode::RemoveSelected); }, canFilter);
  c.Bind("CardXlsExport", [this, &f, &host] {
    auto file = host.ChooseSaveFile(kSpreadsheetFiles);
    if (!file) return;
    TTemplateMain::Busy busy(f);
    StatusScope status(host, "Подождите пожалуйста...");
    WriteXlsx(f.GetEnv(), *file, Sheet());
  }, [this] { return TabShown() && model_->columnCount() > 2; });
  c.Bind("ViewColorCard", [this, &f] {
    f.Toggle(&MainSettings::ColorCard, "ColorCard");
    model_->Repaint();
  }, tabShown);
  c.Bind("ViewColorCardSequences", [this, &f] {
    f.Toggle(&MainSettings::ColorCardSequences, "ColorCardSequences");
    model_->Repaint();
  }, tabShown);

  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { context_.UpdateActions(); });
  f.AddView([this, &f](bool force) {
    if (f.Settings().TabCard) BuildCard(force);
  });
}

}  // namespace px::ui
