#!/usr/bin/env bash
# The server's speed: queries at 1, 100 and 1,000 clients on a store seeded
# with histories, then 100 courses synchronised end to end by tovalo-tool;
# then the question file update: the sample courses published, their files
# fetched by 100 clients at once, and the staged installation updated by
# tovalo-tool with nothing new and with every course new. Prints the figures
# and exits non-zero when a goal is missed.
# Run after a build: scripts/bench_server.sh BUILD [--short]
# (--short: shorter runs and a smaller seed, for the test run.)
set -euo pipefail
build=$(cd "${1:?usage: bench_server.sh BUILD [--short]}" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
seconds=5 warmup=1 learners=100 courses=10
if [[ ${2:-} == --short ]]; then
  seconds=2 warmup=0.5 learners=50 courses=4
fi
server=$build/root/bin/tovalo-server
tool=$build/root/bin/tovalo-tool
load=$build/bench/tovalo-server-load

scratch=$(mktemp -d)
server_pid=
stop_server() {
  if [[ -n $server_pid ]]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=
  fi
}
cleanup() {
  stop_server
  rm -rf "$scratch"
}
trap cleanup EXIT

# start_server DATA: a server on a free port with its store in DATA; sets port.
start_server() {
  local log
  log=$scratch/server-$(basename "$1").log
  "$server" --listen 127.0.0.1:0 --data "$1" 2>"$log" &
  server_pid=$!
  port=
  for _ in $(seq 200); do
    port=$(sed -n 's/.*serving http on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
    [[ -n $port ]] && return 0
    if ! kill -0 "$server_pid" 2>/dev/null; then
      cat "$log" >&2
      exit 1
    fi
    sleep 0.05
  done
  echo "tovalo-server did not say where it serves" >&2
  exit 1
}

start_server "$scratch/data"

spread=(--port "$port" --learners "$learners" --courses "$courses")
"$load" "${spread[@]}" --seed "$learners" --connections 16 --seconds 0 --json >"$scratch/seed.json"
for c in 1 100 1000; do
  "$load" "${spread[@]}" --connections "$c" --seconds "$seconds" --warmup "$warmup" --json \
    >"$scratch/load$c.json"
done

# An installation with 100 courses of one vendor, none synchronised yet: the
# first run uploads every one of them.
inst=$scratch/inst
mkdir -p "$inst/bin" "$inst/QDAT/bench" "$inst/HIST/bench"
for path in query upload download; do
  printf '127.0.0.1:%s/sync/%s.cgi\r\n' "$port" "$path"
done >"$inst/bin/His_srv"
"$tool" qdf pack "$source_dir/data/qdat/nexa/NXN-101.txt" "$scratch/course.qdf"
for i in $(seq -w 1 100); do
  cp "$scratch/course.qdf" "$inst/QDAT/bench/BENCH-$i.qdf"
done
printf '{"Name": "Bench Learner", "Email": "bench@example.jp", "Serial": "BENCH-1"}' \
  >"$scratch/profile.json"
started=$EPOCHREALTIME
"$tool" sync "$inst" bench --profile "$scratch/profile.json" --yes >"$scratch/sync.json"
ended=$EPOCHREALTIME
stop_server

# The question file update, on a fresh store that publishes the staged
# sample's courses with their settings files and figures.
staged=$build/root
for course in "$staged"/QDAT/*/*.qdf; do
  vendor=$(basename "$(dirname "$course")")
  "$server" admin --data "$scratch/update-data" publish "$vendor" "$course" >/dev/null
done
start_server "$scratch/update-data"
# An up-to-date installation asks for each course's question file and its
# settings file, and for figures only when those changed.
files=$(cd "$staged/QDAT" && printf '%s\n' */*.qdf */*.ini | xargs -n1 basename | paste -sd,)
"$load" --port "$port" --learners "$learners" --connections 100 --seconds "$seconds" \
  --warmup "$warmup" --mix update=50,figure=50 --files "$files" --json >"$scratch/update-load.json"

# A copy of the staged installation (without the programs) pointed at the
# server; the copy's histories of replaced courses are cleared, as meant.
root=$scratch/root
mkdir -p "$root/bin"
cp -r "$staged/QDAT" "$staged/HIST" "$root/"
for f in "$staged"/bin/*; do
  [[ $(basename "$f") == tovalo-* ]] || cp -r "$f" "$root/bin/"
done
printf '127.0.0.1:%s\r\nupdate/qdf.cgi\r\n127.0.0.1:%s\r\nupdate/img\r\n' "$port" "$port" \
  >"$root/bin/SRV_INFO"
# update_run NAME: times the update of every vendor of the copy into NAME.*
update_run() {
  local code=0 began=$EPOCHREALTIME
  "$tool" update "$root" all --timeout 10 --profile "$scratch/profile.json" --yes \
    >"$scratch/$1.json" 2>"$scratch/$1.err" || code=$?
  echo "$code $began $EPOCHREALTIME" >"$scratch/$1.time"
}
update_run unchanged
# Every course again, a day later on its date line (line 9).
for course in "$staged"/QDAT/*/*.qdf; do
  vendor=$(basename "$(dirname "$course")")
  code=$(basename "$course" .qdf)
  mkdir -p "$scratch/newer/$vendor"
  "$tool" qdf unpack "$course" >"$scratch/newer/$vendor/$code.txt"
  stamp=$(sed -n '9{s/^\([0-9]\{14\}\).*/\1/p}' "$scratch/newer/$vendor/$code.txt")
  later=$(date -d "${stamp:0:8} ${stamp:8:2}:${stamp:10:2}:${stamp:12:2} 1 day" +%Y%m%d%H%M%S)
  sed -i "9s/^$stamp/$later/" "$scratch/newer/$vendor/$code.txt"
  "$server" admin --data "$scratch/update-data" publish "$vendor" \
    "$scratch/newer/$vendor/$code.txt" --ini "${course%.qdf}.ini" \
    --figures "$(dirname "$course")/img" >/dev/null
done
update_run newer
published=$(printf '%s\n' "$staged"/QDAT/*/*.qdf | wc -l)

python3 - "$scratch" "$started" "$ended" "$published" <<'EOF'
import json, sys
scratch, started, ended = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
published = int(sys.argv[4])
seed = json.load(open(f"{scratch}/seed.json"))
runs = {c: json.load(open(f"{scratch}/load{c}.json")) for c in (1, 100, 1000)}
rows = json.load(open(f"{scratch}/sync.json"))
uploaded = sum(1 for r in rows if r["State"] == "ｸﾗｲｱﾝﾄ最新" and r.get("Done"))
took = ended - started

print(f"seeded {seed['seeded']} histories in {seed['seed_seconds']:.2f} s; queries only:")
print(f"{'clients':>7} {'requests':>9} {'req/s':>8} {'p50 ms':>7} {'p90 ms':>7} {'p99 ms':>7} "
      f"{'max ms':>7}  connect dropped >=400 timeout  not found")
for c, r in runs.items():
    e = r["errors"]
    print(f"{c:>7} {r['requests']:>9} {r['rate']:>8.0f} {r['p50_ms']:>7.2f} {r['p90_ms']:>7.2f} "
          f"{r['p99_ms']:>7.2f} {r['max_ms']:>7.1f}  {e['connect']:>7} {e['dropped']:>7} "
          f"{e['status']:>5} {e['timeout']:>7}  {r['not_found']:>9}")
print(f"synchronising 100 courses end to end: {uploaded} uploaded in {took:.2f} s")

fetch = json.load(open(f"{scratch}/update-load.json"))
e = fetch["errors"]
print(f"question file update, {published} courses published; {fetch['mix']} at "
      f"{fetch['connections']} clients: {fetch['requests']} requests, {fetch['rate']:.0f} req/s, "
      f"{fetch['bytes_per_s'] / 1e6:.1f} MB/s, p50 / p90 / p99 {fetch['p50_ms']:.2f} / "
      f"{fetch['p90_ms']:.2f} / {fetch['p99_ms']:.2f} ms; errors: connect {e['connect']} "
      f"dropped {e['dropped']} >=400 {e['status']} timeout {e['timeout']}")
def update_run(name):
    code, began, done = open(f"{scratch}/{name}.time").read().split()
    out = json.load(open(f"{scratch}/{name}.json")) if code == "0" else {"replaced": []}
    if code != "0":
        print(open(f"{scratch}/{name}.err").read(), end="", file=sys.stderr)
    return int(code), len(out["replaced"]), float(done) - float(began)
unchanged, newer = update_run("unchanged"), update_run("newer")

mid, big = runs[100], runs[1000]
goals = [
    (f"100 clients: p99 {mid['p99_ms']:.1f} ms < 100 ms", mid["p99_ms"] < 100),
    ("1,000 clients: no error, no refused or dropped connection",
     big["requests"] > 0 and not any(big["errors"].values())),
    (f"1,000 clients: p99 {big['p99_ms']:.1f} ms <= 3 x p50 {big['p50_ms']:.1f} ms",
     big["p99_ms"] <= 3 * big["p50_ms"]),
    (f"1,000 clients: {big['rate']:.0f} req/s within 20 % of 100 clients' {mid['rate']:.0f}",
     abs(big["rate"] - mid["rate"]) <= 0.2 * mid["rate"]),
    # Every query found a seeded history, or the load measured something else.
    ("queries found their seeded histories",
     all(r["not_found"] == 0 and r["requests"] > 0 for r in runs.values())),
    (f"100 courses uploaded ({uploaded}) in {took:.2f} s < 2 s", uploaded == 100 and took < 2),
    ("update files at 100 clients: no error",
     fetch["requests"] > 0 and not any(fetch["errors"].values())),
    (f"update files at 100 clients: p99 {fetch['p99_ms']:.1f} ms < 50 ms", fetch["p99_ms"] < 50),
    (f"update with nothing new: exit {unchanged[0]}, none replaced ({unchanged[1]}), "
     f"{unchanged[2]:.2f} s < 1 s", unchanged[:2] == (0, 0) and unchanged[2] < 1),
    (f"update with every course new: exit {newer[0]}, {newer[1]} of {published} replaced, "
     f"{newer[2]:.2f} s < 3 s", newer[:2] == (0, published) and newer[2] < 3),
]
for text, met in goals:
    print(f"{'ok    ' if met else 'MISSED'} {text}")
sys.exit(0 if all(met for _, met in goals) else 1)
EOF
