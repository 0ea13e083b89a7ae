// The catalogue's own store: one SQLite file with one table of systems and an
// index by number count. The store numbers the systems; every change runs in
// one transaction, so a failure in the middle leaves the file as it was.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stakes/systems.h"

struct sqlite3;

namespace px {

class CatalogueStore {
 public:
  // Opens the file, creating it and its table when missing. Throws Error.
  explicit CatalogueStore(const std::string& path);
  ~CatalogueStore();
  CatalogueStore(const CatalogueStore&) = delete;
  CatalogueStore& operator=(const CatalogueStore&) = delete;

  // Every system without its text, by number count and then by id.
  std::vector<tSystemInfo> List();
  std::optional<tSystemData> Find(int32_t id);
  // The text of a system, counting the download at `now`; nullopt for none.
  std::optional<std::string> TakeText(int32_t id, int64_t now);
  // A new system (id 0) gets the next id; an existing one is replaced but
  // keeps its download count. Returns the id; throws Error.
  int32_t Save(const tSystemData& data);
  // False when there was no such system.
  bool Remove(int32_t id);

  // Called with the name of each statement a change runs, before it runs; a
  // throw from here fails that statement. A test's way to break a change
  // in the middle.
  void SetStatementHook(std::function<void(std::string_view)> hook) { hook_ = std::move(hook); }

 private:
  class Statement;
  void Exec(std::string_view name, const char* sql);
  template <class F>
  auto InTransaction(F&& change);

  sqlite3* db_ = nullptr;
  std::string path_;
  std::function<void(std::string_view)> hook_;
};

}  // namespace px
