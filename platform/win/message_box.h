// Message boxes. Nothing blocks: each box is answered by the UI driver (a queued answer) or,
// when none is queued, by its default button. Every box and its answer go to the transcript.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/win/handles.h"

namespace win {

// Buttons.
inline constexpr uint32_t MB_OK = 0x0000;
inline constexpr uint32_t MB_OKCANCEL = 0x0001;
inline constexpr uint32_t MB_ABORTRETRYIGNORE = 0x0002;
inline constexpr uint32_t MB_YESNOCANCEL = 0x0003;
inline constexpr uint32_t MB_YESNO = 0x0004;
inline constexpr uint32_t MB_RETRYCANCEL = 0x0005;
// Icons.
inline constexpr uint32_t MB_ICONERROR = 0x0010;
inline constexpr uint32_t MB_ICONQUESTION = 0x0020;
inline constexpr uint32_t MB_ICONWARNING = 0x0030;
inline constexpr uint32_t MB_ICONINFORMATION = 0x0040;
// Default button.
inline constexpr uint32_t MB_DEFBUTTON2 = 0x0100;
inline constexpr uint32_t MB_DEFBUTTON3 = 0x0200;

// Answers.
inline constexpr int32_t IDOK = 1;
inline constexpr int32_t IDCANCEL = 2;
inline constexpr int32_t IDABORT = 3;
inline constexpr int32_t IDRETRY = 4;
inline constexpr int32_t IDIGNORE = 5;
inline constexpr int32_t IDYES = 6;
inline constexpr int32_t IDNO = 7;

/// Shows a message box owned by `owner` and answers the button the user chose.
int32_t MessageBox(Hwnd owner, std::string_view text, std::string_view caption, uint32_t type);

/// The name of an answer as the transcript and scripts write it ("OK", "Cancel", "Yes", ...).
std::string_view AnswerName(int32_t answer);
/// The answer for a name, case-insensitive; 0 when unknown.
int32_t AnswerFromName(std::string_view name);

}  // namespace win
