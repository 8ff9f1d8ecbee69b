#!/usr/bin/env bash
# Fuzzes the .xls reader with libFuzzer for a bounded time: scripts/fuzz-xls.sh [SECONDS]
# Starts from the committed fixtures; a crash leaves its input in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
scripts/deps.sh
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing="${missing:-} $p"
done
if [ -n "${missing:-}" ]; then
  sudo_cmd=(); [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends $missing
fi
out=build-fuzz
mkdir -p "$out/corpus"
cp tests/platform/xls/fixtures/*.xls "$out/corpus/"
clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I. $(pkg-config --cflags Qt6Core) \
  bench/fuzz_xls.cpp platform/xls/Biff.cpp platform/xls/Cfb.cpp platform/xls/XlsEdit.cpp \
  platform/xls/XlsTable.cpp platform/xls/XlsWriter.cpp \
  $(pkg-config --libs Qt6Core) -o "$out/fuzz_xls"
cd "$out"
ASAN_OPTIONS=detect_leaks=0 ./fuzz_xls -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 corpus
