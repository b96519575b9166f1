// The fixture of the end-to-end tests: a private folder per test (the
// program's temporary folder, the database and installation folders), the
// test's own server, the stand-in registered for .pdf and .html, and helpers
// for the entries and settings files.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "program_driver.h"
#include "scripted_server.h"
#include "support/files.h"

namespace wb::test {

class ProgramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Starts the server; databaseName is the database folder's name below the test's folder.
  void StartServer(const std::string& databaseName = "db");
  void WriteEntries(const std::string& text);
  std::string EntriesText() const;
  void WriteSettings(int itemIndex, bool openPdf);
  std::string SettingsText() const;
  // What the stand-in was given, one argument per line; waits for count lines.
  std::string Opened(int count = 1, int timeoutMs = 15000) const;
  // The PDF the tool asks for: <desktop>\WerkbankQuery.Mehrfachausgabe\<name>.pdf.
  std::string PdfPath(const std::string& name) const;
  std::string Desktop() const;

  std::string root_;         // the test's folder, trailing backslash
  std::string database_;     // DBPATH
  std::string application_;  // APPPATH
  std::unique_ptr<ScriptedServer> server_;
  std::unique_ptr<ScopedVariable> tmp_, temp_, record_;
};

// The request's data block as the tool must send it: COMMAND, INDEX, DATA.
std::string ExpectedRequestBlock(const std::string& command, int index, const std::string& data);
bool FileExists(const std::string& path);

// The entries of the tests: a PDF entry with markup, a print entry, an external one.
extern const char* const kThreeEntries;
// The order the server reports as open.
extern const char* const kOrder;

}  // namespace wb::test
