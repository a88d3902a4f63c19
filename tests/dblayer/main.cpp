#include <QCoreApplication>

#include <gtest/gtest.h>

// The layer lets pending events run after each recordset it opens, so its
// tests need an application object.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
