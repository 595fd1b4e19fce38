// The test page: A4 portrait, 10 mm margins, six bands.
#include "report/test_page.h"

#include <utility>

namespace report {
namespace {

// Caption boxes are 7.0 mm high, value boxes 7.4 mm.
constexpr int kCaptionHeight = 70;
constexpr int kValueHeight = 74;

Font bodyFont() { return Font{kTestPageFace, 12, true}; }

TextBox caption(std::string name, int left, int top, int width, std::string text) {
  return TextBox{std::move(name), MmRect{left, top, width, kCaptionHeight}, bodyFont(),
                 std::move(text)};
}

TextBox value(std::string name, int left, int top, int width, std::string text) {
  return TextBox{std::move(name), MmRect{left, top, width, kValueHeight}, bodyFont(),
                 std::move(text)};
}

}  // namespace

std::string driverVersionText(std::uint32_t version) { return std::to_string(version); }

Report testPage(const TestPageValues& v, TestPagePictures pictures) {
  Report r;
  r.title = kTestPageTitle;
  r.paperWidth = 2100;
  r.paperHeight = 2970;
  r.marginLeft = r.marginTop = r.marginRight = r.marginBottom = 100;

  Band pageHeader{BandKind::PageHeader, 68, {}, {}};

  // The banner's frame reaches past the band's right and bottom edges; the
  // picture itself is drawn at its design size inside the frame.
  Band title{BandKind::Title, 224, {}, {}};
  title.pictures.push_back(PictureBox{"Banner", MmRect{542, 0, 1797, 256},
                                      std::move(pictures.banner)});

  Band columnHeader{BandKind::ColumnHeader, 241, {}, {}};

  Band detail{BandKind::Detail, 1985, {}, {}};
  detail.texts = {
      caption("LblCongrats", 186, 203, 849, "Congratulations !"),
      caption("LblReadThis", 186, 288, 1645,
              "If you can read this message, you have correctly installed the printer "
              "sharing driver"),
      caption("LblConfig", 186, 373, 1035, "and the configurations are appropriate. "),
      caption("LblInfo", 186, 474, 1662,
              "The information below describes your printer sharing server setting and "
              "printer setting."),
      caption("LblIPCaption", 339, 627, 392, "Server IP Adderss:"),
      value("QRLblIP", 779, 627, 646, v.serverAddress),
      caption("LblPrnCaption", 339, 711, 290, "Printer:"),
      value("QRLblPrn", 779, 707, 730, v.printer),
      caption("LblNameCaption", 339, 787, 375, "Computer Name:"),
      // 73.0 mm like the printer's box rather than the 32.4 mm of the
      // design: computer names are upper case, and fifteen capitals in
      // 12 point bold need up to 63.5 mm, so the narrow box cut them.
      value("QRLblName", 779, 783, 730, v.computerName),
      caption("LblWizVerCaption", 339, 870, 375, "Wizard Version:"),
      value("LblWizVer", 779, 866, 324, v.wizardVersion),
      caption("LblDrvVerCaption", 339, 955, 375, "Driver Version:"),
      value("LblDrvVer", 779, 950, 256, driverVersionText(v.driverVersion)),
      caption("LblEnd", 186, 1693, 1171, "This is the end of the printer test page"),
  };
  detail.pictures.push_back(PictureBox{"Glyph", MmRect{339, 1101, 578, 459},
                                       std::move(pictures.glyph)});

  Band summary{BandKind::Summary, 68, {}, {}};
  Band pageFooter{BandKind::PageFooter, 68, {}, {}};

  r.bands = {std::move(pageHeader), std::move(title),   std::move(columnHeader),
             std::move(detail),     std::move(summary), std::move(pageFooter)};

  // The heading over the column-header area, from the paper's corner.
  r.surfaceTexts.push_back(TextBox{"LblHeading", MmRect{508, 453, 1113, 146},
                                   Font{kTestPageFace, 28, true}, "Printer Sharing Test Page"});
  return r;
}

TestPagePictures decodeTestPagePictures(std::span<const std::uint8_t> banner,
                                        std::span<const std::uint8_t> glyph,
                                        std::string* error) {
  TestPagePictures out;
  std::string why;
  auto take = [&why](std::span<const std::uint8_t> bytes, const char* what,
                     pictures::Image& into) {
    pictures::DecodeResult r = pictures::decode(bytes);
    if (r && !r.picture->frames.empty()) {
      into = std::move(r.picture->frames.front().image);
      return;
    }
    if (!why.empty()) why += "; ";
    why += std::string(what) + ": " + (r.error.empty() ? "no frame" : r.error);
  };
  take(banner, "banner", out.banner);
  take(glyph, "glyph", out.glyph);
  if (error) *error = why;
  return out;
}

}  // namespace report
