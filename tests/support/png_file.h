#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace svctune::testing {

// Writes an 8-bit RGB PNG of width x height pixels given as 0x00RRGGBB, rows top to bottom
// (stored deflate blocks: large, but readable by every viewer). False when the file cannot be
// written or the sizes do not match.
bool WritePng(const std::string& path, int width, int height,
              const std::vector<std::uint32_t>& pixels);

}  // namespace svctune::testing
