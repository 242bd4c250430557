// Copying or moving items of an image panel to a PC folder through the format module's
// CopyToPC (and DelFile for a move), and deleting items in the image through DelFile.
#pragma once

#include <cstddef>

#include "formatmodule/interface.h"
#include "panoply/panel.h"

namespace panoply {

// The host's destPath buffer: the plug-in writes back only what fits it.
inline constexpr size_t kDestPathSize = MAX_PATH;

// GetFiles: 1 after work (whatever failed on the way), 0 when nothing was done. In view
// mode 1 only when the item was copied. destPath (kDestPathSize bytes, may be null) gets
// the destination as the dialog left it; a destination that does not fit those bytes
// with its terminator (a destPath without one among them included) is refused with the
// folder's copy-failed box. A move deletes an item only when the PC holds it whole: a
// file of its listed size, or a folder with every file listed below it so.
int ExtractImageItems(ImagePanel& panel, const PluginPanelItem* items, int count, int move, char* destPath, int opMode);

// DeleteFiles: TRUE when every item was processed or the person stopped at a question,
// FALSE when nothing was done or a deletion failed (the items before it stay deleted).
int DeleteImageItems(ImagePanel& panel, int count, int opMode);

}  // namespace panoply
