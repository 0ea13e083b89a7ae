// Interface language modules (.lng beside the program): read as the menu
// "Язык интерфейса" loads them, then texts looked up through them.
#include "frame/languages.h"
#include "fuzz/fuzz_support.h"
#include "stakes/stake_store.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::MemEnv env;
  env.files["p/Pentalux5_5v36_ENU.lng"] = std::string(fuzz::AsText(data, size));
  fuzz::Try([&] {
    const LanguageModule module = LanguageModule::Load(env, "p/Pentalux5_5v36_ENU.lng");
    for (const std::string& title : StakeGridTitles()) module.Translate(title);
    module.Translate(std::string(fuzz::AsText(data, size / 2)));
  });
  fuzz::Try([&] { AvailableLanguages(env, "p/Pentalux5_5v36"); });
  return 0;
}
