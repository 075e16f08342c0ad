#include "app/session/dialog_place.h"

#include <gtest/gtest.h>

#include <vector>

namespace brimwald {
namespace {

TEST(PlaceDialogTest, CentresOverTheOwnerYetWhollyWithinTheWorkArea) {
  // A 1000 by 700 work area below a 40-pixel bar; dialogs 200 by 100.
  const ScreenRect work = {0, 40, 1000, 740};
  struct Case {
    const char* where;
    ScreenRect owner;
    ScreenRect placed;
  };
  for (const Case& c : std::vector<Case>{
           {"in the middle", {300, 300, 700, 500}, {400, 350, 600, 450}},
           {"at the top-left corner", {0, 40, 100, 90}, {0, 40, 200, 140}},
           {"partly off to the top-left",
            {-80, -30, 40, 60},
            {0, 40, 200, 140}},
           {"at the bottom-right corner",
            {900, 690, 1000, 740},
            {800, 640, 1000, 740}},
           {"wholly off to the right",
            {1200, 300, 1400, 400},
            {800, 300, 1000, 400}},
       }) {
    EXPECT_EQ(PlaceDialog(200, 100, c.owner, work), c.placed) << c.where;
  }
  // Larger than the work area: its title bar stays on the screen.
  EXPECT_EQ(PlaceDialog(1200, 800, {0, 40, 100, 90}, work),
            (ScreenRect{0, 40, 1200, 840}));
}

}  // namespace
}  // namespace brimwald
