#include <cmath>
#include <cstring>
#include <random>

#include <QString>
#include <gtest/gtest.h>

#include "present/NumberFormat.h"

namespace {

// The pages' numbers read as Qt's printf has always written them, for any double.
TEST(NumberFormatQt, AsQtWritesThem)
{
    std::mt19937_64 random(11);
    for (int i = 0; i < 100000; ++i) {
        double value;
        if (i % 2 == 0) {
            const uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
        } else {
            value = std::ldexp(static_cast<double>(static_cast<int64_t>(random() % 2000001) - 1000000),
                               static_cast<int>(random() % 30) - 15);
        }
        const int digits = static_cast<int>(random() % 9);
        ASSERT_EQ(qxr::FormatFixed(value, digits), QString::asprintf("%.*f", digits, value).toStdString())
            << value << " " << digits;
        const int significant = 1 + static_cast<int>(random() % 8);
        ASSERT_EQ(qxr::FormatSignificant(value, significant),
                  QString::asprintf("%.*g", significant, value).toStdString())
            << value << " " << significant;
    }
}

}  // namespace
