#pragma once

#include <string>
#include <utility>
#include <vector>

#include "analysis/Recalculate.h"
#include "model/DesignModel.h"
#include "timedomain/TimeDomainInputs.h"

namespace qxr::test {

using Entries = std::vector<std::pair<const char16_t*, double>>;

// The design of a Mode with entries made, calculated, as the simulation reads it.
inline TimeDomainInputs DesignInputs(int32_t mode, const Entries& entries = {})
{
    CDesignModel model;
    model.ad.SetUser(mode);
    for (const auto& [name, value] : entries)
        model.FindByName(name)->SetUser(value);
    qxr::Recalculate(model);
    return ReadTimeDomainInputs(model);
}

}  // namespace qxr::test
