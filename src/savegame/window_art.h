// The small pictures of the save/load window: the 32 x 32 slot icons and
// the 16 x 16 button pictures, drawn from patterns kept here.
#pragma once

#include "platform/surface.h"

namespace kovan {

// A slot icon over a background: a closed notebook (plain) or an open one
// with a red bookmark (the selected slot).
Surface SlotIcon(Rgb background, bool selected);

// The picture of button fBtn(index): 0 close, 1 delete, 2 load, 3 save.
// Black pixels are see-through.
Surface ButtonPicture(int index);

}  // namespace kovan
