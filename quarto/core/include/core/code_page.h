#pragma once
// The two 8-bit code pages of the plot viewer's texts: the Windows Cyrillic page (1251), in which
// plot files keep their layer names and texts, and the DOS Cyrillic page (866), the OEM character
// set of a system font. The tables are the file library's, shared by all the tools.
#include "common/code_pages.h"

namespace quarto {

using common::CodePage;
using common::CodePageTable;
using common::DecodeByte;
using common::DecodeToUtf16;
using common::DecodeToUtf8;

}  // namespace quarto
