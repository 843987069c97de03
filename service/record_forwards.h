// Forwards of the host's stored-record services (load, save, create, delete, previous, next)
// with the keys block of each record family built from plain arguments:
//   detail        i16 key1, i16 key2, i16 0
//   entry detail  i32 entry number, i16 incident
//   other         i16 number, i16 incident, i16 0
//   global        i16 key, 0, 0
// Every call passes the interface version 0x5000005 and answers the host's result (non-zero =
// success); a host without the service answers 0.
#pragma once

#include <cstdint>
#include <string>

namespace lumvar {

int16_t LoadDetail(uint32_t tag, int16_t key1, int16_t key2, void* buffer, uint32_t size);
int16_t SaveDetail(uint32_t tag, int16_t key1, int16_t key2, void* buffer, uint32_t size);
int16_t CreateDetail(uint32_t tag, int16_t* key1, int16_t* key2, void* buffer, uint32_t size);
int16_t DeleteDetail(uint32_t tag, int16_t key1, int16_t key2);
int16_t LoadEntryDetail(uint32_t tag, int32_t entry, int16_t incident, void* buffer, uint32_t size);
int16_t SaveEntryDetail(uint32_t tag, int32_t entry, int16_t incident, void* buffer, uint32_t size);
int16_t CreateEntryDetail(uint32_t tag, int32_t* entry, int16_t* incident, void* buffer, uint32_t size);
int16_t DeleteEntryDetail(uint32_t tag, int32_t entry, int16_t incident);
int16_t LoadOther(uint32_t tag, int16_t number, int16_t incident, void* buffer, uint32_t size);
int16_t SaveOther(uint32_t tag, int16_t number, int16_t incident, void* buffer, uint32_t size);
int16_t CreateOther(uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size);
int16_t DeleteOther(uint32_t tag, int16_t number, int16_t incident);
/// The record before the keys (the host's previous-record service).
int16_t PreviousOther(uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size);
/// The record after the keys (the host's next-record service).
int16_t NextOther(uint32_t tag, int16_t* number, int16_t* incident, void* buffer, uint32_t size);
int16_t LoadGlobal(uint32_t tag, int16_t key, void* buffer, uint32_t size);

/// Loads and saves of an "other" record with a caller version of the caller's choice (the
/// 24-byte staff system record of host year 2001 on is read with 0x6000200).
int16_t LoadOtherAs(uint32_t tag, int16_t number, int16_t incident, void* buffer, uint32_t size, int32_t version);
int16_t SaveOtherAs(uint32_t tag, int16_t number, int16_t incident, const void* buffer, uint32_t size, int32_t version);
/// The whole text record (number, incident) of a tag, however long, up to its first zero; false
/// when it cannot be loaded.
bool LoadOtherText(uint32_t tag, int16_t number, int16_t incident, std::string& text);
/// Whether an "other" record exists (a load without a buffer).
bool OtherExists(uint32_t tag, int16_t number, int16_t incident);

}  // namespace lumvar
