#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The rules of the floors that the compiler cannot see: no window reaches the main
# window through its header, and the logic floor names no GUI module even by its full
# include path.
set -u
src=${1:?usage: layout_rules.sh <source folder src/>}
source "$(dirname "$0")/../scripts/checks.sh"

outside_app=$(grep -rl '#include "app/frmMain.h"' "$src" | grep -v "^$src/app/")
check "only the top floor includes the main window's header" [ -z "$outside_app" ]
gui_in_logic=$(grep -rlE '#include <Qt(Gui|Widgets|Multimedia)/' "$src/logic")
check "the logic floor includes nothing of Qt GUI, Widgets or Multimedia" [ -z "$gui_in_logic" ]
above_guard=$(grep -rlE '#include (<Qt(Gui|Widgets|Multimedia)/|"(ui|app|settings|security|help|turns)/)' "$src/guard")
check "the guard stands on the logic floor and Qt D-Bus alone" [ -z "$above_guard" ]
[ -n "$outside_app$gui_in_logic$above_guard" ] && echo "$outside_app $gui_in_logic $above_guard"
summary
