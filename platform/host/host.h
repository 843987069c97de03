// The simulated host program: its main window and menus, its plug-in services (registered as
// the exports of its own module, "FINALE.EXE", by ordinal) and the plug-ins it loads from a
// plug-in folder. One host exists at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/host/document.h"
#include "platform/host/document_changes.h"
#include "platform/host/entry_arrays.h"
#include "platform/host/progress.h"
#include "platform/hostapi/entry_points.h"
#include "platform/hostapi/records.h"
#include "platform/win/handles.h"
#include "platform/win/modules.h"

namespace host {

class MainWindowKeys;
class DocumentWindows;

enum class Language { English, German, Italian };

/// "en", "de", "it" -> the language; nullopt for anything else.
std::optional<Language> LanguageFromCode(std::string_view code);
std::string_view LanguageCode(Language language);

struct LoadedPlugin {
    std::string fileName;
    win::Hmodule module = win::kNoModule;
    hostapi::FinaleExtensionVersionFn version = nullptr;
    hostapi::FinaleExtensionInitFn init = nullptr;
    hostapi::FinaleExtensionEnumerateFn enumerate = nullptr;
    hostapi::FinaleExtensionInvokeFn invoke = nullptr;
    hostapi::FinaleExtensionGetMenuStatusFn getMenuStatus = nullptr;
    hostapi::FinaleExtensionTerminateFn terminate = nullptr;
    int32_t interfaceVersion = 0;      ///< what FinaleExtensionVersion answered
    std::vector<uint32_t> commandIds;  ///< the host's command identifier of each menu entry, by index
};

/// The host's own commands that the simulated host carries out (the others are only shown).
inline constexpr uint32_t kUndoCommand = 57643;
inline constexpr uint32_t kRedoCommand = 57644;
inline constexpr uint32_t kApplyNoteSpacingCommand = 76220;

/// Where a path of menu texts leads: the command identifier of its item, or the level at which
/// no item matched, with the texts offered there (for a "did you mean").
struct MenuLookup {
    uint32_t id = 0;                    ///< 0 when the path leads to no item
    std::vector<std::string> found;     ///< the levels that matched, as the path wrote them
    size_t failedOffset = 0;            ///< where the level that matched nothing begins in the path
    std::string failedText;             ///< that level's text, as the path wrote it
    std::vector<std::string> siblings;  ///< the item texts of that level's menu, without '&' marks
    bool isSubmenu = false;             ///< the path ends at a submenu, not at an item
};

/// What one command changed in one open document.
struct DocumentReport {
    int32_t number = 0;  ///< the document's number after the command
    std::string name;
    /// Shared with the change listing the host keeps for the command (not copied: a command over
    /// a whole score changes tens of thousands of entries and records).
    std::shared_ptr<const DocumentChanges> changes;
};

class Host {
public:
    static constexpr int32_t kDefaultRawVersion = 0x05000005;
    static constexpr uint32_t kFirstPluginCommandId = 40000;

    /// `programPath` is the host program's full file name (its folder holds "Plug-Ins", "User
    /// Manual", ...); by default "FINALE.EXE" in the folder of the running executable.
    explicit Host(std::string programPath = {});
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    /// The host running now, or nullptr.
    static Host* Current();

    /// Version and language are fixed once plug-ins are loaded; changing them later throws
    /// std::logic_error. Both rebuild the menu bar.
    void SetRawVersion(int32_t rawVersion);
    int32_t RawVersion() const { return m_rawVersion; }
    int32_t Year() const { return hostapi::HostYearOfRawVersion(m_rawVersion); }
    void SetLanguage(Language language);
    Language CurrentLanguage() const { return m_language; }

    win::Hwnd MainWindow() const { return m_mainWindow; }
    /// The MDI client and the document windows (document_windows.h).
    DocumentWindows& Windows() { return *m_windows; }
    win::Hmenu PluginsMenu() const { return m_pluginsMenu; }

    /// Loads every "*.fxt" of a folder, in name order; a subfolder holding plug-ins becomes a
    /// submenu of the Plug-ins menu. Answers how many plug-ins were loaded.
    int32_t LoadPlugins(const std::string& folder);
    /// Loads one plug-in file; its menu entries go into `menu` (the Plug-ins menu when none).
    bool LoadPlugin(const std::string& path, win::Hmenu menu = win::kNoMenu);
    /// Loads a plug-in that is linked into this process (tests), by the same steps.
    bool LoadInProcessPlugin(const std::string& fileName, win::ModuleExports exports);
    /// Terminates and unloads every plug-in, last loaded first.
    void UnloadPlugins();
    const std::vector<LoadedPlugin>& Plugins() const { return m_plugins; }
    /// Runs menu entry `index` of plug-in `plugin` (0-based, in load order) through its
    /// FinaleExtensionInvoke, with no selection and the record of the whole document in front;
    /// answers what the plug-in answered (non-zero: the document changed).
    int16_t InvokePlugin(size_t plugin, int16_t index);

    // ---- What the host is told of changes ----
    // A host keeps a record that a document has unsaved changes from what it is told: a plug-in's
    // call that answers a change, and its own edits. A change made otherwise (a plug-in writing
    // from a timer or a hook, or answering 0 for a call that wrote) is one the host does not know
    // of, and the user could close the document without being asked to save it.

    /// How many plug-in calls answered that they changed the document (InvokePlugin).
    uint64_t ChangeAnswerCount() const { return m_changeAnswers; }
    /// How many of the host's own edits ran (Clear, Paste, Apply Note Spacing, Undo, Redo).
    uint64_t HostEditCount() const { return m_hostEdits; }

    // ---- Commands and the selection ----

    /// The user's selection in the document window (services 23 and the invoke entry); none
    /// when nothing is selected.
    const std::optional<hostapi::SelectionRecord>& Selection() const { return m_selection; }
    void SetSelection(std::optional<hostapi::SelectionRecord> selection) { m_selection = std::move(selection); }
    /// The whole-document record of the document in front (zero without a document).
    hostapi::SelectionRecord DocumentRegion();

    /// Runs a plug-in's menu entry as the user's command: the host compares every open document
    /// before and after the call and reports what changed ("host: NAME changed document 1
    /// "x": 2 cells (3 entries changed)" or "host: nothing changed"), whatever the plug-in answers.
    /// Answers what the plug-in answered.
    int16_t RunPluginCommand(size_t plugin, int16_t index);
    /// Runs `work` and answers what it changed in the documents that were open before it and
    /// still are; `dump changes` shows the last such result in full (LastChangeListing).
    std::vector<DocumentReport> TrackChanges(const std::function<void()>& work);
    /// The changes of the last command in full, with a heading per document; empty when the last
    /// command changed nothing. The lines are made when first asked for (or, when it comes
    /// first, before the next write to one of the documents or its closing), so that a command
    /// pays for the summary only.
    const std::vector<std::string>& LastChangeListing();
    /// How many times TrackChanges ran: a caller sees whether a command was tracked since.
    uint64_t TrackedCount() const { return m_trackedCount; }
    /// Writes "host: WHO changed document N "NAME": SUMMARY" per report, or "host: nothing changed"
    /// (not while an open change set has changed a document already: what changed stays changed)
    /// followed by "host: REASON" when the last data service the plug-in called failed for a
    /// reason the host noted (NoteDataService).
    void WriteChangeSummary(const std::string& who, const std::vector<DocumentReport>& reports);
    /// A plug-in called a data service (records, entry arrays): `failure` says why it found
    /// nothing when the document lacks what was asked for (services.cpp), and is empty otherwise.
    /// A failure stays noted unless a later data service of the same call (or of the same run
    /// outside any call) follows it: a command that stops at such a failure, and so changes
    /// nothing, is followed by the reason, so that the user can mend the document.
    void NoteDataService(std::string failure = {});

    // ---- A turn of the user (a script line) ----
    // Everything that happens in one turn is one change set: every plug-in call, the host's own
    // edits, the later steps of a command and what timers and forms write between the calls.
    // While a set is open the calls still say what each changed, and the set is what the last
    // command changed (LastChangeListing) once it closes.

    /// Opens the change set of a turn over the documents open now.
    void BeginChangeSet();
    /// Closes it. When the turn ran a command or changed a document, the set becomes the last
    /// command's change listing, and "host: this line changed document N "NAME" in all: SUMMARY"
    /// is written for each document whose changes the calls' own lines did not say whole (several
    /// calls changed it, or something between the calls did). Answers whether the set changed a
    /// document.
    bool EndChangeSet();

    /// The host's reaction to a command identifier (a menu choice, or WM_COMMAND from a
    /// plug-in): a plug-in entry calls its invoke entry with the selection; the host carries out
    /// Undo, Redo and Apply Note Spacing; its other commands are shown in the transcript.
    void RunCommandId(uint32_t id);
    /// "Apply Note Spacing": respaces the selected measures of the document in front
    /// (note_spacing.h) and says so; without a selection it does nothing and says that.
    void ApplyNoteSpacing();

    // ---- Undo (undo_journal.h) ----

    /// Undo / Redo of the Edit menu and of Ctrl+Z / Ctrl+Y: takes the last step of the document
    /// in front back (makes it again) and lists what it changed in the transcript
    /// ("host: undo "NAME": 2 cells, 1 record", then one line each); says when there is none.
    void Undo();
    void Redo();
    /// Closes the open undo step of every document (a plug-in's call returned, an edit bracket
    /// opened or closed, the user's turn ended).
    void CloseUndoSteps();
    /// The same, unless a plug-in's call is under way: what one call changes is one step, its edit
    /// brackets and what it changes outside them together.
    void CloseUndoStepsOutsideCalls() {
        if (m_calls.empty()) {
            CloseUndoSteps();
        }
    }
    /// Runs one of the host's own commands that change the document as one undo step of its name,
    /// or of the plug-in command whose keys carry it out (EditStepName).
    template <typename Command>
    void RunHostEdit(std::string_view name, Command&& command) {
        CloseUndoSteps();
        m_hostEditName = EditStepName(name);
        ++m_hostEdits;
        command();
        CloseUndoSteps();
        m_hostEditName.clear();
    }
    /// The name of the undo step of one of the host's own commands (Clear, Paste, Apply Note
    /// Spacing): a program that drives the host by keys for a plug-in's command gives the keys that
    /// command's identifier as their extra information (keybd_event), and the step is named after
    /// that menu entry, as the command's own calls are; else after the host's command.
    std::string EditStepName(std::string_view name) const;
    /// The text of a plug-in's menu entry without its accelerator mark; "" for none.
    std::string EntryText(size_t plugin, int16_t index) const;
    /// How many times the host called a plug-in's command or carried out one of its File menu
    /// commands (Open, Print, Close) typed by keys: the moments at which a command of several steps
    /// goes on (hostsim's "after step" counts them).
    uint64_t CommandSteps() const { return m_commandSteps; }
    void NoteCommandStep() { ++m_commandSteps; }
    /// The name a step of the undo history takes when it opens: the host's command running, the
    /// plug-in menu entry whose call makes the change, else the title of the active window (a
    /// plug-in's modeless dialog acting on its own); "" when none of these is known.
    std::string UndoStepName() const;
    /// The command identifier of the menu item at a path of menu texts separated by "/"
    /// ("Plug-ins/Vx Browser..."): texts compare without their accelerator marks, in any case,
    /// with or without trailing dots. 0 when there is no such item.
    uint32_t FindMenuCommand(std::string_view path) const;
    /// The same lookup, saying where a path that leads to no item went wrong.
    MenuLookup LookUpMenuCommand(std::string_view path) const;
    /// A path that leads into the host's own menus as another host language names them: that
    /// language and the path as this host's menus name it (as far as the path's texts are the
    /// host's own: "Bearbeiten/Rückgängig" is "Edit/Undo"); nullopt for none.
    std::optional<std::pair<Language, std::string>> OtherLanguageMenuPath(std::string_view path) const;
    /// The plug-in that owns a command identifier and the index of its entry.
    std::optional<std::pair<size_t, int16_t>> PluginCommand(uint32_t id) const;

    /// Every host call of a plug-in's entry point goes through here: after the call the host
    /// takes back the entry arrays lent during the call that the plug-in did not release and
    /// closes a progress display it left open, and says so in the transcript
    /// ("host: NAME did not release the entry array of staff 1, measure 2, layer 1 (ENTRY)").
    template <typename Call>
    auto CallPlugin(const std::string& fileName, std::string_view entry, Call&& call) {
        const uint64_t mark = EntryArrayLendingMark();
        if (m_calls.empty()) {
            ++m_outerCalls;
        }
        m_calls.push_back(fileName);
        struct Popped {
            std::vector<std::string>& calls;
            ~Popped() { calls.pop_back(); }
        } popped{m_calls};
        auto result = call();
        AfterPluginCall(fileName, entry, mark);
        return result;
    }
    /// The modules in which the host looks for a plug-in's dialog template: the plug-in whose
    /// entry point it is calling (the innermost call), then every plug-in in load order.
    std::vector<std::pair<std::string, win::Hmodule>> DialogTemplateModules() const;

    /// The menu bar as indented lines ("print menus").
    std::vector<std::string> MenuTreeLines() const;

    // ---- Documents ----
    // Documents are numbered from 1 in the order they were added; one of them is in front.
    // The record services work on the document in front; its name is in the window title.

    /// Adds a document and brings it to the front.
    Document& AddDocument(std::unique_ptr<Document> document);
    /// The document in front, or nullptr when no document is open.
    Document* FrontDocument();
    /// The number of the document in front, 0 when none is open.
    int32_t FrontNumber() const { return m_frontNumber; }
    int32_t DocumentCount() const { return static_cast<int32_t>(m_documents.size()); }
    /// Document `number` (1-based); throws std::out_of_range for a number without a document.
    Document& DocumentAt(int32_t number);
    /// Brings document `number` to the front; false when there is no such document.
    bool BringToFront(int32_t number);
    /// Closes the document in front: the documents after it move down by one, the last one left
    /// comes to the front, and the selection is cleared. False when no document is open.
    bool CloseFront();
    /// Service 63: the identity of document `which` (0 the one in front, else its number); 0 for
    /// none. Identities count from 1 in the order documents were added and are never given again.
    int32_t DocumentIdentity(int32_t which) const;
    /// Sets the window title: "Finale YEAR", then " - [NAME]" of the document in front: the name of
    /// its file when it has one ("duet.MUS"), else its name. The document window shows that name.
    void RefreshTitle();

    // ---- Music services ----

    /// The progress display of services 53-55.
    ProgressDisplay& Progress() { return m_progress; }
    /// Whether the host shows a layer (service 61); every layer is shown at first.
    bool LayerShown(hostapi::LayerIndex layer) const;
    void SetLayerShown(hostapi::LayerIndex layer, bool shown);
    /// Refuses (or allows again) every save, create and delete of a tag through the services,
    /// as the host refuses a locked record: tests see how a plug-in takes a refused write.
    void SetWritesRefused(hostapi::Tag tag, bool refused);
    bool WritesRefused(hostapi::Tag tag) const { return m_refusedTags.contains(tag); }
    /// With the layout held, service 41 answers success and lays nothing out, as a host that
    /// leaves records without measures would: tests see that plug-ins do not wait for ever.
    void SetLayoutHeld(bool held) { m_layoutHeld = held; }
    bool LayoutHeld() const { return m_layoutHeld; }

private:
    void AfterPluginCall(const std::string& fileName, std::string_view entry, uint64_t lendingMark);
    bool StartPlugin(LoadedPlugin plugin, win::Hmenu menu);
    void BuildMenuBar();

    int32_t m_rawVersion = kDefaultRawVersion;
    Language m_language = Language::English;
    win::Hmodule m_hostModule = win::kNoModule;
    win::Hwnd m_mainWindow = win::kNoWindow;
    win::Hmenu m_pluginsMenu = win::kNoMenu;
    uint32_t m_nextCommandId = kFirstPluginCommandId;
    std::vector<LoadedPlugin> m_plugins;
    std::vector<std::unique_ptr<Document>> m_documents;
    std::map<const Document*, int32_t> m_identities;  ///< of each open document (service 63)
    int32_t m_lastIdentity = 0;
    int32_t m_frontNumber = 0;
    ProgressDisplay m_progress;
    uint8_t m_hiddenLayers = 0;  ///< bit n: layer n is not shown
    std::optional<hostapi::SelectionRecord> m_selection;
    std::set<hostapi::Tag> m_refusedTags;
    bool m_layoutHeld = false;
    std::unique_ptr<MainWindowKeys> m_keys;  ///< the File menu's accelerators (main_window_keys.h)
    std::unique_ptr<DocumentWindows> m_windows;
    /// The last command's changes of one document, not yet made into lines.
    struct PendingListing {
        Document* document = nullptr;
        std::string heading;
        std::shared_ptr<const DocumentChanges> changes;
        Document::Journal journal;
        FontTable fontsAfter;
    };
    /// Makes the pending listing into lines; the documents go back to what they hold.
    void BuildChangeListing();
    /// Ends the change journals of `tracked` (the last begun first) that are still open and
    /// answers each document's changes with its number; puts them in `pending` when given.
    std::vector<DocumentReport> EndJournals(const std::vector<Document*>& tracked,
                                            std::vector<PendingListing>* pending);
    /// Makes `pending` the last command's listing, in place of the one before.
    void KeepListing(std::vector<PendingListing> pending);
    /// Whether a document is open and keeps a change journal.
    bool Tracking(const Document* document) const;
    /// Whether the open change set has changed a document so far.
    bool ChangedInSet() const;
    /// Notes in the open change set that the transcript said what changed in a document (a
    /// call's summary; "" for an undo step, which lists its own changes).
    void NoteSaidInSet(const Document& document, std::string summary = {});
    /// Forgets the pending listing and the hooks that would make it.
    void DropChangeListing();

    /// The open change set of a turn: the documents it journals and what the calls said of them.
    struct ChangeSet {
        std::vector<Document*> documents;
        std::vector<size_t> journals;  ///< the index of each document's journal of the set
        uint64_t trackedAtBegin = 0;
        /// Per document: how many times the transcript said what changed in it (a call's summary,
        /// an undo step), and the last summary said.
        std::map<const Document*, std::pair<size_t, std::string>> reported;
    };
    std::optional<ChangeSet> m_changeSet;
    std::vector<std::string> m_lastChangeListing;
    /// The last data service's failure, and the call (or the run outside calls after it) it came in.
    struct ServiceFailure {
        std::string reason;
        uint64_t call = 0;
        bool inCall = false;
    };
    std::optional<ServiceFailure> m_serviceFailure;
    uint64_t m_outerCalls = 0;  ///< how many outermost calls of plug-in entry points began
    std::vector<PendingListing> m_pendingListing;
    uint64_t m_trackedCount = 0;
    uint64_t m_changeAnswers = 0;
    uint64_t m_hostEdits = 0;
    uint64_t m_commandSteps = 0;
    std::string m_hostEditName;        ///< the host's own command that changes the document now
    std::string m_invokedEntry;        ///< the plug-in menu entry whose invoke call runs now
    std::vector<std::string> m_calls;  ///< the plug-ins whose entry points the host is calling
};

/// The whole-document region of a document: view 0, staves 1 to the last of the score's list,
/// measures 1 to the last measure, from position 0 to the end of the last measure.
hostapi::SelectionRecord WholeDocumentRegion(const Document& document);

/// The host's service of an ordinal, or nullptr when the host does not offer it.
void* ServiceByOrdinal(int32_t ordinal);

/// Puts the simulated host's process-wide state back to a fresh start (platform/host/host_state.h):
/// no array out on loan, lending serials from 1 again, no dialog running. The host running now,
/// if any, stays the running host.
void ResetHostState();

}  // namespace host
