#!/usr/bin/env python3
"""A loopback HTTP server for the tests: serves files from a folder and a few
fixed answers (redirects, error statuses, cut-short, chunked and stalled
bodies). It
writes the port it got to a file and ends by itself after its lifetime."""

import argparse
import http.server
import os
import threading
import time


class Handler(http.server.BaseHTTPRequestHandler):
    root = "."

    def log_message(self, *args):
        pass

    def send_body(self, code, body, content_type="text/plain"):
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        parts = self.path.split("?")[0].strip("/").split("/")
        kind, rest = parts[0], "/".join(parts[1:])
        if kind == "files":
            path = os.path.join(self.root, os.path.basename(rest))
            if not os.path.isfile(path):
                return self.send_body(404, b"not found\n")
            with open(path, "rb") as f:
                data = f.read()
            return self.send_body(200, data, "application/octet-stream")
        if kind == "redirect":
            self.send_response(302)
            self.send_header("Location", "/files/" + rest)
            self.send_header("Content-Length", "9")
            self.end_headers()
            return self.wfile.write(b"moved on\n")
        if kind == "status":
            return self.send_body(int(rest), b"status body\n")
        if kind == "short":
            self.send_response(200)
            self.send_header("Content-Length", "100000")
            self.end_headers()
            self.wfile.write(b"x" * 1000)
            self.wfile.flush()
            self.close_connection = True
            return
        if kind == "chunked":
            # "whole" ends with the last (empty) chunk; "cut" closes the connection
            # between chunks without it, "inside" in the middle of a chunk.
            self.protocol_version = "HTTP/1.1"
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.send_header("Connection", "close")
            self.end_headers()
            for i in range(3):
                self.wfile.write(b"%x\r\n%s\r\n" % (1000, b"abcdefghij" * 100))
            if rest == "whole":
                self.wfile.write(b"0\r\n\r\n")
            elif rest == "inside":
                self.wfile.write(b"%x\r\n%s" % (1000, b"k" * 400))
            self.wfile.flush()
            self.close_connection = True
            return
        if kind == "slow":
            self.send_response(200)
            self.send_header("Content-Length", "100000")
            self.end_headers()
            self.wfile.write(b"x" * 10)
            self.wfile.flush()
            time.sleep(20)
            return
        self.send_body(404, b"unknown\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--lifetime", type=float, default=1800)
    args = parser.parse_args()
    Handler.root = args.root
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    with open(args.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(args.port_file + ".tmp", args.port_file)
    threading.Timer(args.lifetime, server.shutdown).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
