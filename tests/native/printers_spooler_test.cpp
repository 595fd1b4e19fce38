// The spooler part of the seam on the in-memory PC: size queries, short
// buffers, handles, writes, and a fault on each call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_pc.h"

namespace {

using platform::Error;
using platform::FakePc;
using platform::kErrorInsufficientBuffer;
using platform::kOk;
using platform::OpenMode;
using platform::PrinterHandle;
using platform::PrinterInfo2;
using platform::SpoolerCall;

TEST(FakeSpooler, SizeQueriesAndShortBuffers) {
  FakePc pc;
  std::uint32_t needed = 99;
  std::vector<PrinterInfo2> list;
  EXPECT_EQ(pc.enumPrintersSize(needed), kOk);  // nothing to list
  EXPECT_EQ(needed, 0u);

  pc.addPrinter("Alpha", "LPT1:");
  pc.addPrinter("Beta", "Remote Port");
  ASSERT_EQ(pc.enumPrintersSize(needed), kErrorInsufficientBuffer);
  EXPECT_GT(needed, 2u * 84u);
  EXPECT_EQ(pc.enumPrinters(needed - 1, list), kErrorInsufficientBuffer);
  EXPECT_TRUE(list.empty());
  ASSERT_EQ(pc.enumPrinters(needed, list), kOk);
  EXPECT_EQ(list, pc.printers);

  // A longer name needs more bytes.
  std::uint32_t shorter = needed;
  pc.printers[0].comment = std::string(100, 'c');
  ASSERT_EQ(pc.enumPrintersSize(needed), kErrorInsufficientBuffer);
  EXPECT_EQ(needed, shorter + 100);

  PrinterHandle h = 0;
  ASSERT_EQ(pc.openPrinter("BETA", OpenMode::NoDefaults, h), kOk);  // any case
  ASSERT_EQ(pc.printerSize(h, needed), kErrorInsufficientBuffer);
  PrinterInfo2 info;
  EXPECT_EQ(pc.getPrinter(h, needed - 1, info), kErrorInsufficientBuffer);
  ASSERT_EQ(pc.getPrinter(h, needed, info), kOk);
  EXPECT_EQ(info, pc.printers[1]);
  EXPECT_EQ(pc.closePrinter(h), kOk);
  EXPECT_EQ(pc.closePrinter(h), platform::kErrorInvalidHandle);
  EXPECT_EQ(pc.printerSize(h, needed), platform::kErrorInvalidHandle);
  EXPECT_EQ(pc.openPrinter("Gamma", OpenMode::Administer, h), platform::kErrorInvalidPrinterName);
  EXPECT_EQ(h, 0u);
  ASSERT_EQ(pc.printerOpens.size(), 2u);
  EXPECT_EQ(pc.printerOpens[1].mode, OpenMode::Administer);
  EXPECT_EQ(pc.printerOpens[1].result, platform::kErrorInvalidPrinterName);
}

TEST(FakeSpooler, WritesReplaceFieldsAndKeepWhatIsLeftOut) {
  FakePc pc;
  pc.addPrinter("Alpha", "LPT1:");
  const PrinterInfo2 stored = pc.printers[0];
  PrinterHandle h = 0;
  ASSERT_EQ(pc.openPrinter("Alpha", OpenMode::Administer, h), kOk);

  PrinterInfo2 w = stored;
  w.portName = "Remote Port";
  w.comment = std::nullopt;     // left out: kept
  w.securityDescriptor.clear();  // left out: the printer's security stays
  w.priority = 42;
  w.status = 7;  // the spooler's own
  ASSERT_EQ(pc.setPrinter(h, w), kOk);
  EXPECT_EQ(pc.printers[0].portName, "Remote Port");
  EXPECT_EQ(pc.printers[0].comment, stored.comment);
  EXPECT_EQ(pc.printers[0].securityDescriptor, stored.securityDescriptor);
  EXPECT_EQ(pc.printers[0].priority, 42u);
  EXPECT_EQ(pc.printers[0].status, stored.status);
  ASSERT_EQ(pc.printerWrites.size(), 1u);
  EXPECT_EQ(pc.printerWrites[0], w);  // as passed

  // A descriptor in the write replaces the stored one; a rename keeps the handle.
  w.securityDescriptor = {1, 0, 4, 0x80, 7};
  w.printerName = "Alpha Renamed";
  ASSERT_EQ(pc.setPrinter(h, w), kOk);
  EXPECT_EQ(pc.printers[0].securityDescriptor, w.securityDescriptor);
  EXPECT_EQ(pc.printer("Alpha"), nullptr);
  std::uint32_t needed = 0;
  EXPECT_EQ(pc.printerSize(h, needed), kErrorInsufficientBuffer);

  // No port, driver or print processor: refused, nothing changed.
  PrinterInfo2 bad = w;
  bad.portName = std::nullopt;
  bad.priority = 1;
  EXPECT_EQ(pc.setPrinter(h, bad), platform::kErrorInvalidParameter);
  EXPECT_EQ(pc.printers[0].priority, 42u);
  pc.closePrinter(h);
}

// Each spooler call fails once with the chosen code, its outputs cleared,
// and works again on the next call.
TEST(FakeSpooler, EveryCallFailsOnceOnRequest) {
  constexpr Error kCode = 1234;
  FakePc pc;
  pc.addPrinter("Alpha", "LPT1:");
  std::uint32_t n = 7;
  std::vector<PrinterInfo2> list(1);
  PrinterHandle h = 9;
  PrinterInfo2 r;
  auto failOnce = [&](SpoolerCall c) { pc.failCall(c, kCode, 1); };

  failOnce(SpoolerCall::EnumPrintersSizing);
  EXPECT_EQ(pc.enumPrintersSize(n), kCode);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(pc.enumPrintersSize(n), kErrorInsufficientBuffer);
  failOnce(SpoolerCall::EnumPrinters);
  EXPECT_EQ(pc.enumPrinters(n, list), kCode);
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(pc.enumPrinters(n, list), kOk);
  failOnce(SpoolerCall::OpenPrinter);
  EXPECT_EQ(pc.openPrinter("Alpha", OpenMode::NoDefaults, h), kCode);
  EXPECT_EQ(h, 0u);
  EXPECT_EQ(pc.openPrinter("Alpha", OpenMode::NoDefaults, h), kOk);
  failOnce(SpoolerCall::GetPrinterSizing);
  EXPECT_EQ(pc.printerSize(h, n), kCode);
  EXPECT_EQ(pc.printerSize(h, n), kErrorInsufficientBuffer);
  failOnce(SpoolerCall::GetPrinter);
  EXPECT_EQ(pc.getPrinter(h, n, r), kCode);
  EXPECT_FALSE(r.printerName.has_value());
  EXPECT_EQ(pc.getPrinter(h, n, r), kOk);
  failOnce(SpoolerCall::SetPrinter);
  EXPECT_EQ(pc.setPrinter(h, r), kCode);
  EXPECT_TRUE(pc.printerWrites.empty());  // never reached the spooler
  EXPECT_EQ(pc.setPrinter(h, r), kOk);
  failOnce(SpoolerCall::ClosePrinter);
  EXPECT_EQ(pc.closePrinter(h), kCode);
  EXPECT_EQ(pc.closePrinter(h), kOk);
  EXPECT_TRUE(pc.printerHandles.empty());
}

}  // namespace
