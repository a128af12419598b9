#include "umockdevrestart.h"

#include "usb/emulatedunits.h"

#include <QByteArray>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

void ensureUnderUmockdev(char **argv)
{
    if (EmulatedUnits().active())
        return;
    // The preload has to come before the sanitizer runtime of an asan build.
    const char *asan = std::getenv("ASAN_OPTIONS");
    const QByteArray options = QByteArray(asan ? asan : "") + ":verify_asan_link_order=0";
    setenv("ASAN_OPTIONS", options.constData(), 1);
    std::array<char, 4096> self{};
    if (readlink("/proc/self/exe", self.data(), self.size() - 1) < 0) {
        std::perror("cannot find this program");
        std::exit(1);
    }
    std::vector<char *> arguments{const_cast<char *>("umockdev-wrapper"), self.data()};
    for (char **argument = argv + 1; *argument; ++argument)
        arguments.push_back(*argument);
    arguments.push_back(nullptr);
    execvp(arguments[0], arguments.data());
    std::perror("cannot start umockdev-wrapper");
    std::exit(1);
}
