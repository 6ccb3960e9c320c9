#include "test_codec.h"

#ifdef _WIN32
#include "win/code_page_codec.h"
#else
#include "text/iconv_codec.h"
#endif

namespace svctune::testing {

const AnsiCodec& ChineseAnsiCodec() {
#ifdef _WIN32
  static const CodePageCodec codec(0);
#else
  static const IconvCodec codec("GBK");
#endif
  return codec;
}

}  // namespace svctune::testing
