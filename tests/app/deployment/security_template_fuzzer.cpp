// Fuzz target for the security template reader: any bytes are read without crashing, an
// ill-formed file yields nothing to apply, and what a well-formed one sets is written and read
// back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "deployment/security_template.h"
#include "text/iconv_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const svctune::IconvCodec gbk("GBK");
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const svctune::SecurityTemplate read = svctune::ParseSecurityTemplate(bytes, gbk);
  if (!read.wellFormed) {
    if (!read.settings.empty() || !read.skipped.empty() || read.error.empty()) {
      std::abort();
    }
    return 0;
  }
  std::vector<svctune::ServiceStartType> services;
  for (const svctune::TemplateSetting& setting : read.settings) {
    services.push_back(
        {std::wstring(setting.entry->serviceKey), static_cast<std::uint32_t>(setting.type)});
  }
  const svctune::SecurityTemplate reread =
      svctune::ParseSecurityTemplate(svctune::FormatSecurityTemplate(services).bytes, gbk);
  if (!reread.wellFormed || reread.settings.size() != read.settings.size()) {
    std::abort();
  }
  for (std::size_t i = 0; i < read.settings.size(); ++i) {
    if (reread.settings[i].entry != read.settings[i].entry ||
        reread.settings[i].type != read.settings[i].type) {
      std::abort();
    }
  }
  return 0;
}
