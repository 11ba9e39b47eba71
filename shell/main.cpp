// The player shell: the component in a window a person can use.
//
//   plinvox_shell.exe [--script] [--config FILE] [--play FILE | FILE]
//
// --script drives a short session by itself, saves pictures of it, prints
// what it did and exits; it keeps its settings in a temporary file of its
// own unless --config names one. Otherwise the configuration is kept in
// plinvox_shell.cfg beside the program when that file exists (a portable
// copy), in %APPDATA%\Plinvox otherwise, or in the file --config names.
// A WAV file, named after --play or by itself (as "Open with" and a file
// dropped on the program name it), plays at once.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/component_session.h"
#include "shell/config_location.h"
#include "shell/last_resort.h"
#include "shell/main_window.h"
#include "shell/scripted_session.h"
#include "shell/text.h"
#include "utf8api_testing.h"

namespace {

constexpr char usage[] = "plinvox_shell [--script] [--config FILE] [--play FILE | FILE]";

struct Options {
  bool script = false;
  std::wstring config_path;
  std::vector<std::wstring> files;  // to play
  std::string problem;              // what was not understood, if anything
};

Options parse_options() {
  Options options;
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 1; i < count; ++i) {
    const std::wstring argument = arguments[i];
    const bool has_value = i + 1 < count;
    if (argument == L"--script") {
      options.script = true;
    } else if (argument == L"--config" && has_value) {
      options.config_path = arguments[++i];
    } else if (argument == L"--play" && has_value) {
      options.files.push_back(arguments[++i]);
    } else if (!argument.empty() && argument[0] != L'-') {
      options.files.push_back(argument);
    } else if (options.problem.empty()) {
      options.problem = argument == L"--config" || argument == L"--play"
                            ? shell::narrow(argument) + " needs a file name after it"
                            : "unknown argument: " + shell::narrow(argument);
    }
  }
  LocalFree(arguments);
  return options;
}

bool valid_handle(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// A Windows program has no console of its own: what it prints goes to the
// handles it was given (a file, a pipe), or else to the console of the
// program that started it, if there is one.
void find_standard_output() {
  if (valid_handle(STD_OUTPUT_HANDLE) && valid_handle(STD_ERROR_HANDLE)) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (!valid_handle(STD_OUTPUT_HANDLE)) freopen("CONOUT$", "w", stdout);
  if (!valid_handle(STD_ERROR_HANDLE)) freopen("CONOUT$", "w", stderr);
}

// In a scripted run nobody is there to close a message box: what the
// component or the shell shows is printed instead.
int __cdecl print_message_box(void*, HWND, const char* text, const char* caption, UINT) {
  printf("message box \"%s\":\n%s\n", caption ? caption : "", text ? text : "");
  return IDOK;
}

bool scripted = false;  // once the options are read

// A Windows program has no console: what it has to say goes in a message
// box, except in a scripted run, which prints.
void tell(const std::string& text) {
  if (scripted) {
    fprintf(stderr, "%s\n", text.c_str());
    fflush(stderr);
  } else {
    MessageBoxW(nullptr, shell::widen(text).c_str(), L"Plinvox shell", MB_OK | MB_ICONERROR);
  }
}

int run() {
  Options options = parse_options();
  scripted = options.script;
  if (!options.problem.empty()) {
    tell(options.problem + "\n\nusage: " + usage);
    return 2;
  }
  const bool own_config = options.script && options.config_path.empty();
  if (own_config) options.config_path = shell::scripted_config_path();
  if (options.config_path.empty()) options.config_path = shell::default_config_path();
  if (options.script) utf8api_set_message_box_hook(&print_message_box, nullptr);

  int status = 0;
  {
    shell::ComponentSession session(options.config_path);
    std::string error;
    if (!session.start(&error)) {
      tell("could not load dwx_volume.dll: " + error);
      return 1;
    }
    shell::MainWindow window(session);
    window.echo_console(options.script);
    if (!window.create()) {
      tell("could not create the main window");
      return 1;
    }
    window.open_files(options.files);

    if (options.script) {
      const shell::SessionReport report = shell::run_scripted_session(window, session);
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
  }
  if (own_config) shell::remove_scripted_config(options.config_path);
  fflush(stdout);
  return status;
}

}  // namespace

int main() {
  find_standard_output();
  shell::tell_at_terminate(&tell);
  // No exception leaves the shell unsaid. The windows and the component are
  // gone by the time the handler runs: they end as at a close.
  try {
    return run();
  } catch (...) {
    tell(shell::stop_text());
    return 3;
  }
}
