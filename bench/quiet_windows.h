// Windows that answer at once, standing in for the controls the component creates.
#pragma once

#include <windows.h>

#include "support/import_table.h"

namespace bench {

// A quiet trackbar answers only the queries the component's drag and wheel
// go on from (channel, thumb, position, range), with fixed plausible
// values; a plain quiet window answers nothing. Both return at once.
enum class QuietKind { trackbar, plain };
HWND create_quiet_window(QuietKind kind, DWORD ex_style, DWORD style, int x, int y, int width,
                         int height, HWND parent);
// Whether the window is a quiet trackbar.
bool is_quiet_trackbar(HWND window);

// While it lives, the component's trackbars and tooltips are created as
// quiet windows (its uCreateWindowEx import is patched); its own windows
// are created as usual. One at a time.
class QuietControls {
 public:
  explicit QuietControls(HMODULE component);
  QuietControls(const QuietControls&) = delete;
  QuietControls& operator=(const QuietControls&) = delete;

  bool applied() const { return patch_.applied(); }

 private:
  testing_support::ImportPatch patch_;
};

}  // namespace bench
