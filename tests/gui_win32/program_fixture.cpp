// ProgramTest: folders, server, stand-in and files of one end-to-end test.
#include "program_fixture.h"

#include <shlobj.h>

#include <atomic>
#include <filesystem>

#include "app/live_import_frm.h"
#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "gui/win32/win32_text.h"
#include "ipc/server_calls.h"
#include "platform/codepage.h"

namespace wb::test {
namespace {

std::atomic<int> gTestNumber{0};

void SetClassCommand(const std::wstring& key, const std::wstring& value) {
  HKEY handle = nullptr;
  if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
      ERROR_SUCCESS)
    return;
  ::RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(handle);
}

void AppendRecord(std::string& block, const std::u16string& name, const std::string& value) {
  const int32_t nameBytes = static_cast<int32_t>(name.size() * 2);
  block.append(reinterpret_cast<const char*>(&nameBytes), 4);
  for (char16_t c : name) {
    block.push_back(static_cast<char>(c & 0xFF));
    block.push_back(static_cast<char>(c >> 8));
  }
  const int64_t valueBytes = static_cast<int64_t>(value.size());
  block.append(reinterpret_cast<const char*>(&valueBytes), 8);
  block += value;
}

std::string Utf16Bytes(const std::string& ansi) {
  std::string bytes;
  for (char16_t c : platform::AnsiToWide(ansi)) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

}  // namespace

const char* const kThreeEntries =
    "{\r\n"
    "  \"LogFileName\":\"<TMP>log.json\",\r\n"
    "  \"Items\":[\r\n"
    "    {\r\n"
    "      \"Info\":\"Angebot <b>fett<\\/b>\",\r\n"
    "      \"Filter.POT\":\"ANGEBOT\",\r\n"
    "      \"Filter.Output\":\"mail\",\r\n"
    "      \"Filter.LayoutName\":\"\",\r\n"
    "      \"Destination\":\"pdf\",\r\n"
    "      \"SuperLayoutname\":\"Angebot\",\r\n"
    "      \"LabelPrinter\":\"\",\r\n"
    "      \"Defaultprinter\":\"\",\r\n"
    "      \"DefaultprinterBinName\":\"\",\r\n"
    "      \"DuplexType\":\"\",\r\n"
    "      \"Copies\":1,\r\n"
    "      \"Forbidden\":false,\r\n"
    "      \"UID\":\"UID-PDF\"\r\n"
    "    },\r\n"
    "    {\r\n"
    "      \"Info\":\"Extern Programm\",\r\n"
    "      \"Destination\":\"Extern\",\r\n"
    "      \"UID\":\"UID-EXT\"\r\n"
    "    },\r\n"
    "    {\r\n"
    "      \"Info\":\"Lieferschein Lager\",\r\n"
    "      \"Destination\":\"print\",\r\n"
    "      \"Defaultprinter\":\"Lager 1\",\r\n"
    "      \"Copies\":2,\r\n"
    "      \"UID\":\"UID-PRINT\"\r\n"
    "    }\r\n"
    "  ]\r\n"
    "}\r\n";

const char* const kOrder = "{\"Order\":[{\"PrintName\":\"Angebot 4711\",\"PrintUID\":\"A/17\"}]}";

void ProgramTest::SetUpTestSuite() {
  // The stand-in opens PDF and HTML files (in the tests' own Wine prefix).
  const std::wstring command = L"\"" + win32::Wide(BinFolder()) + L"wb-open-standin.exe\" \"%1\"";
  for (const wchar_t* type : {L"pdf", L"html"}) {
    const std::wstring progId = std::wstring(L"WbTest.") + type;
    SetClassCommand(std::wstring(L".") + type, progId);
    SetClassCommand(progId + L"\\shell\\open\\command", command);
  }
}

void ProgramTest::SetUp() {
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(sizeof temp, temp);
  // Process ids come round again under Wine: the time makes the folder new.
  root_ = std::string(temp) + "wbgui-" + std::to_string(::GetCurrentProcessId()) + "-" +
          std::to_string(::GetTickCount64()) + "-" + std::to_string(++gTestNumber) + "\\";
  ForceDirs(root_ + "tmp\\");
  tmp_ = std::make_unique<ScopedVariable>("TMP", root_ + "tmp");
  temp_ = std::make_unique<ScopedVariable>("TEMP", root_ + "tmp");
  record_ = std::make_unique<ScopedVariable>("WB_STANDIN_RECORD", root_ + "opened.txt");
  ::DeleteFileA((Desktop() + "WerkbankQuery.Mehrfachausgabe\\Angebot 4711 A17.pdf").c_str());
  SetCurrentServerName("");
}

void ProgramTest::TearDown() {
  server_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
  SetCurrentServerName("");
  record_.reset();
  temp_.reset();
  tmp_.reset();
}

void ProgramTest::StartServer(const std::string& databaseName) {
  database_ = root_ + databaseName + "\\";
  application_ = root_ + "app\\";
  ForceDirs(database_ + "Sonderdruck.V1\\");
  ForceDirs(application_ + "SPOOLER\\PDFX\\");
  server_ = std::make_unique<ScriptedServer>(
      "WBK-GUI-TEST-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(gTestNumber.load()), database_,
      application_);
  server_->SetAnswer("SIMPLEGETJSON", kOrder);
  ASSERT_TRUE(server_->Running());
}

void ProgramTest::WriteEntries(const std::string& text) {
  HANDLE file = ::CreateFileA((database_ + "Sonderdruck.V1\\sdr.json").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(file);
}

std::string ProgramTest::EntriesText() const { return ReadBytes(database_ + "Sonderdruck.V1\\sdr.json"); }

void ProgramTest::WriteSettings(int itemIndex, bool openPdf) {
  const std::string text =
      "[Setup]\r\nItemIndex=" + std::to_string(itemIndex) + "\r\nOpenPDF=" + (openPdf ? "1" : "0") + "\r\n";
  const std::string path = TLiveImportFrm::SettingsFilePath();
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(file);
}

std::string ProgramTest::SettingsText() const { return ReadBytes(TLiveImportFrm::SettingsFilePath()); }

std::string ProgramTest::Opened(int count, int timeoutMs) const {
  const std::string path = root_ + "opened.txt";
  std::string text;
  WaitUntil(
      [&] {
        text = ReadBytes(path);
        int lines = 0;
        for (char c : text) lines += c == '\n';
        return lines >= count;
      },
      timeoutMs);
  return text;
}

std::string ProgramTest::Desktop() const {
  char path[MAX_PATH + 1] = {};
  ::SHGetFolderPathA(nullptr, CSIDL_DESKTOP, nullptr, 0, path);
  std::string folder(path);
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

std::string ProgramTest::PdfPath(const std::string& name) const {
  return Desktop() + "WerkbankQuery.Mehrfachausgabe\\" + name + ".pdf";
}

std::string ExpectedRequestBlock(const std::string& command, int index, const std::string& data) {
  std::string block;
  AppendRecord(block, u"COMMAND", Utf16Bytes(command));
  const int32_t value = index;
  AppendRecord(block, u"INDEX", std::string(reinterpret_cast<const char*>(&value), 4));
  AppendRecord(block, u"DATA", Utf16Bytes(data));
  return block;
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace wb::test
