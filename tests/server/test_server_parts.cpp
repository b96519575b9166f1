// The parts of wbk-localserver below the process: options, request framing,
// the command table, the service-list line, the printed document and the journal.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/local_service_list.h"
#include "client/streams.h"
#include "ipc/message_data.h"
#include "ipc/wire_format.h"
#include "json/wbjson.h"
#include "platform/codepage.h"
#include "platform/processes.h"
#include "server/cups_printing.h"
#include "server/order_document.h"
#include "server/output_production.h"
#include "server/output_queue.h"
#include "server/printer_list.h"
#include "server/request_framing.h"
#include "server/server_commands.h"
#include "server/server_options.h"
#include "server/service_registration.h"
#include "tests/ipc/memory_pipe.h"
#include "tests/support/bytes_equal.h"
#include "tests/support/temp_env.h"

namespace wb::server {
namespace {

using test::Int64Bytes;
using test::MemoryPipe;

TEST(ServerOptions, ValuesFlagsAndLaunch) {
  TServerOptions options;
  std::string error;
  ASSERT_TRUE(ParseServerOptions({"--database", "/db", "--appdir", "/app/", "--pipe", "P", "--order", "o.json",
                                  "--printers", "p.json", "--verbose", "--no-cups", "--launch", "tool", "--x", "y"},
                                 options, error))
      << error;
  EXPECT_EQ(options.DatabaseDir, "/db/");
  EXPECT_EQ(options.AppDir, "/app/");
  EXPECT_EQ(options.PipeName, "P");
  EXPECT_EQ(options.OrderFile, "o.json");
  EXPECT_EQ(options.PrintersFile, "p.json");
  EXPECT_TRUE(options.Verbose);
  EXPECT_TRUE(options.NoCups);
  EXPECT_FALSE(options.Help);
  EXPECT_EQ(options.LaunchProgram, "tool");
  EXPECT_EQ(options.LaunchArguments, (std::vector<std::string>{"--x", "y"}));
}

TEST(ServerOptions, BadLinesAreRefusedWithAMessage) {
  struct Case {
    std::vector<std::string> arguments;
    const char* message;
  } cases[] = {
      {{"--database"}, "Die Option --database braucht einen Wert."},
      {{"--pipe", ""}, "Die Option --pipe braucht einen Wert."},
      {{"--launch"}, "--launch braucht ein Programm."},
      {{"--colour"}, "Unbekannte Option: --colour (--help zeigt die Optionen)"},
  };
  for (const auto& c : cases) {
    TServerOptions options;
    std::string error;
    EXPECT_FALSE(ParseServerOptions(c.arguments, options, error));
    EXPECT_EQ(error, c.message);
  }
  TServerOptions options;
  std::string error;
  ASSERT_TRUE(ParseServerOptions({"--help"}, options, error));
  EXPECT_TRUE(options.Help);
  EXPECT_NE(ServerHelpText().find("--launch"), std::string::npos);
}

std::string Frame(const std::string& id, const std::string& block) {
  return Int64Bytes(static_cast<int64_t>(id.size())) + id + Int64Bytes(static_cast<int64_t>(block.size())) + block;
}

TEST(RequestFraming, RequestsFollowOneAnotherUntilTheEndMarker) {
  const std::string block = test::Record("COMMAND", test::Utf16Bytes("DBPATH"));
  MemoryPipe pipe(Frame("", block) + Frame("ID7", "") + Int64Bytes(-1) + "ignored", nullptr, 5);
  TRequestReader reader(pipe, 1000);
  IMessageDataPtr request;
  ASSERT_EQ(reader.Next(request), FrameStatus::Request);
  EXPECT_EQ(request->GetData().ReadString(u"COMMAND"), u"DBPATH");
  ASSERT_EQ(reader.Next(request), FrameStatus::Request);
  EXPECT_EQ(request->GetID(), "ID7");
  EXPECT_EQ(request->GetData().Stream().Size(), 0);
  EXPECT_EQ(reader.Next(request), FrameStatus::EndOfInput);
}

TEST(RequestFraming, ClientClosingBetweenRequestsEndsTheInput) {
  MemoryPipe pipe(Frame("", ""), nullptr);
  TRequestReader reader(pipe, 1000);
  IMessageDataPtr request;
  EXPECT_EQ(reader.Next(request), FrameStatus::Request);
  EXPECT_EQ(reader.Next(request), FrameStatus::EndOfInput);
}

TEST(RequestFraming, BadFramesAreMalformed) {
  struct Case {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"ID length below -1", Int64Bytes(-2)},
      {"ID length above the limit", Int64Bytes(ipc::kMaxIdLength + 1)},
      {"negative data size", Int64Bytes(0) + Int64Bytes(-1)},
      {"data size above the limit", Int64Bytes(0) + Int64Bytes(ipc::kMaxDataSize + 1)},
      {"half an ID length", Int64Bytes(0).substr(0, 3)},
      {"ID cut short", Int64Bytes(4) + "ab"},
      {"data size cut short", Int64Bytes(0) + "\x01\x00"},
      {"data cut short", Int64Bytes(0) + Int64Bytes(10) + "abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    MemoryPipe pipe(c.bytes, nullptr, 3);
    TRequestReader reader(pipe, 1000);
    IMessageDataPtr request;
    EXPECT_EQ(reader.Next(request), FrameStatus::Malformed);
    EXPECT_FALSE(request);
  }
}

TEST(RequestFraming, ReplyFrameCarriesIdAndBlock) {
  for (size_t size : {size_t{0}, size_t{10}, size_t{200000}}) {
    IMessageDataPtr reply = CreateMessageData();
    reply->SetID("R");
    if (size) reply->GetData().WriteString(u"DATA", std::u16string(size, u'z'));
    MemoryPipe::Shared shared;
    MemoryPipe pipe("", &shared);
    ASSERT_TRUE(WriteReply(pipe, *reply, 1000));
    TMemoryStream& stream = reply->GetData().Stream();
    EXPECT_BYTES_EQ(shared.Written, Frame("R", std::string(reinterpret_cast<const char*>(stream.Memory()),
                                                           static_cast<size_t>(stream.Size()))));
  }
}

class ServerCommandsTest : public ::testing::Test {
 protected:
  std::u16string AnswerTo(const std::u16string& command, const std::u16string& data = u"") {
    IMessageDataPtr request = CreateMessageData();
    request->GetData().WriteString(u"COMMAND", command);
    request->GetData().WriteInteger(u"INDEX", -1);
    request->GetData().WriteString(u"DATA", data);
    request->GetData().WriteBoolean(u"SYNC", true);
    TServerCommands commands(options_, "PIPE", outputs_);
    IMessageDataPtr reply = commands.Answer(*request);
    return reply->GetData().ReadString(u"DATA");
  }

  test::TempEnv env_;
  TServerOptions options_;
  TOutputQueue outputs_;
};

TEST_F(ServerCommandsTest, TextAnswers) {
  options_.DatabaseDir = "/db/";
  options_.AppDir = "/app/";
  options_.NoCups = true;
  EXPECT_EQ(AnswerTo(u"DBPATH"), u"/db/");
  EXPECT_EQ(AnswerTo(u"APPPATH"), u"/app/");
  EXPECT_EQ(AnswerTo(u"SERVERPROCESS"),
            u"PIPE\u0008" + platform::AnsiToWide(std::to_string(platform::GetCurrentProcessId())));
  EXPECT_EQ(AnswerTo(u"SIMPLEGETJSON"), u"{\"Order\":[]}");
  EXPECT_EQ(AnswerTo(u"PRINTERS"), DemoPrintersJson());
  EXPECT_EQ(AnswerTo(u"dbpath"), u"");  // commands are case-sensitive words
  EXPECT_EQ(AnswerTo(u""), u"");
}

TEST_F(ServerCommandsTest, OutputCommandsAreAcknowledgedAtOnce) {
  options_.AppDir = env_.Dir("app");
  options_.NoCups = true;
  EXPECT_EQ(AnswerTo(u"PRINT", u"{\"Defaultprinter\":\"X\"}"), u"");
  EXPECT_TRUE(outputs_.WaitIdle(30000));
  EXPECT_TRUE(FileExistsEx(PrintJournalFileName(options_.AppDir)));
}

// A printout that cannot happen is refused in the reply and in the journal;
// tests/server/test_server_cups.cpp has the refusals of a real scheduler.
TEST_F(ServerCommandsTest, PrintWithoutAPrinterIsRefusedInTheReplyAndTheJournal) {
  options_.AppDir = env_.Dir("app");
  const std::string refusal = "nicht gedruckt: kein Drucker angegeben";
  EXPECT_EQ(AnswerTo(u"PRINT", u"{\"Copies\":2}"), platform::AnsiToWide(refusal));
  EXPECT_EQ(AnswerTo(u"PRINT", u"{\"Defaultprinter\":\"\"}"), platform::AnsiToWide(refusal));
  ASSERT_TRUE(outputs_.WaitIdle(30000));
  std::unique_ptr<TFileStream> journal;
  OpenReadShared(PrintJournalFileName(options_.AppDir), journal);
  const std::string lines = journal->ReadRest();
  EXPECT_NE(lines.find("\tExemplare: 2\tLayout: \t" + refusal + "\r\n"), std::string::npos) << lines;
}

TEST(ServerPrinters, ListIsWrittenAsPrintersJson) {
  std::vector<TPrinterInfo> printers = {{"Laser", {"Fach 1", "Fach 2"}}, {"Etikett", {}}};
  EXPECT_EQ(PrintersJson(printers),
            "{\"Printers\":[{\"Name\":\"Laser\",\"Bins\":[{\"Bin\":\"Fach 1\"},{\"Bin\":\"Fach 2\"}]},"
            "{\"Name\":\"Etikett\",\"Bins\":[]}]}");
}

TEST(ServerPrinters, DemoListParses) {
  auto list = TWBJSONText::Parse(platform::WideToAnsi(DemoPrintersJson()));
  auto* root = JSONAs<TWBJSON>(list.get());
  ASSERT_TRUE(root);
  auto* printers = JSONAs<TWBSONList>(root->ValueByName(u"Printers"));
  ASSERT_TRUE(printers);
  EXPECT_GE(printers->ChildCount(), 2);
  EXPECT_EQ(printers->ChildAt(0)->StringByName("Name"), "Demo Laserdrucker");
}

TEST(ServerPrinters, DuplexTypesMapToSides) {
  EXPECT_STREQ(SidesForDuplexType("vertical"), "two-sided-long-edge");
  EXPECT_STREQ(SidesForDuplexType("horizontal"), "two-sided-short-edge");
  EXPECT_STREQ(SidesForDuplexType(""), "one-sided");
  EXPECT_STREQ(SidesForDuplexType("simplex?"), "one-sided");
}

TEST(ServerDocument, OrderFieldsAndEntrySettings) {
  auto order = TWBJSONText::Parse(
      "{\"Order\":[{\"PrintName\":\"Rechnung "
      "7\",\"PrintUID\":\"U1\",\"Paid\":true,\"Lines\":[1,2]},{\"PrintName\":\"no\"}]}");
  auto entry = TWBJSONText::Parse(
      "{\"Info\":\"<b>Archiv</b>\",\"SuperLayoutname\":\"L1\",\"Destination\":\"print\",\"Copies\":2}");
  TOrderDocument document = BuildOrderDocument(order.get(), entry.get(), u"F");
  EXPECT_EQ(document.Title, u"Rechnung 7");
  ASSERT_EQ(document.OrderFields.size(), 4u);
  EXPECT_EQ(document.OrderFields[1].Label, u"PrintUID");
  EXPECT_EQ(document.OrderFields[2].Value, u"ja");
  EXPECT_EQ(document.OrderFields[3].Value, u"[1,2]");
  auto valueOf = [&](const std::u16string& label) {
    for (const auto& line : document.OutputFields) {
      if (line.Label == label) return line.Value;
    }
    return std::u16string(u"<none>");
  };
  EXPECT_EQ(valueOf(u"Eintrag"), u"Archiv");
  EXPECT_EQ(valueOf(u"Layout"), u"L1");
  EXPECT_EQ(valueOf(u"Exemplare"), u"2");
  EXPECT_EQ(valueOf(u"Drucker"), u"-");
  EXPECT_EQ(document.Footer, u"F");
}

TEST(ServerDocument, NoOrderAndWholeOrder) {
  TOrderDocument none = BuildOrderDocument(nullptr, nullptr, u"");
  EXPECT_EQ(none.Title, u"Kein offener Auftrag");
  EXPECT_TRUE(none.OrderFields.empty());
  EXPECT_TRUE(none.OutputFields.empty());
  auto empty = TWBJSONText::Parse("{\"Order\":[]}");
  EXPECT_EQ(BuildOrderDocument(empty.get(), nullptr, u"").Title, u"Kein offener Auftrag");
}

TEST(ServerOutputs, FileNamesAndJournalLine) {
  EXPECT_EQ(SpoolFileName("/opt/wb", "/home/u/Desktop/R 1.pdf"), "/opt/wb/SPOOLER/PDFX/R 1.pdf");
  EXPECT_EQ(PrintJournalFileName("/opt/wb/"), "/opt/wb/SPOOLER/PRINTJOURNAL.TXT");
  TPrintJournalLine line{"2024-01-02 03:04:05", "Laser", "Fach 1", "vertical", 2, "Rechnung", "gedruckt"};
  EXPECT_EQ(FormatPrintJournalLine(line),
            "2024-01-02 03:04:05\tDrucker: Laser\tSchacht: Fach 1\tDuplex: vertical\tExemplare: 2\t"
            "Layout: Rechnung\tgedruckt");
}

class ServiceRegistrationTest : public ::testing::Test {
 protected:
  std::vector<std::string> Lines() {
    TStringList lines;
    ReadLocalServiceList(&lines);
    std::vector<std::string> result;
    for (int i = 0; i < lines.Count(); ++i) result.push_back(lines.Get(i));
    return result;
  }
  test::TempEnv env_;
};

TEST_F(ServiceRegistrationTest, OwnLineOnlyIsAddedAndRemoved) {
  TStringList lines;
  lines.Add("SUITE");
  lines.Add("OTHER");
  SaveListRetry(lines, GetClientTempDir("") + LocalServiceListFile);
  PublishServiceName("MINE");
  PublishServiceName("MINE");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"SUITE", "OTHER", "MINE"}));
  WithdrawServiceName("OTHER-NOT-LISTED");
  WithdrawServiceName("MINE");
  EXPECT_EQ(Lines(), (std::vector<std::string>{"SUITE", "OTHER"}));
}

TEST_F(ServiceRegistrationTest, ServersStartingTogetherAllGetTheirLine) {
  std::vector<std::thread> servers;
  for (int i = 0; i < 8; ++i) servers.emplace_back([i] { PublishServiceName("S" + std::to_string(i)); });
  for (auto& server : servers) server.join();
  EXPECT_EQ(Lines().size(), 8u);
}

}  // namespace
}  // namespace wb::server
