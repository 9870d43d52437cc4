#include "analyse/kvMultiFaceIcons.h"

#include "platform/kvIconResources.h"

namespace {

constexpr int iconSize = 16;
constexpr uint32_t arrowInk = 0x000000;

// A solid triangle pointing left or right, centred in the icon; the rest of
// the icon is transparent.
kvplat::IconPicture arrow(bool pointsRight)
{
    kvplat::IconPicture picture;
    picture.width = iconSize;
    picture.height = iconSize;
    picture.pixels.assign(iconSize * iconSize, 0);
    picture.mask.assign(iconSize * iconSize, 1);
    const int tipColumn = pointsRight ? 11 : 4;
    for (int row = 3; row <= 12; ++row) {
        // Half the triangle's height at this row is how far it reaches back
        // from its tip.
        const int reach = row <= 7 ? row - 3 : 12 - row;
        for (int k = 0; k <= reach; ++k) {
            const int column = pointsRight ? tipColumn - 5 + k : tipColumn + 5 - k;
            picture.pixels[row * iconSize + column] = arrowInk;
            picture.mask[row * iconSize + column] = 0;
        }
    }
    return picture;
}

}  // namespace

void kvRegisterMultiFaceIcons(HINSTANCE module)
{
    if (!kvplat::hasIconResource(module, kvIDI_PREVIOUS_FACE))
        kvplat::setIconResource(module, kvIDI_PREVIOUS_FACE, arrow(false));
    if (!kvplat::hasIconResource(module, kvIDI_NEXT_FACE))
        kvplat::setIconResource(module, kvIDI_NEXT_FACE, arrow(true));
}
