#!/usr/bin/env bash
# The synchronisation server's speed: queries at 1, 100 and 1,000 clients on
# a store seeded with histories, then 100 courses synchronised end to end by
# tovalo-tool. Prints the figures and exits non-zero when a goal is missed.
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
cleanup() {
  if [[ -n $server_pid ]]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

"$server" --listen 127.0.0.1:0 --data "$scratch/data" 2>"$scratch/server.log" &
server_pid=$!
port=
for _ in $(seq 200); do
  port=$(sed -n 's/.*serving http on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$scratch/server.log")
  [[ -n $port ]] && break
  if ! kill -0 "$server_pid" 2>/dev/null; then
    cat "$scratch/server.log" >&2
    exit 1
  fi
  sleep 0.05
done
if [[ -z $port ]]; then
  echo "tovalo-server did not say where it serves" >&2
  exit 1
fi

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

python3 - "$scratch" "$started" "$ended" <<'EOF'
import json, sys
scratch, started, ended = sys.argv[1], float(sys.argv[2]), float(sys.argv[3])
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
]
for text, met in goals:
    print(f"{'ok    ' if met else 'MISSED'} {text}")
sys.exit(0 if all(met for _, met in goals) else 1)
EOF
