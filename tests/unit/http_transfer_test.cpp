#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include "tests/support/debug_output.h"
#include "tests/support/test_support.h"
#include "tests/support/update_service.h"
#include "update/http_transfer.h"
#include "update/update_reply.h"

using namespace testing_support;

namespace {

std::string Bytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7919) >> 3);
  return bytes;
}

// A release whose application package is `bytes`, served under app.zip.
std::wstring ReleaseWith(const std::string& bytes, const std::string& notes = "") {
  const std::wstring folder = L"C:\\scratch\\release";
  WriteRelease(folder, {{"application", L"app.zip", "1.0.22.0", bytes, notes}});
  return folder;
}

struct Progress {
  std::vector<int32_t> values;
  std::vector<int32_t> finished;
  int refuseAfter = -1;  // calls to allow before refusing; -1 never refuses

  static bool Record(void* context, int32_t value, int32_t finished) {
    auto* self = static_cast<Progress*>(context);
    self->values.push_back(value);
    self->finished.push_back(finished);
    return self->refuseAfter < 0 || static_cast<int>(self->values.size()) <= self->refuseAfter;
  }
};

TEST(RequestFlagsTest, TlsWhenTheFirstColonIsTheSixthCharacter) {
  const struct {
    const wchar_t* url;
    uint32_t flags;
  } cases[] = {
      {L"https://update.example/api", 0x84800080u},
      {L"http://update.example/api", 0x84000000u},
      {L"abcde://update.example", 0x84800080u},  // any five-letter scheme
      {L"HTTPS://update.example", 0x84800080u},
      {L"ftp://update.example", 0x84000000u},
      {L"http://h/a:b", 0x84000000u},
      {L"", 0x84000000u},
  };
  for (const auto& c : cases) EXPECT_EQ(RequestFlagsFor(c.url), c.flags) << Narrow(c.url);
}

TEST(ProgressValueTest, SpanTimesTotalOverLength) {
  const struct {
    int32_t span;
    uint64_t total;
    uint32_t length;
    int32_t progress;
  } cases[] = {
      {100, 102400, 250000, 40}, {100, 204800, 250000, 81}, {100, 250000, 250000, 100},
      {1, 102400, 250000, 0},    {1, 249999, 250000, 0},    {1, 250000, 250000, 1},
      {30, 3000000000u, 4000000000u, 22},  // beyond 32 bits in the product
      {0, 250000, 250000, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgressValue(c.span, c.total, c.length), c.progress)
        << c.span << " " << c.total << " " << c.length;
  }
}

TEST(GetUrlContentTest, TextRepliesArriveWhole) {
  for (size_t size : {size_t(1), size_t(1023), size_t(1024), size_t(1025), size_t(5000)}) {
    std::string text(size, 'j');
    text.front() = '{';
    text.back() = '}';
    UpdateService service(ReleaseWith(text));
    ASSERT_FALSE(service.baseUrl().empty());
    EXPECT_EQ(GetUrlContent(service.FileUrl(L"app.zip")), std::wstring(text.begin(), text.end()))
        << size;
  }
}

TEST(GetUrlContentTest, Utf8ReleaseNotesArriveAsTheSameCharacters) {
  UpdateService service(ReleaseWith("x", "\xE6\x96\xB0\xE7\x89\x88\xE6\x9C\xAC \xF0\x9F\x98\x80"));
  const std::wstring reply = GetUrlContent(service.baseUrl() + L"/api/files/download/client?type=2");
  EXPECT_NE(reply.find(L"\u65b0\u7248\u672c \U0001F600"), std::wstring::npos);
  EXPECT_EQ(UpdateInfoFromReply(reply).releaseNotes, L"\u65b0\u7248\u672c \U0001F600");
}

TEST(GetUrlContentTest, ControlCharactersAndQuotesInReleaseNotesArriveUnchanged) {
  UpdateService service(ReleaseWith("x", "line 1\r\n\tline \"2\" \\ \x01 end"));
  const std::wstring reply = GetUrlContent(service.baseUrl() + L"/api/files/download/client?type=2");
  EXPECT_EQ(UpdateInfoFromReply(reply).releaseNotes, L"line 1\r\n\tline \"2\" \\ \x01 end");
}

TEST(GetUrlContentTest, SendsTheFourHeadersInOrderOverHttp10) {
  UpdateService service(ReleaseWith("x"));
  GetUrlContent(service.baseUrl() + L"/api/files/download/client?type=2");
  const std::string log = service.RequestLog();
  // The header lines as they crossed the wire. We add "Accept-Charset:UTF8" and
  // "Content-Type:application/json" without a blank; Wine's WinINet puts one in.
  EXPECT_NE(log.find("\"request_line\":\"GET /api/files/download/client?type=2 HTTP/1.0\","
                     "\"header_lines\":[\"Accept: */*,application/json\",\"Accept-Charset: UTF8\","
                     "\"Accept-Language: zh-cn;q=0.8,en;q=0.6,ja;q=0.4\","
                     "\"Content-Type: application/json\",\"Host: 127.0.0.1:"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("\"User-Agent: update_tests\""), std::string::npos) << log;
}

TEST(GetUrlFileTest, SendsNoExtraHeaders) {
  UpdateService service(ReleaseWith("x"));
  GetUrlFile(service.FileUrl(L"app.zip"), MakeScratchFolder(L"dl") + L"\\app.zip", 100, nullptr,
             nullptr, 0);
  const std::string log = service.RequestLog();
  EXPECT_NE(log.find("\"header_lines\":[\"Host: 127.0.0.1:"), std::string::npos) << log;
  EXPECT_EQ(log.find("Accept-Charset"), std::string::npos) << log;
}

struct ContentFailure {
  const char* name;
  std::vector<std::wstring> faults;
  bool refused;          // ask a port where nothing listens
  const char* lastLine;  // the end of the log trace
  bool exceptionLine;    // "Exception:<error>" on the debugger output
};

TEST(GetUrlContentTest, EveryFailureGivesTheEmptyText) {
  const ContentFailure cases[] = {
      {"404 with a body", {L"--fault", L"type2:status=404", L"--fault", L"type2:body={\"result\":{}}"}, false, "GetUrlContent3.5", false},
      {"500 with a body", {L"--fault", L"type2:status=500"}, false, "GetUrlContent3.5", false},
      {"refused", {}, true, "GetUrlContent3", true},
      // Wine's send returns once the request is out; the status is what cannot be read.
      {"dropped without an answer", {L"--fault", L"type2:drop"}, false, "GetUrlContent3.5", false},
  };
  for (const auto& c : cases) {
    UpdateService service(ReleaseWith("x"), c.faults);
    const std::wstring base = c.refused ? RefusingUrl() : service.baseUrl();
    const size_t before = LogMessages().size();
    DebugOutputCapture debug;
    EXPECT_EQ(GetUrlContent(base + L"/api/files/download/client?type=2"), L"") << c.name;
    const std::vector<std::wstring> debugLines = debug.lines();
    if (c.exceptionLine) {
      ASSERT_EQ(debugLines.size(), 1u) << c.name;
      EXPECT_EQ(debugLines[0].rfind(L"Exception:", 0), 0u) << c.name;
      EXPECT_GT(_wtoi(debugLines[0].c_str() + 10), 0) << c.name;  // the error code
    } else {
      EXPECT_TRUE(debugLines.empty()) << c.name;
    }
    const std::vector<std::string> messages = LogMessages();
    ASSERT_GT(messages.size(), before) << c.name;
    EXPECT_EQ(messages.back(), c.lastLine) << c.name;
  }
}

TEST(GetUrlContentTest, NothingIsAskedForAnEmptyOrUnusableUrl) {
  EXPECT_EQ(GetUrlContent(L""), L"");
  EXPECT_EQ(GetUrlContent(L"no url at all"), L"");
  EXPECT_EQ(LogMessages(), (std::vector<std::string>{"GetUrlContent", "GetUrlContent"}));
}

TEST(GetUrlFileTest, DownloadsWithMonotonicProgressEndingIn100) {
  const std::string bytes = Bytes(250000);
  UpdateService service(ReleaseWith(bytes));
  const std::wstring path = MakeScratchFolder(L"dl") + L"\\app.zip";
  Progress progress;
  DebugOutputCapture debug;
  EXPECT_EQ(GetUrlFile(service.FileUrl(L"app.zip"), path, 100, &progress, Progress::Record, 0),
            TransferResult::Complete);
  EXPECT_EQ(debug.lines(), (std::vector<std::wstring>{L"Thread end 0", L"Download_ok    "}));
  EXPECT_TRUE(ReadFileBytes(path) == bytes);
  ASSERT_FALSE(progress.values.empty());
  for (size_t i = 1; i < progress.values.size(); ++i) {
    EXPECT_GE(progress.values[i], progress.values[i - 1]);
    EXPECT_EQ(progress.finished[i - 1], 0);
  }
  EXPECT_EQ(progress.values.back(), 100);
  EXPECT_EQ(progress.finished.back(), 1);
  EXPECT_EQ(LogMessages(), (std::vector<std::string>{"GetUrlFile", "GetUrlFile1", "GetUrlFile2",
                                                     "GetUrlFile3", "GetUrlFile3.5", "GetUrlFile3.6",
                                                     "GetUrlFile3.7", "GetUrlFile4"}));
}

TEST(GetUrlFileTest, SpanOneReportsOnceAtTheEndWithTheOffset) {
  UpdateService service(ReleaseWith(Bytes(250000)));
  Progress progress;
  EXPECT_EQ(GetUrlFile(service.FileUrl(L"app.zip"), MakeScratchFolder(L"dl") + L"\\app.zip", 1,
                       &progress, Progress::Record, 70),
            TransferResult::Complete);
  EXPECT_EQ(progress.values, std::vector<int32_t>{71});
  EXPECT_EQ(progress.finished, std::vector<int32_t>{1});
}

struct FileFailure {
  const char* name;
  std::vector<std::wstring> faults;
  bool refused;
  bool missingFolder;    // a target path that cannot be created
  int refuseAfter;       // progress calls allowed before the callback refuses
  TransferResult result;
  const char* lastLine;
  int64_t fileSize;      // -1: no file
  std::vector<std::wstring> debugLines;  // with %p standing for the target path
};

// A trailing "*" matches any rest of the line.
void ExpectDebugLines(const std::vector<std::wstring>& actual, std::vector<std::wstring> expected,
                      const std::wstring& path, const char* name) {
  ASSERT_EQ(actual.size(), expected.size()) << name;
  for (size_t i = 0; i < expected.size(); ++i) {
    std::wstring& line = expected[i];
    const size_t marker = line.find(L"%p");
    if (marker != std::wstring::npos) line.replace(marker, 2, path);
    if (!line.empty() && line.back() == L'*') {
      EXPECT_EQ(actual[i].compare(0, line.size() - 1, line, 0, line.size() - 1), 0) << name;
    } else {
      EXPECT_EQ(actual[i], line) << name;
    }
  }
}

TEST(GetUrlFileTest, FailuresGiveTheirResultAndKeepWhatArrived) {
  const FileFailure cases[] = {
      {"status 404", {L"--fault", L"file:app.zip:status=404"}, false, false, -1, TransferResult::Failed,
       "GetUrlFile3.5", -1, {L"Connection failed: %p"}},
      {"chunked, no length", {L"--fault", L"file:app.zip:chunked"}, false, false, -1, TransferResult::NotDone,
       "GetUrlFile3.6", -1, {L"Connection failed: %p"}},
      // Wine's WinINet ends a cut-off body with an empty read, not a read failure:
      // the short total is what makes it Failed.
      {"cut off halfway", {L"--fault", L"file:app.zip:cut=125000"}, false, false, -1, TransferResult::Failed,
       "GetUrlFile4", 125000, {L"Thread end 0", L"Download failed: %p"}},
      {"callback refuses at once", {}, false, false, 0, TransferResult::NotDone, "GetUrlFile4", 102400,
       {L"yes canceld\r\n", L"Connection failed: %p"}},
      {"refused connection", {}, true, false, -1, TransferResult::Failed, "GetUrlFile3", -1,
       {L"Exception:*", L"Exception Download failed: %p", L"Connection failed: %p"}},
      {"target cannot be created", {}, false, true, -1, TransferResult::Failed, "GetUrlFile3.7", -1,
       {L"Exception:*", L"Exception Download failed: %p", L"Connection failed: %p"}},
  };
  for (const auto& c : cases) {
    UpdateService service(ReleaseWith(Bytes(250000)), c.faults);
    const std::wstring folder = MakeScratchFolder(L"dl");
    const std::wstring path = folder + (c.missingFolder ? L"\\missing\\app.zip" : L"\\app.zip");
    DeleteFileW(path.c_str());
    Progress progress;
    progress.refuseAfter = c.refuseAfter;
    const std::wstring url = c.refused ? RefusingUrl() + L"/files/app.zip" : service.FileUrl(L"app.zip");
    const size_t before = LogMessages().size();

    DebugOutputCapture debug;
    EXPECT_EQ(GetUrlFile(url, path, 100, &progress, Progress::Record, 0), c.result) << c.name;
    ExpectDebugLines(debug.lines(), c.debugLines, path, c.name);

    const std::vector<std::string> messages = LogMessages();
    ASSERT_GT(messages.size(), before) << c.name;
    EXPECT_EQ(messages.back(), c.lastLine) << c.name;
    if (c.fileSize < 0) {
      EXPECT_FALSE(FileExists(path)) << c.name;
    } else {
      EXPECT_EQ(static_cast<int64_t>(ReadFileBytes(path).size()), c.fileSize) << c.name;
    }
  }
}

TEST(GetUrlFileTest, NothingIsAskedForAnEmptyUrlOrPath) {
  EXPECT_EQ(GetUrlFile(L"", L"C:\\x.zip", 100, nullptr, nullptr, 0), TransferResult::NotDone);
  EXPECT_EQ(GetUrlFile(L"http://127.0.0.1:9/x", L"", 100, nullptr, nullptr, 0), TransferResult::NotDone);
  EXPECT_EQ(GetUrlFile(L"not a url", L"C:\\x.zip", 100, nullptr, nullptr, 0), TransferResult::NotDone);
  EXPECT_EQ(LogMessages(), (std::vector<std::string>{"GetUrlFile", "GetUrlFile", "GetUrlFile"}));
}

TEST(GetUrlFileTest, FollowsARedirect) {
  const std::string bytes = Bytes(5000);
  UpdateService service(ReleaseWith(bytes),
                        {L"--fault", L"type2:redirect=302,/files/app.zip"});
  const std::wstring path = MakeScratchFolder(L"dl") + L"\\app.zip";
  EXPECT_EQ(GetUrlFile(service.baseUrl() + L"/api/files/download/client?type=2", path, 100,
                       nullptr, nullptr, 0),
            TransferResult::Complete);
  EXPECT_TRUE(ReadFileBytes(path) == bytes);
}

// Memory must not grow with the file: the download streams through one buffer.
TEST(GetUrlFileTest, MemoryStaysFlatForALargeFile) {
  const size_t size = 64u << 20;
  const std::wstring release = ReleaseWith("x");
  {
    // Written in pieces, so that the test itself never holds the whole file.
    framework::KernelHandle file(CreateFileW((release + L"\\app.zip").c_str(), GENERIC_WRITE, 0,
                                             nullptr, CREATE_ALWAYS, 0, nullptr));
    const std::string piece = Bytes(1u << 20);
    DWORD written = 0;
    for (size_t done = 0; done < size; done += piece.size()) {
      ASSERT_TRUE(WriteFile(file.get(), piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr));
    }
  }
  UpdateService service(release);
  PROCESS_MEMORY_COUNTERS before{};
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before));
  const std::wstring path = MakeScratchFolder(L"dl") + L"\\app.zip";
  ASSERT_EQ(GetUrlFile(service.FileUrl(L"app.zip"), path, 100, nullptr, nullptr, 0), TransferResult::Complete);
  PROCESS_MEMORY_COUNTERS after{};
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after));
  const double grownMb =
      (static_cast<double>(after.PeakPagefileUsage) - static_cast<double>(before.PeakPagefileUsage)) /
      (1 << 20);
  std::printf("download of %zu MB: peak private memory grew by %.1f MB\n", size >> 20, grownMb);
  EXPECT_LT(grownMb, 16.0);
}

}  // namespace
