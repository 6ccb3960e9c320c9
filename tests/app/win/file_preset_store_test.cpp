#include "win/file_preset_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace svctune::win {
namespace {

class FilePresetStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
    folder_ = std::wstring(temp) + L"svctune-preset-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    path_ = folder_ + L"\\TQSE.ini";
    DeleteFileW(path_.c_str());
  }
  // The file as another program holds it: open for writing with the sharing given.
  HANDLE Hold(DWORD sharing) const {
    return CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  void TearDown() override {
    DeleteFileW(path_.c_str());
    EXPECT_EQ(0, FilesInFolder()) << "no temporary file is left behind";
    RemoveDirectoryW(folder_.c_str());
  }
  int FilesInFolder() const {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
    int files = 0;
    if (search != INVALID_HANDLE_VALUE) {
      do {
        files += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    return files;
  }

  std::wstring folder_;
  std::wstring error_;  // why the last write or copy failed
  std::wstring path_;
};

TEST_F(FilePresetStoreTest, WritesAndReadsTheWholeFile) {
  FilePresetStore store(path_);
  EXPECT_EQ(PresetFileRead::Outcome::kMissing, store.Read().outcome);
  ASSERT_TRUE(store.Write("2\r\n\"a\"\r\n\"b\"\r\n0\r\n", error_));
  EXPECT_EQ(PresetFileRead::Outcome::kRead, store.Read().outcome);
  EXPECT_EQ(std::string("2\r\n\"a\"\r\n\"b\"\r\n0\r\n"), store.Read().bytes);
  ASSERT_TRUE(store.Write("0\r\n-1\r\n", error_));
  EXPECT_EQ(std::string("0\r\n-1\r\n"), store.Read().bytes);
  EXPECT_EQ(1, FilesInFolder());
}

// Another program holding the file open for writing does not keep it from being read; one that
// shares nothing makes the read fail, which is not taken for a missing file.
TEST_F(FilePresetStoreTest, ReadsAFileHeldOpenAndTellsAFailedReadFromAMissingFile) {
  FilePresetStore store(path_);
  ASSERT_TRUE(store.Write("1\r\n\"held\"\r\n0\r\n", error_));
  for (DWORD sharing : {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    HANDLE held = Hold(sharing);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const PresetFileRead read = store.Read();
    CloseHandle(held);
    EXPECT_EQ(PresetFileRead::Outcome::kRead, read.outcome) << sharing;
    EXPECT_EQ(std::string("1\r\n\"held\"\r\n0\r\n"), read.bytes);
  }
  HANDLE locked = Hold(0);
  ASSERT_NE(INVALID_HANDLE_VALUE, locked);
  const PresetFileRead refused = store.Read();
  CloseHandle(locked);
  EXPECT_EQ(PresetFileRead::Outcome::kFailed, refused.outcome);
  EXPECT_TRUE(refused.bytes.empty());
}

TEST_F(FilePresetStoreTest, AFailedReplaceLeavesThePreviousFile) {
  FilePresetStore store(path_);
  ASSERT_TRUE(store.Write("1\r\n\"old\"\r\n0\r\n", error_));
  {
    HANDLE held = CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(store.Write("0\r\n-1\r\n", error_));
    EXPECT_EQ(0u, error_.find(L"系统错误 ")) << "the system's reason";
    CloseHandle(held);
  }
  EXPECT_EQ(std::string("1\r\n\"old\"\r\n0\r\n"), store.Read().bytes);
  EXPECT_FALSE(FilePresetStore(folder_ + L"\\missing\\TQSE.ini").Write("0\r\n-1\r\n", error_));
}

TEST_F(FilePresetStoreTest, ReadsOneBytePastTheLimitToTellACutFile) {
  FilePresetStore store(path_);
  ASSERT_TRUE(store.Write(std::string(kMaxPresetFileBytes + 100, 'x'), error_));
  EXPECT_EQ(kMaxPresetFileBytes + 1, store.Read().bytes.size());
}

TEST_F(FilePresetStoreTest, KeepsABackupBesideTheFile) {
  FilePresetStore store(path_);
  EXPECT_FALSE(store.KeepBackup(error_)) << "no file, nothing to keep";
  ASSERT_TRUE(store.Write("damaged", error_));
  ASSERT_TRUE(store.KeepBackup(error_));
  ASSERT_TRUE(store.Write("0\r\n-1\r\n", error_));
  const std::wstring backup = path_ + L".bak";
  EXPECT_EQ(std::string("damaged"), FilePresetStore(backup).Read().bytes);
  DeleteFileW(backup.c_str());
}

TEST(ProgramFolder, IsTheFolderOfTheRunningProgram) {
  wchar_t module[MAX_PATH];
  ASSERT_NE(0u, GetModuleFileNameW(nullptr, module, MAX_PATH));
  const std::wstring folder = ProgramFolder();
  EXPECT_EQ(0, std::wstring(module).compare(0, folder.size(), folder));
  EXPECT_EQ(L'\\', module[folder.size()]);
}

}  // namespace
}  // namespace svctune::win
