#pragma once

// The rule that a recording never overwrites what it reads.

#include <string>
#include <vector>

#include "common/Result.h"
#include "recorder/output/FrameSink.h"

namespace zorvel {

// Fine when writing what `plan` names overwrites none of `inputs`; fails as usage
// (WrongFormat), in one line naming the output and the input, when the output is one
// of them (the same file, however it is spelt or linked) or, for a folder of pictures,
// holds one of them.
Result<void> checkInputsSpared(const OutputPlan& plan, const std::vector<std::string>& inputs);

}  // namespace zorvel
