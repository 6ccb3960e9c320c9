#include "persist/bag_stream.h"

#include <cstring>
#include <string>

namespace svctune {

namespace {

constexpr std::uint32_t kSignature = 0x31424D53;  // "SMB1"
constexpr std::uint32_t kMaxEntries = 4096;
constexpr std::uint32_t kMaxTextLength = 1 << 20;

enum Tag : std::uint8_t { kBool = 1, kInt32 = 2, kText = 3, kFont = 4 };

class Writer {
 public:
  void U8(std::uint8_t value) { bytes.push_back(value); }
  void U32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
      bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
  }
  void F64(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    U32(static_cast<std::uint32_t>(bits));
    U32(static_cast<std::uint32_t>(bits >> 32));
  }
  void Text(const std::wstring& text) {
    U32(static_cast<std::uint32_t>(text.size()));
    for (wchar_t c : text) {
      const auto unit = static_cast<std::uint16_t>(c);
      U8(static_cast<std::uint8_t>(unit));
      U8(static_cast<std::uint8_t>(unit >> 8));
    }
  }
  std::vector<std::uint8_t> bytes;
};

class Reader {
 public:
  Reader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  bool U8(std::uint8_t& value) {
    if (size_ - position_ < 1) {
      return false;
    }
    value = bytes_[position_++];
    return true;
  }
  bool U32(std::uint32_t& value) {
    if (size_ - position_ < 4) {
      return false;
    }
    value = 0;
    for (int i = 0; i < 4; ++i) {
      value |= static_cast<std::uint32_t>(bytes_[position_++]) << (8 * i);
    }
    return true;
  }
  bool F64(double& value) {
    std::uint32_t low = 0;
    std::uint32_t high = 0;
    if (!U32(low) || !U32(high)) {
      return false;
    }
    const std::uint64_t bits = low | (static_cast<std::uint64_t>(high) << 32);
    std::memcpy(&value, &bits, sizeof value);
    return true;
  }
  bool Text(std::wstring& text) {
    std::uint32_t length = 0;
    if (!U32(length) || length > kMaxTextLength || (size_ - position_) / 2 < length) {
      return false;
    }
    text.resize(length);
    for (std::uint32_t i = 0; i < length; ++i) {
      text[i] = static_cast<wchar_t>(bytes_[position_] | (bytes_[position_ + 1] << 8));
      position_ += 2;
    }
    return true;
  }
  std::size_t position() const { return position_; }

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace

std::vector<std::uint8_t> EncodeBag(const PropertyBag& bag) {
  Writer out;
  out.U32(kSignature);
  std::uint32_t count = 0;
  for (const auto& entry : bag.Entries()) {
    count += std::holds_alternative<std::monostate>(entry.second) ? 0 : 1;
  }
  out.U32(count);
  for (const auto& [key, value] : bag.Entries()) {
    if (const bool* flag = std::get_if<bool>(&value)) {
      out.Text(key);
      out.U8(kBool);
      out.U8(*flag ? 1 : 0);
    } else if (const std::int32_t* number = std::get_if<std::int32_t>(&value)) {
      out.Text(key);
      out.U8(kInt32);
      out.U32(static_cast<std::uint32_t>(*number));
    } else if (const std::wstring* text = std::get_if<std::wstring>(&value)) {
      out.Text(key);
      out.U8(kText);
      out.Text(*text);
    } else if (const FontSpec* font = std::get_if<FontSpec>(&value)) {
      out.Text(key);
      out.U8(kFont);
      out.Text(font->name);
      out.F64(font->points);
      out.U8(static_cast<std::uint8_t>((font->bold ? 1 : 0) | (font->italic ? 2 : 0) |
                                       (font->underline ? 4 : 0) | (font->strikethrough ? 8 : 0)));
      out.U32(static_cast<std::uint32_t>(static_cast<std::uint16_t>(font->charset)));
    }
  }
  return out.bytes;
}

std::optional<PropertyBag> DecodeBag(const std::uint8_t* bytes, std::size_t size,
                                     std::size_t* consumed) {
  if (bytes == nullptr) {
    return std::nullopt;
  }
  Reader in(bytes, size);
  std::uint32_t signature = 0;
  std::uint32_t count = 0;
  if (!in.U32(signature) || signature != kSignature || !in.U32(count) || count > kMaxEntries) {
    return std::nullopt;
  }
  PropertyBag bag;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::wstring key;
    std::uint8_t tag = 0;
    if (!in.Text(key) || !in.U8(tag)) {
      return std::nullopt;
    }
    switch (tag) {
      case kBool: {
        std::uint8_t flag = 0;
        if (!in.U8(flag) || flag > 1) {
          return std::nullopt;
        }
        bag.Put(key, flag == 1);
        break;
      }
      case kInt32: {
        std::uint32_t number = 0;
        if (!in.U32(number)) {
          return std::nullopt;
        }
        bag.Put(key, static_cast<std::int32_t>(number));
        break;
      }
      case kText: {
        std::wstring text;
        if (!in.Text(text)) {
          return std::nullopt;
        }
        bag.Put(key, text);
        break;
      }
      case kFont: {
        FontSpec font;
        std::uint8_t styles = 0;
        std::uint32_t charset = 0;
        if (!in.Text(font.name) || !in.F64(font.points) || !in.U8(styles) || !in.U32(charset) ||
            !(font.points > 0 && font.points < 2048)) {
          return std::nullopt;
        }
        font.bold = (styles & 1) != 0;
        font.italic = (styles & 2) != 0;
        font.underline = (styles & 4) != 0;
        font.strikethrough = (styles & 8) != 0;
        font.charset = static_cast<std::int16_t>(charset);
        bag.Put(key, font);
        break;
      }
      default:
        return std::nullopt;
    }
  }
  if (consumed != nullptr) {
    *consumed = in.position();
  }
  return bag;
}

}  // namespace svctune
