/** @file PageFeatures.h
 * Pages and the user's own browser in a main window ("工具(&T)" → "网页与浏览器资料"):
 * the repeatable-run switch, the "Cookie" box, importing and choosing browser profiles
 * (kept by name in the data folder), and copying the collector snippet. A loaded page's
 * local scripts are looked for beside the editor's file.
 */
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QMenu;

namespace qy::app {

class MainWindow;

/// Where profiles are kept: <data folder>/qingyou-js/profiles.
QString ProfileFolder();
/// The names of the kept profiles, sorted.
QStringList KeptProfiles();

class PageFeatures : public QObject {
    Q_OBJECT
public:
    explicit PageFeatures(MainWindow& window);

    /// Repeatable runs on or off (seed 1), for the next load.
    void SetRepeatable(bool on);
    /// The cookies every load starts with, as "a=1; b=2".
    void SetCookies(const QString& pairs);
    /// Copies `path` (a JSON profile) into the profile folder and uses it; false with a
    /// message in the log when it is not a JSON object or cannot be kept.
    bool ImportProfile(const QString& path);
    /// Uses the kept profile `name`, or the built-in values for an empty name.
    bool UseProfile(const QString& name);
    /// Puts the collector snippet on the clipboard.
    void CopyCollector();

private:
    void FillProfileMenu();
    void Log(const QString& line);

    MainWindow& m_window;
    QAction* m_repeatable = nullptr;
    QMenu* m_profiles = nullptr;
    QString m_profile;
};

}  // namespace qy::app
