#!/usr/bin/env bash
# The long durability run: 10,000 uploads while tovalo-server is killed 500
# times with SIGKILL; every answered upload must be in the store afterwards.
# usage: scripts/server_durability.sh [BUILD] [UPLOADS] [KILLS]
set -euo pipefail
build=${1:-build}
export TOVALO_DURABILITY_UPLOADS=${2:-10000} TOVALO_DURABILITY_KILLS=${3:-500}
exec "$build/tests/test_server_e2e" --gtest_filter='ServerDurability.*'
