#include "optimizer/preset_file.h"

#include <limits>

#include "text/unicode_text.h"

namespace svctune {
namespace {

// Reads comma- and line-separated fields the way sequential text files are read back: leading
// blanks are skipped, a quoted field loses its quotes and may hold commas, an unquoted field
// ends at a comma or the end of the line.
class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}

  std::optional<std::string> Next() {
    while (at_ < bytes_.size() && (bytes_[at_] == ' ' || bytes_[at_] == '\t')) {
      ++at_;
    }
    if (at_ >= bytes_.size()) {
      return std::nullopt;
    }
    std::string field;
    if (bytes_[at_] == '"') {
      ++at_;
      while (at_ < bytes_.size() && bytes_[at_] != '"' && !AtLineEnd()) {
        field += bytes_[at_++];
      }
      if (at_ < bytes_.size() && bytes_[at_] == '"') {
        ++at_;
      }
      // What stands between the closing quote and the separator is not taken.
      SkipToSeparator();
    } else {
      while (at_ < bytes_.size() && bytes_[at_] != ',' && !AtLineEnd()) {
        field += bytes_[at_++];
      }
      while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) {
        field.pop_back();
      }
    }
    ConsumeSeparator();
    return field;
  }

  // True when a field left something out, or anything but blanks and line ends follows the
  // last field read.
  bool LeftSomethingOut() const {
    if (leftOut_) {
      return true;
    }
    for (std::size_t at = at_; at < bytes_.size(); ++at) {
      if (!IsBlank(bytes_[at]) && bytes_[at] != '\r' && bytes_[at] != '\n') {
        return true;
      }
    }
    return false;
  }

 private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t'; }
  bool AtLineEnd() const { return bytes_[at_] == '\r' || bytes_[at_] == '\n'; }
  void SkipToSeparator() {
    while (at_ < bytes_.size() && bytes_[at_] != ',' && !AtLineEnd()) {
      leftOut_ = leftOut_ || !IsBlank(bytes_[at_]);
      ++at_;
    }
  }
  void ConsumeSeparator() {
    if (at_ >= bytes_.size()) {
      return;
    }
    if (bytes_[at_] == ',') {
      ++at_;
    } else if (bytes_[at_] == '\r') {
      ++at_;
      if (at_ < bytes_.size() && bytes_[at_] == '\n') {
        ++at_;
      }
    } else if (bytes_[at_] == '\n') {
      ++at_;
    }
  }

  std::string_view bytes_;
  std::size_t at_ = 0;
  bool leftOut_ = false;
};

std::optional<int> ParseWholeNumber(const std::string& field) {
  std::size_t at = 0;
  const bool negative = !field.empty() && field[0] == '-';
  if (!field.empty() && (field[0] == '-' || field[0] == '+')) {
    at = 1;
  }
  if (at >= field.size()) {
    return std::nullopt;
  }
  long long value = 0;
  for (; at < field.size(); ++at) {
    if (field[at] < '0' || field[at] > '9') {
      return std::nullopt;
    }
    value = value * 10 + (field[at] - '0');
    if (value > std::numeric_limits<int>::max()) {
      return std::nullopt;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

// The file's fields as code page 936 bytes. A file with a byte-order mark is decoded and set
// into code page 936, the only form the fields are read in; lossless is false when it held
// characters that code page cannot keep.
std::string InCodePage936(std::string_view bytes, const AnsiCodec& codePage936, bool& lossless) {
  lossless = true;
  std::wstring text;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    text = FromUtf8(bytes.substr(3));
  } else if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
    text = FromUtf16(bytes.substr(2), bytes[0] == '\xFE');
  } else {
    return std::string(bytes);
  }
  std::string converted = codePage936.ToAnsi(text);
  lossless = codePage936.FromAnsi(converted) == text;
  return converted;
}

// Whether an item read from the file is written back as the same bytes: code page 936 reads
// every byte of it as a character, and it holds no quote that would end its quoted field.
bool WritesBackExactly(const std::string& item, const AnsiCodec& codePage936) {
  return item.find('"') == std::string::npos &&
         codePage936.ToAnsi(codePage936.FromAnsi(item)) == item;
}

}  // namespace

PresetFileContent ParsePresetFile(std::string_view bytes, const AnsiCodec& codePage936) {
  PresetFileContent content;
  const bool cut = bytes.size() > kMaxPresetFileBytes;
  bool lossless = true;
  const std::string fields =
      InCodePage936(bytes.substr(0, kMaxPresetFileBytes), codePage936, lossless);
  FieldReader reader(fields);
  const std::optional<std::string> countField = reader.Next();
  const std::optional<int> count = countField ? ParseWholeNumber(*countField) : std::nullopt;
  if (!count) {
    // A file of nothing but blanks and line ends holds nothing to lose.
    content.whole = fields.find_first_not_of(" \t\r\n") == std::string::npos && !cut;
    return content;
  }
  bool exact = true;
  for (int i = 0; i < *count; ++i) {
    const std::optional<std::string> item = reader.Next();
    if (!item || i >= kMaxPresetItems) {
      return content;
    }
    exact = exact && WritesBackExactly(*item, codePage936);
    content.items.push_back(codePage936.FromAnsi(*item));
  }
  if (const std::optional<std::string> indexField = reader.Next()) {
    content.selectedIndex = ParseWholeNumber(*indexField);
    const bool indexInList = content.selectedIndex && *content.selectedIndex >= -1 &&
                             *content.selectedIndex < static_cast<int>(content.items.size());
    content.whole = indexInList && exact && !cut && lossless && !reader.LeftSomethingOut();
  }
  return content;
}

std::string FormatPresetFile(const std::vector<std::wstring>& items, int selectedIndex,
                             const AnsiCodec& codePage936) {
  std::string text = std::to_string(items.size()) + "\r\n";
  for (const std::wstring& item : items) {
    text += '"' + codePage936.ToAnsi(item) + "\"\r\n";
  }
  text += std::to_string(selectedIndex) + "\r\n";
  return text;
}

}  // namespace svctune
