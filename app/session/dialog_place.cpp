#include "app/session/dialog_place.h"

#include <algorithm>

namespace brimwald {
namespace {

// `start` of a span `size` long, moved into [low, high); the low end wins
// when it doesn't fit.
int Within(int start, int size, int low, int high) {
  return std::max(low, std::min(start, high - size));
}

}  // namespace

ScreenRect PlaceDialog(int width, int height, const ScreenRect& owner,
                       const ScreenRect& work_area) {
  const int left = Within(owner.left + (owner.width() - width) / 2, width,
                          work_area.left, work_area.right);
  const int top = Within(owner.top + (owner.height() - height) / 2, height,
                         work_area.top, work_area.bottom);
  return {left, top, left + width, top + height};
}

}  // namespace brimwald
