// The commands of the group "Расширенная статистика": the repeats window
// (AnalyzeRepeats) and the chart of the sum distributions (TotalSumCombs).
// Both open modal windows over the whole archive through the desktop.
#pragma once

#include "views/sums.h"

namespace px::ui {

class CommandBinder;
class GraphWindow;
class MainWindow;

void BindExtendedStats(CommandBinder& commands, MainWindow& window);

// The sum distributions as the chart shows them: the archive's line with
// its points and values, then per sum the theory and the three levels.
void FillSumsChart(GraphWindow& graph, const SumsTables& sums);

}  // namespace px::ui
