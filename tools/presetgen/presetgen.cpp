// Writes the factory preset files (.wmb) from the committed table factory_presets.txt.
//
//   presetgen TABLE OUTDIR
//
// Every preset is 23 little-endian float32 normalised values (92 bytes). See the table's header
// for the rule that keeps the "Default" values bit for bit.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr int numParameters = 23;

// The parameters that the table's columns give, in column order; all others are 1.0.
constexpr std::array<int, 17> tableColumns { 0, 1, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18 };

float floatFromBits (uint32_t bits)
{
    float f;
    std::memcpy (&f, &bits, sizeof f);
    return f;
}

uint32_t bitsFromFloat (float f)
{
    uint32_t bits;
    std::memcpy (&bits, &f, sizeof bits);
    return bits;
}

// A decimal text with at most four decimals, as a whole number of ten-thousandths.
bool parseTenThousandths (const std::string& text, long& result)
{
    char* end = nullptr;
    const double v = std::strtod (text.c_str(), &end);
    if (end == text.c_str() || *end != 0 || ! std::isfinite (v) || v < 0.0 || v > 1.0)
        return false;
    result = std::lround (v * 10000.0);
    return std::fabs (v * 10000.0 - (double) result) < 1e-6;
}

[[noreturn]] void fail (const std::string& message)
{
    std::cerr << "presetgen: " << message << "\n";
    std::exit (1);
}
}

int main (int argc, char** argv)
{
    if (argc != 3)
        fail ("usage: presetgen TABLE OUTDIR");

    std::ifstream table (argv[1]);
    if (! table)
        fail (std::string ("cannot read ") + argv[1]);

    std::vector<uint32_t> defaultBits;
    struct Row
    {
        std::string stem;
        std::array<uint32_t, numParameters> bits;
    };
    std::vector<Row> rows;

    std::string line;
    int lineNumber = 0;
    while (std::getline (table, line))
    {
        ++lineNumber;
        if (line.empty() || line[0] == '#')
            continue;

        std::istringstream words (line);
        std::string first;
        words >> first;

        if (first == "default-bits")
        {
            std::string hex;
            while (words >> hex)
                defaultBits.push_back ((uint32_t) std::strtoul (hex.c_str(), nullptr, 16));
            if (defaultBits.size() != numParameters)
                fail ("line " + std::to_string (lineNumber) + ": default-bits needs 23 values");
            continue;
        }

        if (defaultBits.empty())
            fail ("default-bits must come before the first preset");

        Row row { first, {} };
        for (auto& b : row.bits)
            b = bitsFromFloat (1.0f);

        for (int column : tableColumns)
        {
            std::string text;
            long value = 0;
            if (! (words >> text) || ! parseTenThousandths (text, value))
                fail ("line " + std::to_string (lineNumber) + ": bad value '" + text + "'");

            uint32_t bits = bitsFromFloat (std::strtof (text.c_str(), nullptr));
            for (uint32_t d : defaultBits)
                if (std::lround ((double) floatFromBits (d) * 10000.0) == value)
                    bits = d;

            row.bits[(size_t) column] = bits;
        }

        std::string extra;
        if (words >> extra)
            fail ("line " + std::to_string (lineNumber) + ": too many values");

        rows.push_back (row);
    }

    if (rows.size() != 32)
        fail ("expected 32 presets, found " + std::to_string (rows.size()));

    if (rows.front().stem != "01_01_Default"
        || ! std::equal (defaultBits.begin(), defaultBits.end(), rows.front().bits.begin()))
        fail ("the first preset must be 01_01_Default and reproduce default-bits exactly");

    for (const auto& row : rows)
    {
        const std::string path = std::string (argv[2]) + "/" + row.stem + ".wmb";
        std::ofstream out (path, std::ios::binary | std::ios::trunc);
        for (uint32_t b : row.bits)
        {
            const char le[4] = { (char) (b & 0xff), (char) ((b >> 8) & 0xff), (char) ((b >> 16) & 0xff),
                                 (char) ((b >> 24) & 0xff) };
            out.write (le, 4);
        }
        if (! out)
            fail ("cannot write " + path);
    }

    return 0;
}
