// THarmonicsForm, the modeless form of "Vx &Harmonics..." (code 1): the kind of harmonics to
// work on, the diamond characters, playback and the added sounding note. Go runs the harmonics
// over the selection; the form stays open. It is made on first use and kept until the plug-in
// is unloaded.
#pragma once

#include "forms/vxform.h"
#include "platform/vcl/comctrls.h"
#include "platform/vcl/extctrls.h"
#include "platform/vcl/stdctrls.h"
#include "tools/notes/harmonics.h"

namespace orvex {

class THarmonicsForm : public VxForm {
public:
    explicit THarmonicsForm(vcl::TComponent* owner);
    ~THarmonicsForm() override;

    vcl::TLabel* Description = nullptr;
    vcl::TRadioGroup* WorkOn = nullptr;
    vcl::TEdit* Interval = nullptr;
    vcl::TUpDown* IntervalUpDown = nullptr;
    vcl::TLabel* character = nullptr;
    vcl::TEdit* DiamondChar = nullptr;
    vcl::TLabel* BlackDiamondLabel = nullptr;
    vcl::TEdit* BlackDiamond = nullptr;
    vcl::TCheckBox* OverWrite = nullptr;
    vcl::TCheckBox* playback = nullptr;
    vcl::TCheckBox* AddSound = nullptr;
    vcl::TEdit* Percentage = nullptr;
    vcl::TUpDown* PercentageUpDown = nullptr;
    vcl::TLabel* PercentSign = nullptr;
    vcl::TCheckBox* Parenthesize = nullptr;
    vcl::TButton* ParaBtn = nullptr;
    vcl::TBitBtn* HarmonicsGo = nullptr;
    vcl::TBitBtn* HarmDefaults = nullptr;
    vcl::TBitBtn* HarmCancel = nullptr;

    void FormShow(vcl::TObject* Sender);
    void HarmDefaultsClick(vcl::TObject* Sender);
    void AddSoundClick(vcl::TObject* Sender);
    void ParenthesizeClick(vcl::TObject* Sender);
    void ParaBtnClick(vcl::TObject* Sender);
    void HarmonicsGoClick(vcl::TObject* Sender);
    void HarmCancelClick(vcl::TObject* Sender);

    /// The values of the controls as the run takes them (empty or invalid numbers give 0).
    HarmonicsSettings Settings() const;

private:
    OptionArray m_parentheses{};  ///< the stored options of tool 10
};

/// The form while it exists (the module's state), else none.
THarmonicsForm*& HarmonicsForm();

}  // namespace orvex
