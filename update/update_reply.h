#pragma once
#include <string>

#include "update/update_info.h"

// Fetches `url` and reads the update service's reply into a new record
// (isCurrent and needed 0); any failure gives the empty record.
UpdateInfo ParseUpdateReply(const std::wstring& url);

// The reading itself: strict JSON with an object "result" holding
// "download_url", "version", "size", "hash" and "release_notes".
UpdateInfo UpdateInfoFromReply(const std::wstring& reply);
