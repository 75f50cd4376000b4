#!/usr/bin/env bash
# Runs one Windows executable under Wine with a hard time limit: a hung test must not hang the run.
# The display and prefix come from tools/with-wine-display.sh.
exec timeout -k 10 "${VELQUIN_WINE_TIMEOUT:-900}" wine "$@"
