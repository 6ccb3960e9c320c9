#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>

namespace svctune {

// A font as controls persist it.
struct FontSpec {
  std::wstring name = L"宋体";
  double points = 9.0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  std::int16_t charset = 134;  // GB2312

  bool operator==(const FontSpec& other) const {
    return name == other.name && points == other.points && bold == other.bold &&
           italic == other.italic && underline == other.underline &&
           strikethrough == other.strikethrough && charset == other.charset;
  }
  bool operator!=(const FontSpec& other) const { return !(*this == other); }
};

using PropertyValue = std::variant<std::monostate, bool, std::int32_t, std::wstring, FontSpec>;

// The host's store in which a control persists its properties under short text keys:
//   - keys are matched without regard to letter case;
//   - reading a missing key, or a key holding a value of another kind, yields the default;
//   - a value equal to its default is not written.
class PropertyBag {
 public:
  template <typename T>
  T Read(std::wstring_view key, const T& defaultValue) const {
    auto found = values_.find(Fold(key));
    if (found == values_.end()) {
      return defaultValue;
    }
    if (const T* value = std::get_if<T>(&found->second)) {
      return *value;
    }
    return defaultValue;
  }

  template <typename T>
  void Write(std::wstring_view key, const T& value, const T& defaultValue) {
    if (value == defaultValue) {
      return;
    }
    values_[Fold(key)] = value;
  }

  // Stores a value whatever its default ("always written" properties).
  void Put(std::wstring_view key, PropertyValue value) { values_[Fold(key)] = std::move(value); }

  bool Contains(std::wstring_view key) const { return values_.count(Fold(key)) == 1; }
  const PropertyValue* Find(std::wstring_view key) const {
    auto found = values_.find(Fold(key));
    return found == values_.end() ? nullptr : &found->second;
  }
  std::size_t size() const { return values_.size(); }
  // Keys in lower case, with their values.
  const std::map<std::wstring, PropertyValue>& Entries() const { return values_; }

 private:
  static std::wstring Fold(std::wstring_view key) {
    std::wstring folded(key);
    for (wchar_t& c : folded) {
      if (c >= L'A' && c <= L'Z') {
        c = static_cast<wchar_t>(c - L'A' + L'a');
      }
    }
    return folded;
  }

  std::map<std::wstring, PropertyValue> values_;
};

}  // namespace svctune
