// Picture files through the session's open, as stepping onto a file in the folder does: the bytes
// become a file of the name FUZZ_FILE_NAME, whose extension picks the reader. The screen memory and
// the picture are prefilled; a file that is refused must leave both exactly as they were.
#include <cstring>
#include <memory>

#include "core/error.h"
#include "core/session.h"
#include "fuzz/fuzz_support.h"

#ifndef FUZZ_FILE_NAME
#error "FUZZ_FILE_NAME names the file, and so the reader, of this target"
#endif

namespace {

void Prefill(brindle::Session& s) {
  for (size_t i = 0; i < s.mem.bytes.size(); ++i) s.mem.bytes[i] = static_cast<uint8_t>(i * 7 + 3);
  for (size_t i = 0; i < s.pic.pixels.size(); ++i) s.pic.pixels[i] = static_cast<uint8_t>(i * 13 + 5);
}

bool SamePicture(const brindle::Pic& a, const brindle::Pic& b) {
  return a.pixels == b.pixels && std::memcmp(&a.palette, &b.palette, sizeof a.palette) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path file = fuzz::WriteInput(FUZZ_FILE_NAME, data, size);
  // Held on the heap: screen memory and picture are 96 KiB together.
  auto session = std::make_unique<brindle::Session>();
  Prefill(*session);
  auto before = std::make_unique<brindle::Session>();
  before->mem = session->mem;
  before->pic = session->pic;
  try {
    session->OpenPicFile(file);
  } catch (const brindle::Error& e) {
    if (e.title().empty() || std::strlen(e.what()) == 0) fuzz::Fail("an error without caption or text");
    if (!(session->mem == before->mem) || !SamePicture(session->pic, before->pic))
      fuzz::Fail("a refused file changed the screen memory or the picture");
    if (session->PicLoaded) fuzz::Fail("a refused file counts as opened");
  }
  return 0;
}
