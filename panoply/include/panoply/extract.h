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
// the destination as the dialog left it when it fits.
int ExtractImageItems(ImagePanel& panel, const PluginPanelItem* items, int count, int move, char* destPath, int opMode);

// DeleteFiles: TRUE when every item was processed or the person stopped at a question,
// FALSE when nothing was done or a deletion failed (the items before it stay deleted).
int DeleteImageItems(ImagePanel& panel, int count, int opMode);

}  // namespace panoply
