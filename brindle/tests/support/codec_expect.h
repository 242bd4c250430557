#pragma once
// Checks of how a reader refuses a file: a rejection with its exact caption and text, or
// an error that is not one.
#include <gtest/gtest.h>

#include <string>

#include "core/error.h"

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

}  // namespace brindle::test
