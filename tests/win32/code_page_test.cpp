// Names in the system's code page on the printed test page: run under a
// Cyrillic system code page (1251, set for this test by its environment),
// a printer name in that code page is printed in Cyrillic glyphs.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/win32/win32_platform.h"
#include "report/print_target.h"
#include "tests/report_sample.h"
#include "tests/win32/port_to_file.h"
#include "tools/fixtures/test_pc.h"

namespace {

TEST(Win32CodePage, APrinterNamedInCyrillicPrintsInCyrillic) {
  ASSERT_EQ(GetACP(), 1251u) << "the test's environment sets a Russian locale";
  const std::string name = "\xCF\xF0\xE8\xED\xF2\xE5\xF0 \xC1\xF3\xF5\xE3\xE0\xEB\xF2\xE5\xF0\xE8\xE8";
  wintest::PortToFile output{"WZTC:", "code_page_job.ps"};
  ASSERT_TRUE(testpc::addPostScriptDriver());
  testpc::deletePrinter(name);
  ASSERT_TRUE(testpc::addPrinter(name, "WZTC:"));
  report::TestPageValues values = report_sample::values();
  values.printer = name;
  platform::Win32Platform os;
  report::Destination at;
  at.printer = name;
  EXPECT_EQ(report::printAt(os, at, report::testPage(values, {})), platform::kOk);
  testpc::deletePrinter(name);
  const std::string job = output.printed();
  // Wine's PostScript driver shows each glyph by its name, the glyph's
  // outline sent along before its first use.  "\xCF\xF0\xE8\xED\xF2\xE5\xF0" in code page
  // 1251 is Pe, er, i, en, te, ie, er (read as 1252 it would be Idieresis,
  // eth, egrave, ...).
  std::string shown;
  std::istringstream lines(job);
  for (std::string line; std::getline(lines, line);)
    if (line.size() > 11 && line.compare(line.size() - 10, 10, " glyphshow") == 0)
      shown += line.substr(0, line.size() - 10);
  EXPECT_NE(shown.find("/afii10033/afii10082/afii10074/afii10079/afii10084/afii10070/afii10082"),
            std::string::npos)
      << "the printer's name in Cyrillic glyphs: " << shown.substr(0, 400);
  EXPECT_EQ(job.find("/Idieresis glyphshow"), std::string::npos);
}

}  // namespace
