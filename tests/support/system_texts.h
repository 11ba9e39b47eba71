// The texts the system has for result codes, as the component should quote them.
#pragma once

#include <string>

namespace testing_support {

// What winmm's own message table says for a result code (nothing, on Wine).
std::string winmm_text(unsigned code);
// What the system's message table says for an error code.
std::string system_text(unsigned code);

}  // namespace testing_support
