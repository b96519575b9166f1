// Shell folders and the temporary folder on Windows: the client folder in the
// public documents, the tool's temporary folder below GetTempPathA.
#include <gtest/gtest.h>

#include "win32/win32_test_support.h"

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "platform/folders.h"
#include "platform/shell_link.h"
#include "support/temp_env.h"

namespace wb {
namespace {

std::string SystemFolder(int csidl) {
  char buffer[MAX_PATH] = {};
  EXPECT_EQ(::SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer), S_OK);
  return buffer;
}

TEST(Win32Folders, ClientFolderLiesInPublicDocuments) {
  const std::string publicDocuments = SystemFolder(CSIDL_COMMON_DOCUMENTS);
  ASSERT_FALSE(publicDocuments.empty());
  const std::string expected = publicDocuments + "\\WB-ClientRoot\\default\\";
  EXPECT_EQ(GetClientRootDir(), expected);
  EXPECT_TRUE(DirExistsEx(expected));
  // All three lookups name the same folder, without a trailing delimiter.
  std::string viaLocation, viaSpecial, viaFolder;
  EXPECT_TRUE(platform::GetSpecialFolderLocationPath(platform::kCsidlCommonDocuments, viaLocation));
  EXPECT_TRUE(platform::GetSpecialFolderPath(platform::kCsidlCommonDocuments, viaSpecial));
  EXPECT_TRUE(platform::GetFolderPath(platform::kCsidlCommonDocuments, viaFolder));
  EXPECT_EQ(viaLocation, publicDocuments);
  EXPECT_EQ(viaSpecial, publicDocuments);
  EXPECT_EQ(viaFolder, publicDocuments);
  EXPECT_EQ(GetShellFolder(platform::kCsidlDesktop), SystemFolder(CSIDL_DESKTOPDIRECTORY) + "\\");
}

TEST(Win32Folders, TemporaryFolderFollowsGetTempPath) {
  test::TempEnv env;  // points TMP and TEMP at a private folder
  char buffer[MAX_PATH + 1] = {};
  ASSERT_GT(::GetTempPathA(sizeof buffer, buffer), 0u);
  const std::string systemTemp = buffer;
  EXPECT_EQ(platform::GetTempPath(), systemTemp);
  EXPECT_EQ(systemTemp, env.Tmp().string() + "\\");
  EXPECT_EQ(GetClientTempDir(""), systemTemp + "WBTempDir\\");
  EXPECT_EQ(GetClientTempDir("XCURSOR"), systemTemp + "WBTempDir\\XCURSOR\\");
  EXPECT_TRUE(DirExistsEx(systemTemp + "WBTempDir\\XCURSOR"));
}

TEST(Win32Folders, AFileInPlaceOfTheTemporaryFolderIsRefused) {
  test::TempEnv env;
  test::WriteBytes(env.Tmp().string() + "\\WBTempDir", "kein Ordner");
  EXPECT_THROW(GetClientTempDir(""), EInOutError);
}

TEST(Win32Folders, UnknownShellFoldersGiveNothing) {
  std::string path = "stale";
  EXPECT_FALSE(platform::GetFolderPath(0x4242, path));
  EXPECT_EQ(path, "");
  EXPECT_EQ(GetShellFolder(0x4242), "");
  EXPECT_EXIT(GetSpecialFolderOrHalt(0x4242), ::testing::ExitedWithCode(1), "Systemfehler:");
}

TEST(Win32Folders, ModuleFolderAndCurrentFolder) {
  const std::string program = platform::GetModuleFileName();
  EXPECT_EQ(platform::GetModuleDir(), program.substr(0, program.find_last_of('\\') + 1));
  EXPECT_NE(program.find("test_win32.exe"), std::string::npos);
}

}  // namespace
}  // namespace wb
