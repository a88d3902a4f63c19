#pragma once

// The widget application the fuzz targets of windows' pieces need, made on
// their first input, offscreen.

#include <QApplication>

namespace kl::properties {

inline void ensureOffscreenApplication() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static const QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)application;
}

}  // namespace kl::properties
