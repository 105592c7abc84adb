#!/usr/bin/env python3
"""Local stand-in for the product's web service, over HTTPS.

Answers GET /v1/getDownloadInfo and POST /v1/report with the service's reply
envelope ({"error", "msg", "data"}) and serves the files that "fileurl"
points to, so that the assistant's whole install flow can run on one machine.

Tests steer it through a control endpoint on the same server:
  POST /control/behaviour   JSON object merged over the default behaviour
  POST /control/reset       default behaviour, no recorded requests
  GET  /control/requests    every recorded request (path, query, headers, body)
Files: /files/<name> from the files folder; /blob/<size> and /fill/<size>
made up on the spot (/fill quickly, for sizes of hundreds of megabytes).
Control requests are not recorded.

Behaviour members (defaults in DEFAULT_BEHAVIOUR):
  info        "ok" | "error1" | "nomsg" | "status500" | "notjson" | "array"
  fail_first  the first N getDownloadInfo replies are "error" 1 envelopes
  filename    the "filename" member handed out
  fileurl     the "fileurl" member (default: https://<host>/files/<filename>)
  report      "ok" | "down" (status 503, the event is not accepted)
  file        "ok" | "nolength" | "slow" | "missing"
              | "cut" (promises the whole length, sends half, closes)
  slow_seconds  how long a "slow" file takes, in 20 parts (2)
  auth        "" | "basic": every request then needs Basic user:secret
              | "proxy": every request is answered 407 asking for proxy Basic
  fault       faults of the service's own replies (see fault_reply):
              "" | "reset" (half the reply, then a TCP reset)
              | "big" (a valid reply padded to 10 MB) | "drip" (one byte every
              drip_ms milliseconds, padded to drip_bytes when given)
              | "redirect" (file requests are sent to the same file on
              redirect_host)
  fault_paths the paths that "fault" applies to (default: every service path)
  check       "" | "served": "data" also carries "size" and "sha256" of the
              file that "filename" names, as the service would
  data_extra  object merged into "data" last (e.g. a wrong "size")
  html_page   true: files are answered 200 with an HTML error page
  resume      true: files carry a strong ETag, Last-Modified and
              Accept-Ranges, and a Range request (with If-Range) is
              answered 206 with the rest
  etag        the ETag given out (default: from the content), to stand
              for a file that changed on the server
  range_reply "" | "wrong_start" (206 starting one byte late)
              | "whole" (ranges ignored, always 200 with everything)
Every recorded request carries the address it came from ("client"), so that
tests can tell a request through a proxy from one straight from the client.
With --untrusted-bind a second listener with a certificate that no trusted
authority signed serves the same behaviour (for certificate failures).
"""

import argparse
import base64
import copy
import functools
import hashlib
import http.server
import json
import os
import signal
import socket
import socketserver
import ssl
import struct
import sys
import threading
import time
import urllib.parse

DEFAULT_BEHAVIOUR = {
    "info": "ok",
    "fail_first": 0,
    "filename": "sample_installer.exe",
    "fileurl": "",
    "report": "ok",
    "file": "ok",
    "auth": "",
    "slow_seconds": 2,
    "fault": "",
    "fault_paths": [],
    "drip_ms": 100,
    "drip_bytes": 0,
    "redirect_host": "127.0.0.1",
    "check": "",
    "data_extra": {},
    "html_page": False,
    "resume": False,
    "etag": "",
    "range_reply": "",
}
HTML_ERROR_PAGE = (b"<html><head><title>502 Bad Gateway</title></head>"
                   b"<body><h1>Bad Gateway</h1><p>The upstream server is busy.</p></body></html>")
LAST_MODIFIED = "Tue, 01 Dec 2026 10:00:00 GMT"
BASIC_USER = "user"
BASIC_PASSWORD = "secret"


class State:
    def __init__(self, files_dir):
        self.lock = threading.Lock()
        self.files_dir = files_dir
        self.reset()

    def reset(self):
        with self.lock:
            self.behaviour = copy.deepcopy(DEFAULT_BEHAVIOUR)
            self.requests = []
            self.info_replies = 0


@functools.lru_cache(maxsize=2)
def blob_bytes(size):
    """Deterministic content for /blob/<size>, so tests can check what arrived.

    Kept for the next request: making 200 MB takes Python seconds, which a
    benchmark of the download would otherwise measure."""
    digest = hashlib.sha256
    count = (size + 31) // 32
    return b"".join(digest(b"%d" % counter).digest() for counter in range(count))[:size]


@functools.lru_cache(maxsize=2)
def fill_bytes(size):
    """Content for /fill/<size>: the byte values 0 to 255 over and over,
    made at once even for a file of hundreds of megabytes (benchmarks)."""
    return (bytes(range(256)) * (size // 256 + 1))[:size]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "StandIn/1.0"

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("%s\n" % (fmt % args))

    # --- helpers -------------------------------------------------------
    def read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def send_bytes(self, status, body, content_type="application/json", length=True,
                   extra=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        for name, value in (extra or []):
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        else:
            # Without a length the end of the body is the end of the connection.
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        self.wfile.write(body)

    def send_json(self, status, value):
        self.send_bytes(status, json.dumps(value, ensure_ascii=False).encode("utf-8"))

    def record(self, body):
        parts = urllib.parse.urlsplit(self.path)
        entry = {
            "method": self.command,
            "path": parts.path,
            "query": parts.query,
            "target": self.path,
            "headers": [[k, v] for k, v in self.headers.items()],
            "body": body.decode("utf-8", "replace"),
            "time": time.time(),
            "client": self.client_address[0],
        }
        with self.server.state.lock:
            self.server.state.requests.append(entry)

    def behaviour(self):
        with self.server.state.lock:
            return dict(self.server.state.behaviour)

    def authorised(self, behaviour):
        if behaviour.get("auth") == "proxy":
            self.send_bytes(407, b"{}", extra=[("Proxy-Authenticate", 'Basic realm="standin"')])
            return False
        if behaviour.get("auth") != "basic":
            return True
        expected = "Basic " + base64.b64encode(
            ("%s:%s" % (BASIC_USER, BASIC_PASSWORD)).encode()).decode()
        if self.headers.get("Authorization") == expected:
            return True
        self.send_bytes(401, b"{}", extra=[("WWW-Authenticate", 'Basic realm="standin"')])
        return False

    # --- verbs ---------------------------------------------------------
    def do_GET(self):
        self.dispatch(b"")

    def do_POST(self):
        self.dispatch(self.read_body())

    def dispatch(self, body):
        path = urllib.parse.urlsplit(self.path).path
        if path.startswith("/control/"):
            return self.control(path, body)
        self.record(body)
        behaviour = self.behaviour()
        if not self.authorised(behaviour):
            return
        if self.fault_reply(behaviour, path):
            return
        if path == "/v1/getDownloadInfo" and self.command == "GET":
            return self.download_info(behaviour)
        if path == "/v1/report" and self.command == "POST":
            return self.report(behaviour, body)
        if path.startswith("/files/") and self.command == "GET":
            return self.file(behaviour, urllib.parse.unquote(path[len("/files/"):]))
        if path.startswith("/blob/") and self.command == "GET":
            return self.blob(behaviour, path[len("/blob/"):])
        if path.startswith("/fill/") and self.command == "GET":
            return self.blob(behaviour, path[len("/fill/"):], fill_bytes)
        if path == "/empty":
            return self.send_bytes(200, b"", content_type="text/plain")
        if path.startswith("/status/"):
            code = int(path[len("/status/"):] or 500)
            return self.send_bytes(code, b"status body", content_type="text/plain")
        self.send_bytes(404, b"not found", content_type="text/plain")

    # --- faults -------------------------------------------------------
    def fault_reply(self, behaviour, path):
        """Answers with the behaviour's "fault" instead of the normal reply;
        False when the request gets its normal reply."""
        fault = behaviour.get("fault") or ""
        paths = behaviour.get("fault_paths") or []
        if not fault or (paths and path not in paths):
            return False
        if fault == "redirect":
            other = behaviour.get("redirect_host") or "127.0.0.1"
            here = (self.headers.get("Host") or "").split(":")[0]
            if not path.startswith("/files/") or here == other:
                return False
            location = "https://%s%s" % (other, self.path)
            self.send_bytes(302, b"", content_type="text/plain", extra=[("Location", location)])
            return True
        body = self.normal_reply_body(behaviour, path)
        if fault == "big":
            body = self.padded(body, 10 * 1024 * 1024)
        if fault == "drip" and behaviour.get("drip_bytes"):
            body = self.padded(body, int(behaviour["drip_bytes"]))
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if fault == "reset":
            self.wfile.write(body[:len(body) // 2])
            self.wfile.flush()
            self.reset_connection()
        elif fault == "drip":
            pause = float(behaviour.get("drip_ms") or 100) / 1000
            for i in range(len(body)):
                self.wfile.write(body[i:i + 1])
                self.wfile.flush()
                time.sleep(pause)
        else:
            self.wfile.write(body)
        return True

    def normal_reply_body(self, behaviour, path):
        if path == "/v1/getDownloadInfo":
            filename = behaviour["filename"]
            fileurl = behaviour["fileurl"] or "https://%s/files/%s" % (
                self.server.public_host, urllib.parse.quote(filename))
            data = {"filename": filename, "fileurl": fileurl}
            return json.dumps({"error": 0, "msg": "", "data": data}).encode("utf-8")
        if path.startswith("/files/"):
            name = os.path.basename(urllib.parse.unquote(path[len("/files/"):]))
            with open(os.path.join(self.server.state.files_dir, name), "rb") as f:
                return f.read()
        return json.dumps({"error": 0, "msg": "", "data": {}}).encode("utf-8")

    @staticmethod
    def padded(body, size):
        """The same JSON object with a "padding" member that makes it `size` bytes."""
        try:
            value = json.loads(body.decode("utf-8"))
        except ValueError:
            return body + b" " * max(0, size - len(body))
        value["padding"] = ""
        plain = json.dumps(value).encode("utf-8")
        value["padding"] = "p" * max(0, size - len(plain))
        return json.dumps(value).encode("utf-8")

    def reset_connection(self):
        """Closes with a TCP reset instead of an orderly end."""
        raw = self.connection
        try:
            raw.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        except OSError:
            pass
        # Closed at once, without the TLS close-notify or an orderly FIN
        # that the server's own shutdown would send first.
        raw.close()
        self.close_connection = True

    def control(self, path, body):
        state = self.server.state
        if path == "/control/reset":
            state.reset()
            return self.send_json(200, {"ok": True})
        if path == "/control/behaviour":
            try:
                update = json.loads(body.decode("utf-8") or "{}")
            except ValueError:
                return self.send_json(400, {"ok": False})
            with state.lock:
                state.behaviour.update(update)
                state.info_replies = 0
            return self.send_json(200, {"ok": True})
        if path == "/control/requests":
            with state.lock:
                requests = list(state.requests)
            return self.send_json(200, requests)
        self.send_json(404, {"ok": False})

    def download_info(self, behaviour):
        with self.server.state.lock:
            self.server.state.info_replies += 1
            number = self.server.state.info_replies
        filename = behaviour["filename"]
        fileurl = behaviour["fileurl"] or "https://%s/files/%s" % (
            self.server.public_host, urllib.parse.quote(filename))
        data = {"filename": filename, "fileurl": fileurl}
        self.add_file_check(behaviour, data)
        mode = behaviour["info"]
        if number <= int(behaviour.get("fail_first") or 0):
            mode = "error1"
        if mode == "error1":
            return self.send_json(200, {"error": 1, "msg": "version not found", "data": {}})
        if mode == "nomsg":
            return self.send_json(200, {"error": 0, "data": data})
        if mode == "status500":
            return self.send_json(500, {"error": 0, "msg": "", "data": data})
        if mode == "notjson":
            return self.send_bytes(200, b"<html>gateway</html>", content_type="text/html")
        if mode == "array":
            return self.send_json(200, [{"error": 0, "msg": "", "data": data}])
        self.send_json(200, {"error": 0, "msg": "", "data": data})

    def report(self, behaviour, body):
        if behaviour["report"] == "down":
            return self.send_json(503, {"error": 1, "msg": "unavailable", "data": {}})
        self.send_json(200, {"error": 0, "msg": "", "data": {}})

    def file(self, behaviour, name):
        mode = behaviour["file"]
        full = os.path.join(self.server.state.files_dir, os.path.basename(name))
        if mode == "missing" or "/" in name or not os.path.isfile(full):
            return self.send_bytes(404, b"not found", content_type="text/plain")
        with open(full, "rb") as f:
            content = f.read()
        self.send_content(mode, content, behaviour)

    def blob(self, behaviour, size_text, make=None):
        try:
            size = int(size_text)
        except ValueError:
            return self.send_bytes(404, b"not found", content_type="text/plain")
        self.send_content(behaviour["file"], (make or blob_bytes)(size), behaviour)

    # --- verified and resumable files ------------------------------------
    def add_file_check(self, behaviour, data):
        """The optional "size" and "sha256" beside "filename" and "fileurl"."""
        if behaviour.get("check") == "served":
            full = os.path.join(self.server.state.files_dir,
                                os.path.basename(behaviour["filename"]))
            if os.path.isfile(full):
                with open(full, "rb") as f:
                    content = f.read()
                data["size"] = len(content)
                data["sha256"] = hashlib.sha256(content).hexdigest()
        data.update(behaviour.get("data_extra") or {})

    def ranged(self, behaviour, content):
        """Status, body and extra headers of a file answer, honouring Range
        and If-Range when "resume" is on; (200, content, []) otherwise."""
        if behaviour.get("html_page"):
            return 200, HTML_ERROR_PAGE, [], "text/html"
        if not behaviour.get("resume"):
            return 200, content, [], None
        tag = behaviour.get("etag") or '"%s"' % hashlib.sha256(content).hexdigest()[:16]
        extra = [("ETag", tag), ("Last-Modified", LAST_MODIFIED), ("Accept-Ranges", "bytes")]
        wanted = self.headers.get("Range") or ""
        if_range = self.headers.get("If-Range")
        if (not wanted.startswith("bytes=") or behaviour.get("range_reply") == "whole"
                or (if_range is not None and if_range not in (tag, LAST_MODIFIED))):
            return 200, content, extra, None
        try:
            first = int(wanted[len("bytes="):].split("-")[0])
        except ValueError:
            return 200, content, extra, None
        if first >= len(content):
            return 416, b"", extra + [("Content-Range", "bytes */%d" % len(content))], None
        if behaviour.get("range_reply") == "wrong_start":
            first += 1
        extra.append(("Content-Range", "bytes %d-%d/%d" % (first, len(content) - 1, len(content))))
        return 206, content[first:], extra, None

    def send_content(self, mode, content, behaviour):
        kind = "application/octet-stream"
        status, content, ranged_headers, ranged_kind = self.ranged(behaviour, content)
        kind = ranged_kind or kind
        if status != 200 or ranged_headers:
            return self.send_ranged(mode, status, content, kind, ranged_headers)
        if mode == "nolength":
            return self.send_bytes(200, content, content_type=kind, length=False)
        if mode == "cut":
            self.send_response(200)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(content)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(content[:len(content) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        if mode == "slow":
            self.send_response(200)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(content)))
            self.end_headers()
            step = max(1, len(content) // 20)
            for start in range(0, len(content), step):
                self.wfile.write(content[start:start + step])
                self.wfile.flush()
                time.sleep(float(behaviour.get("slow_seconds") or 2) / 20)
            return
        self.send_bytes(200, content, content_type=kind)


    def send_ranged_head(self, status, kind, length, extra):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        for name, value in extra:
            self.send_header(name, value)
        self.send_header("Content-Length", str(length))

    def send_ranged(self, mode, status, content, kind, extra):
        """A resumable answer; "cut" sends half of it and closes."""
        self.send_ranged_head(status, kind, len(content), extra)
        if mode == "cut":
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(content[:len(content) // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.end_headers()
        self.wfile.write(content)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def start_untrusted(args, trusted):
    """The same service behind a certificate that the client must refuse."""
    server = Server((args.untrusted_bind, args.port), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.untrusted_cert, args.untrusted_key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    server.state = trusted.state
    server.public_host = args.untrusted_bind
    server.verbose = trusted.verbose
    threading.Thread(target=server.serve_forever, daemon=True).start()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=443)
    parser.add_argument("--host", default="localhost", help="host name put into file URLs")
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--files", required=True, help="folder of the files served under /files/")
    parser.add_argument("--ready", help="file written once the server listens")
    parser.add_argument("--verbose", action="store_true")
    parser.add_argument("--untrusted-bind", help="address of a second listener whose certificate "
                        "no trusted authority signed (port 443)")
    parser.add_argument("--untrusted-cert")
    parser.add_argument("--untrusted-key")
    args = parser.parse_args()

    server = Server((args.bind, args.port), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(args.cert, args.key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    server.state = State(args.files)
    server.public_host = args.host
    server.verbose = args.verbose
    if args.untrusted_bind:
        start_untrusted(args, server)
    signal.signal(signal.SIGTERM, lambda *_: (server.server_close(), os._exit(0)))
    if args.ready:
        with open(args.ready, "w") as f:
            f.write(str(os.getpid()))
    server.serve_forever()


if __name__ == "__main__":
    main()
