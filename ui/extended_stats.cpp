#include "ui/extended_stats.h"

#include <QChart>
#include <QColor>
#include <QLegend>

#include "core/host.h"
#include "frame/actions.h"
#include "frame/frame.h"
#include "ui/commands.h"
#include "ui/graph_window.h"
#include "ui/main_window.h"
#include "ui/repeats_window.h"

namespace px::ui {

namespace {

QColor Colour(uint32_t rgb) { return QColor(int(rgb >> 16 & 0xFF), int(rgb >> 8 & 0xFF), int(rgb & 0xFF)); }
QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void FillSumsChart(GraphWindow& graph, const SumsTables& t) {
  // The level titles carry the ranges, and five titles do not fit the
  // legend's row: a cut one shows in full under the pointer.
  graph.Chart()->legend()->setShowToolTips(true);
  const QString actual = QString::fromUtf8(kActualSumsTitle), theory = QString::fromUtf8(kTheorySumsTitle);
  for (const SumCount& s : t.actual) graph.AddPoint(s.sum, actual, s.count, true, true, Colour(kActualSumsColour));
  QString levels[3];
  for (int j = 0; j < 3; ++j) levels[j] = Q(SumLevelTitle(j, t.levels[size_t(j)]));
  for (const SumCount& s : t.theory) {
    graph.AddPoint(s.sum, theory, t.Scaled(s.count), false, false, Colour(kTheorySumsColour));
    for (int j = 0; j < 3; ++j)
      graph.AddPoint(s.sum, levels[j], t.Scaled(t.levels[size_t(j)].level), false, false,
                     Colour(kSumLevelColours[size_t(j)]));
  }
}

void BindExtendedStats(CommandBinder& c, MainWindow& w) {
  TFormMain& f = w.Frame();
  c.Bind("AnalyzeRepeats", [&w, &f] {
    RepeatsWindow window(f, &w);
    window.RefreshAnalyze();
    w.RunDialog(window);
  }, [&f] { return !f.Archive().Empty(); });

  c.Bind("TotalSumCombs", [&w, &f] {
    GraphWindow graph(QString::fromUtf8(FindAction("TotalSumCombs")->caption), f.SettingsStore(), &w);
    {
      TTemplateMain::Busy busy(f);
      SumsTables sums;
      {
        StatusScope status(f.GetHost(), "Идет сбор статистики....");
        sums = ComputeSums(f.Archive());
      }
      FillSumsChart(graph, sums);
    }
    w.RunDialog(graph);
  });
}

}  // namespace px::ui
