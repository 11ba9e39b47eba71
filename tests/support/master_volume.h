// The master volume of one of the system's real mixers, read and set by the test itself.
#pragma once

#include <windows.h>

#include <mmsystem.h>

namespace testing_support {

// Opens the mixer with its own handle; winmm keeps one value per control for
// the whole process, so what the test sets here the component reads, and the
// other way round. Puts back the value it found when it goes.
class MasterVolume {
 public:
  explicit MasterVolume(UINT mixer_id);
  ~MasterVolume();
  MasterVolume(const MasterVolume&) = delete;
  MasterVolume& operator=(const MasterVolume&) = delete;

  bool ready() const { return ready_; }
  DWORD minimum() const { return minimum_; }
  DWORD maximum() const { return maximum_; }
  DWORD get() const;
  bool set(DWORD value);

 private:
  HMIXER mixer_ = nullptr;
  DWORD control_id_ = 0;
  DWORD minimum_ = 0;
  DWORD maximum_ = 0;
  DWORD saved_ = 0;
  bool ready_ = false;
};

}  // namespace testing_support
