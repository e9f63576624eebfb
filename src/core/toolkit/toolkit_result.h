#pragma once

namespace scantouch {

// What the toolkit answers when asked to do something it cannot carry out. Each caller decides
// what a refusal means for its own step, so the result must not be dropped silently.
enum class [[nodiscard]] ToolkitResult{
    ok,
    negativeSize,     // a shape width or height below zero
    indexOutOfRange,  // an option or list index outside the array or list
    valueOutOfRange,  // a check value other than 0, 1 or 2
};

}  // namespace scantouch
