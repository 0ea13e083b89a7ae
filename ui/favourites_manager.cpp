#include "ui/favourites_manager.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>
#include <map>
#include <utility>

#include "core/host.h"
#include "stats/custom_stat.h"
#include "stats/stat_list.h"
#include "ui/filter_help.h"

namespace px::ui {

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr int kMethodRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1;

const FileFilter kNamesFiles{"Наименования фильтров (*.flt)|*.flt", "flt"};

constexpr int kCommands = 9;
constexpr const char* kCaptions[kCommands] = {"Сбросить все",   "Выбрать все",     "Сбросить группу",
                                              "Выбрать группу", "Переименовать",   "Вернуть",
                                              "Описание",       "Импорт названий", "Экспорт названий"};

std::string DefaultTitle(const TStatList& registry, int method) {
  const TStatMethod& m = registry.Method(method);
  return m.cls->TitleOf(m.index);
}

// The wait cursor and "Подождите пожалуйста..." for the life of the scope.
class Busy {
 public:
  explicit Busy(Host* host) : host_(host) {
    if (!host_) return;
    host_->SetBusyCursor(true);
    host_->SetStatusText("Подождите пожалуйста...");
  }
  ~Busy() {
    if (!host_) return;
    host_->SetStatusText("");
    host_->SetBusyCursor(false);
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;

 private:
  Host* host_;
};

}  // namespace

FavouritesManager::FavouritesManager(TStatList& registry, Env& env, std::string namesFile, Host* host,
                                     FileChooser chooseFile, TextPrompt askText, DescriptionOpener describe,
                                     QWidget* parent)
    : QDialog(parent),
      registry_(registry),
      env_(env),
      namesFile_(std::move(namesFile)),
      host_(host),
      chooseFile_(std::move(chooseFile)),
      askText_(std::move(askText)),
      describe_(std::move(describe)) {
  setWindowTitle(U("Менеджер избранных методов расчета статистики"));
  setSizeGripEnabled(true);
  resize(720, 560);

  if (!chooseFile_) {
    const QString startDir = QFileInfo(Q(namesFile_)).absolutePath();
    chooseFile_ = [this, startDir](bool save) -> std::optional<std::string> {
      const std::string& f = kNamesFiles.filter;
      QFileDialog dialog(this, QString(), startDir, Q(f.substr(0, f.find('|'))));
      dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
      dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
      dialog.setDefaultSuffix(Q(kNamesFiles.defaultExtension));
      if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
      return dialog.selectedFiles().front().toStdString();
    };
  }
  if (!askText_) {
    askText_ = [this](const std::string& prompt, const std::string& title,
                      const std::string& current) -> std::optional<std::string> {
      bool ok = false;
      const QString text = QInputDialog::getText(this, Q(title), Q(prompt), QLineEdit::Normal, Q(current), &ok);
      if (!ok) return std::nullopt;
      return text.toStdString();
    };
  }
  if (!describe_) {
    describe_ = [this](int method) {
      FilterHelp help(registry_, method, this);
      help.exec();
    };
  }

  count_ = new QLabel(this);
  tree_ = new QTreeWidget(this);
  tree_->setHeaderHidden(true);
  tree_->setColumnCount(1);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);

  ordered_ = new QCheckBox(U("Сортировать списки по названию метода"), this);
  showGroup_ = new QCheckBox(U("Отображать идентификатор группы { xxx } перед названием метода"), this);
  showFlags_ = new QCheckBox(U("Отображать особенности метода [ YYY ] после названия метода"), this);
  ordered_->setChecked(registry_.Ordered);
  showGroup_->setChecked(registry_.ShowGroupName);
  showFlags_->setChecked(registry_.ShowMethodFlags);

  auto* commands = new QVBoxLayout;
  for (int c = 0; c < kCommands; ++c) {
    buttons_[c] = new QPushButton(U(kCaptions[c]), this);
    buttons_[c]->setAutoDefault(false);
    connect(buttons_[c], &QPushButton::clicked, this, [this, c] { Run(static_cast<Command>(c)); });
    commands->addWidget(buttons_[c]);
    // Marks, names, then files.
    if (c == int(Command::SelectGroup) || c == int(Command::Describe)) commands->addSpacing(12);
  }
  commands->addStretch();

  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(box, &QDialogButtonBox::accepted, this, [this] { ApplyOk(); });
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* left = new QVBoxLayout;
  left->addWidget(count_);
  left->addWidget(tree_, 1);
  left->addWidget(ordered_);
  left->addWidget(showGroup_);
  left->addWidget(showFlags_);
  auto* body = new QHBoxLayout;
  body->addLayout(left, 1);
  body->addLayout(commands);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(box);

  // Every click toggles: the view reports the second click of a quick
  // double-click only as the double-click, so both signals count.
  connect(tree_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node, int) { Toggle(node); });
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node, int) { Toggle(node); });
  connect(tree_, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateEnabled(); });

  BuildTree();
}

QPushButton* FavouritesManager::Button(Command command) const {
  const int c = static_cast<int>(command);
  return c >= 0 && c < kCommands ? buttons_[c] : nullptr;
}

int FavouritesManager::MethodOf(const QTreeWidgetItem* node) {
  if (!node) return -1;
  const QVariant v = node->data(0, kMethodRole);
  return v.isValid() ? v.toInt() : -1;
}

bool FavouritesManager::IsMarked(const QTreeWidgetItem* node) { return node && node->checkState(0) == Qt::Checked; }

QTreeWidgetItem* FavouritesManager::NodeOf(int method) const {
  for (int g = 0; g < tree_->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = tree_->topLevelItem(g);
    for (int k = 0; k < group->childCount(); ++k)
      if (MethodOf(group->child(k)) == method) return group->child(k);
  }
  return nullptr;
}

void FavouritesManager::BuildTree() {
  // Marks not yet applied survive a rebuild: only the names come anew.
  std::map<int, bool> marks;
  const int selected = SelectedMethod();
  QTreeWidgetItem* selectedNode = SelectedNode();
  const int selectedGroup = selectedNode && MethodOf(selectedNode) < 0 ? selectedNode->data(0, kGroupRole).toInt() : -1;
  for (int g = 0; g < tree_->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = tree_->topLevelItem(g);
    for (int k = 0; k < group->childCount(); ++k) marks[MethodOf(group->child(k))] = IsMarked(group->child(k));
  }

  tree_->clear();
  const QIcon groupIcon = style()->standardIcon(QStyle::SP_DirIcon);
  std::map<int, QTreeWidgetItem*> groups;
  QTreeWidgetItem* reselect = nullptr;
  for (int i = 0; i < registry_.Count(); ++i) {
    if (!registry_.IsAvailable(i)) continue;
    const TStatMethod& m = registry_.Method(i);
    const int groupNo = m.cls->group;
    QTreeWidgetItem*& group = groups[groupNo];
    if (!group) {
      group = new QTreeWidgetItem(tree_, QStringList{Q(GroupTitle(groupNo))});
      group->setIcon(0, groupIcon);
      group->setData(0, kGroupRole, groupNo);
      group->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      if (groupNo == selectedGroup) reselect = group;
    }
    auto* node =
        new QTreeWidgetItem(group, QStringList{Q(m.customName.empty() ? DefaultTitle(registry_, i) : m.customName)});
    node->setData(0, kMethodRole, i);
    node->setData(0, kGroupRole, groupNo);
    // Not user-checkable: the click on the row toggles, the box only shows it.
    node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    auto kept = marks.find(i);
    node->setCheckState(0, (kept != marks.end() ? kept->second : m.enabled) ? Qt::Checked : Qt::Unchecked);
    if (i == selected) reselect = node;
  }
  tree_->expandAll();
  if (reselect) tree_->setCurrentItem(reselect);
  count_->setText(U("всего %1 методов").arg(registry_.Count()));
  UpdateEnabled();
}

QTreeWidgetItem* FavouritesManager::SelectedNode() const {
  const auto items = tree_->selectedItems();
  return items.isEmpty() ? nullptr : items.front();
}

int FavouritesManager::SelectedMethod() const { return MethodOf(SelectedNode()); }

void FavouritesManager::UpdateEnabled() {
  const bool anyNode = tree_->topLevelItemCount() > 0;
  const bool node = SelectedNode() != nullptr;
  const bool method = SelectedMethod() >= 0;
  Button(Command::ResetAll)->setEnabled(anyNode);
  Button(Command::SelectAll)->setEnabled(anyNode);
  Button(Command::ResetGroup)->setEnabled(node);
  Button(Command::SelectGroup)->setEnabled(node);
  Button(Command::Rename)->setEnabled(method);
  Button(Command::Restore)->setEnabled(method);
  Button(Command::Describe)->setEnabled(method);
}

void FavouritesManager::Toggle(QTreeWidgetItem* node) {
  if (MethodOf(node) < 0) return;
  node->setCheckState(0, IsMarked(node) ? Qt::Unchecked : Qt::Checked);
}

void FavouritesManager::SetMarks(QTreeWidgetItem* group, bool marked) {
  for (int k = 0; k < group->childCount(); ++k) group->child(k)->setCheckState(0, marked ? Qt::Checked : Qt::Unchecked);
}

void FavouritesManager::Run(Command command) {
  try {
    switch (command) {
      case Command::ResetAll:
      case Command::SelectAll: {
        Busy busy(host_);
        for (int g = 0; g < tree_->topLevelItemCount(); ++g)
          SetMarks(tree_->topLevelItem(g), command == Command::SelectAll);
        break;
      }
      case Command::ResetGroup:
      case Command::SelectGroup: {
        QTreeWidgetItem* node = SelectedNode();
        if (!node) return;
        Busy busy(host_);
        SetMarks(MethodOf(node) >= 0 ? node->parent() : node, command == Command::SelectGroup);
        break;
      }
      case Command::Rename:
        Rename();
        break;
      case Command::Restore:
        Restore();
        break;
      case Command::Describe:
        Describe();
        break;
      case Command::Import:
        ImportNames();
        break;
      case Command::Export:
        ExportNames();
        break;
    }
  } catch (const std::exception& e) {
    if (host_)
      host_->ShowError(e.what());
    else
      QMessageBox::critical(this, U("Ошибка"), QString::fromUtf8(e.what()));
  }
}

void FavouritesManager::Rename() {
  QTreeWidgetItem* node = SelectedNode();
  const int method = MethodOf(node);
  if (method < 0) return;
  auto text = askText_("Введите наименование фильтра:", "Переименование", node->text(0).toStdString());
  if (!text) return;
  Busy busy(host_);
  // The names file keeps names trimmed; nothing at all means the default.
  const QString name = QString::fromStdString(*text).trimmed();
  node->setText(0, name.isEmpty() ? Q(DefaultTitle(registry_, method)) : name);
}

void FavouritesManager::Restore() {
  QTreeWidgetItem* node = SelectedNode();
  const int method = MethodOf(node);
  if (method < 0) return;
  Busy busy(host_);
  node->setText(0, Q(DefaultTitle(registry_, method)));
}

void FavouritesManager::Describe() {
  const int method = SelectedMethod();
  if (method >= 0) describe_(method);
}

void FavouritesManager::ApplyNames() {
  for (int g = 0; g < tree_->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = tree_->topLevelItem(g);
    for (int k = 0; k < group->childCount(); ++k) {
      const QTreeWidgetItem* node = group->child(k);
      const int method = MethodOf(node);
      const QString text = node->text(0);
      // A default title typed in another case is still the default, so the
      // name keeps following the title (it changes with the settings).
      const bool isDefault = QString::compare(text, Q(DefaultTitle(registry_, method)), Qt::CaseInsensitive) == 0;
      registry_.Method(method).customName = isDefault ? std::string() : text.toStdString();
    }
  }
}

void FavouritesManager::ImportNames() {
  auto file = chooseFile_(false);
  if (!file) return;
  Busy busy(host_);
  if (registry_.LoadNames(env_, *file, false, host_)) BuildTree();
}

void FavouritesManager::ExportNames() {
  auto file = chooseFile_(true);
  if (!file) return;
  Busy busy(host_);
  ApplyNames();
  registry_.SaveNames(env_, *file, false, true, host_);
  // The registry goes back to what the program's own file says; the tree
  // keeps the names being edited.
  registry_.LoadNames(env_, namesFile_, false, host_);
}

bool FavouritesManager::ApplyOk() {
  ApplyNames();
  for (int g = 0; g < tree_->topLevelItemCount(); ++g) {
    QTreeWidgetItem* group = tree_->topLevelItem(g);
    for (int k = 0; k < group->childCount(); ++k)
      registry_.Method(MethodOf(group->child(k))).enabled = IsMarked(group->child(k));
  }
  registry_.NormalizeEnabled();
  registry_.Ordered = ordered_->isChecked();
  registry_.ShowGroupName = showGroup_->isChecked();
  registry_.ShowMethodFlags = showFlags_->isChecked();
  accept();
  return true;
}

}  // namespace px::ui
