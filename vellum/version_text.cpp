#include "version_text.h"

#include <cstring>

namespace svctune::vellum {

namespace {

constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;

std::uint32_t ReadU32(const unsigned char* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
         (static_cast<std::uint32_t>(bytes[2]) << 16) |
         (static_cast<std::uint32_t>(bytes[3]) << 24);
}

}  // namespace

std::optional<FileVersion> ParseFileVersion(const unsigned char* data, std::size_t size) {
  // VS_FIXEDFILEINFO: signature, struct version, file version MS, file version LS, ...
  constexpr std::size_t kNeeded = 16;
  if (data == nullptr) {
    return std::nullopt;
  }
  for (std::size_t offset = 0; offset + kNeeded <= size; offset += 4) {
    if (ReadU32(data + offset) != kFixedInfoSignature) {
      continue;
    }
    const std::uint32_t high = ReadU32(data + offset + 8);
    const std::uint32_t low = ReadU32(data + offset + 12);
    FileVersion version;
    version.major = static_cast<std::uint16_t>(high >> 16);
    version.minor = static_cast<std::uint16_t>(high & 0xFFFF);
    version.build = static_cast<std::uint16_t>(low >> 16);
    version.revision = static_cast<std::uint16_t>(low & 0xFFFF);
    return version;
  }
  return std::nullopt;
}

std::wstring VersionLabel(const FileVersion& version) {
  return L"版本 " + std::to_wstring(version.major) + L"." + std::to_wstring(version.minor) + L"." +
         std::to_wstring(version.revision);
}

}  // namespace svctune::vellum
