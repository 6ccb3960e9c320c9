#pragma once

#include <string>
#include <string_view>

namespace svctune {

// Converts between the program's wide text and the bytes of one ANSI (multi-byte) code page.
// Characters the code page cannot hold become '?'; byte sequences that are not valid in it
// are replaced, so a conversion never fails and never drops the rest of its input.
class AnsiCodec {
 public:
  virtual ~AnsiCodec() = default;
  virtual std::string ToAnsi(std::wstring_view text) const = 0;
  virtual std::wstring FromAnsi(std::string_view bytes) const = 0;
};

}  // namespace svctune
