#include "platform/host/host.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include "platform/host/document_windows.h"
#include "platform/host/entry_arrays.h"
#include "platform/host/host_state.h"
#include "platform/host/main_window_keys.h"
#include "platform/host/music_model.h"
#include "platform/host/note_spacing.h"
#include "platform/host/record_layouts.h"
#include "platform/host/undo_journal.h"
#include "platform/hostapi/bytes.h"
#include "platform/hostapi/measure_region_records.h"
#include "platform/hostapi/records.h"
#include "platform/hostapi/services.h"
#include "platform/win/input.h"
#include "platform/win/menus.h"
#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "platform/win/transcript.h"
#include "platform/win/user32.h"
#include "platform/win/windows.h"

namespace host {
namespace {

/// A plug-in may enumerate at most this many entries; a plug-in that never answers 0 is cut here.
constexpr int16_t kMaxMenuEntries = 1000;

std::string Hex(int32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<uint32_t>(value));
    return buffer;
}

template <typename Fn>
Fn Entry(win::Hmodule module, const char* name) {
    return reinterpret_cast<Fn>(win::GetProcAddress(module, name));
}

}  // namespace

std::optional<Language> LanguageFromCode(std::string_view code) {
    if (code == "en")
        return Language::English;
    if (code == "de")
        return Language::German;
    if (code == "it")
        return Language::Italian;
    return std::nullopt;
}

std::string_view LanguageCode(Language language) {
    switch (language) {
        case Language::German:
            return "de";
        case Language::Italian:
            return "it";
        default:
            return "en";
    }
}

Host::Host(std::string programPath) {
    if (detail::State().current != nullptr) {
        throw std::logic_error("only one host runs at a time");
    }
    detail::State().current = this;
    if (programPath.empty()) {
        std::error_code error;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
        programPath =
            ((error ? std::filesystem::current_path() : exe.parent_path()) / hostapi::kHostModuleName).string();
    }
    m_hostModule =
        win::RegisterProcessModule(hostapi::kHostModuleName, win::ModuleExports{{}, ServiceByOrdinal}, programPath);
    // The system's user module is in every process; programs look functions up in it by name.
    win::RegisterUser32Module();
    m_mainWindow = win::CreateWindow({.className = "Finale", .title = "Finale"});
    m_keys = std::make_unique<MainWindowKeys>(*this);
    m_windows = std::make_unique<DocumentWindows>(*this);
    win::SetWindowProc(m_mainWindow, [this](win::Hwnd, uint32_t message, uintptr_t wParam, intptr_t) -> intptr_t {
        if (message == win::WM_COMMAND) {
            RunCommandId(static_cast<uint32_t>(wParam));
        } else if (message == win::WM_KEYDOWN || message == win::WM_SYSKEYDOWN) {
            // The host's menu accelerators (keys with Alt) are its own: no system menu loop.
            m_keys->KeyDown(static_cast<uint16_t>(wParam));
        }
        return 0;
    });
    win::SetForegroundWindow(m_mainWindow);
    win::SetFocus(m_mainWindow);
    BuildMenuBar();
}

Host::~Host() {
    DropChangeListing();
    UnloadPlugins();
    for (const auto& document : m_documents) {
        DetachLentEntryArrays(*document);
    }
    m_windows.reset();
    win::SetWindowProc(m_mainWindow, {});
    win::DestroyWindow(m_mainWindow);
    win::UnregisterProcessModule(m_hostModule);
    detail::State().current = nullptr;
}

Host* Host::Current() {
    return detail::State().current;
}

namespace detail {

HostState& State() {
    static HostState state;
    return state;
}

}  // namespace detail

void ResetHostState() {
    detail::HostState& state = detail::State();
    Host* const running = state.current;
    state = detail::HostState{};
    state.current = running;
}

void Host::SetRawVersion(int32_t rawVersion) {
    if (!m_plugins.empty()) {
        throw std::logic_error("the host version cannot change once plug-ins are loaded");
    }
    m_rawVersion = rawVersion;
    for (const std::unique_ptr<Document>& document : m_documents) {
        KeepMeasureNumberRegionsUnder(*document, hostapi::MeasureNumberRegionTag(Year()));
    }
    BuildMenuBar();
}

void Host::SetLanguage(Language language) {
    if (!m_plugins.empty()) {
        throw std::logic_error("the host language cannot change once plug-ins are loaded");
    }
    m_language = language;
    BuildMenuBar();
}

int32_t Host::LoadPlugins(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        win::TranscriptWrite("host: the plug-in folder " + win::TranscriptPath(folder) + " does not exist");
        return 0;
    }
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        entries.push_back(entry.path());
    }
    std::sort(entries.begin(), entries.end());
    int32_t loaded = 0;
    for (const fs::path& path : entries) {
        if (fs::is_regular_file(path) && path.extension() == hostapi::kPluginExtension) {
            loaded += LoadPlugin(path.string()) ? 1 : 0;
        } else if (fs::is_directory(path)) {
            // A subfolder of plug-ins is a submenu, which exists only while it holds entries.
            std::vector<fs::path> inner;
            for (const auto& entry : fs::directory_iterator(path, error)) {
                if (entry.path().extension() == hostapi::kPluginExtension) {
                    inner.push_back(entry.path());
                }
            }
            if (inner.empty()) {
                continue;
            }
            std::sort(inner.begin(), inner.end());
            const win::Hmenu submenu = win::CreatePopupMenu();
            for (const fs::path& file : inner) {
                loaded += LoadPlugin(file.string(), submenu) ? 1 : 0;
            }
            if (win::GetMenuItemCount(submenu) > 0) {
                win::AppendMenu(m_pluginsMenu, win::MF_POPUP, static_cast<uint32_t>(submenu), path.filename().string());
            } else {
                win::DestroyMenu(submenu);
            }
        }
    }
    win::DrawMenuBar(m_mainWindow);
    return loaded;
}

bool Host::LoadPlugin(const std::string& path, win::Hmenu menu) {
    LoadedPlugin plugin;
    plugin.fileName = std::filesystem::path(path).filename().string();
    plugin.module = win::LoadLibrary(path);
    if (plugin.module == win::kNoModule) {
        win::TranscriptWrite("host: cannot load " + plugin.fileName + ": " + win::LastLoaderMessage());
        return false;
    }
    return StartPlugin(std::move(plugin), menu);
}

bool Host::LoadInProcessPlugin(const std::string& fileName, win::ModuleExports exports) {
    LoadedPlugin plugin;
    plugin.fileName = fileName;
    plugin.module = win::RegisterProcessModule(fileName, std::move(exports));
    return StartPlugin(std::move(plugin), win::kNoMenu);
}

bool Host::StartPlugin(LoadedPlugin plugin, win::Hmenu menu) {
    const win::Hmodule module = plugin.module;
    plugin.version = Entry<hostapi::FinaleExtensionVersionFn>(module, hostapi::kVersionEntry);
    plugin.init = Entry<hostapi::FinaleExtensionInitFn>(module, hostapi::kInitEntry);
    plugin.enumerate = Entry<hostapi::FinaleExtensionEnumerateFn>(module, hostapi::kEnumerateEntry);
    plugin.invoke = Entry<hostapi::FinaleExtensionInvokeFn>(module, hostapi::kInvokeEntry);
    plugin.getMenuStatus = Entry<hostapi::FinaleExtensionGetMenuStatusFn>(module, hostapi::kGetMenuStatusEntry);
    plugin.terminate = Entry<hostapi::FinaleExtensionTerminateFn>(module, hostapi::kTerminateEntry);
    if (plugin.version == nullptr || plugin.init == nullptr || plugin.enumerate == nullptr ||
        plugin.invoke == nullptr || plugin.getMenuStatus == nullptr || plugin.terminate == nullptr) {
        win::TranscriptWrite("host: " + plugin.fileName + " is not a plug-in (an entry point is missing)");
        win::FreeLibrary(module);
        return false;
    }

    plugin.interfaceVersion =
        CallPlugin(plugin.fileName, hostapi::kVersionEntry, [&] { return plugin.version(m_rawVersion); });
    int32_t initResult = 0;
    if (CallPlugin(plugin.fileName, hostapi::kInitEntry, [&] { return plugin.init(m_mainWindow, &initResult); }) == 0) {
        win::TranscriptWrite("host: " + plugin.fileName + " refused to start");
        win::FreeLibrary(module);
        return false;
    }

    const win::Hmenu target = menu == win::kNoMenu ? m_pluginsMenu : menu;
    hostapi::MenuRecord record;
    for (int16_t index = 0; index < kMaxMenuEntries; ++index) {
        record.bytes.fill(0);
        if (CallPlugin(plugin.fileName, hostapi::kEnumerateEntry,
                       [&] { return plugin.enumerate(nullptr, index, record.bytes.data()); }) == 0) {
            break;
        }
        const uint32_t id = m_nextCommandId++;
        plugin.commandIds.push_back(id);
        // Menu records carry the host's 8-bit texts; the window system shows UTF-8.
        win::AppendMenu(target, win::MF_STRING, id, win::AnsiToUtf8(record.menuText()));
    }
    win::TranscriptWrite("host: loaded " + plugin.fileName + " (interface version " + Hex(plugin.interfaceVersion) +
                         "), " + std::to_string(plugin.commandIds.size()) +
                         (plugin.commandIds.size() == 1 ? " menu entry" : " menu entries"));
    m_plugins.push_back(std::move(plugin));
    return true;
}

void Host::UnloadPlugins() {
    while (!m_plugins.empty()) {
        LoadedPlugin plugin = std::move(m_plugins.back());
        m_plugins.pop_back();
        CallPlugin(plugin.fileName, hostapi::kTerminateEntry, [&] { return plugin.terminate(nullptr); });
        win::FreeLibrary(plugin.module);
        win::TranscriptWrite("host: unloaded " + plugin.fileName);
    }
}

int16_t Host::InvokePlugin(size_t plugin, int16_t index) {
    if (plugin >= m_plugins.size()) {
        throw std::out_of_range("there is no plug-in " + std::to_string(plugin));
    }
    const LoadedPlugin& loaded = m_plugins[plugin];
    Document* front = FrontDocument();
    const hostapi::SelectionRecord document =
        front != nullptr ? WholeDocumentRegion(*front) : hostapi::SelectionRecord{};
    const uint8_t* selection = m_selection ? m_selection->bytes.data() : nullptr;
    // Changes made during the call are undone under the name of the menu entry chosen.
    const std::string outer = std::exchange(m_invokedEntry, EntryText(plugin, index));
    ++m_commandSteps;
    const int16_t result = CallPlugin(loaded.fileName, hostapi::kInvokeEntry, [&] {
        return loaded.invoke(m_mainWindow, index, selection, document.bytes.data());
    });
    m_invokedEntry = outer;
    if (result != 0) {
        ++m_changeAnswers;
    }
    return result;
}

std::string Host::EntryText(size_t plugin, int16_t index) const {
    win::MenuItemInfo info;
    if (plugin < m_plugins.size() && index >= 0 && static_cast<size_t>(index) < m_plugins[plugin].commandIds.size() &&
        win::GetMenuItemInfo(win::GetMenu(m_mainWindow), m_plugins[plugin].commandIds[static_cast<size_t>(index)],
                             false, info)) {
        return win::StripAccelerators(info.text);
    }
    return {};
}

std::string Host::EditStepName(std::string_view name) const {
    const uintptr_t extra = win::GetMessageExtraInfo();
    if (extra != 0 && extra <= UINT32_MAX) {
        if (const auto command = PluginCommand(static_cast<uint32_t>(extra))) {
            if (std::string entry = EntryText(command->first, command->second); !entry.empty()) {
                return entry;
            }
        }
    }
    return std::string(name);
}

hostapi::SelectionRecord Host::DocumentRegion() {
    Document* front = FrontDocument();
    return front != nullptr ? WholeDocumentRegion(*front) : hostapi::SelectionRecord{};
}

std::optional<std::pair<size_t, int16_t>> Host::PluginCommand(uint32_t id) const {
    for (size_t plugin = 0; plugin < m_plugins.size(); ++plugin) {
        const auto& ids = m_plugins[plugin].commandIds;
        if (auto it = std::find(ids.begin(), ids.end(), id); it != ids.end()) {
            return std::make_pair(plugin, static_cast<int16_t>(it - ids.begin()));
        }
    }
    return std::nullopt;
}

std::vector<DocumentReport> Host::TrackChanges(const std::function<void()>& work) {
    // Inside a turn's change set the set is the last command's listing, not this call.
    const bool keep = !m_changeSet;
    if (keep) {
        DropChangeListing();
        m_lastChangeListing.clear();
    }
    // Each open document keeps a journal of what the work writes: what changed is found from the
    // keys and cells written, in time that follows the change rather than the document's size.
    // Documents are found again by identity, so that those opened or closed meanwhile are left out.
    std::vector<Document*> tracked;
    tracked.reserve(m_documents.size());
    for (const auto& document : m_documents) {
        document->BeginJournal();
        tracked.push_back(document.get());
    }
    try {
        work();
    } catch (...) {
        for (auto it = tracked.rbegin(); it != tracked.rend(); ++it) {
            if (Tracking(*it)) {
                (*it)->EndJournal();
            }
        }
        throw;
    }
    std::vector<PendingListing> pending;
    std::vector<DocumentReport> reports = EndJournals(tracked, keep ? &pending : nullptr);
    if (keep) {
        KeepListing(std::move(pending));
    } else {
        for (const DocumentReport& report : reports) {
            NoteSaidInSet(DocumentAt(report.number), report.changes->Summary());
        }
    }
    ++m_trackedCount;
    return reports;
}

bool Host::Tracking(const Document* document) const {
    return std::any_of(m_documents.begin(), m_documents.end(),
                       [&](const std::unique_ptr<Document>& d) { return d.get() == document; }) &&
           document->Journaling();
}

std::vector<DocumentReport> Host::EndJournals(const std::vector<Document*>& tracked,
                                              std::vector<PendingListing>* pending) {
    std::vector<std::pair<Document*, Document::Journal>> journals;
    for (auto it = tracked.rbegin(); it != tracked.rend(); ++it) {
        if (Tracking(*it)) {
            journals.emplace_back(*it, (*it)->EndJournal());
        }
    }
    std::reverse(journals.begin(), journals.end());
    std::vector<DocumentReport> reports;
    for (auto& [document, journal] : journals) {
        const Document* const wanted = document;  // a lambda of clang 14 cannot capture a binding
        auto changes = std::make_shared<const DocumentChanges>(ChangesSince(journal, *document));
        if (changes->Empty()) {
            continue;
        }
        const auto it = std::find_if(m_documents.begin(), m_documents.end(),
                                     [wanted](const std::unique_ptr<Document>& d) { return d.get() == wanted; });
        const auto number = static_cast<int32_t>(it - m_documents.begin() + 1);
        if (pending != nullptr) {
            pending->push_back({document,
                                "changes of document " + std::to_string(number) + " \"" + document->Name() +
                                    "\": " + changes->Summary(),
                                changes, std::move(journal), document->Fonts()});
        }
        reports.push_back({number, document->Name(), std::move(changes)});
    }
    return reports;
}

void Host::KeepListing(std::vector<PendingListing> pending) {
    DropChangeListing();
    m_lastChangeListing.clear();
    m_pendingListing = std::move(pending);
    // The listing is made when it is asked for, or before one of the documents changes again.
    for (const PendingListing& listing : m_pendingListing) {
        listing.document->SetBeforeWrite([this] { BuildChangeListing(); });
    }
}

void Host::BeginChangeSet() {
    if (m_changeSet) {
        throw std::logic_error("a change set begins inside another");
    }
    m_changeSet = ChangeSet{};
    m_changeSet->trackedAtBegin = m_trackedCount;
    m_serviceFailure.reset();
    for (const auto& document : m_documents) {
        m_changeSet->journals.push_back(document->JournalCount());
        document->BeginJournal();
        m_changeSet->documents.push_back(document.get());
    }
}

bool Host::ChangedInSet() const {
    if (!m_changeSet) {
        return false;
    }
    for (size_t i = 0; i < m_changeSet->documents.size(); ++i) {
        const Document* document = m_changeSet->documents[i];
        if (Tracking(document) && !ChangesSince(document->OpenJournal(m_changeSet->journals[i]), *document).Empty()) {
            return true;
        }
    }
    return false;
}

void Host::NoteSaidInSet(const Document& document, std::string summary) {
    if (m_changeSet) {
        auto& [count, said] = m_changeSet->reported[&document];
        ++count;
        said = std::move(summary);
    }
}

bool Host::EndChangeSet() {
    if (!m_changeSet) {
        throw std::logic_error("a change set ends that was never begun");
    }
    const ChangeSet set = std::move(*m_changeSet);
    m_changeSet.reset();
    std::vector<PendingListing> pending;
    const std::vector<DocumentReport> reports = EndJournals(set.documents, &pending);
    // A turn that ran no command and changed nothing leaves the last command's listing as it was.
    if (m_trackedCount != set.trackedAtBegin || !reports.empty()) {
        KeepListing(std::move(pending));
    }
    for (const DocumentReport& report : reports) {
        const auto said = set.reported.find(&DocumentAt(report.number));
        const std::string summary = report.changes->Summary();
        if (said == set.reported.end() || said->second.first != 1 ||
            (!said->second.second.empty() && said->second.second != summary)) {
            win::TranscriptWrite("host: this line changed document " + std::to_string(report.number) + " \"" +
                                 report.name + "\" in all: " + summary);
        }
    }
    return !reports.empty();
}

void Host::DropChangeListing() {
    for (PendingListing& pending : m_pendingListing) {
        pending.document->SetBeforeWrite(nullptr);
    }
    m_pendingListing.clear();
}

void Host::BuildChangeListing() {
    std::vector<PendingListing> pending = std::move(m_pendingListing);
    m_pendingListing.clear();
    for (PendingListing& listing : pending) {
        listing.document->SetBeforeWrite(nullptr);
    }
    std::vector<std::string> lines;
    for (PendingListing& listing : pending) {
        Document& document = *listing.document;
        // The fonts as the command left them, whatever came after.
        std::swap(document.Fonts(), listing.fontsAfter);
        std::vector<std::string> changes;
        try {
            changes = ChangeListingSince(*listing.changes, listing.journal, document);
        } catch (...) {
            std::swap(document.Fonts(), listing.fontsAfter);
            throw;
        }
        std::swap(document.Fonts(), listing.fontsAfter);
        lines.push_back(std::move(listing.heading));
        for (std::string& line : changes) {
            lines.push_back(std::move(line));
        }
    }
    m_lastChangeListing = std::move(lines);
}

const std::vector<std::string>& Host::LastChangeListing() {
    if (!m_pendingListing.empty()) {
        BuildChangeListing();
    }
    return m_lastChangeListing;
}

void Host::NoteDataService(std::string failure) {
    const bool inCall = !m_calls.empty();
    if (!failure.empty()) {
        m_serviceFailure = ServiceFailure{std::move(failure), m_outerCalls, inCall};
    } else if (m_serviceFailure && m_serviceFailure->call == m_outerCalls && m_serviceFailure->inCall == inCall) {
        m_serviceFailure.reset();
    }
}

void Host::WriteChangeSummary(const std::string& who, const std::vector<DocumentReport>& reports) {
    const std::optional<ServiceFailure> failure = std::exchange(m_serviceFailure, std::nullopt);
    if (reports.empty() && !ChangedInSet()) {
        win::TranscriptWrite("host: nothing changed");
        if (failure) {
            win::TranscriptWrite("host: " + failure->reason);
        }
    }
    for (const DocumentReport& report : reports) {
        win::TranscriptWrite("host: " + who + " changed document " + std::to_string(report.number) + " \"" +
                             report.name + "\": " + report.changes->Summary());
    }
}

int16_t Host::RunPluginCommand(size_t plugin, int16_t index) {
    if (plugin >= m_plugins.size()) {
        throw std::out_of_range("there is no plug-in " + std::to_string(plugin));
    }
    const std::string fileName = m_plugins[plugin].fileName;
    int16_t answer = 0;
    const uint64_t edits = m_hostEdits;
    const std::vector<DocumentReport> reports = TrackChanges([&] { answer = InvokePlugin(plugin, index); });
    WriteChangeSummary(fileName, reports);
    if (reports.empty() && answer != 0) {
        win::TranscriptWrite("host: " + fileName + " answered that it changed the document");
    } else if (!reports.empty() && answer == 0 && m_hostEdits == edits) {
        // A change the host is not told of: it would let the user close the document unsaved.
        win::TranscriptWrite("host: " + fileName + " answered that it did not change the document");
    }
    return answer;
}

void Host::RunCommandId(uint32_t id) {
    if (const auto command = PluginCommand(id)) {
        if (FrontDocument() == nullptr) {
            // The host greys its plug-in entries while no document is open.
            win::TranscriptWrite("host: no document is open: entry " + std::to_string(command->second) + " of " +
                                 m_plugins[command->first].fileName + " is greyed and does nothing");
            return;
        }
        RunPluginCommand(command->first, command->second);
        return;
    }
    if (id == kApplyNoteSpacingCommand) {
        ApplyNoteSpacing();
        return;
    }
    if (id == kUndoCommand) {
        Undo();
        return;
    }
    if (id == kRedoCommand) {
        Redo();
        return;
    }
    win::MenuItemInfo info;
    const win::Hmenu bar = win::GetMenu(m_mainWindow);
    if (win::GetMenuItemInfo(bar, id, false, info)) {
        win::TranscriptWrite("host: command \"" + win::StripAccelerators(info.text) + "\" [" + std::to_string(id) +
                             "]");
    } else {
        win::TranscriptWrite("host: command " + std::to_string(id) + " (no menu item)");
    }
    switch (id) {
        case kCommandScrollView:
        case kCommandPageView:
            m_windows->SetPageView(id == kCommandPageView);
            break;
        case kCommandSpeedyEntryTool:
        case kCommandSelectionTool:
        case kCommandMassEditTool:
            m_windows->SetSpeedyEntry(id == kCommandSpeedyEntryTool);
            break;
        default:
            break;
    }
}

void Host::ApplyNoteSpacing() {
    Document* front = FrontDocument();
    if (front == nullptr) {
        return;
    }
    if (!m_selection) {
        win::TranscriptWrite("host: Apply Note Spacing: nothing is selected, nothing is spaced");
        return;
    }
    const hostapi::MeasureNumber first = m_selection->firstMeasure();
    const hostapi::MeasureNumber last = m_selection->lastMeasure();
    int32_t respaced = 0;
    RunHostEdit("Apply Note Spacing", [&] { respaced = host::ApplyNoteSpacing(*front, first, last); });
    win::TranscriptWrite("host: Apply Note Spacing: " + std::to_string(respaced) +
                         (respaced == 1 ? " measure" : " measures") + " respaced (" + std::to_string(first) + "-" +
                         std::to_string(last) + ")");
}

namespace {

/// "host: undo "NAME": 2 cells, 1 record" and the changes, one a line (at most 20).
void WriteUndoneStep(std::string_view verb, const UndoStep& step) {
    const size_t cells = step.CellCount();
    const size_t records = step.RecordCount();
    const std::vector<std::string> changes = step.Changes();
    std::string line = "host: " + std::string(verb) + " \"" + step.name + "\": " + std::to_string(cells) +
                       (cells == 1 ? " cell, " : " cells, ") + std::to_string(records) +
                       (records == 1 ? " record" : " records");
    if (step.ChangedFonts()) {
        line += ", fonts";
    }
    win::TranscriptWrite(line);
    constexpr size_t kShown = 20;
    for (size_t i = 0; i < changes.size() && i < kShown; ++i) {
        if (changes[i] != "fonts") {
            win::TranscriptWrite("  " + changes[i]);
        }
    }
    if (changes.size() > kShown) {
        win::TranscriptWrite("  ... and " + std::to_string(changes.size() - kShown) + " more");
    }
}

}  // namespace

void Host::Undo() {
    Document* front = FrontDocument();
    if (front == nullptr) {
        return;
    }
    CloseUndoSteps();
    if (const UndoStep* step = front->Undo()) {
        ++m_hostEdits;
        NoteSaidInSet(*front);
        WriteUndoneStep("undo", *step);
    } else {
        win::TranscriptWrite("host: nothing to undo");
    }
}

void Host::Redo() {
    Document* front = FrontDocument();
    if (front == nullptr) {
        return;
    }
    CloseUndoSteps();
    if (const UndoStep* step = front->Redo()) {
        ++m_hostEdits;
        NoteSaidInSet(*front);
        WriteUndoneStep("redo", *step);
    } else {
        win::TranscriptWrite("host: nothing to redo");
    }
}

std::vector<std::pair<std::string, win::Hmodule>> Host::DialogTemplateModules() const {
    std::vector<std::pair<std::string, win::Hmodule>> modules;
    if (!m_calls.empty()) {
        for (const LoadedPlugin& plugin : m_plugins) {
            if (plugin.fileName == m_calls.back()) {
                modules.emplace_back(plugin.fileName, plugin.module);
            }
        }
    }
    for (const LoadedPlugin& plugin : m_plugins) {
        modules.emplace_back(plugin.fileName, plugin.module);
    }
    return modules;
}

void Host::CloseUndoSteps() {
    for (const auto& document : m_documents) {
        document->CloseUndoStep();
    }
}

std::string Host::UndoStepName() const {
    if (!m_hostEditName.empty()) {
        return m_hostEditName;
    }
    if (!m_invokedEntry.empty()) {
        return m_invokedEntry;
    }
    const win::Hwnd active = win::GetActiveWindow();
    return active != win::kNoWindow && active != m_mainWindow ? win::GetWindowText(active) : std::string();
}

namespace {

/// A menu text as a path compares it: no accelerator marks, no trailing dots, lower case.
std::string MenuKey(std::string_view text) {
    std::string key = win::StripAccelerators(text);
    while (!key.empty() && (key.back() == '.' || key.back() == ' ')) {
        key.pop_back();
    }
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    return key;
}

}  // namespace

MenuLookup Host::LookUpMenuCommand(std::string_view path) const {
    MenuLookup lookup;
    win::Hmenu menu = win::GetMenu(m_mainWindow);
    size_t start = 0;
    while (menu != win::kNoMenu && start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string wanted = MenuKey(path.substr(start, end - start));
        // An item whose own text holds a "/" ("Align/Move...") takes the rest of the path.
        const std::string rest = MenuKey(path.substr(start));
        const bool last = end == path.size();
        const int32_t count = win::GetMenuItemCount(menu);
        win::Hmenu next = win::kNoMenu;
        std::vector<std::string> texts;
        for (int32_t i = 0; i < count; ++i) {
            win::MenuItemInfo info;
            win::GetMenuItemInfo(menu, static_cast<uint32_t>(i), true, info);
            if ((info.flags & win::MF_SEPARATOR) == 0) {
                texts.push_back(win::StripAccelerators(info.text));
            }
            if (!last && (info.flags & (win::MF_SEPARATOR | win::MF_POPUP)) == 0 && MenuKey(info.text) == rest) {
                lookup.id = info.id;
                return lookup;
            }
            if ((info.flags & win::MF_SEPARATOR) != 0 || MenuKey(info.text) != wanted) {
                continue;
            }
            if ((info.flags & win::MF_POPUP) != 0) {
                next = info.submenu;
                break;
            }
            if (last) {
                lookup.id = info.id;
                return lookup;
            }
        }
        if (next == win::kNoMenu || last) {
            lookup.failedOffset = start;
            lookup.failedText = std::string(path.substr(start, end - start));
            lookup.siblings = std::move(texts);
            lookup.isSubmenu = next != win::kNoMenu;
            if (lookup.isSubmenu) {
                // The path ends at a submenu: what it offers are the submenu's items.
                lookup.siblings.clear();
                for (int32_t i = 0; i < win::GetMenuItemCount(next); ++i) {
                    win::MenuItemInfo info;
                    win::GetMenuItemInfo(next, static_cast<uint32_t>(i), true, info);
                    if ((info.flags & win::MF_SEPARATOR) == 0) {
                        lookup.siblings.push_back(win::StripAccelerators(info.text));
                    }
                }
            }
            return lookup;
        }
        lookup.found.push_back(std::string(path.substr(start, end - start)));
        menu = next;
        start = end + 1;
    }
    return lookup;
}

uint32_t Host::FindMenuCommand(std::string_view path) const {
    return LookUpMenuCommand(path).id;
}

void Host::AfterPluginCall(const std::string& fileName, std::string_view entry, uint64_t lendingMark) {
    // A call made inside another one (a plug-in sending the host a command) belongs to its step.
    if (m_calls.size() == 1) {
        CloseUndoSteps();
    }
    for (const std::string& cell : ReclaimLentEntryArrays(lendingMark)) {
        win::TranscriptWrite("host: " + fileName + " did not release the entry array of " + cell + " (" +
                             std::string(entry) + ")");
    }
    if (m_progress.CloseLeftOpen()) {
        win::TranscriptWrite("host: " + fileName + " left the progress display open (" + std::string(entry) +
                             "); the host closes it");
    }
}

void Host::SetWritesRefused(hostapi::Tag tag, bool refused) {
    if (refused) {
        m_refusedTags.insert(tag);
    } else {
        m_refusedTags.erase(tag);
    }
}

bool Host::LayerShown(hostapi::LayerIndex layer) const {
    return layer >= 0 && layer <= 3 && (m_hiddenLayers & (1u << layer)) == 0;
}

void Host::SetLayerShown(hostapi::LayerIndex layer, bool shown) {
    if (layer < 0 || layer > 3) {
        throw std::out_of_range("there is no layer " + std::to_string(layer + 1));
    }
    const auto bit = static_cast<uint8_t>(1u << layer);
    m_hiddenLayers = shown ? static_cast<uint8_t>(m_hiddenLayers & ~bit) : static_cast<uint8_t>(m_hiddenLayers | bit);
}

hostapi::SelectionRecord WholeDocumentRegion(const Document& document) {
    hostapi::SelectionRecord region;
    region.setViewKey(0);
    const int32_t staves = StaffCountOfView(document, 0);
    const auto last = document.Records().Previous(RecordKey::Other(kTagMeasure, INT16_MAX, INT16_MAX));
    const hostapi::MeasureNumber lastMeasure = last ? static_cast<hostapi::MeasureNumber>(last->first) : 0;
    region.setFirstStaff(staves > 0 ? 1 : 0);
    region.setLastStaff(static_cast<hostapi::StaffSlot>(std::min<int32_t>(staves, INT16_MAX)));
    region.setFirstMeasure(lastMeasure > 0 ? 1 : 0);
    region.setLastMeasure(lastMeasure);
    region.setStartEdu(0);
    region.setEndEdu(lastMeasure > 0 ? MeasureLength(document, lastMeasure) : 0);
    return region;
}

Document& Host::AddDocument(std::unique_ptr<Document> document) {
    if (!document) {
        throw std::logic_error("the host cannot open a document that is not there");
    }
    KeepMeasureNumberRegionsUnder(*document, hostapi::MeasureNumberRegionTag(Year()));
    document->StartUndoHistory([this] { return UndoStepName(); });
    m_identities[document.get()] = ++m_lastIdentity;
    m_documents.push_back(std::move(document));
    m_frontNumber = DocumentCount();
    m_windows->Added();
    RefreshTitle();
    return *m_documents.back();
}

int32_t Host::DocumentIdentity(int32_t which) const {
    const int32_t number = which == 0 ? m_frontNumber : which;
    if (number < 1 || number > DocumentCount()) {
        return 0;
    }
    const auto it = m_identities.find(m_documents[static_cast<size_t>(number - 1)].get());
    return it == m_identities.end() ? 0 : it->second;
}

Document* Host::FrontDocument() {
    return m_frontNumber == 0 ? nullptr : m_documents[static_cast<size_t>(m_frontNumber - 1)].get();
}

Document& Host::DocumentAt(int32_t number) {
    if (number < 1 || number > DocumentCount()) {
        throw std::out_of_range("there is no document " + std::to_string(number));
    }
    return *m_documents[static_cast<size_t>(number - 1)];
}

bool Host::BringToFront(int32_t number) {
    if (number < 1 || number > DocumentCount()) {
        return false;
    }
    m_frontNumber = number;
    m_windows->BroughtToFront(number);
    RefreshTitle();
    return true;
}

bool Host::CloseFront() {
    if (m_frontNumber == 0) {
        return false;
    }
    const auto at = m_documents.begin() + (m_frontNumber - 1);
    if (std::any_of(m_pendingListing.begin(), m_pendingListing.end(),
                    [&](const PendingListing& pending) { return pending.document == at->get(); })) {
        BuildChangeListing();
    }
    if (m_changeSet) {
        // What the turn changed in a document that closes goes with it.
        const auto it = std::find(m_changeSet->documents.begin(), m_changeSet->documents.end(), at->get());
        if (it != m_changeSet->documents.end()) {
            m_changeSet->journals.erase(m_changeSet->journals.begin() + (it - m_changeSet->documents.begin()));
            m_changeSet->documents.erase(it);
        }
        m_changeSet->reported.erase(at->get());
    }
    DetachLentEntryArrays(**at);
    m_windows->Closing(m_frontNumber);
    m_identities.erase(at->get());
    m_documents.erase(at);
    m_frontNumber = DocumentCount();
    m_windows->BroughtToFront(m_frontNumber);
    m_selection.reset();
    RefreshTitle();
    return true;
}

std::vector<std::string> Host::MenuTreeLines() const {
    std::vector<std::string> lines;
    lines.push_back("menu bar of \"" + win::GetWindowText(m_mainWindow) + "\"");
    const std::function<void(win::Hmenu, const std::string&)> walk = [&](win::Hmenu menu, const std::string& indent) {
        const int32_t count = win::GetMenuItemCount(menu);
        for (int32_t i = 0; i < count; ++i) {
            win::MenuItemInfo info;
            win::GetMenuItemInfo(menu, static_cast<uint32_t>(i), true, info);
            if ((info.flags & win::MF_SEPARATOR) != 0) {
                lines.push_back(indent + "-----");
                continue;
            }
            std::string line = indent + info.text;
            if ((info.flags & win::MF_POPUP) == 0) {
                line += "  [" + std::to_string(info.id) + "]";
            }
            if ((info.flags & win::MF_CHECKED) != 0)
                line += " (checked)";
            if ((info.flags & win::MF_GRAYED) != 0)
                line += " (grayed)";
            if ((info.flags & (win::MF_MENUBARBREAK | win::MF_MENUBREAK)) != 0)
                line += " (new column)";
            lines.push_back(line);
            if ((info.flags & win::MF_POPUP) != 0) {
                walk(info.submenu, indent + "  ");
            }
        }
    };
    walk(win::GetMenu(m_mainWindow), "  ");
    return lines;
}

}  // namespace host
