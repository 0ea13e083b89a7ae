#include <gtest/gtest.h>
#include <httplib.h>

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <filesystem>

#include "catalogue/client.h"
#include "core/env.h"
#include "core/form_settings.h"
#include "core/ini.h"
#include "core/text.h"
#include "frame/frame.h"
#include "support/loopback.h"
#include "tests/catalogue/catalogue_support.h"
#include "tests/ui/window_fixture.h"
#include "ui/context_menu.h"
#include "ui/page_context.h"
#include "ui/system_dialog.h"
#include "ui/systems_page.h"

namespace px {
namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

using test::Lines;
using test::Way;

class SystemsPageTest : public test::WindowTest {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(SystemsDirectory(dir.Path()));
    if (way == Way::Http) {
      // The real server over the same catalogue file, named in the configuration.
      served = std::make_unique<test::ServedCatalogue>(EmbeddedCataloguePath(dir.Path()));
      IniFile ini;
      ini.WriteString("GLOBAL", "SystemsCatalogue", served->Url());
      ini.Save(Env::Real(), dir.File("Pentalux5_5v36.ini"));
    }
    SaveOnlineIdentity(Env::Real(), dir.File("Pentalux5_5v36.frm"), me);
    // No draws download question at the start.
    FormSettings(Env::Real(), dir.File("Pentalux5_5v36.frm")).WriteInt("TFormMain", "DownloadDrawsOnStart", 2);
  }
  void TearDown() override {
    if (window) Close();
  }
  int32_t Publish(int k, int count, const std::string& title, const OnlineIdentity& owner, int skip = 0) {
    EmbeddedCatalogue catalogue(Env::Real(), EmbeddedCataloguePath(dir.Path()));
    return catalogue.SaveSystem(test::SampleSystem(k, count, title, owner, skip));
  }
  ui::SystemsPage& Page() { return *window->SystemsTab(); }
  const CatalogueList& List() { return *Page().List(); }
  QTableView& View() { return *Page().Table(); }
  QString Cell(int row, int column) { return View().model()->index(row, column).data().toString(); }
  int RowOf(int32_t id) { return List().IndexOf(id); }
  void Select(int32_t id) {
    View().clearSelection();
    View().selectionModel()->select(View().model()->index(RowOf(id), 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window->UpdateActions();
  }
  bool Enabled(const char* name) {
    window->UpdateActions();
    return window->Action(name)->isEnabled();
  }
  static std::string DialogData(ui::TFormSystem& d) { return d.Data().combinations; }

  OnlineIdentity me{"Иван", "ivan@x.ru"};
  OnlineIdentity other{"Пётр", "petr@x.ru"};
  Way way = Way::Embedded;
  std::unique_ptr<test::ServedCatalogue> served;
};

// The same, once with the catalogue file and once through the server on the loopback.
class SystemsBothWays : public SystemsPageTest, public ::testing::WithParamInterface<Way> {
 protected:
  void SetUp() override {
    way = GetParam();
    SystemsPageTest::SetUp();
  }
  void TearDown() override {
    SystemsPageTest::TearDown();
    served.reset();
  }
};

TEST_F(SystemsPageTest, TheTabListsTheCatalogueAtStartWithItsColumnsIconsAndCommands) {
  ASSERT_EQ(Publish(10, 3, "десятка", other), 1);
  ASSERT_EQ(Publish(7, 2, "семёрка", me), 2);
  ASSERT_EQ(Publish(8, 2, "ничья", {"", ""}), 3);
  Open();
  ASSERT_NE(Page().List(), nullptr);
  ASSERT_EQ(View().model()->rowCount(), 3);
  // Sorted by "Числа", ascending, shown by the header's indicator.
  EXPECT_EQ(Cell(0, 0), U("семёрка"));
  EXPECT_EQ(Cell(1, 0), U("ничья"));
  EXPECT_EQ(Cell(2, 0), U("десятка"));
  EXPECT_EQ(View().horizontalHeader()->sortIndicatorSection(), 2);
  const QStringList titles = {U("Название"), U("Автор"),  U("Числа"),     U("Блок"),        U("Комбинаций"), U("Дата создания"),
                              U("Статус"),   U("Загрузок"), U("Последняя"), U("Комментарии"), U("Ссылка")};
  ASSERT_EQ(View().model()->columnCount(), titles.size());
  for (int c = 0; c < titles.size(); ++c)
    EXPECT_EQ(View().model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
  EXPECT_EQ(Cell(0, 2), "07");
  EXPECT_EQ(Cell(0, 4), "2");
  EXPECT_EQ(Cell(0, 4 + 5), U("описание семёрка"));
  EXPECT_EQ(View().model()->index(0, 4).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
            int(Qt::AlignRight));
  EXPECT_EQ(View().model()->index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
            int(Qt::AlignHCenter));
  EXPECT_EQ(View().columnWidth(0), 200);
  EXPECT_GE(View().columnWidth(5), 100);
  // Each of the three owners has its own icon.
  std::set<qint64> icons;
  for (int r = 0; r < 3; ++r) {
    const QIcon icon = View().model()->index(r, 0).data(Qt::DecorationRole).value<QIcon>();
    ASSERT_FALSE(icon.isNull());
    icons.insert(icon.cacheKey());
  }
  EXPECT_EQ(icons.size(), 3u);
  // The six states look different from one another.
  std::vector<QImage> looks;
  for (bool down : {false, true})
    for (SystemOwner o : {SystemOwner::Nobody, SystemOwner::Other, SystemOwner::Own})
      looks.push_back(ui::SystemStateIcon(down, o).pixmap(16, 16).toImage());
  for (size_t i = 0; i < looks.size(); ++i)
    for (size_t j = i + 1; j < looks.size(); ++j) EXPECT_NE(looks[i], looks[j]) << i << " " << j;

  // The button bar and the captions and hints of the commands.
  const char* const buttons[] = {"Загрузить", "Обновить", "Добавить", "Свойства", "Удалить"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Page().Button(i)->text(), U(buttons[i]));
  EXPECT_EQ(window->Action("SystemsRefresh")->statusTip(), U("Перезагрузить список с сервера"));
  EXPECT_EQ(window->Action("SystemsDownload")->statusTip(), U("Загрузить выделенные системы"));
  EXPECT_EQ(window->Action("SystemsProp")->statusTip(), U("Просмотр / редактирование свойств системы"));
  // The menu "Системы": the switch, download, refresh, the three edits, separated.
  QMenu* menu = nullptr;
  for (QAction* top : window->menuBar()->actions())
    if (QString(top->text()).remove('&') == U("Системы")) menu = top->menu();
  ASSERT_NE(menu, nullptr);
  std::vector<std::string> names;
  for (QAction* a : menu->actions()) names.push_back(a->isSeparator() ? "-" : a->objectName().toStdString());
  EXPECT_EQ(names, (std::vector<std::string>{"SystemsOn", "-", "SystemsDownload", "-", "SystemsRefresh", "-",
                                             "SystemsAdd", "SystemsProp", "SystemsDel", "-", "SystemsIdentity"}));
  // The list's pop-up menu, "Свойства" its default item.
  std::unique_ptr<QMenu> popup = ui::BuildContextMenu(View());
  ASSERT_NE(popup, nullptr);
  std::vector<std::string> items;
  for (QAction* a : popup->actions()) items.push_back(a->isSeparator() ? "-" : a->objectName().toStdString());
  EXPECT_EQ(items, (std::vector<std::string>{"SystemsDownload", "SystemsRefresh", "SystemsAdd", "SystemsProp",
                                             "SystemsDel"}));
  ASSERT_NE(popup->defaultAction(), nullptr);
  EXPECT_EQ(popup->defaultAction()->objectName(), "SystemsProp");

  // Enabled: download with a selection, properties with a current row,
  // delete only for an own one.
  View().clearSelection();
  EXPECT_TRUE(Enabled("SystemsRefresh"));
  EXPECT_TRUE(Enabled("SystemsAdd"));
  EXPECT_FALSE(Enabled("SystemsDownload"));
  EXPECT_FALSE(Enabled("SystemsProp"));
  EXPECT_FALSE(Enabled("SystemsDel"));
  Select(1);
  EXPECT_TRUE(Enabled("SystemsDownload"));
  EXPECT_TRUE(Enabled("SystemsProp"));
  EXPECT_FALSE(Enabled("SystemsDel"));
  Select(2);
  EXPECT_TRUE(Enabled("SystemsDel"));
  window->Frame().BeginBusy();
  EXPECT_FALSE(Enabled("SystemsDel"));
  EXPECT_FALSE(Enabled("SystemsRefresh"));
  window->Frame().EndBusy();
  EXPECT_TRUE(messages.empty()) << messages.front().second;
}

TEST_P(SystemsBothWays, SortRefreshDownloadAndTheCurrentRowKept) {
  ASSERT_EQ(Publish(10, 3, "первая десятка", other), 1);
  ASSERT_EQ(Publish(8, 2, "восьмёрка", other), 2);
  ASSERT_EQ(Publish(10, 4, "вторая десятка", other, 3), 3);
  Open();
  // A click on "Название" sorts by title; again, the other way round.
  View().horizontalHeader()->sectionClicked(0);
  EXPECT_EQ(Cell(0, 0), U("восьмёрка"));
  EXPECT_EQ(Cell(1, 0), U("вторая десятка"));
  EXPECT_EQ(Cell(2, 0), U("первая десятка"));
  View().horizontalHeader()->sectionClicked(0);
  EXPECT_EQ(Cell(0, 0), U("первая десятка"));
  EXPECT_EQ(View().horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);

  // The current row survives a refresh, in the order chosen.
  Select(2);
  ASSERT_TRUE(window->Trigger("SystemsRefresh"));
  EXPECT_EQ(Page().CurrentRow(), RowOf(2));
  EXPECT_EQ(Cell(0, 0), U("первая десятка"));

  // Download the first ten; then the second deletes its file and its mark.
  Select(1);
  ASSERT_TRUE(window->Trigger("SystemsDownload"));
  const std::string first = SystemFilePath(dir.Path(), List().Rows()[size_t(RowOf(1))].info);
  ASSERT_TRUE(std::filesystem::exists(first));
  EXPECT_EQ(Cell(RowOf(1), 6), U("Загружена"));
  EXPECT_EQ(Page().CurrentRow(), RowOf(1));  // the current row stays selected
  // Two selected: each downloaded in list order; the non-current one leaves the selection.
  View().clearSelection();
  for (int32_t id : {3, 2})
    View().selectionModel()->select(View().model()->index(RowOf(id), 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
  ASSERT_TRUE(window->Trigger("SystemsDownload"));
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_EQ(Cell(RowOf(1), 6), "");
  EXPECT_EQ(Cell(RowOf(3), 6), U("Загружена"));
  EXPECT_EQ(Cell(RowOf(2), 6), U("Загружена"));
  EXPECT_EQ(ui::SelectedRows(View()), std::vector<int>{RowOf(3)});  // the current row is the first selected one
  EXPECT_TRUE(messages.empty()) << messages.front().second;
  // The system game now finds the second ten.
  const std::optional<std::string> ten = window->Frame().Systems()->FindFile(10);
  ASSERT_TRUE(ten);
  EXPECT_EQ(*ten, SystemFilePath(dir.Path(), List().Rows()[size_t(RowOf(3))].info));

  // Off: every row goes; on: the list is read again and the tab is in front.
  ASSERT_TRUE(window->Trigger("SystemsOn"));
  EXPECT_EQ(View().model()->rowCount(), 0);
  EXPECT_FALSE(Enabled("SystemsRefresh"));
  ASSERT_TRUE(window->Trigger("SystemsOn"));
  EXPECT_EQ(View().model()->rowCount(), 3);
  EXPECT_EQ(window->MainPages()->currentWidget(), static_cast<QWidget*>(&Page()));
  EXPECT_EQ(Cell(RowOf(3), 6), U("Загружена"));
}

TEST_P(SystemsBothWays, AddPropertiesAndDeleteThroughTheDialog) {
  ASSERT_EQ(Publish(10, 3, "чужая", other), 1);
  Open();
  // Add: the author and owner are the user's; the check rewrites the text.
  dialogs.push_back([&](QDialog& d) {
    auto& s = dynamic_cast<ui::TFormSystem&>(d);
    EXPECT_TRUE(s.Editable());
    EXPECT_EQ(s.AuthorField()->text(), U("Иван"));
    EXPECT_TRUE(s.OkButton()->isVisibleTo(&s));
    s.TitleField()->setText(U("моя"));
    s.DescriptionField()->setPlainText(U("три строки"));
    s.CombinationsField()->setPlainText("1,2,3,4,5\n\n1 2 3");
    // OK after the check of the three-line text: 5 numbers are refused.
    EXPECT_FALSE(s.Accept());
    EXPECT_EQ(s.CombinationsField()->toPlainText(), "01 02 03 04 05");
    EXPECT_EQ(s.NumbersField()->text(), "5");
    EXPECT_EQ(s.CountField()->text(), "1");
    // Positions 3..7 and 5..9: "Числа" 7, but position 9 is past it.
    s.CombinationsField()->setPlainText("3 4 5 6 7\n5 6 7 8 9");
    EXPECT_TRUE(s.CheckCombinations());
    EXPECT_EQ(s.NumbersField()->text(), "7");
    EXPECT_EQ(s.CountField()->text(), "2");
    EXPECT_FALSE(s.Accept());
    s.CombinationsField()->setPlainText("1 2 3 4 5\n2 3 4 5 6\n3 4 5 6 7\n");
    EXPECT_TRUE(s.CheckCombinations());
    EXPECT_EQ(s.NumbersField()->text(), "7");
    EXPECT_NE(s.GuaranteeNote()->text().indexOf(U("Гарантия для 7 чисел")), -1) << s.GuaranteeNote()->text().toStdString();
    EXPECT_FALSE(s.GuaranteeTable()->item(0, 1)->text().isEmpty());
    return s.Accept();
  });
  ASSERT_TRUE(window->Trigger("SystemsAdd"));
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].second, "Указано недопустмое количество используемых чисел!");
  EXPECT_NE(messages[1].second.find("от 1 до 7"), std::string::npos) << messages[1].second;
  ClearMessages();
  const int mine = RowOf(2);
  ASSERT_GE(mine, 0);
  EXPECT_EQ(Page().CurrentRow(), mine);
  EXPECT_EQ(Cell(mine, 4), "3");
  EXPECT_EQ(Cell(mine, 6), "");  // not downloaded until asked
  EXPECT_EQ(List().Owner(List().Rows()[size_t(mine)]), SystemOwner::Own);

  // Properties of another's system: read-only, no OK, the focus on Close.
  Select(1);
  dialogs.push_back([&](QDialog& d) {
    auto& s = dynamic_cast<ui::TFormSystem&>(d);
    EXPECT_FALSE(s.Editable());
    EXPECT_FALSE(s.OkButton()->isVisibleTo(&s));
    EXPECT_TRUE(s.TitleField()->isReadOnly());
    EXPECT_TRUE(s.CombinationsField()->isReadOnly());
    EXPECT_EQ(s.CombinationsField()->toPlainText().count('\n'), 3);  // the text fetched
    EXPECT_EQ(s.focusWidget(), static_cast<QWidget*>(s.CloseButton()));
    EXPECT_FALSE(s.Accept());
    return false;
  });
  ASSERT_TRUE(window->Trigger("SystemsProp"));
  // Own: editable; OK saves the change into the row.
  Select(2);
  dialogs.push_back([&](QDialog& d) {
    auto& s = dynamic_cast<ui::TFormSystem&>(d);
    EXPECT_TRUE(s.Editable());
    s.TitleField()->setText(U("моя новая"));
    return s.Accept();
  });
  ASSERT_TRUE(window->Trigger("SystemsProp"));
  EXPECT_EQ(Cell(RowOf(2), 0), U("моя новая"));

  // Delete: asked, No is kept; Yes removes the row and the catalogue's system.
  answers = {false};
  ASSERT_TRUE(window->Trigger("SystemsDel"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, "Вы действительно хотите удалить систему \"моя новая\"?");
  EXPECT_GE(RowOf(2), 0);
  answers = {true};
  ASSERT_TRUE(window->Trigger("SystemsDel"));
  EXPECT_EQ(RowOf(2), -1);
  ASSERT_TRUE(window->Trigger("SystemsRefresh"));
  EXPECT_EQ(RowOf(2), -1);
  EXPECT_EQ(View().model()->rowCount(), 1);
}

TEST_F(SystemsPageTest, TheDialogsFieldsMenuAndDigitsOnlyInputs) {
  Open();
  tSystemData d;
  d.id = 7;
  d.title = "t";
  d.numberCount = 6;
  d.blockLength = 2;
  d.combinationCount = 1;
  d.created = 1700000000;
  d.url = "https://example.org/x";
  d.combinations = "01 02 03 04 05\r\n";
  ui::TFormSystem s(*window, d, true);
  EXPECT_EQ(s.windowTitle(), U("Система"));
  EXPECT_EQ(s.CreatedField()->text().size(), 19);
  // Keys that type something other than a digit are swallowed.
  s.NumbersField()->setFocus();
  s.NumbersField()->setText("1");
  s.NumbersField()->setCursorPosition(1);
  for (const QString& key : {QString("a"), QString("-"), QString(" "), QString("2")}) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
    QApplication::sendEvent(s.NumbersField(), &press);
  }
  EXPECT_EQ(s.NumbersField()->text(), "12");
  // Data read back: id and owner as held; created from its text.
  const tSystemData back = s.Data();
  EXPECT_EQ(back.id, 7);
  EXPECT_EQ(back.numberCount, 12);
  EXPECT_EQ(back.blockLength, 2);
  EXPECT_EQ(back.created, 1700000000);
  EXPECT_EQ(back.lastDownload, 0);
  EXPECT_EQ(back.combinations, "01 02 03 04 05\r\n");
  // The link opens with the desktop.
  ASSERT_TRUE(s.UrlButton()->isEnabled());
  s.UrlButton()->click();
  EXPECT_EQ(desktop->LastOpened(), "https://example.org/x");
  s.UrlField()->clear();
  EXPECT_FALSE(s.UrlButton()->isEnabled());

  // The text's menu: paste replaces the text and checks it; save writes it.
  QMenu* menu = s.CombinationsMenu();
  auto item = [&](const char* name) {
    for (QAction* a : menu->actions())
      if (a->objectName() == name) return a;
    return static_cast<QAction*>(nullptr);
  };
  desktop->clipboard = "";
  menu = s.CombinationsMenu();
  EXPECT_FALSE(item("SystemPaste")->isEnabled());
  EXPECT_FALSE(item("SystemCopy")->isEnabled());  // nothing selected
  desktop->clipboard = "6 7 8 9 10\n";
  menu = s.CombinationsMenu();
  ASSERT_TRUE(item("SystemPaste")->isEnabled());
  item("SystemPaste")->trigger();
  EXPECT_EQ(s.CombinationsField()->toPlainText(), "06 07 08 09 10");
  EXPECT_EQ(s.NumbersField()->text(), "5");
  item("SystemSelectAll")->trigger();
  menu = s.CombinationsMenu();
  ASSERT_TRUE(item("SystemCopy")->isEnabled());
  item("SystemCopy")->trigger();
  EXPECT_EQ(desktop->clipboard, "06 07 08 09 10");
  const std::string saved = dir.File("saved.txt");
  files = {saved};
  item("SystemSave")->trigger();
  EXPECT_EQ(test::ReadBytes(saved), "06 07 08 09 10\r\n");
  // Load: a cp1251 file with a comment line that the check drops.
  test::WriteBytes(dir.File("in.txt"), "\xcf\xf0\xe8\xec\xe5\xf0\r\n1 2 3 4 5\r\n2 3 4 5 8\r\n");
  files = {dir.File("in.txt")};
  item("SystemLoad")->trigger();
  EXPECT_EQ(s.CombinationsField()->toPlainText(), "01 02 03 04 05\n02 03 04 05 08");
  EXPECT_EQ(s.NumbersField()->text(), "8");
  EXPECT_EQ(s.CountField()->text(), "2");
  // Leaving the text runs the check too.
  s.CombinationsField()->setPlainText("9;8;7;6;5");
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(s.CombinationsField(), &out);
  EXPECT_EQ(s.CombinationsField()->toPlainText(), "09 08 07 06 05");
  // A word that is no number: its box, and the text as it was.
  s.CombinationsField()->setPlainText("1 2 3 4 z");
  EXPECT_FALSE(s.CheckCombinations());
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages.back().second.find("\"z\""), std::string::npos);
  EXPECT_EQ(s.CombinationsField()->toPlainText(), "1 2 3 4 z");
  // OK right after that check refuses without the same box again.
  const size_t boxes = messages.size();
  EXPECT_FALSE(s.Accept());
  EXPECT_EQ(messages.size(), boxes);
  s.CombinationsField()->setPlainText("1 2 3 4 y");
  EXPECT_FALSE(s.Accept());
  EXPECT_EQ(messages.size(), boxes + 1);

  // A list too long to walk at once says so instead of holding the dialog.
  tSystemData huge = d;
  huge.numberCount = 36;
  huge.combinations = Lines(36, 20001);
  ui::TFormSystem big(*window, huge, false);
  EXPECT_NE(big.GuaranteeNote()->text().indexOf("20000"), -1) << big.GuaranteeNote()->text().toStdString();
  huge.combinations = Lines(36, 20);
  ui::TFormSystem fits(*window, huge, false);
  EXPECT_NE(fits.GuaranteeNote()->text().indexOf(U("Гарантия для 36 чисел")), -1);

  // Read-only: no paste or load.
  ui::TFormSystem ro(*window, d, false);
  QMenu* roMenu = ro.CombinationsMenu();
  desktop->clipboard = "1 2 3 4 5";
  roMenu = ro.CombinationsMenu();
  for (QAction* a : roMenu->actions()) {
    if (a->objectName() == "SystemPaste" || a->objectName() == "SystemLoad") {
      EXPECT_FALSE(a->isEnabled());
    }
    if (a->objectName() == "SystemSave") {
      EXPECT_TRUE(a->isEnabled());
    }
  }
}

TEST_F(SystemsPageTest, AnAnswerWithoutAListShowsThePlaceholderThatNoCommandTouches) {
  test::Loopback site;
  site.server.Post(".*", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<html>сервис недоступен</html>", "text/html");
  });
  site.Start();
  IniFile ini;
  ini.WriteString("GLOBAL", "SystemsCatalogue", site.Url());
  ini.Save(Env::Real(), dir.File("Pentalux5_5v36.ini"));
  Open();
  ASSERT_EQ(View().model()->rowCount(), 1);
  EXPECT_EQ(Cell(0, 0), U("Список систем не доступен!"));
  for (int c = 2; c < 11; ++c) EXPECT_EQ(Cell(0, c), "") << c;
  EXPECT_TRUE(View().model()->index(0, 0).data(Qt::DecorationRole).isNull());
  View().selectRow(0);
  EXPECT_FALSE(Enabled("SystemsDownload"));
  EXPECT_FALSE(Enabled("SystemsProp"));
  EXPECT_FALSE(Enabled("SystemsDel"));
  EXPECT_TRUE(Enabled("SystemsRefresh"));
}

TEST_F(SystemsPageTest, AnUnreadableConfigurationLeavesTheListEmptyAndTheStartGoesOn) {
  ASSERT_EQ(Publish(7, 2, "семёрка", other), 1);
  std::filesystem::create_directories(dir.File("Pentalux5_5v36.ini"));
  Open();
  bool shown = false;
  for (const auto& [kind, text] : messages)
    shown = shown || text.rfind("Ошибка загрузки списка систем!", 0) == 0;
  EXPECT_TRUE(shown);
  EXPECT_EQ(View().model()->rowCount(), 0);
  EXPECT_FALSE(Enabled("SystemsDownload"));
  // Readable again: the next refresh lists the catalogue.
  std::filesystem::remove(dir.File("Pentalux5_5v36.ini"));
  ASSERT_TRUE(window->Trigger("SystemsRefresh"));
  EXPECT_EQ(View().model()->rowCount(), 1);
}

TEST_F(SystemsPageTest, TheIdentityDialogDecidesWhatIsOwn) {
  ASSERT_EQ(Publish(7, 2, "семёрка", other), 1);
  Open();
  Select(1);
  EXPECT_FALSE(Enabled("SystemsDel"));
  dialogs.push_back([&](QDialog& d) {
    auto& i = dynamic_cast<ui::IdentityDialog&>(d);
    EXPECT_EQ(i.MailField()->text(), U("ivan@x.ru"));
    i.NameField()->setText(U("Пётр"));
    i.MailField()->setText("not a mail");
    EXPECT_FALSE(i.Accept());
    i.MailField()->setText("PETR@x.ru");
    return i.Accept();
  });
  ASSERT_TRUE(window->Trigger("SystemsIdentity"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].second, "Адрес электронной почты указан неверно!");
  // The letter case of the address does not matter.
  Select(1);
  EXPECT_TRUE(Enabled("SystemsDel"));
  const OnlineIdentity stored = LoadOnlineIdentity(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  EXPECT_EQ(stored.mail, "PETR@x.ru");
  // Survives the window, as the list's column widths and order do: the next start knows it.
  View().setColumnWidth(1, 234);
  View().horizontalHeader()->sectionClicked(7);
  View().horizontalHeader()->sectionClicked(7);
  Close();
  ClearMessages();
  Open();
  Select(1);
  EXPECT_TRUE(Enabled("SystemsDel"));
  EXPECT_EQ(View().columnWidth(1), 234);
  EXPECT_EQ(List().SortColumn(), 7);
  EXPECT_FALSE(List().SortAscending());
  EXPECT_EQ(View().horizontalHeader()->sortIndicatorSection(), 7);
  EXPECT_EQ(View().horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
}

INSTANTIATE_TEST_SUITE_P(, SystemsBothWays, ::testing::Values(Way::Embedded, Way::Http), test::WayName);

}  // namespace
}  // namespace px
