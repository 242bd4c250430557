#pragma once
// The program's state behind the main window and the commands that change it: opening a
// picture and listing its folder, stepping through that list, saving in a chosen format.
// Every command either completes or throws brindle::Error with the state unchanged, but
// for a step: one that fails has still moved past the file, and the caption names that
// file and its place, so the next step goes on from what the caption shows; the picture
// and PicFileName stay those of the picture shown.
#include <filesystem>
#include <string>
#include <vector>

#include "core/palette.h"
#include "core/picfiles.h"
#include "core/screen.h"

namespace brindle {

class Session {
 public:
  Mem mem;
  Pic pic;
  Levels levels;

  std::vector<std::string> PicFiles;  // bare names in PicFolder
  int PicIndex = 0;                   // always inside PicFiles (0 when it is empty)
  std::filesystem::path PicFolder;    // folder PicFiles was read from
  std::string PicFileName;            // the picture shown: bare name after opening or stepping, full path
                                      // after saving
  bool PicLoaded = false;             // a picture has been opened since start
  int OpenFilterIndex = 1;
  int SaveFilterIndex = 1;
  std::string Caption = "Brindle";

  // Runs the reader of the name's extension. False, without a message, when there is no
  // reader for it; true when this file opened.
  bool OpenPicFile(const std::filesystem::path& file);

  // Open command for a chosen file: on success the folder is listed, PicFileName names the
  // file and the caption shows its place in the list. False when there is no reader.
  bool OpenChosen(const std::filesystem::path& file);

  // Left (-1) or Right (+1): opens the previous or next file of the list, wrapping, and
  // shows that entry's name and place in the caption whether it opens or not. Nothing while
  // the list is empty. True when a picture opened.
  bool Step(int delta);

  // Save command: the chosen name gets the extension of filterIndex (1 to 5, as in the
  // save filter) and that format's writer puts the picture there. Returns the name written.
  std::filesystem::path SaveAs(const std::filesystem::path& chosen, int filterIndex);

  // Caption for a picture of the list: the name, three blanks and its place "i/n".
  void ShowPicTitle(const std::string& name);
};

}  // namespace brindle
