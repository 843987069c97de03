// The host's plug-in services, by ordinal. Each service works on the host running now and,
// for stored records, on its document in front. A call without a document, with an interface
// version other than 0x05000005 or 0x06000200, or with missing keys fails (result 0) and
// changes nothing.
//
// Record services (9-14), beyond the rules of the record store (record_store.h):
//   9   load: writes at most *size bytes and sets *size to the bytes written. A null buffer
//       only asks whether the record exists; *size, when given, then receives the record's size.
//   10  save: size bytes from the buffer (a null buffer only with size 0).
//   11  create: as save; key words of -1 ask for new keys, which are written back.
//   12  delete.
//   13 / 14  previous / next: the keys of the record found are written back and at most size
//       bytes of it are copied when a buffer is given.
#include <algorithm>
#include <cstring>
#include <map>

#include "platform/host/host.h"
#include "platform/hostapi/services.h"

namespace host {
namespace {

using hostapi::InterfaceVersion;
using hostapi::Tag;

Document* DocumentFor(InterfaceVersion version) {
    if (version != hostapi::kInterfaceVersion && version != hostapi::kInterfaceVersion2001) {
        return nullptr;
    }
    Host* host = Host::Current();
    return host == nullptr ? nullptr : host->FrontDocument();
}

/// Copies at most `room` bytes of a record; answers the bytes copied.
int32_t CopyOut(const Bytes& bytes, void* buffer, int32_t room) {
    const auto count = static_cast<int32_t>(std::min<size_t>(bytes.size(), static_cast<size_t>(room)));
    if (count > 0) {
        std::memcpy(buffer, bytes.data(), static_cast<size_t>(count));
    }
    return count;
}

/// The bytes a plug-in hands over; nullopt for a negative size or a missing buffer.
std::optional<Bytes> BytesIn(const void* buffer, int32_t size) {
    if (size < 0 || (buffer == nullptr && size > 0)) {
        return std::nullopt;
    }
    const auto* begin = static_cast<const uint8_t*>(buffer);
    return size == 0 ? Bytes() : Bytes(begin, begin + size);
}

int16_t LoadRecord(Tag tag, int16_t* keys, void* buffer, int32_t* size, InterfaceVersion version) {
    Document* document = DocumentFor(version);
    if (document == nullptr || keys == nullptr) {
        return 0;
    }
    const Bytes* bytes = document->Records().Find(RecordKey::FromKeysBlock(tag, keys));
    if (bytes == nullptr) {
        return 0;
    }
    if (buffer == nullptr) {
        if (size != nullptr) {
            *size = static_cast<int32_t>(bytes->size());
        }
        return 1;
    }
    if (size == nullptr || *size < 0) {
        return 0;
    }
    *size = CopyOut(*bytes, buffer, *size);
    return 1;
}

int16_t SaveRecord(Tag tag, const int16_t* keys, const void* buffer, int32_t size, InterfaceVersion version) {
    Document* document = DocumentFor(version);
    std::optional<Bytes> bytes = BytesIn(buffer, size);
    if (document == nullptr || keys == nullptr || !bytes) {
        return 0;
    }
    document->Records().Save(RecordKey::FromKeysBlock(tag, keys), std::move(*bytes));
    return 1;
}

int16_t CreateRecord(Tag tag, int16_t* keys, const void* buffer, int32_t size, InterfaceVersion version) {
    Document* document = DocumentFor(version);
    std::optional<Bytes> bytes = BytesIn(buffer, size);
    if (document == nullptr || keys == nullptr || !bytes) {
        return 0;
    }
    const auto created = document->CreateRecord(RecordKey::FromKeysBlock(tag, keys), std::move(*bytes));
    if (!created) {
        return 0;
    }
    created->WriteKeysBlock(keys);
    return 1;
}

int16_t DeleteRecord(Tag tag, const int16_t* keys, InterfaceVersion version) {
    Document* document = DocumentFor(version);
    if (document == nullptr || keys == nullptr) {
        return 0;
    }
    return document->Records().Delete(RecordKey::FromKeysBlock(tag, keys)) ? 1 : 0;
}

template <bool Forward>
int16_t StepRecord(Tag tag, int16_t* keys, void* buffer, int32_t size, InterfaceVersion version) {
    Document* document = DocumentFor(version);
    if (document == nullptr || keys == nullptr || (buffer != nullptr && size < 0)) {
        return 0;
    }
    const RecordKey from = RecordKey::FromKeysBlock(tag, keys);
    const auto found = Forward ? document->Records().Next(from) : document->Records().Previous(from);
    if (!found) {
        return 0;
    }
    found->WriteKeysBlock(keys);
    if (buffer != nullptr) {
        CopyOut(*document->Records().Find(*found), buffer, size);
    }
    return 1;
}

template <typename Fn>
void* Address(Fn function) {
    return reinterpret_cast<void*>(function);
}

}  // namespace

void* ServiceByOrdinal(int32_t ordinal) {
    // The table grows with the host's document model; an ordinal that is not in it is not
    // offered, and a plug-in that imports it finds no address.
    using hostapi::Service;
    static const std::map<int32_t, void*> kServices = {
        {static_cast<int32_t>(Service::LoadRecord), Address<hostapi::LoadRecordFn>(LoadRecord)},
        {static_cast<int32_t>(Service::SaveRecord), Address<hostapi::SaveRecordFn>(SaveRecord)},
        {static_cast<int32_t>(Service::CreateRecord), Address<hostapi::CreateRecordFn>(CreateRecord)},
        {static_cast<int32_t>(Service::DeleteRecord), Address<hostapi::DeleteRecordFn>(DeleteRecord)},
        {static_cast<int32_t>(Service::PreviousRecord), Address<hostapi::StepRecordFn>(StepRecord<false>)},
        {static_cast<int32_t>(Service::NextRecord), Address<hostapi::StepRecordFn>(StepRecord<true>)},
    };
    auto it = kServices.find(ordinal);
    return it == kServices.end() ? nullptr : it->second;
}

}  // namespace host
