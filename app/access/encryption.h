#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/ansi_codec.h"

namespace svctune::access {

// The start-up password's cipher: a position-dependent shift of ANSI character codes, not a
// cryptographic cipher. It works on the bytes of the text's ANSI form, so a double-byte
// character is two codes and every text the code page holds comes back whole; single-byte
// text enciphers exactly as it always has.
//
// Enciphered codes run from 1 to 255. Codes below 128 are stored as the characters they are.
// A code of 128 or more is no character on its own in a double-byte code page (it starts a
// double-byte character, or is none at all), so it is stored as one of 256 fixed double-byte
// characters (GB2312 rows 16 to 19, see StoredBytes); such a text survives the registry's
// trip through the code page. Stores written by earlier versions (codes below 128 only)
// read as they always did.
class clsEncryption {
 public:
  explicit clsEncryption(const AnsiCodec& codec) : codec_(codec) {}

  // encipher true: source is plain text and the result its stored enciphered form, with one
  // character for each ANSI code of source (for single-byte text as many characters as
  // source). encipher false: source is a stored form and the result the plain text.
  // key is the cipher key. Nothing when 32-bit arithmetic overflows (a key of millions of
  // characters).
  std::optional<std::wstring> Cryption(std::wstring_view source, std::wstring_view key,
                                       bool encipher) const;

  // The cipher over ANSI codes: one code out, from 1 to 255, for each code in.
  static std::optional<std::string> CryptCodes(std::string_view codes, std::string_view keyCodes,
                                               bool encipher);

  // A sum of 256 or more brought down by 255 as often as needed (392 is 137, 510 is 255);
  // any other value is returned as it is.
  static std::int32_t BringDown(std::int32_t value);
  // A difference of 0 or less brought up by 255 as often as needed (0 is 255, -300 is 210);
  // any other value is returned as it is.
  static std::int32_t BringUp(std::int32_t value);

  // The ANSI bytes of the stored form of enciphered codes, and the codes a stored form's
  // bytes hold.
  static std::string StoredBytes(std::string_view codes);
  static std::string CodesOfStoredBytes(std::string_view bytes);

 private:
  const AnsiCodec& codec_;
};

}  // namespace svctune::access
