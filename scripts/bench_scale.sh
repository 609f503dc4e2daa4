#!/usr/bin/env bash
# The server for many learners, on loopback with the client's own requests:
#  1. the anchor: nginx serving a static file as long as a query's answer,
#     against queries on SQLite and on PostgreSQL, at 100 clients;
#  2. the mix of a class at work (query 80 %, upload 15 %, download 5 %) at
#     100 and 1,000 clients, on SQLite, on PostgreSQL, and on three servers
#     sharing PostgreSQL behind HAProxy with the repository's configuration;
#  3. queries on an empty store and on one holding 10,000 learners with 20
#     courses each, on both stores.
# Runs alternate between the compared setups and each figure is the median
# of its runs. Prints the figures and exits non-zero when a goal is missed.
# Run after a build: scripts/bench_scale.sh BUILD [--short]
# (--short: one short run of each and a smaller store, for the test run;
# it holds only the goals that do not depend on the machine's speed: no
# error anywhere.)
set -euo pipefail
build=$(cd "${1:?usage: bench_scale.sh BUILD [--short]}" && pwd)
source_dir=$(cd "$(dirname "$0")/.." && pwd)
seconds=5 warmup=1 repeat=3 big_learners=10000
if [[ ${2:-} == --short ]]; then
  seconds=1.5 warmup=0.5 repeat=1 big_learners=200
fi
server=$build/root/bin/tovalo-server
load=$build/bench/tovalo-server-load
pg_bin=/usr/lib/postgresql/15/bin

scratch=$(mktemp -d)
# nginx's workers and PostgreSQL run as nobody when we are root.
chmod 755 "$scratch"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  [[ -f $scratch/pg/data/postmaster.pid ]] &&
    as_server "$pg_bin/pg_ctl" -D "$scratch/pg/data" -s -m immediate stop || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# PostgreSQL refuses to run as root.
as_server() {
  if [[ $(id -u) == 0 ]]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
  else
    "$@"
  fi
}

free_port() {
  python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# serve NAME ARGS...: a tovalo-server on a free port; sets port.
serve() {
  local name=$1 log=$scratch/$1.log
  shift
  "$server" --listen 127.0.0.1:0 "$@" 2>"$log" &
  pids+=($!)
  port=
  for _ in $(seq 200); do
    port=$(sed -n 's/.*serving http on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
    [[ -n $port ]] && return 0
    sleep 0.05
  done
  echo "tovalo-server ($name) did not start:" >&2
  cat "$log" >&2
  exit 1
}

# run NAME PORT ARGS...: one load run into NAME.json.
run() {
  local name=$1 port=$2
  shift 2
  "$load" --port "$port" --seconds "$seconds" --warmup "$warmup" --json "$@" >"$scratch/$name.json"
}

# A throwaway cluster as in the tests, but writing to disk as a real one
# does: every acknowledged upload waits for its commit to be flushed.
mkdir "$scratch/pg"
[[ $(id -u) == 0 ]] && chown nobody:nogroup "$scratch/pg"
as_server "$pg_bin/initdb" -D "$scratch/pg/data" -U tovalo --auth=trust -E UTF8 --locale=C \
  >/dev/null
as_server "$pg_bin/pg_ctl" -D "$scratch/pg/data" -s -w -l "$scratch/pg/server.log" \
  -o "-c listen_addresses='' -k $scratch/pg" start
pg_url() {
  "$pg_bin/psql" -q "host=$scratch/pg user=tovalo dbname=postgres" -c "CREATE DATABASE $1"
  echo "postgresql:///$1?host=$scratch/pg&user=tovalo"
}

declare -A at
serve sqlite --data "$scratch/sqlite"
at[sqlite]=$port
serve pg --data "$scratch/pg-data" --db "$(pg_url mixed)"
at[pg]=$port
# Three more servers on one database, each with the same secret as learners'
# identifiers are kept by a keyed hash.
pg_three=$(pg_url three)
for i in 1 2 3; do
  serve "pg$i" --data "$scratch/three-data" --db "$pg_three"
  eval "server$i=$port"
done
at[haproxy]=$(free_port)
TOVALO_HAPROXY_LOG=stdout TOVALO_HAPROXY_STATS=$scratch/haproxy.sock TOVALO_HAPROXY_CHECK=1s \
  TOVALO_HAPROXY_BIND=127.0.0.1:${at[haproxy]} TOVALO_SERVER1=127.0.0.1:$server1 \
  TOVALO_SERVER2=127.0.0.1:$server2 TOVALO_SERVER3=127.0.0.1:$server3 \
  haproxy -db -f "$source_dir/packaging/haproxy/tovalo-server.cfg" >"$scratch/haproxy.log" 2>&1 &
pids+=($!)

# The mix's learners, each with a history of every course, so that every
# query and download finds one.
spread=(--learners 100 --courses 10)
for setup in sqlite pg haproxy; do
  for _ in $(seq 100); do
    "$load" --port "${at[$setup]}" "${spread[@]}" --seed 100 --connections 16 --seconds 0 \
      --json >"$scratch/seed-$setup.json" 2>/dev/null && break
    sleep 0.1  # HAProxy's first health checks
  done
done

# The anchor: a file as long as the answer to a query.
run size "${at[sqlite]}" "${spread[@]}" --connections 4
query_size=$(python3 -c 'import json, sys; r = json.load(open(sys.argv[1]))
print(max(1, round(r["bytes_per_s"] / r["rate"])))' "$scratch/size.json")
mkdir -p "$scratch/nginx/www"
head -c "$query_size" /dev/zero | tr '\0' 0 >"$scratch/nginx/www/answer"
chmod -R a+rX "$scratch/nginx"
at[nginx]=$(free_port)
cat >"$scratch/nginx/nginx.conf" <<EOF
worker_processes auto;
pid $scratch/nginx/nginx.pid;
daemon off;
events { worker_connections 4096; }
http {
    # Each answer logged, as tovalo-server does.
    access_log $scratch/nginx/access.log;
    server { listen 127.0.0.1:${at[nginx]}; root $scratch/nginx/www; }
}
EOF
nginx -p "$scratch/nginx" -c "$scratch/nginx/nginx.conf" -e "$scratch/nginx/error.log" &
pids+=($!)
sleep 0.5

for r in $(seq "$repeat"); do
  run "anchor-nginx-$r" "${at[nginx]}" --connections 100 --mix get=100 --get /answer
  for setup in sqlite pg; do
    run "anchor-$setup-$r" "${at[$setup]}" "${spread[@]}" --connections 100
  done
  for c in 100 1000; do
    for setup in sqlite pg haproxy; do
      run "mix-$setup-$c-$r" "${at[$setup]}" "${spread[@]}" --connections "$c" \
        --mix query=80,upload=15,download=5
    done
  done
done

# The big store: queries before and after 10,000 learners' 20 courses each
# are stored, on fresh servers.
big=(--learners "$big_learners" --courses 20)
serve big-sqlite --data "$scratch/big-sqlite"
at[big-sqlite]=$port
serve big-pg --data "$scratch/big-pg-data" --db "$(pg_url big)"
at[big-pg]=$port
for stage in empty full; do
  for setup in big-sqlite big-pg; do
    if [[ $stage == full ]]; then
      "$load" --port "${at[$setup]}" "${big[@]}" --seed "$big_learners" --connections 16 \
        --seconds 0 --json >"$scratch/seed-$setup.json"
    fi
    for r in $(seq "$repeat"); do
      run "$setup-$stage-$r" "${at[$setup]}" "${big[@]}" --connections 100
    done
  done
done

python3 - "$scratch" "$repeat" "$query_size" "$big_learners" "${2:-}" <<'EOF'
import json, statistics, sys
scratch, repeat, size, big = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
timed = sys.argv[5] != "--short"
def runs(name):
    return [json.load(open(f"{scratch}/{name}-{r}.json")) for r in range(1, repeat + 1)]
def median(rs, key):
    return statistics.median(r[key] for r in rs)
def errors(rs):
    return sum(sum(r["errors"].values()) for r in rs)
missed = []
def goal(ok, text):
    if not ok:
        missed.append(text)
def speed_goal(ok, text):
    if timed:
        goal(ok, text)

print(f"anchor: {size}-byte answers, 100 clients, median of {repeat} runs")
nginx = median(runs("anchor-nginx"), "rate")
print(f"  nginx static file   {nginx:>8.0f} req/s")
for setup in ("sqlite", "pg"):
    rs = runs(f"anchor-{setup}")
    rate = median(rs, "rate")
    print(f"  query on {setup:<10} {rate:>8.0f} req/s  {rate / nginx:>4.0%} of nginx  "
          f"p99 {median(rs, 'p99_ms'):.1f} ms")
    goal(errors(rs) == 0, f"errors in queries on {setup}")
    speed_goal(rate >= 0.5 * nginx, f"query rate on {setup} below half of nginx's")

print("mix query 80 / upload 15 / download 5, median of runs")
print(f"  {'setup':<18}{'clients':>7} {'req/s':>8} {'p50 ms':>7} {'p99 ms':>7} {'max ms':>7} errors")
names = {"sqlite": "SQLite", "pg": "PostgreSQL", "haproxy": "3 x PG + HAProxy"}
for setup, label in names.items():
    rs = {c: runs(f"mix-{setup}-{c}") for c in (100, 1000)}
    for c, r in rs.items():
        print(f"  {label:<18}{c:>7} {median(r, 'rate'):>8.0f} {median(r, 'p50_ms'):>7.1f} "
              f"{median(r, 'p99_ms'):>7.1f} {median(r, 'max_ms'):>7.0f} {errors(r):>6}")
    goal(errors(rs[100]) + errors(rs[1000]) == 0, f"{label}: errors")
    speed_goal(median(rs[100], "p99_ms") < 100, f"{label}: p99 of 100 ms or more at 100 clients")
    speed_goal(median(rs[1000], "p99_ms") <= 3 * median(rs[1000], "p50_ms"),
               f"{label}: p99 beyond 3 x p50 at 1,000 clients")
    speed_goal(median(rs[1000], "rate") >= 0.8 * median(rs[100], "rate"),
               f"{label}: 1,000 clients' rate more than 20 % below 100 clients'")

print(f"queries at 100 clients, empty store and {big:,} learners x 20 courses")
for setup in ("big-sqlite", "big-pg"):
    seed = json.load(open(f"{scratch}/seed-{setup}.json"))
    empty, full = runs(f"{setup}-empty"), runs(f"{setup}-full")
    p_empty, p_full = median(empty, "p99_ms"), median(full, "p99_ms")
    print(f"  {setup[4:]:<10} seeded {seed['seeded']:,} in {seed['seed_seconds']:.0f} s; "
          f"p99 {p_empty:.1f} ms empty, {p_full:.1f} ms full ({p_full / p_empty:.2f} x); "
          f"{median(full, 'rate'):.0f} req/s full")
    goal(seed["seed_errors"] == 0 and errors(empty) + errors(full) == 0,
         f"{setup}: errors on the big store")
    speed_goal(p_full <= 2 * p_empty, f"{setup}: p99 on the big store beyond 2 x the empty store's")

for text in missed:
    print("goal missed:", text)
sys.exit(1 if missed else 0)
EOF
