#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <vector>

/** Measuring tools for the DSP kit's tests: responses are measured with sines, past the
    transient, by correlating the output with the test frequency. */
namespace DspTest
{
    constexpr double pi = 3.14159265358979323846;

    inline double toDb (double gain)        { return 20.0 * std::log10 (gain); }
    inline double fromDb (double dB)        { return std::pow (10.0, dB / 20.0); }

    /** A processor of one mono sample: takes x, returns y. */
    using MonoProcess = std::function<float (float)>;

    /** Steady-state gain of a process at a frequency, from a unit sine run for settleSeconds and
        then measured over whole periods for measureSeconds. At 0 Hz a constant 1 is fed and the
        mean output taken; at Nyquist the alternating sequence +1, -1. */
    inline double measureGain (const MonoProcess& process, double sampleRate, double frequency,
                               double settleSeconds = 1.0, double measureSeconds = 1.0)
    {
        const auto settle = (long) (settleSeconds * sampleRate);
        auto measure = (long) (measureSeconds * sampleRate);

        if (frequency > 0.0 && frequency < sampleRate / 2.0)
        {
            const double period = sampleRate / frequency;
            measure = std::max (1L, (long) (std::floor (measure / period) * period));
        }

        const double w = 2.0 * pi * frequency / sampleRate;
        std::complex<double> sum;

        for (long n = 0; n < settle + measure; ++n)
        {
            const double phase = w * (double) n;
            const double x = frequency >= sampleRate / 2.0 ? ((n & 1) ? -1.0 : 1.0) : std::cos (phase);
            const double y = process ((float) x);

            if (n >= settle)
                sum += y * std::polar (1.0, -phase);
        }

        const double scale = (frequency > 0.0 && frequency < sampleRate / 2.0) ? 2.0 : 1.0;
        return scale * std::abs (sum) / (double) measure;
    }

    /** A normalised biquad in double precision, for expected responses. */
    struct Biquad
    {
        double b0, b1, b2, a1, a2;

        std::complex<double> response (double frequency, double sampleRate) const
        {
            const auto z1 = std::polar (1.0, -2.0 * pi * frequency / sampleRate);
            const auto z2 = z1 * z1;
            return (b0 + b1 * z1 + b2 * z2) / (1.0 + a1 * z1 + a2 * z2);
        }
    };

    /** The textbook (bilinear, pre-warped) shelves and peak in double precision. */
    inline Biquad textbookPeak (double sr, double f, double Q, double gain)
    {
        const double A = std::sqrt (gain), w = 2.0 * pi * f / sr, alpha = std::sin (w) / (2.0 * Q);
        const double a0 = 1.0 + alpha / A;
        return { (1.0 + alpha * A) / a0, -2.0 * std::cos (w) / a0, (1.0 - alpha * A) / a0,
                 -2.0 * std::cos (w) / a0, (1.0 - alpha / A) / a0 };
    }

    inline Biquad textbookShelf (bool high, double sr, double f, double Q, double gain)
    {
        const double A = std::sqrt (gain), w = 2.0 * pi * f / sr;
        const double s = std::sin (w), c = high ? -std::cos (w) : std::cos (w), beta = std::sqrt (A) * s / Q;
        const double a0 = (A + 1) + (A - 1) * c + beta;
        const double sign = high ? -1.0 : 1.0;   // a high shelf is the low shelf at z -> -z
        return { A * ((A + 1) - (A - 1) * c + beta) / a0, sign * 2 * A * ((A - 1) - (A + 1) * c) / a0,
                 A * ((A + 1) - (A - 1) * c - beta) / a0, sign * -2 * ((A - 1) + (A + 1) * c) / a0,
                 ((A + 1) + (A - 1) * c - beta) / a0 };
    }

    /** Deterministic white noise in [-amplitude, amplitude). */
    struct Noise
    {
        unsigned state = 12345u;
        float next (float amplitude = 1.0f)
        {
            state = state * 1664525u + 1013904223u;
            return amplitude * ((float) (state >> 8) / 8388608.0f - 1.0f);
        }
    };
}
