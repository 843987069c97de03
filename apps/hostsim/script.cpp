#include "apps/hostsim/script.h"

#include <algorithm>
#include <ostream>

#include "platform/host/document_commands.h"
#include "platform/host/record_store.h"
#include "platform/win/transcript.h"

namespace hostsim {
namespace {

int32_t ParseNumber(const std::string& text) {
    try {
        size_t used = 0;
        const long long value = std::stoll(text, &used, 0);
        if (used != text.size() || value < INT32_MIN || value > UINT32_MAX) {
            throw ScriptError("not a number: " + text);
        }
        return static_cast<int32_t>(value);
    } catch (const std::logic_error&) {
        throw ScriptError("not a number: " + text);
    }
}

void ExpectArguments(const std::vector<std::string>& arguments, size_t minimum, size_t maximum,
                     const std::string& usage) {
    if (arguments.size() < minimum || arguments.size() > maximum) {
        throw ScriptError("usage: " + usage);
    }
}

}  // namespace

std::vector<std::string> SplitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) {
                word += line[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) {
                words.push_back(word);
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) {
        throw ScriptError("a quoted word is not closed");
    }
    if (inWord) {
        words.push_back(word);
    }
    return words;
}

ScriptRunner::ScriptRunner(host::Host& host, Settings settings)
    : m_host(host), m_settings(std::move(settings)), m_commands(MakeCommands()) {}

std::vector<ScriptRunner::Command> ScriptRunner::MakeCommands() {
    return {
        {{"host", "version"},
         "host version RAW-VERSION",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "host version RAW-VERSION");
             m_host.SetRawVersion(ParseNumber(args[0]));
             win::TranscriptWrite("host: version " + args[0] + " (Finale " + std::to_string(m_host.Year()) + ")");
         }},
        {{"host", "language"},
         "host language en|de|it",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "host language en|de|it");
             const auto language = host::LanguageFromCode(args[0]);
             if (!language) {
                 throw ScriptError("unknown language " + args[0] + " (en, de or it)");
             }
             m_host.SetLanguage(*language);
             win::TranscriptWrite("host: language " + args[0]);
         }},
        {{"load", "plugins"},
         "load plugins [FOLDER]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 1, "load plugins [FOLDER]");
             const std::string folder = args.empty() ? m_settings.pluginFolder : args[0];
             m_host.LoadPlugins(folder);
         }},
        {{"print", "menus"},
         "print menus",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "print menus");
             for (const std::string& line : m_host.MenuTreeLines()) {
                 win::TranscriptWrite(line);
             }
         }},
        {{"new"},
         "new SCORE-TEXT-FILE",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "new SCORE-TEXT-FILE");
             host::NewDocumentFromScoreFile(m_host, args[0]);
         }},
        {{"open"},
         "open FILE.MUS",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "open FILE.MUS");
             host::OpenDocumentFile(m_host, args[0]);
         }},
        {{"save"},
         "save FILE.MUS",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "save FILE.MUS");
             host::SaveFrontDocument(m_host, args[0]);
         }},
        {{"front"},
         "front N",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 1, 1, "front N");
             host::BringDocumentToFront(m_host, ParseNumber(args[0]));
         }},
        {{"dump", "records"},
         "dump records [TAG]",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 1, "dump records [TAG]");
             const auto tag = args.empty() ? std::nullopt : host::ParseTagText(args[0]);
             if (!args.empty() && !tag) {
                 throw ScriptError("not a tag: " + args[0] + " (four characters, \\xNN for any other byte)");
             }
             host::ListFrontRecords(m_host, tag);
         }},
        {{"quit"},
         "quit",
         [this](const std::vector<std::string>& args) {
             ExpectArguments(args, 0, 0, "quit");
             m_quit = true;
         }},
    };
}

void ScriptRunner::RunLine(const std::vector<std::string>& words) {
    const Command* best = nullptr;
    for (const Command& command : m_commands) {
        if (words.size() >= command.words.size() &&
            std::equal(command.words.begin(), command.words.end(), words.begin()) &&
            (best == nullptr || command.words.size() > best->words.size())) {
            best = &command;
        }
    }
    if (best == nullptr) {
        throw ScriptError("unknown command \"" + words[0] + "\"");
    }
    best->run(std::vector<std::string>(words.begin() + static_cast<std::ptrdiff_t>(best->words.size()), words.end()));
}

bool ScriptRunner::Run(std::istream& script, const std::string& scriptName, std::ostream& errors) {
    std::string line;
    size_t lineNumber = 0;
    while (!m_quit && std::getline(script, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        try {
            const std::vector<std::string> words = SplitWords(line);
            win::TranscriptWrite("> " + line.substr(first));
            RunLine(words);
        } catch (const std::exception& e) {
            errors << scriptName << ":" << lineNumber << ": " << e.what() << "\n";
            return false;
        }
    }
    return true;
}

}  // namespace hostsim
