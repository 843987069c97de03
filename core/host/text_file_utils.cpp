#include "core/host/text_file_utils.h"

#include "core/host/core_hooks.h"
#include "core/host/host_info.h"

namespace orvex {

std::string& MacRomanToAnsi(std::string& text) {
    for (char& c : text) {
        switch (static_cast<uint8_t>(c)) {
            case 0x00:
                return text;
            case 0x80:
                c = static_cast<char>(0xC4);
                break;  // A diaeresis
            case 0x85:
                c = static_cast<char>(0xD6);
                break;  // O diaeresis
            case 0x86:
                c = static_cast<char>(0xDC);
                break;  // U diaeresis
            case 0x8A:
                c = static_cast<char>(0xE4);
                break;  // a diaeresis
            case 0x9A:
                c = static_cast<char>(0xF6);
                break;  // o diaeresis
            case 0x9F:
                c = static_cast<char>(0xFC);
                break;  // u diaeresis
            case 0xA7:
                c = static_cast<char>(0xDF);
                break;  // sharp s
            default:
                break;
        }
    }
    return text;
}

bool FileWriteOk(const std::ostream& stream) {
    return !stream.fail() && !stream.bad();
}

bool CheckFileWritten(const std::ostream& stream) {
    if (FileWriteOk(stream)) {
        return true;
    }
    ShowHostText(HostText::CouldNotWriteFile);
    return false;
}

}  // namespace orvex
