#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while (60 seconds unless given),
# starting from the inputs kept in tests/fuzz/corpus. New inputs found go to build/fuzz/corpus,
# crashes to build/fuzz/findings. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(FuzzDecodeDataBlock FuzzDecodeBlob FuzzXmlArchive FuzzKicadFootprint
                                      FuzzLibraryFile FuzzInterchange)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
declare -A inputs=([FuzzDecodeDataBlock]=data_block [FuzzDecodeBlob]=part_blob [FuzzXmlArchive]=xml_archive
                   [FuzzKicadFootprint]=kicad_footprint [FuzzLibraryFile]=library_file [FuzzInterchange]=interchange)
# Whole library files are larger than the other inputs: an empty one is 70 KB.
declare -A maxLength=([FuzzLibraryFile]=262144)
status=0
for target in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$target
  findings=build/fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  echo "== $target for ${seconds}s"
  if ! "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -max_len="${maxLength[$target]:-65536}" -rss_limit_mb=2048 \
      -artifact_prefix="$findings/" "$corpus" "tests/fuzz/corpus/${inputs[$target]}"; then
    status=1
  fi
done
exit $status
