#include "catalogue/catalogue_list.h"

#include <algorithm>

#include "core/env.h"
#include "core/errors.h"
#include "core/host.h"
#include "core/text.h"

namespace px {
namespace {

// The columns whose cells are counts or times compare as such.
enum class Key { Text, Number, Time, Status };
constexpr Key kColumnKeys[kCatalogueColumns] = {Key::Text,   Key::Text,   Key::Number, Key::Number,
                                                Key::Number, Key::Time,   Key::Status, Key::Number,
                                                Key::Time,   Key::Text,   Key::Text};

int64_t NumberOf(const CatalogueRow& row, int column) {
  const tSystemInfo& i = row.info;
  switch (column) {
    case 2: return i.numberCount;
    case 3: return i.blockLength;
    case 4: return i.combinationCount;
    case 5: return i.created;
    case 6: return row.downloaded ? 1 : 0;
    case 7: return i.downloads;
    case 8: return i.lastDownload;
    default: return 0;
  }
}

const std::string& TextOf(const CatalogueRow& row, int column) {
  const tSystemInfo& i = row.info;
  switch (column) {
    case 1: return i.author;
    case 9: return i.description;
    case 10: return i.url;
    default: return i.title;
  }
}

}  // namespace

SystemOwner OwnerOf(const tSystemInfo& info, const OnlineIdentity& user) {
  if (info.ownerMail.empty()) return SystemOwner::Nobody;
  return !user.mail.empty() && SameText(info.ownerMail, user.mail) ? SystemOwner::Own : SystemOwner::Other;
}

tSystemInfo PlaceholderSystem() {
  tSystemInfo info;
  info.id = -1;
  info.title = kPlaceholderTitle;
  return info;
}

const std::vector<std::string>& CatalogueColumnTitles() {
  static const std::vector<std::string> titles = {"Название", "Автор",     "Числа",    "Блок",
                                                  "Комбинаций", "Дата создания", "Статус",  "Загрузок",
                                                  "Последняя", "Комментарии", "Ссылка"};
  return titles;
}

std::vector<std::string> CatalogueRowTexts(const CatalogueRow& row) {
  const tSystemInfo& i = row.info;
  const bool real = i.id > 0;
  return {i.title,
          i.author,
          real ? Fmt("%.2d", i.numberCount) : "",
          real ? std::to_string(i.blockLength) : "",
          real ? std::to_string(i.combinationCount) : "",
          LocalTimeText(i.created),
          row.downloaded ? "Загружена" : "",
          real ? std::to_string(i.downloads) : "",
          LocalTimeText(i.lastDownload),
          i.description,
          i.url};
}

CatalogueList::CatalogueList(SystemCatalogue& catalogue, SystemStore& store, Env& env, Host& host,
                             OnlineIdentity user)
    : catalogue_(catalogue), store_(store), env_(env), host_(host), user_(std::move(user)) {}

void CatalogueList::Sort(int column, bool ascending) {
  if (column < 0 || column >= kCatalogueColumns) return;
  sortColumn_ = column;
  ascending_ = ascending;
  // Stable, with the title after the column: equal keys keep a fixed order.
  auto less = [column](const CatalogueRow& a, const CatalogueRow& b) {
    if (kColumnKeys[column] == Key::Text) {
      const int c = CompareText(TextOf(a, column), TextOf(b, column));
      if (c != 0) return c < 0;
    } else {
      const int64_t x = NumberOf(a, column), y = NumberOf(b, column);
      if (x != y) return x < y;
    }
    return CompareText(a.info.title, b.info.title) < 0;
  };
  std::stable_sort(rows_.begin(), rows_.end(), [&](const CatalogueRow& a, const CatalogueRow& b) {
    return ascending ? less(a, b) : less(b, a);
  });
}

int CatalogueList::IndexOf(int32_t id) const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].info.id == id) return int(i);
  return -1;
}

bool CatalogueList::IsOutdated(const tSystemInfo& info) {
  // No creation time: nothing to compare, so the file is never outdated.
  if (info.created == 0) return false;
  const std::string path = store_.FilePath(info);
  int64_t ns = env_.OpenFile(path, FileMode::Update)->ModifiedNs();
  int64_t seconds = ns >= 0 ? ns / 1000000000 : -((-ns + 999999999) / 1000000000);
  return seconds != info.created;
}

bool CatalogueList::Refresh(bool renew) {
  StatusScope status(host_, "Загрузка списка систем...");
  std::optional<std::vector<tSystemInfo>> list;
  try {
    // The whole answer is read before any row changes, so a broken one leaves the list whole.
    list = catalogue_.FetchList(user_);
  } catch (const std::exception& e) {
    host_.ShowError(Fmt("Ошибка загрузки списка систем!\r\r%s", e.what()));
    return false;
  }
  std::vector<CatalogueRow> rows;
  if (!list) {
    rows.push_back({PlaceholderSystem(), false});
  } else {
    for (tSystemInfo& info : *list) {
      CatalogueRow row{std::move(info), false};
      try {
        row.downloaded = env_.Exists(store_.FilePath(row.info));
        if (renew && row.downloaded && IsOutdated(row.info)) FetchAndWrite(row.info);
      } catch (const std::exception& e) {
        host_.ShowError(Fmt("Ошибка загрузки системы #%d!\r\r%s", row.info.id, e.what()));
      }
      rows.push_back(std::move(row));
    }
  }
  rows_ = std::move(rows);
  Sort(sortColumn_, ascending_);
  return true;
}

void CatalogueList::FetchAndWrite(const tSystemInfo& info) {
  std::string text;
  {
    StatusScope status(host_, Fmt("Загрузка \"%s\"...", info.title.c_str()));
    text = catalogue_.FetchSystemText(info.id);
  }
  const auto lines = SplitSystemLines(text);
  if (text.empty() || int64_t(lines.size()) != info.combinationCount)
    throw Error(Fmt("Количество скачанных комбинаций ( %zu ) отличается от ожидаемого значения ( %d )", lines.size(),
                    info.combinationCount));
  // Every line must be one the system game can play before it reaches the store.
  ParseSystemText(text, info.numberCount, info.title);
  tSystemData data;
  static_cast<tSystemInfo&>(data) = info;
  data.combinations = text;
  store_.SaveLocalFile(data);
}

std::vector<int32_t> CatalogueList::Download(const std::vector<int32_t>& ids) {
  std::vector<int32_t> written;
  for (size_t i = 0; i < rows_.size(); ++i) {
    const tSystemInfo info = rows_[i].info;
    if (info.id <= 0 || std::find(ids.begin(), ids.end(), info.id) == ids.end()) continue;
    if (std::find(written.begin(), written.end(), info.id) != written.end()) continue;
    try {
      FetchAndWrite(info);
    } catch (const std::exception& e) {
      host_.ShowError(Fmt("Ошибка загрузки системы #%d!\r\r%s", info.id, e.what()));
      continue;
    }
    written.push_back(info.id);
    const std::string path = store_.FilePath(info);
    for (CatalogueRow& other : rows_) {
      if (other.info.numberCount != info.numberCount || other.info.id <= 0) continue;
      if (store_.FilePath(other.info) == path) {
        other.downloaded = true;  // this system, perhaps listed twice
      } else if (other.downloaded) {
        if (store_.DeleteLocalFile(other.info)) other.downloaded = false;
      }
    }
  }
  return written;
}

std::string CatalogueList::FetchText(const tSystemInfo& info) {
  if (info.id <= 0) return {};
  try {
    StatusScope status(host_, Fmt("Загрузка \"%s\"...", info.title.c_str()));
    return catalogue_.FetchSystemText(info.id);
  } catch (const std::exception& e) {
    host_.ShowError(Fmt("Ошибка загрузки системы #%d!\r\r%s", info.id, e.what()));
    return {};
  }
}

int32_t CatalogueList::Save(const tSystemData& data, bool remove) {
  try {
    StatusScope status(host_, Fmt(remove ? "Удаление \"%s\"..." : "Сохранение \"%s\"...", data.title.c_str()));
    return remove ? catalogue_.DeleteSystem(data) : catalogue_.SaveSystem(data);
  } catch (const std::exception& e) {
    host_.ShowError(Fmt("Ошибка сохранения системы #%d!\r\r%s", data.id, e.what()));
    return -1;
  }
}

std::optional<int32_t> CatalogueList::Add(tSystemData data) {
  data.id = 0;
  data.combinationCount = int32_t(SplitSystemLines(data.combinations).size());
  const int32_t id = Save(data, false);
  if (id < 0) return std::nullopt;
  if (id == 0) {
    host_.ShowError("Ошибка добавления системы!\r\rКаталог не сообщил номер новой системы");
    return std::nullopt;
  }
  data.id = id;
  data.combinations.clear();
  // A lone placeholder gives way to the first real row.
  if (rows_.size() == 1 && rows_.front().info.id <= 0) rows_.clear();
  rows_.push_back({static_cast<const tSystemInfo&>(data), false});
  Sort(sortColumn_, ascending_);
  return id;
}

bool CatalogueList::Change(const tSystemData& data) {
  const int index = data.id > 0 ? IndexOf(data.id) : -1;
  if (index < 0) return false;
  if (Owner(rows_[size_t(index)]) != SystemOwner::Own) {
    host_.ShowError("Ошибка изменения системы!\r\rВы можете изменять только свои системы!");
    return false;
  }
  tSystemData changed = data;
  changed.combinationCount = int32_t(SplitSystemLines(changed.combinations).size());
  if (Save(changed, false) < 0) return false;
  changed.combinations.clear();
  for (CatalogueRow& row : rows_)
    if (row.info.id == data.id) row.info = changed;
  Sort(sortColumn_, ascending_);
  return true;
}

bool CatalogueList::Delete(int32_t id, bool ask) {
  const int index = id > 0 ? IndexOf(id) : -1;
  if (index < 0) return false;
  const tSystemInfo info = rows_[size_t(index)].info;
  if (OwnerOf(info, user_) != SystemOwner::Own) {
    host_.ShowError("Вы можете удалять только свои системы!");
    return false;
  }
  if (ask && !host_.AskYesNo(Fmt("Вы действительно хотите удалить систему \"%s\"?", info.title.c_str()))) return false;
  tSystemData data;
  static_cast<tSystemInfo&>(data) = info;
  const int32_t answer = Save(data, true);
  if (answer < 0) return false;
  if (answer != 0) {
    host_.ShowError(Fmt("Ошибка удаления системы!\r\rКаталог ответил %d", answer));
    return false;
  }
  std::erase_if(rows_, [&](const CatalogueRow& r) { return r.info.id == id; });
  store_.DeleteLocalFile(info);
  return true;
}

}  // namespace px
