// The proxy candidates of the automatic search (proxies.txt in the data folder).
#include "core/download.h"
#include "fuzz/fuzz_support.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::MemEnv env;
  env.files[ProxyListPath("d")] = std::string(fuzz::AsText(data, size));
  FileProxyProvider provider(env, "d");
  fuzz::Try([&] { provider.Find(true, true, 5); });
  fuzz::Try([&] { provider.Find(true, false, 1000); });
  return 0;
}
