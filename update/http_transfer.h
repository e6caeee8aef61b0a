#pragma once
#include <cstdint>
#include <string>

// Result of a file download; callers treat everything but Complete as failure.
enum class TransferResult : int32_t {
  Complete = 0,  // every byte the reply announced was received and written
  Failed = 1,    // status not 200, the transfer broke off, or a network or file error
  NotDone = 3,   // nothing transferred: bad input, no Content-Length, or cancelled
};

// Progress and cancel: called after each block with (context, offset + progress,
// finished 0/1); returning false stops the download.
using ProgressCallback = bool (*)(void* context, int32_t progress, int32_t finished);

// A small text reply (the update service's JSON) as UTF-16; empty on any failure.
std::wstring GetUrlContent(const std::wstring& url);

// Downloads `url` to `path`. `span` progress units cover the whole file and
// `offset` is added to each value. A partial file stays on disk on failure.
TransferResult GetUrlFile(const std::wstring& url, const std::wstring& path, int32_t span,
                          void* context, ProgressCallback callback, int32_t offset);

// The WinINet request flags for a URL: TLS when its first ":" is at index 5.
uint32_t RequestFlagsFor(const std::wstring& url);

// The progress value after `total` of `length` bytes: span x total / length in
// 64-bit arithmetic (span sign-extended, unsigned division), low 32 bits.
int32_t ProgressValue(int32_t span, uint64_t total, uint32_t length);
