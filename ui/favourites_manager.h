// "Менеджер избранных методов расчета статистики": which methods the lists
// offer and under which names. The marks, names and options are a working
// copy until OK; importing names is the one command that changes the
// registry at once.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace px {
class Env;
class Host;
class TStatList;
}  // namespace px

namespace px::ui {

class FavouritesManager final : public QDialog {
  Q_OBJECT
 public:
  // A names file to read (save = false) or write; nullopt when cancelled.
  using FileChooser = std::function<std::optional<std::string>(bool save)>;
  // A new text for a node; nullopt when cancelled.
  using TextPrompt = std::function<std::optional<std::string>(const std::string& prompt, const std::string& title,
                                                              const std::string& current)>;
  // Shows the description of a registry entry.
  using DescriptionOpener = std::function<void(int method)>;

  enum class Command { ResetAll, SelectAll, ResetGroup, SelectGroup, Rename, Restore, Describe, Import, Export };

  // namesFile is the program's own names file, read back after an export.
  // Empty callbacks fall back to the real dialogs (file dialog in the folder
  // of namesFile, input box, description window).
  FavouritesManager(TStatList& registry, Env& env, std::string namesFile, Host* host, FileChooser chooseFile,
                    TextPrompt askText = {}, DescriptionOpener describe = {}, QWidget* parent = nullptr);

  // What OK does: the tree's marks and names and the options go to the
  // registry, then the dialog accepts. Never refuses, so always true.
  bool ApplyOk();

  QTreeWidget* Tree() const { return tree_; }
  QPushButton* Button(Command command) const;
  QCheckBox* OrderedBox() const { return ordered_; }
  QCheckBox* GroupNameBox() const { return showGroup_; }
  QCheckBox* MethodFlagsBox() const { return showFlags_; }
  QLabel* CountLabel() const { return count_; }

  // The registry entry of a method node; -1 for a group node or null.
  static int MethodOf(const QTreeWidgetItem* node);
  // The node of a registry entry, or null.
  QTreeWidgetItem* NodeOf(int method) const;
  static bool IsMarked(const QTreeWidgetItem* node);

  // Runs a command as its button does, also while the button is disabled
  // (the button's own click respects the enabling rules).
  void Run(Command command);

 private:
  void BuildTree();
  void UpdateEnabled();
  void Toggle(QTreeWidgetItem* node);
  void SetMarks(QTreeWidgetItem* parent, bool marked);
  QTreeWidgetItem* SelectedNode() const;
  int SelectedMethod() const;
  void ApplyNames();
  void Rename();
  void Restore();
  void Describe();
  void ImportNames();
  void ExportNames();

  TStatList& registry_;
  Env& env_;
  std::string namesFile_;
  Host* host_;
  FileChooser chooseFile_;
  TextPrompt askText_;
  DescriptionOpener describe_;

  QLabel* count_;
  QTreeWidget* tree_;
  QCheckBox* ordered_;
  QCheckBox* showGroup_;
  QCheckBox* showFlags_;
  QPushButton* buttons_[9] = {};
};

}  // namespace px::ui
