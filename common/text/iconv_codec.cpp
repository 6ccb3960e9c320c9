#include "text/iconv_codec.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace svctune {
namespace {

class IconvHandle {
 public:
  IconvHandle(const std::string& to, const std::string& from)
      : handle_(iconv_open(to.c_str(), from.c_str())) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error("iconv cannot convert from " + from + " to " + to);
    }
  }
  ~IconvHandle() { iconv_close(handle_); }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  // Converts one unit of input at a time so that an unconvertible unit can be replaced
  // and the rest of the input still converted.
  template <typename Out, typename In>
  Out Convert(const In* input, std::size_t count, std::size_t unitBytes, const Out& replacement) {
    Out result;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(input));
    std::size_t inLeft = count * unitBytes;
    char buffer[64];
    while (inLeft > 0) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      std::size_t done = iconv(handle_, &in, &inLeft, &out, &outLeft);
      const int error = errno;
      Append(result, buffer, static_cast<std::size_t>(out - buffer));
      if (done != static_cast<std::size_t>(-1) || error == E2BIG) {
        continue;
      }
      // An invalid or incomplete unit: replace it and go on after it.
      result += replacement;
      in += unitBytes;
      inLeft -= unitBytes;
      iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }
    return result;
  }

 private:
  static void Append(std::string& to, const char* bytes, std::size_t n) { to.append(bytes, n); }
  static void Append(std::wstring& to, const char* bytes, std::size_t n) {
    to.append(reinterpret_cast<const wchar_t*>(bytes), n / sizeof(wchar_t));
  }

  iconv_t handle_;
};

}  // namespace

std::string IconvCodec::ToAnsi(std::wstring_view text) const {
  IconvHandle converter(charset_, "WCHAR_T");
  return converter.Convert(text.data(), text.size(), sizeof(wchar_t), std::string("?"));
}

std::wstring IconvCodec::FromAnsi(std::string_view bytes) const {
  IconvHandle converter("WCHAR_T", charset_);
  return converter.Convert(bytes.data(), bytes.size(), 1, std::wstring(1, L'\xFFFD'));
}

}  // namespace svctune
