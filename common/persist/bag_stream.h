#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/property_bag.h"

namespace svctune {

// The byte form in which a control keeps its property bag in a stream (IPersistStreamInit):
// a signature, the number of entries, then each key with a tagged value. Text is UTF-16LE.
std::vector<std::uint8_t> EncodeBag(const PropertyBag& bag);

// Reads a bag written by EncodeBag from the front of bytes; consumed tells how many bytes it
// took. Damaged or cut-short input gives nullopt and nothing is half-read.
std::optional<PropertyBag> DecodeBag(const std::uint8_t* bytes, std::size_t size,
                                     std::size_t* consumed = nullptr);

}  // namespace svctune
