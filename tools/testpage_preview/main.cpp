// testpage_preview OUT.png --ip A.B.C.D --printer NAME --computer NAME
//                  --driver N [--dpi 100] [--offset 0] [--assets DIR]
//
// Lays the test page out as a printer of the given resolution would get it
// (offset: the printable area's margin in device pixels) and writes it as a
// PNG of the printable area.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "report/image_canvas.h"
#include "report/layout.h"
#include "report/png_writer.h"
#include "report/test_page.h"

namespace {

int usage(const char* why) {
  std::fprintf(stderr,
               "testpage_preview: %s\n"
               "usage: testpage_preview OUT.png --ip ADDRESS --printer NAME --computer NAME\n"
               "       --driver N [--dpi 100] [--offset 0] [--assets DIR]\n",
               why);
  return 2;
}

bool parseUnsigned(const std::string& text, unsigned long long max, unsigned long long& out) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long v = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || v > max) return false;
  out = v;
  return true;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) std::fprintf(stderr, "testpage_preview: cannot read %s\n", path.c_str());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  std::string out, assets = TESTPAGE_ASSETS;
  report::TestPageValues values;
  unsigned long long dpi = 100, offset = 0, driver = 0;
  bool haveIp = false, havePrinter = false, haveComputer = false, haveDriver = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      if (!out.empty()) return usage("more than one output file");
      out = arg;
      continue;
    }
    if (i + 1 >= argc) return usage(("no value after " + arg).c_str());
    const std::string value = argv[++i];
    if (arg == "--ip") {
      values.serverAddress = value, haveIp = true;
    } else if (arg == "--printer") {
      values.printer = value, havePrinter = true;
    } else if (arg == "--computer") {
      values.computerName = value, haveComputer = true;
    } else if (arg == "--driver") {
      if (!parseUnsigned(value, 0xFFFFFFFFull, driver)) return usage("--driver takes 0 to 4294967295");
      haveDriver = true;
    } else if (arg == "--dpi") {
      if (!parseUnsigned(value, 1200, dpi) || dpi < 24) return usage("--dpi takes 24 to 1200");
    } else if (arg == "--offset") {
      if (!parseUnsigned(value, 1000, offset)) return usage("--offset takes 0 to 1000");
    } else if (arg == "--assets") {
      assets = value;
    } else {
      return usage(("unknown option " + arg).c_str());
    }
  }
  if (out.empty()) return usage("no output file");
  if (!haveIp || !havePrinter || !haveComputer || !haveDriver)
    return usage("--ip, --printer, --computer and --driver are all needed");
  values.driverVersion = static_cast<std::uint32_t>(driver);

  std::string error;
  report::TestPagePictures pictures = report::decodeTestPagePictures(
      readFile(assets + "/test_logo.bmp"), readFile(assets + "/test_glyph.bmp"), &error);
  if (!error.empty()) std::fprintf(stderr, "testpage_preview: %s (printing without)\n", error.c_str());

  const report::Report page = report::testPage(values, std::move(pictures));
  const report::DeviceGeometry g{static_cast<int>(dpi), static_cast<int>(dpi),
                                 static_cast<int>(offset), static_cast<int>(offset)};
  pictures::Image image = report::blankPrintableArea(page.paperWidth, page.paperHeight, g);
  if (image.empty()) return usage("the offset leaves no printable area");
  auto canvas = report::ImageCanvas::create(image, g, report::FontFiles{}, &error);
  if (!canvas) {
    std::fprintf(stderr, "testpage_preview: %s\n", error.c_str());
    return 1;
  }
  const report::PageLayout layout = report::layOut(page, *canvas);
  report::draw(layout, *canvas);
  if (!report::writePng(out, image, &error)) {
    std::fprintf(stderr, "testpage_preview: %s\n", error.c_str());
    return 1;
  }
  // Where each box landed and how its text wrapped: width and text of each
  // line, "cut" for lines that did not fit the box.
  for (const report::PlacedText& t : layout.texts) {
    std::printf("%-16s box %5d %5d %5d %5d\n", t.name.c_str(), t.box.left, t.box.top,
                t.box.right, t.box.bottom);
    for (const report::PlacedLine& l : t.lines)
      std::printf("  %5d %s%s\n", l.width, l.drawn ? "" : "cut: ", l.text.c_str());
  }
  std::printf("wrote %s, %d x %d at %llu dpi\n", out.c_str(), image.width, image.height, dpi);
  return 0;
}
