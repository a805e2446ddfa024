#include "tests/support/GuiTest.h"

VANDREL_GUI_TEST_MAIN()
