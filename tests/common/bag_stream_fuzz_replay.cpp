// Runs the fuzzer's entry point over a fixed, seeded set of damaged streams, so that the
// sanitizer build checks the decoder on every run even without libFuzzer.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "persist/bag_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace svctune {
namespace {

std::vector<std::uint8_t> Seed() {
  PropertyBag bag;
  FontSpec font;
  font.name = L"宋体";
  bag.Put(L"Caption", std::wstring(L"确定"));
  bag.Put(L"Font", font);
  bag.Put(L"FocusFore", std::int32_t{0x80FFFF});
  bag.Put(L"Enabled", true);
  return EncodeBag(bag);
}

TEST(BagStreamFuzzReplay, DamagedStreamsAreRefusedOrDecodedConsistently) {
  const std::vector<std::uint8_t> seed = Seed();
  std::mt19937 random(20261208);
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::uint8_t> input = seed;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int edit = 0; edit < edits; ++edit) {
      const std::size_t at = random() % input.size();
      switch (random() % 3) {
        case 0:
          input[at] = static_cast<std::uint8_t>(random());
          break;
        case 1:
          input.resize(at + 1);
          break;
        default:
          input.insert(input.begin() + static_cast<std::ptrdiff_t>(at),
                       static_cast<std::uint8_t>(random()));
          break;
      }
    }
    ASSERT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
  }
}

}  // namespace
}  // namespace svctune
