#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Archive.h"

class CDesignModel;

// The description a new design starts with.
inline constexpr char16_t kNewDesignDescription[] = u"Add Description here...";

// The design file image: the description and, for every symbol, its user
// entry and both values. Saving never changes the design.
std::vector<uint8_t> SaveDesign(const CDesignModel& model, const std::u16string& description);

// Reads a design file image. The description is emptied and the model returns
// to its defaults first, so symbols the file lacks keep their catalogue state.
// The model is NOT recalculated: after Ok the caller runs Recalculate; after a
// failure the model holds the defaults plus the records read before the damage,
// and the caller starts a new design instead. An empty image is not read at
// all: Ok, with the model and description as they were.
FileResult LoadDesign(const uint8_t* data, std::size_t size, CDesignModel& model, std::u16string& description);

// LoadDesign on the content of a file; FailedToOpen when it cannot be read.
FileResult LoadDesignFile(const std::filesystem::path& path, CDesignModel& model, std::u16string& description);

// Saves atomically: on FailedToSave the previous file is left as it was.
FileResult SaveDesignFile(const std::filesystem::path& path, const CDesignModel& model,
                          const std::u16string& description);
