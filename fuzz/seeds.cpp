// fuzz-seeds DIR: writes the starting corpus of every fuzz target into DIR/NAME/, made by the same
// generators the tests use, so each target starts from files that open.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/hdd_image_input.h"

#ifdef FUZZ_SEEDS_QUARTO
#include "testsupport/bench_plot.h"
#include "testsupport/plt_writer.h"
#include "testsupport/sample_board.h"
#endif
#ifdef FUZZ_SEEDS_BRINDLE
#include "core/bmp.h"
#include "core/gifcodec.h"
#include "core/palette.h"
#include "core/pngcodec.h"
#include "core/rmb.h"
#include "core/scr.h"
#include "core/spr.h"
#include "testsupport/scr_pack.h"
#endif

namespace fs = std::filesystem;

namespace {

fs::path root;

void Seed(const std::string& target, const std::string& name, const std::vector<uint8_t>& bytes) {
  const fs::path dir = root / target;
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Seed(const std::string& target, const std::string& name, const std::string& text) {
  Seed(target, name, std::vector<uint8_t>(text.begin(), text.end()));
}

#ifdef FUZZ_SEEDS_QUARTO
void PlotSeeds() {
  using namespace quarto;
  using namespace quarto::test;
  for (PltFormat format : {PltFormat::Plt45, PltFormat::Plt85}) {
    const bool is85 = format == PltFormat::Plt85;
    const std::string tag = is85 ? "85" : "45";
    PltWriter board(format);
    WriteSampleBoard(board, is85 ? 100 : 1);
    // The last byte of an input chooses the drawing options; 0x10 asks for a fit.
    std::vector<uint8_t> bytes = board.bytes();
    bytes.push_back(0x10);
    Seed("plt", "board" + tag, bytes);

    PltWriter small(format);
    small.Header({1, -500, -500, 500, 500, -1, 1});
    small.LayerName("TOP", 1);
    small.Layer(1);
    small.Line(0, 10, -100, -100, 100, 100, {{150, 0}, {0, 150}});
    small.Text(0, 0, 80, "AB'", 0, 34);
    small.Polygon(5, {{0, 0}, {100, 0}, {100, 100}}, {});
    bytes = small.bytes();
    bytes.push_back(0x35);
    Seed("plt", "small" + tag, bytes);

    // Larger than the plot reader's 256 KiB block, so that records straddle a block's end, and
    // with long runs: many records of a layer, a polygon of thousands of points with a cut-out,
    // a line of a thousand vertices, long texts.
    PltWriter large(format);
    WriteBenchPlot(large, is85 ? 4500 : 9500, is85 ? BenchPlotSpec{} : kBenchBoard45);
    const int32_t side = is85 ? 1'000'000 : 20000;
    std::vector<PltPoint> outline, contour, vertices;
    for (int32_t i = 0; i < 3000; ++i)
      outline.push_back({static_cast<int32_t>(int64_t{i} * side / 3000), (i % 2) * side / 4});
    for (int32_t i = 0; i < 200; ++i) contour.push_back({side / 2 + i, side / 8 + (i % 3)});
    for (int32_t i = 0; i < 1000; ++i) vertices.push_back({(i * 37) % side, (i * 91) % side});
    large.Layer(5);
    large.Polygon(100, outline, {PltContour{contour}, PltHole{side / 3, side / 8, 50}});
    large.Line(1, 20, 0, 0, side, side, vertices);
    large.Text(side / 2, side / 2, is85 ? 50000 : 60, std::string(200, 'W'), 1, 30);
    large.Text(side / 3, side / 3, is85 ? 20000 : 40, std::string(250, '\x8E'), 2, 43);
    bytes = large.bytes();
    bytes.push_back(0x12);
    Seed("plt", "large" + tag, bytes);
  }
}
#endif

#ifdef FUZZ_SEEDS_BRINDLE
void PictureSeeds() {
  using namespace brindle;
  std::vector<uint8_t> screen(ScreenSize);
  for (size_t i = 0; i < screen.size(); ++i) screen[i] = static_cast<uint8_t>((i / 256) * 17 + (i % 7 == 0 ? i : 0));
  const std::vector<uint8_t> spr =
      EncodeSPR(DefaultVECPalette, std::span<const uint8_t, ScreenSize>(screen.data(), ScreenSize));
  Seed("spr", "structured.spr", spr);
  Seed("spr_pack", "structured", std::vector<uint8_t>(screen.begin(), screen.begin() + 4096));
  Seed("spr_pack", "runs", std::vector<uint8_t>{1, 1, 1, 1, 1, 1, 1, 2, 3, 4, 5, 5, 5, 5, 5, 5, 5, 5});
  Mem mem;
  std::copy(screen.begin(), screen.end(), mem.screen().begin());
  // The same screen as a picture, written by the program's own BMP, GIF and PNG writers.
  Pic pic;
  VECScr2DIB4bpp(mem, pic);
  SetDIBPalFromVEC(pic, DefaultVECPalette, Levels{});
  Seed("bmp", "structured.bmp", EncodeBMP4(pic));
  Seed("gif", "structured.gif", EncodeGIF(pic));
  Seed("png", "structured.png", EncodePNG(pic));
  Seed("rmb", "whole.rmb", EncodeRMB(DefaultVECPalette, mem.screen()));
  std::vector<uint8_t> rect(DefaultVECPalette.rbegin(), DefaultVECPalette.rend());
  for (const uint8_t b : {4, 10, 0x05}) rect.push_back(b);
  rect.insert(rect.end(), screen.begin(), screen.begin() + 2 * 10 * 4);
  Seed("rmb", "rectangle.rmb", rect);
  std::vector<uint8_t> zx(6912);
  for (size_t i = 0; i < zx.size(); ++i) zx[i] = static_cast<uint8_t>(i < 6144 ? i * 31 : 0x38 + i % 0x48);
  Seed("scr", "zx.scr", zx);
  for (auto& b : mem.screen())
    if (b >= 0xE0 && b <= 0xE2) b = 0x7F;
  mem.screen()[100] = 0xE0;
  samples::PackedScr packed = samples::PackScr(mem, 0x00, {0xE0, 0xE1, 0xE2});
  packed.palette = std::string(DefaultVECPaletteName);
  Seed("scr", "packed.scr", packed.bytes());
}
#endif

std::vector<uint8_t> Entry(uint8_t user, const std::string& name11, uint8_t extent, uint8_t records,
                           std::vector<uint8_t> blocks) {
  std::vector<uint8_t> e{user};
  for (size_t i = 0; i < 11; ++i) e.push_back(i < name11.size() ? static_cast<uint8_t>(name11[i]) : ' ');
  e.push_back(extent);
  e.push_back(0);
  e.push_back(0);
  e.push_back(records);
  blocks.resize(16, 0);
  e.insert(e.end(), blocks.begin(), blocks.end());
  return e;
}

void ImageSeeds() {
  std::vector<uint8_t> dir1;
  for (const auto& e : {Entry(0, "README  TXT", 0, 3, {2}), Entry(1, "GAME    COM", 0, 0x80, {3, 4, 5, 6, 7, 8, 9, 10}),
                        Entry(1, "GAME    COM", 1, 12, {11}), Entry(0x10, "DISKNAMEDIR", 0, 0, {})})
    dir1.insert(dir1.end(), e.begin(), e.end());
  std::vector<uint8_t> dir2 = Entry(2, "DATA    BIN", 0, 16, {2, 3});
  std::vector<uint8_t> data(2048 * 2, 'x');
  Seed("hdd", "one-disk", fuzz::HddImageInput(1, {dir1}, data));
  Seed("hdd", "two-disks", fuzz::HddImageInput(2, {dir1, dir2}, data));
  Seed("hdd", "cut", fuzz::HddImageInput(2, {dir1, dir2}, {}, 7));
}

void TextSeeds() {
  Seed("ini", "quarto",
       "\xEF\xBB\xBF[Form]\r\nState=Normal\r\nWidth=900\r\nHeight=700\r\n[File]\nFirstFile=\"/tmp/a b.plt\"\n"
       "[Page]\nLeft=150\nRight=0x20\nUp=900\n[View]\nMirrorX=1\nColor=0\n[Font]\nANSI=1\nOEM=1\nindexFont=-1\n"
       "[Language]\nRussian=0\n[Other]\nWidthPen0=99\n[TableColor]\nDefaultColor=0\nColor1=0x1FF0000\nColor16=255\n");
  Seed("language", "en", "# comment\n0=Panoply\n1=Image\n40=Cannot copy %s\r\n62=Last\n");
  Seed("registry", "store",
       "; settings\n[Software\\DeskTools\\Panoply]\n\"DefaultFormat\"=sz:HDD for MicroDOS\n"
       "\"AddToDisksMenu\"=dword:00000001\n[Other]\n\"x\"=sz:\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  root = argv[1];
  ImageSeeds();
  TextSeeds();
#ifdef FUZZ_SEEDS_QUARTO
  PlotSeeds();
#endif
#ifdef FUZZ_SEEDS_BRINDLE
  PictureSeeds();
#endif
  return 0;
}
