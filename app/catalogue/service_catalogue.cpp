#include "catalogue/service_catalogue.h"

#include <algorithm>

#include "text/unicode_text.h"

namespace svctune {
namespace {

// The catalogue: number, page, caption, service key, the 自动/手动/禁用 boxes, the boxes the
// two presets tick, and the hover text that ends in the recommendation.
const std::array<ServiceEntry, kServiceCount> kEntries = {{
    {1, 1, L"Alerter", L"Alerter", 1, 2, 3, StartType::kDisabled, StartType::kDisabled,
     L"一般家用计算机根本不需要传送或接收计算机系统管理来的警示，除非你的计算机用在局域网络上（建议： 禁用）"},
    {2, 1, L"ALG", L"ALG", 4, 5, 6, StartType::kDisabled, StartType::kDisabled,
     L"如果你不使用因特网联机共享 (ICS) 提供多台计算机的因特网存取和因特网联机防火墙 (ICF) 软件你可以关掉 （建议： 禁用）"},
    {3, 1, L"APPMgmt", L"AppMgmt", 7, 8, 9, StartType::kManual, StartType::kManual,
     L"软件安装变更服务（建议： 手动）"},
    {4, 1, L"wuauserv", L"wuauserv", 10, 11, 12, StartType::kDisabled, StartType::kDisabled,
     L"允许 Windows 于背景自动联机之下，到 Microsoft Servers 自动检查和下载更新修补程序（建议： 禁用）"},
    {5, 1, L"BITS", L"BITS", 13, 14, 15, StartType::kDisabled, StartType::kDisabled,
     L"经由 Via HTTP1.1 在背景传输资料，例如 Windows Update 就是以此为工作之一（建议： 禁用）"},
    {6, 1, L"ClipSrv", L"ClipSrv", 16, 17, 18, StartType::kDisabled, StartType::kAutomatic,
     L"把剪贴簿内的信息和其它台计算机分享，一般家用计算机根本用不到（建议： 禁用）"},
    {7, 1, L"EventSystem", L"EventSystem", 19, 20, 21, StartType::kManual, StartType::kManual,
     L"有些程序可能用到 COM+ 组件，像 BootVis 的 optimize system 应用，如事件检视器内显示的 DCOM 没有启用 （建议： 手动）"},
    {8, 1, L"COMSysApp", L"COMSysApp", 22, 23, 24, StartType::kManual, StartType::kManual,
     L"如果 COM+ Event System 是一台车，那么 COM+ System Application 就是司机，如事件检视器内显示的 DCOM 没有启用 （建议： 手动）"},
    {9, 1, L"Browser", L"Browser", 25, 26, 27, StartType::kDisabled, StartType::kDisabled,
     L"一般家庭用计算机不需要，除非你的计算机应用在区网之上，不过在大型的区网上有必要开这个拖慢速度吗？ （建议： 禁用）"},
    {10, 1, L"CrypSvc", L"CryptSvc", 28, 29, 30, StartType::kManual, StartType::kManual,
     L"简单的说就是 Windows Hardware Quality Lab (WHQL)微软的一种认证，如果你有使用 Automatic Updates ，那你可能需要这个（建议： 手动）"},
    {11, 1, L"TrkWks", L"TrkWks", 31, 32, 33, StartType::kDisabled, StartType::kDisabled,
     L"维护区网内不同计算机之间的档案连结（建议： 禁用）"},
    {12, 1, L"MSDTC", L"MSDTC", 34, 35, 36, StartType::kDisabled, StartType::kDisabled,
     L"一般家庭用计算机用不到，除非你启用的 Message Queuing（建议： 禁用）"},
    {13, 1, L"helpsvc", L"helpsvc", 39, 38, 37, StartType::kDisabled, StartType::kDisabled,
     L"使用说明及帮助支持中心，如果不使用就关了吧（建议： 禁用）"},
    {14, 1, L"ERSvc", L"ERSvc", 42, 41, 40, StartType::kDisabled, StartType::kDisabled,
     L"微软的应用程序错误报告（建议： 禁用）"},
    {15, 1, L"Dnscache", L"Dnscache", 45, 44, 43, StartType::kManual, StartType::kManual,
     L"IPSEC 需要用到（建议： 手动）"},
    {16, 1, L"ImapiService", L"ImapiService", 48, 47, 46, StartType::kDisabled,
     StartType::kAutomatic,
     L"XP 整合的 CD-R 和 CD-RW 光驱上拖放的烧录功能，可惜比不上烧录软件，关掉还可以加快 Nero 的开启速度 （建议： 禁用）"},
    {17, 1, L"HidServ", L"HidServ", 51, 50, 49, StartType::kDisabled, StartType::kDisabled,
     L"启用对人性化接口装置 (HID) 的通用输入存取，HID 装置启动并维护对这个键盘、远程控制、以及其它多媒体装置上事先定义快捷纽使用（建议： 禁用）"},
    {18, 1, L"HTTPFilter", L"HTTPFilter", 54, 53, 52, StartType::kManual, StartType::kManual,
     L"通过安全字层(SSL)实现 HTTP 服务的安全超文本传送协议(HTTPS)（建议： 手动）"},
    {19, 1, L"CiSvc", L"CiSvc", 55, 56, 57, StartType::kDisabled, StartType::kDisabled,
     L"简单的说可以让你加快搜查速度，不过我想应该很少人和远程计算机作搜寻吧（建议： 禁用）"},
    {20, 1, L"PolicyAgent", L"PolicyAgent", 58, 59, 60, StartType::kManual, StartType::kManual,
     L" 协助保护经由网络传送的数据。IPSec 为一重要环节，为虚拟私人网络 (VPN) 中提供安全性，而 VPN 允许组织经由因特网安全地传输数据。在某些网域上也许需要，但是一般使用者大部分是不太需要（建议： 手动）"},
    {21, 1, L"Messenger", L"Messenger", 61, 62, 63, StartType::kDisabled, StartType::kDisabled,
     L"允许网络之间互相传送提示讯息的功能，如 net send 功能，如不想被骚扰话可关了（建议： 禁用）"},
    {22, 1, L"mnmsrvc", L"mnmsrvc", 66, 65, 64, StartType::kDisabled, StartType::kDisabled,
     L"让使用者可以将计算机的控制权分享予网络上或因特网上的其它使用者，如果你重视安全性不想多开后门，就关了吧（建议： 禁用）"},
    {23, 1, L"NetLogon", L"Netlogon", 69, 68, 67, StartType::kDisabled, StartType::kDisabled,
     L"一般家用计算机不太可能去用到登入网域审查这个服务（建议： 禁用）"},
    {24, 1, L"SwPrv", L"SwPrv", 72, 71, 70, StartType::kDisabled, StartType::kDisabled,
     L"用来备份的东西，如 MS Backup 程序就需要这个服务（建议： 禁用）"},
    {25, 1, L"Nla", L"Nla", 75, 74, 73, StartType::kDisabled, StartType::kDisabled,
     L"如果不使用 ICF 和 ICS 可以关了它（建议： 禁用）"},
    {26, 1, L"NetDDEdsdm", L"NetDDEdsdm", 78, 77, 76, StartType::kDisabled, StartType::kDisabled,
     L"信息动态数据交换 (DDE) 网络共享，一般人好像用不到（建议： 禁用）"},
    {27, 1, L"NetDDE", L"NetDDE", 81, 80, 79, StartType::kDisabled, StartType::kDisabled,
     L"为动态数据交换 (DDE) 对在相同或不同计算机上执行的程序提供网络传输和安全性，一般人用不到（建议： 禁用）"},
    {28, 1, L"WmdmPmSN", L"WmdmPmSN", 84, 83, 82, StartType::kDisabled, StartType::kDisabled,
     L"透过联机计算机重新取得任何音乐播放序号，没什么价值的服务（建议： 禁用）"},
    {29, 1, L"SysmonLog", L"SysmonLog", 87, 86, 85, StartType::kDisabled, StartType::kDisabled,
     L"基于事先设定的排程参数，从本机或远程计算机收集效能数据，然后将数据写入记录或发警讯，没什么价值的服务（建议： 禁用）"},
    {30, 1, L"NtLmSsp", L"NtLmSsp", 90, 89, 88, StartType::kDisabled, StartType::kDisabled,
     L"如果不使用 Message Queuing 或是 Telnet Server 那就关了它（建议： 禁用）"},
    {31, 2, L"WZCSVC", L"WZCSVC", 91, 92, 93, StartType::kDisabled, StartType::kDisabled,
     L"自动配置无线网络装置，言下之意就是说，除非你有在使用无线网络适配卡装置，那么你才有必要使用这个网络零管理服务（建议： 禁用）"},
    {32, 2, L"WmiApSrv", L"WmiApSrv", 94, 95, 96, StartType::kDisabled, StartType::kDisabled,
     L"提供来自 WMIHiPerf 提供者的效能链接库信息（建议： 禁用）"},
    {34, 2, L"WudfSvc", L"WudfSvc", 100, 101, 102, StartType::kManual, StartType::kManual,
     L"启用 Windows 用户模式驱动程序（建议： 手动）"},
    {35, 2, L"stisvc", L"stisvc", 103, 104, 105, StartType::kDisabled, StartType::kAutomatic,
     L"如果扫描仪和数字相机内部具有支持WIA功能的话，那就可以直接看到图档，不需要其它的驱动程序，所以没有扫描仪和数字相机使用者大可关了（建议： 禁用）"},
    {36, 2, L"W32Time", L"W32Time", 106, 107, 108, StartType::kDisabled, StartType::kDisabled,
     L"网络对时校准用的，没必要就关了（建议： 禁用）"},
    {37, 2, L"VSS", L"VSS", 109, 110, 111, StartType::kDisabled, StartType::kDisabled,
     L"用来备份的东西，如 MS Backup 程序就需要这个服务（建议： 禁用）"},
    {38, 2, L"WebClient", L"WebClient", 112, 113, 114, StartType::kDisabled, StartType::kDisabled,
     L"使用 WebDAV 将档案或数据夹上载到所有的 Web 服务，基于安全性的理由，你可以尝试关闭（建议： 禁用）"},
    {39, 2, L"SharedAccess", L"SharedAccess", 115, 116, 117, StartType::kDisabled,
     StartType::kDisabled,
     L"如果你不使用因特网联机共享(ICS)或是 XP 内含的因特网联机防火墙(ICF)你可以关掉（建议： 禁用）"},
    {40, 2, L"upnphost", L"upnphost", 120, 119, 118, StartType::kManual, StartType::kManual,
     L"为支持通用即插即用设备提供支持（建议： 手动）"},
    {41, 2, L"UPS", L"UPS", 123, 122, 121, StartType::kDisabled, StartType::kDisabled,
     L"不断电电源供应 (UPS)一般人有用到吗？除非你的电源供应器有具备此功能，不然就关了（建议： 禁用）"},
    {42, 2, L"Themes", L"Themes", 126, 125, 124, StartType::kDisabled, StartType::kAutomatic,
     L"很多人使用布景主题，不过如果没有使用的人，那就可以关闭（建议： 禁用）"},
    {43, 2, L"LmHosts", L"LmHosts", 127, 128, 129, StartType::kDisabled, StartType::kDisabled,
     L"如果你的网络不使用 NetBios 或是 WINS ，你大可关闭（建议： 禁用）"},
    {44, 2, L"TlntSvr", L"TlntSvr", 130, 131, 132, StartType::kDisabled, StartType::kDisabled,
     L"允许远程用户登录到此计算机并运行程序，并支持多种 TCP/IP Telnet 客户，包括基于 UNIX 和 Windows 的计算机（建议： 禁用）"},
    {45, 2, L"TermService", L"TermService", 133, 134, 135, StartType::kDisabled,
     StartType::kDisabled, L"远程桌面或是远程协助的功能，不需要就关了（建议： 禁用）"},
    {46, 2, L"SCardSvr", L"SCardSvr", 136, 137, 138, StartType::kDisabled, StartType::kDisabled,
     L"如果你不使用 Smart Card（智慧卡），那就可以关了（建议： 禁用）"},
    {47, 2, L"SSDPSRV", L"SSDPSRV", 139, 140, 141, StartType::kDisabled, StartType::kDisabled,
     L"启动您家庭网络上的 UPnP 设备的发现（建议： 禁用）"},
    {48, 2, L"srservice", L"srservice", 142, 143, 144, StartType::kDisabled, StartType::kDisabled,
     L"执行系统还原功能（建议： 禁用）"},
    {49, 2, L"lanmanserver", L"lanmanserver", 147, 146, 145, StartType::kDisabled,
     StartType::kDisabled,
     L"简单的说就是档案和打印的分享，除非你有和其它计算机分享，不然就关了（建议： 禁用）"},
    {50, 2, L"wscsvc", L"wscsvc", 150, 149, 148, StartType::kDisabled, StartType::kDisabled,
     L"监视系统安全设置和配置（建议： 禁用）"},
    {51, 2, L"RemoteAcc", L"RemoteAccess", 153, 152, 151, StartType::kDisabled,
     StartType::kDisabled, L"提供拨号联机到区网或是 VPN 服务，一般用户用不到（建议： 禁用）"},
    {52, 2, L"RemoteReg", L"RemoteRegistry", 156, 155, 154, StartType::kDisabled,
     StartType::kDisabled,
     L"基于安全性的理由，如果没有特别的需求，建议最好关了它，除非你需要远程协助修改你的登录设定（建议： 禁用）"},
    {53, 2, L"RpcLocator", L"RpcLocator", 159, 158, 157, StartType::kDisabled, StartType::kDisabled,
     L"管理 RPC 名称服务数据库，一般计算机上很少用到，可以尝试关了（建议： 禁用）"},
    {54, 2, L"RDSessMgr", L"RDSessMgr", 162, 161, 160, StartType::kDisabled, StartType::kDisabled,
     L"管理和控制远程协助，如果不使用可以关了（建议： 禁用）"},
    {55, 2, L"RasMan", L"RasMan", 165, 164, 163, StartType::kManual, StartType::kManual,
     L"网络联机用（建议： 手动）"},
    {56, 2, L"RasAuto", L"RasAuto", 168, 167, 166, StartType::kManual, StartType::kManual,
     L"有些 DSL/Cable 提供者，可能需要用此来处理登入程序（建议： 手动）"},
    {57, 2, L"Spooler", L"Spooler", 171, 170, 169, StartType::kDisabled, StartType::kAutomatic,
     L"如果没有打印机，可以关了（建议： 禁用）"},
}};

// Page 1 then page 2, rows top to bottom, cells left to right.
constexpr std::array<int, kServiceCount> kReadingOrder = {
    1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 15, 14, 13, 18, 17, 16, 19,
    20, 21, 24, 23, 22, 27, 26, 25, 30, 29, 28, 57, 56, 55, 54, 53, 52, 51, 50,
    49, 46, 47, 48, 43, 44, 45, 42, 41, 40, 37, 38, 39, 34, 35, 36, 31, 32};

constexpr int kPageOneEntries = 30;
constexpr int kColumns = 3;

// The two-letter codes that follow "tqfw" for Check7 onwards: ya..yz and aa..az without
// yx and ax, then ba..fz as far as needed.
std::wstring FarmCode(int index) {
  static const std::wstring kFirstLetters = L"yabcdef";
  for (wchar_t first : kFirstLetters) {
    const bool skipsX = first == L'y' || first == L'a';
    const int codes = skipsX ? 25 : 26;
    if (index < codes) {
      wchar_t second = static_cast<wchar_t>(L'a' + index);
      if (skipsX && second >= L'x') {
        ++second;
      }
      return std::wstring{first, second};
    }
    index -= codes;
  }
  return {};
}

std::optional<int> NumberAfter(std::wstring_view name, std::wstring_view prefix) {
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 3 ||
      name.substr(0, prefix.size()) != prefix) {
    return std::nullopt;
  }
  int number = 0;
  for (wchar_t c : name.substr(prefix.size())) {
    if (c < L'0' || c > L'9') {
      return std::nullopt;
    }
    number = number * 10 + (c - L'0');
  }
  if (name[prefix.size()] == L'0') {
    return std::nullopt;
  }
  return number;
}

}  // namespace

int ServiceEntry::BoxOf(StartType type) const {
  switch (type) {
    case StartType::kAutomatic:
      return automaticBox;
    case StartType::kManual:
      return manualBox;
    case StartType::kDisabled:
      return disabledBox;
  }
  return 0;
}

const std::array<ServiceEntry, kServiceCount>& ServiceCatalogue::Entries() {
  return kEntries;
}

const ServiceEntry* ServiceCatalogue::FindEntry(int number) {
  for (const ServiceEntry& entry : kEntries) {
    if (entry.number == number) {
      return &entry;
    }
  }
  return nullptr;
}

const ServiceEntry* ServiceCatalogue::FindEntryByKey(std::wstring_view serviceKey) {
  const std::wstring folded = AsciiUpper(serviceKey);
  for (const ServiceEntry& entry : kEntries) {
    if (AsciiUpper(entry.serviceKey) == folded) {
      return &entry;
    }
  }
  return nullptr;
}

const std::array<int, kBoxCount>& ServiceCatalogue::BoxNumbers() {
  static const std::array<int, kBoxCount> numbers = [] {
    std::array<int, kBoxCount> boxes{};
    int at = 0;
    for (const ServiceEntry& entry : kEntries) {
      for (int box = 3 * entry.number - 2; box <= 3 * entry.number; ++box) {
        boxes[at++] = box;
      }
    }
    return boxes;
  }();
  return numbers;
}

std::optional<BoxInfo> ServiceCatalogue::FindBox(int boxNumber) {
  const ServiceEntry* entry = FindEntry((boxNumber + 2) / 3);
  if (boxNumber < 1 || entry == nullptr) {
    return std::nullopt;
  }
  if (entry->automaticBox == boxNumber) {
    return BoxInfo{entry, StartType::kAutomatic};
  }
  if (entry->manualBox == boxNumber) {
    return BoxInfo{entry, StartType::kManual};
  }
  return BoxInfo{entry, StartType::kDisabled};
}

std::optional<BoxInfo> ServiceCatalogue::FindBox(std::wstring_view controlName) {
  const std::optional<int> number = NumberAfter(controlName, L"Check");
  return number ? FindBox(*number) : std::nullopt;
}

std::wstring ServiceCatalogue::BoxStem(int boxNumber) {
  if (!FindBox(boxNumber)) {
    return {};
  }
  static const wchar_t kTriadLetters[] = L"abc";
  if (boxNumber <= 3) {
    return std::wstring(L"tqal") + kTriadLetters[boxNumber - 1];
  }
  if (boxNumber <= 6) {
    return std::wstring(L"tqlg") + kTriadLetters[boxNumber - 4];
  }
  const int index = boxNumber - 7 - (boxNumber >= 100 ? 3 : 0);
  return L"tqfw" + FarmCode(index);
}

std::wstring ServiceCatalogue::SettingsStem(std::wstring_view controlName) {
  if (controlName == L"Option1") {
    return L"tqxzza";
  }
  if (controlName == L"Option2") {
    return L"tqxzzb";
  }
  const std::optional<int> number = NumberAfter(controlName, L"Check");
  return number ? BoxStem(*number) : std::wstring();
}

ServiceLocation ServiceCatalogue::LocationOf(const ServiceEntry& entry) {
  return {registry::kLocalMachine,
          L"SYSTEM\\CurrentControlSet\\Services\\" + std::wstring(entry.serviceKey), L"Start"};
}

const std::array<int, kServiceCount>& ServiceCatalogue::ReadingOrder() {
  return kReadingOrder;
}

namespace {
int PlaceOnPage(const ServiceEntry& entry) {
  const auto at = std::find(kReadingOrder.begin(), kReadingOrder.end(), entry.number);
  const int index = static_cast<int>(at - kReadingOrder.begin());
  return entry.page == 1 ? index : index - kPageOneEntries;
}
}  // namespace

int ServiceCatalogue::RowOf(const ServiceEntry& entry) {
  return PlaceOnPage(entry) / kColumns;
}

int ServiceCatalogue::ColumnOf(const ServiceEntry& entry) {
  return PlaceOnPage(entry) % kColumns;
}

std::wstring_view StartTypeDigit(StartType type) {
  switch (type) {
    case StartType::kAutomatic:
      return L"2";
    case StartType::kManual:
      return L"3";
    case StartType::kDisabled:
      return L"4";
  }
  return {};
}

}  // namespace svctune
