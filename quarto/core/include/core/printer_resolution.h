#pragma once
// The printer resolution of the view: dots per inch across and down, from the current printer's
// device mode, whose quality field may hold a resolution or a device-independent quality code.
#include <cstdint>
#include <optional>

namespace quarto {

struct PrinterDpi {
  int32_t x = 300;
  int32_t y = 300;
  bool operator==(const PrinterDpi&) const = default;
};

// The two fields of a printer's device mode that give its resolution (signed 16-bit).
struct PrinterDeviceMode {
  int16_t printQuality = 0;  // dots per inch, or -1 draft .. -4 high
  int16_t yResolution = 0;   // dots per inch down, 0 when the same as across
};

// No printer: 300 x 300. A mode that cannot be read keeps the current values. Otherwise the
// quality and y fields, y 0 taking the quality, and the quality codes -4 (600 x 600), -3 (300 x
// 600 in colour, 600 x 300 in black) and -2 (300 x 300). A value that is still not positive (the
// draft code -1, a zero quality) becomes 300: a resolution of zero or less would give no scale.
PrinterDpi GetPrinterResolution(PrinterDpi current, bool hasPrinter, std::optional<PrinterDeviceMode> mode,
                                bool colour);

}  // namespace quarto
