// The commands of the plug-in's own forms (the options form, printing many files): what the
// parts table and the dispatcher call, without the form classes (forms/options_form.h,
// forms/printfiles.h).
#pragma once

#include <cstdint>

namespace orvex {

struct TFMisc;

/// The command that opens the options form: unless one is open already, makes the form, shows
/// it without blocking and adds it to ModelessFormList. Answers 0.
int32_t ShowOptionsForm();

/// The print command: makes the form, shows it without blocking and adds it to
/// ModelessFormList. Answers 1.
int32_t ShowPrintMultipleFiles();
/// Ends a print run: the TNow timer stops and no context is the print context any more.
void EndPrintRun();
/// One tick of a print run with the host in front: step 1 prints the document the run opened,
/// step 2 closes it without saving, later steps open the next file.
void AdvancePrintRun(TFMisc& context);
/// Next file of a print run (the print tool, item 50): opens the next selected file of the
/// print form in the host; the timer then prints and closes it.
int32_t OpenNextPrintFile(TFMisc& context);

}  // namespace orvex
