#include "views/graphs.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "core/archive.h"
#include "stats/stat_list.h"

namespace px {

GraphSeries ComputeGraphs(const TStatList& registry, int method, const DrawArchive& archive, int offset, int length,
                          bool sorted) {
  if (method < 0 || method >= registry.Count() || !registry.IsGraph(method))
    throw std::invalid_argument("not a graph method");
  std::unique_ptr<TCustomStat> stat = registry.CreateInstance(method);
  auto* graph = dynamic_cast<TCustomGraphStat*>(stat.get());
  if (!graph) throw std::invalid_argument("not a graph method");

  GraphSeries out;
  out.last = archive.ReferenceIndex(offset);
  // 64 bits: a length near the int limit must not wrap.
  out.first = int(std::max<int64_t>(0, int64_t(out.last) - std::max(length, 0) + 1));
  if (out.first > out.last) return out;

  // Values in order of first appearance, so a tie goes to the earliest.
  std::vector<std::pair<int32_t, int>> counts;
  int64_t sum = 0;
  out.values.reserve(size_t(out.last - out.first + 1));
  for (int i = out.first; i <= out.last; ++i) {
    const int32_t v = graph->GraphValueOfDraw(i, out.last, sorted);
    out.values.emplace_back(archive.At(i).number, double(v));
    auto it = std::find_if(counts.begin(), counts.end(), [v](const auto& c) { return c.first == v; });
    if (it == counts.end())
      counts.emplace_back(v, 1);
    else
      ++it->second;
    sum += v;
  }
  const auto best = std::max_element(counts.begin(), counts.end(),
                                     [](const auto& a, const auto& b) { return a.second < b.second; });
  out.mode = best->first;
  out.average = double(sum) / double(out.last - out.first + 1);
  return out;
}

}  // namespace px
