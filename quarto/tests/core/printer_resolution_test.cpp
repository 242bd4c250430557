#include "core/printer_resolution.h"

#include <gtest/gtest.h>

namespace quarto {
namespace {

TEST(PrinterResolution, DeviceModeFieldsAndQualityCodes) {
  struct Case {
    const char* name;
    bool hasPrinter;
    std::optional<PrinterDeviceMode> mode;
    bool colour;
    PrinterDpi expected;
  };
  const PrinterDpi current{150, 75};
  const Case cases[] = {
      {"no printer", false, PrinterDeviceMode{600, 600}, true, {300, 300}},
      {"mode unavailable keeps the values", true, std::nullopt, true, {150, 75}},
      {"resolution as given", true, PrinterDeviceMode{600, 1200}, true, {600, 1200}},
      {"y 0 takes the quality", true, PrinterDeviceMode{720, 0}, true, {720, 720}},
      {"-4 high", true, PrinterDeviceMode{-4, 0}, false, {600, 600}},
      {"-3 medium in colour", true, PrinterDeviceMode{-3, 0}, true, {300, 600}},
      {"-3 medium in black", true, PrinterDeviceMode{-3, 0}, false, {600, 300}},
      {"-3 with its own y", true, PrinterDeviceMode{-3, 360}, true, {300, 600}},
      {"-2 low", true, PrinterDeviceMode{-2, 0}, true, {300, 300}},
      {"-1 draft", true, PrinterDeviceMode{-1, 0}, true, {300, 300}},
      {"0 quality", true, PrinterDeviceMode{0, 0}, true, {300, 300}},
      {"negative y", true, PrinterDeviceMode{600, -5}, true, {600, 300}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GetPrinterResolution(current, c.hasPrinter, c.mode, c.colour), c.expected) << c.name;
}

}  // namespace
}  // namespace quarto
