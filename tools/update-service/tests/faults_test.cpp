#include "faults.h"

#include <gtest/gtest.h>

#include <string>

#include "query_reply.h"

namespace update_service {
namespace {

struct OptionCase {
  const char* text;
  const char* error;  // nullptr: accepted; else a part of the message
};

const OptionCase kOptionCases[] = {
    {"type1:status=500", nullptr},
    {"type2:body={\"result\": 1}", nullptr},
    {"type2:body=", nullptr},
    {"type3:bom", nullptr},
    {"file:app.7z:chunked", nullptr},
    {"file:app.7z:no-length", nullptr},
    {"file:app.7z:cut=1000", nullptr},
    {"file:app.7z:stall=1000,2.5", nullptr},
    {"all:delay=0.5", nullptr},
    {"type2:size=+1", nullptr},
    {"type2:size=-1", nullptr},
    {"type2:size=4294967297", nullptr},
    {"type2:hash=upper", nullptr},
    {"type2:url=http://127.0.0.1:1/files/app.7z", nullptr},
    {"file:app.7z:redirect=301,/files/app.7z", nullptr},
    {"type1:times=2", nullptr},
    {"type1:drop", nullptr},
    {"type4:status=500", "unknown route"},
    {"status=500", "expected ROUTE:KIND"},
    {"type5:bom", "unknown route"},
    {"type1", "expected ROUTE:KIND"},
    {"file:app.7z", "expected file:NAME:KIND"},
    {"type1:explode", "unknown fault"},
    {"type1:status=99", "status code"},
    {"type1:status", "needs a value"},
    {"type1:bom=1", "takes no value"},
    {"file:app.7z:stall=1000", "BYTES,SECONDS"},
    {"file:app.7z:cut=-1", "byte count"},
    {"type2:size=1.5", "+N, -N or N"},
    {"file:app.7z:size=+1", "update queries only"},
    {"file:app.7z:redirect=200,/x", "redirect status"},
    {"type1:body-file=/nonexistent/reply.json", "cannot read"},
};

TEST(Faults, OptionSyntax) {
  for (const auto& c : kOptionCases) {
    SCOPED_TRACE(c.text);
    FaultOption option;
    std::string error;
    const bool parsed = ParseFaultOption(c.text, option, error);
    if (c.error) {
      EXPECT_FALSE(parsed);
      EXPECT_NE(error.find(c.error), std::string::npos) << error;
    } else {
      EXPECT_TRUE(parsed) << error;
    }
  }
}

TEST(Faults, RouteOptionsReplaceAllOptionsOfTheirGroup) {
  FaultPlan plan;
  std::string error;
  ASSERT_TRUE(plan.Add("all:status=500", error)) << error;
  ASSERT_TRUE(plan.Add("all:bom", error)) << error;
  ASSERT_TRUE(plan.Add("type2:redirect=/elsewhere", error)) << error;
  ASSERT_TRUE(plan.Add("all:size=+1", error)) << error;

  const FaultSet query = plan.Peek("type2", 0);
  EXPECT_EQ(query.status, 0);
  EXPECT_EQ(query.redirect_status, 302);
  EXPECT_EQ(query.redirect_target, "/elsewhere");
  EXPECT_TRUE(query.bom);
  EXPECT_EQ(query.size_fault, SizeFault::Add);

  const FaultSet file = plan.Peek("file:app.7z", 0);
  EXPECT_EQ(file.status, 500);
  EXPECT_TRUE(file.bom);
  EXPECT_EQ(file.size_fault, SizeFault::None);
}

TEST(Faults, ConflictingOptionsForOneRouteAreRefused) {
  FaultPlan plan;
  std::string error;
  ASSERT_TRUE(plan.Add("file:a:chunked", error)) << error;
  EXPECT_FALSE(plan.Add("file:a:no-length", error));
  EXPECT_NE(error.find("conflicts with --fault file:a:chunked"), std::string::npos) << error;
  EXPECT_TRUE(plan.Add("file:b:no-length", error)) << error;
}

TEST(Faults, TimesLimitsTheRequestsThatSeeFaults) {
  FaultPlan plan;
  std::string error;
  ASSERT_TRUE(plan.Add("type1:status=503", error)) << error;
  ASSERT_TRUE(plan.Add("type1:times=2", error)) << error;
  EXPECT_EQ(plan.Next("type1").status, 503);
  EXPECT_EQ(plan.Next("type2").status, 0);
  EXPECT_EQ(plan.Next("type1").status, 503);
  EXPECT_TRUE(plan.Next("type1").empty());
}

TEST(Faults, QueryMembers) {
  struct Case {
    const char* option;
    std::int64_t size;
    const char* hash;
  };
  const Case cases[] = {
      {"type2:size=+1", 1001, "00ab"},   {"type2:size=-1", 999, "00ab"},
      {"type2:size=0", 0, "00ab"},       {"type2:hash=upper", 1000, "00AB"},
      {"type2:hash=wrong", 1000, "00a0"}, {"type2:hash=", 1000, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    FaultOption option;
    FaultSet faults;
    std::string error;
    ASSERT_TRUE(ParseFaultOption(c.option, option, error)) << error;
    ASSERT_TRUE(ApplyFaultOption(option, faults, error)) << error;
    QueryReply reply;
    reply.size = 1000;
    reply.hash = "00ab";
    ApplyQueryFaults(faults, reply);
    EXPECT_EQ(reply.size, c.size);
    EXPECT_EQ(reply.hash, c.hash);
  }
}

TEST(QueryReply, JsonText) {
  QueryReply reply{"http://127.0.0.1:8080/files/app%207z", "1.0.21.0", 42, "ab", "新版本\n\"ok\""};
  EXPECT_EQ(ToJson(reply),
            "{\"result\":{\"download_url\":\"http://127.0.0.1:8080/files/app%207z\","
            "\"version\":\"1.0.21.0\",\"size\":42,\"hash\":\"ab\","
            "\"release_notes\":\"新版本\\n\\\"ok\\\"\"}}");
  EXPECT_EQ(PercentEncode("app 7z/é~"), "app%207z%2F%C3%A9~");
}

}  // namespace
}  // namespace update_service
