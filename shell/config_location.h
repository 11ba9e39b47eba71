// Where the shell's configuration file lives.
#pragma once

#include <string>

namespace shell {

// Beside the program when a file is there already (a portable copy),
// otherwise where Windows programs keep theirs: %APPDATA%\Plinvox.
std::wstring default_config_path();
// A file in a new folder of its own under the temporary folder, for a
// scripted session, which must not change the user's settings.
std::wstring scripted_config_path();
// Removes that file and its folder.
void remove_scripted_config(const std::wstring& path);
// The path as the shell shows it, the user's folders by their names
// (%APPDATA%, %TEMP%): the console shows no path of this machine.
std::string shown_path(const std::wstring& path);

}  // namespace shell
