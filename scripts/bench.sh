#!/usr/bin/env bash
# Installs what is needed, builds the benchmarks and runs them all, one after the other.
# Run it on an otherwise quiet machine: the figures are CPU and wall-clock times.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build-bench -DSIEVOMATIC_TESTS=OFF -DSIEVOMATIC_BENCH=ON
bench=build-bench/bench
echo "== header fields, addresses, MIME decoding"
"$bench/mail_bench"
echo "== judging: 10 000 messages x 100 rules"
"$bench/judging_bench" 10000
echo "== the same, every file re-read at every use (5 messages)"
"$bench/judging_bench" 5 --naive
echo "== POP3 listing against a private Dovecot"
"$bench/listing_bench"
echo "== a whole check over IMAP and over POP3 at 40 ms round trip"
"$bench/check_bench"
echo "== peak memory of a listing against a hostile server"
"$bench/hostile_bench" huge
"$bench/hostile_bench" endless 10
echo "== the tray program: event loop during a manual pass and the preview, start to tray, idle memory"
QT_QPA_PLATFORM=offscreen "$bench/desktop_bench" build-bench/src/app/sievomatic
echo "== the rule list: filling and sorting 1 000 rules"
QT_QPA_PLATFORM=offscreen "$bench/rule_list_bench"
echo "== spammer list editor: opening and Find with 1 000 000 lines"
QT_QPA_PLATFORM=offscreen "$bench/list_editor_bench"
echo "== the server's signals: 10 000 messages, AUTHFAIL, SPAMFLAG and DNSBL with 50 ms DNS answers"
"$bench/signals_bench" 10000 2000
"$bench/signals_bench" 10000 10000
