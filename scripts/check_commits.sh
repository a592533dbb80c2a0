#!/usr/bin/env bash
# Commit subjects stay short enough for one line of a log: at most 72
# characters. Checks the commits after the given base (default: the last
# commit before this rule), where the history has them; prints each long
# subject and exits 1. Install it as a hook with:
#   ln -s ../../scripts/check_commits.sh .git/hooks/commit-msg
set -euo pipefail
if [ $# -eq 1 ] && [ -f "$1" ]; then
  # As a commit-msg hook: the message file.
  subject=$(head -n1 "$1")
  if [ "${#subject}" -gt 72 ]; then
    echo "commit subject longer than 72 characters (${#subject}): $subject" >&2
    exit 1
  fi
  exit 0
fi
base=${1:-170c985}
root=$(cd "$(dirname "$0")/.." && pwd)
if ! git -C "$root" rev-parse --verify -q "$base^{commit}" >/dev/null; then
  echo "commit subjects: base $base not in this history, not checked"
  exit 0
fi
long=$(git -C "$root" log --format=%s "$base..HEAD" | awk 'length($0) > 72')
if [ -n "$long" ]; then
  echo "commit subjects longer than 72 characters:" >&2
  echo "$long" >&2
  exit 1
fi
echo "commit subjects: all within 72 characters"
