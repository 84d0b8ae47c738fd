// curl.exe for machines without one: takes the command lines the two programs
// build ("--fail --cacert F [--location] --url U --output F --connect-timeout N
// --max-time N", in any order) and fetches http, https (WinINet) and file:
// addresses. Exit codes follow curl's: 0 the whole file was stored, 2 bad
// command line, 3 malformed address, 6 host not found, 7 connection refused,
// 18 cut-short transfer, 22 HTTP error with --fail (no output file), 23 write
// error, 28 time-out, 37 file not readable, 56 receive error, 60 certificate
// problem, 77 CA bundle missing.
#include <windows.h>
#include <wininet.h>

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

struct Transfer {
    const Options *options;
    int code;
};

DWORD WINAPI RunTransfer(void *param) {
    Transfer *t = static_cast<Transfer *>(param);
    const Options &o = *t->options;
    if (StartsWithNoCase(o.url, "file://")) t->code = FetchFile(o);
    else if (StartsWithNoCase(o.url, "http://")) t->code = FetchHttp(o, false);
    else if (StartsWithNoCase(o.url, "https://")) t->code = FetchHttp(o, true);
    else t->code = Complain(1, "Protocol not supported: " + o.url);
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    Options o;
    if (int code = ParseOptions(argc, argv, &o)) return code;
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
