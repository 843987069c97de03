// The cue-sheet import ("Vx Auricle Import...", tool item 59): reads a cue sheet that the
// film-scoring timing program Auricle saved as a text file and writes its timing information into
// the document: a title block, tempo marks, time signatures, SMPTE and elapsed times, visuals,
// streamers and hit points with their marker lines. Every text goes through the shared text
// expression table (an expression with the same text and look is reused) and is placed in its
// measure with a measure expression record 'otDY'.
//
// A cue sheet is a text file of lines of comma-separated fields. The first line names the cue,
// the project and the date; on the other lines field 1 is "-" for a timing line (measure, meter,
// tempo, SMPTE and elapsed time, visuals, streamer) or a name ("HIT" for a hit point with its time
// and description).
#pragma once

#include <cstdint>
#include <string>

namespace orvex {

struct TFMisc;

/// The option rows of the import.
enum CueSheetRow : size_t {
    CUE_ROW_FILE = 0,              ///< the cue file's path (text)
    CUE_ROW_IMPROVED = 1,          ///< the improved layout
    CUE_ROW_HITS = 2,              ///< vertical position of hit texts; 0 = no hits
    CUE_ROW_TEMPO = 3,             ///< ... of tempo marks; 0 = none
    CUE_ROW_ELAPSED = 4,           ///< ... of elapsed times; 0 = none
    CUE_ROW_SMPTE = 5,             ///< ... of SMPTE times; 0 = none
    CUE_ROW_VISUALS = 6,           ///< ... of visuals; 0 = none
    CUE_ROW_STREAMERS = 7,         ///< ... of streamers; 0 = none
    CUE_ROW_FONT = 8,              ///< the font of every text (text)
    CUE_ROW_SIZE = 9,              ///< its size
    CUE_ROW_STREAMER_LENGTH = 10,  ///< EDU before a hit where its marker line starts
};

/// Tool item 59: imports the cue file the options name into the document. False when the file
/// cannot be opened (nothing is shown); true once the whole file was read.
bool RunAuricleImport(TFMisc& context);

/// Cuts the characters before the first `delimiter` off the front of `text` and answers them;
/// the delimiter goes too. A text without the delimiter is taken whole and left empty.
std::string CutTokenAtDelimiter(std::string& text, char delimiter);

}  // namespace orvex
