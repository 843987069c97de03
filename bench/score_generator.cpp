#include "bench/score_generator.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <string_view>
#include <vector>

namespace bench {
namespace {

/// splitmix64: the same numbers from a seed on every machine and library.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}

    uint64_t Next() {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    /// 0 .. count - 1.
    int32_t Below(int32_t count) { return static_cast<int32_t>(Next() % static_cast<uint64_t>(count)); }
    /// low .. high.
    int32_t Between(int32_t low, int32_t high) { return low + Below(high - low + 1); }
    /// True with the chance per thousand.
    bool Chance(int32_t perThousand) { return Below(1000) < perThousand; }

private:
    uint64_t m_state;
};

enum class Family { Woodwind, Brass, Percussion, Keyboard, Voice, String };

struct Instrument {
    std::string_view name;
    std::string_view abbreviation;
    std::string_view clef;
    int32_t low;  ///< diatonic steps from middle C
    int32_t high;
    Family family;
    bool twoLayers;       ///< a staff of two players ("a 2")
    bool tenorPassages;   ///< changes to the tenor clef now and then
    bool changesMidway;   ///< changes clef within a measure now and then
    int32_t chordChance;  ///< per thousand entries
};

// clang-format off
constexpr std::array<Instrument, 22> kInstruments = {{
    {"Flutes 1.2",    "Fl.",   "treble",   7,  19, Family::Woodwind,   true,  false, false, 30},
    {"Oboes 1.2",     "Ob.",   "treble",   2,  14, Family::Woodwind,   true,  false, false, 30},
    {"Clarinets 1.2", "Cl.",   "treble",  -4,  14, Family::Woodwind,   true,  false, false, 30},
    {"Bassoons 1.2",  "Bsn.",  "bass",   -13,   2, Family::Woodwind,   true,  true,  false, 30},
    {"Horns 1.2",     "Hn.",   "treble",  -3,   9, Family::Brass,      true,  false, false, 50},
    {"Horns 3.4",     "Hn.",   "treble",  -5,   7, Family::Brass,      true,  false, false, 50},
    {"Trumpets 1.2",  "Tpt.",  "treble",   0,  10, Family::Brass,      true,  false, false, 30},
    {"Trombones 1.2", "Tbn.",  "bass",   -11,   2, Family::Brass,      true,  true,  false, 50},
    {"Tuba",          "Tba.",  "bass",   -17,  -4, Family::Brass,      false, false, false, 0},
    {"Timpani",       "Timp.", "bass",   -11,  -4, Family::Percussion, false, false, false, 0},
    {"Harp",          "Hp.",   "treble",   0,  16, Family::Keyboard,   false, false, false, 300},
    {"Harp",          "Hp.",   "bass",   -14,   0, Family::Keyboard,   false, false, true,  300},
    {"Piano",         "Pno.",  "treble",  -2,  16, Family::Keyboard,   false, false, false, 400},
    {"Soprano",       "S.",    "treble",   0,  10, Family::Voice,      false, false, false, 0},
    {"Alto",          "A.",    "treble",  -3,   6, Family::Voice,      false, false, false, 0},
    {"Tenor",         "T.",    "treble8vb", -7, 3, Family::Voice,      false, false, false, 0},
    {"Bass",          "B.",    "bass",   -12,  -1, Family::Voice,      false, false, false, 0},
    {"Violin I",      "Vln. I", "treble", -3,  17, Family::String,     false, false, false, 150},
    {"Violin II",     "Vln. II", "treble", -3, 14, Family::String,     false, false, false, 150},
    {"Viola",         "Vla.",  "alto",    -7,   9, Family::String,     false, false, false, 150},
    {"Violoncello",   "Vc.",   "bass",   -14,   5, Family::String,     false, true,  false, 150},
    {"Contrabass",    "Cb.",   "bass",   -16,   0, Family::String,     false, false, false, 50},
}};
// clang-format on

/// The measures of one block share time and key.
constexpr int32_t kBlock = 8;

struct Meter {
    std::string_view text;
    int32_t length;  ///< EDU
};

constexpr std::array<Meter, 4> kMeters = {{{"4/4", 4096}, {"3/4", 3072}, {"6/8", 3072}, {"2/4", 2048}}};

/// Rhythms that fill a measure exactly, by measure length.
const std::vector<std::vector<int32_t>>& RhythmsOf(int32_t length, bool compound) {
    // clang-format off
    static const std::vector<std::vector<int32_t>> k4 = {
        {1024, 1024, 1024, 1024}, {512, 512, 1024, 512, 512, 1024}, {2048, 1024, 1024}, {1536, 512, 2048},
        {256, 256, 256, 256, 1024, 2048}, {4096}, {2048, 2048}, {512, 512, 512, 512, 512, 512, 512, 512},
        {1024, 512, 512, 768, 256, 1024}, {3072, 1024}, {512, 512, 512, 512, 2048}, {1024, 2048, 1024}};
    static const std::vector<std::vector<int32_t>> k3 = {
        {1024, 1024, 1024}, {2048, 1024}, {3072}, {512, 512, 1024, 1024}, {1536, 512, 1024},
        {256, 256, 512, 1024, 1024}, {512, 512, 512, 512, 1024}};
    static const std::vector<std::vector<int32_t>> k68 = {
        {1536, 1536}, {1024, 512, 1024, 512}, {512, 512, 512, 1536}, {3072}, {512, 512, 512, 512, 512, 512}};
    static const std::vector<std::vector<int32_t>> k2 = {
        {1024, 1024}, {512, 512, 1024}, {2048}, {256, 256, 256, 256, 1024}, {768, 256, 512, 512}};
    // clang-format on
    if (length == 4096) {
        return k4;
    }
    if (length == 3072) {
        return compound ? k68 : k3;
    }
    return k2;
}

std::string DurationText(int32_t edu) {
    switch (edu) {
        case 4096:
            return "1";
        case 3072:
            return "2.";
        case 2048:
            return "2";
        case 1536:
            return "4.";
        case 1024:
            return "4";
        case 768:
            return "8.";
        case 512:
            return "8";
        case 256:
            return "16";
        default:
            return "32";
    }
}

/// The accidental a key signature gives a letter (0 = c ... 6 = b).
int32_t KeyAlteration(int32_t key, int32_t letter) {
    static constexpr std::array<int32_t, 7> kSharpOrder = {3, 0, 4, 1, 5, 2, 6};  // f c g d a e b
    static constexpr std::array<int32_t, 7> kFlatOrder = {6, 2, 5, 1, 4, 0, 3};   // b e a d g c f
    for (int32_t i = 0; i < std::abs(key); ++i) {
        if ((key > 0 ? kSharpOrder : kFlatOrder)[static_cast<size_t>(i)] == letter) {
            return key > 0 ? 1 : -1;
        }
    }
    return 0;
}

int32_t FloorDiv(int32_t a, int32_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

struct Pitch {
    int32_t step = 0;        ///< diatonic steps from middle C
    int32_t alteration = 0;  ///< absolute: -2 .. 2

    bool operator==(const Pitch&) const = default;
};

std::string PitchText(const Pitch& pitch) {
    static constexpr std::string_view kLetters = "cdefgab";
    static constexpr std::array<std::string_view, 5> kAccidentals = {"bb", "b", "", "#", "##"};
    const int32_t letter = pitch.step - 7 * FloorDiv(pitch.step, 7);
    return std::string(1, kLetters[static_cast<size_t>(letter)]) +
           std::string(kAccidentals[static_cast<size_t>(pitch.alteration + 2)]) +
           std::to_string(4 + FloorDiv(pitch.step, 7));
}

/// One entry as the generator plans it.
struct PlannedEntry {
    std::vector<Pitch> notes;  ///< none: a rest
    int32_t duration = 1024;
    bool grace = false;
    bool tieToNext = false;
    bool tiedFromPrevious = false;
};

struct MeasurePlan {
    int32_t length = 4096;
    bool compound = false;
    int32_t key = 0;  ///< sharps (+) or flats (-)
    bool minor = false;
};

class Generator {
public:
    Generator(const ScoreSize& size, uint64_t seed) : m_size(size), m_random(seed) {}

    std::string Text();

private:
    const Instrument& InstrumentOf(int32_t staff) const {
        return kInstruments[static_cast<size_t>((staff - 1) % static_cast<int32_t>(kInstruments.size()))];
    }
    void PlanMeasures();
    void WriteStaves();
    void WriteMeasures();
    void WriteClefs();
    /// The entries of a cell; a chord has at most `maxNotes` notes.
    std::vector<PlannedEntry> PlanCell(int32_t staff, int32_t measure, int32_t layer, int32_t maxNotes, int32_t& walk);
    Pitch NextPitch(const Instrument& instrument, int32_t key, int32_t& walk);
    void WriteCells();
    void WriteExpressions();
    void WriteLyrics();
    void WriteShapes();
    void WriteChordSymbols();
    void WriteLayout();

    ScoreSize m_size;
    Random m_random;
    std::ostringstream m_out;
    std::vector<MeasurePlan> m_measures;  ///< by measure - 1
    /// The planned layer-1 entries of every cell, by staff - 1 and measure - 1 (empty: no entries).
    std::vector<std::vector<std::vector<PlannedEntry>>> m_cells;
};

std::string Generator::Text() {
    m_out << "# A generated orchestral score: " << m_size.staves << " staves, " << m_size.measures << " measures.\n";
    m_out << "font 0 \"Maestro\"\nfont 1 \"Times New Roman\"\n";
    PlanMeasures();
    WriteStaves();
    WriteMeasures();
    m_out << "text \"^font(Times New Roman)^size(24)Symphony\"\n";
    WriteClefs();
    WriteCells();
    WriteExpressions();
    WriteLyrics();
    WriteShapes();
    WriteChordSymbols();
    WriteLayout();
    return m_out.str();
}

void Generator::PlanMeasures() {
    for (int32_t first = 1; first <= m_size.measures; first += kBlock) {
        MeasurePlan plan;
        if (first > 1) {
            const int32_t roll = m_random.Below(10);
            const Meter& meter = kMeters[roll < 6 ? 0 : roll < 8 ? 1 : roll < 9 ? 2 : 3];
            plan.length = meter.length;
            plan.compound = meter.text == "6/8";
            plan.key = m_random.Between(-4, 4);
            plan.minor = m_random.Chance(250);
        }
        for (int32_t m = first; m < first + kBlock && m <= m_size.measures; ++m) {
            m_measures.push_back(plan);
        }
    }
}

void Generator::WriteStaves() {
    for (int32_t staff = 1; staff <= m_size.staves; ++staff) {
        const Instrument& instrument = InstrumentOf(staff);
        const int32_t round = (staff - 1) / static_cast<int32_t>(kInstruments.size());
        const std::string suffix = round == 0 ? "" : " " + std::to_string(round + 1);
        m_out << "staff \"" << instrument.name << suffix << "\" \"" << instrument.abbreviation << suffix << "\"\n";
    }
}

void Generator::WriteMeasures() {
    for (int32_t first = 1; first <= m_size.measures; first += kBlock) {
        const MeasurePlan& plan = m_measures[static_cast<size_t>(first - 1)];
        const int32_t count = std::min(kBlock, m_size.measures - first + 1);
        const std::string_view meter = plan.length == 4096   ? "4/4"
                                       : plan.length == 2048 ? "2/4"
                                       : plan.compound       ? "6/8"
                                                             : "3/4";
        m_out << "measures " << count << " time " << meter << " key " << plan.key << (plan.minor ? "m" : "") << "\n";
    }
}

void Generator::WriteClefs() {
    for (int32_t staff = 1; staff <= m_size.staves; ++staff) {
        const Instrument& instrument = InstrumentOf(staff);
        if (instrument.clef != "treble") {
            m_out << "clef " << staff << " 1 " << instrument.clef << "\n";
        }
        for (int32_t first = 1 + kBlock; first <= m_size.measures; first += kBlock) {
            if (instrument.tenorPassages && (first / kBlock) % 3 == 1) {
                m_out << "clef " << staff << " " << first << " tenor\n";
                if (first + kBlock / 2 <= m_size.measures) {
                    m_out << "clef " << staff << " " << first + kBlock / 2 << " " << instrument.clef << "\n";
                }
            }
            if (instrument.changesMidway && (first / kBlock) % 4 == 2 && first + 1 <= m_size.measures) {
                const int32_t half = m_measures[static_cast<size_t>(first - 1)].length / 2;
                m_out << "clef " << staff << " " << first << " " << instrument.clef << " treble@" << half << "\n";
                m_out << "clef " << staff << " " << first + 1 << " " << instrument.clef << "\n";
            }
        }
    }
}

Pitch Generator::NextPitch(const Instrument& instrument, int32_t key, int32_t& walk) {
    static constexpr std::array<int32_t, 9> kSteps = {-3, -2, -1, -1, 0, 1, 1, 2, 3};
    walk += kSteps[static_cast<size_t>(m_random.Below(static_cast<int32_t>(kSteps.size())))];
    if (walk < instrument.low) {
        walk = instrument.low + (instrument.low - walk);
    }
    if (walk > instrument.high) {
        walk = instrument.high - (walk - instrument.high);
    }
    walk = std::clamp(walk, instrument.low, instrument.high);
    Pitch pitch{walk, KeyAlteration(key, walk - 7 * FloorDiv(walk, 7))};
    if (m_random.Chance(80)) {
        pitch.alteration = std::clamp(pitch.alteration + (m_random.Chance(500) ? 1 : -1), -1, 1);
    }
    return pitch;
}

std::vector<PlannedEntry> Generator::PlanCell(int32_t staff, int32_t measure, int32_t layer, int32_t maxNotes,
                                              int32_t& walk) {
    const Instrument& instrument = InstrumentOf(staff);
    const MeasurePlan& plan = m_measures[static_cast<size_t>(measure - 1)];
    const auto& rhythms = RhythmsOf(plan.length, plan.compound);
    std::vector<int32_t> rhythm = rhythms[static_cast<size_t>(m_random.Below(static_cast<int32_t>(rhythms.size())))];
    if (layer == 2) {
        // The second player moves in longer values.
        rhythm = plan.length == 4096 ? std::vector<int32_t>{2048, 1024, 1024} : std::vector<int32_t>{plan.length};
    }
    std::vector<PlannedEntry> entries;
    bool tieOpen = false;
    for (size_t i = 0; i < rhythm.size(); ++i) {
        PlannedEntry entry;
        entry.duration = rhythm[i];
        if (tieOpen) {
            entry.notes = {entries.back().notes.front()};
            entry.tiedFromPrevious = true;
            tieOpen = false;
        } else if (m_random.Chance(layer == 2 ? 250 : 100)) {
            entries.push_back(entry);  // a rest
            continue;
        } else {
            if (layer == 1 && m_random.Chance(30)) {
                PlannedEntry grace;
                grace.duration = 512;
                grace.grace = true;
                int32_t graceWalk = walk;
                grace.notes = {NextPitch(instrument, plan.key, graceWalk)};
                entries.push_back(grace);
            }
            entry.notes = {NextPitch(instrument, plan.key, walk)};
            if (maxNotes > 1 && m_random.Chance(instrument.chordChance)) {
                const int32_t extra = std::min(m_random.Between(1, 2), maxNotes - 1);
                for (int32_t n = 0; n < extra; ++n) {
                    const int32_t step = entry.notes.back().step - m_random.Between(2, 4);
                    entry.notes.push_back(Pitch{step, KeyAlteration(plan.key, step - 7 * FloorDiv(step, 7))});
                }
            }
        }
        if (entry.notes.size() == 1 && !entry.tiedFromPrevious && i + 1 < rhythm.size() && m_random.Chance(80)) {
            entry.tieToNext = true;
            tieOpen = true;
        }
        entries.push_back(entry);
    }
    return entries;
}

void Generator::WriteCells() {
    m_cells.assign(static_cast<size_t>(m_size.staves),
                   std::vector<std::vector<PlannedEntry>>(static_cast<size_t>(m_size.measures)));
    for (int32_t staff = 1; staff <= m_size.staves; ++staff) {
        const Instrument& instrument = InstrumentOf(staff);
        int32_t walk = (instrument.low + instrument.high) / 2;
        int32_t walk2 = walk - 3;
        bool tacet = false;
        for (int32_t measure = 1; measure <= m_size.measures; ++measure) {
            const MeasurePlan& plan = m_measures[static_cast<size_t>(measure - 1)];
            if ((measure - 1) % kBlock == 0) {
                const bool restsOften = instrument.family == Family::Brass || instrument.family == Family::Percussion;
                tacet = measure > 1 && m_random.Chance(restsOften ? 300 : 80);
            }
            if (m_random.Chance(20)) {
                continue;  // a cell without entries
            }
            // A staff of two players holds two parts at most: single notes in both layers, or
            // chords of two in the first alone.
            const bool secondLayer = instrument.twoLayers && !tacet && m_random.Chance(500);
            std::vector<PlannedEntry> entries;
            if (tacet) {
                PlannedEntry rest;
                rest.duration = plan.length;
                entries.push_back(rest);
            } else {
                entries = PlanCell(staff, measure, 1, secondLayer ? 1 : instrument.twoLayers ? 2 : 3, walk);
            }
            m_out << "notes " << staff << " " << measure;
            for (const PlannedEntry& entry : entries) {
                m_out << " ";
                if (entry.notes.empty()) {
                    m_out << "r";
                }
                for (size_t n = 0; n < entry.notes.size(); ++n) {
                    m_out << (n == 0 ? "" : "+") << PitchText(entry.notes[n]) << (entry.tieToNext ? "~" : "");
                }
                m_out << "/" << DurationText(entry.duration) << (entry.grace ? "g" : "");
            }
            m_out << "\n";
            if (secondLayer) {
                m_out << "notes " << staff << " " << measure << " layer 2";
                for (const PlannedEntry& entry : PlanCell(staff, measure, 2, 1, walk2)) {
                    m_out << " ";
                    if (entry.notes.empty()) {
                        m_out << "r";
                    }
                    for (size_t n = 0; n < entry.notes.size(); ++n) {
                        m_out << (n == 0 ? "" : "+") << PitchText(entry.notes[n]) << (entry.tieToNext ? "~" : "");
                    }
                    m_out << "/" << DurationText(entry.duration);
                }
                m_out << "\n";
            }
            m_cells[static_cast<size_t>(staff - 1)][static_cast<size_t>(measure - 1)] = std::move(entries);
        }
    }
}

void Generator::WriteExpressions() {
    // clang-format off
    static constexpr std::array<std::string_view, 13> kTexts = {
        "pp", "p", "mp", "mf", "f", "ff", "sfz", "dolce", "espr.", "cresc.", "dim.", "pizz.", "arco"};
    // clang-format on
    for (size_t i = 0; i < kTexts.size(); ++i) {
        m_out << "expression " << i + 1 << " \"" << kTexts[i] << "\"" << (i < 7 ? " font 0 size 24" : " font 1 size 12")
              << "\n";
    }
    for (int32_t measure = 1; measure <= m_size.measures; ++measure) {
        if (m_random.Chance(40)) {
            m_out << "measureexpression " << measure << " " << m_random.Between(8, 11) << "\n";
        }
        for (int32_t staff = 1; staff <= m_size.staves; ++staff) {
            if (m_random.Chance(120)) {
                const int32_t position = m_random.Below(2) * 1024;
                m_out << "measureexpression " << measure << " " << m_random.Between(1, 7) << " at " << position
                      << " staff " << staff << " offset " << -m_random.Between(40, 80) << "\n";
            }
        }
    }
    for (int32_t staff = 1; staff <= m_size.staves; ++staff) {
        for (int32_t measure = 1; measure <= m_size.measures; ++measure) {
            const auto& entries = m_cells[static_cast<size_t>(staff - 1)][static_cast<size_t>(measure - 1)];
            for (size_t e = 0; e < entries.size(); ++e) {
                if (!entries[e].notes.empty() && !entries[e].grace && m_random.Chance(30)) {
                    m_out << "noteexpression " << staff << " " << measure << ":" << e + 1 << " "
                          << m_random.Between(1, 13) << " offset " << -m_random.Between(30, 70) << "\n";
                }
            }
        }
    }
}

void Generator::WriteLyrics() {
    static constexpr std::array<std::string_view, 10> kWords = {"Al-le-lu-ia", "Glo-ri-a", "in",         "ex-cel-sis",
                                                                "De-o",        "Ky-ri-e",  "e-le-i-son", "San-ctus",
                                                                "Do-mi-nus",   "pa-cem"};
    int32_t verse = 0;
    for (int32_t staff = 1; staff <= m_size.staves; ++staff) {
        if (InstrumentOf(staff).family != Family::Voice) {
            continue;
        }
        for (int32_t first = 1; first <= m_size.measures; first += kBlock) {
            // The entries that take a syllable: notes that are not grace notes or tied over.
            std::vector<std::pair<int32_t, size_t>> sung;
            for (int32_t m = first; m < first + kBlock && m <= m_size.measures; ++m) {
                const auto& entries = m_cells[static_cast<size_t>(staff - 1)][static_cast<size_t>(m - 1)];
                for (size_t e = 0; e < entries.size(); ++e) {
                    if (!entries[e].notes.empty() && !entries[e].grace && !entries[e].tiedFromPrevious) {
                        sung.emplace_back(m, e + 1);
                    }
                }
            }
            if (sung.empty()) {
                continue;
            }
            std::string text;
            size_t syllables = 0;
            while (syllables < sung.size()) {
                const std::string_view word = kWords[static_cast<size_t>(m_random.Below(kWords.size()))];
                text += (text.empty() ? "" : " ") + std::string(word);
                syllables += static_cast<size_t>(std::count(word.begin(), word.end(), '-')) + 1;
            }
            ++verse;
            m_out << "lyric verse " << verse << " \"" << text << "\"\n";
            for (size_t s = 0; s < sung.size(); ++s) {
                m_out << "syllable " << staff << " " << sung[s].first << ":" << sung[s].second << " verse " << verse
                      << " " << s + 1;
                if (m_random.Chance(60)) {
                    m_out << " extension " << m_random.Between(40, 160);
                }
                m_out << "\n";
            }
        }
    }
}

void Generator::WriteShapes() {
    static constexpr std::array<int32_t, 4> kSlurKinds = {15, 15, 0, 1};
    for (int32_t staff = 1; staff <= m_size.staves; ++staff) {
        const Family family = InstrumentOf(staff).family;
        const bool slurred = family == Family::Woodwind || family == Family::String || family == Family::Voice ||
                             family == Family::Keyboard;
        for (int32_t measure = 1; measure <= m_size.measures; ++measure) {
            const auto& entries = m_cells[static_cast<size_t>(staff - 1)][static_cast<size_t>(measure - 1)];
            const auto isNote = [&](size_t e) { return !entries[e].notes.empty() && !entries[e].grace; };
            if (slurred && m_random.Chance(200)) {
                // A slur over a run of notes in the measure.
                for (size_t start = 0; start + 1 < entries.size(); ++start) {
                    size_t end = start;
                    while (end + 1 < entries.size() && isNote(end + 1) && isNote(start)) {
                        ++end;
                    }
                    if (end > start) {
                        m_out << "shape " << kSlurKinds[static_cast<size_t>(m_random.Below(4))] << " " << staff << " "
                              << measure << ":" << start + 1 << " " << measure << ":" << end + 1 << "\n";
                        break;
                    }
                }
            }
            if (slurred && measure < m_size.measures && m_random.Chance(50) && !entries.empty() &&
                isNote(entries.size() - 1)) {
                const auto& next = m_cells[static_cast<size_t>(staff - 1)][static_cast<size_t>(measure)];
                if (!next.empty() && !next.front().notes.empty() && !next.front().grace) {
                    m_out << "shape 15 " << staff << " " << measure << ":" << entries.size() << " " << measure + 1
                          << ":1\n";
                }
            }
            if (measure < m_size.measures && (measure - 1) % 4 == 0 && m_random.Chance(150)) {
                m_out << "shape " << m_random.Between(2, 3) << " " << staff << " " << measure << "@0 " << measure + 1
                      << "@1024 offset " << -m_random.Between(40, 90) << "\n";
            }
        }
    }
}

void Generator::WriteChordSymbols() {
    m_out << "suffix 1 \"7\"\nsuffix 2 \"m7\" info\n";
    static constexpr std::array<std::string_view, 7> kRoots = {"c", "d", "e", "f", "g", "a", "bb"};
    for (int32_t staff = 1; staff <= m_size.staves; ++staff) {
        if (InstrumentOf(staff).name != "Piano") {
            continue;
        }
        for (int32_t measure = 1; measure <= m_size.measures; ++measure) {
            if (!m_cells[static_cast<size_t>(staff - 1)][static_cast<size_t>(measure - 1)].empty()) {
                const int32_t suffix = m_random.Below(3);
                m_out << "chord " << staff << " " << measure << ":1 " << kRoots[static_cast<size_t>(m_random.Below(7))]
                      << (suffix == 0 ? "" : " suffix " + std::to_string(suffix)) << "\n";
            }
        }
    }
}

void Generator::WriteLayout() {
    m_out << "slurcontours 256:40:24 512:80:36 1024:120:48\n";
    // A group over each run of staves of one family.
    static constexpr std::array<std::string_view, 6> kFamilies = {"Woodwinds", "Brass",  "Percussion",
                                                                  "Keyboards", "Voices", "Strings"};
    for (int32_t first = 1; first <= m_size.staves;) {
        int32_t last = first;
        const Family family = InstrumentOf(first).family;
        while (last + 1 <= m_size.staves && InstrumentOf(last + 1).family == family) {
            ++last;
        }
        if (last > first) {
            m_out << "group " << first << " " << last << " \"" << kFamilies[static_cast<size_t>(family)]
                  << "\" bracket 1\n";
        }
        first = last + 1;
    }
    for (int32_t measure = 1; measure <= m_size.measures; measure += 10) {
        if (m_measures[static_cast<size_t>(measure - 1)].length == 4096) {
            m_out << "beatchart " << measure
                  << " 4096:240:240:0 0:20:75:0 1024:75:130:0 2048:130:185:0 3072:185:240:0\n";
        }
    }
    for (int32_t measure = kBlock; measure <= m_size.measures; measure += kBlock) {
        m_out << "barline " << measure << " 2\n";
    }
    m_out << "numberregion 1 " << m_size.measures << "\n";
    m_out << "page\npagetext 1 \"^font(Times New Roman)^size(24)Symphony\"\nlayout\n";
}

}  // namespace

std::string GenerateScoreText(const ScoreSize& size, uint64_t seed) {
    return Generator(size, seed).Text();
}

}  // namespace bench
