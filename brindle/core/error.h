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

}  // namespace brindle
