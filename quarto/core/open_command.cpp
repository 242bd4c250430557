#include "core/open_command.h"

#include <cerrno>
#include <charconv>
#include <filesystem>
#include <string_view>

#include "core/plot_reader.h"

namespace quarto {

std::array<uint8_t, 4> ReadSignatureBytes(const std::string& path) {
  PlotReader reader = PlotReader::OpenFile(path);
  std::array<uint8_t, 4> bytes{};
  if (!reader.Read(bytes.data(), bytes.size())) throw PlotIoError(PlotIoError::Kind::ShortFile, kTextReadBeyondEnd);
  return bytes;
}

namespace {

// 1-based position of the first c in s, 0 when there is none.
size_t Pos(char c, const std::string& s) {
  size_t p = s.find(c);
  return p == std::string::npos ? 0 : p + 1;
}

// The first n characters of s; empty for a count that is not positive.
std::string Head(const std::string& s, long n) {
  if (n <= 0) return {};
  return s.substr(0, static_cast<size_t>(n));
}

// s without its first n characters.
void DropHead(std::string& s, size_t n) { s.erase(0, std::min(n, s.size())); }

int32_t ToIntOr(const std::string& piece, int32_t fallback) {
  int32_t value = 0;
  const char* first = piece.data();
  const char* last = piece.data() + piece.size();
  if (first != last && *first == '+') ++first;
  auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last || first == last) return fallback;
  return value;
}

}  // namespace

std::optional<ViewWindowBox> ParseWindowArgument(const std::string& arg, const WindowDefaults& d) {
  if (arg.empty() || arg[0] != '@') return std::nullopt;
  std::string s = arg;
  ViewWindowBox w;
  size_t colon = Pos(':', s);
  w.x1 = ToIntOr(Head(s.substr(1), static_cast<long>(colon) - 2), d.MinX);
  DropHead(s, colon);
  size_t underscore = Pos('_', s);
  w.y1 = ToIntOr(Head(s, static_cast<long>(underscore) - 1), d.MinY);
  DropHead(s, underscore);
  colon = Pos(':', s);
  w.x2 = ToIntOr(Head(s, static_cast<long>(colon) - 1), d.MaxX);
  DropHead(s, colon);
  w.y2 = ToIntOr(s, d.MaxY);
  return w;
}

std::string AbsolutePlotPath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  std::string full = std::filesystem::absolute(std::filesystem::path(path), ec).string();
  if (ec) return path;
  // Drop "." parts and empty parts between doubled separators.
  std::string out;
  size_t i = 0;
  while (i < full.size()) {
    const size_t next = full.find('/', i);
    const size_t end = next == std::string::npos ? full.size() : next;
    const std::string_view part(full.data() + i, end - i);
    if (!part.empty() && part != ".") {
      out += '/';
      out += part;
    }
    i = end + 1;
  }
  if (out.empty()) out.push_back('/');
  // A trailing separator names a folder; keep it so the open reports it as one.
  if (full.back() == '/' && out.back() != '/') out += '/';
  return out;
}

std::string FileNameWithoutFolder(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool RunOpen(ViewState& vs, OpenInputs& in, OpenHost& host, const WindowDefaults& defaults) {
  if (!vs.OpenFromCommandLine && !vs.OpenFromRecent) {
    std::optional<std::string> chosen = host.RunOpenDialog();
    if (!chosen) return false;
    in.DialogFileName = *chosen;
  }
  if (vs.OpenFromCommandLine) {
    in.DialogFileName = in.CommandLine.empty() ? std::string() : in.CommandLine[0];
    if (in.CommandLine.size() >= 2) {
      if (std::optional<ViewWindowBox> w = ParseWindowArgument(in.CommandLine[1], defaults)) {
        vs.ViewWindow = *w;
        vs.ViewWindowSet = true;
      }
    }
  }

  vs.PlotFileName = AbsolutePlotPath(in.DialogFileName);
  host.ShowFileName(FileNameWithoutFolder(vs.PlotFileName));
  PushRecentFile(vs.RecentFiles, vs.PlotFileName);
  in.DialogFileName.clear();
  host.ShowRecentFiles(vs.RecentFiles);

  try {
    std::array<uint8_t, 4> first = ReadSignatureBytes(vs.PlotFileName);
    vs.Plot45Loaded = false;
    vs.Plot85Loaded = false;
    std::optional<PltFormat> format = DetectPltFormat(first);
    if (!format) {
      host.ShowUnknownFormat();
    } else {
      (*format == PltFormat::Plt85 ? vs.Plot85Loaded : vs.Plot45Loaded) = true;
      host.ScanPlot(*format);
    }
  } catch (...) {
    // The file could not be opened or read (or its scan stopped half-way): leave an empty view so
    // that no paint goes back to it, and end this open's source flags; the caller reports the error.
    vs.Plot45Loaded = false;
    vs.Plot85Loaded = false;
    vs.OpenFromCommandLine = false;
    vs.OpenFromRecent = false;
    throw;
  }

  vs.ShiftX = 0;
  vs.ShiftY = 0;
  vs.OpenFromCommandLine = false;
  vs.OpenFromRecent = false;
  host.CheckCentrePosition();
  vs.FitPending = true;
  return true;
}

}  // namespace quarto
