#pragma once
// Everything the end-to-end tests use to start programs, drive the desktop
// and look at the results.

#include "Bytes.h"
#include "ComApartment.h"
#include "DesktopInput.h"
#include "FixtureProcess.h"
#include "RunProgram.h"
#include "TempFolder.h"
#include "UniqueHandle.h"
#include "WaitUntil.h"
#include "XmlLines.h"
