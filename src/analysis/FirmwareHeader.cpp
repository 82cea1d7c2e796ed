#include "analysis/FirmwareHeader.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "calc/CoefficientExport.h"
#include "model/Enumerations.h"
#include "model/Utf.h"

namespace qxr {

namespace {

std::string Printed(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// The description as comment lines: nothing in it can end the comment.
std::string DescriptionComment(const std::u16string& description)
{
    std::string text = " * ";
    for (char c : ToUtf8(description)) {
        if (c == '\n')
            text += "\n * ";
        else if (c == '/' && !text.empty() && text.back() == '*')
            text += " /";
        else if (c != '\r')
            text += (static_cast<unsigned char>(c) < 0x20) ? ' ' : c;
    }
    return text + "\n";
}

std::string LoopLine(const char* name, double fx, double phaseMargin, double gainMargin)
{
    return std::string(" * ") + name + ": crossover " + Printed("%.6g", fx) + " Hz, phase margin " +
           Printed("%.4g", phaseMargin) + " degrees, gain margin " + Printed("%.4g", gainMargin) + " dB.\n";
}

std::string Preamble(const CDesignModel& model, const std::u16string& description, const CoefficientFormat& format)
{
    const std::u16string method = model.disc__DIG.enumCalc.GetTypeInfo().NameOf(TruncToInt32(model.disc__DIG.Value()));
    std::string text = "/* Coefficients of the digital PFC compensators, written by QXR.\n *\n";
    if (!description.empty())
        text += DescriptionComment(description) + " *\n";
    for (const auto& [name, loop] :
         {std::pair{"Voltage loop", ControlLoop::Voltage}, std::pair{"Current loop", ControlLoop::Current}}) {
        const LoopData& figures = model.Loop(loop);
        text += LoopLine(name, figures.fx, figures.phaseMargin, figures.gainMargin);
    }
    text += " * Discretisation: " + ToUtf8(method) + ". Format: " + FormatName(format) + ".\n *\n";
    text += " * Each set runs y[n] = B0 x[n] + B1 x[n-1] + B2 x[n-2] + A1 y[n-1] + A2 y[n-2].\n";
    if (format.IsInteger())
        text += " * Integer sets hold the coefficients times 2^SHIFT, SHIFT being the format's fraction bits less\n"
                " * the set's POST_SHIFT; the step function rounds the accumulator to nearest, shifts it right by\n"
                " * SHIFT (an arithmetic shift) and saturates the output to the word.\n";
    return text +
           " */\n#ifndef QXR_FIRMWARE_COEFFICIENTS_H\n#define QXR_FIRMWARE_COEFFICIENTS_H\n\n#include <stdint.h>\n\n";
}

std::string SetBlock(const CDesignModel& model, CoefficientSet set, const CoefficientFormat& format)
{
    const CoefficientSetLayout& layout = LayoutOf(set);
    const std::string suffix = layout.suffix;
    const double fSamp = (model.*layout.samplingFrequency).Value();
    std::string title = layout.title;
    title[0] = static_cast<char>(title[0] - 'a' + 'A');
    std::string text =
        "/* " + title + ", sampled at " + Printed("%.17g", fSamp) + " Hz, " + FormatName(format) + ". */\n";
    text += "#define FSAMP_HZ_" + suffix + " (" + Printed("%.17g", fSamp) + ")\n";
    text += WithLineFeeds(CoefficientText(model, set, format));
    text += "#define COEFFICIENTS_" + suffix + " {B0_" + suffix + ", B1_" + suffix + ", B2_" + suffix + ", A1_" +
            suffix + ", A2_" + suffix + "}\n\n";
    return text;
}

// The step function of a real format; TYPE stands for the C type.
const char* const kRealStep = R"(typedef struct {
    TYPE x1, x2, y1, y2;
} qxr_2p2z_TYPE_state;

/* One sample through a set; c holds its coefficients in the order of COEFFICIENTS_. */
static inline TYPE qxr_2p2z_TYPE_step(qxr_2p2z_TYPE_state *s, const TYPE c[5], TYPE x)
{
    const TYPE y = c[0] * x + c[1] * s->x1 + c[2] * s->x2 + c[3] * s->y1 + c[4] * s->y2;
    s->x2 = s->x1;
    s->x1 = x;
    s->y2 = s->y1;
    s->y1 = y;
    return y;
}
)";

// The step function of an integer format: WORD is the word, ACC the accumulator, both by bits.
const char* const kIntegerStep = R"(typedef struct {
    intWORD_t x1, x2, y1, y2;
} qxr_2p2z_iWORD_state;

static inline intACC_t qxr_saturating_addACC(intACC_t a, intACC_t b)
{
    if (b > 0 && a > INTACC_MAX - b)
        return INTACC_MAX;
    if (b < 0 && a < INTACC_MIN - b)
        return INTACC_MIN;
    return a + b;
}

/* One sample through a set; c holds its coefficients in the order of COEFFICIENTS_, shift is its SHIFT_. */
static inline intWORD_t qxr_2p2z_iWORD_step(qxr_2p2z_iWORD_state *s, const intWORD_t c[5], int shift, intWORD_t x)
{
    intACC_t acc = (intACC_t)c[0] * x;
    acc = qxr_saturating_addACC(acc, (intACC_t)c[1] * s->x1);
    acc = qxr_saturating_addACC(acc, (intACC_t)c[2] * s->x2);
    acc = qxr_saturating_addACC(acc, (intACC_t)c[3] * s->y1);
    acc = qxr_saturating_addACC(acc, (intACC_t)c[4] * s->y2);
    if (shift > 0)
        acc = qxr_saturating_addACC(acc, (intACC_t)1 << (shift - 1)) >> shift;
    s->x2 = s->x1;
    s->x1 = x;
    s->y2 = s->y1;
    s->y1 = acc > INTWORD_MAX ? INTWORD_MAX : acc < INTWORD_MIN ? INTWORD_MIN : (intWORD_t)acc;
    return s->y1;
}
)";

std::string Replaced(std::string text, const std::string& token, const std::string& by)
{
    for (std::size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + by.size()))
        text.replace(at, token.size(), by);
    return text;
}

std::string StepFunction(const CoefficientFormat& format)
{
    if (!format.IsInteger())
        return Replaced(kRealStep, "TYPE", format.kind == CCoefficientFormat::Float ? "float" : "double");
    const std::string word = std::to_string(format.WordBits());
    return Replaced(Replaced(kIntegerStep, "WORD", word), "ACC", std::to_string(2 * format.WordBits()));
}

bool HasFiniteCoefficients(const CDesignModel& model)
{
    for (CoefficientSet set : kCoefficientSets)
        for (double value : CoefficientsOf(model, set).InOutputOrder())
            if (!std::isfinite(value))
                return false;
    return true;
}

}  // namespace

FirmwareHeader FirmwareHeaderOf(const CDesignModel& model, const std::u16string& description)
{
    FirmwareHeader header;
    if (model.Mode() != CTop::DIGITAL)
        header.problems.emplace_back("The design is not in DIGITAL mode; only the digital design has firmware "
                                     "coefficients.");
    for (std::string& problem : FirmwareProblems(model))
        header.problems.push_back(std::move(problem));
    if (header.problems.empty() && !HasFiniteCoefficients(model))
        header.problems.emplace_back("The coefficients are not all finite numbers.");
    if (!header.problems.empty())
        return header;
    const CoefficientFormat format = CoefficientFormatOf(model);
    header.text = Preamble(model, description, format);
    for (CoefficientSet set : kCoefficientSets)
        header.text += SetBlock(model, set, format);
    header.text += StepFunction(format) + "\n#endif /* QXR_FIRMWARE_COEFFICIENTS_H */\n";
    return header;
}

}  // namespace qxr
