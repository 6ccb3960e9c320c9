#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace svctune::win {

// The arguments the program was started with, without its own name, split as the C runtime
// splits them.
std::vector<std::wstring> ProgramArguments();

// Runs the command line: no window; the output goes to standard output when the process has
// one (a file or a pipe of the program that started it), otherwise to the console of the
// program that started it. With neither, a run that ends with an exit code other than 0 shows
// its output in a message box on the user's desktop. Returns the exit code.
int RunCommandLineMode(const std::vector<std::wstring>& arguments);

// Writes text to standard output, or to the parent's console when there is none: a console as
// wide text, a file or a pipe in the OEM code page, as console programs write. False when
// there is neither.
bool WriteOutput(std::wstring_view text);

}  // namespace svctune::win
