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
  // Text, separator, zoom, and whether the number was held to the range.
  const std::tuple<const char*, char, std::optional<double>, bool> cases[] = {
      {"1,0000", ',', 1.0, false},
      {" 2,5 ", ',', 2.5, false},
      {"2.5", ',', 2.5, false},
      {"0.6235", '.', 0.6235, false},
      {"250", ',', 100.0, true},
      {"-3", ',', 0.0, true},
      {"100", ',', 100.0, false},
      {"0", ',', 0.0, false},
      {"100,0001", ',', 100.0, true},
      {"", ',', std::nullopt, false},
      {"  ", ',', std::nullopt, false},
      {"abc", ',', std::nullopt, false},
      {"1,2,3", ',', std::nullopt, false},
      {"inf", ',', std::nullopt, false},
      {"nan", ',', std::nullopt, false},
      {"1e999", ',', std::nullopt, false},
      {"1,5x", ',', std::nullopt, false},
  };
  for (const auto& [text, sep, expected, wasHeld] : cases) {
    bool held = false;
    EXPECT_EQ(ParseZoomText(text, sep, &held), expected) << text;
    EXPECT_EQ(held, wasHeld) << text;
    EXPECT_EQ(ParseZoomText(text, sep), expected) << text;
  }
}

}  // namespace
}  // namespace quarto
