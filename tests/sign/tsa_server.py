#!/usr/bin/env python3
"""A test RFC 3161 timestamp authority: `openssl ts -reply` behind HTTP.

tsa_server.py CA_DIR MODE: serves on 127.0.0.1 at a free port, which it
prints on its first line. MODE: ok (a real token), slow (answers after
30 s), garbage (bytes that are no timestamp reply).
"""
import http.server
import os
import subprocess
import sys
import tempfile
import time

CA_DIR, MODE = sys.argv[1], sys.argv[2]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        if MODE == "slow":
            time.sleep(30)
        if MODE == "garbage":
            answer = b"<html>this is no timestamp</html>"
        else:
            with tempfile.TemporaryDirectory() as work:
                with open(os.path.join(work, "q.tsq"), "wb") as f:
                    f.write(query)
                subprocess.run(["openssl", "ts", "-reply", "-config", os.path.join(CA_DIR, "tsa.cnf"),
                                "-queryfile", os.path.join(work, "q.tsq"), "-out", os.path.join(work, "r.tsr")],
                               check=True, capture_output=True)
                with open(os.path.join(work, "r.tsr"), "rb") as f:
                    answer = f.read()
        try:
            self.send_response(200)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(answer)))
            self.end_headers()
            self.wfile.write(answer)
        except OSError:
            pass  # the client gave up waiting

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
