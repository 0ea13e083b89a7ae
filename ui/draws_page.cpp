#include "ui/draws_page.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "frame/messages.h"
#include "core/config.h"
#include "core/env.h"
#include "core/text.h"
#include "frame/frame.h"
#include "ui/dialogs.h"
#include "ui/info_window.h"
#include "ui/list_models.h"
#include "ui/list_view.h"
#include "ui/page_context.h"
#include "ui/proxy_dialog.h"

namespace px::ui {

namespace {
const FileFilter kDrawFiles{"Файлы тиражей (*.csv)|*.csv", "csv"};
}

DrawsPage::DrawsPage(PageContext& context, QWidget* parent) : QWidget(parent), context_(context) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  view_ = MakeList(this, "lvDraws");
  model_ = new DrawsModel(context.Frame(), this);
  view_->setModel(model_);
  layout->addWidget(view_);
  auto* offsetRow = new QHBoxLayout;
  offsetRow->addWidget(new QLabel(context.Tr("Смещение назад:"), this));
  offset_ = new QSpinBox(this);
  offset_->setObjectName("edDrawsOffset");
  offset_->setToolTip(context.Tr("Смещение относительно последнего загруженного номера тиража"));
  offset_->setRange(0, 0);
  offsetRow->addWidget(offset_, 1);
  layout->addLayout(offsetRow);
  SetColumnWidths(view_, {52, 30, 30, 30, 30, 30, 36, 82});

  connect(offset_, &QSpinBox::valueChanged, this, [this](int v) {
    context_.Frame().SetDrawsOffset(v);
    context_.UpdateActions();
  });
}

void DrawsPage::Reload() {
  model_->Reload();
  FollowArchiveSize();
  QSignalBlocker block(offset_);
  offset_->setValue(std::max(context_.Frame().DrawsOffset(), 0));
}

void DrawsPage::FollowArchiveSize() { offset_->setMaximum(std::max(context_.Frame().Archive().Count() - 1, 0)); }

void DrawsPage::BindCommands(CommandBinder& c) {
  TFormMain& f = context_.Frame();
  Host& host = context_.GetHost();
  auto hasSelection = [this] { return !SelectedRows(*view_).empty(); };

  c.Bind("DrawsAdd", [this] { AddOrEdit(false); });
  c.Bind("DrawsEdit", [this] { AddOrEdit(true); }, hasSelection);
  c.Bind("DrawsDel", [this] { Delete(); }, hasSelection);
  c.Bind("DrawsInfo", [this] { Info(); }, hasSelection);
  c.Bind("DrawsImport", [this, &f, &host] {
    auto file = host.ChooseOpenFile(kDrawFiles);
    if (!file) return;
    const ImportResult r = f.DrawsImport(*file);
    FollowArchiveSize();
    if (r.skipped > 0)
      host.ShowWarning(Fmt("Добавлено тиражей: %d\r\rПропущено строк, которые не являются тиражами: %d", r.added,
                           r.skipped));
  });
  c.Bind("DrawsExport", [&f, &host] {
    if (auto file = host.ChooseSaveFile(kDrawFiles)) f.DrawsExport(*file);
  }, [&f] { return !f.Archive().Empty(); });
  c.Bind("DrawsXlsExport", [this] { ExportListToXlsx(context_, *view_, "Архив тиражей"); },
         [&f] { return !f.Archive().Empty(); });
  c.Toggle("DrawsSorted", &MainSettings::SortedDraws, "SortedDraws", [this, &f] {
    model_->Reload();
    f.RefreshViews(true);
  });
  c.Bind("DrawsDownload", [this, &f] {
    try {
      f.DownloadDraws();
    } catch (...) {
      emit Downloaded();
      throw;
    }
    emit Downloaded();
    FollowArchiveSize();
  });
  for (int i = 0; i < 3; ++i)
    c.Bind("AutoDownload" + std::to_string(i),
           [&f, i] { f.SetIntSetting(&MainSettings::DownloadDrawsOnStart, "DownloadDrawsOnStart", i); });
  c.Bind("EditProxy", [this, &f, &host] {
    ProxyDialog dialog(f.Proxy(), this);
    if (!context_.RunDialog(dialog)) return;
    f.Proxy() = dialog.Result();
    StatusScope status(host, "Сохранение файла конфигурации...");
    SaveProxySettings(f.GetEnv(), f.ConfigFile(), f.Proxy());
  });

  connect(view_, &QTableView::doubleClicked, this, [this] { context_.Trigger("DrawsInfo"); });
  connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { context_.UpdateActions(); });
}

void DrawsPage::AddOrEdit(bool edit) {
  TFormMain& f = context_.Frame();
  DrawRecord draw = f.NewDrawTemplate();
  int index = -1;
  if (edit) {
    const int row = SelectedRows(*view_).front();
    index = f.Archive().Count() - 1 - row;
    draw = f.Archive().At(index);
  }
  Host& host = context_.GetHost();
  DrawDialog dialog(draw, true, [&host](const std::string& text) { host.ShowError(text); }, this);
  if (!context_.RunDialog(dialog)) return;
  if (edit)
    f.DrawsEdit(index, dialog.Result());
  else
    f.DrawsAdd(dialog.Result());
  FollowArchiveSize();
}

void DrawsPage::Delete() {
  TFormMain& f = context_.Frame();
  const std::vector<int> rows = SelectedRows(*view_);
  if (!context_.GetHost().AskYesNo(DeleteQuestion(int64_t(rows.size())))) return;
  // From the bottom of the list upwards: oldest first.
  std::vector<int32_t> numbers;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) numbers.push_back(f.Archive().AtPosition(*it).number);
  view_->clearSelection();
  try {
    f.DrawsDelete(numbers);
  } catch (...) {
    FollowArchiveSize();
    throw;
  }
  FollowArchiveSize();
}

void DrawsPage::Info() {
  TFormMain& f = context_.Frame();
  const int row = SelectedRows(*view_).front();
  const int index = f.Archive().Count() - 1 - row;
  const DrawRecord& d = f.Archive().At(index);
  InfoWindow info(f, d.numbers, index, &d, this);
  context_.RunDialog(info);
}

}  // namespace px::ui
