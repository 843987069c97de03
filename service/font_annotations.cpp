#include "service/font_annotations.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/hostapi/bytes.h"
#include "platform/win/profile.h"
#include "service/host_imports.h"
#include "service/lumvar.h"
#include "service/module_state.h"
#include "service/preferences.h"

namespace lumvar {
namespace {

constexpr size_t kHeaderSize = 512;
constexpr size_t kHeaderLengthOffset = 96;
constexpr size_t kByteOrderOffset = 98;
constexpr uint8_t kSwapped = 1;
constexpr uint8_t kNative = 2;
constexpr size_t kChunkHeadSize = 6;
constexpr int16_t kFontChunk = 14;
constexpr size_t kFontSubHeaderSize = 36;
constexpr size_t kEntryHeadSize = 4;
constexpr int16_t kSlotEntry = 2;
constexpr size_t kMaxFolder = 260;

FanState& State() {
    return Module().fontAnnotations;
}

/// Reads the file's values in its byte order.
class FanReader {
public:
    explicit FanReader(bool swapped) : m_swapped(swapped) {}
    int16_t I16(const uint8_t* bytes) const {
        const uint16_t raw = hostapi::ReadU16(bytes, 0);
        return static_cast<int16_t>(m_swapped ? static_cast<uint16_t>((raw >> 8) | (raw << 8)) : raw);
    }
    int32_t I32(const uint8_t* bytes) const {
        uint32_t raw = hostapi::ReadU32(bytes, 0);
        if (m_swapped) {
            raw = (raw >> 24) | ((raw >> 8) & 0xFF00u) | ((raw << 8) & 0xFF0000u) | (raw << 24);
        }
        return static_cast<int32_t>(raw);
    }

private:
    bool m_swapped;
};

bool ReadExactly(std::ifstream& in, uint8_t* buffer, size_t size) {
    in.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(size));
    return static_cast<size_t>(in.gcount()) == size;
}

/// The slot entries of a font chunk's entries area, in file order.
std::vector<std::array<uint8_t, FanSlot::kSize>> SlotsOf(const std::vector<uint8_t>& area, const FanReader& reader) {
    std::vector<std::array<uint8_t, FanSlot::kSize>> slots;
    size_t at = 0;
    while (at + kEntryHeadSize <= area.size()) {
        const int16_t type = reader.I16(area.data() + at);
        const int16_t length = reader.I16(area.data() + at + 2);
        // A length shorter than the entry's own head cannot be walked (zero ends the entries).
        if (length < static_cast<int16_t>(kEntryHeadSize)) {
            break;
        }
        if (type == kSlotEntry) {
            if (static_cast<size_t>(length) < kEntryHeadSize + FanSlot::kSize ||
                at + kEntryHeadSize + FanSlot::kSize > area.size()) {
                break;
            }
            const uint8_t* payload = area.data() + at + kEntryHeadSize;
            std::array<uint8_t, FanSlot::kSize> slot{};
            hostapi::WriteI16(slot.data(), FanSlot::kSlot, reader.I16(payload));
            for (size_t value = 0; value < 6; ++value) {
                hostapi::WriteI32(slot.data(), FanSlot::kValues + 4 * value,
                                  reader.I32(payload + FanSlot::kValues + 4 * value));
            }
            slots.push_back(slot);
        }
        at += static_cast<size_t>(length);
    }
    return slots;
}

std::optional<size_t> IndexOfFontName(const std::string& name) {
    const auto& fonts = State().fonts;
    for (size_t i = 0; i < fonts.size(); ++i) {
        if (fonts[i].fontName == name) {
            return i;
        }
    }
    return std::nullopt;
}

/// The host's name of a font number; nullopt when the host knows no such font.
std::optional<std::string> HostFontName(int16_t font) {
    const auto fontName = Imports().FontName;
    if (fontName == nullptr) {
        NoteMissingHostService("font names (service 21)");
        return std::nullopt;
    }
    std::array<char, 256> name{};
    if (fontName(font, name.data(), hostapi::kInterfaceVersion) == 0) {
        return std::nullopt;
    }
    name.back() = '\0';
    if (name[0] == '\0') {
        return std::nullopt;
    }
    return std::string(name.data());
}

int16_t HostFontNumber(const std::string& name) {
    const auto fontNumber = Imports().FontNumber;
    if (fontNumber == nullptr) {
        NoteMissingHostService("font numbers (service 22)");
        return -1;
    }
    return fontNumber(name.c_str(), hostapi::kInterfaceVersion);
}

/// The state's error for a query; 0 when the table can be asked.
int16_t StateError() {
    switch (State().loadState) {
        case FAN_OLD_HOST:
            return ERR_UNKNOWN_KIND;
        case FAN_NO_FOLDER:
            return ERR_NO_FAN_FOLDER;
        default:
            return ERR_OK;
    }
}

/// The table index of a host font number, or an error (4 unknown font, 17 no annotation).
int16_t FindFont(int16_t font, size_t& index) {
    const auto name = HostFontName(font);
    if (!name) {
        return ERR_OUT_OF_RANGE;
    }
    const auto found = IndexOfFontName(*name);
    if (!found) {
        return ERR_NOT_FOUND;
    }
    index = *found;
    return ERR_OK;
}

bool HasFanExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension == ".FAN";
}

}  // namespace

void LoadFontAnnotations() {
    FanState& state = State();
    state.fonts.clear();
    if (FinaleVersion() <= 2000) {
        state.loadState = FAN_OLD_HOST;
        return;
    }
    std::array<char, kMaxFolder> folderText{};
    win::GetPrivateProfileString(std::string_view("Directories"), std::string_view("FontAnnotationDir"), "",
                                 folderText.data(), static_cast<uint32_t>(folderText.size()), IniFileName());
    std::string folder(folderText.data());
    if (folder.empty()) {
        state.loadState = FAN_NO_FOLDER;
        return;
    }
    if (folder.back() != '/' && folder.back() != '\\') {
        folder += '/';
    }
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error) && HasFanExtension(entry.path())) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        ReadFontAnnotationFile(folder + file.filename().string(), file.filename().string());
    }
    state.loadState = FAN_LOADED;
}

void ReadFontAnnotationFile(const std::string& path, const std::string& fileName) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return;
    }
    in.seekg(0, std::ios::end);
    const auto fileSize = static_cast<int64_t>(in.tellg());
    in.seekg(0);
    std::array<uint8_t, kHeaderSize> header{};
    if (!ReadExactly(in, header.data(), kHeaderSize)) {
        return;
    }
    const uint8_t order = header[kByteOrderOffset];
    if (order != kSwapped && order != kNative) {
        return;
    }
    const FanReader reader(order == kSwapped);
    const int16_t headerLength = reader.I16(header.data() + kHeaderLengthOffset);
    if (headerLength < static_cast<int16_t>(kHeaderSize)) {
        return;
    }
    in.seekg(headerLength);

    auto& fonts = State().fonts;
    std::array<uint8_t, kChunkHeadSize> head{};
    while (ReadExactly(in, head.data(), kChunkHeadSize)) {
        const int16_t type = reader.I16(head.data());
        const int32_t length = reader.I32(head.data() + 2);
        const int64_t remaining = fileSize - static_cast<int64_t>(in.tellg());
        if (type != kFontChunk) {
            // Skipped by its length; a length that does not fit the file ends it.
            if (length < static_cast<int32_t>(kChunkHeadSize) ||
                length - static_cast<int64_t>(kChunkHeadSize) > remaining) {
                return;
            }
            in.seekg(length - static_cast<int32_t>(kChunkHeadSize), std::ios::cur);
            continue;
        }
        std::array<uint8_t, kFontSubHeaderSize> sub{};
        if (!ReadExactly(in, sub.data(), kFontSubHeaderSize) || reader.I16(sub.data()) != 1 ||
            reader.I16(sub.data() + 2) != static_cast<int16_t>(kFontSubHeaderSize)) {
            return;
        }
        const int64_t areaSize =
            static_cast<int64_t>(length) - static_cast<int64_t>(kChunkHeadSize + kFontSubHeaderSize);
        if (areaSize < 0 || areaSize > remaining - static_cast<int64_t>(kFontSubHeaderSize)) {
            return;
        }
        std::vector<uint8_t> area(static_cast<size_t>(areaSize));
        if (!ReadExactly(in, area.data(), area.size())) {
            return;
        }
        auto slots = SlotsOf(area, reader);
        if (slots.empty() || fonts.size() >= kMaxAnnotatedFonts) {
            continue;
        }
        AnnotatedFont font;
        font.slotCount = static_cast<int32_t>(slots.size());
        font.fontName = hostapi::ReadFixedText(sub.data(), 4, kFanFontNameSize - 1);
        font.fileName = fileName.substr(0, kFanFileNameSize - 1);
        font.slots = std::move(slots);
        fonts.push_back(std::move(font));
    }
}

void FreeFontAnnotations() {
    State().fonts.clear();
}

int16_t FontAnnotationState() {
    return State().loadState;
}

const std::vector<AnnotatedFont>& AnnotatedFonts() {
    return State().fonts;
}

int16_t GetFANSlotInfo(int16_t font, int16_t slot, uint8_t* out, int16_t size) {
    if (const int16_t error = StateError(); error != ERR_OK) {
        return error;
    }
    if (out == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    if (size != static_cast<int16_t>(FanSlot::kSize)) {
        return ERR_BAD_SIZE;
    }
    size_t index = 0;
    if (const int16_t error = FindFont(font, index); error != ERR_OK) {
        return error;
    }
    for (const auto& entry : State().fonts[index].slots) {
        if (hostapi::ReadI16(entry.data(), FanSlot::kSlot) == slot) {
            std::memcpy(out, entry.data(), FanSlot::kSize);
            return ERR_OK;
        }
    }
    return ERR_NO_SLOT;
}

int32_t GetFANInfo(int16_t kind, int16_t value, int16_t* err) {
    const auto fail = [err](int16_t code) {
        if (err != nullptr) {
            *err = code;
        }
        return -1;
    };
    if (const int16_t error = StateError(); error != ERR_OK) {
        return fail(error);
    }
    const auto& fonts = State().fonts;
    const auto inTable = [&fonts](int16_t index) { return index >= 0 && static_cast<size_t>(index) < fonts.size(); };
    int32_t result = 0;
    size_t index = 0;
    switch (kind) {
        case 0:
            result = static_cast<int32_t>(fonts.size());
            break;
        case 1:
            if (const int16_t error = FindFont(value, index); error != ERR_OK) {
                return fail(error);
            }
            result = static_cast<int32_t>(index);
            break;
        case 2:
            if (!inTable(value)) {
                return fail(ERR_OUT_OF_RANGE);
            }
            result = HostFontNumber(fonts[static_cast<size_t>(value)].fontName);
            break;
        case 3:
            if (const int16_t error = FindFont(value, index); error != ERR_OK) {
                return fail(error);
            }
            result = fonts[index].slotCount;
            break;
        case 4:
            if (!inTable(value)) {
                return fail(ERR_OUT_OF_RANGE);
            }
            result = fonts[static_cast<size_t>(value)].slotCount;
            break;
        default:
            return fail(ERR_UNKNOWN_KIND);
    }
    if (err != nullptr) {
        *err = ERR_OK;
    }
    return result;
}

int16_t GetFANExtendedInfo(int16_t kind, char* dst, int16_t dstSize, int16_t index) {
    if (const int16_t error = StateError(); error != ERR_OK) {
        return error;
    }
    if (kind != 1 && kind != 2) {
        return ERR_UNKNOWN_KIND;
    }
    const auto& fonts = State().fonts;
    if (index < 0 || static_cast<size_t>(index) >= fonts.size()) {
        return ERR_OUT_OF_RANGE;
    }
    const size_t needed = kind == 1 ? kFanFileNameSize : kFanFontNameSize;
    if (dstSize < static_cast<int16_t>(needed)) {
        return ERR_BAD_SIZE;
    }
    if (dst == nullptr) {
        return ERR_NULL_ARGUMENT;
    }
    const std::string& text =
        kind == 1 ? fonts[static_cast<size_t>(index)].fileName : fonts[static_cast<size_t>(index)].fontName;
    std::memcpy(dst, text.c_str(), text.size() + 1);
    return ERR_OK;
}

}  // namespace lumvar
