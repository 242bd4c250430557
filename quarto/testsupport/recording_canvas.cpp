#include "testsupport/recording_canvas.h"

#include <cstdio>

namespace quarto {

namespace {

const char* OpName(RecordingCanvas::Op op) {
  switch (op) {
    case RecordingCanvas::Op::MoveTo: return "MoveTo";
    case RecordingCanvas::Op::LineTo: return "LineTo";
    case RecordingCanvas::Op::Polyline: return "Polyline";
    case RecordingCanvas::Op::Polygon: return "Polygon";
    case RecordingCanvas::Op::Rectangle: return "Rectangle";
    case RecordingCanvas::Op::Ellipse: return "Ellipse";
    case RecordingCanvas::Op::Arc: return "Arc";
    case RecordingCanvas::Op::FillRect: return "FillRect";
    case RecordingCanvas::Op::SetFont: return "SetFont";
    case RecordingCanvas::Op::TextOut: return "TextOut";
  }
  return "?";
}

const char* PenStyleName(PenStyle s) {
  switch (s) {
    case PenStyle::Solid: return "solid";
    case PenStyle::Dot: return "dot";
    case PenStyle::Dash: return "dash";
  }
  return "?";
}

const char* CharSetName(CharSet c) {
  switch (c) {
    case CharSet::Ansi: return "ansi";
    case CharSet::Oem: return "oem";
    case CharSet::Default: return "default";
  }
  return "?";
}

const char* BrushStyleName(BrushStyle s) {
  static const char* const names[] = {"solid", "bdiag", "fdiag", "cross", "diagcross", "horz", "vert"};
  return names[static_cast<int>(s)];
}

std::vector<DevicePoint> Unflatten(const std::vector<int32_t>& a) {
  std::vector<DevicePoint> pts;
  for (size_t i = 0; i + 1 < a.size(); i += 2) pts.push_back({a[i], a[i + 1]});
  return pts;
}

}  // namespace

void RecordingCanvas::Add(Op op, std::vector<int32_t> args) {
  calls_.push_back({op, std::move(args), pen, brush, {}, {}, fontColor});
}

std::vector<int32_t> RecordingCanvas::Flatten(std::span<const DevicePoint> points) {
  std::vector<int32_t> a;
  a.reserve(points.size() * 2);
  for (const auto& p : points) {
    a.push_back(p.x);
    a.push_back(p.y);
  }
  return a;
}

void RecordingCanvas::OnMoveTo(DevicePoint p) { Add(Op::MoveTo, {p.x, p.y}); }
void RecordingCanvas::DrawLine(DevicePoint, DevicePoint to) { Add(Op::LineTo, {to.x, to.y}); }
void RecordingCanvas::OnSetFont(const Font& f) { calls_.push_back({Op::SetFont, {}, pen, brush, f, {}, fontColor}); }
void RecordingCanvas::TextOut(int32_t x, int32_t y, std::string_view text) {
  calls_.push_back({Op::TextOut, {x, y}, pen, brush, font(), std::string(text), fontColor});
}
void RecordingCanvas::Polyline(std::span<const DevicePoint> points) { Add(Op::Polyline, Flatten(points)); }
void RecordingCanvas::Polygon(std::span<const DevicePoint> points) { Add(Op::Polygon, Flatten(points)); }
void RecordingCanvas::Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) { Add(Op::Rectangle, {l, t, r, b}); }
void RecordingCanvas::Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) { Add(Op::Ellipse, {l, t, r, b}); }
void RecordingCanvas::Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) {
  Add(Op::Arc, {l, t, r, b, xs, ys, xe, ye});
}
void RecordingCanvas::FillRect(int32_t l, int32_t t, int32_t r, int32_t b) { Add(Op::FillRect, {l, t, r, b}); }

std::string RecordingCanvas::Format(const Call& c, bool withState) {
  std::string s = OpName(c.op);
  if (c.op == Op::SetFont) {
    return s + " " + c.font.face + " " + std::to_string(c.font.height) + " " + std::to_string(c.font.escapement) + " " +
           CharSetName(c.font.charSet);
  }
  for (int32_t v : c.args) s += " " + std::to_string(v);
  if (c.op == Op::TextOut) {
    s += " " + c.text;
    if (withState) {
      char buf[24];
      std::snprintf(buf, sizeof buf, " font %06x", static_cast<unsigned>(c.fontColor));
      s += buf;
    }
    return s;
  }
  if (withState) {
    char buf[96];
    std::snprintf(buf, sizeof buf, " pen %06x %d %s brush %06x %s", static_cast<unsigned>(c.pen.color),
                  static_cast<int>(c.pen.width), PenStyleName(c.pen.style), static_cast<unsigned>(c.brush.color),
                  BrushStyleName(c.brush.style));
    s += buf;
  }
  return s;
}

std::vector<std::string> RecordingCanvas::Lines(bool withState) const {
  std::vector<std::string> out;
  out.reserve(calls_.size());
  for (const auto& c : calls_) out.push_back(Format(c, withState));
  return out;
}

void RecordingCanvas::Replay(const std::vector<Call>& calls, Canvas& target) {
  for (const auto& c : calls) {
    target.pen = c.pen;
    target.brush = c.brush;
    const auto& a = c.args;
    switch (c.op) {
      case Op::MoveTo: target.MoveTo(a[0], a[1]); break;
      case Op::LineTo: target.LineTo(a[0], a[1]); break;
      case Op::Polyline: target.Polyline(Unflatten(a)); break;
      case Op::Polygon: target.Polygon(Unflatten(a)); break;
      case Op::Rectangle: target.Rectangle(a[0], a[1], a[2], a[3]); break;
      case Op::Ellipse: target.Ellipse(a[0], a[1], a[2], a[3]); break;
      case Op::Arc: target.Arc(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]); break;
      case Op::FillRect: target.FillRect(a[0], a[1], a[2], a[3]); break;
      case Op::SetFont: target.SetFont(c.font); break;
      case Op::TextOut:
        target.fontColor = c.fontColor;
        target.TextOut(a[0], a[1], c.text);
        break;
    }
  }
}

}  // namespace quarto
