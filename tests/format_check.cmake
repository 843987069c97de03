# Fails when a C++ source of the project differs from what the project's .clang-format makes of it,
# naming each such file and the command that formats it. Run by ctest as SourcesAreFormatted.
find_program(CLANG_FORMAT NAMES clang-format clang-format-14 REQUIRED)
execute_process(COMMAND git ls-files -- "*.cpp" "*.h" WORKING_DIRECTORY "${ROOT}"
                OUTPUT_VARIABLE listed RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "git ls-files failed in ${ROOT}")
endif()
string(STRIP "${listed}" listed)
string(REPLACE "\n" ";" files "${listed}")
# One clang-format for all files; each difference it finds is a warning that begins with the file.
execute_process(COMMAND "${CLANG_FORMAT}" --dry-run ${files} WORKING_DIRECTORY "${ROOT}"
                ERROR_VARIABLE warnings RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format failed:\n${warnings}")
endif()
string(REGEX MATCHALL "[^\n:]+:[0-9]+:[0-9]+: warning:" places "${warnings}")
set(differing "")
foreach(place IN LISTS places)
    string(REGEX REPLACE ":[0-9]+:[0-9]+: warning:$" "" file "${place}")
    list(APPEND differing "${file}")
endforeach()
list(REMOVE_DUPLICATES differing)
if(differing)
    list(JOIN differing "\n  " shown)
    message(FATAL_ERROR "these files differ from the project's .clang-format:\n  ${shown}\n"
                        "format them with: clang-format -i FILE...")
endif()
