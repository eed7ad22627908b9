// TARCGISFileTools: reads and writes grids as ArcGIS ASCII grid text.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include <gridsnip/grid/TMap.h>

// The format: six header items, each a tag word and a number ("ncols", "nrows",
// "xllcorner", "yllcorner", "cellsize", then "NODATA_value" or "nodata_value"),
// followed by nrows x ncols values, northernmost row first, each row west to east.
// Items are separated by any white space; line structure carries no meaning.
class TARCGISFileTools {
  public:
    // Reads one grid from the stream's current position and returns a new map
    // (caller owns it) with its edge axes built from xllcorner, yllcorner and
    // cellsize by successive addition, and its centre axes derived from them.
    // The stream is left just after the last value read; what follows is not read.
    // Throws the tag messages ("File format error: expected to find ncols tag",
    // ...), "File format error: ncols must be a positive integer in ..." (likewise
    // nrows, and "cellsize must be a positive number"), "File format error:
    // NODATA_value is not a number in ...", "File format error: value 'TOKEN' at
    // column C, row R is not a number in ..." and "Unexpected end of file found
    // in TARCGISFileTools::LoadARCGISFile". Memory grows with the values read,
    // never with what the header claims.
    static TMap* LoadARCGISFile(std::istream& in);
    // Opens the named file and reads it as above. Throws "Unable to open file "
    // followed by the name as given.
    static TMap* LoadARCGISFile(std::string fileName);

    // Writes the map: six header lines (xllcorner and yllcorner right-aligned in
    // a field of 8; yllcorner is the lower end of the Y edge axis), then the
    // values as TMapTools::WriteFlatFile writes them with a blank separator.
    // Doubles use the stream's own format and precision; nothing is set on the
    // stream. Every line ends with a line end and a flush. Throws "Map has no
    // axes in TARCGISFileTools::WriteARCGISFile" before writing anything for a
    // map that cannot be written.
    static void WriteARCGISFile(const TMap* map, std::ostream& out);
    // Creates or truncates the named file and writes the map to it as above,
    // but every number (corners, cell size, NODATA value, values) by the exact
    // rule, since no stream settings can be given: the fewest of 15, 16 and 17
    // significant digits that read back as the same double, in the notation
    // "%g" gives at that precision. Loading the file gives back every number
    // bit for bit (a NaN as a NaN). Throws "Unable to open file " followed by the name, or
    // "Unable to write file " followed by the name when writing or closing failed.
    static void WriteARCGISFile(const TMap* map, std::string fileName);

    // Loads each named file, in order; the grids and the vector are the caller's.
    // The first failure passes on, and the grids loaded before it are released.
    static std::vector<TMap*> LoadFileList(std::vector<std::string> fileNames);
    // Writes grid i to file i, as WriteARCGISFile with a file name (exact
    // numbers). Throws "Size of map list and filename list do not
    // match in TARCGISFileTools::WriteFileList" before writing anything; a failed
    // file passes on its message, the files before it stay written and none
    // after it is touched.
    static void WriteFileList(std::vector<TMap*> maps, std::vector<std::string> fileNames);
};
