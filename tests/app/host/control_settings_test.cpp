#include "control_settings.h"

#include <gtest/gtest.h>

namespace svctune::host {
namespace {

TEST(ControlSettingsTest, MessagesNameTheControlAndTheCode) {
  const std::wstring missing = MissingControlMessage(L"Lamina.Button");
  EXPECT_NE(missing.find(L"“Lamina.Button”"), std::wstring::npos);
  EXPECT_NE(missing.find(L"regsvr32"), std::wstring::npos);
  const std::wstring failed = FailedControlMessage(L"Vellum.CorvidForm", 0x80004005L);
  EXPECT_NE(failed.find(L"“Vellum.CorvidForm”"), std::wstring::npos);
  EXPECT_NE(failed.find(L"0x80004005"), std::wstring::npos);
}

}  // namespace
}  // namespace svctune::host
