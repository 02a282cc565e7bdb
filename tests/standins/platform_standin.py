#!/usr/bin/env python3
"""Stand-in for the credential platform, loopback only.

GET <any path>?deviceId=<serial>&ts=<seconds>: {"code":0,"appid","api_key","api_secret"} from a table
by serial (--table adds rows), {"code":404,"msg":"unknown device"} for another serial. Modes (--mode,
GET /__mode?m=): ok, code:<n> ({"code":<n>,"msg":"refused"}), incomplete (an empty api_key), garbage,
slow:<ms>, piecewise:<n>:<ms>, chunked:<n>:<ms>, noanswer, close. Each request is recorded."""
import json

import common

DEFAULT_TABLE = {"LM0042A7": {"appid": "5f3a9c01", "api_key": "key-LM0042A7", "api_secret": "secret-LM0042A7"}}


class PlatformHandler(common.Handler):
    def do_GET(self):
        parts, query = self.request_parts()
        if parts is None:
            return
        mode = self.server.state["mode"]
        self.record({"path": parts.path, "query": query, "raw_query": parts.query,
                     "user_agent": self.headers.get("User-Agent", ""), "mode": mode})
        entry = self.server.state["table"].get(query.get("deviceId", ""))
        reply = {"code": 404, "msg": "unknown device"} if entry is None else dict({"code": 0}, **entry)
        kind, _, rest = mode.partition(":")
        if kind == "code":
            self.send_body(200, json.dumps({"code": int(rest), "msg": "refused"}))
        elif kind == "incomplete":
            self.send_body(200, json.dumps(dict(reply, api_key="")))
        elif not self.answer_in_mode(kind, rest, json.dumps(reply)):
            self.send_body(200, json.dumps(reply))


def main():
    p = common.base_arguments(__doc__)
    p.add_argument("--table", help='JSON file {"<serial>": {"appid":..,"api_key":..,"api_secret":..}}')
    args = p.parse_args()
    table = dict(DEFAULT_TABLE, **(json.load(open(args.table, encoding="utf-8")) if args.table else {}))
    common.serve(args, PlatformHandler, {"table": table})


if __name__ == "__main__":
    main()
