// Shared libraries through LoadLibraryA, GetProcAddress and FreeLibrary.
#include <gtest/gtest.h>

#include "platform/files.h"

namespace {

TEST(Library, LoadsBindsAndFrees) {
  HMODULE lib = LoadLibraryA("libm.so.6");
  ASSERT_NE(lib, nullptr);
  using Cos = double (*)(double);
  const auto cosine = reinterpret_cast<Cos>(GetProcAddress(lib, "cos"));
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(GetProcAddress(lib, "NoSuchEntryPoint"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(lib));

  EXPECT_EQ(LoadLibraryA("/nonexistent/module.di"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibraryA(""), nullptr);
  EXPECT_FALSE(FreeLibrary(nullptr));
}

}  // namespace
