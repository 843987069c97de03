#include "platform/host/score_builder.h"

#include <stdexcept>

#include "platform/host/record_layouts.h"
#include "platform/hostapi/bytes.h"
#include "platform/win/system.h"

namespace host {

ScoreBuilder::ScoreBuilder(std::string name) : m_document(std::make_unique<Document>(std::move(name))) {}

ScoreBuilder& ScoreBuilder::Font(int16_t number, std::string_view name) {
    Current().Fonts()[number] = win::Utf8ToAnsi(name);
    return *this;
}

ScoreBuilder& ScoreBuilder::Staff(std::string_view fullName, std::string_view abbreviatedName) {
    Bytes staff(StaffLayout::kSize, 0);
    hostapi::WriteI16(staff.data(), StaffLayout::kFullName, fullName.empty() ? 0 : MakeTextBlock(fullName));
    hostapi::WriteI16(staff.data(), StaffLayout::kAbbreviatedName,
                      abbreviatedName.empty() ? 0 : MakeTextBlock(abbreviatedName));
    m_lastStaff = static_cast<hostapi::InstrumentKey>(Create(RecordKey::Other(kTagStaff, -1, 0), staff).first);
    return *this;
}

ScoreBuilder& ScoreBuilder::Measures(int32_t count, const MeasureSettings& settings) {
    if (count < 1 || count > INT16_MAX - m_lastMeasure) {
        throw std::invalid_argument("a document holds measures 1 to 32767; " + std::to_string(count) +
                                    " more do not fit after measure " + std::to_string(m_lastMeasure));
    }
    Bytes measure(MeasureLayout::kSize, 0);
    hostapi::WriteI16(measure.data(), MeasureLayout::kWidth, settings.width);
    hostapi::WriteI16(measure.data(), MeasureLayout::kKey, settings.key);
    hostapi::WriteI16(measure.data(), MeasureLayout::kBeats, settings.beats);
    hostapi::WriteI16(measure.data(), MeasureLayout::kBeatDuration, settings.beatDuration);
    for (int32_t i = 0; i < count; ++i) {
        ++m_lastMeasure;
        Current().Records().Save(RecordKey::Other(kTagMeasure, m_lastMeasure, 0), measure);
    }
    return *this;
}

ScoreBuilder& ScoreBuilder::TextBlock(std::string_view text) {
    MakeTextBlock(text);
    return *this;
}

std::unique_ptr<Document> ScoreBuilder::Build() {
    Current();
    return std::move(m_document);
}

hostapi::Cmper ScoreBuilder::MakeTextBlock(std::string_view text) {
    const std::string ansi = win::Utf8ToAnsi(text);
    Bytes characters(ansi.begin(), ansi.end());
    characters.push_back(0);
    const RecordKey textKey = Create(RecordKey::Other(kTagTextBlockText, -1, 0), std::move(characters));
    Bytes header(TextBlockLayout::kSize, 0);
    hostapi::WriteI16(header.data(), TextBlockLayout::kTextKey, static_cast<int16_t>(textKey.first));
    m_lastTextBlock = static_cast<hostapi::Cmper>(Create(RecordKey::Other(kTagTextBlock, -1, 0), header).first);
    return m_lastTextBlock;
}

Document& ScoreBuilder::Current() {
    if (!m_document) {
        throw std::logic_error("the score builder has handed its document over already");
    }
    return *m_document;
}

RecordKey ScoreBuilder::Create(const RecordKey& key, Bytes bytes) {
    const auto created = Current().CreateRecord(key, std::move(bytes));
    if (!created) {
        throw std::length_error("the document has no free key left for " + key.Description());
    }
    return *created;
}

}  // namespace host
