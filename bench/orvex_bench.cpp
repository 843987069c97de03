// orvex_bench: times the host and every command of Orvex188 on generated orchestral scores.
//
//   orvex_bench [--sizes 40x50,40x100,40x200,40x500] [--seed N] [--csv FILE] [--only TEXT,...]
//               [--dump FOLDER] [--plugins FOLDER] [--examples FOLDER] [--repeats N]
//               [--rounds N]
//
// For every size it generates a score text (bench/score_generator.h) and measures, in CPU time
// of the process (not wall time: the machines are shared):
//   load   making the document from the score text;
//   save   writing the document file (.MUS);
//   open   reading that file back;
//   raw    one load and release of every cell's entry array (all four layers) through the
//          host's services: what any command that reads the whole score pays at least;
//   and each of the 72 commands on a fresh copy of the document with the whole score selected,
//   chosen from the menu as a user of hostsim would (bench/bench_commands.h).
// Every row is run --repeats times (default 3) at every size, on a fresh copy each time, and the
// fastest run counts: each size of a row is measured the same way, so that the growth between
// sizes compares like with like. With --rounds N the whole benchmark
// runs N times and each row keeps its fastest time at each size (the machines are shared: a
// round at a quieter moment counts).
//
// The table gives the CPU time per size, the growth exponent between the second size and the
// largest (log of the time ratio over log of the ratio of staves x measures) and the ratio to
// the raw pass at the largest size; the CSV file holds the same. `--dump` writes, per size and
// command, the transcript and the saved document, so that two builds can be compared.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "apps/hostsim/script.h"
#include "bench/bench_commands.h"
#include "bench/heap_counter.h"
#include "bench/score_generator.h"
#include "platform/host/host.h"
#include "platform/host/mus_file.h"
#include "platform/host/score_text.h"
#include "platform/hostapi/services.h"
#include "platform/win/registry.h"
#include "platform/win/transcript.h"
#include "platform/win/ui_driver.h"

namespace {

namespace fs = std::filesystem;

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Options {
    std::vector<bench::ScoreSize> sizes = {{40, 50}, {40, 100}, {40, 200}, {40, 500}};
    uint64_t seed = 17;
    std::string csv;
    std::string only;
    std::string dump;
    std::string plugins;
    std::string examples;
    int repeats = 3;
    int rounds = 1;
};

constexpr const char* kUsage =
    "usage: orvex_bench [--sizes SxM,...] [--seed N] [--csv FILE] [--only TEXT,...] [--dump FOLDER]\n"
    "                   [--plugins FOLDER] [--examples FOLDER] [--repeats N] [--rounds N]\n";

bool ParseSizes(const std::string& text, std::vector<bench::ScoreSize>& sizes) {
    sizes.clear();
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        const size_t x = item.find('x');
        if (x == std::string::npos) {
            return false;
        }
        try {
            bench::ScoreSize size{std::stoi(item.substr(0, x)), std::stoi(item.substr(x + 1))};
            if (size.staves < 1 || size.measures < 1) {
                return false;
            }
            sizes.push_back(size);
        } catch (const std::exception&) {
            return false;
        }
    }
    return !sizes.empty();
}

/// One row of the table: a CPU time per size, and what the row noticed.
struct Row {
    std::string name;
    std::vector<double> seconds;
    std::vector<std::string> notes;  ///< per size: "" or what went wrong / what the command did
};

/// Whether a command is among those `--only` names: any of its comma-separated texts is part of
/// the name (all commands when none is given).
bool Chosen(const std::string& only, std::string_view name) {
    if (only.empty()) {
        return true;
    }
    std::stringstream list(only);
    std::string text;
    while (std::getline(list, text, ',')) {
        if (!text.empty() && name.find(text) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

std::string SizeText(const bench::ScoreSize& size) {
    return std::to_string(size.staves) + "x" + std::to_string(size.measures);
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string FileNameOf(size_t index, std::string_view name) {
    std::string file = (index < 10 ? "0" : "") + std::to_string(index) + "-";
    for (const char c : name) {
        file += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    }
    return file;
}

/// The benchmark of one size.
class SizeRun {
public:
    SizeRun(const Options& options, const bench::ScoreSize& size, const fs::path& work)
        : m_options(options), m_size(size), m_work(work) {}

    /// Appends the time of every row at this size (rows in the same order every time).
    void Run(std::vector<Row>& rows);

private:
    template <typename Fn>
    double Time(Fn&& run) {
        double best = 1e30;
        for (int i = 0; i < m_options.repeats; ++i) {
            best = std::min(best, run());
        }
        return best;
    }
    void Record(std::vector<Row>& rows, size_t& next, const std::string& name, double seconds,
                const std::string& note = {});
    double RawPass(host::Host& host);
    double RunCommand(const bench::BenchCommand& command, size_t index, std::string& note);
    void RunLines(hostsim::ScriptRunner& runner, const std::vector<std::string>& lines, std::string& note);

    const Options& m_options;
    bench::ScoreSize m_size;
    fs::path m_work;
    std::unique_ptr<host::Document> m_document;
};

void SizeRun::Record(std::vector<Row>& rows, size_t& next, const std::string& name, double seconds,
                     const std::string& note) {
    if (next == rows.size()) {
        rows.push_back(Row{name, {}, {}});
    }
    rows[next].seconds.push_back(seconds);
    rows[next].notes.push_back(note);
    ++next;
}

void SizeRun::Run(std::vector<Row>& rows) {
    size_t next = 0;
    const std::string text = bench::GenerateScoreText(m_size, m_options.seed);
    const fs::path file = m_work / ("score-" + SizeText(m_size) + ".MUS");

    // Load: the score text to a document.
    const double load = Time([&] {
        const double start = CpuSeconds();
        m_document = host::ParseScoreText(text, "score");
        return CpuSeconds() - start;
    });
    Record(rows, next, "load", load);

    // Save and open, with the peak growth of the heap over the work (the document read included).
    int64_t savePeak = 0;
    const double save = Time([&] {
        bench::StartHeapCount();
        const double start = CpuSeconds();
        host::WriteMusFile(*m_document, file);
        const double seconds = CpuSeconds() - start;
        savePeak = std::max(savePeak, bench::StopHeapCount());
        return seconds;
    });
    const double fileBytes = static_cast<double>(fs::file_size(file));
    std::ostringstream saveNote;
    saveNote << std::fixed << std::setprecision(2) << "file " << fileBytes / (1 << 20) << " MiB, peak "
             << static_cast<double>(savePeak) / fileBytes << " x file";
    Record(rows, next, "save", save, saveNote.str());

    int64_t openPeak = 0;
    bool same = true;
    const double open = Time([&] {
        bench::StartHeapCount();
        const double start = CpuSeconds();
        std::unique_ptr<host::Document> opened = host::ReadMusFile(file);
        const double seconds = CpuSeconds() - start;
        openPeak = std::max(openPeak, bench::StopHeapCount());
        same = same && opened->SameContent(*m_document);
        return seconds;
    });
    std::ostringstream openNote;
    openNote << std::fixed << std::setprecision(2) << "peak " << static_cast<double>(openPeak) / fileBytes << " x file"
             << (same ? "" : ", NOT THE SAME DOCUMENT");
    Record(rows, next, "open", open, openNote.str());

    // The raw pass needs the host's services and the document, no plug-in.
    {
        host::Host host;
        host.AddDocument(std::make_unique<host::Document>(*m_document));
        Record(rows, next, "raw pass", Time([&] { return RawPass(host); }));
    }

    const auto& commands = bench::BenchCommands();
    for (size_t i = 0; i < commands.size(); ++i) {
        const bench::BenchCommand& command = commands[i];
        if (!Chosen(m_options.only, command.name)) {
            continue;
        }
        std::string commandNote;
        const double seconds = Time([&] { return RunCommand(command, i, commandNote); });
        Record(rows, next, std::string(command.name), seconds, commandNote);
    }
}

double SizeRun::RawPass(host::Host& host) {
    const auto load = reinterpret_cast<hostapi::LoadEntryArrayFn>(
        host::ServiceByOrdinal(static_cast<int32_t>(hostapi::Service::LoadEntryArray)));
    const auto release = reinterpret_cast<hostapi::ReleaseEntryArrayFn>(
        host::ServiceByOrdinal(static_cast<int32_t>(hostapi::Service::ReleaseEntryArray)));
    (void)host;  // the services work on its document in front
    const double start = CpuSeconds();
    for (int32_t slot = 1; slot <= m_size.staves; ++slot) {
        for (int32_t measure = 1; measure <= m_size.measures; ++measure) {
            for (hostapi::LayerIndex layer = 0; layer < 4; ++layer) {
                hostapi::EntryArray* array =
                    load(0, static_cast<hostapi::StaffSlot>(slot), static_cast<hostapi::MeasureNumber>(measure), layer,
                         0, hostapi::kInterfaceVersion);
                if (array != nullptr) {
                    release(array, hostapi::kInterfaceVersion);
                }
            }
        }
    }
    return CpuSeconds() - start;
}

void SizeRun::RunLines(hostsim::ScriptRunner& runner, const std::vector<std::string>& lines, std::string& note) {
    std::string script;
    for (const std::string& line : lines) {
        script += line + "\n";
    }
    std::istringstream in(script);
    std::ostringstream errors;
    if (!runner.Run(in, "bench", errors) && note.empty()) {
        note = errors.str();
        while (!note.empty() && note.back() == '\n') {
            note.pop_back();
        }
    }
}

double SizeRun::RunCommand(const bench::BenchCommand& command, size_t index, std::string& note) {
    // Every run starts a host of its own with the plug-ins just loaded and an empty registry, so
    // that nothing a run leaves behind (a pending second pass, a running explosion, remembered
    // options or forms) changes the next one.
    win::ClearUiDriver();
    win::ClearTranscript();
    win::UseRegistryFile("");  // an empty registry tied to no file
    host::Host host;
    hostsim::ScriptRunner runner(host, {m_options.plugins});
    note.clear();
    RunLines(runner, {"load plugins"}, note);
    if (!note.empty()) {
        throw std::runtime_error("the plug-ins cannot be loaded: " + note);
    }
    host.AddDocument(std::make_unique<host::Document>(*m_document));
    const auto expand = [&](std::string_view line) {
        std::string text = Replace(std::string(line), "$S", std::to_string(m_size.staves));
        text = Replace(text, "$M", std::to_string(m_size.measures));
        text = Replace(text, "$T", m_work.string());
        return Replace(text, "$X", m_options.examples);
    };
    std::vector<std::string> setup;
    setup.push_back("select " + expand(command.selection.empty() ? "1-$S 1-$M" : command.selection));
    bool shift = false;
    for (const std::string_view line : command.setup) {
        setup.push_back(expand(line));
        shift = shift || setup.back() == "hold shift";
    }
    RunLines(runner, setup, note);
    win::ClearTranscript();

    std::vector<std::string> run = {"menu \"" + std::string(command.menu) + "\""};
    for (const std::string_view line : command.after) {
        run.push_back(expand(line));
    }
    const double start = CpuSeconds();
    RunLines(runner, run, note);
    const double seconds = CpuSeconds() - start;

    if (shift) {
        RunLines(runner, {"release shift"}, note);
    }
    // The user's session ends: a form action or answer that no form or message took says the
    // command did not go as its lines expected.
    std::ostringstream leftovers;
    if (!runner.Finish(leftovers) && note.empty()) {
        note = leftovers.str();
        while (!note.empty() && note.back() == '\n') {
            note.pop_back();
        }
    }
    win::ClearUiDriver();
    host::Document* after = host.FrontDocument();
    if (note.empty()) {
        note = after == nullptr ? "no document left" : after->SameContent(*m_document) ? "unchanged" : "changed";
    }
    if (!m_options.dump.empty()) {
        const fs::path folder = fs::path(m_options.dump) / SizeText(m_size);
        fs::create_directories(folder);
        std::ofstream transcript(folder / (FileNameOf(index, command.name) + ".txt"));
        for (const std::string& line : win::TranscriptLines()) {
            transcript << line << "\n";
        }
        if (after != nullptr) {
            host::WriteMusFile(*after, folder / (FileNameOf(index, command.name) + ".MUS"));
        }
    }
    win::ClearTranscript();
    return seconds;
}

std::string Seconds(double seconds) {
    std::ostringstream text;
    if (seconds >= 10) {
        text << std::fixed << std::setprecision(1) << seconds;
    } else {
        text << std::fixed << std::setprecision(4) << seconds;
    }
    return text.str();
}

/// Rows faster than this at the largest size are not judged by their growth.
constexpr double kNoiseFloor = 0.010;

void PrintTable(const Options& options, const std::vector<Row>& rows, std::ostream& out, std::ostream* csv) {
    const auto& sizes = options.sizes;
    const size_t last = sizes.size() - 1;
    const size_t from = sizes.size() > 2 ? 1 : 0;
    const double n0 = static_cast<double>(sizes[from].staves) * sizes[from].measures;
    const double n1 = static_cast<double>(sizes[last].staves) * sizes[last].measures;
    const auto raw = std::find_if(rows.begin(), rows.end(), [](const Row& r) { return r.name == "raw pass"; });
    const double rawLast = raw == rows.end() ? 0 : raw->seconds[last];

    out << std::left << std::setw(32) << "CPU seconds";
    for (const auto& size : sizes) {
        out << std::right << std::setw(10) << SizeText(size);
    }
    out << std::setw(8) << "growth" << std::setw(10) << "x raw"
        << "  goals  notes at " << SizeText(sizes[last]) << "\n";
    if (csv != nullptr) {
        *csv << "row";
        for (const auto& size : sizes) {
            *csv << "," << SizeText(size);
        }
        *csv << ",growth,ratio_to_raw,goals,notes\n";
    }
    for (const Row& row : rows) {
        const double exponent = n1 > n0 && row.seconds[from] > 0 && row.seconds[last] > 0
                                    ? std::log(row.seconds[last] / row.seconds[from]) / std::log(n1 / n0)
                                    : 0;
        const double ratio = rawLast > 0 ? row.seconds[last] / rawLast : 0;
        const bool fast =
            row.seconds[last] < 1.0 || (row.name != "load" && row.name != "save" && row.name != "open" && ratio <= 10);
        // Below 10 ms at the largest size the exponent is mostly the timer's and the machine's
        // noise, and no such row can take long.
        const bool linear = exponent <= 1.2 || row.seconds[last] < kNoiseFloor;
        const std::string goals = fast && linear ? "ok" : !fast && !linear ? "SLOW+GROWS" : !fast ? "SLOW" : "GROWS";
        std::ostringstream growth;
        growth << std::fixed << std::setprecision(2) << exponent;
        std::ostringstream ratioText;
        ratioText << std::fixed << std::setprecision(1) << ratio;
        out << std::left << std::setw(32) << row.name.substr(0, 31);
        for (const double seconds : row.seconds) {
            out << std::right << std::setw(10) << Seconds(seconds);
        }
        out << std::setw(8) << growth.str() << std::setw(10) << ratioText.str() << "  " << std::left << std::setw(6)
            << goals << " " << row.notes[last] << "\n";
        if (csv != nullptr) {
            *csv << "\"" << row.name << "\"";
            for (const double seconds : row.seconds) {
                *csv << "," << std::setprecision(6) << seconds;
            }
            *csv << "," << growth.str() << "," << ratioText.str() << "," << goals << ",\""
                 << Replace(row.notes[last], "\"", "'") << "\"\n";
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const fs::path build = fs::read_symlink("/proc/self/exe").parent_path().parent_path();
    options.plugins = (build / "plugins").string();
    options.examples = (build.parent_path() / "examples").string();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--sizes" && hasValue) {
            if (!ParseSizes(argv[++i], options.sizes)) {
                std::cerr << "orvex_bench: sizes are STAVESxMEASURES, separated by commas\n" << kUsage;
                return 2;
            }
        } else if (arg == "--seed" && hasValue) {
            options.seed = std::stoull(argv[++i]);
        } else if (arg == "--csv" && hasValue) {
            options.csv = argv[++i];
        } else if (arg == "--only" && hasValue) {
            options.only = argv[++i];
        } else if (arg == "--dump" && hasValue) {
            options.dump = argv[++i];
        } else if (arg == "--plugins" && hasValue) {
            options.plugins = argv[++i];
        } else if (arg == "--examples" && hasValue) {
            options.examples = argv[++i];
        } else if (arg == "--repeats" && hasValue) {
            options.repeats = std::max(1, std::stoi(argv[++i]));
        } else if (arg == "--rounds" && hasValue) {
            options.rounds = std::max(1, std::stoi(argv[++i]));
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }

    // The registry is kept in memory, and emptied for every run of a command.
    const fs::path work = fs::temp_directory_path() / ("orvex_bench." + std::to_string(::getpid()));
    fs::create_directories(work);
    int status = 0;
    try {
        std::vector<Row> rows;
        for (int round = 1; round <= options.rounds; ++round) {
            std::vector<Row> measured;
            for (const bench::ScoreSize& size : options.sizes) {
                std::cerr << "orvex_bench: " << SizeText(size)
                          << (options.rounds > 1 ? ", round " + std::to_string(round) : "") << "\n";
                SizeRun(options, size, work).Run(measured);
            }
            // A row keeps its fastest time of all rounds at each size, and the notes of the last.
            if (rows.empty()) {
                rows = std::move(measured);
                continue;
            }
            for (size_t r = 0; r < rows.size(); ++r) {
                for (size_t s = 0; s < rows[r].seconds.size(); ++s) {
                    rows[r].seconds[s] = std::min(rows[r].seconds[s], measured[r].seconds[s]);
                }
                rows[r].notes = measured[r].notes;
            }
        }
        std::ofstream csvFile;
        if (!options.csv.empty()) {
            csvFile.open(options.csv);
        }
        PrintTable(options, rows, std::cout, options.csv.empty() ? nullptr : &csvFile);
    } catch (const std::exception& e) {
        std::cerr << "orvex_bench: " << e.what() << "\n";
        status = 1;
    }
    std::error_code ignored;
    fs::remove_all(work, ignored);
    return status;
}
