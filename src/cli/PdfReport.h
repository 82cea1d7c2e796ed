#pragma once

#include <optional>
#include <string>

namespace qxr::cli {

struct Design;

// Writes the design's report as a PDF file, atomically, titled by the
// description or else by the name of the design file. Without a running Qt
// application it starts one on the offscreen platform for the time it takes,
// so no display is needed. Throws a Failure when the file cannot be written.
void WriteReportPdf(const std::string& path, Design& design, const std::optional<std::string>& designFile);

}  // namespace qxr::cli
