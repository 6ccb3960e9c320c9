#include "optimizer/preset_file.h"

#include <limits>

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

 private:
  bool AtLineEnd() const { return bytes_[at_] == '\r' || bytes_[at_] == '\n'; }
  void SkipToSeparator() {
    while (at_ < bytes_.size() && bytes_[at_] != ',' && !AtLineEnd()) {
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

}  // namespace

PresetFileContent ParsePresetFile(std::string_view bytes, const AnsiCodec& codePage936) {
  PresetFileContent content;
  FieldReader reader(bytes.substr(0, kMaxPresetFileBytes));
  const std::optional<std::string> countField = reader.Next();
  const std::optional<int> count = countField ? ParseWholeNumber(*countField) : std::nullopt;
  if (!count) {
    return content;
  }
  for (int i = 0; i < *count; ++i) {
    const std::optional<std::string> item = reader.Next();
    if (!item || i >= kMaxPresetItems) {
      return content;
    }
    content.items.push_back(codePage936.FromAnsi(*item));
  }
  if (const std::optional<std::string> indexField = reader.Next()) {
    content.selectedIndex = ParseWholeNumber(*indexField);
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
