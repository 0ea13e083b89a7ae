// The rows of the systems catalogue as the tab "Системы" shows them, and the
// commands behind its buttons: refresh, download, add, change, delete. The
// window only shows the rows and passes the selection; every rule lives
// here. Failures are shown through the host and leave the rows and the
// local store as they were.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/client.h"
#include "stakes/systems.h"

namespace px {

class Env;
class Host;

enum class SystemOwner { Nobody = 0, Other = 1, Own = 2 };
// Own when the owner's e-mail is the user's, ignoring case; an empty user
// e-mail owns nothing.
SystemOwner OwnerOf(const tSystemInfo& info, const OnlineIdentity& user);

// The row that stands alone when the catalogue gave no list.
inline constexpr char kPlaceholderTitle[] = "Список систем не доступен!";
tSystemInfo PlaceholderSystem();

struct CatalogueRow {
  tSystemInfo info;
  bool downloaded = false;
};

inline constexpr int kCatalogueColumns = 11;
// The cells of a row, column by column, in the list's order.
std::vector<std::string> CatalogueRowTexts(const CatalogueRow& row);
const std::vector<std::string>& CatalogueColumnTitles();

class CatalogueList {
 public:
  CatalogueList(SystemCatalogue& catalogue, SystemStore& store, Env& env, Host& host, OnlineIdentity user = {});

  const std::vector<CatalogueRow>& Rows() const { return rows_; }
  const OnlineIdentity& User() const { return user_; }
  void SetUser(OnlineIdentity user) { user_ = std::move(user); }
  // The index of the first row with the id; -1 for none.
  int IndexOf(int32_t id) const;
  SystemOwner Owner(const CatalogueRow& row) const { return OwnerOf(row.info, user_); }
  void Clear() { rows_.clear(); }
  // Orders the rows by a column (0..10): counts and times by value, texts
  // ignoring case. The order holds until the next change of the rows; the
  // commands work in it ("in list order"). Refresh and Add keep it.
  void Sort(int column, bool ascending);
  int SortColumn() const { return sortColumn_; }
  bool SortAscending() const { return ascending_; }

  // Rebuilds the rows from the catalogue and the local files, downloading
  // again every file whose time differs from its system's creation time.
  // False on failure (its box shown); the rows stay as they were then.
  // Without `renew` the files are only looked at.
  bool Refresh(bool renew = true);
  // Downloads the systems of the ids given, in list order; returns the ids
  // written. Ids of no row or of the placeholder are skipped.
  std::vector<int32_t> Download(const std::vector<int32_t>& ids);
  // The combination text of a row for its dialog; empty with its box shown
  // on failure.
  std::string FetchText(const tSystemInfo& info);
  // Publishes a new system (the id is ignored); its row comes at the end,
  // not downloaded. Returns the new id.
  std::optional<int32_t> Add(tSystemData data);
  // Saves the changed system of an own row; the row takes its data.
  bool Change(const tSystemData& data);
  // Asks, deletes in the catalogue, then the row and the local file. Only
  // own systems; `ask` false skips the question.
  bool Delete(int32_t id, bool ask = true);

 private:
  // Steps of a download: fetch, check the lines, write the file. Throws Error.
  void FetchAndWrite(const tSystemInfo& info);
  bool IsOutdated(const tSystemInfo& info);
  int32_t Save(const tSystemData& data, bool remove);

  SystemCatalogue& catalogue_;
  SystemStore& store_;
  Env& env_;
  Host& host_;
  OnlineIdentity user_;
  std::vector<CatalogueRow> rows_;
  // First shown by "Числа", ascending.
  int sortColumn_ = 2;
  bool ascending_ = true;
};

}  // namespace px
