#include "stats/stat_list.h"

#include <algorithm>
#include <unordered_map>

#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/ini.h"
#include "core/text.h"
#include "stats/families/families.h"

namespace px {

const std::vector<std::string_view>& RegistryOrder() {
  static const std::vector<std::string_view> order = {
      "TstValues", "TstDigits", "TstEvenCount", "TstEvenValues", "TstSmallCount", "TstSmallValues", "TstPrimeCount",
      "TstPrimeValues", "TstSumValues", "TstSumRanges", "TstSumChange", "TstSumChangeSome", "TstSumTrend",
      "TstSumEvenValues", "TstSumPrimeValues", "TstSum2To3", "TstDiffTotal", "TstDiffMax", "TstMinMaxDiffs",
      "TstDiffSame", "TstDiffSameCnt", "TstChannels", "TstChanValues", "TstChanCount", "TstColumns", "TstRows",
      "TstColValues", "TstRowValues", "TstColCount", "TstRowCount", "TstColMask", "TstRowMask", "TstColAjacent",
      "TstRowAjacent", "TstColAjacentCnt", "TstRowAjacentCnt", "TstSegments", "TstSegmValues", "TstSegmCount",
      "TstSequenceLen", "TstSequenceCnt", "TstSequenceLenMax", "TstRepValues2", "TstRepValues3", "TstRepValues2B3",
      "TstRepValues2over1", "TstRepValues2over2", "TstRepValues2over3", "TstRepValues2P1", "TstRepValues2N1",
      "TstRepValues2P2", "TstRepValues2N2", "TstRepCount2", "TstRepCount3", "TstRepCount2B3", "TstRepCount2over1",
      "TstRepCount2over2", "TstRepCount2over3", "TstRepCount2P1", "TstRepCount2N1", "TstRepCount2P2",
      "TstRepCount2N2", "TstCombValMix2", "TstCombValMix3", "TstCombValMix4", "TstCombValSeq2", "TstCombValSeq3",
      "TstCombValSeq4", "TstCombValPos2", "TstCombValPos3", "TstCombValPos4", "TstCombValSort2", "TstCombValSort3",
      "TstCombValSort4", "TstCombDiffSeq2", "TstCombDiffSeq3", "TstCombDiffSeq4", "TstCombChnMix2",
      "TstCombChnMix3", "TstCombChnMix4", "TstCombChnSeq2", "TstCombChnSeq3", "TstCombChnSeq4", "TstCombColMix2",
      "TstCombColMix3", "TstCombColMix4", "TstCombColSeq2", "TstCombColSeq3", "TstCombColSeq4", "TstCombRowMix2",
      "TstCombRowMix3", "TstCombRowMix4", "TstCombRowSeq2", "TstCombRowSeq3", "TstCombRowSeq4", "TstCombSegmMix2",
      "TstCombSegmMix3", "TstCombSegmMix4", "TstCombSegmSeq2", "TstCombSegmSeq3", "TstCombSegmSeq4", "TstPosVal",
      "TstPosExt", "TstChnValCnt", "TstColValCnt", "TstRowValCnt", "TstSgmValCnt", "TstNumGroups", "TstNumPauses",
      "TstChnGroups", "TstChnPauses", "TstSgmGroups", "TstSgmPauses", "TstNumPeriods", "TstChnPeriods",
      "TstSgmPeriods", "TstChain2DrawsAll", "TstChain2DrawsPos", "TstChain2Pos", "TstChain3DrawsPos",
      "TstChain3Pos", "TstChain2ChannelsAll", "TstChain2ChannelsPos", "TstChain2Channel", "TstChain3ChannelsPos",
      "TstChain3Channel", "TstChain2CnlCnt", "TstChain3CnlCnt", "TstChainChannels2InsideAll",
      "TstChainChannels2InsideSuc", "TstChainChannels2InsideBad", "TstChainChannels2InsideCnt",
      "TstChain2SegmentsAll", "TstChain2SegmentsPos", "TstChain2Segment", "TstChain3SegmentsPos", "TstChain3Segment",
      "TstChain2SgmCnt", "TstChain3SgmCnt", "TstVelmar1", "TstVelmar2", "TstVelmar3", "TstShreddingStat"};
  return order;
}

const StatClassInfo* FindStatClass(std::string_view className) {
  static const std::unordered_map<std::string_view, const StatClassInfo*> classes = [] {
    StatClassTable table;
    RegisterAllFamilies(table);
    std::unordered_map<std::string_view, const StatClassInfo*> map;
    for (const StatClassInfo* c : table) map.emplace(c->className, c);
    return map;
  }();
  auto it = classes.find(className);
  return it == classes.end() ? nullptr : it->second;
}

TStatList::TStatList() = default;

void TStatList::Fill() {
  Ordered = false;
  ShowGroupName = true;
  ShowMethodFlags = true;
  AllEnabled = true;
  methods_.clear();
  for (std::string_view name : RegistryOrder()) {
    const StatClassInfo* cls = FindStatClass(name);
    if (!cls || !cls->available) continue;
    auto add = [&](int index) {
      TStatMethod m;
      m.cls = cls;
      m.index = index;
      m.code = cls->CodeOf(index);
      if (cls->group == 12 && index >= 1 && index <= 3) m.formula = config_.Formula[size_t(index - 1)];
      methods_.push_back(std::move(m));
    };
    if (cls->indexed) {
      auto [lo, hi] = cls->IndexRange(config_);
      for (int i = lo; i <= hi; ++i) add(i);
    } else {
      add(0);
    }
  }
}

std::string TStatList::MethodTitle(const TStatMethod& m) const {
  std::string title = m.customName.empty() ? m.cls->TitleOf(m.index) : m.customName;
  if (m.cls->group == 12) {
    size_t at = title.find("%s");
    if (at != std::string::npos) title.replace(at, 2, m.formula);
  }
  return title;
}

std::string TStatList::DisplayName(int i, bool withFeatures) const {
  const TStatMethod& m = Method(i);
  std::string name = MethodTitle(m);
  if (ShowGroupName) name = Fmt("{ %s } %s", GroupLabel(m.cls->group), name.c_str());
  if (withFeatures && ShowMethodFlags) {
    static const char* const kLetters[] = {"S", "N", "D", "P", "G"};
    std::string letters;
    const uint8_t f = m.cls->DisplayFeatures();
    for (int bit = 0; bit < 5; ++bit)
      if (f & (1 << bit)) letters += kLetters[bit];
    if (!letters.empty()) name = Fmt("%s [ %s ]", name.c_str(), letters.c_str());
  }
  return name;
}

int TStatList::FindByCode(std::string_view code) const {
  for (int i = 0; i < Count(); ++i) {
    const TStatMethod& m = Method(i);
    if (m.code.empty() ? SameText(m.cls->CodeOf(m.index), code) : SameText(m.code, code)) return i;
  }
  return -1;
}

std::unique_ptr<TCustomStat> TStatList::CreateInstance(int i) const {
  const TStatMethod& m = Method(i);
  return m.cls->create(*this, m.index);
}

void TStatList::EnableAll() {
  AllEnabled = true;
  for (auto& m : methods_) m.enabled = true;
}

void TStatList::NormalizeEnabled() {
  AllEnabled = true;
  bool allSame = std::all_of(methods_.begin(), methods_.end(),
                             [&](const TStatMethod& m) { return m.enabled == methods_.front().enabled; });
  if (!allSame) {
    AllEnabled = false;
  } else if (!methods_.empty() && !methods_.front().enabled) {
    for (auto& m : methods_) m.enabled = true;
  }
}

std::string TStatList::FavoritesText() const {
  if (AllEnabled) return {};
  std::string text;
  for (int i = 0; i < Count(); ++i)
    if (Method(i).enabled) {
      if (!text.empty()) text += ",";
      text += CodeOf(i);
    }
  return text;
}

void TStatList::ApplyFavorites(std::string_view text) {
  if (TrimView(text).empty()) {
    EnableAll();
    return;
  }
  AllEnabled = false;
  auto words = SplitAny(text, ",", false);
  for (int i = 0; i < Count(); ++i) {
    const std::string code = CodeOf(i);
    Method(i).enabled = std::any_of(words.begin(), words.end(), [&](const std::string& w) { return SameText(w, code); });
  }
}

bool TStatList::LoadNames(Env& env, const std::string& path, bool withOptions, Host* host) {
  try {
    IniFile ini = IniFile::Load(env, path);
    if (withOptions) {
      ApplyFavorites(ini.ReadString("FILTERS", "Favorites", FavoritesText()));
      Ordered = ini.ReadBool("FILTERS", "Ordered", Ordered);
      ShowGroupName = ini.ReadBool("FILTERS", "ShowGroupName", ShowGroupName);
      ShowMethodFlags = ini.ReadBool("FILTERS", "ShowMethodFlags", ShowMethodFlags);
    }
    const std::string section = NamesSection();
    for (int i = 0; i < Count(); ++i) Method(i).customName = Trim(ini.ReadString(section, CodeOf(i), ""));
    return true;
  } catch (const std::exception& e) {
    if (host) host->ShowError(OperationError("Ошибка загрузки списка фильтров!", e.what()).what());
    return false;
  }
}

bool TStatList::SaveNames(Env& env, const std::string& path, bool withOptions, bool allNames, Host* host) const {
  try {
    IniFile ini = IniFile::Load(env, path);
    if (withOptions) {
      ini.WriteString("FILTERS", "Favorites", FavoritesText());
      ini.WriteBool("FILTERS", "Ordered", Ordered);
      ini.WriteBool("FILTERS", "ShowGroupName", ShowGroupName);
      ini.WriteBool("FILTERS", "ShowMethodFlags", ShowMethodFlags);
    }
    const std::string section = NamesSection();
    ini.EraseSection(section);
    for (int i = 0; i < Count(); ++i) {
      const TStatMethod& m = Method(i);
      if (allNames)
        ini.WriteString(section, CodeOf(i), m.customName.empty() ? m.cls->TitleOf(m.index) : m.customName);
      else if (!m.customName.empty())
        ini.WriteString(section, CodeOf(i), m.customName);
    }
    ini.Save(env, path);
    return true;
  } catch (const std::exception& e) {
    if (host) host->ShowError(OperationError("Ошибка сохранения списка фильтров!", e.what()).what());
    return false;
  }
}

std::string TStatList::HelpTopic(int i) const {
  if (helpFile.empty() || !Env::Real().Exists(helpFile)) return {};
  const TStatMethod& m = Method(i);
  return "ms-its:" + helpFile + Fmt("::/Filters_%.4d_%s.htm", 1049, m.cls->HelpCode(m.index).c_str());
}

std::vector<MethodListItem> MethodList(const TStatList& registry, bool graphsOnly, bool includeDisabled) {
  std::vector<MethodListItem> items;
  for (int i = 0; i < registry.Count(); ++i) {
    if (!registry.IsAvailable(i) || !registry.IsListed(i)) continue;
    if (!includeDisabled && !registry.IsEnabled(i)) continue;
    if (graphsOnly && !registry.IsGraph(i)) continue;
    items.push_back(MethodListItem{i, registry.DisplayName(i, true)});
  }
  if (registry.Ordered)
    std::stable_sort(items.begin(), items.end(),
                     [](const MethodListItem& a, const MethodListItem& b) { return CompareText(a.text, b.text) < 0; });
  return items;
}

std::string NamesFilePath(const std::string& dataDir, const std::string& programName) {
  return JoinPath(dataDir, programName + ".flt");
}

}  // namespace px
