#!/usr/bin/env python3
"""A Debian mirror caught mid-sync, on purpose, for trying scripts/install-deps.

    mirror_midsync.py --port 8089 --upstream http://deb.debian.org --cut binary-i386/Packages

passes every GET on to the upstream mirror unchanged, except that files whose
path contains a --cut text arrive shorter than the Release file promises, so
apt reports "File has unexpected size ... Mirror sync in progress?" for that
index alone, as a real mirror does while it syncs. Used by
tools/check_mirror_midsync.sh; it serves loopback only and stops with the
process that started it.
"""
import argparse
import http.server
import urllib.request


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--upstream", required=True)
    parser.add_argument("--cut", action="append", default=[])
    args = parser.parse_args()

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            try:
                with urllib.request.urlopen(args.upstream + self.path, timeout=60) as reply:
                    body = reply.read()
                    status = reply.status
            except urllib.error.HTTPError as error:
                body, status = b"", error.code
            if any(cut in self.path for cut in args.cut):
                body = body[: len(body) // 2]
            self.send_response(status)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *_):
            pass

    http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler).serve_forever()


if __name__ == "__main__":
    main()
