#include "frame/system_game.h"

#include <algorithm>
#include <unordered_set>

#include "core/text.h"
#include "frame/frame.h"
#include "stakes/stake_store.h"
#include "stakes/systems.h"

namespace px {

namespace {

uint64_t Key(const Combination& c) {
  uint64_t v = 0;
  for (uint8_t x : c) v = v << 8 | x;
  return v;
}

}  // namespace

std::optional<SystemGameDraft> PrepareSystemGame(TTemplateMain& frame, bool all) {
  std::vector<int> numbers;
  {
    TTemplateMain::Busy busy(frame);
    StatusScope status(frame.GetHost(), "Подождите пожалуйста...");
    const CombBuffer& list = frame.Combs().Working();
    numbers = DistinctInOrder(list.Data(), size_t(list.Count()));
  }
  SystemStore* store = frame.Systems();
  const SystemLoad load = store ? store->LoadSystemFor(numbers) : MissingSystem(frame.GetHost(), int(numbers.size()));
  if (!load.ok) return std::nullopt;
  SystemGameDraft draft;
  draft.all = all;
  draft.k = int(numbers.size());
  draft.combinations = load.combinations;
  draft.file = load.text;
  draft.drawNumber = std::max(frame.Archive().NextDrawNumber(std::max(frame.DrawsOffset(), 0)), 1);
  draft.comment = Fmt(all ? "Системная игра для %d чисел [вся система]: %s" : "Системная игра для %d чисел [комбинации]: %s",
                      draft.k, SystemFileStem(draft.file).c_str());
  return draft;
}

SystemGameResult PlaySystemGame(TTemplateMain& frame, const SystemGameDraft& draft, int32_t drawNumber,
                                int drawCount, const std::string& comment, const std::function<void()>& appended) {
  SystemGameResult result;
  StakeStore* stakes = frame.Stakes();
  if (!stakes || !stakes->IsOpen()) return result;
  TTemplateMain::Busy busy(frame);
  StatusScope status(frame.GetHost(), "Создание ставок...");
  const CombBuffer& list = frame.Combs().Working();
  // Before any stake, and also when none follows.
  if (stakes->HasRecords() && stakes->ReadRecord(-1, true).drawNumber > 0) {
    if (!stakes->Append(SeparatorRecord(), 1)) {
      result.failed = true;
      return result;
    }
    result.separator = true;
  }
  // The list's entries byte for byte, as stored: a scan per line would make
  // a large system against a full list take minutes.
  std::unordered_set<uint64_t> inList;
  if (!draft.all) {
    inList.reserve(size_t(list.Count()));
    for (int i = 0; i < list.Count(); ++i) inList.insert(Key(list[i]));
  }
  const int32_t sample = draft.all ? int32_t(draft.combinations.size()) : int32_t(list.Count());
  for (Combination c : draft.combinations) {
    SortFive(c);
    if (!draft.all && !inList.count(Key(c))) continue;
    const StakeRecord r = MakeStake(StakeKind::System, drawNumber, ToNumberSet(c), sample, comment, frame.Config().data);
    frame.GetHost().SetStatusText("Создание ставок...");
    if (!stakes->Append(r, drawCount)) {
      result.failed = true;
      break;
    }
    ++result.combinations;
    if (appended) appended();
  }
  if (result.Refresh()) result.checked = frame.CheckStakes();
  return result;
}

}  // namespace px
