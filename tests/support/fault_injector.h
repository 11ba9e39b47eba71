// Makes chosen calls of a loaded module into winmm, utf8api and the C heap
// fail, and counts every call by the place in the module it came from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "support/import_table.h"

namespace testing_support {

// The imports an injector takes over. Each fails as the real function does:
// a winmm call with MMSYSERR_NOMEM (mixerGetNumDevs, which has no error
// result, by finding no device), a window call with null, 0 or FALSE and the
// last error ERROR_NOT_ENOUGH_MEMORY, a heap call with null.
enum class Import {
  mixerOpen,
  mixerGetLineInfoA,
  mixerGetLineInfoW,
  mixerGetLineControlsA,
  mixerGetControlDetailsA,
  mixerSetControlDetails,
  mixerGetDevCapsA,
  mixerGetDevCapsW,
  mixerGetID,
  mixerGetNumDevs,
  uCreateWindowEx,
  uRegisterClass,
  uSetWindowLong,
  uCreateDialog,
  SendNotifyMessageW,
  malloc,
  calloc,
  realloc,
};
constexpr int import_count = static_cast<int>(Import::realloc) + 1;
const char* name_of(Import import);
bool is_heap(Import import);

// One place a call comes from: the import and the offset, in the module's
// image, of the instruction after the call.
struct CallSite {
  Import import;
  uint32_t offset;
  bool operator<(const CallSite& other) const {
    return import != other.import ? import < other.import : offset < other.offset;
  }
  bool operator==(const CallSite& other) const {
    return import == other.import && offset == other.offset;
  }
};

// Which calls fail: at `site`, counted from 1 there, the call `first` and the
// `count` calls from it on (0: every call from it on).
struct FaultPlan {
  CallSite site;
  unsigned first = 1;
  unsigned count = 1;
};

// A call made to fail, with what its arguments say it was: "speakers",
// "by id: source 0" (a mixer named by identifier, not by an open handle),
// "msctls_trackbar32", "user data of msctls_trackbar32", "64 bytes".
struct InjectedFault {
  CallSite site;
  unsigned nth;
  std::string what;
};

// One at a time: the replacements find it through a global. Calls from any
// thread are counted. Must go before the module is loaded again: the module
// may come back at the same address.
class FaultInjector {
 public:
  explicit FaultInjector(HMODULE module);
  ~FaultInjector();

  // Every import the module has was taken over (it may lack some).
  bool applied() const;
  void arm(const FaultPlan& plan);
  void disarm();

  // Every site seen so far, with its number of calls.
  std::vector<std::pair<CallSite, unsigned>> sites() const;
  std::vector<InjectedFault> faults() const;
  // Heap blocks the module took through the patched functions and has not
  // given back.
  size_t live_blocks() const;

  // Called by the replacements: counts the call and says whether it fails;
  // a failing one then says what it was.
  bool fails(Import import, void* return_address);
  void describe_fault(std::string what);
  void allocated(void* block);
  void freed(void* block);
  template <class F>
  F original(Import import) const {
    return patches_[static_cast<int>(import)]->original<F>();
  }
  template <class F>
  F original_free() const {
    return free_patch_->original<F>();
  }

 private:
  uintptr_t base_;
  std::unique_ptr<ImportPatch> patches_[import_count];
  std::unique_ptr<ImportPatch> free_patch_;
  mutable std::mutex mutex_;
  std::vector<std::pair<CallSite, unsigned>> counts_;
  bool armed_ = false;
  FaultPlan plan_;
  std::vector<InjectedFault> faults_;
  std::set<void*> blocks_;
};

}  // namespace testing_support
