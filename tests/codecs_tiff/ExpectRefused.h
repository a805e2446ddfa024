#pragma once
// For the tests of files that libtiff writes and the reader must refuse: refused with the
// reader's own text for what the file holds, never decoded and never taken for a damaged
// file.
#include <gtest/gtest.h>

#include <string>

#include "TiffFixture.h"
#include "codecs/common/ImageCommon.h"
#include "codecs/tiff/TiffImage.h"

namespace tifftest {

inline void ExpectRefused(const std::string& path, const char* message) {
  try {
    vandrel::DecodeTiff(ReadFile(path));
    ADD_FAILURE() << "decoded";
  } catch (const vandrel::EInvalidImage& e) {
    ADD_FAILURE() << "read error " << e.what();
  } catch (const vandrel::Exception& e) {
    EXPECT_STREQ(e.what(), message);
  }
}

}  // namespace tifftest
