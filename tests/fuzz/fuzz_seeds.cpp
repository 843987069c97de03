// Makes the fuzz targets' seeds that are not plain files of the repository:
//   fuzz_seeds mus FOLDER SCORE-TEXT...  the document file of each score text that reads
//   fuzz_seeds fan FOLDER                font annotation files as docs/fan-format.md describes
//                                        them: both byte orders, a chunk to skip, two fonts
//   fuzz_seeds region FOLDER             inputs of the measure_text target: measure-number
//                                        regions of each style with a text shown under them
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "platform/host/mus_file.h"
#include "platform/host/score_text.h"

namespace {

void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int MusSeeds(const std::filesystem::path& folder, int count, char** scores) {
    for (int i = 0; i < count; ++i) {
        try {
            const auto document = host::ReadScoreFile(scores[i]);
            Write(folder / (std::filesystem::path(scores[i]).stem().string() + ".MUS"), host::MusText(*document));
        } catch (const std::exception& e) {
            std::cerr << "fuzz_seeds: " << scores[i] << " is passed over: " << e.what() << "\n";
        }
    }
    return 0;
}

/// The bytes of a font annotation file; `swapped` writes every number in the other byte order.
class FanWriter {
public:
    explicit FanWriter(bool swapped) : m_swapped(swapped) {
        m_bytes.assign(512, 0);
        Put16(96, 512);
        m_bytes[98] = swapped ? 1 : 2;
    }
    void Chunk(int16_t type, const std::string& payload) {
        const size_t at = m_bytes.size();
        m_bytes.resize(at + 6);
        Put16(at, type);
        Put32(at + 2, static_cast<int32_t>(6 + payload.size()));
        m_bytes += payload;
    }
    /// A font chunk: its sub-header, its name and one slot entry per slot number, the six values
    /// of each counting up from the slot number.
    void Font(const std::string& name, const std::vector<int16_t>& slots) {
        FanWriter payload(m_swapped);
        payload.m_bytes.assign(36, 0);
        payload.Put16(0, 1);
        payload.Put16(2, 36);
        std::memcpy(payload.m_bytes.data() + 4, name.data(), std::min<size_t>(name.size(), 31));
        for (const int16_t slot : slots) {
            const size_t at = payload.m_bytes.size();
            payload.m_bytes.resize(at + 30);
            payload.Put16(at, 2);
            payload.Put16(at + 2, 30);
            payload.Put16(at + 4, slot);
            for (int32_t i = 0; i < 6; ++i) {
                payload.Put32(at + 6 + 4 * static_cast<size_t>(i), slot * 10 + i);
            }
        }
        Chunk(14, payload.m_bytes);
    }
    const std::string& Bytes() const { return m_bytes; }

private:
    void Put(size_t at, uint32_t value, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            const size_t shift = 8 * (m_swapped ? size - 1 - i : i);
            m_bytes[at + i] = static_cast<char>((value >> shift) & 0xFF);
        }
    }
    void Put16(size_t at, int16_t value) { Put(at, static_cast<uint16_t>(value), 2); }
    void Put32(size_t at, int32_t value) { Put(at, static_cast<uint32_t>(value), 4); }

    bool m_swapped;
    std::string m_bytes;
};

int FanSeeds(const std::filesystem::path& folder) {
    for (const bool swapped : {false, true}) {
        FanWriter file(swapped);
        file.Chunk(3, std::string(10, 'x'));
        file.Font("Maestro", {33, 34, 35});
        file.Font("Petrucci", {100});
        Write(folder / (swapped ? "swapped.FAN" : "native.FAN"), file.Bytes());
    }
    return 0;
}

/// A measure_text input: mode 0, an 88-byte region record of measures 1-12, a text.
std::string RegionInput(int16_t firstDigit, int16_t base, int16_t offset, const std::string& prefix, int16_t flags,
                        const std::string& text) {
    std::string record(88, '\0');
    const auto put = [&](size_t at, int16_t value) {
        record[at] = static_cast<char>(value & 0xFF);
        record[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    };
    put(6, 1);
    put(8, 13);
    put(12, firstDigit);
    put(14, base);
    put(16, offset);
    record.replace(22, prefix.size(), prefix);
    put(82, flags);
    return std::string(1, '\0') + record + text;
}

int RegionSeeds(const std::filesystem::path& folder) {
    Write(folder / "decimal", RegionInput('0', 10, 4, "m. ", 0, "m. 7"));
    Write(folder / "repeated", RegionInput('a', 26, 0, "", 0x20, "bbb"));
    Write(folder / "letters", RegionInput('A', 26, 0, "", 0x40, "C"));
    Write(folder / "no-region", std::string(89, '\0') + "#12");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "mus") {
        return MusSeeds(argv[2], argc - 3, argv + 3);
    }
    if (argc == 3 && std::string(argv[1]) == "fan") {
        return FanSeeds(argv[2]);
    }
    if (argc == 3 && std::string(argv[1]) == "region") {
        return RegionSeeds(argv[2]);
    }
    std::cerr << "usage: fuzz_seeds mus FOLDER SCORE-TEXT... | fuzz_seeds fan FOLDER | fuzz_seeds region FOLDER\n";
    return 2;
}
