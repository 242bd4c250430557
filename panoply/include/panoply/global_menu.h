// The plug-in's global menu: the default image format, kept in the registry by its long
// name, and new empty images of that format.
#pragma once

#include <cstddef>

#include "panoply/panel.h"

namespace panoply {

// Size of the menu's name buffers: the default format, its short name, the new file.
inline constexpr size_t kMenuNameSize = 128;

// The whole command: the chooser when no usable default is stored, then the menu.
void ImageGlobalMenu(ImagePanel& panel);
// The menu of every module's long name, each behind a hot-key prefix ("1 " ... "9 ", "A "
// ...); the item whose long name equals `name` is selected (the first when `name` is
// empty). 1 with the chosen item's whole text in name, 0 when cancelled or no module.
int ChooseFormatMenu(ImagePanel& panel, char* name);
// The first module whose long name equals longName without regard to case: its index
// into the panel, its short name into shortName (kMenuNameSize bytes); 1. Else 0.
int FindFormatByName(ImagePanel& panel, const char* longName, int* index, char* shortName);
// The new image's name dialog. The typed name, completed when addExtension is set and its
// last component holds no ".": a ".", upper-casing of that component unless its letters
// mix cases, and the short name. 1 with a name in fileName (kMenuNameSize bytes); 0 when
// the dialog was cancelled or left empty, or the completed name would not fit (then said
// in the create-failed box with the typed name).
int AskNewImageName(char* fileName, const char* shortName, const char* longName, int addExtension);

}  // namespace panoply
