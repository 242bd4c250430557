#include "testsupport/sample_board.h"

namespace quarto::test {

namespace {
enum Layer { kTop = 1, kBottom = 2, kPads = 4, kSilk = 6, kBoard = 10 };
}  // namespace

// Draws the board in design units of 0.01 mm; s scales them to file units.
void WriteSampleBoard(PltWriter& w, int32_t s) {
  const bool is45 = w.format() == PltFormat::Plt45;
  auto P = [s](int32_t x, int32_t y) { return PltPoint{x * s, y * s}; };
  auto pts = [&](std::initializer_list<std::pair<int32_t, int32_t>> list) {
    std::vector<PltPoint> v;
    for (auto [x, y] : list) v.push_back(P(x, y));
    return v;
  };
  // A trace through several points: one polyline in PLT 4.5, one record a segment in PLT 8.5.
  auto trace = [&](int width, std::initializer_list<std::pair<int32_t, int32_t>> list) {
    const auto v = pts(list);
    if (is45) {
      w.Line(0, width * s, v[0].x, v[0].y, v[1].x, v[1].y, std::vector<PltPoint>(v.begin() + 2, v.end()));
    } else {
      for (size_t i = 1; i < v.size(); ++i) w.Line(0, width * s, v[i - 1].x, v[i - 1].y, v[i].x, v[i].y);
    }
  };

  w.Header({.version = is45 ? 45 : 85,
            .x1 = -200 * s,
            .y1 = -200 * s,
            .x2 = 6200 * s,
            .y2 = 4200 * s,
            .unit = is45 ? 7 : 9,
            .multiplier = 1});
  w.LayerName("TOP", kTop);
  w.LayerName("BOTTOM", kBottom);
  w.LayerName("PADCOM", kPads);
  w.LayerName(is45 ? "SILK" : "SILKTOP", kSilk);
  w.LayerName("BOARD", kBoard);

  // Board outline with four mounting holes.
  w.Layer(kBoard);
  w.Rect(0, 20 * s, 0, 0, 6000 * s, 4000 * s);
  for (auto [x, y] : {std::pair{300, 300}, {5700, 300}, {300, 3700}, {5700, 3700}})
    w.Circle(0, 10 * s, x * s, y * s, static_cast<uint32_t>(160 * s));

  // Bottom copper: ground pour with a cut-out around the connector and a hole at a via.
  w.Layer(kBottom);
  w.Polygon(10 * s, pts({{150, 150}, {5850, 150}, {5850, 3850}, {150, 3850}}),
            {PltContour{pts({{4700, 1200}, {5600, 1200}, {5600, 2800}, {4700, 2800}}), 0},
             PltHole{2500 * s, 800 * s, static_cast<uint32_t>(120 * s)}});
  trace(40, {{1000, 2600}, {1000, 1600}, {2400, 1600}});
  w.Bar(2350 * s, 1550 * s, 2450 * s, 1650 * s);
  w.Bar(900 * s, 2500 * s, 1100 * s, 2700 * s);

  // Pads common to both sides: an 8-pin package and a 4-pin connector.
  w.Layer(kPads);
  for (int i = 0; i < 4; ++i) {
    const int32_t x = 1600 + i * 254;
    w.Bar((x - 60) * s, 1140 * s, (x + 60) * s, 1320 * s);
    w.Bar((x - 60) * s, 1900 * s, (x + 60) * s, 2080 * s);
  }
  for (int i = 0; i < 4; ++i) w.Circle(0, 30 * s, 5150 * s, (1400 + i * 400) * s, static_cast<uint32_t>(90 * s));

  // Top copper: traces, a curved trace, SMD pads and a small pour.
  w.Layer(kTop);
  trace(30, {{1600, 2080}, {1600, 2600}, {3000, 2600}, {3000, 3200}, {5150, 3200}, {5150, 2600}});
  trace(30, {{2362, 1140}, {2362, 800}, {4200, 800}, {4200, 1400}, {5150, 1400}});
  trace(25, {{1854, 2080}, {1854, 2400}, {2800, 2400}});
  w.Arc(0, 30 * s, 3300 * s, 2000 * s, 3300 * s, 2400 * s, 3700 * s, 2000 * s);
  w.Line(1, 10 * s, 400 * s, 3400 * s, 1400 * s, 3400 * s);  // dotted keep-out mark
  w.Line(2, 10 * s, 400 * s, 3300 * s, 1400 * s, 3300 * s);  // dashed
  for (int i = 0; i < 3; ++i) w.Bar((2700 + i * 200) * s, 3450 * s, (2800 + i * 200) * s, 3650 * s);
  w.Skip();
  w.Polygon(5 * s, pts({{400, 400}, {1400, 400}, {1400, 1000}, {900, 1200}, {400, 1000}}),
            {PltHole{900 * s, 700 * s, static_cast<uint32_t>(100 * s)}});

  // Silk screen: outlines, pin-1 notch, texts (one turned by 90 degrees).
  w.Layer(kSilk);
  w.Rect(0, 12 * s, 1450 * s, 1380 * s, 2510 * s, 1840 * s);
  w.Arc(0, 12 * s, 1450 * s, 1610 * s, 1450 * s, 1530 * s, 1450 * s, 1690 * s);
  w.Rect(0, 12 * s, 4950 * s, 1200 * s, 5350 * s, 2800 * s);
  w.Circle(0, 12 * s, 1450 * s, 1100 * s, static_cast<uint32_t>(25 * s), 0, 360, /*alt_code=*/true);
  w.Text(1450 * s, 2200 * s, 150 * s, "U1");
  w.Text(5450 * s, 2000 * s, 150 * s, "J1", 1, 27);
  w.Text(2700 * s, 3700 * s, 120 * s, "R1 R2 R3");
  w.Text(3000 * s, 200 * s, 200 * s, "QUARTO DEMO", 0, 26);
  w.Text(400 * s, 3500 * s, 100 * s, "KEEP OUT");
}

}  // namespace quarto::test
