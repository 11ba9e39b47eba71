// Screen capture for tests: the stand-in host's, which the shell uses too.
#pragma once

#include "standin_host/screenshot.h"

namespace testing_support {
using standin::capture_screen;
using standin::capture_window;
using standin::encode_png;
using standin::Picture;
using standin::save_png;
using standin::screenshot_path;
}  // namespace testing_support
