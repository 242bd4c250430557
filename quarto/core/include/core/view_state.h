#pragma once
// The program-wide view state of the plot viewer: every command and renderer reads or writes it.
// The member initialisers are the start values that the main window's creation sets; the settings
// file, the open command and the view commands change them afterwards.
#include <array>
#include <cstdint>
#include <string>

namespace quarto {

inline constexpr int kRecentFileCount = 9;

// A window in file units given on the command line (@X1:Y1_X2:Y2); neither sorted nor checked.
struct ViewWindowBox {
  int32_t x1 = 0;
  int32_t x2 = 0;
  int32_t y1 = 0;
  int32_t y2 = 0;
  bool operator==(const ViewWindowBox&) const = default;
};

// Page margins in centimetres, 0 to 5 in steps of 0.5.
struct PageMarginsCm {
  double left = 0.0;
  double right = 0.0;
  double top = 0.0;
  double bottom = 0.0;
  bool operator==(const PageMarginsCm&) const = default;
};

struct ViewState {
  // Scale factor of the drawing, 0..100; 1.0 is 1:1 on paper.
  double Zoom = 1.0;
  // Factor applied to every file x: -1 while mirror Y is checked.
  int8_t SignX = +1;
  // Factor applied to every file y: -1 normally (the plot's y axis points up), +1 while mirror X is checked.
  int8_t SignY = -1;
  // Offset of the drawing from its centred place, preview pixels.
  int32_t ShiftX = 0;
  int32_t ShiftY = 0;
  // Command-line window; replaces the drawing's extents for fitting and centring while ViewWindowSet.
  ViewWindowBox ViewWindow{};
  bool ViewWindowSet = false;
  // The next drawing computes Zoom so that the drawing fills the page, then clears it.
  bool FitPending = false;
  // The current file is a PLT 4.5 / PLT 8.5 file; never both.
  bool Plot45Loaded = false;
  bool Plot85Loaded = false;
  // Full path of the current plot file; re-opened by every drawing.
  std::string PlotFileName;
  // Printer resolution, also the base of the preview scale (300 x 300 when there is no printer).
  int32_t PrinterDpiX = 300;
  int32_t PrinterDpiY = 300;
  PageMarginsCm PageMargins{};
  // The next pan request (click, key C) is swallowed and clears this.
  bool IgnoreNextClick = false;
  // One-shot sources of the next open: the command line, or a recent-file item.
  bool OpenFromCommandLine = false;
  bool OpenFromRecent = false;
  // Recent plot files, most recent first; an empty string is an empty slot.
  std::array<std::string, kRecentFileCount> RecentFiles{};

  bool PlotLoaded() const { return Plot45Loaded || Plot85Loaded; }
};

}  // namespace quarto
