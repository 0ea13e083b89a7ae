// The draws CSV import, into an empty archive and into one that holds draws.
#include "core/csv.h"
#include "core/archive.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/sample_data.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  DrawArchive empty;
  try {
    ImportDrawsText(empty, text);
  } catch (const Error&) {
  }
  for (int p = 0; p < empty.Count() && p < 2; ++p) empty.NextDrawNumber(p);
  static const DrawArchive sample = fuzz::SampleArchive(20);
  DrawArchive archive = sample;
  fuzz::MemEnv env;
  env.files["d/x.csv"] = std::string(text);
  try {
    ImportDraws(env, archive, "d/x.csv");
  } catch (const Error&) {
  }
  archive.NextDrawNumber(0);
  return 0;
}
