#include "request_parser.h"

#include <gtest/gtest.h>

namespace dravo {
namespace {

TEST(RequestParser, CompletionNeedsAnEmptyLine) {
    EXPECT_TRUE(request_complete("GET /status HTTP/1.1\r\nHost: x\r\n\r\n"));
    EXPECT_TRUE(request_complete("GET /status HTTP/1.0\n\n"));
    EXPECT_FALSE(request_complete("GET /status HTTP/1.0\r\nHost: x\r\n"));
    EXPECT_FALSE(request_complete("GET /status HTTP/1.0\r\n\r"));
    EXPECT_FALSE(request_complete(std::string_view("GET /\0\n\n", 8)));  // text ends at zero
}

TEST(RequestParser, PathAndEmptyQueryFromACrLfRequest) {
    auto r = parse_request("GET /status HTTP/1.1\r\nHost: example\r\n\r\n");
    EXPECT_EQ(r.path, "/status");
    EXPECT_TRUE(r.query.empty());
}

TEST(RequestParser, QueryFieldsAreSplitButNeverDecoded) {
    auto r = parse_request("GET /play?track=3&x HTTP/1.0\n\n");
    EXPECT_EQ(r.path, "/play");
    EXPECT_EQ(r.query, (QueryMap{{"track", "3"}, {"x", ""}}));

    EXPECT_EQ(parse_request("GET /play? HTTP/1.0\n\n").query, (QueryMap{{"", ""}}));
    EXPECT_EQ(parse_request("GET /v?volume=50&volume=60\n\n").query, (QueryMap{{"volume", "60"}}));
    EXPECT_EQ(parse_request("GET /f?filter=a%20b+c\n\n").query, (QueryMap{{"filter", "a%20b+c"}}));
    EXPECT_EQ(parse_request("GET /f?a=b=c&&=v\n\n").query, (QueryMap{{"a", "b=c"}, {"", "v"}}));
}

TEST(RequestParser, OnlyGetLinesCount) {
    EXPECT_EQ(parse_request("HEAD /status HTTP/1.0\r\n\r\n").path, "");
    EXPECT_EQ(parse_request("POST /stop HTTP/1.0\r\n\r\n").path, "");
    EXPECT_EQ(parse_request("get /stop HTTP/1.0\r\n\r\n").path, "");
    EXPECT_EQ(parse_request("GET\r\n\r\n").path, "GET");
    EXPECT_EQ(parse_request("GET").path, "GET");
    EXPECT_EQ(parse_request("").path, "");
    // Leading blanks and tabs separate words too.
    EXPECT_EQ(parse_request(" \tGET\t/next HTTP/1.0\n\n").path, "/next");
}

TEST(RequestParser, SeveralGetLinesMergeQueriesAndTheLastPathWins) {
    auto r = parse_request("GET /a?x=1&y=2 HTTP/1.0\r\nX: GET\r\n\r\nGET /b?y=3\r\n");
    EXPECT_EQ(r.path, "/b");
    EXPECT_EQ(r.query, (QueryMap{{"x", "1"}, {"y", "3"}}));
    // A later GET without a query keeps the earlier pairs.
    auto s = parse_request("GET /a?k=v\nGET /c\n\n");
    EXPECT_EQ(s.path, "/c");
    EXPECT_EQ(s.query, (QueryMap{{"k", "v"}}));
}

TEST(RequestParser, HeadersAreParsedOnceWithLowerCaseNamesAndTheFirstLineWins) {
    auto r = parse_request(
        "GET /s HTTP/1.1\r\nHost:  Box:81 \r\nORIGIN: http://a\r\norigin: http://b\r\n"
        "no colon\r\n: empty name\r\nX-Empty:\r\n\r\n");
    EXPECT_EQ(r.headers, (HeaderMap{{"host", "Box:81"}, {"origin", "http://a"}, {"x-empty", ""}}));
    ASSERT_NE(r.header("origin"), nullptr);
    EXPECT_EQ(r.header("sec-fetch-site"), nullptr);
    // Nothing after the first zero byte counts.
    const char with_zero[] = "GET /s\r\n\0Origin: x\r\n\r\n";
    EXPECT_TRUE(parse_request(std::string(with_zero, sizeof with_zero - 1)).headers.empty());
}

}  // namespace
}  // namespace dravo
