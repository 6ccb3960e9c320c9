#pragma once

#include "text/ansi_codec.h"

namespace svctune::testing {

// The ANSI code page of a Chinese system: code page 936 through the system under Windows
// (the tests run with it as the ANSI code page), GBK through iconv elsewhere.
const AnsiCodec& ChineseAnsiCodec();

}  // namespace svctune::testing
