// A main window logic with a private home, a database and an installation
// folder, a scripted server and recording view and opener.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/live_import_frm.h"
#include "app_fakes.h"
#include "client/file_helpers.h"
#include "client/message_boxes.h"
#include "platform/folders.h"
#include "support/files.h"
#include "support/message_recorder.h"
#include "support/temp_env.h"

namespace wb::test {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRetryPauseMsForTesting(0);
    test::Messages().TakeShownTexts();
    database = env.Dir("db");
    application = env.Dir("app");
    server.Answer("DBPATH", {database});
    server.Answer("APPPATH", {application});
    frm = std::make_unique<TLiveImportFrm>(view, server, opener);
    frm->PrintHandedOverMs = 0;
  }
  void TearDown() override {
    frm.reset();
    SetRetryPauseMsForTesting(-1);
  }
  std::string EntriesPath() const { return database + "Sonderdruck.V1" + platform::kPathDelimiter + "sdr.json"; }
  // An entries file with the given entry objects (JSON text, comma-separated).
  void WriteEntries(const std::string& items) {
    WriteBytes(EntriesPath(), "{\"LogFileName\":\"<TMP>log.json\",\"Items\":[" + items + "]}");
  }
  static std::string Entry(const std::string& info, const std::string& destination, bool forbidden = false,
                           const std::string& uid = "") {
    return "{\"Info\":\"" + info + "\",\"Destination\":\"" + destination +
           "\",\"Forbidden\":" + (forbidden ? "true" : "false") + ",\"UID\":\"" + uid + "\"}";
  }

  TempEnv env;
  std::string database, application;
  RecordingView view;
  ScriptedServer server;
  RecordingOpener opener;
  std::unique_ptr<TLiveImportFrm> frm;
};

}  // namespace wb::test
