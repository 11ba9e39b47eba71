// The player shell: the component in a window a person can use.
//
//   plinvox_shell.exe [--script] [--config FILE]
//
// --script drives a short session by itself, saves pictures of it, prints
// what it did and exits. The configuration is kept in plinvox_shell.cfg
// beside the program unless --config names another file.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>

#include "shell/main_window.h"
#include "shell/player.h"
#include "shell/scripted_session.h"
#include "shell/text.h"
#include "utf8api_testing.h"

namespace {

struct Options {
  bool script = false;
  std::wstring config_path = shell::program_folder() + L"plinvox_shell.cfg";
  bool valid = true;
};

Options parse_options() {
  Options options;
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; i < count; ++i) {
    const std::wstring argument = arguments[i];
    if (argument == L"--script") {
      options.script = true;
    } else if (argument == L"--config" && i + 1 < count) {
      options.config_path = arguments[++i];
    } else {
      fprintf(stderr, "unknown argument: %s\nusage: plinvox_shell [--script] [--config FILE]\n",
              shell::narrow(argument).c_str());
      options.valid = false;
    }
  }
  LocalFree(arguments);
  return options;
}

// In a scripted run nobody is there to close a message box: what the
// component shows at unload is printed instead.
int __cdecl print_message_box(void*, HWND, const char* text, const char* caption, UINT) {
  printf("message box \"%s\":\n%s\n", caption ? caption : "", text ? text : "");
  return IDOK;
}

}  // namespace

int main() {
  const Options options = parse_options();
  if (!options.valid) return 2;
  if (options.script) utf8api_set_message_box_hook(&print_message_box, nullptr);

  shell::Player player(options.config_path);
  std::string error;
  if (!player.start(&error)) {
    fprintf(stderr, "could not load dwx_volume.dll: %s\n", error.c_str());
    return 1;
  }
  shell::MainWindow window(player);
  window.echo_console = options.script;
  if (!window.create()) {
    fprintf(stderr, "could not create the main window\n");
    return 1;
  }
  window.say(1, "loaded dwx_volume.dll; configuration " + shell::narrow(options.config_path));
  if (!player.config_problem().empty()) window.say(2, player.config_problem());

  int status = 0;
  if (options.script) {
    const shell::SessionReport report = shell::run_scripted_session(window, player);
    for (const std::string& note : report.notes)
      printf("%s\n", note.c_str());
    for (const std::string& picture : report.pictures)
      printf("picture: %s\n", picture.c_str());
    for (const std::string& failure : report.failures)
      fprintf(stderr, "failed: %s\n", failure.c_str());
    status = report.failures.empty() ? 0 : 1;
    PostMessageW(window.window(), WM_CLOSE, 0, 0);
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.translate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  fflush(stdout);
  return status;
}
