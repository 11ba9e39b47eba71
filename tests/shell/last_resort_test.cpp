// The shell's last resort: an exception thrown where nothing can catch it is
// said before the shell ends.
#include "shell/last_resort.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <thread>

namespace {

void print(const std::string& text) {
  fprintf(stderr, "%s\n", text.c_str());
  fflush(stderr);
}

TEST(LastResortDeathTest, AnExceptionNothingCatchesIsSaidAndEndsTheShellWithCode3) {
  const struct {
    const char* kind;
    void (*thrower)();
    const char* said;  // a GoogleTest simple regex: no parentheses
  } cases[] = {
      {"a standard exception", [] { throw std::length_error("cannot create std::vector larger"); },
       "has to stop: cannot create std::vector larger"},
      {"anything else", [] { throw 42; }, "has to stop: an exception of a kind it does not know"},
  };
  for (const auto& c : cases) {
    EXPECT_EXIT(
        {
          shell::tell_at_terminate(&print);
          std::thread(c.thrower).join();
        },
        testing::ExitedWithCode(3), c.said)
        << c.kind;
  }
}

}  // namespace
