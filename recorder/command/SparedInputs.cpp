#include "recorder/command/SparedInputs.h"

#include <filesystem>
#include <optional>
#include <utility>

#include "common/WholeFile.h"

namespace zorvel {

namespace {

namespace fs = std::filesystem;

// Whether `inner` lies somewhere inside the folder `folder` (both as they resolve, links
// followed).
bool liesInside(const std::string& inner, const std::string& folder) {
  std::error_code error;
  const fs::path outer = fs::weakly_canonical(folder, error);
  if (error) return false;
  fs::path at = fs::weakly_canonical(inner, error);
  if (error) return false;
  for (; at.has_relative_path(); at = at.parent_path())
    if (at.parent_path() == outer) return true;
  return false;
}

}  // namespace

Result<void> checkInputsSpared(const OutputPlan& plan, const std::vector<std::string>& inputs) {
  if (plan.kind == OutputKind::RawFrames) return {};
  std::string target = plan.output;
  if (plan.kind == OutputKind::PngFolder)
    while (target.size() > 1 && target.back() == '/') target.pop_back();
  const auto output = fileIdentity(target);
  for (const std::string& input : inputs) {
    if (output && fileIdentity(input) == output)
      return failure(FailureKind::WrongFormat, "-o " + plan.output + " would overwrite " + input +
                                                   ", which it records from: name another output");
    if (plan.kind == OutputKind::PngFolder && liesInside(input, target))
      return failure(FailureKind::WrongFormat,
                     "-o " + plan.output + " would hold " + input + ", which it records from: name another output");
  }
  return {};
}

}  // namespace zorvel
