#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace svctune::vellum {

// The file version of a module as its version resource states it (FILEVERSION a,b,c,d).
struct FileVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t build = 0;
  std::uint16_t revision = 0;
};

// Finds the fixed file information (signature 0xFEEF04BD, DWORD-aligned) in the raw bytes of a
// version resource; nullopt when it is missing or cut short.
std::optional<FileVersion> ParseFileVersion(const unsigned char* data, std::size_t size);

// "版本 " followed by major.minor.revision, the library version as the about box shows it;
// the build number takes no part, as in the version numbers of the development tools the
// controls' hosts come from.
std::wstring VersionLabel(const FileVersion& version);

}  // namespace svctune::vellum
