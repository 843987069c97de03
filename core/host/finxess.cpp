// Finxess: the generic record families, the 12-byte records, the fixed-tag wrappers and the
// searches over incidences.
#include "core/host/finxess.h"
#include "core/host/access_state.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

#include "core/host/document_writes.h"
#include "core/host/host_imports.h"
#include "core/host/host_info.h"
#include "core/host/record_integrity.h"
#include "platform/hostapi/layout_records.h"
#include "platform/hostapi/record_tags.h"

namespace orvex {
namespace {

using hostapi::kInterfaceVersion;

using hostapi::kTagMeasure;
using hostapi::kTagStaff;
using hostapi::kTagStaffGroup;
using hostapi::kTagStaffListEntry;
using hostapi::kTagTextBlock;
using hostapi::kTagTextBlockText;
/// The first word of the records found by value: the value they are found by (a note's
/// identifier in the note records, the tuplet's first word in a tuplet).
constexpr size_t kLookupValue = 0;
constexpr Tag kTagSorterRecord = hostapi::kTagExpression;
constexpr Tag kTagOtDe = hostapi::kTagExpressionPlayback;
constexpr Tag kTagOtDY = hostapi::kTagMeasureExpression;
constexpr Tag kTagEdED = hostapi::kTagNoteExpression;
constexpr Tag kTagEdsB = hostapi::kTagSecondaryBeamBreak;
constexpr Tag kTagEtp = hostapi::kTagTuplet;
constexpr Tag kTagEdCN = hostapi::kTagNotehead;
using hostapi::kTagNotehead2001;

constexpr int32_t kLastByValueInci = 999;
constexpr int32_t kLastDetailByValueInci = 19;
/// More incidences of one tag than an entry can hold records of (a bound on loops that delete them).
constexpr int32_t kMaxIncidences = 0x8000;

/// The keys block handed to the host: three i16 words.
struct Keys {
    std::array<int16_t, 3> words{};
    int16_t* data() { return words.data(); }

    /// The main key as written back: widened without sign.
    int32_t MainKey() const { return static_cast<uint16_t>(words[0]); }
    /// An inci as written back: with sign.
    int32_t Inci(size_t word) const { return words[word]; }
};

Keys OtherKeys(int32_t cmper, int32_t inci) {
    return Keys{{static_cast<int16_t>(cmper), static_cast<int16_t>(inci), 0}};
}

Keys DetailKeys(int32_t key1, int32_t key2, int32_t inci) {
    return Keys{{static_cast<int16_t>(key1), static_cast<int16_t>(key2), static_cast<int16_t>(inci)}};
}

/// An entry number fills bytes 0-3 of the keys, the inci word 2.
Keys EntryKeys(EntryNumber entry, int32_t inci) {
    Keys keys;
    auto* bytes = reinterpret_cast<uint8_t*>(keys.words.data());
    hostapi::WriteI32(bytes, 0, entry);
    keys.words[2] = static_cast<int16_t>(inci);
    return keys;
}

EntryNumber EntryOfKeys(const Keys& keys) {
    return hostapi::ReadI32(reinterpret_cast<const uint8_t*>(keys.words.data()), 0);
}

Keys GlobalKeys(int32_t key) {
    return Keys{{static_cast<int16_t>(key), 0, 0}};
}

bool Load(Tag tag, Keys keys, void* buffer, int32_t size) {
    const auto load = Imports().LoadRecord;
    int32_t copy = size;
    return load != nullptr && load(tag, keys.data(), buffer, &copy, kInterfaceVersion) != 0;
}

/// Loads a record of one layout of `size` bytes. A record the host holds with fewer bytes is
/// damaged: it is reported with the keys its family uses (`shown`), and the answer stays the
/// host's, as a load of any other record.
bool LoadWhole(Tag tag, Keys keys, void* buffer, int32_t size, std::initializer_list<int32_t> shown,
               hostapi::InterfaceVersion version = kInterfaceVersion) {
    const auto load = Imports().LoadRecord;
    int32_t copy = size;
    if (load == nullptr || load(tag, keys.data(), buffer, &copy, version) == 0) {
        return false;
    }
    CheckLoadedRecord(tag, keys.data(), shown, copy, size);
    return true;
}

/// Saves a record; a save that changes what the record held counts as a write to the document.
/// A record that loaded short is not written back padded: that save is refused and reported.
bool SaveOfVersion(Tag tag, Keys keys, const void* buffer, int32_t size, hostapi::InterfaceVersion version) {
    const auto save = Imports().SaveRecord;
    if (save == nullptr || RefusePaddedSave(tag, keys.data(), size)) {
        return false;
    }
    const bool changes = RecordSaveChanges(tag, keys.data(), buffer, size, version);
    if (save(tag, keys.data(), buffer, size, version) == 0) {
        return false;
    }
    if (changes) {
        CountDocumentWrite();
    }
    return true;
}

bool Save(Tag tag, Keys keys, const void* buffer, int32_t size) {
    return SaveOfVersion(tag, keys, buffer, size, kInterfaceVersion);
}

bool Create(Tag tag, Keys& keys, const void* buffer, int32_t size) {
    const auto create = Imports().CreateRecord;
    if (create == nullptr || create(tag, keys.data(), buffer, size, kInterfaceVersion) == 0) {
        return false;
    }
    CountDocumentWrite();
    return true;
}

bool Delete(Tag tag, Keys keys) {
    const auto erase = Imports().DeleteRecord;
    if (erase == nullptr || erase(tag, keys.data(), kInterfaceVersion) == 0) {
        return false;
    }
    CountDocumentWrite();
    return true;
}

bool Next(Tag tag, Keys& keys, void* buffer, int32_t size) {
    const auto next = Imports().NextRecord;
    return next != nullptr && next(tag, keys.data(), buffer, size, kInterfaceVersion) != 0;
}

bool Previous(Tag tag, Keys& keys, void* buffer, int32_t size) {
    const auto previous = Imports().PreviousRecord;
    return previous != nullptr && previous(tag, keys.data(), buffer, size, kInterfaceVersion) != 0;
}

}  // namespace

// ---- Generic families ----

bool LoadOtherRecord(Tag tag, int32_t cmper, int32_t inci, void* buffer, int32_t size) {
    return Load(tag, OtherKeys(cmper, inci), buffer, size);
}

bool LoadWholeOtherRecord(Tag tag, int32_t cmper, int32_t inci, void* buffer, int32_t size) {
    return LoadWhole(tag, OtherKeys(cmper, inci), buffer, size, {cmper, inci});
}

bool NextOtherRecord(Tag tag, int32_t& cmper, int32_t& inci, void* buffer, int32_t size) {
    Keys keys = OtherKeys(cmper, inci);
    if (!Next(tag, keys, buffer, size)) {
        return false;
    }
    cmper = keys.MainKey();
    inci = keys.Inci(1);
    return true;
}

bool SaveOtherRecord(Tag tag, int32_t cmper, int32_t inci, const void* buffer, int32_t size) {
    return Save(tag, OtherKeys(cmper, inci), buffer, size);
}

bool CreateOtherRecord(Tag tag, int32_t& cmper, int32_t& inci, const void* buffer, int32_t size) {
    Keys keys = OtherKeys(cmper, inci);
    if (!Create(tag, keys, buffer, size)) {
        return false;
    }
    cmper = keys.MainKey();
    inci = keys.Inci(1);
    return true;
}

bool DeleteOtherRecord(Tag tag, int32_t cmper, int32_t inci) {
    return Delete(tag, OtherKeys(cmper, inci));
}

bool LoadDetailRecord(Tag tag, int32_t key1, int32_t key2, void* buffer, int32_t size, int32_t inci) {
    return Load(tag, DetailKeys(key1, key2, inci), buffer, size);
}

bool LoadWholeDetailRecord(Tag tag, int32_t key1, int32_t key2, void* buffer, int32_t size, int32_t inci) {
    return LoadWhole(tag, DetailKeys(key1, key2, inci), buffer, size, {key1, key2, inci});
}

bool SaveDetailRecord(Tag tag, int32_t key1, int32_t key2, const void* buffer, int32_t size, int32_t inci) {
    return Save(tag, DetailKeys(key1, key2, inci), buffer, size);
}

bool CreateDetailRecord(Tag tag, int32_t key1, int32_t key2, const void* buffer, int32_t size, int32_t& inci) {
    Keys keys = DetailKeys(key1, key2, inci);
    if (!Create(tag, keys, buffer, size)) {
        return false;
    }
    inci = keys.Inci(2);
    return true;
}

bool DeleteDetailRecord(Tag tag, int32_t key1, int32_t key2, int32_t inci) {
    return Delete(tag, DetailKeys(key1, key2, inci));
}

bool PreviousDetailRecord(Tag tag, int32_t& key1, int32_t& key2, int32_t& inci) {
    Keys keys = DetailKeys(key1, key2, inci);
    if (!Previous(tag, keys, nullptr, 0)) {
        return false;
    }
    key1 = keys.Inci(0);
    key2 = keys.Inci(1);
    inci = keys.Inci(2);
    return true;
}

bool LoadEntryDetailRecord(Tag tag, EntryNumber entry, int32_t inci, void* buffer, int32_t size) {
    return Load(tag, EntryKeys(entry, inci), buffer, size);
}

bool LoadWholeEntryDetailRecord(Tag tag, EntryNumber entry, int32_t inci, void* buffer, int32_t size) {
    return LoadWhole(tag, EntryKeys(entry, inci), buffer, size, {entry, inci});
}

bool SaveEntryDetailRecord(Tag tag, EntryNumber entry, int32_t inci, const void* buffer, int32_t size) {
    return Save(tag, EntryKeys(entry, inci), buffer, size);
}

bool CreateEntryDetailRecord(Tag tag, EntryNumber& entry, int32_t& inci, const void* buffer, int32_t size) {
    Keys keys = EntryKeys(entry, inci);
    if (!Create(tag, keys, buffer, size)) {
        return false;
    }
    entry = EntryOfKeys(keys);
    inci = keys.Inci(2);
    return true;
}

bool LoadEntryDetailRecordBytes(Tag tag, EntryNumber entry, int32_t inci, std::vector<uint8_t>& bytes) {
    const auto load = Imports().LoadRecord;
    Keys keys = EntryKeys(entry, inci);
    int32_t size = 0;
    if (load == nullptr || load(tag, keys.data(), nullptr, &size, kInterfaceVersion) == 0 || size < 0) {
        return false;
    }
    bytes.assign(static_cast<size_t>(size), 0);
    return load(tag, keys.data(), bytes.data(), &size, kInterfaceVersion) != 0;
}

bool LoadTextRecord(Tag tag, int32_t cmper, int32_t inci, std::string& text) {
    const auto load = Imports().LoadRecord;
    Keys keys = OtherKeys(cmper, inci);
    int32_t size = 0;
    if (load == nullptr || load(tag, keys.data(), nullptr, &size, kInterfaceVersion) == 0 || size < 0) {
        return false;
    }
    std::vector<char> bytes(static_cast<size_t>(size) + 1, '\0');
    if (load(tag, keys.data(), bytes.data(), &size, kInterfaceVersion) == 0) {
        return false;
    }
    text.assign(bytes.data(), strnlen(bytes.data(), static_cast<size_t>(std::max(size, 0))));
    return true;
}

bool DeleteEntryDetailRecord(Tag tag, EntryNumber entry, int32_t inci) {
    return Delete(tag, EntryKeys(entry, inci));
}

void DeleteEntryDetailRecords(EntryNumber entry) {
    if (entry <= 0) {
        return;  // an entry the host has not numbered yet has no records
    }
    for (const Tag tag : hostapi::kEntryDetailTags) {
        // The later incidences move down as one goes; a store that refuses stops the loop.
        for (int32_t left = kMaxIncidences; left > 0 && DeleteEntryDetailRecord(tag, entry, 0); --left) {
        }
    }
}

bool LoadOtherRecordOfVersion(Tag tag, int32_t cmper, int32_t inci, void* buffer, int32_t size,
                              hostapi::InterfaceVersion version) {
    return LoadWhole(tag, OtherKeys(cmper, inci), buffer, size, {cmper, inci}, version);
}

bool SaveOtherRecordOfVersion(Tag tag, int32_t cmper, int32_t inci, const void* buffer, int32_t size,
                              hostapi::InterfaceVersion version) {
    return SaveOfVersion(tag, OtherKeys(cmper, inci), buffer, size, version);
}

bool LoadGlobalRecord(Tag tag, int32_t key, void* buffer, int32_t size) {
    return Load(tag, GlobalKeys(key), buffer, size);
}

bool LoadWholeGlobalRecord(Tag tag, int32_t key, void* buffer, int32_t size) {
    return LoadWhole(tag, GlobalKeys(key), buffer, size, {key});
}

bool SaveGlobalRecord(Tag tag, int32_t key, const void* buffer, int32_t size) {
    return Save(tag, GlobalKeys(key), buffer, size);
}

// ---- 12-byte records of a caller's tag ----

bool LoadSmallRecord(int32_t key, Record12& record, Tag tag) {
    return LoadWholeOtherRecord(tag, key, 0, record.data(), Record12::kSize);
}

bool SaveSmallRecord(int32_t key, const Record12& record, Tag tag) {
    return SaveOtherRecord(tag, key, 0, record.data(), Record12::kSize);
}

bool DeleteSmallRecord(int32_t key, Tag tag) {
    return DeleteOtherRecord(tag, key, 0);
}

// ---- Fixed-tag wrappers ----

bool LoadRecordSOTX(int32_t key, TextBlockHeader& header) {
    return LoadWholeOtherRecord(kTagTextBlock, key, 0, header.data(), TextBlockHeader::kSize);
}

bool SaveRecordSOTX(int32_t& key, const TextBlockHeader& header) {
    if (key != -1) {
        return SaveOtherRecord(kTagTextBlock, key, 0, header.data(), TextBlockHeader::kSize);
    }
    int32_t inci = 0;
    return CreateOtherRecord(kTagTextBlock, key, inci, header.data(), TextBlockHeader::kSize);
}

bool LoadRecordTxbl(int32_t key, int32_t inci, char* buffer, int32_t size) {
    return LoadStringRecord(key, buffer, std::min(size, static_cast<int32_t>(kTextBufferSize)), kTagTextBlockText,
                            inci);
}

bool SaveRecordTxbl(int32_t& key, std::string_view text) {
    return SaveOrCreateStringRecord(key, text, kTagTextBlockText);
}

bool LoadRecordSOIS(int32_t staff, StaffRecord& record) {
    return LoadWholeOtherRecord(kTagStaff, staff, 0, record.data(), StaffRecord::kSize);
}

bool SaveRecordSOIS(int32_t staff, const StaffRecord& record) {
    return SaveOtherRecord(kTagStaff, staff, 0, record.data(), StaffRecord::kSize);
}

bool CreateRecordSOIS(int32_t& staff, const StaffRecord& record) {
    int32_t inci = 0;
    staff = -1;
    return CreateOtherRecord(kTagStaff, staff, inci, record.data(), StaffRecord::kSize);
}

bool LoadInstrumentUsage(int32_t listKey, int32_t inci, InstrumentUsageRecord& record) {
    return LoadWholeOtherRecord(kTagStaffListEntry, listKey, inci, record.data(), InstrumentUsageRecord::kSize);
}

bool SaveInstrumentUsage(int32_t listKey, int32_t inci, InstrumentUsageRecord record) {
    // From 2001 the first entry of a system's list carries the list key and no position.
    if (inci == 0 && listKey > 0 && TheAccessLayer.host.year >= 2001) {
        hostapi::WriteI16(record.data(), InstrumentUsageRecord::kWord2, 0);
        hostapi::WriteI16(record.data(), InstrumentUsageRecord::kListKey, static_cast<int16_t>(listKey));
        hostapi::WriteU32(record.data(), InstrumentUsageRecord::kPosition, 0);
    }
    return SaveOtherRecord(kTagStaffListEntry, listKey, inci, record.data(), InstrumentUsageRecord::kSize);
}

bool DeleteInstrumentUsage(int32_t listKey, int32_t inci) {
    return DeleteOtherRecord(kTagStaffListEntry, listKey, inci);
}

bool LoadRecordSDNG(int32_t listKey, int32_t group, StaffGroupRecord& record) {
    return LoadWholeDetailRecord(kTagStaffGroup, listKey, group, record.data(), StaffGroupRecord::kSize, 0);
}

bool SaveRecordSDNG(int32_t listKey, int32_t group, const StaffGroupRecord& record) {
    return SaveDetailRecord(kTagStaffGroup, listKey, group, record.data(), StaffGroupRecord::kSize, 0);
}

bool DeleteRecordSDNG(int32_t listKey, int32_t group) {
    return DeleteDetailRecord(kTagStaffGroup, listKey, group, 0);
}

bool LoadMeasureSpec(int32_t measure, EDTMeasureSpec& record) {
    return LoadWholeOtherRecord(kTagMeasure, measure, 0, record.data(), EDTMeasureSpec::kSize);
}

bool SaveMeasureSpec(int32_t measure, const EDTMeasureSpec& record) {
    return SaveOtherRecord(kTagMeasure, measure, 0, record.data(), EDTMeasureSpec::kSize);
}

bool LoadRecordSODT(int32_t key, void* buffer, int32_t& size) {
    const auto load = Imports().LoadRecord;
    Keys keys = OtherKeys(key, 0);
    return load != nullptr && load(kTagSorterRecord, keys.data(), buffer, &size, kInterfaceVersion) != 0;
}

bool SaveRecordSODT(int32_t key, const void* buffer, int32_t size) {
    return SaveOtherRecord(kTagSorterRecord, key, 0, buffer, size);
}

bool DeleteRecordSODT(int32_t key) {
    return DeleteOtherRecord(kTagSorterRecord, key, 0);
}

bool LoadRecordOtDe(int32_t key, Record12& record) {
    return LoadWholeOtherRecord(kTagOtDe, key, 0, record.data(), Record12::kSize);
}

bool SaveRecordOtDe(int32_t key, Record12 record) {
    return SaveOtherRecord(kTagOtDe, key, 0, record.data(), Record12::kSize);
}

bool DeleteRecordOtDe(int32_t key) {
    return DeleteOtherRecord(kTagOtDe, key, 0);
}

bool LoadRecordOtDY(int32_t measure, int32_t inci, Record12& record) {
    return LoadWholeOtherRecord(kTagOtDY, measure, inci, record.data(), Record12::kSize);
}

bool SaveRecordOtDY(int32_t measure, int32_t inci, const Record12& record) {
    return SaveOtherRecord(kTagOtDY, measure, inci, record.data(), Record12::kSize);
}

bool LoadRecordEdED(EntryNumber entry, int32_t inci, Record10& record) {
    return LoadWholeEntryDetailRecord(kTagEdED, entry, inci, record.data(), Record10::kSize);
}

bool SaveRecordEdED(EntryNumber entry, int32_t inci, Record10 record) {
    return SaveEntryDetailRecord(kTagEdED, entry, inci, record.data(), Record10::kSize);
}

bool AppendRecordEdED(EntryNumber entry, Record10 record) {
    for (int32_t inci = 0; inci <= INT16_MAX; ++inci) {
        if (!LoadEntryDetailRecord(kTagEdED, entry, inci, nullptr, Record10::kSize)) {
            return SaveRecordEdED(entry, inci, record);
        }
    }
    return false;
}

Record10 TextExpressionLink(int32_t expression, int32_t horizontal, int32_t vertical) {
    using Layout = hostapi::NoteExpressionLayout;
    Record10 link;
    hostapi::WriteI16(link.data(), Layout::kNumber, static_cast<int16_t>(expression));
    hostapi::WriteI16(link.data(), Layout::kHorizontal, static_cast<int16_t>(horizontal));
    hostapi::WriteI16(link.data(), Layout::kVertical, static_cast<int16_t>(vertical));
    hostapi::WriteU16(link.data(), Layout::kFlags, Layout::kTextExpression);
    return link;
}

bool SaveEntryDetailEdsB(EntryNumber entry, const Record10& record) {
    return SaveEntryDetailRecord(kTagEdsB, entry, 0, record.data(), Record10::kSize);
}

bool DeleteEntryDetailEdsB(EntryNumber entry) {
    return DeleteEntryDetailRecord(kTagEdsB, entry, 0);
}

bool LoadRecordEtp(EntryNumber entry, int32_t inci, Record30& record) {
    return LoadWholeEntryDetailRecord(kTagEtp, entry, inci, record.data(), Record30::kSize);
}

bool SaveRecordEtp(EntryNumber entry, int32_t inci, const Record30& record) {
    return SaveEntryDetailRecord(kTagEtp, entry, inci, record.data(), Record30::kSize);
}

// ---- Records found by value ----

Tag ByValueTag(Tag tag) {
    return tag == kTagNotehead2001 && TheAccessLayer.host.year < 2001 ? kTagEdCN : tag;
}

bool FindRecordByValue(EntryNumber entry, int16_t value, Record10& record, int32_t& inci, Tag tag) {
    const Tag used = ByValueTag(tag);
    for (int32_t candidate = 0; candidate <= kLastByValueInci; ++candidate) {
        if (!LoadWholeEntryDetailRecord(used, entry, candidate, record.data(), Record10::kSize)) {
            return false;
        }
        if (value == -1 || hostapi::ReadI16(record.data(), kLookupValue) == value) {
            inci = candidate;
            return true;
        }
    }
    return false;
}

bool SaveRecordByValue(EntryNumber entry, Record10 record, int32_t inci, Tag tag) {
    return SaveEntryDetailRecord(ByValueTag(tag), entry, inci, record.data(), Record10::kSize);
}

bool CreateRecordByValue(EntryNumber entry, Record10 record, Tag tag) {
    int32_t inci = -1;
    return CreateEntryDetailRecord(ByValueTag(tag), entry, inci, record.data(), Record10::kSize);
}

bool FindDetailByValue(Tag tag, int32_t key1, int32_t key2, int16_t value, Record30& record, int32_t& inci) {
    for (int32_t candidate = 0; candidate <= kLastDetailByValueInci; ++candidate) {
        if (!LoadWholeDetailRecord(tag, key1, key2, record.data(), Record30::kSize, candidate)) {
            return false;
        }
        if (value == -1 || hostapi::ReadI16(record.data(), kLookupValue) == value) {
            inci = candidate;
            return true;
        }
    }
    return false;
}

bool SaveDetailRecord30(Tag tag, int32_t key1, int32_t key2, const Record30& record, int32_t inci) {
    return SaveDetailRecord(tag, key1, key2, record.data(), Record30::kSize, inci);
}

int32_t LastRecordKey(Tag tag, int32_t size, int32_t step, void* buffer, int32_t start) {
    if (!LoadOtherRecord(tag, start, 0, buffer, size)) {
        return 0;
    }
    int32_t last = start;
    int32_t inci = 0;
    // Gallop while keys are left; a step below 1 would never get on, so then only "next" walks.
    while (step > 0 && last + step <= INT16_MAX) {
        int32_t cmper = last + step;
        inci = 0;
        if (!LoadOtherRecord(tag, cmper, inci, buffer, size) && !NextOtherRecord(tag, cmper, inci, buffer, size)) {
            break;
        }
        last = cmper;
    }
    int32_t cmper = last;
    while (NextOtherRecord(tag, cmper, inci, buffer, size)) {
        last = cmper;
    }
    return last;
}

}  // namespace orvex
