#pragma once

// The constants of the design equations, as the doubles the equations use.
namespace qxr {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kFourPi = 12.566370614359172;
inline constexpr double kHalfPi = 1.5707963267948966;
inline constexpr double kSqrt2 = 1.4142135623730951;  // the double nearest to sqrt(2)
inline constexpr double kDegToRad = 0.017453292519943295;
inline constexpr double kRadToDeg = 57.29577951308232;

}  // namespace qxr
