// The families of the host's stored records, by tag. The family says how the three key words
// of a record are read:
//   other         word 0 = main key (cmper), word 1 = incidence (inci)
//   detail        word 0 = key 1, word 1 = key 2, word 2 = inci
//   entry detail  bytes 0-3 = i32 entry number, word 2 = inci
//   global        word 0 = key
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "platform/hostapi/types.h"

namespace hostapi {

enum class RecordFamily { Other, Detail, EntryDetail, Global };

struct RecordTagInfo {
    Tag tag;
    RecordFamily family;
    const char* what;
    /// The one size the host keeps records of this tag in; 0 when their sizes vary. A document
    /// file holding another size is damaged.
    size_t size = 0;
};

// clang-format off
inline constexpr std::array kRecordTags = {
    // Other records.
    RecordTagInfo{MakeTag("SOTX"), RecordFamily::Other, "text block header"},
    RecordTagInfo{MakeTag("txbl"), RecordFamily::Other, "text block characters"},
    RecordTagInfo{MakeTag("txve"), RecordFamily::Other, "lyric verse text"},
    RecordTagInfo{MakeTag("txch"), RecordFamily::Other, "lyric chorus text"},
    RecordTagInfo{MakeTag("txse"), RecordFamily::Other, "lyric section text"},
    RecordTagInfo{MakeTag("SOIS"), RecordFamily::Other, "staff"},
    RecordTagInfo{MakeTag("SOIu"), RecordFamily::Other, "staff list entry"},
    RecordTagInfo{MakeTag("SOIV"), RecordFamily::Other, "staff list"},
    RecordTagInfo{MakeTag("SOSS"), RecordFamily::Other, "staff system"},
    RecordTagInfo{MakeTag("O\x02SS"), RecordFamily::Other, "staff system (2001 form)"},
    RecordTagInfo{MakeTag("O\x02Sy"), RecordFamily::Other, "measure range of smart shapes"},
    RecordTagInfo{MakeTag("O\x02XI"), RecordFamily::Other, "staff list (2001 form)"},
    RecordTagInfo{MakeTag("O\x04IX"), RecordFamily::Other, "articulation definition", 48},
    RecordTagInfo{MakeTag("O\x07Sx"), RecordFamily::Other, "smart shape"},
    RecordTagInfo{MakeTag("O\x06ls"), RecordFamily::Other, "line style"},
    RecordTagInfo{MakeTag("SOPS"), RecordFamily::Other, "page"},
    RecordTagInfo{MakeTag("O\x02pT"), RecordFamily::Other, "page text"},
    RecordTagInfo{MakeTag("O\x03pg"), RecordFamily::Other, "page graphic"},
    RecordTagInfo{MakeTag("SOMS"), RecordFamily::Other, "measure"},
    RecordTagInfo{MakeTag("SOMN"), RecordFamily::Other, "measure number region"},
    RecordTagInfo{MakeTag("SODT"), RecordFamily::Other, "text expression definition"},
    RecordTagInfo{MakeTag("oNIK"), RecordFamily::Other, "key signature definition"},
    RecordTagInfo{MakeTag("otBC"), RecordFamily::Other, "beat chart element"},
    RecordTagInfo{MakeTag("otCE"), RecordFamily::Other, "clef change"},
    RecordTagInfo{MakeTag("otDe"), RecordFamily::Other, "text expression record"},
    RecordTagInfo{MakeTag("otDY"), RecordFamily::Other, "dynamics record"},
    RecordTagInfo{MakeTag("otDI"), RecordFamily::Other, "expression assignment"},
    RecordTagInfo{MakeTag("otDO"), RecordFamily::Other, "expression record"},
    RecordTagInfo{MakeTag("otDC"), RecordFamily::Other, "expression record"},
    RecordTagInfo{MakeTag("otdc"), RecordFamily::Other, "expression record"},
    RecordTagInfo{MakeTag("otFM"), RecordFamily::Other, "locked measures of a system"},
    RecordTagInfo{MakeTag("otFp"), RecordFamily::Other, "piece of a file path"},
    RecordTagInfo{MakeTag("otFd"), RecordFamily::Other, "file of a page graphic"},
    RecordTagInfo{MakeTag("otIO"), RecordFamily::Other, "record of the transfer"},
    RecordTagInfo{MakeTag("otio"), RecordFamily::Other, "record of the transfer"},
    RecordTagInfo{MakeTag("otMx"), RecordFamily::Other, "smart shape of a measure"},
    RecordTagInfo{MakeTag("otMN"), RecordFamily::Other, "measure number record"},
    RecordTagInfo{MakeTag("ot12"), RecordFamily::Other, "record of the transfer"},
    RecordTagInfo{MakeTag("ot23"), RecordFamily::Other, "record of the transfer"},
    RecordTagInfo{MakeTag("ot41"), RecordFamily::Other, "record of the transfer"},
    RecordTagInfo{MakeTag("ot95"), RecordFamily::Other, "clef definition"},
    RecordTagInfo{MakeTag("ot28"), RecordFamily::Other, "clef definition"},
    RecordTagInfo{MakeTag("ot29"), RecordFamily::Other, "clef definition"},
    RecordTagInfo{MakeTag("ot30"), RecordFamily::Other, "clef definition"},
    RecordTagInfo{MakeTag("ot31"), RecordFamily::Other, "clef definition"},
    RecordTagInfo{MakeTag("ot32"), RecordFamily::Other, "clef definition"},
    RecordTagInfo{MakeTag("ot33"), RecordFamily::Other, "clef definition"},
    RecordTagInfo{MakeTag("ot34"), RecordFamily::Other, "clef definition"},
    RecordTagInfo{MakeTag("ot35"), RecordFamily::Other, "clef definition"},
    // Detail records.
    RecordTagInfo{MakeTag("SDNG"), RecordFamily::Detail, "staff group"},
    RecordTagInfo{MakeTag("SDGF"), RecordFamily::Detail, "clef of a cell"},
    RecordTagInfo{MakeTag("SOSC"), RecordFamily::Detail, "staff record of a cell (staff, measure, position)"},
    RecordTagInfo{MakeTag("dtSU"), RecordFamily::Detail, "stem of an entry, up"},
    RecordTagInfo{MakeTag("dtsl"), RecordFamily::Detail, "stem of an entry, down"},
    RecordTagInfo{MakeTag("dtME"), RecordFamily::Detail, "MIDI event", 10},
    RecordTagInfo{MakeTag("dtGF"), RecordFamily::Detail, "cell detail"},
    RecordTagInfo{MakeTag("dtLP"), RecordFamily::Detail, "detail record"},
    // Entry detail records.
    RecordTagInfo{MakeTag("edED"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("edac"), RecordFamily::EntryDetail, "performance data of a note", 10},
    RecordTagInfo{MakeTag("edIM"), RecordFamily::EntryDetail, "articulation", 10},
    RecordTagInfo{MakeTag("edCN"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("E\x02" "cn"), RecordFamily::EntryDetail, "entry detail (2001 form)"},
    RecordTagInfo{MakeTag("E\x02" "Ah"), RecordFamily::EntryDetail, "note accidental (2001 form)"},
    RecordTagInfo{MakeTag("E\x02" "Ch"), RecordFamily::EntryDetail, "chord symbol"},
    RecordTagInfo{MakeTag("E\x03TP"), RecordFamily::EntryDetail, "tuplet", 30},
    RecordTagInfo{MakeTag("E\x03Ts"), RecordFamily::EntryDetail, "tie start of a note"},
    RecordTagInfo{MakeTag("E\x03Te"), RecordFamily::EntryDetail, "tie end of a note"},
    RecordTagInfo{MakeTag("edEx"), RecordFamily::EntryDetail, "smart shape of an entry"},
    RecordTagInfo{MakeTag("edve"), RecordFamily::EntryDetail, "lyric verse assignment"},
    RecordTagInfo{MakeTag("edse"), RecordFamily::EntryDetail, "lyric section assignment"},
    RecordTagInfo{MakeTag("edch"), RecordFamily::EntryDetail, "lyric chorus assignment"},
    RecordTagInfo{MakeTag("edsB"), RecordFamily::EntryDetail, "secondary beam break", 10},
    RecordTagInfo{MakeTag("edBL"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("edBH"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("edDE"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("edAS"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("edST"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("edSt"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("edLE"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("edUE"), RecordFamily::EntryDetail, "entry detail"},
    RecordTagInfo{MakeTag("eteE"), RecordFamily::EntryDetail, "entry detail"},
    // Global records.
    RecordTagInfo{MakeTag("pfLA"), RecordFamily::Global, "layer settings", 4},
    RecordTagInfo{MakeTag("pfdf"), RecordFamily::Global, "document preference"},
    RecordTagInfo{MakeTag("gbcf"), RecordFamily::Global, "clef definition"},
};
// clang-format on

/// Records whose last key word is a position in EDU rather than an incidence: the staff record
/// of a cell, 'SOSC' (staff, measure, position). The host reads that word as unsigned 16-bit, so
/// a position holds 0 to kMaxKeyPosition (a measure of up to sixteen whole notes); a delete does
/// not move the records at later positions, and a key of -1 asks for nothing new.
inline constexpr Edu kMaxKeyPosition = 65535;
constexpr bool IsPositionKeyedTag(Tag tag) {
    return tag == MakeTag("SOSC");
}

/// The tag's entry in the table, or nullopt for a tag the host does not know.
constexpr std::optional<RecordTagInfo> FindRecordTag(Tag tag) {
    for (const RecordTagInfo& info : kRecordTags) {
        if (info.tag == tag) {
            return info;
        }
    }
    return std::nullopt;
}

/// The tags of the entry detail family, in the table's order: the records kept under an entry's
/// number.
inline constexpr auto kEntryDetailTags = [] {
    constexpr size_t count = [] {
        size_t n = 0;
        for (const RecordTagInfo& info : kRecordTags) {
            n += info.family == RecordFamily::EntryDetail ? 1 : 0;
        }
        return n;
    }();
    std::array<Tag, count> tags{};
    size_t i = 0;
    for (const RecordTagInfo& info : kRecordTags) {
        if (info.family == RecordFamily::EntryDetail) {
            tags[i++] = info.tag;
        }
    }
    return tags;
}();

}  // namespace hostapi
