/** @file Settings.h
 * The few things the workbench keeps between runs, in the user's XDG config folder
 * (qingyou-js/settings.ini): the script target and the browser-environment switch.
 */
#pragma once

#include "script/ScriptTarget.h"

namespace qy::app {

/// The kept target; JScript 5.8 when nothing (or nothing readable) was kept.
script::ScriptTarget LoadScriptTarget();
void SaveScriptTarget(script::ScriptTarget target);

/// The kept browser-environment switch; off when nothing was kept.
bool LoadBrowserEnvironment();
void SaveBrowserEnvironment(bool on);

}  // namespace qy::app
