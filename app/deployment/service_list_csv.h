#pragma once

#include <string>
#include <string_view>

#include "optimizer/service_list.h"

namespace svctune {

inline constexpr std::string_view kServiceListCsvHeader =
    "Name,DisplayName,Start,Delayed,Trigger,PerUser,Protected,Catalogue,Running";

// One field as RFC 4180 writes it: in double quotes, with its quotes doubled, when it holds a
// comma, a double quote, CR or LF; as it is otherwise.
std::wstring CsvField(std::wstring_view text);

// What /list writes: every row of the list in the order of their keys, UTF-8 with a byte order
// mark, lines ended by CR LF. Start is the number the machine holds (0 to 4), empty when the
// value is missing or damaged; Running is empty when the service manager does not say.
std::string ServiceListCsv(const ServiceList& list);

}  // namespace svctune
