#pragma once

#include "text/ansi_codec.h"

namespace svctune {

// AnsiCodec over WideCharToMultiByte/MultiByteToWideChar. Code page 0 (CP_ACP) is the
// system's ANSI code page; 936 is GBK whatever the system locale.
class CodePageCodec final : public AnsiCodec {
 public:
  explicit CodePageCodec(unsigned codePage) : codePage_(codePage) {}
  std::string ToAnsi(std::wstring_view text) const override;
  std::wstring FromAnsi(std::string_view bytes) const override;

 private:
  unsigned codePage_;
};

}  // namespace svctune
