// A fresh folder for one test, removed with its contents afterwards.
#pragma once

#include "testsupport/temp_dir.h"

using TempFolder = testsupport::TempDir;
