#pragma once

#include <optional>
#include <string>

namespace qxr::cli {

struct Design;

// Writes the design's report as a PDF file, atomically, titled by the
// description or else by the name of the design file. The report is painted
// by the program qxr-report-pdf, so that qxr-cli loads no Qt; it needs no
// display. Throws a Failure when the report cannot be painted or written.
void WriteReportPdf(const std::string& path, Design& design, const std::optional<std::string>& designFile);

}  // namespace qxr::cli
