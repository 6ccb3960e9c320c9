// Runs the template fuzzer's entry point over a fixed, seeded set of damaged templates, so that
// the sanitizer build checks the reader on every run even without libFuzzer.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "deployment/security_template.h"
#include "text/unicode_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace svctune {
namespace {

std::string Seed(bool utf16) {
  const std::wstring text =
      L"[Unicode]\r\nUnicode=yes\r\n[System Access]\r\nMinimumPasswordAge = 0\r\n"
      L"[Service General Setting]\r\n\"Alerter\",4,\"D:AR(A;;CCLCSWLOCRRC;;;IU)\"\r\n"
      L"ALG , 3 , ; comment\r\n\"MadeUp\",2,\"\"\r\n\"Themes\",1,\"\"\r\n"
      L"[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n";
  return utf16 ? "\xFF\xFE" + ToUtf16Le(text) : ToUtf8(text);
}

TEST(SecurityTemplateFuzzReplay, DamagedTemplatesAreRefusedOrReadConsistently) {
  std::mt19937 random(20240517);
  for (int round = 0; round < 20000; ++round) {
    std::string input = Seed(round % 2 == 0);
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int edit = 0; edit < edits; ++edit) {
      const std::size_t at = random() % input.size();
      switch (random() % 4) {
        case 0:
          input[at] = static_cast<char>(random());
          break;
        case 1:
          input.resize(at + 1);
          break;
        case 2:
          input.insert(input.begin() + static_cast<std::ptrdiff_t>(at),
                       static_cast<char>(random()));
          break;
        default:
          input.insert(at, input.substr(random() % input.size(), random() % 40));
          break;
      }
    }
    ASSERT_EQ(0, LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()),
                                        input.size()));
  }
}

}  // namespace
}  // namespace svctune
