#include "escl/http_reader.h"

#include <algorithm>
#include <cctype>
#include <chrono>

#include "base/text.h"

namespace tarnwick {

namespace {

constexpr std::size_t kReadSize = 16384;
constexpr std::size_t kMaxChunkLine = 1024;  // the size and any extensions
constexpr std::size_t kMaxTrailer = 4096;

HttpError errorOf(ReadOutcome outcome) {
    switch (outcome) {
        case ReadOutcome::timedOut:
            return HttpError::timedOut;
        case ReadOutcome::stopped:
            return HttpError::stopped;
        case ReadOutcome::error:
        case ReadOutcome::closed:
        case ReadOutcome::data:
            break;
    }
    return HttpError::closed;
}

// "HTTP/1.1 200 OK": the status, or 0.
int parseStatusLine(const std::string& line, bool& http10) {
    if (line.size() < 12 || line.compare(0, 7, "HTTP/1.") != 0 || line[8] != ' ') return 0;
    http10 = line[7] == '0';
    int status = 0;
    for (std::size_t i = 9; i < 12; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(line[i]))) return 0;
        status = status * 10 + (line[i] - '0');
    }
    if (line.size() > 12 && line[12] != ' ') return 0;
    return status >= 100 ? status : 0;
}

bool hasToken(const std::string& list, const std::string& token) {
    for (const std::string& part : base::split(base::lowered(list), ','))
        if (base::trim(part) == token) return true;
    return false;
}

// A decimal or hexadecimal count with no sign, below 2^48; false for anything else.
bool parseCount(const std::string& text, int base, std::size_t& value) {
    if (text.empty() || text.size() > 12) return false;
    value = 0;
    for (char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(c))
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0) return false;
        value = value * static_cast<std::size_t>(base) + static_cast<std::size_t>(digit);
    }
    return true;
}

}  // namespace

std::string HttpResponse::header(const std::string& lowerName) const {
    for (const auto& [name, value] : headers)
        if (name == lowerName) return value;
    return {};
}

const char* httpErrorName(HttpError error) {
    switch (error) {
        case HttpError::none:
            return "none";
        case HttpError::timedOut:
            return "timed out";
        case HttpError::closed:
            return "connection closed";
        case HttpError::stopped:
            return "stopped";
        case HttpError::malformed:
            return "malformed response";
        case HttpError::headTooLarge:
            return "response head too large";
        case HttpError::bodyTooLarge:
            return "response body too large";
    }
    return "unknown";
}

HttpError HttpReader::fill() {
    if (closed_) return HttpError::closed;
    if (begin_ == buffer_.size()) {
        buffer_.clear();
        begin_ = 0;
    }
    const std::size_t old = buffer_.size();
    buffer_.resize(old + kReadSize);
    const ReadResult got = source_.readSome(buffer_.data() + old, kReadSize);
    buffer_.resize(old + (got.outcome == ReadOutcome::data ? got.count : 0));
    lastOutcome_ = got.outcome;
    if (got.outcome == ReadOutcome::data) return HttpError::none;
    if (got.outcome == ReadOutcome::closed || got.outcome == ReadOutcome::error) closed_ = true;
    return errorOf(got.outcome);
}

HttpError HttpReader::readLine(std::string& line, std::size_t limit) {
    for (;;) {
        const auto start = buffer_.begin() + static_cast<std::ptrdiff_t>(begin_);
        const auto end = std::find(start, buffer_.end(), '\n');
        if (end != buffer_.end()) {
            if (static_cast<std::size_t>(end - start) > limit + 1) return HttpError::headTooLarge;
            line.assign(start, end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            begin_ += line.size() + 1 + (end != start && *(end - 1) == '\r' ? 1 : 0);
            return HttpError::none;
        }
        if (buffer_.size() - begin_ > limit + 1) return HttpError::headTooLarge;
        if (const HttpError error = fill(); error != HttpError::none) return error;
    }
}

HttpError HttpReader::readHead(HttpResponse& response) {
    for (int interim = 0; interim <= kMaxInterimResponses; ++interim) {
        if (const HttpError error = readHeadOnce(response); error != HttpError::none) return error;
        if (response.status >= 200) return HttpError::none;
    }
    return HttpError::malformed;
}

HttpError HttpReader::readHeadOnce(HttpResponse& response) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(headTimeoutMs_);
    response = HttpResponse{};
    std::size_t used = 0;
    bool http10 = false;
    for (bool first = true;; first = false) {
        if (Clock::now() > deadline) return HttpError::timedOut;
        std::string line;
        if (const HttpError error = readLine(line, kMaxHttpHead - used); error != HttpError::none)
            return error;
        used += line.size() + 2;
        if (first) {
            response.status = parseStatusLine(line, http10);
            if (response.status == 0) return HttpError::malformed;
            continue;
        }
        if (line.empty()) break;
        // Folded continuation lines are obsolete; nothing we need uses them.
        if (line[0] == ' ' || line[0] == '\t') continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) return HttpError::malformed;
        if (response.headers.size() == kMaxHttpHeaders) return HttpError::headTooLarge;
        response.headers.emplace_back(base::lowered(line.substr(0, colon)),
                                      base::trim(line.substr(colon + 1)));
    }
    const std::string connection = response.header("connection");
    response.keepAlive =
        http10 ? hasToken(connection, "keep-alive") : !hasToken(connection, "close");
    return HttpError::none;
}

HttpError HttpReader::readExactly(std::size_t count, std::vector<std::uint8_t>& body) {
    while (count > 0) {
        if (begin_ == buffer_.size())
            if (const HttpError error = fill(); error != HttpError::none) return error;
        const std::size_t n = std::min(count, buffer_.size() - begin_);
        body.insert(body.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(begin_),
                    buffer_.begin() + static_cast<std::ptrdiff_t>(begin_ + n));
        begin_ += n;
        count -= n;
    }
    return HttpError::none;
}

HttpError HttpReader::readChunked(std::size_t maxBody, std::vector<std::uint8_t>& body) {
    for (;;) {
        std::string line;
        if (const HttpError error = readLine(line, kMaxChunkLine); error != HttpError::none)
            return error;
        const std::string sizeText(base::trim(line.substr(0, line.find(';'))));
        std::size_t size = 0;
        if (!parseCount(sizeText, 16, size)) return HttpError::malformed;
        if (size == 0) break;
        if (size > maxBody - body.size()) return HttpError::bodyTooLarge;
        if (const HttpError error = readExactly(size, body); error != HttpError::none) return error;
        if (const HttpError error = readLine(line, 0); error != HttpError::none)
            return error == HttpError::headTooLarge ? HttpError::malformed : error;
        if (!line.empty()) return HttpError::malformed;
    }
    // Trailers, bounded together, then the empty line.
    std::size_t used = 0;
    for (;;) {
        std::string line;
        if (const HttpError error = readLine(line, kMaxTrailer - used); error != HttpError::none)
            return error;
        if (line.empty()) return HttpError::none;
        used += line.size() + 2;
    }
}

HttpError HttpReader::readToClose(std::size_t maxBody, std::vector<std::uint8_t>& body) {
    for (;;) {
        const std::size_t held = buffer_.size() - begin_;
        if (held > maxBody - body.size()) return HttpError::bodyTooLarge;
        body.insert(body.end(), buffer_.begin() + static_cast<std::ptrdiff_t>(begin_),
                    buffer_.end());
        begin_ = buffer_.size();
        const HttpError error = fill();
        if (error == HttpError::closed) return HttpError::none;
        if (error != HttpError::none) return error;
    }
}

HttpError HttpReader::readBody(HttpResponse& response, std::size_t maxBody,
                               std::vector<std::uint8_t>& body, bool headOnly) {
    body.clear();
    if (headOnly || response.status == 204 || response.status == 304) return HttpError::none;
    if (hasToken(response.header("transfer-encoding"), "chunked"))
        return readChunked(maxBody, body);
    const std::string lengthText = response.header("content-length");
    if (!lengthText.empty()) {
        std::size_t length = 0;
        if (!parseCount(lengthText, 10, length)) return HttpError::malformed;
        if (length > maxBody) return HttpError::bodyTooLarge;
        return readExactly(length, body);
    }
    // Neither: the body ends where the server closes the connection.
    response.keepAlive = false;
    return readToClose(maxBody, body);
}

}  // namespace tarnwick
