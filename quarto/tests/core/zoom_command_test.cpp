#include "core/zoom_command.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace quarto {
namespace {

TEST(ZoomCommand, StepsAreHeldToTheZoomRange) {
  const std::tuple<double, bool, bool, double> cases[] = {
      {1.0, true, false, 1.5},  {1.0, true, true, 1.05},  {1.0, false, false, 0.5},
      {1.0, false, true, 0.95}, {99.8, true, false, 100}, {100, true, false, 100},
      {0.3, false, false, 0},   {0, false, true, 0},      {0.123456, true, false, 0.623456},
  };
  for (const auto& [zoom, increase, shift, expected] : cases)
    EXPECT_DOUBLE_EQ(ZoomStep(zoom, increase, shift), expected) << zoom << (increase ? " +" : " -");
}

TEST(ZoomCommand, ZoomTextIsTrimmedReadAndHeld) {
  const std::tuple<const char*, char, std::optional<double>> cases[] = {
      {"1,0000", ',', 1.0},         {" 2,5 ", ',', 2.5},         {"2.5", ',', 2.5},
      {"0.6235", '.', 0.6235},      {"250", ',', 100.0},         {"-3", ',', 0.0},
      {"", ',', std::nullopt},      {"  ", ',', std::nullopt},   {"abc", ',', std::nullopt},
      {"1,2,3", ',', std::nullopt}, {"inf", ',', std::nullopt},  {"nan", ',', std::nullopt},
      {"1e999", ',', std::nullopt}, {"1,5x", ',', std::nullopt},
  };
  for (const auto& [text, sep, expected] : cases) EXPECT_EQ(ParseZoomText(text, sep), expected) << text;
}

}  // namespace
}  // namespace quarto
