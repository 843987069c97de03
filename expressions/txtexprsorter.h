// TTextExprSorter: the modal dialog in which the user chooses how the document's text
// expressions are ordered. In apply mode (menu command code 4) Go loads the shared table, deletes
// unused expressions when asked, sorts, and rewrites the document under the new numbers; in
// options mode (the explorer's) Go only sorts the shared table in memory, and the delete controls
// are hidden. Its remembered state is kept per mode (no suffix in apply mode, "EX" in options
// mode).
#pragma once

#include <cstdint>
#include <string>

#include "core/tool_context.h"
#include "expressions/expression_forms.h"
#include "forms/vxform.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/stdctrls.h"

namespace orvex {

class TTextExpressions;

/// Options of the Text Expression Sorter tool, by row.
enum SortToolRow : size_t {
    SORT_SEPARATE_FAMILIES = 0,
    SORT_FAMILY_PRIORITY = 1,
    SORT_SEPARATE_SIZES = 2,
    SORT_SIZE_PRIORITY = 3,
    SORT_SEPARATE_STYLES = 4,
    SORT_STYLE_PRIORITY = 5,
    SORT_DELETE_UNUSED = 6,
    SORT_DELETE_ONLY = 7  ///< delete only, do not sort
};

/// Options of the sorter's "More..." page, by row.
enum SortToolMoreRow : size_t {
    SORT_MORE_MUSIC_FONTS_FIRST = 0,
    SORT_MORE_SORT_MUSIC_FONTS = 1,
    SORT_MORE_EMPTY_STICKS = 2,  ///< empty expressions stay with their preceding neighbour
    SORT_MORE_CASE_SENSITIVE = 3,
    SORT_MORE_MUSIC_FONTS = 4  ///< text: further music fonts, separated by commas
};

inline constexpr int32_t kSorterOptionsMode = 0;
inline constexpr int32_t kSorterApplyMode = 1;

class TTextExprSorter : public VxForm {
public:
    /// The designed form with the show-delete mark set, fitted to its contents and the screen.
    explicit TTextExprSorter(vcl::TComponent* owner);

    // ---- Designed controls ----
    vcl::TLabel* Info;
    vcl::TLabel* MusicFontsInfo;
    vcl::TGroupBox* FontSections;
    vcl::TLabel* CriteriaLabel;
    vcl::TCheckBox* SepFamilies;
    vcl::TCheckBox* SepSizes;
    vcl::TCheckBox* SepStyles;
    vcl::TLabel* PrioritiesLabel;
    vcl::TEdit* FamPriority;
    vcl::TUpDown* FamUpDown;
    vcl::TEdit* SizePriority;
    vcl::TUpDown* SizeUpDown;
    vcl::TEdit* StylePriority;
    vcl::TUpDown* StyleUpDown;
    vcl::TLabel* AddFontsLabel;
    vcl::TEdit* AddFonts;
    vcl::TCheckBox* MusicFontsFirst;
    vcl::TCheckBox* DoSortMusical;
    vcl::TCheckBox* EmptyStick;
    vcl::TCheckBox* CaseSens;
    vcl::TCheckBox* DeleteUnused;
    vcl::TCheckBox* NoSorting;
    vcl::TButton* DefaultsBtn;
    vcl::TButton* TxtSortGoBtn;
    vcl::TButton* CancelBtn;

    /// 1 apply, 0 options; set before the form shows.
    void SetMode(int32_t mode) { m_mode = mode; }
    int32_t Mode() const { return m_mode; }
    /// Set by the constructor; the explorer clears it so that the delete controls never show.
    bool ShowDeleteMark() const { return m_showDelete != 0; }
    /// Go ran the sort-and-apply run and it rewrote the document.
    bool DocumentChanged() const { return m_documentChanged; }
    void SetShowDeleteMark(bool show) { m_showDelete = show ? 1 : 0; }

    // ---- Handlers ----
    void FormShow(vcl::TObject* Sender);
    void TxtSortGoBtnClick(vcl::TObject* Sender);
    void DefaultsBtnClick(vcl::TObject* Sender);
    void FamPriorityChange(vcl::TObject* Sender);
    void SizePriorityChange(vcl::TObject* Sender);
    void StylePriorityChange(vcl::TObject* Sender);
    /// OnClick of the three criteria boxes: the priorities show when two or more are checked.
    void visibilities(vcl::TObject* Sender);
    void DeleteUnusedClick(vcl::TObject* Sender);

    /// Makes the three priorities a permutation of 1-3 where the values allow it.
    void NormalizePriorities();
    /// Copies the form's options into the shared table and builds its sort tables when needed.
    void ReadOptions();
    /// The suffix of the remembered state in the current mode.
    std::string StateSuffix() const { return m_mode == kSorterApplyMode ? "" : "EX"; }

private:
    /// A priority edit changed: the other edits holding the same text are emptied.
    void PriorityChanged(vcl::TEdit* changed);
    void ApplyGermanCaptions();
    void FitToContents();

    int32_t m_mode = kSorterApplyMode;
    uint8_t m_showDelete = 1;
    bool m_documentChanged = false;
    bool m_adjusting = false;  ///< the priorities are being changed by the form itself
};

/// The sort run of the sorter's Go (number order 0) and of the explorer (1 restores the document
/// order), on the shared table; 0 keeps the form open.
int32_t SortTextExpressions(TTextExprSorter& form, bool numberOrder);

}  // namespace orvex
