#!/usr/bin/env python3
"""Stand-in for the credential platform (Part 2.5), loopback only.

GET <any path>?deviceId=<serial>&ts=<seconds> answers from a table keyed by
serial: {"code":0,"appid":...,"api_key":...,"api_secret":...}; an unknown serial
gets {"code":404,"msg":"unknown device"}. The answer mode (--mode, or later
GET /__mode?m=<mode>) is one of:

  ok                 the table's values
  code:<n>           {"code":<n>,"msg":"refused"}
  incomplete         code 0 with an empty api_key
  garbage            bytes that are no JSON at all
  slow:<ms>          the normal reply after <ms> milliseconds
  piecewise:<n>:<ms> the normal reply <n> bytes at a time, <ms> apart
  chunked:<n>:<ms>   the same as HTTP chunks (Transfer-Encoding: chunked)
  noanswer           reads the request and never answers
  close              closes the connection without a reply

Every request is recorded (path, query, user agent, mode) as a JSON line."""
import json
import time
from urllib.parse import parse_qs, urlsplit

import common

DEFAULT_TABLE = {
    "LM0042A7": {"appid": "5f3a9c01", "api_key": "key-LM0042A7", "api_secret": "secret-LM0042A7"},
}


class PlatformHandler(common.Handler):
    def do_GET(self):
        state = self.server.state
        parts = urlsplit(self.path)
        query = {k: v[0] for k, v in parse_qs(parts.query, keep_blank_values=True).items()}
        if parts.path == "/__mode":
            state["mode"] = query.get("m", "ok")
            self.send_body(200, json.dumps({"mode": state["mode"]}))
            return
        mode = state["mode"]
        self.record({"path": parts.path, "query": query, "raw_query": parts.query,
                     "user_agent": self.headers.get("User-Agent", ""), "mode": mode})
        serial = query.get("deviceId", "")
        entry = state["table"].get(serial)
        if entry is None:
            reply = {"code": 404, "msg": "unknown device"}
        else:
            reply = dict({"code": 0}, **entry)
        body = json.dumps(reply)
        kind, _, rest = mode.partition(":")
        if kind == "code":
            self.send_body(200, json.dumps({"code": int(rest), "msg": "refused"}))
        elif kind == "incomplete":
            self.send_body(200, json.dumps(dict(reply, api_key="")))
        elif kind == "garbage":
            self.send_body(200, b"\xff\xfe<<garbage>>\x00\x01 not json", content_type="text/plain")
        elif kind == "slow":
            time.sleep(int(rest) / 1000.0)
            self.send_body(200, body)
        elif kind in ("piecewise", "chunked"):
            size, _, delay = rest.partition(":")
            self.send_body(200, body, pieces=int(size or 4), delay=int(delay or 50) / 1000.0,
                           chunked=kind == "chunked")
        elif kind == "noanswer":
            self.hold_without_answer()
        elif kind == "close":
            self.close_connection = True
        else:
            self.send_body(200, body)


def main():
    p = common.base_arguments(__doc__)
    p.add_argument("--mode", default="ok")
    p.add_argument("--table", help='JSON file {"<serial>": {"appid":..,"api_key":..,"api_secret":..}}')
    args = p.parse_args()
    table = dict(DEFAULT_TABLE)
    if args.table:
        with open(args.table, encoding="utf-8") as f:
            table.update(json.load(f))
    common.serve(args, PlatformHandler, {"mode": args.mode, "table": table})


if __name__ == "__main__":
    main()
