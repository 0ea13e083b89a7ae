#include "core/switches.h"

#include "core/text.h"

namespace px {

bool HasSwitch(const std::vector<std::string>& args, std::string_view word) {
  for (std::string_view a : args) {
    if (a.size() >= 2 && a[0] == '-' && a[1] == '-')
      a.remove_prefix(2);
    else if (!a.empty() && (a[0] == '-' || a[0] == '/' || a[0] == '\\'))
      a.remove_prefix(1);
    if (SameText(a, word)) return true;
  }
  return false;
}

}  // namespace px
