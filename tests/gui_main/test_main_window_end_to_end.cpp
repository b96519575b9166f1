// End to end: the real window against wbk-localserver in a private temporary
// folder; the PDF lands on the desktop and the opener (a recording xdg-open
// placed first on PATH) receives its path.
#include <sys/stat.h>
#include <unistd.h>

#include <QPushButton>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/server_link.h"
#include "app/shell_file_opener.h"
#include "gui_fixture.h"
#include "server/server_process.h"
#include "support/bytes_equal.h"
#include "support/files.h"

using namespace wb;
using namespace wb::test;

TEST_F(GuiTest, PdfRunAgainstTheServerCreatesTheNamedPdfAndOpensIt) {
  const std::string database = env.Dir("db"), application = env.Dir("app"), bin = env.Dir("bin");
  std::filesystem::create_directories(database + "Sonderdruck.V1");
  std::ofstream(database + "Sonderdruck.V1/sdr.json")
      << "{\"Items\":[{\"Info\":\"Angebot <b>fett</b>\",\"Destination\":\"pdf\",\"Copies\":2,\"UID\":\"U1\"}]}";
  const std::string order = env.Dir("order") + "order.json";
  std::ofstream(order) << "{\"Order\":[{\"PrintName\":\"Angebot 4711\",\"PrintUID\":\"A/17\"}]}";
  const std::string record = env.Root().string() + "/opened.txt";
  std::ofstream(bin + "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" << record << "'\n";
  ::chmod((bin + "xdg-open").c_str(), 0755);
  env.Set("PATH", bin + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin"));

  ServerProcess server("WBK-GUI-E2E-" + std::to_string(::getpid()),
                       {"--database", database, "--appdir", application, "--order", order, "--no-cups"});
  ASSERT_TRUE(server.Running());
  SetCurrentServerName("");

  PipeServerLink link;
  ShellFileOpener opener;
  Open(link, opener);
  EXPECT_EQ(window->windowTitle().toStdString(), "Datenbank: " + database);
  QTest::mouseClick(window->RunButton(), Qt::LeftButton);

  const std::string pdf = env.Root().string() + "/home/Desktop/WerkbankQuery.Mehrfachausgabe/Angebot 4711 A17.pdf";
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_EQ(ReadBytes(pdf).rfind("%PDF", 0), 0u);
  EXPECT_TRUE(std::filesystem::exists(application + "SPOOLER/PDFX/Angebot 4711 A17.pdf"));
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (ReadBytes(record).empty() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_BYTES_EQ(ReadBytes(record), pdf + "\n");
}
