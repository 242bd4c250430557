#pragma once
// Checks of how a reader refuses a file: a rejection with its exact caption and text, or
// an error that is not one.
#include <gtest/gtest.h>

#include <string>

#include "core/bytesource.h"
#include "core/error.h"
#include "core/screen.h"
#include "support/codec_fixtures.h"

namespace brindle::test {

// Expects decode to throw a rejection with exactly this caption and text.
template <class F>
void ExpectRejection(F&& decode, const std::string& title, const std::string& text) {
  try {
    decode();
    ADD_FAILURE() << "expected the rejection \"" << text << "\"";
  } catch (const Rejection& e) {
    EXPECT_EQ(e.title(), title);
    EXPECT_EQ(std::string(e.what()), text);
  } catch (const Error& e) {
    ADD_FAILURE() << "expected a rejection, got the error: " << e.what();
  }
}

// Expects decode to throw an error that is not a rejection.
template <class F>
void ExpectDamage(F&& decode) {
  try {
    decode();
    ADD_FAILURE() << "expected an error";
  } catch (const Rejection& e) {
    ADD_FAILURE() << "expected an error, got the rejection: " << e.what();
  } catch (const Error&) {
  }
}

// The picture holds index(x, y) in its top-left width x height (clipped to 256 x 256) and
// index 0 elsewhere; its palette is Colours(entries), black after them.
inline void ExpectPicture(const Pic& pic, int width, int height, const IndexFn& index, int entries) {
  int wrong = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < Pic::Height; ++y)
    for (int x = 0; x < Pic::Width; ++x) {
      const int expected = (x < width && y < height) ? index(x, y) : 0;
      if (pic.pixel(x, y) != expected && wrong++ == 0) {
        firstX = x;
        firstY = y;
      }
    }
  EXPECT_EQ(wrong, 0) << "first wrong pixel " << firstX << "," << firstY;
  const std::vector<Rgb> colours = Colours(entries);
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(pic.palette[static_cast<std::size_t>(i)], i < entries ? colours[static_cast<std::size_t>(i)] : Rgb{})
        << "palette entry " << i;
}

// Runs a decoder on bytes in memory.
template <class Decoder>
Pic DecodeBytes(Decoder decode, const Bytes& bytes) {
  MemorySource source(bytes);
  return decode(source);
}

// Bytes in memory that count what a reader asks of them: how often, and how many bytes. A file
// that declares a huge picture must cost a reader no more asking than its own size calls for.
class CountingSource : public ByteSource {
 public:
  explicit CountingSource(const Bytes& bytes) : source_(bytes) {}
  std::uint64_t size() const override { return source_.size(); }
  std::size_t readAt(std::uint64_t offset, std::uint8_t* dst, std::size_t n) override {
    ++reads;
    asked += n;
    return source_.readAt(offset, dst, n);
  }
  std::size_t reads = 0;
  std::uint64_t asked = 0;

 private:
  MemorySource source_;
};

}  // namespace brindle::test
