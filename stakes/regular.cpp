#include "stakes/regular.h"

#include <algorithm>
#include <cstring>

#include "core/archive.h"
#include "core/cp1251.h"
#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/little_endian.h"
#include "core/text.h"

namespace px {

namespace {

constexpr const char* kReadError = "Ошибка чтения файла регулярных ставок!";
constexpr const char* kWriteError = "Ошибка записи в файл регулярных ставок!";

constexpr size_t kOffUseLast = 256, kOffStart = 257, kOffCurrent = 262, kOffReserved = 267, kOffStep = 268,
                 kOffCount = 272;
static_assert(1 + kRegularCommentBytes == kOffUseLast);
static_assert(kOffCurrent + kDrawSize + 1 == kOffStep);
static_assert(kOffCount + 4 == kRegularRecordSize);

int32_t NormalisedStep(int32_t step) {
  return step >= -kRegularMaxStep && step <= kRegularMaxStep ? step : step % kRegularMaxStep;
}

}  // namespace

void EncodeRegularStake(const RegularStake& r, char* out) {
  std::memset(out, 0, kRegularRecordSize);
  std::string bytes = Utf8ToCp1251(r.comment);
  if (bytes.size() > kRegularCommentBytes) bytes.resize(kRegularCommentBytes);
  out[0] = static_cast<char>(bytes.size());
  std::memcpy(out + 1, bytes.data(), bytes.size());
  out[kOffUseLast] = r.useLastDraw ? 1 : 0;
  for (int i = 0; i < kDrawSize; ++i) {
    out[kOffStart + size_t(i)] = static_cast<char>(r.start[size_t(i)]);
    out[kOffCurrent + size_t(i)] = static_cast<char>(r.current[size_t(i)]);
  }
  out[kOffReserved] = 0;
  le::PutU32(out + kOffStep, static_cast<uint32_t>(r.step));
  le::PutU32(out + kOffCount, static_cast<uint32_t>(r.stakeCount));
}

RegularStake DecodeRegularStake(const char* in) {
  RegularStake r;
  const size_t length = static_cast<uint8_t>(in[0]);
  r.comment = Cp1251ToUtf8(std::string_view(in + 1, length));
  r.useLastDraw = in[kOffUseLast] != 0;
  for (int i = 0; i < kDrawSize; ++i) {
    r.start[size_t(i)] = static_cast<uint8_t>(in[kOffStart + size_t(i)]);
    r.current[size_t(i)] = static_cast<uint8_t>(in[kOffCurrent + size_t(i)]);
  }
  r.step = NormalisedStep(static_cast<int32_t>(le::GetU32(in + kOffStep)));
  r.stakeCount = static_cast<int32_t>(le::GetU32(in + kOffCount));
  return r;
}

void DecodeRegularStakes(std::string_view bytes, std::vector<RegularStake>& out) {
  const size_t whole = bytes.size() / kRegularRecordSize;
  out.reserve(out.size() + whole);
  for (size_t i = 0; i < whole; ++i) out.push_back(DecodeRegularStake(bytes.data() + i * kRegularRecordSize));
  if (bytes.size() % kRegularRecordSize != 0)
    throw Error(Fmt("Неполная запись в конце файла (%zu байт)", bytes.size() % kRegularRecordSize));
}

std::string EncodeRegularStakes(const std::vector<RegularStake>& rules) {
  std::string bytes(rules.size() * kRegularRecordSize, '\0');
  for (size_t i = 0; i < rules.size(); ++i) EncodeRegularStake(rules[i], bytes.data() + i * kRegularRecordSize);
  return bytes;
}

std::string RegularsPath(const std::string& dataDir) { return JoinPath(dataDir, "Pentalux5_5v36.ltb"); }

std::optional<Combination> NextRegular(const RegularStake& rule, const DrawArchive& archive, int offset) {
  const Combination base = rule.useLastDraw ? archive.NumbersAt(std::max(offset, 0)) : rule.current;
  Combination next = ShiftCombination(base, NormalisedStep(rule.step));
  if (!IsValidDrawNumbers(next)) return std::nullopt;
  SortFive(next);
  return next;
}

std::optional<Combination> Advance(RegularStake& rule, const DrawArchive& archive, int offset) {
  std::optional<Combination> next = NextRegular(rule, archive, offset);
  if (next) {
    rule.current = *next;
    rule.stakeCount = SaturatingAdd(rule.stakeCount, int32_t{1});
  }
  return next;
}

const std::vector<std::string>& RegularTitles() {
  static const std::vector<std::string> titles = {"Комментарий", "Стартовая комбинация", "Шаг", "Текущая комбинация",
                                                  "Ставок"};
  return titles;
}

std::vector<std::string> RegularRow(const RegularStake& r) {
  return {r.comment, CombinationText(r.start), std::to_string(r.step), CombinationText(r.current),
          std::to_string(r.stakeCount)};
}

std::optional<RegularInputError> CheckRegularInput(bool withStart, std::string_view startText,
                                                   std::string_view comment,
                                                   const std::vector<RegularStake>& existing, Combination& start) {
  if (withStart) {
    const auto words = SplitAny(startText, ",;", false);
    bool ok = words.size() == size_t(kDrawSize);
    for (size_t i = 0; ok && i < words.size(); ++i) {
      auto v = ParseInt32(Trim(words[i]));
      ok = v && *v >= 1 && *v <= kNumbers;
      if (ok) start[i] = static_cast<uint8_t>(*v);
    }
    if (!ok || !IsValidDrawNumbers(start)) return RegularInputError{"Введена некорректная комбинация!", true};
    SortFive(start);
  }
  if (Trim(comment).empty()) return RegularInputError{"Необходимо ввести комментарий!", false};
  for (const RegularStake& r : existing)
    if (SameText(r.comment, comment))
      return RegularInputError{"Запись с таким комментарией уже присутствует в списке!\rВыберите другой комментарий.",
                               false};
  return std::nullopt;
}

RegularStakes::RegularStakes(Env& env, Host& host, std::string dataDir)
    : env_(env), host_(host), path_(RegularsPath(dataDir)) {}

const RegularStake& RegularStakes::At(int index) const {
  if (index < 0 || index >= Count()) throw Error(Fmt("Запись со индексом %d в файле данных не найдена!", index));
  return rules_[size_t(index)];
}

RegularStake& RegularStakes::Mutable(int index) { return const_cast<RegularStake&>(At(index)); }

void RegularStakes::Replace(int index, const RegularStake& rule) { Mutable(index) = rule; }

void RegularStakes::Delete(int index) {
  At(index);
  rules_.erase(rules_.begin() + index);
}

bool RegularStakes::Load() {
  if (!env_.Exists(path_)) return true;
  StatusScope status(host_, "Загрузка файла регулярных ставок...");
  std::string bytes;
  try {
    bytes = env_.ReadFile(path_);
  } catch (const std::exception& e) {
    // Nothing was read: the rules in memory stay as they were.
    host_.ShowError(OperationError(kReadError, e.what()).what());
    return false;
  }
  std::vector<RegularStake> read;
  bool ok = true;
  try {
    DecodeRegularStakes(bytes, read);
  } catch (const std::exception& e) {
    // A torn end: the whole records before it are the rules.
    host_.ShowError(OperationError(kReadError, e.what()).what());
    ok = false;
  }
  rules_ = std::move(read);
  return ok;
}

bool RegularStakes::Save() {
  StatusScope status(host_, "Сохранение файла регулярных ставок...");
  try {
    WriteFileAtomic(env_, path_, EncodeRegularStakes(rules_));
  } catch (const std::exception& e) {
    host_.ShowError(OperationError(kWriteError, e.what()).what());
    return false;
  }
  return true;
}

}  // namespace px
