#include "update/http_transfer.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include "app/install_log.h"
#include "app/module_path.h"
#include "framework/unique_handle.h"

namespace {

using framework::InternetHandle;
using framework::KernelHandle;

constexpr DWORD kTimeoutMilliseconds = 60000;
constexpr DWORD kConnectRetries = 3;
constexpr DWORD kTextChunkBytes = 1024;
constexpr DWORD kFileBlockBytes = 102400;

void DebugLine(const std::wstring& text) { OutputDebugStringW(text.c_str()); }

// The parts of a URL a request needs, after the browser-style canonicalisation.
struct UrlParts {
  std::wstring server;
  std::wstring object;
  INTERNET_PORT port = 0;
};

bool SplitUrl(const std::wstring& url, UrlParts& parts) {
  DWORD length = static_cast<DWORD>(url.size()) * 3 + 64;
  std::vector<wchar_t> canonical(length);
  if (!InternetCanonicalizeUrlW(url.c_str(), canonical.data(), &length, ICU_BROWSER_MODE)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    canonical.resize(++length);
    if (!InternetCanonicalizeUrlW(url.c_str(), canonical.data(), &length, ICU_BROWSER_MODE)) {
      return false;
    }
  }
  URL_COMPONENTSW components{};
  components.dwStructSize = sizeof(components);
  components.dwHostNameLength = 1;
  components.dwUrlPathLength = 1;
  components.dwExtraInfoLength = 1;
  if (!InternetCrackUrlW(canonical.data(), 0, 0, &components) || components.dwHostNameLength == 0) {
    return false;
  }
  parts.server.assign(components.lpszHostName, components.dwHostNameLength);
  parts.object.assign(components.lpszUrlPath, components.dwUrlPathLength);
  if (components.lpszExtraInfo) {
    parts.object.append(components.lpszExtraInfo, components.dwExtraInfoLength);
  }
  if (parts.object.empty()) parts.object = L"/";
  parts.port = components.nPort;
  return true;
}

std::wstring UserAgent() {
  std::wstring name = GetModulePathParts().fileName;
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  return name;
}

InternetHandle OpenSession() {
  InternetHandle session(
      InternetOpenW(UserAgent().c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return session;
  const struct {
    DWORD option;
    DWORD value;
  } settings[] = {
      {INTERNET_OPTION_CONNECT_TIMEOUT, kTimeoutMilliseconds},
      {INTERNET_OPTION_SEND_TIMEOUT, kTimeoutMilliseconds},
      {INTERNET_OPTION_RECEIVE_TIMEOUT, kTimeoutMilliseconds},
      {INTERNET_OPTION_CONNECT_RETRIES, kConnectRetries},
  };
  for (const auto& setting : settings) {
    DWORD value = setting.value;
    InternetSetOptionW(session.get(), setting.option, &value, sizeof(value));
  }
  return session;
}

// One GET: its session, connection and request live and die together.
struct HttpRequest {
  InternetHandle session;
  InternetHandle connection;
  InternetHandle request;

  void Close() {
    request.reset();
    connection.reset();
    session.reset();
  }
};

bool Connect(HttpRequest& http, const std::wstring& url, const UrlParts& parts) {
  http.connection.reset(InternetConnectW(http.session.get(), parts.server.c_str(), parts.port,
                                         nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1));
  if (!http.connection) return false;
  http.request.reset(HttpOpenRequestW(http.connection.get(), L"GET", parts.object.c_str(),
                                      L"HTTP/1.0", nullptr, nullptr, RequestFlagsFor(url), 1));
  return http.request.valid();
}

bool Send(HttpRequest& http) {
  return HttpSendRequestW(http.request.get(), nullptr, 0, nullptr, 0) != FALSE;
}

bool StatusIsOk(HttpRequest& http) {
  wchar_t status[40] = {};  // 80 bytes
  DWORD size = sizeof(status);
  if (!HttpQueryInfoW(http.request.get(), HTTP_QUERY_STATUS_CODE, status, &size, nullptr)) {
    return false;
  }
  return _wtoi(status) == 200;
}

void LogException() { DebugLine(L"Exception:" + std::to_wstring(GetLastError())); }

std::wstring Utf16FromUtf8(const std::string& bytes) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), -1, buffer.data(), length);
  return std::wstring(buffer.data());
}

}  // namespace

uint32_t RequestFlagsFor(const std::wstring& url) {
  const uint32_t always = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
  // Only the position of the first colon is looked at, as in "https:".
  if (url.find(L':') == 5) return always | INTERNET_FLAG_SECURE | INTERNET_FLAG_CACHE_ASYNC;
  return always;
}

int32_t ProgressValue(int32_t span, uint64_t total, uint32_t length) {
  if (length == 0) return 0;
  const uint64_t scaled = static_cast<uint64_t>(static_cast<int64_t>(span)) * total;
  return static_cast<int32_t>(static_cast<uint32_t>(scaled / length));
}

std::wstring GetUrlContent(const std::wstring& url) {
  WriteInstallLog(L"GetUrlContent");
  if (url.empty()) return std::wstring();
  UrlParts parts;
  if (!SplitUrl(url, parts)) return std::wstring();

  WriteInstallLog(L"GetUrlContent1");
  HttpRequest http;
  http.session = OpenSession();
  // Without a session there is nothing to report it through but the empty text.
  if (!http.session) return std::wstring();

  WriteInstallLog(L"GetUrlContent2");
  if (!Connect(http, url, parts)) {
    LogException();
    return std::wstring();
  }
  for (const wchar_t* header :
       {L"Accept: */*,application/json", L"Accept-Charset:UTF8",
        L"Accept-Language: zh-cn;q=0.8,en;q=0.6,ja;q=0.4", L"Content-Type:application/json"}) {
    HttpAddRequestHeadersW(http.request.get(), header, static_cast<DWORD>(wcslen(header)),
                           HTTP_ADDREQ_FLAG_ADD_IF_NEW);
  }
  WriteInstallLog(L"GetUrlContent3");
  if (!Send(http)) {
    LogException();
    return std::wstring();
  }
  WriteInstallLog(L"GetUrlContent3.5");
  if (!StatusIsOk(http)) return std::wstring();
  WriteInstallLog(L"GetUrlContent3.6");

  std::string body;
  char chunk[kTextChunkBytes + 1];
  for (;;) {
    ZeroMemory(chunk, sizeof(chunk));
    DWORD read = 0;
    if (!InternetReadFile(http.request.get(), chunk, kTextChunkBytes, &read)) {
      LogException();
      return std::wstring();
    }
    if (read == 0) break;
    chunk[read] = '\0';
    body.append(chunk);  // up to the first zero byte; JSON holds none
  }
  http.Close();
  return Utf16FromUtf8(body);
}

TransferResult GetUrlFile(const std::wstring& url, const std::wstring& path, int32_t span,
                          void* context, ProgressCallback callback, int32_t offset) {
  WriteInstallLog(L"GetUrlFile");
  if (url.empty() || path.empty()) return TransferResult::NotDone;
  UrlParts parts;
  if (!SplitUrl(url, parts)) return TransferResult::NotDone;

  WriteInstallLog(L"GetUrlFile1");
  TransferResult result = TransferResult::NotDone;
  HttpRequest http;
  http.session = OpenSession();
  if (!http.session) return TransferResult::Failed;

  // Every way out below that is not a finished transfer ends here.
  auto commonExit = [&](TransferResult outcome) {
    http.Close();
    DebugLine(L"Connection failed: " + path);
    return outcome;
  };
  auto exceptionExit = [&]() {
    LogException();
    DebugLine(L"Exception Download failed: " + path);
    return commonExit(TransferResult::Failed);
  };

  WriteInstallLog(L"GetUrlFile2");
  if (!Connect(http, url, parts)) return exceptionExit();
  WriteInstallLog(L"GetUrlFile3");
  if (!Send(http)) return exceptionExit();
  WriteInstallLog(L"GetUrlFile3.5");
  if (!StatusIsOk(http)) return commonExit(TransferResult::Failed);
  WriteInstallLog(L"GetUrlFile3.6");

  DWORD length = 0;
  DWORD lengthSize = sizeof(length);
  if (!HttpQueryInfoW(http.request.get(), HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER,
                      &length, &lengthSize, nullptr) ||
      length == 0) {
    return commonExit(result);
  }

  WriteInstallLog(L"GetUrlFile3.7");
  std::vector<char> buffer(kFileBlockBytes);
  KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return exceptionExit();

  WriteInstallLog(L"GetUrlFile4");
  uint64_t total = 0;
  for (;;) {
    ZeroMemory(buffer.data(), buffer.size());
    DWORD read = 0;
    if (!InternetReadFile(http.request.get(), buffer.data(), kFileBlockBytes, &read)) {
      file.reset();
      return exceptionExit();
    }
    if (read == 0) {
      if (total != length) result = TransferResult::Failed;
      break;
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), buffer.data(), read, &written, nullptr) || written != read ||
        !FlushFileBuffers(file.get())) {
      file.reset();
      return exceptionExit();
    }
    total += read;
    if (callback) {
      const int32_t progress = ProgressValue(span, total, length);
      if (progress == 0 && total < length) continue;
      const auto reported = static_cast<int32_t>(static_cast<uint32_t>(offset) +
                                                 static_cast<uint32_t>(progress));
      if (!callback(context, reported, total == length ? 1 : 0)) {
        DebugLine(L"yes canceld\r\n");
        file.reset();
        return commonExit(TransferResult::NotDone);
      }
    }
  }

  file.reset();
  http.Close();
  DebugLine(L"Thread end 0");
  if (total == length) {
    DebugLine(L"Download_ok    ");
    return TransferResult::Complete;
  }
  DebugLine(L"Download failed: " + path);
  return result;
}
