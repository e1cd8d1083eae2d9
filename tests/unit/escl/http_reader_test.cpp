#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "escl/http_reader.h"

namespace tarnwick {
namespace {

struct BodyCase {
    const char* name;
    std::string bytes;
    std::size_t maxBody;
    HttpError error;
    std::string body;
    bool keepAlive;
};

const std::string kChunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

class HttpReaderBodies : public ::testing::TestWithParam<BodyCase> {};

TEST_P(HttpReaderBodies, EndWhereTheirFramingSays) {
    const BodyCase& c = GetParam();
    MemorySource source(c.bytes.data(), c.bytes.size());
    HttpReader reader(source, 1000);
    HttpResponse response;
    HttpError error = reader.readHead(response);
    std::vector<std::uint8_t> body;
    if (error == HttpError::none) error = reader.readBody(response, c.maxBody, body);
    EXPECT_EQ(error, c.error) << httpErrorName(error);
    if (c.error != HttpError::none) return;
    EXPECT_EQ(std::string(body.begin(), body.end()), c.body);
    EXPECT_EQ(response.keepAlive, c.keepAlive);
}

const std::string kHugeHeader =
    "HTTP/1.1 200 OK\r\nX-A: " + std::string(kMaxHttpHead, 'a') + "\r\n\r\n";
std::string manyHeaders() {
    std::string head = "HTTP/1.1 200 OK\r\n";
    for (std::size_t i = 0; i <= kMaxHttpHeaders; ++i) head += "X-" + std::to_string(i) + ": 1\r\n";
    return head + "\r\n";
}
std::string endlessChunks() {
    std::string text = kChunked;
    for (int i = 0; i < 200; ++i) text += "400\r\n" + std::string(0x400, 'x') + "\r\n";
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HttpReaderBodies,
    ::testing::Values(
        BodyCase{"length", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcdef", 10,
                 HttpError::none, "abc", true},
        BodyCase{"lengthAtTheBound", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc", 3,
                 HttpError::none, "abc", true},
        BodyCase{"lengthAboveTheBound", "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nabcd", 3,
                 HttpError::bodyTooLarge, "", false},
        BodyCase{"lengthNotANumber", "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n", 3,
                 HttpError::malformed, "", false},
        BodyCase{"lengthCutShort", "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nabc", 10,
                 HttpError::closed, "", false},
        BodyCase{"chunked", kChunked + "3;ext=1\r\nabc\r\n2\r\nde\r\n0\r\nX-T: 1\r\n\r\n", 10,
                 HttpError::none, "abcde", true},
        BodyCase{"chunkedUpperCaseHex", kChunked + "A\r\n0123456789\r\n0\r\n\r\n", 10,
                 HttpError::none, "0123456789", true},
        BodyCase{"chunkAboveTheBound", kChunked + "B\r\n0123456789a\r\n0\r\n\r\n", 10,
                 HttpError::bodyTooLarge, "", false},
        BodyCase{"endlessChunks", endlessChunks(), 0x10000, HttpError::bodyTooLarge, "", false},
        BodyCase{"chunkWithoutItsEnd", kChunked + "3\r\nabcX\r\n", 10, HttpError::malformed, "",
                 false},
        BodyCase{"chunkSizeNotHex", kChunked + "zz\r\n", 10, HttpError::malformed, "", false},
        BodyCase{"chunkSizeOverflowing", kChunked + "fffffffffffffffff\r\n", 10,
                 HttpError::malformed, "", false},
        BodyCase{"toClose", "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n<x/>", 10, HttpError::none,
                 "<x/>", false},
        BodyCase{"toCloseAboveTheBound", "HTTP/1.1 200 OK\r\n\r\n0123456789a", 10,
                 HttpError::bodyTooLarge, "", false},
        BodyCase{"http10WithoutKeepAlive", "HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n", 10,
                 HttpError::none, "", false},
        BodyCase{"interimSkipped", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 204 No Content\r\n\r\n",
                 10, HttpError::none, "", true},
        BodyCase{"lineFeedsOnly", "HTTP/1.1 200 OK\nContent-Length: 2\n\nab", 10, HttpError::none,
                 "ab", true},
        BodyCase{"oversizedHeader", kHugeHeader, 10, HttpError::headTooLarge, "", false},
        BodyCase{"tooManyHeaders", manyHeaders(), 10, HttpError::headTooLarge, "", false},
        BodyCase{"notHttp", "SSH-2.0-OpenSSH\r\n\r\n", 10, HttpError::malformed, "", false},
        BodyCase{"statusNotANumber", "HTTP/1.1 2x0 OK\r\n\r\n", 10, HttpError::malformed, "",
                 false},
        BodyCase{"headerWithoutColon", "HTTP/1.1 200 OK\r\nbroken\r\n\r\n", 10,
                 HttpError::malformed, "", false},
        BodyCase{"headCutShort", "HTTP/1.1 200 OK\r\nContent-", 10, HttpError::closed, "", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HttpReader, ReadsResponsesOneAfterAnotherAndKeepsHeaderNamesLowerCase) {
    const std::string bytes =
        "HTTP/1.1 201 Created\r\nLOCATION: /eSCL/ScanJobs/7\r\nContent-Length: 0\r\n\r\n"
        "HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\nno";
    MemorySource source(bytes.data(), bytes.size());
    HttpReader reader(source, 1000);
    HttpResponse first, second;
    std::vector<std::uint8_t> body;
    ASSERT_EQ(reader.readHead(first), HttpError::none);
    ASSERT_EQ(reader.readBody(first, 10, body), HttpError::none);
    EXPECT_EQ(first.status, 201);
    EXPECT_EQ(first.header("location"), "/eSCL/ScanJobs/7");
    ASSERT_EQ(reader.readHead(second), HttpError::none);
    ASSERT_EQ(reader.readBody(second, 10, body), HttpError::none);
    EXPECT_EQ(second.status, 404);
    EXPECT_EQ(std::string(body.begin(), body.end()), "no");
}

}  // namespace
}  // namespace tarnwick
