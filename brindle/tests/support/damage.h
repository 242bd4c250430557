#pragma once
// The check every damage table shares: after a good picture, stepping to a damaged file
// reports it and changes nothing that the window shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/error.h"
#include "core/session.h"
#include "support/fixtures.h"

namespace brindle::test {

// Writes a good "a.spr" into folder, opens it and steps to the next file of the folder
// (the damaged one, sorted after it): that must throw brindle::Error captioned title and
// leave Mem, Pic and PicFileName as they were, while the caption names the damaged file at
// its place, where the next step goes on from.
inline void ExpectStepToDamageChangesNothing(const std::filesystem::path& folder, const std::string& title) {
  WriteBytes(folder / "a.spr", SprFileFor(RandomScreen(1)));
  Session s;
  s.mem.bytes[5] = 0x77;  // below the screen too
  ASSERT_TRUE(s.OpenChosen(folder / "a.spr"));
  const Mem mem = s.mem;
  const Pic pic = s.pic;
  ASSERT_EQ(s.PicFiles.size(), 2u);
  try {
    s.Step(+1);
    ADD_FAILURE() << "opened";
  } catch (const Error& e) {
    EXPECT_EQ(e.title(), title);
  }
  EXPECT_EQ(s.mem, mem);
  EXPECT_EQ(s.pic, pic);
  EXPECT_EQ(s.Caption, s.PicFiles[1] + "   2/2");
  EXPECT_EQ(s.PicFileName, "a.spr");
}

}  // namespace brindle::test
