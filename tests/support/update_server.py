#!/usr/bin/python3
"""A small update service for the tests.

Listens on 127.0.0.1 on a port of the system's choosing (written to --port-file once it
listens), over TLS when --cert and --key are given. Every request is appended to --log as
one JSON line: method, path, the headers in the order received, the body in hex. The
answer comes from --answers, a JSON object read at every request: the request's app_key
(or "*") maps to {"status": 200, "body": "...", "repeat": 1, "location": "..."}.
"""
import argparse
import json
import os
import ssl
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

LOG_LOCK = threading.Lock()


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--answers", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    return parser.parse_args()


ARGS = parse_args()


def app_key(body):
    text = body.split(b"\0", 1)[0].decode("utf-8", "replace")
    for field in text.split("&"):
        name, _, value = field.partition("=")
        if name == "app_key":
            return value
    return ""


def answer_for(key):
    try:
        with open(ARGS.answers, encoding="utf-8") as file:
            answers = json.load(file)
    except (OSError, ValueError):
        answers = {}
    return answers.get(key) or answers.get("*") or {"status": 404, "body": "no answer for this key"}


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def handle_any(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        record = {
            "method": self.command,
            "path": self.path,
            "headers": [[name, value] for name, value in self.headers.items()],
            "body": body.hex(),
        }
        with LOG_LOCK, open(ARGS.log, "a", encoding="utf-8") as log:
            log.write(json.dumps(record) + "\n")
        answer = answer_for(app_key(body))
        payload = answer.get("body", "").encode("utf-8") * int(answer.get("repeat", 1))
        self.send_response(int(answer.get("status", 200)))
        if "location" in answer:
            self.send_header("Location", answer["location"])
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(payload)))
        self.end_headers()
        self.wfile.write(payload)

    do_GET = handle_any
    do_POST = handle_any


def main():
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.handle_error = lambda request, address: None  # a refused handshake is expected
    if ARGS.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(ARGS.cert, ARGS.key)
        # The handshake runs in the request's thread, so a client that gives up on the
        # certificate does not hold up the others.
        server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
    temporary = ARGS.port_file + ".tmp"
    with open(temporary, "w", encoding="utf-8") as file:
        file.write(str(server.server_address[1]))
    os.replace(temporary, ARGS.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
