#include "core/host/page_items.h"

#include <climits>

#include "core/host/finxess.h"

namespace orvex {
namespace {

using hostapi::FilePathLayout;
using hostapi::FileRecordLayout;
using hostapi::PageGraphicLayout;
using hostapi::PageTextLayout;

/// Creates one path piece (its characters and a zero) under (key, inci); -1 asks for new keys.
bool CreatePathPiece(int32_t& key, int32_t inci, std::string_view piece) {
    const std::string terminated(piece);
    return CreateOtherRecord(hostapi::kTagFilePath, key, inci, terminated.c_str(),
                             static_cast<int32_t>(terminated.size() + 1));
}

}  // namespace

bool LoadPageText(int32_t page, TPageText& text, int32_t inci) {
    if (!LoadWholeOtherRecord(hostapi::kTagPageText, page, inci, text.record.data(), PageTextLayout::kSize)) {
        return false;
    }
    const int16_t block = hostapi::ReadI16(text.record.data(), PageTextLayout::kTextBlock);
    TextBlockHeader header;
    if (!LoadRecordSOTX(block, header)) {
        return false;
    }
    text.text = LoadTextBlock(block, false, &text.header);
    text.page = page;
    return true;
}

bool CreatePageText(TPageText& text, int32_t page) {
    int32_t block = -1;
    text.header.setTextKey(-1);
    if (!SaveTextBlock(block, text.header, text.text)) {
        return false;
    }
    hostapi::WriteI16(text.record.data(), PageTextLayout::kTextBlock, static_cast<int16_t>(block));
    int32_t cmper = page;
    int32_t inci = -1;
    if (!CreateOtherRecord(hostapi::kTagPageText, cmper, inci, text.record.data(), PageTextLayout::kSize)) {
        return false;
    }
    text.page = page;
    return true;
}

bool LoadPageGraphic(int32_t page, TPageGraphics& graphic, int32_t inci) {
    if (!LoadWholeOtherRecord(hostapi::kTagPageGraphic, page, inci, graphic.record.data(), PageGraphicLayout::kSize)) {
        return false;
    }
    const int16_t file = hostapi::ReadI16(graphic.record.data(), PageGraphicLayout::kFile);
    if (!LoadWholeOtherRecord(hostapi::kTagFileRecord, file, 0, graphic.file.data(), FileRecordLayout::kSize)) {
        return false;
    }
    const int16_t pathKey = hostapi::ReadI16(graphic.file.data(), FileRecordLayout::kPath);
    graphic.path.clear();
    char piece[FilePathLayout::kPieceLength + 1];
    for (int32_t i = 0; i <= INT16_MAX; ++i) {
        std::fill(std::begin(piece), std::end(piece), '\0');
        if (!LoadStringRecord(pathKey, piece, static_cast<int32_t>(FilePathLayout::kPieceLength + 1),
                              hostapi::kTagFilePath, i)) {
            break;
        }
        piece[FilePathLayout::kPieceLength] = '\0';
        graphic.path += piece;
    }
    graphic.page = page;
    return true;
}

bool CreatePageGraphic(TPageGraphics& graphic, int32_t page) {
    // An empty path is still one (empty) piece, so that the file record names a path.
    int32_t pathKey = -1;
    const std::string_view path = graphic.path;
    size_t at = 0;
    do {
        const std::string_view piece = path.substr(at, FilePathLayout::kPieceLength);
        if (!CreatePathPiece(pathKey, at == 0 ? 0 : -1, piece)) {
            return false;
        }
        at += FilePathLayout::kPieceLength;
    } while (at < path.size());

    hostapi::WriteI16(graphic.file.data(), FileRecordLayout::kPath, static_cast<int16_t>(pathKey));
    int32_t file = -1;
    int32_t inci = 0;
    if (!CreateOtherRecord(hostapi::kTagFileRecord, file, inci, graphic.file.data(), FileRecordLayout::kSize)) {
        return false;
    }
    hostapi::WriteI16(graphic.record.data(), PageGraphicLayout::kFile, static_cast<int16_t>(file));
    int32_t cmper = page;
    inci = -1;
    if (!CreateOtherRecord(hostapi::kTagPageGraphic, cmper, inci, graphic.record.data(), PageGraphicLayout::kSize)) {
        return false;
    }
    graphic.page = page;
    return true;
}

}  // namespace orvex
