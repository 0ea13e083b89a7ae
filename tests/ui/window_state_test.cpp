// What the window keeps between runs beyond its placement and columns, and
// what a person meets when the data folder or a help page is not there.
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBrowser>

#include "core/ini.h"
#include "frame/messages.h"
#include "support/temp_dir.h"
#include "ui/filter_help.h"
#include "ui/graphs_page.h"
#include "ui/scripted_desktop.h"
#include "ui/stats_page.h"
#include "ui/window_state.h"
#include "window_fixture.h"

namespace px::test {
namespace {

std::string Code(ui::MainWindow& w, int method) { return w.Frame().Registry().CodeOf(method); }

class WindowStateTest : public WindowTest {
 protected:
  IniFile Stored() { return IniFile::Load(Env::Real(), dir.File("Pentalux5_5v36.frm")); }
  void Store(const std::string& text) { test::WriteBytes(dir.File("Pentalux5_5v36.frm"), text); }
};

TEST(PageState, ReadsWhatWasWrittenAndNothingForMissingKeys) {
  IniFile ini;
  EXPECT_EQ(ui::ReadPageState(ini, "TFormMain"), ui::PageState{});
  ui::WritePageState(ini, "TFormMain", ui::PageState{"SUMC", "SUMS", 1, 1});
  EXPECT_EQ(ini.ReadString("TFormMain", "DrawsStatMethod", ""), "SUMC");
  EXPECT_EQ(ini.ReadString("TFormMain", "DrawsGraphMethod", ""), "SUMS");
  EXPECT_EQ(ini.ReadInt("TFormMain", "MainPage", -1), 1);
  EXPECT_EQ(ini.ReadInt("TFormMain", "ListsPage", -1), 1);
  EXPECT_EQ(ui::ReadPageState(ini, "TFormMain"), (ui::PageState{"SUMC", "SUMS", 1, 1}));
  // What is not known is not written over.
  ui::WritePageState(ini, "TFormMain", ui::PageState{"", "", -1, 0});
  EXPECT_EQ(ui::ReadPageState(ini, "TFormMain"), (ui::PageState{"SUMC", "SUMS", 1, 0}));
}

TEST_F(WindowStateTest, MethodsAndPagesComeBackAtTheNextStart) {
  Open();
  ASSERT_TRUE(window->Stats()->SelectMethod("SUMC"));
  ASSERT_TRUE(window->Graphs()->SelectMethod("SUMT"));
  window->MainPages()->setCurrentWidget(window->Graphs());
  window->ListPages()->setCurrentIndex(1);
  const int graphsPage = window->MainPages()->currentIndex();
  Close();
  const ui::PageState stored = ui::ReadPageState(Stored(), "TFormMain");
  EXPECT_EQ(stored, (ui::PageState{"SUMC", "SUMT", graphsPage, 1}));

  Open();
  EXPECT_EQ(Code(*window, window->Stats()->SelectedMethod()), "SUMC");
  EXPECT_EQ(Code(*window, window->Graphs()->SelectedMethod()), "SUMT");
  EXPECT_EQ(window->MainPages()->currentWidget(), window->Graphs());
  EXPECT_EQ(window->ListPages()->currentIndex(), 1);
}

TEST_F(WindowStateTest, AFileWithoutTheKeysStartsAsBefore) {
  Store("[TFormMain]\r\nDownloadDrawsOnStart=2\r\nDrawsStatLen=50\r\n");
  Open();
  EXPECT_EQ(window->Stats()->MethodList()->currentIndex(), 0);
  EXPECT_EQ(window->Graphs()->MethodList()->currentIndex(), 0);
  EXPECT_EQ(window->MainPages()->currentIndex(), 0);
  EXPECT_EQ(window->ListPages()->currentIndex(), 0);
  EXPECT_EQ(window->Stats()->LengthField()->value(), 50);
  EXPECT_TRUE(messages.empty());
}

TEST_F(WindowStateTest, KeysThatNoLongerFitAreLeftAlone) {
  // A method dropped from the favourites, pages out of range, a hidden tab.
  Store("[TFormMain]\r\nDownloadDrawsOnStart=2\r\nDrawsStatMethod=NOSUCH\r\nDrawsGraphMethod=NUMS\r\n"
        "MainPage=1\r\nListsPage=7\r\nTabGraphs=0\r\n");
  Open();
  EXPECT_EQ(window->Stats()->MethodList()->currentIndex(), 0);
  // NUMS draws no graph: the graphs list does not hold it.
  EXPECT_EQ(window->Graphs()->MethodList()->currentIndex(), 0);
  EXPECT_EQ(window->MainPages()->currentIndex(), 0);
  EXPECT_EQ(window->ListPages()->currentIndex(), 0);
  EXPECT_TRUE(messages.empty());
}

TEST_F(WindowStateTest, ASecondCopyOnTheSameFolderShowsOnlyTheExclusiveAccessMessage) {
  Open();
  ui::MainWindow second(Env::Real(), dir.Path(), dir.File("Pentalux5_5v36"), {});
  auto scripted = std::make_unique<ScriptedDesktop>();
  std::vector<std::pair<std::string, std::string>> shown;
  scripted->messageHook = [&](const QString& kind, const QString&, const QString& text) {
    shown.emplace_back(kind.toStdString(), text.toStdString());
    return false;
  };
  second.SetDesktop(std::move(scripted));
  ASSERT_TRUE(second.Create());
  EXPECT_FALSE(second.Initialise());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].first, "error");
  EXPECT_EQ(shown[0].second, kExclusiveAccess);
  // The first copy still holds its stakes.
  EXPECT_TRUE(window->Frame().StakesOpen());
}

TEST_F(WindowStateTest, TheDescriptionCommandSaysSoWithoutHelp) {
  Open();
  ASSERT_TRUE(window->Stats()->SelectMethod("SUMS"));
  std::string text;
  dialogs.push_back([&](QDialog& d) {
    auto* help = dynamic_cast<ui::FilterHelp*>(&d);
    if (help) text = help->Browser()->toPlainText().toStdString();
    return false;
  });
  window->UpdateActions();
  ASSERT_TRUE(window->Trigger("FiltersInfo"));
  EXPECT_NE(text.find("Описание метода недоступно: файл справки программы не найден."), std::string::npos) << text;
  EXPECT_NE(text.find("Сумма тиража: все значения"), std::string::npos) << text;
}

}  // namespace
}  // namespace px::test
