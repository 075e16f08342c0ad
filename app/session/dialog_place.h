// Where a window's dialog opens, whatever toolkit draws it: over the middle
// of its owner, yet wholly on the owner's screen. The window system's
// default placement often puts the main window near a corner, where a
// dialog centred over it would stick out, its title bar off the screen.

#ifndef BRIMWALD_APP_SESSION_DIALOG_PLACE_H_
#define BRIMWALD_APP_SESSION_DIALOG_PLACE_H_

namespace brimwald {

/// A rectangle on the screen, in pixels; right and bottom are exclusive.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const ScreenRect&) const = default;
};

/// The frame of a dialog `width` by `height` pixels (frame included):
/// centred over `owner`, then moved the least that puts it wholly within
/// `work_area` (the owner's monitor without its task bars). A dialog
/// larger than the work area keeps its top-left corner in it, so that its
/// title bar stays on the screen.
ScreenRect PlaceDialog(int width, int height, const ScreenRect& owner,
                       const ScreenRect& work_area);

}  // namespace brimwald

#endif  // BRIMWALD_APP_SESSION_DIALOG_PLACE_H_
