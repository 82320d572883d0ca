// The program's pictures, compiled in as XPM data, each with its twice-as-dense drawing where a
// scaled screen shows it.
#pragma once

namespace pictures {

struct Picture {
  const char* const* normal;
  const char* const* dense;  // nullptr where there is none
};

extern const Picture kTalomaIcon;    // 32 x 32: the program file's and every window's icon
extern const Picture kPostEmblem;    // 20 x 20: the postal panel's emblem
extern const Picture kAboutPicture;  // 80 x 81: the About window's picture
extern const Picture kPointer;       // 32 x 32: the pointer over the large buttons
extern const Picture kHandCursor;    // 32 x 32: the pointer over the mail link

}  // namespace pictures
