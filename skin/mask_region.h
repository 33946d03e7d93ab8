#pragma once
// Window shapes from mask images: white pixels lie outside the shape.
#include <windows.h>

#include "skin/skin_image.h"

namespace lumetra {

// The region of the mask's non-white pixels (an empty region for an all-white mask); null when
// the image cannot be read or a region cannot be created.
HRGN RegionFromMask(const SkinImage& mask);

}  // namespace lumetra
