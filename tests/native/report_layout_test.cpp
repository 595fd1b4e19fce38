// The test page's layout on a canvas with fixed-width glyphs: where every
// box lands, how texts wrap and are cut, and what gets drawn.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "report/layout.h"
#include "report/test_page.h"
#include "tests/report_sample.h"

namespace {

using report::DeviceGeometry;
using report::Font;
using report::Rect;

// Every character is `perEm` hundredths of an em wide; a line is 7/6 em.
class FixedCanvas : public report::Canvas {
 public:
  struct TextCall {
    std::string text;
    int x, y;
    Rect clip;
  };
  struct ImageCall {
    int width, height;
    Rect dest;
  };

  explicit FixedCanvas(DeviceGeometry g, int perEm = 50) : g_(g), perEm_(perEm) {}
  DeviceGeometry geometry() const override { return g_; }
  int charWidth(const Font& f) const { return report::emPixels(f.points, g_.dpiY) * perEm_ / 100; }
  int textWidth(const Font& f, std::string_view text) override {
    return static_cast<int>(text.size()) * charWidth(f);
  }
  int lineHeight(const Font& f) override {
    const int em = report::emPixels(f.points, g_.dpiY);
    return em + em / 6;
  }
  void drawText(const Font&, int x, int y, std::string_view text, const Rect& clip) override {
    texts.push_back({std::string(text), x, y, clip});
    order.push_back('t');
  }
  void drawImage(const pictures::Image& image, const Rect& dest) override {
    images.push_back({image.width, image.height, dest});
    order.push_back('i');
  }

  std::vector<TextCall> texts;
  std::vector<ImageCall> images;
  std::string order;

 private:
  DeviceGeometry g_;
  int perEm_;
};

report::TestPagePictures samplePictures() {
  return {pictures::Image(400, 79, 200, 100, 50), pictures::Image(144, 126, 10, 20, 30)};
}

void expectBoxes(const report::PageLayout& layout, const std::vector<report_sample::Box>& want) {
  ASSERT_EQ(layout.texts.size(), want.size());
  for (const auto& w : want) {
    const report::PlacedText* t = layout.text(w.name);
    ASSERT_NE(t, nullptr) << w.name;
    EXPECT_EQ(t->box, w.box) << w.name;
    EXPECT_EQ(t->font.face, "Times New Roman") << w.name;
    EXPECT_TRUE(t->font.bold) << w.name;
    EXPECT_EQ(t->font.points, std::string(w.name) == "LblHeading" ? 28 : 12) << w.name;
  }
}

TEST(ReportLayout, BoxesBandsAndFramesAt300DpiWithOffset) {
  const report::Report page = report::testPage(report_sample::values(), samplePictures());
  FixedCanvas canvas({300, 300, 75, 75});
  const report::PageLayout layout = report::layOut(page, canvas);
  expectBoxes(layout, report_sample::boxesAt300());

  // A4 is 2480 x 3508 pixels at 300 dpi; the bands follow one another from
  // the 10 mm margin: 6.8, 22.4, 24.1, 198.5, 6.8 and 6.8 mm.
  EXPECT_EQ(layout.paper, (Rect{-75, -75, 2405, 3433}));
  const std::vector<int> tops = {43, 123, 388, 673, 3017, 3097, 3178};
  ASSERT_EQ(layout.bands.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(layout.bands[i], (Rect{43, tops[i], 2287, tops[i + 1]})) << "band " << i;
  }

  // The banner's frame, 179.7 x 25.6 mm at 54.2 mm in the title band,
  // reaches past the paper; the picture keeps its design size, 400 x 79
  // pixels at 96 to the inch, and stays on the paper.
  const report::PlacedPicture* banner = layout.picture("Banner");
  ASSERT_NE(banner, nullptr);
  EXPECT_EQ(banner->frame, (Rect{683, 123, 2806, 426}));
  EXPECT_EQ(banner->dest, (Rect{683, 123, 683 + 1250, 123 + 247}));
  EXPECT_LE(banner->dest.right, layout.paper.right);
  const report::PlacedPicture* glyph = layout.picture("Glyph");
  ASSERT_NE(glyph, nullptr);
  EXPECT_EQ(glyph->frame, (Rect{444, 1973, 1126, 2515}));
  EXPECT_EQ(glyph->dest, (Rect{444, 1973, 444 + 450, 1973 + 394}));
}

TEST(ReportLayout, BoxesAt100DpiWithoutOffset) {
  const report::Report page = report::testPage(report_sample::values(), samplePictures());
  FixedCanvas canvas({100, 100, 0, 0});
  const report::PageLayout layout = report::layOut(page, canvas);
  expectBoxes(layout, report_sample::boxesAt100());
  EXPECT_EQ(layout.paper, (Rect{0, 0, 827, 1169}));
  ASSERT_NE(layout.picture("Banner"), nullptr);
  EXPECT_EQ(layout.picture("Banner")->dest, (Rect{253, 66, 253 + 417, 66 + 82}));
  ASSERT_NE(layout.picture("Glyph"), nullptr);
  EXPECT_EQ(layout.picture("Glyph")->dest, (Rect{173, 683, 173 + 150, 683 + 131}));

  // Boxes that meet on paper meet on the device: both edges come from
  // millimetres, so no rounding gap or overlap appears between them.
  EXPECT_EQ(layout.bands[2].bottom, layout.bands[3].top);
}

TEST(ReportLayout, DeviceUnitsRoundToNearest) {
  const DeviceGeometry g{300, 600, 10, 20};
  EXPECT_EQ(report::toDeviceX(0, g), -10);
  EXPECT_EQ(report::toDeviceX(254, g), 290);   // one inch
  EXPECT_EQ(report::toDeviceY(254, g), 580);   // one inch at 600 dpi
  EXPECT_EQ(report::toDeviceX(1, g), 1 - 10);  // 0.1 mm is 1.18 pixels
  EXPECT_EQ(report::toDeviceX(2, g), 2 - 10);  // 2.36
  EXPECT_EQ(report::toDeviceX(3, g), 4 - 10);  // 3.54
  EXPECT_EQ(report::emPixels(12, 300), 50);
  EXPECT_EQ(report::emPixels(12, 100), 17);  // 16.67
  EXPECT_EQ(report::emPixels(12, 96), 16);
  EXPECT_EQ(report::emPixels(28, 300), 117);  // 116.67
  EXPECT_EQ(report::emPixels(3, 12), 1);      // 0.5 rounds up, as MulDiv does
}

std::vector<std::string> wrap(std::string_view text, int chars) {
  // One unit a character, so the width is a number of characters.
  return report::wrapText(text, chars,
                          [](std::string_view s) { return static_cast<int>(s.size()); });
}

using Lines = std::vector<std::string>;

TEST(ReportWrap, WordsCharactersSpacesAndBreaks) {
  EXPECT_EQ(wrap("", 10), Lines{});
  EXPECT_EQ(wrap("short", 10), Lines{"short"});
  EXPECT_EQ(wrap("exactly 10", 10), Lines{"exactly 10"});
  EXPECT_EQ(wrap("one two three four", 9), (Lines{"one two", "three", "four"}));
  // Spaces at a line's end are dropped, and a wrapped line starts at its word.
  EXPECT_EQ(wrap("and the end. ", 12), Lines{"and the end."});
  EXPECT_EQ(wrap("aaa    bbb", 5), (Lines{"aaa", "bbb"}));
  EXPECT_EQ(wrap("   ", 5), Lines{""});
  // A word wider than the box is broken between characters.
  EXPECT_EQ(wrap("abcdefghij", 4), (Lines{"abcd", "efgh", "ij"}));
  EXPECT_EQ(wrap("to abcdefghij x", 4), (Lines{"to", "abcd", "efgh", "ij x"}));
  EXPECT_EQ(wrap("  abcdefgh", 4), (Lines{"abcd", "efgh"}));
  // A box narrower than one character still takes a character a line.
  EXPECT_EQ(wrap("abc", 0), (Lines{"a", "b", "c"}));
  // '\n' ends a line; an empty paragraph is an empty line.
  EXPECT_EQ(wrap("one\ntwo three", 5), (Lines{"one", "two", "three"}));
  EXPECT_EQ(wrap("one\n\ntwo\n", 5), (Lines{"one", "", "two"}));
  EXPECT_EQ(wrap("one\r\ntwo", 5), (Lines{"one", "two"}));
}

TEST(ReportWrap, NoLineWiderThanTheBoxAndNoTextLost) {
  const std::string text =
      "Office Laser 5200 PCL 6 on the second floor, room 214, next to the kitchen";
  for (int width = 1; width <= 80; ++width) {
    const Lines lines = wrap(text, width);
    std::string rejoined;
    for (const std::string& l : lines) {
      EXPECT_LE(static_cast<int>(l.size()), width) << l;
      EXPECT_FALSE(l.empty());
      rejoined += l;
    }
    std::string letters;
    for (char c : text)
      if (c != ' ') letters += c;
    std::string got;
    for (char c : rejoined)
      if (c != ' ') got += c;
    EXPECT_EQ(got, letters) << "width " << width;
  }
}

TEST(ReportLayout, LongPrinterNameWrapsAndLinesPastTheBoxAreCut) {
  report::TestPageValues v = report_sample::values();
  v.printer = "Office Laser 5200 PCL 6 on the second floor, room 214, next to the kitchen";
  const report::Report page = report::testPage(v);
  FixedCanvas canvas({300, 300, 75, 75});
  const report::PageLayout layout = report::layOut(page, canvas);
  const report::PlacedText* prn = layout.text("QRLblPrn");
  ASSERT_NE(prn, nullptr);
  // 73.0 mm is 862 pixels: 34 characters of 25 pixels.  The box is 87
  // pixels high and a line 58: the second line would end at 116.
  ASSERT_EQ(prn->box.width(), 862);
  ASSERT_EQ(prn->box.height(), 87);
  ASSERT_EQ(prn->lineHeight, 58);
  ASSERT_EQ(prn->lines.size(), 3u);
  EXPECT_EQ(prn->lines[0].text, "Office Laser 5200 PCL 6 on the");
  EXPECT_EQ(prn->lines[1].text, "second floor, room 214, next to");
  EXPECT_EQ(prn->lines[2].text, "the kitchen");
  EXPECT_TRUE(prn->lines[0].drawn);
  EXPECT_FALSE(prn->lines[1].drawn);
  EXPECT_FALSE(prn->lines[2].drawn);
  EXPECT_EQ(prn->lines[0].x, prn->box.left);
  EXPECT_EQ(prn->lines[0].y, prn->box.top);
  EXPECT_EQ(prn->lines[1].y, prn->box.top + 58);
  EXPECT_EQ(prn->drawnText(), "Office Laser 5200 PCL 6 on the");

  canvas.texts.clear();
  report::draw(layout, canvas);
  int printerCalls = 0;
  for (const auto& call : canvas.texts) {
    if (call.clip == prn->box) {
      ++printerCalls;
      EXPECT_EQ(call.text, "Office Laser 5200 PCL 6 on the");
    }
  }
  EXPECT_EQ(printerCalls, 1) << "only the line that fits is drawn";

  // A box that holds two lines draws both: the cut is by height alone.
  report::Report tall = page;
  for (report::TextBox& t : tall.bands[3].texts)
    if (t.name == "QRLblPrn") t.box.height = 100;  // 10 mm, 118 pixels
  const report::PageLayout tallLayout = report::layOut(tall, canvas);
  EXPECT_EQ(tallLayout.text("QRLblPrn")->drawnLines(), 2);
}

TEST(ReportLayout, FifteenCharacterComputerNamePrintedWhole) {
  report::TestPageValues v = report_sample::values();
  v.computerName = "WWWWWWWWWWWWWWW";
  const report::Report page = report::testPage(v);
  // Glyphs a full em wide, as wide as a capital W in Times New Roman bold.
  for (int dpi : {100, 300, 600}) {
    FixedCanvas canvas({dpi, dpi, 0, 0}, 100);
    const report::PageLayout layout = report::layOut(page, canvas);
    const report::PlacedText* name = layout.text("QRLblName");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->drawnText(), "WWWWWWWWWWWWWWW") << dpi << " dpi";
    EXPECT_EQ(name->lines.size(), 1u) << dpi << " dpi";
  }
}

TEST(ReportLayout, DriverVersionPrintedUnsigned) {
  EXPECT_EQ(report::driverVersionText(0), "0");
  EXPECT_EQ(report::driverVersionText(0x80000001u), "2147483649");
  EXPECT_EQ(report::driverVersionText(0xFFFFFFFFu), "4294967295");
  for (std::uint32_t version : {0u, 0x80000001u, 0xFFFFFFFFu}) {
    report::TestPageValues v = report_sample::values();
    v.driverVersion = version;
    FixedCanvas canvas({300, 300, 75, 75});
    const report::Report page = report::testPage(v);
    const report::PageLayout layout = report::layOut(page, canvas);
    EXPECT_EQ(layout.text("LblDrvVer")->drawnText(), std::to_string(version));
  }
}

TEST(ReportLayout, ValuesGoToTheirLabels) {
  report::TestPageValues v;
  v.serverAddress = "192.168.5.77";
  v.printer = "Laser";
  v.computerName = "PC-7";
  v.driverVersion = 42;
  const report::Report page = report::testPage(v);
  FixedCanvas canvas({300, 300, 0, 0}, 40);  // narrow enough for the heading's one line
  const report::PageLayout layout = report::layOut(page, canvas);
  EXPECT_EQ(layout.text("QRLblIP")->drawnText(), "192.168.5.77");
  EXPECT_EQ(layout.text("QRLblPrn")->drawnText(), "Laser");
  EXPECT_EQ(layout.text("QRLblName")->drawnText(), "PC-7");
  EXPECT_EQ(layout.text("LblWizVer")->drawnText(), "1000");
  EXPECT_EQ(layout.text("LblDrvVer")->drawnText(), "42");
  EXPECT_EQ(layout.text("LblHeading")->drawnText(), "Printer Sharing Test Page");
  EXPECT_EQ(page.title, "Test Page");
  // An empty value has no line at all.
  report::TestPageValues empty;
  const report::PageLayout none = report::layOut(report::testPage(empty), canvas);
  EXPECT_TRUE(none.text("QRLblIP")->lines.empty());
}

TEST(ReportLayout, DrawsPicturesThenLinesClippedToTheirBoxes) {
  const report::Report page = report::testPage(report_sample::values(), samplePictures());
  FixedCanvas canvas({300, 300, 75, 75});
  const report::PageLayout layout = report::layOut(page, canvas);
  report::draw(layout, canvas);
  ASSERT_EQ(canvas.images.size(), 2u);
  EXPECT_EQ(canvas.images[0].width, 400);
  EXPECT_EQ(canvas.images[0].dest, layout.picture("Banner")->dest);
  EXPECT_EQ(canvas.images[1].width, 144);
  EXPECT_EQ(canvas.images[1].dest, layout.picture("Glyph")->dest);
  EXPECT_EQ(canvas.order.substr(0, 2), "ii") << "text is drawn over the pictures";
  int drawn = 0;
  for (const report::PlacedText& t : layout.texts) drawn += t.drawnLines();
  ASSERT_EQ(static_cast<int>(canvas.texts.size()), drawn);
  for (const auto& call : canvas.texts) {
    const report::PlacedText* owner = nullptr;
    for (const report::PlacedText& t : layout.texts)
      if (t.box == call.clip) owner = &t;
    ASSERT_NE(owner, nullptr) << call.text;
    EXPECT_GE(call.x, owner->box.left);
    EXPECT_GE(call.y, owner->box.top);
    EXPECT_LE(call.y + owner->lineHeight, owner->box.bottom) << call.text;
  }

  // Without pictures the frames stay empty and nothing else changes.
  const report::Report bare = report::testPage(report_sample::values());
  FixedCanvas other({300, 300, 75, 75});
  const report::PageLayout bareLayout = report::layOut(bare, other);
  report::draw(bareLayout, other);
  EXPECT_TRUE(other.images.empty());
  EXPECT_TRUE(bareLayout.pictures.empty());
  EXPECT_EQ(other.texts.size(), canvas.texts.size());
}

TEST(ReportLayout, PicturesKeepDesignSizeOrShrinkInProportion) {
  const DeviceGeometry g{192, 192, 0, 0};  // two device pixels to a design pixel
  const pictures::Image img(100, 50);
  EXPECT_EQ(report::pictureDest(img, {10, 20, 1000, 1000}, g), (Rect{10, 20, 210, 120}));
  // Too wide for its frame: the width decides.
  EXPECT_EQ(report::pictureDest(img, {0, 0, 100, 1000}, g), (Rect{0, 0, 100, 50}));
  // Too high: the height decides.
  EXPECT_EQ(report::pictureDest(img, {0, 0, 1000, 40}, g), (Rect{0, 0, 80, 40}));
  EXPECT_EQ(report::pictureDest(img, {5, 5, 5, 5}, g).width(), 0);
}

std::vector<std::uint8_t> readAsset(const char* name) {
  const std::filesystem::path assets =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "assets";
  std::ifstream in(assets / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ReportPictures, DecodedFromTheAssetFiles) {
  std::string error = "not cleared";
  report::TestPagePictures p = report::decodeTestPagePictures(
      readAsset("test_logo.bmp"), readAsset("test_glyph.bmp"), &error);
  EXPECT_EQ(error, "");
  EXPECT_EQ(p.banner.width, 400);
  EXPECT_EQ(p.banner.height, 79);
  EXPECT_EQ(p.glyph.width, 144);
  EXPECT_EQ(p.glyph.height, 126);

  const std::vector<std::uint8_t> junk = {'B', 'M', 1, 2, 3};
  p = report::decodeTestPagePictures(junk, readAsset("test_glyph.bmp"), &error);
  EXPECT_TRUE(p.banner.empty());
  EXPECT_EQ(p.glyph.width, 144);
  EXPECT_NE(error.find("banner"), std::string::npos) << error;
  EXPECT_EQ(error.find("glyph"), std::string::npos) << error;
}

}  // namespace
