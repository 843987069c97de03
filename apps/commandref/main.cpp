// commandref: writes the reference of every command (docs/commands.md) from the plug-in's tables.
//   commandref              prints it
//   commandref --write FILE writes it to FILE
//   commandref --check FILE answers 0 when FILE holds it, else names the first line that differs
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "apps/commandref/command_reference.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

/// The first line (from 1) where two texts differ, with both lines.
void ReportDifference(const std::string& expected, const std::string& actual, const std::string& path) {
    std::istringstream a(expected);
    std::istringstream b(actual);
    std::string lineA;
    std::string lineB;
    for (size_t line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, lineA));
        const bool moreB = static_cast<bool>(std::getline(b, lineB));
        if (!moreA && !moreB) {
            return;
        }
        if (moreA != moreB || lineA != lineB) {
            std::cerr << path << ":" << line << ":1: error: the command reference differs from the tables\n"
                      << "  the tables give: " << (moreA ? lineA : "(the end)") << "\n"
                      << "  the file holds:  " << (moreB ? lineB : "(the end)") << "\n"
                      << "write it anew with: cmake --build build --target commands-doc\n";
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string text;
    try {
        text = commandref::CommandReferenceText();
    } catch (const std::exception& e) {
        std::cerr << "commandref: error: " << e.what() << "\n";
        return 2;
    }
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode.empty()) {
        std::cout << text;
        return 0;
    }
    if ((mode == "--write" || mode == "--check") && argc == 3) {
        const std::string path = argv[2];
        if (mode == "--check") {
            const std::string current = ReadFile(path);
            if (current != text) {
                ReportDifference(text, current, path);
                return 1;
            }
            return 0;
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            std::cerr << path << ": error: cannot be written\n";
            return 2;
        }
        return 0;
    }
    std::cerr << "usage: commandref [--write FILE | --check FILE]\n";
    return 2;
}
