#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/ansi_codec.h"

namespace svctune {

// The preset list file TQSE.ini beside the program. Despite its name it is a sequential text
// file in code page 936, one field per line ended by CR LF: the number of items N, the N item
// texts in double quotes, then the selected index (-1 for none).
inline constexpr std::wstring_view kPresetFileName = L"TQSE.ini";

// What could be read of a preset file. Reading stops at the first field that is missing or is
// not a number where a number belongs; everything read before it is kept.
struct PresetFileContent {
  std::vector<std::wstring> items;
  std::optional<int> selectedIndex;
};

// Limits that keep a damaged or hostile file from costing unbounded time or memory: only the
// first kMaxPresetFileBytes are read and at most kMaxPresetItems items are taken.
inline constexpr std::size_t kMaxPresetFileBytes = 1 << 20;
inline constexpr int kMaxPresetItems = 10000;

PresetFileContent ParsePresetFile(std::string_view bytes, const AnsiCodec& codePage936);
std::string FormatPresetFile(const std::vector<std::wstring>& items, int selectedIndex,
                             const AnsiCodec& codePage936);

// Where the preset file lives: read whole, and replaced atomically so a failed write leaves the
// previous file intact.
class PresetFileStore {
 public:
  virtual ~PresetFileStore() = default;
  // The file's first bytes (at most kMaxPresetFileBytes); nothing when it cannot be opened.
  virtual std::optional<std::string> Read() = 0;
  // Replaces the file's content; false when it could not be written.
  virtual bool Write(std::string_view bytes) = 0;
};

}  // namespace svctune
