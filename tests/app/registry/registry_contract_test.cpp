// The registry seam's contract: the same cases against every backend, so the in-memory
// registry answers exactly as the system's does (status codes, byte counts, handle rules).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "registry_backend.h"

namespace svctune::registry {
namespace {

using testing::BackendKind;

constexpr std::uint8_t kMarker = 0xbd;

class RegistryContract : public ::testing::TestWithParam<BackendKind> {
 protected:
  void SetUp() override {
    backend_ = testing::RegistryBackend::Create(GetParam());
    api_ = &backend_->Api();
    ASSERT_EQ(kSuccess, api_->RegCreateKeyExA(kCurrentUser, "Contract", 0, nullptr, 0,
                                              kKeyAllSpecificRights, &scratch_, nullptr));
  }
  void TearDown() override { EXPECT_EQ(kSuccess, api_->RegCloseKey(scratch_)); }

  KeyHandle Create(const char* path) {
    KeyHandle key = 0;
    EXPECT_EQ(kSuccess, api_->RegCreateKeyA(scratch_, path, &key));
    return key;
  }
  KeyHandle Open(const char* path, std::uint32_t access) {
    KeyHandle key = 0;
    EXPECT_EQ(kSuccess, api_->RegOpenKeyExA(scratch_, path, 0, access, &key));
    return key;
  }
  Status OpenStatus(const char* path) {
    KeyHandle key = 0;
    const Status status = api_->RegOpenKeyExA(scratch_, path, 0, kKeyRead, &key);
    if (status == kSuccess) {
      api_->RegCloseKey(key);
    }
    return status;
  }
  void SetBytes(KeyHandle key, const char* name, std::uint32_t type, const void* data,
                std::uint32_t size) {
    ASSERT_EQ(kSuccess, api_->RegSetValueExA(key, name, 0, type,
                                             static_cast<const std::uint8_t*>(data), size));
  }
  std::uint32_t SizeOf(KeyHandle key, const char* name) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(kSuccess, api_->RegQueryValueExA(key, name, nullptr, &type, nullptr, &size));
    return size;
  }

  std::unique_ptr<testing::RegistryBackend> backend_;
  RegistryApi* api_ = nullptr;
  KeyHandle scratch_ = 0;
};

TEST_P(RegistryContract, KeysAreCreatedWithTheirParentsAndFoundWithoutRegardToCase) {
  EXPECT_EQ(kFileNotFound, OpenStatus("Alpha"));
  KeyHandle key = 0;
  std::uint32_t disposition = 0;
  ASSERT_EQ(kSuccess, api_->RegCreateKeyExA(scratch_, "Alpha\\Beta", 0, nullptr, 0, kKeyRead, &key,
                                            &disposition));
  EXPECT_EQ(1u, disposition);
  api_->RegCloseKey(key);
  ASSERT_EQ(kSuccess, api_->RegCreateKeyExA(scratch_, "ALPHA\\beta", 0, nullptr, 0, kKeyRead, &key,
                                            &disposition));
  EXPECT_EQ(2u, disposition);
  api_->RegCloseKey(key);

  EXPECT_EQ(kSuccess, OpenStatus("alpha"));
  EXPECT_EQ(kSuccess, OpenStatus("Alpha\\BETA"));
  EXPECT_EQ(kFileNotFound, OpenStatus("Alpha\\Gamma"));
}

TEST_P(RegistryContract, PathSeparatorsFollowTheSystemsRules) {
  api_->RegCloseKey(Create("One\\Two"));
  EXPECT_EQ(kBadPathname, OpenStatus("\\One"));
  EXPECT_EQ(kSuccess, OpenStatus("One\\"));
  EXPECT_EQ(kSuccess, OpenStatus("One\\\\Two"));
  KeyHandle key = 0;
  EXPECT_EQ(kBadPathname, api_->RegCreateKeyA(scratch_, "\\Three", &key));
}

TEST_P(RegistryContract, EmptySubKeysNameTheKeyItself) {
  KeyHandle same = 0;
  ASSERT_EQ(kSuccess, api_->RegOpenKeyA(scratch_, "", &same));
  EXPECT_EQ(scratch_, same);
  ASSERT_EQ(kSuccess, api_->RegOpenKeyExA(kCurrentUser, nullptr, 0, kKeyRead, &same));
  EXPECT_EQ(kCurrentUser, same);

  KeyHandle other = 0;
  ASSERT_EQ(kSuccess, api_->RegOpenKeyExA(scratch_, "", 0, kKeyRead, &other));
  EXPECT_NE(scratch_, other);
  EXPECT_EQ(kSuccess, api_->RegCloseKey(other));
}

TEST_P(RegistryContract, TextIsCountedInAnsiBytesAndTerminatedWhenThereIsRoom) {
  const KeyHandle key = Create("Text");
  SetBytes(key, "plain", kRegSz, "abc", 4);
  // "中文" is four bytes in code page 936, five with the terminating zero.
  SetBytes(key, "double", kRegSz, "\xd6\xd0\xce\xc4", 5);
  EXPECT_EQ(4u, SizeOf(key, "plain"));
  EXPECT_EQ(5u, SizeOf(key, "double"));

  std::uint8_t buffer[8];
  std::memset(buffer, kMarker, sizeof buffer);
  std::uint32_t type = 0;
  std::uint32_t size = 3;
  EXPECT_EQ(kMoreData, api_->RegQueryValueExA(key, "plain", nullptr, &type, buffer, &size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(kMarker, buffer[0]) << "a refused read leaves the buffer alone";

  size = sizeof buffer;
  ASSERT_EQ(kSuccess, api_->RegQueryValueExA(key, "double", nullptr, &type, buffer, &size));
  EXPECT_EQ(kRegSz, type);
  EXPECT_EQ(5u, size);
  EXPECT_EQ(0, std::memcmp(buffer, "\xd6\xd0\xce\xc4", 5));
  EXPECT_EQ(kMarker, buffer[5]);

  // A value stored without its terminator: counted without it, terminated on reading when
  // the buffer has room, untouched after its data otherwise.
  const char unterminated[] = "xyzQ";
  SetBytes(key, "bare", kRegSz, unterminated, 3);
  EXPECT_EQ(3u, SizeOf(key, "bare"));
  std::memset(buffer, kMarker, sizeof buffer);
  size = sizeof buffer;
  ASSERT_EQ(kSuccess, api_->RegQueryValueExA(key, "bare", nullptr, &type, buffer, &size));
  EXPECT_EQ(3u, size);
  EXPECT_EQ(0, std::memcmp(buffer, "xyz\0", 4));
  std::memset(buffer, kMarker, sizeof buffer);
  size = 3;
  ASSERT_EQ(kSuccess, api_->RegQueryValueExA(key, "bare", nullptr, &type, buffer, &size));
  EXPECT_EQ(kMarker, buffer[3]);

  SetBytes(key, "empty", kRegSz, "", 0);
  std::memset(buffer, kMarker, sizeof buffer);
  size = sizeof buffer;
  ASSERT_EQ(kSuccess, api_->RegQueryValueExA(key, "empty", nullptr, &type, buffer, &size));
  EXPECT_EQ(0u, size);
  EXPECT_EQ(kMarker, buffer[0]);
  api_->RegCloseKey(key);
}

// A service's DependOnService: names separated by zeros, ended by an empty name.
TEST_P(RegistryContract, MultiStringsKeepTheirInnerZerosAndAreCountedInAnsiBytes) {
  const KeyHandle key = Create("Multi");
  // "Srv", "中文" (four bytes in code page 936) and the empty name that ends the list.
  const char list[] = "Srv\0\xd6\xd0\xce\xc4\0";
  SetBytes(key, "DependOnService", kRegMultiSz, list, 10);
  EXPECT_EQ(10u, SizeOf(key, "DependOnService"));

  std::uint8_t buffer[16];
  std::memset(buffer, kMarker, sizeof buffer);
  std::uint32_t type = 0;
  std::uint32_t size = 9;
  EXPECT_EQ(kMoreData,
            api_->RegQueryValueExA(key, "DependOnService", nullptr, &type, buffer, &size));
  EXPECT_EQ(10u, size);
  EXPECT_EQ(kMarker, buffer[0]);
  size = sizeof buffer;
  ASSERT_EQ(kSuccess,
            api_->RegQueryValueExA(key, "DependOnService", nullptr, &type, buffer, &size));
  EXPECT_EQ(kRegMultiSz, type);
  EXPECT_EQ(10u, size);
  EXPECT_EQ(0, std::memcmp(buffer, list, 10));
  EXPECT_EQ(kMarker, buffer[10]);

  // Without the zeros that end it: counted as stored, terminated once when there is room.
  const char unterminated[] = "ab\0cdQ";
  SetBytes(key, "Cut", kRegMultiSz, unterminated, 5);
  EXPECT_EQ(5u, SizeOf(key, "Cut"));
  std::memset(buffer, kMarker, sizeof buffer);
  size = sizeof buffer;
  ASSERT_EQ(kSuccess, api_->RegQueryValueExA(key, "Cut", nullptr, &type, buffer, &size));
  EXPECT_EQ(5u, size);
  EXPECT_EQ(0, std::memcmp(buffer, "ab\0cd\0", 6));
  EXPECT_EQ(kMarker, buffer[6]);
  std::memset(buffer, kMarker, sizeof buffer);
  size = 5;
  ASSERT_EQ(kSuccess, api_->RegQueryValueExA(key, "Cut", nullptr, &type, buffer, &size));
  EXPECT_EQ(kMarker, buffer[5]);
  api_->RegCloseKey(key);
}

TEST_P(RegistryContract, NumbersAndRawBytesKeepTheirSize) {
  const KeyHandle key = Create("Numbers");
  const std::uint32_t seven = 7;
  SetBytes(key, "dword", kRegDword, &seven, 4);
  const std::uint8_t three[] = {1, 2, 3};
  SetBytes(key, "short", kRegDword, three, 3);
  SetBytes(key, "raw", kRegBinary, three, 3);

  std::uint8_t buffer[8];
  std::uint32_t type = 0;
  std::uint32_t size = 2;
  EXPECT_EQ(kMoreData, api_->RegQueryValueExA(key, "DWORD", nullptr, &type, buffer, &size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(kRegDword, type);
  size = sizeof buffer;
  ASSERT_EQ(kSuccess, api_->RegQueryValueExA(key, "dword", nullptr, &type, buffer, &size));
  EXPECT_EQ(4u, size);
  EXPECT_EQ(7, buffer[0]);

  EXPECT_EQ(3u, SizeOf(key, "short"));
  std::memset(buffer, kMarker, sizeof buffer);
  size = sizeof buffer;
  ASSERT_EQ(kSuccess, api_->RegQueryValueExA(key, "raw", nullptr, &type, buffer, &size));
  EXPECT_EQ(kRegBinary, type);
  EXPECT_EQ(3u, size);
  EXPECT_EQ(kMarker, buffer[3]) << "raw bytes are never terminated";
  api_->RegCloseKey(key);
}

TEST_P(RegistryContract, MissingValuesAnswerNotFound) {
  const KeyHandle key = Create("Missing");
  std::uint32_t type = 77;
  std::uint32_t size = 10;
  EXPECT_EQ(kFileNotFound, api_->RegQueryValueExA(key, "none", nullptr, &type, nullptr, &size));
  EXPECT_EQ(kRegNone, type);
  EXPECT_EQ(0u, size);
  EXPECT_EQ(kFileNotFound, api_->RegDeleteValueA(key, "none"));

  SetBytes(key, "Value", kRegSz, "v", 2);
  EXPECT_EQ(kSuccess, api_->RegDeleteValueA(key, "VALUE"));
  EXPECT_EQ(kFileNotFound, api_->RegDeleteValueA(key, "value"));

  SetBytes(key, nullptr, kRegSz, "default", 8);
  EXPECT_EQ(8u, SizeOf(key, ""));
  api_->RegCloseKey(key);
}

TEST_P(RegistryContract, HandlesOnlyDoWhatTheyWereOpenedFor) {
  api_->RegCloseKey(Create("Rights\\Child"));
  const KeyHandle reader = Open("Rights", kKeyRead);
  EXPECT_EQ(kAccessDenied, api_->RegSetValueExA(reader, "v", 0, kRegSz,
                                                reinterpret_cast<const std::uint8_t*>("x"), 2));
  EXPECT_EQ(kAccessDenied, api_->RegDeleteValueA(reader, "v"));
  char name[16];
  EXPECT_EQ(kSuccess, api_->RegEnumKeyA(reader, 0, name, sizeof name));
  api_->RegCloseKey(reader);

  const KeyHandle writer = Open("Rights", kKeyWrite);
  std::uint32_t size = 0;
  EXPECT_EQ(kAccessDenied, api_->RegQueryValueExA(writer, "v", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(kAccessDenied, api_->RegEnumKeyA(writer, 0, name, sizeof name));
  EXPECT_EQ(kSuccess, api_->RegSetValueExA(writer, "v", 0, kRegSz,
                                           reinterpret_cast<const std::uint8_t*>("x"), 2));
  api_->RegCloseKey(writer);
}

TEST_P(RegistryContract, KeysWithSubKeysCannotBeDeleted) {
  api_->RegCloseKey(Create("Tree\\Leaf"));
  EXPECT_EQ(kAccessDenied, api_->RegDeleteKeyA(scratch_, "Tree"));
  EXPECT_EQ(kSuccess, OpenStatus("Tree"));
  EXPECT_EQ(kFileNotFound, api_->RegDeleteKeyA(scratch_, "Tree\\Nothing"));

  const KeyHandle leaf = Open("Tree\\Leaf", kKeyAllSpecificRights);
  EXPECT_EQ(kSuccess, api_->RegDeleteKeyA(scratch_, "tree\\LEAF"));
  EXPECT_EQ(kKeyDeleted, api_->RegSetValueExA(leaf, "v", 0, kRegSz,
                                              reinterpret_cast<const std::uint8_t*>("x"), 2));
  EXPECT_EQ(kSuccess, api_->RegCloseKey(leaf));
  EXPECT_EQ(kSuccess, api_->RegDeleteKeyA(scratch_, "Tree"));
  EXPECT_EQ(kFileNotFound, OpenStatus("Tree"));
}

TEST_P(RegistryContract, SubKeysEnumerateInNameOrderUntilNoMoreItems) {
  for (const char* name : {"beta", "Alpha", "gamma"}) {
    api_->RegCloseKey(Create((std::string("List\\") + name).c_str()));
  }
  const KeyHandle list = Open("List", kKeyRead);
  std::vector<std::string> names;
  char name[16];
  std::uint32_t index = 0;
  Status status;
  while ((status = api_->RegEnumKeyA(list, index++, name, sizeof name)) == kSuccess) {
    names.emplace_back(name);
  }
  EXPECT_EQ(kNoMoreItems, status);
  EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "gamma"}), names);
  EXPECT_EQ(kMoreData, api_->RegEnumKeyA(list, 0, name, 5)) << "no room for the terminator";
  EXPECT_EQ(kSuccess, api_->RegEnumKeyA(list, 0, name, 6));
  api_->RegCloseKey(list);
}

TEST_P(RegistryContract, BadHandlesAreRefused) {
  const KeyHandle key = Create("Closing");
  EXPECT_EQ(kSuccess, api_->RegCloseKey(key));
  EXPECT_EQ(kInvalidHandle, api_->RegCloseKey(key));
  EXPECT_EQ(kSuccess, api_->RegCloseKey(kLocalMachine));

  KeyHandle opened = 0;
  EXPECT_EQ(kInvalidHandle, api_->RegOpenKeyExA(0, "x", 0, kKeyRead, &opened));
  EXPECT_EQ(kInvalidHandle, api_->RegOpenKeyExA(0x80000007, "x", 0, kKeyRead, &opened));
  EXPECT_EQ(kInvalidHandle, api_->RegOpenKeyExA(kPerformanceData, "x", 0, kKeyRead, &opened));
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistryContract,
                         ::testing::ValuesIn(testing::AvailableBackends()),
                         [](const auto& info) { return testing::BackendName(info.param); });

}  // namespace
}  // namespace svctune::registry
