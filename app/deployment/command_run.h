#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "deployment/command_line.h"
#include "deployment/run_report.h"
#include "optimizer/preset_file.h"
#include "optimizer/service_list.h"
#include "optimizer/service_manager.h"
#include "registry/registry_api.h"
#include "text/ansi_codec.h"

namespace svctune {

// What a command-line run asks of the system around it.
class CommandPlatform {
 public:
  enum class Instance {
    kNone,    // no other copy runs: the mark is now this run's
    kWindow,  // the window runs on this machine
    kOther,   // the mark is held, but no window of a running copy is to be found
  };
  struct FileRead {
    bool read = false;
    std::string bytes;
    std::wstring error;  // why it could not be read
  };

  virtual ~CommandPlatform() = default;
  // Takes the program's one-instance mark for the rest of the run, unless another copy holds
  // it.
  virtual Instance ClaimInstance() = 0;
  virtual LogTime Now() = 0;
  // The file's first bytes, at most limit of them.
  virtual FileRead ReadFile(const std::wstring& path, std::size_t limit) = 0;
  // Replaces the file's content; false and why when it could not be written.
  virtual bool WriteFile(const std::wstring& path, std::string_view bytes, std::wstring& error) = 0;
  // Adds to the end of the file, which is made when missing; entry is asked for the bytes,
  // told whether the file is empty.
  virtual bool AppendToFile(const std::wstring& path,
                            const std::function<std::string(bool empty)>& entry,
                            std::wstring& error) = 0;
  // The running program's own file, in full.
  virtual std::wstring ProgramPath() = 0;
  // Whether the two paths name the same file, however written (another letter case, a short
  // name, a relative path, a link); a file that does not exist is compared by its full path.
  virtual bool SameFile(const std::wstring& first, const std::wstring& second) = 0;
  // What /list asks whether services run, and what resolves indirect texts: by default
  // nothing answers.
  virtual ServiceManager& Services() { return noServices_; }
  virtual IndirectTextResolver& IndirectTexts() { return noTexts_; }

 private:
  NoServiceManager noServices_;
  NoIndirectTexts noTexts_;
};

struct CommandOutcome {
  int exitCode = kExitDone;
  std::wstring printed;    // what the run says, lines ended by CR LF
  std::string bytes = {};  // for standard output as they are, before printed (/list's inventory)
};

// svctune.exe with arguments: reads them and does what they ask without a window, by driving
// the models the window drives, as a start of the window would (the first start's record, the
// load step, the action, the shutdown's save). Nothing is written when the arguments or the
// file they name are refused (exit code 2; /export and /log may not name the program's own
// files, nor /log the file of /apply or /export), when the start-up password is missing or wrong
// (3), or while another copy runs (4). With /log, what is printed is also appended to the log.
// The registry is reached through the seam given, in the system's ANSI code page; a message
// the registry layer or a model would show becomes a line of the output.
CommandOutcome RunCommandLine(const std::vector<std::wstring>& arguments,
                              registry::RegistryApi& registryApi, const AnsiCodec& systemCodePage,
                              PresetFileStore& presetFile, const AnsiCodec& codePage936,
                              CommandPlatform& platform);

}  // namespace svctune
