#pragma once
// The former name of the shared temporary-folder helper, kept while the histogram tests
// still include it; new code includes tests/support/TempDir.h.
#include "tests/support/TempDir.h"

namespace vandrel::testing {

using TempFolder = TempDir;

}  // namespace vandrel::testing
