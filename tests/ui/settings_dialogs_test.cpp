#include "ui/settings_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableWidget>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/text.h"

namespace px::test {
namespace {

using ui::SettingsDialog;
using ui::ShreddingDialog;

// Sets the decimal separator for one test and puts the previous one back.
struct SeparatorScope {
  char saved = LocaleDecimalSeparator();
  explicit SeparatorScope(char separator) { SetLocaleDecimalSeparator(separator); }
  ~SeparatorScope() { SetLocaleDecimalSeparator(saved); }
};

std::string S(const QString& text) { return text.toStdString(); }

int KeyOf(QChar c) {
  if (c.isDigit()) return Qt::Key_0 + c.digitValue();
  if (c == QLatin1Char(',')) return Qt::Key_Comma;
  if (c == QLatin1Char('.')) return Qt::Key_Period;
  if (c == QLatin1Char('-')) return Qt::Key_Minus;
  return Qt::Key_A + (c.toUpper().unicode() - 'A');
}

void Key(QWidget* target, int key, const QString& text = QString()) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &release);
}

// Types as the user would, so the field's own filter sees every key.
void Type(QWidget* target, const QString& text) {
  for (QChar c : text) Key(target, KeyOf(c), QString(c));
}

// Replaces a spin field's text by typing.
void TypeInto(QAbstractSpinBox* box, const QString& text) {
  box->selectAll();
  Type(box, text);
}

// Opens the cell's editor, types the text and presses Enter.
void EnterCell(QTableWidget* table, QTableWidgetItem* item, const QString& text) {
  table->setCurrentItem(item);
  table->editItem(item);
  auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->indexFromItem(item)));
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  Type(editor, text);
  Key(editor, Qt::Key_Return);
  QApplication::processEvents();  // the view commits Enter through a queued call
}

// The text an open cell editor holds after typing, without committing it.
std::string TypedInCell(QTableWidget* table, QTableWidgetItem* item, const QString& text) {
  table->editItem(item);
  auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(table->indexFromItem(item)));
  if (editor == nullptr) return "<no editor>";
  editor->selectAll();
  Type(editor, text);
  std::string typed = S(editor->text());
  Key(editor, Qt::Key_Escape);
  return typed;
}

struct Dialog {
  std::vector<std::string> errors;
  std::unique_ptr<SettingsDialog> d;
  explicit Dialog(const TConfigData& data) {
    d = std::make_unique<SettingsDialog>(data, [this](const std::string& e) { errors.push_back(e); });
    d->show();
  }
  SettingsDialog* operator->() const { return d.get(); }
};

std::string SegmentsText(const SettingsDialog& d) {
  std::string out;
  for (int n = 1; n <= 36; ++n) out += S(d.SegmentCell(n)->text());
  return out;
}

const char* const kBadSegment = "Некорректное значение: %s!\r\rУкажите любое число от 1 до 9";

TEST(SettingsDialog, DefaultsShowSixColumnsSixRowsAndSegmentOne) {
  SeparatorScope sep('.');
  Dialog d{TConfigData{}};
  EXPECT_EQ(S(d->windowTitle()), "Параметры системы");
  EXPECT_EQ(d->MatrixColsField()->value(), 6);
  EXPECT_EQ(d->MatrixRowsField()->value(), 6);
  EXPECT_TRUE(d->MatrixRowsField()->isReadOnly());
  EXPECT_EQ(d->ChannelSizeField()->value(), 6);
  EXPECT_EQ(S(d->CostField()->text()), "0.00");
  EXPECT_EQ(d->StakeMaxLenField()->value(), 12);
  EXPECT_EQ(S(d->CoefCountField()->text()), "0.000");
  EXPECT_EQ(S(d->CoefDeviationField()->text()), "-1.000");
  EXPECT_EQ(S(d->CoefLevelField()->text()), "1.000");
  EXPECT_FALSE(d->PercentsBox()->isChecked());
  EXPECT_FALSE(d->AbsValuesBox()->isChecked());

  QTableWidget* grid = d->SegmentsGrid();
  ASSERT_EQ(grid->columnCount(), 6);
  ASSERT_EQ(grid->rowCount(), 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      QTableWidgetItem* cell = grid->item(y, x);
      ASSERT_NE(cell, nullptr);
      EXPECT_EQ(S(cell->text()), "1") << x << "," << y;
      EXPECT_TRUE(cell->flags() & Qt::ItemIsEditable);
      EXPECT_EQ(d->SegmentCell(y * 6 + x + 1), cell);
    }
  // An empty prize table still shows six rows of zero.
  QTableWidget* profits = d->ProfitsTable();
  ASSERT_EQ(profits->rowCount(), 6);
  for (int row = 0; row < 6; ++row) {
    EXPECT_EQ(S(profits->item(row, 0)->text()), std::to_string(row));
    EXPECT_EQ(S(profits->item(row, 1)->text()), "0.00");
  }
  EXPECT_TRUE(d.errors.empty());
}

TEST(SettingsDialog, ControlsCarryTheirNamesCaptionsHintsAndRanges) {
  Dialog d{TConfigData{}};
  struct Range {
    const char* name;
    int min, max;
    const char* hint;
  };
  for (const Range& r : {Range{"edMatrixCol", 1, 36, "Количество столбцов"},
                         Range{"edMatrixRow", 1, 36, "Количество строк"},
                         Range{"edChannelSize", 2, 36, "Ширина канала"},
                         Range{"edStakeMaxLen", 6, 12, "Максимально допустимая расширенная ставка"}}) {
    auto* box = d->findChild<QSpinBox*>(QString::fromLatin1(r.name));
    ASSERT_NE(box, nullptr) << r.name;
    EXPECT_EQ(box->minimum(), r.min) << r.name;
    EXPECT_EQ(box->maximum(), r.max) << r.name;
    EXPECT_EQ(S(box->toolTip()), r.hint) << r.name;
  }
  EXPECT_EQ(d->findChild<QDoubleSpinBox*>("edCost"), d->CostField());
  EXPECT_EQ(S(d->CostField()->toolTip()), "Стоимость одной ставки");
  EXPECT_EQ(d->CostField()->decimals(), 2);
  for (const char* name : {"edCoefCount", "edCoefDeviation", "edCoefLevel"}) {
    auto* box = d->findChild<QDoubleSpinBox*>(QString::fromLatin1(name));
    ASSERT_NE(box, nullptr) << name;
    EXPECT_EQ(box->decimals(), 3) << name;
    EXPECT_LT(box->minimum(), 0) << name;  // the deviation defaults to -1
  }
  EXPECT_EQ(d->findChild<QTableWidget*>("edProfits"), d->ProfitsTable());
  EXPECT_EQ(d->findChild<QTableWidget*>("sgSegments"), d->SegmentsGrid());
  EXPECT_EQ(S(d->findChild<QCheckBox*>("cbCoefPercents")->text()), "Использовать значения в %");
  EXPECT_EQ(S(d->findChild<QCheckBox*>("cbCoefAbs")->text()), "Использовать абсолютные значения");
  EXPECT_EQ(S(d->ProfitsTable()->horizontalHeaderItem(0)->text()), "Совпадений");
  EXPECT_EQ(S(d->ProfitsTable()->horizontalHeaderItem(1)->text()), "Сумма выигрыша");
  EXPECT_EQ(S(d->findChild<QGroupBox*>()->title()), " Коэффициенты для поля \"Вес\" ");

  std::set<std::string> labels;
  for (QLabel* label : d->findChildren<QLabel*>()) labels.insert(S(label->text()));
  for (const char* caption : {"Размер матрицы:", "Размер канала:", "Стоимость ставки:", "Расширенная ставка:",
                              "Размеры выигрышей:", "Количество:", "Отклонение:", "Глубина:", "Сегменты матрицы:"})
    EXPECT_TRUE(labels.count(caption)) << caption;
}

TEST(SettingsDialog, SevenColumnsRelayTheGridKeepingEachNumbersSegment) {
  TConfigData data;
  for (int n = 1; n <= 36; ++n) data.MatrixSegments[size_t(n - 1)] = uint8_t(n % 9 + 1);
  Dialog d{data};
  // A value typed before the change survives it too.
  EnterCell(d->SegmentsGrid(), d->SegmentCell(36), "5");
  ASSERT_EQ(S(d->SegmentCell(36)->text()), "5");
  data.MatrixSegments[35] = 5;

  d->MatrixColsField()->setValue(7);
  EXPECT_EQ(d->MatrixRowsField()->value(), 6);
  QTableWidget* grid = d->SegmentsGrid();
  ASSERT_EQ(grid->columnCount(), 7);
  ASSERT_EQ(grid->rowCount(), 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 7; ++x) {
      const int n = y * 7 + x + 1;
      QTableWidgetItem* cell = grid->item(y, x);
      ASSERT_NE(cell, nullptr) << n;
      if (n <= 36) {
        EXPECT_EQ(S(cell->text()), std::to_string(data.MatrixSegments[size_t(n - 1)])) << n;
        EXPECT_TRUE(cell->flags() & Qt::ItemIsEditable) << n;
      } else {
        // Only number 36 is usable in the last row.
        EXPECT_TRUE(cell->text().isEmpty()) << n;
        EXPECT_FALSE(cell->flags() & (Qt::ItemIsEditable | Qt::ItemIsSelectable | Qt::ItemIsEnabled)) << n;
      }
    }
  EXPECT_TRUE(d.errors.empty());
  EXPECT_EQ(d->Result().MatrixSegments, data.MatrixSegments);
  EXPECT_EQ(d->Result().MatrixCols, 7);

  d->MatrixColsField()->setValue(36);
  EXPECT_EQ(d->MatrixRowsField()->value(), 1);
  EXPECT_EQ(grid->rowCount(), 1);
  d->MatrixColsField()->setValue(5);
  EXPECT_EQ(d->MatrixRowsField()->value(), 8);
  EXPECT_EQ(grid->columnCount(), 5);
  EXPECT_EQ(grid->item(1, 0), d->SegmentCell(6));
  EXPECT_EQ(d->Result().MatrixSegments, data.MatrixSegments);
}

TEST(SettingsDialog, SegmentOutsideOneToNineIsReportedAndBecomesOne) {
  Dialog d{TConfigData{}};
  QTableWidget* grid = d->SegmentsGrid();
  EnterCell(grid, d->SegmentCell(10), "12");
  ASSERT_EQ(d.errors.size(), 1u);
  EXPECT_EQ(d.errors[0], Fmt(kBadSegment, "12"));
  EXPECT_EQ(S(d->SegmentCell(10)->text()), "1");

  EnterCell(grid, d->SegmentCell(11), "0");
  ASSERT_EQ(d.errors.size(), 2u);
  EXPECT_EQ(d.errors[1], Fmt(kBadSegment, "0"));
  EXPECT_EQ(S(d->SegmentCell(11)->text()), "1");

  // A value set without the keyboard is checked the same way.
  d->SegmentCell(12)->setText("x");
  ASSERT_EQ(d.errors.size(), 3u);
  EXPECT_EQ(d.errors[2], Fmt(kBadSegment, "x"));
  EXPECT_EQ(S(d->SegmentCell(12)->text()), "1");

  EnterCell(grid, d->SegmentCell(13), "9");
  EXPECT_EQ(d.errors.size(), 3u);
  EXPECT_EQ(S(d->SegmentCell(13)->text()), "9");
  EXPECT_EQ(d->Result().MatrixSegments[12], 9);
  EXPECT_EQ(d->Result().MatrixSegments[9], 1);
}

TEST(SettingsDialog, SegmentCellsTakeDigitsOnly) {
  Dialog d{TConfigData{}};
  EXPECT_EQ(TypedInCell(d->SegmentsGrid(), d->SegmentCell(3), "a7-,"), "7");
  EXPECT_TRUE(d.errors.empty());
}

TEST(SettingsDialog, EmptyOrUnreadableSegmentReadsAsOne) {
  TConfigData data;
  data.MatrixSegments.fill(4);
  Dialog d{data};
  d->SegmentCell(1)->setText("");
  EXPECT_TRUE(d.errors.empty());  // clearing is not an entry
  TConfigData r = d->Result();
  EXPECT_EQ(r.MatrixSegments[0], 1);
  EXPECT_EQ(r.MatrixSegments[1], 4);
}

TEST(SettingsDialog, ProfitsAreShownByPositionAndSavedAsSixEntries) {
  SeparatorScope sep(',');
  TConfigData data;
  data.Profits = {{5, 10000000}, {4, 12345}, {3, 10050}};  // 1000; 1.2345; 1.005
  Dialog d{data};
  QTableWidget* profits = d->ProfitsTable();
  ASSERT_EQ(profits->rowCount(), 6);
  EXPECT_EQ(S(profits->item(0, 1)->text()), "1000,00");
  EXPECT_EQ(S(profits->item(1, 1)->text()), "1,23");
  EXPECT_EQ(S(profits->item(2, 1)->text()), "1,01");
  for (int row = 3; row < 6; ++row) EXPECT_EQ(S(profits->item(row, 1)->text()), "0,00") << row;

  EnterCell(profits, profits->item(3, 1), "1,5");
  profits->item(4, 1)->setText("1.5");  // the other separator is unreadable
  profits->item(5, 1)->setText("2,34567");
  TConfigData r = d->Result();
  ASSERT_EQ(r.Profits.size(), 6u);
  const Currency expected[6] = {10000000, 12300, 10100, 15000, 0, 23457};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(r.Profits[size_t(i)].overlap, i);
    EXPECT_EQ(r.Profits[size_t(i)].profit, expected[i]) << i;
  }
  EXPECT_TRUE(d.errors.empty());
}

TEST(SettingsDialog, ProfitsFollowThePointSeparatorWhenItIsInForce) {
  SeparatorScope sep('.');
  TConfigData data;
  data.Profits = {{0, 25000}};
  Dialog d{data};
  QTableWidget* profits = d->ProfitsTable();
  EXPECT_EQ(S(profits->item(0, 1)->text()), "2.50");
  profits->item(1, 1)->setText("1.5");
  profits->item(2, 1)->setText("1,5");
  profits->item(3, 1)->setText("");
  TConfigData r = d->Result();
  EXPECT_EQ(r.Profits[0].profit, 25000);
  EXPECT_EQ(r.Profits[1].profit, 15000);
  EXPECT_EQ(r.Profits[2].profit, 0);
  EXPECT_EQ(r.Profits[3].profit, 0);
}

TEST(SettingsDialog, ProfitCellsTakeDigitsAndTheSeparatorInForceOnly) {
  {
    SeparatorScope sep(',');
    Dialog d{TConfigData{}};
    EXPECT_EQ(TypedInCell(d->ProfitsTable(), d->ProfitsTable()->item(0, 1), "1a2.3,4-5"), "123,45");
  }
  {
    SeparatorScope sep('.');
    Dialog d{TConfigData{}};
    EXPECT_EQ(TypedInCell(d->ProfitsTable(), d->ProfitsTable()->item(0, 1), "1a2.3,4-5"), "12.345");
  }
  // The match counts are fixed.
  Dialog d{TConfigData{}};
  EXPECT_FALSE(d->ProfitsTable()->item(2, 0)->flags() & Qt::ItemIsEditable);
}

TEST(SettingsDialog, CostIsReadAtTheSeparatorInForceAndRounded) {
  {
    SeparatorScope sep('.');
    Dialog d{TConfigData{}};
    TypeInto(d->CostField(), "2.50");
    EXPECT_EQ(S(d->CostField()->text()), "2.50");
    EXPECT_EQ(d->Result().Cost, 25000);
  }
  {
    SeparatorScope sep(',');
    Dialog d{TConfigData{}};
    TypeInto(d->CostField(), "2,50");
    EXPECT_EQ(d->Result().Cost, 25000);
    // The point is refused while the comma is the separator.
    TypeInto(d->CostField(), "3.75");
    EXPECT_EQ(S(d->CostField()->text()), "375");
    EXPECT_EQ(d->Result().Cost, 3750000);
  }
  {
    SeparatorScope sep(',');
    TConfigData data;
    data.Cost = 12345;  // shown with two decimals, so saved as 1.23
    Dialog d{data};
    EXPECT_EQ(S(d->CostField()->text()), "1,23");
    EXPECT_EQ(d->Result().Cost, 12300);
  }
}

TEST(SettingsDialog, CoefficientsTakeThreeDecimalsAtTheSeparatorInForce) {
  SeparatorScope sep(',');
  TConfigData data;
  data.Count = 0.1L;
  Dialog d{data};
  EXPECT_EQ(S(d->CoefCountField()->text()), "0,100");
  TypeInto(d->CoefDeviationField(), "-2,125");
  TypeInto(d->CoefLevelField(), "0,3");
  TConfigData r = d->Result();
  EXPECT_EQ(r.Count, 0.1L);  // exactly as read from text, not via double
  EXPECT_EQ(r.Deviation, -2.125L);
  EXPECT_EQ(r.Level, 0.3L);
}

TEST(SettingsDialog, EveryFieldSurvivesARoundTrip) {
  for (char separator : {',', '.'}) {
    SeparatorScope sep(separator);
    TConfigData data;
    data.MatrixCols = 9;
    data.ChannelSize = 5;
    data.Cost = 12345000;
    data.MaxStake = 8;
    data.Profits = {{0, 0}, {1, 100}, {2, 25000}, {3, 1234500}, {4, 99999900}, {5, 10000000000}};
    data.Count = 0.1L;
    data.Deviation = -2.5L;
    data.Level = 3.75L;
    data.UsePercents = true;
    data.UseAbsValues = true;
    for (int n = 1; n <= 36; ++n) data.MatrixSegments[size_t(n - 1)] = uint8_t((n * 7) % 9 + 1);
    Dialog d{data};
    EXPECT_EQ(d->MatrixRowsField()->value(), 4);
    EXPECT_EQ(d->SegmentsGrid()->columnCount(), 9);
    TConfigData r = d->Result();
    EXPECT_TRUE(r == data) << separator << ": " << SegmentsText(*d.d);
    EXPECT_EQ(r.MatrixSegments, data.MatrixSegments);
    EXPECT_EQ(r.Profits.size(), 6u);
    EXPECT_EQ(r.Cost, data.Cost);

    // And each control's change reaches the record.
    d->MatrixColsField()->setValue(4);
    d->ChannelSizeField()->setValue(12);
    d->StakeMaxLenField()->setValue(6);
    d->PercentsBox()->setChecked(false);
    d->AbsValuesBox()->setChecked(false);
    r = d->Result();
    EXPECT_EQ(r.MatrixCols, 4);
    EXPECT_EQ(r.ChannelSize, 12);
    EXPECT_EQ(r.MaxStake, 6);
    EXPECT_FALSE(r.UsePercents);
    EXPECT_FALSE(r.UseAbsValues);
    EXPECT_EQ(r.MatrixSegments, data.MatrixSegments);
  }
}

TEST(SettingsDialog, ProfitTableOfSixIsRewrittenInOverlapOrder) {
  // Entries kept by position: a table stored in another order gets the
  // overlaps 0..5 of the rows.
  TConfigData data;
  data.Profits = {{5, 50000}, {4, 40000}, {3, 30000}, {2, 20000}, {1, 10000}, {0, 0}};
  Dialog d{data};
  TConfigData r = d->Result();
  ASSERT_EQ(r.Profits.size(), 6u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(r.Profits[size_t(i)].overlap, i);
    EXPECT_EQ(r.Profits[size_t(i)].profit, data.Profits[size_t(i)].profit);
  }
}

TEST(ShreddingDialog, ShowsAndReturnsTheFormulasAndDigits) {
  const std::array<std::string, 3> formulas = {"(n1+n2+n3)/(n4+n5)", "SIN(p1)*t5", "n1/(n2-n2)"};
  const std::array<uint8_t, 3> digits = {2, 5, 1};
  ShreddingDialog d(formulas, digits);
  EXPECT_EQ(S(d.windowTitle()), "Методы шинковки");
  EXPECT_EQ(d.Formulas(), formulas);
  EXPECT_EQ(d.Digits(), digits);
  for (int i = 0; i < 3; ++i) {
    auto* formula = d.findChild<QLineEdit*>(QStringLiteral("edFormula%1").arg(i + 1));
    auto* count = d.findChild<QSpinBox*>(QStringLiteral("edDigits%1").arg(i + 1));
    ASSERT_EQ(formula, d.FormulaField(i));
    ASSERT_EQ(count, d.DigitsField(i));
    EXPECT_EQ(S(formula->toolTip()), "Используемая формула");
    EXPECT_EQ(S(formula->text()), formulas[size_t(i)]);
    EXPECT_EQ(count->value(), digits[size_t(i)]);
    EXPECT_EQ(count->minimum(), ShreddingDialog::kMinDigits);
    EXPECT_EQ(count->maximum(), ShreddingDialog::kMaxDigits);
  }

  d.FormulaField(0)->setText("n5-n4");
  d.FormulaField(2)->setText("");
  d.DigitsField(1)->setValue(3);
  d.DigitsField(2)->setValue(4);
  const std::array<std::string, 3> newFormulas = {"n5-n4", "SIN(p1)*t5", ""};
  const std::array<uint8_t, 3> newDigits = {2, 3, 4};
  EXPECT_EQ(d.Formulas(), newFormulas);
  EXPECT_EQ(d.Digits(), newDigits);

  ShreddingDialog again(d.Formulas(), d.Digits());
  EXPECT_EQ(again.Formulas(), newFormulas);
  EXPECT_EQ(again.Digits(), newDigits);
}

}  // namespace
}  // namespace px::test
