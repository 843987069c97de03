// The exact statements of a score text: records and entries byte for byte, as a written score
// text (score_text_writer.h) gives what the readable statements do not say.
#include <algorithm>
#include <climits>
#include <string>

#include "platform/host/score_builder.h"
#include "platform/host/score_text_statements.h"
#include "platform/hostapi/entry_array.h"

namespace host::scoretext {
namespace {

hostapi::LayerIndex ReadLayerOption(Arguments& args) {
    if (const Word* next = args.Peek(); next != nullptr && !next->quoted && next->text == "layer") {
        args.Next("layer");
        return static_cast<hostapi::LayerIndex>(args.Number("the layer", 1, 4) - 1);
    }
    return 0;
}

/// "hex SIZE DIGITS...": the bytes, as many as SIZE says.
Bytes ReadSizedHex(Arguments& args) {
    const Word& form = args.Next("hex");
    if (form.quoted || form.text != "hex") {
        args.Fail("\"" + form.text + "\" is not hex");
    }
    const int32_t size = args.Number("the size", 0, INT32_MAX);
    Bytes bytes = ReadHexBytes(args, true);
    if (bytes.size() != static_cast<size_t>(size)) {
        args.Fail("the size is " + std::to_string(size) + " but the digits hold " + std::to_string(bytes.size()) +
                  " bytes");
    }
    return bytes;
}

}  // namespace

void ReadExactRecord(Arguments& args, ScoreBuilder& builder) {
    const Word& tagWord = args.Next("the tag");
    const auto tag = tagWord.quoted ? std::nullopt : ParseTagText(tagWord.text);
    if (!tag) {
        args.Fail("\"" + tagWord.text + "\" is not a tag (four characters, \\xNN for any other byte)");
    }
    const Word& familyWord = args.Next("the family");
    const auto family = familyWord.quoted ? std::nullopt : FamilyFromWord(familyWord.text);
    if (!family || *family != FamilyOfTag(*tag)) {
        args.Fail("'" + TagText(*tag) + "' is kept as " + std::string(FamilyWord(FamilyOfTag(*tag))) + ", not " +
                  familyWord.text);
    }
    std::vector<int32_t> numbers;
    for (size_t i = 0; i < RecordKey{*tag}.Numbers().size(); ++i) {
        numbers.push_back(args.Number("the key", INT32_MIN, INT32_MAX));
    }
    const auto found = RecordKey::FromNumbers(*tag, numbers);
    if (!found) {
        args.Fail("a key is out of the range of a '" + TagText(*tag) + "' record's keys");
    }
    const RecordKey key = *found;
    if (args.Done()) {
        args.FailMissing("the record is missing: hex SIZE DIGITS, text \"TEXT\" or none");
    }
    const Word form = *args.Peek();
    if (!form.quoted && form.text == "none") {
        args.Next("none");
        args.ExpectEnd();
        builder.ExactRecord(key, std::nullopt);
    } else if (!form.quoted && form.text == "text") {
        args.Next("text");
        const std::string text = args.Text("the text");
        args.ExpectEnd();
        Bytes bytes(text.begin(), text.end());
        bytes.push_back(0);
        builder.ExactRecord(key, std::move(bytes));
    } else {
        builder.ExactRecord(key, ReadSizedHex(args));
    }
}

void ReadEntryBytes(Arguments& args, ScoreBuilder& builder) {
    // Any cell a document holds, also one of a staff or measure that is not there.
    const auto staff = static_cast<hostapi::InstrumentKey>(args.Number("the staff", INT16_MIN, INT16_MAX));
    const Word& place = args.Next("the entry");
    const size_t colon = place.text.find(':');
    if (place.quoted || colon == std::string::npos) {
        args.Fail("the entry is MEASURE:ENTRY, not " + place.text);
    }
    const auto measure = static_cast<hostapi::MeasureNumber>(
        args.ToNumber(PartOf(place, 0, colon), "the measure", INT16_MIN, INT16_MAX));
    const int32_t entry = args.ToNumber(PartOf(place, colon + 1), "the entry", 1, INT32_MAX);
    const hostapi::LayerIndex layer = ReadLayerOption(args);
    int32_t offset = 0;
    if (const Word* next = args.Peek(); next != nullptr && !next->quoted && next->text == "at") {
        args.Next("at");
        offset = args.Number("the offset", 0, static_cast<int32_t>(hostapi::EntryLayout::kSize) - 1);
    }
    const Bytes bytes = ReadSizedHex(args);
    if (static_cast<size_t>(offset) + bytes.size() > hostapi::EntryLayout::kSize) {
        args.Fail("an entry has " + std::to_string(hostapi::EntryLayout::kSize) +
                  " bytes: " + std::to_string(bytes.size()) + " from byte " + std::to_string(offset) + " do not fit");
    }
    builder.ExactEntry(CellKey{staff, measure, layer}, entry, static_cast<size_t>(offset), bytes);
}

void ReadCellEntries(Arguments& args, ScoreBuilder& builder) {
    const auto staff = static_cast<hostapi::InstrumentKey>(args.Number("the staff", INT16_MIN, INT16_MAX));
    const auto measure = static_cast<hostapi::MeasureNumber>(args.Number("the measure", INT16_MIN, INT16_MAX));
    const hostapi::LayerIndex layer = ReadLayerOption(args);
    const int32_t count = args.Number("the number of entries", 0, INT32_MAX);
    args.ExpectEnd();
    builder.KeepEntries(CellKey{staff, measure, layer}, count);
}

}  // namespace host::scoretext
