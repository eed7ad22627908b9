// gridsnip.h: every public header of the gridsnip grid library.
#pragma once

#include <gridsnip/files/TARCGISFileTools.h>
#include <gridsnip/grid/TAxis.h>
#include <gridsnip/grid/TAxisTools.h>
#include <gridsnip/grid/TGridError.h>
#include <gridsnip/grid/TMap.h>
#include <gridsnip/grid/TMapPoint.h>
#include <gridsnip/grid/TPoint.h>
#include <gridsnip/tools/TMapTools.h>
#include <gridsnip/tools/TPointTools.h>
#include <gridsnip/tools/TVectorTools.h>
