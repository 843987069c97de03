// Items placed on a page: page texts ('O\x02pT', naming a text block) and page graphics
// ('O\x03pg', naming an 'otFd' file record whose path is stored in 'otFp' pieces of at most 12
// characters). Both are other records keyed by the page number and an incidence. Texts and
// paths are the host's 8-bit texts.
#pragma once

#include <cstdint>
#include <string>

#include "core/host/finxess_records.h"
#include "platform/hostapi/layout_records.h"

namespace orvex {

struct TPageText {
    RawRecord<hostapi::PageTextLayout::kSize> record;
    TextBlockHeader header;  ///< the header of the text block
    std::string text;        ///< the text as stored (caret commands kept)
    int32_t page = 0;
};

struct TPageGraphics {
    RawRecord<hostapi::PageGraphicLayout::kSize> record;
    RawRecord<hostapi::FileRecordLayout::kSize> file;
    std::string path;
    int32_t page = 0;
};

/// Loads page text `inci` of a page with its text block; false when the record or the text
/// block's header is missing.
bool LoadPageText(int32_t page, TPageText& text, int32_t inci);
/// Saves the object's text as a new text block and creates a page text naming it under the
/// page (a new incidence). False, with no page text made, when the text block cannot be saved.
bool CreatePageText(TPageText& text, int32_t page);

/// Loads page graphic `inci` of a page, its file record and its path; false when the graphic or
/// its file record is missing.
bool LoadPageGraphic(int32_t page, TPageGraphics& graphic, int32_t inci);
/// Stores the path as 'otFp' pieces under one new key, a file record naming them, and a page
/// graphic naming the file record under the page. False at the first record the host refuses.
bool CreatePageGraphic(TPageGraphics& graphic, int32_t page);

}  // namespace orvex
