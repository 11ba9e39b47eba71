// The shell's last resort for exceptions nothing else caught.
#include "shell/last_resort.h"

#include <windows.h>

#include <exception>

namespace shell {

namespace {

void (*terminate_tell)(const std::string&) = nullptr;

[[noreturn]] void on_terminate() {
  if (terminate_tell != nullptr) {
    terminate_tell(stop_text());
  }
  // What is still loaded is not unloaded: its state is not to be trusted now.
  ExitProcess(3);
}

}  // namespace

std::string stop_text() {
  std::string what = "it was ended without an exception";
  if (const std::exception_ptr error = std::current_exception()) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& standard) {
      what = standard.what();
    } catch (...) {
      what = "an exception of a kind it does not know";
    }
  }
  return "The Plinvox shell has to stop: " + what + ".";
}

void tell_at_terminate(void (*tell)(const std::string& text)) {
  terminate_tell = tell;
  std::set_terminate(&on_terminate);
}

}  // namespace shell
