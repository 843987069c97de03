#include "expressions/txtexplinfo.h"

#include <memory>

#include "core/run_environment.h"
#include "core/startup.h"

namespace orvex {
namespace {

constexpr int32_t kFitStep = 5;
constexpr int32_t kFitMargin = 5;

}  // namespace

// clang-format off
const std::array<std::string_view, 26> kExplorerInfoEnglish = {
    "",
    "Welcome to the Explorer for Text Expressions!",
    "",
    "Here is a small overview of keys and clicks that are not necessarily obvious:",
    "",
    "Click a cell to select it.",
    "Click it again or press F2 to modify it.",
    "",
    "Pressing Enter or clicking Ok leaves the Explorer, saving all changes made and ",
    "assigning the keyboard shortcut key to the selected expression.",
    "",
    "In the Orvex Options dialog, you can specify the hotkey and the ",
    "metatool assignment that the Explorer uses.",
    "",
    "Select multiple cells to make mass changes (mostly for font changes).",
    "",
    "Click New to enter a new expression at the end of the list, or",
    "Duplicate to create a copy of the selected expression, which can be used as the basis for a new one.",
    "",
    "The Cancel button will undo ALL changes made since entering the Explorer! ",
    "(Not as in Finale's own expression list.)",
    "",
    "Also try instant sorting, one- and two-dimensional views, searching for various criteria, and the ",
    "usage report feature.",
    "",
    "Soon to come: deleting and moving text expresions.",
};

const std::array<std::string_view, 20> kExplorerInfoGerman = {
    "Willkommen beim Explorer für Vortragsbezeichnungen!",
    "Dies ist ein kleiner Überblick über die Tastatur- und Mausbedienung:",
    "",
    "Klicken Sie auf eine Zelle, um sie auszuwählen.",
    "Klicken Sie sie noch einmal oder drücken Sie F2, um sie zu bearbeiten.",
    "",
    "Enter oder der Ok-Knopf verlassen den Explorer, wobei alle Änderungen an Finale übergeben werden und ein "
    "Tastaturkürzel der ausgewählten Vortragsbezeichnung zugewiesen wird.",
    "",
    "In den Orvex-Einstellungen können Sie den Hotkey und das vom Explorer verwendetete Tastaturkürzel für die "
    "Bezeichnungen festlegen.",
    "",
    "Markieren Sie mehrere Zellen, um Massenänderungen vorzunehmen (vor allem Schriftarten).",
    "",
    "Klicken Sie auf 'Neu', um in das leere Feld am Ende der Liste zu gelangen, oder",
    "'Duplizieren', um eine Kopie der markierten Bezeichnung zu erzeugen - als Basis für eine neue "
    "Ausdrucksbezeichnung.",
    "",
    "Der Knopf 'Abbrechen' storniert ALLE Änderungen, die Sie seit dem Aufruf des Explorers vorgenommen haben! "
    "(Im Unterschied zu Finales eigener Auswahlliste.)",
    "",
    "Probieren Sie auch die Sofortsortierung, ein- und zweidimensionale Ansicht, das Suchen nach bestimmten "
    "Kriterien, und den statistischen Bericht über die Verwendung der Vortragsbezeichnungen im Dokument.",
    "",
    "Zukünftige Erweiterungen: Löschen und Verschieben von Vortragsbezeichnungen.",
};
// clang-format on

TTextExprInfo::TTextExprInfo(vcl::TComponent* owner) : vcl::TForm(owner) {
    // The caption is the form's own text, spelled so; it is not translated.
    SetCaption("Vx Explorer for Text Expresions - Information");
    SetBorderStyle(vcl::bsDialog);
    SetPosition(vcl::poScreenCenter);
    SetFormStyle(vcl::fsStayOnTop);
    SetClientWidth(635);
    SetClientHeight(482);

    TextExprInfo = new vcl::TMemo(this);
    TextExprInfo->SetName("TextExprInfo");
    TextExprInfo->SetParent(this);
    TextExprInfo->SetBounds(4, 4, 625, 437);
    TextExprInfo->SetReadOnly(true);
    TextExprInfo->SetAlignment(vcl::taCenter);
    TextExprInfo->Font().SetSize(10);
    for (std::string_view line : kExplorerInfoEnglish) {
        TextExprInfo->Lines().Add(line);
    }

    Knew = new vcl::TButton(this);
    Knew->SetName("Knew");
    Knew->SetParent(this);
    Knew->SetBounds(264, 448, 105, 29);
    Knew->SetCaption("I knew that.");
    Knew->SetModalResult(vcl::mrOk);
    Knew->SetDefault(true);

    OnShow = [this](vcl::TObject* sender) { FormShow(sender); };

    const vcl::TRect memo = TextExprInfo->BoundsRect();
    const vcl::TRect button = Knew->BoundsRect();
    while (ClientWidth() - kFitMargin < memo.Right && Width() < vcl::Screen->Width()) {
        SetWidth(Width() + kFitStep);
    }
    while (ClientHeight() - kFitMargin < button.Bottom && Height() < vcl::Screen->Height()) {
        SetHeight(Height() + kFitStep);
    }
}

void TTextExprInfo::FormShow(vcl::TObject* /*Sender*/) {
    if (DispatcherEnvironment().Language() != 1) {
        return;
    }
    TextExprInfo->Lines().Clear();
    for (std::string_view line : kExplorerInfoGerman) {
        TextExprInfo->Lines().Add(line);
    }
    Knew->SetCaption("Klar.");
}

void ShowExplorerInfo() {
    std::unique_ptr<TTextExprInfo> info(vcl::Create<TTextExprInfo>(nullptr));
    info->ShowModal();
}

}  // namespace orvex
