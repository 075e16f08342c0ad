#include "app/session/dialog_place.h"

#include <gtest/gtest.h>

namespace brimwald {
namespace {

TEST(PlaceDialogTest, CentresOverTheOwnerYetWhollyWithinTheWorkArea) {
  const ScreenRect work = {0, 40, 1000, 740};  // below a 40-pixel bar
  EXPECT_EQ(PlaceDialog(200, 100, {300, 300, 700, 500}, work),
            (ScreenRect{400, 350, 600, 450}));
  EXPECT_EQ(PlaceDialog(200, 100, {-50, 0, 100, 90}, work),
            (ScreenRect{0, 40, 200, 140}));  // at the top-left corner
  EXPECT_EQ(PlaceDialog(200, 100, {900, 690, 1000, 740}, work),
            (ScreenRect{800, 640, 1000, 740}));
  // Larger than the work area: its title bar stays on the screen.
  EXPECT_EQ(PlaceDialog(1200, 800, {0, 40, 100, 90}, work).top, 40);
}

}  // namespace
}  // namespace brimwald
