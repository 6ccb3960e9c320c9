#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "deployment/security_template.h"
#include "optimizer/service_dependents.h"

namespace svctune {

// What a command-line run prints: one line per service whose start type changed, one per
// skip or failure, one per warning, then a summary. Lines end in CR LF.

struct StartTypeChange {
  std::wstring serviceKey;
  std::optional<std::uint32_t> before;  // nothing: no start type could be read
  std::uint32_t after = 0;
  std::wstring beforeProblem{};  // no start type before: what the key held instead, if anything
};

enum class SkipReason {
  kNotInCatalogue,    // a template line for a service this program does not manage
  kUnsupportedMode,   // a start mode other than 2, 3 or 4
  kNotOnMachine,      // the machine has no such service
  kNameNotWritable,   // the template's grammar cannot carry the key name
  kKeyNotWritable,    // a registry file's key line cannot carry the key name
  kDamagedStartType,  // the service's Start is no 32-bit number, or cannot be read
  kNoRecord,          // nothing was recorded for it at the first start
  kDamagedRecord,     // the record of the first start is no REG_DWORD from 0 to 4
};

struct RunSkip {
  std::wstring serviceKey;
  SkipReason reason = SkipReason::kNotOnMachine;
  int line = 0;  // the template's line, 0 when the skip has none
  std::uint32_t mode = 0;
};

// A write that did not take: the machine was read back and does not hold what was written.
struct RunFailure {
  std::wstring serviceKey;
  std::uint32_t wanted = 0;
  std::optional<std::uint32_t> found;
  // When nothing was found: what the key holds in place of a number; empty when the service
  // has gone.
  std::wstring problem;
  std::wstring cause{};  // why it was not written, when the run knows
};

struct RunReport {
  std::vector<StartTypeChange> changes;
  std::size_t unchanged = 0;
  std::vector<RunSkip> skips;
  std::vector<RunFailure> failures;
  // Choices the next start reads that could not be saved: what, and why.
  std::vector<std::pair<std::wstring, std::wstring>> unsaved;
  std::vector<DisableWarning> warnings;
  std::size_t descriptorsIgnored = 0;  // template lines whose security descriptor was not applied
  std::vector<std::wstring> notes;     // anything else the run has to say
};

// "Key：reason", as a skip line and the window's messages name a service left alone.
std::wstring DescribeSkip(const RunSkip& skip);

std::vector<RunSkip> SkipsOf(const SecurityTemplate& securityTemplate);
std::vector<RunSkip> SkipsOf(const SecurityTemplateFile& written);

std::wstring FormatRunReport(const RunReport& report);
// 0 when every write took, 1 when some failed.
int ExitCodeOf(const RunReport& report);

// What /export prints: where it wrote how many services, and each service left out.
std::wstring FormatExportReport(std::wstring_view file, std::size_t exported,
                                const std::vector<RunSkip>& skips);

// A run that stopped before it changed anything: the reason on one line, its control
// characters escaped.
std::wstring FormatRefusal(std::wstring_view reason);

// What /apply prints for a template that sets no service (no [Service General Setting], an
// empty one, or only lines it skips): the skips, and that nothing was written.
std::wstring FormatNothingToApply(const SecurityTemplate& securityTemplate);

struct LogTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// One run's entry for the /log file, in UTF-8: a heading with the date, the time and the
// arguments (the password masked), then what was printed. A new file begins with the UTF-8
// byte-order mark, so that Notepad on XP reads it as UTF-8.
std::string FormatLogEntry(const LogTime& time, const std::vector<std::wstring>& arguments,
                           std::wstring_view printed, bool newFile);

}  // namespace svctune
