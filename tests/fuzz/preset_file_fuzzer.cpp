// Fuzz target for the preset file reader: any bytes are read without crashing, whatever was
// read is written and read back unchanged, and a file called whole is written back with all it
// held: the same items, the same selection, whole again.
#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <string>

#include "optimizer/preset_file.h"
#include "text/iconv_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const svctune::IconvCodec gbk("GBK");
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const svctune::PresetFileContent content = svctune::ParsePresetFile(bytes, gbk);
  if (content.items.size() > static_cast<std::size_t>(svctune::kMaxPresetItems)) {
    std::abort();
  }
  const std::string written = svctune::FormatPresetFile(content.items, -1, gbk);
  const svctune::PresetFileContent reread = svctune::ParsePresetFile(written, gbk);
  bool sameItems = reread.items.size() == content.items.size();
  for (std::size_t i = 0; sameItems && i < content.items.size(); ++i) {
    // A text holding a quote or a line break cannot be written as one quoted field, nor one
    // holding a character code page 936 has not (a byte it read as no character).
    const std::string ansi = gbk.ToAnsi(content.items[i]);
    const bool writable = content.items[i].find_first_of(L"\"\r\n") == std::wstring::npos &&
                          ansi.find_first_of("\"\r\n") == std::string::npos &&
                          gbk.FromAnsi(ansi) == content.items[i];
    sameItems = !writable || reread.items[i] == content.items[i];
  }
  if (!sameItems) {
    std::abort();
  }
  if (content.whole && content.selectedIndex) {
    const svctune::PresetFileContent rewritten = svctune::ParsePresetFile(
        svctune::FormatPresetFile(content.items, *content.selectedIndex, gbk), gbk);
    if (!rewritten.whole || rewritten.items != content.items ||
        rewritten.selectedIndex != content.selectedIndex) {
      std::abort();
    }
  }
  return 0;
}
