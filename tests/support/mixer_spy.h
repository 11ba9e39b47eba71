// Watches a loaded module's calls into the real winmm mixer and passes each on unchanged.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/import_table.h"

namespace testing_support {

// Where Wine's own mixer is the one under test, this shows when the module
// opens, closes, reads and writes it: "mixerOpen(0)", "mixerClose",
// "mixerGetControlDetailsA", "mixerSetControlDetails(value)".
class MixerSpy {
 public:
  explicit MixerSpy(HMODULE module);
  ~MixerSpy();

  bool applied() const;
  std::vector<std::string> calls;

 private:
  friend struct MixerSpyCalls;
  std::vector<std::unique_ptr<ImportPatch>> patches_;
};

}  // namespace testing_support
