// The shell's playback with the real component: what starts and stops it,
// what it plays at, and what it does with a file it cannot play.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <string>
#include <thread>

#include "shell/text.h"
#include "shell_fixture.h"
#include "wav_bytes.h"

namespace {

using shell_testing::command_labelled;
using shell_testing::ShellTest;
using testing_support::flush_events;

std::string readout(HWND main) {
  wchar_t text[256] = {};
  GetWindowTextW(FindWindowExW(main, nullptr, L"STATIC", nullptr), text, 256);
  return shell::narrow(text);
}

// A WAV file of `frames` frames of silence, its data cut short by `cut` bytes.
std::vector<uint8_t> wav(size_t frames, size_t cut = 0) {
  return shell_testing::WavBytes()
      .format(1, 1, 8000, 16, 2)
      .data(std::vector<int16_t>(frames), cut)
      .bytes;
}

void press_space(shell::MainWindow& window, HWND target) {
  MSG key = {target, WM_KEYDOWN, VK_SPACE, 0x00390001, GetTickCount(), {}};
  if (!window.translate(key)) DispatchMessageW(&key);
  flush_events();
}

TEST_F(ShellTest, PlaybackStartsAndStopsAndPlaysAtTheVolumeFromEverySource) {
  const HWND main = window->window();
  const HMENU menu = GetMenu(main);
  press_space(*window, main);
  ASSERT_TRUE(window->playback().playing());
  EXPECT_NE(std::string::npos, readout(main).find("playing 440 Hz test tone")) << readout(main);

  // The player's volume reaches the playback whatever changes it.
  auto click = [&](UINT id) {
    SendMessageW(main, WM_COMMAND, id, 0);
    flush_events();
    EXPECT_EQ(session->host().volume(), window->playback().volume());
  };
  const HWND quieter = FindWindowExW(main, nullptr, L"BUTTON", L"Quieter (-1 dB)");
  SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(quieter), BN_CLICKED),
               reinterpret_cast<LPARAM>(quieter));
  EXPECT_EQ(-100, window->playback().volume());
  click(command_labelled(menu, "Volume down"));
  EXPECT_LT(window->playback().volume(), -100);
  click(command_labelled(menu, "Volume mute"));
  EXPECT_EQ(-6000, window->playback().volume());

  // Space in the preferences window is the dialog's.
  window->open_preferences();
  flush_events();
  press_space(*window, GetWindow(window->preferences()->frame(), GW_CHILD));
  EXPECT_TRUE(window->playback().playing());
  window->close_preferences();

  SendMessageW(main, WM_COMMAND, command_labelled(menu, "Stop"), 0);
  EXPECT_FALSE(window->playback().playing());
  EXPECT_NE(std::string::npos, readout(main).find("stopped")) << readout(main);
  SendMessageW(main, WM_COMMAND, command_labelled(menu, "Play"), 0);
  EXPECT_TRUE(window->playback().playing());
  press_space(*window, main);
  EXPECT_FALSE(window->playback().playing());
}

TEST_F(ShellTest, AFileThatCannotBePlayedIsShownAndPlaybackGoesOn) {
  const HWND main = window->window();
  window->play();
  const std::wstring broken = shell_testing::temporary_path(L"broken.wav");
  shell_testing::write_file(broken, wav(800, 3));
  const std::wstring missing = shell_testing::temporary_path(L"missing.wav");
  for (const auto& bad :
       {std::make_pair(broken, "cut short"), std::make_pair(missing, "cannot be opened")}) {
    boxes.calls.clear();
    EXPECT_FALSE(window->open_file(bad.first));
    ASSERT_EQ(1u, boxes.calls.size());
    const std::string& text = boxes.calls[0].text;
    EXPECT_NE(std::string::npos,
              text.find(shell::narrow(bad.first.substr(bad.first.rfind('\\') + 1))))
        << text;
    EXPECT_NE(std::string::npos, text.find(bad.second)) << text;
    ASSERT_TRUE(window->playback().playing()) << "the tone goes on";
    EXPECT_EQ("440 Hz test tone", window->playback().sound()->name());
  }
  DeleteFileW(broken.c_str());

  // A good file plays instead, to its end, and then the shell says so.
  const std::wstring good = shell_testing::temporary_path(L"short.wav");
  shell_testing::write_file(good, wav(800));
  ASSERT_TRUE(window->open_file(good));
  EXPECT_NE(std::string::npos, readout(main).find("playing short.wav")) << readout(main);
  for (int i = 0; i < 300 && window->playback().playing(); ++i) {
    Sleep(10);
    flush_events();
  }
  EXPECT_FALSE(window->playback().playing()) << "a tenth of a second, still playing after 3 s";
  EXPECT_NE(std::string::npos, readout(main).find("stopped")) << readout(main);
  DeleteFileW(good.c_str());

  // The tone can be chosen again, and Play then plays it.
  SendMessageW(main, WM_COMMAND, command_labelled(GetMenu(main), "Test tone"), 0);
  EXPECT_NE(std::string::npos, readout(main).find("playing 440 Hz test tone")) << readout(main);
  window->stop();
  window->play();
  EXPECT_NE(std::string::npos, readout(main).find("playing 440 Hz test tone")) << readout(main);
}

// A short sound ends while the next is being opened: the word of its end,
// still on its way to the window, does not stop the next one.
TEST_F(ShellTest, TheEndOfASoundDoesNotStopTheNextOne) {
  const HWND main = window->window();
  const std::wstring first = shell_testing::temporary_path(L"first.wav"),
                     next = shell_testing::temporary_path(L"next.wav");
  shell_testing::write_file(first, wav(80));
  shell_testing::write_file(next, wav(8000 * 60));
  ASSERT_TRUE(window->open_file(first));
  const UINT ended = window->playback().ended_message();
  MSG message;
  bool posted = false;
  for (int i = 0; i < 300 && !posted; ++i) {
    Sleep(10);
    posted = PeekMessageW(&message, main, ended, ended, PM_NOREMOVE) != FALSE;
  }
  ASSERT_TRUE(posted) << "10 ms of sound, not ended after 3 s";
  ASSERT_TRUE(window->open_file(next));
  flush_events();
  EXPECT_TRUE(window->playback().playing());
  EXPECT_NE(std::string::npos, readout(main).find("playing next.wav")) << readout(main);
  window->stop();
  DeleteFileW(first.c_str());
  DeleteFileW(next.c_str());
}

// A file of 2 GiB, mostly a hole on disk, is read as it plays: the window
// goes on answering while it opens.
TEST_F(ShellTest, AFileOfTwoGigabytesOpensWithoutTheWindowWaiting) {
  const HWND main = window->window();
  constexpr uint64_t file_size = uint64_t{2} << 30;
  const std::wstring large = shell_testing::temporary_path(L"two_gigabytes.wav");
  std::vector<uint8_t> header = shell_testing::WavBytes().format(1, 2, 44100, 16, 4).bytes;
  shell_testing::WavBytes data;
  data.bytes.clear();
  data.chunk("data", static_cast<uint32_t>(file_size - header.size() - 8));
  header.insert(header.end(), data.bytes.begin(), data.bytes.end());
  shell_testing::write_file(large, header);
  HANDLE file = CreateFileW(large.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(file_size);
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);

  // Another thread asks the window for an answer again and again, and times
  // each; the window opens the file meanwhile.
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::atomic<bool> done{false}, finished{false};
  std::atomic<int> asked{0};
  double longest_ms = 0;
  std::thread asker([&] {
    while (!done) {
      LARGE_INTEGER before, after;
      QueryPerformanceCounter(&before);
      SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
      QueryPerformanceCounter(&after);
      longest_ms =
          std::max(longest_ms, (after.QuadPart - before.QuadPart) * 1000.0 / frequency.QuadPart);
      ++asked;
      Sleep(1);
    }
    finished = true;
  });
  auto answer_until = [&](int count) {
    while (asked < count && !finished) {
      flush_events();
      Sleep(1);
    }
  };
  answer_until(3);
  const bool opened = window->open_file(large);
  answer_until(asked + 20);
  done = true;
  answer_until(INT_MAX);  // the last question in flight
  asker.join();
  EXPECT_TRUE(opened);
  EXPECT_TRUE(window->playback().playing());
  EXPECT_LT(longest_ms, 50.0) << "the longest wait for the window's answer";
  printf("the window answered within %.1f ms while the file opened\n", longest_ms);
  window->stop();
  DeleteFileW(large.c_str());
}

}  // namespace
