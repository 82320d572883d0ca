// The XPM files drawn by draw_pictures.py are C source; they are compiled in here, so a picture
// is read without a file, an image reader or its plugins.
#include "resources/pictures.h"

namespace {
#include "resources/about_picture.xpm"
#include "resources/about_picture@2x.xpm"
#include "resources/hand_cursor.xpm"
#include "resources/pointer.xpm"
#include "resources/post_emblem.xpm"
#include "resources/post_emblem@2x.xpm"
#include "resources/taloma_icon.xpm"
#include "resources/taloma_icon@2x.xpm"
}  // namespace

namespace pictures {

const Picture kTalomaIcon{taloma_icon, taloma_icon_at_2x};
const Picture kPostEmblem{post_emblem, post_emblem_at_2x};
const Picture kAboutPicture{about_picture, about_picture_at_2x};
const Picture kPointer{pointer, nullptr};
const Picture kHandCursor{hand_cursor, nullptr};

}  // namespace pictures
