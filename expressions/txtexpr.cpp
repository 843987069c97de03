#include "expressions/txtexpr.h"

#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/finxess_regions.h"
#include "core/host/host_imports.h"
#include "core/host_probes.h"
#include "core/module.h"
#include "core/run_environment.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/entry_records.h"
#include "platform/hostapi/expression_records.h"

namespace orvex {
namespace {

using hostapi::ReadI16;
using hostapi::ReadU16;
using hostapi::WriteI16;
using hostapi::WriteU16;

/// The expression number of a placement, in the measure records ('otDY') and the entry records
/// ('edED') alike.
constexpr size_t kPlacedExpression = hostapi::MeasureExpressionLayout::kNumber;
static_assert(kPlacedExpression == hostapi::NoteExpressionLayout::kNumber);
constexpr int32_t kPlaceholderSize = 11;  ///< points of a placeholder and a new record
constexpr const char* kPlaceholderFont = "Times New Roman";

// Placements of text expressions.
constexpr uint8_t kMeasureHasExpressions = 0x40;  ///< 'SOMS' byte 11
constexpr size_t kMeasureExpressionsByte = 11;
constexpr uint8_t kMeasureShapeExpression = 0x20;  ///< 'otDY' byte 11: a shape expression
constexpr size_t kMeasureKindByte = 11;
constexpr uint8_t kEntryHasExpressions = 0x01;  ///< entry byte 12
constexpr size_t kEntryExpressionsByte = hostapi::EntryLayout::kMoreFlags;
constexpr uint8_t kNoteTextExpression = 0x80;  ///< 'edED' byte 9: a text expression
constexpr size_t kNoteKindByte = 9;

struct SharedTableUnit {
    /// The zero record that Item answers outside the table.
    TTxtExprRec dummy;
    /// The shared table.
    std::unique_ptr<TTextExpressions> table;
};

SharedTableUnit& SharedTable() {
    return UnitState<SharedTableUnit>();
}

/// The font word of a placeholder and of a new record: "Times New Roman", 11 points.
uint16_t PlaceholderFontWord() {
    const int32_t font = std::max(HostFontNumber(kPlaceholderFont), 0);
    return static_cast<uint16_t>((kPlaceholderSize << 8) | (font & 0xFF));
}

bool ExpressionExists(int32_t number) {
    std::array<uint8_t, TextExpressionLayout::kLoadBuffer> buffer{};
    int32_t size = TextExpressionLayout::kLoadSize;
    return number >= 1 && LoadRecordSODT(number, buffer.data(), size);
}

/// Loads 'SODT' n into the buffer as the table reads it: into kLoadSize bytes first and, when it
/// fills them, whole at its real size, so that a long text is never cut (and written back cut).
/// `size` is the record's length.
bool LoadWholeExpression(int32_t n, std::vector<uint8_t>& buffer, int32_t& size) {
    buffer.assign(TextExpressionLayout::kLoadBuffer, 0);
    size = TextExpressionLayout::kLoadSize;
    if (!LoadRecordSODT(n, buffer.data(), size)) {
        return false;
    }
    int32_t whole = 0;
    if (size >= TextExpressionLayout::kLoadSize && LoadRecordSODT(n, nullptr, whole) &&
        whole > TextExpressionLayout::kLoadSize) {
        buffer.assign(static_cast<size_t>(whole) + 1, 0);
        size = whole;
        return LoadRecordSODT(n, buffer.data(), size);
    }
    size = std::clamp<int32_t>(size, 0, TextExpressionLayout::kLoadSize);
    return true;
}

/// Whether the text holds nothing but blanks and control characters.
bool BlankOnly(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

}  // namespace

bool HasAnyOfChars(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        return std::find(kDynamicsGlyphs.begin(), kDynamicsGlyphs.end(), static_cast<uint8_t>(c)) !=
               kDynamicsGlyphs.end();
    });
}

int32_t HostFontNumber(const char* name) {
    return !HostOffers(&HostImports::FontNumber) || name == nullptr ? -1 : FontNumberOf(name);
}

std::string HostFontName(int32_t number) {
    std::array<char, 256> buffer{};
    if (FontNameOf(static_cast<int16_t>(number), buffer.data()) == 0) {
        return {};
    }
    return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

// ---- TTxtExprRec ----

uint16_t TTxtExprRec::FontWord() const {
    return ReadU16(Header.data(), TextExpressionLayout::kFontWord);
}
void TTxtExprRec::SetFontWord(uint16_t word) {
    WriteU16(Header.data(), TextExpressionLayout::kFontWord, word);
}
uint16_t TTxtExprRec::Style() const {
    return ReadU16(Header.data(), TextExpressionLayout::kStyle);
}
void TTxtExprRec::SetStyle(uint16_t style) {
    WriteU16(Header.data(), TextExpressionLayout::kStyle, style);
}
uint16_t TTxtExprRec::Word4() const {
    return ReadU16(Header.data(), TextExpressionLayout::kWord4);
}
void TTxtExprRec::SetWord4(uint16_t value) {
    WriteU16(Header.data(), TextExpressionLayout::kWord4, value);
}
int16_t TTxtExprRec::Word6() const {
    return ReadI16(Header.data(), TextExpressionLayout::kWord6);
}
void TTxtExprRec::SetWord6(int16_t value) {
    WriteI16(Header.data(), TextExpressionLayout::kWord6, value);
}
uint16_t TTxtExprRec::Flags() const {
    return ReadU16(Header.data(), TextExpressionLayout::kFlags);
}
void TTxtExprRec::SetFlags(uint16_t flags) {
    WriteU16(Header.data(), TextExpressionLayout::kFlags, flags);
}

std::array<int32_t, 3> TTxtExprRec::Enclosure() const {
    using L = hostapi::ExpressionPlaybackLayout;
    return {hostapi::ReadI32(Playback.data(), L::kEnclosure0), hostapi::ReadI32(Playback.data(), L::kEnclosure1),
            hostapi::ReadI32(Playback.data(), L::kEnclosure2)};
}

void TTxtExprRec::SetEnclosure(const std::array<int32_t, 3>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        hostapi::WriteI32(Playback.data(), 4 * i, values[i]);
    }
}

std::string TTxtExprRec::PlainText() const {
    std::vector<char> buffer(Text.begin(), Text.end());
    buffer.push_back('\0');
    StripCaretCommands(buffer.data());
    return std::string(buffer.data());
}

// ---- The table ----

TTextExpressions::TTextExpressions() = default;
TTextExpressions::~TTextExpressions() = default;

TTxtExprRec& TTextExpressions::Item(int32_t position) {
    if (position < 0 || position >= Count()) {
        SharedTable().dummy = TTxtExprRec{};
        return SharedTable().dummy;
    }
    return *m_records[static_cast<size_t>(position)];
}

const TTxtExprRec& TTextExpressions::Item(int32_t position) const {
    if (position < 0 || position >= Count()) {
        SharedTable().dummy = TTxtExprRec{};
        return SharedTable().dummy;
    }
    return *m_records[static_cast<size_t>(position)];
}

void TTextExpressions::Clear() {
    m_records.clear();
}

void TTextExpressions::LoadFromDocument() {
    m_written = 0;
    Clear();
    m_analysed = 0;
    m_usageCounted = 0;
    m_sorted = 0;
    std::string title = m_windowTitle;
    m_otherDocument = GetHostWindowTitle(title) ? 1 : 0;
    m_windowTitle = title;
    m_stale = 0;
    m_lastNumber = 0;
    m_emptyMet = 0;

    std::vector<uint8_t> buffer;
    int32_t gapStart = 0;  // 0: no gap open
    for (int32_t n = 1; n <= kHighestExpressionNumber; ++n) {
        int32_t size = 0;
        if (!LoadWholeExpression(n, buffer, size)) {
            if (gapStart == 0) {
                gapStart = n;
            } else if (n - gapStart > kLongestGap) {
                break;
            }
            continue;
        }
        size = std::clamp<int32_t>(size, 0, static_cast<int32_t>(buffer.size()));
        if (gapStart != 0) {
            const uint16_t fontWord = PlaceholderFontWord();
            for (int32_t missing = gapStart; missing < n; ++missing) {
                auto placeholder = std::make_unique<TTxtExprRec>();
                placeholder->Number = static_cast<int16_t>(missing);
                std::copy_n(buffer.begin(), TextExpressionLayout::kHeaderSize, placeholder->Header.begin());
                placeholder->SetFontWord(fontWord);
                placeholder->Text = "empty: " + std::to_string(missing) + " (not read)";
                placeholder->StoredLength = static_cast<uint16_t>(placeholder->Text.size() + 13);
                placeholder->NotRead = 1;
                m_records.push_back(std::move(placeholder));
            }
            m_emptyMet = 1;
            gapStart = 0;
        }
        auto record = std::make_unique<TTxtExprRec>();
        record->Number = static_cast<int16_t>(n);
        record->StoredLength = static_cast<uint16_t>(std::min<int32_t>(size, UINT16_MAX));
        std::copy_n(buffer.begin(), TextExpressionLayout::kHeaderSize, record->Header.begin());
        const auto* text = reinterpret_cast<const char*>(buffer.data() + TextExpressionLayout::kText);
        const size_t room = static_cast<size_t>(std::max<int32_t>(size - int32_t{TextExpressionLayout::kText}, 0));
        record->Text.assign(text, strnlen(text, room));
        if (record->HasPlayback()) {
            Record12 playback;
            if (LoadRecordOtDe(n, playback)) {
                record->Playback = playback.bytes;
            } else {
                record->SetFlags(static_cast<uint16_t>(record->Flags() & ~kExpressionHasPlayback));
            }
        }
        m_records.push_back(std::move(record));
        m_lastNumber = n;
    }
    m_count = Count();
    LoadShortcuts();
}

void TTextExpressions::LoadShortcuts() {
    m_shortcuts.clear();
    for (int32_t key = 1; key <= kMetatoolCount; ++key) {
        EDTShortcut shortcut;
        if (!LoadSmallRecord(key, shortcut, kTagMetatool)) {
            shortcut = EDTShortcut{};
        }
        m_shortcuts.push_back(shortcut);
        const int32_t number = ReadU16(shortcut.data(), kMetatoolNumber);
        if (ReadI16(shortcut.data(), kMetatoolKind) == kMetatoolTextExpression && number >= 1 && number <= m_count &&
            number <= Count()) {
            m_records[static_cast<size_t>(number - 1)]->MetatoolKey = static_cast<uint8_t>(key);
        }
    }
}

bool TTextExpressions::CheckCurrent() {
    if (m_records.empty()) {
        m_stale = 1;
    }
    if (m_stale == 0) {
        const TTxtExprRec* record = m_records.back().get();
        if (record->MovedTo > 0 && record->Number != m_count) {
            record = &Item(record->MovedTo - 1);
        }
        if (record->Number != m_count || !ExpressionExists(m_count) || ExpressionExists(m_count + 1)) {
            m_stale = 1;
        }
    }
    if (m_stale == 0) {
        std::string title = m_windowTitle;
        if (GetHostWindowTitle(title)) {
            m_stale = 1;
        }
    }
    return m_stale == 0;
}

void TTextExpressions::IsComplete() {
    if (CheckCurrent()) {
        return;
    }
    LoadFromDocument();
    m_usageCounted = 0;
}

TTxtExprRec& TTextExpressions::NewRecord() {
    auto record = std::make_unique<TTxtExprRec>();
    record->StoredLength = TextExpressionLayout::kHeaderSize;
    record->Number = static_cast<int16_t>(m_count + 1);
    record->MovedTo = static_cast<int16_t>(m_count + 1);
    record->SetFontWord(PlaceholderFontWord());
    TTxtExprRec& added = *record;
    // Before the fillers of a sort, so that the record sits at the position of its number.
    m_records.insert(m_records.begin() + std::min(m_count, Count()), std::move(record));
    m_count = std::min(m_count + 1, Count());
    return added;
}

bool TTextExpressions::RemoveNewRecord() {
    if (m_count < 1 || m_count > Count() || m_records[static_cast<size_t>(m_count - 1)]->Number != m_count) {
        return false;
    }
    m_records.erase(m_records.begin() + (m_count - 1));
    --m_count;
    return true;
}

int32_t TTextExpressions::FindOrCreate(std::string_view text, const char* fontName, int32_t size, uint16_t style,
                                       uint16_t flags, uint16_t word4, int16_t word6, int32_t fontNumber) {
    if (fontName != nullptr) {
        fontNumber = HostFontNumber(fontName);
    }
    const uint16_t fontWord = static_cast<uint16_t>(((size & 0xFF) << 8) | (fontNumber & 0xFF));
    for (const auto& record : m_records) {
        if (record->Number != 0 && record->Text == text && record->FontWord() == fontWord && record->Style() == style &&
            (flags == 0 || record->Flags() == flags) && (word6 == 0 || record->Word6() == word6) &&
            (word4 == 0 || record->Word4() == word4)) {
            return record->Number;
        }
    }
    TTxtExprRec& record = NewRecord();
    record.Text = std::string(text);
    record.SetFontWord(fontWord);
    record.SetStyle(style);
    record.SetFlags(flags);
    record.SetWord6(word6);
    record.SetWord4(word4);
    Analyze(record, m_count - 1);
    // The record is written through the table that holds it (the callers pass the shared one).
    WriteBack(record.Number, false);
    return record.Number;
}

void TTextExpressions::WriteBack(int32_t number, bool renumber) {
    if (number < 1 || number > Count()) {
        return;
    }
    TTxtExprRec& record = *m_records[static_cast<size_t>(number - 1)];
    if (record.NotRead != 0) {
        return;
    }
    if (record.Text.empty()) {
        record.Text = " ";
    }
    std::vector<uint8_t> bytes(record.Header.begin(), record.Header.begin() + TextExpressionLayout::kText);
    bytes.insert(bytes.end(), record.Text.begin(), record.Text.end());
    bytes.push_back(0);
    record.StoredLength = static_cast<uint16_t>(std::min<size_t>(bytes.size(), UINT16_MAX));
    // Renumbering writes under the new number; otherwise everything goes under the record's own
    // number (also the deletion of its playback data).
    const int32_t target = renumber ? number : record.Number;
    SaveRecordSODT(target, bytes.data(), static_cast<int32_t>(bytes.size()));
    if (record.MetatoolKey > 0) {
        EDTShortcut shortcut;
        WriteU16(shortcut.data(), kMetatoolNumber, static_cast<uint16_t>(target));
        WriteI16(shortcut.data(), kMetatoolKind, kMetatoolTextExpression);
        SaveSmallRecord(record.MetatoolKey, shortcut, kTagMetatool);
    }
    if (!record.HasPlayback()) {
        DeleteRecordOtDe(target);
    } else {
        Record12 playback;
        playback.bytes = record.Playback;
        SaveRecordOtDe(target, playback);
    }
}

void TTextExpressions::WriteBackModified() {
    for (int32_t position = 0; position < Count(); ++position) {
        TTxtExprRec& record = *m_records[static_cast<size_t>(position)];
        if (record.Modified != 0 && record.NotRead == 0) {
            WriteBack(position + 1, false);
            record.Modified = 0;
            m_written = 1;
        }
    }
}

bool TTextExpressions::WalkExpressionAssignments(const ExpressionAssignmentVisitor& measure,
                                                 const ExpressionAssignmentVisitor& entry) {
    const hostapi::SelectionRecord region = DispatcherEnvironment().WholeDocument();
    const int32_t first = region.firstMeasure();
    const int32_t last = region.lastMeasure();
    ScopedEditBracket bracket(&region, std::max(last - first + 1, 0));
    // The placements a visitor changed are written only after the whole walk: a walk the user
    // stops changes nothing, so that no placement names an expression of another numbering.
    std::vector<std::tuple<int32_t, int32_t, Record12>> measureSaves;
    std::vector<std::tuple<EntryNumber, int32_t, Record10>> entrySaves;
    bool stopped = false;
    for (int32_t m = first; m >= 1 && m <= last && !stopped; ++m) {
        const auto measureNumber = static_cast<MeasureNumber>(m);
        if (!bracket.Step(0, measureNumber)) {
            stopped = true;
            break;
        }
        EDTMeasureSpec measureSpec;
        if (LoadMeasureSpec(m, measureSpec) &&
            (measureSpec.bytes[kMeasureExpressionsByte] & kMeasureHasExpressions) != 0) {
            for (int32_t inci = 0; inci <= INT16_MAX; ++inci) {
                Record12 placement;
                if (!LoadRecordOtDY(m, inci, placement)) {
                    break;
                }
                if ((placement.bytes[kMeasureKindByte] & kMeasureShapeExpression) == 0 && measure(placement.data())) {
                    measureSaves.emplace_back(m, inci, placement);
                }
            }
        }
        for (int32_t staff = region.firstStaff(); staff <= region.lastStaff(); ++staff) {
            for (LayerIndex layer = 0; layer < 4; ++layer) {
                const ScopedEntryArray array(region.viewKey(), static_cast<StaffSlot>(staff), measureNumber, layer);
                if (!array) {
                    continue;
                }
                for (int32_t i = 0; i < array->count; ++i) {
                    const hostapi::EntryView view = array->entry(i);
                    if ((view.data()[kEntryExpressionsByte] & kEntryHasExpressions) == 0) {
                        continue;
                    }
                    const EntryNumber number = view.number();
                    for (int32_t inci = 0; inci <= INT16_MAX; ++inci) {
                        Record10 placement;
                        if (!LoadRecordEdED(number, inci, placement)) {
                            break;
                        }
                        if ((placement.bytes[kNoteKindByte] & kNoteTextExpression) != 0 && entry(placement.data())) {
                            entrySaves.emplace_back(number, inci, placement);
                        }
                    }
                }
            }
        }
    }
    if (!stopped) {
        for (const auto& [m, inci, placement] : measureSaves) {
            SaveRecordOtDY(m, inci, placement);
        }
        for (const auto& [number, inci, placement] : entrySaves) {
            SaveRecordEdED(number, inci, placement);
        }
    }
    return stopped;  // the guard ends the display, as stopped when the user stopped it
}

bool TTextExpressions::CountUsage() {
    for (const auto& record : m_records) {
        record->UsageCount = 0;
    }
    const ExpressionAssignmentVisitor count = [this](uint8_t* placement) {
        const int32_t n = ReadI16(placement, kPlacedExpression);
        if (n < 1 || n > m_count || n > Count()) {
            return false;
        }
        TTxtExprRec& record = *m_records[static_cast<size_t>(n - 1)];
        if (record.MovedTo >= 1) {
            ++Item(record.MovedTo - 1).UsageCount;
        } else {
            ++record.UsageCount;
        }
        return false;
    };
    const bool stopped = WalkExpressionAssignments(count, count);
    m_usageCounted = 1;
    return !stopped;
}

bool TTextExpressions::RenumberDocument() {
    const ExpressionAssignmentVisitor renumber = [this](uint8_t* placement) {
        const int32_t n = ReadI16(placement, kPlacedExpression);
        // A placement whose expression has no new place (none in the table, or no mapping) keeps
        // its number.
        if (n >= 1 && n <= Count()) {
            const int16_t movedTo = m_records[static_cast<size_t>(n - 1)]->MovedTo;
            if (movedTo >= 1) {
                WriteI16(placement, kPlacedExpression, movedTo);
            }
        }
        return true;
    };
    if (WalkExpressionAssignments(renumber, renumber)) {
        // Stopped: the list stays as it was, so that no placement loses its expression.
        return false;
    }
    for (int32_t key = 0; key <= kMetatoolCount; ++key) {
        EDTShortcut shortcut;
        if (LoadSmallRecord(key, shortcut, kTagMetatool) &&
            ReadI16(shortcut.data(), kMetatoolKind) == kMetatoolTextExpression) {
            DeleteSmallRecord(key, kTagMetatool);
        }
    }
    for (int32_t position = 1; position <= m_count; ++position) {
        WriteBack(position, true);
    }
    for (int32_t number = m_count + 1; number <= m_lastNumber; ++number) {
        DeleteRecordSODT(number);
    }
    return true;
}

void TTextExpressions::Filter(int32_t key, int32_t atLeast, int32_t atMost, std::string_view search) {
    m_filteredCount = 0;
    const std::string wanted = LocaleUpper(search);
    const bool emptySearch = wanted == "(EMPTY EXPRESSIONS)" || wanted == "(LEERE BEZEICHNUNGEN)";
    for (int32_t position = 0; position < Count(); ++position) {
        TTxtExprRec& record = *m_records[static_cast<size_t>(position)];
        record.Shown = 0;
        record.FilterListEntry = 0;
        if (position >= m_count) {
            continue;  // a filler of a sort
        }
        bool shown = true;
        if ((key & 3) != 3) {
            const bool music = m_sortTables.Contains(HostFontName(record.FontNumber()));
            shown = ((key & 1) != 0 && !music) || ((key & 2) != 0 && music);
        }
        if ((key & 4) != 0 && (record.Flags() & 0xFF) == 0) {
            shown = false;
        }
        if ((key & 0x100) != 0 && record.MetatoolKey == 0) {
            shown = false;
        }
        if ((key & 8) != 0) {
            const std::string upper = LocaleUpper(record.Text);
            if (emptySearch) {
                const bool empty = BlankOnly(record.Text) || static_cast<int8_t>(record.FontSize()) < 3 ||
                                   upper.find("EMPTY:") != std::string::npos;
                shown = shown && empty;
            } else if (upper.find(wanted) == std::string::npos) {
                shown = false;
            }
        }
        const int32_t uses = record.UsageCount;
        switch ((key >> 4) & 7) {
            case 1:
                shown = shown && uses <= atMost && uses >= 1;
                break;
            case 2:
                shown = shown && uses >= atLeast;
                break;
            case 3:
                shown = shown && uses == 0;
                break;
            case 4:
                shown = shown && uses >= 1;
                break;
            default:
                break;
        }
        if (shown) {
            record.Shown = 1;
            m_records[static_cast<size_t>(m_filteredCount)]->FilterListEntry = static_cast<uint16_t>(position + 1);
            ++m_filteredCount;
        }
    }
}

TTextExpressions& TextExpressionTable() {
    if (!SharedTable().table) {
        SharedTable().table = std::make_unique<TTextExpressions>();
    }
    return *SharedTable().table;
}

void ForgetSharedExpressionTable() {
    SharedTable().table.reset();
    SharedTable().dummy = TTxtExprRec{};
}

}  // namespace orvex
