// Where the test page goes: the engine's list as each platform family names
// its printers, and the entry the completion page asks for.
#include <gtest/gtest.h>

#include "report/print_target.h"

namespace {

std::vector<std::string> texts(const std::vector<report::PrinterEntry>& entries) {
  std::vector<std::string> t;
  for (const auto& e : entries) t.push_back(e.text + " -> " + e.printer);
  return t;
}

TEST(PrintTarget, EntriesByFamily) {
  std::vector<platform::PrintTarget> spooler = {{"HP LaserJet 4", "Remote Port,LPT1:"},
                                                {"Epson LQ", "LPT1:"},
                                                {"No Port", ""}};
  EXPECT_EQ(texts(report::printerEntries(spooler, true)),
            (std::vector<std::string>{"HP LaserJet 4 on Remote Port -> HP LaserJet 4",
                                      "HP LaserJet 4 on LPT1: -> HP LaserJet 4",
                                      "Epson LQ on LPT1: -> Epson LQ"}));
  EXPECT_EQ(texts(report::printerEntries(spooler, false)),
            (std::vector<std::string>{"HP LaserJet 4 -> HP LaserJet 4", "Epson LQ -> Epson LQ",
                                      "No Port -> No Port"}));
}

TEST(PrintTarget, TheTargetFollowsTheMajorVersionAndTheFamilyTheTopBit) {
  EXPECT_EQ(report::targetEntry("HP LaserJet 4", 5), "HP LaserJet 4");
  EXPECT_EQ(report::targetEntry("HP LaserJet 4", 4), "HP LaserJet 4 on Remote Port");
  EXPECT_TRUE(report::win9xFamily(0xC0000A04));   // Windows 98
  EXPECT_FALSE(report::win9xFamily(0x05650004));  // NT 4: major 4, NT family
  EXPECT_FALSE(report::win9xFamily(0x0A280105));
}

}  // namespace
