#pragma once
// The open command of the plot viewer, without any window: where the file name comes from, the
// command-line window argument, the recent list, the signature check and what the view state
// holds afterwards. The window supplies the dialog, the status text, the menu and the scan
// through OpenHost.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/plt_format.h"
#include "core/recent_files.h"
#include "core/view_state.h"

namespace quarto {

// Opens the file read-only and reads its first 4 bytes. Throws PlotIoError ("File not found",
// "File access denied", "Read beyond end of file" for a file shorter than 4 bytes).
std::array<uint8_t, 4> ReadSignatureBytes(const std::string& path);

// Extents that stand in for the pieces of the window argument that are missing or not integers.
struct WindowDefaults {
  int32_t MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
};

// Takes apart the window argument @X1:Y1_X2:Y2 piece by piece: x1 is the text between "@" and
// the first ":", y1 runs to the next "_", x2 to the next ":", y2 is the rest. A piece that is
// missing or no integer takes its default. An argument that does not start with "@" is no window
// at all (nullopt): it is ignored rather than sliced into numbers.
std::optional<ViewWindowBox> ParseWindowArgument(const std::string& arg, const WindowDefaults& defaults);

// The path made absolute against the current folder, without resolving links: "." parts and
// doubled separators are dropped, ".." parts kept (a link's parent is not the lexical one). An
// empty path stays empty.
std::string AbsolutePlotPath(const std::string& path);

// The file name without its folder, as status panel 1 shows it.
std::string FileNameWithoutFolder(const std::string& path);

// What the open command needs from the main window.
class OpenHost {
 public:
  virtual ~OpenHost() = default;
  // Runs the open dialog; nullopt when the user cancels it.
  virtual std::optional<std::string> RunOpenDialog() = 0;
  // Status panel 1.
  virtual void ShowFileName(const std::string& name) = 0;
  // Puts the menu items of the non-empty recent entries at the end of the File menu, 1 to 9.
  virtual void ShowRecentFiles(const RecentList& list) = 0;
  // Runs the scan pass of the recognised format on PlotFileName; may throw PlotIoError.
  virtual void ScanPlot(PltFormat format) = 0;
  // The unknown-format message box.
  virtual void ShowUnknownFormat() = 0;
  // Checks the centre position item N27 (which clears the other eight).
  virtual void CheckCentrePosition() = 0;
};

// The one-shot inputs of an open besides the view state: the command-line arguments after the
// program name, and the file name field of the open dialog (a recent item puts its path there).
struct OpenInputs {
  std::vector<std::string> CommandLine;
  std::string DialogFileName;
};

// Runs one open, taking its source from vs.OpenFromCommandLine / vs.OpenFromRecent or the dialog.
// Returns false when the dialog was cancelled (nothing changed). Input/output errors propagate to
// the caller after the open has cleaned up: the source flags are cleared and both loaded flags
// are false, so no later paint reads the file that failed; the recent list and the file name
// already name the new file.
bool RunOpen(ViewState& vs, OpenInputs& in, OpenHost& host, const WindowDefaults& defaults = {});

}  // namespace quarto
