#pragma once
// Runs a test body once for each way the atomic writer has: through unnamed temporary files
// (the default) and through named ones, as on file systems without unnamed files.
#include <gtest/gtest.h>

#include <functional>

#include "platform/AtomicFile.h"

namespace vandrel::testing {

inline void ForEachWritingWay(const std::function<void(bool unnamed)>& body) {
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed temporary files" : "named temporary files");
    vandrel::UseUnnamedTemporaryFiles(unnamed);
    body(unnamed);
    vandrel::UseUnnamedTemporaryFiles(true);
    if (::testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace vandrel::testing
