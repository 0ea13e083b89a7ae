#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>

#include <QMenuBar>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/form_settings.h"
#include "core/text.h"
#include "frame/actions.h"
#include "stakes/stake_store.h"
#include "stats/stat_table.h"
#include "support/recording_host.h"
#include "core/ini.h"
#include "ui/dialogs.h"
#include "ui/list_models.h"
#include "ui/ratings_page.h"
#include "ui/scenario_page.h"
#include "ui/settings_dialogs.h"
#include "ui/stakes_page.h"
#include "ui/stats_page.h"
#include "window_fixture.h"
#include "ui/systems_page.h"

namespace px::test {
namespace {

// Answers a draw dialog with these numbers.
std::function<bool(QDialog&)> Numbers(const std::string& text) {
  return [text](QDialog& d) {
    auto& draw = dynamic_cast<ui::DrawDialog&>(d);
    draw.NumbersField()->setText(QString::fromStdString(text));
    return draw.Accept();
  };
}

void SelectRow(QTableView* view, int row) {
  view->clearSelection();
  view->selectionModel()->select(view->model()->index(row, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

TEST_F(WindowTest, EveryCommandOfTheTableIsBoundByItsPageOrMarkedForALaterOne) {
  Open();
  int later = 0;
  for (const ActionInfo& info : ActionTable()) {
    const bool bound = window->Commands().IsBound(info.name);
    if (info.later) {
      ++later;
      EXPECT_FALSE(bound) << info.name << " is bound now: its mark for a later page must go";
    } else {
      EXPECT_TRUE(bound) << info.name << " has no binding: its menu item would stay grey";
    }
  }
  EXPECT_GT(later, 0);
  // A misspelt or repeated binding fails when the window is built.
  ui::CommandBinder binder(window->Frame(), nullptr);
  for (const auto& [name, action] : window->Commands().Actions()) binder.AddAction(name, action);
  EXPECT_THROW(binder.Bind("DrawsAd", [] {}), std::logic_error);
  binder.Bind("DrawsAdd", [] {});
  EXPECT_THROW(binder.Bind("DrawsAdd", [] {}), std::logic_error);
}

TEST_F(WindowTest, FirstStartShowsDefaultsAndWritesItsSettings) {
  Open();
  // The only thing a first start asks is whether to download new draws (answered no).
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, "question");
  EXPECT_EQ(messages[0].second.rfind("Обновить список тиражей?", 0), 0u);
  EXPECT_EQ(Panel(0), "Архив тиражей: 0");
  EXPECT_EQ(Panel(1), "Следующий тираж: 1");
  EXPECT_EQ(Panel(3), "Комбинаций: 376992");
  EXPECT_EQ(window->CombsView()->model()->rowCount(), 376992);
  EXPECT_EQ(window->windowTitle().toStdString(), "Анализ статистики лотереи \"Vantora 5\" версия 1.0.0");
  EXPECT_EQ(window->Frame().Settings().DrawsStatLen, 1000);
  EXPECT_TRUE(window->Action("ViewColorDraws")->isChecked());
  EXPECT_FALSE(window->Action("DrawsSorted")->isChecked());
  EXPECT_FALSE(window->Action("DrawsEdit")->isEnabled());  // nothing selected
  EXPECT_FALSE(window->Action("ScriptRun")->isEnabled());  // not built yet
  IniFile frm = IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  EXPECT_EQ(frm.ReadString("TFormMain", "PrefetchsInit", ""), "1");

  // Closing writes the window state; the next start restores it.
  window->findChild<QSplitter*>()->setSizes({400, 600});
  window->DrawsView()->setColumnWidth(0, 77);
  window->ExcludeField()->setValue(4);
  Close();
  frm = IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  EXPECT_EQ(frm.ReadString("TFormMain", "lvDraws.Column0", ""), "77");
  EXPECT_EQ(frm.ReadString("TFormMain", "LeftPanelWidth", ""), "400");
  EXPECT_EQ(frm.ReadString("TFormMain", "DrawsExclude", ""), "4");
  EXPECT_FALSE(frm.ReadString("TFormMain", "NormPos", "").empty());
  Open();
  EXPECT_EQ(window->DrawsView()->columnWidth(0), 77);
  EXPECT_EQ(window->ExcludeField()->value(), 4);
  EXPECT_EQ(window->Frame().Settings().LeftPanelWidth, 400);
}

TEST_F(WindowTest, EveryListKeepsItsColumnsAndTheStatisticsTableItsOrder) {
  Open();
  ASSERT_NE(window->Script(), nullptr);
  window->Ratings()->Table()->setColumnWidth(0, 333);
  window->Script()->Table()->setColumnWidth(1, 211);
  window->Stats()->Table()->sortByColumn(kColDepth, Qt::DescendingOrder);
  Close();
  IniFile frm = IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  EXPECT_EQ(frm.ReadString("TFormMain", "lvRatings.Column0", ""), "333");
  EXPECT_EQ(frm.ReadString("TFormMain", "lvScript.Column1", ""), "211");
  EXPECT_EQ(frm.ReadString("TFormMain", "lvDrawsStat.SortType", ""), Fmt("%d,1", kColDepth));
  Open();
  EXPECT_EQ(window->Ratings()->Table()->columnWidth(0), 333);
  EXPECT_EQ(window->Script()->Table()->columnWidth(1), 211);
  EXPECT_EQ(window->Stats()->Table()->horizontalHeader()->sortIndicatorSection(), kColDepth);
  EXPECT_EQ(window->Stats()->Table()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
}

TEST_F(WindowTest, TheSystemsMenuIsShownAndTheTabAndTheGameFollowTheirSwitch) {
  Open();
  int tab = -1;
  for (int i = 0; i < window->MainPages()->count(); ++i)
    if (window->MainPages()->tabText(i) == QString::fromUtf8("Системы")) tab = i;
  ASSERT_GE(tab, 0);
  EXPECT_EQ(window->MainPages()->widget(tab), static_cast<QWidget*>(window->SystemsTab()));
  ASSERT_TRUE(window->Frame().Settings().SystemsEnabled);  // on by default
  EXPECT_TRUE(window->MainPages()->isTabVisible(tab));
  EXPECT_TRUE(window->Action("SystemStakeFilter")->isVisible());
  EXPECT_TRUE(window->Action("SystemStakeAll")->isVisible());
  int menus = 0;
  for (QAction* top : window->menuBar()->actions()) {
    EXPECT_TRUE(top->isVisible()) << top->text().toStdString();
    if (QString(top->text()).remove('&') == QString::fromUtf8("Системы")) ++menus;
  }
  EXPECT_EQ(menus, 1);
  // Off: the tab and the two game commands go, the menu stays; on again,
  // the tab comes to the front.
  ASSERT_TRUE(window->Trigger("SystemsOn"));
  EXPECT_FALSE(window->Frame().Settings().SystemsEnabled);
  EXPECT_FALSE(window->MainPages()->isTabVisible(tab));
  EXPECT_FALSE(window->Action("SystemStakeFilter")->isVisible());
  EXPECT_FALSE(window->Action("SystemStakeAll")->isVisible());
  EXPECT_FALSE(window->Action("SystemStakeAll")->isEnabled());
  EXPECT_EQ(IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm")).ReadString("TFormMain", "SystemsEnabled", ""), "0");
  ASSERT_TRUE(window->Trigger("SystemsOn"));
  EXPECT_TRUE(window->MainPages()->isTabVisible(tab));
  EXPECT_EQ(window->MainPages()->currentIndex(), tab);
  EXPECT_TRUE(window->Action("SystemStakeAll")->isVisible());
}

TEST_F(WindowTest, AnOutdatedStakesFileIsWarnedAboutUnderItsCaption) {
  WriteBytes(dir.File("Pentalux5_5v36.lsk"), std::string(330, '\2'));
  Open();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages[0], (std::pair<std::string, std::string>{
                             "warning", "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!"}));
  EXPECT_EQ(captions[0], "Предупреждение");
}

TEST_F(WindowTest, TheStakesViewStartsWithoutMovingToTheLastStake) {
  {
    RecordingHost host;
    StakeStore store(Env::Real(), host, dir.Path());
    ASSERT_TRUE(store.Load());
    for (int32_t draw : {5, 6, 7})
      ASSERT_TRUE(store.Append(MakeStake(StakeKind::Manual, draw, ToNumberSet(Combination{1, 2, 3, 4, 5}), 0, "t",
                                         TConfigData{}),
                               1));
  }
  Open();
  EXPECT_EQ(Panel(4), "Ставок: 3");
  EXPECT_EQ(window->Stakes()->Table()->model()->rowCount(), 3);
  EXPECT_FALSE(window->Stakes()->Table()->selectionModel()->hasSelection());
}

TEST_F(WindowTest, RestartSavesTheWindowAndReleasesTheStakesFileBeforeItEnds) {
  // The program file is a script that notes how it was started.
  const std::string started = dir.File("started.txt");
  WriteBytes(dir.File("Pentalux5_5v36"), "#!/bin/sh\necho \"$@\" > \"" + started + ".part\"\nmv \"" + started +
                                             ".part\" \"" + started + "\"\n");
  std::filesystem::permissions(dir.File("Pentalux5_5v36"), std::filesystem::perms::owner_all);
  Open();
  window->DrawsView()->setColumnWidth(0, 91);
  window->Frame().RestartProgram();
  IniFile frm = IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm"));
  EXPECT_EQ(frm.ReadString("TFormMain", "lvDraws.Column0", ""), "91");
  EXPECT_FALSE(window->Frame().StakesOpen());
  EXPECT_FALSE(window->isVisible());
  {
    RecordingHost host;
    StakeStore next(Env::Real(), host, dir.Path());
    EXPECT_TRUE(next.Load()) << (host.errors.empty() ? "" : host.errors[0]);
  }
  for (int i = 0; i < 100 && !Env::Real().Exists(started); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(Env::Real().Exists(started));
  EXPECT_EQ(ReadBytes(started), "restart\n");
}

TEST_F(WindowTest, DrawsAddEditDeleteAndOffset) {
  Open();
  dialogs.push_back(Numbers("1;2;3;4;5"));
  ASSERT_TRUE(window->Trigger("DrawsAdd"));
  dialogs.push_back(Numbers("1;2;3;4"));  // refused: the dialog stays, nothing added
  EXPECT_TRUE(window->Trigger("DrawsAdd"));
  EXPECT_EQ(messages.back(), (std::pair<std::string, std::string>{"error", "Введена некорректная комбинация!"}));
  dialogs.push_back(Numbers("7,8,9,10,11"));
  ASSERT_TRUE(window->Trigger("DrawsAdd"));
  EXPECT_EQ(window->DrawsView()->model()->rowCount(), 2);
  EXPECT_EQ(Panel(0), "Архив тиражей: 2");
  EXPECT_EQ(Panel(1), "Следующий тираж: 3");
  DrawArchive file;
  file.Load(Env::Real(), window->Frame().ArchiveFile());
  ASSERT_EQ(file.Count(), 2);
  EXPECT_EQ(file.At(1).numbers, (Combination{7, 8, 9, 10, 11}));

  // The offset moves the highlighted row and the panels.
  window->OffsetField()->setValue(1);
  EXPECT_EQ(Panel(1), "Следующий тираж: 2");
  EXPECT_EQ(Panel(2), "7;8;9;10;11");
  EXPECT_EQ(window->DrawsView()->model()->index(1, 0).data(Qt::BackgroundRole).value<QColor>(),
            QColor(0xFF, 0xAA, 0xAA));
  window->OffsetField()->setValue(0);
  EXPECT_EQ(Panel(2), "");

  SelectRow(window->DrawsView(), 0);  // the newest draw
  dialogs.push_back(Numbers("20;21;22;23;24"));
  ASSERT_TRUE(window->Trigger("DrawsEdit"));
  EXPECT_EQ(window->DrawsView()->model()->index(0, 1).data().toString().toStdString(), "20");

  SelectRow(window->DrawsView(), 1);
  answers.push_back(false);
  ASSERT_TRUE(window->Trigger("DrawsDel"));
  EXPECT_EQ(messages.back(), (std::pair<std::string, std::string>{"question", "Удалить выделенную запись?"}));
  EXPECT_EQ(window->Frame().Archive().Count(), 2);
  SelectRow(window->DrawsView(), 1);
  answers.push_back(true);
  ASSERT_TRUE(window->Trigger("DrawsDel"));
  file.Load(Env::Real(), window->Frame().ArchiveFile());
  ASSERT_EQ(file.Count(), 1);
  EXPECT_EQ(file.At(0).numbers, (Combination{20, 21, 22, 23, 24}));
  EXPECT_EQ(Panel(0), "Архив тиражей: 1");
  EXPECT_EQ(window->OffsetField()->maximum(), 0);
}

TEST_F(WindowTest, CombinationsGenerateCopyPasteDeleteUndo) {
  Open();
  dialogs.push_back([](QDialog& d) {
    auto& g = dynamic_cast<ui::GenerateDialog&>(d);
    EXPECT_FALSE(g.ParameterField()->isEnabled());
    g.ModeList()->setCurrentIndex(1);
    EXPECT_TRUE(g.ParameterField()->isEnabled());
    g.ParameterField()->setText("7");
    return true;
  });
  ASSERT_TRUE(window->Trigger("CombsGen"));
  EXPECT_EQ(Panel(3), "Комбинаций: 52360");

  QTableView* combs = window->CombsView();
  combs->selectionModel()->select(QItemSelection(combs->model()->index(0, 0), combs->model()->index(2, 6)),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  ASSERT_TRUE(window->Trigger("CombsCopy"));
  const std::string copied = desktop->clipboard;
  EXPECT_EQ(copied.substr(0, 16), "01 02 03 04 07\r\n");
  ASSERT_TRUE(window->Trigger("CombsPaste"));
  EXPECT_EQ(Panel(3), "Комбинаций: 3");
  combs->selectAll();
  ASSERT_TRUE(window->Trigger("CombsCopy"));
  EXPECT_EQ(desktop->clipboard, copied);

  // Damaged lines are skipped with a warning box; none valid keeps the list.
  desktop->clipboard = "40 41 42 43 44\r\n" + copied;
  messages.clear();
  ASSERT_TRUE(window->Trigger("CombsPaste"));
  EXPECT_EQ(Panel(3), "Комбинаций: 3");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].first, "warning");
  EXPECT_EQ(messages[0].second, "Пропущено строк, которые не являются комбинациями: 1");
  desktop->clipboard = "0 0 0 0 0\r\n7 7 8 9 10\r\n";
  ASSERT_TRUE(window->Trigger("CombsPaste"));
  EXPECT_EQ(Panel(3), "Комбинаций: 3");
  desktop->clipboard = copied;

  // The list as shown goes to a workbook.
  files.push_back(dir.File("combs.xlsx"));
  ASSERT_TRUE(window->Trigger("CombsXlsExport"));
  const std::string book = ReadBytes(dir.File("combs.xlsx"));
  EXPECT_EQ(book.substr(0, 2), "PK");

  SelectRow(combs, 1);
  ASSERT_TRUE(window->Trigger("CombsDelSelected"));
  EXPECT_EQ(Panel(3), "Комбинаций: 2");
  EXPECT_EQ(window->FiltersView()->model()->rowCount(), 1);
  ASSERT_TRUE(window->Trigger("CombsUndo"));
  EXPECT_EQ(Panel(3), "Комбинаций: 3");
  EXPECT_EQ(window->FiltersView()->model()->rowCount(), 0);
  EXPECT_FALSE(window->Action("CombsUndo")->isEnabled());
}

TEST_F(WindowTest, EnterInTheExcludeFieldAndTheFirstRunDialog) {
  FormSettings(Env::Real(), dir.File("Pentalux5_5v36.frm")).WriteBool("TFormMain", "FirstRun", true);
  dialogs.push_back([](QDialog& d) {
    EXPECT_EQ(d.windowTitle().toStdString(), "Справочная информация");
    d.findChild<QCheckBox*>("cbFirstRunNever")->setChecked(true);
    return true;
  });
  Open();
  EXPECT_FALSE(window->Frame().Settings().FirstRun);
  EXPECT_EQ(IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm")).ReadString("TFormMain", "FirstRun", ""), "0");

  dialogs.push_back(Numbers("1;2;3;4;5"));
  ASSERT_TRUE(window->Trigger("DrawsAdd"));
  window->ExcludeField()->setValue(1);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(window->ExcludeField(), &enter);
  EXPECT_EQ(Panel(3), "Комбинаций: 376991");
  EXPECT_TRUE(window->Action("CombsUndo")->isEnabled());
}

TEST_F(WindowTest, SettingsDialogSavesAndRecolours) {
  Open();
  dialogs.push_back([](QDialog& d) {
    auto& s = dynamic_cast<ui::SettingsDialog&>(d);
    s.ChannelSizeField()->setValue(12);
    s.StakeMaxLenField()->setValue(8);
    return true;
  });
  ASSERT_TRUE(window->Trigger("EditConfig"));
  GameConfig saved;
  LoadGameConfig(Env::Real(), window->Frame().ConfigFile(), saved);
  EXPECT_EQ(saved.data.ChannelSize, 12);
  EXPECT_EQ(saved.data.MaxStake, 8);
  EXPECT_EQ(saved.data.Profits.size(), 6u);
  // Channel colours follow the new width at once: 13 is now in channel 2.
  EXPECT_EQ(ui::ChannelQColor(13, window->Frame().Config().data.ChannelSize), QColor(0xFF, 0xFF, 0xAA));

  dialogs.push_back([](QDialog& d) {
    dynamic_cast<ui::ShreddingDialog&>(d).FormulaField(0)->setText("n1+n2");
    return true;
  });
  ASSERT_TRUE(window->Trigger("EditShredding"));
  LoadGameConfig(Env::Real(), window->Frame().ConfigFile(), saved);
  EXPECT_EQ(saved.Formula[0], "n1+n2");
}

TEST_F(WindowTest, ScenarioAndRatingPagesAreLive) {
  Open();
  ASSERT_NE(window->Script(), nullptr);
  ASSERT_NE(window->Ratings(), nullptr);
  EXPECT_TRUE(window->Action("ScriptAdd")->isEnabled());
  EXPECT_FALSE(window->Action("ScriptSave")->isEnabled());  // nothing to save yet
  EXPECT_FALSE(window->Action("RatingsXlsExport")->isEnabled());
  window->Frame().ScenarioStore()->Add("CURR#NONE#clr");
  window->UpdateActions();
  EXPECT_TRUE(window->Action("ScriptSave")->isEnabled());
  window->Frame().RatingsStore()->SetSortOrder(RatingSort{0, false});
  Close();
  EXPECT_EQ(IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm")).ReadString("TFormMain", "lvRatings.SortType", ""),
            "0,0");
  Open();  // the working scenario and the rating's order are kept
  EXPECT_EQ(window->Frame().ScenarioStore()->Count(), 1);
  EXPECT_EQ(window->Frame().RatingsStore()->SortOrder().column, 0);
  EXPECT_FALSE(window->Frame().RatingsStore()->SortOrder().descending);
}

TEST_F(WindowTest, SwitchesEndWithoutTheWindow) {
  Make({"--fullrecreate"});
  ASSERT_TRUE(window->Create());
  EXPECT_FALSE(window->Initialise());
  EXPECT_TRUE(Env::Real().Exists(dir.File("Prefetchs/Pentalux5_5v36_SUMS.dfc")));
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace px::test
