// libFuzzer entry point for the property-bag stream decoder: any input is either refused or
// decoded into a bag that encodes back to the bytes it came from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "persist/bag_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t consumed = 0;
  const std::optional<svctune::PropertyBag> bag = svctune::DecodeBag(data, size, &consumed);
  if (!bag) {
    return 0;
  }
  if (consumed > size) {
    std::abort();
  }
  const std::vector<std::uint8_t> again = svctune::EncodeBag(*bag);
  const std::optional<svctune::PropertyBag> decoded =
      svctune::DecodeBag(again.data(), again.size());
  if (!decoded || decoded->Entries() != bag->Entries()) {
    std::abort();
  }
  return 0;
}
