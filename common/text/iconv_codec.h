#pragma once

#include <string>

#include "text/ansi_codec.h"

namespace svctune {

// The host's iconv as an AnsiCodec, for the platform-independent tests and tools
// ("GBK" stands in for code page 936).
class IconvCodec final : public AnsiCodec {
 public:
  explicit IconvCodec(std::string charset) : charset_(std::move(charset)) {}
  std::string ToAnsi(std::wstring_view text) const override;
  std::wstring FromAnsi(std::string_view bytes) const override;

 private:
  std::string charset_;
};

}  // namespace svctune
