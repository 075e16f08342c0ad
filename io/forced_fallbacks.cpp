#include "io/forced_fallbacks.h"

namespace brimwald {

ForcedFallbacks& forced_fallbacks() {
  static ForcedFallbacks switches;
  return switches;
}

}  // namespace brimwald
