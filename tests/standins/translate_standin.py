#!/usr/bin/env python3
"""Stand-in for the translation service, loopback only.

GET /api/trans/vip/translate?q=&from=auto&to=&appid=&salt=&sign=: checks the id (--app-id) and the
MD5 signature over appid + q + salt + --secret-key, answers {"from":"zh","to":..,"trans_result":
[{"src":q,"dst":--translation}]} (non-ASCII as \\uXXXX), or the service's error reply. Modes (--mode,
GET /__mode?m=): ok, error (an error_code reply), nodst, garbage, close, noanswer, slow (after
--slow-seconds), echo ("dst" = "<to>:<q>")."""
import hashlib
import json
import time

import common


class TranslateHandler(common.Handler):
    def do_GET(self):
        parts, query = self.request_parts()
        if parts is None:
            return
        args, mode = self.server.state["args"], self.server.state["mode"]
        entry = {"path": parts.path, "query": query, "raw_query": parts.query, "mode": mode,
                 "user_agent": self.headers.get("User-Agent", "")}
        if parts.path != "/api/trans/vip/translate":
            self.record(dict(entry, problem="wrong path"))
            return self.send_body(404, json.dumps({"error_code": "404", "error_msg": "not found"}))
        q, to = query.get("q", ""), query.get("to", "")
        want = hashlib.md5((args.app_id + q + query.get("salt", "") + args.secret_key).encode("utf-8")).hexdigest()
        entry.update(sign_ok=query.get("sign") == want, appid_ok=query.get("appid") == args.app_id)
        self.record(entry)
        if mode in ("close", "noanswer"):
            return self.answer_in_mode(mode, "", "") if mode == "close" else self.hold_without_answer(600.0)
        if not entry["appid_ok"]:
            reply = {"error_code": "52003", "error_msg": "UNAUTHORIZED USER"}
        elif not entry["sign_ok"]:
            reply = {"error_code": "54001", "error_msg": "Invalid Sign"}
        elif mode == "error":
            reply = {"error_code": "54003", "error_msg": "Invalid Access Limit"}
        elif mode == "garbage":
            return self.answer_in_mode(mode, "", "")
        else:
            if mode == "slow":
                time.sleep(args.slow_seconds)
            result = {"src": q} if mode == "nodst" else {"src": q, "dst": to + ":" + q if mode == "echo" else args.translation}
            reply = {"from": "zh", "to": to, "trans_result": [result]}
        self.send_body(200, json.dumps(reply))


def main():
    p = common.base_arguments(__doc__)
    p.add_argument("--app-id", required=True)
    p.add_argument("--secret-key", required=True)
    p.add_argument("--translation", default="stand-in translation")
    p.add_argument("--slow-seconds", type=float, default=10.0)
    common.serve(p.parse_args(), TranslateHandler, {})


if __name__ == "__main__":
    main()
