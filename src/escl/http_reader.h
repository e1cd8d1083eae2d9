// An HTTP/1.1 response read from a scanner that may be hostile: the head and every body are
// bounded, chunked and length-delimited bodies are read, and each wait is the stream's time-out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "sane/byte_source.h"

namespace tarnwick {

inline constexpr std::size_t kMaxHttpHead = 16384;
inline constexpr std::size_t kMaxHttpHeaders = 64;
// Interim (1xx) answers skipped before the real one.
inline constexpr int kMaxInterimResponses = 4;

enum class HttpError {
    none,
    timedOut,
    closed,     // the peer closed before the message ended
    stopped,    // the wait hook stopped the wait
    malformed,  // not HTTP/1.x, a bad status line, header or chunk
    headTooLarge,
    bodyTooLarge,
};

struct HttpResponse {
    int status = 0;
    std::vector<std::pair<std::string, std::string>> headers;  // names lower-case
    // The first value of a header (name in lower case); "" when absent.
    std::string header(const std::string& lowerName) const;
    // Whether the connection may carry another request after this response's body.
    bool keepAlive = false;
};

// Reads one response after another from the stream.
class HttpReader {
  public:
    // The head of each response must arrive within headTimeoutMs as a whole, so that a server
    // sending a byte now and then cannot hold the caller for long.
    HttpReader(ByteSource& source, int headTimeoutMs)
        : source_(source), headTimeoutMs_(headTimeoutMs) {}
    // The status line and headers (interim 1xx responses skipped).
    HttpError readHead(HttpResponse& response);
    // The body of the response just headed, at most maxBody bytes. `headOnly`: the request
    // was HEAD, so no body follows whatever the headers say.
    HttpError readBody(HttpResponse& response, std::size_t maxBody, std::vector<std::uint8_t>& body,
                       bool headOnly = false);

  private:
    HttpError fill();
    // One line ending in CRLF (or LF), at most `limit` bytes without it.
    HttpError readLine(std::string& line, std::size_t limit);
    HttpError readExactly(std::size_t count, std::vector<std::uint8_t>& body);
    HttpError readChunked(std::size_t maxBody, std::vector<std::uint8_t>& body);
    HttpError readToClose(std::size_t maxBody, std::vector<std::uint8_t>& body);
    HttpError readHeadOnce(HttpResponse& response);

    ByteSource& source_;
    int headTimeoutMs_;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;
    bool closed_ = false;
    ReadOutcome lastOutcome_ = ReadOutcome::data;
};

// The text of an HTTP error for reports (untranslated, for the debug log).
const char* httpErrorName(HttpError error);

}  // namespace tarnwick
