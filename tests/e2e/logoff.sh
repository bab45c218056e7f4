#!/bin/sh
# Log-off with the program running: `wineboot -e` sends the end-session messages and then
# ends every process, with no WM_CLOSE; the settings file must still be there afterwards.
set -u
env_script=$1
state=$2
helper=$3
sh "$env_script" exec "$state" "$helper" start kelvarin_logoff || exit 1
. "$state/env.sh"
wine wineboot -e >/dev/null 2>&1
sleep 1
sh "$env_script" exec "$state" "$helper" verify kelvarin_logoff
rc=$?
# Log-off took the desktop and its taskbar too; bring them back for what follows.
sh "$env_script" desktop "$state"
exit $rc
