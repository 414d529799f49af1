/** @file Settings.h
 * The few things the workbench keeps between runs, in the user's XDG config folder
 * (qingyou-js/settings.ini): for now the script target.
 */
#pragma once

#include "script/ScriptTarget.h"

namespace qy::app {

/// The kept target; JScript 5.8 when nothing (or nothing readable) was kept.
script::ScriptTarget LoadScriptTarget();
void SaveScriptTarget(script::ScriptTarget target);

}  // namespace qy::app
