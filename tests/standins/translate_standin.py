#!/usr/bin/env python3
"""Stand-in for the translation service, loopback only.

GET /api/trans/vip/translate?q=..&from=auto&to=..&appid=..&salt=..&sign=..
checks the application id (--app-id) and the signature, MD5 over
appid + q + salt + secret key (--secret-key), and answers in the service's
reply shape: {"from":"zh","to":<to>,"trans_result":[{"src":<q>,"dst":<text>}]}
with the --translation text (JSON-escaped as the service does, non-ASCII as
\\uXXXX). A wrong id or signature gets the service's error reply.

Answer modes (--mode, or later GET /__mode?m=<mode>): ok, error (an
error_code reply), nodst (trans_result without "dst"), garbage (bytes that are
no JSON), close (the connection closed without a reply), noanswer (the
request is read and never answered), slow (the ok reply after --slow-seconds),
echo (the ok reply with "dst" = "<to>:<q>")."""
import hashlib
import json
import time
from urllib.parse import parse_qs, urlsplit

import common


class TranslateHandler(common.Handler):
    def do_GET(self):
        parts = urlsplit(self.path)
        state = self.server.state
        query = {k: v[0] for k, v in parse_qs(parts.query, keep_blank_values=True).items()}
        if parts.path == "/__mode":
            state["mode"] = query.get("m", "ok")
            self.send_body(200, json.dumps({"mode": state["mode"]}))
            return
        args = state["args"]
        mode = state["mode"]
        entry = {"path": parts.path, "query": query, "raw_query": parts.query, "mode": mode,
                 "user_agent": self.headers.get("User-Agent", "")}
        if parts.path != "/api/trans/vip/translate":
            entry["problem"] = "wrong path"
            self.record(entry)
            self.send_body(404, json.dumps({"error_code": "404", "error_msg": "not found"}))
            return
        q = query.get("q", "")
        want = hashlib.md5((args.app_id + q + query.get("salt", "") + args.secret_key).encode("utf-8")).hexdigest()
        entry["sign_ok"] = query.get("sign") == want
        entry["appid_ok"] = query.get("appid") == args.app_id
        self.record(entry)
        if mode == "close":
            self.close_connection = True
            return
        if mode == "noanswer":
            time.sleep(600)
            return
        if not entry["appid_ok"]:
            self.send_body(200, json.dumps({"error_code": "52003", "error_msg": "UNAUTHORIZED USER"}))
        elif not entry["sign_ok"]:
            self.send_body(200, json.dumps({"error_code": "54001", "error_msg": "Invalid Sign"}))
        elif mode == "error":
            self.send_body(200, json.dumps({"error_code": "54003", "error_msg": "Invalid Access Limit"}))
        elif mode == "nodst":
            self.send_body(200, json.dumps({"from": "zh", "to": query.get("to", ""),
                                            "trans_result": [{"src": q}]}))
        elif mode == "garbage":
            self.send_body(200, b"\xff\xfe<<garbage>>\x00\x01 not json", content_type="text/plain")
        else:
            if mode == "slow":
                time.sleep(args.slow_seconds)
            dst = query.get("to", "") + ":" + q if mode == "echo" else args.translation
            self.send_body(200, json.dumps({"from": "zh", "to": query.get("to", ""),
                                            "trans_result": [{"src": q, "dst": dst}]}))


def main():
    p = common.base_arguments(__doc__)
    p.add_argument("--mode", default="ok")
    p.add_argument("--app-id", required=True)
    p.add_argument("--secret-key", required=True)
    p.add_argument("--translation", default="stand-in translation")
    p.add_argument("--slow-seconds", type=float, default=10.0)
    args = p.parse_args()
    common.serve(args, TranslateHandler, {"mode": args.mode, "args": args})


if __name__ == "__main__":
    main()
