"""Fails when a test of the build has no TIMEOUT: without one, a test that hangs stops the whole
run for ctest's default of 25 minutes instead of failing."""

import json
import subprocess
import sys

ctest, build_dir = sys.argv[1:3]
listing = subprocess.run([ctest, "--show-only=json-v1"], cwd=build_dir, check=True,
                         capture_output=True, text=True).stdout
tests = json.loads(listing)["tests"]
untimed = [test["name"] for test in tests
           if not any(p["name"] == "TIMEOUT" for p in test.get("properties", []))]
print(f"{len(tests)} tests, {len(untimed)} without a TIMEOUT")
for name in untimed:
    print("  no TIMEOUT:", name)
sys.exit(1 if untimed or not tests else 0)
