#include "core/printer_resolution.h"

namespace quarto {

PrinterDpi GetPrinterResolution(PrinterDpi current, bool hasPrinter, std::optional<PrinterDeviceMode> mode,
                                bool colour) {
  if (!hasPrinter) return {300, 300};
  PrinterDpi dpi = current;
  if (mode) dpi = {mode->printQuality, mode->yResolution};
  if (dpi.y == 0) dpi.y = dpi.x;
  switch (dpi.x) {
    case -4: dpi = {600, 600}; break;
    case -3: dpi = colour ? PrinterDpi{300, 600} : PrinterDpi{600, 300}; break;
    case -2: dpi = {300, 300}; break;
    default: break;
  }
  if (dpi.x <= 0) dpi.x = 300;
  if (dpi.y <= 0) dpi.y = 300;
  return dpi;
}

}  // namespace quarto
