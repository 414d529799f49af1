/** @file CommaLocale.h
 * Runs a test under a locale whose decimal point is a comma (German), as a user's
 * desktop may set it: the locale is compiled into a folder of the test's own, so the
 * machine needs only the locale sources (Debian's locales package), not an installed
 * German locale.
 */
#pragma once

#include <clocale>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace qy::test {

class CommaLocale {
public:
    CommaLocale() {
        static const bool built = [] {
            std::string dir = "/tmp/qy-locales-" + std::to_string(::getpid());
            std::string cmd = "mkdir -p " + dir + " && localedef -i de_DE -f UTF-8 " + dir +
                              "/de_DE.UTF-8 >/dev/null 2>&1";
            if (std::system(cmd.c_str()) != 0) return false;
            setenv("LOCPATH", dir.c_str(), 1);
            return true;
        }();
        m_active = built && std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_NUMERIC, "C"); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    /// True when the comma locale is in force (printf then writes 1,5).
    bool Active() const { return m_active; }

private:
    bool m_active = false;
};

}  // namespace qy::test
