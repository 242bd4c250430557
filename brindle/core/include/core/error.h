#pragma once
#include <stdexcept>
#include <string>

namespace brindle {

// A failure the user is told about in an error box: a file that cannot be read or
// written, a damaged file, a bad level file. `title` is the box caption.
class Error : public std::runtime_error {
 public:
  Error(std::string title, const std::string& text) : std::runtime_error(text), title_(std::move(title)) {}
  const std::string& title() const { return title_; }

 private:
  std::string title_;
};

// A readable picture the program does not take (too many colours, too large): told in a
// plain box with one OK button and no icon, with the reader's fixed text and caption.
class Rejection : public Error {
 public:
  using Error::Error;
};

}  // namespace brindle
