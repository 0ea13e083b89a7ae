#include "catalogue/store.h"

#include <sqlite3.h>

#include "core/errors.h"
#include "core/text.h"

namespace px {
namespace {

constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS systems ("
    " id INTEGER PRIMARY KEY AUTOINCREMENT,"
    " nums INTEGER NOT NULL, olap INTEGER NOT NULL, csize INTEGER NOT NULL,"
    " title TEXT NOT NULL, author TEXT NOT NULL, owner TEXT NOT NULL, descr TEXT NOT NULL,"
    " created INTEGER NOT NULL, downloads INTEGER NOT NULL DEFAULT 0, last_download INTEGER NOT NULL DEFAULT 0,"
    " url TEXT NOT NULL, clist TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS systems_nums ON systems(nums);";

constexpr char kColumns[] = "id, nums, olap, csize, title, author, owner, descr, created, downloads, last_download, url";

}  // namespace

class CatalogueStore::Statement {
 public:
  Statement(CatalogueStore& store, std::string_view name, const char* sql) : store_(store), name_(name) {
    if (store.hook_) store.hook_(name);
    if (sqlite3_prepare_v2(store.db_, sql, -1, &stmt_, nullptr) != SQLITE_OK) Fail();
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement& Bind(int i, int64_t v) {
    if (sqlite3_bind_int64(stmt_, i, v) != SQLITE_OK) Fail();
    return *this;
  }
  Statement& Bind(int i, const std::string& v) {
    if (sqlite3_bind_text(stmt_, i, v.data(), int(v.size()), SQLITE_TRANSIENT) != SQLITE_OK) Fail();
    return *this;
  }
  // True while there is a row.
  bool Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail();
    return false;
  }
  int64_t Int(int c) { return sqlite3_column_int64(stmt_, c); }
  std::string Text(int c) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, c));
    return p ? std::string(p, size_t(sqlite3_column_bytes(stmt_, c))) : std::string();
  }
  tSystemInfo Info() {
    tSystemInfo i;
    i.id = int32_t(Int(0));
    i.numberCount = uint8_t(Int(1));
    i.blockLength = uint8_t(Int(2));
    i.combinationCount = int32_t(Int(3));
    i.title = Text(4);
    i.author = Text(5);
    i.ownerMail = Text(6);
    i.description = Text(7);
    i.created = Int(8);
    i.downloads = int32_t(Int(9));
    i.lastDownload = Int(10);
    i.url = Text(11);
    return i;
  }

 private:
  [[noreturn]] void Fail() {
    throw Error(Fmt("Ошибка базы каталога систем (%s): %s", name_.c_str(), sqlite3_errmsg(store_.db_)));
  }
  CatalogueStore& store_;
  std::string name_;
  sqlite3_stmt* stmt_ = nullptr;
};

CatalogueStore::CatalogueStore(const std::string& path) : path_(path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    std::string cause = db_ ? sqlite3_errmsg(db_) : "нет памяти";
    sqlite3_close(db_);
    db_ = nullptr;
    throw Error(Fmt("Не удалось открыть каталог систем \"%s\": %s", path.c_str(), cause.c_str()));
  }
  sqlite3_busy_timeout(db_, 5000);
  try {
    Exec("schema", kSchema);
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
}

CatalogueStore::~CatalogueStore() { sqlite3_close(db_); }

void CatalogueStore::Exec(std::string_view name, const char* sql) {
  if (hook_ && name != "rollback") hook_(name);
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    throw Error(Fmt("Ошибка базы каталога систем (%s): %s", std::string(name).c_str(), text.c_str()));
  }
}

template <class F>
auto CatalogueStore::InTransaction(F&& change) {
  Exec("begin", "BEGIN IMMEDIATE");
  try {
    auto result = change();
    Exec("commit", "COMMIT");
    return result;
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

std::vector<tSystemInfo> CatalogueStore::List() {
  Statement s(*this, "list", (std::string("SELECT ") + kColumns + " FROM systems ORDER BY nums, id").c_str());
  std::vector<tSystemInfo> out;
  while (s.Step()) out.push_back(s.Info());
  return out;
}

std::optional<tSystemData> CatalogueStore::Find(int32_t id) {
  Statement s(*this, "find", (std::string("SELECT ") + kColumns + ", clist FROM systems WHERE id = ?").c_str());
  s.Bind(1, id);
  if (!s.Step()) return std::nullopt;
  tSystemData d;
  static_cast<tSystemInfo&>(d) = s.Info();
  d.combinations = s.Text(12);
  return d;
}

std::optional<std::string> CatalogueStore::TakeText(int32_t id, int64_t now) {
  return InTransaction([&]() -> std::optional<std::string> {
    std::optional<std::string> text;
    {
      Statement s(*this, "text", "SELECT clist FROM systems WHERE id = ?");
      s.Bind(1, id);
      if (!s.Step()) return std::nullopt;
      text = s.Text(0);
    }
    Statement u(*this, "count", "UPDATE systems SET downloads = downloads + 1, last_download = ? WHERE id = ?");
    u.Bind(1, now).Bind(2, id).Step();
    return text;
  });
}

int32_t CatalogueStore::Save(const tSystemData& d) {
  return InTransaction([&]() -> int32_t {
    auto bindFields = [&](Statement& s) {
      s.Bind(1, d.numberCount).Bind(2, d.blockLength).Bind(3, d.combinationCount).Bind(4, d.title).Bind(5, d.author);
      s.Bind(6, d.ownerMail).Bind(7, d.description).Bind(8, d.created).Bind(9, d.url).Bind(10, d.combinations);
    };
    if (d.id <= 0) {
      Statement s(*this, "insert",
                  "INSERT INTO systems (nums, olap, csize, title, author, owner, descr, created, url, clist)"
                  " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
      bindFields(s);
      s.Step();
      int64_t id = sqlite3_last_insert_rowid(db_);
      if (id <= 0 || id > INT32_MAX) throw Error("Каталог систем переполнен");
      return int32_t(id);
    }
    Statement s(*this, "update",
                "UPDATE systems SET nums = ?, olap = ?, csize = ?, title = ?, author = ?, owner = ?, descr = ?,"
                " created = ?, url = ?, clist = ? WHERE id = ?");
    bindFields(s);
    s.Bind(11, d.id);
    s.Step();
    if (sqlite3_changes(db_) != 1) throw Error(Fmt("Система #%d не найдена в каталоге", d.id));
    return d.id;
  });
}

bool CatalogueStore::Remove(int32_t id) {
  return InTransaction([&] {
    Statement s(*this, "delete", "DELETE FROM systems WHERE id = ?");
    s.Bind(1, id);
    s.Step();
    return sqlite3_changes(db_) == 1;
  });
}

}  // namespace px
