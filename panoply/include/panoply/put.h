// Copying PC files into an open image through its format module.
#pragma once

#include "formatmodule/interface.h"
#include "panoply/panel.h"

namespace panoply {

// The target folder inside the image holds at most this many characters.
inline constexpr size_t kPutTargetSize = MAX_PATH;

// Copies the host's items (PC files named relative to the current directory) into the
// folder of the image that the put dialog names. 1 when every item was processed (each
// failure reported on its own), 0 when nothing was done or the module stopped the
// command. A move copies too: nothing on the PC is deleted here.
int PutPcFiles(ImagePanel& panel, const PluginPanelItem* items, int count, int move, int opMode);

}  // namespace panoply
