// A catalogue answer as a server might send it: the first byte picks the
// reader (list, text, id), the rest is the body. Each reader either gives
// values within their limits or throws Error.
#include <cstdlib>

#include "catalogue/codec.h"
#include "core/errors.h"
#include "fuzz/fuzz_support.h"

using namespace px;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view body = fuzz::AsText(data + 1, size - 1);
  try {
    switch (data[0] % 4) {
      case 0:
        if (auto list = ParseListAnswer(body)) {
          for (const tSystemInfo& i : *list) {
            if (i.id <= 0 || i.numberCount < kSystemMinNumbers || i.numberCount > kSystemMaxNumbers ||
                i.blockLength > kSystemMaxBlock || i.title.size() > 4 * kCatalogueMaxTitle ||
                i.description.size() > 4 * kCatalogueMaxDescription)
              std::abort();
            AnswerText({ListRow(i)});
          }
        }
        break;
      case 1:
        if (ParseTextAnswer(body).size() > 4 * kCatalogueMaxText) std::abort();
        break;
      case 2:
        if (ParseIdAnswer(body) < -1) std::abort();
        break;
      default: {
        // The request side of the wire: unescaping and forms never fail, and Base64 round-trips.
        const std::string text = UnescapeCatalogueText(body);
        if (UnescapeCatalogueText(EscapeCatalogueText(text)) != text) std::abort();
        if (Base64Decode(Base64Encode(body)) != std::string(body)) std::abort();
        ParseFormBody(body);
        ParseUtcTime(body.substr(0, 40));
      }
    }
  } catch (const Error&) {
  }
  return 0;
}
