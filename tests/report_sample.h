// Values for the test page and where its boxes and lines must land; shared
// by the native tests (FreeType canvas) and the Win32 test (GDI canvas), so
// that both renderers are held to the same layout.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/layout.h"
#include "report/test_page.h"

namespace report_sample {

inline report::TestPageValues values() {
  report::TestPageValues v;
  v.serverAddress = "10.77.0.2";
  v.printer = "Office Laser 5200 PCL 6 on the second floor, room 214, next to the kitchen";
  v.computerName = "WORKSTATION-017";  // 15 characters, the most a NetBIOS name has
  v.driverVersion = 0x80000001u;
  return v;
}

struct Box {
  const char* name;
  report::Rect box;
};

// Every text box at 300 dpi with the printable area 75 pixels in from the
// paper's edges, worked out by hand from the millimetres of the design:
// round(mm * 300 / 25.4) - 75, the detail band starting 63.3 mm from the
// paper's top and every band 10 mm from its left.  The computer name's box
// is 73.0 mm wide, as wide as the printer's, so that fifteen capitals fit.
inline const std::vector<Box>& boxesAt300() {
  static const std::vector<Box> boxes = {
      {"LblCongrats", {263, 912, 1266, 995}},
      {"LblReadThis", {263, 1013, 2206, 1095}},
      {"LblConfig", {263, 1113, 1485, 1196}},
      {"LblInfo", {263, 1232, 2226, 1315}},
      {"LblIPCaption", {444, 1413, 906, 1496}},
      {"QRLblIP", {963, 1413, 1726, 1501}},
      {"LblPrnCaption", {444, 1512, 786, 1595}},
      {"QRLblPrn", {963, 1508, 1825, 1595}},
      {"LblNameCaption", {444, 1602, 886, 1685}},
      {"QRLblName", {963, 1597, 1825, 1685}},
      {"LblWizVerCaption", {444, 1700, 886, 1783}},
      {"LblWizVer", {963, 1695, 1346, 1783}},
      {"LblDrvVerCaption", {444, 1801, 886, 1883}},
      {"LblDrvVer", {963, 1795, 1266, 1882}},
      {"LblEnd", {263, 2672, 1646, 2755}},
      {"LblHeading", {525, 460, 1840, 632}},  // 50.8 mm, 45.3 mm from the paper's corner
  };
  return boxes;
}

// The same at 100 dpi without an offset.
inline const std::vector<Box>& boxesAt100() {
  static const std::vector<Box> boxes = {
      {"LblCongrats", {113, 329, 447, 357}},
      {"LblReadThis", {113, 363, 760, 390}},
      {"LblConfig", {113, 396, 520, 424}},
      {"LblInfo", {113, 436, 767, 463}},
      {"LblIPCaption", {173, 496, 327, 524}},
      {"QRLblIP", {346, 496, 600, 525}},
      {"LblPrnCaption", {173, 529, 287, 557}},
      {"QRLblPrn", {346, 528, 633, 557}},
      {"LblNameCaption", {173, 559, 320, 587}},
      {"QRLblName", {346, 557, 633, 587}},
      {"LblWizVerCaption", {173, 592, 320, 619}},
      {"LblWizVer", {346, 590, 474, 619}},
      {"LblDrvVerCaption", {173, 625, 320, 653}},
      {"LblDrvVer", {346, 623, 447, 652}},
      {"LblEnd", {113, 916, 574, 943}},
      {"LblHeading", {200, 178, 638, 236}},
  };
  return boxes;
}

// How the sample's texts wrap in Times New Roman metrics at 300 dpi: the
// drawn lines of each box, how many lines the wrapping made in all, and the
// width of the first line (FreeType and Wine's GDI agree on it to the pixel;
// the tests allow 1%).
struct Lines {
  const char* name;
  std::vector<std::string> drawn;
  int total;
  int firstWidth;
};

inline const std::vector<Lines>& linesAt300() {
  static const std::vector<Lines> lines = {
      {"LblCongrats", {"Congratulations !"}, 1, 378},
      {"LblReadThis",
       {"If you can read this message, you have correctly installed the printer sharing "
        "driver"}, 1, 1784},
      {"LblConfig", {"and the configurations are appropriate."}, 1, 847},
      {"LblInfo",
       {"The information below describes your printer sharing server setting and printer "
        "setting."}, 1, 1881},
      {"LblIPCaption", {"Server IP Adderss:"}, 1, 408},
      {"QRLblIP", {"10.77.0.2"}, 1, 189},
      {"LblPrnCaption", {"Printer:"}, 1, 173},
      // The second line, "floor, room 214, next to the kitchen", is cut.
      {"QRLblPrn", {"Office Laser 5200 PCL 6 on the second"}, 2, 832},
      {"LblNameCaption", {"Computer Name:"}, 1, 375},
      {"QRLblName", {"WORKSTATION-017"}, 1, 480},
      {"LblWizVerCaption", {"Wizard Version:"}, 1, 357},
      {"LblWizVer", {"1000"}, 1, 100},
      {"LblDrvVerCaption", {"Driver Version:"}, 1, 337},
      {"LblDrvVer", {"2147483649"}, 1, 250},
      {"LblEnd", {"This is the end of the printer test page"}, 1, 813},
      {"LblHeading", {"Printer Sharing Test Page"}, 1, 1305},
  };
  return lines;
}

// The sample page at 300 dpi: every box where the design puts it, and each
// text's lines as wrapped and cut, whatever canvas measured them.
inline void expectLayoutAt300(const report::PageLayout& layout) {
  for (const Box& want : boxesAt300()) {
    const report::PlacedText* t = layout.text(want.name);
    ASSERT_NE(t, nullptr) << want.name;
    EXPECT_EQ(t->box, want.box) << want.name;
  }
  for (const Lines& want : linesAt300()) {
    const report::PlacedText* t = layout.text(want.name);
    ASSERT_NE(t, nullptr) << want.name;
    std::vector<std::string> drawn;
    for (const report::PlacedLine& l : t->lines) {
      if (l.drawn) drawn.push_back(l.text);
      EXPECT_LE(l.width, t->box.width()) << want.name << ": " << l.text;
    }
    EXPECT_EQ(drawn, want.drawn) << want.name;
    EXPECT_EQ(static_cast<int>(t->lines.size()), want.total) << want.name;
    ASSERT_FALSE(t->lines.empty()) << want.name;
    EXPECT_NEAR(t->lines.front().width, want.firstWidth, want.firstWidth / 100 + 1) << want.name;
  }
}

}  // namespace report_sample
