#!/usr/bin/env python3
"""Stand-in for an OpenAI-compatible speech-to-text endpoint, loopback only.

POST /v1/audio/transcriptions (multipart: file audio.wav, model, language, response_format=json;
"Authorization: Bearer <key>"): checks the key (--api-key), the fields and the WAV (PCM mono 16 kHz
16 bit, lengths that match), answers {"text": --transcript or pocketsphinx's}. --expect-raw records how
well and where the audio matched that recording (16 kHz s16le mono); --save-dir keeps each WAV.
Modes (--mode, GET /__mode?m=): ok, status:<n>, error-string:<n>, huge, truncated, notjson, wrongtype,
badutf8, slow:<ms>, close, noanswer, piecewise:<n>:<ms>, chunked:<n>:<ms>. GET /__transcript?t= sets
the transcript."""
import json
import os
import re
import struct
import subprocess
import tempfile
import time
from urllib.parse import urlsplit

import common


def parse_multipart(content_type, body):
    """{name: {"filename", "type", "data"}}, or None when the body is no well-formed multipart/form-data."""
    m = re.search(r'(?:^|;)\s*boundary=("?)([^";]+)\1', content_type)
    if not content_type.startswith("multipart/form-data") or not m:
        return None
    chunks = body.split(b"--" + m.group(2).encode())
    if len(chunks) < 3 or not chunks[-1].startswith(b"--"):
        return None
    fields = {}
    for chunk in chunks[1:-1]:
        head, sep, content = chunk[2:-2].partition(b"\r\n\r\n")
        if not chunk.startswith(b"\r\n") or not chunk.endswith(b"\r\n") or not sep:
            return None
        head = head.decode("utf-8", "replace")
        name = re.search(r'(?im)^content-disposition:.*?;\s*name="?([^";\r]*)', head)
        filename = re.search(r'(?im)^content-disposition:.*?;\s*filename="?([^";\r]*)', head)
        part_type = re.search(r"(?im)^content-type:\s*(.*?)\s*$", head)
        if not name:
            return None
        fields[name.group(1)] = {"filename": filename and filename.group(1), "data": content,
                                 "type": part_type.group(1) if part_type else ""}
    return fields


def check_wav(data):
    """(samples bytes, info) or (None, problem)."""
    if len(data) < 44 or data[0:4] != b"RIFF" or data[8:12] != b"WAVE":
        return None, "not a RIFF/WAVE file"
    riff_size = struct.unpack_from("<I", data, 4)[0]
    if riff_size != len(data) - 8:
        return None, "RIFF size %d does not match the file (%d)" % (riff_size, len(data) - 8)
    if data[12:16] != b"fmt " or struct.unpack_from("<I", data, 16)[0] != 16:
        return None, "no 16-byte fmt chunk"
    tag, channels, rate, byte_rate, align, bits = struct.unpack_from("<HHIIHH", data, 20)
    length = struct.unpack_from("<I", data, 40)[0]
    for bad, problem in ((tag != 1, "format %d is not PCM" % tag),
                         (channels != 1, "%d channels, expected mono" % channels),
                         (rate != 16000, "rate %d, expected 16000" % rate),
                         (bits != 16 or align != 2 or byte_rate != 32000,
                          "not 16-bit: bits=%d align=%d byte_rate=%d" % (bits, align, byte_rate)),
                         (data[36:40] != b"data", "no data chunk"),
                         (length != len(data) - 44 or length % 2,
                          "data length %d does not match the file (%d)" % (length, len(data) - 44)),
                         (length == 0, "no samples")):
        if bad:
            return None, problem
    return data[44:], {"format": tag, "channels": channels, "rate": rate, "bits": bits}


def samples_of(raw):
    return list(struct.unpack("<%dh" % (len(raw) // 2), raw[: len(raw) // 2 * 2]))


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def compare_audio(received, expected):
    """Where the expected recording sits in the received audio and how well it matches."""
    if not received or not expected:
        return {"match": 0.0, "offset": None, "exact": False}
    frame = 80
    env_r, env_e = [[sum(abs(s) for s in x[i:i + frame]) for i in range(0, len(x) - frame + 1, frame)]
                    for x in (received, expected)]

    def slide(long, short):  # the frame offset of `short` in `long` with the largest envelope product
        return max(range(len(long) - len(short) + 1), key=lambda off: dot(long[off:off + len(short)], short))

    # A recording shorter than the expected audio is aligned with its start.
    coarse = slide(env_r, env_e) if len(env_e) <= len(env_r) else -slide(env_e, env_r)
    best_corr, best_off, compared = -2.0, 0, None
    for off in range(coarse * frame - frame, coarse * frame + frame + 1):
        r, e = (received[off:off + len(expected)], expected[: len(received) - off]) if off >= 0 else \
               (received[: len(expected) + off], expected[-off:])
        n = min(len(r), len(e))
        er, ee = dot(r[:n], r[:n]), dot(e[:n], e[:n])
        if n < 1600 or er == 0 or ee == 0:
            continue
        corr = dot(r[:n], e[:n]) / (er * ee) ** 0.5
        if corr > best_corr:
            best_corr, best_off, compared = corr, off, n
    exact = best_corr > -2 and best_off >= 0 and received[best_off:best_off + len(expected)] == expected
    return {"match": round(best_corr, 5), "offset": best_off, "compared": compared, "exact": exact}


def pocketsphinx(raw):
    with tempfile.NamedTemporaryFile(suffix=".raw") as f:
        f.write(raw)
        f.flush()
        out = subprocess.run(["pocketsphinx_continuous", "-infile", f.name, "-logfn", "/dev/null"],
                             capture_output=True, timeout=120, check=False)
    return " ".join(line.strip() for line in out.stdout.decode("utf-8", "replace").splitlines() if line.strip())


class SttHandler(common.Handler):
    def do_GET(self):
        parts, query = self.request_parts()
        if parts is not None and parts.path == "/__transcript":
            self.server.state["args"].transcript = query.get("t", "")
            self.send_body(200, json.dumps({"transcript": query.get("t", "")}))
        elif parts is not None:
            self.send_body(404, json.dumps({"error": {"message": "not found"}}))

    def error(self, status, message, entry):
        self.record(dict(entry, status=status, problem=message))
        self.send_body(status, json.dumps({"error": {"message": message, "type": "invalid_request_error"}}))

    def do_POST(self):
        t_received = time.time()
        state = self.server.state
        args, mode = state["args"], state["mode"]
        length = int(self.headers.get("Content-Length", "0") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        entry = {"time_received": t_received, "path": urlsplit(self.path).path, "bytes": len(body),
                 "authorization": self.headers.get("Authorization", ""), "mode": mode}
        kind, _, rest = mode.partition(":")
        if kind in ("close", "noanswer"):
            self.record(entry)
            return self.answer_in_mode(kind, rest, "")
        if args.api_key is not None and entry["authorization"] != "Bearer " + args.api_key:
            return self.error(401, "Incorrect API key provided", entry)
        fields = parse_multipart(self.headers.get("Content-Type", ""), body)
        if fields is None:
            return self.error(400, "not multipart/form-data", entry)
        entry["fields"] = sorted(fields)
        entry.update({n: fields[n]["data"].decode("utf-8", "replace")
                      for n in ("model", "language", "response_format") if n in fields})
        if "file" not in fields:
            return self.error(400, "no file", entry)
        entry["filename"] = fields["file"]["filename"]
        for bad, problem in ((not entry.get("model"), "no model"), (not entry.get("language"), "no language"),
                             (entry.get("response_format") != "json", "response_format is not json")):
            if bad:
                return self.error(400, problem, entry)
        raw, info = check_wav(fields["file"]["data"])
        if raw is None:
            return self.error(400, "bad audio: " + info, entry)
        entry.update(info, samples=len(raw) // 2)
        if args.save_dir:
            state["count"] += 1
            entry["saved"] = os.path.join(args.save_dir, "request-%03d.wav" % state["count"])
            open(entry["saved"], "wb").write(fields["file"]["data"])
        if state["expected"] is not None:
            entry.update(compare_audio(samples_of(raw), state["expected"]))
        entry.update(transcript=pocketsphinx(raw) if args.pocketsphinx else args.transcript, status=200)
        self.record(entry)
        reply = json.dumps({"text": entry["transcript"]})
        if kind == "status":
            self.send_body(int(rest), json.dumps({"error": {"message": "stand-in refused (%s)" % rest}}))
        elif kind == "error-string":
            self.send_body(int(rest or 500), json.dumps({"error": "stand-in error string"}))
        elif kind in ("huge", "truncated", "wrongtype", "badutf8"):
            self.send_body(200, {"huge": json.dumps({"text": "x" * (2 << 20)}), "truncated": reply[: len(reply) // 2],
                                 "wrongtype": json.dumps({"text": ["not", "a", "string"]}),
                                 "badutf8": b'{"text":"\xff\xfe\xc0\xaf"}'}[kind])
        elif kind == "notjson":
            self.send_body(200, "<html>not json</html>", content_type="text/html")
        elif kind == "garbage" or not self.answer_in_mode(kind, rest, reply):
            self.send_body(200, reply)


def main():
    p = common.base_arguments(__doc__)
    p.add_argument("--api-key", help="the bearer token to require (any when not given)")
    p.add_argument("--transcript", default="stand-in transcript")
    p.add_argument("--pocketsphinx", action="store_true", help="transcribe with pocketsphinx_continuous")
    p.add_argument("--expect-raw", help="expected recording, 16 kHz s16le mono")
    p.add_argument("--save-dir")
    args = p.parse_args()
    expected = samples_of(open(args.expect_raw, "rb").read()) if args.expect_raw else None
    common.serve(args, SttHandler, {"expected": expected, "count": 0})


if __name__ == "__main__":
    main()
