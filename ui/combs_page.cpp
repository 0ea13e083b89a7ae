#include "ui/combs_page.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "frame/frame.h"
#include "ui/context_menu.h"
#include "ui/desktop.h"
#include "ui/dialogs.h"
#include "ui/info_window.h"
#include "ui/list_models.h"
#include "ui/list_view.h"
#include "ui/page_context.h"

namespace px::ui {

namespace {
const FileFilter kCombFiles{"Файлы комбинаций (*.lcv)|*.lcv", "lcv"};
}  // namespace

CombsPage::CombsPage(PageContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  split_ = new QSplitter(Qt::Vertical, this);
  view_ = MakeList(split_, "lvCombs");
  model_ = new CombsModel(context.Frame(), this);
  view_->setModel(model_);
  filtersView_ = MakeList(split_, "lvFilters");
  filtersView_->setSelectionMode(QAbstractItemView::SingleSelection);
  filtersModel_ = new FiltersModel(context.Frame(), this);
  filtersView_->setModel(filtersModel_);
  filtersView_->horizontalHeader()->setStretchLastSection(true);
  SetColumnWidths(view_, {60, 30, 30, 30, 30, 30, 36});
  SetColumnWidths(filtersView_, {170, 90, 80});
  split_->addWidget(view_);
  split_->addWidget(filtersView_);
  layout->addWidget(split_);
  auto* excludeRow = new QHBoxLayout;
  exclude_ = new QSpinBox(this);
  exclude_->setObjectName("edCombsExclude");
  exclude_->setToolTip(context.Tr("Исключить указанное количество последних тиражей из списка комбинаций"));
  exclude_->setRange(0, 100000);
  auto* excludeButton = new QPushButton(context.Tr("[-] Тиражи"), this);
  excludeButton->setObjectName("btnCombsExclude");
  excludeRow->addWidget(exclude_, 1);
  excludeRow->addWidget(excludeButton);
  layout->addLayout(excludeRow);
  connect(excludeButton, &QPushButton::clicked, this, [this] { context_.Trigger("CombsDelExists"); });
  connect(exclude_, &QSpinBox::valueChanged, this, [this](int v) {
    context_.Frame().Settings().DrawsExclude = v;
    context_.UpdateActions();
  });
  // Enter in the field runs the command, as the button does.
  exclude_->installEventFilter(this);
  connect(filtersModel_, &QAbstractItemModel::modelReset, this, [this] {
    // The newest step is the one to see.
    filtersView_->scrollToBottom();
    SayWhenEmpty();
  });
}

void CombsPage::SayWhenEmpty() {
  TFormMain& f = context_.Frame();
  // A run undoes such a step itself and has its own status to show.
  if (f.ScenarioRunning()) return;
  const auto& log = f.Combs().Log();
  const bool empty = f.Combs().Count() == 0 && !log.empty() && log.back().count == 0;
  if (empty == saidEmpty_) return;
  saidEmpty_ = empty;
  context_.GetHost().SetStatusText(empty ? kEmptyListText : "");
}

std::vector<int> CombsPage::SelectedRows() const { return px::ui::SelectedRows(*view_); }

void CombsPage::BindCommands(CommandBinder& c) {
  TFormMain& f = context_.Frame();
  Host& host = context_.GetHost();
  auto hasCombs = [&f] { return f.Combs().Count() > 0; };
  auto hasSelection = [this] { return !SelectedRows().empty(); };

  view_->addAction(c.Action("CombsDelSelected"));
  // The stakes are made from this list as well.
  SetContextMenu(*view_, context_, c, {"StakeAdd", "StakeAddSelected", "SystemStakeFilter", "SystemStakeAll", "-"},
                 "Комбинации");
  SetContextMenu(*filtersView_, context_, c, {"CombsUndo"}, nullptr);
  c.Bind("CombsGen", [this, &f] {
    GenerateDialog dialog(f.Config().CombsGenerateMode, f.Config().CombsGenerateParameters, this);
    if (context_.RunDialog(dialog)) f.CombsGenerate(dialog.Mode(), dialog.Parameters(), dialog.SaveDefaults());
  });
  c.Bind("CombsDelExists", [this, &f] { f.CombsExclude(exclude_->value()); },
         [this, &f, hasCombs] { return hasCombs() && !f.Archive().Empty() && exclude_->value() > 0; });
  c.Bind("CombsDelSelected", [this, &f] {
    f.CombsDeleteRows(SelectedRows());
    view_->clearSelection();
  }, hasSelection);
  c.Bind("CombsUndo", [&f] { f.CombsUndo(); }, [&f] { return f.Combs().CanUndo(); });
  c.Bind("CombsCopy", [this] { Copy(); }, hasCombs);
  c.Bind("CombsPaste", [this] { Paste(); }, [this] { return !context_.GetDesktop().ClipboardText().empty(); });
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { context_.UpdateActions(); });
  c.Bind("CombsSelectAll", [this] { view_->selectAll(); }, hasCombs);
  c.Bind("CombsOpen", [&f, &host] {
    if (auto file = host.ChooseOpenFile(kCombFiles)) f.CombsOpen(*file);
  });
  c.Bind("CombsSave", [&f, &host] {
    if (auto file = host.ChooseSaveFile(kCombFiles)) f.CombsSave(*file);
  }, hasCombs);
  c.Bind("CombsCheckNums", [&f, &host] {
    StatusScope status(host, "Подождите пожалуйста...");
    host.ShowInfo(f.CombsDistinctText());
  }, hasCombs);
  c.Bind("CombsFindInDraws", [this, &f, &host] {
    std::string text;
    {
      StatusScope status(host, "Поиск по архиву тиражей...");
      text = f.CombsFindText(SelectedRows().front());
    }
    host.ShowInfo(text);
  }, hasSelection);
  c.Bind("CombsInfo", [this, &f] {
    const int row = SelectedRows().front();
    InfoWindow info(f, f.Combs().Working()[row], f.LastKnownIndex(), nullptr, this);
    context_.RunDialog(info);
  }, hasSelection);
  c.Bind("CombsXlsExport", [this] { ExportListToXlsx(context_, *view_, "Комбинации"); }, hasCombs);

  connect(view_, &QTableView::doubleClicked, this, [this] { context_.Trigger("StakeAdd"); });
  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { context_.UpdateActions(); });
}

void CombsPage::Copy() {
  std::string text;
  {
    StatusScope status(context_.GetHost(), "Подождите пожалуйста...");
    text = context_.Frame().CombsCopy(SelectedRows());
  }
  context_.GetDesktop().SetClipboardText(text);
}

void CombsPage::Paste() { context_.Frame().CombsPaste(context_.GetDesktop().ClipboardText()); }

bool CombsPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == exclude_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      exclude_->interpretText();
      context_.Trigger("CombsDelExists");
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace px::ui
