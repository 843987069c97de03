// Fuzz target: measure-number texts and caret commands. Input: the first byte chooses
//   0: the rest is a measure-number region record (88 bytes, the host's layout: first and end
//      measure, first digit, base, offset, prefix, suffix, flags) and after it a text that
//      Lumvar2000's StringToMeasure reads against the region. Every measure also goes through
//      MeasureToString and back where the region is one a user can make;
//   1: the rest is a text whose caret commands ("^font(Times)^size(12)") Lumvar2000's
//      StripCarets and Orvex188's caret stripper remove.
// No arithmetic on the values of the record may overflow.
#include <array>
#include <cstring>
#include <vector>

#include "core/host/finxess.h"
#include "platform/hostapi/bytes.h"
#include "service/lumvar_api.h"
#include "service/text_services.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/harness/in_process_host.h"

namespace {

using lumvar::MeasureNumberRegion;

constexpr const char* kScore = R"(
staff "Flute"
measures 12
)";

harness::InProcessHost& Host() {
    static harness::InProcessHost host(kScore);
    return host;
}

/// A region whose numbers read back: decimal digits from '0' without the correction of one
/// (flag 0x80; with the correction a shown "5" reads as the number 6), a first measure from 1
/// and an end after it within the document, an offset that keeps the numbers positive.
bool UsualRegion(const uint8_t* record) {
    const int16_t first = hostapi::ReadI16(record, MeasureNumberRegion::kFirstMeasure);
    const int16_t end = hostapi::ReadI16(record, MeasureNumberRegion::kEndMeasure);
    const int16_t digit = hostapi::ReadI16(record, MeasureNumberRegion::kFirstDigit);
    const int16_t base = hostapi::ReadI16(record, MeasureNumberRegion::kBase);
    const int16_t offset = hostapi::ReadI16(record, MeasureNumberRegion::kNumberOffset);
    const int16_t flags = hostapi::ReadI16(record, MeasureNumberRegion::kFlags);
    const int16_t known = MeasureNumberRegion::kRepeatedCharacter | MeasureNumberRegion::kDigitsFromOne |
                          MeasureNumberRegion::kNoCorrection;
    return first >= 1 && end > first && end <= 13 && base == 10 && digit == '0' && offset >= 0 && offset < 1000 &&
           (flags & known) == MeasureNumberRegion::kNoCorrection && record[MeasureNumberRegion::kPrefix] == 0 &&
           record[MeasureNumberRegion::kSuffix] == 0;
}

void RegionText(const uint8_t* data, size_t size) {
    std::vector<uint8_t> record(MeasureNumberRegion::kSize, 0);
    std::memcpy(record.data(), data, std::min<size_t>(size, record.size()));
    const std::string text(size > record.size() ? fuzzsupport::Text(data + record.size(), size - record.size())
                                                : std::string_view());
    host::RecordStore& records = Host().Document()->Records();
    const hostapi::Tag tag = lumvar::MeasureNumberRegionTag();
    records.Save(host::RecordKey::Other(tag, 1, 0), record);
    lumvar::StringToMeasure(text.c_str());
    std::array<char, lumvar::kTextBufferSize> shown{};
    for (int16_t measure = 1; measure <= 12; ++measure) {
        if (lumvar::MeasureToString(measure, shown.data()) != lumvar::ERR_OK) {
            continue;
        }
        const int16_t read = lumvar::StringToMeasure(shown.data());
        if (UsualRegion(record.data())) {
            fuzzsupport::Check(read == measure, "measure " + std::to_string(measure) + " is shown as \"" +
                                                    shown.data() + "\", read back as " + std::to_string(read));
        }
    }
    records.Delete(host::RecordKey::Other(tag, 1, 0));
}

void Carets(std::string_view text) {
    std::string lumvarText(text);
    std::array<char, lumvar::kStripArgumentSize> font{};
    std::array<char, lumvar::kStripArgumentSize> size{};
    std::array<char, lumvar::kStripArgumentSize> efx{};
    const int32_t length = lumvar::StripCarets(lumvarText.data(), font.data(), size.data(), efx.data());
    fuzzsupport::Check(length >= 0 && static_cast<size_t>(length) <= std::strlen(lumvarText.c_str()) + 1,
                       "StripCarets answers a length beyond its text");
    std::string orvexText(text);
    orvex::StripCaretCommands(orvexText.data());
    fuzzsupport::Check(std::strlen(orvexText.c_str()) <= text.size(), "the caret stripper made the text longer");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    if (data[0] % 2 == 0) {
        RegionText(data + 1, size - 1);
    } else {
        Carets(fuzzsupport::Text(data + 1, size - 1));
    }
    return 0;
}
