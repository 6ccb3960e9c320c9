#include "access/encryption.h"

#include <limits>

namespace svctune::access {
namespace {

// The double-byte characters that stand for codes: code c is lead byte 0xB0 + c / 64 with
// trail byte 0xA1 + c % 64, the first 64 characters of GB2312 rows 16 to 19 (0xB0A1 "啊"
// onwards). Every one of them is a character of code page 936 and comes back from the
// registry as the same two bytes.
constexpr unsigned kFirstLead = 0xB0;
constexpr unsigned kFirstTrail = 0xA1;
constexpr unsigned kTrailsPerLead = 64;
constexpr unsigned kLeadCount = 4;

// 32-bit addition with overflow detection.
bool Add(std::int32_t a, std::int64_t b, std::int32_t& sum) {
  const std::int64_t wide = a + b;
  if (wide < std::numeric_limits<std::int32_t>::min() ||
      wide > std::numeric_limits<std::int32_t>::max()) {
    return false;
  }
  sum = static_cast<std::int32_t>(wide);
  return true;
}

void AppendDoubleByte(std::string& bytes, unsigned code) {
  bytes += static_cast<char>(kFirstLead + code / kTrailsPerLead);
  bytes += static_cast<char>(kFirstTrail + code % kTrailsPerLead);
}

}  // namespace

std::int32_t clsEncryption::BringDown(std::int32_t value) {
  if (value < 256) {
    return value;
  }
  // As many subtractions of 255 as the loop "while value >= 256" makes, in one step.
  const std::int64_t times = (static_cast<std::int64_t>(value) - 256) / 255 + 1;
  return static_cast<std::int32_t>(value - times * 255);
}

std::int32_t clsEncryption::BringUp(std::int32_t value) {
  if (value > 0) {
    return value;
  }
  // As many additions of 255 as the loop "while value <= 0" makes, in one step.
  const std::int64_t times = -static_cast<std::int64_t>(value) / 255 + 1;
  return static_cast<std::int32_t>(value + times * 255);
}

std::optional<std::string> clsEncryption::CryptCodes(std::string_view codes,
                                                     std::string_view keyCodes, bool encipher) {
  std::int32_t keySum = 0;
  for (const char c : keyCodes) {
    if (!Add(keySum, static_cast<unsigned char>(c), keySum)) {
      return std::nullopt;
    }
  }
  std::string result;
  result.reserve(codes.size());
  std::int32_t position = 0;
  for (const char c : codes) {
    const std::int32_t code = static_cast<unsigned char>(c);
    std::int32_t value = 0;
    if (!Add(position, 1, position)) {
      return std::nullopt;
    }
    if (encipher) {
      if (!Add(code, keySum, value) || !Add(value, position, value)) {
        return std::nullopt;
      }
      value = BringDown(value);
    } else {
      if (!Add(code, -static_cast<std::int64_t>(keySum), value) ||
          !Add(value, -static_cast<std::int64_t>(position), value)) {
        return std::nullopt;
      }
      value = BringUp(value);
    }
    result += static_cast<char>(value);
  }
  return result;
}

std::string clsEncryption::StoredBytes(std::string_view codes) {
  // A stored text of blanks only would read back as no password at all (the settings read
  // takes a blank value for a missing one), so its first blank is written double-byte.
  const bool onlyBlanks = !codes.empty() && codes.find_first_not_of(' ') == std::string::npos;
  std::string bytes;
  bytes.reserve(codes.size() * 2);
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const unsigned code = static_cast<unsigned char>(codes[i]);
    if (code >= 0x80 || (onlyBlanks && i == 0)) {
      AppendDoubleByte(bytes, code);
    } else {
      bytes += static_cast<char>(code);
    }
  }
  return bytes;
}

std::string clsEncryption::CodesOfStoredBytes(std::string_view bytes) {
  std::string codes;
  codes.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned lead = static_cast<unsigned char>(bytes[i]);
    if (lead >= kFirstLead && lead < kFirstLead + kLeadCount && i + 1 < bytes.size()) {
      const unsigned trail = static_cast<unsigned char>(bytes[i + 1]);
      if (trail >= kFirstTrail && trail < kFirstTrail + kTrailsPerLead) {
        codes += static_cast<char>((lead - kFirstLead) * kTrailsPerLead + trail - kFirstTrail);
        ++i;
        continue;
      }
    }
    // Any other byte is a code of its own, as in the stores of earlier versions.
    codes += static_cast<char>(lead);
  }
  return codes;
}

std::optional<std::wstring> clsEncryption::Cryption(std::wstring_view source, std::wstring_view key,
                                                    bool encipher) const {
  const std::string keyCodes = codec_.ToAnsi(key);
  if (encipher) {
    const std::optional<std::string> codes = CryptCodes(codec_.ToAnsi(source), keyCodes, true);
    if (!codes) {
      return std::nullopt;
    }
    return codec_.FromAnsi(StoredBytes(*codes));
  }
  const std::optional<std::string> plain =
      CryptCodes(CodesOfStoredBytes(codec_.ToAnsi(source)), keyCodes, false);
  if (!plain) {
    return std::nullopt;
  }
  return codec_.FromAnsi(*plain);
}

}  // namespace svctune::access
