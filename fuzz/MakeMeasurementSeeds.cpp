// Writes the seed inputs of the measurement fuzz target: each layout the
// reader knows, a design's own Bode CSV and a damaged file, each small. Run
// it again when the reader learns a layout:
//   cmake --build build-fuzz --target qxr_measurement_seeds
//   build-fuzz/fuzz/qxr_measurement_seeds fuzz/corpus/measurement
#include <cmath>
#include <complex>
#include <cstddef>
#include <string>

#include "SeedFiles.h"
#include "analysis/BodeCsv.h"
#include "analysis/NumberText.h"
#include "analysis/Recalculate.h"
#include "calc/DesignConstants.h"
#include "model/DesignModel.h"

namespace {

using namespace qxr;

// An integrator with a delay, K exp(-sT) / s, crossing 0 dB at 1 kHz and
// -180 degrees at 5 kHz, from 10 Hz to 100 kHz at 5 points a decade.
constexpr double kK = kTwoPi * 1000;
constexpr double kT = 50e-6;
constexpr int kPoints = 21;

double Frequency(int k)
{
    return 10 * std::pow(10.0, k / 5.0);
}

std::complex<double> Loop(double f)
{
    const double w = kTwoPi * f;
    return kK * std::exp(std::complex<double>(0, -w * kT)) / std::complex<double>(0, w);
}

std::string Number(double x)
{
    return FormatDouble(x, 9);
}

std::string GainPhase(const char* separator, bool wrapped)
{
    std::string text = std::string("Frequency (Hz)") + separator + "Gain (dB)" + separator + "Phase (deg)\n";
    for (int k = 0; k < kPoints; ++k) {
        const double f = Frequency(k);
        const double phase = wrapped ? std::arg(Loop(f)) * kRadToDeg : -90 - kTwoPi * f * kT * kRadToDeg;
        text += Number(f) + separator + Number(20 * std::log10(std::abs(Loop(f)))) + separator + Number(phase) + "\n";
    }
    return text;
}

// With a byte order mark, a comment and Windows line ends.
std::string RealImaginary()
{
    std::string text = "\xEF\xBB\xBF# exported by the analyser\r\nfreq_hz\tim\tre\r\n";
    for (int k = 0; k < kPoints; ++k) {
        const std::complex<double> l = Loop(Frequency(k));
        text += Number(Frequency(k)) + "\t" + Number(l.imag()) + "\t" + Number(l.real()) + "\r\n";
    }
    return text;
}

// The header and every 25th row of the default design's voltage loop.
std::string DesignBodeCsv()
{
    CDesignModel model;
    qxr::Recalculate(model);
    const std::string csv = FormatBodeCsv(model, ControlLoop::Voltage);
    std::string text;
    std::size_t row = 0;
    for (std::size_t start = 0; start < csv.size(); ++row) {
        const std::size_t end = csv.find('\n', start) + 1;
        if (row % 25 == 0)
            text += csv.substr(start, end - start);
        start = end;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    return WriteSeedFiles(argc, argv,
                          {
                              {"gain-phase.csv", GainPhase(",", false)},
                              {"wrapped-phase.csv", GainPhase(";", true)},
                              {"real-imaginary.tsv", RealImaginary()},
                              {"kilohertz-signed.csv", "Freq (kHz),Mag (dB),Phase\n0.1,+20,-90\n1,0,-90\n10,-20,-90\n"},
                              {"megahertz-exponents.csv", "F [MHz]\tdB\tdeg\n1e-4\t2e1\t-9e1\n1e-2\t-2e1\t-9e1\n"},
                              {"design-bode.csv", DesignBodeCsv()},
                              {"falling-frequency.csv", "freq,gain,phase\n10,20,-90\n\n9,0,-90\n"},
                          });
}
