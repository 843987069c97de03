// Reading the arguments of a script command: numbers, ranges and their count, each mistake a
// ScriptError that points at the argument.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "apps/hostsim/script.h"
#include "platform/host/cell_dump.h"

namespace hostsim {

inline constexpr const char* kFormUsage =
    "form CLASS set CONTROL VALUE | form CLASS click CONTROL | form CLASS dblclick CONTROL | "
    "form CLASS resize WIDTH HEIGHT | form CLASS close | form CLASS press KEY | form CLASS type TEXT | "
    "form CLASS print";

/// A whole number in [minimum, maximum] (decimal, 0x hexadecimal, a leading '-'); the error
/// points at argument `argument`.
int64_t ParseNumber(const std::string& text, int64_t minimum, int64_t maximum, const std::string& what, int argument);
/// "3" or "2-5": a range of staff or measure numbers (1 to 32767).
host::NumberRange ParseRange(const std::string& text, const std::string& what, int argument);
/// Between `minimum` and `maximum` arguments, else an error that shows the usage.
void ExpectArguments(const std::vector<std::string>& arguments, size_t minimum, size_t maximum,
                     const std::string& usage);

}  // namespace hostsim
