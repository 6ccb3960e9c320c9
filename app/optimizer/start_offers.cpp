#include "optimizer/start_offers.h"

#include "text/unicode_text.h"

namespace svctune {
namespace {

constexpr std::string_view kServer2016 =
    "Guidance on disabling system services on Windows Server 2016 with Desktop Experience";
constexpr std::string_view kIotEnterprise =
    "Guidance on disabling system services on Windows IoT Enterprise: Do not disable";

// Where each entry comes from: docs/services.md.
const std::array<GuardEntry, kGuardEntries> kGuardList = {{
    {L"RpcSs", L"COM 和 DCOM 的服务控制管理器，使用 COM 或 DCOM 的程序都离不开它", kIotEnterprise},
    {L"DcomLaunch", L"按需启动 COM 和 DCOM 服务器，禁用后使用 COM 或 DCOM 的程序无法正常工作",
     kIotEnterprise},
    {L"RpcEptMapper", L"把 RPC 接口解析为传输端点，禁用后使用 RPC 的程序无法正常工作",
     kIotEnterprise},
    {L"SamSs", L"通知其他服务安全帐户管理器已就绪，禁用后其他服务可能无法正确启动", kIotEnterprise},
    {L"PlugPlay", L"让计算机识别并适应硬件变化，停止或禁用会使系统不稳定", kServer2016},
    {L"Power", L"管理电源策略并传递电源通知", kIotEnterprise},
    {L"LSM", L"管理本地用户会话的核心服务，停止或禁用会使系统不稳定", kIotEnterprise},
    {L"BrokerInfrastructure", L"决定系统上哪些后台任务可以运行的 Windows 基础服务", kIotEnterprise},
    {L"CoreMessagingRegistrar", L"管理系统组件之间的通信", kIotEnterprise},
    {L"StateRepository", L"为应用程序模型提供必需的基础支持", kIotEnterprise},
    {L"gpsvc", L"应用管理员通过组策略为计算机和用户配置的设置，禁用后这些设置不再应用",
     kIotEnterprise},
    {L"Winmgmt", L"提供访问系统管理信息的通用接口，停止后大多数 Windows 软件无法正常工作",
     kServer2016},
    {L"EventLog", L"管理事件和事件日志，停止它可能危及系统的安全和可靠", kServer2016},
    {L"ProfSvc", L"加载和卸载用户配置文件，停止或禁用后用户无法登录或注销", kIotEnterprise},
}};

constexpr std::uint32_t kBootStart = 0;
constexpr std::uint32_t kSystemStart = 1;

StartOffer Refused(std::wstring reason) {
  return {false, std::move(reason)};
}

}  // namespace

const std::array<GuardEntry, kGuardEntries>& GuardList() {
  return kGuardList;
}

const GuardEntry* FindGuard(std::wstring_view serviceKey) {
  const std::wstring folded = AsciiUpper(serviceKey);
  for (const GuardEntry& entry : kGuardList) {
    if (AsciiUpper(entry.serviceKey) == folded) {
      return &entry;
    }
  }
  return nullptr;
}

StartOffer OfferStart(const ServiceKeyRecord& record, StartChoice choice,
                      const WindowsVersion& version) {
  if (KindOf(record) == ServiceKind::kPerUserInstance) {
    return Refused(L"这是某个用户的服务实例：请更改其模板 " +
                   std::wstring(TemplateKeyOf(record.key)) + L"，实例在下次登录时随之更改");
  }
  if (record.start.Holds(kBootStart) || record.start.Holds(kSystemStart)) {
    return Refused(L"引导和系统启动的服务由 Windows 在启动之初加载，不在此更改");
  }
  if (record.writeDenied) {
    return Refused(std::wstring(kProtectedKeyText));
  }
  if (choice == StartChoice::kDelayedAutomatic && !version.HasDelayedStart()) {
    return Refused(L"自动（延迟启动）需要 Windows Vista 或更高版本");
  }
  if (choice == StartChoice::kDisabled) {
    if (const GuardEntry* guard = FindGuard(record.key)) {
      return Refused(L"Windows 离不开此服务，不能禁用：" + std::wstring(guard->reason));
    }
  }
  return {};
}

}  // namespace svctune
