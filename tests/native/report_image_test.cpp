// The test page rendered with FreeType into an image, and the PNG writer.
#include <gtest/gtest.h>
#include <zlib.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "report/image_canvas.h"
#include "report/layout.h"
#include "report/png_writer.h"
#include "report/test_page.h"
#include "tests/report_sample.h"

namespace {

using report::DeviceGeometry;
using report::Rect;

std::vector<std::uint8_t> readAsset(const char* name) {
  const std::filesystem::path assets =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "assets";
  std::ifstream in(assets / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Rendered {
  report::Report page;
  pictures::Image image;
  report::PageLayout layout;
};

Rendered render(const report::TestPageValues& values, DeviceGeometry g) {
  Rendered r;
  r.page = report::testPage(values, report::decodeTestPagePictures(
                                        readAsset("test_logo.bmp"), readAsset("test_glyph.bmp")));
  r.image = report::blankPrintableArea(r.page.paperWidth, r.page.paperHeight, g);
  std::string error;
  auto canvas = report::ImageCanvas::create(r.image, g, report::FontFiles{}, &error);
  EXPECT_NE(canvas, nullptr) << error;
  if (!canvas) return r;
  r.layout = report::layOut(r.page, *canvas);
  report::draw(r.layout, *canvas);
  return r;
}

bool white(const pictures::Image& img, int x, int y) {
  const std::uint8_t* p = &img.bgr[img.offset(x, y)];
  return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

bool ink(const pictures::Image& img, int x, int y) {
  const std::uint8_t* p = &img.bgr[img.offset(x, y)];
  return p[0] < 128 && p[1] < 128 && p[2] < 128;
}

int inkIn(const pictures::Image& img, const Rect& r) {
  int n = 0;
  for (int y = std::max(r.top, 0); y < std::min(r.bottom, img.height); ++y)
    for (int x = std::max(r.left, 0); x < std::min(r.right, img.width); ++x) n += ink(img, x, y);
  return n;
}

TEST(ReportImage, SampleWrapsAsExpectedAt300Dpi) {
  const Rendered r = render(report_sample::values(), {300, 300, 75, 75});
  report_sample::expectLayoutAt300(r.layout);
}

TEST(ReportImage, InkInsideTextBoxesAndNoneOutsideBoxesAndPictures) {
  for (const DeviceGeometry g : {DeviceGeometry{100, 100, 0, 0}, DeviceGeometry{300, 300, 75, 75}}) {
    SCOPED_TRACE(std::to_string(g.dpiX) + " dpi");
    const Rendered r = render(report_sample::values(), g);
    ASSERT_FALSE(r.image.empty());
    ASSERT_EQ(r.layout.pictures.size(), 2u) << "both pictures decoded and placed";
    for (const report::PlacedText& t : r.layout.texts) {
      ASSERT_FALSE(t.lines.empty()) << t.name;
      EXPECT_GT(inkIn(r.image, t.box), 0) << t.name << " holds text but shows none";
    }
    // The printer's second line is cut whole: nothing of it shows below the
    // first line.
    const report::PlacedText* prn = r.layout.text("QRLblPrn");
    ASSERT_EQ(prn->drawnLines(), 1);
    ASSERT_GT(prn->lines.size(), 1u);
    const int firstBottom = prn->box.top + prn->lineHeight;
    EXPECT_EQ(inkIn(r.image, {prn->box.left, firstBottom, prn->box.right, prn->box.bottom}), 0);

    int strays = 0;
    std::string where;
    for (int y = 0; y < r.image.height; ++y) {
      for (int x = 0; x < r.image.width; ++x) {
        if (white(r.image, x, y)) continue;
        bool inside = false;
        for (const report::PlacedText& t : r.layout.texts) inside = inside || t.box.contains(x, y);
        for (const report::PlacedPicture& p : r.layout.pictures)
          inside = inside || p.dest.contains(x, y);
        if (!inside && strays++ == 0) where = std::to_string(x) + "," + std::to_string(y);
      }
    }
    EXPECT_EQ(strays, 0) << "first at " << where;

    // The pictures fill their places: their corners keep the artwork's colours.
    for (const report::PlacedPicture& p : r.layout.pictures) {
      const pictures::Image& src = *p.image;
      for (auto [sx, sy, dx, dy] : {std::array{0, 0, p.dest.left, p.dest.top},
                                    std::array{src.width - 1, src.height - 1, p.dest.right - 1,
                                               p.dest.bottom - 1}}) {
        for (int k = 0; k < 3; ++k)
          EXPECT_NEAR(r.image.bgr[r.image.offset(dx, dy) + k], src.bgr[src.offset(sx, sy) + k], 24)
              << p.name << " corner " << sx << "," << sy;
      }
    }
  }
}

TEST(ReportImage, TimesMetricsAndMissingFonts) {
  pictures::Image img(10, 10, 255, 255, 255);
  std::string error;
  auto canvas = report::ImageCanvas::create(img, {300, 300, 0, 0}, report::FontFiles{}, &error);
  ASSERT_NE(canvas, nullptr) << error;
  const report::Font bold{"Times New Roman", 12, true};
  const report::Font regular{"Times New Roman", 12, false};
  // Windows ascent 1825 and descent 443 of 2048 at a 50-pixel em: 45 + 11.
  EXPECT_EQ(canvas->lineHeight(bold), 56);
  EXPECT_EQ(canvas->lineHeight(report::Font{"Times New Roman", 28, true}), 104 + 25);
  // Advances add up, and bold is wider than regular.
  EXPECT_EQ(canvas->textWidth(bold, "ab") + canvas->textWidth(bold, "cd"),
            canvas->textWidth(bold, "abcd"));
  EXPECT_GT(canvas->textWidth(bold, "Congratulations !"),
            canvas->textWidth(regular, "Congratulations !"));
  EXPECT_EQ(canvas->textWidth(bold, ""), 0);
  // Drawing outside the image is clipped, not written past its buffer.
  canvas->drawText(bold, -30, -30, "Wide text", {-100, -100, 100, 100});
  canvas->drawImage(pictures::Image(4, 4, 0, 0, 255), {-5, -5, 50, 50});
  EXPECT_EQ(img.bgr[img.offset(9, 9) + 2], 255);

  report::FontFiles missing;
  missing.bold = "/nonexistent/Bold.ttf";
  EXPECT_EQ(report::ImageCanvas::create(img, {300, 300, 0, 0}, missing, &error), nullptr);
  EXPECT_NE(error.find("/nonexistent/Bold.ttf"), std::string::npos) << error;
}

TEST(ReportImage, Windows1252Characters) {
  EXPECT_EQ(report::windows1252('A'), U'A');
  EXPECT_EQ(report::windows1252(0x80), U'\u20AC');
  EXPECT_EQ(report::windows1252(0x9F), U'\u0178');
  EXPECT_EQ(report::windows1252(0x81), U'\0');
  EXPECT_EQ(report::windows1252(0xE9), U'\u00E9');
}

std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 |
         std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

TEST(ReportPng, ChunksAndPixelsReadBack) {
  pictures::Image img(3, 2);
  for (std::size_t i = 0; i < img.bgr.size(); ++i) img.bgr[i] = static_cast<std::uint8_t>(i * 13);
  const std::vector<std::uint8_t> png = report::encodePng(img);
  ASSERT_GT(png.size(), 8u);
  EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
            (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));

  std::vector<std::string> types;
  std::vector<std::uint8_t> idat, ihdr;
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::uint32_t len = be32(png, at);
    ASSERT_LE(at + 12 + len, png.size());
    const std::string type(png.begin() + at + 4, png.begin() + at + 8);
    types.push_back(type);
    const uLong crc = crc32(0, png.data() + at + 4, 4 + len);
    EXPECT_EQ(be32(png, at + 8 + len), crc) << type;
    std::vector<std::uint8_t> data(png.begin() + at + 8, png.begin() + at + 8 + len);
    if (type == "IDAT") idat.insert(idat.end(), data.begin(), data.end());
    if (type == "IHDR") ihdr = data;
    at += 12 + len;
  }
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
  ASSERT_EQ(ihdr.size(), 13u);
  EXPECT_EQ(be32(ihdr, 0), 3u);
  EXPECT_EQ(be32(ihdr, 4), 2u);
  EXPECT_EQ(ihdr[8], 8);  // bits per channel
  EXPECT_EQ(ihdr[9], 2);  // red, green, blue

  std::vector<std::uint8_t> raw(2 * (1 + 9));
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, idat.data(), idat.size()), Z_OK);
  ASSERT_EQ(rawSize, raw.size());
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(raw[y * 10], 0) << "filter byte";
    for (int x = 0; x < 3; ++x) {
      const std::uint8_t* px = &img.bgr[img.offset(x, y)];
      EXPECT_EQ(raw[y * 10 + 1 + x * 3], px[2]) << "red";
      EXPECT_EQ(raw[y * 10 + 2 + x * 3], px[1]) << "green";
      EXPECT_EQ(raw[y * 10 + 3 + x * 3], px[0]) << "blue";
    }
  }

  // Written to a file byte for byte; nothing for an empty image or a
  // folder that does not exist.
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("report_png_test_" + std::to_string(getpid()) + ".png");
  std::string error;
  ASSERT_TRUE(report::writePng(path.string(), img, &error)) << error;
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> back{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
  EXPECT_EQ(back, png);
  std::filesystem::remove(path);
  EXPECT_TRUE(report::encodePng(pictures::Image()).empty());
  EXPECT_FALSE(report::writePng(path.string(), pictures::Image(), &error));
  EXPECT_FALSE(report::writePng("/nonexistent/folder/x.png", img, &error));
  EXPECT_NE(error.find("/nonexistent/folder/x.png"), std::string::npos) << error;
}

}  // namespace
