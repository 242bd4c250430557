#pragma once
// RecordingCanvas: a canvas that draws nothing and keeps every drawing call with its integer
// arguments and the pen and brush in force, so tests can compare calls exactly and a benchmark
// can replay the same calls onto another canvas.
#include <string>
#include <vector>

#include "core/canvas.h"

namespace quarto {

class RecordingCanvas : public Canvas {
 public:
  enum class Op { MoveTo, LineTo, Polyline, Polygon, Rectangle, Ellipse, Arc, FillRect };
  struct Call {
    Op op;
    std::vector<int32_t> args;  // coordinates in call order; points as x, y pairs
    Pen pen;
    Brush brush;
  };

  void Polyline(std::span<const DevicePoint> points) override;
  void Polygon(std::span<const DevicePoint> points) override;
  void Rectangle(int32_t l, int32_t t, int32_t r, int32_t b) override;
  void Ellipse(int32_t l, int32_t t, int32_t r, int32_t b) override;
  void Arc(int32_t l, int32_t t, int32_t r, int32_t b, int32_t xs, int32_t ys, int32_t xe, int32_t ye) override;
  void FillRect(int32_t l, int32_t t, int32_t r, int32_t b) override;

  const std::vector<Call>& calls() const { return calls_; }
  void Clear() { calls_.clear(); }

  // One line per call: "LineTo 5 7 pen 0000ff 1 solid brush 0000ff solid" (colours as 0xBBGGRR).
  // Without state only the name and the arguments: "LineTo 5 7".
  std::vector<std::string> Lines(bool withState = true) const;
  static std::string Format(const Call& call, bool withState);

  // Draws the recorded calls again, with their pen and brush, onto another canvas.
  static void Replay(const std::vector<Call>& calls, Canvas& target);

 protected:
  void OnMoveTo(DevicePoint p) override;
  void DrawLine(DevicePoint from, DevicePoint to) override;

 private:
  void Add(Op op, std::vector<int32_t> args);
  static std::vector<int32_t> Flatten(std::span<const DevicePoint> points);
  std::vector<Call> calls_;
};

}  // namespace quarto
