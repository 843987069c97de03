// The score builder: makes a document from readable music, for tests (this C++ interface) and
// for score texts (score_text.h). Each kind of music it knows is one method that writes the
// document's stored records; a new kind is a new method and, for score texts, a new line kind.
// Texts are given in UTF-8 and stored as the host's 8-bit texts.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/host/document.h"
#include "platform/hostapi/types.h"

namespace host {

/// The fields of a measure record that the builder sets.
struct MeasureSettings {
    static constexpr int16_t kDefaultWidth = 240;

    int16_t beats = 4;
    int16_t beatDuration = hostapi::kEduPerQuarter;  ///< EDU
    int16_t key = 0;                                 ///< key value: sharps (+) or flats (-), 0x100 minor
    int16_t width = kDefaultWidth;                   ///< EVPU
};

class ScoreBuilder {
public:
    explicit ScoreBuilder(std::string name = "Untitled");

    /// Font number `number` of the document's font table.
    ScoreBuilder& Font(int16_t number, std::string_view name);
    /// A staff ('SOIS', the next staff number) with its names as text blocks; an empty name
    /// leaves its field 0. The host places the staff at the end of the score's staff list.
    ScoreBuilder& Staff(std::string_view fullName, std::string_view abbreviatedName = {});
    /// `count` more measures ('SOMS'), numbered on from the last.
    ScoreBuilder& Measures(int32_t count, const MeasureSettings& settings = {});
    /// A text block: its characters ('txbl') and its header ('SOTX').
    ScoreBuilder& TextBlock(std::string_view text);

    /// The number of the last staff, measure and text block made (0 = none yet).
    hostapi::InstrumentKey LastStaff() const { return m_lastStaff; }
    hostapi::MeasureNumber LastMeasure() const { return m_lastMeasure; }
    hostapi::Cmper LastTextBlock() const { return m_lastTextBlock; }

    /// The document being built; throws std::logic_error after Build.
    Document& Current();
    /// Hands the document over; the builder is empty afterwards.
    std::unique_ptr<Document> Build();

private:
    hostapi::Cmper MakeTextBlock(std::string_view text);
    RecordKey Create(const RecordKey& key, Bytes bytes);

    std::unique_ptr<Document> m_document;
    hostapi::InstrumentKey m_lastStaff = 0;
    hostapi::MeasureNumber m_lastMeasure = 0;
    hostapi::Cmper m_lastTextBlock = 0;
};

}  // namespace host
