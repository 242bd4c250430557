#include "core/render_frame.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/numeric.h"

namespace quarto {

void SetFrameHeader(FrameInput& in, const Plot45Header& h) {
  in.format = PltFormat::Plt45;
  in.headerX1 = h.X1, in.headerY1 = h.Y1, in.headerX2 = h.X2, in.headerY2 = h.Y2;
  in.mils = Plt45::Unit(h) == PlotUnit::Mils;
  in.unitMultiplier = h.Multiplier;
}

void SetFrameHeader(FrameInput& in, const Plot85Header& h) {
  in.format = PltFormat::Plt85;
  in.headerX1 = h.X1, in.headerY1 = h.Y1, in.headerX2 = h.X2, in.headerY2 = h.Y2;
  in.mils = Plt85::Unit(h) == PlotUnit::Mils;
  in.unitMultiplier = 1;
}

std::string FormatZoom(double zoom, char separator) {
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, zoom, std::chars_format::fixed, 4);
  std::string text(buf, res.ptr);
  std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

namespace {

int32_t PositiveOr(int32_t v, int32_t fallback) { return v > 0 ? v : fallback; }

// Base scale before zoom: device units per file unit at the given resolution.
double BaseScale(const FrameInput& in, int32_t dpi) {
  double b;
  if (in.format == PltFormat::Plt45)
    b = static_cast<double>(int64_t{in.unitMultiplier} * dpi) / 2540.0;
  else
    b = dpi / 254000.0;
  if (in.mils) b *= in.pseudoInch ? 2.5 : 2.54;
  return b;
}

bool InTopRow(PagePosition p) {
  return p == PagePosition::TopLeft || p == PagePosition::TopCentre || p == PagePosition::TopRight;
}
bool InMiddleRow(PagePosition p) {
  return p == PagePosition::MiddleLeft || p == PagePosition::Centre || p == PagePosition::MiddleRight;
}
bool InBottomRow(PagePosition p) {
  return p == PagePosition::BottomLeft || p == PagePosition::BottomCentre || p == PagePosition::BottomRight;
}
bool InLeftColumn(PagePosition p) {
  return p == PagePosition::TopLeft || p == PagePosition::MiddleLeft || p == PagePosition::BottomLeft;
}
bool InCentreColumn(PagePosition p) {
  return p == PagePosition::TopCentre || p == PagePosition::Centre || p == PagePosition::BottomCentre;
}
bool InRightColumn(PagePosition p) {
  return p == PagePosition::TopRight || p == PagePosition::MiddleRight || p == PagePosition::BottomRight;
}

int32_t ClampShift(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, -kDeviceLimit, kDeviceLimit)); }

}  // namespace

FrameLayout ComputeFrame(const FrameInput& in) {
  FrameLayout out;
  const bool toPrinter = in.target == RenderTarget::Printer;
  const int64_t W = in.windowWidth, H = in.windowHeight;
  const double PW = PositiveOr(in.pageWidth, kFallbackPageWidth);
  const double PH = PositiveOr(in.pageHeight, kFallbackPageHeight);
  const int32_t dpiX = PositiveOr(in.printerDpiX, kFallbackDpi);
  const int32_t dpiY = PositiveOr(in.printerDpiY, kFallbackDpi);

  // Page scale and the page rectangle (centre at W div 2, H div 2 - kPageCentreRise).
  const double ps = (double(H) / PH > double(W) / PW) ? (W - kPreviewBorder) / PW : (H - kPreviewBorder) / PH;
  out.PageScale = ps;
  // The printer target turns preview pixels back into dots; a window too small for any page
  // (W or H at most kPreviewBorder) gives no scale for that, and the preview pixels count as dots.
  const double psPrinter = ps > 0 ? ps : 1.0;
  const double cxw = double(W / 2), cyw = double(H / 2 - kClientCentreRise);
  out.PageLeft = ToDevice(cxw - PW * ps / 2);
  out.PageRight = ToDevice(cxw + PW * ps / 2);
  out.PageTop = ToDevice(cyw - PH * ps / 2) - kPageRise;
  out.PageBottom = ToDevice(cyw + PH * ps / 2) - kPageRise;

  // Margins in preview pixels.
  out.MarginLeft = ToDevice(dpiX * in.margins.left / 2.54 * ps) + 1;
  out.MarginRight = ToDevice(dpiX * in.margins.right / 2.54 * ps) + 2;
  out.MarginBottom = ToDevice(dpiY * in.margins.bottom / 2.54 * ps) + 2;
  out.MarginTop = ToDevice(dpiY * in.margins.top / 2.54 * ps) + 1;

  // Base scale.
  double scaleX, scaleY;
  if (toPrinter) {
    scaleX = BaseScale(in, dpiX);
    scaleY = BaseScale(in, dpiY);
  } else {
    scaleX = scaleY = BaseScale(in, dpiX) * ps;
  }

  // Extents.
  int64_t x1, x2, y1, y2;
  if (in.viewWindowSet) {
    x1 = in.viewWindow.x1, x2 = in.viewWindow.x2, y1 = in.viewWindow.y1, y2 = in.viewWindow.y2;
  } else {
    x1 = in.drawBounds.MinX, x2 = in.drawBounds.MaxX, y1 = in.drawBounds.MinY, y2 = in.drawBounds.MaxY;
  }
  const int64_t hx = (x2 - x1) / 2, hy = (y2 - y1) / 2;
  const int64_t cx = x1 + hx, cy = y1 + hy;

  int64_t mLeft = out.MarginLeft, mRight = out.MarginRight, mTop = out.MarginTop, mBottom = out.MarginBottom;
  out.Zoom = in.zoom;
  out.ShiftX = in.shiftX;
  out.ShiftY = in.shiftY;
  if (in.fitPending) {
    double left, top, right, bottom;
    if (toPrinter) {
      left = 0, top = 0;
      right = ToDevice(PW - (mLeft + mRight) / psPrinter);
      bottom = ToDevice(PH - (mTop + mBottom) / psPrinter);
    } else {
      left = double(out.PageLeft + mLeft), right = double(out.PageRight - mRight);
      top = double(out.PageTop + mTop), bottom = double(out.PageBottom - mBottom);
    }
    // An axis whose span is not positive gives no ratio; with neither, the zoom stays.
    const bool useX = x2 - x1 > 0, useY = y2 - y1 > 0;
    const double rx = useX ? (right - left) / (double(x2 - x1) * scaleX) : 0;
    const double ry = useY ? (bottom - top) / (double(y2 - y1) * scaleY) : 0;
    double zoom = in.zoom;
    if (useX && useY)
      zoom = std::min(rx, ry);
    else if (useX)
      zoom = rx;
    else if (useY)
      zoom = ry;
    if (zoom > 100) zoom = 100;
    if (!(zoom >= 0)) zoom = 0;
    out.Zoom = zoom;
    out.Fitted = true;
    out.ZoomText = FormatZoom(zoom, in.zoomSeparator);
    scaleX *= zoom;
    scaleY *= zoom;
  } else {
    scaleX *= in.zoom;
    scaleY *= in.zoom;
    const double s = toPrinter ? ps : 1.0;
    const PagePosition p = in.position;
    const int64_t halfX = RoundHalfEven(double(hx) * scaleX * s);
    const int64_t halfY = RoundHalfEven(double(hy) * scaleY * s);
    if (InTopRow(p)) {
      out.ShiftY = ClampShift(out.PageTop + mTop - H / 2 + kPageCentreRise + halfY);
      mTop = mBottom = 0;
    }
    if (InLeftColumn(p)) {
      out.ShiftX = ClampShift(out.PageLeft + mLeft - W / 2 + halfX);
      mLeft = mRight = 0;
    }
    if (InCentreColumn(p)) out.ShiftX = 0;
    if (InRightColumn(p)) {
      out.ShiftX = ClampShift(out.PageRight - mRight - W / 2 - halfX);
      mLeft = mRight = 0;
    }
    if (InMiddleRow(p)) out.ShiftY = 0;
    if (InBottomRow(p)) {
      out.ShiftY = ClampShift(out.PageBottom - mBottom - H / 2 + kPageCentreRise - halfY);
      mTop = mBottom = 0;
    }
  }

  // Offsets: the centre of the extents on the centre of the printable area, moved by the shifts.
  Placement& pl = out.place;
  pl.ScaleX = scaleX;
  pl.ScaleY = scaleY;
  pl.SignX = in.signX;
  pl.SignY = in.signY;
  if (toPrinter) {
    pl.OffsetX =
        PW / 2 - double(in.signX * cx) * scaleX + out.ShiftX / psPrinter + double(mLeft - mRight) / (2 * psPrinter);
    pl.OffsetY =
        PH / 2 - double(in.signY * cy) * scaleY + out.ShiftY / psPrinter + double(mTop - mBottom) / (2 * psPrinter);
  } else {
    pl.OffsetX = double(W / 2) - double(in.signX * cx) * scaleX + out.ShiftX + double(mLeft - mRight) / 2;
    pl.OffsetY = double(H / 2 - kClientCentreRise) - double(in.signY * cy) * scaleY + out.ShiftY +
                 double(mTop - mBottom) / 2 - kPageRise;
  }

  if (in.target == RenderTarget::Bitmap) {
    // The header box at the drawing's scale plus a screen on each axis; the shifts play no part.
    // Spans are taken absolute so corners in any order give the same bitmap. The drawing starts
    // where the page's printable area is centred on the window, so a window more than twice the
    // screen's size would push it out: there the padding grows to that position.
    const double spanX = std::fabs(double(int64_t{in.headerX2} - in.headerX1) * scaleX);
    const double spanY = std::fabs(double(int64_t{in.headerY2} - in.headerY1) * scaleY);
    const auto needX = static_cast<int64_t>(std::ceil(double(W / 2) + double(mLeft - mRight) / 2));
    const auto needY = static_cast<int64_t>(std::ceil(double(H / 2 - kPageCentreRise) + double(mTop - mBottom) / 2));
    const int64_t w = RoundHalfEven(spanX) + std::max<int64_t>({0, in.screenWidth, needX});
    const int64_t h = RoundHalfEven(spanY) + std::max<int64_t>({0, in.screenHeight, needY});
    if (w < 1 || h < 1 || w > kMaxBitmapSide || h > kMaxBitmapSide || w * h > kMaxBitmapPixels) {
      out.BitmapTooLarge = true;
    } else {
      out.BitmapWidth = static_cast<int32_t>(w);
      out.BitmapHeight = static_cast<int32_t>(h);
    }
    pl.OffsetX += -out.ShiftX + spanX / 2;
    pl.OffsetY += -out.ShiftY + spanY / 2;
  }
  return out;
}

void CentreDrawingArea(FrameInput& in, int32_t width, int32_t height) {
  in.areaWidth = width;
  in.areaHeight = height;
  in.areaLeft = in.windowWidth / 2 - width / 2;
  in.areaTop = in.windowHeight / 2 - kPageCentreRise - height / 2;
}

void DrawPagePreview(Canvas& c, const FrameInput& in, const FrameLayout& f) {
  c.brush = {in.buttonFace, BrushStyle::Solid};
  c.pen.color = kBlack;
  c.FillRect(in.areaLeft, in.areaTop, in.areaLeft + in.areaWidth, in.areaTop + in.areaHeight);

  c.brush = {kWhite, BrushStyle::Solid};
  c.pen = {kBlack, 0, PenStyle::Solid};
  c.Rectangle(f.PageLeft, f.PageTop, f.PageRight, f.PageBottom);

  const DevicePoint shadow1[] = {
      {f.PageRight, f.PageTop + 3}, {f.PageRight, f.PageBottom}, {f.PageLeft + 2, f.PageBottom}};
  const DevicePoint shadow2[] = {
      {f.PageRight + 1, f.PageTop + 3}, {f.PageRight + 1, f.PageBottom + 1}, {f.PageLeft + 2, f.PageBottom + 1}};
  c.Polyline(shadow1);
  c.Polyline(shadow2);

  c.pen.style = PenStyle::Dot;
  c.pen.color = kRed;
  c.MoveTo(f.PageLeft + f.MarginLeft, f.PageTop);
  c.LineTo(f.PageLeft + f.MarginLeft, f.PageBottom);
  c.MoveTo(f.PageLeft, f.PageBottom - f.MarginBottom);
  c.LineTo(f.PageRight, f.PageBottom - f.MarginBottom);
  c.MoveTo(f.PageRight - f.MarginRight, f.PageTop);
  c.LineTo(f.PageRight - f.MarginRight, f.PageBottom);
  c.MoveTo(f.PageLeft, f.PageTop + f.MarginTop);
  c.LineTo(f.PageRight, f.PageTop + f.MarginTop);
}

void DrawNegativeGround(Canvas& c, const FrameInput& in, const FrameLayout& f) {
  if (!in.negative) return;
  c.pen.style = PenStyle::Solid;
  c.brush = {kBlack, BrushStyle::Solid};
  c.pen.color = kBlack;
  const DevicePoint a = f.place.Point(in.headerX1, in.headerY1);
  const DevicePoint b = f.place.Point(in.headerX2, in.headerY2);
  c.Rectangle(a.x, a.y, b.x, b.y);
}

std::string BitmapFileName(const std::string& plot) {
  // The rule works on the file name alone, so the bitmap stays in the plot's folder.
  const size_t slash = plot.find_last_of('/');
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  const std::string name = plot.substr(start);
  if (name.empty()) return {};
  auto lower = [](char ch) { return static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch); };
  if (name.size() >= 3) {
    const std::string tail = name.substr(name.size() - 3);
    if (lower(tail[0]) == 'b' && lower(tail[1]) == 'm' && lower(tail[2]) == 'p') return {};
  }
  // A name of fewer than three characters is replaced whole.
  const size_t keep = name.size() >= 3 ? name.size() - 3 : 0;
  return plot.substr(0, start) + name.substr(0, keep) + "bmp";
}

}  // namespace quarto
