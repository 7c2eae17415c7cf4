// SPDX-License-Identifier: Apache-2.0
// Prints doubles through std::to_chars as the session's writers do (the
// shortest form, 1 to 17 significant digits as the CSV's digits, 11
// decimals): built natively and for
// WebAssembly (with web/wasm/charconv_float.h), the two outputs must be the
// same bytes. The values: edge cases, random bit patterns, and the model's
// own kind of numbers (single-precision values with three decimals).
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

namespace {

void print(double value, int digits = 7)
{
    char text[400];
    *std::to_chars(text, text + sizeof text, value).ptr = '\0';
    std::printf("%s ", text);
    *std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits).ptr = '\0';
    std::printf("%s ", text);
    const double fixed = std::fabs(value) < 1e30 ? value : 1.0;
    *std::to_chars(text, text + sizeof text, fixed, std::chars_format::fixed, 11).ptr = '\0';
    std::printf("%s\n", text);
}

}  // namespace

int main()
{
    // Ties of the exact value (0.125, 2.5, 0.375) go to the even digit.
    const double edges[] = {0.0,       -0.0,      1.0,   100.0, 1e30, 1e-5,   0.5,    123456.0, 1e16,
                            1e21,      1e22,      0.1,   20.93, 3.8f, 1.5e-7, 5e-324, 1e308,    -2.5,
                            0.0001234, 999999.95, 0.125, 0.375, 9.5,  99.95f, 1e-4};
    for (double value : edges)
        for (int digits = 1; digits <= 17; ++digits) print(value, digits);
    std::mt19937_64 random(1);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isnan(value)) print(value, 1 + i % 17);
        print(static_cast<float>(static_cast<double>(random() % 2000000) / 1000.0 - 1000.0),
              1 + (i / 17) % 17);
    }
}
