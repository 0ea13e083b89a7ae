// The commands of the tab "Регуляры": rules added, deleted, staked and tested.
#include <algorithm>

#include "core/errors.h"
#include "core/text.h"
#include "frame/frame.h"

namespace px {

namespace {

// Holds the views for a stretch of offset changes; they follow once after.
class HoldViews {
 public:
  explicit HoldViews(int& held) : held_(held) { ++held_; }
  ~HoldViews() { --held_; }
  HoldViews(const HoldViews&) = delete;
  HoldViews& operator=(const HoldViews&) = delete;

 private:
  int& held_;
};

}  // namespace

bool TTemplateMain::LoadRegulars() {
  if (!regulars_) regulars_ = std::make_unique<RegularStakes>(env_, host_, dataDir_);
  if (!settings_.TabTables) {
    regulars_->Release();
    return true;
  }
  Busy busy(*this);
  return regulars_->Load();
}

void TTemplateMain::ReleaseRegulars() {
  if (regulars_) regulars_->Release();
}

void TTemplateMain::RegularsAdd(const RegularStake& rule, const std::vector<int>& selected) {
  if (!regulars_) return;
  Busy busy(*this);
  {
    StatusScope status(host_, "Создание регулярных ставок...");
    if (rule.useLastDraw || selected.size() == 1) {
      RegularStake r = rule;
      if (r.useLastDraw) r.start = Combination{};
      r.current = r.start;
      r.stakeCount = 0;
      regulars_->Add(std::move(r));
    } else {
      for (int row : selected) {
        if (row < 0 || row >= combs_.Count()) continue;
        RegularStake r = rule;
        r.comment = Fmt("%s (%d)", rule.comment.c_str(), row + 1);
        r.start = r.current = Sorted(combs_.Working()[row]);
        r.stakeCount = 0;
        regulars_->Add(std::move(r));
      }
    }
  }
  regulars_->Save();
}

void TTemplateMain::RegularsDelete(std::vector<int> rows) {
  if (!regulars_ || rows.empty()) return;
  Busy busy(*this);
  {
    StatusScope status(host_, "Удаление регулярных ставок...");
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) regulars_->Delete(*it);
  }
  regulars_->Save();
}

TTemplateMain::RegularDraft TTemplateMain::RegularsDraft(int row) {
  if (!regulars_) throw Error("Файл регулярных ставок не загружен!");
  RegularDraft draft;
  draft.advanced = regulars_->At(row);
  const int offset = std::max(offset_, 0);
  const std::optional<Combination> next = Advance(draft.advanced, archive_, offset);
  if (!next) throw Error("Введена некорректная комбинация!");
  draft.stake = MakeStake(StakeKind::Regular, std::max(archive_.NextDrawNumber(offset), 1), ToNumberSet(*next),
                          combs_.Count(), draft.advanced.comment, Config().data);
  return draft;
}

bool TTemplateMain::RegularsCommit(int row, const RegularDraft& draft, const StakeRecord& stake, int drawCount) {
  if (!regulars_ || !stakes_) return false;
  Busy busy(*this);
  regulars_->Replace(row, draft.advanced);
  regulars_->Save();
  StatusScope status(host_, "Создание ставки...");
  if (!stakes_->Append(stake, drawCount)) return false;
  CheckStakes();
  host_.SetStatusPanel(4, stakes_->CountText());
  return true;
}

int TTemplateMain::RegularsTest(const std::vector<int>& rows, int count, const std::function<void()>& appended) {
  if (!regulars_ || !stakes_ || rows.empty() || count <= 0) return 0;
  for (int row : rows) regulars_->At(row);  // an unknown row fails before anything changes
  Busy busy(*this);
  const int savedOffset = offset_;
  int made = 0;
  bool lastOk = true;
  {
    HoldViews hold(viewsHeld_);
    StatusScope status(host_, "Создание ставок по регулярным табличным ставкам...");
    try {
      for (int offset = count; offset >= 1 && lastOk; --offset) {
        SetDrawsOffset(offset);
        for (int row : rows) {
          RegularStake& rule = regulars_->Mutable(row);
          const std::optional<Combination> next = Advance(rule, archive_, offset);
          if (!next) {
            // A rule that makes no combination (a damaged record) stakes nothing.
            host_.ShowError("Введена некорректная комбинация!");
            lastOk = false;
            break;
          }
          const StakeRecord stake = MakeStake(StakeKind::Regular, std::max(archive_.NextDrawNumber(offset), 1),
                                              ToNumberSet(*next), combs_.Count(), rule.comment, Config().data);
          host_.SetStatusText("Создание ставок по регулярным табличным ставкам...");
          lastOk = stakes_->Append(stake, 1);
          if (!lastOk) break;
          ++made;
          if (appended) appended();
        }
      }
    } catch (...) {
      SetDrawsOffset(savedOffset);
      regulars_->Save();
      throw;
    }
    SetDrawsOffset(savedOffset);
    regulars_->Save();
    if (lastOk) CheckStakes();
    host_.SetStatusPanel(4, stakes_->CountText());
  }
  RefreshViews(false);
  return made;
}

}  // namespace px
