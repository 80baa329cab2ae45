// A structure check of shell link files, so that damaged or hostile files never
// reach the shell link service (which crashes on some and stalls on others).
#pragma once
#include <cstddef>

// Real links are a few KB; 1 MiB leaves room for any the shell writes and is still
// cheap to read whole. No longer file is sound, so none needs to be read.
constexpr size_t kMaxLinkFileSize = 1024 * 1024;

// True when the bytes start with a link's header size and class id, whatever follows
// (a program information file in its own format does not).
bool HasShellLinkHeader(const unsigned char* bytes, size_t size);

// True when every size, count and offset in the file agrees with the others and
// stays inside the file, within limits no real link comes near. Reads nothing
// outside [bytes, bytes + size) and takes time linear in size.
bool IsSoundShellLink(const unsigned char* bytes, size_t size);
