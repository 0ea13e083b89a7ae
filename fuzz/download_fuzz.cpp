// The download's answer: a body in the encoding the first byte names
// (identity, gzip, deflate or both), inflated as the HTTP client inflates
// it, then read as the results page against a small archive.
#include "core/archive.h"
#include "core/cp1251.h"
#include "core/download.h"
#include "core/http.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/sample_data.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const DrawArchive archive = fuzz::SampleArchive(30);
  if (size == 0) return 0;
  static const char* const encodings[] = {"identity", "gzip", "deflate", "gzip, deflate", "", "x-unknown"};
  const char* encoding = encodings[data[0] % (sizeof encodings / sizeof *encodings)];
  const std::string_view body = fuzz::AsText(data + 1, size - 1);
  std::string page;
  try {
    page = DecodeContent(body, encoding);
  } catch (const Error&) {
    return 0;
  }
  try {
    for (const DrawRecord& r : NewDrawsOfPage(archive, Cp1251ToUtf8(page))) DrawListRow(r, false);
  } catch (const Error&) {
  }
  std::string buffer = page;
  try {
    ExtractBetween(page, "<tr", "</tr>", MissingEnd::Rest);
    ConsumeBetween(buffer, "<div>", "</div>", MissingEnd::Empty);
  } catch (const Error&) {
  }
  return 0;
}
