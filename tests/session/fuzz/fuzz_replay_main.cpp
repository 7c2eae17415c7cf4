// Without libFuzzer: seeds of every kind of string input, each also cut,
// repeated, and with bytes flipped by a fixed pseudo-random series.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main()
{
    const std::vector<std::string> seeds = {
        "inspired_o2",
        "16",
        "  31 ",
        "-1",
        "99999999999999999999",
        "inspired_02",
        "arterial_po2",
        "",
        "12.5",
        "1e999",
        "-1e999",
        "nan",
        "0x10",
        "3:00",
        "99:59",
        "100001:00",
        "3:60",
        ":",
        "\xff\xfe",
        "// #001 x\n178 70 40 1\n",
        "// #002\n",
        "at 1:00 set inspired_o2 12\nrun until 2:00\n",
        "at 0:00 bag 12 volume 6000 co2 5 o2 95\nrun until 1:00\n",
        "at 1:00 rerun 0:30\n",
        "at 0:00 load ../../etc/passwd\n",
        "at 0:00 ventilation artificial rate 1e9 tidal -5 peep nan\n",
        "run until 199:00\n",
    };
    std::uint32_t state = 12345;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    long runs = 0;
    for (const std::string& seed : seeds) {
        for (int entry = 0; entry < 7; ++entry) {
            for (int variant = 0; variant < 12; ++variant) {
                std::string text = seed;
                if (variant % 3 == 1 && !text.empty()) text.resize(next() % text.size());
                if (variant % 3 == 2) text += text;
                for (int flips = variant / 3; flips > 0 && !text.empty(); --flips)
                    text[next() % text.size()] = static_cast<char>(next() & 0xff);
                std::string input(1, static_cast<char>(entry));
                input += text;
                LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
                ++runs;
            }
        }
    }
    std::printf("%ld inputs\n", runs);
    return 0;
}
