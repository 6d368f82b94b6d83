// One QApplication for all tests of this program, and the watch for what a test leaves behind.
#include "gui_environment.h"

namespace {

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new gui_test::QtEnvironment("test_graphics_gui"));

}  // namespace
