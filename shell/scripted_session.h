// A short session driven as a person would drive it, with pictures taken on the way.
#pragma once

#include <string>
#include <vector>

#include "shell/main_window.h"
#include "shell/component_session.h"

namespace shell {

struct SessionReport {
  std::vector<std::string> pictures;  // paths of the PNG files saved
  std::vector<std::string> notes;     // what was done, and what was seen
  std::vector<std::string> failures;  // what did not go as it should
};

// Drags the toolbar slider with its tooltip showing, turns the wheel over
// it, mutes, opens the preferences and picks the first mixer device. The
// window stays open; the caller closes it.
SessionReport run_scripted_session(MainWindow& window, ComponentSession& session);

}  // namespace shell
