#include "service/record_forwards.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "service/host_imports.h"

namespace lumvar {
namespace {

using hostapi::kInterfaceVersion;

struct Keys {
    int16_t words[3] = {0, 0, 0};
};

Keys DetailKeys(int16_t key1, int16_t key2) {
    return Keys{{key1, key2, 0}};
}

Keys EntryKeys(int32_t entry, int16_t incident) {
    Keys keys;
    // The entry number fills the first four bytes, low word first, as the host reads them.
    const auto value = static_cast<uint32_t>(entry);
    keys.words[0] = static_cast<int16_t>(value & 0xFFFF);
    keys.words[1] = static_cast<int16_t>(value >> 16);
    keys.words[2] = incident;
    return keys;
}

int32_t EntryOf(const Keys& keys) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(keys.words[0])) |
                                (static_cast<uint32_t>(static_cast<uint16_t>(keys.words[1])) << 16));
}

Keys OtherKeys(int16_t number, int16_t incident) {
    return Keys{{number, incident, 0}};
}

int16_t Load(uint32_t tag, Keys keys, void* buffer, uint32_t size, int32_t version = kInterfaceVersion) {
    const auto load = Imports().LoadRecord;
    if (load == nullptr) {
        NoteMissingHostService("loading records (service 9)");
        return 0;
    }
    // The host may change the size it is handed (it answers the bytes written).
    auto inOut = static_cast<int32_t>(size);
    return load(tag, keys.words, buffer, &inOut, version);
}

int16_t Save(uint32_t tag, const Keys& keys, const void* buffer, uint32_t size, int32_t version = kInterfaceVersion) {
    const auto save = Imports().SaveRecord;
    if (save == nullptr) {
        NoteMissingHostService("saving records (service 10)");
        return 0;
    }
    return save(tag, keys.words, buffer, static_cast<int32_t>(size), version);
}

int16_t Create(uint32_t tag, Keys& keys, const void* buffer, uint32_t size) {
    const auto create = Imports().CreateRecord;
    if (create == nullptr) {
        NoteMissingHostService("creating records (service 11)");
        return 0;
    }
    return create(tag, keys.words, buffer, static_cast<int32_t>(size), kInterfaceVersion);
}

int16_t Delete(uint32_t tag, const Keys& keys) {
    const auto remove = Imports().DeleteRecord;
    if (remove == nullptr) {
        NoteMissingHostService("deleting records (service 12)");
        return 0;
    }
    return remove(tag, keys.words, kInterfaceVersion);
}

int16_t Step(bool forward, uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size) {
    if (number == nullptr || incident == nullptr) {
        return 0;
    }
    const auto step = forward ? Imports().NextRecord : Imports().PreviousRecord;
    if (step == nullptr) {
        NoteMissingHostService(forward ? "the next record (service 14)" : "the previous record (service 13)");
        return 0;
    }
    Keys keys = OtherKeys(*number, *incident);
    const int16_t result = step(tag, keys.words, buffer, static_cast<int32_t>(size), kInterfaceVersion);
    if (result != 0) {
        *number = keys.words[0];
        *incident = keys.words[1];
    }
    return result;
}

}  // namespace

int16_t LoadDetail(uint32_t tag, int16_t key1, int16_t key2, void* buffer, uint32_t size) {
    return Load(tag, DetailKeys(key1, key2), buffer, size);
}

int16_t SaveDetail(uint32_t tag, int16_t key1, int16_t key2, void* buffer, uint32_t size) {
    return Save(tag, DetailKeys(key1, key2), buffer, size);
}

int16_t CreateDetail(uint32_t tag, int16_t* key1, int16_t* key2, void* buffer, uint32_t size) {
    if (key1 == nullptr || key2 == nullptr) {
        return 0;
    }
    Keys keys = DetailKeys(*key1, *key2);
    const int16_t result = Create(tag, keys, buffer, size);
    if (result != 0) {
        *key1 = keys.words[0];
        *key2 = keys.words[1];
    }
    return result;
}

int16_t DeleteDetail(uint32_t tag, int16_t key1, int16_t key2) {
    return Delete(tag, DetailKeys(key1, key2));
}

int16_t LoadEntryDetail(uint32_t tag, int32_t entry, int16_t incident, void* buffer, uint32_t size) {
    return Load(tag, EntryKeys(entry, incident), buffer, size);
}

int16_t SaveEntryDetail(uint32_t tag, int32_t entry, int16_t incident, void* buffer, uint32_t size) {
    return Save(tag, EntryKeys(entry, incident), buffer, size);
}

int16_t CreateEntryDetail(uint32_t tag, int32_t* entry, int16_t* incident, void* buffer, uint32_t size) {
    if (entry == nullptr || incident == nullptr) {
        return 0;
    }
    Keys keys = EntryKeys(*entry, *incident);
    const int16_t result = Create(tag, keys, buffer, size);
    if (result != 0) {
        *entry = EntryOf(keys);
        *incident = keys.words[2];
    }
    return result;
}

int16_t DeleteEntryDetail(uint32_t tag, int32_t entry, int16_t incident) {
    return Delete(tag, EntryKeys(entry, incident));
}

int16_t LoadOther(uint32_t tag, int16_t number, int16_t incident, void* buffer, uint32_t size) {
    return Load(tag, OtherKeys(number, incident), buffer, size);
}

int16_t SaveOther(uint32_t tag, int16_t number, int16_t incident, void* buffer, uint32_t size) {
    return Save(tag, OtherKeys(number, incident), buffer, size);
}

int16_t CreateOther(uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size) {
    if (number == nullptr || incident == nullptr) {
        return 0;
    }
    Keys keys = OtherKeys(*number, *incident);
    const int16_t result = Create(tag, keys, buffer, size);
    if (result != 0) {
        *number = keys.words[0];
        *incident = keys.words[1];
    }
    return result;
}

int16_t DeleteOther(uint32_t tag, int16_t number, int16_t incident) {
    return Delete(tag, OtherKeys(number, incident));
}

int16_t PreviousOther(uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size) {
    return Step(false, tag, number, incident, buffer, size);
}

int16_t NextOther(uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size) {
    return Step(true, tag, number, incident, buffer, size);
}

int16_t LoadGlobal(uint32_t tag, int16_t key, void* buffer, uint32_t size) {
    return Load(tag, Keys{{key, 0, 0}}, buffer, size);
}

int16_t LoadOtherAs(uint32_t tag, int16_t number, int16_t incident, void* buffer, uint32_t size, int32_t version) {
    return Load(tag, OtherKeys(number, incident), buffer, size, version);
}

int16_t SaveOtherAs(uint32_t tag, int16_t number, int16_t incident, const void* buffer, uint32_t size,
                    int32_t version) {
    return Save(tag, OtherKeys(number, incident), buffer, size, version);
}

bool LoadOtherText(uint32_t tag, int16_t number, int16_t incident, std::string& text) {
    const auto load = Imports().LoadRecord;
    if (load == nullptr) {
        NoteMissingHostService("loading records (service 9)");
        return false;
    }
    Keys keys = OtherKeys(number, incident);
    int32_t size = 0;
    if (load(tag, keys.words, nullptr, &size, kInterfaceVersion) == 0 || size < 0) {
        return false;
    }
    std::vector<char> bytes(static_cast<size_t>(size) + 1, '\0');
    if (load(tag, keys.words, bytes.data(), &size, kInterfaceVersion) == 0) {
        return false;
    }
    text.assign(bytes.data(), strnlen(bytes.data(), static_cast<size_t>(std::max(size, 0))));
    return true;
}

bool OtherExists(uint32_t tag, int16_t number, int16_t incident) {
    return Load(tag, OtherKeys(number, incident), nullptr, 0) != 0;
}

}  // namespace lumvar
