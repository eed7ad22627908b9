// gridsnip.h: every public header of the gridsnip grid library.
#pragma once

#include "files/TARCGISFileTools.h"
#include "grid/TAxis.h"
#include "grid/TAxisTools.h"
#include "grid/TGridError.h"
#include "grid/TMap.h"
#include "grid/TMapPoint.h"
#include "grid/TPoint.h"
#include "tools/TMapTools.h"
#include "tools/TPointTools.h"
#include "tools/TVectorTools.h"
