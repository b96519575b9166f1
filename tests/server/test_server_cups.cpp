// wbk-localserver printing through a real CUPS. The test runs a scheduler of its
// own (cupsd with every folder below the test's temporary folder, listening on a
// free port of 127.0.0.1 only) with one PDF queue whose jobs land as PDF files in
// a folder of the test; the server is pointed at it through CUPS_SERVER, so a
// CUPS of the machine is never asked. Where that scheduler cannot run, every case
// is skipped with the reason.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cups/cups.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "client/file_helpers.h"
#include "client/streams.h"
#include "ipc/server_calls.h"
#include "json/wbjson.h"
#include "platform/codepage.h"
#include "platform/processes.h"
#include "tests/server/server_process.h"
#include "tests/support/files.h"
#include "tests/support/temp_env.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using test::ReadBytes;
using test::ServerProcess;
using test::WriteBytes;

constexpr const char* kQueue = "WB-Test-PDF";
constexpr const char* kCupsPdfBackend = "/usr/lib/cups/backend/cups-pdf";
constexpr const char* kCupsPdfPpd = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd";
// The PDF printer has no trays and prints one-sided; the test's model adds
// three trays and duplex so that the entry's bin and duplex mode are checked.
constexpr const char* kTraysAndDuplex = R"(
*OpenUI *InputSlot/Papierzufuhr: PickOne
*OrderDependency: 20 AnySetup *InputSlot
*DefaultInputSlot: Upper
*InputSlot Upper/Oberes Fach: "<</MediaPosition 0>>setpagedevice"
*InputSlot Lower/Unteres Fach: "<</MediaPosition 1>>setpagedevice"
*InputSlot Manual/Einzelblatt: "<</ManualFeed true>>setpagedevice"
*CloseUI: *InputSlot
*OpenUI *Duplex/Beidseitig: PickOne
*OrderDependency: 20 AnySetup *Duplex
*DefaultDuplex: None
*Duplex None/Aus: "<</Duplex false>>setpagedevice"
*Duplex DuplexNoTumble/Lange Kante: "<</Duplex true /Tumble false>>setpagedevice"
*Duplex DuplexTumble/Kurze Kante: "<</Duplex true /Tumble true>>setpagedevice"
*CloseUI: *Duplex
)";

// A port of 127.0.0.1 that nobody listens on right now.
int FreePort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

// Runs a program to its end (at most timeoutMs); its exit code, -1 when it could
// not start or did not end in time.
int Run(const std::string& program, const std::vector<std::string>& arguments, int timeoutMs = 30000) {
  auto process = platform::StartProcess(program, arguments);
  if (!process) return -1;
  int code = -1;
  if (process->Wait(timeoutMs, code)) return code;
  process->Kill();
  process->Wait(-1, code);
  return -1;
}

template <typename Condition>
bool WaitUntil(int timeoutMs, Condition condition) {
  auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (Clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return condition();
}

struct JobAttributes {
  std::string Name;
  int Copies = 0;
  std::string Sides;
  std::string MediaSource;
  ipp_jstate_t State = IPP_JSTATE_PENDING;
};

// cupsd with its configuration, spool, logs and state in one folder of the
// test, and the cups-pdf queue kQueue writing into PdfFolder(). cups-pdf reads
// the settings of a queue from /etc/cups/cups-pdf-<name>.conf, a file it alone
// reads; the test writes one under a name of its own and removes it again.
class PrivateCups {
 public:
  explicit PrivateCups(const fs::path& root) : root_(root) {}
  ~PrivateCups() {
    if (scheduler_) {
      scheduler_->Terminate();
      int code = 0;
      if (!scheduler_->Wait(10000, code)) {
        scheduler_->Kill();
        scheduler_->Wait(-1, code);
      }
    }
    std::error_code ignored;
    if (!cupsPdfConf_.empty()) fs::remove(cupsPdfConf_, ignored);
  }
  PrivateCups(const PrivateCups&) = delete;
  PrivateCups& operator=(const PrivateCups&) = delete;

  // False with the reason when no scheduler with the PDF queue could be had.
  bool Start(std::string& whyNot) {
    if (::geteuid() != 0) return Fail(whyNot, "the cups-pdf backend runs only under a scheduler started as root");
    for (const char* needed : {"/usr/sbin/cupsd", "/usr/sbin/lpadmin", kCupsPdfBackend, kCupsPdfPpd}) {
      if (!fs::exists(needed)) return Fail(whyNot, std::string(needed) + " is missing (scripts/deps installs it)");
    }
    port_ = FreePort();
    if (port_ == 0) return Fail(whyNot, "no free port on 127.0.0.1");
    if (!WriteConfiguration(whyNot)) return false;
    scheduler_ = platform::StartProcess("/usr/sbin/cupsd", {"-f", "-c", (root_ / "etc/cupsd.conf").string(), "-s",
                                                            (root_ / "etc/cups-files.conf").string()});
    if (!scheduler_) return Fail(whyNot, "cupsd cannot be started");
    if (!WaitUntil(20000, [this] { return Answers(); })) {
      return Fail(whyNot, "cupsd did not answer within 20 s: " + ReadBytes((root_ / "log/error_log").string()));
    }
    if (!Admin("/usr/sbin/lpadmin",
               {"-p", kQueue, "-E", "-v", "cups-pdf:/" + queueConfName_, "-P", (root_ / "model.ppd").string()})) {
      return Fail(whyNot, "lpadmin could not add the PDF queue: " + ReadBytes((root_ / "log/error_log").string()));
    }
    return true;
  }

  std::string Server() const { return "127.0.0.1:" + std::to_string(port_); }
  fs::path PdfFolder() const { return root_ / "pdf"; }

  // cupsdisable, cupsenable, cupsreject, cupsaccept on the queue.
  bool Admin(const std::string& program, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"-h", Server()});
    return Run(program, arguments) == 0;
  }

  std::optional<JobAttributes> Job(int id) {
    http_t* http = httpConnect2("127.0.0.1", port_, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
    if (!http) return std::nullopt;
    httpSetTimeout(http, 10.0, nullptr, nullptr);
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    std::string uri = "ipp://" + Server() + "/jobs/" + std::to_string(id);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t* response = cupsDoRequest(http, request, "/");
    std::optional<JobAttributes> job;
    if (response && ippGetStatusCode(response) <= IPP_STATUS_OK_CONFLICTING) {
      job.emplace();
      if (auto* name = ippFindAttribute(response, "job-name", IPP_TAG_NAME)) job->Name = ippGetString(name, 0, nullptr);
      if (auto* copies = ippFindAttribute(response, "copies", IPP_TAG_INTEGER)) job->Copies = ippGetInteger(copies, 0);
      if (auto* sides = ippFindAttribute(response, "sides", IPP_TAG_KEYWORD))
        job->Sides = ippGetString(sides, 0, nullptr);
      if (auto* source = ippFindAttribute(response, "media-source", IPP_TAG_KEYWORD)) {
        job->MediaSource = ippGetString(source, 0, nullptr);
      }
      if (auto* state = ippFindAttribute(response, "job-state", IPP_TAG_ENUM)) {
        job->State = static_cast<ipp_jstate_t>(ippGetInteger(state, 0));
      }
    }
    ippDelete(response);
    httpClose(http);
    return job;
  }

 private:
  static bool Fail(std::string& whyNot, const std::string& reason) {
    whyNot = "no private CUPS scheduler: " + reason;
    return false;
  }

  bool Answers() {
    http_t* http = httpConnect2("127.0.0.1", port_, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 500, nullptr);
    if (!http) return false;
    httpClose(http);
    return true;
  }

  bool WriteConfiguration(std::string& whyNot) {
    for (const char* folder : {"etc", "log", "spool/tmp", "cache", "state", "pdf", "cups-pdf"}) {
      fs::create_directories(root_ / folder);
    }
    // The filters run as lp: they must reach the spool through the test's folders.
    for (const fs::path& folder : {root_.parent_path(), root_}) {
      fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
    }
    WriteBytes((root_ / "etc/cupsd.conf").string(),
               "LogLevel warn\nListen 127.0.0.1:" + std::to_string(port_) +
                   "\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
                   "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                   "<Policy default>\n  JobPrivateAccess all\n  JobPrivateValues none\n"
                   "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
                   "  <Limit All>\n    Order allow,deny\n    Allow all\n  </Limit>\n"
                   "</Policy>\n");
    const std::string root = root_.string();
    WriteBytes((root_ / "etc/cups-files.conf").string(),
               "ServerRoot " + root + "/etc\nRequestRoot " + root + "/spool\nTempDir " + root + "/spool/tmp\n" +
                   "CacheDir " + root + "/cache\nStateDir " + root + "/state\nPrintcap " + root + "/state/printcap\n" +
                   "AccessLog " + root + "/log/access_log\nErrorLog " + root + "/log/error_log\nPageLog " + root +
                   "/log/page_log\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                   "User lp\nGroup lp\nSystemGroup root\n");
    WriteBytes((root_ / "model.ppd").string(), ReadBytes(kCupsPdfPpd) + kTraysAndDuplex);

    queueConfName_ = "wbtest-" + std::to_string(::getpid()) + "-" + std::to_string(port_);
    cupsPdfConf_ = fs::path("/etc/cups") / ("cups-pdf-" + queueConfName_ + ".conf");
    const std::string pdf = PdfFolder().string();
    // Never makes /etc/cups: a machine without it has no CUPS to test.
    std::ofstream(cupsPdfConf_, std::ios::binary)
        << "Out " + pdf + "\nAnonDirName " + pdf + "\nSpool " + root + "/cups-pdf\nLog " + root + "/log\nLabel 2\n";
    if (!fs::exists(cupsPdfConf_)) return Fail(whyNot, "cannot write " + cupsPdfConf_.string());
    return true;
  }

  fs::path root_;
  int port_ = 0;
  std::string queueConfName_;
  fs::path cupsPdfConf_;
  std::unique_ptr<platform::ChildProcess> scheduler_;
};

std::string Ask(const std::string& server, const std::string& command, const std::string& data = "",
                bool* complete = nullptr) {
  bool ok = false;
  std::string value;
  QueryServerOnce(command, server, ok, value, data);
  if (complete) *complete = ok;
  return value;
}

// The lines of the print journal once it holds at least count of them.
std::vector<std::string> JournalLines(const std::string& journal, size_t count, int timeoutMs = 60000) {
  std::vector<std::string> lines;
  WaitUntil(timeoutMs, [&] {
    lines.clear();
    std::stringstream text(ReadBytes(journal));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines.size() >= count;
  });
  return lines;
}

class CupsPrintingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    env_ = new test::TempEnv();
    cups_ = new PrivateCups(env_->Root() / "cups");
    if (!cups_->Start(whyNot_)) return;
    env_->Set("CUPS_SERVER", cups_->Server());
    db_ = env_->Dir("db");
    app_ = env_->Dir("app");
    order_ = env_->Dir("out") + "order.json";
    SaveTextAtomically("{\"Order\":[{\"PrintName\":\"Rechnung 4711\",\"PrintUID\":\"AB-12\"}]}", order_);
    server_ = new ServerProcess("CUPS-E2E", {"--database", db_, "--appdir", app_, "--order", order_});
    if (!server_->Running()) whyNot_ = "wbk-localserver did not come up";
  }
  static void TearDownTestSuite() {
    delete server_;
    delete cups_;
    delete env_;
    server_ = nullptr;
    cups_ = nullptr;
    env_ = nullptr;
  }
  void SetUp() override {
    if (!whyNot_.empty()) GTEST_SKIP() << whyNot_;
  }

  static std::string Journal() { return app_ + "SPOOLER/PRINTJOURNAL.TXT"; }

  static inline test::TempEnv* env_ = nullptr;
  static inline PrivateCups* cups_ = nullptr;
  static inline ServerProcess* server_ = nullptr;
  static inline std::string whyNot_, db_, app_, order_;
  static inline size_t journalLines_ = 0;
};

TEST_F(CupsPrintingTest, PrintersListsTheQueueWithItsMediaSources) {
  auto list = JSONCast<TWBJSON>(TWBJSONText::Parse(Ask("CUPS-E2E", "PRINTERS")));
  ASSERT_TRUE(list);
  auto* printers = JSONAs<TWBSONList>(list->ValueByName(u"Printers"));
  ASSERT_TRUE(printers);
  ASSERT_EQ(printers->ChildCount(), 1);  // the scheduler's queues alone, not the demo list
  auto* queue = JSONAs<TWBJSON>(printers->ChildAt(0));
  ASSERT_TRUE(queue);
  EXPECT_EQ(queue->StringByName("Name"), kQueue);
  auto* bins = JSONAs<TWBSONList>(queue->ValueByName(u"Bins"));
  ASSERT_TRUE(bins);
  std::vector<std::string> names;
  for (int i = 0; i < bins->ChildCount(); ++i) names.push_back(bins->ChildAt(i)->StringByName("Bin"));
  EXPECT_EQ(names, (std::vector<std::string>{"top", "bottom", "manual"}));
}

// The job in CUPS carries the entry's copies, duplex mode and bin, and its PDF
// (the order's document) comes out of the queue.
TEST_F(CupsPrintingTest, PrintMakesAJobWithTheEntrysOptionsAndItsPdfLands) {
  struct Case {
    const char* Entry;  // the members after "Defaultprinter"
    int Copies;
    const char* Sides;
    const char* MediaSource;
  };
  const Case cases[] = {
      {R"("DefaultprinterBinName":"bottom","DuplexType":"vertical","Copies":3)", 3, "two-sided-long-edge", "bottom"},
      {R"("DefaultprinterBinName":"manual","DuplexType":"horizontal","Copies":1)", 1, "two-sided-short-edge", "manual"},
      {R"("DuplexType":"","Copies":0)", 1, "one-sided", ""},  // no bin: the printer's own choice
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Entry);
    std::string entry = std::string("{\"Defaultprinter\":\"") + kQueue + "\"," + c.Entry +
                        ",\"Info\":\"Lieferschein <b>Kunde</b>\",\"SuperLayoutname\":\"Lieferschein\"}";
    bool complete = false;
    EXPECT_EQ(Ask("CUPS-E2E", "PRINT", entry, &complete), "");
    EXPECT_TRUE(complete);
    auto lines = JournalLines(Journal(), ++journalLines_);
    ASSERT_EQ(lines.size(), journalLines_);
    const std::string& line = lines.back();
    size_t at = line.rfind("\tCUPS-Auftrag ");
    ASSERT_NE(at, std::string::npos) << line;
    const int id = std::stoi(line.substr(at + 14));

    std::optional<JobAttributes> job;
    ASSERT_TRUE(WaitUntil(60000,
                          [&] {
                            job = cups_->Job(id);
                            return job && job->State >= IPP_JSTATE_CANCELED;
                          }))
        << "job " << id << " did not end";
    EXPECT_EQ(job->State, IPP_JSTATE_COMPLETED);
    EXPECT_EQ(job->Name, "Lieferschein Kunde");  // the entry's name as plain text
    EXPECT_EQ(job->Copies, c.Copies);
    EXPECT_EQ(job->Sides, c.Sides);
    EXPECT_EQ(job->MediaSource, c.MediaSource);

    // cups-pdf names the file after the job's number.
    fs::path pdf;
    WaitUntil(20000, [&] {
      for (const auto& file : fs::directory_iterator(cups_->PdfFolder())) {
        const std::string name = file.path().filename().string();
        const std::string suffix = "job_" + std::to_string(id) + ".pdf";
        if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
          pdf = file.path();
        }
      }
      return !pdf.empty();
    });
    ASSERT_FALSE(pdf.empty()) << "no PDF of job " << id << " in " << cups_->PdfFolder();
    EXPECT_EQ(ReadBytes(pdf.string()).substr(0, 5), "%PDF-");
  }
}

// A job that could not be printed is said so at once in the reply, and in the
// journal; nothing waits for a printer that will not print.
TEST_F(CupsPrintingTest, UnknownPrinterAndStoppedOrRefusingQueueAreErrorsInTheReplyAndTheJournal) {
  struct Case {
    const char* Printer;
    const char* Before;  // the administration command that puts the queue in that state
    const char* After;   // and the one that takes it back
    const char* Refusal;
  };
  const Case cases[] = {
      {"Gibt-es-nicht", nullptr, nullptr, "nicht gedruckt: CUPS kennt den Drucker nicht"},
      {kQueue, "/usr/sbin/cupsdisable", "/usr/sbin/cupsenable", "nicht gedruckt: der Drucker ist in CUPS angehalten"},
      {kQueue, "/usr/sbin/cupsreject", "/usr/sbin/cupsaccept",
       "nicht gedruckt: der Drucker nimmt in CUPS keine Auftr\xE4ge an"},
      {"", nullptr, nullptr, "nicht gedruckt: kein Drucker angegeben"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Refusal);
    if (c.Before) {
      ASSERT_TRUE(cups_->Admin(c.Before, {kQueue}));
    }
    std::string entry = std::string("{\"Defaultprinter\":\"") + c.Printer + "\",\"Copies\":2}";
    auto start = Clock::now();
    bool complete = false;
    std::string reply = Ask("CUPS-E2E", "PRINT", entry, &complete);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    if (c.After) {
      ASSERT_TRUE(cups_->Admin(c.After, {kQueue}));
    }
    EXPECT_TRUE(complete);
    EXPECT_EQ(reply.rfind(c.Refusal, 0), 0u) << reply;
    auto lines = JournalLines(Journal(), ++journalLines_, 20000);
    ASSERT_EQ(lines.size(), journalLines_);
    EXPECT_NE(lines.back().find("\t" + reply + "\r"), std::string::npos) << lines.back();
  }
}

// A server whose CUPS is gone still answers, and says why nothing was printed.
TEST_F(CupsPrintingTest, ASilentCupsIsAnErrorInTheReplyAndThePrinterListFallsBackToTheDemo) {
  env_->Set("CUPS_SERVER", "127.0.0.1:" + std::to_string(FreePort()));
  ServerProcess lonely("CUPS-E2E-SILENT", {"--appdir", app_});
  env_->Set("CUPS_SERVER", cups_->Server());
  ASSERT_TRUE(lonely.Running());
  auto start = Clock::now();
  std::string reply = Ask("CUPS-E2E-SILENT", "PRINT", std::string("{\"Defaultprinter\":\"") + kQueue + "\"}");
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(reply.rfind("nicht gedruckt: CUPS antwortet nicht", 0), 0u) << reply;
  auto lines = JournalLines(Journal(), ++journalLines_, 20000);
  ASSERT_EQ(lines.size(), journalLines_);
  EXPECT_NE(lines.back().find("\tnicht gedruckt: CUPS antwortet nicht"), std::string::npos) << lines.back();
  EXPECT_NE(Ask("CUPS-E2E-SILENT", "PRINTERS").find("Demo Laserdrucker"), std::string::npos);
}

// A scheduler that takes the connection and never answers must not hold the
// reply: the check gives up within seconds and says that CUPS does not answer.
TEST_F(CupsPrintingTest, ASchedulerThatNeverAnswersDoesNotHoldTheReply) {
  int mute = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(::bind(mute, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(::getsockname(mute, reinterpret_cast<sockaddr*>(&address), &size), 0);
  ASSERT_EQ(::listen(mute, 16), 0);  // connections wait in the backlog, never accepted
  env_->Set("CUPS_SERVER", "127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
  ServerProcess mutes("CUPS-E2E-MUTE", {"--appdir", app_});
  env_->Set("CUPS_SERVER", cups_->Server());
  ASSERT_TRUE(mutes.Running());
  auto start = Clock::now();
  bool complete = false;
  std::string reply = Ask("CUPS-E2E-MUTE", "PRINT", std::string("{\"Defaultprinter\":\"") + kQueue + "\"}", &complete);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(20));
  EXPECT_TRUE(complete);
  EXPECT_EQ(reply.rfind("nicht gedruckt: CUPS antwortet nicht", 0), 0u) << reply;
  JournalLines(Journal(), ++journalLines_, 20000);
  ::close(mute);
}

}  // namespace
}  // namespace wb
