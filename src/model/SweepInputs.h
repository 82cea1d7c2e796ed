#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

namespace qxr {

// The inputs a part of a Bode sweep was last computed from. Equal inputs give
// equal doubles, so a part whose inputs are bit for bit the same as in the
// previous pass is kept rather than computed again.
template <std::size_t N>
class SweepInputs {
public:
    using Values = std::array<double, N>;

    // True when the inputs differ from the remembered ones, or none are
    // remembered yet; remembers the new ones.
    bool Changed(const Values& inputs)
    {
        if (known_ && std::memcmp(inputs.data(), last_.data(), sizeof(Values)) == 0)
            return false;
        last_ = inputs;
        known_ = true;
        return true;
    }

    void Forget() { known_ = false; }

private:
    Values last_{};
    bool known_ = false;
};

// What the arrays of one loop were last built from, and the per-point
// values that the next pass can take over with them.
struct BodeSweepInputs {
    SweepInputs<3> grid;    // fa, fb, fx
    SweepInputs<8> phases;  // grid, wz1, wp1, sampling lag
    SweepInputs<10> gains;  // grid, compensator, plant

    std::vector<double> angular;         // 2*pi*f of each grid point
    std::vector<double> magnitudeRatio;  // the compensator's zero/pole magnitude ratio, with the phases

    void Forget()
    {
        grid.Forget();
        phases.Forget();
        gains.Forget();
    }
};

}  // namespace qxr
