// The spooler part of the seam on the in-memory PC: size queries, short
// buffers, handles, writes, and a fault on each call.
#include <gtest/gtest.h>

#include <functional>
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

// Each spooler call fails once with the chosen code, with its outputs
// cleared, and works again on the next call.
TEST(FakeSpooler, EveryCallFailsOnceOnRequest) {
  constexpr Error kCode = 1234;
  FakePc pc;
  pc.addPrinter("Alpha", "LPT1:");
  std::uint32_t listBytes = 0;
  ASSERT_EQ(pc.enumPrintersSize(listBytes), kErrorInsufficientBuffer);
  PrinterHandle open = 0;
  ASSERT_EQ(pc.openPrinter("Alpha", OpenMode::NoDefaults, open), kOk);
  std::uint32_t recordBytes = 0;
  ASSERT_EQ(pc.printerSize(open, recordBytes), kErrorInsufficientBuffer);
  PrinterInfo2 record;
  ASSERT_EQ(pc.getPrinter(open, recordBytes, record), kOk);

  struct Case {
    SpoolerCall call;
    std::function<Error()> run;
    Error normally;
  };
  std::vector<PrinterHandle> extra;
  const std::vector<Case> cases = {
      {SpoolerCall::EnumPrintersSizing,
       [&] {
         std::uint32_t n = 7;
         Error e = pc.enumPrintersSize(n);
         if (e == kCode) {
           EXPECT_EQ(n, 0u);
         }
         return e;
       },
       kErrorInsufficientBuffer},
      {SpoolerCall::EnumPrinters,
       [&] {
         std::vector<PrinterInfo2> l(1);
         Error e = pc.enumPrinters(listBytes, l);
         EXPECT_EQ(l.size(), e == kOk ? 1u : 0u);
         return e;
       },
       kOk},
      {SpoolerCall::OpenPrinter,
       [&] {
         PrinterHandle h = 9;
         Error e = pc.openPrinter("Alpha", OpenMode::Administer, h);
         if (e == kOk) {
           extra.push_back(h);
         } else {
           EXPECT_EQ(h, 0u);
         }
         return e;
       },
       kOk},
      {SpoolerCall::GetPrinterSizing,
       [&] {
         std::uint32_t n = 0;
         return pc.printerSize(open, n);
       },
       kErrorInsufficientBuffer},
      {SpoolerCall::GetPrinter,
       [&] {
         PrinterInfo2 r;
         Error e = pc.getPrinter(open, recordBytes, r);
         EXPECT_EQ(r.printerName.has_value(), e == kOk);
         return e;
       },
       kOk},
      {SpoolerCall::SetPrinter, [&] { return pc.setPrinter(open, record); }, kOk},
      {SpoolerCall::ClosePrinter,
       [&] {
         PrinterHandle h = 0;
         EXPECT_EQ(pc.openPrinter("Alpha", OpenMode::NoDefaults, h), kOk);
         Error e = pc.closePrinter(h);
         if (e != kOk) extra.push_back(h);
         return e;
       },
       kOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.call));
    pc.failCall(c.call, kCode, 1);
    EXPECT_EQ(c.run(), kCode);
    EXPECT_EQ(c.run(), c.normally);
  }
  // The write that failed changed nothing; the one that worked wrote the same.
  EXPECT_EQ(pc.printers[0], record);
  EXPECT_EQ(pc.printerWrites.size(), 1u);
  for (PrinterHandle h : extra) EXPECT_EQ(pc.closePrinter(h), kOk);
  EXPECT_EQ(pc.closePrinter(open), kOk);
  EXPECT_TRUE(pc.printerHandles.empty());
}

}  // namespace
