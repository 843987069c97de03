// Custom chord styles: each chord symbol of an entry whose root is shown gets its root's new name
// (and the root's accidental) as elements in front of its suffix, a suffix found or made for that
// list of elements, and a hidden root. A chord renamed before keeps its name; its suffix only
// gets an information record from a matching suffix when it has none.
#include "tools/notes/chord_styles.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/tool_context.h"
#include "platform/hostapi/entry_array.h"
#include "platform/vcl/graphics.h"
#include "platform/win/system.h"
#include "tools/notes/notes_services.h"

namespace orvex {
namespace {

using Element = SuffixElementLayout;
using SuffixInfo = std::array<uint8_t, kSuffixInfoSize>;

/// The step of B among C, D, E, F, G, A, B.
constexpr int32_t kStepB = 6;
/// The element that stands for the root's accidental: a blank the host draws as the sign.
constexpr int16_t kAccidentalCharacter = 32;

std::optional<SuffixInfo> LoadSuffixInfo(int32_t suffix) {
    SuffixInfo info{};
    if (suffix == 0 || !LoadWholeOtherRecord(kTagSuffixInfo, suffix, 0, info.data(), kSuffixInfoSize)) {
        return std::nullopt;
    }
    return info;
}

/// For a suffix that has no information record: the information of the suffix with the most
/// elements that ends the list, matched apart from positions from the first element of the list
/// that matches its own first one.
void AdoptSuffixInfo(int32_t suffix, const std::vector<SuffixElement>& list) {
    if (suffix == 0 || list.empty() || LoadSuffixInfo(suffix)) {
        return;
    }
    size_t best = 0;
    std::optional<SuffixInfo> winner;
    for (int32_t candidate = 1; candidate <= kLastSuffixSearched; ++candidate) {
        const std::vector<SuffixElement> elements = LoadSuffix(candidate);
        if (elements.empty() || elements.size() <= best) {
            continue;
        }
        const auto start = std::find_if(list.begin(), list.end(),
                                        [&](const SuffixElement& e) { return SuffixElementsMatch(e, elements[0]); });
        if (static_cast<size_t>(list.end() - start) != elements.size() ||
            !std::equal(elements.begin(), elements.end(), start, SuffixElementsMatch)) {
            continue;
        }
        if (auto info = LoadSuffixInfo(candidate)) {
            best = elements.size();
            winner = info;
        }
    }
    if (winner) {
        SaveOtherRecord(kTagSuffixInfo, suffix, 0, winner->data(), kSuffixInfoSize);
    }
}

/// The number of a suffix whose elements are exactly the list; 0 when none of 1-1999 is.
int32_t FindSuffix(const std::vector<SuffixElement>& list) {
    for (int32_t candidate = 1; candidate <= kLastSuffixSearched; ++candidate) {
        if (LoadSuffix(candidate) == list) {
            return candidate;
        }
    }
    return 0;
}

/// Stores the list as a new suffix (the host numbers it at its first element); 0 when the host
/// does not create it.
int32_t CreateSuffix(const std::vector<SuffixElement>& list) {
    int32_t number = -1;
    int32_t inci = 0;
    if (list.empty() || !CreateOtherRecord(kTagSuffixElement, number, inci, list[0].bytes.data(), Element::kSize)) {
        return 0;
    }
    for (size_t i = 1; i < list.size(); ++i) {
        SaveOtherRecord(kTagSuffixElement, number, static_cast<int32_t>(i), list[i].bytes.data(), Element::kSize);
    }
    return number;
}

/// The renaming of one chord with a shown root. False when the root has a double accidental.
bool RenameChord(TFMisc& context, const StaffRecord& staff, int16_t keyA, int16_t keyB, hostapi::EntryNumber entry,
                 int32_t inci, std::array<uint8_t, ChordLayout::kSize>& chord, std::vector<SuffixElement> list,
                 const std::optional<SuffixInfo>& info) {
    const uint16_t word = hostapi::ReadU16(chord.data(), ChordLayout::kWord);
    hostapi::NoteRecord root;
    root.view().setHarmonicLevel(static_cast<int16_t>(word & kChordRootStep));
    const int32_t stored = (word >> 8) & 0xF;
    root.view().setAlteration(static_cast<int16_t>(stored > 7 ? stored - 16 : stored));
    int32_t alteration = 0;
    const int32_t absolute = NotePitchStep(root.data(), keyA, keyB, context.Environment.DocumentOptionFlag() != 0,
                                           staff.data(), &alteration);
    if (alteration < -1 || alteration > 1) {
        ShowMessage(FreeText::NoDoubleFlatsOrDouble);
        return false;
    }
    const int32_t step = ((absolute % 7) + 7) % 7;

    const std::string fontName = win::Utf8ToAnsi(RowText(context.Options, CHORD_STYLES_FONT));
    vcl::TCanvas canvas;
    canvas.Font().SetName(RowText(context.Options, CHORD_STYLES_FONT));
    canvas.Font().SetSize(RowValue(context.Options, CHORD_STYLES_SIZE));
    // The host adds a font it does not know to the document's font table when asked for its
    // number: it is asked only when a name is written, so that a chord that keeps its name
    // leaves the font table as it was.
    std::optional<int32_t> fontWord;
    const auto fontWordOnce = [&] {
        if (!fontWord) {
            const int32_t font = FontNumberOf(fontName.c_str());
            fontWord = font + 256 * RowValue(context.Options, CHORD_STYLES_SIZE);
        }
        return *fontWord;
    };
    const int32_t scaledSize =
        RowValue(context.Options, CHORD_STYLES_SIZE) * RowValue(context.Options, CHORD_STYLES_SCALING) / 100;
    int64_t x = 0;
    size_t inserted = 0;
    const auto insert = [&](char character, int64_t offset, uint16_t flags) {
        SuffixElement element;
        element.setWord(Element::kCharacter, static_cast<int8_t>(character));
        element.setWord(Element::kX, static_cast<int32_t>(offset));
        element.setWord(Element::kFont, fontWordOnce());
        element.setWord(Element::kFlags, flags);
        list.insert(list.begin() + static_cast<ptrdiff_t>(inserted), element);
        ++inserted;
    };
    const auto advance = [&](char character) {
        return int64_t{RowValue(context.Options, CHORD_STYLES_SCALING)} * canvas.TextWidth(std::string(1, character)) *
               30 / 1000;
    };
    if (RowOn(context.Options, CHORD_STYLES_CUSTOM_NAMES)) {
        const std::string name =
            win::Utf8ToAnsi(RowText(context.Options, CHORD_STYLES_FIRST_NAME, static_cast<size_t>(step % 7)));
        for (const char character : name) {
            insert(character, x, 0);
            x += advance(character);
        }
    }
    if (inserted == 0 && RowOn(context.Options, CHORD_STYLES_GERMAN_B) && step == kStepB && alteration >= 0) {
        insert('H', 0, 0);
        x += advance('H');
    }
    if (inserted == 0) {
        return true;  // the root keeps its own name
    }
    if (alteration != 0) {
        x += RowValue(context.Options, CHORD_STYLES_BEFORE_ACCIDENTAL);
        insert(static_cast<char>(kAccidentalCharacter), x, alteration < 0 ? kSuffixFlat : kSuffixSharp);
        x += RowValue(context.Options, CHORD_STYLES_AFTER_ACCIDENTAL);
    }
    // The suffix's own elements move right behind the new name.
    const int64_t shift = scaledSize * 5 / 10 + x;
    for (size_t i = inserted; i < list.size(); ++i) {
        list[i].setWord(Element::kX, static_cast<int32_t>(list[i].word(Element::kX) + shift));
    }
    int32_t suffix = FindSuffix(list);
    if (suffix == 0) {
        suffix = CreateSuffix(list);
        if (suffix == 0) {
            return true;  // the host made no suffix: the chord stays as it is
        }
        if (info) {
            SaveOtherRecord(kTagSuffixInfo, suffix, 0, info->data(), kSuffixInfoSize);
        }
    }
    hostapi::WriteI16(chord.data(), ChordLayout::kSuffix, static_cast<int16_t>(suffix));
    hostapi::WriteU16(chord.data(), ChordLayout::kWord,
                      static_cast<uint16_t>((word & ~kChordRootShown) | kChordHasSuffix));
    SaveEntryDetailRecord(kTagChord, entry, inci, chord.data(), ChordLayout::kSize);
    return true;
}

}  // namespace

std::vector<SuffixElement> LoadSuffix(int32_t number) {
    std::vector<SuffixElement> elements;
    SuffixElement element;
    while (number != 0 && elements.size() <= INT16_MAX &&
           LoadWholeOtherRecord(kTagSuffixElement, number, static_cast<int32_t>(elements.size()), element.bytes.data(),
                                Element::kSize)) {
        elements.push_back(element);
    }
    return elements;
}

bool SuffixElementsMatch(const SuffixElement& a, const SuffixElement& b) {
    for (const size_t offset : {Element::kCharacter, Element::kY, Element::kFont, Element::kWord8, Element::kFlags}) {
        if (a.word(offset) != b.word(offset)) {
            return false;
        }
    }
    return true;
}

void RespellChordSuffixes(TFMisc& context, hostapi::EntryNumber entry, const StaffRecord& staff, int16_t keyA,
                          int16_t keyB) {
    std::array<uint8_t, ChordLayout::kSize> chord{};
    // Incidences are 16-bit: a host that answered every load would not keep the walk here.
    for (int32_t inci = 0;
         inci <= INT16_MAX && LoadWholeEntryDetailRecord(kTagChord, entry, inci, chord.data(), ChordLayout::kSize);
         ++inci) {
        const uint16_t word = hostapi::ReadU16(chord.data(), ChordLayout::kWord);
        const int16_t suffix = hostapi::ReadI16(chord.data(), ChordLayout::kSuffix);
        const std::vector<SuffixElement> list =
            (word & kChordHasSuffix) != 0 && suffix != 0 ? LoadSuffix(suffix) : std::vector<SuffixElement>{};
        const std::optional<SuffixInfo> info = LoadSuffixInfo((word & kChordHasSuffix) != 0 ? suffix : 0);
        if ((word & kChordRootShown) == 0) {
            AdoptSuffixInfo(suffix, list);
            continue;
        }
        if (!RenameChord(context, staff, keyA, keyB, entry, inci, chord, list, info)) {
            return;
        }
    }
}

}  // namespace orvex
