#include "app/Settings.h"

#include <QSettings>
#include <QString>

namespace qy::app {
namespace {

constexpr const char* kTargetKey = "script/target";

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

}  // namespace qy::app
