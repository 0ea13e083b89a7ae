#include "ui/filter_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <memory>
#include <string>
#include <vector>

#include "core/archive.h"
#include "stats/stat_list.h"
#include "stats/stat_table.h"

namespace px::test {
namespace {

using ui::FilterDialog;

constexpr const char* kBadRange = "Введен некорректный диапазон значений!";

std::string S(const QString& text) { return text.toStdString(); }

class FilterDialogTest : public ::testing::Test {
 protected:
  DrawArchive archive;
  TStatList registry;
  std::vector<MethodListItem> list;
  std::vector<std::string> errors;

  void SetUp() override {
    registry.SetDraws(&archive);
    registry.Fill();
    list = MethodList(registry, false);
    ASSERT_GT(list.size(), 2u);
  }

  std::unique_ptr<FilterDialog> Open(int selected = 0, int windowLength = 25) {
    auto d = std::make_unique<FilterDialog>(registry, list, selected, windowLength,
                                            [this](const std::string& m) { errors.push_back(m); });
    d->show();
    d->activateWindow();
    return d;
  }

  // Position in the dialog's list of the method with that code.
  int PositionOf(const char* code) const {
    const int method = registry.FindByCode(code);
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i].method == method) return static_cast<int>(i);
    ADD_FAILURE() << code << " is not listed";
    return -1;
  }
};

void Type(QWidget* target, const QString& text) {
  for (QChar c : text) {
    const int key = c.isDigit() ? Qt::Key_0 + c.digitValue() : c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A')
                                                                            : c.unicode();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(target, &release);
  }
}

TEST_F(FilterDialogTest, StartsFromTheMainWindow) {
  const int selected = 2;
  auto d = Open(selected, 37);
  EXPECT_EQ(S(d->windowTitle()), "Фильтр");
  ASSERT_EQ(d->FilterTypeList()->count(), static_cast<int>(list.size()));
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(S(d->FilterTypeList()->itemText(int(i))), list[i].text);
    EXPECT_EQ(d->FilterTypeList()->itemData(int(i)).toInt(), list[i].method);
  }
  EXPECT_EQ(d->FilterTypeList()->currentIndex(), selected);
  EXPECT_EQ(S(d->DrawCountsField()->text()), "37");
  ASSERT_EQ(d->SortColumnList()->count(), kStatColumns);
  EXPECT_EQ(d->SortColumnList()->currentIndex(), 1);
  EXPECT_EQ(S(d->SortColumnList()->currentText()), "Количество");
  EXPECT_EQ(S(d->SortColumnList()->itemText(19)), StatColumnTitles()[19]);
  EXPECT_EQ(S(d->DirectionList()->itemText(1)), "Снизу-вверх");
  EXPECT_EQ(S(d->ActionList()->itemText(0)), "Удалить выделенные");
  EXPECT_EQ(S(d->ActionList()->itemText(1)), "Оставить выделенные");
  ASSERT_EQ(d->ConditionList()->count(), 32);
  EXPECT_EQ(S(d->ConditionList()->itemText(31)), ConditionModeTexts()[31]);
  ASSERT_EQ(d->StopModeList()->count(), 7);
  EXPECT_EQ(S(d->StopModeList()->itemText(3)), "Пока список не будет пуст и откатить на шаг");
  EXPECT_EQ(d->StopValueField()->minimum(), 1);
  EXPECT_EQ(d->StopValueField()->maximum(), 2147483647);
  EXPECT_EQ(d->StopValueField()->value(), 1);
  EXPECT_EQ(S(d->WeightGroup()->title()), " Коэффициенты для расчета значений \"Вес\" ");
  EXPECT_EQ(S(d->DrawCountsField()->toolTip()),
            "Количество тиражей для расчета статистики\r\n\r\nДопустимые форматы:\r\n1 - одно значение\r\n"
            "1, 2, 3 - список значений через запятую\r\n1-10;2 - нижняя и верхняя граница диапазона; шаг изменения");
  EXPECT_EQ(S(d->ValuesField()->toolTip()).rfind("Учитываемые значения глубины\r\n\r\n", 0), 0u);
}

TEST_F(FilterDialogTest, DefaultsGiveADefinedFilterOfTheSelectedMethod) {
  auto d = Open(PositionOf("NUMS"), 10);
  const TFilterItem item = d->Item();
  EXPECT_TRUE(item.defined);
  EXPECT_EQ(item.statCode, "NUMS");
  EXPECT_EQ(item.drawCounts, "10");
  EXPECT_EQ(item.sortColumn, 1);
  EXPECT_EQ(item.conditionMode, 0);
  EXPECT_EQ(item.stopMode, 0);
  EXPECT_EQ(item.stopValue, 1);
  EXPECT_TRUE(d->Accept());
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(FilterDialogTest, RefusesTheSingleWindowZero) {
  auto d = Open();
  d->DrawCountsField()->setText("0");
  EXPECT_FALSE(d->Accept());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], kBadRange);
  EXPECT_EQ(d->focusWidget(), d->DrawCountsField());
  EXPECT_TRUE(d->isVisible());
  EXPECT_NE(d->result(), QDialog::Accepted);

  d->DrawCountsField()->setText("0, 5");
  EXPECT_TRUE(d->Accept());
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(d->Item().drawCounts, "0, 5");
}

TEST_F(FilterDialogTest, RefusesWindowListsThatDoNotParse) {
  for (const char* text : {"", "-", "10-1;1", "5-10", ";"}) {
    auto d = Open();
    errors.clear();
    d->DrawCountsField()->setText(QString::fromUtf8(text));
    EXPECT_FALSE(d->Accept()) << text;
    ASSERT_EQ(errors.size(), 1u) << text;
    EXPECT_EQ(errors[0], kBadRange);
  }
  auto d = Open();
  d->DrawCountsField()->setText("1-10;2");
  EXPECT_TRUE(d->Accept());
}

TEST_F(FilterDialogTest, ValueListModeNeedsNumericValues) {
  auto d = Open(PositionOf("DIFO"));
  ASSERT_FALSE(registry.Method(registry.FindByCode("DIFO")).cls->numericValues);
  d->ConditionList()->setCurrentIndex(31);
  d->ValuesField()->setText("1, 2");
  EXPECT_FALSE(d->Accept());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Для данного вида статистики не доступен режим выделения по списку значений!");
  EXPECT_EQ(d->focusWidget(), d->ConditionList());
  EXPECT_TRUE(d->isVisible());

  d->FilterTypeList()->setCurrentIndex(PositionOf("NUMS"));
  EXPECT_TRUE(d->Accept());
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_EQ(d->Item().conditionMode, 31);
  EXPECT_EQ(d->Item().conditionValues, "1, 2");
}

TEST_F(FilterDialogTest, ValueListModeWithNumsStillNeedsValues) {
  auto d = Open(PositionOf("NUMS"));
  d->ConditionList()->setCurrentIndex(31);
  EXPECT_FALSE(d->Accept());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], kBadRange);
  EXPECT_EQ(d->focusWidget(), d->ValuesField());
}

TEST_F(FilterDialogTest, ValuesMatterOnlyWithACondition) {
  auto d = Open();
  d->ValuesField()->setText("-");
  EXPECT_TRUE(d->Accept());

  auto e = Open();
  e->ConditionList()->setCurrentIndex(13);
  e->ValuesField()->setText("-");
  EXPECT_FALSE(e->Accept());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], kBadRange);
  EXPECT_EQ(e->focusWidget(), e->ValuesField());
  e->ValuesField()->setText("2");
  EXPECT_TRUE(e->Accept());
}

TEST_F(FilterDialogTest, MultiSelectionCannotStopByCounts) {
  const std::string message =
      "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может быть выполнена!\r"
      "Выберите другой способ останова.";
  for (int stop : {1, 2}) {
    auto d = Open();
    errors.clear();
    d->MultiSelectBox()->setChecked(true);
    d->StopModeList()->setCurrentIndex(stop);
    EXPECT_FALSE(d->Accept()) << stop;
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], message);
    EXPECT_EQ(d->focusWidget(), d->StopModeList());
    d->MultiSelectBox()->setChecked(false);
    EXPECT_TRUE(d->Accept()) << "single selection may stop by counts";
  }
  auto d = Open();
  d->MultiSelectBox()->setChecked(true);
  d->StopModeList()->setCurrentIndex(4);
  EXPECT_TRUE(d->Accept());
}

TEST_F(FilterDialogTest, WeightGroupOnlyForWeightConditions) {
  auto d = Open();
  auto fieldsEnabled = [&] {
    const bool a = d->CoefCountField()->isEnabled();
    EXPECT_EQ(d->CoefDeviationField()->isEnabled(), a);
    EXPECT_EQ(d->CoefDepthField()->isEnabled(), a);
    EXPECT_EQ(d->PercentsBox()->isEnabled(), a);
    EXPECT_EQ(d->AbsValuesBox()->isEnabled(), a);
    return a;
  };
  EXPECT_FALSE(d->WeightOverrideBox()->isEnabled());
  EXPECT_FALSE(fieldsEnabled());
  for (int mode = 0; mode < 32; ++mode) {
    d->ConditionList()->setCurrentIndex(mode);
    EXPECT_EQ(d->WeightOverrideBox()->isEnabled(), mode >= 19 && mode <= 21) << mode;
    EXPECT_FALSE(fieldsEnabled()) << mode;
  }
  d->ConditionList()->setCurrentIndex(20);
  d->WeightOverrideBox()->click();
  EXPECT_TRUE(d->WeightOverrideBox()->isChecked());
  EXPECT_TRUE(fieldsEnabled());
  d->ConditionList()->setCurrentIndex(22);
  EXPECT_FALSE(fieldsEnabled()) << "ticked but disabled";
  d->ConditionList()->setCurrentIndex(19);
  EXPECT_TRUE(fieldsEnabled());
  d->WeightOverrideBox()->click();
  EXPECT_FALSE(fieldsEnabled());
}

TEST_F(FilterDialogTest, WeightFieldsShowTheConfiguredValuesUnlessOverridden) {
  TConfigData& cdl = registry.Config().data;
  cdl.Count = 1.25L;
  cdl.Deviation = -0.5L;
  cdl.Level = 3;
  cdl.UsePercents = true;
  cdl.UseAbsValues = false;
  auto d = Open();
  EXPECT_DOUBLE_EQ(d->CoefCountField()->value(), 1.25);
  EXPECT_DOUBLE_EQ(d->CoefDeviationField()->value(), -0.5);
  EXPECT_DOUBLE_EQ(d->CoefDepthField()->value(), 3.0);
  EXPECT_TRUE(d->PercentsBox()->isChecked());
  EXPECT_FALSE(d->AbsValuesBox()->isChecked());

  TFilterItem item;
  item.defined = true;
  item.statCode = "NUMS";
  item.coefCount = 9;  // not overridden: the configured values stay
  item.usePercents = false;
  d->Load(item);
  EXPECT_DOUBLE_EQ(d->CoefCountField()->value(), 1.25);
  EXPECT_TRUE(d->PercentsBox()->isChecked());
  // Saved from the fields even though they are disabled.
  EXPECT_EQ(d->Item().coefCount, 1.25L);
  EXPECT_EQ(d->Item().coefDeviation, -0.5L);
  EXPECT_TRUE(d->Item().usePercents);

  item.weightOverride = true;
  item.coefDeviation = 0.125L;
  item.coefDepth = -2;
  item.useAbs = true;
  d->Load(item);
  EXPECT_DOUBLE_EQ(d->CoefCountField()->value(), 9.0);
  EXPECT_DOUBLE_EQ(d->CoefDeviationField()->value(), 0.125);
  EXPECT_DOUBLE_EQ(d->CoefDepthField()->value(), -2.0);
  EXPECT_FALSE(d->PercentsBox()->isChecked());
  EXPECT_TRUE(d->AbsValuesBox()->isChecked());
}

TEST_F(FilterDialogTest, LoadingAnItemRoundTripsEveryField) {
  TFilterItem item;
  item.defined = true;
  item.statText = "difo:5-15;5";
  item.statCode = "DIFO";
  item.drawCounts = "5-15;5";
  item.sortColumn = 12;
  item.bottomUp = true;
  item.multiSelect = true;
  item.keepSelected = true;
  item.conditionMode = 21;
  item.conditionValues = "1, 3";
  item.weightOverride = true;
  item.coefCount = 0.1L;
  item.coefDeviation = -2.5L;
  item.coefDepth = 7.125L;
  item.usePercents = true;
  item.useAbs = true;
  item.stopMode = 5;
  item.stopValue = 2147483647;

  auto d = Open(0, 30);
  d->Load(item);
  EXPECT_EQ(d->FilterTypeList()->currentIndex(), PositionOf("DIFO"));
  EXPECT_EQ(S(d->DrawCountsField()->text()), "5-15;5");
  EXPECT_EQ(d->SortColumnList()->currentIndex(), 12);
  EXPECT_EQ(d->DirectionList()->currentIndex(), 1);
  EXPECT_EQ(d->ActionList()->currentIndex(), 1);
  EXPECT_TRUE(d->WeightOverrideBox()->isEnabled());
  EXPECT_TRUE(d->CoefDepthField()->isEnabled());
  EXPECT_EQ(d->Item(), item);

  // Every flag the other way round, to catch a control that ignores the item.
  TFilterItem other = item;
  other.statCode = "NUMS";
  other.sortColumn = 0;
  other.bottomUp = false;
  other.multiSelect = false;
  other.keepSelected = false;
  other.conditionMode = 3;
  other.usePercents = false;
  other.useAbs = false;
  other.stopMode = 1;
  other.stopValue = 4;
  d->Load(other);
  EXPECT_EQ(d->Item(), other);
  EXPECT_FALSE(d->CoefDepthField()->isEnabled());
  EXPECT_TRUE(d->Accept());
  EXPECT_TRUE(errors.empty());
}

TEST_F(FilterDialogTest, UnknownStatisticSelectsTheFirstEntry) {
  TFilterItem item;
  item.defined = true;
  item.statText = "XYZ:10";
  auto d = Open(PositionOf("NUMS"), 12);
  d->Load(item);
  EXPECT_EQ(d->FilterTypeList()->currentIndex(), 0);
  // Empty texts keep the first guesses.
  EXPECT_EQ(S(d->DrawCountsField()->text()), "12");
  const TFilterItem result = d->Item();
  EXPECT_EQ(result.statCode, registry.CodeOf(list[0].method));
  EXPECT_EQ(result.statText, "XYZ:10");
}

TEST_F(FilterDialogTest, UndefinedItemLeavesTheFirstGuesses) {
  TFilterItem item;
  item.sortColumn = 7;
  item.stopMode = 4;
  item.drawCounts = "99";
  auto d = Open(PositionOf("NUMS"), 12);
  d->Load(item);
  EXPECT_EQ(d->FilterTypeList()->currentIndex(), PositionOf("NUMS"));
  EXPECT_EQ(S(d->DrawCountsField()->text()), "12");
  EXPECT_EQ(d->SortColumnList()->currentIndex(), 1);
  EXPECT_EQ(d->StopModeList()->currentIndex(), 0);
}

TEST_F(FilterDialogTest, KeyFilterDropsLetters) {
  auto d = Open();
  for (QLineEdit* field : {d->DrawCountsField(), d->ValuesField()}) {
    field->clear();
    Type(field, QStringLiteral("1a-b;2,x3 .Z"));
    EXPECT_EQ(S(field->text()), "1-;2,3");
    QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    QApplication::sendEvent(field, &back);
    EXPECT_EQ(S(field->text()), "1-;2,") << "control keys pass";
  }
}

}  // namespace
}  // namespace px::test
