// curl.exe for machines without one: takes the command lines the two programs
// build ("--fail --cacert F [--location] --url U --output F --connect-timeout N
// --max-time N", in any order) and fetches http (Winsock), https (WinINet) and
// file: addresses. Exit codes follow curl's: 0 the whole file was stored, 2 bad
// command line, 3 malformed address, 6 host not found, 7 connection refused,
// 18 cut-short transfer, 22 HTTP error with --fail (no output file), 23 write
// error, 28 time-out, 37 file not readable, 47 too many redirects, 52 empty
// reply, 55 send error, 56 receive error, 60 certificate problem, 77 CA
// bundle missing.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <wininet.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "scoped_win.h"

namespace {

struct Options {
    bool fail = false;
    bool location = false;
    std::string cacert;
    std::string url;
    std::string output;
    long connectTimeout = 0;   // seconds, 0 = no limit of our own
    long maxTime = 0;
};

int Complain(int code, const std::string &text) {
    fprintf(stderr, "curl: (%d) %s\n", code, text.c_str());
    return code;
}

bool ParseSeconds(const char *text, long *out) {
    char *end = nullptr;
    long value = strtol(text, &end, 10);
    if (end == text || *end || value < 0) return false;
    *out = value;
    return true;
}

// 0 when the command line is one we understand.
int ParseOptions(int argc, char **argv, Options *o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](const char *name) -> const char * {
            if (i + 1 >= argc) {
                fprintf(stderr, "curl: option %s: requires parameter\n", name);
                return nullptr;
            }
            return argv[++i];
        };
        if (a == "--fail") {
            o->fail = true;
        } else if (a == "--location") {
            o->location = true;
        } else if (a == "--cacert" || a == "--url" || a == "--output") {
            const char *v = value(a.c_str());
            if (!v) return 2;
            (a == "--cacert" ? o->cacert : a == "--url" ? o->url : o->output) = v;
        } else if (a == "--connect-timeout" || a == "--max-time") {
            const char *v = value(a.c_str());
            if (!v) return 2;
            if (!ParseSeconds(v, a == "--max-time" ? &o->maxTime : &o->connectTimeout)) {
                fprintf(stderr, "curl: option %s: expected a proper numerical parameter\n", a.c_str());
                return 2;
            }
        } else {
            fprintf(stderr, "curl: option %s: is unknown\n", a.c_str());
            return 2;
        }
    }
    if (o->url.empty()) {
        fprintf(stderr, "curl: no URL specified\n");
        return 2;
    }
    return 0;
}

bool StartsWithNoCase(const std::string &text, const char *prefix) {
    return _strnicmp(text.c_str(), prefix, strlen(prefix)) == 0;
}

// Where the bytes go: the output file, opened only once there is something to
// store, or standard output.
struct Sink {
    const std::string &path;
    FILE *file = nullptr;
    bool failed = false;

    explicit Sink(const std::string &p) : path(p) {}
    bool Open() {
        if (path.empty()) {
            file = stdout;
            return true;
        }
        file = fopen(path.c_str(), "wb");
        return file != nullptr;
    }
    bool Write(const void *data, size_t size) {
        if (fwrite(data, 1, size, file) != size) failed = true;
        return !failed;
    }
    bool Close() {
        if (!file) return true;
        bool ok = fflush(file) == 0 && !ferror(file) && !failed;
        if (file != stdout) ok = fclose(file) == 0 && ok;
        file = nullptr;
        return ok;
    }
};

std::string PercentDecode(const std::string &text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && isxdigit((unsigned char)text[i + 1]) &&
            isxdigit((unsigned char)text[i + 2])) {
            out += static_cast<char>(strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// file:///C:/dir/name or file://localhost/C:/dir/name.
int FetchFile(const Options &o) {
    std::string path = o.url.substr(strlen("file://"));
    if (StartsWithNoCase(path, "localhost/")) path = path.substr(strlen("localhost"));
    if (path.size() >= 3 && path[0] == '/' && path[2] == ':') path = path.substr(1);
    path = PercentDecode(path);
    for (char &c : path) {
        if (c == '/') c = '\\';
    }
    FILE *in = fopen(path.c_str(), "rb");
    if (!in) return Complain(37, "Couldn't open file " + path);
    Sink sink(o.output);
    if (!sink.Open()) {
        fclose(in);
        return Complain(23, "Failure writing output to destination");
    }
    static char buffer[1 << 16];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0) {
        if (!sink.Write(buffer, n)) break;
    }
    bool readError = ferror(in) != 0;
    fclose(in);
    if (!sink.Close()) return Complain(23, "Failure writing output to destination");
    if (readError) return Complain(37, "Couldn't read file " + path);
    return 0;
}

int CodeForInternetError(DWORD error) {
    switch (error) {
    case ERROR_INTERNET_TIMEOUT: return 28;
    case ERROR_INTERNET_NAME_NOT_RESOLVED: return 6;
    case ERROR_INTERNET_CANNOT_CONNECT:
    case ERROR_INTERNET_CONNECTION_ABORTED:
        return 7;
    case ERROR_INTERNET_INVALID_URL:
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
        return 3;
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
        return 60;
    default: return 56;
    }
}

int FetchHttp(const Options &o, bool secure) {
    if (secure && GetFileAttributesA(o.cacert.c_str()) == INVALID_FILE_ATTRIBUTES && !o.cacert.empty())
        return Complain(77, "error setting certificate file: " + o.cacert);

    ScopedInternetHandle session(InternetOpenA("curl", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
    if (!session) return Complain(7, "Failed to initialise the connection");
    if (o.connectTimeout > 0) {
        DWORD ms = static_cast<DWORD>(o.connectTimeout * 1000);
        InternetSetOptionA(session.Get(), INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
    }
    if (o.maxTime > 0) {
        DWORD ms = static_cast<DWORD>(o.maxTime * 1000);
        InternetSetOptionA(session.Get(), INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
        InternetSetOptionA(session.Get(), INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
    }
    const ULONGLONG start = GetTickCount64();
    auto timedOut = [&] { return o.maxTime > 0 && GetTickCount64() - start > ULONGLONG(o.maxTime) * 1000; };

    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                  INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH | INTERNET_FLAG_PRAGMA_NOCACHE;
    if (!o.location) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (secure) flags |= INTERNET_FLAG_SECURE;
    ScopedInternetHandle request(InternetOpenUrlA(session.Get(), o.url.c_str(), nullptr, 0, flags, 0));
    if (!request) {
        DWORD error = GetLastError();
        int code = CodeForInternetError(error);
        if (code == 56 && timedOut()) code = 28;
        return Complain(code, "Failed to connect (error " + std::to_string(error) + ")");
    }

    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoA(request.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return Complain(56, "No HTTP status received");
    if (o.fail && status >= 400)
        return Complain(22, "The requested URL returned error: " + std::to_string(status));

    char lengthText[32] = "";
    size = sizeof lengthText;
    long long expected = -1;
    if (HttpQueryInfoA(request.Get(), HTTP_QUERY_CONTENT_LENGTH, lengthText, &size, nullptr))
        expected = _atoi64(lengthText);

    Sink sink(o.output);
    if (!sink.Open()) return Complain(23, "Failure writing output to destination");
    static char buffer[1 << 16];
    long long total = 0;
    int code = 0;
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request.Get(), buffer, sizeof buffer, &got)) {
            DWORD error = GetLastError();
            code = error == ERROR_INTERNET_TIMEOUT || timedOut() ? 28 : 56;
            Complain(code, code == 28 ? "Operation timed out" : "Failure when receiving data from the peer");
            break;
        }
        if (got == 0) break;
        if (!sink.Write(buffer, got)) break;
        total += got;
        if (timedOut()) {
            code = Complain(28, "Operation timed out");
            break;
        }
    }
    if (!sink.Close() && code == 0) return Complain(23, "Failure writing output to destination");
    if (code) return code;
    if (expected >= 0 && total < expected)
        return Complain(18, "transfer closed with " + std::to_string(expected - total) + " bytes remaining to read");
    return 0;
}

// --max-time from the start of one request.
struct Clock {
    long maxTime;
    ULONGLONG start = GetTickCount64();
    bool TimedOut() const { return maxTime > 0 && GetTickCount64() - start > ULONGLONG(maxTime) * 1000; }
};

// One connection's bytes, read through a buffer.
struct Connection {
    SOCKET socket = INVALID_SOCKET;
    char buffer[1 << 16];
    size_t pos = 0, length = 0;
    int error = 0;   // the curl code of a failed receive, 0 at the end of the stream

    ~Connection() {
        if (socket != INVALID_SOCKET) closesocket(socket);
    }
    // More bytes in the buffer; false at the end of the stream or on an error.
    bool Fill() {
        if (pos < length) return true;
        int got = recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0) {
            if (got < 0) error = WSAGetLastError() == WSAETIMEDOUT ? 28 : 56;
            return false;
        }
        pos = 0;
        length = static_cast<size_t>(got);
        return true;
    }
    // One line without its CR LF; false when the stream ends first.
    bool ReadLine(std::string *line) {
        line->clear();
        for (;;) {
            if (!Fill()) return false;
            char c = buffer[pos++];
            if (c == '\n') break;
            *line += c;
        }
        if (!line->empty() && line->back() == '\r') line->pop_back();
        return true;
    }
};

struct PlainUrl {
    std::string host, port = "80", path = "/";
};

bool ParsePlainUrl(const std::string &url, PlainUrl *out) {
    std::string rest = url.substr(strlen("http://"));
    rest = rest.substr(0, rest.find('#'));
    size_t slash = rest.find_first_of("/?");
    std::string authority = rest.substr(0, slash);
    if (slash != std::string::npos) {
        out->path.assign(rest, slash, std::string::npos);
        if (out->path[0] == '?') out->path.insert(out->path.begin(), '/');
    }
    size_t colon = authority.rfind(':');
    if (colon != std::string::npos) {
        out->port = authority.substr(colon + 1);
        authority = authority.substr(0, colon);
        if (out->port.empty() || out->port.find_first_not_of("0123456789") != std::string::npos) return false;
    }
    out->host = authority;
    return !authority.empty() && authority.find_first_of("@ ") == std::string::npos;
}

// Connects within --connect-timeout; 0 or the curl code after its message.
int Connect(const Options &o, const PlainUrl &url, Connection *connection) {
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(url.host.c_str(), url.port.c_str(), &hints, &found) != 0 || !found)
        return Complain(6, "Could not resolve host: " + url.host);
    SOCKET s = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    if (s == INVALID_SOCKET) {
        freeaddrinfo(found);
        return Complain(7, "Failed to create a socket");
    }
    connection->socket = s;
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    int started = connect(s, found->ai_addr, static_cast<int>(found->ai_addrlen));
    freeaddrinfo(found);
    if (started != 0 && WSAGetLastError() != WSAEWOULDBLOCK)
        return Complain(7, "Failed to connect to " + url.host + " port " + url.port + ": Connection refused");
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(s, &writable);
    FD_SET(s, &failed);
    timeval limit = {o.connectTimeout > 0 ? o.connectTimeout : 300, 0};
    int ready = select(0, nullptr, &writable, &failed, &limit);
    if (ready == 0) return Complain(28, "Connection timed out after " + std::to_string(limit.tv_sec) + " seconds");
    int error = 0;
    int size = sizeof error;
    getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char *>(&error), &size);
    if (ready < 0 || FD_ISSET(s, &failed) || error != 0)
        return Complain(7, "Failed to connect to " + url.host + " port " + url.port + ": Connection refused");
    nonBlocking = 0;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (o.maxTime > 0) {
        DWORD ms = static_cast<DWORD>(o.maxTime * 1000);
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char *>(&ms), sizeof ms);
        setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char *>(&ms), sizeof ms);
    }
    return 0;
}

bool HeaderIs(const std::string &line, const char *name, std::string *value) {
    size_t length = strlen(name);
    if (line.size() <= length || line[length] != ':' || _strnicmp(line.c_str(), name, length) != 0) return false;
    size_t start = line.find_first_not_of(" \t", length + 1);
    *value = start == std::string::npos ? "" : line.substr(start);
    while (!value->empty() && (value->back() == ' ' || value->back() == '\t')) value->pop_back();
    return true;
}

int ReceiveFailure(const Connection &connection) {
    return connection.error == 28 ? Complain(28, "Operation timed out")
                                  : Complain(56, "Failure when receiving data from the peer");
}

// The body after the headers: by its length, in chunks or up to the close.
// The end of the stream before the length or the last chunk is code 18.
int ReceiveBody(Connection *connection, long long length, bool chunked, Sink *sink, const Clock &clock) {
    long long left = chunked ? 0 : length;   // bytes of the current chunk or of the length
    for (;;) {
        if (chunked && left == 0) {
            std::string line;
            if (!connection->ReadLine(&line)) break;
            if (line.empty()) {
                if (!connection->ReadLine(&line)) break;   // the CR LF that closes a chunk
            }
            char *end = nullptr;
            left = strtoll(line.c_str(), &end, 16);
            if (end == line.c_str() || left < 0 || (*end && *end != ';' && *end != ' '))
                return Complain(56, "Illegal or missing hexadecimal sequence in chunked-encoding");
            if (left == 0) return 0;   // the last chunk: trailers, if any, are not kept
        }
        if (!chunked && length >= 0 && left == 0) return 0;
        if (!connection->Fill()) break;
        size_t take = connection->length - connection->pos;
        if ((chunked || length >= 0) && static_cast<long long>(take) > left) take = static_cast<size_t>(left);
        if (!sink->Write(connection->buffer + connection->pos, take))
            return Complain(23, "Failure writing output to destination");
        connection->pos += take;
        left -= static_cast<long long>(take);
        if (clock.TimedOut()) return Complain(28, "Operation timed out");
    }
    if (connection->error) return ReceiveFailure(*connection);
    if (chunked) return Complain(18, "transfer closed with outstanding read data remaining");
    if (length >= 0) return Complain(18, "transfer closed with " + std::to_string(left) + " bytes remaining to read");
    return 0;   // the close ends a body of no stated length
}

// A Location against the address it came from.
std::string Resolve(const PlainUrl &from, const std::string &location) {
    if (StartsWithNoCase(location, "http://") || StartsWithNoCase(location, "https://")) return location;
    std::string base = "http://" + from.host + ":" + from.port;
    if (!location.empty() && location[0] == '/') return base + location;
    std::string directory = from.path.substr(0, from.path.find('?'));
    return base + directory.substr(0, directory.rfind('/') + 1) + location;
}

// The answer's status line and the headers that matter here.
struct Answer {
    int status = 0;
    long long length = -1;   // Content-Length, -1 none
    bool chunked = false;
    std::string location;
};

// Sends the request and reads the answer up to its body; 0 or the curl code.
int Ask(const PlainUrl &url, Connection *connection, Answer *answer) {
    std::string request = "GET " + url.path + " HTTP/1.1\r\nHost: " + url.host +
                          (url.port == "80" ? "" : ":" + url.port) +
                          "\r\nUser-Agent: curl\r\nAccept: */*\r\nConnection: close\r\n\r\n";
    if (send(connection->socket, request.data(), static_cast<int>(request.size()), 0) !=
        static_cast<int>(request.size()))
        return Complain(55, "Failed sending data to the peer");
    std::string line, value;
    do {   // an interim 1xx answer is followed by the real one
        if (!connection->ReadLine(&line) || sscanf(line.c_str(), "HTTP/%*d.%*d %d", &answer->status) != 1) {
            if (connection->error) return ReceiveFailure(*connection);
            return Complain(52, "Empty reply from server");
        }
        for (;;) {
            if (!connection->ReadLine(&line)) return ReceiveFailure(*connection);
            if (line.empty()) break;
            if (HeaderIs(line, "Content-Length", &value)) answer->length = _atoi64(value.c_str());
            else if (HeaderIs(line, "Transfer-Encoding", &value))
                answer->chunked = _stricmp(value.c_str(), "chunked") == 0;
            else if (HeaderIs(line, "Location", &value)) answer->location = value;
        }
    } while (answer->status >= 100 && answer->status < 200);
    return 0;
}

bool IsRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

// Plain http is spoken here rather than through WinINet, which hides the chunk
// framing: a chunked body cut before its last chunk would pass for a whole file.
int FetchPlainHttp(Options o) {
    const Clock clock{o.maxTime};
    for (int redirects = 0;; ++redirects) {
        PlainUrl url;
        if (!ParsePlainUrl(o.url, &url)) return Complain(3, "URL using bad/illegal format or missing URL");
        Connection connection;
        if (int code = Connect(o, url, &connection)) return code;
        Answer answer;
        if (int code = Ask(url, &connection, &answer)) return code;
        if (o.location && !answer.location.empty() && IsRedirect(answer.status)) {
            if (redirects >= 50) return Complain(47, "Maximum (50) redirects followed");
            o.url = Resolve(url, answer.location);
            if (StartsWithNoCase(o.url, "https://")) return FetchHttp(o, true);
            continue;
        }
        if (o.fail && answer.status >= 400)
            return Complain(22, "The requested URL returned error: " + std::to_string(answer.status));
        Sink sink(o.output);
        if (!sink.Open()) return Complain(23, "Failure writing output to destination");
        int code = ReceiveBody(&connection, answer.chunked ? -1 : answer.length, answer.chunked, &sink, clock);
        if (!sink.Close() && code == 0) return Complain(23, "Failure writing output to destination");
        return code;
    }
}

struct Transfer {
    const Options *options;
    int code;
};

DWORD WINAPI RunTransfer(void *param) {
    Transfer *t = static_cast<Transfer *>(param);
    const Options &o = *t->options;
    if (StartsWithNoCase(o.url, "file://")) t->code = FetchFile(o);
    else if (StartsWithNoCase(o.url, "http://")) t->code = FetchPlainHttp(o);
    else if (StartsWithNoCase(o.url, "https://")) t->code = FetchHttp(o, true);
    else t->code = Complain(1, "Protocol not supported: " + o.url);
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    Options o;
    if (int code = ParseOptions(argc, argv, &o)) return code;
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) return Complain(2, "cannot start Winsock");
    // The transfer runs on its own thread so that --max-time holds even while a
    // read is blocked on a stalled server.
    Transfer transfer{&o, 0};
    ScopedKernelHandle thread(CreateThread(nullptr, 0, RunTransfer, &transfer, 0, nullptr));
    if (!thread) return Complain(2, "cannot start the transfer");
    DWORD limit = o.maxTime > 0 ? static_cast<DWORD>(o.maxTime * 1000) : INFINITE;
    if (WaitForSingleObject(thread.Get(), limit) == WAIT_TIMEOUT) {
        Complain(28, "Operation timed out after " + std::to_string(o.maxTime) + " seconds");
        fflush(nullptr);
        ExitProcess(28);
    }
    return transfer.code;
}
