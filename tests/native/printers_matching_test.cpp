// Printer name matching: maker words, model numbers, the full match.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printers/matching.h"
#include "printers/ports.h"

namespace {

struct MakerCase {
  std::string local, server;
  bool same;
};

TEST(PrinterMatching, SameMaker) {
  const std::vector<MakerCase> cases = {
      {"Lexmark Z34 Color Jetprinter", "LexMark Z34", true},  // case folded
      {"HP LaserJet 1100", "Hewlett-Packard LaserJet 1100", true},  // the alias
      {"hp deskjet", "hewlett-packard", true},  // alias after upper-casing
      {"Hewlett-Packard LaserJet 1100", "HP LaserJet 1100", false},  // alias one way only
      {"LEX", "LEXMARK", true},  // local word inside the server's
      {"LEXMARK", "LEX", false},  // not the other way
      {"Epson Stylus", "EPSON", true},
      {"MARK Z1", "LEXMARK Z1", true},  // anywhere inside, not only at the front
      {"PHP Printer", "XHEWLETTX", true},  // both alias tests are substring tests
      {"H.P. Printer", "Hewlett-Packard", false},
      {"Canon BJC", "Epson Canon", false},  // only the first words count
      {"   Canon BJC", "Canon i560", true},  // leading spaces skipped
      {"Canon", "      CANON i560", true},
      {"HP\tLaserJet", "HP LaserJet", false},  // only the space separates words
      {"Epson-Stylus", "EPSON-STYLUS COLOR", true},
      {"", "HP", false},
      {"    ", "HP", false},
      {"HP", "", false},
      {"HP", "   ", false},
      {"", "", false},
      // 8-bit letters stay as they are: 0xFC is not upper-cased to 0xDC.
      {"\xDC" "ber 12", "\xFC" "ber 12", false},
      {"\xDC" "ber", "\xDC" "BERDRUCK 5", true},
      {"\xE9" "pson", "\xE9" "PSON", true},  // only the ASCII letters change
      {"\xE9" "pson", "\xC9" "PSON", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(printers::sameMaker(c.local, c.server), c.same)
        << "local '" << c.local << "' server '" << c.server << "'";
}

TEST(PrinterMatching, SameMakerLooksAtTheFirst255Characters) {
  std::string spaces255(255, ' ');
  // A word that starts past the limit is no word.
  EXPECT_FALSE(printers::sameMaker(spaces255 + "HP", "HP"));
  EXPECT_FALSE(printers::sameMaker("HP", spaces255 + "HP"));
  EXPECT_TRUE(printers::sameMaker(std::string(254, ' ') + "HP", "HP"));
  // The server's word is cut at the limit: "H" holds "H" but not "HP".
  std::string cut = std::string(254, ' ') + "HP LaserJet";
  EXPECT_TRUE(printers::sameMaker("H", cut));
  EXPECT_FALSE(printers::sameMaker("HP", cut));
  // A long first word compares by its first 255 characters.
  std::string longWord(300, 'A');
  EXPECT_TRUE(printers::sameMaker(longWord, longWord));
  EXPECT_TRUE(printers::sameMaker(std::string(255, 'A') + "XYZ", longWord));
}

struct ModelCase {
  std::string name;
  unsigned number;
};

TEST(PrinterMatching, ModelNumber) {
  const std::vector<ModelCase> cases = {
      {"Lexmark Z34 Color Jetprinter", 34},
      {"HP DeskJet 840C", 840},
      {"HP LaserJet 4", 0},  // a single digit is no model number
      {"HP LaserJet", 0},
      {"Z34", 34},
      {"Z340", 340},
      {"Z034", 34},  // leading zero
      {"A1B22C333", 22},  // the first run of two or more
      {"1 2 34 56", 34},
      {"12345", 12345},  // only digits
      {"7", 0},
      {"", 0},
      {"X123456789012", 3197704724u},  // 12 digits: 123456789012 mod 2^32
      {"4294967295", 4294967295u},
      {"4294967296", 0},  // 2^32 wraps to 0
      {"4294967297", 1},
      {"Z\xB2" "34", 34},  // superscript two is not a digit
      {std::string(253, 'x') + "123", 12},  // cut at 255 characters
      {std::string(254, 'x') + "12", 0},  // one digit left inside the limit
  };
  for (const auto& c : cases)
    EXPECT_EQ(printers::modelNumber(c.name), c.number) << "'" << c.name << "'";
}

struct PairCase {
  std::string local, server;
  int findModel;
  bool full;
};

TEST(PrinterMatching, FindModelAndFullMatch) {
  const std::vector<PairCase> cases = {
      {"Lexmark Z34 Color Jetprinter", "LexMark Z34", 0, true},
      {"HP LaserJet 1100", "Hewlett-Packard LaserJet 1100", 0, true},
      {"Hewlett-Packard LaserJet 1100", "HP LaserJet 1100", 0, false},  // makers differ
      {"HP LaserJet", "HP DeskJet", 0, true},  // both without a model number
      {"HP LaserJet 4", "HP LaserJet 5", 0, true},
      {"Lexmark Z34", "Lexmark Z340", 1, false},
      {"Lexmark Z034", "Lexmark Z34", 0, true},
      {"Lexmark X52", "Lexmark Z34", 1, false},
      {"Epson A", "Lexmark Z34", 1, false},
      {"HP 4294967296", "HP LaserJet", 0, true},  // wraps to 0
      {"HP 4294967297", "HP 01", 0, true},  // wraps to 1
      {"Canon 12", "Epson 12", 0, false},
      {"Canon 12", "", 1, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(printers::FindModel(c.local, c.server), c.findModel)
        << "'" << c.local << "' / '" << c.server << "'";
    EXPECT_EQ(printers::fullMatch(c.local, c.server), c.full)
        << "'" << c.local << "' / '" << c.server << "'";
  }
}

TEST(PrinterMatching, LexmarkHelpByExactSpelling) {
  for (const char* name : {"Lexmark Z34", "Compaq IJ700", "LEXMARK Z12", "My COMPAQ",
                           "Printer (Lexmark)"})
    EXPECT_TRUE(printers::needsLexmarkHelp(name)) << name;
  for (const char* name : {"LexMark Z34", "lexmark z34", "COMPaq IJ700", "HP LaserJet", ""})
    EXPECT_FALSE(printers::needsLexmarkHelp(name)) << name;
}

}  // namespace
