// plt-samples DIR: writes DIR/sample45.plt and DIR/sample85.plt, the same small board in both
// plot formats, using every record kind on several named layers.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "testsupport/sample_board.h"

using quarto::PltFormat;
using quarto::test::PltWriter;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: plt-samples DIR\n");
    return 2;
  }
  try {
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    PltWriter w45(PltFormat::Plt45);
    quarto::test::WriteSampleBoard(w45, 1);  // 0.01 mm per file unit
    w45.Save(dir / "sample45.plt");
    PltWriter w85(PltFormat::Plt85);
    quarto::test::WriteSampleBoard(w85, 100);  // 0.1 um per file unit
    w85.Save(dir / "sample85.plt");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "plt-samples: %s\n", e.what());
    return 1;
  }
  return 0;
}
