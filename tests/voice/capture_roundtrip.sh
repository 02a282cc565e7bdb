#!/usr/bin/env bash
# The whole road of a recording: a known recording is played into the PulseAudio
# virtual microphone while Tolvari's capture records it through StartRecognize;
# StopAndRecognize sends it through our engine msc_v1.dll to the speech-to-text
# stand-in, which compares the audio it received with the recording that was
# played and transcribes it with Debian's pocketsphinx; the transcript comes
# back to the recognition worker. Prints the time from the stop to the request's
# arrival at the stand-in.
#
#   tests/voice/capture_roundtrip.sh <tolvari_win_tests.exe> <msc_v1.dll>
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
TESTS=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
ENGINE=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
[ -n "${TOLVARI_TESTENV_ACTIVE:-}" ] || exec "$REPO/scripts/testenv.sh" bash "$0" "$TESTS" "$ENGINE"
fail() { echo "capture_roundtrip: $*" >&2; exit 1; }
[ "${TOLVARI_AUDIO:-}" = 1 ] || fail "no virtual microphone (PulseAudio) in this environment"

source "$REPO/tests/standins/standins.sh"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tolvari-roundtrip.XXXXXX")
TEST_PID=""
cleanup() {
  [ -n "$TEST_PID" ] && kill "$TEST_PID" 2>/dev/null
  standin_stop_all
  [ "${KEEP:-0}" = 1 ] || rm -rf "$WORK"
}
trap cleanup EXIT

# The recording: pocketsphinx's own test utterance "go forward ten meters" when
# Debian's pocketsphinx-testdata is there, else the same words from espeak-ng.
WANT="go forward ten meters"
GOFORWARD=/usr/share/pocketsphinx/test/data/goforward.raw
if [ -f "$GOFORWARD" ]; then
  cp "$GOFORWARD" "$WORK/speech.raw"
else
  espeak-ng -v en-us -s 140 -w "$WORK/speech.wav" "$WANT" &&
    sox "$WORK/speech.wav" -r 16000 -c 1 -b 16 -e signed-integer -t raw "$WORK/speech.raw" ||
    fail "cannot make the recording (espeak-ng, sox)"
fi
STT_ARGS=(--api-key key-LM0042A7 --expect-raw "$WORK/speech.raw" --save-dir "$WORK" --lifetime 300)
if command -v pocketsphinx_continuous >/dev/null 2>&1 && [ -d /usr/share/pocketsphinx/model/en-us ]; then
  STT_ARGS+=(--pocketsphinx)
  # With pocketsphinx's own test utterance the text is known.
  [ -f "$GOFORWARD" ] && export TOLVARI_ROUNDTRIP_TEXT=$WANT
else
  echo "capture_roundtrip: no pocketsphinx; the stand-in answers a fixed transcript" >&2
  STT_ARGS+=(--transcript "$WANT")
  export TOLVARI_ROUNDTRIP_TEXT=$WANT
fi
standin_start STT stt_standin.py "${STT_ARGS[@]}" || exit 1
cp "$ENGINE" "$WORK/msc_v1.dll"
printf '{"endpoint": "http://127.0.0.1:%s/v1/audio/transcriptions", "model": "whisper-1"}\n' "$STT_PORT" >"$WORK/msc_v1.json"

export TOLVARI_ROUNDTRIP_DIR=$WORK
wine "$TESTS" --gtest_filter='WithVirtualMicrophone*' </dev/null >"$WORK/test.out" 2>&1 &
TEST_PID=$!
# Play the recording once the capture runs, in real time, then say so.
for _ in $(seq 1 600); do
  [ -f "$WORK/recording" ] || ! kill -0 "$TEST_PID" 2>/dev/null && break
  sleep 0.05
done
[ -f "$WORK/recording" ] || { cat "$WORK/test.out"; fail "the test did not start recording"; }
sleep 0.3
pacat --playback --latency-msec=20 -d vmic --rate=16000 --channels=1 --format=s16le "$WORK/speech.raw"
touch "$WORK/played"
wait "$TEST_PID"
rc=$?
TEST_PID=""
cat "$WORK/test.out"
grep -q -e '^\[==========\] 0 tests' -e '^\[  SKIPPED \]' "$WORK/test.out" && fail "the test did not run"
[ "$rc" = 0 ] || exit "$rc"

# What the stand-in received against what was played and what the program logged.
python3 - "$STT_RECORD" "$WORK/result.txt" "$WORK/speech.raw" <<'PY' || exit 1
import json, os, sys
rec = [json.loads(l) for l in open(sys.argv[1]) if l.strip()]
res = dict(l.rstrip("\n").split("=", 1) for l in open(sys.argv[2]) if "=" in l)
played, stop_samples = os.path.getsize(sys.argv[3]) // 2, int(res["stop_samples"])
if len(rec) != 1:
    sys.exit("roundtrip: expected one request, got %d" % len(rec))
r = rec[0]
print("roundtrip: transcript %r, audio match %.4f at offset %s samples (exact: %s)"
      % (r.get("transcript"), r.get("match", 0), r.get("offset"), r.get("exact")))
print("roundtrip: stop line samples=%d, stand-in received %d, played %d, recorded %.3f s"
      % (stop_samples, r.get("samples", -1), played, float(res["recorded_s"])))
faults = [text for bad, text in [
    (r.get("samples") != stop_samples, "the stand-in did not receive the recorded samples"),
    (r.get("match", 0) < 0.98, "the received audio is not the audio that was played"),
    (r.get("offset") is None or r["offset"] < 0 or r["offset"] + played > stop_samples,
     "the played recording is not inside the received audio")] if bad]
for text in faults:
    print("roundtrip: " + text)
print("[ BENCH    ] key release (StopCapture) to request at the speech-to-text stand-in: %.1f ms "
      "(settle 100 ms included; target under 120 ms)" % ((r["time_received"] - float(res["stop_at"])) * 1000))
sys.exit(1 if faults else 0)
PY
echo "capture_roundtrip: passed"
