#include "platform/host/document_commands.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>

#include "platform/host/document_check.h"
#include "platform/host/mus_file.h"
#include "platform/host/record_dump.h"
#include "platform/host/score_text.h"
#include "platform/host/score_text_writer.h"
#include "platform/host/text_words.h"
#include "platform/hostapi/measure_region_records.h"
#include "platform/win/file_write.h"
#include "platform/win/transcript.h"

namespace host {
namespace {

std::string Counted(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Named(int32_t number, const Document& document) {
    return "document " + std::to_string(number) + " \"" + document.Name() + "\"";
}

/// Two names of one file: the same file when both exist, else the same normal path.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error) && !error) {
        return true;
    }
    return std::filesystem::weakly_canonical(a, error) == std::filesystem::weakly_canonical(b, error);
}

/// The line `line` (from 1) of a file; empty when it cannot be read.
std::string LineOfFile(const std::filesystem::path& path, size_t line) {
    std::ifstream file(path, std::ios::binary);
    std::string text;
    for (size_t i = 0; i < line && std::getline(file, text); ++i) {
    }
    if (!text.empty() && text.back() == '\r') {
        text.pop_back();
    }
    return text;
}

void Describe(FileProblem* problem, const std::string& message, size_t line, size_t column,
              const std::filesystem::path& path) {
    if (problem != nullptr) {
        *problem = {message, line, column, line != 0 ? LineOfFile(path, line) : std::string()};
    }
}

Document& Front(Host& host) {
    Document* front = host.FrontDocument();
    if (front == nullptr) {
        throw std::runtime_error("no document is open");
    }
    return *front;
}

}  // namespace

bool NewDocumentFromScoreFile(Host& host, const std::filesystem::path& path, FileProblem* problem,
                              std::vector<FileProblem>* warnings) {
    std::unique_ptr<Document> document;
    std::vector<ScoreTextNote> notes;
    const auto problemOf = [&](const ScoreTextNote& note) {
        FileProblem found;
        Describe(&found, note.detail, note.line, note.column, path);
        return found;
    };
    bool read = true;
    try {
        document = ReadScoreFile(path, &notes);
    } catch (const ScoreTextError& e) {
        win::TranscriptWrite(
            "host: cannot make a document from " + win::TranscriptPath(path.string()) + ": " + e.what() +
            (e.More().empty() ? std::string()
                              : " (and " + Counted(e.More().size(), "more mistake", "more mistakes") + ")"));
        Describe(problem, e.Detail(), e.Line(), e.Column(), path);
        for (const ScoreTextNote& more : e.More()) {
            if (problem != nullptr) {
                problem->more.push_back(problemOf(more));
            }
        }
        read = false;
    }
    // The warnings of a text are told also when it has mistakes.
    for (const ScoreTextNote& note : notes) {
        if (warnings != nullptr) {
            warnings->push_back(problemOf(note));
        }
    }
    if (!read) {
        return false;
    }
    const Document& added = host.AddDocument(std::move(document));
    win::TranscriptWrite("host: made " + Named(host.FrontNumber(), added) + " from " +
                         win::TranscriptPath(path.string()) + ", " +
                         Counted(added.Records().Count(), "record", "records"));
    return true;
}

bool OpenDocumentFile(Host& host, const std::filesystem::path& path, FileProblem* problem) {
    for (int32_t number = 1; number <= host.DocumentCount(); ++number) {
        const Document& open = host.DocumentAt(number);
        if (!open.Path().empty() && SameFile(open.Path(), path)) {
            host.BringToFront(number);
            win::TranscriptWrite("host: " + win::TranscriptPath(path.string()) + " is open already as " +
                                 Named(number, open) + ", which comes to the front");
            return true;
        }
    }
    std::unique_ptr<Document> document;
    try {
        document = ReadMusFile(path);
    } catch (const DocumentFileError& e) {
        win::TranscriptWrite("host: cannot open " + win::TranscriptPath(path.string()) + ": " + e.what());
        Describe(problem, e.Detail(), e.Line(), e.Column(), path);
        return false;
    }
    const Document& added = host.AddDocument(std::move(document));
    win::TranscriptWrite("host: opened " + Named(host.FrontNumber(), added) + ", " +
                         Counted(added.Records().Count(), "record", "records"));
    return true;
}

bool SaveFrontDocument(Host& host, const std::filesystem::path& path, FileProblem* problem) {
    Document& front = Front(host);
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == kScoreTextExtension) {
        // A score text is written out beside the document, which keeps its name and file.
        const std::string text = WriteScoreText(front);
        std::string reason;
        if (!win::ReplaceFileContents(path, text, &reason)) {
            const std::string message = "the file cannot be written (" + reason + "); the file is as it was";
            win::TranscriptWrite("host: cannot save " + win::TranscriptPath(path.string()) + ": " + message);
            Describe(problem, message, 0, 0, path);
            return false;
        }
        win::TranscriptWrite("host: wrote " + Named(host.FrontNumber(), front) + " as a score text to " +
                             win::TranscriptPath(path.string()) + ", " +
                             Counted(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')), "line", "lines"));
        return true;
    }
    try {
        WriteMusFile(front, path);
    } catch (const DocumentFileError& e) {
        win::TranscriptWrite("host: cannot save " + win::TranscriptPath(path.string()) + ": " + e.what());
        Describe(problem, e.Detail(), 0, 0, path);
        return false;
    }
    front.SetPath(path);
    front.SetName(path.stem().string());
    host.RefreshTitle();
    win::TranscriptWrite("host: saved " + Named(host.FrontNumber(), front) + " as " +
                         win::TranscriptPath(path.string()) + ", " +
                         Counted(front.Records().Count(), "record", "records"));
    return true;
}

bool CloseFrontDocument(Host& host) {
    const Document* front = host.FrontDocument();
    if (front == nullptr) {
        return false;
    }
    const std::string closed = Named(host.FrontNumber(), *front);
    host.CloseFront();
    win::TranscriptWrite("host: closed " + closed);
    return true;
}

void BringDocumentToFront(Host& host, int32_t number) {
    if (!host.BringToFront(number)) {
        throw std::runtime_error("there is no document " + std::to_string(number) + " (" +
                                 Counted(static_cast<size_t>(host.DocumentCount()), "document is", "documents are") +
                                 " open)");
    }
    win::TranscriptWrite("host: " + Named(number, *host.FrontDocument()) + " is in front");
}

void ListFrontRecords(Host& host, std::optional<hostapi::Tag> tag) {
    const Document& front = Front(host);
    const std::vector<std::string> lines = RecordListing(front, tag);
    std::string heading = "records of " + Named(host.FrontNumber(), front) + ": ";
    heading +=
        tag ? std::to_string(lines.size()) + " '" + TagText(*tag) + "' of " + std::to_string(front.Records().Count())
            : std::to_string(lines.size());
    win::TranscriptWrite(heading);
    for (const std::string& line : lines) {
        win::TranscriptWrite("  " + line);
    }
}

void ListFrontScoreText(Host& host) {
    const Document& front = Front(host);
    win::TranscriptWrite("score text of " + Named(host.FrontNumber(), front) + ":");
    for (const std::string& line : SplitLines(WriteScoreText(front))) {
        win::TranscriptWrite("  " + line);
    }
}

void ListFrontCells(Host& host, std::optional<NumberRange> staves, std::optional<NumberRange> measures) {
    const Document& front = Front(host);
    const auto range = [](const std::optional<NumberRange>& r, const char* one, const char* all) {
        if (!r) {
            return std::string(all);
        }
        return std::string(one) + " " +
               (r->first == r->last ? std::to_string(r->first)
                                    : std::to_string(r->first) + "-" + std::to_string(r->last));
    };
    win::TranscriptWrite(
        "cells of " + Named(host.FrontNumber(), front) + ": " +
        range(staves, staves && staves->first == staves->last ? "staff" : "staves", "all staves") + ", " +
        range(measures, measures && measures->first == measures->last ? "measure" : "measures", "all measures"));
    for (const std::string& line :
         CellListing(front, staves.value_or(NumberRange{}), measures.value_or(NumberRange{}))) {
        win::TranscriptWrite(line);
    }
}

bool CheckFrontDocument(Host& host, const std::optional<std::filesystem::path>& since, FileProblem* problem) {
    const Document& front = Front(host);
    std::vector<DocumentProblem> problems;
    std::string heading = "document check of " + Named(host.FrontNumber(), front);
    if (since) {
        const auto cannotRead = [&](const auto& e) {
            win::TranscriptWrite("host: cannot read " + since->string() + ": " + e.what());
            Describe(problem, e.Detail(), e.Line(), e.Column(), *since);
            return false;
        };
        std::unique_ptr<Document> before;
        try {
            before = since->extension() == kScoreTextExtension ? ReadScoreFile(*since) : ReadMusFile(*since);
        } catch (const ScoreTextError& e) {
            return cannotRead(e);
        } catch (const DocumentFileError& e) {
            return cannotRead(e);
        }
        KeepMeasureNumberRegionsUnder(*before, hostapi::MeasureNumberRegionTag(host.Year()));
        problems = NewProblems(*before, front);
        heading += " since " + since->string() + ": " +
                   (problems.empty() ? std::string("no new problems")
                                     : Counted(problems.size(), "new problem", "new problems"));
    } else {
        problems = CheckDocument(front);
        heading +=
            ": " + (problems.empty() ? std::string("no problems") : Counted(problems.size(), "problem", "problems"));
    }
    win::TranscriptWrite(heading);
    for (const DocumentProblem& found : problems) {
        win::TranscriptWrite("  " + found.Line());
    }
    return true;
}

void StopProgressAt(Host& host, int32_t step) {
    if (step < 1) {
        throw std::runtime_error("the user stops at a step from 1 on, not " + std::to_string(step));
    }
    host.Progress().StopNextAt(step);
    win::TranscriptWrite("host: the user will stop the next progress display at step " + std::to_string(step));
}

}  // namespace host
