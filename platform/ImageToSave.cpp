#include "platform/ImageToSave.h"

#include "platform/Errors.h"

namespace vandrel {

void RefuseEmptyImage(const Bitmap& bitmap) {
  if (bitmap.empty()) throw Exception(kEmptyImageText);
}

}  // namespace vandrel
