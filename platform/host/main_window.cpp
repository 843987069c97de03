// The host's main window and its menu bar in the host's language.
#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

#include "platform/host/document_windows.h"
#include "platform/host/host.h"
#include "platform/win/menus.h"
#include "platform/win/windows.h"

namespace host {
namespace {

struct MenuItemText {
    uint32_t id;          ///< 0 = separator (or a submenu, when it has items)
    const char* text[3];  ///< English, German, Italian
    std::vector<MenuItemText> submenu = {};
};

struct TopMenu {
    const char* title[3];
    int32_t fromYear;  ///< the menu exists from this host year on
    bool isPluginsMenu;
    std::vector<MenuItemText> items;
    int32_t untilYear = 9999;  ///< ... and up to this host year
};

// clang-format off
const std::vector<TopMenu>& MenuBarLayout() {
    static const std::vector<TopMenu> kMenus = {
        {{"&File", "&Datei", "&File"}, 1997, false, {
            {57600, {"&New", "&Neu", "&Nuovo"}},
            {57601, {"&Open...", "Ö&ffnen...", "&Apri..."}},
            {57602, {"&Close", "&Schließen", "&Chiudi"}},
            {57603, {"&Save", "&Speichern", "&Salva"}},
            {57604, {"Save &As...", "Speichern &unter...", "Salva con &nome..."}},
            {0, {}},
            {57607, {"&Print...", "&Drucken...", "S&tampa..."}},
            {0, {}},
            {57665, {"E&xit", "&Beenden", "&Esci"}}}},
        {{"&Edit", "&Bearbeiten", "&Modifica"}, 1997, false, {
            {57643, {"&Undo", "&Rückgängig", "&Annulla"}},
            {57644, {"&Redo", "&Wiederherstellen", "&Ripeti"}},
            {0, {}},
            {57635, {"Cu&t", "&Ausschneiden", "&Taglia"}},
            {57634, {"&Copy", "&Kopieren", "&Copia"}},
            {57637, {"&Paste", "&Einfügen", "&Incolla"}}}},
        {{"&View", "&Ansicht", "&Visualizzazione"}, 1997, false, {
            {76001, {"&Scroll View", "&Endlosansicht", "Visualizzazione &continua"}},
            {76002, {"&Page View", "&Seitenansicht", "Visualizzazione &pagina"}},
            {0, {}},
            {76037, {"&Redraw Screen", "&Bildschirm neu zeichnen", "&Ridisegna lo schermo"}},
            {76038, {"&Update Layout", "&Layout aktualisieren", "&Aggiorna il layout"}}}},
        {{"&Options", "&Optionen", "&Opzioni"}, 1997, false, {
            {76100, {"&Program Options...", "&Programmeinstellungen...", "Opzioni del &programma..."}}}},
        {{"&Tools", "&Werkzeuge", "&Strumenti"}, 1998, false, {
            {kCommandSelectionTool, {"&Selection Tool", "&Auswahlwerkzeug", "Strumento &selezione"}},
            {kCommandMassEditTool, {"&Mass Edit Tool", "&Massenbearbeitung", "Strumento &modifica multipla"}},
            {kCommandSpeedyEntryTool, {"S&peedy Entry Tool", "&Schnelle Eingabe", "Inserimento &veloce"}}}},
        {{"&MIDI", "&MIDI", "&MIDI"}, 1997, false, {
            {76300, {"&Play", "&Wiedergabe", "&Esegui"}}}},
        {{"&Plug-ins", "&Plug-Ins", "&Plug-in"}, 1997, true, {}},
        // The Mass Edit menu: its title and its keys changed with host year 2001 (main_window_keys.h).
        // It stands after the Plug-ins menu, which plug-ins find at its place on the menu bar.
        {{"Ma&ss Edit", "&Änderungen", "Modifica di ma&ssa"}, 1997, false, {
            {0, {"Music &Spacing", "Ab&stände", "Spa&ziatura"}, {
                {kApplyNoteSpacingCommand, {"Apply &Note Spacing", "&Notenabstand anwenden", "Applica spaziatura &figure"}}}}},
            2000},
        {{"&Mass Edit", "&Editieren", "Modifica di ma&ssa"}, 2001, false, {
            {0, {"Music &Spacing", "&Musikabstände", "Spa&ziatura"}, {
                {kApplyNoteSpacingCommand, {"Apply &Note Spacing", "&Notenabstand anwenden", "Applica spaziatura &figure"}}}}}},
        {{"&Window", "&Fenster", "Fi&nestra"}, 1997, false, {
            {57650, {"&Cascade", "Ü&berlappend", "&Sovrapponi"}},
            {57651, {"&Tile", "&Nebeneinander", "&Affianca"}}}},
        {{"&Help", "&Hilfe", "&?"}, 1997, false, {
            {57670, {"&About Finale...", "&Info über Finale...", "&Informazioni su Finale..."}}}},
    };
    return kMenus;
}
// clang-format on

}  // namespace

void Host::BuildMenuBar() {
    if (!m_plugins.empty()) {
        throw std::logic_error("the host's menus cannot change once plug-ins are loaded");
    }
    if (win::Hmenu old = win::GetMenu(m_mainWindow); old != win::kNoMenu) {
        win::SetMenu(m_mainWindow, win::kNoMenu);
        win::DestroyMenu(old);
    }
    const auto language = static_cast<size_t>(m_language);
    const win::Hmenu bar = win::CreateMenu();
    for (const TopMenu& top : MenuBarLayout()) {
        if (Year() < top.fromYear || Year() > top.untilYear) {
            continue;
        }
        const win::Hmenu popup = win::CreatePopupMenu();
        for (const MenuItemText& item : top.items) {
            if (!item.submenu.empty()) {
                const win::Hmenu sub = win::CreatePopupMenu();
                for (const MenuItemText& subItem : item.submenu) {
                    win::AppendMenu(sub, win::MF_STRING, subItem.id, subItem.text[language]);
                }
                win::AppendMenu(popup, win::MF_POPUP, static_cast<uint32_t>(sub), item.text[language]);
            } else if (item.id == 0) {
                win::AppendMenu(popup, win::MF_SEPARATOR, 0);
            } else {
                win::AppendMenu(popup, win::MF_STRING, item.id, item.text[language]);
            }
        }
        win::AppendMenu(bar, win::MF_POPUP, static_cast<uint32_t>(popup), top.title[language]);
        if (top.isPluginsMenu) {
            m_pluginsMenu = popup;
        }
    }
    win::SetMenu(m_mainWindow, bar);
    RefreshTitle();
    win::DrawMenuBar(m_mainWindow);
}

std::optional<std::pair<Language, std::string>> Host::OtherLanguageMenuPath(std::string_view path) const {
    // A path of texts as the user writes them: no '&', no trailing dots, any case.
    const auto key = [](std::string_view text) {
        std::string word = win::StripAccelerators(text);
        while (!word.empty() && (word.back() == '.' || word.back() == ' ')) {
            word.pop_back();
        }
        std::transform(word.begin(), word.end(), word.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return word;
    };
    std::vector<std::string> levels;
    for (size_t start = 0;;) {
        const size_t slash = path.find('/', start);
        levels.push_back(key(path.substr(start, slash == std::string_view::npos ? slash : slash - start)));
        if (slash == std::string_view::npos) {
            break;
        }
        start = slash + 1;
    }
    const auto here = static_cast<size_t>(m_language);
    for (size_t other = 0; other < 3; ++other) {
        if (other == here) {
            continue;
        }
        for (const TopMenu& top : MenuBarLayout()) {
            if (Year() < top.fromYear || Year() > top.untilYear || key(top.title[other]) != levels[0] ||
                key(top.title[other]) == key(top.title[here])) {
                continue;
            }
            // The menu of the other language; its items too when the path names one.
            std::string translated = win::StripAccelerators(top.title[here]);
            const std::vector<MenuItemText>* items = &top.items;
            for (size_t level = 1; level < levels.size() && items != nullptr; ++level) {
                const auto item = std::find_if(items->begin(), items->end(), [&](const MenuItemText& i) {
                    return i.id != 0 || !i.submenu.empty() ? key(i.text[other]) == levels[level] : false;
                });
                if (item == items->end()) {
                    items = nullptr;
                    break;
                }
                translated += "/" + win::StripAccelerators(item->text[here]);
                items = item->submenu.empty() ? nullptr : &item->submenu;
            }
            return std::pair{static_cast<Language>(other), translated};
        }
    }
    return std::nullopt;
}

void Host::RefreshTitle() {
    std::string title = "Finale " + std::to_string(Year());
    if (const Document* front = FrontDocument(); front != nullptr) {
        // A document with a file shows the file's name, extension and all, as the host's window
        // does; a new one its name.
        const std::string name = front->Path().empty() ? front->Name() : front->Path().filename().string();
        title += " - [" + name + "]";
        win::SetWindowText(m_windows->WindowOf(m_frontNumber), name);
    }
    win::SetWindowText(m_mainWindow, title);
}

}  // namespace host
