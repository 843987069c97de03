#include "tools/notes/export_spreadsheet.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/free_texts.h"
#include "core/host/finxess.h"
#include "core/host/finxess_entries.h"
#include "core/host/host_imports.h"
#include "core/host/staff_lists.h"
#include "core/host/text_file_utils.h"
#include "core/messages.h"
#include "core/module.h"
#include "core/startup.h"
#include "core/tool_context.h"
#include "platform/hostapi/entry_array.h"
#include "platform/hostapi/entry_records.h"
#include "platform/win/messages.h"
#include "platform/win/modules.h"
#include "platform/win/system.h"

namespace orvex {
namespace {

using hostapi::ConstEntryView;

constexpr int32_t kDefaultDigits = 2;

/// Words of a tuplet record (hostapi::TupletLayout).
constexpr size_t kTupletNotes = hostapi::TupletLayout::kNotes / 2;
constexpr size_t kTupletNoteUnit = hostapi::TupletLayout::kNoteUnit / 2;
constexpr size_t kTupletReference = hostapi::TupletLayout::kReference / 2;
constexpr size_t kTupletReferenceUnit = hostapi::TupletLayout::kReferenceUnit / 2;
constexpr int32_t kMaxTupletsPerEntry = 100;  ///< the record search ends here at the latest

/// A tuplet's remaining length is dropped below this (thousandths of an EDU).
constexpr int64_t kTupletRest = 10;
/// A computed duration this far from the host's actual one means the tuplets were not understood.
constexpr int64_t kTupletTolerance = 999;
/// An end this close to a grid point of 128 is taken as that point.
constexpr int64_t kSnapDistance = 10;

/// A tuplet active at the current entry.
struct TTuplet {
    int64_t notes;
    int64_t unit;
    int64_t reference;
    int64_t referenceUnit;
    int64_t remaining;  ///< thousandths of an EDU

    int64_t Scale(int64_t d) const { return d * reference / notes * referenceUnit / unit; }
};

/// One column of a staff's table.
struct TCell {
    int32_t measure = 0;  ///< 0: the measure line's cell stays empty
    int64_t position = 0;
    int64_t duration = 0;
    bool rest = true;
    int16_t pitch = 0;
};

enum class LineKind { Measure, Position, Pitch, MidiPitch, Duration };
constexpr std::array<LineKind, 5> kLineKinds{LineKind::Measure, LineKind::Position, LineKind::Pitch,
                                             LineKind::MidiPitch, LineKind::Duration};

/// The option's text as one character of the document's code page, else the fallback.
std::string OneCharacterOr(const std::string& text, const char* fallback) {
    const std::string character = win::Utf8ToAnsi(text);
    return character.size() == 1 ? character : std::string(fallback);
}

std::string PitchName(int16_t pitch) {
    std::array<char, 50> buffer{};
    PitchNameOf(pitch, buffer.data(), static_cast<int16_t>(buffer.size()));
    buffer.back() = '\0';
    return buffer.data();
}

/// Walks layer 1 of one staff over the selected measures and keeps the cells it would write.
class StaffTable {
public:
    explicit StaffTable(bool& tupletError) : m_tupletError(tupletError) {}

    void Measure(const hostapi::SelectionRecord& region, hostapi::StaffSlot slot, hostapi::InstrumentKey staff,
                 int32_t measure) {
        const int16_t key = CellKeyValue(measure, staff, 0);
        const ScopedEntryArray lent(region.viewKey(), slot, static_cast<hostapi::MeasureNumber>(measure), 0);
        hostapi::EntryArray* array = lent.Get();
        if (array == nullptr) {
            return;
        }
        m_running = 0;
        for (int32_t i = 0; i < array->count; ++i) {
            Entry(array->entry(i), key, measure);
        }
    }

    /// A chain still open when the selection ends is written as far as it goes, so that its notes
    /// are not lost.
    void Finish() {
        if (m_chainOpen) {
            m_cells.push_back(m_chainCell);
            m_chainOpen = false;
        }
    }

    const std::vector<TCell>& Cells() const { return m_cells; }

private:
    void AddTuplets(ConstEntryView entry) {
        for (int32_t inci = 0; inci < kMaxTupletsPerEntry; ++inci) {
            Record30 record;
            if (!LoadRecordEtp(entry.number(), inci, record)) {
                break;
            }
            TTuplet tuplet{record.word(kTupletNotes), record.word(kTupletNoteUnit), record.word(kTupletReference),
                           record.word(kTupletReferenceUnit), 0};
            // A tuplet without notes or unit cannot scale anything: it would divide by zero.
            if (tuplet.notes == 0 || tuplet.unit == 0) {
                continue;
            }
            tuplet.remaining = tuplet.reference * tuplet.referenceUnit * 1000;
            for (const TTuplet& active : m_tuplets) {
                if (active.unit >= tuplet.unit) {
                    tuplet.remaining = active.Scale(tuplet.remaining);
                }
            }
            m_tuplets.push_back(tuplet);
        }
    }

    int64_t Duration(ConstEntryView entry) {
        // A grace note takes no time: its notated value is not its duration.
        if (entry.has(hostapi::kEntryGrace)) {
            return 0;
        }
        int64_t d = static_cast<int64_t>(entry.duration()) * 1000;
        AddTuplets(entry);
        for (auto it = m_tuplets.begin(); it != m_tuplets.end();) {
            d = it->Scale(d);
            it->remaining -= d;
            it = it->remaining < kTupletRest ? m_tuplets.erase(it) : it + 1;
        }
        const int64_t actual = static_cast<int64_t>(entry.actualDuration()) * 1000;
        if (!m_tupletError && std::llabs(d - actual) > kTupletTolerance) {
            m_tupletError = true;
            ShowMessage(FreeText::ErrorProcessingTupletsOutputWill);
        }
        if (m_tupletError) {
            m_running = static_cast<int64_t>(entry.position()) * 1000;
            return actual;
        }
        const int64_t end = (static_cast<int64_t>(entry.position()) + entry.actualDuration()) * 1000;
        if (end % 128 == 0 && std::llabs(end - (m_running + d)) <= kSnapDistance) {
            d = end - m_running;
        }
        return d;
    }

    void Entry(ConstEntryView entry, int16_t key, int32_t measure) {
        const int64_t d = Duration(entry);
        const bool note = entry.isNote() && entry.notesHeld() > 0;
        if (!m_chainOpen) {
            m_chainCell = TCell{measure, m_running, 0, !note, 0};
            if (note) {
                m_chainCell.pitch = NotePitchValue(entry.note(0).data(), key);
            }
        }
        m_chainCell.duration += d;
        m_running += d;
        if (note && (entry.note(0).flags() & hostapi::kNoteTieStart) != 0) {
            m_chainOpen = true;
            return;
        }
        m_chainOpen = false;
        // The measure line names each measure once, at the first cell that starts in it.
        if (m_chainCell.measure == m_lastLabel) {
            m_cells.push_back(m_chainCell);
            m_cells.back().measure = 0;
        } else {
            m_lastLabel = m_chainCell.measure;
            m_cells.push_back(m_chainCell);
        }
    }

    bool& m_tupletError;
    std::vector<TTuplet> m_tuplets;
    std::vector<TCell> m_cells;
    TCell m_chainCell;
    bool m_chainOpen = false;
    int64_t m_running = 0;
    int32_t m_lastLabel = 0;
};

std::string CellText(const TCell& cell, LineKind kind, int32_t digits, char decimalPoint) {
    switch (kind) {
        case LineKind::Measure:
            return cell.measure != 0 ? std::to_string(cell.measure) : std::string();
        case LineKind::Position:
            return FormatExportValue(cell.position, digits, decimalPoint);
        case LineKind::Pitch:
            return cell.rest ? "rest" : PitchName(cell.pitch);
        case LineKind::MidiPitch:
            return cell.rest ? "rest" : std::to_string(cell.pitch);
        case LineKind::Duration:
            return FormatExportValue(cell.duration, digits, decimalPoint);
    }
    return {};
}

const char* LineName(LineKind kind) {
    switch (kind) {
        case LineKind::Measure:
            return "measure";
        case LineKind::Position:
            return "position";
        case LineKind::Pitch:
            return "pitch";
        case LineKind::MidiPitch:
            return "MIDI pitch";
        case LineKind::Duration:
            return "duration";
    }
    return "";
}

}  // namespace

std::string FormatExportValue(int64_t thousandths, int32_t digits, char decimalPoint) {
    int64_t step = 1;
    for (int32_t i = digits; i < 3; ++i) {
        step *= 10;
    }
    const int64_t value = thousandths / step * step;
    const int64_t magnitude = std::llabs(value);
    std::array<char, 32> fraction{};
    std::snprintf(fraction.data(), fraction.size(), "%03lld", static_cast<long long>(magnitude % 1000));
    return (value < 0 ? "-" : "") + std::to_string(magnitude / 1000) + decimalPoint + fraction.data();
}

std::filesystem::path ExportFilePath(const std::string& fileName) {
    // As the option row says: a name without a folder lies beside the plug-in module.
    const std::filesystem::path name(fileName);
    if (name.has_parent_path() || name.empty()) {
        return name;
    }
    const std::filesystem::path module(win::GetModuleFileName(TheModule.process.ModuleInstance));
    return module.has_parent_path() ? module.parent_path() / name : name;
}

bool RunExportToSpreadsheet(TFMisc& context) {
    const hostapi::SelectionRecord* region = context.Environment.Region();
    if (region == nullptr) {
        return false;
    }
    if (RowValue(context.Options, EXPORT_DIGITS) < 0 || RowValue(context.Options, EXPORT_DIGITS) > 3) {
        context.Options[EXPORT_DIGITS].value = kDefaultDigits;
    }
    const int32_t digits = RowValue(context.Options, EXPORT_DIGITS);
    const std::string separator = OneCharacterOr(RowText(context.Options, EXPORT_SEPARATOR), ",");
    const char decimalPoint = OneCharacterOr(RowText(context.Options, EXPORT_DECIMAL_POINT), ".")[0];

    const TInstruments staves(0, nullptr, true);
    const std::filesystem::path target = ExportFilePath(RowText(context.Options, EXPORT_FILE_NAME));
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) {
        file.setstate(std::ios::failbit);
        return CheckFileWritten(file);
    }
    file << "Staff no. [ID]" << separator << "Staff Name" << separator << "Data Type" << separator << "Data\n\n";

    bool tupletError = false;
    for (int32_t slot = region->firstStaff(); slot <= region->lastStaff(); ++slot) {
        if (!EditBracketStep(context.EditBracket, static_cast<hostapi::StaffSlot>(slot), 0, 1)) {
            break;  // the user stopped: what was written stays
        }
        const hostapi::InstrumentKey staff = StaffOfSlot(slot, region->viewKey());
        const int32_t place = staves.IndexOf(staff);
        const std::string name = place != 0 ? staves.At(place - 1).name : std::string();

        StaffTable table(tupletError);
        for (int32_t measure = region->firstMeasure(); measure <= region->lastMeasure(); ++measure) {
            table.Measure(*region, static_cast<hostapi::StaffSlot>(slot), staff, measure);
        }
        table.Finish();

        std::array<char, 16> number{};
        std::snprintf(number.data(), number.size(), "%2d", slot);
        for (const LineKind kind : kLineKinds) {
            if (kind == LineKind::Measure) {
                file << number.data() << ". [" << staff << "]" << separator << name << separator;
            } else {
                file << separator << separator;
            }
            file << LineName(kind) << separator;
            for (const TCell& cell : table.Cells()) {
                file << CellText(cell, kind, digits, decimalPoint) << separator;
            }
            file << '\n';
        }
        file << '\n';
    }
    file.close();
    const bool written = CheckFileWritten(file);
    if (written) {
        win::OutputDebugString("Orvex188: the table is written to " + target.string());
        win::ShellNotifyFileWritten(target.string());
    }
    return written;
}

}  // namespace orvex
