// The page "Сценарий": the lines of the scenario as a read-only list, its
// own five-panel status bar and the commands that edit the scenario. The
// window owns actions, shortcuts and the busy check; it calls the functions
// below and asks the enabling queries.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QLabel;
class QTableView;

namespace px {
class TTemplateMain;
class Scenario;
}  // namespace px

namespace px::ui {

struct FilterEditing;

// Row i is line i: comment, options summary, the seven filters as written
// back; a separator shows empty cells. The tooltip tells the line, or the
// filter under the mouse, in words.
class ScenarioModel final : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kColumns = 9;

  ScenarioModel(TTemplateMain& frame, Scenario& scenario, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // After any change of the scenario: the cells are parsed once here, not
  // on every paint.
  void Reload();

 private:
  // The line, or the filter of a filter column, in words; made when asked.
  QString ToolTip(int row, int column) const;

  TTemplateMain& frame_;
  Scenario& scenario_;
  std::vector<std::array<QString, kColumns>> cells_;
};

class ScenarioPage final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kColumnWidth = 200;
  // Longer descriptors and comments widen their column up to this; the rest
  // is in the line's tooltip.
  static constexpr int kWidestColumn = 420;

  ScenarioPage(TTemplateMain& frame, Scenario& scenario, QWidget* parent = nullptr);
  ~ScenarioPage() override;

  // Every dialog runs through here; default exec(). True when accepted.
  std::function<bool(QDialog&)> runDialog;
  // File choice for open (false) and save (true); default a file dialog
  // for "*.lsc". nullopt when cancelled.
  std::function<std::optional<std::string>(bool save)> chooseFile;
  // Position in the filter dialog's list of the main list's selection; -1
  // when unset or nothing is selected.
  std::function<int()> selectedMethod;

  // ---- commands (each does nothing when its enabling query is false)
  void Add();        // ScriptAdd
  void AddEmpty();   // ScriptEmpty
  void Append();     // ScriptLoad
  void Open();       // ScriptOpen
  void Save();       // ScriptSave
  void Clone();      // ScriptClone
  void Edit();       // ScriptEdit (also the double click)
  void Delete();     // ScriptDel
  void Clear();      // ScriptClr
  void Up();         // ScriptUp
  void Down();       // ScriptDown

  // ---- enabling (the busy counter is the window's)
  bool HasLines() const;
  bool HasSelection() const;
  // A line is selected and it is not a separator: ScriptClone, ScriptEdit.
  bool CanEdit() const;
  bool CanMoveUp() const;
  bool CanMoveDown() const;

  // The line the single-line commands act on: the current row when it is
  // selected, else the first selected row; -1 when none.
  int SelectedLine() const;
  std::vector<int> SelectedLines() const;  // ascending
  void SelectLine(int row);

  // The list and the status panels after the scenario changed.
  void Refresh();
  // Panels: 0 "Строк: %d", 1 "Цикл: %d", 2 "Строка: %d", 3 "Ставок: %d",
  // 4 free text; the run fills 1..4.
  QLabel* Panel(int i) const { return panels_[size_t(i)]; }
  void SetPanel(int i, const QString& text);

  QTableView* Table() const { return view_; }
  ScenarioModel* Model() const { return model_; }

 private:
  bool Run(QDialog& dialog);
  std::optional<std::string> Choose(bool save);
  FilterEditing Editing();
  // The line dialog on text; the new line text on OK.
  std::optional<std::string> RunLineDialog(const char* title, const std::string& text);

  TTemplateMain& frame_;
  Scenario& scenario_;
  std::function<void()> previousOnChange_;
  ScenarioModel* model_;
  QTableView* view_;
  std::array<QLabel*, 5> panels_{};
};

}  // namespace px::ui
