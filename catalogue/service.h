// The catalogue's side of the three requests, over its store: a form in, an
// answer text out. The server serves it over HTTP; the embedded catalogue
// calls it in the same process, so both keep the same rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/codec.h"

namespace px {

class CatalogueStore;

inline constexpr char kCatalogueListPath[] = "/scripts/sys_getlist.php";
inline constexpr char kCatalogueDataPath[] = "/scripts/sys_getdata.php";
inline constexpr char kCataloguePutPath[] = "/scripts/sys_putdata.php";

struct CatalogueReply {
  std::string body;
  std::string summary;  // for the log: what was done, or the error
};

// `now` in seconds since the epoch. Never throws for a bad request: the
// answer is an <error> row then.
CatalogueReply HandleCatalogueRequest(CatalogueStore& store, std::string_view path, const FormFields& fields,
                                      int64_t now);

}  // namespace px
