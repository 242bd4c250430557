#include "core/render_pass.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "core/numeric.h"
#include "core/plt_walk.h"

namespace quarto {

void SetLayerColor(PassContext& ctx, int layer, bool withFont) {
  Color c = ctx.in.layers.colors[static_cast<size_t>(layer - 1)];
  if (!ctx.in.colour) c = kBlack;
  if (ctx.in.negative) c = kWhite;
  ctx.canvas.pen.color = c;
  ctx.canvas.brush.color = c;
  if (withFont) ctx.canvas.fontColor = c;
}

void SetPenWidth(PassContext& ctx, double width) {
  int64_t w = RoundHalfEven(width * ctx.place.ScaleX);
  if (ctx.in.toPrinter && w < ctx.in.printerMinPenWidth) w = ctx.in.printerMinPenWidth;
  w = std::clamp<int64_t>(w, 0, kMaxPenWidth);
  ctx.canvas.pen.width = static_cast<int32_t>(w);
}

void SetPenStyle(Canvas& canvas, uint32_t code) {
  if (code == 0) canvas.pen.style = PenStyle::Solid;
  if (code == 1) canvas.pen.style = PenStyle::Dot;
  if (code == 2) canvas.pen.style = PenStyle::Dash;
}

DevicePoint ArcEndPoint(const Placement& pl, int32_t cx, int32_t cy, uint32_t r, uint32_t angle) {
  int sx = 1, sy = 1;
  double a = angle;
  if (a > 90 && a <= 180) {
    sx = -1;
    a = 180 - a;
  } else if (a > 180 && a <= 270) {
    sx = -1, sy = -1;
    a -= 180;
  } else if (a > 270 && a <= 360) {
    sy = -1;
    a = 360 - a;
  }
  const double rad = a * std::numbers::pi / 180.0;
  const DevicePoint centre = pl.Point(cx, cy);
  const int64_t dx = RoundHalfEven(std::cos(rad) * r * pl.ScaleX);
  const int64_t dy = RoundHalfEven(std::sin(rad) * r * pl.ScaleY);
  return {ToDevice(double(sx * dx + centre.x)), ToDevice(double(sy * dy + centre.y))};
}

namespace {

// Records of one kind on one layer, each from a seek to its body; a body that cannot be read
// (a position past the end of the file included) ends that record and counts as a read problem.
template <class Fn>
void ForEachRecord(PassContext& ctx, int kind, int layer, Fn&& draw) {
  if (!ctx.in.positions) return;
  for (uint64_t pos : ctx.in.positions(kind, layer)) {
    ctx.file.Seek(pos);
    if (!draw()) ctx.readProblem = true;
  }
}

// The layers of the passes: from the last LayerOrder entry to the first.
template <class Fn>
void ForEachLayer(PassContext& ctx, Fn&& fn) {
  const auto& ls = ctx.in.layers;
  for (int i = std::min(ls.orderCount, kLayerCount); i >= 1; --i) {
    const int layer = ls.order[static_cast<size_t>(i - 1)];
    if (layer >= 1 && layer <= kLayerCount) fn(layer);
  }
}

// Polygon sink of the drawing pass: the outline filled in the layer colour with the chosen fill
// style once it is complete, then every contour and hole in file order with the cut-out brush and
// the polygon's pen. A boundary that the data cuts short is never drawn.
struct PolygonDrawSink {
  PassContext& ctx;
  uint16_t width;
  void Point(PolygonPart, int32_t x, int32_t y) { ctx.points.push_back(ctx.place.Point(x, y)); }
  void EndBoundary(PolygonPart part) {
    Canvas& c = ctx.canvas;
    if (part == PolygonPart::Outline) {
      SetPenWidth(ctx, width);
      if (ctx.in.fillStyle >= 0 && ctx.in.fillStyle <= static_cast<int>(BrushStyle::Vertical))
        c.brush.style = static_cast<BrushStyle>(ctx.in.fillStyle);
      c.Polygon(ctx.points);
      c.brush = {ctx.in.negative ? kBlack : kWhite, BrushStyle::Solid};
    } else {
      c.Polygon(ctx.points);
    }
    ctx.points.clear();
  }
  void Hole(const HoleBody& h) {
    const DevicePoint a = ctx.place.Point(int64_t{h.Cx} - h.R, int64_t{h.Cy} - h.R);
    const DevicePoint b = ctx.place.Point(int64_t{h.Cx} + h.R, int64_t{h.Cy} + h.R);
    ctx.canvas.Ellipse(a.x, a.y, b.x, b.y);
  }
};

// One polygon record from its head, walked exactly as the scan walks it. False when the data ends
// inside the polygon; what was complete by then is drawn.
template <class F>
bool DrawPolygon(PassContext& ctx) {
  uint8_t head[F::kPolygonHead];
  if (!ctx.file.Read(head, F::kPolygonHead)) return false;
  ctx.points.clear();
  PolygonDrawSink sink{ctx, F::DecodePolygonWidth(head)};
  return WalkPolygonBody<F>(ctx.file, sink);
}

template <class F>
void DrawPolygons(PassContext& ctx) {
  ForEachLayer(ctx, [&](int layer) {
    ctx.canvas.pen.style = PenStyle::Solid;
    ForEachRecord(ctx, KindPolygon, layer, [&] {
      SetLayerColor(ctx, layer, false);
      const bool complete = DrawPolygon<F>(ctx);
      ctx.points.clear();
      // A polygon cut short still leaves the canvas with the solid brush it ends with.
      ctx.canvas.brush.style = BrushStyle::Solid;
      return complete;
    });
  });
}

template <class F>
bool ReadFixedBody(PassContext& ctx, int kind, uint8_t* body) {
  return ctx.file.Read(body, F::kFixedBody[static_cast<size_t>(kind)]);
}

template <class F>
void DrawPrimitives(PassContext& ctx) {
  Canvas& c = ctx.canvas;
  const Placement& pl = ctx.place;
  uint8_t body[28];
  ForEachLayer(ctx, [&](int layer) {
    SetLayerColor(ctx, layer, true);

    ForEachRecord(ctx, KindLine, layer, [&] {
      if (!ReadFixedBody<F>(ctx, KindLine, body)) return false;
      const LineBody b = F::DecodeLine(body);
      SetPenWidth(ctx, b.Width);
      SetPenStyle(c, b.Style);
      const DevicePoint p1 = pl.Point(b.X1, b.Y1), p2 = pl.Point(b.X2, b.Y2);
      c.MoveTo(p1.x, p1.y);
      c.LineTo(p2.x, p2.y);
      if constexpr (F::kFormat == PltFormat::Plt45) {
        return ReadLineVertices45(ctx.file, static_cast<uint16_t>(b.X2), [&](int32_t x, int32_t y) {
          const DevicePoint p = pl.Point(x, y);
          c.LineTo(p.x, p.y);
        });
      }
      return true;
    });

    ForEachRecord(ctx, KindRect, layer, [&] {
      if (!ReadFixedBody<F>(ctx, KindRect, body)) return false;
      const LineBody b = F::DecodeLine(body);
      const DevicePoint a = pl.Point(b.X1, b.Y1), e = pl.Point(b.X2, b.Y2);
      SetPenWidth(ctx, b.Width);
      SetPenStyle(c, b.Style);
      const DevicePoint outline[] = {{a.x, a.y}, {e.x, a.y}, {e.x, e.y}, {a.x, e.y}, {a.x, a.y}};
      c.Polyline(outline);
      return true;
    });

    ForEachRecord(ctx, KindBar, layer, [&] {
      if (!ReadFixedBody<F>(ctx, KindBar, body)) return false;
      const BarBody b = F::DecodeBar(body);
      const DevicePoint a = pl.Point(b.X1, b.Y1), e = pl.Point(b.X2, b.Y2);
      c.pen.width = 0;
      c.pen.style = PenStyle::Solid;
      c.Rectangle(a.x, a.y, e.x, e.y);
      return true;
    });

    ForEachRecord(ctx, KindCircle, layer, [&] {
      if (!ReadFixedBody<F>(ctx, KindCircle, body)) return false;
      const CircleBody b = F::DecodeCircle(body);
      const DevicePoint a = pl.Point(int64_t{b.Cx} - b.R, int64_t{b.Cy} - b.R);
      const DevicePoint e = pl.Point(int64_t{b.Cx} + b.R, int64_t{b.Cy} + b.R);
      SetPenWidth(ctx, b.Width);
      SetPenStyle(c, b.Style);
      if constexpr (F::kFormat == PltFormat::Plt45) {
        // Start and end keep their order whatever the mirroring.
        const DevicePoint s = ArcEndPoint(pl, b.Cx, b.Cy, b.R, b.StartAngle);
        const DevicePoint t = ArcEndPoint(pl, b.Cx, b.Cy, b.R, b.EndAngle);
        c.Arc(a.x, a.y, e.x, e.y, s.x, s.y, t.x, t.y);
      } else {
        // A full circle filled white in every mode; the brush stays white for the layer.
        c.brush.color = kWhite;
        c.Ellipse(a.x, a.y, e.x, e.y);
      }
      return true;
    });

    ForEachRecord(ctx, KindArc, layer, [&] {
      if (!ReadFixedBody<F>(ctx, KindArc, body)) return false;
      const ArcBody b = F::DecodeArc(body);
      const int64_t dx = int64_t{b.Cx} - b.Xs, dy = int64_t{b.Cy} - b.Ys;
      DevicePoint a, e;
      if constexpr (F::kFormat == PltFormat::Plt45) {
        // Radius in file units, from 64-bit squares (no overflow far from the centre).
        const int64_t r = RoundHalfEven(std::sqrt(double(dx * dx + dy * dy)));
        a = pl.Point(b.Cx - r, b.Cy - r);
        e = pl.Point(b.Cx + r, b.Cy + r);
      } else {
        // Radius in device units, from the scaled differences.
        const double ax = dx * pl.ScaleX, ay = dy * pl.ScaleY;
        const double R = double(RoundHalfEven(std::sqrt(ax * ax + ay * ay)));
        const double ccx = b.Cx * pl.ScaleX, ccy = b.Cy * pl.ScaleY;
        a = {ToDevice((ccx - R) * pl.SignX + pl.OffsetX), ToDevice((ccy - R) * pl.SignY + pl.OffsetY)};
        e = {ToDevice((ccx + R) * pl.SignX + pl.OffsetX), ToDevice((ccy + R) * pl.SignY + pl.OffsetY)};
      }
      DevicePoint s = pl.Point(b.Xs, b.Ys), t = pl.Point(b.Xe, b.Ye);
      if (pl.SignX == pl.SignY) std::swap(s, t);
      SetPenWidth(ctx, b.Width);
      SetPenStyle(c, b.Style);
      c.Arc(a.x, a.y, e.x, e.y, s.x, s.y, t.x, t.y);
      return true;
    });

    // Texts last; they draw themselves through the text hook.
    if (ctx.in.texts) {
      ForEachRecord(ctx, KindText, layer, [&] {
        ctx.in.texts->DrawText(ctx, F::kFormat);
        return true;
      });
    }
  });
}

}  // namespace

void DrawPolygons45(PassContext& ctx) { DrawPolygons<Plt45>(ctx); }
void DrawPolygons85(PassContext& ctx) { DrawPolygons<Plt85>(ctx); }
void DrawPrimitives45(PassContext& ctx) { DrawPrimitives<Plt45>(ctx); }
void DrawPrimitives85(PassContext& ctx) { DrawPrimitives<Plt85>(ctx); }

namespace {

template <class F>
RenderOutcome DrawPlotOf(Canvas& target, const FrameInput& in, const FrameLayout& layout, const PassInput& pass,
                         const std::string& plotFileName) {
  RenderOutcome out;
  // The frame's view settings are the ones in force for the passes too.
  PassInput passIn = pass;
  passIn.colour = in.colour;
  passIn.negative = in.negative;
  passIn.toPrinter = in.target == RenderTarget::Printer;
  if (in.target == RenderTarget::Screen) DrawPagePreview(target, in, layout);
  if (in.target == RenderTarget::Bitmap) {
    target.brush = {kWhite, BrushStyle::Solid};
    target.pen.color = kBlack;
    target.FillRect(0, 0, layout.BitmapWidth, layout.BitmapHeight);
  }
  auto fail = [&out](const PlotIoError& e) {
    const bool open = e.kind() == PlotIoError::Kind::NotFound || e.kind() == PlotIoError::Kind::AccessDenied;
    out.problem = open ? RenderOutcome::Problem::Open : RenderOutcome::Problem::Read;
    out.cause = e.kind();
    out.message = e.what();
  };
  std::optional<PlotReader> file;
  try {
    file.emplace(PlotReader::OpenFile(plotFileName));
  } catch (const PlotIoError& e) {
    fail(e);
  }
  // A file gone or rewritten since the scan: its record positions point into other data.
  if (pass.scannedStamp && (file ? file->Stamp() != *pass.scannedStamp : out.cause == PlotIoError::Kind::NotFound)) {
    out = {RenderOutcome::Problem::Changed, std::nullopt, {}, file ? std::optional(file->Stamp()) : std::nullopt};
    return out;
  }
  DrawNegativeGround(target, in, layout);
  if (!file) return out;
  try {
    PassContext ctx{target, *file, layout.place, passIn, false, {}};
    DrawPolygons<F>(ctx);
    DrawPrimitives<F>(ctx);
    if (ctx.readProblem) {
      out.problem = RenderOutcome::Problem::Read;
      out.cause = PlotIoError::Kind::ShortFile;
      out.message = kTextReadBeyondEnd;
    }
  } catch (const PlotIoError& e) {
    fail(e);
  }
  return out;
}

}  // namespace

RenderOutcome DrawPlot45(Canvas& target, const FrameInput& in, const FrameLayout& layout, const PassInput& pass,
                         const std::string& plotFileName) {
  return DrawPlotOf<Plt45>(target, in, layout, pass, plotFileName);
}

RenderOutcome DrawPlot85(Canvas& target, const FrameInput& in, const FrameLayout& layout, const PassInput& pass,
                         const std::string& plotFileName) {
  return DrawPlotOf<Plt85>(target, in, layout, pass, plotFileName);
}

RenderOutcome DrawPlot(Canvas& target, const FrameInput& in, const FrameLayout& layout, const PassInput& pass,
                       const std::string& plotFileName) {
  return in.format == PltFormat::Plt45 ? DrawPlot45(target, in, layout, pass, plotFileName)
                                       : DrawPlot85(target, in, layout, pass, plotFileName);
}

}  // namespace quarto
