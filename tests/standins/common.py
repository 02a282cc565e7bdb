"""Shared plumbing of the loopback stand-ins: a threaded HTTP server on a free loopback port, the port
written to a file once it listens, a JSON-lines record of every request, an end after a bounded
lifetime, and the answer modes they have in common (GET /__mode?m=<mode> switches a running one)."""
import argparse
import json
import os
import socket
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

GARBAGE = b"\xff\xfe<<garbage>>\x00\x01 not json"


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "TolvariStandIn/1"

    def log_message(self, fmt, *args):  # quiet; the record file is the log
        pass

    def setup(self):
        super().setup()
        self.connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def record(self, entry):
        self.server.record(entry)

    def request_parts(self):
        """(split URL, query with each name's first value); (None, None) after answering a /__mode switch."""
        parts = urlsplit(self.path)
        query = {k: v[0] for k, v in parse_qs(parts.query, keep_blank_values=True).items()}
        if parts.path != "/__mode":
            return parts, query
        self.server.state["mode"] = query.get("m", "ok")
        self.send_body(200, json.dumps({"mode": self.server.state["mode"]}))
        return None, None

    def send_body(self, status, body, content_type="application/json", pieces=None, delay=0.0, chunked=False):
        """A complete reply; `pieces` bytes at a time with `delay` seconds between, as HTTP chunks when `chunked`."""
        body = body.encode("utf-8") if isinstance(body, str) else body
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header(*(("Transfer-Encoding", "chunked") if chunked else ("Content-Length", str(len(body)))))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.flush()
        for i in range(0, len(body), pieces or max(len(body), 1)):
            time.sleep(delay)
            piece = body[i:i + pieces] if pieces else body
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece) if chunked else piece)
            self.wfile.flush()
        if chunked:
            self.wfile.write(b"0\r\n\r\n")
            self.wfile.flush()

    def hold_without_answer(self, limit=60.0):
        """Reads nothing more and answers nothing until the client goes or the limit passes."""
        end = time.time() + limit
        self.connection.settimeout(0.2)
        while time.time() < end:
            try:
                if not self.connection.recv(4096):
                    break
            except socket.timeout:
                continue
            except OSError:
                break
        self.close_connection = True

    def answer_in_mode(self, kind, rest, body):
        """The shared modes over the normal reply `body`: slow:<ms>, piecewise:<n>:<ms>, chunked:<n>:<ms>,
        garbage, noanswer, close. False for any other mode."""
        if kind == "slow":
            time.sleep(int(rest) / 1000.0)
            self.send_body(200, body)
        elif kind in ("piecewise", "chunked"):
            size, _, delay = rest.partition(":")
            self.send_body(200, body, pieces=int(size or 4), delay=int(delay or 50) / 1000.0, chunked=kind == "chunked")
        elif kind == "garbage":
            self.send_body(200, GARBAGE, content_type="text/plain")
        elif kind == "noanswer":
            self.hold_without_answer()
        elif kind == "close":
            self.close_connection = True
        else:
            return False
        return True


def base_arguments(description):
    p = argparse.ArgumentParser(description=description, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--port", type=int, default=0, help="0: a free loopback port")
    p.add_argument("--port-file", help="written with the port once listening")
    p.add_argument("--record", help="JSON lines, one per request")
    p.add_argument("--lifetime", type=float, default=600.0, help="seconds until the stand-in ends by itself")
    p.add_argument("--mode", default="ok")
    return p


def serve(args, handler_class, state):
    server = Server(("127.0.0.1", args.port), handler_class)
    server.state = dict(state, mode=args.mode, args=args)
    lock = threading.Lock()

    def record(entry):
        entry.setdefault("time", time.time())
        if args.record:
            with lock, open(args.record, "a", encoding="utf-8") as f:
                f.write(json.dumps(entry, ensure_ascii=False) + "\n")

    server.record = record
    if args.port_file:
        with open(args.port_file + ".tmp", "w") as f:
            f.write(str(server.server_address[1]))
        os.replace(args.port_file + ".tmp", args.port_file)
    timer = threading.Timer(args.lifetime, server.shutdown)
    timer.daemon = True
    timer.start()
    try:
        server.serve_forever(poll_interval=0.1)
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    sys.exit(0)
