#include "app/Settings.h"

#include <QSettings>
#include <QString>

namespace qy::app {
namespace {

constexpr const char* kTargetKey = "script/target";
constexpr const char* kBrowserEnvironmentKey = "script/browserEnvironment";

QSettings Store() { return QSettings(QSettings::IniFormat, QSettings::UserScope, "qingyou-js", "settings"); }

}  // namespace

script::ScriptTarget LoadScriptTarget() {
    QSettings s = Store();
    std::string key = s.value(kTargetKey).toString().toStdString();
    return script::TargetFromKey(key).value_or(script::ScriptTarget::JScript58);
}

void SaveScriptTarget(script::ScriptTarget target) {
    QSettings s = Store();
    s.setValue(kTargetKey, QString::fromStdString(script::TargetKey(target)));
    s.sync();
}

bool LoadBrowserEnvironment() { return Store().value(kBrowserEnvironmentKey, false).toBool(); }

void SaveBrowserEnvironment(bool on) {
    QSettings s = Store();
    s.setValue(kBrowserEnvironmentKey, on);
    s.sync();
}

}  // namespace qy::app
