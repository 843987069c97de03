// Names of parameterized cases. GoogleTest takes letters, digits and '_' only; a case named by
// what it tries reads in a list of results and stays the same from build to build:
//   INSTANTIATE_TEST_SUITE_P(Cases, MistakeTest, ::testing::Values(...), testsupport::NameBy(&Mistake::line));
//   ..., testsupport::NameBy("year", &YearCase::year, "raw", &YearCase::raw));
//   ..., testsupport::NameByValue("word"));   // the parameter itself, after a word
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>

namespace testsupport {

/// The letters and digits of a text, every run of other characters one '_', at most 60
/// characters; "empty" for a text without any.
inline std::string CaseName(std::string_view text) {
    std::string name;
    for (const char c : text) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (kept) {
            name += c;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
        if (name.size() >= 60) {
            break;
        }
    }
    while (!name.empty() && name.back() == '_') {
        name.pop_back();
    }
    return name.empty() ? "empty" : name;
}

inline std::string CaseName(const char* text) {
    return text == nullptr ? "none" : CaseName(std::string_view(text));
}

inline std::string CaseName(const std::string& text) {
    return CaseName(std::string_view(text));
}

/// A number as its digits ("minus" before a negative one), a character as itself when it is a
/// letter or digit (else "x" and its code), a truth value as "true" or "false", an enumeration
/// by its number.
template <class T>
requires std::is_arithmetic_v<T> || std::is_enum_v<T> std::string CaseName(T value) {
    if constexpr (std::is_same_v<T, bool>) {
        return value ? "true" : "false";
    } else if constexpr (std::is_same_v<T, char>) {
        const std::string name = CaseName(std::string_view(&value, 1));
        return name != "empty" ? name : "x" + std::to_string(static_cast<unsigned char>(value));
    } else if constexpr (std::is_enum_v<T>) {
        return CaseName(static_cast<std::underlying_type_t<T>>(value));
    } else {
        const auto wide = static_cast<long long>(value);
        return wide < 0 ? "minus" + std::to_string(-wide) : std::to_string(wide);
    }
}

/// In NameBy: the case's place in its instantiation, for cases that differ in nothing a name
/// shows.
struct CaseIndex {};
inline constexpr CaseIndex kCaseIndex{};

namespace detail {

template <class P>
std::string Part(const ::testing::TestParamInfo<P>&, const char* word) {
    return word;
}

template <class P>
std::string Part(const ::testing::TestParamInfo<P>& info, CaseIndex) {
    return std::to_string(info.index);
}

template <class P, class M>
std::string Part(const ::testing::TestParamInfo<P>& info, M P::*member) {
    return CaseName(info.param.*member);
}

}  // namespace detail

namespace detail {

/// A name given before in the same instantiation gets the case's index, so that two cases a
/// name cannot tell apart still run apart. GoogleTest names the cases of one instantiation in
/// order, from index 0, before it names those of the next.
inline std::string Unique(std::string name, size_t index) {
    static std::set<std::string> given;
    if (index == 0) {
        given.clear();
    }
    if (!given.insert(name).second) {
        name += "_" + std::to_string(index);
        given.insert(name);
    }
    return name;
}

}  // namespace detail

/// A name generator that joins fixed words and fields of the parameter with '_'.
template <class... Parts>
auto NameBy(Parts... parts) {
    return [parts...](const auto& info) {
        std::string name;
        ((name += (name.empty() ? "" : "_") + detail::Part(info, parts)), ...);
        return detail::Unique(std::move(name), info.index);
    };
}

/// A name generator for a parameter that is itself the name, after a word when given.
inline auto NameByValue(const char* word = nullptr) {
    return [word](const auto& info) {
        const std::string value = CaseName(info.param);
        return detail::Unique(word == nullptr ? value : std::string(word) + "_" + value, info.index);
    };
}

}  // namespace testsupport
