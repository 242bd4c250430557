// Frame of a renderer call: page scale and rectangle, margins, base scale, fit, the nine
// position items, offsets, the page-preview calls and the bitmap rules.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <utility>

#include "core/render_frame.h"
#include "testsupport/recording_canvas.h"

namespace quarto {
namespace {

// A window of 620 x 1120 over a 1000 x 2000 dot page at 254 dpi: PageScale 0.5, 100 dots a cm,
// and with multiplier 10 (metric) one dot per file unit, so 0.5 preview pixels per file unit.
FrameInput BaseInput() {
  FrameInput in;
  in.windowWidth = 620;
  in.windowHeight = 1120;
  in.pageWidth = 1000;
  in.pageHeight = 2000;
  in.printerDpiX = in.printerDpiY = 254;
  in.unitMultiplier = 10;
  in.drawBounds = {0, 994, 0, 997};
  in.headerX1 = 0, in.headerY1 = 0, in.headerX2 = 994, in.headerY2 = 997;
  in.position = PagePosition::None;
  return in;
}

TEST(RenderFrame, PageScaleAndRectangleTable) {
  struct Case {
    int32_t W, H, PW, PH;
    double scale;
    int32_t left, top, right, bottom;
  };
  const Case cases[] = {
      // H/PH = 0.56 < W/PW = 0.62: by height.
      {620, 1120, 1000, 2000, 0.5, 60, 38, 560, 1038},
      // H/PH = 0.7 > 0.62: by width, (620 - 120) / 1000.
      {620, 1400, 1000, 2000, 0.5, 60, 178, 560, 1178},
      // Equal ratios count as "not greater": by height, 1120 / 2000.
      {620, 1240, 1000, 2000, 0.56, 30, 38, 590, 1158},
      // Odd W (W div 2 = 310), landscape page by width: 0.2505, page edges at halves to even.
      {621, 1120, 2000, 1000, 0.2505, 60, 413, 560, 663},
  };
  for (const auto& c : cases) {
    FrameInput in = BaseInput();
    in.windowWidth = c.W, in.windowHeight = c.H, in.pageWidth = c.PW, in.pageHeight = c.PH;
    const FrameLayout f = ComputeFrame(in);
    SCOPED_TRACE(testing::Message() << c.W << "x" << c.H << " page " << c.PW << "x" << c.PH);
    EXPECT_DOUBLE_EQ(f.PageScale, c.scale);
    EXPECT_EQ(f.PageLeft, c.left);
    EXPECT_EQ(f.PageTop, c.top);
    EXPECT_EQ(f.PageRight, c.right);
    EXPECT_EQ(f.PageBottom, c.bottom);
  }
}

// The drawing area is placed so that the page's centre is its centre: the page and its shadow
// keep equal room on both sides of the area, whatever the bars above and below it take.
TEST(RenderFrame, DrawingAreaIsCentredOnThePage) {
  struct Case {
    int32_t W, H, areaWidth, areaHeight;
  };
  const Case cases[] = {
      {787, 520, 783, 436},     // design size, the bars taking 80 pixels
      {787, 520, 779, 400},     // taller bars
      {1920, 1080, 1916, 950},  // a large window
      {621, 1121, 617, 1001},   // odd sizes
  };
  for (const auto& c : cases) {
    FrameInput in = BaseInput();
    in.windowWidth = c.W, in.windowHeight = c.H;
    CentreDrawingArea(in, c.areaWidth, c.areaHeight);
    SCOPED_TRACE(testing::Message() << c.W << "x" << c.H << " area " << c.areaWidth << "x" << c.areaHeight);
    EXPECT_EQ(in.areaWidth, c.areaWidth);
    EXPECT_EQ(in.areaHeight, c.areaHeight);
    const FrameLayout f = ComputeFrame(in);
    // Room left and right of the page, above and below it, in the area.
    const int32_t before = f.PageLeft - in.areaLeft, after = in.areaLeft + c.areaWidth - f.PageRight;
    const int32_t above = f.PageTop - in.areaTop, below = in.areaTop + c.areaHeight - f.PageBottom;
    EXPECT_LE(std::abs(before - after), 1);
    EXPECT_LE(std::abs(above - below), 1);
  }
}

TEST(RenderFrame, MarginsCarryTheirOffsets) {
  FrameInput in = BaseInput();
  in.margins = {1.0, 2.0, 3.0, 4.0};  // left, right, top, bottom in cm: 50, 100, 150, 200 pixels
  const FrameLayout f = ComputeFrame(in);
  EXPECT_EQ(f.MarginLeft, 51);
  EXPECT_EQ(f.MarginRight, 102);
  EXPECT_EQ(f.MarginTop, 151);
  EXPECT_EQ(f.MarginBottom, 202);
  in.margins = {};
  const FrameLayout z = ComputeFrame(in);
  EXPECT_EQ(z.MarginLeft, 1);
  EXPECT_EQ(z.MarginRight, 2);
  EXPECT_EQ(z.MarginTop, 1);
  EXPECT_EQ(z.MarginBottom, 2);
}

TEST(RenderFrame, BaseScalePerFormatUnitAndTarget) {
  struct Case {
    PltFormat format;
    bool mils, pseudoInch;
    uint32_t multiplier;
    RenderTarget target;
    double scaleX, scaleY;
  };
  const Case cases[] = {
      {PltFormat::Plt45, false, true, 10, RenderTarget::Printer, 1.0, 2.0},
      {PltFormat::Plt45, false, true, 10, RenderTarget::Screen, 0.5, 0.5},
      {PltFormat::Plt45, true, false, 10, RenderTarget::Printer, 2.54, 5.08},
      {PltFormat::Plt45, true, true, 10, RenderTarget::Printer, 2.5, 5.0},
      {PltFormat::Plt45, true, true, 10, RenderTarget::Bitmap, 1.25, 1.25},
      {PltFormat::Plt85, false, true, 10, RenderTarget::Printer, 0.001, 0.002},
      {PltFormat::Plt85, true, false, 10, RenderTarget::Screen, 0.00127, 0.00127},
  };
  for (const auto& c : cases) {
    FrameInput in = BaseInput();
    in.printerDpiY = 508;
    in.format = c.format, in.mils = c.mils, in.pseudoInch = c.pseudoInch, in.unitMultiplier = c.multiplier;
    in.target = c.target;
    in.zoom = 1.0;
    const FrameLayout f = ComputeFrame(in);
    EXPECT_NEAR(f.place.ScaleX, c.scaleX, 1e-12);
    EXPECT_NEAR(f.place.ScaleY, c.scaleY, 1e-12);
  }
}

TEST(RenderFrame, FitTable) {
  struct Case {
    RenderTarget target;
    PlotBounds bounds;
    double zoomBefore;
    int32_t W, H;
    double zoom;
    const char* text;
  };
  // Screen area: left 61, right 558, top 39, bottom 1036 (497 x 997 pixels) at 0.5 px a unit.
  // Printer area: 994 x 1994 dots at 1 dot a unit.
  const Case cases[] = {
      {RenderTarget::Screen, {0, 994, 0, 997}, 1.0, 620, 1120, 1.0, "1,0000"},   // rx 1, ry 2
      {RenderTarget::Screen, {0, 1988, 0, 997}, 1.0, 620, 1120, 0.5, "0,5000"},  // rx 0.5
      {RenderTarget::Screen, {0, 1491, 0, 997}, 1.0, 620, 1120, 497 / 745.5, "0,6667"},
      {RenderTarget::Screen, {-5, 3, 10, 11}, 1.0, 620, 1120, 100.0, "100,0000"},  // held to 100
      {RenderTarget::Screen, {0, 0, 0, 1994}, 7.0, 620, 1120, 1.0, "1,0000"},      // x span 0 ignored
      {RenderTarget::Screen, {5, 5, 9, 9}, 3.25, 620, 1120, 3.25, "3,2500"},       // both ignored
      {RenderTarget::Screen, {0, 994, 0, 997}, 1.0, 125, 125, 0.0, "0,0000"},      // right < left
      {RenderTarget::Printer, {0, 994, 0, 997}, 1.0, 620, 1120, 1.0, "1,0000"},    // 994 / 994
      {RenderTarget::Printer, {0, 994, 0, 3988}, 1.0, 620, 1120, 0.5, "0,5000"},   // 1994 / 3988
  };
  for (const auto& c : cases) {
    FrameInput in = BaseInput();
    in.target = c.target;
    in.drawBounds = c.bounds;
    in.zoom = c.zoomBefore;
    in.windowWidth = c.W, in.windowHeight = c.H;
    in.fitPending = true;
    const FrameLayout f = ComputeFrame(in);
    SCOPED_TRACE(c.text);
    EXPECT_TRUE(f.Fitted);
    EXPECT_DOUBLE_EQ(f.Zoom, c.zoom);
    EXPECT_EQ(f.ZoomText, c.text);
    EXPECT_TRUE(std::isfinite(f.place.OffsetX) && std::isfinite(f.place.OffsetY));
  }
}

TEST(RenderFrame, FitUsesTheCommandLineWindowAndKeepsShifts) {
  FrameInput in = BaseInput();
  in.fitPending = true;
  in.viewWindowSet = true;
  in.viewWindow = {0, 1988, 0, 10};
  in.shiftX = 7, in.shiftY = -3;
  in.position = PagePosition::TopLeft;  // position items are not applied by a fit
  const FrameLayout f = ComputeFrame(in);
  EXPECT_DOUBLE_EQ(f.Zoom, 0.5);
  EXPECT_EQ(f.ShiftX, 7);
  EXPECT_EQ(f.ShiftY, -3);
  EXPECT_FALSE(ComputeFrame(BaseInput()).Fitted);
}

TEST(RenderFrame, ZeroSpansAndBadResolutionsStayFinite) {
  FrameInput in = BaseInput();
  in.printerDpiX = 0, in.printerDpiY = -600, in.pageWidth = 0, in.pageHeight = -1;
  in.fitPending = true;
  in.drawBounds = {3, 3, 4, 4};
  in.viewWindowSet = true;
  in.viewWindow = {1, 1, 2, 2};
  for (RenderTarget t : {RenderTarget::Screen, RenderTarget::Printer, RenderTarget::Bitmap}) {
    in.target = t;
    const FrameLayout f = ComputeFrame(in);
    EXPECT_TRUE(std::isfinite(f.PageScale));
    EXPECT_TRUE(std::isfinite(f.place.ScaleX) && std::isfinite(f.place.OffsetX) && std::isfinite(f.place.OffsetY));
    EXPECT_DOUBLE_EQ(f.Zoom, 1.0);
  }
  // A window without room for a page: PageScale 0 or below must not reach the printer's offsets.
  in = BaseInput();
  in.target = RenderTarget::Printer;
  in.fitPending = true;
  for (int32_t w : {120, 100}) {
    in.windowWidth = w;
    const FrameLayout f = ComputeFrame(in);
    EXPECT_TRUE(std::isfinite(f.place.OffsetX) && std::isfinite(f.place.OffsetY)) << w;
    EXPECT_TRUE(std::isfinite(f.Zoom)) << w;
  }
}

TEST(RenderFrame, DeviceCoordinatesRoundHalfToEvenAndClamp) {
  const std::pair<double, int32_t> cases[] = {{0.5, 0},
                                              {1.5, 2},
                                              {2.5, 2},
                                              {-0.5, 0},
                                              {-1.5, -2},
                                              {-2.5, -2},
                                              {2.4999, 2},
                                              {-2.5001, -3},
                                              {-0.2, 0},
                                              {5e8 + 0.5, 500000000},
                                              {1e300, kDeviceLimit},
                                              {-1e300, -kDeviceLimit},
                                              {INFINITY, kDeviceLimit},
                                              {std::nan(""), 0}};
  for (const auto& [in, out] : cases) EXPECT_EQ(ToDevice(in), out) << in;
}

// Position of a device point in preview pixels: printer dots go through the page rectangle.
double PreviewX(const FrameInput& in, const FrameLayout& f, double x) {
  return in.target == RenderTarget::Printer ? f.PageLeft + x * f.PageScale : x;
}
double PreviewY(const FrameInput& in, const FrameLayout& f, double y) {
  return in.target == RenderTarget::Printer ? f.PageTop + y * f.PageScale : y;
}

TEST(RenderFrame, PositionItemsPutTheExtentsOnTheMarginLines) {
  enum Col { L, C, R };
  enum Row { T, M, B };
  struct Item {
    PagePosition item;
    Col col;
    Row row;
  };
  const Item items[] = {
      {PagePosition::TopLeft, L, T},    {PagePosition::TopCentre, C, T},    {PagePosition::TopRight, R, T},
      {PagePosition::MiddleLeft, L, M}, {PagePosition::Centre, C, M},       {PagePosition::MiddleRight, R, M},
      {PagePosition::BottomLeft, L, B}, {PagePosition::BottomCentre, C, B}, {PagePosition::BottomRight, R, B}};
  for (RenderTarget target : {RenderTarget::Screen, RenderTarget::Printer}) {
    for (const auto& it : items) {
      FrameInput in = BaseInput();
      in.target = target;
      in.margins = {1.0, 1.5, 2.0, 0.5};
      in.drawBounds = {-101, 300, 17, 421};  // odd spans exercise the halves
      in.zoom = 0.75;
      in.shiftX = 33, in.shiftY = 44;  // replaced by the item
      in.position = it.item;
      const FrameLayout f = ComputeFrame(in);
      const DevicePoint lo = f.place.Point(in.drawBounds.MinX, in.drawBounds.MinY);
      const DevicePoint hi = f.place.Point(in.drawBounds.MaxX, in.drawBounds.MaxY);
      const double left = PreviewX(in, f, lo.x), right = PreviewX(in, f, hi.x);
      const double top = PreviewY(in, f, hi.y), bottom = PreviewY(in, f, lo.y);  // y points up in the file
      SCOPED_TRACE(testing::Message() << "target " << int(target) << " item " << int(it.item));
      const double tol = target == RenderTarget::Printer ? 1.0 + f.PageScale : 1.0;
      if (it.col == L) {
        EXPECT_NEAR(left, f.PageLeft + f.MarginLeft, tol);
      }
      if (it.col == R) {
        EXPECT_NEAR(right, f.PageRight - f.MarginRight, tol);
      }
      if (it.col == C) {
        EXPECT_EQ(f.ShiftX, 0);
        EXPECT_NEAR((left + right) / 2, 310 + (f.MarginLeft - f.MarginRight) / 2.0, tol);
      }
      if (it.row == T) {
        EXPECT_NEAR(top, f.PageTop + f.MarginTop, tol);
      }
      if (it.row == B) {
        EXPECT_NEAR(bottom, f.PageBottom - f.MarginBottom, tol);
      }
      if (it.row == M) {
        EXPECT_EQ(f.ShiftY, 0);
        EXPECT_NEAR((top + bottom) / 2, 560 - 22 + (f.MarginTop - f.MarginBottom) / 2.0, tol);
      }
    }
  }
}

TEST(RenderFrame, NoPositionItemKeepsThePan) {
  FrameInput in = BaseInput();
  in.shiftX = 12, in.shiftY = -8;
  const FrameLayout f = ComputeFrame(in);
  EXPECT_EQ(f.ShiftX, 12);
  EXPECT_EQ(f.ShiftY, -8);
  // Centre of the extents (497, 498) lands on the page centre moved by the shifts (margins 1/2).
  EXPECT_DOUBLE_EQ(f.place.OffsetX, 310 - 497 * 0.5 + 12 - 0.5);
  EXPECT_DOUBLE_EQ(f.place.OffsetY, 545 + 498 * 0.5 - 8 - 0.5 - 7);
}

TEST(RenderFrame, CentreItemMovesByHalfTheMarginDifference) {
  FrameInput in = BaseInput();
  in.position = PagePosition::Centre;
  for (RenderTarget t : {RenderTarget::Screen, RenderTarget::Printer}) {
    in.target = t;
    in.margins = {};
    const FrameLayout none = ComputeFrame(in);
    in.margins = {2.0, 0, 0, 0};  // 100 pixels more on the left
    const FrameLayout left = ComputeFrame(in);
    const double expected = t == RenderTarget::Printer ? 50 / none.PageScale : 50.0;
    EXPECT_DOUBLE_EQ(left.place.OffsetX - none.place.OffsetX, expected);
    EXPECT_DOUBLE_EQ(left.place.OffsetY, none.place.OffsetY);
  }
}

TEST(RenderFrame, MirroringFlipsAroundTheCentre) {
  FrameInput in = BaseInput();
  const FrameLayout plain = ComputeFrame(in);
  in.signX = -1;
  const FrameLayout mirrored = ComputeFrame(in);
  // Centre (497, 498) stays; the left edge goes where the right edge was.
  EXPECT_EQ(plain.place.Point(497, 498), mirrored.place.Point(497, 498));
  EXPECT_EQ(plain.place.Point(0, 0).x, mirrored.place.Point(994, 0).x);
}

TEST(RenderFrame, PreviewCallsInOrder) {
  FrameInput in = BaseInput();
  in.areaLeft = 0, in.areaTop = 40, in.areaWidth = 612, in.areaHeight = 1000;
  in.buttonFace = 0xC8D0D4;
  const FrameLayout f = ComputeFrame(in);
  RecordingCanvas c;
  DrawPagePreview(c, in, f);
  const std::vector<std::string> expected = {
      "FillRect 0 40 612 1040 pen 000000 1 solid brush c8d0d4 solid",
      "Rectangle 60 38 560 1038 pen 000000 0 solid brush ffffff solid",
      "Polyline 560 41 560 1038 62 1038 pen 000000 0 solid brush ffffff solid",
      "Polyline 561 41 561 1039 62 1039 pen 000000 0 solid brush ffffff solid",
      "MoveTo 61 38 pen 0000ff 0 dot brush ffffff solid",
      "LineTo 61 1038 pen 0000ff 0 dot brush ffffff solid",
      "MoveTo 60 1036 pen 0000ff 0 dot brush ffffff solid",
      "LineTo 560 1036 pen 0000ff 0 dot brush ffffff solid",
      "MoveTo 558 38 pen 0000ff 0 dot brush ffffff solid",
      "LineTo 558 1038 pen 0000ff 0 dot brush ffffff solid",
      "MoveTo 60 39 pen 0000ff 0 dot brush ffffff solid",
      "LineTo 560 39 pen 0000ff 0 dot brush ffffff solid",
  };
  EXPECT_EQ(c.Lines(), expected);
}

TEST(RenderFrame, NegativeGroundIsTheHeaderBoxInBlack) {
  FrameInput in = BaseInput();
  in.negative = true;
  in.headerX1 = 994, in.headerY1 = 997, in.headerX2 = 0, in.headerY2 = 0;  // any corner order
  const FrameLayout f = ComputeFrame(in);
  RecordingCanvas c;
  c.pen.style = PenStyle::Dot;
  DrawNegativeGround(c, in, f);
  ASSERT_EQ(c.Lines().size(), 1u);
  const DevicePoint a = f.place.Point(994, 997), b = f.place.Point(0, 0);
  EXPECT_EQ(c.Lines()[0], "Rectangle " + std::to_string(a.x) + " " + std::to_string(a.y) + " " + std::to_string(b.x) +
                              " " + std::to_string(b.y) + " pen 000000 1 solid brush 000000 solid");
  in.negative = false;
  RecordingCanvas none;
  DrawNegativeGround(none, in, f);
  EXPECT_TRUE(none.calls().empty());
}

TEST(RenderFrame, BitmapSizeAndCentre) {
  FrameInput in = BaseInput();
  in.target = RenderTarget::Bitmap;
  in.screenWidth = 800, in.screenHeight = 600;
  in.shiftX = 40, in.shiftY = 40;  // no part in the bitmap
  in.margins = {1.0, 0, 0, 0};
  const FrameLayout f = ComputeFrame(in);
  EXPECT_EQ(f.BitmapWidth, 497 + 800);   // round(994 * 0.5) + screen width
  EXPECT_EQ(f.BitmapHeight, 498 + 600);  // round(997 * 0.5) = 498 (half to even)
  const DevicePoint centre = f.place.Point(497, 498);
  EXPECT_NEAR(centre.x, 310 + (51 - 2) / 2.0 + 994 * 0.5 / 2, 0.5);
  EXPECT_NEAR(centre.y, 560 - 22 + (1 - 2) / 2.0 + 997 * 0.5 / 2, 0.5);

  // Reversed header corners give the same bitmap.
  in.headerX1 = 994, in.headerX2 = 0, in.headerY1 = 997, in.headerY2 = 0;
  const FrameLayout r = ComputeFrame(in);
  EXPECT_EQ(r.BitmapWidth, f.BitmapWidth);
  EXPECT_EQ(r.BitmapHeight, f.BitmapHeight);
  EXPECT_DOUBLE_EQ(r.place.OffsetX, f.place.OffsetX);

  // A huge zoom is refused instead of allocating the bitmap.
  in.zoom = 100;
  in.headerX1 = -32768, in.headerX2 = 32767;
  EXPECT_TRUE(ComputeFrame(in).BitmapTooLarge);
}

// A window more than twice the screen's size: the screen alone would leave the drawing's right and
// lower part outside the bitmap, so the padding grows to the page centre of the window.
TEST(RenderFrame, BitmapPaddingKeepsTheDrawingInside) {
  FrameInput in = BaseInput();
  in.target = RenderTarget::Bitmap;
  in.screenWidth = 200, in.screenHeight = 200;
  in.margins = {1.0, 0, 0, 0};  // MarginLeft 51, MarginRight 2, MarginTop 1, MarginBottom 2
  const FrameLayout f = ComputeFrame(in);
  EXPECT_EQ(f.BitmapWidth, 497 + 335);   // 310 + (51 - 2) / 2 = 334.5, rounded up
  EXPECT_EQ(f.BitmapHeight, 498 + 538);  // 560 - 22 + (1 - 2) / 2 = 537.5, rounded up
  const DevicePoint lo = f.place.Point(0, 997), hi = f.place.Point(994, 0);
  EXPECT_GE(lo.x, 0);
  EXPECT_GE(lo.y, 0);
  EXPECT_LE(hi.x, f.BitmapWidth);
  EXPECT_LE(hi.y, f.BitmapHeight);
}

// The rule replaces the last three characters of the file name only: the bitmap always lands in
// the plot's own folder, whatever dots the folder holds or how short the name is.
TEST(RenderFrame, ZoomTextTable) {
  const std::tuple<double, char, const char*> cases[] = {
      {1.0, ',', "1,0000"},   {3.25, '.', "3.2500"},    {0.5, '.', "0.5000"},
      {100, ',', "100,0000"}, {0.00004, ',', "0,0000"}, {2.71828, '.', "2.7183"},
  };
  for (const auto& [zoom, sep, text] : cases) EXPECT_EQ(FormatZoom(zoom, sep), text) << zoom;
}

TEST(RenderFrame, BitmapFileNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"/plots/board.plt", "/plots/board.bmp"},
      {"/plots/x.pl", "/plots/xbmp"},
      {"/plots/board.kir", "/plots/board.bmp"},
      {"/plots/board.bmp", ""},  // would overwrite the plot itself
      {"/plots/BOARD.BMP", ""},
      {"/plots/sub/ab", "/plots/sub/bmp"},  // not "/plots/subbmp", outside the folder
      {"sub/ab", "sub/bmp"},
      {"/plots/x.", "/plots/bmp"},
      {"/plots/noextension", "/plots/noextensbmp"},
      {"/plots/v1.2/plain", "/plots/v1.2/plbmp"},
      {"/plots/v1.2/board.plt", "/plots/v1.2/board.bmp"},
      {"ab", "bmp"},
      {"/plots/", ""},
  };
  for (const auto& [plot, bmp] : cases) EXPECT_EQ(BitmapFileName(plot), bmp) << plot;
}

}  // namespace
}  // namespace quarto
