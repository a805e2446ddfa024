#pragma once
// The one check every image writer makes before it writes anything: an image without
// pixels is refused. A file of no pixels would replace a good file of that name with one
// that no reader opens.
#include "platform/Bitmap.h"

namespace vandrel {

// The text of the refusal.
inline constexpr const char* kEmptyImageText = "The image is empty: nothing to save";

// Raises Exception(kEmptyImageText) when `bitmap` has no pixels.
void RefuseEmptyImage(const Bitmap& bitmap);

}  // namespace vandrel
