#include "expressions/cuesheet.h"

#include <algorithm>
#include <array>
#include <climits>
#include <fstream>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "core/free_texts.h"
#include "core/host/document_writes.h"
#include "core/host/finxess.h"
#include "core/host/host_imports.h"
#include "core/host/smart_shapes.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "expressions/txtexpr.h"
#include "platform/hostapi/expression_records.h"
#include "platform/hostapi/layout_records.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

using hostapi::Edu;
using hostapi::kInterfaceVersion;

constexpr hostapi::Tag kTagMeasureExpression = hostapi::kTagMeasureExpression;
using hostapi::kTagLineStyle;

/// 'otDY' (measure, inci), 12 bytes: the placement of a text expression in a measure.
struct PlacementLayout {
    static constexpr size_t kExpression = 0;  ///< @0, i16, expression number
    static constexpr size_t kPosition = 2;    ///< @2, i16, EDU from the measure's start
    static constexpr size_t kVertical = 4;    ///< @4, i16, vertical offset
    // Bytes 6-9 are 0.
    static constexpr size_t kStaff = 10;  ///< @10, u16, 0x1000 + the staff for one staff
};
constexpr uint16_t kOneStaff = 0x1000;

/// 'SOMS' flags: the measure has smart shapes (word at byte 8), measure expressions (byte 10).
constexpr uint16_t kMeasureHasShapes = 0x2000;
constexpr uint16_t kMeasureHasExpressions = 0x4000;

/// A tempo mark's flags word; its word 4 holds the tempo, its word 6 the beat's length.
constexpr uint16_t kTempoMarkFlags = 0x1001;
/// Style words: bold, italic, none.
constexpr uint16_t kStyleBold = 1;
constexpr uint16_t kStyleItalic = 2;
constexpr uint16_t kStylePlain = 0;

constexpr int32_t kTitleFileVertical = 122;
constexpr int32_t kTitleDateVertical = 66;
/// The three texts of a hit stand this far below the hits' position.
constexpr int32_t kHitSecondBelow = 56;
constexpr int32_t kHitDescriptionBelow = 133;
/// The hit's description is this much larger than the other texts.
constexpr int32_t kHitDescriptionLarger = 4;
/// The marker lines stand this far above the hits' position.
constexpr int32_t kMarkerAbove = 33;

constexpr Edu kWholeMeasureUnit = 4096;
constexpr Edu kDefaultBeatLength = 1024;
constexpr int32_t kDefaultBeats = 4;
constexpr int32_t kDefaultBeatUnit = 4;
constexpr int32_t kDefaultTempo = 120;
constexpr int32_t kReadRetries = 5;
constexpr size_t kLastField = 10;
/// Line style records are looked for among these keys.
constexpr int32_t kLastLineStyleKey = 199;

using PlaybackBytes = std::array<uint8_t, 12>;

// clang-format off
/// The 'otDe' data of the title texts and "Start: ", of a hit's time texts and of its description.
constexpr PlaybackBytes kTitlePlayback = {
    0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x02, 0x00, 0xA0, 0x00, 0x01, 0x10};
constexpr PlaybackBytes kHitPlayback = {
    0x0E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0xA0, 0x00, 0x01, 0x10};
constexpr PlaybackBytes kHitDescriptionPlayback = {
    0x00, 0x00, 0x00, 0x00, 0xF2, 0xFF, 0x02, 0x00, 0xA0, 0x00, 0x01, 0x10};

/// The two line styles of a hit's marker lines ('O\x06ls', 72 bytes); B differs in bytes 22-27.
constexpr std::array<uint8_t, 28> kLineStyleHead = {
    0x00, 0x00, 0xC0, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 0-13
    0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x0E, 0x00, 0x00, 0x01, 0x00,  // 14-27
};
constexpr std::array<uint8_t, 6> kLineStyleBTail = {0xC0, 0xF1, 0xFF, 0xFF, 0xFF, 0xFF};  // 22-27

/// The smart shape of a marker line, before its staff, measures, positions and line style are set.
constexpr std::array<uint8_t, 84> kMarkerShape = {
    0x1D, 0x00, 0x01, 0x86, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 0-15
    0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00,  // 16-31
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // 32-47
    0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0xFE, 0xFF,  // 48-63
    0x00, 0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00, 0x00,  // 64-79
    0x00, 0x00, 0x00, 0x00,                                                                          // 80-83
};
// clang-format on

/// The fields of the marker shape that the import sets.
struct MarkerShapeLayout {
    static constexpr size_t kStartStaff = 6;      ///< @6, u16
    static constexpr size_t kStartMeasure = 8;    ///< @8, u16
    static constexpr size_t kStart = 10;          ///< @10, i32, EDU
    static constexpr size_t kStartVertical = 16;  ///< @16, u16
    static constexpr size_t kEndStaff = 36;       ///< @36, u16
    static constexpr size_t kEndMeasure = 38;     ///< @38, u16
    static constexpr size_t kEnd = 40;            ///< @40, i32, EDU
    static constexpr size_t kEndVertical = 46;    ///< @46, u16
    static constexpr size_t kLineStyle = 80;      ///< @80, u16, key of the line style record
};
static_assert(MarkerShapeLayout::kLineStyle + 2 <= SmartShapeRecord::kSize);

using LineStyleRecord = std::array<uint8_t, 72>;

LineStyleRecord LineStyle(bool second) {
    LineStyleRecord record{};
    std::copy(kLineStyleHead.begin(), kLineStyleHead.end(), record.begin());
    if (second) {
        std::copy(kLineStyleBTail.begin(), kLineStyleBTail.end(), record.begin() + 22);
    }
    return record;
}

std::string Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

/// The text as a whole number (blanks around it allowed); none when it is not one.
std::optional<int32_t> NumberOf(std::string_view text) {
    const std::string trimmed = Trimmed(text);
    size_t at = 0;
    const bool negative = !trimmed.empty() && (trimmed[0] == '-' || trimmed[0] == '+');
    if (negative) {
        at = 1;
    }
    if (at >= trimmed.size()) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (; at < trimmed.size(); ++at) {
        const char c = trimmed[at];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) {
            return std::nullopt;
        }
    }
    return static_cast<int32_t>(trimmed[0] == '-' ? -value : value);
}

int32_t NumberOr(std::string_view text, int32_t fallback) {
    return NumberOf(text).value_or(fallback);
}

/// The text without the leading characters `c`.
std::string WithoutLeading(std::string text, char c) {
    text.erase(0, text.find_first_not_of(c) == std::string::npos ? text.size() : text.find_first_not_of(c));
    return text;
}

/// Pads the shorter of the two texts with blanks to the other's length.
void PadToSameLength(std::string& a, std::string& b) {
    const size_t length = std::max(a.size(), b.size());
    a.resize(length, ' ');
    b.resize(length, ' ');
}

std::string WithoutPrefix(const std::string& text, std::string_view prefix) {
    return text.starts_with(prefix) ? text.substr(prefix.size()) : text;
}

bool IsMeasure(int32_t measure) {
    return measure >= 1 && measure <= INT16_MAX;
}

/// One run of the import over one cue file.
class CueSheetImport {
public:
    CueSheetImport(TFMisc& context, const hostapi::SelectionRecord& region) : m_context(context) {
        m_fontName = win::Utf8ToAnsi(Trimmed(RowText(context.Options, CUE_ROW_FONT)));
        m_size = RowValue(m_context.Options, CUE_ROW_SIZE);
        // The texts go on the staff of the selection's last staff slot (in its view).
        m_staff = StaffOfSlot(region.lastStaff(), region.hostWord());
    }

    /// One line of the file, its characters below 0x20 already taken away.
    void ReadLine(std::string rest);
    /// The measures that lines named but the document lacks, in ascending order.
    std::vector<int32_t> MissingMeasures() const;

private:
    bool Improved() const { return RowOn(m_context.Options, CUE_ROW_IMPROVED); }

    void ReadField(size_t field, const std::string& text);
    void TitleBlock(const std::string& date);
    void Meter(const std::string& text);
    void Tempo(const std::string& text);
    void Smpte(const std::string& text);
    void Hit(const std::string& smpte);
    void HitMarker();

    /// The number of the expression with this text and look, made when the document has none.
    int32_t Expression(const std::string& text, uint16_t style, int32_t size = 0, uint16_t flags = 0,
                       uint16_t word4 = 0, int16_t word6 = 0);
    /// Gives the expression its playback data and writes it to the document.
    void GivePlayback(int32_t number, const PlaybackBytes& playback);
    /// Places the expression in a measure; the measure is marked as holding measure expressions.
    void Place(int32_t number, int32_t measure, Edu position, int32_t vertical);
    /// Sets a bit of one of the measure record's flag words.
    static void MarkMeasure(int32_t measure, size_t word, uint16_t bit);
    /// The keys of the two line styles of the marker lines, made when the document lacks them.
    bool LineStyleKeys();

    TFMisc& m_context;
    std::string m_fontName;
    int32_t m_size = 0;
    int16_t m_staff = 0;
    int32_t m_lineNumber = 0;
    std::string m_lastTempo;  ///< the last tempo mark's text, across lines
    std::string m_streamer;   ///< a streamer kept for the hit on the next line
    std::array<int32_t, 2> m_lineStyles{};

    // The line being read.
    bool m_timing = false;
    bool m_hitLine = false;
    int32_t m_measure = 0;
    bool m_measureExists = false;
    std::set<int32_t> m_missingMeasures;
    int32_t m_beat = 1;
    Edu m_beatLength = kDefaultBeatLength;
    std::string m_cue;
    std::string m_project;
    std::string m_hitTime;
    std::string m_description;
};

Edu LinePosition(int32_t beat, Edu beatLength) {
    // A placement holds its position in 16 bits; a beat before the first stays at the start.
    const int64_t position = (static_cast<int64_t>(beat) - 1) * beatLength;
    return static_cast<Edu>(std::clamp<int64_t>(position, 0, INT16_MAX));
}

void CueSheetImport::ReadLine(std::string rest) {
    ++m_lineNumber;
    m_timing = false;
    m_hitLine = false;
    m_measure = 0;
    m_measureExists = false;
    m_beat = 1;
    m_beatLength = kDefaultBeatLength;
    m_cue.clear();
    m_project.clear();
    m_hitTime.clear();
    m_description.clear();
    // A line has one field more than it has commas: empty fields at its end are read too (an
    // empty streamer field clears the kept streamer, an empty SMPTE field still makes a hit).
    const size_t fields = static_cast<size_t>(std::count(rest.begin(), rest.end(), ',')) + 1;
    for (size_t field = 1; field <= std::min(fields, kLastField); ++field) {
        ReadField(field, CutTokenAtDelimiter(rest, ','));
    }
}

std::vector<int32_t> CueSheetImport::MissingMeasures() const {
    return {m_missingMeasures.begin(), m_missingMeasures.end()};
}

void CueSheetImport::ReadField(size_t field, const std::string& text) {
    const bool titleLine = m_lineNumber == 1;
    const bool measure = IsMeasure(m_measure) && m_measureExists;
    switch (field) {
        case 1:
            m_timing = text == "-";
            m_hitLine = text == "HIT";
            if (titleLine) {
                m_cue = text;
            }
            break;
        case 2: {
            m_measure = titleLine ? 1 : NumberOr(text, 1);
            if (titleLine) {
                m_project = text;
            }
            // A line for a measure the document lacks places nothing; the user hears of it at the end.
            EDTMeasureSpec record;
            m_measureExists = IsMeasure(m_measure) && LoadMeasureSpec(m_measure, record);
            if (!m_measureExists && !titleLine) {
                m_missingMeasures.insert(m_measure);
            }
            break;
        }
        case 3:
            if (!m_timing) {
                m_beat = NumberOr(text, 1);
            }
            if (titleLine) {
                TitleBlock(text);
            }
            break;
        case 4:
            if (m_timing && measure) {
                Meter(text);
            }
            m_hitTime = text;
            break;
        case 6:
            if (m_hitLine && RowOn(m_context.Options, CUE_ROW_HITS) && measure) {
                m_description = text;
            } else if (m_timing && RowOn(m_context.Options, CUE_ROW_TEMPO) && measure) {
                Tempo(text);
            }
            break;
        case 7:
            if (m_timing && RowOn(m_context.Options, CUE_ROW_SMPTE) && measure) {
                Smpte(text);
            } else if (m_hitLine && m_measure > 1 && measure && RowOn(m_context.Options, CUE_ROW_HITS)) {
                Hit(text);
            }
            break;
        case 8:
            if (m_timing && RowOn(m_context.Options, CUE_ROW_ELAPSED) && measure && !text.empty()) {
                std::string elapsed = text;
                if (Improved()) {
                    std::string cut = elapsed;
                    elapsed = WithoutLeading(CutTokenAtDelimiter(cut, '.'), '0');
                }
                if (!elapsed.empty()) {
                    Place(Expression(elapsed, kStylePlain), m_measure, 0, RowValue(m_context.Options, CUE_ROW_ELAPSED));
                }
            }
            break;
        case 9:
            if (RowOn(m_context.Options, CUE_ROW_VISUALS) && measure && !text.empty()) {
                Place(Expression(text, kStylePlain), m_measure, 0, RowValue(m_context.Options, CUE_ROW_VISUALS));
            }
            break;
        case 10:
            m_streamer.clear();
            if (m_timing && measure && text != "5-FLTR" && !text.empty()) {
                if (Improved()) {
                    m_streamer = text;  // it goes with the hit on the next line
                } else if (RowOn(m_context.Options, CUE_ROW_STREAMERS)) {
                    Place(Expression(text, kStylePlain), m_measure, 0, RowValue(m_context.Options, CUE_ROW_STREAMERS));
                }
            }
            break;
        default:
            break;  // field 5 is not read
    }
}

void CueSheetImport::TitleBlock(const std::string& date) {
    std::string file = "File: " + WithoutPrefix(m_project, "Project: ") + " " + WithoutPrefix(m_cue, "Cue: ");
    std::string dated = "Date: " + date;
    PadToSameLength(file, dated);
    const Edu position = LinePosition(m_beat, m_beatLength);
    const int32_t fileNumber = Expression(file, kStyleBold);
    GivePlayback(fileNumber, kTitlePlayback);
    Place(fileNumber, 1, position, kTitleFileVertical);
    const int32_t dateNumber = Expression(dated, kStyleBold);
    GivePlayback(dateNumber, kTitlePlayback);
    Place(dateNumber, 1, position, kTitleDateVertical);
    MarkMeasure(1, EDTMeasureSpec::kMoreFlags, kMeasureHasExpressions);
}

void CueSheetImport::Meter(const std::string& text) {
    std::string beats = text;
    const std::string before = CutTokenAtDelimiter(beats, '|');
    // A meter that is no number, or none that a measure can hold, is the common 4/4.
    int32_t count = NumberOr(before, kDefaultBeats);
    if (count < 1 || count > INT16_MAX) {
        count = kDefaultBeats;
    }
    int32_t unit = NumberOr(beats, kDefaultBeatUnit);
    if (unit < 1 || unit > kWholeMeasureUnit) {
        unit = kDefaultBeatUnit;
    }
    m_beatLength = kWholeMeasureUnit / unit;
    EDTMeasureSpec record;
    if (!LoadMeasureSpec(m_measure, record)) {
        return;
    }
    record.setWord(EDTMeasureSpec::kBeats / 2, static_cast<int16_t>(count));
    record.setWord(EDTMeasureSpec::kBeatDuration / 2, static_cast<int16_t>(m_beatLength));
    record.setWord(EDTMeasureSpec::kMoreFlags / 2,
                   static_cast<int16_t>(record.word(EDTMeasureSpec::kMoreFlags / 2) | kMeasureHasExpressions));
    SaveMeasureSpec(m_measure, record);
}

void CueSheetImport::Tempo(const std::string& text) {
    std::string cut = text;
    const int32_t tempo = NumberOr(CutTokenAtDelimiter(cut, '.'), kDefaultTempo);
    const std::string mark = "MM " + std::to_string(tempo);
    if (mark == m_lastTempo) {
        return;
    }
    m_lastTempo = mark;
    if (m_measure == 1 || !Improved()) {
        const int32_t number = Expression(mark, kStyleBold, 0, kTempoMarkFlags, static_cast<uint16_t>(tempo),
                                          static_cast<int16_t>(m_beatLength));
        Place(number, m_measure, 0, RowValue(m_context.Options, CUE_ROW_TEMPO));
    }
}

void CueSheetImport::Smpte(const std::string& text) {
    if (text.empty()) {
        return;
    }
    const Edu position = LinePosition(m_beat, m_beatLength);
    if (Improved() && m_measure == 1) {
        const int32_t number = Expression("Start: " + text, kStyleBold);
        GivePlayback(number, kTitlePlayback);
        Place(number, m_measure, position, RowValue(m_context.Options, CUE_ROW_SMPTE));
    } else {
        Place(Expression(text, kStyleItalic), m_measure, position, RowValue(m_context.Options, CUE_ROW_SMPTE));
    }
}

void CueSheetImport::Hit(const std::string& smpte) {
    std::string time = WithoutLeading(WithoutLeading(m_hitTime, '0'), ':');
    if (!m_lastTempo.empty()) {
        time += " " + m_lastTempo;
    }
    std::string second = smpte;
    if (!m_streamer.empty()) {
        second += "/" + m_streamer;
    }
    PadToSameLength(time, second);
    const Edu position = LinePosition(m_beat, m_beatLength);
    const int32_t hits = RowValue(m_context.Options, CUE_ROW_HITS);
    const int32_t timeNumber = Expression(" " + time, kStylePlain);
    GivePlayback(timeNumber, kHitPlayback);
    const int32_t secondNumber = Expression(" " + second, kStylePlain);
    GivePlayback(secondNumber, kHitPlayback);
    const int32_t descriptionNumber =
        Expression(" " + m_description + " ", kStylePlain, m_size + kHitDescriptionLarger);
    GivePlayback(descriptionNumber, kHitDescriptionPlayback);
    Place(timeNumber, m_measure, position, hits);
    Place(secondNumber, m_measure, position, hits - kHitSecondBelow);
    Place(descriptionNumber, m_measure, position, hits - kHitDescriptionBelow);
    if (smpte != "-") {
        HitMarker();
    }
}

void CueSheetImport::HitMarker() {
    if (!LineStyleKeys()) {
        return;
    }
    const Edu hit = LinePosition(m_beat, m_beatLength);
    // The lines start the streamer's length before the hit, back into earlier measures when
    // they must, never before the start of measure 1.
    int32_t startMeasure = m_measure;
    int64_t start = static_cast<int64_t>(hit) - RowValue(m_context.Options, CUE_ROW_STREAMER_LENGTH);
    while (start < 0 && startMeasure > 1) {
        --startMeasure;
        start += MeasureLengthOrDefault(0, static_cast<hostapi::MeasureNumber>(startMeasure));
    }
    start = std::max<int64_t>(start, 0);

    const auto vertical = static_cast<uint16_t>(RowValue(m_context.Options, CUE_ROW_HITS) + kMarkerAbove);
    for (const int32_t lineStyle : m_lineStyles) {
        SmartShapeRecord shape;
        std::copy(kMarkerShape.begin(), kMarkerShape.end(), shape.bytes.begin());
        uint8_t* bytes = shape.data();
        hostapi::WriteU16(bytes, MarkerShapeLayout::kStartStaff, static_cast<uint16_t>(m_staff));
        hostapi::WriteU16(bytes, MarkerShapeLayout::kEndStaff, static_cast<uint16_t>(m_staff));
        hostapi::WriteU16(bytes, MarkerShapeLayout::kStartMeasure, static_cast<uint16_t>(startMeasure));
        hostapi::WriteI32(bytes, MarkerShapeLayout::kStart, static_cast<int32_t>(start));
        hostapi::WriteU16(bytes, MarkerShapeLayout::kStartVertical, vertical);
        hostapi::WriteU16(bytes, MarkerShapeLayout::kEndVertical, vertical);
        hostapi::WriteU16(bytes, MarkerShapeLayout::kEndMeasure, static_cast<uint16_t>(m_measure));
        hostapi::WriteI32(bytes, MarkerShapeLayout::kEnd, hit);
        hostapi::WriteU16(bytes, MarkerShapeLayout::kLineStyle, static_cast<uint16_t>(lineStyle));
        int32_t number = 0;
        if (!CreateSmartShapeRecord(number, shape)) {
            continue;
        }
        Record12 link;
        hostapi::WriteI16(link.data(), hostapi::ShapeLinkLayout::kShape, static_cast<int16_t>(number));
        for (int32_t measure = startMeasure; measure <= m_measure; ++measure) {
            int32_t cmper = measure;
            int32_t inci = -1;
            CreateOtherRecord(hostapi::kTagShapeMeasureLink, cmper, inci, link.data(), Record12::kSize);
            MarkMeasure(measure, EDTMeasureSpec::kFlags, kMeasureHasShapes);
        }
    }
}

bool CueSheetImport::LineStyleKeys() {
    if (m_lineStyles[0] != 0 && m_lineStyles[1] != 0) {
        return true;
    }
    const std::array<LineStyleRecord, 2> wanted = {LineStyle(false), LineStyle(true)};
    for (int32_t key = 1; key <= kLastLineStyleKey; ++key) {
        LineStyleRecord stored{};
        if (!LoadWholeOtherRecord(kTagLineStyle, key, 0, stored.data(), static_cast<int32_t>(stored.size()))) {
            continue;
        }
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (m_lineStyles[i] == 0 && stored == wanted[i]) {
                m_lineStyles[i] = key;
            }
        }
    }
    for (size_t i = 0; i < wanted.size(); ++i) {
        if (m_lineStyles[i] != 0) {
            continue;
        }
        int32_t key = -1;
        int32_t inci = 0;
        if (!CreateOtherRecord(kTagLineStyle, key, inci, wanted[i].data(), static_cast<int32_t>(wanted[i].size()))) {
            return false;
        }
        m_lineStyles[i] = key;
    }
    return true;
}

int32_t CueSheetImport::Expression(const std::string& text, uint16_t style, int32_t size, uint16_t flags,
                                   uint16_t word4, int16_t word6) {
    return TextExpressionTable().FindOrCreate(text, m_fontName.empty() ? nullptr : m_fontName.c_str(),
                                              size != 0 ? size : m_size, style, flags, word4, word6, 0);
}

void CueSheetImport::GivePlayback(int32_t number, const PlaybackBytes& playback) {
    // The table's positions follow its display order, which an instant sort may have changed.
    TTextExpressions& table = TextExpressionTable();
    for (int32_t position = 0; position < table.ExpressionCount(); ++position) {
        TTxtExprRec& record = table.Item(position);
        if (record.Number != number || record.NotRead != 0) {
            continue;
        }
        record.Playback = playback;
        record.SetFlags(static_cast<uint16_t>(record.Flags() | kExpressionHasPlayback));
        table.WriteBack(position + 1, false);
        return;
    }
}

void CueSheetImport::Place(int32_t number, int32_t measure, Edu position, int32_t vertical) {
    if (number <= 0 || !IsMeasure(measure)) {
        return;
    }
    Record12 placement;
    uint8_t* bytes = placement.data();
    hostapi::WriteI16(bytes, PlacementLayout::kExpression, static_cast<int16_t>(number));
    hostapi::WriteI16(bytes, PlacementLayout::kPosition, static_cast<int16_t>(position));
    hostapi::WriteI16(bytes, PlacementLayout::kVertical, static_cast<int16_t>(vertical));
    hostapi::WriteU16(bytes, PlacementLayout::kStaff, static_cast<uint16_t>(m_staff + kOneStaff));
    int32_t cmper = measure;
    int32_t inci = -1;
    CreateOtherRecord(kTagMeasureExpression, cmper, inci, bytes, Record12::kSize);
    // Walks of the document (usage counts, renumbering after a sort) read the placements only of
    // measures marked as holding measure expressions.
    MarkMeasure(measure, EDTMeasureSpec::kMoreFlags, kMeasureHasExpressions);
}

void CueSheetImport::MarkMeasure(int32_t measure, size_t word, uint16_t bit) {
    EDTMeasureSpec record;
    if (!LoadMeasureSpec(measure, record)) {
        return;
    }
    const auto flags = static_cast<uint16_t>(record.word(word / 2));
    if ((flags & bit) != 0) {
        return;
    }
    record.setWord(word / 2, static_cast<int16_t>(flags | bit));
    SaveMeasureSpec(measure, record);
}

}  // namespace

std::string CutTokenAtDelimiter(std::string& text, char delimiter) {
    const size_t at = text.find(delimiter);
    std::string token = text.substr(0, at);
    text.erase(0, at == std::string::npos ? text.size() : at + 1);
    return token;
}

bool RunAuricleImport(TFMisc& context) {
    if (context.Environment.Region() == nullptr) {
        return false;
    }
    std::ifstream file(RowText(context.Options, CUE_ROW_FILE), std::ios::binary);
    if (!file.is_open()) {
        return false;
    }
    // The expressions are found in, and made through, a table that matches the document.
    TextExpressionTable().IsComplete();
    CueSheetImport import(context, *context.Environment.Region());
    std::string line;
    int32_t failedReads = 0;
    while (file.good()) {
        char c = 0;
        if (!file.get(c)) {
            if (file.eof() || ++failedReads > kReadRetries) {
                break;
            }
            file.clear();
            continue;
        }
        failedReads = 0;
        if (static_cast<unsigned char>(c) >= 0x20) {
            line.push_back(c);
        } else if (!line.empty()) {
            import.ReadLine(std::exchange(line, {}));
        }
    }
    if (!line.empty()) {
        import.ReadLine(std::move(line));
    }
    file.close();
    if (const std::vector<int32_t> missing = import.MissingMeasures(); !missing.empty()) {
        std::string list;
        for (const int32_t measure : missing) {
            list += (list.empty() ? "" : ", ") + std::to_string(measure);
        }
        ShowMessage(FreeText::CueSheetMissingMeasures, {list});
    }
    UpdateHostLayout();
    return true;
}

}  // namespace orvex
