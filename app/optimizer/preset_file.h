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
  // True only when writing the items and the index back gives the file's content again, with
  // nothing left out: not cut at the size limit, no more than kMaxPresetItems items, no field
  // missing, nothing after the index or after an item's closing quote, an index within the
  // list, no byte that code page 936 does not read as a character, no item that could not be
  // written back as one quoted field. Replacing a file that is not whole would lose something.
  bool whole = false;
};

// Limits that keep a damaged or hostile file from costing unbounded time or memory: only the
// first kMaxPresetFileBytes are read and at most kMaxPresetItems items are taken. A file that
// begins with a UTF-8 or UTF-16 byte-order mark is read in that encoding.
inline constexpr std::size_t kMaxPresetFileBytes = 1 << 20;
inline constexpr int kMaxPresetItems = 10000;

PresetFileContent ParsePresetFile(std::string_view bytes, const AnsiCodec& codePage936);
std::string FormatPresetFile(const std::vector<std::wstring>& items, int selectedIndex,
                             const AnsiCodec& codePage936);

// What reading the preset file found. A file that exists but could not be read (held open by
// another program without sharing, no rights, a read error) is kFailed, never kMissing.
struct PresetFileRead {
  enum class Outcome { kRead, kMissing, kFailed };
  Outcome outcome = Outcome::kMissing;
  // kRead: the file's first bytes, at most one byte more than kMaxPresetFileBytes, so that a
  // file cut at the limit can be told from one that fits.
  std::string bytes;
  std::wstring error{};  // kFailed: why, as the system tells it
};

// Where the preset file lives: read whole, and replaced atomically so a failed write leaves the
// previous file intact.
class PresetFileStore {
 public:
  virtual ~PresetFileStore() = default;
  virtual PresetFileRead Read() = 0;
  // Replaces the file's content; false and why when it could not be written.
  virtual bool Write(std::string_view bytes, std::wstring& error) = 0;
  // Copies the file as it is now to TQSE.ini.bak beside it; false and why when that failed.
  virtual bool KeepBackup(std::wstring& error) = 0;
};

}  // namespace svctune
