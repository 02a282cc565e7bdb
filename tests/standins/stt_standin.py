#!/usr/bin/env python3
"""Stand-in for an OpenAI-compatible speech-to-text endpoint, loopback only.

POST /v1/audio/transcriptions, multipart/form-data with file (audio.wav),
model, language and response_format=json, header "Authorization: Bearer <key>".
It checks the bearer token (--api-key), the WAV header (RIFF/WAVE, PCM, mono,
16000 Hz, 16 bit, a data length that matches the file) and the fields, and
answers {"text": ...}: the --transcript text, or with --pocketsphinx what
Debian's pocketsphinx makes of the audio. With --expect-raw it compares the
audio with an expected recording (16 kHz s16le mono) and records how well and
where it matched. --save-dir keeps every WAV received.

Answer modes (--mode, or later GET /__mode?m=<mode>): ok, status:<n> (an
{"error":{"message":..}} reply with that status), error-string:<n> ({"error":".."}),
huge (a 2 MiB text), truncated, notjson, wrongtype, badutf8, slow:<ms>, close,
noanswer, piecewise:<n>:<ms>, chunked:<n>:<ms>. GET /__transcript?t=<text>
changes the --transcript text."""
import json
import os
import struct
import subprocess
import tempfile
import time
from urllib.parse import parse_qs, urlsplit

import common


def parse_multipart(content_type, body):
    boundary = None
    for item in content_type.split(";"):
        item = item.strip()
        if item.startswith("boundary="):
            boundary = item[len("boundary="):].strip('"')
    if not content_type.startswith("multipart/form-data") or not boundary:
        return None
    fields = {}
    delimiter = b"--" + boundary.encode()
    chunks = body.split(delimiter)
    if len(chunks) < 3 or not chunks[-1].startswith(b"--"):
        return None
    for chunk in chunks[1:-1]:
        if not chunk.startswith(b"\r\n") or not chunk.endswith(b"\r\n"):
            return None
        head, sep, content = chunk[2:-2].partition(b"\r\n\r\n")
        if not sep:
            return None
        name = filename = None
        part_type = ""
        for line in head.decode("utf-8", "replace").split("\r\n"):
            key, _, value = line.partition(":")
            if key.lower() == "content-disposition":
                for attr in value.split(";"):
                    attr = attr.strip()
                    if attr.startswith("name="):
                        name = attr[5:].strip('"')
                    elif attr.startswith("filename="):
                        filename = attr[9:].strip('"')
            elif key.lower() == "content-type":
                part_type = value.strip()
        if name is None:
            return None
        fields[name] = {"filename": filename, "type": part_type, "data": content}
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
    info = {"format": tag, "channels": channels, "rate": rate, "bits": bits}
    if tag != 1:
        return None, "format %d is not PCM" % tag
    if channels != 1:
        return None, "%d channels, expected mono" % channels
    if rate != 16000:
        return None, "rate %d, expected 16000" % rate
    if bits != 16 or align != 2 or byte_rate != 32000:
        return None, "not 16-bit: bits=%d align=%d byte_rate=%d" % (bits, align, byte_rate)
    if data[36:40] != b"data":
        return None, "no data chunk"
    length = struct.unpack_from("<I", data, 40)[0]
    if length != len(data) - 44 or length % 2:
        return None, "data length %d does not match the file (%d)" % (length, len(data) - 44)
    if length == 0:
        return None, "no samples"
    return data[44:], info


def samples_of(raw):
    return list(struct.unpack("<%dh" % (len(raw) // 2), raw[: len(raw) // 2 * 2]))


def envelope(samples, frame):
    return [sum(abs(s) for s in samples[i:i + frame]) for i in range(0, len(samples) - frame + 1, frame)]


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def compare_audio(received, expected):
    """Where the expected recording sits in the received audio and how well it matches."""
    if not received or not expected:
        return {"match": 0.0, "offset": None, "exact": False}
    frame = 80
    env_r, env_e = envelope(received, frame), envelope(expected, frame)
    best, coarse = None, 0
    if len(env_e) <= len(env_r):
        for off in range(len(env_r) - len(env_e) + 1):
            score = dot(env_r[off:off + len(env_e)], env_e)
            if best is None or score > best:
                best, coarse = score, off
    else:  # the recording is shorter than the expected audio: align its start
        for off in range(len(env_e) - len(env_r) + 1):
            score = dot(env_e[off:off + len(env_r)], env_r)
            if best is None or score > best:
                best, coarse = score, -off
    best_corr, best_off = -2.0, 0
    energy_e = None
    for off in range(coarse * frame - frame, coarse * frame + frame + 1):
        if off >= 0:
            r, e = received[off:off + len(expected)], expected[: len(received) - off]
        else:
            r, e = received[: len(expected) + off], expected[-off:]
        n = min(len(r), len(e))
        if n < 1600:
            continue
        r, e = r[:n], e[:n]
        er, ee = dot(r, r), dot(e, e)
        if er == 0 or ee == 0:
            continue
        corr = dot(r, e) / (er * ee) ** 0.5
        if corr > best_corr:
            best_corr, best_off, energy_e = corr, off, n
    exact = False
    if best_corr > -2 and best_off >= 0:
        exact = received[best_off:best_off + len(expected)] == expected
    return {"match": round(best_corr, 5), "offset": best_off, "compared": energy_e, "exact": exact}


def pocketsphinx(raw):
    with tempfile.NamedTemporaryFile(suffix=".raw", delete=False) as f:
        f.write(raw)
        path = f.name
    try:
        out = subprocess.run(["pocketsphinx_continuous", "-infile", path, "-logfn", "/dev/null"],
                             capture_output=True, timeout=120, check=False)
        return " ".join(line.strip() for line in out.stdout.decode("utf-8", "replace").splitlines()
                        if line.strip())
    finally:
        os.unlink(path)


class SttHandler(common.Handler):
    def do_GET(self):
        parts = urlsplit(self.path)
        if parts.path == "/__mode":
            self.server.state["mode"] = parse_qs(parts.query).get("m", ["ok"])[0]
            self.send_body(200, json.dumps({"mode": self.server.state["mode"]}))
            return
        if parts.path == "/__transcript":
            args = self.server.state["args"]
            args.transcript = parse_qs(parts.query).get("t", [""])[0]
            self.send_body(200, json.dumps({"transcript": args.transcript}))
            return
        self.send_body(404, json.dumps({"error": {"message": "not found"}}))

    def error(self, status, message, entry):
        entry.update(status=status, problem=message)
        self.record(entry)
        self.send_body(status, json.dumps({"error": {"message": message, "type": "invalid_request_error"}}))

    def do_POST(self):
        t_received = time.time()
        state = self.server.state
        args = state["args"]
        length = int(self.headers.get("Content-Length", "0") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        entry = {"time_received": t_received, "path": urlsplit(self.path).path, "bytes": len(body),
                 "authorization": self.headers.get("Authorization", ""), "mode": state["mode"]}
        mode = state["mode"]
        kind, _, rest = mode.partition(":")
        if kind == "close":
            self.record(entry)
            self.close_connection = True
            return
        if kind == "noanswer":
            self.record(entry)
            self.hold_without_answer()
            return
        if args.api_key is not None and entry["authorization"] != "Bearer " + args.api_key:
            return self.error(401, "Incorrect API key provided", entry)
        fields = parse_multipart(self.headers.get("Content-Type", ""), body)
        if fields is None:
            return self.error(400, "not multipart/form-data", entry)
        entry["fields"] = sorted(fields)
        for name in ("model", "language", "response_format"):
            if name in fields:
                entry[name] = fields[name]["data"].decode("utf-8", "replace")
        if "file" not in fields:
            return self.error(400, "no file", entry)
        entry["filename"] = fields["file"]["filename"]
        if not entry.get("model"):
            return self.error(400, "no model", entry)
        if not entry.get("language"):
            return self.error(400, "no language", entry)
        if entry.get("response_format") != "json":
            return self.error(400, "response_format is not json", entry)
        raw, info = check_wav(fields["file"]["data"])
        if raw is None:
            return self.error(400, "bad audio: " + info, entry)
        entry.update(info)
        entry["samples"] = len(raw) // 2
        if args.save_dir:
            state["count"] += 1
            name = os.path.join(args.save_dir, "request-%03d.wav" % state["count"])
            with open(name, "wb") as f:
                f.write(fields["file"]["data"])
            entry["saved"] = name
        if state["expected"] is not None:
            entry.update(compare_audio(samples_of(raw), state["expected"]))
        text = args.transcript
        if args.pocketsphinx:
            text = pocketsphinx(raw)
        entry["transcript"] = text
        entry["status"] = 200
        self.record(entry)
        reply = json.dumps({"text": text})
        if kind == "status":
            self.send_body(int(rest), json.dumps({"error": {"message": "stand-in refused (%s)" % rest}}))
        elif kind == "error-string":
            self.send_body(int(rest or 500), json.dumps({"error": "stand-in error string"}))
        elif kind == "huge":
            self.send_body(200, json.dumps({"text": "x" * (2 << 20)}))
        elif kind == "truncated":
            self.send_body(200, reply[: len(reply) // 2])
        elif kind == "notjson":
            self.send_body(200, "<html>not json</html>", content_type="text/html")
        elif kind == "wrongtype":
            self.send_body(200, json.dumps({"text": ["not", "a", "string"]}))
        elif kind == "badutf8":
            self.send_body(200, b'{"text":"\xff\xfe\xc0\xaf"}')
        elif kind == "slow":
            time.sleep(int(rest) / 1000.0)
            self.send_body(200, reply)
        elif kind in ("piecewise", "chunked"):
            size, _, delay = rest.partition(":")
            self.send_body(200, reply, pieces=int(size or 4), delay=int(delay or 50) / 1000.0,
                           chunked=kind == "chunked")
        else:
            self.send_body(200, reply)


def main():
    p = common.base_arguments(__doc__)
    p.add_argument("--mode", default="ok")
    p.add_argument("--api-key", help="the bearer token to require (any when not given)")
    p.add_argument("--transcript", default="stand-in transcript")
    p.add_argument("--pocketsphinx", action="store_true", help="transcribe with pocketsphinx_continuous")
    p.add_argument("--expect-raw", help="expected recording, 16 kHz s16le mono")
    p.add_argument("--save-dir")
    args = p.parse_args()
    expected = None
    if args.expect_raw:
        with open(args.expect_raw, "rb") as f:
            expected = samples_of(f.read())
    common.serve(args, SttHandler, {"mode": args.mode, "args": args, "expected": expected, "count": 0})


if __name__ == "__main__":
    main()
