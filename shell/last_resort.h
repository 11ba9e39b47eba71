// The shell's last resort: an exception that nothing else caught is said, not lost.
#pragma once

#include <string>

namespace shell {

// What stops the shell, in words for a message box: the exception being
// handled now, in a catch block or a terminate handler (what() of a standard one).
std::string stop_text();

// From now on std::terminate, reached by an exception thrown where nothing
// can catch it (on another thread, or through the frames of Windows under a
// window procedure), says what the exception was through `tell` and ends the
// process with exit code 3.
void tell_at_terminate(void (*tell)(const std::string& text));

}  // namespace shell
