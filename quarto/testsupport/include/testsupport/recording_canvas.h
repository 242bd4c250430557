#pragma once
// RecordingCanvas: a canvas that draws nothing and keeps every drawing call with its integer
// arguments and the pen and brush in force, so tests can compare calls exactly and a benchmark
// can replay the same calls onto another canvas. Fonts and texts are kept too; texts are measured
// by a settable fake (every text the same size, 100 x 20 unless changed).
#include <string>
#include <vector>

#include "core/canvas.h"

namespace quarto {

class RecordingCanvas : public Canvas {
 public:
  enum class Op { MoveTo, LineTo, Polyline, Polygon, Rectangle, Ellipse, Arc, FillRect, SetFont, TextOut };
  struct Call {
    Op op;
    std::vector<int32_t> args;  // coordinates in call order; points as x, y pairs
    Pen pen;
    Brush brush;
    Font font;            // SetFont: the font; TextOut: the font in force
    std::string text;     // TextOut
    Color fontColor = 0;  // TextOut
  };

  // What TextExtent answers for any text.
  TextSize fakeExtent{100, 20};
  TextSize TextExtent(std::string_view) override { return fakeExtent; }
  void TextOut(int32_t x, int32_t y, std::string_view text) override;

  void Polyline(std::span<const DevicePoint> points) override;
  void Polygon(std::span<const DevicePoint> points) override;
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override;
  void Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override;
  void Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) override;
  void FillRect(int32_t l, int32_t t, int32_t r, int32_t b) override;

  const std::vector<Call>& calls() const { return calls_; }
  void Clear() { calls_.clear(); }

  // One line per call: "LineTo 5 7 pen 0000ff 1 solid brush 0000ff solid" (colours as 0xBBGGRR).
  // Without state only the name and the arguments: "LineTo 5 7". A font reads
  // "SetFont Arial 20 900 ansi", a text "TextOut 5 7 ABC" and with state " font 0000ff".
  std::vector<std::string> Lines(bool withState = true) const;
  static std::string Format(const Call& call, bool withState);

  // Draws the recorded calls again, with their pen and brush, onto another canvas.
  static void Replay(const std::vector<Call>& calls, Canvas& target);

 protected:
  void OnMoveTo(DevicePoint p) override;
  void OnSetFont(const Font& f) override;
  void DrawLine(DevicePoint from, DevicePoint to) override;

 private:
  void Add(Op op, std::vector<int32_t> args);
  static std::vector<int32_t> Flatten(std::span<const DevicePoint> points);
  std::vector<Call> calls_;
};

}  // namespace quarto
