// "Система": a catalogue system's description and combinations, editable
// for a new or own system and read-only for others'. The combination check
// runs when the combination text loses the focus; OK checks the fields in
// order and stays open until they all hold. Beside the text the dialog shows
// what the lines guarantee for the numbers they use.
#pragma once

#include <QDialog>
#include <string>

#include "catalogue/system_form.h"
#include "stakes/systems.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace px::ui {

class PageContext;

class TFormSystem final : public QDialog {
  Q_OBJECT
 public:
  TFormSystem(PageContext& context, const tSystemData& data, bool editable, QWidget* parent = nullptr);

  // The fields read back as OK does, valid whatever the checks say.
  tSystemData Data() const;
  // OK: the checks in order; false leaves the dialog open with the focus
  // on the faulty field.
  bool Accept();
  // The combination check; false when a word is no number (its box shown).
  bool CheckCombinations();
  bool Editable() const { return editable_; }

  QLineEdit* TitleField() const { return title_; }
  QLineEdit* NumbersField() const { return numbers_; }
  QLineEdit* BlockField() const { return block_; }
  QLineEdit* CountField() const { return count_; }
  QLineEdit* AuthorField() const { return author_; }
  QLineEdit* UrlField() const { return url_; }
  QLineEdit* CreatedField() const { return created_; }
  QPlainTextEdit* DescriptionField() const { return description_; }
  QPlainTextEdit* CombinationsField() const { return combinations_; }
  QToolButton* UrlButton() const { return urlButton_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CloseButton() const { return close_; }
  QTableWidget* GuaranteeTable() const { return guarantee_; }
  QLabel* GuaranteeNote() const { return guaranteeNote_; }
  // The pop-up menu of the combination text, its items' states set as
  // when it pops up.
  QMenu* CombinationsMenu();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenu();
  void FollowMenu();
  void ShowGuarantee();
  void LoadFromFile();
  void SaveToFile();

  PageContext& context_;
  tSystemData held_;  // id and owner, kept unseen
  bool editable_;
  QLineEdit* title_;
  QLineEdit* numbers_;
  QLineEdit* length_;
  QLineEdit* block_;
  QLineEdit* count_;
  QPlainTextEdit* description_;
  QLineEdit* author_;
  QLineEdit* url_;
  QToolButton* urlButton_;
  QLineEdit* created_;
  QLineEdit* downloads_;
  QLineEdit* last_;
  QPlainTextEdit* combinations_;
  QTableWidget* guarantee_;
  QLabel* guaranteeNote_;
  QPushButton* ok_;
  QPushButton* close_;
  QMenu* menu_ = nullptr;
  // The text the last check ran on and whether it passed: leaving the text
  // for OK checks it, and OK does not show the same box again.
  QString checked_;
  bool checkedOk_ = false;
};

}  // namespace px::ui
