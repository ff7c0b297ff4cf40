// Handing a file or a URL to the shell with the verb "Open", as the windows'
// links, the donate picture and the status window's messenger start do.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace quorvex::win32 {

// Asks the shell to open target (UTF-8) with the show command given, owned
// by owner, without waiting for the program it starts. When the shell
// refuses, onFailure gets "Cannot open "<target>". <the system's reason>".
void ShellOpen(HWND owner, const std::string& target, int showCommand,
               const std::function<void(const std::string& message)>& onFailure);

}  // namespace quorvex::win32
