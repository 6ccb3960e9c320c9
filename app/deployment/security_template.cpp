#include "deployment/security_template.h"

#include <map>
#include <optional>

#include "deployment/command_line.h"
#include "text/unicode_text.h"

namespace svctune {
namespace {

constexpr std::size_t kMaxServiceNameLength = 256;
constexpr std::wstring_view kBlanks = L" \t";
constexpr std::wstring_view kLineShape = L"应为“服务名,启动方式,安全描述符”";

// The characters a service name may have in a template (letters, digits and the printable
// ASCII signs except blank, '"', ',', '/' and '\').
bool IsNameCharacter(wchar_t c) {
  if ((c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z')) {
    return true;
  }
  return c == 33 || (c >= 35 && c <= 43) || c == 45 || c == 46 || (c >= 58 && c <= 64) || c == 91 ||
         (c >= 93 && c <= 96) || (c >= 123 && c <= 126);
}

// What a service key may be called (1 to 256 characters, no slash or backslash, no control
// character) and a quoted name can carry (no '"').
bool IsQuotableName(std::wstring_view name) {
  if (name.empty() || name.size() > kMaxServiceNameLength) {
    return false;
  }
  for (wchar_t c : name) {
    if (IsControlCharacter(c) || c == L'"' || c == L'/' || c == L'\\') {
      return false;
    }
  }
  return true;
}

// An unquoted name: 1 to 256 name characters.
bool IsBareName(std::wstring_view name) {
  if (name.empty() || name.size() > kMaxServiceNameLength) {
    return false;
  }
  for (wchar_t c : name) {
    if (!IsNameCharacter(c)) {
      return false;
    }
  }
  return true;
}

std::wstring_view Trim(std::wstring_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::wstring_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::wstring_view Unquote(std::wstring_view text) {
  if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') {
    return text.substr(1, text.size() - 2);
  }
  return text;
}

const ServiceEntry* FindService(std::wstring_view name) {
  const std::wstring folded = AsciiUpper(name);
  for (const ServiceEntry& entry : ServiceCatalogue::Entries()) {
    if (AsciiUpper(entry.serviceKey) == folded) {
      return &entry;
    }
  }
  return nullptr;
}

// The file's text. Only a UTF-16 file cut in the middle of a unit cannot be read.
std::optional<std::wstring> DecodeText(std::string_view bytes, const AnsiCodec& ansiCodePage) {
  const std::string_view head = bytes.substr(0, 3);
  if (head.substr(0, 2) == "\xFF\xFE" || head.substr(0, 2) == "\xFE\xFF") {
    if (bytes.size() % 2 != 0) {
      return std::nullopt;
    }
    return FromUtf16(bytes.substr(2), bytes[0] == '\xFE');
  }
  if (head == "\xEF\xBB\xBF") {
    return FromUtf8(bytes.substr(3));
  }
  return ansiCodePage.FromAnsi(bytes);
}

struct ServiceLine {
  std::wstring name;
  int mode = 0;
  bool hasDescriptor = false;
};

// One line of [Service General Setting]: Name "," Mode "," AclString, with blanks allowed
// around the fields and a comment after a quoted descriptor.
std::optional<ServiceLine> ReadServiceLine(std::wstring_view text, std::wstring& error) {
  ServiceLine line;
  std::size_t at = 0;
  const bool quoted = text.front() == L'"';
  if (quoted) {
    const std::size_t close = text.find(L'"', 1);
    if (close == std::wstring_view::npos) {
      error = L"服务名缺少后引号";
      return std::nullopt;
    }
    line.name = text.substr(1, close - 1);
    at = text.find_first_not_of(kBlanks, close + 1);
  } else {
    at = text.find(L',');
    line.name = Trim(text.substr(0, at));
  }
  if (at == std::wstring_view::npos || text[at] != L',') {
    error = std::wstring(kLineShape);
    return std::nullopt;
  }
  if (quoted && !IsQuotableName(line.name)) {
    error = L"服务名“" + line.name + L"”不合语法：应为 1 到 256 个字符，不含斜杠和控制字符";
    return std::nullopt;
  }
  if (!quoted && !IsBareName(line.name)) {
    error = L"服务名“" + line.name +
            L"”不合语法：不加引号时应为 1 到 256 个字母、数字或符号，不含空格、引号、逗号和斜杠";
    return std::nullopt;
  }
  const std::size_t secondComma = text.find(L',', at + 1);
  if (secondComma == std::wstring_view::npos) {
    error = std::wstring(kLineShape) + L"，第三个字段（可为空）前的逗号不能省略";
    return std::nullopt;
  }
  const std::wstring_view mode = Trim(text.substr(at + 1, secondComma - at - 1));
  if (mode.size() != 1 || mode[0] < L'0' || mode[0] > L'9') {
    error = L"启动方式“" + std::wstring(mode) + L"”应为一位数字";
    return std::nullopt;
  }
  line.mode = mode[0] - L'0';

  const std::wstring_view rest = Trim(text.substr(secondComma + 1));
  std::wstring_view descriptor = rest;
  if (!rest.empty() && rest.front() == L'"') {
    const std::size_t close = rest.find(L'"', 1);
    if (close == std::wstring_view::npos) {
      error = L"安全描述符缺少后引号";
      return std::nullopt;
    }
    const std::wstring_view after = Trim(rest.substr(close + 1));
    if (!after.empty() && after.front() != L';') {
      error = L"安全描述符后面有多余的内容";
      return std::nullopt;
    }
    descriptor = rest.substr(1, close - 1);
  } else if (!rest.empty() && rest.front() == L';') {
    descriptor = {};
  } else if (rest.find(L'"') != std::wstring_view::npos) {
    error = L"安全描述符中的引号不成对";
    return std::nullopt;
  }
  line.hasDescriptor = !Trim(descriptor).empty();
  return line;
}

}  // namespace

bool IsTemplateStartMode(std::uint32_t mode) {
  return mode >= static_cast<std::uint32_t>(StartType::kAutomatic) &&
         mode <= static_cast<std::uint32_t>(StartType::kDisabled);
}

SecurityTemplateFile FormatSecurityTemplate(const std::vector<ServiceStartType>& services) {
  SecurityTemplateFile file;
  std::wstring lines;
  for (const ServiceStartType& service : services) {
    if (!IsTemplateStartMode(service.start) || !IsQuotableName(service.serviceKey)) {
      file.leftOut.push_back(service);
      continue;
    }
    lines += L"\"" + service.serviceKey + L"\"," + std::to_wstring(service.start) + L",\"\"\r\n";
    ++file.written;
  }
  std::wstring text =
      L"[Unicode]\r\nUnicode=yes\r\n[Version]\r\nsignature=\"$CHICAGO$\"\r\nRevision=1\r\n";
  // A section holds at least one setting; with nothing to set it is left out.
  if (file.written > 0) {
    text += L"[Service General Setting]\r\n" + lines;
  }
  file.bytes = "\xFF\xFE" + ToUtf16Le(text);
  return file;
}

SecurityTemplate ParseSecurityTemplate(std::string_view bytes, const AnsiCodec& ansiCodePage) {
  SecurityTemplate result;
  auto fail = [&](int line, std::wstring error) {
    result = SecurityTemplate{};
    result.errorLine = line;
    result.error = std::move(error);
    return result;
  };
  if (bytes.size() > kMaxSecurityTemplateBytes) {
    return fail(0, L"文件超过 4 MB，不是安全模板");
  }
  const std::optional<std::wstring> decoded = DecodeText(bytes, ansiCodePage);
  if (!decoded) {
    return fail(0, L"UTF-16 文件的长度不是偶数字节，文件不完整");
  }

  enum class Section { kNone, kVersion, kServices, kOther };
  Section section = Section::kNone;
  bool signature = false;
  std::map<std::wstring, int> namedOn;  // folded service name -> line
  const std::wstring_view text = *decoded;
  int number = 0;
  for (std::size_t begin = 0; begin <= text.size();) {
    std::size_t end = text.find(L'\n', begin);
    if (end == std::wstring_view::npos) {
      end = text.size();
    }
    std::wstring_view line = text.substr(begin, end - begin);
    begin = end + 1;
    ++number;
    if (!line.empty() && line.back() == L'\r') {
      line.remove_suffix(1);
    }
    if (line.find(L'\0') != std::wstring_view::npos) {
      return fail(number, L"行中有空字符（没有字节顺序标记的 UTF-16 文件？）");
    }
    line = Trim(line);
    if (line.empty() || line.front() == L';') {
      continue;
    }
    if (line.front() == L'[') {
      const std::size_t close = line.find(L']');
      if (close == std::wstring_view::npos) {
        return fail(number, L"节名缺少“]”");
      }
      const std::wstring name = AsciiUpper(Trim(line.substr(1, close - 1)));
      const std::wstring_view after = Trim(line.substr(close + 1));
      if (name.empty() || (!after.empty() && after.front() != L';')) {
        return fail(number, L"节名不合语法");
      }
      section = name == L"VERSION"                   ? Section::kVersion
                : name == L"SERVICE GENERAL SETTING" ? Section::kServices
                                                     : Section::kOther;
      result.hasServiceSection = result.hasServiceSection || section == Section::kServices;
      continue;
    }
    if (section == Section::kNone) {
      return fail(number, L"第一个节之前有内容");
    }
    if (section == Section::kVersion) {
      const std::size_t equals = line.find(L'=');
      if (equals == std::wstring_view::npos) {
        continue;
      }
      const std::wstring key = AsciiUpper(Trim(line.substr(0, equals)));
      const std::wstring_view value = Unquote(Trim(line.substr(equals + 1)));
      if (key == L"SIGNATURE") {
        signature = AsciiUpper(value) == L"$CHICAGO$";
      } else if (key == L"REVISION" && value != L"1") {
        return fail(number, L"模板的版本 Revision=" + std::wstring(value) + L" 不是 1");
      }
      continue;
    }
    if (section == Section::kOther) {
      continue;
    }
    std::wstring error;
    const std::optional<ServiceLine> service = ReadServiceLine(line, error);
    if (!service) {
      return fail(number, error);
    }
    const auto [earlier, first] = namedOn.emplace(AsciiUpper(service->name), number);
    if (!first) {
      return fail(number, L"服务 " + service->name + L" 已在第 " +
                              std::to_wstring(earlier->second) + L" 行设置过");
    }
    const ServiceEntry* entry = FindService(service->name);
    const bool settable = IsTemplateStartMode(static_cast<std::uint32_t>(service->mode));
    if (entry == nullptr || !settable) {
      result.skipped.push_back(
          {number, service->name, service->mode,
           settable ? TemplateSkipReason::kNotInCatalogue : TemplateSkipReason::kUnsupportedMode});
      continue;
    }
    result.settings.push_back(
        {number, entry, static_cast<StartType>(service->mode), service->hasDescriptor});
  }
  if (!signature) {
    return fail(0, L"不是安全模板：[Version] 节中没有 signature=\"$CHICAGO$\"");
  }
  result.wellFormed = true;
  return result;
}

}  // namespace svctune
