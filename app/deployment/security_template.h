#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/service_catalogue.h"
#include "optimizer/machine_start_types.h"
#include "text/ansi_codec.h"

namespace svctune {

// Group Policy security templates: what secedit and the Group Policy editor import. Only the
// services' start types are written and read ([Service General Setting]); nothing else of a
// template is touched.
inline constexpr std::wstring_view kSecurityTemplateDefaultName = L"服务启动方式.inf";

// Templates are small; a bigger file is refused unread.
inline constexpr std::size_t kMaxSecurityTemplateBytes = 4 << 20;

struct SecurityTemplateFile {
  std::string bytes;  // UTF-16LE with its byte-order mark, lines ended by CR LF
  std::size_t written = 0;
  // Services not written: a start type other than 2, 3 or 4, or a key name the template's
  // grammar cannot carry.
  std::vector<ServiceStartType> leftOut;
};

// [Unicode] Unicode=yes, [Version] signature="$CHICAGO$" Revision=1, then one line
// "Name",N,"" per service in [Service General Setting]. The empty third field leaves every
// machine's service permissions as they are.
SecurityTemplateFile FormatSecurityTemplate(const std::vector<ServiceStartType>& services);

// 2, 3 or 4: the start modes a template sets here.
bool IsTemplateStartMode(std::uint32_t mode);

enum class TemplateSkipReason {
  kNotInCatalogue,   // a service this program does not manage, with a start mode of 2, 3 or 4
  kUnsupportedMode,  // a start mode other than 2, 3 or 4, whatever the service
};

// A line of [Service General Setting] that is read and not applied.
struct TemplateSkip {
  int line = 0;
  std::wstring serviceName;
  int mode = 0;
  TemplateSkipReason reason = TemplateSkipReason::kNotInCatalogue;
};

// A line that sets the start type of a catalogue service.
struct TemplateSetting {
  int line = 0;
  const ServiceEntry* entry = nullptr;
  StartType type = StartType::kAutomatic;
  bool hasDescriptor = false;  // a security descriptor stood in the third field; never applied
};

struct SecurityTemplate {
  // False when the file is no template or breaks the grammar: then nothing of it is applied,
  // and error (with errorLine, 0 for the file as a whole) says why.
  bool wellFormed = false;
  std::wstring error;
  int errorLine = 0;
  bool hasServiceSection = false;
  std::vector<TemplateSetting> settings;  // in the file's order
  std::vector<TemplateSkip> skipped;
};

// Reads a template: UTF-16LE or UTF-16BE or UTF-8 after a byte-order mark, otherwise the
// ANSI code page. Section names ignore letter case; blank lines and lines beginning with ';'
// are skipped. [Version] must carry signature="$CHICAGO$" (and Revision=1 when it names one).
// Each line of [Service General Setting] must follow the published grammar: a service name,
// quoted (1 to 256 characters a service key may hold, blanks and commas included: no slash,
// backslash or control character) or not (1 to 256 name characters, ending at the comma); a
// one-digit start mode; a security descriptor, quoted or not, possibly empty. A service named
// on two lines makes the file ill-formed. A quoted name is kept as the key's text.
SecurityTemplate ParseSecurityTemplate(std::string_view bytes, const AnsiCodec& ansiCodePage);

}  // namespace svctune
